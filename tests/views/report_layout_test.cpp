// The printed report as data: header on every page, columns within the
// margins, group and total rows, cards across and pagination; then the same
// report from a real grid written to a PDF file.

#include "support/datamode.h"
#include "support/fixture.h"
#include "support/pdf.h"
#include "views/report.h"

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

using report::ItemKind;

namespace {

// Every seventh record of a tall model has a note long enough to wrap.
grid::ReportModel rowsModel(int records, QVector<int> widths, bool groups = false, bool total = false,
                            bool tall = false)
{
    grid::ReportModel m;
    m.pageHeader = "Expense Report for Our Wedding";
    m.leftMarginTwips = m.rightMarginTwips = 1152;
    for (int k = 0; k < widths.size(); ++k)
        m.columns << grid::ReportColumn{k + 1, QString("Col%1").arg(k + 1), widths[k], k == widths.size() - 1};
    for (int r = 0; r < records; ++r) {
        if (groups && r % 10 == 0) {
            grid::ReportRow h;
            h.kind = grid::RowKind::GroupHeader;
            h.headerText = QString("Event: E%1 (10)").arg(r / 10);
            h.texts = QStringList(QVector<QString>(widths.size()).toList());
            m.rows << h;
        }
        grid::ReportRow row;
        row.record = r;
        for (int k = 0; k < widths.size(); ++k)
            row.texts << QString("r%1c%2").arg(r).arg(k);
        if (tall && r % 7 == 3)
            row.texts[0] += QString(" — call the florist about the centrepieces and the ribbons").repeated(3);
        m.rows << row;
    }
    if (total) {
        grid::ReportRow t;
        t.kind = grid::RowKind::Total;
        for (int k = 0; k < widths.size(); ++k)
            t.texts << (k == widths.size() - 1 ? "$1,200.00" : "");
        m.rows << t;
    }
    return m;
}

int countKind(const report::Page& p, ItemKind k)
{
    int n = 0;
    for (const auto& it : p.items)
        n += it.kind == k;
    return n;
}

}  // namespace

TEST(ReportLayout, TitlesByView)
{
    const std::pair<const char*, const char*> cases[] = {
        {"DueTasks", "Due Tasks for Our Wedding"},
        {"Expenses", "Expense Report for Our Wedding"},
        {"Addresses", "Guest-Address Report for Our Wedding"},
        {"FemaleMeasurement", "Female Measurements Report for Our Wedding"},
        {"Budget", "Budget Report for Our Wedding"},
        {"Attire", "Attire Report for Our Wedding"},
        {"RSVP", "RSVP Report for Our Wedding"},
        {"Month", ""},
        {"", ""},
    };
    for (const auto& [mode, title] : cases)
        EXPECT_EQ(report::reportTitle(testsupport::dataModeNamed(mode)), QString(title)) << mode;
}

TEST(ReportLayout, ColumnsAtTrueWidthOrShrunkWithinMargins)
{
    const report::PageSpec page;   // Letter, 1152 twips each side
    const int printable = page.widthTwips - 2 * 1152;
    struct Case {
        QVector<int> widths;
        double scale;
    } cases[] = {
        {{2400, 1500, 1500}, 1.0},
        {{printable}, 1.0},
        {{6000, 6000}, double(printable) / 12000},
        {{20000, 0, 1000}, double(printable) / 21000},
    };
    for (const Case& c : cases) {
        const report::Layout l = report::layoutReport(rowsModel(3, c.widths), page);
        ASSERT_EQ(l.columnWidth.size(), c.widths.size());
        EXPECT_DOUBLE_EQ(l.columnScale, c.scale);
        EXPECT_EQ(l.columnLeft.front(), 1152);
        for (int k = 0; k < c.widths.size(); ++k) {
            if (c.scale == 1.0) {
                EXPECT_EQ(l.columnWidth[k], c.widths[k]);
            }
            if (k > 0) {
                EXPECT_EQ(l.columnLeft[k], l.columnLeft[k - 1] + l.columnWidth[k - 1]);
            }
        }
        EXPECT_LE(l.columnLeft.back() + l.columnWidth.back(), page.widthTwips - 1152);
        for (const auto& it : l.pages[0].items)
            for (const auto& cell : it.cells)
                EXPECT_TRUE(l.printable.contains(cell.rect) || cell.rect.width() == 0);
    }
}

