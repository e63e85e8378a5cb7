#include "platform/ado/rowstore.h"

#include <sqlite3.h>

#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace ado::detail {

namespace {

// Blocks of rows dropped lately, handed to the next rows loaded: a view that
// replaces another reuses its memory instead of having the system clear
// fresh pages for each load. Up to 32 MB of each kind are kept.
template <class Block>
class Spares {
public:
    explicit Spares(size_t keep) : keep_(keep) {}
    void give(Block&& b)
    {
        const std::lock_guard<std::mutex> lock(m_);
        if (kept_.size() < keep_)
            kept_.push_back(std::move(b));
    }
    bool take(Block& b)
    {
        const std::lock_guard<std::mutex> lock(m_);
        if (kept_.empty())
            return false;
        b = std::move(kept_.back());
        kept_.pop_back();
        return true;
    }

private:
    std::mutex m_;
    size_t keep_;
    std::vector<Block> kept_;
};

// Never destroyed: recordsets kept in statics are dropped after them.
template <class Cell>
Spares<std::unique_ptr<Cell[]>>& cellSpares(size_t blockBytes)
{
    static auto* s = new Spares<std::unique_ptr<Cell[]>>((32u << 20) / blockBytes);
    return *s;
}

template <class Bytes>
Spares<Bytes>& byteSpares(size_t blockBytes)
{
    static auto* s = new Spares<Bytes>((32u << 20) / blockBytes);
    return *s;
}

}  // namespace

RowStore::~RowStore()
{
    clear();
}

void RowStore::clear()
{
    auto& spare = cellSpares<Cell>(kCellBlock * sizeof(Cell));
    for (auto& b : cells_)
        spare.give(std::move(b));
    cells_.clear();
    for (Bytes& b : bytes_) {
        if (b.capacity == kByteBlock) {
            b.size = 0;
            byteSpares<Bytes>(kByteBlock).give(std::move(b));
        }
    }
    bytes_.clear();
    count_ = 0;
    others_ = {};
}

void RowStore::reset(int width)
{
    clear();
    width_ = width;
}

RowStore::Cell& RowStore::newCell()
{
    const size_t i = count_++;
    if ((i >> kCellShift) >= cells_.size()) {
        std::unique_ptr<Cell[]> b;
        if (!cellSpares<Cell>(kCellBlock * sizeof(Cell)).take(b))
            b.reset(new Cell[kCellBlock]);
        cells_.push_back(std::move(b));
    }
    Cell& c = cell(i);
    c = Cell();
    return c;
}

void RowStore::putBytes(Cell& c, Type type, const char* data, int size)
{
    c.type = type;
    c.size = quint32(size);
    // A text goes whole into one block; one larger than a block has one of its own.
    if (bytes_.empty() || bytes_.back().capacity - bytes_.back().size < size_t(size)) {
        Bytes b;
        if (size_t(size) > kByteBlock || !byteSpares<Bytes>(kByteBlock).take(b)) {
            b.capacity = std::max(kByteBlock, size_t(size));
            b.data.reset(new char[b.capacity]);
        }
        bytes_.push_back(std::move(b));
    }
    Bytes& b = bytes_.back();
    c.offset = (qint64(bytes_.size() - 1) << 32) | qint64(b.size);
    if (size > 0)
        std::memcpy(b.data.get() + b.size, data, size_t(size));
    b.size += size_t(size);
}

void RowStore::put(Cell& c, const QVariant& v)
{
    c = Cell();
    if (!v.isValid())
        return;
    switch (v.typeId()) {
    case QMetaType::LongLong:
        c.type = Integer;
        c.integer = v.toLongLong();
        return;
    case QMetaType::Double:
        c.type = Real;
        c.real = v.toDouble();
        return;
    case QMetaType::QString: {
        const QString s = v.toString();
        if (s.isNull())
            break;
        const QByteArray utf8 = s.toUtf8();
        putBytes(c, Text, utf8.constData(), int(utf8.size()));
        return;
    }
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        if (b.isNull())
            break;
        putBytes(c, Blob, b.constData(), int(b.size()));
        return;
    }
    default:
        break;
    }
    c.type = Other;
    c.offset = others_.size();
    others_.push_back(v);
}

void RowStore::appendFrom(sqlite3_stmt* st)
{
    for (int i = 0; i < width_; ++i) {
        const Cell c = read(st, i);
        newCell() = c;
    }
}

void RowStore::appendFrom(const QVector<QVariant>& values)
{
    for (int i = 0; i < width_; ++i) {
        Cell& c = newCell();
        if (i < values.size())
            put(c, values[i]);
    }
}

RowStore::Cell RowStore::read(sqlite3_stmt* st, int stColumn)
{
    Cell c;
    // One look-up of the column, then its value read directly: the column
    // calls would each look it up again. The connection is used by one
    // thread, so reading the unprotected value is safe.
    sqlite3_value* v = sqlite3_column_value(st, stColumn);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        c.type = Integer;
        c.integer = sqlite3_value_int64(v);
        break;
    case SQLITE_FLOAT:
        c.type = Real;
        c.real = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        putBytes(c, Text, p, sqlite3_value_bytes(v));
        break;
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
        putBytes(c, Blob, p, sqlite3_value_bytes(v));
        break;
    }
    default:
        break;
    }
    return c;
}

void RowStore::setFrom(int row, int column, sqlite3_stmt* st, int stColumn)
{
    at(row, column) = read(st, stColumn);
}

void RowStore::removeRow(int row)
{
    for (size_t i = size_t(row) * width_; i + width_ < count_; ++i)
        cell(i) = cell(i + width_);
    count_ -= size_t(width_);
    const size_t needed = (count_ + kCellBlock - 1) >> kCellShift;
    while (cells_.size() > needed)
        cells_.pop_back();
}

QVariant RowStore::value(int row, int column) const
{
    const Cell& c = at(row, column);
    switch (c.type) {
    case Integer:
        return qlonglong(c.integer);
    case Real:
        return c.real;
    case Text:
        // Never a null string: an empty text is a value, not NULL.
        return c.size ? QString::fromUtf8(bytesOf(c), qsizetype(c.size)) : QString(QLatin1String(""));
    case Blob:
        return QByteArray(c.size ? bytesOf(c) : nullptr, qsizetype(c.size));
    case Other:
        return others_[c.offset];
    default:
        return QVariant();
    }
}

size_t RowStore::hash(int row, int column) const
{
    const Cell& c = at(row, column);
    switch (c.type) {
    case Integer:
        return qHash(c.integer);
    case Real:
        return qHash(c.real);
    case Text:
    case Blob:
        return qHash(QByteArrayView(bytesOf(c), qsizetype(c.size)));
    default:
        return c.type;
    }
}

bool RowStore::same(int row, int otherRow, int column) const
{
    const Cell& a = at(row, column);
    const Cell& b = at(otherRow, column);
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case Integer:
        return a.integer == b.integer;
    case Real:
        return a.real == b.real;
    case Text:
    case Blob:
        return a.size == b.size && std::memcmp(bytesOf(a), bytesOf(b), a.size) == 0;
    case Other:
        return others_[a.offset] == others_[b.offset];
    default:
        return true;
    }
}

void RowStore::setValue(int row, int column, const QVariant& v)
{
    put(at(row, column), v);
}

QVector<QVariant> RowStore::rowValues(int row, int count) const
{
    QVector<QVariant> values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.push_back(value(row, i));
    return values;
}

}  // namespace ado::detail
