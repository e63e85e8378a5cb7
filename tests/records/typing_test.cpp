// Dates, times, amounts and list texts typed into the editors by keys, in
// active windows, as a user types them: each is stored exactly as typed, in
// the US, British and German forms alike.

#include "support/editors.h"
#include "support/gui.h"
#include "support/locales.h"
#include "support/mainwindow.h"
#include "support/userinput.h"

#include "app/frmMain.h"
#include "events/frmAddAppt.h"
#include "events/frmEventInfo.h"
#include "events/frmEventTasks.h"
#include "events/frmWizard.h"
#include "guests/frmGuestDetail.h"
#include "guests/frmInvite.h"
#include "guests/frmNewSubguest.h"
#include "money/frmAddExpense.h"
#include "money/frmAutoBudget.h"
#include "money/frmGift.h"
#include "money/frmVendor.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"
#include "platform/ui/boxes.h"
#include "seating/frmSeating.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QToolButton>

using testsupport::inForms;
using testsupport::Into;
using testsupport::kLocales;

namespace {

// One box of an editor typed into: the page it is on (a tab's caption, or
// none), how the user comes into it, the text ("us|gb|de" where the forms
// differ), and the column and value stored (no column: stored with the next
// row's, as a date and its time).
struct Typed {
    const char* page;
    const char* box;
    Into how;
    const char* text;
    const char* column;
    const char* stored;
};

class TypingBase : public testsupport::ShownMainWindowTest<> {
protected:
    // Runs `body` while the editor is shown and active: a modal one as the
    // scripted modal service shows it, a modeless one at once.
    void whileShown(ui::FormBase& form, bool isModal, const std::function<void()>& opener,
                    const std::function<void(QWidget*)>& body)
    {
        const auto shown = [&] {
            ASSERT_TRUE(testsupport::showActive(form.widget()));
            body(form.widget());
        };
        if (isModal)
            modal.modal->once(form.name(), [&](ui::FormBase&) { shown(); });
        opener();
        if (!isModal)
            shown();
    }
    static void type(QWidget* window, const Typed& t)
    {
        const QString text = inForms(t.text);
        SCOPED_TRACE(std::string(t.box) + " " + text.toStdString());
        if (t.page)
            testsupport::clickTab(window->findChild<QTabBar*>(), t.page);
        auto* box = window->findChild<QWidget*>(t.box);
        ASSERT_TRUE(box);
        testsupport::enter(box, t.how, text);
        EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
    }
    static QStringList messages() { return static_cast<ui::ScriptedMessages&>(ui::messages()).texts(); }
    static void clearMessages() { static_cast<ui::ScriptedMessages&>(ui::messages()).shown.clear(); }
    static void click(QWidget* window, const char* button)
    {
        QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    // The columns of the newest row of a table.
    void expectStored(const QString& table, const std::vector<Typed>& typed)
    {
        for (const Typed& t : typed)
            if (t.column) {
                EXPECT_EQ(db().scalar(QString("SELECT ifnull(%1, 'NULL') FROM %2 ORDER BY %3 DESC LIMIT 1")
                                          .arg(t.column, table, db().keyColumn(table)))
                              .toString(),
                          t.stored)
                    << table.toStdString() << "." << t.column;
            }
    }
};

using Typing = testsupport::InLocale<TypingBase>;
NUPTARO_IN_EACH_LOCALE(Typing);

TEST_P(Typing, EveryEditorStoresTheDatesAmountsAndListTextsAsTyped)
{
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_DUEDATE) VALUES (5, 'Cake', '2026-01-09 00:00:00')");
    db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('High')");
    const struct {
        ui::FormBase& form;
        bool modal;
        std::function<void()> opener;
        const char* table;
        std::vector<Typed> typed;
        const char* save;
    } editors[] = {
        {frmAddExpense::instance(), false,
         [] {
             frmAddExpense::instance().curMode = frmAddExpense::Mode::Add;
             frmAddExpense::instance().Show(ui::vbModeless);
         },
         "EXPENSES",
         {{nullptr, "Text1(0)", Into::ClickStart, "Bouquets", "EXPENSE_TEXT", "Bouquets"},
          {nullptr, "Text1(1)", Into::ClickStart, "1,234.5|1,234.5|1.234,5", "EXPENSE_AMTPAID", "1234.5"},
          {nullptr, "Text1(2)", Into::Tab, "0.75|0.75|0,75", "EXPENSE_AMTDUE", "0.75"},
          {nullptr, "dtDate", Into::Tab, "6/5/2027|5/6/2027|5.6.2027", "EXPENSE_DUEDATE", "2027-06-05 00:00:00"},
          {nullptr, "Combo1(1)", Into::ClickEnd, "Rec", "EXPENSE_EVENT", "Rec"},
          {nullptr, "Combo1(2)", Into::Tab, "Bri", "EXPENSE_WHOPAYS", "Bri"}},
         "cmdSave"},
        {frmAddExpense::instance(), false,
         [] {
             frmAddExpense::instance().curMode = frmAddExpense::Mode::Edit;
             frmAddExpense::instance().curBudgetID = 5;
             frmAddExpense::instance().Show(ui::vbModeless);
         },
         "EXPENSES",
         {{nullptr, "dtDate", Into::SelectAll, "12/31/2027|31/12/2027|31.12.2027", nullptr, nullptr},
          {nullptr, "Text1(1)", Into::SelectAll, "($1,250.05)|(£1,250.05)|-1.250,05 €", nullptr, nullptr}},
         "cmdSave"},
        {frmWizard::instance(), true, [] { frmWizard::instance().Show(ui::vbModal); }, "OUR_WEDDING",
         {{"Events", "DTPicker1_0", Into::ClickMiddle, "8/14/2027|14/8/2027|14.8.2027", "DATE_CEREMONY",
           "2027-08-14 00:00:00"},
          {"Events", "DTPicker1_6", Into::ClickStart, "08/16/2027|16/08/2027|16.08.2027", "DATE_HONEYMOON",
           "2027-08-16 00:00:00"},
          {"Events", "DTPicker1_1", Into::ClickEnd, "8/14/27|14/8/27|14.8.27", "DATE_RECEPTION", "2027-08-14 00:00:00"},
          {"Events", "DTPicker1_2", Into::ClickEnd, "6/1/30|1/6/30|1.6.30", "DATE_SHOWER", "2030-06-01 00:00:00"}},
         "cmdSave"},
        {frmAddAppt::instance(), true,
         [] {
             frmAddAppt::instance().curApptDate = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
             frmAddAppt::instance().Show(ui::vbModal);
         },
         "APPOINTMENT",
         {{nullptr, "txtTitle", Into::ClickStart, "Cake tasting", "Appointment_Text", "Cake tasting"},
          {nullptr, "dtStartDate", Into::Tab, "8/14/2027|14/8/2027|14.8.2027", nullptr, nullptr},
          {nullptr, "dtStartTime", Into::ClickMiddle, "2:30 PM|2:30 pm|14:30", "Appointment_Start", "2027-08-14 14:30:00"},
          {nullptr, "dtEndTime", Into::SelectAll, "16:15", "Appointment_End", "2027-08-14 16:15:00"},
          {nullptr, "cmbPriority", Into::SelectAll, "Hi", "Appointment_Priority", "Hi"}},
         "cmdSave"},
    };
    for (const auto& e : editors) {
        SCOPED_TRACE(e.form.name().toStdString());
        whileShown(e.form, e.modal, e.opener, [&](QWidget* window) {
            for (const Typed& t : e.typed)
                type(window, t);
            click(window, e.save);
        });
        EXPECT_FALSE(e.form.isLoaded()) << "saved and closed";
        expectStored(e.table, e.typed);
    }
    EXPECT_EQ(db().scalar("SELECT EXPENSE_DUEDATE FROM EXPENSES WHERE EXPENSE_ID = 5").toString(),
              "2027-12-31 00:00:00");
    EXPECT_EQ(db().scalar("SELECT EXPENSE_AMTPAID FROM EXPENSES WHERE EXPENSE_ID = 5").toString(), "-1250.05");
}

TEST_P(Typing, APartyAndItsPersonStoreTheirListTextsAsTyped)
{
    const std::vector<Typed> party = {
        {"General", "Text1_0", Into::ClickStart, "Lane Family", "GUEST_PARTYNAME", "Lane Family"},
        {"General", "cmbCategory", Into::ClickEnd, "Family", "GUEST_CATEGORY", "Family"},
        {"General", "cmbTitle", Into::Tab, "Dr", "GUEST_TITLE", "Dr"},
        {"Travel", "DTPicker_4", Into::ClickEnd, "8/14/27|14/8/27|14.8.27", nullptr, nullptr},
        {"Travel", "DTPicker_5", Into::Tab, "2:30 PM|14:30|14:30", "GUEST_TRAVELARRIVETIME", "2027-08-14 14:30:00"},
    };
    const std::vector<Typed> person = {
        {nullptr, "cmbTitles", Into::ClickEnd, "Dr", "SUBGUEST_TITLE", "Dr"},
        {nullptr, "Text1_0", Into::Tab, "Ruth", "SUBGUEST_FNAME", "Ruth"},
    };
    frmGuestDetail& p = frmGuestDetail::instance();
    p.curMode = frmGuestDetail::Mode::New;
    whileShown(p, false, [&] { p.Show(ui::vbModeless); }, [&](QWidget* window) {
        for (const Typed& t : party)
            type(window, t);
        // Adding a person stores the party first.
        click(window, "cmdAddSubguest");
        whileShown(frmNewSubguest::instance(), false, [] {}, [&](QWidget* w) {
            for (const Typed& t : person)
                type(w, t);
            click(w, "cmdAdd");
        });
        ASSERT_TRUE(testsupport::showActive(window));
        click(window, "cmdAdd");
    });
    EXPECT_FALSE(p.isLoaded());
    expectStored("GUEST", party);
    expectStored("SUBGUEST", person);
}

TEST_P(Typing, TheGridsCellsStoreTheTextTypedOrTheEntryItNamesAndRefuseADateInAnotherForm)
{
    db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('High'), ('Highest')");
    db().Execute("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_PRIORITY, TASK_ASSIGN) VALUES "
                 "('Book the band', '2027-01-01 00:00:00', 'Low', 'Bride')");
    ASSERT_TRUE(testsupport::showActive(m().widget()));
    m().ExplorerBarCtlQV1->clickItem("TASKMODE");
    m().ExplorerBarCtlQV1->clickItem("ALLTASKS");
    grid::GridEX* g = m().GridEX1;
    // A text the list does not hold stays as typed; the list's own answer
    // typed in other letter case is that answer. Lines pasted into a cell
    // (through the clipboard) are one line.
    const struct {
        const char* caption;
        const char* typed;
        const char* column;
        const char* stored;
        const char* shown;  // null: as typed
        bool refused;
        bool pasted;
    } cases[] = {
        {"Priority", "Hi", "TASK_PRIORITY", "Hi", nullptr, false, false},
        {"Priority", "high", "TASK_PRIORITY", "High", "High", false, false},
        {"Priority", "HIGHEST", "TASK_PRIORITY", "Highest", "Highest", false, false},
        {"Assignment", "Bri", "TASK_ASSIGN", "Bri", nullptr, false, false},
        {"Event", "Rec", "TASK_EVENT", "Rec", nullptr, false, false},
        {"Task", "Book the band\nand the DJ", "TASK_NAME", "Book the band and the DJ", "Book the band and the DJ", false, true},
        {"Assignment", "Best\r\nMan", "TASK_ASSIGN", "Best Man", "Best Man", false, true},
        {"Due Date", "8/14/2027|14/8/2027|14.8.2027", "TASK_DUEDATE", "2027-08-14 00:00:00",
         "8/14/2027|14/08/2027|14.08.2027", false, false},
        {"Due Date", "6/1/30 2:30 PM|1/6/30 14:30|1.6.30 14:30", "TASK_DUEDATE", "2030-06-01 14:30:00",
         "6/1/2030 2:30 PM|01/06/2030 14:30|01.06.2030 14:30", false, false},
        // Day and month the other way round: refused, naming the form.
        {"Due Date", "31/12/2027|12/31/2027|12.31.2027", "TASK_DUEDATE", "2030-06-01 14:30:00",
         "6/1/2030 2:30 PM|01/06/2030 14:30|01.06.2030 14:30", true, false},
    };
    for (const auto& c : cases) {
        const QString typed = inForms(c.typed);
        // A list's text reads the same in every form.
        if (!QString(c.typed).contains('|') && GetParam() != kLocales[0])
            continue;
        SCOPED_TRACE(typed.toStdString());
        clearMessages();
        // A click on a cell of the chosen row opens its editor.
        testsupport::flushDeletes();
        // (The first click may only choose the row.)
        const auto opened = [g] { return g->tableView()->findChild<QLineEdit*>() != nullptr; };
        bool open = false;
        for (int tries = 0; tries < 2 && !open; ++tries) {
            testsupport::clickCell(g, 1, g->columnByCaption(c.caption));
            open = QTest::qWaitFor(opened, 2 * QApplication::doubleClickInterval());
        }
        ASSERT_TRUE(open);
        if (auto* list = g->tableView()->findChild<QComboBox*>()) {
            EXPECT_EQ(list->lineEdit()->cursorPosition(), 0) << "its beginning in view";
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        if (c.pasted) {
            QGuiApplication::clipboard()->setText(typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        } else {
            testsupport::keyClicks(QApplication::focusWidget(), typed);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The cell is written, and a refusal told, once the editor has closed.
        (void)QTest::qWaitFor([&] { return !messages().isEmpty(); }, c.refused ? 2000 : 50);
        EXPECT_EQ(db().scalar(QString("SELECT %1 FROM TASKS").arg(c.column)).toString(), c.stored);
        EXPECT_EQ(g->text(1, g->columnByCaption(c.caption)), c.shown ? inForms(c.shown) : typed);
        EXPECT_EQ(messages().size(), c.refused ? 1 : 0);
        if (c.refused) {
            EXPECT_TRUE(messages().value(0).startsWith(
                QString("\"%1\" is not a date. Please type a date as %2")
                    .arg(typed, inForms("MM/DD/YYYY|DD/MM/YYYY|DD.MM.YYYY"))))
                << messages().join('|').toStdString();
        }
    }
}

TEST_P(Typing, AnAmountThatDoesNotReadIsRefusedAndTheTypingStays)
{
    frmAddExpense& f = frmAddExpense::instance();
    f.curMode = frmAddExpense::Mode::Add;
    whileShown(f, false, [&] { f.Show(ui::vbModeless); }, [&](QWidget* window) {
        testsupport::enter(f.Text1[0], Into::ClickStart, "Cake");
        // A separator of another locale, and no number at all.
        for (const char* amount : {"1,5|1,5|1.5", "twelve"}) {
            const QString typed = inForms(amount);
            SCOPED_TRACE(typed.toStdString());
            clearMessages();
            testsupport::enter(f.Text1[1], Into::SelectAll, typed);
            click(window, "cmdSave");
            EXPECT_TRUE(f.isLoaded()) << "the window stays";
            EXPECT_EQ(f.Text1[1]->text(), typed) << "with what was typed";
            EXPECT_EQ(messages(), QStringList{"The changes could not be saved.\n\n\"" + typed
                                              + "\" is not a number. Please type a number such as "
                                              + inForms("1,234.50, with \".\"|1,234.50, with \".\"|1.234,50, with \",\"")
                                              + " before the decimals."});
            EXPECT_EQ(count("SELECT count(*) FROM EXPENSES"), 0) << "nothing stored, not even empty";
        }
        testsupport::enter(f.Text1[1], Into::SelectAll, inForms("1.5|1.5|1,5"));
        click(window, "cmdSave");
    });
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(db().scalar("SELECT EXPENSE_AMTPAID FROM EXPENSES").toDouble(), 1.5);
}

// Amounts grouped as people type them in more locales, and amounts that
// came back from their box with noise (6,5600000000000005): each is stored
// as typed, and its box shows it again to be saved unchanged.
TEST_F(TypingBase, AmountsTypedInMoreLocalesAreStoredAndReadBackFromTheirBox)
{
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {  // typed, stored, shown
        {"de_CH", "1'500.25", "1500.25", "1500.25"},      {"de_CH", "1’500.25 CHF", "1500.25", "1500.25"},
        {"fr_FR", "1\u00a0500,25 €", "1500.25", "1500,25"}, {"en_IN", "₹1,23,456.78", "123456.78", "123456.78"},
        {"pl_PL", "1\u202f500,25", "1500.25", "1500,25"},   {"de_DE", "6,56", "6.56", "6,56"},
        {"en_US", "4.69", "4.69", "4.69"},
    };
    const QLocale us;
    frmAddExpense& f = frmAddExpense::instance();
    for (const auto& [locale, typed, stored, shown] : cases) {
        SCOPED_TRACE(locale);
        QLocale::setDefault(QLocale(locale));
        db().Execute("DELETE FROM EXPENSES");
        for (const frmAddExpense::Mode mode : {frmAddExpense::Mode::Add, frmAddExpense::Mode::Edit}) {
            f.curMode = mode;
            f.curBudgetID = db().scalar("SELECT max(EXPENSE_ID) FROM EXPENSES").toLongLong();
            whileShown(f, false, [&] { f.Show(ui::vbModeless); }, [&](QWidget* window) {
                if (f.curMode == frmAddExpense::Mode::Add) {
                    testsupport::enter(f.Text1[0], Into::ClickStart, "Cake");
                    testsupport::enter(f.Text1[1], Into::SelectAll, QString::fromUtf8(typed));
                } else {
                    EXPECT_EQ(f.Text1[1]->text(), QString::fromUtf8(shown));
                }
                click(window, "cmdSave");
            });
            EXPECT_EQ(db().scalar("SELECT EXPENSE_AMTPAID FROM EXPENSES").toString(), stored);
        }
    }
    QLocale::setDefault(us);
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_P(Typing, StoredValuesShowInTheUsersFormsInEditorsAndTheGrid)
{
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_EVENT, EXPENSE_AMTPAID, EXPENSE_AMTDUE, "
                 "EXPENSE_DUEDATE) VALUES (5, 'Cake', 'Reception', 1234.5, -0.25, '2027-08-14 00:00:00')");
    frmAddExpense& f = frmAddExpense::instance();
    f.curMode = frmAddExpense::Mode::Edit;
    f.curBudgetID = 5;
    whileShown(f, false, [&] { f.Show(ui::vbModeless); }, [&](QWidget* window) {
        EXPECT_EQ(f.Text1[1]->text(), inForms("1234.5|1234.5|1234,5"));
        EXPECT_EQ(f.Text1[2]->text(), inForms("-0.25|-0.25|-0,25"));
        EXPECT_EQ(f.dtDate->text(), inForms("8/14/2027|14/08/2027|14.08.2027"));
        // Saved untouched, every value comes back as it was.
        click(window, "cmdSave");
    });
    EXPECT_FALSE(f.isLoaded());
    EXPECT_EQ(db().scalar("SELECT EXPENSE_AMTPAID || ' ' || EXPENSE_AMTDUE || ' ' || EXPENSE_DUEDATE FROM EXPENSES")
                  .toString(),
              "1234.5 -0.25 2027-08-14 00:00:00");
    ASSERT_TRUE(testsupport::showActive(m().widget()));
    m().ExplorerBarCtlQV1->clickItem("BUDGETMODE");
    m().ExplorerBarCtlQV1->clickItem("EXPENSES");
    grid::GridEX* g = m().GridEX1;
    int row = 1;
    while (row < g->rowCount() && g->rowKind(row) != grid::RowKind::Record)
        ++row;
    EXPECT_EQ(g->text(row, g->columnByCaption("Amt Paid")), inForms("$1,234.50|£1,234.50|1.234,50\u00a0€"));
    EXPECT_EQ(g->text(row, g->columnByCaption("Amt Due")), inForms("($0.25)|(£0.25)|-0,25\u00a0€"));
    EXPECT_EQ(g->text(row, g->columnByCaption("Due Date")), inForms("8/14/2027|14/08/2027|14.08.2027"));
}

TEST_P(Typing, AnEmptyDueDateStaysEmptyAndALongValueShowsItsBeginning)
{
    const QString vendor = "Bloom Floral Design Studio and Event Rentals of Greater Springfield";
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_VENDOR, EXPENSE_DUEDATE) VALUES "
                 "(5, 'Centrepieces for the reception tables, with candles and greenery', ?, NULL)",
                 {vendor});
    frmAddExpense& f = frmAddExpense::instance();
    f.curMode = frmAddExpense::Mode::Edit;
    f.curBudgetID = 5;
    whileShown(f, false, [&] { f.Show(ui::vbModeless); }, [&](QWidget*) {
        EXPECT_EQ(f.dtDate->text(), "") << "no date is shown for none";
        for (QLineEdit* box : {f.Text1[0], f.Combo1[0]->lineEdit()}) {
            EXPECT_EQ(box->cursorPosition(), 0);
            EXPECT_LT(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), box->width() / 4) << "the beginning is in view";
        }
        click(f.widget(), "cmdSave");
    });
    EXPECT_TRUE(db().scalar("SELECT EXPENSE_DUEDATE FROM EXPENSES WHERE EXPENSE_ID = 5").isNull());
}

TEST_F(TypingBase, EmptyMomentsShowNoneAndStayEmptyWhenSavedUnchanged)
{
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE) VALUES (9, 'Book the band', NULL)");
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE, EVENT_ENDDATE) VALUES "
                 "(901, 'Ceremony', '2027-08-14 15:00:00', NULL)");
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (31, 'Lane Family')");
    const struct {
        ui::FormBase& form;
        bool modal;
        std::function<void()> opener;
        QStringList boxes;
        const char* save;
        const char* unset;  // a query of the moments' columns
    } editors[] = {
        {frmEventTasks::instance(), true,
         [] {
             frmEventTasks::instance().curMode = frmEventTasks::Mode::Edit;
             frmEventTasks::instance().curTaskID = 9;
             frmEventTasks::instance().Show(ui::vbModal);
         },
         {"dtDate"}, "cmdSave", "SELECT TASK_DUEDATE FROM TASKS"},
        {frmEventInfo::instance(), false,
         [] {
             frmEventInfo::instance().curMode = frmEventInfo::Mode::Edit;
             frmEventInfo::instance().curEvent = 901;
             frmEventInfo::instance().Show(ui::vbModeless);
         },
         {"dtEndDate", "dtEndTime"}, "cmdSave", "SELECT EVENT_ENDDATE FROM EVENT"},
        {frmGuestDetail::instance(), false,
         [] {
             frmGuestDetail::instance().curMode = frmGuestDetail::Mode::Edit;
             frmGuestDetail::instance().curRec = 31;
             frmGuestDetail::instance().Show(ui::vbModeless);
         },
         {"DTPicker_0", "DTPicker_1", "DTPicker_2", "DTPicker_3", "DTPicker_4", "DTPicker_5", "DTPicker_6", "DTPicker_7"},
         "cmdAdd",
         "SELECT coalesce(GUEST_ACCOMARRIVETIME, GUEST_ACCOMDEPARTTIME, GUEST_TRAVELARRIVETIME, "
         "GUEST_TRAVELDEPARTTIME) FROM GUEST"},
    };
    for (const auto& e : editors) {
        SCOPED_TRACE(e.form.name().toStdString());
        whileShown(e.form, e.modal, e.opener, [&](QWidget* window) {
            for (const QString& name : e.boxes) {
                auto* box = window->findChild<ui::MomentBox*>(name);
                ASSERT_TRUE(box) << name.toStdString();
                EXPECT_EQ(box->text(), "") << name.toStdString() << ": shows it holds none";
            }
            click(window, e.save);
        });
        EXPECT_FALSE(e.form.isLoaded());
        EXPECT_TRUE(db().scalar(e.unset).isNull());
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(TypingBase, TheWheelOverABoxNobodyChoseChangesNothing)
{
    db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES ('High')");
    db().Execute("INSERT INTO ASSIGNEE (ASSIGNEE_TEXT) VALUES ('Bride')");
    db().Execute("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE, TASK_PRIORITY, TASK_ASSIGN, TASK_EVENT) VALUES "
                 "(9, 'Book the band', '2027-01-01 00:00:00', 'No Priority', 'No Assignee', 'No Event')");
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (901, 'Ceremony'), (902, 'Reception')");
    db().Execute("INSERT INTO TABLES (EVENT_ID, TABLE_NAME) VALUES (901, 'Head')");
    // More amounts on a page than it shows at once, so it scrolls.
    for (int i = 0; i < 4; ++i)
        db().Execute("INSERT INTO STDBUDGET (STDBUDGET_NAME, STDBUDGET_CATEGORY, STDBUDGET_AMT, STDBUDGET_HIGH, "
                     "STDBUDGET_MED, STDBUDGET_LOW) VALUES ('Extra', 'Ceremony', 0, 800, 200, 100)");
    const auto state = [this] {
        return db().scalar("SELECT TASK_PRIORITY || '|' || TASK_ASSIGN || '|' || TASK_EVENT FROM TASKS").toString() + '|'
               + db().scalar("SELECT SUM(STDBUDGET_AMT) FROM STDBUDGET").toString() + '|'
               + QString::number(frmSeating::instance().curEvent) + '|' + QString::number(frmInvite::instance().curEvent);
    };
    frmSeating::instance().curEvent = 901;
    frmInvite::instance().curEvent = 901;
    const struct {
        ui::FormBase& form;
        bool modal;
        std::function<void()> opener;
        const char* page;  // a tab to click first
        QStringList boxes;
        const char* close;  // none: unloaded
    } windows[] = {
        {frmEventTasks::instance(), true,
         [] {
             frmEventTasks::instance().curMode = frmEventTasks::Mode::Edit;
             frmEventTasks::instance().curTaskID = 9;
             frmEventTasks::instance().Show(ui::vbModal);
         },
         nullptr, {"cmbPriority", "cmbAssignee", "cmbEvent"}, "cmdSave"},
        {frmAutoBudget::instance(), true, [] { frmAutoBudget::instance().Show(ui::vbModal); }, "Ceremony",
         {"Combo1(0)", "Combo1(1)"}, "Command2"},
        {frmSeating::instance(), false, [] { frmSeating::instance().Show(ui::vbModeless); }, nullptr, {"cmbEvents"},
         nullptr},
        {frmInvite::instance(), true, [] { frmInvite::instance().Show(ui::vbModal); }, nullptr, {"cmbEvents"},
         "Command1"},
    };
    const QString before = state();
    for (const auto& w : windows) {
        SCOPED_TRACE(w.form.name().toStdString());
        whileShown(w.form, w.modal, w.opener, [&](QWidget* window) {
            if (w.page)
                testsupport::clickTab(window->findChild<QTabBar*>(), w.page);
            for (const QString& name : w.boxes) {
                auto* box = window->findChild<QComboBox*>(name);
                ASSERT_TRUE(box) << name.toStdString();
                const QString shown = box->currentText();
                testsupport::wheel(box, box->rect().center(), -1);
                testsupport::wheel(box, box->rect().center(), -1);
                EXPECT_EQ(box->currentText(), shown) << name.toStdString();
            }
            if (auto* page = window->findChild<QScrollArea*>("rowArea")) {
                EXPECT_GT(page->verticalScrollBar()->value(), 0) << "the page scrolls instead";
            }
            if (w.close)
                click(window, w.close);
            else
                w.form.Unload();
        });
        EXPECT_FALSE(w.form.isLoaded());
        EXPECT_EQ(state(), before);
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join('|').toStdString();
}

TEST_F(TypingBase, TheWheelTurnsATabStripOnlyOnceChosenAndNoPageLosesItsTyping)
{
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_HASFOOD) VALUES (901, 'Ceremony', 1)");
    frmEventInfo::instance().curMode = frmEventInfo::Mode::Edit;
    frmEventInfo::instance().curEvent = 901;
    frmGuestDetail::instance().curMode = frmGuestDetail::Mode::New;
    frmVendor::instance().curMode = frmVendor::Mode::Add;
    frmGift::instance().giftMode = frmGift::Mode::Add;
    const std::tuple<ui::FormBase*, bool, const char*> windows[] = {
        {&frmWizard::instance(), true, "txtName_6"},   {&frmAutoBudget::instance(), true, "Combo1(0)"},
        {&frmEventInfo::instance(), false, "txtName"}, {&frmGuestDetail::instance(), false, "Text1_0"},
        {&frmVendor::instance(), false, "Text1(0)"},   {&frmGift::instance(), false, "Text1(0)"}};
    for (const auto& [form, isModal, name] : windows) {
        SCOPED_TRACE(form->name().toStdString());
        whileShown(*form, isModal, [&] { form->Show(isModal ? ui::vbModal : ui::vbModeless); }, [&](QWidget* window) {
            auto* strip = window->findChild<QTabBar*>();
            auto* box = window->findChild<QWidget*>(name);
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, 8));
            testsupport::keyClicks(QApplication::focusWidget(), "500");
            const QString typed = editing::boxText(box);
            // Passing over it while the user types elsewhere, the page stays; tabbed into, it turns.
            for (bool chosen : {false, true}) {
                if (chosen)
                    strip->setFocus(Qt::TabFocusReason);
                testsupport::wheel(strip, strip->rect().center(), -1);
                EXPECT_EQ(strip->currentIndex() != 0, chosen);
                testsupport::wheel(strip, strip->rect().center(), 1);
                EXPECT_EQ(strip->currentIndex(), 0);
                EXPECT_EQ(editing::boxText(box), typed) << "the typing is kept";
            }
            form->Unload();
        });
    }
}

