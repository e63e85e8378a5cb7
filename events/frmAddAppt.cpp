#include "events/frmAddAppt.h"

#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/messages.h"
#include "records/notices.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// A day and a minute of the day that may run past midnight, brought back
// into one day. Plain wall-clock arithmetic: no time zone, no summer time.
frmAddAppt::Moment normalised(QDate day, int minute)
{
    day = day.addDays(minute / kMinutesPerDay);
    minute %= kMinutesPerDay;
    return {day, QTime(minute / 60, minute % 60)};
}

}  // namespace

frmAddAppt::Moment frmAddAppt::roundToHalfHour(const Moment& m)
{
    const int hour = m.time.hour(), minute = m.time.minute();
    int rounded = hour * 60;
    if (minute >= 1 && minute <= 30)
        rounded += 30;
    else if (minute > 30)
        rounded += 60;
    return normalised(m.date, rounded);
}

frmAddAppt::Moment frmAddAppt::proposedStart(const QDateTime& at)
{
    return roundToHalfHour({at.date(), at.time()});
}

frmAddAppt::Moment frmAddAppt::proposedEnd(const QDateTime& at)
{
    const QTime t = at.time();
    // The hour is added before rounding; seconds play no part in either.
    const Moment later = normalised(at.date(), t.hour() * 60 + t.minute() + 60);
    return roundToHalfHour(later);
}

void frmAddAppt::createControls()
{
    using editing::makeButton;
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle(kCaption);
    w->setFixedSize(twips::toPixels(6000), twips::toPixels(3960));

    const int left = 1920, height = 345;
    auto label = [&](const char* name, const char* text, int top) {
        return editing::makeLabel(w, name, text, rect(120, top + 45, 1740, 255));
    };
    auto datePicker = [&](const char* name, int top) {
        return editing::makeDatePicker(w, name, rect(left, top, 1800, height));
    };
    auto timePicker = [&](const char* name, int top) {
        return editing::makeTimePicker(w, name, rect(3840, top, 1440, height));
    };

    lblTitle = label("lblTitle", "Appointment Title:", 120);
    txtTitle = static_cast<QLineEdit*>(editing::makeTextBox(w, "txtTitle", false, rect(left, 120, 3960, height)));
    lblStart = label("lblStart", "Start Date/Time:", 540);
    dtStartDate = datePicker("dtStartDate", 540);
    dtStartTime = timePicker("dtStartTime", 540);
    lblEnd = label("lblEnd", "End Date/Time:", 960);
    dtEndDate = datePicker("dtEndDate", 960);
    dtEndTime = timePicker("dtEndTime", 960);
    lblPriority = label("lblPriority", "Priority:", 1380);
    cmbPriority = editing::makeListBox(w, "cmbPriority", rect(left, 1380, 2880, height));
    cmdEditPriority = makeButton(w, "cmdEditPriority", "Edit", rect(4920, 1380, 960, height),
                                 [this] { cmdEditPriority_Click(); });
    lblNotes = label("lblNotes", "Notes:", 1800);
    txtNotes = static_cast<QPlainTextEdit*>(editing::makeTextBox(w, "txtNotes", true, rect(left, 1800, 3960, 1440)));
    cmdSave = makeButton(w, "cmdSave", "Save", rect(3480, 3420, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(4740, 3420, 1140, 375), [this] { cmdCancel_Click(); });

    editing::chainTabOrder({txtTitle, dtStartDate, dtStartTime, dtEndDate, dtEndTime, cmbPriority, cmdEditPriority,
                            txtNotes, cmdSave, cmdCancel});
    // Once a whole date is typed or picked, not at each key.
    QObject::connect(dtStartDate, &ui::DateBox::valueChanged, w,
                     [this] { ui::guarded([this] { dtStartDate_Change(); }); });

    editing::refillAfterLookupEdits(*this, [this](records::Lookup) { GetPriorityText(); });
}

void frmAddAppt::releaseControls()
{
    lblTitle = lblStart = lblEnd = lblPriority = lblNotes = nullptr;
    txtTitle = nullptr;
    dtStartDate = dtEndDate = nullptr;
    dtStartTime = dtEndTime = nullptr;
    cmbPriority = nullptr;
    cmdEditPriority = nullptr;
    txtNotes = nullptr;
    cmdSave = cmdCancel = nullptr;
}

void frmAddAppt::Form_Load()
{
    fillPriorities(false);
    // An opener that wrote no moment gets the present one.
    InitFields(curApptDate.isValid() ? curApptDate : QDateTime::currentDateTime());
    boxesSaved();
    window()->raise();
}

void frmAddAppt::GetPriorityText() { fillPriorities(true); }

void frmAddAppt::fillPriorities(bool keepText)
{
    editing::fillListFrom(cmbPriority, "SELECT PRIORITY_TEXT FROM PRIORITY", keepText, {"No Priority"});
}

void frmAddAppt::InitFields(const QDateTime& at)
{
    txtTitle->clear();
    txtNotes->clear();
    const Moment start = proposedStart(at), end = proposedEnd(at);
    // Setting the start date is not the user's change of it: the box tells
    // only of what is typed or picked.
    dtStartDate->setDate(start.date);
    dtStartTime->setTime(start.time);
    dtEndDate->setDate(end.date);
    dtEndTime->setTime(end.time);
}

void frmAddAppt::dtStartDate_Change()
{
    const QDate day = dtStartDate->date();
    if (dtEndDate->date() != day)
        dtEndDate->setDate(day);
    // An end that would now come before the start goes to the next day.
    if (dtEndTime->time() < dtStartTime->time())
        dtEndDate->setDate(day.addDays(1));
}

void frmAddAppt::cmdEditPriority_Click() { editing::editLookupList(*this, records::Lookup::Priority); }

bool frmAddAppt::save()
{
    if (txtTitle->text().isEmpty()) {
        ui::MsgBox(kTitleRequired, ui::vbOKOnly, QString(), window());
        txtTitle->setFocus();
        return false;
    }
    const Moment start{dtStartDate->date(), dtStartTime->time()}, end{dtEndDate->date(), dtEndTime->time()};
    if (end < start) {
        ui::MsgBox(kEndBeforeStart, ui::vbExclamation | ui::vbOKOnly, QString(), window());
        dtEndDate->setFocus();
        return false;
    }
    const auto outcome = editing::addRecord("APPOINTMENT", [&](ado::Recordset& rs) {
        rs.setValue("Appointment_Text", txtTitle->text());
        rs.setValue("Appointment_Start", editing::fromPickers(dtStartDate, dtStartTime));
        rs.setValue("Appointment_End", editing::fromPickers(dtEndDate, dtEndTime));
        rs.setValue("Appointment_Note", txtNotes->toPlainText());
        rs.setValue("Appointment_Priority", cmbPriority->currentText());
    }, window());
    if (outcome != editing::SaveOutcome::Saved)
        return false;
    RefreshCalendar();
    return true;
}

void frmAddAppt::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmAddAppt::RefreshCalendar()
{
    // The calendar on screen is drawn again for the day it showed.
    emit records::notices().appointmentsChanged();
}

void frmAddAppt::cmdCancel_Click() { closeAsIs(); }
