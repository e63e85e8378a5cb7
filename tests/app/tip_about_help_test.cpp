// Tip of the day, the about box, help and the placeholder setup wizard.

#include "app/frmAbout.h"
#include "app/frmTip.h"
#include "app/help.h"
#include "platform/navbar/explorerbar.h"
#include "platform/ui/desktop.h"
#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QDir>
#include <QSysInfo>
#include <QtEndian>

#include <sqlite3.h>

using modQVDatabase::gShowTips;

namespace {

class TipTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db().Execute("DELETE FROM TIPS");
    }
    void TearDown() override
    {
        frmTip::instance().Unload();
        DbTest::TearDown();
    }
    void tips(const QStringList& texts)
    {
        for (const QString& t : texts)
            db().Execute("INSERT INTO TIPS (TIP_TEXT, TIP_SHOWN) VALUES (?, 0)", {t});
    }
    QString shownText() { return frmTip::instance().txtTip->toPlainText(); }
    // Opens the tip window, presses Next Tip `presses` times and returns what
    // it showed each time, then closes it.
    QStringList walk(int presses)
    {
        QStringList seen;
        modal.modal->once("frmTip", [&](ui::FormBase&) {
            frmTip& t = frmTip::instance();
            seen << shownText();
            for (int i = 0; i < presses; ++i) {
                t.cmdNext->click();
                seen << shownText();
            }
            t.cmdClose->click();
        });
        frmTip::instance().Show(ui::vbModal);
        EXPECT_FALSE(frmTip::instance().isLoaded());
        return seen;
    }
    ui::ScriptedModalGuard modal;
};

const QString kDone = frmTip::kAllShown;

}  // namespace

TEST_F(TipTest, WalksTheUnshownTipsAndStartsOver)
{
    const struct {
        QStringList tips;
        int presses;
        QStringList seen;
    } cases[] = {
        {{"A", "B", "C"}, 4, {"A", "B", "C", kDone, "A"}},
        {{"A"}, 3, {"A", kDone, "A", kDone}},
        {{}, 2, {kDone, kDone, kDone}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tips.join(",").toStdString());
        db().Execute("DELETE FROM TIPS");
        tips(c.tips);
        EXPECT_EQ(walk(c.presses), c.seen);
    }
}

