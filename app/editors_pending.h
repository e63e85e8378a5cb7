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

// Appointment editor: proposes a new appointment starting at curApptDate.
class frmAddAppt : public pending::Pending<frmAddAppt> {
public:
    frmAddAppt() : Pending("frmAddAppt", "Add Appointment") {}
    QDateTime curApptDate;
};

#include "events/frmEventInfo.h"

// Task editor, modal. "Edit" loads curTaskID; any other mode a new task.
class frmEventTasks : public pending::Pending<frmEventTasks> {
public:
    frmEventTasks() : Pending("frmEventTasks", "Task") { keepWhileOpen(curMode, curTaskID); }
    QString curMode;
    qlonglong curTaskID = 0;
};

// Task wizard, modal, no variables.
class frmWizAddTask : public pending::Pending<frmWizAddTask> {
public:
    frmWizAddTask() : Pending("frmWizAddTask", "Task Wizard") {}
};

// ---------------------------------------------------------------- guests and invitations

// Guest-party editor, modeless: "New" or "Edit" with curRec the GUEST_ID.
class frmGuestDetail : public pending::Pending<frmGuestDetail> {
public:
    frmGuestDetail() : Pending("frmGuestDetail", "Guest and Group") { keepWhileOpen(curMode, curRec); }
    QString curMode;
    qlonglong curRec = 0;
};

class frmImportData : public pending::Pending<frmImportData> {
public:
    frmImportData() : Pending("frmImportData", "Import Guest Data") {}
};

class frmExportData : public pending::Pending<frmExportData> {
public:
    frmExportData() : Pending("frmExportData", "Export Guest Data") {}
};

// Invitations: reads the events from frmMain.ddEventRS.
class frmInvite : public pending::Pending<frmInvite> {
public:
    frmInvite() : Pending("frmInvite", "Invitations") {}
};

// ---------------------------------------------------------------- seating and stationery

#include "seating/frmSeating.h"

class frmLabels : public pending::Pending<frmLabels> {
public:
    frmLabels() : Pending("frmLabels", "Address Labels") {}
};

class frmPlacard : public pending::Pending<frmPlacard> {
public:
    frmPlacard() : Pending("frmPlacard", "Place Cards") {}
};

// ---------------------------------------------------------------- vendors, budget, attire, gifts

class frmVendor : public pending::Pending<frmVendor> {
public:
    frmVendor() : Pending("frmVendor", "Vendor") { keepWhileOpen(curMode, vendorID); }
    QString curMode;
    qlonglong vendorID = 0;
};

class frmQuote : public pending::Pending<frmQuote> {
public:
    frmQuote() : Pending("frmQuote", "Quote") { keepWhileOpen(curMode, curQuote); }
    QString curMode;
    qlonglong curQuote = 0;
};

// Budget item: "Add" starts empty; any other mode loads curBudgetID.
class frmAddBudget : public pending::Pending<frmAddBudget> {
public:
    frmAddBudget() : Pending("frmAddBudget", "Budget Item") { keepWhileOpen(curMode, curBudgetID); }
    QString curMode;
    qlonglong curBudgetID = 0;
};

// Expense editor. curBudgetID holds the EXPENSE_ID. "Add" clears the fields;
// "Budget" fills them from the four ex... strings; "New" with curBudgetID 0
// must start a new expense (there is no expense 0 to load); any other mode
// loads the expense curBudgetID.
class frmAddExpense : public pending::Pending<frmAddExpense> {
public:
    frmAddExpense() : Pending("frmAddExpense", "Expense")
    {
        keepWhileOpen(curMode, curBudgetID, exExpenseText, exExpenseEvent, exExpenseAmtDue, exExpenseWhoPays);
    }
    QString curMode;
    qlonglong curBudgetID = 0;
    QString exExpenseText, exExpenseEvent, exExpenseAmtDue, exExpenseWhoPays;
};

// Budget wizard, no variables.
class frmAutoBudget : public pending::Pending<frmAutoBudget> {
public:
    frmAutoBudget() : Pending("frmAutoBudget", "Budget Wizard") {}
};

class frmAttire : public pending::Pending<frmAttire> {
public:
    frmAttire() : Pending("frmAttire", "Attire") { keepWhileOpen(curMode, curAttireID); }
    QString curMode;
    qlonglong curAttireID = 0;
};

class frmMeasureFemale : public pending::Pending<frmMeasureFemale> {
public:
    frmMeasureFemale() : Pending("frmMeasureFemale", "Female Measurements") { keepWhileOpen(curMode, curRec); }
    QString curMode;
    qlonglong curRec = 0;
};

class frmMeasureMale : public pending::Pending<frmMeasureMale> {
public:
    frmMeasureMale() : Pending("frmMeasureMale", "Male Measurements") { keepWhileOpen(curMode, curRec); }
    QString curMode;
    qlonglong curRec = 0;
};

// Gift editor, modeless.
class frmGift : public pending::Pending<frmGift> {
public:
    frmGift() : Pending("frmGift", "Gift") { keepWhileOpen(giftMode, giftID); }
    QString giftMode;
    qlonglong giftID = 0;
};

// Registry editor, modeless.
class frmRegistry : public pending::Pending<frmRegistry> {
public:
    frmRegistry() : Pending("frmRegistry", "Registry") { keepWhileOpen(registryMode, registryID); }
    QString registryMode;
    qlonglong registryID = 0;
};
