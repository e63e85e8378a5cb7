// The data grid over a recordset: grouping, totals, settings kept across a
// rebind, edits written back (joins included), formats and hit-testing.

#include "support/fixture.h"
#include "support/modelcheck.h"
#include "support/userinput.h"

#include "platform/grid/gridex.h"
#include "platform/grid/gridmodel.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <functional>
#include <ostream>

using testsupport::DbTest;
using grid::GridEX;
using testsupport::CheckedGrid;
using grid::RowKind;

namespace {

class GridTest : public DbTest {
protected:
    ado::RecordsetPtr open(const QString& sql, ado::LockType lock = ado::adLockOptimistic)
    {
        auto rs = ado::Recordset::create();
        rs->Open(sql, db(), ado::adOpenKeyset, lock);
        return rs;
    }
    qlonglong insertExpense(const QVariant& text, const QVariant& event, const QVariant& paid)
    {
        db().Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_EVENT, EXPENSE_AMTPAID) VALUES (?, ?, ?)",
                     {text, event, paid});
        return db().scalar("SELECT max(EXPENSE_ID) FROM EXPENSES").toLongLong();
    }
    static QString kinds(const GridEX& g)
    {
        QString s;
        for (int r = 1; r <= g.rowCount(); ++r)
            s += g.rowKind(r) == RowKind::GroupHeader ? 'H' : (g.rowKind(r) == RowKind::Record ? 'R' : '?');
        return s;
    }
    static const char* kExpenses;
};

const char* GridTest::kExpenses =
    "SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item], EXPENSE_VENDOR AS [Vendor], EXPENSE_EVENT AS [Event], "
    "EXPENSE_AMTPAID AS [Amt Paid], EXPENSE_DUEDATE AS [Due] FROM EXPENSES ORDER BY EXPENSE_ID";

