// The planning wizard: boxes bound to columns, the wedding row and standard
// events saved, the start-up setting, refused writes, two copies converging.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/mainwindow.h"
#include "support/twocopies.h"
#include "support/userinput.h"

#include "app/editors.h"
#include "app/frmMain.h"
#include "events/frmWizard.h"
#include "platform/ui/boxes.h"
#include "platform/ui/regional.h"
#include "records/editing.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using testsupport::MainWindowTest;

namespace {

QDateTime at(int y, int m, int d, int h, int min = 0) { return QDateTime(QDate(y, m, d), QTime(h, min)); }

// Which box holds which column, on which page, behind which label.
struct Binding {
    int index;
    const char* column;
    const char* page;
    const char* label;
};
const Binding kBindings[] = {
    {6, "BRIDE_FNAME", "Bride", "Bride's First Name:"},     {0, "BRIDE_LNAME", "Bride", "Bride's Last Name:"},
    {1, "BRIDE_ADDRESS1", "Bride", "Address:"},             {7, "BRIDE_ADDRESS2", "Bride", "Address:"},
    {8, "BRIDE_CITY", "Bride", "City:"},                    {9, "BRIDE_STATE", "Bride", "State:"},
    {10, "BRIDE_ZIP", "Bride", "ZIP:"},                     {11, "BRIDE_PHONE", "Bride", "Phone 1:"},
    {12, "BRIDE_PHONE1", "Bride", "Phone 2:"},              {13, "BRIDE_EMAIL", "Bride", "E-Mail:"},
    {17, "GROOM_FNAME", "Groom", "Groom's First Name:"},    {18, "GROOM_LNAME", "Groom", "Groom's Last Name:"},
    {19, "GROOM_ADDRESS1", "Groom", "Address:"},            {20, "GROOM_ADDRESS2", "Groom", "Address:"},
    {21, "GROOM_CITY", "Groom", "City:"},                   {22, "GROOM_STATE", "Groom", "State:"},
    {23, "GROOM_ZIP", "Groom", "ZIP:"},                     {16, "GROOM_PHONE", "Groom", "Phone 1:"},
    {15, "GROOM_PHONE1", "Groom", "Phone 2:"},              {14, "GROOM_EMAIL", "Groom", "E-Mail:"},
    {3, "BRIDE_FATHER", "Parents", "Bride's Father's Name:"}, {2, "BRIDE_MOTHER", "Parents", "Bride's Mother's Name:"},
    {5, "GROOM_FATHER", "Parents", "Groom's Father's Name:"}, {4, "GROOM_MOTHER", "Parents", "Groom's Mother's Name:"},
};
const char* const kPlans[] = {"PLAN_CEREMONY", "PLAN_RECEPTION", "PLAN_SHOWER", "PLAN_REHEARSAL",
                              "PLAN_BACHELOR", "PLAN_BACHELORETTE", "PLAN_HONEYMOON"};
const char* const kDates[] = {"DATE_CEREMONY", "DATE_RECEPTION", "DATE_SHOWER", "DATE_REHEARSAL",
                              "DATE_BACHELOR", "DATE_BACHELORETTE", "DATE_HONEYMOON"};

// The wizard opened from the Help menu at 15:00 on 7 December 2026.
class WizardTest : public MainWindowTest<> {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        editing::setClock([] { return at(2026, 12, 7, 15); });
        m().Show(ui::vbModeless);
    }
    void TearDown() override
    {
        editing::setClock({});
        MainWindowTest::TearDown();
    }
    static frmWizard& w() { return frmWizard::instance(); }
    // `body` runs while the wizard is shown.
    void open(const std::function<void(frmWizard&)>& body)
    {
        bool ran = false;
        modal.modal->once("frmWizard", [&](ui::FormBase&) {
            ran = true;
            w().window()->show();
            QApplication::setActiveWindow(w().window());
            body(w());
        });
        m().widget()->findChild<QAction*>("mnuWizard")->trigger();
        EXPECT_TRUE(ran);
    }
    static void clickTab(const QString& caption) { testsupport::clickTab(w().TabStrip1, caption); }
    static void type(QLineEdit* box, const QString& text) { testsupport::retype(box, text); }
    static void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // On the box itself, as a user ticks it.
    static void click(QCheckBox* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); }
    // The change log as "TABLE key action" lines, in order.
    QStringList log()
    {
        return rows("SELECT SYNCHRO_TABLE, SYNCHRO_RECORDID, SYNCHRO_ACTION FROM SYNCHRO ORDER BY rowid", {}, " ");
    }
    qint64 event(const QString& name, const QVariant& start)
    {
        const qint64 id = db().reserveKey("EVENT");
        db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE) VALUES (?, ?, ?)", {id, name, start});
        return id;
    }
    // Every event as "key name start", by key.
    QStringList events()
    {
        return rows("SELECT EVENT_ID, EVENT_NAME, EVENT_STARTDATE FROM EVENT ORDER BY EVENT_ID", {}, " ");
    }
    static QString picker(int i)
    {
        const ui::DateBox* p = w().DTPicker1[i];
        return p->date().toString("yyyy-MM-dd") + ' ' + p->timeOfDay().toString("HH:mm:ss");
    }
};

