// The calendars and the report as the main window runs them.

#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/userinput.h"
#include "app/frmMain.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "views/frmPreview.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

class MainCalendarTest : public testsupport::ShownMainWindowTest<> {
protected:
    void TearDown() override
    {
        frmPreview::instance().Unload();
        ShownMainWindowTest::TearDown();
    }
};

}  // namespace

TEST_F(MainCalendarTest, DayAndMonthFillsOnTheWindowsControls)
{
    db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES "
                 "('Florist', '2004-11-10 09:30:00', '2004-11-10 10:45:00')");
    frmMain& f = m();
    f.ChangeDate(ado::convert::wallClock(QDate(2004, 11, 10), QTime(16, 5)));
    EXPECT_EQ(f.curDate, ado::convert::wallClock(QDate(2004, 11, 10), QTime(0, 0)));
    EXPECT_EQ(f.curDataMode, views::DataMode::Today);
    EXPECT_EQ(f.lblMode->text(), "Day Calendar");
    EXPECT_EQ(f.lblDate->text(), "November 10, 2004");
    EXPECT_EQ(f.MonthView1->selectedDate(), QDate(2004, 11, 10));
    ASSERT_EQ(f.calDay->entryCount(), 1);
    EXPECT_EQ(f.calDay->entryStart(0), 570);
    EXPECT_TRUE(f.DayApptRS->isOpen());

    // The picker click with the day panel on screen leaves the day's key and caption.
    f.ShowPanel(f.frameDate);
    f.MonthView1_DateClick(QDate(2004, 11, 13));
    EXPECT_EQ(f.curDataMode, views::DataMode::Today);
    EXPECT_EQ(f.lblMode->text(), "Day Calendar");
    EXPECT_EQ(f.Calendar1->currentDay(), calendar::MonthCalendar::dayNumber({2004, 11, 13}));
    EXPECT_EQ(f.lblMonth->text(), "Oct - Dec, 2004");

    f.ShowPanel(f.frameMonth);
    f.MonthView1_DateClick(QDate(2004, 11, 10));
    EXPECT_EQ(f.curDataMode, views::DataMode::Month);
    EXPECT_EQ(f.Calendar1->dayText(calendar::MonthCalendar::dayNumber({2004, 11, 10})), "Florist\r\n");

    f.Calendar1_DayClick(calendar::MonthCalendar::dayNumber({2004, 11, 10}));
    EXPECT_EQ(f.curFrame, f.frameDate);
    EXPECT_EQ(f.curDataMode, views::DataMode::Today);

    // Editing the entry in place writes through the window's recordset.
    f.calDay->beginEdit(0);
    f.calDay->editor()->setText("Florist visit");
    f.calDay->commitEdit();
    EXPECT_EQ(db().scalar("SELECT APPOINTMENT_TEXT FROM APPOINTMENT").toString(), "Florist visit");
}

TEST_F(MainCalendarTest, ReportOfTheShownViewFromTheMainWindow)
{
    frmMain& f = m();
    auto rs = ado::Recordset::create();
    rs->Open("SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item] FROM EXPENSES", db(), ado::adOpenKeyset,
             ado::adLockOptimistic);
    f.GridEX1->bind(rs);
    f.curDataMode = views::DataMode::Expenses;
    f.PrintGridReport();
    ASSERT_TRUE(frmPreview::instance().isLoaded());
    EXPECT_EQ(frmPreview::instance().returnTo, f.widget());
    EXPECT_EQ(frmPreview::instance().gridPreview->source(), f.GridEX1);
    EXPECT_EQ(f.GridEX1->pageHeader(), "Expense Report for Our Wedding");
    EXPECT_FALSE(f.widget()->isVisible());
    frmPreview::instance().gridPreview_Close();
    EXPECT_TRUE(f.widget()->isVisible());
}

