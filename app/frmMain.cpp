#include "app/frmMain.h"

#include "app/frmAbout.h"
#include "app/frmTip.h"
#include "app/help.h"
#include "app/placeholders.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"
#include "views/calendar_view.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QTableView>

// ---------------------------------------------------------------- layout rules

namespace mainLayout {

Box awayPanel(Box panel)
{
    panel.width = kAwayWidth;
    panel.left = kAwayLeft;
    return panel;
}

Box shownPanel(Box panel, int W, int H)
{
    panel.left = kPanelLeft;
    panel.top = kPanelTop;
    panel.width = W > 3200 ? W - 2200 : 1000;
    panel.height = H > 3000 ? H - 1600 : 1000;
    return panel;
}

std::optional<Arrangement> arrangePanels(const QString& frameName, int W, int H, const QHash<QString, Box>& current)
{
    if (W <= 5000 || H <= 5000)
        return std::nullopt;
    Arrangement a;
    a.navHeight = H - 860;
    auto box = [&](const QString& name) { return current.value(name); };
    if (frameName == "frameDataGrid") {
        Box p = box(frameName);
        p.width = W - 2100;
        p.height = H - 1200;
        Box g = box("GridEX1");
        g.width = p.width - 240;
        g.height = p.height - 360;
        a.boxes.insert(frameName, p);
        a.boxes.insert("GridEX1", g);
    } else if (frameName == "frameDate") {
        Box p = box(frameName);
        p.width = W - 2100;
        p.height = H - 1200;
        Box d = box("calDay");
        d.width = p.width - 500;
        d.height = p.height - 2800;
        Box t = box("gridTasksDate");
        t.top = p.height - 2200;
        t.width = p.width - 240;
        a.boxes.insert(frameName, p);
        a.boxes.insert("calDay", d);
        a.boxes.insert("gridTasksDate", t);
    } else if (frameName == "frameMonth") {
        Box p = box(frameName);
        p.width = W - 2100;
        p.height = H - 1100;
        Box c = box("Calendar1");
        c.width = p.width - 500;
        c.height = p.height - 700;
        a.boxes.insert(frameName, p);
        a.boxes.insert("Calendar1", c);
    }
    return a;
}

int barHeight(int outerHeight) { return outerHeight - (860 + twips::kTwipsPerPixel - 1) / twips::kTwipsPerPixel; }

QSize openingSize(const QSize& available, int barContent, const QSize& frame)
{
    // The bar is the window's height with its frame less 860 twips, and a
    // little room to spare.
    constexpr int kWidth = 1024;
    constexpr int kSpare = 2;
    const int outer = barContent + (frame.height() - barHeight(frame.height())) + kSpare;
    return QSize(qMin(kWidth, available.width() - frame.width()), qMin(outer, available.height()) - frame.height());
}

}  // namespace mainLayout

using mainLayout::Box;

// ---------------------------------------------------------------- the window widget

namespace {

// While alive, keeps the focus changes of other windows away from the cell
// editors of the grids, which would otherwise write themselves.
class HoldGridEditors : public QObject {
public:
    explicit HoldGridEditors(QList<grid::GridEX*> grids) : grids_(std::move(grids))
    {
        qApp->installEventFilter(this);
    }
    ~HoldGridEditors() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() != QEvent::FocusOut)
            return false;
        auto* w = qobject_cast<QWidget*>(watched);
        for (grid::GridEX* g : grids_)
            if (w && g && g->isAncestorOf(w))
                return true;
        return false;
    }

private:
    QList<grid::GridEX*> grids_;
};

template <class T>
T* named(T* w, const char* name)
{
    w->setObjectName(name);
    return w;
}

}  // namespace

frmMain::frmMain() : Form("frmMain") { ui::setMainForm(this); }

QWidget* frmMain::makeWidget(QWidget* parent) { return new ui::ResizingFormWidget<frmMain, QMainWindow>(this, parent); }

Box frmMain::boxOf(const QWidget* w) const { return boxes_.value(w); }

