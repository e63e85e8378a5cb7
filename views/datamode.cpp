#include "views/datamode.h"

#include <utility>

namespace views {

namespace {

const std::pair<DataMode, const char*> kNames[] = {
    {DataMode::AllTasks, "AllTasks"},
    {DataMode::DueTasks, "DueTasks"},
    {DataMode::CompleteTasks, "CompleteTasks"},
    {DataMode::IncompleteTasks, "IncompleteTasks"},
    {DataMode::Events, "Events"},
    {DataMode::RSVP, "RSVP"},
    {DataMode::Guests, "Guests"},
    {DataMode::Addresses, "Addresses"},
    {DataMode::Vendors, "Vendors"},
    {DataMode::Quotes, "Quotes"},
    {DataMode::Expenses, "Expenses"},
    {DataMode::Budget, "Budget"},
    {DataMode::Attire, "Attire"},
    {DataMode::Gifts, "Gifts"},
    {DataMode::Registry, "Registry"},
    {DataMode::FemaleMeasurement, "FemaleMeasurement"},
    {DataMode::MaleMeasurement, "MaleMeasurement"},
    {DataMode::Today, "Today"},
    {DataMode::Month, "Month"},
};

}  // namespace

QString dataModeName(DataMode mode)
{
    for (const auto& [m, name] : kNames)
        if (m == mode)
            return QString::fromLatin1(name);
    return QString();
}

DataMode taskMode(TaskFilter filter)
{
    switch (filter) {
    case TaskFilter::Due: return DataMode::DueTasks;
    case TaskFilter::Complete: return DataMode::CompleteTasks;
    case TaskFilter::Incomplete: return DataMode::IncompleteTasks;
    case TaskFilter::All: break;
    }
    return DataMode::AllTasks;
}

bool isTaskMode(DataMode mode)
{
    return mode == DataMode::AllTasks || mode == DataMode::DueTasks || mode == DataMode::CompleteTasks
        || mode == DataMode::IncompleteTasks;
}

}  // namespace views
