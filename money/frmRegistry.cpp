#include "money/frmRegistry.h"

#include "platform/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

void frmRegistry::createControls()
{
    using editing::makeButton;
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Registry Gift");
    w->setFixedSize(twips::toPixels(6600), twips::toPixels(3840));

    lblHeading = editing::makeLabel(w, "lblHeading", "Gift Registry - Gifts that we would like to receive.",
                                    rect(120, 120, 6360, 300));
    QFont bold = lblHeading->font();
    bold.setBold(true);
    lblHeading->setFont(bold);

    const char* labels[] = {"Gift Description:", "Model Number:", "Store From:", "Gift Value:", "Category:"};
    const int tops[] = {540, 1440, 1860, 2280, 2700};
    for (int i = 0; i < 5; ++i)
        editing::makeLabel(w, QString(), labels[i], rect(120, tops[i] + 30, 1680, 255));
    Text1[0] = editing::makeTextBox(w, "Text1(0)", true, rect(1860, tops[0], 4620, 780));
    Text1[1] = editing::makeTextBox(w, "Text1(1)", false, rect(1860, tops[1], 2400, 300));
    Combo1[0] = editing::makeListBox(w, "Combo1(0)", rect(1860, tops[2], 3900, 315));
    cmdAddStore = makeButton(w, "cmdAddStore", "Edit", rect(5820, tops[2], 660, 315), [this] { cmdAddStore_Click(); });
    Text1[2] = editing::makeTextBox(w, "Text1(2)", false, rect(1860, tops[3], 1500, 300));
    Combo1[1] = editing::makeListBox(w, "Combo1(1)", rect(1860, tops[4], 3900, 315));
    cmdAddCategory =
        makeButton(w, "cmdAddCategory", "Edit", rect(5820, tops[4], 660, 315), [this] { cmdAddCategory_Click(); });
    cmdSave = makeButton(w, "cmdSave", "Save", rect(4020, 3300, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(5340, 3300, 1140, 375), [this] { cmdCancel_Click(); });
    editing::chainTabOrder(
        {Text1[0], Text1[1], Combo1[0], Text1[2], Combo1[1], cmdSave, cmdCancel, cmdAddStore, cmdAddCategory});

    editing::refillAfterLookupEdits(*this, [this](records::Lookup list) {
        if (list == records::Lookup::Stores)
            GetStores();
        else if (list == records::Lookup::Category)
            GetCategory();
    });
}

void frmRegistry::releaseControls()
{
    lblHeading = nullptr;
    Text1.fill(nullptr);
    Combo1.fill(nullptr);
    cmdAddStore = cmdAddCategory = cmdSave = cmdCancel = nullptr;
}

money::BoxColumns frmRegistry::boxes() const
{
    // In the order the columns are written.
    return {{"REGISTRY_TEXT", Text1[0]},
            {"REGISTRY_MODEL", Text1[1]},
            {"REGISTRY_COST", Text1[2]},
            {"REGISTRY_STORE", Combo1[0]},
            {"REGISTRY_CATEGORY", Combo1[1]}};
}

void frmRegistry::Form_Load()
{
    mode_ = registryMode;
    key_ = registryID;
    GetCategory();
    GetStores();
    ClearFields();
    if (mode_ == Mode::Edit && !LoadRegistry()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
}

void frmRegistry::GetStores()
{
    if (Combo1[0])
        money::fillBox(Combo1[0], "SELECT GIFTSTORE_NAME FROM GIFTSTORE", "Stores");
}

void frmRegistry::GetCategory()
{
    if (Combo1[1])
        money::fillBox(Combo1[1], "SELECT GIFT_CAT_TEXT FROM GIFT_CATEGORY", "Category");
}

void frmRegistry::ClearFields()
{
    for (QWidget* t : Text1)
        editing::setBoxText(t, QString());
}

bool frmRegistry::LoadRegistry()
{
    record_.boxes = [this] { return money::shownIn(boxes()); };
    return editing::openRecord(record_, "REGISTRY", key_,
                               [this](ado::Recordset& rs) { money::showColumns(rs, boxes()); }, window());
}

void frmRegistry::cmdAddStore_Click()
{
    editing::editLookupList(*this, records::Lookup::Stores, true);
}

void frmRegistry::cmdAddCategory_Click()
{
    editing::editLookupList(*this, records::Lookup::Category, true);
}

bool frmRegistry::save()
{
    return editing::saveRecord(record_, "REGISTRY", mode_ == Mode::Add,
                               [this](ado::Recordset& rs) { money::storeColumns(rs, boxes()); }, window())
           != editing::SaveOutcome::Refused;
}

void frmRegistry::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmRegistry::cmdCancel_Click()
{
    closeAsIs();
}

void frmRegistry::Form_Unload(bool&)
{
    money::refreshMain(records::MainList::Registry);
}
