// What the editors share: a save that is whole or nothing, the lookup lists
// and the date pickers.

#include "support/fixture.h"

#include "platform/ui/boxes.h"
#include "records/editing.h"
#include "records/modSynchro.h"

#include <QComboBox>

using testsupport::DbTest;

namespace {

class Editing : public DbTest {};

TEST_F(Editing, ARefusedStepUndoesTheWholeSaveAndSaysWhy)
{
    const qlonglong logBefore = count("SELECT count(*) FROM SYNCHRO");
    const bool saved = editing::saveAll([&] {
        db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES (?)", {QString("Book the hall")});
        modSynchro::LogChange("TASKS", 1, 1);
        db().Execute("INSERT INTO NO_SUCH_TABLE VALUES (1)");
    });
    EXPECT_FALSE(saved);
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), logBefore);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The changes could not be saved."));
    EXPECT_EQ(db().transactionDepth(), 0);

    EXPECT_TRUE(editing::saveAll([&] { db().Execute("INSERT INTO TASKS (TASK_NAME) VALUES ('Cake')"); }));
    EXPECT_EQ(count("SELECT count(*) FROM TASKS"), 1);
    const qint64 key = db().scalar("SELECT TASK_ID FROM TASKS").toLongLong();
    EXPECT_TRUE(editing::recordExists("TASKS", key));
    EXPECT_FALSE(editing::recordExists("TASKS", key + 1));
    EXPECT_FALSE(editing::recordExists("NOT_A_TABLE", key));
}

TEST_F(Editing, ListsKeepTheShownTextOnlyWhenAsked)
{
    QComboBox box;
    box.setEditable(true);
    editing::fillList(&box, {"High", "Low"}, false, {"No Priority"});
    EXPECT_EQ(box.currentText(), "No Priority");
    box.setEditText("Urgent");  // typed, not in the list
    editing::fillList(&box, {"High", "Low", "Medium"}, true, {"No Priority"});
    EXPECT_EQ(box.count(), 4);
    EXPECT_EQ(box.currentText(), "Urgent");
    box.setCurrentIndex(2);
    editing::fillList(&box, {"High", "Low"}, true, {"No Priority"});
    EXPECT_EQ(box.currentText(), "Low");
    editing::fillList(&box, {"High", "Low"}, false, {"No Priority"});
    EXPECT_EQ(box.currentText(), "No Priority");

    db().Execute("INSERT INTO PRIORITY (PRIORITY_TEXT) VALUES (NULL)");
    const QStringList texts = editing::columnTexts("SELECT PRIORITY_TEXT FROM PRIORITY ORDER BY PRIORITY_TEXT");
    EXPECT_TRUE(texts.contains(QString()));
    EXPECT_EQ(editing::fieldTexts("SELECT * FROM PRIORITY ORDER BY PRIORITY_TEXT", "priority_text"),
              texts.mid(1)) << "rows without a text are left out";
}

TEST_F(Editing, PickersSplitAndJoinTheStoredMoment)
{
    ui::DateBox date;
    ui::TimeBox time;
    EXPECT_TRUE(editing::toPickers(QString("2027-06-12 14:30:00"), &date, &time));
    EXPECT_EQ(date.date(), QDate(2027, 6, 12));
    EXPECT_EQ(time.time(), QTime(14, 30));
    EXPECT_EQ(editing::fromPickers(&date, &time), "2027-06-12 14:30:00");
    EXPECT_FALSE(editing::toPickers(QVariant(), &date, &time));
    EXPECT_FALSE(editing::toPickers(QString("next week"), &date, &time));
    EXPECT_EQ(date.date(), QDate(2027, 6, 12));
    EXPECT_EQ(editing::fromPickers(QDate(2027, 1, 2), QTime(9, 5, 59, 500)), "2027-01-02 09:05:59");

    // A date picker alone keeps the stored time of day; one that may be
    // empty shows NULL as no date, and stores it back as NULL.
    ui::DateBox due;
    due.setEmptyAllowed(true);
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_DUEDATE) VALUES (5, '2027-06-12 09:15:30')");
    ado::Recordset rs;
    rs.Open("SELECT * FROM EXPENSES", db());
    EXPECT_TRUE(editing::toPickers(rs.value("EXPENSE_DUEDATE"), &due, nullptr));
    due.setDate(QDate(2027, 7, 1));
    editing::storeDate(rs, "EXPENSE_DUEDATE", &due);
    EXPECT_EQ(editing::storedText(rs.value("EXPENSE_DUEDATE")), "2027-07-01 09:15:30");
    EXPECT_TRUE(editing::toPickers(QVariant(), &due, nullptr));
    EXPECT_EQ(due.text(), "");
    editing::storeDate(rs, "EXPENSE_DUEDATE", &due);
    EXPECT_TRUE(rs.value("EXPENSE_DUEDATE").isNull());
}

}  // namespace

namespace {

TEST_F(Editing, ATypedTextGoesIntoItsColumnOnlyWhenItConverts)
{
    db().Execute("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_AMTPAID, EXPENSE_DUEDATE) "
                 "VALUES (5, 'Cake', 40, '2027-06-12 00:00:00')");
    enum Outcome { Assigned, Left, Refused };
    const struct {
        const char* column;
        const char* typed;
        Outcome outcome;
        const char* stored;
    } cases[] = {
        {"EXPENSE_TEXT", "", Assigned, ""},          {"EXPENSE_TEXT", " 12 ", Assigned, " 12 "},
        {"EXPENSE_AMTPAID", "1,250.5", Assigned, "1250.5"}, {"EXPENSE_AMTPAID", "abc", Refused, "40"},
        {"EXPENSE_AMTPAID", "1,5", Refused, "40"},   {"EXPENSE_AMTPAID", "", Left, "40"},
        {"EXPENSE_AMTPAID", "  ", Left, "40"},
        {"EXPENSE_DUEDATE", "7/4/2027", Assigned, "2027-07-04 00:00:00"},
        {"EXPENSE_DUEDATE", "", Left, "2027-06-12 00:00:00"},
        {"EXPENSE_DUEDATE", "31/12/2027", Refused, "2027-06-12 00:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " <" + c.typed + ">");
        ado::Recordset rs;
        rs.Open("SELECT * FROM EXPENSES WHERE EXPENSE_ID = 5", db());
        if (c.outcome == Refused) {
            // The save is refused with why, never stored empty or left silently.
            try {
                editing::assignText(rs, c.column, c.typed);
                ADD_FAILURE() << "not refused";
            } catch (const ado::Error& e) {
                EXPECT_TRUE(e.description().startsWith(QString("\"%1\" is not a").arg(c.typed)))
                    << e.description().toStdString();
            }
        } else {
            EXPECT_EQ(editing::assignText(rs, c.column, c.typed), c.outcome == Assigned);
        }
        rs.Update();
        EXPECT_EQ(editing::storedText(db().scalar(QString("SELECT %1 FROM EXPENSES").arg(c.column))), c.stored);
        db().Execute("UPDATE EXPENSES SET EXPENSE_TEXT = 'Cake', EXPENSE_AMTPAID = 40, "
                     "EXPENSE_DUEDATE = '2027-06-12 00:00:00'");
    }
    ado::Recordset rs;
    rs.Open("SELECT * FROM EXPENSES", db());
    EXPECT_THROW(editing::assignText(rs, "NO_SUCH_COLUMN", "x"), ado::Error);
}

}  // namespace
