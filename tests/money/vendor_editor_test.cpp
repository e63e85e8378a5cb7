// The vendor editor's two ratings and its pages.

#include "money_fixture.h"

#include "money/frmVendor.h"
#include "records/frmAddType.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

class VendorEditor : public moneytest::MoneyTest {
protected:
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

TEST_F(VendorEditor, AClickedRatingIsStoredAndTheOtherLeftEmpty)
{
    frmVendor& f = open("Add");
    type(f.Text1[0], "Harp Trio");
    click(f.optGR[3]);
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR").toInt(), 4);
    EXPECT_TRUE(cell("SELECT VENDOR_BRIDERATING FROM VENDOR").isNull());
    open("Edit", cell("SELECT VENDOR_ID FROM VENDOR").toLongLong());
    EXPECT_EQ(checked(f.optGR), 3);
    EXPECT_EQ(checked(f.optBR), -1);
    click(f.optBR[0]);
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT VENDOR_BRIDERATING FROM VENDOR").toInt(), 1);
    EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR").toInt(), 4);
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

TEST_F(VendorEditor, TabsShowTheirPageAndEveryOpeningStartsOnGeneral)
{
    frmVendor& f = open("Add");
    QGroupBox* pages[] = {f.frameGeneral, f.frameReferences, f.frameBridesComments, f.frameGroomsComments};
    ASSERT_EQ(f.TabStrip1->count(), 4);
    for (int t : {2, 1, 3, 0, 3}) {
        QTest::mouseClick(f.TabStrip1, Qt::LeftButton, {}, f.TabStrip1->tabRect(t).center());
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(pages[p]->isVisible(), p == t) << t << " " << p;
    }
    click(f.cmdCancel);
    open("Add");
    EXPECT_TRUE(f.frameGeneral->isVisible());
    EXPECT_FALSE(f.frameGroomsComments->isVisible());
}

}  // namespace
