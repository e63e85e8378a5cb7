#include "app/commands_host.h"

using testsupport::CommandsTest;
using testsupport::GridRow;

namespace {

// A view of that key with one record row (key 9) current, or a group
// header over it.
void oneRow(testsupport::RecordingHost& h, const QString& view, bool header = false)
{
    QList<GridRow> rows;
    if (header)
        rows << GridRow{false, {QVariant(), QVariant(), "Smith Party"}};
    rows << GridRow{true, {9, "Name", "Third", "Fourth", "Fifth", "Sixth"}};
    h.show(view, rows);
}

}  // namespace

TEST_F(CommandsTest, GetSelectedIdReadsRecordRowsAndTheFirstRowUnderAHeader)
{
    host.rows = {{false, {QVariant(), QVariant(), "Smith"}}, {true, {41, 7}}, {true, {42, 8}}};
    struct Case {
        int current;
        qlonglong id;
        QString kind;
    };
    for (const Case& c : {Case{0, 0, "Row"}, Case{1, 41, "Group"}, Case{2, 41, "Row"}, Case{3, 42, "Row"}}) {
        host.current = c.current;
        EXPECT_EQ(commands::GetSelectedID(host), c.id) << c.current;
        EXPECT_EQ(host.rowKind, c.kind) << c.current;
    }
    // A header with nothing under it, and a key that is not a number.
    host.rows = {{false, {}}};
    host.current = 1;
    EXPECT_EQ(commands::GetSelectedID(host), 0);
    host.rows = {{true, {"x"}}};
    EXPECT_EQ(commands::GetSelectedID(host), 0);
}

TEST_F(CommandsTest, RowCommandsAnswerAWrongViewOrAHeaderWithTheirMessage)
{
    struct Case {
        const char* command;
        const char* rightView;
        bool needsRow;  // a group header gives the message too
        const char* message;
    };
    const Case cases[] = {
        {"ModifyEvent", "Events", true, "Please select the Event to modify first."},
        {"DeleteEvent", "Events", true, "Please select the Event to delete first."},
        {"ModifyGuest", "Guests", false, "Please select the Guest to modify first."},
        {"DeleteGuest", "Guests", false, "Please select the Guest to delete first."},
        {"DeleteTask", "AllTasks", true, "Please select Task to delete first."},
        {"ModifyVendor", "Vendors", true, "Please select the Vendor to modify first."},
        {"DeleteVendor", "Vendors", true, "Please select the Vendor to delete first."},
        {"ModifyQuote", "Quotes", true, "Please select the Quote item to modify first."},
        {"DeleteQuote", "Quotes", true, "Please select Quote to delete first."},
        {"ModifyBudget", "Budget", true, "Please select the Budget item to modify first."},
        {"DeleteBudget", "Budget", true, "Please select the Budget item to delete first."},
        {"TurnBudgetIntoExpense", "Budget", true, "Please select the Budget item to turn into an Expense first."},
        {"ModifyExpense", "Expenses", true, "Please select the Expense item to modify first."},
        {"DeleteExpense", "Expenses", true, "Please select the Expense item to delete first."},
        {"ModifyAttire", "Attire", true, "Please select the Attire item to modify first."},
        {"DeleteAttire", "Attire", true, "Please select the Attire to delete first."},
        {"ModifyGift", "Gifts", true, "Please select the Gift to modify first."},
        {"DeleteGift", "Gifts", true, "Please select the Gift to delete first."},
        {"ModifyRegistry", "Registry", true, "Please select the Registry gift to modify first."},
        {"DeleteRegistry", "Registry", true, "Please select the Registry Gift to delete first."},
        {"ModifyMeasurement", "MaleMeasurement", true, "Please select the Measurement to modify first."},
        {"DeleteMeasurement", "FemaleMeasurement", true, "Please select Measurement to delete first."},
    };
    EXPECT_EQ(commands::rowCommandNames().size(), int(std::size(cases)));
    records(9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        // Another view, and the calendars.
        const QString view = QString(c.rightView) == "Registry" ? "Gifts" : "Registry";
        for (const QString& other : {QString("Month"), QString("Today"), view}) {
            messages.msgs->shown.clear();
            oneRow(host, other);
            ASSERT_TRUE(commands::RunRowCommand(host, c.command));
            EXPECT_EQ(messages.msgs->texts(), QStringList{c.message}) << other.toStdString();
        }
        // A group header row in the right view.
        messages.msgs->shown.clear();
        oneRow(host, c.rightView, true);
        commands::RunRowCommand(host, c.command);
        EXPECT_EQ(messages.msgs->texts(), c.needsRow ? QStringList{c.message} : QStringList{});
        // An empty grid in the right view: nothing, but the measurement editor speaks.
        messages.msgs->shown.clear();
        host.rows.clear();
        host.current = 0;
        host.log.clear();
        commands::RunRowCommand(host, c.command);
        const bool speaks = QString(c.command) == "ModifyMeasurement";
        EXPECT_EQ(messages.msgs->texts(), speaks ? QStringList{c.message} : QStringList{});
        EXPECT_FALSE(host.log.join(" ").contains("delete(")) << host.log.join(" | ").toStdString();
    }
    EXPECT_FALSE(commands::RunRowCommand(host, "modifyevent"));
}

