#include "platform/grid/newrow.h"

#include "platform/ado/ignoring.h"
#include "platform/grid/griddelegate.h"
#include "platform/grid/gridmodel.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"

#include <QApplication>

#include <algorithm>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace grid {

namespace {

constexpr char kStandInProperty[] = "nuptaroCustomStandIn";

bool isTypedValue(const QVariant& v)
{
    return v.isValid() && !v.isNull() && !v.toString().isEmpty();
}

// The line's own view: Enter stores the row also when no cell is being edited.
class NewRowView : public QTableView {
public:
    NewRowView(GridEX* g, QWidget* parent) : QTableView(parent), g_(g) {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && state() != EditingState) {
            g_->commitNewRow();
            return;
        }
        QTableView::keyPressEvent(e);
    }
    // A click always starts typing in the cell, at once: the line is for input.
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QTableView::mouseReleaseEvent(e);
        const QModelIndex i = indexAt(e->position().toPoint());
        if (e->button() == Qt::LeftButton && i.isValid() && state() != EditingState)
            edit(i);
    }

private:
    GridEX* g_;
};

// Watches the owner's control of custom columns: Enter stores (and stores
// the new row when the edit was on the new-row line), Tab and Shift+Tab
// store and go on to the next or previous cell, Escape drops, and leaving
// the control stores.
class CustomEditWatch : public QObject {
public:
    CustomEditWatch(GridEX* g) : QObject(g), g_(g) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (ending_ || !g_->customEditOpen())
            return false;
        auto* control = static_cast<QWidget*>(watched);
        auto* moment = qobject_cast<ui::MomentBox*>(control);
        if (e->type() == QEvent::KeyPress) {
            using Hint = QAbstractItemDelegate::EndEditHint;
            const int key = static_cast<QKeyEvent*>(e)->key();
            const bool onNewRow = g_->currentRow() == GridEX::kNewRowLine;
            Hint then = QAbstractItemDelegate::NoHint;
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                then = onNewRow ? QAbstractItemDelegate::SubmitModelCache : QAbstractItemDelegate::NoHint;
            else if (key == Qt::Key_Tab)
                then = QAbstractItemDelegate::EditNextItem;
            else if (key == Qt::Key_Backtab)
                then = QAbstractItemDelegate::EditPreviousItem;
            else if (key != Qt::Key_Escape)
                return false;
            const QScopedValueRollback<bool> guard(ending_, true);
            if (key == Qt::Key_Escape) {
                // What was typed goes without a word, before the focus leaves.
                if (moment)
                    moment->revert();
                g_->endCustomEdit(false);
            } else if (!moment || moment->commit()) {
                g_->endCustomEdit(true, then);
            }
            return true;
        } else if (e->type() == QEvent::FocusOut) {
            // Its own pop-up, or a message over the window, is not leaving it.
            const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
            if (why == Qt::PopupFocusReason || why == Qt::ActiveWindowFocusReason)
                return false;
            QWidget* now = QApplication::focusWidget();
            if (now && (now == control || control->isAncestorOf(now)))
                return false;
            const QScopedValueRollback<bool> guard(ending_, true);
            g_->endCustomEdit(true);
        }
        return false;
    }

private:
    GridEX* g_;
    bool ending_ = false;
};

}  // namespace

// ---------------------------------------------------------------- header

GridHeader::GridHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {}

void GridHeader::setLine(QWidget* line, int height)
{
    line_ = line;
    lineHeight_ = line ? height : 0;
    placeLine();
    updateGeometry();
    emit geometriesChanged();
    viewport()->update();
}

QSize GridHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.rheight() += lineHeight_;
    return s;
}

void GridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    QHeaderView::paintSection(painter, rect.adjusted(0, 0, 0, -lineHeight_), logicalIndex);
}

void GridHeader::resizeEvent(QResizeEvent* e)
{
    QHeaderView::resizeEvent(e);
    placeLine();
}

void GridHeader::placeLine()
{
    if (!line_)
        return;
    line_->setGeometry(0, height() - lineHeight_, width(), lineHeight_);
    line_->raise();
    line_->show();
}

// ---------------------------------------------------------------- stand-in

QWidget* makeCustomStandIn(QWidget* parent, QWidget* control)
{
    auto* w = new QWidget(parent);
    w->setProperty(kStandInProperty, true);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (control)
        w->setFocusProxy(control);
    return w;
}

bool isCustomStandIn(const QWidget* w)
{
    return w && w->property(kStandInProperty).toBool();
}

// ---------------------------------------------------------------- new-row model

NewRowModel::NewRowModel(GridEX* g, QObject* parent) : QAbstractTableModel(parent), g_(g)
{
    values_.resize(g_->columnCount());
}

QVariant NewRowModel::value(int column) const
{
    return column >= 1 && column <= values_.size() ? values_[column - 1] : QVariant();
}

void NewRowModel::setValue(int column, const QVariant& v)
{
    if (column < 1 || column > values_.size())
        return;
    values_[column - 1] = v.typeId() == QMetaType::QString && v.toString().isEmpty() ? QVariant() : v;
    emit dataChanged(index(0, column - 1), index(0, column - 1));
}

