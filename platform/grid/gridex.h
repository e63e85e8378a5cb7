#pragma once
// A data grid bound to a recordset: one column per field in the order of the
// SELECT, rows or cards, group header rows, a total row, hidden columns,
// widths in twips, in-place editing written back through the recordset, and
// the row and hit-test queries the views and row commands rely on.
//
// Columns are numbered from 1 in the order of the fields; displayed rows are
// numbered from 1 and include group header rows (the total row is not
// counted).

#include "platform/ado/ado.h"

#include <QAbstractItemDelegate>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <QWidget>

#include <functional>
#include <utility>

class QAbstractItemView;
class QTableView;
class QStackedWidget;

namespace grid {

class GridModel;
class GridDelegate;
struct CellRefusal;
class CardDelegate;
class NewRowLine;
class CardView;

enum class RowKind { None, Record, GroupHeader, Total };

enum class Layout { Rows = 0, Cards = 1 };

// Edit types of a column. A custom column is edited by a control of the
// grid's owner, laid over the cell (see the custom-edit signals).
enum EditType { etReadOnly = 0, etText = 1, etValueList = 3, etDropDown = 5, etCustom = 8 };

// Aggregates of the total row.
enum Aggregate { agNone = 0, agCount = 1, agSum = 2 };

// What lies under a point. The views refuse a pop-up menu on 1 to 3.
enum HitArea {
    haNothing = 0,       // blank area under the rows
    haColumnHeader = 1,
    haGroupHeader = 2,
    haTotalRow = 3,
    haCell = 4,          // a record's cell (or a card in the card layout)
};

// The display text of a value in the user's regional forms: "Currency"
// gives the locale's amount ($1,234.50 and ($1,234.50) in the US); dates
// show with four-digit years and the time when it is not midnight; an empty
// format shows numbers, dates and texts as regional::shownText does.
QString formatValue(const QVariant& v, const QString& format);
// Pixels a card keeps free around its texts, both sides together.
constexpr int kCardTextInset = 12;
// Pixel sizes of the grid's fonts, and what a header section keeps beside
// its caption.
constexpr int kCellFontPixels = 11;
constexpr int kHeaderFontPixels = 10;
constexpr int kHeaderTextPad = 6;

// Writes the change-log row of a record that a grid stored: its table, key
// and action (1 added, 2 changed). The program installs it once; it skips
// tables that are no records of its own. Unset, nothing is logged.
using ChangeLog = std::function<void(const QString& table, qint64 key, int action)>;
void setChangeLog(ChangeLog log);
const ChangeLog& changeLog();

// An amount within what currency holds, in whole ten-thousandths.
qint64 toTenThousandths(double v);

// Amounts added in whole ten-thousandths, so the sum is exact. An amount or a
// sum beyond what currency holds (+-922,337,203,685,477.5807) overflows.
class CurrencySum {
public:
    void add(double amount);
    bool overflow() const { return overflow_; }
    qint64 tenThousandths() const { return qint64(sum_); }

private:
    __int128 sum_ = 0;
    bool overflow_ = false;
};
// A total as shown: "Overflow" when the sum overflowed, otherwise formatted
// as formatValue does, a currency straight from its ten-thousandths.
QString totalText(const CurrencySum& sum, const QString& format);

// The displayed rows as data, for printing without the widget.
struct ReportColumn {
    int column = 0;          // 1-based field number
    QString caption;
    int widthTwips = 0;
    bool rightAligned = false;
    bool amounts = false;    // never cut or wrapped: as wide as its widest text needs
};

struct ReportRow {
    RowKind kind = RowKind::Record;
    int record = -1;         // recordset row, -1 for header and total rows
    QString headerText;      // group header rows
    QStringList texts;       // one per report column, formatted
};

struct ReportModel {
    Layout layout = Layout::Rows;
    QString pageHeader;
    int leftMarginTwips = 0;
    int rightMarginTwips = 0;
    int cardWidthTwips = 0;
    int cardsAcross = 0;
    int cardCaptionColumn = 0;   // 0 when none
    QVector<ReportColumn> columns;
    QVector<ReportRow> rows;     // header, record and total rows in display order
    // A report of a grid can read its rows one at a time when it lays them
    // out, in place of `rows`: `rowCount` rows, each made by `rowAt`.
    std::function<ReportRow(int)> rowAt;
    int rowCount = 0;

