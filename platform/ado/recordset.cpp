#include "platform/ado/ado.h"

#include "platform/ado/ignoring.h"
#include "platform/ado/rules.h"

#include <sqlite3.h>

#include <QSet>

#include <algorithm>
#include <optional>

namespace ado {

namespace {

constexpr const char* kHiddenPrefix = "__nuptaro_rowid_";

using detail::quoteIdent;

// Positions of the words that stand at the top level of an SQL text: outside
// quotes, bracketed names and parentheses. Upper-cased words with their offsets.
struct Word {
    QString text;
    int pos;
};

QVector<Word> topLevelWords(const QString& sql)
{
    QVector<Word> words;
    int depth = 0;
    const int n = sql.size();
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"' || c == '`') {
            const QChar q = c;
            ++i;
            while (i < n) {
                if (sql[i] == q) {
                    if (i + 1 < n && sql[i + 1] == q) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == '[') {
            while (i < n && sql[i] != ']')
                ++i;
            ++i;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
        } else if (c == '(') {
            ++depth;
            ++i;
        } else if (c == ')') {
            --depth;
            ++i;
        } else if (c.isLetter() || c == '_') {
            const int start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == '_'))
                ++i;
            if (depth == 0)
                words.push_back({sql.mid(start, i - start).toUpper(), start});
        } else {
            ++i;
        }
    }
    return words;
}

// How an SQL text names a table, for qualifying a column of it: its alias
// ("FROM GUEST g", "FROM GUEST AS g"), else the table's own name; "" when
// the text names the table more than once or not at all. An alias is never
// a table, nor is a column alias used outside the FROM clause
// ("VENDOR_NAME AS [Vendor] ... ORDER BY [Vendor]").
QString tableQualifier(const QString& sql, const QString& table)
{
    int fromStart = -1, fromEnd = int(sql.size());
    for (const Word& w : topLevelWords(sql)) {
        if (fromStart < 0 && w.text == "FROM")
            fromStart = w.pos;
        else if (fromStart >= 0
                 && QStringList{"WHERE", "GROUP", "ORDER", "LIMIT", "HAVING", "WINDOW", "UNION", "EXCEPT", "INTERSECT"}
                        .contains(w.text)) {
            fromEnd = w.pos;
            break;
        }
    }
    struct Token {
        QString text;
        int start, end;
        bool quoted;
    };
    QVector<Token> tokens;
    const int n = sql.size();
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == '\'') {
            for (++i; i < n; ++i)
                if (sql[i] == '\'') {
                    if (i + 1 < n && sql[i + 1] == '\'') {
                        ++i;
                        continue;
                    }
                    break;
                }
            ++i;
        } else if (c == '"' || c == '`' || c == '[') {
            const QChar close = c == '[' ? QChar(']') : c;
            const int start = i;
            QString text;
            for (++i; i < n && sql[i] != close; ++i)
                text += sql[i];
            ++i;
            tokens.push_back({text, start, i, true});
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
        } else if (c.isLetter() || c == '_') {
            const int start = i;
            while (i < n && (sql[i].isLetterOrNumber() || sql[i] == '_'))
                ++i;
            tokens.push_back({sql.mid(start, i - start), start, i, false});
        } else {
            ++i;
        }
    }
    auto charBefore = [&](int pos) {
        for (int i = pos - 1; i >= 0; --i)
            if (!sql[i].isSpace())
                return sql[i];
        return QChar();
    };
    auto charAfter = [&](int pos) {
        for (int i = pos; i < n; ++i)
            if (!sql[i].isSpace())
                return sql[i];
        return QChar();
    };
    static const QSet<QString> notAliases = {"ON", "WHERE", "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS",
                                             "JOIN", "NATURAL", "USING", "GROUP", "ORDER", "LIMIT", "UNION",
                                             "EXCEPT", "INTERSECT", "WINDOW", "HAVING", "INDEXED", "NOT", "AND",
                                             "OR", "SET", "VALUES"};
    auto afterAs = [&](int i) {
        return i > 0 && !tokens[i - 1].quoted && tokens[i - 1].text.compare("AS", Qt::CaseInsensitive) == 0;
    };
    bool columnAlias = false;
    for (int i = 0; i < tokens.size(); ++i)
        if (afterAs(i) && (fromStart < 0 || tokens[i].start < fromStart))
            columnAlias = columnAlias || tokens[i].text.compare(table, Qt::CaseInsensitive) == 0;
    int found = -1;
    for (int i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.text.compare(table, Qt::CaseInsensitive) != 0 || charBefore(t.start) == '.' || charAfter(t.end) == '.'
            || afterAs(i) || (columnAlias && (t.start < fromStart || t.start >= fromEnd)))
            continue;
        if (found >= 0)
            return QString();
        found = i;
    }
    if (found < 0)
        return QString();
    int next = found + 1;
    if (next < tokens.size() && !tokens[next].quoted && tokens[next].text.compare("AS", Qt::CaseInsensitive) == 0)
        ++next;
    if (next < tokens.size()) {
        const Token& a = tokens[next];
        bool adjacent = true;
        for (int i = tokens[next - 1].end; i < a.start; ++i)
            adjacent = adjacent && sql[i].isSpace();
        if (adjacent && (a.quoted || !notAliases.contains(a.text.toUpper())))
            return quoteIdent(a.text);
    }
    return quoteIdent(table);
}

}  // namespace

