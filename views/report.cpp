#include "views/report.h"

#include "platform/print/printer.h"
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
#include <deque>
#include <map>
#include <utility>

namespace report {

QString reportTitle(views::DataMode mode)
{
    using views::DataMode;
    static const std::pair<DataMode, const char*> titles[] = {
        {DataMode::DueTasks, "Due Tasks for Our Wedding"},
        {DataMode::AllTasks, "All Tasks for Our Wedding"},
        {DataMode::IncompleteTasks, "Incomplete Tasks for Our Wedding"},
        {DataMode::CompleteTasks, "Complete Tasks for Our Wedding"},
        {DataMode::Events, "Events Planned for Our Wedding"},
        {DataMode::Guests, "Guest Report for Our Wedding"},
        {DataMode::Addresses, "Guest-Address Report for Our Wedding"},
        {DataMode::RSVP, "RSVP Report for Our Wedding"},
        {DataMode::Vendors, "Vendor Report for Our Wedding"},
        {DataMode::Quotes, "Quote Report for Our Wedding"},
        {DataMode::Expenses, "Expense Report for Our Wedding"},
        {DataMode::Registry, "Registry Report for Our Wedding"},
        {DataMode::Gifts, "Gift Report for Our Wedding"},
        {DataMode::FemaleMeasurement, "Female Measurements Report for Our Wedding"},
        {DataMode::MaleMeasurement, "Male Measurements Report for Our Wedding"},
        {DataMode::Budget, "Budget Report for Our Wedding"},
        {DataMode::Attire, "Attire Report for Our Wedding"},
    };
    for (const auto& [key, title] : titles) {
        if (mode == key)
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
    static constexpr int kKnownTexts = 4096;

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
        // Texts met once (names, streets) would otherwise pile up for the
        // whole report.
        if (known.size() >= kKnownTexts)
            known.clear();
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

}  // namespace

// Planning walks the rows once, measuring each, and keeps only where each
// page begins; a page's items are made again when it is shown or printed.
// Rows go top to bottom under the page's head (the title, then the column
// captions); a group header stays with its first record and the total with
// the last record; an item taller than a whole page goes on a page of its
// own. Cards go `cardsAcross` to a row, each row of cards as tall as its
// tallest card.
struct PagedReport::Impl {
    grid::ReportModel m;
    Layout frame;
    mutable Breaker breaker;
    Page head;                 // the same on every page
    int bodyTop = 0;
    int bodyEnd = 0;           // one below the printable bottom
    QVector<int> firsts;       // the first model row of each page
    int captionWidth = 0;      // cards: a field's caption and value
    int valueWidth = 0;
    // The pages made last, newest first: a preview repaints the same few.
    mutable QList<QPair<int, Page>> made;

    void setColumns();
    QVector<int> amountWidths() const;
    void makeHead();
    Item rowItem(int i) const;
    Item rowItem(const grid::ReportRow& r) const;
    Item card(const grid::ReportRow& r) const;
    void planRows();
    void planCards();
    Page rowsPage(int first, int end) const;
    Page cardsPage(int first, int end) const;
    int usedWidth() const
    {
        if (frame.columnLeft.isEmpty())
            return 0;
        return frame.columnLeft.back() + frame.columnWidth.back() - frame.printable.left();
    }
    bool isRecord(const grid::ReportRow& r) const { return r.kind == grid::RowKind::Record; }
};

void PagedReport::Impl::setColumns()
{
    Layout& l = frame;
    if (m.layout == grid::Layout::Cards) {
        const int avail = l.printable.width();
        int cardW = m.cardWidthTwips > 0 ? m.cardWidthTwips : 3000;
        const int across = m.cardsAcross > 0 ? m.cardsAcross : std::max(1, (avail + kCardGap) / (cardW + kCardGap));
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
        captionWidth = std::min(captionW + 3 * kTextPad + kCardPadding, cardW / 2);
        valueWidth = cardW - captionWidth - kCardPadding;
        return;
    }
    // Amounts are never broken: a column of them takes what its widest text
    // needs, and the other columns share what is left of the page.
    QVector<int> widths;
    for (const grid::ReportColumn& c : m.columns)
        widths << std::max(0, c.widthTwips);
    const QVector<int> need = amountWidths();
    int total = 0, amounts = 0;
    for (int k = 0; k < widths.size(); ++k) {
        widths[k] = std::max(widths[k], need[k]);
        total += widths[k];
        amounts += need[k] > 0 ? widths[k] : 0;
    }
    const int avail = l.printable.width();
    const bool othersGive = amounts < avail && total > amounts;
    l.columnScale = total <= avail ? 1.0
                    : othersGive   ? double(avail - amounts) / (total - amounts)
                                   : double(avail) / total;
    int x = l.printable.left();
    for (int k = 0; k < widths.size(); ++k) {
        const bool kept = othersGive && need[k] > 0;
        const int w = kept ? widths[k] : int(std::floor(widths[k] * l.columnScale));
        l.columnLeft << x;
        l.columnWidth << w;
        x += w;
    }
    // A caption too wide for its column goes on two lines (or more).
    l.headerHeight = kLineHeight;
    for (int k = 0; k < m.columns.size(); ++k) {
        const Cell c = makeCell(breaker, ItemKind::ColumnHeader,
                                QRect(l.columnLeft[k], 0, l.columnWidth[k], kLineHeight), m.columns[k].caption,
                                m.columns[k].rightAligned);
        l.headerHeight = std::max(l.headerHeight, c.rect.height());
    }
}

// What each column of amounts needs for its widest text, the total's in its
// own face; 0 for the other columns. Only a report with amounts reads its
// rows for this.
QVector<int> PagedReport::Impl::amountWidths() const
{
    QVector<int> need(m.columns.size(), 0);
    if (std::none_of(m.columns.begin(), m.columns.end(), [](const grid::ReportColumn& c) { return c.amounts; }))
        return need;
    const QFontMetrics record(fontFor(ItemKind::Record)), total(fontFor(ItemKind::Total));
    for (int i = 0, n = m.count(); i < n; ++i) {
        const grid::ReportRow r = m.row(i);
        const QFontMetrics& fm = r.kind == grid::RowKind::Total ? total : record;
        for (int k = 0; k < m.columns.size(); ++k)
            if (m.columns[k].amounts && !r.texts.value(k).isEmpty())
                need[k] = std::max(need[k], fm.horizontalAdvance(r.texts.value(k)));
    }
    // Room on both sides as the cell keeps it, and a little to spare: the
    // printer measures a shade wider than the screen.
    for (int& w : need)
        if (w > 0)
            w += kTextPad + kFigurePad + kTextPad;
    return need;
}

void PagedReport::Impl::makeHead()
{
    const Layout& l = frame;
    int y = l.printable.top();
    if (!m.pageHeader.isEmpty()) {
        Item t;
        t.kind = ItemKind::Title;
        t.rect = QRect(l.printable.left(), y, l.printable.width(), kTitleHeight);
        t.text = m.pageHeader;
        t.lines = breaker.lines(t.kind, false, t.text, t.rect.width());
        fitHeight(t);
        head.items << t;
        y = t.rect.bottom() + 1 + kHeaderGap;
    }
    if (m.layout == grid::Layout::Rows && !m.columns.isEmpty()) {
        Item h;
        h.kind = ItemKind::ColumnHeader;
        h.rect = QRect(l.printable.left(), y, usedWidth(), l.headerHeight);
        for (int k = 0; k < m.columns.size(); ++k)
            h.cells << makeCell(breaker, h.kind, QRect(l.columnLeft[k], y, l.columnWidth[k], kLineHeight),
                                m.columns[k].caption, m.columns[k].rightAligned);
        fitHeight(h);
        head.items << h;
        y = std::max(y, h.rect.bottom() + 1);
    }
    bodyTop = y;
    bodyEnd = l.printable.bottom() + 1;
}

Item PagedReport::Impl::rowItem(int i) const { return rowItem(m.row(i)); }

// A row as tall as the lines its longest value wraps to, at the top of the page.
Item PagedReport::Impl::rowItem(const grid::ReportRow& r) const
{
    const Layout& l = frame;
    Item it;
    it.record = r.record;
    it.kind = r.kind == grid::RowKind::GroupHeader ? ItemKind::GroupRow
              : r.kind == grid::RowKind::Total     ? ItemKind::Total
                                                   : ItemKind::Record;
    it.rect = QRect(l.printable.left(), 0, usedWidth(), bandOf(it.kind));
    if (it.kind == ItemKind::GroupRow) {
        it.text = r.headerText;
        it.lines = breaker.lines(it.kind, false, it.text, textRoom(it.rect, false).width());
    } else {
        it.cells.reserve(m.columns.size());
        for (int k = 0; k < m.columns.size(); ++k)
            it.cells << makeCell(breaker, it.kind, QRect(l.columnLeft[k], 0, l.columnWidth[k], kLineHeight),
                                 r.texts.value(k), m.columns[k].rightAligned);
    }
    fitHeight(it);
    return it;
}

// A card at the page's corner, as tall as its fields.
Item PagedReport::Impl::card(const grid::ReportRow& r) const
{
    Item it;
    it.kind = ItemKind::Card;
    it.record = r.record;
    it.rect = QRect(0, 0, frame.cardWidth, 0);
    int y = kCardPadding;
    if (m.cardCaptionColumn) {
        it.text = r.headerText;
        it.lines = breaker.lines(ItemKind::GroupRow, false, it.text, itemRoom(it).width());
        y = itemRoom(it).height();
    }
    for (int k = 0; k < m.columns.size(); ++k) {
        Cell caption = makeCell(breaker, ItemKind::Card,
                                QRect(kCardPadding, y, captionWidth - kCardPadding, kLineHeight),
                                m.columns[k].caption + ':', false, true);
        Cell value = makeCell(breaker, ItemKind::Card, QRect(captionWidth, y, valueWidth, kLineHeight),
                              r.texts.value(k), false);
        const int h = std::max(caption.rect.height(), value.rect.height());
        caption.rect.setHeight(h);
        value.rect.setHeight(h);
        it.cells << caption << value;
        y += h;
    }
    it.rect.setHeight(y + kCardPadding);
    return it;
}

void PagedReport::Impl::planRows()
{
    const int n = m.count();
    // The rows still to be placed that planning has measured: a row kept
    // with the next needs room for both.
    struct Measured {
        grid::RowKind kind;
        int height;
    };
    std::deque<Measured> ahead;
    int aheadFirst = 0;
    const auto at = [&](int i) -> const Measured& {
        while (aheadFirst + int(ahead.size()) <= i) {
            const grid::ReportRow r = m.row(aheadFirst + int(ahead.size()));
            ahead.push_back({r.kind, rowItem(r).rect.height()});
        }
        return ahead[size_t(i - aheadFirst)];
    };
    const auto keepsWithNext = [&](int i) {
        return i + 1 < n && (at(i).kind == grid::RowKind::GroupHeader || at(i + 1).kind == grid::RowKind::Total);
    };
    int y = bodyTop;
    for (int i = 0; i < n; ++i) {
        // The rows kept with the one before already have their room.
        int need = at(i).height;
        if (i == 0 || !keepsWithNext(i - 1))
            for (int j = i; keepsWithNext(j); ++j)
                need += at(j + 1).height;
        if (y + need > bodyEnd && y > bodyTop) {
            firsts << i;
            y = bodyTop;
        }
        y += at(i).height;
        while (aheadFirst < i) {
            ahead.pop_front();
            ++aheadFirst;
        }
    }
}

void PagedReport::Impl::planCards()
{
    const int n = m.count(), across = frame.cardsAcross;
    int y = bodyTop;
    int rowStart = -1, inRow = 0, rowHeight = 0;
    const auto endRow = [&] {
        if (y + rowHeight > bodyEnd && y > bodyTop) {
            firsts << rowStart;
            y = bodyTop;
        }
        y += rowHeight + kCardGap;
        rowStart = -1;
        inRow = rowHeight = 0;
    };
    for (int i = 0; i < n; ++i) {
        const grid::ReportRow r = m.row(i);
        if (!isRecord(r))
            continue;
        if (rowStart < 0)
            rowStart = i;
        rowHeight = std::max(rowHeight, card(r).rect.height());
        if (++inRow == across)
            endRow();
    }
    if (inRow > 0)
        endRow();
}

Page PagedReport::Impl::rowsPage(int first, int end) const
{
    Page p = head;
    p.items.reserve(p.items.size() + end - first);
    int y = bodyTop;
    for (int i = first; i < end; ++i) {
        p.items << rowItem(i);
        moveTo(p.items.back(), y);
        y += p.items.back().rect.height();
    }
    return p;
}

Page PagedReport::Impl::cardsPage(int first, int end) const
{
    Page p = head;
    const int across = frame.cardsAcross, cardW = frame.cardWidth;
    int y = bodyTop;
    QVector<Item> row;
    const auto placeRow = [&] {
        int rowH = 0;
        for (const Item& c : row)
            rowH = std::max(rowH, c.rect.height());
        for (int k = 0; k < row.size(); ++k) {
            Item it = std::move(row[k]);
            const QPoint at(frame.printable.left() + k * (cardW + kCardGap), y);
            it.rect = QRect(at, QSize(cardW, rowH));
            for (Cell& c : it.cells)
                c.rect.translate(at);
            p.items << it;
        }
        y += rowH + kCardGap;
        row.clear();
    };
    for (int i = first; i < end; ++i) {
        const grid::ReportRow r = m.row(i);
        if (!isRecord(r))
            continue;
        row << card(r);
        if (row.size() == across)
            placeRow();
    }
    if (!row.isEmpty())
        placeRow();
    return p;
}

PagedReport::PagedReport(grid::ReportModel m, const PageSpec& page) : d_(std::make_unique<Impl>())
{
    d_->m = std::move(m);
    Layout& l = d_->frame;
    l.page = page;
    l.printable = QRect(page.leftMargin, page.topMargin, std::max(1, page.widthTwips - page.leftMargin - page.rightMargin),
                        std::max(1, page.heightTwips - page.topMargin - page.bottomMargin));
    d_->setColumns();
    d_->makeHead();
    d_->firsts << 0;
    if (d_->m.layout == grid::Layout::Cards)
        d_->planCards();
    else
        d_->planRows();
}

PagedReport::~PagedReport() = default;

const Layout& PagedReport::frame() const { return d_->frame; }

int PagedReport::pageCount() const { return int(d_->firsts.size()); }

Page PagedReport::page(int index) const
{
    if (index < 0 || index >= pageCount())
        return {};
    for (const auto& [i, p] : d_->made)
        if (i == index)
            return p;
    const int first = d_->firsts[index];
    const int end = index + 1 < pageCount() ? d_->firsts[index + 1] : d_->m.count();
    const Page p = d_->m.layout == grid::Layout::Cards ? d_->cardsPage(first, end) : d_->rowsPage(first, end);
    d_->made.prepend({index, p});
    if (d_->made.size() > kPagesKept)
        d_->made.removeLast();
    return p;
}

namespace {

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
    // Asked for every cell laid out: each face is made once.
    static QFont* faces[12] = {};
    QFont*& f = faces[int(kind) * 2 + int(caption)];
    if (!f) {
        int size = 160;
        bool bold = false;
        switch (kind) {
        case ItemKind::Title:
            size = 280;
            bold = true;
            break;
        case ItemKind::ColumnHeader:
            // Plain, so that "Done" fits its narrow column; the band is shaded.
            break;
        case ItemKind::Total:
            bold = true;
            break;
        case ItemKind::GroupRow:
            size = 170;
            bold = true;
            break;
        case ItemKind::Card:
            size = 150;
            bold = caption;
            break;
        case ItemKind::Record:
            break;
        }
        f = new QFont(fontOf(size, bold));
    }
    return *f;
}

Layout layoutReport(const grid::ReportModel& m, const PageSpec& page)
{
    const PagedReport r(m, page);
    Layout l = r.frame();
    for (int i = 0; i < r.pageCount(); ++i)
        l.pages << r.page(i);
    return l;
}

void paintPage(QPainter& p, const Layout& l, int pageIndex)
{
    if (pageIndex >= 0 && pageIndex < l.pages.size())
        paintPage(p, l.pages[pageIndex]);
}

void paintPage(QPainter& p, const Page& page)
{
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
    for (const Item& it : page.items) {
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
    printing::DevicePages pages(device);
    return renderPages(PagedReport(m, pageSpecFor(device, m)), pages);
}

bool renderPages(const PagedReport& r, printing::Pages& pages)
{
    if (auto* printer = dynamic_cast<QPrinter*>(&pages.device()))
        printer->setFullPage(true);
    return printing::paintPages(
        pages, [&r](QPainter&, const QRectF&) { return r.pageCount(); },
        [&r](QPainter& p, const QRectF&, int i) {
            p.resetTransform();
            p.scale(p.device()->logicalDpiX() / 1440.0, p.device()->logicalDpiY() / 1440.0);
            paintPage(p, r.page(i));
        });
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
