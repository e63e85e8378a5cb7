// The invitation window as a user drives it: persons and parties moved with
// the buttons and by dragging, what the INVITE and log rows and both trees
// show afterwards, the window without events, a refused move, and the RSVP
// view on closing.

#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "guests/frmInvite.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"

#include <QComboBox>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>

namespace {

using testsupport::click;

class InviteWindow : public testsupport::MainWindowTest<> {
protected:
    void TearDown() override
    {
        frmInvite::dragLoop() = keptLoop;
        MainWindowTest::TearDown();
    }
    static frmInvite& f() { return frmInvite::instance(); }

    qint64 event(const QString& name)
    {
        const qint64 id = db().reserveKey("EVENT");
        db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, ?)", {id, name});
        return id;
    }
    // A party and its persons; each person is known by the first name.
    void party(const QString& name, const QStringList& firsts)
    {
        const qint64 g = db().reserveKey("GUEST");
        db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_LNAME) VALUES (?, ?, ?)", {g, name, name});
        for (const QString& first : firsts) {
            const qint64 s = db().reserveKey("SUBGUEST");
            db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, ?, ?, ?)",
                         {s, g, first, name});
            person[first] = s;
        }
    }
    void invited(const QString& first, qint64 ev)
    {
        db().Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {ev, person[first]});
    }
    void open(const std::function<void(frmInvite&)>& act)
    {
        modal.modal->once("frmInvite", [&](ui::FormBase&) { act(f()); });
        f().Show(ui::vbModal);
    }

    // Parties and their persons in text order, and every key once.
    static QString shape(QTreeWidget* t)
    {
        QSet<QString> keys;
        QStringList parties;
        EXPECT_EQ(t->topLevelItemCount(), 1);
        QTreeWidgetItem* root = t->topLevelItem(0);
        EXPECT_EQ(frmInvite::key(root), "ROOT");
        for (QTreeWidgetItemIterator it(t); *it; ++it)
            EXPECT_FALSE(keys.contains(frmInvite::key(*it))) << frmInvite::key(*it).toStdString();
        for (QTreeWidgetItemIterator it(t); *it; ++it)
            keys.insert(frmInvite::key(*it));
        for (int i = 0; i < root->childCount(); ++i) {
            QStringList persons;
            for (int j = 0; j < root->child(i)->childCount(); ++j)
                persons << root->child(i)->child(j)->text(0);
            persons.sort();
            parties << root->child(i)->text(0) + "[" + persons.join(',') + "]";
        }
        parties.sort();
        return parties.join(' ');
    }
    static QStringList expanded(QTreeWidget* t)
    {
        QStringList out;
        for (int i = 0; i < t->topLevelItem(0)->childCount(); ++i)
            if (t->topLevelItem(0)->child(i)->isExpanded())
                out << t->topLevelItem(0)->child(i)->text(0);
        return out;
    }
    static QTreeWidgetItem* node(QTreeWidget* t, const QString& text)
    {
        const auto found = t->findItems(text, Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchCaseSensitive);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }
    // Where a node is shown, its party opened as a user opens it.
    static QPoint at(QTreeWidget* t, QTreeWidgetItem* n)
    {
        for (QTreeWidgetItem* p = n->parent(); p; p = p->parent())
            t->expandItem(p);
        t->scrollToItem(n);
        return t->visualItemRect(n).center();
    }
    static void pick(QTreeWidget* t, const QString& text)
    {
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at(t, node(t, text)));
    }
    // Presses on the node, moves with the button held, and lets go over
    // `onto`, whose drop handler runs inside the drag.
    bool drag(QTreeWidget* from, const QString& text, void (frmInvite::*drop)())
    {
        bool began = false;
        frmInvite::dragLoop() = [&](QTreeWidget* source, const QPixmap& image) {
            began = source == from && !image.isNull();
            (f().*drop)();
        };
        const QPoint p = at(from, node(from, text));
        QTest::mousePress(from->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseMove(from->viewport(), p + QPoint(0, 2));
        QTest::mouseMove(from->viewport(), p + QPoint(30, 10));
        QTest::mouseRelease(from->viewport(), Qt::LeftButton, {}, p + QPoint(30, 10));
        return began;
    }
    qlonglong logged(const char* table, int action)
    {
        return count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_ACTION = ?", {table, action});
    }
    // Invitations of the event, and how many of them are the rows logged as added.
    QString invites(qint64 ev)
    {
        return QString("%1 rows, %2 logged")
            .arg(count("SELECT count(*) FROM INVITE WHERE EVENT_ID = ?", {ev}))
            .arg(count("SELECT count(*) FROM INVITE WHERE EVENT_ID = ? AND INVITE_ID IN (SELECT SYNCHRO_RECORDID "
                       "FROM SYNCHRO WHERE SYNCHRO_TABLE = 'INVITE' AND SYNCHRO_ACTION = 1)",
                       {ev}));
    }
    // Parties side by side that the case-blind order may interleave.
    qint64 seed()
    {
        ado::Transaction quick(db());
        for (const char* t : {"EVENT", "GUEST", "SUBGUEST", "INVITE", "SYNCHRO", "TABLES", "SEATING"})
            db().Execute(QString("DELETE FROM %1").arg(t));
        const qint64 reception = event("Reception");
        const qint64 ceremony = event("Ceremony");
        party("Adams", {"Al", "Ann"});
        party("Baker", {"Bea", "Bo"});
        party("Smith", {"Sam"});
        party("SMITH", {"Sue"});
        party("Smith", {"Sid"});
        party("Cole", {"Cy"});
        invited("Bea", reception);
        invited("Cy", reception);
        invited("Cy", reception);
        invited("Al", ceremony);
        f().curEvent = reception;
        quick.commit();
        return reception;
    }

    QHash<QString, qint64> person;
    std::function<void(QTreeWidget*, const QPixmap&)> keptLoop = frmInvite::dragLoop();
};