// ----------------------------------------------------------------- Field

QString Field::Name() const { return rs_->fieldName(index_); }
QVariant Field::Value() const { return rs_->value(index_); }
bool Field::setValue(const QVariant& v) { return rs_->setValue(index_, v); }
ColumnKind Field::kind() const { return rs_->fieldKind(index_); }

QString Field::text() const { return convert::valueText(Value()); }

// ----------------------------------------------------------------- Recordset

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

// Every cursor type reads the rows whole and walks both ways.
void Recordset::Open(const QString& sql, Connection& conn, CursorType, LockType lock, const Params& params)
{
    Close();
    conn_ = &conn;
    sql_ = sql;
    params_ = params;
    lock_ = lock;

    // Learn where each column comes from, then add the row identities of
    // those tables so edits can be written back.
    cols_.clear();
    hiddenTables_.clear();
    {
        Statement s(conn, sql);
        const int n = sqlite3_column_count(s.handle());
        for (int i = 0; i < n; ++i) {
            Column c;
            c.name = QString::fromUtf8(sqlite3_column_name(s.handle(), i));
            const char* t = sqlite3_column_table_name(s.handle(), i);
            const char* o = sqlite3_column_origin_name(s.handle(), i);
            const char* d = sqlite3_column_decltype(s.handle(), i);
            c.table = t ? QString::fromUtf8(t) : QString();
            c.origin = o ? QString::fromUtf8(o) : QString();
            c.kind = convert::kindOfDeclaredType(d ? QString::fromUtf8(d) : QString());
            if (!c.table.isEmpty() && !hiddenTables_.contains(c.table, Qt::CaseInsensitive))
                hiddenTables_ << c.table;
            cols_.push_back(c);
        }
    }
    runSql_ = sql;
    bool rewritten = false;
    if (!hiddenTables_.isEmpty() && lock != adLockReadOnly) {
        const QVector<Word> words = topLevelWords(sql);
        bool simple = !words.isEmpty() && words[0].text == "SELECT";
        int fromPos = -1;
        for (int i = 0; i < words.size() && simple; ++i) {
            const QString& w = words[i].text;
            if ((i == 1 && w == "DISTINCT") || w == "GROUP" || w == "UNION" || w == "INTERSECT"
                || w == "EXCEPT" || w == "HAVING")
                simple = false;
            if (w == "FROM" && fromPos < 0)
                fromPos = words[i].pos;
        }
        if (simple && fromPos > 0) {
            // The key column names the row; rowid is not visible through
            // a bracketed join, the key column is. A table is named as the
            // SQL text names it (its alias); one the text names more than
            // once (a self-join) cannot be told apart and stays read-only.
            QStringList found;
            QString extra;
            for (const QString& table : hiddenTables_) {
                const QString qualifier = tableQualifier(sql, table);
                if (qualifier.isEmpty())
                    continue;
                const QString key = conn.keyColumn(table);
                const QString more = extra + QString(", %1.%2 AS %3%4")
                                                 .arg(qualifier, key.isEmpty() ? QString("rowid") : quoteIdent(key),
                                                      kHiddenPrefix)
                                                 .arg(found.size());
                const QString candidate = sql.left(fromPos).trimmed() + more + ' ' + sql.mid(fromPos);
                sqlite3_stmt* probe = nullptr;
                const QByteArray utf8 = candidate.toUtf8();
                bool ok = sqlite3_prepare_v2(conn.handle(), utf8.constData(), int(utf8.size()), &probe, nullptr)
                              == SQLITE_OK
                          && sqlite3_column_count(probe) == cols_.size() + found.size() + 1;
                if (ok) {
                    // The hidden column must really be that table's key.
                    const int at = cols_.size() + found.size();
                    const char* t = sqlite3_column_table_name(probe, at);
                    const char* o = sqlite3_column_origin_name(probe, at);
                    ok = t && table.compare(QString::fromUtf8(t), Qt::CaseInsensitive) == 0
                         && (key.isEmpty() || (o && key.compare(QString::fromUtf8(o), Qt::CaseInsensitive) == 0));
                }
                sqlite3_finalize(probe);
                if (!ok)
                    continue;
                found << table;
                extra = more;
                runSql_ = candidate;
                rewritten = true;
            }
            hiddenTables_ = found;
        }
    }
    if (!rewritten)
        hiddenTables_.clear();
    for (Column& c : cols_) {
        c.hiddenRowid = -1;
        for (int i = 0; i < hiddenTables_.size(); ++i)
            if (hiddenTables_[i].compare(c.table, Qt::CaseInsensitive) == 0)
                c.hiddenRowid = i;
    }
    load();
    open_ = true;
}

