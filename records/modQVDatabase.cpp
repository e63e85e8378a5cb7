#include "records/modQVDatabase.h"

#include "platform/files.h"
#include "platform/settings/settings.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>
#include <QStandardPaths>

#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace modQVDatabase {

ado::Connection gConn;
QString gShowTips;
QString gShowWizard;
bool gDataFileFound = false;

namespace {

QString& oneFolder()
{
    static QString f;
    return f;
}

std::unique_ptr<QLockFile>& heldLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

fs::path fsPath(const QString& p) { return fs::path(QFile::encodeName(p).toStdString()); }

QString errorText(const std::error_code& ec) { return QString::fromLocal8Bit(ec.message().c_str()); }

// Whether the file's permission bits let anyone write it. The owner's
// access alone is not enough: the superuser may write any file, yet a file
// the user marked read-only must not be changed under their hands.
bool markedWritable(const QString& path)
{
    const QFileInfo fi(path);
    const auto any = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return fi.isWritable() && (fi.permissions() & any);
}

// The tables a database is missing of those the program needs.
QStringList missingTables(ado::Connection& c)
{
    QStringList missing;
    for (const QString& t : requiredTables())
        if (!c.tableExists(t))
            missing << t;
    return missing;
}

QString missingText(const QStringList& missing)
{
    if (missing.size() == requiredTables().size())
        return QStringLiteral("it has none of the planner's tables");
    if (missing.size() > 5)
        return QString("it lacks %1 of the planner's %2 tables (%3, ...)")
            .arg(missing.size())
            .arg(requiredTables().size())
            .arg(missing.mid(0, 5).join(", "));
    return QString("it lacks the table%1 %2").arg(missing.size() > 1 ? "s" : "", missing.join(", "));
}

void removeEntry(const fs::path& p, const fs::file_status& st)
{
    std::error_code ec;
    if (fs::is_directory(st)) {
        // A read-only folder cannot have its entries removed until it may be written.
        fs::permissions(p, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code sec;
            const fs::file_status s = it->symlink_status(sec);
            if (sec)
                throw ado::Error(75, QString("Path/File access error: cannot delete %1: %2")
                                         .arg(native(QString::fromStdString(it->path().string())), errorText(sec)));
            removeEntry(it->path(), s);
        }
        if (ec)
            throw ado::Error(75, QString("Path/File access error: cannot delete %1: %2")
                                     .arg(native(QString::fromStdString(p.string())), errorText(ec)));
    }
    // A link, a file or an emptied folder: removed itself, never what a link names.
    if (!fs::remove(p, ec) && ec)
        throw ado::Error(75, QString("Path/File access error: cannot delete %1: %2")
                                 .arg(native(QString::fromStdString(p.string())), errorText(ec)));
}

}  // namespace

// ---------------------------------------------------------------- folders

QString programFolder()
{
    if (!oneFolder().isEmpty())
        return oneFolder();
    if (!QCoreApplication::instance())
        return QString();
    const QString exeDir = QCoreApplication::applicationDirPath();
    // Installed: bin/nuptaro with its files in share/nuptaro. In the build
    // tree the template lies beside the executable.
    if (QFileInfo::exists(exeDir + kTemplateFile))
        return exeDir;
#ifdef NUPTARO_FILES_FROM_BIN
    const QString installed = QDir::cleanPath(exeDir + "/" NUPTARO_FILES_FROM_BIN);
#else
    const QString installed = QDir::cleanPath(exeDir + "/../share/nuptaro");
#endif
    if (QFileInfo(installed).isDir())
        return installed;
    return exeDir;
}

QString dataFolder()
{
    if (!oneFolder().isEmpty())
        return oneFolder();
    // The AppDataLocation of the application "Nuptaro", whatever name the
    // running application object carries.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + '/' + kAppName;
}

void useFolder(const QString& f)
{
    oneFolder() = f.isEmpty() ? QString() : QDir::cleanPath(QDir(f).absolutePath());
}

