// The day and month calendars filled from APPOINTMENT, in-place edits of
// the day's entries, the mouse handlers and the print guards.

#include "support/datamode.h"
#include "support/fixture.h"
#include "support/pdf.h"
#include "support/timezone.h"
#include "views/calendar_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QFile>
#include <QTemporaryDir>

#include "platform/ui/dialogs.h"

using views::CalendarPanels;

namespace {

QDateTime dt(int y, int mo, int d, int h = 0, int mi = 0) { return ado::convert::wallClock(QDate(y, mo, d), QTime(h, mi)); }

class CalendarTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        host = std::make_unique<QWidget>();
        day = new calendar::DayPlanner(host.get());
        month = new calendar::MonthCalendar(host.get());
        lblMode = new QLabel(host.get());
        lblDate = new QLabel(host.get());
        lblMonth = new QLabel(host.get());
        day->resize(400, 600);
        month->resize(700, 500);
        CalendarPanels::Hooks h;
        h.showTasks = [this](views::TaskFilter mode, const QDateTime& d) {
            tasksShown << (mode == views::TaskFilter::Due ? "Due@" : "Other@") + d.toString("yyyy-MM-ddTHH:mm:ss");
        };
        h.showDayPanel = [this] { calls << "ShowPanel frameDate"; dayShown = true; };
        h.dayPanelShown = [this] { return dayShown; };
        h.addAppointment = [this](const QDateTime& d) { apptDates << d; };
        h.popupCalendarMenu = [this] { calls << "mnuCalendar"; };
        h.print = [this](const printing::PageRenderer&) { ++prints; return true; };
        cal.dueMode = views::TaskFilter::Due;
        cal.attach({day, month, lblMode, lblDate, lblMonth}, h);
    }
    void TearDown() override
    {
        cal.DayApptRS.reset();
        host.reset();
        DbTest::TearDown();
    }
    qlonglong addAppt(const QString& text, const QDateTime& s, const QDateTime& e)
    {
        db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES (?, ?, ?)",
                     {text, ado::convert::isoDateTime(s), ado::convert::isoDateTime(e)});
        return db().scalar("SELECT max(APPOINTMENT_ID) FROM APPOINTMENT").toLongLong();
    }
    QString stored(qlonglong id, const char* col)
    {
        return db().scalar(QString("SELECT %1 FROM APPOINTMENT WHERE APPOINTMENT_ID = ?").arg(col), {id}).toString();
    }
    int entryByText(const QString& t)
    {
        for (int i = 0; i < day->entryCount(); ++i)
            if (day->entryText(i) == t)
                return i;
        return -1;
    }
    // Drags the entry's bottom edge up by some slots with the mouse; false
    // when the entry is not on screen.
    bool dragBottomEdgeUp(int index, int slotCount)
    {
        const QRect r = day->entryRect(index);
        if (r.isEmpty())
            return false;
        const QPoint from(r.center().x(), r.bottom() - 1);
        const QPoint to(from.x(), from.y() - slotCount * day->slotHeight());
        QTest::mousePress(day, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), day->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(day, &move);
        QTest::mouseRelease(day, Qt::LeftButton, {}, to);
        return true;
    }
    void typeInto(int index, const QString& text)
    {
        day->beginEdit(index);
        day->editor()->setText(text);
        day->commitEdit();
    }

    std::unique_ptr<QWidget> host;
    calendar::DayPlanner* day = nullptr;
    calendar::MonthCalendar* month = nullptr;
    QLabel *lblMode = nullptr, *lblDate = nullptr, *lblMonth = nullptr;
    CalendarPanels cal;
    QStringList tasksShown, calls;
    QList<QDateTime> apptDates;
    bool dayShown = false;
    int prints = 0;
};

}  // namespace

