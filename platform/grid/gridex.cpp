#include "platform/grid/gridex.h"

#include "platform/grid/cardview.h"
#include "platform/grid/clickedit.h"
#include "platform/grid/griddelegate.h"
#include "platform/grid/gridmodel.h"
#include "platform/grid/newrow.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/celltip.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStackedWidget>
#include <QTableView>
#include <QTextLayout>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace grid {

// ------------------------------------------------------------------ formats

namespace {
ChangeLog& changeLogHook()
{
    static ChangeLog log;
    return log;
}
}  // namespace

void setChangeLog(ChangeLog log)
{
    changeLogHook() = std::move(log);
}

const ChangeLog& changeLog()
{
    return changeLogHook();
}

qint64 toTenThousandths(double v)
{
    // The whole part apart from the fraction: v * 10000 itself is not exact
    // for large amounts (500000000000000.25 would come out .256).
    const double whole = std::trunc(v);
    return qint64(whole) * 10000 + std::llround((v - whole) * 10000.0);
}

namespace {

bool isCurrencyFormat(const QString& format) { return format.compare(QLatin1String("Currency"), Qt::CaseInsensitive) == 0; }


bool numericValue(const QVariant& v, double& out)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        out = v.toDouble();
        return true;
    case QMetaType::QString:
        return ado::convert::parseNumber(v.toString(), out);
    default:
        return false;
    }
}

}  // namespace

QString formatValue(const QVariant& v, const QString& format)
{
    if (!v.isValid() || v.isNull())
        return QString();
    if (isCurrencyFormat(format)) {
        double d;
        if (v.typeId() != QMetaType::Bool && numericValue(v, d) && ado::convert::currencyFits(d))
            return regional::amountText(toTenThousandths(d));
    }
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
    return regional::shownText(v);
}

void CurrencySum::add(double amount)
{
    if (overflow_)
        return;
    if (!ado::convert::currencyFits(amount)) {
        overflow_ = true;
        return;
    }
    sum_ += toTenThousandths(amount);
    if (sum_ > std::numeric_limits<qint64>::max() || sum_ < -__int128(std::numeric_limits<qint64>::max()))
        overflow_ = true;
}

QString totalText(const CurrencySum& sum, const QString& format)
{
    if (sum.overflow())
        return QStringLiteral("Overflow");
    if (isCurrencyFormat(format))
        return regional::amountText(sum.tenThousandths());
    return formatValue(double(sum.tenThousandths()) / 10000.0, format);
}

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
    QToolTip::showText(event->globalPos(), cut ? head : QString(), view->viewport(), bar);
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

// ------------------------------------------------------------------- GridEX

namespace {

// Narrow columns ("Done" in 500 twips) keep their caption whole: the header
// sections keep a margin of one pixel.
class HeaderStyle : public QProxyStyle {
public:
    explicit HeaderStyle(QObject* owner) : QProxyStyle() { setParent(owner); }
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override
    {
        if (m == PM_HeaderMargin)
            return 1;
        return QProxyStyle::pixelMetric(m, o, w);
    }
};

}  // namespace

QString GridEX::shownCaption(int column) const
{
    const QString caption = columnCaption(column);
    const QFontMetrics fm(table_->horizontalHeader()->font());
    const int room = table_->columnWidth(column - 1) - kHeaderTextPad;
    if (fm.horizontalAdvance(caption) <= room || !caption.contains(' '))
        return caption;
    // Two lines, broken at the blank that leaves the longer line shortest.
    int best = -1, bestWidth = 0;
    for (int i = caption.indexOf(' '); i >= 0; i = caption.indexOf(' ', i + 1)) {
        const int w = std::max(fm.horizontalAdvance(caption.left(i)), fm.horizontalAdvance(caption.mid(i + 1)));
        if (best < 0 || w < bestWidth) {
            best = i;
            bestWidth = w;
        }
    }
    return caption.left(best) + '\n' + caption.mid(best + 1);
}

