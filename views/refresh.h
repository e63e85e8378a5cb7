#pragma once
// The refresh every editor and the delete window run after changing rows
// behind the main grid.

#include "platform/ado/ado.h"

namespace views {

// Requeries the main window's recordset of a view and, when the main grid
// still shows it, binds it again (the grid keeps the view's columns). A
// recordset of a view no longer shown is only requeried. False when the
// requery failed.
bool RefreshMainGrid(const ado::RecordsetPtr& rs);

// Makes the refresh of each view recordset of the main window callable by
// name ("frmMain.RefreshMainGrid:PeopleRS"), as the record services call it.
// Done once at start; again after something cleared the names.
void RegisterMainGridRefresh();

}  // namespace views
