#pragma once
// What every record editor shares: one save as one transaction with its log
// rows, a refused write shown and nothing kept, the editable lookup lists,
// the date and time pickers, and the procedures an editor offers other
// windows while it is open.

#include "platform/ado/ado.h"

#include <QDate>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <exception>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;
class QWidget;

namespace editing {

// A step of a load that runs with errors ignored: a failing one is skipped
// and the next one runs.
template <class Fn>
void ignoringErrors(Fn&& fn)
{
    try {
        fn();
    } catch (const std::exception&) {
    }
}

// Controls made at their design places (see twips::rect), named as the
// window names them.
template <class W>
W* place(QWidget* parent, const QString& name, const QRect& at)
{
    W* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(at);
    return w;
}
QLabel* placeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& at);
// A button that Enter in a text box does not press.
QPushButton* placeButton(QWidget* parent, const QString& name, const QString& text, const QRect& at);
// A click runs the handler under the window guard: an error is shown and the
// window stays.
void onClick(QPushButton* button, std::function<void()> handler);
// Tab moves through the controls in this order.
void setTabOrder(std::initializer_list<QWidget*> controls);

// Runs the steps of one save (the log rows and the writes) as one
// transaction on the shared connection. A step that fails rolls all of them
// back; the user is told why (after `failure`, by default "The changes
// could not be saved.") and false is returned, so the editor stays open with
// what was typed.
bool saveAll(const std::function<void()>& steps, QWidget* owner = nullptr, const QString& failure = QString());

// Whether the row of that key is still there (another window or copy may
// have deleted it while an editor had it open).
bool recordExists(const QString& table, qint64 key);

// The first column of every row of a query, "" for NULL.
QStringList columnTexts(const QString& sql, const ado::Params& params = {});

// Fills an editable drop-down list: `leading` entries first (such as
// "No Priority"), then the items. With keepText the box goes on showing the
// text it showed, also one the list does not hold; otherwise it shows the
// first entry.
void fillList(QComboBox* box, const QStringList& items, bool keepText, const QStringList& leading = {});
// The same with the items of a query; one that cannot be read leaves the
// leading entries alone in the list.
void fillListFrom(QComboBox* box, const QString& sql, bool keepText, const QStringList& leading = {});
// Whether the lookup editor is now closing on the list of that key (its
// callers' refills reset only that list's box).
bool lookupListEdited(const QString& listMode);
// An editable drop-down list whose typed text stays as typed: nothing is
// completed or added to the list behind the user's back.
void setupEditableList(QComboBox* box);
// Shows a text in an editable list: its entry when the list holds it
// (letter case included), else the text itself.
void showText(QComboBox* box, const QString& text);

// A stored moment split over a date picker and a time picker, and joined
// back into the stored form. A NULL or unreadable value leaves the pickers
// as they are and returns false.
bool toPickers(const QVariant& stored, QDateEdit* date, QTimeEdit* time);
QString fromPickers(const QDate& date, const QTime& time);
QString fromPickers(const QDateEdit* date, const QTimeEdit* time);
// Date pickers show and take US short dates with a drop-down calendar; time
// pickers a time of day with AM/PM.
void setupDatePicker(QDateEdit* date);
void setupTimePicker(QTimeEdit* time);

// Procedures other windows call by name ("frmGuestDetail.GetTitles"), offered
// while the editor is loaded: set them when the controls are made, and the
// names go when this object does (at unload).
class OpenProcedures {
public:
    OpenProcedures() = default;
    OpenProcedures(const OpenProcedures&) = delete;
    OpenProcedures& operator=(const OpenProcedures&) = delete;
    ~OpenProcedures() { clear(); }
    void set(const QString& name, std::function<void()> proc);
    void clear();

private:
    std::vector<QString> names_;
};

}  // namespace editing
