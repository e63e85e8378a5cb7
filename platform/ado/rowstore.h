#pragma once
// The rows of a recordset as SQLite hands them out: each cell a storage class
// with its number, or a slice of a shared UTF-8 buffer; a value is made a
// QVariant only when it is read. Loading ten thousand rows then costs a
// copy of their bytes. Cells and bytes are kept in blocks of a fixed size,
// so a load of a million rows never copies what it holds to grow.

#include <QByteArray>
#include <QVariant>
#include <QVector>

#include <memory>
#include <utility>
#include <vector>

struct sqlite3_stmt;

namespace ado::detail {

class RowStore {
public:
    RowStore() = default;
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    ~RowStore();
    void clear();
    void swap(RowStore& other) noexcept
    {
        std::swap(width_, other.width_);
        std::swap(count_, other.count_);
        cells_.swap(other.cells_);
        bytes_.swap(other.bytes_);
        others_.swap(other.others_);
    }
    // Sets the number of cells a row holds; drops every row.
    void reset(int width);
    int rows() const { return width_ ? int(count_ / size_t(width_)) : 0; }
    int width() const { return width_; }

    // Appends the statement's current row, its first width() columns.
    void appendFrom(sqlite3_stmt* st);
    void appendFrom(const QVector<QVariant>& values);
    void removeRow(int row);

    // The value as it was stored or set: whole numbers as qlonglong, reals as
    // double, text as QString, blobs as QByteArray, NULL as an invalid value.
    QVariant value(int row, int column) const;
    void setValue(int row, int column, const QVariant& v);
    void setFrom(int row, int column, sqlite3_stmt* st, int stColumn);
    // Cells of one column that hold the same stored value, told without
    // making values: equal cells hash alike.
    size_t hash(int row, int column) const;
    bool same(int row, int otherRow, int column) const;
    // The values of a row, from its first column to `count`.
    QVector<QVariant> rowValues(int row, int count) const;

private:
    enum Type : quint8 { Null, Integer, Real, Text, Blob, Other };
    struct Cell {
        Type type = Null;
        quint32 size = 0;  // bytes of a text or blob
        union {
            qint64 integer;
            double real;
            qint64 offset;  // of a text or blob: its block, then its place there; into others_ for Other
        };
        Cell() : integer(0) {}
    };
    static constexpr int kCellShift = 14;   // 16,384 cells a block
    static constexpr size_t kCellBlock = size_t(1) << kCellShift;
    static constexpr size_t kByteBlock = size_t(1) << 20;
    struct Bytes {
        std::unique_ptr<char[]> data;
        size_t size = 0;
        size_t capacity = 0;
    };
    Cell& at(int row, int column) { return cell(size_t(row) * width_ + column); }
    const Cell& at(int row, int column) const { return const_cast<RowStore*>(this)->cell(size_t(row) * width_ + column); }
    Cell& cell(size_t i) { return cells_[i >> kCellShift][i & (kCellBlock - 1)]; }
    Cell& newCell();
    const char* bytesOf(const Cell& c) const { return bytes_[size_t(c.offset >> 32)].data.get() + (c.offset & 0xffffffff); }
    Cell read(sqlite3_stmt* st, int column);
    void put(Cell& c, const QVariant& v);
    void putBytes(Cell& c, Type type, const char* data, int size);

    int width_ = 0;
    size_t count_ = 0;   // cells in use
    std::vector<std::unique_ptr<Cell[]>> cells_;
    std::vector<Bytes> bytes_;
    // Values written later that SQLite's classes do not hold as they are
    // (a bool, a null string); kept whole so they read back the same.
    QVector<QVariant> others_;
};

}  // namespace ado::detail
