#include "records/modSynchro.h"

#include "app/modQVDatabase.h"
#include "platform/grid/gridex.h"

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

QString nextVersion(const QString& latest)
{
    const QString present = versionOf(now());
    if (latest.isEmpty() || present > latest)
        return present;
    QDateTime t = QDateTime::fromString(latest, kVersionFormat);
    t.setTimeSpec(Qt::UTC);
    return t.isValid() ? versionOf(t.addMSecs(1)) : present;
}

void LogChange(const QString& table, qint64 key, short action)
{
    using modQVDatabase::gConn;
    if (action != Added && action != Changed && action != Deleted)
        return;
    ado::Transaction tx(gConn);
    bool logged = true;
    if (action == Changed) {
        // A record keeps its first log row; its version says when it last changed.
        const QVariant n = gConn.scalar(
            "SELECT count(*) FROM SYNCHRO WHERE (SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ?)", {table, key});
        logged = n.toLongLong() == 0;
    }
    if (logged)
        gConn.Execute("INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                      "VALUES (?, ?, ?, ?)",
                      {table, key, ado::convert::wallClock(now().toLocalTime()), int(action)});
    if (action != Deleted) {
        const QString latest = gConn.scalar("SELECT max(coalesce(VERSION_CHANGED, ''), coalesce(VERSION_TAKEN, '')) "
                                            "FROM SYNCHRO_VERSION WHERE VERSION_TABLE = ? AND VERSION_RECORDID = ?",
                                            {table, key})
                                   .toString();
        const QString version = nextVersion(latest);
        if (gConn.Execute("UPDATE SYNCHRO_VERSION SET VERSION_CHANGED = ? WHERE VERSION_TABLE = ? AND "
                          "VERSION_RECORDID = ?",
                          {version, table, key})
            == 0)
            gConn.Execute("INSERT INTO SYNCHRO_VERSION (VERSION_TABLE, VERSION_RECORDID, VERSION_CHANGED) "
                          "VALUES (?, ?, ?)",
                          {table, key, version});
    }
    tx.commit();
}

}  // namespace modSynchro
