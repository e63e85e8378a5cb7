// The money editors opened from the real main window: the command writes
// their variables, the editor saves, and the grid shows the result.

#include "money_fixture.h"
#include "support/gui.h"
#include "support/locales.h"
#include "support/mainwindow.h"

#include "money/frmAddExpense.h"
#include "money/frmAutoBudget.h"
#include "money/frmMeasure.h"
#include "money/frmVendor.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class MoneyFromMain : public testsupport::MainWindowTest<> {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m().Show(ui::vbModeless);
    }
    QStringList column(int col) const
    {
        QStringList out;
        for (int r = 1; r <= m().GridEX1->rowCount(); ++r)
            out << m().GridEX1->text(r, col);
        return out;
    }
};

TEST_F(MoneyFromMain, AVendorAddedFromTheBarShowsInTheVendorsGrid)
{
    modal.modal->on("frmVendor", [](ui::FormBase& form) {
        auto& f = static_cast<frmVendor&>(form);
        EXPECT_EQ(f.curMode, frmVendor::Mode::Add);
        QTest::keyClicks(f.Text1[0], "Bloom & Co");
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
    });
    m().ExplorerBarCtlQV1->clickItem("VENDORMODE");
    m().ExplorerBarCtlQV1->clickItem("ADDVENDOR");
    EXPECT_EQ(m().curDataMode, views::DataMode::Vendors);
    EXPECT_TRUE(column(2).contains("Bloom & Co")) << column(2).join(",").toStdString();
}

// In the US, British and German forms: the amount is handed on as the
// user's form writes it, and read back the same.
using MoneyFromMainInForms = testsupport::InLocale<MoneyFromMain>;
NUPTARO_IN_EACH_LOCALE(MoneyFromMainInForms);

TEST_P(MoneyFromMainInForms, TurnIntoExpenseCarriesEveryAmountAsItIsAndSavesIt)
{
    QApplication::setActiveWindow(m().window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m().window()));
    m().ExplorerBarCtlQV1->clickItem("BUDGETMODE");
    for (const auto& [amount, text] : moneytest::kAmounts) {
        SCOPED_TRACE(text);
        const QString item = QString("Marquee hire, %1").arg(text);
        db().Execute("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT) "
                     "VALUES (?, 'Reception', 'Réception au château', ?)",
                     {item, amount});
        m().ExplorerBarCtlQV1->clickItem("BUDGET");
        const int row = column(2).indexOf(item) + 1;
        ASSERT_GT(row, 0);
        testsupport::clickCell(m().GridEX1, row, 2);
        QString shown;
        modal.modal->once("frmAddExpense", [&](ui::FormBase& form) {
            auto& f = static_cast<frmAddExpense&>(form);
            shown = f.Text1[2]->text();
            QTest::mouseClick(f.cmdSave, Qt::LeftButton);
        });
        m().widget()->findChild<QAction*>("mnuTurnBudgetIntoExpense")->trigger();
        EXPECT_EQ(shown, QString(text).replace('.', QLocale().decimalPoint()));
        EXPECT_EQ(db().scalar("SELECT EXPENSE_AMTDUE FROM EXPENSES WHERE EXPENSE_TEXT = ?", {item}).toDouble(), amount);
    }
    EXPECT_EQ(messages.msgs->texts(), QStringList());
}

TEST_F(MoneyFromMain, TheBudgetWizardLeavesTheBudgetViewShowingItsRows)
{
    modal.modal->on("frmAutoBudget", [](ui::FormBase& form) {
        QTest::mouseClick(static_cast<frmAutoBudget&>(form).cmdSave, Qt::LeftButton);
    });
    m().ExplorerBarCtlQV1->clickItem("CALENDARMODE");
    // As the planning wizard opens it, over another view.
    frmAutoBudget::instance().budgetAmt = 20000;
    frmAutoBudget::instance().Show(ui::vbModal, &m());
    EXPECT_EQ(m().curDataMode, views::DataMode::Budget);
    EXPECT_EQ(m().curFrameName(), "frameDataGrid");
    EXPECT_EQ(m().BudgetRS->RecordCount(), count("SELECT count(*) FROM STDBUDGET"));
    EXPECT_EQ(frmAutoBudget::instance().budgetAmt, 20000);
    frmAutoBudget::instance().budgetAmt = 0;
}

TEST_F(MoneyFromMain, AMeasurementAddedBeforeAnyMeasurementViewShowsInItsViewLater)
{
    // No measurement view has been shown yet: there is nothing to refresh.
    modal.modal->on("frmMeasureMale", [](ui::FormBase& form) {
        auto& f = static_cast<frmMeasureMale&>(form);
        QTest::keyClicks(f.Combo1, "Uncle Bob");
        QTest::mouseClick(f.Command1, Qt::LeftButton);
    });
    m().ExplorerBarCtlQV1->clickItem("ATTIREMODE");
    m().ExplorerBarCtlQV1->clickItem("ADDMALEMEASUREMENT");
    EXPECT_EQ(count("SELECT count(*) FROM MEASURE_MALE WHERE MEASURE_MALE_NAME = 'Uncle Bob'"), 1);
    m().ExplorerBarCtlQV1->clickItem("MALEMEASUREMENTS");
    EXPECT_TRUE(column(2).contains("Uncle Bob")) << column(2).join(",").toStdString();
}

}  // namespace
