#pragma once
// What the parts of the replica exchange share: the replica attached to the
// working connection, its tables and columns, file copies, progress, and the
// plan of a merge. Private to records/synchro*.cpp; records/synchro.h is the
// exchange's interface.

#include "records/synchro.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <sqlite3.h>

#include <filesystem>

namespace synchro::detail {

using ado::Statement;

inline QString quoted(const QString& ident)
{
    QString s = ident;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

inline QString native(const QString& path) { return QDir::toNativeSeparators(path); }

inline std::filesystem::path fsPath(const QString& p)
{
    return std::filesystem::path(QFile::encodeName(p).toStdString());
}

// The name under which a replica is attached to the working connection.
inline const QString kRep = QStringLiteral("nuptaro_replica");
inline QString rep(const QString& table) { return QString("%1.%2").arg(kRep, quoted(table)); }
inline QString mainTable(const QString& table) { return "main." + quoted(table); }

struct Column {
    QString name;
    QString type;
    bool notNull = false;
};

QVector<Column> columnsOf(sqlite3* db, const QString& schema, const QString& table);
bool sameColumns(const QVector<Column>& a, const QVector<Column>& b);
QStringList namesOf(const QVector<Column>& cols);
QSet<QString> tablesOf(sqlite3* db, const QString& schema);
QString createTable(const QString& qualifiedName, const QVector<Column>& cols);
// Runs one statement; returns the rows it changed.
int exec(sqlite3* db, const QString& sql);

// A replica attached to the working connection for one operation; the
// attachment needs the connection outside any transaction, and is undone
// (rolling back what is unfinished) when the operation ends either way.
class Attached {
public:
    Attached(ado::Connection& conn, const QString& path) : db_(conn.handle())
    {
        if (conn.transactionDepth() > 0 || !sqlite3_get_autocommit(db_))
            throw ado::Error(SQLITE_BUSY, "The working database is in the middle of another change.");
        // What follows writes through the handle: the rules must be there.
        conn.keepRules();
        Statement s(db_, QString("ATTACH DATABASE ? AS %1").arg(kRep));
        s.bind(1, path);
        s.run();
        attached_ = true;
    }
    ~Attached() { detach(); }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;
    void detach()
    {
        if (!attached_)
            return;
        if (!sqlite3_get_autocommit(db_))
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_exec(db_, (QString("DETACH DATABASE ") + kRep).toUtf8().constData(), nullptr, nullptr, nullptr);
        attached_ = false;
    }

private:
    sqlite3* db_;
    bool attached_ = false;
};

bool sameFile(const QString& a, const QString& b);
void copyThroughTemp(const QString& from, const QString& to);
void backupDatabase(sqlite3* source, const QString& to);

class Reporter {
public:
    explicit Reporter(const Progress& p) : p_(p) {}
    // Passes a step on only when its text or per cent differ from the last.
    void operator()(const QString& text, int percent)
    {
        if (!p_ || (text == text_ && percent == percent_))
            return;
        text_ = text;
        percent_ = percent;
        p_(text, percent);
    }

private:
    const Progress& p_;
    QString text_;
    int percent_ = -1;
};

inline int percentOf(qint64 i, qint64 n) { return n > 0 ? int(i * 100 / n) : 0; }

// ------------------------------------------------------------------ merging

// The checks of the keys a replica brings (synchro_inspect.cpp).
QString fitsKey(const QString& q);
[[noreturn]] void badKey(const QString& table, const QString& column, const QString& value);

// The temporary table that holds the plan for the i-th table of a merge.
inline QString planOf(int i) { return QString("temp.merge_plan_%1").arg(i); }

// What a replica holds and how it is to be merged.
struct Plan {
    int sender = 0;
    int ours = 0;
    int fresh = 0;  // this copy's new number when it renumbers first
    // The sender has this copy's number and is the one of the two to take a
    // new one: what it added under that number is not taken now (see
    // setAside).
    bool holdBack = false;
    QSet<qint64> senderNumbers;  // the sender's number and its earlier ones
    QSet<qint64> shared;         // numbers both copies gave out keys under
    qint64 items = 0;
    qint64 records = 0;
    QStringList tables;
    QHash<QString, QVector<Column>> columns;
};

// Reads and checks the attached replica (synchro_inspect.cpp).
Plan inspect(ado::Connection& conn, const QString& replicaPath, SameNumber same);
// Whether this copy and the other name one and the same record by a key, as
// an SQL condition (synchro_inspect.cpp).
QString sameRecord(const QString& table, const QString& id);
// This copy takes the number fresh, and what it added on its own moves to
// the new range (synchro_renumber.cpp).
void renumberThisCopy(ado::Connection& conn, int old, int fresh);
// Undoes, inside the merge's transaction, the invitations and seats that
// break the rules of inviting and seating once both copies' rows are
// together, and logs them as deleted; counts them into m
// (synchro_seating.cpp).
void keepSeatingRules(ado::Connection& conn, Merged& m);
// What the closing message says of them, "" when nothing was undone.
QString undoneSummary(const Merged& m);

}  // namespace synchro::detail
