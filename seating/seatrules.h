#pragma once
// The rules of seating, apart from any window: which seat position a person
// gets at a table, and what a drop of a dragged person does.

#include <QString>
#include <QVector>

namespace seating {

// The lowest position 0 .. seats-1 that no entry of `taken` holds, else one
// past the highest taken (0 at an empty table).
int lowestFreePosition(const QVector<int>& taken, int seats);

// Positions for the rows of a table in their order: a negative one becomes
// the lowest position no other row holds; the others stay.
QVector<int> withoutNegativePositions(const QVector<int>& positions);

// The record number in a node key ("S12" -> 12); 0 when there is none.
qint64 keyNumber(const QString& key);

// Where a drag began and what it carries.
enum class DragFrom { InvitedTree, TablesTree, SeatBox };
struct Dragged {
    DragFrom from = DragFrom::InvitedTree;
    // The node dragged ("S12", "T3", "G7", "ROOT"), or for a seat box the
    // person drawn in it as "S" & SUBGUEST_ID ("" for a free box).
    QString key;
    // The key of the table node the dragged person stands under (tables
    // tree), or of the shown table (seat box).
    QString tableKey;
};

// Where it was dropped.
enum class DropOn { TablesTree, InvitedTree, SeatBox };
struct DropPlace {
    DropOn on = DropOn::TablesTree;
    // Tables tree: the node under the pointer ("" for none) and its parent's key.
    QString nodeKey, parentKey;
    bool sameNode = false;  // the node under the pointer is the dragged one
    // Seat box: its index, whether someone is drawn in it, and whether the
    // dragged person is already drawn in one of the boxes.
    int seat = -1;
    bool seatTaken = false;
    bool personDrawn = false;
    // The key of the table the diagram shows.
    QString shownTableKey;
};

enum class DropAction {
    Nothing,     // the drop changes nothing
    Refuse,      // a message, nothing changes
    SeatAt,      // an invitee gets a seat at `table`
    MoveTo,      // a seated person moves to `table`
    Unseat,      // a seated person goes back to the invitees
    MoveToSeat,  // a seated person of the shown table moves to box `seat`
};
struct DropDecision {
    DropAction action = DropAction::Nothing;
    qint64 person = 0;
    qint64 fromTable = 0;  // where the person sits now
    qint64 table = 0;      // where he is to sit
    int seat = -1;
    QString message;
    bool operator==(const DropDecision&) const = default;
};

DropDecision decideDrop(const Dragged& d, const DropPlace& p);

extern const QString kDropOnTable;
extern const QString kSelectPersonToMove;
extern const QString kSeatUnoccupied;
extern const QString kSelectFromAssignments;
extern const QString kAlreadySeated;

}  // namespace seating