bool NewRowModel::anyTyped() const
{
    return std::any_of(values_.begin(), values_.end(), isTypedValue);
}

void NewRowModel::clear()
{
    for (QVariant& v : values_)
        v = QVariant();
    if (!values_.isEmpty())
        emit dataChanged(index(0, 0), index(0, int(values_.size()) - 1));
}

void NewRowModel::resetColumns()
{
    beginResetModel();
    values_ = QVector<QVariant>(g_->columnCount());
    endResetModel();
}

int NewRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

int NewRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(values_.size());
}

QVariant NewRowModel::data(const QModelIndex& idx, int role) const
{
    if (!idx.isValid())
        return {};
    const QVariant v = value(idx.column() + 1);
    if (role == Qt::DisplayRole)
        return formatValue(v, g_->columnFormat(idx.column() + 1));
    if (role == Qt::EditRole)
        return formatValue(v, QString());
    return {};
}

bool NewRowModel::setData(const QModelIndex& idx, const QVariant& value, int role)
{
    if (!idx.isValid() || role != Qt::EditRole)
        return false;
    setValue(idx.column() + 1, value);
    return true;
}

Qt::ItemFlags NewRowModel::flags(const QModelIndex& idx) const
{
    if (!idx.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return g_->isColumnEditable(idx.column() + 1) ? f | Qt::ItemIsEditable : f;
}

bool NewRowModel::submit()
{
    g_->commitNewRow();
    return true;
}

// ---------------------------------------------------------------- new-row line

NewRowLine::NewRowLine(GridEX* g) : QObject(g), g_(g)
{
    model_ = new NewRowModel(g, this);
    delegate_ = new GridDelegate(g);
    delegate_->setParent(this);
    auto* header = static_cast<GridHeader*>(g->table_->horizontalHeader());
    auto* v = new NewRowView(g, header);
    v->setObjectName("newRowLine");
    v->setModel(model_);
    v->setItemDelegate(delegate_);
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setHorizontalScrollMode(g->table_->horizontalScrollMode());
    v->setSelectionBehavior(QAbstractItemView::SelectItems);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked
                       | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    v->setWordWrap(false);
    v->setFrameShape(QFrame::NoFrame);
    v->setTabKeyNavigation(true);
    // Typed as the rows are shown, not in the captions' smaller font.
    v->setFont(g->table_->font());
    const int rowHeight = g->table_->verticalHeader()->defaultSectionSize();
    v->verticalHeader()->setDefaultSectionSize(rowHeight);
    // A tint tells the line for typing from the rows stored.
    QPalette pal = v->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::AlternateBase));
    v->setPalette(pal);
    view_ = v;
    header->setLine(v, rowHeight + 1);

    connect(header, &QHeaderView::sectionResized, v, [this](int logical, int, int size) {
        if (view_ && logical < model_->columnCount())
            view_->setColumnWidth(logical, size);
    });
    connect(header, &QHeaderView::sectionCountChanged, this, [this] { syncColumns(); });
    connect(g->table_->horizontalScrollBar(), &QScrollBar::valueChanged, v->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(g->model_, &QAbstractItemModel::modelReset, this, [this] { modelReset(); });
    // A click on a stored row makes it the current line again.
    connect(g->table_, &QAbstractItemView::pressed, this, [this] { g_->emitCurrentRow(); });
    v->installEventFilter(this);
    g->table_->installEventFilter(this);
    g->table_->viewport()->installEventFilter(this);
    boundTo_ = g->rs_.get();
    table_ = g->table_;
    viewport_ = g->table_->viewport();
    syncColumns();
}

NewRowLine::~NewRowLine()
{
    // The table goes before this line when the whole grid closes.
    if (table_) {
        table_->removeEventFilter(this);
        if (viewport_)
            viewport_->removeEventFilter(this);
        if (auto* header = dynamic_cast<GridHeader*>(table_->horizontalHeader()))
            header->setLine(nullptr, 0);
    }
    delete view_.data();
}

void NewRowLine::modelReset()
{
    // A new recordset (or another field set) starts the line afresh; a
    // rebuild of the same rows keeps what was typed.
    if (g_->rs_.get() != boundTo_ || model_->columnCount() != g_->columnCount()) {
        boundTo_ = g_->rs_.get();
        closeEditor(false);
        model_->resetColumns();
    }
    syncColumns();
}

void NewRowLine::syncColumns()
{
    if (!view_)
        return;
    QHeaderView* h = g_->table_->horizontalHeader();
    for (int i = 0; i < model_->columnCount(); ++i) {
        view_->setColumnHidden(i, h->isSectionHidden(i));
        view_->setColumnWidth(i, h->sectionSize(i));
    }
    view_->horizontalScrollBar()->setValue(g_->table_->horizontalScrollBar()->value());
}

int NewRowLine::firstEditableColumn() const
{
    for (int c = 1; c <= g_->columnCount(); ++c)
        if (g_->isColumnEditable(c))
            return c;
    return 0;
}

