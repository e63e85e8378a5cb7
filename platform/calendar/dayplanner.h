#pragma once
// A day's timeline in minutes with the entries the program adds to it.
//
// Minutes count from the day's midnight (0 to 1440). Entries carry a text and
// a tag the program sets (it keeps the record key there). The user edits in
// place: typing on a selected empty slot starts a new entry, and so does
// typing while an entry is selected (at the time clicked; the entry itself
// is left alone); F2, Enter or a click on the current entry edits its text;
// dragging an entry's top or bottom edge (or its body) moves its bounds.
// Every finished edit is reported
// with AfterEdit(index); a double-click anywhere reports DblClick() with the
// minute under the pointer readable through mouseMinute().

#include <QString>
#include <QVector>
#include <QWidget>

class QLineEdit;
class QPagedPaintDevice;

namespace printing {
class Pages;
}
class QPainter;
class QScrollBar;

namespace calendar {

struct DayEntry {
    int startMinute = 0;
    int endMinute = 0;
    QString text;
    QString tag;
};

// What the last finished in-place edit did, readable inside the AfterEdit
// handler: whether the entry was typed new, and which of its parts changed.
// One line of the printed list under the timeline.
struct PrintLine {
    QString time;   // "9:30 AM - 10:45 AM"
    QString text;
    bool operator==(const PrintLine&) const = default;
};

struct EntryEdit {
    int index = -1;
    bool added = false;
    bool textChanged = false;
    bool startMoved = false;
    bool endMoved = false;
    // Minutes the whole entry was dragged by (its body, not an edge); its
    // length stays, also where the day cuts it off.
    int movedBy = 0;
};

class DayPlanner : public QWidget {
    Q_OBJECT
public:
    static constexpr int MinutesPerDay = 1440;

    // Print options: bit 1 draws the timeline with its entries, bit 2 a list of
    // the entries below it; 3 gives both.
    enum PrintOption { PrintTimeline = 1, PrintList = 2 };

    explicit DayPlanner(QWidget* parent = nullptr);
    ~DayPlanner() override;

    // ---- entries
    void clearEntries();
    // Returns the new entry's index. Minutes are clamped into the day and an
    // end before the start is taken as the start.
    int addEntry(int startMinute, int endMinute, const QString& text, const QString& tag = QString());
    void removeEntry(int index);
    int entryCount() const;
    DayEntry entry(int index) const;  // empty entry for a bad index
    int entryStart(int index) const;
    int entryEnd(int index) const;
    QString entryText(int index) const;
    QString entryTag(int index) const;
    void setEntryText(int index, const QString& text);

    // The selected entry, -1 when none.
    int currentEntry() const;
    void setCurrentEntry(int index);

    // The selected empty stretch of the day (where typing starts an entry),
    // in minutes; empty when an entry is selected instead.
    int selectionStart() const;
    int selectionEnd() const;
    void selectSlots(int startMinute, int endMinute);

    // ---- geometry
    int slotMinutes() const;
    void setSlotMinutes(int minutes);  // 5 to 60, a divisor of 60
    int slotHeight() const;            // pixels of one slot
    void setSlotHeight(int pixels);
    void setSnapMinutes(int minutes);  // grid that dragged edges follow

    int firstVisibleMinute() const;
    void setFirstVisibleMinute(int minute);
    int visibleMinutes() const;

    // Minute of the day at a point of the widget (0 to 1439) and back.
    int minuteAt(const QPoint& pos) const;
    int yForMinute(int minute) const;
    // Slot number (0 = from midnight) for a minute.
    int slotOf(int minute) const;
    // Entry drawn under a point, -1 for none; the entry's rectangle on screen.
    int entryAt(const QPoint& pos) const;
    QRect entryRect(int index) const;

    // The minute under the pointer at the last mouse event over the planner.
    int mouseMinute() const;

