// Importing guests from a parsed CSV file: one person per line in a party
// of its name (added for a name not there yet) with their log rows, the
// merge of equal party names and the commit, against plain SQLite prepared
// statements adding a party and a person per line with their log, version
// and mark rows and merging them, in one transaction: the same guest list.
// "repeats": three lines (three people) a party name; "unique": every name
// once.
//
// Choosing a file: the reader takes a file of short lines (the character
// set proposed and checked, separator and lines found, the first records
// split), against reading
// it whole, decoding it as UTF-8 and finding its lines and widths plainly.

#include "records/modQVDatabase.h"
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

QTemporaryDir* gFolder = nullptr;

QString folderPath(const QString& rel) { return gFolder->path() + rel; }

// All twelve guest fields, as the guest export writes them, parsed.
csv::Table guestFile(int lines, bool repeats)
{
    QString text = "Party Name,First Name,Last Name,Title,Address 1,Address 2,City,State,Zip/Postal,Phone 1,"
                   "Phone 2,E-Mail\r\n";
    for (int i = 1; i <= lines; ++i) {
        const QString party = QString::number(repeats ? (i + 2) / 3 : i);
        const QString n = QString::number(i);
        text += csv::formatLine({"The O'Brien-García Family " + party, "Pat" + n, "O'Brien", "Mr.",
                                 party + " Main St, Apt 4", "", "Boston", "MA",
                                 QString("%1").arg(i % 100000, 5, 10, QChar('0')), "555-0100", "555-0199",
                                 "pat" + n + "@example.com"});
    }
    return csv::Table::fromBytes(text.toUtf8());
}

guestimport::LinkMap allLinked()
{
    guestimport::LinkMap links{};
    for (int i = 1; i <= guestimport::kFieldCount; ++i)
        links[i] = i;
    return links;
}

// A fresh working database made from the template, as on a first start.
QString freshFile()
{
    modQVDatabase::gConn.Close();
    const QString path = folderPath(modQVDatabase::kWorkingFile);
    QFile::remove(path);
    modQVDatabase::LocateDataFile();
    return path;
}

void importProgram(benchmark::State& state, bool repeats)
{
    const csv::Table t = guestFile(int(state.range(0)), repeats);
    const guestimport::LinkMap links = allLinked();
    for (auto _ : state) {
        state.PauseTiming();
        freshFile();
        modQVDatabase::OpenConnection();
        state.ResumeTiming();
        ado::Transaction tr(modQVDatabase::gConn);
        guestimport::addParties(t, true, links);
        guestimport::mergeDuplicateParties();
        tr.commit();
    }
    state.counters["parties"] = double(modQVDatabase::gConn.scalar("SELECT count(*) FROM GUEST").toLongLong());
}

struct Plain {
    sqlite3_stmt* st = nullptr;
    Plain(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st, nullptr); }
    ~Plain() { sqlite3_finalize(st); }
    void text(int i, const QByteArray& v) { sqlite3_bind_text(st, i, v.constData(), int(v.size()), SQLITE_TRANSIENT); }
    void run()
    {
        sqlite3_step(st);
        sqlite3_reset(st);
    }
};

