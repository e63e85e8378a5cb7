#include "app/modQVDatabase.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nuptaro");
    const QStringList args = QApplication::arguments();
    const int i = args.indexOf("--folder");
    if (i >= 0 && i + 1 < args.size())
        modQVDatabase::setAppPath(args[i + 1]);
    return modQVDatabase::Main();
}
