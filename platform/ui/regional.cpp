#include "platform/ui/regional.h"

#include <cmath>

namespace regional {

namespace {

QLocale forms() { return QLocale(); }

// A format's runs of one pattern letter, for writing the forms asked for.
template <class Fn>
QString eachRun(const QString& format, Fn&& run)
{
    QString out;
    bool quoted = false;
    for (int i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == '\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        int n = 1;
        while (!quoted && i + n < format.size() && format[i + n] == c)
            ++n;
        out += quoted ? QString(c) : run(c, n);
        i += n;
    }
    return out;
}

// The short date with four-digit years, whatever the locale gives.
QString fourDigitYears(const QString& format)
{
    QString out;
    bool quoted = false;
    for (int i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == '\'')
            quoted = !quoted;
        if (quoted || c != 'y') {
            out += c;
            ++i;
            continue;
        }
        while (i < format.size() && format[i] == 'y')
            ++i;
        out += QStringLiteral("yyyy");
    }
    return out;
}

// The formats of the default locale, made again when it changes: a grid
// writes a date for every cell it paints.
struct Formats {
    QLocale locale;
    QLocale numbers;  // without group separators
    QString date, time, timeWithSeconds;
    // An amount: its currency form with %1 for the digits, its separators.
    QString amount, negativeAmount, point;
};

const Formats& formats()
{
    static Formats f{QLocale::c(), QLocale::c(), {}, {}, {}, {}, {}, {}};
    const QLocale now;
    if (f.date.isEmpty() || f.locale != now) {
        f.locale = f.numbers = now;
        f.numbers.setNumberOptions(now.numberOptions() | QLocale::OmitGroupSeparator);
        f.date = fourDigitYears(now.dateFormat(QLocale::ShortFormat));
        f.time = f.timeWithSeconds = now.timeFormat(QLocale::ShortFormat);
        // A day period Qt cannot write ("Bh:mm" in Taiwan) as its half of the day.
        if (f.time.contains('B') && !f.time.contains('\''))
            f.time = f.timeWithSeconds = f.time.replace('B', QStringLiteral("AP"));
        // Seconds after the minutes, parted from them as the minutes are from the hours.
        const int minutes = int(f.time.indexOf(QStringLiteral("mm")));
        if (minutes > 0)
            f.timeWithSeconds.insert(minutes + 2, f.time[minutes - 1] + QStringLiteral("ss"));
        // The locale's currency form of one, with the digits in place of the one.
        const QString symbol = ado::convert::currencySymbol(now);
        const QString one = now.toString(1.0, 'f', 2);
        const auto form = [&](double v) {
            QString text = now.toCurrencyString(v, symbol, 2);
            const int at = int(text.indexOf(one));
            return at < 0 ? (v < 0 ? QStringLiteral("-") : QString()) + symbol + QStringLiteral("%1")
                          : text.replace(at, one.size(), QStringLiteral("%1"));
        };
        f.amount = form(1.0);
        f.negativeAmount = form(-1.0);
        f.point = now.decimalPoint();
    }
    return f;
}

// A text with the marks a keyboard has in place of those it has not (a
// curly apostrophe, no-break spaces): they read alike.
QString typeable(QString text)
{
    return text.replace(QChar(0x2019), '\'').replace(QChar(0x00A0), ' ').replace(QChar(0x202F), ' ');
}

QString example(const QString& typed, const QString& what, const QString& form, const QString& sample)
{
    const QString how = QStringLiteral("Please type %1 as %2, such as %3.").arg(what, form, typeable(sample));
    return typed.trimmed().isEmpty() ? how : QStringLiteral("\"%1\" is not %2. ").arg(typed.trimmed(), what) + how;
}

}  // namespace

void useSystemForms()
{
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                          : system);
}

QString dateText(const QDate& d)
{
    const Formats& f = formats();
    return d.isValid() ? f.locale.toString(d, f.date) : QString();
}

QString timeText(const QTime& t)
{
    const Formats& f = formats();
    return t.isValid() ? f.locale.toString(t, t.second() ? f.timeWithSeconds : f.time) : QString();
}

QString momentText(const QDateTime& dt)
{
    if (!dt.isValid())
        return QString();
    const QTime t = dt.time();
    const bool midnight = t == QTime(0, 0);
    // A time alone is stored on the day zero of the calendar.
    if (dt.date() == QDate(1899, 12, 30) && !midnight)
        return timeText(t);
    return midnight ? dateText(dt.date()) : dateText(dt.date()) + ' ' + timeText(t);
}

QString numberText(double v)
{
    if (!std::isfinite(v))
        return QString();
    if (v == 0)
        return QStringLiteral("0");  // also -0
    return formats().numbers.toString(v, 'f', QLocale::FloatingPointShortest);
}