void exec(sqlite3* db, const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

void importBaseline(benchmark::State& state, bool repeats)
{
    const csv::Table t = guestFile(int(state.range(0)), repeats);
    for (auto _ : state) {
        state.PauseTiming();
        const QByteArray path = freshFile().toUtf8();
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        state.ResumeTiming();
        {
            Plain guest(db, "INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_TITLE, "
                            "GUEST_ADDRESS1, GUEST_ADDRESS2, GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_PHONE1, "
                            "GUEST_PHONE2, GUEST_EMAIL) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
            Plain person(db, "INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE, "
                             "SUBGUEST_PHONE, SUBGUEST_EMAIL) VALUES (?, ?, ?, ?, ?, ?)");
            Plain log(db, "INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                          "VALUES (?, ?, ?, 1)");
            Plain version(db, "INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED) "
                              "VALUES (?, ?, ?)");
            Plain origin(db, "INSERT INTO SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK) "
                             "VALUES (?, ?, random())");
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
                origin.run();
            };
            exec(db, "BEGIN IMMEDIATE");
            for (int i = 0; i < t.recordCount(); ++i) {
                const csv::Record r = t.record(i);
                for (int c = 0; c < 12; ++c)
                    guest.text(c + 1, r[c].toUtf8());
                guest.run();
                const sqlite3_int64 g = sqlite3_last_insert_rowid(db);
                sqlite3_bind_int64(person.st, 1, g);
                // First and last name, title, first phone, e-mail.
                for (const auto& [param, column] : {std::pair{2, 1}, {3, 2}, {4, 3}, {5, 9}, {6, 11}})
                    person.text(param, r[column].toUtf8());
                person.run();
                logRow("GUEST", g);
                logRow("SUBGUEST", sqlite3_last_insert_rowid(db));
            }
            // The merge: each party of a name taken by an older one gives its
            // people to that one (their versions renewed) and is deleted, logged.
            exec(db, "CREATE TEMP TABLE moved (dup INTEGER PRIMARY KEY, keep INTEGER)");
            exec(db, "INSERT INTO moved SELECT GUEST_ID, first_value(GUEST_ID) OVER (PARTITION BY GUEST_PARTYNAME "
                     "COLLATE BINARY ORDER BY GUEST_ID) FROM GUEST WHERE GUEST_PARTYNAME <> ''");
            exec(db, "DELETE FROM moved WHERE dup = keep");
            Plain renew(db, "UPDATE SYNCHRO_VERSION SET VERSION_CHANGED = ? WHERE VERSION_TABLE = 'SUBGUEST' AND "
                            "VERSION_RECORDID IN (SELECT SUBGUEST_ID FROM SUBGUEST WHERE GUEST_ID IN "
                            "(SELECT dup FROM moved))");
            renew.text(1, stamp);
            renew.run();
            exec(db, "UPDATE SUBGUEST SET GUEST_ID = (SELECT keep FROM moved WHERE dup = SUBGUEST.GUEST_ID) "
                     "WHERE GUEST_ID IN (SELECT dup FROM moved)");
            Plain deleted(db, "INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, "
                              "SYNCHRO_ACTION) SELECT 'GUEST', dup, ?, 3 FROM moved");
            deleted.text(1, now);
            deleted.run();
            exec(db, "DELETE FROM GUEST WHERE GUEST_ID IN (SELECT dup FROM moved)");
            exec(db, "DROP TABLE moved");
            exec(db, "COMMIT");
        }
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

// Short lines as a web-mail export writes them, about 60 bytes each.
QString shortLinesFile(int lines)
{
    const QString path = folderPath(QString("/short%1.csv").arg(lines));
    if (QFile::exists(path))
        return path;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("Party Name,First Name,Last Name,City,E-Mail\r\n");
    for (int i = 1; i <= lines; ++i)
        f.write(QString("Núñez %1,Zoë,Núñez,Saint-Étienne,z%1@example.org\r\n").arg(i).toUtf8());
    return path;
}

void chooseProgram(benchmark::State& state)
{
    const QString path = shortLinesFile(int(state.range(0)));
    for (auto _ : state) {
        const csv::Table t = csv::Table::read(path);
        benchmark::DoNotOptimize(t.names());
        benchmark::DoNotOptimize(t.record(0));
        if (t.recordCount() != state.range(0))
            state.SkipWithError("records lost");
    }
}

void chooseBaseline(benchmark::State& state)
{
    const QString path = shortLinesFile(int(state.range(0)));
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(f.readAll());
        QList<qsizetype> starts;
        qsizetype width = 0;
        for (const QStringView line : QStringView(text).tokenize(u"\r\n", Qt::SkipEmptyParts)) {
            starts << line.data() - text.data();
            width = std::max(width, line.count(u',') + 1);
        }
        benchmark::DoNotOptimize(width);
        if (starts.size() != state.range(0) + 1)
            state.SkipWithError("records lost");
    }
}

void registerPair(const char* operation, bool repeats)
{
    const std::string op = operation;
    for (const auto& [side, run] : {std::pair{"/program", &importProgram}, {"/baseline", &importBaseline}})
        benchmark::RegisterBenchmark((op + side).c_str(), run, repeats)
            ->Arg(10000)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond);
}

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

    registerPair("import repeats", true);
    registerPair("import unique", false);
    for (const auto& [side, run] : {std::pair{"/program", &chooseProgram}, {"/baseline", &chooseBaseline}})
        benchmark::RegisterBenchmark((std::string("choose guest file") + side).c_str(), run)
            ->Arg(100000)
            ->Arg(1000000)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    modQVDatabase::gConn.Close();
    return 0;
}
