// Pictures of the money editors and two wizard pages, taken only when
// NUPTARO_SCREENSHOTS names a folder (run under a real display).

#include "money_fixture.h"

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmAutoBudget.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
#include "platform/ui/dialogs.h"

#include <QImage>
#include <QPainter>

namespace {

class MoneyScreenshots : public moneytest::MoneyTest {
protected:
    // An editor opened as its openers open it, saved as a picture.
    template <class F, class M>
    void shot(std::type_identity_t<M F::*> mode, M m, qint64 F::*key, qint64 k, const QString& name)
    {
        snap(moneytest::openEditor<F>(mode, m, key, k), name);
        F::instance().Unload();
    }
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
    v.curMode = frmVendor::Mode::Edit;
    v.vendorID = vendor;
    snap(v, "vendor_general");
    v.TabStrip1->setCurrentIndex(2);
    snap(v, "vendor_bride");
    v.TabStrip1->setCurrentIndex(1);
    snap(v, "vendor_references");
    v.Unload();

    shot(&frmQuote::curMode, frmQuote::Mode::Edit, &frmQuote::curQuote, insert(
        "INSERT INTO QUOTE (QUOTE_EVENT, QUOTE_VENDOR, QUOTE_PRODUCT, QUOTE_DETAILS, QUOTE_NOTPROVIDED, QUOTE_AMOUNT, "
        "QUOTE_DEPOSITAMT, QUOTE_BALANCEAMT, QUOTE_PAYMENTDUE, QUOTE_DEPOSITDUE, QUOTE_BALANCEDUE, QUOTE_CANCELDATE) "
        "VALUES ('Reception', 'Bloom & Co', 'Table centrepieces', 'Twelve low arrangements, white and blush.', "
        "'Vases', '1,200.00', '300.00', '900.00', '2027-06-01 00:00:00', '2027-02-01 00:00:00', "
        "'2027-06-01 00:00:00', '2027-05-15 00:00:00')"), "quote");

    shot(&frmAddBudget::curMode, frmAddBudget::Mode::Edit, &frmAddBudget::curBudgetID,
         insert("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT, BUDGET_WHOPAYS) VALUES "
                "('Centrepieces', 'Flowers', 'Reception', 1200, 'Bride''s Parents')"),
         "budget_item");

    frmAddExpense& e = frmAddExpense::instance();
    e.curMode = frmAddExpense::Mode::Budget;
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

TEST_F(MoneyScreenshots, GiftRegistryAttireAndMeasurements)
{
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    db().Execute("INSERT INTO EVENT (EVENT_NAME) VALUES ('Bridal Shower'), ('Reception')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES ('May', 'Ortiz'), ('Sam', 'Lee')");
    // A wrapped present, wider than the preview, so it is shown scaled.
    QImage photo(800, 500, QImage::Format_RGB32);
    photo.fill(QColor(225, 232, 245));
    QPainter p(&photo);
    p.fillRect(250, 150, 300, 280, QColor(200, 40, 60));
    p.fillRect(385, 150, 30, 280, QColor(250, 215, 90));
    p.fillRect(250, 275, 300, 30, QColor(250, 215, 90));
    p.end();
    const QString picture = folder->file("/present.jpg");
    photo.save(picture);

    frmGift& g = frmGift::instance();
    g.giftMode = frmGift::Mode::Edit;
    g.giftID = insert("INSERT INTO GIFT (GIFT_NAME, GIFT_EVENT, GIFT_WHOFROM, GIFT_VALUE, GIFT_STORE) VALUES "
                      "('Crystal vase, hand cut', 'Bridal Shower', 'May Ortiz', 85, 'Department Store')");
    snap(g, "gift_general");
    ui::ScriptedDialogsGuard dialogs;
    dialogs.dialogs->files << picture;
    g.TabStrip1->setCurrentIndex(1);
    g.cmdFind_Click();
    snap(g, "gift_image");
    g.Unload();

    shot(&frmRegistry::registryMode, frmRegistry::Mode::Edit, &frmRegistry::registryID,
         insert("INSERT INTO REGISTRY (REGISTRY_TEXT, REGISTRY_MODEL, REGISTRY_COST, REGISTRY_STORE, REGISTRY_CATEGORY) "
                "VALUES ('Stand mixer, 5 quart, red', 'KSM150', 349.99, 'Kitchen Store', 'Kitchen')"),
         "registry");
    shot(&frmAttire::curMode, frmAttire::Mode::Edit, &frmAttire::curAttireID,
         insert("INSERT INTO ATTIRE (ATTIRE_ITEM, ATTIRE_VENDOR, ATTIRE_ASSIGNEE, ATTIRE_TYPE, ATTIRE_COST) VALUES "
                "('Veil\ncathedral length', 'Bridal House', 'Bride', 'Veil', 180.5)"),
         "attire");
    shot<frmMeasureFemale>(&frmMeasureFemale::curMode, frmMeasureFemale::Mode::Edit, &frmMeasureFemale::curRec,
         insert("INSERT INTO MEASURE_FEMALE VALUES (NULL, 'May Ortiz', '5'' 6\"', '28', '36', '8', '22', '7 1/2', '7', "
                "'M', 'B')"),
         "measure_female");
    shot<frmMeasureMale>(&frmMeasureMale::curMode, frmMeasureMale::Mode::Add, &frmMeasureMale::curRec, 0, "measure_male");
}

}  // namespace
