// The commands on the real main window: every mode reachable from the
// navigation bar and from the menus, the panel it shows and the groups it builds.

#include "app/editors.h"
#include "app/frmMain.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/frmDeleteSingle.h"
#include "records/frmSynchronize.h"
#include "support/folderdata.h"
#include "support/gui.h"
#include "support/mainwindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

class MainCommandsTest : public testsupport::ShownMainWindowTest<> {
protected:
    void trigger(const QString& item)
    {
        auto* a = m().widget()->findChild<QAction*>(item);
        ASSERT_NE(a, nullptr) << item.toStdString();
        a->trigger();
    }
};

struct ModeCase {
    const char* key;       // navigation bar
    const char* menuItem;  // the menu's view of the same mode
    const char* frame;
    const char* commandKey;  // an item of the mode's own group
    const char* dataMode;    // the view shown
};

const ModeCase kModes[] = {
    {"CALENDARMODE", "mnuCalendarToday", "frameDate", "ADDAPPOINTMENT", "Today"},
    {"TASKMODE", "mnuTasksView", "frameDataGrid", "ADDTASK", "DueTasks"},
    {"EVENTMODE", "mnuEventsView", "frameDataGrid", "ADDEVENT", "Events"},
    {"GUESTMODE", "mnuGuestsView", "frameDataGrid", "ADDGUEST", "Guests"},
    {"RSVPMODE", "mnuRSVPView", "frameDataGrid", "INVITATIONS", "RSVP"},
    {"VENDORMODE", "mnuVendorsView", "frameDataGrid", "ADDVENDOR", "Vendors"},
    {"BUDGETMODE", "mnuBudgetView", "frameDataGrid", "ADDBUDGET", "Budget"},
    {"ATTIREMODE", "mnuAttireView", "frameDataGrid", "ADDATTIRE", "Attire"},
    {"GIFTMODE", "mnuGiftsView", "frameDataGrid", "ADDGIFT", "Gifts"},
};

}  // namespace

