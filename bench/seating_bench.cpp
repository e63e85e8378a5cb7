// The seating designer's trees on a reception everyone of a wedding of
// 10,000 and 100,000 people is invited to (parties of one to four, one in
// five seated at a table of ten): rebuilding both trees
// (frmSeating.GetInvitees) and opening a party of the invited tree, each
// against the raw SQLite step loop of the very statements it runs, recorded
// from it and run on a plain connection.

#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "platform/ui/messages.h"
#include "seating/frmSeating.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QTreeWidgetItemIterator>

namespace {

constexpr qint64 kEvent = 1;
int seededPeople = 0;

// A database of its own for each size, filled plainly when it is made: the
// program's connection is not what is measured here.
void seedReception(int people)
{
    if (seededPeople == people)
        return;
    seededPeople = people;
    if (!openWeddingOfSize(people))
        return;
    sqlite3* db = nullptr;
    sqlite3_open_v2(modQVDatabase::gConn.path().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto exec = [db](const QString& sql) { sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr); };
    exec("BEGIN");
    exec(QString("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (%1, 'Reception'), (2, 'Shower')").arg(kEvent));
    qint64 person = 0, seated = 0;
    for (qint64 party = 1; person < people; ++party) {
        exec(QString("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (%1, 'Party %2')")
                 .arg(party)
                 .arg((party * 7919) % (people / 2 + 1), 6, 10, QChar('0')));
        for (int i = 0; i < 1 + party % 4 && person < people; ++i) {
            ++person;
            exec(QString("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES "
                         "(%1, %2, 'First%1', 'Last%3')")
                     .arg(person)
                     .arg(party)
                     .arg(person % 97));
            exec(QString("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (%1, %2)").arg(kEvent).arg(person));
            if (person % 3 == 0)
                exec(QString("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (2, %1)").arg(person));
            if (person % 5 == 0) {
                const qint64 table = seated / 10 + 1;
                if (seated % 10 == 0)
                    exec(QString("INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE) "
                                 "VALUES (%1, %2, 'Table %1', 10, 5)")
                             .arg(table)
                             .arg(kEvent));
                exec(QString("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (%1, %2, %3)")
                         .arg(table)
                         .arg(person)
                         .arg(seated % 10));
                ++seated;
            }
        }
    }
    exec("COMMIT");
    sqlite3_close(db);
}

frmSeating& designer(int people)
{
    seedReception(people);
    frmSeating& f = frmSeating::instance();
    f.curEvent = kEvent;
    if (!f.isLoaded())
        f.Load();
    return f;
}

int nodes(const tree::TreeView* t)
{
    int n = 0;
    for (QTreeWidgetItemIterator it(const_cast<tree::TreeView*>(t)); *it; ++it)
        ++n;
    return n;
}

void treesProgram(benchmark::State& state)
{
    frmSeating& f = designer(int(state.range(0)));
    for (auto _ : state)
        f.GetInvitees();
    state.counters["nodes"] = nodes(f.treeInvited) + nodes(f.treeTables);
}

void treesBaseline(benchmark::State& state)
{
    frmSeating& f = designer(int(state.range(0)));
    const QStringList sql = statementsOf([&] { f.GetInvitees(); });
    for (auto _ : state)
        replay(sql);
    state.counters["statements"] = double(sql.size());
}

// A party of the invited tree not opened before, opened: its people read.
void openParty(frmSeating& f, int& next)
{
    tree::Node* root = f.treeInvited->firstNode();
    const int n = root->childCount();
    tree::Node* party = root->child(int((qint64(next++) * 7919) % n));
    f.treeInvited->expandItem(party);
}

void partyProgram(benchmark::State& state)
{
    frmSeating& f = designer(int(state.range(0)));
    f.GetInvitees();
    int next = 0;
    for (auto _ : state) {
        if (next >= f.treeInvited->firstNode()->childCount()) {
            state.PauseTiming();
            f.GetInvitees();
            next = 0;
            state.ResumeTiming();
        }
        openParty(f, next);
    }
}

void partyBaseline(benchmark::State& state)
{
    frmSeating& f = designer(int(state.range(0)));
    f.GetInvitees();
    int next = 0;
    const QStringList sql = statementsOf([&] { openParty(f, next); });
    for (auto _ : state)
        replay(sql);
    state.counters["statements"] = double(sql.size());
}

}  // namespace

int main(int argc, char** argv)
{
    return runOnFreshDatabase(
        argc, argv,
        [] {
            // A message would wait for an answer nobody gives.
            ui::setMessageService(std::make_unique<ui::ScriptedMessages>());
            registerBySize({10000, 100000}, {{"seating trees/program", treesProgram},
                                             {"seating trees/baseline", treesBaseline},
                                             {"seating party opened/program", partyProgram},
                                             {"seating party opened/baseline", partyBaseline}});
        },
        [] { frmSeating::instance().Unload(); });
}