QString programFile(const QString& relative) { return programFolder() + relative; }
QString dataFile(const QString& relative) { return dataFolder() + relative; }

QString folderArgument(const QStringList& args)
{
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size())
            return args[i + 1];
        if (args[i].startsWith(QLatin1String("--folder=")))
            return args[i].mid(9);
    }
    return QString();
}

const QStringList& requiredTables()
{
    static const QStringList names = {
        "EVENT", "EVENT_FOOD", "EVENT_DECORATION", "EVENT_MUSIC", "EVENT_PLAYSCRIPT", "TASKS", "APPOINTMENT",
        "OUR_WEDDING", "GUEST", "SUBGUEST", "INVITE", "TABLES", "SEATING", "VENDOR", "QUOTE", "BUDGET", "EXPENSES",
        "ATTIRE", "MEASURE_FEMALE", "MEASURE_MALE", "GIFT", "REGISTRY", "TITLES", "GUESTTYPE", "ASSIGNEE",
        "RSVP_STATUS", "VENDORTYPE", "GIFTSTORE", "GIFT_CATEGORY", "PRIORITY", "BUDGETCATEGORY", "STDEVENT",
        "ATTIRE_TYPE", "STDTASK", "STDBUDGET", "TIPS", "LABELS", "SYNCHRO"};
    return names;
}

void removeFolderInside(const QString& parent, const QString& name)
{
    std::error_code ec;
    const fs::path p = fsPath(parent) / fsPath(name);
    const fs::file_status st = fs::symlink_status(p, ec);
    if (ec || !fs::exists(st))
        return;
    if (fs::is_symlink(st)) {
        removeEntry(p, st);
        return;
    }
    if (!fs::is_directory(st))
        return;
    removeEntry(p, st);
}

// ---------------------------------------------------------------- start-up

