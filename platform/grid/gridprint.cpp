#include "platform/grid/gridprint.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace grid {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kCellPad = 60;
constexpr int kCardGap = 180;

struct Cursor {
    const PageSetup& setup;
    QVector<PrintPage>& pages;
    int left;
    int width;
    int y = 0;

    int bottom() const { return setup.pageHeightTwips - setup.bottomMarginTwips; }
    PrintPage& page() { return pages.last(); }
};

}  // namespace

QVector<PrintPage> layoutReport(const ReportModel& m, const PageSetup& setup)
{
    QVector<PrintPage> pages;
    const int leftMargin = m.leftMarginTwips > 0 ? m.leftMarginTwips : setup.defaultMarginTwips;
    const int rightMargin = m.rightMarginTwips > 0 ? m.rightMarginTwips : setup.defaultMarginTwips;
    const int printable = std::max(setup.pageWidthTwips - leftMargin - rightMargin, 1440);
    const int line = std::max(setup.lineHeightTwips, 60);
    Cursor cur{setup, pages, leftMargin, printable};

    // Column positions, narrowed together when they do not fit across.
    QVector<int> widths;
    int total = 0;
    for (const ReportColumn& c : m.columns) {
        widths << std::max(c.widthTwips, 0);
        total += widths.last();
    }
    if (total > printable) {
        int used = 0;
        for (int i = 0; i < widths.size(); ++i) {
            widths[i] = int(qint64(widths[i]) * printable / total);
            used += widths[i];
        }
        if (!widths.isEmpty())
            widths.last() += printable - used;
    }

    auto newPage = [&] {
        pages.push_back(PrintPage());
        cur.y = setup.topMarginTwips;
        if (!m.pageHeader.isEmpty()) {
            cur.page().items.push_back({PrintItem::PageHeader, QRect(cur.left, cur.y, printable, line * 2), m.pageHeader});
            cur.y += line * 2 + line / 2;
        }
        cur.page().items.push_back({PrintItem::PageNumber,
                                    QRect(cur.left, cur.bottom(), printable, setup.bottomMarginTwips / 2),
                                    QStringLiteral("Page %1").arg(pages.size())});
        if (m.layout == Layout::Rows && !m.columns.isEmpty()) {
            int x = cur.left;
            for (int i = 0; i < m.columns.size(); ++i) {
                cur.page().items.push_back({PrintItem::ColumnCaption, QRect(x, cur.y, widths[i], line),
                                            m.columns[i].caption, m.columns[i].rightAligned});
                x += widths[i];
            }
            cur.y += line;
        }
    };
    newPage();

    if (m.layout == Layout::Rows) {
        for (const ReportRow& r : m.rows) {
            if (cur.y + line > cur.bottom())
                newPage();
            if (r.kind == RowKind::GroupHeader) {
                cur.page().items.push_back({PrintItem::GroupHeader, QRect(cur.left, cur.y, printable, line), r.headerText});
            } else {
                int x = cur.left;
                const auto kind = r.kind == RowKind::Total ? PrintItem::Total : PrintItem::Cell;
                for (int i = 0; i < m.columns.size() && i < r.texts.size(); ++i) {
                    cur.page().items.push_back({kind, QRect(x, cur.y, widths[i], line), r.texts[i],
                                                m.columns[i].rightAligned});
                    x += widths[i];
                }
            }
            cur.y += line;
        }
        return pages;
    }

    // Cards: as many across as asked (or as fit), each as tall as its lines.
    int across = m.cardsAcross;
    if (across <= 0)
        across = std::max(1, (printable + kCardGap) / (std::max(m.cardWidthTwips, 720) + kCardGap));
    const int cardWidth = (printable - (across - 1) * kCardGap) / across;
    const int cardHeight = line * (int(m.columns.size()) + 1) + kCellPad * 2;
    int slot = 0;
    bool pageHasCards = false;
    for (const ReportRow& r : m.rows) {
        if (r.kind != RowKind::Record)
            continue;
        if (slot == across) {
            slot = 0;
            cur.y += cardHeight + kCardGap;
        }
        if (slot == 0 && pageHasCards && cur.y + cardHeight > cur.bottom()) {
            newPage();
            pageHasCards = false;
        }
        pageHasCards = true;
        const int x = cur.left + slot * (cardWidth + kCardGap);
        PrintPage& p = cur.page();
        p.items.push_back({PrintItem::CardFrame, QRect(x, cur.y, cardWidth, cardHeight), QString()});
        p.items.push_back({PrintItem::CardTitle, QRect(x + kCellPad, cur.y + kCellPad, cardWidth - 2 * kCellPad, line),
                           r.headerText});
        for (int i = 0; i < m.columns.size() && i < r.texts.size(); ++i)
            p.items.push_back({PrintItem::CardLine,
                               QRect(x + kCellPad, cur.y + kCellPad + line * (i + 1), cardWidth - 2 * kCellPad, line),
                               m.columns[i].caption + ": " + r.texts[i]});
        ++slot;
    }
    return pages;
}

