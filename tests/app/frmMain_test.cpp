// The main window's frame: layout rules, panel switching, the start-up
// dialogs and the question about unsaved grid edits on closing.

#include "app/frmMain.h"
#include "app/help.h"
#include "app/commands.h"
#include "app/menus.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/grid/gridmodel.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "platform/twips.h"
#include "support/gui.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <sqlite3.h>

using mainLayout::Box;
using modQVDatabase::gShowTips;
using modQVDatabase::gShowWizard;

TEST(MainLayout, ShownPanelAroundItsThresholds)
{
    const struct {
        int W, H;
        int width, height;
    } cases[] = {
        {3200, 3000, 1000, 1000}, {3201, 3001, 1001, 1401}, {3215, 3015, 1015, 1415},
        {1000, 9000, 1000, 7400}, {12000, 2000, 9800, 1000}, {12300, 9300, 10100, 7700},
    };
    for (const auto& c : cases) {
        const Box b = mainLayout::shownPanel({-200, 900, 100, 55}, c.W, c.H);
        EXPECT_EQ(b, (Box{2200, 360, c.width, c.height})) << c.W << "x" << c.H;
    }
    EXPECT_EQ(mainLayout::awayPanel({2200, 360, 9000, 7000}), (Box{-200, 360, 100, 7000}));
}

TEST(MainLayout, ArrangePanelsPerPanel)
{
    const QHash<QString, Box> designed = {
        {"frameDataGrid", {2200, 360, 5000, 5000}}, {"GridEX1", {120, 240, 7452, 4692}},
        {"frameDate", {2200, 360, 5000, 5000}},     {"calDay", {120, 360, 5412, 3492}},
        {"gridTasksDate", {120, 3840, 8292, 2052}}, {"frameMonth", {2200, 360, 5000, 5000}},
        {"Calendar1", {120, 360, 7572, 4692}},
    };
    // Not larger than 5000 both ways: nothing changes.
    for (auto [W, H] : {std::pair{5000, 9000}, {9000, 5000}, {5000, 5000}, {4000, 4000}})
        EXPECT_FALSE(mainLayout::arrangePanels("frameDate", W, H, designed).has_value()) << W << "x" << H;

    struct Case {
        QString frame;
        int W, H;
        QHash<QString, Box> boxes;
    };
    const Case cases[] = {
        {"frameDataGrid", 5001, 5001,
         {{"frameDataGrid", {2200, 360, 2901, 3801}}, {"GridEX1", {120, 240, 2661, 3441}}}},
        {"frameDate", 5001, 5001,
         {{"frameDate", {2200, 360, 2901, 3801}},
          {"calDay", {120, 360, 2401, 1001}},
          {"gridTasksDate", {120, 1601, 2661, 2052}}}},
        {"frameMonth", 5001, 5001,
         {{"frameMonth", {2200, 360, 2901, 3901}}, {"Calendar1", {120, 360, 2401, 3201}}}},
        {"frameMonth", 12000, 9000,
         {{"frameMonth", {2200, 360, 9900, 7900}}, {"Calendar1", {120, 360, 9400, 7200}}}},
        // An unknown name (the comparison is exact) fits only the bar.
        {"framemonth", 12000, 9000, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame.toStdString());
        const auto a = mainLayout::arrangePanels(c.frame, c.W, c.H, designed);
        ASSERT_TRUE(a.has_value());
        EXPECT_EQ(a->navHeight, c.H - 860);
        EXPECT_EQ(a->boxes, c.boxes);
    }
}

namespace {

using MainTest = testsupport::MainWindowTest<>;
using testsupport::flushDeletes;

}  // namespace

