#pragma once
// What every record editor shares: one save as one transaction with its log
// rows, a refused write shown and nothing kept, the editable lookup lists,
// the date and time pickers, and the procedures an editor offers other
// windows while it is open.

#include "platform/ado/ado.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <functional>
#include <utility>
#include <vector>

class QComboBox;
class QDateEdit;
class QTimeEdit;
class QWidget;

namespace editing {

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
// Whether the lookup editor is now closing on the list of that key (its
// callers' refills reset only that list's box).
bool lookupListEdited(const QString& listMode);

// A stored moment split over a date picker and a time picker, and joined
// back into the stored form. A NULL or unreadable value leaves the pickers
// as they are and returns false.
bool toPickers(const QVariant& stored, QDateEdit* date, QTimeEdit* time);
QString fromPickers(const QDate& date, const QTime& time);
QString fromPickers(const QDateEdit* date, const QTimeEdit* time);

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
