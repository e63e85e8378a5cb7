#include "platform/grid/griddelegate.h"

#include "platform/grid/cardview.h"
#include "platform/grid/newrow.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/celltip.h"

#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTextLayout>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolTip>

#include <limits>

namespace grid {

// ---------------------------------------------------------------- delegates

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    const int c = index.column() + 1;
    const int type = g_->columnEditType(c);
    QWidget* ed = nullptr;
    if (type == etCustom) {
        ed = makeCustomStandIn(parent, g_->customEditControl());
        editor_ = ed;
        emit g_->LoadCustomEdit(c);
        return ed;
    }
    if (type == etValueList || type == etDropDown) {
        auto* box = new ui::ListBox(parent, true);
        if (type == etValueList) {
            for (const auto& item : g_->columnValueList(c))
                box->addItem(item.second, item.first);
        } else if (GridEX* list = g_->columnDropDown(c)) {
            for (const QString& s : list->listValues())
                box->addItem(s, s);
        }
        ed = box;
    } else {
        ed = QStyledItemDelegate::createEditor(parent, option, index);
    }
    // A cell's whole text is edited, however long: none is cut at Qt's 32,767.
    QLineEdit* line = qobject_cast<QLineEdit*>(ed);
    if (auto* box = qobject_cast<QComboBox*>(ed))
        line = box->lineEdit();
    if (line)
        line->setMaxLength(std::numeric_limits<int>::max());
    editor_ = ed;
    return ed;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (isCustomStandIn(editor))
        return;  // loaded by the owner on LoadCustomEdit
    const QString current = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        // Only the very text, letter case included, is an entry of the list.
        const int i = box->findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        if (i >= 0)
            box->setCurrentIndex(i);
        box->setEditText(i >= 0 ? box->itemText(i) : current);
        // As in a plain cell, typing replaces the text rather than adding to
        // it; the selection runs back to the start, which so stays in view.
        if (QLineEdit* line = box->lineEdit())
            line->setSelection(int(line->text().size()), -int(line->text().size()));
        original_ = box->currentText();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        original_ = line->text();
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (isCustomStandIn(editor)) {
        // The owner writes its control's value with setCurrentValue.
        emit g_->StoreCustomEdit(index.column() + 1);
        lastWriteOk_ = true;
        return;
    }
    QVariant v;
    if (auto* box = dynamic_cast<ui::ListBox*>(editor)) {
        // "attending" typed stores the list's "Attending"; a list that shows
        // one text and stores another value stores that value.
        const QString typed = box->currentText();
        const int i = box->entryOf(typed);
        v = i >= 0 ? box->itemData(i) : QVariant(typed);
        if (!v.isValid())
            v = typed;
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        v = line->text();
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
        lastWriteOk_ = true;
        return;
    }
    refused_ = {};
    // An unchanged text is not written again (no needless change-log rows).
    if (v.toString() == original_) {
        lastWriteOk_ = true;
        return;
    }
    {
        const QScopedValueRollback<bool> telling(g_->editorWriting_, true);
        lastWriteOk_ = model->setData(index, v, Qt::EditRole);
    }
    if (lastWriteOk_) {
        original_ = v.toString();
    } else if (!g_->lastEditError().isEmpty()) {
        auto* box = qobject_cast<QComboBox*>(editor);
        refused_ = {index, box ? box->currentText() : v.toString(), g_->lastEditError(), g_->lastEditUnread_};
    }
}