namespace {

// The rows' view. A cell editor closed by Enter, Tab or a click elsewhere
// when the database has refused what was typed closes as usual, and once
// the event that closed it is done the user is told why and the cell opens
// again with the typed text.
class GridTable : public QTableView {
public:
    GridTable(const GridModel* rows, GridDelegate* d, std::function<void(const CellRefusal&)> reopen)
        : rows_(rows), delegate_(d), reopen_(std::move(reopen))
    {
    }

protected:
    // The total row is no record and never current: a move that would land
    // on it (Ctrl+End, Page Down, Down on the last record) stops on the last
    // record above it.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override
    {
        const QModelIndex to = QTableView::moveCursor(action, modifiers);
        const int last = rows_->displayedRows() - 1;
        return to.isValid() && to.row() > last && last >= 0 ? model()->index(last, to.column()) : to;
    }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (hint == QAbstractItemDelegate::RevertModelCache) {
            QTableView::closeEditor(editor, hint);
            return;
        }
        const CellRefusal refused = delegate_->takeRefused();
        if (!refused.at.isValid()) {
            QTableView::closeEditor(editor, hint);
            return;
        }
        // Not on to the next cell: the refused one opens again.
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        QTimer::singleShot(0, this, [this, refused] { reopen_(refused); });
    }

private:
    const GridModel* rows_;
    GridDelegate* delegate_;
    std::function<void(const CellRefusal&)> reopen_;
};

}  // namespace

void GridEX::reopenRefused(const CellRefusal& refused)
{
    if (refused.unread)
        ui::MsgBox(refused.why, ui::vbExclamation | ui::vbOKOnly, QString(), window());
    else
        ui::RefusedSave(refused.why, this);
    if (!refused.at.isValid() || layout_ != Layout::Rows)
        return;
    table_->setFocus();
    table_->setCurrentIndex(refused.at);
    table_->edit(refused.at);
    QWidget* ed = delegate_->openEditor();
    if (auto* box = qobject_cast<QComboBox*>(ed))
        box->setEditText(refused.typed);
    else if (auto* line = qobject_cast<QLineEdit*>(ed))
        line->setText(refused.typed);
}

GridEX::GridEX(QWidget* parent) : QWidget(parent)
{
    model_ = new GridModel(this);
    delegate_ = new GridDelegate(this);
    cardDelegate_ = new CardDelegate(this);
    stack_ = new QStackedWidget(this);

    table_ = new GridTable(model_, delegate_, [this](const CellRefusal& r) { reopenRefused(r); });
    // Its captions leave room under them for the new-row line.
    table_->setHorizontalHeader(new GridHeader(Qt::Horizontal, table_));
    // Column widths are fixed in twips, that is in pixels, so the texts get
    // fonts of a fixed pixel size that fit them, whatever the desktop's font.
    QFont cellFont = table_->font();
    cellFont.setPixelSize(kCellFontPixels);
    table_->setFont(cellFont);
    QFont headerFont = cellFont;
    headerFont.setPixelSize(kHeaderFontPixels);
    table_->horizontalHeader()->setFont(headerFont);
    table_->horizontalHeader()->setStyle(new HeaderStyle(table_->horizontalHeader()));
    table_->setModel(model_);
    table_->setItemDelegate(delegate_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    editOnClickOfChosenCell(table_);
    table_->setWordWrap(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->horizontalHeader()->setSectionsClickable(false);
    // A width the user drags is the column's width from then on (the report uses it).
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
        if (applyingColumns_ || logical >= cols_.size() || size <= 0 || table_->isColumnHidden(logical))
            return;
        cols_[logical].widthTwips = pixelsToTwips(size);
        emit model_->headerDataChanged(Qt::Horizontal, logical, logical);
    });

    cards_ = new CardView;
    cards_->setFont(cellFont);
    cards_->setShownRows([this](int r) {
        // Cards show records only.
        const GridModel::Row* row = model_->row(r);
        return row && row->kind == RowKind::Record;
    });
    cards_->setCardWidthFunction([this] { return cardDelegate_->cardWidth(); });
    cards_->setItemDelegate(cardDelegate_);
    cards_->setModel(model_);
    cards_->setSelectionModel(table_->selectionModel());
    cards_->setSpacing(4);
    cards_->setSelectionBehavior(QAbstractItemView::SelectRows);
    cards_->setSelectionMode(QAbstractItemView::SingleSelection);
    cards_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    stack_->addWidget(table_);
    stack_->addWidget(cards_);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(stack_);

    for (QWidget* w : {table_->viewport(), cards_->viewport(), table_->horizontalHeader()->viewport()})
        w->installEventFilter(this);
    // The spans of header rows follow the screen (see updateSpans).
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { updateSpans(); });

    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur, const QModelIndex& prev) {
                // The total row is never current.
                if (cur.isValid() && cur.row() >= model_->displayedRows()) {
                    table_->selectionModel()->setCurrentIndex(
                        prev.isValid() && prev.row() < model_->displayedRows() ? prev : QModelIndex(),
                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                    return;
                }
                emitCurrentRow();
            });
}