    int count() const { return rowAt ? rowCount : int(rows.size()); }
    ReportRow row(int i) const { return rowAt ? rowAt(i) : rows[i]; }
};

class GridEX : public QWidget {
    Q_OBJECT
public:
    explicit GridEX(QWidget* parent = nullptr);
    ~GridEX() override;

    // --- binding
    // Shows the recordset's rows. Rebinding a recordset with the same field
    // names keeps every column setting; another field set resets them.
    void bind(ado::RecordsetPtr rs);
    ado::RecordsetPtr recordset() const { return rs_; }

    // --- layout and grid-wide settings
    void setGridLayout(Layout layout);
    Layout gridLayout() const { return layout_; }
    void setCardWidth(int twips);
    int cardWidth() const { return cardWidthTwips_; }
    void setWidthTwips(int twips);
    int widthTwips() const;

    void setSettingS1(bool on) { s1_ = on; }
    bool settingS1() const { return s1_; }
    void setSettingS2(bool on) { s2_ = on; }
    void setSettingS3(bool on) { s3_ = on; }
    bool settingS3() const { return s3_; }
    void operationR();          // refreshes the display; changes no data
    void refresh(bool full = true);
    void redraw();

    // --- print settings (used by the report)
    void setCardsAcross(int n) { cardsAcross_ = n; }
    int cardsAcross() const { return cardsAcross_; }
    void setPageMargins(int leftTwips, int rightTwips);
    void setPageHeader(const QString& text);
    QString pageHeader() const { return pageHeader_; }
    void setPrintOptions(bool on) { printOptions_ = on; }
    bool printOptions() const { return printOptions_; }

    // --- grouping
    // Gathers the records under header rows by the value of the column (0 ends grouping).
    void groupBy(int column);
    int groupColumn() const;

    // --- rows
    int rowCount() const;                 // displayed rows, headers included
    int currentRow() const;               // 0 when none
    void setCurrentRow(int row);
    RowKind rowKind(int row) const;
    RowKind currentRowKind() const { return rowKind(currentRow()); }
    int recordOfRow(int row) const;       // recordset row, -1 for a header
    int currentRecord() const { return recordOfRow(currentRow()); }
    // The displayed row of the first record under a header row (the row
    // itself for a record row), 0 when none.
    int firstRecordRow(int row) const;
    // A cell by column; a header row gives its group value in the grouped column.
    QVariant value(int row, int column) const;
    QVariant currentValue(int column) const { return value(currentRow(), column); }
    QString text(int row, int column) const;   // as displayed
    QString groupHeaderText(int row) const;

    // --- total row
    void setTotalRow(int mode);           // 0 none, 2 under the records
    int totalRow() const { return totalMode_; }
    void setColumnAggregate(int column, int aggregate);
    int columnAggregate(int column) const;
    void setColumnTotalFormat(int column, const QString& format);
    void setColumnTotalPrefix(int column, const QString& prefix);
    QString totalText(int column) const;   // "" for a column without aggregate

    // --- columns
    int columnCount() const;
    QString fieldName(int column) const;
    int columnByCaption(const QString& caption) const;   // 0 when none
    void setColumnHidden(int column, bool hidden = true);
    bool isColumnHidden(int column) const;
    void setColumnWidth(int column, int twips);
    int columnWidth(int column) const;
    void setColumnCaption(int column, const QString& caption);
    QString columnCaption(int column) const;
    void setColumnEditType(int column, int editType);
    int columnEditType(int column) const;
    void setColumnDropDown(int column, GridEX* list);
    GridEX* columnDropDown(int column) const;
    void clearColumnValueList(int column);
    void addColumnValueListItem(int column, const QVariant& value, const QString& text);
    QVector<std::pair<QVariant, QString>> columnValueList(int column) const;
    void setColumnFormat(int column, const QString& format);
    QString columnFormat(int column) const;
    void setColumnCardCaption(int column, bool on = true);
    int cardCaptionColumn() const;
    bool isColumnEditable(int column) const;

