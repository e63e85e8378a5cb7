#include "money/frmVendor.h"

#include "money/moneyedit.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

const std::array<const char*, 26> frmVendor::kTextColumns = {
    "VENDOR_NAME",          "VENDOR_CONTACT",        "VENDOR_ADDRESS1",      "VENDOR_ADDRESS2",
    "VENDOR_CITY",          "VENDOR_STATE",          "VENDOR_ZIP",           "VENDOR_PHONE1",
    "VENDOR_PHONE2",        "VENDOR_FAX",            "VENDOR_EMAIL",         "VENDOR_URL",
    "VENDOR_COMMENTS",      "VENDOR_BRIDEBESTNOTE",  "VENDOR_BRIDEWORSTNOTE", "VENDOR_GROOMBESTNOTE",
    "VENDOR_GROOMWORSTNOTE", "VENDOR_REF1NAME",      "VENDOR_REF1PHONE",     "VENDOR_REF1COMMENT",
    "VENDOR_REF2NAME",      "VENDOR_REF2PHONE",      "VENDOR_REF2COMMENT",   "VENDOR_REF3NAME",
    "VENDOR_REF3PHONE",     "VENDOR_REF3COMMENT",
};

namespace {

const char* const kRatings[4] = {"Excellent", "Very Good", "Average", "Poor"};

QLabel* label(const QString& text, QWidget* parent, QRect at)
{
    return editing::makeLabel(parent, QString(), text, at);
}

QWidget* textBox(int index, bool multiLine, QWidget* parent, QRect at)
{
    return editing::makeTextBox(parent, QString("Text1(%1)").arg(index), multiLine, at);
}

// Stored 1 to 4 checks its button; anything else checks none.
void showRating(const QVariant& stored, const std::array<QRadioButton*, 4>& buttons)
{
    bool ok = false;
    const qlonglong v = stored.toLongLong(&ok);
    if (!stored.isNull() && ok && v >= 1 && v <= 4)
        buttons[v - 1]->setChecked(true);
}

// The first button on gives its rating; none on leaves the column as stored.
void storeRating(ado::Recordset& rs, const char* column, const std::array<QRadioButton*, 4>& buttons)
{
    for (int i = 0; i < 4; ++i)
        if (buttons[i]->isChecked()) {
            rs.setValue(column, i + 1);
            return;
        }
}

}  // namespace

