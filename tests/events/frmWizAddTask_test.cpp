// The standard-task scheduler: the due-date rule, its questions and
// messages, first runs and re-runs, and what a refusal or failure leaves.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/timezone.h"

#include "app/frmMain.h"
#include "app/navgroups.h"
#include "events/frmEventTasks.h"
#include "events/frmWizAddTask.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/editing.h"
#include "records/frmDeleteSingle.h"
#include "support/gui.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using testsupport::MainWindowTest;

namespace {

QDateTime at(int y, int m, int d, int h, int min = 0, int s = 0) { return QDateTime(QDate(y, m, d), QTime(h, min, s)); }

TEST(DueDateRule, CountsBackFromTheWeddingDayByTheShareOfDaysLeft)
{
    const testsupport::TimeZone zone("America/New_York");
    const struct {
        const char* name;
        QDateTime now;
        QDate wedding;
        int daysLeft;
        std::vector<std::pair<double, QDate>> due;  // share -> due date
    } cases[] = {
        {"worked example at 15:00", at(2026, 12, 7, 15), QDate(2027, 6, 5), 179,
         {{100, QDate(2026, 12, 8)}, {50, QDate(2027, 3, 7)}, {25, QDate(2027, 4, 21)}}},
        {"the same at 09:00", at(2026, 12, 7, 9), QDate(2027, 6, 5), 180,
         {{100, QDate(2026, 12, 7)}, {50, QDate(2027, 3, 7)}, {25, QDate(2027, 4, 21)}}},
        {"a wedding day in the past", at(2026, 12, 7, 15), QDate(2026, 11, 27), -11,
         {{100, QDate(2026, 12, 8)}, {50, QDate(2026, 12, 3)}, {0, QDate(2026, 11, 27)}}},
        {"today up to noon", at(2026, 12, 7, 12), QDate(2026, 12, 7), 0, {{100, QDate(2026, 12, 7)}}},
        {"today after noon", at(2026, 12, 7, 12, 0, 1), QDate(2026, 12, 7), -1,
         {{60, QDate(2026, 12, 8)}, {50, QDate(2026, 12, 7)}, {40, QDate(2026, 12, 7)}}},
        // 1.5 days on the clock (half to even: 2), though an hour less has passed.
        {"across the spring change", at(2027, 3, 13, 12), QDate(2027, 3, 15), 2,
         {{100, QDate(2027, 3, 13)}, {50, QDate(2027, 3, 14)}}},
        {"across the autumn change", at(2026, 10, 31, 12), QDate(2026, 11, 2), 2, {{100, QDate(2026, 10, 31)}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<int> d = stdtasks::daysLeft(c.wedding, c.now);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(*d, c.daysLeft);
        for (const auto& [share, due] : c.due) {
            const std::optional<int> offset = stdtasks::dayOffset(*d, share);
            ASSERT_TRUE(offset.has_value());
            EXPECT_EQ(c.wedding.addDays(*offset), due) << share << "%";
        }
    }
    // Exact halves go to the even neighbour.
    EXPECT_EQ(stdtasks::dayOffset(179, 50), -90);
    EXPECT_EQ(stdtasks::dayOffset(-11, 50), 6);
    EXPECT_EQ(stdtasks::dayOffset(1, 50), 0);
    EXPECT_EQ(stdtasks::dayOffset(-1, 50), 0);

    // Thirty days ahead at 15:00 is close; thirty-one is not, and is 30 days away.
    EXPECT_TRUE(stdtasks::lessThan30Days(QDate(2027, 1, 6), at(2026, 12, 7, 15)));
    EXPECT_FALSE(stdtasks::lessThan30Days(QDate(2027, 1, 7), at(2026, 12, 7, 15)));
    EXPECT_EQ(stdtasks::daysLeft(QDate(2027, 1, 7), at(2026, 12, 7, 15)), 30);

    // Beyond 16 bits nothing is scheduled.
    EXPECT_EQ(stdtasks::daysLeft(QDate(2116, 12, 7), at(2026, 12, 7, 15)), std::nullopt);
    EXPECT_EQ(stdtasks::daysLeft(QDate(1937, 1, 1), at(2026, 12, 7, 15)), std::nullopt);
    EXPECT_TRUE(stdtasks::daysLeft(QDate(2115, 1, 1), at(2026, 12, 7, 15)).has_value());
    EXPECT_EQ(stdtasks::dayOffset(20000, 200), std::nullopt);
}

// The scheduler opened from the Tasks group, at 15:00 on 7 December 2026,
// with three standard tasks of 100, 50 and 25 per cent.
class SchedulerTest : public MainWindowTest<> {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        editing::setClock([] { return at(2026, 12, 7, 15); });
        db().Execute("DELETE FROM STDTASK");
        standard(1, "Book the church", "Ceremony", "Bride & Groom", 100);
        standard(2, "Order the cake", "Reception", "Bride's Parents", 50);
        standard(3, "Choose the music", "Reception", "Groom", 25);
        m().Show(ui::vbModeless);
    }
    void TearDown() override
    {
        editing::setClock({});
        MainWindowTest::TearDown();
    }
    void standard(qint64 id, const QString& text, const QVariant& event, const QVariant& who, const QVariant& share)
    {
        db().Execute("INSERT INTO STDTASK (STDTASK_ID, STDTASK_TEXT, STDTASK_EVENT, STDTASK_ASSIGNMENT, STDTASK_DAYS) "
                     "VALUES (?, ?, ?, ?, ?)",
                     {id, text, event, who, share});
    }
    qint64 task(const QString& name, const QVariant& stdId, bool done = false)
    {
        const qint64 id = db().reserveKey("TASKS");
        db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_STDID, TASK_COMPLETE) VALUES (?, ?, ?, ?)",
                     {id, name, stdId, done});
        return id;
    }
    // Opens the scheduler as the navigation item does; `body` runs while it
    // is shown.
    void open(const std::function<void(frmWizAddTask&)>& body)
    {
        bool ran = false;
        modal.modal->once("frmWizAddTask", [&](ui::FormBase& f) {
            ran = true;
            body(static_cast<frmWizAddTask&>(f));
        });
        m().ExplorerBarCtlQV1->clickItem("TASKMODE");
        m().ExplorerBarCtlQV1->clickItem("AUTOADDTASKS");
        EXPECT_TRUE(ran);
    }
    // Picks the wedding day and presses Add Tasks with the scripted answers.
    void run(const QDate& wedding, QList<int> answers)
    {
        frmWizAddTask& f = frmWizAddTask::instance();
        ASSERT_TRUE(f.isLoaded());
        f.MonthView1->setSelectedDate(wedding);
        messages.msgs->shown.clear();
        messages.msgs->answers = answers;
        QTest::mouseClick(f.cmdTasks, Qt::LeftButton);
    }
    // Every task as "name|event|due|assignee|stdid|done", by standard key then name.
    QStringList tasks()
    {
        return rows("SELECT TASK_NAME, TASK_EVENT, substr(TASK_DUEDATE, 1, 10), TASK_ASSIGN, TASK_STDID, TASK_COMPLETE "
                    "FROM TASKS ORDER BY TASK_STDID, TASK_NAME");
    }
    // The log rows of TASKS as "action:count", in order of action.
    QStringList taskLog()
    {
        return rows("SELECT SYNCHRO_ACTION, COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'TASKS' GROUP BY "
                    "SYNCHRO_ACTION",
                    {}, ":");
    }
    QStringList shownTexts() const { return messages.msgs->texts(); }
    // The main window lists every task.
    void expectAllTasksShown()
    {
        EXPECT_EQ(m().dueMode, views::TaskFilter::All);
        EXPECT_EQ(m().GridEX1->rowCount(), count("SELECT COUNT(*) FROM TASKS"));
    }

