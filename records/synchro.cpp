#include "records/synchro_internal.h"

#include "records/modQVDatabase.h"

#include <QFileInfo>
#include <QSysInfo>

namespace fs = std::filesystem;

namespace synchro::detail {

namespace {

// A connection of our own to a new database file.
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
    sqlite3* h = nullptr;
};

}  // namespace

QVector<Column> columnsOf(sqlite3* db, const QString& schema, const QString& table)
{
    QVector<Column> out;
    Statement s(db, QString("SELECT name, type, \"notnull\" FROM pragma_table_info(?, ?) ORDER BY cid"));
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
    Statement s(db, QString("SELECT name FROM %1.sqlite_master WHERE type = 'table'").arg(schema));
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

int exec(sqlite3* db, const QString& sql)
{
    Statement s(db, sql);
    s.run();
    return s.changes();
}

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
            throw ado::lastError(target.h, "backup");
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

}  // namespace synchro::detail

namespace synchro {

using namespace detail;

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

QString& computerName()
{
    static QString name;
    return name;
}

// The log rows of one table that travel: exact name, not a received deletion.
QString logRowsOf(const QString& alias)
{
    return QString("%1.SYNCHRO_TABLE = ?1 AND %1.SYNCHRO_TABLE = ?1 COLLATE BINARY AND %1.SYNCHRO_ACTION IS NOT %2")
        .arg(alias)
        .arg(kReceivedDeletion);
}

// The highest key of each number of the partner that this copy holds, logs
// or marks, table by table: a partner put back to an older file moves its
// counters past them, so it never gives out one of those keys again.
void packKeys(sqlite3* db, const QSet<QString>& existing)
{
    exec(db, QString("CREATE TABLE %1 (KEY_TABLE TEXT, KEY_COPY INTEGER, KEY_LAST INTEGER)").arg(rep("Keys")));
    const QVector<qint64> partner = [&] {
        QVector<qint64> out;
        Statement s(db, "SELECT PARTNER_NUMBER FROM main.SYNCHRO_PARTNER");
        while (s.step())
            out << s.integer(0);
        return out;
    }();
    for (const QString& table : travellingTables()) {
        if (!existing.contains(table))
            continue;
        const QString key = quoted(columnsOf(db, "main", table).value(0).name);
        Statement highest(db, QString("INSERT INTO %1 SELECT ?1, ?2, k FROM (SELECT max(k) AS k FROM (SELECT "
                                      "max(%2) AS k FROM %3 WHERE %2 BETWEEN ?3 AND ?4 UNION ALL SELECT "
                                      "max(SYNCHRO_RECORDID) FROM main.SYNCHRO WHERE SYNCHRO_TABLE = ?1 AND "
                                      "SYNCHRO_RECORDID BETWEEN ?3 AND ?4 UNION ALL SELECT max(ORIGIN_RECORDID) FROM "
                                      "main.SYNCHRO_ORIGIN WHERE ORIGIN_TABLE = ?1 AND ORIGIN_RECORDID BETWEEN ?3 AND "
                                      "?4)) WHERE k IS NOT NULL")
                                  .arg(rep("Keys"), key, mainTable(table)));
        for (qint64 n : partner) {
            highest.bind(1, table);
            highest.bind(2, n);
            highest.bind(3, ado::Connection::firstKeyOf(n));
            highest.bind(4, ado::Connection::lastKeyOf(n));
            highest.run();
        }
    }
}

}  // namespace

QString thisComputer()
{
    return computerName().isEmpty() ? QSysInfo::machineHostName() : computerName();
}

