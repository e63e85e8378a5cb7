// The task editor as a user drives it: adding, editing, the lookup lists,
// refused and impossible saves, and the task list shown afresh on closing.

#include "support/editors.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "events/frmEventTasks.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "platform/ui/boxes.h"
#include "records/frmAddType.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

using testsupport::click;
using testsupport::type;
using Task = frmEventTasks;

class TaskEditor : public testsupport::MainWindowTest<> {
protected:
    // Opens the editor as the openers do and acts in it while it is modal.
    void open(Task::Mode mode, qint64 id, const std::function<void(Task&)>& act)
    {
        Task::instance().curMode = mode;
        Task::instance().curTaskID = id;
        modal.modal->once("frmEventTasks", [&](ui::FormBase&) { act(Task::instance()); });
        Task::instance().Show(ui::vbModal);
    }
    QString row(qint64 id)
    {
        return db().scalar("SELECT TASK_NAME || '|' || TASK_DUEDATE || '|' || TASK_PRIORITY || '|' || TASK_ASSIGN || "
                           "'|' || TASK_EVENT || '|' || TASK_NOTES || '|' || TASK_COMPLETE || '|' || "
                           "ifnull(TASK_STDID, 'none') FROM TASKS WHERE TASK_ID = ?",
                           {id})
            .toString();
    }
    static qlonglong logRows(qint64 id, int action) { return testsupport::logRows("TASKS", id, action); }
    qint64 insertTask()
    {
        db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_PRIORITY, TASK_ASSIGN, TASK_EVENT, "
                     "TASK_NOTES) VALUES ('Order the cake', '2027-06-12 00:00:00', 'Someday', 'Aunt May', "
                     "'Brunch', 'three tiers')");
        return db().scalar("SELECT max(TASK_ID) FROM TASKS").toLongLong();
    }
};

TEST_F(TaskEditor, AddEditAndAddAgain)
{
    open(Task::Mode::Add, 0, [&](Task& t) {
        EXPECT_EQ(t.window()->windowTitle(), "Add Task");
        type(t.txtName, "Book the hall");
        click(t.cmdSave);
        EXPECT_FALSE(t.isLoaded());
    });
    const qint64 added = db().scalar("SELECT TASK_ID FROM TASKS").toLongLong();
    EXPECT_EQ(row(added), "Book the hall|" + QDate::currentDate().toString("yyyy-MM-dd") +
                              " 00:00:00|No Priority|No Assignee|No Event||0|none");
    EXPECT_EQ(logRows(added, 1), 1);

    // Texts no longer in their lists are shown and stored as they are.
    const qint64 edited = insertTask();
    open(Task::Mode::Edit, edited, [&](Task& t) {
        EXPECT_EQ(t.window()->windowTitle(), "Add Task");
        const QStringList shown = {t.txtName->text(), t.dtDate->date().toString(Qt::ISODate),
                                   t.cmbPriority->currentText(), t.cmbAssignee->currentText(),
                                   t.cmbEvent->currentText(), t.txtNote->text()};
        EXPECT_EQ(shown.join('|'), "Order the cake|2027-06-12|Someday|Aunt May|Brunch|three tiers");
        // An opener showing it again meanwhile does not turn it onto a new task.
        t.curMode = Task::Mode::Add;
        t.Show(ui::vbModal);
        t.txtNote->setFocus();
        QTest::keyClick(t.txtNote, Qt::Key_End);  // a loaded text shows its beginning
        QTest::keyClicks(t.txtNote, ", lemon");
        click(t.cmdSave);
    });
    EXPECT_EQ(row(edited), "Order the cake|2027-06-12 00:00:00|Someday|Aunt May|Brunch|three tiers, lemon|0|none");
    EXPECT_EQ(logRows(edited, 2), 1);

    // Adding right after the edit starts empty and makes a row of its own.
    open(Task::Mode::Add, edited, [&](Task& t) {
        EXPECT_EQ(t.txtName->text(), "");
        type(t.txtName, "Send invitations");
        t.cmbPriority->setFocus();
        QTest::keyClick(t.cmbPriority, Qt::Key_Down);  // the first priority after "No Priority"
        t.cmbAssignee->setFocus();
        QTest::keyClick(t.cmbAssignee, Qt::Key_End);
        QTest::keyClicks(t.cmbAssignee, "Cousin");  // typed after "No Assignee"
        click(t.cmdSave);
    });
    EXPECT_EQ(count("SELECT count(*) FROM TASKS WHERE TASK_NAME = 'Send invitations' AND TASK_PRIORITY = 'High' AND "
                    "TASK_ASSIGN = 'No AssigneeCousin'"),
              1);
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 3);
}

