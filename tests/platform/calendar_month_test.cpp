// The month calendar: day numbering, the shown span of weeks, the day under
// the pointer, day texts, clicks and printing.

#include "platform/calendar/monthcalendar.h"

#include "support/gui.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using calendar::MonthCalendar;

namespace {

using testsupport::darkPixels;

TEST(MonthCalendarDays, NumberedFromTheFirstOfJanuary1900)
{
    struct Case { QDate date; int number; } cases[] = {
        {QDate(1900, 1, 1), 0},
        {QDate(1900, 1, 2), 1},
        {QDate(1899, 12, 30), -2},  // serial 0
        {QDate(1900, 3, 1), 59},    // 1900 is no leap year
        {QDate(2003, 12, 21), 37974},
        {QDate(2003, 12, 29), 37982},
        {QDate(2004, 10, 31), 38289},
        {QDate(2004, 11, 10), 38299},
        {QDate(2004, 12, 18), 38337},
        {QDate(2004, 2, 29), 38044},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonthCalendar::dayNumber(c.date), c.number) << c.date.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(MonthCalendar::dateOf(c.number), c.date) << c.number;
    }
}

class MonthCalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cal.resize(700, 20 + 7 * 60);
        cal.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cal));
        // Sunday 31 October to Saturday 18 December 2004.
        cal.setFirstDay(first);
        cal.setLastDay(first + 48);
    }

    const int first = MonthCalendar::dayNumber(QDate(2004, 10, 31));
    MonthCalendar cal;
};

TEST_F(MonthCalendarTest, SpanOfSevenWeeksAndTheDayUnderAPoint)
{
    EXPECT_EQ(cal.dayCount(), 49);
    EXPECT_EQ(cal.rowCount(), 7);
    EXPECT_EQ(MonthCalendar::dateOf(cal.lastDay()), QDate(2004, 12, 18));

    // Every cell gives back its day, in rows of seven from the first day.
    for (int i = 0; i < 49; ++i) {
        const QRect r = cal.dayRect(first + i);
        ASSERT_FALSE(r.isEmpty()) << i;
        EXPECT_EQ(cal.dayAt(r.center()), first + i) << i;
        EXPECT_EQ(cal.dayAt(r.topLeft()), first + i) << i;
        EXPECT_EQ(cal.dayAt(r.bottomRight()), first + i) << i;
        if (i % 7)
            EXPECT_EQ(r.top(), cal.dayRect(first + i - 1).top()) << i;
        else if (i) {
            EXPECT_GT(r.top(), cal.dayRect(first + i - 7).top()) << i;
        }
    }
    EXPECT_TRUE(cal.dayRect(first - 1).isEmpty());
    EXPECT_TRUE(cal.dayRect(first + 49).isEmpty());

    struct Case { QPoint pos; int day; } cases[] = {
        {QPoint(5, 2), -1},                  // the weekday names
        {QPoint(-1, 100), -1},
        {QPoint(700, 100), -1},
        {QPoint(5, cal.height()), -1},
        {QPoint(699, cal.height() - 1), first + 48},
        {QPoint(0, cal.headerHeight()), first},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cal.dayAt(c.pos), c.day) << c.pos.x() << "," << c.pos.y();

    // A shorter span draws fewer rows; a last day set before the first is one day.
    cal.setLastDay(first + 34);
    EXPECT_EQ(cal.rowCount(), 5);
    EXPECT_EQ(cal.dayAt(cal.dayRect(first + 34).center()), first + 34);
    cal.setSpan(first, first - 10);
    EXPECT_EQ(cal.dayCount(), 1);
    EXPECT_EQ(cal.rowCount(), 1);
}

TEST_F(MonthCalendarTest, DayTextsAreKeptPerDayUntilCleared)
{
    cal.setDayText(first + 10, "Florist\r\n");
    cal.setDayText(first + 10, cal.dayText(first + 10) + "Baker\r\n");
    cal.setDayText(first + 60, "Beyond the span\r\n");  // kept, not drawn
    EXPECT_EQ(cal.dayText(first + 10), "Florist\r\nBaker\r\n");
    EXPECT_EQ(cal.dayText(first + 60), "Beyond the span\r\n");
    EXPECT_EQ(cal.dayText(first + 11), QString());
    cal.repaint();  // drawing texts, inside and outside the span, is safe
    cal.clearTexts();
    EXPECT_EQ(cal.dayText(first + 10), QString());
    EXPECT_EQ(cal.dayText(first + 60), QString());
}