void frmMain::setBox(QWidget* w, const Box& b)
{
    boxes_.insert(w, b);
    w->setGeometry(twips::toPixels(b.left), twips::toPixels(b.top), twips::toPixels(b.width),
                   twips::toPixels(b.height));
}

int frmMain::outerWidth() const { return widget() ? twips::fromPixels(widget()->frameGeometry().width()) : 0; }
int frmMain::outerHeight() const { return widget() ? twips::fromPixels(widget()->frameGeometry().height()) : 0; }

QString frmMain::curFrameName() const { return curFrame ? curFrame->objectName() : QString(); }

void frmMain::createControls()
{
    QMainWindow* w = window();
    w->setWindowTitle(kCaption);
    w->setWindowIcon(nuptaroIcon());
    w->setMinimumSize(mainLayout::kLeastSize);
    auto* client = new QWidget(w);
    client->setObjectName("client");
    w->setCentralWidget(client);

    ExplorerBarCtlQV1 = named(new navbar::ExplorerBar(client), "ExplorerBarCtlQV1");
    setBox(ExplorerBarCtlQV1, {0, 0, 2292, 4332});

    picMode = named(new QLabel(client), "picMode");
    setBox(picMode, {2520, 60, 372, 312});
    lblMode = named(new QLabel(client), "lblMode");
    QFont titleFont = lblMode->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    lblMode->setFont(titleFont);
    setBox(lblMode, {2880, 120, 2412, 252});
    lblEvent = named(new QLabel("Event:", client), "lblEvent");
    setBox(lblEvent, {5160, 120, 732, 252});
    cmbEvents = named(new ui::ListBox(client), "cmbEvents");
    cmbEvents->setEditable(false);
    setBox(cmbEvents, {6000, 120, 2052, 315});
    lblEvent->hide();
    cmbEvents->hide();

    auto panel = [&](const char* name) {
        auto* f = named(new QFrame(client), name);
        f->setFrameShape(QFrame::StyledPanel);
        return f;
    };
    frameDataGrid = panel("frameDataGrid");
    setBox(frameDataGrid, {mainLayout::kAwayLeft, mainLayout::kPanelTop, mainLayout::kAwayWidth, 5400});
    GridEX1 = named(new grid::GridEX(frameDataGrid), "GridEX1");
    setBox(GridEX1, {120, 240, 7452, 4692});

    frameDate = panel("frameDate");
    setBox(frameDate, {mainLayout::kAwayLeft, mainLayout::kPanelTop, mainLayout::kAwayWidth, 6100});
    lblDate = named(new QLabel(frameDate), "lblDate");
    lblDate->setFont(titleFont);
    setBox(lblDate, {1200, 30, 3492, 330});   // clear of the planner below
    calDay = named(new calendar::DayPlanner(frameDate), "calDay");
    setBox(calDay, {120, 360, 5412, 3492});
    gridTasksDate = named(new grid::GridEX(frameDate), "gridTasksDate");
    setBox(gridTasksDate, {120, 3840, 8292, 2052});
    // Tab leaves a grid for the next control; arrows move between cells and
    // Tab in an open cell editor still goes to the next cell.
    for (grid::GridEX* g : {GridEX1, gridTasksDate})
        g->tableView()->setTabKeyNavigation(false);

    frameMonth = panel("frameMonth");
    setBox(frameMonth, {mainLayout::kAwayLeft, mainLayout::kPanelTop, mainLayout::kAwayWidth, 5400});
    lblMonth = named(new QLabel(frameMonth), "lblMonth");
    lblMonth->setFont(titleFont);
    setBox(lblMonth, {360, 30, 3492, 330});
    Calendar1 = named(new calendar::MonthCalendar(frameMonth), "Calendar1");
    setBox(Calendar1, {120, 360, 7572, 4692});

    // Placed into the navigation bar by its Date Control group.
    MonthView1 = named(new QCalendarWidget(client), "MonthView1");
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setGridVisible(false);
    setBox(MonthView1, {9480, 0, 1524, 1248});
    // Small enough to stand inside the navigation bar.
    QFont small = MonthView1->font();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    MonthView1->setFont(small);
    MonthView1->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    MonthView1->setMinimumSize(twips::toPixels(1800), twips::toPixels(1800));
    MonthView1->setMaximumWidth(twips::toPixels(1800));
    views::fitMonthPicker(MonthView1);
    Picture1 = named(new QFrame(client), "Picture1");
    setBox(Picture1, {9360, 1800, 1332, 1092});
    // As tall as its four options: the bar has no height to spare.
    Picture1->setMinimumSize(twips::toPixels(1332), twips::toPixels(4 * 240));
    optAllTasks = named(new QRadioButton("All Tasks", Picture1), "optAllTasks");
    optDueTasks = named(new QRadioButton("Due Tasks", Picture1), "optDueTasks");
    optCompleteTasks = named(new QRadioButton("Complete", Picture1), "optCompleteTasks");
    optIncompleteTasks = named(new QRadioButton("Incomplete", Picture1), "optIncompleteTasks");
    int top = 0;
    for (QRadioButton* o : {optAllTasks, optDueTasks, optCompleteTasks, optIncompleteTasks}) {
        setBox(o, {0, top, 1332, 240});
        top += 240;
    }
    optDueTasks->setChecked(true);
    MonthView1->hide();
    Picture1->hide();
    ExplorerBarCtlQV1->setControlHome(client);
    // The shown panel starts a little left of the bar's edge; the bar stays on top.
    ExplorerBarCtlQV1->raise();

    // Sources of the grid views' drop-down lists; never shown.
    int left = 0;
    for (grid::GridEX** g : {&GridEX2, &GridEX3, &GridEX4}) {
        *g = new grid::GridEX(client);
        setBox(*g, {left, 6840, 2000, 1000});
        (*g)->hide();
        left += 2100;
    }
    GridEX2->setObjectName("GridEX2");
    GridEX3->setObjectName("GridEX3");
    GridEX4->setObjectName("GridEX4");

    actHelpContents = new QAction("&Contents", w);
    actHelpContents->setObjectName("actHelpContents");
    actHelpContents->setShortcut(QKeySequence(Qt::Key_F1));
    actHelpContents->setShortcutContext(Qt::ApplicationShortcut);
    w->addAction(actHelpContents);

    nav_ = navgroups::NavContext{};
    nav_.bar = ExplorerBarCtlQV1;
    nav_.monthView = MonthView1;
    nav_.taskControl = Picture1;
    nav_.taskOptions = {optAllTasks, optDueTasks, optCompleteTasks, optIncompleteTasks};
    nav_.setModePicture = [this](int n) {
        if (picMode)
            picMode->setPixmap(navbar::storePicture(n));
    };
    nav_.setMainMode = [this](views::MainMode m) { curMainMode = m; };
    nav_.curDate = [this] { return curDate; };
    taskWatch_ = std::make_unique<TableWatch>(modQVDatabase::gConn, QStringList{"TASKS"}, [this] {
        if (isLoaded())
            navgroups::UpdateTaskInfoCounts(nav_);
    });

    // Every handler runs under the guard: an error shows and the program goes on.
    auto on = [](auto fn) { return [fn](auto&&...) { ui::guarded(fn); }; };
    QObject::connect(actHelpContents, &QAction::triggered, w, on([] { HTMLHelp::ShowHelpContents(1); }));
    QObject::connect(ExplorerBarCtlQV1, &navbar::ExplorerBar::itemClicked, w, [this](const QString& key) {
        ui::guarded([&] { ExplorerBarCtlQV1_ItemClick(key); });
    });
    QObject::connect(optAllTasks, &QRadioButton::clicked, w, on([this] { optAllTasks_Click(); }));
    QObject::connect(optDueTasks, &QRadioButton::clicked, w, on([this] { optDueTasks_Click(); }));
    QObject::connect(optCompleteTasks, &QRadioButton::clicked, w, on([this] { optCompleteTasks_Click(); }));
    QObject::connect(optIncompleteTasks, &QRadioButton::clicked, w, on([this] { optIncompleteTasks_Click(); }));
    QObject::connect(MonthView1, &QCalendarWidget::clicked, w,
                     [this](const QDate& d) { ui::guarded([&] { MonthView1_DateClick(d); }); });
    // By keys as well: the arrows move to another day, Enter takes the chosen one.
    QObject::connect(MonthView1, &QCalendarWidget::activated, w,
                     [this](const QDate& d) { ui::guarded([&] { MonthView1_DateClick(d); }); });
    ui::enterTakesFramedDay(MonthView1);
    QObject::connect(MonthView1, &QCalendarWidget::selectionChanged, w, on([this] { MonthView1_SelectionChanged(); }));
    QObject::connect(cmbEvents, qOverload<int>(&QComboBox::activated), w, on([this] { cmbEvents_Click(); }));
    QObject::connect(calDay, &calendar::DayPlanner::NewAppointment, w, [this](int s, int e, bool typing) {
        ui::guarded([&] { calDay_NewAppointment(s, e, typing); });
    });
    QObject::connect(calDay, &calendar::DayPlanner::AfterEdit, w,
                     [this](int index) { ui::guarded([&] { calDay_AfterEdit(index); }); });
    // Typing a new entry that is cancelled leaves nothing pending.
    QObject::connect(calDay, &calendar::DayPlanner::NewAppointmentCancelled, w, [this] { NewApptTyping = false; });
    QObject::connect(calDay, &calendar::DayPlanner::DblClick, w, on([this] { calDay_DblClick(); }));
    QObject::connect(calDay, &calendar::DayPlanner::MouseUp, w, [this](int b, int s, int x, int y) {
        ui::guarded([&] { calDay_MouseUp(b, s, x, y); });
    });
    QObject::connect(Calendar1, &calendar::MonthCalendar::MouseUp, w, [this](int b, int s, int x, int y) {
        ui::guarded([&] { Calendar1_MouseUp(b, s, x, y); });
    });
    QObject::connect(Calendar1, &calendar::MonthCalendar::DayClick, w,
                     [this](int n) { ui::guarded([&] { Calendar1_DayClick(n); }); });
    CreateCommands();
    AnswerOtherWindows();
}

