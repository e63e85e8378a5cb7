#include "app/commands_host.h"
#include "app/gridmouse.h"
#include "support/datamode.h"

using testsupport::CommandsTest;
using testsupport::GridRow;

TEST(GridMouse, PopupMenuByViewAndColumn)
{
    struct Case {
        const char* view;
        QList<int> columns;
        const char* menu;
    };
    const Case cases[] = {
        {"DueTasks", {5}, "mnuWhoPays"},
        {"AllTasks", {6}, "mnuPriority"},
        {"CompleteTasks", {7}, "mnuTypicalEvents"},
        {"IncompleteTasks", {0, 1, 2, 3, 4, 8}, "mnuTasks"},
        {"IncompleteTasks", {6}, "mnuPriority"},
        {"Events", {0, 2, 5, 6, 7}, "mnuEvents"},
        {"Guests", {6}, "mnuTitles"},
        {"Guests", {7}, "mnuRelationships"},
        {"Guests", {2, 5, 8}, "mnuGuests"},
        {"Addresses", {2, 6, 7}, "mnuGuests"},
        {"Vendors", {6}, "mnuVendorTypes"},
        {"Vendors", {2, 7}, "mnuVendors"},
        {"Gifts", {3}, "mnuStore"},
        {"Gifts", {2, 4}, "mnuGifts"},
        {"Registry", {3, 4}, "mnuRegistryMod"},
        {"Registry", {2, 5}, "mnuRegistry"},
        {"Quotes", {2, 6}, "mnuQuotes"},
        {"Budget", {6}, "mnuWhoPays"},
        {"Budget", {4}, "mnuTypicalEvents"},
        {"Budget", {3}, "mnuExpenseCategories"},
        {"Budget", {2, 5, 7}, "mnuBudget"},
        {"Expenses", {2, 3, 4, 6}, "mnuExpenses"},
        {"RSVP", {6}, "mnuRSVP"},
        {"RSVP", {2, 3, 7}, ""},
        {"Attire", {2, 3, 6}, ""},
        {"FemaleMeasurement", {2, 6}, ""},
        {"MaleMeasurement", {2}, ""},
        {"Today", {1}, ""},
        {"Month", {1}, ""},
        {"", {6}, ""},
    };
    for (const Case& c : cases)
        for (int col : c.columns)
            EXPECT_EQ(gridmouse::popupMenuFor(testsupport::dataModeNamed(c.view), col), c.menu) << c.view << " column " << col;

    EXPECT_EQ(gridmouse::dayTaskPopupFor("Assignment"), "mnuWhoPays");
    EXPECT_EQ(gridmouse::dayTaskPopupFor("Priority"), "mnuPriority");
    EXPECT_EQ(gridmouse::dayTaskPopupFor("Event"), "mnuTypicalEvents");
    EXPECT_EQ(gridmouse::dayTaskPopupFor("Task"), "");
    EXPECT_EQ(gridmouse::dayTaskPopupFor("priority"), "");
}

TEST_F(CommandsTest, RightClickMovesToTheClickedRowThenPopsUp)
{
    host.show("Guests", {{true, {1}}, {true, {2}}, {true, {3}}});
    gridmouse::GridEX1_MouseDown(host, 2, 4, 3, 6);
    EXPECT_EQ(host.log, QStringList({"setCurrentRow(3)", "popup(mnuTitles)"}));

    // Other buttons, the refused areas and views without a menu do nothing.
    host.log.clear();
    gridmouse::GridEX1_MouseDown(host, 1, 4, 2, 6);
    for (int area : {1, 2, 3})
        gridmouse::GridEX1_MouseDown(host, 2, area, 2, 6);
    host.dataMode = "Attire";
    gridmouse::GridEX1_MouseDown(host, 2, 4, 2, 2);
    host.dataMode = "RSVP";
    gridmouse::GridEX1_MouseDown(host, 2, 4, 2, 3);
    EXPECT_TRUE(host.log.isEmpty()) << host.log.join(" | ").toStdString();
    EXPECT_EQ(host.current, 3);

    // The blank area under the rows still gets the view's menu, on the current row.
    host.dataMode = "Expenses";
    gridmouse::GridEX1_MouseDown(host, 2, 0, 0, 0);
    EXPECT_EQ(host.log, QStringList{"popup(mnuExpenses)"});

    host.log.clear();
    gridmouse::gridTasksDate_MouseUp(host, 2, 4, "Priority");
    gridmouse::gridTasksDate_MouseUp(host, 2, 1, "Priority");
    gridmouse::gridTasksDate_MouseUp(host, 1, 4, "Priority");
    gridmouse::gridTasksDate_MouseUp(host, 2, 4, "Task");
    EXPECT_EQ(host.log, QStringList{"popup(mnuPriority)"});
}

