#include "views/calendar_view.h"

#include "platform/ado/ignoring.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/modSynchro.h"

#include <QLabel>
#include <QLocale>
#include <QPrinter>

namespace views {

namespace {

int minuteOf(const QDateTime& dt) { return dt.time().hour() * 60 + dt.time().minute(); }

// The list under the printed timeline: every appointment of the day with
// its stored start and end, whatever part of it the planner draws; a time
// on another day carries its date.
QVector<calendar::PrintLine> dayPrintList(const QDate& day, const ado::RecordsetPtr& rs)
{
    QVector<calendar::PrintLine> lines;
    if (!rs || !rs->isOpen())
        return lines;
    const auto when = [&](const QDateTime& t) {
        if (!t.isValid())
            return QString();
        const QString time = regional::timeText(t.time());
        return t.date() == day ? time : regional::dateText(t.date()) + ' ' + time;
    };
    QVector<std::pair<QDateTime, calendar::PrintLine>> rows;
    const int n = rs->RecordCount();
    for (int r = 0; r < n; ++r) {
        const QDateTime start = rs->cell(r, rs->fieldIndex("APPOINTMENT_START")).toDateTime();
        const QDateTime end = rs->cell(r, rs->fieldIndex("APPOINTMENT_END")).toDateTime();
        const QString text = rs->cell(r, rs->fieldIndex("APPOINTMENT_TEXT")).toString();
        rows.push_back({start, {when(start) + " - " + when(end), text}});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& r : rows)
        lines.push_back(r.second);
    return lines;
}

}  // namespace

CalendarPanels::CalendarPanels()
    : curDate(own_.curDate), curDataMode(own_.curDataMode), dueMode(own_.dueMode), DayApptRS(own_.DayApptRS),
      NewApptTyping(own_.NewApptTyping)
{
}

CalendarPanels::CalendarPanels(QDateTime& d, DataMode& mode, TaskFilter& due, ado::RecordsetPtr& rs, bool& typing)
    : curDate(d), curDataMode(mode), dueMode(due), DayApptRS(rs), NewApptTyping(typing)
{
}

void CalendarPanels::attach(const Controls& c, const Hooks& h)
{
    controls = c;
    hooks = h;
    if (calendar::DayPlanner* d = controls.calDay) {
        QObject::connect(d, &calendar::DayPlanner::NewAppointment, d,
                         [this](int, int, bool typing) { calDay_NewAppointment(typing); });
        QObject::connect(d, &calendar::DayPlanner::NewAppointmentCancelled, d,
                         [this] { calDay_NewAppointmentCancelled(); });
        QObject::connect(d, &calendar::DayPlanner::AfterEdit, d, [this](int i) { calDay_AfterEdit(i); });
        QObject::connect(d, &calendar::DayPlanner::DblClick, d, [this] { calDay_DblClick(); });
        QObject::connect(d, &calendar::DayPlanner::MouseUp, d,
                         [this](int b, int s, int x, int y) { calDay_MouseUp(b, s, x, y); });
    }
    if (calendar::MonthCalendar* m = controls.Calendar1) {
        QObject::connect(m, &calendar::MonthCalendar::DayClick, m, [this](int n) { Calendar1_DayClick(n); });
        QObject::connect(m, &calendar::MonthCalendar::MouseUp, m,
                         [this](int b, int s, int x, int y) { Calendar1_MouseUp(b, s, x, y); });
    }
}

void CalendarPanels::setLabel(QLabel* l, const QString& text)
{
    if (l)
        l->setText(text);
}

CalendarPanels::DayEntryBounds CalendarPanels::clipToDay(const QDate& day, const QDateTime& startIn,
                                                         const QDateTime& endIn)
{
    const QDateTime lower = ado::convert::wallClock(day);
    const QDateTime upper = ado::convert::wallClock(day.addDays(1));
    const QDateTime start = ado::convert::wallClock(startIn);
    const QDateTime end = endIn.isValid() ? ado::convert::wallClock(endIn) : start;
    DayEntryBounds b;
    b.start = start < lower ? 0 : minuteOf(start);
    b.end = end >= upper ? 1440 : (end < lower ? 0 : minuteOf(end));
    if (b.end < b.start)
        b.end = b.start;
    return b;
}

bool CalendarPanels::touchesDay(const QDate& day, const QDateTime& startIn, const QDateTime& endIn)
{
    const QDateTime lower = ado::convert::wallClock(day);
    const QDateTime upper = ado::convert::wallClock(day.addDays(1));
    const QDateTime start = ado::convert::wallClock(startIn);
    const QDateTime end = endIn.isValid() ? ado::convert::wallClock(endIn) : start;
    if (!start.isValid() || start >= upper)
        return false;
    return end > lower || start >= lower;
}

int CalendarPanels::firstVisibleMinuteFor(int firstStart)
{
    const int hour = firstStart / 60;
    return hour < 7 ? hour * 60 : 420;
}

void CalendarPanels::ChangeDate(const QDateTime& whichDate)
{
    ado::ignoringErrors([&] {
        if (DayApptRS && DayApptRS->isOpen())
            DayApptRS->Close();
    });
    ado::ignoringErrors([&] { curDate = ado::convert::wallClock(whichDate.date()); });
    ado::ignoringErrors([&] {
        if (hooks.showTasks)
            hooks.showTasks(dueMode, curDate);
    });
    ado::ignoringErrors([&] {
        setLabel(controls.lblMode, QStringLiteral("Day Calendar"));
        curDataMode = DataMode::Today;
        if (hooks.showModePicture)
            hooks.showModePicture();
    });
    const QDate day = curDate.date();
    const QDateTime lower = ado::convert::wallClock(day);
    const QDateTime upper = ado::convert::wallClock(day.addDays(1));
    ado::ignoringErrors([&] {
        setLabel(controls.lblDate, QLocale::c().toString(whichDate.date(), QStringLiteral("MMMM dd, yyyy")));
    });
    if (!DayApptRS)
        DayApptRS = ado::Recordset::create();
    // The day runs from its midnight to the next; touching a midnight from
    // outside is not being on the day. Appointments that could not be read
    // are said so, never shown as a day without any.
    const bool read = editing::readList([&] {
        DayApptRS->Open("SELECT * FROM APPOINTMENT WHERE APPOINTMENT_START < ? AND "
                        "(APPOINTMENT_END > ? OR APPOINTMENT_START >= ?) ORDER BY APPOINTMENT_START",
                        modQVDatabase::gConn, ado::adOpenKeyset, ado::adLockOptimistic,
                        {ado::convert::isoDateTime(upper), ado::convert::isoDateTime(lower),
                         ado::convert::isoDateTime(lower)});
    }, controls.calDay ? controls.calDay->window() : nullptr);
    calendar::DayPlanner* cal = controls.calDay;
    ado::ignoringErrors([&] {
        if (cal)
            cal->clearEntries();
    });
    bool any = false;
    ado::ignoringErrors([&] {
        if (!DayApptRS || !DayApptRS->isOpen() || DayApptRS->RecordCount() == 0)
            return;
        any = true;
        int first = -1;
        for (DayApptRS->MoveFirst(); !DayApptRS->EOF_(); DayApptRS->MoveNext()) {
            const DayEntryBounds b = clipToDay(day, DayApptRS->value("APPOINTMENT_START").toDateTime(),
                                               DayApptRS->value("APPOINTMENT_END").toDateTime());
            if (first < 0)
                first = b.start;
            if (cal)
                cal->addEntry(b.start, b.end, DayApptRS->value("APPOINTMENT_TEXT").toString(),
                              QString::number(DayApptRS->value("APPOINTMENT_ID").toLongLong()));
        }
        DayApptRS->MoveFirst();
        if (cal)
            cal->setFirstVisibleMinute(firstVisibleMinuteFor(first));
    });
    if (!any && read) {
        ado::ignoringErrors([&] {
            if (cal) {
                cal->addEntry(480, 560, QString::fromLatin1(kNoAppointments), QStringLiteral("0"));
                cal->setFirstVisibleMinute(420);
            }
        });
    }
    ado::ignoringErrors([&] {
        if (hooks.showMainWindow)
            hooks.showMainWindow();
    });
    ado::ignoringErrors([&] {
        if (hooks.setMonthViewDate)
            hooks.setMonthViewDate(whichDate.date());
    });
}

void CalendarPanels::calDay_NewAppointment(bool typing)
{
    if (typing)
        NewApptTyping = true;
}

void CalendarPanels::calDay_NewAppointmentCancelled()
{
    NewApptTyping = false;
}

void CalendarPanels::calDay_AfterEdit(int index)
{
    inAfterEdit_ = true;
    SaveDayViewAppointment(index);
    inAfterEdit_ = false;
    NewApptTyping = false;
}

void CalendarPanels::SaveDayViewAppointment(int index)
{
    calendar::DayPlanner* cal = controls.calDay;
    if (!cal)
        return;
    // A save with its log row, as an editor's: a refusal is told, and the
    // entry stays on the planner as typed while the recordset is read again
    // to hold what the database does.
    const auto save = [&](const std::function<void()>& steps) {
        if (editing::saveAll(steps, cal))
            return true;
        ado::ignoringErrors([&] {
            if (DayApptRS->editMode() != ado::Recordset::EditMode::None)
                DayApptRS->CancelUpdate();
            DayApptRS->Requery();
        });
        return false;
    };
    ado::ignoringErrors([&] {
        const calendar::DayEntry e = cal->entry(index);
        const calendar::EntryEdit edit = cal->lastEdit();
        // The planner's account of the edit holds only inside its AfterEdit.
        const bool known = inAfterEdit_ && edit.index == index;
        // The planner knows whether the entry was typed new; a typing flag left
        // over from a cancelled entry must not turn an edit into an addition.
        const bool isNew = known ? edit.added : NewApptTyping;
        // Minutes of the wall clock: on a day that changes to or from
        // daylight saving time, minute 180 is still 3:00.
        const QDateTime day = ado::convert::wallClock(curDate.date());
        auto at = [&](int m) { return day.addSecs(qint64(m) * 60); };

        if (isNew) {
            // An empty text saves nothing, and blanks are no text.
            if (e.text.trimmed().isEmpty() || !DayApptRS || !DayApptRS->isOpen())
                return;
            const bool stored = save([&] {
                DayApptRS->AddNew();
                DayApptRS->setValue("Appointment_Text", e.text);
                DayApptRS->setValue("Appointment_Start", at(e.startMinute));
                DayApptRS->setValue("Appointment_End", at(e.endMinute));
                const qint64 key = DayApptRS->value("APPOINTMENT_ID").toLongLong();
                DayApptRS->Update();
                modSynchro::LogChange("APPOINTMENT", key, 1);
            });
            if (stored)
                ChangeDate(curDate);
            return;
        }

        if (e.tag.isEmpty())
            return;
        bool numeric = false;
        const qlonglong id = e.tag.trimmed().toLongLong(&numeric);
        if (numeric && id == 0) {
            // Asked to save an entry nobody touched (as on closing): nothing to say.
            if (!known && e.text == QLatin1String(kNoAppointments) && e.startMinute == 480 && e.endMinute == 560)
                return;
            ui::MsgBox(QString::fromLatin1(kNoSelection));
            return;
        }
        if (!numeric || !DayApptRS || !DayApptRS->isOpen())
            return;
        // A text cleared to nothing would leave an appointment nobody can
        // see: the stored one stays and shows again.
        if (e.text.trimmed().isEmpty()) {
            ChangeDate(curDate);
            return;
        }
        // Only what the user changed is written: an entry drawn clipped at a
        // midnight keeps the stored bounds that lie outside the shown day.
        const bool moveStart = !known || edit.startMoved;
        const bool moveEnd = !known || edit.endMoved;
        for (DayApptRS->MoveFirst(); !DayApptRS->EOF_(); DayApptRS->MoveNext()) {
            if (DayApptRS->value("APPOINTMENT_ID").toLongLong() != id)
                continue;
            const DayEntryBounds shown = clipToDay(day.date(), DayApptRS->value("APPOINTMENT_START").toDateTime(),
                                                   DayApptRS->value("APPOINTMENT_END").toDateTime());
            const bool newStart = moveStart && (known || shown.start != e.startMinute);
            const bool newEnd = moveEnd && (known || shown.end != e.endMinute);
            if (!known && !newStart && !newEnd && DayApptRS->value("APPOINTMENT_TEXT").toString() == e.text)
                break;   // nothing changed: no write, no change-log row
            // A moved entry keeps its length, also where the shown day cuts
            // it off: both stored bounds move by the minutes it was dragged.
            const bool shifted = known && edit.movedBy != 0;
            const auto movedBound = [&](const char* column) {
                const QDateTime t = DayApptRS->value(column).toDateTime();
                return t.isValid() ? QVariant(ado::convert::wallClock(t).addSecs(qint64(edit.movedBy) * 60)) : QVariant();
            };
            const bool stored = save([&] {
                DayApptRS->setValue("Appointment_Text", e.text);
                if (shifted) {
                    DayApptRS->setValue("Appointment_Start", movedBound("APPOINTMENT_START"));
                    if (const QVariant end = movedBound("APPOINTMENT_END"); end.isValid())
                        DayApptRS->setValue("Appointment_End", end);
                } else {
                    if (newStart)
                        DayApptRS->setValue("Appointment_Start", at(e.startMinute));
                    if (newEnd)
                        DayApptRS->setValue("Appointment_End", at(e.endMinute));
                }
                DayApptRS->Update();
                modSynchro::LogChange("APPOINTMENT", id, 2);
            });
            // Drawn again as stored where the day cut it off.
            if (stored && shifted && (shown.start == 0 || shown.end == 1440))
                ChangeDate(curDate);
            break;
        }
    });
}

void CalendarPanels::calDay_DblClick()
{
    calendar::DayPlanner* cal = controls.calDay;
    if (!cal)
        return;
    const int m = cal->mouseMinute();
    const QDateTime start = ado::convert::wallClock(curDate.date(), QTime(m / 60, 0));
    if (hooks.addAppointment)
        hooks.addAppointment(start);
}

void CalendarPanels::calDay_MouseUp(int button, int, int, int)
{
    if (button == 2 && hooks.popupCalendarMenu)
        hooks.popupCalendarMenu();
}

bool CalendarPanels::doPrint(const printing::PageRenderer& paint)
{
    if (hooks.print)
        return hooks.print(paint);
    QPrinter printer(QPrinter::HighResolution);
    return printing::printPages(printer, paint);
}

void CalendarPanels::PrintDayCalendar()
{
    if (curDataMode != DataMode::Today) {
        ui::MsgBox(QString::fromLatin1(kPrintDayFirst));
        return;
    }
    calendar::DayPlanner* cal = controls.calDay;
    if (!cal)
        return;
    cal->setPrintTitle("Nuptaro Schedule for: " + QLocale().toString(curDate.date(), QLocale::LongFormat));
    cal->setPrintRange(360, 1320);
    cal->setPrintOption(3);
    ado::ignoringErrors([&] { cal->setPrintList(dayPrintList(curDate.date(), DayApptRS)); });
    QPointer<calendar::DayPlanner> guard(cal);
    doPrint([guard](printing::Pages& pages) { return guard && guard->print(pages); });
}

}  // namespace views
