#include "platform/calendar/mousecodes.h"
#include "platform/calendar/dayplanner.h"
#include "platform/ui/regional.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTime>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace calendar {

namespace {

qreal entryBarWidth(const QRectF& entry, const QFontMetricsF& fm) { return std::min(fm.height() / 3, entry.width()); }

QRectF entryTextRect(const QRectF& entry, const QFontMetricsF& fm)
{
    return entry.adjusted(entryBarWidth(entry, fm) + fm.height() / 4, fm.height() / 10, -2, -1);
}


constexpr int kEdgeGrip = 4;      // pixels at an entry's top and bottom that resize it
constexpr int kTimeColumn = 64;   // pixels of the hour labels on the left


QString timeText(int minute)
{
    if (minute >= DayPlanner::MinutesPerDay)
        return regional::timeText(QTime(0, 0));
    return regional::timeText(QTime(minute / 60, minute % 60));
}

}  // namespace

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

void DayPlanner::setEntryBounds(int index, int startMinute, int endMinute)
{
    if (index < 0 || index >= items_.size())
        return;
    auto& e = items_[index].e;
    e.startMinute = std::clamp(startMinute, 0, MinutesPerDay);
    e.endMinute = std::clamp(endMinute, e.startMinute, MinutesPerDay);
    layoutDirty_ = true;
    placeEditor();
    update();
}

