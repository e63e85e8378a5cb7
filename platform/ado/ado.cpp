#include "platform/ado/ado.h"

#include "platform/ado/ignoring.h"
#include "platform/ado/rules.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>
#include <cmath>

namespace ado {

Error::Error(int number, const QString& description, const QString& statement)
    : std::runtime_error(description.toStdString()), number_(number), description_(description), statement_(statement)
{
}

namespace {
KeysFullText& keysFullHook()
{
    static KeysFullText text;
    return text;
}
}  // namespace

void setKeysFullText(KeysFullText text) { keysFullHook() = std::move(text); }

QString keysFullText(const QString& table)
{
    if (keysFullHook())
        return keysFullHook()(table);
    return QString("No more keys are free for %1.").arg(table);
}

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

QVariant columnValue(sqlite3_stmt* st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return static_cast<qlonglong>(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, i);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                 sqlite3_column_bytes(st, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                          sqlite3_column_bytes(st, i));
    default:
        return QVariant();
    }
}

struct Stmt {
    sqlite3_stmt* st = nullptr;
    ~Stmt() { sqlite3_finalize(st); }
};

}  // namespace

// A statement of Execute or scalar: taken from the cache or prepared, and
// given back reset when done. The same text running inside itself (a nested
// call) prepares a second one, which is dropped afterwards.
struct Connection::Cached {
    Cached(Connection& c, const QString& text) : conn(c), sql(text)
    {
        st = conn.cache_.take(sql);
        if (!st)
            st = conn.prepare(sql);
    }
    ~Cached()
    {
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (!conn.db_ || conn.cache_.contains(sql) || conn.cache_.size() >= kCachedStatements)
            sqlite3_finalize(st);
        else
            conn.cache_.insert(sql, st);
    }
    Cached(const Cached&) = delete;
    Cached& operator=(const Cached&) = delete;
    Connection& conn;
    QString sql;
    sqlite3_stmt* st = nullptr;
};

// ---------------------------------------------------------------- Connection

void Connection::clearCache()
{
    for (sqlite3_stmt* st : std::as_const(cache_))
        sqlite3_finalize(st);
    cache_.clear();
}
Connection::Connection() = default;

Connection::~Connection()
{
    Close();
}

void Connection::fail(const QString& what, const QString& statement)
{
    const int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_MISUSE;
    QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("no database is open");
    // SQLite's own words ("attempt to write a readonly database") do not
    // say that the file itself is gone.
    if (code == SQLITE_READONLY_DBMOVED)
        msg = QString("The file %1 is no longer there: it was deleted, moved or renamed while it was open, so "
                      "nothing more can be saved in it. Close the program, put the file back where it was (or "
                      "restore it from a backup) and start again.")
                  .arg(path_);
    throw Error(code, what.isEmpty() ? msg : what + ": " + msg, statement);
}

void Connection::Open(const QString& path)
{
    Close();
    sqlite3* db = nullptr;
    // One thread uses a connection: no mutex around every column read.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString("cannot open");
        sqlite3_close(db);
        throw Error(rc, QString("Cannot open the database %1: %2").arg(path, msg));
    }
    db_ = db;
    path_ = path;
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 1);
    try {
        // Reading the schema is what tells a database from any other file.
        scalar("SELECT count(*) FROM sqlite_master");
        Execute("PRAGMA foreign_keys = OFF");
        scalar("PRAGMA journal_mode = DELETE");
        // Set once, before the write rules exist: changing it later drops
        // every TEMP object of the connection. The merge's work tables are
        // kept in memory.
        Execute("PRAGMA temp_store = MEMORY");
    } catch (const Error& e) {
        sqlite3_close(db_);
        db_ = nullptr;
        path_.clear();
        throw Error(e.number(), QString("The file %1 is not a usable database: %2").arg(path, e.description()),
                    e.statement());
    }
    try {
        rules_ = std::make_unique<detail::WriteRules>(*this);
        rules_->install();
        // Whatever rolls back (ROLLBACK, a refused COMMIT, SQLite after an
        // error) gives back the keys it took.
        sqlite3_rollback_hook(db_, [](void* rules) { static_cast<detail::WriteRules*>(rules)->rolledBack(); },
                              rules_.get());
    } catch (const Error& e) {
        Close();
        throw Error(e.number(), QString("The database %1 could not be prepared for use: %2").arg(path, e.description()),
                    e.statement());
    }
}

