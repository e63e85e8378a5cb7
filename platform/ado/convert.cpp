#include "platform/ado/ado.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

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

// The forms of the program's own texts (and of what older copies stored).
const QLocale& usForms()
{
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    return us;
}

bool isAsciiDigit(QChar c) { return c >= '0' && c <= '9'; }

// Digits of other scripts read as the digits they are.
QString asciiDigits(const QString& text)
{
    // By code point: some scripts' digits lie beyond 16 bits (Adlam).
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c >= 128 && QChar::category(c) == QChar::Number_DecimalDigit)
            out += QChar(char16_t('0' + QChar::digitValue(c)));
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

// The stored form "YYYY-MM-DD HH:MM:SS", read without any locale.
bool readStoredForm(const QString& s, QDate& d, QTime& t)
{
    if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' || s[16] != ':')
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
        if (!isAsciiDigit(s[i]))
            return false;
    const auto num = [&s](int at, int n) {
        int v = 0;
        for (int i = at; i < at + n; ++i)
            v = v * 10 + (s[i].unicode() - '0');
        return v;
    };
    d = QDate(num(0, 4), num(5, 2), num(8, 2));
    t = QTime(num(11, 2), num(14, 2), num(17, 2));
    return d.isValid() && t.isValid();
}

// Where the day, the month and the year stand among the three numbers of a
// locale's short date (0 to 2); month, day, year when it cannot be told.
struct DateOrder {
    int day = 1, month = 0, year = 2;
};

DateOrder dateOrder(const QString& format)
{
    int at[3] = {-1, -1, -1};  // d, M, y
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && (c == 'd' || c == 'M' || c == 'y')) {
            int& first = at[c == 'd' ? 0 : c == 'M' ? 1 : 2];
            if (first < 0)
                first = i;
        }
    }
    if (at[0] < 0 || at[1] < 0 || at[2] < 0)
        return {};
    const auto rank = [&at](int k) { return int(at[(k + 1) % 3] < at[k]) + int(at[(k + 2) % 3] < at[k]); };
    return {rank(0), rank(1), rank(2)};
}

// The locale's minus sign (U+2212 in some), never empty.
QString minusSign(const QLocale& forms)
{
    const QString minus = forms.negativeSign();
    return minus.isEmpty() ? QStringLiteral("-") : minus;
}

// The marks that part the numbers of a date: the usual ones and the
// locale's own.
bool isDateMark(QChar c, const QString& format)
{
    if (c == '/' || c == '.' || c == '-')
        return true;
    return !c.isLetterOrNumber() && !c.isSpace() && c != '\'' && c.category() != QChar::Other_Format
           && format.contains(c);
}

// A typed text without the words a locale's format writes around the
// numbers ("14.08.2027 г.", "Kl. 14.30"), its blanks all plain ones.
QString withoutWords(const QString& text, const QString& format)
{
    QString out = text;
    out.replace(QChar(0x00A0), ' ').replace(QChar(0x202F), ' ');
    const QStringList quoted = format.split('\'');
    for (int i = 1; i < quoted.size(); i += 2)
        if (std::any_of(quoted[i].begin(), quoted[i].end(), [](QChar c) { return c.isLetter(); }))
            out.replace(quoted[i], QStringLiteral(" "), Qt::CaseInsensitive);
    return out.simplified();
}

}  // namespace

int fullYear(int twoDigitYear)
{
    const int first = today().year() - 20;
    int year = first - ((first % 100) + 100) % 100 + twoDigitYear;
    if (year < first)
        year += 100;
    return year;
}

