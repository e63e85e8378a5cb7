#include "records/synchro_internal.h"

#include <QSet>

#include <utility>

namespace synchro::detail {

// Each copy invites and seats by the program's rules, but two copies do so
// apart: once merged, one person may hold two invitations to an event, two
// seats at it, two people one seat position, or someone a seat at an event
// the other copy uninvited him from. The merge then undoes rows until the
// rules hold again: one invitation per person and event, seats only for
// people invited to the table's event, one seat per person and event, one
// person per seat position. Of rows that clash the newest keeps its place
// (by the version both copies hold of each: the time and the copy of its
// latest change), so both copies undo the same rows, whichever merges
// first. What is undone is logged as deleted: the deletion goes to the
// other copy with the next replica, and no older replica brings the row
// back.

namespace {

// The version of a record (alias v of SYNCHRO_VERSION) as a replica carries
// it (see Prepare): this copy's latest change or the one it took, the newer;
// ?1 is this copy's number. Records without one come last.
QString versionColumns()
{
    const QString mine = "(v.VERSION_CHANGED IS NOT NULL AND (v.VERSION_TAKEN IS NULL OR v.VERSION_CHANGED > "
                         "v.VERSION_TAKEN OR (v.VERSION_CHANGED = v.VERSION_TAKEN AND ?1 >= v.VERSION_TAKENFROM)))";
    return QString("CASE WHEN %1 THEN v.VERSION_CHANGED ELSE coalesce(v.VERSION_TAKEN, '') END AS stamp, "
                   "CASE WHEN %1 THEN ?1 ELSE coalesce(v.VERSION_TAKENFROM, 0) END AS copy")
        .arg(mine);
}

// Deletes the rows and logs them as deleted; returns how many.
int undo(sqlite3* db, const QString& table, const QString& key, const QVector<qint64>& ids)
{
    if (ids.isEmpty())
        return 0;
    const QString list = ado::jsonKeys(ids);
    Statement log(db, "INSERT INTO main.SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                      "SELECT ?1, value, ?2, 3 FROM json_each(?3)");
    log.bind(1, table);
    log.bind(2, ado::convert::isoDateTime(QDateTime::currentDateTime()));
    log.bind(3, list);
    log.run();
    Statement gone(db, QString("DELETE FROM main.%1 WHERE %2 IN (SELECT value FROM json_each(?1))").arg(table, key));
    gone.bind(1, list);
    gone.run();
    return int(ids.size());
}

}  // namespace

void keepSeatingRules(ado::Connection& conn, Merged& m)
{
    sqlite3* db = conn.handle();
    const qint64 ours = conn.copyNumber();

    // Of the invitations of one person to one event, the one answered (an
    // RSVP or a meal chosen) stays, else the newest.
    {
        Statement s(db, QString("SELECT i.INVITE_ID, i.EVENT_ID, i.SUBGUEST_ID, %1 FROM main.INVITE i LEFT JOIN "
                                "main.SYNCHRO_VERSION v ON v.VERSION_TABLE = 'INVITE' AND v.VERSION_RECORDID = "
                                "i.INVITE_ID WHERE (i.EVENT_ID, i.SUBGUEST_ID) IN (SELECT EVENT_ID, SUBGUEST_ID FROM "
                                "main.INVITE GROUP BY 1, 2 HAVING count(*) > 1) ORDER BY (coalesce(i.INVITE_RSVP_TEXT, "
                                "'') <> '' OR coalesce(i.EVENT_FOOD, '') <> '') DESC, stamp DESC, copy DESC, "
                                "i.INVITE_ID DESC")
                            .arg(versionColumns()));
        s.bind(1, ours);
        QSet<std::pair<qint64, qint64>> kept;  // (event, person)
        QVector<qint64> second;
        while (s.step()) {
            const std::pair<qint64, qint64> invitation{s.integer(1), s.integer(2)};
            if (kept.contains(invitation))
                second << s.integer(0);
            else
                kept.insert(invitation);
        }
        m.invitesJoined = undo(db, "INVITE", "INVITE_ID", second);
    }

    // Only seats that break a rule, or share a person or a place with another
    // seat, are read; the others keep their places whatever the rest do.
    Statement s(db, QString("WITH seats AS MATERIALIZED (SELECT s.SEATING_ID AS id, s.SUBGUEST_ID AS who, "
                            "  s.TABLE_ID AS tbl, s.SEATING_POS AS pos, t.EVENT_ID AS ev, EXISTS (SELECT 1 FROM "
                            "  main.INVITE i WHERE i.EVENT_ID = t.EVENT_ID AND i.SUBGUEST_ID = s.SUBGUEST_ID) AS invited "
                            "  FROM main.SEATING s LEFT JOIN main.TABLES t ON t.TABLE_ID = s.TABLE_ID), "
                            "twice AS (SELECT who, ev FROM seats WHERE invited GROUP BY who, ev HAVING count(*) > 1), "
                            "shared AS (SELECT tbl, pos FROM seats WHERE invited AND pos >= 0 GROUP BY tbl, pos "
                            "  HAVING count(*) > 1) "
                            "SELECT id, who, ev, tbl, coalesce(pos, -1), invited, %1 "
                            "FROM seats LEFT JOIN main.SYNCHRO_VERSION v ON v.VERSION_TABLE = 'SEATING' AND "
                            "  v.VERSION_RECORDID = id "
                            "WHERE NOT invited OR (who, ev) IN twice OR (pos >= 0 AND (tbl, pos) IN shared) "
                            "ORDER BY stamp DESC, copy DESC, id DESC")
                        .arg(versionColumns()));
    s.bind(1, ours);
    QSet<std::pair<qint64, qint64>> seatedAt, taken;  // (person, event), (table, position)
    QVector<qint64> seats;
    while (s.step()) {
        const std::pair<qint64, qint64> person{s.integer(1), s.integer(2)}, place{s.integer(3), s.integer(4)};
        if (s.integer(5) == 0 || seatedAt.contains(person) || (place.second >= 0 && taken.contains(place))) {
            seats << s.integer(0);
            continue;
        }
        seatedAt.insert(person);
        if (place.second >= 0)
            taken.insert(place);
    }
    m.seatsUndone = undo(db, "SEATING", "SEATING_ID", seats);
}

QString undoneSummary(const Merged& m)
{
    QStringList out;
    if (m.invitesJoined == 1)
        out << "1 invitation of a guest to an event that both copies had made was undone: of the two, the one with "
               "an answer, or else the newer, was kept.";
    else if (m.invitesJoined > 1)
        out << QString("%1 invitations of guests to events that both copies had made were undone: of each two, the "
                       "one with an answer, or else the newer, was kept.")
                   .arg(m.invitesJoined);
    const QString rules = "to keep one seat for each invited guest at an event and one guest on each seat: the newer "
                          "seating was kept, and";
    if (m.seatsUndone == 1)
        out << QString("1 seat was undone %1 the guest who lost it is back among the unseated.").arg(rules);
    else if (m.seatsUndone > 1)
        out << QString("%1 seats were undone %2 the guests who lost theirs are back among the unseated.")
                   .arg(m.seatsUndone)
                   .arg(rules);
    return out.join("  ");
}

}  // namespace synchro::detail
