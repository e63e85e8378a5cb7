// The event editor's record: the new event's row made as it opens, loading,
// saving (refused and vanished rows too), the tabs offered by the four
// answers, and how a second opening request is met.

#include "events/event_support.h"

#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "views/frmPreview.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

using testsupport::EventEditorTest;

namespace {

// Counts EVENT rows at the moment the editor's window first shows.
class ShowProbe : public QObject {
public:
    explicit ShowProbe(std::function<void()> f) : f_(std::move(f)) { qApp->installEventFilter(this); }
    ~ShowProbe() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == "frmEventInfo")
            f_();
        return false;
    }

private:
    std::function<void()> f_;
};

std::string today(const char* time) { return (QDate::currentDate().toString("yyyy-MM-dd") + ' ' + time).toStdString(); }

}  // namespace

TEST_F(EventEditorTest, ANewEventsRowExistsBeforeTheWindowShowsAndCancelKeepsIt)
{
    qlonglong rowsAtShow = -1;
    ShowProbe probe([&] { rowsAtShow = count("SELECT COUNT(*) FROM EVENT"); });
    frmEventInfo& e = add();
    ASSERT_TRUE(e.isLoaded());
    EXPECT_EQ(rowsAtShow, 1);
    const qint64 id = e.curEvent;
    EXPECT_EQ(row("SELECT EVENT_NAME, EVENT_LOCATION, EVENT_DIRECTIONS, EVENT_STARTDATE, EVENT_ENDDATE, EVENT_HASFOOD "
                  "+ EVENT_HASDECORATION + EVENT_HASMUSIC + EVENT_HASPLAYSCRIPT FROM EVENT WHERE EVENT_ID = ?",
                  {id}),
              "|||" + today("12:00:00") + "|" + today("12:00:00") + "|0");
    EXPECT_EQ(logRows("EVENT", id, 1), 1) << "the other copy receives the event";

    EXPECT_EQ(tabs(), QStringList({"Overview", "Location"}));
    EXPECT_EQ(e.frontPage(), e.fraOverview);
    for (QRadioButton* no : {e.optNoMenu, e.optNoDecoration, e.optNoMusic, e.optNoPlayscript})
        EXPECT_TRUE(no->isChecked()) << no->objectName().toStdString();
    EXPECT_EQ(e.dtStartTime->time(), QTime(12, 0));

    click(e.cmdCancel);
    EXPECT_FALSE(e.isLoaded());
    EXPECT_EQ(e.curEvent, 0);
    EXPECT_EQ(e.curMode, frmEventInfo::Mode::Add);
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT WHERE EVENT_ID = ?", {id}), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 1);
    EXPECT_EQ(m().GridEX1->value(m().GridEX1->rowCount(), 1).toLongLong(), id) << "the events grid shows the kept row";
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(EventEditorTest, SaveStoresTheTypedRecordAsIsoTextAndLogsItOnce)
{
    struct Case {
        const char* name;
        bool isNew;
        int action;   // the event's one log row
    } cases[] = {{"new event", true, 1}, {"existing event", false, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frmEventInfo& e = c.isNew ? add() : edit(event("Old name", false));
        ASSERT_TRUE(e.isLoaded());
        const qint64 id = e.curEvent;
        e.txtName->clear();
        QTest::keyClicks(e.txtName, "Rehearsal Dinner");
        e.dtStartDate->setDate(QDate(2004, 6, 12));
        e.dtStartTime->setTime(QTime(14, 30, 45));
        e.dtEndDate->setDate(QDate(2004, 6, 13));
        e.dtEndTime->setTime(QTime(0, 5));
        e.txtBudget->setText("about 1,200");
        e.txtNotes->setPlainText("Back room");
        clickTab("Location");
        EXPECT_EQ(e.frontPage(), e.fraLocation);
        QTest::keyClicks(e.txtLocation, "Rosa's");
        e.txtDirections->setPlainText("Second left");
        clickTab("Overview");
        QTest::mouseClick(e.optYesMusic, Qt::LeftButton);
        click(e.cmdSave);
        EXPECT_FALSE(e.isLoaded());

        // No seconds are stored.
        EXPECT_EQ(row("SELECT EVENT_NAME, EVENT_STARTDATE, EVENT_ENDDATE, EVENT_BUDGET, EVENT_TEXT, EVENT_LOCATION, "
                      "EVENT_DIRECTIONS, EVENT_HASFOOD, EVENT_HASMUSIC FROM EVENT WHERE EVENT_ID = ?",
                      {id}),
                  "Rehearsal Dinner|2004-06-12 14:30:00|2004-06-13 00:05:00|about 1,200|Back room|Rosa's|Second "
                  "left|false|true");
        EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'EVENT' AND SYNCHRO_RECORDID = ?", {id}), 1);
        EXPECT_EQ(logRows("EVENT", id, c.action), 1);
        EXPECT_EQ(m().curDataMode, views::DataMode::Events);
        EXPECT_EQ(m().GridEX1->text(m().GridEX1->rowCount(), 2), "Rehearsal Dinner") << "the view shows the save";
    }
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(EventEditorTest, ARefusedSaveKeepsTheWindowAndAVanishedEventIsNeverInsertedAgain)
{
    const qint64 id = event("Shower");
    db().Execute("CREATE TRIGGER locked BEFORE UPDATE ON EVENT BEGIN SELECT RAISE(ABORT, 'locked by another'); END");
    frmEventInfo& e = edit(id);
    e.txtName->setText("Bridal Shower");
    click(e.cmdSave);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The changes could not be saved."));
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("locked by another"));
    EXPECT_TRUE(e.isLoaded());
    EXPECT_EQ(e.txtName->text(), "Bridal Shower");
    EXPECT_EQ(db().scalar("SELECT EVENT_NAME FROM EVENT").toString(), "Shower");
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 0) << "no log row without its write";

    db().Execute("DROP TRIGGER locked");
    db().Execute("DELETE FROM EVENT");
    click(e.cmdSave);
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_EQ(messages.msgs->shown[1].text, "This event has been deleted, so it cannot be saved.");
    EXPECT_FALSE(e.isLoaded());
    EXPECT_EQ(testsupport::counts("EVENT SYNCHRO"), "0 0");
}

TEST_F(EventEditorTest, TheTabsFollowTheFourAnswersInTheirFixedOrder)
{
    const qint64 id = event("Reception");
    db().Execute("INSERT INTO EVENT_MUSIC (EVENT_ID, EVENT_MUSIC_ORDER, EVENT_MUSIC_TITLE) VALUES (?, 1, 'Waltz')", {id});
    frmEventInfo& e = edit(id);
    EXPECT_EQ(tabs(), QStringList({"Overview", "Location", "Menu", "Decorations", "Music", "Playscript"}));
    EXPECT_EQ(e.frontPage(), e.fraOverview);

    const std::pair<QRadioButton*, QRadioButton*> answers[] = {{e.optYesMenu, e.optNoMenu},
                                                               {e.optYesDecoration, e.optNoDecoration},
                                                               {e.optYesMusic, e.optNoMusic},
                                                               {e.optYesPlayscript, e.optNoPlayscript}};
    const char* names[] = {"Menu", "Decorations", "Music", "Playscript"};
    // Every combination, answered from the last question up.
    for (int mask = 0; mask < 16; ++mask) {
        QStringList expected = {"Overview", "Location"};
        for (int q = 3; q >= 0; --q)
            QTest::mouseClick((mask >> q & 1) ? answers[q].first : answers[q].second, Qt::LeftButton);
        for (int q = 0; q < 4; ++q)
            if (mask >> q & 1)
                expected << names[q];
        EXPECT_EQ(tabs(), expected) << mask;
        EXPECT_EQ(e.frontPage(), e.fraOverview);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT_MUSIC"), 1) << "No hides the page, not the rows";
    EXPECT_EQ(count("SELECT EVENT_HASMUSIC FROM EVENT"), 1) << "nothing saved until Save";
}

TEST_F(EventEditorTest, OpeningRequestsWhileOpenAndModesThatMakeANewEvent)
{
    const qint64 a = event("Ceremony"), b = event("Brunch");
    // Add with a key left from an earlier opening: a new event.
    f().curMode = frmEventInfo::Mode::Add;
    f().curEvent = a;
    f().Show(ui::vbModeless);
    EXPECT_NE(f().curEvent, a);
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT"), 3);
    EXPECT_EQ(f().txtName->text(), "");
    click(f().cmdCancel);

    frmEventInfo& e = edit(a);
    ASSERT_EQ(e.txtName->text(), "Ceremony");
    EXPECT_EQ(e.dtStartDate->date(), QDate(2004, 6, 12));
    EXPECT_EQ(e.dtStartTime->time(), QTime(14, 30));
    // Modify on another row, and Add, while the editor is open.
    edit(b);
    EXPECT_EQ(e.curEvent, a);
    EXPECT_EQ(e.curMode, frmEventInfo::Mode::Edit);
    m().ExplorerBarCtlQV1->clickItem("ADDEVENT");
    EXPECT_EQ(e.curEvent, a);
    EXPECT_EQ(e.txtName->text(), "Ceremony");
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT"), 3) << "no event made";
    // Also while it is hidden behind the preview of a list.
    clickTab("Menu");
    click(e.lists[events::Menu].cmdPrint);
    ASSERT_FALSE(e.window()->isVisible());
    m().ExplorerBarCtlQV1->clickItem("ADDEVENT");
    EXPECT_EQ(e.curEvent, a);
    QTest::mouseClick(frmPreview::instance().gridPreview->closeButton(), Qt::LeftButton);
    ASSERT_TRUE(e.window()->isVisible());
    EXPECT_EQ(e.frontPage(), e.lists[events::Menu].frame) << "back on the same page";
    activate();
    typeRow(e.lists[events::Menu].grid, "Salmon");
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT_FOOD WHERE EVENT_ID = ?", {a}), 1) << "the list stays the shown event's";
    e.window()->close();
    EXPECT_FALSE(e.isLoaded());
    EXPECT_EQ(e.curEvent, 0);

    // An event deleted before it opens, and a new event that cannot be made.
    db().Execute("DELETE FROM EVENT WHERE EVENT_ID = ?", {b});
    f().curMode = frmEventInfo::Mode::Edit;
    f().curEvent = b;
    f().Show(ui::vbModeless);
    EXPECT_FALSE(f().isLoaded());
    db().Execute("CREATE TRIGGER full BEFORE INSERT ON EVENT BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    const qlonglong logs = count("SELECT COUNT(*) FROM SYNCHRO");
    add();
    EXPECT_FALSE(f().isLoaded());
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), logs);
    ASSERT_EQ(messages.msgs->shown.size(), 2);
    EXPECT_EQ(messages.msgs->shown[0].text, "This event no longer exists. It may have been deleted.");
    EXPECT_TRUE(messages.msgs->shown[1].text.startsWith("The new event could not be created."));
}
