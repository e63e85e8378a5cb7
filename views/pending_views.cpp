// Temporary: empty bodies for the main window's view procedures and handlers
// that the views and commands fill in. Each entry goes when its real body
// lands in views/ (or app/ for the navigation and menu commands).

#include "app/frmMain.h"

void frmMain::ChangeDate(const QDateTime&) {}
void frmMain::ChangeCalendar(QDateTime&) {}
void frmMain::SaveDayViewAppointment(int) {}
void frmMain::PrintDayCalendar() {}
void frmMain::PrintMonthCalendar() {}
void frmMain::calDay_NewAppointment(int, int, bool) {}
void frmMain::calDay_AfterEdit(int) {}
void frmMain::calDay_DblClick() {}
void frmMain::calDay_MouseUp(int, int, int, int) {}
void frmMain::Calendar1_MouseUp(int, int, int, int) {}
void frmMain::Calendar1_DayClick(int) {}
void frmMain::MonthView1_DateClick(const QDate&) {}
void frmMain::optAllTasks_Click() {}
void frmMain::optDueTasks_Click() {}
void frmMain::optCompleteTasks_Click() {}
void frmMain::optIncompleteTasks_Click() {}
void frmMain::ExplorerBarCtlQV1_ItemClick(const QString&) {}
