// The data layer as the windows use it: keys, fields by name, typed text,
// write-back through joins, transactions.

#include "support/fixture.h"

#include "platform/ado/ado.h"

#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <limits>

using testsupport::DbTest;
using namespace ado;

namespace {

class AdoTest : public DbTest {};

TEST_F(AdoTest, KeysAreReservedAtAddNewAndNeverReused)
{
    Recordset rs;
    rs.Open("SELECT * FROM TASKS", db());
    rs.AddNew();
    const qlonglong first = rs.value("TASK_ID").toLongLong();
    EXPECT_GT(first, 0);
    // Readable before Update, and stored under that key.
    rs.setValue("TASK_NAME", "Book the band");
    rs.Update();
    EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_ID = ?", {first}), 1);

    // A key started but never stored is not handed out again either.
    rs.AddNew();
    const qlonglong abandoned = rs.value("TASK_ID").toLongLong();
    rs.CancelUpdate();
    EXPECT_GT(abandoned, first);

    db().Execute("DELETE FROM TASKS WHERE TASK_ID = ?", {first});
    rs.AddNew();
    rs.setValue("TASK_NAME", "Order flowers");
    const qlonglong next = rs.value("TASK_ID").toLongLong();
    rs.Update();
    EXPECT_GT(next, abandoned);

    // Plain INSERTs that leave the key out draw from the same counter.
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES (?)", {"Try the cake"});
    EXPECT_GT(count("SELECT max(TASK_ID) FROM TASKS"), next);
}

TEST_F(AdoTest, SuppliedKeyIsAcceptedOnInsert)
{
    Recordset rs;
    rs.Open("SELECT * FROM VENDOR", db());
    rs.AddNew();
    rs.setValue("VENDOR_ID", 424242);
    rs.setValue("VENDOR_NAME", "Blooms & Co");
    rs.Update();
    EXPECT_EQ(db().scalar("SELECT VENDOR_NAME FROM VENDOR WHERE VENDOR_ID = 424242").toString(), "Blooms & Co");
    EXPECT_EQ(rs.value("VENDOR_ID").toLongLong(), 424242);
}

TEST_F(AdoTest, NewTasksTakeUsDatesAndAreIncomplete)
{
    Recordset rs;
    rs.Open("SELECT * FROM TASKS", db());
    struct { const char* name; QString due; } typed[] = {
        {"overdue", "10/30/2004"},
        {"midnight", "11/05/2004"},
        {"afternoon", "11/05/2004 14:30"},
        {"late evening", "11/5/2004 11:59 PM"},
        {"tomorrow", "11/06/2004 00:00"},
    };
    for (const auto& r : typed) {
        rs.AddNew();
        rs.setValue("TASK_NAME", r.name);
        ASSERT_TRUE(rs.setValue("TASK_DUEDATE", r.due)) << r.due.toStdString();
        rs.Update();
    }
    EXPECT_EQ(rs.value("TASK_COMPLETE").toBool(), false);
    EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_COMPLETE = FALSE"), 5);
    EXPECT_EQ(rows("SELECT TASK_DUEDATE FROM TASKS ORDER BY TASK_ID").join(' '),
              "2004-10-30 00:00:00 2004-11-05 00:00:00 2004-11-05 14:30:00 2004-11-05 23:59:00 2004-11-06 00:00:00");
}

TEST_F(AdoTest, FieldsByNameIgnoreCaseAndApostrophesRoundTrip)
{
    db().Execute("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START) VALUES (?, ?)",
                 {"O'Brien's fitting", "2004-11-05 10:00:00"});
    Recordset rs;
    rs.Open("SELECT * FROM APPOINTMENT WHERE Appointment_Text = ?", db(), adOpenKeyset, adLockOptimistic,
            {"O'Brien's fitting"});
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.value("Appointment_Start").toDateTime(), convert::wallClock(QDate(2004, 11, 5), QTime(10, 0)));
    EXPECT_EQ(rs["appointment_TEXT"].text(), "O'Brien's fitting");
    EXPECT_THROW(rs.value("NO_SUCH_FIELD"), Error);
    // The hidden row identity is never a column.
    EXPECT_EQ(rs.fieldCount(), 6);
    EXPECT_EQ(rs.fieldName(0), "APPOINTMENT_ID");
}

