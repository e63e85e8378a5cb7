// Pictures of the label and place-card windows, taken only when
// NUPTARO_SCREENSHOTS names a folder (run under a real display).

#include "stationery_support.h"

#include "seating/frmLabels.h"
#include "seating/frmPlacard.h"

namespace {

class StationeryScreenshots : public testsupport::StationeryTest {};

TEST_F(StationeryScreenshots, LabelsAndPlacards)
{
    const QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    const qint64 ev = event("Reception");
    invitedParties(ev, 12);
    const qint64 head = table(ev, "Head Table");
    const qint64 g = party("Adams");
    for (const char* first : {"Ann", "Bob", "Cleo", "Dan"})
        seat(head, person(g, first, "Adams", {ev}), 0);
    for (ui::FormBase* f : {static_cast<ui::FormBase*>(&frmLabels::instance()),
                            static_cast<ui::FormBase*>(&frmPlacard::instance())}) {
        f->Show(ui::vbModeless);
        QApplication::setActiveWindow(f->widget());
        QCoreApplication::processEvents();
        f->widget()->grab().save(dir + '/' + f->name() + ".png");
        f->Unload();
    }
}

}  // namespace
