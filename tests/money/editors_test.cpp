// What every money editor keeps to, over one table of the editors: boxes
// round-trip through their columns, refused saves write nothing, a modeless
// editor keeps its record, a lookup edit keeps what every box shows.

#include "money_fixture.h"
#include "support/userinput.h"

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
#include "platform/ui/boxes.h"
#include "records/frmAddType.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Boxes = std::vector<QWidget*>;
using Mode = editing::Mode;

// One box of an editor and its column: what is typed into it when adding and
// when editing (null leaves it as it is, "#n" picks item n of its list), and
// what the column holds after each save ("NULL" for no value, "#n" that item,
// a trailing '*' for any rest; null for as after the add). Box -1 is a column
// no box shows.
struct Field {
    int box;
    QString column, add, added, edit = {}, edited = {};
};

struct Editor {
    QString table, grid;  // the grid: the main window's recordset refreshed on closing
    std::function<ui::FormBase&(editing::Mode mode, qint64 key)> open;
    std::function<Boxes()> boxes;  // box 0 shows a text column
    std::function<QPushButton*()> save, cancel;
    QStringList titles;                          // adding, editing
    std::vector<std::pair<int, QString>> lists;  // a box and its items: "=a|b", or a query
    std::vector<Field> fields;
    QString unchanged = "SELECT 0";   // a count the add leaves as it was
    QString beforeEdit = "SELECT 0";  // run between the add and the edit
};

template <class F, class M = typename F::Mode>
Editor editor(const QString& table, const QString& grid, std::type_identity_t<M F::*> mode, qint64 F::*key,
              std::function<Boxes(F&)> boxes, QPushButton* F::*save = &F::cmdSave,
              QPushButton* F::*cancel = &F::cmdCancel)
{
    Editor e;
    e.table = table;
    e.grid = grid;
    e.open = [=](editing::Mode m, qint64 k) -> ui::FormBase& {
        return moneytest::openEditor<F>(mode, m == editing::Mode::Edit ? M::Edit : M::Add, key, k);
    };
    e.boxes = [boxes] { return boxes(F::instance()); };
    e.save = [save] { return F::instance().*save; };
    e.cancel = [cancel] { return F::instance().*cancel; };
    return e;
}

template <class... L>
Boxes join(const L&... lists)
{
    Boxes out;
    (out.insert(out.end(), std::begin(lists), std::end(lists)), ...);
    return out;
}