GridEX::~GridEX()
{
    if (rs_)
        QObject::disconnect(rs_.get(), nullptr, this, nullptr);
    // The views ask the model (and so this grid) while they close, so they go
    // before the column settings do.
    delete stack_;
    stack_ = nullptr;
}

bool GridEX::validColumn(int column) const
{
    return column >= 1 && column <= cols_.size();
}

GridEX::ColumnSettings* GridEX::col(int column)
{
    return validColumn(column) ? &cols_[column - 1] : nullptr;
}

const GridEX::ColumnSettings* GridEX::col(int column) const
{
    return validColumn(column) ? &cols_[column - 1] : nullptr;
}

// ------------------------------------------------------------------ binding

void GridEX::bind(ado::RecordsetPtr rs)
{
    if (delegate_->openEditor())
        cancelEdit();
    if (rs_ && rs_ != rs)
        QObject::disconnect(rs_.get(), nullptr, this, nullptr);
    const bool same = rs_ == rs;
    rs_ = std::move(rs);

    QStringList names;
    if (rs_ && rs_->isOpen())
        for (int i = 0; i < rs_->fieldCount(); ++i)
            names << rs_->fieldName(i);
    bool sameFields = names.size() == fields_.size();
    for (int i = 0; sameFields && i < names.size(); ++i)
        sameFields = names[i].compare(fields_[i], Qt::CaseInsensitive) == 0;
    if (!sameFields) {
        // Another field set: the column settings start afresh.
        fields_ = names;
        cols_.clear();
        for (const QString& n : names) {
            ColumnSettings s;
            s.field = n;
            s.caption = n;
            cols_ << s;
        }
        groupColumn_ = 0;
    }
    if (rs_ && !same) {
        connect(rs_.get(), &ado::Recordset::reset, this, [this] { rebuild(); });
        connect(rs_.get(), &ado::Recordset::rowChanged, this, [this](int row) { onRowChanged(row); });
    }
    rebuild();
}

void GridEX::unbind()
{
    bind(nullptr);
}

void GridEX::rebuild(bool followRecord)
{
    int keep = lastCurrent_;
    const int record = followRecord ? currentRecord() : -1;
    const QModelIndex cur = table_->selectionModel()->currentIndex();
    const int column = cur.isValid() ? cur.column() + 1 : 0;
    totalsCache_.clear();
    blockCurrentSignal_ = true;
    model_->rebuild();
    builtFor_ = rs_.get();
    applyColumns();
    applyLayout();
    blockCurrentSignal_ = false;
    if (record >= 0 && model_->displayOfRecord(record) >= 0)
        keep = model_->displayOfRecord(record) + 1;
    // New rows: the current row is announced again even at the same number.
    lastCurrent_ = -1;
    const int n = rowCount();
    if (n > 0)
        setCurrentCell(keep >= 1 && keep <= n ? keep : 1, column);
    else
        emitCurrentRow();
}

void GridEX::onRowChanged(int row)
{
    totalsCache_.clear();
    // An edit that moves the record to another group gathers the rows anew;
    // while an editor is closing, that waits for the event loop.
    if (groupColumn_ > 0 && rs_ && rs_->isOpen()
        && compareGroupValues(rs_->cell(row, groupColumn_ - 1), model_->groupKey(row)) != 0) {
        scheduleRebuild();
        return;
    }
    model_->recordChanged(row);
}

void GridEX::scheduleRebuild()
{
    if (!inEdit_) {
        rebuild(true);
        return;
    }
    if (rebuildPending_)
        return;
    rebuildPending_ = true;
    QTimer::singleShot(0, this, [this] {
        rebuildPending_ = false;
        rebuild(true);
    });
}

void GridEX::applyColumns()
{
    const QScopedValueRollback<bool> guard(applyingColumns_, true);
    QHeaderView* h = table_->horizontalHeader();
    for (int i = 0; i < cols_.size(); ++i) {
        table_->setColumnHidden(i, cols_[i].hidden);
        table_->setColumnWidth(i, cols_[i].widthTwips >= 0 ? twipsToPixels(cols_[i].widthTwips)
                                                         : h->defaultSectionSize());
    }
    if (!cols_.isEmpty())
        emit model_->headerDataChanged(Qt::Horizontal, 0, int(cols_.size()) - 1);
    spanRows_ = {};
    updateSpans();
}

