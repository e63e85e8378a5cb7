// The invitation window as a user drives it: persons and parties moved by
// button and by drag, moves that move nothing or are refused, the RSVP view.

#include "support/editors.h"
#include "support/mainwindow.h"
#include "support/trees.h"
#include "support/userinput.h"

#include "guests/frmInvite.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/dragdrop.h"

#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QWindow>

namespace {

using testsupport::click;

class InviteWindow : public testsupport::MainWindowTest<> {
protected:
    static frmInvite& f() { return frmInvite::instance(); }
    qint64 add(const QString& sql, ado::Params p)
    {
        const qint64 id = db().reserveKey(sql.section(' ', 2, 2));
        p.prepend(id);
        db().Execute(sql, p);
        return id;
    }
    // Each person is known by the first name.
    void party(const QString& name, const QStringList& firsts)
    {
        const qint64 g = add("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, ?)", {name});
        for (const QString& first : firsts)
            person[first] = add("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) "
                                "VALUES (?, ?, ?, ?)", {g, first, name});
    }
    void invited(const QString& first, qint64 ev)
    {
        add("INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID) VALUES (?, ?, ?)", {ev, person[first]});
    }
    // Opens the window, active as a user's window is, and acts on it.
    void open(const std::function<void(frmInvite&)>& act)
    {
        modal.modal->once("frmInvite", [&](ui::FormBase&) {
            EXPECT_TRUE(testsupport::showActive(f().window()));
            act(f());
        });
        f().Show(ui::vbModal);
    }
    // Every party's persons read, none opened, as a user would see them on opening each.
    static void readAll(tree::TreeView* t)
    {
        const tree::Node* root = t->firstNode();
        for (int i = 0; root && i < root->childCount(); ++i)
            t->loadChildren(root->child(i));
    }
    // Parties with their persons in text order; every key once.
    static QString shape(tree::TreeView* t)
    {
        readAll(t);
        QSet<QString> keys;
        for (QTreeWidgetItemIterator it(t); *it; ++it)
            EXPECT_TRUE(!keys.contains(frmInvite::key(*it)) && (keys.insert(frmInvite::key(*it)), true));
        QTreeWidgetItem* root = t->topLevelItem(0);
        EXPECT_TRUE(t->topLevelItemCount() == 1 && frmInvite::key(root) == "ROOT");
        QStringList parties;
        for (int i = 0; i < root->childCount(); ++i) {
            QStringList persons;
            for (int j = 0; j < root->child(i)->childCount(); ++j)
                persons << root->child(i)->child(j)->text(0);
            persons.sort();
            parties << root->child(i)->text(0) + (root->child(i)->isExpanded() ? "+[" : "[") + persons.join(',') + "]";
        }
        parties.sort();
        return parties.join(' ');
    }
    static QString both() { return shape(f().treeUninvited) + " | " + shape(f().treeInvited); }
    // Where a node is shown, its party opened as a user opens it.
    static QPoint at(tree::TreeView* t, const QString& text)
    {
        const auto find = [&] { return t->findItems(text, Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchCaseSensitive); };
        auto found = find();
        if (found.isEmpty()) {
            readAll(t);
            found = find();
        }
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        if (found.isEmpty())
            return {};
        if (QTreeWidgetItem* p = found[0]->parent())
            t->expandItem(p);
        return t->visualItemRect(found[0]).center();
    }
    static void pick(tree::TreeView* t, const QString& text)
    {
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at(t, text));
    }
    // Presses on the node, moves with the button held over the other tree
    // and lets go there, the events routed by the window as a real mouse's
    // are; with `escape`, Escape is pressed on the way and the mouse goes on
    // all the same. True when a drag began.
    static bool drag(tree::TreeView* from, const QString& text, tree::TreeView* to, bool escape = false)
    {
        QWindow* win = from->window()->windowHandle();
        const auto inWindow = [&](QTreeWidget* t, QPoint p) { return t->viewport()->mapTo(t->window(), p); };
        const QPoint p = inWindow(from, at(from, text));
        QTest::mousePress(win, Qt::LeftButton, {}, p);
        QTest::mouseMove(win, p + QPoint(0, 2));  // not yet a drag
        QTest::mouseMove(win, p + QPoint(30, 10));
        const bool began = ui::isDragging();
        if (escape) {
            QTest::keyClick(win, Qt::Key_Escape);
            EXPECT_FALSE(ui::isDragging());
            QTest::mouseMove(win, p + QPoint(40, 12));
        }
        const QPoint onto = inWindow(to, QPoint(40, to->viewport()->height() / 2));
        QTest::mouseMove(win, onto);
        QTest::mouseRelease(win, Qt::LeftButton, {}, onto);
        return began;
    }
    // The event's invitations, those of them logged as added, the log rows
    // of adding and deleting; Bea's seats at the two events, those logged as gone.
    QString rows(qint64 ev)
    {
        const auto seats = [&](const char* op) {
            return count(QString("SELECT count(*) FROM SEATING JOIN TABLES USING (TABLE_ID) WHERE EVENT_ID %1 ?")
                             .arg(op), {ev});
        };
        return QString("%1 rows, %2 logged, log %3+%4, seats %5+%6 %7")
            .arg(count("SELECT count(*) FROM INVITE WHERE EVENT_ID = ?", {ev}))
            .arg(count("SELECT count(*) FROM INVITE WHERE EVENT_ID = ? AND INVITE_ID IN (SELECT SYNCHRO_RECORDID "
                       "FROM SYNCHRO WHERE SYNCHRO_TABLE = 'INVITE' AND SYNCHRO_ACTION = 1)", {ev}))
            .arg(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_ACTION = 1"))
            .arg(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_ACTION = 3 AND SYNCHRO_TABLE = 'INVITE' AND "
                       "SYNCHRO_RECORDID NOT IN (SELECT INVITE_ID FROM INVITE)"))
            .arg(seats("="))
            .arg(seats("<>"))
            .arg(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_ACTION = 3 AND SYNCHRO_TABLE = 'SEATING' AND "
                       "SYNCHRO_RECORDID NOT IN (SELECT SEATING_ID FROM SEATING)"));
    }
    // Two parties named "Smith" that the case-blind order may part by "SMITH".
    qint64 seed()
    {
        ado::Transaction quick(db());
        for (const char* t : {"EVENT", "GUEST", "SUBGUEST", "INVITE", "SYNCHRO", "TABLES", "SEATING"})
            db().Execute(QString("DELETE FROM %1").arg(t));
        const qint64 reception = add("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Reception')", {});
        ceremony = add("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Ceremony')", {});
        party("Adams", {"Al", "Ann"});
        party("Baker", {"Bea", "Bo"});
        party("Smith", {"Sam"});
        party("SMITH", {"Sue"});
        party("Smith", {"Sid"});
        party("Cole", {"Cy"});
        for (const char* first : {"Bea", "Cy", "Cy"})
            invited(first, reception);
        invited("Al", ceremony);
        invited("Bea", ceremony);
        for (const qint64 ev : {reception, ceremony}) {
            const qint64 table = add("INSERT INTO TABLES (TABLE_ID, EVENT_ID) VALUES (?, ?)", {ev});
            add("INSERT INTO SEATING (SEATING_ID, TABLE_ID, SUBGUEST_ID) VALUES (?, ?, ?)", {table, person["Bea"]});
        }
        quick.commit();
        f().curEvent = reception;
        return reception;
    }

    QHash<QString, qint64> person;
    qint64 ceremony = 0;
};