class Editors : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        db().Execute("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Bloom & Co'), (NULL), ('Harp Trio')");
        db().Execute("INSERT INTO EVENT (EVENT_NAME) VALUES ('Reception'), (NULL), ('Ceremony')");
        db().Execute("INSERT INTO SUBGUEST (SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES ('Ann', 'Lee'), (NULL, 'Moss'), "
                     "('Bo', 'Adams'), ('Cy', NULL)");
    }

    Editor measures(Editor e, const QString& caption, int sizes)
    {
        e.titles = QStringList{caption, caption};
        e.lists = {{0, "=Ann Lee| Moss|Bo Adams|Cy "}};
        // The sizes in the order of their columns.
        const QStringList columns = db().columnNames(e.table).mid(1);
        e.fields = {{0, columns[0], "Aunt May", "Aunt May", "#1", "#1"}};
        for (int i = 0; i < sizes; ++i) {
            const QString typed = i == 1 ? "" : QString("%1 1/2\"").arg(i + 5);
            e.fields.push_back({i + 1, columns[i + 1], typed, typed, i == 0 ? "" : QString(), i == 0 ? "" : QString()});
        }
        return e;
    }

    std::vector<Editor> editors()
    {
        std::vector<Editor> out;
        Editor e = editor<frmAttire>("ATTIRE", "AttireRS", &frmAttire::curMode, &frmAttire::curAttireID,
                                     [](frmAttire& f) { return join(f.Text1, f.Combo1); });
        e.titles = QStringList{"Add Attire Item", "Edit Attire Item"};
        e.lists = {{2, "=Bloom & Co|Harp Trio"},
                   {3, "SELECT ASSIGNEE_TEXT FROM ASSIGNEE"},
                   {4, "SELECT ATTIRETYPE_NAME FROM ATTIRE_TYPE"}};
        e.fields = {{0, "ATTIRE_ITEM", "Veil\ncathedral length", "Veil\ncathedral length"},
                    {2, "ATTIRE_VENDOR", "Grandmother", "Grandmother", "", ""},
                    {3, "ATTIRE_ASSIGNEE", "#0", "#0"},
                    {4, "ATTIRE_TYPE", "Heirloom", "Heirloom"},  // not in the list
                    {1, "ATTIRE_COST", "180.5", "180.5", "", "180.5"}};
        out.push_back(e);

        e = editor<frmRegistry>("REGISTRY", "RegistryRS", &frmRegistry::registryMode, &frmRegistry::registryID,
                                [](frmRegistry& f) { return join(f.Text1, f.Combo1); });
        e.titles = QStringList{"Registry Gift", "Registry Gift"};
        e.lists = {{3, "SELECT GIFTSTORE_NAME FROM GIFTSTORE"}, {4, "SELECT GIFT_CAT_TEXT FROM GIFT_CATEGORY"}};
        e.fields = {{0, "REGISTRY_TEXT", "Stand mixer\nred", "Stand mixer\nred"},
                    {1, "REGISTRY_MODEL", "KM-500", "KM-500", "", ""},
                    {2, "REGISTRY_COST", "349.99", "349.99", "", "349.99"},
                    {3, "REGISTRY_STORE", "#0", "#0"},
                    {4, "REGISTRY_CATEGORY", "Baking", "Baking"}};
        out.push_back(e);

        e = editor<frmAddBudget>("BUDGET", "BudgetRS", &frmAddBudget::curMode, &frmAddBudget::curBudgetID,
                                 [](frmAddBudget& f) { return join(f.Text1, f.Combo1); });
        e.titles = QStringList{"Add Budget Item", "Edit Budget Item"};
        e.lists = {{2, "SELECT BUDGETCATEGORY_TEXT FROM BUDGETCATEGORY"},
                   {3, "SELECT STDEVENT_TEXT FROM STDEVENT"},
                   {4, "SELECT ASSIGNEE_TEXT FROM ASSIGNEE"}};
        e.fields = {{0, "BUDGET_NAME", "Chair covers", "Chair covers", "Chair covers, ivory", "Chair covers, ivory"},
                    {2, "BUDGET_CATEGORY", "#1", "#1"},
                    {3, "BUDGET_EVENT", "Garden party", "Garden party"},
                    {4, "BUDGET_WHOPAYS", "Aunt May", "Aunt May"},
                    {1, "BUDGET_AMT", "$1,250.505", "1250.505", "1,200", "1200"},
                    {-1, "BUDGET_STDBUDGETID", {}, "NULL", {}, "7"}};
        // A typed event adds no event; a wizard row keeps its link.
        e.unchanged = "SELECT count(*) FROM STDEVENT";
        e.beforeEdit = "UPDATE BUDGET SET BUDGET_STDBUDGETID = 7";
        out.push_back(e);

        e = editor<frmAddExpense>("EXPENSES", "ExpensesRS", &frmAddExpense::curMode, &frmAddExpense::curBudgetID,
                                  [](frmAddExpense& f) { return join(f.Text1, f.Combo1, Boxes{f.dtDate}); });
        e.titles = QStringList{"Add Expense Item", "Edit Budget Item"};
        e.lists = {{3, "=Bloom & Co|Harp Trio"}};
        e.fields = {{0, "EXPENSE_TEXT", "Bouquets", "Bouquets", "Bouquets, white", "Bouquets, white"},
                    {3, "EXPENSE_VENDOR", "Petal Pushers", "Petal Pushers"},  // not a vendor
                    {4, "EXPENSE_EVENT", "#0", "#0"},
                    {1, "EXPENSE_AMTPAID", "100", "100", "(250.5)", "-250.5"},
                    {2, "EXPENSE_AMTDUE", "", "NULL", "800", "800"},
                    {6, "EXPENSE_DUEDATE", "2027-05-20", "2027-05-20 *", "2027-06-01", "2027-06-01 *"},
                    {5, "EXPENSE_WHOPAYS", "Bride", "Bride"}};
        e.unchanged = "SELECT count(*) FROM VENDOR";
        out.push_back(e);

        e = editor<frmGift>("GIFT", "GiftRS", &frmGift::giftMode, &frmGift::giftID,
                            [](frmGift& f) { return join(f.Text1, f.Combo1); });
        e.titles = QStringList{"Gift(s) Received", "Gift(s) Received"};
        e.lists = {{2, "=Reception|Ceremony"},  // an event without a name adds none
                   {3, "SELECT GIFTSTORE_NAME FROM GIFTSTORE"},
                   {4, "=Cy |Bo Adams|Ann Lee| Moss"}};
        e.fields = {{0, "GIFT_NAME", "Toaster\nfour slots", "Toaster\nfour slots"},
                    {2, "GIFT_EVENT", "#1", "#1"},
                    {3, "GIFT_STORE", "Corner Shop", "Corner Shop"},
                    {1, "GIFT_VALUE", "129.995", "129.995", ".5", "0.5"},
                    {4, "GIFT_WHOFROM", "#3", "#3", "Uncle Bob", "Uncle Bob"},
                    {-1, "GIFT_IMAGE", {}, "NULL"},
                    {-1, "GIFT_THANKYOUSENT", {}, "false"}};
        out.push_back(e);

        e = editor<frmQuote>("QUOTE", "QuoteRS", &frmQuote::curMode, &frmQuote::curQuote,
                             [](frmQuote& f) { return join(f.Text1, Boxes{f.cmbEvent, f.cmbVendor}); });
        e.titles = QStringList{"Quote", "Quote"};
        e.lists = {{6, "=Reception|Ceremony"}, {7, "=Bloom & Co|Harp Trio"}};  // in database order
        // Amounts are kept as typed.
        e.fields = {{0, "QUOTE_PRODUCT", "Strings", "Strings", "Strings and harp", "Strings and harp"},
                    {1, "QUOTE_DETAILS", "Three players\nTwo hours", "Three players\nTwo hours"},
                    {2, "QUOTE_NOTPROVIDED", "Chairs", "Chairs", "", ""},
                    {3, "QUOTE_AMOUNT", "1,200.50", "1,200.50", "5200", "5200"},
                    {4, "QUOTE_DEPOSITAMT", "about 300", "about 300"},
                    {5, "QUOTE_BALANCEAMT", {}, ""},
                    {6, "QUOTE_EVENT", "Brunch", "Brunch"},  // not an event
                    {7, "QUOTE_VENDOR", "#1", "#1"}};
        e.unchanged = "SELECT count(*) FROM EVENT";
        out.push_back(e);

        e = editor<frmVendor>("VENDOR", "VendorRS", &frmVendor::curMode, &frmVendor::vendorID,
                              [](frmVendor& f) { return join(f.Text1, Boxes{f.cmbVendorTypes}); });
        e.titles = QStringList{"Vendor", "Vendor"};
        e.lists = {{26, "SELECT VENDORTYPE_NAME FROM VENDORTYPE"}};
        for (int i = 0; i < 26; ++i) {
            const QString typed = i == 12 ? "Open Sundays\nNo deliveries" : QString("text %1").arg(i);
            e.fields.push_back({i, frmVendor::kTextColumns[i], typed, typed, i == 0 ? "Bloom" : QString(),
                                i == 0 ? "Bloom" : QString()});
        }
        e.fields.push_back({26, "VENDOR_TYPE", "Balloon Artist", "Balloon Artist", "#1", "#1"});  // not in the list
        e.unchanged = "SELECT count(*) FROM VENDORTYPE";
        out.push_back(e);

        const auto measureBoxes = [](money::MeasureForm& f) { return join(Boxes{f.Combo1}, f.Text1); };
        out.push_back(measures(editor<frmMeasureFemale>("MEASURE_FEMALE", "MeasurementRS", &frmMeasureFemale::curMode,
                                                        &frmMeasureFemale::curRec, measureBoxes,
                                                        &frmMeasureFemale::Command1, &frmMeasureFemale::Command2),
                               "Measurements - Female", 9));
        out.push_back(measures(editor<frmMeasureMale>("MEASURE_MALE", "MeasurementRS", &frmMeasureMale::curMode,
                                                      &frmMeasureMale::curRec, measureBoxes,
                                                      &frmMeasureMale::Command1, &frmMeasureMale::Command2),
                               "Measurements - Male", 10));
        return out;
    }

    static QComboBox* combo(QWidget* box) { return qobject_cast<QComboBox*>(box); }
    // What a field's text means in this box: "#n" the item n of its list.
    static QString meant(const QString& text, QWidget* box)
    {
        return box && text.startsWith('#') ? combo(box)->itemText(text.mid(1).toInt()) : text;
    }
    static void enter(QWidget* box, const QString& text)
    {
        if (text.startsWith('#'))
            combo(box)->setCurrentIndex(text.mid(1).toInt());
        else
            type(box, text);
    }
    static QString shown(QWidget* box)
    {
        auto* d = qobject_cast<ui::DateBox*>(box);
        return d ? editing::fromPickers(d->date(), d->timeOfDay()) : editing::boxText(box);
    }
    static void expectLike(const QString& got, const QString& want, const QString& what)
    {
        if (want.endsWith('*'))
            EXPECT_TRUE(got.startsWith(want.chopped(1))) << what.toStdString() << ": " << got.toStdString();
        else
            EXPECT_EQ(got, want) << what.toStdString();
    }
    void expectRow(const Editor& e, qint64 key, const QStringList& want)
    {
        QStringList columns;
        for (const Field& f : e.fields)
            columns << f.column;
        const QStringList got = rowTexts(e.table, key, columns);
        for (int i = 0; i < columns.size(); ++i)
            expectLike(got.value(i), want[i], columns[i]);
    }
    const Editor& editorOf(const std::vector<Editor>& all, const QString& table)
    {
        return *std::find_if(all.begin(), all.end(), [&](const Editor& e) { return e.table == table; });
    }
    qlonglong rowsOf(const Editor& e) { return count("SELECT count(*) FROM " + e.table); }
    qint64 oldRow(const Editor& e)
    {
        return insert(QString("INSERT INTO %1 (%2) VALUES ('Old')").arg(e.table, e.fields[0].column));
    }
};

