#include "app/commands_host.h"
#include <QSet>

using testsupport::CommandsTest;

namespace {

QStringList split(const QString& s) { return s.split(" | "); }

}  // namespace

TEST_F(CommandsTest, ModeKeysShowTheViewFirstThenRebuildGroupsThenArrange)
{
    const QList<QPair<QString, QString>> cases = {
        {"CALENDARMODE", "ShowPanel(frameDate) | ChangeDate | lblMode=Date Calendar | RemoveModeGroups | "
                         "BuildCalendarGroups | ArrangePanels"},
        {"TASKMODE", "ShowPanel(frameDataGrid) | ShowTasks(Due) | RemoveModeGroups | BuildTaskGroup | ArrangePanels"},
        {"EVENTMODE", "ShowPanel(frameDataGrid) | ShowEvents | RemoveModeGroups | BuildEventGroup | ArrangePanels"},
        {"GUESTMODE", "ShowPanel(frameDataGrid) | ShowPeople | RemoveModeGroups | BuildGuestGroup | ArrangePanels"},
        {"RSVPMODE", "FillEventCombo | ShowPanel(frameDataGrid) | ShowRSVP | RemoveModeGroups | BuildRSVPGroup | "
                     "ArrangePanels"},
        {"VENDORMODE",
         "ShowPanel(frameDataGrid) | ShowVendors | RemoveModeGroups | BuildVendorGroup | ArrangePanels"},
        {"BUDGETMODE", "ShowPanel(frameDataGrid) | ShowBudget | RemoveModeGroups | BuildBudgetGroup | ArrangePanels"},
        {"ATTIREMODE", "ShowPanel(frameDataGrid) | ShowAttire | RemoveModeGroups | BuildAttireGroup | ArrangePanels"},
        {"GIFTMODE", "ShowPanel(frameDataGrid) | ShowGifts | RemoveModeGroups | BuildGiftGroup | ArrangePanels"},
    };
    for (const auto& [key, steps] : cases) {
        host.log.clear();
        host.due = "Complete";  // TASKMODE shows the due tasks whatever filter was chosen
        const QDateTime before = ado::convert::now();
        commands::ItemClick(host, key);
        EXPECT_EQ(host.log, split(steps)) << key.toStdString();
        if (key == "TASKMODE" || key == "CALENDARMODE") {
            EXPECT_GE(host.lastDate, before.addSecs(-1)) << "the present moment, not curDate: " << key.toStdString();
        }
    }
}

TEST_F(CommandsTest, KeysWithoutAnActionOnlyArrangeThePanels)
{
    for (const QString key : {"TASKMODEDUE", "TASKMODECOMPLETE", "TASKMODEINCOMPLETE", "TASKMODEALL", "CONTROLMONTH",
                              "CONTROLTASK", "taskmode", "Today", "", "NOSUCHKEY"}) {
        host.log.clear();
        commands::ItemClick(host, key);
        EXPECT_EQ(host.log, QStringList{"ArrangePanels"}) << key.toStdString();
    }
    EXPECT_TRUE(modal.modal->shown.isEmpty());
}

TEST_F(CommandsTest, EveryKeyStandsInOneRowAndNoInertKeyHasOne)
{
    const QStringList keys = commands::actionKeys();
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size());
    for (const QString& k : keys)
        EXPECT_FALSE(commands::isInertKey(k)) << k.toStdString();
}

