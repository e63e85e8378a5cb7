// Packing a replica of a wedding of 10,000 and 100,000 people (their
// parties, invitations to two events, tables and seats, every record logged
// as added) and merging it into the other copy, against the same work done
// plainly on a raw SQLite connection of the same files: the logged records
// with their log, version, mark, copy, replica and partner rows; on merging,
// the safety copy of the database, the records, the versions and marks taken
// and the partner's number, in one transaction.
// A replica prepared once is what every merge takes in. Then renumbering:
// a copy of one file that moves 10,000 and 100,000 records of its own to a
// new number in a merge, against the same UPDATEs on raw SQLite.

#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "records/cascade.h"
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
    int size() const { return people; }
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

// One wedding of a kind at a time: the larger one replaces the smaller.
template <class W>
W& oneAtATime(int size)
{
    static std::unique_ptr<W> w;
    if (!w || w->size() != size) {
        w.reset();
        w = std::make_unique<W>(size);
    }
    return *w;
}

Wedding& wedding(int people) { return oneAtATime<Wedding>(people); }

// The safety copy of a database, through the backup interface.
void safetyCopy(sqlite3* db, const QString& to)
{
    QFile::remove(to);
    sqlite3* copy = nullptr;
    sqlite3_open(to.toUtf8().constData(), &copy);
    sqlite3_backup* b = sqlite3_backup_init(copy, "main", db, "main");
    sqlite3_backup_step(b, -1);
    sqlite3_backup_finish(b);
    sqlite3_close(copy);
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
        safetyCopy(db, w.path("/data/PRE_plain.qvd"));
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

// Renumbering: a copy of one file (number 5) with parties and people of its
// own, N records in all, logged as added, merges the first replica of the
// other copy, which has the same number: it takes a new one and its records
// move to it. The replica holds one party.
struct CopiedWedding {
    QTemporaryDir dir;
    int records = 0;
    int size() const { return records; }
    QString path(const QString& rel) const { return dir.path() + rel; }
    QString before() const { return path("/before.qvd"); }
    QString working() const { return path("/data/qvnt03.qvd"); }
    QString replica() const { return path("/replica.qvd"); }

    explicit CopiedWedding(int n) : records(n)
    {
        QDir(dir.path()).mkpath("data");
        QFile::copy(NUPTARO_TEMPLATE, path("/data/qvnt04.qvd"));
        modQVDatabase::setAppPath(dir.path());
        ado::Connection& c = modQVDatabase::gConn;
        c.Close();
        modQVDatabase::LocateDataFile();
        c.Open(working());
        c.setCopyNumber(5);
        c.Close();
        QFile::copy(working(), before());
        // The other copy adds a party and prepares its replica.
        c.Open(working());
        const qint64 party = c.reserveKey("GUEST");
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, 'The Okafor Family')", {party});
        modSynchro::LogChanges("GUEST", {party}, modSynchro::Added);
        synchro::Prepare(c);
        QFile::copy(path("/data/synchro.qvd"), replica());
        c.Close();
        // This copy adds its own.
        QFile::remove(working());
        QFile::copy(before(), working());
        c.Open(working());
        QList<qint64> parties, people;
        {
            ado::Transaction t(c);
            for (qint64 partyKey = 0; parties.size() + people.size() < records;) {
                partyKey = c.reserveKey("GUEST");
                c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CITY) VALUES (?, ?, 'Salem')",
                          {partyKey, QString("The Lefèvre Family %1").arg(parties.size())});
                parties << partyKey;
                for (int i = 0; i < 1 + parties.size() % 4 && parties.size() + people.size() < records; ++i) {
                    const qint64 person = c.reserveKey("SUBGUEST");
                    c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (?, ?, ?)",
                              {person, partyKey, QString("Zoë %1").arg(person)});
                    people << person;
                }
            }
            modSynchro::LogChanges("GUEST", parties, modSynchro::Added);
            modSynchro::LogChanges("SUBGUEST", people, modSynchro::Added);
            t.commit();
        }
        c.Close();
        QFile::remove(before());
        QFile::copy(working(), before());
    }
    void fresh() const
    {
        QFile::remove(working());
        QFile::copy(before(), working());
    }
};

