#pragma once
// The main window's commands: the navigation bar's items, the menu items,
// the commands on the grid's current row and the grid's mouse commands.
// They run on a Host: the main window's own procedures (panels, views,
// groups, prints, the grid's current row) and the windows of other parts
// that are opened from here. The main window is the program's host; tests
// give a host that records what is called.

#include "platform/ui/forms.h"
#include "records/cascade.h"
#include "records/lookuplists.h"
#include "views/datamode.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace commands {

// The main window's procedures without arguments that commands run: the
// view procedures, the navigation groups and the prints.
enum class Proc {
    ShowEvents, ShowRSVP, ShowPeople, ShowAddresses, FillEventCombo, ShowVendors, ShowQuotes,
    ShowExpenses, ShowBudget, ShowAttire, ShowGifts, ShowRegistry, ShowMeasurementsFemale,
    ShowMeasurementsMale, PrintGridReport, PrintDayCalendar, PrintMonthCalendar, RemoveModeGroups,
    BuildCalendarGroups, BuildTaskGroup, BuildEventGroup, BuildGuestGroup, BuildRSVPGroup,
    BuildVendorGroup, BuildBudgetGroup, BuildAttireGroup, BuildGiftGroup,
};

// The procedure's name, as the main window names it.
QString procName(Proc procedure);

class Host {
public:
    virtual ~Host() = default;

    // ---- the frame
    virtual void ShowPanel(const QString& frameName) = 0;   // "frameDataGrid", "frameDate", "frameMonth"
    virtual void ArrangePanels() = 0;
    virtual void setModeCaption(const QString& caption) = 0;  // lblMode
    virtual QDateTime curDate() const = 0;
    virtual views::TaskFilter dueMode() const = 0;
    virtual views::MainMode curMainMode() const = 0;
    virtual views::DataMode curDataMode() const = 0;
    virtual QString SelectedRowKind() const = 0;
    virtual void setSelectedRowKind(const QString& kind) = 0;
    // The owner of modal windows.
    virtual ui::FormBase* owner() = 0;

    // ---- the main window's procedures without arguments
    virtual void call(Proc procedure) = 0;
    virtual void ShowTasks(views::TaskFilter whichTasks, const QDateTime& enddate) = 0;
    virtual void ChangeDate(const QDateTime& whichDate) = 0;
    virtual void ChangeCalendar(const QDateTime& whichDate) = 0;

    // ---- the main grid GridEX1
    virtual int currentRow() const = 0;            // 0 when none
    virtual bool isRecordRow(int row) const = 0;   // false for a header row or no row
    // Opens the group header row that is current, the way the grid's group
    // rows expand; the current row may move.
    virtual void expandGroupRow() = 0;
    virtual QVariant value(int row, int column) const = 0;
    virtual void clearColumnValueList(int column) = 0;
    virtual void addColumnValueListItem(int column, const QVariant& value, const QString& text) = 0;
    virtual void setCurrentRow(int row) = 0;
    // Pops up the menu of that control name at the pointer.
    virtual void popupMenu(const QString& menuName) = 0;

    // ---- windows of other parts
    virtual void showDelete(records::DeleteKind delMode, qlonglong delID, const QString& delString, int showMode) = 0;
    // frmAddType on `list`; its caller only when given (else it keeps its
    // last opener). `fromFormFirst` keeps the order of the two writes.
    virtual void showLookupList(records::Lookup list, const ui::FormBase* fromForm, bool fromFormFirst) = 0;
    virtual void showSynchronize() = 0;
    virtual void showTip() = 0;
    virtual void showWizard() = 0;
    virtual void showAbout() = 0;
    virtual void showHelpContents() = 0;
    virtual void showWebHelp() = 0;
    virtual void exitProgram() = 0;
};

// The navigation bar's item click.
void ItemClick(Host& host, const QString& key);
// Keys the bar may show that have no action (counts and hosted controls).
bool isInertKey(const QString& key);
// Every key with an action, in the order of the table.
QStringList actionKeys();

// Menu items by control name; false when no item of that name has an action.
bool MenuClick(Host& host, const QString& itemName);
// The four task filter buttons: "optAllTasks" ...
void OptionClick(Host& host, const QString& optionName);

// The commands on the main grid's current row.
qlonglong GetSelectedID(Host& host);
// Runs the row command of that name (ModifyEvent, DeleteGuest ...); false for
// an unknown name.
bool RunRowCommand(Host& host, const QString& command);
QStringList rowCommandNames();

}  // namespace commands
