// What a user sees of the main window's frame: it opens showing the start
// mode's groups whole, and no caption of the bar or title is cut.

#include "app/frmMain.h"
#include "platform/navbar/explorerbar.h"
#include "support/fixture.h"
#include "support/mainwindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

TEST(MainLayout, OpeningSizeFitsTheBarsGroupsOnTheScreen)
{
    const struct {
        QSize screen;
        int bar;
        QSize frame;   // title bar and borders
        QSize size;
    } cases[] = {
        {{1366, 768}, 650, {0, 0}, {1024, 710}},  // a common laptop: all groups, no scrolling
        {{1920, 1080}, 650, {0, 0}, {1024, 710}},
        {{1366, 768}, 650, {8, 30}, {1024, 680}},  // the frame is the window's too
        {{1366, 768}, 900, {8, 30}, {1024, 738}},  // more than the screen holds: the screen less the frame
        {{1093, 614}, 540, {6, 21}, {1024, 579}},  // large text (125 %) on a laptop, the compact bar
        {{800, 600}, 650, {8, 30}, {792, 570}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.width()) + "x" + std::to_string(c.screen.height()));
        const QSize size = mainLayout::openingSize(c.screen, c.bar, c.frame);
        EXPECT_EQ(size, c.size);
        // The frame on the screen; the bar, 860 twips less than the window
        // with its frame, holds the groups where the screen has the room.
        EXPECT_LE(size.height() + c.frame.height(), c.screen.height());
        if (size.height() + c.frame.height() < c.screen.height()) {
            EXPECT_GE(mainLayout::barHeight(size.height() + c.frame.height()), c.bar);
        }
    }
}

namespace {

using FrameTest = testsupport::ShownMainWindowTest<>;

// Every view the bar leads to, by the key that shows it.
const char* const kViews[] = {
    "CALENDARMODE", "MONTHVIEW",     "TASKMODE",     "ALLTASKS",     "INCOMPLETETASKS", "COMPLETETASKS",
    "EVENTMODE",    "GUESTMODE",     "GUESTADDRESSES", "RSVPMODE",   "VENDORMODE",      "VIEWQUOTES",
    "BUDGETMODE",   "EXPENSES",      "ATTIREMODE",   "FEMALEMEASUREMENTS", "MALEMEASUREMENTS", "GIFTMODE",
    "VIEWREGISTRY",
};

}  // namespace

TEST_F(FrameTest, OpensWithTheStartGroupsWhole)
{
    // CTest runs this a second time with large text (125 %) on a 1366x768
    // laptop screen, where the bar is compact.
    QWidget* window = m().window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    navbar::ExplorerBar* bar = m().ExplorerBarCtlQV1;
    QScrollBar* scroll = bar->findChild<QScrollArea*>()->verticalScrollBar();
    // Once the window has its frame and size, and the bar its layout.
    (void)QTest::qWaitFor([&] { return bar->contentHeight() <= bar->height() && !scroll->isVisible(); }, 2000);
    const QRect free = window->screen()->availableGeometry();
    EXPECT_TRUE(free.contains(window->frameGeometry())) << window->frameGeometry().bottom() << " in " << free.bottom();
    EXPECT_EQ(bar->compact(), free.height() < 700);
    ASSERT_EQ(bar->groupKeys(), (QStringList{"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_LE(bar->contentHeight(), bar->height());
    // The last count is on screen, not below the fold.
    QWidget* last = bar->itemWidget("TASKMODEALL");
    ASSERT_NE(last, nullptr);
    const QRect shown = QRect(last->mapTo(bar, QPoint(0, 0)), last->size());
    EXPECT_TRUE(bar->rect().contains(shown)) << shown.bottom() << " in " << bar->height();
    EXPECT_FALSE(scroll->isVisible()) << "nothing to scroll to";
}

TEST_F(FrameTest, NoCaptionOfTheBarOrTitleIsCutInAnyView)
{
    frmMain& f = m();
    for (const char* key : kViews) {
        SCOPED_TRACE(key);
        if (!f.ExplorerBarCtlQV1->findItem(key))
            f.ExplorerBarCtlQV1_ItemClick(QString(key) == "MONTHVIEW" ? "CALENDARMODE" : key);
        f.ExplorerBarCtlQV1_ItemClick(key);
        QCoreApplication::processEvents();
        EXPECT_EQ(f.ExplorerBarCtlQV1->cutCaptions().join(" | ").toStdString(), "");
        const QString title = f.lblMode->text();
        ASSERT_FALSE(title.isEmpty());
        EXPECT_LE(f.lblMode->fontMetrics().horizontalAdvance(title), f.lblMode->contentsRect().width())
            << title.toStdString();
    }
}
