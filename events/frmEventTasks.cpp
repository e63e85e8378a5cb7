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

namespace {

// Load steps run with errors ignored: a list that cannot be read stays as
// far as it got.
template <class Fn>
void ignoringErrors(Fn&& fn)
{
    try {
        fn();
    } catch (const std::exception&) {
    }
}

}  // namespace

void frmEventTasks::createControls()
{
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    w->setFixedSize(twips::toPixels(5400), twips::toPixels(4020));

    const int labelLeft = 120, labelWidth = 1200, left = 1380, rowHeight = 345;
    auto label = [&](const char* text, const QString& name, int top) {
        auto* l = new QLabel(text, w);
        l->setObjectName(name);
        l->setGeometry(twips::rect(labelLeft, top + 45, labelWidth, 255));
        return l;
    };
    auto button = [&](const char* text, const char* name, const QRect& at) {
        auto* b = new QPushButton(text, w);
        b->setObjectName(name);
        b->setGeometry(at);
        // Enter in a box does not press a button.
        b->setAutoDefault(false);
        return b;
    };
    auto list = [&](const char* name, int top) {
        auto* c = new QComboBox(w);
        c->setObjectName(name);
        editing::setupEditableList(c);
        c->setGeometry(twips::rect(left, top, 3060, rowHeight));
        return c;
    };

    Label1[0] = label("Name:", "Label1_0", 120);
    txtName = new QLineEdit(w);
    txtName->setObjectName("txtName");
    txtName->setGeometry(twips::rect(left, 120, 3900, rowHeight));

    Label2 = label("Due Date:", "Label2", 540);
    dtDate = new QDateEdit(w);
    dtDate->setObjectName("dtDate");
    editing::setupDatePicker(dtDate);
    dtDate->setGeometry(twips::rect(left, 540, 1800, rowHeight));

    Label1[1] = label("Priority:", "Label1_1", 960);
    cmbPriority = list("cmbPriority", 960);
    cmdEditPriority = button("Edit", "cmdEditPriority", twips::rect(4500, 960, 780, rowHeight));

    Label1[2] = label("Assigned To:", "Label1_2", 1380);
    cmbAssignee = list("cmbAssignee", 1380);
    cmdEditAssignee = button("Edit", "cmdEditAssignee", twips::rect(4500, 1380, 780, rowHeight));

    Label1[3] = label("Part of Event:", "Label1_3", 1800);
    cmbEvent = list("cmbEvent", 1800);
    cmdEditEvent = button("Edit", "cmdEditEvent", twips::rect(4500, 1800, 780, rowHeight));

    Label1[4] = label("Notes:", "Label1_4", 2220);
    // One line of text in a box several lines tall.
    txtNote = new QLineEdit(w);
    txtNote->setObjectName("txtNote");
    txtNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txtNote->setGeometry(twips::rect(left, 2220, 3900, 1080));

    cmdSave = button("Save", "cmdSave", twips::rect(2880, 3480, 1140, 375));
    cmdCancel = button("Cancel", "cmdCancel", twips::rect(4140, 3480, 1140, 375));

    QWidget* order[] = {txtName,  dtDate,  cmbPriority,     cmbAssignee,     cmbEvent,
                        txtNote,  cmdSave, cmdCancel,       cmdEditPriority, cmdEditAssignee,
                        cmdEditEvent};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    auto on = [w, this](QPushButton* b, void (frmEventTasks::*handler)()) {
        QObject::connect(b, &QPushButton::clicked, w, [this, handler] { ui::guarded([&] { (this->*handler)(); }); });
    };
    on(cmdSave, &frmEventTasks::cmdSave_Click);
    on(cmdCancel, &frmEventTasks::cmdCancel_Click);
    on(cmdEditPriority, &frmEventTasks::cmdEditPriority_Click);
    on(cmdEditAssignee, &frmEventTasks::cmdEditAssignee_Click);
    on(cmdEditEvent, &frmEventTasks::cmdEditEvent_Click);

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
    // The opening's record, whatever the variables say later.
    mode_ = curMode;
    key_ = curTaskID;
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
    if (!cmbPriority)
        return;
    QStringList texts;
    ignoringErrors([&] { texts = editing::columnTexts("SELECT PRIORITY_TEXT FROM PRIORITY"); });
    editing::fillList(cmbPriority, texts, keepText, {"No Priority"});
}

void frmEventTasks::fillAssignees(bool keepText)
{
    if (!cmbAssignee)
        return;
    QStringList texts;
    ignoringErrors([&] { texts = editing::columnTexts("SELECT ASSIGNEE_TEXT FROM ASSIGNEE"); });
    editing::fillList(cmbAssignee, texts, keepText, {"No Assignee"});
}

void frmEventTasks::FillEvents()
{
    QStringList texts;
    ignoringErrors([&] { texts = editing::columnTexts("SELECT STDEVENT_TEXT FROM STDEVENT ORDER BY STDEVENT_TEXT"); });
    editing::fillList(cmbEvent, texts, false, {"No Event"});
}

bool frmEventTasks::LoadTask()
{
    // Only a task that is known to be gone counts as missing; a failing
    // read leaves the cleared fields, as every load step does.
    bool found = true;
    ignoringErrors([&] {
        ado::Recordset rs;
        rs.Open("SELECT * FROM TASKS WHERE TASK_ID = ?", gConn, ado::adOpenKeyset, ado::adLockReadOnly, {key_});
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
    if (edit && !editing::recordExists("TASKS", key_)) {
        ui::MsgBox(kTaskGone, ui::vbExclamation | ui::vbOKOnly, QString(), window());
        Unload();
        return;
    }
    const bool saved = editing::saveAll(
        [&] {
            ado::Recordset rs;
            if (edit) {
                rs.Open("SELECT * FROM TASKS WHERE TASK_ID = ?", gConn, ado::adOpenKeyset, ado::adLockOptimistic,
                        {key_});
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