TEST_F(InviteWindow, MovesByButtonAndByDrag)
{
    const QString all = "Adams[Al Adams,Ann Adams] Baker[Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith]";
    const struct {
        const char* node;
        bool inviting;
        QString uninvited, invited;
        const char* rows;  // the event's invitations afterwards
        int added, deleted;
    } cases[] = {
        {"Ann Adams", true, "Adams[Al Adams] Baker[Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith]",
         "Adams[Ann Adams] Baker[Bea Baker] Cole[Cy Cole]", "4 rows, 1 logged", 1, 0},
        {"Adams", true, "Baker[Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith]",
         "Adams[Al Adams,Ann Adams] Baker[Bea Baker] Cole[Cy Cole]", "5 rows, 2 logged", 2, 0},
        // The rest of a half-invited party joins its node on the right.
        {"Baker", true, "Adams[Al Adams,Ann Adams] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith]",
         "Baker[Bea Baker,Bo Baker] Cole[Cy Cole]", "4 rows, 1 logged", 1, 0},
        // Both parties named "Smith" go; "SMITH" is another party.
        {"Smith", true, "Adams[Al Adams,Ann Adams] Baker[Bo Baker] SMITH[Sue SMITH]",
         "Baker[Bea Baker] Cole[Cy Cole] Smith[Sam Smith,Sid Smith]", "5 rows, 2 logged", 2, 0},
        // Both rows of a person invited twice go.
        {"Cy Cole", false, "Adams[Al Adams,Ann Adams] Baker[Bo Baker] Cole[Cy Cole] SMITH[Sue SMITH] "
                           "Smith[Sam Smith,Sid Smith]",
         "Baker[Bea Baker]", "1 rows, 0 logged", 0, 2},
        {"Baker", false, "Adams[Al Adams,Ann Adams] Baker[Bea Baker,Bo Baker] SMITH[Sue SMITH] Smith[Sam Smith,Sid Smith]",
         "Cole[Cy Cole]", "2 rows, 0 logged", 0, 1},
    };
    for (const auto& c : cases)
        for (const bool dragging : {false, true}) {
            SCOPED_TRACE(QString("%1 %2").arg(c.node, dragging ? "dragged" : "by button").toStdString());
            const qint64 reception = seed();
            open([&](frmInvite& w) {
                ASSERT_EQ(shape(w.treeUninvited), all);
                ASSERT_EQ(shape(w.treeInvited), "Baker[Bea Baker] Cole[Cy Cole]");
                QTreeWidget* from = c.inviting ? w.treeUninvited : w.treeInvited;
                QTreeWidget* to = c.inviting ? w.treeInvited : w.treeUninvited;
                const QString party = node(from, c.node)->parent() == from->topLevelItem(0)
                                          ? QString(c.node)
                                          : node(from, c.node)->parent()->text(0);
                if (dragging) {
                    EXPECT_TRUE(drag(from, c.node, c.inviting ? &frmInvite::treeInvited_DragDrop
                                                               : &frmInvite::treeUninvited_DragDrop));
                    EXPECT_EQ(expanded(to), QStringList{});  // built afresh
                } else {
                    pick(from, c.node);
                    click(c.inviting ? w.cmdInvite : w.cmdRemove);
                    EXPECT_EQ(expanded(to), QStringList{party});
                }
                EXPECT_EQ(shape(w.treeUninvited), c.uninvited);
                EXPECT_EQ(shape(w.treeInvited), c.invited);
            });
            EXPECT_EQ(invites(reception), c.rows);
            EXPECT_EQ(logged("INVITE", 1), c.added);
            EXPECT_EQ(logged("INVITE", 3), c.deleted);
            EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'INVITE' AND SYNCHRO_ACTION = 3 AND "
                            "SYNCHRO_RECORDID IN (SELECT INVITE_ID FROM INVITE)"),
                      0);
            EXPECT_EQ(messages.msgs->texts(), QStringList{});
        }
}

