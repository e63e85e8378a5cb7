#include "platform/grid/cardview.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace grid {

CardView::CardView(QWidget* parent) : QAbstractItemView(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void CardView::setModel(QAbstractItemModel* m)
{
    QAbstractItemView::setModel(m);
    if (m)
        connect(m, &QAbstractItemModel::rowsRemoved, this, [this] { doItemsLayout(); });
    doItemsLayout();
}

void CardView::reset()
{
    QAbstractItemView::reset();
    layoutDirty_ = true;
    relayout();
}

void CardView::doItemsLayout()
{
    layoutDirty_ = true;
    relayout();
    QAbstractItemView::doItemsLayout();
}

// Gathers the cards (row numbers only: nothing is measured here).
void CardView::relayout()
{
    if (!layoutDirty_)
        return;
    layoutDirty_ = false;
    cards_.clear();
    const int n = model() ? model()->rowCount(rootIndex()) : 0;
    cardOf_.fill(-1, n);
    cards_.reserve(n);
    for (int r = 0; r < n; ++r)
        if (!shown_ || shown_(r)) {
            cardOf_[r] = int(cards_.size());
            cards_.push_back(r);
        }
    heights_.fill(-1, cards_.size());
    scheduleGeometry();
}

int CardView::across() const
{
    const int w = cardWidth_ ? cardWidth_() : 200;
    return std::max(1, (viewport()->width() - spacing_) / (w + spacing_));
}

int CardView::cardOfRow(int row) const
{
    return row >= 0 && row < cardOf_.size() ? cardOf_[row] : -1;
}

QStyleOptionViewItem CardView::optionFor(int card) const
{
    QStyleOptionViewItem o;
    initViewItemOption(&o);
    const QModelIndex idx = model()->index(cards_[card], 0, rootIndex());
    if (selectionModel() && selectionModel()->isSelected(idx))
        o.state |= QStyle::State_Selected;
    if (currentIndex() == idx && hasFocus())
        o.state |= QStyle::State_HasFocus;
    return o;
}

int CardView::cardHeight(int card) const
{
    const int w = cardWidth_ ? cardWidth_() : 200;
    if (w != measuredWidth_) {
        measuredWidth_ = w;
        heights_.fill(-1, cards_.size());
    }
    int& h = heights_[card];
    if (h < 0)
        h = itemDelegate()->sizeHint(optionFor(card), model()->index(cards_[card], 0, rootIndex())).height();
    return h;
}

int CardView::lineHeight(int line) const
{
    const int a = across();
    int h = 0;
    for (int c = line * a; c < std::min(int(cards_.size()), (line + 1) * a); ++c)
        h = std::max(h, cardHeight(c));
    return h + spacing_;
}

int CardView::firstLine() const
{
    return std::clamp(verticalScrollBar()->value(), 0, std::max(0, lineCount() - 1));
}

int CardView::lastFirstLine() const
{
    int room = viewport()->height() - spacing_;
    int line = lineCount() - 1;
    for (; line > 0; --line) {
        room -= lineHeight(line);
        if (room < lineHeight(line - 1))
            break;
    }
    return std::max(0, line);
}

bool CardView::forEachShown(const std::function<bool(int, const QRect&)>& f) const
{
    const int a = across();
    const int w = cardWidth_ ? cardWidth_() : 200;
    const int lines = lineCount();
    int y = spacing_;
    for (int line = firstLine(); line < lines && y < viewport()->height(); ++line) {
        const int h = lineHeight(line);
        for (int c = line * a; c < std::min(int(cards_.size()), (line + 1) * a); ++c) {
            const QRect r(spacing_ + (c - line * a) * (w + spacing_), y, w, cardHeight(c));
            if (f(c, r))
                return true;
        }
        y += h;
    }
    return false;
}

QRect CardView::visualRect(const QModelIndex& index) const
{
    const int card = index.isValid() ? cardOfRow(index.row()) : -1;
    if (card < 0)
        return QRect();
    const int line = lineOf(card);
    const int w = cardWidth_ ? cardWidth_() : 200;
    const int x = spacing_ + (card - line * across()) * (w + spacing_);
    if (line < firstLine())  // above the screen: where it would stand, unmeasured lines counted flat
        return QRect(x, -(firstLine() - line) * viewport()->height(), w, cardHeight(card));
    QRect found;
    if (forEachShown([&](int c, const QRect& r) {
            if (c != card)
                return false;
            found = r;
            return true;
        }))
        return found;
    return QRect(x, viewport()->height() + spacing_, w, cardHeight(card));  // below the screen
}

QModelIndex CardView::indexAt(const QPoint& point) const
{
    QModelIndex found;
    forEachShown([&](int c, const QRect& r) {
        if (!r.contains(point))
            return false;
        found = model()->index(cards_[c], 0, rootIndex());
        return true;
    });
    return found;
}

void CardView::scrollTo(const QModelIndex& index, ScrollHint)
{
    const int card = index.isValid() ? cardOfRow(index.row()) : -1;
    if (card < 0)
        return;
    const int line = lineOf(card);
    // The range is needed only to scroll; the first card of a fresh view needs none.
    if (line < firstLine()) {
        ensureGeometry();
        verticalScrollBar()->setValue(line);
        return;
    }
    // Below: the first line that shows it whole at the bottom.
    int room = viewport()->height() - spacing_ - lineHeight(line);
    int first = line;
    while (first > firstLine() && room >= lineHeight(first - 1))
        room -= lineHeight(--first);
    if (first > firstLine()) {
        ensureGeometry();
        verticalScrollBar()->setValue(first);
    }
}

QModelIndex CardView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    ensureGeometry();
    if (cards_.isEmpty())
        return QModelIndex();
    const int cur = cardOfRow(currentIndex().row());
    const int a = across();
    const int n = int(cards_.size());
    const int page = std::max(1, lastFirstLine() > 0 ? verticalScrollBar()->pageStep() : lineCount()) * a;
    int next = cur < 0 ? 0 : cur;
    switch (action) {
    case MoveLeft:
    case MovePrevious:
        next = cur - 1;
        break;
    case MoveRight:
    case MoveNext:
        next = cur + 1;
        break;
    case MoveUp:
        next = cur - a;
        break;
    case MoveDown:
        next = cur + a;
        break;
    case MoveHome:
        next = 0;
        break;
    case MoveEnd:
        next = n - 1;
        break;
    case MovePageUp:
        next = cur - page;
        break;
    case MovePageDown:
        next = cur + page;
        break;
    }
    if (cur < 0)
        next = 0;
    if (next < 0 || next >= n)
        next = (action == MovePageUp) ? 0 : (action == MovePageDown ? n - 1 : cur);
    return model()->index(cards_[next], 0, rootIndex());
}

