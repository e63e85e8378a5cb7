// No window writes a row under a record that was deleted while it was open:
// an event's lists, a party's people. The main window deletes the owner as a
// user does, the still-open editor is typed into, and it says so and writes
// nothing. And a record that cannot be read because another program holds
// the file is not taken for deleted: its save is refused as any other.

#include "events/event_support.h"

#include "events/frmEventTasks.h"

#include "guests/frmGuestDetail.h"
#include "guests/frmNewSubguest.h"
#include "records/frmDeleteSingle.h"
#include "support/gui.h"

#include <QFile>
#include <QLineEdit>

#include <sqlite3.h>

using testsupport::EventEditorTest;

namespace {

class VanishedOwner : public EventEditorTest {
protected:
    void SetUp() override
    {
        EventEditorTest::SetUp();
        modal.modal->on("frmDeleteSingle", [](ui::FormBase& f) {
            QTest::mouseClick(static_cast<frmDeleteSingle&>(f).cmdDelete, Qt::LeftButton);
        });
    }
    // Chooses the record's row in a view of the main window, then the command.
    void fromMain(const char* mode, const char* view, qint64 id, const char* command)
    {
        m().ExplorerBarCtlQV1->clickItem(mode);
        if (view)
            m().ExplorerBarCtlQV1->clickItem(view);
        grid::GridEX* g = m().GridEX1;
        int row = 0;
        for (int r = 1; r <= g->rowCount() && !row; ++r)
            if (g->rowKind(r) == grid::RowKind::Record && g->value(r, 1).toLongLong() == id)
                row = r;
        ASSERT_GT(row, 0);
        testsupport::clickCell(g, row, 2);
        m().ExplorerBarCtlQV1->clickItem(command);
        // The confirmation is gone for good before the user turns to another window.
        QCoreApplication::processEvents();
        testsupport::flushDeletes();
    }
    // The log rows written since `since` that add or change rows of a table.
    qlonglong writesLogged(const QString& table, qlonglong since)
    {
        return count("SELECT count(*) FROM SYNCHRO WHERE rowid > ? AND SYNCHRO_TABLE = ? AND SYNCHRO_ACTION <> 3",
                     {since, table});
    }
    qlonglong lastLog() { return count("SELECT coalesce(max(rowid), 0) FROM SYNCHRO"); }
    // Types over the text of a line's cell and ends the edit with Enter.
    static void typeOver(grid::GridEX* g, int line, const QString& text)
    {
        clickLine(g, line);
        for (const QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QStringList shown() const { return messages.msgs->texts(); }
};

}  // namespace

TEST_F(VanishedOwner, NoRowIsWrittenUnderARecordDeletedWhileItsEditorIsOpen)
{
    const QString eventGone = "This event no longer exists.";
    for (const events::EventList& l : events::eventLists()) {
        SCOPED_TRACE(l.tab);
        messages.msgs->shown.clear();
        const qint64 id = event(QString("Soirée dansante au château, %1").arg(l.tab));
        frmEventInfo& e = edit(id);
        ASSERT_TRUE(QTest::qWaitForWindowActive(e.window()));
        clickTab(l.tab);
        grid::GridEX* g = e.lists[l.id].grid;
        typeRow(g, "Before");
        const QString rowsOfEvent = QString("SELECT count(*) FROM %1 WHERE EVENT_ID = ?").arg(l.table);
        ASSERT_EQ(count(rowsOfEvent, {id}), 1);

        fromMain("EVENTMODE", nullptr, id, "DELETEEVENT");
        ASSERT_EQ(count("SELECT count(*) FROM EVENT WHERE EVENT_ID = ?", {id}), 0);
        const qlonglong since = lastLog();
        QApplication::setActiveWindow(e.window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(e.window()));
        typeRow(g, "After");     // a new row
        typeOver(g, 1, "Moved");  // the row still shown
        EXPECT_EQ(shown(), QStringList({eventGone, eventGone}));
        EXPECT_EQ(count(rowsOfEvent, {id}), 0);
        EXPECT_EQ(writesLogged(l.table, since), 0) << "nothing travels to the other copy";
        QTest::mouseClick(e.cmdCancel, Qt::LeftButton);
    }

    // A person typed for a party deleted while the person editor is open.
    messages.msgs->shown.clear();
    db().Execute("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_LNAME) VALUES ('Núñez-Olivier', 'Núñez')");
    const qint64 guest = db().scalar("SELECT max(GUEST_ID) FROM GUEST").toLongLong();
    db().Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, 'José', 'Núñez')", {guest});
    fromMain("GUESTMODE", "VIEWGUESTS", guest, "MODIFYGUESTS");
    frmGuestDetail& party = frmGuestDetail::instance();
    ASSERT_TRUE(party.isLoaded());
    QTest::mouseClick(party.cmdAddSubguest, Qt::LeftButton);
    frmNewSubguest& person = frmNewSubguest::instance();
    ASSERT_TRUE(person.isLoaded());
    fromMain("GUESTMODE", "GUESTADDRESSES", guest, "DELETEGUEST");
    ASSERT_EQ(count("SELECT count(*) FROM GUEST WHERE GUEST_ID = ?", {guest}), 0);
    const qlonglong since = lastLog();
    QApplication::setActiveWindow(person.window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(person.window()));
    testsupport::retype(person.Text1[0], "Ines");
    QTest::mouseClick(person.cmdAdd, Qt::LeftButton);
    // Asked again from the party's own window, it does not open the person editor.
    QTest::mouseClick(person.cmdCancel, Qt::LeftButton);
    QTest::mouseClick(party.cmdAddSubguest, Qt::LeftButton);
    EXPECT_FALSE(person.isLoaded());
    EXPECT_EQ(shown(), QStringList({"This guest no longer exists.", "This guest no longer exists."}));
    EXPECT_EQ(count("SELECT count(*) FROM SUBGUEST WHERE GUEST_ID = ?", {guest}), 0) << "José went with the party";
    EXPECT_EQ(writesLogged("SUBGUEST", since), 0);
}

TEST_F(VanishedOwner, ASaveUnderAnotherProgramsExclusiveLockIsRefusedAndTheTypingKept)
{
    db().setBusyTimeout(50);
    const qint64 eventId = event("Répétition au château");
    const qint64 task = testsupport::insertRow("INSERT INTO TASKS (TASK_NAME) VALUES ('Order the cake')");
    const qint64 guest = testsupport::insertRow("INSERT INTO GUEST (GUEST_PARTYNAME, GUEST_LNAME) VALUES ('Núñez', 'Núñez')");
    const qint64 subguest = testsupport::insertRow(
        "INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, 'José', 'Núñez')", {guest});
    const QString typed = "Dîner de répétition pour quarante-deux personnes";
    struct Case {
        const char* name;
        std::function<ui::FormBase&()> open;  // shown and active
        std::function<QWidget*()> box;
        std::function<QPushButton*()> save;
        const char* stored;  // what the record holds after the second save
    };
    frmEventTasks& t = frmEventTasks::instance();
    frmNewSubguest& p = frmNewSubguest::instance();
    const Case cases[] = {
        {"task editor",
         [&]() -> ui::FormBase& {
             t.curMode = frmEventTasks::Mode::Edit;
             t.curTaskID = task;
             t.Show(ui::vbModeless);
             return t;
         },
         [&] { return t.txtName; }, [&] { return t.cmdSave; }, "SELECT TASK_NAME FROM TASKS"},
        {"event editor", [&]() -> ui::FormBase& { return edit(eventId); }, [&] { return f().txtName; },
         [&] { return f().cmdSave; }, "SELECT EVENT_NAME FROM EVENT"},
        {"person editor",
         [&]() -> ui::FormBase& {
             p.curMode = frmNewSubguest::Mode::Edit;
             p.guestID = guest;
             p.subguestID = subguest;
             p.Show(ui::vbModeless);
             return p;
         },
         [&] { return p.Text1[0]; }, [&] { return p.cmdAdd; }, "SELECT SUBGUEST_FNAME FROM SUBGUEST"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::FormBase& form = c.open();
        QApplication::setActiveWindow(form.widget()->window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.widget()->window()));
        testsupport::retype(c.box(), typed);
        const qlonglong since = lastLog();
        testsupport::OtherProgramsLock lock(db().path(), "BEGIN EXCLUSIVE");
        messages.msgs->shown.clear();
        QTest::mouseClick(c.save(), Qt::LeftButton);
        ASSERT_EQ(shown().size(), 1);
        EXPECT_TRUE(shown()[0].startsWith("The changes could not be saved.")) << shown()[0].toStdString();
        EXPECT_TRUE(form.isLoaded());
        EXPECT_EQ(editing::boxText(c.box()), typed);
        lock.release();
        EXPECT_EQ(lastLog(), since);
        // Once the other program lets go, the same Save stores it.
        messages.msgs->shown.clear();
        QTest::mouseClick(c.save(), Qt::LeftButton);
        EXPECT_TRUE(shown().isEmpty()) << shown().join('|').toStdString();
        EXPECT_EQ(db().scalar(c.stored).toString(), typed);
        if (form.isLoaded())
            form.Unload();
    }
}
