#pragma once
// The expense editor: an expense's text, vendor, event, amounts paid and
// due, due date and who pays. Adds an EXPENSES row, edits one, or starts a
// new expense from a budget item ("Budget"), leaving the item as it is.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QLabel;
namespace ui {
class DateBox;
}
class QLineEdit;
class QPushButton;

class frmAddExpense : public editing::RecordEditor<ui::Form<frmAddExpense, QDialog>> {
public:
    // Shown again while open, it goes on with the expense it was opened on.
    frmAddExpense() : RecordEditor("frmAddExpense")
    {
        keepWhileOpen(curMode, curBudgetID, exExpenseText, exExpenseEvent, exExpenseAmtDue, exExpenseWhoPays);
    }

    // Budget makes an expense from a budget item: the four texts below
    // filled in, and the budget view left as it is on closing.
    enum class Mode { Add, New, Edit, Budget };

    // Written by the opener; kept between openings.
    Mode curMode = Mode::Add;
    qint64 curBudgetID = 0;  // the EXPENSE_ID to edit
    // The budget item an expense is made from, in mode "Budget".
    QString exExpenseText, exExpenseEvent, exExpenseAmtDue, exExpenseWhoPays;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdEditEvent_Click();
    void cmdEditAssignees_Click();
    // The event and payer lists, also called by the lookup editor.
    void GetEvents();
    void GetAssignees();

    std::array<QLabel*, 5> Label2{};
    std::array<QLabel*, 2> Label3{};
    std::array<QLineEdit*, 3> Text1{};   // item, amount paid, amount due
    std::array<QComboBox*, 3> Combo1{};  // vendor, event, who pays
    ui::DateBox* dtDate = nullptr;  // may hold no date
    QPushButton* cmdEditEvent = nullptr;
    QPushButton* cmdEditAssignees = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;


protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    bool LoadExpense();
    bool save() override;
    void FillVendors();
    money::BoxColumns boxes() const;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
};
