#include "platform/calendar/dayplanner.h"
#include "platform/calendar/dayplannerlayout.h"

#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>
#include <limits>
#include <numeric>

namespace calendar {

DayPlanner::DayPlanner(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(200, 120);

    scroll_ = new QScrollBar(Qt::Vertical, this);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int v) {
        if (v == first_)
            return;
        first_ = v;
        placeEditor();
        update();
        emit firstVisibleMinuteChanged(v);
    });

    editor_ = new QLineEdit(this);
    // An entry's whole text, however long, is edited; none is cut.
    editor_->setMaxLength(std::numeric_limits<int>::max());
    editor_->hide();
    editor_->installEventFilter(this);

    updateScrollBar();
}

DayPlanner::~DayPlanner()
{
    // The editor loses focus while it is torn down; that is no edit.
    editIndex_ = -1;
}

// ------------------------------------------------------------------ entries

void DayPlanner::clearEntries()
{
    if (isEditing()) {
        const bool wasNew = editIsNew_;
        editIndex_ = -1;
        editor_->hide();
        if (wasNew)
            emit NewAppointmentCancelled();
    }
    items_.clear();
    clickedEntry_ = -1;
    printList_.clear();
    printListSet_ = false;
    ++generation_;
    current_ = -1;
    drag_ = Drag::None;
    dragIndex_ = -1;
    layoutDirty_ = true;
    update();
}

int DayPlanner::addEntry(int startMinute, int endMinute, const QString& text, const QString& tag)
{
    Item it;
    it.e.startMinute = std::clamp(startMinute, 0, MinutesPerDay);
    it.e.endMinute = std::clamp(endMinute, it.e.startMinute, MinutesPerDay);
    it.e.text = text;
    it.e.tag = tag;
    it.serial = nextSerial_++;
    items_.push_back(it);
    layoutDirty_ = true;
    update();
    return int(items_.size()) - 1;
}

void DayPlanner::removeEntry(int index)
{
    if (index < 0 || index >= items_.size())
        return;
    if (editIndex_ == index) {
        const bool wasNew = editIsNew_;
        editIndex_ = -1;
        editor_->hide();
        if (wasNew)
            emit NewAppointmentCancelled();
    } else if (editIndex_ > index) {
        --editIndex_;
    }
    items_.remove(index);
    if (clickedEntry_ >= index)
        clickedEntry_ = clickedEntry_ == index ? -1 : clickedEntry_ - 1;
    if (current_ == index)
        current_ = -1;
    else if (current_ > index)
        --current_;
    if (dragIndex_ == index) {
        drag_ = Drag::None;
        dragIndex_ = -1;
    } else if (dragIndex_ > index) {
        --dragIndex_;
    }
    layoutDirty_ = true;
    update();
}

int DayPlanner::entryCount() const { return int(items_.size()); }

DayEntry DayPlanner::entry(int index) const
{
    return index >= 0 && index < items_.size() ? items_[index].e : DayEntry{};
}

int DayPlanner::entryStart(int index) const { return entry(index).startMinute; }
int DayPlanner::entryEnd(int index) const { return entry(index).endMinute; }
QString DayPlanner::entryText(int index) const { return entry(index).text; }
QString DayPlanner::entryTag(int index) const { return entry(index).tag; }

void DayPlanner::setEntryText(int index, const QString& text)
{
    if (index < 0 || index >= items_.size())
        return;
    items_[index].e.text = text;
    update();
}

int DayPlanner::currentEntry() const { return current_; }

void DayPlanner::setCurrentEntry(int index)
{
    if (index < -1 || index >= items_.size())
        index = -1;
    if (index >= 0)
        selStart_ = selEnd_ = -1;
    if (current_ == index)
        return;
    current_ = index;
    update();
    if (index >= 0)
        emit entrySelected(index);
}

int DayPlanner::selectionStart() const { return selStart_; }
int DayPlanner::selectionEnd() const { return selEnd_; }

void DayPlanner::selectSlots(int startMinute, int endMinute)
{
    if (startMinute > endMinute)
        std::swap(startMinute, endMinute);
    const int a = std::clamp(startMinute, 0, MinutesPerDay - slotMinutes_);
    const int b = std::clamp(endMinute, a, MinutesPerDay);
    selStart_ = slotOf(a) * slotMinutes_;
    selEnd_ = std::max(selStart_ + slotMinutes_, (b + slotMinutes_ - 1) / slotMinutes_ * slotMinutes_);
    selEnd_ = std::min(selEnd_, int(MinutesPerDay));
    current_ = -1;
    update();
}

// ------------------------------------------------------------------ geometry

int DayPlanner::slotMinutes() const { return slotMinutes_; }

void DayPlanner::setSlotMinutes(int minutes)
{
    if (minutes < 5 || minutes > 60 || 60 % minutes != 0)
        return;
    slotMinutes_ = minutes;
    updateScrollBar();
    placeEditor();
    update();
}