    const QStringList kFirstRun = {"Book the church|Ceremony|2026-12-08|Bride & Groom|1|false",
                                   "Order the cake|Reception|2027-03-07|Bride's Parents|2|false",
                                   "Choose the music|Reception|2027-04-21|Groom|3|false"};
    const QString kAddTasks = "Press Yes to add the 3 tasks to your task list.";
    const QString kNoTasks = "There are no tasks that can be automatically added.";
    const QString kAgain = "Tasks were previously added with this feature.  Press Yes to change the date for these "
                           "tasks.";
};

TEST_F(SchedulerTest, OpensOnTodayAndAClickedDayMovesTheFocusToAddTasks)
{
    open([&](frmWizAddTask& f) {
        EXPECT_EQ(f.MonthView1->selectedDate(), QDate(2026, 12, 7));

        f.window()->show();
        QApplication::setActiveWindow(f.window());
        auto* days = f.MonthView1->findChild<QTableView*>("qt_calendar_calendarview");
        ASSERT_TRUE(days);
        QModelIndex fifteen;
        for (int r = 0; r < days->model()->rowCount() && !fifteen.isValid(); ++r)
            for (int c = 0; c < days->model()->columnCount(); ++c)
                if (days->model()->index(r, c).data().toString() == "15")
                    fifteen = days->model()->index(r, c);
        ASSERT_TRUE(fifteen.isValid());
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, days->visualRect(fifteen).center());
        EXPECT_EQ(f.MonthView1->selectedDate(), QDate(2026, 12, 15));
        EXPECT_EQ(QApplication::focusWidget(), f.cmdTasks);

        QTest::mouseClick(f.cmdClose, Qt::LeftButton);
        EXPECT_FALSE(f.isLoaded());
    });
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(SchedulerTest, OpensOnTheWeddingsDay)
{
    db().Execute("INSERT INTO EVENT (EVENT_NAME, EVENT_STARTDATE) VALUES ('Ceremony', '2027-09-04 15:30:00')");
    open([&](frmWizAddTask& f) { EXPECT_EQ(f.MonthView1->selectedDate(), QDate(2027, 9, 4)); });
}

