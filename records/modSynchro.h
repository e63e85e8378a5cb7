#pragma once
// The change log: one row per added, changed or deleted record, read by the
// replica exchange to pick the rows it sends.
//
// Every path that adds, changes or deletes a user record calls LogChange with
// action 1 (added), 2 (changed) or 3 (deleted), as soon as the key is known.
// Standard data and tips are not logged.
//
// Beside the log, each record has a version (SYNCHRO_VERSION): the moment of
// this copy's latest change of it, and the version it last took from the
// other copy. Versions are UTC with milliseconds ("2026-05-01 14:03:07.250"),
// so their text order is their time order on machines in any time zone.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace modSynchro {

enum Action : short { Added = 1, Changed = 2, Deleted = 3 };

// Appends a log row for actions 1 and 3; for 2 only when the log has no row
// yet for that table and key; any other action writes nothing. Adds and
// changes also give the record a new version. Failures are thrown
// (ado::Error) to the caller.
void LogChange(const QString& table, qint64 key, short action);
// The same for many records of one table, changed at one moment (an
// import, a merge): part of the caller's transaction, or in one of its own.
void LogChanges(const QString& table, const QList<qint64>& keys, short action);

// The version text of a moment.
QString versionOf(const QDateTime& moment);

// Where the present moment comes from; tests set a clock of their own, an
// empty function puts the system clock back.
void setClock(std::function<QDateTime()> clock);

}  // namespace modSynchro
