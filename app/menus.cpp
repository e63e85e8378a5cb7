#include "app/menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace menus {

namespace {

Item sub(const QString& name, const QString& caption, QList<Item> items) { return {name, caption, std::move(items)}; }

void addItems(QMenu* menu, const QList<Item>& items, const std::function<void(const QString&)>& onClick)
{
    for (const Item& it : items) {
        if (!it.items.isEmpty()) {
            QMenu* m = menu->addMenu(it.caption);
            m->setObjectName(it.name);
            m->menuAction()->setObjectName(it.name + "_header");
            addItems(m, it.items, onClick);
            continue;
        }
        QAction* a = menu->addAction(it.caption);
        a->setObjectName(it.name);
        if (it.name == "mnuHelpContents")
            a->setShortcut(QKeySequence(Qt::Key_F1));
        const QString name = it.name;
        QObject::connect(a, &QAction::triggered, menu, [onClick, name] {
            if (onClick)
                onClick(name);
        });
    }
}

}  // namespace

const QList<Item>& menuTree()
{
    static const QList<Item> tree = {
        sub("mnuFile", "&File", {{"mnuDatabase", "&Database"}, {"mnuFileExit", "E&xit"}}),
        sub("mnuCalendar", "&Calendar",
            {{"mnuCalendarToday", "&Today"}, {"mnuCalendarMonth", "&Month"}, {"mnuCalendarAddAppt", "&Add Appointment"}}),
        sub("mnuTasks", "&Tasks",
            {{"mnuTaskAutoadd", "&Autoadd"},
             {"mnuTasksView", "&View Tasks"},
             {"mnuTaskAdd", "&Add Task"},
             {"mnuTaskDelete", "&Delete Task"},
             sub("mnuPriority", "&Priority Texts", {{"mnuPriorityText", "&Edit Priority Texts"}})}),
        sub("mnuEvents", "&Events",
            {{"mnuEventsView", "&View Events"},
             {"mnuEventsAdd", "&Add Event"},
             {"mnuEventsModify", "&Modify Event"},
             {"mnuEventDelete", "&Delete Event"},
             sub("mnuTypicalEvents", "&Typical Events", {{"mnuEditTypicalEvents", "&Edit Typical Events"}}),
             sub("mnuRSVP", "&RSVP Status",
                 {{"mnuRSVPView", "&View RSVP Status"}, {"mnuRSVPTypes", "&Edit RSVP Types"}})}),
        sub("mnuGuests", "&Guests",
            {{"mnuGuestsView", "&View Guests"},
             {"mnuGuestsAdd", "&Add Guest"},
             {"mnuGuestModify", "&Modify Guest"},
             {"mnuGuestDelete", "&Delete Guest"},
             sub("mnuTitles", "&Titles", {{"mnuEditTitles", "Edit &Title Types"}}),
             sub("mnuRelationships", "&Relationships", {{"mnuEditRelationships", "Edt &Relationship Types"}}),
             {"mnuImportData", "&Import Guest Data"},
             {"mnuFileExport", "&Export Guest Data"}}),
        sub("mnuVendors", "&Vendors",
            {{"mnuVendorsView", "&View Vendors"},
             {"mnuVendorAdd", "&Add Vendor"},
             {"mnuVendorModify", "&Modify Vendor"},
             {"mnuVendorDelete", "&Delete Vendor"},
             sub("mnuVendorTypes", "&Vendor Types", {{"mnuEditVendorTypes", "&Edit Vendor Types"}})}),
        sub("mnuQuotes", "&Quotes",
            {{"mnuViewQuotes", "&View Quotes"},
             {"mnuQuoteAdd", "&Add Quote"},
             {"mnuQuoteModify", "&Modify Quote"},
             {"mnuQuoteDelete", "&Delete Quote"}}),
        sub("mnuExpenses", "&Expenses",
            {{"mnuExpenseView", "&View Expenses"},
             {"mnuExpenseAdd", "&Add Expense"},
             {"mnuExpenseModify", "&Modify Expense"},
             {"mnuExpenseDelete", "&Delete Expense"}}),
        sub("mnuBudget", "&Budget",
            {{"mnuBudgetView", "&View Budget"},
             {"mnuBudgetWizard", "Budget &Wizard"},
             {"mnuBudgetAdd", "&Add Budget"},
             {"mnuBudgetModify", "&Modify Budget"},
             {"mnuBudgetDelete", "&Delete Budget"},
             {"mnuTurnBudgetIntoExpense", "&Turn into Expense"},
             sub("mnuExpenseCategories", "&Categories of Expenses",
                 {{"mnuEditExpenseCategories", "&Edit Expense Categories"}}),
             sub("mnuWhoPays", "&Who Pays?", {{"mnuEditPayees", "&Edit Typical People"}})}),
        sub("mnuAttire", "&Attire",
            {{"mnuAttireView", "&View Attire"},
             {"mnuAttireAdd", "&Add Attire"},
             {"mnuAttireModify", "&Modify Attire"},
             {"mnuAttireDelete", "&Delete Attire"}}),
        sub("mnuMeasurements", "&Measurements",
            {{"mnuMeasureFemale", "&Female Measurements"},
             {"mnuMeasureMale", "&Male Measurements"},
             {"mnuMeasureAddFemale", "Add Female Measurement"},
             {"mnuMeasureMaleAdd", "Add Male Measurement"},
             {"mnuMeasureModify", "Modify Measurement"},
             {"mnuMeasureDelete", "&Delete Measurement"}}),
        sub("mnuGifts", "&Gifts",
            {{"mnuGiftsView", "&View Gifts"},
             {"mnuGiftAdd", "&Add Gift"},
             {"mnuGiftModify", "&Modify Gift"},
             {"mnuGiftDelete", "&Delete Gift"},
             sub("mnuStore", "&Store", {{"mnuStoreAdd", "&Modify Stores"}})}),
        sub("mnuRegistry", "&Registry",
            {{"mnuRegistryView", "&View Registry"},
             {"mnuRegistryAdd", "&Add Registry Gift"},
             {"mnuRegistryModify", "&Modify Registry Gift"},
             {"mnuRegistryDelete", "&Delete Registry Gift"},
             sub("mnuRegistryMod", "&Modify",
                 {{"mnuRegistryModifyStore", "Modify &Store"}, {"mnuRegistryModifyCategory", "Modify &Category"}})}),
        sub("mnuHelp", "&Help",
            {{"mnuHelpContents", "&Contents"},
             {"mnuTOD", "&Tip of the Day"},
             {"mnuWizard", "Planning &Wizard"},
             {"mnuHelpAbout", "&About"},
             {"mnuOnlineHelp", "Help on the &Web"}}),
    };
    return tree;
}

void buildMenuBar(QMenuBar* bar, const std::function<void(const QString&)>& onClick)
{
    for (const Item& m : menuTree()) {
        QMenu* menu = bar->addMenu(m.caption);
        menu->setObjectName(m.name);
        menu->menuAction()->setObjectName(m.name + "_header");
        addItems(menu, m.items, onClick);
    }
}

QMenu* findMenu(QWidget* window, const QString& name)
{
    return window ? window->findChild<QMenu*>(name) : nullptr;
}

}  // namespace menus