// A header row reads across the whole width. The spans are set on the rows
// on screen and a few pages around them, and set anew as the grid scrolls:
// a list of many thousand groups would otherwise spend more time on its
// spans than on its rows.
void GridEX::updateSpans()
{
    const bool spanned = groupColumn_ > 0 && cols_.size() > 1;
    const int n = model_->displayedRows();
    const int rowHeight = std::max(1, table_->verticalHeader()->defaultSectionSize());
    const int page = std::max(1, table_->viewport()->height() / rowHeight + 1);
    const int first = std::max(0, table_->rowAt(0));
    // Still a page of spans on either side of the screen: nothing to do.
    if (spanned && spanRows_.second > spanRows_.first && spanRows_.first <= std::max(0, first - page)
        && spanRows_.second >= std::min(n, first + 2 * page))
        return;
    table_->clearSpans();
    spanRows_ = {};
    if (!spanned)
        return;
    const int margin = 3 * page + 50;
    spanRows_ = {std::max(0, first - margin), std::min(n, first + page + margin)};
    for (int r = spanRows_.first; r < spanRows_.second; ++r)
        if (model_->row(r)->kind == RowKind::GroupHeader)
            table_->setSpan(r, 0, 1, int(cols_.size()));
}

void GridEX::applyLayout()
{
    stack_->setCurrentWidget(layout_ == Layout::Cards ? static_cast<QWidget*>(cards_) : table_);
    if (layout_ != Layout::Cards)
        return;
    cards_->doItemsLayout();
}

QAbstractItemView* GridEX::cardView() const
{
    return cards_;
}

// ----------------------------------------------------------- grid settings

void GridEX::setGridLayout(Layout layout)
{
    layout_ = layout;
    applyLayout();
}

void GridEX::setCardWidth(int twips)
{
    cardWidthTwips_ = twips;
    if (layout_ == Layout::Cards)
        cards_->doItemsLayout();
}

void GridEX::setWidthTwips(int tw)
{
    resize(twipsToPixels(tw), height());
}

int GridEX::widthTwips() const
{
    return pixelsToTwips(width());
}

void GridEX::operationR()
{
    redraw();
}

void GridEX::refresh(bool)
{
    redraw();
}

void GridEX::redraw()
{
    table_->viewport()->update();
    cards_->viewport()->update();
    table_->horizontalHeader()->viewport()->update();
}

void GridEX::setPageHeader(const QString& text)
{
    pageHeader_ = text;
}

void GridEX::setPageMargins(int leftTwips, int rightTwips)
{
    leftMarginTwips_ = leftTwips;
    rightMarginTwips_ = rightTwips;
}

// ----------------------------------------------------------------- grouping

void GridEX::groupBy(int column)
{
    if (column != 0 && !validColumn(column))
        return;
    // The rows follow every change of the recordset, so they are gathered by
    // this column already when it was the grouping of the last bind.
    if (column == groupColumn_ && column != 0 && builtFor_ == rs_.get() && rs_
        && model_->displayedRows() >= rs_->RecordCount() && !rebuildPending_)
        return;
    groupColumn_ = column;
    rebuild();
}

int GridEX::groupColumn() const
{
    return groupColumn_;
}

// --------------------------------------------------------------------- rows

int GridEX::rowCount() const
{
    return model_->displayedRows();
}

int GridEX::currentRow() const
{
    if (newRow_ && newRow_->isCurrent())
        return kNewRowLine;
    const QModelIndex cur = table_->selectionModel()->currentIndex();
    if (!cur.isValid() || cur.row() >= rowCount())
        return 0;
    return cur.row() + 1;
}

void GridEX::setCurrentRow(int row)
{
    if (row == kNewRowLine && newRow_) {
        newRow_->makeCurrent();
        return;
    }
    const QModelIndex cur = table_->selectionModel()->currentIndex();
    setCurrentCell(row, cur.isValid() ? cur.column() + 1 : 0);
}

void GridEX::setCurrentCell(int row, int column)
{
    if (row < 1 || row > rowCount())
        return;
    if (newRow_)
        newRow_->leave();
    if (!validColumn(column) || isColumnHidden(column))
        column = firstVisibleColumn();
    const QModelIndex idx = model_->index(row - 1, column - 1);
    table_->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (newRow_)
        emitCurrentRow();  // the same index again, after the new-row line was current
    if (layout_ == Layout::Cards)
        cards_->scrollTo(idx);
    else
        table_->scrollTo(idx);
}

void GridEX::emitCurrentRow()
{
    if (blockCurrentSignal_)
        return;
    const int r = currentRow();
    if (r == lastCurrent_)
        return;  // a move along the same row
    lastCurrent_ = r;
    emit currentRowChanged(r);
}

