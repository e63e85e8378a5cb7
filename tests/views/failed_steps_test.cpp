// Refreshes that run with errors ignored: a step whose statement fails is
// passed over, the rest of the refresh still shows, and the log names where
// it happened, the error and the statement. Only rows that could not be read
// are said so: they are never shown as if there were none.

#include "support/editors.h"
#include "support/gui.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "app/frmMain.h"
#include "events/frmEventInfo.h"
#include "platform/calendar/dayplanner.h"
#include "platform/calendar/monthcalendar.h"
#include "platform/navbar/explorerbar.h"
#include "records/notices.h"
#include "views/calendar_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabBar>

#include <functional>

namespace {

// The warnings written while it lives.
class WarningLog {
public:
    WarningLog() { previous() = qInstallMessageHandler(&WarningLog::take); }
    ~WarningLog()
    {
        qInstallMessageHandler(previous());
        lines().clear();
    }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    static QStringList& lines()
    {
        static QStringList l;
        return l;
    }

private:
    static void take(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtWarningMsg)
            lines() << text;
        if (previous())
            previous()(type, context, text);
    }
    static QtMessageHandler& previous()
    {
        static QtMessageHandler h = nullptr;
        return h;
    }
};

class FailedStepsTest : public testsupport::ShownMainWindowTest<> {
protected:
    void SetUp() override
    {
        ShownMainWindowTest::SetUp();
        ASSERT_TRUE(testsupport::showActive(m().window()));
    }
    void TearDown() override
    {
        frmEventInfo::instance().Unload();
        ShownMainWindowTest::TearDown();
    }
    // A click on an item of the navigation bar.
    void clickBar(const QString& key)
    {
        QWidget* item = m().ExplorerBarCtlQV1->itemWidget(key);
        ASSERT_NE(item, nullptr) << key.toStdString();
        QTest::mouseClick(item, Qt::LeftButton);
    }
};

}  // namespace

TEST_F(FailedStepsTest, AFailingStatementIsPassedOverAndLogged)
{
    const qint64 event = db().reserveKey("EVENT");
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE, EVENT_ENDDATE, EVENT_HASMUSIC) VALUES "
                 "(?, 'Reception', '2027-08-14 18:00:00', '2027-08-14 23:00:00', 1)",
                 {event});
    db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE) VALUES ('Book the band', '2000-01-01 00:00:00')");
    const int today = calendar::MonthCalendar::dayNumber(QDate::currentDate());
    frmMain& f = m();
    const struct {
        const char* what;
        const char* table;  // another program took it away
        std::function<void()> act;
        std::function<QString()> shown;  // what the rest of the refresh still shows
        QString expected;
        const char* where;
        const char* error;
        const char* statement;
        bool told = true;  // the rows of a list, not a step beside them
    } cases[] = {
        {"the task view without its priority list", "PRIORITY", [&] { clickBar("TASKMODE"); },
         [&] { return f.lblMode->text() + " / " + f.GridEX1->value(1, 3).toString(); }, "Tasks - Due / Book the band",
         "views/viewpattern.cpp", "no such table: PRIORITY", "Select PRIORITY_TEXT FROM PRIORITY", false},
        {"the day without its appointments", "APPOINTMENT", [&] { clickBar("CALENDARMODE"); },
         [&] { return QString::number(f.calDay->entryCount()); }, "0", "views/calendar_day.cpp",
         "no such table: APPOINTMENT",
         "SELECT * FROM APPOINTMENT WHERE APPOINTMENT_START < ? AND (APPOINTMENT_END > ? OR APPOINTMENT_START >= ?) "
         "ORDER BY APPOINTMENT_START"},
        {"the month without its appointments", "APPOINTMENT",
         [&] {
             clickBar("CALENDARMODE");
             messages.msgs->shown.clear();  // the day's, said there
             clickBar("MONTHVIEW");
         },
         [&] { return QString::number(f.Calendar1->currentDay()); }, QString::number(today),
         "views/calendar_month.cpp", "no such table: APPOINTMENT", "ORDER BY APPOINTMENT_START, APPOINTMENT_ID"},
        {"the event editor without its music list", "EVENT_MUSIC",
         [&] {
             clickBar("EVENTMODE");
             testsupport::clickCell(f.GridEX1, 1, 2);
             clickBar("MODIFYEVENT");
             testsupport::clickTab(frmEventInfo::instance().TabStrip1, "Music");
         },
         [] {
             const frmEventInfo& e = frmEventInfo::instance();
             return e.txtName->text() + " / " + e.frontPage()->objectName();
         },
         "Reception / fraMusic", "events/frmEventInfo.cpp",
         "no such table: EVENT_MUSIC", "FROM EVENT_MUSIC WHERE EVENT_ID = "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString table = QString::fromLatin1(c.table);
        db().Execute(QString("ALTER TABLE %1 RENAME TO %1_AWAY").arg(table));
        {
            WarningLog log;
            messages.msgs->shown.clear();
            c.act();
            EXPECT_EQ(c.shown(), c.expected);
            const QString told = QString(editing::kListUnread) + "\n\n" + c.error;
            EXPECT_EQ(messages.msgs->texts(), c.told ? QStringList{told} : QStringList());
            const QStringList named = log.lines().filter(c.where).filter(c.error).filter(c.statement);
            EXPECT_FALSE(named.isEmpty()) << log.lines().join('\n').toStdString();
        }
        frmEventInfo::instance().Unload();
        db().Execute(QString("ALTER TABLE %1_AWAY RENAME TO %1").arg(table));
    }
}

TEST_F(FailedStepsTest, AListAnotherProgramHoldsSaysSoAndKeepsTheRowsItShowed)
{
    const qint64 party = testsupport::insertRow("INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Lee')");
    for (const char* name : {"Ann", "Bo", "Cy"})
        db().Execute("INSERT INTO SUBGUEST (GUEST_ID, SUBGUEST_FNAME) VALUES (?, ?)", {party, name});
    const QString told = QString(editing::kListUnread) + "\n\ndatabase is locked";
    frmMain& f = m();
    db().setBusyTimeout(1);
    {
        testsupport::OtherProgramsLock lock(db().path(), "BEGIN EXCLUSIVE");
        clickBar("GUESTMODE");
        EXPECT_EQ(messages.msgs->texts(), QStringList{told});
        EXPECT_TRUE(f.lblMode->text().endsWith("(could not be read)")) << f.lblMode->text().toStdString();
    }
    clickBar("GUESTMODE");
    const int shown = f.GridEX1->rowCount();
    const auto lastRow = [&] { return f.GridEX1->value(shown, 1).toString() + f.GridEX1->value(shown, 2).toString(); };
    const QString last = lastRow();
    EXPECT_GE(shown, 3);
    EXPECT_FALSE(last.isEmpty());
    // Shown afresh after another window's change while the file is held: the rows stay.
    testsupport::OtherProgramsLock lock(db().path(), "BEGIN EXCLUSIVE");
    messages.msgs->shown.clear();
    emit records::notices().rowsChanged(records::MainList::People);
    EXPECT_EQ(messages.msgs->texts(), QStringList{told});
    EXPECT_EQ(f.GridEX1->rowCount(), shown);
    EXPECT_EQ(lastRow(), last);
}
