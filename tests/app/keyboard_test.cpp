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

namespace {

class KeyboardTest : public testsupport::MainWindowTest<> {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m().Show(ui::vbModeless);
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

    // On screen: every box from the widget up to the window lies at least
    // partly inside its parent.
    static bool onScreen(QWidget* w)
    {
        if (!w || !w->isVisible())
            return false;
        for (QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
            if (!p->geometry().intersects(p->parentWidget()->rect()))
                return false;
        return true;
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
                if (away != f.curFrame)
                    EXPECT_FALSE(away->isAncestorOf(w)) << pathOf(w).toStdString();
        }
        EXPECT_TRUE(cycle.contains(mode.main));
    }

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