TEST_F(SchedulerTest, FirstRunAddsEveryStandardTaskLoggedAndAReRunOnlyMovesTheirDates)
{
    // A standard task without a share gets no due date.
    standard(4, "Write thank-you notes", QVariant(), QVariant(), QVariant());
    open([&](frmWizAddTask&) {
        run(QDate(2027, 6, 5), {ui::vbOK, ui::vbYes});
        ASSERT_EQ(messages.msgs->shown.size(), 2);
        EXPECT_EQ(messages.msgs->shown[0].text, "The wedding date you selected is 6/5/2027.\r\nThis is 180 days away.");
        EXPECT_EQ(messages.msgs->shown[0].style, ui::vbOKOnly);
        EXPECT_EQ(messages.msgs->shown[0].title, ui::appTitle());
        EXPECT_EQ(messages.msgs->shown[1].text, "Press Yes to add the 4 tasks to your task list.");
        EXPECT_EQ(messages.msgs->shown[1].style, ui::vbYesNo);
        EXPECT_EQ(messages.msgs->shown[1].title, "Add Tasks?");
        EXPECT_EQ(tasks(), kFirstRun + QStringList({"Write thank-you notes||||4|false"}));
        EXPECT_EQ(taskLog(), QStringList({"1:4"}));
        expectAllTasksShown();
        db().Execute("DELETE FROM STDTASK WHERE STDTASK_ID = 4");

        // Hand-made tasks stay; standard tasks since marked done, noted or renamed keep it.
        const qint64 handMade = task("Buy shoes", QVariant());
        task("Call the florist", 0);
        db().Execute("UPDATE TASKS SET TASK_COMPLETE = 1, TASK_NOTES = 'Three tiers' WHERE TASK_STDID = 2");
        db().Execute("UPDATE TASKS SET TASK_NAME = 'Book the church by noon' WHERE TASK_STDID = 1");
        const QVariant version = db().scalar("SELECT max(VERSION_CHANGED) FROM SYNCHRO_VERSION");
        editing::setClock([] { return at(2026, 12, 7, 9); });
        run(QDate(2027, 6, 5), {ui::vbOK, ui::vbYes, ui::vbYes});
        EXPECT_EQ(shownTexts().mid(1), QStringList({kAddTasks, kAgain}));
        EXPECT_EQ(messages.msgs->shown.value(2).style, ui::vbYesNo);
        EXPECT_EQ(tasks(), QStringList({"Buy shoes|||||false", "Call the florist||||0|false",
                                        "Book the church by noon|Ceremony|2026-12-07|Bride & Groom|1|false",
                                        "Order the cake|Reception|2027-03-07|Bride's Parents|2|true",
                                        "Choose the music|Reception|2027-04-21|Groom|3|false",
                                        "Write thank-you notes||||4|false"}));
        EXPECT_EQ(taskLog(), QStringList({"1:4"})) << "nothing deleted or added reaches the other copy";
        EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO_VERSION WHERE VERSION_CHANGED > ?", {version}), 1)
            << "the task re-dated does, as a change";
        EXPECT_EQ(count("SELECT COUNT(*) FROM TASKS WHERE TASK_NOTES = 'Three tiers'"), 1);
        EXPECT_EQ(count("SELECT COUNT(*) FROM TASKS WHERE TASK_ID = ?", {handMade}), 1);
        expectAllTasksShown();
    });
}