TEST_F(CommandsTest, DeleteTaskServesTheFourTaskViewsModeless)
{
    for (const QString view : {"DueTasks", "AllTasks", "CompleteTasks", "IncompleteTasks"}) {
        oneRow(host, view);
        commands::RunRowCommand(host, "DeleteTask");
        EXPECT_EQ(host.log, QStringList{"delete(Task,9,Third,modeless)"}) << view.toStdString();
    }
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(CommandsTest, DeleteCommandsPassKindKeyAndText)
{
    struct Case {
        const char* command;
        const char* view;
        const char* expected;
    };
    const Case cases[] = {
        {"DeleteEvent", "Events", "delete(Event,9,Name,modal) | FillEventCombo"},
        {"DeleteVendor", "Vendors", "delete(Vendor,9,Name,modal)"},
        {"DeleteQuote", "Quotes", "delete(Quote,9,Name,modal)"},
        {"DeleteBudget", "Budget", "delete(Budget,9,Name,modal)"},
        {"DeleteExpense", "Expenses", "delete(Expense,9,Name,modal)"},
        {"DeleteAttire", "Attire", "delete(Attire,9,Third for Name,modal)"},
        {"DeleteGift", "Gifts", "delete(Gift,9,Name,modal)"},
        {"DeleteRegistry", "Registry", "delete(Registry,9,Name,modal)"},
        {"DeleteMeasurement", "FemaleMeasurement", "delete(FemaleMeasurement,9,Name,modal)"},
        {"DeleteMeasurement", "MaleMeasurement", "delete(MaleMeasurement,9,Name,modal)"},
    };
    for (const Case& c : cases) {
        oneRow(host, c.view);
        commands::RunRowCommand(host, c.command);
        EXPECT_EQ(host.log.join(" | "), c.expected) << c.command << " " << c.view;
    }

    // The event chooser is refilled also after the message.
    oneRow(host, "Vendors");
    commands::RunRowCommand(host, "DeleteEvent");
    EXPECT_EQ(host.log, QStringList{"FillEventCombo"});
}

TEST_F(CommandsTest, DeleteGuestByRowKind)
{
    // Guests view: a party header over two people.
    host.show("Guests", {{false, {QVariant(), QVariant(), "Jones Family"}},
                         {true, {31, 301, "Jones Family", "Anna", "Jones"}},
                         {true, {31, 302, "Jones Family", "Ben", "Jones"}}});
    commands::RunRowCommand(host, "DeleteGuest");
    EXPECT_EQ(host.log, (QStringList{"expandGroupRow", "delete(Guests,31,Jones Family,modal)"}));

    host.current = 3;
    host.log.clear();
    commands::RunRowCommand(host, "DeleteGuest");
    EXPECT_EQ(host.log, QStringList{"delete(SubguestFromMain,302,Ben Jones,modal)"});

    // Address cards: one party per card.
    host.show("Addresses", {{true, {31, "Jones Family", "12 Elm St"}}});
    commands::RunRowCommand(host, "DeleteGuest");
    EXPECT_EQ(host.log, QStringList{"delete(Guests,31,Jones Family,modal)"});
    commands::RunRowCommand(host, "ModifyGuest");
    EXPECT_EQ(messages.msgs->texts(), QStringList{"Please select the Guest to modify first."});
}

TEST_F(CommandsTest, ModifyCommandsWriteTheEditorsVariables)
{
    records(9);
    oneRow(host, "Guests", true);
    commands::RunRowCommand(host, "ModifyGuest");
    EXPECT_EQ(frmGuestDetail::instance().curMode, frmGuestDetail::Mode::Edit);
    EXPECT_EQ(frmGuestDetail::instance().curRec, 9) << "the party of the first person under the header";
    EXPECT_TRUE(frmGuestDetail::instance().isLoaded());

    struct Case {
        const char* command;
        const char* view;
        std::function<bool()> written;
        const char* modalName;  // nullptr: modeless
    };
    const Case cases[] = {
        {"ModifyEvent", "Events",
         [] { return frmEventInfo::instance().curMode == frmEventInfo::Mode::Edit && frmEventInfo::instance().curEvent == 9; }, nullptr},
        {"ModifyVendor", "Vendors",
         [] { return frmVendor::instance().curMode == frmVendor::Mode::Edit && frmVendor::instance().vendorID == 9; }, "frmVendor"},
        {"ModifyQuote", "Quotes",
         [] { return frmQuote::instance().curMode == frmQuote::Mode::Edit && frmQuote::instance().curQuote == 9; }, "frmQuote"},
        {"ModifyBudget", "Budget",
         [] { return frmAddBudget::instance().curMode == frmAddBudget::Mode::Edit && frmAddBudget::instance().curBudgetID == 9; },
         "frmAddBudget"},
        {"ModifyExpense", "Expenses",
         [] { return frmAddExpense::instance().curMode == frmAddExpense::Mode::Edit && frmAddExpense::instance().curBudgetID == 9; },
         "frmAddExpense"},
        {"ModifyAttire", "Attire",
         [] { return frmAttire::instance().curMode == frmAttire::Mode::Edit && frmAttire::instance().curAttireID == 9; },
         "frmAttire"},
        {"ModifyGift", "Gifts",
         [] { return frmGift::instance().giftMode == frmGift::Mode::Edit && frmGift::instance().giftID == 9; }, nullptr},
        {"ModifyRegistry", "Registry",
         [] { return frmRegistry::instance().registryMode == frmRegistry::Mode::Edit && frmRegistry::instance().registryID == 9; },
         nullptr},
        {"ModifyMeasurement", "FemaleMeasurement",
         [] { return frmMeasureFemale::instance().curMode == frmMeasureFemale::Mode::Edit && frmMeasureFemale::instance().curRec == 9; },
         nullptr},
        {"ModifyMeasurement", "MaleMeasurement",
         [] { return frmMeasureMale::instance().curMode == frmMeasureMale::Mode::Edit && frmMeasureMale::instance().curRec == 9; },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.view);
        oneRow(host, c.view);
        bool writtenAtShow = false;
        if (c.modalName)
            modal.modal->once(c.modalName, [&](ui::FormBase&) { writtenAtShow = c.written(); });
        commands::RunRowCommand(host, c.command);
        EXPECT_TRUE(c.written());
        if (c.modalName) {
            EXPECT_TRUE(writtenAtShow);
        }
        EXPECT_EQ(modal.modal->shown.contains(c.modalName ? c.modalName : "-"), c.modalName != nullptr);
    }
    EXPECT_TRUE(frmEventInfo::instance().isLoaded());
    EXPECT_TRUE(frmMeasureMale::instance().isLoaded());
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}

TEST_F(CommandsTest, TurnBudgetIntoExpenseWritesEmptyTextForAnEmptyCell)
{
    auto& f = frmAddExpense::instance();
    f.curBudgetID = 77;
    f.exExpenseWhoPays = "Bride's parents";  // left by an earlier item
    host.show("Budget", {{true, {4, "Flowers", "Decor", "Reception", 450.5, QVariant()}}});
    commands::RunRowCommand(host, "TurnBudgetIntoExpense");
    EXPECT_EQ(f.curMode, frmAddExpense::Mode::Budget);
    EXPECT_EQ(f.exExpenseText, "Flowers");
    EXPECT_EQ(f.exExpenseEvent, "Reception");
    EXPECT_EQ(f.exExpenseAmtDue, "450.5");
    EXPECT_EQ(f.exExpenseWhoPays, "");
    EXPECT_EQ(f.curBudgetID, 77) << "the expense key stays as it was";
    EXPECT_EQ(modal.modal->shown, QStringList{"frmAddExpense"});
}
