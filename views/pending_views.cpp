// Temporary: empty bodies for the main window's view procedures and handlers
// that the views and commands fill in. Each entry goes when its real body
// lands in views/ (or app/ for the navigation and menu commands).

#include "app/frmMain.h"

void frmMain::ShowTasks(const QString&, const QDateTime&) {}
void frmMain::ShowEvents() {}
void frmMain::ShowRSVP() {}
void frmMain::ShowPeople() {}
void frmMain::ShowAddresses() {}
void frmMain::FillEventCombo() {}
void frmMain::SetGuestCountTotal() {}
void frmMain::cmbEvents_Click() {}
void frmMain::ShowVendors() {}
void frmMain::ShowQuotes() {}
void frmMain::ShowExpenses() {}
void frmMain::ShowBudget() {}
void frmMain::SetExpenseTotals() {}
void frmMain::SetBudgetTotals() {}
void frmMain::ShowAttire() {}
void frmMain::ShowGifts() {}
void frmMain::ShowRegistry() {}
void frmMain::ShowMeasurementsFemale() {}
void frmMain::ShowMeasurementsMale() {}
void frmMain::optAllTasks_Click() {}
void frmMain::optDueTasks_Click() {}
void frmMain::optCompleteTasks_Click() {}
void frmMain::optIncompleteTasks_Click() {}
void frmMain::ExplorerBarCtlQV1_ItemClick(const QString&) {}
