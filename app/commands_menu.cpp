// The menu items' commands and the task filter buttons.

#include "app/commands.h"
#include "app/editors.h"
#include "platform/ado/ado.h"
#include "platform/ui/messages.h"

#include <functional>
#include <vector>

namespace commands {

namespace {

using Action = std::function<void(Host&)>;

QDateTime now() { return ado::convert::now(); }

// The view switch: groups, the row command if any (on the view shown before
// the switch), the grid panel, the view, ArrangePanels.
Action switchTo(Proc builder, std::function<void(Host&)> view, const char* rowCommand = nullptr)
{
    return [builder, view, rowCommand](Host& h) {
        h.call(Proc::RemoveModeGroups);
        h.call(builder);
        if (rowCommand)
            RunRowCommand(h, rowCommand);
        h.ShowPanel("frameDataGrid");
        view(h);
        h.ArrangePanels();
    };
}

std::function<void(Host&)> proc(Proc name)
{
    return [name](Host& h) { h.call(name); };
}

void taskView(Host& h) { h.ShowTasks(h.dueMode(), h.curDate()); }

Action lookup(records::Lookup list)
{
    return [list](Host& h) { h.showLookupList(list, nullptr, false); };
}

// The main window refreshes its view when the list closes.
Action lookupFromMain(records::Lookup list, bool fromFormFirst)
{
    return [list, fromFormFirst](Host& h) { h.showLookupList(list, h.owner(), fromFormFirst); };
}

// The add items that write the editor's mode before the panel is shown.
template <class F>
Action addAfterGroups(Proc builder, Proc viewProc, editing::Mode F::*var, bool modal)
{
    return [builder, viewProc, var, modal](Host& h) {
        h.call(Proc::RemoveModeGroups);
        h.call(builder);
        F::instance().*var = editing::Mode::Add;
        h.ShowPanel("frameDataGrid");
        h.call(viewProc);
        h.ArrangePanels();
        if (modal)
            F::instance().Show(ui::vbModal, h.owner());
        else
            F::instance().Show(ui::vbModeless);
    };
}

const std::vector<std::pair<QString, Action>>& table()
{
    static const std::vector<std::pair<QString, Action>> t = {
        {"mnuDatabase", [](Host& h) { h.showSynchronize(); }},
        {"mnuFileExit", [](Host& h) { h.exitProgram(); }},
        {"mnuCalendarToday",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildCalendarGroups);
             h.ShowPanel("frameDate");
             h.ChangeDate(now());
             h.ArrangePanels();
         }},
        {"mnuCalendarMonth",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildCalendarGroups);
             h.ShowPanel("frameMonth");
             h.ChangeCalendar(h.curDate());
             h.ArrangePanels();
         }},
        {"mnuCalendarAddAppt",
         [](Host& h) {
             frmAddAppt::instance().curApptDate = now();
             frmAddAppt::instance().Show(ui::vbModal, h.owner());
             h.call(Proc::RemoveModeGroups);
             if (h.curDataMode() != views::DataMode::Month) {
                 h.ShowPanel("frameDate");
                 h.ChangeDate(now());
             } else {
                 h.ShowPanel("frameMonth");
                 h.ChangeCalendar(now());
                 h.setModeCaption("Month Calendar");
             }
             h.call(Proc::BuildCalendarGroups);
             h.ArrangePanels();
         }},
        {"mnuTaskAutoadd", [](Host& h) { frmWizAddTask::instance().Show(ui::vbModal, h.owner()); }},
        {"mnuTasksView", switchTo(Proc::BuildTaskGroup, taskView)},
        {"mnuTaskAdd",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildTaskGroup);
             h.ShowPanel("frameDataGrid");
             taskView(h);
             // A new task: never the task an earlier double-click opened.
             frmEventTasks::instance().curMode = frmEventTasks::Mode::Add;
             frmEventTasks::instance().Show(ui::vbModal, h.owner());
             h.ArrangePanels();
         }},
        {"mnuTaskDelete",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildTaskGroup);
             h.ShowPanel("frameDataGrid");
             RunRowCommand(h, "DeleteTask");
             taskView(h);
             h.ArrangePanels();
         }},
        {"mnuPriorityText", lookup(records::Lookup::Priority)},
        {"mnuEventsView", switchTo(Proc::BuildEventGroup, proc(Proc::ShowEvents))},
        {"mnuEventsAdd",
         [](Host& h) {
             switchTo(Proc::BuildEventGroup, proc(Proc::ShowEvents))(h);
             frmEventInfo::instance().curEvent = 0;
             frmEventInfo::instance().Show(ui::vbModeless);
         }},
        {"mnuEventsModify", switchTo(Proc::BuildEventGroup, proc(Proc::ShowEvents), "ModifyEvent")},
        {"mnuEventDelete", switchTo(Proc::BuildEventGroup, proc(Proc::ShowEvents), "DeleteEvent")},
        {"mnuEditTypicalEvents", lookupFromMain(records::Lookup::Event, true)},
        // The RSVP view, which has no menu of its own: the event chooser is
        // filled before the view, as from the bar.
        {"mnuRSVPView", switchTo(Proc::BuildRSVPGroup,
                                 [](Host& h) {
                                     h.call(Proc::FillEventCombo);
                                     h.call(Proc::ShowRSVP);
                                 })},
        {"mnuRSVPTypes", lookup(records::Lookup::RSVP)},
        {"mnuGuestsView", switchTo(Proc::BuildGuestGroup, proc(Proc::ShowPeople))},
        {"mnuGuestsAdd",
         [](Host& h) {
             switchTo(Proc::BuildGuestGroup, proc(Proc::ShowPeople))(h);
             frmGuestDetail::instance().curMode = frmGuestDetail::Mode::New;
             frmGuestDetail::instance().Show(ui::vbModeless);
         }},
        {"mnuGuestModify", switchTo(Proc::BuildGuestGroup, proc(Proc::ShowPeople), "ModifyGuest")},
        {"mnuGuestDelete", switchTo(Proc::BuildGuestGroup, proc(Proc::ShowPeople), "DeleteGuest")},
        {"mnuEditTitles", lookup(records::Lookup::Titles)},
        {"mnuEditRelationships", lookup(records::Lookup::GuestTypes)},
        {"mnuImportData", [](Host& h) { frmImportData::instance().Show(ui::vbModal, h.owner()); }},
        {"mnuFileExport", [](Host& h) { frmExportData::instance().Show(ui::vbModal, h.owner()); }},
        {"mnuVendorsView", switchTo(Proc::BuildVendorGroup, proc(Proc::ShowVendors))},
        {"mnuVendorAdd",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildVendorGroup);
             h.call(Proc::ShowVendors);
             frmVendor::instance().curMode = frmVendor::Mode::Add;
             h.ShowPanel("frameDataGrid");
             h.ArrangePanels();
             frmVendor::instance().Show(ui::vbModal, h.owner());
         }},
        {"mnuVendorModify", switchTo(Proc::BuildVendorGroup, proc(Proc::ShowVendors), "ModifyVendor")},
        {"mnuVendorDelete", switchTo(Proc::BuildVendorGroup, proc(Proc::ShowVendors), "DeleteVendor")},
        {"mnuEditVendorTypes", lookup(records::Lookup::VendorTypes)},
        {"mnuViewQuotes", switchTo(Proc::BuildVendorGroup, proc(Proc::ShowQuotes))},
        {"mnuQuoteAdd",
         [](Host& h) {
             switchTo(Proc::BuildVendorGroup, proc(Proc::ShowQuotes))(h);
             frmQuote::instance().curMode = frmQuote::Mode::Add;
             frmQuote::instance().Show(ui::vbModal, h.owner());
         }},
        {"mnuQuoteModify", switchTo(Proc::BuildVendorGroup, proc(Proc::ShowQuotes), "ModifyQuote")},
        {"mnuQuoteDelete", switchTo(Proc::BuildVendorGroup, proc(Proc::ShowQuotes), "DeleteQuote")},
        {"mnuExpenseView", switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowExpenses))},
        {"mnuExpenseAdd",
         [](Host& h) {
             switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowExpenses))(h);
             frmAddExpense::instance().curBudgetID = 0;
             frmAddExpense::instance().curMode = frmAddExpense::Mode::New;
             frmAddExpense::instance().Show(ui::vbModeless);
         }},
        {"mnuExpenseModify",
         [](Host& h) {
             const qlonglong id = GetSelectedID(h);
             if (h.SelectedRowKind() != "Row" || h.curDataMode() != views::DataMode::Expenses) {
                 ui::MsgBox("Please select the Expense to modify first.", ui::vbOKOnly);
                 return;
             }
             if (id == 0)
                 return;
             frmAddExpense::instance().curMode = frmAddExpense::Mode::Edit;
             frmAddExpense::instance().curBudgetID = id;
             frmAddExpense::instance().Show(ui::vbModeless);
         }},
        {"mnuExpenseDelete", switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowExpenses), "DeleteExpense")},
        {"mnuBudgetView", switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowBudget))},
        {"mnuBudgetWizard",
         [](Host& h) {
             switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowBudget))(h);
             frmAutoBudget::instance().budgetAmt = 0;  // only the planning wizard hands one over
             frmAutoBudget::instance().Show(ui::vbModal, h.owner());
         }},
        {"mnuBudgetAdd", addAfterGroups<frmAddBudget>(Proc::BuildBudgetGroup, Proc::ShowBudget, &frmAddBudget::curMode, true)},
        {"mnuBudgetModify", switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowBudget), "ModifyBudget")},
        {"mnuBudgetDelete", switchTo(Proc::BuildBudgetGroup, proc(Proc::ShowBudget), "DeleteBudget")},
        {"mnuTurnBudgetIntoExpense", [](Host& h) { RunRowCommand(h, "TurnBudgetIntoExpense"); }},
        {"mnuEditExpenseCategories", lookupFromMain(records::Lookup::BudgetCategory, false)},
        {"mnuEditPayees", lookup(records::Lookup::Assignee)},
        {"mnuAttireView", switchTo(Proc::BuildAttireGroup, proc(Proc::ShowAttire))},
        {"mnuAttireAdd", addAfterGroups<frmAttire>(Proc::BuildAttireGroup, Proc::ShowAttire, &frmAttire::curMode, true)},
        {"mnuAttireModify", switchTo(Proc::BuildAttireGroup, proc(Proc::ShowAttire), "ModifyAttire")},
        {"mnuAttireDelete", switchTo(Proc::BuildAttireGroup, proc(Proc::ShowAttire), "DeleteAttire")},
        {"mnuMeasureFemale", switchTo(Proc::BuildAttireGroup, proc(Proc::ShowMeasurementsFemale))},
        {"mnuMeasureMale", switchTo(Proc::BuildAttireGroup, proc(Proc::ShowMeasurementsMale))},
        {"mnuMeasureAddFemale", addAfterGroups<frmMeasureFemale>(Proc::BuildAttireGroup, Proc::ShowMeasurementsFemale,
                                                                 &frmMeasureFemale::curMode, true)},
        {"mnuMeasureMaleAdd", addAfterGroups<frmMeasureMale>(Proc::BuildAttireGroup, Proc::ShowMeasurementsMale,
                                                             &frmMeasureMale::curMode, true)},
        {"mnuMeasureModify",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildAttireGroup);
             RunRowCommand(h, "ModifyMeasurement");
             h.ShowPanel("frameDataGrid");
             const bool female = h.curDataMode() == views::DataMode::FemaleMeasurement;
             h.call(female ? Proc::ShowMeasurementsFemale : Proc::ShowMeasurementsMale);
             h.ArrangePanels();
         }},
        {"mnuMeasureDelete",
         [](Host& h) {
             h.call(Proc::RemoveModeGroups);
             h.call(Proc::BuildAttireGroup);
             h.ShowPanel("frameDataGrid");
             RunRowCommand(h, "DeleteMeasurement");
             h.ArrangePanels();
         }},
        {"mnuGiftsView", switchTo(Proc::BuildGiftGroup, proc(Proc::ShowGifts))},
        {"mnuGiftAdd", addAfterGroups<frmGift>(Proc::BuildGiftGroup, Proc::ShowGifts, &frmGift::giftMode, false)},
        {"mnuGiftModify", switchTo(Proc::BuildGiftGroup, proc(Proc::ShowGifts), "ModifyGift")},
        {"mnuGiftDelete", switchTo(Proc::BuildGiftGroup, proc(Proc::ShowGifts), "DeleteGift")},
        {"mnuStoreAdd", lookupFromMain(records::Lookup::Stores, false)},
        {"mnuRegistryView", switchTo(Proc::BuildGiftGroup, proc(Proc::ShowRegistry))},
        {"mnuRegistryAdd",
         addAfterGroups<frmRegistry>(Proc::BuildGiftGroup, Proc::ShowRegistry, &frmRegistry::registryMode, false)},
        {"mnuRegistryModify", switchTo(Proc::BuildGiftGroup, proc(Proc::ShowRegistry), "ModifyRegistry")},
        {"mnuRegistryDelete", switchTo(Proc::BuildGiftGroup, proc(Proc::ShowRegistry), "DeleteRegistry")},
        {"mnuRegistryModifyStore", lookupFromMain(records::Lookup::Stores, false)},
        {"mnuRegistryModifyCategory", lookupFromMain(records::Lookup::Category, false)},
        {"mnuHelpContents", [](Host& h) { h.showHelpContents(); }},
        {"mnuTOD", [](Host& h) { h.showTip(); }},
        {"mnuWizard", [](Host& h) { h.showWizard(); }},
        {"mnuHelpAbout", [](Host& h) { h.showAbout(); }},
        {"mnuOnlineHelp", [](Host& h) { h.showWebHelp(); }},
    };
    return t;
}

}  // namespace

bool MenuClick(Host& host, const QString& itemName)
{
    for (const auto& [name, action] : table())
        if (name == itemName) {
            action(host);
            return true;
        }
    return false;
}

void OptionClick(Host& host, const QString& optionName)
{
    using views::TaskFilter;
    static const std::vector<std::pair<QString, TaskFilter>> words = {
        {"optAllTasks", TaskFilter::All}, {"optCompleteTasks", TaskFilter::Complete}, {"optDueTasks", TaskFilter::Due},
        {"optIncompleteTasks", TaskFilter::Incomplete}};
    for (const auto& [name, word] : words)
        if (name == optionName)
            host.ShowTasks(word, host.curDate());
}

}  // namespace commands