void Connection::Close()
{
    clearCache();
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    rules_.reset();
    path_.clear();
    depth_ = 0;
}

bool Connection::isReadOnly() const { return db_ && sqlite3_db_readonly(db_, "main") == 1; }

void Connection::setBusyTimeout(int milliseconds)
{
    if (db_)
        sqlite3_busy_timeout(db_, milliseconds);
}

qint64 Connection::lastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

sqlite3_stmt* Connection::prepare(const QString& sql)
{
    if (!db_)
        throw Error(SQLITE_MISUSE, "The connection is not open.");
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, utf8.constData(), utf8.size(), &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        fail(QString(), sql);
    }
    return st;
}

void Connection::bindAll(sqlite3_stmt* st, const Params& params)
{
    for (int i = 0; i < params.size(); ++i) {
        QVariant v;
        if (!convert::toStorage(ColumnKind::Other, params[i], v))
            throw Error(SQLITE_MISMATCH, QString("The value %1 of parameter %2 cannot be stored: it is not a valid "
                                                 "number or date.")
                                             .arg(params[i].toString())
                                             .arg(i + 1));
        const int idx = i + 1;
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(st, idx);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(st, idx, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Long:
            case QMetaType::Short:
                rc = sqlite3_bind_int64(st, idx, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(st, idx, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(st, idx, b.constData(), b.size(), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray s = v.toString().toUtf8();
                rc = sqlite3_bind_text(st, idx, s.constData(), s.size(), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            fail("bind", QString::fromUtf8(sqlite3_sql(st)));
    }
}

int Connection::Execute(const QString& sql, const Params& params)
{
    // A failed statement may have ended the transaction on its own (SQLite
    // rolls back on some errors). Later writes would then be stored one by one
    // while the caller still counts on undoing them together.
    if (depth_ > 0 && db_ && sqlite3_get_autocommit(db_)) {
        depth_ = 0;
        throw Error(SQLITE_ABORT, "The transaction was rolled back after an earlier error; nothing of it was kept.");
    }
    // A change of the tables (the program makes none, tests and tools do)
    // runs without the write rules' triggers, which name the columns; the
    // rules are then made afresh for the new columns.
    static const QRegularExpression ddl(R"(^\s*(ALTER|DROP|CREATE)\s)", QRegularExpression::CaseInsensitiveOption);
    if (rules_ && ddl.match(sql).hasMatch()) {
        rules_->remove();
        try {
            Stmt s;
            s.st = prepare(sql);
            bindAll(s.st, params);
            const int rc = sqlite3_step(s.st);
            if (rc != SQLITE_DONE && rc != SQLITE_ROW)
                fail(QString(), sql);
        } catch (...) {
            rules_->install();
            throw;
        }
        rules_->install();
        return sqlite3_changes(db_);
    }
    if (rules_)
        rules_->keep();
    Cached s(*this, sql);
    bindAll(s.st, params);
    if (rules_)
        rules_->beginStatement();
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(QString(), sql);
    // A key that replaced SQLite's choice is the one the row was stored under.
    if (rules_ && rules_->rekeyed())
        sqlite3_set_last_insert_rowid(db_, rules_->lastKey());
    return sqlite3_changes(db_);
}

QVariant Connection::scalar(const QString& sql, const Params& params)
{
    Cached s(*this, sql);
    bindAll(s.st, params);
    const int rc = sqlite3_step(s.st);
    if (rc == SQLITE_ROW)
        return columnValue(s.st, 0);
    if (rc != SQLITE_DONE)
        fail(QString(), sql);
    return QVariant();
}

void Connection::BeginTrans()
{
    if (depth_ == 0)
        Execute("BEGIN IMMEDIATE");
    else
        Execute(QString("SAVEPOINT nuptaro_%1").arg(depth_));
    ++depth_;
}

void Connection::CommitTrans()
{
    if (depth_ <= 0)
        throw Error(SQLITE_MISUSE, "No transaction is open.");
    if (depth_ > 1) {
        --depth_;
        Execute(QString("RELEASE nuptaro_%1").arg(depth_));
        return;
    }
    try {
        Execute("COMMIT");
    } catch (const Error& e) {
        // A COMMIT refused (another program reading the file holds it) leaves
        // the transaction open; every later write would join it and be lost
        // at the close. Undo it, so the connection is usable and the caller
        // knows its changes are not stored.
        if (db_ && !sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        depth_ = 0;
        throw Error(e.number(), QString("The changes could not be saved and were undone: %1").arg(e.description()),
                    e.statement());
    }
    depth_ = 0;
}

void Connection::RollbackTrans()
{
    if (depth_ <= 0)
        throw Error(SQLITE_MISUSE, "No transaction is open.");
    if (!db_ || sqlite3_get_autocommit(db_)) {
        // Already undone by SQLite after an error: nothing is left to roll back.
        depth_ = 0;
        return;
    }
    --depth_;
    if (depth_ == 0) {
        Execute("ROLLBACK");
    } else {
        Execute(QString("ROLLBACK TO nuptaro_%1").arg(depth_));
        Execute(QString("RELEASE nuptaro_%1").arg(depth_));
        // SQLite's rollback hook does not see a savepoint undone.
        if (rules_)
            rules_->rolledBack();
    }
}

bool Connection::tableExists(const QString& table)
{
    return scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE",
                  {table}).toInt() > 0;
}

QStringList Connection::columnNames(const QString& table)
{
    QStringList names;
    Stmt s;
    s.st = prepare("SELECT name FROM pragma_table_info(?) ORDER BY cid");
    bindAll(s.st, {table});
    while (sqlite3_step(s.st) == SQLITE_ROW)
        names << columnValue(s.st, 0).toString();
    return names;
}

ColumnKind Connection::columnKind(const QString& table, const QString& column)
{
    const QVariant t = scalar("SELECT type FROM pragma_table_info(?) WHERE name = ? COLLATE NOCASE", {table, column});
    return convert::kindOfDeclaredType(t.toString());
}

QString Connection::keyColumn(const QString& table)
{
    const QVariant v = scalar("SELECT name FROM pragma_table_info(?) WHERE pk = 1", {table});
    return v.toString();
}

int Connection::copyNumber()
{
    return scalar("PRAGMA user_version").toInt();
}

void Connection::setCopyNumber(int number)
{
    Execute(QString("PRAGMA user_version = %1").arg(number));
    if (rules_)
        rules_->rangeChanged();
}

qint64 Connection::reserveKey(const QString& table)
{
    if (!rules_)
        throw Error(SQLITE_MISUSE, "The connection is not open.");
    rules_->keep();
    return rules_->take(table, false);
}

void Connection::withoutWriteRules(const QStringList& tables, const std::function<void()>& work)
{
    if (!db_ || sqlite3_get_autocommit(db_))
        throw Error(SQLITE_MISUSE, "The write rules are set aside only inside a transaction.");
    if (!rules_) {
        work();
        return;
    }
    for (const QString& t : tables)
        rules_->suspend(t);
    try {
        work();
    } catch (...) {
        // The caller rolls back, which brings the rules back as they were.
        try {
            for (const QString& t : tables)
                rules_->resume(t);
        } catch (const Error&) {
        }
        throw;
    }
    for (const QString& t : tables)
        rules_->resume(t);
}

qint64 Connection::keysLeft(const QString& table)
{
    if (!rules_)
        throw Error(SQLITE_MISUSE, "The connection is not open.");
    rules_->keep();
    return rules_->keysLeft(table);
}

void Connection::keepRules()
{
    if (rules_)
        rules_->keep();
}

QMap<QString, qint64> Connection::keyCounters()
{
    QMap<QString, qint64> out;
    Stmt s;
    s.st = prepare("SELECT name, seq FROM sqlite_sequence");
    while (sqlite3_step(s.st) == SQLITE_ROW)
        out.insert(columnValue(s.st, 0).toString(), columnValue(s.st, 1).toLongLong());
    return out;
}

void Connection::setKeyCounters(const QMap<QString, qint64>& counters)
{
    Execute("DELETE FROM sqlite_sequence");
    for (auto it = counters.begin(); it != counters.end(); ++it)
        Execute("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)", {it.key(), it.value()});
}

// ----------------------------------------------------------------- Field

QString Field::Name() const { return rs_->fieldName(index_); }
QVariant Field::Value() const { return rs_->value(index_); }
bool Field::setValue(const QVariant& v) { return rs_->setValue(index_, v); }
ColumnKind Field::kind() const { return rs_->fieldKind(index_); }

QString Field::text() const { return convert::valueText(Value()); }

// ----------------------------------------------------------------- Recordset

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

void Recordset::Open(const QString& sql, Connection& conn, CursorType cursor, LockType lock, const Params& params)
{
    Close();
    conn_ = &conn;
    sql_ = sql;
    params_ = params;
    cursor_ = cursor;
    lock_ = lock;

    // Learn where each column comes from, then add the row identities of
    // those tables so edits can be written back.
    cols_.clear();
    hiddenTables_.clear();
    {
        Stmt s;
        s.st = conn.prepare(sql);
        const int n = sqlite3_column_count(s.st);
        for (int i = 0; i < n; ++i) {
            Column c;
            c.name = QString::fromUtf8(sqlite3_column_name(s.st, i));
            const char* t = sqlite3_column_table_name(s.st, i);
            const char* o = sqlite3_column_origin_name(s.st, i);
            const char* d = sqlite3_column_decltype(s.st, i);
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
    rows_.reset(cols_.size() + hiddenTables_.size());
    Stmt s;
    s.st = conn_->prepare(runSql_);
    conn_->bindAll(s.st, params_);
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW)
        rows_.appendFrom(s.st);
    if (rc != SQLITE_DONE)
        conn_->fail(QString(), sql_);
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
        Stmt s;
        s.st = conn_->prepare(QString("SELECT * FROM (%1) WHERE %2").arg(runSql_, conds.join(" AND ")));
        conn_->bindAll(s.st, params);
        if (sqlite3_step(s.st) == SQLITE_ROW) {
            for (int i = 0; i < cols_.size() + hiddenTables_.size(); ++i)
                rows_.setFrom(row, i, s.st, i);
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

// ----------------------------------------------------------------- Transaction

Transaction::~Transaction()
{
    if (!done_)
        ignoringErrors([&] { c_.RollbackTrans(); });
}

void Transaction::commit()
{
    // A failed commit has undone the transaction itself.
    done_ = true;
    c_.CommitTrans();
}

// ---------------------------------------------------------------- streamed rows

void Connection::forEachRow(const QString& sql, const Params& params, const std::function<void(const Row&)>& row)
{
    Stmt s;
    s.st = prepare(sql);
    bindAll(s.st, params);
    const Row r(s.st);
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW)
        row(r);
    if (rc != SQLITE_DONE)
        fail(QString(), sql);
}

bool Row::isNull(int column) const { return sqlite3_column_type(st_, column) == SQLITE_NULL; }

qint64 Row::integer(int column) const { return sqlite3_column_int64(st_, column); }

QString Row::text(int column) const
{
    // SQLite's own text of a real is "100000.0" or "1.0e+20".
    if (sqlite3_column_type(st_, column) == SQLITE_FLOAT)
        return convert::numberText(sqlite3_column_double(st_, column));
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st_, column)) : QString();
}

QByteArrayView Row::utf8(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
    return p ? QByteArrayView(p, sqlite3_column_bytes(st_, column)) : QByteArrayView();
}

QVariant Row::value(int column) const { return columnValue(st_, column); }

}  // namespace ado