TEST_F(MainTest, OpensOnTheDayCalendarWithTheCalendarGroups)
{
    const QDateTime before = ado::convert::now();
    m().Load();
    frmMain& f = m();
    EXPECT_EQ(f.window()->windowTitle().right(7), "Nuptaro");
    EXPECT_EQ(f.curFrameName(), "frameDate");
    EXPECT_EQ(f.dueMode, views::TaskFilter::Due);
    EXPECT_FALSE(f.StartupDialogsShown);
    EXPECT_FALSE(f.NewApptTyping);
    ASSERT_TRUE(f.DayApptRS);
    // The day calendar was filled for today.
    EXPECT_TRUE(f.DayApptRS->isOpen());
    EXPECT_GE(f.curDate.date(), before.date());
    EXPECT_LE(f.curDate.date(), QDate::currentDate());
    EXPECT_EQ(f.calDay->firstVisibleMinute(), 420);
    EXPECT_TRUE(f.optDueTasks->isChecked());
    EXPECT_FALSE(f.cmbEvents->isVisibleTo(f.window()));
    EXPECT_FALSE(f.lblEvent->isVisibleTo(f.window()));
    EXPECT_EQ(f.ExplorerBarCtlQV1->groupKeys(), (QStringList{"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_FALSE(f.GridEX2->isVisibleTo(f.window()));

    const int W = f.outerWidth(), H = f.outerHeight();
    ASSERT_GT(W, 5000);
    ASSERT_GT(H, 5000);
    EXPECT_EQ(f.boxOf(f.frameDate), (Box{2200, 360, W - 2100, H - 1200}));
    EXPECT_EQ(f.boxOf(f.frameDataGrid).left, -200);
    EXPECT_EQ(f.boxOf(f.frameDataGrid).width, 100);
    EXPECT_EQ(f.boxOf(f.frameMonth).left, -200);
    EXPECT_EQ(f.boxOf(f.ExplorerBarCtlQV1), (Box{0, 0, 2292, H - 860}));
    EXPECT_EQ(f.boxOf(f.gridTasksDate), (Box{120, H - 1200 - 2200, W - 2100 - 240, 2052}));
    EXPECT_EQ(f.boxOf(f.lblMode), (Box{2880, 120, 2412, 252}));
}

TEST_F(MainTest, SwitchingPanelsMovesTheOthersAway)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    const int W = f.outerWidth(), H = f.outerHeight();
    struct Step {
        QFrame* frame;
        Box shown;
        const char* control;
        Box controlBox;
    };
    const Step steps[] = {
        {f.frameDataGrid, {2200, 360, W - 2100, H - 1200}, "GridEX1", {120, 240, W - 2100 - 240, H - 1200 - 360}},
        {f.frameMonth, {2200, 360, W - 2100, H - 1100}, "Calendar1", {120, 360, W - 2100 - 500, H - 1100 - 700}},
        {f.frameDate, {2200, 360, W - 2100, H - 1200}, "calDay", {120, 360, W - 2100 - 500, H - 1200 - 2800}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.frame->objectName().toStdString());
        f.ShowPanel(s.frame);
        // Before the arrangement the panel has the sizes of ShowPanel.
        EXPECT_EQ(f.boxOf(s.frame), (Box{2200, 360, W - 2200, H - 1600}));
        f.ArrangePanels();
        EXPECT_EQ(f.curFrame, s.frame);
        EXPECT_EQ(f.boxOf(s.frame), s.shown);
        EXPECT_EQ(f.boxOf(s.frame->findChild<QWidget*>(s.control)), s.controlBox);
        for (QFrame* other : {f.frameDataGrid, f.frameDate, f.frameMonth}) {
            if (other == s.frame)
                continue;
            EXPECT_EQ(f.boxOf(other).left, -200) << other->objectName().toStdString();
            EXPECT_EQ(f.boxOf(other).width, 100);
        }
        EXPECT_EQ(s.frame->geometry().left(), twips::toPixels(2200));
    }
}

TEST_F(MainTest, SmallWindowsStopAtTheLeastSizeWithTheViewsInside)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    f.ExplorerBarCtlQV1->clickItem("GUESTMODE");
    f.ExplorerBarCtlQV1->clickItem("GUESTADDRESSES");  // cards
    for (QSize s : {QSize(700, 333), QSize(300, 300)}) {
        f.window()->resize(s);
        QCoreApplication::processEvents();
        EXPECT_EQ(f.window()->size(), s.expandedTo(mainLayout::kLeastSize));
        EXPECT_LT(f.GridEX1->mapTo(f.window(), QPoint(f.GridEX1->width(), 0)).x(), f.window()->frameGeometry().width());
        EXPECT_GE(twips::fromPixels(f.GridEX1->width()), f.GridEX1->cardWidth()) << "a card fits";
    }
}

TEST_F(MainTest, StartupDialogsOncePerRunWizardFirst)
{
    const struct {
        const char* wizard;
        const char* tips;
        QStringList shown;
    } cases[] = {
        {"Yes", "Yes", {"frmWizard", "frmTip"}},
        {"No", "Yes", {"frmTip"}},
        {"Yes", "yes", {"frmWizard"}},
        {"No", "No", {}},
        {"", "YES", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.wizard) + "/" + c.tips);
        m().Unload();
        modal.modal->shown.clear();
        gShowWizard = c.wizard;
        gShowTips = c.tips;
        bool tipBeforeWizardClosed = false;
        bool shownFlagWhileOpen = true;
        modal.modal->on("frmWizard", [&](ui::FormBase&) {
            // Activation while the wizard is open starts nothing more.
            m().Form_Activate();
            tipBeforeWizardClosed = modal.modal->shown.contains("frmTip");
            shownFlagWhileOpen = m().StartupDialogsShown;
        });
        m().Load();
        EXPECT_TRUE(modal.modal->shown.isEmpty()) << "nothing before the first activation";
        m().Form_Activate();
        EXPECT_EQ(modal.modal->shown, c.shown);
        EXPECT_TRUE(m().StartupDialogsShown);
        if (c.shown.contains("frmWizard")) {
            EXPECT_FALSE(tipBeforeWizardClosed);
            EXPECT_FALSE(shownFlagWhileOpen);
        }
        m().Form_Activate();
        m().Form_Activate();
        EXPECT_EQ(modal.modal->shown, c.shown) << "not again on re-activation";
        modal.modal->standing.clear();
    }
}