TEST(GridFormat, ValuesAsDisplayed)
{
    struct Case {
        QVariant v;
        QString format;
        QString text;
    } cases[] = {
        {1234.5, "Currency", "$1,234.50"},
        {-1234.5, "Currency", "($1,234.50)"},
        {0.0, "Currency", "$0.00"},
        // Every stored decimal, at least the cents.
        {1234567.891, "Currency", "$1,234,567.891"},
        {0.005, "Currency", "$0.005"},
        {-0.004, "Currency", "($0.004)"},
        {qlonglong(12), "Currency", "$12.00"},
        {QString("250.5"), "Currency", "$250.50"},
        {QString("n/a"), "Currency", "n/a"},
        {QVariant(), "Currency", ""},
        {1234.5, "", "1234.5"},
        // Plain decimals, never an exponent, and exact near the currency limit.
        {100000.0, "", "100000"},
        {0.00001, "", "0.00001"},
        {1e20, "", "100000000000000000000"},
        {922337203685477.5, "Currency", "$922,337,203,685,477.50"},
        {500000000000000.25, "Currency", "$500,000,000,000,000.25"},
        {qlonglong(42), "", "42"},
        {ado::convert::wallClock(QDate(2004, 11, 5), QTime(0, 0)), "", "11/5/2004"},
        {ado::convert::wallClock(QDate(2004, 11, 5), QTime(14, 30)), "", "11/5/2004 2:30 PM"},
        {ado::convert::wallClock(QDate(1899, 12, 30), QTime(9, 5)), "", "9:05 AM"},
        {true, "", "Yes"},
        {false, "", "No"},
        {QString("Veil"), "", "Veil"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid::formatValue(c.v, c.format), c.text) << c.v.toString().toStdString() << " / "
                                                            << c.format.toStdString();
    EXPECT_EQ(twipsToPixels(1500), 100);
    EXPECT_EQ(pixelsToTwips(200), 3000);
    EXPECT_EQ(twipsToPixels(800), 53);
}

TEST_F(GridTest, GroupHeadersAndTheFirstRecordUnderThem)
{
    const qlonglong a = insertExpense("Cake", "Reception", 300.0);
    const qlonglong b = insertExpense("Flowers", "Ceremony", 120.0);
    const qlonglong c = insertExpense("Band", "reception", 900.0);  // a group of its own, beside the other case
    const qlonglong d = insertExpense("Rings", QVariant(), 1500.0);
    const qlonglong e = insertExpense("Organist", "Ceremony", 80.0);

    CheckedGrid g;
    g.bind(open(kExpenses));
    g.groupBy(4);
    // Groups ordered by value (no value first); records keep their order inside a group.
    ASSERT_EQ(kinds(g), "HRHRRHRHR");
    struct Row {
        int header;
        QVariant groupValue;
        qlonglong firstKey;
        int size;
    } expected[] = {{1, QVariant(), d, 1}, {3, "Ceremony", b, 2}, {6, "Reception", a, 1}, {8, "reception", c, 1}};
    for (const Row& r : expected) {
        SCOPED_TRACE(r.header);
        EXPECT_EQ(g.recordOfRow(r.header), -1);
        EXPECT_EQ(g.value(r.header, 4), r.groupValue);
        EXPECT_FALSE(g.value(r.header, 1).isValid());  // a header holds no record
        EXPECT_EQ(g.firstRecordRow(r.header), r.header + 1);
        EXPECT_EQ(g.value(g.firstRecordRow(r.header), 1).toLongLong(), r.firstKey);
        EXPECT_TRUE(g.groupHeaderText(r.header).endsWith(QString("(%1)").arg(r.size)));
    }
    EXPECT_EQ(g.value(5, 1).toLongLong(), e);
    EXPECT_EQ(g.value(9, 1).toLongLong(), c);
    EXPECT_EQ(g.groupHeaderText(3), "Event: Ceremony (2)");
    EXPECT_EQ(g.firstRecordRow(4), 4);
    EXPECT_EQ(g.firstRecordRow(99), 0);

    // Current row and its kind.
    g.setCurrentRow(3);
    EXPECT_EQ(g.currentRow(), 3);
    EXPECT_EQ(g.currentRowKind(), RowKind::GroupHeader);
    EXPECT_EQ(g.currentRecord(), -1);
    g.setCurrentRow(4);
    EXPECT_EQ(g.currentRowKind(), RowKind::Record);
    EXPECT_EQ(g.currentValue(2).toString(), "Flowers");

    // Ungrouped again: records only, in the recordset's order.
    g.groupBy(0);
    EXPECT_EQ(kinds(g), "RRRRR");
    EXPECT_EQ(g.value(1, 1).toLongLong(), a);
}

TEST_F(GridTest, EditMovingARecordToAnotherGroupGathersTheRowsAgain)
{
    insertExpense("Cake", "Reception", 300.0);
    const qlonglong b = insertExpense("Flowers", "Ceremony", 120.0);
    CheckedGrid g;
    g.bind(open(kExpenses));
    g.groupBy(4);
    ASSERT_EQ(kinds(g), "HRHR");
    ASSERT_EQ(g.value(2, 1).toLongLong(), b);
    ASSERT_TRUE(g.editCell(2, 4, "Reception"));
    QCoreApplication::processEvents();
    EXPECT_EQ(kinds(g), "HRR");
    EXPECT_EQ(g.groupHeaderText(1), "Event: Reception (2)");

    // The same through the open editor: the rows are gathered once it has closed.
    g.resize(600, 300);
    g.show();
    QTableView* v = g.tableView();
    const QModelIndex idx = g.model()->index(2, 3);
    v->setCurrentIndex(idx);
    v->edit(idx);
    auto* line = qobject_cast<QLineEdit*>(v->indexWidget(idx));
    ASSERT_NE(line, nullptr);
    line->setText("Ceremony");
    EXPECT_TRUE(g.writeCurrentRow());
    QCoreApplication::processEvents();
    EXPECT_EQ(kinds(g), "HRHR");
    EXPECT_EQ(g.groupHeaderText(1), "Event: Ceremony (1)");
    EXPECT_FALSE(g.editPending());
}

TEST_F(GridTest, TotalsCountRecordsAndSumExactlySkippingNulls)
{
    insertExpense("Cake", "Reception", 300.10);
    insertExpense("Veil", "Ceremony", QVariant());
    insertExpense("Band", "Reception", -0.20);
    insertExpense("Dress", "Ceremony", 1000.0);

    CheckedGrid g;
    g.bind(open(kExpenses));
    g.groupBy(4);
    g.setTotalRow(2);
    g.setColumnAggregate(2, grid::agCount);
    g.setColumnTotalPrefix(2, "Guests: ");
    g.setColumnAggregate(5, grid::agSum);
    g.setColumnTotalFormat(5, "Currency");
    EXPECT_EQ(g.totalText(2), "Guests: 4");  // records, not rows with headers
    EXPECT_EQ(g.totalText(5), "$1,299.90");
    EXPECT_EQ(g.totalText(3), "");           // no aggregate
    EXPECT_EQ(g.rowKind(g.rowCount() + 1), RowKind::Total);
    EXPECT_EQ(g.model()->rowCount(), g.rowCount() + 1);
    // The total row follows edits.
    ASSERT_TRUE(g.editCell(g.firstRecordRow(1), 5, "1.5"));
    QCoreApplication::processEvents();
    EXPECT_EQ(g.totalText(5), "$1,301.40");

    // Many small amounts add up without drift.
    db().Execute("DELETE FROM EXPENSES");
    {
        ado::Transaction t(db());
        for (int i = 0; i < 1000; ++i)
            insertExpense("Favor", "Reception", 0.1);
        t.commit();
    }
    g.bind(open(kExpenses));
    g.setColumnTotalFormat(5, "");
    EXPECT_EQ(g.totalText(5), "100");

    // The largest amounts add up as far as the old engine's currency went,
    // and a total beyond it says so rather than wrapping round.
    db().Execute("DELETE FROM EXPENSES");
    for (int i = 0; i < 3; ++i)
        insertExpense("Estate", "Reception", 900000000000.0);
    g.bind(open(kExpenses));
    g.setColumnTotalFormat(5, "Currency");
    EXPECT_EQ(g.totalText(5), "$2,700,000,000,000.00");
    for (int i = 0; i < 20; ++i)
        insertExpense("Estate", "Reception", 900000000000000.0);
    g.bind(open(kExpenses));
    EXPECT_EQ(g.totalText(5), "Overflow");

    // An empty table still shows the zero totals.
    db().Execute("DELETE FROM EXPENSES");
    g.bind(open(kExpenses));
    EXPECT_EQ(g.rowCount(), 0);
    EXPECT_EQ(g.totalText(2), "Guests: 0");
    g.setColumnTotalFormat(5, "Currency");
    EXPECT_EQ(g.totalText(5), "$0.00");
    EXPECT_EQ(g.model()->rowCount(), 1);
    EXPECT_EQ(g.currentRow(), 0);

    // Total row off: nothing under the records.
    g.setTotalRow(0);
    EXPECT_EQ(g.model()->rowCount(), 0);
}

TEST_F(GridTest, RebindingWithTheSameFieldsKeepsColumnSettings)
{
    insertExpense("Cake", "Reception", 300.0);
    CheckedGrid list;
    CheckedGrid g;
    auto rs = open(kExpenses);
    g.bind(rs);
    g.groupBy(4);
    g.setColumnHidden(1);
    g.setColumnWidth(2, 3000);
    g.setColumnCaption(3, "Supplier");
    g.setColumnEditType(4, grid::etDropDown);
    g.setColumnDropDown(4, &list);
    g.setColumnFormat(5, "Currency");
    g.addColumnValueListItem(3, "Acme", "Acme");
    g.setColumnCardCaption(2);
    g.setColumnAggregate(5, grid::agSum);
    g.setColumnTotalPrefix(5, "Sum: ");
    g.setColumnTotalFormat(5, "Currency");
    g.setTotalRow(2);

    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_TRUE(g.isColumnHidden(1));
        EXPECT_TRUE(g.tableView()->isColumnHidden(0));
        EXPECT_EQ(g.columnWidth(2), 3000);
        EXPECT_EQ(g.tableView()->columnWidth(1), 200);
        EXPECT_EQ(g.columnCaption(3), "Supplier");
        EXPECT_EQ(g.model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Supplier");
        EXPECT_EQ(g.columnEditType(4), grid::etDropDown);
        EXPECT_EQ(g.columnDropDown(4), &list);
        EXPECT_EQ(g.columnFormat(5), "Currency");
        EXPECT_EQ(g.columnValueList(3).size(), 1);
        EXPECT_EQ(g.cardCaptionColumn(), 2);
        EXPECT_EQ(g.groupColumn(), 4);
        EXPECT_EQ(g.columnAggregate(5), grid::agSum);
    };
    check("bound");

    // The refresh of an editor: requery, then bind the same recordset again.
    insertExpense("Band", "Ceremony", 900.0);
    g.setSettingS3(true);
    g.operationR();
    rs->Requery();
    EXPECT_EQ(kinds(g), "HRHR");  // the requery alone shows the new rows
    g.bind(rs);
    check("requeried");
    EXPECT_EQ(kinds(g), "HRHR");
    EXPECT_EQ(g.totalText(5), "Sum: $1,200.00");

    // A width the user drags is kept as the column's width.
    g.tableView()->horizontalHeader()->resizeSection(1, 150);
    EXPECT_EQ(g.columnWidth(2), 2250);
    g.setColumnWidth(2, 3000);

    // A new recordset of the same SELECT keeps them too.
    g.bind(open(kExpenses));
    check("new recordset");

    // Another field set starts afresh; the grid-wide total mode stays.
    g.bind(open("SELECT TASK_ID, TASK_NAME AS [Task] FROM TASKS"));
    EXPECT_EQ(g.columnCount(), 2);
    EXPECT_FALSE(g.isColumnHidden(1));
    EXPECT_EQ(g.columnCaption(2), "Task");
    EXPECT_EQ(g.groupColumn(), 0);
    EXPECT_EQ(g.columnAggregate(2), grid::agNone);
    EXPECT_EQ(g.cardCaptionColumn(), 0);
    EXPECT_EQ(g.totalRow(), 2);
    EXPECT_EQ(g.columnEditType(2), grid::etText);

    // A recordset that failed to open shows nothing, and shaping it does no harm.
    g.bind(ado::Recordset::create());
    EXPECT_EQ(g.columnCount(), 0);
    EXPECT_EQ(g.rowCount(), 0);
    EXPECT_EQ(g.currentRow(), 0);
    EXPECT_EQ(g.totalText(1), "");
    EXPECT_FALSE(g.editCell(1, 1, "x"));
    EXPECT_EQ(g.reportModel().rows.size(), 0);
    g.bind(open("SELECT TASK_ID, TASK_NAME AS [Task] FROM TASKS"));

    // Out-of-range column numbers are ignored.
    g.setColumnWidth(9, 100);
    g.setColumnHidden(0);
    g.groupBy(7);
    EXPECT_EQ(g.groupColumn(), 0);
    EXPECT_EQ(g.columnCaption(9), "");
}

class GridJoinTest : public GridTest {
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        db().Execute("DELETE FROM INVITE");
        db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (901, 'Ceremony'), (902, 'Reception')");
        db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (801, 'Smith'), (802, 'Jones')");
        db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES "
                     "(701, 801, 'Anna', 'Smith'), (702, 801, 'Bob', 'Smith'), (703, 802, 'Cy', 'Jones')");
        db().Execute("INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT) VALUES "
                     "(601, 901, 701, 'Pending'), (602, 902, 701, 'Pending'), (603, 901, 702, 'Pending'), "
                     "(604, 902, 703, 'Pending')");
        db().Execute("DELETE FROM SYNCHRO");
    }
    static constexpr const char* kRsvp =
        "SELECT EVENT.EVENT_ID, EVENT.EVENT_NAME AS [Event], GUEST.GUEST_PARTYNAME AS [Party], "
        "SUBGUEST.SUBGUEST_FNAME AS [First], SUBGUEST.SUBGUEST_LNAME AS [Last], "
        "INVITE.INVITE_RSVP_TEXT AS [RSVP Status], INVITE.EVENT_FOOD AS [Food] "
        "FROM (GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID) INNER JOIN "
        "(EVENT INNER JOIN INVITE ON EVENT.EVENT_ID = INVITE.EVENT_ID) ON SUBGUEST.SUBGUEST_ID = INVITE.SUBGUEST_ID";
};