void frmMain::releaseControls()
{
    boxes_.clear();
    taskWatch_.reset();
    nav_ = navgroups::NavContext{};
    ExplorerBarCtlQV1 = nullptr;
    picMode = lblMode = lblEvent = lblDate = lblMonth = nullptr;
    cmbEvents = nullptr;
    frameDataGrid = frameDate = frameMonth = nullptr;
    GridEX1 = gridTasksDate = GridEX2 = GridEX3 = GridEX4 = nullptr;
    calDay = nullptr;
    Calendar1 = nullptr;
    MonthView1 = nullptr;
    Picture1 = nullptr;
    optAllTasks = optDueTasks = optCompleteTasks = optIncompleteTasks = nullptr;
    actHelpContents = nullptr;
}

// ---------------------------------------------------------------- window events

void frmMain::Form_Load()
{
    StartupDialogsShown = false;
    DayApptRS = ado::Recordset::create();
    curDate = ado::convert::now();
    BuildModeGroup();
    // Open at a size that shows the start mode's groups whole, the frame on
    // the screen; a screen too short for the roomy bar (large text on a
    // laptop) gets the compact one.
    screenFitted_ = false;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        ExplorerBarCtlQV1->setCompact(ExplorerBarCtlQV1->contentHeight() > mainLayout::barHeight(free.height()) - 2);
        const QSize frame = mainLayout::kUsualFrame;
        startGroupsHeight_ = ExplorerBarCtlQV1->contentHeight();
        const QSize size = mainLayout::openingSize(free.size(), startGroupsHeight_, frame);
        widget()->resize(size);
        openedSize_ = size;
        widget()->move(free.topLeft() + QPoint((free.width() - size.width() - frame.width()) / 2,
                                               (free.height() - size.height() - frame.height()) / 2));
    }
    HideAllPanels();
    curFrame = frameDate;
    ShowPanel(frameDate);
    dueMode = views::TaskFilter::Due;
    NewApptTyping = false;
    ArrangePanels();
    ChangeDate(ado::convert::now());
    calDay->setFirstVisibleMinute(420);
}

