#include "records/modSynchro.h"

#include "platform/grid/gridex.h"
#include "records/modQVDatabase.h"

#include <algorithm>

namespace modSynchro {

namespace {

std::function<QDateTime()>& clock()
{
    static std::function<QDateTime()> c;
    return c;
}

QDateTime now() { return clock() ? clock()() : QDateTime::currentDateTimeUtc(); }

constexpr const char* kVersionFormat = "yyyy-MM-dd HH:mm:ss.zzz";

// What the grids store in place (cells, new rows) is logged as every other
// change of a record; a table without a key of its own is no record.
const bool gGridsLogged = [] {
    grid::setChangeLog([](const QString& table, qint64 key, int action) {
        using modQVDatabase::gConn;
        if (gConn.isOpen() && !gConn.keyColumn(table).isEmpty())
            LogChange(table, key, short(action));
    });
    return true;
}();

}  // namespace

void setClock(std::function<QDateTime()> c) { clock() = std::move(c); }

QString versionOf(const QDateTime& moment) { return moment.toUTC().toString(kVersionFormat); }

namespace {

// The version a change made at `present` gets: that moment, or a
// millisecond after `latest` (the record's newest version so far) when the
// clock is not past it, so a change always wins over every version it
// follows, whatever the two machines' clocks say.
QString versionAfter(const QString& latest, const QString& present)
{
    if (latest.isEmpty() || present > latest)
        return present;
    QDateTime t = QDateTime::fromString(latest, kVersionFormat);
    t.setTimeSpec(Qt::UTC);
    return t.isValid() ? versionOf(t.addMSecs(1)) : present;
}

// The log and version rows of records of one table changed at one moment,
// a few statements for any number of records: the keys go in as one JSON
// array.
void writeLog(const QString& table, const QList<qint64>& keys, short action)
{
    using modQVDatabase::gConn;
    QList<qint64> unique = keys;
    std::sort(unique.begin(), unique.end());
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    const QString list = ado::jsonKeys(unique);

    const QDateTime moment = now();
    const QString logged = ado::convert::isoDateTime(ado::convert::wallClock(moment.toLocalTime()));
    // A record's random mark is drawn with its first log row (see
    // SYNCHRO_ORIGIN); one taken from the other copy keeps the mark it came
    // with, or none.
    if (action != Deleted)
        gConn.Execute("INSERT OR IGNORE INTO SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK) "
                      "SELECT ?1, k.value, random() FROM json_each(?2) AS k WHERE NOT EXISTS "
                      "(SELECT 1 FROM SYNCHRO WHERE SYNCHRO_TABLE = ?1 AND SYNCHRO_RECORDID = k.value) AND NOT EXISTS "
                      "(SELECT 1 FROM SYNCHRO_VERSION WHERE VERSION_TABLE = ?1 AND VERSION_RECORDID = k.value AND "
                      "VERSION_TAKEN IS NOT NULL)",
                      {table, list});
    // A record keeps its first log row; its version says when it last changed.
    gConn.Execute(QString("INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                          "SELECT ?1, k.value, ?3, ?4 FROM json_each(?2) AS k%1")
                      .arg(action == Changed ? " WHERE NOT EXISTS (SELECT 1 FROM SYNCHRO WHERE SYNCHRO_TABLE = ?1 "
                                               "AND SYNCHRO_RECORDID = k.value)"
                                             : ""),
                  {table, list, logged, int(action)});
    if (action == Deleted)
        return;
    // The present moment; a millisecond after a record's latest version
    // instead where that is not before the present (a clock set back).
    const QString present = versionOf(moment);
    QList<QPair<qint64, QString>> behind;
    gConn.forEachRow("SELECT VERSION_RECORDID, max(coalesce(VERSION_CHANGED, ''), coalesce(VERSION_TAKEN, '')) AS "
                     "LATEST FROM SYNCHRO_VERSION WHERE VERSION_TABLE = ?1 AND VERSION_RECORDID IN "
                     "(SELECT value FROM json_each(?2)) AND LATEST >= ?3",
                     {table, list, present},
                     [&](const ado::Row& r) { behind.append({r.integer(0), r.text(1)}); });
    gConn.Execute("INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED) "
                  "SELECT ?1, value, ?3 FROM json_each(?2) WHERE true ON CONFLICT (VERSION_TABLE, VERSION_RECORDID) "
                  "DO UPDATE SET VERSION_CHANGED = ?3 WHERE max(coalesce(VERSION_CHANGED, ''), "
                  "coalesce(VERSION_TAKEN, '')) < ?3",
                  {table, list, present});
    for (const auto& [key, latest] : behind)
        gConn.Execute("UPDATE SYNCHRO_VERSION SET VERSION_CHANGED = ? WHERE VERSION_TABLE = ? AND VERSION_RECORDID = ?",
                      {versionAfter(latest, present), table, key});
}

}  // namespace

void LogChange(const QString& table, qint64 key, short action) { LogChanges(table, {key}, action); }

void LogChanges(const QString& table, const QList<qint64>& keys, short action)
{
    if ((action != Added && action != Changed && action != Deleted) || keys.isEmpty())
        return;
    ado::Transaction tx(modQVDatabase::gConn);
    writeLog(table, keys, action);
    tx.commit();
}

}  // namespace modSynchro
