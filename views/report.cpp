#include "views/report.h"

#include "platform/ui/fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

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
    // The design face, as every window and page: a generic family would
    // print in whichever sans face the machine prefers, with other breaks.
    QFont f = fonts::font();
    f.setPixelSize(twipsHeight);   // the painter's units are twips
    f.setBold(bold);
    // Measured as the paper shows it, so a line that fits here fits there.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

constexpr int kTextPad = 30;
// A right-aligned figure keeps a wider gap on its right, so that it stands
// clear of the text that begins the next column ("Amt Due", "Due Date").
constexpr int kFigurePad = 90;

int lineSpacing(const QFont& f)
{
    // The report's fonts differ only in size and weight.
    static QHash<int, int> known;
    const int key = f.pixelSize() * 2 + int(f.bold());
    const auto it = known.constFind(key);
    return it != known.cend() ? *it : *known.insert(key, QFontMetrics(f).lineSpacing());
}

// Breaks the texts of one layout into lines: many values repeat (a
// relationship, a title, a city), and each is measured once. A text that
// prints on one line as it stands has no lines of its own (see Printed).
class Breaker {
public:
    QStringList lines(ItemKind kind, bool caption, const QString& text, int width)
    {
        const int face = int(kind) * 2 + int(caption);
        QHash<QString, QStringList>& known = broken_[{face, width}];
        const auto found = known.constFind(text);
        if (found != known.cend())
            return *found;
        const auto& [font, metrics] = faceOf(kind, caption);
        QStringList lines;
        if (text.contains('\n') || metrics.horizontalAdvance(text) > width) {
            lines = wrapText(font, text, width);
            if (lines.size() == 1 && lines.front() == text)
                lines.clear();
        }
        return *known.insert(text, lines);
    }

private:
    const std::pair<QFont, QFontMetrics>& faceOf(ItemKind kind, bool caption)
    {
        const int face = int(kind) * 2 + int(caption);
        auto f = faces_.find(face);
        if (f == faces_.end()) {
            const QFont font = fontFor(kind, caption);
            f = faces_.emplace(face, std::make_pair(font, QFontMetrics(font))).first;
        }
        return f->second;
    }

    std::map<int, std::pair<QFont, QFontMetrics>> faces_;
    std::map<std::pair<int, int>, QHash<QString, QStringList>> broken_;
};

// Where a cell's text goes within the cell.
QRect textRoom(const QRect& cell, bool right) { return cell.adjusted(kTextPad, 0, right ? -kFigurePad : -kTextPad, 0); }

// The first line stands centred in a band of the item's designed height;
// each further line adds a line's spacing below it.
int linesHeight(const QFont& f, int lines, int band) { return band + (std::max(1, int(lines)) - 1) * lineSpacing(f); }

int bandOf(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Title: return kTitleHeight;
    case ItemKind::GroupRow: return kGroupHeight;
    case ItemKind::Card: return kLineHeight + kCardPadding;   // the card's caption band
    default: return kLineHeight;
    }
}

// The room of an item's own text (title, group header, card caption).
QRect itemRoom(const Item& it)
{
    switch (it.kind) {
    case ItemKind::Title: return it.rect;
    case ItemKind::Card:
        return QRect(it.rect.left() + kCardPadding, it.rect.top(), it.rect.width() - kCardPadding - kTextPad,
                     linesHeight(fontFor(ItemKind::GroupRow), it.lineCount(), bandOf(ItemKind::Card)));
    default: return textRoom(it.rect, false);
    }
}

void drawLines(QPainter& p, const QRect& room, const Printed& t, int band, bool right, bool centred = false)
{
    const int ls = lineSpacing(p.font());
    const int align = Qt::AlignVCenter | Qt::TextSingleLine
                      | (centred ? Qt::AlignHCenter : (right ? Qt::AlignRight : Qt::AlignLeft));
    int y = room.top() + (band - ls) / 2;
    const auto draw = [&](const QString& line) {
        p.drawText(QRect(room.left(), y, room.width(), ls), align, line);
        y += ls;
    };
    if (t.lines.isEmpty())
        draw(t.text);
    for (const QString& line : t.lines)
        draw(line);
}

