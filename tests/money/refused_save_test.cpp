// A save the database refuses, in every editor of this part: the reason is
// shown, the editor stays open with what was typed, and neither the row nor a
// log row is written.

#include "money_fixture.h"

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmQuote.h"
#include "money/frmVendor.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class RefusedSave : public moneytest::MoneyTest {};

struct EditorCase {
    const char* table;
    const char* insert;  // the row edited
    std::function<ui::FormBase&(const QString& mode, qint64 key)> open;
    std::function<QWidget*()> firstBox;
    std::function<QPushButton*()> save;
};

template <class F>
std::function<ui::FormBase&(const QString&, qint64)> opener(qint64 F::*key)
{
    return [key](const QString& mode, qint64 k) -> ui::FormBase& { return moneytest::openEditor(mode, key, k); };
}

TEST_F(RefusedSave, KeepsEveryEditorOpenWithNothingWritten)
{
    const EditorCase cases[] = {
        {"VENDOR", "INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Old')", opener(&frmVendor::vendorID),
         [] { return frmVendor::instance().Text1[0]; }, [] { return frmVendor::instance().cmdSave; }},
        {"QUOTE", "INSERT INTO QUOTE (QUOTE_PRODUCT) VALUES ('Old')", opener(&frmQuote::curQuote),
         [] { return frmQuote::instance().Text1[0]; }, [] { return frmQuote::instance().cmdSave; }},
        {"BUDGET", "INSERT INTO BUDGET (BUDGET_NAME) VALUES ('Old')", opener(&frmAddBudget::curBudgetID),
         [] { return frmAddBudget::instance().Text1[0]; }, [] { return frmAddBudget::instance().cmdSave; }},
        {"EXPENSES", "INSERT INTO EXPENSES (EXPENSE_TEXT) VALUES ('Old')", opener(&frmAddExpense::curBudgetID),
         [] { return frmAddExpense::instance().Text1[0]; }, [] { return frmAddExpense::instance().cmdSave; }},
    };
    for (const EditorCase& c : cases) {
        const qint64 key = insert(c.insert);
        refuse(c.table);
        for (const char* mode : {"Add", "Edit"}) {
            SCOPED_TRACE(std::string(c.table) + " " + mode);
            messages.msgs->shown.clear();
            traced();
            ui::FormBase& f = c.open(mode, key);
            type(c.firstBox(), "Typed here");
            click(c.save());
            ASSERT_EQ(messages.msgs->shown.size(), 1);
            EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The changes could not be saved."));
            EXPECT_TRUE(messages.msgs->shown[0].text.contains("the disk is full"));
            EXPECT_TRUE(f.isLoaded());
            EXPECT_EQ(editing::boxText(c.firstBox()), "Typed here");
            EXPECT_EQ(count(QString("SELECT count(*) FROM %1").arg(c.table)), 1);
            EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
            EXPECT_EQ(traced(), QStringList());
            EXPECT_EQ(db().transactionDepth(), 0);
            f.Unload();
        }
    }
}

}  // namespace
