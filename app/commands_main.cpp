// The main window's side of its commands: the menu bar, the navigation
// bar's clicks, the task filter buttons and the main grid's mouse.

#include "app/commands_main.h"

#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/frmTip.h"
#include "app/gridmouse.h"
#include "app/help.h"
#include "app/menus.h"
#include "app/placeholders.h"
#include "platform/grid/gridex.h"
#include "records/frmAddType.h"

#include <iterator>
#include "records/frmDeleteSingle.h"
#include "records/frmSynchronize.h"
#include "views/frmPreview.h"

#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <map>

namespace commands {

void MainHost::ShowPanel(const QString& name)
{
    QFrame* frame = name == "frameDataGrid" ? f_.frameDataGrid : name == "frameDate" ? f_.frameDate : f_.frameMonth;
    if (frame)
        f_.ShowPanel(frame);
}

void MainHost::ArrangePanels() { f_.ArrangePanels(); }

void MainHost::setModeCaption(const QString& caption)
{
    if (f_.lblMode)
        f_.lblMode->setText(caption);
}

QDateTime MainHost::curDate() const { return f_.curDate; }
views::TaskFilter MainHost::dueMode() const { return f_.dueMode; }
views::MainMode MainHost::curMainMode() const { return f_.curMainMode; }
views::DataMode MainHost::curDataMode() const { return f_.curDataMode; }
QString MainHost::SelectedRowKind() const { return f_.SelectedRowKind; }
void MainHost::setSelectedRowKind(const QString& kind) { f_.SelectedRowKind = kind; }
ui::FormBase* MainHost::owner() { return &f_; }

QString procName(Proc procedure)
{
    static const char* const names[] = {
        "ShowEvents", "ShowRSVP", "ShowPeople", "ShowAddresses", "FillEventCombo", "ShowVendors", "ShowQuotes",
        "ShowExpenses", "ShowBudget", "ShowAttire", "ShowGifts", "ShowRegistry", "ShowMeasurementsFemale",
        "ShowMeasurementsMale", "PrintGridReport", "PrintDayCalendar", "PrintMonthCalendar", "RemoveModeGroups",
        "BuildCalendarGroups", "BuildTaskGroup", "BuildEventGroup", "BuildGuestGroup", "BuildRSVPGroup",
        "BuildVendorGroup", "BuildBudgetGroup", "BuildAttireGroup", "BuildGiftGroup",
    };
    static_assert(std::size(names) == static_cast<size_t>(Proc::BuildGiftGroup) + 1);
    return QString::fromLatin1(names[static_cast<int>(procedure)]);
}

void MainHost::call(Proc procedure)
{
    switch (procedure) {
    case Proc::ShowEvents: f_.ShowEvents(); return;
    case Proc::ShowRSVP: f_.ShowRSVP(); return;
    case Proc::ShowPeople: f_.ShowPeople(); return;
    case Proc::ShowAddresses: f_.ShowAddresses(); return;
    case Proc::FillEventCombo: f_.FillEventCombo(); return;
    case Proc::ShowVendors: f_.ShowVendors(); return;
    case Proc::ShowQuotes: f_.ShowQuotes(); return;
    case Proc::ShowExpenses: f_.ShowExpenses(); return;
    case Proc::ShowBudget: f_.ShowBudget(); return;
    case Proc::ShowAttire: f_.ShowAttire(); return;
    case Proc::ShowGifts: f_.ShowGifts(); return;
    case Proc::ShowRegistry: f_.ShowRegistry(); return;
    case Proc::ShowMeasurementsFemale: f_.ShowMeasurementsFemale(); return;
    case Proc::ShowMeasurementsMale: f_.ShowMeasurementsMale(); return;
    case Proc::PrintGridReport:
        if (f_.GridEX1 && f_.window())
            report::PrintGridReport(*f_.GridEX1, *f_.window(), f_.curDataMode);
        return;
    case Proc::PrintDayCalendar: f_.PrintDayCalendar(); return;
    case Proc::PrintMonthCalendar: f_.PrintMonthCalendar(); return;
    case Proc::RemoveModeGroups: f_.RemoveModeGroups(); return;
    case Proc::BuildCalendarGroups: f_.BuildCalendarGroups(); return;
    case Proc::BuildTaskGroup: f_.BuildTaskGroup(); return;
    case Proc::BuildEventGroup: f_.BuildEventGroup(); return;
    case Proc::BuildGuestGroup: f_.BuildGuestGroup(); return;
    case Proc::BuildRSVPGroup: f_.BuildRSVPGroup(); return;
    case Proc::BuildVendorGroup: f_.BuildVendorGroup(); return;
    case Proc::BuildBudgetGroup: f_.BuildBudgetGroup(); return;
    case Proc::BuildAttireGroup: f_.BuildAttireGroup(); return;
    case Proc::BuildGiftGroup: f_.BuildGiftGroup(); return;
    }
}

void MainHost::ShowTasks(views::TaskFilter whichTasks, const QDateTime& enddate) { f_.ShowTasks(whichTasks, enddate); }
void MainHost::ChangeDate(const QDateTime& whichDate) { f_.ChangeDate(whichDate); }

void MainHost::ChangeCalendar(const QDateTime& whichDate)
{
    // The procedure trims its argument; curDate must not change with it.
    QDateTime d = whichDate;
    f_.ChangeCalendar(d);
}

int MainHost::currentRow() const { return f_.GridEX1 ? f_.GridEX1->currentRow() : 0; }

bool MainHost::isRecordRow(int row) const
{
    return f_.GridEX1 && row >= 1 && f_.GridEX1->rowKind(row) == grid::RowKind::Record;
}

void MainHost::expandGroupRow()
{
    // Our grid shows the records under every header; nothing to open.
}

QVariant MainHost::value(int row, int column) const
{
    return f_.GridEX1 ? f_.GridEX1->value(row, column) : QVariant();
}

void MainHost::clearColumnValueList(int column)
{
    if (f_.GridEX1)
        f_.GridEX1->clearColumnValueList(column);
}

void MainHost::addColumnValueListItem(int column, const QVariant& value, const QString& text)
{
    if (f_.GridEX1)
        f_.GridEX1->addColumnValueListItem(column, value, text);
}

void MainHost::setCurrentRow(int row)
{
    if (f_.GridEX1)
        f_.GridEX1->setCurrentRow(row);
}

void MainHost::popupMenu(const QString& menuName)
{
    if (QMenu* m = menus::findMenu(f_.window(), menuName))
        m->popup(QCursor::pos());
}

void MainHost::showDelete(records::DeleteKind delMode, qlonglong delID, const QString& delString, int showMode)
{
    auto& d = frmDeleteSingle::instance();
    d.delMode = delMode;
    d.delID = delID;
    d.delString = delString;
    if (showMode == ui::vbModal)
        d.Show(ui::vbModal, &f_);
    else
        d.Show(ui::vbModeless);
}

void MainHost::showLookupList(records::Lookup list, const ui::FormBase* fromForm, bool fromFormFirst)
{
    auto& t = frmAddType::instance();
    if (fromForm && fromFormFirst)
        t.fromForm = fromForm;
    t.curMode = list;
    if (fromForm && !fromFormFirst)
        t.fromForm = fromForm;
    t.Show(ui::vbModal, &f_);
}

void MainHost::showSynchronize() { frmSynchronize::instance().Show(); }
void MainHost::showTip() { frmTip::instance().Show(ui::vbModal, &f_); }
void MainHost::showWizard() { frmWizard::instance().Show(ui::vbModal, &f_); }
void MainHost::showAbout() { frmAbout::instance().Show(ui::vbModal, &f_); }
void MainHost::showHelpContents() { HTMLHelp::ShowHelpContents(1); }
void MainHost::showWebHelp() { webhelp::OpenPlanningPage(f_.window()); }
void MainHost::exitProgram() { f_.Unload(); }

}  // namespace commands

