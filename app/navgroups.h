#pragma once
// The groups of the main window's navigation bar: the fixed Mode group, the
// command groups of each mode and the Task Info counts.
//
// The builders work on a NavContext that the main window fills once:
//   bar            the navigation bar (required)
//   monthView      MonthView1, hosted in the Date Control group
//   taskControl    Picture1, the box of the four task filter options
//   taskOptions    optAllTasks, optDueTasks, optCompleteTasks, optIncompleteTasks
//                  (given Picture1's background colour)
//   setModePicture picMode = store picture n (counted from 1)
//   setMainMode    curMainMode = mode
//   curDate        the date shown in the day calendar; the counts are taken there
//   conn           the connection for the counts; null means the shared one
// Callbacks left empty are skipped. Hosted controls go back to the bar's
// control home (or their former parent) when their group is removed; they are
// never deleted.
//
// As in the window: BuildModeGroup once at load (it builds the Calendar
// groups too); on a change of mode RemoveModeGroups, then one builder.

#include "platform/navbar/explorerbar.h"
#include "views/datamode.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

namespace ado {
class Connection;
}

namespace navgroups {

struct NavContext {
    navbar::ExplorerBar* bar = nullptr;
    QWidget* monthView = nullptr;
    QWidget* taskControl = nullptr;
    QList<QWidget*> taskOptions;
    std::function<void(int storePicture)> setModePicture;
    std::function<void(views::MainMode mode)> setMainMode;
    std::function<QDateTime()> curDate;
    ado::Connection* conn = nullptr;
};

void BuildModeGroup(NavContext& ctx);
void BuildCalendarGroups(NavContext& ctx);
void BuildTaskGroup(NavContext& ctx);
void BuildEventGroup(NavContext& ctx);
void BuildGuestGroup(NavContext& ctx);
void BuildRSVPGroup(NavContext& ctx);
void BuildVendorGroup(NavContext& ctx);
void BuildBudgetGroup(NavContext& ctx);
void BuildAttireGroup(NavContext& ctx);
void BuildGiftGroup(NavContext& ctx);
void BuildTaskInfoGroup(NavContext& ctx);
// The Task Info captions counted afresh, when that group is in the bar: the
// counts follow every write to the tasks.
void UpdateTaskInfoCounts(NavContext& ctx);
void RemoveModeGroups(NavContext& ctx);

// The four Task Info counts at a date: incomplete tasks due on or before the
// day (any time of that day), complete, incomplete, all. Throws ado::Error.
struct TaskCounts {
    qlonglong due = 0, complete = 0, incomplete = 0, all = 0;
};
TaskCounts CountTasks(ado::Connection& conn, const QDate& day);

}  // namespace navgroups