bool GridDelegate::eventFilter(QObject* watched, QEvent* event)
{
    // The combo box would choose the entry next to the stored value and drop
    // the typing; the grid stores what was typed and moves the row.
    auto* box = qobject_cast<QComboBox*>(watched);
    if (box && event->type() == QEvent::KeyPress && !box->view()->isVisible()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool moves = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageUp
                           || key->key() == Qt::Key_PageDown;
        QWidget* view = box->parentWidget();
        while (view && !qobject_cast<QAbstractItemView*>(view))
            view = view->parentWidget();
        if (moves && !(key->modifiers() & Qt::AltModifier) && view) {
            QKeyEvent again(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(view, &again);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

CellRefusal GridDelegate::takeRefused() { return std::exchange(refused_, {}); }

void GridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor_ == editor)
        editor_ = nullptr;
    const bool custom = isCustomStandIn(editor);
    QStyledItemDelegate::destroyEditor(editor, index);
    if (custom)
        emit g_->ShowCustomEdit(index.column() + 1, 0, 0, 0, 0, false);
}

void GridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    if (!isCustomStandIn(editor) || !editor->parentWidget())
        return;
    const QPoint at = editor->parentWidget()->mapTo(g_, option.rect.topLeft());
    emit g_->ShowCustomEdit(index.column() + 1, pixelsToTwips(at.x()), pixelsToTwips(at.y()),
                            pixelsToTwips(option.rect.width()), pixelsToTwips(option.rect.height()), true);
}

void GridDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // A cell of one line of text, nearly every cell of a view, is drawn as the
    // style draws it but with its text shaped once, not once for each of the
    // style's measures of the cell: that shaping is most of a view's paint.
    constexpr auto kOther = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration
                            | QStyleOptionViewItem::WrapText;
    if ((opt.features & kOther) || (opt.state & QStyle::State_Editing) || opt.text.contains(QChar::LineSeparator)) {
        QStyledItemDelegate::paint(p, option, index);
        return;
    }
    const QWidget* w = opt.widget;
    const QStyle* style = w ? w->style() : QApplication::style();
    p->save();
    p->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, p, w);
    if (!opt.text.isEmpty()) {
        QPalette::ColorGroup cg = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (cg == QPalette::Normal && !(opt.state & QStyle::State_Active))
            cg = QPalette::Inactive;
        p->setPen(opt.palette.color(cg, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                             : QPalette::Text));
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
        const QRect room = opt.rect.adjusted(margin, 0, -margin, 0);
        QTextOption to;
        to.setWrapMode(QTextOption::ManualWrap);
        to.setTextDirection(opt.direction);
        to.setAlignment(QStyle::visualAlignment(opt.direction, opt.displayAlignment));
        const auto lay = [&](QTextLayout& layout) {
            layout.setTextOption(to);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            line.setLineWidth(room.width());
            layout.endLayout();
            return line;
        };
        QTextLayout layout(opt.text, opt.font);
        QTextLine line = lay(layout);
        if (line.naturalTextWidth() > room.width()) {
            layout.setText(QFontMetrics(opt.font).elidedText(opt.text, opt.textElideMode, room.width()));
            line = lay(layout);
        }
        qreal y = room.top();
        if (opt.displayAlignment & Qt::AlignVCenter)
            y += (room.height() - line.height()) / 2;
        else if (opt.displayAlignment & Qt::AlignBottom)
            y += room.height() - line.height();
        layout.draw(p, QPointF(room.left(), y));
    }
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, w);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup cg = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        focus.backgroundColor = opt.palette.color(cg, (opt.state & QStyle::State_Selected) ? QPalette::Highlight
                                                                                          : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, w);
    }
    p->restore();
}

bool GridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid() || !view)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    return ui::showTipWhenCut(event, view, opt);
}

bool GridDelegate::customEditOpen() const
{
    return editor_ && isCustomStandIn(editor_.data());
}

bool GridDelegate::editorModified() const
{
    if (!editor_)
        return false;
    if (auto* box = qobject_cast<QComboBox*>(editor_.data()))
        return box->currentText() != original_;
    if (auto* line = qobject_cast<QLineEdit*>(editor_.data()))
        return line->text() != original_;
    return true;
}

QVector<int> CardDelegate::lineColumns() const
{
    QVector<int> out;
    const int caption = g_->cardCaptionColumn();
    for (int c = 1; c <= g_->columnCount(); ++c)
        if (!g_->isColumnHidden(c) && c != caption)
            out << c;
    return out;
}

