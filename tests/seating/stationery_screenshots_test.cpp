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
    // Long names and a four-line address, shrunk or cut to stay in their label.
    person(addressed("The Honourable Maximiliana Ñúñez-Castellano and Family", "12345 North Magnolia Boulevard",
                     "Apartment 1207, care of the Okonkwo-Whitfield Residence", "Rancho Santa Margarita", "CA",
                     "92688-2231"),
           "Max", "Ñúñez", {ev});
    const qint64 head = table(ev, "Head Table by the Garden Window with the Bridal Party");
    const qint64 g = party("Adams");
    for (const char* first : {"Ann", "Bob", "Cleo", "Dan", "Eve", "Finn", "Gus", "Hal"})
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
