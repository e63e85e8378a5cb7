#include "platform/ado/ado.h"

#include "platform/ado/ignoring.h"
#include "platform/ado/rules.h"

#include <sqlite3.h>

#include <QRegularExpression>

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

bool isBusy(const Error& e)
{
    const int code = e.number() & 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

QString inUseElsewhere(const QString& file)
{
    return QString("Another program is using the file %1 and keeps it locked for a change of its own.  Try again "
                   "when it is done.")
        .arg(file);
}

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
    throw lastError(db_, what, statement, path_);
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
        // A write of another program (an SQLite shell inside a transaction)
        // keeps every reader out until it ends; the file itself is sound.
        if (isBusy(e))
            throw Error(e.number(), inUseElsewhere(path), e.statement());
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
    return Statement::prepare(db_, sql, path_);
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
            Statement s(*this, sql);
            bindAll(s.handle(), params);
            s.step();
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
        return Row(s.st).value(0);
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
    Statement s(*this, "SELECT name FROM pragma_table_info(?) ORDER BY cid");
    bindAll(s.handle(), {table});
    while (s.step())
        names << s.value(0).toString();
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

QString Connection::laterCounter()
{
    return QString("CASE WHEN KEY_COUNTER_LAST / %1 = excluded.KEY_COUNTER_LAST / %1 THEN max(KEY_COUNTER_LAST, "
                   "excluded.KEY_COUNTER_LAST) ELSE excluded.KEY_COUNTER_LAST END")
        .arg(kKeyRange);
}

qint64 Connection::reserveKey(const QString& table) { return reserveKeys(table, 1); }

qint64 Connection::reserveKeys(const QString& table, qint64 count)
{
    if (!rules_)
        throw Error(SQLITE_MISUSE, "The connection is not open.");
    rules_->keep();
    return rules_->take(table, false, count);
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
            logIgnoredError();
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
    Statement s(*this, "SELECT name, seq FROM sqlite_sequence");
    while (s.step())
        out.insert(s.value(0).toString(), s.value(1).toLongLong());
    return out;
}

void Connection::setKeyCounters(const QMap<QString, qint64>& counters)
{
    Execute("DELETE FROM sqlite_sequence");
    for (auto it = counters.begin(); it != counters.end(); ++it)
        Execute("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)", {it.key(), it.value()});
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


}  // namespace ado
