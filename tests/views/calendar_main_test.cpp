// The calendars and the report as the main window runs them.

#include "support/fixture.h"
#include "support/mainwindow.h"
#include "app/frmMain.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/grid/gridex.h"
#include "views/frmPreview.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace {

class MainCalendarTest : public testsupport::MainWindowTest<> {
protected:
    void TearDown() override
    {
        frmPreview::instance().Unload();
        MainWindowTest::TearDown();
    }
};

}  // namespace

TEST_F(MainCalendarTest, DayAndMonthFillsOnTheWindowsControls)
{
    db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES "
                 "('Florist', '2004-11-10 09:30:00', '2004-11-10 10:45:00')");
    m().Show(ui::vbModeless);
    frmMain& f = m();
    f.ChangeDate(ado::convert::wallClock(QDate(2004, 11, 10), QTime(16, 5)));
    EXPECT_EQ(f.curDate, ado::convert::wallClock(QDate(2004, 11, 10), QTime(0, 0)));
    EXPECT_EQ(f.curDataMode, "Today");
    EXPECT_EQ(f.lblMode->text(), "Day Calendar");
    EXPECT_EQ(f.lblDate->text(), "November 10, 2004");
    EXPECT_EQ(f.MonthView1->selectedDate(), QDate(2004, 11, 10));
    ASSERT_EQ(f.calDay->entryCount(), 1);
    EXPECT_EQ(f.calDay->entryStart(0), 570);
    EXPECT_TRUE(f.DayApptRS->isOpen());

    // The picker click with the day panel on screen leaves the day's key and caption.
    f.ShowPanel(f.frameDate);
    f.MonthView1_DateClick(QDate(2004, 11, 13));
    EXPECT_EQ(f.curDataMode, "Today");
    EXPECT_EQ(f.lblMode->text(), "Day Calendar");
    EXPECT_EQ(f.Calendar1->currentDay(), calendar::MonthCalendar::dayNumber({2004, 11, 13}));
    EXPECT_EQ(f.lblMonth->text(), "Oct - Dec, 2004");

    f.ShowPanel(f.frameMonth);
    f.MonthView1_DateClick(QDate(2004, 11, 10));
    EXPECT_EQ(f.curDataMode, "Month");
    EXPECT_EQ(f.Calendar1->dayText(calendar::MonthCalendar::dayNumber({2004, 11, 10})), "Florist\r\n");

    f.Calendar1_DayClick(calendar::MonthCalendar::dayNumber({2004, 11, 10}));
    EXPECT_EQ(f.curFrame, f.frameDate);
    EXPECT_EQ(f.curDataMode, "Today");

    // Editing the entry in place writes through the window's recordset.
    f.calDay->beginEdit(0);
    f.calDay->editor()->setText("Florist visit");
    f.calDay->commitEdit();
    EXPECT_EQ(db().scalar("SELECT APPOINTMENT_TEXT FROM APPOINTMENT").toString(), "Florist visit");
}

TEST_F(MainCalendarTest, ReportOfTheShownViewFromTheMainWindow)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    auto rs = ado::Recordset::create();
    rs->Open("SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item] FROM EXPENSES", db(), ado::adOpenKeyset,
             ado::adLockOptimistic);
    f.GridEX1->bind(rs);
    f.curDataMode = "Expenses";
    f.PrintGridReport();
    ASSERT_TRUE(frmPreview::instance().isLoaded());
    EXPECT_EQ(frmPreview::instance().curMode, "Expenses");
    EXPECT_EQ(f.GridEX1->pageHeader(), "Expense Report for Our Wedding");
    EXPECT_FALSE(f.widget()->isVisible());
    EXPECT_EQ(report::mainWindow(), f.widget());
    frmPreview::instance().gridPreview_Close();
    EXPECT_TRUE(f.widget()->isVisible());
}
