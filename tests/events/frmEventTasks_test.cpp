// The task editor as a user drives it: adding, editing, the lookup lists,
// refused and impossible saves, and the task list shown afresh on closing.

#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "events/frmEventTasks.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "records/frmAddType.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using testsupport::click;
using testsupport::type;
using Task = frmEventTasks;

class TaskEditor : public testsupport::MainWindowTest<> {
protected:
    // Opens the editor as the openers do and acts in it while it is modal.
    void open(const QString& mode, qint64 id, const std::function<void(Task&)>& act)
    {
        Task& t = Task::instance();
        t.curMode = mode;
        t.curTaskID = id;
        modal.modal->once("frmEventTasks", [&](ui::FormBase&) { act(t); });
        t.Show(ui::vbModal);
    }
    QStringList taskRow(qint64 id)
    {
        ado::Recordset rs;
        rs.Open("SELECT TASK_NAME, TASK_DUEDATE, TASK_PRIORITY, TASK_ASSIGN, TASK_EVENT, TASK_NOTES, TASK_COMPLETE, "
                "TASK_STDID FROM TASKS WHERE TASK_ID = ?",
                db(), ado::adOpenStatic, ado::adLockReadOnly, {id});
        QStringList out;
        for (int c = 0; c < rs.fieldCount() && rs.RecordCount() > 0; ++c) {
            const QVariant v = rs.cell(0, c);
            out << (v.isNull() ? "NULL" : v.typeId() == QMetaType::QDateTime ? ado::convert::isoDateTime(v.toDateTime())
                                                                           : v.toString());
        }
        return out;
    }
    qlonglong logRows(qint64 id, int action)
    {
        return count("SELECT count(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'TASKS' AND SYNCHRO_RECORDID = ? AND "
                     "SYNCHRO_ACTION = ?",
                     {id, action});
    }
    qint64 insertTask()
    {
        db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_PRIORITY, TASK_ASSIGN, TASK_EVENT, TASK_NOTES) "
                     "VALUES ('Order the cake', '2027-06-12 00:00:00', 'Someday', 'Aunt May', 'Brunch', 'three tiers')");
        return db().scalar("SELECT max(TASK_ID) FROM TASKS").toLongLong();
    }
};

TEST_F(TaskEditor, ANewTaskWithOnlyANameAndThenAnEditedOne)
{
    open("Add", 0, [&](Task& t) {
        EXPECT_EQ(t.window()->windowTitle(), "Add Task");
        type(t.txtName, "Book the hall");
        click(t.cmdSave);
        EXPECT_FALSE(t.isLoaded());
    });
    const qint64 added = db().scalar("SELECT TASK_ID FROM TASKS").toLongLong();
    EXPECT_EQ(taskRow(added), (QStringList{"Book the hall", QDate::currentDate().toString("yyyy-MM-dd") + " 00:00:00",
                                           "No Priority", "No Assignee", "No Event", "", "false", "NULL"}));
    EXPECT_EQ(logRows(added, 1), 1);

    // Texts no longer in their lists are shown and stored as they are.
    const qint64 edited = insertTask();
    open("Edit", edited, [&](Task& t) {
        EXPECT_EQ(t.window()->windowTitle(), "Add Task");
        EXPECT_EQ(t.txtName->text(), "Order the cake");
        EXPECT_EQ(t.dtDate->date(), QDate(2027, 6, 12));
        EXPECT_EQ(t.cmbPriority->currentText(), "Someday");
        EXPECT_EQ(t.cmbAssignee->currentText(), "Aunt May");
        EXPECT_EQ(t.cmbEvent->currentText(), "Brunch");
        EXPECT_EQ(t.txtNote->text(), "three tiers");
        t.curMode = "Add";  // an opener writing meanwhile changes nothing
        type(t.txtNote, ", lemon");
        click(t.cmdSave);
    });
    EXPECT_EQ(taskRow(edited), (QStringList{"Order the cake", "2027-06-12 00:00:00", "Someday", "Aunt May", "Brunch",
                                            "three tiers, lemon", "false", "NULL"}));
    EXPECT_EQ(logRows(edited, 2), 1);
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 2);

    // Adding right after the edit starts empty and makes a row of its own.
    open("Add", edited, [&](Task& t) {
        EXPECT_EQ(t.txtName->text(), "");
        EXPECT_EQ(t.cmbPriority->currentText(), "No Priority");
        type(t.txtName, "Send invitations");
        t.cmbPriority->setFocus();
        QTest::keyClick(t.cmbPriority, Qt::Key_Down);  // the first priority after "No Priority"
        type(t.cmbAssignee->lineEdit(), "Cousin");     // appended to "No Assignee"
        click(t.cmdSave);
    });
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 3);
    EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_NAME = 'Send invitations' AND TASK_PRIORITY = 'High' AND "
                    "TASK_ASSIGN = 'No AssigneeCousin'"),
              1);
    EXPECT_EQ(taskRow(edited)[0], "Order the cake");
}

