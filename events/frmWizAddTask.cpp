#include "events/frmWizAddTask.h"

#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>

#include <cmath>

using modQVDatabase::gConn;

namespace stdtasks {

namespace {
std::optional<int> fit(double v)
{
    if (!std::isfinite(v) || v < kMinDays || v > kMaxDays)
        return std::nullopt;
    return int(v);
}
}  // namespace

std::optional<int> daysLeft(const QDate& wedding, const QDateTime& now)
{
    return fit(std::nearbyint(editing::daysBetween(now.date(), now.time(), wedding, QTime(0, 0))));
}

bool lessThan30Days(const QDate& wedding, const QDateTime& now)
{
    return editing::daysBetween(now.date(), now.time(), wedding, QTime(0, 0)) < 30.0;
}

std::optional<int> dayOffset(int daysLeft, double share)
{
    return fit(std::nearbyint(-(double(daysLeft) * share / 100.0)));
}

}  // namespace stdtasks

namespace {

const char* const kNoTasks = "There are no tasks that can be automatically added.";

// One standard task and the due date worked out for it (null without a share).
struct Planned {
    QVariant stdId, text, event, assignment, due;
};

QString days(int n) { return QString::number(n); }

}  // namespace

void frmWizAddTask::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Add Standard Tasks");
    w->setFixedSize(twips::toPixels(4800), twips::toPixels(5040));
    using twips::rect;
    Label2 = editing::makeLabel(w, "Label2",
                                "Select your wedding date and the program will automatically add standard items to "
                                "your to-do tasks.  ",
                                rect(240, 180, 4320, 645));
    Label2->setWordWrap(true);
    Label1 = editing::makeLabel(w, "Label1", "Select Wedding Date:", rect(240, 900, 4320, 285));
    MonthView1 = new QCalendarWidget(w);
    MonthView1->setObjectName("MonthView1");
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setGeometry(rect(240, 1260, 4320, 2940));
    cmdTasks = editing::makeButton(w, "cmdTasks", "Add Tasks", rect(960, 4380, 1320, 405), [this] { cmdTasks_Click(); });
    cmdClose = editing::makeButton(w, "cmdClose", "Close", rect(2520, 4380, 1320, 405), [this] { cmdClose_Click(); });
    QObject::connect(MonthView1, &QCalendarWidget::clicked, w,
                     [this](const QDate& d) { ui::guarded([&] { MonthView1_DateClick(d); }); });
}

void frmWizAddTask::releaseControls()
{
    Label2 = Label1 = nullptr;
    MonthView1 = nullptr;
    cmdTasks = cmdClose = nullptr;
}

void frmWizAddTask::Form_Load()
{
    const QDate today = editing::now().date();
    MonthView1->setSelectedDate(today);
    MonthView1->setCurrentPage(today.year(), today.month());
}

void frmWizAddTask::MonthView1_DateClick(const QDate&) { cmdTasks->setFocus(); }

void frmWizAddTask::cmdClose_Click() { Unload(); }

void frmWizAddTask::cmdTasks_Click()
{
    const Run run = AddStandardTasks();
    if (run != Run::Nothing)
        emit records::notices().rowsChanged(records::MainList::Tasks);
    // Every run ends on the list of all tasks, also one answered No.
    emit records::notices().tasksScheduled();
}

