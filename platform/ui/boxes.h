#pragma once
// The boxes the windows are made of: the drop-down list, and the date box
// and time box that serve every date and time picker of the program.

#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QLineEdit>
#include <QTime>

#include <functional>

class QCalendarWidget;
class QFrame;

namespace ui {

// A box whose text is set by the program (a record loaded, a list refilled)
// shows the beginning of it, however long, not its end.
void showBeginningWhenSet(QLineEdit* box);

// A drop-down list that opens as wide as its longest entry. An editable one
// keeps what is typed as it stands: nothing is completed from the list, a
// text the list does not hold stays, and choosing from the list still works.
// A list holds fixed answers: a text typed as an entry but in other letter
// case ("attending") is taken as the entry ("Attending") once typing ends.
class ListBox : public QComboBox {
public:
    explicit ListBox(QWidget* parent = nullptr, bool editable = false);
    void showPopup() override;
    // The entry a text names, letter case aside; -1 for none.
    int entryOf(const QString& text) const;
};

// Fills a drop-down list a page at a time, emptied of its text and entries
// first: `page(offset, count)` gives the entries from `offset` on, fewer
// than `count` at the end. The first page comes at once, the next whenever
// the open list is scrolled to its end, so a list of a million entries costs
// what the pages seen cost. Entries set otherwise afterwards (the list
// refilled) end the paging.
void fillPaged(QComboBox* box, std::function<QStringList(int offset, int count)> page);

// What the date and time boxes share. A value is typed whole, in the forms
// users type, and taken when the box is left or Enter is pressed; a click
// into the box, Tab and Select All take in the whole value, so what is typed
// replaces it. A text that is no value is refused with a plain message, and
// the box shows its value again.
class MomentBox : public QLineEdit {
    Q_OBJECT
public:
    // A box that may be empty holds no value until one is typed or picked
    // (a stored empty value stays empty); emptied by the user, it holds none.
    void setEmptyAllowed(bool allowed);
    bool emptyAllowed() const { return emptyAllowed_; }
    // Takes what was typed; false when it was refused.
    bool commit();
    // Drops what was typed: the box shows its value again.
    void revert() { showValue(); }

signals:
    // A new value was taken whole: typed, or picked from the calendar.
    void valueChanged();

protected:
    explicit MomentBox(QWidget* parent);
    // Takes the value of a typed text (false when it is none); the text of
    // the value; the message for a text that is no value.
    virtual bool take(const QString& text) = 0;
    virtual QString valueText() const = 0;
    virtual QString refusal(const QString& typed) const = 0;
    // The text shown again for the value.
    void showValue();
    bool typedSince() const { return text() != valueText(); }

    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    bool emptyAllowed_ = false;
    bool selectOnRelease_ = false;
};

// A box of one kind of value (QDate, QTime), which is invalid for none.
template <class T>
class ValueBox : public MomentBox {
public:
    // The value the box shows (typed and not yet taken, too), else the one
    // it holds.
    T value() const
    {
        T v;
        return typedSince() && parse(text(), v) ? v : value_;
    }

protected:
    using MomentBox::MomentBox;
    // A typed text's value (false when it is none), and a value's text.
    virtual bool read(const QString& text, T& out) const = 0;
    virtual QString write(const T& v) const = 0;
    void assign(const T& v)
    {
        value_ = v.isValid() ? v : T();
        showValue();
    }
    bool take(const QString& text) override
    {
        T v;
        if (!parse(text, v))
            return false;
        value_ = v;
        return true;
    }
    QString valueText() const override { return value_.isValid() ? write(value_) : QString(); }
    const T& held() const { return value_; }

private:
    bool parse(const QString& text, T& out) const
    {
        if (text.trimmed().isEmpty()) {
            out = T();
            return emptyAllowed();
        }
        return read(text, out);
    }
    T value_;
};

// A date in the user's regional form (regional.h), shown with four-digit
// years (8/14/2027, 14/08/2027, 14.08.2027) and typed as the user writes it
// (8/14/27, 08/14/2027 ...), or picked on a calendar that opens from the
// box's button, F4 or Alt+Down. Empty, it shows the form it asks for. It
// keeps the time of day it was given with a date (midnight unless one was),
// which it does not show.
class DateBox : public ValueBox<QDate> {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);
    // The date the box shows (typed and not yet taken, too), else the one it
    // holds; invalid when it holds none.
    QDate date() const { return value(); }
    QTime timeOfDay() const { return time_; }
    QDateTime dateTime() const;
    // An invalid date leaves the box without one; the time of day stays.
    void setDate(const QDate& d) { assign(d); }
    void setDateTime(const QDateTime& dt);

    void showPopup();
    // The calendar of the pop-up, once it was opened.
    QCalendarWidget* calendar() const { return calendar_; }

protected:
    bool read(const QString& text, QDate& out) const override;
    QString write(const QDate& d) const override;
    QString refusal(const QString& typed) const override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void picked(const QDate& d);
    QTime time_{0, 0};
    QFrame* popup_ = nullptr;  // a child of the box, made at the first opening
    QCalendarWidget* calendar_ = nullptr;
};

// A time of day in the user's regional form, with seconds when it has any
// (2:30 PM, 14:30, 14:30:45), typed as 2:30 PM, 2:30pm, 14:30 or 9:5 (9:05).
class TimeBox : public ValueBox<QTime> {
    Q_OBJECT
public:
    explicit TimeBox(QWidget* parent = nullptr);
    // As DateBox::date.
    QTime time() const { return value(); }
    void setTime(const QTime& t);

protected:
    bool read(const QString& text, QTime& out) const override;
    QString write(const QTime& t) const override;
    QString refusal(const QString& typed) const override;
};

// A month calendar turned to another page (by its arrows or the wheel)
// frames the same day of the new month; Enter then takes that framed day,
// not the day chosen before on the page left.
void enterTakesFramedDay(QCalendarWidget* calendar);

}  // namespace ui