QString amountText(qint64 tenThousandths)
{
    // Every stored decimal, so that the amounts shown add up to the total
    // shown; from the exact ten-thousandths, as a double of the largest
    // amounts would lose their last digits.
    const quint64 magnitude = tenThousandths < 0 ? 0 - quint64(tenThousandths) : quint64(tenThousandths);
    const Formats& f = formats();
    QString fraction = QString::number(magnitude % 10000).rightJustified(4, '0');
    while (fraction.size() > 2 && fraction.endsWith('0'))
        fraction.chop(1);
    const QString digits =
        ado::convert::groupedDigits(QString::number(magnitude / 10000), f.locale) + f.point + fraction;
    return (tenThousandths < 0 ? f.negativeAmount : f.amount).arg(digits);
}

QString shownText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return numberText(v.toDouble());
    case QMetaType::Float:
        // The float's own shortest text (0.1, not 0.100000001).
        return numberText(ado::convert::valueText(v).toDouble());
    case QMetaType::QDateTime:
        return momentText(v.toDateTime());
    case QMetaType::QDate:
        return dateText(v.toDate());
    case QMetaType::QTime:
        return timeText(v.toTime());
    default:
        return ado::convert::valueText(v);
    }
}

QString dateForm()
{
    return eachRun(formats().date, [](QChar c, int n) {
        switch (c.unicode()) {
        case 'd':
            return QStringLiteral("DD");
        case 'M':
            return QStringLiteral("MM");
        case 'y':
            return QStringLiteral("YYYY");
        default:
            return QString(n, c);
        }
    });
}

QString timeForm()
{
    return eachRun(formats().time, [](QChar c, int n) {
        switch (c.unicode()) {
        case 'h':
        case 'H':
            return QString(n, 'H');
        case 'm':
            return QStringLiteral("MM");
        case 's':
            return QStringLiteral("SS");
        case 'a':
        case 'A':
            return QStringLiteral("AM/PM");
        case 'p':
        case 'P':
            return QString();  // the P of "AP"
        default:
            return QString(n, c);
        }
    });
}

bool readDate(const QString& text, QDate& out) { return ado::convert::readDate(text, out, forms()); }

bool readTime(const QString& text, QTime& out) { return ado::convert::readTime(text, out, forms()); }

bool readNumber(const QString& text, double& out) { return ado::convert::readNumber(text, out, forms()); }

bool readAmount(const QString& text, double& out) { return ado::convert::readAmount(text, out, forms()); }

bool readValue(ado::ColumnKind kind, const QString& text, QVariant& out)
{
    switch (kind) {
    case ado::ColumnKind::DateTime: {
        QDateTime dt;
        if (!ado::convert::readDateTime(text, dt, forms()))
            return false;
        out = dt;
        return true;
    }
    case ado::ColumnKind::Integer:
    case ado::ColumnKind::Real:
    case ado::ColumnKind::Currency: {
        double v = 0;
        if (!(kind == ado::ColumnKind::Integer ? readNumber(text, v) : readAmount(text, v)))
            return false;
        out = v;
        return true;
    }
    case ado::ColumnKind::YesNo: {
        bool b = false;
        if (!ado::convert::parseYesNo(text, b))
            return false;
        out = b;
        return true;
    }
    case ado::ColumnKind::Text:
    case ado::ColumnKind::Other:
        out = text;
        return true;
    }
    return false;
}

QString notADate(const QString& typed)
{
    return example(typed, QStringLiteral("a date"), dateForm(), dateText(QDate(2027, 8, 14)));
}

QString notATime(const QString& typed)
{
    return example(typed, QStringLiteral("a time of day"), timeForm(), timeText(QTime(14, 30)));
}

QString notANumber(const QString& typed)
{
    const QString sample =
        typeable(ado::convert::groupedDigits(QStringLiteral("1234"), forms()) + forms().decimalPoint() + "50");
    const QString how = QStringLiteral("Please type a number such as %1, with \"%2\" before the decimals.")
                            .arg(sample, forms().decimalPoint());
    return typed.trimmed().isEmpty() ? how : QStringLiteral("\"%1\" is not a number. ").arg(typed.trimmed()) + how;
}

QString refusal(ado::ColumnKind kind, const QString& typed)
{
    switch (kind) {
    case ado::ColumnKind::DateTime:
        return notADate(typed);
    case ado::ColumnKind::YesNo:
        return QStringLiteral("\"%1\" is not Yes or No.").arg(typed.trimmed());
    default:
        return notANumber(typed);
    }
}

}  // namespace regional
