#include "platform/ado/rowstore.h"

#include <sqlite3.h>

#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace ado::detail {

namespace {

// Buffers of rows dropped lately, handed to the next rows loaded: a view
// that replaces another reuses its memory instead of having the system clear
// fresh pages for each load. A few are kept, the small ones never.
template <class T>
class Spares {
public:
    void give(std::vector<T>& v)
    {
        std::vector<T> dropped;
        dropped.swap(v);
        if (dropped.capacity() * sizeof(T) < 64 * 1024)
            return;
        dropped.clear();
        const std::lock_guard<std::mutex> lock(m_);
        if (kept_.size() < 4)
            kept_.push_back(std::move(dropped));
    }
    void take(std::vector<T>& v)
    {
        const std::lock_guard<std::mutex> lock(m_);
        if (kept_.empty())
            return;
        const auto largest = std::max_element(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) {
            return a.capacity() < b.capacity();
        });
        v.swap(*largest);
        kept_.erase(largest);
    }

private:
    std::mutex m_;
    std::vector<std::vector<T>> kept_;
};

}  // namespace

RowStore::~RowStore()
{
    clear();
}

void RowStore::spares(bool give)
{
    // Never destroyed: recordsets kept in statics are dropped after them.
    static auto* cells = new Spares<Cell>;
    static auto* bytes = new Spares<char>;
    if (give) {
        cells->give(cells_);
        bytes->give(bytes_);
    } else {
        cells->take(cells_);
        bytes->take(bytes_);
    }
}

void RowStore::clear()
{
    spares(true);
    others_ = {};
}

void RowStore::reset(int width)
{
    clear();
    width_ = width;
    if (width > 0)
        spares(false);
}

void RowStore::putBytes(Cell& c, Type type, const char* data, int size)
{
    c.type = type;
    c.size = quint32(size);
    c.offset = qint64(bytes_.size());
    if (size > 0)
        bytes_.insert(bytes_.end(), data, data + size);
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
    for (int i = 0; i < width_; ++i)
        cells_.push_back(read(st, i));
}

void RowStore::appendFrom(const QVector<QVariant>& values)
{
    const size_t first = cells_.size();
    cells_.resize(first + width_);
    for (int i = 0; i < width_ && i < values.size(); ++i)
        put(cells_[first + i], values[i]);
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
    const auto first = cells_.begin() + ptrdiff_t(row) * width_;
    cells_.erase(first, first + width_);
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
        return c.size ? QString::fromUtf8(bytes_.data() + c.offset, qsizetype(c.size)) : QString(QLatin1String(""));
    case Blob:
        return QByteArray(c.size ? bytes_.data() + c.offset : nullptr, qsizetype(c.size));
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
        return qHash(QByteArrayView(bytes_.data() + c.offset, qsizetype(c.size)));
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
        return a.size == b.size && std::memcmp(bytes_.data() + a.offset, bytes_.data() + b.offset, a.size) == 0;
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
