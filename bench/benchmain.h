#pragma once
// The main of a benchmark program: the benchmarks run on a fresh working
// database made from the template in a temporary program folder, filled by
// `seed` first; `done` runs before the database closes.

#include "app/frmMain.h"
#include "records/modQVDatabase.h"
#include "platform/settings/settings.h"
#include "platform/ui/boxrules.h"
#include "platform/ui/fonts.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// Lets the windows' deferred work run (layouts, a grid's rows gathered
// anew), as the event loop does between two user actions.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// The main window loaded at 1200 x 800 with its data panel shown.
inline frmMain& mainWithDataPanel()
{
    frmMain& f = frmMain::instance();
    if (!f.isLoaded())
        f.Load();
    f.window()->resize(1200, 800);
    f.ShowPanel(f.frameDataGrid);
    f.ArrangePanels();
    return f;
}

// Opens the working database of the program folder as the program does.
inline void openProgramFolder(const QString& folder)
{
    fonts::useDesignFonts();
    settings::useFile(folder + "/settings.ini");
    modQVDatabase::setAppPath(folder);
    modQVDatabase::LocateDataFile();
    modQVDatabase::OpenConnection();
}

// A program folder with a working database fresh from the template.
inline void openFreshDatabase(const QString& folder)
{
    QDir(folder).mkpath("data");
    QFile::copy(QStringLiteral(NUPTARO_TEMPLATE), folder + "/data/qvnt04.qvd");
    openProgramFolder(folder);
}

// The statements the work runs on the shared connection, as run (bound
// values written in); the statements of triggers run again with them.
inline QStringList statementsOf(const std::function<void()>& work)
{
    QStringList sql;
    sqlite3* db = modQVDatabase::gConn.handle();
    sqlite3_trace_v2(
        db, SQLITE_TRACE_STMT,
        [](unsigned, void* out, void* stmt, void* text) {
            if (QByteArray(static_cast<const char*>(text)).startsWith("--"))
                return 0;  // a trigger's statements
            char* expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(stmt));
            static_cast<QStringList*>(out)->append(QString::fromUtf8(expanded));
            sqlite3_free(expanded);
            return 0;
        },
        &sql);
    work();
    sqlite3_trace_v2(db, 0, nullptr, nullptr);
    return sql;
}

// A plain SQLite connection of the working database the shared connection
// has open, opened again when that changes.
inline sqlite3* plainConnection()
{
    static sqlite3* db = nullptr;
    static QString opened;
    if (opened != modQVDatabase::gConn.path()) {
        sqlite3_close(db);
        opened = modQVDatabase::gConn.path();
        sqlite3_open_v2(opened.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    return db;
}

// Prepares, steps to the end reading every column, and finalizes each
// statement, on a plain SQLite connection of the working database.
inline void replay(const QStringList& sql)
{
    sqlite3* db = plainConnection();
    for (const QString& q : sql) {
        const QByteArray text = q.toUtf8();
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(st); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(st, c));
        sqlite3_finalize(st);
    }
}

// A working database of its own for each size of wedding, copied from the
// fresh one when first asked for and opened on the shared connection in its
// turn, so that runs of two sizes can take turns; true when it was just made
// (and is for the caller to fill).
inline bool openWeddingOfSize(int people)
{
    static const QString fresh = modQVDatabase::gConn.path();
    static QSet<int> made;
    ado::Connection& c = modQVDatabase::gConn;
    c.Close();
    const QString file = fresh + QString(".%1").arg(people);
    const bool isNew = !made.contains(people);
    if (isNew) {
        made.insert(people);
        QFile::copy(fresh, file);
    }
    c.Open(file);
    return isNew;
}

// Registers benchmarks at each size, all of one size before the next, so
// that each wedding is made once. Each runs `repetitions` times: the best
// run counts, other work on the machine only ever adding time.
inline void registerBySize(std::initializer_list<int> sizes,
                           std::initializer_list<std::pair<const char*, void (*)(benchmark::State&)>> benchmarks,
                           int repetitions = 3)
{
    for (const int people : sizes)
        for (const auto& [name, run] : benchmarks)
            benchmark::RegisterBenchmark(name, run)->Arg(people)->Unit(benchmark::kMillisecond)->Repetitions(repetitions);
}

inline int runOnFreshDatabase(int argc, char** argv, const std::function<void()>& seed,
                              const std::function<void()>& done = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The windows measured keep the rules of the program's boxes.
    ui::keepBoxRules();
    QTemporaryDir folder;
    openFreshDatabase(folder.path());
    seed();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (done)
        done();
    modQVDatabase::gConn.Close();
    return 0;
}
