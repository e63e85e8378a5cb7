// The seating designer's window on a real database: its trees, tables, seat
// counts, Re-arrange, the delete hand-off and the seat diagram's states.

#include "seating/seating_support.h"

#include "support/clipping.h"
#include "support/editors.h"
#include "support/gui.h"

#include "platform/twips.h"
#include "records/frmDeleteSingle.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using testsupport::SeatingTest;

namespace {

// Parties in order; the people under a party sorted, as the database gives
// them in no further order. Each node's people are read as opening it reads
// them.
QString sortedDump(tree::Node* n, int depth = 0)
{
    if (auto* t = qobject_cast<tree::TreeView*>(n->treeWidget()))
        t->loadChildren(n);
    QString s = n->text(0);
    if (!n->childCount())
        return s;
    QStringList kids;
    for (int i = 0; i < n->childCount(); ++i)
        kids << sortedDump(n->child(i), depth + 1);
    if (depth == 1)
        kids.sort();
    return s + '[' + kids.join(',') + ']';
}

}  // namespace

TEST_F(SeatingTest, TheTreesShowTheUnseatedByPartyAndTheTablesWithTheirPeople)
{
    const qint64 ev = event("Reception"), other = event("Shower");
    const qint64 smith = party("Smith"), adams = party("Adams"), ito = party("Ito");
    const qint64 john = person(smith, "John", "Smith", {ev});
    person(smith, "Jane", "Smith", {ev});
    person(smith, "Mary", "Smith", {ev, other});
    person(smith, "Zed", "Smith", {other});
    person(adams, "Ann", "Adams", {ev});
    person(adams, "Bob", "Adams", {ev});
    const qint64 ken = person(ito, "Ken", "Ito", {ev, other});
    person(party(QVariant()), "Pat", "Doe", {ev});
    person(party(""), "Lee", "Roe", {ev});
    const qint64 head = table(ev, "Head", 8), unnamed = table(ev, QVariant());
    seat(head, john, 0);
    seat(table(other, "Far"), ken, 0);

    frmSeating& s = open(ev);
    EXPECT_EQ(s.window()->windowTitle(), "Seating Designer");
    EXPECT_EQ(s.cmbEvents->currentText(), "Reception");
    EXPECT_EQ(sortedDump(s.treeInvited->firstNode()),
              "Invited[Unnamed[Pat Doe],Unnamed[Lee Roe],Adams[Ann Adams,Bob Adams],Ito[Ken Ito],"
              "Smith[Jane Smith,Mary Smith]]");
    EXPECT_EQ(dump(s.treeTables), "Tables[Head[John Smith],Unnamed]");
    EXPECT_TRUE(s.treeTables->node(tKey(unnamed)));
    EXPECT_EQ(s.treeInvited->node(sKey(ken))->parent(), s.treeInvited->node("G" + QString::number(ito)));
    EXPECT_EQ(s.treeInvited->selectedNode(), s.treeInvited->firstNode());
    EXPECT_EQ(s.treeTables->selectedNode(), s.treeTables->firstNode());
    EXPECT_FALSE(s.treeTables->node(tKey(head))->isExpanded());
    EXPECT_EQ(s.curTable, 0);
    EXPECT_FALSE(s.Frame1->isEnabled()) << "no table chosen";
    EXPECT_FALSE(s.cmdRearrange->isEnabled());
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(s.treeTables->geometry(), twips::rect(3000, 360, 2652, 5172));
    EXPECT_EQ(s.client->size(), QSize(728, 409));
    // The buttons keep their designed width, below the style's minimum, and
    // their captions still fit.
    QStringList cut = testsupport::clippedTexts(s.window());
    for (QPushButton* b : {s.Command1, s.cmdRearrange}) {
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 12, b->width()) << b->text().toStdString();
        cut.removeAll(b->objectName() + ": " + b->text());
    }
    EXPECT_EQ(cut, QStringList());
    QList<QWidget*> row(s.optSeats.begin(), s.optSeats.end());
    EXPECT_EQ(testsupport::overlaps(row), QStringList());

    // Another event, chosen with the keyboard: an event without tables says
    // how to add one.
    const qint64 brunch = event("Brunch");
    s.Unload();
    open(ev);
    QTest::keyClick(s.cmbEvents, Qt::Key_End);
    EXPECT_EQ(s.curEvent, brunch);
    EXPECT_EQ(dump(s.treeTables), "Tables");
    EXPECT_EQ(dump(s.treeInvited), "Invited");
    EXPECT_EQ(shown(), QStringList{"Add a new table by pressing the New Table button."});

    // Reopening chooses the event seated last.
    s.Unload();
    open();
    EXPECT_EQ(s.cmbEvents->currentText(), "Brunch");
}