void LocateDataFile()
{
    const QString working = dataFile(kWorkingFile);
    if (QFileInfo::exists(working)) {
        gDataFileFound = true;
        return;
    }
    // Earlier builds kept the wedding beside the program (data/qvnt03.qvd in
    // its folder). The first start of this one carries it on from there
    // rather than starting an empty wedding, and leaves that file as it was.
    const QString earlier = programFile(kWorkingFile);
    const bool carryOn = QFileInfo(programFolder()) != QFileInfo(dataFolder()) && QFileInfo(earlier).isFile();
    const QString templ = programFile(kTemplateFile);
    const QString source = carryOn ? earlier : templ;
    if (!carryOn && !QFileInfo(templ).isFile())
        throw ado::Error(53, QString("File not found: %1").arg(native(templ)));
    if (!carryOn && QFileInfo(templ).size() == 0)
        throw ado::Error(75, QString("The template database %1 is empty; it is not a database.  You may need to "
                                     "re-install.")
                                 .arg(native(templ)));
    const auto unusable = [&](const QString& why) {
        return carryOn ? QString("The data file %1, which an earlier version of Nuptaro kept, cannot be used: %2.")
                             .arg(native(earlier), why)
                       : QString("The template database %1 cannot be used: %2.  You may need to re-install.")
                             .arg(native(templ), why);
    };
    const QString folder = QFileInfo(working).path();
    if (!QDir().mkpath(folder))
        throw ado::Error(76, QString("Path not found: %1 could not be created").arg(native(folder)));
    // Copy through a temporary name so a failed copy never leaves half a
    // database, and check the copy before it takes the working name.
    const QString temp = working + ".part";
    QFile::remove(temp);
    if (!QFile::copy(source, temp)) {
        QFile::remove(temp);
        throw ado::Error(75, QString("Path/File access error: cannot copy %1 to %2")
                                 .arg(native(source), native(temp)));
    }
    // It holds names, addresses and phones: as private as the user's umask
    // makes new files, whatever the mode of the file copied.
    files::takeNewFileMode(temp);
    try {
        ado::Connection c;
        try {
            c.Open(temp);
        } catch (const ado::Error& e) {
            // Named as the file copied, not as the temporary copy that failed.
            const bool notDatabase = (e.number() & 0xff) == 26 || (e.number() & 0xff) == 11;
            throw ado::Error(e.number(), unusable(notDatabase ? QString("it is not a database") : e.description()));
        }
        const QStringList missing = missingTables(c);
        if (!missing.isEmpty())
            throw ado::Error(75, unusable(missingText(missing)));
        // A new working database gets its own copy number, which keeps its
        // keys apart from those of any other copy it exchanges replicas with;
        // a wedding carried on keeps the one its keys and replicas carry.
        if (!carryOn)
            c.setCopyNumber(drawCopyNumber());
        c.Close();
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    if (!QFile::rename(temp, working)) {
        QFile::remove(temp);
        throw ado::Error(75, QString("Path/File access error: cannot create %1").arg(native(working)));
    }
    if (QFileInfo::exists(working))
        gDataFileFound = true;
    removeFolderInside(programFolder(), QString(kOldFolder).mid(1));
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
    const QString path = dataFile(kWorkingFile);
    const QFileInfo fi(path);
    if (!fi.isFile())
        throw ado::Error(53, QString("File not found: %1").arg(native(path)));
    if (fi.size() == 0)
        throw ado::Error(75, QString("The data file %1 is empty; it is not a Nuptaro database.").arg(native(path)));
    if (!markedWritable(path))
        throw ado::Error(75, QString("The data file %1 is read-only.  Nuptaro keeps your changes in it: make it "
                                     "writable and start again.")
                                 .arg(native(path)));
    // Beside the file a link names, where SQLite keeps its journal; by the
    // folder's marks, which hold for the superuser too.
    const QString folder = QFileInfo(fi.canonicalFilePath()).path();
    if (!markedWritable(folder))
        throw ado::Error(75, QString("The folder %1 of the data file is read-only.  Nuptaro needs to write beside "
                                     "the data file: make the folder writable and start again.")
                                 .arg(native(folder)));
    gConn.Open(path);
    try {
        if (gConn.isReadOnly())
            throw ado::Error(75, QString("The data file %1 can only be read.  Nuptaro keeps your changes in it: make "
                                         "it writable and start again.")
                                     .arg(native(path)));
        const QStringList missing = missingTables(gConn);
        if (!missing.isEmpty())
            throw ado::Error(75, QString("The data file %1 is not a Nuptaro database: %2.")
                                     .arg(native(path), missingText(missing)));
        // A file of an earlier build gains what this one adds; the write
        // rules of the connection then cover the new tables too.
        const auto objects = [] { return gConn.scalar("SELECT count(*) FROM sqlite_master").toLongLong(); };
        const qlonglong before = objects();
        UpgradeDatabase(gConn);
        if (objects() != before)
            gConn.Open(path);
    } catch (const ado::Error& e) {
        gConn.Close();
        if (ado::isBusy(e))
            throw ado::Error(e.number(), ado::inUseElsewhere(native(path)));
        throw;
    } catch (...) {
        gConn.Close();
        throw;
    }
}

void LoadSettings()
{
    using settings::GetSetting;
    using settings::SaveSetting;
    if (GetSetting(kAppName, "Directory", "Install").isEmpty())
        SaveSetting(kAppName, "Directory", "Install", programFolder());
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

namespace {

// Whether a program on this computer holds the lock file: a QLockFile keeps
// the file locked for as long as it holds it, so a lock nobody holds here
// is free to take.
bool lockedHere(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// The computer a lock file names; "" when it names none that can be read
// (empty, as a power cut leaves it) or names this one.
QString otherComputerOf(QLockFile& lock)
{
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || host.isEmpty() || host == QSysInfo::machineHostName())
        return QString();
    return host;
}

}  // namespace

// The lock lies beside the working file itself: through a link, beside the
// file the link names, so two programs reaching one file by two paths meet.
QString lockFile()
{
    const QFileInfo working(dataFile(kWorkingFile));
    const QString real = working.exists() ? working.canonicalFilePath() : QString();
    return real.isEmpty() ? dataFile(kLockFile) : real + ".lock";
}

bool LockDataFolder()
{
    ReleaseDataFolder();
    const QString path = lockFile();
    const QString folder = QFileInfo(path).path();
    QDir().mkpath(folder);
    // A folder marked read-only is never written, a lock left there
    // included: start-up says what is wrong with the folder.
    if (QFileInfo(folder).isDir() && !markedWritable(folder))
        return true;
    auto lock = std::make_unique<QLockFile>(path);
    // Held for the whole run, so never taken for stale by its age: only when
    // no program holds it.
    lock->setStaleLockTime(0);
    const QString file = native(QFileInfo(path).path() + '/' + QFileInfo(path).completeBaseName());
    const auto alreadyOpen = [&](const QString& computer) {
        ui::MsgBox(QString("Nuptaro is already open with this wedding (the data file %1%2).  Use the Nuptaro window "
                           "that is open, or close it and start Nuptaro again.")
                       .arg(file, computer.isEmpty() ? QString() : " on the computer " + computer),
                   ui::vbExclamation | ui::vbOKOnly, "Nuptaro");
        return false;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (lock->tryLock(0)) {
            heldLock() = std::move(lock);
            return true;
        }
        if (lock->error() != QLockFile::LockFailedError)
            return true;  // no lock can be made here; start-up says why
        const QString computer = otherComputerOf(*lock);
        if (lockedHere(path) || (!computer.isEmpty() && attempt > 0))
            return alreadyOpen(computer);
        if (!computer.isEmpty()) {
            const QString since = regional::momentText(ado::convert::wallClock(QFileInfo(path).lastModified()));
            const QString question =
                QString("The wedding's data file %1 is marked as open in Nuptaro on the computer %2 since %3 (by the "
                        "lock file %4).  Two programs working on one wedding would undo each other's changes.\n\n"
                        "If Nuptaro does not use this wedding on %2 (the data folder was restored from a backup, or "
                        "brought from that computer), it can be opened here.  Open the wedding here?")
                    .arg(file, computer, since, native(path));
            if (ui::MsgBox(question, ui::vbYesNo | ui::vbExclamation, "Nuptaro") != ui::vbYes)
                return false;
        } else if (attempt == 0 && QFileInfo(path).size() == 0) {
            // An empty lock is what a power cut leaves, or one a program
            // starting this very moment has not written yet: looked at once
            // more before it is taken over.
            QThread::msleep(200);
            continue;
        }
        // Nobody holds it on this computer: taken over.
        if (!lock->removeStaleLockFile() && QFileInfo::exists(path)) {
            ui::MsgBox(QString("The lock file %1 of the wedding's data file %2 cannot be removed, so Nuptaro cannot "
                               "tell whether another program uses the wedding.  Make the folder %3 writable and start "
                               "Nuptaro again.")
                           .arg(native(path), file, native(folder)),
                       ui::vbCritical | ui::vbOKOnly, "Nuptaro");
            return false;
        }
    }
    return alreadyOpen(QString());
}

void ReleaseDataFolder() { heldLock().reset(); }

bool Startup()
{
    gDataFileFound = false;
    // Two programs on one wedding would refuse each other's saves and
    // change rows under each other's open windows.
    if (!LockDataFolder())
        return false;
    const auto refuse = [](const QString& message) {
        gConn.Close();
        ReleaseDataFolder();
        ui::MsgBox(message, ui::vbCritical | ui::vbOKOnly, "Nuptaro");
        return false;
    };
    try {
        LocateDataFile();
        if (!gDataFileFound)
            return refuse("There appears to be a problem with the installation.  You may need to re-install.  "
                          "No data file was located.");
        OpenConnection();
        LoadSettings();
    } catch (const ado::Error& e) {
        return refuse(QString("Run-time error '%1':\n\n%2").arg(e.number()).arg(e.description()));
    } catch (const std::exception& e) {
        return refuse(QString("Run-time error:\n\n%1").arg(QString::fromUtf8(e.what())));
    }
    return true;
}

}  // namespace modQVDatabase
