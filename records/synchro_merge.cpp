#include "records/synchro_internal.h"

#include "records/cascade.h"
#include "records/modQVDatabase.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace fs = std::filesystem;

namespace synchro {

using namespace detail;

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
    Statement add_;
    Statement known_;
};

bool exists(sqlite3* db, const QString& table, const QString& key, qint64 id)
{
    Statement s(db, QString("SELECT 1 FROM %1 WHERE %2 = ?").arg(mainTable(table), quoted(key)));
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

// Why a record a replica brings is set aside rather than taken (table
// temp.merge_foreign); a record that names one set aside is set aside too.
enum SetAside {
    HeldElsewhere = 0,  // this copy holds it under another key (it moved it when it renumbered)
    HeldBack = 1,       // the sender's own under this copy's number, which the sender gives up
    OtherRecord = 2,    // under a key both copies gave out, this copy holds another record
};

// Decides, after any renumbering, what of the replica is set aside. A
// record is taken over one here only when both carry the same mark, whatever
// the number of its key (but the template's, which every copy shares).
void setAside(sqlite3* db, const Plan& p)
{
    exec(db, "DROP TABLE IF EXISTS temp.merge_foreign");
    exec(db, "CREATE TEMP TABLE merge_foreign (t TEXT, id INTEGER, why INTEGER, PRIMARY KEY (t, id))");
    // Records of before the file was copied keep their keys in both copies,
    // also those each marked anew when it first logged them: the copy that
    // renumbers takes this one's mark for them (see ownSinceTheCopy).
    const auto before = [&p](const QString& table, const QString& id) {
        return p.holdBack ? QString("%2 <= coalesce((SELECT b.last FROM temp.merge_before b WHERE b.t = %1), 0)")
                                .arg(table, id)
                          : QStringLiteral("0");
    };
    if (p.holdBack) {
        const QString versions = QString("FROM %1 v LEFT JOIN main.SYNCHRO_ORIGIN mine ON mine.ORIGIN_TABLE = "
                                         "v.VERSION_TABLE AND mine.ORIGIN_RECORDID = v.VERSION_RECORDID LEFT JOIN "
                                         "temp.merge_marks theirs ON theirs.t = v.VERSION_TABLE AND theirs.id = "
                                         "v.VERSION_RECORDID WHERE v.VERSION_RECORDID BETWEEN ?1 AND ?2 AND ")
                                     .arg(rep("Versions"));
        const qint64 first = ado::Connection::firstKeyOf(p.ours), last = ado::Connection::lastKeyOf(p.ours);
        const QString same = sameRecord("v.VERSION_TABLE", "v.VERSION_RECORDID");
        exec(db, "DROP TABLE IF EXISTS temp.merge_before");
        exec(db, QString("CREATE TEMP TABLE merge_before AS SELECT v.VERSION_TABLE AS t, max(v.VERSION_RECORDID) AS "
                         "last %1 %2 GROUP BY 1")
                     .arg(versions, same),
             first, last);
        exec(db, QString("INSERT OR IGNORE INTO temp.merge_foreign SELECT v.VERSION_TABLE, v.VERSION_RECORDID, %1 %2 "
                         "NOT %3 AND NOT %4")
                     .arg(HeldBack)
                     .arg(versions, same, before("v.VERSION_TABLE", "v.VERSION_RECORDID")),
             first, last);
    }
    const QString keyed = QString("theirs.id >= %1").arg(ado::Connection::kKeyRange);
    // Read from this copy's marks: those of a copy that has taken nothing yet
    // are few.
    if (!Statement(db, "SELECT 1 FROM main.SYNCHRO_ORIGIN LIMIT 1").step())
        return;
    exec(db, QString("INSERT OR IGNORE INTO temp.merge_foreign SELECT theirs.t, theirs.id, %1 FROM temp.merge_marks "
                     "theirs JOIN main.SYNCHRO_ORIGIN o ON o.ORIGIN_TABLE = theirs.t AND o.ORIGIN_MARK = theirs.m "
                     "WHERE o.ORIGIN_RECORDID <> theirs.id AND %2")
                 .arg(HeldElsewhere)
                 .arg(keyed));
    exec(db, QString("INSERT OR IGNORE INTO temp.merge_foreign SELECT theirs.t, theirs.id, %1 FROM main.SYNCHRO_ORIGIN "
                     "o CROSS JOIN temp.merge_marks theirs ON theirs.t = o.ORIGIN_TABLE AND theirs.id = "
                     "o.ORIGIN_RECORDID WHERE o.ORIGIN_MARK <> theirs.m AND %2 AND NOT %3")
                 .arg(OtherRecord)
                 .arg(keyed, before("theirs.t", "theirs.id")));
}

// What becomes of a received record.
enum Decision {
    LeftAlone = 0,       // this copy holds it as new or newer, or deleted it
    Taken = 1,
    GoneWithParent = 2,  // it hangs on a record deleted here
    HeldBackHere = 3,    // see SetAside
    OtherHere = 4,
    Unplaced = 5,        // it names a record neither copy has, or none where it must
    Elsewhere = 6,       // see SetAside
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
        Statement s(db, sql);
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
                                                     .arg(Elsewhere);
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
                                "  WHEN r.rid IS NULL THEN 0 %9WHEN %3 THEN 0 WHEN %4 THEN 2 WHEN %5 THEN 0 "
                                "  WHEN %8 THEN 5 ELSE 1 END "
                                "FROM %6 v LEFT JOIN temp.merge_rows r ON r.id = v.VERSION_RECORDID "
                                "LEFT JOIN %7 d ON d.rowid = r.rid "
                                "WHERE v.rowid BETWEEN ?3 AND ?4 AND v.VERSION_TABLE = ?1 AND "
                                "v.VERSION_DELETED = 0")
                            .arg(plan, here, gone, orphan.isEmpty() ? QString("0") : orphan.join(" OR "), older,
                                 rep("Versions"), rep(table),
                                 nowhere.isEmpty() ? QString("0") : nowhere.join(" OR "), setAsideCase);
    try {
        // ?2, this copy's number, is bound whether or not `older` reads it.
        exec(db, sql, table, qint64(ours), p.versionRows.value(table).first, p.versionRows.value(table).second);
    } catch (const ado::Error& e) {
        if ((e.number() & 0xff) != SQLITE_CONSTRAINT)
            throw;
        Statement twice(db, QString("SELECT VERSION_RECORDID FROM %1 WHERE VERSION_TABLE = ? "
                                    "GROUP BY 1 HAVING count(*) > 1")
                                .arg(rep("Versions")));
        twice.bind(1, table);
        twice.step();
        throw Failure(QString("The replica gives record %1 of table %2 two versions.  Nothing was changed.")
                          .arg(twice.text(0), table));
    }
    Statement missing(db, QString("SELECT id FROM %1 WHERE rid IS NULL LIMIT 1").arg(plan));
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
        Statement s(db, QString("SELECT v.VERSION_TABLE, quote(v.VERSION_RECORDID), v.VERSION_RECORDID, %1, f.why FROM "
                                "%2 v LEFT JOIN temp.merge_foreign f ON f.t = v.VERSION_TABLE AND f.id = "
                                "v.VERSION_RECORDID WHERE v.VERSION_DELETED = 1 ORDER BY v.VERSION_RECORDID")
                            .arg(fitsKey("v.VERSION_RECORDID"), rep("Versions")));
        while (s.step())
            deletions[s.text(0)].push_back(
                {s.text(1), s.integer(2), s.integer(3) != 0, s.isNull(4) ? -1 : int(s.integer(4))});
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
                m.elsewhere += g.asideAs == HeldElsewhere;
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

    // A deletion taken keeps the mark of the record it was about, so a
    // record the other copy later gives the same key is told apart from it.
    if (!deletions.isEmpty())
        exec(db, QString("INSERT OR IGNORE INTO main.SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK) "
                         "SELECT theirs.t, theirs.id, theirs.m FROM %1 v JOIN temp.merge_marks theirs ON theirs.t = "
                         "v.VERSION_TABLE AND theirs.id = v.VERSION_RECORDID WHERE v.VERSION_DELETED = 1 AND NOT "
                         "EXISTS (SELECT 1 FROM temp.merge_foreign f WHERE f.t = theirs.t AND f.id = theirs.id)")
                     .arg(rep("Versions")));
    exec(db, "DROP TABLE IF EXISTS temp.merge_rows");
    exec(db, "CREATE TEMP TABLE merge_rows (id INTEGER PRIMARY KEY, rid INTEGER)");
    for (int i = 0; i < p.tables.size(); ++i) {
        const QString& table = p.tables[i];
        report(QString(), 75 + percentOf(i, p.tables.size()) / 4);
        const QVector<Column>& cols = p.columns[table];
        const QString key = quoted(cols[0].name);
        const QString plan = planOf(i);
        fillPlan(db, p, i, ours);

        // Records whose parent was deleted here go the way of their parent.
        {
            QVector<qint64> orphans;
            Statement s(db, QString("SELECT id FROM %1 WHERE decision = 2 ORDER BY id").arg(plan));
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
        QStringList vouched = {"SYNCHRO_VERSION", "SYNCHRO_ORIGIN"};
        if (std::none_of(cols.begin(), cols.end(), [](const Column& c) {
                return ado::convert::kindOfDeclaredType(c.type) == ado::ColumnKind::Currency;
            }))
            vouched << table;
        int remembered = 0;
        conn.withoutWriteRules(vouched, [&] {
            const QString taken = QString("SELECT p.id AS nuptaro_id, r.* FROM %1 p JOIN %2 r ON r.rowid = p.rid "
                                          "WHERE p.decision = 1 AND p.here = 1")
                                      .arg(plan, rep(table));
            if (cols.size() > 1 && Statement(db, QString("SELECT 1 FROM %1 WHERE decision = 1 AND here = 1 LIMIT 1")
                                                         .arg(plan))
                                           .step()) {
                QStringList sets;
                for (int c = 1; c < cols.size(); ++c)
                    sets << QString("%1 = src.%1").arg(quoted(cols[c].name));
                Statement update(db, QString("UPDATE %1 SET %2 FROM (%3) AS src WHERE %4.%5 = src.nuptaro_id")
                                         .arg(mainTable(table), sets.join(", "), taken, quoted(table), key));
                update.run();
            }
            const QStringList names = namesOf(cols);
            QStringList fromR;
            for (const QString& n : names)
                fromR << "r." + n;
            Statement insert(db, QString("INSERT INTO %1 (%2) SELECT %3 FROM %4 p JOIN %5 r ON r.rowid = p.rid WHERE "
                                         "p.decision = 1 AND p.here = 0 ORDER BY p.id")
                                     .arg(mainTable(table), names.join(", "), fromR.join(", "), plan, rep(table)));
            insert.run();

            Statement remember(db, QString("INSERT INTO main.SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, "
                                           "VERSION_TAKEN, VERSION_TAKENFROM) SELECT ?1, id, stamp, copy FROM %1 WHERE "
                                           "decision = 1 ON CONFLICT (VERSION_TABLE, VERSION_RECORDID) DO UPDATE SET "
                                           "VERSION_TAKEN = excluded.VERSION_TAKEN, "
                                           "VERSION_TAKENFROM = excluded.VERSION_TAKENFROM")
                                       .arg(plan));
            remember.bind(1, table);
            remember.run();
            remembered = remember.changes();
            // A record taken keeps the mark it came with.
            Statement marks(db, QString("INSERT OR IGNORE INTO main.SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, "
                                        "ORIGIN_MARK) SELECT ?1, p.id, theirs.m FROM %1 p CROSS JOIN temp.merge_marks "
                                        "theirs ON theirs.t = ?1 AND theirs.id = p.id WHERE p.decision = 1")
                                    .arg(plan));
            marks.bind(1, table);
            marks.run();
        });
        m.applied += remembered;
        Statement aside(db, QString("SELECT count(*) FILTER (WHERE decision = %1), count(*) FILTER (WHERE decision = "
                                    "%2), count(*) FILTER (WHERE decision = %3), count(*) FILTER (WHERE decision = %4) "
                                    "FROM %5")
                                .arg(HeldBackHere)
                                .arg(OtherHere)
                                .arg(Elsewhere)
                                .arg(Unplaced)
                                .arg(plan));
        aside.step();
        m.heldBack += int(aside.integer(0));
        m.otherHere += int(aside.integer(1));
        m.elsewhere += int(aside.integer(2));
        m.unplaced += int(aside.integer(3));
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
        takeNumbers(conn, plan, m, report);
        // The other copy's keys must not move this copy's counters.
        const QMap<QString, qint64> counters = conn.keyCounters();
        applyPlan(conn, plan, m, pictures, report);
        keepSeatingRules(conn, m);
        for (qint64 n : plan.senderNumbers)
            conn.Execute("INSERT OR IGNORE INTO main.SYNCHRO_PARTNER (PARTNER_NUMBER) VALUES (?)", {n});
        const QMap<QString, qint64> after = conn.keyCounters();
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (!counters.contains(it.key()))
                conn.Execute("DELETE FROM sqlite_sequence WHERE name = ?", {it.key()});
            else if (counters.value(it.key()) != it.value())
                conn.Execute("UPDATE sqlite_sequence SET seq = ? WHERE name = ?", {counters.value(it.key()), it.key()});
        }
        if (plan.partnerWentBack)
            m.resent = resendLost(conn);
        keepPartnerLineage(conn, plan);
        tr.commit();
    } catch (const Failure&) {
        QFile::remove(pending);
        throw;  // a refusal found record by record: rolled back, nothing changed
    } catch (const std::exception& e) {
        QFile::remove(pending);
        const auto* error = dynamic_cast<const ado::Error*>(&e);
        const QString detail = !error                ? QString(e.what())
                               : ado::isBusy(*error) ? ado::inUseElsewhere(native(conn.path()))
                                                     : error->description();
        throw Failure(QString("The synchronization failed, and the working database was left as it was.\n\n%1")
                          .arg(detail));
    }
    for (int i = 0; i < plan.tables.size(); ++i)
        exec(conn.handle(), QString("DROP TABLE IF EXISTS %1").arg(planOf(i)));
    exec(conn.handle(), "DROP TABLE IF EXISTS temp.merge_copies");
    exec(conn.handle(), "DROP TABLE IF EXISTS temp.merge_tables");
    exec(conn.handle(), "DROP TABLE IF EXISTS temp.merge_rows");
    forgetTheirMarks(conn.handle());
    for (const char* t : {"merge_theirs", "merge_foreign", "merge_keys", "merge_moves", "merge_before"})
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
    const int ordinary = m.skipped - m.heldBack - m.otherHere - m.elsewhere - m.unplaced;
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
        if (m.elsewhere > 0)
            s += QString("  %1 of them this copy holds under other keys; those were left as they are.")
                     .arg(m.elsewhere);
        if (m.unplaced > 0)
            s += QString("  %1 of them name records that neither copy has, so they were left out.").arg(m.unplaced);
        if (ordinary > 0)
            s += QString("  The other %1 this copy already held, or newer ones, or had deleted.").arg(ordinary);
        parts << s;
    }
    if (const QString undone = undoneSummary(m); !undone.isEmpty())
        parts << undone;
    if (m.movedAway > 0)
        parts << QString("This copy's file was put back to an older one: %1 records added here since then had keys "
                         "that the other copy holds other records under, and took new keys.")
                     .arg(m.movedAway);
    if (m.resent > 0)
        parts << QString("The other copy's file was put back to an older one: this copy's next replica takes back "
                         "to it %1 records and deletions it may have lost.")
                     .arg(m.resent);
    if (m.renumberedTo > 0)
        parts << (m.numberBack ? QString("This copy of the database has the copy number %1 again, the one it had "
                                         "taken before its file was put back.")
                               : QString("This copy of the database now has the copy number %1."))
                     .arg(m.renumberedTo);
    return parts.join("\n\n");
}

}  // namespace synchro
