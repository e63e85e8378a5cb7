// Start-up: finding or making the working database, and the settings.

#include "support/fixture.h"

#include "app/frmMain.h"
#include "app/startup.h"

#include "records/cascade.h"
#include "records/synchro.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSysInfo>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QApplication>

#include <sqlite3.h>

#include <functional>
#include <memory>

#include <sys/stat.h>

using namespace testsupport;

namespace db = modQVDatabase;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void makeOldFolder(const ProgramFolder& p)
{
    QDir(p.path()).mkpath("db/sub");
    QFile f(p.file("/db/sub/old.mdb"));
    f.open(QIODevice::WriteOnly);
    f.write("old");
    f.close();
    f.setPermissions(QFile::ReadOwner);
}

// A working file made from the template as copy 5, then written by `write`.
void makeWorkingFile(const ProgramFolder& p, const std::function<void(ado::Connection&)>& write)
{
    QFile::copy(p.file("/data/qvnt04.qvd"), p.file("/data/qvnt03.qvd"));
    ado::Connection c;
    c.Open(p.file("/data/qvnt03.qvd"));
    c.setCopyNumber(5);
    write(c);
}

TEST(Startup, WorkingFilePresentIsOpenedUnchanged)
{
    ProgramFolder p;
    ScriptedMessagesGuard m;
    makeWorkingFile(p, [](ado::Connection& c) { c.Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Keep me')"); });
    makeOldFolder(p);
    const QByteArray before = digest(p.file("/data/qvnt03.qvd"));
    const QByteArray templBefore = digest(p.file("/data/qvnt04.qvd"));

    ASSERT_TRUE(db::Startup());
    EXPECT_TRUE(db::gDataFileFound);
    EXPECT_TRUE(m.msgs->shown.isEmpty());
    EXPECT_EQ(db::gConn.scalar("SELECT GUEST_PARTYNAME FROM GUEST").toString(), "Keep me");
    db::gConn.Close();
    EXPECT_EQ(digest(p.file("/data/qvnt03.qvd")), before);
    EXPECT_EQ(digest(p.file("/data/qvnt04.qvd")), templBefore);
    EXPECT_TRUE(QFileInfo::exists(p.file("/db/sub/old.mdb")));
}

TEST(Startup, FirstStartCopiesTheTemplateAndRemovesTheOldFolder)
{
    ProgramFolder p;
    ScriptedMessagesGuard m;
    makeOldFolder(p);
    const QByteArray templBefore = digest(p.file("/data/qvnt04.qvd"));
    // A template anyone may read makes a wedding only the user reads, under
    // the umask that says so.
    ::chmod(QFile::encodeName(p.file("/data/qvnt04.qvd")).constData(), 0644);
    const mode_t umaskBefore = ::umask(077);
    ASSERT_TRUE(db::Startup());
    ::umask(umaskBefore);
    struct stat made {};
    ASSERT_EQ(::stat(QFile::encodeName(p.file("/data/qvnt03.qvd")).constData(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0600u);
    EXPECT_TRUE(QFileInfo::exists(p.file("/data/qvnt03.qvd")));
    EXPECT_FALSE(QFileInfo::exists(p.file("/db")));
    EXPECT_FALSE(QFileInfo::exists(p.file("/data/qvnt03.qvd.part")));
    // The copy has the template's standard data and a copy number of its own.
    EXPECT_GT(db::gConn.scalar("SELECT count(*) FROM STDTASK").toInt(), 0);
    EXPECT_GT(db::gConn.copyNumber(), 0);
    db::gConn.Close();
    EXPECT_EQ(digest(p.file("/data/qvnt04.qvd")), templBefore);
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

bool isLink(const QString& path) { return QFileInfo(path).isSymLink(); }

void sqliteFileWith(const QString& path, const char* sql)
{
    sqlite3* h = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &h);
    sqlite3_exec(h, sql, nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

TEST(Startup, OldFolderLinksAreRemovedAsLinksAndNothingOutsideIsTouched)
{
    // db links to a folder of the user's elsewhere.
    {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        QTemporaryDir elsewhere;
        writeFile(elsewhere.path() + "/letters.txt", "keep");
        QDir(elsewhere.path()).mkpath("photos");
        writeFile(elsewhere.path() + "/photos/1.jpg", "keep");
        ASSERT_TRUE(QFile::link(elsewhere.path(), p.file("/db")));
        ASSERT_TRUE(db::Startup());
        EXPECT_FALSE(isLink(p.file("/db")));
        EXPECT_FALSE(QFileInfo::exists(p.file("/db")));
        EXPECT_TRUE(QFileInfo::exists(elsewhere.path() + "/letters.txt"));
        EXPECT_TRUE(QFileInfo::exists(elsewhere.path() + "/photos/1.jpg"));
    }
    // db links to the data folder itself.
    {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        ASSERT_TRUE(QFile::link(p.file("/data"), p.file("/db")));
        ASSERT_TRUE(db::Startup());
        EXPECT_FALSE(isLink(p.file("/db")));
        EXPECT_TRUE(QFileInfo::exists(p.file("/data/qvnt03.qvd")));
        EXPECT_TRUE(QFileInfo::exists(p.file("/data/qvnt04.qvd")));
        EXPECT_GT(db::gConn.scalar("SELECT count(*) FROM STDTASK").toInt(), 0);
    }
    // A real db folder goes with its contents; links inside it go as links.
    {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        QTemporaryDir elsewhere;
        writeFile(elsewhere.path() + "/keep.txt", "keep");
        makeOldFolder(p);
        ASSERT_TRUE(QFile::link(elsewhere.path(), p.file("/db/sub/outside")));
        ASSERT_TRUE(QFile::link(elsewhere.path() + "/keep.txt", p.file("/db/file-link")));
        ASSERT_TRUE(QFile::link(p.file("/data"), p.file("/db/sub/data-link")));
        QFile::setPermissions(p.file("/db/sub"), QFile::ReadOwner | QFile::ExeOwner);
        ASSERT_TRUE(db::Startup());
        EXPECT_FALSE(QFileInfo::exists(p.file("/db")));
        EXPECT_TRUE(QFileInfo::exists(elsewhere.path() + "/keep.txt"));
        EXPECT_TRUE(QFileInfo::exists(p.file("/data/qvnt03.qvd")));
        EXPECT_TRUE(QFileInfo::exists(p.file("/data/qvnt04.qvd")));
    }
    // A plain file of that name is not a folder and stays.
    {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        writeFile(p.file("/db"), "notes");
        ASSERT_TRUE(db::Startup());
        EXPECT_TRUE(QFileInfo(p.file("/db")).isFile());
    }
}

TEST(Startup, BadWorkingFilesEndStartUpNamingTheFile)
{
    const struct {
        const char* what;
        std::function<void(const QString&)> make;
        const char* says;
    } cases[] = {
        {"a letter", [](const QString& f) { writeFile(f, "This is a letter, not a database.\n"); }, ""},
        {"empty", [](const QString& f) { writeFile(f, QByteArray()); }, "is empty"},
        {"no tables", [](const QString& f) { sqliteFileWith(f, "CREATE TABLE NOTES (TEXT)"); }, "not a Nuptaro database"},
        {"some tables", [](const QString& f) { sqliteFileWith(f, "CREATE TABLE GUEST (GUEST_ID INTEGER PRIMARY KEY)"); },
         "lacks 37 of the planner's 38 tables"},
        {"read-only",
         [](const QString& f) {
             QFile::copy(QStringLiteral(NUPTARO_TEMPLATE), f);
             QFile::setPermissions(f, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
         },
         "is read-only"},
    };
    for (const auto& c : cases) {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        const QString working = p.file("/data/qvnt03.qvd");
        c.make(working);
        const QByteArray before = digest(working);
        // Main ends before any window opens (and, should it open one, the
        // guard ends its event loop rather than the test hanging).
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(2); });
        guard.start(0);
        EXPECT_EQ(startup::Main(), 1) << c.what;
        EXPECT_FALSE(frmMain::instance().isLoaded()) << c.what;
        ASSERT_EQ(m.msgs->shown.size(), 1) << c.what;
        const QString text = m.msgs->shown[0].text;
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(working))) << c.what << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(c.says)) << c.what << ": " << text.toStdString();
        EXPECT_EQ(m.msgs->shown[0].style & ui::vbCritical, ui::vbCritical) << c.what;
        EXPECT_FALSE(db::gConn.isOpen()) << c.what;
        EXPECT_EQ(digest(working), before) << c.what;
        QFile::setPermissions(working, QFile::ReadOwner | QFile::WriteOwner);
    }
}

TEST(Startup, AMissingOrBadTemplateIsReportedUnderItsOwnName)
{
    const struct {
        const char* what;
        std::function<void(const QString&)> make;  // nullptr: no template at all
    } cases[] = {
        {"missing", nullptr},
        {"letter", [](const QString& f) { writeFile(f, "This is a letter, not a database.\n"); }},
        {"empty", [](const QString& f) { writeFile(f, QByteArray()); }},
        {"junk", [](const QString& f) { writeFile(f, QByteArray(8192, 'x')); }},
        {"no tables", [](const QString& f) { sqliteFileWith(f, "CREATE TABLE NOTES (TEXT)"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder p(false);
        ScriptedMessagesGuard m;
        if (c.make)
            c.make(p.file("/data/qvnt04.qvd"));
        EXPECT_FALSE(db::Startup());
        ASSERT_EQ(m.msgs->shown.size(), 1);
        const QString text = m.msgs->shown[0].text;
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(p.file("/data/qvnt04.qvd")))) << text.toStdString();
        EXPECT_FALSE(text.contains(".part")) << text.toStdString();
        EXPECT_FALSE(text.contains("No data file was located")) << text.toStdString();
        EXPECT_FALSE(db::gConn.isOpen());
        EXPECT_EQ(QDir(p.file("/data")).entryList(QDir::Files), c.make ? QStringList{"qvnt04.qvd"} : QStringList{});
    }
}

TEST(Startup, TheUsersDataLivesInTheDataFolderAndTheProgramsFilesWhereTheProgramIs)
{
    QTemporaryDir home;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    settings::useFile(home.path() + "/settings.ini");
    db::useFolder(QString());
    ScriptedMessagesGuard m;
    const QString data = home.path() + "/Nuptaro";
    EXPECT_EQ(db::dataFolder(), data);
    EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), data);
    // In the build tree the program's own files lie beside the executable.
    EXPECT_EQ(db::programFolder(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(db::programFile(db::kTemplateFile), QFileInfo(QStringLiteral(NUPTARO_TEMPLATE)).absoluteFilePath());

    ASSERT_TRUE(db::Startup()) << (m.msgs->shown.isEmpty() ? "" : m.msgs->shown[0].text.toStdString());
    EXPECT_EQ(db::gConn.path(), data + "/data/qvnt03.qvd");
    EXPECT_TRUE(QFileInfo::exists(data + "/data/qvnt03.qvd"));
    EXPECT_FALSE(QFileInfo::exists(QCoreApplication::applicationDirPath() + "/data/qvnt03.qvd"));
    EXPECT_EQ(records::giftPictureFolder(), data + "/data/images/gifts");
    // Replicas and their safety copies are user data too.
    synchro::Prepare(db::gConn);
    EXPECT_TRUE(QFileInfo::exists(data + "/data/synchro.qvd"));
    synchro::Prepare(db::gConn);
    EXPECT_TRUE(QFileInfo::exists(data + "/data/OLD_synchro.qvd"));
    EXPECT_EQ(settings::GetSetting("Nuptaro", "Directory", "Install"), QCoreApplication::applicationDirPath());
    db::gConn.Close();
    db::ReleaseDataFolder();

    // --folder puts both in one folder, in either spelling.
    EXPECT_EQ(db::folderArgument({"nuptaro", "--folder", "/tmp/w"}), "/tmp/w");
    EXPECT_EQ(db::folderArgument({"nuptaro", "--folder=/tmp/w x"}), "/tmp/w x");
    EXPECT_EQ(db::folderArgument({"nuptaro", "--other"}), "");
    db::useFolder(home.path() + "/one");
    EXPECT_EQ(db::programFolder(), home.path() + "/one");
    EXPECT_EQ(db::dataFolder(), home.path() + "/one");

    db::useFolder(QString());
    settings::useFile(QString());
    if (before.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
}

TEST(Startup, SettingsDefaultsAndStoredValues)
{
    struct Case {
        QString storedTips, storedWizard;
        QString tips, wizard;
    };
    const Case cases[] = {
        {"", "", "Yes", "Yes"},
        {"No", "yes", "No", "yes"},
        {"Yes", "No", "Yes", "No"},
    };
    for (const Case& c : cases) {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        if (!c.storedTips.isEmpty())
            settings::SaveSetting("Nuptaro", "Tips", "ShowTips", c.storedTips);
        settings::SaveSetting("Nuptaro", "Wizard", "ShowWizard", c.storedWizard);
        db::LoadSettings();
        EXPECT_EQ(db::gShowTips, c.tips);
        EXPECT_EQ(db::gShowWizard, c.wizard);
        EXPECT_EQ(settings::GetSetting("Nuptaro", "Tips", "ShowTips"), c.tips);
        EXPECT_EQ(settings::GetSetting("Nuptaro", "Wizard", "ShowWizard"), c.wizard);
        EXPECT_EQ(settings::GetSetting("Nuptaro", "Directory", "Install"), p.path());
    }
}

// The built program started on a folder as a user starts it, with a home of
// its own (no setting of the user's is touched) and its messages written
// out rather than waiting for a button.
class Program {
public:
    Program(const QString& folder, const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        env.insert("NUPTARO_UNATTENDED", "1");
        env.insert("LC_ALL", "C");
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(NUPTARO_PROGRAM_DIR) + "/nuptaro", {"--folder", folder});
        EXPECT_TRUE(p.waitForStarted(10000));
    }
    ~Program()
    {
        if (p.state() != QProcess::NotRunning) {
            p.kill();
            p.waitForFinished(10000);
        }
    }
    QProcess p;
};

// Whether the folder's lock names that process, within a while.
bool lockHeldBy(const QString& folder, qint64 pid)
{
    for (QDeadlineTimer t(20000); !t.hasExpired(); QThread::msleep(20)) {
        QFile f(folder + db::kLockFile);
        if (f.open(QIODevice::ReadOnly) && f.readLine().trimmed().toLongLong() == pid)
            return true;
    }
    return false;
}

// A settings file that cannot be read ends start-up naming it, saying that
// it is damaged and what to do, whether or not the values start-up needs
// could be read from it.
TEST(Startup, ADamagedSettingsFileIsNamedWithWhatToDo)
{
    const struct {
        const char* what;
        QByteArray content;
    } cases[] = {
        {"cut off in a section name", "[Tips]\nShowTips=No\n[Wiz"},
        {"a line that is no setting", "[Tips]\nShowTips=No\n[Wizard]\nShowWizard=No\n[Directory]\nInstall=/x\nrubbish\n"},
        {"bytes of another file", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder p;
        ScriptedMessagesGuard m;
        const QString ini = p.file("/settings.ini");
        writeFile(ini, c.content);
        EXPECT_FALSE(db::Startup());
        ASSERT_EQ(m.msgs->shown.size(), 1);
        const QString text = m.msgs->shown[0].text;
        EXPECT_TRUE(text.contains("The settings file " + ini + " is damaged")) << text.toStdString();
        EXPECT_TRUE(text.contains("Delete it, or move it elsewhere, and start Nuptaro again")) << text.toStdString();
        EXPECT_FALSE(text.contains("not readable")) << text.toStdString();
        EXPECT_FALSE(db::gConn.isOpen());
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.content) << "left as it was";
    }
}

}  // namespace

// One program per data folder: a second start on it says so and ends before
// any window, also when this process is the second; a lock left by a killed
// program is taken over. This process's own start-ups never block it.
TEST(Startup, ASecondProgramOnTheSameFolderSaysSoAndEnds)
{
    const struct {
        const char* what;
        bool killFirst;
    } cases[] = {{"the first still runs", false}, {"the first was killed", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder p;
        ScriptedMessagesGuard m;
        // Started here twice, the folder is this process's both times.
        ASSERT_TRUE(db::Startup());
        ASSERT_TRUE(db::Startup());
        db::gConn.Close();
        db::ReleaseDataFolder();

        auto first = std::make_unique<Program>(p.path(), p.path());
        ASSERT_TRUE(lockHeldBy(p.path(), first->p.processId()));
        if (c.killFirst) {
            first->p.kill();
            ASSERT_TRUE(first->p.waitForFinished(10000));
            ASSERT_TRUE(QFileInfo::exists(p.file(db::kLockFile))) << "the killed program left its lock";
        }
        Program second(p.path(), p.path());
        const QString alreadyOpen = QString("Nuptaro is already open with this wedding (the data file %1).")
                                        .arg(QDir::toNativeSeparators(p.file("/data/qvnt03.qvd")));
        if (!c.killFirst) {
            ASSERT_TRUE(second.p.waitForFinished(10000)) << "the second start ends at once";
            EXPECT_EQ(second.p.exitCode(), 1);
            EXPECT_TRUE(QString::fromUtf8(second.p.readAllStandardError()).contains(alreadyOpen));
            EXPECT_EQ(first->p.state(), QProcess::Running);
            continue;
        }
        ASSERT_TRUE(lockHeldBy(p.path(), second.p.processId()));
        EXPECT_EQ(second.p.state(), QProcess::Running);
        // Now a start here is the second one (and, should it open a window,
        // the guard ends its event loop rather than the test hanging).
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(2); });
        guard.start(0);
        EXPECT_EQ(startup::Main(), 1);
        EXPECT_FALSE(frmMain::instance().isLoaded());
        EXPECT_FALSE(db::gConn.isOpen());
        ASSERT_EQ(m.msgs->shown.size(), 1);
        EXPECT_TRUE(m.msgs->shown[0].text.startsWith(alreadyOpen)) << m.msgs->shown[0].text.toStdString();
        EXPECT_FALSE(QString::fromUtf8(second.p.readAllStandardError()).contains("already open"));
    }
}

// What a start finds on the wedding's file is told as it is, naming the
// file: a lock no program holds (empty, as a power cut leaves it) is taken
// over; a lock of another computer names that computer and since when; a
// lock left in a folder marked read-only (which holds for the superuser
// too) gets the folder's own message; a second program reaching the file
// through a link finds the first; a write of another program keeps the
// start out until it is done.
TEST(Startup, WhatHoldsTheWeddingsFileIsToldAsItIs)
{
    // Before the start: the folder it goes to, and a program already there.
    using Setup = std::function<void(ProgramFolder&, QTemporaryDir& elsewhere, QString& folder,
                                     std::unique_ptr<Program>& first)>;
    const struct {
        const char* what;
        Setup before;
        QString says;  // %1 the working file, %2 its folder; "" when the start opens the wedding
    } cases[] = {
        {"an empty lock",
         [](ProgramFolder& p, QTemporaryDir&, QString&, auto&) { writeFile(p.file(db::kLockFile), QByteArray()); },
         ""},
        {"a lock of another computer",
         [](ProgramFolder& p, QTemporaryDir&, QString&, auto&) {
             writeFile(p.file(db::kLockFile), "4242\nnuptaro\nbride-laptop\n");
             QFile f(p.file(db::kLockFile));
             f.open(QIODevice::ReadWrite);
             f.setFileTime(QDateTime(QDate(2026, 3, 14), QTime(10, 30)), QFileDevice::FileModificationTime);
         },
         "The wedding's data file %1 is marked as open in Nuptaro on the computer bride-laptop since 3/14/2026 "
         "10:30 AM"},
        {"a lock left in a read-only folder",
         [](ProgramFolder& p, QTemporaryDir&, QString&, auto&) {
             writeFile(p.file(db::kLockFile), "999999\nnuptaro\n" + QSysInfo::machineHostName().toUtf8() + "\n");
             QFile::setPermissions(p.file("/data"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                        QFile::ExeOther);
         },
         "The folder %2 of the data file is read-only."},
        {"a working file that is a link to one in use",
         [](ProgramFolder& p, QTemporaryDir& elsewhere, QString& folder, std::unique_ptr<Program>& first) {
             QDir(elsewhere.path()).mkpath("data");
             QFile::link(p.file("/data/qvnt03.qvd"), elsewhere.path() + "/data/qvnt03.qvd");
             folder = elsewhere.path();
             first = std::make_unique<Program>(p.path(), p.path());
             EXPECT_TRUE(lockHeldBy(p.path(), first->p.processId()));
         },
         "Nuptaro is already open with this wedding (the data file %1)."},
        {"a write of another program", nullptr,
         "Another program is using the file %1 and keeps it locked for a change of its own.  Try again when it is "
         "done."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder p;
        ScriptedMessagesGuard m;
        ASSERT_TRUE(db::Startup());
        db::gConn.Close();
        db::ReleaseDataFolder();
        QTemporaryDir elsewhere;
        QString folder = p.path();
        std::unique_ptr<Program> first;
        std::unique_ptr<OtherProgramsLock> writing;
        if (c.before)
            c.before(p, elsewhere, folder, first);
        else
            writing = std::make_unique<OtherProgramsLock>(p.file("/data/qvnt03.qvd"), "BEGIN EXCLUSIVE");
        Program start(folder, p.path());
        if (c.says.isEmpty()) {
            EXPECT_TRUE(lockHeldBy(p.path(), start.p.processId()));
            continue;
        }
        ASSERT_TRUE(start.p.waitForFinished(20000));
        EXPECT_EQ(start.p.exitCode(), 1);
        const QString said = QString::fromUtf8(start.p.readAllStandardError());
        const QString file = QDir::toNativeSeparators(p.file("/data/qvnt03.qvd"));
        const QString says =
            QString(c.says).replace("%1", file).replace("%2", QDir::toNativeSeparators(p.file("/data")));
        EXPECT_TRUE(said.contains(says)) << said.toStdString();
        EXPECT_FALSE(said.contains("not a usable database")) << said.toStdString();
        QFile::setPermissions(p.file("/data"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Told that no program uses the wedding on the other computer, a start
    // opens it and takes the lock.
    ProgramFolder p;
    ScriptedMessagesGuard m;
    writeFile(p.file(db::kLockFile), "4242\nnuptaro\nbride-laptop\n");
    m.msgs->answers << ui::vbYes;
    ASSERT_TRUE(db::Startup());
    EXPECT_TRUE(m.msgs->texts().value(0).endsWith("Open the wedding here?"));
    EXPECT_TRUE(lockHeldBy(p.path(), QCoreApplication::applicationPid()));
}

// The statements that look up a party's people, a person's invitations and
// seats, an event's tables and lists, or a vendor's quotes use an index,
// also in a file of an earlier build that had none.
TEST(Startup, PerRecordLookupsUseTheirIndexesAlsoInAnOlderFile)
{
    const struct {
        const char* index;
        const char* sql;
    } cases[] = {
        {"SUBGUEST_GUEST_ID", "SELECT SUBGUEST_ID FROM SUBGUEST WHERE GUEST_ID = ?"},
        {"INVITE_EVENT_ID", "SELECT count(*) FROM INVITE WHERE EVENT_ID = ? AND SUBGUEST_ID = ?"},
        {"INVITE_SUBGUEST_ID", "DELETE FROM INVITE WHERE SUBGUEST_ID = ?"},
        {"TABLES_EVENT_ID", "SELECT TABLE_ID FROM TABLES WHERE EVENT_ID = ?"},
        {"SEATING_TABLE_ID", "DELETE FROM SEATING WHERE TABLE_ID = ?"},
        {"SEATING_SUBGUEST_ID", "SELECT SEATING_ID FROM SEATING WHERE SUBGUEST_ID = ?"},
        {"QUOTE_VENDOR_ID", "SELECT QUOTE_ID FROM QUOTE WHERE VENDOR_ID = ?"},
        {"EVENT_FOOD_EVENT_ID", "SELECT EVENT_FOOD_TEXT FROM EVENT_FOOD WHERE EVENT_ID = ?"},
        {"EVENT_DECORATION_EVENT_ID", "DELETE FROM EVENT_DECORATION WHERE EVENT_ID = ?"},
        {"EVENT_MUSIC_EVENT_ID", "DELETE FROM EVENT_MUSIC WHERE EVENT_ID = ?"},
        {"EVENT_PLAYSCRIPT_EVENT_ID", "DELETE FROM EVENT_PLAYSCRIPT WHERE EVENT_ID = ?"},
    };
    ProgramFolder p;
    ScriptedMessagesGuard m;
    makeWorkingFile(p, [&](ado::Connection& c) {
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (5000001, 'Zoë Ångström')");
        for (const auto& k : cases)
            c.Execute(QString("DROP INDEX %1").arg(k.index));
    });
    ASSERT_TRUE(db::Startup());
    EXPECT_TRUE(m.msgs->shown.isEmpty());
    for (const auto& k : cases) {
        SCOPED_TRACE(k.sql);
        QString plan;
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db::gConn.handle(), QByteArray("EXPLAIN QUERY PLAN ") + k.sql, -1, &st, nullptr),
                  SQLITE_OK);
        while (sqlite3_step(st) == SQLITE_ROW)
            plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3))) + '\n';
        sqlite3_finalize(st);
        EXPECT_TRUE(plan.contains(QString("INDEX %1").arg(k.index))) << plan.toStdString();
    }
    // The records stay as they were.
    EXPECT_EQ(db::gConn.scalar("SELECT GUEST_PARTYNAME FROM GUEST").toString(), "Zoë Ångström");
}

TEST(Startup, AnUpgradeThatCannotReadTheProgramsSchemaSaysSoAndWritesNothing)
{
    ProgramFolder p;
    makeWorkingFile(p, [](ado::Connection& c) { c.Execute("DROP INDEX SUBGUEST_GUEST_ID"); });
    ado::Connection c;
    c.Open(p.file("/data/qvnt03.qvd"));
    const auto hasIndex = [&c] {
        return c.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'SUBGUEST_GUEST_ID'").toInt() == 1;
    };
    // No memory for the in-memory database the schema is read into.
    const sqlite3_int64 soft = sqlite3_soft_heap_limit64(-1);
    const sqlite3_int64 hard = sqlite3_hard_heap_limit64(1);
    QString error;
    try {
        db::UpgradeDatabase(c);
    } catch (const ado::Error& e) {
        error = e.description();
    }
    sqlite3_hard_heap_limit64(hard);
    sqlite3_soft_heap_limit64(soft);
    EXPECT_TRUE(error.contains("The program's own schema cannot be read")) << error.toStdString();
    EXPECT_FALSE(hasIndex());
    // Once it can be read, the same file is brought up to date.
    db::UpgradeDatabase(c);
    EXPECT_TRUE(hasIndex());
}
