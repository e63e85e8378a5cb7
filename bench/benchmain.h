#pragma once
// The main of a benchmark program: the benchmarks run on a fresh working
// database made from the template in a temporary program folder, filled by
// `seed` first; `done` runs before the database closes.

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "platform/settings/settings.h"
#include "platform/ui/boxrules.h"
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