TEST(ReportLayout, HeaderOnEveryPageGroupsTotalAndPagination)
{
    const report::PageSpec page;
    const grid::ReportModel m = rowsModel(120, {3000, 2000, 1500}, true, true);
    const report::Layout l = report::layoutReport(m, page);
    ASSERT_GT(l.pages.size(), 2);

    int records = 0, groups = 0, totals = 0, last = -1;
    for (int p = 0; p < l.pages.size(); ++p) {
        const auto& items = l.pages[p].items;
        ASSERT_GE(items.size(), 3);
        EXPECT_EQ(items[0].kind, ItemKind::Title);
        EXPECT_EQ(items[0].text, "Expense Report for Our Wedding");
        EXPECT_EQ(items[1].kind, ItemKind::ColumnHeader);
        EXPECT_EQ(items[1].cells[0].text, "Col1");
        EXPECT_EQ(countKind(l.pages[p], ItemKind::Title), 1);
        int bottom = 0;
        for (const auto& it : items) {
            EXPECT_GE(it.rect.top(), bottom) << "items overlap on page " << p;
            bottom = it.rect.bottom() + 1;
            EXPECT_LE(it.rect.bottom(), l.printable.bottom()) << "page " << p;
            if (it.kind == ItemKind::Record) {
                EXPECT_EQ(it.record, last + 1);   // nothing lost or repeated across pages
                last = it.record;
            }
        }
        records += countKind(l.pages[p], ItemKind::Record);
        groups += countKind(l.pages[p], ItemKind::GroupRow);
        totals += countKind(l.pages[p], ItemKind::Total);
    }
    EXPECT_EQ(records, 120);
    EXPECT_EQ(groups, 12);
    EXPECT_EQ(totals, 1);
    const auto& lastItems = l.pages.back().items;
    EXPECT_EQ(lastItems.back().kind, ItemKind::Total);
    EXPECT_EQ(lastItems.back().cells.back().text, "$1,200.00");
    EXPECT_TRUE(lastItems.back().cells.back().rightAligned);

    // The rows per page follow from the page height.
    const int body = l.printable.height() - report::kTitleHeight - report::kHeaderGap - report::kLineHeight;
    const report::Layout plain = report::layoutReport(rowsModel(200, {3000}), page);
    EXPECT_EQ(countKind(plain.pages[0], ItemKind::Record), body / report::kLineHeight);
}

TEST(ReportLayout, HeadersStayWithTheirFirstRecordAndTheTotalWithTheLast)
{
    // Every count of records around a page break, rows of one line and rows
    // grown by wrapped notes: no page without a record, no header at a
    // page's foot, no total alone, nothing past the margin.
    for (bool tall : {false, true})
    for (int records = 30; records <= 110; ++records) {
        const report::Layout l = report::layoutReport(rowsModel(records, {3000, 2000}, true, true, tall), {});
        for (int p = 0; p < l.pages.size(); ++p) {
            const auto& items = l.pages[p].items;
            EXPECT_LE(items.back().rect.bottom(), l.printable.bottom());
            EXPECT_GT(countKind(l.pages[p], ItemKind::Record), 0) << records << " records, page " << p + 1;
            EXPECT_NE(items.back().kind, ItemKind::GroupRow) << records << " records, page " << p + 1;
            if (items.back().kind == ItemKind::Total) {
                EXPECT_EQ(items[items.size() - 2].kind, ItemKind::Record) << records << " records";
            }
        }
    }
}

