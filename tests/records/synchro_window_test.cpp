// The synchronization window: its layout, its file dialogs and its progress.

#include "support/clipping.h"
#include "support/mainwindow.h"
#include "support/twocopies.h"

#include "platform/grid/gridex.h"
#include "records/frmSynchronize.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace testsupport;
using modQVDatabase::gConn;

namespace {

class SynchronizeWindow : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        w().Load();
        w().chooseFile = [this](const frmSynchronize::FileRequest& r) {
            requests.push_back(r);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        };
    }
    void TearDown() override
    {
        w().chooseFile = nullptr;
        w().Unload();
        DbTest::TearDown();
    }
    frmSynchronize& w() { return frmSynchronize::instance(); }
    qint64 addGuest(const QString& name)
    {
        const qint64 key = db().reserveKey("GUEST");
        db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, ?)", {key, name});
        modSynchro::LogChange("GUEST", key, modSynchro::Added);
        return key;
    }
    QString staging() { return folder->file("/data/synchro.qvd"); }
    QString guestsText() { return db().scalar("SELECT group_concat(GUEST_PARTYNAME, ',') FROM GUEST").toString(); }

    QList<frmSynchronize::FileRequest> requests;
    QStringList answers;
};

TEST_F(SynchronizeWindow, ItsLayoutCutsAndCoversNothing)
{
    // The designed places, where today's font leaves them.
    EXPECT_EQ(w().cmdPrepare->pos(), QPoint(280, 24));
    EXPECT_EQ(w().ProgressBar1->size(), QSize(217, 17));
    EXPECT_EQ(w().ProgressBar1->maximum(), 100);

    w().FormBase::Show(ui::vbModeless);
    EXPECT_TRUE((w().isLoaded() && w().window()->isVisible()));
    // Nothing cut, nothing on top of another, all inside the window.
    w().lblProgress->setText("Preparing the database...");
    w().lblProgress->show();
    w().ProgressBar1->show();
    EXPECT_EQ(testsupport::clippedTexts(w().window()).join(" | ").toStdString(), "");
    // (The progress text and its bar touch by design.)
    const QList<QWidget*> controls = {w().Label1, w().cmdPrepare, w().Label3, w().Label2, w().cmdSynchronize,
                                      w().ProgressBar1, w().cmdCancel};
    EXPECT_EQ(testsupport::overlaps(controls).join(" ").toStdString(), "");
    for (QWidget* c : controls)
        EXPECT_TRUE(w().window()->rect().contains(c->geometry())) << c->objectName().toStdString();
    w().cmdCancel->click();
    EXPECT_FALSE((w().isLoaded() && w().window()->isVisible()));
}

TEST_F(SynchronizeWindow, PrepareSavesUnderTheChosenName)
{
    addGuest("Adams");
    const QString working = folder->file("/data/qvnt03.qvd");
    const QString info = "The replica of the database has been created.  Send it to the user to synchronize.";
    const struct {
        QString answer;
        QString saved;      // "" when nothing is saved
        QString message;    // expected part of the message, "" for none
    } cases[] = {
        {"", "", ""},  // cancelled: the replica waits in data/
        {folder->file("/to_ann"), folder->file("/to_ann.qvd"), info},
        {folder->file("/to_bob.qvd"), folder->file("/to_bob.qvd"), info},
        {folder->file("/data/qvnt03"), "", "cannot be saved over the working database"},
        {working, "", "cannot be saved over the working database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.toStdString());
        const QByteArray before = guestsText().toUtf8();
        messages.msgs->shown.clear();
        requests.clear();
        answers = {c.answer};
        w().cmdPrepare->click();

        ASSERT_EQ(requests.size(), 1);
        EXPECT_TRUE(requests[0].save);
        EXPECT_EQ(requests[0].filter, "Nuptaro Data (*.qvd)|*qvd");
        EXPECT_EQ(requests[0].fileName, "synchro.qvd");
        EXPECT_TRUE(w().lblProgress->isHidden());
        EXPECT_TRUE(w().ProgressBar1->isHidden());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(messages.msgs->shown.isEmpty());
        } else {
            ASSERT_EQ(messages.msgs->shown.size(), 1);
            EXPECT_TRUE(messages.msgs->shown[0].text.contains(c.message));
        }
        if (c.message == info) {
            EXPECT_EQ(messages.msgs->shown[0].style, ui::vbInformation);
            EXPECT_EQ(messages.msgs->shown[0].title, "Information");
        }
        EXPECT_EQ(QFileInfo::exists(staging()), c.saved.isEmpty());
        if (!c.saved.isEmpty()) {
            ado::Connection r;
            r.Open(c.saved);
            EXPECT_EQ(r.scalar("SELECT GUEST_PARTYNAME FROM GUEST").toString(), "Adams");
        }
        EXPECT_EQ(guestsText().toUtf8(), before);
    }
    // Each Prepare kept the unsaved replica of the one before.
    EXPECT_TRUE(QFileInfo::exists(folder->file("/data/OLD_synchro.qvd")));
}

}  // namespace

