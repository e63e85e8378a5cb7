#pragma once
// Exchanging changes with a second copy of the working database through a
// replica file.
//
// A replica is an SQLite file of our own making. Its header marks it as one
// (application_id kReplicaMark) and carries the sending copy's number
// (user_version). It holds
// - "Synchro": the sender's change log;
// - for every table named there, a table of the same columns holding one
//   copy of the logged record per log row, as it stood when the replica was
//   packed;
// - "Versions": for every logged record, the version the sender holds (UTC
//   with milliseconds, and the number of the copy that made that change), or
//   that the sender deleted it;
// - "Copies": the numbers the sender had before it took its present one;
// - "Origins": the mark of every logged record (see SYNCHRO_ORIGIN), which
//   tells two copies of one file apart; missing in replicas of earlier builds.
// - "Replicas": the marks of every replica the sender prepared, this one's
//   last (see SYNCHRO_REPLICA), and "Partner": the numbers of the copy the
//   sender exchanges with (see SYNCHRO_PARTNER); both missing in replicas
//   of earlier builds.
// - "Computer": the computer it was prepared on; "PartnerReplicas": the
//   marks of the partner's replicas as the sender last merged them, with
//   their computer (see SYNCHRO_PARTNER_REPLICA); "Keys": the highest key the
//   sender holds, logs or marks under each number of its partner. Missing in
//   replicas of earlier builds.
// A replica without "Versions" comes from an earlier build and is refused:
// without versions it cannot tell newer from older.

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

// The replica comes from a copy with this copy's own number: a copy of this
// very file, or (very rarely) two copies that drew the same number.
class SameCopyNumber : public Failure {
public:
    SameCopyNumber(const QString& message, int number) : Failure(message), number_(number) {}
    int number() const { return number_; }

private:
    int number_;
};

// Progress as the window shows it: a text and a per-cent value.
using Progress = std::function<void(const QString& text, int percent)>;

// Tables whose records travel: the record tables and the lookup lists.
const QStringList& travellingTables();

// Packs the change log of the database on conn, with the logged records and
// their versions, into the staging replica in the user's data folder; a
// staging replica left from before is kept as the old one first. Returns the
// number of log rows packed.
int Prepare(ado::Connection& conn, const Progress& progress = {});

// The chosen name with ".qvd" appended unless it already ends so.
QString replicaName(const QString& chosen);

// Moves the staging replica to the chosen name (".qvd" appended when
// missing) and returns the name used; "" when the choice is empty. Refuses
// the working database and the template.
QString SaveReplica(ado::Connection& conn, const QString& chosen);

struct Merged {
    int items = 0;    // log rows the replica carries
    int applied = 0;  // records added, changed or deleted here
    int skipped = 0;  // records not applied, for any of the reasons below or
                      // as this copy already held them as new or newer, or had deleted them
    int heldBack = 0;   // of those, added by a copy of this file that takes a new number itself
    int otherHere = 0;  // of those, under keys that name other records here
    int elsewhere = 0;  // of those, held here under other keys
    int unplaced = 0;   // of those, naming records neither copy has
    int renumberedTo = 0;  // this copy's new number, when it took one
    int invitesJoined = 0; // second invitations of one person to one event undone
    int seatsUndone = 0;   // seats taken away to keep the seating rules
    bool numberBack = false;  // that number is one it had before its file was put back
    int movedAway = 0;  // records this copy added after its file was put back, moved to new keys
    int resent = 0;     // records and deletions the other copy lost by going back to an older file,
                        // sent back with this copy's next replica
};

// The computer replicas are prepared on (its host name); tests may name one.
QString thisComputer();
void setComputer(const QString& name);

// What to do with a replica of a copy that has this copy's number, when
// this copy is the one of the two to take a new number.
enum class SameNumber { Refuse, Renumber };

// Merges a received replica into the database on conn, whole or not at all,
// after keeping a copy of the database. A replica that does not fit, or
// comes from a third copy of the wedding, is refused before anything
// changes. Of two copies with one number exactly one takes a new number
// (see whoRenumbers in synchro_inspect.cpp); when it is this one, SameNumber::Refuse
// throws SameCopyNumber, SameNumber::Renumber renumbers first.
Merged Synchronize(ado::Connection& conn, const QString& replicaPath, const Progress& progress = {},
                   SameNumber same = SameNumber::Refuse);

// The text shown after "Synchronization complete." ("" when nothing was
// skipped and no number changed).
QString mergeSummary(const Merged& m);

// Gives every record the log names a version from its latest log time, for
// a database made before records had versions. Runs inside the caller's
// transaction.
void versionsFromLog(ado::Connection& conn);

// Drops the marks an earlier build drew for records taken from the other
// copy (see synchro.cpp). Runs inside the caller's transaction.
void marksOfEarlierBuild(ado::Connection& conn);

}  // namespace synchro
