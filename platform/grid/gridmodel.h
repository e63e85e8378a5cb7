#pragma once
// The item model behind GridEX: displayed rows (group headers and records)
// over the recordset's rows, plus the total row at the end when it is on.

#include "platform/grid/gridex.h"

#include <QAbstractTableModel>
#include <QVector>

namespace grid {

// Whether a value is held as a number (not as its text).
bool isNumber(const QVariant& v);

// Order of group values; 0 when two values fall in the same group: empty
// values (NULL or "") together, texts by their exact spelling.
int compareGroupValues(const QVariant& a, const QVariant& b);

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(GridEX* owner);

    // One displayed row: a record (its recordset row) or a group header
    // (the first record of its group, and the group's size).
    struct Row {
        RowKind kind = RowKind::Record;
        int record = -1;
        int groupFirst = -1;
        int groupSize = 0;
    };

    void rebuild();
    int displayedRows() const { return rows_.size(); }
    const Row* row(int index) const;   // 0-based; nullptr when out of range
    bool hasTotalRow() const;
    int displayOfRecord(int record) const;   // 0-based displayed row, -1 when none
    void recordChanged(int record);
    // The group value a record had when the rows were gathered.
    QVariant groupKey(int record) const
    {
        return record >= 0 && record < keyOf_.size() ? keys_[keyOf_[record]] : QVariant();
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void totalsChanged();

private:
    GridEX* g_;
    QVector<Row> rows_;
    QVector<int> displayOf_;
    QVector<QVariant> keys_;   // the distinct group values
    QVector<int> keyOf_;       // record -> its value in keys_
};

}  // namespace grid
