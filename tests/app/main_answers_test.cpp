// What the main window does when another window tells it that records
// changed: the list shown afresh in place, or the view the change belongs
// to brought up in the grid panel.

#include "support/mainwindow.h"

#include "app/frmMain.h"
#include "platform/grid/gridex.h"
#include "records/notices.h"

#include <functional>

namespace {

using records::MainList;
using Notice = std::function<void()>;

Notice changed(MainList list)
{
    return [list] { emit records::notices().rowsChanged(list); };
}

class MainAnswers : public testsupport::ShownMainWindowTest<> {};

TEST_F(MainAnswers, EachNoticeShowsWhatChanged)
{
    frmMain& f = m();
    const struct {
        const char* what;
        std::function<void()> shown;  // what the window shows when told
        const char* table;            // a row is written there behind its back
        Notice notice;
        const char* view;             // curDataMode afterwards
        bool sameRecordset;           // shown afresh in place, not opened anew
    } cases[] = {
        {"the budget wizard over the vendors", [&] { f.ShowVendors(); }, "BUDGET",
         [] { emit records::notices().budgetChanged(); }, "Budget", false},
        {"the budget wizard over the budget", [&] { f.ShowBudget(); }, "BUDGET",
         [] { emit records::notices().budgetChanged(); }, "Budget", true},
        {"an event saved", [&] { f.ShowVendors(); }, "EVENT", [] { emit records::notices().eventSaved(); },
         "Events", false},
        {"standard tasks scheduled", [&] { f.ShowEvents(); }, "TASKS",
         [] { emit records::notices().tasksScheduled(); }, "AllTasks", false},
        {"quotes changed", [&] { f.ShowQuotes(); }, "QUOTE", changed(MainList::Quotes), "Quotes", true},
        {"a replica merged", [&] { f.ShowGifts(); }, "GIFT", [] { emit records::notices().replicaMerged(); },
         "Gifts", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        f.ShowPanel(f.frameDataGrid);
        c.shown();
        const ado::RecordsetPtr before = f.GridEX1->recordset();
        db().Execute(QString("INSERT INTO %1 DEFAULT VALUES").arg(c.table));
        c.notice();
        EXPECT_EQ(views::dataModeName(f.curDataMode), c.view);
        EXPECT_EQ(f.curFrameName(), "frameDataGrid");
        ASSERT_TRUE(f.GridEX1->recordset());
        EXPECT_EQ(f.GridEX1->recordset() == before, c.sameRecordset);
        EXPECT_EQ(f.GridEX1->recordset()->RecordCount(), count(QString("SELECT count(*) FROM %1").arg(c.table)));
    }

    // Another list's change is read again but leaves the view shown alone.
    f.ShowTasks(views::TaskFilter::All, ado::convert::now());
    const ado::RecordsetPtr tasks = f.TaskRS;
    f.ShowVendors();
    db().Execute("INSERT INTO TASKS DEFAULT VALUES");
    changed(MainList::Tasks)();
    EXPECT_EQ(tasks->RecordCount(), count("SELECT count(*) FROM TASKS"));
    EXPECT_EQ(f.GridEX1->recordset(), f.VendorRS);
}

TEST_F(MainAnswers, AClosedMainWindowHearsNothing)
{
    frmMain& f = m();
    f.ShowBudget();
    f.Unload();
    ASSERT_FALSE(f.isLoaded());
    for (const Notice& n : {changed(MainList::Budget), Notice([] { emit records::notices().budgetChanged(); }),
                            Notice([] { emit records::notices().replicaMerged(); }),
                            Notice([] { emit records::notices().appointmentsChanged(); })})
        n();
    EXPECT_EQ(f.curDataMode, views::DataMode::Budget);
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

}  // namespace