TEST_F(Editors, EachBoxIsAddedAndEditedThroughItsColumnWithItsLogRowFirst)
{
    for (const Editor& e : editors()) {
        SCOPED_TRACE(e.table.toStdString());
        watch(e.table);
        traced();
        const QVariant unchanged = cell(e.unchanged);
        const qlonglong before = rowsOf(e);
        ui::FormBase& f = e.open(Mode::Add, 0);
        EXPECT_EQ(f.widget()->windowTitle(), e.titles[0]);
        const Boxes boxes = e.boxes();
        for (const auto& [box, list] : e.lists) {
            EXPECT_EQ(items(combo(boxes[box])), list.startsWith('=') ? list.mid(1).split('|') : editing::columnTexts(list));
            EXPECT_EQ(combo(boxes[box])->currentText(), "") << "no entry chosen";
        }
        QStringList added, edited;
        for (const Field& fd : e.fields) {
            QWidget* box = fd.box < 0 ? nullptr : boxes[fd.box];
            added << meant(fd.added, box);
            edited << (fd.edited.isNull() ? added.last() : meant(fd.edited, box));
            if (!fd.add.isNull())
                enter(box, fd.add);
        }
        click(e.save());
        EXPECT_FALSE(f.isLoaded());
        const qint64 key = cell(QString("SELECT MAX(%1) FROM %2").arg(db().keyColumn(e.table), e.table)).toLongLong();
        expectRow(e, key, added);
        EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh " + e.grid}));
        EXPECT_EQ(cell(e.unchanged), unchanged);

        db().Execute(e.beforeEdit);
        traced();
        e.open(Mode::Edit, key);
        EXPECT_EQ(f.widget()->windowTitle(), e.titles[1]);
        // Every box shows its column, a text no list holds too.
        for (size_t i = 0; i < e.fields.size(); ++i)
            if (e.fields[i].box >= 0)
                expectLike(shown(e.boxes()[e.fields[i].box]), added[i] == "NULL" ? "" : added[i], e.fields[i].column);
        for (const Field& fd : e.fields)
            if (!fd.edit.isNull())
                enter(e.boxes()[fd.box], fd.edit);
        click(e.save());
        EXPECT_FALSE(f.isLoaded());
        expectRow(e, key, edited);
        // The record has its log row already: the edit adds none.
        EXPECT_EQ(traced(), QStringList({"update", "refresh " + e.grid}));

        // Saved unchanged, it writes and logs nothing.
        db().Execute("DELETE FROM SYNCHRO");
        e.open(Mode::Edit, key);
        type(e.boxes()[0], "Changed, then cancelled");
        click(e.cancel());
        e.open(Mode::Edit, key);
        click(e.save());
        expectRow(e, key, edited);
        EXPECT_EQ(traced(), QStringList({"refresh " + e.grid, "refresh " + e.grid}));

        // The close box asks about the typing; given up, it writes nothing, and refreshes too.
        messages.msgs->shown.clear();
        messages.msgs->answers = {ui::vbNo};
        e.open(Mode::Add, 0);
        type(e.boxes()[0], "Another");
        f.widget()->close();
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(rowsOf(e), before + 1);
        EXPECT_EQ(traced(), QStringList({"refresh " + e.grid}));
        EXPECT_EQ(messages.msgs->texts(), QStringList{editing::kSaveChanges});
    }
}

