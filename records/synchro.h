#pragma once
// Exchanging changes with a second copy of the working database through a
// replica file.
//
// A replica is an SQLite file of our own making. Its header marks it as one
// (application_id kReplicaMark) and carries the sending copy's number
// (user_version). It holds the table "Synchro" with the sender's change log
// and, for every table named there, a table of the same columns holding one
// copy of the logged record per log row, as it stood when the replica was
// packed.

#include "platform/ado/ado.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace synchro {

constexpr int kReplicaMark = 0x4E515652;

// The change log row a merge leaves for a deletion it applied. It is not a
// change of this copy, so it never travels, but it keeps an older replica
// from bringing the record back.
constexpr short kReceivedDeletion = -3;

inline const char* kStagingFile = "/data/synchro.qvd";
inline const char* kOldStagingFile = "/data/OLD_synchro.qvd";
inline const char* kBeforeMergeFile = "/data/PRE_synchro.qvd";

// A refused or failed operation; the text is meant for the user.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

// Progress as the window shows it: a text and a per-cent value.
using Progress = std::function<void(const QString& text, int percent)>;

// Tables whose records travel: the record tables and the lookup lists.
const QStringList& travellingTables();

// Packs the change log of the database on conn, with the logged records, into
// the staging replica in the user's data folder; a staging replica left from
// before is kept as the old one first. Returns the number of log rows packed.
int Prepare(ado::Connection& conn, const Progress& progress = {});

// The chosen name with ".qvd" appended unless it already ends so.
QString replicaName(const QString& chosen);

// Moves the staging replica to the chosen name (".qvd" appended when
// missing) and returns the name used; "" when the choice is empty. Refuses
// the working database and the template.
QString SaveReplica(ado::Connection& conn, const QString& chosen);

// Merges a received replica into the database on conn, whole or not at all,
// after keeping a copy of the database. Returns the number of log rows the
// replica carries.
int Synchronize(ado::Connection& conn, const QString& replicaPath, const Progress& progress = {});

}  // namespace synchro