RowKind GridEX::rowKind(int row) const
{
    if (row == rowCount() + 1 && model_->hasTotalRow())
        return RowKind::Total;
    const GridModel::Row* r = model_->row(row - 1);
    return r ? r->kind : RowKind::None;
}

int GridEX::recordOfRow(int row) const
{
    const GridModel::Row* r = model_->row(row - 1);
    return r && r->kind == RowKind::Record ? r->record : -1;
}

int GridEX::firstRecordRow(int row) const
{
    const GridModel::Row* r = model_->row(row - 1);
    if (!r)
        return 0;
    if (r->kind == RowKind::Record)
        return row;
    // Groups are never empty: the header's first record follows it.
    return model_->displayOfRecord(r->groupFirst) + 1;
}

QVariant GridEX::value(int row, int column) const
{
    if (row == kNewRowLine)
        return newRow_ ? newRow_->value(column) : QVariant();
    const GridModel::Row* r = model_->row(row - 1);
    if (!r || !validColumn(column))
        return {};
    if (r->kind == RowKind::Record)
        return rs_->cell(r->record, column - 1);
    if (r->kind == RowKind::GroupHeader && column == groupColumn_)
        return rs_->cell(r->groupFirst, column - 1);
    return {};
}

QString GridEX::text(int row, int column) const
{
    const ColumnSettings* s = col(column);
    return s ? formatValue(value(row, column), s->format) : QString();
}

QString GridEX::groupHeaderText(int row) const
{
    const GridModel::Row* r = model_->row(row - 1);
    if (!r || r->kind != RowKind::GroupHeader || !validColumn(groupColumn_))
        return QString();
    return QStringLiteral("%1: %2 (%3)").arg(columnCaption(groupColumn_), text(row, groupColumn_)).arg(r->groupSize);
}

// ---------------------------------------------------------------- total row

void GridEX::setTotalRow(int mode)
{
    if (mode == totalMode_)
        return;
    totalMode_ = mode;
    rebuild();
}

void GridEX::setColumnAggregate(int column, int aggregate)
{
    if (ColumnSettings* s = col(column)) {
        s->aggregate = aggregate;
        totalsCache_.clear();
        model_->totalsChanged();
    }
}

int GridEX::columnAggregate(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->aggregate : agNone;
}

void GridEX::setColumnTotalFormat(int column, const QString& format)
{
    if (ColumnSettings* s = col(column)) {
        s->totalFormat = format;
        totalsCache_.clear();
        model_->totalsChanged();
    }
}

void GridEX::setColumnTotalPrefix(int column, const QString& prefix)
{
    if (ColumnSettings* s = col(column)) {
        s->totalPrefix = prefix;
        totalsCache_.clear();
        model_->totalsChanged();
    }
}

QString GridEX::totalText(int column) const
{
    const ColumnSettings* s = col(column);
    if (!s || s->aggregate == agNone || !rs_ || !rs_->isOpen())
        return QString();
    if (totalsCache_.size() != cols_.size())
        totalsCache_ = QVector<QString>(cols_.size());
    QString& cached = totalsCache_[column - 1];
    if (!cached.isNull())
        return cached;
    const int n = rs_->RecordCount();
    QVariant result;
    if (s->aggregate == agCount) {
        result = qlonglong(n);
    } else if (s->aggregate == agSum) {
        // NULLs add nothing; a total beyond what currency holds says so
        // instead of wrapping round.
        CurrencySum sum;
        for (int r = 0; r < n; ++r) {
            const QVariant v = rs_->cell(r, column - 1);
            double d;
            if (v.isValid() && !v.isNull() && v.typeId() != QMetaType::Bool && numericValue(v, d))
                sum.add(d);
        }
        cached = s->totalPrefix + grid::totalText(sum, s->totalFormat);
        return cached;
    }
    cached = s->totalPrefix + formatValue(result, s->totalFormat);
    if (cached.isNull())
        cached = QStringLiteral("");
    return cached;
}

// ------------------------------------------------------------------ columns

int GridEX::columnCount() const
{
    return cols_.size();
}

QString GridEX::fieldName(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->field : QString();
}

int GridEX::columnByCaption(const QString& caption) const
{
    for (int i = 0; i < cols_.size(); ++i)
        if (cols_[i].caption == caption)
            return i + 1;
    return 0;
}

