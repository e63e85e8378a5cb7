#include "events/frmEventTasks.h"

#include "app/frmMain.h"
#include "app/modQVDatabase.h"
#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "records/frmAddType.h"
#include "records/modSynchro.h"
#include "views/refresh.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using modQVDatabase::gConn;

using editing::ignoringErrors;
using editing::place;
using editing::placeButton;
using editing::placeLabel;
using twips::rect;

void frmEventTasks::createControls()
{
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    w->setFixedSize(twips::toPixels(5400), twips::toPixels(4020));

    const int left = 1380, height = 345;
    auto label = [&](const QString& name, const char* text, int top) {
        return placeLabel(w, name, text, rect(120, top + 45, 1200, 255));
    };
    auto list = [&](const char* name, int top) {
        auto* c = place<QComboBox>(w, name, rect(left, top, 3060, height));
        editing::setupEditableList(c);
        return c;
    };

    Label1[0] = label("Label1_0", "Name:", 120);
    txtName = place<QLineEdit>(w, "txtName", rect(left, 120, 3900, height));
    Label2 = label("Label2", "Due Date:", 540);
    dtDate = place<QDateEdit>(w, "dtDate", rect(left, 540, 1800, height));
    editing::setupDatePicker(dtDate);
    Label1[1] = label("Label1_1", "Priority:", 960);
    cmbPriority = list("cmbPriority", 960);
    cmdEditPriority = placeButton(w, "cmdEditPriority", "Edit", rect(4500, 960, 780, height));
    Label1[2] = label("Label1_2", "Assigned To:", 1380);
    cmbAssignee = list("cmbAssignee", 1380);
    cmdEditAssignee = placeButton(w, "cmdEditAssignee", "Edit", rect(4500, 1380, 780, height));
    Label1[3] = label("Label1_3", "Part of Event:", 1800);
    cmbEvent = list("cmbEvent", 1800);
    cmdEditEvent = placeButton(w, "cmdEditEvent", "Edit", rect(4500, 1800, 780, height));
    Label1[4] = label("Label1_4", "Notes:", 2220);
    // One line of text in a box several lines tall.
    txtNote = place<QLineEdit>(w, "txtNote", rect(left, 2220, 3900, 1080));
    txtNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdSave = placeButton(w, "cmdSave", "Save", rect(2880, 3480, 1140, 375));
    cmdCancel = placeButton(w, "cmdCancel", "Cancel", rect(4140, 3480, 1140, 375));

    editing::setTabOrder({txtName, dtDate, cmbPriority, cmbAssignee, cmbEvent, txtNote, cmdSave, cmdCancel,
                          cmdEditPriority, cmdEditAssignee, cmdEditEvent});
    editing::onClick(cmdSave, [this] { cmdSave_Click(); });
    editing::onClick(cmdCancel, [this] { cmdCancel_Click(); });
    editing::onClick(cmdEditPriority, [this] { cmdEditPriority_Click(); });
    editing::onClick(cmdEditAssignee, [this] { cmdEditAssignee_Click(); });
    editing::onClick(cmdEditEvent, [this] { cmdEditEvent_Click(); });

    procedures_.set("frmEventTasks.GetPriorityTexts", [this] { GetPriorityTexts(); });
    procedures_.set("frmEventTasks.GetAssigneeTexts", [this] { GetAssigneeTexts(); });
}

void frmEventTasks::releaseControls()
{
    procedures_.clear();
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
    FillEvents();
    if (editsTask() && !LoadTask()) {
        ui::MsgBox(kTaskGone, ui::vbExclamation | ui::vbOKOnly, QString(), window());
        Unload();
        return;
    }
    window()->raise();
}

void frmEventTasks::ClearFields()
{
    txtName->clear();
    txtNote->clear();
    dtDate->setDate(QDate::currentDate());
}

void frmEventTasks::GetPriorityTexts() { fillPriorities(!editing::lookupListEdited("Priority")); }
void frmEventTasks::GetAssigneeTexts() { fillAssignees(!editing::lookupListEdited("Assignee")); }

