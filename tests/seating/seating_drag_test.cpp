// Seating with the mouse: people dragged between the trees and the seat
// boxes, each drop written with its log row before the trees change, and
// tables renamed in place.

#include "support/editors.h"
#include "support/gui.h"
#include "support/trees.h"
#include "support/userinput.h"

#include "platform/ui/dragdrop.h"
#include "seating/seating_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QWindow>

using seating::keyNumber;
using testsupport::SeatingTest;

namespace {

class SeatingDragTest : public SeatingTest {
protected:
    void SetUp() override
    {
        SeatingTest::SetUp();
        ev = event("Reception");
        smith = party("Smith");
        ann = person(smith, "Ann", "Smith", {ev});
        bob = person(smith, "Bob", "Smith", {ev});
        cy = person(party("Ito"), "Cy", "Ito", {ev});
        head = table(ev, "Head", 4);
        side = table(ev, "Side", 6);
        cySeat = seat(head, cy, 1);
        open(ev);
    }
    seating::SeatBox* box(int i) { return f().picSeat[i]; }
    qint64 ev = 0, smith = 0, ann = 0, bob = 0, cy = 0, head = 0, side = 0, cySeat = 0;
};

}  // namespace

TEST_F(SeatingDragTest, AnInviteeDroppedOnATableOrItsGuestIsSeatedThere)
{
    frmSeating& s = f();
    // Onto the table node: the lowest free seat, 0.
    dragNode(s.treeInvited, sKey(ann), s.treeTables, tKey(head));
    EXPECT_EQ(seatedAt(ann), tKey(head));
    EXPECT_EQ(pos(head, ann), 0);
    const qint64 annSeat = db().scalar("SELECT SEATING_ID FROM SEATING WHERE SUBGUEST_ID = ?", {ann}).toLongLong();
    EXPECT_EQ(logRows("SEATING", annSeat, 1), 1);
    EXPECT_EQ(dump(s.treeInvited), "Invited[Smith[Bob Smith]]");
    EXPECT_EQ(dump(s.treeTables), "Tables[Head[Cy Ito,Ann Smith],Side]");
    EXPECT_EQ(s.curTable, head);
    EXPECT_EQ(s.picSeat[0]->printed(), QStringList({"Ann ", "Smith"}));
    EXPECT_EQ(s.seatOccupants()[1], cy);
    EXPECT_EQ(s.treeTables->dropHighlight(), nullptr);
    EXPECT_FALSE(s.dragging());

    // Onto a person seated at a table: that person's table, the next free seat.
    dragNode(s.treeInvited, sKey(bob), s.treeTables, sKey(cy));
    EXPECT_EQ(seatedAt(bob), tKey(head));
    EXPECT_EQ(pos(head, bob), 2);
    EXPECT_EQ(s.picSeat[2]->printed(), QStringList({"Bob ", "Smith"}));
    EXPECT_EQ(dump(s.treeInvited), "Invited[Smith]") << "the party node stays, also empty";
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(SeatingDragTest, SeatedPeopleMoveBetweenTablesAndBackToTheInvitees)
{
    frmSeating& s = f();
    // Dropped back on his own table, from its tree or from his seat box, he
    // keeps his seat.
    dragNode(s.treeTables, sKey(cy), s.treeTables, tKey(head));
    drag(box(1), middle(box(1)), s.treeTables->viewport(), at(s.treeTables, tKey(head)));
    EXPECT_EQ(pos(head, cy), 1);
    EXPECT_EQ(logRows("SEATING", cySeat, 2), 0);

    dragNode(s.treeTables, sKey(cy), s.treeTables, tKey(side));
    EXPECT_EQ(seatedAt(cy), tKey(side));
    EXPECT_EQ(pos(side, cy), 0);
    EXPECT_EQ(logRows("SEATING", cySeat, 2), 1);
    EXPECT_EQ(dump(s.treeTables), "Tables[Head,Side[Cy Ito]]");
    EXPECT_EQ(s.curTable, side);

    // Dropped on himself nothing changes.
    dragNode(s.treeTables, sKey(cy), s.treeTables, sKey(cy));
    EXPECT_EQ(seatedAt(cy), tKey(side));

    // Back onto the invited tree: unseated, under his party again.
    dragNode(s.treeTables, sKey(cy), s.treeInvited, "");
    EXPECT_EQ(seatedAt(cy), "");
    EXPECT_EQ(logRows("SEATING", cySeat, 3), 1);
    EXPECT_EQ(dump(s.treeInvited), "Invited[Ito[Cy Ito],Smith[Ann Smith,Bob Smith]]");
    EXPECT_EQ(dump(s.treeTables), "Tables[Head,Side]");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(SeatingDragTest, PartiesAndTablesReadTheirPeopleWhenTheyAreOpened)
{
    frmSeating& s = f();
    seat(side, bob, 0);
    // Two parties of one name share a node; one spelled otherwise does not.
    person(party("Smith"), "Dee", "Smith", {ev});
    person(party("smith"), "Eve", "smith", {ev});
    s.GetInvitees();
    const QString smithKey = "G" + QString::number(smith);
    // Nothing under a party or a table is read before it is opened; each
    // shows that it can be, a table without people does not.
    const struct {
        tree::TreeView* tree;
        QString key;
        bool opens;
    } nodes[] = {{s.treeInvited, smithKey, true}, {s.treeTables, tKey(head), true}, {s.treeTables, tKey(side), true}};
    for (const auto& n : nodes) {
        tree::Node* node = n.tree->node(n.key);
        ASSERT_TRUE(node) << n.key.toStdString();
        EXPECT_EQ(node->childCount(), 0) << n.key.toStdString();
        EXPECT_EQ(node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator, n.opens) << n.key.toStdString();
    }
    // A table with someone at it, not opened yet, is not dragged.
    dragNode(s.treeTables, tKey(side), s.treeTables, tKey(head));
    EXPECT_TRUE(shown().isEmpty()) << shown().join('\n').toStdString();
    EXPECT_EQ(seatedAt(bob), tKey(side));
    // Opened by the keyboard, as a user opens it.
    const struct {
        tree::TreeView* tree;
        QString key;
        const char* people;
    } opened[] = {{s.treeInvited, smithKey, "Smith[Ann Smith,Dee Smith]"}, {s.treeTables, tKey(head), "Head[Cy Ito]"}};
    for (const auto& o : opened) {
        press(o.tree, o.key);
        QTest::keyClick(o.tree, Qt::Key_Right);
        EXPECT_TRUE(o.tree->node(o.key)->isExpanded());
        const tree::Node* n = o.tree->node(o.key);
        QStringList people;
        for (int i = 0; i < n->childCount(); ++i)
            people << n->child(i)->text(0);
        EXPECT_EQ(n->text(0) + '[' + people.join(',') + ']', o.people);
    }
}

TEST_F(SeatingDragTest, SeatBoxesMoveTheirPersonOnlyToAFreeSeat)
{
    frmSeating& s = f();
    press(s.treeTables, tKey(head));
    // Opened: its people are read now.
    s.treeTables->expandItem(s.treeTables->node(tKey(head)));
    ASSERT_TRUE(box(1)->isVisible());
    drag(box(1), middle(box(1)), box(3), middle(box(3)));
    EXPECT_EQ(pos(head, cy), 3);
    EXPECT_EQ(logRows("SEATING", cySeat, 2), 1);
    EXPECT_EQ(box(3)->printed(), QStringList({"Cy ", "Ito"}));
    EXPECT_TRUE(box(1)->printed().isEmpty());

    // Onto an occupied box (or the same one): refused.
    seat(head, ann, 0);
    press(s.treeTables, tKey(head));
    drag(box(3), middle(box(3)), box(0), middle(box(0)));
    drag(box(3), middle(box(3)), box(3), middle(box(3)) + QPoint(-15, 0));
    EXPECT_EQ(shown(), QStringList(2, "Please place the guest on a seat that is unoccupied."));
    EXPECT_EQ(pos(head, cy), 3);

    // A seat box onto a table node moves the person in it, whatever was last
    // pressed in a tree.
    press(s.treeInvited, sKey(bob));
    drag(box(3), middle(box(3)), s.treeTables->viewport(), at(s.treeTables, tKey(side)));
    EXPECT_EQ(seatedAt(cy), tKey(side));
    EXPECT_EQ(seatedAt(bob), "");
    EXPECT_EQ(dump(s.treeTables), "Tables[Head,Side[Cy Ito]]") << "Ann was seated behind the window's back, after the table was opened";
    EXPECT_EQ(s.curTable, side);
}

TEST_F(SeatingDragTest, RefusedDropsSayWhyAndChangeNothing)
{
    frmSeating& s = f();
    const struct {
        const char* name;
        std::function<void()> act;
        const char* message;
    } cases[] = {
        {"invitee onto a seat box",
         [&] {
             press(s.treeTables, tKey(head));
             drag(s.treeInvited->viewport(), at(s.treeInvited, sKey(ann)), box(0), middle(box(0)));
         },
         "Please select a guest from the Seating Assignments."},
        {"a drawn guest onto a seat box",
         [&] { drag(s.treeTables->viewport(), at(s.treeTables, sKey(cy)), box(2), middle(box(2))); },
         "The guest is already seated at this table."},
        {"invitee onto the root", [&] { dragNode(s.treeInvited, sKey(ann), s.treeTables, "ROOT"); },
         "Please drop the person onto a table."},
        {"a table without persons", [&] { dragNode(s.treeTables, tKey(side), s.treeTables, tKey(head)); },
         "Please select a person's name to move from the Invited-Unassigned Seating column."},
        {"a party emptied of its persons",
         [&] {
             s.treeInvited->remove(s.treeInvited->node(sKey(ann)));
             s.treeInvited->remove(s.treeInvited->node(sKey(bob)));
             dragNode(s.treeInvited, "G" + QString::number(smith), s.treeTables, tKey(side));
         },
         "Please select a person's name to move from the Invited-Unassigned Seating column."},
    };
    for (const auto& c : cases) {
        messages.msgs->shown.clear();
        c.act();
        EXPECT_EQ(shown(), QStringList{c.message}) << c.name;
    }
    EXPECT_EQ(testsupport::counts("SEATING SYNCHRO"), "1 0");
    EXPECT_EQ(pos(head, cy), 1);
}

TEST_F(SeatingDragTest, ADragLetGoAnywhereLeavesNothingHalfDone)
{
    frmSeating& s = f();
    const auto endings = {
        std::function<void(QPoint)>([&](QPoint) {  // let go beside the trees
            QTest::mouseMove(s.Label3, QPoint(5, 5));
            QTest::mouseRelease(s.Label3, Qt::LeftButton, {}, QPoint(5, 5));
        }),
        std::function<void(QPoint over)>([&](QPoint over) {  // Escape over a table, then let go
            QTest::keyClick(s.treeTables->viewport(), Qt::Key_Escape);
            QTest::mouseRelease(s.treeTables->viewport(), Qt::LeftButton, {}, over);
        }),
    };
    for (const auto& end : endings) {
        const QPoint from = at(s.treeInvited, sKey(ann)), over = at(s.treeTables, tKey(side));
        QTest::mousePress(s.treeInvited->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(s.treeInvited->viewport(), from + QPoint(12, 2));
        QTest::mouseMove(s.treeTables->viewport(), over);
        ASSERT_TRUE(s.dragging());
        ASSERT_EQ(s.treeTables->dropHighlight(), s.treeTables->node(tKey(side)));
        end(over);
        QCoreApplication::processEvents();
        EXPECT_FALSE(s.dragging());
        EXPECT_EQ(s.treeTables->dropHighlight(), nullptr);
        EXPECT_EQ(s.treeInvited->dropHighlight(), nullptr);
        EXPECT_EQ(seatedAt(ann), "");
    }
    // The next drag starts afresh from the node pressed.
    dragNode(s.treeInvited, sKey(bob), s.treeTables, tKey(side));
    EXPECT_EQ(seatedAt(bob), tKey(side));
    EXPECT_EQ(seatedAt(ann), "");
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(SeatingDragTest, ADropTheDatabaseRefusesLeavesTheTreesAsStored)
{
    frmSeating& s = f();
    db().Execute("CREATE TRIGGER full_room BEFORE INSERT ON SEATING BEGIN SELECT RAISE(ABORT, 'room is full'); END");
    dragNode(s.treeInvited, sKey(ann), s.treeTables, tKey(side));
    ASSERT_EQ(shown().size(), 1);
    EXPECT_TRUE(shown()[0].startsWith("The changes could not be saved."));
    EXPECT_TRUE(shown()[0].contains("room is full"));
    EXPECT_EQ(seatedAt(ann), "");
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 0) << "no log row without its write";
    EXPECT_EQ(dump(s.treeTables), "Tables[Head[Cy Ito],Side]");
    EXPECT_TRUE(s.treeInvited->node(sKey(ann)));
}

TEST_F(SeatingDragTest, OnlyATablesNameIsEditedInPlaceAndAnEmptyNameIsRefused)
{
    frmSeating& s = f();
    tree::TreeView* t = s.treeTables;
    auto rename = [&](const QString& key, const QString& text) {
        press(t, key);
        QTest::keyClick(t, Qt::Key_F2);
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : t->findChildren<QLineEdit*>())
            if (e->isVisible())
                editor = e;
        if (!editor)
            return false;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        return true;
    };
    EXPECT_FALSE(rename("ROOT", "Hall"));
    EXPECT_FALSE(rename(sKey(cy), "Someone"));
    ASSERT_TRUE(rename(tKey(head), "Bride's table"));
    EXPECT_EQ(db().scalar("SELECT TABLE_NAME FROM TABLES WHERE TABLE_ID = ?", {head}).toString(), "Bride's table");
    EXPECT_EQ(t->node(tKey(head))->text(0), "Bride's table");
    EXPECT_EQ(logRows("TABLES", head, 2), 1);
    EXPECT_EQ(s.lblTableName->text(), "\nHead") << "the diagram keeps the old name until shown again";

    ASSERT_TRUE(rename(tKey(side), ""));
    EXPECT_EQ(t->node(tKey(side))->text(0), "Side");
    EXPECT_EQ(db().scalar("SELECT TABLE_NAME FROM TABLES WHERE TABLE_ID = ?", {side}).toString(), "Side");
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 1);
}

TEST_F(SeatingDragTest, ADragRoutedAsTheWindowSystemRoutesItSeatsTheInvitee)
{
    // Events sent to the window go to the pressed widget until the release,
    // as under a real mouse; the drop still lands where the pointer is.
    frmSeating& s = f();
    QWindow* win = s.window()->windowHandle();
    ASSERT_TRUE(win);
    const auto inWindow = [&](tree::TreeView* t, const QString& key) {
        return t->viewport()->mapTo(s.window(), at(t, key));
    };
    const QPoint from = inWindow(s.treeInvited, sKey(bob)), to = inWindow(s.treeTables, tKey(side));
    QTest::mousePress(win, Qt::LeftButton, {}, from);
    QTest::mouseMove(win, from + QPoint(12, 3));
    QTest::mouseMove(win, to);
    QTest::mouseRelease(win, Qt::LeftButton, {}, to);
    QCoreApplication::processEvents();
    EXPECT_EQ(seatedAt(bob), tKey(side));
    EXPECT_EQ(dump(s.treeTables), "Tables[Head[Cy Ito],Side[Bob Smith]]");
}

TEST_F(SeatingDragTest, EscapeEndsADragAndTheButtonStillHeldDropsNothing)
{
    frmSeating& s = f();
    QWindow* win = s.window()->windowHandle();
    ASSERT_TRUE(win);
    press(s.treeTables, tKey(head));
    const auto inWindow = [&](QWidget* w, QPoint p) { return w->mapTo(s.window(), p); };
    const struct {
        const char* name;
        QWidget* from;
        QPoint at;
    } drags[] = {
        {"an invitee", s.treeInvited->viewport(), at(s.treeInvited, sKey(ann))},
        {"a seated guest in the tree", s.treeTables->viewport(), at(s.treeTables, sKey(cy))},
        {"a seat box", box(1), middle(box(1))},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.name);
        const QPoint from = inWindow(d.from, d.at), to = inWindow(s.treeTables->viewport(), at(s.treeTables, tKey(side)));
        QTest::mousePress(win, Qt::LeftButton, {}, from);
        QTest::mouseMove(win, from + QPoint(12, 3));
        QTest::mouseMove(win, to);
        ASSERT_TRUE(ui::isDragging());
        QTest::keyClick(win, Qt::Key_Escape);
        EXPECT_FALSE(ui::isDragging());
        // The button still held goes on over the table and is let go there.
        QTest::mouseMove(win, from + QPoint(14, 6));
        QTest::mouseMove(win, to + QPoint(2, 1));
        EXPECT_FALSE(ui::isDragging());
        QTest::mouseRelease(win, Qt::LeftButton, {}, to);
        QCoreApplication::processEvents();
        EXPECT_EQ(s.treeTables->dropHighlight(), nullptr);
    }
    EXPECT_EQ(testsupport::counts("SEATING SYNCHRO"), "1 0");
    EXPECT_EQ(pos(head, cy), 1);
    EXPECT_TRUE(shown().isEmpty());
    // The next drag goes as ever.
    dragNode(s.treeInvited, sKey(bob), s.treeTables, tKey(side));
    EXPECT_EQ(seatedAt(bob), tKey(side));
}

