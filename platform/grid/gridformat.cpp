#include "platform/grid/gridex.h"

#include "platform/grid/gridmodel.h"
#include "platform/twips.h"
#include "platform/ui/regional.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTableView>

#include <bitset>
#include <cmath>
#include <limits>

namespace grid {

// ------------------------------------------------------------------ formats

qint64 toTenThousandths(double v) { return ado::convert::tenThousandths(v); }

namespace {

bool isCurrencyFormat(const QString& format) { return format.compare(QLatin1String("Currency"), Qt::CaseInsensitive) == 0; }

bool numericValue(const QVariant& v, double& out)
{
    if (isNumber(v)) {
        out = v.toDouble();
        return true;
    }
    return v.typeId() == QMetaType::QString && ado::convert::parseNumber(v.toString(), out);
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

// ------------------------------------------------------- widths of amounts

bool GridEX::showsAmounts(int column) const
{
    const ColumnSettings* s = col(column);
    return s && (isCurrencyFormat(s->format) || (s->aggregate == agSum && isCurrencyFormat(s->totalFormat)));
}

int GridEX::amountsWidth(int column) const
{
    const ColumnSettings* s = col(column);
    if (!showsAmounts(column) || s->hidden || !rs_ || !rs_->isOpen())
        return 0;
    if (amountsCache_.size() != cols_.size())
        amountsCache_ = QVector<qreal>(cols_.size(), -1);
    qreal& rows = amountsCache_[column - 1];
    if (rows < 0)
        rows = widestAmount(column, 0, rs_->RecordCount());
    qreal widest = rows;
    if (s->aggregate != agNone && model_->hasTotalRow()) {
        QFont bold = table_->font();
        bold.setBold(true);
        widest = std::max(widest, QFontMetricsF(bold).horizontalAdvance(totalText(column)));
    }
    // The cell's margins as the delegate paints them, and its grid line.
    const int margin = table_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table_) + 1;
    return int(std::ceil(widest)) + 2 * margin + 2;
}

qreal GridEX::widestAmount(int column, int from, int to) const
{
    // Digits are all of one width, so an amount is as wide as any other of
    // its shape (sign, whole digits, decimals): one of each shape is measured.
    const QFontMetricsF fm(table_->font());
    const QString& format = cols_[column - 1].format;
    std::bitset<2 * 20 * 3> shapes;
    qreal widest = 0;
    for (int r = from; r < to; ++r) {
        const QVariant v = rs_->cell(r, column - 1);
        double d = 0;
        if (v.typeId() != QMetaType::Bool && numericValue(v, d) && ado::convert::currencyFits(d)) {
            const qint64 t = ado::convert::tenThousandths(d);
            const quint64 m = t < 0 ? 0 - quint64(t) : quint64(t);
            int digits = 0;
            for (quint64 whole = m / 10000; whole > 0 && digits < 19; whole /= 10)
                ++digits;
            const size_t shape = size_t(((t < 0 ? 20 : 0) + digits) * 3 + (m % 10 ? 2 : m % 100 ? 1 : 0));
            if (shapes.test(shape))
                continue;
            shapes.set(shape);
        } else if (!v.isValid() || v.isNull()) {
            continue;
        }
        widest = std::max(widest, fm.horizontalAdvance(formatValue(v, format)));
    }
    return widest;
}

int GridEX::shownWidth(int column) const
{
    const ColumnSettings* s = col(column);
    if (!s)
        return 0;
    const int set = s->widthTwips >= 0 ? twipsToPixels(s->widthTwips) : table_->horizontalHeader()->defaultSectionSize();
    return std::max(set, amountsWidth(column));
}

void GridEX::fitAmounts(int record)
{
    // A record changed: its amounts may be wider than the widest before.
    for (int c = 1; record >= 0 && c <= amountsCache_.size(); ++c)
        if (amountsCache_[c - 1] >= 0)
            amountsCache_[c - 1] = std::max(amountsCache_[c - 1], widestAmount(c, record, record + 1));
    const QScopedValueRollback<bool> guard(applyingColumns_, true);
    for (int c = 1; c <= cols_.size(); ++c) {
        if (cols_[c - 1].hidden || !showsAmounts(c))
            continue;
        const int width = shownWidth(c);
        if (table_->columnWidth(c - 1) != width) {
            table_->setColumnWidth(c - 1, width);
            emit model_->headerDataChanged(Qt::Horizontal, c - 1, c - 1);
        }
    }
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
        fitAmounts();
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
        fitAmounts();
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

}  // namespace grid
