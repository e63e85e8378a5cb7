// The registry item editor: add and edit, a value that is no amount, and its
// two lists edited beside it.

#include "money_fixture.h"

#include "money/frmRegistry.h"
#include "records/frmAddType.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class RegistryEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        watch("REGISTRY");
        traced();
    }
    frmRegistry& open(const QString& mode, qint64 key = 0)
    {
        return moneytest::openEditor(&frmRegistry::registryMode, mode, &frmRegistry::registryID, key);
    }
    QStringList row(qint64 key) { return rowTexts("REGISTRY", key); }
};

TEST_F(RegistryEditor, AddsAndEditsAnItemAndLeavesAValueThatIsNoAmount)
{
    frmRegistry& f = open("Add");
    EXPECT_EQ(f.window()->windowTitle(), "Registry Gift");
    EXPECT_EQ(f.lblHeading->text(), "Gift Registry - Gifts that we would like to receive.");
    EXPECT_EQ(items(f.Combo1[0]), editing::columnTexts("SELECT GIFTSTORE_NAME FROM GIFTSTORE"));
    EXPECT_EQ(items(f.Combo1[1]), editing::columnTexts("SELECT GIFT_CAT_TEXT FROM GIFT_CATEGORY"));
    type(f.Text1[0], "Stand mixer\nred");
    type(f.Text1[1], "KM-500");
    f.Combo1[0]->setCurrentIndex(0);
    const QString store = f.Combo1[0]->currentText();
    type(f.Text1[2], "349.99");
    type(f.Combo1[1], "Baking");  // not in the list
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());
    const qint64 key = cell("SELECT REGISTRY_ID FROM REGISTRY").toLongLong();
    EXPECT_EQ(row(key), QStringList({"Stand mixer\nred", "KM-500", "349.99", store, "Baking"}));
    EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh RegistryRS"}));
    EXPECT_EQ(count("SELECT count(*) FROM GIFT_CATEGORY WHERE GIFT_CAT_TEXT = 'Baking'"), 0);

    db().Execute("DELETE FROM SYNCHRO");
    traced();
    for (const char* value : {"", "about three hundred"}) {
        open("Edit", key);
        EXPECT_EQ(editing::boxText(f.Text1[2]), "349.99");
        EXPECT_EQ(f.Combo1[1]->currentText(), "Baking");
        type(f.Text1[1], "");
        type(f.Text1[2], value);
        click(f.cmdSave);
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(row(key), QStringList({"Stand mixer\nred", "", "349.99", store, "Baking"})) << value;
    }
    EXPECT_EQ(traced(), QStringList({"log 2", "update", "refresh RegistryRS", "update", "refresh RegistryRS"}));

    open("Add");
    type(f.Text1[0], "Towels");
    type(f.Text1[2], "plenty");
    click(f.cmdSave);
    EXPECT_EQ(rowTexts("REGISTRY", cell("SELECT MAX(REGISTRY_ID) FROM REGISTRY").toLongLong()),
              QStringList({"Towels", "", "NULL", "", ""}));
    EXPECT_EQ(messages.msgs->texts(), QStringList());
}

TEST_F(RegistryEditor, EachListEditedBesideItRefillsOnlyItsOwnBox)
{
    const struct {
        QPushButton* frmRegistry::*button;
        const char* list;
        int reset;
    } cases[] = {{&frmRegistry::cmdAddStore, "Stores", 0}, {&frmRegistry::cmdAddCategory, "Category", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        frmRegistry& f = open("Add");
        type(f.Text1[0], "Blender");
        const QString typed[] = {"Corner Shop", "Kitchen"};
        for (int i = 0; i < 2; ++i)
            type(f.Combo1[i], typed[i]);
        click(f.*c.button);
        frmAddType& t = frmAddType::instance();
        ASSERT_TRUE(t.isLoaded());
        EXPECT_EQ(t.curMode, c.list);
        EXPECT_EQ(t.fromForm, "Registry");
        const QString entry = QString("Zz new ") + c.list;
        type(t.txtItem, entry);
        click(t.cmdAdd);
        click(t.cmdClose);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(f.Combo1[i]->currentText(), i == c.reset ? QString() : typed[i]) << i;
        EXPECT_TRUE(items(f.Combo1[c.reset]).contains(entry));
        EXPECT_FALSE(items(f.Combo1[1 - c.reset]).contains(entry));
        EXPECT_EQ(editing::boxText(f.Text1[0]), "Blender");
        click(f.cmdCancel);
    }
    EXPECT_TRUE(modal.modal->shown.isEmpty());
    EXPECT_EQ(count("SELECT count(*) FROM REGISTRY"), 0);
}

}  // namespace
