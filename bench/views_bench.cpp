// Every view of the main grid on weddings of 10,000 and 100,000 people, from
// the view call to the grid's first paint after the event loop has run,
// against the raw step loop of the view's SELECT and of its drop-down lists'
// SELECTs. A wedding has its few events; each of its other lists (tasks,
// vendors, quotes, expenses, budget, attire, gifts, registry, measurements)
// holds as many rows as it has people, and everyone is invited to the
// ceremony and the reception. The card views (Addresses, Quotes) are also
// measured against a table view of the same rows: bound and painted, and
// resized.

#include "app/frmMain.h"
#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "platform/grid/gridex.h"
#include "views/viewdefs.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QTableView>
#include <QDateTime>
#include <QPixmap>

#include <functional>

namespace {

int seededPeople = 0;

QString name(const char* first, int i) { return QString("%1 %2 Ångström-Lefèvre").arg(first).arg(i); }

// A statement of the seeding connection, its values bound by position.
class Insert {
public:
    Insert(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st_, nullptr); }
    ~Insert() { sqlite3_finalize(st_); }
    void operator()(const QVariantList& values)
    {
        for (int i = 0; i < values.size(); ++i) {
            const QVariant& v = values[i];
            if (v.typeId() == QMetaType::Double) {
                sqlite3_bind_double(st_, i + 1, v.toDouble());
            } else if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(st_, i + 1, v.toLongLong());
            } else {
                const QByteArray b = v.toString().toUtf8();
                sqlite3_bind_text(st_, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            }
        }
        sqlite3_step(st_);
        sqlite3_reset(st_);
    }

private:
    sqlite3_stmt* st_ = nullptr;
};