Cell makeCell(Breaker& b, ItemKind kind, const QRect& rect, const QString& text, bool right, bool caption = false)
{
    Cell c;
    c.text = text;
    c.lines = b.lines(kind, caption, text, textRoom(rect, right).width());
    c.rect = rect;
    c.rightAligned = right;
    c.caption = caption;
    c.rect.setHeight(linesHeight(fontFor(kind, caption), c.lineCount(),
                                 bandOf(kind == ItemKind::Card ? ItemKind::Record : kind)));
    return c;
}

// An item as tall as its tallest cell, or its own wrapped text.
void fitHeight(Item& it)
{
    int h = linesHeight(fontFor(it.kind), it.lineCount(), bandOf(it.kind));
    for (const Cell& c : it.cells)
        h = std::max(h, c.rect.bottom() + 1 - it.rect.top());
    it.rect.setHeight(h);
    for (Cell& c : it.cells)
        c.rect.setHeight(it.rect.bottom() + 1 - c.rect.top());
}

void moveTo(Item& it, int top)
{
    const int dy = top - it.rect.top();
    it.rect.translate(0, dy);
    for (Cell& c : it.cells)
        c.rect.translate(0, dy);
}

// Lays items top to bottom on pages; each page starts with the page header.
class Pager {
public:
    Pager(Layout& l, const grid::ReportModel& m, Breaker& b) : l_(l), m_(m), b_(b) {}

    void newPage()
    {
        l_.pages.push_back(Page{});
        y_ = l_.printable.top();
        if (!m_.pageHeader.isEmpty()) {
            Item t;
            t.kind = ItemKind::Title;
            t.rect = QRect(l_.printable.left(), y_, l_.printable.width(), kTitleHeight);
            t.text = m_.pageHeader;
            t.lines = b_.lines(t.kind, false, t.text, t.rect.width());
            fitHeight(t);
            add(t);
            y_ += kHeaderGap;
        }
        if (m_.layout == grid::Layout::Rows && !m_.columns.isEmpty()) {
            Item h;
            h.kind = ItemKind::ColumnHeader;
            h.rect = QRect(l_.printable.left(), y_, usedWidth(), l_.headerHeight);
            for (int k = 0; k < m_.columns.size(); ++k)
                h.cells << makeCell(b_, h.kind, QRect(l_.columnLeft[k], y_, l_.columnWidth[k], kLineHeight),
                                    m_.columns[k].caption, m_.columns[k].rightAligned);
            fitHeight(h);
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
        return y_;
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
    Breaker& b_;
    int y_ = 0;
    int bodyTop_ = 0;
};

// `spent`, when given, holds the model's own rows, each let go once its
// item is made.
void layoutRows(Layout& l, const grid::ReportModel& m, QVector<grid::ReportRow>* spent, Pager& pager, Breaker& b)
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
    for (int k = 0; k < m.columns.size(); ++k) {
        const Cell c = makeCell(b, ItemKind::ColumnHeader, QRect(l.columnLeft[k], 0, l.columnWidth[k], kLineHeight),
                                m.columns[k].caption, m.columns[k].rightAligned);
        l.headerHeight = std::max(l.headerHeight, c.rect.height());
    }
    pager.newPage();

    // Every row as tall as the lines its longest value wraps to.
    const auto rowItem = [&](int i) {
        const grid::ReportRow& r = m.rows[i];
        Item it;
        it.record = r.record;
        it.kind = r.kind == grid::RowKind::GroupHeader ? ItemKind::GroupRow
                  : r.kind == grid::RowKind::Total     ? ItemKind::Total
                                                       : ItemKind::Record;
        it.rect = QRect(l.printable.left(), 0, pager.usedWidth(), bandOf(it.kind));
        if (it.kind == ItemKind::GroupRow) {
            it.text = r.headerText;
            it.lines = b.lines(it.kind, false, it.text, textRoom(it.rect, false).width());
        } else {
            it.cells.reserve(m.columns.size());
            for (int k = 0; k < m.columns.size(); ++k)
                it.cells << makeCell(b, it.kind, QRect(l.columnLeft[k], 0, l.columnWidth[k], kLineHeight),
                                     r.texts.value(k), m.columns[k].rightAligned);
        }
        fitHeight(it);
        return it;
    };
    // The pages are planned from the rows' heights first, and the rows made
    // again onto pages of their exact size: a report of many thousand rows
    // holds each row once.
    const int n = int(m.rows.size());
    QVector<int> height(n);
    for (int i = 0; i < n; ++i)
        height[i] = rowItem(i).rect.height();
    // A group header stays with its first record and the total with the last
    // record: each row needs room for the rows it keeps with.
    const auto keepsWithNext = [&](int i) {
        return i + 1 < n
               && (m.rows[i].kind == grid::RowKind::GroupHeader || m.rows[i + 1].kind == grid::RowKind::Total);
    };
    QVector<int> need(n);
    for (int i = n - 1; i >= 0; --i)
        need[i] = height[i] + (keepsWithNext(i) ? need[i + 1] : 0);
    QVector<int> top(n), page(n);
    for (int i = 0; i < n; ++i) {
        // The rows kept with the one before already have their room.
        top[i] = pager.place(i > 0 && keepsWithNext(i - 1) ? height[i] : need[i]);
        page[i] = int(l.pages.size()) - 1;
        pager.advance(height[i]);
    }
    for (int i = 0, first = 0; first < n; first = i) {
        QVector<Item>& items = l.pages[page[first]].items;
        while (i < n && page[i] == page[first])
            ++i;
        items.reserve(items.size() + i - first);
        for (int k = first; k < i; ++k) {
            items << rowItem(k);
            moveTo(items.back(), top[k]);
            if (spent)
                (*spent)[k] = {};
        }
    }
}

void layoutCards(Layout& l, const grid::ReportModel& m, Pager& pager, Breaker& b)
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

