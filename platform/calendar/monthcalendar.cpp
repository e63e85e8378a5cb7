#include "platform/calendar/mousecodes.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/print/printer.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace calendar {

namespace {

const QDate kDayZero(1900, 1, 1);

// A day's entries, one a line.
QStringList entriesOf(const QString& text)
{
    QString shown = text;
    shown.replace("\r\n", "\n");
    while (shown.endsWith('\n'))
        shown.chop(1);
    return shown.isEmpty() ? QStringList() : shown.split('\n');
}

constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// How many of a day's entries its cell shows whole, one line kept below
// them for the note of those left out.
int entriesThatFit(const QFontMetricsF& fm, const QRectF& room, const QStringList& entries)
{
    qreal top = room.top();
    for (int k = 0; k < entries.size(); ++k) {
        const qreal need = fm.boundingRect(QRectF(room.left(), top, room.width(), room.bottom() - top), kWrap,
                                           entries[k])
                               .height();
        const qreal keep = k == entries.size() - 1 ? 0 : fm.height();
        if (top + need + keep > room.bottom() + 0.5)
            return k;
        top += need;
    }
    return int(entries.size());
}

QFont printFont(const QFont& base, qreal points, bool bold)
{
    QFont f = base;
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// One line of the list after the month: a day's date, or one of its entries.
struct ListLine {
    QString text;
    bool heading = false;
    qreal height = 0;
};

}  // namespace

struct MonthCalendar::PrintPlan {
    qreal titleHeight = 0;
    QRectF grid, list;
    QHash<int, int> listedOn;   // day -> page, from 1
    QVector<QVector<ListLine>> listPages;
};

MonthCalendar::MonthCalendar(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(280, 200);
    const int today = dayNumber(QDate::currentDate());
    current_ = today;
}

MonthCalendar::~MonthCalendar() = default;

int MonthCalendar::dayNumber(const QDate& date)
{
    return date.isValid() ? int(kDayZero.daysTo(date)) : 0;
}

QDate MonthCalendar::dateOf(int dayNumber) { return kDayZero.addDays(dayNumber); }

int MonthCalendar::firstDay() const { return first_; }
int MonthCalendar::lastDay() const { return last_; }

void MonthCalendar::setFirstDay(int dayNumber)
{
    first_ = dayNumber;
    update();
}

void MonthCalendar::setLastDay(int dayNumber)
{
    last_ = dayNumber;
    update();
}

void MonthCalendar::setSpan(int firstDayNumber, int lastDayNumber)
{
    first_ = firstDayNumber;
    last_ = lastDayNumber;
    update();
}

// The first and last day are set one after the other, so a last day before
// the first is taken as a one-day span rather than refused.
int MonthCalendar::dayCount() const { return std::max(1, last_ - first_ + 1); }

int MonthCalendar::rowCount() const { return (dayCount() + DaysPerWeek - 1) / DaysPerWeek; }

int MonthCalendar::currentDay() const { return current_; }

void MonthCalendar::setCurrentDay(int dayNumber)
{
    if (current_ == dayNumber)
        return;
    current_ = dayNumber;
    update();
}

void MonthCalendar::clearTexts()
{
    texts_.clear();
    update();
}

QString MonthCalendar::dayText(int dayNumber) const { return texts_.value(dayNumber); }

void MonthCalendar::setDayText(int dayNumber, const QString& text)
{
    if (text.isEmpty())
        texts_.remove(dayNumber);
    else
        texts_.insert(dayNumber, text);
    update();
}

int MonthCalendar::headerHeight() const { return fontMetrics().height() + 6; }

QRect MonthCalendar::dayRect(int dayNumber) const
{
    const int i = dayNumber - first_;
    if (i < 0 || i >= dayCount())
        return {};
    const int rows = rowCount();
    const int top = headerHeight();
    const double cw = double(width()) / DaysPerWeek;
    const double rh = double(std::max(0, height() - top)) / rows;
    const int c = i % DaysPerWeek, r = i / DaysPerWeek;
    const int x0 = int(c * cw), x1 = int((c + 1) * cw);
    const int y0 = top + int(r * rh), y1 = top + int((r + 1) * rh);
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

int MonthCalendar::dayAt(const QPoint& pos) const
{
    const int top = headerHeight();
    if (pos.x() < 0 || pos.x() >= width() || pos.y() < top || pos.y() >= height())
        return -1;
    const double cw = double(width()) / DaysPerWeek;
    const double rh = double(height() - top) / rowCount();
    const int c = std::min(DaysPerWeek - 1, int(pos.x() / cw));
    const int r = std::min(rowCount() - 1, int((pos.y() - top) / rh));
    const int i = r * DaysPerWeek + c;
    return i < dayCount() ? first_ + i : -1;
}

QString MonthCalendar::printTitle() const { return printTitle_; }
void MonthCalendar::setPrintTitle(const QString& title) { printTitle_ = title; }
int MonthCalendar::printFirstDay() const { return printFirst_; }
int MonthCalendar::printLastDay() const { return printLast_; }

void MonthCalendar::setPrintRange(int firstDayNumber, int lastDayNumber)
{
    printFirst_ = firstDayNumber;
    printLast_ = std::max(firstDayNumber, lastDayNumber);
}

bool MonthCalendar::print(QPagedPaintDevice* device) const
{
    if (!device)
        return false;
    printing::DevicePages pages(*device);
    return print(pages);
}

bool MonthCalendar::print(printing::Pages& pages) const
{
    pages.device().setPageOrientation(QPageLayout::Landscape);
    return printing::paintPages(
        pages, [this](QPainter& p, const QRectF& page) { return printPageCount(p, page); },
        [this](QPainter& p, const QRectF& page, int i) { paintPage(p, page, i); });
}

MonthCalendar::PrintPlan MonthCalendar::planPrint(QPainter& p, const QRectF& page) const
{
    PrintPlan plan;
    plan.titleHeight = QFontMetricsF(printFont(font(), 16, true), p.device()).height() * 1.6;
    plan.grid = QRectF(page.left(), page.top() + plan.titleHeight, page.width(), page.height() - plan.titleHeight);
    const qreal margin = page.width() * 0.05;
    plan.list = page.adjusted(margin, plan.titleHeight, -margin, -margin);
    const QFontMetricsF fm(printFont(font(), 9, false), p.device());
    const QFontMetricsF headFm(printFont(font(), 10, true), p.device());
    // The cells as the grid lays them out.
    const int count = std::max(1, printLast_ - printFirst_ + 1);
    const int rows = (count + DaysPerWeek - 1) / DaysPerWeek;
    const qreal headH = fm.height() + 6;
    const qreal cw = plan.grid.width() / DaysPerWeek, rh = (plan.grid.height() - headH) / rows;
    const QRectF room = QRectF(0, 0, cw, rh).adjusted(3, 2 + fm.height(), -3, -2);
    const qreal indent = fm.height();
    QVector<ListLine> lines;
    qreal y = 0;
    const auto add = [&](const ListLine& line) {
        // An entry begins a page of its own when the page is full; a date
        // keeps its first entry with it.
        const qreal keep = line.heading ? fm.height() : 0;
        if (y + line.height + keep > plan.list.height() && !lines.isEmpty()) {
            plan.listPages << lines;
            lines.clear();
            y = 0;
        }
        lines << line;
        y += line.height;
    };
    for (int day = printFirst_; day <= printLast_; ++day) {
        const QStringList entries = entriesOf(texts_.value(day));
        if (entries.isEmpty() || entriesThatFit(fm, room, entries) == entries.size())
            continue;
        add({QLocale().toString(dateOf(day), QLocale::LongFormat), true, headFm.height() * 1.5});
        plan.listedOn.insert(day, 2 + int(plan.listPages.size()));
        for (const QString& e : entries)
            add({e, false, fm.boundingRect(QRectF(0, 0, plan.list.width() - indent, 1e9), kWrap, e).height()});
    }
    if (!lines.isEmpty())
        plan.listPages << lines;
    return plan;
}

int MonthCalendar::printPageCount(QPainter& p, const QRectF& page) const
{
    return 1 + int(planPrint(p, page).listPages.size());
}

void MonthCalendar::paintPage(QPainter& p, const QRectF& page, int pageIndex) const
{
    const PrintPlan plan = planPrint(p, page);
    p.save();
    p.fillRect(page, Qt::white);
    p.setFont(printFont(font(), 16, true));
    p.setPen(Qt::black);
    const QRectF titleRect(page.left(), page.top(), page.width(), plan.titleHeight);
    p.drawText(titleRect, Qt::AlignCenter | Qt::TextSingleLine, printTitle_);
    const QFont body = printFont(font(), 9, false);
    p.setFont(body);
    if (pageIndex == 0) {
        drawGrid(p, plan.grid, printFirst_, printLast_, true, &plan.listedOn);
    } else if (pageIndex <= plan.listPages.size()) {
        const qreal indent = QFontMetricsF(body, p.device()).height();
        qreal y = plan.list.top();
        for (const ListLine& line : plan.listPages[pageIndex - 1]) {
            p.setFont(line.heading ? printFont(font(), 10, true) : body);
            const QRectF at = line.heading ? QRectF(plan.list.left(), y, plan.list.width(), line.height)
                                           : QRectF(plan.list.left() + indent, y, plan.list.width() - indent,
                                                    line.height);
            p.drawText(at, line.heading ? int(Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine) : kWrap,
                       line.text);
            y += line.height;
        }
    }
    p.restore();
}

// Weekday names across the top, then one cell per day: its number (with the
// month's name on the first of a month and on the first cell) and its texts.
void MonthCalendar::drawGrid(QPainter& p, const QRectF& area, int first, int last, bool forPrint,
                             const QHash<int, int>* listedOn) const
{
    const int count = std::max(1, last - first + 1);
    const int rows = (count + DaysPerWeek - 1) / DaysPerWeek;
    const QFontMetricsF fm(p.font(), p.device());
    const qreal headH = fm.height() + 6;
    const qreal cw = area.width() / DaysPerWeek;
    const qreal rh = (area.height() - headH) / rows;
    const QLocale loc;
    const QPalette pal = palette();
    const QColor line = forPrint ? QColor(Qt::gray) : pal.color(QPalette::Mid);
    const QColor ink = forPrint ? QColor(Qt::black) : pal.color(QPalette::Text);

    for (int c = 0; c < DaysPerWeek; ++c) {
        const QDate d = dateOf(first + c);
        const QRectF r(area.left() + c * cw, area.top(), cw, headH);
        p.fillRect(r, forPrint ? QColor(230, 230, 230) : pal.color(QPalette::Button));
        p.setPen(forPrint ? QColor(Qt::black) : pal.color(QPalette::ButtonText));
        p.drawText(r, Qt::AlignCenter, loc.dayName(d.dayOfWeek(), QLocale::ShortFormat));
    }
    for (int i = 0; i < count; ++i) {
        const int day = first + i;
        const QDate d = dateOf(day);
        const QRectF r(area.left() + (i % DaysPerWeek) * cw, area.top() + headH + (i / DaysPerWeek) * rh, cw, rh);
        QColor bg = forPrint ? QColor(Qt::white) : pal.color(QPalette::Base);
        if (!forPrint && day == current_)
            bg = pal.color(QPalette::Highlight).lighter(170);
        else if (!forPrint && d.month() % 2 == 0)
            bg = pal.color(QPalette::AlternateBase);
        p.fillRect(r, bg);
        p.setPen(line);
        p.drawRect(r);
        const QRectF inner = r.adjusted(3, 2, -3, -2);
        QString label = QString::number(d.day());
        if (d.day() == 1 || i == 0)
            label = loc.monthName(d.month(), QLocale::ShortFormat) + " " + label;
        QFont f = p.font();
        f.setBold(day == current_);
        p.save();
        p.setFont(f);
        p.setPen(ink);
        p.drawText(inner, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, label);
        p.restore();
        const QStringList entries = entriesOf(texts_.value(day));
        if (!entries.isEmpty()) {
            p.setPen(ink);
            p.save();
            p.setClipRect(inner);
            // The entries that fit, whole; when some do not, the last line
            // says how many more the day holds, and on paper the page that
            // lists them.
            QRectF room = inner.adjusted(0, fm.height(), 0, 0);
            const int shown = entriesThatFit(fm, room, entries);
            for (int k = 0; k < shown; ++k) {
                const QRectF need = fm.boundingRect(room, kWrap, entries[k]);
                p.drawText(room, kWrap, entries[k]);
                room.setTop(room.top() + need.height());
            }
            if (shown < entries.size()) {
                const int more = int(entries.size()) - shown;
                const QString note = listedOn && listedOn->contains(day)
                                         ? tr("+%1 more, page %2").arg(more).arg(listedOn->value(day))
                                         : tr("+%1 more").arg(more);
                p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                           fm.elidedText(note, Qt::ElideRight, room.width()));
            }
            p.restore();
        }
    }
}

void MonthCalendar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    drawGrid(p, QRectF(rect()), first_, last_, false);
    if (hasFocus()) {
        const QRect r = dayRect(current_);
        if (!r.isEmpty()) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 2));
            p.drawRect(r.adjusted(1, 1, -1, -1));
        }
    }
}