TEST(CalendarRules, ClippingAtTheDaysMidnightsAndScroll)
{
    const QDate d(2027, 3, 15);
    struct Case {
        QDateTime start, end;
        bool shown;
        int from, to;
    } cases[] = {
        {dt(2027, 3, 14, 23), dt(2027, 3, 16, 1), true, 0, 1440},
        {dt(2027, 3, 14, 22), dt(2027, 3, 15, 10, 30), true, 0, 630},
        {dt(2027, 3, 15, 21), dt(2027, 3, 16, 3), true, 1260, 1440},
        {dt(2027, 3, 15, 9, 30), dt(2027, 3, 15, 10, 45), true, 570, 645},
        {dt(2027, 3, 15, 22), dt(2027, 3, 16, 0), true, 1320, 1440},   // ends at the closing midnight
        {dt(2027, 3, 14, 20), dt(2027, 3, 15, 0), false, 0, 0},        // ends at the opening midnight
        {dt(2027, 3, 16, 0), dt(2027, 3, 16, 2), false, 0, 0},         // starts at the closing midnight
        {dt(2027, 3, 15, 0), dt(2027, 3, 15, 0), true, 0, 0},          // an instant at the start of the day
        {dt(2027, 3, 10, 8), dt(2027, 3, 11, 8), false, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CalendarPanels::touchesDay(d, c.start, c.end), c.shown) << c.start.toString().toStdString();
        if (!c.shown)
            continue;
        const auto b = CalendarPanels::clipToDay(d, c.start, c.end);
        EXPECT_EQ(b.start, c.from) << c.start.toString().toStdString();
        EXPECT_EQ(b.end, c.to) << c.start.toString().toStdString();
    }
    const std::pair<int, int> scroll[] = {{345, 300}, {540, 420}, {0, 0}, {419, 360}, {420, 420}, {1300, 420}};
    for (const auto& [minute, first] : scroll)
        EXPECT_EQ(CalendarPanels::firstVisibleMinuteFor(minute), first) << minute;
}

TEST_F(CalendarTest, DayFillShowsClippedEntriesInStartOrder)
{
    const qlonglong a = addAppt("Overnight", dt(2027, 3, 14, 23), dt(2027, 3, 16, 1));
    const qlonglong b = addAppt("Fitting", dt(2027, 3, 15, 5, 45), dt(2027, 3, 15, 7));
    addAppt("Yesterday", dt(2027, 3, 14, 20), dt(2027, 3, 15, 0));
    addAppt("Tomorrow", dt(2027, 3, 16, 0), dt(2027, 3, 16, 1));

    cal.ChangeDate(dt(2027, 3, 15, 14, 20));
    EXPECT_EQ(cal.curDate, dt(2027, 3, 15));
    EXPECT_EQ(cal.curDataMode, views::DataMode::Today);
    EXPECT_EQ(lblMode->text(), "Day Calendar");
    EXPECT_EQ(lblDate->text(), "March 15, 2027");
    EXPECT_EQ(tasksShown, QStringList{"Due@2027-03-15T00:00:00"});
    ASSERT_EQ(day->entryCount(), 2);
    EXPECT_EQ(day->entry(0).text, "Overnight");
    EXPECT_EQ(day->entry(0).tag, QString::number(a));
    EXPECT_EQ(day->entryStart(0), 0);
    EXPECT_EQ(day->entryEnd(0), 1440);
    EXPECT_EQ(day->entry(1).tag, QString::number(b));
    EXPECT_EQ(day->entryStart(1), 345);
    EXPECT_EQ(day->firstVisibleMinute(), 0);   // the first entry is drawn from midnight

    db().Execute("DELETE FROM APPOINTMENT WHERE APPOINTMENT_ID = ?", {a});
    cal.ChangeDate(dt(2027, 3, 15));
    ASSERT_EQ(day->entryCount(), 1);
    EXPECT_EQ(day->firstVisibleMinute(), 300);
}

TEST_F(CalendarTest, EmptyDayShowsThePlaceholderWhichCannotBeEdited)
{
    cal.ChangeDate(dt(2027, 3, 15));
    ASSERT_EQ(day->entryCount(), 1);
    EXPECT_EQ(day->entry(0).text, "There are no appointments for Today.");
    EXPECT_EQ(day->entryStart(0), 480);
    EXPECT_EQ(day->entryEnd(0), 560);
    EXPECT_EQ(day->entryTag(0), "0");
    EXPECT_EQ(day->firstVisibleMinute(), 420);

    typeInto(0, "Lunch with Mum");
    EXPECT_EQ(messages.msgs->texts(), QStringList{"No appointment selected."});
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
}