TEST_F(TypingBase, AnEscapeThatDropsATextTypedInABoxLeavesTheWindowOpen)
{
    frmAddExpense& f = frmAddExpense::instance();
    f.curMode = frmAddExpense::Mode::Add;
    whileShown(f, false, [&] { f.Show(ui::vbModeless); }, [&](QWidget* window) {
        testsupport::enter(f.Text1[0], Into::ClickStart, "Bouquets");
        const QDate shown = f.dtDate->date();
        QTest::mouseClick(f.dtDate, Qt::LeftButton, {}, QPoint(4, f.dtDate->height() / 2));
        QTest::keyClicks(f.dtDate, "8/1");
        QTest::keyClick(f.dtDate, Qt::Key_Escape);
        EXPECT_TRUE(f.isLoaded() && window->isVisible());
        EXPECT_EQ(f.dtDate->date(), shown);
        EXPECT_EQ(f.Text1[0]->text(), "Bouquets");
        static_cast<ui::ScriptedMessages&>(ui::messages()).answers = {ui::vbNo};
        QTest::keyClick(f.dtDate, Qt::Key_Escape);
        EXPECT_FALSE(f.isLoaded()) << "the next Escape closes it, once the typing is given up";
    });
    EXPECT_EQ(testsupport::counts("EXPENSES"), "0");
    EXPECT_EQ(messages(), QStringList{editing::kSaveChanges});
}