TEST_F(TipTest, TheWalkGoesOnAcrossOpeningsFromTheDatabase)
{
    tips({"A", "B", "C"});
    EXPECT_EQ(walk(0), QStringList{"A"});
    EXPECT_EQ(walk(0), QStringList{"B"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM TIPS WHERE TIP_SHOWN = TRUE"), 2);
    EXPECT_EQ(walk(1), (QStringList{"C", kDone}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TIPS WHERE TIP_SHOWN = TRUE"), 0) << "all marks cleared";
    EXPECT_EQ(walk(0), QStringList{"A"});
}

TEST_F(TipTest, AnEmptyTipKeepsTheTextAndIsStillMarked)
{
    db().Execute("INSERT INTO TIPS (TIP_TEXT, TIP_SHOWN) VALUES ('A', 0)");
    db().Execute("INSERT INTO TIPS (TIP_TEXT, TIP_SHOWN) VALUES (NULL, 0)");
    EXPECT_EQ(walk(1), (QStringList{"A", "A"}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TIPS WHERE TIP_SHOWN = FALSE"), 0);
}

TEST_F(TipTest, AMissingTableShowsTheMessageWithoutAnError)
{
    db().Execute("DROP TABLE TIPS");
    EXPECT_EQ(walk(0), QStringList{kDone});
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(TipTest, CheckBoxFollowsAndWritesTheSetting)
{
    const struct {
        const char* setting;
        bool checked;
    } reads[] = {{"Yes", true}, {"yes", false}, {"No", false}, {"", false}};
    for (const auto& r : reads) {
        gShowTips = r.setting;
        frmTip::instance().Load();
        EXPECT_EQ(frmTip::instance().Check1->isChecked(), r.checked) << r.setting;
        frmTip::instance().Unload();
    }

    gShowTips = "Yes";
    frmTip& t = frmTip::instance();
    t.Load();
    t.Check1->click();
    EXPECT_EQ(gShowTips, "No");
    EXPECT_EQ(settings::GetSetting("Nuptaro", "Tips", "ShowTips"), "No");
    EXPECT_TRUE(t.isLoaded()) << "the window stays open";
    t.Check1->click();
    EXPECT_EQ(gShowTips, "Yes");
    EXPECT_EQ(settings::GetSetting("Nuptaro", "Tips", "ShowTips"), "Yes");
}

namespace {

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override { saved = frmAbout::registry(); }
    void TearDown() override
    {
        frmAbout::registry() = saved;
        frmAbout::instance().Unload();
    }
    // A registry holding the given values: key -> (type, bytes).
    void useRegistry(std::map<QString, std::pair<int, QByteArray>> values)
    {
        reads.clear();
        frmAbout::registry() = [this, values](qint32, const QString& key, const QString& value, int& type,
                                              QByteArray& data) {
            reads << key + "|" + value;
            auto it = values.find(key + "|" + value);
            if (it == values.end())
                return false;
            type = it->second.first;
            data = it->second.second;
            return true;
        };
    }
    frmAbout::Registry saved;
    QStringList reads;
    testsupport::ScriptedMessagesGuard messages;
    ui::ScriptedDesktopGuard desktop;
};

const QString kInfo = QString(frmAbout::kInfoKey) + "|PATH";
const QString kLocation = QString(frmAbout::kLocationKey) + "|MSINFO";

}  // namespace

TEST_F(AboutTest, SaysOnlyWhatIsTrueAndSystemInfoShowsTheSystem)
{
    frmAbout::registry() = frmAbout::standardRegistry();
    frmAbout& a = frmAbout::instance();
    a.Show(ui::vbModeless);
    ASSERT_TRUE(testsupport::showActive(a.window()));
    EXPECT_EQ(a.lblVersion->text(),
              QString("Version %1.%2.%3").arg(appversion::kMajor).arg(appversion::kMinor).arg(appversion::kRevision));
    // No reward nobody pays, no address that cannot receive mail.
    for (QLabel* l : {a.lblDescription, a.lblDisclaimer})
        for (const char* untrue : {"@", "$", "reward", ".example"})
            EXPECT_FALSE(l->text().contains(untrue)) << untrue;
    testsupport::click(a.cmdSysInfo);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    const QString info = messages.msgs->shown[0].text;
    EXPECT_EQ(info, frmAbout::systemInformation());
    for (const QString& known : {QString(qVersion()), QString(sqlite3_libversion()),
                                 QDir::toNativeSeparators(modQVDatabase::dataFolder()), QSysInfo::kernelType()})
        EXPECT_TRUE(info.contains(known)) << known.toStdString();
    EXPECT_TRUE(desktop.desktop->started.isEmpty());
    // Enter, with the focus left on System Info, is still OK's.
    ASSERT_EQ(QApplication::focusWidget(), a.cmdSysInfo);
    QTest::keyClick(a.cmdSysInfo, Qt::Key_Return);
    EXPECT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_FALSE(a.isLoaded());
}

TEST_F(AboutTest, SystemInformationTool)
{
    const struct {
        const char* what;
        std::map<QString, std::pair<int, QByteArray>> registry;
        QStringList existing;
        bool starts;
        QStringList started;
        int readsExpected;
        bool message;
    } cases[] = {
        {"first value: second not read", {{kInfo, {1, QByteArray("/opt/info/tool\0", 15)}}, {kLocation, {1, "/x"}}},
         {}, true, {"/opt/info/tool"}, 1, false},
        {"only the folder, tool present", {{kLocation, {1, "/opt/ms"}}}, {"/opt/ms/MSINFO32.EXE"}, true,
         {"/opt/ms/MSINFO32.EXE"}, 2, false},
        {"only the folder, tool missing", {{kLocation, {1, "/opt/ms"}}}, {}, true, {}, 2, true},
        {"nothing registered", {}, {}, true, {}, 2, true},
        {"the tool fails to start", {{kInfo, {1, "/opt/info/tool"}}}, {}, false, {"/opt/info/tool"}, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        useRegistry(c.registry);
        desktop.desktop->started.clear();
        desktop.desktop->existing = c.existing;
        desktop.desktop->startResult = c.starts;
        messages.msgs->shown.clear();
        frmAbout::instance().StartSysInfo();
        EXPECT_EQ(desktop.desktop->started, c.started);
        EXPECT_EQ(reads.size(), c.readsExpected);
        // Without a tool, what the program knows of the system.
        EXPECT_EQ(messages.msgs->texts(), c.message ? QStringList{frmAbout::systemInformation()} : QStringList{});
    }
}

TEST_F(AboutTest, KeyValuesByType)
{
    QByteArray dword(4, '\0');
    qToLittleEndian<quint32>(1234, dword.data());
    useRegistry({{"K|nul", {1, QByteArray("C:\\Tools\0", 9)}},
                 {"K|plain", {1, "C:\\Tools"}},
                 {"K|dword", {4, dword}},
                 {"K|binary", {3, "xyz"}}});
    const struct {
        const char* value;
        bool ok;
        const char* text;
    } cases[] = {
        {"nul", true, "C:\\Tools"},  {"plain", true, "C:\\Tools"}, {"dword", true, "1234"},
        {"binary", true, "before"}, {"missing", false, ""},
    };
    for (const auto& c : cases) {
        QString v = "before";
        EXPECT_EQ(frmAbout::instance().GetKeyValue(frmAbout::HKEY_LOCAL_MACHINE, "K", c.value, v), c.ok) << c.value;
        EXPECT_EQ(v, c.text) << c.value;
    }
}

TEST(Help, HelpFileAndContents)
{
    testsupport::ProgramFolder folder;
    testsupport::ScriptedMessagesGuard messages;
    EXPECT_EQ(HTMLHelp::GetHelpFile(1), folder.path() + "/Nuptaro.html");
    EXPECT_EQ(HTMLHelp::GetHelpFile(0), "");
    EXPECT_EQ(HTMLHelp::GetHelpFile(2), "");

    // No file in the folder: the built-in help describes the program.
    frmHelp& h = frmHelp::instance();
    HTMLHelp::ShowHelpContents(1);
    ASSERT_TRUE(h.isLoaded());
    EXPECT_EQ(h.txtContents->source(), QUrl(HTMLHelp::kBuiltInHelp));
    EXPECT_TRUE(h.txtContents->toPlainText().contains("Nuptaro Help"));
    EXPECT_TRUE(h.txtContents->toPlainText().contains("navigation bar"));
    // The Task Info counts as the bar shows them.
    const QString help = h.txtContents->toPlainText().simplified();
    for (const char* count : {"Tasks Due", "Complete", "Incomplete", "Total Tasks", "day shown in the day calendar"})
        EXPECT_TRUE(help.contains(count)) << count;
    for (const char* wrong : {"overdue", "due today", "each time you enter the", "no text is cut", "program's"})
        EXPECT_FALSE(help.contains(wrong)) << wrong;
    EXPECT_TRUE(help.contains(".local/share/Nuptaro"));

    // A help file of the folder is shown in the open window.
    {
        QFile f(folder.file("/Nuptaro.html"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body>Local help</body></html>");
    }
    HTMLHelp::ShowHelpContents(1);
    EXPECT_TRUE(h.txtContents->toPlainText().contains("Local help"));
    EXPECT_TRUE(messages.msgs->shown.isEmpty());

    HTMLHelp::ShowHelpContents(2);
    EXPECT_EQ(messages.msgs->shown.size(), 1);
    h.Unload();
}

TEST(Help, PlanningPage)
{
    testsupport::ScriptedMessagesGuard messages;
    ui::ScriptedDesktopGuard desktop;
    webhelp::OpenPlanningPage();
    EXPECT_EQ(messages.msgs->texts(), QStringList{QString("Now attempting to connect to at ") + webhelp::kSiteName});
    ASSERT_EQ(desktop.desktop->urls.size(), 1);
    EXPECT_EQ(desktop.desktop->urls[0].path(), "/planning.asp");

    // No browser: one more message that says where to go.
    messages.msgs->shown.clear();
    desktop.desktop->urlResult = false;
    webhelp::OpenPlanningPage();
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_TRUE(messages.msgs->shown[1].text.contains("planning.asp"));
}

namespace {

using TextsTest = testsupport::ShownMainWindowTest<>;

// The captions of the menu items, without their access keys, submenus too.
void menuCaptions(const QList<QAction*>& actions, QStringList& into)
{
    for (QAction* a : actions) {
        into << a->text().remove('&');
        if (a->menu())
            menuCaptions(a->menu()->actions(), into);
    }
}

}  // namespace

TEST_F(TextsTest, TipsAndHelpNameTheCommandsAsTheProgramShowsThem)
{
    frmMain& f = m();
    ASSERT_TRUE(testsupport::showActive(f.window()));
    // What the bar shows in every mode, and the menus.
    QStringList shown;
    for (const char* mode : {"CALENDARMODE", "TASKMODE", "EVENTMODE", "GUESTMODE", "RSVPMODE", "VENDORMODE",
                             "BUDGETMODE", "ATTIREMODE", "GIFTMODE"}) {
        f.ExplorerBarCtlQV1_ItemClick(mode);
        const navbar::ExplorerBar* bar = f.ExplorerBarCtlQV1;
        for (int g = 0; g < bar->groupCount(); ++g)
            for (int i = 0; i < bar->groupAt(g)->itemCount(); ++i)
                shown << bar->groupAt(g)->item(i)->caption();
    }
    menuCaptions(static_cast<QMainWindow*>(f.window())->menuBar()->actions(), shown);

    // The tips of a new wedding, and the help that F1 opens.
    QString said = rows("SELECT TIP_TEXT FROM TIPS").join('\n');
    QTest::keyClick(f.window(), Qt::Key_F1);
    ASSERT_TRUE(frmHelp::instance().isLoaded());
    said += '\n' + frmHelp::instance().txtContents->toPlainText().simplified();
    frmHelp::instance().Unload();

    const char* const commands[] = {"Task Wizard", "Budget Wizard", "Planning Wizard", "Labels", "Placards",
                                    "Seating", "Invite to Events", "RSVP Status", "Import Guests Data",
                                    "Export Guest Data", "Turn into Expense", "Add Guest", "Database", "Autoadd"};
    for (const char* command : commands) {
        EXPECT_TRUE(shown.contains(command)) << command << " is not on the bar or in the menus";
        EXPECT_TRUE(said.contains(command)) << command;
    }
    // Names and claims that are not true of this program.
    for (const char* untrue : {"Add Standard Tasks", "from the guest list", "seating chart", "program's",
                               "ledger", "no text is cut"})
        EXPECT_FALSE(said.contains(untrue, Qt::CaseInsensitive)) << untrue;
}
