// The day planner as the calendar procedures drive it: minutes and slots on
// screen, scrolling, in-place typing and editing, dragged edges, printing.

#include "platform/calendar/dayplanner.h"

#include "support/gui.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using calendar::DayPlanner;

namespace {

using testsupport::darkPixels;

class DayPlannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One pixel a minute, sixteen 30-minute slots: eight hours in view.
        planner.setSlotHeight(30);
        planner.resize(500, 30 * 16);
        planner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&planner));
        planner.setFirstVisibleMinute(420);
    }

    // A point inside the planner's entry area at the given minute.
    QPoint at(int minute, int x = 200) const
    {
        return QPoint(x, planner.yForMinute(minute));
    }

    DayPlanner planner;
};

TEST_F(DayPlannerTest, MinutesSlotsAndPointsMapBothWays)
{
    // 22 pixels a slot: minutes do not fall on whole pixels.
    planner.setSlotHeight(22);
    planner.setFirstVisibleMinute(420);
    ASSERT_EQ(planner.slotMinutes(), 30);
    ASSERT_EQ(planner.firstVisibleMinute(), 420);
    struct Case { int y; int minute; } cases[] = {
        {0, 420}, {10, 433}, {11, 435}, {21, 448}, {22, 450}, {44, 480}, {66, 510},
        {-22, 390},     // above the top still maps, for drags past the edge
        {100000, 1439}, // far below the day is its last minute
    };
    for (const auto& c : cases)
        EXPECT_EQ(planner.minuteAt(QPoint(200, c.y)), c.minute) << "y " << c.y;
    for (int m : {420, 450, 480, 570, 600, 990})  // slot lines fall on whole pixels
        EXPECT_EQ(planner.minuteAt(QPoint(200, planner.yForMinute(m))), m) << m;

    struct Slot { int minute; int slot; } slotCases[] = {{0, 0}, {29, 0}, {30, 1}, {570, 19}, {599, 19}, {1439, 47}, {1440, 47}, {-5, 0}};
    for (const auto& s : slotCases)
        EXPECT_EQ(planner.slotOf(s.minute), s.slot) << s.minute;

    // Other slot sizes; a size that does not divide the hour is refused.
    planner.setSlotMinutes(15);
    planner.setFirstVisibleMinute(420);
    EXPECT_EQ(planner.minuteAt(QPoint(200, 22)), 435);
    planner.setSlotMinutes(7);
    EXPECT_EQ(planner.slotMinutes(), 15);
}

TEST_F(DayPlannerTest, FirstVisibleMinuteScrollsWithinTheDay)
{
    const int visible = planner.visibleMinutes();
    ASSERT_EQ(visible, 480);
    QSignalSpy changed(&planner, &DayPlanner::firstVisibleMinuteChanged);
    struct Case { int set; int expect; } cases[] = {
        {300, 300}, {0, 0}, {-30, 0}, {420, 420}, {1440, 1440 - visible}, {5000, 1440 - visible},
    };
    for (const auto& c : cases) {
        planner.setFirstVisibleMinute(c.set);
        EXPECT_EQ(planner.firstVisibleMinute(), c.expect) << c.set;
    }
    EXPECT_GE(changed.count(), 4);

    // The minute at the top follows the scroll.
    planner.setFirstVisibleMinute(300);
    EXPECT_EQ(planner.minuteAt(QPoint(200, 0)), 300);

    // A planner tall enough for the whole day cannot scroll.
    planner.resize(500, 30 * 48 + 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(planner.firstVisibleMinute(), 0);
    planner.setFirstVisibleMinute(420);
    EXPECT_EQ(planner.firstVisibleMinute(), 0);
}

TEST_F(DayPlannerTest, EntriesAreKeptAsGivenAndHitWhereDrawn)
{
    struct Case { int s, e; int expS, expE; } cases[] = {
        {480, 560, 480, 560}, {0, 1440, 0, 1440}, {-10, 2000, 0, 1440}, {600, 500, 600, 600}, {0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const int i = planner.addEntry(c.s, c.e, "t", "7");
        EXPECT_EQ(planner.entryStart(i), c.expS);
        EXPECT_EQ(planner.entryEnd(i), c.expE);
        EXPECT_EQ(planner.entryTag(i), "7");
    }
    EXPECT_EQ(planner.entryCount(), 5);
    EXPECT_EQ(planner.entryText(99), QString());
    planner.clearEntries();
    EXPECT_EQ(planner.entryCount(), 0);
    EXPECT_EQ(planner.currentEntry(), -1);

    // Overlapping entries sit side by side; each is hit where it is drawn.
    const int a = planner.addEntry(480, 600, "Florist", "1");
    const int b = planner.addEntry(540, 660, "Baker", "2");
    const int c = planner.addEntry(700, 720, "Call", "3");
    const QRect ra = planner.entryRect(a), rb = planner.entryRect(b), rc = planner.entryRect(c);
    EXPECT_FALSE(ra.intersects(rb));
    EXPECT_GT(rc.width(), ra.width());  // alone in its hour, it takes the width
    EXPECT_EQ(planner.entryAt(ra.center()), a);
    EXPECT_EQ(planner.entryAt(rb.center()), b);
    EXPECT_EQ(planner.entryAt(rc.center()), c);
    EXPECT_EQ(planner.entryAt(at(420)), -1);
    EXPECT_EQ(planner.entryAt(QPoint(5, ra.center().y())), -1);  // on the hour labels

    QSignalSpy selected(&planner, &DayPlanner::entrySelected);
    QTest::mouseClick(&planner, Qt::LeftButton, {}, rb.center());
    EXPECT_EQ(planner.currentEntry(), b);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), b);

    planner.removeEntry(a);
    EXPECT_EQ(planner.currentEntry(), b - 1);
    EXPECT_EQ(planner.entryText(planner.currentEntry()), "Baker");
}