bool readDate(const QString& textIn, QDate& out, const QLocale& forms)
{
    const QString format = forms.dateFormat(QLocale::ShortFormat);
    const QString text = withoutWords(asciiDigits(textIn), format);
    QStringList numbers;
    int marks = 0;  // since the last number
    for (int i = 0; i < text.size();) {
        const QChar c = text[i];
        if (isAsciiDigit(c)) {
            if (!numbers.isEmpty() && marks != 1)
                return false;
            const int from = i;
            while (i < text.size() && isAsciiDigit(text[i]))
                ++i;
            numbers << text.mid(from, i - from);
            marks = 0;
            continue;
        }
        // Blanks and direction marks may stand around a mark.
        if (isDateMark(c, format))
            ++marks;
        else if (!c.isSpace() && c.category() != QChar::Other_Format)
            return false;
        if (numbers.isEmpty())
            return false;
        ++i;
    }
    // A mark ends the date only where the locale's does ("2027. 08. 14.").
    const QString trimmedFormat = format.trimmed();
    const bool endMark = !trimmedFormat.isEmpty() && isDateMark(trimmedFormat.back(), format);
    if (numbers.size() != 3 || marks > (endMark ? 1 : 0))
        return false;
    // Four digits first are a year, month and day (2027-08-14).
    const DateOrder order = numbers[0].size() == 4 ? DateOrder{2, 1, 0} : dateOrder(format);
    const QString& y = numbers[order.year];
    if (numbers[order.day].size() > 2 || numbers[order.month].size() > 2 || (y.size() != 2 && y.size() != 4))
        return false;
    const int year = y.size() == 2 ? fullYear(y.toInt()) : y.toInt();
    const QDate d(year, numbers[order.month].toInt(), numbers[order.day].toInt());
    if (!d.isValid())
        return false;
    out = d;
    return true;
}

bool readTime(const QString& textIn, QTime& out, const QLocale& forms)
{
    const QString format = forms.timeFormat(QLocale::ShortFormat);
    QString text = withoutWords(asciiDigits(textIn), format);
    // What the words leave of their points ("Kl. 14.30").
    if (text.startsWith('.'))
        text = text.mid(1).trimmed();
    // AM or PM in English or the locale's words, after the time or before it.
    int half = 0;  // 1 before noon, 2 after
    const QString words[][2] = {{QStringLiteral("AM"), withoutWords(forms.amText(), QString())},
                                {QStringLiteral("PM"), withoutWords(forms.pmText(), QString())}};
    for (int h = 0; h < 2 && !half; ++h)
        for (const QString& w : words[h]) {
            if (w.isEmpty())
                continue;
            if (text.endsWith(w, Qt::CaseInsensitive))
                text.chop(w.size());
            else if (text.startsWith(w, Qt::CaseInsensitive))
                text.remove(0, w.size());
            else
                continue;
            half = h + 1;
            text = text.trimmed();
            break;
        }
    // Hours, minutes and seconds apart by colons or the locale's own mark;
    // minutes and seconds may come without their leading zero ("9:5" is 9:05).
    if (text.endsWith('.') && !half && format.contains('\''))
        text = text.chopped(1).trimmed();   // "14:30 hodź."
    QChar mark = ':';
    for (int i = 0; i + 1 < format.size(); ++i)
        if ((format[i] == 'h' || format[i] == 'H') && format[i + 1] != format[i]) {
            mark = format[i + 1];
            break;
        }
    int parts[3] = {0, 0, 0};
    int count = 0;
    int digits = 0;
    for (const QChar c : text) {
        if (isAsciiDigit(c)) {
            if (count == 0)
                count = 1;
            if (++digits > 2)
                return false;
            parts[count - 1] = parts[count - 1] * 10 + (c.unicode() - '0');
        } else if ((c == ':' || c == mark) && digits > 0 && count < 3) {
            ++count;
            digits = 0;
        } else {
            return false;
        }
    }
    // A bare number is not a time.
    if (digits == 0 || (count == 1 && !half))
        return false;
    int h = parts[0];
    if (half) {
        if (h < 1 || h > 12)
            return false;
        if (half == 1 && h == 12)
            h = 0;
        else if (half == 2 && h != 12)
            h += 12;
    }
    const QTime t(h, parts[1], parts[2]);
    if (!t.isValid())
        return false;
    out = t;
    return true;
}

