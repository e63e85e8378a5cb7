// The guest party editor and the person editor, driven as a user does:
// typing, leaving boxes, clicking buttons and double-clicking the list.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/mainwindow.h"

#include "guests/frmGuestDetail.h"
#include "guests/frmNewSubguest.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "platform/ui/boxes.h"
#include "records/frmAddType.h"
#include "records/frmDeleteSingle.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using testsupport::DbTest;
using testsupport::MainWindowTest;

namespace {

frmGuestDetail& party() { return frmGuestDetail::instance(); }
frmNewSubguest& person() { return frmNewSubguest::instance(); }

class GuestEditor : public MainWindowTest<DbTest> {
protected:
    frmGuestDetail& open(frmGuestDetail::Mode mode, qint64 key = 0)
    {
        party().curMode = mode;
        if (key)
            party().curRec = key;
        party().Show(ui::vbModeless);
        activate(party().widget());
        return party();
    }
    static void activate(QWidget* w)
    {
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    }
    // Clicks into a box and types, as a user moving there with the mouse.
    static void type(QWidget* box, const QString& text)
    {
        QWidget* target = box;
        if (auto* combo = qobject_cast<QComboBox*>(box))
            target = combo->lineEdit();
        target->setFocus(Qt::MouseFocusReason);
        if (auto* line = qobject_cast<QLineEdit*>(target))
            line->selectAll();
        QTest::keyClicks(target, text);
    }
    static void tab(QWidget* box) { QTest::keyClick(box, Qt::Key_Tab); }
    static void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    static QPoint cell(grid::GridEX* g, int row) { return g->tableView()->viewport()->mapFrom(g, g->cellCenter(row, 1)); }
    static void select(grid::GridEX* g, int row) { QTest::mouseClick(g->tableView()->viewport(), Qt::LeftButton, {}, cell(g, row)); }
    static void doubleClick(grid::GridEX* g, int row)
    {
        select(g, row);
        QTest::mouseDClick(g->tableView()->viewport(), Qt::LeftButton, {}, cell(g, row));
    }
    static qint64 insert(const QString& sql, const ado::Params& p = {}) { return testsupport::insertRow(sql, p); }
    QString column(const QString& table, const QString& col, qint64 key)
    {
        return db().scalar(QString("SELECT %1 FROM %2 WHERE %2_ID = ?").arg(col, table), {key}).toString();
    }
    QStringList log() { return rows("SELECT SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_ACTION FROM SYNCHRO ORDER BY rowid", {}, ","); }
    static QString entry(const QString& table, qint64 key, int action)
    {
        return QString("%1,%2,%3").arg(table).arg(key).arg(action);
    }
    static QLabel* labelOf(QWidget* control)
    {
        for (QLabel* l : control->window()->findChildren<QLabel*>())
            if (l->buddy() == control)
                return l;
        return nullptr;
    }
};

// ---------------------------------------------------------------- party

TEST_F(GuestEditor, EveryBoxAndPickerRoundTripsThroughItsColumn)
{
    struct Box {
        int tab;
        int index;  // Text1 index, -1 category, -2 title
        const char* label;
        const char* column;
        const char* typed;
    };
    const Box boxes[] = {
        {0, 0, "Party Name:", "GUEST_PARTYNAME", "Baker Family"}, {0, -1, "Category:", "GUEST_CATEGORY", "Cousins"},
        {0, -2, "Title:", "GUEST_TITLE", "Prof."},                {0, 2, "First Name:", "GUEST_FNAME", "Ada"},
        {0, 1, "Last Name:", "GUEST_LNAME", "Baker"},             {0, 3, "Address:", "GUEST_ADDRESS1", "1 Mill Rd"},
        {0, 4, "Address:", "GUEST_ADDRESS2", "Flat 2"},           {0, 5, "City:", "GUEST_CITY", "Leeds"},
        {0, 6, "State/Prov.", "GUEST_STATE", "WY"},               {0, 7, "ZIP/Postal Code", "GUEST_ZIP", "82001"},
        {0, 8, "Phone", "GUEST_PHONE1", "555-0101"},              {0, 9, "Phone", "GUEST_PHONE2", "555-0102"},
        {0, 10, "E-Mail", "GUEST_EMAIL", "ada@example.org"},      {1, 11, "Arrive Method:", "GUEST_TRAVELARRIVE", "Train"},
        {1, 13, "Arrive Notes:", "GUEST_TRAVELARRIVENOTES", "Platform 4"},
        {1, 14, "Depart Method:", "GUEST_TRAVELDEPART", "Car"},
        {1, 12, "Depart Notes:", "GUEST_TRAVELDEPARTNOTES", "Early start"},
        {2, 17, "Accomodation Location:", "GUEST_ACCOMPLACE", "Grand Hotel"},
        {2, 15, "Phone:", "GUEST_ACCOMPHONE", "555-0199"},        {2, 16, "Notes", "GUEST_ACCOMNOTES", "Late check-in"},
    };
    struct Moment {
        int tab;
        int pair;
        const char* dateLabel;
        const char* timeLabel;
        const char* column;
        QDate date;
        QTime time;
    };
    const Moment moments[] = {
        {2, 0, "Arrive Date:", "Arrive Time:", "GUEST_ACCOMARRIVETIME", {2027, 6, 11}, {15, 0}},
        {2, 1, "Depart Date:", "Depart Time:", "GUEST_ACCOMDEPARTTIME", {2027, 6, 14}, {10, 30}},
        {1, 2, "Arrive Date:", "Arrive Time:", "GUEST_TRAVELARRIVETIME", {2027, 6, 11}, {13, 45, 30}},
        {1, 3, "Depart Date:", "Depart Time:", "GUEST_TRAVELDEPARTTIME", {2027, 6, 14}, {9, 5}},
    };
    frmGuestDetail& g = open(frmGuestDetail::Mode::New);
    auto control = [&](int index) -> QWidget* {
        return index == -1 ? g.cmbCategory : index == -2 ? g.cmbTitle : g.Text1[index];
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.column);
        QTest::mouseClick(g.tabGuest, Qt::LeftButton, {}, g.tabGuest->tabRect(b.tab).center());
        ASSERT_TRUE(control(b.index)->isVisible());
        ASSERT_TRUE(labelOf(control(b.index)));
        EXPECT_EQ(labelOf(control(b.index))->text(), b.label);
        type(control(b.index), b.typed);
    }
    for (const Moment& m : moments) {
        QTest::mouseClick(g.tabGuest, Qt::LeftButton, {}, g.tabGuest->tabRect(m.tab).center());
        ASSERT_TRUE(g.datePicker(m.pair)->isVisible());
        EXPECT_EQ(labelOf(g.datePicker(m.pair))->text(), m.dateLabel);
        EXPECT_EQ(labelOf(g.timePicker(m.pair))->text(), m.timeLabel);
        g.datePicker(m.pair)->setDate(m.date);
        g.timePicker(m.pair)->setTime(m.time);
    }
    click(g.cmdAdd);
    ASSERT_FALSE(g.isLoaded());
    ASSERT_EQ(count("SELECT count(*) FROM GUEST"), 1);
    const qint64 key = db().scalar("SELECT GUEST_ID FROM GUEST").toLongLong();
    EXPECT_EQ(g.curRec, key);
    for (const Box& b : boxes)
        EXPECT_EQ(column("GUEST", b.column, key), b.typed) << b.column;
    for (const Moment& m : moments)
        EXPECT_EQ(column("GUEST", m.column, key), QDateTime(m.date, m.time).toString("yyyy-MM-dd HH:mm:ss")) << m.column;

