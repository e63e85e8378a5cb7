#include "platform/calendar/monthcalendar.h"
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>

namespace calendar {
MonthCalendar::MonthCalendar(QWidget* parent) : QWidget(parent) {}
MonthCalendar::~MonthCalendar() = default;
int MonthCalendar::dayNumber(const QDate& date) { return 0; }
QDate MonthCalendar::dateOf(int dayNumber) { return {}; }
int MonthCalendar::firstDay() const { return 0; }
int MonthCalendar::lastDay() const { return 0; }
void MonthCalendar::setFirstDay(int dayNumber) { }
void MonthCalendar::setLastDay(int dayNumber) { }
void MonthCalendar::setSpan(int firstDayNumber, int lastDayNumber) { }
int MonthCalendar::dayCount() const { return 0; }
int MonthCalendar::rowCount() const { return 0; }
int MonthCalendar::currentDay() const { return 0; }
void MonthCalendar::setCurrentDay(int dayNumber) { }
void MonthCalendar::clearTexts() { }
QString MonthCalendar::dayText(int dayNumber) const { return {}; }
void MonthCalendar::setDayText(int dayNumber, const QString& text) { }
int MonthCalendar::dayAt(const QPoint& pos) const { return 0; }
QRect MonthCalendar::dayRect(int dayNumber) const { return {}; }
int MonthCalendar::headerHeight() const { return 0; }
QString MonthCalendar::printTitle() const { return {}; }
void MonthCalendar::setPrintTitle(const QString& title) { }
int MonthCalendar::printFirstDay() const { return 0; }
int MonthCalendar::printLastDay() const { return 0; }
void MonthCalendar::setPrintRange(int firstDayNumber, int lastDayNumber) { }
bool MonthCalendar::print(QPagedPaintDevice* device) const { return false; }
void MonthCalendar::paintPage(QPainter& painter, const QRectF& page) const { }
void MonthCalendar::paintEvent(QPaintEvent* event) { }
void MonthCalendar::mousePressEvent(QMouseEvent* event) { }
void MonthCalendar::mouseReleaseEvent(QMouseEvent* event) { }
void MonthCalendar::mouseDoubleClickEvent(QMouseEvent* event) { }
void MonthCalendar::keyPressEvent(QKeyEvent* event) { }
}  // namespace calendar
