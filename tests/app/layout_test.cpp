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
#include <QScrollBar>

TEST(MainLayout, OpeningSizeFitsTheBarsGroupsOnTheScreen)
{
    const struct {
        QSize screen;
        int bar;
        QSize size;
    } cases[] = {
        {{1366, 768}, 650, {1024, 710}},  // a common laptop: all groups, no scrolling
        {{1920, 1080}, 650, {1024, 710}},
        {{1366, 768}, 900, {1024, 738}},  // more than the screen holds: the screen less a title bar
        {{800, 600}, 650, {800, 570}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mainLayout::openingSize(c.screen, c.bar), c.size) << c.screen.width() << "x" << c.screen.height();
        // The bar, 860 twips less than the window, holds the groups.
        if (c.size.height() < c.screen.height() - 30)
            EXPECT_GE(c.size.height() * 15 - 860, c.bar * 15);
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
    QCoreApplication::processEvents();
    navbar::ExplorerBar* bar = m().ExplorerBarCtlQV1;
    ASSERT_EQ(bar->groupKeys(), (QStringList{"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_LE(bar->contentHeight(), bar->height());
    // The last count is on screen, not below the fold.
    QWidget* last = bar->itemWidget("TASKMODEALL");
    ASSERT_NE(last, nullptr);
    const QRect shown = QRect(last->mapTo(bar, QPoint(0, 0)), last->size());
    EXPECT_TRUE(bar->rect().contains(shown)) << shown.bottom() << " in " << bar->height();
    EXPECT_FALSE(bar->findChild<QScrollArea*>()->verticalScrollBar()->isVisible()) << "nothing to scroll to";
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