TEST_F(InviteWindow, DropsThatMoveNothing)
{
    const qint64 reception = seed();
    open([&](frmInvite& w) {
        const QString before = shape(w.treeUninvited) + " | " + shape(w.treeInvited);
        // Back onto its own tree.
        EXPECT_TRUE(drag(w.treeUninvited, "Ann Adams", &frmInvite::treeUninvited_DragDrop));
        // The root starts no drag; a drop after pressing on it is refused.
        EXPECT_FALSE(drag(w.treeUninvited, "Uninvited", &frmInvite::treeInvited_DragDrop));
        w.treeInvited_DragDrop();
        EXPECT_EQ(shape(w.treeUninvited) + " | " + shape(w.treeInvited), before);
        // A press beside the nodes leaves nothing to drag, however the mouse moves.
        QTest::mousePress(w.treeInvited->viewport(), Qt::LeftButton, {}, QPoint(5, w.treeInvited->height() - 20));
        QTest::mouseMove(w.treeInvited->viewport(), QPoint(60, 40));
        QTest::mouseRelease(w.treeInvited->viewport(), Qt::LeftButton, {}, QPoint(60, 40));
        w.treeUninvited_DragDrop();
        // Buttons with the roots selected.
        click(w.cmdInvite);
        click(w.cmdRemove);
    });
    EXPECT_EQ(messages.msgs->texts(),
              (QStringList{"Please drop the person or group to the invited tree.",
                           "Please drop the person or group to the uninvited tree.",
                           "Please select a person or group from the uninvited members.",
                           "Please select a person or group from the invited members."}));
    EXPECT_EQ(invites(reception), "3 rows, 0 logged");
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
}

TEST_F(InviteWindow, WithoutEventsNothingIsWritten)
{
    party("Adams", {"Al", "Ann"});
    f().curEvent = 0;
    open([&](frmInvite& w) {
        EXPECT_EQ(w.window()->windowTitle(), "Invite to Event");
        EXPECT_EQ(w.cmbEvents->count(), 0);
        EXPECT_FALSE(w.cmdInvite->isEnabled());
        EXPECT_FALSE(w.cmdRemove->isEnabled());
        EXPECT_EQ(shape(w.treeUninvited), "Adams[Al Adams,Ann Adams]");
        pick(w.treeUninvited, "Adams");
        w.cmdInvite_Click();
        EXPECT_TRUE(drag(w.treeUninvited, "Al Adams", &frmInvite::treeInvited_DragDrop));
        EXPECT_EQ(shape(w.treeInvited), "");
        click(w.Command1);
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{"There must be events added before you can seat guests."});
    EXPECT_EQ(count("SELECT count(*) FROM INVITE") + count("SELECT count(*) FROM SYNCHRO"), 0);
}

TEST_F(InviteWindow, ARefusedMoveChangesNothingAndShowsTheDatabase)
{
    const qint64 reception = seed();
    const qint64 table = db().reserveKey("TABLES");
    db().Execute("INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME) VALUES (?, ?, 'Table 1')", {table, reception});
    db().Execute("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID) VALUES (?, ?)", {table, person["Bea"]});
    // The second person of a party fails, and the seat of a removed one cannot go.
    db().Execute("CREATE TRIGGER no_ann BEFORE INSERT ON INVITE WHEN NEW.SUBGUEST_ID = " +
                 QString::number(person["Ann"]) + " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    db().Execute("CREATE TRIGGER no_unseat BEFORE DELETE ON SEATING BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    open([&](frmInvite& w) {
        const QString before = shape(w.treeUninvited) + " | " + shape(w.treeInvited);
        pick(w.treeUninvited, "Adams");
        click(w.cmdInvite);
        EXPECT_EQ(shape(w.treeUninvited) + " | " + shape(w.treeInvited), before);
        EXPECT_EQ(w.treeUninvited->currentItem(), w.treeUninvited->topLevelItem(0));  // built afresh
        EXPECT_TRUE(drag(w.treeInvited, "Bea Baker", &frmInvite::treeUninvited_DragDrop));
        EXPECT_EQ(shape(w.treeUninvited) + " | " + shape(w.treeInvited), before);
    });
    const QStringList shown = messages.msgs->texts();
    ASSERT_EQ(shown.size(), 2);
    for (const QString& m : shown)
        EXPECT_TRUE(m.startsWith("The invitations could not be changed.\n\n")) << m.toStdString();
    EXPECT_EQ(invites(reception), "3 rows, 0 logged");
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO") + count("SELECT count(*) FROM SYNCHRO_VERSION"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SEATING"), 1);
}

