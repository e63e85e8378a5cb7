// The money editors opened from the real main window: the command writes
// their variables, the editor saves, and the grid shows the result.

#include "support/mainwindow.h"

#include "money/frmAddExpense.h"
#include "money/frmAutoBudget.h"
#include "money/frmVendor.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"

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
    QStringList column(int col)
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
        EXPECT_EQ(f.curMode, "Add");
        QTest::keyClicks(f.Text1[0], "Bloom & Co");
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
    });
    m().ExplorerBarCtlQV1->clickItem("VENDORMODE");
    m().ExplorerBarCtlQV1->clickItem("ADDVENDOR");
    EXPECT_EQ(modal.modal->shown, QStringList{"frmVendor"});
    EXPECT_EQ(m().curDataMode, "Vendors");
    EXPECT_TRUE(column(2).contains("Bloom & Co")) << column(2).join(",").toStdString();
}

TEST_F(MoneyFromMain, TurnIntoExpenseFromTheBudgetGridLeavesTheBudgetViewShown)
{
    db().Execute("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT, BUDGET_WHOPAYS) "
                 "VALUES ('Cake', 'Food', 'Reception', 500, 'Bride')");
    QStringList seen;
    modal.modal->on("frmAddExpense", [&](ui::FormBase& form) {
        auto& f = static_cast<frmAddExpense&>(form);
        seen << f.Text1[0]->text() << f.Text1[2]->text() << f.Combo1[1]->currentText() << f.Combo1[2]->currentText();
        QTest::mouseClick(f.cmdSave, Qt::LeftButton);
    });
    m().ExplorerBarCtlQV1->clickItem("BUDGETMODE");
    m().GridEX1->setCurrentRow(m().GridEX1->firstRecordRow(1));
    m().MenuItem_Click("mnuTurnBudgetIntoExpense");
    EXPECT_EQ(seen, QStringList({"Cake", "500", "Reception", "Bride"}));
    EXPECT_EQ(count("SELECT count(*) FROM EXPENSES WHERE EXPENSE_TEXT = 'Cake' AND EXPENSE_AMTDUE = 500"), 1);
    EXPECT_EQ(m().curDataMode, "Budget");
    EXPECT_EQ(m().GridEX1->recordset(), m().BudgetRS);
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
    EXPECT_EQ(m().curDataMode, "Budget");
    EXPECT_EQ(m().curFrameName(), "frameDataGrid");
    EXPECT_EQ(m().BudgetRS->RecordCount(), count("SELECT count(*) FROM STDBUDGET"));
    EXPECT_EQ(frmAutoBudget::instance().budgetAmt, 20000);
}

}  // namespace
