// Every view of the main grid on a large wedding, 10,000 rows in each, from
// the view call to the grid's first paint, against the raw step loop of the
// view's SELECT. The card views (Addresses, Quotes) are also measured against
// a table view of the same rows: bound and painted, and resized.

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "bench/benchmain.h"
#include "platform/grid/gridex.h"
#include "views/viewdefs.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDateTime>
#include <QPixmap>

#include <functional>

namespace {

constexpr int kRows = 10000;

QString name(const char* first, int i) { return QString("%1 %2 Ångström-Lefèvre").arg(first).arg(i); }

void seedLargeWedding()
{
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    const QStringList events = {"Ceremony", "Reception", "Rehearsal Dinner", "Shower", "Bachelor Party",
                                "Bachelorette Party", "Honeymoon"};
    for (int i = 1; i <= kRows; ++i) {
        const QString n = QString::number(i);
        const QString ev = events[i % events.size()];
        c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE) VALUES (?, ?, '2027-08-14 15:00:00')",
                  {i, i <= events.size() ? events[i - 1] : "Event " + n});
        c.Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_ASSIGN, TASK_PRIORITY, TASK_EVENT, TASK_COMPLETE) "
                  "VALUES (?, ?, 'Bride', 'High', ?, ?)",
                  {"Call the florist about table " + n, QString("2027-%1-%2 00:00:00").arg(1 + i % 12, 2, 10, QChar('0'))
                                                            .arg(1 + i % 28, 2, 10, QChar('0')),
                   ev, i % 3 == 0});
        // Parties of one to four people: 10,000 parties, 10,000 people in the first 4,000.
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_CITY, GUEST_STATE, GUEST_ZIP, "
                  "GUEST_PHONE1, GUEST_CATEGORY) VALUES (?, ?, ?, 'Springfield', 'IL', '62701', '555-0100', ?)",
                  {i, name("The Family", i), n + " Orchard Lane, Apartment 12", i % 2 ? "Family" : "Friend"});
        const int party = (i - 1) / 5 * 2 + ((i - 1) % 5 < 2 ? 1 : 2);  // 2 and 3 people in turn
        c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) "
                  "VALUES (?, ?, ?, ?, 'Mr.')",
                  {i, party, "First" + n, "Last" + QString::number(party)});
        c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT) VALUES (?, ?, 'Attending')",
                  {1 + i % events.size(), i});
        c.Execute("INSERT INTO VENDOR (VENDOR_NAME, VENDOR_CONTACT, VENDOR_PHONE1, VENDOR_TYPE) VALUES (?, 'Ann', "
                  "'555-0101', 'Florist')",
                  {name("Blooms", i)});
        c.Execute("INSERT INTO QUOTE (QUOTE_PRODUCT, QUOTE_VENDOR, QUOTE_EVENT, QUOTE_AMOUNT, QUOTE_DETAILS) "
                  "VALUES (?, ?, ?, '1200', 'Twelve centrepieces of white roses and eucalyptus, delivered')",
                  {"Centrepieces " + n, name("Blooms", i), ev});
        c.Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_VENDOR, EXPENSE_EVENT, EXPENSE_AMTPAID, EXPENSE_AMTDUE, "
                  "EXPENSE_WHOPAYS) VALUES (?, ?, ?, ?, ?, 'Bride')",
                  {"Deposit " + n, name("Blooms", i), ev, 100.25 + i, 50.5});
        c.Execute("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT, BUDGET_WHOPAYS) "
                  "VALUES (?, 'Flowers', ?, ?, 'Groom')",
                  {"Flowers " + n, ev, 250.0 + i});
        c.Execute("INSERT INTO ATTIRE (ATTIRE_ASSIGNEE, ATTIRE_ITEM, ATTIRE_TYPE, ATTIRE_VENDOR, ATTIRE_COST) "
                  "VALUES ('Bride', ?, 'Dress', ?, ?)",
                  {"Veil " + n, name("Bridal", i), 99.5});
        c.Execute("INSERT INTO GIFT (GIFT_NAME, GIFT_STORE, GIFT_VALUE, GIFT_WHOFROM) VALUES (?, 'Macy''s', ?, ?)",
                  {"Toaster " + n, 45.0, name("The Family", i)});
        c.Execute("INSERT INTO REGISTRY (REGISTRY_TEXT, REGISTRY_CATEGORY, REGISTRY_STORE, REGISTRY_MODEL, "
                  "REGISTRY_COST) VALUES (?, 'Kitchen', 'Macy''s', 'KX-200', 80)",
                  {"Blender " + n});
        c.Execute("INSERT INTO MEASURE_FEMALE (MEASURE_FEMALE_NAME, MEASURE_FEMALE_HEIGHT, MEASURE_FEMALE_WAIST) "
                  "VALUES (?, '5 ft 6', '28')",
                  {name("Bridesmaid", i)});
        c.Execute("INSERT INTO MEASURE_MALE (MEASURE_MALE_NAME, MEASURE_MALE_HEIGHT, MEASURE_MALE_WAIST) "
                  "VALUES (?, '6 ft', '34')",
                  {name("Groomsman", i)});
    }
    t.commit();
}

