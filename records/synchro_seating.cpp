#include "records/synchro_internal.h"

#include <QSet>

#include <utility>

namespace synchro::detail {

// Each copy seats by the designer's rules, but two copies seat apart: after
// a merge one person may hold two seats at an event, two people one seat
// position, or someone a seat at an event the other copy uninvited him from.
// The merge then undoes seats until the rules hold again, as the designer
// would have them: seats only for people invited to the table's event, one
// seat per person and event, one person per seat position. Of seats that
// clash the newest keeps its place (by the version both copies hold of each
// seat: the time and the copy of its latest change), so both copies undo
// the same seats from the same rows, whichever merges first. An undone seat
// is logged as deleted: its deletion goes to the other copy with the next
// replica, and no older replica brings it back.
int keepSeatingRules(ado::Connection& conn)
{
    sqlite3* db = conn.handle();
    // The version of a seat as a replica would carry it (see Prepare):
    // this copy's latest change or the one it took, the newer of the two.
    const QString mine = "(v.VERSION_CHANGED IS NOT NULL AND (v.VERSION_TAKEN IS NULL OR v.VERSION_CHANGED > "
                         "v.VERSION_TAKEN OR (v.VERSION_CHANGED = v.VERSION_TAKEN AND ?1 >= v.VERSION_TAKENFROM)))";
    // Only seats that break a rule, or share a person or a place with another
    // seat, are read; the others keep their places whatever the rest do.
    Statement s(db, QString("WITH seats AS MATERIALIZED (SELECT s.SEATING_ID AS id, s.SUBGUEST_ID AS who, "
                            "  s.TABLE_ID AS tbl, s.SEATING_POS AS pos, t.EVENT_ID AS ev, EXISTS (SELECT 1 FROM "
                            "  main.INVITE i WHERE i.EVENT_ID = t.EVENT_ID AND i.SUBGUEST_ID = s.SUBGUEST_ID) AS invited "
                            "  FROM main.SEATING s LEFT JOIN main.TABLES t ON t.TABLE_ID = s.TABLE_ID), "
                            "twice AS (SELECT who, ev FROM seats WHERE invited GROUP BY who, ev HAVING count(*) > 1), "
                            "shared AS (SELECT tbl, pos FROM seats WHERE invited AND pos >= 0 GROUP BY tbl, pos "
                            "  HAVING count(*) > 1) "
                            "SELECT id, who, ev, tbl, coalesce(pos, -1), invited, "
                            "  CASE WHEN %1 THEN v.VERSION_CHANGED ELSE coalesce(v.VERSION_TAKEN, '') END AS stamp, "
                            "  CASE WHEN %1 THEN ?1 ELSE coalesce(v.VERSION_TAKENFROM, 0) END AS copy "
                            "FROM seats LEFT JOIN main.SYNCHRO_VERSION v ON v.VERSION_TABLE = 'SEATING' AND "
                            "  v.VERSION_RECORDID = id "
                            "WHERE NOT invited OR (who, ev) IN twice OR (pos >= 0 AND (tbl, pos) IN shared) "
                            "ORDER BY stamp DESC, copy DESC, id DESC")
                        .arg(mine));
    s.bind(1, qint64(conn.copyNumber()));
    QSet<std::pair<qint64, qint64>> seatedAt, taken;  // (person, event), (table, position)
    QString undone;
    int count = 0;
    while (s.step()) {
        const std::pair<qint64, qint64> person{s.integer(1), s.integer(2)}, place{s.integer(3), s.integer(4)};
        const bool keeps = s.integer(5) != 0 && !seatedAt.contains(person) && (place.second < 0 || !taken.contains(place));
        if (keeps) {
            seatedAt.insert(person);
            if (place.second >= 0)
                taken.insert(place);
            continue;
        }
        undone += (undone.isEmpty() ? u'[' : u',') + QString::number(s.integer(0));
        ++count;
    }
    if (count == 0)
        return 0;
    undone += u']';
    Statement log(db, "INSERT INTO main.SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                      "SELECT 'SEATING', value, ?2, 3 FROM json_each(?1)");
    log.bind(1, undone);
    log.bind(2, ado::convert::isoDateTime(QDateTime::currentDateTime()));
    log.run();
    Statement gone(db, "DELETE FROM main.SEATING WHERE SEATING_ID IN (SELECT value FROM json_each(?1))");
    gone.bind(1, undone);
    gone.run();
    return count;
}

}  // namespace synchro::detail
