#include "app/modQVDatabase.h"
#include "platform/ui/fonts.h"
#include "platform/ui/regional.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nuptaro");
    fonts::useDesignFonts();
    regional::useSystemForms();
    const QString folder = modQVDatabase::folderArgument(QApplication::arguments());
    if (!folder.isEmpty())
        modQVDatabase::useFolder(folder);
    return modQVDatabase::Main();
}