// Paints the widget whole into one kept pixmap, as a window paints into its
// kept backing store: a new pixmap for each paint would measure the memory
// system's handing out and clearing of 4 MB rather than the painting.
void paint(QWidget* w)
{
    static QPixmap canvas;
    if (canvas.size() != w->size())
        canvas = QPixmap(w->size());
    canvas.fill(w->palette().color(QPalette::Window));
    w->render(&canvas);
    benchmark::DoNotOptimize(canvas);
}

struct View {
    const char* operation;
    const char* key;
    std::function<void(frmMain&)> show;
};

const std::vector<View>& allViews()
{
    static const std::vector<View> v = {
        {"Tasks view", "AllTasks", [](frmMain& f) { f.ShowTasks("All", QDateTime::currentDateTimeUtc()); }},
        {"Events view", "Events", [](frmMain& f) { f.ShowEvents(); }},
        {"RSVP view", "RSVP", [](frmMain& f) { f.ShowRSVP(); }},
        {"Guests view", "Guests", [](frmMain& f) { f.ShowPeople(); }},
        {"Addresses view", "Addresses", [](frmMain& f) { f.ShowAddresses(); }},
        {"Vendors view", "Vendors", [](frmMain& f) { f.ShowVendors(); }},
        {"Quotes view", "Quotes", [](frmMain& f) { f.ShowQuotes(); }},
        {"Expenses view", "Expenses", [](frmMain& f) { f.ShowExpenses(); }},
        {"Budget view", "Budget", [](frmMain& f) { f.ShowBudget(); }},
        {"Attire view", "Attire", [](frmMain& f) { f.ShowAttire(); }},
        {"Gifts view", "Gifts", [](frmMain& f) { f.ShowGifts(); }},
        {"Registry view", "Registry", [](frmMain& f) { f.ShowRegistry(); }},
        {"Female measurements view", "FemaleMeasurement", [](frmMain& f) { f.ShowMeasurementsFemale(); }},
        {"Male measurements view", "MaleMeasurement", [](frmMain& f) { f.ShowMeasurementsMale(); }},
    };
    return v;
}

void viewProgram(benchmark::State& state, const View& v)
{
    frmMain& f = mainWithDataPanel();
    for (auto _ : state) {
        v.show(f);
        paint(f.GridEX1);
    }
    state.counters["rows"] = f.GridEX1->recordset() ? f.GridEX1->recordset()->RecordCount() : 0;
}

// Prepare, step through every row reading every column by its type (a text
// as text, a number as a number, as the program reads them), finalize.
void readRow(sqlite3_stmt* st, int n)
{
    for (int c = 0; c < n; ++c) {
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER:
            benchmark::DoNotOptimize(sqlite3_column_int64(st, c));
            break;
        case SQLITE_FLOAT:
            benchmark::DoNotOptimize(sqlite3_column_double(st, c));
            break;
        case SQLITE_TEXT:
            benchmark::DoNotOptimize(sqlite3_column_text(st, c));
            benchmark::DoNotOptimize(sqlite3_column_bytes(st, c));
            break;
        case SQLITE_BLOB:
            benchmark::DoNotOptimize(sqlite3_column_blob(st, c));
            benchmark::DoNotOptimize(sqlite3_column_bytes(st, c));
            break;
        default:
            break;
        }
    }
}

