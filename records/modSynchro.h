#pragma once
// The change log: one row per added, changed or deleted record, read by the
// replica exchange to pick the rows it sends.
//
// Every path that adds, changes or deletes a user record calls LogChange with
// action 1 (added), 2 (changed) or 3 (deleted), as soon as the key is known.
// Standard data and tips are not logged.

#include <QString>
#include <QtGlobal>

namespace modSynchro {

enum Action : short { Added = 1, Changed = 2, Deleted = 3 };

// Appends a log row for actions 1 and 3; for 2 only when the log has no row
// yet for that table and key; any other action writes nothing. Failures are
// thrown (ado::Error) to the caller.
void LogChange(const QString& table, qint64 key, short action);

}  // namespace modSynchro
