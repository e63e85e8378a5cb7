#include "views/frmPreview.h"
#include "views/report.h"

namespace report {

void PrintGridReport(grid::GridEX& GridEX1, QWidget& mainWindow, views::DataMode curDataMode)
{
    if (curDataMode == views::DataMode::Addresses)
        GridEX1.setCardsAcross(3);
    else if (curDataMode == views::DataMode::Quotes)
        GridEX1.setCardsAcross(1);
    ShowGridPreview(GridEX1, mainWindow, 1152, reportTitle(curDataMode));
}

}  // namespace report