int DayPlanner::slotHeight() const { return slotHeight_; }

void DayPlanner::setSlotHeight(int pixels)
{
    slotHeight_ = std::max(8, pixels);
    updateScrollBar();
    placeEditor();
    update();
}

void DayPlanner::setSnapMinutes(int minutes) { snapMinutes_ = std::clamp(minutes, 1, 60); }

int DayPlanner::firstVisibleMinute() const { return first_; }

void DayPlanner::setFirstVisibleMinute(int minute)
{
    const int v = std::clamp(minute, 0, maxFirstMinute());
    scroll_->setValue(v);  // the scroll bar's range is kept equal to ours
    if (first_ != v) {
        first_ = v;
        placeEditor();
        update();
        emit firstVisibleMinuteChanged(v);
    }
}

int DayPlanner::visibleMinutes() const { return height() * slotMinutes_ / slotHeight_; }

int DayPlanner::maxFirstMinute() const { return std::max(0, MinutesPerDay - visibleMinutes()); }

int DayPlanner::minuteAt(const QPoint& pos) const
{
    const int m = first_ + int(std::floor(double(pos.y()) * slotMinutes_ / slotHeight_));
    return std::clamp(m, 0, MinutesPerDay - 1);
}

int DayPlanner::yForMinute(int minute) const
{
    return int(std::lround(double(minute - first_) * slotHeight_ / slotMinutes_));
}

int DayPlanner::slotOf(int minute) const
{
    return std::clamp(minute, 0, MinutesPerDay - 1) / slotMinutes_;
}

// Entries that overlap share the width in columns; each takes the leftmost
// column free at its start.
void DayPlanner::layoutColumns() const
{
    if (!layoutDirty_ && column_.size() == items_.size())
        return;
    const int n = int(items_.size());
    column_ = QVector<int>(n, 0);
    columns_ = QVector<int>(n, 1);
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    auto endOf = [this](int i) {
        // An entry of no length still takes room on screen.
        return std::max(items_[i].e.endMinute, items_[i].e.startMinute + 1);
    };
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return items_[a].e.startMinute < items_[b].e.startMinute;
    });
    QVector<int> cluster;
    QVector<int> colEnd;
    int clusterEnd = -1;
    auto closeCluster = [&]() {
        for (int i : cluster)
            columns_[i] = std::max(1, int(colEnd.size()));
        cluster.clear();
        colEnd.clear();
    };
    for (int i : order) {
        const int s = items_[i].e.startMinute;
        if (s >= clusterEnd)
            closeCluster();
        int c = 0;
        while (c < colEnd.size() && colEnd[c] > s)
            ++c;
        if (c == colEnd.size())
            colEnd.push_back(0);
        colEnd[c] = endOf(i);
        column_[i] = c;
        cluster.push_back(i);
        clusterEnd = std::max(clusterEnd, endOf(i));
    }
    closeCluster();
    layoutDirty_ = false;
}

QRect DayPlanner::entryRect(int index) const
{
    if (index < 0 || index >= items_.size())
        return {};
    layoutColumns();
    const int left = kTimeColumn;
    const int right = width() - scroll_->sizeHint().width();
    const double w = double(std::max(0, right - left)) / columns_[index];
    const auto& e = items_[index].e;
    const int top = yForMinute(e.startMinute);
    const int bottom = std::max(top + slotHeight_ / 2, yForMinute(e.endMinute));
    const int x0 = left + int(column_[index] * w);
    const int x1 = left + int((column_[index] + 1) * w);
    return QRect(x0 + 1, top + 1, std::max(1, x1 - x0 - 3), std::max(1, bottom - top - 1));
}

int DayPlanner::entryAt(const QPoint& pos) const
{
    // The last drawn lies on top.
    for (int i = int(items_.size()) - 1; i >= 0; --i)
        if (entryRect(i).adjusted(0, -1, 0, 1).contains(pos))
            return i;
    return -1;
}

int DayPlanner::mouseMinute() const { return mouseMinute_; }

int DayPlanner::snap(int minute) const
{
    const int m = int(std::lround(double(minute) / snapMinutes_)) * snapMinutes_;
    return std::clamp(m, 0, int(MinutesPerDay));
}

void DayPlanner::updateScrollBar()
{
    const QSignalBlocker block(scroll_);
    scroll_->setRange(0, maxFirstMinute());
    scroll_->setSingleStep(slotMinutes_);
    scroll_->setPageStep(std::max(slotMinutes_, visibleMinutes()));
    const int v = std::clamp(first_, 0, maxFirstMinute());
    scroll_->setValue(v);
    if (v != first_) {
        first_ = v;
        emit firstVisibleMinuteChanged(v);
    }
}

}  // namespace calendar