TEST_F(CalendarTest, TextEditsKeepStoredBoundsAndDraggedEdgesMove)
{
    const qlonglong inside = addAppt("Hair", dt(2027, 3, 15, 9, 30), dt(2027, 3, 15, 10, 45));
    const qlonglong across = addAppt("Drive", dt(2027, 3, 14, 22), dt(2027, 3, 16, 3));
    cal.ChangeDate(dt(2027, 3, 15));
    ASSERT_EQ(day->entryCount(), 2);

    typeInto(entryByText("Drive"), "Long drive");
    EXPECT_EQ(stored(across, "APPOINTMENT_TEXT"), "Long drive");
    EXPECT_EQ(stored(across, "APPOINTMENT_START"), "2027-03-14 22:00:00");
    EXPECT_EQ(stored(across, "APPOINTMENT_END"), "2027-03-16 03:00:00");

    typeInto(entryByText("Hair"), "Hair and make-up");
    EXPECT_EQ(stored(inside, "APPOINTMENT_TEXT"), "Hair and make-up");
    EXPECT_EQ(stored(inside, "APPOINTMENT_START"), "2027-03-15 09:30:00");
    EXPECT_EQ(stored(inside, "APPOINTMENT_END"), "2027-03-15 10:45:00");
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'APPOINTMENT' AND SYNCHRO_ACTION = 2"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 2);

    // Dragging the bottom edge of the clipped entry writes only its end.
    const int i = entryByText("Long drive");
    day->setFirstVisibleMinute(day->entryEnd(i) - day->visibleMinutes());
    ASSERT_TRUE(dragBottomEdgeUp(i, 3));
    if (day->lastEdit().endMoved) {
        EXPECT_EQ(stored(across, "APPOINTMENT_START"), "2027-03-14 22:00:00");
        const QDateTime end = dt(2027, 3, 15).addSecs(qint64(day->entryEnd(i)) * 60);
        EXPECT_EQ(stored(across, "APPOINTMENT_END"), ado::convert::isoDateTime(end));
    } else {
        ADD_FAILURE() << "the drag did not move the edge";
    }
}

TEST_F(CalendarTest, TypedEntriesAreStoredAndCancelledOnesLeaveNoState)
{
    const qlonglong hair = addAppt("Hair", dt(2027, 3, 15, 9, 30), dt(2027, 3, 15, 10, 45));
    cal.ChangeDate(dt(2027, 3, 15));

    // Typed empty: nothing stored.
    day->beginNewEntry(720, 780);
    EXPECT_TRUE(cal.NewApptTyping);
    day->commitEdit();
    EXPECT_FALSE(cal.NewApptTyping);
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 1);

    // Typed with a text: stored, and the refilled day gives it its tag.
    day->beginNewEntry(720, 780);
    day->editor()->setText("Cake tasting");
    day->commitEdit();
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 2);
    const qlonglong cake = db().scalar("SELECT APPOINTMENT_ID FROM APPOINTMENT WHERE APPOINTMENT_TEXT = 'Cake tasting'").toLongLong();
    EXPECT_EQ(stored(cake, "APPOINTMENT_START"), "2027-03-15 12:00:00");
    EXPECT_EQ(stored(cake, "APPOINTMENT_END"), "2027-03-15 13:00:00");
    const int i = entryByText("Cake tasting");
    ASSERT_GE(i, 0);
    EXPECT_EQ(day->entryTag(i), QString::number(cake));
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_RECORDID = ? AND SYNCHRO_ACTION = 1", {cake}), 1);

    // Cancelled typing, then an edit of an existing entry: an update, no new row.
    day->beginNewEntry(900, 960);
    day->editor()->setText("half typed");
    EXPECT_TRUE(cal.NewApptTyping);
    day->cancelEdit();
    EXPECT_FALSE(cal.NewApptTyping);
    typeInto(entryByText("Hair"), "Hair trial");
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 2);
    EXPECT_EQ(stored(hair, "APPOINTMENT_TEXT"), "Hair trial");

    // Even a stale typing flag does not turn an edit into an addition.
    cal.NewApptTyping = true;
    typeInto(entryByText("Hair trial"), "Hair");
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 2);
    EXPECT_EQ(stored(hair, "APPOINTMENT_TEXT"), "Hair");
}

