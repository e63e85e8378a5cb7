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
        // As these locales show them: with direction marks, with words.
        {"ar_EG", "١٤\u200f/٨\u200f/٢٠٢٧", "date", "2027-08-14"}, {"bg_BG", "14.08.2027 г.", "date", "2027-08-14"},
        {"es_US", "2:30 p.\u00a0m.", "time", "14:30:00"}, {"fr_CA", "14 h 30", "time", "14:30:00"},
        {"nds_DE", "Kl. 14.30", "time", "14:30:00"},
        // Groups of the locale's sizes, parted by any mark people use for
        // the locale's own: apostrophes straight or curly, blanks of any width.
        {"de_CH", "1'500.25", "amount", "1500.25"}, {"de_CH", "1’500.25 CHF", "amount", "1500.25"},
        {"fr_FR", "1\u00a0500,25 €", "amount", "1500.25"}, {"pl_PL", "1\u202f500,25 zł", "amount", "1500.25"},
        {"hu_HU", "2 500 000 Ft", "amount", "2500000"}, {"en_IN", "1,23,456.78", "amount", "123456.78"},
        {"en_IN", "12,3456.78", "amount", ""}, {"hi_IN", "₹-1,500.25", "amount", "-1500.25"},
        {"en_US", "1'500.25", "amount", ""},
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

TEST(RegionalForms, AmountsShowTheirStoredDecimalsInTheLocalesGroupsAndReadBack)
{
    // Each amount of cents from 1 to 8 is stored as the number typed (43 of
    // them came back as 6.5600000000000005 and the like).
    for (int cents = 100; cents <= 800; ++cents) {
        double typed = 0;
        ASSERT_TRUE(regional::readAmount(QString("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QChar('0')), typed));
        EXPECT_EQ(QString::number(ado::convert::roundCurrency(typed), 'g', 17), QString::number(typed, 'g', 17));
    }
    const std::tuple<const char*, qint64, const char*> cases[] = {  // ten-thousandths; "": read back only
        {"en_US", 88750, "$8.875"}, {"en_IN", 123456785000, "₹1,23,45,678.50"},
        {"hu_HU", 25000000000, "2\u00a0500\u00a0000,00\u00a0Ft"}, {"pl_PL", 15002500, "1500,25\u00a0zł"},
        {"de_CH", -15002500, "-1’500.25\u00a0CHF"}, {"ar_EG", -15002500, ""}, {"fa_IR", -15002500, ""},
        {"it_CH", 123456785000, ""}, {"ja_JP", 9223372036854775000, ""},
    };
    for (const auto& [locale, amount, shown] : cases) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const QString text = regional::amountText(amount);
        double back = 0;
        EXPECT_TRUE(regional::readAmount(text, back) && ado::convert::tenThousandths(back) == amount) << locale;
        EXPECT_TRUE(!*shown || text == QString::fromUtf8(shown)) << text.toStdString();
    }
    // A message's example is typed with a keyboard's marks.
    QLocale::setDefault(QLocale("de_CH"));
    const QString how = regional::notANumber(QString());
    QLocale::setDefault(kUS);
    EXPECT_EQ(how, "Please type a number such as 1'234.50, with \".\" before the decimals.");
}

}  // namespace