void NewRowLine::makeCurrent()
{
    current_ = true;
    g_->table_->selectionModel()->clearSelection();
    if (view_ && !view_->currentIndex().isValid()) {
        const int c = firstEditableColumn();
        if (c > 0)
            view_->setCurrentIndex(model_->index(0, c - 1));
    }
    g_->emitCurrentRow();
}

void NewRowLine::leave()
{
    current_ = false;
    if (view_)
        view_->clearSelection();
}

bool NewRowLine::setValue(int column, const QVariant& v)
{
    if (column < 1 || column > model_->columnCount())
        return false;
    model_->setValue(column, v);
    return true;
}

void NewRowLine::closeEditor(bool store)
{
    QWidget* ed = delegate_->openEditor();
    if (!ed)
        return;
    if (store)
        emit delegate_->commitData(ed);
    emit delegate_->closeEditor(ed, store ? QAbstractItemDelegate::NoHint : QAbstractItemDelegate::RevertModelCache);
}

// Watched objects are compared by address only: the filter also hears the
// table while it is being destroyed, when its members may no longer be called.
bool NewRowLine::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == view_) {
        makeCurrent();
    } else if (watched == g_->table_ && event->type() == QEvent::FocusIn) {
        if (current_) {
            leave();
            g_->emitCurrentRow();
        }
    } else if (watched == viewport_ && event->type() == QEvent::MouseButtonPress) {
        leave();
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- GridEX

void GridEX::setNewRowLine(bool on)
{
    if (on == (newRow_ != nullptr))
        return;
    if (on) {
        newRow_ = new NewRowLine(this);
    } else {
        delete newRow_;
        newRow_ = nullptr;
    }
}

QTableView* GridEX::newRowView() const
{
    return newRow_ ? newRow_->view() : nullptr;
}

bool GridEX::setCurrentValue(int column, const QVariant& v)
{
    const int row = currentRow();
    if (row == kNewRowLine)
        return newRow_ && newRow_->setValue(column, v);
    return editCell(row, column, v);
}

bool GridEX::commitNewRow()
{
    if (!newRow_ || !rs_ || !rs_->isOpen())
        return false;
    newRow_->closeEditor(true);
    if (!newRow_->anyTyped())
        return false;
    if (writeGuard_ && !writeGuard_())
        return false;
    newRow_->makeCurrent();
    emit FillNewRow();
    if (!rs_ || !rs_->isOpen())
        return false;
    const int before = rs_->RecordCount();
    QString why;
    try {
        ado::Connection* conn = rs_->connection();
        if (!conn)
            return false;
        ado::Transaction t(*conn);
        rs_->AddNew();
        for (int c = 1; c <= columnCount(); ++c) {
            const QVariant v = newRow_->value(c);
            if (!isTypedValue(v) || rs_->fieldOrigin(c - 1).isEmpty())
                continue;
            // A text that does not convert leaves its column empty; the rest is stored.
            QVariant typed;
            if (!typedValue(c, v, typed) || !rs_->setValue(c - 1, typed))
                emit editRejected(kNewRowLine, c, v.toString());
        }
        rs_->Update();
        // The added row and its log row are stored together.
        const int added = rs_->RecordCount() - 1;
        for (int i = 0; i < rs_->fieldCount(); ++i) {
            const QString table = rs_->fieldTable(i);
            if (table.isEmpty())
                continue;
            const QVariant key = rs_->rowKey(added, i);
            if (!key.isNull() && changeLog())
                changeLog()(table, key.toLongLong(), 1);
            break;
        }
        t.commit();
    } catch (const ado::Error& e) {
        why = e.description();
    }
    if (!why.isNull()) {
        if (rs_->editMode() != ado::Recordset::EditMode::None)
            rs_->CancelUpdate();
        // The row undone in the database leaves the recordset too.
        if (rs_->RecordCount() != before)
            ado::ignoringErrors([&] { rs_->Requery(); });
        newRow_->makeCurrent();
        ui::MsgBox("The new row could not be saved.\n\n" + why, ui::vbExclamation | ui::vbOKOnly, QString(), this);
        return false;
    }
    newRow_->clear();
    newRow_->makeCurrent();
    return true;
}

void GridEX::setCustomEditControl(QWidget* control)
{
    if (customControl_ && customWatch_)
        customControl_->removeEventFilter(customWatch_);
    customControl_ = control;
    if (!customWatch_)
        customWatch_ = new CustomEditWatch(this);
    if (control)
        control->installEventFilter(customWatch_);
}

bool GridEX::customEditOpen() const
{
    return delegate_->customEditOpen() || (newRow_ && newRow_->delegate()->customEditOpen());
}

void GridEX::endCustomEdit(bool store, QAbstractItemDelegate::EndEditHint then)
{
    GridDelegate* d = delegate_->customEditOpen() ? delegate_
                      : newRow_ && newRow_->delegate()->customEditOpen() ? newRow_->delegate()
                                                                           : nullptr;
    if (!d)
        return;
    QWidget* ed = d->openEditor();
    if (store)
        emit d->commitData(ed);
    emit d->closeEditor(ed, store ? then : QAbstractItemDelegate::RevertModelCache);
}

}  // namespace grid
