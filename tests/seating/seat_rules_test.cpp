// The seating rules apart from the window: seat positions for a new seat and
// for rows without one, and what each drop of a dragged person does.

#include "seating/seatrules.h"

#include "support/printers.h"

#include <gtest/gtest.h>

using namespace seating;

TEST(SeatRules, ANewSeatTakesTheLowestFreePositionElseOnePastTheHighest)
{
    const struct {
        QVector<int> taken;
        int seats, expected;
    } cases[] = {
        {{}, 4, 0}, {{0, 1, 3}, 4, 2}, {{1, 2}, 4, 0}, {{0, 1, 2, 3}, 4, 4},
        {{0, 1, 2, 3, 7}, 4, 8}, {{5, 9}, 0, 10}, {{}, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lowestFreePosition(c.taken, c.seats), c.expected) << c.taken.size() << " taken of " << c.seats;

    // Rows without a seat get the lowest positions no other row holds.
    EXPECT_EQ(withoutNegativePositions({-1, -1, 0}), QVector<int>({1, 2, 0}));
    EXPECT_EQ(withoutNegativePositions({-5, 0, 1, 3}), QVector<int>({2, 0, 1, 3}));
    EXPECT_EQ(withoutNegativePositions({2, 7}), QVector<int>({2, 7}));

    EXPECT_EQ(keyNumber("S12"), 12);
    EXPECT_EQ(keyNumber("T4000001"), 4000001);
    for (const char* bad : {"ROOT", "S", "", "Sx1", "S-3"})
        EXPECT_EQ(keyNumber(bad), 0) << bad;
}

TEST(SeatRules, EachDropSeatsMovesUnseatsOrRefuses)
{
    using A = DropAction;
    const auto tablesTree = [](const char* node, const char* parent = "ROOT", bool same = false) {
        DropPlace p;
        p.on = DropOn::TablesTree;
        p.nodeKey = node;
        p.parentKey = parent;
        p.sameNode = same;
        return p;
    };
    const auto seatBox = [](int seat, bool taken, bool drawn = false) {
        DropPlace p;
        p.on = DropOn::SeatBox;
        p.seat = seat;
        p.seatTaken = taken;
        p.personDrawn = drawn;
        p.shownTableKey = "T5";
        return p;
    };
    DropPlace invitedTree;
    invitedTree.on = DropOn::InvitedTree;
    const Dragged invitee{DragFrom::InvitedTree, "S7", ""};
    const Dragged seated{DragFrom::TablesTree, "S9", "T5"};
    const Dragged seatOf9{DragFrom::SeatBox, "S9", "T5"};
    const Dragged freeSeat{DragFrom::SeatBox, "", "T5"};

    const struct {
        const char* name;
        Dragged d;
        DropPlace p;
        DropDecision expected;
    } cases[] = {
        {"invited to a table", invitee, tablesTree("T8"), {A::SeatAt, 7, 0, 8, -1, {}}},
        {"invited to a seated person", invitee, tablesTree("S3", "T8"), {A::SeatAt, 7, 0, 8, -1, {}}},
        {"invited to the root", invitee, tablesTree("ROOT", ""), {A::Refuse, 0, 0, 0, -1, kDropOnTable}},
        {"invited to empty space", invitee, tablesTree(""), {}},
        {"invited to a seat", invitee, seatBox(2, false), {A::Refuse, 0, 0, 0, -1, kSelectFromAssignments}},
        {"invited to the invited tree", invitee, invitedTree, {}},
        {"a party node", {DragFrom::InvitedTree, "G4", ""}, tablesTree("T8"), {A::Refuse, 0, 0, 0, -1, kSelectPersonToMove}},
        {"the invited root", {DragFrom::InvitedTree, "ROOT", ""}, tablesTree("T8"),
         {A::Refuse, 0, 0, 0, -1, kSelectPersonToMove}},
        {"seated to another table", seated, tablesTree("T8"), {A::MoveTo, 9, 5, 8, -1, {}}},
        {"seated onto himself", seated, tablesTree("S9", "T5", true), {}},
        {"seated onto his own table", seated, tablesTree("T5"), {}},
        {"seated onto a neighbour", seated, tablesTree("S3", "T5"), {}},
        {"seated to the root", seated, tablesTree("ROOT", ""), {A::Refuse, 0, 0, 0, -1, kDropOnTable}},
        {"seated to the invited tree", seated, invitedTree, {A::Unseat, 9, 5, 0, -1, {}}},
        {"seated to a free seat", seated, seatBox(3, false), {A::MoveToSeat, 9, 5, 5, 3, {}}},
        {"seated and drawn to a seat", seated, seatBox(3, false, true), {A::Refuse, 0, 0, 0, -1, kAlreadySeated}},
        {"seated to a taken seat", seated, seatBox(3, true), {A::Refuse, 0, 0, 0, -1, kSeatUnoccupied}},
        {"seated at another table to a seat", {DragFrom::TablesTree, "S9", "T6"}, seatBox(3, false), {}},
        {"a table node to a table", {DragFrom::TablesTree, "T6", "ROOT"}, tablesTree("T8"),
         {A::Refuse, 0, 0, 0, -1, kSelectPersonToMove}},
        {"a table node to a seat", {DragFrom::TablesTree, "T6", "ROOT"}, seatBox(1, false),
         {A::Refuse, 0, 0, 0, -1, kSelectFromAssignments}},
        {"a table node to the invited tree", {DragFrom::TablesTree, "T6", "ROOT"}, invitedTree, {}},
        {"nothing pressed yet", {DragFrom::TablesTree, "", ""}, tablesTree("T8"),
         {A::Refuse, 0, 0, 0, -1, kSelectPersonToMove}},
        {"seat to a free seat", seatOf9, seatBox(4, false), {A::MoveToSeat, 9, 5, 5, 4, {}}},
        {"seat to a taken seat", seatOf9, seatBox(4, true), {A::Refuse, 0, 0, 0, -1, kSeatUnoccupied}},
        {"free seat to a free seat", freeSeat, seatBox(4, false), {}},
        {"free seat to a taken seat", freeSeat, seatBox(4, true), {A::Refuse, 0, 0, 0, -1, kSeatUnoccupied}},
        {"seat to a table", seatOf9, tablesTree("T8"), {A::MoveTo, 9, 5, 8, -1, {}}},
        {"seat onto its own node", seatOf9, tablesTree("S9", "T5", true), {}},
        {"seat onto its own table", seatOf9, tablesTree("T5"), {}},
        {"seat to the invited tree", seatOf9, invitedTree, {A::Unseat, 9, 5, 0, -1, {}}},
        {"free seat to a table", freeSeat, tablesTree("T8"), {}},
        {"free seat to the invited tree", freeSeat, invitedTree, {}},
    };
    for (const auto& c : cases) {
        const DropDecision got = decideDrop(c.d, c.p);
        EXPECT_EQ(int(got.action), int(c.expected.action)) << c.name;
        EXPECT_EQ(got, c.expected) << c.name << ": " << got.message.toStdString();
    }
}
