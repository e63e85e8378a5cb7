#include "app/help.h"

#include "platform/ui/desktop.h"
#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

static void initHelpResources() { Q_INIT_RESOURCE(help); }

namespace HTMLHelp {

QString GetHelpFile(short kind)
{
    if (kind == 1)
        return modQVDatabase::programFile(kHelpFile);
    return QString();
}

void ShowHelpContents(short kind)
{
    const QString file = GetHelpFile(kind);
    if (file.isEmpty()) {
        ui::MsgBox("There is no help file for this topic.", ui::vbExclamation | ui::vbOKOnly);
        return;
    }
    frmHelp& help = frmHelp::instance();
    help.source = QFileInfo(file).isFile() ? QUrl::fromLocalFile(file) : QUrl(kBuiltInHelp);
    if (help.isLoaded())
        help.txtContents->setSource(help.source);
    help.Show(ui::vbModeless);
}

}  // namespace HTMLHelp

namespace webhelp {

void OpenPlanningPage(QWidget* owner)
{
    ui::MsgBox(QString("Now attempting to connect to at ") + kSiteName, ui::vbOKOnly, QString(), owner);
    if (!ui::desktop().openUrl(QUrl(kPlanningPage)))
        ui::MsgBox(QString("The planning page could not be opened.  Please visit %1 in your web browser.")
                       .arg(kPlanningPage),
                   ui::vbExclamation | ui::vbOKOnly, QString(), owner);
}

}  // namespace webhelp

void frmHelp::createControls()
{
    initHelpResources();
    QDialog* w = window();
    w->setWindowTitle("Nuptaro Help");
    w->setWindowFlags(w->windowFlags() | Qt::WindowMinMaxButtonsHint);
    w->resize(640, 560);
    txtContents = new QTextBrowser(w);
    txtContents->setObjectName("txtContents");
    // Links to the web go to the browser; the help's own anchors stay here.
    txtContents->setOpenExternalLinks(true);
    auto* box = new QVBoxLayout(w);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(txtContents);
}

void frmHelp::Form_Load()
{
    if (source.isEmpty())
        source = QUrl(HTMLHelp::kBuiltInHelp);
    txtContents->setSource(source);
}
