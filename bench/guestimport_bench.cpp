// Importing 10,000 guests from a CSV file (read, parse, one party and one
// person per record with their log rows, the merge, the commit), against
// inserting the same rows into the same schema with plain SQLite prepared
// statements in one transaction.

#include "app/modQVDatabase.h"
#include "guests/guestcsv.h"
#include "platform/settings/settings.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kGuests = 10000;

QTemporaryDir* gFolder = nullptr;

QString folderPath(const QString& rel) { return gFolder->path() + rel; }

// The form the guest export writes, with all twelve columns.
QString writeGuestFile()
{
    const QString path = folderPath("/guests.csv");
    csv::Writer w(path);
    w.open();
    w.writeLine({"Party Name", "First Name", "Last Name", "Title", "Address 1", "Address 2", "City", "State",
                 "Zip/Postal", "Phone 1", "Phone 2", "E-Mail"});
    for (int i = 1; i <= kGuests; ++i) {
        const QString n = QString::number(i);
        w.writeLine({"The O'Brien Family " + n, "Pat" + n, "O'Brien", "Mr.", n + " Main St, Apt 4", "",
                     "Boston", "MA", QString("%1").arg(i % 100000, 5, 10, QChar('0')), "555-0100", "555-0199",
                     "pat" + n + "@example.com"});
    }
    w.commit();
    return path;
}

// A fresh working database on the shared connection.
void freshWorkingCopy()
{
    modQVDatabase::gConn.Close();
    QFile::remove(folderPath(modQVDatabase::kWorkingFile));
    modQVDatabase::LocateDataFile();
    modQVDatabase::OpenConnection();
}

guestimport::LinkMap allLinked()
{
    guestimport::LinkMap links{};
    for (int i = 1; i <= guestimport::kFieldCount; ++i)
        links[i] = i;
    return links;
}

void BM_ImportGuests(benchmark::State& state)
{
    const QString file = writeGuestFile();
    const guestimport::LinkMap links = allLinked();
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        freshWorkingCopy();
        state.ResumeTiming();
        const csv::Table t = csv::Table::read(file);
        ado::Transaction tr(modQVDatabase::gConn);
        added = guestimport::addParties(t, true, links);
        guestimport::mergeDuplicateParties();
        tr.commit();
    }
    state.counters["guests"] = added;
    state.counters["rows"] = double(modQVDatabase::gConn.scalar("SELECT count(*) FROM GUEST").toLongLong());
}
BENCHMARK(BM_ImportGuests)->Unit(benchmark::kMillisecond)->Iterations(5);

struct PlainStmt {
    sqlite3_stmt* st = nullptr;
    PlainStmt(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
    ~PlainStmt() { sqlite3_finalize(st); }
    void text(int i, const QByteArray& v) { sqlite3_bind_text(st, i, v.constData(), int(v.size()), SQLITE_TRANSIENT); }
    void run()
    {
        sqlite3_step(st);
        sqlite3_reset(st);
    }
};

// Arg 0: the parties and people alone; arg 1: with their log, version and mark rows too.
void BM_PlainSqliteInsert(benchmark::State& state)
{
    const bool logged = state.range(0) == 1;
    // The same values, already parsed: only the inserts are measured.
    const csv::Table t = csv::Table::read(writeGuestFile());
    QList<QList<QByteArray>> rows;
    for (const csv::Record& r : t.records()) {
        QList<QByteArray> utf8;
        for (const QString& v : r)
            utf8 << v.toUtf8();
        rows << utf8;
    }
    const QString path = folderPath("/plain.qvd");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        QFile::copy(QStringLiteral(NUPTARO_TEMPLATE), path);
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        state.ResumeTiming();
        {
            PlainStmt guest(db, "INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_TITLE, "
                                "GUEST_ADDRESS1, GUEST_ADDRESS2, GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_PHONE1, "
                                "GUEST_PHONE2, GUEST_EMAIL) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            PlainStmt person(db, "INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE, "
                                 "SUBGUEST_PHONE, SUBGUEST_EMAIL) VALUES (?, ?, ?, ?, ?, ?)");
            PlainStmt log(db, "INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, "
                              "SYNCHRO_ACTION) VALUES (?, ?, ?, 1)");
            PlainStmt version(db, "INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED) "
                                  "VALUES (?, ?, ?)");
            PlainStmt origin(db, "INSERT INTO SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK) "
                                 "VALUES (?, ?, ?)");
            const QByteArray now = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toUtf8();
            const QByteArray stamp = QDateTime::currentDateTimeUtc().toString("yyyy-MM-dd HH:mm:ss.zzz").toUtf8();
            // A log row, the record's version row and its mark, as every added record has.
            auto logRow = [&](const char* table, sqlite3_int64 key) {
                log.text(1, table);
                sqlite3_bind_int64(log.st, 2, key);
                log.text(3, now);
                log.run();
                version.text(1, table);
                sqlite3_bind_int64(version.st, 2, key);
                version.text(3, stamp);
                version.run();
                origin.text(1, table);
                sqlite3_bind_int64(origin.st, 2, key);
                sqlite3_bind_int64(origin.st, 3, key * 7919 % 2147483647);
                origin.run();
            };
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            for (const QList<QByteArray>& r : rows) {
                for (int c = 0; c < 12; ++c)
                    guest.text(c + 1, r[c]);
                guest.run();
                const sqlite3_int64 g = sqlite3_last_insert_rowid(db);
                sqlite3_bind_int64(person.st, 1, g);
                // First and last name, title, first phone, e-mail.
                for (const auto& [param, column] : {std::pair{2, 1}, {3, 2}, {4, 3}, {5, 9}, {6, 11}})
                    person.text(param, r[column]);
                person.run();
                if (logged) {
                    logRow("GUEST", g);
                    logRow("SUBGUEST", sqlite3_last_insert_rowid(db));
                }
            }
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    state.counters["guests"] = double(rows.size());
}
BENCHMARK(BM_PlainSqliteInsert)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    gFolder = &folder;
    QDir(folder.path()).mkpath("data");
    QFile::copy(QStringLiteral(NUPTARO_TEMPLATE), folder.path() + "/data/qvnt04.qvd");
    settings::useFile(folder.path() + "/settings.ini");
    modQVDatabase::setAppPath(folder.path());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    modQVDatabase::gConn.Close();
    return 0;
}
