// The attire item editor: add and edit, and an emptied cost that keeps the
// old one.

#include "money_fixture.h"

#include "money/frmAttire.h"

#include <QPushButton>

namespace {

class AttireEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        db().Execute("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Bridal House'), (NULL), ('Tux Town')");
        watch("ATTIRE");
        traced();
    }
    frmAttire& open(const QString& mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmAttire::curAttireID, key);
    }
    QStringList row(qint64 key) { return rowTexts("ATTIRE", key); }
};

TEST_F(AttireEditor, AddsAndEditsAnItemAndAnEmptiedCostKeepsTheOldOne)
{
    frmAttire& f = open("Add");
    EXPECT_EQ(f.window()->windowTitle(), "Add Attire Item");
    EXPECT_EQ(items(f.Combo1[0]), QStringList({"Bridal House", "Tux Town"}));
    EXPECT_EQ(items(f.Combo1[1]), editing::columnTexts("SELECT ASSIGNEE_TEXT FROM ASSIGNEE"));
    EXPECT_EQ(items(f.Combo1[2]), editing::columnTexts("SELECT ATTIRETYPE_NAME FROM ATTIRE_TYPE"));
    type(f.Text1[0], "Veil\ncathedral length");
    f.Combo1[1]->setCurrentIndex(0);
    const QString wearer = f.Combo1[1]->currentText();
    type(f.Combo1[2], "Heirloom");  // not in the list
    type(f.Combo1[0], "Grandmother");
    type(f.Text1[1], "180.5");
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());
    const qint64 key = cell("SELECT ATTIRE_ID FROM ATTIRE").toLongLong();
    EXPECT_EQ(row(key), QStringList({"Veil\ncathedral length", "Grandmother", wearer, "Heirloom", "180.5"}));
    EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh AttireRS"}));

    db().Execute("DELETE FROM SYNCHRO");
    traced();
    open("Edit", key);
    EXPECT_EQ(f.window()->windowTitle(), "Edit Attire Item");
    EXPECT_EQ(editing::boxText(f.Text1[1]), "180.5");
    EXPECT_EQ(f.Combo1[2]->currentText(), "Heirloom");
    type(f.Text1[1], "");
    type(f.Combo1[0], "");
    click(f.cmdSave);
    EXPECT_EQ(row(key), QStringList({"Veil\ncathedral length", "", wearer, "Heirloom", "180.5"}));
    EXPECT_EQ(traced(), QStringList({"log 2", "update", "refresh AttireRS"}));

    open("Edit", key);
    type(f.Text1[0], "Changed, then cancelled");
    click(f.cmdCancel);
    EXPECT_EQ(row(key)[0], "Veil\ncathedral length");
    EXPECT_EQ(traced(), QStringList({"refresh AttireRS"}));
}

}  // namespace