const char* const kStart = "Adams[Al Adams,Ann Adams] Baker[Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith] | "
                           "Baker[Bea Baker] Cole[Cy Cole]";

TEST_F(InviteWindow, MovesByButtonAndByDrag)
{
    // "+" marks an open party node: the one the user opened to reach a person,
    // the one a move opened.
    const struct {
        const char* node;
        bool inviting;
        QString trees, rows;
    } cases[] = {
        {"Ann Adams", true, "Adams+[Al Adams] Baker[Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith] | "
                            "Adams+[Ann Adams] Baker[Bea Baker] Cole[Cy Cole]",
                            "4 rows, 1 logged, log 1+0, seats 1+1 0"},
        {"Adams", true, "Baker[Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith] | "
                        "Adams+[Al Adams,Ann Adams] Baker[Bea Baker] Cole[Cy Cole]",
                        "5 rows, 2 logged, log 2+0, seats 1+1 0"},
        // The rest of a half-invited party joins its node on the right.
        {"Baker", true, "Adams[Al Adams,Ann Adams] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith] | "
                        "Baker+[Bea Baker,Bo Baker] Cole[Cy Cole]", "4 rows, 1 logged, log 1+0, seats 1+1 0"},
        // Both parties named "Smith" go; "SMITH" is another party.
        {"Smith", true, "Adams[Al Adams,Ann Adams] Baker[Bo Baker] SMITH[Sue SMITH] | "
                        "Baker[Bea Baker] Cole[Cy Cole] Smith+[Sam Smith,Sid Smith]",
                        "5 rows, 2 logged, log 2+0, seats 1+1 0"},
        // Both rows of a person invited twice go.
        {"Cy Cole", false, "Adams[Al Adams,Ann Adams] Baker[Bo Baker] Cole+[Cy Cole] SMITH[Sue SMITH] "
                           "Smith[Sam Smith,Sid Smith] | Baker[Bea Baker]", "1 rows, 0 logged, log 0+2, seats 1+1 0"},
        // Bea's seat at this event goes with her invitation; the other event keeps hers.
        {"Baker", false, "Adams[Al Adams,Ann Adams] Baker+[Bea Baker,Bo Baker] SMITH[Sue SMITH] "
                         "Smith[Sam Smith,Sid Smith] | Cole[Cy Cole]", "2 rows, 0 logged, log 0+1, seats 0+1 1"},
    };
    for (const auto& c : cases)
        for (const bool dragging : {false, true}) {
            SCOPED_TRACE(QString("%1 %2").arg(c.node, dragging ? "dragged" : "by button").toStdString());
            const qint64 reception = seed();
            messages.msgs->shown.clear();
            open([&](frmInvite& w) {
                tree::TreeView* from = c.inviting ? w.treeUninvited : w.treeInvited;
                tree::TreeView* to = c.inviting ? w.treeInvited : w.treeUninvited;
                QPushButton* button = c.inviting ? w.cmdInvite : w.cmdRemove;
                if (dragging)
                    EXPECT_TRUE(drag(from, c.node, to));
                else {
                    pick(from, c.node);
                    click(button);
                }
                EXPECT_EQ(both(), c.trees);
                // The moved node is chosen where it went; nothing is where it
                // came from, so a second click (of a double click) moves nothing.
                const QList<QTreeWidgetItem*> chosen = to->selectedItems();
                EXPECT_EQ(chosen.size() == 1 ? chosen[0]->text(0) : QString(), c.node);
                click(button);
                EXPECT_EQ(both(), c.trees);
            });
            EXPECT_EQ(rows(reception), c.rows);
            EXPECT_EQ(messages.msgs->texts(),
                      QStringList{c.inviting ? "Please select a person or group from the uninvited members."
                                             : "Please select a person or group from the invited members."});
        }
}

