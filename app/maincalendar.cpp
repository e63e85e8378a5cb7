// The main window's calendar procedures and handlers, over CalendarPanels
// bound to the window's own variables and controls.

#include "app/frmMain.h"
#include "events/frmAddAppt.h"
#include "views/calendar_view.h"

#include <QCalendarWidget>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScopedValueRollback>

namespace {

// Set while the program itself puts a date into the picker: only the user's
// choices change the day.
bool settingPicker = false;

views::CalendarPanels& panelsOf(frmMain& f)
{
    static views::CalendarPanels* p =
        new views::CalendarPanels(f.curDate, f.curDataMode, f.dueMode, f.DayApptRS, f.NewApptTyping);
    // The controls are made fresh at each load of the window.
    p->controls = {f.calDay, f.Calendar1, f.lblMode, f.lblDate, f.lblMonth};
    views::CalendarPanels::Hooks& h = p->hooks;
    h.showTasks = [&f](views::TaskFilter mode, const QDateTime& d) { f.ShowTasks(mode, d); };
    h.showModePicture = [&f] {
        if (f.navContext().setModePicture)
            f.navContext().setModePicture(1);
    };
    h.showMainWindow = [&f] {
        if (f.isLoaded())
            f.widget()->show();
    };
    h.setMonthViewDate = [&f](const QDate& d) {
        if (f.MonthView1) {
            const QScopedValueRollback<bool> quiet(settingPicker, true);
            f.MonthView1->setSelectedDate(d);
        }
    };
    h.showDayPanel = [&f] {
        if (f.frameDate)
            f.ShowPanel(f.frameDate);
    };
    h.dayPanelShown = [&f] { return f.frameDate && f.curFrame == f.frameDate; };
    h.addAppointment = [&f](const QDateTime& start) {
        frmAddAppt::instance().curApptDate = start;
        frmAddAppt::instance().Show(ui::vbModal, &f);
    };
    h.popupCalendarMenu = [&f] {
        if (!f.isLoaded())
            return;
        if (auto* m = f.widget()->findChild<QMenu*>(QStringLiteral("mnuCalendar")))
            m->popup(QCursor::pos());
    };
    return *p;
}

}  // namespace

void frmMain::ChangeDate(const QDateTime& whichDate) { panelsOf(*this).ChangeDate(whichDate); }
void frmMain::ChangeCalendar(QDateTime& whichDate) { panelsOf(*this).ChangeCalendar(whichDate); }
void frmMain::SaveDayViewAppointment(int index) { panelsOf(*this).SaveDayViewAppointment(index); }
void frmMain::PrintDayCalendar() { panelsOf(*this).PrintDayCalendar(); }
void frmMain::PrintMonthCalendar() { panelsOf(*this).PrintMonthCalendar(); }
void frmMain::calDay_NewAppointment(int, int, bool typing) { panelsOf(*this).calDay_NewAppointment(typing); }
void frmMain::calDay_AfterEdit(int index) { panelsOf(*this).calDay_AfterEdit(index); }
void frmMain::calDay_DblClick() { panelsOf(*this).calDay_DblClick(); }
void frmMain::calDay_MouseUp(int b, int s, int x, int y) { panelsOf(*this).calDay_MouseUp(b, s, x, y); }
void frmMain::Calendar1_MouseUp(int b, int s, int x, int y) { panelsOf(*this).Calendar1_MouseUp(b, s, x, y); }
void frmMain::Calendar1_DayClick(int dayNumber)
{
    if (LeavePendingEdits())
        panelsOf(*this).Calendar1_DayClick(dayNumber);
}

void frmMain::MonthView1_DateClick(const QDate& d)
{
    if (LeavePendingEdits())
        panelsOf(*this).MonthView1_DateClick(d);
    else  // the edit kept: the picker goes back to the day shown
        panelsOf(*this).hooks.setMonthViewDate(curDate.date());
}

void frmMain::MonthView1_SelectionChanged()
{
    // A day chosen by the arrow keys; a press chooses one too, and its click follows.
    if (!MonthView1 || settingPicker || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    MonthView1_DateClick(MonthView1->selectedDate());
}
