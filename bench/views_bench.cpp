// The guests view on a large wedding: 10,000 parties with 25,000 people,
// measured from the view call to the grid's first paint.

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "bench/benchmain.h"
#include "platform/grid/gridex.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

namespace {

void seedLargeWedding()
{
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    for (int p = 1; p <= 10000; ++p) {
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CATEGORY) VALUES (?, ?, ?)",
                  {p, QString("Party %1").arg(p, 5, 10, QChar('0')), p % 2 ? "Family" : "Friend"});
        const int people = p % 2 ? 3 : 2;  // 5,000 x 3 + 5,000 x 2 = 25,000
        for (int i = 0; i < people; ++i)
            c.Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) VALUES (?, ?, ?, ?)",
                      {p, QString("First%1").arg(i), QString("Last%1").arg(p), "Mr."});
    }
    t.commit();
}

void BM_ShowPeopleBindAndFirstPaint(benchmark::State& state)
{
    frmMain& f = frmMain::instance();
    if (!f.isLoaded())
        f.Load();
    f.window()->resize(1200, 800);
    f.ShowPanel(f.frameDataGrid);
    f.ArrangePanels();
    for (auto _ : state) {
        f.ShowPeople();
        QPixmap shot = f.GridEX1->grab();
        benchmark::DoNotOptimize(shot);
    }
    state.counters["people"] = f.PeopleRS ? f.PeopleRS->RecordCount() : 0;
}
BENCHMARK(BM_ShowPeopleBindAndFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return runOnFreshDatabase(argc, argv, seedLargeWedding); }
