#pragma once
// What a window tells the other windows when it has changed records under
// them: rows of a main-window list changed, a record was deleted, a lookup
// list was edited, the budget items changed... The windows that show those
// records answer while they are loaded (answerWhileLoaded); a window that
// is closed hears nothing, as a call into a closed window is skipped.

#include "platform/ui/forms.h"
#include "records/cascade.h"
#include "records/lookuplists.h"

#include <QObject>
#include <QWidget>

#include <optional>
#include <utility>

namespace records {

// The lists of records the main window shows, each in a recordset of its
// own that a change requeries.
enum class MainList {
    Tasks,
    Events,
    Invitations,  // the RSVP view
    People,       // the guests and addresses views
    Vendors,
    Quotes,
    Expenses,
    Budget,
    Gifts,
    Attire,
    Measurements,  // female and male
    Registry,
};

// The main-window list a deletion of that kind changes; none for a
// subguest deleted from the guest editor or a table.
std::optional<MainList> mainListOf(DeleteKind kind);

class Notices : public QObject {
    Q_OBJECT
public:
    static Notices& instance();

signals:
    // Rows of a list the main window shows were added, changed or deleted.
    void rowsChanged(records::MainList list);
    // A record was deleted together with what hangs on it.
    void recordDeleted(records::DeleteKind kind, qint64 id);
    // The lookup-list editor closed on `list`, opened by the window
    // `opener`: that window, and only it, fills its lists again.
    void lookupListClosed(const ui::FormBase* opener, records::Lookup list);
    // The budget wizard closed: the main window shows its budget.
    void budgetChanged();
    // An event was saved: the main window shows its events.
    void eventSaved();
    // Standard tasks were scheduled: the main window shows every task.
    void tasksScheduled();
    // An appointment was saved: the calendar shown is drawn again.
    void appointmentsChanged();
    // A replica was merged: any record may have changed.
    void replicaMerged();
};

inline Notices& notices() { return Notices::instance(); }

// Runs `answer` on every `signal` of the notices while `form` stays loaded
// as it is now: call it when the window's controls are made. It ends with
// that load, also before the window's widget is gone, and runs under the
// program's error guard (no failure crosses the signal back to the window
// that told).
template <class Signal, class Answer>
void answerWhileLoaded(ui::FormBase& form, Signal signal, Answer answer)
{
    QWidget* const loaded = form.widget();
    QObject::connect(&notices(), signal, loaded, [&form, loaded, answer = std::move(answer)](const auto&... args) {
        if (form.widget() == loaded)
            ui::guarded([&] { answer(args...); });
    });
}

}  // namespace records
