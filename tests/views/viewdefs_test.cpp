// The views as data: every SQL text runs on a real database and yields the
// columns its definition shapes; the task filters pick the right rows.

#include "support/fixture.h"
#include "views/viewdata.h"
#include "views/viewdefs.h"

using namespace views;

namespace {

class ViewDefsTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        viewdata::seedEveryTable();
    }
};

QStringList fieldNames(ado::Recordset& rs)
{
    QStringList out;
    for (int i = 0; i < rs.fieldCount(); ++i)
        out << rs.fieldName(i);
    return out;
}

QList<qlonglong> keys(ado::Recordset& rs)
{
    QList<qlonglong> out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out << rs.cell(r, 0).toLongLong();
    return out;
}

}  // namespace

TEST_F(ViewDefsTest, EverySelectYieldsTheDefinedColumnsAndRows)
{
    // view key -> rows expected from the seeded tables
    const QMap<QString, int> rows = {
        {"DueTasks", 1},  {"CompleteTasks", 0}, {"IncompleteTasks", 1}, {"AllTasks", 1},
        {"Events", 2},    {"RSVP", 3},          {"Guests", 4},          {"Addresses", 3},
        {"Vendors", 1},   {"Quotes", 1},        {"Expenses", 3},        {"Budget", 2},
        {"Attire", 1},    {"Gifts", 1},         {"Registry", 1},        {"FemaleMeasurement", 1},
        {"MaleMeasurement", 1}};
    ASSERT_EQ(allViews().size(), rows.size());
    for (const ViewDef& v : allViews()) {
        const QString key = views::dataModeName(v.key);
        SCOPED_TRACE(key.toStdString());
        ASSERT_TRUE(rows.contains(key));
        auto rs = ado::Recordset::create();
        ASSERT_NO_THROW(rs->Open(v.sql, db(), v.cursor, v.lock, viewParams(v, ado::convert::wallClock(QDate(2027, 2, 1), QTime()))));
        EXPECT_EQ(rs->RecordCount(), rows[key]);
        const QStringList names = fieldNames(*rs);
        ASSERT_EQ(names.size(), v.columns.size());
        for (int i = 0; i < v.columns.size(); ++i) {
            EXPECT_EQ(v.columns[i].number, i + 1);
            // Keys come unaliased, in whatever letter case the SELECT names them.
            EXPECT_EQ(names[i].compare(v.columns[i].caption, Qt::CaseInsensitive), 0) << names[i].toStdString();
            if (!v.columns[i].hidden) {
                EXPECT_EQ(names[i], v.columns[i].caption);
            }
        }
        EXPECT_TRUE(v.column(1)->hidden) << "the key column is always hidden";
        if (v.groupBy) {
            EXPECT_NE(v.column(v.groupBy), nullptr);
        }
        for (const ColumnDef& c : v.columns) {
            if (c.dropDown) {
                bool found = false;
                for (const LookupDef& l : v.lookups)
                    found = found || l.grid == c.dropDown;
                EXPECT_TRUE(found) << "column " << c.number << " names a lookup grid the view does not fill";
            }
        }
        for (const LookupDef& l : v.lookups) {
            auto list = ado::Recordset::create();
            ASSERT_NO_THROW(list->Open(l.sql, db(), ado::adOpenKeyset, ado::adLockOptimistic));
            EXPECT_GE(list->fieldIndex(l.valueColumn), 0) << l.sql.toStdString();
            EXPECT_GT(list->RecordCount(), 0) << "the template fills " << l.sql.toStdString();
        }
    }
}

TEST_F(ViewDefsTest, EventListKeptForInvitationAndSeatingWindows)
{
    // Whatever view fills ddEventRS, it is a list of events with key and name.
    for (const ViewDef& v : allViews())
        for (const LookupDef& l : v.lookups)
            if (l.member == "ddEventRS") {
                auto list = ado::Recordset::create();
                list->Open(l.sql, db());
                EXPECT_GE(list->fieldIndex("EVENT_ID"), 0) << views::dataModeName(v.key).toStdString();
                EXPECT_GE(list->fieldIndex("EVENT_NAME"), 0) << views::dataModeName(v.key).toStdString();
            }
}

TEST_F(ViewDefsTest, TaskFilterMatrix)
{
    viewdata::seedTaskMatrix();
    struct Case {
        views::TaskFilter filter;
        QString key;
        QString title;
        int picture;
        QString option;
        QList<qlonglong> tasks;
    } cases[] = {
        {views::TaskFilter::Due, "DueTasks", "Tasks - Due", 11, "optDueTasks", {1, 2, 3}},
        {views::TaskFilter::Complete, "CompleteTasks", "Tasks - Complete", 8, "optCompleteTasks", {5, 6}},
        {views::TaskFilter::Incomplete, "IncompleteTasks", "Tasks - Incomplete", 9, "optIncompleteTasks", {1, 2, 3, 4}},
        {views::TaskFilter::All, "AllTasks", "Tasks - All", 10, "optAllTasks", {5, 1, 2, 3, 4, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        const ViewDef v = taskView(c.filter);
        EXPECT_EQ(views::dataModeName(v.key), c.key);
        EXPECT_EQ(v.mainMode, views::MainMode::Tasks);
        EXPECT_EQ(v.title, c.title);
        EXPECT_EQ(v.picture, c.picture);
        EXPECT_EQ(v.option, c.option);
        auto rs = ado::Recordset::create();
        rs->Open(v.sql, db(), v.cursor, v.lock, viewParams(v, viewdata::dayD()));
        EXPECT_EQ(keys(*rs), c.tasks);
    }
    // Any time of the day D gives the same due list.
    const ViewDef due = taskView(views::TaskFilter::Due);
    for (QTime t : {QTime(0, 0), QTime(23, 59, 59)}) {
        auto rs = ado::Recordset::create();
        rs->Open(due.sql, db(), due.cursor, due.lock, viewParams(due, ado::convert::wallClock(viewdata::dayD().date(), t)));
        EXPECT_EQ(keys(*rs), (QList<qlonglong>{1, 2, 3}));
    }
}