    // --- the grid as a drop-down list of another grid's column
    void setListMode(bool on) { listMode_ = on; }
    bool listMode() const { return listMode_; }
    void setListAutoHide(bool on) { listAutoHide_ = on; }
    void setValueColumn(const QString& fieldName) { valueColumn_ = fieldName; }
    QString valueColumn() const { return valueColumn_; }
    QStringList listValues() const;       // the value column's texts in row order

    // --- editing
    // Writes a typed or chosen value into a cell as the editor does; false
    // (cell unchanged) when the column is not editable or the text does not
    // convert. Typed text is read in the user's regional forms; one that
    // reads as no value is refused with a message naming the form, once the
    // editor has closed (writeCurrentRow leaves the telling to its caller).
    bool editCell(int row, int column, const QVariant& v);
    bool editPending() const;             // an open editor not yet written
    // Commits the open editor. When the write fails the editor stays open
    // with what was typed, and lastEditError() says why (when the database did).
    bool writeCurrentRow();
    QString lastEditError() const { return lastEditError_; }
    void cancelEdit();
    // Asked before the grid writes a row, a typed cell or the new-row line;
    // false stops the write, and the guard has told the user why.
    void setWriteGuard(std::function<bool()> guard) { writeGuard_ = std::move(guard); }

    // --- the new-row line (newrow.cpp)
    // A line under the column captions where the user types a new row;
    // Enter stores it through the bound recordset, after FillNewRow has let
    // the owner fill what the user does not type. As a line number it is
    // kNewRowLine, which names no record.
    static constexpr int kNewRowLine = -1;
    void setNewRowLine(bool on);
    QTableView* newRowView() const;
    // Stores the typed row and logs it as added; false when nothing was
    // typed or the database refused it (the typing then stays).
    bool commitNewRow();
    // Writes a value into a cell of the current line, the new-row line too.
    bool setCurrentValue(int column, const QVariant& v);

    // --- custom editing (newrow.cpp)
    // The owner's control that edits custom columns: the grid gives it the
    // keys and ends the edit on Enter (stored), Tab and Shift+Tab (stored,
    // and the next or previous cell edited, as from any cell), Escape
    // (dropped, what was typed with it) or when the focus leaves it (stored).
    // A date or time box that refuses what was typed keeps the edit open.
    void setCustomEditControl(QWidget* control);
    QWidget* customEditControl() const { return customControl_; }
    bool customEditOpen() const;
    // Ends the edit, then does as the hint says (the new row stored, the
    // next or previous cell edited).
    void endCustomEdit(bool store, QAbstractItemDelegate::EndEditHint then = QAbstractItemDelegate::NoHint);

    // --- hit-test (points in this widget's coordinates)
    int hitTest(const QPoint& pos) const;
    int columnAt(const QPoint& pos) const;   // 0 when none
    int rowAt(const QPoint& pos) const;      // 0 when none
    QPoint cellCenter(int row, int column) const;

    // --- report (laid out on pages and printed by views/report)
    // The shown rows with their texts. With `asNeeded` the rows stay in the
    // grid and each is read when the report asks for it: a row the grid no
    // longer has (or a grid gone) reads empty.
    ReportModel reportModel(bool asNeeded = false) const;

