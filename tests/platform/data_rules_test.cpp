// What the data layer keeps on every write, whatever statement makes it:
// a COMMIT another program blocks, keys of every form of INSERT, typed texts
// bound into Execute, AddNew and Delete over joins and aliases, settings.

#include "support/fixture.h"

#include "platform/ado/ado.h"
#include "platform/settings/settings.h"

#include <sqlite3.h>

#include <QSet>

#include <cmath>

using testsupport::DbTest;
using namespace ado;

namespace {

class DataRules : public DbTest {
protected:
    qint64 low() { return Connection::firstKeyOf(db().copyNumber()); }
    qint64 high() { return Connection::lastKeyOf(db().copyNumber()); }
    bool ours(qint64 k) { return k >= low() && k <= high(); }
    QList<qint64> keys(const QString& sql)
    {
        QList<qint64> out;
        Recordset rs;
        rs.Open(sql, db(), adOpenStatic, adLockReadOnly);
        for (int r = 0; r < rs.RecordCount(); ++r)
            out << rs.cell(r, 0).toLongLong();
        return out;
    }
};

// A second program reading the file: its read transaction holds a shared lock
// until it ends, so our COMMIT cannot take the file.
class Reader {
public:
    explicit Reader(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
        exec("BEGIN");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_, "SELECT count(*) FROM GUEST", -1, &st, nullptr);
        sqlite3_step(st);
        sqlite3_finalize(st);
    }
    ~Reader() { sqlite3_close(db_); }
    void finish() { exec("COMMIT"); }

private:
    void exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    sqlite3* db_ = nullptr;
};

TEST_F(DataRules, ACommitAnotherProgramBlocksRollsBackAndLaterWritesPersist)
{
    const QString path = db().path();
    db().setBusyTimeout(50);
    {
        Reader reader(path);
        Transaction t(db());
        db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Lost in the commit')");
        EXPECT_THROW(t.commit(), Error);
        EXPECT_EQ(db().transactionDepth(), 0);
        // The failed transaction is undone here at once, not left open.
        EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 0);
        reader.finish();
    }
    // The connection is usable: a transaction and a plain write both persist.
    {
        Transaction t(db());
        db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Kept')");
        t.commit();
    }
    db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Kept too')");
    db().Close();
    Connection again;
    again.Open(path);
    EXPECT_EQ(again.scalar("SELECT group_concat(GUEST_PARTYNAME, '|') FROM (SELECT GUEST_PARTYNAME FROM GUEST "
                           "ORDER BY GUEST_ID)")
                  .toString(),
              "Kept|Kept too");
}

