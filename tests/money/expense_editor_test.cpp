// The expense editor beyond what every editor keeps to: "New" as "Add",
// both on today, the expense made from a budget item, and an expense deleted
// while it is open.

#include "money_fixture.h"

#include "money/frmAddExpense.h"
#include "platform/ui/boxes.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class ExpenseEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        watch("EXPENSES");
        traced();
    }
    frmAddExpense& open(frmAddExpense::Mode mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmAddExpense::curBudgetID, key);
    }
    QStringList row(qint64 key) { return rowTexts("EXPENSES", key); }
};

TEST_F(ExpenseEditor, AddAndNewStartEmptyOnTodayAndAddARow)
{
    for (const frmAddExpense::Mode mode : {frmAddExpense::Mode::Add, frmAddExpense::Mode::New}) {
        SCOPED_TRACE(mode == frmAddExpense::Mode::Add ? "Add" : "New");
        db().Execute("DELETE FROM EXPENSES");
        traced();
        frmAddExpense& f = open(mode);
        EXPECT_EQ(f.window()->windowTitle(), "Add Expense Item");
        EXPECT_EQ(f.dtDate->date(), QDate::currentDate());
        for (QComboBox* c : f.Combo1)
            EXPECT_EQ(c->currentText(), "");
        type(f.Text1[0], "Bouquets");
        click(f.cmdSave);
        EXPECT_EQ(row(cell("SELECT EXPENSE_ID FROM EXPENSES").toLongLong())[0], "Bouquets");
        EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh ExpensesRS"}));
    }
}

TEST_F(ExpenseEditor, ABudgetItemBecomesANewExpenseWithoutARefresh)
{
    const qint64 budget = insert("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_EVENT, BUDGET_AMT, BUDGET_WHOPAYS) "
                                 "VALUES ('Cake', 'Reception', 500, 'Bride''s Parents')");
    traced();
    frmAddExpense& f = frmAddExpense::instance();
    f.exExpenseText = "Cake";
    f.exExpenseEvent = "Reception";
    f.exExpenseAmtDue = "500";
    f.exExpenseWhoPays = "Bride's Parents";
    open(frmAddExpense::Mode::Budget, 77);
    EXPECT_EQ(f.window()->windowTitle(), "Add Expense Item");
    EXPECT_EQ(f.Text1[0]->text(), "Cake");
    EXPECT_EQ(f.Combo1[1]->currentText(), "Reception");
    EXPECT_EQ(f.Text1[2]->text(), "500");
    EXPECT_EQ(f.Combo1[2]->currentText(), "Bride's Parents");
    EXPECT_EQ(f.Text1[1]->text(), "");
    EXPECT_EQ(f.Combo1[0]->currentText(), "");
    EXPECT_EQ(f.dtDate->date(), QDate::currentDate());
    click(f.cmdCancel);
    EXPECT_EQ(traced(), QStringList()) << "cancel: nothing written, nothing refreshed";

    open(frmAddExpense::Mode::Budget, 77);
    click(f.cmdSave);
    EXPECT_EQ(count("SELECT count(*) FROM EXPENSES WHERE EXPENSE_TEXT = 'Cake' AND EXPENSE_AMTDUE = 500"), 1);
    EXPECT_EQ(traced(), QStringList({"log 1", "insert"}));
    EXPECT_EQ(cell("SELECT BUDGET_AMT FROM BUDGET WHERE BUDGET_ID = ?", {budget}).toDouble(), 500.0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'BUDGET'"), 0);
}

TEST_F(ExpenseEditor, OneDeletedWhileOpenWritesNothing)
{
    const qint64 key = insert("INSERT INTO EXPENSES (EXPENSE_TEXT) VALUES ('Band')");
    traced();
    frmAddExpense& f = open(frmAddExpense::Mode::Edit, key);
    type(f.Text1[0], "Band, late");
    db().Execute("DELETE FROM EXPENSES WHERE EXPENSE_ID = ?", {key});
    click(f.cmdSave);
    EXPECT_EQ(messages.msgs->texts(), QStringList{editing::kRecordGone});
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM EXPENSES"), 0) << "never inserted again";
    EXPECT_EQ(logRows("EXPENSES", key, 2), 0);
    EXPECT_EQ(traced(), QStringList({"refresh ExpensesRS"}));
}

}  // namespace
