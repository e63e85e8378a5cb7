// The seating designer's trees on a large reception: 2,000 invited people in
// 800 parties, 1,600 of them seated at 200 tables. Rebuilding both trees
// (frmSeating.GetInvitees) against reading the same rows with plain SQLite.

#include "app/modQVDatabase.h"
#include "bench/benchmain.h"
#include "seating/frmSeating.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kEvent = 1, kParties = 800, kPeople = 2000, kTables = 200, kPerTable = 8;

void seedReception()
{
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Reception')", {kEvent});
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (2, 'Shower')");
    for (int p = 1; p <= kParties; ++p)
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, ?)",
                  {p, QString("Party %1").arg((p * 7919) % kParties, 4, 10, QChar('0'))});
    for (int s = 1; s <= kPeople; ++s) {
        c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, ?, ?, ?)",
                  {s, (s - 1) % kParties + 1, QString("First%1").arg(s), QString("Last%1").arg(s % 97)});
        c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {kEvent, s});
        if (s % 3 == 0)
            c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (2, ?)", {s});
    }
    for (int tb = 1; tb <= kTables; ++tb) {
        c.Execute("INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE) VALUES (?, ?, ?, 8, 5)",
                  {tb, kEvent, QString("Table %1").arg(tb)});
        for (int i = 0; i < kPerTable; ++i)
            c.Execute("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (?, ?, ?)",
                      {tb, (tb - 1) * kPerTable + i + 1, i});
    }
    t.commit();
}

void BM_GetInvitees(benchmark::State& state)
{
    frmSeating& f = frmSeating::instance();
    f.curEvent = kEvent;
    if (!f.isLoaded())
        f.Load();
    for (auto _ : state)
        f.GetInvitees();
    int people = 0;
    for (tree::TreeView* t : {f.treeInvited, f.treeTables})
        for (int i = 0; i < t->firstNode()->childCount(); ++i)
            people += t->firstNode()->child(i)->childCount();
    state.counters["people"] = people;
}
BENCHMARK(BM_GetInvitees)->Name("seating trees/program")->Arg(kPeople)->Unit(benchmark::kMillisecond);

// The three queries of the trees, every column of every row read.
void BM_RawQueriesOfTheSameRows(benchmark::State& state)
{
    const QString e = QString::number(kEvent);
    const QStringList sql = {
        "SELECT DISTINCT GUEST.GUEST_PARTYNAME, GUEST.GUEST_ID, SUBGUEST.SUBGUEST_ID, SUBGUEST.SUBGUEST_FNAME, "
        "SUBGUEST.SUBGUEST_LNAME, EVENT.EVENT_ID FROM GUEST INNER JOIN (SUBGUEST INNER JOIN (EVENT INNER JOIN INVITE "
        "ON EVENT.EVENT_ID = INVITE.EVENT_ID) ON SUBGUEST.SUBGUEST_ID = INVITE.SUBGUEST_ID) ON GUEST.GUEST_ID = "
        "SUBGUEST.GUEST_ID WHERE (EVENT.EVENT_ID =" + e + ") ORDER BY GUEST.GUEST_PARTYNAME",
        "SELECT SUBGUEST.SUBGUEST_ID, SUBGUEST.SUBGUEST_FNAME, SUBGUEST.SUBGUEST_LNAME, TABLES.TABLE_ID, "
        "SEATING.SEATING_POS, EVENT.EVENT_ID FROM (GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID) "
        "INNER JOIN ((EVENT INNER JOIN TABLES ON EVENT.EVENT_ID = TABLES.EVENT_ID) INNER JOIN SEATING ON "
        "TABLES.TABLE_ID = SEATING.TABLE_ID) ON SUBGUEST.SUBGUEST_ID = SEATING.SUBGUEST_ID WHERE (EVENT.EVENT_ID ="
            + e + ") ORDER BY TABLES.TABLE_ID",
        "SELECT TABLE_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE, EVENT_ID FROM TABLES WHERE EVENT_ID = " + e,
    };
    sqlite3* db = modQVDatabase::gConn.handle();
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const QString& q : sql) {
            sqlite3_stmt* st = nullptr;
            const QByteArray text = q.toUtf8();
            sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr);
            while (sqlite3_step(st) == SQLITE_ROW) {
                for (int c = 0; c < sqlite3_column_count(st); ++c)
                    benchmark::DoNotOptimize(sqlite3_column_text(st, c));
                ++rows;
            }
            sqlite3_finalize(st);
        }
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_RawQueriesOfTheSameRows)->Name("seating trees/baseline")->Arg(kPeople)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOnFreshDatabase(argc, argv, seedReception, [] { frmSeating::instance().Unload(); }); }
