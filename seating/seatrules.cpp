#include "seating/seatrules.h"

#include <QSet>

#include <algorithm>

namespace seating {

const QString kDropOnTable = QStringLiteral("Please drop the person onto a table.");
const QString kSelectPersonToMove =
    QStringLiteral("Please select a person's name to move from the Invited-Unassigned Seating column.");
const QString kSeatUnoccupied = QStringLiteral("Please place the guest on a seat that is unoccupied.");
const QString kSelectFromAssignments = QStringLiteral("Please select a guest from the Seating Assignments.");
const QString kAlreadySeated = QStringLiteral("The guest is already seated at this table.");

int lowestFreePosition(const QVector<int>& taken, int seats)
{
    const QSet<int> held(taken.begin(), taken.end());
    for (int p = 0; p < seats; ++p)
        if (!held.contains(p))
            return p;
    return taken.isEmpty() ? 0 : std::max(0, *std::max_element(taken.begin(), taken.end()) + 1);
}

QVector<int> withoutNegativePositions(const QVector<int>& positions)
{
    QSet<int> held;
    for (int p : positions)
        if (p >= 0)
            held.insert(p);
    QVector<int> out = positions;
    int next = 0;
    for (int& p : out) {
        if (p >= 0)
            continue;
        while (held.contains(next))
            ++next;
        p = next;
        held.insert(next);
    }
    return out;
}

qint64 keyNumber(const QString& key)
{
    bool ok = false;
    const qint64 n = key.mid(1).toLongLong(&ok);
    return ok && n > 0 ? n : 0;
}

namespace {

bool isPerson(const QString& key) { return key.startsWith(QLatin1Char('S')) && keyNumber(key) > 0; }

DropDecision refuse(const QString& message) { return {DropAction::Refuse, 0, 0, 0, -1, message}; }

DropDecision onTablesTree(const Dragged& d, const DropPlace& p)
{
    if (!isPerson(d.key))
        return d.from == DragFrom::SeatBox ? DropDecision{} : refuse(kSelectPersonToMove);
    if (p.nodeKey.isEmpty() || p.sameNode)
        return {};
    qint64 table = 0;
    if (p.nodeKey.startsWith(QLatin1Char('T')))
        table = keyNumber(p.nodeKey);
    else if (p.nodeKey.startsWith(QLatin1Char('S')))
        table = keyNumber(p.parentKey);
    if (table == 0)
        return refuse(kDropOnTable);
    // Dropped back on the table he sits at, he keeps his seat.
    if (d.from != DragFrom::InvitedTree && table == keyNumber(d.tableKey))
        return {};
    DropDecision r;
    r.action = d.from == DragFrom::InvitedTree ? DropAction::SeatAt : DropAction::MoveTo;
    r.person = keyNumber(d.key);
    r.fromTable = d.from == DragFrom::InvitedTree ? 0 : keyNumber(d.tableKey);
    r.table = table;
    return r;
}

DropDecision onInvitedTree(const Dragged& d)
{
    if (d.from == DragFrom::InvitedTree || !isPerson(d.key) || keyNumber(d.tableKey) == 0)
        return {};
    return {DropAction::Unseat, keyNumber(d.key), keyNumber(d.tableKey), 0, -1, {}};
}

DropDecision onSeatBox(const Dragged& d, const DropPlace& p)
{
    if (d.from == DragFrom::SeatBox) {
        if (p.seatTaken)
            return refuse(kSeatUnoccupied);
        if (!isPerson(d.key))
            return {};
    } else {
        if (d.from == DragFrom::InvitedTree || !isPerson(d.key))
            return refuse(kSelectFromAssignments);
        if (p.personDrawn)
            return refuse(kAlreadySeated);
        if (p.seatTaken)
            return refuse(kSeatUnoccupied);
    }
    // Only a person of the table the diagram shows moves between its boxes.
    const qint64 table = keyNumber(d.tableKey);
    if (table == 0 || d.tableKey != p.shownTableKey)
        return {};
    return {DropAction::MoveToSeat, keyNumber(d.key), table, table, p.seat, {}};
}

}  // namespace

DropDecision decideDrop(const Dragged& d, const DropPlace& p)
{
    switch (p.on) {
    case DropOn::TablesTree: return onTablesTree(d, p);
    case DropOn::InvitedTree: return onInvitedTree(d);
    case DropOn::SeatBox: return onSeatBox(d, p);
    }
    return {};
}

}  // namespace seating