TEST_F(TaskEditor, ListsAfterTheLookupEditorKeepTheirTexts)
{
    const struct {
        QPushButton* Task::*button;
        const char* added;  // typed into the lookup editor
    } cases[] = {
        {&Task::cmdEditPriority, "Urgent"},
        {&Task::cmdEditAssignee, "Uncle Bob"},
        {&Task::cmdEditEvent, "Picnic"},
    };
    for (const auto& c : cases) {
        open(Task::Mode::Add, 0, [&](Task& t) {
            t.cmbPriority->setCurrentIndex(t.cmbPriority->findText("Low"));
            t.cmbAssignee->setEditText("Aunt May");
            t.cmbEvent->setEditText("Brunch");
            modal.modal->once("frmAddType", [&](ui::FormBase&) {
                type(frmAddType::instance().txtItem, c.added);
                click(frmAddType::instance().cmdAdd);
                click(frmAddType::instance().cmdClose);
            });
            click(t.*c.button);
            EXPECT_EQ(t.cmbPriority->currentText() + '|' + t.cmbAssignee->currentText() + '|' +
                          t.cmbEvent->currentText(),
                      "Low|Aunt May|Brunch");
        });
    }
}

TEST_F(TaskEditor, SavesThatCannotBeMadeLeaveNothingBehind)
{
    const qint64 id = insertTask();
    const qlonglong logBefore = count("SELECT count(*) FROM SYNCHRO");
    open(Task::Mode::Add, 0, [&](Task& t) {
        type(t.txtNote, "ask the florist");
        click(t.cmdSave);
        EXPECT_EQ(t.txtNote->text(), "ask the florist");  // still open
    });
    // Closed then, it asks about the note typed.
    EXPECT_EQ(messages.msgs->texts(), QStringList({"The task is required to have a name.", editing::kSaveChanges}));

    db().Execute("CREATE TRIGGER no_add BEFORE INSERT ON TASKS BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    db().Execute("CREATE TRIGGER no_edit BEFORE UPDATE ON TASKS BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    for (const Task::Mode mode : {Task::Mode::Add, Task::Mode::Edit}) {
        messages.msgs->shown.clear();
        open(mode, id, [&](Task& t) {
            type(t.txtName, " again");
            click(t.cmdSave);
            EXPECT_TRUE(t.isLoaded()) << (mode == Task::Mode::Add ? "Add" : "Edit");
        });
        ASSERT_EQ(messages.msgs->shown.size(), 2);
        EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    }
    EXPECT_EQ(row(id), "Order the cake|2027-06-12 00:00:00|Someday|Aunt May|Brunch|three tiers|0|none");

    // Deleted while open: said so, closed, never inserted again.
    messages.msgs->shown.clear();
    open(Task::Mode::Edit, id, [&](Task& t) {
        db().Execute("DELETE FROM TASKS");
        click(t.cmdSave);
        EXPECT_FALSE(t.isLoaded());
    });
    EXPECT_EQ(messages.msgs->texts(), QStringList{editing::kRecordGone});
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), logBefore);

    // Gone before it opened: said at once.
    messages.msgs->shown.clear();
    open(Task::Mode::Edit, id, [&](Task&) { ADD_FAILURE() << "opened on a missing task"; });
    EXPECT_EQ(messages.msgs->texts(), QStringList{"This task no longer exists."});
}

TEST_F(TaskEditor, TheTaskListIsShownAfreshOnEveryClose)
{
    m().Show(ui::vbModeless);
    frmMain& f = m();
    f.ExplorerBarCtlQV1->clickItem("TASKMODE");
    f.ExplorerBarCtlQV1->clickItem("ALLTASKS");
    const int before = f.GridEX1->rowCount();
    modal.modal->once("frmEventTasks", [&](ui::FormBase&) {
        type(Task::instance().txtName, "Hire the band");
        click(Task::instance().cmdSave);
    });
    f.ExplorerBarCtlQV1->clickItem("ADDTASK");
    EXPECT_EQ(f.GridEX1->rowCount(), before + 1);

    // A cancel too (here after a row was added behind the list's back).
    db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('Written elsewhere')");
    modal.modal->once("frmEventTasks", [&](ui::FormBase&) { click(Task::instance().cmdCancel); });
    f.ExplorerBarCtlQV1->clickItem("ADDTASK");
    EXPECT_EQ(f.GridEX1->rowCount(), before + 2);

    // A double-click on a row opens that task.
    QString shownName;
    modal.modal->once("frmEventTasks", [&](ui::FormBase&) { shownName = Task::instance().txtName->text(); });
    f.GridEX1->setCurrentRow(1);
    f.GridEX1_DblClick();
    EXPECT_EQ(shownName, f.GridEX1->value(1, 3).toString());
    EXPECT_FALSE(shownName.isEmpty());
}

}  // namespace
