#pragma once
// The main grid's mouse commands: double-click opens the record of the
// current row, a right click pops up the menu of the view and of the column
// under the pointer, and in the RSVP view a change of row refills the Food
// column's choices with the menu of that row's event.

#include "app/commands.h"

#include <QString>

namespace gridmouse {

// The pop-up menu's control name for a right click on that column of that
// view; "" for no menu.
QString popupMenuFor(views::DataMode curDataMode, int column);
// The same for the day panel's task grid, chosen by the column's caption.
QString dayTaskPopupFor(const QString& columnCaption);
// What a double-click runs in that category: a row command's name,
// "EditTask" for the task editor, or "" for nothing.
QString doubleClickCommand(views::MainMode curMainMode);

// Hit-test areas that never get a menu: column header, group header, total row.
bool refusesMenu(int hitArea);

void GridEX1_DblClick(commands::Host& host);
// button 2 is the right button; row and column are those under the pointer
// (0 when none).
void GridEX1_MouseDown(commands::Host& host, int button, int hitArea, int row, int column);
void gridTasksDate_MouseUp(commands::Host& host, int button, int hitArea, const QString& columnCaption);
void GridEX1_SelectionChange(commands::Host& host);

inline constexpr int kFoodColumn = 7;

}  // namespace gridmouse
