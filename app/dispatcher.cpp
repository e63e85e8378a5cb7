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
void groups(Host& h, Proc builder)
{
    h.call(Proc::RemoveModeGroups);
    h.call(builder);
}

// grid; view
Action view(Proc procedure)
{
    return [procedure](Host& h) {
        grid(h);
        h.call(procedure);
    };
}

Action mode(Proc procedure, Proc builder)
{
    return [procedure, builder](Host& h) {
        grid(h);
        h.call(procedure);
        groups(h, builder);
    };
}

Action tasks(views::TaskFilter which)
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
Action rowThenView(const char* command, Proc procedure)
{
    return [command, procedure](Host& h) {
        RunRowCommand(h, command);
        grid(h);
        h.call(procedure);
    };
}

Action print() { return [](Host& h) { h.call(Proc::PrintGridReport); }; }

Action viewThenPrint(Proc procedure)
{
    return [procedure](Host& h) {
        grid(h);
        h.call(procedure);
        h.call(Proc::PrintGridReport);
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
             groups(h, Proc::BuildCalendarGroups);
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
        {"PRINTTODAY", [](Host& h) { h.call(Proc::PrintDayCalendar); }},
        {"PRINTMONTH", [](Host& h) { h.call(Proc::PrintMonthCalendar); }},
        // Tasks
        {"TASKMODE",
         [](Host& h) {
             tasks(views::TaskFilter::Due)(h);
             groups(h, Proc::BuildTaskGroup);
         }},
        {"AUTOADDTASKS", modalOf<frmWizAddTask>()},
        {"DUETASKS", tasks(views::TaskFilter::Due)},
        {"ALLTASKS", tasks(views::TaskFilter::All)},
        {"COMPLETETASKS", tasks(views::TaskFilter::Complete)},
        {"INCOMPLETETASKS", tasks(views::TaskFilter::Incomplete)},
        {"ADDTASK",
         [](Host& h) {
             // A new task: never the task an earlier double-click opened.
             frmEventTasks::instance().curMode = frmEventTasks::Mode::Add;
             frmEventTasks::instance().Show(ui::vbModal, h.owner());
         }},
        {"DELETETASK", row("DeleteTask")},
        {"TASKREPORT", print()},
        // Events
        {"EVENTMODE", mode(Proc::ShowEvents, Proc::BuildEventGroup)},
        {"VIEWEVENTS", view(Proc::ShowEvents)},
        {"ADDEVENT",
         [](Host&) {
             frmEventInfo::instance().curEvent = 0;
             frmEventInfo::instance().Show(ui::vbModeless);
         }},
        {"MODIFYEVENT", row("ModifyEvent")},
        {"DELETEEVENT", row("DeleteEvent")},
        {"EVENTREPORT", print()},
        // Guests
        {"GUESTMODE", mode(Proc::ShowPeople, Proc::BuildGuestGroup)},
        {"VIEWGUESTS", view(Proc::ShowPeople)},
        {"GUESTADDRESSES", view(Proc::ShowAddresses)},
        {"ADDGUEST",
         [](Host&) {
             frmGuestDetail::instance().curMode = frmGuestDetail::Mode::New;
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
             h.call(Proc::FillEventCombo);
             grid(h);
             h.call(Proc::ShowRSVP);
             groups(h, Proc::BuildRSVPGroup);
         }},
        {"RSVPSTATUS",
         [](Host& h) {
             h.call(Proc::FillEventCombo);
             grid(h);
             h.call(Proc::ShowRSVP);
         }},
        {"INVITATIONS", modalOf<frmInvite>()},
        {"SEATING", modalOf<frmSeating>()},
        {"RSVPREPORT", print()},
        {"LABELS", modalOf<frmLabels>()},
        {"PLACARDS", modalOf<frmPlacard>()},
        // Vendors and quotes
        {"VENDORMODE", mode(Proc::ShowVendors, Proc::BuildVendorGroup)},
        {"VIEWVENDOR", view(Proc::ShowVendors)},
        {"ADDVENDOR",
         [](Host& h) {
             view(Proc::ShowVendors)(h);
             frmVendor::instance().curMode = frmVendor::Mode::Add;
             frmVendor::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYVENDOR", rowThenView("ModifyVendor", Proc::ShowVendors)},
        {"DELETEVENDOR", row("DeleteVendor")},
        {"VENDORREPORT", viewThenPrint(Proc::ShowVendors)},
        {"VIEWQUOTES", view(Proc::ShowQuotes)},
        {"ADDQUOTE",
         [](Host& h) {
             view(Proc::ShowQuotes)(h);
             frmQuote::instance().curMode = frmQuote::Mode::Add;
             frmQuote::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYQUOTE",
         [](Host& h) {
             frmQuote::instance().curMode = frmQuote::Mode::Edit;
             rowThenView("ModifyQuote", Proc::ShowQuotes)(h);
         }},
        {"DELETEQUOTE", row("DeleteQuote")},
        {"QUOTEREPORT", viewThenPrint(Proc::ShowQuotes)},
        // Budget and expenses
        {"BUDGETMODE", mode(Proc::ShowBudget, Proc::BuildBudgetGroup)},
        {"BUDGET", view(Proc::ShowBudget)},
        {"AUTOADDBUDGET",
         [](Host& h) {
             view(Proc::ShowBudget)(h);
             frmAutoBudget::instance().budgetAmt = 0;  // only the planning wizard hands one over
             frmAutoBudget::instance().Show(ui::vbModal, h.owner());
         }},
        {"ADDBUDGET",
         [](Host& h) {
             view(Proc::ShowBudget)(h);
             frmAddBudget::instance().curMode = frmAddBudget::Mode::Add;
             frmAddBudget::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYBUDGET", rowThenView("ModifyBudget", Proc::ShowBudget)},
        {"DELETEBUDGET", row("DeleteBudget")},
        {"BUDGETREPORT", viewThenPrint(Proc::ShowBudget)},
        {"EXPENSES", view(Proc::ShowExpenses)},
        {"ADDEXPENSE",
         [](Host& h) {
             view(Proc::ShowExpenses)(h);
             frmAddExpense::instance().curMode = frmAddExpense::Mode::Add;
             frmAddExpense::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYEXPENSE", rowThenView("ModifyExpense", Proc::ShowExpenses)},
        {"DELETEEXPENSE", row("DeleteExpense")},
        {"EXPENSEREPORT", viewThenPrint(Proc::ShowExpenses)},
        // Attire and measurements
        {"ATTIREMODE", mode(Proc::ShowAttire, Proc::BuildAttireGroup)},
        {"VIEWATTIRE", view(Proc::ShowAttire)},
        {"ADDATTIRE",
         [](Host& h) {
             frmAttire::instance().curMode = frmAttire::Mode::Add;
             frmAttire::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYATTIRE", row("ModifyAttire")},
        {"DELETEATTIRE", row("DeleteAttire")},
        {"ATTIREREPORT", print()},
        {"FEMALEMEASUREMENTS", view(Proc::ShowMeasurementsFemale)},
        {"MALEMEASUREMENTS", view(Proc::ShowMeasurementsMale)},
        {"ADDFEMALEMEASUREMENT",
         [](Host& h) {
             frmMeasureFemale::instance().curMode = frmMeasureFemale::Mode::Add;
             frmMeasureFemale::instance().Show(ui::vbModal, h.owner());
         }},
        {"ADDMALEMEASUREMENT",
         [](Host& h) {
             frmMeasureMale::instance().curMode = frmMeasureMale::Mode::Add;
             frmMeasureMale::instance().Show(ui::vbModal, h.owner());
         }},
        {"MODIFYMEASUREMENT", row("ModifyMeasurement")},
        {"DELETEMEASUREMENT", row("DeleteMeasurement")},
        {"MEASUREMENTREPORT", print()},
        // Gifts and registry
        {"GIFTMODE", mode(Proc::ShowGifts, Proc::BuildGiftGroup)},
        {"VIEWGIFTS", view(Proc::ShowGifts)},
        {"ADDGIFT",
         [](Host& h) {
             view(Proc::ShowGifts)(h);
             frmGift::instance().giftMode = frmGift::Mode::Add;
             frmGift::instance().Show(ui::vbModeless);
         }},
        {"MODIFYGIFT", rowThenView("ModifyGift", Proc::ShowGifts)},
        {"DELETEGIFT", row("DeleteGift")},
        {"GIFTREPORT", viewThenPrint(Proc::ShowGifts)},
        {"VIEWREGISTRY", view(Proc::ShowRegistry)},
        {"ADDREGISTRY",
         [](Host& h) {
             view(Proc::ShowRegistry)(h);
             frmRegistry::instance().registryMode = frmRegistry::Mode::Add;
             frmRegistry::instance().Show(ui::vbModeless);
         }},
        {"MODIFYREGISTRY", rowThenView("ModifyRegistry", Proc::ShowRegistry)},
        {"DELETEREGISTRY", row("DeleteRegistry")},
        {"REGISTRYREPORT", viewThenPrint(Proc::ShowRegistry)},
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
