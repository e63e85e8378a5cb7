#include "platform/calendar/dayplanner.h"
#include "platform/print/printer.h"
#include "platform/calendar/dayplannerlayout.h"
#include "platform/ui/regional.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace calendar {

namespace {

QString timeText(int minute)
{
    if (minute >= DayPlanner::MinutesPerDay)
        return regional::timeText(QTime(0, 0));
    return regional::timeText(QTime(minute / 60, minute % 60));
}

}  // namespace

// ------------------------------------------------------------------ painting

// Draws minutes [from, to) into area: slot lines, hour labels on the left,
// and the entries in their columns.
void DayPlanner::drawTimeline(QPainter& p, const QRectF& area, int from, int to, bool forPrint) const
{
    layoutColumns();
    const int span = std::max(1, to - from);
    const qreal perMinute = area.height() / span;
    auto yOf = [&](int m) { return area.top() + (m - from) * perMinute; };
    const QFontMetricsF fm(p.font(), p.device());
    const qreal labelW = forPrint ? fm.horizontalAdvance(QStringLiteral("12:00 AM")) + fm.height() : kTimeColumn;
    const qreal left = area.left() + labelW;
    const qreal right = area.right();
    const QPalette pal = palette();
    const QColor base = forPrint ? QColor(Qt::white) : pal.color(QPalette::Base);
    const QColor ink = forPrint ? QColor(Qt::black) : pal.color(QPalette::Text);
    const QColor line = forPrint ? QColor(160, 160, 160) : pal.color(QPalette::Midlight);

    // Outside working hours the day is shaded.
    p.fillRect(area, forPrint ? base : pal.color(QPalette::AlternateBase));
    p.fillRect(QRectF(area.left(), area.top(), labelW, area.height()),
               forPrint ? QColor(240, 240, 240) : pal.color(QPalette::Window));
    if (!forPrint) {
        const QRectF work(left, yOf(8 * 60), right - left, 9 * 60 * perMinute);
        p.fillRect(work.intersected(area), base);
        if (selStart_ >= 0) {
            const QRectF sel(left, yOf(selStart_), right - left, (selEnd_ - selStart_) * perMinute);
            p.fillRect(sel.intersected(area), pal.color(QPalette::Highlight).lighter(160));
        }
    }
    const int firstSlot = std::max(0, from / slotMinutes_);
    for (int m = firstSlot * slotMinutes_; m <= to; m += slotMinutes_) {
        const qreal y = yOf(m);
        if (y < area.top() - 1)
            continue;
        const bool hour = m % 60 == 0;
        p.setPen(QPen(hour ? QColor(150, 150, 150) : line, 0, hour ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(QPointF(hour ? area.left() : left, y), QPointF(right, y));
        if (hour && m < MinutesPerDay) {
            p.setPen(ink);
            p.drawText(QRectF(area.left() + 2, y + 1, labelW - 6, fm.height() + 2), Qt::AlignRight | Qt::AlignTop,
                       timeText(m));
        }
    }
    p.setPen(line);
    p.drawLine(QPointF(left, area.top()), QPointF(left, area.bottom()));

    p.save();
    p.setClipRect(area);
    for (int i = 0; i < items_.size(); ++i) {
        const auto& e = items_[i].e;
        if (e.endMinute < from || e.startMinute > to)
            continue;
        const qreal colW = (right - left) / columns_[i];
        const qreal top = yOf(e.startMinute);
        const qreal bottom = std::max(top + slotMinutes_ * perMinute / 2, yOf(e.endMinute));
        const QRectF r(left + column_[i] * colW + 1, top + 1, colW - 3, bottom - top - 1);
        const bool cur = !forPrint && i == current_;
        p.setPen(QPen(cur ? pal.color(QPalette::Highlight) : QColor(90, 110, 150), cur ? 2 : 0));
        p.setBrush(QColor(225, 233, 250));
        p.drawRect(r);
        p.fillRect(QRectF(r.left(), r.top(), entryBarWidth(r, fm), r.height()), QColor(90, 110, 150));
        if (!forPrint && i == editIndex_)
            continue;
        // An entry that begins above the area shows its text at the area's top.
        QRectF textRect = entryTextRect(r, fm);
        textRect.setTop(std::max(textRect.top(), area.top() + fm.height() / 10));
        p.setPen(ink);
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, e.text);
    }
    p.restore();
}

void DayPlanner::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    const int right = width() - scroll_->sizeHint().width();
    const int to = first_ + visibleMinutes();
    drawTimeline(p, QRectF(0, 0, right, height()), first_, std::max(to, first_ + 1), false);
    if (hasFocus() && !isEditing()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// ------------------------------------------------------------------ printing

QString DayPlanner::printTitle() const { return printTitle_; }
void DayPlanner::setPrintTitle(const QString& title) { printTitle_ = title; }
int DayPlanner::printFirstMinute() const { return printFirst_; }
int DayPlanner::printLastMinute() const { return printLast_; }

void DayPlanner::setPrintRange(int firstMinute, int lastMinute)
{
    printFirst_ = std::clamp(firstMinute, 0, MinutesPerDay - 1);
    printLast_ = std::clamp(lastMinute, printFirst_ + 1, int(MinutesPerDay));
}

int DayPlanner::printOption() const { return printOption_; }

void DayPlanner::setPrintOption(int option)
{
    // Anything without a known part prints the timeline.
    printOption_ = (option & (PrintTimeline | PrintList)) ? option & (PrintTimeline | PrintList) : PrintTimeline;
}

void DayPlanner::setPrintList(const QVector<PrintLine>& lines)
{
    printList_ = lines;
    printListSet_ = true;
}

QVector<PrintLine> DayPlanner::printList() const
{
    if (printListSet_)
        return printList_;
    QVector<int> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return items_[a].e.startMinute < items_[b].e.startMinute; });
    QVector<PrintLine> out;
    for (int i : order)
        out.push_back({timeText(items_[i].e.startMinute) + " - " + timeText(items_[i].e.endMinute), items_[i].e.text});
    return out;
}

