// The guest report of 10,000 and 100,000 people (parties of two and three)
// printed to a PDF file: the report command of the Guests view (its preview,
// then Print), against plain QPainter drawing the same texts, a line each,
// on as many pages.

#include "app/frmMain.h"
#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "platform/grid/gridex.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "views/frmPreview.h"
#include "views/printpreview.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace {

int seededPeople = 0;

// The guest list of `people` persons, made anew when the size changes.
void seedGuests(int people)
{
    if (seededPeople == people)
        return;
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    c.Execute("DELETE FROM SUBGUEST");
    c.Execute("DELETE FROM GUEST");
    // Parties of 2 and 3 people in turn.
    const auto partyOf = [](int person) { return (person - 1) / 5 * 2 + ((person - 1) % 5 < 2 ? 1 : 2); };
    for (int i = 1; i <= people; ++i) {
        const int party = partyOf(i);
        if (i == 1 || party != partyOf(i - 1))
            c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CATEGORY) VALUES (?, ?, ?)",
                      {party, QString("The Lefèvre-Ångström Family %1").arg(party), party % 2 ? "Family" : "Friend"});
        c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) "
                  "VALUES (?, ?, ?, ?, 'Mr.')",
                  {i, party, QString("Zoë %1").arg(i), QString("Lefèvre %1").arg(party)});
    }
    t.commit();
    seededPeople = people;
}

QTemporaryDir& outDir()
{
    static QTemporaryDir d;
    return d;
}

frmMain& guestsShown()
{
    frmMain& f = mainWithDataPanel();
    f.ShowPeople();
    return f;
}

void reportProgram(benchmark::State& state)
{
    seedGuests(int(state.range(0)));
    frmMain& f = guestsShown();
    ui::ScriptedDialogsGuard dialogs;
    auto messages = std::make_unique<ui::ScriptedMessages>();
    ui::setMessageService(std::move(messages));
    const QString file = outDir().filePath("program.pdf");
    dialogs.dialogs->printToPdf = file;
    int pages = 0;
    for (auto _ : state) {
        f.PrintGridReport();
        dialogs.dialogs->printAnswers << true;
        frmPreview::instance().gridPreview->print();
        pages = frmPreview::instance().gridPreview->pageCount();
        frmPreview::instance().Unload();
    }
    state.counters["pages"] = pages;
    state.counters["pdf_kB"] = QFileInfo(file).size() / 1024.0;
    ui::setMessageService(nullptr);
}

// The report's texts, a line of columns each, at the report's line height
// and margins on Letter paper.
void reportBaseline(benchmark::State& state)
{
    seedGuests(int(state.range(0)));
    const grid::ReportModel m = guestsShown().GridEX1->reportModel();
    const QString file = outDir().filePath("plain.pdf");
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter pdf(file);
        pdf.setResolution(600);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QPainter p(&pdf);
        p.scale(600 / 1440.0, 600 / 1440.0);
        QFont font("Arial");
        font.setPixelSize(180);
        p.setFont(font);
        const int top = 720 + 480 + 300, bottom = 15840 - 720, line = 300;
        int y = top;
        pages = 1;
        p.drawText(QRect(1152, 720, 9936, 480), Qt::AlignCenter, m.pageHeader);
        for (const grid::ReportRow& r : m.rows) {
            if (y + line > bottom) {
                pdf.newPage();
                ++pages;
                y = top;
                p.drawText(QRect(1152, 720, 9936, 480), Qt::AlignCenter, m.pageHeader);
            }
            if (!r.headerText.isEmpty())
                p.drawText(QRect(1152, y, 9936, line), Qt::AlignVCenter | Qt::AlignLeft, r.headerText);
            int x = 1152;
            for (int k = 0; k < r.texts.size() && k < m.columns.size(); ++k) {
                p.drawText(QRect(x, y, m.columns[k].widthTwips, line), Qt::AlignVCenter | Qt::AlignLeft, r.texts[k]);
                x += m.columns[k].widthTwips;
            }
            y += line;
        }
    }
    state.counters["pages"] = pages;
    state.counters["pdf_kB"] = QFileInfo(file).size() / 1024.0;
}

}  // namespace

// By size, so that each guest list is made once.
BENCHMARK(reportProgram)->Name("guest report to PDF/program")->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(reportBaseline)->Name("guest report to PDF/baseline")->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(reportProgram)->Name("guest report to PDF/program")->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(reportBaseline)->Name("guest report to PDF/baseline")->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    return runOnFreshDatabase(argc, argv, [] {}, [] {
        frmPreview::instance().Unload();
        frmMain::instance().Unload();
    });
}
