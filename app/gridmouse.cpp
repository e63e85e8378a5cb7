#include "app/gridmouse.h"

#include "app/editors.h"
#include "platform/ado/ado.h"
#include "platform/ado/ignoring.h"
#include "records/modQVDatabase.h"

namespace gridmouse {

QString popupMenuFor(views::DataMode v, int column)
{
    using views::DataMode;
    if (views::isTaskMode(v)) {
        switch (column) {
        case 5: return "mnuWhoPays";
        case 6: return "mnuPriority";
        case 7: return "mnuTypicalEvents";
        default: return "mnuTasks";
        }
    }
    if (v == DataMode::Events)
        return "mnuEvents";
    if (v == DataMode::Guests)
        return column == 6 ? "mnuTitles" : column == 7 ? "mnuRelationships" : "mnuGuests";
    if (v == DataMode::Addresses)
        return "mnuGuests";
    if (v == DataMode::Vendors)
        return column == 6 ? "mnuVendorTypes" : "mnuVendors";
    if (v == DataMode::Gifts)
        return column == 3 ? "mnuStore" : "mnuGifts";
    if (v == DataMode::Registry)
        return column == 3 || column == 4 ? "mnuRegistryMod" : "mnuRegistry";
    if (v == DataMode::Quotes)
        return "mnuQuotes";
    if (v == DataMode::Budget) {
        switch (column) {
        case 6: return "mnuWhoPays";
        case 4: return "mnuTypicalEvents";
        case 3: return "mnuExpenseCategories";
        default: return "mnuBudget";
        }
    }
    if (v == DataMode::Expenses)
        return "mnuExpenses";
    if (v == DataMode::RSVP)
        return column == 6 ? "mnuRSVP" : "";
    return "";
}

QString dayTaskPopupFor(const QString& caption)
{
    if (caption == "Assignment")
        return "mnuWhoPays";
    if (caption == "Priority")
        return "mnuPriority";
    if (caption == "Event")
        return "mnuTypicalEvents";
    return "";
}

QString doubleClickCommand(views::MainMode m)
{
    using views::MainMode;
    static const std::vector<std::pair<MainMode, QString>> t = {
        {MainMode::Tasks, "EditTask"},         {MainMode::Events, "ModifyEvent"},
        {MainMode::Guests, "ModifyGuest"},     {MainMode::RSVP, ""},
        {MainMode::Measure, "ModifyMeasurement"}, {MainMode::Vendors, "ModifyVendor"},
        {MainMode::Budget, "ModifyBudget"},    {MainMode::Expenses, "ModifyExpense"},
        {MainMode::Gifts, "ModifyGift"},       {MainMode::Quotes, "ModifyQuote"},
        {MainMode::Registry, "ModifyRegistry"}, {MainMode::Attire, "ModifyAttire"},
    };
    for (const auto& [mode, cmd] : t)
        if (mode == m)
            return cmd;
    return "";
}

bool refusesMenu(int hitArea) { return hitArea >= 1 && hitArea <= 3; }

void GridEX1_DblClick(commands::Host& host)
{
    const QString cmd = doubleClickCommand(host.curMainMode());
    if (cmd.isEmpty())
        return;
    if (cmd == "EditTask") {
        const qlonglong id = commands::GetSelectedID(host);
        // Without a task under the pointer there is nothing to edit.
        if (id == 0)
            return;
        auto& f = frmEventTasks::instance();
        f.curMode = frmEventTasks::Mode::Edit;
        f.curTaskID = id;
        f.Show(ui::vbModal, host.owner());
        return;
    }
    commands::RunRowCommand(host, cmd);
}

void GridEX1_MouseDown(commands::Host& host, int button, int hitArea, int row, int column)
{
    if (button != 2 || refusesMenu(hitArea))
        return;
    const QString menu = popupMenuFor(host.curDataMode(), column);
    if (menu.isEmpty())
        return;
    // The menu's commands act on the row that was clicked.
    if (row > 0 && row != host.currentRow())
        host.setCurrentRow(row);
    host.popupMenu(menu);
}

void gridTasksDate_MouseUp(commands::Host& host, int button, int hitArea, const QString& columnCaption)
{
    if (button != 2 || refusesMenu(hitArea))
        return;
    const QString menu = dayTaskPopupFor(columnCaption);
    if (!menu.isEmpty())
        host.popupMenu(menu);
}

void GridEX1_SelectionChange(commands::Host& host)
{
    if (host.curDataMode() != views::DataMode::RSVP)
        return;
    host.clearColumnValueList(kFoodColumn);
    const qlonglong id = commands::GetSelectedID(host);
    try {
        auto ddFoodRS = ado::Recordset::create();
        ddFoodRS->Open("SELECT EVENT_FOOD_TEXT FROM EVENT_FOOD WHERE EVENT_ID = ?", modQVDatabase::gConn,
                       ado::adOpenKeyset, ado::adLockOptimistic, {id});
        for (; !ddFoodRS->EOF_(); ddFoodRS->MoveNext()) {
            const QString text = ddFoodRS->value("EVENT_FOOD_TEXT").toString();
            host.addColumnValueListItem(kFoodColumn, text, text);
        }
        ddFoodRS->Close();
    } catch (const ado::Error&) {
        ado::logIgnoredError();  // the list stays empty
    }
}

}  // namespace gridmouse