TEST_F(SchedulerTest, TheTaskInfoCountsFollowEveryWriteToTheTasks)
{
    db().Execute("DELETE FROM STDTASK");
    for (int i = 1; i <= 60; ++i)
        standard(i, QString("Standard task %1").arg(i), "Reception", "Bride", i % 3 ? 50 : 100);
    QApplication::setActiveWindow(m().window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m().window()));
    m().ExplorerBarCtlQV1->clickItem("TASKMODE");
    // The captions as the bar shows them: due, complete, incomplete, total.
    const auto captions = [&] {
        QCoreApplication::processEvents();
        QStringList out;
        navbar::Group* g = m().ExplorerBarCtlQV1->group("TASKINFO");
        for (int i = 0; g && i < g->itemCount(); ++i)
            out << g->item(i)->caption();
        return out;
    };
    const auto gridRow = [&](int row, int column) {
        m().ExplorerBarCtlQV1->clickItem("ALLTASKS");
        testsupport::clickCell(m().GridEX1, row, column);
    };
    const struct Step {
        const char* what;
        std::function<void()> act;
        int complete, incomplete;
    } steps[] = {
        {"the scheduler adds 60",
         [&] { open([&](frmWizAddTask&) { run(QDate(2027, 6, 5), {ui::vbOK, ui::vbYes}); }); }, 0, 60},
        {"the task editor adds one",
         [&] {
             modal.modal->once("frmEventTasks", [](ui::FormBase& form) {
                 auto& f = static_cast<frmEventTasks&>(form);
                 testsupport::retype(f.txtName, "Confirm the traiteur's menu");
                 QTest::mouseClick(f.cmdSave, Qt::LeftButton);
             });
             m().ExplorerBarCtlQV1->clickItem("ADDTASK");
         },
         0, 61},
        {"one is ticked done in the grid", [&] { gridRow(1, 2); }, 1, 60},
        {"one is deleted",
         [&] {
             gridRow(2, 3);
             m().ExplorerBarCtlQV1->clickItem("DELETETASK");
             QTest::mouseClick(frmDeleteSingle::instance().cmdDelete, Qt::LeftButton);
         },
         1, 59},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        const navgroups::TaskCounts now = navgroups::CountTasks(db(), m().curDate.date());
        ASSERT_EQ(now.complete, s.complete);
        ASSERT_EQ(now.incomplete, s.incomplete);
        EXPECT_EQ(captions(), QStringList({QString("%1 Tasks Due").arg(now.due), QString("%1 Complete").arg(s.complete),
                                           QString("%1 Incomplete").arg(s.incomplete),
                                           QString("%1 Total Tasks").arg(s.complete + s.incomplete)}));
    }
}