// ---------------------------------------------------------------- frmMain's handlers

namespace {

int buttonNumber(Qt::MouseButton b) { return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0; }

}  // namespace

void frmMain::CreateCommands()
{
    QMainWindow* w = window();
    menus::buildMenuBar(w->menuBar(), [this](const QString& name) { ui::guarded([&] { MenuItem_Click(name); }); });
    // The Help menu's Contents item carries F1 now.
    if (actHelpContents)
        actHelpContents->setShortcut(QKeySequence());
    QObject::connect(GridEX1, &grid::GridEX::doubleClicked, w, [this] { ui::guarded([&] { GridEX1_DblClick(); }); });
    QObject::connect(GridEX1, &grid::GridEX::mouseDown, w, [this](Qt::MouseButton b, const QPoint& p) {
        ui::guarded([&] { GridEX1_MouseDown(buttonNumber(b), p.x(), p.y()); });
    });
    QObject::connect(GridEX1, &grid::GridEX::currentRowChanged, w,
                     [this](int) { ui::guarded([&] { GridEX1_SelectionChange(); }); });
    QObject::connect(gridTasksDate, &grid::GridEX::mouseUp, w, [this](Qt::MouseButton b, const QPoint& p) {
        ui::guarded([&] { gridTasksDate_MouseUp(buttonNumber(b), p.x(), p.y()); });
    });
}

