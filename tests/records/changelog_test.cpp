// The change log's rules for each action.

#include "support/fixture.h"

#include "records/modSynchro.h"

using testsupport::DbTest;
using modSynchro::LogChange;

namespace {

class ChangeLog : public DbTest {
protected:
    qlonglong rows(const QString& table, int key)
    {
        return count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ?", {table, key});
    }
};

TEST_F(ChangeLog, ActionsAddChangeDeleteAndOthers)
{
    LogChange("GUEST", 7, 1);
    LogChange("GUEST", 7, 1);
    EXPECT_EQ(rows("GUEST", 7), 2);

    const QString first = db().scalar("SELECT SYNCHRO_DATETIME FROM SYNCHRO LIMIT 1").toString();
    LogChange("GUEST", 7, 2);  // already logged: nothing
    EXPECT_EQ(rows("GUEST", 7), 2);
    EXPECT_EQ(db().scalar("SELECT SYNCHRO_DATETIME FROM SYNCHRO LIMIT 1").toString(), first);

    LogChange("TASKS", 3, 2);  // first row for the key: written
    LogChange("TASKS", 3, 2);
    EXPECT_EQ(rows("TASKS", 3), 1);
    EXPECT_EQ(db().scalar("SELECT SYNCHRO_ACTION FROM SYNCHRO WHERE SYNCHRO_TABLE = 'TASKS'").toInt(), 2);

    LogChange("TASKS", 3, 3);
    LogChange("TASKS", 3, 3);
    EXPECT_EQ(rows("TASKS", 3), 3);

    for (short other : {short(0), short(4), short(-1), short(99)})
        EXPECT_NO_THROW(LogChange("VENDOR", 1, other));
    EXPECT_EQ(rows("VENDOR", 1), 0);
}

TEST_F(ChangeLog, NamesAndKeysAreStoredAsPassed)
{
    LogChange("MEASURE_MALE", 0, 1);
    LogChange("MEASURE_MALE", -5, 3);
    EXPECT_EQ(rows("MEASURE_MALE", 0), 1);
    EXPECT_EQ(rows("MEASURE_MALE", -5), 1);
    // The database's own comparison of names ignores case, as the old engine's did.
    LogChange("measure_male", 0, 2);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 2);

    QDateTime logged;
    ASSERT_TRUE(ado::convert::parseDateTime(db().scalar("SELECT SYNCHRO_DATETIME FROM SYNCHRO LIMIT 1").toString(), logged));
    EXPECT_LE(std::abs(logged.secsTo(ado::convert::now())), 5);
}

TEST_F(ChangeLog, FailureReachesTheCaller)
{
    db().Execute("DROP TABLE SYNCHRO");
    EXPECT_THROW(LogChange("GUEST", 1, 1), ado::Error);
    EXPECT_THROW(LogChange("GUEST", 1, 2), ado::Error);
}

}  // namespace