void frmMain::fitToScreen()
{
    QWidget* w = widget();
    QScreen* screen = w ? w->screen() : nullptr;
    // A size the user chose meanwhile stays.
    if (!screen || w->isMaximized() || w->isFullScreen() || w->size() != openedSize_)
        return;
    // The frame the window manager gave the window, now that it is shown.
    const QRect free = screen->availableGeometry();
    const QRect frame = w->frameGeometry();
    const QSize extra = frame.size() - w->size();
    const QSize size = mainLayout::openingSize(free.size(), startGroupsHeight_, extra);
    if (size.height() != w->height()) {
        w->resize(w->width(), size.height());
        openedSize_ = w->size();
    }
    // Moved as little as keeps the frame on the screen.
    QRect placed(frame.topLeft(), QSize(w->width(), size.height()) + extra);
    placed.moveBottom(qMin(placed.bottom(), free.bottom()));
    placed.moveTop(qMax(placed.top(), free.top()));
    placed.moveRight(qMin(placed.right(), free.right()));
    placed.moveLeft(qMax(placed.left(), free.left()));
    if (placed.topLeft() != frame.topLeft())
        w->move(placed.topLeft());
}

void frmMain::Form_Activate()
{
    if (!screenFitted_) {
        screenFitted_ = true;
        // A window manager tells the frame it gave the window after the
        // window first becomes active, at once or a little later.
        for (int ms : {0, 250})
            QTimer::singleShot(ms, widget(), [this] { ui::guarded([this] { fitToScreen(); }); });
    }
    if (calDay)
        calDay->setFirstVisibleMinute(420);
    if (!StartupDialogsShown)
        ShowStartupDialogs();
}