TEST_F(InviteWindow, UninvitingRemovesTheSeatAtThatEventOnly)
{
    const qint64 reception = seed();
    const qint64 ceremony = db().scalar("SELECT EVENT_ID FROM EVENT WHERE EVENT_NAME = 'Ceremony'").toLongLong();
    invited("Bea", ceremony);
    for (const qint64 ev : {reception, ceremony}) {
        const qint64 table = db().reserveKey("TABLES");
        db().Execute("INSERT INTO TABLES (TABLE_ID, EVENT_ID, TABLE_NAME) VALUES (?, ?, 'Head')", {table, ev});
        db().Execute("INSERT INTO SEATING (SEATING_ID, TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (?, ?, ?, 1)",
                     {db().reserveKey("SEATING"), table, person["Bea"]});
    }
    const qint64 seat = db().scalar("SELECT SEATING_ID FROM SEATING JOIN TABLES USING (TABLE_ID) WHERE EVENT_ID = ?",
                                    {reception})
                            .toLongLong();
    open([&](frmInvite& w) {
        pick(w.treeInvited, "Bea Baker");
        click(w.cmdRemove);
    });
    EXPECT_EQ(count("SELECT count(*) FROM SEATING JOIN TABLES USING (TABLE_ID) WHERE EVENT_ID = ?", {reception}), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SEATING JOIN TABLES USING (TABLE_ID) WHERE EVENT_ID = ?", {ceremony}), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'SEATING' AND SYNCHRO_ACTION = 3 AND "
                    "SYNCHRO_RECORDID = ?",
                    {seat}),
              1);
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE SUBGUEST_ID = ?", {person["Bea"]}), 1);
}

TEST_F(InviteWindow, EventChoiceAndAPersonInvitedBehindTheWindow)
{
    const qint64 reception = seed();
    const qint64 ceremony = db().scalar("SELECT EVENT_ID FROM EVENT WHERE EVENT_NAME = 'Ceremony'").toLongLong();
    open([&](frmInvite& w) {
        EXPECT_EQ(w.cmbEvents->currentText(), "Reception");
        w.cmbEvents->setFocus();
        QTest::keyClick(w.cmbEvents, Qt::Key_Down);
        EXPECT_EQ(w.curEvent, ceremony);
        EXPECT_EQ(shape(w.treeInvited), "Adams[Al Adams]");
        // Invited meanwhile elsewhere: inviting again adds no second row.
        invited("Ann", ceremony);
        pick(w.treeUninvited, "Ann Adams");
        click(w.cmdInvite);
        EXPECT_EQ(shape(w.treeInvited), "Adams[Al Adams,Ann Adams]");
    });
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE EVENT_ID = ? AND SUBGUEST_ID = ?", {ceremony, person["Ann"]}), 1);
    EXPECT_EQ(logged("INVITE", 1), 0);
    // The event chosen last is chosen again; once it is gone, the first one.
    open([&](frmInvite& w) { EXPECT_EQ(w.cmbEvents->currentText(), "Ceremony"); });
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

}  // namespace

// Pictures of the window, taken only when NUPTARO_SCREENSHOTS names a folder
// (run under a real display).
TEST_F(InviteWindow, Screenshots)
{
    const QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    const qint64 reception = event("Reception");
    event("Rehearsal Dinner");
    const QStringList names = {"Anderson", "Baker",  "Chen",   "Dubois",  "Evans",  "Fischer", "Garcia",
                               "Hughes",   "Ivanov", "Jensen", "Kowalski", "Lopez", "Murphy",  "Nakamura",
                               "O'Brien",  "Patel",  "Quinn",  "Rossi",   "Schmidt", "Taylor"};
    const QStringList firsts = {"Alice", "Ben", "Clara", "David", "Emma", "Frank", "Grace"};
    ado::Transaction quick(db());
    for (int i = 0; i < names.size(); ++i) {
        QStringList people;
        for (int j = 0; j <= i % 3 + 1; ++j)
            people << firsts[(i + j) % firsts.size()];
        party(names[i], people);  // each person is invited right after being added
        if (i % 3 == 0)
            for (const QString& p : people)
                invited(p, reception);
    }
    quick.commit();
    f().curEvent = reception;
    const auto snap = [&](const QString& name) {
        QCoreApplication::processEvents();
        f().window()->grab().save(dir + '/' + name + ".png");
    };
    open([&](frmInvite& w) {
        snap("invite_opened");
        pick(w.treeUninvited, "Baker");
        click(w.cmdInvite);
        w.treeUninvited->expandItem(node(w.treeUninvited, "Chen"));
        snap("invite_after_button");
    });
}
