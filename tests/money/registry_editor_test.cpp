// The registry item editor: add and edit, and a value that is no amount.

#include "money_fixture.h"

#include "money/frmRegistry.h"

#include <QLabel>
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

}  // namespace
