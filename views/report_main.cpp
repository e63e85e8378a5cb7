#include "views/frmPreview.h"
#include "views/report.h"

namespace report {

void PrintGridReport(grid::GridEX& GridEX1, QWidget& mainWindow, const QString& curDataMode,
                     const QString& rsvpEventText)
{
    if (curDataMode == QLatin1String("Addresses"))
        GridEX1.setCardsAcross(3);
    else if (curDataMode == QLatin1String("Quotes"))
        GridEX1.setCardsAcross(1);
    ShowGridPreview(GridEX1, mainWindow, 1152, reportTitle(curDataMode, rsvpEventText), curDataMode);
}

}  // namespace report

#include "app/frmMain.h"

#include <QComboBox>

void frmMain::PrintGridReport()
{
    if (!isLoaded() || !GridEX1)
        return;
    const QString eventText = cmbEvents ? cmbEvents->currentText() : QString();
    report::PrintGridReport(*GridEX1, *widget(), curDataMode, eventText);
}