TEST_F(SeatingTest, NewTableIsNumberedLoggedAndRefusedWithoutAnEvent)
{
    frmSeating& s = open();
    EXPECT_EQ(s.cmbEvents->count(), 0);
    EXPECT_EQ(s.curEvent, 0);
    EXPECT_EQ(dump(s.treeTables), "Tables");
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TABLES"), 0);
    EXPECT_EQ(shown(), QStringList({"Add a new table by pressing the New Table button.",
                                    "There is no event to add a table to.  Please add an event first."}));
    s.Unload();
    messages.msgs->shown.clear();

    const qint64 ev = event("Reception");
    open(ev);
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    s.mnuTablesAdd->trigger();
    EXPECT_EQ(dump(s.treeTables), "Tables[Table 1,Table 2]");
    ado::Recordset rs;
    rs.Open("SELECT TABLE_ID, EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE FROM TABLES ORDER BY TABLE_ID", db());
    ASSERT_EQ(rs.RecordCount(), 2);
    const qint64 first = rs.cell(0, 0).toLongLong();
    EXPECT_EQ(rs.cell(0, 1).toLongLong(), ev);
    EXPECT_EQ(rs.cell(1, 2).toString(), "Table 2");
    EXPECT_EQ(rs.cell(1, 3).toInt(), 4);
    EXPECT_EQ(rs.cell(1, 4).toInt(), 5);
    EXPECT_EQ(logRows("TABLES", first, 1), 1);
    EXPECT_EQ(logRows("TABLES", rs.cell(1, 0).toLongLong(), 1), 1);
    EXPECT_EQ(s.curTable, 0) << "a new table is not shown";

    // After the first of two goes, the next is numbered 2 again.
    db().Execute("DELETE FROM TABLES WHERE TABLE_ID = ?", {first});
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    EXPECT_EQ(dump(s.treeTables), "Tables[Table 2,Table 2]");
    EXPECT_EQ(shown(), QStringList{"Add a new table by pressing the New Table button."}) << "only as it opened";
}

TEST_F(SeatingTest, AnEventDeletedMeanwhileIsSaidOnceAndOfferedNoLonger)
{
    const qint64 gone = event("Reception");
    table(gone, "Head");
    event("Ceremony");
    frmSeating& s = open(gone);
    db().Execute("DELETE FROM EVENT WHERE EVENT_ID = ?", {gone});
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    EXPECT_EQ(shown(), QStringList{"This event no longer exists."}) << "and nothing after it";
    EXPECT_EQ(s.cmbEvents->count(), 1);
    EXPECT_EQ(s.cmbEvents->currentText(), "Ceremony");
}

TEST_F(SeatingTest, TheSeatCountIsWrittenOnlyByTheUsersClick)
{
    const qint64 ev = event("Reception");
    event("Shower");
    const qint64 t10 = table(ev, "Ten", 10), t4 = table(ev, "Four", 4);
    seat(t10, person(party("Ito"), "Ken", "Ito", {ev}), 0);
    frmSeating& s = open(ev);

    // Showing tables of other counts chooses their options but stores nothing.
    press(s.treeTables, tKey(t10));
    EXPECT_TRUE(s.optSeats[3]->isChecked());
    press(s.treeTables, tKey(t4));
    EXPECT_TRUE(s.optSeats[0]->isChecked());
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 0);
    EXPECT_EQ(count("SELECT TABLE_SEATS FROM TABLES WHERE TABLE_ID = ?", {t10}), 10);

    QTest::mouseClick(s.optSeats[5], Qt::LeftButton);
    EXPECT_EQ(count("SELECT TABLE_SEATS FROM TABLES WHERE TABLE_ID = ?", {t4}), 16);
    EXPECT_EQ(logRows("TABLES", t4, 2), 1);
    for (int i = 0; i < 16; ++i)
        EXPECT_GE(s.picSeat[i]->left(), 0) << "box " << i << " placed";
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 1);

    // Another event: no table is chosen and the options are off.
    QTest::keyClick(s.cmbEvents, Qt::Key_Down);
    EXPECT_EQ(s.cmbEvents->currentText(), "Shower");
    EXPECT_EQ(s.curTable, 0);
    EXPECT_FALSE(s.Frame1->isEnabled());
}

