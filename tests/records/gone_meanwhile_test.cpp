// Rows written under a person, party or table that another connection
// deleted or uninvited while the seating designer or the invitation editor
// was open: the drag or click is refused plainly, nothing is written or
// logged, and the window shows the trees as the database has them.

#include "seating/seating_support.h"

#include "support/userinput.h"

#include "guests/frmInvite.h"
#include "seating/seatingdata.h"

#include <QPushButton>
#include <QRadioButton>

#include <functional>

using testsupport::SeatingTest;

namespace {

class GoneMeanwhile : public SeatingTest {
protected:
    // Afresh for each case: Ann and Bob Smith and Cy Ito invited, Cy seated
    // at Head; the Adams party not invited.
    void seed()
    {
        ado::Transaction quick(db());
        for (const char* t : {"EVENT", "GUEST", "SUBGUEST", "INVITE", "TABLES", "SEATING", "SYNCHRO"})
            db().Execute(QString("DELETE FROM %1").arg(t));
        ev = event("Reception");
        smith = party("Smith");
        ann = person(smith, "Ann", "Smith", {ev});
        bob = person(smith, "Bob", "Smith", {ev});
        cy = person(party("Ito"), "Cy", "Ito", {ev});
        adams = party("Adams");
        al = person(adams, "Al", "Adams", {});
        person(adams, "Ada", "Adams", {});
        head = table(ev, "Head", 4);
        side = table(ev, "Side", 6);
        seat(head, cy, 1);
        quick.commit();
    }
    // Every seat and invitation, and the log's length.
    QString stored()
    {
        return rows("SELECT TABLE_ID, SUBGUEST_ID, SEATING_POS FROM SEATING ORDER BY SEATING_ID").join(' ') + " / "
               + rows("SELECT EVENT_ID, SUBGUEST_ID FROM INVITE ORDER BY INVITE_ID").join(' ') + " / "
               + QString::number(count("SELECT count(*) FROM SYNCHRO"));
    }
    // The window's trees as text.
    static QString trees(bool inviting)
    {
        if (inviting)
            return dump(frmInvite::instance().treeUninvited) + " | " + dump(frmInvite::instance().treeInvited);
        return dump(f().treeInvited) + " | " + dump(f().treeTables);
    }
    // Shows the window active and runs `act` on it; returns its trees then.
    QString inWindow(bool inviting, const std::function<void()>& act)
    {
        QString shown;
        if (!inviting) {
            open(ev);
            EXPECT_TRUE(testsupport::showActive(f().window()));
            trees(false);  // every party and table opened, its people read
            act();
            shown = trees(false);
            f().Unload();
            return shown;
        }
        frmInvite::instance().curEvent = ev;
        modal.modal->once("frmInvite", [&](ui::FormBase& w) {
            EXPECT_TRUE(testsupport::showActive(w.widget()->window()));
            trees(true);  // every party opened, its people read
            act();
            shown = trees(true);
            w.Unload();
        });
        frmInvite::instance().Show(ui::vbModal);
        return shown;
    }
    qint64 ev = 0, smith = 0, ann = 0, bob = 0, cy = 0, adams = 0, al = 0, head = 0, side = 0;
};

}  // namespace

TEST_F(GoneMeanwhile, AWriteUnderARecordGoneMeanwhileIsRefusedAndWritesNothing)
{
    frmSeating& s = f();
    frmInvite& inv = frmInvite::instance();
    const QString personGone = "This person no longer exists.";
    const struct {
        const char* name;
        bool inviting;                   // the invitation editor, else the seating designer
        std::function<void()> before;    // what the user did before the other program wrote
        std::function<QString()> other;  // what the other program writes
        std::function<void()> act;
        QString message;
    } cases[] = {
        {"a person deleted, dragged onto a table", false, [] {},
         [&] {
             return QString("DELETE FROM INVITE WHERE SUBGUEST_ID = %1; DELETE FROM SUBGUEST WHERE SUBGUEST_ID = %1")
                 .arg(ann);
         },
         [&] { dragNode(s.treeInvited, sKey(ann), s.treeTables, tKey(side)); }, personGone},
        {"a person uninvited, dragged onto a table", false, [] {},
         [&] { return QString("DELETE FROM INVITE WHERE SUBGUEST_ID = %1").arg(bob); },
         [&] { dragNode(s.treeInvited, sKey(bob), s.treeTables, tKey(head)); }, seating::kNoLongerInvited},
        {"a person seated meanwhile, dragged onto another table", false, [] {},
         [&] {
             return QString("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID, SEATING_POS) VALUES (%1, %2, 0)")
                 .arg(head)
                 .arg(ann);
         },
         [&] { dragNode(s.treeInvited, sKey(ann), s.treeTables, tKey(side)); }, seating::kSeatedMeanwhile},
        {"a seated person uninvited, moved to another table", false, [] {},
         [&] { return QString("DELETE FROM INVITE WHERE SUBGUEST_ID = %1").arg(cy); },
         [&] { dragNode(s.treeTables, sKey(cy), s.treeTables, tKey(side)); }, seating::kNoLongerInvited},
        {"a seated person uninvited, moved to another seat box", false, [&] { press(s.treeTables, tKey(head)); },
         [&] { return QString("DELETE FROM INVITE WHERE SUBGUEST_ID = %1").arg(cy); },
         [&] { drag(s.picSeat[1], middle(s.picSeat[1]), s.picSeat[3], middle(s.picSeat[3])); },
         seating::kNoLongerInvited},
        {"a table deleted, given another seat count", false, [&] { press(s.treeTables, tKey(side)); },
         [&] { return QString("DELETE FROM TABLES WHERE TABLE_ID = %1").arg(side); },
         [&] { QTest::mouseClick(s.optSeats[2], Qt::LeftButton); }, "This table no longer exists."},
        {"a person deleted, invited by the button", true, [] {},
         [&] { return QString("DELETE FROM SUBGUEST WHERE SUBGUEST_ID = %1").arg(al); },
         [&] {
             press(inv.treeUninvited, sKey(al));
             QTest::mouseClick(inv.cmdInvite, Qt::LeftButton);
         },
         personGone},
        {"a party deleted, dragged to the invited", true, [] {},
         [&] {
             return QString("DELETE FROM SUBGUEST WHERE GUEST_ID = %1; DELETE FROM GUEST WHERE GUEST_ID = %1").arg(adams);
         },
         [&] { dragNode(inv.treeUninvited, "G" + QString::number(adams), inv.treeInvited, ""); },
         "This guest no longer exists."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        seed();
        QString after;
        const QString shownThen = inWindow(c.inviting, [&] {
            c.before();
            writeAsAnotherProgram(c.other());
            after = stored();
            messages.msgs->shown.clear();
            c.act();
        });
        EXPECT_EQ(shown(), QStringList{c.message});
        EXPECT_EQ(stored(), after) << "nothing written, nothing logged";
        messages.msgs->shown.clear();
        EXPECT_EQ(shownThen, inWindow(c.inviting, [] {})) << "the trees as the database has them";
    }
}
