// The view procedures of the main window on a database with rows in every
// table: what each view shows, the task filter on the three panels, the
// event chooser, and the refresh after an editor changed rows.

#include "support/datamode.h"
#include "support/fixture.h"
#include "support/modelcheck.h"
#include "views/viewdata.h"
#include "views/viewtable.h"

#include "app/frmMain.h"
#include "platform/grid/gridex.h"
#include "records/notices.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include <functional>

namespace {

frmMain& f() { return frmMain::instance(); }

class MainViewsTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        viewdata::seedEveryTable();
        if (!f().isLoaded())
            f().Load();
        f().ShowPanel(f().frameDataGrid);
        lists[2] = f().GridEX2;
        lists[3] = f().GridEX3;
        lists[4] = f().GridEX4;
        for (grid::GridEX* g : {f().GridEX1, lists[2], lists[3], lists[4]})
            checks.push_back(std::make_unique<testsupport::ModelCheck>(g->model()));
    }
    void TearDown() override
    {
        checks.clear();
        DbTest::TearDown();
    }
    grid::GridEX* lists[5] = {};
    std::vector<std::unique_ptr<testsupport::ModelCheck>> checks;

    static QList<qlonglong> keys(const ado::RecordsetPtr& rs)
    {
        QList<qlonglong> out;
        for (int r = 0; rs && r < rs->RecordCount(); ++r)
            out << rs->cell(r, 0).toLongLong();
        return out;
    }
    static QString checkedOption()
    {
        for (QRadioButton* o : {f().optAllTasks, f().optDueTasks, f().optCompleteTasks, f().optIncompleteTasks})
            if (o->isChecked())
                return o->objectName();
        return {};
    }
};

}  // namespace

