#include "money/frmAddBudget.h"

#include "platform/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void frmAddBudget::createControls()
{
    using editing::makeButton;
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Add Budget Item");
    w->setFixedSize(twips::toPixels(5640), twips::toPixels(2940));

    // Label2 indexes as designed: 4 the item, 0 to 2 the lists, 3 the cost.
    const std::pair<int, const char*> labels[] = {
        {4, "Item:"}, {0, "Category::"}, {1, "Event:"}, {2, "Who Pays for Item:"}, {3, "Cost:"}};
    for (int row = 0; row < 5; ++row) {
        const auto& [index, text] = labels[row];
        Label2[index]
            = editing::makeLabel(w, QString("Label2(%1)").arg(index), text, rect(120, 150 + 420 * row, 1740, 255));
    }
    Text1[0] = static_cast<QLineEdit*>(editing::makeTextBox(w, "Text1(0)", false, rect(1920, 120, 3540, 300)));
    Text1[1] = static_cast<QLineEdit*>(editing::makeTextBox(w, "Text1(1)", false, rect(1920, 1800, 1500, 300)));
    for (int i = 0; i < 3; ++i)
        Combo1[i] = editing::makeListBox(w, QString("Combo1(%1)").arg(i), rect(1920, 540 + 420 * i, 2820, 315));
    cmdEditCategory
        = makeButton(w, "cmdEditCategory", "Edit", rect(4800, 540, 660, 315), [this] { cmdEditCategory_Click(); });
    cmdEditEvent = makeButton(w, "cmdEditEvent", "Edit", rect(4800, 960, 660, 315), [this] { cmdEditEvent_Click(); });
    cmdEditAssignees =
        makeButton(w, "cmdEditAssignees", "Edit", rect(4800, 1380, 660, 315), [this] { cmdEditAssignees_Click(); });
    cmdSave = makeButton(w, "cmdSave", "Save", rect(3000, 2400, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(4320, 2400, 1140, 375), [this] { cmdCancel_Click(); });
    editing::chainTabOrder({Text1[0], Combo1[0], cmdEditCategory, Combo1[1], cmdEditEvent, Combo1[2],
                            cmdEditAssignees, Text1[1], cmdSave, cmdCancel});

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) {
        GetAssignees();
        GetCategories();
        GetEvents();
    });
}

void frmAddBudget::releaseControls()
{
    Label2.fill(nullptr);
    Text1.fill(nullptr);
    Combo1.fill(nullptr);
    cmdEditCategory = cmdEditEvent = cmdEditAssignees = cmdSave = cmdCancel = nullptr;
}

money::BoxColumns frmAddBudget::boxes() const
{
    // In the order the columns are written.
    return {{"BUDGET_NAME", Text1[0]},
            {"BUDGET_CATEGORY", Combo1[0]},
            {"BUDGET_EVENT", Combo1[1]},
            {"BUDGET_AMT", Text1[1]},
            {"BUDGET_WHOPAYS", Combo1[2]}};
}

void frmAddBudget::Form_Load()
{
    mode_ = curMode;
    key_ = curBudgetID;
    GetCategories();
    GetEvents();
    GetAssignees();
    if (mode_ == Mode::Add) {
        ClearFields();
    } else {
        if (!LoadBudget()) {
            Unload();
            return;
        }
        window()->setWindowTitle("Edit Budget Item");
    }
    boxesSaved();
    window()->raise();
}

void frmAddBudget::GetCategories()
{
    if (Combo1[0])
        money::fillBox(Combo1[0], "SELECT BUDGETCATEGORY_TEXT FROM BUDGETCATEGORY", "BudgetCategory");
}

void frmAddBudget::GetEvents()
{
    if (Combo1[1])
        money::fillBox(Combo1[1], "SELECT STDEVENT_TEXT FROM STDEVENT", "Event");
}

void frmAddBudget::GetAssignees()
{
    if (Combo1[2])
        money::fillBox(Combo1[2], "SELECT ASSIGNEE_TEXT FROM ASSIGNEE", "Assignee");
}

void frmAddBudget::ClearFields()
{
    Text1[0]->clear();
    Text1[1]->clear();
}

bool frmAddBudget::LoadBudget()
{
    record_.boxes = [this] { return money::shownIn(boxes()); };
    return editing::openRecord(record_, "BUDGET", key_, [this](ado::Recordset& rs) { money::showColumns(rs, boxes()); },
                               window());
}

bool frmAddBudget::save()
{
    return editing::saveRecord(record_, "BUDGET", mode_ == Mode::Add,
                               [this](ado::Recordset& rs) { money::storeColumns(rs, boxes()); }, window())
           != editing::SaveOutcome::Refused;
}

void frmAddBudget::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmAddBudget::cmdCancel_Click()
{
    closeAsIs();
}

void frmAddBudget::cmdEditCategory_Click()
{
    editing::editLookupList(*this, records::Lookup::BudgetCategory);
}

void frmAddBudget::cmdEditEvent_Click()
{
    editing::editLookupList(*this, records::Lookup::Event);
}

void frmAddBudget::cmdEditAssignees_Click()
{
    editing::editLookupList(*this, records::Lookup::Assignee);
}

void frmAddBudget::Form_Unload(bool&)
{
    money::refreshMain(records::MainList::Budget);
}
