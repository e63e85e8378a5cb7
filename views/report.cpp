#include "views/report.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace report {

QString reportTitle(const QString& mode)
{
    static const std::pair<const char*, const char*> titles[] = {
        {"DueTasks", "Due Tasks for Our Wedding"},
        {"AllTasks", "All Tasks for Our Wedding"},
        {"IncompleteTasks", "Incomplete Tasks for Our Wedding"},
        {"CompleteTasks", "Complete Tasks for Our Wedding"},
        {"Events", "Events Planned for Our Wedding"},
        {"Guests", "Guest Report for Our Wedding"},
        {"Addresses", "Guest-Address Report for Our Wedding"},
        {"RSVP", "RSVP Report for Our Wedding"},
        {"Vendors", "Vendor Report for Our Wedding"},
        {"Quotes", "Quote Report for Our Wedding"},
        {"Expenses", "Expense Report for Our Wedding"},
        {"Registry", "Registry Report for Our Wedding"},
        {"Gifts", "Gift Report for Our Wedding"},
        {"FemaleMeasurement", "Female Measurements Report for Our Wedding"},
        {"MaleMeasurement", "Male Measurements Report for Our Wedding"},
        {"Budget", "Budget Report for Our Wedding"},
        {"Attire", "Attire Report for Our Wedding"},
    };
    for (const auto& [key, title] : titles) {
        if (mode == QLatin1String(key))
            return QString::fromLatin1(title);
    }
    return QString();
}

PageSpec pageSpecFor(const QPagedPaintDevice& device, const grid::ReportModel& m)
{
    PageSpec s;
    const QRectF full = device.pageLayout().fullRectPoints();
    if (full.width() > 0 && full.height() > 0) {
        s.widthTwips = int(std::lround(full.width() * 20));
        s.heightTwips = int(std::lround(full.height() * 20));
    }
    if (m.leftMarginTwips > 0)
        s.leftMargin = m.leftMarginTwips;
    if (m.rightMarginTwips > 0)
        s.rightMargin = m.rightMarginTwips;
    return s;
}

namespace {

QFont fontOf(int twipsHeight, bool bold)
{
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(twipsHeight);   // the painter's units are twips
    f.setBold(bold);
    return f;
}

constexpr int kTextPad = 30;

int lineSpacing(const QFont& f) { return QFontMetrics(f).lineSpacing(); }

// The height a text takes broken into lines at blanks within the width.
int wrappedHeight(const QFont& f, const QString& text, int width)
{
    const QRect r = QFontMetrics(f).boundingRect(QRect(0, 0, std::max(1, width - 2 * kTextPad), 1 << 24),
                                                 Qt::TextWordWrap | Qt::AlignLeft, text);
    return r.height();
}

// A cell's height for its text: one line, plus the further lines it wraps to.
int cellHeight(const QFont& f, const QString& text, int width)
{
    const int lines = std::max(1, (wrappedHeight(f, text, width) + lineSpacing(f) / 2) / lineSpacing(f));
    return kLineHeight + (lines - 1) * lineSpacing(f);
}

void drawText(QPainter& p, const QRect& r, const QString& text, bool right, bool wraps = false)
{
    const QRect inner = r.adjusted(kTextPad, 0, -kTextPad, 0);
    const int align = Qt::AlignVCenter | (right ? Qt::AlignRight : Qt::AlignLeft);
    if (wraps) {
        p.drawText(inner, align | Qt::TextWordWrap, text);
        return;
    }
    const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, inner.width());
    p.drawText(inner, align | Qt::TextSingleLine, shown);
}

// Lays items top to bottom on pages; each page starts with the page header.
class Pager {
public:
    Pager(Layout& l, const grid::ReportModel& m) : l_(l), m_(m) {}