void Recordset::load()
{
    // A read that fails leaves the rows read before (a requery under another
    // program's lock never empties what a grid shows).
    detail::RowStore fresh;
    fresh.reset(cols_.size() + hiddenTables_.size());
    Statement s(*conn_, runSql_);
    conn_->bindAll(s.handle(), params_);
    int rc;
    while ((rc = sqlite3_step(s.handle())) == SQLITE_ROW)
        fresh.appendFrom(s.handle());
    if (rc != SQLITE_DONE)
        conn_->fail(QString(), sql_);
    rows_.swap(fresh);
    pos_ = 0;
    edit_ = EditMode::None;
}

void Recordset::Close()
{
    open_ = false;
    rows_.reset(0);
    cols_.clear();
    hiddenTables_.clear();
    pos_ = -1;
    edit_ = EditMode::None;
}

void Recordset::Requery()
{
    requireOpen();
    load();
    emit reset();
}

bool Recordset::isUpdatable() const
{
    return open_ && lock_ != adLockReadOnly && !hiddenTables_.isEmpty();
}

void Recordset::requireOpen() const
{
    if (!open_)
        throw error(3704, "Operation is not allowed when the object is closed.");
}

void Recordset::requireRow() const
{
    requireOpen();
    if (edit_ == EditMode::Add)
        return;
    if (pos_ < 0 || pos_ >= rows_.rows())
        throw error(3021, "Either BOF or EOF is True, or the current record has been deleted.");
}

bool Recordset::BOF() const { return !open_ || rows_.rows() == 0 || pos_ < 0; }
bool Recordset::EOF_() const { return !open_ || rows_.rows() == 0 || pos_ >= rows_.rows(); }

void Recordset::MoveFirst()
{
    requireOpen();
    if (edit_ != EditMode::None)
        Update();
    pos_ = 0;
}

void Recordset::MoveLast()
{
    requireOpen();
    if (edit_ != EditMode::None)
        Update();
    pos_ = std::max<int>(0, rows_.rows() - 1);
}

void Recordset::MoveNext()
{
    requireOpen();
    if (edit_ != EditMode::None)
        Update();
    if (pos_ >= rows_.rows())
        throw error(3021, "Either BOF or EOF is True, or the current record has been deleted.");
    ++pos_;
}

void Recordset::MovePrevious()
{
    requireOpen();
    if (edit_ != EditMode::None)
        Update();
    if (pos_ < 0)
        throw error(3021, "Either BOF or EOF is True, or the current record has been deleted.");
    --pos_;
}

int Recordset::RecordCount() const { return open_ ? rows_.rows() : 0; }

void Recordset::setPosition(int row)
{
    requireOpen();
    if (edit_ != EditMode::None)
        Update();
    pos_ = std::clamp<int>(row, -1, rows_.rows());
}

int Recordset::fieldCount() const { return cols_.size(); }

QString Recordset::fieldName(int index) const
{
    return (index >= 0 && index < cols_.size()) ? cols_[index].name : QString();
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < cols_.size(); ++i)
        if (cols_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    // A table-qualified or origin name finds the column too.
    for (int i = 0; i < cols_.size(); ++i)
        if (!cols_[i].origin.isEmpty()
            && (cols_[i].origin.compare(name, Qt::CaseInsensitive) == 0
                || (cols_[i].table + '.' + cols_[i].origin).compare(name, Qt::CaseInsensitive) == 0))
            return i;
    return -1;
}