TEST_F(CommandsTest, ViewKeysOfOtherModesAndPrints)
{
    const QList<QPair<QString, QString>> cases = {
        {"TODAY", "ShowPanel(frameDate) | ChangeDate | lblMode=Date Calendar | ArrangePanels"},
        {"MONTHVIEW", "ShowPanel(frameMonth) | ChangeCalendar | lblMode=Month Calendar | ArrangePanels"},
        {"PRINTTODAY", "PrintDayCalendar | ArrangePanels"},
        {"PRINTMONTH", "PrintMonthCalendar | ArrangePanels"},
        {"ALLTASKS", "ShowPanel(frameDataGrid) | ShowTasks(All) | ArrangePanels"},
        {"INCOMPLETETASKS", "ShowPanel(frameDataGrid) | ShowTasks(Incomplete) | ArrangePanels"},
        {"TASKREPORT", "PrintGridReport | ArrangePanels"},
        {"GUESTADDRESSES", "ShowPanel(frameDataGrid) | ShowAddresses | ArrangePanels"},
        {"RSVPSTATUS", "FillEventCombo | ShowPanel(frameDataGrid) | ShowRSVP | ArrangePanels"},
        {"VENDORREPORT", "ShowPanel(frameDataGrid) | ShowVendors | PrintGridReport | ArrangePanels"},
        {"QUOTEREPORT", "ShowPanel(frameDataGrid) | ShowQuotes | PrintGridReport | ArrangePanels"},
        {"EXPENSES", "ShowPanel(frameDataGrid) | ShowExpenses | ArrangePanels"},
        {"FEMALEMEASUREMENTS", "ShowPanel(frameDataGrid) | ShowMeasurementsFemale | ArrangePanels"},
        {"MEASUREMENTREPORT", "PrintGridReport | ArrangePanels"},
        {"REGISTRYREPORT", "ShowPanel(frameDataGrid) | ShowRegistry | PrintGridReport | ArrangePanels"},
    };
    for (const auto& [key, steps] : cases) {
        host.log.clear();
        commands::ItemClick(host, key);
        EXPECT_EQ(host.log, split(steps)) << key.toStdString();
    }
}

TEST_F(CommandsTest, OpeningsWriteTheVariablesThenShowModalOrModeless)
{
    // Values an earlier opener left behind.
    frmEventTasks::instance().curMode = frmEventTasks::Mode::Edit;
    frmEventTasks::instance().curTaskID = 7;
    frmEventInfo::instance().curEvent = 12;
    frmVendor::instance().curMode = frmVendor::Mode::Edit;
    frmEventTasks::Mode modeAtShow = frmEventTasks::Mode::Edit;
    modal.modal->on("frmEventTasks", [&](ui::FormBase&) {
        modeAtShow = frmEventTasks::instance().curMode;
        host.log << "modal:frmEventTasks";
    });

    const QList<QPair<QString, QString>> cases = {
        {"ADDAPPOINTMENT", "modal:frmAddAppt | ArrangePanels"},
        {"AUTOADDTASKS", "modal:frmWizAddTask | ArrangePanels"},
        {"ADDTASK", "modal:frmEventTasks | ArrangePanels"},
        {"IMPORTGUESTS", "modal:frmImportData | ArrangePanels"},
        {"EXPORTGUESTS", "modal:frmExportData | ArrangePanels"},
        {"INVITATIONS", "modal:frmInvite | ArrangePanels"},
        {"SEATING", "modal:frmSeating | ArrangePanels"},
        {"LABELS", "modal:frmLabels | ArrangePanels"},
        {"PLACARDS", "modal:frmPlacard | ArrangePanels"},
        {"ADDVENDOR", "ShowPanel(frameDataGrid) | ShowVendors | modal:frmVendor | ArrangePanels"},
        {"ADDQUOTE", "ShowPanel(frameDataGrid) | ShowQuotes | modal:frmQuote | ArrangePanels"},
        {"AUTOADDBUDGET", "ShowPanel(frameDataGrid) | ShowBudget | modal:frmAutoBudget | ArrangePanels"},
        {"ADDBUDGET", "ShowPanel(frameDataGrid) | ShowBudget | modal:frmAddBudget | ArrangePanels"},
        {"ADDEXPENSE", "ShowPanel(frameDataGrid) | ShowExpenses | modal:frmAddExpense | ArrangePanels"},
        {"ADDATTIRE", "modal:frmAttire | ArrangePanels"},
        {"ADDFEMALEMEASUREMENT", "modal:frmMeasureFemale | ArrangePanels"},
        {"ADDMALEMEASUREMENT", "modal:frmMeasureMale | ArrangePanels"},
        {"ADDEVENT", "ArrangePanels"},
        {"ADDGUEST", "ArrangePanels"},
        {"ADDGIFT", "ShowPanel(frameDataGrid) | ShowGifts | ArrangePanels"},
        {"ADDREGISTRY", "ShowPanel(frameDataGrid) | ShowRegistry | ArrangePanels"},
    };
    for (const auto& [key, steps] : cases) {
        host.log.clear();
        commands::ItemClick(host, key);
        EXPECT_EQ(host.log, split(steps)) << key.toStdString();
    }

    EXPECT_EQ(frmAddAppt::instance().curApptDate, host.date) << "the day shown, not today";
    EXPECT_EQ(modeAtShow, frmEventTasks::Mode::Add) << "Add Task never reopens an earlier task";
    EXPECT_EQ(frmVendor::instance().curMode, frmVendor::Mode::Add);
    EXPECT_EQ(frmQuote::instance().curMode, frmQuote::Mode::Add);
    EXPECT_EQ(frmAddBudget::instance().curMode, frmAddBudget::Mode::Add);
    EXPECT_EQ(frmAddExpense::instance().curMode, frmAddExpense::Mode::Add);
    EXPECT_EQ(frmAttire::instance().curMode, frmAttire::Mode::Add);
    EXPECT_EQ(frmMeasureFemale::instance().curMode, frmMeasureFemale::Mode::Add);
    EXPECT_EQ(frmMeasureMale::instance().curMode, frmMeasureMale::Mode::Add);
    // The modeless editors stay open beside the main window.
    EXPECT_TRUE(frmEventInfo::instance().isLoaded());
    EXPECT_EQ(frmEventInfo::instance().curEvent, count("SELECT MAX(EVENT_ID) FROM EVENT")) << "a new event, not 12";
    EXPECT_TRUE(frmGuestDetail::instance().isLoaded());
    EXPECT_EQ(frmGuestDetail::instance().curMode, frmGuestDetail::Mode::New);
    EXPECT_TRUE(frmGift::instance().isLoaded());
    EXPECT_EQ(frmGift::instance().giftMode, frmGift::Mode::Add);
    EXPECT_TRUE(frmRegistry::instance().isLoaded());
    EXPECT_EQ(frmRegistry::instance().registryMode, frmRegistry::Mode::Add);
    EXPECT_EQ(frmGift::instance().widget()->windowTitle(), "Gift(s) Received");
}