TEST(CalendarRules, MonthSpanAndTitle)
{
    struct Case {
        QDate d, first;
        const char* title;
    } cases[] = {
        {{2004, 11, 10}, {2004, 10, 31}, "Oct - Dec, 2004"},
        {{2004, 11, 13}, {2004, 10, 31}, "Oct - Dec, 2004"},
        {{2004, 11, 14}, {2004, 10, 31}, "Oct - Dec, 2004"},
        {{2003, 12, 29}, {2003, 12, 21}, "Dec, 2003 - Feb, 2004"},
        {{2004, 11, 15}, {2004, 11, 7}, "Nov - Dec, 2004"},
    };
    for (const Case& c : cases) {
        const QDate first = CalendarPanels::monthSpanFirst(c.d);
        EXPECT_EQ(first, c.first) << c.d.toString().toStdString();
        EXPECT_EQ(first.dayOfWeek(), 7);
        EXPECT_EQ(CalendarPanels::monthTitle(first, first.addDays(48)), c.title);
    }

    struct Span {
        QDateTime s, e;
        int days;
    } spans[] = {
        {dt(2004, 11, 10, 0), dt(2004, 11, 10, 23), 1},
        {dt(2004, 11, 10, 10), dt(2004, 11, 11, 9), 2},     // 23 hours across midnight
        {dt(2004, 11, 10, 10), dt(2004, 11, 11, 10), 2},
        {dt(2004, 11, 10, 0), dt(2004, 11, 11, 0), 1},      // a whole day, midnight to midnight
        {dt(2004, 11, 10, 10), dt(2004, 11, 11, 22), 2},    // a day and a half
        {dt(2004, 11, 10, 6), dt(2004, 11, 12, 18), 3},     // two and a half days
        {dt(2004, 11, 10, 9), dt(2004, 11, 10, 9), 1},
    };
    for (const Span& s : spans)
        EXPECT_EQ(CalendarPanels::daysTouched(s.s, s.e).size(), s.days) << s.e.toString().toStdString();
}

TEST_F(CalendarTest, MonthFillListsAppointmentsOnEveryDayTheyTouch)
{
    addAppt("  Shower  ", dt(2004, 11, 10, 18), dt(2004, 11, 10, 21));
    addAppt("Retreat", dt(2004, 11, 12, 10), dt(2004, 11, 14, 16));
    addAppt("Early", dt(2004, 10, 30, 20), dt(2004, 10, 31, 2));   // reaches into the first day
    addAppt("Outside", dt(2004, 12, 19, 9), dt(2004, 12, 19, 10));
    QDateTime which = dt(2004, 11, 10, 15, 30);
    cal.ChangeCalendar(which);
    EXPECT_EQ(which, dt(2004, 11, 10));   // the caller's variable loses its time
    EXPECT_EQ(cal.curDataMode, views::DataMode::Month);
    EXPECT_EQ(lblMode->text(), "Month Calendar");
    EXPECT_EQ(lblMonth->text(), "Oct - Dec, 2004");
    using MC = calendar::MonthCalendar;
    EXPECT_EQ(month->firstDay(), MC::dayNumber({2004, 10, 31}));
    EXPECT_EQ(month->lastDay(), MC::dayNumber({2004, 12, 18}));
    EXPECT_EQ(month->currentDay(), MC::dayNumber({2004, 11, 10}));
    EXPECT_EQ(month->dayText(MC::dayNumber({2004, 11, 10})), "Shower\r\n");
    for (int d : {12, 13, 14})
        EXPECT_EQ(month->dayText(MC::dayNumber({2004, 11, d})), "Retreat\r\n") << d;
    EXPECT_EQ(month->dayText(MC::dayNumber({2004, 11, 15})), "");
    EXPECT_EQ(month->dayText(MC::dayNumber({2004, 10, 31})), "Early\r\n");
    EXPECT_EQ(month->dayText(MC::dayNumber({2004, 12, 19})), "");

    // A refill clears what was there.
    cal.ChangeCalendar(dt(2004, 11, 10));
    EXPECT_EQ(month->dayText(MC::dayNumber({2004, 11, 10})), "Shower\r\n");
}

