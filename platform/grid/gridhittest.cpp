#include "platform/grid/gridex.h"

#include "platform/grid/cardview.h"
#include "platform/grid/gridmodel.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

namespace grid {

// ----------------------------------------------------------------- hit-test

QPoint GridEX::toViewport(const QPoint& pos) const
{
    QWidget* vp = layout_ == Layout::Cards ? cards_->viewport() : table_->viewport();
    return vp->mapFrom(this, pos);
}

int GridEX::hitTest(const QPoint& pos) const
{
    if (layout_ == Layout::Rows) {
        QHeaderView* h = table_->horizontalHeader();
        if (h->isVisible() && h->geometry().contains(table_->mapFrom(this, pos)))
            return haColumnHeader;
    }
    const QPoint p = toViewport(pos);
    QAbstractItemView* v = layout_ == Layout::Cards ? cardView() : table_;
    if (!v->viewport()->rect().contains(p))
        return haNothing;
    const QModelIndex idx = v->indexAt(p);
    if (!idx.isValid())
        return haNothing;
    switch (rowKind(idx.row() + 1)) {
    case RowKind::GroupHeader:
        return haGroupHeader;
    case RowKind::Total:
        return haTotalRow;
    case RowKind::Record:
        return haCell;
    default:
        return haNothing;
    }
}

int GridEX::columnAt(const QPoint& pos) const
{
    if (layout_ == Layout::Cards)
        return 0;
    const QPoint p = table_->viewport()->mapFrom(this, pos);
    const int c = table_->columnAt(p.x());
    return c < 0 ? 0 : c + 1;
}

int GridEX::rowAt(const QPoint& pos) const
{
    QAbstractItemView* v = layout_ == Layout::Cards ? cardView() : table_;
    const QPoint p = toViewport(pos);
    if (!v->viewport()->rect().contains(p))
        return 0;
    const QModelIndex idx = v->indexAt(p);
    if (!idx.isValid() || idx.row() >= rowCount())
        return 0;
    return idx.row() + 1;
}

QPoint GridEX::cellCenter(int row, int column) const
{
    QAbstractItemView* v = layout_ == Layout::Cards ? cardView() : table_;
    const QRect r = v->visualRect(model_->index(row - 1, layout_ == Layout::Cards ? 0 : column - 1));
    if (!r.isValid())
        return QPoint(-1, -1);
    return v->viewport()->mapTo(this, r.center());
}

bool GridEX::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::Resize && watched == table_->viewport())
        updateSpans();
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick) {
        auto* me = static_cast<QMouseEvent*>(event);
        auto* w = static_cast<QWidget*>(watched);
        const QPoint pos = w->mapTo(this, me->position().toPoint());
        if (t == QEvent::MouseButtonPress) {
            emit mouseDown(me->button(), pos);
            if (me->button() == Qt::RightButton) {
                emit rightClicked(me->globalPosition().toPoint(), rowAt(pos), columnAt(pos));
                return true;  // a right click leaves the current row where it is
            }
        } else if (t == QEvent::MouseButtonRelease) {
            emit mouseUp(me->button(), pos);
            if (me->button() == Qt::RightButton)
                return true;
        } else if (me->button() == Qt::LeftButton && watched != table_->horizontalHeader()->viewport()) {
            emit doubleClicked();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace grid
