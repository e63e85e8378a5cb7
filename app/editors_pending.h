#pragma once
// Stand-ins for the editors and utility windows of the events, guests,
// seating and money parts of the program, until those are built. Each is a
// window of its own name holding the public variables its openers write, and
// says in its caption that it is not built yet. The commands of the main
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

// A modeless editor that names its record by a mode and a key: shown again
// while open, it keeps the record it was opened on.
template <class T>
class PendingEditor : public Pending<T> {
protected:
    PendingEditor(QString name, QString title, QString T::*mode, qlonglong T::*key)
        : Pending<T>(std::move(name), std::move(title)), mode_(mode), key_(key)
    {
    }
    void captureVariables() override
    {
        keptMode_ = self().*mode_;
        keptKey_ = self().*key_;
    }
    void restoreVariables() override
    {
        self().*mode_ = keptMode_;
        self().*key_ = keptKey_;
    }

private:
    T& self() { return static_cast<T&>(*this); }
    QString T::*mode_;
    qlonglong T::*key_;
    QString keptMode_;
    qlonglong keptKey_ = 0;
};

}  // namespace pending

// ---------------------------------------------------------------- events, tasks, appointments

// Appointment editor: proposes a new appointment starting at curApptDate.
class frmAddAppt : public pending::Pending<frmAddAppt> {
public:
    frmAddAppt() : Pending("frmAddAppt", "Add Appointment") {}
    QDateTime curApptDate;
};

// Event editor, modeless. "Edit" loads curEvent; any other mode starts a new
// event. Clears both variables when it closes.
class frmEventInfo : public pending::PendingEditor<frmEventInfo> {
public:
    frmEventInfo() : PendingEditor("frmEventInfo", "Event Information", &frmEventInfo::curMode, &frmEventInfo::curEvent) {}
    QString curMode;
    qlonglong curEvent = 0;

protected:
    void Form_Unload(bool&) override
    {
        curMode.clear();
        curEvent = 0;
    }
};

// Task editor, modal. "Edit" loads curTaskID; any other mode a new task.
class frmEventTasks : public pending::Pending<frmEventTasks> {
public:
    frmEventTasks() : Pending("frmEventTasks", "Task") {}
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
class frmGuestDetail : public pending::PendingEditor<frmGuestDetail> {
public:
    frmGuestDetail() : PendingEditor("frmGuestDetail", "Guest and Group", &frmGuestDetail::curMode, &frmGuestDetail::curRec) {}
    QString curMode;
    qlonglong curRec = 0;
};

#include "guests/frmExportData.h"
#include "guests/frmImportData.h"

// Invitations: reads the events from frmMain.ddEventRS.
class frmInvite : public pending::Pending<frmInvite> {
public:
    frmInvite() : Pending("frmInvite", "Invitations") {}
};

// ---------------------------------------------------------------- seating and stationery

// Seating designer: keeps the chosen event in curEvent.
class frmSeating : public pending::Pending<frmSeating> {
public:
    frmSeating() : Pending("frmSeating", "Seating") {}
    qlonglong curEvent = 0;
};

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
    frmVendor() : Pending("frmVendor", "Vendor") {}
    QString curMode;
    qlonglong vendorID = 0;
};

class frmQuote : public pending::Pending<frmQuote> {
public:
    frmQuote() : Pending("frmQuote", "Quote") {}
    QString curMode;
    qlonglong curQuote = 0;
};

// Budget item: "Add" starts empty; any other mode loads curBudgetID.
class frmAddBudget : public pending::Pending<frmAddBudget> {
public:
    frmAddBudget() : Pending("frmAddBudget", "Budget Item") {}
    QString curMode;
    qlonglong curBudgetID = 0;
};

// Expense editor. curBudgetID holds the EXPENSE_ID. "Add" clears the fields;
// "Budget" fills them from the four ex... strings; "New" with curBudgetID 0
// must start a new expense (there is no expense 0 to load); any other mode
// loads the expense curBudgetID.
class frmAddExpense : public pending::PendingEditor<frmAddExpense> {
public:
    frmAddExpense() : PendingEditor("frmAddExpense", "Expense", &frmAddExpense::curMode, &frmAddExpense::curBudgetID) {}
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
    frmAttire() : Pending("frmAttire", "Attire") {}
    QString curMode;
    qlonglong curAttireID = 0;
};

class frmMeasureFemale : public pending::PendingEditor<frmMeasureFemale> {
public:
    frmMeasureFemale() : PendingEditor("frmMeasureFemale", "Female Measurements", &frmMeasureFemale::curMode, &frmMeasureFemale::curRec) {}
    QString curMode;
    qlonglong curRec = 0;
};

class frmMeasureMale : public pending::PendingEditor<frmMeasureMale> {
public:
    frmMeasureMale() : PendingEditor("frmMeasureMale", "Male Measurements", &frmMeasureMale::curMode, &frmMeasureMale::curRec) {}
    QString curMode;
    qlonglong curRec = 0;
};

// Gift editor, modeless.
class frmGift : public pending::PendingEditor<frmGift> {
public:
    frmGift() : PendingEditor("frmGift", "Gift", &frmGift::giftMode, &frmGift::giftID) {}
    QString giftMode;
    qlonglong giftID = 0;
};

// Registry editor, modeless.
class frmRegistry : public pending::PendingEditor<frmRegistry> {
public:
    frmRegistry() : PendingEditor("frmRegistry", "Registry", &frmRegistry::registryMode, &frmRegistry::registryID) {}
    QString registryMode;
    qlonglong registryID = 0;
};
