#include "money/frmQuote.h"

#include "platform/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const char* const kTextColumns[6] = {"QUOTE_PRODUCT", "QUOTE_DETAILS", "QUOTE_NOTPROVIDED",
                                     "QUOTE_AMOUNT", "QUOTE_DEPOSITAMT", "QUOTE_BALANCEAMT"};

}  // namespace

void frmQuote::createControls()
{
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Quote");
    w->setFixedSize(twips::toPixels(7200), twips::toPixels(5520));

    int labels = 0;
    auto label = [w, &labels](const char* text, QRect at) {
        auto* l = new QLabel(text, w);
        l->setObjectName(QString("Label1(%1)").arg(labels++));
        l->setGeometry(at);
    };
    auto combo = [w](const char* name, QRect at) {
        auto* c = new QComboBox(w);
        c->setObjectName(name);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setGeometry(at);
        return c;
    };
    auto picker = [w](const char* name, QRect at) {
        auto* p = new money::DatePicker(w);
        p->setObjectName(name);
        p->setGeometry(at);
        return p;
    };
    auto box = [w, this](int i, bool multiLine, QRect at) {
        QWidget* b;
        if (multiLine) {
            auto* p = new QPlainTextEdit(w);
            p->setTabChangesFocus(true);
            b = p;
        } else {
            b = new QLineEdit(w);
        }
        b->setObjectName(QString("Text1(%1)").arg(i));
        b->setGeometry(at);
        Text1[i] = b;
    };

    label("Event:", rect(120, 150, 1800, 255));
    cmbEvent = combo("cmbEvent", rect(1980, 120, 3000, 315));
    label("Vendor Name:", rect(120, 550, 1800, 255));
    cmbVendor = combo("cmbVendor", rect(1980, 520, 3000, 315));
    label("Product:", rect(120, 950, 1800, 255));
    box(0, false, rect(1980, 920, 4980, 300));
    label("Details:", rect(120, 1350, 1800, 255));
    box(1, true, rect(1980, 1320, 4980, 900));
    label("Items not Provided:", rect(120, 2310, 1800, 255));
    box(2, true, rect(1980, 2280, 4980, 900));
    label("Total Amount:", rect(120, 3330, 1800, 255));
    box(3, false, rect(1980, 3300, 1200, 300));
    label("Total Due:", rect(3360, 3330, 1260, 255));
    dtTotal = picker("dtTotal", rect(4800, 3300, 2160, 315));
    label("Deposit Amount:", rect(120, 3730, 1800, 255));
    box(4, false, rect(1980, 3700, 1200, 300));
    label("Deposit Due:", rect(3360, 3730, 1260, 255));
    dtDeposit = picker("dtDeposit", rect(4800, 3700, 2160, 315));
    label("Balance Amuont:", rect(120, 4130, 1800, 255));
    box(5, false, rect(1980, 4100, 1200, 300));
    label("Balance Due:", rect(3360, 4130, 1260, 255));
    dtBalance = picker("dtBalance", rect(4800, 4100, 2160, 315));
    label("Cancel By Date:", rect(120, 4530, 1800, 255));
    dtCancel = picker("dtCancel", rect(1980, 4500, 1800, 315));

    cmdSave = new QPushButton("Save", w);
    cmdSave->setObjectName("cmdSave");
    cmdSave->setGeometry(rect(4560, 5010, 1140, 375));
    cmdCancel = new QPushButton("Cancel", w);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(rect(5880, 5010, 1140, 375));
    cmdSave->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    const QList<QWidget*> order = {cmbEvent, cmbVendor, Text1[0], Text1[1], Text1[2], Text1[3], dtTotal, Text1[4],
                                   dtDeposit, Text1[5], dtBalance, dtCancel, cmdSave, cmdCancel};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    QObject::connect(cmdSave, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdSave_Click(); }); });
    QObject::connect(cmdCancel, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdCancel_Click(); }); });
}

void frmQuote::releaseControls()
{
    cmbEvent = cmbVendor = nullptr;
    Text1.fill(nullptr);
    dtTotal = dtDeposit = dtBalance = dtCancel = nullptr;
    cmdSave = cmdCancel = nullptr;
}

money::BoxColumns frmQuote::boxes() const
{
    money::BoxColumns b = {{"QUOTE_EVENT", cmbEvent}, {"QUOTE_VENDOR", cmbVendor}};
    for (int i = 0; i < 6; ++i)
        b.push_back({kTextColumns[i], Text1[i]});
    return b;
}

std::array<std::pair<const char*, money::DatePicker*>, 4> frmQuote::pickers() const
{
    return {{{"QUOTE_PAYMENTDUE", dtTotal},
             {"QUOTE_DEPOSITDUE", dtDeposit},
             {"QUOTE_BALANCEDUE", dtBalance},
             {"QUOTE_CANCELDATE", dtCancel}}};
}

void frmQuote::Form_Load()
{
    mode_ = curMode;
    key_ = curQuote;
    ClearFields();
    GetEvents();
    GetVendors();
    if (mode_ == "Edit")
        LoadQuote();
    window()->raise();
}

void frmQuote::ClearFields()
{
    for (QWidget* b : Text1)
        editing::setBoxText(b, QString());
    // One moment for all four, so an untouched quote stores the same in each.
    const QDateTime now(QDate::currentDate(), QTime::currentTime());
    for (money::DatePicker* p : {dtTotal, dtBalance, dtCancel, dtDeposit})
        p->setValue(now);
}

void frmQuote::GetEvents()
{
    if (cmbEvent)
        money::fillBox(cmbEvent, "SELECT EVENT_NAME FROM EVENT");
}

void frmQuote::GetVendors()
{
    if (cmbVendor)
        money::fillBox(cmbVendor, "SELECT VENDOR_NAME FROM VENDOR");
}

void frmQuote::LoadQuote()
{
    money::loadRecord("QUOTE", key_, [this](ado::Recordset& rs) {
        money::showColumns(rs, boxes());
        // A date column without a value leaves its picker on the present.
        for (const auto& [column, picker] : pickers())
            picker->setStored(rs.value(column));
    });
}

void frmQuote::cmdSave_Click()
{
    const auto outcome = editing::saveRecord("QUOTE", mode_ != "Edit", key_, [this](ado::Recordset& rs) {
        money::storeColumns(rs, boxes());
        for (const auto& [column, picker] : pickers())
            editing::assignText(rs, column, picker->stored());
    }, window());
    if (outcome != editing::SaveOutcome::Refused)
        Unload();
}

void frmQuote::cmdCancel_Click()
{
    Unload();
}

void frmQuote::Form_Unload(bool&)
{
    money::refreshMain("QuoteRS");
}