TEST_F(MainCalendarTest, TypingOnASelectedEntryAddsANewEntryAndBlanksAreNoText)
{
    db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES "
                 "('Wedding weekend', '2004-11-09 12:00:00', '2004-11-13 12:00:00'), "
                 "('Florist', '2004-11-10 09:30:00', '2004-11-10 10:45:00')");
    frmMain& f = m();
    f.window()->resize(1000, 760);
    f.ShowPanel(f.frameDate);
    f.ArrangePanels();
    f.ChangeDate(QDateTime(QDate(2004, 11, 10), QTime(0, 0)));
    calendar::DayPlanner* day = f.calDay;
    const auto index = [&](const QString& text) {
        for (int i = 0; i < day->entryCount(); ++i)
            if (day->entryText(i) == text)
                return i;
        return -1;
    };
    const auto clickAt = [&](int entry, int minute) {
        day->setFirstVisibleMinute(std::max(0, minute - 60));
        const int x = entry >= 0 ? day->entryRect(entry).center().x() : day->width() - 40;
        QTest::mouseClick(day, Qt::LeftButton, {}, QPoint(x, day->yForMinute(minute) + 2));
    };
    const auto text = [&](const char* sql) { return db().scalar(sql).toString(); };
    const char* weekend = "SELECT APPOINTMENT_TEXT || ' ' || APPOINTMENT_START || ' ' || APPOINTMENT_END FROM "
                          "APPOINTMENT WHERE APPOINTMENT_TEXT LIKE 'Wedding%'";
    ASSERT_EQ(text(weekend), "Wedding weekend 2004-11-09 12:00:00 2004-11-13 12:00:00");

    // Typing over the four-day entry at 2:10 PM adds an entry at 2 PM and leaves it alone.
    clickAt(index("Wedding weekend"), 850);
    ASSERT_EQ(day->currentEntry(), index("Wedding weekend"));
    QTest::keyClicks(day, "C");
    ASSERT_TRUE(day->isEditing());
    EXPECT_EQ(day->editor()->text(), "C");
    QTest::keyClicks(day->editor(), "ake tasting");
    QTest::keyClick(day->editor(), Qt::Key_Return);
    EXPECT_EQ(text(weekend), "Wedding weekend 2004-11-09 12:00:00 2004-11-13 12:00:00");
    EXPECT_EQ(text("SELECT APPOINTMENT_START || ' ' || APPOINTMENT_END FROM APPOINTMENT "
                   "WHERE APPOINTMENT_TEXT = 'Cake tasting'"),
              "2004-11-10 14:00:00 2004-11-10 14:30:00");
    EXPECT_GE(index("Cake tasting"), 0);

    // F2 and Enter edit the selected entry's own text.
    clickAt(index("Florist"), 600);
    QTest::keyClick(day, Qt::Key_F2);
    ASSERT_EQ(day->editingEntry(), index("Florist"));
    QTest::keyClick(day->editor(), Qt::Key_End);
    QTest::keyClicks(day->editor(), " visit");
    QTest::keyClick(day->editor(), Qt::Key_Return);
    EXPECT_EQ(text("SELECT count(*) FROM APPOINTMENT WHERE APPOINTMENT_TEXT = 'Florist visit'"), "1");
    clickAt(-1, 1200);
    clickAt(index("Florist visit"), 600);
    QTest::keyClick(day, Qt::Key_Return);
    ASSERT_EQ(day->editingEntry(), index("Florist visit"));
    // Cleared to blanks, the entry keeps its stored text.
    QTest::keyClicks(day->editor(), "   ");
    QTest::keyClick(day->editor(), Qt::Key_Return);
    EXPECT_EQ(text("SELECT count(*) FROM APPOINTMENT WHERE APPOINTMENT_TEXT = 'Florist visit'"), "1");
    EXPECT_GE(index("Florist visit"), 0);

    // Blanks typed on empty time store nothing and leave nothing on screen.
    const int entries = day->entryCount();
    clickAt(-1, 1200);
    QTest::keyClicks(day, "   ");
    QTest::keyClick(day->editor(), Qt::Key_Return);
    EXPECT_EQ(text("SELECT count(*) FROM APPOINTMENT"), "3");
    EXPECT_EQ(day->entryCount(), entries);
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(MainCalendarTest, TheRsvpReportListsEveryEventAndNamesNone)
{
    frmMain& f = m();
    for (bool events : {false, true}) {
        if (events)
            db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Ceremony'), (2, 'Reception')");
        f.ExplorerBarCtlQV1->clickItem("RSVPMODE");
        ASSERT_EQ(f.curDataMode, views::DataMode::RSVP);
        f.ExplorerBarCtlQV1->clickItem("RSVPREPORT");
        ASSERT_TRUE(frmPreview::instance().isLoaded());
        EXPECT_EQ(f.GridEX1->pageHeader(), "RSVP Report for Our Wedding") << events;
        frmPreview::instance().gridPreview_Close();
    }
}

namespace {

class ActiveCalendarTest : public MainCalendarTest {
protected:
    void SetUp() override
    {
        MainCalendarTest::SetUp();
        ASSERT_TRUE(testsupport::showActive(m().widget()));
    }
    QString appointment(const QString& text)
    {
        return db().scalar("SELECT APPOINTMENT_START || ' ' || APPOINTMENT_END FROM APPOINTMENT WHERE APPOINTMENT_TEXT = ?",
                           {text}).toString();
    }
};

}  // namespace