TEST_F(AdoTest, TypedTextThatDoesNotConvertLeavesItsColumnAndStoresTheRest)
{
    Recordset rs;
    rs.Open("SELECT * FROM EXPENSES", db());
    rs.AddNew();
    rs.setValue("EXPENSE_AMTDUE", "$1,250.50");
    rs.Update();
    const qlonglong id = rs.value("EXPENSE_ID").toLongLong();

    rs.setValue("EXPENSE_TEXT", "Photographer");
    EXPECT_FALSE(rs.setValue("EXPENSE_DUEDATE", "next Tuesday"));
    EXPECT_FALSE(rs.setValue("EXPENSE_AMTPAID", "12abc"));
    EXPECT_FALSE(rs.setValue("EXPENSE_AMTDUE", "1,25"));
    rs.Update();

    Recordset back;
    back.Open("SELECT * FROM EXPENSES WHERE EXPENSE_ID = ?", db(), adOpenKeyset, adLockOptimistic, {id});
    EXPECT_EQ(back.value("EXPENSE_TEXT").toString(), "Photographer");
    EXPECT_TRUE(back.value("EXPENSE_DUEDATE").isNull());
    EXPECT_TRUE(back.value("EXPENSE_AMTPAID").isNull());
    EXPECT_DOUBLE_EQ(back.value("EXPENSE_AMTDUE").toDouble(), 1250.5);
}

TEST_F(AdoTest, ConversionTable)
{
    struct Case {
        ColumnKind kind;
        QVariant in;
        bool ok;
        QVariant out;
    };
    const Case cases[] = {
        {ColumnKind::DateTime, "11/05/2004 12:00 PM", true, "2004-11-05 12:00:00"},
        {ColumnKind::DateTime, "11/05/2004 12:00 AM", true, "2004-11-05 00:00:00"},
        {ColumnKind::DateTime, "2/29/2004", true, "2004-02-29 00:00:00"},
        {ColumnKind::DateTime, "2/29/2003", false, {}},
        {ColumnKind::DateTime, "13/01/2004", false, {}},
        {ColumnKind::DateTime, "14:30", true, "1899-12-30 14:30:00"},
        {ColumnKind::DateTime, "2:30 PM", true, "1899-12-30 14:30:00"},
        {ColumnKind::DateTime, "2004-11-05 09:15:00", true, "2004-11-05 09:15:00"},
        {ColumnKind::DateTime, "2004-11-05T09:15:00", true, "2004-11-05 09:15:00"},
        // A two-digit year lies from 20 years back to 79 ahead.
        {ColumnKind::DateTime, "6/1/30", true, "2030-06-01 00:00:00"},
        {ColumnKind::DateTime, "6/1/2030 14:30", true, "2030-06-01 14:30:00"},
        {ColumnKind::DateTime, "11/05/2004 25:00", false, {}},
        {ColumnKind::DateTime, "12", false, {}},
        {ColumnKind::Currency, "12abc", false, {}},
        {ColumnKind::Currency, "($12.50)", true, -12.5},
        {ColumnKind::Currency, "0.123456", true, 0.1235},
        {ColumnKind::Currency, "1,000,000", true, 1000000.0},
        {ColumnKind::Currency, "", true, {}},
        {ColumnKind::Integer, "12abc", false, {}},
        {ColumnKind::Integer, " 42 ", true, 42},
        {ColumnKind::YesNo, "Yes", true, 1},
        {ColumnKind::YesNo, "False", true, 0},
        {ColumnKind::YesNo, "maybe", false, {}},
        {ColumnKind::YesNo, true, true, 1},
        {ColumnKind::Text, "", true, ""},
        // The day planner writes minutes without their leading zero.
        {ColumnKind::DateTime, "9:5", true, "1899-12-30 09:05:00"},
        {ColumnKind::DateTime, "11/5/2004 9:5", true, "2004-11-05 09:05:00"},
        {ColumnKind::DateTime, "11/5/2004 9:75", false, {}},
        // Parentheses are the minus sign; a sign inside them is refused.
        {ColumnKind::Currency, "(5)", true, -5.0},
        {ColumnKind::Currency, "(-5)", false, {}},
        {ColumnKind::Currency, "-5", true, -5.0},
        // What the old engine's currency held, and no more.
        {ColumnKind::Currency, "922337203685477", true, 922337203685477.0},
        {ColumnKind::Currency, "-922337203685477", true, -922337203685477.0},
        {ColumnKind::Currency, "922337203685478", false, {}},
        {ColumnKind::Currency, "-922,337,203,685,478", false, {}},
        {ColumnKind::Currency, 1e300, false, {}},
        // Whole numbers round halves to even.
        {ColumnKind::Integer, "12.5", true, 12},
        {ColumnKind::Integer, "13.5", true, 14},
        {ColumnKind::Integer, "-12.5", true, -12},
        {ColumnKind::Integer, 2.5, true, 2},
        // Not a number is no value of any column.
        {ColumnKind::Integer, std::nan(""), false, {}},
        {ColumnKind::Real, std::nan(""), false, {}},
        {ColumnKind::Currency, std::nan(""), false, {}},
        {ColumnKind::YesNo, std::nan(""), false, {}},
        {ColumnKind::Text, std::nan(""), false, {}},
        {ColumnKind::Other, std::numeric_limits<double>::infinity(), false, {}},
    };
    for (const Case& c : cases) {
        QVariant out;
        const bool ok = convert::toStorage(c.kind, c.in, out);
        EXPECT_EQ(ok, c.ok) << c.in.toString().toStdString();
        if (ok && c.ok) {
            if (c.out.typeId() == QMetaType::Double)
                EXPECT_DOUBLE_EQ(out.toDouble(), c.out.toDouble()) << c.in.toString().toStdString();
            else
                EXPECT_EQ(out.toString(), c.out.toString()) << c.in.toString().toStdString();
            EXPECT_EQ(out.isNull(), c.out.isNull()) << c.in.toString().toStdString();
        }
    }
}

