#include "app/modQVDatabase.h"

#include "app/frmMain.h"
#include "platform/settings/settings.h"
#include "platform/ui/messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QRandomGenerator>

#include <sys/random.h>
#include <QTimer>

namespace modQVDatabase {

ado::Connection gConn;
QString gShowTips;
QString gShowWizard;
bool gDataFileFound = false;

namespace {
QString& folder()
{
    static QString f;
    return f;
}
}  // namespace

QString appPath()
{
    if (folder().isEmpty() && QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return folder();
}

void setAppPath(const QString& f)
{
    QString clean = QDir::cleanPath(QDir(f).absolutePath());
    folder() = clean;
}

QString pathIn(const QString& relative) { return appPath() + relative; }

void LocateDataFile()
{
    const QString working = pathIn(kWorkingFile);
    if (QFileInfo::exists(working)) {
        gDataFileFound = true;
        return;
    }
    const QString templ = pathIn(kTemplateFile);
    if (!QFileInfo::exists(templ))
        throw ado::Error(53, QString("File not found: %1").arg(QDir::toNativeSeparators(templ)));
    if (!QFileInfo(working).dir().exists())
        throw ado::Error(76, QString("Path not found: %1").arg(QDir::toNativeSeparators(QFileInfo(working).path())));
    // Copy through a temporary name so a failed copy never leaves half a database.
    const QString temp = working + ".part";
    QFile::remove(temp);
    if (!QFile::copy(templ, temp))
        throw ado::Error(75, QString("Path/File access error: cannot copy %1").arg(QDir::toNativeSeparators(templ)));
    QFile::setPermissions(temp, QFile::permissions(temp) | QFile::WriteOwner | QFile::ReadOwner);
    {
        // A new working database gets its own copy number, which keeps its
        // keys apart from those of any other copy it exchanges replicas with.
        ado::Connection c;
        c.Open(temp);
        c.setCopyNumber(drawCopyNumber());
        c.Close();
    }
    if (!QFile::rename(temp, working)) {
        QFile::remove(temp);
        throw ado::Error(75, QString("Path/File access error: cannot create %1").arg(QDir::toNativeSeparators(working)));
    }
    if (QFileInfo::exists(working))
        gDataFileFound = true;
    const QString old = pathIn(kOldFolder);
    if (QFileInfo(old).isDir()) {
        QDir d(old);
        if (!d.removeRecursively())
            throw ado::Error(75, QString("Path/File access error: cannot delete %1").arg(QDir::toNativeSeparators(old)));
    }
}

int drawCopyNumber()
{
    // From the kernel's own generator: on some processors the hardware
    // generator that Qt's system generator prefers repeats itself, and two
    // copies would then meet on one number far more often than they should.
    static_assert(ado::Connection::kMaxCopyNumber == 0x7FFFFFFF);
    for (;;) {
        quint32 v = 0;
        if (getrandom(&v, sizeof v, 0) != ssize_t(sizeof v)) {
            QFile urandom("/dev/urandom");
            if (!urandom.open(QIODevice::ReadOnly) || urandom.read(reinterpret_cast<char*>(&v), sizeof v) != sizeof v)
                v = QRandomGenerator::system()->generate() ^ quint32(QDateTime::currentMSecsSinceEpoch());
        }
        v &= 0x7FFFFFFF;
        if (v != 0)
            return int(v);
    }
}

void OpenConnection()
{
    gConn.Open(pathIn(kWorkingFile));
    UpgradeDatabase(gConn);
}

void LoadSettings()
{
    using settings::GetSetting;
    using settings::SaveSetting;
    if (GetSetting(kAppName, "Directory", "Install").isEmpty())
        SaveSetting(kAppName, "Directory", "Install", appPath());
    gShowTips = GetSetting(kAppName, "Tips", "ShowTips");
    if (gShowTips.isEmpty()) {
        SaveSetting(kAppName, "Tips", "ShowTips", "Yes");
        gShowTips = "Yes";
    }
    gShowWizard = GetSetting(kAppName, "Wizard", "ShowWizard");
    if (gShowWizard.isEmpty()) {
        SaveSetting(kAppName, "Wizard", "ShowWizard", "Yes");
        gShowWizard = "Yes";
    }
}

bool Startup()
{
    gDataFileFound = false;
    try {
        LocateDataFile();
        if (!gDataFileFound) {
            ui::MsgBox("There appears to be a problem with the installation.  You may need to re-install.  "
                       "No data file was located.",
                       ui::vbCritical | ui::vbOKOnly, "Nuptaro");
            return false;
        }
        OpenConnection();
        LoadSettings();
    } catch (const ado::Error& e) {
        ui::MsgBox(QString("Run-time error '%1':\n\n%2").arg(e.number()).arg(e.description()),
                   ui::vbCritical | ui::vbOKOnly, "Nuptaro");
        return false;
    } catch (const std::exception& e) {
        ui::MsgBox(QString("Run-time error:\n\n%1").arg(QString::fromUtf8(e.what())),
                   ui::vbCritical | ui::vbOKOnly, "Nuptaro");
        return false;
    }
    return true;
}

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
    return QApplication::exec();
}

}  // namespace modQVDatabase
