// The navigation bar's groups: every group and item as the program shows
// them, the groups of each mode, hosted controls surviving a change of mode,
// and the Task Info counts.

#include "support/fixture.h"

#include "app/navgroups.h"
#include "platform/ado/ado.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QPointer>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace navgroups;
using navbar::ExplorerBar;

namespace {

// key | caption | tooltip | picture | spacing (-1 default) | style | kind
struct Row {
    const char* key;
    const char* caption;
    const char* tooltip;
    int picture;
    int spacing;
    int style;
    int kind;
};
struct Expected {
    const char* key;
    const char* caption;
    const char* tooltip;
    int picture;
    std::vector<Row> items;
};

constexpr int D = navbar::kDefaultSpacing;
constexpr int NP = navbar::kNoPicture;

const std::vector<Expected> kExpected = {
    {"MODE", "  Mode", "Changes the mode of the Nuptaro program.", 77, {
        {"CALENDARMODE", "Calendar", "Manage the calendar for your wedding.", 0, D, 0, 0},
        {"TASKMODE", "Tasks", "Manage the tasks for your wedding.", 7, D, 0, 0},
        {"EVENTMODE", "Events", "Manage the events for your wedding.", 14, D, 0, 0},
        {"GUESTMODE", "Guests", "Manage the guests for your wedding.", 19, D, 0, 0},
        {"RSVPMODE", "RSVP's", "Manage the RSVP's for your wedding.", 27, D, 0, 0},
        {"VENDORMODE", "Vendors/Quotes", "Manage the vendors for your wedding.", 45, D, 0, 0},
        {"BUDGETMODE", "Budget/Expenses", "Manage the budget/expenses for your wedding.", 40, D, 0, 0},
        {"ATTIREMODE", "Attire/Measure", "Manage your attire for your wedding.", 57, D, 0, 0},
        {"GIFTMODE", "Gifts/Registry", "Manage the gifts for your wedding.", 67, D, 0, 0}}},
    {"CALENDARCONTROL", "  Date Control", "", 1, {
        {"CONTROLMONTH", "Month Control", "", NP, 6, 0, 2},
        {"CONTROLTASK", "Task Control", "", NP, 6, 0, 2}}},
    {"CALENDAR", "  Calendar", "The calendar functions allow you to add appointments and follow your schedule.", 0, {
        {"TODAY", "Today's Calendar", "Display the calendar for today.", 1, 4, 0, 0},
        {"MONTHVIEW", "Month View", "Display the calendar for a month.", 0, 4, 0, 0},
        {"ADDAPPOINTMENT", "Add Appointment", "Add an appointment.", 2, 4, 0, 0},
        {"PRINTTODAY", "Print Today", "Print today's appointments.", 5, 4, 0, 0},
        {"PRINTMONTH", "Print Month", "Print the month's appointments.", 4, 4, 0, 0}}},
    {"TASKINFO", "  Task Info", "Information on the tasks to-do.", 7, {
        {"TASKMODEDUE", "0 Tasks Due", "", 10, D, 1, 0},
        {"TASKMODECOMPLETE", "0 Complete", "", 9, D, 1, 0},
        {"TASKMODEINCOMPLETE", "0 Incomplete", "", 8, D, 1, 0},
        {"TASKMODEALL", "0 Total Tasks", "", 7, D, 1, 0}}},
    {"TASKS", "  Tasks", "The task functions allow you to add tasks for various people to do.", 7, {
        {"AUTOADDTASKS", "Task Wizard", "Automatically add many common tasks.", 6, D, 0, 0},
        {"DUETASKS", "Due Tasks", "Display due tasks.", 10, D, 0, 0},
        {"ALLTASKS", "All Tasks", "Display all tasks.", 9, D, 0, 0},
        {"INCOMPLETETASKS", "Incomplete Tasks", "Display incomplete tasks.", 8, D, 0, 0},
        {"COMPLETETASKS", "Complete Tasks", "Display complete tasks.", 7, D, 0, 0},
        {"ADDTASK", "Add Task", "Add a task for you wedding.", 11, D, 0, 0},
        {"DELETETASK", "Delete Task", "Delete a task from your wedding.", 12, D, 0, 0},
        {"TASKREPORT", "Task Report", "Print the currently displayed tasks.", 13, D, 0, 0}}},
    {"EVENTS", "  Events", "Control the events (sub-events) for your wedding.", 14, {
        {"VIEWEVENTS", "Show Events", "Display events for your wedding.", 14, D, 0, 0},
        {"ADDEVENT", "Add Event", "Add an event for your wedding.", 15, D, 0, 0},
        {"MODIFYEVENT", "Modify Event", "Modify an event for your wedding.", 16, D, 0, 0},
        {"DELETEEVENT", "Delete Event", "Delete an event from your wedding.", 17, D, 0, 0},
        {"EVENTREPORT", "Print Event Summary", "Print the summary displayed in the chart.", 18, D, 0, 0}}},
    {"GUESTS", "  Guests", "Control the guests (sub-guests) for your wedding.", 19, {
        {"VIEWGUESTS", "View Guests", "View the guests for your wedding.", 19, D, 0, 0},
        {"GUESTADDRESSES", "Guest Addresses", "View the guests' addresses for your wedding.", 20, D, 0, 0},
        {"ADDGUEST", "Add Guest", "Add a guest for your wedding.", 21, D, 0, 0},
        {"MODIFYGUESTS", "Modify Guest", "Modify the guests for your wedding.", 22, D, 0, 0},
        {"DELETEGUEST", "Delete Guest", "Delete the guest from your wedding.", 23, D, 0, 0},
        {"GUESTREPORT", "Guest Report", "Print the guest data.", 24, D, 0, 0},
        {"IMPORTGUESTS", "Import Guests Data", "Import guest data from popular software.", 25, D, 0, 0},
        {"EXPORTGUESTS", "Export Guest Data", "Export the guest data to popular software.", 26, D, 0, 0}}},
    {"RSVP", "  RSVPs", "Invite and track attendees for your wedding.", 27, {
        {"RSVPSTATUS", "RSVP Status", "Control the RSVP status of guests to your wedding.", 27, D, 0, 0},
        {"INVITATIONS", "Invite to Events", "Invite guests to events.", 28, D, 0, 0},
        {"SEATING", "Seating", "Track seating for your event.", 29, D, 0, 0},
        {"RSVPREPORT", "RSVP Report", "Print the RSVP information for your selected event.", 30, D, 0, 0},
        {"LABELS", "Labels", "Print address labels for your selected event.", 31, D, 0, 0},
        {"PLACARDS", "Placards", "Print placards for your selected event.", 32, D, 0, 0}}},
    {"VENDORS", "  Vendors", "Display information on and rate vendors for your wedding.", 45, {
        {"VIEWVENDOR", "View Vendor", "Display the vendors for your wedding.", 45, D, 0, 0},
        {"ADDVENDOR", "Add Vendor", "Add a vendor for your wedding.", 46, D, 0, 0},
        {"MODIFYVENDOR", "Modify Vendor", "Modify the selected vendor for your wedding.", 47, D, 0, 0},
        {"DELETEVENDOR", "Delete Vendor", "Delete this vendor's information.", 48, D, 0, 0},
        {"VENDORREPORT", "Vendor Report", "Print the vendor report.", 49, 10, 0, 0},
        {"VIEWQUOTES", "View Quotes", "View the quotes for services for your wedding.", 50, D, 0, 0},
        {"ADDQUOTE", "Add Quote", "Add a quote for your wedding.", 51, D, 0, 0},
        {"MODIFYQUOTE", "Modify Quote", "Modify the selected quote for your wedding.", 52, D, 0, 0},
        {"DELETEQUOTE", "Delete Quote", "Delete this quote.", 53, D, 0, 0},
        {"QUOTEREPORT", "Quote Report", "Print the quote report.", 54, D, 0, 0}}},
    {"BUDGET", "  Budget", "Display the budget/expenses for your wedding.", 35, {
        {"BUDGET", "Budget", "Display the budget for your wedding.", 35, D, 0, 0},
        {"AUTOADDBUDGET", "Budget Wizard", "Automatically budget your wedding with common expenses.", 34, D, 0, 0},
        {"ADDBUDGET", "Add Budget", "Add a budget item for your wedding.", 36, D, 0, 0},
        {"MODIFYBUDGET", "Modify Budget", "Modify the selected budget item.", 37, D, 0, 0},
        {"DELETEBUDGET", "Delete Budget Item", "Delete this budgeted item.", 38, D, 0, 0},
        {"BUDGETREPORT", "Budget Report", "Print the budget report.", 39, 10, 0, 0},
        {"EXPENSES", "Expenses", "Display actual expenses for your wedding.", 40, D, 0, 0},
        {"ADDEXPENSE", "Add Expense", "Add an expense for your wedding.", 41, D, 0, 0},
        {"MODIFYEXPENSE", "Modify Expense", "Modify the selected expense for your wedding.", 42, D, 0, 0},
        {"DELETEEXPENSE", "Delete Expense", "Delete this expense.", 43, D, 0, 0},
        {"EXPENSEREPORT", "Expense Report", "Print the expense report.", 44, D, 0, 0}}},
    {"ATTIRE", "  Attire/Measurements", "Display attire and measurements for your wedding.", 57, {
        {"VIEWATTIRE", "View Attire", "View the attire  for your wedding.", 57, D, 0, 0},
        {"ADDATTIRE", "Add Attire", "Add an attire item for your wedding.", 58, D, 0, 0},
        {"MODIFYATTIRE", "Modify Attire", "Modify the selected attire for your wedding.", 59, D, 0, 0},
        {"DELETEATTIRE", "Delete Attire", "Delete this attire.", 60, D, 0, 0},
        {"ATTIREREPORT", "Attire Report", "Print the attire report.", 61, 10, 0, 0},
        {"FEMALEMEASUREMENTS", "Female Measurements", "Display measurements for female participants in your wedding.", 55, D, 0, 0},
        {"MALEMEASUREMENTS", "Male Measurements", "Display measurements for male participants in your wedding.", 62, D, 0, 0},
        {"ADDFEMALEMEASUREMENT", "Add Female Measurement", "Add a female measurement for your wedding.", 56, D, 0, 0},
        {"ADDMALEMEASUREMENT", "Add Male Measurement", "Add a male measurement for your wedding.", 63, D, 0, 0},
        {"MODIFYMEASUREMENT", "Modify Measurement", "Modify the selected measurement.", 64, D, 0, 0},
        {"DELETEMEASUREMENT", "Delete Measurement", "Delete this measurement.", 65, D, 0, 0},
        {"MEASUREMENTREPORT", "Measurement Report", "Print the measurement report.", 66, D, 0, 0}}},
    {"GIFT", "  Gifts/Registry", "Display gifts and registries for your wedding.", 67, {
        {"VIEWGIFTS", "Gifts Received", "Display the gifts received for your wedding.", 67, D, 0, 0},
        {"ADDGIFT", "Add Gift", "Add a gift for your wedding.", 68, D, 0, 0},
        {"MODIFYGIFT", "Modify Gift", "Modify this gift.", 69, D, 0, 0},
        {"DELETEGIFT", "Delete Gift", "Delete this gift.", 70, D, 0, 0},
        {"GIFTREPORT", "Gift Report", "Print the gift report.", 71, 10, 0, 0},
        {"VIEWREGISTRY", "Registries", "Display the gifts registred for.", 72, D, 0, 0},
        {"ADDREGISTRY", "Add Registry", "Add a registry item for your wedding.", 73, D, 0, 0},
        {"MODIFYREGISTRY", "Modify Registry", "Modify this registry item.", 74, D, 0, 0},
        {"DELETEREGISTRY", "Delete Registry", "Delete this registry item.", 75, D, 0, 0},
        {"REGISTRYREPORT", "Registry Report", "Print the registry report.", 76, D, 0, 0}}},
};

// A stand-in for the main window: the bar, the two hosted controls and
// what the builders write back.
class NavGroupsTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db().Execute("DELETE FROM TASKS");
        bar = new ExplorerBar(&window);
        bar->setControlHome(&window);
        month = new QCalendarWidget(&window);
        box = new QWidget(&window);
        auto* v = new QVBoxLayout(box);
        for (const char* t : {"All Tasks", "Due Tasks", "Complete", "Incomplete"}) {
            auto* opt = new QRadioButton(t, box);
            v->addWidget(opt);
            ctx.taskOptions << opt;
        }
        ctx.bar = bar;
        ctx.monthView = month;
        ctx.taskControl = box;
        ctx.setModePicture = [this](int n) { pictures << n; };
        ctx.setMainMode = [this](const QString& m) { mainMode = m; };
        ctx.curDate = [this] { return curDate; };
    }

    void addTask(const QString& name, const QString& due, bool complete)
    {
        db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_COMPLETE) VALUES (?, ?, ?)",
                     {name, due.isEmpty() ? QVariant() : QVariant(due), complete ? 1 : 0});
    }
    QStringList captions(const QString& group)
    {
        QStringList out;
        navbar::Group* g = bar->group(group);
        for (int i = 0; g && i < g->itemCount(); ++i)
            out << g->item(i)->caption();
        return out;
    }

    QWidget window;
    ExplorerBar* bar = nullptr;
    QCalendarWidget* month = nullptr;
    QWidget* box = nullptr;
    NavContext ctx;
    QList<int> pictures;
    QString mainMode;
    QDateTime curDate{QDate(2026, 6, 13), QTime(9, 0)};
};

