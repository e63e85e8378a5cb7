// Files that earlier builds of the program wrote (tests/data/earlier, see
// tests/data/README.md): the working database opened at start-up and taken
// up to date, and the replica merged through the Synchronize window.

#include "support/gui.h"
#include "support/mainwindow.h"
#include "support/twocopies.h"
#include "support/userinput.h"

#include "guests/frmGuestDetail.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/frmSynchronize.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace testsupport;

namespace {

struct EarlierBuild {
    const char* folder;  // under tests/data/earlier
    int copyNumber;      // the one its wedding drew
    const char* refusal; // what a merge of its replica says (%1 the replica), nullptr when it goes through
};

const EarlierBuild kBuilds[] = {
    {"no-versions", 1417,
     "The replica %1 was prepared by an earlier version of Nuptaro, which does not record when each record was last "
     "changed, so merging it could undo newer changes made here.  Please ask the other user to update Nuptaro and "
     "prepare the replica again.  Nothing was changed."},
    {"no-marks", 734512906, nullptr},
};

QString earlierFile(const EarlierBuild& b, const QString& name)
{
    return sourcePath(QString("tests/data/earlier/%1/%2").arg(b.folder, name));
}

// The rows of the named tables of a database, table by table, as text.
QString tablesOf(sqlite3* h, const QStringList& tables)
{
    QString out;
    for (const QString& t : tables)
        out += "== " + t + "\n" + rowsOf(h, QString("SELECT * FROM %1 ORDER BY rowid").arg(t));
    return out;
}

// Opens a file on a connection of its own, read-only, for `read`.
template <class Read>
auto readFile(const QString& path, Read read)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    const auto out = read(h);
    sqlite3_close(h);
    return out;
}

// Every table of a database but SQLite's own.
QStringList tableNames(sqlite3* h)
{
    QStringList out;
    for (const QString& row : rowsOf(h, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                        "'sqlite%' ORDER BY name")
                                  .split('\n', Qt::SkipEmptyParts))
        out << row.mid(2);  // past the "3:" of a text
    return out;
}

// The tables of the wedding's records, without the lookup lists.
QStringList recordTables()
{
    const QStringList& all = synchro::travellingTables();
    return all.mid(0, all.indexOf("TITLES"));
}

// A copy A made fresh from today's template, and a copy B whose working
// file an earlier build wrote, with the main window on whichever is in use.
class EarlierFiles : public MainWindowTest<TwoCopiesTest> {
protected:
    void TearDown() override
    {
        frmSynchronize::instance().chooseFile = nullptr;
        MainWindowTest::TearDown();
        settings::useFile(QString());
    }
    // B's working file becomes a copy of the earlier build's, and the data
    // module starts on B's folder as the program does with --folder.
    void startOnEarlierWedding(const EarlierBuild& b)
    {
        db().Close();
        QFile::remove(B.working());
        ASSERT_TRUE(QFile::copy(earlierFile(b, "qvnt03.qvd"), B.working()));
        QFile::setPermissions(B.working(), QFile::ReadOwner | QFile::WriteOwner);
        modQVDatabase::setAppPath(B.dir.path());
        settings::useFile(B.path("/settings.ini"));
        ASSERT_TRUE(modQVDatabase::Startup());
        current = &B;
        modQVDatabase::gShowTips = modQVDatabase::gShowWizard = "No";
    }
    void click(const char* key)
    {
        m().ExplorerBarCtlQV1->clickItem(key);
        QCoreApplication::processEvents();
    }
    grid::GridEX& g() { return *m().GridEX1; }
    int rowOf(int column, const QString& text)
    {
        for (int r = 1; r <= g().rowCount(); ++r)
            if (g().rowKind(r) == grid::RowKind::Record && g().text(r, column) == text)
                return r;
        return 0;
    }
    frmSynchronize& shown()
    {
        frmSynchronize& w = frmSynchronize::instance();
        w.FormBase::Show(ui::vbModeless);
        EXPECT_TRUE(showActive(w.window()));
        return w;
    }
    // Chooses the replica in the Synchronize window and presses Synchronize.
    void synchronize(const QString& replica)
    {
        frmSynchronize& w = shown();
        w.chooseFile = [replica](const frmSynchronize::FileRequest&) { return replica; };
        messages.msgs->shown.clear();
        QTest::mouseClick(w.cmdSynchronize, Qt::LeftButton);
    }
    // Prepares a replica in the Synchronize window and saves it as `name`.
    QString prepare(const QString& name)
    {
        frmSynchronize& w = shown();
        const QString path = current->path("/" + name);
        w.chooseFile = [path](const frmSynchronize::FileRequest&) { return path; };
        QTest::mouseClick(w.cmdPrepare, Qt::LeftButton);
        return path;
    }
    qlonglong count(const QString& sql, const ado::Params& p = {}) { return db().scalar(sql, p).toLongLong(); }
};

