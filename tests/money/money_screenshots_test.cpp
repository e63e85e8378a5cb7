// Pictures of the money editors and two wizard pages, taken only when
// NUPTARO_SCREENSHOTS names a folder (run under a real display).

#include "money_fixture.h"

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAutoBudget.h"
#include "money/frmQuote.h"
#include "money/frmVendor.h"

#include <QTabBar>

namespace {

class MoneyScreenshots : public moneytest::MoneyTest {
protected:
    void snap(ui::FormBase& f, const QString& name)
    {
        f.Show(ui::vbModeless);
        activate(f.widget());
        QCoreApplication::processEvents();
        f.widget()->grab();  // lays out what is laid out while painting
        f.widget()->grab().save(dir + '/' + name + ".png");
    }
    QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
};

TEST_F(MoneyScreenshots, EachEditorAndTwoWizardPages)
{
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    db().Execute("INSERT INTO EVENT (EVENT_NAME) VALUES ('Ceremony'), ('Reception')");
    const qint64 vendor = insert(
        "INSERT INTO VENDOR (VENDOR_NAME, VENDOR_TYPE, VENDOR_CONTACT, VENDOR_ADDRESS1, VENDOR_CITY, VENDOR_STATE, "
        "VENDOR_ZIP, VENDOR_PHONE1, VENDOR_EMAIL, VENDOR_URL, VENDOR_COMMENTS, VENDOR_BRIDEBESTNOTE, "
        "VENDOR_BRIDERATING, VENDOR_GROOMRATING, VENDOR_REF1NAME, VENDOR_REF1PHONE, VENDOR_REF1COMMENT) VALUES "
        "('Bloom & Co', 'Florist', 'Dana Reyes', '12 Market St', 'Springfield', 'IL', '62701', '217-555-0142', "
        "'dana@bloom.example', 'bloom.example', 'Delivers on Sundays.\nNeeds final count two weeks ahead.', "
        "'Lovely peonies, kept to the budget.', 2, 1, 'Sam Ortiz', '217-555-0188', 'Used them for a gala.')");
    frmVendor& v = frmVendor::instance();
    v.curMode = "Edit";
    v.vendorID = vendor;
    snap(v, "vendor_general");
    v.TabStrip1->setCurrentIndex(2);
    snap(v, "vendor_bride");
    v.TabStrip1->setCurrentIndex(1);
    snap(v, "vendor_references");
    v.Unload();

    const qint64 quote = insert(
        "INSERT INTO QUOTE (QUOTE_EVENT, QUOTE_VENDOR, QUOTE_PRODUCT, QUOTE_DETAILS, QUOTE_NOTPROVIDED, QUOTE_AMOUNT, "
        "QUOTE_DEPOSITAMT, QUOTE_BALANCEAMT, QUOTE_PAYMENTDUE, QUOTE_DEPOSITDUE, QUOTE_BALANCEDUE, QUOTE_CANCELDATE) "
        "VALUES ('Reception', 'Bloom & Co', 'Table centrepieces', 'Twelve low arrangements, white and blush.', "
        "'Vases', '1,200.00', '300.00', '900.00', '2027-06-01 00:00:00', '2027-02-01 00:00:00', "
        "'2027-06-01 00:00:00', '2027-05-15 00:00:00')");
    frmQuote& q = frmQuote::instance();
    q.curMode = "Edit";
    q.curQuote = quote;
    snap(q, "quote");
    q.Unload();

    frmAddBudget& b = frmAddBudget::instance();
    b.curMode = "Edit";
    b.curBudgetID = insert("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT, "
                           "BUDGET_WHOPAYS) VALUES ('Centrepieces', 'Flowers', 'Reception', 1200, 'Bride''s Parents')");
    snap(b, "budget_item");
    b.Unload();

    frmAddExpense& e = frmAddExpense::instance();
    e.curMode = "Budget";
    e.exExpenseText = "Centrepieces";
    e.exExpenseEvent = "Reception";
    e.exExpenseAmtDue = "1200";
    e.exExpenseWhoPays = "Bride's Parents";
    snap(e, "expense_from_budget");
    e.Unload();

    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = STDBUDGET_MED WHERE STDBUDGET_CATEGORY IN ('Attire', 'Food')");
    frmAutoBudget& w = frmAutoBudget::instance();
    snap(w, "wizard_attire");

    w.TabStrip1->setCurrentIndex(4);
    snap(w, "wizard_food");
}

}  // namespace