TEST_F(Editors, AmountsShowAsPlainDecimalsAndSaveBackUnchanged)
{
    for (const Editor& e : editors())
        for (const Field& fd : e.fields) {
            if (fd.box < 0 || db().columnKind(e.table, fd.column) != ado::ColumnKind::Currency)
                continue;
            for (const auto& [amount, text] : moneytest::kAmounts) {
                SCOPED_TRACE((fd.column + " " + text).toStdString());
                const qint64 key = insert(QString("INSERT INTO %1 (%2) VALUES (?)").arg(e.table, fd.column), {amount});
                ui::FormBase& f = e.open(Mode::Edit, key);
                ASSERT_TRUE(activate(f.widget()));
                EXPECT_EQ(shown(e.boxes()[fd.box]), text);
                click(e.save());
                EXPECT_FALSE(f.isLoaded());
                EXPECT_EQ(cell(QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(fd.column, e.table, db().keyColumn(e.table)),
                               {key})
                              .toDouble(),
                          amount);
            }
        }
    EXPECT_EQ(messages.msgs->texts(), QStringList());
}

TEST_F(Editors, ARefusedSaveKeepsTheEditorOpenWithNothingWritten)
{
    for (const Editor& e : editors()) {
        const qint64 key = oldRow(e);
        const qlonglong before = rowsOf(e);
        refuse(e.table);
        for (const Mode mode : {Mode::Add, Mode::Edit}) {
            SCOPED_TRACE((e.table + (mode == Mode::Add ? " Add" : " Edit")).toStdString());
            messages.msgs->shown.clear();
            traced();
            ui::FormBase& f = e.open(mode, key);
            type(e.boxes()[0], "Typed here");
            click(e.save());
            ASSERT_EQ(messages.msgs->shown.size(), 1);
            EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The changes could not be saved."));
            EXPECT_TRUE(messages.msgs->shown[0].text.contains("the disk is full"));
            EXPECT_TRUE(f.isLoaded());
            EXPECT_EQ(editing::boxText(e.boxes()[0]), "Typed here");
            EXPECT_EQ(rowsOf(e), before);
            EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
            EXPECT_EQ(traced(), QStringList());
            EXPECT_EQ(db().transactionDepth(), 0);
            f.Unload();
        }
    }
}

