// The shared view routine on grids of its own: every view shaped as a user
// sees it, failing steps skipped or raised as the view says, and the refresh
// after an editor changed rows.

#include "support/datamode.h"
#include "support/fixture.h"
#include "views/viewdata.h"
#include "views/viewpattern.h"
#include "views/viewtable.h"

#include "platform/grid/gridex.h"

using namespace views;

namespace {

struct Harness {
    grid::GridEX main, l2, l3, l4;
    QMap<QString, ado::RecordsetPtr> members;
    views::DataMode dataMode = views::DataMode::None;
    QString mainMode = "unchanged", title;
    int picture = -1;
    grid::GridEX* lists[5] = {nullptr, nullptr, &l2, &l3, &l4};

    ViewTarget target(grid::GridEX* g, const ado::Params& params = {})
    {
        ViewTarget t;
        t.conn = &modQVDatabase::gConn;
        t.showTitle = [this](const ViewDef& d) {
            dataMode = d.key;
            if (d.mainMode != views::MainMode::None)
                mainMode = testsupport::mainModeName(d.mainMode);
            title = d.title;
            if (d.picture)
                picture = d.picture;
        };
        t.member = [this](const QString& name) -> ado::RecordsetPtr& { return members[name]; };
        t.grid = g;
        t.lists = {nullptr, nullptr, &l2, &l3, &l4};
        t.params = params;
        return t;
    }
};

class ViewPatternTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        viewdata::seedEveryTable();
    }
    static ViewDef def(const QString& key) { return *viewDef(testsupport::dataModeNamed(key)); }
};

}  // namespace

TEST_F(ViewPatternTest, EveryViewShapesTheGrid)
{
    Harness h;
    for (const viewtable::Expected& e : viewtable::expected()) {
        SCOPED_TRACE(e.key.toStdString());
        const QString before = h.mainMode;
        ApplyView(def(e.key), h.target(&h.main));
        EXPECT_EQ(views::dataModeName(h.dataMode), e.key);
        EXPECT_EQ(h.mainMode, e.mainMode.isEmpty() ? before : e.mainMode);
        EXPECT_EQ(h.title, e.title);
        if (e.picture) {
            EXPECT_EQ(h.picture, e.picture);
        }
        viewtable::checkGrid(e, h.main, h.lists);
        EXPECT_EQ(h.main.recordset(), h.members[def(e.key).member]);
    }
}

TEST_F(ViewPatternTest, LookupGridsBecomeListsOfTheirValueColumn)
{
    Harness h;
    ApplyView(*viewDef(views::DataMode::Expenses), h.target(&h.main));
    // GridEX4 offers event names (its key column hidden), GridEX2 vendors, GridEX3 payers.
    EXPECT_EQ(h.l4.valueColumn(), "EVENT_NAME");
    EXPECT_TRUE(h.l4.isColumnHidden(1));
    EXPECT_EQ(h.l4.listValues(), (QStringList{"Rehearsal", "Wedding"}));
    EXPECT_EQ(h.l2.listValues(), (QStringList{"Bloom"}));
    EXPECT_TRUE(h.l3.listMode());
    EXPECT_EQ(h.l3.valueColumn(), "ASSIGNEE_TEXT");
    EXPECT_EQ(h.members["ddEventRS"]->fieldIndex("EVENT_ID"), 0);

    // The budget view offers the standard events but leaves the event list alone.
    const ado::RecordsetPtr events = h.members["ddEventRS"];
    ApplyView(*viewDef(views::DataMode::Budget), h.target(&h.main));
    EXPECT_EQ(h.members["ddEventRS"], events);
    EXPECT_EQ(h.l2.valueColumn(), "STDEVENT_TEXT");
    EXPECT_FALSE(h.l2.listValues().isEmpty());

    // An empty lookup table leaves the list empty; the rows still show.
    db().Execute("DELETE FROM VENDORTYPE");
    ApplyView(*viewDef(views::DataMode::Vendors), h.target(&h.main));
    EXPECT_TRUE(h.l2.listValues().isEmpty());
    EXPECT_EQ(h.main.recordset()->RecordCount(), 1);
    EXPECT_EQ(h.main.value(1, 6).toString(), "Florist");
}

TEST_F(ViewPatternTest, FailingStepsAreSkippedOrRaisedAsTheViewSays)
{
    Harness h;
    // A lookup table that is gone: the view still shows its rows, no message.
    db().Execute("DROP TABLE PRIORITY");
    ViewDef tasks = taskView(views::TaskFilter::All);
    ASSERT_NO_THROW(ApplyView(tasks, h.target(&h.main)));
    EXPECT_EQ(h.main.recordset()->RecordCount(), 1);
    EXPECT_FALSE(h.members["ddPriorityRS"]->isOpen());
    EXPECT_EQ(h.main.columnWidth(3), 3400);
    EXPECT_TRUE(messages.msgs->shown.isEmpty());

    // A main table that is gone: the grid holds no rows, later steps still run.
    db().Execute("DROP TABLE GIFT");
    ASSERT_NO_THROW(ApplyView(*viewDef(views::DataMode::Gifts), h.target(&h.main)));
    EXPECT_EQ(h.dataMode, views::DataMode::Gifts);
    EXPECT_FALSE(h.members["GiftRS"]->isOpen());
    EXPECT_EQ(h.main.rowCount(), 0);

    // The RSVP view hands its failure to the caller.
    db().Execute("DROP TABLE INVITE");
    EXPECT_THROW(ApplyView(*viewDef(views::DataMode::RSVP), h.target(&h.main)), ado::Error);
    EXPECT_EQ(h.dataMode, views::DataMode::RSVP);
}

TEST_F(ViewPatternTest, RefreshRebindsOnlyTheRecordsetShown)
{
    Harness h;
    ApplyView(*viewDef(views::DataMode::Guests), h.target(&h.main));
    const ado::RecordsetPtr people = h.members["PeopleRS"];
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME) VALUES (31, 3, 'Eve')");
    ASSERT_TRUE(RefreshGrid(&h.main, people));
    EXPECT_TRUE(h.main.settingS3());
    EXPECT_EQ(h.main.recordset(), people);
    EXPECT_EQ(people->RecordCount(), 5);
    EXPECT_EQ(h.main.totalText(3), "Guests: 5");
    EXPECT_TRUE(h.main.isColumnHidden(2)) << "the view's columns stay";
    EXPECT_EQ(h.main.columnWidth(3), 3000);

    // A task editor confirmed after the switch to the guests view.
    ApplyView(taskView(views::TaskFilter::All), h.target(nullptr));
    const ado::RecordsetPtr tasks = h.members["TaskRS"];
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('late one')");
    ASSERT_TRUE(RefreshGrid(&h.main, tasks));
    EXPECT_EQ(tasks->RecordCount(), 2);
    EXPECT_EQ(h.main.recordset(), people) << "task rows never land under the guests view";
    EXPECT_EQ(h.main.columnCaption(3), "Party Name");

    EXPECT_FALSE(RefreshGrid(&h.main, nullptr));
}
