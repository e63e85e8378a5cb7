#pragma once
// What every record editor shares: its record as it read it, so a save
// writes only what the user changed; one save as one transaction with its
// log rows, a refused write shown and nothing kept; the question as it
// closes with changes not yet saved; lists that say when they could not be
// read; the editable lookup lists, the date and time pickers, and the
// procedures an editor offers other windows while it is open.

#include "platform/ado/ado.h"
#include "platform/ui/forms.h"
#include "records/lookuplists.h"

#include <QDate>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <QVector>

#include <functional>
#include <limits>
#include <source_location>
#include <stdexcept>
#include <utility>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRect;
class QWidget;

namespace ui {
class DateBox;
class FormBase;
class TimeBox;
}

namespace editing {

// Runs the steps of one save (the log rows and the writes) as one
// transaction on the shared connection. A step that fails rolls all of them
// back; the user is told why (after `failure`, by default "The changes
// could not be saved.") and false is returned, so the editor stays open with
// what was typed.
bool saveAll(const std::function<void()>& steps, QWidget* owner = nullptr, const QString& failure = QString());

// What the records of a table are called in a message ("invitations",
// "guest parties").
QString recordsWord(const QString& table);

// Whether `count` more records of the table can be added to this copy of
// the wedding, which gives out at most 999,999 keys per table (those of
// deleted records included). When not, the user is told which list is full
// and the caller writes nothing. When the count cannot be read, the write
// goes on and reports its own refusal.
bool roomFor(const QString& table, qint64 count, QWidget* owner = nullptr);

// Whether the row of that key is still there (another window or copy may
// have deleted it while an editor had it open).
bool recordExists(const QString& table, qint64 key);

// Whether the row of that key is known to be gone: a read that fails (another
// program holds the file) proves nothing, and the save that follows is then
// refused with the usual message.
bool knownGone(const QString& table, qint64 key);

// Whether the record that rows are about to be written under (an event for
// its lists, a guest for its people, a table for its seats) is still there.
// When it is gone the user is told so plainly ("This event no longer
// exists.") and the caller writes nothing.
bool ownerStillThere(const QString& table, qint64 key, QWidget* parent = nullptr);
// What ownerStillThere says of a record of that table that is gone.
QString goneMessage(const QString& table);

// A write that must not go on because what it writes under changed
// meanwhile (another window or copy deleted a person, uninvited him). Thrown
// inside the steps of saveAll, it rolls the save back like any failure, and
// its text is shown alone: nothing was written.
struct Refused : std::runtime_error {
    explicit Refused(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
// Inside a save: throws Refused with goneMessage when the row of that key is
// gone, so the check and the write it guards are one transaction.
void requireRecord(const QString& table, qint64 key);


// One editor's addition of one record, as one transaction: a new row is
// started, `write` fills it, the addition is logged (1) before the row is
// stored. A refusal is shown as by saveAll. The new row's key goes to
// *newKey.
enum class SaveOutcome { Saved, Refused, Gone };
SaveOutcome addRecord(const QString& table, const std::function<void(ado::Recordset&)>& write,
                      QWidget* owner = nullptr, qint64* newKey = nullptr);
inline const char* kRecordGone = "This record was deleted while it was open here, so the changes were not saved.";

// A column of a record and the box that shows it: a message names the
// column by the box's label ("City").
struct ShownIn {
    QString column;
    const QWidget* box = nullptr;
};
using ShownBoxes = std::vector<ShownIn>;

// A record as an editor read it. A save then writes only the columns the
// user changed (those the boxes make differ from what was read), over the
// record as it is stored by then: a column another window or a merge changed
// meanwhile stays as they left it, unless the user changed it too; then the
// user is told what changed and chooses.
class RecordAsRead {
public:
    enum class Read { Shown, Missing, Failed };
    // Reads the row of `key` and hands it to `show`, keeping its values;
    // nothing is kept when there is no such row or it cannot be read (the
    // error is in `why`).
    Read read(const QString& table, qint64 key, const std::function<void(ado::Recordset&)>& show,
              QString* why = nullptr);
    bool isRead() const { return !values_.isEmpty(); }
    const QString& table() const { return table_; }
    qint64 key() const { return key_; }
    void forget();
    // Where the editor shows its columns, for the question about changes
    // made meanwhile; a column it does not name is named from the column.
    std::function<ShownBoxes()> boxes;

private:
    friend SaveOutcome saveChanges(RecordAsRead&, const std::function<void(ado::Recordset&)>&, QWidget*);
    QString table_;
    qint64 key_ = 0;
    QStringList names_;
    QVector<ado::ColumnKind> kinds_;
    QVector<QVariant> values_;
};

// Reads an editor's record (RecordAsRead::read). A record that is gone, or
// that cannot be read (another program holds the file), is told plainly and
// false is returned: the editor then closes, and nothing is offered for
// saving over a record it never showed.
bool openRecord(RecordAsRead& record, const QString& table, qint64 key,
                const std::function<void(ado::Recordset&)>& show, QWidget* owner = nullptr);
inline const char* kRecordUnread =
    "This record could not be read, so it is not opened and nothing was changed. Please try again in a moment.";

// Saves what the user changed of a record read with RecordAsRead, as one
// transaction with its log row: `write` fills the row as it is stored now,
// and only the columns whose value the boxes changed are written. Nothing
// changed writes and logs nothing. A column changed meanwhile that the user
// changed too is asked about: Yes writes what is typed, No keeps the stored
// value (the rest is written), Cancel writes nothing and the window stays.
SaveOutcome saveChanges(RecordAsRead& record, const std::function<void(ado::Recordset&)>& write,
                        QWidget* owner = nullptr);
// An editor's save: a new record of the table added whole (addRecord), or
// the record it read saved as the user changed it (saveChanges).
SaveOutcome saveRecord(RecordAsRead& record, const QString& table, bool adding,
                       const std::function<void(ado::Recordset&)>& write, QWidget* owner = nullptr,
                       qint64* newKey = nullptr);

// Whether two values of a column of that kind are the same value: no value
// and an empty text are alike, amounts alike to the last stored decimal.
bool sameValue(ado::ColumnKind kind, const QVariant& a, const QVariant& b);

// The caption of a box as its window shows it: its label's text without
// the colon; "" when it has none.
QString captionOf(const QWidget* box);

// Reads the rows of a list (`read`). One that could not be read (another
// program holds the file) is logged and says so and why, rather than being
// shown as if there were none; false is then returned.
bool readList(const std::function<void()>& read, QWidget* owner = nullptr,
              const std::source_location& where = std::source_location::current());
inline const char* kListUnread =
    "This list could not be read, so its rows are not shown. Please try again in a moment.";

// The boxes of an editor as they stood when it loaded or last saved, to see
// whether it holds changes not yet saved as it closes.
class BoxesAsSaved {
public:
    // The window's boxes as they are now count as saved.
    void take(const QWidget* window);
    // Nothing is unsaved any more (saved, or given up by the user).
    void forget()
    {
        states_.clear();
        other_ = false;
    }
    // A change the boxes do not show (a picture chosen).
    void markChanged() { other_ = true; }
    bool changed() const;

private:
    std::vector<std::pair<QPointer<const QWidget>, QString>> states_;
    bool other_ = false;
};
// An editor closed (by Close, its close box or Escape) with changes not yet
// saved asks whether to save them: Yes runs `save` and closes only when it
// went through, No closes, Cancel keeps the window open. True to close.
bool mayClose(BoxesAsSaved& boxes, QWidget* window, const std::function<bool()>& save);
inline const char* kSaveChanges = "Do you want to save the changes you made?";

// How an opener asks an editor to open: on a new record, or on the record
// its key names. A window with other modes declares a Mode of its own.
enum class Mode { Add, Edit };

// A window that edits one record (ui::Form<...> or ui::FormBase as Base):
// it keeps the record as it read it and its boxes as last saved, and asks
// before it closes with changes not yet saved.
template <class Base>
class RecordEditor : public Base {
public:
    using Mode = editing::Mode;

    void Form_QueryUnload(bool& cancel, int unloadMode) override
    {
        Base::Form_QueryUnload(cancel, unloadMode);
        if (!cancel && !mayClose(asSaved_, this->widget(), [this] { return save(); }))
            cancel = true;
    }

protected:
    using Base::Base;
    // Saves the record (its Save button, and Yes as it closes); true when it
    // went through, or the record is gone so there is nothing left to save.
    virtual bool save() = 0;
    // The boxes as they stand now count as saved (at the end of a load).
    void boxesSaved() { asSaved_.take(this->widget()); }
    // A change not yet saved that no box shows.
    void changedBeyondBoxes() { asSaved_.markChanged(); }
    // Closes without asking: after a save, or on the user's Cancel.
    void closeAsIs()
    {
        asSaved_.forget();
        this->Unload();
    }
    RecordAsRead record_;

private:
    BoxesAsSaved asSaved_;
};

// Opens the lookup-list editor on a list, modal over `opener` (or modeless,
// beside it); `opener` fills its lists again when it closes.
void editLookupList(ui::FormBase& opener, records::Lookup list, bool modeless = false);

// A box's text as the user sees it (line edit, multi-line box, drop-down
// box, label), and setting it.
QString boxText(const QWidget* box);
void setBoxText(QWidget* box, const QString& text);

// A typed text into its column: a text column takes it unchanged; any other
// column reads it in the user's regional forms (regional.h). Nothing typed
// leaves the column as it was (false); a text that reads as no value throws
// an ado::Error whose description says why and names the form asked for.
bool assignText(ado::Recordset& rs, const QString& column, const QString& text);
// A stored value as the program writes it: "" for NULL, numbers as their
// plain text (500, 123456.78), dates in the stored form. Boxes of numbers
// and dates show regional::shownText instead.
QString storedText(const QVariant& v);

// The first column of every row of a query, "" for NULL.
QStringList columnTexts(const QString& sql, const ado::Params& params = {});
// One field of every row of a query, by name, in query order; rows where it
// holds no text are left out.
QStringList fieldTexts(const QString& sql, const QString& field, const ado::Params& params = {});

// Fills an editable drop-down list: `leading` entries first (such as
// "No Priority"), then the items. With keepText the box goes on showing the
// text it showed, also one the list does not hold, unless that text was an
// entry of the list and is one no more (deleted from it): the box then shows
// the first leading entry, or nothing. Without keepText it shows the first
// entry.
void fillList(QComboBox* box, const QStringList& items, bool keepText, const QStringList& leading = {});
// The same with the items of a query; one that cannot be read leaves the
// leading entries alone in the list.
void fillListFrom(QComboBox* box, const QString& sql, bool keepText, const QStringList& leading = {});
// Fills a drop-down list with the rows of a query: the second column is an
// entry's text ("" for NULL), the first its item data (a record's key), in
// query order. The list is emptied first, no entry is chosen and nothing
// fires; a query that cannot be read leaves the list empty.
void fillKeyedList(QComboBox* box, const QString& sql, const ado::Params& params = {});
// Fills a drop-down list and shows no entry chosen, with an empty text.
void fillListEmpty(QComboBox* box, const QStringList& items);
// Refills the box of a lookup list with the texts of one field of a query's
// rows ("SELECT * FROM TITLES", "TITLE_TEXT"), keeping its text (fillList);
// a failing query leaves the list empty.
void refillLookupBox(QComboBox* box, const QString& sql, const QString& field);

// A stored moment split over a date picker and a time picker, and joined
// back into the stored form. A date picker without a time picker keeps the
// stored time of day with the date. NULL empties a date picker that may be
// empty (and its time picker when that may be); otherwise a NULL or
// unreadable value leaves the pickers as they are and returns false.
bool toPickers(const QVariant& stored, ui::DateBox* date, ui::TimeBox* time);
// A moment that may be empty: its date picker and time picker show that they
// hold none until the user gives one.
void allowEmptyMoment(ui::DateBox* date, ui::TimeBox* time);
// The moment of a date picker and a time picker (or none) as it is stored:
// NULL while the date picker holds no date; without a time picker, the time
// of day the date picker keeps; midnight when the time picker holds none;
// without seconds when `wholeMinutes`. A time typed without its
// date is refused with a plain message (an ado::Error), never lost unseen.
QVariant momentOf(const ui::DateBox* date, const ui::TimeBox* time, bool wholeMinutes = false);
// The moment a stored value holds; false for NULL or an unreadable value.
bool storedMoment(const QVariant& stored, QDateTime& out);
QString fromPickers(const QDate& date, const QTime& time);
QString fromPickers(const ui::DateBox* date, const ui::TimeBox* time);
// A date picker's date with the time of day it keeps, into a column; NULL
// when it holds no date.
void storeDate(ado::Recordset& rs, const QString& column, const ui::DateBox* date);

// Controls of an editor, made at their designed places and named as the
// design names them. A text box is one line, or multi-line (line breaks
// allowed, Tab moves on); a list box is an editable drop-down that keeps the
// text shown; a button runs its handler under the error guard and is never
// pressed by Enter from another control. A one-line box holds a text of
// any length its column holds (Qt's own limit would cut one of more than
// 32,767 characters).
inline constexpr int kWholeColumn = std::numeric_limits<int>::max();
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& at);
QWidget* makeTextBox(QWidget* parent, const QString& name, bool multiLine, const QRect& at);
QComboBox* makeListBox(QWidget* parent, const QString& name, const QRect& at);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& at,
                        std::function<void()> onClick);
// A list keeps its entries in the order they were added; it takes one
// selected entry, or with multiSelect each click selects or deselects one.
QListWidget* makeList(QWidget* parent, const QString& name, const QRect& at, bool multiSelect = false);
// A date picker shows and takes dates in the user's regional form, with a
// drop-down calendar; a time picker a time of day (ui::DateBox, ui::TimeBox).
ui::DateBox* makeDatePicker(QWidget* parent, const QString& name, const QRect& at);
ui::TimeBox* makeTimePicker(QWidget* parent, const QString& name, const QRect& at);
// Tab goes through the controls in the order given.
void chainTabOrder(const QList<QWidget*>& order);

// The present moment as the wall clock reads it. A test may put a clock of
// its own in its place; an empty function puts the real one back.
QDateTime now();
void setClock(std::function<QDateTime()> clock);

// Days, with their fraction, from one date and time to another as the
// calendar and the clock read them: never through a time zone, so a day
// across a daylight-saving change is still a day.
double daysBetween(const QDate& fromDay, const QTime& fromTime, const QDate& toDay, const QTime& toTime);

// The key every copy gives the same record (the one wedding row, an event
// made for a standard event), so that an exchange of replicas sees one
// record changed on both sides rather than two records. When this copy
// already holds that key, or the record of that key was deleted (a deleted
// key is never brought back), a new key of this copy's own range instead.
qint64 sharedKey(const QString& table, qint64 key);

// Fills a window's lists again each time a lookup-list editor that it
// opened closes, for as long as the window stays loaded; `refill` is told
// the list that was edited. Call it when the window's controls are made.
void refillAfterLookupEdits(ui::FormBase& form, std::function<void(records::Lookup list)> refill);

}  // namespace editing
