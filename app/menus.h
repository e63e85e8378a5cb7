#pragma once
// The main window's menu bar as data: fourteen menus, their items and
// submenus, each with its control name and caption. Several submenus also
// serve as the grids' and calendars' pop-up menus.

#include <QList>
#include <QString>

#include <functional>
#include <utility>

class QMenuBar;
class QMenu;
class QWidget;

namespace menus {

struct Item {
    Item(QString name, QString caption, QList<Item> items = {})
        : name(std::move(name)), caption(std::move(caption)), items(std::move(items)) {}
    QString name;
    QString caption;
    QList<Item> items;  // a submenu when not empty
};

// The menus in order, each with its items in order.
const QList<Item>& menuTree();

// Fills the bar with the tree: one QMenu per menu and submenu, one QAction
// per item, each named by its control name. `onClick` receives the item's
// name when it is triggered.
void buildMenuBar(QMenuBar* bar, const std::function<void(const QString&)>& onClick);

// The menu or submenu of that control name under a widget (the main window).
QMenu* findMenu(QWidget* window, const QString& name);

}  // namespace menus
