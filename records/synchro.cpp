#include "records/synchro.h"

#include "records/cascade.h"
#include "records/modQVDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace synchro {

namespace {

QString quoted(const QString& ident)
{
    QString s = ident;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

fs::path fsPath(const QString& p) { return fs::path(QFile::encodeName(p).toStdString()); }

[[noreturn]] void raise(sqlite3* db, const QString& what)
{
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_MISUSE;
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database");
    throw ado::Error(code, what.isEmpty() ? msg : what + ": " + msg);
}

// One prepared statement, reused row after row.
class Stmt {
public:
    Stmt(sqlite3* db, const QString& sql) : db_(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st_);
            st_ = nullptr;
            raise(db, QString());
        }
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    // True while a row is there; throws on an error.
    bool step()
    {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        raise(db_, QString());
    }
    void run()
    {
        while (step()) {
        }
        reset();
    }
    void reset()
    {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }
    void bind(int i, qint64 v) { check(sqlite3_bind_int64(st_, i, v)); }
    void bind(int i, const QString& v)
    {
        const QByteArray b = v.toUtf8();
        check(sqlite3_bind_text(st_, i, b.constData(), int(b.size()), SQLITE_TRANSIENT));
    }
    void bind(int i, sqlite3_value* v) { check(sqlite3_bind_value(st_, i, v)); }

    int columns() const { return sqlite3_column_count(st_); }
    int parameters() const { return sqlite3_bind_parameter_count(st_); }
    sqlite3_value* value(int i) { return sqlite3_column_value(st_, i); }
    int type(int i) { return sqlite3_column_type(st_, i); }
    qint64 integer(int i) { return sqlite3_column_int64(st_, i); }
    QString text(int i)
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(st_, i)) : QString();
    }

private:
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            raise(db_, "bind");
    }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

// A connection of our own to a replica file.
class Db {
public:
    ~Db() { close(); }
    void open(const QString& path, int flags)
    {
        close();
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h, flags, nullptr) != SQLITE_OK) {
            const QString msg = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QStringLiteral("cannot open");
            sqlite3_close(h);
            h = nullptr;
            throw ado::Error(SQLITE_CANTOPEN, QString("Cannot open %1: %2").arg(native(path), msg));
        }
        sqlite3_extended_result_codes(h, 1);
        sqlite3_busy_timeout(h, 5000);
    }
    void close()
    {
        if (h)
            sqlite3_close_v2(h);
        h = nullptr;
    }
    void exec(const QString& sql)
    {
        char* err = nullptr;
        if (sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
            const QString msg = err ? QString::fromUtf8(err) : QString();
            sqlite3_free(err);
            throw ado::Error(sqlite3_extended_errcode(h), msg);
        }
    }
    qint64 integer(const QString& sql)
    {
        Stmt s(h, sql);
        return s.step() ? s.integer(0) : 0;
    }
    sqlite3* h = nullptr;
};

// The name under which a replica is attached to the working connection.
const QString kRep = QStringLiteral("nuptaro_replica");
QString rep(const QString& table) { return QString("%1.%2").arg(kRep, quoted(table)); }
QString mainTable(const QString& table) { return "main." + quoted(table); }

struct Column {
    QString name;
    QString type;
    bool notNull = false;
};

QVector<Column> columnsOf(sqlite3* db, const QString& schema, const QString& table)
{
    QVector<Column> out;
    Stmt s(db, QString("SELECT name, type, \"notnull\" FROM pragma_table_info(?, ?) ORDER BY cid"));
    s.bind(1, table);
    s.bind(2, schema);
    while (s.step())
        out.push_back({s.text(0), s.text(1), s.integer(2) != 0});
    return out;
}