TEST_F(DayPlannerTest, MouseEventsReportButtonMinuteAndDoubleClick)
{
    QSignalSpy down(&planner, &DayPlanner::MouseDown);
    QSignalSpy up(&planner, &DayPlanner::MouseUp);
    QSignalSpy right(&planner, &DayPlanner::rightClicked);
    QSignalSpy dbl(&planner, &DayPlanner::DblClick);
    QSignalSpy dblMinute(&planner, &DayPlanner::slotDoubleClicked);

    QTest::mouseClick(&planner, Qt::RightButton, Qt::ShiftModifier, at(500));
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).toInt(), 2);
    EXPECT_EQ(up.at(0).at(1).toInt(), 1);
    EXPECT_EQ(up.at(0).at(2).toInt(), at(500).x());
    EXPECT_EQ(up.at(0).at(3).toInt(), at(500).y());
    EXPECT_EQ(down.count(), 1);
    EXPECT_EQ(right.count(), 1);

    QTest::mouseClick(&planner, Qt::LeftButton, {}, at(600));
    EXPECT_EQ(up.last().at(0).toInt(), 1);
    EXPECT_EQ(right.count(), 1);
    EXPECT_EQ(dbl.count(), 0);

    for (int m : {570, 599}) {
        dbl.clear();
        dblMinute.clear();
        QTest::mouseDClick(&planner, Qt::LeftButton, {}, at(m));
        EXPECT_EQ(dbl.count(), 1) << m;
        EXPECT_EQ(planner.mouseMinute(), m);
        ASSERT_EQ(dblMinute.count(), 1);
        EXPECT_EQ(dblMinute.at(0).at(0).toInt(), m);
    }
    // Double-clicking opens no editor of its own: the program shows its window.
    EXPECT_FALSE(planner.isEditing());
}

