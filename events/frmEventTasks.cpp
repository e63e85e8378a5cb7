#include "events/frmEventTasks.h"

#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"
#include "records/notices.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using editing::makeButton;
using editing::makeLabel;
using editing::makeListBox;
using twips::rect;

void frmEventTasks::createControls()
{
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    w->setFixedSize(twips::toPixels(5400), twips::toPixels(4020));

    const int left = 1380, height = 345;
    auto label = [&](const QString& name, const char* text, int top) {
        return makeLabel(w, name, text, rect(120, top + 45, 1200, 255));
    };
    auto editButton = [&](const char* name, int top, void (frmEventTasks::*handler)()) {
        return makeButton(w, name, "Edit", rect(4500, top, 780, height), [this, handler] { (this->*handler)(); });
    };

    Label1[0] = label("Label1_0", "Name:", 120);
    txtName = static_cast<QLineEdit*>(editing::makeTextBox(w, "txtName", false, rect(left, 120, 3900, height)));
    Label2 = label("Label2", "Due Date:", 540);
    dtDate = editing::makeDatePicker(w, "dtDate", rect(left, 540, 1800, height));
    // A task without a due date stays without one until the user gives it.
    dtDate->setEmptyAllowed(true);
    Label1[1] = label("Label1_1", "Priority:", 960);
    cmbPriority = makeListBox(w, "cmbPriority", rect(left, 960, 3060, height));
    cmdEditPriority = editButton("cmdEditPriority", 960, &frmEventTasks::cmdEditPriority_Click);
    Label1[2] = label("Label1_2", "Assigned To:", 1380);
    cmbAssignee = makeListBox(w, "cmbAssignee", rect(left, 1380, 3060, height));
    cmdEditAssignee = editButton("cmdEditAssignee", 1380, &frmEventTasks::cmdEditAssignee_Click);
    Label1[3] = label("Label1_3", "Part of Event:", 1800);
    cmbEvent = makeListBox(w, "cmbEvent", rect(left, 1800, 3060, height));
    cmdEditEvent = editButton("cmdEditEvent", 1800, &frmEventTasks::cmdEditEvent_Click);
    Label1[4] = label("Label1_4", "Notes:", 2220);
    // One line of text in a box several lines tall.
    txtNote = static_cast<QLineEdit*>(editing::makeTextBox(w, "txtNote", false, rect(left, 2220, 3900, 1080)));
    txtNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdSave = makeButton(w, "cmdSave", "Save", rect(2880, 3480, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(4140, 3480, 1140, 375), [this] { cmdCancel_Click(); });

    editing::chainTabOrder({txtName, dtDate, cmbPriority, cmbAssignee, cmbEvent, txtNote, cmdSave, cmdCancel,
                            cmdEditPriority, cmdEditAssignee, cmdEditEvent});

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) {
        GetAssigneeTexts();
        GetPriorityTexts();
        FillEvents(true);
    });
}

void frmEventTasks::releaseControls()
{
    for (QLabel*& l : Label1)
        l = nullptr;
    Label2 = nullptr;
    txtName = nullptr;
    dtDate = nullptr;
    cmbPriority = cmbAssignee = cmbEvent = nullptr;
    txtNote = nullptr;
    cmdSave = cmdCancel = nullptr;
    cmdEditPriority = cmdEditAssignee = cmdEditEvent = nullptr;
}

void frmEventTasks::Form_Load()
{
    ClearFields();
    fillPriorities(false);
    fillAssignees(false);
    FillEvents(false);
    if (editsTask() && !LoadTask()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
}

void frmEventTasks::ClearFields()
{
    txtName->clear();
    txtNote->clear();
    dtDate->setDate(QDate::currentDate());
}

void frmEventTasks::GetPriorityTexts() { fillPriorities(true); }
void frmEventTasks::GetAssigneeTexts() { fillAssignees(true); }

void frmEventTasks::fillPriorities(bool keepText)
{
    editing::fillListFrom(cmbPriority, "SELECT PRIORITY_TEXT FROM PRIORITY", keepText, {"No Priority"});
}

void frmEventTasks::fillAssignees(bool keepText)
{
    editing::fillListFrom(cmbAssignee, "SELECT ASSIGNEE_TEXT FROM ASSIGNEE", keepText, {"No Assignee"});
}

void frmEventTasks::FillEvents(bool keepText)
{
    editing::fillListFrom(cmbEvent, "SELECT STDEVENT_TEXT FROM STDEVENT ORDER BY STDEVENT_TEXT", keepText,
                          {"No Event"});
}

bool frmEventTasks::LoadTask()
{
    const std::pair<const char*, QWidget*> boxes[] = {{"TASK_NAME", txtName},     {"TASK_ASSIGN", cmbAssignee},
                                                      {"TASK_PRIORITY", cmbPriority}, {"TASK_EVENT", cmbEvent},
                                                      {"TASK_NOTES", txtNote},    {"TASK_DUEDATE", dtDate}};
    record_.boxes = [boxes] {
        editing::ShownBoxes shown;
        for (const auto& [column, box] : boxes)
            shown.push_back({column, box});
        return shown;
    };
    return editing::openRecord(record_, "TASKS", curTaskID, [&](ado::Recordset& rs) {
        // A column without a value leaves its control as cleared.
        for (const auto& [column, box] : boxes)
            if (box != dtDate && !rs.value(column).isNull())
                editing::setBoxText(box, editing::storedText(rs.value(column)));
        editing::toPickers(rs.value("TASK_DUEDATE"), dtDate, nullptr);
    }, window());
}

bool frmEventTasks::save()
{
    if (txtName->text().isEmpty()) {
        ui::MsgBox(kNameRequired, ui::vbOKOnly, QString(), window());
        txtName->setFocus();
        return false;
    }
    return editing::saveRecord(record_, "TASKS", !editsTask(), [&](ado::Recordset& rs) {
        rs.setValue("TASK_NAME", txtName->text());
        rs.setValue("TASK_DUEDATE", editing::momentOf(dtDate, nullptr));
        rs.setValue("TASK_ASSIGN", cmbAssignee->currentText());
        rs.setValue("TASK_PRIORITY", cmbPriority->currentText());
        rs.setValue("TASK_EVENT", cmbEvent->currentText());
        rs.setValue("TASK_NOTES", txtNote->text());
    }, window()) != editing::SaveOutcome::Refused;
}

void frmEventTasks::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmEventTasks::cmdCancel_Click() { closeAsIs(); }

void frmEventTasks::Form_Unload(bool&)
{
    // The task list shows what this window changed, also after a cancel.
    emit records::notices().rowsChanged(records::MainList::Tasks);
}

void frmEventTasks::cmdEditPriority_Click() { editing::editLookupList(*this, records::Lookup::Priority); }
void frmEventTasks::cmdEditAssignee_Click() { editing::editLookupList(*this, records::Lookup::Assignee); }
void frmEventTasks::cmdEditEvent_Click() { editing::editLookupList(*this, records::Lookup::Event); }
