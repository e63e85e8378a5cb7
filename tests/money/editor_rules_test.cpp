// What every editor of this part keeps to: a save the database refuses
// shows the reason, keeps the editor open with what was typed and writes
// neither the row nor a log row; a modeless editor asked for again goes on
// with its own record; a lookup list edited from an editor resets only that
// list's box, and calls back no editor that has closed.

#include "money_fixture.h"

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
#include "records/frmAddType.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

struct EditorCase {
    const char* table;
    const char* textColumn;  // of the first box
    std::function<ui::FormBase&(const QString& mode, qint64 key)> open;
    std::function<QWidget*()> firstBox;
    std::function<QPushButton*()> save;
};

template <class F>
EditorCase editor(const char* table, const char* column, QString F::*mode, qint64 F::*key,
                  std::function<QWidget*(F&)> first, std::function<QPushButton*(F&)> save)
{
    return {table, column,
            [=](const QString& m, qint64 k) -> ui::FormBase& { return moneytest::openEditor<F>(mode, m, key, k); },
            [first] { return first(F::instance()); }, [save] { return save(F::instance()); }};
}

const EditorCase kGift = editor<frmGift>("GIFT", "GIFT_NAME", &frmGift::giftMode, &frmGift::giftID,
                                         [](frmGift& f) { return f.Text1[0]; }, [](frmGift& f) { return f.cmdSave; });
const EditorCase kRegistry = editor<frmRegistry>(
    "REGISTRY", "REGISTRY_TEXT", &frmRegistry::registryMode, &frmRegistry::registryID,
    [](frmRegistry& f) { return f.Text1[0]; }, [](frmRegistry& f) { return f.cmdSave; });
template <class F>
EditorCase measures(const char* table, const char* column)
{
    return editor<F>(table, column, &F::curMode, &F::curRec, [](F& f) { return f.Combo1; },
                     [](F& f) { return f.Command1; });
}
const EditorCase kFemale = measures<frmMeasureFemale>("MEASURE_FEMALE", "MEASURE_FEMALE_NAME");
const EditorCase kMale = measures<frmMeasureMale>("MEASURE_MALE", "MEASURE_MALE_NAME");

class EditorRules : public moneytest::MoneyTest {
protected:
    qint64 oldRow(const EditorCase& c)
    {
        return insert(QString("INSERT INTO %1 (%2) VALUES ('Old')").arg(c.table, c.textColumn));
    }
};