TEST_F(NavGroupsTest, EveryGroupAndItemAsShown)
{
    BuildModeGroup(ctx);
    BuildTaskGroup(ctx);  // TASKINFO is already there: only TASKS is added
    for (auto build : {BuildEventGroup, BuildGuestGroup, BuildRSVPGroup, BuildVendorGroup, BuildBudgetGroup,
                       BuildAttireGroup, BuildGiftGroup})
        build(ctx);

    QStringList keys;
    for (const Expected& e : kExpected)
        keys << e.key;
    ASSERT_EQ(bar->groupKeys(), keys);
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.key);
        navbar::Group* g = bar->group(e.key);
        EXPECT_EQ(g->caption(), e.caption);
        EXPECT_EQ(g->tooltip(), e.tooltip);
        EXPECT_EQ(g->picture(), e.picture);
        EXPECT_EQ(g->collapsible(), std::string(e.key) != "CALENDARCONTROL");
        ASSERT_EQ(g->itemCount(), int(e.items.size()));
        for (int i = 0; i < g->itemCount(); ++i) {
            const Row& r = e.items[size_t(i)];
            const navbar::Item* it = g->item(i);
            SCOPED_TRACE(r.key);
            EXPECT_EQ(it->key(), r.key);
            EXPECT_EQ(it->caption(), r.caption);
            EXPECT_EQ(it->tooltip(), r.tooltip);
            EXPECT_EQ(it->picture(), r.picture);
            EXPECT_EQ(it->spacing(), r.spacing);
            EXPECT_EQ(it->style(), r.style);
            EXPECT_EQ(it->kind(), r.kind);
        }
    }
    EXPECT_EQ(bar->findItem("CONTROLMONTH")->control(), month);
    EXPECT_EQ(bar->findItem("CONTROLTASK")->control(), box);
    EXPECT_TRUE(bar->redraw());
    EXPECT_NE(bar->pictureStore(), nullptr);
}