void GridEX::setColumnHidden(int column, bool hidden)
{
    if (ColumnSettings* s = col(column)) {
        s->hidden = hidden;
        const QScopedValueRollback<bool> guard(applyingColumns_, true);
        table_->setColumnHidden(column - 1, hidden);
        // Typing never goes into a column the user cannot see.
        const QModelIndex cur = table_->selectionModel()->currentIndex();
        if (hidden && cur.isValid() && cur.column() == column - 1 && firstVisibleColumn() > 0) {
            const bool quiet = blockCurrentSignal_;
            blockCurrentSignal_ = true;
            table_->selectionModel()->setCurrentIndex(model_->index(cur.row(), firstVisibleColumn() - 1),
                                                      QItemSelectionModel::NoUpdate);
            blockCurrentSignal_ = quiet;
        }
        if (layout_ == Layout::Cards)
            cards_->doItemsLayout();
    }
}

bool GridEX::isColumnHidden(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->hidden : false;
}

void GridEX::setColumnWidth(int column, int tw)
{
    if (ColumnSettings* s = col(column)) {
        s->widthTwips = tw < 0 ? 0 : tw;
        const QScopedValueRollback<bool> guard(applyingColumns_, true);
        table_->setColumnWidth(column - 1, twipsToPixels(s->widthTwips));
        emit model_->headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    }
}

int GridEX::columnWidth(int column) const
{
    const ColumnSettings* s = col(column);
    if (!s)
        return 0;
    if (s->widthTwips >= 0)
        return s->widthTwips;
    return pixelsToTwips(table_->horizontalHeader()->defaultSectionSize());
}

void GridEX::setColumnCaption(int column, const QString& caption)
{
    if (ColumnSettings* s = col(column)) {
        s->caption = caption;
        emit model_->headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    }
}

QString GridEX::columnCaption(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->caption : QString();
}

void GridEX::setColumnEditType(int column, int editType)
{
    if (ColumnSettings* s = col(column))
        s->editType = editType;
}

int GridEX::columnEditType(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->editType : etReadOnly;
}

void GridEX::setColumnDropDown(int column, GridEX* list)
{
    if (ColumnSettings* s = col(column))
        s->dropDown = list;
}

GridEX* GridEX::columnDropDown(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->dropDown.data() : nullptr;
}

void GridEX::clearColumnValueList(int column)
{
    if (ColumnSettings* s = col(column))
        s->valueList.clear();
}

void GridEX::addColumnValueListItem(int column, const QVariant& value, const QString& text)
{
    if (ColumnSettings* s = col(column))
        s->valueList.push_back({value, text});
}

QVector<std::pair<QVariant, QString>> GridEX::columnValueList(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->valueList : QVector<std::pair<QVariant, QString>>();
}

void GridEX::setColumnFormat(int column, const QString& format)
{
    if (ColumnSettings* s = col(column)) {
        s->format = format;
        redraw();
    }
}

QString GridEX::columnFormat(int column) const
{
    const ColumnSettings* s = col(column);
    return s ? s->format : QString();
}

void GridEX::setColumnCardCaption(int column, bool on)
{
    if (ColumnSettings* s = col(column)) {
        s->cardCaption = on;
        if (layout_ == Layout::Cards)
            cards_->doItemsLayout();
    }
}

int GridEX::firstVisibleColumn() const
{
    for (int i = 0; i < cols_.size(); ++i)
        if (!cols_[i].hidden)
            return i + 1;
    return 0;
}

int GridEX::cardCaptionColumn() const
{
    for (int i = 0; i < cols_.size(); ++i)
        if (cols_[i].cardCaption)
            return i + 1;
    return 0;
}

bool GridEX::isColumnEditable(int column) const
{
    const ColumnSettings* s = col(column);
    if (!s || s->hidden || s->editType == etReadOnly || listMode_ || !rs_ || !rs_->isOpen())
        return false;
    if (rs_->lockType() == ado::adLockReadOnly || !rs_->isUpdatable())
        return false;
    return !rs_->fieldOrigin(column - 1).isEmpty();
}

QStringList GridEX::listValues() const
{
    QStringList out;
    if (!rs_ || !rs_->isOpen())
        return out;
    int c = valueColumn_.isEmpty() ? 0 : rs_->fieldIndex(valueColumn_);
    if (c < 0)
        return out;
    const int n = rs_->RecordCount();
    out.reserve(n);
    for (int r = 0; r < n; ++r)
        out << formatValue(rs_->cell(r, c), QString());
    return out;
}

// ------------------------------------------------------------------ editing