TEST_F(AdoTest, EditThroughAJoinChangesOneBaseRowAndOnlyTheChangedColumn)
{
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Reception'), (2, 'Shower')");
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (10, 'Smith')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (100, 10, 'Ann'), (101, 10, 'Bob')");
    db().Execute("INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT, EVENT_FOOD) VALUES "
                 "(1000, 1, 100, '', 'Fish'), (1001, 1, 101, '', 'Beef'), (1002, 2, 100, '', '')");
    Recordset rs;
    rs.Open("SELECT INVITE.INVITE_ID, EVENT.EVENT_NAME AS [Event], GUEST.GUEST_PARTYNAME AS [Party], "
            "SUBGUEST.SUBGUEST_FNAME AS [First], INVITE.INVITE_RSVP_TEXT AS [RSVP Status], INVITE.EVENT_FOOD AS [Food] "
            "FROM (GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID) INNER JOIN "
            "(EVENT INNER JOIN INVITE ON EVENT.EVENT_ID = INVITE.EVENT_ID) ON SUBGUEST.SUBGUEST_ID = INVITE.SUBGUEST_ID "
            "ORDER BY INVITE.INVITE_ID",
            db());
    ASSERT_EQ(rs.RecordCount(), 3);
    EXPECT_EQ(rs.fieldCount(), 6);
    EXPECT_EQ(rs.fieldName(4), "RSVP Status");

    const int changesBefore = sqlite3_total_changes(db().handle());
    ASSERT_TRUE(rs.setCell(0, 4, "Attending"));
    EXPECT_EQ(sqlite3_total_changes(db().handle()) - changesBefore, 1);
    EXPECT_EQ(db().scalar("SELECT INVITE_RSVP_TEXT FROM INVITE WHERE INVITE_ID = 1000").toString(), "Attending");
    EXPECT_EQ(count("SELECT count(*) FROM INVITE WHERE INVITE_RSVP_TEXT = 'Attending'"), 1);
    EXPECT_EQ(db().scalar("SELECT EVENT_FOOD FROM INVITE WHERE INVITE_ID = 1000").toString(), "Fish");

    // A column of another base table goes to that table's row only.
    rs.setPosition(1);
    rs.setValue("First", "Robert");
    rs.Update();
    EXPECT_EQ(db().scalar("SELECT SUBGUEST_FNAME FROM SUBGUEST WHERE SUBGUEST_ID = 101").toString(), "Robert");
    EXPECT_EQ(db().scalar("SELECT SUBGUEST_FNAME FROM SUBGUEST WHERE SUBGUEST_ID = 100").toString(), "Ann");
}