    // Opened again, every control shows its column; saved unchanged, the row stays as it was.
    open(frmGuestDetail::Mode::Edit, key);
    EXPECT_EQ(g.window()->windowTitle(), "Edit Guest and Group");
    EXPECT_EQ(g.cmdAdd->text(), "Update");
    for (const Box& b : boxes) {
        QWidget* c = control(b.index);
        EXPECT_EQ(b.index < 0 ? static_cast<QComboBox*>(c)->currentText() : g.text1(b.index), b.typed) << b.column;
    }
    for (const Moment& m : moments) {
        EXPECT_EQ(g.datePicker(m.pair)->date(), m.date) << m.column;
        EXPECT_EQ(g.timePicker(m.pair)->time(), m.time) << m.column;
    }
    auto row = [&] {
        QStringList cols;
        for (const QString& c : db().columnNames("GUEST"))
            cols << column("GUEST", c, key);
        return cols;
    };
    const QStringList stored = row();
    click(g.cmdAdd);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(row(), stored);
}

TEST_F(GuestEditor, LeavingTheLastNameWritesTheNewPartyOnceWithItsFirstPerson)
{
    party().curRec = 4242;  // left from an earlier opening
    frmGuestDetail& g = open(frmGuestDetail::Mode::New);
    EXPECT_EQ(g.window()->windowTitle(), "New Guest and Group");
    EXPECT_EQ(g.cmdAdd->text(), "Add New");
    for (int pair = 0; pair < 4; ++pair)
        EXPECT_EQ(g.datePicker(pair)->text() + g.timePicker(pair)->text(), "") << "travel and stay are not known yet";
    type(g.Text1[0], "Lee Family");
    type(g.cmbTitle, "Mrs.");
    type(g.Text1[2], "Grace");
    type(g.Text1[8], "555-0111");
    type(g.Text1[10], "grace@example.org");
    type(g.Text1[1], "Lee");
    EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 0) << "nothing before the last name is left";
    tab(g.Text1[1]);
    ASSERT_EQ(count("SELECT count(*) FROM GUEST"), 1);
    ASSERT_EQ(count("SELECT count(*) FROM SUBGUEST"), 1);
    const qint64 key = db().scalar("SELECT GUEST_ID FROM GUEST").toLongLong();
    const qint64 first = db().scalar("SELECT SUBGUEST_ID FROM SUBGUEST").toLongLong();
    EXPECT_EQ(g.curRec, key);
    EXPECT_EQ(g.curMode, frmGuestDetail::Mode::Edit);
    EXPECT_EQ(db().scalar("SELECT GUEST_ID || ',' || SUBGUEST_FNAME || ',' || SUBGUEST_LNAME || ',' || SUBGUEST_TITLE "
                          "|| ',' || SUBGUEST_PHONE || ',' || SUBGUEST_EMAIL FROM SUBGUEST")
                  .toString(),
              QString("%1,Grace,Lee,Mrs.,555-0111,grace@example.org").arg(key));
    EXPECT_EQ(log(), QStringList({entry("GUEST", key, 1), entry("SUBGUEST", first, 1)}));
    EXPECT_EQ(g.GridSubguest->rowCount(), 1);
    EXPECT_EQ(g.GridSubguest->text(1, 1), "Grace");
    EXPECT_EQ(g.window()->windowTitle(), "New Guest and Group");
    EXPECT_EQ(g.cmdAdd->text(), "Add New");
    EXPECT_EQ(g.text1(1), "Lee") << "typing is kept";

    // Leaving it again writes nothing; "Add New" updates the same party.
    type(g.Text1[1], "Lee-Smith");
    tab(g.Text1[1]);
    type(g.Text1[5], "York");
    click(g.cmdAdd);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(testsupport::counts("GUEST SUBGUEST"), "1 1");
    EXPECT_EQ(column("GUEST", "GUEST_CITY", key), "York");
    EXPECT_EQ(column("GUEST", "GUEST_LNAME", key), "Lee-Smith");
    EXPECT_EQ(log().size(), 2);

    // "Add New" without ever leaving the last name: party and first person, then closed.
    open(frmGuestDetail::Mode::New);
    type(g.Text1[0], "Ode Family");
    click(g.cmdAdd);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST WHERE GUEST_ID = ?", {g.curRec}), 1);
    EXPECT_EQ(log().size(), 4);

    // The moments nobody gave stay empty; a time given without its date is
    // refused until the date is there.
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE coalesce(GUEST_ACCOMARRIVETIME, GUEST_ACCOMDEPARTTIME, "
                    "GUEST_TRAVELARRIVETIME, GUEST_TRAVELDEPARTTIME) IS NULL"),
              2);
    open(frmGuestDetail::Mode::Edit, key);
    testsupport::clickTab(g.tabGuest, "Travel");
    type(g.timePicker(2), "2:30 PM");
    click(g.cmdAdd);
    EXPECT_TRUE(g.isLoaded());
    EXPECT_EQ(messages.msgs->texts(), QStringList{"The changes could not be saved.\n\nThe time 2:30 PM has no date. "
                                                  "Please type its date as well, or clear the time."});
    type(g.datePicker(2), "8/14/2027");
    click(g.cmdAdd);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(column("GUEST", "GUEST_TRAVELARRIVETIME", key), "2027-08-14 14:30:00");
}