TEST_F(DataRules, EveryFormOfInsertTakesAKeyOfThisCopy)
{
    // A merge brought rows of a copy with a higher number, and of the template's range.
    const qint64 theirs = Connection::firstKeyOf(db().copyNumber() + 7) + 40;
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, 'Theirs'), (5, 'Old')", {theirs});
    db().Execute("INSERT INTO TITLES (TITLE_ID, TITLE_TEXT) VALUES (?, 'Their title')", {theirs});

    const char* forms[] = {
        "INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('multi 1'), ('multi 2')",
        "INSERT INTO GUEST (GUEST_PARTYNAME) SELECT 'select ' || TITLE_TEXT FROM TITLES",
        "INSERT OR REPLACE INTO GUEST (GUEST_PARTYNAME) VALUES ('or replace')",
        "REPLACE INTO GUEST (GUEST_PARTYNAME) VALUES ('replace')",
        "INSERT OR IGNORE INTO \"GUEST\" (GUEST_PARTYNAME) VALUES ('quoted')",
        "INSERT INTO [GUEST] (GUEST_PARTYNAME) VALUES ('bracketed')",
        "insert into guest (guest_partyname) values ('lower case')",
        "INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (NULL, 'null key')",
        "INSERT INTO GUEST DEFAULT VALUES",
        "  INSERT INTO main.GUEST (GUEST_PARTYNAME) VALUES ('schema named')",
        "WITH n(x) AS (VALUES ('cte')) INSERT INTO GUEST (GUEST_PARTYNAME) SELECT x FROM n",
    };
    QStringList all(forms, forms + std::size(forms));
    QStringList values{"NULL", "'no column list'"};
    while (values.size() < db().columnNames("GUEST").size())
        values << "NULL";
    all << "INSERT INTO GUEST VALUES (" + values.join(", ") + ")";
    QSet<qint64> seen;
    for (const QString& sqlText : all) {
        const std::string sql = sqlText.toStdString();
        const QList<qint64> before = keys("SELECT GUEST_ID FROM GUEST");
        db().Execute(sqlText);
        const qint64 last = db().lastInsertId();
        int added = 0;
        for (qint64 k : keys("SELECT GUEST_ID FROM GUEST")) {
            if (before.contains(k))
                continue;
            ++added;
            EXPECT_TRUE(ours(k)) << sql << ": " << k;
            EXPECT_FALSE(seen.contains(k)) << sql;
            seen.insert(k);
        }
        EXPECT_GE(added, 1) << sql;
        // The key a caller reads back is the one the row has.
        EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_ID = ?", {last}), 1) << sql;
        EXPECT_EQ(db().scalar("SELECT last_insert_rowid()").toLongLong(), last) << sql;
    }
    // Supplied keys are kept: the merge inserts other copies' rows so.
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_ID IN (?, 5)", {theirs}), 2);
    // And AddNew still reserves from our range.
    Recordset rs;
    rs.Open("SELECT * FROM TITLES", db());
    rs.AddNew();
    EXPECT_TRUE(ours(rs.value("TITLE_ID").toLongLong()));
    rs.CancelUpdate();
}

TEST_F(DataRules, KeysOfDeletedAndReservedRowsAreNeverGivenAgain)
{
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('a'), ('b')");
    const qint64 top = count("SELECT max(TASK_ID) FROM TASKS");
    db().Execute("DELETE FROM TASKS WHERE TASK_ID = ?", {top});
    // A merge puts the AUTOINCREMENT counters back as they were before it.
    db().setKeyCounters({});
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('c')");
    const qint64 c = db().lastInsertId();
    EXPECT_GT(c, top);

    // A key reserved by an open AddNew is not taken by a plain INSERT meanwhile.
    Recordset rs;
    rs.Open("SELECT * FROM TASKS", db());
    rs.AddNew();
    const qint64 reserved = rs.value("TASK_ID").toLongLong();
    db().setKeyCounters({});
    db().Execute("INSERT INTO TASKS (TASK_NAME) SELECT 'd'");
    EXPECT_NE(db().lastInsertId(), reserved);
    rs.setValue("TASK_NAME", "e");
    EXPECT_NO_THROW(rs.Update());

    // Remembered in the file: after the top row is deleted and the file
    // opened again, its key stays used.
    const qint64 last = count("SELECT max(TASK_ID) FROM TASKS");
    db().Execute("DELETE FROM TASKS WHERE TASK_ID = ?", {last});
    const QString path = db().path();
    db().Close();
    db().Open(path);
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('f')");
    EXPECT_GT(db().lastInsertId(), last);
}