void MonthCalendar::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    pressedDay_ = dayAt(pos);
    if (pressedDay_ >= 0)
        setCurrentDay(pressedDay_);
    emit MouseDown(vbButton(event->button()), vbShift(event->modifiers()), pos.x(), pos.y());
}

void MonthCalendar::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int day = dayAt(pos);
    const int pressed = pressedDay_;
    pressedDay_ = -1;
    if (day >= 0 && day == pressed) {
        if (event->button() == Qt::LeftButton)
            emit DayClick(day);
        else if (event->button() == Qt::RightButton)
            emit dayRightClicked(day, event->globalPosition().toPoint());
    }
    emit MouseUp(vbButton(event->button()), vbShift(event->modifiers()), pos.x(), pos.y());
}

void MonthCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int day = dayAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && day >= 0)
        emit DayDblClick(day);
    // The second press of a double-click is a press all the same.
    pressedDay_ = day;
}

void MonthCalendar::keyPressEvent(QKeyEvent* event)
{
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left: step = -1; break;
    case Qt::Key_Right: step = 1; break;
    case Qt::Key_Up: step = -DaysPerWeek; break;
    case Qt::Key_Down: step = DaysPerWeek; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current_ >= first_ && current_ < first_ + dayCount())
            emit DayClick(current_);
        return;
    default: QWidget::keyPressEvent(event); return;
    }
    const int next = current_ + step;
    if (next >= first_ && next < first_ + dayCount())
        setCurrentDay(next);
}

}  // namespace calendar
