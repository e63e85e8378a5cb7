#pragma once
// Small helpers for tests of windows and widgets: deferred deletes run now,
// dark pixels counted on a painted page, and a mouse click on a grid cell.

#include "platform/grid/gridex.h"

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QTableView>
#include <QTest>

namespace testsupport {

inline void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Pixels darker than mid-grey inside an area of a page painted on red.
inline int darkPixels(const QImage& img, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                ++n;
    return n;
}

// Clicks a cell of the grid's table (row and column counted from 1).
inline void clickCell(grid::GridEX* g, int row, int column, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* vp = g->tableView()->viewport();
    QTest::mouseClick(vp, button, {}, vp->mapFrom(g, g->cellCenter(row, column)));
}

}  // namespace testsupport
