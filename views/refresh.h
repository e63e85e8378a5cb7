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

}  // namespace views
