#pragma once
// A click on the cell of the row already chosen opens its editor once the
// double-click time has passed, as a list view's own trigger does; but a key
// typed meanwhile opens it at once with that key, so nothing typed right
// after the click is lost.

class QAbstractItemView;

namespace grid {

void editOnClickOfChosenCell(QAbstractItemView* view);

}  // namespace grid
