#pragma once
// Tables of tests name the main window's views as the program names them,
// and the task filters by their words: the mode or filter of such a name.

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

}  // namespace testsupport