void frmEventTasks::fillPriorities(bool keepText)
{
    editing::fillListFrom(cmbPriority, "SELECT PRIORITY_TEXT FROM PRIORITY", keepText, {"No Priority"});
}

void frmEventTasks::fillAssignees(bool keepText)
{
    editing::fillListFrom(cmbAssignee, "SELECT ASSIGNEE_TEXT FROM ASSIGNEE", keepText, {"No Assignee"});
}

void frmEventTasks::FillEvents()
{
    editing::fillListFrom(cmbEvent, "SELECT STDEVENT_TEXT FROM STDEVENT ORDER BY STDEVENT_TEXT", false, {"No Event"});
}

bool frmEventTasks::LoadTask()
{
    // Only a task that is known to be gone counts as missing; a failing
    // read leaves the cleared fields, as every load step does.
    bool found = true;
    ignoringErrors([&] {
        ado::Recordset rs;
        rs.Open("SELECT * FROM TASKS WHERE TASK_ID = ?", gConn, ado::adOpenKeyset, ado::adLockReadOnly, {curTaskID});
        found = rs.RecordCount() > 0;
        if (!found)
            return;
        // A column without a value leaves its control as cleared.
        auto text = [&](const char* column, auto&& show) {
            const QVariant v = rs.value(column);
            if (!v.isNull())
                show(v.toString());
        };
        text("TASK_NAME", [&](const QString& s) { txtName->setText(s); });
        editing::toPickers(rs.value("TASK_DUEDATE"), dtDate, nullptr);
        text("TASK_ASSIGN", [&](const QString& s) { editing::showText(cmbAssignee, s); });
        text("TASK_PRIORITY", [&](const QString& s) { editing::showText(cmbPriority, s); });
        text("TASK_EVENT", [&](const QString& s) { editing::showText(cmbEvent, s); });
        text("TASK_NOTES", [&](const QString& s) { txtNote->setText(s); });
    });
    return found;
}

void frmEventTasks::cmdSave_Click()
{
    if (txtName->text().isEmpty()) {
        ui::MsgBox(kNameRequired, ui::vbOKOnly, QString(), window());
        txtName->setFocus();
        return;
    }
    const bool edit = editsTask();
    if (edit && !editing::recordExists("TASKS", curTaskID)) {
        ui::MsgBox(kTaskGone, ui::vbExclamation | ui::vbOKOnly, QString(), window());
        Unload();
        return;
    }
    const bool saved = editing::saveAll(
        [&] {
            ado::Recordset rs;
            if (edit) {
                rs.Open("SELECT * FROM TASKS WHERE TASK_ID = ?", gConn, ado::adOpenKeyset, ado::adLockOptimistic,
                        {curTaskID});
            } else {
                rs.Open("SELECT * FROM TASKS", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
                rs.AddNew();
            }
            rs.setValue("TASK_NAME", txtName->text());
            rs.setValue("TASK_DUEDATE", editing::fromPickers(dtDate->date(), QTime(0, 0)));
            rs.setValue("TASK_ASSIGN", cmbAssignee->currentText());
            rs.setValue("TASK_PRIORITY", cmbPriority->currentText());
            rs.setValue("TASK_EVENT", cmbEvent->currentText());
            rs.setValue("TASK_NOTES", txtNote->text());
            const qint64 key = rs.value("TASK_ID").toLongLong();
            modSynchro::LogChange("TASKS", key, edit ? modSynchro::Changed : modSynchro::Added);
            rs.Update();
        },
        window());
    if (saved)
        Unload();
}

void frmEventTasks::cmdCancel_Click() { Unload(); }

void frmEventTasks::Form_Unload(bool&)
{
    // The task list shows what this window changed, also after a cancel.
    views::RefreshMainGrid(frmMain::instance().TaskRS);
}

void frmEventTasks::editList(const QString& listMode)
{
    frmAddType& types = frmAddType::instance();
    types.fromForm = "AddTask";
    types.curMode = listMode;
    types.Show(ui::vbModal, this);
}

void frmEventTasks::cmdEditPriority_Click() { editList("Priority"); }
void frmEventTasks::cmdEditAssignee_Click() { editList("Assignee"); }
void frmEventTasks::cmdEditEvent_Click() { editList("Event"); }
