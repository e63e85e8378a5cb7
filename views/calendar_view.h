#pragma once
// The main window's calendars: the day panel (the day planner calDay) and
// the month panel (Calendar1), their fills from the APPOINTMENT table, the
// in-place editing of the day's entries, the mouse handlers and printing.
//
// The main window owns the controls and the shared variables; it hands them
// over in `Controls` and `State`, and reaches what lies outside the calendars
// (the task grid, the panels, the appointment editor, the Calendar menu)
// through the hooks.

#include "platform/ado/ado.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/print/printer.h"
#include "views/datamode.h"

#include <QDateTime>
#include <QPointer>
#include <QString>

#include <functional>

class QCalendarWidget;
class QLabel;
class QPagedPaintDevice;

namespace views {

class CalendarPanels {
public:
    struct Controls {
        QPointer<calendar::DayPlanner> calDay;
        QPointer<calendar::MonthCalendar> Calendar1;
        QPointer<QLabel> lblMode;
        QPointer<QLabel> lblDate;
        QPointer<QLabel> lblMonth;
    };
    struct Hooks {
        std::function<void(TaskFilter dueMode, const QDateTime& day)> showTasks;
        std::function<void()> showModePicture;           // picture 1 into picMode
        std::function<void()> showMainWindow;
        std::function<void(const QDate&)> setMonthViewDate;   // MonthView1
        std::function<void()> showDayPanel;              // ShowPanel frameDate
        std::function<bool()> dayPanelShown;
        std::function<void(const QDateTime&)> addAppointment; // frmAddAppt, modal
        std::function<void()> popupCalendarMenu;         // mnuCalendar at the pointer
        // Prints a calendar's pages; by default through the print dialog.
        std::function<bool(const printing::PageRenderer&)> print;
    };

    // With variables of its own (for a window of its own, or tests).
    CalendarPanels();
    // On the main window's variables.
    CalendarPanels(QDateTime& curDate, DataMode& curDataMode, TaskFilter& dueMode, ado::RecordsetPtr& DayApptRS,
                   bool& NewApptTyping);
    CalendarPanels(const CalendarPanels&) = delete;
    CalendarPanels& operator=(const CalendarPanels&) = delete;
    // Wires the widgets' events to the handlers below (a window that wires
    // them itself only sets `controls` and `hooks`).
    void attach(const Controls& c, const Hooks& h);

private:
    struct Own {
        QDateTime curDate;
        DataMode curDataMode = DataMode::None;
        TaskFilter dueMode = TaskFilter::Due;
        ado::RecordsetPtr DayApptRS;
        bool NewApptTyping = false;
    } own_;

public:
    QDateTime& curDate;
    DataMode& curDataMode;
    TaskFilter& dueMode;
    ado::RecordsetPtr& DayApptRS;
    bool& NewApptTyping;

    Controls controls;
    Hooks hooks;

    void ChangeDate(const QDateTime& whichDate);
    void ChangeCalendar(QDateTime& whichDate);
    void ChangeCalendar(const QDateTime& whichDate)
    {
        QDateTime d = whichDate;
        ChangeCalendar(d);
    }
    void SaveDayViewAppointment(int index);
    void PrintDayCalendar();
    void PrintMonthCalendar();

    void calDay_NewAppointment(bool typing);
    void calDay_NewAppointmentCancelled();
    void calDay_AfterEdit(int index);
    void calDay_DblClick();
    void calDay_MouseUp(int button, int shift, int x, int y);
    void Calendar1_MouseUp(int button, int shift, int x, int y);
    void Calendar1_DayClick(int dayNumber);
    void MonthView1_DateClick(const QDate& d);

    // The rules of the fills, as pure functions.
    struct DayEntryBounds {
        int start = 0;
        int end = 0;
    };
    // An appointment's minutes on the day, clipped at the day's midnights.
    static DayEntryBounds clipToDay(const QDate& day, const QDateTime& start, const QDateTime& end);
    // Whether an appointment shows on a day: it overlaps the day, or is an
    // instant inside it.
    static bool touchesDay(const QDate& day, const QDateTime& start, const QDateTime& end);
    // The first minute to show: the hour of the earliest entry before 7:00, else 7:00.
    static int firstVisibleMinuteFor(int firstEntryStartMinute);
    // The first Sunday of the seven weeks shown around a date.
    static QDate monthSpanFirst(const QDate& d);
    static QString monthTitle(const QDate& first, const QDate& last);
    // The days an appointment touches, from its start day.
    static QList<QDate> daysTouched(const QDateTime& start, const QDateTime& end);

    static constexpr const char* kNoAppointments = "There are no appointments for Today.";
    static constexpr const char* kNoSelection = "No appointment selected.";
    static constexpr const char* kPrintDayFirst =
        "Please display the date you wish to print first.  Select the Today feature, and select the date you wish to print.";
    static constexpr const char* kPrintMonthFirst =
        "Please display the month you wish to print first.  Select the Month View option.";

private:
    bool inAfterEdit_ = false;
    void setLabel(QLabel* l, const QString& text);
    bool doPrint(const printing::PageRenderer& paint);
};

// Fits the small month picker of the navigation bar to its narrow width:
// the month by its short name, small arrows and cells with thin margins, so
// that the month, the year and every day number show whole.
void fitMonthPicker(QCalendarWidget* picker);

}  // namespace views
