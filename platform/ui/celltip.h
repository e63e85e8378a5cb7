#pragma once
// A list, tree or grid item whose text the view cuts shows its whole text as
// its tooltip; an item shown whole shows none.

#include <QString>

class QAbstractItemView;
class QHelpEvent;
class QStyleOptionViewItem;

namespace ui {

// A text as a tooltip shows it whole and as it is: one that looks like
// markup (a name from the data such as "<b>Ann</b>") is never read as such.
QString plainTip(const QString& text);

// `option` as the delegate paints the item (its style option initialised).
// Returns whether a tooltip was shown.
bool showTipWhenCut(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option);

}  // namespace ui
