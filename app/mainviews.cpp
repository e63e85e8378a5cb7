// The category views of the main window. Each procedure hands its view's
// definition to the shared view routine, with the window's grids and members
// as the places to fill; and the window shows its views afresh when another
// window tells it that their records changed.

#include "app/frmMain.h"

#include "platform/ado/ignoring.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/notices.h"
#include "views/frmPreview.h"
#include "views/viewdefs.h"
#include "views/viewpattern.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include <memory>
#include <optional>
#include <vector>

using records::MainList;
using views::ViewDef;

namespace {

// The standard-event texts offered by the task and budget views. They are
// kept apart from ddEventRS, which the invitation and seating windows read
// as a list of events with EVENT_ID and EVENT_NAME.
ado::RecordsetPtr gStdEventRS;

// The window's recordsets by the names the views give them, and the list of
// records each view recordset holds.
struct Member {
    const char* name;
    ado::RecordsetPtr frmMain::*rs;
    std::optional<MainList> list;
};
const Member kMembers[] = {
    {"TaskRS", &frmMain::TaskRS, MainList::Tasks},
    {"eventRS", &frmMain::eventRS, MainList::Events},
    {"PeopleRS", &frmMain::PeopleRS, MainList::People},
    {"VendorRS", &frmMain::VendorRS, MainList::Vendors},
    {"QuoteRS", &frmMain::QuoteRS, MainList::Quotes},
    {"ExpensesRS", &frmMain::ExpensesRS, MainList::Expenses},
    {"BudgetRS", &frmMain::BudgetRS, MainList::Budget},
    {"GiftRS", &frmMain::GiftRS, MainList::Gifts},
    {"AttireRS", &frmMain::AttireRS, MainList::Attire},
    {"MeasurementRS", &frmMain::MeasurementRS, MainList::Measurements},
    {"RegistryRS", &frmMain::RegistryRS, MainList::Registry},
    {"chooseMenuRS", &frmMain::chooseMenuRS, MainList::Invitations},
    {"ddEventRS", &frmMain::ddEventRS, std::nullopt},
    {"ddPriorityRS", &frmMain::ddPriorityRS, std::nullopt},
    {"ddAssigneeRS", &frmMain::ddAssigneeRS, std::nullopt},
    {"ddStoreRS", &frmMain::ddStoreRS, std::nullopt},
    {"ddCategoryRS", &frmMain::ddCategoryRS, std::nullopt},
    {"ddVendorRS", &frmMain::ddVendorRS, std::nullopt},
    {"ddVendorTypeRS", &frmMain::ddVendorTypeRS, std::nullopt},
    {"ddGuestTypeRS", &frmMain::ddGuestTypeRS, std::nullopt},
    {"ddTitleRS", &frmMain::ddTitleRS, std::nullopt},
    {"ddAttireTypeRS", &frmMain::ddAttireTypeRS, std::nullopt},
    {"ddRSVPStatusRS", &frmMain::ddRSVPStatusRS, std::nullopt},
};

ado::RecordsetPtr& member(frmMain& f, const QString& name)
{
    for (const Member& m : kMembers)
        if (name == QLatin1String(m.name))
            return f.*(m.rs);
    return gStdEventRS;
}

ado::RecordsetPtr* member(frmMain& f, MainList list)
{
    for (const Member& m : kMembers)
        if (m.list == list)
            return &(f.*(m.rs));
    return nullptr;
}

void showTitle(frmMain& f, const ViewDef& d)
{
    f.curDataMode = d.key;
    if (d.mainMode != views::MainMode::None)
        f.curMainMode = d.mainMode;
    if (f.lblMode)
        f.lblMode->setText(d.title);
    if (d.picture && f.picMode) {
        f.picMode->setPixmap(navbar::storePicture(d.picture));
        f.picMode->setProperty("pictureNumber", d.picture);
    }
    if (!d.option.isEmpty()) {
        // Chosen from code, the filter must not run the task view again.
        QRadioButton* options[] = {f.optAllTasks, f.optDueTasks, f.optCompleteTasks, f.optIncompleteTasks};
        std::vector<std::unique_ptr<QSignalBlocker>> quiet;
        for (QRadioButton* o : options)
            if (o)
                quiet.push_back(std::make_unique<QSignalBlocker>(o));
        for (QRadioButton* o : options)
            if (o && o->objectName() == d.option)
                o->setChecked(true);
    }
}

views::ViewTarget target(frmMain& f, grid::GridEX* grid)
{
    views::ViewTarget t;
    t.conn = &modQVDatabase::gConn;
    t.showTitle = [&f](const ViewDef& d) { showTitle(f, d); };
    t.member = [&f](const QString& name) -> ado::RecordsetPtr& { return member(f, name); };
    t.grid = grid;
    t.lists = {nullptr, nullptr, f.GridEX2, f.GridEX3, f.GridEX4};
    t.unread = [&f](const ViewDef& d) {
        if (f.lblMode)
            f.lblMode->setText(d.title + " (could not be read)");
    };
    return t;
}

void show(frmMain& f, views::DataMode key)
{
    views::ApplyView(*views::viewDef(key), target(f, f.GridEX1));
}

void totals(frmMain& f, views::DataMode key)
{
    if (f.GridEX1)
        views::ApplyTotals(*views::viewDef(key), *f.GridEX1);
}

}  // namespace

