#pragma once
// What the vendor, budget, expense, attire, measurement, gift and registry
// editors share: their boxes bound to columns by name, the lookup lists they
// fill, tab pages, and the refresh of the main grid when they close.

#include "platform/ado/ado.h"
#include "platform/ui/forms.h"
#include "records/editing.h"
#include "records/notices.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QComboBox;
class QGroupBox;
class QRect;
class QTabBar;
class QWidget;

namespace money {

// One box and the column it shows and stores.
struct BoxColumn {
    QString column;
    QWidget* box = nullptr;
};
using BoxColumns = std::vector<BoxColumn>;

// Each column of the current row into its box, in order, numbers in the
// user's regional form; a column without a value leaves its box as it is.
void showColumns(ado::Recordset& rs, const BoxColumns& boxes);
// Each box's text into its column, in order (editing::assignText).
void storeColumns(ado::Recordset& rs, const BoxColumns& boxes);

// Fills a drop-down box from the first column of a query, in the order the
// database returns it, rows without a text left out; a query that fails
// leaves the box as it is. With a
// lookup list's key the box keeps its text unless that entry was deleted
// from the list (editing::fillList); without one it is emptied.
void fillBox(QComboBox* box, const QString& sql, const QString& listMode = QString());

// Fills a drop-down box with every subguest of a query of first and last
// names as "first last" (a missing part is empty text, the blank always
// there), with no entry chosen; the names are read a page at a time as the
// list is scrolled.
void fillNameBox(QComboBox* box, const QString& sql);

// A tab strip of (caption, key) tabs over pages at one place: the page of
// the chosen tab shows, the others are hidden.
QTabBar* makeTabStrip(QWidget* parent, const QRect& at, const std::vector<std::pair<const char*, const char*>>& tabs);
QGroupBox* makePage(QWidget* parent, const QString& name, const QString& caption, const QRect& at);
void showPage(const std::vector<QGroupBox*>& pages, QGroupBox* shown);

// A dialog without minimize and maximize buttons, placed in the middle of
// its screen when it first shows.
void centredDialog(QWidget* window);

// Where an editor shows its columns, for its record's questions.
editing::ShownBoxes shownIn(const BoxColumns& boxes);

// The main window's list of the editor's records shown afresh; nothing while
// the main window is closed.
void refreshMain(records::MainList list);

}  // namespace money