TEST_F(EarlierFiles, AWeddingOfAnEarlierBuildOpensWholeAndTakesEdits)
{
    for (const EarlierBuild& b : kBuilds) {
        SCOPED_TRACE(b.folder);
        const auto [tables, original] = readFile(earlierFile(b, "qvnt03.qvd"), [](sqlite3* h) {
            return std::pair{tableNames(h), tablesOf(h, tableNames(h))};
        });
        startOnEarlierWedding(b);
        EXPECT_TRUE(messages.msgs->shown.isEmpty());
        EXPECT_EQ(db().copyNumber(), b.copyNumber);
        for (const char* added : {"SYNCHRO_VERSION", "SYNCHRO_ORIGIN", "SYNCHRO_COPY", "KEY_COUNTER"})
            EXPECT_TRUE(db().tableExists(added)) << added;
        // Every row of every table it had, as it was.
        EXPECT_EQ(tablesOf(db().handle(), tables), original);
        // Every record its log names has a version.
        EXPECT_EQ(count("SELECT count(*) FROM (SELECT DISTINCT SYNCHRO_TABLE, SYNCHRO_RECORDID FROM SYNCHRO WHERE "
                        "SYNCHRO_ACTION <> 3) l WHERE NOT EXISTS (SELECT 1 FROM SYNCHRO_VERSION v WHERE "
                        "v.VERSION_TABLE = l.SYNCHRO_TABLE AND v.VERSION_RECORDID = l.SYNCHRO_RECORDID)"),
                  0);

        m().Show(ui::vbModeless);
        m().widget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m().widget()));
        const struct {
            const char* mode;
            const char* view;
            int column;
            const char* shown;   // the record typed over, in that column
            const char* typed;
            const char* stored;  // table.column it lands in
        } edits[] = {
            {"TASKMODE", "ALLTASKS", 3, "Order the cake", "Order the wedding cake", "TASKS.TASK_NAME"},
            {"GUESTMODE", "VIEWGUESTS", 4, "Zoë", "Zoé", "SUBGUEST.SUBGUEST_FNAME"},
            {"RSVPMODE", "RSVPMODE", 5, "Castellano", "Castellano-Reyes", "SUBGUEST.SUBGUEST_LNAME"},
            {"BUDGETMODE", "EXPENSES", 2, "Chapel fee", "Chapel and organist", "EXPENSES.EXPENSE_TEXT"},
            {"VENDORMODE", "VIEWVENDOR", 3, "Nora Quinn", "Nora Quinn-Hale", "VENDOR.VENDOR_CONTACT"},
        };
        for (const auto& e : edits) {
            SCOPED_TRACE(e.view);
            click(e.mode);
            click(e.view);
            const QStringList where = QString(e.stored).split('.');
            const QString key = db().keyColumn(where[0]);
            const QVariant record = db().scalar(QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(key, where[0], where[1]),
                                                {QString::fromUtf8(e.shown)});
            const QString version = "SELECT VERSION_CHANGED FROM SYNCHRO_VERSION WHERE VERSION_TABLE = ? AND "
                                    "VERSION_RECORDID = ?";
            const QString before = db().scalar(version, {where[0], record}).toString();
            const int row = rowOf(e.column, QString::fromUtf8(e.shown));
            ASSERT_GT(row, 0);
            typeIntoCell(g(), row, e.column, QString::fromUtf8(e.typed));
            const QVariant edited = db().scalar(QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(key, where[0], where[1]),
                                                {QString::fromUtf8(e.typed)});
            ASSERT_EQ(edited, record);
            // Logged once, with a version newer than the earlier build gave it.
            EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ?",
                            {where[0], record}),
                      1);
            EXPECT_GT(db().scalar(version, {where[0], record}).toString(), before);
        }

        // A new party takes the next key of the copy's range, past those the
        // earlier build handed out.
        frmGuestDetail& party = frmGuestDetail::instance();
        party.curMode = frmGuestDetail::Mode::New;
        party.Show(ui::vbModeless);
        ASSERT_TRUE(showActive(party.widget()));
        type(party.Text1[0], "The Whitfield Family");
        type(party.Text1[1], "Whitfield");
        testsupport::click(party.cmdAdd);
        EXPECT_EQ(db().scalar("SELECT GUEST_ID FROM GUEST WHERE GUEST_PARTYNAME = 'The Whitfield Family'").toLongLong(),
                  qint64(b.copyNumber) * ado::Connection::kKeyRange + 5);
        EXPECT_TRUE(messages.msgs->shown.isEmpty()) << messages.msgs->texts().join('\n').toStdString();
        m().Unload();
        ui::FormBase::unloadAll();
    }
}

