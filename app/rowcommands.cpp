// The modify and delete commands on the main grid's current row.

#include "app/commands.h"
#include "app/editors.h"
#include "platform/ado/ado.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"

#include <functional>
#include <map>

namespace commands {

namespace {

using records::DeleteKind;
using views::DataMode;

// A cell as the user reads it (an amount handed to an editor's box, too).
QString cellText(Host& h, int column)
{
    return regional::shownText(h.value(h.currentRow(), column));
}

bool isNullCell(Host& h, int column)
{
    const QVariant v = h.value(h.currentRow(), column);
    return !v.isValid() || v.isNull();
}

void say(const QString& text) { ui::MsgBox(text, ui::vbOKOnly); }

template <class F>
void modal(Host& h, F& form)
{
    form.Show(ui::vbModal, h.owner());
}

template <class F>
void modeless(F& form)
{
    form.Show(ui::vbModeless);
}

// The common course: the view test first (message when it fails), then a key
// of 0 stops silently, then the target.
bool checked(Host&, qlonglong id, bool ok, const char* message)
{
    if (!ok) {
        say(message);
        return false;
    }
    return id != 0;
}

bool rowIn(Host& h, DataMode view) { return h.SelectedRowKind() == "Row" && h.curDataMode() == view; }

void ModifyEvent(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Events), "Please select the Event to modify first."))
        return;
    auto& f = frmEventInfo::instance();
    f.curMode = frmEventInfo::Mode::Edit;
    f.curEvent = id;
    modeless(f);
}

void DeleteEvent(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (checked(h, id, rowIn(h, DataMode::Events), "Please select the Event to delete first."))
        h.showDelete(DeleteKind::Event, id, cellText(h, 2), ui::vbModal);
    // The RSVP event chooser is refilled whatever happened.
    h.call(Proc::FillEventCombo);
}

void ModifyGuest(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, h.curDataMode() == DataMode::Guests, "Please select the Guest to modify first."))
        return;
    auto& f = frmGuestDetail::instance();
    f.curMode = frmGuestDetail::Mode::Edit;
    f.curRec = id;
    modeless(f);
}

void DeleteGuest(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    const DataMode view = h.curDataMode();
    const bool shown = view == DataMode::Guests || view == DataMode::Addresses;
    if (!checked(h, id, shown, "Please select the Guest to delete first."))
        return;
    if (view == DataMode::Addresses) {
        h.showDelete(DeleteKind::Guests, id, cellText(h, 2), ui::vbModal);
    } else if (h.SelectedRowKind() == "Group") {
        // The party's key comes from the first person under the header; its
        // name is the one shown on the header.
        h.showDelete(DeleteKind::Guests, id, cellText(h, 3), ui::vbModal);
    } else {
        const qlonglong person = h.value(h.currentRow(), 2).toLongLong();
        h.showDelete(DeleteKind::SubguestFromMain, person, cellText(h, 4) + " " + cellText(h, 5), ui::vbModal);
    }
}

void DeleteTask(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    const bool ok = h.SelectedRowKind() == "Row" && views::isTaskMode(h.curDataMode());
    if (checked(h, id, ok, "Please select Task to delete first."))
        h.showDelete(DeleteKind::Task, id, cellText(h, 3), ui::vbModeless);
}

// A delete of one record named by one column of its row.
void deleteBy(Host& h, DataMode view, const char* message, DeleteKind kind, int nameColumn)
{
    const qlonglong id = GetSelectedID(h);
    if (checked(h, id, rowIn(h, view), message))
        h.showDelete(kind, id, cellText(h, nameColumn), ui::vbModal);
}

void ModifyVendor(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Vendors), "Please select the Vendor to modify first."))
        return;
    auto& f = frmVendor::instance();
    f.curMode = frmVendor::Mode::Edit;
    f.vendorID = id;
    modal(h, f);
}

void ModifyQuote(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Quotes), "Please select the Quote item to modify first."))
        return;
    auto& f = frmQuote::instance();
    f.curMode = frmQuote::Mode::Edit;
    f.curQuote = id;
    modal(h, f);
}

void ModifyBudget(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Budget), "Please select the Budget item to modify first."))
        return;
    auto& f = frmAddBudget::instance();
    f.curMode = frmAddBudget::Mode::Edit;
    f.curBudgetID = id;
    modal(h, f);
}

void TurnBudgetIntoExpense(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Budget), "Please select the Budget item to turn into an Expense first."))
        return;
    auto& f = frmAddExpense::instance();
    f.curMode = frmAddExpense::Mode::Budget;
    // An empty cell gives an empty text: a value left from an earlier item
    // must not travel into this one.
    f.exExpenseText = isNullCell(h, 2) ? QString("") : cellText(h, 2);
    f.exExpenseAmtDue = isNullCell(h, 5) ? QString("") : cellText(h, 5);
    f.exExpenseEvent = isNullCell(h, 4) ? QString("") : cellText(h, 4);
    f.exExpenseWhoPays = isNullCell(h, 6) ? QString("") : cellText(h, 6);
    modal(h, f);
}

void ModifyExpense(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Expenses), "Please select the Expense item to modify first."))
        return;
    auto& f = frmAddExpense::instance();
    f.curMode = frmAddExpense::Mode::Edit;
    f.curBudgetID = id;
    modal(h, f);
}

