#include "app/commands_host.h"
#include "app/menus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

using testsupport::CommandsTest;

namespace {

QStringList leaves(const QList<menus::Item>& items)
{
    QStringList out;
    for (const auto& it : items)
        out << (it.items.isEmpty() ? QStringList{it.name} : leaves(it.items));
    return out;
}

}  // namespace

TEST(MenuTree, TheBuiltBarNamesEveryMenuAndItemAndReportsClicks)
{
    QMainWindow w;
    QStringList clicked;
    menus::buildMenuBar(w.menuBar(), [&](const QString& n) { clicked << n; });
    EXPECT_EQ(w.menuBar()->actions().size(), 14);
    for (const QString sub : {"mnuPriority", "mnuTypicalEvents", "mnuRSVP", "mnuTitles", "mnuRelationships",
                              "mnuVendorTypes", "mnuExpenseCategories", "mnuWhoPays", "mnuStore", "mnuRegistryMod",
                              "mnuTasks", "mnuGuests", "mnuHelp"})
        EXPECT_NE(menus::findMenu(&w, sub), nullptr) << sub.toStdString();
    const QStringList items = leaves(menus::menuTree());
    for (const QString& name : items) {
        auto* a = w.findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name.toStdString();
        EXPECT_TRUE(a->isEnabled() && a->isVisible());
        EXPECT_EQ(a->shortcut().isEmpty(), name != "mnuHelpContents") << name.toStdString();
        a->trigger();
    }
    EXPECT_EQ(clicked, items);
    EXPECT_EQ(w.findChild<QAction*>("mnuHelpContents")->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(CommandsTest, EveryMenuItemHasItsActionAndNoSubmenuHeaderHasOne)
{
    host.dataMode = "Month";
    for (const QString& name : leaves(menus::menuTree()))
        EXPECT_TRUE(commands::MenuClick(host, name)) << name.toStdString();
    for (const QString header : {"mnuPriority", "mnuWhoPays", "mnuFile", "mnuRegistryMod"})
        EXPECT_FALSE(commands::MenuClick(host, header));
}

TEST_F(CommandsTest, MenuCommandsRunTheirStepsInOrder)
{
    struct Case {
        const char* item;
        const char* view;  // curDataMode before the click
        const char* steps;
    };
    const Case cases[] = {
        {"mnuCalendarToday", "Events",
         "RemoveModeGroups | BuildCalendarGroups | ShowPanel(frameDate) | ChangeDate | ArrangePanels"},
        {"mnuCalendarMonth", "Events",
         "RemoveModeGroups | BuildCalendarGroups | ShowPanel(frameMonth) | ChangeCalendar | ArrangePanels"},
        {"mnuCalendarAddAppt", "Today",
         "modal:frmAddAppt | RemoveModeGroups | ShowPanel(frameDate) | ChangeDate | BuildCalendarGroups | "
         "ArrangePanels"},
        {"mnuCalendarAddAppt", "Month",
         "modal:frmAddAppt | RemoveModeGroups | ShowPanel(frameMonth) | ChangeCalendar | lblMode=Month Calendar | "
         "BuildCalendarGroups | ArrangePanels"},
        {"mnuTasksView", "Events",
         "RemoveModeGroups | BuildTaskGroup | ShowPanel(frameDataGrid) | ShowTasks(Complete) | ArrangePanels"},
        {"mnuTaskAdd", "Events",
         "RemoveModeGroups | BuildTaskGroup | ShowPanel(frameDataGrid) | ShowTasks(Complete) | modal:frmEventTasks | "
         "ArrangePanels"},
        {"mnuTaskDelete", "AllTasks",
         "RemoveModeGroups | BuildTaskGroup | ShowPanel(frameDataGrid) | delete(Task,9,Pay deposit,modeless) | "
         "ShowTasks(Complete) | ArrangePanels"},
        {"mnuEventsModify", "Events",
         "RemoveModeGroups | BuildEventGroup | ShowPanel(frameDataGrid) | ShowEvents | ArrangePanels"},
        {"mnuEventDelete", "Events",
         "RemoveModeGroups | BuildEventGroup | delete(Event,9,Flowers,modal) | FillEventCombo | "
         "ShowPanel(frameDataGrid) | ShowEvents | ArrangePanels"},
        {"mnuEventsAdd", "Events",
         "RemoveModeGroups | BuildEventGroup | ShowPanel(frameDataGrid) | ShowEvents | ArrangePanels"},
        {"mnuVendorAdd", "Events",
         "RemoveModeGroups | BuildVendorGroup | ShowVendors | ShowPanel(frameDataGrid) | ArrangePanels | "
         "modal:frmVendor"},
        {"mnuQuoteAdd", "Events",
         "RemoveModeGroups | BuildVendorGroup | ShowPanel(frameDataGrid) | ShowQuotes | ArrangePanels | "
         "modal:frmQuote"},
        {"mnuBudgetAdd", "Events",
         "RemoveModeGroups | BuildBudgetGroup | ShowPanel(frameDataGrid) | ShowBudget | ArrangePanels | "
         "modal:frmAddBudget"},
        {"mnuBudgetWizard", "Events",
         "RemoveModeGroups | BuildBudgetGroup | ShowPanel(frameDataGrid) | ShowBudget | ArrangePanels | "
         "modal:frmAutoBudget"},
        {"mnuMeasureModify", "FemaleMeasurement",
         "RemoveModeGroups | BuildAttireGroup | ShowPanel(frameDataGrid) | ShowMeasurementsFemale | ArrangePanels"},
        {"mnuMeasureModify", "Gifts",
         "RemoveModeGroups | BuildAttireGroup | ShowPanel(frameDataGrid) | ShowMeasurementsMale | ArrangePanels"},
        {"mnuMeasureDelete", "MaleMeasurement",
         "RemoveModeGroups | BuildAttireGroup | ShowPanel(frameDataGrid) | delete(MaleMeasurement,9,Flowers,modal) | "
         "ArrangePanels"},
        {"mnuRSVPView", "Events",
         "RemoveModeGroups | BuildRSVPGroup | ShowPanel(frameDataGrid) | FillEventCombo | ShowRSVP | ArrangePanels"},
        {"mnuRegistryAdd", "Events",
         "RemoveModeGroups | BuildGiftGroup | ShowPanel(frameDataGrid) | ShowRegistry | ArrangePanels"},
        {"mnuImportData", "Events", "modal:frmImportData"},
        {"mnuTurnBudgetIntoExpense", "Budget", "modal:frmAddExpense"},
        {"mnuDatabase", "Events", "frmSynchronize"},
        {"mnuTOD", "Events", "frmTip"},
        {"mnuWizard", "Events", "frmWizard"},
        {"mnuHelpAbout", "Events", "frmAbout"},
        {"mnuHelpContents", "Events", "help"},
        {"mnuOnlineHelp", "Events", "webhelp"},
        {"mnuFileExit", "Events", "exit"},
        // The lookup lists: six keep their last caller, five name the main window.
        {"mnuPriorityText", "Events", "lookup(Priority,-)"},
        {"mnuRSVPTypes", "Events", "lookup(RSVP,-)"},
        {"mnuEditTitles", "Events", "lookup(Titles,-)"},
        {"mnuEditRelationships", "Events", "lookup(GuestTypes,-)"},
        {"mnuEditVendorTypes", "Events", "lookup(VendorTypes,-)"},
        {"mnuEditPayees", "Events", "lookup(Assignee,-)"},
        {"mnuEditTypicalEvents", "Events", "lookup(Event,Main,fromFirst)"},
        {"mnuEditExpenseCategories", "Events", "lookup(BudgetCategory,Main)"},
        {"mnuStoreAdd", "Events", "lookup(Stores,Main)"},
        {"mnuRegistryModifyStore", "Events", "lookup(Stores,Main)"},
        {"mnuRegistryModifyCategory", "Events", "lookup(Category,Main)"},
    };
    host.due = "Complete";
    for (const Case& c : cases) {
        host.show(c.view, {{true, {9, "Flowers", "Pay deposit", "", 10.0, "Bride"}}});
        commands::MenuClick(host, c.item);
        EXPECT_EQ(host.log.join(" | "), c.steps) << c.item << " in " << c.view;
        ui::FormBase::unloadAll();
    }
}

TEST_F(CommandsTest, MenuAddItemsWriteTheirVariables)
{
    frmEventTasks::instance().curMode = frmEventTasks::Mode::Edit;
    frmEventInfo::instance().curEvent = 5;
    frmAddExpense::instance().curBudgetID = 8;
    const QDateTime before = ado::convert::now();
    for (const QString item : {"mnuTaskAdd", "mnuEventsAdd", "mnuGuestsAdd", "mnuExpenseAdd", "mnuGiftAdd",
                               "mnuRegistryAdd", "mnuAttireAdd", "mnuMeasureAddFemale", "mnuMeasureMaleAdd",
                               "mnuCalendarAddAppt"})
        commands::MenuClick(host, item);
    EXPECT_EQ(frmEventTasks::instance().curMode, frmEventTasks::Mode::Add);
    EXPECT_EQ(frmEventInfo::instance().curEvent, count("SELECT MAX(EVENT_ID) FROM EVENT")) << "a new event, not 5";
    EXPECT_TRUE(frmEventInfo::instance().isLoaded());
    EXPECT_EQ(frmGuestDetail::instance().curMode, frmGuestDetail::Mode::New);
    EXPECT_EQ(frmAddExpense::instance().curMode, frmAddExpense::Mode::New);
    EXPECT_EQ(frmAddExpense::instance().curBudgetID, 0);
    EXPECT_TRUE(frmAddExpense::instance().isLoaded()) << "modeless from the menu";
    EXPECT_EQ(frmGift::instance().giftMode, frmGift::Mode::Add);
    EXPECT_EQ(frmRegistry::instance().registryMode, frmRegistry::Mode::Add);
    EXPECT_EQ(frmAttire::instance().curMode, frmAttire::Mode::Add);
    EXPECT_EQ(frmMeasureFemale::instance().curMode, frmMeasureFemale::Mode::Add);
    EXPECT_EQ(frmMeasureMale::instance().curMode, frmMeasureMale::Mode::Add);
    EXPECT_GE(frmAddAppt::instance().curApptDate, before.addSecs(-1)) << "the menu proposes now";
}

TEST_F(CommandsTest, MenuModifyExpenseNeedsAnExpenseRow)
{
    for (const QString view : {"Budget", "Expenses"}) {
        host.dataMode = view;
        host.rows = {{false, {}}, {true, {6, "Cake"}}};
        host.current = 1;  // a group header
        commands::MenuClick(host, "mnuExpenseModify");
    }
    EXPECT_EQ(messages.msgs->texts(),
              QStringList({"Please select the Expense to modify first.", "Please select the Expense to modify first."}));
    EXPECT_EQ(host.log, QStringList({"expandGroupRow", "expandGroupRow"})) << "no view changes";
    host.current = 2;
    records(6);
    commands::MenuClick(host, "mnuExpenseModify");
    EXPECT_EQ(frmAddExpense::instance().curMode, frmAddExpense::Mode::Edit);
    EXPECT_EQ(frmAddExpense::instance().curBudgetID, 6);
    EXPECT_TRUE(frmAddExpense::instance().isLoaded());
}

TEST_F(CommandsTest, TaskFilterButtonsShowTheirTasksAtCurDate)
{
    const QList<QPair<QString, QString>> cases = {{"optAllTasks", "ShowTasks(All)"},
                                                  {"optDueTasks", "ShowTasks(Due)"},
                                                  {"optCompleteTasks", "ShowTasks(Complete)"},
                                                  {"optIncompleteTasks", "ShowTasks(Incomplete)"}};
    for (const auto& [opt, steps] : cases) {
        host.log.clear();
        commands::OptionClick(host, opt);
        EXPECT_EQ(host.log, QStringList{steps});
        EXPECT_EQ(host.lastDate, host.date);
    }
}
