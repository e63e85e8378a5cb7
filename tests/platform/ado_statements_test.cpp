// Statements that Execute and scalar keep for their next run: nothing of one
// run leaks into the next, and a change of the tables or a failure between
// runs does no harm. Statements of the caller's own (ado::Statement): bound,
// stepped, read and run again; every failure names the SQL text.

#include "support/fixture.h"

#include <functional>

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

class OwnStatements : public DbTest {};

TEST_F(OwnStatements, FailuresNameTheirSqlText)
{
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME) VALUES (7, 'Book the band')");
    const QString missing = "SELECT TASK_COLOUR FROM TASKS";
    const QString insert = "INSERT INTO TASKS (TASK_ID, TASK_NAME) VALUES (?, ?)";
    const struct {
        const char* what;
        QString sql;
        std::function<void(const QString& sql)> act;
        const char* says;
    } cases[] = {
        {"prepared on the connection", missing, [&](const QString& sql) { ado::Statement(db(), sql); },
         "no such column: TASK_COLOUR"},
        {"prepared on the handle", missing, [&](const QString& sql) { ado::Statement(db().handle(), sql); },
         "no such column: TASK_COLOUR"},
        {"stepped", insert,
         [&](const QString& sql) {
             ado::Statement s(db(), sql);
             s.bind(1, qint64(7));
             s.bind(2, QString("again"));
             s.step();
         },
         "UNIQUE constraint failed"},
        {"bound past its parameters", insert,
         [&](const QString& sql) { ado::Statement(db().handle(), sql).bind(3, QString("one too many")); },
         "bind: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.act(c.sql);
            ADD_FAILURE() << "no error";
        } catch (const ado::Error& e) {
            EXPECT_EQ(e.statement(), c.sql);
            EXPECT_TRUE(e.description().contains(c.says)) << e.description().toStdString();
        }
    }
}

TEST_F(OwnStatements, BindStepReadAndRunAgain)
{
    ado::Statement s(db(), "SELECT ?1, ?2, NULL, 2.5, x'00ff', ?1 + 1");
    EXPECT_EQ(s.parameters(), 2);
    const qint64 big = qint64(1) << 40;
    s.bind(1, big);
    s.bind(2, QString("Zoë's table"));
    ASSERT_TRUE(s.step());
    const struct {
        int column;
        QVariant value;
        bool null;
        qint64 integer;
        QString text;
    } cells[] = {
        {0, qlonglong(big), false, big, QString::number(big)},
        {1, QString("Zoë's table"), false, 0, "Zoë's table"},
        {2, QVariant(), true, 0, ""},
        {3, 2.5, false, 2, "2.5"},
        {4, QByteArray("\x00\xff", 2), false, 0, QString()},
        {5, qlonglong(big + 1), false, big + 1, QString::number(big + 1)},
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(s.value(c.column), c.value);
        EXPECT_EQ(s.value(c.column).typeId(), c.value.typeId());
        EXPECT_EQ(s.isNull(c.column), c.null);
        EXPECT_EQ(s.integer(c.column), c.integer);
        if (!c.text.isNull()) {
            EXPECT_EQ(s.text(c.column), c.text);
        }
    }
    EXPECT_FALSE(s.step());

    // Reset, it runs again with none of the values bound before.
    s.reset();
    ASSERT_TRUE(s.step());
    EXPECT_TRUE(s.isNull(0));
    EXPECT_TRUE(s.isNull(1));

    ado::Statement add(db(), "INSERT INTO TASKS (TASK_NAME, TASK_NOTES) VALUES (?, ?)");
    for (const char* name : {"Book the band", "Book the baker", "Order flowers"}) {
        add.bind(1, QString(name));
        add.bind(2, QString("first"));
        add.run();
        EXPECT_EQ(add.changes(), 1);
    }
    ado::Statement change(db().handle(), "UPDATE TASKS SET TASK_NOTES = ? WHERE TASK_NAME LIKE ?");
    change.bind(1, QString("called"));
    change.bind(2, QString("Book%"));
    change.run();
    EXPECT_EQ(change.changes(), 2);
    EXPECT_EQ(rows("SELECT TASK_NAME, TASK_NOTES FROM TASKS ORDER BY TASK_NAME"),
              QStringList({"Book the baker|called", "Book the band|called", "Order flowers|first"}));
}

}  // namespace