void DayPlanner::setEntryTag(int index, const QString& tag)
{
    if (index >= 0 && index < items_.size())
        items_[index].e.tag = tag;
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

int DayPlanner::snapMinutes() const { return snapMinutes_; }
void DayPlanner::setSnapMinutes(int minutes) { snapMinutes_ = std::clamp(minutes, 1, 60); }
int DayPlanner::timeColumnWidth() const { return kTimeColumn; }

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

// ------------------------------------------------------------------ editing

void DayPlanner::beginNewEntry(const QString& initialText)
{
    if (selStart_ < 0)
        selectSlots(first_, first_ + slotMinutes_);
    beginNewEntry(selStart_, selEnd_, initialText);
}

void DayPlanner::beginNewEntry(int startMinute, int endMinute, const QString& initialText)
{
    if (isEditing())
        commitEdit();
    const quint64 gen = generation_;
    const int index = addEntry(startMinute, endMinute, QString());
    const quint64 serial = items_[index].serial;
    selStart_ = selEnd_ = -1;
    current_ = index;
    emit NewAppointment(items_[index].e.startMinute, items_[index].e.endMinute, true);
    // The handler may have refilled the planner; then there is nothing to type into.
    if (gen != generation_ || index >= items_.size() || items_[index].serial != serial)
        return;
    editIndex_ = index;
    editIsNew_ = true;
    editOriginal_.clear();
    editor_->setText(initialText);
    editor_->deselect();
    placeEditor();
    editor_->show();
    editor_->setFocus();
    update();
}

void DayPlanner::beginEdit(int index, const QString& replaceWith)
{
    if (index < 0 || index >= items_.size())
        return;
    if (isEditing()) {
        if (editIndex_ == index)
            return;
        const quint64 serial = items_[index].serial;
        commitEdit();
        // Committing may have refilled the planner.
        if (index >= items_.size() || items_[index].serial != serial)
            return;
    }
    setCurrentEntry(index);
    editIndex_ = index;
    editIsNew_ = false;
    editOriginal_ = items_[index].e.text;
    if (replaceWith.isEmpty()) {
        editor_->setText(editOriginal_);
        editor_->selectAll();
    } else {
        editor_->setText(replaceWith);
        editor_->deselect();
    }
    placeEditor();
    editor_->show();
    editor_->setFocus();
}

bool DayPlanner::isEditing() const { return editIndex_ >= 0; }
int DayPlanner::editingEntry() const { return editIndex_; }
QLineEdit* DayPlanner::editor() const { return editor_; }
void DayPlanner::commitEdit() { finishEdit(true); }
void DayPlanner::cancelEdit() { finishEdit(false); }
EntryEdit DayPlanner::lastEdit() const { return lastEdit_; }

void DayPlanner::placeEditor()
{
    if (!isEditing())
        return;
    QRect r = entryRect(editIndex_);
    r.setHeight(std::max(r.height(), editor_->sizeHint().height()));
    editor_->setGeometry(r);
}

void DayPlanner::finishEdit(bool keep)
{
    if (!isEditing())
        return;
    const int index = editIndex_;
    const bool isNew = editIsNew_;
    const QString text = editor_->text();
    editIndex_ = -1;
    editor_->hide();
    if (editor_->hasFocus() || !hasFocus())
        setFocus();

    if (!keep) {
        if (isNew) {
            removeEntry(index);
            emit NewAppointmentCancelled();
        }
        update();
        return;
    }

    Item& it = items_[index];
    if (isNew) {
        it.e.text = text;
        EntryEdit edit;
        edit.index = index;
        edit.added = true;
        edit.textChanged = !text.trimmed().isEmpty();
        const quint64 serial = it.serial;
        const quint64 gen = generation_;
        report(edit, serial);
        // An entry typed empty (or only blanks) is not kept on screen unless
        // the handler kept it.
        if (gen == generation_ && index < items_.size() && items_[index].serial == serial &&
            items_[index].e.text.trimmed().isEmpty())
            removeEntry(index);
        return;
    }
    if (text == editOriginal_) {
        update();
        return;
    }
    it.e.text = text;
    EntryEdit edit;
    edit.index = index;
    edit.textChanged = true;
    report(edit, it.serial);
}

void DayPlanner::report(const EntryEdit& edit, quint64 serial)
{
    lastEdit_ = edit;
    update();
    const quint64 gen = generation_;
    if (edit.added)
        emit entryAdded(edit.index);
    else
        emit entryChanged(edit.index);
    // Only report AfterEdit for the entry if the first handler left it alone.
    if (gen == generation_ && edit.index < items_.size() && items_[edit.index].serial == serial)
        emit AfterEdit(edit.index);
}

bool DayPlanner::event(QEvent* event)
{
    // An entry too small for its text shows the whole text as its tooltip.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = entryAt(help->pos());
        if (index >= 0 && index != editIndex_) {
            const QFontMetricsF fm(font());
            const QRectF textRect = entryTextRect(entryRect(index), fm);
            const QString& text = items_[index].e.text;
            const QRectF needed = fm.boundingRect(QRectF(textRect.topLeft(), QSizeF(textRect.width(), 1e6)),
                                                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
            if (needed.height() > textRect.height() + 0.5 || needed.width() > textRect.width() + 0.5) {
                QToolTip::showText(help->globalPos(), text, this, entryRect(index));
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

bool DayPlanner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor_ && isEditing()) {
        if (event->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (ke->key() == Qt::Key_Escape) {
                cancelEdit();
                return true;
            }
            if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
                commitEdit();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            auto* fe = static_cast<QFocusEvent*>(event);
            // A pop-up (the editor's own menu) is not the end of the edit.
            if (fe->reason() != Qt::PopupFocusReason)
                QTimer::singleShot(0, this, [this]() {
                    if (isEditing() && !editor_->hasFocus())
                        commitEdit();
                });
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------------------------ mouse and keys

void DayPlanner::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    mouseMinute_ = minuteAt(pos);
    if (isEditing())
        commitEdit();
    setFocus(Qt::MouseFocusReason);
    if (pos.x() < width() - scroll_->width()) {
        const int index = entryAt(pos);
        if (index >= 0) {
            pressOnCurrent_ = index == current_;
            setCurrentEntry(index);
            clickedEntry_ = index;
            clickedMinute_ = mouseMinute_;
            if (event->button() == Qt::LeftButton) {
                const QRect r = entryRect(index);
                const auto& e = items_[index].e;
                drag_ = pos.y() <= r.top() + kEdgeGrip    ? Drag::Top
                        : pos.y() >= r.bottom() - kEdgeGrip ? Drag::Bottom
                                                            : Drag::Move;
                dragIndex_ = index;
                dragOrigStart_ = e.startMinute;
                dragOrigEnd_ = e.endMinute;
                dragAnchorMinute_ = first_ + int(double(pos.y()) * slotMinutes_ / slotHeight_);
                dragMoved_ = false;
            }
        } else if (pos.x() >= kTimeColumn || event->button() == Qt::LeftButton) {
            pressOnCurrent_ = false;
            const bool inside = selStart_ >= 0 && mouseMinute_ >= selStart_ && mouseMinute_ < selEnd_;
            if (!(event->button() == Qt::RightButton && inside))
                selectSlots(mouseMinute_, mouseMinute_ + 1);
            if (event->button() == Qt::LeftButton) {
                drag_ = Drag::Select;
                dragAnchorMinute_ = mouseMinute_;
            }
        }
    }
    emit MouseDown(vbButton(event->button()), vbShift(event->modifiers()), pos.x(), pos.y());
}

void DayPlanner::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    mouseMinute_ = minuteAt(pos);
    const int raw = first_ + int(double(pos.y()) * slotMinutes_ / slotHeight_);
    if (drag_ == Drag::None) {
        const int index = entryAt(pos);
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (index >= 0) {
            const QRect r = entryRect(index);
            if (pos.y() <= r.top() + kEdgeGrip || pos.y() >= r.bottom() - kEdgeGrip)
                shape = Qt::SizeVerCursor;
        }
        setCursor(shape);
        return;
    }
    if (drag_ == Drag::Select) {
        selectSlots(std::min(dragAnchorMinute_, mouseMinute_), std::max(dragAnchorMinute_, mouseMinute_) + 1);
        return;
    }
    if (dragIndex_ < 0 || dragIndex_ >= items_.size())
        return;
    int s = dragOrigStart_, e = dragOrigEnd_;
    const int len = std::max(snapMinutes_, 0);
    if (drag_ == Drag::Top) {
        s = std::clamp(snap(raw), 0, std::max(0, e - len));
    } else if (drag_ == Drag::Bottom) {
        e = std::clamp(snap(raw), std::min(int(MinutesPerDay), s + len), int(MinutesPerDay));
    } else {
        const int delta = snap(raw - dragAnchorMinute_ + dragOrigStart_) - dragOrigStart_;
        const int dur = dragOrigEnd_ - dragOrigStart_;
        s = std::clamp(dragOrigStart_ + delta, 0, MinutesPerDay - dur);
        e = s + dur;
    }
    auto& entry = items_[dragIndex_].e;
    if (s != entry.startMinute || e != entry.endMinute) {
        entry.startMinute = s;
        entry.endMinute = e;
        dragMoved_ = s != dragOrigStart_ || e != dragOrigEnd_;
        layoutDirty_ = true;
        update();
    }
}

void DayPlanner::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    mouseMinute_ = minuteAt(pos);
    const Drag drag = drag_;
    const int index = dragIndex_;
    drag_ = Drag::None;
    dragIndex_ = -1;
    if (event->button() == Qt::LeftButton && index >= 0 && index < items_.size() &&
        (drag == Drag::Top || drag == Drag::Bottom || drag == Drag::Move)) {
        const auto& e = items_[index].e;
        if (dragMoved_) {
            EntryEdit edit;
            edit.index = index;
            edit.startMoved = e.startMinute != dragOrigStart_;
            edit.endMoved = e.endMinute != dragOrigEnd_;
            if (drag == Drag::Move)
                edit.movedBy = e.startMinute - dragOrigStart_;
            dragMoved_ = false;
            report(edit, items_[index].serial);
        } else if (pressOnCurrent_) {
            // A second click on the selected entry edits its text, unless it
            // turns out to be a double-click.
            const quint64 serial = items_[index].serial;
            QTimer::singleShot(QApplication::doubleClickInterval(), this, [this, index, serial]() {
                if (pressOnCurrent_ && index == current_ && index < items_.size() && items_[index].serial == serial)
                    beginEdit(index);
                pressOnCurrent_ = false;
            });
        }
    }
    emit MouseUp(vbButton(event->button()), vbShift(event->modifiers()), pos.x(), pos.y());
    if (event->button() == Qt::RightButton)
        emit rightClicked(event->globalPosition().toPoint());
}

void DayPlanner::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    mouseMinute_ = minuteAt(pos);
    pressOnCurrent_ = false;
    drag_ = Drag::None;
    dragIndex_ = -1;
    if (event->button() != Qt::LeftButton)
        return;
    if (isEditing())
        commitEdit();
    const int minute = mouseMinute_;
    emit DblClick();
    emit slotDoubleClicked(minute);
}

void DayPlanner::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    switch (event->key()) {
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current_ >= 0)
            beginEdit(current_);
        else if (selStart_ >= 0)
            beginNewEntry();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int step = event->key() == Qt::Key_Up ? -slotMinutes_ : slotMinutes_;
        const int base = selStart_ >= 0 ? selStart_ : current_ >= 0 ? items_[current_].e.startMinute : first_;
        const int next = std::clamp(base + step, 0, MinutesPerDay - slotMinutes_);
        selectSlots(next, next + slotMinutes_);
        if (next < first_)
            setFirstVisibleMinute(next);
        else if (next + slotMinutes_ > first_ + visibleMinutes())
            setFirstVisibleMinute(next + slotMinutes_ - visibleMinutes());
        return;
    }
    case Qt::Key_PageUp: setFirstVisibleMinute(first_ - visibleMinutes()); return;
    case Qt::Key_PageDown: setFirstVisibleMinute(first_ + visibleMinutes()); return;
    default: break;
    }
    if (printable) {
        // Typing never changes a selected entry: it starts a new one at the
        // time clicked (the entry's start when it was not chosen by a click).
        if (current_ >= 0) {
            const int at = clickedEntry_ == current_ ? clickedMinute_ : items_[current_].e.startMinute;
            selectSlots(at, at + 1);
        }
        if (selStart_ >= 0)
            beginNewEntry(typed);
        return;
    }
    QWidget::keyPressEvent(event);
}

void DayPlanner::wheelEvent(QWheelEvent* event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        setFirstVisibleMinute(first_ - notches * slotMinutes_);
    event->accept();
}

void DayPlanner::resizeEvent(QResizeEvent*)
{
    const int w = scroll_->sizeHint().width();
    scroll_->setGeometry(width() - w, 0, w, height());
    updateScrollBar();
    placeEditor();
}

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
    QPainter p;
    if (!p.begin(device))
        return false;
    const QRectF page(0, 0, device->width(), device->height());
    const int pages = printPageCount(p, page);
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device->newPage())
            return false;
        paintPage(p, page, i);
    }
    return p.end();
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
