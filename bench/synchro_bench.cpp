// Packing a replica of a wedding of 10,000 and 100,000 people (their
// parties, invitations to two events, tables and seats, every record logged
// as added) and merging it into the other copy, against the same work done
// plainly on a raw SQLite connection of the same files: the logged records
// with their log, version, mark, copy, replica and partner rows; on merging,
// the safety copy of the database, the records, the versions and marks taken
// and the partner's number, in one transaction.
// A replica prepared once is what every merge takes in.

#include "app/modQVDatabase.h"
#include "bench/benchmain.h"
#include "records/modSynchro.h"
#include "records/synchro.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace {

// The logged tables, parents first: the plain merge takes them in this order.
const QStringList kTables = {"EVENT", "GUEST", "SUBGUEST", "INVITE", "TABLES", "SEATING"};

void exec(sqlite3* db, const QString& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", qPrintable(sql), error);
        sqlite3_free(error);
        exit(2);
    }
}

sqlite3* openRaw(const QString& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", qPrintable(file), sqlite3_errmsg(db));
        exit(2);
    }
    return db;
}

// Two copies of one wedding: the sender with its changes logged, the
// receiver as it was before them (the template with a number of its own).
struct Wedding {
    QTemporaryDir dir;
    int people = 0;
    QString path(const QString& rel) const { return dir.path() + rel; }
    QString sender() const { return path("/data/qvnt03.qvd"); }
    QString receiverTemplate() const { return path("/receiver.qvd"); }
    QString receiver() const { return path("/data/receiver.qvd"); }
    QString replica() const { return path("/replica.qvd"); }

    explicit Wedding(int n) : people(n)
    {
        QDir(dir.path()).mkpath("data");
        QFile::copy(NUPTARO_TEMPLATE, path("/data/qvnt04.qvd"));
        QFile::copy(NUPTARO_TEMPLATE, receiverTemplate());
        QFile::setPermissions(receiverTemplate(), QFile::ReadOwner | QFile::WriteOwner);
        modQVDatabase::setAppPath(dir.path());
        {
            ado::Connection r;
            r.Open(receiverTemplate());
            r.setCopyNumber(9);
        }
        ado::Connection& c = modQVDatabase::gConn;
        c.Close();
        modQVDatabase::LocateDataFile();
        c.Open(sender());
        c.setCopyNumber(5);
        seed(c);
        synchro::Prepare(c);
        QFile::remove(replica());
        QFile::copy(path("/data/synchro.qvd"), replica());
        c.Close();
    }

    // Parties of one to four people, everyone invited to the reception and
    // a third to the rehearsal dinner, one in five seated at a table of ten;
    // written plainly, then logged as the program logs a batch of adds.
    void seed(ado::Connection& c)
    {
        const qint64 base = ado::Connection::firstKeyOf(5);
        QMap<QString, QList<qint64>> keys;
        ado::Transaction t(c);
        const auto insert = [&](const QString& table, const QString& sql, const QVariantList& values) {
            c.Execute(sql, values);
            keys[table] << values.value(0).toLongLong();
        };
        insert("EVENT", "INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE) VALUES (?, 'Reception', "
                        "'2027-08-14 17:00:00')", {base});
        insert("EVENT", "INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE) VALUES (?, 'Rehearsal Dinner', "
                        "'2027-08-13 19:00:00')", {base + 1});
        qint64 person = 0, invite = 0, seated = 0;
        for (qint64 party = 1; person < people; ++party) {
            insert("GUEST", "INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_CITY, GUEST_ZIP, "
                            "GUEST_CATEGORY) VALUES (?, ?, ?, 'Salem', '97301', ?)",
                   {base + party, QString("The Lefèvre Family %1").arg(party),
                    QString("%1 Orchard Lane").arg(party), party % 2 ? "Family" : "Friend"});
            for (int i = 0; i < 1 + party % 4 && person < people; ++i) {
                ++person;
                insert("SUBGUEST", "INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, "
                                   "SUBGUEST_TITLE) VALUES (?, ?, ?, 'Lefèvre', 'Mr.')",
                       {base + person, base + party, QString("Zoë %1").arg(person)});
                insert("INVITE", "INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT) "
                                 "VALUES (?, ?, ?, 'Attending')",
                       {base + ++invite, base, base + person});
                if (person % 3 == 0)
                    insert("INVITE", "INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID) VALUES (?, ?, ?)",
                           {base + ++invite, base + 1, base + person});
                if (person % 5 == 0) {
                    const qint64 table = base + seated / 10 + 1;
                    if (seated % 10 == 0)
                        insert("TABLES", "INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, "
                                         "TABLE_TYPE) VALUES (?, ?, ?, 10, 5)",
                               {table, base, QString("Table %1").arg(seated / 10 + 1)});
                    insert("SEATING", "INSERT INTO SEATING (SEATING_ID, TABLE_ID, SUBGUEST_ID, SEATING_POS) "
                                      "VALUES (?, ?, ?, ?)",
                           {base + seated + 1, table, base + person, seated % 10});
                    ++seated;
                }
            }
        }
        for (const QString& table : kTables)
            modSynchro::LogChanges(table, keys[table], modSynchro::Added);
        t.commit();
    }

    void freshReceiver() const
    {
        QFile::remove(receiver());
        QFile::copy(receiverTemplate(), receiver());
    }
};

Wedding& wedding(int people)
{
    // One wedding at a time: the larger one replaces the smaller.
    static std::unique_ptr<Wedding> w;
    if (!w || w->people != people) {
        w.reset();
        w = std::make_unique<Wedding>(people);
    }
    return *w;
}

