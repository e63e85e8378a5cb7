// The confirm-and-delete window: its texts, its buttons and the refresh of
// the window the record came from.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/mainwindow.h"

#include "app/frmMain.h"
#include "platform/grid/gridex.h"
#include "records/frmDeleteSingle.h"
#include "records/notices.h"

#include <QLabel>
#include <QPushButton>

#include <optional>

using testsupport::DbTest;

namespace {

class DeleteWindow : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        QObject::connect(&records::notices(), &records::Notices::recordDeleted, &listener,
                         [this](records::DeleteKind kind, qint64 id) { deleted.push_back({kind, id}); });
        QObject::connect(&records::notices(), &records::Notices::rowsChanged, &listener,
                         [this](records::MainList list) { rows.push_back(list); });
    }
    void TearDown() override
    {
        frmDeleteSingle::instance().Unload();
        DbTest::TearDown();
    }
    bool told() const { return !deleted.isEmpty() || !rows.isEmpty(); }
    static qint64 insert(const QString& sql, const ado::Params& p = {}) { return testsupport::insertRow(sql, p); }
    frmDeleteSingle& open(records::DeleteKind mode, qint64 id, const QString& text)
    {
        frmDeleteSingle& f = frmDeleteSingle::instance();
        f.delMode = mode;
        f.delID = id;
        f.delString = text;
        f.Show(ui::vbModeless);
        return f;
    }

    // What the window told the others.
    QObject listener;
    QList<std::pair<records::DeleteKind, qint64>> deleted;
    QList<records::MainList> rows;
};

TEST_F(DeleteWindow, ShowsTheConfirmationAndDeletesOnlyOnDelete)
{
    const qint64 task = insert("INSERT INTO TASKS (TASK_NAME) VALUES ('Book the band')");
    frmDeleteSingle& f = open(records::DeleteKind::Task, task, "Book the band");
    ASSERT_TRUE(f.isLoaded());
    EXPECT_EQ(f.lblDelete->text(),
              "Delete the task: Book the band.  This will delete only the associated information for this task.");

    // Cancel, and the close box, delete nothing.
    f.cmdCancel->click();
    EXPECT_FALSE(f.isLoaded());
    open(records::DeleteKind::Task, task, "Book the band");
    f.window()->close();
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(testsupport::counts("TASKS SYNCHRO"), "1 0");
    EXPECT_FALSE(told());

    open(records::DeleteKind::Task, task, "Book the band");
    f.cmdDelete->click();
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'TASKS' AND SYNCHRO_ACTION = 3"), 1);
    EXPECT_EQ(deleted, (QList<std::pair<records::DeleteKind, qint64>>{{records::DeleteKind::Task, task}}));
    EXPECT_EQ(rows, QList<records::MainList>{records::MainList::Tasks});
    // The variables stay for the next opening.
    EXPECT_EQ(f.delMode, records::DeleteKind::Task);
    EXPECT_EQ(f.delString, "Book the band");
}

TEST_F(DeleteWindow, AVendorTakesOnlyItsLinkedQuotesAndSaysWhichGoAndWhichStay)
{
    const QString name = "Fleurs d'Élodie";
    const struct {
        int linked, named;
        const char* suffix;
    } cases[] = {
        {0, 0, "."},
        {0, 2, ".  The 2 quotes that name it are kept."},
        {1, 1, ".  This will delete the quote linked to it and associated information for the vendor.  The quote "
               "that names it is kept."},
        {3, 0, ".  This will delete the 3 quotes linked to it and associated information for the vendor."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.suffix);
        db().Execute("DELETE FROM QUOTE");
        const qint64 vendor = insert("INSERT INTO VENDOR (VENDOR_NAME) VALUES (?)", {name});
        for (int i = 0; i < c.linked; ++i)
            insert("INSERT INTO QUOTE (QUOTE_PRODUCT, VENDOR_ID) VALUES ('Arch', ?)", {vendor});
        // As the quote editor writes them: the vendor's name as text, in any case.
        for (int i = 0; i < c.named; ++i)
            insert("INSERT INTO QUOTE (QUOTE_PRODUCT, QUOTE_VENDOR) VALUES ('Bouquets', ?)",
                   {i % 2 ? QString("FLEURS D'Élodie") : name});
        frmDeleteSingle& f = open(records::DeleteKind::Vendor, vendor, name);
        EXPECT_EQ(f.lblDelete->text(), "Delete the vendor: " + name + c.suffix);
        f.cmdDelete->click();
        EXPECT_EQ(count("SELECT count(*) FROM VENDOR WHERE VENDOR_ID = ?", {vendor}), 0);
        EXPECT_EQ(testsupport::counts("QUOTE"), QString::number(c.named));
        EXPECT_EQ(count("SELECT count(*) FROM QUOTE WHERE QUOTE_PRODUCT = 'Arch'"), 0);
    }
}

