// A save the database refuses, in every editor of this part: the reason is
// shown, the editor stays open with what was typed, and neither the row nor a
// log row is written. And a modeless editor asked for again while it is open
// goes on with its own record.

#include "money_fixture.h"

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
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
std::function<ui::FormBase&(const QString&, qint64)> opener(QString F::*modeVar, qint64 F::*key)
{
    return [=](const QString& mode, qint64 k) -> ui::FormBase& {
        return moneytest::openEditor<F>(modeVar, mode, key, k);
    };
}
template <class F>
std::function<ui::FormBase&(const QString&, qint64)> opener(qint64 F::*key)
{
    return opener<F>(&F::curMode, key);
}

const EditorCase kGift = {"GIFT", "INSERT INTO GIFT (GIFT_NAME) VALUES ('Old')",
                          opener(&frmGift::giftMode, &frmGift::giftID), [] { return frmGift::instance().Text1[0]; },
                          [] { return frmGift::instance().cmdSave; }};
const EditorCase kRegistry = {"REGISTRY", "INSERT INTO REGISTRY (REGISTRY_TEXT) VALUES ('Old')",
                              opener(&frmRegistry::registryMode, &frmRegistry::registryID),
                              [] { return frmRegistry::instance().Text1[0]; },
                              [] { return frmRegistry::instance().cmdSave; }};
template <class F>
EditorCase measures(const char* table)
{
    return {table, nullptr, opener<F>(&F::curMode, &F::curRec), [] { return F::instance().Combo1; },
            [] { return F::instance().Command1; }};
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
        {"ATTIRE", "INSERT INTO ATTIRE (ATTIRE_ITEM) VALUES ('Old')", opener(&frmAttire::curAttireID),
         [] { return frmAttire::instance().Text1[0]; }, [] { return frmAttire::instance().cmdSave; }},
        kGift, kRegistry, measures<frmMeasureFemale>("MEASURE_FEMALE"), measures<frmMeasureMale>("MEASURE_MALE"),
    };
    for (const EditorCase& c : cases) {
        const qint64 key = insert(c.insert ? QString(c.insert)
                                           : QString("INSERT INTO %1 (%1_NAME) VALUES ('Old')").arg(c.table));
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

TEST_F(RefusedSave, AModelessEditorAskedForAgainKeepsItsRecord)
{
    const struct {
        EditorCase editor;
        const char* secondMode;
    } cases[] = {{kGift, "Edit"}, {kRegistry, "Add"}, {measures<frmMeasureFemale>("MEASURE_FEMALE"), "Edit"},
                 {measures<frmMeasureMale>("MEASURE_MALE"), "Add"}};
    for (const auto& [c, secondMode] : cases) {
        SCOPED_TRACE(c.table);
        const QString add = c.insert ? QString(c.insert)
                                     : QString("INSERT INTO %1 (%1_NAME) VALUES ('Old')").arg(c.table);
        const qint64 first = insert(add), second = insert(add);
        ui::FormBase& f = c.open("Edit", first);
        type(c.firstBox(), "Typed here");
        c.open(secondMode, second);
        EXPECT_EQ(editing::boxText(c.firstBox()), "Typed here");
        click(c.save());
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(rowTexts(c.table, first)[0], "Typed here");
        EXPECT_EQ(rowTexts(c.table, second)[0], "Old");
        EXPECT_EQ(count(QString("SELECT count(*) FROM %1").arg(c.table)), 2);
    }
}

}  // namespace