void frmVendor::createControls()
{
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Vendor");
    w->setFixedSize(twips::toPixels(7800), twips::toPixels(5580));

    TabStrip1 = money::makeTabStrip(w, rect(120, 120, 7560, 360),
                                    {{"General", "tabGeneral"},
                                     {"References", "tabReferences"},
                                     {"Bride's Comments", "tabBridesComments"},
                                     {"Groom's Comments", "tabGroomsComments"}});
    auto frame = [&](const char* name, const char* caption) {
        return money::makePage(w, name, caption, rect(120, 480, 7560, 4440));
    };
    frameGeneral = frame("frameGeneral", "General");
    frameReferences = frame("frameReferences", "References");
    frameBridesComments = frame("frameBridesComments", "Bride's Comments");
    frameGroomsComments = frame("frameGroomsComments", "Groom's Comments");

    // General: the name, type and address on the left, phones and notes on the right.
    QGroupBox* g = frameGeneral;
    label("Vendor Name:", g, rect(120, 390, 1380, 255));
    Text1[0] = textBox(0, false, g, rect(1560, 360, 2160, 300));
    label("Vedor Type:", g, rect(120, 790, 1380, 255));
    cmbVendorTypes = editing::makeListBox(g, "cmbVendorTypes", rect(1560, 760, 1560, 315));
    cmdAddCategory =
        editing::makeButton(g, "cmdAddCategory", "Edit", rect(3180, 760, 540, 315), [this] { cmdAddCategory_Click(); });
    const char* leftLabels[] = {"Contact Name:", "Address 1:", "Address 2:", "City:", "State:", "ZIP/Postal:"};
    for (int i = 0; i < 6; ++i) {
        const int y = 1160 + 400 * i;
        label(leftLabels[i], g, rect(120, y + 30, 1380, 255));
        Text1[1 + i] = textBox(1 + i, false, g, rect(1560, y, 2160, 300));
    }
    const char* rightLabels[] = {"Phone 1:", "Phone 2:", "Fax:", "Email:", "Web URL:"};
    for (int i = 0; i < 5; ++i) {
        const int y = 360 + 400 * i;
        label(rightLabels[i], g, rect(3900, y + 30, 900, 255));
        Text1[7 + i] = textBox(7 + i, false, g, rect(4860, y, 2580, 300));
    }
    label("Notes:", g, rect(3900, 2390, 900, 255));
    Text1[12] = textBox(12, true, g, rect(4860, 2360, 2580, 1800));

    // References: three blocks of name, phone and comments.
    QGroupBox* r = frameReferences;
    for (int b = 0; b < 3; ++b) {
        const int y = 300 + 1360 * b;
        const int first = 17 + 3 * b;
        label(QString("Reference %1:").arg(b + 1), r, rect(120, y, 2000, 255));
        label("Name:", r, rect(240, y + 330, 720, 255));
        Text1[first] = textBox(first, false, r, rect(1020, y + 300, 2700, 300));
        label("Phone:", r, rect(3900, y + 330, 720, 255));
        Text1[first + 1] = textBox(first + 1, false, r, rect(4680, y + 300, 2760, 300));
        label("Comments", r, rect(240, y + 710, 1080, 255));
        Text1[first + 2] = textBox(first + 2, true, r, rect(1380, y + 680, 6060, 560));
        if (b < 2) {
            auto* line = new QFrame(r);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setGeometry(rect(120, y + 1300, 7320, 30));
        }
    }

    // Bride's and groom's pages: two notes and a rating each.
    auto comments = [&](QGroupBox* page, int firstBox, std::array<QRadioButton*, 4>& buttons, const char* name) {
        label("What I liked most about this vendor.", page, rect(120, 360, 6000, 255));
        Text1[firstBox] = textBox(firstBox, true, page, rect(120, 640, 7320, 1300));
        label("What I liked least about this vendor.", page, rect(120, 2040, 6000, 255));
        Text1[firstBox + 1] = textBox(firstBox + 1, true, page, rect(120, 2320, 7320, 1300));
        label("Overall Rating:", page, rect(120, 3800, 1500, 255));
        auto* holder = new QFrame(page);
        holder->setGeometry(rect(1680, 3720, 5760, 420));
        for (int i = 0; i < 4; ++i) {
            buttons[i] = new QRadioButton(kRatings[i], holder);
            buttons[i]->setObjectName(QString("%1(%2)").arg(name).arg(i));
            buttons[i]->setGeometry(rect(1440 * i, 60, 1400, 300));
        }
    };
    comments(frameBridesComments, 13, optBR, "optBR");
    comments(frameGroomsComments, 15, optGR, "optGR");

    cmdSave = editing::makeButton(w, "cmdSave", "Save", rect(5160, 5040, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel =
        editing::makeButton(w, "cmdCancel", "Cancel", rect(6420, 5040, 1140, 375), [this] { cmdCancel_Click(); });

    // Box 0, the type, boxes 1 to 12, the buttons, the references, the notes.
    QList<QWidget*> order = {Text1[0], cmbVendorTypes};
    for (int i = 1; i <= 12; ++i)
        order << Text1[i];
    order << cmdSave << cmdCancel;
    for (int i = 17; i <= 25; ++i)
        order << Text1[i];
    for (int i = 13; i <= 16; ++i)
        order << Text1[i];
    editing::chainTabOrder(order);

    QObject::connect(TabStrip1, &QTabBar::currentChanged, w, [this] { ui::guarded([this] { TabStrip1_Click(); }); });
    editing::refillAfterLookupEdits(*this, [this](records::Lookup) { GetVendorTypes(); });
}

void frmVendor::releaseControls()
{
    TabStrip1 = nullptr;
    frameGeneral = frameReferences = frameBridesComments = frameGroomsComments = nullptr;
    Text1.fill(nullptr);
    cmbVendorTypes = nullptr;
    cmdAddCategory = cmdSave = cmdCancel = nullptr;
    optBR.fill(nullptr);
    optGR.fill(nullptr);
}

void frmVendor::Form_Load()
{
    mode_ = curMode;
    key_ = vendorID;
    ClearFields();
    GetVendorTypes();
    showPage(frameGeneral);
    if (mode_ == Mode::Edit && !LoadVendor()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
}

void frmVendor::ClearFields()
{
    for (QWidget* box : Text1)
        editing::setBoxText(box, QString());
}

void frmVendor::GetVendorTypes()
{
    if (cmbVendorTypes)
        money::fillBox(cmbVendorTypes, "SELECT VENDORTYPE_NAME FROM VENDORTYPE", "VendorTypes");
}

bool frmVendor::LoadVendor()
{
    record_.boxes = [this] {
        editing::ShownBoxes shown = money::shownIn(textBoxes());
        shown.push_back({"VENDOR_TYPE", cmbVendorTypes});
        return shown;
    };
    return editing::openRecord(record_, "VENDOR", key_, [this](ado::Recordset& rs) {
        money::showColumns(rs, textBoxes());
        showRating(rs.value("VENDOR_BRIDERATING"), optBR);
        showRating(rs.value("VENDOR_GROOMRATING"), optGR);
        const QVariant type = rs.value("VENDOR_TYPE");
        if (!type.isNull())
            editing::setBoxText(cmbVendorTypes, type.toString());
    }, window());
}

money::BoxColumns frmVendor::textBoxes() const
{
    money::BoxColumns boxes;
    for (int i = 0; i < 26; ++i)
        boxes.push_back({kTextColumns[i], Text1[i]});
    return boxes;
}

void frmVendor::showPage(QGroupBox* frame)
{
    money::showPage({frameGeneral, frameReferences, frameBridesComments, frameGroomsComments}, frame);
}

void frmVendor::TabStrip1_Click()
{
    QGroupBox* pages[] = {frameGeneral, frameReferences, frameBridesComments, frameGroomsComments};
    const int tab = TabStrip1->currentIndex() + 1;
    if (tab >= 1 && tab <= 4)
        showPage(pages[tab - 1]);
}

void frmVendor::cmdAddCategory_Click()
{
    editing::editLookupList(*this, records::Lookup::VendorTypes);
}

bool frmVendor::save()
{
    return editing::saveRecord(record_, "VENDOR", mode_ == Mode::Add, [this](ado::Recordset& rs) {
        money::storeColumns(rs, textBoxes());
        storeRating(rs, "VENDOR_BRIDERATING", optBR);
        storeRating(rs, "VENDOR_GROOMRATING", optGR);
        editing::assignText(rs, "VENDOR_TYPE", cmbVendorTypes->currentText());
    }, window()) != editing::SaveOutcome::Refused;
}

void frmVendor::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmVendor::cmdCancel_Click()
{
    closeAsIs();
}

void frmVendor::Form_Unload(bool&)
{
    money::refreshMain(records::MainList::Vendors);
}
