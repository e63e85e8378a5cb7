#pragma once
// Where an entry's text stands and how wide the hour labels are: the
// planner's painting, its geometry and its mouse all go by them.

#include <QFontMetricsF>
#include <QRectF>

#include <algorithm>

namespace calendar {

inline qreal entryBarWidth(const QRectF& entry, const QFontMetricsF& fm) { return std::min(fm.height() / 3, entry.width()); }

inline QRectF entryTextRect(const QRectF& entry, const QFontMetricsF& fm)
{
    return entry.adjusted(entryBarWidth(entry, fm) + fm.height() / 4, fm.height() / 10, -2, -1);
}

constexpr int kTimeColumn = 64;   // pixels of the hour labels on the left

}  // namespace calendar
