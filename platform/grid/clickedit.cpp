#include "platform/grid/clickedit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBasicTimer>
#include <QEvent>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QStyleHints>
#include <QTimerEvent>

namespace grid {
namespace {

class ClickToEdit : public QObject {
public:
    explicit ClickToEdit(QAbstractItemView* v) : QObject(v), view_(v)
    {
        v->setEditTriggers(v->editTriggers() & ~QAbstractItemView::SelectedClicked);
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
            if (watched == view_->viewport()) {
                timer_.stop();
                pressed_ = chosenAt(static_cast<QMouseEvent*>(e));
            }
            break;
        case QEvent::MouseButtonRelease:
            if (watched == view_->viewport() && pressed_.isValid()
                && chosenAt(static_cast<QMouseEvent*>(e)) == pressed_)
                timer_.start(QApplication::styleHints()->mouseDoubleClickInterval(), this);
            break;
        case QEvent::MouseButtonDblClick:
            // Its release must not start the timer again.
            pressed_ = QPersistentModelIndex();
            timer_.stop();
            break;
        case QEvent::KeyPress:
        case QEvent::FocusOut:
            timer_.stop();
            break;
        default:
            break;
        }
        return false;
    }
    void timerEvent(QTimerEvent* e) override
    {
        if (e->timerId() != timer_.timerId())
            return;
        timer_.stop();
        if (pressed_.isValid() && pressed_ == view_->currentIndex())
            view_->edit(pressed_);
    }

private:
    // The index under the pointer when it is the chosen cell of a chosen row.
    QPersistentModelIndex chosenAt(const QMouseEvent* me) const
    {
        if (me->button() != Qt::LeftButton || me->modifiers() != Qt::NoModifier)
            return {};
        const QModelIndex idx = view_->indexAt(me->position().toPoint());
        const QItemSelectionModel* sel = view_->selectionModel();
        if (!idx.isValid() || !sel || idx != view_->currentIndex() || !sel->isSelected(idx))
            return {};
        return idx;
    }

    QAbstractItemView* view_;
    QBasicTimer timer_;
    QPersistentModelIndex pressed_;
};

}  // namespace

void editOnClickOfChosenCell(QAbstractItemView* view) { new ClickToEdit(view); }

}  // namespace grid