    // One card per record; each row of cards is as tall as its tallest.
    QVector<Item> cards;
    for (const grid::ReportRow& r : m.rows) {
        if (r.kind != grid::RowKind::Record)
            continue;
        Item it;
        it.kind = ItemKind::Card;
        it.record = r.record;
        it.rect = QRect(0, 0, cardW, 0);
        int y = kCardPadding;
        if (m.cardCaptionColumn) {
            it.text = r.headerText;
            it.lines = b.lines(ItemKind::GroupRow, false, it.text, itemRoom(it).width());
            y = itemRoom(it).height();
        }
        for (int k = 0; k < m.columns.size(); ++k) {
            Cell caption = makeCell(b, ItemKind::Card, QRect(kCardPadding, y, captionW - kCardPadding, kLineHeight),
                                    m.columns[k].caption + ':', false, true);
            Cell value = makeCell(b, ItemKind::Card, QRect(captionW, y, valueW, kLineHeight), r.texts.value(k), false);
            const int h = std::max(caption.rect.height(), value.rect.height());
            caption.rect.setHeight(h);
            value.rect.setHeight(h);
            it.cells << caption << value;
            y += h;
        }
        it.rect.setHeight(y + kCardPadding);
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
            Item it = std::move(cards[i]);
            const QPoint at(l.printable.left() + (i - first) * (cardW + kCardGap), top);
            it.rect = QRect(at, QSize(cardW, rowH));
            for (Cell& c : it.cells)
                c.rect.translate(at);
            pager.add(it);
        }
        pager.advance(kCardGap);
    }
}

// A text without its blanks, so that a text and its lines compare without
// the blanks the line breaks took.
QString ink(const QString& s)
{
    QString out;
    for (const QChar c : s)
        if (!c.isSpace())
            out += c;
    return out;
}

bool whole(const QFont& f, const Printed& t, const QRect& room, int band)
{
    const QString& text = t.text;
    const QStringList lines = t.printedLines();
    const QFontMetrics fm(f);
    for (const QString& line : lines)
        if (fm.horizontalAdvance(line) > room.width())
            return false;
    return ink(lines.join(QString())) == ink(text) && linesHeight(f, int(lines.size()), band) <= room.height();
}

}  // namespace

QStringList wrapText(const QFont& f, const QString& text, int width)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator)).replace('\n', QChar::LineSeparator);
    width = std::max(1, width);
    if (!t.contains(QChar::LineSeparator) && QFontMetrics(f).horizontalAdvance(t) <= width)
        return {text};
    QTextLayout layout(t, f);
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(o);
    QStringList out;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString s = t.mid(line.textStart(), line.textLength());
        // The blank or break a line ends at is not printed.
        while (!s.isEmpty() && (s.back().isSpace() || s.back() == QChar::LineSeparator))
            s.chop(1);
        out << s;
    }
    layout.endLayout();
    if (out.isEmpty())
        out << QString();
    return out;
}