TEST_F(GuestEditor, AnOpenEditorKeepsItsPartyAndARefusedWriteLeavesNothing)
{
    const qint64 a = insert("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_CITY) VALUES ('Ash', 'Bath')");
    frmGuestDetail& g = open(frmGuestDetail::Mode::Edit, a);
    party().curMode = frmGuestDetail::Mode::New;
    party().curRec = 7;
    party().Show(ui::vbModeless);
    EXPECT_EQ(g.curMode, frmGuestDetail::Mode::Edit);
    EXPECT_EQ(g.curRec, a);
    EXPECT_EQ(g.text1(0), "Ash");
    g.Unload();

    db().Execute("CREATE TRIGGER refuse BEFORE INSERT ON SUBGUEST BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    open(frmGuestDetail::Mode::New);
    type(g.Text1[0], "Cole Family");
    type(g.Text1[1], "Cole");
    tab(g.Text1[1]);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 1) << "only the party from before";
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST"), 0);
    EXPECT_TRUE(log().isEmpty());
    EXPECT_EQ(g.curMode, frmGuestDetail::Mode::New);
    click(g.cmdAdd);
    EXPECT_TRUE(g.isLoaded()) << "a refused save keeps the window open";
    EXPECT_EQ(g.text1(0), "Cole Family");
    db().Execute("DROP TRIGGER refuse");
    click(g.cmdAdd);
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 2);
    EXPECT_EQ(log().size(), 2);

    // A party deleted while it was open is not written again.
    open(frmGuestDetail::Mode::Edit, a);
    db().Execute("DELETE FROM GUEST WHERE GUEST_ID = ?", {a});
    type(g.Text1[5], "Wells");
    click(g.cmdAdd);
    EXPECT_EQ(messages.msgs->texts().last(), editing::kRecordGone);
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_ID = ?", {a}), 0);
}

