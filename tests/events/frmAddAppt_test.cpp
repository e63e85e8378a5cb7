// The appointment editor: the proposed half-hour start and end, the end
// following the start date, saving with its log row, refused saves, and the
// calendar on screen drawn again.

#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "events/frmAddAppt.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/navbar/explorerbar.h"
#include "records/frmAddType.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimeZone>

namespace {

using testsupport::click;
using testsupport::type;
using Appt = frmAddAppt;

TEST(AppointmentProposal, RoundsUpToTheHalfHourOnTheWallClock)
{
    const QDate may3(2027, 5, 3), may4(2027, 5, 4), dec31(2027, 12, 31), jan1(2028, 1, 1);
    struct Case {
        QDate day;
        QTime at;
        Appt::Moment start, end;
    };
    const Case cases[] = {
        {may3, {10, 0}, {may3, {10, 0}}, {may3, {11, 0}}},
        {may3, {10, 0, 45}, {may3, {10, 0}}, {may3, {11, 0}}},
        {may3, {10, 15}, {may3, {10, 30}}, {may3, {11, 30}}},
        {may3, {10, 30}, {may3, {10, 30}}, {may3, {11, 30}}},
        {may3, {10, 31}, {may3, {11, 0}}, {may3, {12, 0}}},
        {may3, {22, 45}, {may3, {23, 0}}, {may4, {0, 0}}},
        {may3, {23, 10}, {may3, {23, 30}}, {may4, {0, 30}}},
        {may3, {23, 45}, {may4, {0, 0}}, {may4, {1, 0}}},
        {may3, {14, 0}, {may3, {14, 0}}, {may3, {15, 0}}},
        {may3, {14, 20}, {may3, {14, 30}}, {may3, {15, 30}}},
        {may3, {22, 50}, {may3, {23, 0}}, {may4, {0, 0}}},
        {may3, {23, 40}, {may4, {0, 0}}, {may4, {1, 0}}},
        {dec31, {23, 30, 59}, {dec31, {23, 30}}, {jan1, {0, 30}}},
        {dec31, {23, 40}, {jan1, {0, 0}}, {jan1, {1, 0}}},
        {dec31, {23, 59, 59}, {jan1, {0, 0}}, {jan1, {1, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.toString("HH:mm:ss").toStdString() + " on " + c.day.toString(Qt::ISODate).toStdString());
        // Any time spec gives the same wall-clock proposal.
        for (const QDateTime& at : {QDateTime(c.day, c.at), QDateTime(c.day, c.at, QTimeZone::utc())}) {
            EXPECT_EQ(Appt::proposedStart(at), c.start);
            EXPECT_EQ(Appt::proposedEnd(at), c.end);
        }
    }
}

class AppointmentEditor : public testsupport::MainWindowTest<> {
protected:
    void open(const QDateTime& at, const std::function<void(Appt&)>& act)
    {
        Appt& a = Appt::instance();
        a.curApptDate = at;
        modal.modal->once("frmAddAppt", [&](ui::FormBase&) { act(a); });
        a.Show(ui::vbModal);
    }
    // Types a whole date into a picker, the way a user overwrites its sections.
    static void typeDate(QDateEdit* d, const QDate& day)
    {
        d->setFocus();
        QTest::keyClick(d, Qt::Key_Home);
        QTest::keyClicks(d, day.toString("M/d/yyyy"));
        QTest::keyClick(d, Qt::Key_Tab);
    }
    qlonglong appointments() { return count("SELECT count(*) FROM APPOINTMENT"); }
    qlonglong logRows() { return count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'APPOINTMENT'"); }
};

TEST_F(AppointmentEditor, ProposalOnScreenAndTheEndFollowingTheStartDate)
{
    const QDate may3(2027, 5, 3), may4(2027, 5, 4), may10(2027, 5, 10), may11(2027, 5, 11);
    open({may3, {22, 50}}, [&](Appt& a) {
        EXPECT_EQ(a.window()->windowTitle(), "Add Appointment");
        EXPECT_EQ(a.dtStartDate->date(), may3);
        EXPECT_EQ(a.dtStartTime->time(), QTime(23, 0));
        EXPECT_EQ(a.dtEndDate->date(), may4);
        EXPECT_EQ(a.dtEndTime->time(), QTime(0, 0));
        EXPECT_EQ(a.cmbPriority->currentText(), "No Priority");
        // 23:00 to 0:00 on one day would end before it starts: the end goes to the next day.
        typeDate(a.dtStartDate, may10);
        EXPECT_EQ(a.dtStartDate->date(), may10);
        EXPECT_EQ(a.dtEndDate->date(), may11);
    });
    open({may3, {14, 20}}, [&](Appt& a) {
        a.dtEndDate->setDate(QDate(2027, 5, 12));
        typeDate(a.dtStartDate, may10);
        EXPECT_EQ(a.dtEndDate->date(), may10) << "pulled back to the start date";
        EXPECT_EQ(a.dtStartTime->time(), QTime(14, 30));
        EXPECT_EQ(a.dtEndTime->time(), QTime(15, 30));
    });
}

TEST_F(AppointmentEditor, SavingAddsTheRowAndOneLogRow)
{
    open({{2027, 5, 3}, {10, 15}}, [&](Appt& a) {
        // Without a title: the message, the window stays with what was typed.
        type(a.txtNotes, "bring swatches");
        click(a.cmdSave);
        EXPECT_TRUE(a.isLoaded());
        EXPECT_EQ(messages.msgs->texts(), QStringList{"Please enter in a title for the appointment."});
        // Ending before it starts: the same.
        a.dtEndTime->setTime(QTime(9, 0));
        type(a.txtTitle, "Florist");
        click(a.cmdSave);
        EXPECT_TRUE(a.isLoaded());
        EXPECT_EQ(messages.msgs->texts().last(), "The end of the appointment is before its start.");
        a.dtEndTime->setTime(QTime(11, 30));
        click(a.cmdSave);
        EXPECT_FALSE(a.isLoaded());
    });
    ASSERT_EQ(appointments(), 1);
    ado::Recordset rs;
    rs.Open("SELECT * FROM APPOINTMENT", db(), ado::adOpenStatic, ado::adLockReadOnly);
    EXPECT_EQ(rs.value("APPOINTMENT_TEXT").toString(), "Florist");
    EXPECT_EQ(rs.value("APPOINTMENT_START").toDateTime(), QDateTime(QDate(2027, 5, 3), QTime(10, 30)));
    EXPECT_EQ(rs.value("APPOINTMENT_END").toDateTime(), QDateTime(QDate(2027, 5, 3), QTime(11, 30)));
    EXPECT_EQ(rs.value("APPOINTMENT_NOTE").toString(), "bring swatches");
    EXPECT_EQ(rs.value("APPOINTMENT_PRIORITY").toString(), "No Priority");
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'APPOINTMENT' AND SYNCHRO_RECORDID = ? "
                    "AND SYNCHRO_ACTION = 1",
                    {rs.value("APPOINTMENT_ID")}),
              1);
    EXPECT_EQ(logRows(), 1);

    // A refused write: said so, nothing kept, the window stays.
    db().Execute("CREATE TRIGGER no_add BEFORE INSERT ON APPOINTMENT BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    messages.msgs->shown.clear();
    open({{2027, 5, 3}, {9, 0}}, [&](Appt& a) {
        type(a.txtTitle, "Baker");
        click(a.cmdSave);
        EXPECT_TRUE(a.isLoaded());
        EXPECT_EQ(a.txtTitle->text(), "Baker");
    });
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    EXPECT_EQ(appointments(), 1);
    EXPECT_EQ(logRows(), 1);
}

TEST_F(AppointmentEditor, ThePriorityListAfterTheLookupEditor)
{
    open({{2027, 5, 3}, {9, 0}}, [&](Appt& a) {
        type(a.txtTitle, "Baker");
        a.cmbPriority->setCurrentText("High");
        modal.modal->once("frmAddType", [&](ui::FormBase&) {
            frmAddType& t = frmAddType::instance();
            EXPECT_EQ(t.fromForm, "AddAppointment");
            EXPECT_EQ(t.curMode, "Priority");
            type(t.txtItem, "Urgent");
            click(t.cmdAdd);
            click(t.cmdClose);
        });
        click(a.cmdEditPriority);
        EXPECT_EQ(a.cmbPriority->currentText(), "No Priority");
        EXPECT_GE(a.cmbPriority->findText("Urgent"), 1);
        EXPECT_EQ(a.txtTitle->text(), "Baker");
        // A typed priority is stored as typed.
        a.cmbPriority->setEditText("When we can");
        click(a.cmdSave);
    });
    EXPECT_EQ(db().scalar("SELECT APPOINTMENT_PRIORITY FROM APPOINTMENT").toString(), "When we can");
}

TEST_F(AppointmentEditor, TheCalendarOnScreenIsDrawnAgain)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    const QDate day(2027, 5, 3);
    f.ChangeDate(QDateTime(day, QTime(0, 0)));
    auto addFrom = [&](const char* item, const char* title) {
        modal.modal->once("frmAddAppt", [&](ui::FormBase&) {
            EXPECT_EQ(Appt::instance().curApptDate.date(), day);
            type(Appt::instance().txtTitle, title);
            click(Appt::instance().cmdSave);
        });
        f.ExplorerBarCtlQV1->clickItem(item);
    };
    f.ShowPanel(f.frameDate);
    addFrom("ADDAPPOINTMENT", "Day one");
    EXPECT_EQ(f.calDay->entryCount(), 1);

    f.ShowPanel(f.frameMonth);
    addFrom("ADDAPPOINTMENT", "Day two");
    EXPECT_EQ(f.Calendar1->dayText(calendar::MonthCalendar::dayNumber(day)), "Day one\r\nDay two\r\n");

    // Behind the data grid nothing is drawn.
    f.ShowPanel(f.frameDataGrid);
    addFrom("ADDAPPOINTMENT", "Day three");
    EXPECT_EQ(appointments(), 3);
    EXPECT_EQ(f.calDay->entryCount(), 1);

    // A double-click in the day planner proposes the clicked hour.
    f.ChangeDate(QDateTime(day, QTime(0, 0)));
    f.ShowPanel(f.frameDate);
    QDateTime proposed;
    QTime shownStart;
    modal.modal->once("frmAddAppt", [&](ui::FormBase&) {
        proposed = Appt::instance().curApptDate;
        shownStart = Appt::instance().dtStartTime->time();
    });
    f.calDay->setFirstVisibleMinute(8 * 60);
    QTest::mouseDClick(f.calDay, Qt::LeftButton, {}, {200, f.calDay->yForMinute(14 * 60 + 40) + 2});
    EXPECT_EQ(proposed, QDateTime(day, QTime(14, 0)));
    EXPECT_EQ(shownStart, QTime(14, 0));
}

// Under a real display (xvfb-run) with NUPTARO_SCREENSHOTS set to a folder,
// saves the editor as a user sees it.
TEST_F(AppointmentEditor, Screenshot)
{
    const QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    open({{2027, 5, 3}, {14, 20}}, [&](Appt& a) {
        type(a.txtTitle, "Cake tasting");
        type(a.txtNotes, "Bring the colour swatches.");
        QCoreApplication::processEvents();
        a.widget()->grab().save(dir + "/appointment_editor.png");
    });
}

}  // namespace