bool readDateTime(const QString& textIn, QDateTime& out, const QLocale& forms)
{
    const QString text = textIn.trimmed();
    if (text.isEmpty())
        return false;
    QDate d;
    QTime t;
    if (readDate(text, d, forms)) {
        out = wallClock(d);
        return true;
    }
    if (readTime(text, t, forms)) {
        out = wallClock(QDate(1899, 12, 30), t);
        return true;
    }
    // A date, blanks, a time; the date itself may hold blanks.
    for (int i = int(text.size()) - 1; i > 0; --i)
        if (text[i].isSpace() && readTime(text.mid(i + 1), t, forms) && readDate(text.left(i), d, forms)) {
            out = wallClock(d, t);
            return true;
        }
    return false;
}

bool readNumber(const QString& textIn, double& out, const QLocale& forms)
{
    QString text = asciiDigits(textIn).trimmed();
    bool negative = false;
    const QString minus = minusSign(forms);
    if (text.startsWith('-') || text.startsWith(minus)) {
        negative = true;
        text = text.mid(text.startsWith('-') ? 1 : minus.size()).trimmed();
    }
    const QString point = forms.decimalPoint();
    const int at = text.indexOf(point);
    const QString whole = at < 0 ? text : text.left(at);
    const QString fraction = at < 0 ? QString() : text.mid(at + point.size());
    const auto allDigits = [](QStringView s) { return std::all_of(s.begin(), s.end(), isAsciiDigit); };
    if ((whole.isEmpty() && fraction.isEmpty()) || !allDigits(fraction))
        return false;
    QString digits = whole;
    if (!allDigits(whole)) {
        // The marks people part groups with where the locale takes one of
        // them (a keyboard has no curly apostrophe, a spreadsheet gives a
        // no-break space) read as its own.
        static const QString kMarks = QStringLiteral("'\u2019 \u00a0\u202f");
        const QString group = forms.groupSeparator();
        QString grouped = whole;
        if (group.size() == 1 && kMarks.contains(group))
            for (QChar& c : grouped)
                if (kMarks.contains(c))
                    c = group[0];
        const QStringList groups = grouped.split(group);
        const auto sized = [&groups](int first, int rest) {
            const int n = int(groups.size());
            for (int i = 0; i < n; ++i) {
                const int size = int(groups[i].size());
                if (i == n - 1 ? size != first : (i == 0 ? size < 1 || size > rest : size != rest))
                    return false;
            }
            return true;
        };
        const Grouping g = grouping(forms);
        if (group.isEmpty() || groups.size() < 2 || !std::all_of(groups.begin(), groups.end(), allDigits)
            || !(sized(g.first, g.rest) || sized(3, 3)))
            return false;
        digits = groups.join(QString());
    }
    bool ok = false;
    const double v = QLocale::c().toDouble((negative ? "-" : "") + (digits.isEmpty() ? "0" : digits) + '.'
                                               + (fraction.isEmpty() ? "0" : fraction),
                                           &ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

QString currencySymbol(const QLocale& forms)
{
    // Where a locale has no symbol of its own its amounts show the code (CHF).
    const QString symbol = forms.currencySymbol(QLocale::CurrencySymbol);
    return symbol.isEmpty() ? forms.currencySymbol(QLocale::CurrencyIsoCode) : symbol;
}

Grouping grouping(const QLocale& forms)
{
    // Read off the locale's own text of long numbers, once per locale.
    static thread_local QLocale last = QLocale::c();
    static thread_local Grouping known;
    static thread_local bool read = false;
    if (read && forms == last)
        return known;
    Grouping g;
    QLocale grouped = forms;
    grouped.setNumberOptions(forms.numberOptions() & ~QLocale::OmitGroupSeparator);
    const QString group = forms.groupSeparator();
    if (!group.isEmpty()) {
        const QStringList parts = grouped.toString(qlonglong(1234567890)).split(group);
        if (parts.size() >= 2)
            g.first = std::max(1, int(parts.back().size()));
        g.rest = parts.size() >= 3 ? std::max(1, int(parts[parts.size() - 2].size())) : g.first;
        g.least = 1;
        qlonglong ten = 1;
        for (int i = 0; i < g.first; ++i)
            ten *= 10;
        while (g.least < 4 && !grouped.toString(ten).contains(group)) {
            ++g.least;
            ten *= 10;
        }
    }
    last = forms;
    known = g;
    read = true;
    return g;
}

QString groupedDigits(const QString& digits, const QLocale& forms)
{
    const Grouping g = grouping(forms);
    const QString mark = forms.groupSeparator();
    QString out = digits;
    if (mark.isEmpty() || out.size() < g.first + g.least)
        return out;
    for (qsizetype at = out.size() - g.first; at > 0; at -= g.rest)
        out.insert(at, mark);
    return out;
}

bool readAmount(const QString& textIn, double& out, const QLocale& forms)
{
    // Without the direction marks of right-to-left amounts and their parts.
    const auto unmarked = [](const QString& s) {
        QString out;
        for (const QChar c : s)
            if (c.category() != QChar::Other_Format)
                out += c;
        return out.trimmed();
    };
    QString text = unmarked(textIn);
    const QString minus = unmarked(minusSign(forms));
    const auto signed_ = [&](const QString& t) { return t.startsWith('-') || t.startsWith('+') || t.startsWith(minus); };
    bool negative = false;
    if (text.startsWith('(') && text.endsWith(')')) {
        // Parentheses are the minus sign; a sign inside them is a typing slip,
        // not a double negative.
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
        if (signed_(text))
            return false;
    }
    // The currency symbol before or after the number, the minus sign before
    // the symbol or after it (₹-1,500.25 in India).
    const auto takeMinus = [&] {
        if (!negative && (text.startsWith('-') || text.startsWith(minus))) {
            negative = true;
            text = text.mid(text.startsWith('-') ? 1 : minus.size()).trimmed();
        }
    };
    takeMinus();
    const QString symbol = unmarked(currencySymbol(forms));
    if (!symbol.isEmpty()) {
        if (text.startsWith(symbol))
            text = text.mid(symbol.size()).trimmed();
        else if (text.endsWith(symbol))
            text = text.chopped(symbol.size()).trimmed();
    }
    takeMinus();
    double v = 0;
    if (signed_(text) || !readNumber(text, v, forms))
        return false;
    out = negative ? -v : v;
    return true;
}

bool parseDateTime(const QString& textIn, QDateTime& out)
{
    QDate d;
    QTime t;
    if (readStoredForm(textIn, d, t)) {
        out = wallClock(d, t);
        return true;
    }
    QString text = textIn.trimmed();
    text.replace('T', ' ');
    return readDateTime(text, out, usForms());
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

bool parseCurrency(const QString& text, double& out)
{
    double v = 0;
    if (!readAmount(text, v, usForms()))
        return false;
    v = roundCurrency(v);
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
    return currencyFits(v) ? fromTenThousandths(tenThousandths(v)) : v;
}

qint64 tenThousandths(double v)
{
    // The fraction apart from the whole part: v * 10000 is not exact for
    // large amounts, and 500000000000000.25 would come out .256.
    const double whole = std::trunc(v);
    return qint64(whole) * 10000 + std::llround((v - whole) * 10000.0);
}

double fromTenThousandths(qint64 n)
{
    // Both exact below 2^53, so the quotient is the nearest double; beyond,
    // the decimal text is read, which also gives the nearest.
    constexpr qint64 kExact = qint64(1) << 53;
    if (n > -kExact && n < kExact)
        return double(n) / 10000.0;
    const quint64 m = n < 0 ? 0 - quint64(n) : quint64(n);
    const std::string text = (n < 0 ? "-" : "") + std::to_string(m / 10000) + '.'
                             + std::to_string(10000 + m % 10000).substr(1);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
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
        QDate d;
        QTime t;
        return type == QMetaType::QString && readStoredForm(v.toString(), d, t);
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
        if (stored.typeId() == QMetaType::QString)
            return stored;
        // Earlier builds stored 6.56 as 6.5600000000000005.
        return roundCurrency(stored.toDouble());
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
