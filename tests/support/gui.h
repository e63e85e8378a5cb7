#pragma once
// Small helpers for tests of windows and widgets: deferred deletes run now,
// dark pixels counted on a painted page, a mouse click on a grid cell, text
// typed into a cell, and the tooltip of a point the pointer rests on.

#include "platform/grid/gridex.h"
#include "support/userinput.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QWindow>

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

// The cell editor open in the grid's table, nullptr when none.
inline QWidget* openCellEditor(grid::GridEX& g)
{
    for (QWidget* w : g.tableView()->viewport()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible() && (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)))
            return w;
    return nullptr;
}

// A click on the cell (row and column counted from 1), the text typed over
// it, then the key that ends the edit.
inline void typeIntoCell(grid::GridEX& g, int row, int column, const QString& text, Qt::Key end = Qt::Key_Return)
{
    QTableView* t = g.tableView();
    const QModelIndex idx = t->model()->index(row - 1, column - 1);
    t->scrollTo(idx);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(idx).center());
    QTest::keyClicks(t, text.left(1));
    QWidget* ed = openCellEditor(g);
    ASSERT_NE(ed, nullptr) << "no editor on row " << row << " column " << column;
    keyClicks(ed, text.mid(1));
    QTest::keyClick(ed, end);
    // The editor writes from the event loop, and regroups on the next round.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Rests the pointer on a point of a widget until its tooltip's time has
// come; the text of the tooltip then shown, "" for none.
inline QString hover(QWidget* w, QPoint at)
{
    struct TipCounter : QObject {
        int tips = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            tips += e->type() == QEvent::ToolTip;
            return false;
        }
    } counter;
    // The tooltip of the point before goes first.
    QToolTip::hideText();
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    w->installEventFilter(&counter);
    QWindow* window = w->window()->windowHandle();
    QTest::mouseMove(window, window->mapFromGlobal(w->mapToGlobal(at)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.tips > 0; }, 3000));
    w->removeEventFilter(&counter);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace testsupport
