#pragma once
// The category views of the main grid, written down as data: what each view
// runs, how it titles itself and how it shapes the grid. The view procedures
// of frmMain apply these through one shared routine (views/viewpattern.h), and
// tests read them without any widget.

#include "platform/ado/ado.h"
#include "views/datamode.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

namespace views {

// One lookup list: opened on the shared connection, bound to one of the
// hidden lookup grids GridEX2..GridEX4 and offered by the columns that name
// that grid.
struct LookupDef {
    QString member;       // frmMain member that keeps the list open
    QString sql;
    int grid = 0;         // 2, 3 or 4
    QString valueColumn;
    QVector<int> hiddenColumns;  // columns of the lookup grid itself not shown
};

struct ColumnDef {
    int number = 0;        // 1-based, in the order of the SELECT
    QString caption;       // the field's alias, as the grid shows it
    bool hidden = false;
    int width = 0;         // twips; 0: not set
    int editType = -1;     // -1: not set; 0 read-only, 3 own value list, 5 drop-down grid
    int dropDown = 0;      // 2..4: the lookup grid attached
    QString format;        // "Currency" or ""
    bool cardCaption = false;
    int aggregate = 0;     // total row: 1 count, 2 sum
    QString totalFormat;
    QString totalPrefix;
};

struct ViewDef {
    DataMode key = DataMode::None;  // curDataMode
    MainMode mainMode = MainMode::None;  // curMainMode; None leaves it as it is
    QString title;         // lblMode
    int picture = 0;       // picture number for picMode; 0 leaves it as it is
    QString option;        // task filter option button selected, if any
    QString member;        // frmMain recordset member holding the rows
    QString sql;
    bool dueFilter = false;  // the SQL takes the end of the due day as its one parameter
    ado::CursorType cursor = ado::adOpenKeyset;
    ado::LockType lock = ado::adLockOptimistic;
    QVector<LookupDef> lookups;  // in the order they are opened
    int layout = -1;       // -1 untouched, 0 rows, 1 cards
    int cardWidth = 0;     // twips; kGridWidth: the grid's own width at the time
    int cardsAcross = 0;   // cards across a printed page; 0 untouched
    std::optional<bool> s1, s2;
    int groupBy = 0;       // column number; 0 no grouping
    QVector<ColumnDef> columns;  // every field of the SELECT, in order
    int totalRow = -1;     // -1 untouched, 0 none, 2 shown
    bool refresh = false;
    bool currentRow1 = false;
    bool redraw = false;
    // The totals are set by a procedure of their own that stops at its first
    // failing step (the view goes on regardless).
    QString totalsProcedure;
    // Errors end the view and reach its caller instead of being skipped.
    bool raisesErrors = false;

    const ColumnDef* column(int number) const;
    QVector<int> hiddenColumns() const;
    QStringList captions() const;
};

constexpr int kGridWidth = -1;

// Every view, the four task filters included, in menu order.
const QVector<ViewDef>& allViews();
// The view of a key; nullptr for a calendar or None.
const ViewDef* viewDef(DataMode key);

// The task view of a filter.
ViewDef taskView(TaskFilter whichTasks);
// The bound values of a view's SQL. The due filter lists every incomplete
// task due before the start of the day after enddate, so a task due later
// on that same day is included.
ado::Params viewParams(const ViewDef& def, const QDateTime& enddate);

}  // namespace views
