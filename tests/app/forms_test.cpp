// The window mechanism: shared instances, variables that outlive the window,
// fresh controls at each load, modeless raise, modal through the service,
// and the common dialogs.

#include "platform/ui/dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ado/ado.h"
#include "support/fixture.h"
#include "support/gui.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QStyle>
#include <QPushButton>
#include <QTest>

namespace {

class frmProbe : public ui::Form<frmProbe, QDialog> {
public:
    frmProbe() : Form("frmProbe") { keepWhileOpen(curMode, curRec); }

    // Public variables, as an opener writes them.
    enum class Mode { None, New, Edit };
    Mode curMode = Mode::None;
    long curRec = 0;

    int loads = 0, unloads = 0;
    bool refuseUnload = false;
    long loadedRec = -1;
    QPushButton* cmdOK = nullptr;

    void Form_Load() override
    {
        ++loads;
        loadedRec = curRec;
    }
    void Form_QueryUnload(bool& cancel, int) override { cancel = refuseUnload; }
    void Form_Unload(bool&) override { ++unloads; }

    void reset()
    {
        refuseUnload = false;
        Unload();
        curMode = Mode::None;
        curRec = 0;
        loads = unloads = 0;
        loadedRec = -1;
    }

protected:
    void createControls() override
    {
        cmdOK = new QPushButton("OK", window());
        QObject::connect(cmdOK, &QPushButton::clicked, window(), [this] { Unload(); });
    }
    void releaseControls() override { cmdOK = nullptr; }
};

using testsupport::flushDeletes;

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { frmProbe::instance().reset(); }
    void TearDown() override
    {
        frmProbe::instance().reset();
        flushDeletes();
    }
    ui::ScriptedModalGuard modal;
    testsupport::ScriptedMessagesGuard messages;
};

}  // namespace

TEST_F(FormsTest, OneInstanceWhoseVariablesOutliveItsControls)
{
    frmProbe& f = frmProbe::instance();
    EXPECT_EQ(&f, &frmProbe::instance());
    EXPECT_FALSE(f.isLoaded());

    f.curMode = frmProbe::Mode::Edit;
    f.curRec = 42;
    f.Load();
    ASSERT_TRUE(f.isLoaded());
    EXPECT_EQ(f.loadedRec, 42);
    QPointer<QPushButton> first = f.cmdOK;
    QPointer<QWidget> firstWindow = f.widget();
    ASSERT_TRUE(first);

    EXPECT_TRUE(f.Unload());
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(f.cmdOK, nullptr);
    EXPECT_EQ(f.widget(), nullptr);
    EXPECT_EQ(f.unloads, 1);
    flushDeletes();
    EXPECT_TRUE(first.isNull()) << "controls are released at unload";
    EXPECT_TRUE(firstWindow.isNull());
    // The variables stay.
    EXPECT_EQ(f.curMode, frmProbe::Mode::Edit);
    EXPECT_EQ(f.curRec, 42);

    f.Load();
    ASSERT_NE(f.cmdOK, nullptr);
    EXPECT_NE(f.cmdOK, first.data());
    EXPECT_EQ(f.loads, 2);
    // Load of a loaded window runs nothing again.
    f.Load();
    EXPECT_EQ(f.loads, 2);
}

TEST_F(FormsTest, ShowingAnOpenWindowRaisesItAndKeepsItsRecord)
{
    frmProbe& f = frmProbe::instance();
    // Opened one way, asked for again either way.
    const struct {
        int first, again;
    } cases[] = {{ui::vbModeless, ui::vbModeless}, {ui::vbModeless, ui::vbModal}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.again);
        f.reset();
        modal.modal->shown.clear();
        f.curMode = frmProbe::Mode::Edit;
        f.curRec = 7;
        f.Show(c.first);
        ASSERT_TRUE(f.isLoaded());
        QPointer<QWidget> w = f.widget();
        EXPECT_TRUE(w->isVisible());

        // A second opener writes another record and shows it again.
        f.curMode = frmProbe::Mode::New;
        f.curRec = 9;
        f.Show(c.again, nullptr);
        EXPECT_EQ(f.loads, 1);
        EXPECT_EQ(f.curMode, frmProbe::Mode::Edit);
        EXPECT_EQ(f.curRec, 7);
        EXPECT_TRUE(modal.modal->shown.isEmpty()) << "no modal loop over an open window";
        EXPECT_EQ(f.widget(), w.data());
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(f.isModal());

        // Once closed, the next opening takes the opener's values.
        f.Unload();
        f.curRec = 9;
        f.Show(ui::vbModeless);
        EXPECT_EQ(f.loadedRec, 9);
    }
}