namespace {

void addTwoTasks()
{
    modQVDatabase::gConn.Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE) VALUES "
                                 "('Send invitations', '2000-01-01 00:00:00'), ('Book the hall', '2000-02-01 00:00:00')");
}

// Shows all tasks, then clicks the task name of a row other than the current
// one (a click on the current row opens its editor only after a delay) and
// types over it as a user does; the open editor, or nullptr.
QLineEdit* typeOverTask(frmMain& f, int row, const QString& text)
{
    f.ExplorerBarCtlQV1->clickItem("TASKMODE");
    f.ExplorerBarCtlQV1->clickItem("ALLTASKS");
    QTableView* v = f.GridEX1->tableView();
    testsupport::clickCell(f.GridEX1, row, f.GridEX1->columnByCaption("Task"));
    QTest::keyClick(v, Qt::Key_F2);
    auto* line = v->findChild<QLineEdit*>();
    if (line) {
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(line, text);
    }
    return line;
}

}  // namespace

TEST_F(MainTest, CloseQuestionYesNoCancel)
{
    const struct {
        int answer;
        bool closes;
        const char* stored;
    } cases[] = {
        {ui::vbYes, true, "Send invitations|Book the band"},
        {ui::vbNo, true, "Send invitations|Book the hall"},
        {ui::vbCancel, false, "Send invitations|Book the hall"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        db().Execute("DELETE FROM TASKS");
        addTwoTasks();
        m().Show(ui::vbModeless);
        frmMain& f = m();
        ASSERT_NE(typeOverTask(f, 2, "Book the band"), nullptr);
        ASSERT_TRUE(f.GridEX1->editPending());
        HTMLHelp::ShowHelpContents(1);  // a modeless window beside it

        messages.msgs->shown.clear();
        messages.msgs->answers = {c.answer};
        EXPECT_EQ(f.widget()->close(), c.closes);
        ASSERT_EQ(messages.msgs->shown.size(), 1);
        EXPECT_EQ(messages.msgs->shown[0].text, "Data in the current record has changed.\nDo you want to save the changes?");
        EXPECT_EQ(messages.msgs->shown[0].style, ui::vbYesNoCancel | ui::vbInformation);
        EXPECT_EQ(messages.msgs->shown[0].title, "Nuptaro");
        EXPECT_EQ(f.isLoaded(), !c.closes);
        EXPECT_EQ(frmHelp::instance().isLoaded(), !c.closes) << "other windows close with the main window";
        EXPECT_EQ(rows("SELECT TASK_NAME FROM TASKS ORDER BY TASK_DUEDATE").join('|'), c.stored);
        if (!c.closes) {
            EXPECT_TRUE(f.GridEX1->editPending()) << "the edit stays pending";
            // Closing again without a pending edit asks nothing.
            f.GridEX1->cancelEdit();
            messages.msgs->shown.clear();
            EXPECT_TRUE(f.widget()->close());
            EXPECT_TRUE(messages.msgs->shown.isEmpty());
        }
        flushDeletes();
    }
}

TEST_F(MainTest, CallsIntoTheClosedMainWindowAreSkipped)
{
    m().Load();
    m().Unload();
    EXPECT_EQ(m().GridEX1, nullptr);
    EXPECT_FALSE(ui::ifLoaded(m(), [](frmMain& f) { f.GridEX1->redraw(); }));
    // Its procedures, and clicks raised on it late, do nothing.
    frmMain& f = m();
    f.ArrangePanels();
    EXPECT_TRUE(f.ConfirmPendingGridEdits());
    f.BuildModeGroup();
    for (auto build : {&frmMain::BuildCalendarGroups, &frmMain::BuildTaskGroup, &frmMain::BuildEventGroup,
                       &frmMain::BuildGuestGroup, &frmMain::BuildRSVPGroup, &frmMain::BuildVendorGroup,
                       &frmMain::BuildBudgetGroup, &frmMain::BuildAttireGroup, &frmMain::BuildGiftGroup,
                       &frmMain::BuildTaskInfoGroup, &frmMain::RemoveModeGroups, &frmMain::HideAllPanels,
                       &frmMain::optAllTasks_Click, &frmMain::GridEX1_DblClick})
        (f.*build)();
    f.ShowPanel(f.frameDataGrid);
    for (const QString& key : commands::actionKeys())
        f.ExplorerBarCtlQV1_ItemClick(key);
    for (const menus::Item& menu : menus::menuTree())
        for (const menus::Item& item : menu.items)
            f.MenuItem_Click(item.name);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_TRUE(modal.modal->shown.isEmpty()) << modal.modal->shown.join(",").toStdString();
    for (ui::FormBase* w : ui::FormBase::all())
        EXPECT_FALSE(w->isLoaded()) << w->name().toStdString();
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
    // The public members stay.
    EXPECT_EQ(m().dueMode, views::TaskFilter::Due);
}


TEST_F(MainTest, YesWithTheFileLockedKeepsTheWindowAndTheEdit)
{
    addTwoTasks();
    m().Show(ui::vbModeless);
    frmMain& f = m();
    QLineEdit* line = typeOverTask(f, 2, "Book the band");
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(f.curDataMode, views::DataMode::AllTasks);
    ASSERT_TRUE(f.GridEX1->editPending());

    // Another program holds the file's write lock.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(folder->file(modQVDatabase::kWorkingFile).toUtf8().constData(), &other,
                              SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(db().handle(), 0);

    messages.msgs->answers = {ui::vbYes, ui::vbOK};
    EXPECT_FALSE(f.widget()->close());
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_TRUE(messages.msgs->shown[1].text.startsWith("The changes could not be saved."));
    EXPECT_TRUE(messages.msgs->shown[1].text.contains("locked")) << messages.msgs->shown[1].text.toStdString();
    EXPECT_TRUE(f.isLoaded());
    EXPECT_TRUE(f.GridEX1->editPending());
    EXPECT_EQ(line->text(), "Book the band");

    // Once the other program lets go, Yes stores it and the window closes.
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    messages.msgs->answers = {ui::vbYes};
    EXPECT_TRUE(f.widget()->close());
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(count("SELECT COUNT(*) FROM TASKS WHERE TASK_NAME = 'Book the band'"), 1);
    flushDeletes();
}

// Typed cell text survives every way of leaving the view: stored when it can
// be, asked about (as on closing) when the database refuses it.
TEST_F(MainTest, APendingCellEditIsStoredOrAskedAboutBeforeAnyViewSwitch)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    ASSERT_TRUE(testsupport::showActive(f.widget()));
    const auto menuItem = [&](const QString& menu, const QString& item) {
        QMenuBar* bar = f.window()->menuBar();
        QMenu* m = menus::findMenu(f.window(), menu);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(m->menuAction()).center());
        QAction* a = f.window()->findChild<QAction*>(item);
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(a).center());
    };
    const struct {
        const char* how;
        std::function<void()> leave;
    } ways[] = {
        {"bar", [&] { QTest::mouseClick(f.ExplorerBarCtlQV1->itemWidget("EVENTMODE"), Qt::LeftButton); }},
        {"menu", [&] { menuItem("mnuEvents", "mnuEventsView"); }},
        {"keys", [&] {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
             QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_V);
         }},
    };
    const struct {
        bool refused;
        int answer;
        const char* stored;
        bool switched;
    } answers[] = {
        {false, 0, "Book the band early", true},
        {true, ui::vbCancel, "Book the hall", false},
        {true, ui::vbNo, "Book the hall", true},
    };
    for (const auto& w : ways)
        for (const auto& a : answers) {
            SCOPED_TRACE(std::string(w.how) + (a.refused ? " refused" : ""));
            db().Execute("DROP TRIGGER IF EXISTS no_names");
            db().Execute("DELETE FROM TASKS");
            addTwoTasks();
            QLineEdit* line = typeOverTask(f, 2, "Book the band early");
            ASSERT_NE(line, nullptr);
            ASSERT_TRUE(f.GridEX1->editPending());
            if (a.refused)
                db().Execute("CREATE TRIGGER no_names BEFORE UPDATE ON TASKS BEGIN SELECT RAISE(ABORT, 'no'); END");
            messages.msgs->shown.clear();
            messages.msgs->answers = {a.answer};
            w.leave();
            QCoreApplication::processEvents();
            EXPECT_EQ(rows("SELECT TASK_NAME FROM TASKS ORDER BY TASK_DUEDATE").value(1), a.stored);
            EXPECT_EQ(f.curDataMode != views::DataMode::AllTasks, a.switched) << views::dataModeName(f.curDataMode).toStdString();
            const QStringList asked = messages.msgs->texts();
            EXPECT_EQ(asked, a.refused ? QStringList{"Data in the current record has changed.\nDo you want to save the changes?"}
                                       : QStringList{});
            if (!a.switched) {
                EXPECT_TRUE(f.GridEX1->editPending() && line->text() == "Book the band early");
            }
            f.GridEX1->cancelEdit();
            flushDeletes();
        }
}
