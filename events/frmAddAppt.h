#pragma once
// The appointment editor: adds one appointment, proposed to start at the
// next half hour from curApptDate and to last an hour. After a save the
// calendar the main window shows is drawn again.

#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
namespace ui {
class DateBox;
class TimeBox;
}

class frmAddAppt : public editing::RecordEditor<ui::Form<frmAddAppt, QDialog>> {
public:
    frmAddAppt() : RecordEditor("frmAddAppt") { keepWhileOpen(curApptDate); }

    // The proposed start, written by the opener; read once at load, kept after.
    QDateTime curApptDate;

    static constexpr const char* kCaption = "Add Appointment";
    static constexpr const char* kTitleRequired = "Please enter in a title for the appointment.";
    static constexpr const char* kEndBeforeStart = "The end of the appointment is before its start.";

    void Form_Load() override;
    // Refills the priority list; also called by the lookup-list editor as it closes.
    void GetPriorityText();
    void dtStartDate_Change();
    void cmdEditPriority_Click();
    void cmdSave_Click();
    void cmdCancel_Click();

    // A wall-clock moment as the pickers hold it: a day and a time of day.
    struct Moment {
        QDate date;
        QTime time;
        bool operator==(const Moment&) const = default;
        bool operator<(const Moment& o) const { return date != o.date ? date < o.date : time < o.time; }
    };
    // Rounded up to the half hour, seconds ignored: :00 stays, :01 to :30
    // become :30, :31 to :59 the next full hour (past 23:30, 0:00 of the next day).
    static Moment roundToHalfHour(const Moment& m);
    // The proposal for a moment: the start rounded, the end an hour later, rounded.
    static Moment proposedStart(const QDateTime& at);
    static Moment proposedEnd(const QDateTime& at);

    QLabel* lblTitle = nullptr;
    QLabel* lblStart = nullptr;
    QLabel* lblEnd = nullptr;
    QLabel* lblPriority = nullptr;
    QLabel* lblNotes = nullptr;
    QLineEdit* txtTitle = nullptr;
    ui::DateBox* dtStartDate = nullptr;
    ui::TimeBox* dtStartTime = nullptr;
    ui::DateBox* dtEndDate = nullptr;
    ui::TimeBox* dtEndTime = nullptr;
    QComboBox* cmbPriority = nullptr;
    QPushButton* cmdEditPriority = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void fillPriorities(bool keepText);
    void InitFields(const QDateTime& at);
    bool save() override;
    void RefreshCalendar();

};
