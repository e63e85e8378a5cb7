#pragma once
// Editors and card painting of GridEX.

#include "platform/grid/gridex.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QFontMetrics>
#include <QStyledItemDelegate>

namespace grid {

// A typed cell the database refused: the cell (invalid when nothing was
// refused), what was typed, and why.
struct CellRefusal {
    QPersistentModelIndex at;
    QString typed;
    QString why;
    bool unread = false;  // the text did not convert: `why` is the whole message
};

// Text editing for plain columns; an editable drop-down for columns with a
// value list (edit type 3) or an attached list grid (edit type 5), which
// takes typed text as well as a choice. A custom column (edit type 8) opens
// a stand-in whose focus goes to the owner's control, and raises the
// grid's custom-edit signals.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(GridEX* g) : QStyledItemDelegate(g), g_(g) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // With its list closed, a drop-down cell leaves Up, Down and the page keys
    // to the grid, as a text cell does.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A value cut short in its cell shows whole as the cell's tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    QWidget* openEditor() const { return editor_; }
    bool editorModified() const;
    bool lastWriteOk() const { return lastWriteOk_; }
    bool customEditOpen() const;
    // The last write's refusal by the database; taking it clears it.
    CellRefusal takeRefused();

private:
    GridEX* g_;
    mutable QPointer<QWidget> editor_;
    mutable QString original_;
    mutable bool lastWriteOk_ = true;
    mutable CellRefusal refused_;
};

// One card per record: the card-caption column's value as the title, then a
// "caption: value" line per shown column.
class CardDelegate : public QStyledItemDelegate {
public:
    explicit CardDelegate(GridEX* g) : QStyledItemDelegate(g), g_(g) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    int cardWidth() const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    static QRect titleRect(const QStyleOptionViewItem& option);
    QString title(int row) const;
    QVector<int> lineColumns() const;
    int lineHeight(const QFontMetrics& fm, const QString& text, int cardWidth, int line) const;
    GridEX* g_;
};

}  // namespace grid
