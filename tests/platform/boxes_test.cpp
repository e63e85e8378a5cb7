// The date, time and list boxes every window is made of, typed into and
// clicked in an active window as a user does.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/userinput.h"

#include "platform/ui/boxes.h"

#include <QCalendarWidget>
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
        if (box == date)
            return date->date().toString(Qt::ISODate);
        if (box == time)
            return time->time().toString("HH:mm:ss");
        return list->currentText();
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
        // An editable list takes a typed text whole, even a beginning of an entry.
        {"list", Into::ClickEnd, "Family", "Family", "Family", nullptr},
        {"list", Into::SelectAll, "Dr", "Dr", "Dr", nullptr},
        {"list", Into::Tab, "family of the bride", "family of the bride", "family of the bride", nullptr},
        {"list", Into::Tab, "Hi", "Hi", "Hi", nullptr},
    };
    list->addItems({"Family of the Bride", "Family of the Groom", "Friend of the Bride's Parents", "Dr.", "High"});
    QSignalSpy dates(date, &ui::DateBox::valueChanged);
    QString was = value(date);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " " + c.typed);
        QWidget* box = QString(c.box) == "date" ? static_cast<QWidget*>(date)
                       : QString(c.box) == "time" ? static_cast<QWidget*>(time)
                                                   : static_cast<QWidget*>(list);
        messages.msgs->shown.clear();
        dates.clear();
        if (box == list)
            list->setEditText(QString());  // as for a new record
        testsupport::enter(box, c.how, c.typed);
        EXPECT_EQ(value(box), c.value);
        EXPECT_EQ(box == list ? list->currentText() : static_cast<QLineEdit*>(box)->text(), c.shown);
        EXPECT_EQ(messages.msgs->texts(), c.message ? QStringList{QString(c.message).arg(c.typed)} : QStringList());
        EXPECT_TRUE(after->hasFocus() || (box == date && time->hasFocus()) || (box == time && list->hasFocus()))
            << "Tab leaves the box";
        if (box == date) {
            EXPECT_EQ(dates.count(), value(date) != was ? 1 : 0) << "told once, when the date is whole";
            was = value(date);
        }
    }
}

TEST_F(BoxesTest, EnterTakesTheDateAndEscapeDropsWhatWasTyped)
{
    QSignalSpy changes(date, &ui::DateBox::valueChanged);
    QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClicks(date, "7/4/2027");
    EXPECT_EQ(date->date(), QDate(2027, 7, 4)) << "read as shown before it is left";
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(date->hasFocus());
    QTest::keyClick(date, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(date, "7/5/20");
    QTest::keyClick(date, Qt::Key_Escape);
    EXPECT_EQ(date->text(), "7/4/2027");
    EXPECT_EQ(date->date(), QDate(2027, 7, 4));
    EXPECT_EQ(changes.count(), 1);
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
    EXPECT_EQ(changes.count(), 1);
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

TEST_F(BoxesTest, ATextSetByTheProgramShowsItsBeginning)
{
    const QString vendor = "Bloom Floral Design Studio and Event Rentals of Greater Springfield";
    ui::showBeginningWhenSet(after);
    after->setText(vendor);
    EXPECT_EQ(after->cursorPosition(), 0);
    list->setEditText(vendor);
    EXPECT_EQ(list->lineEdit()->cursorPosition(), 0);
    // Typing goes on where the user types.
    testsupport::enter(list, Into::SelectAll, "Bloom Floral");
    EXPECT_EQ(list->currentText(), "Bloom Floral");
}

TEST_F(BoxesTest, Screenshots)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    window->resize(460, 300);
    list->setFixedWidth(110);
    list->addItems({"Attending", "Awaiting Reply", "Not Attending"});
    QTest::mouseClick(date->findChild<QToolButton*>(), Qt::LeftButton);
    QCoreApplication::processEvents();
    date->calendar()->window()->grab().save(dir + "/datebox_calendar.png");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    date->setFocus();
    testsupport::snap(window.get(), dir, "datebox");
    list->showPopup();
    QCoreApplication::processEvents();
    list->view()->window()->grab().save(dir + "/listbox_rsvp.png");
}

}  // namespace