TEST_F(MainViewsTest, EveryViewAsTheUserSeesIt)
{
    const QMap<QString, std::function<void()>> procedures = {
        {"AllTasks", [] { f().ShowTasks(views::TaskFilter::All, ado::convert::now()); }},
        {"Events", [] { f().ShowEvents(); }},
        {"RSVP", [] { f().ShowRSVP(); }},
        {"Guests", [] { f().ShowPeople(); }},
        {"Addresses", [] { f().ShowAddresses(); }},
        {"Vendors", [] { f().ShowVendors(); }},
        {"Quotes", [] { f().ShowQuotes(); }},
        {"Expenses", [] { f().ShowExpenses(); }},
        {"Budget", [] { f().ShowBudget(); }},
        {"Attire", [] { f().ShowAttire(); }},
        {"Gifts", [] { f().ShowGifts(); }},
        {"Registry", [] { f().ShowRegistry(); }},
        {"FemaleMeasurement", [] { f().ShowMeasurementsFemale(); }},
        {"MaleMeasurement", [] { f().ShowMeasurementsMale(); }},
    };
    for (const viewtable::Expected& e : viewtable::expected()) {
        SCOPED_TRACE(e.key.toStdString());
        const QString mainBefore = testsupport::mainModeName(f().curMainMode);
        ASSERT_TRUE(procedures.contains(e.key));
        procedures[e.key]();
        EXPECT_EQ(views::dataModeName(f().curDataMode), e.key);
        EXPECT_EQ(testsupport::mainModeName(f().curMainMode), e.mainMode.isEmpty() ? mainBefore : e.mainMode);
        EXPECT_EQ(f().lblMode->text(), e.title);
        if (e.picture) {
            EXPECT_EQ(f().picMode->property("pictureNumber").toInt(), e.picture);
            EXPECT_FALSE(f().picMode->pixmap().isNull());
        }
        viewtable::checkGrid(e, *f().GridEX1, lists);
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(MainViewsTest, TaskFilterOnTheThreePanels)
{
    viewdata::seedTaskMatrix();
    // Were a filter option chosen from code to run the view again, it would
    // do so with this day, which lists no task at all.
    f().curDate = ado::convert::wallClock(QDate(2000, 1, 1), QTime());
    f().optAllTasks->setChecked(true);

    struct Case {
        QString panel, word;  // the filter's word
        QString key, option;
        QList<qlonglong> tasks;
    } cases[] = {
        {"frameDataGrid", "Due", "DueTasks", "optDueTasks", {1, 2, 3}},
        {"frameDataGrid", "Complete", "CompleteTasks", "optCompleteTasks", {5, 6}},
        {"frameDate", "Incomplete", "IncompleteTasks", "optIncompleteTasks", {1, 2, 3, 4}},
        {"frameDate", "Due", "DueTasks", "optDueTasks", {1, 2, 3}},
        {"frameMonth", "All", "AllTasks", "optAllTasks", {5, 1, 2, 3, 4, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.panel + " " + c.word).toStdString());
        QFrame* panel = c.panel == "frameDataGrid" ? f().frameDataGrid
                        : c.panel == "frameDate"   ? f().frameDate
                                                   : f().frameMonth;
        f().ShowPanel(f().frameDataGrid);
        f().ShowPeople();
        const ado::RecordsetPtr people = f().PeopleRS;
        const ado::RecordsetPtr dayTasks = f().gridTasksDate->recordset();
        f().ShowPanel(panel);

        f().ShowTasks(testsupport::taskFilterNamed(c.word), viewdata::dayD());
        EXPECT_EQ(f().dueMode, testsupport::taskFilterNamed(c.word));
        EXPECT_EQ(views::dataModeName(f().curDataMode), c.key);
        EXPECT_EQ(f().curMainMode, views::MainMode::Tasks);
        EXPECT_EQ(checkedOption(), c.option);
        EXPECT_EQ(keys(f().TaskRS), c.tasks);
        if (c.panel == "frameDataGrid") {
            EXPECT_EQ(f().GridEX1->recordset(), f().TaskRS);
            EXPECT_EQ(f().GridEX1->columnWidth(3), 3400);
            EXPECT_EQ(f().GridEX1->columnDropDown(5), f().GridEX3);
        } else if (c.panel == "frameDate") {
            EXPECT_EQ(f().gridTasksDate->recordset(), f().TaskRS);
            EXPECT_TRUE(f().gridTasksDate->isColumnHidden(1));
            EXPECT_EQ(f().gridTasksDate->columnDropDown(7), f().GridEX4);
            EXPECT_EQ(f().GridEX1->recordset(), people) << "the main grid keeps what it showed";
        } else {
            EXPECT_EQ(f().GridEX1->recordset(), people);
            EXPECT_EQ(f().gridTasksDate->recordset(), dayTasks) << "no grid is bound";
        }
    }
}

TEST_F(MainViewsTest, EventChooserKeepsItsChoiceAndNeverRunsTheViewFromCode)
{
    f().ShowVendors();
    f().FillEventCombo();
    EXPECT_EQ(f().curDataMode, views::DataMode::Vendors) << "filling the chooser runs no view";
    ASSERT_EQ(f().cmbEvents->count(), 2);
    EXPECT_EQ(f().cmbEvents->itemText(0), "Wedding");
    EXPECT_EQ(f().SelectedEventID, 901);
    EXPECT_TRUE(f().EventComboLoaded);

    // The user picks the second event.
    f().cmbEvents->setCurrentIndex(1);
    f().cmbEvents_Click();
    EXPECT_EQ(f().SelectedEventID, 902);
    EXPECT_EQ(f().curDataMode, views::DataMode::RSVP);
    EXPECT_EQ(f().GridEX1->recordset()->RecordCount(), 3) << "every event's invitations";

    f().ShowVendors();
    f().FillEventCombo();
    EXPECT_EQ(f().cmbEvents->currentIndex(), 1);
    EXPECT_EQ(f().SelectedEventID, 902);
    EXPECT_EQ(f().curDataMode, views::DataMode::Vendors);

    db().Execute("DELETE FROM EVENT WHERE EVENT_ID = 902");
    f().FillEventCombo();
    EXPECT_EQ(f().cmbEvents->count(), 1);
    EXPECT_EQ(f().SelectedEventID, 901);

    db().Execute("DELETE FROM EVENT");
    f().FillEventCombo();
    EXPECT_EQ(f().cmbEvents->count(), 0);
    EXPECT_EQ(f().SelectedEventID, 901);
    EXPECT_NO_THROW(f().ShowRSVP());
    EXPECT_EQ(f().GridEX1->recordset()->RecordCount(), 0);
}

TEST_F(MainViewsTest, EventListStaysAListOfEvents)
{
    f().FillEventCombo();
    const ado::RecordsetPtr events = f().ddEventRS;
    f().ShowTasks(views::TaskFilter::All, viewdata::dayD());
    f().ShowBudget();
    EXPECT_EQ(f().ddEventRS, events) << "standard events go to a list of their own";
    EXPECT_EQ(f().GridEX2->valueColumn(), "STDEVENT_TEXT");
    f().ShowExpenses();
    ASSERT_TRUE(f().ddEventRS->isOpen());
    EXPECT_GE(f().ddEventRS->fieldIndex("EVENT_ID"), 0);
    EXPECT_EQ(f().ddEventRS->cell(0, 1).toString(), "Rehearsal") << "ordered by name";
}

TEST_F(MainViewsTest, RefreshAfterAnEditorKeepsTheViewShown)
{
    f().ShowPanel(f().frameDataGrid);
    f().ShowTasks(views::TaskFilter::All, viewdata::dayD());
    const ado::RecordsetPtr tasks = f().TaskRS;
    f().ShowPeople();
    db().Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME) VALUES (3, 'Eve')");
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('late one')");

    // A task editor confirmed after the switch: its rows are read again but
    // stay out of the guests view.
    emit records::notices().rowsChanged(records::MainList::Tasks);
    EXPECT_EQ(tasks->RecordCount(), 2);
    EXPECT_EQ(f().GridEX1->recordset(), f().PeopleRS);
    EXPECT_EQ(f().GridEX1->columnCaption(3), "Party Name");

    // The guests' own change shows in the view, which keeps its columns.
    emit records::notices().rowsChanged(records::MainList::People);
    EXPECT_EQ(f().GridEX1->totalText(3), "Guests: 5");
    EXPECT_EQ(f().GridEX1->columnWidth(3), 3000);
}

TEST_F(MainViewsTest, CardViewsAndSettingsLeftAsTheLastViewSetThem)
{
    // The quote cards take the grid's width at the time the view is shown.
    for (int width : {6000, 9000}) {
        f().GridEX1->setWidthTwips(width);
        f().ShowQuotes();
        EXPECT_NEAR(f().GridEX1->cardWidth(), width, 15);
        EXPECT_EQ(f().GridEX1->cardCaptionColumn(), 2);
        EXPECT_EQ(f().GridEX1->cardsAcross(), 1);
    }
    f().ShowAddresses();
    EXPECT_EQ(f().GridEX1->cardWidth(), 3000);
    EXPECT_EQ(f().GridEX1->cardsAcross(), 3);
    EXPECT_EQ(f().GridEX1->cardCaptionColumn(), 2);

    // The events view sets no total row: the guests view's stays on.
    f().ShowPeople();
    f().ShowEvents();
    EXPECT_EQ(f().GridEX1->totalRow(), 2);
    // The quotes view leaves the settings the expense view gave.
    f().ShowRSVP();
    EXPECT_FALSE(f().GridEX1->settingS1());
    f().ShowExpenses();
    f().ShowQuotes();
    EXPECT_TRUE(f().GridEX1->settingS1());
    EXPECT_EQ(f().GridEX1->totalRow(), 2);
}

TEST_F(MainViewsTest, GuestsGroupedByPartyAddressesOnePerParty)
{
    f().ShowPeople();
    grid::GridEX& g = *f().GridEX1;
    // Jones (one person), then the Smith Family (three); the party without
    // people has no row here.
    ASSERT_EQ(g.rowCount(), 6);
    EXPECT_EQ(g.rowKind(1), grid::RowKind::GroupHeader);
    EXPECT_EQ(g.rowKind(3), grid::RowKind::GroupHeader);
    EXPECT_EQ(g.firstRecordRow(3), 4);
    EXPECT_EQ(g.value(4, 1).toLongLong(), 1);
    EXPECT_EQ(g.value(4, 4).toString(), "Anna");
    EXPECT_EQ(g.currentRow(), 1);

    f().ShowAddresses();
    EXPECT_EQ(f().PeopleRS->RecordCount(), 3);
    EXPECT_EQ(f().GridEX1->rowCount(), 3);
}