// Keys a transaction took come back when it is undone, however it is undone.
TEST_F(DataRules, AnUndoneTransactionGivesBackTheKeysItTook)
{
    db().setBusyTimeout(50);
    const auto addTwo = [&] {
        Recordset rs;  // a key reserved as an editor reserves it, and one SQLite chose
        rs.Open("SELECT * FROM TASKS", db());
        rs.AddNew();
        rs.Update();
        db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('b')");
    };
    const struct {
        const char* how;
        std::function<void()> undo;
    } ways[] = {
        {"rolled back", [&] { Transaction t(db()); addTwo(); }},
        {"a savepoint rolled back", [&] {
             Transaction outer(db());
             { Transaction inner(db()); addTwo(); }
             outer.commit();
         }},
        {"a COMMIT another program blocks", [&] {
             Reader reader(db().path());
             Transaction t(db());
             addTwo();
             EXPECT_THROW(t.commit(), Error);
         }},
        {"SQLite undoes it after an error", [&] {
             // As after an I/O error or a full memory.
             db().Execute("CREATE TEMP TRIGGER undo BEFORE INSERT ON VENDOR BEGIN SELECT RAISE(ROLLBACK, 'x'); END");
             {
                 Transaction t(db());
                 addTwo();
                 EXPECT_THROW(db().Execute("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('v')"), Error);
             }
             db().Execute("DROP TRIGGER undo");
         }},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.how);
        db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('kept')");
        const qint64 next = db().lastInsertId() + 1;
        const qint64 left = db().keysLeft("TASKS");
        w.undo();
        EXPECT_EQ(db().keysLeft("TASKS"), left);
        EXPECT_EQ(db().reserveKey("TASKS"), next);
    }
}

TEST_F(DataRules, TextsBoundThroughExecuteAreConvertedAsTypedCellsOrRefused)
{
    db().Execute("INSERT INTO EXPENSES (EXPENSE_TEXT, EXPENSE_AMTPAID, EXPENSE_AMTDUE, EXPENSE_DUEDATE) "
                 "VALUES (?, ?, ?, ?)",
                 {"Cake", "$1,250.50", "(12.5)", "11/05/2004 2:30 PM"});
    const qint64 id = db().lastInsertId();
    auto value = [&](const char* col) {
        return db().scalar(QString("SELECT %1 FROM EXPENSES WHERE EXPENSE_ID = ?").arg(col), {id});
    };
    EXPECT_DOUBLE_EQ(value("EXPENSE_AMTPAID").toDouble(), 1250.5);
    EXPECT_DOUBLE_EQ(value("EXPENSE_AMTDUE").toDouble(), -12.5);
    EXPECT_EQ(value("EXPENSE_DUEDATE").toString(), "2004-11-05 14:30:00");

    db().Execute("UPDATE EXPENSES SET EXPENSE_DUEDATE = ?, EXPENSE_AMTPAID = ? WHERE EXPENSE_ID = ?",
                 {"2/29/2004", "0.123456", id});
    EXPECT_EQ(value("EXPENSE_DUEDATE").toString(), "2004-02-29 00:00:00");
    EXPECT_DOUBLE_EQ(value("EXPENSE_AMTPAID").toDouble(), 0.1235);

    db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_COMPLETE, TASK_STDID) VALUES ('t', ?, ?)", {"Yes", "12.5"});
    const qint64 task = db().lastInsertId();
    EXPECT_EQ(count("SELECT TASK_COMPLETE FROM TASKS WHERE TASK_ID = ?", {task}), 1);
    EXPECT_EQ(db().scalar("SELECT typeof(TASK_STDID) || TASK_STDID FROM TASKS WHERE TASK_ID = ?", {task}).toString(),
              "integer12");

    // What does not convert refuses the statement, and names the column.
    const struct {
        const char* sql;
        Params params;
        const char* column;
    } refused[] = {
        {"UPDATE EXPENSES SET EXPENSE_DUEDATE = ? WHERE EXPENSE_ID = ?", {"next week", id}, "EXPENSES.EXPENSE_DUEDATE"},
        {"UPDATE EXPENSES SET EXPENSE_AMTDUE = ? WHERE EXPENSE_ID = ?", {"12abc", id}, "EXPENSES.EXPENSE_AMTDUE"},
        {"UPDATE EXPENSES SET EXPENSE_AMTDUE = ? WHERE EXPENSE_ID = ?", {"(-5)", id}, "EXPENSES.EXPENSE_AMTDUE"},
        {"UPDATE EXPENSES SET EXPENSE_AMTDUE = ? WHERE EXPENSE_ID = ?", {"1e16", id}, "EXPENSES.EXPENSE_AMTDUE"},
        {"UPDATE TASKS SET TASK_COMPLETE = ? WHERE TASK_ID = ?", {"maybe", task}, "TASKS.TASK_COMPLETE"},
        {"UPDATE EXPENSES SET EXPENSE_DUEDATE = ? WHERE EXPENSE_ID = ?", {QByteArray("\x01\x02"), id},
         "EXPENSES.EXPENSE_DUEDATE"},
        {"INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE) VALUES ('ok', '1/1/2005'), ('bad', '1/32/2005')", {},
         "TASKS.TASK_DUEDATE"},
        {"INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE) SELECT 'copied', EXPENSE_TEXT FROM EXPENSES", {},
         "TASKS.TASK_DUEDATE"},
    };
    const qlonglong tasks = count("SELECT count(*) FROM TASKS");
    for (const auto& r : refused) {
        try {
            db().Execute(r.sql, r.params);
            ADD_FAILURE() << r.sql << " was stored";
        } catch (const Error& e) {
            EXPECT_TRUE(e.description().contains(r.column)) << e.description().toStdString();
        }
    }
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), tasks);
    EXPECT_EQ(value("EXPENSE_DUEDATE").toString(), "2004-02-29 00:00:00");
    EXPECT_DOUBLE_EQ(value("EXPENSE_AMTDUE").toDouble(), -12.5);
    // A NaN never reaches the file, not even as a NULL.
    EXPECT_THROW(db().Execute("UPDATE EXPENSES SET EXPENSE_TEXT = ? WHERE EXPENSE_ID = ?", {std::nan(""), id}), Error);
    EXPECT_EQ(value("EXPENSE_TEXT").toString(), "Cake");
}