void paintPage(QPainter& painter, const PrintPage& page, double pixelsPerTwip)
{
    auto toDevice = [&](const QRect& r) {
        return QRectF(r.x() * pixelsPerTwip, r.y() * pixelsPerTwip, r.width() * pixelsPerTwip,
                      r.height() * pixelsPerTwip);
    };
    painter.save();
    QFont base(QStringLiteral("Sans Serif"));
    base.setPointSizeF(9);
    QFont bold = base;
    bold.setBold(true);
    QFont title = base;
    title.setPointSizeF(14);
    title.setBold(true);
    for (const PrintItem& it : page.items) {
        const QRectF r = toDevice(it.rect);
        const QRectF inner = r.adjusted(kCellPad * pixelsPerTwip, 0, -kCellPad * pixelsPerTwip, 0);
        int align = Qt::AlignVCenter | (it.rightAligned ? Qt::AlignRight : Qt::AlignLeft);
        switch (it.kind) {
        case PrintItem::PageHeader:
            painter.setFont(title);
            align = Qt::AlignCenter;
            break;
        case PrintItem::PageNumber:
            painter.setFont(base);
            align = Qt::AlignCenter;
            break;
        case PrintItem::ColumnCaption:
            painter.setFont(bold);
            painter.fillRect(r, QColor(230, 230, 230));
            painter.drawRect(r);
            break;
        case PrintItem::GroupHeader:
            painter.setFont(bold);
            painter.fillRect(r, QColor(242, 242, 242));
            break;
        case PrintItem::Total:
            painter.setFont(bold);
            painter.drawLine(r.topLeft(), r.topRight());
            break;
        case PrintItem::CardFrame:
            painter.drawRect(r);
            continue;
        case PrintItem::CardTitle:
            painter.setFont(bold);
            break;
        case PrintItem::Cell:
        case PrintItem::CardLine:
            painter.setFont(base);
            break;
        }
        const QString text = QFontMetrics(painter.font(), painter.device())
                                 .elidedText(it.text, Qt::ElideRight, int(inner.width()));
        painter.drawText(inner, align, text);
    }
    painter.restore();
}

void printReport(const ReportModel& model, QPrinter& printer)
{
    printer.setFullPage(true);
    const QRectF full = printer.pageLayout().fullRect(QPageLayout::Inch);
    PageSetup setup;
    setup.pageWidthTwips = int(full.width() * kTwipsPerInch);
    setup.pageHeightTwips = int(full.height() * kTwipsPerInch);
    const QVector<PrintPage> pages = layoutReport(model, setup);
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    const double scale = double(printer.resolution()) / kTwipsPerInch;
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer.newPage();
        paintPage(painter, pages[i], scale);
    }
}

}  // namespace grid
