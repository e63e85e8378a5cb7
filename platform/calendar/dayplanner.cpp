#include "platform/calendar/dayplanner.h"
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>

namespace calendar {
DayPlanner::DayPlanner(QWidget* parent) : QWidget(parent) {}
DayPlanner::~DayPlanner() = default;
void DayPlanner::clearEntries() { }
int DayPlanner::addEntry(int startMinute, int endMinute, const QString& text, const QString& tag) { return 0; }
void DayPlanner::removeEntry(int index) { }
int DayPlanner::entryCount() const { return 0; }
DayEntry DayPlanner::entry(int index) const { return {}; }
int DayPlanner::entryStart(int index) const { return 0; }
int DayPlanner::entryEnd(int index) const { return 0; }
QString DayPlanner::entryText(int index) const { return {}; }
QString DayPlanner::entryTag(int index) const { return {}; }
void DayPlanner::setEntryText(int index, const QString& text) { }
void DayPlanner::setEntryBounds(int index, int startMinute, int endMinute) { }
void DayPlanner::setEntryTag(int index, const QString& tag) { }
int DayPlanner::currentEntry() const { return 0; }
void DayPlanner::setCurrentEntry(int index) { }
int DayPlanner::selectionStart() const { return 0; }
int DayPlanner::selectionEnd() const { return 0; }
void DayPlanner::selectSlots(int startMinute, int endMinute) { }
int DayPlanner::slotMinutes() const { return 0; }
void DayPlanner::setSlotMinutes(int minutes) { }
int DayPlanner::slotHeight() const { return 0; }
void DayPlanner::setSlotHeight(int pixels) { }
int DayPlanner::snapMinutes() const { return 0; }
void DayPlanner::setSnapMinutes(int minutes) { }
int DayPlanner::timeColumnWidth() const { return 0; }
int DayPlanner::firstVisibleMinute() const { return 0; }
void DayPlanner::setFirstVisibleMinute(int minute) { }
int DayPlanner::visibleMinutes() const { return 0; }
int DayPlanner::minuteAt(const QPoint& pos) const { return 0; }
int DayPlanner::yForMinute(int minute) const { return 0; }
int DayPlanner::slotOf(int minute) const { return 0; }
int DayPlanner::entryAt(const QPoint& pos) const { return 0; }
QRect DayPlanner::entryRect(int index) const { return {}; }
int DayPlanner::mouseMinute() const { return 0; }
void DayPlanner::beginNewEntry(const QString& initialText) { }
void DayPlanner::beginNewEntry(int startMinute, int endMinute, const QString& initialText) { }
void DayPlanner::beginEdit(int index, const QString& replaceWith) { }
bool DayPlanner::isEditing() const { return false; }
int DayPlanner::editingEntry() const { return 0; }
QLineEdit* DayPlanner::editor() const { return nullptr; }
void DayPlanner::commitEdit() { }
void DayPlanner::cancelEdit() { }
EntryEdit DayPlanner::lastEdit() const { return {}; }
QString DayPlanner::printTitle() const { return {}; }
void DayPlanner::setPrintTitle(const QString& title) { }
int DayPlanner::printFirstMinute() const { return 0; }
int DayPlanner::printLastMinute() const { return 0; }
void DayPlanner::setPrintRange(int firstMinute, int lastMinute) { }
int DayPlanner::printOption() const { return 0; }
void DayPlanner::setPrintOption(int option) { }
bool DayPlanner::print(QPagedPaintDevice* device) const { return false; }
void DayPlanner::paintPage(QPainter& painter, const QRectF& page) const { }
void DayPlanner::paintEvent(QPaintEvent* event) { }
void DayPlanner::resizeEvent(QResizeEvent* event) { }
void DayPlanner::mousePressEvent(QMouseEvent* event) { }
void DayPlanner::mouseMoveEvent(QMouseEvent* event) { }
void DayPlanner::mouseReleaseEvent(QMouseEvent* event) { }
void DayPlanner::mouseDoubleClickEvent(QMouseEvent* event) { }
void DayPlanner::keyPressEvent(QKeyEvent* event) { }
void DayPlanner::wheelEvent(QWheelEvent* event) { }
bool DayPlanner::eventFilter(QObject* watched, QEvent* event) { return false; }
}  // namespace calendar
