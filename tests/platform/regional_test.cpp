// The user's regional forms read from the system, and typed values read in
// forms beyond the three the window tests type in.

#include "platform/ui/regional.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

const QLocale kUS(QLocale::English, QLocale::UnitedStates);

// CTest runs this again with LC_ALL set to de_DE.UTF-8 and to C, saying
// which locale the program is to take in NUPTARO_EXPECT_LOCALE.
TEST(RegionalForms, TheProgramTakesTheSystemsLocaleAndTheUSFormsWhereItHasNone)
{
    const QLocale system = QLocale::system();
    regional::useSystemForms();
    const QString taken = QLocale().name();
    QLocale::setDefault(kUS);
    EXPECT_EQ(taken, system.language() == QLocale::C ? QString("en_US") : system.name());
    const QString expected = qEnvironmentVariable("NUPTARO_EXPECT_LOCALE");
    if (!expected.isEmpty()) {
        EXPECT_EQ(taken, expected);
    }
}

TEST(RegionalForms, TypedValuesReadInTheLocalesForms)
{
    const struct {
        const char* locale;
        const char* typed;
        const char* as;     // "date", "time", "number" or "amount"
        const char* value;  // empty: refused
    } cases[] = {
        // A blank types the French group separator, a narrow no-break space.
        {"fr_FR", "1 234,50 €", "amount", "1234.5"},
        {"fr_FR", "1234.5", "number", ""},
        {"de_DE", "(-5 €)", "amount", ""},
        {"en_US", "1e5", "number", ""},
        // Finnish times take a point; Hungarian dates run year first and
        // end with a point; Korean puts the half of the day first.
        {"fi_FI", "14.30", "time", "14:30:00"},
        {"hu_HU", "27. 8. 14.", "date", "2027-08-14"},
        {"en_GB", "14/8/2027.", "date", ""},
        {"ko_KR", "오후 2:30", "time", "14:30:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.typed);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        const QString as = QString::fromLatin1(c.as);
        QString value;
        if (QDate d; as == "date" && regional::readDate(QString::fromUtf8(c.typed), d))
            value = d.toString(Qt::ISODate);
        else if (QTime t; as == "time" && regional::readTime(QString::fromUtf8(c.typed), t))
            value = t.toString("HH:mm:ss");
        else if (double v = 0; as == "number" && regional::readNumber(QString::fromUtf8(c.typed), v))
            value = QString::number(v, 'g', 12);
        else if (as == "amount" && regional::readAmount(QString::fromUtf8(c.typed), v))
            value = QString::number(v, 'g', 12);
        QLocale::setDefault(kUS);
        EXPECT_EQ(value, QString::fromLatin1(c.value));
    }
}

}  // namespace
