#include "money/frmAddBudget.h"

#include "platform/twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void frmAddBudget::createControls()
{
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Add Budget Item");
    w->setFixedSize(twips::toPixels(5640), twips::toPixels(2940));

    // Label2 indexes as designed: 4 the item, 0 to 2 the lists, 3 the cost.
    const std::pair<int, const char*> labels[] = {
        {4, "Item:"}, {0, "Category::"}, {1, "Event:"}, {2, "Who Pays for Item:"}, {3, "Cost:"}};
    for (int row = 0; row < 5; ++row) {
        const auto& [index, text] = labels[row];
        Label2[index] = new QLabel(text, w);
        Label2[index]->setObjectName(QString("Label2(%1)").arg(index));
        Label2[index]->setGeometry(rect(120, 150 + 420 * row, 1740, 255));
    }
    for (int i = 0; i < 2; ++i) {
        Text1[i] = new QLineEdit(w);
        Text1[i]->setObjectName(QString("Text1(%1)").arg(i));
    }
    Text1[0]->setGeometry(rect(1920, 120, 3540, 300));
    Text1[1]->setGeometry(rect(1920, 1800, 1500, 300));
    QPushButton** edits[] = {&cmdEditCategory, &cmdEditEvent, &cmdEditAssignees};
    const char* editNames[] = {"cmdEditCategory", "cmdEditEvent", "cmdEditAssignees"};
    for (int i = 0; i < 3; ++i) {
        Combo1[i] = new QComboBox(w);
        Combo1[i]->setObjectName(QString("Combo1(%1)").arg(i));
        Combo1[i]->setEditable(true);
        Combo1[i]->setInsertPolicy(QComboBox::NoInsert);
        Combo1[i]->setGeometry(rect(1920, 540 + 420 * i, 2820, 315));
        *edits[i] = new QPushButton("Edit", w);
        (*edits[i])->setObjectName(editNames[i]);
        (*edits[i])->setGeometry(rect(4800, 540 + 420 * i, 660, 315));
    }
    cmdSave = new QPushButton("Save", w);
    cmdSave->setObjectName("cmdSave");
    cmdSave->setGeometry(rect(3000, 2400, 1140, 375));
    cmdCancel = new QPushButton("Cancel", w);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(rect(4320, 2400, 1140, 375));
    for (QPushButton* b : {cmdEditCategory, cmdEditEvent, cmdEditAssignees, cmdSave, cmdCancel})
        b->setAutoDefault(false);

    const QList<QWidget*> order = {Text1[0], Combo1[0], cmdEditCategory, Combo1[1], cmdEditEvent, Combo1[2],
                                   cmdEditAssignees, Text1[1], cmdSave, cmdCancel};
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    auto on = [w](QPushButton* b, std::function<void()> f) {
        QObject::connect(b, &QPushButton::clicked, w, [f] { ui::guarded(f); });
    };
    on(cmdSave, [this] { cmdSave_Click(); });
    on(cmdCancel, [this] { cmdCancel_Click(); });
    on(cmdEditCategory, [this] { cmdEditCategory_Click(); });
    on(cmdEditEvent, [this] { cmdEditEvent_Click(); });
    on(cmdEditAssignees, [this] { cmdEditAssignees_Click(); });
    procs_.set("frmAddBudget.GetAssignees", [this] { GetAssignees(); });
    procs_.set("frmAddBudget.GetCategories", [this] { GetCategories(); });
    procs_.set("frmAddBudget.GetEvents", [this] { GetEvents(); });
}

void frmAddBudget::releaseControls()
{
    procs_.clear();
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
    if (mode_ == "Add") {
        ClearFields();
    } else if (mode_ == "Edit") {
        LoadBudget();
        window()->setWindowTitle("Edit Budget Item");
    }
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

void frmAddBudget::LoadBudget()
{
    money::loadRecord("BUDGET", key_, [this](ado::Recordset& rs) { money::showColumns(rs, boxes()); });
}

void frmAddBudget::cmdSave_Click()
{
    if (mode_ == "Edit" || mode_ == "Add") {
        const auto outcome = editing::saveRecord("BUDGET", mode_ == "Add", key_,
                                                 [this](ado::Recordset& rs) { money::storeColumns(rs, boxes()); },
                                                 window());
        if (outcome == editing::SaveOutcome::Refused)
            return;
    }
    Unload();
}

void frmAddBudget::cmdCancel_Click()
{
    Unload();
}

void frmAddBudget::cmdEditCategory_Click()
{
    money::editLookupList("AddBudget", "BudgetCategory", this);
}

void frmAddBudget::cmdEditEvent_Click()
{
    money::editLookupList("AddBudget", "Event", this);
}

void frmAddBudget::cmdEditAssignees_Click()
{
    money::editLookupList("AddBudget", "Assignee", this);
}

void frmAddBudget::Form_Unload(bool&)
{
    money::refreshMain("BudgetRS");
}