TEST_F(GuestEditor, LookupRefillsKeepEveryBoxsText)
{
    frmGuestDetail& g = open(frmGuestDetail::Mode::New);
    g.curRec = 0;
    type(g.Text1[0], "Dunn");
    type(g.cmbCategory, "Neighbours");
    type(g.cmbTitle, "Capt.");
    const struct {
        QPushButton* button;
        QComboBox* edited;
        QComboBox* kept;
        records::Lookup list;
        const char* added;
    } cases[] = {{g.cmdAddTitle, g.cmbTitle, g.cmbCategory, records::Lookup::Titles, "Rev."},
                 {g.cmdAddCategory, g.cmbCategory, g.cmbTitle, records::Lookup::GuestTypes, "Old school"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.added);
        const QString keptText = c.kept->currentText(), editedText = c.edited->currentText();
        click(c.button);
        frmAddType& t = frmAddType::instance();
        ASSERT_TRUE(t.isLoaded());
        EXPECT_EQ(t.curMode, c.list);
        EXPECT_EQ(t.fromForm, &g);
        QTest::keyClicks(t.txtItem, c.added);
        click(t.cmdAdd);
        click(t.cmdClose);
        EXPECT_GE(c.edited->findText(c.added), 0);
        EXPECT_EQ(c.edited->currentText(), editedText);
        EXPECT_EQ(c.kept->currentText(), keptText);
        EXPECT_EQ(g.text1(0), "Dunn");
    }

    // The person editor's title list, opened modal from its "Edit" button.
    const qint64 key = insert("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_LNAME) VALUES ('Dunn', 'Dunn')");
    person().curMode = frmNewSubguest::Mode::Add;
    person().guestID = key;
    person().guestLastName = "Dunn";
    person().Show(ui::vbModeless);
    frmNewSubguest& s = person();
    type(s.Text1[0], "Max");
    type(s.cmbTitles, "Sir");
    modal.modal->once("frmAddType", [&](ui::FormBase&) {
        EXPECT_EQ(frmAddType::instance().fromForm, &s);
        QTest::keyClicks(frmAddType::instance().txtItem, "Dame");
        click(frmAddType::instance().cmdAdd);
        click(frmAddType::instance().cmdClose);
    });
    click(s.cmdAddTitle);
    EXPECT_GE(s.cmbTitles->findText("Dame"), 0);
    EXPECT_EQ(s.cmbTitles->currentText(), "Sir");
    EXPECT_EQ(s.text1(0), "Max");
    EXPECT_EQ(s.text1(1), "Dunn");
}

