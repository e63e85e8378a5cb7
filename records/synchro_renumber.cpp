#include "records/synchro_internal.h"

#include "records/cascade.h"

namespace synchro::detail {

namespace {

// The statements that move the records of one table to other keys, with
// every reference to them, prepared once for all the table's records.
class KeyMover {
public:
    KeyMover(sqlite3* db, const QString& table, const QString& key)
    {
        add(db, QString("UPDATE %1 SET %2 = ?1 WHERE %2 = ?2").arg(mainTable(table), quoted(key)));
        for (const records::KeyReference& r : records::keyReferences())
            if (table == QLatin1String(r.parent))
                add(db, QString("UPDATE %1 SET %2 = ?1 WHERE %2 = ?2").arg(mainTable(r.table), quoted(r.column)));
        add(db, "UPDATE main.SYNCHRO SET SYNCHRO_RECORDID = ?1 WHERE SYNCHRO_TABLE = ?3 AND SYNCHRO_RECORDID = ?2");
        add(db, "UPDATE main.SYNCHRO_VERSION SET VERSION_RECORDID = ?1 WHERE VERSION_TABLE = ?3 AND "
                "VERSION_RECORDID = ?2");
        add(db, "UPDATE main.SYNCHRO_ORIGIN SET ORIGIN_RECORDID = ?1 WHERE ORIGIN_TABLE = ?3 AND ORIGIN_RECORDID = ?2");
        for (auto& s : statements_)
            if (s->parameters() > 2)
                s->bind(3, table);
    }
    void move(qint64 from, qint64 to)
    {
        for (auto& s : statements_) {
            s->bind(1, to);
            s->bind(2, from);
            while (s->step()) {
            }
            // Only the keys change between records; the table stays bound.
            sqlite3_reset(s->handle());
        }
    }

private:
    void add(sqlite3* db, const QString& sql) { statements_.push_back(std::make_unique<Statement>(db, sql)); }
    std::vector<std::unique_ptr<Statement>> statements_;
};

}  // namespace

void clearMoves(sqlite3* db)
{
    exec(db, "CREATE TEMP TABLE IF NOT EXISTS merge_moves (t TEXT, old INTEGER, new INTEGER, PRIMARY KEY (t, old))");
    exec(db, "DELETE FROM temp.merge_moves");
}

void moveRecords(ado::Connection& conn, Reporter& report, int fromPercent, int toPercent)
{
    sqlite3* db = conn.handle();
    const qint64 total = conn.scalar("SELECT count(*) FROM temp.merge_moves").toLongLong();
    if (total == 0)
        return;
    const QSet<QString> existing = tablesOf(db, "main");
    qint64 done = 0;
    for (const QString& table : travellingTables()) {
        if (!existing.contains(table))
            continue;
        // The keys of this copy's range, in a row, for the records that take new ones.
        const qint64 fresh =
            conn.scalar("SELECT count(*) FROM temp.merge_moves WHERE t = ? AND new IS NULL", {table}).toLongLong();
        if (fresh > 0)
            conn.Execute("UPDATE temp.merge_moves SET new = ?2 + r.n - 1 FROM (SELECT old AS o, row_number() OVER "
                         "(ORDER BY old) AS n FROM temp.merge_moves WHERE t = ?1 AND new IS NULL) r WHERE t = ?1 AND "
                         "old = r.o",
                         {table, conn.reserveKeys(table, fresh)});
        Statement moves(db, "SELECT old, new FROM temp.merge_moves WHERE t = ? ORDER BY old");
        moves.bind(1, table);
        if (!moves.step())
            continue;
        KeyMover mover(db, table, conn.keyColumn(table));
        const qint64 step = std::max<qint64>(total / 100, 1);
        do {
            mover.move(moves.integer(0), moves.integer(1));
            if (++done % step == 0)
                report(QString(), fromPercent + int((toPercent - fromPercent) * done / total));
        } while (moves.step());
    }
    exec(db, "DELETE FROM temp.merge_moves");
}

// Two copies of one file gave out keys from one range. The records both hold
// from before the file was copied are the same records, under the same keys,
// in both: they keep them. Those this copy added on its own since (the other
// copy marks that key otherwise, or names it nowhere) could clash with ones
// the other added under the same keys, so they move; so do keys only this
// copy logged and deleted, so their deletions never hide the other's
// records. Marks are random, so two records added in the same second on
// both sides are told apart all the same.
// Only what this copy logged can have been added since the copy: a record
// nobody logged here (made by an earlier build that did not log every
// path) came with the file. And keys are given out in order, so a key at or
// below the highest key both copies demonstrably share was given out before
// the copy: such a record stays whatever its mark, and takes the other
// copy's mark where each drew one of its own when it first logged it.
void ownSinceTheCopy(ado::Connection& conn, int old)
{
    sqlite3* db = conn.handle();
    const qint64 lo = ado::Connection::firstKeyOf(old), hi = ado::Connection::lastKeyOf(old);
    const QSet<QString> existing = tablesOf(db, "main");
    exec(db, "DROP TABLE IF EXISTS temp.merge_logged");
    exec(db, "CREATE TEMP TABLE merge_logged (id INTEGER PRIMARY KEY, same INTEGER, theirs INTEGER)");
    Statement logged(db, QString("INSERT INTO temp.merge_logged SELECT k.id, %1, CASE WHEN mine.ORIGIN_MARK IS NOT "
                                 "theirs.m THEN theirs.m END FROM (SELECT DISTINCT SYNCHRO_RECORDID AS id FROM "
                                 "main.SYNCHRO WHERE SYNCHRO_TABLE = ?1 AND SYNCHRO_RECORDID BETWEEN ?2 AND ?3 AND "
                                 "SYNCHRO_ACTION IN (1, 2, 3)) k LEFT JOIN main.SYNCHRO_ORIGIN mine ON "
                                 "mine.ORIGIN_TABLE = ?1 AND mine.ORIGIN_RECORDID = k.id LEFT JOIN temp.merge_marks "
                                 "theirs ON theirs.t = ?1 AND theirs.id = k.id")
                             .arg(sameRecord("?1", "k.id")));
    Statement since(db, "INSERT INTO temp.merge_moves (t, old) SELECT ?1, id FROM temp.merge_logged WHERE NOT same AND "
                        "id > coalesce((SELECT max(id) FROM temp.merge_logged WHERE same), 0)");
    Statement adopt(db, "UPDATE main.SYNCHRO_ORIGIN SET ORIGIN_MARK = l.theirs FROM temp.merge_logged l WHERE "
                        "ORIGIN_TABLE = ?1 AND ORIGIN_RECORDID = l.id AND l.theirs IS NOT NULL AND NOT l.same AND "
                        "l.id NOT IN (SELECT old FROM temp.merge_moves WHERE t = ?1)");
    for (const QString& table : travellingTables()) {
        if (!existing.contains(table))
            continue;
        exec(db, "DELETE FROM temp.merge_logged");
        logged.bind(1, table);
        logged.bind(2, lo);
        logged.bind(3, hi);
        logged.run();
        since.bind(1, table);
        since.run();
        adopt.bind(1, table);
        adopt.run();
    }
    exec(db, "DROP TABLE temp.merge_logged");
}

}  // namespace synchro::detail