void frmMain::Form_Resize() { ArrangePanels(); }

void frmMain::Form_QueryUnload(bool& cancel, int)
{
    if (!ConfirmPendingGridEdits())
        cancel = true;
}

void frmMain::Form_Unload(bool& cancel)
{
    // The program ends with its main window: the other windows close first,
    // so none of them is left calling into a window that is gone.
    if (!ui::FormBase::unloadAll(this)) {
        cancel = true;
        return;
    }
    if (quitOnUnload)
        QCoreApplication::quit();
}

// ---------------------------------------------------------------- frame procedures

void frmMain::ShowStartupDialogs()
{
    // The wizard and the tip window are modal; activation when one of them
    // closes must not start the dialogs a second time.
    if (inStartupDialogs_)
        return;
    inStartupDialogs_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inStartupDialogs_};
    if (modQVDatabase::gShowWizard == "Yes")
        frmWizard::instance().Show(ui::vbModal, this);
    if (modQVDatabase::gShowTips == "Yes")
        frmTip::instance().Show(ui::vbModal, this);
    StartupDialogsShown = true;
}

void frmMain::moveAway(QFrame* panel)
{
    setBox(panel, mainLayout::awayPanel(boxOf(panel)));
    // Out of sight must also mean out of reach: no focus, no keys.
    panel->setEnabled(false);
}

void frmMain::HideAllPanels()
{
    if (!isLoaded())
        return;
    for (QFrame* f : {frameDataGrid, frameMonth, frameDate})
        moveAway(f);
}

void frmMain::ShowPanel(QFrame* frame)
{
    if (!isLoaded() || !frame)
        return;
    cmbEvents->setVisible(false);
    lblEvent->setVisible(false);
    if (curFrame && curFrame != frame)
        moveAway(curFrame);
    curFrame = frame;
    setBox(frame, mainLayout::shownPanel(boxOf(frame), outerWidth(), outerHeight()));
    frame->setEnabled(true);
}