bool CardView::isIndexHidden(const QModelIndex& index) const
{
    return cardOfRow(index.row()) < 0;
}

void CardView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    QItemSelection selection;
    forEachShown([&](int c, const QRect& r) {
        if (r.intersects(rect.normalized()) || r.contains(rect.topLeft())) {
            const QModelIndex i = model()->index(cards_[c], 0, rootIndex());
            selection.select(i, i);
        }
        return false;
    });
    selectionModel()->select(selection, command);
}

QRegion CardView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    for (const QModelIndex& i : selection.indexes())
        region += visualRect(i);
    return region;
}

void CardView::updateGeometries()
{
    QAbstractItemView::updateGeometries();
    scheduleGeometry();
}

void CardView::scheduleGeometry()
{
    viewport()->update();
    if (geometryPending_)
        return;
    geometryPending_ = true;
    QTimer::singleShot(0, this, [this] { ensureGeometry(); });
}

void CardView::ensureGeometry()
{
    // Cards not shown (a grid of rows) are measured when they come on screen.
    if (!geometryPending_ || !isVisible())
        return;
    geometryPending_ = false;
    horizontalScrollBar()->setRange(0, 0);
    const int last = lastFirstLine();
    int visible = 0;
    forEachShown([&](int c, const QRect&) {
        visible = lineOf(c) - firstLine() + 1;
        return false;
    });
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(std::max(1, visible - 1));
    verticalScrollBar()->setRange(0, last);
}

void CardView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CardView::paintEvent(QPaintEvent* event)
{
    ensureGeometry();
    QPainter p(viewport());
    forEachShown([&](int c, const QRect& r) {
        if (r.intersects(event->rect())) {
            QStyleOptionViewItem o = optionFor(c);
            o.rect = r;
            itemDelegate()->paint(&p, o, model()->index(cards_[c], 0, rootIndex()));
        }
        return false;
    });
}

void CardView::showEvent(QShowEvent* event)
{
    QAbstractItemView::showEvent(event);
    geometryPending_ = true;
    ensureGeometry();
}

void CardView::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}

void CardView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        const int c = cardOfRow(r);
        if (c >= 0)
            heights_[c] = -1;
    }
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    viewport()->update();
}

void CardView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    doItemsLayout();
}

}  // namespace grid