TEST_F(DayPlannerTest, TypedEntryCancelledLeavesNothingAndNextEditIsAChange)
{
    const int existing = planner.addEntry(600, 630, "Dress fitting", "12");
    QSignalSpy started(&planner, &DayPlanner::NewAppointment);
    QSignalSpy cancelled(&planner, &DayPlanner::NewAppointmentCancelled);
    QSignalSpy after(&planner, &DayPlanner::AfterEdit);
    QSignalSpy added(&planner, &DayPlanner::entryAdded);
    QSignalSpy changed(&planner, &DayPlanner::entryChanged);

    // Typing on a selected empty slot starts a new entry over that slot.
    QTest::mouseClick(&planner, Qt::LeftButton, {}, at(485));
    EXPECT_EQ(planner.selectionStart(), 480);
    EXPECT_EQ(planner.selectionEnd(), 510);
    QTest::keyClicks(&planner, "L");
    ASSERT_TRUE(planner.isEditing());
    ASSERT_EQ(started.count(), 1);
    EXPECT_EQ(started.at(0).at(0).toInt(), 480);
    EXPECT_EQ(started.at(0).at(1).toInt(), 510);
    EXPECT_TRUE(started.at(0).at(2).toBool());
    EXPECT_EQ(planner.editor()->text(), "L");
    QTest::keyClicks(planner.editor(), "unch");
    QTest::keyClick(planner.editor(), Qt::Key_Escape);

    EXPECT_FALSE(planner.isEditing());
    EXPECT_EQ(planner.entryCount(), 1);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(after.count(), 0);
    EXPECT_EQ(added.count(), 0);

    // The next edit, of the existing entry, is reported as a change.
    QTest::mouseClick(&planner, Qt::LeftButton, {}, planner.entryRect(existing).center());
    QTest::keyClick(&planner, Qt::Key_F2);
    ASSERT_EQ(planner.editingEntry(), existing);
    EXPECT_EQ(planner.editor()->text(), "Dress fitting");
    QTest::keyClick(planner.editor(), Qt::Key_End);
    QTest::keyClicks(planner.editor(), " 2");
    QTest::keyClick(planner.editor(), Qt::Key_Return);

    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(added.count(), 0);
    ASSERT_EQ(after.count(), 1);
    EXPECT_EQ(after.at(0).at(0).toInt(), existing);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(planner.entryText(existing), "Dress fitting 2");
    EXPECT_EQ(planner.entryStart(existing), 600);
    EXPECT_EQ(planner.entryEnd(existing), 630);
    const auto edit = planner.lastEdit();
    EXPECT_FALSE(edit.added);
    EXPECT_TRUE(edit.textChanged);
    EXPECT_FALSE(edit.startMoved);
    EXPECT_FALSE(edit.endMoved);

    // Closing the editor with the text unchanged is no edit.
    planner.beginEdit(existing);
    planner.commitEdit();
    EXPECT_EQ(after.count(), 1);

    // Cancelling an edit of an existing entry keeps its text.
    planner.beginEdit(existing, "x");
    planner.cancelEdit();
    EXPECT_EQ(planner.entryText(existing), "Dress fitting 2");
    EXPECT_EQ(after.count(), 1);
    EXPECT_EQ(cancelled.count(), 1);
}

TEST_F(DayPlannerTest, TypedEntriesAreReportedAndMaySafelyRefillThePlanner)
{
    QSignalSpy after(&planner, &DayPlanner::AfterEdit);

    // A typed text: the entry exists, with its minutes and text, when AfterEdit runs.
    int seenStart = -1, seenEnd = -1;
    QString seenText;
    bool seenAdded = false;
    auto conn = QObject::connect(&planner, &DayPlanner::AfterEdit, [&](int i) {
        seenStart = planner.entryStart(i);
        seenEnd = planner.entryEnd(i);
        seenText = planner.entryText(i);
        seenAdded = planner.lastEdit().added;
        // The program refills the day from the database here.
        planner.clearEntries();
        planner.addEntry(seenStart, seenEnd, seenText, "41");
    });
    planner.beginNewEntry(540, 600, "Cake tasting");
    planner.commitEdit();
    QObject::disconnect(conn);
    EXPECT_EQ(seenStart, 540);
    EXPECT_EQ(seenEnd, 600);
    EXPECT_EQ(seenText, "Cake tasting");
    EXPECT_TRUE(seenAdded);
    ASSERT_EQ(planner.entryCount(), 1);
    EXPECT_EQ(planner.entryTag(0), "41");
    EXPECT_FALSE(planner.isEditing());

    // An empty typed entry is reported (so the program can end its typing)
    // and not left on screen.
    after.clear();
    planner.beginNewEntry(660, 690);
    planner.commitEdit();
    EXPECT_EQ(after.count(), 1);
    EXPECT_EQ(planner.entryCount(), 1);

    // Refilling while typing gives the typing up.
    QSignalSpy cancelled(&planner, &DayPlanner::NewAppointmentCancelled);
    planner.beginNewEntry(700, 730, "Half");
    planner.clearEntries();
    EXPECT_FALSE(planner.isEditing());
    EXPECT_EQ(cancelled.count(), 1);

    // Clicking elsewhere finishes the typing as typed.
    after.clear();
    planner.beginNewEntry(720, 750, "Venue");
    QTest::mouseClick(&planner, Qt::LeftButton, {}, at(800));
    EXPECT_EQ(after.count(), 1);
    EXPECT_EQ(planner.entryText(0), "Venue");
}