bool GridEX::editCell(int row, int column, const QVariant& v)
{
    lastEditError_.clear();
    lastEditUnread_ = false;
    const int record = recordOfRow(row);
    if (record < 0 || !isColumnEditable(column)) {
        emit editRejected(row, column, v.toString());
        return false;
    }
    if (writeGuard_ && !writeGuard_())
        return false;
    QVariant in;
    if (!typedValue(column, v, in)) {
        // The cell shows its value again; the message comes once the editor
        // has closed, and not at all when the caller reports the failure.
        lastEditError_ = regional::refusal(rs_->fieldKind(column - 1), v.toString());
        lastEditUnread_ = true;
        emit editRejected(row, column, v.toString());
        if (!reportingWrite_ && !editorWriting_)
            QMetaObject::invokeMethod(
                this, [this, why = lastEditError_] { ui::MsgBox(why, ui::vbExclamation | ui::vbOKOnly, QString(), window()); },
                Qt::QueuedConnection);
        return false;
    }
    bool ok = false;
    inEdit_ = true;
    try {
        // The cell and its change-log row are stored together or not at all.
        ok = rs_->setCell(record, column - 1, in, [&] { logEdit(record, column); });
    } catch (const ado::Error& e) {
        ok = false;
        lastEditError_ = e.description();
    }
    inEdit_ = false;
    if (!ok) {
        emit editRejected(row, column, v.toString());
        return false;
    }
    return true;
}

bool GridEX::typedValue(int column, const QVariant& v, QVariant& out) const
{
    const ado::ColumnKind kind = rs_->fieldKind(column - 1);
    if (v.typeId() != QMetaType::QString || kind == ado::ColumnKind::Text) {
        out = v;
        return true;
    }
    // A cleared cell of a typed column stores NULL.
    if (v.toString().trimmed().isEmpty()) {
        out = QVariant();
        return true;
    }
    return regional::readValue(kind, v.toString(), out);
}

void GridEX::logEdit(int record, int column)
{
    // The change log names the changed row by its table and key; the key of
    // the base row comes from the recordset, selected or not.
    const QString table = rs_->fieldTable(column - 1);
    if (table.isEmpty() || !changeLog())
        return;
    const QVariant id = rs_->rowKey(record, column - 1);
    if (!id.isNull())
        changeLog()(table, id.toLongLong(), 2);
}

bool GridEX::editPending() const
{
    return delegate_->openEditor() && delegate_->editorModified();
}

bool GridEX::writeCurrentRow()
{
    QWidget* ed = delegate_->openEditor();
    if (!ed)
        return true;
    {
        const QScopedValueRollback<bool> reporting(reportingWrite_, true);
        emit delegate_->commitData(ed);
    }
    // The caller tells of a refusal, and the editor stays as it is.
    delegate_->takeRefused();
    const bool ok = delegate_->lastWriteOk();
    if (ok)
        emit delegate_->closeEditor(ed, QAbstractItemDelegate::NoHint);
    return ok;
}

void GridEX::cancelEdit()
{
    if (QWidget* ed = delegate_->openEditor())
        emit delegate_->closeEditor(ed, QAbstractItemDelegate::RevertModelCache);
}

// ----------------------------------------------------------------- hit-test

QPoint GridEX::toViewport(const QPoint& pos) const
{
    QWidget* vp = layout_ == Layout::Cards ? cards_->viewport() : table_->viewport();
    return vp->mapFrom(this, pos);
}

int GridEX::hitTest(const QPoint& pos) const
{
    if (layout_ == Layout::Rows) {
        QHeaderView* h = table_->horizontalHeader();
        if (h->isVisible() && h->geometry().contains(table_->mapFrom(this, pos)))
            return haColumnHeader;
    }
    const QPoint p = toViewport(pos);
    QAbstractItemView* v = layout_ == Layout::Cards ? cardView() : table_;
    if (!v->viewport()->rect().contains(p))
        return haNothing;
    const QModelIndex idx = v->indexAt(p);
    if (!idx.isValid())
        return haNothing;
    switch (rowKind(idx.row() + 1)) {
    case RowKind::GroupHeader:
        return haGroupHeader;
    case RowKind::Total:
        return haTotalRow;
    case RowKind::Record:
        return haCell;
    default:
        return haNothing;
    }
}

int GridEX::columnAt(const QPoint& pos) const
{
    if (layout_ == Layout::Cards)
        return 0;
    const QPoint p = table_->viewport()->mapFrom(this, pos);
    const int c = table_->columnAt(p.x());
    return c < 0 ? 0 : c + 1;
}

int GridEX::rowAt(const QPoint& pos) const
{
    QAbstractItemView* v = layout_ == Layout::Cards ? cardView() : table_;
    const QPoint p = toViewport(pos);
    if (!v->viewport()->rect().contains(p))
        return 0;
    const QModelIndex idx = v->indexAt(p);
    if (!idx.isValid() || idx.row() >= rowCount())
        return 0;
    return idx.row() + 1;
}

