// Editing in the cells of the main grid as a user does it, with the mouse
// and the keyboard: the row stays on the record edited wherever its group
// takes it, every row of an edited base record shows the stored value, and
// the groups gather empty values together and parties by their exact name.

#include "app/editors.h"
#include "app/frmMain.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/frmDeleteSingle.h"
#include "support/mainwindow.h"
#include "support/modelcheck.h"
#include "support/gui.h"
#include "support/userinput.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

class GridEditingTest : public testsupport::ShownMainWindowTest<> {
protected:
    void SetUp() override
    {
        ShownMainWindowTest::SetUp();
        m().window()->resize(1100, 760);
        check = std::make_unique<testsupport::ModelCheck>(g().model());
        modal.modal->on("frmDeleteSingle", [this](ui::FormBase&) {
            const auto& d = frmDeleteSingle::instance();
            deletes << QString("%1,%2,%3").arg(records::deleteKindName(d.delMode)).arg(d.delID).arg(d.delString);
        });
    }
    void TearDown() override
    {
        check.reset();
        ShownMainWindowTest::TearDown();
    }
    grid::GridEX& g() { return *m().GridEX1; }
    void click(const char* key)
    {
        m().ExplorerBarCtlQV1->clickItem(key);
        QCoreApplication::processEvents();
    }
    int rowOf(int column, const QString& text)
    {
        for (int r = 1; r <= g().rowCount(); ++r)
            if (g().rowKind(r) == grid::RowKind::Record && g().text(r, column) == text)
                return r;
        return 0;
    }
    QStringList headers()
    {
        QStringList out;
        for (int r = 1; r <= g().rowCount(); ++r)
            if (g().rowKind(r) == grid::RowKind::GroupHeader)
                out << g().groupHeaderText(r);
        return out;
    }
    void typeInto(int row, int column, const QString& text, Qt::Key end = Qt::Key_Return)
    {
        testsupport::typeIntoCell(g(), row, column, text, end);
    }
    QString stored(const QString& sql) { return db().scalar(sql).toString(); }

    QStringList deletes;
    std::unique_ptr<testsupport::ModelCheck> check;
};

}  // namespace

TEST_F(GridEditingTest, AfterARegroupingEditTheRowCommandsActOnTheEditedRecord)
{
    // "Tea Party" is in neither drop-down list: a typed text is stored as typed.
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_EVENT) VALUES "
                 "(11, 'Flowers', 'Ceremony'), (12, 'Band', 'Reception'), (13, 'Cake', 'Reception')");
    db().Execute("INSERT INTO BUDGET (BUDGET_ID, BUDGET_NAME, BUDGET_EVENT) VALUES "
                 "(21, 'Veil', 'Ceremony'), (22, 'Band', 'Reception'), (23, 'Cake', 'Reception')");
    struct Case {
        const char* mode;
        const char* view;
        const char* name;
        const char* event;    // typed into the Event cell
        const char* command;
        QString expected;
    };
    const Case cases[] = {
        {"BUDGETMODE", "EXPENSES", "Flowers", "Tea Party", "DELETEEXPENSE", "Expense,11,Flowers"},
        {"BUDGETMODE", "BUDGET", "Veil", "Tea Party", "MODIFYBUDGET", "frmAddBudget 21"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        click(c.mode);
        click(c.view);
        deletes.clear();
        const int row = rowOf(2, c.name);
        ASSERT_EQ(row, 2);
        typeInto(row, 4, c.event);
        EXPECT_EQ(headers(), QStringList({"Event: Reception (2)", "Event: Tea Party (1)"}));
        EXPECT_EQ(g().currentValue(2).toString(), c.name);
        EXPECT_EQ(g().currentRow(), rowOf(2, c.name));
        click(c.command);
        if (deletes.isEmpty())
            deletes << QString("frmAddBudget %1").arg(frmAddBudget::instance().curBudgetID);
        EXPECT_EQ(deletes.join(" | "), c.expected);
        ui::FormBase::unloadAll(&m());
    }
    EXPECT_EQ(stored("SELECT EXPENSE_EVENT FROM EXPENSES WHERE EXPENSE_ID = 11"), "Tea Party");
    EXPECT_EQ(stored("SELECT BUDGET_EVENT FROM BUDGET WHERE BUDGET_ID = 21"), "Tea Party");

    // Escape gives the typing up: nothing stored, the row stays.
    click("EXPENSES");
    const int band = rowOf(2, "Band");
    typeInto(band, 4, "Brunch", Qt::Key_Escape);
    EXPECT_EQ(stored("SELECT EXPENSE_EVENT FROM EXPENSES WHERE EXPENSE_ID = 12"), "Reception");
    EXPECT_EQ(g().currentRow(), band);
    EXPECT_FALSE(g().editPending());
}

