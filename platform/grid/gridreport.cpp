#include "platform/grid/gridex.h"

#include "platform/grid/gridmodel.h"

namespace grid {

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
        rc.amounts = showsAmounts(c);
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
