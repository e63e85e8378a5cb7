// The main window by keyboard alone: Tab reaches only what is on screen, in
// every mode, and the navigation bar's groups and items are reached and used
// by Tab, arrows and Enter.

#include "app/frmMain.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "support/fixture.h"
#include "support/mainwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QTableView>
#include <QTest>

#include <algorithm>

namespace {

class KeyboardTest : public testsupport::ShownMainWindowTest<> {
protected:
    void SetUp() override
    {
        ShownMainWindowTest::SetUp();
        m().widget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m().widget()));
    }

    // The widgets Tab visits from the present focus until it comes back to
    // the first of them; empty when it never does.
    QList<QWidget*> tabCycle(int limit = 200)
    {
        QList<QWidget*> seen;
        for (int i = 0; i < limit; ++i) {
            QWidget* w = QApplication::focusWidget();
            if (!w)
                return {};
            QTest::keyClick(w, Qt::Key_Tab);
            QWidget* next = QApplication::focusWidget();
            if (!seen.isEmpty() && next == seen.first())
                return seen;
            seen << next;
        }
        return {};
    }

    // On screen: some of it is inside every box around it, scrolled areas
    // and the window included.
    static bool onScreen(QWidget* w)
    {
        if (!w || !w->isVisible())
            return false;
        QWidget* top = w->window();
        QRect seen(w->mapTo(top, QPoint(0, 0)), w->size());
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
            seen &= QRect(p->mapTo(top, QPoint(0, 0)), p->size());
        return !seen.isEmpty();
    }

    static QString pathOf(QWidget* w)
    {
        QStringList names;
        for (; w && !w->isWindow(); w = w->parentWidget())
            if (!w->objectName().isEmpty())
                names.prepend(w->objectName());
        return names.join('/');
    }
};

}  // namespace

TEST_F(KeyboardTest, TabInEveryModeCyclesThroughWhatIsOnScreenOnly)
{
    db().Execute("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_EVENT, BUDGET_AMT) VALUES ('Flowers', 'Reception', 450)");
    frmMain& f = m();
    const struct {
        const char* key;
        const char* frame;
        QWidget* main;  // the shown panel's own control, which Tab must reach
    } modes[] = {
        {"BUDGETMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"CALENDARMODE", "frameDate", f.calDay},
        {"MONTHVIEW", "frameMonth", f.Calendar1},
        {"TASKMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"EVENTMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"GUESTMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"RSVPMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"VENDORMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"ATTIREMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"GIFTMODE", "frameDataGrid", f.GridEX1->tableView()},
        {"TODAY", "frameDate", f.calDay},
    };
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.key);
        f.ExplorerBarCtlQV1_ItemClick(mode.key);
        ASSERT_EQ(f.curFrameName(), mode.frame);
        QCoreApplication::processEvents();
        f.widget()->setFocus();
        const QList<QWidget*> cycle = tabCycle();
        ASSERT_FALSE(cycle.isEmpty()) << "Tab never comes back";
        for (QWidget* w : cycle) {
            EXPECT_TRUE(onScreen(w)) << pathOf(w).toStdString();
            for (QFrame* away : {f.frameDataGrid, f.frameDate, f.frameMonth})
                if (away != f.curFrame) {
                    EXPECT_FALSE(away->isAncestorOf(w)) << pathOf(w).toStdString();
                }
        }
        EXPECT_TRUE(cycle.contains(mode.main));
        for (QWidget* stop : f.ExplorerBarCtlQV1->focusStops())
            EXPECT_TRUE(cycle.contains(stop)) << "bar: " << stop->accessibleName().toStdString();

        // Through the bar, Tab goes from top to bottom, hosted controls included.
        QList<int> tops;
        for (QWidget* w : cycle)
            if (f.ExplorerBarCtlQV1->isAncestorOf(w))
                tops << w->mapTo(f.ExplorerBarCtlQV1, QPoint(0, 0)).y();
        ASSERT_FALSE(tops.isEmpty());
        const auto lowest = std::min_element(tops.begin(), tops.end());
        std::rotate(tops.begin(), lowest, tops.end());
        EXPECT_TRUE(std::is_sorted(tops.begin(), tops.end()));
    }

    // In a window too low for the bar, each stop Tab reaches is scrolled into view.
    f.window()->resize(900, 400);
    f.ExplorerBarCtlQV1_ItemClick("ATTIREMODE");
    QCoreApplication::processEvents();
    ASSERT_GT(f.ExplorerBarCtlQV1->contentHeight(), f.ExplorerBarCtlQV1->height());
    for (QWidget* w : tabCycle())
        EXPECT_TRUE(onScreen(w)) << pathOf(w).toStdString();
    f.ExplorerBarCtlQV1->focusStops().first()->setFocus();
    for (int i = 1; i < f.ExplorerBarCtlQV1->focusStops().size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        EXPECT_TRUE(onScreen(QApplication::focusWidget())) << pathOf(QApplication::focusWidget()).toStdString();
    }
    f.ExplorerBarCtlQV1_ItemClick("CALENDARMODE");

    // Keys sent to the grid moved away from the calendar change nothing.
    ASSERT_EQ(f.curFrameName(), "frameDate");
    QTableView* hidden = f.GridEX1->tableView();
    hidden->setFocus();
    EXPECT_FALSE(hidden->hasFocus());
    QTest::keyClick(hidden, Qt::Key_F2);
    QTest::keyClicks(hidden, "Renamed");
    QTest::keyClick(hidden, Qt::Key_Return);
    EXPECT_EQ(db().scalar("SELECT BUDGET_NAME FROM BUDGET").toString(), "Flowers");

    // Shown again, the grid takes the keyboard again.
    f.ExplorerBarCtlQV1_ItemClick("BUDGETMODE");
    hidden->setFocus();
    EXPECT_TRUE(hidden->hasFocus());
}

