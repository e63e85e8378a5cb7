#include "records/synchro_internal.h"

#include "records/cascade.h"

namespace synchro::detail {

namespace {

// Moves a record of this copy to another key, with every reference to it.
void moveKey(sqlite3* db, const QString& table, const QString& key, qint64 from, qint64 to)
{
    auto run = [&](const QString& sql, const QString& name = QString()) {
        Statement s(db, sql);
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

}  // namespace

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
    conn.Execute("INSERT OR IGNORE INTO main.SYNCHRO_COPY (COPY_NUMBER) VALUES (?)", {old});
    const qint64 lo = qint64(old) * ado::Connection::kKeyRange, hi = lo + ado::Connection::kKeyRange - 1;
    const QSet<QString> existing = tablesOf(db, "main");
    for (const QString& table : travellingTables()) {
        if (!existing.contains(table))
            continue;
        const QString key = conn.keyColumn(table);
        Statement own(db, QString("SELECT k.id FROM (SELECT %1 AS id FROM %2 WHERE %1 BETWEEN ?2 AND ?3 "
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

}  // namespace synchro::detail
