// The category views of the main window. Each procedure hands its view's
// definition to the shared view routine, with the window's grids and members
// as the places to fill.

#include "app/frmMain.h"

#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/cascade.h"
#include "records/modQVDatabase.h"
#include "views/refresh.h"
#include "views/viewdefs.h"
#include "views/viewpattern.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include <memory>
#include <optional>
#include <vector>

using views::ViewDef;

namespace {

// The standard-event texts offered by the task and budget views. They are
// kept apart from ddEventRS, which the invitation and seating windows read
// as a list of events with EVENT_ID and EVENT_NAME.
ado::RecordsetPtr gStdEventRS;

ado::RecordsetPtr& member(frmMain& f, const QString& name)
{
    static const QMap<QString, ado::RecordsetPtr frmMain::*> members = {
        {"TaskRS", &frmMain::TaskRS},
        {"eventRS", &frmMain::eventRS},
        {"PeopleRS", &frmMain::PeopleRS},
        {"VendorRS", &frmMain::VendorRS},
        {"QuoteRS", &frmMain::QuoteRS},
        {"ExpensesRS", &frmMain::ExpensesRS},
        {"BudgetRS", &frmMain::BudgetRS},
        {"GiftRS", &frmMain::GiftRS},
        {"AttireRS", &frmMain::AttireRS},
        {"MeasurementRS", &frmMain::MeasurementRS},
        {"RegistryRS", &frmMain::RegistryRS},
        {"ddEventRS", &frmMain::ddEventRS},
        {"chooseMenuRS", &frmMain::chooseMenuRS},
        {"ddPriorityRS", &frmMain::ddPriorityRS},
        {"ddAssigneeRS", &frmMain::ddAssigneeRS},
        {"ddStoreRS", &frmMain::ddStoreRS},
        {"ddCategoryRS", &frmMain::ddCategoryRS},
        {"ddVendorRS", &frmMain::ddVendorRS},
        {"ddVendorTypeRS", &frmMain::ddVendorTypeRS},
        {"ddGuestTypeRS", &frmMain::ddGuestTypeRS},
        {"ddTitleRS", &frmMain::ddTitleRS},
        {"ddAttireTypeRS", &frmMain::ddAttireTypeRS},
        {"ddRSVPStatusRS", &frmMain::ddRSVPStatusRS},
    };
    const auto it = members.constFind(name);
    if (it == members.constEnd())
        return gStdEventRS;
    return f.*(it.value());
}

void showTitle(frmMain& f, const ViewDef& d)
{
    f.curDataMode = d.key;
    if (!d.mainMode.isEmpty())
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
    return t;
}

const bool gRefreshRegistered = (views::RegisterMainGridRefresh(), true);

void show(frmMain& f, const QString& key)
{
    views::ApplyView(*views::viewDef(key), target(f, f.GridEX1));
}

void totals(frmMain& f, const QString& key)
{
    if (f.GridEX1)
        views::ApplyTotals(*views::viewDef(key), *f.GridEX1);
}

}  // namespace

void frmMain::ShowTasks(const QString& whichTasks, const QDateTime& enddate)
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

void frmMain::ShowEvents() { show(*this, "Events"); }

void frmMain::FillEventCombo()
{
    ddEventRS = ado::Recordset::create();
    try {
        ddEventRS->Open("SELECT EVENT_ID, EVENT_NAME FROM EVENT", modQVDatabase::gConn, ado::adOpenKeyset,
                        ado::adLockOptimistic);
    } catch (...) {
    }
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

void frmMain::ShowRSVP() { show(*this, "RSVP"); }
void frmMain::ShowPeople() { show(*this, "Guests"); }
void frmMain::SetGuestCountTotal() { totals(*this, "Guests"); }
void frmMain::ShowAddresses() { show(*this, "Addresses"); }
void frmMain::ShowVendors() { show(*this, "Vendors"); }
void frmMain::ShowQuotes() { show(*this, "Quotes"); }
void frmMain::ShowExpenses() { show(*this, "Expenses"); }
void frmMain::SetExpenseTotals() { totals(*this, "Expenses"); }
void frmMain::ShowBudget() { show(*this, "Budget"); }
void frmMain::SetBudgetTotals() { totals(*this, "Budget"); }
void frmMain::ShowAttire() { show(*this, "Attire"); }
void frmMain::ShowGifts() { show(*this, "Gifts"); }
void frmMain::ShowRegistry() { show(*this, "Registry"); }
void frmMain::ShowMeasurementsFemale() { show(*this, "FemaleMeasurement"); }
void frmMain::ShowMeasurementsMale() { show(*this, "MaleMeasurement"); }

namespace views {

void RegisterMainGridRefresh()
{
    for (const char* name : {"TaskRS", "eventRS", "PeopleRS", "VendorRS", "QuoteRS", "ExpensesRS", "BudgetRS",
                             "GiftRS", "AttireRS", "MeasurementRS", "RegistryRS", "chooseMenuRS"}) {
        const QString rs = QString::fromLatin1(name);
        records::hooks::set("frmMain.RefreshMainGrid:" + rs,
                            [rs] { RefreshMainGrid(member(frmMain::instance(), rs)); });
    }
}

bool RefreshMainGrid(const ado::RecordsetPtr& rs)
{
    frmMain& f = frmMain::instance();
    return RefreshGrid(f.isLoaded() ? f.GridEX1 : nullptr, rs);
}

}  // namespace views
