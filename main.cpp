#include "app/startup.h"
#include "platform/ui/boxrules.h"
#include "platform/ui/fonts.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/modQVDatabase.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>

namespace {

// With NUPTARO_UNATTENDED set (tests that start the program as a process),
// nobody is there to press a button: each message is written to the
// standard error and answered with OK, or the default answer.
class UnattendedMessages : public ui::ScriptedMessages {
public:
    int show(const ui::Message& m, QWidget* owner) override
    {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(m.title), qUtf8Printable(m.text));
        std::fflush(stderr);
        return ScriptedMessages::show(m, owner);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Nuptaro");
    fonts::useDesignFonts();
    ui::keepBoxRules();
    if (qEnvironmentVariableIsSet("NUPTARO_UNATTENDED"))
        ui::setMessageService(std::make_unique<UnattendedMessages>());
    regional::useSystemForms();
    const QString folder = modQVDatabase::folderArgument(QApplication::arguments());
    if (!folder.isEmpty())
        modQVDatabase::useFolder(folder);
    return startup::Main();
}
