#pragma once
// Trees as a hand meets them: the row that the bottom edge cuts in two, and
// a press held there as long as a hand holds it before it moves.

#include <QAbstractItemView>
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

namespace testsupport {

// Scrolls the tree, its nodes opened, until the bottom edge cuts the last
// child of a second-level node (a party's last person, so that the next row
// is another party); that row, or null.
inline QTreeWidgetItem* rowCutAtTheBottom(QTreeWidget* t)
{
    t->expandAll();
    const int h = t->viewport()->height();
    for (int step = 0; step <= t->verticalScrollBar()->maximum(); ++step) {
        t->verticalScrollBar()->setValue(step);
        QCoreApplication::processEvents();
        QTreeWidgetItem* n = t->itemAt(QPoint(20, h - 2));
        if (n && n->parent() && n->parent()->parent() && n->parent()->indexOfChild(n) == n->parent()->childCount() - 1
            && t->visualItemRect(n).bottom() >= h)
            return n;
    }
    return nullptr;
}

// Presses in the shown part of the row and holds the button as a hand does
// before it moves (longer than a double-click takes); where it pressed.
inline QPoint pressAndHold(QTreeWidget* t, QTreeWidgetItem* row)
{
    const QRect r = t->visualItemRect(row);
    const QPoint p(r.left() + 30, (r.top() + t->viewport()->height()) / 2);
    QTest::mousePress(t->viewport(), Qt::LeftButton, {}, p);
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    return p;
}

}  // namespace testsupport
