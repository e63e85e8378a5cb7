#pragma once
// What the vendor, budget, expense, attire, gift and registry editors share:
// their boxes bound to columns by name, the lookup lists they fill, the date
// picker that keeps its time of day, and the refresh of the main grid when
// they close.

#include "platform/ado/ado.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QDateEdit>
#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

class QComboBox;
class QWidget;

namespace money {

// One box and the column it shows and stores.
struct BoxColumn {
    QString column;
    QWidget* box = nullptr;
};
using BoxColumns = std::vector<BoxColumn>;

// Each column of the current row into its box, in order; a column without a
// value leaves its box as it is.
void showColumns(ado::Recordset& rs, const BoxColumns& boxes);
// Each box's text into its column, in order (editing::assignText).
void storeColumns(ado::Recordset& rs, const BoxColumns& boxes);

// Fills a drop-down box from the first column of a query, in the order the
// database returns it; a query that fails leaves the box as it is. With a
// lookup list's key the box keeps its text unless that list was just edited
// (editing::refillLookupBox); without one it is emptied.
void fillBox(QComboBox* box, const QString& sql, const QString& listMode = QString());

// The main grid shown afresh with the main window's recordset of that name
// ("VendorRS", "BudgetRS" ...); nothing while the main window is closed.
void refreshMain(const QString& member);

// A date picker as the editors use it: it shows the day and keeps the time
// of day it was given, so a stored moment comes back whole.
class DatePicker : public QDateEdit {
public:
    explicit DatePicker(QWidget* parent = nullptr);
    void setValue(const QDateTime& v);
    // Sets the stored form ("2027-06-12 14:30:00"); false (and nothing
    // changed) for NULL or a text that is no moment.
    bool setStored(const QVariant& stored);
    QDateTime value() const { return QDateTime(date(), kept_); }
    // The stored form of the value.
    QString stored() const;
    // The current date and time, to the second.
    void setNow();

private:
    QTime kept_;
};

}  // namespace money
