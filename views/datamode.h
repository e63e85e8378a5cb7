#pragma once
// What the main window shows (curDataMode), the category it is in
// (curMainMode) and which tasks its task views list (dueMode), as
// enumerations: a view is chosen and recognised by its value, and its name
// is written only where a text is wanted.

#include <QString>

namespace views {

enum class TaskFilter { All, Due, Complete, Incomplete };

// The category whose records a double-click on the main grid opens.
enum class MainMode {
    None, Tasks, Events, Guests, RSVP, Measure, Vendors, Budget, Expenses, Gifts, Quotes, Registry, Attire,
};

enum class DataMode {
    None,
    AllTasks, DueTasks, CompleteTasks, IncompleteTasks,
    Events, RSVP, Guests, Addresses,
    Vendors, Quotes, Expenses, Budget, Attire, Gifts, Registry,
    FemaleMeasurement, MaleMeasurement,
    Today, Month,
};

// The mode's name ("DueTasks", "FemaleMeasurement"); "" for None.
QString dataModeName(DataMode mode);
// The task view listing the filter's tasks.
DataMode taskMode(TaskFilter filter);
bool isTaskMode(DataMode mode);

}  // namespace views
