// The printed grid report: page layout in twips, cards across a page, and
// the preview surface following the page header.

#include "support/fixture.h"

#include "platform/grid/gridex.h"
#include "platform/grid/gridprint.h"

#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>

using grid::PrintItem;
using grid::PrintPage;
using grid::ReportModel;
using grid::RowKind;

namespace {

ReportModel rowsModel(int records, int groupEvery)
{
    ReportModel m;
    m.pageHeader = "Expense Report for Our Wedding";
    m.leftMarginTwips = m.rightMarginTwips = 1152;
    m.columns = {{2, "Item", 6000, false}, {4, "Event", 4000, false}, {5, "Amt Paid", 2000, true}};
    for (int i = 0; i < records; ++i) {
        if (groupEvery > 0 && i % groupEvery == 0)
            m.rows.push_back({RowKind::GroupHeader, -1, QString("Event: E%1").arg(i), {"", "", ""}});
        m.rows.push_back({RowKind::Record, i, QString(), {QString("Item %1").arg(i), "E", "$1.00"}});
    }
    m.rows.push_back({RowKind::Total, -1, QString(), {"", "", "$99.00"}});
    return m;
}

int countKind(const PrintPage& p, PrintItem::Kind k)
{
    return int(std::count_if(p.items.begin(), p.items.end(), [k](const PrintItem& it) { return it.kind == k; }));
}

TEST(GridPrint, RowsFlowOverPagesUnderRepeatedHeadings)
{
    grid::PageSetup setup;  // Letter: 12240 x 15840 twips
    const ReportModel m = rowsModel(120, 10);
    const QVector<PrintPage> pages = grid::layoutReport(m, setup);
    ASSERT_GT(pages.size(), 1);

    const int printable = setup.pageWidthTwips - 2 * 1152;
    int cells = 0, headers = 0, totals = 0;
    for (int i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i);
        const PrintPage& p = pages[i];
        EXPECT_EQ(countKind(p, PrintItem::PageHeader), 1);
        EXPECT_EQ(countKind(p, PrintItem::ColumnCaption), 3);
        int captionWidth = 0;
        for (const PrintItem& it : p.items) {
            if (it.kind == PrintItem::ColumnCaption)
                captionWidth += it.rect.width();
            if (it.kind != PrintItem::PageNumber) {
                EXPECT_GE(it.rect.left(), 1152);
                EXPECT_LE(it.rect.left() + it.rect.width(), 1152 + printable);
                EXPECT_LE(it.rect.top() + it.rect.height(), setup.pageHeightTwips - setup.bottomMarginTwips);
            }
            if (it.kind == PrintItem::GroupHeader)
                EXPECT_EQ(it.rect.width(), printable);  // across the page
        }
        // 12000 twips of columns are narrowed to the printable width.
        EXPECT_EQ(captionWidth, printable);
        cells += countKind(p, PrintItem::Cell);
        headers += countKind(p, PrintItem::GroupHeader);
        totals += countKind(p, PrintItem::Total);
        if (i + 1 < pages.size())
            EXPECT_EQ(countKind(p, PrintItem::Total), 0);
    }
    EXPECT_EQ(cells, 120 * 3);
    EXPECT_EQ(headers, 12);
    EXPECT_EQ(totals, 3);

    // Narrow columns keep their own widths; an empty title prints no header.
    ReportModel narrow = rowsModel(1, 0);
    narrow.pageHeader.clear();
    narrow.columns[0].widthTwips = 1500;
    narrow.columns[1].widthTwips = 1500;
    const QVector<PrintPage> one = grid::layoutReport(narrow, setup);
    ASSERT_EQ(one.size(), 1);
    EXPECT_EQ(countKind(one[0], PrintItem::PageHeader), 0);
    const auto firstCaption = std::find_if(one[0].items.begin(), one[0].items.end(),
                                           [](const PrintItem& it) { return it.kind == PrintItem::ColumnCaption; });
    ASSERT_NE(firstCaption, one[0].items.end());
    EXPECT_EQ(firstCaption->rect.width(), 1500);
}

TEST(GridPrint, CardsGoAcrossAsAskedThenDown)
{
    ReportModel m;
    m.layout = grid::Layout::Cards;
    m.cardWidthTwips = 3000;
    m.leftMarginTwips = m.rightMarginTwips = 1152;
    m.columns = {{3, "Address1", 1700, false}, {5, "City", 1200, false}};
    for (int i = 0; i < 40; ++i)
        m.rows.push_back({RowKind::Record, i, QString("Party %1").arg(i), {"1 Main St", "Austin"}});

    struct Case {
        int across;
        int expectedColumns;
    } cases[] = {{3, 3}, {1, 1}, {0, 3}};  // 0: as many as the card width allows
    for (const Case& c : cases) {
        SCOPED_TRACE(c.across);
        m.cardsAcross = c.across;
        const QVector<PrintPage> pages = grid::layoutReport(m);
        QSet<int> xs;
        int cards = 0;
        for (const PrintPage& p : pages)
            for (const PrintItem& it : p.items)
                if (it.kind == PrintItem::CardFrame) {
                    xs.insert(it.rect.left());
                    ++cards;
                    EXPECT_LE(it.rect.bottom(), grid::PageSetup().pageHeightTwips);
                }
        EXPECT_EQ(cards, 40);
        EXPECT_EQ(xs.size(), c.expectedColumns);
        // Titles and lines read as on the screen.
        const auto title = std::find_if(pages[0].items.begin(), pages[0].items.end(),
                                        [](const PrintItem& it) { return it.kind == PrintItem::CardTitle; });
        ASSERT_NE(title, pages[0].items.end());
        EXPECT_EQ(title->text, "Party 0");
        EXPECT_EQ(countKind(pages[0], PrintItem::CardLine), countKind(pages[0], PrintItem::CardTitle) * 2);
    }
}

class GridPrintDbTest : public testsupport::DbTest {};

TEST_F(GridPrintDbTest, PreviewAndPrinterShowTheGridAndItsHeader)
{
    db().Execute("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_AMT) VALUES ('Cake', 300), ('Band', 900)");
    auto rs = ado::Recordset::create();
    rs->Open("SELECT BUDGET_ID, BUDGET_NAME AS [Item], BUDGET_AMT AS [Amount] FROM BUDGET", db());
    grid::GridEX g;
    g.bind(rs);
    g.setColumnHidden(1);
    g.setPageMargins(1152, 1152);
    g.setWidthTwips(12000);
    EXPECT_EQ(g.widthTwips(), 12000);

    QPrintPreviewWidget surface;
    QSignalSpy painted(&surface, &QPrintPreviewWidget::paintRequested);
    g.showPrintPreview(&surface);
    EXPECT_GE(painted.count(), 1);
    EXPECT_EQ(surface.pageCount(), 1);
    const int before = painted.count();
    g.setPageHeader("Budget");
    EXPECT_GT(painted.count(), before);  // the header set afterwards is shown too

    QTemporaryDir dir;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.filePath("report.pdf"));
    grid::printReport(g.reportModel(), pdf);
    EXPECT_GT(QFileInfo(dir.filePath("report.pdf")).size(), 0);
}

}  // namespace
