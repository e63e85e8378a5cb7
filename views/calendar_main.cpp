// The main window's calendar procedures and handlers, over CalendarPanels
// bound to the window's own variables and controls.

#include "app/frmMain.h"
#include "events/frmAddAppt.h"
#include "views/calendar_view.h"

#include <QCalendarWidget>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QTableView>
#include <QToolButton>

namespace {

// Day cells keep a one-pixel margin around their numbers.
class ThinCells : public QProxyStyle {
public:
    explicit ThinCells(QObject* owner) { setParent(owner); }
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override
    {
        return m == PM_FocusFrameHMargin ? 0 : QProxyStyle::pixelMetric(m, o, w);
    }
};

// Set while the program itself puts a date into the picker: only the user's
// choices change the day.
bool settingPicker = false;

views::CalendarPanels& panelsOf(frmMain& f)
{
    static views::CalendarPanels* p =
        new views::CalendarPanels(f.curDate, f.curDataMode, f.dueMode, f.DayApptRS, f.NewApptTyping);
    // The controls are made fresh at each load of the window.
    p->controls = {f.calDay, f.Calendar1, f.lblMode, f.lblDate, f.lblMonth};
    views::CalendarPanels::Hooks& h = p->hooks;
    h.showTasks = [&f](const QString& mode, const QDateTime& d) { f.ShowTasks(mode, d); };
    h.showModePicture = [&f] {
        if (f.navContext().setModePicture)
            f.navContext().setModePicture(1);
    };
    h.showMainWindow = [&f] {
        if (f.isLoaded())
            f.widget()->show();
    };
    h.setMonthViewDate = [&f](const QDate& d) {
        if (f.MonthView1) {
            const QScopedValueRollback<bool> quiet(settingPicker, true);
            f.MonthView1->setSelectedDate(d);
        }
    };
    h.showDayPanel = [&f] {
        if (f.frameDate)
            f.ShowPanel(f.frameDate);
    };
    h.dayPanelShown = [&f] { return f.frameDate && f.curFrame == f.frameDate; };
    h.addAppointment = [&f](const QDateTime& start) {
        frmAddAppt::instance().curApptDate = start;
        frmAddAppt::instance().Show(ui::vbModal, &f);
    };
    h.popupCalendarMenu = [&f] {
        if (!f.isLoaded())
            return;
        if (auto* m = f.widget()->findChild<QMenu*>(QStringLiteral("mnuCalendar")))
            m->popup(QCursor::pos());
    };
    return *p;
}

}  // namespace

void views::fitMonthPicker(QCalendarWidget* picker)
{
    if (!picker)
        return;
    auto* month = picker->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    auto* year = picker->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    if (month)
        month->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 1px; } "
                                            "QToolButton::menu-indicator { image: none; width: 0px; }"));
    if (year)
        year->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 1px; }"));
    for (const char* name : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"})
        if (auto* b = picker->findChild<QToolButton*>(QLatin1String(name))) {
            b->setIconSize(QSize(12, 12));
            b->setFixedWidth(18);
        }
    if (auto* days = picker->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"))) {
        days->horizontalHeader()->setMinimumSectionSize(10);
        days->verticalHeader()->setMinimumSectionSize(10);
        days->setStyle(new ThinCells(days));
    }
    // The picker names the month in full whenever it turns a page.
    const auto shortName = [picker, month](int, int m) {
        if (month)
            month->setText(picker->locale().standaloneMonthName(m, QLocale::ShortFormat));
    };
    QObject::connect(picker, &QCalendarWidget::currentPageChanged, picker, shortName);
    shortName(picker->yearShown(), picker->monthShown());
}

void frmMain::ChangeDate(const QDateTime& whichDate) { panelsOf(*this).ChangeDate(whichDate); }
void frmMain::ChangeCalendar(QDateTime& whichDate) { panelsOf(*this).ChangeCalendar(whichDate); }
void frmMain::SaveDayViewAppointment(int index) { panelsOf(*this).SaveDayViewAppointment(index); }
void frmMain::PrintDayCalendar() { panelsOf(*this).PrintDayCalendar(); }
void frmMain::PrintMonthCalendar() { panelsOf(*this).PrintMonthCalendar(); }
void frmMain::calDay_NewAppointment(int, int, bool typing) { panelsOf(*this).calDay_NewAppointment(typing); }
void frmMain::calDay_AfterEdit(int index) { panelsOf(*this).calDay_AfterEdit(index); }
void frmMain::calDay_DblClick() { panelsOf(*this).calDay_DblClick(); }
void frmMain::calDay_MouseUp(int b, int s, int x, int y) { panelsOf(*this).calDay_MouseUp(b, s, x, y); }
void frmMain::Calendar1_MouseUp(int b, int s, int x, int y) { panelsOf(*this).Calendar1_MouseUp(b, s, x, y); }
void frmMain::Calendar1_DayClick(int dayNumber)
{
    if (LeavePendingEdits())
        panelsOf(*this).Calendar1_DayClick(dayNumber);
}

void frmMain::MonthView1_DateClick(const QDate& d)
{
    if (LeavePendingEdits())
        panelsOf(*this).MonthView1_DateClick(d);
    else  // the edit kept: the picker goes back to the day shown
        panelsOf(*this).hooks.setMonthViewDate(curDate.date());
}

void frmMain::MonthView1_SelectionChanged()
{
    // A day chosen by the arrow keys; a press chooses one too, and its click follows.
    if (!MonthView1 || settingPicker || QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    MonthView1_DateClick(MonthView1->selectedDate());
}
