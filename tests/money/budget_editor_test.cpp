// The budget item editor: add and edit, a cost that does not convert, the
// link of a wizard row kept, and the three lists refilled after a lookup edit.

#include "money_fixture.h"

#include "money/frmAddBudget.h"
#include "records/frmAddType.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class BudgetEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        watch("BUDGET");
    }
    frmAddBudget& open(const QString& mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmAddBudget::curBudgetID, key);
    }
    QStringList row(qint64 key)
    {
        return rowTexts("BUDGET", key, {"BUDGET_NAME", "BUDGET_CATEGORY", "BUDGET_EVENT", "BUDGET_AMT",
                                        "BUDGET_WHOPAYS", "BUDGET_STDBUDGETID"});
    }
};

TEST_F(BudgetEditor, AddsAndEditsAnItem)
{
    frmAddBudget& f = open("Add");
    EXPECT_EQ(f.window()->windowTitle(), "Add Budget Item");
    EXPECT_EQ(f.Label2[0]->text(), "Category::");
    EXPECT_EQ(items(f.Combo1[0]), editing::columnTexts("SELECT BUDGETCATEGORY_TEXT FROM BUDGETCATEGORY"));
    EXPECT_EQ(items(f.Combo1[1]), editing::columnTexts("SELECT STDEVENT_TEXT FROM STDEVENT"));
    EXPECT_EQ(items(f.Combo1[2]), editing::columnTexts("SELECT ASSIGNEE_TEXT FROM ASSIGNEE"));
    for (QComboBox* c : f.Combo1)
        EXPECT_EQ(c->currentText(), "") << "no entry chosen";
    type(f.Text1[0], "Chair covers");
    f.Combo1[0]->setCurrentIndex(1);
    const QString category = f.Combo1[0]->currentText();
    type(f.Combo1[1], "Garden party");  // not in the list
    type(f.Combo1[2], "Aunt May");
    type(f.Text1[1], "$1,250.505");
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());
    const qint64 key = cell("SELECT BUDGET_ID FROM BUDGET").toLongLong();
    EXPECT_EQ(row(key), QStringList({"Chair covers", category, "Garden party", "1250.505", "Aunt May", "NULL"}));
    EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh BudgetRS"}));
    EXPECT_EQ(count("SELECT count(*) FROM STDEVENT WHERE STDEVENT_TEXT = 'Garden party'"), 0);

    // A wizard row keeps its link; a cost that does not convert keeps the stored one.
    db().Execute("UPDATE BUDGET SET BUDGET_STDBUDGETID = 7");
    db().Execute("DELETE FROM SYNCHRO");
    traced();
    open("Edit", key);
    EXPECT_EQ(f.window()->windowTitle(), "Edit Budget Item");
    EXPECT_EQ(f.Combo1[1]->currentText(), "Garden party") << "shown though not in the list";
    EXPECT_EQ(f.Text1[1]->text(), "1250.505");
    type(f.Text1[0], "Chair covers, ivory");
    type(f.Text1[1], "twelve hundred");
    click(f.cmdSave);
    EXPECT_EQ(row(key), QStringList({"Chair covers, ivory", category, "Garden party", "1250.505", "Aunt May", "7"}));
    EXPECT_EQ(traced(), QStringList({"log 2", "update", "refresh BudgetRS"}));

    open("Edit", key);
    type(f.Text1[1], "");
    type(f.Text1[0], "Changed, then cancelled");
    click(f.cmdCancel);
    EXPECT_EQ(row(key)[0], "Chair covers, ivory");
    EXPECT_EQ(traced(), QStringList({"refresh BudgetRS"}));
}

TEST_F(BudgetEditor, ALookupEditResetsOnlyTheEditedListsBox)
{
    const struct {
        QPushButton* frmAddBudget::*button;
        const char* list;
        int reset;
    } cases[] = {{&frmAddBudget::cmdEditCategory, "BudgetCategory", 0},
                 {&frmAddBudget::cmdEditEvent, "Event", 1},
                 {&frmAddBudget::cmdEditAssignees, "Assignee", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        modal.modal->once("frmAddType", [&](ui::FormBase& form) {
            auto& t = static_cast<frmAddType&>(form);
            EXPECT_EQ(t.curMode, c.list);
            EXPECT_EQ(t.fromForm, "AddBudget");
            type(t.txtItem, "Zz new entry");
            click(t.cmdAdd);
            click(t.cmdClose);
        });
        frmAddBudget& f = open("Add");
        type(f.Text1[0], "Limousine");
        type(f.Text1[1], "400");
        const QString typed[] = {"Transport", "Wedding day", "Groom"};
        for (int i = 0; i < 3; ++i)
            type(f.Combo1[i], typed[i]);
        click(f.*c.button);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(f.Combo1[i]->currentText(), i == c.reset ? QString() : typed[i]) << i;
        EXPECT_TRUE(items(f.Combo1[c.reset]).contains("Zz new entry"));
        EXPECT_EQ(f.Text1[0]->text(), "Limousine");
        EXPECT_EQ(f.Text1[1]->text(), "400");
        click(f.cmdCancel);
    }
    EXPECT_EQ(modal.modal->shown.size(), 3);
    EXPECT_EQ(count("SELECT count(*) FROM BUDGET"), 0);
}

}  // namespace
