// Packing and merging a replica of 10,000 logged changes, against writing
// the same rows with plain SQL: the records with their log rows, their
// version rows and the copy numbers, and on merging the safety copy of the
// database and the versions and marks taken. Each benchmark sets up what it needs, so
// any one of them runs alone.

#include "app/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/synchro.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int kChanges = 10000;

struct Setup {
    QTemporaryDir dir;
    QString path(const QString& rel) const { return dir.path() + rel; }
    QString sender() const { return path("/data/qvnt03.qvd"); }
    QString receiverTemplate() const { return path("/receiver.qvd"); }
    QString replica() const { return path("/replica.qvd"); }

    Setup()
    {
        QDir(dir.path()).mkpath("data");
        QFile::copy(NUPTARO_TEMPLATE, path("/data/qvnt04.qvd"));
        QFile::copy(NUPTARO_TEMPLATE, sender());
        QFile::copy(NUPTARO_TEMPLATE, receiverTemplate());
        modQVDatabase::setAppPath(dir.path());
        {
            ado::Connection r;
            r.Open(receiverTemplate());
            r.setCopyNumber(9);
        }
        // The sender's changes go through the change log's own writer, which
        // works on the shared connection.
        ado::Connection& c = modQVDatabase::gConn;
        c.Open(sender());
        c.setCopyNumber(5);
        {
            ado::Transaction t(c);
            for (int i = 0; i < kChanges; ++i) {
                const qint64 key = c.reserveKey("GUEST");
                c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CITY, GUEST_EMAIL) VALUES (?, ?, ?, ?)",
                          {key, QString("Party %1").arg(i), "Salem", QString("guest%1@example.com").arg(i)});
                modSynchro::LogChange("GUEST", key, modSynchro::Added);
            }
            t.commit();
        }
        synchro::Prepare(c);
        QFile::copy(path("/data/synchro.qvd"), replica());
        c.Close();
    }
    void freshReceiver(ado::Connection& c) const
    {
        c.Close();
        QFile::remove(path("/data/receiver.qvd"));
        QFile::copy(receiverTemplate(), path("/data/receiver.qvd"));
        c.Open(path("/data/receiver.qvd"));
    }
};

Setup& setup()
{
    static Setup* s = new Setup;
    return *s;
}

void BM_Prepare(benchmark::State& state)
{
    ado::Connection c;
    c.Open(setup().sender());
    for (auto _ : state)
        benchmark::DoNotOptimize(synchro::Prepare(c));
}

void BM_PlainSqlPack(benchmark::State& state)
{
    ado::Connection c;
    c.Open(setup().sender());
    const QString out = setup().path("/plain.qvd");
    for (auto _ : state) {
        QFile::remove(out);
        QFile(out).open(QIODevice::WriteOnly);  // an empty file is an empty database
        c.Execute("ATTACH DATABASE ? AS r", {out});
        c.Execute("BEGIN");
        c.Execute("CREATE TABLE r.Synchro AS SELECT * FROM SYNCHRO ORDER BY SYNCHRO_TABLE");
        c.Execute("CREATE TABLE r.GUEST AS SELECT GUEST.* FROM SYNCHRO JOIN GUEST ON GUEST_ID = SYNCHRO_RECORDID "
                  "WHERE SYNCHRO_TABLE = 'GUEST'");
        c.Execute("CREATE TABLE r.Versions AS SELECT VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED AS "
                  "VERSION_STAMP, 5 AS VERSION_COPY, 0 AS VERSION_DELETED FROM SYNCHRO_VERSION JOIN SYNCHRO ON "
                  "VERSION_TABLE = SYNCHRO_TABLE AND VERSION_RECORDID = SYNCHRO_RECORDID");
        c.Execute("CREATE TABLE r.Copies AS SELECT COPY_NUMBER FROM SYNCHRO_COPY");
        c.Execute("COMMIT");
        c.Execute("DETACH DATABASE r");
    }
}

void BM_Merge(benchmark::State& state)
{
    ado::Connection c;
    for (auto _ : state) {
        state.PauseTiming();
        setup().freshReceiver(c);
        state.ResumeTiming();
        benchmark::DoNotOptimize(synchro::Synchronize(c, setup().replica()).applied);
    }
}

void BM_PlainSqlMerge(benchmark::State& state)
{
    ado::Connection c;
    for (auto _ : state) {
        state.PauseTiming();
        setup().freshReceiver(c);
        state.ResumeTiming();
        // The safety copy, then the records and the versions taken, in one transaction.
        QFile::remove(setup().path("/data/PRE_plain.qvd"));
        {
            sqlite3* copy = nullptr;
            sqlite3_open(setup().path("/data/PRE_plain.qvd").toUtf8().constData(), &copy);
            sqlite3_backup* b = sqlite3_backup_init(copy, "main", c.handle(), "main");
            sqlite3_backup_step(b, -1);
            sqlite3_backup_finish(b);
            sqlite3_close(copy);
        }
        c.Execute("ATTACH DATABASE ? AS r", {setup().replica()});
        c.Execute("BEGIN");
        c.Execute("INSERT OR REPLACE INTO GUEST SELECT DISTINCT * FROM r.GUEST");
        c.Execute("INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_TAKEN, VERSION_TAKENFROM) "
                  "SELECT VERSION_TABLE, VERSION_RECORDID, VERSION_STAMP, VERSION_COPY FROM r.Versions WHERE true "
                  "ON CONFLICT (VERSION_TABLE, VERSION_RECORDID) DO UPDATE SET VERSION_TAKEN = excluded.VERSION_TAKEN, "
                  "VERSION_TAKENFROM = excluded.VERSION_TAKENFROM");
        c.Execute("INSERT OR IGNORE INTO SYNCHRO_COPY SELECT COPY_NUMBER FROM r.Copies WHERE COPY_NUMBER <> 5");
        c.Execute("INSERT OR IGNORE INTO SYNCHRO_ORIGIN SELECT * FROM r.Origins");
        c.Execute("COMMIT");
        c.Execute("DETACH DATABASE r");
    }
}

}  // namespace

BENCHMARK(BM_Prepare)->Name("replica prepare/program")->Arg(kChanges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSqlPack)->Name("replica prepare/baseline")->Arg(kChanges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge)->Name("replica merge/program")->Arg(kChanges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSqlMerge)->Name("replica merge/baseline")->Arg(kChanges)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
