#pragma once
// Help: the program's own help file, shown in a help window, and the maker's
// planning page opened in the web browser.

#include "platform/ui/forms.h"

class QTextBrowser;

namespace HTMLHelp {

// Kind 1: the help file in the program's folder; any other kind: "".
QString GetHelpFile(short kind);
// Shows the table of contents of the help file of that kind. Without a help
// file in the program's folder the copy built into the program is shown.
void ShowHelpContents(short kind);

inline constexpr const char* kHelpFile = "/Nuptaro.html";
inline constexpr const char* kBuiltInHelp = "qrc:/help/Nuptaro.html";

}  // namespace HTMLHelp

namespace webhelp {

inline constexpr const char* kSiteName = "www.nuptaro.example";
inline constexpr const char* kPlanningPage = "https://www.nuptaro.example/planning.asp";

// What the Help menu's web help does: says where it connects, then opens the
// planning page in the web browser; a clear message when that fails.
void OpenPlanningPage(QWidget* owner = nullptr);

}  // namespace webhelp

// The help window.
class frmHelp : public ui::Form<frmHelp, QDialog> {
public:
    frmHelp() : Form("frmHelp") {}
    // The page to show when the window loads.
    QUrl source;
    QTextBrowser* txtContents = nullptr;

    void Form_Load() override;

protected:
    void createControls() override;
    void releaseControls() override { txtContents = nullptr; }
};