TEST_F(TaskEditor, ListsAfterTheLookupEditorKeepTheOtherBoxesTexts)
{
    struct Case {
        QPushButton* Task::*button;
        const char* addedEntry;  // typed into the lookup editor
        QString priority, assignee, event;  // shown afterwards
    };
    const Case cases[] = {
        {&Task::cmdEditPriority, "Urgent", "No Priority", "Aunt May", "Brunch"},
        {&Task::cmdEditAssignee, "Uncle Bob", "Low", "No Assignee", "Brunch"},
        {&Task::cmdEditEvent, "Picnic", "Low", "Aunt May", "Brunch"},
    };
    for (const Case& c : cases) {
        open("Add", 0, [&](Task& t) {
            t.cmbPriority->setCurrentText("Low");
            t.cmbAssignee->setEditText("Aunt May");
            t.cmbEvent->setEditText("Brunch");
            modal.modal->once("frmAddType", [&](ui::FormBase&) {
                frmAddType& a = frmAddType::instance();
                EXPECT_EQ(a.fromForm, "AddTask");
                type(a.txtItem, c.addedEntry);
                click(a.cmdAdd);
                click(a.cmdClose);
            });
            click(t.*c.button);
            EXPECT_EQ(t.cmbPriority->currentText(), c.priority) << c.addedEntry;
            EXPECT_EQ(t.cmbAssignee->currentText(), c.assignee) << c.addedEntry;
            EXPECT_EQ(t.cmbEvent->currentText(), c.event) << c.addedEntry;
            EXPECT_EQ(t.txtName->text(), "");
        });
    }
    // The new entries are in the refilled lists; the event list gets its new
    // standard event only at the next opening.
    open("Add", 0, [&](Task& t) {
        EXPECT_GE(t.cmbPriority->findText("Urgent"), 1);
        EXPECT_GE(t.cmbAssignee->findText("Uncle Bob"), 1);
        EXPECT_GE(t.cmbEvent->findText("Picnic"), 1);
        EXPECT_EQ(t.cmbEvent->itemText(0), "No Event");
    });
}

TEST_F(TaskEditor, SavesThatCannotBeMadeLeaveNothingBehind)
{
    const qint64 id = insertTask();
    const qlonglong logBefore = count("SELECT count(*) FROM SYNCHRO");

    // No name: the message, and the window stays with what was typed.
    open("Add", 0, [&](Task& t) {
        type(t.txtNote, "ask the florist");
        click(t.cmdSave);
        EXPECT_TRUE(t.isLoaded());
        EXPECT_EQ(t.txtNote->text(), "ask the florist");
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{"The task is required to have a name."});

    // Refused by the database, added or edited: said so, the window stays.
    db().Execute("CREATE TRIGGER no_add BEFORE INSERT ON TASKS BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    db().Execute("CREATE TRIGGER no_edit BEFORE UPDATE ON TASKS BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    for (const char* mode : {"Add", "Edit"}) {
        messages.msgs->shown.clear();
        open(mode, id, [&](Task& t) {
            type(t.txtName, " again");
            click(t.cmdSave);
            EXPECT_TRUE(t.isLoaded()) << mode;
        });
        ASSERT_EQ(messages.msgs->shown.size(), 1);
        EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    }
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 1);
    EXPECT_EQ(taskRow(id)[0], "Order the cake");

    // Deleted while open: said so, closed, never inserted again.
    messages.msgs->shown.clear();
    open("Edit", id, [&](Task& t) {
        db().Execute("DELETE FROM TASKS");
        click(t.cmdSave);
        EXPECT_FALSE(t.isLoaded());
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{"This task no longer exists."});
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), logBefore);

    // And gone before it opened: said at once.
    messages.msgs->shown.clear();
    bool shown = false;
    open("Edit", id, [&](Task&) { shown = true; });
    EXPECT_FALSE(shown);
    EXPECT_EQ(messages.msgs->texts(), QStringList{"This task no longer exists."});
}

TEST_F(TaskEditor, TheTaskListIsShownAfreshOnEveryClose)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    f.ExplorerBarCtlQV1->clickItem("TASKMODE");
    f.ExplorerBarCtlQV1->clickItem("ALLTASKS");
    ASSERT_EQ(f.GridEX1->recordset(), f.TaskRS);
    const int before = f.GridEX1->rowCount();

    // From the navigation bar, saved.
    modal.modal->once("frmEventTasks", [&](ui::FormBase&) {
        type(Task::instance().txtName, "Hire the band");
        click(Task::instance().cmdSave);
    });
    f.ExplorerBarCtlQV1->clickItem("ADDTASK");
    EXPECT_EQ(f.GridEX1->rowCount(), before + 1);

    // A cancel shows the list afresh too (here a row added behind its back).
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('Written elsewhere')");
    modal.modal->once("frmEventTasks", [&](ui::FormBase&) { click(Task::instance().cmdCancel); });
    f.ExplorerBarCtlQV1->clickItem("ADDTASK");
    EXPECT_EQ(f.GridEX1->rowCount(), before + 2);

    // A double-click on a row opens that task.
    QString shownName;
    modal.modal->once("frmEventTasks", [&](ui::FormBase&) { shownName = Task::instance().txtName->text(); });
    const int row = f.GridEX1->rowCount();
    f.GridEX1->setCurrentRow(row);
    f.GridEX1_DblClick();
    EXPECT_EQ(shownName, f.GridEX1->value(row, 3).toString());
    EXPECT_FALSE(shownName.isEmpty());
}

// Under a real display (xvfb-run) with NUPTARO_SCREENSHOTS set to a folder,
// saves the editor as a user sees it.
TEST_F(TaskEditor, Screenshot)
{
    const QString dir = qEnvironmentVariable("NUPTARO_SCREENSHOTS");
    if (dir.isEmpty())
        GTEST_SKIP() << "NUPTARO_SCREENSHOTS not set";
    open("Edit", insertTask(), [&](Task& t) {
        QCoreApplication::processEvents();
        t.widget()->grab().save(dir + "/task_editor.png");
    });
}

}  // namespace