namespace {

// A command raised on a closed window (a late click, a call from another
// window) is skipped.
template <class Fn>
void onHost(frmMain& f, Fn&& fn)
{
    if (!f.isLoaded())
        return;
    commands::MainHost host(f);
    fn(host);
}

// A command the user gives: a pending edit is dealt with first, since the
// command may show another view or refill this one.
template <class Fn>
void onCommand(frmMain& f, Fn&& fn)
{
    if (f.isLoaded() && f.LeavePendingEdits())
        onHost(f, std::forward<Fn>(fn));
}

}  // namespace

void frmMain::ExplorerBarCtlQV1_ItemClick(const QString& key)
{
    onCommand(*this, [&](commands::Host& h) { commands::ItemClick(h, key); });
}

void frmMain::MenuItem_Click(const QString& itemName)
{
    const auto click = [&](commands::Host& h) { commands::MenuClick(h, itemName); };
    // Exit asks about a pending edit as closing the window does.
    if (itemName == "mnuFileExit")
        onHost(*this, click);
    else
        onCommand(*this, click);
}

void frmMain::optAllTasks_Click()
{
    onCommand(*this, [](commands::Host& h) { commands::OptionClick(h, "optAllTasks"); });
}

void frmMain::optDueTasks_Click()
{
    onCommand(*this, [](commands::Host& h) { commands::OptionClick(h, "optDueTasks"); });
}

void frmMain::optCompleteTasks_Click()
{
    onCommand(*this, [](commands::Host& h) { commands::OptionClick(h, "optCompleteTasks"); });
}

void frmMain::optIncompleteTasks_Click()
{
    onCommand(*this, [](commands::Host& h) { commands::OptionClick(h, "optIncompleteTasks"); });
}

void frmMain::GridEX1_DblClick()
{
    onCommand(*this, [](commands::Host& h) { gridmouse::GridEX1_DblClick(h); });
}

void frmMain::GridEX1_MouseDown(int button, int x, int y)
{
    if (!GridEX1)
        return;
    const QPoint p(x, y);
    commands::MainHost host(*this);
    gridmouse::GridEX1_MouseDown(host, button, GridEX1->hitTest(p), GridEX1->rowAt(p), GridEX1->columnAt(p));
}

void frmMain::GridEX1_SelectionChange()
{
    onHost(*this, [](commands::Host& h) { gridmouse::GridEX1_SelectionChange(h); });
}

void frmMain::gridTasksDate_MouseUp(int button, int x, int y)
{
    if (!gridTasksDate)
        return;
    const QPoint p(x, y);
    commands::MainHost host(*this);
    gridmouse::gridTasksDate_MouseUp(host, button, gridTasksDate->hitTest(p),
                                     gridTasksDate->columnCaption(gridTasksDate->columnAt(p)));
}
