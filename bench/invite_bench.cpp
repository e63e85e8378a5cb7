// The invitation editor on weddings of 10,000 and 100,000 people (parties of
// one to four, a third of them invited): opening it, and one person moved
// across and back by its buttons. Each against the raw SQLite step loop of
// the very statements it runs, recorded from it, and plain Qt trees of the
// same shape; the ratio of 100,000 to 10,000 shows whether the window grows
// with the guest list alone. And a party of as many people moved across and
// back (see "a party of many" below) against the same rows written plainly.

#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "guests/frmInvite.h"
#include "records/modSynchro.h"
#include "platform/ui/messages.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr qint64 kEvent = 1;
int seededPeople = 0;
// The wedding open on the shared connection: its size, negative for a party of that many.
int opened = 0;

// The guest list of `people` persons, in a database of its own for each size.
void seedPeople(int people)
{
    seededPeople = people;
    if (opened == people)
        return;
    opened = people;
    if (!openWeddingOfSize(people))
        return;
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Reception')", {kEvent});
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (2, 'Rehearsal Dinner')");
    static const char* const families[] = {"Álvarez", "Björklund", "Chen", "Dubois-Lefèvre", "O'Brien", "Schmidt"};
    qint64 person = 0;
    for (qint64 party = 1; person < people; ++party) {
        // Every fiftieth party shares its name with the one before, in another case every hundredth.
        const qint64 named = party % 50 == 0 ? party - 1 : party;
        QString name = QString("%1 family %2").arg(families[named % 6]).arg(named);
        if (party % 100 == 1)
            name = name.toUpper();
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, ?)", {party, name});
        for (int i = 0; i < 1 + party % 4 && person < people; ++i) {
            ++person;
            c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, ?, ?, ?)",
                      {person, party, QString("Margarethe %1").arg(person), families[named % 6]});
            if (person % 3 == 0)
                c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {kEvent, person});
        }
    }
    t.commit();
}

