// Statements that Execute and scalar keep for their next run: nothing of one
// run leaks into the next, and a change of the tables or a failure between
// runs does no harm.

#include "support/fixture.h"

using testsupport::DbTest;

namespace {

class KeptStatements : public DbTest {};

TEST_F(KeptStatements, EachRunBindsAfresh)
{
    const QString insert = "INSERT INTO TASKS (TASK_NAME, TASK_NOTES) VALUES (?, ?)";
    db().Execute(insert, {"Book the band", "jazz"});
    // Fewer values than the last run: the missing one is NULL, not "jazz".
    db().Execute(insert, {"Order flowers"});
    EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_NOTES IS NULL AND TASK_NAME = 'Order flowers'"), 1);

    const QString byName = "SELECT TASK_NOTES FROM TASKS WHERE TASK_NAME = ?";
    EXPECT_EQ(db().scalar(byName, {"Book the band"}).toString(), "jazz");
    EXPECT_TRUE(db().scalar(byName, {"Order flowers"}).isNull());
    EXPECT_TRUE(db().scalar(byName, {"nothing of that name"}).isNull());

    // A statement that failed runs again.
    EXPECT_THROW(db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME) VALUES (?, ?)",
                              {db().scalar("SELECT max(TASK_ID) FROM TASKS"), "again"}),
                 ado::Error);
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME) VALUES (?, ?)", {qint64(1) << 40, "again"});
    EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_NAME = 'again'"), 1);
}

TEST_F(KeptStatements, FollowChangesOfTheTablesAndTheConnection)
{
    db().Execute("CREATE TABLE KEPT (KEPT_ID INTEGER PRIMARY KEY, A TEXT)");
    db().Execute("INSERT INTO KEPT (KEPT_ID, A) VALUES (1, 'x')");
    const QString star = "SELECT * FROM KEPT";
    EXPECT_EQ(db().scalar(star).toLongLong(), 1);
    db().Execute("ALTER TABLE KEPT RENAME COLUMN KEPT_ID TO OLD_ID");
    db().Execute("ALTER TABLE KEPT ADD COLUMN B TEXT");
    EXPECT_EQ(db().scalar("SELECT count(*) FROM pragma_table_info('KEPT')").toInt(), 3);
    EXPECT_EQ(db().scalar(star).toLongLong(), 1);
    db().Execute("DROP TABLE KEPT");
    EXPECT_THROW(db().scalar(star), ado::Error);

    // Closed and opened again, the connection prepares its statements anew.
    const QString path = db().path();
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 0);
    db().Close();
    db().Open(path);
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 0);
}

}  // namespace