TEST(ReportLayout, LongValuesWrapWithinTheirColumnAndTheRowGrows)
{
    const QFont font = report::fontFor(ItemKind::Record);
    const int spacing = QFontMetrics(font).lineSpacing();
    struct Case {
        QString text;
        int width;       // twips
        bool wraps;
    } cases[] = {
        {"Friend of the Bride", 800, true},
        {"Family of the Groom", 1300, false},   // ... where the font is narrow enough
        {"reservations.team@lakeside-pavilion-weddings.com", 1800, true},   // no blank to break at
        {"Confirm the final menu, seating chart and delivery times with the caterer", 3400, true},
        {"Groom", 1300, false},
        {"Zoë Ñúñez-Castellano", 900, true},
        {"", 800, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        grid::ReportModel m;
        m.columns << grid::ReportColumn{2, "Note", c.width, false} << grid::ReportColumn{3, "Amount", 1200, true};
        grid::ReportRow row;
        row.record = 0;
        row.texts << c.text << "$1,250.50";
        m.rows << row;
        const report::Layout l = report::layoutReport(m, {});
        const report::Item& it = l.pages[0].items.back();
        ASSERT_EQ(it.kind, ItemKind::Record);
        EXPECT_EQ(report::cutTexts(it), QStringList());
        const QStringList lines = it.cells[0].printedLines();
        const bool wide = QFontMetrics(font).horizontalAdvance(c.text) > c.width - 60;
        EXPECT_EQ(lines.size() > 1, wide);
        if (c.wraps && c.width <= 1800) {
            EXPECT_GT(lines.size(), 1);
        }
        EXPECT_EQ(QString(lines.join(' ')).remove(' '), QString(c.text).remove(' '));
        // The row grows by a line for each further line; every cell spans it.
        EXPECT_EQ(it.rect.height(), report::kLineHeight + (lines.size() - 1) * spacing);
        EXPECT_EQ(it.cells[1].rect.height(), it.rect.height());
        EXPECT_EQ(it.cells[1].printedLines(), QStringList({"$1,250.50"}));
    }
}

// Every page as printed: each item's kind, place and lines, and its cells'.
QStringList printedPages(const report::Layout& l)
{
    const auto place = [](const QRect& r) {
        return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    };
    QStringList out;
    for (int p = 0; p < l.pages.size(); ++p)
        for (const report::Item& it : l.pages[p].items) {
            QString line = QString("%1 %2 %3 %4 [%5]")
                               .arg(p)
                               .arg(int(it.kind))
                               .arg(place(it.rect))
                               .arg(it.record)
                               .arg(it.printedLines().join('|'));
            for (const report::Cell& c : it.cells)
                line += QString(" {%1 %2%3 %4}")
                            .arg(place(c.rect))
                            .arg(c.rightAligned)
                            .arg(c.caption)
                            .arg(c.printedLines().join('|'));
            out << line;
        }
    return out;
}

TEST(ReportLayout, PagesMadeWhenAskedForAreThePagesOfTheWholeReport)
{
    // The preview reads a grid's rows as it lays them out: planning reads
    // each row once, a page made later reads its own rows alone, and the
    // pages come out as those of the rows held whole, asked for in any
    // order: wrapped notes, headers kept with their records, the total with
    // the last.
    grid::ReportModel cards = rowsModel(25, {1500, 1500});
    cards.layout = grid::Layout::Cards;
    const grid::ReportModel models[] = {
        rowsModel(260, {3000, 2000, 1500}, true, true, true),
        rowsModel(97, {1100, 700}, true, true, true),
        rowsModel(0, {2000}, false, true),
        cards,
    };
    for (const grid::ReportModel& m : models) {
        const QStringList whole = printedPages(report::layoutReport(m, {}));
        int reads = 0;
        grid::ReportModel asked = m;
        asked.rows.clear();
        asked.rowCount = int(m.rows.size());
        asked.rowAt = [&reads, rows = m.rows](int i) {
            ++reads;
            return rows[i];
        };
        const report::PagedReport paged(asked, {});
        EXPECT_EQ(reads, m.rows.size()) << "planned";
        report::Layout l = paged.frame();
        l.pages.resize(paged.pageCount());
        for (int p = paged.pageCount() - 1; p >= 0; --p) {
            reads = 0;
            l.pages[p] = paged.page(p);
            int own = 0;
            for (const report::Item& it : l.pages[p].items)
                own += it.kind != ItemKind::Title && it.kind != ItemKind::ColumnHeader;
            EXPECT_EQ(reads, own) << "page " << p + 1;
        }
        EXPECT_EQ(printedPages(l), whole);
        reads = 0;
        paged.page(0);
        EXPECT_EQ(reads, 0) << "a page just shown is kept";
    }
}

TEST(ReportLayout, FiguresStandClearOfTheTextOfTheNextColumn)
{
    // "Amt Due" and "Due Date": a right-aligned column, then a left-aligned one.
    grid::ReportModel m;
    m.columns << grid::ReportColumn{6, "Amt Due", 1200, true} << grid::ReportColumn{7, "Due Date", 1400, false};
    for (const char* amount : {"$12,345.67", "$999.99", "$0.00"}) {
        grid::ReportRow row;
        row.record = int(m.rows.size());
        row.texts << amount << "9/10/2026";
        m.rows << row;
    }
    const report::Layout l = report::layoutReport(m, {});
    constexpr double kScale = 0.1;   // 144 dots an inch
    QImage page(int(l.page.widthTwips * kScale), int(l.page.heightTwips * kScale), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter p(&page);
    p.scale(kScale, kScale);
    report::paintPage(p, l, 0);
    p.end();
    const int border = l.columnLeft[1];
    for (const report::Item& it : l.pages[0].items) {
        // At least a twelfth of an inch of paper between the ink of the two
        // columns on the first line of each row and of the captions.
        const int top = int((it.rect.top() + 40) * kScale), bottom = int((it.rect.top() + 260) * kScale);
        int lastInk = -1, firstInk = -1;
        for (int x = int(l.columnLeft[0] * kScale); x < int((border + 1400) * kScale); ++x)
            for (int y = top; y <= bottom; ++y)
                if (qGray(page.pixel(x, y)) < 160) {
                    if (x < border * kScale)
                        lastInk = x;
                    else if (firstInk < 0)
                        firstInk = x;
                }
        ASSERT_GE(lastInk, 0);
        ASSERT_GE(firstInk, 0);
        EXPECT_GE((firstInk - lastInk) / kScale, 120) << it.cells[0].text.toStdString();
    }
}

TEST(ReportLayout, EmptyReportsAndHeaderlessViews)
{
    grid::ReportModel m = rowsModel(0, {2000});
    m.pageHeader.clear();
    report::Layout l = report::layoutReport(m, {});
    ASSERT_EQ(l.pages.size(), 1);
    ASSERT_EQ(l.pages[0].items.size(), 1);   // the column header only
    EXPECT_EQ(l.pages[0].items[0].kind, ItemKind::ColumnHeader);

    grid::ReportModel none;
    none.layout = grid::Layout::Cards;
    l = report::layoutReport(none, {});
    EXPECT_EQ(l.pages.size(), 1);
    EXPECT_TRUE(l.pages[0].items.isEmpty());
}

TEST(ReportLayout, CardsAcrossThePage)
{
    grid::ReportModel m;
    m.layout = grid::Layout::Cards;
    m.pageHeader = "Guest-Address Report for Our Wedding";
    m.cardWidthTwips = 3000;
    m.cardCaptionColumn = 2;
    m.leftMarginTwips = m.rightMarginTwips = 1152;
    for (int k = 0; k < 4; ++k)
        m.columns << grid::ReportColumn{k + 3, QString("F%1").arg(k), 1500, false};
    for (int r = 0; r < 40; ++r) {
        grid::ReportRow row;
        row.record = r;
        row.headerText = QString("Party %1").arg(r);
        row.texts = QStringList{"a", "b", "c", "d"};
        m.rows << row;
    }
    struct Case {
        int across;
        int expectAcross;
        int expectWidth;
    } cases[] = {
        {3, 3, 3000},
        {1, 1, 3000},
        {0, 3, 3000},                                       // as many as fit
        {4, 4, (12240 - 2304 - 3 * report::kCardGap) / 4},  // shrunk to fit
    };
    for (const Case& c : cases) {
        m.cardsAcross = c.across;
        const report::Layout l = report::layoutReport(m, {});
        EXPECT_EQ(l.cardsAcross, c.expectAcross);
        EXPECT_EQ(l.cardWidth, c.expectWidth);
        int cards = 0;
        for (const auto& p : l.pages) {
            EXPECT_EQ(p.items.front().kind, ItemKind::Title);
            EXPECT_EQ(countKind(p, ItemKind::ColumnHeader), 0);
            for (const auto& it : p.items) {
                if (it.kind != ItemKind::Card)
                    continue;
                EXPECT_TRUE(l.printable.contains(it.rect)) << c.across;
                EXPECT_EQ(it.text, QString("Party %1").arg(it.record));
                EXPECT_EQ(it.cells.size(), 8);   // caption and value per field
                EXPECT_EQ(it.cells[0].text, "F0:");
                ++cards;
            }
        }
        EXPECT_EQ(cards, 40);
        // The first row holds `across` cards side by side.
        const auto& items = l.pages[0].items;
        for (int k = 1; k < std::min<int>(c.expectAcross, 40); ++k) {
            EXPECT_EQ(items[k + 1].rect.top(), items[1].rect.top());
            EXPECT_EQ(items[k + 1].rect.left(), items[k].rect.right() + 1 + report::kCardGap);
        }
    }
}

class ReportPdfTest : public testsupport::DbTest {};

TEST_F(ReportPdfTest, ExpenseReportFromTheGridWrittenToPdf)
{
    for (int i = 0; i < 70; ++i)
        db().Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_EVENT, EXPENSE_AMTPAID) VALUES (?, ?, ?)",
                     {QString("Item %1").arg(i), i % 2 ? "Reception" : "Ceremony", 10.5 * i});
    auto rs = ado::Recordset::create();
    rs->Open("SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item], EXPENSE_EVENT AS [Event], EXPENSE_AMTPAID AS [Amt Paid] "
             "FROM EXPENSES ORDER BY EXPENSE_ID",
             db(), ado::adOpenKeyset, ado::adLockOptimistic);
    grid::GridEX g;
    g.resize(300, 200);
    g.bind(rs);
    g.setColumnHidden(1);
    g.setColumnWidth(2, 3000);
    g.setColumnWidth(3, 2000);
    g.setColumnWidth(4, 1800);
    g.setColumnFormat(4, "Currency");
    g.groupBy(3);
    g.setTotalRow(2);
    g.setColumnAggregate(4, grid::agSum);
    g.setColumnTotalFormat(4, "Currency");
    g.setPageMargins(1152, 1152);
    g.setPageHeader(report::reportTitle(views::DataMode::Expenses));
    const int widthBefore = g.width();

    const grid::ReportModel m = g.reportModel();
    const report::Layout l = report::layoutReport(m, {});
    EXPECT_EQ(l.pages.size(), 2);

    QTemporaryDir dir;
    const QString file = dir.filePath("expenses.pdf");
    ASSERT_TRUE(report::writeReportPdf(m, file));
    EXPECT_EQ(g.width(), widthBefore);   // the report leaves the grid on screen alone

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    const QString info = testsupport::pdfInfo(file);
    EXPECT_TRUE(info.isNull() || info.contains(QRegularExpression("Pages:\\s+2\\b"))) << info.toStdString();
    const QString out = testsupport::pdfText(file);
    if (!out.isNull()) {
        EXPECT_EQ(out.count("Expense Report for Our Wedding"), 2);
        EXPECT_TRUE(out.contains("Event: Ceremony (35)")) << out.toStdString();
        EXPECT_TRUE(out.contains("Item 69"));
    }
    if (qEnvironmentVariableIsSet("NUPTARO_KEEP_PDF"))
        QFile::copy(file, qEnvironmentVariable("NUPTARO_KEEP_PDF") + "/expenses.pdf");
}