TEST_F(GridEditingTest, CtrlEndGoesToTheLastRecordAboveTheTotalRow)
{
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (31, 'Adams'), (32, 'Baker')");
    db().Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME) VALUES (31, 'Al'), (31, 'Ann'), (32, 'Bea')");
    db().Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_EVENT) VALUES ('Flowers', 'Ceremony'), "
                 "('Band', 'Reception'), ('Cake', 'Reception')");
    db().Execute("INSERT INTO BUDGET (BUDGET_NAME, BUDGET_EVENT) VALUES ('Veil', 'Ceremony'), ('Band', 'Reception')");
    const struct {
        const char* mode;
        const char* view;
        int column;
        const char* last;  // the last record's name in that column
    } views[] = {{"GUESTMODE", "VIEWGUESTS", 4, "Bea"}, {"BUDGETMODE", "EXPENSES", 2, "Cake"},
                 {"BUDGETMODE", "BUDGET", 2, "Band"}};
    for (const auto& v : views) {
        SCOPED_TRACE(v.view);
        click(v.mode);
        click(v.view);
        ASSERT_EQ(g().rowKind(g().rowCount() + 1), grid::RowKind::Total);
        QTableView* t = g().tableView();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(t->model()->index(1, 3)).center());
        QTest::keyClick(t, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(g().currentRow(), g().rowCount());
        EXPECT_EQ(g().currentRowKind(), grid::RowKind::Record);
        EXPECT_EQ(g().text(g().currentRow(), v.column), v.last);
        // Down from there stays on it; Ctrl+Home goes back to the top.
        QTest::keyClick(t, Qt::Key_Down);
        EXPECT_EQ(g().currentRow(), g().rowCount());
        QTest::keyClick(t, Qt::Key_Home, Qt::ControlModifier);
        EXPECT_EQ(g().currentRow(), 1);
    }
}