TEST_F(CalendarTest, MouseHandlers)
{
    cal.ChangeDate(dt(2027, 3, 15));
    const std::pair<int, QDateTime> clicks[] = {{570, dt(2027, 3, 15, 9)}, {599, dt(2027, 3, 15, 9)},
                                                {0, dt(2027, 3, 15, 0)}, {1410, dt(2027, 3, 15, 23)}};
    for (const auto& [minute, expected] : clicks) {
        day->setFirstVisibleMinute(std::max(0, minute - 60));
        const QPoint at(day->width() / 2, day->yForMinute(minute));
        QTest::mouseDClick(day, Qt::LeftButton, {}, at);
        ASSERT_FALSE(apptDates.isEmpty());
        EXPECT_EQ(day->mouseMinute(), minute);
        EXPECT_EQ(apptDates.takeLast(), expected) << minute;
        if (day->isEditing())
            day->cancelEdit();
    }

    cal.calDay_MouseUp(1, 0, 0, 0);
    EXPECT_TRUE(calls.isEmpty());
    cal.calDay_MouseUp(2, 0, 0, 0);
    EXPECT_EQ(calls, QStringList{"mnuCalendar"});

    cal.ChangeCalendar(dt(2004, 11, 10));
    calls.clear();
    month->setCurrentDay(calendar::MonthCalendar::dayNumber({2004, 11, 20}));
    cal.Calendar1_MouseUp(1, 0, 0, 0);
    EXPECT_EQ(cal.curDate, dt(2004, 11, 20));
    EXPECT_TRUE(calls.isEmpty());
    month->setCurrentDay(calendar::MonthCalendar::dayNumber({2004, 11, 21}));
    cal.Calendar1_MouseUp(2, 0, 0, 0);
    EXPECT_EQ(calls, QStringList{"mnuCalendar"});
    EXPECT_EQ(cal.curDate, dt(2004, 11, 21));

    calls.clear();
    cal.Calendar1_DayClick(calendar::MonthCalendar::dayNumber({2004, 11, 25}));
    EXPECT_EQ(calls, QStringList{"ShowPanel frameDate"});
    EXPECT_EQ(cal.curDate, dt(2004, 11, 25));
    EXPECT_EQ(cal.curDataMode, views::DataMode::Today);

    // The month picker refills both panels, the one on screen last.
    dayShown = true;
    cal.MonthView1_DateClick({2004, 12, 1});
    EXPECT_EQ(cal.curDataMode, views::DataMode::Today);
    EXPECT_EQ(lblMode->text(), "Day Calendar");
    EXPECT_EQ(cal.curDate, dt(2004, 12, 1));
    EXPECT_EQ(month->currentDay(), calendar::MonthCalendar::dayNumber({2004, 12, 1}));
    dayShown = false;
    cal.MonthView1_DateClick({2004, 12, 2});
    EXPECT_EQ(cal.curDataMode, views::DataMode::Month);
    EXPECT_EQ(lblDate->text(), "December 02, 2004");
}

TEST_F(CalendarTest, PrintGuards)
{
    struct Case {
        const char* mode;
        bool day;
        const char* message;   // "" when it prints
    } cases[] = {
        {"Today", true, ""},
        {"Month", true,
         "Please display the date you wish to print first.  Select the Today feature, and select the date you wish to print."},
        {"Expenses", true,
         "Please display the date you wish to print first.  Select the Today feature, and select the date you wish to print."},
        {"Month", false, ""},
        {"Today", false, "Please display the month you wish to print first.  Select the Month View option."},
    };
    cal.ChangeDate(dt(2004, 11, 10));
    cal.ChangeCalendar(dt(2004, 11, 10));
    for (const Case& c : cases) {
        messages.msgs->shown.clear();
        prints = 0;
        cal.curDataMode = testsupport::dataModeNamed(c.mode);
        if (c.day)
            cal.PrintDayCalendar();
        else
            cal.PrintMonthCalendar();
        const QString msg = c.message;
        EXPECT_EQ(prints, msg.isEmpty() ? 1 : 0) << c.mode;
        EXPECT_EQ(messages.msgs->texts(), msg.isEmpty() ? QStringList() : QStringList{msg}) << c.mode;
    }
    EXPECT_TRUE(day->printTitle().startsWith("Nuptaro Schedule for: "));
    EXPECT_EQ(day->printFirstMinute(), 360);
    EXPECT_EQ(day->printLastMinute(), 1320);
    EXPECT_EQ(day->printOption(), 3);
    EXPECT_EQ(month->printTitle(), "Nuptaro Schedule for: Oct - Dec, 2004");
    EXPECT_EQ(month->printFirstDay(), month->firstDay());
    EXPECT_EQ(month->printLastDay(), month->lastDay());
}

