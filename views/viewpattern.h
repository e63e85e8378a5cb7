#pragma once
// The one routine every category view runs: open the view's lookup lists and
// rows on the shared connection, bind them, and shape the grid as the view's
// definition says. The window supplies where things go.

#include "platform/ado/ado.h"
#include "views/viewdefs.h"

#include <array>
#include <functional>

namespace grid {
class GridEX;
}

namespace views {

struct ViewTarget {
    ado::Connection* conn = nullptr;
    // Sets the window's modes, title, picture and option button of the view.
    std::function<void(const ViewDef&)> showTitle;
    // The window's recordset member of a name ("TaskRS", "ddAssigneeRS", ...).
    std::function<ado::RecordsetPtr&(const QString&)> member;
    // The grid that shows the rows; nullptr binds none (the month panel).
    grid::GridEX* grid = nullptr;
    // The hidden lookup grids GridEX2..GridEX4 at indexes 2..4.
    std::array<grid::GridEX*, 5> lists{};
    ado::Params params;
    // The day panel's task grid keeps its own layout.
    bool layoutStep = true;
    // Marks the view whose rows could not be read (they were said so).
    std::function<void(const ViewDef&)> unread;
};

// Runs the view. Unless the view raises its errors, each failing step is
// skipped without a message and the next one runs; rows that could not be
// read are said so (editing::readList).
void ApplyView(const ViewDef& def, const ViewTarget& target);

// The total row of a view: stops at its first failing step and throws.
void ApplyTotals(const ViewDef& def, grid::GridEX& grid);

// After rows behind a grid changed: requery the recordset and, when the grid
// still shows that recordset, bind it again so the grid keeps the view's
// columns. A recordset no longer shown is only requeried, so a late editor
// never puts its rows under another view. False when the requery failed: it
// is said so, and the grid goes on showing the rows it showed.
bool RefreshGrid(grid::GridEX* grid, const ado::RecordsetPtr& rs);

}  // namespace views
