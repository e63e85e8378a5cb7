// The vendor editor: every box to its column and back, the two ratings, the
// pages, the type list and its refill.

#include "money_fixture.h"

#include "money/frmVendor.h"
#include "records/frmAddType.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace {

class VendorEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        watch("VENDOR");
    }
    frmVendor& open(const QString& mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmVendor::vendorID, key);
    }
    static int checked(const std::array<QRadioButton*, 4>& buttons)
    {
        for (int i = 0; i < 4; ++i)
            if (buttons[i]->isChecked())
                return i;
        return -1;
    }
};

TEST_F(VendorEditor, AddsAndEditsEveryColumnWithItsLogRowBeforeTheWrite)
{
    frmVendor& f = open("Add");
    EXPECT_EQ(f.window()->windowTitle(), "Vendor");
    ASSERT_EQ(f.cmbVendorTypes->count(), count("SELECT count(*) FROM VENDORTYPE"));
    EXPECT_EQ(f.cmbVendorTypes->currentText(), "");
    for (int i = 0; i < 26; ++i)
        type(f.Text1[i], QString("text %1").arg(i));
    type(f.Text1[12], "Open Sundays\nNo deliveries");
    type(f.cmbVendorTypes, "Balloon Artist");  // not in the list
    click(f.optGR[3]);
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());

    const qint64 key = cell("SELECT VENDOR_ID FROM VENDOR").toLongLong();
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(cell(QString("SELECT %1 FROM VENDOR").arg(frmVendor::kTextColumns[i])).toString(),
                  i == 12 ? "Open Sundays\nNo deliveries" : QString("text %1").arg(i))
            << frmVendor::kTextColumns[i];
    EXPECT_EQ(cell("SELECT VENDOR_TYPE FROM VENDOR").toString(), "Balloon Artist");
    EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR").toInt(), 4);
    EXPECT_TRUE(cell("SELECT VENDOR_BRIDERATING FROM VENDOR").isNull());
    EXPECT_EQ(count("SELECT count(*) FROM VENDORTYPE WHERE VENDORTYPE_NAME = 'Balloon Artist'"), 0);
    EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh VendorRS"}));
    EXPECT_EQ(logRows("VENDOR", key, 1), 1);

    open("Edit", key);
    EXPECT_EQ(f.cmbVendorTypes->currentText(), "Balloon Artist");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(f.Text1[12])->toPlainText(), "Open Sundays\nNo deliveries");
    EXPECT_EQ(editing::boxText(f.Text1[25]), "text 25");
    EXPECT_EQ(checked(f.optGR), 3);
    EXPECT_EQ(checked(f.optBR), -1);
    type(f.Text1[0], "Bloom & Co");
    f.cmbVendorTypes->setCurrentIndex(1);  // picked from the list
    const QString picked = f.cmbVendorTypes->currentText();
    click(f.optBR[0]);
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT VENDOR_NAME FROM VENDOR").toString(), "Bloom & Co");
    EXPECT_EQ(cell("SELECT VENDOR_TYPE FROM VENDOR").toString(), picked);
    EXPECT_EQ(cell("SELECT VENDOR_BRIDERATING FROM VENDOR").toInt(), 1);
    EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR").toInt(), 4);
    EXPECT_EQ(cell("SELECT VENDOR_CITY FROM VENDOR").toString(), "text 4");
    // The vendor has its log row already: the edit adds none.
    EXPECT_EQ(traced(), QStringList({"update", "refresh VendorRS"}));

    db().Execute("DELETE FROM SYNCHRO");
    open("Edit", key);
    click(f.cmdSave);
    EXPECT_EQ(traced(), QStringList({"log 2", "update", "refresh VendorRS"}));
}

TEST_F(VendorEditor, StoredRatingsOneToFourCheckTheirButtonOthersNoneAndAreKept)
{
    const struct {
        QVariant stored;
        int button;
    } cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {0, -1}, {5, -1}, {QVariant(), -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        db().Execute("DELETE FROM VENDOR");
        const qint64 key = insert("INSERT INTO VENDOR (VENDOR_NAME, VENDOR_BRIDERATING, VENDOR_GROOMRATING) "
                                  "VALUES ('Harp Trio', ?, ?)",
                                  {c.stored, c.stored});
        frmVendor& f = open("Edit", key);
        EXPECT_EQ(checked(f.optBR), c.button);
        EXPECT_EQ(checked(f.optGR), c.button);
        click(f.cmdSave);
        EXPECT_EQ(cell("SELECT VENDOR_BRIDERATING FROM VENDOR"), cell("SELECT ?", {c.stored}));
        EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR"), cell("SELECT ?", {c.stored}));
    }
}

TEST_F(VendorEditor, CancelAndTheCloseBoxWriteNothingButRefresh)
{
    const qint64 key = insert("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Harp Trio')");
    traced();
    frmVendor& f = open("Edit", key);
    type(f.Text1[0], "Changed");
    click(f.cmdCancel);
    open("Add");
    type(f.Text1[0], "Another");
    f.window()->close();
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(cell("SELECT group_concat(VENDOR_NAME) FROM VENDOR").toString(), "Harp Trio");
    EXPECT_EQ(traced(), QStringList({"refresh VendorRS", "refresh VendorRS"}));
}

TEST_F(VendorEditor, TabsShowTheirPageAndEveryOpeningStartsOnGeneral)
{
    frmVendor& f = open("Add");
    QGroupBox* pages[] = {f.frameGeneral, f.frameReferences, f.frameBridesComments, f.frameGroomsComments};
    const char* captions[] = {"General", "References", "Bride's Comments", "Groom's Comments"};
    ASSERT_EQ(f.TabStrip1->count(), 4);
    for (int t : {2, 1, 3, 0, 3}) {
        QTest::mouseClick(f.TabStrip1, Qt::LeftButton, {}, f.TabStrip1->tabRect(t).center());
        EXPECT_EQ(f.TabStrip1->tabText(t), captions[t]);
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(pages[p]->isVisible(), p == t) << t << " " << p;
    }
    EXPECT_EQ(f.TabStrip1->tabData(2).toString(), "tabBridesComments");
    click(f.cmdCancel);
    open("Add");
    EXPECT_TRUE(f.frameGeneral->isVisible());
    EXPECT_FALSE(f.frameGroomsComments->isVisible());
}

TEST_F(VendorEditor, EditingTheTypeListRefillsOnlyTheTypeBox)
{
    modal.modal->on("frmAddType", [](ui::FormBase& form) {
        auto& t = static_cast<frmAddType&>(form);
        EXPECT_EQ(t.curMode, "VendorTypes");
        EXPECT_EQ(t.fromForm, "Vendor");
        type(t.txtItem, "Ice Sculptor");
        click(t.cmdAdd);
        click(t.cmdClose);
    });
    frmVendor& f = open("Add");
    type(f.Text1[0], "Frosty");
    f.cmbVendorTypes->setCurrentIndex(0);
    click(f.cmdAddCategory);
    EXPECT_EQ(modal.modal->shown, QStringList{"frmAddType"});
    EXPECT_TRUE(items(f.cmbVendorTypes).contains("Ice Sculptor"));
    EXPECT_EQ(f.cmbVendorTypes->currentText(), "");
    EXPECT_EQ(qobject_cast<QLineEdit*>(f.Text1[0])->text(), "Frosty");
}

}  // namespace