TEST_F(GridJoinTest, AnEditThroughAJoinChangesExactlyOneInvite)
{
    CheckedGrid g;
    g.bind(open(kRsvp));
    g.groupBy(2);
    for (int c : {2, 3, 4})
        g.setColumnEditType(c, grid::etReadOnly);
    ASSERT_EQ(kinds(g), "HRRHRR");
    // Find Anna's reception invitation.
    int row = 0;
    for (int r = 1; r <= g.rowCount(); ++r)
        if (g.value(r, 2) == "Reception" && g.value(r, 4) == "Anna" && g.rowKind(r) == RowKind::Record)
            row = r;
    ASSERT_GT(row, 0);

    QSignalSpy rejected(&g, &GridEX::editRejected);
    // Through the model, as a chosen list entry arrives.
    ASSERT_TRUE(g.model()->setData(g.model()->index(row - 1, 5), "Accepted", Qt::EditRole));
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE INVITE_RSVP_TEXT = 'Accepted'"), 1);
    EXPECT_EQ(db().scalar("SELECT INVITE_RSVP_TEXT FROM INVITE WHERE INVITE_ID = 602").toString(), "Accepted");
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE INVITE_RSVP_TEXT = 'Pending'"), 3);
    // Logged under the invitation's key, which the view does not select.
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'INVITE' AND SYNCHRO_RECORDID = 602"), 1);
    EXPECT_EQ(g.value(row, 6).toString(), "Accepted");
    EXPECT_EQ(g.model()->index(row - 1, 5).data().toString(), "Accepted");
    EXPECT_EQ(rejected.count(), 0);

    // Locked columns, group headers and the hidden key refuse edits; the
    // current cell never stays in a hidden column.
    g.setCurrentRow(row);
    g.tableView()->setCurrentIndex(g.model()->index(row - 1, 0));
    g.setColumnHidden(1);
    EXPECT_EQ(g.tableView()->currentIndex().column(), 1);
    EXPECT_EQ(g.currentRow(), row);
    EXPECT_FALSE(g.editCell(row, 1, "902"));
    const QString name = db().scalar("SELECT EVENT_NAME FROM EVENT WHERE EVENT_ID = 902").toString();
    EXPECT_FALSE(g.editCell(row, 2, "Party time"));
    EXPECT_FALSE(g.model()->flags(g.model()->index(row - 1, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(g.model()->flags(g.model()->index(row - 1, 5)) & Qt::ItemIsEditable);
    EXPECT_FALSE(g.editCell(1, 6, "Declined"));
    EXPECT_EQ(db().scalar("SELECT EVENT_NAME FROM EVENT WHERE EVENT_ID = 902").toString(), name);
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE INVITE_RSVP_TEXT = 'Declined'"), 0);
    EXPECT_EQ(rejected.count(), 3);

    // A read-only recordset takes no edits at all.
    CheckedGrid ro;
    ro.bind(open(kRsvp, ado::adLockReadOnly));
    EXPECT_FALSE(ro.isColumnEditable(6));
    EXPECT_FALSE(ro.editCell(1, 6, "Declined"));
}

TEST_F(GridTest, TextsThatDoNotConvertLeaveTheCell)
{
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE) VALUES (501, 'Book band', '2004-11-05 00:00:00')");
    insertExpense("Cake", "Reception", 300.0);
    db().Execute("DELETE FROM SYNCHRO");
    CheckedGrid tasks;
    tasks.bind(open("SELECT TASK_ID, TASK_COMPLETE AS [Done], TASK_NAME AS [Task], TASK_DUEDATE AS [Due Date] "
                    "FROM TASKS WHERE TASK_ID = 501"));
    CheckedGrid money;
    money.bind(open(kExpenses));
    money.setColumnFormat(5, "Currency");

    struct Case {
        GridEX* g;
        int column;
        QVariant typed;
        bool ok;
        QString shown;  // displayed text afterwards
    } cases[] = {
        {&tasks, 4, "not a date", false, "11/5/2004"},
        {&tasks, 4, "13/45/2004", false, "11/5/2004"},
        {&tasks, 4, "11/06/2004 2:30 PM", true, "11/6/2004 2:30 PM"},
        {&money, 5, "12abc", false, "$300.00"},
        {&money, 5, "$1,250.75", true, "$1,250.75"},
        {&money, 5, "", true, ""},  // cleared: no amount
        {&tasks, 3, "Book the band", true, "Book the band"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toString().toStdString());
        QSignalSpy rejected(c.g, &GridEX::editRejected);
        EXPECT_EQ(c.g->model()->setData(c.g->model()->index(0, c.column - 1), c.typed, Qt::EditRole), c.ok);
        EXPECT_EQ(rejected.count(), c.ok ? 0 : 1);
        EXPECT_EQ(c.g->text(1, c.column), c.shown);
    }
    EXPECT_EQ(db().scalar("SELECT TASK_DUEDATE FROM TASKS WHERE TASK_ID = 501").toString(), "2004-11-06 14:30:00");
    EXPECT_TRUE(db().scalar("SELECT EXPENSE_AMTPAID FROM EXPENSES").isNull());

    // A Yes/No cell is a check box.
    const QModelIndex done = tasks.model()->index(0, 1);
    EXPECT_EQ(done.data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(done.data(Qt::DisplayRole).toString().isEmpty());
    EXPECT_TRUE(tasks.model()->flags(done) & Qt::ItemIsUserCheckable);
    ASSERT_TRUE(tasks.model()->setData(done, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(count("SELECT TASK_COMPLETE FROM TASKS WHERE TASK_ID = 501"), 1);

    // Each changed record is in the change log once, as a change.
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'TASKS' AND SYNCHRO_RECORDID = 501 "
                    "AND SYNCHRO_ACTION = 2"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'EXPENSES' AND SYNCHRO_ACTION = 2"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 2);
}

TEST_F(GridTest, DropDownEditorsOfferTheListAndTakeTypedText)
{
    db().Execute("DELETE FROM PRIORITY");
    db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('High'), ('Low')");
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_PRIORITY) VALUES (502, 'Cake', 'Low')");
    CheckedGrid list;
    list.bind(open("Select PRIORITY_TEXT FROM PRIORITY"));
    list.setListMode(true);
    list.setListAutoHide(true);
    list.setValueColumn("PRIORITY_TEXT");
    EXPECT_EQ(list.listValues(), QStringList({"High", "Low"}));

    CheckedGrid g;
    g.resize(600, 300);
    g.show();
    g.bind(open("SELECT TASK_ID, TASK_NAME AS [Task], TASK_PRIORITY AS [Priority], TASK_EVENT AS [Event] "
                "FROM TASKS WHERE TASK_ID = 502"));
    g.setColumnEditType(3, grid::etDropDown);
    g.setColumnDropDown(3, &list);
    g.setColumnEditType(4, grid::etValueList);
    g.addColumnValueListItem(4, "Rehearsal", "Rehearsal");
    g.addColumnValueListItem(4, "Ceremony", "Ceremony");
    g.addColumnValueListItem(4, "REC", "Reception");  // shown as one text, stored as another

    QTableView* v = g.tableView();
    struct Case {
        int column;
        QStringList items;
        QString typed;
        QString stored;
    } cases[] = {
        {3, {"High", "Low"}, "high", "High"},      // the list's answer in other letter case is that answer
        {3, {"High", "Low"}, "Low", "Low"},        // a choice
        {3, {"High", "Low"}, "Urgent", "Urgent"},  // typed text is taken too
        {4, {"Rehearsal", "Ceremony", "Reception"}, "Ceremony", "Ceremony"},
        {4, {"Rehearsal", "Ceremony", "Reception"}, "ceremony", "Ceremony"},
        {4, {"Rehearsal", "Ceremony", "Reception"}, "reception", "REC"},  // only a stored value can be stored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_FALSE(g.editPending());
        const QModelIndex idx = g.model()->index(0, c.column - 1);
        v->setCurrentIndex(idx);
        v->edit(idx);
        auto* box = qobject_cast<QComboBox*>(v->indexWidget(idx));
        ASSERT_NE(box, nullptr);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        EXPECT_EQ(items, c.items);
        EXPECT_FALSE(g.editPending());  // open but untouched
        box->setEditText(c.typed);
        EXPECT_TRUE(g.editPending());
        EXPECT_TRUE(g.writeCurrentRow());
        EXPECT_FALSE(g.editPending());
        QCoreApplication::processEvents();
        EXPECT_EQ(g.value(1, c.column).toString(), c.stored);
        EXPECT_EQ(db().scalar(QString("SELECT %1 FROM TASKS WHERE TASK_ID = 502")
                                  .arg(c.column == 3 ? "TASK_PRIORITY" : "TASK_EVENT")).toString(), c.stored);
    }
    // A list grid takes no edits itself; nothing pending writes as success.
    EXPECT_FALSE(list.isColumnEditable(1));
    EXPECT_TRUE(g.writeCurrentRow());

    // Cancelling leaves the stored value.
    const QModelIndex task = g.model()->index(0, 1);
    v->setCurrentIndex(task);
    v->edit(task);
    auto* line = qobject_cast<QLineEdit*>(v->indexWidget(task));
    ASSERT_NE(line, nullptr);
    line->setText("Something else");
    EXPECT_TRUE(g.editPending());
    g.cancelEdit();
    QCoreApplication::processEvents();
    EXPECT_FALSE(g.editPending());
    EXPECT_EQ(g.value(1, 2).toString(), "Cake");
}

TEST_F(GridTest, HitTestAndMouseSignals)
{
    insertExpense("Cake", "Reception", 300.0);
    insertExpense("Band", "Reception", 900.0);
    CheckedGrid g;
    g.resize(700, 400);
    g.show();
    g.bind(open(kExpenses));
    g.groupBy(4);
    g.setColumnHidden(1);
    g.setTotalRow(2);
    g.setColumnAggregate(5, grid::agSum);
    ASSERT_EQ(kinds(g), "HRR");

    QTableView* v = g.tableView();
    const QPoint header = v->horizontalHeader()->mapTo(&g, QPoint(v->columnViewportPosition(2) + 5, 5));
    const QPoint blank = v->viewport()->mapTo(&g, QPoint(10, v->viewport()->height() - 5));
    struct Case {
        QPoint at;
        int area;
        int row;
        int column;
    } cases[] = {
        {QPoint(g.cellCenter(2, 2).x(), g.cellCenter(1, 2).y()), grid::haGroupHeader, 1, 2},
        {g.cellCenter(2, 3), grid::haCell, 2, 3},
        {g.cellCenter(3, 5), grid::haCell, 3, 5},
        {g.cellCenter(4, 5), grid::haTotalRow, 0, 5},
        {header, grid::haColumnHeader, 0, 3},
        {blank, grid::haNothing, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area);
        EXPECT_EQ(g.hitTest(c.at), c.area);
        EXPECT_EQ(g.rowAt(c.at), c.row);
        EXPECT_EQ(g.columnAt(c.at), c.column);
    }

    // A right click reports where it was and leaves the current row alone.
    g.setCurrentRow(2);
    QSignalSpy right(&g, &GridEX::rightClicked);
    QSignalSpy down(&g, &GridEX::mouseDown);
    QSignalSpy up(&g, &GridEX::mouseUp);
    QSignalSpy dbl(&g, &GridEX::doubleClicked);
    QSignalSpy current(&g, &GridEX::currentRowChanged);
    const QPoint cell = v->viewport()->mapFrom(&g, g.cellCenter(3, 3));
    QTest::mouseClick(v->viewport(), Qt::RightButton, {}, cell);
    ASSERT_EQ(right.count(), 1);
    EXPECT_EQ(right[0][1].toInt(), 3);
    EXPECT_EQ(right[0][2].toInt(), 3);
    EXPECT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(g.currentRow(), 2);
    EXPECT_EQ(current.count(), 0);

    // A left click moves it; a double-click is reported.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(g.currentRow(), 3);
    ASSERT_GE(current.count(), 1);
    EXPECT_EQ(current.last()[0].toInt(), 3);
    // Moving along the row is no change of row.
    const int changes = current.count();
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->viewport()->mapFrom(&g, g.cellCenter(3, 2)));
    EXPECT_EQ(current.count(), changes);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_EQ(dbl.count(), 1);

    // The total row never becomes current.
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->viewport()->mapFrom(&g, g.cellCenter(4, 3)));
    EXPECT_EQ(g.currentRow(), 3);
}

TEST_F(GridTest, CardLayoutAndTheReportModel)
{
    db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_CITY, GUEST_ZIP) VALUES ('Smith', 'Austin', '78701'), "
                 "('Jones', 'Dallas', NULL)");
    CheckedGrid g;
    g.resize(800, 400);
    g.show();
    g.setGridLayout(grid::Layout::Cards);
    g.setCardWidth(3000);
    g.bind(open("SELECT GUEST_ID, GUEST_PARTYNAME AS [Party Name], GUEST_CITY AS [City], GUEST_ZIP AS [Zip] "
                "FROM GUEST ORDER BY GUEST_ID"));
    g.setColumnHidden(1);
    g.setColumnCardCaption(2);
    g.setCardsAcross(3);
    g.setPageHeader("Guest-Address Report for Our Wedding");
    g.setPageMargins(1152, 1152);
    g.setCurrentRow(2);
    EXPECT_EQ(g.currentValue(2).toString(), "Jones");
    EXPECT_EQ(g.hitTest(g.cellCenter(1, 1)), grid::haCell);
    EXPECT_EQ(g.rowAt(g.cellCenter(2, 1)), 2);

    grid::ReportModel m = g.reportModel();
    EXPECT_EQ(m.layout, grid::Layout::Cards);
    EXPECT_EQ(m.cardsAcross, 3);
    EXPECT_EQ(m.cardWidthTwips, 3000);
    EXPECT_EQ(m.pageHeader, "Guest-Address Report for Our Wedding");
    EXPECT_EQ(m.leftMarginTwips, 1152);
    ASSERT_EQ(m.columns.size(), 2);  // key hidden, caption on the title
    EXPECT_EQ(m.columns[0].caption, "City");
    ASSERT_EQ(m.rows.size(), 2);
    EXPECT_EQ(m.rows[0].headerText, "Smith");
    EXPECT_EQ(m.rows[0].texts, QStringList({"Austin", "78701"}));
    EXPECT_EQ(m.rows[1].texts, QStringList({"Dallas", ""}));

    // Rows: group headers, records and the total row, as displayed.
    insertExpense("Cake", "Reception", 300.0);
    insertExpense("Band", "Ceremony", 900.0);
    g.setGridLayout(grid::Layout::Rows);
    g.bind(open(kExpenses));
    g.groupBy(4);
    for (int c : {1, 3, 6})
        g.setColumnHidden(c);
    g.setColumnWidth(2, 2400);
    g.setColumnFormat(5, "Currency");
    g.setTotalRow(2);
    g.setColumnAggregate(5, grid::agSum);
    g.setColumnTotalFormat(5, "Currency");
    m = g.reportModel();
    ASSERT_EQ(m.columns.size(), 3);
    EXPECT_EQ(m.columns[0].widthTwips, 2400);
    EXPECT_EQ(m.columns[2].caption, "Amt Paid");
    EXPECT_TRUE(m.columns[2].rightAligned);
    ASSERT_EQ(m.rows.size(), 5);
    EXPECT_EQ(m.rows[0].kind, RowKind::GroupHeader);
    EXPECT_EQ(m.rows[0].headerText, "Event: Ceremony (1)");
    EXPECT_EQ(m.rows[1].texts, QStringList({"Band", "Ceremony", "$900.00"}));
    EXPECT_EQ(m.rows[4].kind, RowKind::Total);
    EXPECT_EQ(m.rows[4].texts, QStringList({"", "", "$1,200.00"}));
}

