#pragma once
// Tests that run once in each of the users' regional forms: US (8/14/2027,
// 2:30 PM, 1,234.50), British (14/08/2027, 14:30) and German (14.08.2027,
// 1.234,50). The test's parameter is the locale, made the default before
// its fixture sets up; the US forms of the other tests come back after it.

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>
#include <QStringList>

#include <iterator>
#include <string>

namespace testsupport {

inline const char* const kLocales[] = {"en_US", "en_GB", "de_DE"};

// Of a text per locale, "us|gb|de", the one of the default locale; a text
// without "|" is the same in every locale.
inline QString inForms(const QString& texts)
{
    const QStringList each = texts.split('|');
    if (each.size() == 1)
        return texts;
    const QString name = QLocale().name();
    for (int i = 0; i < int(std::size(kLocales)); ++i)
        if (name == QLatin1String(kLocales[i]))
            return each.value(i);
    return each.value(0);
}

template <class Base>
class InLocale : public Base, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QString::fromLatin1(this->GetParam())));
        Base::SetUp();
    }
    void TearDown() override
    {
        Base::TearDown();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
};

inline std::string localeName(const ::testing::TestParamInfo<const char*>& info) { return info.param; }

}  // namespace testsupport

// Runs the TEST_P tests of a suite once per locale, named after it.
#define NUPTARO_IN_EACH_LOCALE(Suite) \
    INSTANTIATE_TEST_SUITE_P(Forms, Suite, ::testing::ValuesIn(testsupport::kLocales), testsupport::localeName)
