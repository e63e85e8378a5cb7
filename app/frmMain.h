#pragma once
// The main window: the navigation bar down the left, the title of the shown
// view, and three content panels (data grid, day calendar, month calendar) of
// which exactly one is shown at a time. Its public members (the recordset of
// each view, the current mode, view and date) are its own and its tests':
// other windows never read them. They tell it what they changed through
// records/notices.h, and it shows those views afresh.

#include "app/navgroups.h"
#include "app/tablewatch.h"
#include "platform/ado/ado.h"
#include "platform/ui/forms.h"
#include "views/datamode.h"

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

class QAction;
class QCalendarWidget;
class QComboBox;
class QFrame;
class QLabel;
class QRadioButton;

namespace grid {
class GridEX;
}
namespace calendar {
class DayPlanner;
class MonthCalendar;
}
namespace navbar {
class ExplorerBar;
}
namespace records {
enum class MainList;
}

// The layout rules of the window, on twips, so they are tested without a
// screen. W and H are the window's outer width and height.
namespace mainLayout {

struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};

inline constexpr int kPanelLeft = 2200;
inline constexpr int kPanelTop = 360;
inline constexpr int kAwayLeft = -200;
inline constexpr int kAwayWidth = 100;

// A panel moved out of sight: 100 wide at Left -200.
Box awayPanel(Box panel);
// The panel made the shown one.
Box shownPanel(Box panel, int W, int H);

struct Arrangement {
    int navHeight = 0;
    // The new boxes of the panel and of its controls, by object name.
    QHash<QString, Box> boxes;
};
// What ArrangePanels does for the panel of that name, given the present
// boxes of the panel and its controls; nothing when the window is not larger
// than 5000 twips both ways.
std::optional<Arrangement> arrangePanels(const QString& frameName, int W, int H,
                                         const QHash<QString, Box>& current);

// The window's least size (pixels, its frame not counted): its panels are
// always arranged inside it, and a card of the card views fits beside the bar.
inline const QSize kLeastSize(640, 400);

// What a window manager's frame usually adds (title bar and borders), in
// pixels, until the shown window tells its own.
inline const QSize kUsualFrame(8, 30);
// The bar's height in a window whose frame is `outerHeight` pixels high.
int barHeight(int outerHeight);
// The window's size when it opens (pixels, its frame of `frame` not
// counted): tall enough for the navigation bar to show `barContent` pixels
// of groups without scrolling, as wide as the views want, and with its frame
// never larger than the screen's free area `available`.
QSize openingSize(const QSize& available, int barContent, const QSize& frame);

}  // namespace mainLayout

class frmMain : public ui::Form<frmMain, QMainWindow> {
public:
    frmMain();

    // ------------------------------------------------------------ window events
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Resize();
    void Form_QueryUnload(bool& cancel, int unloadMode) override;
    void Form_Unload(bool& cancel) override;

    // ------------------------------------------------------------ public members
    ado::RecordsetPtr TaskRS, eventRS, PeopleRS, VendorRS, QuoteRS, ExpensesRS, BudgetRS, GiftRS, AttireRS,
        MeasurementRS, RegistryRS, ddEventRS, chooseMenuRS;
    // The shown panel: frameDataGrid, frameDate or frameMonth.
    QPointer<QFrame> curFrame;
    QString curFrameName() const;
    views::MainMode curMainMode = views::MainMode::None;
    views::DataMode curDataMode = views::DataMode::None;
    QDateTime curDate;
    views::TaskFilter dueMode = views::TaskFilter::Due;

    // ------------------------------------------------------------ view procedures
    // Over the views of views/ (app/mainviews.cpp, app/maincalendar.cpp).
    void ShowTasks(views::TaskFilter whichTasks, const QDateTime& enddate);
    void ShowEvents();
    void ShowRSVP();
    void ShowPeople();
    void ShowAddresses();
    void FillEventCombo();
    void SetGuestCountTotal();
    void cmbEvents_Click();
    void ShowVendors();
    void ShowQuotes();
    void ShowExpenses();
    void ShowBudget();
    void SetExpenseTotals();
    void SetBudgetTotals();
    void ShowAttire();
    void ShowGifts();
    void ShowRegistry();
    void ShowMeasurementsFemale();
    void ShowMeasurementsMale();
    void ChangeDate(const QDateTime& whichDate);
    // Sets the caller's variable to its date part.
    void ChangeCalendar(QDateTime& whichDate);
    void SaveDayViewAppointment(int index);
    void PrintDayCalendar();
    void PrintMonthCalendar();
    // The report of the shown grid view, in the print preview window.
    void PrintGridReport();
    // Calendar events.
    void calDay_NewAppointment(int startMinute, int endMinute, bool typing);
    void calDay_AfterEdit(int index);
    void calDay_DblClick();
    void calDay_MouseUp(int button, int shift, int x, int y);
    void Calendar1_MouseUp(int button, int shift, int x, int y);
    void Calendar1_DayClick(int dayNumber);
    void MonthView1_DateClick(const QDate& d);
    void MonthView1_SelectionChanged();
    // The task filter options and the navigation bar's items.
    void optAllTasks_Click();
    void optDueTasks_Click();
    void optCompleteTasks_Click();
    void optIncompleteTasks_Click();
    void ExplorerBarCtlQV1_ItemClick(const QString& key);
    // The menu bar and the main grid's mouse commands (app/commands_main.cpp).
    void CreateCommands();
    void MenuItem_Click(const QString& itemName);
    void GridEX1_DblClick();
    void GridEX1_MouseDown(int button, int x, int y);
    void GridEX1_SelectionChange();
    void gridTasksDate_MouseUp(int button, int x, int y);

