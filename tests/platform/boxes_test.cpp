// The date, time and list boxes every window is made of, typed into and
// clicked in an active window as a user does.

#include "support/fixture.h"
#include "support/locales.h"
#include "support/userinput.h"

#include "platform/ui/boxes.h"

#include <QCalendarWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

using testsupport::inForms;
using testsupport::Into;

namespace {

class BoxesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(420, 200);
        before = new QLineEdit(window.get());
        date = new ui::DateBox(window.get());
        time = new ui::TimeBox(window.get());
        list = new ui::ListBox(window.get(), true);
        after = new QLineEdit(window.get());
        int y = 8;
        for (QWidget* w : std::initializer_list<QWidget*>{before, date, time, list, after}) {
            w->setGeometry(10, y, 150, 26);
            y += 34;
        }
        date->setDate(QDate(2026, 1, 9));
        time->setTime(QTime(9, 0));
        ASSERT_TRUE(testsupport::showActive(window.get()));
    }
    QString value(QWidget* box) const
    {
        return box == date ? date->date().toString(Qt::ISODate) : time->time().toString("HH:mm:ss");
    }
    testsupport::ScriptedMessagesGuard messages;
    std::unique_ptr<QWidget> window;
    QLineEdit* before = nullptr;
    ui::DateBox* date = nullptr;
    ui::TimeBox* time = nullptr;
    ui::ListBox* list = nullptr;
    QLineEdit* after = nullptr;
};

// The date and time boxes in the US, British and German forms.
using MomentBoxes = testsupport::InLocale<BoxesTest>;
NUPTARO_IN_EACH_LOCALE(MomentBoxes);

TEST_P(MomentBoxes, AWholeValueTypedInTheUsersFormIsTakenHoweverTheBoxIsEnteredAndTabMovesOn)
{
    // The message names the form of the locale.
    const QString notADate = "\"%1\" is not a date. Please type a date as "
                             + inForms("MM/DD/YYYY, such as 8/14/2027|DD/MM/YYYY, such as 14/08/2027|"
                                       "DD.MM.YYYY, such as 14.08.2027") + '.';
    const QString notATime = "\"%1\" is not a time of day. Please type a time of day as "
                             + inForms("H:MM AM/PM, such as 2:30 PM|HH:MM, such as 14:30|HH:MM, such as 14:30") + '.';
    enum Refusal { Taken, NoDate, NoTime };
    const struct {
        const char* box;
        Into how;
        const char* typed;  // per locale: "us|gb|de"
        const char* value;  // after Tab
        const char* shown;
        Refusal message;
    } cases[] = {
        {"date", Into::Tab, "6/5/2027|5/6/2027|5.6.2027", "2027-06-05", "6/5/2027|05/06/2027|05.06.2027", Taken},
        {"date", Into::SelectAll, "12/31/2027|31/12/2027|31.12.2027", "2027-12-31", "12/31/2027|31/12/2027|31.12.2027", Taken},
        {"date", Into::ClickStart, "8/14/2027|14/8/2027|14.8.2027", "2027-08-14", "8/14/2027|14/08/2027|14.08.2027", Taken},
        {"date", Into::ClickMiddle, "08/14/2027|14/08/2027|14.08.2027", "2027-08-14", "8/14/2027|14/08/2027|14.08.2027", Taken},
        {"date", Into::ClickEnd, "8/14/27|14/8/27|14.8.27", "2027-08-14", "8/14/2027|14/08/2027|14.08.2027", Taken},
        // A two-digit year is the one from 20 years back to 79 ahead.
        {"date", Into::Tab, "6/1/30|1/6/30|1.6.30", "2030-06-01", "6/1/2030|01/06/2030|01.06.2030", Taken},
        {"date", Into::SelectAll, "2027-08-15", "2027-08-15", "8/15/2027|15/08/2027|15.08.2027", Taken},
        {"date", Into::ClickMiddle, "2/29/2028|29/2/2028|29.2.2028", "2028-02-29", "2/29/2028|29/02/2028|29.02.2028", Taken},
        // Refused: the stored date comes back.
        {"date", Into::Tab, "2/30/2027|30/2/2027|30.2.2027", "2028-02-29", "2/29/2028|29/02/2028|29.02.2028", NoDate},
        {"date", Into::ClickEnd, "14/8/2027|8/14/2027|8.14.2027", "2028-02-29", "2/29/2028|29/02/2028|29.02.2028", NoDate},
        {"date", Into::SelectAll, "next Friday", "2028-02-29", "2/29/2028|29/02/2028|29.02.2028", NoDate},
        {"date", Into::Tab, "", "2028-02-29", "2/29/2028|29/02/2028|29.02.2028", NoDate},
        {"time", Into::Tab, "2:30 PM", "14:30:00", "2:30 PM|14:30|14:30", Taken},
        {"time", Into::ClickMiddle, "9:5", "09:05:00", "9:05 AM|09:05|09:05", Taken},
        {"time", Into::ClickStart, "12:00 am", "00:00:00", "12:00 AM|00:00|00:00", Taken},
        {"time", Into::SelectAll, "23:59:30", "23:59:30", "11:59:30 PM|23:59:30|23:59:30", Taken},
        {"time", Into::Tab, "25:00", "23:59:30", "11:59:30 PM|23:59:30|23:59:30", NoTime},
    };
    QSignalSpy dates(date, &ui::DateBox::valueChanged);
    QString was = value(date);
    for (const auto& c : cases) {
        const QString typed = inForms(c.typed);
        SCOPED_TRACE(std::string(c.box) + " " + typed.toStdString());
        ui::MomentBox* box = QString(c.box) == "date" ? static_cast<ui::MomentBox*>(date) : time;
        messages.msgs->shown.clear();
        dates.clear();
        testsupport::enter(box, c.how, typed);
        EXPECT_EQ(value(box), c.value);
        EXPECT_EQ(box->text(), inForms(c.shown));
        const QString message = c.message == NoDate ? notADate.arg(typed) : notATime.arg(typed);
        EXPECT_EQ(messages.msgs->texts(),
                  c.message == Taken  ? QStringList()
                  : typed.isEmpty()   ? QStringList{message.mid(message.indexOf("Please"))}
                                      : QStringList{message});
        EXPECT_EQ(QApplication::focusWidget(), box == date ? static_cast<QWidget*>(time) : list) << "Tab moves on";
        if (box == date) {
            EXPECT_EQ(dates.count(), value(date) != was ? 1 : 0) << "told once, when the date is whole";
            was = value(date);
        }
    }
}