TEST_F(FormsTest, AWindowThatMovesToAnotherRecordKeepsThatOne)
{
    frmProbe& f = frmProbe::instance();
    f.curMode = frmProbe::Mode::New;
    f.Show(ui::vbModeless);
    // Saved as record 12, it now edits it.
    f.curMode = frmProbe::Mode::Edit;
    f.curRec = 12;
    f.keepVariables();
    f.curMode = frmProbe::Mode::New;
    f.curRec = 0;
    f.Show(ui::vbModal);
    EXPECT_EQ(f.curMode, frmProbe::Mode::Edit);
    EXPECT_EQ(f.curRec, 12);
}

TEST_F(FormsTest, CallsIntoAClosedWindowAreSkipped)
{
    frmProbe& f = frmProbe::instance();
    int calls = 0;
    EXPECT_FALSE(ui::ifLoaded(f, [&](frmProbe&) { ++calls; }));
    EXPECT_EQ(calls, 0);
    f.Load();
    EXPECT_TRUE(ui::ifLoaded(f, [&](frmProbe& w) { w.cmdOK->setText("x"); ++calls; }));
    EXPECT_EQ(calls, 1);
    // Unload of a window that is not loaded does nothing.
    f.Unload();
    EXPECT_TRUE(f.Unload());
    EXPECT_EQ(f.unloads, 1);
}

TEST_F(FormsTest, ScriptedModalNeverBlocks)
{
    frmProbe& f = frmProbe::instance();
    struct Case {
        const char* what;
        std::function<void(ui::FormBase&)> action;
        bool refuse;
        bool loadedAfter;
        bool visibleAfter;
    };
    const Case cases[] = {
        {"no action: unloaded when the modal loop ends", nullptr, false, false, false},
        {"a button that unloads", [](ui::FormBase&) { frmProbe::instance().cmdOK->click(); }, false, false, false},
        {"the window hides itself: stays loaded", [](ui::FormBase& w) { w.Hide(); }, false, true, false},
        {"refuses to unload: hidden, loop ends", nullptr, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        f.reset();
        modal.modal->shown.clear();
        f.refuseUnload = c.refuse;
        if (c.action)
            modal.modal->once("frmProbe", c.action);
        f.Show(ui::vbModal);
        EXPECT_EQ(modal.modal->shown, QStringList{"frmProbe"});
        EXPECT_EQ(f.isLoaded(), c.loadedAfter);
        if (f.isLoaded()) {
            EXPECT_EQ(f.widget()->isVisible(), c.visibleAfter);
        }
        EXPECT_FALSE(f.isModal());
    }
}

TEST_F(FormsTest, ModalActionSeesTheWindowAsModalAndLoaded)
{
    frmProbe& f = frmProbe::instance();
    bool sawModal = false, sawLoaded = false;
    modal.modal->on("frmProbe", [&](ui::FormBase& w) {
        sawModal = w.isModal();
        sawLoaded = w.isLoaded() && w.widget()->isVisible();
    });
    f.Show(ui::vbModal);
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(sawLoaded);
}

TEST_F(FormsTest, CloseBoxAsksTheWindowAndMayBeRefused)
{
    frmProbe& f = frmProbe::instance();
    f.Show(ui::vbModeless);
    f.refuseUnload = true;
    EXPECT_FALSE(f.widget()->close());
    EXPECT_TRUE(f.isLoaded());
    EXPECT_EQ(f.unloads, 0);
    f.refuseUnload = false;
    QPointer<QWidget> w = f.widget();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(f.unloads, 1);
    flushDeletes();
    EXPECT_TRUE(w.isNull());
}

TEST_F(FormsTest, UnloadAllClosesEveryWindowButTheOneKept)
{
    frmProbe& f = frmProbe::instance();
    f.Show(ui::vbModeless);
    EXPECT_TRUE(ui::FormBase::unloadAll());
    EXPECT_FALSE(f.isLoaded());
    f.Show(ui::vbModeless);
    EXPECT_TRUE(ui::FormBase::unloadAll(&f));
    EXPECT_TRUE(f.isLoaded());
}

TEST_F(FormsTest, GuardShowsOneMessageAndGoesOn)
{
    EXPECT_TRUE(ui::guarded([] {}));
    EXPECT_FALSE(ui::guarded([] { throw ado::Error(3021, "Either BOF or EOF is True."); }));
    EXPECT_FALSE(ui::guarded([] { throw std::runtime_error("boom"); }));
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("3021"));
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("Either BOF or EOF is True."));
    EXPECT_TRUE(messages.msgs->shown[1].text.contains("boom"));
}