TEST_F(CalendarTest, CalendarsPrintedToPdfThroughThePrintDialogHoldEveryAppointment)
{
    ui::ScriptedDialogsGuard dialogs;
    QTemporaryDir dir;
    addAppt("Hair and make-up", dt(2027, 3, 15, 9, 30), dt(2027, 3, 15, 10, 45));
    addAppt("Ceremony at St Mary", dt(2027, 3, 15, 15), dt(2027, 3, 15, 16, 30));
    addAppt("Reception", dt(2027, 3, 15, 18), dt(2027, 3, 16, 1));
    // A day of thirty, far more than its cell of the month holds.
    QStringList fittings;
    for (int i = 1; i <= 30; ++i) {
        fittings << QString("Fitting %1").arg(i, 2, 10, QChar('0'));
        addAppt(fittings.last(), dt(2027, 3, 10, 8).addSecs(i * 900), dt(2027, 3, 10, 8).addSecs(i * 900 + 600));
    }
    cal.hooks.print = nullptr;   // the real path: print dialog, then the calendar's pages
    cal.ChangeDate(dt(2027, 3, 15));
    dialogs.dialogs->printAnswers = {false};
    cal.PrintDayCalendar();
    EXPECT_EQ(dialogs.dialogs->printRequests, 1);

    const struct {
        const char* file;
        std::function<void()> print;
        QStringList printed;
    } cases[] = {
        {"day.pdf", [&] { cal.PrintDayCalendar(); }, {"Nuptaro Schedule for:", "Ceremony at St Mary"}},
        {"month.pdf",
         [&] {
             cal.ChangeCalendar(dt(2027, 3, 15));
             cal.PrintMonthCalendar();
         },
         fittings + QStringList{"Reception", "Wednesday, March 10, 2027"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = dir.filePath(c.file);
        dialogs.dialogs->printAnswers = {true};
        dialogs.dialogs->printToPdf = file;
        c.print();
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.read(4) == "%PDF");
        const QString out = testsupport::pdfText(file);
        for (const QString& text : c.printed)
            EXPECT_TRUE(out.isNull() || out.contains(text)) << text.toStdString();
        if (qEnvironmentVariableIsSet("NUPTARO_KEEP_PDF"))
            QFile::copy(file, qEnvironmentVariable("NUPTARO_KEEP_PDF") + '/' + c.file);
    }
}

TEST_F(CalendarTest, SavingAnUntouchedEntryWritesNothing)
{
    // As the window does on closing: save the current entry, edited or not.
    cal.ChangeDate(dt(2027, 3, 15));
    cal.SaveDayViewAppointment(0);   // the placeholder
    EXPECT_TRUE(messages.msgs->texts().isEmpty());

    const qlonglong hair = addAppt("Hair", dt(2027, 3, 15, 9, 30), dt(2027, 3, 15, 10, 45));
    cal.ChangeDate(dt(2027, 3, 15));
    day->beginNewEntry(720, 780);
    day->editor()->setText("Cake");
    day->commitEdit();                         // stored; the planner remembers an addition
    ASSERT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 2);
    const int before = int(count("SELECT count(*) FROM SYNCHRO"));
    for (int i = 0; i < day->entryCount(); ++i)
        cal.SaveDayViewAppointment(i);
    EXPECT_EQ(count("SELECT count(*) FROM APPOINTMENT"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), before);

    // A text changed outside an edit event is still written.
    day->setEntryText(0, "Hair trial");
    cal.SaveDayViewAppointment(0);
    EXPECT_EQ(stored(hair, "APPOINTMENT_TEXT"), "Hair trial");
    EXPECT_EQ(stored(hair, "APPOINTMENT_END"), "2027-03-15 10:45:00");
}