namespace {

// Each mode's item and the group of commands it brings.
const char* const kModes[][2] = {
    {"CALENDARMODE", "CALENDAR"}, {"TASKMODE", "TASKS"},     {"EVENTMODE", "EVENTS"},
    {"GUESTMODE", "GUESTS"},      {"RSVPMODE", "RSVP"},      {"VENDORMODE", "VENDORS"},
    {"BUDGETMODE", "BUDGET"},     {"ATTIREMODE", "ATTIRE"},  {"GIFTMODE", "GIFT"},
};

}  // namespace

TEST_F(KeyboardTest, EveryBarItemIsReachedByTabAndArrowsAndRunByEnter)
{
    frmMain& f = m();
    navbar::ExplorerBar* bar = f.ExplorerBarCtlQV1;
    auto focused = [] { return QApplication::focusWidget(); };
    for (const auto& [mode, group] : kModes) {
        SCOPED_TRACE(mode);
        // Into the bar by Tab, to the mode's item by arrows, and Enter.
        f.widget()->setFocus();
        for (int i = 0; i < 60 && focused() != bar->headerWidget("MODE"); ++i)
            QTest::keyClick(focused(), Qt::Key_Tab);
        ASSERT_EQ(focused(), bar->headerWidget("MODE"));
        for (int i = 0; i < 12 && focused() != bar->itemWidget(mode); ++i)
            QTest::keyClick(focused(), Qt::Key_Down);
        ASSERT_EQ(focused(), bar->itemWidget(mode));
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_EQ(bar->groupKeys().value(1) == "CALENDARCONTROL" ? "CALENDAR" : bar->groupKeys().value(1), group);

        // Down walks every stop of the bar top to bottom, Up all the way back.
        const QList<QWidget*> stops = bar->focusStops();
        QStringList names;
        for (int g = 0; g < bar->groupCount(); ++g)
            for (int i = 0; i < bar->groupAt(g)->itemCount(); ++i) {
                navbar::Item* it = bar->groupAt(g)->item(i);
                if (it->kind() == navbar::ItemCommand && it->style() != navbar::StyleCount) {
                    EXPECT_TRUE(stops.contains(bar->itemWidget(it->key()))) << it->key().toStdString();
                }
            }
        QTest::keyClick(focused(), Qt::Key_Home);
        QList<QWidget*> walked{focused()};
        for (int i = 1; i < stops.size(); ++i) {
            QTest::keyClick(focused(), Qt::Key_Down);
            walked << focused();
        }
        EXPECT_EQ(walked, stops);
        QTest::keyClick(focused(), Qt::Key_Down);
        EXPECT_EQ(focused(), stops.last()) << "the walk stops at the last";
        for (int i = 1; i < stops.size(); ++i)
            QTest::keyClick(focused(), Qt::Key_Up);
        EXPECT_EQ(focused(), stops.first());
    }
    EXPECT_EQ(f.curDataMode, views::DataMode::Gifts);
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(KeyboardTest, FocusIsDrawnAndEnterOrSpaceRunTheItemOrFoldTheGroup)
{
    frmMain& f = m();
    navbar::ExplorerBar* bar = f.ExplorerBarCtlQV1;
    QWidget* item = bar->itemWidget("RSVPMODE");
    const QImage plain = item->grab().toImage();
    item->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(item->hasFocus());
    EXPECT_NE(item->grab().toImage(), plain) << "the focus shows";
    QTest::keyClick(item, Qt::Key_Space);
    EXPECT_EQ(f.curDataMode, views::DataMode::RSVP);

    // Enter on a header folds its group; its items leave the keyboard's way.
    QWidget* header = bar->headerWidget("RSVP");
    header->setFocus(Qt::TabFocusReason);
    QTest::keyClick(header, Qt::Key_Return);
    EXPECT_TRUE(bar->group("RSVP")->collapsed());
    EXPECT_FALSE(bar->focusStops().contains(bar->itemWidget("SEATING")));
    QTest::keyClick(header, Qt::Key_Space);
    EXPECT_FALSE(bar->group("RSVP")->collapsed());
    // The Date Control group does not fold and is no stop.
    f.ExplorerBarCtlQV1_ItemClick("CALENDARMODE");
    EXPECT_FALSE(bar->focusStops().contains(bar->headerWidget("CALENDARCONTROL")));
}

TEST_F(KeyboardTest, TheMenusReachTheRsvpView)
{
    frmMain& f = m();
    QTest::keyClick(f.widget(), Qt::Key_E, Qt::AltModifier);
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "mnuEvents");
    QTest::keyClick(menu, Qt::Key_R);
    QWidget* sub = QApplication::activePopupWidget();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->objectName(), "mnuRSVP");
    QTest::keyClick(sub, Qt::Key_V);
    EXPECT_EQ(f.curDataMode, views::DataMode::RSVP);
    EXPECT_EQ(f.curFrameName(), "frameDataGrid");
    EXPECT_NE(f.ExplorerBarCtlQV1->findItem("INVITATIONS"), nullptr);
}
