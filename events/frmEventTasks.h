#pragma once
// The task editor: adds one to-do task or changes one (name, due date,
// priority, assignee, event, note). Whenever it closes, the main window's
// task list is shown afresh.

#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace ui {
class DateBox;
}

class frmEventTasks : public editing::RecordEditor<ui::Form<frmEventTasks, QDialog>> {
public:
    frmEventTasks() : RecordEditor("frmEventTasks") { keepWhileOpen(curMode, curTaskID); }

    // Written by the opener before every opening; kept between openings, and
    // while the window is open they stay on the task it was opened on.
    // Edit edits curTaskID; Add adds a new task.
    Mode curMode = Mode::Add;
    qint64 curTaskID = 0;

    static constexpr const char* kCaption = "Add Task";
    static constexpr const char* kNameRequired = "The task is required to have a name.";

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdEditPriority_Click();
    void cmdEditAssignee_Click();
    void cmdEditEvent_Click();

    // Refill their lists; also called by the lookup-list editor as it closes.
    void GetPriorityTexts();
    void GetAssigneeTexts();

    QLabel* Label1[5] = {};  // "Name:", "Priority:", "Assigned To:", "Part of Event:", "Notes:"
    QLabel* Label2 = nullptr;  // "Due Date:"
    QLineEdit* txtName = nullptr;
    ui::DateBox* dtDate = nullptr;
    QComboBox* cmbPriority = nullptr;
    QComboBox* cmbAssignee = nullptr;
    QComboBox* cmbEvent = nullptr;
    QLineEdit* txtNote = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdEditPriority = nullptr;
    QPushButton* cmdEditAssignee = nullptr;
    QPushButton* cmdEditEvent = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    void fillPriorities(bool keepText);
    void fillAssignees(bool keepText);
    void FillEvents(bool keepText);
    bool LoadTask();
    bool save() override;

    bool editsTask() const { return curMode == Mode::Edit; }

};