TEST_F(AdoTest, RequeryDeleteAndReadOnly)
{
    db().Execute("INSERT INTO TITLES (TITLE_TEXT) VALUES ('Rev.')");
    Recordset rs;
    rs.Open("SELECT * FROM TITLES ORDER BY TITLE_ID", db());
    const int n = rs.RecordCount();
    db().Execute("INSERT INTO TITLES (TITLE_TEXT) VALUES ('Capt.')");
    EXPECT_EQ(rs.RecordCount(), n);
    rs.Requery();
    EXPECT_EQ(rs.RecordCount(), n + 1);

    // Delete then MoveNext visits the row after the deleted one.
    rs.MoveFirst();
    const QString second = rs.cell(1, 1).toString();
    rs.Delete();
    rs.MoveNext();
    EXPECT_EQ(rs.value("TITLE_TEXT").toString(), second);
    EXPECT_EQ(count("SELECT count(*) FROM TITLES"), n);

    Recordset ro;
    ro.Open("SELECT * FROM TITLES", db(), adOpenForwardOnly, adLockReadOnly);
    EXPECT_THROW(ro.setValue("TITLE_TEXT", "x"), Error);
    EXPECT_FALSE(ro.setCell(0, 1, "x"));

    Recordset sum;
    sum.Open("SELECT count(*) AS TOTAL FROM TITLES", db());
    EXPECT_FALSE(sum.isUpdatable());
    EXPECT_EQ(sum.value("TOTAL").toInt(), n);
}

TEST_F(AdoTest, TransactionsAreWholeOrNothing)
{
    const qlonglong before = count("SELECT count(*) FROM PRIORITY");
    {
        Transaction t(db());
        db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('Urgent')");
        {
            Transaction inner(db());
            db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('Someday')");
        }  // inner rolled back
        EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), before + 1);
    }  // outer rolled back
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), before);
    {
        Transaction t(db());
        db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('Urgent')");
        t.commit();
    }
    EXPECT_EQ(count("SELECT count(*) FROM PRIORITY"), before + 1);
    EXPECT_EQ(db().transactionDepth(), 0);
}

TEST(AdoOpen, NonDatabaseAndMissingFilesFailAtOpen)
{
    QTemporaryDir dir;
    Connection c;
    EXPECT_THROW(c.Open(dir.path() + "/missing.qvd"), Error);
    EXPECT_FALSE(QFile::exists(dir.path() + "/missing.qvd"));
    QFile f(dir.path() + "/junk.qvd");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    EXPECT_THROW(c.Open(f.fileName()), Error);
    EXPECT_FALSE(c.isOpen());
}

}  // namespace

TEST_F(AdoTest, StreamedRowsGiveEachRowOnceWithNullsAndAFailureThrows)
{
    db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_CITY) VALUES ('O''Brien', NULL), (NULL, 'Lyon')");
    QStringList seen;
    db().forEachRow("SELECT GUEST_ID, GUEST_PARTYNAME, GUEST_CITY FROM GUEST WHERE GUEST_ID > ? ORDER BY GUEST_ID", {0},
                    [&](const Row& r) {
                        seen << QString("%1|%2|%3|%4").arg(r.integer(0) > 0).arg(r.text(1)).arg(r.isNull(1)).arg(
                            r.value(2).isValid() ? r.value(2).toString() : "-");
                    });
    EXPECT_EQ(seen, QStringList({"1|O'Brien|0|-", "1||1|Lyon"}));
    EXPECT_THROW(db().forEachRow("SELECT NOPE FROM GUEST", {}, [](const Row&) {}), ado::Error);
}

// An error names the statement it came from, so a failure passed over can
// be traced; one of a recordset's rows or fields names the recordset's SQL.
TEST_F(AdoTest, ErrorsNameTheirStatement)
{
    const QString bad = "SELECT NOPE FROM GUEST";
    const QString guests = "SELECT GUEST_ID FROM GUEST";
    Recordset rs;
    const struct {
        const char* what;
        std::function<void()> fail;
        QString statement;
    } cases[] = {
        {"Execute", [&] { db().Execute("UPDATE GUEST SET NOPE = 1"); }, "UPDATE GUEST SET NOPE = 1"},
        {"scalar", [&] { db().scalar(bad); }, bad},
        {"a streamed read", [&] { db().forEachRow(bad, {}, [](const Row&) {}); }, bad},
        {"a bound value", [&] { db().Execute("INSERT INTO GUEST (GUEST_ID) VALUES (?)", {1, 2}); },
         "INSERT INTO GUEST (GUEST_ID) VALUES (?)"},
        {"Open", [&] { rs.Open(bad, db()); }, bad},
        {"an unknown field",
         [&] {
             rs.Open(guests, db());
             rs.value("NOPE");
         },
         guests},
        {"past the last row",
         [&] {
             rs.Open(guests, db());
             rs.MoveNext();
         },
         guests},
    };
    for (const auto& c : cases) {
        QString statement = "(none thrown)";
        try {
            c.fail();
        } catch (const Error& e) {
            statement = e.statement();
        }
        EXPECT_EQ(statement, c.statement) << c.what;
    }
}

