// Address labels for weddings of 10,000 and 100,000 invited people (parties
// of two) on the template's 30-per-sheet style, printed to a PDF file: the
// labels window (reading the parties, previewing the first sheet, printing
// every sheet) against the same pages drawn with plain QPainter calls from
// texts already in memory.

#include "records/modQVDatabase.h"
#include "bench/benchmain.h"
#include "platform/print/printer.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/fonts.h"
#include "platform/ui/messages.h"
#include "seating/frmLabels.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

int seededPeople = 0;

QString partyName(int p) { return QString("The %1 Family").arg(p); }
QString street(int p) { return QString("%1 Orchard Lane").arg(100 + p); }
const QString kCity = QStringLiteral("Springfield, IL  62701");

int parties() { return seededPeople / 2; }

// The parties of `people`, made anew when the size changes.
void seedParties(int people)
{
    if (seededPeople == people)
        return;
    seededPeople = people;
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    for (const char* table : {"INVITE", "SUBGUEST", "GUEST", "EVENT"})
        c.Execute(QString("DELETE FROM %1").arg(table));
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Reception')");
    for (int p = 1; p <= parties(); ++p) {
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_CITY, GUEST_STATE, GUEST_ZIP) "
                  "VALUES (?, ?, ?, 'Springfield', 'IL', '62701')",
                  {p, partyName(p), street(p)});
        for (int s = 0; s < 2; ++s) {
            c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (?, ?, ?)",
                      {2 * p + s, p, QString("Person%1").arg(s)});
            c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (1, ?)", {2 * p + s});
        }
    }
    t.commit();
}

QTemporaryDir& outDir()
{
    static QTemporaryDir d;
    return d;
}

void BM_LabelsWindowToPdf(benchmark::State& state)
{
    seedParties(int(state.range(0)));
    ui::ScriptedDialogsGuard dialogs;
    auto messages = std::make_unique<ui::ScriptedMessages>();
    ui::ScriptedMessages* shown = messages.get();
    ui::setMessageService(std::move(messages));
    const QString file = outDir().filePath("window.pdf");
    dialogs.dialogs->printToPdf = file;
    frmLabels& f = frmLabels::instance();
    for (auto _ : state) {
        f.Show(ui::vbModeless);
        dialogs.dialogs->printAnswers << true;
        f.cmdPrint->click();
        f.Unload();
    }
    state.counters["pdf_kB"] = QFileInfo(file).size() / 1024.0;
    state.counters["messages"] = shown->shown.size();
    ui::setMessageService(nullptr);
}


// The same pages: three lines a label, 3 across and 10 down, from the
// sheet's corner in inches, the design face at 8 points on Letter paper at the
// printer's resolution.
void BM_PlainPainterToPdf(benchmark::State& state)
{
    seedParties(int(state.range(0)));
    QStringList lines;
    for (int p = 1; p <= parties(); ++p)
        lines << partyName(p) << street(p) << kCity;
    const QString file = outDir().filePath("plain.pdf");
    for (auto _ : state) {
        QPdfWriter pdf(file);
        pdf.setResolution(1200);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&pdf);
        QFont font = fonts::font();
        font.setPointSizeF(8);
        painter.setFont(font);
        const double dpi = 1200, step = QFontMetricsF(font, &pdf).height();
        for (int label = 0; label < parties(); ++label) {
            const int cell = label % 30;
            if (label > 0 && cell == 0)
                pdf.newPage();
            const double x = (0.1875 + (cell % 3) * 2.75 + 8 / 72.0) * dpi;
            double y = (0.5 + (cell / 3) * 1.0 + 8 / 72.0) * dpi;
            for (int l = 0; l < 3; ++l, y += step)
                painter.drawText(QRectF(x, y, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                                 lines[3 * label + l]);
        }
    }
    state.counters["pdf_kB"] = QFileInfo(file).size() / 1024.0;
}
// By size, so that each guest list is made once.
BENCHMARK(BM_LabelsWindowToPdf)->Name("address labels to PDF/program")->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlainPainterToPdf)->Name("address labels to PDF/baseline")->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LabelsWindowToPdf)->Name("address labels to PDF/program")->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PlainPainterToPdf)->Name("address labels to PDF/baseline")->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) { return runOnFreshDatabase(argc, argv, [] {}); }
