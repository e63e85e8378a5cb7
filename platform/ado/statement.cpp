#include "platform/ado/ado.h"

#include <sqlite3.h>

namespace ado {

Error lastError(sqlite3* db, const QString& what, const QString& statement, const QString& file)
{
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_MISUSE;
    QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database is open");
    // SQLite's own words ("attempt to write a readonly database") do not
    // say that the file itself is gone.
    if (code == SQLITE_READONLY_DBMOVED)
        msg = QString("The file %1 is no longer there: it was deleted, moved or renamed while it was open, so "
                      "nothing more can be saved in it. Close the program, put the file back where it was (or "
                      "restore it from a backup) and start again.")
                  .arg(file.isEmpty() ? QString::fromUtf8(sqlite3_db_filename(db, "main")) : file);
    return Error(code, what.isEmpty() ? msg : what + ": " + msg, statement);
}

// ---------------------------------------------------------------- Statement

sqlite3_stmt* Statement::prepare(sqlite3* db, const QString& sql, const QString& file)
{
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        throw lastError(db, QString(), sql, file);
    }
    return st;
}

Statement::Statement(sqlite3* db, const QString& sql) : Row(nullptr), db_(db), sql_(sql)
{
    st_ = prepare(db_, sql_, file_);
}

Statement::Statement(Connection& conn, const QString& sql) : Row(nullptr), db_(conn.handle()), sql_(sql)
{
    if (!db_)
        throw Error(SQLITE_MISUSE, "The connection is not open.");
    file_ = conn.path();
    st_ = prepare(db_, sql_, file_);
}

Statement::~Statement() { sqlite3_finalize(st_); }

void Statement::fail(const QString& what) const { throw lastError(db_, what, sql_, file_); }

int Statement::parameters() const { return sqlite3_bind_parameter_count(st_); }

void Statement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(st_, index, value) != SQLITE_OK)
        fail("bind");
}

void Statement::bind(int index, const QString& value)
{
    const QByteArray b = value.toUtf8();
    if (sqlite3_bind_text(st_, index, b.constData(), int(b.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail("bind");
}

bool Statement::step()
{
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(QString());
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
}

int Statement::changes() const { return sqlite3_changes(db_); }

// ---------------------------------------------------------------- streamed rows

void Connection::forEachRow(const QString& sql, const Params& params, const std::function<void(const Row&)>& row)
{
    Statement s(*this, sql);
    bindAll(s.handle(), params);
    while (s.step())
        row(s);
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

QVariant Row::value(int column) const
{
    switch (sqlite3_column_type(st_, column)) {
    case SQLITE_INTEGER:
        return static_cast<qlonglong>(sqlite3_column_int64(st_, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st_, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st_, column)),
                                 sqlite3_column_bytes(st_, column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(st_, column)),
                          sqlite3_column_bytes(st_, column));
    default:
        return QVariant();
    }
}

}  // namespace ado
