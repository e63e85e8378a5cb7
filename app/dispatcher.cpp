// The navigation bar's commands: one action per item key.

#include "app/commands.h"
#include "app/editors.h"
#include "platform/ado/ado.h"

#include <functional>
#include <vector>

namespace commands {

namespace {

using Action = std::function<void(Host&)>;

QDateTime now() { return ado::convert::now(); }

void grid(Host& h) { h.ShowPanel("frameDataGrid"); }

// A mode key shows the mode's first view, then rebuilds the groups.
void groups(Host& h, const char* builder)
{
    h.call("RemoveModeGroups");
    h.call(builder);
}

// grid; view
Action view(const char* procedure)
{
    return [procedure](Host& h) {
        grid(h);
        h.call(procedure);
    };
}

Action mode(const char* procedure, const char* builder)
{
    return [procedure, builder](Host& h) {
        grid(h);
        h.call(procedure);
        groups(h, builder);
    };
}

Action tasks(const char* which)
{
    return [which](Host& h) {
        grid(h);
        h.ShowTasks(which, now());
    };
}

Action row(const char* command)
{
    return [command](Host& h) { RunRowCommand(h, command); };
}

// A row command, then the view shown again.
Action rowThenView(const char* command, const char* procedure)
{
    return [command, procedure](Host& h) {
        RunRowCommand(h, command);
        grid(h);
        h.call(procedure);
    };
}

Action print() { return [](Host& h) { h.call("PrintGridReport"); }; }

Action viewThenPrint(const char* procedure)
{
    return [procedure](Host& h) {
        grid(h);
        h.call(procedure);
        h.call("PrintGridReport");
    };
}

template <class F>
Action modalOf()
{
    return [](Host& h) { F::instance().Show(ui::vbModal, h.owner()); };
}

const std::vector<std::pair<QString, Action>>& table()
{
    static const std::vector<std::pair<QString, Action>> t = {
        // Calendar
        {"CALENDARMODE",
         [](Host& h) {
             h.ShowPanel("frameDate");
             h.ChangeDate(now());
             h.setModeCaption("Date Calendar");
             groups(h, "BuildCalendarGroups");
         }},
        {"TODAY",
         [](Host& h) {
             h.ShowPanel("frameDate");
             h.ChangeDate(now());
             h.setModeCaption("Date Calendar");
         }},
        {"MONTHVIEW",
         [](Host& h) {
             h.ShowPanel("frameMonth");
             h.ChangeCalendar(now());
             h.setModeCaption("Month Calendar");
         }},
        {"ADDAPPOINTMENT",
         [](Host& h) {
             frmAddAppt::instance().curApptDate = h.curDate();
             frmAddAppt::instance().Show(ui::vbModal, h.owner());
         }},
        {"PRINTTODAY", [](Host& h) { h.call("PrintDayCalendar"); }},
        {"PRINTMONTH", [](Host& h) { h.call("PrintMonthCalendar"); }},
        // Tasks
        {"TASKMODE",
         [](Host& h) {
             tasks("Due")(h);
             groups(h, "BuildTaskGroup");
         }},
        {"AUTOADDTASKS", modalOf<frmWizAddTask>()},
        {"DUETASKS", tasks("Due")},
        {"ALLTASKS", tasks("All")},
        {"COMPLETETASKS", tasks("Complete")},
        {"INCOMPLETETASKS", tasks("Incomplete")},
        {"ADDTASK",
         [](Host& h) {
             // A new task: never the task an earlier double-click opened.
             frmEventTasks::instance().curMode.clear();
             frmEventTasks::instance().Show(ui::vbModal, h.owner());
         }},
        {"DELETETASK", row("DeleteTask")},
        {"TASKREPORT", print()},
        // Events
        {"EVENTMODE", mode("ShowEvents", "BuildEventGroup")},
        {"VIEWEVENTS", view("ShowEvents")},
        {"ADDEVENT",
         [](Host&) {
             frmEventInfo::instance().curEvent = 0;
             frmEventInfo::instance().Show(ui::vbModeless);
         }},
        {"MODIFYEVENT", row("ModifyEvent")},
        {"DELETEEVENT", row("DeleteEvent")},
        {"EVENTREPORT", print()},
        // Guests
        {"GUESTMODE", mode("ShowPeople", "BuildGuestGroup")},
        {"VIEWGUESTS", view("ShowPeople")},
        {"GUESTADDRESSES", view("ShowAddresses")},
        {"ADDGUEST",
         [](Host&) {
             frmGuestDetail::instance().curMode = "New";
             frmGuestDetail::instance().Show(ui::vbModeless);
         }},
        {"DELETEGUEST", row("DeleteGuest")},
        {"MODIFYGUESTS", row("ModifyGuest")},
        {"GUESTREPORT", print()},
        {"IMPORTGUESTS", modalOf<frmImportData>()},
        {"EXPORTGUESTS", modalOf<frmExportData>()},
        // RSVP
        {"RSVPMODE",
         [](Host& h) {
             h.call("FillEventCombo");
             grid(h);
             h.call("ShowRSVP");
             groups(h, "BuildRSVPGroup");
         }},
        {"RSVPSTATUS",
         [](Host& h) {
             h.call("FillEventCombo");
             grid(h);
             h.call("ShowRSVP");
         }},
        {"INVITATIONS", modalOf<frmInvite>()},
        {"SEATING", modalOf<frmSeating>()},
        {"RSVPREPORT", print()},
        {"LABELS", modalOf<frmLabels>()},
        {"PLACARDS", modalOf<frmPlacard>()},
        // Vendors and quotes
        {"VENDORMODE", mode("ShowVendors", "BuildVendorGroup")},
        {"VIEWVENDOR", view("ShowVendors")},
        {"ADDVENDOR",
         [](Host& h) {
             view("ShowVendors")(h);
             frmVendor::instance().curMode = "Add";
             frmVendor::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYVENDOR", rowThenView("ModifyVendor", "ShowVendors")},
        {"DELETEVENDOR", row("DeleteVendor")},
        {"VENDORREPORT", viewThenPrint("ShowVendors")},
        {"VIEWQUOTES", view("ShowQuotes")},
        {"ADDQUOTE",
         [](Host& h) {
             view("ShowQuotes")(h);
             frmQuote::instance().curMode = "Add";
             frmQuote::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYQUOTE",
         [](Host& h) {
             frmQuote::instance().curMode = "Edit";
             rowThenView("ModifyQuote", "ShowQuotes")(h);
         }},
        {"DELETEQUOTE", row("DeleteQuote")},
        {"QUOTEREPORT", viewThenPrint("ShowQuotes")},
        // Budget and expenses
        {"BUDGETMODE", mode("ShowBudget", "BuildBudgetGroup")},
        {"BUDGET", view("ShowBudget")},
        {"AUTOADDBUDGET",
         [](Host& h) {
             view("ShowBudget")(h);
             frmAutoBudget::instance().budgetAmt = 0;  // only the planning wizard hands one over
             frmAutoBudget::instance().Show(ui::vbModal, h.owner());
         }},
        {"ADDBUDGET",
         [](Host& h) {
             view("ShowBudget")(h);
             frmAddBudget::instance().curMode = "Add";
             frmAddBudget::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYBUDGET", rowThenView("ModifyBudget", "ShowBudget")},
        {"DELETEBUDGET", row("DeleteBudget")},
        {"BUDGETREPORT", viewThenPrint("ShowBudget")},
        {"EXPENSES", view("ShowExpenses")},
        {"ADDEXPENSE",
         [](Host& h) {
             view("ShowExpenses")(h);
             frmAddExpense::instance().curMode = "Add";
             frmAddExpense::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYEXPENSE", rowThenView("ModifyExpense", "ShowExpenses")},
        {"DELETEEXPENSE", row("DeleteExpense")},
        {"EXPENSEREPORT", viewThenPrint("ShowExpenses")},
        // Attire and measurements
        {"ATTIREMODE", mode("ShowAttire", "BuildAttireGroup")},
        {"VIEWATTIRE", view("ShowAttire")},
        {"ADDATTIRE",
         [](Host& h) {
             frmAttire::instance().curMode = "Add";
             frmAttire::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYATTIRE", row("ModifyAttire")},
        {"DELETEATTIRE", row("DeleteAttire")},
        {"ATTIREREPORT", print()},
        {"FEMALEMEASUREMENTS", view("ShowMeasurementsFemale")},
        {"MALEMEASUREMENTS", view("ShowMeasurementsMale")},
        {"ADDFEMALEMEASUREMENT",
         [](Host& h) {
             frmMeasureFemale::instance().curMode = "Add";
             frmMeasureFemale::instance().Show(ui::vbModal, h.owner());
         }},
        {"ADDMALEMEASUREMENT",
         [](Host& h) {
             frmMeasureMale::instance().curMode = "Add";
             frmMeasureMale::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYMEASUREMENT", row("ModifyMeasurement")},
        {"DELETEMEASUREMENT", row("DeleteMeasurement")},
        {"MEASUREMENTREPORT", print()},
        // Gifts and registry
        {"GIFTMODE", mode("ShowGifts", "BuildGiftGroup")},
        {"VIEWGIFTS", view("ShowGifts")},
        {"ADDGIFT",
         [](Host& h) {
             view("ShowGifts")(h);
             frmGift::instance().giftMode = "Add";
             frmGift::instance().Show(ui::vbModeless);
         }},
        {"MODIFYGIFT", rowThenView("ModifyGift", "ShowGifts")},
        {"DELETEGIFT", row("DeleteGift")},
        {"GIFTREPORT", viewThenPrint("ShowGifts")},
        {"VIEWREGISTRY", view("ShowRegistry")},
        {"ADDREGISTRY",
         [](Host& h) {
             view("ShowRegistry")(h);
             frmRegistry::instance().registryMode = "Add";
             frmRegistry::instance().Show(ui::vbModeless);
         }},
        {"MODIFYREGISTRY", rowThenView("ModifyRegistry", "ShowRegistry")},
        {"DELETEREGISTRY", row("DeleteRegistry")},
        {"REGISTRYREPORT", viewThenPrint("ShowRegistry")},
    };
    return t;
}

}  // namespace

void ItemClick(Host& host, const QString& key)
{
    for (const auto& [k, action] : table())
        if (k == key) {
            action(host);
            break;
        }
    host.ArrangePanels();
}

bool isInertKey(const QString& key)
{
    static const QStringList inert = {"TASKMODEDUE", "TASKMODECOMPLETE", "TASKMODEINCOMPLETE",
                                      "TASKMODEALL", "CONTROLMONTH",     "CONTROLTASK"};
    return inert.contains(key);
}

QStringList actionKeys()
{
    QStringList keys;
    for (const auto& entry : table())
        keys << entry.first;
    return keys;
}

}  // namespace commands