void frmMain::ShowTasks(views::TaskFilter whichTasks, const QDateTime& enddate)
{
    dueMode = whichTasks;
    const ViewDef def = views::taskView(whichTasks);
    const QString panel = curFrameName();
    grid::GridEX* g = panel == "frameDataGrid" ? GridEX1 : panel == "frameDate" ? gridTasksDate : nullptr;
    views::ViewTarget t = target(*this, g);
    t.params = views::viewParams(def, enddate);
    t.layoutStep = panel == "frameDataGrid";
    views::ApplyView(def, t);
}

void frmMain::ShowEvents() { show(*this, views::DataMode::Events); }

void frmMain::FillEventCombo()
{
    ddEventRS = ado::Recordset::create();
    ado::ignoringErrors([&] {
        ddEventRS->Open("SELECT EVENT_ID, EVENT_NAME FROM EVENT", modQVDatabase::gConn, ado::adOpenKeyset,
                        ado::adLockOptimistic);
    });
    // Filling the chooser from code never runs the RSVP view.
    std::optional<QSignalBlocker> quiet;
    if (cmbEvents) {
        quiet.emplace(cmbEvents);
        cmbEvents->clear();
    }
    const int n = ddEventRS->isOpen() ? ddEventRS->RecordCount() : 0;
    if (n < 1)
        return;
    EventIDs = QVector<qint64>(n + 1, 0);
    EventComboLoaded = false;
    int chosen = 0;
    for (int i = 1; i <= n; ++i) {
        const QVariant id = ddEventRS->cell(i - 1, 0);
        EventIDs[i] = id.toLongLong();
        if (cmbEvents)
            cmbEvents->addItem(ddEventRS->cell(i - 1, 1).toString());
    }
    for (int j = 1; j <= n; ++j)
        if (EventIDs[j] == SelectedEventID)
            chosen = j - 1;
    if (cmbEvents)
        cmbEvents->setCurrentIndex(chosen);
    EventComboLoaded = true;
    SelectedEventID = EventIDs[chosen + 1];
}

void frmMain::cmbEvents_Click()
{
    if (!EventComboLoaded || !LeavePendingEdits())
        return;
    const int index = cmbEvents ? cmbEvents->currentIndex() : -1;
    SelectedEventID = EventIDs.value(index + 1, 0);
    ShowRSVP();
}