    // ---- in-place editing
    // Starts typing a new entry over the given minutes (the selected slots
    // when called without arguments); emits NewAppointment(start, end, true).
    void beginNewEntry(const QString& initialText = QString());
    void beginNewEntry(int startMinute, int endMinute, const QString& initialText = QString());
    void beginEdit(int index, const QString& replaceWith = QString());
    bool isEditing() const;
    int editingEntry() const;  // index of the entry being edited, -1 when none
    QLineEdit* editor() const;
    // Ends the edit: a new entry is kept and reported; a cancelled new entry
    // leaves nothing behind.
    void commitEdit();
    void cancelEdit();
    EntryEdit lastEdit() const;

    // ---- printing
    QString printTitle() const;
    void setPrintTitle(const QString& title);
    int printFirstMinute() const;
    int printLastMinute() const;
    void setPrintRange(int firstMinute, int lastMinute);
    int printOption() const;
    void setPrintOption(int option);
    // The printed list names every entry of the day, also those outside the
    // print range. By default each entry's minutes on the day; a caller that
    // knows the entries' true bounds (an entry may begin the day before or
    // end the day after) sets the lines itself. Clearing the entries clears it.
    void setPrintList(const QVector<PrintLine>& lines);
    QVector<PrintLine> printList() const;
    // Draws the print range and the list, on as many pages as the list
    // needs; false when nothing could be drawn.
    bool print(QPagedPaintDevice* device) const;
    // The same on the pages of a print, which may stop it at a page.
    bool print(printing::Pages& pages) const;
    // Pages the print takes on a page of that size.
    int printPageCount(QPainter& painter, const QRectF& page) const;
    void paintPage(QPainter& painter, const QRectF& page, int pageIndex = 0) const;

signals:
    // Typing of a new entry begins (typing is always true here).
    void NewAppointment(int startMinute, int endMinute, bool typing);
    // An entry was edited in place: its text, or its bounds by dragging.
    void AfterEdit(int index);
    // A new entry's typing was given up; nothing was added.
    void NewAppointmentCancelled();
    void entryAdded(int index);
    void entryChanged(int index);
    void entrySelected(int index);
    void DblClick();
    void slotDoubleClicked(int minute);
    // Buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt;
    // x and y in pixels of the widget.
    void MouseDown(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);
    void rightClicked(const QPoint& globalPos);
    void firstVisibleMinuteChanged(int minute);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Item {
        DayEntry e;
        quint64 serial = 0;
    };
    enum class Drag { None, Top, Bottom, Move, Select };

    void layoutColumns() const;
    void placeEditor();
    void updateScrollBar();
    int maxFirstMinute() const;
    int snap(int minute) const;
    void finishEdit(bool keep);
    void report(const EntryEdit& edit, quint64 serial);
    void drawTimeline(QPainter& p, const QRectF& area, int from, int to, bool forPrint) const;

    QVector<Item> items_;
    quint64 nextSerial_ = 1;
    quint64 generation_ = 0;
    int current_ = -1;
    int selStart_ = -1, selEnd_ = -1;
    int slotMinutes_ = 30;
    int slotHeight_ = 22;
    int snapMinutes_ = 15;
    int first_ = 0;
    int mouseMinute_ = 0;
    QScrollBar* scroll_ = nullptr;

    QLineEdit* editor_ = nullptr;
    int editIndex_ = -1;
    bool editIsNew_ = false;
    QString editOriginal_;

    Drag drag_ = Drag::None;
    int dragIndex_ = -1;
    int dragAnchorMinute_ = 0;
    int dragOrigStart_ = 0, dragOrigEnd_ = 0;
    bool dragMoved_ = false;
    // An entry moves or sizes only once the mouse went the desktop's drag
    // distance from where it was pressed: a click never changes it.
    QPoint dragPressPos_;
    bool dragBegun_ = false;
    bool pressOnCurrent_ = false;
    int clickedEntry_ = -1;     // the entry the last click selected, and where
    int clickedMinute_ = 0;

    EntryEdit lastEdit_;

    mutable QVector<int> column_;   // per entry: its column among overlapping ones
    mutable QVector<int> columns_;  // per entry: how many columns its cluster has
    mutable bool layoutDirty_ = true;

    QString printTitle_;
    int printFirst_ = 0;
    int printLast_ = MinutesPerDay;
    int printOption_ = PrintTimeline;
    QVector<PrintLine> printList_;
    bool printListSet_ = false;
};

}  // namespace calendar
