// The navigation bar's groups: every group and item as the program shows
// them, the groups of each mode, hosted controls surviving a change of mode,
// and the Task Info counts.

#include "support/datamode.h"
#include "support/fixture.h"

#include "app/navgroups.h"
#include "platform/ado/ado.h"

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QPointer>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace navgroups;
using navbar::ExplorerBar;

namespace {

// Each group of the full bar and its items in order; ":n" is an item's
// spacing where it is not the bar's default. Captions and tooltips are texts
// of the program's own table and are not repeated here.
const std::pair<const char*, const char*> kGroups[] = {
    {"MODE", "CALENDARMODE TASKMODE EVENTMODE GUESTMODE RSVPMODE VENDORMODE BUDGETMODE ATTIREMODE GIFTMODE"},
    {"CALENDARCONTROL", "CONTROLMONTH:6 CONTROLTASK:6"},
    {"CALENDAR", "TODAY:4 MONTHVIEW:4 ADDAPPOINTMENT:4 PRINTTODAY:4 PRINTMONTH:4"},
    {"TASKINFO", "TASKMODEDUE TASKMODECOMPLETE TASKMODEINCOMPLETE TASKMODEALL"},
    {"TASKS", "AUTOADDTASKS DUETASKS ALLTASKS INCOMPLETETASKS COMPLETETASKS ADDTASK DELETETASK TASKREPORT"},
    {"EVENTS", "VIEWEVENTS ADDEVENT MODIFYEVENT DELETEEVENT EVENTREPORT"},
    {"GUESTS", "VIEWGUESTS GUESTADDRESSES ADDGUEST MODIFYGUESTS DELETEGUEST GUESTREPORT IMPORTGUESTS EXPORTGUESTS"},
    {"RSVP", "RSVPSTATUS INVITATIONS SEATING RSVPREPORT LABELS PLACARDS"},
    {"VENDORS", "VIEWVENDOR ADDVENDOR MODIFYVENDOR DELETEVENDOR VENDORREPORT:10 VIEWQUOTES ADDQUOTE MODIFYQUOTE "
                "DELETEQUOTE QUOTEREPORT"},
    {"BUDGET", "BUDGET AUTOADDBUDGET ADDBUDGET MODIFYBUDGET DELETEBUDGET BUDGETREPORT:10 EXPENSES ADDEXPENSE "
               "MODIFYEXPENSE DELETEEXPENSE EXPENSEREPORT"},
    {"ATTIRE", "VIEWATTIRE ADDATTIRE MODIFYATTIRE DELETEATTIRE ATTIREREPORT:10 FEMALEMEASUREMENTS MALEMEASUREMENTS "
               "ADDFEMALEMEASUREMENT ADDMALEMEASUREMENT MODIFYMEASUREMENT DELETEMEASUREMENT MEASUREMENTREPORT"},
    {"GIFT", "VIEWGIFTS ADDGIFT MODIFYGIFT DELETEGIFT GIFTREPORT:10 VIEWREGISTRY ADDREGISTRY MODIFYREGISTRY "
             "DELETEREGISTRY REGISTRYREPORT"},
};

// A stand-in for the main window: the bar, the two hosted controls and
// what the builders write back.
class NavGroupsTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        db().Execute("DELETE FROM TASKS");
        bar = new ExplorerBar(&window);
        bar->setControlHome(&window);
        month = new QCalendarWidget(&window);
        box = new QWidget(&window);
        auto* v = new QVBoxLayout(box);
        for (const char* t : {"All Tasks", "Due Tasks", "Complete", "Incomplete"}) {
            auto* opt = new QRadioButton(t, box);
            v->addWidget(opt);
            ctx.taskOptions << opt;
        }
        ctx.bar = bar;
        ctx.monthView = month;
        ctx.taskControl = box;
        ctx.setModePicture = [this](int n) { pictures << n; };
        ctx.setMainMode = [this](views::MainMode m) { mainMode = testsupport::mainModeName(m); };
        ctx.curDate = [this] { return curDate; };
    }

    void addTask(const QString& name, const QString& due, bool complete)
    {
        db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_COMPLETE) VALUES (?, ?, ?)",
                     {name, due.isEmpty() ? QVariant() : QVariant(due), complete ? 1 : 0});
    }
    QStringList captions(const QString& group)
    {
        QStringList out;
        navbar::Group* g = bar->group(group);
        for (int i = 0; g && i < g->itemCount(); ++i)
            out << g->item(i)->caption();
        return out;
    }

    QWidget window;
    ExplorerBar* bar = nullptr;
    QCalendarWidget* month = nullptr;
    QWidget* box = nullptr;
    NavContext ctx;
    QList<int> pictures;
    QString mainMode;
    QDateTime curDate{QDate(2026, 6, 13), QTime(9, 0)};
};

