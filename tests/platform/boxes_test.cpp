// The date, time and list boxes every window is made of, typed into and
// clicked in an active window as a user does.

#include "support/fixture.h"
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

TEST_F(BoxesTest, AWholeValueTypedIsTakenHoweverTheBoxIsEnteredAndTabMovesOn)
{
    const char* const notADate = "\"%1\" is not a date. Please type a date as month/day/year, such as 8/14/2027.";
    const char* const notATime = "\"%1\" is not a time of day. Please type a time of day, such as 2:30 PM.";
    const struct {
        const char* box;
        Into how;
        const char* typed;
        const char* value;  // after Tab
        const char* shown;
        const char* message;
    } cases[] = {
        {"date", Into::Tab, "6/5/2027", "2027-06-05", "6/5/2027", nullptr},
        {"date", Into::SelectAll, "12/31/2027", "2027-12-31", "12/31/2027", nullptr},
        {"date", Into::ClickStart, "8/14/2027", "2027-08-14", "8/14/2027", nullptr},
        {"date", Into::ClickMiddle, "08/14/2027", "2027-08-14", "8/14/2027", nullptr},
        {"date", Into::ClickEnd, "8/14/27", "2027-08-14", "8/14/2027", nullptr},
        {"date", Into::ClickMiddle, "2/29/2028", "2028-02-29", "2/29/2028", nullptr},
        // Refused: the stored date comes back.
        {"date", Into::Tab, "2/30/2027", "2028-02-29", "2/29/2028", notADate},
        {"date", Into::ClickEnd, "13/1/2027", "2028-02-29", "2/29/2028", notADate},
        {"date", Into::SelectAll, "next Friday", "2028-02-29", "2/29/2028", notADate},
        {"date", Into::Tab, "", "2028-02-29", "2/29/2028", "Please type a date as month/day/year, such as 8/14/2027."},
        {"time", Into::Tab, "2:30 PM", "14:30:00", "2:30 PM", nullptr},
        {"time", Into::ClickMiddle, "9:5", "09:05:00", "9:05 AM", nullptr},
        {"time", Into::ClickStart, "12:00 am", "00:00:00", "12:00 AM", nullptr},
        {"time", Into::SelectAll, "23:59:30", "23:59:30", "11:59:30 PM", nullptr},
        {"time", Into::Tab, "25:00", "23:59:30", "11:59:30 PM", notATime},
    };
    QSignalSpy dates(date, &ui::DateBox::valueChanged);
    QString was = value(date);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        ui::MomentBox* box = QString(c.box) == "date" ? static_cast<ui::MomentBox*>(date) : time;
        messages.msgs->shown.clear();
        dates.clear();
        testsupport::enter(box, c.how, c.typed);
        EXPECT_EQ(value(box), c.value);
        EXPECT_EQ(box->text(), c.shown);
        EXPECT_EQ(messages.msgs->texts(), c.message ? QStringList{QString(c.message).arg(c.typed)} : QStringList());
        EXPECT_EQ(QApplication::focusWidget(), box == date ? static_cast<QWidget*>(time) : list) << "Tab moves on";
        if (box == date) {
            EXPECT_EQ(dates.count(), value(date) != was ? 1 : 0) << "told once, when the date is whole";
            was = value(date);
        }
    }
}

TEST_F(BoxesTest, TheCalendarPopUpPicksADateByMouseOrKeys)
{
    QSignalSpy changes(date, &ui::DateBox::valueChanged);
    auto* button = date->findChild<QToolButton*>();
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QCalendarWidget* calendar = date->calendar();
    ASSERT_TRUE(calendar && calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 1, 9));
    // A week later by the arrow keys, Enter to take it.
    QWidget* days = QApplication::focusWidget();
    QTest::keyClick(days, Qt::Key_Down);
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(date->date(), QDate(2026, 1, 16));
    EXPECT_EQ(date->text(), "1/16/2026");
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
    QTest::keyClicks(date, "7/4/2027");
    QTest::keyClick(date, Qt::Key_Return);
    QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(date, "7/5/20");
    QTest::keyClick(date, Qt::Key_Escape);
    EXPECT_EQ(date->text(), "7/4/2027");
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(BoxesTest, ABoxThatMayBeEmptyKeepsNoDateUntilOneIsTyped)
{
    date->setEmptyAllowed(true);
    date->setDate(QDate());
    EXPECT_EQ(date->text(), "");
    testsupport::enter(date, Into::Tab, "");
    EXPECT_FALSE(date->date().isValid());
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
    testsupport::enter(date, Into::ClickMiddle, "3/1/2027");
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