// The view's SELECT and the SELECTs of its drop-down lists, which the view
// reads whole too (the vendor and event lists hold 10,000 rows here).
void viewBaseline(benchmark::State& state, const View& v)
{
    const views::ViewDef& def = *views::viewDef(v.key);
    QList<QByteArray> sqls;
    for (const views::LookupDef& l : def.lookups)
        sqls << l.sql.toUtf8();
    sqls << def.sql.toUtf8();
    sqlite3* db = modQVDatabase::gConn.handle();
    int rows = 0;
    for (auto _ : state) {
        for (const QByteArray& sql : sqls) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
                state.SkipWithError(sqlite3_errmsg(db));
                return;
            }
            rows = 0;
            const int n = sqlite3_column_count(st);
            while (sqlite3_step(st) == SQLITE_ROW) {
                readRow(st, n);
                ++rows;
            }
            sqlite3_finalize(st);
        }
    }
    state.counters["rows"] = rows;
}

// A card view against the same rows in a table view: bound and painted, then
// one step of resizing the window, both on grids of the main window's size.
struct CardCase {
    const char* view;
    const char* key;
};

ado::RecordsetPtr openView(const char* key)
{
    auto rs = std::make_shared<ado::Recordset>();
    rs->Open(views::viewDef(key)->sql, modQVDatabase::gConn);
    return rs;
}

grid::GridEX& gridOf(grid::Layout layout)
{
    static grid::GridEX* cards = nullptr;
    static grid::GridEX* rows = nullptr;
    grid::GridEX*& g = layout == grid::Layout::Cards ? cards : rows;
    if (!g) {
        g = new grid::GridEX;
        g->resize(mainWithDataPanel().GridEX1->size());
        g->setAttribute(Qt::WA_DontShowOnScreen);
        g->show();
    }
    return *g;
}

// The view's rows bound in that layout, the key hidden, the party or item as a card's title.
void bindView(grid::GridEX& g, const CardCase& c, grid::Layout layout)
{
    g.bind(openView(c.key));
    g.setGridLayout(layout);
    g.setColumnHidden(1);
    g.setColumnCardCaption(2);
}

void bindAndPaint(benchmark::State& state, const CardCase& c, grid::Layout layout)
{
    grid::GridEX& g = gridOf(layout);
    for (auto _ : state) {
        bindView(g, c, layout);
        paint(&g);
    }
    state.counters["rows"] = g.recordset()->RecordCount();
}

void resizeStep(benchmark::State& state, const CardCase& c, grid::Layout layout)
{
    grid::GridEX& g = gridOf(layout);
    bindView(g, c, layout);
    const QSize size = g.size();
    int step = 0;
    for (auto _ : state) {
        g.resize(size.width() - 40 * (++step % 8), size.height());
        paint(&g);
    }
}

void registerAll()
{
    for (const View& v : allViews()) {
        benchmark::RegisterBenchmark((std::string(v.operation) + "/program").c_str(), viewProgram, v)
            ->Arg(kRows)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(v.operation) + "/baseline").c_str(), viewBaseline, v)
            ->Arg(kRows)->Unit(benchmark::kMillisecond);
    }
    for (const CardCase c : {CardCase{"Addresses", "Addresses"}, CardCase{"Quotes", "Quotes"}}) {
        const std::string cards = std::string(c.view) + " cards";
        benchmark::RegisterBenchmark((cards + "/program").c_str(), bindAndPaint, c, grid::Layout::Cards)
            ->Arg(kRows)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((cards + "/baseline").c_str(), bindAndPaint, c, grid::Layout::Rows)
            ->Arg(kRows)->Unit(benchmark::kMillisecond);
        const std::string resize = std::string(c.view) + " cards resize";
        benchmark::RegisterBenchmark((resize + "/program").c_str(), resizeStep, c, grid::Layout::Cards)
            ->Arg(kRows)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((resize + "/baseline").c_str(), resizeStep, c, grid::Layout::Rows)
            ->Arg(kRows)->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return runOnFreshDatabase(argc, argv, [] {
        seedLargeWedding();
        registerAll();
    });
}
