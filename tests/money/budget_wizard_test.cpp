// The budget wizard: a page per category, an amount stored each time its box
// is left, the total of every category, and "Save Budget" merging the
// standard list into the budget.

#include "money_fixture.h"
#include "support/locales.h"
#include "support/twocopies.h"
#include "support/userinput.h"

#include "money/frmAutoBudget.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>

namespace {

class BudgetWizard : public moneytest::MoneyTest {
protected:
    frmAutoBudget& open()
    {
        frmAutoBudget& f = frmAutoBudget::instance();
        f.Show(ui::vbModeless);
        EXPECT_TRUE(activate(f.window()));
        return f;
    }
    // The tab of a category, chosen with the arrow keys on the tab strip.
    void showCategory(frmAutoBudget& f, const QString& category)
    {
        f.TabStrip1->setFocus();
        for (int guard = 0; guard < 20 && f.TabStrip1->tabText(f.TabStrip1->currentIndex()) != category; ++guard)
            QTest::keyClick(
                f.TabStrip1, f.TabStrip1->currentIndex() < indexOf(category) ? Qt::Key_Right : Qt::Key_Left);
        ASSERT_EQ(f.CurrentCategory, category);
    }
    static int indexOf(const QString& category)
    {
        for (int i = 0; i < int(frmAutoBudget::kCategories.size()); ++i)
            if (category == frmAutoBudget::kCategories[i].first)
                return i;
        return -1;
    }
    // Types an amount into the box of a row and leaves it with Tab.
    void enter(frmAutoBudget& f, int row, const QString& text)
    {
        type(f.Combo1[row], text);
        QTest::keyClick(f.Combo1[row], Qt::Key_Tab);
    }
    QVariant amount(qint64 id) { return cell("SELECT STDBUDGET_AMT FROM STDBUDGET WHERE STDBUDGET_ID = ?", {id}); }
    void items(const QString& category, int n)
    {
        db().Execute("DELETE FROM STDBUDGET WHERE STDBUDGET_CATEGORY = ?", {category});
        for (int i = 0; i < n; ++i)
            db().Execute("INSERT INTO STDBUDGET (STDBUDGET_NAME, STDBUDGET_CATEGORY, STDBUDGET_EVENT, "
                         "STDBUDGET_WHOPAYS, STDBUDGET_AMT, STDBUDGET_HIGH, STDBUDGET_MED, STDBUDGET_LOW) "
                         "VALUES (?, ?, 'Reception', 'Bride', 0, 300, 200, 100)",
                         {QString("%1 item %2").arg(category).arg(i + 1), category});
    }
    using MoneyTest::items;
};

TEST_F(BudgetWizard, EachCategoryShowsARowPerItemAndHidesTheRest)
{
    items("Travel", 0);
    items("Rings", 5);
    items("Fees", 8);
    items("Gifts", 12);
    frmAutoBudget& f = open();
    ASSERT_EQ(f.TabStrip1->count(), 14);
    EXPECT_EQ(f.CurrentCategory, "Attire") << "the first tab when it opens";
    const struct {
        const char* category;
        int rows;
    } cases[] = {{"Rings", 5}, {"Fees", 8}, {"Travel", 0}, {"Gifts", 12}, {"Rings", 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.category);
        showCategory(f, c.category);
        EXPECT_EQ(f.fraAutoBudget->title(), c.category);
        EXPECT_EQ(f.rowsShown(), c.rows);
        ASSERT_GE(f.Combo1.size(), std::max(c.rows, 8));
        for (int i = 0; i < f.Combo1.size(); ++i) {
            EXPECT_EQ(f.Combo1[i]->isVisible(), i < c.rows) << i;
            EXPECT_EQ(f.lblName[i]->isVisible(), i < c.rows) << i;
        }
        if (c.rows > 0) {
            EXPECT_EQ(f.lblName[c.rows - 1]->text(), QString("%1 item %2").arg(c.category).arg(c.rows));
            EXPECT_EQ(f.lblHigh[0]->text(), "300");
            EXPECT_EQ(f.lblLow[0]->text(), "100");
            EXPECT_EQ(items(f.Combo1[0]), QStringList({"300", "200", "100"}));
            EXPECT_EQ(f.Combo1[0]->currentText(), "0");
        }
        EXPECT_EQ(f.rowArea->verticalScrollBar()->maximum() > 0, c.rows > 8) << "only a long category scrolls";
    }
}

// Amounts typed in the US, British and German forms.
using BudgetWizardInForms = testsupport::InLocale<BudgetWizard>;
NUPTARO_IN_EACH_LOCALE(BudgetWizardInForms);

TEST_P(BudgetWizardInForms, AnAmountIsStoredWhenItsBoxIsLeftAndATextThatIsNoNumberIsRefused)
{
    using testsupport::inForms;
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 0");
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 2000 WHERE STDBUDGET_CATEGORY = 'Music'");
    const qlonglong music = count("SELECT count(*) FROM STDBUDGET WHERE STDBUDGET_CATEGORY = 'Music'");
    ASSERT_GT(music, 0);
    ASSERT_LT(music, 400);
    frmAutoBudget& f = open();
    const QString total = inForms("$%1,000.%2|£%1,000.%2|%1.000,%2\u00a0€");
    EXPECT_EQ(f.lblTotal->text(), total.arg(2 * music).arg("00")) << "the total covers every category";
    const qint64 first = f.RowIDs[0];
    const struct {
        const char* typed;  // "us|gb|de" where the forms differ
        double stored;      // after leaving the box
        const char* shown;
        bool message;
    } cases[] = {
        {"1,500|1,500|1.500", 1500.0, "1500", false},
        {"abc", 1500.0, "1500", true},
        {"", 1500.0, "1500", true},
        {"123456.78|123456.78|123456,78", 123456.78, "123456.78|123456.78|123456,78", false},
        {"$2,000.25|£2,000.25|2.000,25 €", 2000.25, "2000.25|2000.25|2000,25", false},
        {"12abc", 2000.25, "2000.25|2000.25|2000,25", true},
        // The decimal separator of another locale is no number.
        {"1,5|1,5|1.5", 2000.25, "2000.25|2000.25|2000,25", true},
        {"1.5|1.5|1,5", 1.5, "1.5|1.5|1,5", false},
        {"2000.25|2000.25|2000,25", 2000.25, "2000.25|2000.25|2000,25", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(inForms(c.typed).toStdString());
        messages.msgs->shown.clear();
        enter(f, 0, inForms(c.typed));
        EXPECT_EQ(amount(first).toDouble(), c.stored);
        EXPECT_EQ(f.Combo1[0]->currentText(), inForms(c.shown)) << "the page shows what is stored";
        EXPECT_EQ(messages.msgs->texts(),
                  c.message ? QStringList{"Please enter a number in the amount location"} : QStringList());
    }
    EXPECT_EQ(f.lblTotal->text(), total.arg(2 * music + 2).arg("25"));
    // Picking a suggestion from the list, then leaving the box.
    f.Combo1[1]->setFocus();
    f.Combo1[1]->setCurrentIndex(2);
    QTest::keyClick(f.Combo1[1], Qt::Key_Tab);
    EXPECT_EQ(amount(f.RowIDs[1]).toString(), f.lblLow[1]->text());
    // A click on Cancel leaves the box first: the amount typed is kept.
    type(f.Combo1[2], "75");
    click(f.Command2);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(cell("SELECT STDBUDGET_AMT FROM STDBUDGET WHERE STDBUDGET_NAME = 'Veil and Headpiece'").toDouble(), 75.0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0) << "the standard list is never logged";
    EXPECT_EQ(count("SELECT count(*) FROM BUDGET"), 0);
}

TEST_F(BudgetWizard, ANegativeTotalShowsInParentheses)
{
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 0");
    frmAutoBudget& f = open();
    EXPECT_EQ(f.lblTotal->text(), "$0.00");
    enter(f, 0, "-50");
    EXPECT_EQ(f.lblTotal->text(), "($50.00)");
    enter(f, 1, "12345.5");
    EXPECT_EQ(f.lblTotal->text(), "$12,295.50");
    db().Execute("DELETE FROM STDBUDGET");
    f.Unload();
    open();
    EXPECT_EQ(f.lblTotal->text(), "$0.00") << "no standard items at all";
    EXPECT_EQ(f.rowsShown(), 0);
}

TEST_F(BudgetWizard, LargeAndSmallAmountsShowPlainAndTheTotalIsExactOrOverflow)
{
    items("Travel", 2);
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 0");
    frmAutoBudget& f = open();
    showCategory(f, "Travel");
    const struct {
        const char* first;
        const char* second;
        const char* total;
    } cases[] = {
        {"300000", "100000", "$400,000.00"},
        {"0.0001", "0", "$0.0001"},
        {"500000000000000.25", "400000000000000.25", "$900,000,000,000,000.50"},
        {"922337203685477.5", "-0.5", "$922,337,203,685,477.00"},
        {"922337203685477.5", "0.5", "Overflow"},
        {"900000000000000", "900000000000000", "Overflow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        messages.msgs->shown.clear();
        enter(f, 0, c.first);
        enter(f, 1, c.second);
        EXPECT_EQ(f.Combo1[0]->currentText(), c.first);
        EXPECT_EQ(f.Combo1[1]->currentText(), c.second);
        EXPECT_EQ(f.lblTotal->text(), c.total);
        // Leaving a box as shown keeps its amount and asks nothing.
        f.Combo1[0]->setFocus();
        QTest::keyClick(f.Combo1[0], Qt::Key_Tab);
        EXPECT_EQ(f.Combo1[0]->currentText(), c.first);
        EXPECT_EQ(messages.msgs->texts(), QStringList());
    }
}

TEST_F(BudgetWizard, SaveBudgetMergesTheStandardListIntoTheBudget)
{
    watch("BUDGET");
    const qlonglong n = count("SELECT count(*) FROM STDBUDGET");
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 100 * STDBUDGET_ID");
    const qint64 byHand = insert("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_AMT, BUDGET_STDBUDGETID) "
                                 "VALUES ('Favours', 80, 0)");
    const qint64 unlinked = insert("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_AMT) VALUES ('Tips', 40)");
    traced();
    auto wizardRows = [&] { return count("SELECT count(*) FROM BUDGET WHERE BUDGET_STDBUDGETID <> 0"); };
    auto same = [&](qint64 id) {
        return count("SELECT count(*) FROM BUDGET b JOIN STDBUDGET s ON s.STDBUDGET_ID = b.BUDGET_STDBUDGETID "
                     "WHERE s.STDBUDGET_ID = ? AND b.BUDGET_NAME = s.STDBUDGET_NAME AND "
                     "b.BUDGET_CATEGORY = s.STDBUDGET_CATEGORY AND b.BUDGET_EVENT = s.STDBUDGET_EVENT AND "
                     "b.BUDGET_AMT = s.STDBUDGET_AMT AND b.BUDGET_WHOPAYS = s.STDBUDGET_WHOPAYS",
                     {id});
    };

    // First save: a row per standard item, each written, then logged as added.
    frmAutoBudget& f = open();
    enter(f, 0, "123456.78");
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(wizardRows(), n);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'BUDGET' AND SYNCHRO_ACTION = 1"), n);
    QStringList expected;
    for (int i = 0; i < n; ++i)
        expected << "insert" << "log 1";
    expected << "refresh BudgetRS";
    EXPECT_EQ(traced(), expected);
    EXPECT_EQ(cell("SELECT BUDGET_AMT FROM BUDGET WHERE BUDGET_STDBUDGETID = 1").toDouble(), 123456.78);
    EXPECT_EQ(same(2), 1);

    // Later saves write only the amounts changed in the wizard: a row edited
    // or deleted in the budget stays so.
    const qint64 edited = cell("SELECT BUDGET_ID FROM BUDGET WHERE BUDGET_STDBUDGETID = 4").toLongLong();
    db().Execute("DELETE FROM BUDGET WHERE BUDGET_STDBUDGETID = 3");
    db().Execute("UPDATE BUDGET SET BUDGET_NAME = 'Mine now', BUDGET_AMT = 1 WHERE BUDGET_ID = ?", {edited});
    traced();
    open();
    enter(f, 1, "777");
    click(f.cmdSave);
    EXPECT_EQ(traced(), QStringList({"update", "refresh BudgetRS"}));
    EXPECT_EQ(wizardRows(), n - 1);
    EXPECT_EQ(row("SELECT BUDGET_NAME, BUDGET_AMT FROM BUDGET WHERE BUDGET_ID = ?", {edited}), "Mine now|1");

    // Rows made by hand are neither changed nor logged.
    EXPECT_EQ(cell("SELECT BUDGET_NAME FROM BUDGET WHERE BUDGET_ID = ?", {byHand}).toString(), "Favours");
    EXPECT_EQ(cell("SELECT BUDGET_AMT FROM BUDGET WHERE BUDGET_ID = ?", {byHand}).toDouble(), 80.0);
    EXPECT_EQ(cell("SELECT BUDGET_NAME FROM BUDGET WHERE BUDGET_ID = ?", {unlinked}).toString(), "Tips");
    EXPECT_EQ(logRows("BUDGET", byHand, 2) + logRows("BUDGET", unlinked, 2), 0);
    EXPECT_EQ(count("SELECT count(*) FROM BUDGET"), n + 1);
}

TEST_F(BudgetWizard, ARefusedMergeWritesNothingAndStaysOpen)
{
    items("Travel", 3);
    refuse("BUDGET");
    frmAutoBudget& f = open();
    click(f.cmdSave);
    EXPECT_TRUE(f.isLoaded());
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The changes could not be saved."));
    EXPECT_EQ(testsupport::counts("BUDGET SYNCHRO"), "0 0");
}

TEST_F(BudgetWizard, ClosingShowsTheBudgetViewOrRefreshesIt)
{
    const struct {
        const char* shown;
        QStringList calls;
    } cases[] = {{"Budget", {"refresh BudgetRS"}},
                 {"Vendors", {"ShowBudget", "ShowGridPanel"}},
                 {"Today", {"ShowBudget", "ShowGridPanel"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        dataMode = c.shown;
        for (bool save : {false, true}) {
            frmAutoBudget& f = open();
            traced();
            click(save ? f.cmdSave : f.Command2);
            EXPECT_EQ(traced().filter(QRegularExpression("^(refresh|Show)")), c.calls);
        }
    }
}

// The budget saved in one copy and received by the other: there the wizard
// starts from it and saves only what was changed there.
class BudgetWizardCopies : public testsupport::TwoCopiesTest {
protected:
    // Types over the first amounts of the Attire page ("" leaves one) and saves.
    void save(const QStringList& typed)
    {
        frmAutoBudget& f = frmAutoBudget::instance();
        f.budgetAmt = 0;
        f.Show(ui::vbModeless);
        ASSERT_TRUE(testsupport::showActive(f.window()));
        shown = QStringList({f.Combo1[0]->currentText(), f.Combo1[1]->currentText(), f.Combo1[2]->currentText()});
        for (int i = 0; i < typed.size(); ++i)
            if (!typed[i].isEmpty()) {
                testsupport::retype(f.Combo1[i], typed[i]);
                QTest::keyClick(f.Combo1[i], Qt::Key_Tab);
            }
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
    }
    QStringList shown;
};

TEST_F(BudgetWizardCopies, SaveBudgetInTheCopyThatReceivedTheBudgetKeepsItsAmounts)
{
    save({"1500", "250", "80"});
    merge(B, replicaOf(A, "a.qvd"));
    save({"", "300"});
    EXPECT_EQ(shown, QStringList({"1500", "250", "80"}));
    merge(A, replicaOf(B, "b.qvd"));
    EXPECT_EQ(db().scalar("SELECT group_concat(BUDGET_AMT, ' ') FROM (SELECT BUDGET_AMT FROM BUDGET WHERE "
                          "BUDGET_STDBUDGETID < 4 ORDER BY BUDGET_STDBUDGETID)")
                  .toString(),
              "1500 300 80");
}

}  // namespace