    QTableView* tableView() const { return table_; }
    QAbstractItemView* cardView() const;
    GridModel* model() const { return model_; }

signals:
    void doubleClicked();
    void rightClicked(const QPoint& globalPos, int row, int column);
    void mouseDown(Qt::MouseButton button, const QPoint& pos);
    void mouseUp(Qt::MouseButton button, const QPoint& pos);
    void currentRowChanged(int row);
    // An edit was refused: the text did not convert or the column is locked.
    void editRejected(int row, int column, const QString& text);
    // The new-row line is about to be stored: the owner may fill cells of
    // the current line (the new row) with setCurrentValue.
    void FillNewRow();
    // A custom column's edit: load the cell into the owner's control, show
    // it over the cell (x, y, width, height in twips from the grid's top
    // left) or hide it, and store the control's value into the cell.
    void LoadCustomEdit(int column);
    void ShowCustomEdit(int column, int x, int y, int width, int height, bool show);
    void StoreCustomEdit(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class GridModel;
    friend class GridDelegate;
    // A typed text as the value of its column, read in the user's regional
    // forms; false when it reads as none.
    bool typedValue(int column, const QVariant& v, QVariant& out) const;
    friend class CardDelegate;
    friend class NewRowLine;

    struct ColumnSettings {
        QString field;
        QString caption;
        bool hidden = false;
        int widthTwips = -1;      // -1: the default
        int editType = etText;
        QPointer<GridEX> dropDown;
        QVector<std::pair<QVariant, QString>> valueList;
        QString format;
        bool cardCaption = false;
        int aggregate = agNone;
        QString totalFormat;
        QString totalPrefix;
    };

    bool validColumn(int column) const;
    // The caption as the header shows it: on two lines when one is too wide.
    QString shownCaption(int column) const;
    int firstVisibleColumn() const;   // 0 when every column is hidden
    ColumnSettings* col(int column);
    const ColumnSettings* col(int column) const;
    void applyColumns();
    // The pixels a column is shown in: its width, or what its widest amount
    // and total need when that is more (an amount is never cut).
    int shownWidth(int column) const;
    int amountsWidth(int column) const;
    qreal widestAmount(int column, int fromRecord, int toRecord) const;
    // Whether a column shows amounts: in its cells or in its total.
    bool showsAmounts(int column) const;
    // Widens the columns of amounts as they need (after a change of that record).
    void fitAmounts(int record = -1);
    void applyLayout();
    void updateSpans();
    // Gathers the rows anew; the current row stays on its record when the
    // records themselves are the same (an edit moved one to another group).
    void rebuild(bool followRecord = false);
    void onRowChanged(int row);
    void scheduleRebuild();
    void keyed(bool done);   // the rows' view begins or ends a key
    void logEdit(int record, int column);
    // Tells why the database refused a typed cell, and opens the cell again
    // with what was typed.
    void reopenRefused(const CellRefusal& refused);
    void emitCurrentRow();
    void setCurrentCell(int row, int column);   // column 0: the first shown
    QPoint toViewport(const QPoint& pos) const;

    ado::RecordsetPtr rs_;
    QStringList fields_;
    QVector<ColumnSettings> cols_;
    int groupColumn_ = 0;

    Layout layout_ = Layout::Rows;
    int cardWidthTwips_ = 3000;
    int cardsAcross_ = 0;
    bool s1_ = false, s2_ = false, s3_ = false;
    int totalMode_ = 0;
    QString pageHeader_;
    int leftMarginTwips_ = 0, rightMarginTwips_ = 0;
    bool printOptions_ = false;
    bool listMode_ = false, listAutoHide_ = false;
    QString valueColumn_;
    int lastCurrent_ = 0;
    bool blockCurrentSignal_ = false;
    bool inEdit_ = false;
    bool reportingWrite_ = false;  // writeCurrentRow tells its caller why a write failed
    bool editorWriting_ = false;   // the cell editor tells of a refusal itself
    QString lastEditError_;
    bool lastEditUnread_ = false;  // lastEditError_ is a text that did not convert
    std::function<bool()> writeGuard_;
    bool rebuildPending_ = false;
    bool keying_ = false;                // the rows' view is handling a key
    std::pair<int, int> moved_ = {-1, 0};  // a record edited and regrouped, and the rows its key moved on
    const ado::Recordset* builtFor_ = nullptr;   // the recordset the rows were gathered from
    bool applyingColumns_ = false;
    std::pair<int, int> spanRows_ = {0, 0};   // the rows whose header rows have their spans
    mutable QVector<QString> totalsCache_;
    mutable QVector<qreal> amountsCache_;   // the widest cell of each column of amounts, -1 unmeasured

    GridModel* model_ = nullptr;
    GridDelegate* delegate_ = nullptr;
    CardDelegate* cardDelegate_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QTableView* table_ = nullptr;
    CardView* cards_ = nullptr;
    NewRowLine* newRow_ = nullptr;
    QPointer<QWidget> customControl_;
    QObject* customWatch_ = nullptr;
};

}  // namespace grid