TEST_F(SeatingTest, RearrangeRenumbersTheSeatsOrRefusesATableTooSmall)
{
    const qint64 ev = event("Reception");
    const qint64 t = table(ev, "Head", 4);
    const qint64 g = party("Smith");
    QVector<qint64> people, seats;
    for (int p : {12, 3, 9, 7}) {
        people << person(g, QString("P%1").arg(p), "Smith", {ev});
        seats << seat(t, people.back(), p);
    }
    frmSeating& s = open(ev);
    press(s.treeTables, tKey(t));
    EXPECT_EQ(s.seatOccupants()[3], people[1]);
    QTest::mouseClick(s.cmdRearrange, Qt::LeftButton);
    EXPECT_EQ(QVector<int>({pos(t, people[0]), pos(t, people[1]), pos(t, people[2]), pos(t, people[3])}),
              QVector<int>({3, 0, 2, 1}));
    for (qint64 id : seats)
        EXPECT_EQ(logRows("SEATING", id, 2), 1);
    EXPECT_EQ(s.picSeat[3]->printed(), QStringList({"P12 ", "Smith"}));
    EXPECT_TRUE(shown().isEmpty());

    // A fifth person is one too many for four seats.
    people << person(g, "P1", "Smith", {ev});
    seat(t, people.back(), 1);
    QTest::mouseClick(s.cmdRearrange, Qt::LeftButton);
    EXPECT_EQ(shown(), QStringList{"Please select a table with at least 5 seats.\r\nYou may also reduce the guests at "
                                   "this table by dragging their names to other table positions."});
    EXPECT_EQ(pos(t, people[4]), 1);
    EXPECT_EQ(pos(t, people[0]), 3);
}

TEST_F(SeatingTest, DeleteTableGoesThroughTheConfirmationAndRebuildsTheTrees)
{
    const qint64 ev = event("Reception");
    const qint64 t = table(ev, "Head", 4), keep = table(ev, "Side");
    const qint64 ann = person(party("Adams"), "Ann", "Adams", {ev});
    seat(t, ann, 0);
    frmSeating& s = open(ev);
    press(s.treeTables, tKey(t));
    ASSERT_EQ(s.curTable, t);

    // The root or a person selected: nothing is offered.
    for (const QString& k : {QString("ROOT"), sKey(ann)}) {
        press(s.treeTables, k, Qt::RightButton);
        EXPECT_TRUE(s.mnuTables->isVisible());
        QTest::mouseClick(s.mnuTables, Qt::LeftButton, {}, s.mnuTables->actionGeometry(s.mnuTablesDelete).center());
    }
    EXPECT_TRUE(modal.modal->shown.isEmpty());

    QString asked;
    modal.modal->once("frmDeleteSingle", [&](ui::FormBase& d) {
        asked = static_cast<frmDeleteSingle&>(d).lblDelete->text();
        static_cast<frmDeleteSingle&>(d).cmdDelete->click();
    });
    press(s.treeTables, tKey(t), Qt::RightButton);
    QTest::mouseClick(s.mnuTables, Qt::LeftButton, {}, s.mnuTables->actionGeometry(s.mnuTablesDelete).center());
    EXPECT_EQ(modal.modal->shown, QStringList{"frmDeleteSingle"});
    EXPECT_EQ(asked, "Delete the table named: Head.  This may require you to re-seat guests at other tables.");
    EXPECT_EQ(testsupport::counts("TABLES SEATING"), "1 0");
    EXPECT_EQ(dump(s.treeTables), "Tables[Side]");
    EXPECT_EQ(dump(s.treeInvited), "Invited[Adams[Ann Adams]]");
    EXPECT_EQ(s.curTable, 0) << "the deleted table is no longer current";
    EXPECT_FALSE(s.cmdRearrange->isEnabled());
    EXPECT_FALSE(s.picSeat[0]->isVisible());
    EXPECT_TRUE(s.treeTables->node(tKey(keep)));
}