TEST_F(DataRules, RulesSetAsideForCheckedRowsComeBackAfterwardsOrOnRollback)
{
    // A merge writes rows it has checked without the rules of their tables;
    // inside, a row keeps what it is given; afterwards, and after a step
    // that failed and was rolled back, every rule holds again, deletions
    // remembered throughout.
    struct Case {
        const char* what;
        bool fails;
    } cases[] = {{"done", false}, {"failed", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const qint64 theirs = Connection::firstKeyOf(db().copyNumber() + 3) + 1;
        db().Execute("DELETE FROM TASKS");
        try {
            Transaction t(db());
            db().withoutWriteRules({"TASKS"}, [&] {
                db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE) VALUES (?, 'theirs', ?)",
                             {theirs, "2027-08-14 00:00:00"});
                if (c.fails)
                    db().Execute("INSERT INTO NO_SUCH_TABLE VALUES (1)");
            });
            t.commit();
        } catch (const Error&) {
        }
        EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_ID = ?", {theirs}), c.fails ? 0 : 1);
        db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE) VALUES ('mine', '8/14/2027')");
        EXPECT_TRUE(ours(db().lastInsertId())) << "a key of this copy";
        EXPECT_EQ(db().scalar("SELECT TASK_DUEDATE FROM TASKS WHERE TASK_NAME = 'mine'").toString(),
                  "2027-08-14 00:00:00")
            << "a typed date converted";
        const qint64 mine = db().lastInsertId();
        db().Execute("DELETE FROM TASKS WHERE TASK_ID = ?", {mine});
        db().setKeyCounters({});
        db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('next')");
        EXPECT_GT(db().lastInsertId(), mine) << "a deleted key is never given again";
    }
    EXPECT_THROW(db().withoutWriteRules({"TASKS"}, [] {}), Error) << "outside a transaction";
}

// A change of the tables whose every statement fails (cut short here) is
// refused, and the rules on every table still hold afterwards.
TEST_F(DataRules, RulesHoldAfterAChangeOfTheTablesThatFailed)
{
    sqlite3_progress_handler(db().handle(), 1, [](void*) { return 1; }, nullptr);
    EXPECT_THROW(db().Execute("CREATE INDEX GUEST_BY_CITY ON GUEST (GUEST_CITY)"), Error);
    sqlite3_progress_handler(db().handle(), 0, nullptr, nullptr);
    db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Kept in range')");
    EXPECT_TRUE(ours(db().lastInsertId())) << db().lastInsertId();
}

