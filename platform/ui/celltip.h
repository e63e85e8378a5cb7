#pragma once
// A list, tree or grid item whose text the view cuts shows its whole text as
// its tooltip; an item shown whole shows none.

class QAbstractItemView;
class QHelpEvent;
class QStyleOptionViewItem;

namespace ui {

// `option` as the delegate paints the item (its style option initialised).
// Returns whether a tooltip was shown.
bool showTipWhenCut(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option);

}  // namespace ui