TEST_F(GridTest, TenThousandRowsBindGroupAndTotal)
{
    {
        ado::Transaction t(db());
        for (int i = 0; i < 10000; ++i)
            db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES (?)", {QString("Party %1").arg(i / 4)});
        t.commit();
    }
    CheckedGrid g;
    g.resize(800, 600);
    g.show();
    g.bind(open("SELECT GUEST_ID, GUEST_PARTYNAME AS [Party Name] FROM GUEST"));
    g.groupBy(2);
    g.repaint();
    g.bind(g.recordset());
    g.setTotalRow(2);
    g.setColumnAggregate(2, grid::agCount);
    g.setColumnTotalPrefix(2, "Guests: ");
    QCoreApplication::processEvents();
    EXPECT_EQ(g.rowCount(), 12500);
    EXPECT_EQ(g.totalText(2), "Guests: 10000");
    g.setCurrentRow(12500);
    g.repaint();
    EXPECT_EQ(g.currentRowKind(), RowKind::Record);
    EXPECT_EQ(g.groupHeaderText(g.firstRecordRow(12497) - 1), g.groupHeaderText(12496));
}

TEST_F(GridTest, HeaderRowsReadAcrossTheRowWhereverTheGridIsScrolled)
{
    // Thousands of groups: wherever the keys or the wheel take the grid, each
    // header row on screen is one cell across every column.
    {
        ado::Transaction t(db());
        for (int i = 0; i < 6000; ++i)
            db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_CITY) VALUES (?, 'Salem')",
                         {QString("Party %1").arg(i / 2, 4, 10, QChar('0'))});
        t.commit();
    }
    GridEX g;
    g.resize(600, 400);
    g.bind(open("SELECT GUEST_ID, GUEST_PARTYNAME AS [Party Name], GUEST_CITY AS [City] FROM GUEST"));
    g.groupBy(2);
    ASSERT_TRUE(testsupport::showActive(&g));
    QTableView* t = g.tableView();
    t->setFocus();
    const auto spannedOnScreen = [&] {
        QStringList cut;
        const int first = t->rowAt(0), last = t->rowAt(t->viewport()->height() - 1);
        for (int r = first; r >= 0 && r <= (last < 0 ? g.rowCount() - 1 : last); ++r)
            if (g.rowKind(r + 1) == RowKind::GroupHeader && t->columnSpan(r, 0) != 3)
                cut << QString::number(r + 1);
        return cut;
    };
    const struct {
        const char* move;
        std::function<void()> act;
    } moves[] = {
        {"Ctrl+End", [&] { QTest::keyClick(t, Qt::Key_End, Qt::ControlModifier); }},
        {"Page Up, three times", [&] { for (int i = 0; i < 3; ++i) QTest::keyClick(t, Qt::Key_PageUp); }},
        {"the wheel up", [&] { testsupport::wheel(t->viewport(), t->viewport()->rect().center(), 40); }},
        {"the scroll bar dragged to the middle",
         [&] { t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum() / 2); }},
        {"Ctrl+Home", [&] { QTest::keyClick(t, Qt::Key_Home, Qt::ControlModifier); }},
    };
    for (const auto& m : moves) {
        m.act();
        QCoreApplication::processEvents();
        EXPECT_EQ(spannedOnScreen(), QStringList()) << m.move << ", first row " << t->rowAt(0);
    }
}

}  // namespace
