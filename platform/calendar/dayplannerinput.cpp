#include "platform/calendar/dayplanner.h"
#include "platform/calendar/dayplannerlayout.h"
#include "platform/calendar/mousecodes.h"
#include "platform/ui/celltip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

namespace calendar {

namespace {

constexpr int kEdgeGrip = 4;      // pixels at an entry's top and bottom that resize it

}  // namespace

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
                QToolTip::showText(help->globalPos(), ui::plainTip(text), this, entryRect(index));
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
                dragPressPos_ = pos;
                dragBegun_ = false;
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
    if (!dragBegun_) {
        if ((pos - dragPressPos_).manhattanLength() < QApplication::startDragDistance())
            return;
        dragBegun_ = true;
    }
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

}  // namespace calendar
