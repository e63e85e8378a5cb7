#include "app/modQVDatabase.h"

#include "app/frmMain.h"
#include "platform/ui/forms.h"

#include <QApplication>
#include <QTimer>

namespace modQVDatabase {

int Main()
{
    if (!Startup())
        return 1;
    frmMain& main = frmMain::instance();
    main.Show(ui::vbModeless);
    // The start-up dialogs come with the first activation; where the desktop
    // never activates the window, they come once the loop runs.
    QTimer::singleShot(0, [&main] {
        if (main.isLoaded() && !main.StartupDialogsShown)
            ui::guarded([&main] { main.Form_Activate(); });
    });
    const int code = QApplication::exec();
    ReleaseDataFolder();
    return code;
}

}  // namespace modQVDatabase