frmWizAddTask::Run frmWizAddTask::AddStandardTasks()
{
    QWidget* w = window();
    const QDate wedding = MonthView1->selectedDate();
    const QDateTime now = editing::now();
    const auto tooFar = [w] {
        ui::MsgBox("The wedding date you selected is too far from today for the tasks to be dated.  Please select "
                   "a date within 89 years of today.",
                   ui::vbExclamation | ui::vbOKOnly, QString(), w);
        return Run::Nothing;
    };
    const std::optional<int> left = stdtasks::daysLeft(wedding, now);
    if (!left)
        return tooFar();
    if (stdtasks::lessThan30Days(wedding, now)) {
        if (ui::MsgBox("The wedding date you have supplied is less than 30 days in the future.  Press Yes to accept.",
                       ui::vbYesNo, "Close Date", w) == ui::vbNo)
            return Run::Nothing;
    } else {
        ui::MsgBox("The wedding date you selected is " + regional::dateText(wedding) + ".\r\nThis is " + days(*left) +
                       " days away.",
                   ui::vbOKOnly, QString(), w);
    }

    QList<Planned> list;
    QList<qint64> earlier;
    QList<QVariant> shares;
    try {
        ado::Recordset standard;
        standard.Open("SELECT * FROM STDTASK ORDER BY STDTASK_ID", gConn, ado::adOpenKeyset, ado::adLockReadOnly);
        for (; !standard.EOF_(); standard.MoveNext()) {
            list.push_back({standard.value("STDTASK_ID"), standard.value("STDTASK_TEXT"),
                            standard.value("STDTASK_EVENT"), standard.value("STDTASK_ASSIGNMENT"), QVariant()});
            shares.push_back(standard.value("STDTASK_DAYS"));
        }
        ado::Recordset old;
        old.Open("SELECT TASK_ID FROM TASKS WHERE TASK_STDID > 0", gConn, ado::adOpenKeyset, ado::adLockReadOnly);
        for (; !old.EOF_(); old.MoveNext())
            earlier.push_back(old.value(0).toLongLong());
    } catch (const ado::Error& e) {
        ui::MsgBox("The standard tasks could not be read.\n\n" + e.description(), ui::vbExclamation | ui::vbOKOnly,
                   QString(), w);
        return Run::Nothing;
    }
    // Replacing the earlier standard tasks by nothing would only lose them.
    if (list.isEmpty()) {
        ui::MsgBox(kNoTasks, ui::vbOKOnly, QString(), w);
        return Run::Nothing;
    }
    if (ui::MsgBox("Press Yes to add the " + QString::number(list.size()) + " tasks to your task list.", ui::vbYesNo,
                   "Add Tasks?", w) == ui::vbNo) {
        ui::MsgBox(kNoTasks, ui::vbOKOnly, QString(), w);
        return Run::Nothing;
    }

    // Every due date is known before any row is touched.
    const QDateTime at = editing::now();
    const std::optional<int> d = stdtasks::daysLeft(wedding, at);
    if (!d)
        return tooFar();
    for (int i = 0; i < list.size(); ++i) {
        bool isNumber = false;
        const double share = shares[i].toDouble(&isNumber);
        if (shares[i].isNull() || !isNumber)
            continue;  // no share, no due date
        const std::optional<int> offset = stdtasks::dayOffset(*d, share);
        if (!offset) {
            ui::MsgBox("The standard task \"" + list[i].text.toString() +
                           "\" would fall due too far from the wedding date to be dated.  No tasks were added or "
                           "changed.",
                       ui::vbExclamation | ui::vbOKOnly, QString(), w);
            return Run::Nothing;
        }
        list[i].due = ado::convert::isoDate(wedding.addDays(*offset));
    }

    const bool again = !earlier.isEmpty();
    if (again && ui::MsgBox("Tasks were previously added with this feature.  Press Yes to change the date for these "
                            "tasks.",
                            ui::vbYesNo, QString(), w) == ui::vbNo)
        return Run::Nothing;

    const bool saved = editing::saveAll(
        [&] {
            for (const qint64 id : earlier) {
                gConn.Execute("DELETE FROM TASKS WHERE TASK_ID = ?", {id});
                modSynchro::LogChange("TASKS", id, modSynchro::Deleted);
            }
            for (const Planned& t : list) {
                const qint64 key = gConn.reserveKey("TASKS");
                gConn.Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_EVENT, TASK_DUEDATE, TASK_ASSIGN, "
                              "TASK_STDID) VALUES (?, ?, ?, ?, ?, ?)",
                              {key, t.text, t.event, t.due, t.assignment, t.stdId});
                modSynchro::LogChange("TASKS", key, again ? modSynchro::Changed : modSynchro::Added);
            }
        },
        w, "The standard tasks could not be added; nothing was changed.");
    if (!saved)
        return Run::Nothing;
    return again ? Run::Again : Run::First;
}