bool sameColumns(const QVector<Column>& a, const QVector<Column>& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].name.compare(b[i].name, Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

QStringList namesOf(const QVector<Column>& cols)
{
    QStringList out;
    for (const Column& c : cols)
        out << quoted(c.name);
    return out;
}

// Exact names, as the schema spells them.
QSet<QString> tablesOf(sqlite3* db, const QString& schema)
{
    QSet<QString> out;
    Stmt s(db, QString("SELECT name FROM %1.sqlite_master WHERE type = 'table'").arg(schema));
    while (s.step())
        out.insert(s.text(0));
    return out;
}

// Replica tables hold one row per log row, so the key is a plain column there.
QString createTable(const QString& qualifiedName, const QVector<Column>& cols)
{
    QStringList parts;
    for (const Column& c : cols)
        parts << (quoted(c.name) + (c.type.isEmpty() ? QString() : ' ' + c.type));
    return QString("CREATE TABLE %1 (%2)").arg(qualifiedName, parts.join(", "));
}

void exec(sqlite3* db, const QString& sql) { Stmt(db, sql).run(); }

qint64 integerOf(sqlite3* db, const QString& sql, const QString& param = QString())
{
    Stmt s(db, sql);
    if (!param.isNull())
        s.bind(1, param);
    return s.step() ? s.integer(0) : 0;
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
        Stmt s(db_, QString("ATTACH DATABASE ? AS %1").arg(kRep));
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

bool sameFile(const QString& a, const QString& b)
{
    std::error_code ec;
    const fs::path pa = fsPath(a), pb = fsPath(b);
    if (fs::exists(pa, ec) && fs::exists(pb, ec)) {
        const bool same = fs::equivalent(pa, pb, ec);
        if (!ec)
            return same;
    }
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(fs::absolute(pa, ea), ea);
    const fs::path cb = fs::weakly_canonical(fs::absolute(pb, eb), eb);
    return !ea && !eb && ca == cb;
}

// A file is replaced only once its new content is complete.
void copyThroughTemp(const QString& from, const QString& to)
{
    const fs::path temp = fsPath(to + ".part");
    std::error_code ec;
    fs::remove(temp, ec);
    fs::copy_file(fsPath(from), temp, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(temp, fsPath(to), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        throw Failure(QString("The file %1 could not be copied to %2: %3")
                          .arg(native(from), native(to), QString::fromStdString(ec.message())));
    }
}

// A consistent copy of an open database, through the backup interface.
void backupDatabase(sqlite3* source, const QString& to)
{
    const QString temp = to + ".part";
    QFile::remove(temp);
    {
        Db target;
        target.open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup* b = sqlite3_backup_init(target.h, "main", source, "main");
        if (!b)
            raise(target.h, "backup");
        const int rc = sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        if (rc != SQLITE_DONE) {
            target.close();
            QFile::remove(temp);
            throw ado::Error(rc, QString("The copy %1 could not be written.").arg(native(to)));
        }
    }
    std::error_code ec;
    fs::rename(fsPath(temp), fsPath(to), ec);
    if (ec) {
        QFile::remove(temp);
        throw ado::Error(SQLITE_IOERR, QString::fromStdString(ec.message()));
    }
}

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

int percentOf(qint64 i, qint64 n) { return n > 0 ? int(i * 100 / n) : 0; }

}  // namespace

// A record comes before the records that hang on it (see keyReferences).
const QStringList& travellingTables()
{
    static const QStringList names = {
        "EVENT", "EVENT_FOOD", "EVENT_DECORATION", "EVENT_MUSIC", "EVENT_PLAYSCRIPT", "TASKS", "APPOINTMENT",
        "OUR_WEDDING", "GUEST", "SUBGUEST", "INVITE", "TABLES", "SEATING", "VENDOR", "QUOTE", "BUDGET", "EXPENSES",
        "ATTIRE", "MEASURE_FEMALE", "MEASURE_MALE", "GIFT", "REGISTRY",
        // lookup lists
        "TITLES", "GUESTTYPE", "ASSIGNEE", "RSVP_STATUS", "VENDORTYPE", "GIFTSTORE", "GIFT_CATEGORY", "PRIORITY",
        "BUDGETCATEGORY", "STDEVENT", "ATTIRE_TYPE"};
    return names;
}

namespace {

// The version a replica gives a record the log names but that has none here.
const QString kNoVersion = QStringLiteral("1900-01-01 00:00:00.000");

// A log time (local, without milliseconds) as a version.
QString versionOfLogTime(const QString& column) { return QString("strftime('%Y-%m-%d %H:%M:%f', %1, 'utc')").arg(column); }

const QString kVersionsColumns = QStringLiteral(
    "VERSION_TABLE TEXT, VERSION_RECORDID INTEGER, VERSION_STAMP TEXT, VERSION_COPY INTEGER, VERSION_DELETED INTEGER");
// Replicas of earlier builds have no marks; a merge reads them only when
// they are there.
const QString kOriginsColumns = QStringLiteral("ORIGIN_TABLE TEXT, ORIGIN_RECORDID INTEGER, ORIGIN_MARK INTEGER");

// The log rows of one table that travel: exact name, not a received deletion.
QString logRowsOf(const QString& alias)
{
    return QString("%1.SYNCHRO_TABLE = ?1 AND %1.SYNCHRO_TABLE = ?1 COLLATE BINARY AND %1.SYNCHRO_ACTION IS NOT %2")
        .arg(alias)
        .arg(kReceivedDeletion);
}

}  // namespace

// ------------------------------------------------------------------ Prepare

int Prepare(ado::Connection& conn, const Progress& progress)
{
    using modQVDatabase::dataFile;
    Reporter report(progress);
    if (!conn.isOpen())
        throw Failure("The working database is not open.");
    const QString staging = dataFile(kStagingFile);
    const QString temp = staging + ".part";

    // A replica that was never saved is kept once more before it is replaced.
    if (QFileInfo::exists(staging)) {
        copyThroughTemp(staging, dataFile(kOldStagingFile));
        if (!QFile::remove(staging))
            throw Failure(QString("The previous replica %1 could not be removed.").arg(native(staging)));
    }

    int packed = 0;
    try {
        report("Creating Database...", 0);
        QFile::remove(temp);
        {
            QFile empty(temp);  // an empty file is an empty database
            if (!empty.open(QIODevice::WriteOnly))
                throw ado::Error(SQLITE_CANTOPEN, QString("%1: %2").arg(native(temp), empty.errorString()));
        }
        sqlite3* db = conn.handle();
        const int ours = conn.copyNumber();
        // This replica's mark ends the list of the marks of every replica this
        // copy prepared (see whoRenumbers), kept before the replica can go
        // out. A replica that then fails leaves a mark no replica carries,
        // as one never sent does.
        conn.Execute("INSERT INTO SYNCHRO_REPLICA (REPLICA_MARK) VALUES (random())");
        Attached attached(conn, temp);
        exec(db, QString("PRAGMA %1.application_id = %2").arg(kRep).arg(kReplicaMark));
        exec(db, QString("PRAGMA %1.user_version = %2").arg(kRep).arg(ours));
        exec(db, "BEGIN");

        const QVector<Column> logCols = columnsOf(db, "main", "SYNCHRO");
        exec(db, createTable(rep("Synchro"), logCols));
        exec(db, QString("CREATE TABLE %1 (%2)").arg(rep("Versions"), kVersionsColumns));
        exec(db, QString("CREATE TABLE %1 (COPY_NUMBER INTEGER)").arg(rep("Copies")));
        exec(db, QString("CREATE TABLE %1 (%2)").arg(rep("Origins"), kOriginsColumns));
        exec(db, QString("INSERT INTO %1 SELECT COPY_NUMBER FROM main.SYNCHRO_COPY ORDER BY 1").arg(rep("Copies")));
        exec(db, QString("CREATE TABLE %1 (REPLICA_MARK INTEGER)").arg(rep("Replicas")));
        exec(db, QString("INSERT INTO %1 SELECT REPLICA_MARK FROM main.SYNCHRO_REPLICA ORDER BY rowid").arg(rep("Replicas")));
        exec(db, QString("CREATE TABLE %1 (PARTNER_NUMBER INTEGER)").arg(rep("Partner")));
        exec(db, QString("INSERT INTO %1 SELECT PARTNER_NUMBER FROM main.SYNCHRO_PARTNER ORDER BY 1").arg(rep("Partner")));

        // Only tables that the other copy accepts travel, so one stray log row
        // never makes every later replica unusable.
        const QSet<QString> existing = tablesOf(db, "main");
        QStringList logged;
        {
            Stmt s(db, QString("SELECT DISTINCT SYNCHRO_TABLE COLLATE BINARY FROM main.SYNCHRO WHERE SYNCHRO_ACTION "
                               "IS NOT %1 ORDER BY 1")
                           .arg(kReceivedDeletion));
            while (s.step())
                if (s.type(0) == SQLITE_TEXT)
                    logged << s.text(0);
        }
        QStringList tables;
        QHash<QString, QVector<Column>> columns;
        for (int i = 0; i < logged.size(); ++i) {
            const QString& name = logged[i];
            if (!travellingTables().contains(name) || !existing.contains(name))
                continue;
            report("Creating Table: " + name, percentOf(i, logged.size()));
            tables << name;
            columns.insert(name, columnsOf(db, "main", name));
            exec(db, createTable(rep(name), columns[name]));
        }

        const qint64 total = integerOf(
            db, QString("SELECT count(*) FROM main.SYNCHRO WHERE SYNCHRO_ACTION IS NOT %1").arg(kReceivedDeletion));
        Stmt before(db, QString("SELECT count(*) FROM main.SYNCHRO WHERE SYNCHRO_TABLE COLLATE BINARY < ? AND "
                                "SYNCHRO_ACTION IS NOT %1")
                            .arg(kReceivedDeletion));
        for (const QString& table : tables) {
            before.bind(1, table);
            before.step();
            report("Adding records to " + table, percentOf(before.integer(0), total));
            before.reset();

            const QString key = quoted(columns[table][0].name);
            // The table's log rows, read once.
            exec(db, "DROP TABLE IF EXISTS temp.pack_log");
            {
                Stmt s(db, QString("CREATE TEMP TABLE pack_log AS SELECT * FROM main.SYNCHRO s WHERE %1 ORDER BY s.rowid")
                               .arg(logRowsOf("s")));
                s.bind(1, table);
                s.run();
            }
            // One data row per log row whose record is still here.
            exec(db, QString("INSERT INTO %1 SELECT t.* FROM temp.pack_log s JOIN %2 t ON t.%3 = s.SYNCHRO_RECORDID "
                             "ORDER BY s.rowid")
                         .arg(rep(table), mainTable(table), key));
            exec(db, QString("INSERT INTO %1 SELECT * FROM temp.pack_log ORDER BY rowid").arg(rep("Synchro")));
            packed += sqlite3_changes(db);
            {
                Stmt marks(db, QString("INSERT INTO %1 SELECT ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK FROM "
                                       "main.SYNCHRO_ORIGIN WHERE ORIGIN_TABLE = ?1 AND ORIGIN_RECORDID IN "
                                       "(SELECT SYNCHRO_RECORDID FROM temp.pack_log)")
                                   .arg(rep("Origins")));
                marks.bind(1, table);
                marks.run();
            }

            // The version of each record held here: this copy's latest change
            // or the one it took, whichever is newer (with the number of the
            // copy that made it).
            const QString mine = "(v.VERSION_CHANGED IS NOT NULL AND (v.VERSION_TAKEN IS NULL OR v.VERSION_CHANGED > "
                                 "v.VERSION_TAKEN OR (v.VERSION_CHANGED = v.VERSION_TAKEN AND ?2 >= "
                                 "v.VERSION_TAKENFROM)))";
            Stmt versions(
                db,
                QString("INSERT INTO %1 SELECT ?1, t.%2, "
                        "  CASE WHEN %3 THEN v.VERSION_CHANGED WHEN v.VERSION_TAKEN IS NOT NULL THEN v.VERSION_TAKEN "
                        "       ELSE coalesce((SELECT %4 FROM temp.pack_log l WHERE l.SYNCHRO_RECORDID = t.%2 AND "
                        "         l.SYNCHRO_ACTION IN (1, 2)), '%5') END, "
                        "  CASE WHEN NOT %3 AND v.VERSION_TAKEN IS NOT NULL THEN v.VERSION_TAKENFROM ELSE ?2 END, 0 "
                        "FROM %6 t LEFT JOIN main.SYNCHRO_VERSION v ON v.VERSION_TABLE = ?1 AND v.VERSION_RECORDID = t.%2 "
                        "WHERE t.%2 IN (SELECT SYNCHRO_RECORDID FROM temp.pack_log)")
                    .arg(rep("Versions"), key, mine, versionOfLogTime("max(l.SYNCHRO_DATETIME)"), kNoVersion,
                         mainTable(table)));
            // Those this copy deleted.
            Stmt deleted(db, QString("INSERT INTO %1 SELECT ?1, id, coalesce(%2, '%3'), ?2, 1 FROM (SELECT "
                                     "SYNCHRO_RECORDID AS id, max(SYNCHRO_DATETIME) AS at FROM temp.pack_log WHERE "
                                     "SYNCHRO_ACTION = 3 AND typeof(SYNCHRO_RECORDID) = 'integer' GROUP BY 1) "
                                     "WHERE NOT EXISTS (SELECT 1 FROM %4 t WHERE t.%5 = id)")
                                 .arg(rep("Versions"), versionOfLogTime("at"), kNoVersion, mainTable(table), key));
            deleted.bind(1, table);
            deleted.bind(2, qint64(ours));
            deleted.run();
            versions.bind(1, table);
            versions.bind(2, qint64(ours));
            versions.run();
        }
        exec(db, "DROP TABLE IF EXISTS temp.pack_log");
        exec(db, "COMMIT");
        attached.detach();
        std::error_code ec;
        fs::rename(fsPath(temp), fsPath(staging), ec);
        if (ec)
            throw ado::Error(SQLITE_IOERR, QString::fromStdString(ec.message()));
    } catch (const ado::Error& e) {
        QFile::remove(temp);
        throw Failure(QString("The replica could not be created.\n\n%1").arg(e.description()));
    }
    report(QString("Successfully packed %1 items.").arg(packed), 100);
    return packed;
}

// ------------------------------------------------------------------ saving

// ------------------------------------------------------------------ saving

QString replicaName(const QString& chosen)
{
    return chosen.endsWith(".qvd", Qt::CaseSensitive) ? chosen : chosen + ".qvd";
}

QString SaveReplica(ado::Connection& conn, const QString& chosen)
{
    using modQVDatabase::dataFile;
    if (chosen.isEmpty())
        return QString();
    const QString target = replicaName(chosen);
    const QString staging = dataFile(kStagingFile);
    if ((conn.isOpen() && sameFile(target, conn.path())) || sameFile(target, dataFile(modQVDatabase::kWorkingFile)))
        throw Failure("The replica cannot be saved over the working database.  Please choose another name.");
    if (sameFile(target, modQVDatabase::programFile(modQVDatabase::kTemplateFile)))
        throw Failure("The replica cannot be saved over the empty template database.  Please choose another name.");
    if (!QFileInfo::exists(staging))
        throw Failure("There is no replica to save.  Press Prepare to make one.");
    if (sameFile(target, staging))
        return target;  // already where it was built
    if (QFileInfo(target).isDir())
        throw Failure(QString("%1 is a folder.  Please choose a file name.").arg(native(target)));
    copyThroughTemp(staging, target);
    QFile::remove(staging);
    return target;
}

// ------------------------------------------------------------------ merging
//
// Every record a replica names comes with the version the sender holds, or
// with the news that the sender deleted it.
// - A received deletion removes the record here with everything that hangs
//   on it, as deleting it here would. A deletion wins over any change, also
//   one made here later: the other user chose to delete the record, and only
//   so do both copies end alike (neither brings a deleted record back).
// - A record this copy deleted, itself or by taking a deletion, is never
//   brought back: keys are never given out twice, so any version of that key
//   is about the deleted record, however new.
// - A record that hangs on a record deleted here (a subguest of a deleted
//   party) is not taken either; it counts as deleted with its parent.
// - Otherwise the received record is taken only when its version is newer
//   than both this copy's own latest change of it and the version it took
//   last: the later time, or the higher copy number in the same millisecond.
//   The version is remembered as taken. So both copies settle on the newest
//   change whatever the order of exchanges, an older replica changes nothing,
//   and a replica merged twice changes nothing the second time.
// Nothing the merge applies is logged as a change of this copy, so it never
// travels back; applied deletions leave a kReceivedDeletion log row.

namespace {

// What kind of value a column of ours takes, as an SQL condition on q.
QString fitsKind(ado::ColumnKind kind, const QString& q)
{
    using K = ado::ColumnKind;
    switch (kind) {
    case K::Text: return QString("typeof(%1) = 'text'").arg(q);
    case K::Integer: return QString("typeof(%1) = 'integer'").arg(q);
    case K::Real:
        return QString("(typeof(%1) IN ('integer', 'real') AND %1 BETWEEN -1.7976931348623157e308 AND "
                       "1.7976931348623157e308)")
            .arg(q);
    case K::Currency:
        return QString("(typeof(%1) IN ('integer', 'real') AND %1 BETWEEN -922337203685477.5807 AND "
                       "922337203685477.5807)")
            .arg(q);
    // Normalising through a modifier turns 30 February into 2 March, so only
    // a real moment written in the stored form stays the same text.
    case K::DateTime: return QString("(typeof(%1) = 'text' AND datetime(%1, '+0 seconds') IS %1)").arg(q);
    case K::YesNo: return QString("(typeof(%1) = 'integer' AND %1 IN (0, 1))").arg(q);
    case K::Other: break;
    }
    return QString("typeof(%1) <> 'blob'").arg(q);
}

QString whatKind(ado::ColumnKind kind)
{
    using K = ado::ColumnKind;
    switch (kind) {
    case K::Text: return "a text";
    case K::Integer: return "a whole number";
    case K::Real: return "a number";
    case K::Currency: return "an amount this program can hold";
    case K::DateTime: return "a date and time";
    case K::YesNo: return "a Yes/No value";
    case K::Other: break;
    }
    return "a value this program can store";
}

// A key one of the two copies can have given out (temp.merge_copies holds
// the copy numbers of both, 0 for the template's own rows).
QString fitsKey(const QString& q)
{
    return QString("(typeof(%1) = 'integer' AND %1 >= 1 AND %1 / %2 IN (SELECT n FROM temp.merge_copies))")
        .arg(q)
        .arg(ado::Connection::kKeyRange);
}

QString shortValue(const QString& quotedValue)
{
    if (quotedValue.startsWith("X'"))
        return "binary data";
    if (quotedValue == "NULL")
        return "nothing";
    return quotedValue.size() > 40 ? quotedValue.left(37) + "..." : quotedValue;
}

[[noreturn]] void misfit(const QString& table, const QString& column, const QString& record, const QString& value,
                         const QString& expected)
{
    const QString where = record.isEmpty() || record == "NULL" ? QString() : QString(" of record %1").arg(record);
    throw Failure(QString("The replica cannot be merged: table %1, column %2%3 holds %4, which is not %5.  Nothing "
                          "was changed.")
                      .arg(table, column, where, shortValue(value), expected));
}

// Two copies keep a wedding in step; a third is refused, and said to be one.
QString twoCopiesOnly() { return QStringLiteral("A wedding is kept in step between two copies only.  Nothing was changed."); }

[[noreturn]] void badKey(const QString& table, const QString& column, const QString& value)
{
    // A key of a copy number that neither copy had was given out by a third copy.
    bool isNumber = false;
    const qint64 key = value.toLongLong(&isNumber);
    const qint64 copy = isNumber && key > 0 ? key / ado::Connection::kKeyRange : 0;
    if (copy >= 1 && copy <= ado::Connection::kMaxCopyNumber)
        throw Failure(QString("This replica holds records made by a third copy of the wedding (copy number %1, in "
                              "table %2).  %3")
                          .arg(copy)
                          .arg(table, twoCopiesOnly()));
    throw Failure(QString("The replica cannot be merged: table %1, column %2 holds the key %3, which neither copy can "
                          "have given out.  Nothing was changed.")
                      .arg(table, column, shortValue(value)));
}

// What one column of a replica table must hold.
struct Check {
    QString column;
    QString fits;      // an SQL condition on the row
    QString expected;  // what the message says it should have held
    bool key = false;
};

Check checkOf(const Column& c, bool isKey)
{
    const QString q = quoted(c.name);
    if (isKey)
        return {c.name, fitsKey(q), QString(), true};
    const ado::ColumnKind kind = ado::convert::kindOfDeclaredType(c.type);
    const QString fits = fitsKind(kind, q);
    if (c.notNull)
        return {c.name, QString("(%1 IS NOT NULL AND %2)").arg(q, fits), whatKind(kind)};
    return {c.name, QString("(%1 IS NULL OR %2)").arg(q, fits), whatKind(kind)};
}

// Refuses the first row of a replica table that holds a value it must not,
// naming the table, the column and the record (by `recordColumn`).
void checkRows(sqlite3* db, const QString& table, const QVector<Check>& checks, const QString& recordColumn)
{
    QStringList all;
    for (const Check& c : checks)
        all << c.fits;
    Stmt bad(db, QString("SELECT rowid FROM %1 WHERE NOT (%2) LIMIT 1").arg(rep(table), all.join(" AND ")));
    if (!bad.step())
        return;
    const qint64 rowid = bad.integer(0);
    const QString record = recordColumn.isEmpty() ? QString("NULL") : "quote(" + quoted(recordColumn) + ")";
    for (const Check& c : checks) {
        Stmt one(db, QString("SELECT quote(%1), %2 FROM %3 WHERE rowid = ? AND NOT %4")
                         .arg(quoted(c.column), record, rep(table), c.fits));
        one.bind(1, rowid);
        if (!one.step())
            continue;
        if (c.key)
            badKey(table, c.column, one.text(0));
        misfit(table, c.column, one.text(1), one.text(0), one.text(0) == "NULL" ? "allowed to be empty" : c.expected);
    }
}

void checkValues(sqlite3* db, const QString& table, const QVector<Column>& cols)
{
    QVector<Check> checks;
    for (int i = 0; i < cols.size(); ++i)
        checks << checkOf(cols[i], i == 0);
    checkRows(db, table, checks, cols[0].name);
}

// The temporary table that holds the plan for the i-th table of a merge.
QString planOf(int i) { return QString("temp.merge_plan_%1").arg(i); }

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

QVector<qint64> numbersIn(sqlite3* db, const QString& sql)
{
    QVector<qint64> out;
    Stmt s(db, sql);
    while (s.step())
        out << s.integer(0);
    return out;
}

QSet<qint64> setOf(const QVector<qint64>& v) { return QSet<qint64>(v.begin(), v.end()); }

QString sameNumberMessage(int number)
{
    return QString("This replica comes from a copy of the database with the same copy number as this one (%1).  That "
                   "happens when the database file itself was copied to the other computer.  Until one of the two "
                   "copies takes a new number, records added on both could be taken for the same records.  "
                   "Nothing was changed.")
        .arg(number);
}

// nuptaro_version_form(x): whether x is a text of the form of a version,
// "2026-05-01 14:03:07.250" (each digit in the range its place allows).
void versionForm(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    static const char* const form = "9999-19-39 29:59:59.999";   // the highest digit of each place
    const auto* t = sqlite3_value_text(argv[0]);
    bool fits = t && sqlite3_value_bytes(argv[0]) == 23;
    for (int i = 0; fits && i < 23; ++i)
        fits = form[i] >= '0' && form[i] <= '9' ? t[i] >= '0' && t[i] <= form[i] : t[i] == form[i];
    sqlite3_result_int(ctx, fits ? 1 : 0);
}

// Which of two copies with one number takes a new one. Each copy keeps the
// marks of the replicas it prepared; two copies of one file share those of
// before the copy. The first marks in which the two lists differ decide,
// the lower one renumbering, so both copies come to the same answer from
// each other's replicas, in whatever order they merge them. A copy that
// prepared nothing since the copy renumbers: none of its own records went
// out under the old number. A replica whose list this copy's list begins
// with is this copy's own, or of before the file was copied: neither.
enum class Renumbering { ThisCopy, Sender, Neither };

Renumbering whoRenumbers(const QVector<qint64>& ours, const QVector<qint64>& sender)
{
    qsizetype k = 0;
    while (k < ours.size() && k < sender.size() && ours[k] == sender[k])
        ++k;
    if (k == sender.size())
        return Renumbering::Neither;
    if (k == ours.size() || ours[k] < sender[k])
        return Renumbering::ThisCopy;
    return Renumbering::Sender;
}

// The numbers a replica's table of numbers holds, in order; nothing when it
// has no such table (a replica of an earlier build). Refuses a table of
// other columns or values.
std::optional<QVector<qint64>> numbersOfReplica(sqlite3* db, const QSet<QString>& tables, const QString& table,
                                                const QString& column, bool copyNumbers)
{
    if (!tables.contains(table))
        return std::nullopt;
    const QVector<Column> cols = columnsOf(db, kRep, table);
    if (cols.size() != 1 || cols[0].name.compare(column, Qt::CaseInsensitive) != 0)
        throw ado::Error(SQLITE_CORRUPT, table);
    const QString fits = copyNumbers ? QString("(typeof(%1) = 'integer' AND %1 BETWEEN 1 AND %2)")
                                           .arg(column)
                                           .arg(ado::Connection::kMaxCopyNumber)
                                     : QString("typeof(%1) = 'integer'").arg(column);
    checkRows(db, table, {{column, fits, copyNumbers ? "a copy number" : "a whole number"}}, QString());
    return numbersIn(db, QString("SELECT %1 FROM %2 ORDER BY rowid").arg(column, rep(table)));
}

// The other copy's marks of the records its replica names, when it carries them.
void readTheirMarks(sqlite3* db, const QSet<QString>& replicaTables)
{
    exec(db, "DROP TABLE IF EXISTS temp.merge_marks");
    exec(db, "CREATE TEMP TABLE merge_marks (t TEXT, id INTEGER, m INTEGER, PRIMARY KEY (t, id))");
    QStringList markColumns;
    if (replicaTables.contains("Origins"))
        for (const Column& c : columnsOf(db, kRep, "Origins"))
            markColumns << c.name.toUpper();
    if (markColumns == QStringList{"ORIGIN_TABLE", "ORIGIN_RECORDID", "ORIGIN_MARK"})
        exec(db, QString("INSERT OR IGNORE INTO temp.merge_marks SELECT ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK "
                         "FROM %1 WHERE typeof(ORIGIN_TABLE) = 'text' AND typeof(ORIGIN_RECORDID) = 'integer' AND "
                         "typeof(ORIGIN_MARK) = 'integer'")
                     .arg(rep("Origins")));
}

// The other copy's log, for telling records without marks apart.
void readTheirLog(sqlite3* db)
{
    exec(db, "DROP TABLE IF EXISTS temp.merge_theirs");
    exec(db, QString("CREATE TEMP TABLE merge_theirs AS SELECT SYNCHRO_TABLE AS t, SYNCHRO_RECORDID AS id, "
                     "SYNCHRO_DATETIME AS dt, SYNCHRO_ACTION AS a FROM %1")
                 .arg(rep("Synchro")));
    exec(db, "CREATE INDEX temp.merge_theirs_by_record ON merge_theirs (t, id)");
}

// Whether the record this copy and the other name by one key (table and id
// as SQL expressions) is one and the same: only under the same mark; one
// without marks (made by an earlier build) only when both logs hold a row
// of it alike. Needs `mine` (main.SYNCHRO_ORIGIN) and `theirs`
// (temp.merge_marks) joined on the record, and temp.merge_theirs.
QString sameRecord(const QString& table, const QString& id)
{
    return QString("CASE WHEN mine.ORIGIN_MARK IS NOT NULL AND theirs.m IS NOT NULL THEN mine.ORIGIN_MARK = theirs.m "
                   "ELSE EXISTS (SELECT 1 FROM main.SYNCHRO s JOIN temp.merge_theirs r ON r.t = s.SYNCHRO_TABLE AND "
                   "r.id = s.SYNCHRO_RECORDID AND r.dt IS s.SYNCHRO_DATETIME AND r.a IS s.SYNCHRO_ACTION WHERE "
                   "s.SYNCHRO_TABLE = %1 AND s.SYNCHRO_RECORDID = %2) END")
        .arg(table, id);
}

// Reads and checks the attached replica; nothing of the working database is
// changed. Leaves temp.merge_copies, temp.merge_tables and temp.merge_marks
// filled for the merge. What is checked record by record (a version given
// twice, or without its row) is found while the merge runs, and undoes it.
Plan inspect(ado::Connection& conn, const QString& replicaPath, SameNumber same)
{
    sqlite3* db = conn.handle();
    const QString notReplica =
        QString("The file %1 is not a replica of a Nuptaro database.  Nothing was changed.").arg(native(replicaPath));
    Plan p;
    QSet<QString> replicaTables;
    try {
        replicaTables = tablesOf(db, kRep);
        if (integerOf(db, QString("PRAGMA %1.application_id").arg(kRep)) != kReplicaMark ||
            !replicaTables.contains("Synchro"))
            throw Failure(notReplica);
        p.sender = int(integerOf(db, QString("PRAGMA %1.user_version").arg(kRep)));
    } catch (const ado::Error&) {
        throw Failure(notReplica);
    }
    if (!replicaTables.contains("Versions") || !replicaTables.contains("Copies"))
        throw Failure(QString("The replica %1 was prepared by an earlier version of Nuptaro, which does not record when "
                              "each record was last changed, so merging it could undo newer changes made here.  Please "
                              "ask the other user to update Nuptaro and prepare the replica again.  Nothing was "
                              "changed.")
                          .arg(native(replicaPath)));
    if (p.sender < 1)
        throw Failure(QString("The replica carries the copy number %1, which no copy of the database can have.  "
                              "Nothing was changed.")
                          .arg(p.sender));
    p.ours = conn.copyNumber();

    try {
        if (!sameColumns(columnsOf(db, kRep, "Synchro"), columnsOf(db, "main", "SYNCHRO")))
            throw Failure(QString("The change log of the replica %1 does not match the change log of this database.  "
                                  "Nothing was changed.")
                              .arg(native(replicaPath)));
        const QStringList versionNames = {"VERSION_TABLE", "VERSION_RECORDID", "VERSION_STAMP", "VERSION_COPY",
                                          "VERSION_DELETED"};
        QStringList found;
        for (const Column& c : columnsOf(db, kRep, "Versions"))
            found << c.name.toUpper();
        if (found != versionNames)
            throw Failure(notReplica);

        // The copy numbers whose keys may travel: both copies' present and
        // earlier numbers, and the template's 0.
        const QVector<qint64> senderCopies =
            numbersOfReplica(db, replicaTables, "Copies", "COPY_NUMBER", true).value_or(QVector<qint64>());
        p.senderNumbers = setOf(senderCopies) << p.sender;
        const QSet<qint64> ourNumbers = setOf(numbersIn(db, "SELECT COPY_NUMBER FROM main.SYNCHRO_COPY")) << p.ours;
        p.shared = p.senderNumbers & ourNumbers;
        const std::optional<QVector<qint64>> lineage =
            numbersOfReplica(db, replicaTables, "Replicas", "REPLICA_MARK", false);
        const QSet<qint64> sendersPartner =
            setOf(numbersOfReplica(db, replicaTables, "Partner", "PARTNER_NUMBER", true).value_or(QVector<qint64>()));

        Renumbering renumbering = Renumbering::Neither;
        if (p.sender == p.ours)  // a replica of an earlier build cannot tell: this copy renumbers, as it did then
            renumbering = lineage ? whoRenumbers(numbersIn(db, "SELECT REPLICA_MARK FROM main.SYNCHRO_REPLICA ORDER "
                                                               "BY rowid"),
                                                 *lineage)
                                  : Renumbering::ThisCopy;
        if (p.sender == p.ours && renumbering == Renumbering::Neither)
            throw Failure("This replica was prepared by this copy of the database, or by the one it was copied from "
                          "before the copy was made, so it holds nothing new.  Please choose the replica received "
                          "from the other user.  Nothing was changed.");
        p.holdBack = p.sender == p.ours && renumbering == Renumbering::Sender;

        // Two copies only: this one and its partner (or, in a file of an
        // earlier build that names none, the copy it took changes from).
        QSet<qint64> partner = setOf(numbersIn(db, "SELECT PARTNER_NUMBER FROM main.SYNCHRO_PARTNER"));
        if (partner.isEmpty())
            partner = setOf(numbersIn(db, "SELECT DISTINCT VERSION_TAKENFROM FROM main.SYNCHRO_VERSION WHERE "
                                          "typeof(VERSION_TAKENFROM) = 'integer'")) -
                      ourNumbers;
        if (!partner.isEmpty() && !partner.intersects(p.senderNumbers))
            throw Failure(QString("This replica comes from copy number %1, a third copy of the wedding: this copy "
                                  "exchanges its changes with another one.  %2")
                              .arg(p.sender)
                              .arg(twoCopiesOnly()));
        if (!sendersPartner.isEmpty() && !sendersPartner.intersects(ourNumbers))
            throw Failure(QString("This replica comes from copy number %1, which exchanges its changes with a "
                                  "third copy of the wedding.  %2")
                              .arg(p.sender)
                              .arg(twoCopiesOnly()));
        if (p.sender == p.ours && renumbering == Renumbering::ThisCopy && same == SameNumber::Refuse)
            throw SameCopyNumber(sameNumberMessage(p.ours), p.ours);

        QSet<qint64> numbers = p.senderNumbers | ourNumbers;
        numbers << 0;
        if (p.sender == p.ours && renumbering == Renumbering::ThisCopy) {
            do
                p.fresh = modQVDatabase::drawCopyNumber();
            while (numbers.contains(p.fresh));
            numbers << p.fresh;
        }
        exec(db, "DROP TABLE IF EXISTS temp.merge_copies");
        exec(db, "CREATE TEMP TABLE merge_copies (n INTEGER PRIMARY KEY)");
        Stmt addNumber(db, "INSERT INTO temp.merge_copies VALUES (?)");
        for (qint64 n : numbers) {
            addNumber.bind(1, n);
            addNumber.run();
        }
        readTheirMarks(db, replicaTables);
        if (p.holdBack || p.fresh)
            readTheirLog(db);

        // The log: names of tables that travel, keys of the two copies.
        // The log's size, whether any row is amiss (then named), its tables.
        const QVector<Check> logChecks = {
            {"SYNCHRO_TABLE", "typeof(SYNCHRO_TABLE) = 'text'", "a table name"},
            // The records themselves are checked through their versions.
            {"SYNCHRO_RECORDID", "typeof(SYNCHRO_RECORDID) = 'integer'", QString(), true},
            {"SYNCHRO_ACTION", "typeof(SYNCHRO_ACTION) = 'integer'", "an action number"}};
        QStringList logged;
        bool amiss = false;
        {
            QStringList fits;
            for (const Check& c : logChecks)
                fits << c.fits;
            // One pass, nothing sorted: the log is as long as the replica.
            Stmt s(db, QString("SELECT count(*), max(NOT (%1)), json_group_array(DISTINCT SYNCHRO_TABLE) FROM %2")
                           .arg(fits.join(" AND "), rep("Synchro")));
            s.step();
            p.items = s.integer(0);
            amiss = s.integer(1) != 0;
            for (const QJsonValue name : QJsonDocument::fromJson(s.text(2).toUtf8()).array())
                logged << name.toString();
            std::sort(logged.begin(), logged.end(),
                      [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        }
        if (amiss)
            checkRows(db, "Synchro", logChecks, "SYNCHRO_RECORDID");
        const QSet<QString> existing = tablesOf(db, "main");
        for (const QString& name : logged) {
            if (!travellingTables().contains(name) || !existing.contains(name))
                throw Failure(QString("The replica names the table \"%1\", which is not one that can be "
                                      "synchronized.  Nothing was changed.")
                                  .arg(name));
            const QVector<Column> mine = columnsOf(db, "main", name);
            if (!replicaTables.contains(name))
                throw Failure(QString("The replica has no table %1 for its logged changes.  Nothing was changed.")
                                  .arg(name));
            if (!sameColumns(mine, columnsOf(db, kRep, name)))
                throw Failure(QString("The table %1 of the replica does not have the same columns, in the same "
                                      "order, as this database.  Nothing was changed.")
                                  .arg(name));
            p.tables << name;
            p.columns.insert(name, mine);
        }
        // Parents before what hangs on them, so a record whose parent was
        // deleted here is known as such when its own turn comes.
        std::sort(p.tables.begin(), p.tables.end(), [](const QString& a, const QString& b) {
            return travellingTables().indexOf(a) < travellingTables().indexOf(b);
        });
        for (const QString& t : p.tables)
            checkValues(db, t, p.columns[t]);

        // The versions: one per record, of a table the log names.
        exec(db, "DROP TABLE IF EXISTS temp.merge_tables");
        exec(db, "CREATE TEMP TABLE merge_tables (name TEXT PRIMARY KEY)");
        Stmt addTable(db, "INSERT INTO temp.merge_tables VALUES (?)");
        for (const QString& t : p.tables) {
            addTable.bind(1, t);
            addTable.run();
        }
        // A version in its form, told byte by byte: a pattern of digit
        // ranges costs more than the rest of the checks together.
        sqlite3_create_function(db, "nuptaro_version_form", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                &versionForm, nullptr, nullptr);
        const QString version = "nuptaro_version_form(VERSION_STAMP)";
        checkRows(db, "Versions",
                  {{"VERSION_TABLE", "VERSION_TABLE IN (SELECT name FROM temp.merge_tables)",
                    "a table of its change log"},
                   // A record that travels has its key checked with its row,
                   // the key of a deletion below.
                   {"VERSION_RECORDID", "typeof(VERSION_RECORDID) = 'integer'", QString(), true},
                   {"VERSION_STAMP", "(typeof(VERSION_STAMP) = 'text' AND " + version + ")",
                    "a moment in the form of a version"},
                   {"VERSION_COPY", "VERSION_COPY IN (SELECT n FROM temp.merge_copies WHERE n > 0)",
                    "the number of either copy"},
                   {"VERSION_DELETED", fitsKind(ado::ColumnKind::YesNo, "VERSION_DELETED"), "a Yes/No value"}},
                  "VERSION_RECORDID");

        p.records = integerOf(db, QString("SELECT count(*) FROM %1").arg(rep("Versions")));
    } catch (const ado::Error&) {
        throw Failure(notReplica);
    }
    return p;
}

// Writes the log row that remembers a deletion taken from the other copy.
class Tombstones {
public:
    explicit Tombstones(sqlite3* db)
        : add_(db, QString("INSERT INTO main.SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, "
                           "SYNCHRO_ACTION) VALUES (?, ?, ?, %1)")
                       .arg(kReceivedDeletion)),
          known_(db, "SELECT 1 FROM main.SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ? AND SYNCHRO_ACTION IN "
                     "(3, ?) LIMIT 1")
    {
    }
    bool has(const QString& table, qint64 key)
    {
        known_.bind(1, table);
        known_.bind(2, key);
        known_.bind(3, qint64(kReceivedDeletion));
        const bool found = known_.step();
        known_.reset();
        return found;
    }
    void add(const QString& table, qint64 key)
    {
        if (has(table, key))
            return;
        add_.bind(1, table);
        add_.bind(2, key);
        add_.bind(3, ado::convert::isoDateTime(QDateTime::currentDateTime()));
        add_.run();
    }

private:
    Stmt add_;
    Stmt known_;
};

bool exists(sqlite3* db, const QString& table, const QString& key, qint64 id)
{
    Stmt s(db, QString("SELECT 1 FROM %1 WHERE %2 = ?").arg(mainTable(table), quoted(key)));
    s.bind(1, id);
    return s.step();
}

// Removes a record here as a deletion here would, remembering every removed
// row as a taken deletion; a gift's picture is noted, to go after the commit.
void removeHere(ado::Connection& conn, Tombstones& tombs, const QString& table, qint64 id, QStringList& pictures)
{
    if (table == "GIFT")
        pictures << conn.scalar("SELECT GIFT_IMAGE FROM main.GIFT WHERE GIFT_ID = ?", {id}).toString();
    records::deleteWithCascade(conn, table, id, [&](const records::RemovedRow& r) { tombs.add(r.table, r.key); });
}

// Moves a record of this copy to another key, with every reference to it.
void moveKey(sqlite3* db, const QString& table, const QString& key, qint64 from, qint64 to)
{
    auto run = [&](const QString& sql, const QString& name = QString()) {
        Stmt s(db, sql);
        s.bind(1, to);
        s.bind(2, from);
        if (!name.isNull())
            s.bind(3, name);
        s.run();
    };
    run(QString("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(mainTable(table), quoted(key)));
    for (const records::KeyReference& r : records::keyReferences())
        if (table == QLatin1String(r.parent))
            run(QString("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(mainTable(r.table), quoted(r.column)));
    run("UPDATE main.SYNCHRO SET SYNCHRO_RECORDID = ? WHERE SYNCHRO_RECORDID = ? AND SYNCHRO_TABLE = ?", table);
    run("UPDATE main.SYNCHRO_VERSION SET VERSION_RECORDID = ? WHERE VERSION_RECORDID = ? AND VERSION_TABLE = ?", table);
    run("UPDATE main.SYNCHRO_ORIGIN SET ORIGIN_RECORDID = ? WHERE ORIGIN_RECORDID = ? AND ORIGIN_TABLE = ?", table);
}

// Renumbering. Two copies with one number gave out keys from one range. The
// records both hold from before the file was copied are the same records,
// under the same keys, in both: they keep them. Those this copy added on its
// own (the other copy marks that key otherwise, or names it nowhere) could
// clash with ones the other added under the same keys, so they move to this
// copy's new range, with every reference to them; so do keys only this copy
// logged and deleted, so their deletions never hide the other's records.
// Marks are random, so two records added in the same second on both sides
// are told apart all the same. The other copy, which keeps the number,
// holds back what this copy added under it until it comes under its new
// keys (see setAside).
// New keys come from the new range; the old number is remembered, so keys
// given out under it stay this copy's.
void renumberThisCopy(ado::Connection& conn, int old, int fresh)
{
    sqlite3* db = conn.handle();
    conn.setCopyNumber(fresh);
    {
        Stmt s(db, "INSERT OR IGNORE INTO main.SYNCHRO_COPY (COPY_NUMBER) VALUES (?)");
        s.bind(1, qint64(old));
        s.run();
    }
    const qint64 lo = qint64(old) * ado::Connection::kKeyRange, hi = lo + ado::Connection::kKeyRange - 1;
    const QSet<QString> existing = tablesOf(db, "main");
    for (const QString& table : travellingTables()) {
        if (!existing.contains(table))
            continue;
        const QString key = conn.keyColumn(table);
        Stmt own(db, QString("SELECT k.id FROM (SELECT %1 AS id FROM %2 WHERE %1 BETWEEN ?2 AND ?3 "
                             "  UNION SELECT SYNCHRO_RECORDID FROM main.SYNCHRO WHERE SYNCHRO_TABLE = ?1 "
                             "  AND SYNCHRO_RECORDID BETWEEN ?2 AND ?3) k "
                             "LEFT JOIN main.SYNCHRO_ORIGIN mine ON mine.ORIGIN_TABLE = ?1 AND mine.ORIGIN_RECORDID = k.id "
                             "LEFT JOIN temp.merge_marks theirs ON theirs.t = ?1 AND theirs.id = k.id "
                             "WHERE NOT %3 ORDER BY k.id")
                         .arg(quoted(key), mainTable(table), sameRecord("?1", "k.id")));
        own.bind(1, table);
        own.bind(2, lo);
        own.bind(3, hi);
        QVector<qint64> keys;
        while (own.step())
            keys << own.integer(0);
        for (qint64 k : keys)
            moveKey(db, table, key, k, conn.reserveKey(table));
    }
}

// Why a record a replica brings is set aside rather than taken (table
// temp.merge_foreign); a record that names one set aside is set aside too.
enum SetAside {
    HeldElsewhere = 0,  // this copy holds it under another key (it moved it when it renumbered)
    HeldBack = 1,       // the sender's own under this copy's number, which the sender gives up
    OtherRecord = 2,    // under a key both copies gave out, this copy holds another record
};

// Decides, after any renumbering, what of the replica is set aside.
void setAside(sqlite3* db, const Plan& p)
{
    exec(db, "DROP TABLE IF EXISTS temp.merge_foreign");
    exec(db, "CREATE TEMP TABLE merge_foreign (t TEXT, id INTEGER, why INTEGER, PRIMARY KEY (t, id))");
    if (p.holdBack) {
        Stmt s(db, QString("INSERT OR IGNORE INTO temp.merge_foreign SELECT v.VERSION_TABLE, v.VERSION_RECORDID, %1 "
                           "FROM %2 v LEFT JOIN main.SYNCHRO_ORIGIN mine ON mine.ORIGIN_TABLE = v.VERSION_TABLE AND "
                           "mine.ORIGIN_RECORDID = v.VERSION_RECORDID LEFT JOIN temp.merge_marks theirs ON theirs.t = "
                           "v.VERSION_TABLE AND theirs.id = v.VERSION_RECORDID WHERE v.VERSION_RECORDID BETWEEN ? AND ? "
                           "AND NOT %3")
                       .arg(HeldBack)
                       .arg(rep("Versions"), sameRecord("v.VERSION_TABLE", "v.VERSION_RECORDID")));
        s.bind(1, ado::Connection::firstKeyOf(p.ours));
        s.bind(2, ado::Connection::lastKeyOf(p.ours));
        s.run();
    }
    QStringList shared;
    for (qint64 n : p.shared)
        if (n > 0)
            shared << QString::number(n);
    if (shared.isEmpty())
        return;  // keys of two numbers apart name one record each
    const QString inShared = QString("theirs.id / %1 IN (%2)").arg(ado::Connection::kKeyRange).arg(shared.join(", "));
    exec(db, QString("INSERT OR IGNORE INTO temp.merge_foreign SELECT theirs.t, theirs.id, %1 FROM temp.merge_marks "
                     "theirs JOIN main.SYNCHRO_ORIGIN o ON o.ORIGIN_TABLE = theirs.t AND o.ORIGIN_MARK = theirs.m "
                     "WHERE o.ORIGIN_RECORDID <> theirs.id AND %2")
                 .arg(HeldElsewhere)
                 .arg(inShared));
    exec(db, QString("INSERT OR IGNORE INTO temp.merge_foreign SELECT theirs.t, theirs.id, %1 FROM temp.merge_marks "
                     "theirs JOIN main.SYNCHRO_ORIGIN o ON o.ORIGIN_TABLE = theirs.t AND o.ORIGIN_RECORDID = theirs.id "
                     "WHERE o.ORIGIN_MARK <> theirs.m AND %2")
                 .arg(OtherRecord)
                 .arg(inShared));
}

// What becomes of a received record.
enum Decision {
    LeftAlone = 0,       // this copy holds it as new or newer, or deleted it
    Taken = 1,
    GoneWithParent = 2,  // it hangs on a record deleted here
    HeldBackHere = 3,    // see SetAside
    OtherHere = 4,
};

// The record-by-record plan of one table: each received version, the row
// that carries it (the first of its key), whether the record is here, and
// its Decision.
void fillPlan(sqlite3* db, const Plan& p, int i, int ours)
{
    const QString& table = p.tables[i];
    const QVector<Column>& cols = p.columns[table];
    const QString key = quoted(cols[0].name);
    const QString plan = planOf(i);
    exec(db, "DELETE FROM temp.merge_rows");
    exec(db, QString("INSERT OR IGNORE INTO temp.merge_rows SELECT %1, rowid FROM %2 ORDER BY rowid").arg(key, rep(table)));
    exec(db, QString("DROP TABLE IF EXISTS %1").arg(plan));
    exec(db, QString("CREATE TEMP TABLE %1 (id INTEGER PRIMARY KEY, stamp TEXT, copy INTEGER, rid INTEGER, "
                     "here INTEGER, decision INTEGER)")
                 .arg(plan.mid(5)));
    // What cannot be there is not looked for, row after row.
    auto any = [db](const QString& sql, const QString& name) {
        Stmt s(db, sql);
        if (s.parameters() > 0)
            s.bind(1, name);
        return s.step();
    };
    auto deletedHere = [&](const QString& name) {
        return any(QString("SELECT 1 FROM main.SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_ACTION IN (3, %1) LIMIT 1")
                       .arg(kReceivedDeletion),
                   name);
    };
    const bool anyAside = any("SELECT 1 FROM temp.merge_foreign LIMIT 1", QString());
    QStringList orphan, nowhere, foreign;
    if (anyAside)
        foreign << "(SELECT f.why FROM temp.merge_foreign f WHERE f.t = ?1 AND f.id = v.VERSION_RECORDID)";
    for (const records::KeyReference& r : records::keyReferences()) {
        if (table != QLatin1String(r.table))
            continue;
        if (deletedHere(QLatin1String(r.parent)))
            orphan << QString("EXISTS (SELECT 1 FROM main.SYNCHRO s WHERE s.SYNCHRO_TABLE = '%1' AND "
                              "s.SYNCHRO_RECORDID = d.%2 AND s.SYNCHRO_ACTION IN (3, %3))")
                          .arg(QLatin1String(r.parent), quoted(r.column))
                          .arg(kReceivedDeletion);
        // A record that names one neither copy has (its parent came before
        // it in this merge, if at all), or none where it must name one, would
        // hang on nothing here: it is not taken, and may be when its parent
        // comes. No key is ever 0.
        const QString parentKey = columnsOf(db, "main", QLatin1String(r.parent)).value(0).name;
        nowhere << QString("(%4 NOT EXISTS (SELECT 1 FROM %2 x WHERE x.%3 = d.%1))")
                       .arg(quoted(r.column), mainTable(QLatin1String(r.parent)), quoted(parentKey),
                            r.optional ? QString("d.%1 IS NOT NULL AND d.%1 <> 0 AND").arg(quoted(r.column))
                                       : QString("d.%1 IS NULL OR").arg(quoted(r.column)));
        if (anyAside)
            foreign << QString("(SELECT f.why FROM temp.merge_foreign f WHERE f.t = '%1' AND f.id = d.%2)")
                           .arg(QLatin1String(r.parent), quoted(r.column));
    }
    // Set aside, with the record it names when that is.
    const QString why = foreign.isEmpty() ? QString()
                        : foreign.size() == 1 ? foreign[0]
                                              : "coalesce(" + foreign.join(", ") + ")";
    const QString setAsideCase = why.isEmpty() ? QString()
                                               : QString("WHEN %1 IS NOT NULL THEN CASE %1 WHEN %2 THEN %3 WHEN %4 "
                                                         "THEN %5 ELSE %6 END ")
                                                     .arg(why)
                                                     .arg(HeldBack)
                                                     .arg(HeldBackHere)
                                                     .arg(OtherRecord)
                                                     .arg(OtherHere)
                                                     .arg(LeftAlone);
    const QString here = any(QString("SELECT 1 FROM %1 LIMIT 1").arg(mainTable(table)), table)
                             ? QString("EXISTS (SELECT 1 FROM %1 l WHERE l.%2 = v.VERSION_RECORDID)")
                                   .arg(mainTable(table), key)
                             : QString("0");
    const QString gone = deletedHere(table)
                             ? QString("EXISTS (SELECT 1 FROM main.SYNCHRO s WHERE s.SYNCHRO_TABLE = ?1 AND "
                                       "s.SYNCHRO_RECORDID = v.VERSION_RECORDID AND s.SYNCHRO_ACTION IN (3, %1))")
                                   .arg(kReceivedDeletion)
                             : QString("0");
    const QString older =
        any("SELECT 1 FROM main.SYNCHRO_VERSION WHERE VERSION_TABLE = ? LIMIT 1", table)
            ? QString("EXISTS (SELECT 1 FROM main.SYNCHRO_VERSION h WHERE h.VERSION_TABLE = ?1 AND "
                      "h.VERSION_RECORDID = v.VERSION_RECORDID AND ("
                      "(h.VERSION_CHANGED IS NOT NULL AND (v.VERSION_STAMP < h.VERSION_CHANGED OR "
                      " (v.VERSION_STAMP = h.VERSION_CHANGED AND v.VERSION_COPY <= ?2))) OR "
                      "(h.VERSION_TAKEN IS NOT NULL AND (v.VERSION_STAMP < h.VERSION_TAKEN OR "
                      " (v.VERSION_STAMP = h.VERSION_TAKEN AND v.VERSION_COPY <= h.VERSION_TAKENFROM)))))")
            : QString("0");
    const QString sql = QString("INSERT INTO %1 (id, stamp, copy, rid, here, decision) "
                                "SELECT v.VERSION_RECORDID, v.VERSION_STAMP, v.VERSION_COPY, r.rid, %2, CASE "
                                "  WHEN r.rid IS NULL THEN 0 %9WHEN %3 THEN 0 WHEN %4 THEN 2 WHEN %5 OR %8 THEN 0 "
                                "  ELSE 1 END "
                                "FROM %6 v LEFT JOIN temp.merge_rows r ON r.id = v.VERSION_RECORDID "
                                "LEFT JOIN %7 d ON d.rowid = r.rid "
                                "WHERE v.VERSION_TABLE = ?1 AND v.VERSION_DELETED = 0")
                            .arg(plan, here, gone, orphan.isEmpty() ? QString("0") : orphan.join(" OR "), older,
                                 rep("Versions"), rep(table),
                                 nowhere.isEmpty() ? QString("0") : nowhere.join(" OR "), setAsideCase);
    try {
        Stmt fill(db, sql);
        fill.bind(1, table);
        if (fill.parameters() > 1)
            fill.bind(2, qint64(ours));
        fill.run();
    } catch (const ado::Error& e) {
        if ((e.number() & 0xff) != SQLITE_CONSTRAINT)
            throw;
        Stmt twice(db, QString("SELECT VERSION_RECORDID FROM %1 WHERE VERSION_TABLE = ? GROUP BY 1 HAVING count(*) > 1")
                           .arg(rep("Versions")));
        twice.bind(1, table);
        twice.step();
        throw Failure(QString("The replica gives record %1 of table %2 two versions.  Nothing was changed.")
                          .arg(twice.text(0), table));
    }
    Stmt missing(db, QString("SELECT id FROM %1 WHERE rid IS NULL LIMIT 1").arg(plan));
    if (missing.step())
        throw Failure(QString("The replica has no record %1 of table %2 for its version.  Nothing was changed.")
                          .arg(missing.text(0), table));
}

// Applies the replica inside the caller's transaction; counts into m.
void applyPlan(ado::Connection& conn, const Plan& p, Merged& m, QStringList& pictures, Reporter& report)
{
    sqlite3* db = conn.handle();
    Tombstones tombs(db);
    const int ours = conn.copyNumber();
    setAside(db, p);

    // Deletions first, so what hangs on a deleted record is known below.
    // They are read in one pass and taken table by table. A deletion of a
    // record set aside is not about the one here.
    struct Gone {
        QString quotedKey;
        qint64 id;
        bool fits;
        int asideAs;  // -1 when not set aside
    };
    QHash<QString, QVector<Gone>> deletions;
    {
        Stmt s(db, QString("SELECT v.VERSION_TABLE, quote(v.VERSION_RECORDID), v.VERSION_RECORDID, %1, f.why FROM %2 v "
                           "LEFT JOIN temp.merge_foreign f ON f.t = v.VERSION_TABLE AND f.id = v.VERSION_RECORDID "
                           "WHERE v.VERSION_DELETED = 1 ORDER BY v.VERSION_RECORDID")
                       .arg(fitsKey("v.VERSION_RECORDID"), rep("Versions")));
        while (s.step())
            deletions[s.text(0)].push_back(
                {s.text(1), s.integer(2), s.integer(3) != 0, s.type(4) == SQLITE_INTEGER ? int(s.integer(4)) : -1});
    }
    for (const QString& table : p.tables) {
        const QVector<Gone> gone = deletions.value(table);
        for (const Gone& g : gone)
            if (!g.fits)
                badKey("Versions", "VERSION_RECORDID", g.quotedKey);
        for (const Gone& g : gone) {
            if (g.asideAs >= 0) {
                m.heldBack += g.asideAs == HeldBack;
                m.otherHere += g.asideAs == OtherRecord;
                continue;
            }
            if (exists(db, table, p.columns[table][0].name, g.id)) {
                removeHere(conn, tombs, table, g.id, pictures);
                ++m.applied;
            } else {
                tombs.add(table, g.id);
            }
        }
    }

    exec(db, "DROP TABLE IF EXISTS temp.merge_rows");
    exec(db, "CREATE TEMP TABLE merge_rows (id INTEGER PRIMARY KEY, rid INTEGER)");
    for (int i = 0; i < p.tables.size(); ++i) {
        const QString& table = p.tables[i];
        report(QString(), 50 + percentOf(i, p.tables.size()) / 2);
        const QVector<Column>& cols = p.columns[table];
        const QString key = quoted(cols[0].name);
        const QString plan = planOf(i);
        fillPlan(db, p, i, ours);

        // Records whose parent was deleted here go the way of their parent.
        {
            QVector<qint64> orphans;
            Stmt s(db, QString("SELECT id FROM %1 WHERE decision = 2 ORDER BY id").arg(plan));
            while (s.step())
                orphans << s.integer(0);
            for (qint64 id : orphans) {
                if (exists(db, table, cols[0].name, id))
                    removeHere(conn, tombs, table, id, pictures);
                tombs.add(table, id);
            }
        }

        // The rows taken carry their keys and were checked to hold values in
        // their stored form, so the connection's write rules have nothing to
        // do for them; a currency is checked for its range only, so a table
        // with one keeps the rules, which round it.
        QStringList vouched = {"SYNCHRO_VERSION"};
        if (std::none_of(cols.begin(), cols.end(), [](const Column& c) {
                return ado::convert::kindOfDeclaredType(c.type) == ado::ColumnKind::Currency;
            }))
            vouched << table;
        int remembered = 0;
        conn.withoutWriteRules(vouched, [&] {
            const QString taken = QString("SELECT p.id AS nuptaro_id, r.* FROM %1 p JOIN %2 r ON r.rowid = p.rid "
                                          "WHERE p.decision = 1 AND p.here = 1")
                                      .arg(plan, rep(table));
            if (cols.size() > 1) {
                QStringList sets;
                for (int c = 1; c < cols.size(); ++c)
                    sets << QString("%1 = src.%1").arg(quoted(cols[c].name));
                Stmt update(db, QString("UPDATE %1 SET %2 FROM (%3) AS src WHERE %4.%5 = src.nuptaro_id")
                                    .arg(mainTable(table), sets.join(", "), taken, quoted(table), key));
                update.run();
            }
            const QStringList names = namesOf(cols);
            QStringList fromR;
            for (const QString& n : names)
                fromR << "r." + n;
            Stmt insert(db, QString("INSERT INTO %1 (%2) SELECT %3 FROM %4 p JOIN %5 r ON r.rowid = p.rid WHERE "
                                    "p.decision = 1 AND p.here = 0 ORDER BY p.id")
                                .arg(mainTable(table), names.join(", "), fromR.join(", "), plan, rep(table)));
            insert.run();

            Stmt remember(db, QString("INSERT INTO main.SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, "
                                      "VERSION_TAKEN, VERSION_TAKENFROM) SELECT ?1, id, stamp, copy FROM %1 WHERE "
                                      "decision = 1 ON CONFLICT (VERSION_TABLE, VERSION_RECORDID) DO UPDATE SET "
                                      "VERSION_TAKEN = excluded.VERSION_TAKEN, "
                                      "VERSION_TAKENFROM = excluded.VERSION_TAKENFROM")
                                  .arg(plan));
            remember.bind(1, table);
            remember.run();
            remembered = int(sqlite3_changes(db));
        });
        m.applied += remembered;
        // A record taken keeps the mark it came with.
        Stmt marks(db, QString("INSERT OR IGNORE INTO main.SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK) "
                               "SELECT ?1, p.id, theirs.m FROM %1 p JOIN temp.merge_marks theirs ON theirs.t = ?1 AND "
                               "theirs.id = p.id WHERE p.decision = 1")
                           .arg(plan));
        marks.bind(1, table);
        marks.run();
        Stmt aside(db, QString("SELECT count(*) FILTER (WHERE decision = %1), count(*) FILTER (WHERE decision = %2) "
                               "FROM %3")
                           .arg(HeldBackHere)
                           .arg(OtherHere)
                           .arg(plan));
        aside.step();
        m.heldBack += int(aside.integer(0));
        m.otherHere += int(aside.integer(1));
    }
    m.skipped = int(p.records) - m.applied;
}

}  // namespace

Merged Synchronize(ado::Connection& conn, const QString& replicaPath, const Progress& progress, SameNumber same)
{
    using modQVDatabase::dataFile;
    Reporter report(progress);
    if (!conn.isOpen())
        throw Failure("The working database is not open.");
    const QFileInfo info(replicaPath);
    if (!info.isFile())
        throw Failure(QString("The file %1 was not found.  Nothing was changed.").arg(native(replicaPath)));
    if (sameFile(replicaPath, conn.path()))
        throw Failure("This is the working database itself.  Please choose the replica received from the other "
                      "user.  Nothing was changed.");

    std::unique_ptr<Attached> attached;
    try {
        attached = std::make_unique<Attached>(conn, replicaPath);
    } catch (const ado::Error& e) {
        if (e.number() == SQLITE_BUSY)
            throw Failure(e.description() + "  Nothing was changed.");
        throw Failure(QString("The file %1 is not a replica of a Nuptaro database.  Nothing was changed.")
                          .arg(native(replicaPath)));
    }
    const Plan plan = inspect(conn, replicaPath, same);
    report(QString(), 25);

    // The copy of the database as it was replaces the one kept before only
    // once the merge has gone through.
    const QString before = dataFile(kBeforeMergeFile);
    const QString pending = before + ".next";
    try {
        backupDatabase(conn.handle(), pending);
    } catch (const ado::Error& e) {
        throw Failure(QString("A copy of the working database could not be kept as %1, so nothing was changed.\n\n%2")
                          .arg(native(before), e.description()));
    }
    report(QString(), 50);

    Merged m;
    m.items = int(plan.items);
    QStringList pictures;
    try {
        ado::Transaction tr(conn);
        if (plan.fresh) {
            renumberThisCopy(conn, plan.ours, plan.fresh);
            m.renumberedTo = plan.fresh;
        }
        // The other copy's keys must not move this copy's counters.
        const QMap<QString, qint64> counters = conn.keyCounters();
        applyPlan(conn, plan, m, pictures, report);
        for (qint64 n : plan.senderNumbers)
            conn.Execute("INSERT OR IGNORE INTO main.SYNCHRO_PARTNER (PARTNER_NUMBER) VALUES (?)", {n});
        const QMap<QString, qint64> after = conn.keyCounters();
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!counters.contains(it.key()))
                conn.Execute("DELETE FROM sqlite_sequence WHERE name = ?", {it.key()});
            else if (counters.value(it.key()) != it.value())
                conn.Execute("UPDATE sqlite_sequence SET seq = ? WHERE name = ?", {counters.value(it.key()), it.key()});
        }
        tr.commit();
    } catch (const Failure&) {
        QFile::remove(pending);
        throw;  // a refusal found record by record: rolled back, nothing changed
    } catch (const std::exception& e) {
        QFile::remove(pending);
        const QString detail =
            dynamic_cast<const ado::Error*>(&e) ? static_cast<const ado::Error&>(e).description() : QString(e.what());
        throw Failure(QString("The synchronization failed, and the working database was left as it was.\n\n%1")
                          .arg(detail));
    }
    for (int i = 0; i < plan.tables.size(); ++i)
        exec(conn.handle(), QString("DROP TABLE IF EXISTS %1").arg(planOf(i)));
    exec(conn.handle(), "DROP TABLE IF EXISTS temp.merge_copies");
    exec(conn.handle(), "DROP TABLE IF EXISTS temp.merge_tables");
    exec(conn.handle(), "DROP TABLE IF EXISTS temp.merge_rows");
    for (const char* t : {"merge_theirs", "merge_marks", "merge_foreign"})
        exec(conn.handle(), QString("DROP TABLE IF EXISTS temp.%1").arg(t));
    attached->detach();
    {
        std::error_code ec;
        fs::rename(fsPath(pending), fsPath(before), ec);
    }
    for (const QString& picture : pictures)
        if (!picture.isEmpty())
            records::removeGiftPicture(picture);
    report(QString("Successfully synchronized %1 items.").arg(m.items), 100);
    return m;
}

QString mergeSummary(const Merged& m)
{
    QStringList parts;
    const int ordinary = m.skipped - m.heldBack - m.otherHere;
    const QString held = "this copy already held those or newer ones, or had deleted their records.";
    if (m.skipped > 0 && ordinary == m.skipped) {
        parts << QString("%1 of the changes received were applied and %2 skipped: %3")
                     .arg(m.applied)
                     .arg(m.skipped)
                     .arg(held);
    } else if (m.skipped > 0) {
        QString s = QString("%1 of the changes received were applied and %2 skipped.").arg(m.applied).arg(m.skipped);
        if (m.heldBack > 0)
            s += QString("  %1 of them the other copy added since the database file was copied, under keys that this "
                         "copy gives out too: they come with the other copy's next replica, once it has taken a new "
                         "copy number.")
                     .arg(m.heldBack);
        if (m.otherHere > 0)
            s += QString("  %1 of them name records under keys that name other records here; those were left as "
                         "they are.")
                     .arg(m.otherHere);
        if (ordinary > 0)
            s += QString("  The other %1 this copy already held, or newer ones, or had deleted.").arg(ordinary);
        parts << s;
    }
    if (m.renumberedTo > 0)
        parts << QString("This copy of the database now has the copy number %1.").arg(m.renumberedTo);
    return parts.join("\n\n");
}

void versionsFromLog(ado::Connection& conn)
{
    exec(conn.handle(),
         QString("INSERT OR IGNORE INTO main.SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED) "
                 "SELECT SYNCHRO_TABLE, SYNCHRO_RECORDID, v FROM (SELECT SYNCHRO_TABLE, SYNCHRO_RECORDID, %1 AS v "
                 "FROM main.SYNCHRO WHERE SYNCHRO_ACTION IN (1, 2) AND typeof(SYNCHRO_RECORDID) = 'integer' "
                 "GROUP BY SYNCHRO_TABLE COLLATE BINARY, SYNCHRO_RECORDID) WHERE v IS NOT NULL")
             .arg(versionOfLogTime("max(SYNCHRO_DATETIME)")));
}

// Earlier builds drew a record taken from the other copy a mark of its own
// when it was first changed here, so the two copies hold it under two
// marks; dropped, it is told by its log rows, as a record of a build
// without marks is.
void marksOfEarlierBuild(ado::Connection& conn)
{
    exec(conn.handle(), "DELETE FROM main.SYNCHRO_ORIGIN WHERE EXISTS (SELECT 1 FROM main.SYNCHRO_VERSION v WHERE "
                        "v.VERSION_TABLE = ORIGIN_TABLE AND v.VERSION_RECORDID = ORIGIN_RECORDID AND v.VERSION_TAKEN "
                        "IS NOT NULL)");
}

}  // namespace synchro
