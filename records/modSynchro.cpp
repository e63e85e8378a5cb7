#include "records/modSynchro.h"

#include "app/modQVDatabase.h"

namespace modSynchro {

namespace {

std::function<QDateTime()>& clock()
{
    static std::function<QDateTime()> c;
    return c;
}

QDateTime now() { return clock() ? clock()() : QDateTime::currentDateTimeUtc(); }

constexpr const char* kVersionFormat = "yyyy-MM-dd HH:mm:ss.zzz";

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
    // The record's mark, drawn with its first log row (see SYNCHRO_ORIGIN).
    if (logged && action != Deleted)
        gConn.Execute("INSERT OR IGNORE INTO SYNCHRO_ORIGIN (ORIGIN_TABLE, ORIGIN_RECORDID, ORIGIN_MARK) "
                      "VALUES (?, ?, ?)",
                      {table, key, modQVDatabase::drawCopyNumber()});
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