TEST_F(Editors, AModelessEditorAskedForAgainKeepsItsRecord)
{
    int n = 0;
    for (const Editor& e : editors()) {
        SCOPED_TRACE(e.table.toStdString());
        const qlonglong before = rowsOf(e);
        const qint64 first = oldRow(e), second = oldRow(e);
        ui::FormBase& f = e.open(Mode::Edit, first);
        type(e.boxes()[0], "Typed here");
        e.open(++n % 2 ? Mode::Edit : Mode::Add, second);
        EXPECT_EQ(editing::boxText(e.boxes()[0]), "Typed here");
        click(e.save());
        EXPECT_FALSE(f.isLoaded());
        EXPECT_EQ(rowTexts(e.table, first, {e.fields[0].column}), QStringList{"Typed here"});
        EXPECT_EQ(rowTexts(e.table, second, {e.fields[0].column}), QStringList{"Old"});
        EXPECT_EQ(rowsOf(e), before + 2);
    }
}

TEST_F(Editors, ALookupEditKeepsTheTextOfEveryBox)
{
    const std::vector<Editor> all = editors();
    const struct {
        records::Lookup list;
        const char* table;
        std::function<QPushButton*()> button;
        int edited;  // of the editor's lists
    } cases[] = {
        {records::Lookup::Stores, "GIFT", [] { return frmGift::instance().cmdAddStore; }, 1},
        {records::Lookup::Stores, "REGISTRY", [] { return frmRegistry::instance().cmdAddStore; }, 0},
        {records::Lookup::Category, "REGISTRY", [] { return frmRegistry::instance().cmdAddCategory; }, 1},
        {records::Lookup::Assignee, "ATTIRE", [] { return frmAttire::instance().cmdEditAssignees; }, 1},
        {records::Lookup::Attire, "ATTIRE", [] { return frmAttire::instance().cmdEditAttireType; }, 2},
        {records::Lookup::BudgetCategory, "BUDGET", [] { return frmAddBudget::instance().cmdEditCategory; }, 0},
        {records::Lookup::Event, "BUDGET", [] { return frmAddBudget::instance().cmdEditEvent; }, 1},
        {records::Lookup::Assignee, "BUDGET", [] { return frmAddBudget::instance().cmdEditAssignees; }, 2},
        {records::Lookup::VendorTypes, "VENDOR", [] { return frmVendor::instance().cmdAddCategory; }, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + records::lookupList(c.list).name);
        const Editor& e = editorOf(all, c.table);
        const QString entry = QString("Zz entry %1").arg(++n);
        ui::FormBase& f = e.open(Mode::Add, 0);
        const auto addEntry = [&](ui::FormBase& form) {
            auto& t = static_cast<frmAddType&>(form);
            EXPECT_EQ(t.curMode, c.list);
            EXPECT_EQ(t.fromForm, &f);
            type(t.txtItem, entry);
            click(t.cmdAdd);
            click(t.cmdClose);
        };
        // The attire, budget and vendor editors show the lookup editor modal, the others beside them.
        modal.modal->once("frmAddType", addEntry);
        type(e.boxes()[0], "Limousine");
        std::vector<QComboBox*> boxes;
        for (QWidget* b : e.boxes())
            if (combo(b))
                boxes.push_back(combo(b));
        for (size_t i = 0; i < boxes.size(); ++i)
            type(boxes[i], QString("typed %1").arg(i));
        click(c.button());
        if (frmAddType::instance().isLoaded())
            addEntry(frmAddType::instance());
        for (size_t i = 0; i < boxes.size(); ++i)
            EXPECT_EQ(boxes[i]->currentText(), QString("typed %1").arg(i)) << i;
        EXPECT_TRUE(items(boxes[c.edited]).contains(entry));
        EXPECT_EQ(editing::boxText(e.boxes()[0]), "Limousine");

        // Closed while the lookup editor is open, it is not called back.
        modal.modal->queued.clear();
        click(c.button());
        f.Unload();
        if (frmAddType::instance().isLoaded())
            click(frmAddType::instance().cmdClose);
        EXPECT_FALSE(f.isLoaded());
    }
    EXPECT_EQ(modal.modal->shown, QStringList(12, "frmAddType"));
    EXPECT_EQ(count("SELECT count(*) FROM BUDGET") + count("SELECT count(*) FROM ATTIRE"), 0);
}

}  // namespace