TEST(Dialogs, FiltersAndDefaultExtensions)
{
    const struct {
        const char* in;
        const char* out;
    } filters[] = {
        {"CSV Files (*.csv)|*.csv", "CSV Files (*.csv)"},
        {"Replica (*.qvd)|*.qvd|All Files (*.*)|*.*", "Replica (*.qvd);;All Files (*.*)"},
        {"Pictures|*.jpg;*.bmp", "Pictures (*.jpg *.bmp)"},
        {"Text (*.txt)", "Text (*.txt)"},
    };
    for (const auto& f : filters)
        EXPECT_EQ(ui::qtFilter(f.in), f.out) << f.in;

    const struct {
        const char* file;
        const char* ext;
        const char* out;
    } names[] = {
        {"/tmp/guests", "csv", "/tmp/guests.csv"},
        {"/tmp/guests", ".csv", "/tmp/guests.csv"},
        {"/tmp/guests.txt", "csv", "/tmp/guests.txt"},
        {"/tmp/my.folder/guests", "csv", "/tmp/my.folder/guests.csv"},
        {"", "csv", ""},
        {"/tmp/guests", "", "/tmp/guests"},
    };
    for (const auto& n : names)
        EXPECT_EQ(ui::withDefaultExtension(n.file, n.ext), n.out) << n.file;
}

TEST(Dialogs, ScriptedAnswersAndCancel)
{
    ui::ScriptedDialogsGuard g;
    g.dialogs->files << "/tmp/out";
    EXPECT_EQ(ui::dialogs().fileDialog({true, "Export", "CSV Files (*.csv)|*.csv", "csv", {}, {}}, nullptr),
              "/tmp/out.csv");
    EXPECT_EQ(ui::GetOpenFile("Import", "CSV Files (*.csv)|*.csv"), "") << "cancel gives an empty name";
    ASSERT_EQ(g.dialogs->fileRequests.size(), 2);
    EXPECT_TRUE(g.dialogs->fileRequests[0].save);
    EXPECT_EQ(g.dialogs->fileRequests[1].title, "Import");
}

namespace {

QProgressDialog* shownProgress()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

}  // namespace

TEST(Dialogs, ProgressShowsForALongTaskOnlyAndCancels)
{
    const ui::ProgressRequest r{"Import Records", "Importing the records...", 1000};
    // A task done at once never shows its bar.
    {
        const std::unique_ptr<ui::Progress> p = ui::dialogs().progress(r, nullptr);
        EXPECT_TRUE(p->setValue(1000));
        EXPECT_EQ(shownProgress(), nullptr);
    }
    // One that has gone on for a while with most of it still to do shows
    // it; Cancel there stops the task, and the bar closes with it.
    std::unique_ptr<ui::Progress> p = ui::dialogs().progress(r, nullptr);
    QTest::qWait(120);
    EXPECT_TRUE(p->setValue(1));
    QProgressDialog* d = shownProgress();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Import Records");
    EXPECT_EQ(d->labelText(), "Importing the records...");
    // Wide enough for a window frame to show the title whole, bold, beside
    // its icon, three buttons and margins (as xfwm4 or Metacity draw them:
    // five title-bar heights).
    QFont title = d->font();
    title.setBold(true);
    const int frame = 5 * d->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, d);
    EXPECT_GE(d->width() - frame, QFontMetrics(title).horizontalAdvance(d->windowTitle())) << d->width();
    auto* cancel = d->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_FALSE(p->setValue(2));
    p.reset();
    EXPECT_EQ(shownProgress(), nullptr);
}