TEST_F(EditorRules, ARefusedSaveKeepsTheEditorOpenWithNothingWritten)
{
    const EditorCase cases[] = {
        editor<frmVendor>("VENDOR", "VENDOR_NAME", &frmVendor::curMode, &frmVendor::vendorID,
                          [](frmVendor& f) { return f.Text1[0]; }, [](frmVendor& f) { return f.cmdSave; }),
        editor<frmQuote>("QUOTE", "QUOTE_PRODUCT", &frmQuote::curMode, &frmQuote::curQuote,
                         [](frmQuote& f) { return f.Text1[0]; }, [](frmQuote& f) { return f.cmdSave; }),
        editor<frmAddBudget>("BUDGET", "BUDGET_NAME", &frmAddBudget::curMode, &frmAddBudget::curBudgetID,
                             [](frmAddBudget& f) { return f.Text1[0]; }, [](frmAddBudget& f) { return f.cmdSave; }),
        editor<frmAddExpense>("EXPENSES", "EXPENSE_TEXT", &frmAddExpense::curMode, &frmAddExpense::curBudgetID,
                              [](frmAddExpense& f) { return f.Text1[0]; }, [](frmAddExpense& f) { return f.cmdSave; }),
        editor<frmAttire>("ATTIRE", "ATTIRE_ITEM", &frmAttire::curMode, &frmAttire::curAttireID,
                          [](frmAttire& f) { return f.Text1[0]; }, [](frmAttire& f) { return f.cmdSave; }),
        kGift, kRegistry, kFemale, kMale,
    };
    for (const EditorCase& c : cases) {
        const qint64 key = oldRow(c);
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

TEST_F(EditorRules, AModelessEditorAskedForAgainKeepsItsRecord)
{
    const std::pair<EditorCase, const char*> cases[] = {
        {kGift, "Edit"}, {kRegistry, "Add"}, {kFemale, "Edit"}, {kMale, "Add"}};
    for (const auto& [c, secondMode] : cases) {
        SCOPED_TRACE(c.table);
        const qint64 first = oldRow(c), second = oldRow(c);
        ui::FormBase& f = c.open("Edit", first);
        type(c.firstBox(), "Typed here");
        c.open(secondMode, second);
        EXPECT_EQ(editing::boxText(c.firstBox()), "Typed here");
        click(c.save());
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(rowTexts(c.table, first, {c.textColumn}), QStringList{"Typed here"});
        EXPECT_EQ(rowTexts(c.table, second, {c.textColumn}), QStringList{"Old"});
        EXPECT_EQ(count(QString("SELECT count(*) FROM %1").arg(c.table)), 2);
    }
}

TEST_F(EditorRules, ALookupEditResetsOnlyTheEditedListsBox)
{
    using Boxes = std::vector<QComboBox*>;
    const auto openAttire = []() -> ui::FormBase& { return moneytest::openEditor("Add", &frmAttire::curAttireID, 0); };
    const struct {
        const char* list;
        const char* fromForm;
        std::function<ui::FormBase&()> open;
        std::function<QPushButton*()> button;
        std::function<Boxes()> boxes;
        size_t reset;
    } cases[] = {
        {"Stores", "Gifts", [] () -> ui::FormBase& { return kGift.open("Add", 0); },
         [] { return frmGift::instance().cmdAddStore; },
         [] { auto& f = frmGift::instance(); return Boxes(f.Combo1.begin(), f.Combo1.end()); }, 1},
        {"Stores", "Registry", [] () -> ui::FormBase& { return kRegistry.open("Add", 0); },
         [] { return frmRegistry::instance().cmdAddStore; },
         [] { auto& f = frmRegistry::instance(); return Boxes(f.Combo1.begin(), f.Combo1.end()); }, 0},
        {"Category", "Registry", [] () -> ui::FormBase& { return kRegistry.open("Add", 0); },
         [] { return frmRegistry::instance().cmdAddCategory; },
         [] { auto& f = frmRegistry::instance(); return Boxes(f.Combo1.begin(), f.Combo1.end()); }, 1},
        {"Assignee", "Attire", openAttire,
         [] { return frmAttire::instance().cmdEditAssignees; },
         [] { auto& f = frmAttire::instance(); return Boxes(f.Combo1.begin(), f.Combo1.end()); }, 1},
        {"Attire", "Attire", openAttire,
         [] { return frmAttire::instance().cmdEditAttireType; },
         [] { auto& f = frmAttire::instance(); return Boxes(f.Combo1.begin(), f.Combo1.end()); }, 2},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fromForm) + " " + c.list);
        const QString entry = QString("Zz entry %1").arg(++n);
        const auto addEntry = [&](ui::FormBase& form) {
            auto& t = static_cast<frmAddType&>(form);
            EXPECT_EQ(t.curMode, c.list);
            EXPECT_EQ(t.fromForm, c.fromForm);
            type(t.txtItem, entry);
            click(t.cmdAdd);
            click(t.cmdClose);
        };
        // The attire editor shows the lookup editor modal, the others beside them.
        modal.modal->once("frmAddType", addEntry);
        ui::FormBase& f = c.open();
        const Boxes boxes = c.boxes();
        for (size_t i = 0; i < boxes.size(); ++i)
            type(boxes[i], QString("typed %1").arg(i));
        click(c.button());
        if (frmAddType::instance().isLoaded())
            addEntry(frmAddType::instance());
        for (size_t i = 0; i < boxes.size(); ++i)
            EXPECT_EQ(boxes[i]->currentText(), i == c.reset ? QString() : QString("typed %1").arg(i)) << i;
        EXPECT_TRUE(items(boxes[c.reset]).contains(entry));

        // Closed while the lookup editor is open, it is not called back.
        modal.modal->queued.clear();
        click(c.button());
        f.Unload();
        if (frmAddType::instance().isLoaded())
            click(frmAddType::instance().cmdClose);
        EXPECT_FALSE(f.isLoaded());
    }
    EXPECT_EQ(modal.modal->shown, QStringList({"frmAddType", "frmAddType", "frmAddType", "frmAddType"}));
}

}  // namespace