namespace {

// Where a printed page puts its title, timeline and list, and which lines
// of the list it holds.
struct PagePlan {
    QRectF title, timeline, list;
    int firstLine = 0, lineCount = 0;
    qreal lineHeight = 0;
};

PagePlan planPage(const QRectF& page, int pageIndex, int lines, bool timeline, bool list, qreal titleH,
                         qreal lineH, int* pages)
{
    const qreal margin = page.width() * 0.05;
    const QRectF inner = page.adjusted(margin, margin, -margin, -margin);
    PagePlan plan;
    plan.lineHeight = lineH;
    plan.title = QRectF(inner.left(), inner.top(), inner.width(), titleH);
    const QRectF rest(inner.left(), inner.top() + titleH, inner.width(), std::max<qreal>(0, inner.height() - titleH));
    const auto capacity = [&](qreal h) { return std::max(1, int(std::floor((h - lineH * 0.5) / lineH))); };
    // The first page shares its height between the timeline and the list;
    // what the list cannot hold there goes on pages of its own.
    int first = lines;
    qreal firstListH = 0;
    if (list && timeline) {
        firstListH = std::min(rest.height() * 0.4, lineH * (lines + 1));
        first = lines ? std::min(lines, capacity(firstListH)) : 0;
    } else if (list) {
        first = std::min(lines, capacity(rest.height()));
    }
    const int next = capacity(rest.height());
    const int more = list ? std::max(0, lines - first) : 0;
    if (pages)
        *pages = 1 + (more + next - 1) / next;
    if (pageIndex == 0) {
        plan.lineCount = list ? first : 0;
        if (timeline) {
            plan.timeline = rest;
            if (list && lines) {
                plan.list = QRectF(rest.left(), rest.bottom() - firstListH, rest.width(), firstListH);
                plan.timeline.setBottom(plan.list.top() - lineH * 0.5);
            }
        } else {
            plan.list = rest;
        }
    } else {
        plan.firstLine = first + (pageIndex - 1) * next;
        plan.lineCount = std::max(0, std::min(next, lines - plan.firstLine));
        plan.list = rest;
    }
    return plan;
}

QFont printFont(const QFont& base, qreal points, bool bold)
{
    QFont f = base;
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace

bool DayPlanner::print(QPagedPaintDevice* device) const
{
    if (!device)
        return false;
    printing::DevicePages pages(*device);
    return print(pages);
}

bool DayPlanner::print(printing::Pages& pages) const
{
    return printing::paintPages(
        pages, [this](QPainter& p, const QRectF& page) { return printPageCount(p, page); },
        [this](QPainter& p, const QRectF& page, int i) { paintPage(p, page, i); });
}

int DayPlanner::printPageCount(QPainter& p, const QRectF& page) const
{
    const qreal titleH = QFontMetricsF(printFont(font(), 14, true), p.device()).height() * 1.8;
    const qreal lineH = QFontMetricsF(printFont(font(), 9, false), p.device()).height() * 1.3;
    int pages = 1;
    planPage(page, 0, int(printList().size()), printOption_ & PrintTimeline, printOption_ & PrintList, titleH, lineH,
             &pages);
    return pages;
}

void DayPlanner::paintPage(QPainter& p, const QRectF& page, int pageIndex) const
{
    p.save();
    p.fillRect(page, Qt::white);
    const QFont titleFont = printFont(font(), 14, true);
    const QFont body = printFont(font(), 9, false);
    const QFontMetricsF fm(body, p.device());
    const qreal titleH = QFontMetricsF(titleFont, p.device()).height() * 1.8;
    const QVector<PrintLine> lines = printList();
    const bool withTimeline = printOption_ & PrintTimeline;
    const PagePlan plan = planPage(page, pageIndex, int(lines.size()), withTimeline, printOption_ & PrintList,
                                   titleH, fm.height() * 1.3, nullptr);

    p.setFont(titleFont);
    p.setPen(Qt::black);
    p.drawText(plan.title, Qt::AlignLeft | Qt::AlignVCenter, printTitle_);

    p.setFont(body);
    if (plan.lineCount > 0) {
        // The time column is as wide as the longest time, up to half the width.
        qreal timeW = 0;
        for (const PrintLine& l : lines)
            timeW = std::max(timeW, fm.horizontalAdvance(l.time));
        timeW = std::min(timeW + fm.height(), plan.list.width() / 2);
        const qreal lineH = plan.lineHeight;
        qreal y = plan.list.top() + lineH * 0.5;
        for (int k = plan.firstLine; k < plan.firstLine + plan.lineCount; ++k) {
            const PrintLine& l = lines[k];
            p.drawText(QRectF(plan.list.left(), y, timeW, lineH), Qt::AlignLeft | Qt::AlignVCenter,
                       fm.elidedText(l.time, Qt::ElideRight, timeW));
            p.drawText(QRectF(plan.list.left() + timeW, y, plan.list.width() - timeW, lineH),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       fm.elidedText(l.text, Qt::ElideRight, plan.list.width() - timeW));
            y += lineH;
        }
    }
    if (pageIndex == 0 && withTimeline && plan.timeline.height() > 0) {
        drawTimeline(p, plan.timeline, printFirst_, printLast_, true);
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(plan.timeline);
    }
    p.restore();
}

}  // namespace calendar