CopiedWedding& copiedWedding(int records) { return oneAtATime<CopiedWedding>(records); }

void renumberProgram(benchmark::State& state)
{
    CopiedWedding& w = copiedWedding(int(state.range(0)));
    ado::Connection c;
    int moved = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.Close();
        w.fresh();
        c.Open(w.working());
        state.ResumeTiming();
        const synchro::Merged m = synchro::Synchronize(c, w.replica(), {}, synchro::SameNumber::Renumber);
        moved = int(c.scalar("SELECT count(*) FROM GUEST WHERE GUEST_ID / 1000000 = ?", {m.renumberedTo}).toInt());
    }
    state.counters["parties_moved"] = moved;
}

// The same safety copy, then the same UPDATEs for every record, each
// statement prepared once, and the new number, in one transaction.
void renumberBaseline(benchmark::State& state)
{
    CopiedWedding& w = copiedWedding(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.fresh();
        sqlite3* db = openRaw(w.working());
        state.ResumeTiming();
        safetyCopy(db, w.path("/data/PRE_plain.qvd"));
        exec(db, "BEGIN");
        exec(db, "PRAGMA user_version = 6");
        for (const QString table : {"GUEST", "SUBGUEST"}) {
            const QString key = table + "_ID";
            QStringList updates = {QString("UPDATE %1 SET %2 = ?1 WHERE %2 = ?2").arg(table, key)};
            for (const records::KeyReference& r : records::keyReferences())
                if (table == QLatin1String(r.parent))
                    updates << QString("UPDATE %1 SET %2 = ?1 WHERE %2 = ?2").arg(r.table, r.column);
            updates << "UPDATE SYNCHRO SET SYNCHRO_RECORDID = ?1 WHERE SYNCHRO_TABLE = ?3 AND SYNCHRO_RECORDID = ?2"
                    << "UPDATE SYNCHRO_VERSION SET VERSION_RECORDID = ?1 WHERE VERSION_TABLE = ?3 AND "
                       "VERSION_RECORDID = ?2"
                    << "UPDATE SYNCHRO_ORIGIN SET ORIGIN_RECORDID = ?1 WHERE ORIGIN_TABLE = ?3 AND "
                       "ORIGIN_RECORDID = ?2";
            std::vector<sqlite3_stmt*> statements;
            for (const QString& u : updates) {
                sqlite3_stmt* st = nullptr;
                sqlite3_prepare_v2(db, u.toUtf8().constData(), -1, &st, nullptr);
                if (sqlite3_bind_parameter_count(st) > 2)
                    sqlite3_bind_text(st, 3, table.toUtf8().constData(), -1, SQLITE_TRANSIENT);
                statements.push_back(st);
            }
            sqlite3_stmt* keys = nullptr;
            sqlite3_prepare_v2(db, QString("SELECT %1 FROM %2 ORDER BY 1").arg(key, table).toUtf8().constData(), -1,
                               &keys, nullptr);
            QList<qint64> old;
            while (sqlite3_step(keys) == SQLITE_ROW)
                old << sqlite3_column_int64(keys, 0);
            sqlite3_finalize(keys);
            qint64 next = ado::Connection::firstKeyOf(6);
            for (const qint64 from : old) {
                for (sqlite3_stmt* st : statements) {
                    sqlite3_bind_int64(st, 1, next);
                    sqlite3_bind_int64(st, 2, from);
                    sqlite3_step(st);
                    sqlite3_reset(st);
                }
                ++next;
            }
            for (sqlite3_stmt* st : statements)
                sqlite3_finalize(st);
        }
        exec(db, "COMMIT");
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
                                     {"replica merge/baseline", mergeBaseline},
                                     {"renumbering/program", renumberProgram},
                                     {"renumbering/baseline", renumberBaseline}});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