// Closed as the event loop closes it: its controls are gone afterwards.
void closeWindow(frmInvite& f)
{
    f.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmInvite& window()
{
    frmInvite& f = frmInvite::instance();
    f.curEvent = kEvent;
    return f;
}

void openProgram(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    for (auto _ : state) {
        f.Load();
        state.PauseTiming();
        closeWindow(f);
        state.ResumeTiming();
    }
    state.counters["people"] = double(seededPeople);
}

// Plain Qt trees of the shape of the window's two: the number of persons
// under each party.
struct Shape {
    QVector<int> uninvited, invited;
};

QVector<int> shapeOf(const tree::TreeView* t)
{
    QVector<int> out;
    const tree::Node* root = t->firstNode();
    for (int i = 0; root && i < root->childCount(); ++i)
        out << root->child(i)->childCount();
    return out;
}

class PlainTrees {
public:
    PlainTrees() { trees_[0].resize(300, 500), trees_[1].resize(300, 500); }
    void build(const Shape& shape)
    {
        int n = 0;
        for (int t = 0; t < 2; ++t) {
            trees_[t].clear();
            auto* root = new QTreeWidgetItem(QStringList(t ? "Invited" : "Uninvited"));
            for (int persons : t ? shape.invited : shape.uninvited) {
                auto* party = new QTreeWidgetItem(root, QStringList(QString("Party %1").arg(++n)));
                for (int p = 0; p < persons; ++p)
                    new QTreeWidgetItem(party, QStringList(QString("Person %1").arg(++n)));
            }
            trees_[t].addTopLevelItem(root);
            root->setExpanded(true);
            // The window reads a party's persons once it is opened: the
            // party a person is moved from holds at least that one.
            if (QTreeWidgetItem* middle = middleParty(t); middle && !middle->childCount())
                new QTreeWidgetItem(middle, QStringList(QString("Person %1").arg(++n)));
        }
    }
    // A person of the middle party moved to the other tree's middle party,
    // shown there, and back.
    void moveThereAndBack()
    {
        for (int from = 0; from < 2; ++from) {
            QTreeWidgetItem* a = middleParty(from);
            QTreeWidgetItem* b = middleParty(1 - from);
            if (!a || !b || !a->childCount())
                return;
            QTreeWidgetItem* person = a->takeChild(0);
            b->addChild(person);
            trees_[1 - from].scrollToItem(person);
        }
    }

private:
    QTreeWidgetItem* middleParty(int t)
    {
        QTreeWidgetItem* root = trees_[t].topLevelItem(0);
        return root && root->childCount() ? root->child(root->childCount() / 2) : nullptr;
    }
    QTreeWidget trees_[2];
};

void openBaseline(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    const QStringList sql = statementsOf([&] { f.Load(); });
    const Shape shape{shapeOf(f.treeUninvited), shapeOf(f.treeInvited)};
    closeWindow(f);
    PlainTrees plain;
    for (auto _ : state) {
        replay(sql);
        plain.build(shape);
    }
    state.counters["statements"] = double(sql.size());
}

// A person of a party of several who is not invited yet; invited and then
// removed again.
qint64 movedPerson()
{
    qint64 p = seededPeople / 2;
    while (p % 3 == 0)
        ++p;
    return p;
}

void moveThereAndBack(frmInvite& f)
{
    const QString key = "S" + QString::number(movedPerson());
    f.treeUninvited->setSelectedNode(f.treeUninvited->node(key));
    f.cmdInvite_Click();
    f.treeInvited->setSelectedNode(f.treeInvited->node(key));
    f.cmdRemove_Click();
}

void moveProgram(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    f.Load();
    for (auto _ : state)
        moveThereAndBack(f);
    closeWindow(f);
    state.counters["people"] = double(seededPeople);
}

void moveBaseline(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    f.Load();
    const QStringList sql = statementsOf([&] { moveThereAndBack(f); });
    const Shape shape{shapeOf(f.treeUninvited), shapeOf(f.treeInvited)};
    closeWindow(f);
    PlainTrees plain;
    plain.build(shape);
    for (auto _ : state) {
        replay(sql);
        plain.moveThereAndBack();
    }
    state.counters["statements"] = double(sql.size());
}

// ------------------------------------------------------------------ a party of many
//
// One party of 10,000 or 100,000 people (an import under one party name
// makes one), moved unopened to the invited side of the reception and
// back; one in five of them has a seat at its tables, which the move back
// takes away. Against the same rows written plainly on a raw connection,
// statements prepared once, one transaction: the party's people read, one
// invitation per person with its log and version rows (not the mark the
// program draws for each); and back, the invitations and seats found and
// deleted with their log rows.

constexpr qint64 kParty = 1;

void rawExec(const char* sql) { sqlite3_exec(plainConnection(), sql, nullptr, nullptr, nullptr); }

// The party's wedding as it was made: nobody invited, the seats in place,
// nothing logged, and the connection opened afresh so that its key
// counters start over too.
void resetParty()
{
    frmInvite::instance().Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    rawExec("BEGIN; DELETE FROM INVITE; DELETE FROM SEATING; INSERT INTO SEATING SELECT * FROM BENCH_SEATS; "
            "DELETE FROM SYNCHRO; DELETE FROM SYNCHRO_VERSION; DELETE FROM SYNCHRO_ORIGIN; DELETE FROM KEY_COUNTER; "
            "DELETE FROM sqlite_sequence WHERE name IN ('INVITE', 'SEATING'); COMMIT");
    ado::Connection& c = modQVDatabase::gConn;
    const QString file = c.path();
    c.Close();
    c.Open(file);
}

// The party's wedding, made plainly once for each size: the event, the
// party, its people, and the seats to put back before each run.
void seedParty(int people)
{
    seededPeople = people;
    if (opened == -people)
        return;
    opened = -people;
    if (!openWeddingOfSize(-people)) {
        plainConnection();
        return;
    }
    sqlite3* db = plainConnection();
    rawExec("BEGIN; INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Reception'); "
            "INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (1, 'Lindqvist-Okafor');"
            "CREATE TABLE BENCH_SEATS AS SELECT * FROM SEATING WHERE 0");
    sqlite3_stmt* person = nullptr;
    sqlite3_stmt* table = nullptr;
    sqlite3_stmt* seat = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, 1, ?, "
                           "'Lindqvist-Okafor')", -1, &person, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE) VALUES (?, 1, "
                           "'Table', 10, 5)", -1, &table, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO BENCH_SEATS (SEATING_ID, TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (?, ?, ?, ?)",
                       -1, &seat, nullptr);
    for (int p = 1; p <= people; ++p) {
        const QByteArray first = QString("Margarethe %1").arg(p).toUtf8();
        sqlite3_bind_int64(person, 1, p);
        sqlite3_bind_text(person, 2, first.constData(), int(first.size()), SQLITE_TRANSIENT);
        sqlite3_step(person);
        sqlite3_reset(person);
        if (p % 5)
            continue;
        const int seated = p / 5 - 1;
        if (seated % 10 == 0) {
            sqlite3_bind_int64(table, 1, seated / 10 + 1);
            sqlite3_step(table);
            sqlite3_reset(table);
        }
        for (const auto& [column, value] : {std::pair{1, seated + 1}, {2, seated / 10 + 1}, {3, p}, {4, seated % 10}})
            sqlite3_bind_int64(seat, column, value);
        sqlite3_step(seat);
        sqlite3_reset(seat);
    }
    for (sqlite3_stmt* st : {person, table, seat})
        sqlite3_finalize(st);
    rawExec("COMMIT");
    resetParty();
}

// The window opened afresh with the party chosen on one side, as a user
// finds it.
frmInvite& partyChosen(bool invited)
{
    frmInvite& f = window();
    if (!f.isLoaded())
        f.Load();
    tree::TreeView* t = invited ? f.treeInvited : f.treeUninvited;
    t->setSelectedNode(t->node("G" + QString::number(kParty)));
    return f;
}

void inviteProgram(benchmark::State& state)
{
    seedParty(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        resetParty();
        frmInvite& f = partyChosen(false);
        state.ResumeTiming();
        f.cmdInvite_Click();
    }
    if (modQVDatabase::gConn.scalar("SELECT count(*) FROM INVITE").toLongLong() != seededPeople)
        state.SkipWithError("the party was not invited");
    state.counters["people"] = double(seededPeople);
}

void uninviteProgram(benchmark::State& state)
{
    seedParty(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        resetParty();
        partyChosen(false).cmdInvite_Click();
        frmInvite& f = partyChosen(true);
        state.ResumeTiming();
        f.cmdRemove_Click();
    }
    if (modQVDatabase::gConn.scalar("SELECT count(*) FROM INVITE").toLongLong() +
            modQVDatabase::gConn.scalar("SELECT count(*) FROM SEATING").toLongLong() != 0)
        state.SkipWithError("the party was not moved back");
    state.counters["people"] = double(seededPeople);
}

// Prepared once on the raw connection; run and reset for each row.
class Prepared {
public:
    Prepared(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st_, nullptr); }
    ~Prepared() { sqlite3_finalize(st_); }
    Prepared& bind(int column, qint64 v) { return sqlite3_bind_int64(st_, column, v), *this; }
    Prepared& bind(int column, const QByteArray& v)
    {
        return sqlite3_bind_text(st_, column, v.constData(), int(v.size()), SQLITE_TRANSIENT), *this;
    }
    // Steps to the end, handing each row to `row`.
    void run(const std::function<void(sqlite3_stmt*)>& row = {})
    {
        while (sqlite3_step(st_) == SQLITE_ROW)
            if (row)
                row(st_);
        sqlite3_reset(st_);
    }

private:
    sqlite3_stmt* st_ = nullptr;
};