TEST_F(TypingBase, ScreenshotsOfTheDateBoxAndTheOpenLists)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    // The screen about a window, with what is open over it.
    const auto shoot = [&](QWidget* window, const QString& name) {
        QCoreApplication::processEvents();
        QGuiApplication::primaryScreen()->grabWindow(0).copy(window->frameGeometry().adjusted(0, 0, 150, 150))
            .save(dir + '/' + name + ".png");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    };
    frmAddExpense& e = frmAddExpense::instance();
    e.curMode = frmAddExpense::Mode::Add;
    whileShown(e, false, [&] { e.Show(ui::vbModeless); }, [&](QWidget* window) {
        testsupport::enter(e.dtDate, Into::ClickMiddle, "8/14/2027");
        QTest::mouseClick(e.dtDate->findChild<QToolButton*>(), Qt::LeftButton);
        shoot(window, "datebox");
        click(window, "cmdCancel");
    });
    frmGuestDetail& p = frmGuestDetail::instance();
    p.curMode = frmGuestDetail::Mode::New;
    whileShown(p, false, [&] { p.Show(ui::vbModeless); }, [&](QWidget* window) {
        QTest::keyClick(p.cmbCategory, Qt::Key_Down, Qt::AltModifier);
        shoot(window, "list_category");
        click(window, "cmdCancel");
    });
    // The RSVP choices in the RSVP view's cell.
    db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (901, 'Reception')");
    db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (31, 'Lane Family')");
    db().Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (41, 31, 'Ruth', 'Lane')");
    db().Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT) VALUES (901, 41, 'Awaiting Reply')");
    ASSERT_TRUE(testsupport::showActive(m().widget()));
    m().ExplorerBarCtlQV1->clickItem("RSVPMODE");
    testsupport::clickCell(m().GridEX1, 2, m().GridEX1->columnByCaption("RSVP Status"));
    QTest::keyClick(m().GridEX1->tableView(), Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
    shoot(m().widget(), "list_rsvp");
}

}  // namespace