    void newPage()
    {
        l_.pages.push_back(Page{});
        y_ = l_.printable.top();
        if (!m_.pageHeader.isEmpty()) {
            Item t;
            t.kind = ItemKind::Title;
            t.rect = QRect(l_.printable.left(), y_, l_.printable.width(), kTitleHeight);
            t.text = m_.pageHeader;
            add(t);
            y_ += kHeaderGap;
        }
        if (m_.layout == grid::Layout::Rows && !m_.columns.isEmpty()) {
            Item h;
            h.kind = ItemKind::ColumnHeader;
            h.rect = QRect(l_.printable.left(), y_, usedWidth(), l_.headerHeight);
            for (int k = 0; k < m_.columns.size(); ++k)
                h.cells << Cell{QRect(l_.columnLeft[k], y_, l_.columnWidth[k], l_.headerHeight),
                                m_.columns[k].caption, m_.columns[k].rightAligned, false, true};
            add(h);
        }
        bodyTop_ = y_;
    }

    // Room for `height` on this page, or a new page; an item taller than a
    // whole page still goes on a page of its own.
    int place(int height)
    {
        if (l_.pages.isEmpty())
            newPage();
        if (y_ + height > l_.printable.bottom() + 1 && y_ > bodyTop_)
            newPage();
        const int top = y_;
        return top;
    }
    void advance(int height) { y_ += height; }
    void add(const Item& it)
    {
        l_.pages.back().items << it;
        y_ = std::max(y_, it.rect.bottom() + 1);
    }
    int usedWidth() const
    {
        if (l_.columnLeft.isEmpty())
            return 0;
        return l_.columnLeft.back() + l_.columnWidth.back() - l_.printable.left();
    }

private:
    Layout& l_;
    const grid::ReportModel& m_;
    int y_ = 0;
    int bodyTop_ = 0;
};

void layoutRows(Layout& l, const grid::ReportModel& m, Pager& pager)
{
    int total = 0;
    for (const grid::ReportColumn& c : m.columns)
        total += std::max(0, c.widthTwips);
    const int avail = l.printable.width();
    l.columnScale = total > avail && total > 0 ? double(avail) / total : 1.0;
    int x = l.printable.left();
    for (const grid::ReportColumn& c : m.columns) {
        const int w = int(std::floor(std::max(0, c.widthTwips) * l.columnScale));
        l.columnLeft << x;
        l.columnWidth << w;
        x += w;
    }
    // A caption too wide for its column goes on two lines (or more).
    l.headerHeight = kLineHeight;
    for (int k = 0; k < m.columns.size(); ++k)
        l.headerHeight = std::max(l.headerHeight,
                                  cellHeight(fontFor(ItemKind::ColumnHeader), m.columns[k].caption, l.columnWidth[k]));
    pager.newPage();
    // A group header stays with its first record and the total with the last
    // record: each row needs room for the rows it keeps with.
    const int n = int(m.rows.size());
    const auto heightOf = [&](int i) { return m.rows[i].kind == grid::RowKind::GroupHeader ? kGroupHeight : kLineHeight; };
    const auto keepsWithNext = [&](int i) {
        return i + 1 < n && (m.rows[i].kind == grid::RowKind::GroupHeader || m.rows[i + 1].kind == grid::RowKind::Total);
    };
    QVector<int> need(n);
    for (int i = n - 1; i >= 0; --i)
        need[i] = heightOf(i) + (keepsWithNext(i) ? need[i + 1] : 0);
    for (int i = 0; i < n; ++i) {
        const grid::ReportRow& r = m.rows[i];
        Item it;
        it.record = r.record;
        const int h = heightOf(i);
        switch (r.kind) {
        case grid::RowKind::GroupHeader:
            it.kind = ItemKind::GroupRow;
            it.text = r.headerText;
            break;
        case grid::RowKind::Total:
            it.kind = ItemKind::Total;
            break;
        default:
            it.kind = ItemKind::Record;
            break;
        }
        // The rows kept with the one before already have their room.
        const int y = i > 0 && keepsWithNext(i - 1) ? pager.place(h) : pager.place(need[i]);
        it.rect = QRect(l.printable.left(), y, pager.usedWidth(), h);
        if (it.kind != ItemKind::GroupRow) {
            for (int k = 0; k < m.columns.size(); ++k)
                it.cells << Cell{QRect(l.columnLeft[k], y, l.columnWidth[k], h), r.texts.value(k),
                                 m.columns[k].rightAligned, false};
        }
        pager.add(it);
    }
}