TEST_F(SeatingTest, TheDiagramShowsEachTableFromItsOwnRow)
{
    const qint64 ev = event("Reception");
    const qint64 g = party("Smith");
    const qint64 full = table(ev, "Head", 4, 3), empty = table(ev, QVariant(), 6, 0);
    const qint64 big = table(ev, "Big", 16, 7), loose = table(ev, "Loose", 8, 2);
    QVector<qint64> at;
    for (int p = 0; p < 5; ++p) {
        at << person(g, QString("Guest%1").arg(p), "Smith", {ev});
        seat(full, at.back(), p);
    }
    seat(big, person(g, "Bo", "Big", {ev}), 15);
    const qint64 a = person(g, "A", "Loose", {ev}), b = person(g, "B", "Loose", {ev}), c = person(g, "C", "Loose", {ev});
    seat(loose, a, -1);
    const qint64 bSeat = seat(loose, b, QVariant());
    seat(loose, c, 0);
    frmSeating& s = open(ev);
    for (const auto* box : s.picSeat)
        EXPECT_EQ(box->left(), seating::kHiddenLeft);

    press(s.treeTables, tKey(full));
    EXPECT_EQ(s.lblTableName->text(), "\nHead");
    EXPECT_EQ(s.lblTooMany->text(), "Too many guests for this table select a larger size.");
    EXPECT_EQ(s.shapeTable->style(), 3);
    EXPECT_EQ(s.picSeat[4]->printed(), QStringList({"Guest4 ", "Smith"})) << "drawn into a parked box";
    EXPECT_EQ(s.picSeat[4]->left(), seating::kParkedLeft);
    EXPECT_FALSE(s.picSeat[4]->isVisible());
    EXPECT_EQ(s.seatOccupants()[4], at[4]);

    press(s.treeTables, tKey(big));
    EXPECT_TRUE(s.optSeats[5]->isChecked());
    EXPECT_EQ(s.shapeTable->style(), 3) << "style 7 is no style";
    EXPECT_EQ(s.picSeat[15]->printed(), QStringList({"Bo ", "Big"}));
    EXPECT_EQ(s.lblTooMany->text(), "");

    // An empty table after a full one: its own name, count and style; boxes
    // beyond its count parked where they stood.
    press(s.treeTables, tKey(empty));
    EXPECT_EQ(s.lblTableName->text(), "\nUnnamed");
    EXPECT_TRUE(s.optSeats[1]->isChecked());
    EXPECT_EQ(s.shapeTable->style(), 5);
    EXPECT_EQ(s.picSeat[0]->left(), 7194);
    EXPECT_EQ(s.picSeat[5]->left(), 5748);
    for (int i = 6; i < 16; ++i) {
        EXPECT_EQ(s.picSeat[i]->left(), seating::kParkedLeft) << i;
        EXPECT_TRUE(s.picSeat[i]->printed().isEmpty()) << i;
    }
    EXPECT_EQ(s.picSeat[15]->top(), 4578) << "the top the 16-seat layout gave";
    EXPECT_EQ(s.lblTooMany->text(), "");
    EXPECT_EQ(s.seatOccupants()[15], 0);
    EXPECT_TRUE(s.cmdRearrange->isEnabled());

    // Rows without a seat take the lowest positions nobody holds, logged.
    press(s.treeTables, tKey(loose));
    EXPECT_EQ(QVector<int>({pos(loose, a), pos(loose, b), pos(loose, c)}), QVector<int>({2, 1, 0}));
    EXPECT_EQ(logRows("SEATING", bSeat, 2), 1);
    EXPECT_EQ(s.picSeat[0]->printed(), QStringList({"C ", "Loose"})) << "no name drawn over another";
    EXPECT_EQ(s.shapeTable->style(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 2);
}

TEST_F(SeatingTest, ANameIsTrimmedAndDrawnOnTwoLinesInItsBox)
{
    frmSeating& s = open();
    s.PositionSeats(4);
    QString name = "  Anna Maria Jones ";
    s.DrawSeatText(s.picSeat[0], name, 0, "CenterCenter");
    EXPECT_EQ(name, "Anna Maria Jones");
    QString second = "Cher";
    s.DrawSeatText(s.picSeat[0], second, 0, "CenterCenter");
    EXPECT_EQ(s.picSeat[0]->printed(), QStringList({"Anna ", "Maria Jones", "", "Cher"})) << "drawn over, not cleared";
}

// Under a real display (xvfb-run) with NUPTARO_SCREENSHOTS set to a folder:
//   QT_QPA_PLATFORM=xcb NUPTARO_SCREENSHOTS=/tmp/shots xvfb-run -a -s "-screen 0 1920x1080x24"
//       build/bin/nuptaro_tests --gtest_filter='*ScreenshotsOfTables*'
TEST_F(SeatingTest, ScreenshotsOfTables)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    const qint64 ev = event("Reception");
    const qint64 big = table(ev, "Family Table", 16), small = table(ev, "Friends of the Groom", 6, 3);
    const char* names[][2] = {
        {"Alexandra", "Montgomery"}, {"Bo", "Li"},        {"Christopher-Alexander", "Vanderbilt"}, {"Dee", "Ng"},
        {"Elizabeth", "Hawthorne"},  {"Frank", "Ito"},    {"Gwendolyn", "Fairweather"}, {"Hal", "Oakes"},
        {"Isabella", "Castellano"},  {"Jo", "Park"},      {"Katherine", "Whitfield"}, {"Lu", "Chen"},
        {"Marguerite", "Delacroix-Fairweather"}, {"Ned", "Stark"},    {"Cher", ""},                 {"Penelope", "Richardson"},
    };
    const qint64 g = party("Family");
    for (int i = 0; i < 16; ++i)
        seat(big, person(g, names[i][0], names[i][1], {ev}), i);
    for (int i = 0; i < 5; ++i)
        seat(small, person(party("Friends"), names[15 - i][0], names[15 - i][1], {ev}), i);
    person(g, "Unseated", "Cousin", {ev});
    frmSeating& s = open(ev);
    press(s.treeTables, tKey(big));
    testsupport::snap(s.window(), dir, "seating_16");
    press(s.treeTables, tKey(small));
    testsupport::snap(s.window(), dir, "seating_6");
}

