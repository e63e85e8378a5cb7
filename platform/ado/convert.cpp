#include "platform/ado/ado.h"

#include <QLocale>
#include <QRegularExpression>

#include <charconv>
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

QDateTime wallClock(const QDate& d, const QTime& t)
{
    return QDateTime(d, t.isValid() ? t : QTime(0, 0), Qt::UTC);
}

QDateTime wallClock(const QDateTime& dt)
{
    if (!dt.isValid())
        return QDateTime();
    return dt.timeSpec() == Qt::UTC ? dt : QDateTime(dt.date(), dt.time(), Qt::UTC);
}

QDateTime now()
{
    return wallClock(QDateTime::currentDateTime());
}

QDate today() { return QDate::currentDate(); }

QString isoDateTime(const QDateTime& dt)
{
    // The date and time as they read, whatever the zone of the value.
    if (!dt.isValid())
        return QString();
    return dt.date().toString("yyyy-MM-dd") + ' ' + dt.time().toString("HH:mm:ss");
}

QString isoDate(const QDate& d)
{
    return d.toString("yyyy-MM-dd") + " 00:00:00";
}

namespace {

bool parseTimePart(const QString& text, QTime& out)
{
    // Minutes and seconds may come without their leading zero: "9:5" is 9:05.
    static const QRegularExpression re(
        R"(^(\d{1,2})(?::(\d{1,2}))?(?::(\d{1,2}))?\s*([AaPp][Mm])?$)");
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
            out = wallClock(d, t);
            return true;
        }
        if (parseTimePart(text, t)) {
            out = wallClock(QDate(1899, 12, 30), t);
            return true;
        }
        return false;
    }
    const QString datePart = text.left(sp);
    const QString rest = text.mid(sp + 1).trimmed();
    if (parseDatePart(datePart, d)) {
        if (!parseTimePart(rest, t))
            return false;
        out = wallClock(d, t);
        return true;
    }
    // "2:30 PM" has its blank inside the time
    if (parseTimePart(text, t)) {
        out = wallClock(QDate(1899, 12, 30), t);
        return true;
    }
    return false;
}

bool parseDate(const QString& text, QDate& out) { return parseDatePart(text.trimmed(), out); }

bool parseTime(const QString& text, QTime& out) { return parseTimePart(text, out); }

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
        // Parentheses are the minus sign; a sign inside them is a typing slip,
        // not a double negative.
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
        if (text.startsWith('-') || text.startsWith('+'))
            return false;
    } else if (text.startsWith('-')) {
        negative = true;
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
    v = roundCurrency(negative ? -v : v);
    if (!currencyFits(v))
        return false;
    out = v;
    return true;
}

QString numberText(double v)
{
    if (!std::isfinite(v))
        return QString();
    if (v == 0)
        return QStringLiteral("0");  // also -0
    return QLocale::c().toString(v, 'f', QLocale::FloatingPointShortest);
}

QString valueText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return numberText(v.toDouble());
    case QMetaType::Float: {
        // The shortest text of the float itself, not of its double (0.1, not 0.100000001).
        const float f = v.toFloat();
        if (!std::isfinite(f))
            return QString();
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, f == 0 ? 0.0f : f, std::chars_format::fixed);
        return QString::fromLatin1(buf, int(r.ptr - buf));
    }
    case QMetaType::QDateTime:
        return isoDateTime(v.toDateTime());
    default:
        return v.toString();
    }
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

bool currencyFits(double v)
{
    // The old engine kept currency as whole ten-thousandths in 64 bits:
    // +-922,337,203,685,477.5807. No double lies between .5 and that limit.
    return std::isfinite(v) && std::fabs(v) <= 922337203685477.5;
}

double roundCurrency(double v)
{
    // Whole ten-thousandths, away from zero at the half. The fraction is
    // rounded apart from the whole part: v * 10000 is not exact for large
    // amounts, and 500000000000000.25 would come back as .1875.
    if (!std::isfinite(v))
        return v;
    const double whole = std::trunc(v);
    return whole + std::round((v - whole) * 10000.0) / 10000.0;
}

bool toStorage(ColumnKind kind, const QVariant& in, QVariant& out)
{
    if (!in.isValid() || in.isNull()) {
        out = QVariant();
        return true;
    }
    const int type = in.typeId();
    const bool isText = type == QMetaType::QString || type == QMetaType::QByteArray;
    // Not a number and the infinities are no value of any column.
    if ((type == QMetaType::Double || type == QMetaType::Float) && !std::isfinite(in.toDouble()))
        return false;
    switch (kind) {
    case ColumnKind::Text:
        if (type == QMetaType::QDateTime && !in.toDateTime().isValid())
            return false;
        if (type == QMetaType::QDateTime)
            out = isoDateTime(in.toDateTime());
        else if (type == QMetaType::Bool)
            out = in.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        else
            out = valueText(in);
        return true;
    case ColumnKind::Other:
        if ((type == QMetaType::QDateTime && !in.toDateTime().isValid())
            || (type == QMetaType::QDate && !in.toDate().isValid()))
            return false;
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
            out = isoDateTime(wallClock(QDate(1899, 12, 30), in.toTime()));
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
        if (!std::isfinite(d) || std::fabs(d) > 9.0e15)
            return false;
        // Halves round to even, as the old engine stored them: 12.5 is 12.
        out = static_cast<qlonglong>(std::nearbyint(d));
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
        if (kind == ColumnKind::Currency) {
            d = roundCurrency(d);
            if (!currencyFits(d))
                return false;
        }
        out = d;
        return true;
    }
    }
    return false;
}

bool isStoredForm(ColumnKind kind, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return true;
    const int type = v.typeId();
    const bool whole = type == QMetaType::LongLong || type == QMetaType::Int;
    const bool real = type == QMetaType::Double;
    switch (kind) {
    case ColumnKind::Integer:
        return whole;
    case ColumnKind::YesNo:
        return whole && (v.toLongLong() == 0 || v.toLongLong() == 1);
    case ColumnKind::Real:
        return whole || (real && std::isfinite(v.toDouble()));
    case ColumnKind::Currency:
        if (whole)
            return std::llabs(v.toLongLong()) <= 922337203685477LL;
        return real && currencyFits(v.toDouble()) && roundCurrency(v.toDouble()) == v.toDouble();
    case ColumnKind::DateTime: {
        if (type != QMetaType::QString)
            return false;
        const QString s = v.toString();
        if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':')
            return false;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
            if (s[i] < '0' || s[i] > '9')
                return false;
        return QDate(s.left(4).toInt(), s.mid(5, 2).toInt(), s.mid(8, 2).toInt()).isValid()
               && QTime::isValid(s.mid(11, 2).toInt(), s.mid(14, 2).toInt(), s.mid(17, 2).toInt());
    }
    case ColumnKind::Text:
        return type == QMetaType::QString;
    case ColumnKind::Other:
        return true;
    }
    return true;
}

QVariant fromStorage(ColumnKind kind, const QVariant& stored)
{
    if (!stored.isValid() || stored.isNull())
        return QVariant();
    switch (kind) {
    case ColumnKind::DateTime: {
        QDateTime dt;
        if (stored.typeId() == QMetaType::QString && parseDateTime(stored.toString(), dt))
            return dt;  // a wall-clock value (see wallClock)
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
