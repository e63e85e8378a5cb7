#pragma once
// The standard-task scheduler: every standard task becomes a task due a
// share of the days left before the wedding day, counted back from that
// day. A run after an earlier one moves the earlier standard tasks to their
// new dates and changes nothing else of them.

#include "platform/ui/forms.h"

#include <QDate>
#include <QDateTime>

#include <optional>

class QCalendarWidget;
class QLabel;
class QPushButton;

namespace stdtasks {

// The days left and the shifts of due dates are 16-bit whole numbers.
constexpr int kMinDays = -32768;
constexpr int kMaxDays = 32767;

// The days from now to the wedding day (at midnight), rounded half to
// even; none when the count does not fit.
std::optional<int> daysLeft(const QDate& wedding, const QDateTime& now);
// Whether the wedding day lies less than 30 calendar days after now.
bool lessThan30Days(const QDate& wedding, const QDateTime& now);
// The shift from the wedding day of a task due at `share` per cent of the
// days left, rounded half to even; none when it does not fit.
std::optional<int> dayOffset(int daysLeft, double share);

}  // namespace stdtasks

class frmWizAddTask : public ui::Form<frmWizAddTask, QDialog> {
public:
    frmWizAddTask() : Form(QStringLiteral("frmWizAddTask")) {}

    void Form_Load() override;
    void MonthView1_DateClick(const QDate& date);
    void cmdTasks_Click();
    void cmdClose_Click();

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QCalendarWidget* MonthView1 = nullptr;
    QPushButton* cmdTasks = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    enum class Run { Nothing, First, Again };
    Run AddStandardTasks();
};