TEST_F(NavGroupsTest, EveryGroupAndItemAsShown)
{
    BuildModeGroup(ctx);
    BuildTaskGroup(ctx);  // TASKINFO is already there: only TASKS is added
    for (auto build : {BuildEventGroup, BuildGuestGroup, BuildRSVPGroup, BuildVendorGroup, BuildBudgetGroup,
                       BuildAttireGroup, BuildGiftGroup})
        build(ctx);

    QStringList keys;
    for (const auto& [group, items] : kGroups)
        keys << group;
    ASSERT_EQ(bar->groupKeys(), keys);
    for (const auto& [group, items] : kGroups) {
        SCOPED_TRACE(group);
        navbar::Group* g = bar->group(group);
        EXPECT_FALSE(g->caption().trimmed().isEmpty());
        EXPECT_EQ(g->collapsible(), std::string(group) != "CALENDARCONTROL");
        QStringList shown;
        for (int i = 0; i < g->itemCount(); ++i) {
            const navbar::Item* it = g->item(i);
            SCOPED_TRACE(it->key().toStdString());
            EXPECT_FALSE(it->caption().isEmpty());
            EXPECT_EQ(it->kind(), std::string(group) == "CALENDARCONTROL" ? navbar::ItemControl : navbar::ItemCommand);
            EXPECT_EQ(it->style(), std::string(group) == "TASKINFO" ? navbar::StyleCount : navbar::StyleNormal);
            shown << (it->spacing() == navbar::kDefaultSpacing ? it->key()
                                                                : it->key() + ":" + QString::number(it->spacing()));
        }
        EXPECT_EQ(shown.join(' '), items);
    }
    EXPECT_EQ(bar->findItem("CONTROLMONTH")->control(), month);
    EXPECT_EQ(bar->findItem("CONTROLTASK")->control(), box);
    EXPECT_TRUE(bar->redraw());
    EXPECT_NE(bar->pictureStore(), nullptr);
}