TEST_F(SeatingTest, ANameTooLongForItsSeatBoxEndsInAnEllipsisAndShowsWholeAsItsTooltip)
{
    const qint64 ev = event("Reception");
    const qint64 t = table(ev, "Head", 4);
    const qint64 g = party("Ñúñez-Castellano");
    struct Case {
        QString first, last;
        bool cut;
    } cases[] = {
        {"Ann", "Smith", false},
        {"Maximiliana", "Ñúñez-Castellano-Okonkwo", true},   // too wide for the box
        {"Bartholomew-Alexander", "Fitzgerald", true},       // a first word beyond fifteen letters
        {"Zoë", "Li", false},
    };
    for (int i = 0; i < int(std::size(cases)); ++i)
        seat(t, person(g, cases[i].first, cases[i].last, {ev}), i);
    const qint64 other = table(ev, "Garden", 4);
    seat(other, person(g, "Bo", "Li", {ev}), 1);
    frmSeating& s = open(ev);
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.window()));
    press(s.treeTables, tKey(t));
    const QFontMetricsF fm(seating::toQFont(seating::seatFont(0, twips::kTwipsPerPixel)));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        const QString whole = c.first + ' ' + c.last;
        SCOPED_TRACE(whole.toStdString());
        seating::SeatBox* box = s.picSeat[i];
        const QStringList lines = box->printed();
        ASSERT_EQ(lines.size(), 2);
        for (const QString& line : lines)   // within the card, inside its border
            EXPECT_LE(fm.horizontalAdvance(line), box->cardRect().width() - 4) << line.toStdString();
        if (c.cut)
            EXPECT_TRUE(lines[0].endsWith(QChar(0x2026)) || lines[1].endsWith(QChar(0x2026)));
        else
            EXPECT_EQ(lines, QStringList({c.first + ' ', c.last}));
        EXPECT_EQ(testsupport::hover(box, box->cardRect().center()), c.cut ? whole : QString());
    }
    // Another table's names take the boxes, and their tooltips with them.
    press(s.treeTables, tKey(other));
    EXPECT_EQ(s.picSeat[1]->toolTip(), QString());
}
