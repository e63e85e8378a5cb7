// Packing and merging a replica of 10,000 logged changes, against copying
// the same rows with plain SQL. Each benchmark sets up what it needs, so any
// one of them runs alone.

#include "app/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/synchro.h"

#include <benchmark/benchmark.h>

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
        c.Execute("CREATE TABLE r.Synchro AS SELECT * FROM SYNCHRO ORDER BY SYNCHRO_TABLE");
        c.Execute("CREATE TABLE r.GUEST AS SELECT GUEST.* FROM SYNCHRO JOIN GUEST ON GUEST_ID = SYNCHRO_RECORDID "
                  "WHERE SYNCHRO_TABLE = 'GUEST'");
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
        c.Execute("ATTACH DATABASE ? AS r", {setup().replica()});
        c.Execute("INSERT OR REPLACE INTO GUEST SELECT DISTINCT * FROM r.GUEST");
        c.Execute("DETACH DATABASE r");
    }
}

}  // namespace

BENCHMARK(BM_Prepare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSqlPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSqlMerge)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
