#include "platform/grid/gridex.h"

#include "platform/grid/gridmodel.h"
#include "platform/ui/regional.h"

#include <cmath>
#include <limits>

namespace grid {

// ------------------------------------------------------------------ formats

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

}  // namespace grid
