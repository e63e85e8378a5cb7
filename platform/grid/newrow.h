#pragma once
// The new-row line of GridEX (a one-row line under the column captions
// where a new row is typed and stored with Enter) and the stand-in editor
// of custom columns, whose focus goes to a control of the grid's owner.

#include "platform/grid/gridex.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPointer>
#include <QTableView>
#include <QVector>

namespace grid {

class GridDelegate;

// The column captions, with room beneath them for the new-row line. With
// no line it is a plain header.
class GridHeader : public QHeaderView {
public:
    GridHeader(Qt::Orientation orientation, QWidget* parent);
    void setLine(QWidget* line, int height);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void placeLine();
    QPointer<QWidget> line_;
    int lineHeight_ = 0;
};

// The custom column's stand-in: see-through, over the cell, its focus
// handed to the owner's control.
QWidget* makeCustomStandIn(QWidget* parent, QWidget* control);
bool isCustomStandIn(const QWidget* w);

// The values typed into the new-row line, one per column of the grid.
class NewRowModel : public QAbstractTableModel {
public:
    explicit NewRowModel(GridEX* g, QObject* parent);
    QVariant value(int column) const;
    void setValue(int column, const QVariant& v);
    bool anyTyped() const;
    void clear();
    void resetColumns();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Enter in a cell editor of the line stores the row.
    bool submit() override;

private:
    GridEX* g_;
    QVector<QVariant> values_;
};

class NewRowLine : public QObject {
public:
    explicit NewRowLine(GridEX* g);
    ~NewRowLine() override;

    bool isCurrent() const { return current_; }
    void makeCurrent();
    void leave();
    QVariant value(int column) const { return model_->value(column); }
    bool setValue(int column, const QVariant& v);
    bool anyTyped() const { return model_->anyTyped(); }
    void clear() { model_->clear(); }
    // Ends an open cell editor of the line, its text kept or dropped.
    void closeEditor(bool store);
    QTableView* view() const { return view_; }
    GridDelegate* delegate() const { return delegate_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncColumns();
    void modelReset();
    int firstEditableColumn() const;

    GridEX* g_;
    NewRowModel* model_ = nullptr;
    GridDelegate* delegate_ = nullptr;
    QPointer<QTableView> view_;
    QPointer<QTableView> table_;
    QPointer<QWidget> viewport_;
    const ado::Recordset* boundTo_ = nullptr;
    bool current_ = false;
};

}  // namespace grid