// Rows are kept as SQLite hands them out and made values only when read: every
// storage class reads back exactly, after a load, a cell edit, AddNew, a
// Delete of the row before and a Requery.
TEST_F(AdoTest, EveryKindOfValueReadsBackExactly)
{
    db().Execute("CREATE TABLE KEPT (KEPT_ID INTEGER PRIMARY KEY, KEPT_TEXT TEXT, KEPT_COUNT INTEGER, "
                 "KEPT_AMOUNT CURRENCY, KEPT_WHEN DATETIME, KEPT_DONE YESNO, KEPT_DATA BLOB)");
    const QDateTime when = convert::wallClock(QDate(2027, 8, 14), QTime(15, 30));
    struct Case {
        const char* what;
        int column;
        QVariant stored;
        QVariant read;
    };
    const QByteArray blob("\0\x01\xff\0z", 5);
    const Case cases[] = {
        {"accents and CJK", 1, "Ångström-Lefèvre 婚礼の招待 💍", "Ångström-Lefèvre 婚礼の招待 💍"},
        {"empty text", 1, "", ""},
        {"NULL text", 1, QVariant(), QVariant()},
        {"2^53 + 1", 2, qlonglong(9007199254740993LL), qlonglong(9007199254740993LL)},
        {"2^52 + 1", 2, qlonglong(4503599627370497LL), qlonglong(4503599627370497LL)},
        {"most negative", 2, qlonglong(-9223372036854775807LL), qlonglong(-9223372036854775807LL)},
        {"largest currency", 3, 922337203685477.0, 922337203685477.0},
        {"four decimals", 3, 1234.5678, 1234.5678},
        {"smallest currency", 3, -0.0001, -0.0001},
        {"date", 4, "2027-08-14 15:30:00", when},
        {"Yes", 5, 1, true},
        {"No", 5, 0, false},
        {"blob", 6, blob, blob},
    };
    for (const Case& c : cases) {
        const QString column = QStringList{"KEPT_ID", "KEPT_TEXT", "KEPT_COUNT", "KEPT_AMOUNT", "KEPT_WHEN",
                                           "KEPT_DONE", "KEPT_DATA"}[c.column];
        db().Execute(QString("INSERT INTO KEPT (%1) VALUES (?)").arg(column), {c.stored});
    }
    const int n = int(std::size(cases));
    const auto expectRow = [&](const Recordset& rs, int row, const Case& c) {
        SCOPED_TRACE(QString("%1 in row %2").arg(c.what).arg(row).toStdString());
        const QVariant v = rs.cell(row, c.column);
        EXPECT_EQ(v.typeId(), c.read.typeId());
        EXPECT_EQ(v, c.read);
        EXPECT_EQ(v.isValid(), c.read.isValid());
    };
    Recordset rs;
    rs.Open("SELECT * FROM KEPT ORDER BY KEPT_ID", db());
    ASSERT_EQ(rs.RecordCount(), n);
    for (int r = 0; r < n; ++r)
        expectRow(rs, r, cases[r]);

    // Each value written into the first row's cell, and read back from the row
    // (typed whole numbers stop at 9e15; no typed text makes a blob).
    for (const Case& c : cases) {
        if (c.column == 6 || (c.column == 2 && std::abs(c.read.toLongLong()) > 9000000000000000LL))
            continue;
        ASSERT_TRUE(rs.setCell(0, c.column, c.read)) << c.what;
        expectRow(rs, 0, c);
    }

    // A new row copied from the others, then the first row deleted.
    rs.MoveFirst();
    rs.AddNew();
    rs.setValue(1, cases[0].read);
    rs.setValue(2, cases[4].read);
    rs.setValue(4, cases[9].read);
    rs.Update();
    expectRow(rs, n, cases[0]);
    expectRow(rs, n, cases[4]);
    expectRow(rs, n, cases[9]);
    rs.MoveFirst();
    rs.Delete();
    for (int r = 1; r < n; ++r)
        expectRow(rs, r - 1, cases[r]);
    rs.Requery();
    ASSERT_EQ(rs.RecordCount(), n);
    for (int r = 1; r < n; ++r)
        expectRow(rs, r - 1, cases[r]);
}
