#include "platform/ado/ado.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace ado::convert {

ColumnKind kindOfDeclaredType(const QString& declared)
{
    const QString t = declared.trimmed().toUpper();
    if (t.isEmpty())
        return ColumnKind::Other;
    if (t.startsWith("DATETIME") || t == "DATE" || t == "TIME")
        return ColumnKind::DateTime;
    if (t.startsWith("YESNO") || t.startsWith("BOOL"))
        return ColumnKind::YesNo;
    if (t.startsWith("CURRENCY") || t.startsWith("MONEY"))
        return ColumnKind::Currency;
    if (t.contains("INT"))
        return ColumnKind::Integer;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUMERIC"))
        return ColumnKind::Real;
    if (t.contains("TEXT") || t.contains("CHAR") || t.contains("CLOB"))
        return ColumnKind::Text;
    return ColumnKind::Other;
}

QString isoDateTime(const QDateTime& dt)
{
    return dt.toString("yyyy-MM-dd HH:mm:ss");
}

QString isoDate(const QDate& d)
{
    return d.toString("yyyy-MM-dd") + " 00:00:00";
}

namespace {

bool parseTimePart(const QString& text, QTime& out)
{
    static const QRegularExpression re(
        R"(^(\d{1,2})(?::(\d{2}))?(?::(\d{2}))?\s*([AaPp][Mm])?$)");
    const auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    int h = m.captured(1).toInt();
    const int mi = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString ampm = m.captured(4).toUpper();
    // A bare number is not a time.
    if (m.captured(2).isEmpty() && ampm.isEmpty())
        return false;
    if (!ampm.isEmpty()) {
        if (h < 1 || h > 12)
            return false;
        if (ampm == "AM" && h == 12)
            h = 0;
        else if (ampm == "PM" && h != 12)
            h += 12;
    }
    QTime t(h, mi, s);
    if (!t.isValid())
        return false;
    out = t;
    return true;
}

bool parseDatePart(const QString& text, QDate& out)
{
    static const QRegularExpression us(R"(^(\d{1,2})[/-](\d{1,2})[/-](\d{2}|\d{4})$)");
    static const QRegularExpression iso(R"(^(\d{4})[-/](\d{1,2})[-/](\d{1,2})$)");
    QDate d;
    if (auto m = iso.match(text); m.hasMatch()) {
        d = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else if (auto u = us.match(text); u.hasMatch()) {
        int y = u.captured(3).toInt();
        if (u.captured(3).size() == 2)
            y += (y < 30) ? 2000 : 1900;
        d = QDate(y, u.captured(1).toInt(), u.captured(2).toInt());
    }
    if (!d.isValid())
        return false;
    out = d;
    return true;
}

}  // namespace

bool parseDateTime(const QString& textIn, QDateTime& out)
{
    QString text = textIn.trimmed();
    if (text.isEmpty())
        return false;
    text.replace('T', ' ');
    const int sp = text.indexOf(' ');
    QDate d;
    QTime t(0, 0, 0);
    if (sp < 0) {
        if (parseDatePart(text, d)) {
            out = QDateTime(d, t);
            return true;
        }
        if (parseTimePart(text, t)) {
            out = QDateTime(QDate(1899, 12, 30), t);
            return true;
        }
        return false;
    }
    const QString datePart = text.left(sp);
    const QString rest = text.mid(sp + 1).trimmed();
    if (parseDatePart(datePart, d)) {
        if (!parseTimePart(rest, t))
            return false;
        out = QDateTime(d, t);
        return true;
    }
    // "2:30 PM" has its blank inside the time
    if (parseTimePart(text, t)) {
        out = QDateTime(QDate(1899, 12, 30), t);
        return true;
    }
    return false;
}

bool parseNumber(const QString& textIn, double& out)
{
    const QString text = textIn.trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool parseCurrency(const QString& textIn, double& out)
{
    QString text = textIn.trimmed();
    if (text.isEmpty())
        return false;
    bool negative = false;
    if (text.startsWith('(') && text.endsWith(')')) {
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    }
    if (text.startsWith('-')) {
        negative = !negative;
        text = text.mid(1).trimmed();
    }
    if (text.startsWith('$'))
        text = text.mid(1).trimmed();
    // Thousands separators only between groups of three digits.
    static const QRegularExpression grouped(R"(^\d{1,3}(,\d{3})+(\.\d*)?$)");
    if (text.contains(',')) {
        if (!grouped.match(text).hasMatch())
            return false;
        text.remove(',');
    }
    static const QRegularExpression plain(R"(^(\d+(\.\d*)?|\.\d+)$)");
    if (!plain.match(text).hasMatch())
        return false;
    double v = 0;
    if (!parseNumber(text, v))
        return false;
    out = roundCurrency(negative ? -v : v);
    return true;
}

bool parseYesNo(const QString& textIn, bool& out)
{
    const QString t = textIn.trimmed().toLower();
    if (t == "yes" || t == "true" || t == "on" || t == "-1" || t == "1") {
        out = true;
        return true;
    }
    if (t == "no" || t == "false" || t == "off" || t == "0") {
        out = false;
        return true;
    }
    return false;
}

double roundCurrency(double v)
{
    // Whole ten-thousandths, away from zero at the half.
    return std::round(v * 10000.0) / 10000.0;
}

bool toStorage(ColumnKind kind, const QVariant& in, QVariant& out)
{
    if (!in.isValid() || in.isNull()) {
        out = QVariant();
        return true;
    }
    const int type = in.typeId();
    const bool isText = type == QMetaType::QString || type == QMetaType::QByteArray;
    switch (kind) {
    case ColumnKind::Text:
        if (type == QMetaType::QDateTime)
            out = isoDateTime(in.toDateTime());
        else if (type == QMetaType::Bool)
            out = in.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else
            out = in.toString();
        return true;
    case ColumnKind::Other:
        if (type == QMetaType::QDateTime)
            out = isoDateTime(in.toDateTime());
        else if (type == QMetaType::QDate)
            out = isoDate(in.toDate());
        else
            out = in;
        return true;
    case ColumnKind::DateTime: {
        if (type == QMetaType::QDateTime) {
            const QDateTime dt = in.toDateTime();
            if (!dt.isValid())
                return false;
            out = isoDateTime(dt);
            return true;
        }
        if (type == QMetaType::QDate) {
            if (!in.toDate().isValid())
                return false;
            out = isoDate(in.toDate());
            return true;
        }
        if (type == QMetaType::QTime) {
            if (!in.toTime().isValid())
                return false;
            out = isoDateTime(QDateTime(QDate(1899, 12, 30), in.toTime()));
            return true;
        }
        if (isText) {
            if (in.toString().trimmed().isEmpty()) {
                out = QVariant();
                return true;
            }
            QDateTime dt;
            if (!parseDateTime(in.toString(), dt))
                return false;
            out = isoDateTime(dt);
            return true;
        }
        return false;
    }
    case ColumnKind::YesNo: {
        if (type == QMetaType::Bool) {
            out = in.toBool() ? 1 : 0;
            return true;
        }
        if (isText) {
            bool b = false;
            if (!parseYesNo(in.toString(), b))
                return false;
            out = b ? 1 : 0;
            return true;
        }
        bool ok = false;
        const double d = in.toDouble(&ok);
        if (!ok)
            return false;
        out = d != 0 ? 1 : 0;
        return true;
    }
    case ColumnKind::Integer: {
        double d = 0;
        if (type == QMetaType::Bool) {
            out = in.toBool() ? 1 : 0;
            return true;
        }
        if (isText) {
            if (in.toString().trimmed().isEmpty()) {
                out = QVariant();
                return true;
            }
            if (!parseNumber(in.toString(), d))
                return false;
        } else {
            bool ok = false;
            d = in.toDouble(&ok);
            if (!ok)
                return false;
        }
        if (std::fabs(d) > 9.0e15)
            return false;
        out = static_cast<qlonglong>(std::llround(d));
        return true;
    }
    case ColumnKind::Real:
    case ColumnKind::Currency: {
        double d = 0;
        if (isText) {
            if (in.toString().trimmed().isEmpty()) {
                out = QVariant();
                return true;
            }
            if (!parseCurrency(in.toString(), d))
                return false;
        } else {
            bool ok = false;
            d = in.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                return false;
        }
        out = kind == ColumnKind::Currency ? roundCurrency(d) : d;
        return true;
    }
    }
    return false;
}

QVariant fromStorage(ColumnKind kind, const QVariant& stored)
{
    if (!stored.isValid() || stored.isNull())
        return QVariant();
    switch (kind) {
    case ColumnKind::DateTime: {
        QDateTime dt;
        if (stored.typeId() == QMetaType::QString && parseDateTime(stored.toString(), dt))
            return dt;
        return stored;
    }
    case ColumnKind::YesNo:
        return stored.toLongLong() != 0;
    case ColumnKind::Currency:
    case ColumnKind::Real:
        if (stored.typeId() == QMetaType::QString)
            return stored;
        return stored.toDouble();
    case ColumnKind::Integer:
        if (stored.typeId() == QMetaType::Double) {
            const double d = stored.toDouble();
            if (d == std::floor(d))
                return static_cast<qlonglong>(d);
            return d;
        }
        if (stored.typeId() == QMetaType::QString)
            return stored;
        return stored.toLongLong();
    case ColumnKind::Text:
        return stored.toString();
    case ColumnKind::Other:
        return stored;
    }
    return stored;
}

}  // namespace ado::convert
