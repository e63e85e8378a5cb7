#include "platform/grid/gridex.h"

#include "platform/grid/cardview.h"
#include "platform/grid/gridmodel.h"
#include "platform/twips.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QTableView>

namespace grid {

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
        table_->setColumnWidth(column - 1, shownWidth(column));
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
        if (s->format != format) {
            s->format = format;
            amountsCache_.clear();
            fitAmounts();
        }
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

}  // namespace grid