TEST_F(SchedulerTest, EveryNoChangesNothingAndStillShowsAllTasks)
{
    open([&](frmWizAddTask&) {
        run(QDate(2027, 6, 5), {ui::vbOK, ui::vbYes});
        const QStringList before = tasks();
        const QStringList logBefore = taskLog();
        const QString close =
            "The wedding date you have supplied is less than 30 days in the future.  Press Yes to accept.";
        const struct {
            const char* name;
            QDate wedding;
            QList<int> answers;
            QStringList texts;
        } cases[] = {
            {"close date", QDate(2027, 1, 6), {ui::vbNo}, {close}},
            {"add tasks", QDate(2027, 1, 7), {ui::vbOK, ui::vbNo},
             {"The wedding date you selected is 1/7/2027.\r\nThis is 31 days away.", kAddTasks, kNoTasks}},
            {"re-run", QDate(2026, 11, 27), {ui::vbYes, ui::vbYes, ui::vbNo}, {close, kAddTasks, kAgain}},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            m().ExplorerBarCtlQV1->clickItem("DUETASKS");
            run(c.wedding, c.answers);
            EXPECT_EQ(shownTexts(), c.texts);
            EXPECT_EQ(tasks(), before);
            EXPECT_EQ(taskLog(), logBefore);
            expectAllTasksShown();
        }
        EXPECT_EQ(messages.msgs->shown[0].title, "Close Date");
        EXPECT_EQ(messages.msgs->shown[0].style, ui::vbYesNo);
        EXPECT_EQ(messages.msgs->shown[2].title, ui::appTitle());
    });
}

TEST_F(SchedulerTest, RefusalsAndAFailureLeaveEveryRowAsItWas)
{
    open([&](frmWizAddTask& f) {
        run(QDate(2027, 6, 5), {ui::vbOK, ui::vbYes});
        const QStringList before = tasks();
        const QStringList logBefore = taskLog();
        auto unchanged = [&] {
            EXPECT_EQ(tasks(), before);
            EXPECT_EQ(taskLog(), logBefore);
            EXPECT_TRUE(f.isLoaded());
            expectAllTasksShown();
        };
        {
            SCOPED_TRACE("a day beyond 16 bits");
            run(QDate(2120, 1, 1), {});
            ASSERT_EQ(shownTexts().size(), 1);
            EXPECT_TRUE(shownTexts()[0].startsWith("The wedding date you selected is too far from today"));
            unchanged();
        }
        {
            SCOPED_TRACE("an offset beyond 16 bits");
            standard(4, "Reserve the moon", "Honeymoon", "Groom", 1000);
            run(QDate(2066, 12, 7), {ui::vbOK, ui::vbYes});
            ASSERT_EQ(shownTexts().size(), 3);
            EXPECT_TRUE(shownTexts()[2].startsWith("The standard task \"Reserve the moon\" would fall due too far"));
            unchanged();
            db().Execute("DELETE FROM STDTASK WHERE STDTASK_ID = 4");
        }
        {
            SCOPED_TRACE("a refused row part way");
            db().Execute("CREATE TRIGGER refuse BEFORE UPDATE ON TASKS WHEN NEW.TASK_STDID = 3 "
                         "BEGIN SELECT RAISE(ABORT, 'disk full'); END");
            run(QDate(2027, 7, 5), {ui::vbOK, ui::vbYes, ui::vbYes});
            ASSERT_EQ(shownTexts().size(), 4);
            EXPECT_TRUE(shownTexts()[3].contains("disk full"));
            unchanged();
            db().Execute("DROP TRIGGER refuse");
        }
        {
            SCOPED_TRACE("no standard tasks at all");
            db().Execute("DELETE FROM STDTASK");
            run(QDate(2027, 6, 5), {ui::vbOK});
            EXPECT_EQ(shownTexts().mid(1), QStringList({kNoTasks}));
            unchanged();
        }
    });
}

TEST_F(SchedulerTest, Screenshot)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    open([&](frmWizAddTask& f) {
        f.window()->show();
        f.MonthView1->setSelectedDate(QDate(2026, 12, 19));
        testsupport::snap(f.window(), dir, "scheduler");
        run(QDate(2027, 6, 5), {ui::vbOK, ui::vbYes});
    });
    testsupport::snap(m().window(), dir, "scheduler_tasks");
}

}  // namespace
