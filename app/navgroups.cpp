#include "app/navgroups.h"

#include "platform/ado/ado.h"
#include "platform/ado/ignoring.h"
#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"

#include <QPalette>

#include <array>

namespace navgroups {

namespace {

struct ItemDef {
    const char* key;
    const char* caption;
    const char* tooltip;
    int picture;
    int spacing = -1;  // -1: the bar's default
};

struct GroupDef {
    const char* key;
    const char* caption;
    const char* tooltip;
    int picture;
    std::initializer_list<ItemDef> items;
};

const GroupDef kMode{"MODE", "  Mode", "Changes the mode of the Nuptaro program.", 77, {
    {"CALENDARMODE", "Calendar", "Manage the calendar for your wedding.", 0},
    {"TASKMODE", "Tasks", "Manage the tasks for your wedding.", 7},
    {"EVENTMODE", "Events", "Manage the events for your wedding.", 14},
    {"GUESTMODE", "Guests", "Manage the guests for your wedding.", 19},
    {"RSVPMODE", "RSVP's", "Manage the RSVP's for your wedding.", 27},
    {"VENDORMODE", "Vendors/Quotes", "Manage the vendors for your wedding.", 45},
    {"BUDGETMODE", "Budget/Expenses", "Manage the budget/expenses for your wedding.", 40},
    {"ATTIREMODE", "Attire/Measure", "Manage your attire for your wedding.", 57},
    {"GIFTMODE", "Gifts/Registry", "Manage the gifts for your wedding.", 67},
}};

const GroupDef kCalendar{"CALENDAR", "  Calendar",
    "The calendar functions allow you to add appointments and follow your schedule.", 0, {
    {"TODAY", "Today's Calendar", "Display the calendar for today.", 1, 4},
    {"MONTHVIEW", "Month View", "Display the calendar for a month.", 0, 4},
    {"ADDAPPOINTMENT", "Add Appointment", "Add an appointment.", 2, 4},
    {"PRINTTODAY", "Print Today", "Print today's appointments.", 5, 4},
    {"PRINTMONTH", "Print Month", "Print the month's appointments.", 4, 4},
}};

const GroupDef kTasks{"TASKS", "  Tasks", "The task functions allow you to add tasks for various people to do.", 7, {
    {"AUTOADDTASKS", "Task Wizard", "Automatically add many common tasks.", 6},
    {"DUETASKS", "Due Tasks", "Display due tasks.", 10},
    {"ALLTASKS", "All Tasks", "Display all tasks.", 9},
    {"INCOMPLETETASKS", "Incomplete Tasks", "Display incomplete tasks.", 8},
    {"COMPLETETASKS", "Complete Tasks", "Display complete tasks.", 7},
    {"ADDTASK", "Add Task", "Add a task for you wedding.", 11},
    {"DELETETASK", "Delete Task", "Delete a task from your wedding.", 12},
    {"TASKREPORT", "Task Report", "Print the currently displayed tasks.", 13},
}};

const GroupDef kEvents{"EVENTS", "  Events", "Control the events (sub-events) for your wedding.", 14, {
    {"VIEWEVENTS", "Show Events", "Display events for your wedding.", 14},
    {"ADDEVENT", "Add Event", "Add an event for your wedding.", 15},
    {"MODIFYEVENT", "Modify Event", "Modify an event for your wedding.", 16},
    {"DELETEEVENT", "Delete Event", "Delete an event from your wedding.", 17},
    {"EVENTREPORT", "Print Event Summary", "Print the summary displayed in the chart.", 18},
}};

const GroupDef kGuests{"GUESTS", "  Guests", "Control the guests (sub-guests) for your wedding.", 19, {
    {"VIEWGUESTS", "View Guests", "View the guests for your wedding.", 19},
    {"GUESTADDRESSES", "Guest Addresses", "View the guests' addresses for your wedding.", 20},
    {"ADDGUEST", "Add Guest", "Add a guest for your wedding.", 21},
    {"MODIFYGUESTS", "Modify Guest", "Modify the guests for your wedding.", 22},
    {"DELETEGUEST", "Delete Guest", "Delete the guest from your wedding.", 23},
    {"GUESTREPORT", "Guest Report", "Print the guest data.", 24},
    {"IMPORTGUESTS", "Import Guests Data", "Import guest data from popular software.", 25},
    {"EXPORTGUESTS", "Export Guest Data", "Export the guest data to popular software.", 26},
}};

const GroupDef kRSVP{"RSVP", "  RSVPs", "Invite and track attendees for your wedding.", 27, {
    {"RSVPSTATUS", "RSVP Status", "Control the RSVP status of guests to your wedding.", 27},
    {"INVITATIONS", "Invite to Events", "Invite guests to events.", 28},
    {"SEATING", "Seating", "Track seating for your event.", 29},
    {"RSVPREPORT", "RSVP Report", "Print the RSVP information for your selected event.", 30},
    {"LABELS", "Labels", "Print address labels for your selected event.", 31},
    {"PLACARDS", "Placards", "Print placards for your selected event.", 32},
}};

const GroupDef kVendors{"VENDORS", "  Vendors", "Display information on and rate vendors for your wedding.", 45, {
    {"VIEWVENDOR", "View Vendor", "Display the vendors for your wedding.", 45},
    {"ADDVENDOR", "Add Vendor", "Add a vendor for your wedding.", 46},
    {"MODIFYVENDOR", "Modify Vendor", "Modify the selected vendor for your wedding.", 47},
    {"DELETEVENDOR", "Delete Vendor", "Delete this vendor's information.", 48},
    {"VENDORREPORT", "Vendor Report", "Print the vendor report.", 49, 10},
    {"VIEWQUOTES", "View Quotes", "View the quotes for services for your wedding.", 50},
    {"ADDQUOTE", "Add Quote", "Add a quote for your wedding.", 51},
    {"MODIFYQUOTE", "Modify Quote", "Modify the selected quote for your wedding.", 52},
    {"DELETEQUOTE", "Delete Quote", "Delete this quote.", 53},
    {"QUOTEREPORT", "Quote Report", "Print the quote report.", 54},
}};

const GroupDef kBudget{"BUDGET", "  Budget", "Display the budget/expenses for your wedding.", 35, {
    {"BUDGET", "Budget", "Display the budget for your wedding.", 35},
    {"AUTOADDBUDGET", "Budget Wizard", "Automatically budget your wedding with common expenses.", 34},
    {"ADDBUDGET", "Add Budget", "Add a budget item for your wedding.", 36},
    {"MODIFYBUDGET", "Modify Budget", "Modify the selected budget item.", 37},
    {"DELETEBUDGET", "Delete Budget Item", "Delete this budgeted item.", 38},
    {"BUDGETREPORT", "Budget Report", "Print the budget report.", 39, 10},
    {"EXPENSES", "Expenses", "Display actual expenses for your wedding.", 40},
    {"ADDEXPENSE", "Add Expense", "Add an expense for your wedding.", 41},
    {"MODIFYEXPENSE", "Modify Expense", "Modify the selected expense for your wedding.", 42},
    {"DELETEEXPENSE", "Delete Expense", "Delete this expense.", 43},
    {"EXPENSEREPORT", "Expense Report", "Print the expense report.", 44},
}};

const GroupDef kAttire{"ATTIRE", "  Attire/Measurements", "Display attire and measurements for your wedding.", 57, {
    {"VIEWATTIRE", "View Attire", "View the attire  for your wedding.", 57},
    {"ADDATTIRE", "Add Attire", "Add an attire item for your wedding.", 58},
    {"MODIFYATTIRE", "Modify Attire", "Modify the selected attire for your wedding.", 59},
    {"DELETEATTIRE", "Delete Attire", "Delete this attire.", 60},
    {"ATTIREREPORT", "Attire Report", "Print the attire report.", 61, 10},
    {"FEMALEMEASUREMENTS", "Female Measurements", "Display measurements for female participants in your wedding.", 55},
    {"MALEMEASUREMENTS", "Male Measurements", "Display measurements for male participants in your wedding.", 62},
    {"ADDFEMALEMEASUREMENT", "Add Female Measurement", "Add a female measurement for your wedding.", 56},
    {"ADDMALEMEASUREMENT", "Add Male Measurement", "Add a male measurement for your wedding.", 63},
    {"MODIFYMEASUREMENT", "Modify Measurement", "Modify the selected measurement.", 64},
    {"DELETEMEASUREMENT", "Delete Measurement", "Delete this measurement.", 65},
    {"MEASUREMENTREPORT", "Measurement Report", "Print the measurement report.", 66},
}};

const GroupDef kGift{"GIFT", "  Gifts/Registry", "Display gifts and registries for your wedding.", 67, {
    {"VIEWGIFTS", "Gifts Received", "Display the gifts received for your wedding.", 67},
    {"ADDGIFT", "Add Gift", "Add a gift for your wedding.", 68},
    {"MODIFYGIFT", "Modify Gift", "Modify this gift.", 69},
    {"DELETEGIFT", "Delete Gift", "Delete this gift.", 70},
    {"GIFTREPORT", "Gift Report", "Print the gift report.", 71, 10},
    {"VIEWREGISTRY", "Registries", "Display the gifts registred for.", 72},
    {"ADDREGISTRY", "Add Registry", "Add a registry item for your wedding.", 73},
    {"MODIFYREGISTRY", "Modify Registry", "Modify this registry item.", 74},
    {"DELETEREGISTRY", "Delete Registry", "Delete this registry item.", 75},
    {"REGISTRYREPORT", "Registry Report", "Print the registry report.", 76},
}};

// Suspends the bar's drawing for a scope; resumes it on the way out, also
// when a step throws.
class DrawingSuspended {
public:
    explicit DrawingSuspended(navbar::ExplorerBar* bar) : bar_(bar) { bar_->setRedraw(false); }
    ~DrawingSuspended() { bar_->setRedraw(true); }

private:
    navbar::ExplorerBar* bar_;
};

navbar::Group* appendGroup(navbar::ExplorerBar* bar, const GroupDef& def)
{
    navbar::Group* g = bar->addGroup(QString::fromUtf8(def.key), QString::fromUtf8(def.caption));
    if (!g)
        return nullptr;
    g->setTooltip(QString::fromUtf8(def.tooltip));
    g->setPicture(def.picture);
    for (const ItemDef& d : def.items) {
        navbar::Item* it = g->addItem(QString::fromUtf8(d.key), QString::fromUtf8(d.caption), d.picture);
        if (!it)
            continue;
        it->setTooltip(QString::fromUtf8(d.tooltip));
        if (d.spacing >= 0)
            it->setSpacing(d.spacing);
    }
    return g;
}

void buildSimple(NavContext& ctx, const GroupDef& def, int modePicture)
{
    {
        DrawingSuspended hold(ctx.bar);
        appendGroup(ctx.bar, def);
    }
    if (modePicture > 0 && ctx.setModePicture)
        ctx.setModePicture(modePicture);
}

void setBackground(QWidget* w, const QColor& c)
{
    if (!w)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Base, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

ado::Connection& connectionOf(NavContext& ctx)
{
    return ctx.conn ? *ctx.conn : modQVDatabase::gConn;
}

}  // namespace

void BuildModeGroup(NavContext& ctx)
{
    DrawingSuspended hold(ctx.bar);
    ctx.bar->setPictureStore(&navbar::PictureStore::standard());
    appendGroup(ctx.bar, kMode);
    BuildCalendarGroups(ctx);
}

void BuildCalendarGroups(NavContext& ctx)
{
    {
        DrawingSuspended hold(ctx.bar);
        if (navbar::Group* g = ctx.bar->addGroup("CALENDARCONTROL", "  Date Control")) {
            g->setPicture(1);
            g->setCollapsible(false);
            if (navbar::Item* it = g->addItem("CONTROLMONTH", "Month Control", navbar::kNoPicture,
                                              navbar::ItemControl)) {
                it->setControl(ctx.monthView);
                setBackground(ctx.monthView, ctx.bar->groupColor(true));
                it->setSpacing(6);
            }
            if (navbar::Item* it = g->addItem("CONTROLTASK", "Task Control", navbar::kNoPicture,
                                              navbar::ItemControl)) {
                it->setControl(ctx.taskControl);
                if (ctx.taskControl)
                    for (QWidget* opt : ctx.taskOptions)
                        setBackground(opt, ctx.taskControl->palette().color(QPalette::Window));
                it->setSpacing(6);
            }
        }
        appendGroup(ctx.bar, kCalendar);
    }
    if (ctx.setModePicture)
        ctx.setModePicture(1);
    BuildTaskInfoGroup(ctx);
}

void BuildTaskGroup(NavContext& ctx)
{
    buildSimple(ctx, kTasks, 0);
    BuildTaskInfoGroup(ctx);
}

void BuildEventGroup(NavContext& ctx) { buildSimple(ctx, kEvents, 15); }

void BuildGuestGroup(NavContext& ctx)
{
    if (ctx.setMainMode)
        ctx.setMainMode(views::MainMode::Guests);
    buildSimple(ctx, kGuests, 20);
}

void BuildRSVPGroup(NavContext& ctx)
{
    if (ctx.setMainMode)
        ctx.setMainMode(views::MainMode::RSVP);
    buildSimple(ctx, kRSVP, 28);
}

void BuildVendorGroup(NavContext& ctx) { buildSimple(ctx, kVendors, 0); }
void BuildBudgetGroup(NavContext& ctx) { buildSimple(ctx, kBudget, 0); }
void BuildAttireGroup(NavContext& ctx) { buildSimple(ctx, kAttire, 0); }
void BuildGiftGroup(NavContext& ctx) { buildSimple(ctx, kGift, 68); }

TaskCounts CountTasks(ado::Connection& conn, const QDate& day)
{
    // Due means due at any time of the day or before it, so the bound is the
    // next midnight, not the day's own.
    const QString nextDay = ado::convert::isoDate(day.addDays(1));
    TaskCounts c;
    c.due = conn.scalar("SELECT COUNT(*) FROM TASKS WHERE TASK_DUEDATE < ? AND TASK_COMPLETE = FALSE",
                        {nextDay}).toLongLong();
    c.complete = conn.scalar("SELECT COUNT(*) FROM TASKS WHERE TASK_COMPLETE = TRUE").toLongLong();
    c.incomplete = conn.scalar("SELECT COUNT(*) FROM TASKS WHERE TASK_COMPLETE = FALSE").toLongLong();
    c.all = conn.scalar("SELECT COUNT(*) FROM TASKS").toLongLong();
    return c;
}

namespace {

QDate countDay(const NavContext& ctx) { return (ctx.curDate ? ctx.curDate() : ado::convert::now()).date(); }

struct CountRow {
    const char* key;
    const char* text;
    qlonglong n;
    int picture;
    QString caption() const { return QString::number(n) + QString::fromUtf8(text); }
};

std::array<CountRow, 4> countRows(const TaskCounts& c)
{
    return {{
        {"TASKMODEDUE", " Tasks Due", c.due, 10},
        {"TASKMODECOMPLETE", " Complete", c.complete, 9},
        {"TASKMODEINCOMPLETE", " Incomplete", c.incomplete, 8},
        {"TASKMODEALL", " Total Tasks", c.all, 7},
    }};
}

}  // namespace

void BuildTaskInfoGroup(NavContext& ctx)
{
    DrawingSuspended hold(ctx.bar);
    navbar::Group* g = ctx.bar->addGroup("TASKINFO", "  Task Info");
    if (!g)
        return;
    g->setTooltip("Information on the tasks to-do.");
    g->setPicture(7);

    TaskCounts c;
    try {
        c = CountTasks(connectionOf(ctx), countDay(ctx));
    } catch (const ado::Error& e) {
        // The group stays, without counts; the mode change goes on.
        ui::MsgBox("The task counts could not be read.\n\n" + e.description(), ui::vbExclamation);
        return;
    }
    for (const CountRow& r : countRows(c))
        if (navbar::Item* it = g->addItem(r.key, r.caption(), r.picture))
            it->setStyle(navbar::StyleCount);
}

void UpdateTaskInfoCounts(NavContext& ctx)
{
    navbar::Group* g = ctx.bar ? ctx.bar->group("TASKINFO") : nullptr;
    if (!g)
        return;
    TaskCounts c;
    try {
        c = CountTasks(connectionOf(ctx), countDay(ctx));
    } catch (const ado::Error&) {
        ado::logIgnoredError();
        return;  // the counts shown stay until they can be read
    }
    for (const CountRow& r : countRows(c))
        if (navbar::Item* it = g->findItem(r.key))
            it->setCaption(r.caption());
}

void RemoveModeGroups(NavContext& ctx)
{
    DrawingSuspended hold(ctx.bar);
    for (const char* key : {"CALENDARCONTROL", "CALENDAR", "TASKS", "EVENTS", "GUESTS", "RSVP", "VENDORS",
                            "BUDGET", "ATTIRE", "GIFT", "TASKINFO"})
        if (ctx.bar->groupExists(key))
            ctx.bar->removeGroup(key);
}

}  // namespace navgroups
