#include "money/frmAddExpense.h"

#include "platform/twips.h"
#include "platform/ui/boxes.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void frmAddExpense::createControls()
{
    using editing::makeButton;
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Add Expense Item");
    w->setFixedSize(twips::toPixels(6000), twips::toPixels(3780));

    // Top to bottom: item, vendor, event, paid, due, due date, who pays.
    const struct {
        QLabel** label;
        const char* name;
        const char* text;
    } labels[] = {
        {&Label2[4], "Label2(4)", "Item:"},
        {&Label2[0], "Label2(0)", "Vendor:"},
        {&Label2[1], "Label2(1)", "Event:"},
        {&Label3[0], "Label3(0)", "Amount Paid / Deposit:"},
        {&Label3[1], "Label3(1)", "Amount Due / Balance:"},
        {&Label2[3], "Label2(3)", "Balance Due Date:"},
        {&Label2[2], "Label2(2)", "Who Pays for Item:"},
    };
    for (int row = 0; row < 7; ++row)
        *labels[row].label
            = editing::makeLabel(w, labels[row].name, labels[row].text, rect(120, 150 + 420 * row, 2160, 255));
    auto y = [](int row) { return 120 + 420 * row; };
    auto text = [w](int i, QRect at) {
        return static_cast<QLineEdit*>(editing::makeTextBox(w, QString("Text1(%1)").arg(i), false, at));
    };
    auto list = [w](int i, QRect at) { return editing::makeListBox(w, QString("Combo1(%1)").arg(i), at); };
    Text1[0] = text(0, rect(2340, y(0), 3480, 300));
    Combo1[0] = list(0, rect(2340, y(1), 2760, 315));
    Combo1[1] = list(1, rect(2340, y(2), 2760, 315));
    cmdEditEvent = makeButton(w, "cmdEditEvent", "Edit", rect(5160, y(2), 660, 315), [this] { cmdEditEvent_Click(); });
    Text1[1] = text(1, rect(2340, y(3), 1500, 300));
    Text1[2] = text(2, rect(2340, y(4), 1500, 300));
    dtDate = editing::makeDatePicker(w, "dtDate", rect(2340, y(5), 1800, 315));
    dtDate->setEmptyAllowed(true);
    Combo1[2] = list(2, rect(2340, y(6), 2760, 315));
    cmdEditAssignees =
        makeButton(w, "cmdEditAssignees", "Edit", rect(5160, y(6), 660, 315), [this] { cmdEditAssignees_Click(); });
    cmdSave = makeButton(w, "cmdSave", "Save", rect(3360, 3240, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(4680, 3240, 1140, 375), [this] { cmdCancel_Click(); });
    editing::chainTabOrder({Text1[0], Combo1[0], Combo1[1], cmdEditEvent, Text1[1], Text1[2], dtDate, Combo1[2],
                            cmdEditAssignees, cmdSave, cmdCancel});

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) {
        GetAssignees();
        GetEvents();
    });
}

void frmAddExpense::releaseControls()
{
    Label2.fill(nullptr);
    Label3.fill(nullptr);
    Text1.fill(nullptr);
    Combo1.fill(nullptr);
    dtDate = nullptr;
    cmdEditEvent = cmdEditAssignees = cmdSave = cmdCancel = nullptr;
}

money::BoxColumns frmAddExpense::boxes() const
{
    return {{"EXPENSE_TEXT", Text1[0]},
            {"EXPENSE_VENDOR", Combo1[0]},
            {"EXPENSE_EVENT", Combo1[1]},
            {"EXPENSE_AMTPAID", Text1[1]},
            {"EXPENSE_AMTDUE", Text1[2]},
            {"EXPENSE_WHOPAYS", Combo1[2]}};
}

void frmAddExpense::Form_Load()
{
    mode_ = curMode;
    key_ = curBudgetID;
    FillVendors();
    GetEvents();
    GetAssignees();
    if (mode_ == Mode::Edit) {
        if (!LoadExpense()) {
            Unload();
            return;
        }
        window()->setWindowTitle("Edit Budget Item");
    } else {
        ClearFields();
        if (mode_ == Mode::Budget) {
            Text1[0]->setText(exExpenseText);
            editing::setBoxText(Combo1[1], exExpenseEvent);
            Text1[2]->setText(exExpenseAmtDue);
            editing::setBoxText(Combo1[2], exExpenseWhoPays);
        }
    }
    boxesSaved();
    window()->raise();
}

void frmAddExpense::FillVendors()
{
    if (Combo1[0])
        money::fillBox(Combo1[0], "SELECT VENDOR_NAME FROM VENDOR");
}

void frmAddExpense::GetEvents()
{
    if (Combo1[1])
        money::fillBox(Combo1[1], "SELECT STDEVENT_TEXT FROM STDEVENT", "Event");
}

void frmAddExpense::GetAssignees()
{
    if (Combo1[2])
        money::fillBox(Combo1[2], "SELECT ASSIGNEE_TEXT FROM ASSIGNEE", "Assignee");
}

void frmAddExpense::ClearFields()
{
    for (QLineEdit* t : Text1)
        t->clear();
    dtDate->setDate(editing::now().date());
}

bool frmAddExpense::LoadExpense()
{
    record_.boxes = [this] { return money::shownIn(boxes()); };
    return editing::openRecord(record_, "EXPENSES", key_, [this](ado::Recordset& rs) {
        money::showColumns(rs, boxes());
        editing::toPickers(rs.value("EXPENSE_DUEDATE"), dtDate, nullptr);
    }, window());
}

bool frmAddExpense::save()
{
    return editing::saveRecord(record_, "EXPENSES", mode_ != Mode::Edit, [this](ado::Recordset& rs) {
        money::storeColumns(rs, boxes());
        editing::storeDate(rs, "EXPENSE_DUEDATE", dtDate);
    }, window()) != editing::SaveOutcome::Refused;
}

void frmAddExpense::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmAddExpense::cmdCancel_Click()
{
    closeAsIs();
}

void frmAddExpense::cmdEditEvent_Click()
{
    editing::editLookupList(*this, records::Lookup::Event);
}

void frmAddExpense::cmdEditAssignees_Click()
{
    editing::editLookupList(*this, records::Lookup::Assignee);
}

void frmAddExpense::Form_Unload(bool&)
{
    // A budget item turned into an expense leaves the budget view as it is.
    if (mode_ != Mode::Budget)
        money::refreshMain(records::MainList::Expenses);
}
