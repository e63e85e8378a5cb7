#include "money/frmAttire.h"

#include "platform/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

void frmAttire::createControls()
{
    using editing::makeButton;
    using editing::makeLabel;
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Add Attire Item");
    w->setFixedSize(twips::toPixels(5640), twips::toPixels(3300));

    // Top to bottom: item, for whom, type, vendor, cost.
    const int tops[] = {120, 840, 1260, 1680, 2100};
    Label2[4] = makeLabel(w, "Label2(4)", "Item:", rect(120, tops[0] + 30, 1200, 255));
    Label2[1] = makeLabel(w, "Label2(1)", "For Whom:", rect(120, tops[1] + 30, 1200, 255));
    Label2[5] = makeLabel(w, "Label2(5)", "Type:", rect(120, tops[2] + 30, 1200, 255));
    Label2[0] = makeLabel(w, "Label2(0)", "Vendor:", rect(120, tops[3] + 30, 1200, 255));
    Label3 = makeLabel(w, "Label3(0)", "Cost:", rect(120, tops[4] + 30, 1200, 255));
    Text1[0] = editing::makeTextBox(w, "Text1(0)", true, rect(1380, tops[0], 4140, 600));
    Combo1[1] = editing::makeListBox(w, "Combo1(1)", rect(1380, tops[1], 3420, 315));
    cmdEditAssignees =
        makeButton(w, "cmdEditAssignees", "Edit", rect(4860, tops[1], 660, 315), [this] { cmdEditAssignees_Click(); });
    Combo1[2] = editing::makeListBox(w, "Combo1(2)", rect(1380, tops[2], 3420, 315));
    cmdEditAttireType = makeButton(w, "cmdEditAttireType", "Edit", rect(4860, tops[2], 660, 315),
                                   [this] { cmdEditAttireType_Click(); });
    Combo1[0] = editing::makeListBox(w, "Combo1(0)", rect(1380, tops[3], 3420, 315));
    Text1[1] = editing::makeTextBox(w, "Text1(1)", false, rect(1380, tops[4], 1500, 300));
    cmdSave = makeButton(w, "cmdSave", "Save", rect(3060, 2700, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(4380, 2700, 1140, 375), [this] { cmdCancel_Click(); });
    editing::chainTabOrder({Text1[0], Combo1[1], cmdEditAssignees, Combo1[2], cmdEditAttireType, Combo1[0], Text1[1],
                            cmdSave, cmdCancel});
    money::centredDialog(w);

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) {
        GetAttireTypes();
        GetAssignees();
    });
}

void frmAttire::releaseControls()
{
    Label2.fill(nullptr);
    Label3 = nullptr;
    Text1.fill(nullptr);
    Combo1.fill(nullptr);
    cmdEditAssignees = cmdEditAttireType = cmdSave = cmdCancel = nullptr;
}

money::BoxColumns frmAttire::boxes() const
{
    // In the order the columns are written.
    return {{"ATTIRE_ITEM", Text1[0]},
            {"ATTIRE_VENDOR", Combo1[0]},
            {"ATTIRE_ASSIGNEE", Combo1[1]},
            {"ATTIRE_TYPE", Combo1[2]},
            {"ATTIRE_COST", Text1[1]}};
}

void frmAttire::Form_Load()
{
    mode_ = curMode;
    key_ = curAttireID;
    ClearFields();
    GetVendors();
    GetAttireTypes();
    GetAssignees();
    if (mode_ != Mode::Add) {
        if (!LoadAttire()) {
            Unload();
            return;
        }
        window()->setWindowTitle("Edit Attire Item");
    }
    boxesSaved();
    window()->raise();
}

void frmAttire::ClearFields()
{
    for (QWidget* t : Text1)
        editing::setBoxText(t, QString());
    for (QComboBox* c : Combo1)
        editing::fillListEmpty(c, {});
}

void frmAttire::GetVendors()
{
    money::fillBox(Combo1[0], "SELECT VENDOR_NAME FROM VENDOR");
}

void frmAttire::GetAttireTypes()
{
    if (Combo1[2])
        money::fillBox(Combo1[2], "SELECT ATTIRETYPE_NAME FROM ATTIRE_TYPE", "Attire");
}

void frmAttire::GetAssignees()
{
    if (Combo1[1])
        money::fillBox(Combo1[1], "SELECT ASSIGNEE_TEXT FROM ASSIGNEE", "Assignee");
}

bool frmAttire::LoadAttire()
{
    record_.boxes = [this] { return money::shownIn(boxes()); };
    return editing::openRecord(record_, "ATTIRE", key_, [this](ado::Recordset& rs) { money::showColumns(rs, boxes()); },
                               window());
}

bool frmAttire::save()
{
    // An emptied cost leaves the stored one.
    return editing::saveRecord(record_, "ATTIRE", mode_ != Mode::Edit,
                               [this](ado::Recordset& rs) { money::storeColumns(rs, boxes()); }, window())
        != editing::SaveOutcome::Refused;
}

void frmAttire::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmAttire::cmdCancel_Click()
{
    closeAsIs();
}

void frmAttire::cmdEditAssignees_Click()
{
    editing::editLookupList(*this, records::Lookup::Assignee);
}

void frmAttire::cmdEditAttireType_Click()
{
    editing::editLookupList(*this, records::Lookup::Attire);
}

void frmAttire::Form_Unload(bool&)
{
    money::refreshMain(records::MainList::Attire);
}
