#pragma once
// The seating of an event as the database holds it: who is invited, who sits
// where, the event's tables; and the writes that seat, move and unseat people
// and add, size and rename tables. Reads run on the shared connection; each
// write logs what it changed and throws (ado::Error) when the database
// refuses, so the caller runs it inside one transaction with its log rows.

#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

namespace seating {

// A person as the trees and the diagram name him: first name, blank, last name.
QString personName(const QVariant& first, const QVariant& last);
// A table's name as shown, "Unnamed" when it has none.
QString tableName(const QVariant& name);

struct Invitee {
    qint64 guestId = 0;
    QVariant partyName;  // may be NULL
    qint64 subguestId = 0;
    QString first, last;
    QString name() const { return personName(first, last); }
};
// One invited person, when he is invited to the event.
std::optional<Invitee> invitedPerson(qint64 eventId, qint64 subguestId);
// Each party with someone invited to the event who has no seat there yet,
// its key and name: parties without a name first, then by name (the
// parties of one name one after the other), then by key.
void forEachWaitingParty(qint64 eventId, const std::function<void(qint64 guestId, const QVariant& name)>& party);
// Those invited to the event and not seated there yet, of one party.
QVector<Invitee> waitingOfParty(qint64 eventId, qint64 guestId);

struct SeatedPerson {
    qint64 seatingId = 0;  // filled by tableSeating only
    qint64 subguestId = 0;
    QString first, last;
    qint64 tableId = 0;
    int pos = -1;  // a NULL position reads as -1: no seat box yet
    QString name() const { return personName(first, last); }
};
// The tables of the event where someone is seated.
QSet<qint64> tablesWithPeople(qint64 eventId);
// The people seated at one table of the event, in the order they were seated.
QVector<SeatedPerson> seatedAt(qint64 eventId, qint64 tableId);
// The tables of the event where the person is seated.
QVector<qint64> tablesOfPerson(qint64 eventId, qint64 subguestId);
// The people seated at one table of the event, by seat position.
QVector<SeatedPerson> tableSeating(qint64 eventId, qint64 tableId);

struct TableInfo {
    qint64 tableId = 0;
    QVariant name;  // may be NULL
    int seats = 0;
    QVariant type;  // the shape's style; may be NULL
    qint64 eventId = 0;
    QString text() const { return tableName(name); }
};
// The event's tables, in the order the database keeps them.
QVector<TableInfo> eventTables(qint64 eventId);
std::optional<TableInfo> tableOf(qint64 tableId);

// ---------------------------------------------------------------- writes

// A write under a record that is gone meanwhile (the event, the table, the
// person, his invitation to the event or his seat; another window or copy
// may have deleted it) is refused with editing::Refused and writes nothing;
// so is a seat for a person seated at the event meanwhile.
extern const QString kNoLongerInvited;
extern const QString kSeatedMeanwhile;

// A new table of the event, "Table n" (n counting the event's tables with
// it), 4 seats, shape style 5; returns its key.
qint64 addTable(qint64 eventId);
// Stores a table's seat count.
void setTableSeats(qint64 tableId, int seats);
// Stores a table's name.
void renameTable(qint64 tableId, const QString& name);

// Seats a person invited to the table's event, and not seated at it yet, at
// the lowest free position of the table; returns the new SEATING_ID.
qint64 seatPerson(qint64 tableId, qint64 subguestId);
// Moves a seated person to another table (or within his own) at the lowest
// free position there; returns the rows moved.
int moveToTable(qint64 fromTable, qint64 toTable, qint64 subguestId);
// Moves a seated person to a seat position of his table; returns the rows moved.
int moveToSeat(qint64 tableId, qint64 subguestId, int pos);
// Takes a person's seat at the table away; returns the rows removed.
int unseatPerson(qint64 tableId, qint64 subguestId);
// Stores new positions for the table's rows (by SEATING_ID); rows whose
// position does not change are left alone.
void storePositions(qint64 tableId, const QVector<SeatedPerson>& rows, const QVector<int>& positions);

}  // namespace seating