// The wedding of `people`, written on a connection of its own (the program's
// stays open), made anew when the size changes.
void seedWedding(int people)
{
    if (seededPeople == people)
        return;
    sqlite3* db = nullptr;
    sqlite3_open_v2(modQVDatabase::gConn.path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto exec = [db](const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); };
    exec("BEGIN");
    for (const char* table : {"EVENT", "TASKS", "GUEST", "SUBGUEST", "INVITE", "VENDOR", "QUOTE", "EXPENSES", "BUDGET",
                              "ATTIRE", "GIFT", "REGISTRY", "MEASURE_FEMALE", "MEASURE_MALE"})
        exec(QString("DELETE FROM %1").arg(table).toUtf8().constData());
    const QStringList events = {"Ceremony", "Reception", "Rehearsal Dinner", "Shower", "Bachelor Party",
                                "Bachelorette Party", "Honeymoon"};
    {
        Insert event(db, "INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE) VALUES (?, ?, ?)");
        for (int e = 0; e < events.size(); ++e)
            event({e + 1, events[e], QString("2027-08-%1 15:00:00").arg(8 + e, 2, 10, QChar('0'))});
        Insert task(db, "INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE, TASK_ASSIGN, TASK_PRIORITY, TASK_EVENT, "
                        "TASK_COMPLETE) VALUES (?, ?, ?, 'Bride', 'High', ?, ?)");
        Insert guest(db, "INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_CITY, GUEST_STATE, "
                         "GUEST_ZIP, GUEST_PHONE1, GUEST_CATEGORY) VALUES (?, ?, ?, 'Springfield', 'IL', '62701', "
                         "'555-0100', ?)");
        Insert person(db, "INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) "
                          "VALUES (?, ?, ?, ?, 'Mr.')");
        Insert invite(db, "INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT) VALUES (?, ?, 'Attending')");
        Insert vendor(db, "INSERT INTO VENDOR (VENDOR_ID, VENDOR_NAME, VENDOR_CONTACT, VENDOR_PHONE1, VENDOR_TYPE) "
                          "VALUES (?, ?, 'Ann', '555-0101', 'Florist')");
        Insert quote(db, "INSERT INTO QUOTE (QUOTE_ID, QUOTE_PRODUCT, QUOTE_VENDOR, QUOTE_EVENT, QUOTE_AMOUNT, "
                         "QUOTE_DETAILS) VALUES (?, ?, ?, ?, '1200', 'Twelve centrepieces of white roses and "
                         "eucalyptus, delivered')");
        Insert expense(db, "INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_VENDOR, EXPENSE_EVENT, "
                           "EXPENSE_AMTPAID, EXPENSE_AMTDUE, EXPENSE_WHOPAYS) VALUES (?, ?, ?, ?, ?, 50.5, 'Bride')");
        Insert budget(db, "INSERT INTO BUDGET (BUDGET_ID, BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT, "
                          "BUDGET_WHOPAYS) VALUES (?, ?, 'Flowers', ?, ?, 'Groom')");
        Insert attire(db, "INSERT INTO ATTIRE (ATTIRE_ID, ATTIRE_ASSIGNEE, ATTIRE_ITEM, ATTIRE_TYPE, ATTIRE_VENDOR, "
                          "ATTIRE_COST) VALUES (?, 'Bride', ?, 'Dress', ?, 99.5)");
        Insert gift(db, "INSERT INTO GIFT (GIFT_ID, GIFT_NAME, GIFT_STORE, GIFT_VALUE, GIFT_WHOFROM) "
                        "VALUES (?, ?, 'Macy''s', 45, ?)");
        Insert registry(db, "INSERT INTO REGISTRY (REGISTRY_ID, REGISTRY_TEXT, REGISTRY_CATEGORY, REGISTRY_STORE, "
                            "REGISTRY_MODEL, REGISTRY_COST) VALUES (?, ?, 'Kitchen', 'Macy''s', 'KX-200', 80)");
        Insert female(db, "INSERT INTO MEASURE_FEMALE (MEASURE_FEMALE_ID, MEASURE_FEMALE_NAME, MEASURE_FEMALE_HEIGHT, "
                          "MEASURE_FEMALE_WAIST) VALUES (?, ?, '5 ft 6', '28')");
        Insert male(db, "INSERT INTO MEASURE_MALE (MEASURE_MALE_ID, MEASURE_MALE_NAME, MEASURE_MALE_HEIGHT, "
                        "MEASURE_MALE_WAIST) VALUES (?, ?, '6 ft', '34')");
        int party = 0, left = 0;
        for (int i = 1; i <= people; ++i) {
            const QString n = QString::number(i);
            const QString ev = events[i % events.size()];
            task({i, "Call the florist about table " + n,
                  QString("2027-%1-%2 00:00:00").arg(1 + i % 12, 2, 10, QChar('0')).arg(1 + i % 28, 2, 10, QChar('0')),
                  ev, i % 3 == 0 ? 1 : 0});
            // Parties of one to four people.
            if (left == 0) {
                ++party;
                left = 1 + party % 4;
                guest({party, name("The Family", party), QString::number(party) + " Orchard Lane, Apartment 12",
                       party % 2 ? "Family" : "Friend"});
            }
            --left;
            person({i, party, "First" + n, "Last" + QString::number(party)});
            invite({1, i});
            invite({2, i});
            vendor({i, name("Blooms", i)});
            quote({i, "Centrepieces " + n, name("Blooms", i), ev});
            expense({i, "Deposit " + n, name("Blooms", i), ev, 100.25 + i});
            budget({i, "Flowers " + n, ev, 250.0 + i});
            attire({i, "Veil " + n, name("Bridal", i)});
            gift({i, "Toaster " + n, name("The Family", party)});
            registry({i, "Blender " + n});
            female({i, name("Bridesmaid", i)});
            male({i, name("Groomsman", i)});
        }
    }
    exec("COMMIT");
    sqlite3_close(db);
    seededPeople = people;
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

// The event loop's turn after a change: deferred layouts run and a window
// on screen paints what changed; one kept off the screen is painted whole.
void firstPaint(QWidget* w)
{
    settle();
    if (!w->isVisible() || w->window()->testAttribute(Qt::WA_DontShowOnScreen))
        paint(w);
}

struct View {
    const char* operation;
    views::DataMode key;
    std::function<void(frmMain&)> show;
};

const std::vector<View>& allViews()
{
    static const std::vector<View> v = {
        {"Tasks view", views::DataMode::AllTasks,
         [](frmMain& f) { f.ShowTasks(views::TaskFilter::All, QDateTime::currentDateTimeUtc()); }},
        {"Events view", views::DataMode::Events, [](frmMain& f) { f.ShowEvents(); }},
        {"RSVP view", views::DataMode::RSVP, [](frmMain& f) { f.ShowRSVP(); }},
        {"Guests view", views::DataMode::Guests, [](frmMain& f) { f.ShowPeople(); }},
        {"Addresses view", views::DataMode::Addresses, [](frmMain& f) { f.ShowAddresses(); }},
        {"Vendors view", views::DataMode::Vendors, [](frmMain& f) { f.ShowVendors(); }},
        {"Quotes view", views::DataMode::Quotes, [](frmMain& f) { f.ShowQuotes(); }},
        {"Expenses view", views::DataMode::Expenses, [](frmMain& f) { f.ShowExpenses(); }},
        {"Budget view", views::DataMode::Budget, [](frmMain& f) { f.ShowBudget(); }},
        {"Attire view", views::DataMode::Attire, [](frmMain& f) { f.ShowAttire(); }},
        {"Gifts view", views::DataMode::Gifts, [](frmMain& f) { f.ShowGifts(); }},
        {"Registry view", views::DataMode::Registry, [](frmMain& f) { f.ShowRegistry(); }},
        {"Female measurements view", views::DataMode::FemaleMeasurement, [](frmMain& f) { f.ShowMeasurementsFemale(); }},
        {"Male measurements view", views::DataMode::MaleMeasurement, [](frmMain& f) { f.ShowMeasurementsMale(); }},
    };
    return v;
}

void viewProgram(benchmark::State& state, const View& v)
{
    seedWedding(int(state.range(0)));
    frmMain& f = mainWithDataPanel();
    for (auto _ : state) {
        v.show(f);
        firstPaint(f.GridEX1);
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

// The rows a screen shows, as plain texts behind a plain Qt table.
class ScreenModel : public QAbstractTableModel {
public:
    void setRows(QVector<QStringList> rows, int columns)
    {
        beginResetModel();
        rows_ = std::move(rows);
        columns_ = columns;
        endResetModel();
    }
    int rowCount(const QModelIndex& = {}) const override { return int(rows_.size()); }
    int columnCount(const QModelIndex& = {}) const override { return columns_; }
    QVariant data(const QModelIndex& i, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(rows_[i.row()].value(i.column())) : QVariant();
    }

private:
    QVector<QStringList> rows_;
    int columns_ = 0;
};

QTableView& plainTable()
{
    static QTableView* t = nullptr;
    if (!t) {
        t = new QTableView;
        t->setModel(new ScreenModel);
        t->resize(mainWithDataPanel().GridEX1->size());
        t->show();
    }
    return *t;
}

// The view's SELECT and the SELECTs of its drop-down lists, which the view
// reads whole too (the vendor list holds a row a person here), then the
// rows a screen holds painted in a plain Qt table.
void viewBaseline(benchmark::State& state, const View& v)
{
    seedWedding(int(state.range(0)));
    const views::ViewDef& def = *views::viewDef(v.key);
    QList<QByteArray> sqls;
    for (const views::LookupDef& l : def.lookups)
        sqls << l.sql.toUtf8();
    sqls << def.sql.toUtf8();
    sqlite3* db = modQVDatabase::gConn.handle();
    QTableView& table = plainTable();
    const int onScreen = table.height() / std::max(1, table.verticalHeader()->defaultSectionSize()) + 1;
    int rows = 0;
    for (auto _ : state) {
        QVector<QStringList> screen;
        int columns = 0;
        for (const QByteArray& sql : sqls) {
            sqlite3_stmt* st = nullptr;
            if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK) {
                state.SkipWithError(sqlite3_errmsg(db));
                return;
            }
            rows = 0;
            columns = sqlite3_column_count(st);
            const bool shown = sql == sqls.back();
            while (sqlite3_step(st) == SQLITE_ROW) {
                readRow(st, columns);
                if (shown && rows < onScreen) {
                    QStringList texts;
                    for (int c = 0; c < columns; ++c)
                        texts << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
                    screen << texts;
                }
                ++rows;
            }
            sqlite3_finalize(st);
        }
        static_cast<ScreenModel*>(table.model())->setRows(std::move(screen), columns);
        firstPaint(&table);
    }
    state.counters["rows"] = rows;
}

// A card view against the same rows in a table view: bound and painted, then
// one step of resizing the window, both on grids of the main window's size.
struct CardCase {
    const char* view;
    views::DataMode key;
};

ado::RecordsetPtr openView(views::DataMode key)
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
    seedWedding(int(state.range(0)));
    grid::GridEX& g = gridOf(layout);
    for (auto _ : state) {
        bindView(g, c, layout);
        firstPaint(&g);
    }
    state.counters["rows"] = g.recordset()->RecordCount();
}

void resizeStep(benchmark::State& state, const CardCase& c, grid::Layout layout)
{
    seedWedding(int(state.range(0)));
    grid::GridEX& g = gridOf(layout);
    bindView(g, c, layout);
    settle();
    const QSize size = g.size();
    int step = 0;
    for (auto _ : state) {
        g.resize(size.width() - 40 * (++step % 8), size.height());
        firstPaint(&g);
    }
}

void registerAll()
{
    // By size, so that each wedding is made once.
    for (const int people : {10000, 100000}) {
        const auto add = [people](const std::string& name, auto run, auto... args) {
            // The best of three runs counts: other work on the machine only ever adds time.
            benchmark::RegisterBenchmark(name.c_str(), run, args...)
                ->Arg(people)
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(3);
        };
        for (const View& v : allViews()) {
            add(std::string(v.operation) + "/program", viewProgram, v);
            add(std::string(v.operation) + "/baseline", viewBaseline, v);
        }
        for (const CardCase c : {CardCase{"Addresses", views::DataMode::Addresses}, CardCase{"Quotes", views::DataMode::Quotes}}) {
            const std::string cards = std::string(c.view) + " cards";
            add(cards + "/program", bindAndPaint, c, grid::Layout::Cards);
            add(cards + "/baseline", bindAndPaint, c, grid::Layout::Rows);
            const std::string resize = std::string(c.view) + " cards resize";
            add(resize + "/program", resizeStep, c, grid::Layout::Cards);
            add(resize + "/baseline", resizeStep, c, grid::Layout::Rows);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return runOnFreshDatabase(argc, argv, registerAll);
}
