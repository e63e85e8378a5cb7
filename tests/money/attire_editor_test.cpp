// The attire item editor: add and edit, an emptied cost that keeps the old
// one, and its two lookup lists edited from it.

#include "money_fixture.h"

#include "money/frmAttire.h"
#include "records/frmAddType.h"

#include <QLineEdit>
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
    EXPECT_EQ(count("SELECT count(*) FROM ATTIRE_TYPE WHERE ATTIRETYPE_NAME = 'Heirloom'"), 0);

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

TEST_F(AttireEditor, ALookupEditResetsOnlyTheEditedListsBox)
{
    const struct {
        QPushButton* frmAttire::*button;
        const char* list;
        int reset, kept;
    } cases[] = {{&frmAttire::cmdEditAssignees, "Assignee", 1, 2}, {&frmAttire::cmdEditAttireType, "Attire", 2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        modal.modal->once("frmAddType", [&](ui::FormBase& form) {
            auto& t = static_cast<frmAddType&>(form);
            EXPECT_EQ(t.curMode, c.list);
            EXPECT_EQ(t.fromForm, "Attire");
            type(t.txtItem, "Zz new entry");
            click(t.cmdAdd);
            click(t.cmdClose);
        });
        frmAttire& f = open("Add");
        type(f.Text1[0], "Cufflinks");
        const QString typed[] = {"Tux Town", "Best Man", "Jewellery"};
        for (int i = 0; i < 3; ++i)
            type(f.Combo1[i], typed[i]);
        click(f.*c.button);
        EXPECT_EQ(f.Combo1[c.reset]->currentText(), "");
        EXPECT_TRUE(items(f.Combo1[c.reset]).contains("Zz new entry"));
        EXPECT_EQ(f.Combo1[c.kept]->currentText(), typed[c.kept]);
        EXPECT_EQ(f.Combo1[0]->currentText(), "Tux Town");
        EXPECT_EQ(editing::boxText(f.Text1[0]), "Cufflinks");
        click(f.cmdCancel);
    }
    EXPECT_EQ(modal.modal->shown, QStringList({"frmAddType", "frmAddType"}));
    // A lookup edit from the main window later calls nothing into the closed editor.
    EXPECT_FALSE(records::hooks::call("frmAttire.GetAttireTypes"));
    EXPECT_FALSE(frmAttire::instance().isLoaded());
}

}  // namespace