TEST_F(WizardTest, EveryBoxIsStoredInItsColumnAndReadBackTheSecondSaveOverwrites)
{
    open([&](frmWizard& f) {
        EXPECT_EQ(f.frontPage(), f.fraBride);
        for (int i = 0; i < 7; ++i) {
            EXPECT_FALSE(f.chkPlan[i]->isChecked());
            EXPECT_EQ(picker(i), "2026-12-07 00:00:00") << "the day of opening, without its time";
        }
        for (const Binding& b : kBindings) {
            SCOPED_TRACE(b.column);
            QLineEdit* box = f.txtName[b.index];
            clickTab(b.page);
            EXPECT_EQ(f.frontPage()->title(), b.page);
            EXPECT_EQ(box->parentWidget(), f.frontPage());
            QLabel* label = nullptr;
            for (QLabel* l : f.Label1)
                if (l->buddy() == box)
                    label = l;
            ASSERT_TRUE(label);
            EXPECT_EQ(label->text(), b.label);
            EXPECT_TRUE(box->text().isEmpty());
            type(box, QString("%1 text").arg(b.column));
        }
        clickTab("Events");
        click(f.chkPlan[0]);
        click(f.chkPlan[6]);
        f.DTPicker1[6]->setDate(QDate(2027, 6, 12));
        click(f.cmdSave);
        EXPECT_FALSE(f.isLoaded());
    });
    QStringList columns = {"OUR_WEDDING_ID"};
    std::string expected = "1";
    for (const Binding& b : kBindings) {
        columns << b.column;
        expected += std::string("|") + b.column + " text";
    }
    columns << QStringList(std::begin(kPlans), std::end(kPlans)) << QStringList(std::begin(kDates), std::end(kDates));
    expected += "|1|0|0|0|0|0|1";
    for (int i = 0; i < 6; ++i)
        expected += "|2026-12-07 00:00:00";
    expected += "|2027-06-12 00:00:00";
    EXPECT_EQ(row("SELECT " + columns.join(", ") + " FROM OUR_WEDDING"), expected);
    EXPECT_EQ(log(), QStringList({"OUR_WEDDING 1 1", "EVENT 1 1", "EVENT 7 1"}));
    EXPECT_EQ(events(), QStringList({"1 Ceremony 2026-12-07 12:00:00", "7 Honeymoon 2027-06-12 12:00:00"}));

    open([&](frmWizard& f) {
        for (const Binding& b : kBindings)
            EXPECT_EQ(f.txtName[b.index]->text(), QString("%1 text").arg(b.column)) << b.column;
        EXPECT_TRUE(f.chkPlan[0]->isChecked());
        EXPECT_FALSE(f.chkPlan[1]->isChecked());
        EXPECT_EQ(picker(6), "2027-06-12 00:00:00");
        EXPECT_EQ(f.frontPage(), f.fraBride);
        // Tab goes down the page.
        f.txtName[6]->setFocus();
        QList<int> order;
        for (int n = 0; n < 10; ++n) {
            for (int i = 0; i < 24; ++i)
                if (QApplication::focusWidget() == f.txtName[i])
                    order << i;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order, QList<int>({6, 0, 1, 7, 8, 9, 10, 11, 12, 13}));
        type(f.txtName[6], "");
        clickTab("Events");
        click(f.chkPlan[0]);
        click(f.cmdSave);
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM OUR_WEDDING"), 1);
    EXPECT_EQ(row("SELECT OUR_WEDDING_ID, BRIDE_FNAME IS NULL, BRIDE_FNAME, PLAN_CEREMONY, BRIDE_LNAME FROM OUR_WEDDING"),
              "1|0||0|BRIDE_LNAME text");
    EXPECT_EQ(log().size(), 3) << "the row keeps its first log row";
}

TEST_F(WizardTest, LoadingTakesTheFirstRowByKeyAndPassesOverNullsAndUnreadableDates)
{
    db().Execute("INSERT INTO OUR_WEDDING (OUR_WEDDING_ID, BRIDE_FNAME, GROOM_FNAME) VALUES (9, 'Later', 'Later')");
    writeAsAnotherProgram("INSERT INTO OUR_WEDDING (OUR_WEDDING_ID, BRIDE_FNAME, BRIDE_LNAME, PLAN_SHOWER, "
                          "DATE_CEREMONY, DATE_RECEPTION, DATE_SHOWER, GROOM_MOTHER) VALUES (3, NULL, 'Lane', 1, "
                          "NULL, 'soon', '2027-05-01 10:30:00', 'Ruth')");
    open([&](frmWizard& f) {
        EXPECT_EQ(f.txtName[6]->text(), "");
        EXPECT_EQ(f.txtName[0]->text(), "Lane");
        EXPECT_EQ(f.txtName[17]->text(), "");
        EXPECT_EQ(f.txtName[4]->text(), "Ruth") << "loading goes on past the NULLs";
        EXPECT_TRUE(f.chkPlan[2]->isChecked());
        EXPECT_EQ(picker(0), "2026-12-07 00:00:00");
        EXPECT_EQ(picker(1), "2026-12-07 00:00:00");
        EXPECT_EQ(picker(2), "2027-05-01 10:30:00");
        click(f.cmdSave);
    });
    EXPECT_EQ(row("SELECT BRIDE_FNAME, BRIDE_LNAME, DATE_SHOWER FROM OUR_WEDDING WHERE OUR_WEDDING_ID = 3"),
              "|Lane|2027-05-01 10:30:00");
    EXPECT_EQ(row("SELECT BRIDE_FNAME, GROOM_FNAME, PLAN_SHOWER FROM OUR_WEDDING WHERE OUR_WEDDING_ID = 9"),
              "Later|Later|0");
    EXPECT_EQ(log().first(), "OUR_WEDDING 3 2");
}

TEST_F(WizardTest, TickedStandardEventsAreReDatedByExactNameOrMadeAtNoon)
{
    const qint64 ceremony = event("Ceremony", "2004-06-12 14:30:00");
    const qint64 lower = event("reception", "2004-01-01 10:00:00");
    const qint64 blank = event("Reception ", "2004-01-01 10:00:00");
    const qint64 shower1 = event("Shower", "2004-02-02 09:15:00");
    const qint64 shower2 = event("Shower", "2004-02-02 09:15:00");
    const qint64 rehearsal = event("Rehearsal Dinner", QVariant());
    const qint64 bachelor = event("Bachelor Party", "2004-03-03 20:00:00");
    db().Execute("UPDATE EVENT SET EVENT_ENDDATE = '2004-06-13 01:00:00' WHERE EVENT_ID = ?", {ceremony});
    db().Execute("UPDATE EVENT SET EVENT_ENDDATE = '2004-01-01 22:00:00' WHERE EVENT_ID = ?", {rehearsal});
    open([&](frmWizard& f) {
        clickTab("Events");
        for (int i : {0, 1, 2, 3, 5, 6})
            click(f.chkPlan[i]);
        for (int i = 0; i < 7; ++i)
            f.DTPicker1[i]->setDate(QDate(2005, 8, 20 + i));
        click(f.cmdSave);
    });
    const QString c = QString::number(ceremony), l = QString::number(lower), b = QString::number(blank);
    EXPECT_EQ(events(), QStringList({
                            "2 Reception 2005-08-21 12:00:00",
                            "6 Bachelorette Party 2005-08-25 12:00:00",
                            "7 Honeymoon 2005-08-26 12:00:00",
                            c + " Ceremony 2005-08-20 14:30:00",
                            l + " reception 2004-01-01 10:00:00",
                            b + " Reception  2004-01-01 10:00:00",
                            QString::number(shower1) + " Shower 2005-08-22 09:15:00",
                            QString::number(shower2) + " Shower 2004-02-02 09:15:00",
                            QString::number(rehearsal) + " Rehearsal Dinner 2005-08-23 00:00:00",
                            QString::number(bachelor) + " Bachelor Party 2004-03-03 20:00:00",
                        }));
    // An end moves with its start, never before it; a new event ends where it starts.
    EXPECT_EQ(rows("SELECT EVENT_ENDDATE FROM EVENT WHERE EVENT_ID IN (2, ?, ?) ORDER BY EVENT_ID",
                   {ceremony, rehearsal}),
              QStringList({"2005-08-21 12:00:00", "2005-08-21 01:00:00", "2005-08-23 00:00:00"}));
    EXPECT_EQ(log(), QStringList({"OUR_WEDDING 1 1", "EVENT " + c + " 2", "EVENT 2 1",
                                  "EVENT " + QString::number(shower1) + " 2",
                                  "EVENT " + QString::number(rehearsal) + " 2", "EVENT 6 1", "EVENT 7 1"}));

    // A standard event deleted since is made again under a key of this copy.
    db().Execute("DELETE FROM EVENT WHERE EVENT_ID = 2");
    modSynchro::LogChange("EVENT", 2, modSynchro::Deleted);
    open([&](frmWizard& f) { click(f.cmdSave); });
    const qint64 again = db().scalar("SELECT EVENT_ID FROM EVENT WHERE EVENT_NAME = 'Reception'").toLongLong();
    EXPECT_EQ(again / ado::Connection::kKeyRange, db().copyNumber());
}

TEST_F(WizardTest, TheCeremonyDateIsCarriedToPickersLessThanADayAhead)
{
    // Stored: a week ahead, tomorrow earlier in the day, a day ahead exactly.
    db().Execute("INSERT INTO OUR_WEDDING (OUR_WEDDING_ID, DATE_RECEPTION, DATE_SHOWER, DATE_REHEARSAL) "
                 "VALUES (1, '2026-12-14 15:00:00', '2026-12-08 14:00:00', '2026-12-08 15:00:00')");
    open([&](frmWizard& f) {
        clickTab("Events");
        ASSERT_TRUE(testsupport::showActive(f.window()));
        using testsupport::Into;
        testsupport::enter(f.DTPicker1[4], Into::ClickMiddle, "12/10/2026");
        EXPECT_EQ(picker(4), "2026-12-10 00:00:00");
        EXPECT_EQ(picker(0), "2026-12-07 00:00:00") << "only the ceremony carries";
        // The date is carried once, whole, not at each key typed.
        QSignalSpy changes(f.DTPicker1[0], &ui::DateBox::valueChanged);
        testsupport::enter(f.DTPicker1[0], Into::ClickMiddle, "12/20/2027");
        EXPECT_EQ(changes.count(), 1);
        EXPECT_EQ(picker(1), "2026-12-14 15:00:00");
        EXPECT_EQ(picker(2), "2027-12-20 00:00:00");
        EXPECT_EQ(picker(3), "2026-12-08 15:00:00");
        EXPECT_EQ(picker(4), "2026-12-10 00:00:00");
        for (int i : {5, 6})
            EXPECT_EQ(picker(i), "2027-12-20 00:00:00");
        click(f.Command2);
    });
    EXPECT_EQ(count("SELECT COUNT(*) FROM OUR_WEDDING WHERE DATE_CEREMONY IS NULL"), 1) << "nothing saved";
}

TEST_F(WizardTest, TheStartupBoxWritesItsSettingAtOnceAndCancelKeepsIt)
{
    modQVDatabase::gShowWizard = "Yes";
    open([&](frmWizard& f) {
        EXPECT_TRUE(f.Check1->isChecked());
        click(f.Check1);
        EXPECT_EQ(modQVDatabase::gShowWizard, "No");
        EXPECT_EQ(settings::GetSetting("Nuptaro", "Wizard", "ShowWizard"), "No");
        type(f.txtName[6], "Anna");
        click(f.Command2);
        EXPECT_FALSE(f.isLoaded());
    });
    open([&](frmWizard& f) {
        EXPECT_FALSE(f.Check1->isChecked());
        EXPECT_EQ(f.txtName[6]->text(), "");
        click(f.Check1);
        f.window()->close();  // the close box is Cancel too
    });
    EXPECT_EQ(settings::GetSetting("Nuptaro", "Wizard", "ShowWizard"), "Yes");
    EXPECT_EQ(count("SELECT COUNT(*) FROM OUR_WEDDING"), 0);
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(WizardTest, AutoBudgetHandsOverTheAmountAndTheWizardCarriesOn)
{
    const struct {
        const char* typed;
        double amount;
    } cases[] = {{"12500.5", 12500.5}, {"$20,000", 20000}, {"a lot", -1}, {"", 0}};  // -1: refused
    open([&](frmWizard& f) {
        type(f.txtName[6], "Anna");
        clickTab("Budget");
        for (const auto& c : cases) {
            modal.modal->shown.clear();
            frmAutoBudget::instance().budgetAmt = -1;
            type(f.txtBudget, c.typed);
            click(f.Command1);
            EXPECT_EQ(modal.modal->shown.size(), c.amount < 0 ? 0 : 1);
            EXPECT_EQ(frmAutoBudget::instance().budgetAmt, c.amount) << c.typed;
            EXPECT_EQ(messages.msgs->texts().contains(regional::notANumber(c.typed)), c.amount < 0);
        }
        EXPECT_TRUE(f.isLoaded());
        EXPECT_EQ(f.txtName[6]->text(), "Anna");
        EXPECT_EQ(f.frontPage(), f.fraBudget);
    });
    open([&](frmWizard& f) { EXPECT_EQ(f.txtBudget->text(), ""); });
}

TEST_F(WizardTest, ABudgetTypedAndNotHandedOverIsOfferedToAutoBudgetOnSave)
{
    const struct {
        int answer;
        bool saved, handedOver;
    } cases[] = {{ui::vbCancel, false, false}, {ui::vbNo, true, false}, {ui::vbYes, true, true}};
    for (const auto& c : cases) {
        modal.modal->shown.clear();
        messages.msgs->answers = {c.answer};
        open([&](frmWizard& f) {
            clickTab("Budget");
            type(f.txtBudget, "25000");
            click(f.cmdSave);
            EXPECT_EQ(f.isLoaded(), !c.saved) << c.answer;
            f.Unload();
        });
        EXPECT_TRUE(messages.msgs->texts().last().startsWith("The budget amount 25000 is not kept"));
        EXPECT_EQ(modal.modal->shown.contains("frmAutoBudget"), c.handedOver);
        EXPECT_EQ(count("SELECT COUNT(*) FROM OUR_WEDDING"), c.saved ? 1 : 0);
        db().Execute("DELETE FROM OUR_WEDDING");
    }
}

TEST_F(WizardTest, TheBudgetAmountTypedIsSharedOutOverTheStandardItemsToTheCent)
{
    const auto cents = [this](const char* table, const char* column) {
        return db().scalar(QString("SELECT SUM(CAST(ROUND(%1 * 100) AS INTEGER)) FROM %2").arg(column, table)).toLongLong();
    };
    const double medium = db().scalar("SELECT SUM(STDBUDGET_MED) FROM STDBUDGET").toDouble();
    const struct {
        const char* typed;  // in the planning wizard
        const char* total;  // shown by Auto Budget
        qint64 cents;       // of every item, and of the budget saved
    } cases[] = {
        {"30,000", "$30,000.00", 3000000},
        {"$12,345.67", "$12,345.67", 1234567},
        {"0.05", "$0.05", 5},  // fewer cents than items
        {"", "$0.00", 0},      // no amount: nothing proposed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 0");
        db().Execute("DELETE FROM BUDGET");
        open([&](frmWizard& f) {
            clickTab("Budget");
            ASSERT_TRUE(testsupport::showActive(f.window()));
            testsupport::enter(f.txtBudget, testsupport::Into::ClickStart, c.typed);
            modal.modal->once("frmAutoBudget", [&](ui::FormBase&) {
                frmAutoBudget& a = frmAutoBudget::instance();
                EXPECT_EQ(a.lblTotal->text(), c.total);
                click(a.cmdSave);
            });
            click(f.Command1);
            click(f.Command2);
        });
        EXPECT_EQ(cents("STDBUDGET", "STDBUDGET_AMT"), c.cents);
        EXPECT_EQ(cents("BUDGET", "BUDGET_AMT"), c.cents) << "the budget saved adds up to the amount";
        EXPECT_EQ(count("SELECT COUNT(*) FROM STDBUDGET WHERE ABS(STDBUDGET_AMT * 100 - ROUND(STDBUDGET_AMT * 100)) > 1e-6"), 0)
            << "whole cents";
        // Each item within a cent of its share of the medium suggestions.
        EXPECT_EQ(count(QString("SELECT COUNT(*) FROM STDBUDGET WHERE ABS(STDBUDGET_AMT - %1 * STDBUDGET_MED / %2) >= 0.01")
                            .arg(double(c.cents) / 100.0, 0, 'f', 2)
                            .arg(medium, 0, 'f', 4)),
                  0);
    }

    // Amounts chosen before give way to another amount pressed for only when
    // the user says so; their own total asks nothing.
    db().Execute("DELETE FROM BUDGET");
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 0");
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 1500 WHERE STDBUDGET_ID = 1");
    const struct {
        const char* typed;
        int answer;
        qint64 cents;
        const char* asked;
    } again[] = {
        {"30000", ui::vbNo, 150000, "$1,500.00 ... $30,000.00"},
        {"1,500", ui::vbYes, 150000, nullptr},
        {"30000", ui::vbYes, 3000000, "$1,500.00 ... $30,000.00"},
        {"20000", ui::vbYes, 2000000, "$30,000.00 ... $20,000.00"},
    };
    for (const auto& a : again) {
        SCOPED_TRACE(a.typed);
        messages.msgs->shown.clear();
        messages.msgs->answers = {a.answer};
        open([&](frmWizard& f) {
            clickTab("Budget");
            type(f.txtBudget, a.typed);
            click(f.Command1);
        });
        EXPECT_EQ(cents("STDBUDGET", "STDBUDGET_AMT"), a.cents);
        const QStringList sums = QString(a.asked).split(" ... ");
        EXPECT_EQ(messages.msgs->texts(),
                  a.asked ? QStringList{QString("The amounts chosen so far add up to %1. Share out the budget of %2 "
                                                "over the items instead?").arg(sums[0], sums[1])}
                          : QStringList{});
    }
    messages.msgs->answers.clear();

    // The main window's Budget Wizard hands over no amount, whatever an
    // earlier opening was given.
    db().Execute("UPDATE STDBUDGET SET STDBUDGET_AMT = 0");
    m().widget()->findChild<QAction*>("mnuBudgetWizard")->trigger();
    EXPECT_EQ(modal.modal->shown.last(), "frmAutoBudget");
    EXPECT_EQ(cents("STDBUDGET", "STDBUDGET_AMT"), 0);
}

TEST_F(WizardTest, ARefusedWriteLeavesWeddingEventsAndLogAsTheyWere)
{
    open([&](frmWizard& f) {
        type(f.txtName[6], "Anna");
        clickTab("Events");
        click(f.chkPlan[0]);
        click(f.cmdSave);
    });
    const std::string wedding = row("SELECT * FROM OUR_WEDDING");
    const QStringList eventsBefore = events(), logBefore = log();
    db().Execute("CREATE TRIGGER refuse BEFORE INSERT ON EVENT BEGIN SELECT RAISE(ABORT, 'no room left'); END");
    open([&](frmWizard& f) {
        type(f.txtName[6], "Annabel");
        clickTab("Events");
        f.DTPicker1[0]->setDate(QDate(2027, 6, 5));
        click(f.chkPlan[1]);
        messages.msgs->shown.clear();
        click(f.cmdSave);
        ASSERT_EQ(messages.msgs->texts().size(), 1);
        EXPECT_TRUE(messages.msgs->texts()[0].contains("no room left"));
        EXPECT_TRUE(f.isLoaded()) << "the window stays with what was typed";
        EXPECT_EQ(f.txtName[6]->text(), "Annabel");
        EXPECT_TRUE(f.chkPlan[1]->isChecked());
    });
    EXPECT_EQ(row("SELECT * FROM OUR_WEDDING"), wedding);
    EXPECT_EQ(events(), eventsBefore);
    EXPECT_EQ(log(), logBefore);
}

// Two copies that both ran the wizard before exchanging replicas end with
// one wedding row and one event of each standard name.
class WizardCopies : public testsupport::TwoCopiesTest {
protected:
    ui::ScriptedModalGuard modal;
};

TEST_F(WizardCopies, TwoCopiesThatBothRanTheWizardConverge)
{
    for (auto [c, bride] : {std::pair{&A, "Anna"}, std::pair{&B, "Annabel"}}) {
        use(*c);
        frmWizard& f = frmWizard::instance();
        f.Load();
        f.txtName[6]->setText(bride);
        f.chkPlan[0]->setChecked(true);
        f.cmdSave->click();
        EXPECT_FALSE(f.isLoaded());
    }
    merge(B, replicaOf(A, "a.qvd"));
    merge(A, replicaOf(B, "b.qvd"));
    QStringList seen;
    for (Copy* c : {&A, &B}) {
        use(*c);
        EXPECT_EQ(rows("SELECT COUNT(*) FROM OUR_WEDDING"), "1:1\n");
        EXPECT_EQ(rows("SELECT COUNT(*) FROM EVENT WHERE EVENT_NAME = 'Ceremony'"), "1:1\n");
        seen << rows("SELECT BRIDE_FNAME FROM OUR_WEDDING");
    }
    EXPECT_EQ(seen[0], seen[1]) << "both copies settle on one version";
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(WizardTest, ScreenshotsOfEachPage)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    const char* typed[] = {"Lane", "12 Elm Street", "Ruth Lane", "Paul Lane", "Maria Ortiz", "Jorge Ortiz", "Anna",
                           "Apt. 4", "Salem", "OR", "97301", "503-555-0101", "503-555-0102", "anna@example.org",
                           "luis@example.org", "503-555-0202", "503-555-0201", "Luis", "Ortiz", "88 Oak Avenue",
                           "", "Portland", "OR", "97205"};
    open([&](frmWizard& f) {
        for (int i = 0; i < 24; ++i)
            f.txtName[i]->setText(typed[i]);
        for (int i : {0, 1, 3, 6})
            f.chkPlan[i]->setChecked(true);
        f.DTPicker1[0]->setDate(QDate(2027, 6, 5));
        f.DTPicker1[3]->setDate(QDate(2027, 6, 4));
        f.DTPicker1[6]->setDate(QDate(2027, 6, 7));
        f.txtBudget->setText("25000");
        for (const char* tab : {"Bride", "Groom", "Parents", "Events", "Budget"}) {
            clickTab(tab);
            testsupport::snap(f.window(), dir, "wizard_" + QString(tab).toLower());
        }
    });
}

}  // namespace