QStringList cutTexts(const Item& it)
{
    QStringList out;
    if (!it.text.isEmpty() && it.kind != ItemKind::Card
        && !whole(fontFor(it.kind), it, itemRoom(it), bandOf(it.kind)))
        out << it.text;
    if (it.kind == ItemKind::Card && !it.text.isEmpty()
        && !whole(fontFor(ItemKind::GroupRow), it, itemRoom(it), bandOf(ItemKind::Card)))
        out << it.text;
    for (const Cell& c : it.cells)
        if (!whole(fontFor(it.kind, c.caption), c, textRoom(c.rect, c.rightAligned),
                   bandOf(it.kind == ItemKind::Card ? ItemKind::Record : it.kind)))
            out << c.text;
    return out;
}

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

namespace {

Layout layOut(const grid::ReportModel& m, QVector<grid::ReportRow>* spent, const PageSpec& page)
{
    Layout l;
    l.page = page;
    l.printable = QRect(page.leftMargin, page.topMargin,
                        std::max(1, page.widthTwips - page.leftMargin - page.rightMargin),
                        std::max(1, page.heightTwips - page.topMargin - page.bottomMargin));
    Breaker breaker;
    Pager pager(l, m, breaker);
    if (m.layout == grid::Layout::Cards)
        layoutCards(l, m, pager, breaker);
    else
        layoutRows(l, m, spent, pager, breaker);
    if (l.pages.isEmpty())
        pager.newPage();
    return l;
}

}  // namespace

Layout layoutReport(const grid::ReportModel& m, const PageSpec& page) { return layOut(m, nullptr, page); }

Layout layoutReport(grid::ReportModel&& m, const PageSpec& page)
{
    // The rows' texts live on in the pages; what goes is the rows around them.
    return layOut(m, &m.rows, page);
}

void paintPage(QPainter& p, const Layout& l, int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= l.pages.size())
        return;
    p.save();
    const QPen thin(Qt::black, 10);
    const QPen faint(QColor(170, 170, 170), 8);
    const auto drawCells = [&p](const Item& it) {
        const int band = bandOf(it.kind == ItemKind::Card ? ItemKind::Record : it.kind);
        for (const Cell& c : it.cells) {
            p.setFont(fontFor(it.kind, c.caption));
            drawLines(p, textRoom(c.rect, c.rightAligned), c, band, c.rightAligned);
        }
    };
    for (const Item& it : l.pages[pageIndex].items) {
        switch (it.kind) {
        case ItemKind::Title:
            p.setFont(fontFor(it.kind));
            p.setPen(Qt::black);
            drawLines(p, itemRoom(it), it, bandOf(it.kind), false, true);
            break;
        case ItemKind::ColumnHeader:
            p.fillRect(it.rect, QColor(225, 225, 225));
            p.setPen(thin);
            drawCells(it);
            p.drawLine(it.rect.bottomLeft(), it.rect.bottomRight());
            break;
        case ItemKind::GroupRow:
            p.fillRect(it.rect.adjusted(0, 30, 0, -10), QColor(240, 240, 240));
            p.setFont(fontFor(it.kind));
            p.setPen(Qt::black);
            drawLines(p, itemRoom(it), it, bandOf(it.kind), false);
            break;
        case ItemKind::Record:
            p.setPen(Qt::black);
            drawCells(it);
            p.setPen(faint);
            p.drawLine(it.rect.bottomLeft(), it.rect.bottomRight());
            break;
        case ItemKind::Total:
            p.setPen(thin);
            p.drawLine(it.rect.topLeft(), it.rect.topRight());
            drawCells(it);
            break;
        case ItemKind::Card: {
            p.setPen(thin);
            p.setBrush(Qt::NoBrush);
            p.drawRect(it.rect);
            if (!it.text.isEmpty()) {
                const QRect room = itemRoom(it);
                p.fillRect(QRect(it.rect.left(), it.rect.top(), it.rect.width(), room.height()).adjusted(5, 5, -5, 0),
                           QColor(225, 225, 225));
                p.setFont(fontFor(ItemKind::GroupRow));
                drawLines(p, room, it, bandOf(it.kind), false);
            }
            drawCells(it);
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
