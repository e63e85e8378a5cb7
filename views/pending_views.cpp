// Temporary: empty bodies for the main window's view procedures and handlers
// that the views and commands fill in. Each entry goes when its real body
// lands in views/ (or app/ for the navigation and menu commands).

#include "app/frmMain.h"

void frmMain::optAllTasks_Click() {}
void frmMain::optDueTasks_Click() {}
void frmMain::optCompleteTasks_Click() {}
void frmMain::optIncompleteTasks_Click() {}
void frmMain::ExplorerBarCtlQV1_ItemClick(const QString&) {}
