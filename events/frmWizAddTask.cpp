#include "events/frmWizAddTask.h"

#include "events/frmWizard.h"
#include "platform/ado/ignoring.h"
#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"
#include "records/notices.h"

#include <QCalendarWidget>
#include <QHash>
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

// A re-run moves each earlier standard task to its new due date, keeping
// its time of day, and changes nothing else: done marks, notes, names the
// user edited and tasks the user added or deleted stay as they are. Only
// the tasks whose date changes are written, and logged as changed.
void redate(const QList<Planned>& list)
{
    QHash<qint64, QDate> dueOf;
    for (const Planned& t : list) {
        QDateTime due;
        if (!t.due.isNull() && ado::convert::parseDateTime(t.due.toString(), due))
            dueOf.insert(t.stdId.toLongLong(), due.date());
    }
    QList<std::pair<qint64, QString>> moves;
    gConn.forEachRow("SELECT TASK_ID, TASK_STDID, TASK_DUEDATE FROM TASKS WHERE TASK_STDID > 0 ORDER BY TASK_ID", {},
                     [&](const ado::Row& r) {
                         const auto found = dueOf.constFind(r.integer(1));
                         if (found == dueOf.constEnd())
                             return;
                         QDateTime old;
                         const bool dated = editing::storedMoment(r.value(2), old);
                         const QString due = ado::convert::isoDateTime(
                             ado::convert::wallClock(found.value(), dated ? old.time() : QTime(0, 0)));
                         if (!dated || ado::convert::isoDateTime(old) != due)
                             moves.push_back({r.integer(0), due});
                     });
    QList<qint64> moved;
    for (const auto& [key, due] : moves) {
        gConn.Execute("UPDATE TASKS SET TASK_DUEDATE = ? WHERE TASK_ID = ?", {due, key});
        moved << key;
    }
    modSynchro::LogChanges("TASKS", moved, modSynchro::Changed);
}

// The wedding's day: the ceremony's event, else the planning wizard's
// ceremony date; none when neither is known.
QDate weddingDay()
{
    QDate day;
    ado::ignoringErrors([&] {
        const frmWizard::StandardEvent& ceremony = frmWizard::kEvents[0];
        for (const QVariant& v :
             {gConn.scalar("SELECT EVENT_STARTDATE FROM EVENT WHERE EVENT_NAME = ? COLLATE BINARY AND "
                           "EVENT_STARTDATE IS NOT NULL ORDER BY EVENT_ID LIMIT 1",
                           {QString::fromLatin1(ceremony.name)}),
              gConn.scalar(QString("SELECT %1 FROM OUR_WEDDING WHERE %2 <> 0 ORDER BY OUR_WEDDING_ID LIMIT 1")
                               .arg(ceremony.date, ceremony.plan))}) {
            QDateTime at;
            if (editing::storedMoment(v, at)) {
                day = at.date();
                return;
            }
        }
    });
    return day;
}

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
    QDate day = weddingDay();
    if (!day.isValid())
        day = editing::now().date();
    MonthView1->setSelectedDate(day);
    MonthView1->setCurrentPage(day.year(), day.month());
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
        // Days as the calendar counts them, whatever the hour.
        ui::MsgBox("The wedding date you selected is " + regional::dateText(wedding) + ".\r\nThis is " +
                       days(int(now.date().daysTo(wedding))) + " days away.",
                   ui::vbOKOnly, QString(), w);
    }

    QList<Planned> list;
    qint64 earlier = 0;
    QList<QVariant> shares;
    try {
        ado::Recordset standard;
        standard.Open("SELECT * FROM STDTASK ORDER BY STDTASK_ID", gConn, ado::adOpenKeyset, ado::adLockReadOnly);
        for (; !standard.EOF_(); standard.MoveNext()) {
            list.push_back({standard.value("STDTASK_ID"), standard.value("STDTASK_TEXT"),
                            standard.value("STDTASK_EVENT"), standard.value("STDTASK_ASSIGNMENT"), QVariant()});
            shares.push_back(standard.value("STDTASK_DAYS"));
        }
        earlier = gConn.scalar("SELECT count(*) FROM TASKS WHERE TASK_STDID > 0").toLongLong();
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

    const bool again = earlier > 0;
    if (again && ui::MsgBox("Tasks were previously added with this feature.  Press Yes to change the date for these "
                            "tasks.",
                            ui::vbYesNo, QString(), w) == ui::vbNo)
        return Run::Nothing;

    const bool saved = editing::saveAll(
        [&] {
            if (again) {
                redate(list);
                return;
            }
            for (const Planned& t : list) {
                const qint64 key = gConn.reserveKey("TASKS");
                gConn.Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_EVENT, TASK_DUEDATE, TASK_ASSIGN, "
                              "TASK_STDID) VALUES (?, ?, ?, ?, ?, ?)",
                              {key, t.text, t.event, t.due, t.assignment, t.stdId});
                modSynchro::LogChange("TASKS", key, modSynchro::Added);
            }
        },
        w, "The standard tasks could not be added; nothing was changed.");
    if (!saved)
        return Run::Nothing;
    return again ? Run::Again : Run::First;
}