TEST_F(DataRules, AddNewAndDeleteOverAnAliasWorkOnTheirRowAndOverAJoinRefuse)
{
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (10, 'Smith'), (11, 'Jones')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (100, 10, 'Ann'), (101, 11, 'Bob')");

    Recordset alias;
    alias.Open("SELECT g.GUEST_ID, g.GUEST_PARTYNAME FROM GUEST AS g WHERE g.GUEST_ID >= 10 ORDER BY g.GUEST_ID", db());
    ASSERT_TRUE(alias.isUpdatable());
    alias.setPosition(1);
    alias.Delete();
    EXPECT_EQ(db().scalar("SELECT group_concat(GUEST_PARTYNAME) FROM GUEST").toString(), "Smith");
    alias.MoveFirst();
    alias.setValue("GUEST_PARTYNAME", "Smythe");
    alias.Update();
    alias.AddNew();
    alias.setValue("GUEST_PARTYNAME", "Brown");
    alias.Update();
    EXPECT_EQ(db().scalar("SELECT group_concat(GUEST_PARTYNAME) FROM (SELECT GUEST_PARTYNAME FROM GUEST ORDER BY 1)")
                  .toString(),
              "Brown,Smythe");

    // Over a join it is not plain whose row goes: refused, nothing changed.
    Recordset join;
    join.Open("SELECT SUBGUEST.SUBGUEST_FNAME, GUEST.GUEST_PARTYNAME FROM SUBGUEST INNER JOIN GUEST "
              "ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID",
              db());
    ASSERT_EQ(join.RecordCount(), 1);
    EXPECT_THROW(join.Delete(), Error);
    EXPECT_THROW(join.AddNew(), Error);
    EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST"), 2);
    // Its cells still write to their own rows, also through aliases.
    Recordset aliased;
    aliased.Open("SELECT s.SUBGUEST_FNAME, g.GUEST_PARTYNAME FROM SUBGUEST s INNER JOIN GUEST g "
                 "ON g.GUEST_ID = s.GUEST_ID",
                 db());
    ASSERT_TRUE(aliased.setCell(0, 1, "Smith-Hall"));
    ASSERT_TRUE(aliased.setCell(0, 0, "Annie"));
    EXPECT_EQ(db().scalar("SELECT GUEST_PARTYNAME FROM GUEST WHERE GUEST_ID = 10").toString(), "Smith-Hall");
    EXPECT_EQ(db().scalar("SELECT SUBGUEST_FNAME FROM SUBGUEST WHERE SUBGUEST_ID = 100").toString(), "Annie");

    // A table named twice cannot be told apart: no write reaches a wrong row.
    Recordset self;
    self.Open("SELECT a.GUEST_PARTYNAME, b.GUEST_PARTYNAME AS OTHER FROM GUEST a JOIN GUEST b ON b.GUEST_ID > a.GUEST_ID",
              db());
    ASSERT_EQ(self.RecordCount(), 1);
    EXPECT_FALSE(self.setCell(0, 1, "Wrong"));
    EXPECT_THROW(self.Delete(), Error);
    EXPECT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_PARTYNAME = 'Wrong'"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM GUEST"), 2);
}

TEST(Settings, AWriteThatFailsIsReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/not-a-folder");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // The settings file would have to lie inside a plain file.
    settings::useFile(blocker.fileName() + "/settings.ini");
    EXPECT_THROW(settings::SaveSetting("Nuptaro", "Tips", "ShowTips", "No"), settings::Error);
    settings::useFile(dir.path() + "/settings.ini");
    EXPECT_NO_THROW(settings::SaveSetting("Nuptaro", "Tips", "ShowTips", "No"));
    EXPECT_EQ(settings::GetSetting("Nuptaro", "Tips", "ShowTips"), "No");
    settings::useFile(QString());
}

}  // namespace