TEST_F(GridEditingTest, EveryViewWithEditableCellsTakesTypedInput)
{
    // Two records of each, so the one typed into is not the row already chosen.
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('Book the hall'), ('Order flowers')");
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Réception'), (2, 'Cérémonie')");
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (1, 'Müller-Lüdenscheidt')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES "
                 "(1, 1, 'Zoë', 'M'), (2, 1, 'Jürgen', 'M')");
    db().Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (1, 1), (1, 2)");
    for (const char* table : {"VENDOR", "EXPENSES", "BUDGET", "ATTIRE", "MEASURE_FEMALE", "MEASURE_MALE", "GIFT",
                              "REGISTRY"})
        db().Execute(QString("INSERT INTO %1 (%2) VALUES (1), (2)").arg(table, db().keyColumn(table)));
    const struct {
        const char* mode;
        const char* view;
        int column;
        const char* typed;
        const char* stored;  // the column it lands in
    } cases[] = {
        {"TASKMODE", "ALLTASKS", 3, "Book the string quartet", "TASKS.TASK_NAME"},
        {"EVENTMODE", "VIEWEVENTS", 4, "Château de Vaux-le-Vicomte", "EVENT.EVENT_LOCATION"},
        {"RSVPMODE", "RSVPMODE", 5, "Müller", "SUBGUEST.SUBGUEST_LNAME"},
        {"GUESTMODE", "VIEWGUESTS", 4, "Zoé", "SUBGUEST.SUBGUEST_FNAME"},
        {"VENDORMODE", "VIEWVENDOR", 3, "Anaïs Fleury", "VENDOR.VENDOR_CONTACT"},
        {"VENDORMODE", "VIEWVENDOR", 6, "Harpist", "VENDOR.VENDOR_TYPE"},
        {"BUDGETMODE", "EXPENSES", 2, "Wedding cake", "EXPENSES.EXPENSE_TEXT"},
        {"BUDGETMODE", "BUDGET", 2, "Flowers", "BUDGET.BUDGET_NAME"},
        {"ATTIREMODE", "VIEWATTIRE", 3, "Veil", "ATTIRE.ATTIRE_ITEM"},
        {"ATTIREMODE", "FEMALEMEASUREMENTS", 3, "5'6\"", "MEASURE_FEMALE.MEASURE_FEMALE_HEIGHT"},
        {"ATTIREMODE", "MALEMEASUREMENTS", 3, "6'1\"", "MEASURE_MALE.MEASURE_MALE_HEIGHT"},
        {"GIFTMODE", "VIEWGIFTS", 2, "Crystal vase", "GIFT.GIFT_NAME"},
        {"GIFTMODE", "VIEWREGISTRY", 5, "KitchenAid K45", "REGISTRY.REGISTRY_MODEL"},
    };
    m().widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m().widget()));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.view) + " " + std::to_string(c.column));
        click(c.mode);
        click(c.view);
        int row = g().rowCount();
        while (row > 1 && (g().rowKind(row) != grid::RowKind::Record || row == g().currentRow()))
            --row;
        const QStringList where = QString(c.stored).split('.');
        const QString count = QString("SELECT count(*) FROM %1 WHERE %2 = ?").arg(where[0], where[1]);
        typeInto(row, c.column, c.typed);
        EXPECT_EQ(db().scalar(count, {QString(c.typed)}).toInt(), 1);
        // Typed right after a click on the row now chosen, not a key is lost.
        const QString again = QString(c.typed) + " 2";
        typeInto(g().currentRow(), c.column, again);
        EXPECT_EQ(db().scalar(count, {again}).toInt(), 1);
    }
    // A text longer than Qt's 32,767 characters, pasted into a cell, is stored whole.
    const QString pasted = QString(40000, 'z') + "end";
    QGuiApplication::clipboard()->setText(pasted);
    click("TASKMODE");
    click("ALLTASKS");
    testsupport::clickCell(&g(), 1, 3);
    QTest::keyClicks(g().tableView(), "x");
    QWidget* cell = testsupport::openCellEditor(g());
    ASSERT_TRUE(cell);
    QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(cell, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(db().scalar("SELECT count(*) FROM TASKS WHERE TASK_NAME = ?", {"x" + pasted}).toInt(), 1);
}

TEST_F(GridEditingTest, RenamingAPartyInOneRowMovesAllItsPeopleAndKeepsTheRow)
{
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (1, 'Adams'), (2, 'Jones Family'), (3, 'Young')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES "
                 "(101, 1, 'Al', 'Adams'), (201, 2, 'Anna', 'Jones'), (202, 2, 'Ben', 'Jones'), (301, 3, 'Yan', 'Young')");
    click("GUESTMODE");
    ASSERT_EQ(m().curDataMode, views::DataMode::Guests);
    const int ben = rowOf(4, "Ben");
    typeInto(ben, 3, "Zeller Family");
    EXPECT_EQ(stored("SELECT GUEST_PARTYNAME FROM GUEST WHERE GUEST_ID = 2"), "Zeller Family");
    // One party, one group, both people under it.
    EXPECT_EQ(headers(), QStringList({"Party Name: Adams (1)", "Party Name: Young (1)", "Party Name: Zeller Family (2)"}));
    EXPECT_EQ(g().text(rowOf(4, "Anna"), 3), "Zeller Family");
    EXPECT_EQ(g().currentValue(2).toLongLong(), 202);
    click("DELETEGUEST");
    EXPECT_EQ(deletes, QStringList{"SubguestFromMain,202,Ben Jones"});
    click("MODIFYGUESTS");
    EXPECT_EQ(frmGuestDetail::instance().curRec, 2);
    ui::FormBase::unloadAll(&m());

    // In the RSVP view a person's other invitations follow an edit of the name.
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (7, 'Ceremony'), (8, 'Reception')");
    db().Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT) VALUES (7, 201, 'Attending'), "
                 "(8, 201, 'Attending')");
    click("RSVPMODE");
    ASSERT_EQ(m().curDataMode, views::DataMode::RSVP);
    typeInto(rowOf(5, "Jones"), 5, "Jones-Zeller");
    QStringList lasts;
    for (int r = 1; r <= g().rowCount(); ++r)
        if (g().rowKind(r) == grid::RowKind::Record)
            lasts << g().text(r, 5);
    EXPECT_EQ(lasts, QStringList({"Jones-Zeller", "Jones-Zeller"}));
}