void layoutCards(Layout& l, const grid::ReportModel& m, Pager& pager)
{
    const int avail = l.printable.width();
    int cardW = m.cardWidthTwips > 0 ? m.cardWidthTwips : 3000;
    int across = m.cardsAcross > 0 ? m.cardsAcross : std::max(1, (avail + kCardGap) / (cardW + kCardGap));
    if (across * cardW + (across - 1) * kCardGap > avail)
        cardW = std::max(1, (avail - (across - 1) * kCardGap) / across);
    l.cardsAcross = across;
    l.cardWidth = cardW;
    // The captions take what the widest needs; the values the rest, and a
    // long value (a street) wraps onto further lines.
    int captionW = 0;
    for (const grid::ReportColumn& c : m.columns)
        captionW = std::max(captionW, QFontMetrics(fontFor(ItemKind::Card, true)).horizontalAdvance(c.caption + ':'));
    // (A little to spare: the printer measures a shade wider than the screen.)
    captionW = std::min(captionW + 3 * kTextPad + kCardPadding, cardW / 2);
    const int valueW = cardW - captionW - kCardPadding;
    const QFont valueFont = fontFor(ItemKind::Card, false);

    // One card per record; each row of cards is as tall as its tallest.
    QVector<Item> cards;
    for (const grid::ReportRow& r : m.rows) {
        if (r.kind != grid::RowKind::Record)
            continue;
        Item it;
        it.kind = ItemKind::Card;
        it.record = r.record;
        it.text = r.headerText;
        int y = kCardPadding + (m.cardCaptionColumn ? kLineHeight : 0);
        for (int k = 0; k < m.columns.size(); ++k) {
            const QString value = r.texts.value(k);
            const int h = cellHeight(valueFont, value, valueW);
            it.cells << Cell{QRect(kCardPadding, y, captionW - kCardPadding, kLineHeight), m.columns[k].caption + ':',
                             false, true};
            it.cells << Cell{QRect(captionW, y, valueW, h), value, false, false, true};
            y += h;
        }
        it.rect = QRect(0, 0, cardW, y + kCardPadding);
        cards << it;
    }

    pager.newPage();
    for (int first = 0; first < cards.size(); first += across) {
        const int last = std::min<int>(first + across, cards.size());
        int rowH = 0;
        for (int i = first; i < last; ++i)
            rowH = std::max(rowH, cards[i].rect.height());
        const int top = pager.place(rowH);
        for (int i = first; i < last; ++i) {
            Item it = cards[i];
            const QPoint at(l.printable.left() + (i - first) * (cardW + kCardGap), top);
            it.rect = QRect(at, QSize(cardW, rowH));
            for (Cell& c : it.cells)
                c.rect.translate(at);
            pager.add(it);
        }
        pager.advance(kCardGap);
    }
}

}  // namespace

QFont fontFor(ItemKind kind, bool caption)
{
    switch (kind) {
    case ItemKind::Title:
        return fontOf(280, true);
    case ItemKind::ColumnHeader:
        // Plain, so that "Done" fits its narrow column; the band is shaded.
        return fontOf(160, false);
    case ItemKind::Total:
        return fontOf(160, true);
    case ItemKind::GroupRow:
        return fontOf(170, true);
    case ItemKind::Card:
        return fontOf(150, caption);
    case ItemKind::Record:
        break;
    }
    return fontOf(160, false);
}

bool fits(ItemKind kind, bool caption, const QString& text, const QRect& cell, bool wraps)
{
    const QFont f = fontFor(kind, caption);
    const int pad = kind == ItemKind::Title ? 0 : 2 * kTextPad;
    if (!wraps)
        return QFontMetrics(f).horizontalAdvance(text) <= cell.width() - pad;
    const QRect r = QFontMetrics(f).boundingRect(QRect(0, 0, std::max(1, cell.width() - pad), 1 << 24),
                                                 Qt::TextWordWrap | Qt::AlignLeft, text);
    return r.width() <= cell.width() - pad && r.height() <= cell.height();
}

