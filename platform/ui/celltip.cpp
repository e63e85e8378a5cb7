#include "platform/ui/celltip.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextDocument>
#include <QToolTip>

namespace ui {

QString plainTip(const QString& text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

bool showTipWhenCut(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option)
{
    // The room the style leaves the item's text, as it paints it.
    const QStyle* style = view->style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &option, view).width() - 2 * margin;
    const bool cut = !option.text.isEmpty() && option.fontMetrics.horizontalAdvance(option.text) > room;
    QToolTip::showText(event->globalPos(), cut ? plainTip(option.text) : QString(), view->viewport(), option.rect);
    event->setAccepted(cut);
    return cut;
}

}  // namespace ui
