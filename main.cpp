#include "app/modQVDatabase.h"
#include "platform/ui/boxrules.h"
#include "platform/ui/fonts.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nuptaro");
    fonts::useDesignFonts();
    ui::keepBoxRules();
    const QString folder = modQVDatabase::folderArgument(QApplication::arguments());
    if (!folder.isEmpty())
        modQVDatabase::useFolder(folder);
    return modQVDatabase::Main();
}