void frmMain::ShowRSVP() { show(*this, views::DataMode::RSVP); }
void frmMain::ShowPeople() { show(*this, views::DataMode::Guests); }
void frmMain::SetGuestCountTotal() { totals(*this, views::DataMode::Guests); }
void frmMain::ShowAddresses() { show(*this, views::DataMode::Addresses); }
void frmMain::ShowVendors() { show(*this, views::DataMode::Vendors); }
void frmMain::ShowQuotes() { show(*this, views::DataMode::Quotes); }
void frmMain::ShowExpenses() { show(*this, views::DataMode::Expenses); }
void frmMain::SetExpenseTotals() { totals(*this, views::DataMode::Expenses); }
void frmMain::ShowBudget() { show(*this, views::DataMode::Budget); }
void frmMain::SetBudgetTotals() { totals(*this, views::DataMode::Budget); }
void frmMain::ShowAttire() { show(*this, views::DataMode::Attire); }
void frmMain::ShowGifts() { show(*this, views::DataMode::Gifts); }
void frmMain::ShowRegistry() { show(*this, views::DataMode::Registry); }
void frmMain::ShowMeasurementsFemale() { show(*this, views::DataMode::FemaleMeasurement); }
void frmMain::ShowMeasurementsMale() { show(*this, views::DataMode::MaleMeasurement); }

void frmMain::PrintGridReport()
{
    if (!isLoaded() || !GridEX1)
        return;
    report::PrintGridReport(*GridEX1, *widget(), curDataMode);
}

// ---------------------------------------------------------------- other windows' changes

void frmMain::RefreshList(MainList list)
{
    if (ado::RecordsetPtr* rs = member(*this, list))
        views::RefreshGrid(GridEX1, *rs);
}

void frmMain::ShowGridPanel()
{
    if (curFrame != frameDataGrid) {
        ShowPanel(frameDataGrid);
        ArrangePanels();
    }
}

void frmMain::AnswerOtherWindows()
{
    using records::Lookup;
    using records::Notices;
    records::answerWhileLoaded(*this, &Notices::rowsChanged, [this](MainList list) { RefreshList(list); });
    records::answerWhileLoaded(*this, &Notices::eventSaved, [this] { ShowEvents(); });
    records::answerWhileLoaded(*this, &Notices::tasksScheduled, [this] { ShowTasks(views::TaskFilter::All, editing::now()); });
    // The budget wizard leaves the budget shown, refreshed.
    records::answerWhileLoaded(*this, &Notices::budgetChanged, [this] {
        if (curDataMode != views::DataMode::Budget) {
            ShowBudget();
            ShowGridPanel();
        } else {
            RefreshList(MainList::Budget);
        }
    });
    // The lookup lists this window's menus edit show in its views.
    records::answerWhileLoaded(*this, &Notices::lookupListClosed, [this](const ui::FormBase* opener, Lookup list) {
        if (opener != this)
            return;
        if (list == Lookup::Stores)
            curDataMode == views::DataMode::Gifts ? ShowGifts() : ShowRegistry();
        else if (list == Lookup::Category)
            ShowRegistry();
        else if (list == Lookup::BudgetCategory)
            ShowBudget();
        else
            return;
        ShowGridPanel();
    });
    records::answerWhileLoaded(*this, &Notices::appointmentsChanged, [this] {
        const QString panel = curFrameName();
        if (panel == "frameDate") {
            const QDateTime shown = curDate;
            ChangeDate(shown);
        } else if (panel == "frameMonth") {
            ChangeCalendar(curDate);
        }
    });
    // After a merge, what is shown may have changed under it.
    records::answerWhileLoaded(*this, &Notices::replicaMerged, [this] {
        const QString panel = curFrameName();
        if (panel == "frameDate") {
            ChangeDate(curDate);
        } else if (panel == "frameMonth") {
            QDateTime d = curDate;
            ChangeCalendar(d);
        } else if (const ViewDef* view = views::viewDef(curDataMode)) {
            views::RefreshGrid(GridEX1, member(*this, view->member));
        }
    });
}