TEST_F(EarlierFiles, AReplicaOfAnEarlierBuildMergesOrIsRefusedPlainly)
{
    for (const EarlierBuild& b : kBuilds) {
        SCOPED_TRACE(b.folder);
        make(A, 17);
        use(A);
        const QString before = dump();
        m().Show(ui::vbModeless);
        click("GUESTMODE");
        synchronize(earlierFile(b, "replica.qvd"));
        if (b.refusal) {
            const QString replica = QDir::toNativeSeparators(earlierFile(b, "replica.qvd"));
            EXPECT_EQ(messages.msgs->texts(), QStringList{QString(b.refusal).arg(replica)});
            EXPECT_EQ(messages.msgs->shown[0].style, ui::vbExclamation | ui::vbOKOnly);
            EXPECT_TRUE(frmSynchronize::instance().ProgressBar1->isHidden());
            EXPECT_EQ(dump(), before);
            // As the message asks, the other user opens the wedding with this
            // build and prepares the replica again.
            make(B, 42);
            startOnEarlierWedding(b);
            const QString again = prepare("again.qvd");
            use(A);
            synchronize(again);
        }
        // What the wedding lost before the replica was packed (a task, a person
        // with two invitations) is not here to lose.
        EXPECT_EQ(messages.msgs->texts(), QStringList{"Synchronization complete.\n\n55 of the changes received were "
                                                      "applied and 4 skipped: this copy already held those or newer "
                                                      "ones, or had deleted their records."});
        // Every record of the wedding arrived as the earlier build stored it;
        // the lists of the template stay.
        EXPECT_EQ(tablesOf(db().handle(), recordTables()),
                  readFile(earlierFile(b, "qvnt03.qvd"), [](sqlite3* h) { return tablesOf(h, recordTables()); }));
        EXPECT_EQ(orphansOf(db().handle()), "");
        // The main window shows the parties received.
        EXPECT_GT(rowOf(3, QString::fromUtf8("Zoë Ångström")), 0);
        m().Unload();
        ui::FormBase::unloadAll();
    }
}

}  // namespace
