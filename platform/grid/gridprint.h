#pragma once
// The printed report of a grid: its displayed rows laid out on pages in
// twips (a pure function of the report model and the page), then painted
// on a printer or a preview.

#include "platform/grid/gridex.h"

#include <QRect>
#include <QString>
#include <QVector>

class QPainter;
class QPrinter;

namespace grid {

struct PrintItem {
    enum Kind { PageHeader, ColumnCaption, Cell, GroupHeader, Total, CardFrame, CardTitle, CardLine, PageNumber };
    Kind kind = Cell;
    QRect rect;             // twips from the page's top left corner
    QString text;
    bool rightAligned = false;
};

struct PrintPage {
    QVector<PrintItem> items;
};

struct PageSetup {
    int pageWidthTwips = 12240;    // US Letter
    int pageHeightTwips = 15840;
    int topMarginTwips = 720;
    int bottomMarginTwips = 720;
    int lineHeightTwips = 285;
    int defaultMarginTwips = 720;  // left and right when the grid sets none
};

// Columns wider than the printable width are narrowed in proportion; the
// page header and the column captions head every page; cards flow across
// (cards across a page, or as many as their width allows) and then down.
QVector<PrintPage> layoutReport(const ReportModel& model, const PageSetup& setup = PageSetup());

// Paints one laid-out page; `pixelsPerTwip` maps twips to the device.
void paintPage(QPainter& painter, const PrintPage& page, double pixelsPerTwip);

// Lays the report out on the printer's page and prints every page.
void printReport(const ReportModel& model, QPrinter& printer);

}  // namespace grid
