#pragma once
// Tables of tests name the main window's views as the program names them,
// and its categories and task filters by their words: the mode or filter of
// such a name.

#include "views/datamode.h"

#include <gtest/gtest.h>

#include <QString>

namespace testsupport {

inline views::DataMode dataModeNamed(const QString& name)
{
    for (int i = 0; i <= int(views::DataMode::Month); ++i)
        if (views::dataModeName(views::DataMode(i)) == name)
            return views::DataMode(i);
    ADD_FAILURE() << "no view is named " << name.toStdString();
    return views::DataMode::None;
}

inline const char* const kTaskFilterNames[] = {"All", "Due", "Complete", "Incomplete"};

inline QString taskFilterName(views::TaskFilter filter) { return kTaskFilterNames[int(filter)]; }

inline views::TaskFilter taskFilterNamed(const QString& name)
{
    for (int i = 0; i < 4; ++i)
        if (name == kTaskFilterNames[i])
            return views::TaskFilter(i);
    ADD_FAILURE() << "no task filter is named " << name.toStdString();
    return views::TaskFilter::All;
}

inline const char* const kMainModeNames[] = {"",       "Tasks",    "Events", "Guests", "RSVP",     "Measure", "Vendors",
                                             "Budget", "Expenses", "Gifts",  "Quotes", "Registry", "Attire"};

inline QString mainModeName(views::MainMode mode) { return kMainModeNames[int(mode)]; }

inline views::MainMode mainModeNamed(const QString& name)
{
    for (int i = 0; i <= int(views::MainMode::Attire); ++i)
        if (name == kMainModeNames[i])
            return views::MainMode(i);
    ADD_FAILURE() << "no category is named " << name.toStdString();
    return views::MainMode::None;
}

}  // namespace testsupport
