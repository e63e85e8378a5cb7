#include "views/calendar_view.h"

#include "platform/ado/ignoring.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProxyStyle>
#include <QTableView>
#include <QToolButton>

namespace views {

QDate CalendarPanels::monthSpanFirst(const QDate& d)
{
    // Sunday of the week before the date's week; a Sunday counts as the end
    // of its week, so it starts two weeks back.
    const int dow = d.dayOfWeek();              // Monday 1 .. Sunday 7
    const int wd = dow == 7 ? 8 : dow + 1;      // Sunday-first numbering, Sunday as 8
    return d.addDays(-(wd + 6));
}

QString CalendarPanels::monthTitle(const QDate& first, const QDate& last)
{
    const QLocale c = QLocale::c();
    if (first.year() == last.year())
        return c.toString(first, QStringLiteral("MMM")) + " - " + c.toString(last, QStringLiteral("MMM, yyyy"));
    return c.toString(first, QStringLiteral("MMM, yyyy")) + " - " + c.toString(last, QStringLiteral("MMM, yyyy"));
}

QList<QDate> CalendarPanels::daysTouched(const QDateTime& startIn, const QDateTime& endIn)
{
    QList<QDate> days;
    const QDateTime start = ado::convert::wallClock(startIn);
    if (!start.isValid())
        return days;
    const QDateTime endAt = ado::convert::wallClock(endIn);
    QDateTime end = endAt.isValid() && endAt > start ? endAt : start;
    // An end at a midnight does not reach into the day it opens.
    if (end > start && end.time() == QTime(0, 0))
        end = end.addSecs(-1);
    for (QDate d = start.date(); d <= end.date(); d = d.addDays(1))
        days << d;
    return days;
}

void CalendarPanels::ChangeCalendar(QDateTime& whichDate)
{
    ado::ignoringErrors([&] {
        setLabel(controls.lblMode, QStringLiteral("Month Calendar"));
        curDataMode = DataMode::Month;
    });
    whichDate = ado::convert::wallClock(whichDate.date());
    const QDate first = monthSpanFirst(whichDate.date());
    const QDate last = first.addDays(48);
    calendar::MonthCalendar* cal = controls.Calendar1;
    ado::ignoringErrors([&] {
        if (!cal)
            return;
        cal->setSpan(calendar::MonthCalendar::dayNumber(first), calendar::MonthCalendar::dayNumber(last));
        cal->setCurrentDay(calendar::MonthCalendar::dayNumber(whichDate.date()));
        cal->clearTexts();
    });
    const QDateTime lower = ado::convert::wallClock(first);
    const QDateTime upper = ado::convert::wallClock(last.addDays(1));
    ado::ignoringErrors([&] { setLabel(controls.lblMonth, monthTitle(first, last)); });
    editing::readList([&] {
        auto rs = ado::Recordset::create();
        rs->Open("SELECT * FROM APPOINTMENT WHERE APPOINTMENT_START < ? AND "
                 "(APPOINTMENT_END > ? OR APPOINTMENT_START >= ?) ORDER BY APPOINTMENT_START, APPOINTMENT_ID",
                 modQVDatabase::gConn, ado::adOpenKeyset, ado::adLockOptimistic,
                 {ado::convert::isoDateTime(upper), ado::convert::isoDateTime(lower),
                  ado::convert::isoDateTime(lower)});
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
            // One entry a line: a text of several lines is one appointment.
            const QString line = rs->value("APPOINTMENT_TEXT").toString().simplified() + "\r\n";
            for (const QDate& d : daysTouched(rs->value("APPOINTMENT_START").toDateTime(),
                                              rs->value("APPOINTMENT_END").toDateTime())) {
                if (d < first || d > last || !cal)
                    continue;
                const int n = calendar::MonthCalendar::dayNumber(d);
                cal->setDayText(n, cal->dayText(n) + line);
            }
        }
        rs->Close();
    }, cal ? cal->window() : nullptr);
}

void CalendarPanels::Calendar1_MouseUp(int button, int, int, int)
{
    if (button == 2 && hooks.popupCalendarMenu)
        hooks.popupCalendarMenu();
    if (calendar::MonthCalendar* cal = controls.Calendar1)
        curDate = ado::convert::wallClock(calendar::MonthCalendar::dateOf(cal->currentDay()));
}

void CalendarPanels::Calendar1_DayClick(int dayNumber)
{
    if (hooks.showDayPanel)
        hooks.showDayPanel();
    ChangeDate(ado::convert::wallClock(calendar::MonthCalendar::dateOf(dayNumber)));
}

void CalendarPanels::MonthView1_DateClick(const QDate& d)
{
    // Both panels are refilled; the one on screen last, so that the view key
    // and caption name what the user sees.
    const QDateTime when = ado::convert::wallClock(d);
    const bool dayShown = hooks.dayPanelShown ? hooks.dayPanelShown() : false;
    if (dayShown) {
        ChangeCalendar(when);
        ChangeDate(when);
    } else {
        ChangeDate(when);
        ChangeCalendar(when);
    }
}

void CalendarPanels::PrintMonthCalendar()
{
    if (curDataMode != DataMode::Month) {
        ui::MsgBox(QString::fromLatin1(kPrintMonthFirst));
        return;
    }
    calendar::MonthCalendar* cal = controls.Calendar1;
    if (!cal)
        return;
    cal->setPrintTitle("Nuptaro Schedule for: " + (controls.lblMonth ? controls.lblMonth->text() : QString()));
    cal->setPrintRange(cal->firstDay(), cal->lastDay());
    QPointer<calendar::MonthCalendar> guard(cal);
    doPrint([guard](printing::Pages& pages) { return guard && guard->print(pages); });
}

}  // namespace views

namespace {

// Day cells keep a one-pixel margin around their numbers.
class ThinCells : public QProxyStyle {
public:
    explicit ThinCells(QObject* owner) { setParent(owner); }
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override
    {
        return m == PM_FocusFrameHMargin ? 0 : QProxyStyle::pixelMetric(m, o, w);
    }
};

}  // namespace

void views::fitMonthPicker(QCalendarWidget* picker)
{
    if (!picker)
        return;
    auto* month = picker->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    auto* year = picker->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    if (month)
        month->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 1px; } "
                                            "QToolButton::menu-indicator { image: none; width: 0px; }"));
    if (year)
        year->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 1px; }"));
    for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
        if (auto* b = picker->findChild<QToolButton*>(QLatin1String(name))) {
            b->setIconSize(QSize(12, 12));
            b->setFixedWidth(18);
        }
    if (auto* days = picker->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"))) {
        days->horizontalHeader()->setMinimumSectionSize(10);
        days->verticalHeader()->setMinimumSectionSize(10);
        days->setStyle(new ThinCells(days));
    }
    // The picker names the month in full whenever it turns a page.
    const auto shortName = [picker, month](int, int m) {
        if (month)
            month->setText(picker->locale().standaloneMonthName(m, QLocale::ShortFormat));
    };
    QObject::connect(picker, &QCalendarWidget::currentPageChanged, picker, shortName);
    shortName(picker->yearShown(), picker->monthShown());
}