void frmMain::ArrangePanels()
{
    if (!isLoaded())
        return;
    const QString name = curFrameName();
    QHash<QString, Box> current;
    QList<QWidget*> parts;
    if (curFrame) {
        parts << curFrame;
        for (QObject* c : curFrame->children())
            if (auto* cw = qobject_cast<QWidget*>(c); cw && boxes_.contains(cw))
                parts << cw;
    }
    for (QWidget* p : parts)
        current.insert(p->objectName(), boxOf(p));
    const auto a = mainLayout::arrangePanels(name, outerWidth(), outerHeight(), current);
    if (!a)
        return;
    Box bar = boxOf(ExplorerBarCtlQV1);
    bar.height = a->navHeight;
    setBox(ExplorerBarCtlQV1, bar);
    for (QWidget* p : parts)
        if (a->boxes.contains(p->objectName()))
            setBox(p, a->boxes.value(p->objectName()));
}

bool frmMain::ConfirmPendingGridEdits()
{
    if (!isLoaded())
        return true;
    for (grid::GridEX* g : {GridEX1, gridTasksDate}) {
        if (!g->editPending())
            continue;
        // The messages take the focus; the open cell editor must not write
        // itself on losing it, nor close.
        HoldGridEditors hold({GridEX1, gridTasksDate});
        const int answer = ui::MsgBox("Data in the current record has changed.\nDo you want to save the changes?",
                                      ui::vbYesNoCancel | ui::vbInformation, ui::appTitle(), widget());
        if (answer == ui::vbYes) {
            if (!g->writeCurrentRow()) {
                // Nothing typed is lost: the window stays with the edit open.
                ui::RefusedSave(g->lastEditError(), widget());
                return false;
            }
        } else if (answer == ui::vbCancel) {
            // Keep the window, and the edit, as they are.
            return false;
        } else {
            g->cancelEdit();
        }
    }
    if (calDay->isEditing())
        calDay->commitEdit();  // its AfterEdit saves the entry
    else if (calDay->currentEntry() >= 0)
        SaveDayViewAppointment(calDay->currentEntry());
    return true;
}

bool frmMain::LeavePendingEdits()
{
    if (!isLoaded())
        return true;
    for (grid::GridEX* g : {GridEX1, gridTasksDate})
        if (g->editPending() && !g->writeCurrentRow())
            return ConfirmPendingGridEdits();
    if (calDay->isEditing())
        calDay->commitEdit();
    return true;
}

// ---------------------------------------------------------------- navigation bar groups

// The groups live in the bar, which goes with the window: on a closed window
// the builders do nothing.
void frmMain::withBar(void (*build)(navgroups::NavContext&))
{
    if (isLoaded() && nav_.bar)
        build(nav_);
}

void frmMain::BuildModeGroup() { withBar(navgroups::BuildModeGroup); }
void frmMain::BuildCalendarGroups() { withBar(navgroups::BuildCalendarGroups); }
void frmMain::BuildTaskGroup() { withBar(navgroups::BuildTaskGroup); }
void frmMain::BuildEventGroup() { withBar(navgroups::BuildEventGroup); }
void frmMain::BuildGuestGroup() { withBar(navgroups::BuildGuestGroup); }
void frmMain::BuildRSVPGroup() { withBar(navgroups::BuildRSVPGroup); }
void frmMain::BuildVendorGroup() { withBar(navgroups::BuildVendorGroup); }
void frmMain::BuildBudgetGroup() { withBar(navgroups::BuildBudgetGroup); }
void frmMain::BuildAttireGroup() { withBar(navgroups::BuildAttireGroup); }
void frmMain::BuildGiftGroup() { withBar(navgroups::BuildGiftGroup); }
void frmMain::BuildTaskInfoGroup() { withBar(navgroups::BuildTaskInfoGroup); }
void frmMain::RemoveModeGroups() { withBar(navgroups::RemoveModeGroups); }