QPoint GridEX::cellCenter(int row, int column) const
{
    QAbstractItemView* v = layout_ == Layout::Cards ? cardView() : table_;
    const QRect r = v->visualRect(model_->index(row - 1, layout_ == Layout::Cards ? 0 : column - 1));
    if (!r.isValid())
        return QPoint(-1, -1);
    return v->viewport()->mapTo(this, r.center());
}

bool GridEX::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::Resize && watched == table_->viewport())
        updateSpans();
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick) {
        auto* me = static_cast<QMouseEvent*>(event);
        auto* w = static_cast<QWidget*>(watched);
        const QPoint pos = w->mapTo(this, me->position().toPoint());
        if (t == QEvent::MouseButtonPress) {
            emit mouseDown(me->button(), pos);
            if (me->button() == Qt::RightButton) {
                emit rightClicked(me->globalPosition().toPoint(), rowAt(pos), columnAt(pos));
                return true;  // a right click leaves the current row where it is
            }
        } else if (t == QEvent::MouseButtonRelease) {
            emit mouseUp(me->button(), pos);
            if (me->button() == Qt::RightButton)
                return true;
        } else if (me->button() == Qt::LeftButton && watched != table_->horizontalHeader()->viewport()) {
            emit doubleClicked();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------------------------- report

ReportModel GridEX::reportModel(bool asNeeded) const
{
    ReportModel m;
    m.layout = layout_;
    m.pageHeader = pageHeader_;
    m.leftMarginTwips = leftMarginTwips_;
    m.rightMarginTwips = rightMarginTwips_;
    m.cardWidthTwips = cardWidthTwips_;
    m.cardsAcross = cardsAcross_;
    m.cardCaptionColumn = cardCaptionColumn();
    for (int c = 1; c <= columnCount(); ++c) {
        if (isColumnHidden(c) || (layout_ == Layout::Cards && c == m.cardCaptionColumn))
            continue;
        ReportColumn rc;
        rc.column = c;
        rc.caption = columnCaption(c);
        rc.widthTwips = columnWidth(c);
        if (rs_ && rs_->isOpen()) {
            const ado::ColumnKind k = rs_->fieldKind(c - 1);
            rc.rightAligned = k == ado::ColumnKind::Currency || k == ado::ColumnKind::Integer
                              || k == ado::ColumnKind::Real || !cols_[c - 1].format.isEmpty();
        }
        m.columns << rc;
    }
    // Cards print the records alone; rows print every shown row and the total.
    QVector<int> shown;   // the displayed row of each report row, when they differ
    const int n = rowCount();
    int count = n;
    if (layout_ == Layout::Cards && groupColumn_ > 0) {
        for (int r = 1; r <= n; ++r)
            if (rowKind(r) == RowKind::Record)
                shown << r;
        count = int(shown.size());
    }
    const bool total = model_->hasTotalRow() && layout_ == Layout::Rows;
    QVector<ReportColumn> columns = m.columns;
    const int caption = layout_ == Layout::Cards ? m.cardCaptionColumn : 0;
    auto rowAt = [grid = QPointer<GridEX>(const_cast<GridEX*>(this)), shown, count, total, columns,
                  caption](int i) {
        ReportRow row;
        row.texts.reserve(columns.size());
        if (!grid || i < 0 || i > count || (i == count && !total)) {
            for (int k = 0; k < columns.size(); ++k)
                row.texts << QString();
            return row;
        }
        if (i == count) {
            row.kind = RowKind::Total;
            for (const ReportColumn& rc : columns)
                row.texts << grid->totalText(rc.column);
            return row;
        }
        const int r = shown.isEmpty() ? i + 1 : shown[i];
        row.kind = grid->rowKind(r);
        row.record = grid->recordOfRow(r);
        if (row.kind == RowKind::GroupHeader) {
            row.headerText = grid->groupHeaderText(r);
            for (int k = 0; k < columns.size(); ++k)
                row.texts << QString();
        } else {
            if (caption)
                row.headerText = grid->text(r, caption);
            for (const ReportColumn& rc : columns)
                row.texts << grid->text(r, rc.column);
        }
        return row;
    };
    const int rows = count + (total ? 1 : 0);
    if (asNeeded) {
        m.rowAt = std::move(rowAt);
        m.rowCount = rows;
        return m;
    }
    m.rows.reserve(rows);
    for (int i = 0; i < rows; ++i)
        m.rows << rowAt(i);
    return m;
}

}  // namespace grid
