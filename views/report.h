#pragma once
// Grid reports: the title of a view's report, the printed page laid out as
// plain data from the grid's report model (so it is checked without a
// screen), and the painting of that layout on a printer or a PDF file.
//
// Every measure of the layout is in twips from the page's top left corner.

#include "platform/grid/gridex.h"
#include "views/datamode.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class QPagedPaintDevice;
class QPainter;
class QWidget;

namespace printing {
class Pages;
}

namespace report {

// The page header of the report of a view; "" for a view without a title
// (Budget and Attire have titles of their own). The RSVP report lists the
// invitations of every event, so its title names none.
QString reportTitle(views::DataMode curDataMode);

struct PageSpec {
    int widthTwips = 12240;     // US Letter
    int heightTwips = 15840;
    int leftMargin = 1152;
    int rightMargin = 1152;
    int topMargin = 720;
    int bottomMargin = 720;
};

// The page size of a printer or PDF writer, with the report's side margins.
PageSpec pageSpecFor(const QPagedPaintDevice& device, const grid::ReportModel& m);

enum class ItemKind { Title, ColumnHeader, GroupRow, Record, Total, Card };

// A text as printed: `lines` holds its lines when it takes more than one
// or prints otherwise than it stands, and is empty for a text printed on one
// line as it is (most of them: a report of many rows keeps no second copy).
struct Printed {
    QString text;
    QStringList lines;
    QStringList printedLines() const { return lines.isEmpty() ? QStringList{text} : lines; }
    int lineCount() const { return lines.isEmpty() ? 1 : int(lines.size()); }
};

struct Cell : Printed {
    QRect rect;
    bool rightAligned = false;
    bool caption = false;      // a card's field caption
};

struct Item : Printed {        // the title, group header or card caption
    ItemKind kind = ItemKind::Record;
    QRect rect;
    QVector<Cell> cells;
    int record = -1;           // recordset row of a record or card
};

struct Page {
    QVector<Item> items;
};

struct Layout {
    PageSpec page;
    QRect printable;           // within the margins
    // 1 when the columns fit at their true widths; else what they are shrunk
    // by (all but the columns of amounts, where the page leaves room for those).
    double columnScale = 1.0;
    QVector<int> columnLeft;   // twips, one per report column
    QVector<int> columnWidth;
    int headerHeight = 0;      // the column captions, one line or two
    int cardsAcross = 0;
    int cardWidth = 0;
    QVector<Page> pages;       // at least one
};

// Heights of the printed lines, in twips.
constexpr int kTitleHeight = 480;
constexpr int kHeaderGap = 120;
constexpr int kLineHeight = 300;
constexpr int kGroupHeight = 340;
constexpr int kCardGap = 240;
constexpr int kCardPadding = 90;

// A report laid out a page at a time: made, it knows where each page begins
// (the rows are read and measured once); a page's items are made when the
// page is asked for. So a report of any length holds a few pages at most.
class PagedReport {
public:
    PagedReport(grid::ReportModel m, const PageSpec& page);
    ~PagedReport();
    PagedReport(const PagedReport&) = delete;
    PagedReport& operator=(const PagedReport&) = delete;

    // The page, the columns and the cards; its `pages` is empty.
    const Layout& frame() const;
    int pageCount() const;   // at least one
    Page page(int index) const;

    static constexpr int kPagesKept = 8;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Every page laid out at once, for reports of a size to hold whole.
Layout layoutReport(const grid::ReportModel& m, const PageSpec& page);

// The font an item's texts are printed in (sizes in twips).
QFont fontFor(ItemKind kind, bool caption = false);
// The lines a text is printed on within a width: broken at blanks, and
// within a word only where the word alone is wider (an e-mail address).
QStringList wrapText(const QFont& f, const QString& text, int width);
// The texts of an item that its printed lines do not show whole: a line
// wider than its room, more lines than the room is tall, or a character
// left out.
QStringList cutTexts(const Item& item);

// Paints one page; the painter's units must be twips from the page corner.
void paintPage(QPainter& p, const Layout& layout, int pageIndex);
void paintPage(QPainter& p, const Page& page);
// Paints every page on a printer or PDF writer whose painter starts at the
// page corner (a printer in full-page mode, a writer without margins).
bool renderReport(const grid::ReportModel& m, QPagedPaintDevice& device);
// The same for a report laid out before, on paper of its size: each page is
// laid out as it is printed, and the print stops where its pages stop it
// (cancelled, or its file could not be written).
bool renderPages(const PagedReport& report, printing::Pages& pages);
// The report as a PDF file on Letter paper; false when it cannot be written.
bool writeReportPdf(const grid::ReportModel& m, const QString& fileName);

}  // namespace report