TEST_F(DayPlannerTest, DraggedEdgesAndMovesAreReportedAsBoundChanges)
{
    planner.setSnapMinutes(15);
    const int i = planner.addEntry(540, 600, "Band", "5");
    QSignalSpy after(&planner, &DayPlanner::AfterEdit);

    auto drag = [&](QPoint from, QPoint to) {
        QTest::mousePress(&planner, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, to, planner.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&planner, &move);
        QTest::mouseRelease(&planner, Qt::LeftButton, {}, to);
    };
    struct Case {
        const char* what;
        int grabY;  // relative to the entry's rectangle: 0 top edge, 1 bottom edge, 2 body
        int toMinute;
        int expStart, expEnd;
        bool startMoved, endMoved;
    } cases[] = {
        {"bottom edge down", 1, 660, 540, 660, false, true},
        {"top edge up", 0, 480, 480, 660, true, false},
        {"body down an hour", 2, 0, 540, 720, true, true},
        {"bottom edge above the top", 1, 400, 540, 555, false, true},
    };
    for (const auto& c : cases) {
        after.clear();
        const QRect r = planner.entryRect(i);
        QPoint from(r.center().x(), c.grabY == 0 ? r.top() + 1 : c.grabY == 1 ? r.bottom() - 1 : r.center().y());
        QPoint to(from.x(), c.grabY == 2 ? from.y() + planner.yForMinute(480) - planner.yForMinute(420)
                                         : planner.yForMinute(c.toMinute));
        drag(from, to);
        EXPECT_EQ(planner.entryStart(i), c.expStart) << c.what;
        EXPECT_EQ(planner.entryEnd(i), c.expEnd) << c.what;
        ASSERT_EQ(after.count(), 1) << c.what;
        EXPECT_FALSE(planner.lastEdit().added) << c.what;
        EXPECT_FALSE(planner.lastEdit().textChanged) << c.what;
        EXPECT_EQ(planner.lastEdit().startMoved, c.startMoved) << c.what;
        EXPECT_EQ(planner.lastEdit().endMoved, c.endMoved) << c.what;
    }

    // A click without a move changes nothing.
    after.clear();
    QTest::mouseClick(&planner, Qt::LeftButton, {}, planner.entryRect(i).center());
    EXPECT_EQ(after.count(), 0);

    // A whole-day entry cannot be moved past the day's end.
    const int day = planner.addEntry(0, 1440, "All day", "6");
    planner.setCurrentEntry(day);
    EXPECT_EQ(planner.entryEnd(day), 1440);
}

TEST_F(DayPlannerTest, PrintingDrawsTitleAndRangeOnEveryOption)
{
    planner.addEntry(480, 560, "There are no appointments for Today.", "0");
    planner.addEntry(0, 1440, "Honeymoon", "3");
    planner.setPrintRange(900, 100);
    EXPECT_GT(planner.printLastMinute(), planner.printFirstMinute());
    planner.setPrintRange(360, 1320);

    const QRect titleBand(40, 40, 720, 32);
    for (int option : {1, 2, 3, 0}) {
        planner.setPrintOption(option);
        for (const QString& title : {QString(), QString("Nuptaro Schedule for: Saturday, June 5, 2027")}) {
            planner.setPrintTitle(title);
            QImage img(800, 1100, QImage::Format_RGB32);
            img.fill(Qt::red);
            {
                QPainter p(&img);
                planner.paintPage(p, QRectF(0, 0, 800, 1100));
            }
            EXPECT_EQ(darkPixels(img, titleBand) > 0, !title.isEmpty()) << option;
            // The page below the title carries the day.
            EXPECT_GT(darkPixels(img, QRect(40, titleBand.bottom() + 1, 720, 900)), 0) << option;
        }
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("day.pdf");
    {
        QPdfWriter pdf(file);
        planner.setPrintOption(3);
        EXPECT_TRUE(planner.print(&pdf));
    }
    EXPECT_GT(QFileInfo(file).size(), 1000);
    EXPECT_FALSE(planner.print(nullptr));
}

}  // namespace

TEST_F(DayPlannerTest, AnEntryTooSmallForItsTextShowsItWholeAsItsTooltip)
{
    const QString longText = "Final fitting at Maison Élise Bridal Couture, bring the shoes and the veil";
    struct Case { int start, end; QString text; bool tip; } cases[] = {
        {480, 510, longText, true},       // half an hour, three columns: cut
        {480, 510, "Call", false},        // fits
        {600, 900, longText, false},      // five hours alone: wraps whole
    };
    planner.addEntry(480, 510, "Cake tasting", "x");
    planner.addEntry(480, 510, "Florist", "y");
    planner.show();
    planner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&planner));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " " + std::to_string(c.start));
        const int i = planner.addEntry(c.start, c.end, c.text, "t");
        EXPECT_EQ(testsupport::hover(&planner, at(420)), QString());  // no entry there
        EXPECT_EQ(testsupport::hover(&planner, planner.entryRect(i).center()), c.tip ? c.text : QString());
        planner.removeEntry(i);
    }
}
