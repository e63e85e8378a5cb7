// The appointment editor: the proposed half-hour start and end, the end
// following the start date, saving with its log row, refused saves, and the
// calendar on screen drawn again.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "events/frmAddAppt.h"
#include "events/frmEventTasks.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/navbar/explorerbar.h"
#include "platform/ui/boxes.h"
#include "records/frmAddType.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimeZone>

namespace {

using testsupport::click;
using testsupport::type;
using Appt = frmAddAppt;

TEST(AppointmentProposal, RoundsUpToTheHalfHourOnTheWallClock)
{
    const QDate may3(2027, 5, 3), may4(2027, 5, 4), dec31(2027, 12, 31), jan1(2028, 1, 1);
    const struct {
        QDate day;
        QTime at;
        Appt::Moment start, end;
    } cases[] = {
        {may3, {10, 0}, {may3, {10, 0}}, {may3, {11, 0}}},      {may3, {10, 0, 45}, {may3, {10, 0}}, {may3, {11, 0}}},
        {may3, {10, 15}, {may3, {10, 30}}, {may3, {11, 30}}},   {may3, {10, 30}, {may3, {10, 30}}, {may3, {11, 30}}},
        {may3, {10, 31}, {may3, {11, 0}}, {may3, {12, 0}}},     {may3, {22, 45}, {may3, {23, 0}}, {may4, {0, 0}}},
        {may3, {23, 10}, {may3, {23, 30}}, {may4, {0, 30}}},    {may3, {23, 45}, {may4, {0, 0}}, {may4, {1, 0}}},
        {may3, {14, 0}, {may3, {14, 0}}, {may3, {15, 0}}},      {may3, {14, 20}, {may3, {14, 30}}, {may3, {15, 30}}},
        {may3, {22, 50}, {may3, {23, 0}}, {may4, {0, 0}}},      {may3, {23, 40}, {may4, {0, 0}}, {may4, {1, 0}}},
        {dec31, {23, 30, 59}, {dec31, {23, 30}}, {jan1, {0, 30}}}, {dec31, {23, 40}, {jan1, {0, 0}}, {jan1, {1, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QDateTime(c.day, c.at).toString(Qt::ISODate).toStdString());
        // Local or not, the proposal is the same wall-clock time.
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
        Appt::instance().curApptDate = at;
        modal.modal->once("frmAddAppt", [&](ui::FormBase&) { act(Appt::instance()); });
        Appt::instance().Show(ui::vbModal);
    }
    // Clicks into a date picker, types a whole date and leaves it.
    static void typeDate(ui::DateBox* d, const QDate& day)
    {
        ASSERT_TRUE(testsupport::showActive(d->window()));
        testsupport::enter(d, testsupport::Into::ClickMiddle, day.toString("M/d/yyyy"));
    }
    static QString shown(const Appt& a)
    {
        return QStringList{a.dtStartDate->date().toString(Qt::ISODate), a.dtStartTime->time().toString("HH:mm"),
                           a.dtEndDate->date().toString(Qt::ISODate), a.dtEndTime->time().toString("HH:mm")}
            .join(' ');
    }
    qlonglong appointments() { return count("SELECT count(*) FROM APPOINTMENT"); }
    qlonglong logRows() { return count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'APPOINTMENT'"); }
};

TEST_F(AppointmentEditor, TheEndFollowsTheStartDate)
{
    open({{2027, 5, 3}, {22, 50}}, [&](Appt& a) {
        EXPECT_EQ(shown(a), "2027-05-03 23:00 2027-05-04 00:00");
        EXPECT_EQ(a.cmbPriority->currentText(), "No Priority");
        // 23:00 to 0:00 of one day would end before it starts: the end takes the next day.
        typeDate(a.dtStartDate, {2027, 5, 10});
        EXPECT_EQ(shown(a), "2027-05-10 23:00 2027-05-11 00:00");
    });
    open({{2027, 5, 3}, {14, 20}}, [&](Appt& a) {
        a.dtEndDate->setDate({2027, 5, 12});
        typeDate(a.dtStartDate, {2027, 5, 10});
        EXPECT_EQ(shown(a), "2027-05-10 14:30 2027-05-10 15:30");
    });
}

TEST_F(AppointmentEditor, SavingAddsTheRowAndOneLogRow)
{
    open({{2027, 5, 3}, {10, 15}}, [&](Appt& a) {
        type(a.txtNotes, "bring swatches");
        click(a.cmdSave);
        a.dtEndTime->setTime({9, 0});
        type(a.txtTitle, "Florist");
        click(a.cmdSave);
        EXPECT_EQ(a.txtNotes->toPlainText(), "bring swatches");  // still open
        a.dtEndTime->setTime({11, 30});
        click(a.cmdSave);
        EXPECT_FALSE(a.isLoaded());
    });
    EXPECT_EQ(messages.msgs->texts(), (QStringList{"Please enter in a title for the appointment.",
                                                   "The end of the appointment is before its start."}));
    EXPECT_EQ(db().scalar("SELECT APPOINTMENT_TEXT || '|' || APPOINTMENT_START || '|' || APPOINTMENT_END || '|' || "
                          "APPOINTMENT_NOTE || '|' || APPOINTMENT_PRIORITY FROM APPOINTMENT")
                  .toString(),
              "Florist|2027-05-03 10:30:00|2027-05-03 11:30:00|bring swatches|No Priority");
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO JOIN APPOINTMENT ON SYNCHRO_RECORDID = APPOINTMENT_ID WHERE "
                    "SYNCHRO_TABLE = 'APPOINTMENT' AND SYNCHRO_ACTION = 1"),
              1);
    EXPECT_EQ(logRows(), 1);

    // The lookup editor keeps the priority shown; a typed one is stored as typed.
    open({{2027, 5, 3}, {9, 0}}, [&](Appt& a) {
        type(a.txtTitle, "Baker");
        a.cmbPriority->setCurrentIndex(1);
        const QString chosen = a.cmbPriority->currentText();
        modal.modal->once("frmAddType", [&](ui::FormBase&) {
            EXPECT_EQ(frmAddType::instance().fromForm, &frmAddAppt::instance());
            EXPECT_EQ(frmAddType::instance().curMode, records::Lookup::Priority);
            type(frmAddType::instance().txtItem, "Urgent");
            click(frmAddType::instance().cmdAdd);
        });
        click(a.cmdEditPriority);
        EXPECT_EQ(a.cmbPriority->currentText(), chosen);
        EXPECT_GE(a.cmbPriority->findText("Urgent"), 1);
        a.cmbPriority->setEditText("When we can");
        click(a.cmdSave);
    });
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT WHERE APPOINTMENT_PRIORITY = 'When we can'"), 1);

    // A refused write: said so, nothing kept, the window stays.
    db().Execute("CREATE TRIGGER no_add BEFORE INSERT ON APPOINTMENT BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    messages.msgs->shown.clear();
    open({{2027, 5, 3}, {9, 0}}, [&](Appt& a) {
        type(a.txtTitle, "Band");
        click(a.cmdSave);
        EXPECT_TRUE(a.isLoaded());
    });
    // Closed then, it asks about what was typed.
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    EXPECT_EQ(messages.msgs->shown[1].text, editing::kSaveChanges);
    EXPECT_EQ(appointments(), 2);
    EXPECT_EQ(logRows(), 2);
}

TEST_F(AppointmentEditor, TheCalendarOnScreenIsDrawnAgain)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    const QDate day(2027, 5, 3);
    f.ChangeDate(QDateTime(day, QTime(0, 0)));
    auto addOn = [&](QFrame* panel, const char* title) {
        f.ShowPanel(panel);
        modal.modal->once("frmAddAppt", [&](ui::FormBase&) {
            type(Appt::instance().txtTitle, title);
            click(Appt::instance().cmdSave);
        });
        f.ExplorerBarCtlQV1->clickItem("ADDAPPOINTMENT");
    };
    addOn(f.frameDate, "One");
    EXPECT_EQ(f.calDay->entryCount(), 1);
    addOn(f.frameMonth, "Two");
    EXPECT_EQ(f.Calendar1->dayText(calendar::MonthCalendar::dayNumber(day)), "One\r\nTwo\r\n");
    addOn(f.frameDataGrid, "Three");  // behind the grid nothing is drawn
    EXPECT_EQ(appointments(), 3);
    EXPECT_EQ(f.calDay->entryCount(), 1);

    // A double-click in the day planner proposes the clicked hour.
    f.ChangeDate(QDateTime(day, QTime(0, 0)));
    f.ShowPanel(f.frameDate);
    QString proposal;
    modal.modal->once("frmAddAppt", [&](ui::FormBase&) { proposal = shown(Appt::instance()); });
    QTest::mouseDClick(f.calDay, Qt::LeftButton, {}, {200, f.calDay->yForMinute(14 * 60 + 40) + 2});
    EXPECT_EQ(proposal, "2027-05-03 14:00 2027-05-03 15:00");
}

// Under a real display (xvfb-run) with NUPTARO_SCREENSHOTS set to a folder,
// saves both editors as a user sees them.
TEST_F(AppointmentEditor, Screenshots)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    open({{2027, 5, 3}, {14, 20}}, [&](Appt& a) {
        type(a.txtTitle, "Cake tasting");
        type(a.txtNotes, "Bring the colour swatches.");
        testsupport::snap(a.widget(), dir, "appointment_editor");
    });
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE, TASK_ASSIGN, TASK_NOTES) VALUES "
                 "(7, 'Order the cake', '2027-06-12 00:00:00', 'Aunt May', 'three tiers')");
    frmEventTasks::instance().curMode = frmEventTasks::Mode::Edit;
    frmEventTasks::instance().curTaskID = 7;
    modal.modal->once("frmEventTasks", [&](ui::FormBase& t) { testsupport::snap(t.widget(), dir, "task_editor"); });
    frmEventTasks::instance().Show(ui::vbModal);
}

}  // namespace