// An entry dragged by its body keeps its length, also one that the shown
// day cuts off at a midnight.
TEST_F(ActiveCalendarTest, ADraggedEntryKeepsItsLengthAcrossMidnight)
{
    db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES "
                 "('Drive home', '2027-03-14 22:00:00', '2027-03-15 02:00:00'), "
                 "('Late party', '2027-03-15 21:00:00', '2027-03-16 03:00:00'), "
                 "('Florist', '2027-03-15 09:30:00', '2027-03-15 10:45:00'), "
                 "('Cake tasting', '2027-03-15 09:05:00', '2027-03-15 09:50:00'), "
                 "('Fitting', '2027-03-15 14:20:00', '2027-03-15 15:10:00')");
    frmMain& f = m();
    calendar::DayPlanner* day = f.calDay;
    const struct {
        const char* text;
        int hours;
        int pixels;  // a move of the hand within a click
        const char* stored;
    } cases[] = {
        {"Drive home", 1, 0, "2027-03-14 23:00:00 2027-03-15 03:00:00"},
        {"Late party", -1, 0, "2027-03-15 20:00:00 2027-03-16 02:00:00"},
        {"Florist", 1, 0, "2027-03-15 10:30:00 2027-03-15 11:45:00"},
        // A click never moves an entry off the quarter hour onto it.
        {"Cake tasting", 0, 1, "2027-03-15 09:05:00 2027-03-15 09:50:00"},
        {"Fitting", 0, -1, "2027-03-15 14:20:00 2027-03-15 15:10:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        f.ChangeDate(ado::convert::wallClock(QDate(2027, 3, 15)));
        int i = 0;
        while (i < day->entryCount() && day->entryText(i) != c.text)
            ++i;
        ASSERT_LT(i, day->entryCount());
        day->setFirstVisibleMinute(std::max(0, day->entryStart(i) - 120));
        const QRect r = day->entryRect(i);
        const QPoint from(r.center().x(), std::min(r.top() + 12, r.bottom() - 12));
        const QPoint to = from + QPoint(0, c.hours * 60 / day->slotMinutes() * day->slotHeight() + c.pixels);
        QTest::mousePress(day, Qt::LeftButton, {}, from);
        QTest::mouseMove(day, (from + to) / 2);
        QTest::mouseMove(day, to);
        QTest::mouseRelease(day, Qt::LeftButton, {}, to);
        EXPECT_EQ(appointment(c.text), c.stored);
    }
    // Drawn as stored: the drive still begins before the day.
    f.ChangeDate(ado::convert::wallClock(QDate(2027, 3, 15)));
    EXPECT_EQ(day->entryStart(0), 0);
    EXPECT_EQ(day->entryEnd(0), 180);
}

// The small month of the bar changes the day by keys as by a click.
TEST_F(ActiveCalendarTest, TheBarsMonthChangesTheDayByKeys)
{
    frmMain& f = m();
    f.ChangeDate(ado::convert::wallClock(QDate(2027, 3, 15)));
    auto* days = f.MonthView1->findChild<QTableView*>("qt_calendar_calendarview");
    ASSERT_TRUE(days && days->isVisible());
    days->setFocus();
    const struct {
        Qt::Key key;
        QDate shown;
    } steps[] = {{Qt::Key_Right, {2027, 3, 16}}, {Qt::Key_Down, {2027, 3, 23}}, {Qt::Key_Left, {2027, 3, 22}}};
    for (const auto& s : steps) {
        QTest::keyClick(days, s.key);
        EXPECT_EQ(f.curDate.date(), s.shown);
        EXPECT_EQ(f.lblDate->text(), QLocale::c().toString(s.shown, "MMMM dd, yyyy"));
    }
    // Enter takes the chosen day again: an appointment added meanwhile shows.
    db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES "
                 "('Cake tasting', '2027-03-22 15:00:00', '2027-03-22 16:00:00')");
    QTest::keyClick(days, Qt::Key_Return);
    ASSERT_EQ(f.calDay->entryCount(), 1);
    EXPECT_EQ(f.calDay->entryText(0), "Cake tasting");
    EXPECT_EQ(f.curFrame, f.frameDate);

    // Turned by its arrow or the wheel, the month frames the same day of the
    // new page, and Enter shows that day.
    const struct {
        const char* how;
        std::function<void()> turn;
        QDate shown;
    } turns[] = {
        {"arrow", [&] { QTest::mouseClick(f.MonthView1->findChild<QToolButton*>("qt_calendar_nextmonth"), Qt::LeftButton); },
         {2027, 4, 22}},
        {"wheel", [&] { testsupport::wheel(days, days->rect().center(), -1); }, {2027, 5, 22}},
    };
    for (const auto& t : turns) {
        SCOPED_TRACE(t.how);
        const QDate before = f.curDate.date();
        t.turn();
        EXPECT_EQ(f.MonthView1->monthShown(), t.shown.month());
        EXPECT_EQ(f.curDate.date(), before) << "turning a page shows no other day";
        QTest::keyClick(days, Qt::Key_Return);
        EXPECT_EQ(f.curDate.date(), t.shown);
        EXPECT_EQ(f.MonthView1->selectedDate(), t.shown);
    }
}
