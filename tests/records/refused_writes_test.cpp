// Writes a user starts that the database refuses (another program's write
// lock, the working file gone): each is told with the plain message and
// leaves what was typed; under a lock, the same action goes through once
// the lock is gone.

#include "events/event_support.h"

#include "platform/calendar/dayplanner.h"
#include "records/frmAddType.h"

#include <QLineEdit>
#include <QListWidget>


namespace {

// The windows of the test: an event with a menu of two rows in its editor,
// the priorities in the lookup-list editor, the day planner.
class RefusedWrites : public testsupport::EventEditorTest {
protected:
    void SetUp() override
    {
        EventEditorTest::SetUp();
        const qint64 id = event("Reception");
        db().Execute("INSERT INTO EVENT_FOOD (EVENT_ID, EVENT_FOOD_ORDER, EVENT_FOOD_TEXT) VALUES (?, 1, 'Soup'), "
                     "(?, 2, 'Salmon')",
                     {id, id});
        e = &edit(id);
        clickTab("Menu");
        lookup.curMode = records::Lookup::Priority;
        lookup.Show(ui::vbModeless);
        m().window()->resize(1000, 760);
        m().ShowPanel(m().frameDate);
        m().ArrangePanels();
        m().ChangeDate(ado::convert::wallClock(QDate(2027, 3, 15)));
        day = m().calDay;
    }
    void TearDown() override
    {
        lookup.Unload();
        EventEditorTest::TearDown();
    }
    const frmEventInfo::ListPage& menu() { return e->lists[events::Menu]; }
    QString state()
    {
        return db()
            .scalar("SELECT (SELECT group_concat(EVENT_FOOD_TEXT || ':' || EVENT_FOOD_ORDER, ' ') FROM "
                    "(SELECT * FROM EVENT_FOOD ORDER BY EVENT_FOOD_ORDER)) || ' / ' || "
                    "(SELECT group_concat(PRIORITY_TEXT, ',') FROM (SELECT * FROM PRIORITY ORDER BY PRIORITY_TEXT)) "
                    "|| ' / ' || (SELECT count(*) FROM APPOINTMENT) || ' / ' || (SELECT count(*) FROM SYNCHRO)")
            .toString();
    }
    frmEventInfo* e = nullptr;
    frmAddType& lookup = frmAddType::instance();
    calendar::DayPlanner* day = nullptr;
};

}  // namespace

TEST_F(RefusedWrites, EveryWriteUnderAnotherProgramsLockIsRefusedAndTold)
{
    db().setBusyTimeout(50);
    const struct {
        const char* what;
        std::function<void()> act;
        std::function<bool()> typingKept = {};  // what was typed is still there
    } cases[] = {
        {"Up in an event's list", [&] {
             clickLine(menu().grid, 2);
             click(menu().cmdUp);
         }},
        {"Delete in an event's list", [&] {
             messages.msgs->answers = {ui::vbOK};
             clickLine(menu().grid, 1);
             click(menu().cmdDelete);
         }},
        {"Add in the lookup-list editor", [&] {
             if (lookup.txtItem->text().isEmpty())
                 testsupport::type(lookup.txtItem, "Urgent");
             click(lookup.cmdAdd);
         },
         [&] { return lookup.txtItem->text() == "Urgent"; }},
        {"Delete in the lookup-list editor", [&] {
             QListWidget* l = lookup.lstItems;
             QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(0)).center());
             click(lookup.Command1);
         }},
        {"an entry typed into the day planner", [&] {
             day->setFirstVisibleMinute(600);
             QTest::mouseClick(day, Qt::LeftButton, {}, QPoint(day->width() - 40, day->yForMinute(720) + 2));
             QTest::keyClicks(day, "C");
             QTest::keyClicks(day->editor(), "ake tasting");
             QTest::keyClick(day->editor(), Qt::Key_Return);
         },
         [&] {
             for (int i = 0; i < day->entryCount(); ++i)
                 if (day->entryText(i) == "Cake tasting")
                     return true;
             return false;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString before = state();
        testsupport::OtherProgramsLock lock(db().path(), "BEGIN IMMEDIATE");
        messages.msgs->shown.clear();
        c.act();
        const QString told = messages.msgs->texts().value(messages.msgs->shown.size() - 1);
        EXPECT_TRUE(told.startsWith("The changes could not be saved.\n\n") && told.contains("locked"))
            << told.toStdString();
        EXPECT_EQ(state(), before);
        if (c.typingKept) {
            EXPECT_TRUE(c.typingKept());
        }
        lock.release();
        // The same action, once the other program lets go.
        messages.msgs->shown.clear();
        c.act();
        EXPECT_NE(state(), before);
        for (const QString& text : messages.msgs->texts())
            EXPECT_FALSE(text.startsWith("The changes could not be saved.")) << text.toStdString();
    }
}

// The working file deleted while the program runs: every save is refused
// naming the missing file and saying what to do.
TEST_F(RefusedWrites, ASaveAfterTheWorkingFileIsDeletedNamesTheFile)
{
    const QString path = db().path();
    const struct {
        const char* what;
        std::function<void()> act;
    } cases[] = {
        {"Save of the event", [&] {
             testsupport::retype(e->txtName, "Garden Reception");
             click(e->cmdSave);
         }},
        {"Add in the lookup-list editor", [&] {
             testsupport::type(lookup.txtItem, "Urgent");
             click(lookup.cmdAdd);
         }},
    };
    ASSERT_TRUE(QFile::remove(path));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.msgs->shown.clear();
        c.act();
        const QString told = messages.msgs->texts().join('|');
        EXPECT_TRUE(told.startsWith("The changes could not be saved.\n\nThe file " + path +
                                    " is no longer there: it was deleted, moved or renamed while it was open"))
            << told.toStdString();
        EXPECT_TRUE(told.contains("put the file back")) << told.toStdString();
    }
}
