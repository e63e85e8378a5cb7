#include "app/startup.h"

#include "app/frmMain.h"
#include "platform/ui/forms.h"
#include "records/modQVDatabase.h"

#include <QApplication>
#include <QTimer>

namespace startup {

int Main()
{
    if (!modQVDatabase::Startup())
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
    modQVDatabase::ReleaseDataFolder();
    return code;
}

}  // namespace startup
