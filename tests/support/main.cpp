// Test entry point: one QApplication on the offscreen platform for every
// test, and only the design fonts (tests/support/fonts.conf) unless the run
// names another font configuration. Dates and numbers are in the US forms
// whatever the machine's locale; a test of other forms sets its own
// (support/locales.h).

#include "platform/ui/boxrules.h"
#include "platform/ui/fonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("FONTCONFIG_FILE"))
        qputenv("FONTCONFIG_FILE", NUPTARO_FONTCONFIG);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nuptaro");
    fonts::useDesignFonts();
    ui::keepBoxRules();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return RUN_ALL_TESTS();
}
