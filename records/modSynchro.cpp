#include "records/modSynchro.h"

#include "app/modQVDatabase.h"


namespace modSynchro {

void LogChange(const QString& table, qint64 key, short action)
{
    using modQVDatabase::gConn;
    if (action != Added && action != Changed && action != Deleted)
        return;
    if (action == Changed) {
        // A record keeps its first log row.
        const QVariant n = gConn.scalar(
            "SELECT count(*) FROM SYNCHRO WHERE (SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ?)", {table, qlonglong(key)});
        if (n.toLongLong() != 0)
            return;
    }
    gConn.Execute("INSERT INTO SYNCHRO (SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_DATETIME, SYNCHRO_ACTION) "
                  "VALUES (?, ?, ?, ?)",
                  {table, qlonglong(key), ado::convert::now(), int(action)});
}

}  // namespace modSynchro