namespace {

// A reception of a hundred people in parties of four, names long and
// accented, and ten tables of ten.
class SeatingCrowdTest : public SeatingTest {
protected:
    void SetUp() override
    {
        SeatingTest::SetUp();
        ado::Transaction quick(db());
        ev = event("Réception au Château");
        const QStringList families = {"Álvarez-Montenegro", "Björklund", "Çelik", "Dubois-Lefèvre", "Nakamura"};
        for (int i = 0; i < 100; ++i) {
            if (i % 4 == 0)
                guest = party(QString("%1 %2").arg(families[i / 4 % 5]).arg(i / 4));
            people << person(guest, QString("Zoë-Margarethe %1").arg(i, 3, 10, QChar('0')), families[i / 4 % 5], {ev});
        }
        for (int t = 0; t < 10; ++t)
            tables << table(ev, QString("Table %1 by the long window").arg(t + 1), 10);
        quick.commit();
    }
    int seatedCount() { return int(count("SELECT COUNT(*) FROM SEATING")); }
    qint64 ev = 0, guest = 0;
    QVector<qint64> people, tables;
};

}  // namespace

TEST_F(SeatingCrowdTest, APressOnAPartlyShownRowDragsThatPersonOntoATableScrolledIntoView)
{
    ado::Transaction quick(db());
    for (int i = 0; i < 30; ++i)
        seat(tables[i / 3], people[i], i % 3);
    quick.commit();
    frmSeating& s = open(ev);
    ASSERT_TRUE(testsupport::showActive(s.window()));
    tree::TreeView* from = s.treeInvited;
    tree::TreeView* to = s.treeTables;
    to->expandAll();
    to->scrollToTop();
    const tree::Node* last = to->node(tKey(tables[9]));
    ASSERT_TRUE(to->nodeRect(last).top() > to->viewport()->height()) << "the last table is off screen";

    // The row the bottom edge of the invited tree cuts, pressed and held.
    tree::Node* cut = testsupport::rowCutAtTheBottom(from);
    ASSERT_TRUE(cut);
    const QString pressed = tree::TreeView::key(cut);
    const QPoint p = testsupport::pressAndHold(from, cut);
    QTest::mouseMove(from->viewport(), p + QPoint(1, 1));
    QTest::mouseMove(from->viewport(), p + QPoint(20, -4));
    // Held at the bottom edge of the tables tree, it scrolls to the last table.
    const QPoint edge(40, to->viewport()->height() - 3);
    QTest::mouseMove(to->viewport(), edge);
    EXPECT_TRUE(QTest::qWaitFor([&] { return to->viewport()->rect().contains(to->nodeRect(last)); }, 20000));
    const QPoint onLast = to->nodeRect(last).center();
    QTest::mouseMove(to->viewport(), onLast);
    EXPECT_EQ(to->dropHighlight(), last);
    QTest::mouseRelease(to->viewport(), Qt::LeftButton, {}, onLast);
    QCoreApplication::processEvents();

    EXPECT_EQ(seatedAt(keyNumber(pressed)), tKey(tables[9]));
    EXPECT_EQ(seatedCount(), 31);
    EXPECT_EQ(s.curTable, tables[9]);
    EXPECT_EQ(to->selectedNode(), last) << "the table the diagram shows";
    EXPECT_FALSE(s.dragging());
    EXPECT_EQ(to->dropHighlight(), nullptr);
    EXPECT_EQ(from->dropHighlight(), nullptr);
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(SeatingCrowdTest, AHundredPeopleDraggedOneByOneOntoTenTables)
{
    frmSeating& s = open(ev);
    ASSERT_TRUE(testsupport::showActive(s.window()));
    for (int i = 0; i < 100; ++i) {
        const qint64 t = tables[(i * 7) % 10];
        dragNode(s.treeInvited, sKey(people[i]), s.treeTables, tKey(t));
        ASSERT_EQ(seatedAt(people[i]), tKey(t)) << i;
        ASSERT_EQ(seatedCount(), i + 1);
        ASSERT_EQ(count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'SEATING' AND SYNCHRO_ACTION = 1"), i + 1);
        ASSERT_EQ(tree::TreeView::key(s.treeTables->node(sKey(people[i]))->parent()), tKey(t));
        ASSERT_FALSE(s.treeInvited->node(sKey(people[i])));
        ASSERT_EQ(s.treeTables->selectedNode(), s.treeTables->node(tKey(t)));
    }
    // Ten at each table, on ten different seats.
    EXPECT_EQ(rows("SELECT COUNT(DISTINCT SEATING_POS) || '/' || COUNT(*) FROM SEATING GROUP BY TABLE_ID"),
              QStringList(10, "10/10"));
    EXPECT_TRUE(shown().isEmpty());
}

// A table or party name cut by the width of its tree shows whole as its tooltip.
TEST_F(SeatingTest, ANameCutInATreeShowsWholeAsItsTooltip)
{
    const QString longTable = "Table of the Bride's University Friends from Montréal";
    const QString longParty = "The Castellano-Fitzgerald Family of Saint-Jean-sur-Richelieu";
    const qint64 ev = event("Reception");
    const qint64 big = table(ev, longTable, 8), small = table(ev, "Head", 4);
    const qint64 ann = person(party(longParty), "Ann", "Lee", {ev});
    frmSeating& s = open(ev);
    ASSERT_TRUE(testsupport::showActive(s.widget()));
    tree::Node* annNode = s.treeInvited->node(sKey(ann));
    ASSERT_TRUE(annNode);
    const struct {
        tree::TreeView* tree;
        tree::Node* node;
        QString tip;
    } cases[] = {
        {s.treeTables, s.treeTables->node(tKey(big)), longTable},
        {s.treeTables, s.treeTables->node(tKey(small)), ""},
        {s.treeInvited, annNode, ""},
        {s.treeInvited, annNode->parent(), longParty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tip.toStdString());
        ASSERT_TRUE(c.node);
        c.tree->ensureVisible(c.node);
        EXPECT_EQ(testsupport::hover(c.tree->viewport(), c.tree->nodeRect(c.node).center()), c.tip);
    }
}