TEST_F(CommandsTest, ModifyKeysOfVendorsBudgetAndGiftsShowTheirViewAfterTheRowCommand)
{
    records(5);
    host.show("Quotes", {{true, {5, "Florist"}}});
    commands::ItemClick(host, "MODIFYVENDOR");
    EXPECT_EQ(messages.msgs->texts(), QStringList{"Please select the Vendor to modify first."});
    EXPECT_EQ(host.log, split("ShowPanel(frameDataGrid) | ShowVendors | ArrangePanels"));

    host.dataMode = "Vendors";
    host.log.clear();
    commands::ItemClick(host, "MODIFYVENDOR");
    EXPECT_EQ(host.log, split("modal:frmVendor | ShowPanel(frameDataGrid) | ShowVendors | ArrangePanels"));
    EXPECT_EQ(frmVendor::instance().curMode, frmVendor::Mode::Edit);
    EXPECT_EQ(frmVendor::instance().vendorID, 5);

    host.dataMode = "Quotes";
    host.log.clear();
    commands::ItemClick(host, "MODIFYQUOTE");
    EXPECT_EQ(host.log, split("modal:frmQuote | ShowPanel(frameDataGrid) | ShowQuotes | ArrangePanels"));
    EXPECT_EQ(frmQuote::instance().curQuote, 5);

    // A delete key acts on the view shown and leaves it.
    host.dataMode = "Gifts";
    host.log.clear();
    commands::ItemClick(host, "DELETEGIFT");
    EXPECT_EQ(host.log, split("delete(Gift,5,Florist,modal) | ArrangePanels"));
}

TEST_F(CommandsTest, ReopeningAnOpenModelessEditorKeepsItsRecord)
{
    records(3);
    host.show("Gifts", {{true, {3, "Vase"}}, {true, {4, "Toaster"}}});
    commands::ItemClick(host, "MODIFYGIFT");
    ASSERT_TRUE(frmGift::instance().isLoaded());
    host.current = 2;
    commands::ItemClick(host, "MODIFYGIFT");
    EXPECT_EQ(frmGift::instance().giftID, 3);
    EXPECT_EQ(frmGift::instance().giftMode, frmGift::Mode::Edit);
}
