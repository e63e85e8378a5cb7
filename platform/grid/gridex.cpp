#include "platform/grid/gridex.h"

#include "platform/grid/cardview.h"
#include "platform/grid/clickedit.h"
#include "platform/grid/griddelegate.h"
#include "platform/grid/gridmodel.h"
#include "platform/grid/newrow.h"
#include "platform/twips.h"
#include "platform/ui/messages.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStackedWidget>
#include <QTableView>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace grid {

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
    GridTable(const GridModel* rows, GridDelegate* d, std::function<void(bool done)> keyed,
              std::function<void(const CellRefusal&)> reopen)
        : rows_(rows), delegate_(d), keyed_(std::move(keyed)), reopen_(std::move(reopen))
    {
    }

protected:
    // A key that ends an edit stores it before it moves the row (see
    // GridEX::keyed).
    void keyPressEvent(QKeyEvent* e) override
    {
        keyed_(false);
        QTableView::keyPressEvent(e);
        keyed_(true);
    }

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
    std::function<void(bool done)> keyed_;
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

    table_ = new GridTable(
        model_, delegate_, [this](bool done) { keyed(done); }, [this](const CellRefusal& r) { reopenRefused(r); });
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
    if (!same)
        amountsCache_.clear();
    if (rs_ && !same) {
        connect(rs_.get(), &ado::Recordset::reset, this, [this] {
            amountsCache_.clear();
            rebuild();
        });
        connect(rs_.get(), &ado::Recordset::rowChanged, this, [this](int row) { onRowChanged(row); });
    }
    rebuild();
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
    if (followRecord && moved_.first >= 0 && model_->displayOfRecord(moved_.first) >= 0)
        keep = std::clamp(model_->displayOfRecord(moved_.first) + 1 + moved_.second, 1, std::max(1, rowCount()));
    moved_ = {-1, 0};
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
    fitAmounts(row);
    // An edit that moves the record to another group gathers the rows anew;
    // while an editor is closing, that waits for the event loop.
    if (groupColumn_ > 0 && rs_ && rs_->isOpen()
        && compareGroupValues(rs_->cell(row, groupColumn_ - 1), model_->groupKey(row)) != 0) {
        if (keying_)
            moved_ = {row, 0};
        scheduleRebuild();
        return;
    }
    model_->recordChanged(row);
}

void GridEX::keyed(bool done)
{
    keying_ = !done;
    // A key that ended an edit that regroups (Down, Page Down) moves on from
    // where the regrouping takes the record, not from where it was: the rows
    // it moved are kept for the rebuild.
    if (done && moved_.first >= 0 && rebuildPending_ && model_->displayOfRecord(moved_.first) >= 0)
        moved_.second = currentRow() - model_->displayOfRecord(moved_.first) - 1;
    else if (done)
        moved_ = {-1, 0};
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
    for (int i = 0; i < cols_.size(); ++i) {
        table_->setColumnHidden(i, cols_[i].hidden);
        table_->setColumnWidth(i, shownWidth(i + 1));
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

}  // namespace grid