Field Recordset::fields(int index)
{
    if (index < 0 || index >= cols_.size())
        throw error(3265, QString("Item cannot be found in the collection (field %1).").arg(index));
    return Field(this, index);
}

Field Recordset::fields(const QString& name)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw error(3265, QString("Item cannot be found in the collection (field %1).").arg(name));
    return Field(this, i);
}

ColumnKind Recordset::fieldKind(int index) const
{
    return (index >= 0 && index < cols_.size()) ? cols_[index].kind : ColumnKind::Other;
}

QString Recordset::fieldTable(int index) const
{
    return (index >= 0 && index < cols_.size()) ? cols_[index].table : QString();
}

QString Recordset::fieldOrigin(int index) const
{
    return (index >= 0 && index < cols_.size()) ? cols_[index].origin : QString();
}

QVariant Recordset::value(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw error(3265, QString("Item cannot be found in the collection (field %1).").arg(name));
    return value(i);
}

QVariant Recordset::value(int index) const
{
    requireRow();
    if (index < 0 || index >= cols_.size())
        throw error(3265, QString("Item cannot be found in the collection (field %1).").arg(index));
    if (edit_ != EditMode::None)
        return convert::fromStorage(cols_[index].kind, buffer_[index]);
    return convert::fromStorage(cols_[index].kind, rows_.value(pos_, index));
}

bool Recordset::setValue(const QString& name, const QVariant& v)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw error(3265, QString("Item cannot be found in the collection (field %1).").arg(name));
    return setValue(i, v);
}

bool Recordset::setValue(int index, const QVariant& v)
{
    requireRow();
    if (index < 0 || index >= cols_.size())
        throw error(3265, QString("Item cannot be found in the collection (field %1).").arg(index));
    if (lock_ == adLockReadOnly)
        throw error(3251, "The recordset is read-only.");
    if (cols_[index].origin.isEmpty())
        throw error(3251, QString("The field %1 cannot be updated.").arg(cols_[index].name));
    QVariant stored;
    if (!convert::toStorage(cols_[index].kind, v, stored))
        return false;
    if (edit_ == EditMode::None) {
        edit_ = EditMode::Edit;
        buffer_ = rows_.rowValues(pos_, cols_.size());
        dirty_ = QVector<bool>(cols_.size(), false);
    }
    buffer_[index] = stored;
    dirty_[index] = true;
    return true;
}

QVariant Recordset::cell(int row, int col) const
{
    if (row < 0 || row >= rows_.rows() || col < 0 || col >= cols_.size())
        return QVariant();
    return convert::fromStorage(cols_[col].kind, rows_.value(row, col));
}

size_t Recordset::cellHash(int row, int col) const
{
    return rows_.hash(row, col);
}

bool Recordset::sameCell(int row, int otherRow, int col) const
{
    return rows_.same(row, otherRow, col);
}

QVariant Recordset::rowKey(int row, int col) const
{
    if (row < 0 || row >= rows_.rows() || col < 0 || col >= cols_.size() || cols_[col].hiddenRowid < 0)
        return QVariant();
    return rows_.value(row, cols_.size() + cols_[col].hiddenRowid);
}

bool Recordset::setCell(int row, int col, const QVariant& v, const std::function<void()>& alsoWrite)
{
    requireOpen();
    if (row < 0 || row >= rows_.rows() || col < 0 || col >= cols_.size())
        return false;
    if (lock_ == adLockReadOnly || cols_[col].origin.isEmpty() || cols_[col].hiddenRowid < 0)
        return false;
    QVariant stored;
    if (!convert::toStorage(cols_[col].kind, v, stored))
        return false;
    writeRow(row, {col}, {stored}, alsoWrite);
    return true;
}

QString Recordset::baseTable() const
{
    for (const Column& c : cols_)
        if (!c.table.isEmpty())
            return c.table;
    return QString();
}

QString Recordset::rowTable(const char* what) const
{
    QStringList tables;
    for (const Column& c : cols_)
        if (!c.table.isEmpty() && !tables.contains(c.table, Qt::CaseInsensitive))
            tables << c.table;
    if (tables.isEmpty())
        throw error(3251, QString("Rows cannot be %1 through this recordset: it shows no table's columns.").arg(what));
    // Over a join it is not plain which table's row is meant.
    if (tables.size() > 1)
        throw error(3251, QString("Rows cannot be %1 through a recordset over several tables (%2).")
                              .arg(what, tables.join(", ")));
    if (!hiddenTables_.contains(tables[0], Qt::CaseInsensitive))
        throw error(3251, QString("Rows cannot be %1 through this recordset: its rows of %2 cannot be told apart.")
                              .arg(what, tables[0]));
    return tables[0];
}