// Nothing under a party is read before it is opened (the moves above move
// parties never opened); a person of a party not opened is found by key.
TEST_F(InviteWindow, PartiesReadTheirPersonsWhenTheyAreOpened)
{
    seed();
    open([&](frmInvite& w) {
        for (tree::TreeView* t : {w.treeUninvited, w.treeInvited})
            for (int i = 0; i < t->firstNode()->childCount(); ++i) {
                const tree::Node* party = t->firstNode()->child(i);
                EXPECT_TRUE(party->childCount() == 0 && t->childrenLater(party)) << party->text(0).toStdString();
            }
        pick(w.treeUninvited, "Adams");
        QTest::keyClick(w.treeUninvited, Qt::Key_Right);
        const tree::Node* adams = w.treeUninvited->selectedNode();
        EXPECT_TRUE(adams->isExpanded());
        EXPECT_EQ(adams->childCount(), 2);
        const QString bo = "S" + QString::number(person["Bo"]);
        EXPECT_TRUE(w.treeUninvited->node(bo));
        EXPECT_FALSE(w.treeInvited->node(bo));
        // A party gone meanwhile, never opened, is refused as a shown one is;
        // the trees are built afresh.
        db().Execute("DELETE FROM SUBGUEST WHERE SUBGUEST_ID = ?", {person["Sue"]});
        db().Execute("DELETE FROM GUEST WHERE GUEST_PARTYNAME = 'SMITH' COLLATE BINARY");
        pick(w.treeUninvited, "SMITH");
        click(w.cmdInvite);
        EXPECT_EQ(shape(w.treeUninvited), "Adams[Al Adams,Ann Adams] Baker[Bo Baker] Smith[Sam Smith,Sid Smith]");
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{"This guest no longer exists."});
}

TEST_F(InviteWindow, APressOnAPartlyShownRowDragsThatPerson)
{
    const qint64 reception = add("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Réception au Château')", {});
    f().curEvent = reception;
    ado::Transaction quick(db());
    for (int i = 0; i < 60; ++i)
        party(QString("Álvarez-Montenegro de la Peña %1").arg(i, 2, 10, QChar('0')),
              {QString("Zoë %1").arg(2 * i), QString("Björn %1").arg(2 * i + 1)});
    quick.commit();
    open([&](frmInvite& w) {
        QTreeWidgetItem* cut = testsupport::rowCutAtTheBottom(w.treeUninvited);
        ASSERT_TRUE(cut);
        const QString first = cut->text(0).section(' ', 0, 1);
        const QPoint p = testsupport::pressAndHold(w.treeUninvited, cut);
        QTest::mouseMove(w.treeUninvited->viewport(), p + QPoint(1, 1));
        QTest::mouseMove(w.treeUninvited->viewport(), p + QPoint(25, -5));
        ASSERT_TRUE(ui::isDragging());
        const QPoint onto(30, 30);
        QTest::mouseMove(w.treeInvited->viewport(), onto);
        QTest::mouseRelease(w.treeInvited->viewport(), Qt::LeftButton, {}, onto);
        EXPECT_FALSE(ui::isDragging());
        EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE EVENT_ID = ? AND SUBGUEST_ID = ?", {reception, person[first]}),
                  1);
        EXPECT_EQ(count("SELECT count(*) FROM INVITE"), 1);
        EXPECT_TRUE(w.treeInvited->node("S" + QString::number(person[first])));
        EXPECT_FALSE(w.treeUninvited->node("S" + QString::number(person[first])));
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{});
}

TEST_F(InviteWindow, DropsAndButtonsThatMoveNothing)
{
    const qint64 reception = seed();
    open([&](frmInvite& w) {
        EXPECT_TRUE(drag(w.treeUninvited, "Ann Adams", w.treeUninvited));  // its own tree
        EXPECT_TRUE(drag(w.treeUninvited, "Ann Adams", w.treeInvited, true));  // Escape on the way
        EXPECT_TRUE(drag(w.treeInvited, "Cy Cole", w.treeUninvited, true));
        EXPECT_FALSE(drag(w.treeUninvited, "Uninvited", w.treeInvited));   // the root
        w.treeInvited_DragDrop();  // a drop that carries the root
        // A press beside the nodes leaves nothing to drag, however the mouse moves.
        const int below = w.treeInvited->viewport()->height() - 20;
        QTest::mousePress(w.treeInvited->viewport(), Qt::LeftButton, {}, QPoint(5, below));
        QTest::mouseMove(w.treeInvited->viewport(), QPoint(60, below - 10));
        QTest::mouseRelease(w.treeInvited->viewport(), Qt::LeftButton, {}, QPoint(60, below - 10));
        w.treeUninvited_DragDrop();
        click(w.cmdInvite);  // the roots are selected
        click(w.cmdRemove);
        EXPECT_EQ(both(), QString(kStart).replace("Adams[", "Adams+[").replace("Cole[", "Cole+["));  // opened to reach Ann, Cy
    });
    EXPECT_EQ(messages.msgs->texts(), (QStringList{"Please drop the person or group to the invited tree.",
                                                   "Please drop the person or group to the uninvited tree.",
                                                   "Please select a person or group from the uninvited members.",
                                                   "Please select a person or group from the invited members."}));
    EXPECT_EQ(rows(reception), "3 rows, 0 logged, log 0+0, seats 1+1 0");
}

TEST_F(InviteWindow, WithoutEventsNothingIsWritten)
{
    party("Adams", {"Al", "Ann"});
    f().curEvent = 0;
    open([&](frmInvite& w) {
        EXPECT_TRUE(w.cmbEvents->count() == 0 && !w.cmdInvite->isEnabled() && !w.cmdRemove->isEnabled());
        pick(w.treeUninvited, "Adams");
        w.cmdInvite_Click();
        EXPECT_TRUE(drag(w.treeUninvited, "Al Adams", w.treeInvited));
        EXPECT_EQ(both(), "Adams+[Al Adams,Ann Adams] | ");
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{"There must be events added before you can seat guests."});
    EXPECT_EQ(count("SELECT count(*) FROM INVITE") + count("SELECT count(*) FROM SYNCHRO"), 0);
}

TEST_F(InviteWindow, ARefusedMoveChangesNothingAndShowsTheDatabase)
{
    const qint64 reception = seed();
    // The second person of a party cannot be invited, and no seat can go.
    db().Execute(QString("CREATE TRIGGER no_ann BEFORE INSERT ON INVITE WHEN NEW.SUBGUEST_ID = %1 BEGIN "
                         "SELECT RAISE(ABORT, 'disk full'); END").arg(person["Ann"]));
    db().Execute("CREATE TRIGGER no_unseat BEFORE DELETE ON SEATING BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    open([&](frmInvite& w) {
        pick(w.treeUninvited, "Adams");
        click(w.cmdInvite);
        EXPECT_EQ(both(), kStart);  // built afresh: Adams closed again
        EXPECT_TRUE(drag(w.treeInvited, "Bea Baker", w.treeUninvited));
        EXPECT_EQ(both(), kStart);
    });
    const QString refused = "The invitations could not be changed.\n\ndisk full";
    EXPECT_EQ(messages.msgs->texts(), (QStringList{refused, refused}));
    EXPECT_EQ(rows(reception), "3 rows, 0 logged, log 0+0, seats 1+1 0");
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO") + count("SELECT count(*) FROM SYNCHRO_VERSION"), 0);
}

// With the invitations' keys spent, a move is refused before anything is
// written, saying which list is full, and the trees stay as they are.
TEST_F(InviteWindow, AMoveBeyondTheFullInvitationListIsRefusedAtOnce)
{
    const qint64 reception = seed();
    const qint64 last = ado::Connection::lastKeyOf(db().copyNumber());
    const QString opened = QString(kStart).replace("Adams[", "Adams+[");
    const QString none = "No more invitations can be added: a copy of a wedding holds at most 999,999 invitations, "
                         "counting those deleted, and this one has reached that. Nothing was added.";
    const QString one = "2 invitations were to be added, but there is room for only 1 more: a copy of a wedding "
                        "holds at most 999,999 invitations, counting those deleted. Nothing was added.";
    const struct {
        const char* how;
        int left;  // keys left for invitations
        bool dragging;
        const char* node;
        QString says;
    } cases[] = {
        {"a person by button", 0, false, "Ann Adams", none},
        {"a person dragged", 0, true, "Ann Adams", none},
        {"a party dragged", 1, true, "Adams", one},
        {"a party by button", 1, false, "Adams", one},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        db().Execute("INSERT OR REPLACE INTO KEY_COUNTER (KEY_COUNTER_TABLE, KEY_COUNTER_LAST) VALUES ('INVITE', ?)",
                     {last - c.left});
        messages.msgs->shown.clear();
        open([&](frmInvite& w) {
            at(w.treeUninvited, "Al Adams");  // the party opened, as a user opens it
            if (c.dragging) {
                EXPECT_TRUE(drag(w.treeUninvited, c.node, w.treeInvited));
            } else {
                pick(w.treeUninvited, c.node);
                click(w.cmdInvite);
            }
            EXPECT_EQ(both(), opened) << "not built afresh";
        });
        EXPECT_EQ(messages.msgs->texts(), QStringList{c.says});
        EXPECT_EQ(rows(reception), "3 rows, 0 logged, log 0+0, seats 1+1 0");
    }
    // The one key left takes one person.
    open([&](frmInvite& w) {
        EXPECT_TRUE(drag(w.treeUninvited, "Ann Adams", w.treeInvited));
    });
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE INVITE_ID = ?", {last}), 1);
}

// A party of thousands moves in steps with its progress shown; Cancel
// leaves nothing written and the trees as they were.
TEST_F(InviteWindow, ALongMoveShowsItsProgressAndCancelWritesNothing)
{
    ui::ScriptedDialogsGuard dialogs;
    const qint64 reception = seed();
    QStringList crowd;
    for (int i = 0; i < 4500; ++i)
        crowd << QString("Guest%1").arg(i);
    ado::Transaction quick(db());
    party("Crowd", crowd);
    quick.commit();
    const struct {
        bool inviting;
        int cancelAt;  // the step at which Cancel is pressed, 0 for none
        int shown;     // how far the bar came
        const char* rows;
    } cases[] = {
        {true, 1, 2000, "3 rows, 0 logged, log 0+0, seats 1+1 0"},
        {true, 0, 4500, "4503 rows, 4500 logged, log 4500+0, seats 1+1 0"},
        {false, 2, 4000, "4503 rows, 4500 logged, log 4500+0, seats 1+1 0"},
        {false, 0, 4500, "3 rows, 0 logged, log 4500+4500, seats 1+1 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        dialogs.dialogs->cancelAtSteps = {c.cancelAt};
        open([&](frmInvite& w) {
            const QString before = both();
            pick(c.inviting ? w.treeUninvited : w.treeInvited, "Crowd");
            click(c.inviting ? w.cmdInvite : w.cmdRemove);
            EXPECT_EQ(both() == before, c.cancelAt != 0);
        });
        EXPECT_EQ(rows(reception), c.rows);
        EXPECT_EQ(dialogs.dialogs->progressRequests.last().label,
                  c.inviting ? "Inviting 4,500 people..." : "Removing 4,500 people...");
        EXPECT_EQ(dialogs.dialogs->progressValues.last(), c.shown);
    }
    EXPECT_EQ(messages.msgs->texts(), QStringList{});
}

TEST_F(InviteWindow, EventChoiceAndAPersonInvitedBehindTheWindow)
{
    const qint64 reception = seed();
    open([&](frmInvite& w) {
        EXPECT_EQ(w.cmbEvents->currentText(), "Reception");
        w.cmbEvents->setFocus();
        QTest::keyClick(w.cmbEvents, Qt::Key_Down);
        EXPECT_EQ(shape(w.treeInvited), "Adams[Al Adams] Baker[Bea Baker]");
        at(w.treeUninvited, "Ann Adams");  // her party opened, then
        invited("Ann", ceremony);          // she is invited elsewhere: no second row
        pick(w.treeUninvited, "Ann Adams");
        click(w.cmdInvite);
    });
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE SUBGUEST_ID = ?", {person["Ann"]}), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
    // The event chosen last is chosen again; once it is gone, the first one.
    open([&](frmInvite& w) { EXPECT_EQ(w.curEvent, ceremony); });
    db().Execute("DELETE FROM EVENT WHERE EVENT_ID = ?", {ceremony});
    open([&](frmInvite& w) { EXPECT_EQ(w.curEvent, reception); });
}

TEST_F(InviteWindow, ClosingShowsTheInvitationsInTheRsvpView)
{
    seed();
    m().Show(ui::vbModeless);
    m().ExplorerBarCtlQV1->clickItem("RSVPMODE");
    const int before = m().GridEX1->rowCount();
    modal.modal->once("frmInvite", [&](ui::FormBase&) {
        pick(f().treeUninvited, "Smith");
        click(f().cmdInvite);
        click(f().Command1);
    });
    m().ExplorerBarCtlQV1->clickItem("INVITATIONS");
    EXPECT_FALSE(f().isLoaded());
    EXPECT_EQ(m().GridEX1->rowCount(), before + 2);
}

// Pictures of the window with twenty parties, taken only when
// NUPTARO_SCREENSHOTS names a folder (run under a real display).
TEST_F(InviteWindow, Screenshots)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    const qint64 reception = add("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Reception')", {});
    f().curEvent = reception;
    const QStringList names = QString("Anderson Baker Chen Dubois Evans Fischer Garcia Hughes Ivanov Jensen Kowalski "
                                      "Lopez Murphy Nakamura O'Brien Patel Quinn Rossi Schmidt Taylor").split(' ');
    const QStringList firsts = {"Alice", "Ben", "Clara", "David", "Emma", "Frank", "Grace"};
    for (int i = 0; i < names.size(); ++i) {
        QStringList people;
        for (int j = 0; j <= i % 3 + 1; ++j)
            people << firsts[(i + j) % firsts.size()];
        party(names[i], people);
        for (const QString& p : i % 3 ? QStringList{} : people)
            invited(p, reception);  // the person just added under that name
    }
    const auto snap = [&](const QString& name) { testsupport::snap(f().window(), dir, name); };
    open([&](frmInvite& w) {
        snap("invite_opened");
        pick(w.treeUninvited, "Baker");
        click(w.cmdInvite);
        snap("invite_after_button");
    });
}

}  // namespace
