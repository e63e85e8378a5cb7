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
#include <optional>

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
// The same with values bound to ?1, ?2 ... in order.
template <typename... Values>
int exec(sqlite3* db, const QString& sql, const Values&... values)
{
    Statement s(db, sql);
    int index = 0;
    (s.bind(++index, values), ...);
    s.run();
    return s.changes();
}

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
        // Many thousand records are looked up and written at once: a page
        // cache of 64 MiB for the operation keeps them from being read and
        // spilled again and again.
        Statement cache(db_, "PRAGMA main.cache_size");
        cache_ = cache.step() ? cache.integer(0) : 0;
        const QByteArray larger =
            QString("PRAGMA main.cache_size = -65536; PRAGMA %1.cache_size = -65536").arg(kRep).toUtf8();
        sqlite3_exec(db_, larger.constData(), nullptr, nullptr, nullptr);
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
        sqlite3_exec(db_, QString("PRAGMA main.cache_size = %1").arg(cache_).toUtf8().constData(), nullptr, nullptr,
                     nullptr);
        attached_ = false;
    }

private:
    sqlite3* db_;
    bool attached_ = false;
    qint64 cache_ = 0;
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
    QSet<qint64> ourNumbers;     // this copy's number and its earlier ones
    // Numbers this copy had drawn before its file was put back to an older
    // one, as the sender knows them from its replicas.
    QSet<qint64> recovered;
    // The sender's file was put back to an older one since its last replica
    // merged here.
    bool partnerWentBack = false;
    // The sender's list of replicas and computer, kept as the partner's.
    std::optional<QVector<qint64>> lineage;
    QString computer;
    bool keepLineage = false;  // not a replica older than the one merged last
    qint64 items = 0;
    qint64 records = 0;
    QStringList tables;
    QHash<QString, QVector<Column>> columns;
    // Where each table's versions lie in the replica's "Versions" (rowids),
    // so a table's are read without reading the others'.
    QHash<QString, QPair<qint64, qint64>> versionRows;
};

// Reads and checks the attached replica (synchro_inspect.cpp).
Plan inspect(ado::Connection& conn, const QString& replicaPath, SameNumber same);
// Drops the other copy's marks a merge read (a table, or a view of the replica).
void forgetTheirMarks(sqlite3* db);
// Whether this copy and the other name one and the same record by a key, as
// an SQL condition (synchro_inspect.cpp).
QString sameRecord(const QString& table, const QString& id);
// Undoes, inside the merge's transaction, the invitations and seats that
// break the rules of inviting and seating once both copies' rows are
// together, and logs them as deleted; counts them into m
// (synchro_seating.cpp).
void keepSeatingRules(ado::Connection& conn, Merged& m);
// What the closing message says of them, "" when nothing was undone.
QString undoneSummary(const Merged& m);
// Moves this copy's records to other keys, with every reference to them,
// their log rows, versions and marks: those of temp.merge_moves (t, old,
// new), each to `new`, or, where that is NULL, to the next keys of this
// copy's range in the order of `old` (synchro_renumber.cpp).
void moveRecords(ado::Connection& conn, Reporter& report, int fromPercent, int toPercent);
void clearMoves(sqlite3* db);
// Of this copy's records under the number `old`, which the other copy's
// replica shows it added after the file was copied: they go into
// temp.merge_moves (synchro_renumber.cpp).
void ownSinceTheCopy(ado::Connection& conn, int old);

// Files put back and copied (synchro_putback.cpp):
// - the numbers this copy takes (a new one, or those it had before its file
//   was put back), its counters past the keys of its range the sender holds,
//   and its records moved where the sender's replica shows they must go;
void takeNumbers(ado::Connection& conn, const Plan& p, Merged& m, Reporter& report);
// - when the sender went back to an older file, what it lost of this copy's
//   and its own records goes back with this copy's next replica: how many;
int resendLost(ado::Connection& conn);
// - the sender's list of replicas, kept as the partner's.
void keepPartnerLineage(ado::Connection& conn, const Plan& p);

}  // namespace synchro::detail
