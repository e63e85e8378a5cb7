// Start-up: finding or making the working database, and the settings.

#include "support/fixture.h"

#include <QCryptographicHash>

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

TEST(Startup, WorkingFilePresentIsOpenedUnchanged)
{
    ProgramFolder p;
    ScriptedMessagesGuard m;
    QFile::copy(p.file("/data/qvnt04.qvd"), p.file("/data/qvnt03.qvd"));
    {
        ado::Connection c;
        c.Open(p.file("/data/qvnt03.qvd"));
        c.setCopyNumber(5);
        c.Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Keep me')");
    }
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
    ASSERT_TRUE(db::Startup());
    EXPECT_TRUE(QFileInfo::exists(p.file("/data/qvnt03.qvd")));
    EXPECT_FALSE(QFileInfo::exists(p.file("/db")));
    EXPECT_FALSE(QFileInfo::exists(p.file("/data/qvnt03.qvd.part")));
    // The copy has the template's standard data and a copy number of its own.
    EXPECT_GT(db::gConn.scalar("SELECT count(*) FROM STDTASK").toInt(), 0);
    EXPECT_GT(db::gConn.copyNumber(), 0);
    db::gConn.Close();
    EXPECT_EQ(digest(p.file("/data/qvnt04.qvd")), templBefore);
}

TEST(Startup, MissingTemplateOrNonDatabaseEndsWithAMessage)
{
    {
        ProgramFolder p(false);
        ScriptedMessagesGuard m;
        EXPECT_FALSE(db::Startup());
        ASSERT_EQ(m.msgs->shown.size(), 1);
        EXPECT_TRUE(m.msgs->shown[0].text.contains("qvnt04.qvd")) << m.msgs->shown[0].text.toStdString();
        EXPECT_FALSE(m.msgs->shown[0].text.contains("No data file was located"));
        EXPECT_FALSE(db::gConn.isOpen());
    }
    {
        ProgramFolder p;
        ScriptedMessagesGuard m;
        QFile f(p.file("/data/qvnt03.qvd"));
        f.open(QIODevice::WriteOnly);
        f.write("This is a letter, not a database.\n");
        f.close();
        EXPECT_FALSE(db::Startup());
        ASSERT_EQ(m.msgs->shown.size(), 1);
        EXPECT_TRUE(m.msgs->shown[0].text.contains("qvnt03.qvd"));
        EXPECT_EQ(m.msgs->shown[0].style & ui::vbCritical, ui::vbCritical);
        EXPECT_FALSE(db::gConn.isOpen());
        // Nothing was written over the user's file.
        f.open(QIODevice::ReadOnly);
        EXPECT_EQ(f.readAll(), QByteArray("This is a letter, not a database.\n"));
    }
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

}  // namespace