TEST_F(DeleteWindow, NoKindOnlyCloses)
{
    const qint64 ev = insert("INSERT INTO EVENT (EVENT_NAME) VALUES ('Shower')");
    {
        frmDeleteSingle& f = open(records::DeleteKind::None, ev, "Shower");
        EXPECT_EQ(f.lblDelete->text(), "Nothing to delete.");
        f.cmdDelete->click();
        EXPECT_FALSE(f.isLoaded());
    }
    EXPECT_EQ(testsupport::counts("EVENT SYNCHRO"), "1 0");
    EXPECT_FALSE(told());
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(DeleteWindow, EachKindDeletesItsRecordAndRefreshesOnlyItsOwnWindow)
{
    using K = records::DeleteKind;
    using L = records::MainList;
    // The main window's list it changes; the guest editor's people and the
    // seating window's tables answer the deletion itself.
    const struct {
        const char* mode;
        const char* table;
        K kind;
        std::optional<L> list;
    } cases[] = {
        {"SubguestFromDetail", "SUBGUEST", K::SubguestFromDetail, {}},
        {"SubguestFromMain", "SUBGUEST", K::SubguestFromMain, L::People},
        {"Table", "TABLES", K::Table, {}},
        {"Event", "EVENT", K::Event, L::Events},
        {"Guests", "GUEST", K::Guests, L::People},
        {"Task", "TASKS", K::Task, L::Tasks},
        {"Vendor", "VENDOR", K::Vendor, L::Vendors},
        {"Quote", "QUOTE", K::Quote, L::Quotes},
        {"Expense", "EXPENSES", K::Expense, L::Expenses},
        {"Budget", "BUDGET", K::Budget, L::Budget},
        {"Gift", "GIFT", K::Gift, L::Gifts},
        {"Registry", "REGISTRY", K::Registry, L::Registry},
        {"Attire", "ATTIRE", K::Attire, L::Attire},
        {"FemaleMeasurement", "MEASURE_FEMALE", K::FemaleMeasurement, L::Measurements},
        {"MaleMeasurement", "MEASURE_MALE", K::MaleMeasurement, L::Measurements},
    };
    for (const auto& c : cases) {
        const qint64 key = insert(QString("INSERT INTO %1 DEFAULT VALUES").arg(c.table));
        deleted.clear();
        rows.clear();
        open(c.kind, key, "x").cmdDelete->click();
        EXPECT_EQ(deleted, (QList<std::pair<K, qint64>>{{c.kind, key}})) << c.mode;
        EXPECT_EQ(rows, c.list ? QList<L>{*c.list} : QList<L>{}) << c.mode;
        EXPECT_EQ(count(QString("SELECT count(*) FROM %1").arg(c.table)), 0) << c.mode;
    }
}

TEST_F(DeleteWindow, ASecondRequestDoesNotRetargetAnOpenConfirmation)
{
    const qint64 first = insert("INSERT INTO TABLES (TABLE_NAME) VALUES ('Table 1')");
    const qint64 second = insert("INSERT INTO TABLES (TABLE_NAME) VALUES ('Table 2')");
    frmDeleteSingle& f = open(records::DeleteKind::Table, first, "Table 1");
    open(records::DeleteKind::Table, second, "Table 2");  // raises the open window
    EXPECT_EQ(f.lblDelete->text(), "Delete the table named: Table 1.  This may require you to re-seat guests at other tables.");
    EXPECT_EQ(f.confirmedID(), first);
    f.cmdDelete->click();
    EXPECT_EQ(count("SELECT count(*) FROM TABLES WHERE TABLE_ID = ?", {first}), 0);
    EXPECT_EQ(count("SELECT count(*) FROM TABLES WHERE TABLE_ID = ?", {second}), 1);
}

TEST_F(DeleteWindow, AFailedCascadeSaysSoAndChangesNothing)
{
    const qint64 guest = insert("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Silva')");
    const qint64 sub = insert("INSERT INTO SUBGUEST (GUEST_ID) VALUES (?)", {guest});
    insert("INSERT INTO SEATING (TABLE_ID, SUBGUEST_ID) VALUES (1, ?)", {sub});
    db().Execute("CREATE TRIGGER no_unseat BEFORE DELETE ON SEATING BEGIN SELECT RAISE(ABORT, 'x'); END");
    frmDeleteSingle& f = open(records::DeleteKind::Guests, guest, "Silva");
    f.cmdDelete->click();
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("could not be deleted")) << messages.msgs->shown[0].text.toStdString();
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(testsupport::counts("GUEST SUBGUEST SEATING SYNCHRO"), "1 1 1 0");
    EXPECT_FALSE(told());
}

}  // namespace

namespace {

using DeleteFromMainGrid = testsupport::MainWindowTest<>;

TEST_F(DeleteFromMainGrid, TheShownViewLosesTheRowAndKeepsItsColumns)
{
    for (const char* name : {"Order flowers", "Book the band", "Send invitations"})
        db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES (?)", {name});
    frmMain& m = frmMain::instance();
    m.Load();
    m.TaskRS = ado::Recordset::create();
    m.TaskRS->Open("SELECT TASK_ID, TASK_NAME FROM TASKS ORDER BY TASK_ID", db());
    m.GridEX1->bind(m.TaskRS);
    m.GridEX1->setColumnHidden(1);
    ASSERT_EQ(m.GridEX1->rowCount(), 3);

    const qint64 id = db().scalar("SELECT TASK_ID FROM TASKS WHERE TASK_NAME = 'Book the band'").toLongLong();
    frmDeleteSingle& f = frmDeleteSingle::instance();
    f.delMode = records::DeleteKind::Task;
    f.delID = id;
    f.delString = "Book the band";
    f.Show(ui::vbModeless);
    f.cmdDelete->click();
    EXPECT_EQ(m.GridEX1->rowCount(), 2);
    EXPECT_EQ(m.GridEX1->recordset(), m.TaskRS);
    EXPECT_TRUE(m.GridEX1->isColumnHidden(1));

    // The main window closed: the delete still happens, its refresh is skipped.
    m.Unload();
    f.delID = db().scalar("SELECT min(TASK_ID) FROM TASKS").toLongLong();
    f.Show(ui::vbModeless);
    f.cmdDelete->click();
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 1);
}

}  // namespace