    // ------------------------------------------------------------ frame procedures
    void ShowStartupDialogs();
    void HideAllPanels();
    void ShowPanel(QFrame* frame);
    void ArrangePanels();
    // Asks about unsaved grid edits and saves a pending day-planner entry.
    // False when the user cancelled: the window then stays open.
    bool ConfirmPendingGridEdits();
    // Before the view changes, whatever changes it: a pending cell edit is
    // stored, and one the database refuses is asked about as on closing; a
    // new day-planner entry being typed is kept. False when the user keeps
    // the edit: the view then stays.
    bool LeavePendingEdits();

    // Navigation bar groups (built by app/navgroups).
    void BuildModeGroup();
    void BuildCalendarGroups();
    void BuildTaskGroup();
    void BuildEventGroup();
    void BuildGuestGroup();
    void BuildRSVPGroup();
    void BuildVendorGroup();
    void BuildBudgetGroup();
    void BuildAttireGroup();
    void BuildGiftGroup();
    void BuildTaskInfoGroup();
    void RemoveModeGroups();
    navgroups::NavContext& navContext() { return nav_; }

    // ------------------------------------------------------------ members of the views
    ado::RecordsetPtr DayApptRS;
    bool NewApptTyping = false;
    bool StartupDialogsShown = false;
    ado::RecordsetPtr ddPriorityRS, ddAssigneeRS, ddFoodRS, ddStoreRS, ddCategoryRS, ddVendorRS, ddVendorTypeRS,
        ddGuestTypeRS, ddTitleRS, ddAttireTypeRS, ddRSVPStatusRS;
    QString SelectedRowKind;
    QVector<qint64> EventIDs;
    bool EventComboLoaded = false;
    qint64 SelectedEventID = 0;

    // ------------------------------------------------------------ controls (while loaded)
    navbar::ExplorerBar* ExplorerBarCtlQV1 = nullptr;
    QLabel* picMode = nullptr;
    QLabel* lblMode = nullptr;
    QLabel* lblEvent = nullptr;
    QComboBox* cmbEvents = nullptr;
    QFrame* frameDataGrid = nullptr;
    grid::GridEX* GridEX1 = nullptr;
    QFrame* frameDate = nullptr;
    QLabel* lblDate = nullptr;
    calendar::DayPlanner* calDay = nullptr;
    grid::GridEX* gridTasksDate = nullptr;
    QFrame* frameMonth = nullptr;
    QLabel* lblMonth = nullptr;
    calendar::MonthCalendar* Calendar1 = nullptr;
    QCalendarWidget* MonthView1 = nullptr;
    QFrame* Picture1 = nullptr;
    QRadioButton* optAllTasks = nullptr;
    QRadioButton* optDueTasks = nullptr;
    QRadioButton* optCompleteTasks = nullptr;
    QRadioButton* optIncompleteTasks = nullptr;
    grid::GridEX* GridEX2 = nullptr;
    grid::GridEX* GridEX3 = nullptr;
    grid::GridEX* GridEX4 = nullptr;
    // F1: the help's contents; the Help menu shows the same action.
    QAction* actHelpContents = nullptr;

    // Unloading the main window ends the program (tests turn it off).
    bool quitOnUnload = true;

    static constexpr const char* kCaption = "Wedding Planner - Nuptaro";

    // Places in twips: every control of the window is placed through these.
    mainLayout::Box boxOf(const QWidget* w) const;
    void setBox(QWidget* w, const mainLayout::Box& b);
    // The window's outer size in twips (frame included).
    int outerWidth() const;
    int outerHeight() const;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void createControls() override;
    void releaseControls() override;

private:
    // What other windows tell of records they changed (records/notices.h).
    void AnswerOtherWindows();
    // The list's recordset read again and, when the grid shows it, bound again.
    void RefreshList(records::MainList list);
    void ShowGridPanel();
    // Fits the shown window, with the frame its window manager gave it, to
    // the screen's free area: the start groups whole where the screen allows.
    void fitToScreen();
    bool screenFitted_ = false;
    QSize openedSize_;
    int startGroupsHeight_ = 0;
    void moveAway(QFrame* panel);
    void withBar(void (*build)(navgroups::NavContext&));
    navgroups::NavContext nav_;
    // Keeps the Task Info counts in step with every write to the tasks.
    std::unique_ptr<TableWatch> taskWatch_;
    QHash<const QWidget*, mainLayout::Box> boxes_;
    bool inStartupDialogs_ = false;
};
