#pragma once
// The main of a benchmark program: the benchmarks run on a fresh working
// database made from the template in a temporary program folder, filled by
// `seed` first; `done` runs before the database closes.

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "platform/settings/settings.h"
#include "platform/ui/fonts.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

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

inline int runOnFreshDatabase(int argc, char** argv, const std::function<void()>& seed,
                              const std::function<void()>& done = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fonts::useDesignFonts();
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("data");
    QFile::copy(QStringLiteral(NUPTARO_TEMPLATE), folder.path() + "/data/qvnt04.qvd");
    settings::useFile(folder.path() + "/settings.ini");
    modQVDatabase::setAppPath(folder.path());
    modQVDatabase::LocateDataFile();
    modQVDatabase::OpenConnection();
    seed();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (done)
        done();
    modQVDatabase::gConn.Close();
    return 0;
}