Layout layoutReport(const grid::ReportModel& m, const PageSpec& page)
{
    Layout l;
    l.page = page;
    l.printable = QRect(page.leftMargin, page.topMargin,
                        std::max(1, page.widthTwips - page.leftMargin - page.rightMargin),
                        std::max(1, page.heightTwips - page.topMargin - page.bottomMargin));
    Pager pager(l, m);
    if (m.layout == grid::Layout::Cards)
        layoutCards(l, m, pager);
    else
        layoutRows(l, m, pager);
    if (l.pages.isEmpty())
        pager.newPage();
    return l;
}

void paintPage(QPainter& p, const Layout& l, int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= l.pages.size())
        return;
    p.save();
    const QPen thin(Qt::black, 10);
    const QPen faint(QColor(170, 170, 170), 8);
    for (const Item& it : l.pages[pageIndex].items) {
        switch (it.kind) {
        case ItemKind::Title:
            p.setFont(fontFor(it.kind));
            p.setPen(Qt::black);
            p.drawText(it.rect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, it.text);
            break;
        case ItemKind::ColumnHeader:
            p.fillRect(it.rect, QColor(225, 225, 225));
            p.setFont(fontFor(it.kind));
            p.setPen(thin);
            for (const Cell& c : it.cells)
                drawText(p, c.rect, c.text, c.rightAligned, c.wraps);
            p.drawLine(it.rect.bottomLeft(), it.rect.bottomRight());
            break;
        case ItemKind::GroupRow:
            p.fillRect(it.rect.adjusted(0, 30, 0, -10), QColor(240, 240, 240));
            p.setFont(fontFor(it.kind));
            p.setPen(Qt::black);
            drawText(p, it.rect, it.text, false);
            break;
        case ItemKind::Record:
            p.setFont(fontFor(it.kind));
            p.setPen(Qt::black);
            for (const Cell& c : it.cells)
                drawText(p, c.rect, c.text, c.rightAligned);
            p.setPen(faint);
            p.drawLine(it.rect.bottomLeft(), it.rect.bottomRight());
            break;
        case ItemKind::Total:
            p.setPen(thin);
            p.drawLine(it.rect.topLeft(), it.rect.topRight());
            p.setFont(fontFor(it.kind));
            for (const Cell& c : it.cells)
                drawText(p, c.rect, c.text, c.rightAligned);
            break;
        case ItemKind::Card: {
            p.setPen(thin);
            p.setBrush(Qt::NoBrush);
            p.drawRect(it.rect);
            if (!it.text.isEmpty()) {
                const QRect cap(it.rect.left(), it.rect.top(), it.rect.width(), kLineHeight + kCardPadding);
                p.fillRect(cap.adjusted(5, 5, -5, 0), QColor(225, 225, 225));
                p.setFont(fontFor(ItemKind::GroupRow));
                drawText(p, cap.adjusted(kCardPadding - kTextPad, 0, 0, 0), it.text, false);
            }
            for (const Cell& c : it.cells) {
                p.setFont(fontFor(it.kind, c.caption));
                drawText(p, c.rect, c.text, c.rightAligned, c.wraps);
            }
            break;
        }
        }
    }
    p.restore();
}

bool renderReport(const grid::ReportModel& m, QPagedPaintDevice& device)
{
    // Our layout measures from the paper's corner, not from the printer's margins.
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setFullPage(true);
    return renderLayout(layoutReport(m, pageSpecFor(device, m)), device);
}

bool renderLayout(const Layout& l, QPagedPaintDevice& device)
{
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setFullPage(true);
    QPainter p;
    if (!p.begin(&device))
        return false;
    const double scale = device.logicalDpiX() / 1440.0;
    for (int i = 0; i < l.pages.size(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        p.resetTransform();
        p.scale(scale, device.logicalDpiY() / 1440.0);
        paintPage(p, l, i);
    }
    return p.end();
}

bool writeReportPdf(const grid::ReportModel& m, const QString& fileName)
{
    QPdfWriter pdf(fileName);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    pdf.setResolution(600);
    pdf.setTitle(m.pageHeader);
    return renderReport(m, pdf);
}

}  // namespace report