// Stored times are the wall clock the user sees, in every zone: on the day a
// zone skips an hour (New York at 2:00, Santiago and Beirut at midnight) a
// typed time in the skipped hour, a plain date, and the planner's minutes
// are stored as shown.
TEST_F(CalendarTest, ClockChangeDaysStoreWhatTheUserSees)
{
    for (const testsupport::ChangeDay& z : testsupport::kChangeDays) {
        testsupport::TimeZone zone(z.zone);
        db().Execute("DELETE FROM APPOINTMENT");
        const QDate changeDay(2021, z.month, z.day);
        const QString isoDay = changeDay.toString("yyyy-MM-dd");
        const QString us = QString("%1/%2/2021").arg(z.month).arg(z.day);
        const int h = z.skippedHour;
        const QString skipped = QString("%1:30:00").arg(h, 2, 10, QChar('0'));

        // Typed into a field, bound into a statement, and as a date alone.
        ado::Recordset rs;
        rs.Open("SELECT * FROM APPOINTMENT", db());
        rs.AddNew();
        rs.setValue("APPOINTMENT_TEXT", "typed");
        ASSERT_TRUE(rs.setValue("APPOINTMENT_START", us + QString(" %1:30").arg(h))) << z.zone;
        ASSERT_TRUE(rs.setValue("APPOINTMENT_END", us)) << z.zone;
        rs.Update();
        const qlonglong typed = rs.value("APPOINTMENT_ID").toLongLong();
        EXPECT_EQ(stored(typed, "APPOINTMENT_START"), isoDay + " " + skipped) << z.zone;
        EXPECT_EQ(stored(typed, "APPOINTMENT_END"), isoDay + " 00:00:00") << z.zone;
        db().Execute("UPDATE APPOINTMENT SET APPOINTMENT_END = ? WHERE APPOINTMENT_ID = ?",
                     {us + QString(" %1:45").arg(h), typed});
        EXPECT_EQ(stored(typed, "APPOINTMENT_END"), isoDay + QString(" %1:45:00").arg(h, 2, 10, QChar('0'))) << z.zone;
        QDateTime parsed;
        ASSERT_TRUE(ado::convert::parseDateTime(us, parsed));
        EXPECT_EQ(ado::convert::isoDateTime(parsed), isoDay + " 00:00:00") << z.zone;

        // Read back, the day shows it at the minute it was typed.
        cal.ChangeDate(dt(2021, z.month, z.day));
        const int i = entryByText("typed");
        ASSERT_GE(i, 0) << z.zone;
        EXPECT_EQ(day->entryStart(i), h * 60 + 30) << z.zone;
        EXPECT_EQ(day->entryEnd(i), h * 60 + 45) << z.zone;

        // A new entry typed over the planner's slots of the skipped hour and after it.
        day->beginNewEntry(h * 60, h * 60 + 180);
        day->editor()->setText("planner");
        day->commitEdit();
        const qlonglong planned =
            db().scalar("SELECT APPOINTMENT_ID FROM APPOINTMENT WHERE APPOINTMENT_TEXT = 'planner'").toLongLong();
        EXPECT_EQ(stored(planned, "APPOINTMENT_START"), isoDay + QString(" %1:00:00").arg(h, 2, 10, QChar('0')))
            << z.zone;
        EXPECT_EQ(stored(planned, "APPOINTMENT_END"), isoDay + QString(" %1:00:00").arg(h + 3, 2, 10, QChar('0')))
            << z.zone;

        // Its bottom edge dragged up by the mouse.
        const int j = entryByText("planner");
        ASSERT_GE(j, 0);
        day->setFirstVisibleMinute(h * 60);
        ASSERT_TRUE(dragBottomEdgeUp(j, 2));
        ASSERT_TRUE(day->lastEdit().endMoved) << z.zone;
        const int end = day->entryEnd(j);
        EXPECT_LT(end, h * 60 + 180);
        EXPECT_EQ(stored(planned, "APPOINTMENT_END"),
                  isoDay + " " + QTime(end / 60, end % 60).toString("HH:mm:ss")) << z.zone;

        // A double-click in the skipped hour offers that hour of the day.
        apptDates.clear();
        const QPoint at(day->entryRect(j).center().x(), day->yForMinute(h * 60 + 40));
        QTest::mouseDClick(day, Qt::LeftButton, {}, at);
        ASSERT_FALSE(apptDates.isEmpty()) << z.zone;
        EXPECT_EQ(ado::convert::isoDateTime(apptDates.last()), isoDay + QString(" %1:00:00").arg(h, 2, 10, QChar('0')))
            << z.zone;
    }
}
