#pragma once
// Deleting a record together with everything that hangs on it.
//
// The database has no cascades of its own, so each kind of record knows its
// dependent rows. A cascade runs in one transaction and writes an action-3
// change-log row for every row it removes: all of it happens, or none.

#include "platform/ado/ado.h"

#include <QString>
#include <QVector>

#include <functional>

namespace records {

enum class DeleteKind {
    None,
    Event,
    Guests,
    SubguestFromDetail,
    SubguestFromMain,
    Task,
    Vendor,
    Quote,
    Expense,
    Budget,
    Gift,
    Registry,
    Table,
    FemaleMeasurement,
    MaleMeasurement,
    Attire,
};

// The name a kind goes by ("Event", "SubguestFromMain"); "" for None.
QString deleteKindName(DeleteKind kind);

inline const char* kNothingToDelete = "Nothing to delete.";

// The confirmation shown for a kind and a display text; "Nothing to delete."
// for None. A vendor's (of key delID) says how many of
// its quotes go with it and how many that only name it stay.
QString deleteConfirmation(DeleteKind kind, const QString& delString, qint64 delID = 0);

struct RemovedRow {
    QString table;
    qint64 key = 0;
    bool operator==(const RemovedRow& o) const { return table == o.table && key == o.key; }
    bool operator<(const RemovedRow& o) const { return table != o.table ? table < o.table : key < o.key; }
};

struct DeleteOutcome {
    bool ok = true;
    QString error;               // what to tell the user when !ok
    QVector<RemovedRow> removed; // every row removed (and logged), empty on failure
};

// Removes the record `id` of `kind` with its dependent rows and logs each one.
// On failure nothing is removed or logged and `error` says why. A gift's
// picture file goes only after its row is gone (see removeGiftPicture).
DeleteOutcome deleteRecord(DeleteKind kind, qint64 id);

// Deletes the row `key` of `table` with everything that hangs on it, as
// deleting that record here does, inside the caller's transaction.
// `removing` hears of every row just before it goes (to log it). A table
// without a cascade of its own loses that one row. Throws ado::Error.
void deleteWithCascade(ado::Connection& c, const QString& table, qint64 key,
                       const std::function<void(const RemovedRow&)>& removing);

// The columns that hold another record's key: a row of `table` whose
// `column` holds a key of `parent` hangs on that record, and goes with it.
// Such a row always names its record, but where the reference is optional
// (a quote may name its vendor by text alone): there NULL or 0 names none.
struct KeyReference {
    const char* table;
    const char* column;
    const char* parent;
    bool optional = false;
};
const QVector<KeyReference>& keyReferences();


// The folder the program keeps gift pictures in: data/images/gifts/ under the
// user's data folder.
QString giftPictureFolder();
// True when the file lies inside that folder (symbolic links resolved).
bool isInGiftPictureFolder(const QString& path);
// Deletes a removed gift's picture when it lies in the picture folder and no
// remaining gift names the same file; true when a file was deleted.
bool removeGiftPicture(const QString& path);

}  // namespace records
