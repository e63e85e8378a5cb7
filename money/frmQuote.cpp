#include "money/frmQuote.h"

#include "platform/twips.h"
#include "platform/ui/boxes.h"

#include <QComboBox>
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
    auto label = [w, &labels](const char* text, int top, int left = 120, int width = 1800) {
        editing::makeLabel(w, QString("Label1(%1)").arg(labels++), text, rect(left, top + 30, width, 255));
    };
    auto picker = [w](const char* name, QRect at) {
        ui::DateBox* p = editing::makeDatePicker(w, name, at);
        p->setEmptyAllowed(true);
        return p;
    };
    auto box = [w, this](int i, bool multiLine, QRect at) {
        Text1[i] = editing::makeTextBox(w, QString("Text1(%1)").arg(i), multiLine, at);
    };

    label("Event:", 120);
    cmbEvent = editing::makeListBox(w, "cmbEvent", rect(1980, 120, 3000, 315));
    label("Vendor Name:", 520);
    cmbVendor = editing::makeListBox(w, "cmbVendor", rect(1980, 520, 3000, 315));
    label("Product:", 920);
    box(0, false, rect(1980, 920, 4980, 300));
    label("Details:", 1320);
    box(1, true, rect(1980, 1320, 4980, 900));
    label("Items not Provided:", 2280);
    box(2, true, rect(1980, 2280, 4980, 900));
    // An amount on the left, its date on the right.
    const char* amounts[] = {"Total Amount:", "Deposit Amount:", "Balance Amuont:"};
    const char* dues[] = {"Total Due:", "Deposit Due:", "Balance Due:"};
    ui::DateBox** pickersOf[] = {&dtTotal, &dtDeposit, &dtBalance};
    const char* pickerNames[] = {"dtTotal", "dtDeposit", "dtBalance"};
    for (int i = 0; i < 3; ++i) {
        const int y = 3300 + 400 * i;
        label(amounts[i], y);
        box(3 + i, false, rect(1980, y, 1200, 300));
        label(dues[i], y, 3360, 1260);
        *pickersOf[i] = picker(pickerNames[i], rect(4800, y, 2160, 315));
    }
    label("Cancel By Date:", 4500);
    dtCancel = picker("dtCancel", rect(1980, 4500, 1800, 315));

    cmdSave = editing::makeButton(w, "cmdSave", "Save", rect(4560, 5010, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel =
        editing::makeButton(w, "cmdCancel", "Cancel", rect(5880, 5010, 1140, 375), [this] { cmdCancel_Click(); });
    editing::chainTabOrder({cmbEvent, cmbVendor, Text1[0], Text1[1], Text1[2], Text1[3], dtTotal, Text1[4], dtDeposit,
                            Text1[5], dtBalance, dtCancel, cmdSave, cmdCancel});
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

std::array<std::pair<const char*, ui::DateBox*>, 4> frmQuote::pickers() const
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
    if (mode_ == Mode::Edit && !LoadQuote()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
}

void frmQuote::ClearFields()
{
    for (QWidget* b : Text1)
        editing::setBoxText(b, QString());
    // Today, without the time of day the window opened at.
    const QDate today = editing::now().date();
    for (ui::DateBox* p : {dtTotal, dtBalance, dtCancel, dtDeposit})
        p->setDate(today);
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

bool frmQuote::LoadQuote()
{
    record_.boxes = [this] {
        editing::ShownBoxes shown = money::shownIn(boxes());
        for (const auto& [column, picker] : pickers())
            shown.push_back({column, picker});
        return shown;
    };
    return editing::openRecord(record_, "QUOTE", key_, [this](ado::Recordset& rs) {
        money::showColumns(rs, boxes());
        // A date column without a value shows no date, and stays so.
        for (const auto& [column, picker] : pickers())
            editing::toPickers(rs.value(column), picker, nullptr);
    }, window());
}

bool frmQuote::save()
{
    return editing::saveRecord(record_, "QUOTE", mode_ != Mode::Edit, [this](ado::Recordset& rs) {
        money::storeColumns(rs, boxes());
        for (const auto& [column, picker] : pickers())
            editing::storeDate(rs, column, picker);
    }, window()) != editing::SaveOutcome::Refused;
}

void frmQuote::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmQuote::cmdCancel_Click()
{
    closeAsIs();
}

void frmQuote::Form_Unload(bool&)
{
    money::refreshMain(records::MainList::Quotes);
}