namespace {

class NameLists : public moneytest::MoneyTest {};

}  // namespace

TEST_F(NameLists, EveryoneIsOfferedAPageAtATimeAsTheListIsScrolled)
{
    // 700 people, their names numbered the other way round to their keys.
    db().Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 700) "
                 "INSERT INTO GUEST (GUEST_PARTYNAME) SELECT 'Party' FROM n WHERE i = 1");
    db().Execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 700) "
                 "INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) "
                 "SELECT (SELECT max(GUEST_ID) FROM GUEST), 'Zoë', printf('Name %03d', 701 - i) FROM n");
    struct Case {
        const char* editor;
        std::function<QComboBox*()> open;
        const char *first, *last;
    } cases[] = {
        {"gift, by name",
         [] { return moneytest::openEditor(&frmGift::giftMode, frmGift::Mode::Add, &frmGift::giftID, 0).Combo1[2]; },
         "Zoë Name 001", "Zoë Name 700"},
        {"measurement, as kept",
         [] { return moneytest::openEditor<frmMeasureFemale>(frmMeasureFemale::Mode::Add, &frmMeasureFemale::curRec, 0).Combo1; },
         "Zoë Name 700", "Zoë Name 001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.editor);
        QComboBox* box = c.open();
        ASSERT_TRUE(testsupport::showActive(box->window()));
        EXPECT_LT(box->count(), 700) << "the first page only";
        EXPECT_EQ(box->itemText(0), c.first);
        EXPECT_EQ(box->currentText(), "");
        // Opened, and scrolled to its end again and again.
        QTest::keyClick(box, Qt::Key_F4);
        ASSERT_TRUE(box->view()->isVisible());
        for (int i = 0; i < 10 && box->view()->currentIndex().row() < box->count() - 1; ++i) {
            QTest::keyClick(box->view(), Qt::Key_End);
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(box->count(), 700);
        EXPECT_EQ(box->itemText(699), c.last);
        QTest::keyClick(box->view(), Qt::Key_Return);
        EXPECT_EQ(box->currentText(), c.last) << "chosen from the last page";
        ui::FormBase::unloadAll();
    }
}