TEST_P(MomentBoxes, TheCalendarPopUpPicksADateByMouseOrKeys)
{
    QSignalSpy changes(date, &ui::DateBox::valueChanged);
    auto* button = date->findChild<QToolButton*>();
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QCalendarWidget* calendar = date->calendar();
    ASSERT_TRUE(calendar && calendar->isVisible());
    EXPECT_EQ(calendar->locale().name(), QLocale().name()) << "its month and day names in the user's language";
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 1, 9));
    // A week later by the arrow keys, Enter to take it.
    QWidget* days = QApplication::focusWidget();
    QTest::keyClick(days, Qt::Key_Down);
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(date->date(), QDate(2026, 1, 16));
    EXPECT_EQ(date->text(), inForms("1/16/2026|16/01/2026|16.01.2026"));
    EXPECT_TRUE(date->hasFocus());
    EXPECT_EQ(changes.count(), 1);

    // F4 opens it from the keyboard; Escape closes it and changes nothing.
    QTest::keyClick(date, Qt::Key_F4);
    ASSERT_TRUE(calendar->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(date->date(), QDate(2026, 1, 16));

    // A page turned by its arrow frames the same day there, which Enter takes.
    QTest::keyClick(date, Qt::Key_F4);
    QTest::mouseClick(calendar->findChild<QToolButton*>("qt_calendar_nextmonth"), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(date->date(), QDate(2026, 2, 16));

    // Enter takes a date typed; Escape drops one half typed.
    QTest::keyClicks(date, inForms("7/4/2027|4/7/2027|4.7.2027"));
    QTest::keyClick(date, Qt::Key_Return);
    QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(date, inForms("7/5/20|5/7/20|5.7.20"));
    QTest::keyClick(date, Qt::Key_Escape);
    EXPECT_EQ(date->date(), QDate(2027, 7, 4));
    EXPECT_EQ(date->text(), inForms("7/4/2027|04/07/2027|04.07.2027"));
    EXPECT_EQ(changes.count(), 3);
}

TEST_P(MomentBoxes, ABoxThatMayBeEmptyKeepsNoDateUntilOneIsTypedAndShowsTheFormItAsksFor)
{
    date->setEmptyAllowed(true);
    date->setDate(QDate());
    EXPECT_EQ(date->text(), "");
    EXPECT_EQ(date->placeholderText(), inForms("MM/DD/YYYY|DD/MM/YYYY|DD.MM.YYYY"));
    EXPECT_EQ(time->placeholderText(), inForms("H:MM AM/PM|HH:MM|HH:MM"));
    testsupport::enter(date, Into::Tab, "");
    EXPECT_FALSE(date->date().isValid());
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
    testsupport::enter(date, Into::ClickMiddle, inForms("3/1/2027|1/3/2027|1.3.2027"));
    EXPECT_EQ(date->date(), QDate(2027, 3, 1));
    testsupport::enter(date, Into::SelectAll, "");
    EXPECT_FALSE(date->date().isValid()) << "emptied by the user";
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(BoxesTest, BoxesChangeOnlyWhenTheUserChoseThem)
{
    list->addItems({"Attending", "Awaiting Reply", "Not Attending"});
    list->setCurrentIndex(0);
    // The wheel over a box the user has not clicked or tabbed into (the
    // focus elsewhere, or put there as a window opens) neither turns it nor
    // moves the focus; a box clicked into takes it.
    for (QWidget* focus : {static_cast<QWidget*>(before), static_cast<QWidget*>(list)}) {
        focus->setFocus();
        testsupport::wheel(list, list->rect().center(), -1);
        EXPECT_EQ(list->currentText(), "Attending");
        EXPECT_TRUE(focus->hasFocus());
    }
    QTest::mouseClick(list->lineEdit(), Qt::LeftButton);
    testsupport::wheel(list, list->rect().center(), -1);
    EXPECT_EQ(list->currentText(), "Awaiting Reply");

    // Typed in other letter case, the list's own answer is taken when typing
    // ends; a text it does not hold stays as typed.
    for (const auto& [typed, taken] : {std::pair{"not attending", "Not Attending"}, {"not sure", "not sure"}}) {
        testsupport::enter(list, Into::SelectAll, typed);
        EXPECT_EQ(list->currentText(), taken);
    }

    // Lines pasted into a one-line box are one line.
    const struct {
        QLineEdit* box;
        const char* pasted;
        const char* shown;  // after Tab
    } pastes[] = {{before, "Line one\r\nLine two", "Line one Line two"}, {date, "8/14/2027\n", "8/14/2027"}};
    for (const auto& p : pastes) {
        p.box->setFocus();
        p.box->selectAll();
        QGuiApplication::clipboard()->setText(p.pasted);
        QTest::keyClick(p.box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(p.box, Qt::Key_Tab);
        EXPECT_EQ(p.box->text(), p.shown);
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(BoxesTest, ListsOpenAsWideAsTheirLongestEntryAndChoosingStillWorks)
{
    const QStringList rsvp = {"Attending", "Awaiting Reply", "Not Attending"};
    const QStringList categories = {"Family of the Bride", "Friend of the Bride's Parents", "Co-worker"};
    ui::ListBox fixed(window.get());
    fixed.setGeometry(200, 8, 60, 26);
    fixed.show();
    list->setFixedWidth(60);
    for (auto [box, entries] : {std::pair<ui::ListBox*, QStringList>{&fixed, rsvp}, {list, categories}}) {
        box->addItems(entries);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QWidget* popup = box->view()->window();
        ASSERT_TRUE(popup->isVisible());
        int widest = 0;
        for (const QString& e : entries)
            widest = std::max(widest, box->view()->fontMetrics().horizontalAdvance(e));
        EXPECT_GE(box->view()->viewport()->width(), widest) << entries.join(", ").toStdString();
        // The last entry, chosen by the keys.
        QTest::keyClick(box->view(), Qt::Key_End);
        QTest::keyClick(box->view(), Qt::Key_Return);
        EXPECT_FALSE(popup->isVisible());
        EXPECT_EQ(box->currentText(), entries.last());
    }
}

}  // namespace
