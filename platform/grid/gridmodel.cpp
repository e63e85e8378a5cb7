#include "platform/grid/gridmodel.h"

#include <QBrush>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QPalette>

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace grid {

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

namespace {

bool isEmptyGroup(const QVariant& v)
{
    return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

int sign(int c) { return c < 0 ? -1 : (c > 0 ? 1 : 0); }

}  // namespace

namespace {

// A group value read once, so that sorting compares no variants: its kind,
// its number or date, and its text.
struct GroupKey {
    enum Kind { Empty, Number, DateTime, YesNo, Other } kind = Empty;
    double number = 0;
    QDateTime dateTime;
    QString text;

    explicit GroupKey(const QVariant& v, bool fold = true)
    {
        if (isEmptyGroup(v))
            return;
        if (isNumber(v)) {
            kind = Number;
            number = v.toDouble();
        } else if (v.typeId() == QMetaType::QDateTime) {
            kind = DateTime;
            dateTime = v.toDateTime();
        } else if (v.typeId() == QMetaType::Bool) {
            kind = YesNo;
            number = v.toBool();
        } else {
            kind = Other;
        }
        text = v.toString();
        if (fold)
            folded = text.toCaseFolded();
    }
    QString folded;   // compared first, so that case counts only between equal names
};

int compareTexts(const GroupKey& x, const GroupKey& y)
{
    const int c = QString::compare(x.folded, y.folded, Qt::CaseSensitive);
    return c != 0 ? sign(c) : sign(QString::compare(x.text, y.text, Qt::CaseSensitive));
}

// The order of compareGroupValues on keys read before.
int compareKeys(const GroupKey& a, const GroupKey& b)
{
    if (a.kind == GroupKey::Empty || b.kind == GroupKey::Empty)
        return a.kind == b.kind ? 0 : (a.kind == GroupKey::Empty ? -1 : 1);
    if (a.kind == b.kind && a.kind != GroupKey::Other) {
        if (a.kind == GroupKey::DateTime)
            return a.dateTime < b.dateTime ? -1 : (b.dateTime < a.dateTime ? 1 : 0);
        return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    }
    return compareTexts(a, b);
}

}  // namespace

// Orders group values: empty ones (NULL or "", one group) first, then
// numbers, dates, Yes/No and texts. Texts that differ only in case are two
// groups (two parties may be named so), kept side by side.
int compareGroupValues(const QVariant& a, const QVariant& b)
{
    return compareKeys(GroupKey(a), GroupKey(b));
}

GridModel::GridModel(GridEX* owner) : QAbstractTableModel(owner), g_(owner) {}

void GridModel::rebuild()
{
    beginResetModel();
    rows_.clear();
    displayOf_.clear();
    keys_.clear();
    keyOf_.clear();
    const ado::Recordset* rs = g_->rs_ && g_->rs_->isOpen() ? g_->rs_.get() : nullptr;
    const int n = rs ? rs->RecordCount() : 0;
    displayOf_.fill(-1, n);
    const int gc = g_->groupColumn_;
    if (rs && gc >= 1 && gc <= rs->fieldCount()) {
        // Grouping is computed once here, not while painting. Records that
        // store the same value are gathered first, without reading their
        // values; only one value of each is read and compared.
        const int col = gc - 1;
        const auto hash = [rs, col](int r) { return rs->cellHash(r, col); };
        const auto same = [rs, col](int a, int b) { return rs->sameCell(a, b, col); };
        std::unordered_map<int, int, decltype(hash), decltype(same)> distinct(64, hash, same);
        std::vector<int> firstOf;   // distinct value -> its first record
        keyOf_.resize(n);
        for (int r = 0; r < n; ++r) {
            const auto it = distinct.try_emplace(r, int(firstOf.size())).first;
            if (it->second == int(firstOf.size()))
                firstOf.push_back(r);
            keyOf_[r] = it->second;
        }
        keys_.reserve(int(firstOf.size()));
        std::vector<GroupKey> sortKeys;
        sortKeys.reserve(firstOf.size());
        for (int first : firstOf) {
            keys_.push_back(rs->cell(first, col));
            sortKeys.emplace_back(keys_.back(), false);
        }
        // The records of each group in their own order; only the groups are
        // sorted, so a view of few groups sorts next to nothing. Values that
        // read alike (5 and "5", two spellings of one date) are told apart
        // by their kinds: each text leads to a chain of its groups.
        std::vector<int> groupOf(firstOf.size());   // distinct value -> group
        std::vector<int> groupKey;                  // group -> its first distinct value
        std::vector<int> sameText;                  // group -> the next group whose value reads so
        QHash<QString, int> byText;                 // a text -> the first group of its chain
        byText.reserve(qsizetype(firstOf.size()));
        for (size_t d = 0; d < firstOf.size(); ++d) {
            auto at = byText.find(sortKeys[d].text);
            if (at == byText.end())
                at = byText.insert(sortKeys[d].text, -1);
            int& head = at.value();
            int g = -1;
            for (int c = head; c >= 0 && g < 0; c = sameText[size_t(c)])
                if (compareKeys(sortKeys[size_t(groupKey[size_t(c)])], sortKeys[d]) == 0)
                    g = c;
            if (g < 0) {
                g = int(groupKey.size());
                groupKey.push_back(int(d));
                sameText.push_back(head);
                head = g;
            }
            groupOf[d] = g;
        }
        for (int d : groupKey)
            sortKeys[size_t(d)].folded = sortKeys[size_t(d)].text.toCaseFolded();
        std::vector<int> order(groupKey.size());
        for (size_t g = 0; g < order.size(); ++g)
            order[g] = int(g);
        std::sort(order.begin(), order.end(), [&](int x, int y) {
            const int c = compareKeys(sortKeys[size_t(groupKey[size_t(x)])], sortKeys[size_t(groupKey[size_t(y)])]);
            return c != 0 ? c < 0 : x < y;
        });
        // The members of every group in one array, in record order.
        std::vector<int> start(groupKey.size() + 1, 0);
        for (int r = 0; r < n; ++r)
            ++start[size_t(groupOf[size_t(keyOf_[r])]) + 1];
        for (size_t g = 1; g < start.size(); ++g)
            start[g] += start[g - 1];
        std::vector<int> members(static_cast<size_t>(n));
        {
            std::vector<int> next(start.begin(), start.end() - 1);
            for (int r = 0; r < n; ++r)
                members[size_t(next[size_t(groupOf[size_t(keyOf_[r])])]++)] = r;
        }
        rows_.reserve(n + int(groupKey.size()));
        for (int g : order) {
            const int from = start[size_t(g)], to = start[size_t(g) + 1];
            const int first = members[size_t(from)], size = to - from;
            rows_.push_back(Row{RowKind::GroupHeader, -1, first, size});
            for (int m = from; m < to; ++m) {
                displayOf_[members[size_t(m)]] = rows_.size();
                rows_.push_back(Row{RowKind::Record, members[size_t(m)], first, size});
            }
        }
    } else {
        rows_.reserve(n);
        for (int r = 0; r < n; ++r) {
            displayOf_[r] = r;
            rows_.push_back(Row{RowKind::Record, r, -1, 0});
        }
    }
    endResetModel();
}

const GridModel::Row* GridModel::row(int index) const
{
    if (index < 0 || index >= rows_.size())
        return nullptr;
    return &rows_[index];
}

bool GridModel::hasTotalRow() const
{
    return g_->totalMode_ == 2 && g_->rs_ && g_->rs_->isOpen();
}

int GridModel::displayOfRecord(int record) const
{
    if (record < 0 || record >= displayOf_.size())
        return -1;
    return displayOf_[record];
}

void GridModel::recordChanged(int record)
{
    const int d = displayOfRecord(record);
    if (d >= 0)
        emit dataChanged(index(d, 0), index(d, columnCount() - 1));
    // The header shows the group's value, which may be this record's.
    if (d > 0 && rows_[d].groupFirst == record)
        for (int h = d - 1; h >= 0; --h)
            if (rows_[h].kind == RowKind::GroupHeader) {
                emit dataChanged(index(h, 0), index(h, columnCount() - 1));
                break;
            }
    totalsChanged();
}

void GridModel::totalsChanged()
{
    if (hasTotalRow() && columnCount() > 0)
        emit dataChanged(index(rows_.size(), 0), index(rows_.size(), columnCount() - 1));
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return rows_.size() + (hasTotalRow() ? 1 : 0);
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return g_->fields_.size();
}

QVariant GridModel::data(const QModelIndex& idx, int role) const
{
    if (!idx.isValid())
        return {};
    const int c = idx.column() + 1;
    if (idx.row() == rows_.size()) {  // the total row
        switch (role) {
        case Qt::DisplayRole:
            return g_->totalText(c);
        case Qt::FontRole: {
            QFont f;
            f.setBold(true);
            return f;
        }
        case Qt::BackgroundRole:
            return g_->palette().brush(QPalette::Button);
        case Qt::TextAlignmentRole:
            return g_->columnAggregate(c) == agSum ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default:
            return {};
        }
    }
    const Row* r = row(idx.row());
    if (!r)
        return {};
    if (r->kind == RowKind::GroupHeader) {
        switch (role) {
        case Qt::DisplayRole:
            // The row is one cell spanning every column, painted from the first.
            return c == 1 ? g_->groupHeaderText(idx.row() + 1) : QString();
        case Qt::FontRole: {
            QFont f;
            f.setBold(true);
            return f;
        }
        case Qt::BackgroundRole:
            return g_->palette().brush(QPalette::AlternateBase);
        default:
            return {};
        }
    }
    // Painting asks for many roles; the value is read for the four that use it.
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole
        && role != Qt::TextAlignmentRole)
        return {};
    const ado::Recordset* rs = g_->rs_.get();
    const QVariant v = rs->cell(r->record, idx.column());
    const bool yesNo = rs->fieldKind(idx.column()) == ado::ColumnKind::YesNo;
    switch (role) {
    case Qt::DisplayRole:
        if (yesNo)
            return {};
        return formatValue(v, g_->columnFormat(c));
    case Qt::EditRole:
        return formatValue(v, QString());
    case Qt::CheckStateRole:
        if (!yesNo)
            return {};
        return v.toBool() ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        if (isNumber(v))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& idx, const QVariant& value, int role)
{
    if (!idx.isValid())
        return false;
    if (role == Qt::CheckStateRole)
        return g_->editCell(idx.row() + 1, idx.column() + 1, value.toInt() == Qt::Checked);
    if (role == Qt::EditRole)
        return g_->editCell(idx.row() + 1, idx.column() + 1, value);
    return false;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& idx) const
{
    if (!idx.isValid())
        return Qt::NoItemFlags;
    if (idx.row() == rows_.size())
        return Qt::ItemIsEnabled;
    const Row* r = row(idx.row());
    if (!r)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (r->kind != RowKind::Record || !g_->isColumnEditable(idx.column() + 1))
        return f;
    if (g_->rs_->fieldKind(idx.column()) == ado::ColumnKind::YesNo)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return g_->shownCaption(section + 1);
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace grid