namespace {

// The window merging a replica of a second copy into the copy the main
// window shows.
class SynchronizeWithMain : public testsupport::MainWindowTest<testsupport::TwoCopiesTest> {
protected:
    void TearDown() override
    {
        w().chooseFile = nullptr;
        MainWindowTest::TearDown();
    }
    frmSynchronize& w() { return frmSynchronize::instance(); }
    // Chooses the replica in the window's open dialog and presses Synchronize.
    void synchronize(const QString& replica)
    {
        w().chooseFile = [replica](const frmSynchronize::FileRequest&) { return replica; };
        messages.msgs->shown.clear();
        QTest::mouseClick(w().cmdSynchronize, Qt::LeftButton);
    }
    void addVendor(const QString& name)
    {
        const qint64 key = db().reserveKey("VENDOR");
        db().Execute("INSERT INTO VENDOR (VENDOR_ID, VENDOR_NAME) VALUES (?, ?)", {key, name});
        log("VENDOR", key, modSynchro::Added);
    }
    QStringList gridTexts()
    {
        QStringList out;
        for (int r = 1; r <= m().GridEX1->rowCount(); ++r)
            out << m().GridEX1->value(r, 2).toString();
        return out;
    }
};

TEST_F(SynchronizeWithMain, TheShownViewIsRefreshedAndSkippedChangesCounted)
{
    use(B);
    addVendor("Bloom Florists");
    const QString fromB = replicaOf(B, "b.qvd");
    use(A);
    addVendor("Alder Catering");
    m().Load();
    m().ShowPanel(m().frameDataGrid);
    m().ShowVendors();
    ASSERT_EQ(gridTexts(), QStringList{"Alder Catering"});
    w().Load();

    synchronize(fromB);
    EXPECT_EQ(gridTexts(), (QStringList{"Alder Catering", "Bloom Florists"}));
    EXPECT_EQ(messages.msgs->texts(), QStringList{"Synchronization complete."});
    EXPECT_EQ(w().lblProgress->text(), "Successfully synchronized 1 items.");

    // The same replica again: nothing to apply, and the message says why.
    synchronize(fromB);
    EXPECT_EQ(messages.msgs->texts(),
              QStringList{"Synchronization complete.\n\n0 of the changes received were applied and 1 skipped: this "
                          "copy already held those or newer ones, or had deleted their records."});
}

TEST_F(SynchronizeWithMain, ASameCopyNumberIsNamedAndThisCopyCanTakeANewOne)
{
    // B is a file copy of A's database, so it has A's number; then both add
    // a party in the same second, under the same key.
    addGuest("Adams");
    db().Close();
    QFile::remove(B.working());
    QFile::copy(A.working(), B.working());
    modSynchro::setClock([this] { return clock; });
    use(A);
    const qint64 ann = addGuest("Ann");
    use(B);
    ASSERT_EQ(addGuest("Baker"), ann);
    const QString fromB = replicaOf(B, "b.qvd");
    use(A);
    w().Load();
    const QString before = dump();

    messages.msgs->answers = {ui::vbNo};
    synchronize(fromB);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("the same copy number as this one (17)"));
    EXPECT_TRUE(messages.msgs->shown[0].text.endsWith("Give this copy of the database a new number and synchronize now?"));
    EXPECT_EQ(messages.msgs->shown[0].style, ui::vbYesNo | ui::vbQuestion);
    EXPECT_EQ(dump(), before);

    messages.msgs->answers = {ui::vbYes};
    QSignalSpy bar(w().ProgressBar1, &QProgressBar::valueChanged);
    synchronize(fromB);
    const int fresh = db().copyNumber();
    // The bar moves on as the records move to the new number.
    EXPECT_TRUE(std::any_of(bar.begin(), bar.end(), [](const QList<QVariant>& v) {
        return v[0].toInt() > 55 && v[0].toInt() <= 70;
    }));
    EXPECT_NE(fresh, A.number);
    EXPECT_EQ(guests().size(), 3);
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_TRUE(messages.msgs->shown[1].text.startsWith("Synchronization complete.\n\n1 of the changes received were "
                                                         "applied and 1 skipped"));
    EXPECT_TRUE(messages.msgs->shown[1].text.endsWith(
        QString("\n\nThis copy of the database now has the copy number %1.").arg(fresh)));
    EXPECT_EQ(addGuest("Next") / ado::Connection::kKeyRange, fresh);
    // Both parties added at once live on in both copies.
    merge(B, replicaOf(A, "a.qvd"));
    for (Copy* c : {&B, &A}) {
        use(*c);
        EXPECT_EQ(db().scalar("SELECT group_concat(GUEST_PARTYNAME, ',') FROM (SELECT GUEST_PARTYNAME FROM GUEST "
                              "ORDER BY 1)")
                      .toString(),
                  "Adams,Ann,Baker,Next");
    }
}

}  // namespace
