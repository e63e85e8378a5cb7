#pragma once
// A main window stand-in for the command tests: records every procedure the
// commands call, in order, and holds a grid of rows to select from.

#include "app/commands.h"
#include "app/editors.h"
#include "platform/ui/forms.h"
#include "support/datamode.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QVariantList>

namespace testsupport {

struct GridRow {
    bool record = true;
    QVariantList cells;  // column 1 first
};

// The main window as the commands see it: the owner of what they show.
class MainStandIn : public ui::Form<MainStandIn, QWidget> {
public:
    MainStandIn() : Form("MainStandIn") {}
};

class RecordingHost : public commands::Host {
public:
    QStringList log;
    QDateTime date = ado::convert::wallClock(QDate(2004, 6, 12), QTime(9, 30));
    QString due = "Due";
    QString mainMode, dataMode, rowKind;
    QList<GridRow> rows;
    int current = 0;
    QList<QPair<QString, QString>> valueList;  // (value, text) of the Food column
    QDateTime lastDate;

    // A view of these rows with one of them current; the log starts afresh.
    void show(const QString& view, QList<GridRow> r, int row = 1)
    {
        dataMode = view;
        rows = std::move(r);
        current = row;
        log.clear();
    }

    void ShowPanel(const QString& f) override { log << "ShowPanel(" + f + ")"; }
    void ArrangePanels() override { log << "ArrangePanels"; }
    void setModeCaption(const QString& c) override { log << "lblMode=" + c; }
    QDateTime curDate() const override { return date; }
    views::TaskFilter dueMode() const override { return taskFilterNamed(due); }
    views::MainMode curMainMode() const override { return mainModeNamed(mainMode); }
    views::DataMode curDataMode() const override { return dataModeNamed(dataMode); }
    QString SelectedRowKind() const override { return rowKind; }
    void setSelectedRowKind(const QString& k) override { rowKind = k; }
    ui::FormBase* owner() override { return &MainStandIn::instance(); }
    void call(commands::Proc p) override { log << commands::procName(p); }
    void ShowTasks(views::TaskFilter w, const QDateTime& d) override
    {
        lastDate = d;
        log << "ShowTasks(" + taskFilterName(w) + ")";
    }
    void ChangeDate(const QDateTime& d) override
    {
        lastDate = d;
        log << "ChangeDate";
    }
    void ChangeCalendar(const QDateTime& d) override
    {
        lastDate = d;
        log << "ChangeCalendar";
    }
    int currentRow() const override { return current; }
    bool isRecordRow(int r) const override { return r >= 1 && r <= rows.size() && rows[r - 1].record; }
    void expandGroupRow() override { log << "expandGroupRow"; }
    QVariant value(int r, int c) const override
    {
        if (r < 1 || r > rows.size() || c < 1 || c > rows[r - 1].cells.size())
            return QVariant();
        return rows[r - 1].cells[c - 1];
    }
    void clearColumnValueList(int column) override
    {
        log << QString("clearValueList(%1)").arg(column);
        valueList.clear();
    }
    void addColumnValueListItem(int, const QVariant& v, const QString& t) override { valueList << qMakePair(v.toString(), t); }
    void setCurrentRow(int r) override
    {
        log << QString("setCurrentRow(%1)").arg(r);
        current = r;
    }
    void popupMenu(const QString& m) override { log << "popup(" + m + ")"; }
    void showDelete(records::DeleteKind mode, qlonglong id, const QString& text, int showMode) override
    {
        log << QString("delete(%1,%2,%3,%4)").arg(records::deleteKindName(mode)).arg(id).arg(text, showMode == ui::vbModal ? "modal" : "modeless");
    }
    void showLookupList(records::Lookup list, const ui::FormBase* from, bool fromFirst) override
    {
        const QString caller = !from ? "-" : from == owner() ? "Main" : from->name();
        log << QString("lookup(%1,%2%3)").arg(records::lookupList(list).name, caller, fromFirst ? ",fromFirst" : "");
    }
    void showSynchronize() override { log << "frmSynchronize"; }
    void showTip() override { log << "frmTip"; }
    void showWizard() override { log << "frmWizard"; }
    void showAbout() override { log << "frmAbout"; }
    void showHelpContents() override { log << "help"; }
    void showWebHelp() override { log << "webhelp"; }
    void exitProgram() override { log << "exit"; }
};

// The editors' and utility windows' names, for logging their modal shows.
inline QStringList editorWindowNames()
{
    return {"frmAddAppt",   "frmEventInfo",  "frmEventTasks", "frmWizAddTask",    "frmGuestDetail", "frmImportData",
            "frmExportData", "frmInvite",     "frmSeating",    "frmLabels",        "frmPlacard",     "frmVendor",
            "frmQuote",      "frmAddBudget",  "frmAddExpense", "frmAutoBudget",    "frmAttire",      "frmMeasureFemale",
            "frmMeasureMale", "frmGift",      "frmRegistry"};
}

// Modal shows go into the host's log as "modal:<name>"; modeless windows
// are unloaded after each test. The editors that are built read and write a
// fresh database.
class CommandsTest : public DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        for (const QString& n : editorWindowNames())
            modal.modal->on(n, [this, n](ui::FormBase&) { host.log << "modal:" + n; });
    }
    void TearDown() override
    {
        ui::FormBase::unloadAll();
        DbTest::TearDown();
    }
    bool open(ui::FormBase& f) const { return f.isLoaded(); }
    // A record of each kind under that key, for the modify commands to open.
    void records(qlonglong id)
    {
        for (const char* t : {"EVENT", "GUEST", "VENDOR", "QUOTE", "BUDGET", "EXPENSES", "ATTIRE", "GIFT", "REGISTRY",
                              "MEASURE_FEMALE", "MEASURE_MALE"})
            db().Execute(QString("INSERT INTO %1 (%2) VALUES (?)").arg(t, db().keyColumn(t)), {id});
    }

    ui::ScriptedModalGuard modal;
    RecordingHost host;
};

}  // namespace testsupport