void Recordset::AddNew()
{
    requireOpen();
    if (lock_ == adLockReadOnly)
        throw error(3251, "The recordset is read-only.");
    if (edit_ != EditMode::None)
        Update();
    const QString table = rowTable("added");
    const QString key = conn_->keyColumn(table);
    reservedKey_ = key.isEmpty() ? 0 : conn_->reserveKey(table);
    buffer_ = QVector<QVariant>(cols_.size());
    dirty_ = QVector<bool>(cols_.size(), false);
    for (int i = 0; i < cols_.size(); ++i)
        if (cols_[i].table.compare(table, Qt::CaseInsensitive) == 0
            && cols_[i].origin.compare(key, Qt::CaseInsensitive) == 0)
            buffer_[i] = reservedKey_;
    edit_ = EditMode::Add;
}

void Recordset::CancelUpdate()
{
    edit_ = EditMode::None;
    buffer_.clear();
    dirty_.clear();
}

void Recordset::Update()
{
    requireOpen();
    if (edit_ == EditMode::Add)
        insertRow();
    else if (edit_ == EditMode::Edit)
        updateRow();
}

void Recordset::insertRow()
{
    const QString table = baseTable();
    const QString key = conn_->keyColumn(table);
    QStringList names;
    QStringList marks;
    Params values;
    qint64 keyValue = reservedKey_;
    for (int i = 0; i < cols_.size(); ++i) {
        if (cols_[i].table.compare(table, Qt::CaseInsensitive) != 0)
            continue;
        const bool isKey = cols_[i].origin.compare(key, Qt::CaseInsensitive) == 0;
        if (isKey) {
            // A supplied key wins over the reserved one.
            if (dirty_[i] && !buffer_[i].isNull())
                keyValue = buffer_[i].toLongLong();
            continue;
        }
        if (!dirty_[i] || names.contains(cols_[i].origin, Qt::CaseInsensitive))
            continue;
        names << quoteIdent(cols_[i].origin);
        marks << "?";
        values << buffer_[i];
    }
    if (!key.isEmpty()) {
        names.prepend(quoteIdent(key));
        marks.prepend("?");
        values.prepend(keyValue);
    }
    const QString sql = names.isEmpty()
        ? QString("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(table))
        : QString("INSERT INTO %1 (%2) VALUES (%3)").arg(quoteIdent(table), names.join(", "), marks.join(", "));
    conn_->Execute(sql, values);
    const qint64 rowid = conn_->lastInsertId();

    // The new row joins the recordset at its end, read back as stored.
    QVector<QVariant> row(cols_.size() + hiddenTables_.size());
    for (int i = 0; i < cols_.size(); ++i)
        row[i] = buffer_[i];
    for (int i = 0; i < hiddenTables_.size(); ++i)
        if (hiddenTables_[i].compare(table, Qt::CaseInsensitive) == 0)
            row[cols_.size() + i] = rowid;
    rows_.appendFrom(row);
    pos_ = rows_.rows() - 1;
    edit_ = EditMode::None;
    buffer_.clear();
    dirty_.clear();
    refetchRow(pos_);
    emit reset();
}

void Recordset::updateRow()
{
    QVector<int> cols;
    QVector<QVariant> values;
    for (int i = 0; i < cols_.size(); ++i)
        if (dirty_[i]) {
            cols << i;
            values << buffer_[i];
        }
    const int row = pos_;
    edit_ = EditMode::None;
    buffer_.clear();
    dirty_.clear();
    if (!cols.isEmpty())
        writeRow(row, cols, values);
}

void Recordset::writeRow(int row, const QVector<int>& cols, const QVector<QVariant>& values,
                         const std::function<void()>& alsoWrite)
{
    // One UPDATE per base table, each on the one row the values came from.
    QStringList tables;
    for (int c : cols)
        if (!tables.contains(cols_[c].table, Qt::CaseInsensitive))
            tables << cols_[c].table;
    std::optional<Transaction> together;
    if (alsoWrite)
        together.emplace(*conn_);
    for (const QString& table : tables) {
        QStringList sets;
        Params params;
        int hidden = -1;
        for (int k = 0; k < cols.size(); ++k) {
            const Column& c = cols_[cols[k]];
            if (c.table.compare(table, Qt::CaseInsensitive) != 0)
                continue;
            hidden = c.hiddenRowid;
            sets << quoteIdent(c.origin) + " = ?";
            params << values[k];
        }
        if (hidden < 0)
            throw error(3251, QString("The row of %1 cannot be updated.").arg(table));
        const QVariant rowid = rows_.value(row, cols_.size() + hidden);
        if (rowid.isNull())
            throw error(3251, QString("The row has no %1 record to update.").arg(table));
        params << rowid;
        conn_->Execute(QString("UPDATE %1 SET %2 WHERE rowid = ?").arg(quoteIdent(table), sets.join(", ")), params);
    }
    if (together) {
        alsoWrite();
        together->commit();
    }
    for (int k = 0; k < cols.size(); ++k)
        rows_.setValue(row, cols[k], values[k]);
    refetchRow(row);
    // Other rows on the same base rows (the other people of a party, the
    // other invitations of a person) show the stored values too.
    QVector<int> siblings;
    for (const QString& table : tables) {
        int hidden = -1;
        for (int c : cols)
            if (cols_[c].table.compare(table, Qt::CaseInsensitive) == 0)
                hidden = cols_[c].hiddenRowid;
        const int at = cols_.size() + hidden;
        const QVariant rowid = rows_.value(row, at);
        for (int r = 0; r < rows_.rows(); ++r) {
            if (r == row || rows_.value(r, at) != rowid)
                continue;
            for (int c = 0; c < cols_.size(); ++c)
                if (cols_[c].hiddenRowid == hidden)
                    rows_.setValue(r, c, rows_.value(row, c));
            if (!siblings.contains(r))
                siblings << r;
        }
    }
    emit rowChanged(row);
    for (int r : siblings)
        emit rowChanged(r);
}

void Recordset::refetchRow(int row)
{
    // Read the row back so defaults and every column showing the same
    // base value are current.
    if (hiddenTables_.isEmpty())
        return;
    QStringList conds;
    Params params = params_;
    for (int i = 0; i < hiddenTables_.size(); ++i) {
        const QVariant id = rows_.value(row, cols_.size() + i);
        if (id.isNull())
            continue;
        conds << QString("%1%2 = ?").arg(kHiddenPrefix).arg(i);
        params << id;
    }
    if (conds.isEmpty())
        return;
    try {
        Statement s(*conn_, QString("SELECT * FROM (%1) WHERE %2").arg(runSql_, conds.join(" AND ")));
        conn_->bindAll(s.handle(), params);
        if (s.step()) {
            for (int i = 0; i < cols_.size() + hiddenTables_.size(); ++i)
                rows_.setFrom(row, i, s.handle(), i);
        } else {
            // Outside the recordset's condition: read the base columns directly.
            for (int i = 0; i < cols_.size(); ++i) {
                const Column& c = cols_[i];
                if (c.hiddenRowid < 0 || rows_.value(row, cols_.size() + c.hiddenRowid).isNull())
                    continue;
                rows_.setValue(row, i,
                               conn_->scalar(QString("SELECT %1 FROM %2 WHERE rowid = ?")
                                                 .arg(quoteIdent(c.origin), quoteIdent(c.table)),
                                             {rows_.value(row, cols_.size() + c.hiddenRowid)}));
            }
        }
    } catch (const Error&) {
        logIgnoredError();  // the stored values stay as written
    }
}

void Recordset::Delete()
{
    requireRow();
    if (lock_ == adLockReadOnly)
        throw error(3251, "The recordset is read-only.");
    if (edit_ == EditMode::Add) {
        CancelUpdate();
        return;
    }
    CancelUpdate();
    const QString table = rowTable("deleted");
    int hidden = -1;
    for (int i = 0; i < hiddenTables_.size(); ++i)
        if (hiddenTables_[i].compare(table, Qt::CaseInsensitive) == 0)
            hidden = i;
    if (hidden < 0)
        throw error(3251, "The row cannot be deleted.");
    conn_->Execute(QString("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdent(table)),
                   {rows_.value(pos_, cols_.size() + hidden)});
    rows_.removeRow(pos_);
    // The position now names the row after the deleted one; step back so
    // that the usual Delete-then-MoveNext walk visits it.
    --pos_;
    emit reset();
}

}  // namespace ado
