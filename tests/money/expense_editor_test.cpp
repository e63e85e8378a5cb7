// The expense editor in its four modes: add, edit, the expense made from a
// budget item, and a modeless opening that keeps its expense.

#include "money_fixture.h"

#include "money/frmAddExpense.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class ExpenseEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        db().Execute("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Bloom & Co'), ('Harp Trio')");
        watch("EXPENSES");
        traced();
    }
    frmAddExpense& open(const QString& mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmAddExpense::curBudgetID, key);
    }
    QStringList row(qint64 key) { return rowTexts("EXPENSES", key); }
};

TEST_F(ExpenseEditor, AddAndNewStartEmptyOnTodayAndAddARow)
{
    for (const char* mode : {"Add", "New"}) {
        SCOPED_TRACE(mode);
        db().Execute("DELETE FROM EXPENSES");
        traced();
        frmAddExpense& f = open(mode);
        EXPECT_EQ(f.window()->windowTitle(), "Add Expense Item");
        EXPECT_EQ(items(f.Combo1[0]), QStringList({"Bloom & Co", "Harp Trio"}));
        EXPECT_EQ(f.dtDate->date(), QDate::currentDate());
        for (QComboBox* c : f.Combo1)
            EXPECT_EQ(c->currentText(), "");
        type(f.Text1[0], "Bouquets");
        type(f.Combo1[0], "Petal Pushers");  // not a vendor
        f.Combo1[1]->setCurrentIndex(0);
        type(f.Text1[1], "100");
        type(f.Text1[2], "abc");  // does not convert: left empty
        f.dtDate->setDate(QDate(2027, 5, 20));
        type(f.Combo1[2], "Bride");
        const QString event = f.Combo1[1]->currentText();
        const QString due = f.dtDate->stored();
        click(f.cmdSave);
        const qint64 key = cell("SELECT EXPENSE_ID FROM EXPENSES").toLongLong();
        EXPECT_TRUE(due.startsWith("2027-05-20 ")) << due.toStdString();
        EXPECT_EQ(row(key), QStringList({"Bouquets", "Petal Pushers", event, "100", "NULL", due, "Bride"}));
        EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh ExpensesRS"}));
        EXPECT_EQ(count("SELECT count(*) FROM VENDOR"), 2);
    }
}

TEST_F(ExpenseEditor, EditOverwritesTheRowAndKeepsAnAmountThatDoesNotConvert)
{
    const qint64 key = insert("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_VENDOR, EXPENSE_EVENT, EXPENSE_AMTPAID, "
                              "EXPENSE_AMTDUE, EXPENSE_DUEDATE, EXPENSE_WHOPAYS) VALUES ('Band', 'Harp Trio', "
                              "'Reception', 250, 750.25, '2027-06-12 18:45:00', 'Groom')");
    traced();
    frmAddExpense& f = open("Edit", key);
    EXPECT_EQ(f.window()->windowTitle(), "Edit Budget Item");
    EXPECT_EQ(f.Text1[1]->text(), "250");
    EXPECT_EQ(f.Text1[2]->text(), "750.25");
    EXPECT_EQ(f.Combo1[0]->currentText(), "Harp Trio");
    EXPECT_EQ(f.dtDate->value(), QDateTime(QDate(2027, 6, 12), QTime(18, 45)));
    type(f.Text1[0], "Band, four hours");
    type(f.Text1[1], "two fifty");
    type(f.Text1[2], "800");
    f.dtDate->setDate(QDate(2027, 6, 1));
    click(f.cmdSave);
    EXPECT_EQ(row(key), QStringList({"Band, four hours", "Harp Trio", "Reception", "250", "800",
                                     "2027-06-01 18:45:00", "Groom"}));
    EXPECT_EQ(traced(), QStringList({"log 2", "update", "refresh ExpensesRS"}));
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
    open("Budget", 77);
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

    open("Budget", 77);
    click(f.cmdSave);
    EXPECT_EQ(count("SELECT count(*) FROM EXPENSES WHERE EXPENSE_TEXT = 'Cake' AND EXPENSE_AMTDUE = 500"), 1);
    EXPECT_EQ(traced(), QStringList({"log 1", "insert"}));
    EXPECT_EQ(cell("SELECT BUDGET_AMT FROM BUDGET WHERE BUDGET_ID = ?", {budget}).toDouble(), 500.0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'BUDGET'"), 0);
}

TEST_F(ExpenseEditor, AnOpenEditorKeepsItsExpenseAndOneDeletedMeanwhileWritesNothing)
{
    const qint64 first = insert("INSERT INTO EXPENSES (EXPENSE_TEXT) VALUES ('Cake')");
    const qint64 second = insert("INSERT INTO EXPENSES (EXPENSE_TEXT) VALUES ('Band')");
    traced();
    frmAddExpense& f = open("Edit", first);
    type(f.Text1[0], "Cake, three tiers");
    // The Expenses menu's modify on another row while this one is open.
    open("Edit", second);
    EXPECT_EQ(f.curBudgetID, first);
    EXPECT_EQ(f.Text1[0]->text(), "Cake, three tiers");
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT EXPENSE_TEXT FROM EXPENSES WHERE EXPENSE_ID = ?", {first}).toString(), "Cake, three tiers");
    EXPECT_EQ(cell("SELECT EXPENSE_TEXT FROM EXPENSES WHERE EXPENSE_ID = ?", {second}).toString(), "Band");
    traced();

    open("Edit", second);
    type(f.Text1[0], "Band, late");
    db().Execute("DELETE FROM EXPENSES WHERE EXPENSE_ID = ?", {second});
    click(f.cmdSave);
    EXPECT_EQ(messages.msgs->texts(), QStringList{editing::kRecordGone});
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM EXPENSES"), 1) << "never inserted again";
    EXPECT_EQ(logRows("EXPENSES", second, 2), 0);
    EXPECT_EQ(traced(), QStringList({"refresh ExpensesRS"}));
}

}  // namespace