TEST_F(GridEditingTest, EmptyEventsFormOneGroupAndPartiesGroupByTheirExactName)
{
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_EVENT) VALUES "
                 "(1, 'Stamps', NULL), (2, 'Ink', ''), (3, 'Cake', 'Reception')");
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (1, 'The Smith Family'), (2, 'The smith Family')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (11, 1, 'Ann'), (21, 2, 'Bob')");
    click("BUDGETMODE");
    click("EXPENSES");
    EXPECT_EQ(headers(), QStringList({"Event:  (2)", "Event: Reception (1)"}));

    click("GUESTMODE");
    EXPECT_EQ(headers(), QStringList({"Party Name: The Smith Family (1)", "Party Name: The smith Family (1)"}));
    // A header command acts on the party of that header.
    for (const char* party : {"The Smith Family", "The smith Family"}) {
        for (int r = 1; r <= g().rowCount(); ++r)
            if (g().rowKind(r) == grid::RowKind::GroupHeader && g().text(r, 3) == party) {
                const QModelIndex idx = g().tableView()->model()->index(r - 1, 2);
                QTest::mouseClick(g().tableView()->viewport(), Qt::LeftButton, {},
                                  g().tableView()->visualRect(idx).center());
            }
        click("DELETEGUEST");
    }
    EXPECT_EQ(deletes, QStringList({"Guests,1,The Smith Family", "Guests,2,The smith Family"}));
}