int CardDelegate::cardWidth() const
{
    // A card never gets wider than the area it stands in, scroll bar and
    // spacing counted, so the cards never scroll sideways.
    const CardView* v = g_->cards_;
    const int room = v->width() - 2 * v->frameWidth() - v->verticalScrollBar()->sizeHint().width()
                     - 2 * v->spacing() - 1;
    return std::max(40, std::min(twipsToPixels(g_->cardWidth()), room));
}

QSize CardDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int line = option.fontMetrics.height() + 2;
    const int width = cardWidth();
    int height = line + 4 + 8;
    const int row = index.row() + 1;
    for (int c : lineColumns())
        height += lineHeight(option.fontMetrics, g_->columnCaption(c) + ": " + g_->text(row, c), width, line);
    return QSize(width, height);
}

int CardDelegate::lineHeight(const QFontMetrics& fm, const QString& text, int cardWidth, int line) const
{
    const int inner = cardWidth - kCardTextInset;
    if (fm.horizontalAdvance(text) <= inner)
        return line;
    const QRect r = fm.boundingRect(QRect(0, 0, inner, 10000), Qt::TextWordWrap | Qt::AlignLeft, text);
    return std::max(line, r.height() + 2);
}

QRect CardDelegate::titleRect(const QStyleOptionViewItem& option)
{
    const QRect r = option.rect.adjusted(2, 2, -2, -2);
    return QRect(r.left() + 1, r.top() + 1, r.width() - 2, option.fontMetrics.height() + 4);
}

QString CardDelegate::title(int row) const
{
    const int caption = g_->cardCaptionColumn();
    return caption ? g_->text(row, caption) : QString();
}

// A title cut to fit its card shows whole as the tooltip of the card's title bar.
bool CardDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                             const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid() || !view)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QRect bar = titleRect(option);
    QFont bold = option.font;
    bold.setBold(true);
    const QString head = bar.contains(event->pos()) ? title(index.row() + 1) : QString();
    const bool cut = QFontMetrics(bold).horizontalAdvance(head) > bar.width() - 8;
    QToolTip::showText(event->globalPos(), cut ? ui::plainTip(head) : QString(), view->viewport(), bar);
    event->setAccepted(cut);
    return cut;
}

void CardDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int row = index.row() + 1;
    if (g_->rowKind(row) != RowKind::Record)
        return;
    p->save();
    const QRect r = option.rect.adjusted(2, 2, -2, -2);
    const bool selected = option.state & QStyle::State_Selected;
    p->fillRect(r, option.palette.brush(QPalette::Base));
    p->setPen(option.palette.color(QPalette::Mid));
    p->drawRect(r.adjusted(0, 0, -1, -1));
    const int line = option.fontMetrics.height() + 2;
    const QRect title = titleRect(option);
    p->fillRect(title, option.palette.brush(selected ? QPalette::Highlight : QPalette::Button));
    QFont bold = option.font;
    bold.setBold(true);
    p->setFont(bold);
    p->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::ButtonText));
    const QString head = this->title(row);
    p->drawText(title.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                QFontMetrics(bold).elidedText(head, Qt::ElideRight, title.width() - 8));
    p->setFont(option.font);
    p->setPen(option.palette.color(QPalette::Text));
    int y = title.bottom() + 2;
    // A long line (a street name) wraps rather than being cut. A card of
    // the height of one line per column has no such line: nothing to measure.
    const QVector<int> columns = lineColumns();
    const bool oneLineEach = option.rect.height() == line + 4 + 8 + int(columns.size()) * line;
    for (int c : columns) {
        const QString s = g_->columnCaption(c) + ": " + g_->text(row, c);
        const int h = oneLineEach ? line : lineHeight(option.fontMetrics, s, option.rect.width(), line);
        p->drawText(QRect(r.left() + 4, y, r.width() - 8, h), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, s);
        y += h;
    }
    p->restore();
}

}  // namespace grid