// What both plain moves do: one transaction over the party's people, each
// row they write or delete logged.
class PlainMove {
public:
    explicit PlainMove(sqlite3* db)
        : persons_(db, "SELECT SUBGUEST_ID FROM SUBGUEST WHERE GUEST_ID = ?"),
          log_(db, "INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) VALUES (?, "
                   "?, ?, ?)")
    {
    }
    void forEachPerson(const std::function<void(qint64)>& person)
    {
        rawExec("BEGIN");
        persons_.bind(1, kParty).run([&](sqlite3_stmt* r) { person(sqlite3_column_int64(r, 0)); });
        rawExec("COMMIT");
    }
    void log(const QByteArray& table, qint64 key, int action)
    {
        log_.bind(1, table).bind(2, key).bind(3, at).bind(4, action).run();
    }
    const QByteArray at = modSynchro::versionOf(QDateTime::currentDateTimeUtc()).toUtf8();

private:
    Prepared persons_, log_;
};

void inviteBaseline(benchmark::State& state)
{
    seedParty(int(state.range(0)));
    sqlite3* db = plainConnection();
    const qint64 firstKey = ado::Connection::firstKeyOf(modQVDatabase::gConn.copyNumber());
    for (auto _ : state) {
        state.PauseTiming();
        resetParty();
        state.ResumeTiming();
        PlainMove move(db);
        Prepared invite(db, "INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID) VALUES (?, ?, ?)");
        Prepared version(db, "INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED) VALUES "
                             "('INVITE', ?, ?)");
        qint64 key = firstKey;
        move.forEachPerson([&](qint64 person) {
            invite.bind(1, key).bind(2, kEvent).bind(3, person).run();
            move.log("INVITE", key, 1);
            version.bind(1, key).bind(2, move.at).run();
            ++key;
        });
    }
    if (modQVDatabase::gConn.scalar("SELECT count(*) FROM INVITE").toLongLong() != seededPeople)
        state.SkipWithError("the party was not invited");
    state.counters["people"] = double(seededPeople);
}