TEST_F(NavGroupsTest, GroupsPerModeAndWhatEachBuilderSets)
{
    BuildModeGroup(ctx);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_EQ(pictures, QList<int>({1}));

    struct Case {
        const char* mode;
        void (*build)(NavContext&);
        QStringList groups;
        int picture;         // 0: picMode left alone
        const char* mainMode;  // "" : left alone
    };
    const Case cases[] = {
        {"Tasks", BuildTaskGroup, {"MODE", "TASKS", "TASKINFO"}, 0, ""},
        {"Events", BuildEventGroup, {"MODE", "EVENTS"}, 15, ""},
        {"Guests", BuildGuestGroup, {"MODE", "GUESTS"}, 20, "Guests"},
        {"RSVP", BuildRSVPGroup, {"MODE", "RSVP"}, 28, "RSVP"},
        {"Vendors", BuildVendorGroup, {"MODE", "VENDORS"}, 0, ""},
        {"Budget", BuildBudgetGroup, {"MODE", "BUDGET"}, 0, ""},
        {"Attire", BuildAttireGroup, {"MODE", "ATTIRE"}, 0, ""},
        {"Gifts", BuildGiftGroup, {"MODE", "GIFT"}, 68, ""},
        {"Calendar", BuildCalendarGroups, {"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        pictures.clear();
        mainMode = "unchanged";
        RemoveModeGroups(ctx);
        EXPECT_EQ(bar->groupKeys(), QStringList({"MODE"}));
        c.build(ctx);
        EXPECT_EQ(bar->groupKeys(), c.groups);
        EXPECT_EQ(pictures, c.picture ? QList<int>({c.picture}) : QList<int>());
        EXPECT_EQ(mainMode, *c.mainMode ? QString(c.mainMode) : QString("unchanged"));
        EXPECT_TRUE(bar->redraw());
    }
    // Removing from a bar that holds only MODE removes nothing.
    RemoveModeGroups(ctx);
    RemoveModeGroups(ctx);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE"}));
    EXPECT_EQ(bar->group("MODE")->itemCount(), 9);
}

TEST_F(NavGroupsTest, HostedControlsSurviveModeChangesAndComeBack)
{
    QPointer<QWidget> watchMonth(month), watchBox(box);
    BuildModeGroup(ctx);
    EXPECT_TRUE(bar->isAncestorOf(month));
    EXPECT_TRUE(bar->isAncestorOf(box));
    // the options take the box's colour, the month picker the group's
    for (QWidget* opt : ctx.taskOptions)
        EXPECT_EQ(opt->palette().color(QPalette::Window), box->palette().color(QPalette::Window));
    EXPECT_EQ(month->palette().color(QPalette::Window), bar->groupColor(true));

    for (int round = 0; round < 3; ++round) {
        RemoveModeGroups(ctx);
        BuildEventGroup(ctx);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(watchMonth && watchBox) << "a hosted control was deleted";
        EXPECT_EQ(month->parentWidget(), &window);
        EXPECT_EQ(box->parentWidget(), &window);
        EXPECT_TRUE(month->isHidden());
        EXPECT_TRUE(box->isHidden());

        RemoveModeGroups(ctx);
        BuildCalendarGroups(ctx);
        EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
        EXPECT_EQ(bar->findItem("CONTROLMONTH")->control(), month) << "the same control object again";
        EXPECT_TRUE(bar->isAncestorOf(month));
        EXPECT_TRUE(bar->isAncestorOf(box));
        EXPECT_FALSE(month->isHidden());
    }
}

TEST_F(NavGroupsTest, TaskCountsAtTheShownDate)
{
    BuildModeGroup(ctx);
    EXPECT_EQ(captions("TASKINFO"), QStringList({"0 Tasks Due", "0 Complete", "0 Incomplete", "0 Total Tasks"}));

    addTask("Overdue", "2026-06-01 00:00:00", false);
    addTask("Due this morning", "2026-06-13 00:00:00", false);
    addTask("Due this afternoon", "2026-06-13 14:30:00", false);
    addTask("Due tomorrow", "2026-06-14 00:00:00", false);
    addTask("Done long ago", "2026-05-01 00:00:00", true);
    addTask("Done today", "2026-06-13 10:00:00", true);
    addTask("No date yet", "", false);

    // Counts are taken when the group is built, not before.
    EXPECT_EQ(captions("TASKINFO").first(), "0 Tasks Due");
    RemoveModeGroups(ctx);
    BuildTaskGroup(ctx);
    EXPECT_EQ(captions("TASKINFO"), QStringList({"3 Tasks Due", "2 Complete", "5 Incomplete", "7 Total Tasks"}));

    // The day shown, not today, decides what is due.
    struct Case {
        QDate day;
        qlonglong due;
    };
    for (const Case& c : {Case{QDate(2026, 5, 31), 0}, Case{QDate(2026, 6, 12), 1}, Case{QDate(2026, 6, 14), 4},
                          Case{QDate(2030, 1, 1), 4}}) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        curDate = ado::convert::wallClock(c.day, QTime(23, 59, 59));
        RemoveModeGroups(ctx);
        BuildCalendarGroups(ctx);
        EXPECT_EQ(captions("TASKINFO").first(), QString::number(c.due) + " Tasks Due");
        const TaskCounts direct = CountTasks(db(), c.day);
        EXPECT_EQ(direct.due, c.due);
        EXPECT_EQ(direct.all, 7);
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(NavGroupsTest, FailingCountsLeaveTheBarDrawnWithOneMessage)
{
    db().Execute("DROP TABLE TASKS");
    BuildModeGroup(ctx);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "CALENDARCONTROL", "CALENDAR", "TASKINFO"}));
    EXPECT_EQ(bar->group("TASKINFO")->itemCount(), 0);
    EXPECT_TRUE(bar->redraw()) << "drawing resumed after the failure";
    EXPECT_EQ(pictures, QList<int>({1}));

    // The next mode change works as usual, and says so once more.
    RemoveModeGroups(ctx);
    BuildTaskGroup(ctx);
    EXPECT_EQ(bar->groupKeys(), QStringList({"MODE", "TASKS", "TASKINFO"}));
    EXPECT_EQ(messages.msgs->shown.size(), 2);
}

}  // namespace
