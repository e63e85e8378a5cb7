#include "records/modSynchro.h"

#include "app/modQVDatabase.h"

#include <QDateTime>

namespace modSynchro {

void LogChange(const QString& table, int key, short action)
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
                  {table, qlonglong(key), QDateTime::currentDateTime(), int(action)});
}

}  // namespace modSynchro