// A typed cell and its change-log row are stored together. When the log row
// is refused (a full disk, a lock held too long) the cell is not stored
// either: the user is told, and the cell opens again with what was typed.
TEST_F(GridEditingTest, ACellIsStoredWithItsLogRowOrRefusedAndKeptTyped)
{
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_ASSIGN) VALUES (1, 'Book the hall', 'Bride'), "
                 "(2, 'Order flowers', 'Groom')");
    m().widget()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m().widget()));
    click("TASKMODE");
    click("ALLTASKS");
    const struct {
        const char* how;
        int column;
        const char* typed;
        std::function<void()> leave;  // how the editor is left
    } cases[] = {
        {"Enter", 3, "Book the castle", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
        {"Tab", 3, "Book the castle", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }},
        {"a click on another row", 3, "Book the castle", [this] {
             QTableView* t = g().tableView();
             QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                               t->visualRect(t->model()->index(rowOf(3, "Order flowers") - 1, 1)).center());
         }},
        {"a drop-down cell", 5, "Maid of honour", [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
    };
    const QString task = "SELECT TASK_NAME || '/' || TASK_ASSIGN FROM TASKS WHERE TASK_ID = 1";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        db().Execute("CREATE TRIGGER full BEFORE INSERT ON SYNCHRO BEGIN SELECT RAISE(ABORT, 'disk full'); END");
        messages.msgs->shown.clear();
        const int row = rowOf(3, "Book the hall");
        QTableView* t = g().tableView();
        const QModelIndex idx = t->model()->index(row - 1, c.column - 1);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(idx).center());
        QTest::keyClicks(t, QString(c.typed).left(1));
        ASSERT_NE(testsupport::openCellEditor(g()), nullptr);
        testsupport::keyClicks(testsupport::openCellEditor(g()), QString(c.typed).mid(1));
        c.leave();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(stored(task), "Book the hall/Bride");
        EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
        EXPECT_EQ(messages.msgs->texts(), QStringList{"The changes could not be saved.\n\ndisk full"});
        // The refused cell is open again, with the typing.
        QWidget* ed = testsupport::openCellEditor(g());
        ASSERT_NE(ed, nullptr);
        EXPECT_EQ(t->currentIndex(), idx);
        EXPECT_EQ(qobject_cast<QComboBox*>(ed) ? qobject_cast<QComboBox*>(ed)->currentText()
                                               : qobject_cast<QLineEdit*>(ed)->text(),
                  c.typed);
        EXPECT_TRUE(g().editPending());
        // Stored with its log row once the disk has room.
        db().Execute("DROP TRIGGER full");
        QTest::keyClick(ed, Qt::Key_Return);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(stored(task), c.column == 3 ? "Book the castle/Bride" : "Book the hall/Maid of honour");
        EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'TASKS' AND SYNCHRO_RECORDID = 1"), 1);
        EXPECT_EQ(messages.msgs->shown.size(), 1);
        db().Execute("UPDATE TASKS SET TASK_NAME = 'Book the hall', TASK_ASSIGN = 'Bride' WHERE TASK_ID = 1");
        db().Execute("DELETE FROM SYNCHRO");
        m().ShowTasks(views::TaskFilter::All, m().curDate);
    }
}

// With its list closed, a drop-down cell takes Up, Down and the page keys as
// a text cell does: what was typed is stored, and the row moves as far.
TEST_F(GridEditingTest, KeysThatMoveTheRowStoreWhatWasTypedInADropDownCellAsInATextCell)
{
    for (int i = 0; i < 60; ++i)
        db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_EVENT) VALUES ('Task', ?, 'Engagement Party')",
                     {QString("2027-01-01 %1:%2:00").arg(i / 4 + 8).arg(i % 4 * 15)});
    click("TASKMODE");
    click("ALLTASKS");
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        typeInto(20, g().columnByCaption("Task"), "Walk", key);
        const int asText = g().currentRow();
        const QString id = g().value(20, 1).toString(), typed = "Brunch " + QKeySequence(key).toString();
        typeInto(20, g().columnByCaption("Event"), typed, key);
        EXPECT_EQ(stored("SELECT TASK_EVENT FROM TASKS WHERE TASK_ID = " + id), typed);
        EXPECT_TRUE(g().currentRow() == asText && asText != 20 && !g().editPending());
    }
}

// After an edit that regroups its record, Down and Up go on from the record
// where it now stands.
TEST_F(GridEditingTest, DownAfterARegroupingEditGoesToTheRowBelowTheEditedRecordAsNowShown)
{
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (1, 'Adams'), (2, 'Jones Family'), (3, 'Young')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES "
                 "(101, 1, 'Al'), (201, 2, 'Anna'), (202, 2, 'Ben'), (301, 3, 'Yan')");
    click("GUESTMODE");
    const std::tuple<const char*, const char*, Qt::Key, const char*> cases[] = {  // whose party, typed, then
        {"Al", "Kent", Qt::Key_Down, "Party Name: Young (1)"},  {"Al", "Aaron", Qt::Key_Down, "Party Name: Jones Family (2)"},
        {"Yan", "Baker", Qt::Key_Up, "Party Name: Baker (1)"}, {"Anna", "Zeller", Qt::Key_Down, "Ben"},
    };
    for (const auto& [person, party, key, then] : cases) {
        typeInto(rowOf(4, person), 3, party, key);
        const int r = g().currentRow();
        EXPECT_EQ(g().rowKind(r) == grid::RowKind::GroupHeader ? g().groupHeaderText(r) : g().text(r, 4), then) << party;
    }
}
