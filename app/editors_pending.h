#pragma once
// Stand-ins for the editors and utility windows of the events, guests,
// seating and money parts of the program, until those are built. Each is a
// window of its own name holding the public variables its openers write
// (those naming its record kept while it is open), and says in its caption
// that it is not built yet. The commands of the main
// window already write those variables and show the window modal or
// modeless as each command requires.

#include "platform/ui/forms.h"

#include <QDateTime>
#include <QString>

class QLabel;
class QPushButton;

namespace pending {

// A plain window with one line of text and a Close button.
class PendingForm : public ui::FormBase {
public:
    PendingForm(QString name, QString title) : FormBase(std::move(name)), title_(std::move(title)) {}
    QString caption() const { return title_ + " (not built yet)"; }
    QLabel* lblInfo = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void createControls() override;
    void releaseControls() override;

private:
    QString title_;
};

template <class T>
class Pending : public PendingForm {
public:
    static T& instance()
    {
        static T* inst = new T;
        return *inst;
    }

protected:
    using PendingForm::PendingForm;
};

}  // namespace pending

// ---------------------------------------------------------------- events, tasks, appointments

#include "events/frmAddAppt.h"

#include "events/frmEventInfo.h"

#include "events/frmEventTasks.h"

#include "events/frmWizAddTask.h"

// ---------------------------------------------------------------- guests and invitations

#include "guests/frmGuestDetail.h"

#include "guests/frmExportData.h"
#include "guests/frmImportData.h"

#include "guests/frmInvite.h"

// ---------------------------------------------------------------- seating and stationery

#include "seating/frmSeating.h"

#include "seating/frmLabels.h"

#include "seating/frmPlacard.h"

// ---------------------------------------------------------------- vendors, budget, attire, gifts

#include "money/frmAddBudget.h"
#include "money/frmAddExpense.h"
#include "money/frmAttire.h"
#include "money/frmAutoBudget.h"
#include "money/frmGift.h"
#include "money/frmMeasure.h"
#include "money/frmQuote.h"
#include "money/frmRegistry.h"
#include "money/frmVendor.h"