// ---------------------------------------------------------------- people

TEST_F(GuestEditor, PeopleAreAddedToTheShownPartyAndEditedInPlace)
{
    party().curRec = 4242;
    frmGuestDetail& g = open(frmGuestDetail::Mode::New);
    type(g.Text1[0], "Park Family");
    type(g.Text1[2], "Jin");
    type(g.cmbCategory, "Friends");
    click(g.cmdAddSubguest);  // the party is written first
    ASSERT_EQ(count("SELECT count(*) FROM GUEST"), 1);
    const qint64 key = g.curRec;
    ASSERT_NE(key, 4242);
    frmNewSubguest& s = person();
    ASSERT_TRUE(s.isLoaded());
    EXPECT_EQ(s.window()->windowTitle(), "New Suguest");
    EXPECT_EQ(s.cmdAdd->text(), "Add");
    EXPECT_EQ(s.lblGroupName->text(), "Park Family");
    EXPECT_EQ(s.guestID, key);
    EXPECT_EQ(s.cmbTitles->currentText(), "");
    EXPECT_GT(s.cmbTitles->count(), 0);

    // A double-click on the list while adding only raises the open editor.
    doubleClick(g.GridSubguest, 1);
    EXPECT_EQ(s.curMode, frmNewSubguest::Mode::Add);
    EXPECT_TRUE(modal.modal->shown.isEmpty());

    type(s.Text1[0], "Min");
    type(s.cmbTitles, "Ms.");
    type(s.Text1[2], "555-0123");
    type(s.Text1[3], "min@example.org");
    type(s.Text1[4], "Vegetarian");
    click(s.cmdAdd);
    EXPECT_FALSE(s.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST WHERE GUEST_ID = ?", {key}), 2);
    const qint64 min = db().scalar("SELECT SUBGUEST_ID FROM SUBGUEST WHERE SUBGUEST_FNAME = 'Min'").toLongLong();
    EXPECT_EQ(column("SUBGUEST", "SUBGUEST_LNAME", min), "") << "the party's last name was empty";
    EXPECT_EQ(column("SUBGUEST", "SUBGUEST_NOTE", min), "Vegetarian");
    EXPECT_EQ(log().last(), entry("SUBGUEST", min, 2));
    ASSERT_EQ(g.GridSubguest->rowCount(), 2);
    EXPECT_EQ(g.GridSubguest->text(2, 1), "Min");
    EXPECT_EQ(g.GridSubguest->text(2, 3), "Ms.");

    // A double-click edits the person: stored values shown, the same row changed.
    const int logRows = log().size();
    modal.modal->once("frmNewSubguest", [&](ui::FormBase&) {
        EXPECT_EQ(s.window()->windowTitle(), "Update Subguest");
        EXPECT_EQ(s.cmdAdd->text(), "Update");
        EXPECT_EQ(s.subguestID, min);
        EXPECT_EQ(s.cmbTitles->currentText(), "Ms.");
        EXPECT_EQ(s.text1(3), "min@example.org");
        type(s.cmbTitles, "Dr. (hon.)");
        type(s.Text1[1], "Park");
        click(s.cmdAdd);
    });
    doubleClick(g.GridSubguest, 2);
    EXPECT_EQ(modal.modal->shown, QStringList{"frmNewSubguest"});
    EXPECT_EQ(column("SUBGUEST", "SUBGUEST_TITLE", min), "Dr. (hon.)");
    EXPECT_EQ(column("SUBGUEST", "GUEST_ID", min), QString::number(key));
    EXPECT_EQ(log().size(), logRows) << "its log row is kept, not doubled";
    EXPECT_EQ(g.GridSubguest->rowCount(), 2);
    EXPECT_EQ(g.GridSubguest->text(2, 2), "Park");

    // Deleting through the confirmation shows the list afresh.
    select(g.GridSubguest, 2);
    click(g.cmdDeleteSubguest);
    frmDeleteSingle& d = frmDeleteSingle::instance();
    ASSERT_TRUE(d.isLoaded());
    EXPECT_EQ(d.delMode, records::DeleteKind::SubguestFromDetail);
    EXPECT_EQ(d.delID, min);
    EXPECT_EQ(d.delString, "Min Park");
    click(d.cmdDelete);
    EXPECT_EQ(g.GridSubguest->rowCount(), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST WHERE GUEST_ID = ?", {key}), 1);
}

TEST_F(GuestEditor, APartyWithoutPeopleAndRefusedPersonWrites)
{
    const qint64 key = insert("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_LNAME) VALUES ('Quinn', 'Quinn')");
    frmGuestDetail& g = open(frmGuestDetail::Mode::Edit, key);
    ASSERT_EQ(g.GridSubguest->rowCount(), 0);
    click(g.cmdDeleteSubguest);
    EXPECT_FALSE(frmDeleteSingle::instance().isLoaded()) << "no person, nothing to delete";

    // A double-click with nobody listed edits person 0: nothing is stored.
    modal.modal->once("frmNewSubguest", [&](ui::FormBase&) {
        EXPECT_EQ(person().subguestID, 0);
        EXPECT_EQ(person().window()->windowTitle(), "Update Subguest");
        type(person().Text1[0], "Nobody");
        click(person().cmdAdd);
        EXPECT_FALSE(person().isLoaded());
    });
    QTest::mouseDClick(g.GridSubguest->tableView()->viewport(), Qt::LeftButton, {}, QPoint(20, 40));
    EXPECT_EQ(modal.modal->shown, QStringList{"frmNewSubguest"});
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST"), 0);
    EXPECT_TRUE(log().isEmpty());

    // A refused person stays in its open editor; nothing is left behind.
    db().Execute("CREATE TRIGGER refuse BEFORE INSERT ON SUBGUEST BEGIN SELECT RAISE(ABORT, 'no room'); END");
    click(g.cmdAddSubguest);
    frmNewSubguest& s = person();
    type(s.Text1[0], "Rae");
    click(s.cmdAdd);
    EXPECT_TRUE(s.isLoaded());
    EXPECT_EQ(s.text1(0), "Rae");
    EXPECT_TRUE(messages.msgs->texts().last().contains("no room"));
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST"), 0);
    EXPECT_TRUE(log().isEmpty());

    // With the party editor closed, the person is still stored under its party.
    db().Execute("DROP TRIGGER refuse");
    click(g.cmdCancel);
    ASSERT_FALSE(g.isLoaded());
    click(s.cmdAdd);
    EXPECT_FALSE(s.isLoaded());
    EXPECT_FALSE(g.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST WHERE GUEST_ID = ? AND SUBGUEST_LNAME = 'Quinn'", {key}), 1);
}

TEST_F(GuestEditor, ClosingShowsTheMainGuestsViewAfresh)
{
    m().Show(ui::vbModeless);
    m().ExplorerBarCtlQV1->clickItem("GUESTMODE");
    ASSERT_EQ(m().curDataMode, views::DataMode::Guests);
    const int before = m().GridEX1->rowCount();
    m().ExplorerBarCtlQV1->clickItem("ADDGUEST");
    frmGuestDetail& g = party();
    ASSERT_TRUE(g.isLoaded());
    activate(g.widget());
    type(g.Text1[0], "Vance Family");
    type(g.Text1[2], "Ivy");
    type(g.Text1[1], "Vance");
    click(g.cmdCancel);  // leaving the last name for the button writes the party first
    EXPECT_FALSE(g.isLoaded());
    EXPECT_GT(m().GridEX1->rowCount(), before);
}

// Under a real display (xvfb-run) with NUPTARO_SCREENSHOTS set to a folder,
// saves each page of the party editor with three people, and the person editor.
TEST_F(GuestEditor, Screenshots)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    const qint64 key = insert(
        "INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_FNAME, GUEST_LNAME, GUEST_TITLE, GUEST_ADDRESS1, GUEST_ADDRESS2, "
        "GUEST_CITY, GUEST_STATE, GUEST_ZIP, GUEST_PHONE1, GUEST_PHONE2, GUEST_EMAIL, GUEST_CATEGORY, "
        "GUEST_TRAVELARRIVE, GUEST_TRAVELARRIVENOTES, GUEST_TRAVELDEPART, GUEST_TRAVELDEPARTNOTES, GUEST_ACCOMPLACE, "
        "GUEST_ACCOMPHONE, GUEST_ACCOMNOTES, GUEST_TRAVELARRIVETIME, GUEST_TRAVELDEPARTTIME, GUEST_ACCOMARRIVETIME, "
        "GUEST_ACCOMDEPARTTIME) VALUES ('The Hartley Family', 'Robert', 'Hartley', 'Mr.', '42 Willow Lane', "
        "'Apartment 3B', 'Springfield', 'IL', '62704', '217-555-0142', '217-555-0199', 'rhartley@example.com', "
        "'Family of the Bride', 'Flight UA 512', 'Lands at O''Hare, needs a ride from the airport', 'Flight UA 519', "
        "'Leaves after the brunch', 'Lakeside Inn', '312-555-0100', 'Two rooms, late check-in', "
        "'2027-06-11 14:20:00', '2027-06-14 17:05:00', '2027-06-11 16:00:00', '2027-06-14 11:00:00')");
    db().Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) VALUES "
                 "(?1, 'Robert', 'Hartley', 'Mr.'), (?1, 'Ellen', 'Hartley', 'Mrs.'), (?1, 'Sophie', 'Hartley', 'Miss')",
                 {key});
    frmGuestDetail& g = open(frmGuestDetail::Mode::Edit, key);
    for (int tab = 0; tab < 3; ++tab) {
        QTest::mouseClick(g.tabGuest, Qt::LeftButton, {}, g.tabGuest->tabRect(tab).center());
        testsupport::snap(g.widget(), dir, QString("guest_page%1").arg(tab + 1));
    }
    modal.modal->once("frmNewSubguest", [&](ui::FormBase&) {
        testsupport::snap(person().widget(), dir, "subguest_edit");
    });
    doubleClick(g.GridSubguest, 2);
    click(g.cmdAddSubguest);
    testsupport::snap(person().widget(), dir, "subguest_add");
}

}  // namespace