TEST_F(CommandsTest, DoubleClickOpensTheEditorOfTheCategory)
{
    struct Case {
        const char* mainMode;
        const char* dataMode;
        QString opened;  // modal window or a modeless one's name
    };
    const Case cases[] = {
        {"Tasks", "AllTasks", "modal:frmEventTasks"},   {"Events", "Events", "frmEventInfo"},
        {"Guests", "Guests", "frmGuestDetail"},         {"Measure", "MaleMeasurement", "frmMeasureMale"},
        {"Vendors", "Vendors", "modal:frmVendor"},      {"Budget", "Budget", "modal:frmAddBudget"},
        {"Expenses", "Expenses", "modal:frmAddExpense"}, {"Gifts", "Gifts", "frmGift"},
        {"Quotes", "Quotes", "modal:frmQuote"},         {"Registry", "Registry", "frmRegistry"},
        {"Attire", "Attire", "modal:frmAttire"},        {"RSVP", "RSVP", ""},
        {"", "Today", ""},
    };
    records(12);
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME) VALUES (12, 'Book the hall')");
    for (const Case& c : cases) {
        host.mainMode = c.mainMode;
        host.show(c.dataMode, {{true, {12, "Name"}}});
        gridmouse::GridEX1_DblClick(host);
        QStringList opened = host.log;
        for (ui::FormBase* f : ui::FormBase::all())
            if (f->isLoaded())
                opened << f->name();
        EXPECT_EQ(opened.join(","), c.opened) << c.mainMode;
        ui::FormBase::unloadAll();
    }
    EXPECT_EQ(frmEventTasks::instance().curMode, frmEventTasks::Mode::Edit);
    EXPECT_EQ(frmEventTasks::instance().curTaskID, 12);
    EXPECT_TRUE(messages.msgs->texts().isEmpty());

    // No task under the pointer: the editor does not open on key 0.
    host.mainMode = "Tasks";
    host.rows.clear();
    host.current = 0;
    host.log.clear();
    gridmouse::GridEX1_DblClick(host);
    EXPECT_TRUE(host.log.isEmpty());
    EXPECT_EQ(frmEventTasks::instance().curTaskID, 12);

    // The row commands keep their own answers.
    host.mainMode = "Budget";
    host.show("Budget", {{false, {}}, {true, {3}}});
    gridmouse::GridEX1_DblClick(host);
    EXPECT_EQ(messages.msgs->texts(), QStringList{"Please select the Budget item to modify first."});
}

class FoodListTest : public testsupport::DbTest {
protected:
    void TearDown() override
    {
        ui::FormBase::unloadAll();
        DbTest::TearDown();
    }
    testsupport::RecordingHost host;
};

TEST_F(FoodListTest, TheFoodChoicesFollowTheEventOfTheCurrentRow)
{
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (1, 'Ceremony'), (2, 'Reception'), (3, 'Brunch')");
    db().Execute("INSERT INTO EVENT_FOOD (EVENT_ID, EVENT_FOOD_ORDER, EVENT_FOOD_TEXT) VALUES "
                 "(1, 1, 'Punch'), (2, 1, 'Salmon'), (2, 2, 'Wedding cake'), (1, 2, 'Mints')");
    host.dataMode = "RSVP";
    host.rows = {{false, {}}, {true, {1, "Anna"}}, {true, {2, "Anna"}}, {true, {3, "Ben"}}};

    const auto listAt = [&](int row) {
        host.current = row;
        gridmouse::GridEX1_SelectionChange(host);
        QStringList texts;
        for (const auto& [v, t] : host.valueList) {
            EXPECT_EQ(v, t);
            texts << t;
        }
        return texts;
    };
    EXPECT_EQ(listAt(2), QStringList({"Punch", "Mints"}));
    EXPECT_EQ(listAt(3), QStringList({"Salmon", "Wedding cake"}));
    EXPECT_EQ(listAt(4), QStringList{}) << "an event without a menu";
    EXPECT_EQ(listAt(1), QStringList({"Punch", "Mints"})) << "a header row: the event of the row under it";
    host.rows = {};
    EXPECT_EQ(listAt(0), QStringList{});
    EXPECT_TRUE(host.log.contains("clearValueList(7)"));

    // Other views leave the list alone.
    host.rows = {{true, {2}}};
    host.dataMode = "Guests";
    host.log.clear();
    listAt(1);
    EXPECT_TRUE(host.log.isEmpty());
}