TEST_F(MonthCalendarTest, ClicksMakeTheDayCurrentAndReportIt)
{
    QSignalSpy click(&cal, &MonthCalendar::DayClick);
    QSignalSpy dbl(&cal, &MonthCalendar::DayDblClick);
    QSignalSpy right(&cal, &MonthCalendar::dayRightClicked);
    QSignalSpy up(&cal, &MonthCalendar::MouseUp);
    cal.setCurrentDay(first + 10);

    // The day is current by the time MouseUp is reported.
    int currentAtUp = -1;
    QObject::connect(&cal, &MonthCalendar::MouseUp, [&]() { currentAtUp = cal.currentDay(); });

    const QPoint p20 = cal.dayRect(first + 20).center();
    QTest::mouseClick(&cal, Qt::LeftButton, {}, p20);
    EXPECT_EQ(cal.currentDay(), first + 20);
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click.at(0).at(0).toInt(), first + 20);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).toInt(), 1);
    EXPECT_EQ(currentAtUp, first + 20);

    const QPoint p30 = cal.dayRect(first + 30).center();
    QTest::mouseClick(&cal, Qt::RightButton, Qt::ControlModifier, p30);
    EXPECT_EQ(cal.currentDay(), first + 30);
    EXPECT_EQ(click.count(), 1);  // the right button is no day click
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right.at(0).at(0).toInt(), first + 30);
    EXPECT_EQ(up.last().at(0).toInt(), 2);
    EXPECT_EQ(up.last().at(1).toInt(), 2);
    EXPECT_EQ(currentAtUp, first + 30);

    // Pressing on one day and releasing over another clicks neither.
    click.clear();
    QTest::mousePress(&cal, Qt::LeftButton, {}, cal.dayRect(first + 1).center());
    QTest::mouseRelease(&cal, Qt::LeftButton, {}, cal.dayRect(first + 2).center());
    EXPECT_EQ(click.count(), 0);
    EXPECT_EQ(cal.currentDay(), first + 1);

    // A click on the weekday names leaves the current day.
    QTest::mouseClick(&cal, Qt::LeftButton, {}, QPoint(5, 2));
    EXPECT_EQ(cal.currentDay(), first + 1);
    EXPECT_EQ(click.count(), 0);

    QTest::mouseDClick(&cal, Qt::LeftButton, {}, cal.dayRect(first + 5).center());
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl.at(0).at(0).toInt(), first + 5);

    // Keys move the current day within the span.
    cal.setCurrentDay(first);
    QTest::keyClick(&cal, Qt::Key_Left);
    EXPECT_EQ(cal.currentDay(), first);
    QTest::keyClick(&cal, Qt::Key_Down);
    QTest::keyClick(&cal, Qt::Key_Right);
    EXPECT_EQ(cal.currentDay(), first + 8);
    click.clear();
    QTest::keyClick(&cal, Qt::Key_Return);
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click.at(0).at(0).toInt(), first + 8);
}

TEST_F(MonthCalendarTest, PrintingDrawsTheTitleAndTheRange)
{
    cal.setDayText(first + 3, "Cake tasting\r\n");
    cal.setPrintRange(cal.firstDay(), cal.lastDay());

    const QRect titleBand(0, 0, 1100, 25);
    for (const QString& title : {QString(), QString("Nuptaro Schedule for: Oct - Dec, 2004")}) {
        cal.setPrintTitle(title);
        QImage img(1100, 800, QImage::Format_RGB32);
        img.fill(Qt::red);
        {
            QPainter p(&img);
            cal.paintPage(p, QRectF(0, 0, 1100, 800));
        }
        EXPECT_EQ(darkPixels(img, titleBand) > 0, !title.isEmpty());
        EXPECT_GT(darkPixels(img, QRect(0, 60, 1100, 700)), 0);
        EXPECT_EQ(img.pixel(550, 400) == QColor(Qt::red).rgb(), false);
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("month.pdf");
    {
        QPdfWriter pdf(file);
        EXPECT_TRUE(cal.print(&pdf));
    }
    EXPECT_GT(QFileInfo(file).size(), 1000);
    EXPECT_FALSE(cal.print(nullptr));
}

}  // namespace