void uninviteBaseline(benchmark::State& state)
{
    seedParty(int(state.range(0)));
    sqlite3* db = plainConnection();
    for (auto _ : state) {
        state.PauseTiming();
        resetParty();
        rawExec("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) SELECT 1, SUBGUEST_ID FROM SUBGUEST");
        state.ResumeTiming();
        PlainMove move(db);
        Prepared invites(db, "SELECT INVITE_ID FROM INVITE WHERE EVENT_ID = ? AND SUBGUEST_ID = ?");
        Prepared seats(db, "SELECT s.SEATING_ID FROM SEATING s INNER JOIN TABLES t ON t.TABLE_ID = s.TABLE_ID WHERE "
                           "s.SUBGUEST_ID = ? AND t.EVENT_ID = ?");
        Prepared dropInvite(db, "DELETE FROM INVITE WHERE INVITE_ID = ?");
        Prepared dropSeat(db, "DELETE FROM SEATING WHERE SEATING_ID = ?");
        move.forEachPerson([&](qint64 person) {
            invites.bind(1, kEvent).bind(2, person).run([&](sqlite3_stmt* i) {
                move.log("INVITE", sqlite3_column_int64(i, 0), 3);
                dropInvite.bind(1, sqlite3_column_int64(i, 0)).run();
            });
            seats.bind(1, person).bind(2, kEvent).run([&](sqlite3_stmt* s) {
                move.log("SEATING", sqlite3_column_int64(s, 0), 3);
                dropSeat.bind(1, sqlite3_column_int64(s, 0)).run();
            });
        });
    }
    state.counters["people"] = double(seededPeople);
}

// Times on a shared machine vary, and other work only ever adds to them:
// each size runs several times, the runs of both sizes shuffled together so
// that a busy spell slows both alike, and the best run of each counts.
void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
    b->ComputeStatistics("best", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

BENCHMARK(openProgram)->Name("invite open/program")->Apply(sizes);
BENCHMARK(openBaseline)->Name("invite open/baseline")->Apply(sizes);
BENCHMARK(moveProgram)->Name("invite move/program")->Apply(sizes);
BENCHMARK(moveBaseline)->Name("invite move/baseline")->Apply(sizes);
BENCHMARK(inviteProgram)->Name("invite party/program")->Apply(sizes);
BENCHMARK(inviteBaseline)->Name("invite party/baseline")->Apply(sizes);
BENCHMARK(uninviteProgram)->Name("uninvite party/program")->Apply(sizes);
BENCHMARK(uninviteBaseline)->Name("uninvite party/baseline")->Apply(sizes);

}  // namespace

int main(int argc, char** argv)
{
    // A message would wait for an answer nobody gives; it is printed instead.
    auto messages = std::make_unique<ui::ScriptedMessages>();
    ui::ScriptedMessages* shown = messages.get();
    ui::setMessageService(std::move(messages));
    // The runs shuffled (see sizes); a flag given on the command line wins.
    std::vector<char*> args(argv, argv + argc);
    char shuffled[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, shuffled);
    int count = int(args.size());
    args.push_back(nullptr);
    return runOnFreshDatabase(count, args.data(), [] {}, [shown] {
        frmInvite::instance().Unload();
        for (const QString& m : shown->texts())
            fprintf(stderr, "message: %s\n", qPrintable(m));
    });
}