void setComputer(const QString& name) { computerName() = name; }

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
        exec(db, QString("INSERT INTO %1 SELECT COPY_NUMBER FROM main.SYNCHRO_COPY ORDER BY 1").arg(rep("Copies")));
        exec(db, QString("CREATE TABLE %1 (REPLICA_MARK INTEGER)").arg(rep("Replicas")));
        exec(db, QString("INSERT INTO %1 SELECT REPLICA_MARK FROM main.SYNCHRO_REPLICA ORDER BY rowid").arg(rep("Replicas")));
        exec(db, QString("CREATE TABLE %1 (PARTNER_NUMBER INTEGER)").arg(rep("Partner")));
        exec(db, QString("INSERT INTO %1 SELECT PARTNER_NUMBER FROM main.SYNCHRO_PARTNER ORDER BY 1").arg(rep("Partner")));
        exec(db, QString("CREATE TABLE %1 (COMPUTER_NAME TEXT)").arg(rep("Computer")));
        {
            Statement computer(db, QString("INSERT INTO %1 VALUES (?)").arg(rep("Computer")));
            computer.bind(1, thisComputer());
            computer.run();
        }
        exec(db, QString("CREATE TABLE %1 (REPLICA_MARK INTEGER, REPLICA_COMPUTER TEXT)").arg(rep("PartnerReplicas")));
        exec(db, QString("INSERT INTO %1 SELECT REPLICA_MARK, REPLICA_COMPUTER FROM main.SYNCHRO_PARTNER_REPLICA ORDER "
                         "BY rowid")
                     .arg(rep("PartnerReplicas")));
        // The marks of every record, also of those taken from the partner
        // (under its keys): a partner put back to an older file so learns
        // which of its keys name records it no longer holds.
        // Kept by record, so the receiver reads them where they lie.
        exec(db, QString("CREATE TABLE %1 (%2, PRIMARY KEY (ORIGIN_TABLE, ORIGIN_RECORDID)) WITHOUT ROWID")
                     .arg(rep("Origins"), kOriginsColumns));
        exec(db, QString("INSERT INTO %1 SELECT ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK FROM main.SYNCHRO_ORIGIN "
                         "ORDER BY ORIGIN_TABLE, ORIGIN_RECORDID")
                     .arg(rep("Origins")));

        // Only tables that the other copy accepts travel, so one stray log row
        // never makes every later replica unusable.
        const QSet<QString> existing = tablesOf(db, "main");
        QStringList logged;
        {
            Statement s(db, QString("SELECT DISTINCT SYNCHRO_TABLE COLLATE BINARY FROM main.SYNCHRO WHERE "
                                    "SYNCHRO_ACTION IS NOT %1 ORDER BY 1")
                                .arg(kReceivedDeletion));
            while (s.step())
                if (s.value(0).typeId() == QMetaType::QString)
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

        const qint64 total = conn.scalar(QString("SELECT count(*) FROM main.SYNCHRO WHERE SYNCHRO_ACTION IS NOT %1")
                                             .arg(kReceivedDeletion))
                                 .toLongLong();
        Statement before(db, QString("SELECT count(*) FROM main.SYNCHRO WHERE SYNCHRO_TABLE COLLATE BINARY < ? AND "
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
                Statement s(db, QString("CREATE TEMP TABLE pack_log AS SELECT * FROM main.SYNCHRO s WHERE %1 "
                                        "ORDER BY s.rowid")
                                    .arg(logRowsOf("s")));
                s.bind(1, table);
                s.run();
            }
            // One data row per log row whose record is still here.
            exec(db, QString("INSERT INTO %1 SELECT t.* FROM temp.pack_log s JOIN %2 t ON t.%3 = s.SYNCHRO_RECORDID "
                             "ORDER BY s.rowid")
                         .arg(rep(table), mainTable(table), key));
            packed +=
                exec(db, QString("INSERT INTO %1 SELECT * FROM temp.pack_log ORDER BY rowid").arg(rep("Synchro")));

            // The version of each record held here: this copy's latest change
            // or the one it took, whichever is newer (with the number of the
            // copy that made it).
            const QString mine = "(v.VERSION_CHANGED IS NOT NULL AND (v.VERSION_TAKEN IS NULL OR v.VERSION_CHANGED > "
                                 "v.VERSION_TAKEN OR (v.VERSION_CHANGED = v.VERSION_TAKEN AND ?2 >= "
                                 "v.VERSION_TAKENFROM)))";
            Statement versions(
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
            Statement deleted(db, QString("INSERT INTO %1 SELECT ?1, id, coalesce(%2, '%3'), ?2, 1 FROM (SELECT "
                                          "SYNCHRO_RECORDID AS id, max(SYNCHRO_DATETIME) AS at FROM temp.pack_log "
                                          "WHERE SYNCHRO_ACTION = 3 AND typeof(SYNCHRO_RECORDID) = 'integer' GROUP BY "
                                          "1) WHERE NOT EXISTS (SELECT 1 FROM %4 t WHERE t.%5 = id)")
                                      .arg(rep("Versions"), versionOfLogTime("at"), kNoVersion, mainTable(table), key));
            deleted.bind(1, table);
            deleted.bind(2, qint64(ours));
            deleted.run();
            versions.bind(1, table);
            versions.bind(2, qint64(ours));
            versions.run();
        }
        exec(db, "DROP TABLE IF EXISTS temp.pack_log");
        packKeys(db, existing);
        exec(db, "COMMIT");
        attached.detach();
        std::error_code ec;
        fs::rename(fsPath(temp), fsPath(staging), ec);
        if (ec)
            throw ado::Error(SQLITE_IOERR, QString::fromStdString(ec.message()));
    } catch (const ado::Error& e) {
        QFile::remove(temp);
        throw Failure(QString("The replica could not be created.\n\n%1")
                          .arg(ado::isBusy(e) ? ado::inUseElsewhere(native(conn.path())) : e.description()));
    }
    report(QString("Successfully packed %1 items.").arg(packed), 100);
    return packed;
}

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

// ------------------------------------------------------------------ files of earlier builds

void versionsFromLog(ado::Connection& conn)
{
    conn.Execute(
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
    conn.Execute("DELETE FROM main.SYNCHRO_ORIGIN WHERE EXISTS (SELECT 1 FROM main.SYNCHRO_VERSION v WHERE "
                 "v.VERSION_TABLE = ORIGIN_TABLE AND v.VERSION_RECORDID = ORIGIN_RECORDID AND v.VERSION_TAKEN "
                 "IS NOT NULL)");
}

}  // namespace synchro
