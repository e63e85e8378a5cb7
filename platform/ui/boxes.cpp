#include "platform/ui/boxes.h"

#include "platform/ado/ado.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardItemModel>
#include <QSignalBlocker>
#include <QPainter>
#include <QPolygonF>
#include <QVBoxLayout>

namespace ui {

void showBeginningWhenSet(QLineEdit* box)
{
    // Setting the text clears the box's modified flag; typing sets it.
    QObject::connect(box, &QLineEdit::textChanged, box, [box] {
        if (!box->isModified())
            box->setCursorPosition(0);
    });
}

// ---------------------------------------------------------------- list box

ListBox::ListBox(QWidget* parent, bool editable) : QComboBox(parent)
{
    if (!editable)
        return;
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The completer an editable box gets would finish "Dr" as "Dr.".
    setCompleter(nullptr);
    showBeginningWhenSet(lineEdit());
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] {
        const int i = entryOf(currentText());
        if (i >= 0 && itemText(i) != currentText())
            setEditText(itemText(i));
    });
}

int ListBox::entryOf(const QString& text) const
{
    const int exact = findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    return exact >= 0 ? exact : findText(text, Qt::MatchFixedString);
}

void ListBox::showPopup()
{
    QComboBox::showPopup();
    QWidget* popup = view()->window();
    if (!popup || popup == window())
        return;
    // Frames and a scroll bar come on top of the longest entry.
    const int need = view()->sizeHintForColumn(0) + popup->width() - view()->viewport()->width();
    if (popup->width() >= need)
        return;
    QRect at = popup->geometry();
    at.setWidth(need);
    if (const QScreen* s = screen()) {
        const QRect room = s->availableGeometry();
        if (at.right() > room.right())
            at.moveRight(room.right());
        if (at.left() < room.left())
            at.moveLeft(room.left());
    }
    popup->setGeometry(at);
}

namespace {

class PagedList : public QStandardItemModel {
public:
    static constexpr int kPage = 256;

    PagedList(std::function<QStringList(int, int)> page, QObject* parent)
        : QStandardItemModel(parent), page_(std::move(page))
    {
        const auto refilled = [this] {
            if (!fetching_)
                done_ = true;
        };
        connect(this, &QAbstractItemModel::rowsRemoved, this, refilled);
        connect(this, &QAbstractItemModel::modelReset, this, refilled);
    }
    bool canFetchMore(const QModelIndex& parent) const override { return !parent.isValid() && !done_; }
    void fetchMore(const QModelIndex& parent) override
    {
        if (parent.isValid() || done_)
            return;
        fetching_ = true;
        const QStringList entries = page_(rowCount(), kPage);
        QList<QStandardItem*> rows;
        rows.reserve(entries.size());
        for (const QString& e : entries)
            rows << new QStandardItem(e);
        invisibleRootItem()->appendRows(rows);
        done_ = entries.size() < kPage;
        fetching_ = false;
    }

private:
    std::function<QStringList(int, int)> page_;
    bool done_ = false;
    bool fetching_ = false;
};

}  // namespace

void fillPaged(QComboBox* box, std::function<QStringList(int offset, int count)> page)
{
    if (!box)
        return;
    // The box deletes the list it held before, its child as this one is.
    auto* list = new PagedList(std::move(page), box);
    box->setModel(list);
    list->fetchMore({});
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(QString());
}

// ---------------------------------------------------------------- moment box

MomentBox::MomentBox(QWidget* parent) : QLineEdit(parent) {}

void MomentBox::setEmptyAllowed(bool allowed)
{
    emptyAllowed_ = allowed;
}

void MomentBox::showValue()
{
    setText(valueText());
}

bool MomentBox::commit()
{
    if (!typedSince())
        return true;
    const QString typed = text().trimmed();
    const QString before = valueText();
    if (take(typed)) {
        showValue();
        if (valueText() != before)
            emit valueChanged();
        return true;
    }
    // The value comes back before the message, which takes the focus away.
    showValue();
    MsgBox(refusal(typed), vbExclamation | vbOKOnly, QString(), window());
    return false;
}

void MomentBox::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    const Qt::FocusReason why = e->reason();
    // A click takes the whole value when the button comes up.
    if (why != Qt::MouseFocusReason && why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason
        && !typedSince())
        selectAll();
}

void MomentBox::focusOutEvent(QFocusEvent* e)
{
    const Qt::FocusReason why = e->reason();
    QLineEdit::focusOutEvent(e);
    // A pop-up or another window taking the focus is not leaving the box.
    if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason)
        commit();
}

void MomentBox::mousePressEvent(QMouseEvent* e)
{
    selectOnRelease_ = e->button() == Qt::LeftButton && !typedSince();
    QLineEdit::mousePressEvent(e);
}

void MomentBox::mouseReleaseEvent(QMouseEvent* e)
{
    QLineEdit::mouseReleaseEvent(e);
    // A click, not a drag over part of the text, takes in the whole value.
    if (selectOnRelease_ && e->button() == Qt::LeftButton && !hasSelectedText())
        selectAll();
    selectOnRelease_ = false;
}

void MomentBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        commit();
    } else if (e->key() == Qt::Key_Escape && typedSince()) {
        // Dropping what was typed is all this Escape does: the window stays.
        showValue();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- date box

DateBox::DateBox(QWidget* parent) : ValueBox(parent)
{
    // An empty box shows the form it asks for.
    setPlaceholderText(regional::dateForm());
    // The button shows the arrow of a drop-down list.
    QPixmap arrow(12, 12);
    arrow.fill(Qt::transparent);
    {
        QPainter p(&arrow);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(palette().color(QPalette::Text));
        p.drawPolygon(QPolygonF({QPointF(2, 4), QPointF(10, 4), QPointF(6, 9)}));
    }
    QAction* open = addAction(QIcon(arrow), QLineEdit::TrailingPosition);
    open->setObjectName("openCalendar");
    open->setToolTip(QStringLiteral("Choose a date (F4)"));
    connect(open, &QAction::triggered, this, [this] { showPopup(); });
}

QDateTime DateBox::dateTime() const
{
    const QDate d = date();
    return d.isValid() ? ado::convert::wallClock(d, time_) : QDateTime();
}

void DateBox::setDateTime(const QDateTime& dt)
{
    const QTime t = dt.time();
    time_ = t.isValid() ? QTime(t.hour(), t.minute(), t.second()) : QTime(0, 0);
    setDate(dt.date());
}

bool DateBox::read(const QString& text, QDate& out) const
{
    return regional::readDate(text, out);
}

QString DateBox::write(const QDate& d) const
{
    return regional::dateText(d);
}

QString DateBox::refusal(const QString& typed) const
{
    return regional::notADate(typed);
}

void DateBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F4 || ((e->modifiers() & Qt::AltModifier) && e->key() == Qt::Key_Down)) {
        showPopup();
        return;
    }
    MomentBox::keyPressEvent(e);
}

void DateBox::showPopup()
{
    if (!commit())
        return;
    if (!popup_) {
        popup_ = new QFrame(this, Qt::Popup);
        popup_->setObjectName("calendarPopup");
        popup_->setFrameShape(QFrame::StyledPanel);
        auto* layout = new QVBoxLayout(popup_);
        layout->setContentsMargins(1, 1, 1, 1);
        calendar_ = new QCalendarWidget(popup_);
        calendar_->setObjectName("calendar");
        calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        enterTakesFramedDay(calendar_);
        layout->addWidget(calendar_);
        // A click on a day, or Enter on the day chosen by the arrow keys.
        connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate d) { picked(d); });
        connect(calendar_, &QCalendarWidget::activated, this, [this](QDate d) { picked(d); });
    }
    calendar_->setSelectedDate(held().isValid() ? held() : QDate::currentDate());
    popup_->adjustSize();
    QRect at(mapToGlobal(QPoint(0, height())), popup_->size());
    if (const QScreen* s = screen()) {
        const QRect room = s->availableGeometry();
        if (at.bottom() > room.bottom())
            at.moveBottom(mapToGlobal(QPoint(0, 0)).y());
        if (at.right() > room.right())
            at.moveRight(room.right());
        if (at.left() < room.left())
            at.moveLeft(room.left());
    }
    popup_->move(at.topLeft());
    popup_->show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

void DateBox::picked(const QDate& d)
{
    popup_->hide();
    setFocus(Qt::PopupFocusReason);
    const bool changed = d != held();
    setDate(d);
    selectAll();
    if (changed)
        emit valueChanged();
}

// ---------------------------------------------------------------- time box

TimeBox::TimeBox(QWidget* parent) : ValueBox(parent)
{
    setPlaceholderText(regional::timeForm());
    setTime(QTime(0, 0));
}

void TimeBox::setTime(const QTime& t)
{
    assign(t.isValid() ? QTime(t.hour(), t.minute(), t.second()) : QTime());
}

bool TimeBox::read(const QString& text, QTime& out) const
{
    return regional::readTime(text, out);
}

QString TimeBox::write(const QTime& t) const
{
    return regional::timeText(t);
}

QString TimeBox::refusal(const QString& typed) const
{
    return regional::notATime(typed);
}

// ---------------------------------------------------------------- month calendar

namespace {

// The day a calendar's days view frames (its current cell), invalid when none.
QDate framedDay(const QCalendarWidget* calendar, const QAbstractItemView* days)
{
    const QModelIndex cell = days->currentIndex();
    const int shownDay = cell.data(Qt::DisplayRole).toInt();
    const int row = cell.row() - (calendar->horizontalHeaderFormat() != QCalendarWidget::NoHorizontalHeader);
    const int column = cell.column() - (calendar->verticalHeaderFormat() != QCalendarWidget::NoVerticalHeader);
    if (!cell.isValid() || shownDay < 1 || row < 0 || column < 0)
        return {};
    // The page begins on the first day of the week before the 1st, or the
    // week before that: the one whose cell shows the framed day's number.
    const QDate first(calendar->yearShown(), calendar->monthShown(), 1);
    const int lead = (first.dayOfWeek() - calendar->firstDayOfWeek() + 7) % 7;
    for (const int before : {lead, lead + 7}) {
        const QDate d = first.addDays(7 * row + column - before);
        if (d.day() == shownDay)
            return d;
    }
    return {};
}

class FramedDayOnEnter : public QObject {
public:
    FramedDayOnEnter(QCalendarWidget* calendar, QAbstractItemView* days) : QObject(days), calendar_(calendar), days_(days)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        const QDate framed = framedDay(calendar_, days_);
        if (framed.isValid() && framed != calendar_->selectedDate()) {
            // Chosen quietly: the Enter that follows tells it, once.
            const QSignalBlocker quiet(calendar_);
            calendar_->setSelectedDate(framed);
        }
        return false;
    }

private:
    QCalendarWidget* calendar_;
    QAbstractItemView* days_;
};

}  // namespace

void enterTakesFramedDay(QCalendarWidget* calendar)
{
    auto* days = calendar ? calendar->findChild<QAbstractItemView*>(QStringLiteral("qt_calendar_calendarview")) : nullptr;
    if (days)
        days->installEventFilter(new FramedDayOnEnter(calendar, days));
}

}  // namespace ui