void prepareProgram(benchmark::State& state)
{
    Wedding& w = wedding(int(state.range(0)));
    ado::Connection c;
    c.Open(w.sender());
    int packed = 0;
    for (auto _ : state)
        packed = synchro::Prepare(c);
    state.counters["log_rows"] = packed;
}

// The replica plainly: its header, the log, each logged table's records,
// their versions and marks, the copy numbers.
void prepareBaseline(benchmark::State& state)
{
    Wedding& w = wedding(int(state.range(0)));
    const QString out = w.path("/plain.qvd");
    sqlite3* db = openRaw(w.sender());
    for (auto _ : state) {
        QFile::remove(out);
        QFile(out).open(QIODevice::WriteOnly);  // an empty file is an empty database
        exec(db, "INSERT INTO SYNCHRO_REPLICA (REPLICA_MARK) VALUES (random())");
        exec(db, QString("ATTACH DATABASE '%1' AS r").arg(out));
        exec(db, "PRAGMA r.application_id = 1313953362");
        exec(db, "PRAGMA r.user_version = 5");
        exec(db, "BEGIN");
        exec(db, "CREATE TABLE r.Synchro AS SELECT * FROM SYNCHRO ORDER BY SYNCHRO_TABLE");
        for (const QString& t : kTables)
            exec(db, QString("CREATE TABLE r.%1 AS SELECT %1.* FROM SYNCHRO JOIN %1 ON %2 = SYNCHRO_RECORDID "
                             "WHERE SYNCHRO_TABLE = '%1'")
                         .arg(t, t == "TABLES" ? "TABLE_ID" : t == "SEATING" ? "SEATING_ID" : t + "_ID"));
        exec(db, "CREATE TABLE r.Versions AS SELECT VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED AS "
                 "VERSION_STAMP, 5 AS VERSION_COPY, 0 AS VERSION_DELETED FROM SYNCHRO_VERSION JOIN SYNCHRO ON "
                 "VERSION_TABLE = SYNCHRO_TABLE AND VERSION_RECORDID = SYNCHRO_RECORDID");
        exec(db, "CREATE TABLE r.Origins AS SELECT ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK FROM SYNCHRO_ORIGIN");
        exec(db, "CREATE TABLE r.Copies AS SELECT COPY_NUMBER FROM SYNCHRO_COPY");
        exec(db, "CREATE TABLE r.Replicas AS SELECT REPLICA_MARK FROM SYNCHRO_REPLICA ORDER BY rowid");
        exec(db, "CREATE TABLE r.Partner AS SELECT PARTNER_NUMBER FROM SYNCHRO_PARTNER");
        exec(db, "COMMIT");
        exec(db, "DETACH DATABASE r");
    }
    sqlite3_close(db);
}

void mergeProgram(benchmark::State& state)
{
    Wedding& w = wedding(int(state.range(0)));
    ado::Connection c;
    int applied = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.Close();
        w.freshReceiver();
        c.Open(w.receiver());
        state.ResumeTiming();
        applied = synchro::Synchronize(c, w.replica()).applied;
    }
    state.counters["applied"] = applied;
}

// The safety copy, then the records and the versions taken, in one transaction.
void mergeBaseline(benchmark::State& state)
{
    Wedding& w = wedding(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.freshReceiver();
        sqlite3* db = openRaw(w.receiver());
        state.ResumeTiming();
        QFile::remove(w.path("/data/PRE_plain.qvd"));
        {
            sqlite3* copy = nullptr;
            sqlite3_open(w.path("/data/PRE_plain.qvd").toUtf8().constData(), &copy);
            sqlite3_backup* b = sqlite3_backup_init(copy, "main", db, "main");
            sqlite3_backup_step(b, -1);
            sqlite3_backup_finish(b);
            sqlite3_close(copy);
        }
        exec(db, QString("ATTACH DATABASE '%1' AS r").arg(w.replica()));
        exec(db, "BEGIN");
        for (const QString& t : kTables)
            exec(db, QString("INSERT OR REPLACE INTO main.%1 SELECT DISTINCT * FROM r.%1").arg(t));
        exec(db, "INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_TAKEN, VERSION_TAKENFROM) "
                 "SELECT VERSION_TABLE, VERSION_RECORDID, VERSION_STAMP, VERSION_COPY FROM r.Versions WHERE true "
                 "ON CONFLICT (VERSION_TABLE, VERSION_RECORDID) DO UPDATE SET VERSION_TAKEN = excluded.VERSION_TAKEN, "
                 "VERSION_TAKENFROM = excluded.VERSION_TAKENFROM");
        exec(db, "INSERT OR IGNORE INTO SYNCHRO_COPY SELECT COPY_NUMBER FROM r.Copies WHERE COPY_NUMBER <> 9");
        exec(db, "INSERT OR IGNORE INTO SYNCHRO_ORIGIN SELECT * FROM r.Origins");
        exec(db, "INSERT OR IGNORE INTO SYNCHRO_PARTNER (PARTNER_NUMBER) VALUES (5)");
        exec(db, "COMMIT");
        exec(db, "DETACH DATABASE r");
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    registerBySize({10000, 100000}, {{"replica prepare/program", prepareProgram},
                                     {"replica prepare/baseline", prepareBaseline},
                                     {"replica merge/program", mergeProgram},
                                     {"replica merge/baseline", mergeBaseline}});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