TEST_F(NavGroupsTest, GroupsPerModeAndWhatEachBuilderSets)
{
    BuildModeGroup(ctx);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_EQ(pictures, QList<int>({1}));

    struct Case {
        const char* mode;
        void (*build)(NavContext&);
        QStringList groups;
        int picture;         // 0: picMode left alone
        const char* mainMode;  // "" : left alone
    };
    const Case cases[] = {
        {"Tasks", BuildTaskGroup, {"MODE", "TASKS", "TASKINFO"}, 0, ""},
        {"Events", BuildEventGroup, {"MODE", "EVENTS"}, 15, ""},
        {"Guests", BuildGuestGroup, {"MODE", "GUESTS"}, 20, "Guests"},
        {"RSVP", BuildRSVPGroup, {"MODE", "RSVP"}, 28, "RSVP"},
        {"Vendors", BuildVendorGroup, {"MODE", "VENDORS"}, 0, ""},
        {"Budget", BuildBudgetGroup, {"MODE", "BUDGET"}, 0, ""},
        {"Attire", BuildAttireGroup, {"MODE", "ATTIRE"}, 0, ""},
        {"Gifts", BuildGiftGroup, {"MODE", "GIFT"}, 68, ""},
        {"Calendar", BuildCalendarGroups, {"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        pictures.clear();
        mainMode = "unchanged";
        RemoveModeGroups(ctx);
        EXPECT_EQ(bar->groupKeys(), QStringList({"MODE"}));
        c.build(ctx);
        EXPECT_EQ(bar->groupKeys(), c.groups);
        EXPECT_EQ(pictures, c.picture ? QList<int>({c.picture}) : QList<int>());
        EXPECT_EQ(mainMode, *c.mainMode ? QString(c.mainMode) : QString("unchanged"));
        EXPECT_TRUE(bar->redraw());
    }
    // Removing from a bar that holds only MODE removes nothing.
    RemoveModeGroups(ctx);
    RemoveModeGroups(ctx);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE"}));
    EXPECT_EQ(bar->group("MODE")->itemCount(), 9);
}

TEST_F(NavGroupsTest, HostedControlsSurviveModeChangesAndComeBack)
{
    QPointer<QWidget> watchMonth(month), watchBox(box);
    BuildModeGroup(ctx);
    EXPECT_TRUE(bar->isAncestorOf(month));
    EXPECT_TRUE(bar->isAncestorOf(box));
    // the options take the box's colour, the month picker the group's
    for (QWidget* opt : ctx.taskOptions)
        EXPECT_EQ(opt->palette().color(QPalette::Window), box->palette().color(QPalette::Window));
    EXPECT_EQ(month->palette().color(QPalette::Window), bar->groupColor(true));

    for (int round = 0; round < 3; ++round) {
        RemoveModeGroups(ctx);
        BuildEventGroup(ctx);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(watchMonth && watchBox) << "a hosted control was deleted";
        EXPECT_EQ(month->parentWidget(), &window);
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_TRUE(month->isHidden());
        EXPECT_TRUE(box->isHidden());

        RemoveModeGroups(ctx);
        BuildCalendarGroups(ctx);
        EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
        EXPECT_EQ(bar->findItem("CONTROLMONTH")->control(), month) << "the same control object again";
        EXPECT_TRUE(bar->isAncestorOf(month));
        EXPECT_TRUE(bar->isAncestorOf(box));
        EXPECT_FALSE(month->isHidden());
    }
}

TEST_F(NavGroupsTest, TaskCountsAtTheShownDate)
{
    BuildModeGroup(ctx);
    EXPECT_EQ(captions("TASKINFO"), QStringList({"0 Tasks Due", "0 Complete", "0 Incomplete", "0 Total Tasks"}));

    addTask("Overdue", "2026-06-01 00:00:00", false);
    addTask("Due this morning", "2026-06-13 00:00:00", false);
    addTask("Due this afternoon", "2026-06-13 14:30:00", false);
    addTask("Due tomorrow", "2026-06-14 00:00:00", false);
    addTask("Done long ago", "2026-05-01 00:00:00", true);
    addTask("Done today", "2026-06-13 10:00:00", true);
    addTask("No date yet", "", false);

    // Counts are taken when the group is built, not before.
    EXPECT_EQ(captions("TASKINFO").first(), "0 Tasks Due");
    RemoveModeGroups(ctx);
    BuildTaskGroup(ctx);
    EXPECT_EQ(captions("TASKINFO"), QStringList({"3 Tasks Due", "2 Complete", "5 Incomplete", "7 Total Tasks"}));

    // The day shown, not today, decides what is due.
    struct Case {
        QDate day;
        qlonglong due;
    };
    for (const Case& c : {Case{QDate(2026, 5, 31), 0}, Case{QDate(2026, 6, 12), 1}, Case{QDate(2026, 6, 14), 4},
                          Case{QDate(2030, 1, 1), 4}}) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        curDate = ado::convert::wallClock(c.day, QTime(23, 59, 59));
        RemoveModeGroups(ctx);
        BuildCalendarGroups(ctx);
        EXPECT_EQ(captions("TASKINFO").first(), QString::number(c.due) + " Tasks Due");
        const TaskCounts direct = CountTasks(db(), c.day);
        EXPECT_EQ(direct.due, c.due);
        EXPECT_EQ(direct.all, 7);
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(NavGroupsTest, FailingCountsLeaveTheBarDrawnWithOneMessage)
{
    db().Execute("DROP TABLE TASKS");
    BuildModeGroup(ctx);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_EQ(bar->group("TASKINFO")->itemCount(), 0);
    EXPECT_TRUE(bar->redraw()) << "drawing resumed after the failure";
    EXPECT_EQ(pictures, QList<int>({1}));

    // The next mode change works as usual, and says so once more.
    RemoveModeGroups(ctx);
    BuildTaskGroup(ctx);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "TASKS", "TASKINFO"}));
    EXPECT_EQ(messages.msgs->shown.size(), 2);
}

}  // namespace