TEST_F(MainCommandsTest, EveryModeFromTheBarAndTheMenusShowsItsPanelAndGroups)
{
    frmMain& f = m();
    ASSERT_NE(f.widget()->findChild<QMenu*>("mnuBudget"), nullptr);
    for (const ModeCase& c : kModes) {
        SCOPED_TRACE(c.key);
        // Start from the other kind of panel each time.
        f.ExplorerBarCtlQV1->clickItem(QString(c.frame) == "frameDate" ? "GIFTMODE" : "CALENDARMODE");
        f.ExplorerBarCtlQV1->clickItem(c.key);
        EXPECT_EQ(f.curFrameName(), c.frame);
        EXPECT_EQ(views::dataModeName(f.curDataMode), c.dataMode);
        EXPECT_NE(f.ExplorerBarCtlQV1->findItem(c.commandKey), nullptr);
        EXPECT_NE(f.ExplorerBarCtlQV1->findItem("TASKMODE"), nullptr) << "the mode group stays";
        f.ExplorerBarCtlQV1->clickItem(QString(c.frame) == "frameDate" ? "GIFTMODE" : "CALENDARMODE");
        trigger(c.menuItem);
        EXPECT_EQ(f.curFrameName(), c.frame);
        EXPECT_EQ(views::dataModeName(f.curDataMode), c.dataMode);
        EXPECT_NE(f.ExplorerBarCtlQV1->findItem(c.commandKey), nullptr);
    }
    EXPECT_TRUE(modal.modal->shown.isEmpty());
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(MainCommandsTest, CalendarTitlesAndTheEditorsOpenedFromTheWindow)
{
    frmMain& f = m();
    f.ExplorerBarCtlQV1->clickItem("MONTHVIEW");
    EXPECT_EQ(f.curFrameName(), "frameMonth");
    EXPECT_EQ(f.lblMode->text(), "Month Calendar");
    f.ExplorerBarCtlQV1->clickItem("TODAY");
    EXPECT_EQ(f.lblMode->text(), "Date Calendar");

    // A row command on an empty guests view: nothing happens, no message.
    f.curDataMode = views::DataMode::Guests;
    trigger("mnuGuestDelete");
    EXPECT_EQ(messages.msgs->texts().join("|"), "");
    // From the calendar, a task delete answers with its message.
    f.ExplorerBarCtlQV1->clickItem("CALENDARMODE");
    f.curDataMode = views::DataMode::Today;
    f.ExplorerBarCtlQV1_ItemClick("DELETETASK");  // as from the task group shown over a calendar
    EXPECT_EQ(messages.msgs->texts().join("|"), "Please select Task to delete first.");
}

TEST_F(MainCommandsTest, RowCommandsAndTheDoubleClickOnTheRealGrid)
{
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Ceremony'), (2, 'Reception')");
    frmMain& f = m();
    f.ExplorerBarCtlQV1->clickItem("EVENTMODE");
    ASSERT_EQ(f.curDataMode, views::DataMode::Events);
    ASSERT_GE(f.GridEX1->rowCount(), 2);
    f.GridEX1->setCurrentRow(2);
    const qlonglong second = f.GridEX1->value(2, 1).toLongLong();
    f.ExplorerBarCtlQV1->clickItem("MODIFYEVENT");
    EXPECT_EQ(frmEventInfo::instance().curMode, frmEventInfo::Mode::Edit);
    EXPECT_EQ(frmEventInfo::instance().curEvent, second);
    frmEventInfo::instance().Unload();

    // The double-click on the grid runs the same command.
    f.GridEX1->setCurrentRow(1);
    emit f.GridEX1->doubleClicked();
    EXPECT_EQ(frmEventInfo::instance().curEvent, f.GridEX1->value(1, 1).toLongLong());
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

// Under a real display (xvfb-run) with NUPTARO_SCREENSHOTS set to a folder,
// saves what a user sees in every mode, at 1024x768 and on the whole screen:
//   QT_QPA_PLATFORM=xcb NUPTARO_SCREENSHOTS=/tmp/shots xvfb-run -a -s "-screen 0 1920x1080x24"
//       build/bin/nuptaro_tests --gtest_filter='*ScreenshotsOfModes*'
TEST_F(MainCommandsTest, ScreenshotsOfModes)
{
    const QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    folderdata::fill();
    frmMain& f = m();
    const QRect screen = f.widget()->screen()->availableGeometry();
    const struct {
        const char* name;
        QSize size;  // outer size; empty: the whole screen
    } sizes[] = {{"1024x768", QSize(1024, 768)}, {"full", QSize()}};
    const char* shots[][2] = {
        {"calendar", "CALENDARMODE"}, {"month", "MONTHVIEW"},          {"tasks", "TASKMODE"},
        {"events", "EVENTMODE"},      {"guests", "GUESTMODE"},         {"addresses", "GUESTADDRESSES"},
        {"rsvp", "RSVPMODE"},         {"vendors", "VENDORMODE"},       {"quotes", "VIEWQUOTES"},
        {"budget", "BUDGETMODE"},     {"expenses", "EXPENSES"},        {"attire", "ATTIREMODE"},
        {"female", "FEMALEMEASUREMENTS"}, {"gifts", "GIFTMODE"},      {"registry", "VIEWREGISTRY"},
    };
    for (const auto& size : sizes) {
        const int frameW = f.widget()->frameGeometry().width() - f.widget()->width();
        const int frameH = f.widget()->frameGeometry().height() - f.widget()->height();
        const QSize outer = size.size.isEmpty() ? screen.size() : size.size;
        f.widget()->move(screen.topLeft());
        f.window()->resize(outer.width() - frameW, outer.height() - frameH);
        for (const auto& shot : shots) {
            f.ExplorerBarCtlQV1->clickItem(shot[1]);
            QCoreApplication::processEvents();
            f.widget()->grab().save(QString("%1/%2_%3.png").arg(dir, size.name, shot[0]));
        }
    }
    // The Synchronize Databases window beside it.
    frmSynchronize::instance().FormBase::Show(ui::vbModeless);
    QCoreApplication::processEvents();
    frmSynchronize::instance().widget()->grab().save(dir + "/synchronize.png");
    frmSynchronize::instance().Unload();
    // The opening size, as a user first meets the window.
    f.Unload();
    f.Show(ui::vbModeless);
    QCoreApplication::processEvents();
    f.widget()->grab().save(dir + "/opening.png");
    EXPECT_EQ(f.curFrameName(), "frameDate");
}

TEST_F(MainCommandsTest, RightClickOnTheRealGridPopsUpTheColumnsMenuOnTheClickedRow)
{
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (31, 'Jones Family')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES "
                 "(301, 31, 'Anna', 'Jones'), (302, 31, 'Ben', 'Jones')");
    frmMain& f = m();
    f.ExplorerBarCtlQV1->clickItem("GUESTMODE");
    f.GridEX1->setCurrentRow(2);
    QCoreApplication::processEvents();
    const QPoint title = f.GridEX1->cellCenter(3, 6);
    ASSERT_EQ(f.GridEX1->columnAt(title), 6);
    f.GridEX1_MouseDown(2, title.x(), title.y());
    QMenu* menu = f.widget()->findChild<QMenu*>("mnuTitles");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(f.GridEX1->currentRow(), 3);
    menu->hide();

    // The left button shows nothing.
    f.GridEX1_MouseDown(1, title.x(), title.y());
    EXPECT_FALSE(menu->isVisible());
}

using testsupport::clickCell;

TEST_F(MainCommandsTest, AModalRequestOverAnOpenWindowRaisesItAndKeepsItsRecord)
{
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE, TASK_COMPLETE) VALUES "
                 "(5, 'Book the band', '2000-01-01 00:00:00', 0)");
    db().Execute("INSERT INTO BUDGET (BUDGET_ID, BUDGET_NAME, BUDGET_EVENT, BUDGET_AMT) VALUES "
                 "(8, 'Flowers', 'Reception', 450)");
    db().Execute("INSERT INTO MEASURE_FEMALE (MEASURE_FEMALE_ID, MEASURE_FEMALE_NAME) VALUES (3, 'Anna')");
    frmMain& f = m();
    auto& del = frmDeleteSingle::instance();

    // The task's confirmation is left open beside the main window.
    f.ExplorerBarCtlQV1->clickItem("TASKMODE");
    ASSERT_EQ(f.GridEX1->rowCount(), 1);
    clickCell(f.GridEX1, 1, 3);
    f.ExplorerBarCtlQV1->clickItem("DELETETASK");
    ASSERT_TRUE(del.isLoaded());
    const QString asked = del.lblDelete->text();
    EXPECT_TRUE(asked.contains("Book the band")) << asked.toStdString();

    // "Delete Budget Item" asks for the same window modally.
    f.ExplorerBarCtlQV1->clickItem("BUDGETMODE");
    const int budgetRow = f.GridEX1->rowKind(1) == grid::RowKind::GroupHeader ? 2 : 1;
    clickCell(f.GridEX1, budgetRow, 2);
    f.ExplorerBarCtlQV1->clickItem("DELETEBUDGET");
    EXPECT_TRUE(modal.modal->shown.isEmpty());
    ASSERT_TRUE(del.isLoaded());
    EXPECT_TRUE(del.widget()->isVisible());
    EXPECT_EQ(del.delMode, records::DeleteKind::Task);
    EXPECT_EQ(del.delID, 5);
    EXPECT_EQ(del.lblDelete->text(), asked);
    QTest::mouseClick(del.cmdDelete, Qt::LeftButton);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TASKS"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM BUDGET"), 1) << "the budget item was never confirmed";

    // The expense editor opened on a new expense, then asked for a budget item.
    trigger("mnuExpenseAdd");
    auto& expense = frmAddExpense::instance();
    ASSERT_TRUE(expense.isLoaded());
    const QString textBefore = expense.exExpenseText;  // whatever an earlier test left
    f.ExplorerBarCtlQV1->clickItem("BUDGET");
    clickCell(f.GridEX1, budgetRow, 2);
    trigger("mnuTurnBudgetIntoExpense");
    EXPECT_EQ(expense.curMode, frmAddExpense::Mode::New);
    EXPECT_EQ(expense.curBudgetID, 0);
    EXPECT_EQ(expense.exExpenseText, textBefore);

    // A measurement opened for editing, then "Add Female Measurement".
    f.ExplorerBarCtlQV1->clickItem("ATTIREMODE");
    f.ExplorerBarCtlQV1->clickItem("FEMALEMEASUREMENTS");
    clickCell(f.GridEX1, 1, 2);
    f.ExplorerBarCtlQV1->clickItem("MODIFYMEASUREMENT");
    f.ExplorerBarCtlQV1->clickItem("ADDFEMALEMEASUREMENT");
    EXPECT_EQ(frmMeasureFemale::instance().curMode, frmMeasureFemale::Mode::Edit);
    EXPECT_EQ(frmMeasureFemale::instance().curRec, 3);
    EXPECT_TRUE(modal.modal->shown.isEmpty());
    EXPECT_TRUE(messages.msgs->texts().isEmpty()) << messages.msgs->texts().join("|").toStdString();
}
