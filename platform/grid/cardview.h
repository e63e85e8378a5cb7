#pragma once
// The card layout of GridEX: cards of one width side by side, as many as fit
// the width, in lines as tall as their tallest card. Only the cards on screen
// are measured and painted, so binding and resizing cost what a table view's
// do whatever the number of records. It scrolls by lines of cards.

#include <QAbstractItemView>
#include <QVector>

#include <functional>

namespace grid {

class CardView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit CardView(QWidget* parent = nullptr);

    // Which model rows are cards; the others are left out.
    void setShownRows(std::function<bool(int row)> shown) { shown_ = std::move(shown); }
    void setSpacing(int px) { spacing_ = px; }
    int spacing() const { return spacing_; }
    // The width a card takes now; the delegate's size hints give the heights.
    void setCardWidthFunction(std::function<int()> width) { cardWidth_ = std::move(width); }

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void setModel(QAbstractItemModel* model) override;
    void doItemsLayout() override;
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override { return 0; }
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

private:
    int across() const;
    int lineCount() const { return (int(cards_.size()) + across() - 1) / across(); }
    int lineOf(int card) const { return card / across(); }
    int cardOfRow(int row) const;
    int cardHeight(int card) const;
    int lineHeight(int line) const;
    int firstLine() const;
    int lastFirstLine() const;          // the first line that shows the last line whole
    QStyleOptionViewItem optionFor(int card) const;
    // Calls f(card, rect) for every card on screen until it returns true.
    bool forEachShown(const std::function<bool(int card, const QRect& rect)>& f) const;
    void relayout();
    // The scroll range needs the heights of the cards on screen and at the
    // end; it is worked out once before the next paint or scroll, not at each
    // of the many changes that binding and shaping a view make.
    void scheduleGeometry();
    void ensureGeometry();

    std::function<bool(int)> shown_;
    std::function<int()> cardWidth_;
    int spacing_ = 4;
    QVector<int> cards_;                // model rows shown as cards, in order
    QVector<int> cardOf_;               // model row -> card, -1 when none
    mutable QVector<int> heights_;      // measured card heights, -1 not yet
    mutable int measuredWidth_ = -1;
    bool layoutDirty_ = true;
    bool geometryPending_ = false;
};

}  // namespace grid