void ModifyAttire(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Attire), "Please select the Attire item to modify first."))
        return;
    auto& f = frmAttire::instance();
    f.curMode = frmAttire::Mode::Edit;
    f.curAttireID = id;
    modal(h, f);
}

void DeleteAttire(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (checked(h, id, rowIn(h, DataMode::Attire), "Please select the Attire to delete first."))
        h.showDelete(DeleteKind::Attire, id, cellText(h, 3) + " for " + cellText(h, 2), ui::vbModal);
}

void ModifyGift(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Gifts), "Please select the Gift to modify first."))
        return;
    auto& f = frmGift::instance();
    f.giftMode = frmGift::Mode::Edit;
    f.giftID = id;
    modeless(f);
}

void ModifyRegistry(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!checked(h, id, rowIn(h, DataMode::Registry), "Please select the Registry gift to modify first."))
        return;
    auto& f = frmRegistry::instance();
    f.registryMode = frmRegistry::Mode::Edit;
    f.registryID = id;
    modeless(f);
}

bool inMeasurement(Host& h)
{
    const DataMode v = h.curDataMode();
    return h.SelectedRowKind() == "Row" && (v == DataMode::FemaleMeasurement || v == DataMode::MaleMeasurement);
}

void ModifyMeasurement(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (!inMeasurement(h) || id == 0) {
        say("Please select the Measurement to modify first.");
        return;
    }
    if (h.curDataMode() == DataMode::FemaleMeasurement) {
        auto& f = frmMeasureFemale::instance();
        f.curMode = frmMeasureFemale::Mode::Edit;
        f.curRec = id;
        modeless(f);
    } else {
        auto& f = frmMeasureMale::instance();
        f.curMode = frmMeasureMale::Mode::Edit;
        f.curRec = id;
        modeless(f);
    }
}

void DeleteMeasurement(Host& h)
{
    const qlonglong id = GetSelectedID(h);
    if (checked(h, id, inMeasurement(h), "Please select Measurement to delete first."))
        h.showDelete(h.curDataMode() == DataMode::FemaleMeasurement ? DeleteKind::FemaleMeasurement
                                                                    : DeleteKind::MaleMeasurement,
                     id, cellText(h, 2), ui::vbModal);
}

using Command = std::function<void(Host&)>;

const std::vector<std::pair<QString, Command>>& table()
{
    static const std::vector<std::pair<QString, Command>> t = {
        {"ModifyEvent", ModifyEvent},
        {"DeleteEvent", DeleteEvent},
        {"ModifyGuest", ModifyGuest},
        {"DeleteGuest", DeleteGuest},
        {"DeleteTask", DeleteTask},
        {"ModifyVendor", ModifyVendor},
        {"DeleteVendor",
         [](Host& h) { deleteBy(h, DataMode::Vendors, "Please select the Vendor to delete first.", DeleteKind::Vendor, 2); }},
        {"ModifyQuote", ModifyQuote},
        {"DeleteQuote",
         [](Host& h) { deleteBy(h, DataMode::Quotes, "Please select Quote to delete first.", DeleteKind::Quote, 2); }},
        {"ModifyBudget", ModifyBudget},
        {"DeleteBudget",
         [](Host& h) { deleteBy(h, DataMode::Budget, "Please select the Budget item to delete first.", DeleteKind::Budget, 2); }},
        {"TurnBudgetIntoExpense", TurnBudgetIntoExpense},
        {"ModifyExpense", ModifyExpense},
        {"DeleteExpense",
         [](Host& h) {
             deleteBy(h, DataMode::Expenses, "Please select the Expense item to delete first.", DeleteKind::Expense, 2);
         }},
        {"ModifyAttire", ModifyAttire},
        {"DeleteAttire", DeleteAttire},
        {"ModifyGift", ModifyGift},
        {"DeleteGift",
         [](Host& h) { deleteBy(h, DataMode::Gifts, "Please select the Gift to delete first.", DeleteKind::Gift, 2); }},
        {"ModifyRegistry", ModifyRegistry},
        {"DeleteRegistry",
         [](Host& h) {
             deleteBy(h, DataMode::Registry, "Please select the Registry Gift to delete first.", DeleteKind::Registry, 2);
         }},
        {"ModifyMeasurement", ModifyMeasurement},
        {"DeleteMeasurement", DeleteMeasurement},
    };
    return t;
}

}  // namespace

qlonglong GetSelectedID(Host& h)
{
    h.setSelectedRowKind("Row");
    int row = h.currentRow();
    if (row <= 0)
        return 0;
    if (!h.isRecordRow(row)) {
        // A group header: the key is that of the first record under it.
        h.expandGroupRow();
        row = h.currentRow() + 1;
        h.setSelectedRowKind("Group");
    }
    if (!h.isRecordRow(row))
        return 0;
    bool ok = false;
    const qlonglong id = h.value(row, 1).toLongLong(&ok);
    return ok ? id : 0;
}

bool RunRowCommand(Host& host, const QString& command)
{
    for (const auto& [name, fn] : table())
        if (name == command) {
            fn(host);
            return true;
        }
    return false;
}

QStringList rowCommandNames()
{
    QStringList names;
    for (const auto& entry : table())
        names << entry.first;
    return names;
}

}  // namespace commands
