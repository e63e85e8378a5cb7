// Files put back and copied: a copy whose file went back to an older one
// (a backup restored, data/PRE_synchro.qvd put back) has lost keys it gave
// out, replicas it prepared, numbers it drew, changes it made and took. What
// its partner still holds tells it, and the partner sends back what it lost.

#include "records/synchro_internal.h"

namespace synchro::detail {

namespace {

// Copy numbers as a JSON array for json_each(?); none is a NULL, so that
// NOT IN gives NULL as over an empty list it always did.
QString numberList(const QSet<qint64>& numbers)
{
    QList<qint64> out;
    for (qint64 n : numbers)
        if (n > 0)
            out << n;
    return out.isEmpty() ? QStringLiteral("[null]") : ado::jsonKeys(out);
}

// The key counters of this copy's range go past the highest keys of it the
// sender holds, logs or marks: a copy put back to an older file would
// otherwise give them out again, to other records.
void learnKeys(ado::Connection& conn)
{
    const QString known = "t IN (SELECT name FROM main.sqlite_master WHERE type = 'table')";
    const qint64 ours = conn.copyNumber();
    conn.Execute(QString("INSERT INTO main.KEY_COUNTER (KEY_COUNTER_TABLE, KEY_COUNTER_LAST) SELECT t, last FROM "
                         "temp.merge_keys WHERE n = ? AND %1 ON CONFLICT (KEY_COUNTER_TABLE) DO UPDATE SET "
                         "KEY_COUNTER_LAST = %2")
                     .arg(known, ado::Connection::laterCounter()),
                 {ours});
    // AUTOINCREMENT goes on from there too.
    conn.Execute(QString("UPDATE main.sqlite_sequence SET seq = k.last FROM temp.merge_keys k WHERE name = k.t AND "
                         "k.n = ? AND seq < k.last"),
                 {ours});
}

}  // namespace

void takeNumbers(ado::Connection& conn, const Plan& p, Merged& m, Reporter& report)
{
    sqlite3* db = conn.handle();
    clearMoves(db);
    if (p.fresh) {
        conn.setCopyNumber(p.fresh);
        conn.Execute("INSERT OR IGNORE INTO main.SYNCHRO_COPY (COPY_NUMBER) VALUES (?)", {p.ours});
        m.renumberedTo = p.fresh;
        m.numberBack = p.recovered.contains(p.fresh);
    }
    for (qint64 n : p.recovered)
        if (n != p.fresh)
            conn.Execute("INSERT OR IGNORE INTO main.SYNCHRO_COPY (COPY_NUMBER) VALUES (?)", {n});
    learnKeys(conn);

    // This copy's records under a number it drew before its file was put
    // back: the sender holds them by their marks, under their keys of then.
    // They go back there.
    if (!p.recovered.isEmpty()) {
        exec(db, QString("INSERT OR IGNORE INTO temp.merge_moves (t, old, new) SELECT o.ORIGIN_TABLE, "
                         "o.ORIGIN_RECORDID, theirs.id FROM temp.merge_marks theirs JOIN main.SYNCHRO_ORIGIN o ON "
                         "o.ORIGIN_TABLE = theirs.t AND o.ORIGIN_MARK = theirs.m WHERE theirs.id / %1 IN (SELECT "
                         "value FROM json_each(?1)) AND o.ORIGIN_RECORDID <> theirs.id AND NOT EXISTS (SELECT 1 "
                         "FROM main.SYNCHRO_ORIGIN x WHERE x.ORIGIN_TABLE = theirs.t AND x.ORIGIN_RECORDID = "
                         "theirs.id) AND NOT EXISTS (SELECT 1 FROM main.SYNCHRO s WHERE s.SYNCHRO_TABLE = theirs.t "
                         "AND s.SYNCHRO_RECORDID = theirs.id)")
                     .arg(ado::Connection::kKeyRange),
             numberList(p.recovered));
        moveRecords(conn, report, 50, 55);
    }
    // A copy of this file that kept the number: what this copy added since
    // the copy moves to the new range.
    if (p.fresh) {
        ownSinceTheCopy(conn, p.ours);
        moveRecords(conn, report, 55, 70);
    }
    // Under a key of this copy's own that the sender holds another record
    // under, the record here is one this copy added after its file was put
    // back, giving that key out a second time: it takes a new key. Under a
    // number the sender had too (a copy of one file that took a new one),
    // only where the sender's record is one this copy no longer knows: the
    // two share the records of before the copy under the same marks.
    QSet<qint64> own = p.ourNumbers | p.recovered;
    own << conn.copyNumber();
    own.remove(p.sender);
    m.movedAway = exec(
        db, QString("INSERT OR IGNORE INTO temp.merge_moves (t, old) SELECT theirs.t, theirs.id FROM "
                    "main.SYNCHRO_ORIGIN o CROSS JOIN temp.merge_marks theirs ON o.ORIGIN_TABLE = theirs.t AND "
                    "o.ORIGIN_RECORDID = theirs.id WHERE o.ORIGIN_MARK <> theirs.m AND theirs.id / %1 IN (SELECT "
                    "value FROM json_each(?1)) AND (theirs.id / %1 NOT IN (SELECT value FROM json_each(?2)) OR NOT "
                    "EXISTS (SELECT 1 FROM main.SYNCHRO_ORIGIN x WHERE x.ORIGIN_TABLE = theirs.t AND "
                    "x.ORIGIN_MARK = theirs.m))")
                .arg(ado::Connection::kKeyRange),
        numberList(own), numberList(p.senderNumbers));
    moveRecords(conn, report, 70, 75);
}

int resendLost(ado::Connection& conn)
{
    sqlite3* db = conn.handle();
    // The sender's versions and marks, by record.
    exec(db, "DROP TABLE IF EXISTS temp.merge_held");
    exec(db, QString("CREATE TEMP TABLE merge_held (t TEXT, id INTEGER, stamp TEXT, deleted INTEGER, m INTEGER, "
                     "PRIMARY KEY (t, id))"));
    exec(db, QString("INSERT OR IGNORE INTO temp.merge_held SELECT v.VERSION_TABLE, v.VERSION_RECORDID, "
                     "v.VERSION_STAMP, v.VERSION_DELETED, theirs.m FROM %1 v LEFT JOIN temp.merge_marks theirs ON "
                     "theirs.t = v.VERSION_TABLE AND theirs.id = v.VERSION_RECORDID")
                 .arg(rep("Versions")));
    const QString now = ado::convert::isoDateTime(ado::convert::now());
    const QString sameMark = "(h.m IS NULL OR o.ORIGIN_MARK IS NULL OR h.m = o.ORIGIN_MARK)";
    const QString loggedHere = "EXISTS (SELECT 1 FROM main.SYNCHRO s WHERE s.SYNCHRO_TABLE = ?1 AND "
                               "s.SYNCHRO_RECORDID = v.VERSION_RECORDID AND s.SYNCHRO_ACTION IN (1, 2, 3))";
    int resent = 0;
    const QSet<QString> existing = tablesOf(db, "main");
    for (const QString& table : travellingTables()) {
        if (!existing.contains(table))
            continue;
        const QString key = quoted(conn.keyColumn(table));
        // What this copy took (from the sender: whoever made it, it came
        // from there) and the sender no longer holds as it was: the record
        // gone, an older version, another record there. What this copy logged
        // goes with every replica anyway.
        Statement changed(
            db, QString("INSERT INTO main.SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                        "SELECT ?1, v.VERSION_RECORDID, ?2, 2 FROM main.SYNCHRO_VERSION v JOIN %1 r ON r.%2 = "
                        "v.VERSION_RECORDID LEFT JOIN main.SYNCHRO_ORIGIN o ON o.ORIGIN_TABLE = ?1 AND "
                        "o.ORIGIN_RECORDID = v.VERSION_RECORDID LEFT JOIN temp.merge_held h ON h.t = ?1 AND h.id = "
                        "v.VERSION_RECORDID WHERE v.VERSION_TABLE = ?1 AND v.VERSION_TAKEN IS NOT NULL AND "
                        "(v.VERSION_CHANGED IS NULL OR v.VERSION_CHANGED < v.VERSION_TAKEN) AND NOT %3 AND (h.id IS "
                        "NULL OR h.stamp < v.VERSION_TAKEN OR NOT %4)")
                    .arg(mainTable(table), key, loggedHere, sameMark));
        changed.bind(1, table);
        changed.bind(2, now);
        changed.run();
        resent += changed.changes();
        // The deletions this copy took from the sender: it may hold those
        // records again. A record under another mark there is another one.
        Statement deleted(
            db, QString("INSERT INTO main.SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                        "SELECT ?1, d.id, ?2, 3 FROM (SELECT DISTINCT SYNCHRO_RECORDID AS id FROM main.SYNCHRO WHERE "
                        "SYNCHRO_TABLE = ?1 AND SYNCHRO_ACTION = %1) d LEFT JOIN temp.merge_held h ON h.t = ?1 AND "
                        "h.id = d.id LEFT JOIN temp.merge_marks theirs ON theirs.t = ?1 AND theirs.id = d.id LEFT JOIN "
                        "main.SYNCHRO_ORIGIN o ON o.ORIGIN_TABLE = ?1 AND o.ORIGIN_RECORDID = d.id WHERE "
                        "coalesce(h.deleted, 0) = 0 AND (theirs.m IS NULL OR o.ORIGIN_MARK IS NULL OR theirs.m = "
                        "o.ORIGIN_MARK) AND NOT EXISTS (SELECT 1 FROM main.SYNCHRO s WHERE s.SYNCHRO_TABLE = ?1 AND "
                        "s.SYNCHRO_RECORDID = d.id AND s.SYNCHRO_ACTION = 3) AND NOT EXISTS (SELECT 1 FROM %2 r WHERE "
                        "r.%3 = d.id)")
                    .arg(kReceivedDeletion)
                    .arg(mainTable(table), key));
        deleted.bind(1, table);
        deleted.bind(2, now);
        deleted.run();
        resent += deleted.changes();
    }
    exec(db, "DROP TABLE temp.merge_held");
    return resent;
}

void keepPartnerLineage(ado::Connection& conn, const Plan& p)
{
    if (!p.lineage || !p.keepLineage)
        return;
    conn.Execute("DELETE FROM main.SYNCHRO_PARTNER_REPLICA");
    for (qint64 mark : *p.lineage)
        conn.Execute("INSERT INTO main.SYNCHRO_PARTNER_REPLICA (REPLICA_MARK, REPLICA_COMPUTER) VALUES (?, ?)",
                     {mark, p.computer});
}

}  // namespace synchro::detail
