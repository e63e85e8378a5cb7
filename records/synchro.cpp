#include "records/synchro.h"

#include "app/modQVDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <filesystem>
#include <memory>

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

struct Column {
    QString name;
    QString type;
};

QVector<Column> columnsOf(sqlite3* db, const QString& table)
{
    QVector<Column> out;
    Stmt s(db, "SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
    s.bind(1, table);
    while (s.step())
        out.push_back({s.text(0), s.text(1)});
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

// Exact names, as the schema spells them.
QSet<QString> tablesOf(sqlite3* db)
{
    QSet<QString> out;
    Stmt s(db, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (s.step())
        out.insert(s.text(0));
    return out;
}

// Replica tables hold one row per log row, so the key is a plain column there.
QString createTable(const QString& name, const QVector<Column>& cols)
{
    QStringList parts;
    for (const Column& c : cols)
        parts << (quoted(c.name) + (c.type.isEmpty() ? QString() : ' ' + c.type));
    return QString("CREATE TABLE %1 (%2)").arg(quoted(name), parts.join(", "));
}

QString placeholders(int n)
{
    QStringList q;
    for (int i = 0; i < n; ++i)
        q << "?";
    return q.join(", ");
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

// The statements a merge needs for one table.
struct TableMerge {
    TableMerge(sqlite3* local, sqlite3* replica, const QString& table, const QVector<Column>& cols, int serial)
        : n(int(cols.size())),
          keys(makeKeys(replica, table, cols[0].name, serial)),
          received(replica, QString("SELECT * FROM main.%1 WHERE rowid = (SELECT rid FROM temp.%2 WHERE k = ?)")
                                .arg(quoted(table), keys)),
          present(local, QString("SELECT 1 FROM %1 WHERE %2 = ?").arg(quoted(table), quoted(cols[0].name))),
          insert(local, insertSql(table, cols)),
          update(local, updateSql(table, cols)),
          remove(local, QString("DELETE FROM %1 WHERE %2 = ?").arg(quoted(table), quoted(cols[0].name)))
    {
    }
    // A replica's tables need not carry an index, so the first row of each
    // key is found through a temporary one, built once per table.
    static QString makeKeys(sqlite3* replica, const QString& table, const QString& key, int serial)
    {
        const QString name = quoted(QString("merge_keys_%1").arg(serial));
        Stmt(replica, QString("CREATE TEMP TABLE %1 (k INTEGER PRIMARY KEY, rid INTEGER)").arg(name)).run();
        Stmt(replica, QString("INSERT INTO temp.%1 SELECT %2, min(rowid) FROM main.%3 WHERE typeof(%2) = 'integer' "
                              "GROUP BY %2")
                          .arg(name, quoted(key), quoted(table)))
            .run();
        return name;
    }
    static QString insertSql(const QString& table, const QVector<Column>& cols)
    {
        QStringList names;
        for (const Column& c : cols)
            names << quoted(c.name);
        return QString("INSERT INTO %1 (%2) VALUES (%3)").arg(quoted(table), names.join(", "), placeholders(int(cols.size())));
    }
    static QString updateSql(const QString& table, const QVector<Column>& cols)
    {
        QStringList sets;
        for (int i = 1; i < cols.size(); ++i)
            sets << quoted(cols[i].name) + " = ?";
        // A table of the key alone has nothing to overwrite.
        if (sets.isEmpty())
            sets << quoted(cols[0].name) + " = " + quoted(cols[0].name);
        return QString("UPDATE %1 SET %2 WHERE %3 = ?").arg(quoted(table), sets.join(", "), quoted(cols[0].name));
    }

    int n;
    QString keys;
    Stmt received;
    Stmt present;
    Stmt insert;
    Stmt update;
    Stmt remove;
};

}  // namespace

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
        sqlite3* local = conn.handle();
        Db rep;
        rep.open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        rep.exec(QString("PRAGMA application_id = %1").arg(kReplicaMark));
        rep.exec(QString("PRAGMA user_version = %1").arg(conn.copyNumber()));
        rep.exec("BEGIN");

        const QVector<Column> logCols = columnsOf(local, "SYNCHRO");
        rep.exec(createTable("Synchro", logCols));
        int tableCol = -1, idCol = -1;
        for (int i = 0; i < logCols.size(); ++i) {
            if (logCols[i].name.compare("SYNCHRO_TABLE", Qt::CaseInsensitive) == 0)
                tableCol = i;
            if (logCols[i].name.compare("SYNCHRO_RECORDID", Qt::CaseInsensitive) == 0)
                idCol = i;
        }
        if (tableCol < 0 || idCol < 0)
            throw ado::Error(SQLITE_ERROR, "The change log has no table or record column.");

        // Only tables that the other copy accepts travel, so one stray log row
        // never makes every later replica unusable.
        const QSet<QString> existing = tablesOf(local);
        QStringList logged;
        {
            Stmt s(local, "SELECT DISTINCT SYNCHRO_TABLE COLLATE BINARY FROM SYNCHRO WHERE SYNCHRO_ACTION IS NOT ? "
                          "ORDER BY 1");
            s.bind(1, qint64(kReceivedDeletion));
            while (s.step())
                if (s.type(0) == SQLITE_TEXT)
                    logged << s.text(0);
        }
        QHash<QString, QVector<Column>> packedTables;
        for (int i = 0; i < logged.size(); ++i) {
            const QString& name = logged[i];
            if (!travellingTables().contains(name) || !existing.contains(name))
                continue;
            report("Creating Table: " + name, percentOf(i, logged.size()));
            packedTables.insert(name, columnsOf(local, name));
            rep.exec(createTable(name, packedTables[name]));
        }

        const QString where = " WHERE SYNCHRO_ACTION IS NOT ?";
        qint64 total = 0;
        {
            Stmt c(local, "SELECT count(*) FROM SYNCHRO" + where);
            c.bind(1, qint64(kReceivedDeletion));
            if (c.step())
                total = c.integer(0);
        }
        Stmt log(local, "SELECT * FROM SYNCHRO" + where + " ORDER BY SYNCHRO_TABLE COLLATE BINARY, rowid");
        log.bind(1, qint64(kReceivedDeletion));
        Stmt logInsert(rep.h, QString("INSERT INTO \"Synchro\" VALUES (%1)").arg(placeholders(int(logCols.size()))));
        struct Copy {
            std::unique_ptr<Stmt> source, target;
            int n = 0;
        };
        QHash<QString, std::shared_ptr<Copy>> copies;
        qint64 j = 0;
        while (log.step()) {
            const qint64 row = j++;
            if (log.type(tableCol) != SQLITE_TEXT)
                continue;
            const QString table = log.text(tableCol);
            if (!packedTables.contains(table))
                continue;
            report("Adding records to " + table, percentOf(row, total));

            auto& copy = copies[table];
            if (!copy) {
                const QVector<Column>& cols = packedTables[table];
                copy = std::make_shared<Copy>();
                copy->n = int(cols.size());
                copy->source = std::make_unique<Stmt>(
                    local, QString("SELECT * FROM %1 WHERE %2 = ?").arg(quoted(table), quoted(cols[0].name)));
                copy->target = std::make_unique<Stmt>(
                    rep.h, QString("INSERT INTO %1 VALUES (%2)").arg(quoted(table), placeholders(copy->n)));
            }
            copy->source->bind(1, log.value(idCol));
            if (copy->source->step()) {
                for (int c = 0; c < copy->n; ++c)
                    copy->target->bind(c + 1, copy->source->value(c));
                copy->target->run();
            }
            copy->source->reset();

            for (int c = 0; c < int(logCols.size()); ++c)
                logInsert.bind(c + 1, log.value(c));
            logInsert.run();
            ++packed;
        }
        rep.exec("COMMIT");
        rep.close();
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

// How a received log row is applied, in the order table, log time, log order:
// - action 3 deletes the record here.
// - Actions 1 and 2 add the received record, or overwrite every column but
//   the key of the one here. When both copies logged the record, the side
//   whose latest add or change log row is newer wins (log times, then the
//   higher copy number on a tie), so both copies settle on the same version.
//   The log keeps only the first change of a record, so "newer" is that of
//   the logged changes, not of later unlogged edits.
// - A record this copy deleted, itself or by applying a replica, is never
//   brought back: keys are never given out twice, so any add or change of
//   that key is about the deleted record, however old the replica is.
// - Other actions change nothing.
// Applied deletions are remembered with a kReceivedDeletion log row; the
// merge writes no other log rows, so what it applied never travels back.
int Synchronize(ado::Connection& conn, const QString& replicaPath, const Progress& progress)
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

    const QString notReplica =
        QString("The file %1 is not a replica of a Nuptaro database.  Nothing was changed.").arg(native(replicaPath));
    Db rep;
    qint64 received = 0;
    int sender = 0;
    const int ours = conn.copyNumber();
    QHash<QString, QVector<Column>> tables;
    try {
        rep.open(replicaPath, SQLITE_OPEN_READONLY);
        rep.integer("SELECT count(*) FROM sqlite_master");
        if (rep.integer("PRAGMA application_id") != kReplicaMark)
            throw Failure(notReplica);
        sender = int(rep.integer("PRAGMA user_version"));
        if (sender == ours)
            throw Failure(QString("This replica was prepared from this copy of the database (copy number %1), not by "
                                  "the other user.  A file copy of this database cannot be synchronized with it.  "
                                  "Nothing was changed.")
                              .arg(ours));
        if (!sameColumns(columnsOf(rep.h, "Synchro"), columnsOf(conn.handle(), "SYNCHRO")))
            throw Failure(QString("The change log of the replica %1 does not match the change log of this database.  "
                                  "Nothing was changed.")
                              .arg(native(replicaPath)));
        if (rep.integer("SELECT count(*) FROM \"Synchro\" WHERE typeof(SYNCHRO_TABLE) <> 'text' "
                        "OR typeof(SYNCHRO_RECORDID) <> 'integer'") > 0)
            throw Failure("The change log of the replica holds rows that are not valid.  Nothing was changed.");
        received = rep.integer("SELECT count(*) FROM \"Synchro\"");

        const QSet<QString> existing = tablesOf(conn.handle());
        Stmt names(rep.h, "SELECT DISTINCT SYNCHRO_TABLE COLLATE BINARY FROM \"Synchro\"");
        while (names.step()) {
            const QString name = names.text(0);
            if (!travellingTables().contains(name) || !existing.contains(name))
                throw Failure(QString("The replica names the table \"%1\", which is not one that can be "
                                      "synchronized.  Nothing was changed.")
                                  .arg(name));
            const QVector<Column> mine = columnsOf(conn.handle(), name);
            const QVector<Column> theirs = columnsOf(rep.h, name);
            if (theirs.isEmpty())
                throw Failure(QString("The replica has no table %1 for its logged changes.  Nothing was changed.")
                                  .arg(name));
            if (!sameColumns(mine, theirs))
                throw Failure(QString("The table %1 of the replica does not have the same columns, in the same "
                                      "order, as this database.  Nothing was changed.")
                                  .arg(name));
            tables.insert(name, mine);
        }
    } catch (const ado::Error&) {
        throw Failure(notReplica);
    }

    const QString before = dataFile(kBeforeMergeFile);
    try {
        backupDatabase(conn.handle(), before);
    } catch (const ado::Error& e) {
        throw Failure(QString("A copy of the working database could not be kept as %1, so nothing was changed.\n\n%2")
                          .arg(native(before), e.description()));
    }

    try {
        const QMap<QString, qint64> counters = conn.keyCounters();
        ado::Transaction tr(conn);
        {
            sqlite3* local = conn.handle();
            QHash<QString, std::shared_ptr<TableMerge>> merges;
            Stmt deletedHere(local, "SELECT 1 FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ? "
                                    "AND SYNCHRO_ACTION IN (3, ?) LIMIT 1");
            Stmt remember(local, "INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, "
                                 "SYNCHRO_ACTION) VALUES (?, ?, ?, ?)");
            Stmt latestHere(local, "SELECT max(SYNCHRO_DATETIME) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? "
                                   "AND SYNCHRO_RECORDID = ? AND SYNCHRO_ACTION IN (1, 2)");
            Stmt log(rep.h, "SELECT SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION FROM \"Synchro\" "
                            "ORDER BY SYNCHRO_TABLE COLLATE BINARY, SYNCHRO_DATETIME, rowid");
            qint64 i = 0;
            while (log.step()) {
                report(QString(), percentOf(i++, received));
                const QString table = log.text(0);
                const qint64 id = log.integer(1);
                if (log.type(3) != SQLITE_INTEGER)
                    continue;
                const qint64 action = log.integer(3);
                if (action != 1 && action != 2 && action != 3)
                    continue;

                auto& m = merges[table];
                if (!m)
                    m = std::make_shared<TableMerge>(local, rep.h, table, tables[table], int(merges.size()));

                deletedHere.bind(1, table);
                deletedHere.bind(2, id);
                deletedHere.bind(3, qint64(kReceivedDeletion));
                const bool gone = deletedHere.step();
                deletedHere.reset();

                if (action == 3) {
                    m->remove.bind(1, id);
                    m->remove.run();
                    if (!gone) {
                        remember.bind(1, table);
                        remember.bind(2, id);
                        remember.bind(3, log.value(2));
                        remember.bind(4, qint64(kReceivedDeletion));
                        remember.run();
                    }
                    continue;
                }
                if (gone)
                    continue;
                latestHere.bind(1, table);
                latestHere.bind(2, id);
                const bool loggedHere = latestHere.step() && latestHere.type(0) != SQLITE_NULL;
                const QString localTime = loggedHere ? latestHere.text(0) : QString();
                latestHere.reset();
                if (loggedHere) {
                    const QString theirTime = log.type(2) == SQLITE_NULL ? QString() : log.text(2);
                    if (theirTime < localTime || (theirTime == localTime && sender < ours))
                        continue;
                }
                m->received.bind(1, id);
                if (m->received.step()) {
                    m->present.bind(1, id);
                    const bool here = m->present.step();
                    m->present.reset();
                    if (here) {
                        for (int c = 1; c < m->n; ++c)
                            m->update.bind(c, m->received.value(c));
                        m->update.bind(m->n > 1 ? m->n : 1, id);
                        m->update.run();
                    } else {
                        for (int c = 0; c < m->n; ++c)
                            m->insert.bind(c + 1, m->received.value(c));
                        m->insert.run();
                    }
                }
                m->received.reset();
            }
        }
        // The other copy's keys must not move this copy's counters.
        const QMap<QString, qint64> after = conn.keyCounters();
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!counters.contains(it.key()))
                conn.Execute("DELETE FROM sqlite_sequence WHERE name = ?", {it.key()});
            else if (counters.value(it.key()) != it.value())
                conn.Execute("UPDATE sqlite_sequence SET seq = ? WHERE name = ?", {counters.value(it.key()), it.key()});
        }
        tr.commit();
    } catch (const std::exception& e) {
        const QString detail =
            dynamic_cast<const ado::Error*>(&e) ? static_cast<const ado::Error&>(e).description() : QString(e.what());
        throw Failure(QString("The synchronization failed, and the working database was left as it was.\n\n%1")
                          .arg(detail));
    }
    report(QString("Successfully synchronized %1 items.").arg(received), 100);
    return int(received);
}

}  // namespace synchro
