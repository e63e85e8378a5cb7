#include "views/frmPreview.h"
#include "views/report.h"

namespace report {

void PrintGridReport(grid::GridEX& GridEX1, QWidget& mainWindow, const QString& curDataMode)
{
    if (curDataMode == QLatin1String("Addresses"))
        GridEX1.setCardsAcross(3);
    else if (curDataMode == QLatin1String("Quotes"))
        GridEX1.setCardsAcross(1);
    ShowGridPreview(GridEX1, mainWindow, 1152, reportTitle(curDataMode));
}

}  // namespace report
