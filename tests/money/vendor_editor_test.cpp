// The vendor editor's two ratings and its pages.

#include "money_fixture.h"

#include "money/frmVendor.h"
#include "records/frmAddType.h"

#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <sqlite3.h>

namespace {

class VendorEditor : public moneytest::MoneyTest {
protected:
    frmVendor& open(frmVendor::Mode mode, qint64 key = 0)
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
    frmVendor& f = open(frmVendor::Mode::Add);
    type(f.Text1[0], "Harp Trio");
    click(f.optGR[3]);
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR").toInt(), 4);
    EXPECT_TRUE(cell("SELECT VENDOR_BRIDERATING FROM VENDOR").isNull());
    open(frmVendor::Mode::Edit, cell("SELECT VENDOR_ID FROM VENDOR").toLongLong());
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
        frmVendor& f = open(frmVendor::Mode::Edit, key);
        EXPECT_EQ(checked(f.optBR), c.button);
        EXPECT_EQ(checked(f.optGR), c.button);
        click(f.cmdSave);
        EXPECT_EQ(cell("SELECT VENDOR_BRIDERATING FROM VENDOR"), cell("SELECT ?", {c.stored}));
        EXPECT_EQ(cell("SELECT VENDOR_GROOMRATING FROM VENDOR"), cell("SELECT ?", {c.stored}));
    }
}

TEST_F(VendorEditor, TabsShowTheirPageAndEveryOpeningStartsOnGeneral)
{
    frmVendor& f = open(frmVendor::Mode::Add);
    QGroupBox* pages[] = {f.frameGeneral, f.frameReferences, f.frameBridesComments, f.frameGroomsComments};
    ASSERT_EQ(f.TabStrip1->count(), 4);
    for (int t : {2, 1, 3, 0, 3}) {
        QTest::mouseClick(f.TabStrip1, Qt::LeftButton, {}, f.TabStrip1->tabRect(t).center());
        for (int p = 0; p < 4; ++p)
            EXPECT_EQ(pages[p]->isVisible(), p == t) << t << " " << p;
    }
    click(f.cmdCancel);
    open(frmVendor::Mode::Add);
    EXPECT_TRUE(f.frameGeneral->isVisible());
    EXPECT_FALSE(f.frameGroomsComments->isVisible());
}

TEST_F(VendorEditor, ASaveUnderAnotherProgramsLockIsRefusedAndTheTypingKept)
{
    const qint64 key = insert("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Harp Trio')");
    db().setBusyTimeout(50);
    const struct {
        const char* lock;  // what the other program holds the file with
        frmVendor::Mode mode;
    } cases[] = {
        {"BEGIN; SELECT count(*) FROM VENDOR", frmVendor::Mode::Edit},
        {"BEGIN IMMEDIATE", frmVendor::Mode::Edit},
        {"BEGIN EXCLUSIVE", frmVendor::Mode::Edit},
        {"BEGIN EXCLUSIVE", frmVendor::Mode::Add},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.lock) + (c.mode == frmVendor::Mode::Add ? " / Add" : " / Edit"));
        frmVendor& f = open(c.mode, key);
        type(f.Text1[0], "Harfentrio Müller");
        const QString before = cell("SELECT group_concat(VENDOR_NAME) FROM VENDOR").toString();
        const qlonglong logBefore = cell("SELECT count(*) FROM SYNCHRO").toLongLong();
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(db().path()).constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, c.lock, nullptr, nullptr, nullptr), SQLITE_OK);
        messages.msgs->shown.clear();
        click(f.cmdSave);
        ASSERT_EQ(messages.msgs->shown.size(), 1);
        EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The changes could not be saved.\n\n"))
            << messages.msgs->shown[0].text.toStdString();
        EXPECT_TRUE(f.isLoaded());
        EXPECT_EQ(editing::boxText(f.Text1[0]), "Harfentrio Müller");
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        EXPECT_EQ(cell("SELECT group_concat(VENDOR_NAME) FROM VENDOR").toString(), before);
        EXPECT_EQ(cell("SELECT count(*) FROM SYNCHRO").toLongLong(), logBefore);
        // Once the other program lets go, the same Save stores it.
        click(f.cmdSave);
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(cell("SELECT count(*) FROM VENDOR WHERE VENDOR_NAME = 'Harfentrio Müller'").toLongLong(), 1);
        db().Execute("DELETE FROM VENDOR WHERE VENDOR_ID <> ?", {key});
        db().Execute("UPDATE VENDOR SET VENDOR_NAME = 'Harp Trio'");
    }
}

}  // namespace
