// The event's four ordered lists, one design over a table of differences:
// ordering, moving, deleting and printing rows, and the time picker.

#include "events/event_support.h"

#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/dialogs.h"
#include "views/frmPreview.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QToolButton>

#include <map>

using testsupport::EventEditorTest;

namespace {

class EventListsTest : public EventEditorTest {
protected:
    // "text:order" of the event's rows, in order.
    QString rows(const events::EventList& l, qint64 id)
    {
        QStringList out;
        ado::Recordset rs;
        rs.Open(events::listQuery(l), db(), ado::adOpenForwardOnly, ado::adLockReadOnly, {id});
        for (; !rs.EOF_(); rs.MoveNext())
            out << rs.value(2).toString() + ':' + rs.value(1).toString();
        return out.join(' ');
    }
    qint64 keyOf(const events::EventList& l, const QString& text)
    {
        return db()
            .scalar(QString("SELECT %1 FROM %2 WHERE %3 = ?").arg(l.keyColumn, l.table, db().columnNames(l.table)[3]),
                    {text})
            .toLongLong();
    }
    QString lastMessage() { return messages.msgs->shown.isEmpty() ? QString() : messages.msgs->shown.last().text; }
};

}  // namespace

TEST_F(EventListsTest, EachListOrdersMovesDeletesAndLogsItsRows)
{
    const qint64 id = event("Reception");
    frmEventInfo& e = edit(id);
    for (const events::EventList& l : events::eventLists()) {
        SCOPED_TRACE(l.tab);
        messages.msgs->shown.clear();
        e.rowToSelect = 0;
        clickTab(l.tab);
        frmEventInfo::ListPage& p = e.lists[l.id];
        ASSERT_EQ(e.frontPage(), p.frame);
        grid::GridEX* g = p.grid;
        EXPECT_TRUE(g->isColumnHidden(1));
        EXPECT_TRUE(l.orderWidthZero ? g->columnWidth(2) == 0 : g->isColumnHidden(2));

        // An empty list.
        click(p.cmdUp);
        click(p.cmdDown);
        click(p.cmdDelete);
        EXPECT_EQ(messages.msgs->texts(), QStringList({events::kEnterInTopRow, events::kEnterInTopRow, l.noSelection}));
        EXPECT_EQ(messages.msgs->shown[0].style, ui::vbOKOnly);
        EXPECT_EQ(messages.msgs->shown[0].title, ui::appTitle()) << "no title of its own";

        // Typed rows take orders 1 and 2 without a reload; a row from elsewhere takes 9.
        typeRow(g, "A");
        typeRow(g, "B");
        EXPECT_EQ(rows(l, id), "A:1 B:2");
        EXPECT_EQ(logRows(l.table, keyOf(l, "A"), 1), 1);
        EXPECT_EQ(logRows(l.table, keyOf(l, "B"), 1), 1);
        db().Execute(QString("INSERT INTO %1 (EVENT_ID, %2, %3) VALUES (?, 9, 'C')")
                         .arg(l.table, l.orderColumn, db().columnNames(l.table)[3]),
                     {id});
        clickTab(l.tab);  // the chosen tab again reads the list again
        ASSERT_EQ(g->rowCount(), 3);
        EXPECT_EQ(e.maxOrder(l.id), 9);
        QHeaderView* header = g->tableView()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 4));
        EXPECT_EQ(g->text(1, 3), "A") << "a header click does not sort";

        struct Move {
            int line;
            QPushButton* button;
            const char* message;   // nullptr: the move is made
            const char* after;
            int selected;
        } moves[] = {
            {1, p.cmdUp, l.topMessage, "A:1 B:2 C:9", 1},
            {3, p.cmdDown, l.lastMessage, "A:1 B:2 C:9", 3},
            {2, p.cmdUp, nullptr, "B:1 A:2 C:9", 1},
            {2, p.cmdDown, nullptr, "B:1 C:2 A:9", 3},
        };
        for (const Move& mv : moves) {
            messages.msgs->shown.clear();
            const qlonglong logsBefore = count("SELECT COUNT(*) FROM SYNCHRO");
            clickLine(g, mv.line);
            click(mv.button);
            EXPECT_EQ(lastMessage(), mv.message ? QString(mv.message) : QString()) << mv.line;
            EXPECT_EQ(rows(l, id), mv.after);
            EXPECT_EQ(g->currentRow(), mv.selected);
            if (mv.message) {
                EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), logsBefore);
            }
        }
        // A record keeps its first log row; the row from elsewhere gets its first now.
        EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = ? AND SYNCHRO_RECORDID = ?", {l.table, keyOf(l, "A")}), 1);
        EXPECT_EQ(logRows(l.table, keyOf(l, "C"), 2), 1) << "moved";

        // A swap refused half-way changes neither row.
        db().Execute(QString("CREATE TRIGGER half BEFORE UPDATE ON %1 WHEN NEW.%2 = 2 BEGIN SELECT RAISE(ABORT, "
                             "'refused'); END")
                         .arg(l.table, l.orderColumn));
        clickLine(g, 3);
        click(p.cmdUp);
        EXPECT_EQ(rows(l, id), "B:1 C:2 A:9");
        db().Execute("DROP TRIGGER half");

        // Delete asks first; OK removes the one row and leaves the gap.
        messages.msgs->shown.clear();
        messages.msgs->answers = {ui::vbCancel, ui::vbOK};
        clickLine(g, 1);
        click(p.cmdDelete);
        EXPECT_EQ(rows(l, id), "B:1 C:2 A:9");
        const qint64 b = keyOf(l, "B");
        clickLine(g, 1);
        click(p.cmdDelete);
        ASSERT_EQ(messages.msgs->shown.size(), 2);
        EXPECT_EQ(messages.msgs->shown[1].text, QString(l.deletePrefix) + "B.");
        EXPECT_EQ(messages.msgs->shown[1].title, l.deleteTitle);
        EXPECT_EQ(messages.msgs->shown[1].style, ui::vbOKCancel);
        EXPECT_EQ(rows(l, id), "C:2 A:9");
        EXPECT_EQ(logRows(l.table, b, 3), 1);
        typeRow(g, "D");
        EXPECT_EQ(rows(l, id), "C:2 A:9 D:10");

        // Rows of one order value (two copies each adding one) move too, the
        // list numbered again; a row typed and not stored outlives it.
        db().Execute(QString("UPDATE %1 SET %2 = 2").arg(l.table, l.orderColumn));
        typeRow(g, "E", 3, false);
        clickTab("Overview");
        clickTab(l.tab);
        const std::tuple<QPushButton*, const char*, int> tied[] = {{p.cmdUp, "C:1 A:2 D:3", 1},
                                                                   {p.cmdDown, "C:1 D:2 A:3", 3}};
        for (const auto& [button, after, selected] : tied) {
            clickLine(g, 2);
            click(button);
            EXPECT_EQ(rows(l, id), after);
            EXPECT_EQ(g->currentRow(), selected);
        }
        EXPECT_EQ(g->value(grid::GridEX::kNewRowLine, 3).toString(), "E");
    }
    EXPECT_EQ(e.rowToSelect, 3) << "kept from the last move";
}

TEST_F(EventListsTest, APrintedListIsHeadedWithTheNameAsTypedAndReturnsToItsPage)
{
    const qint64 id = event("Reception");
    db().Execute("INSERT INTO EVENT_FOOD (EVENT_ID, EVENT_FOOD_ORDER, EVENT_FOOD_TEXT) VALUES (?, 1, 'Salmon')", {id});
    frmEventInfo& e = edit(id);
    e.txtName->setText("Garden Reception");  // typed, not saved
    frmPreview& preview = frmPreview::instance();
    for (const events::EventList& l : events::eventLists()) {
        SCOPED_TRACE(l.tab);
        clickTab(l.tab);
        click(e.lists[l.id].cmdPrint);
        ASSERT_TRUE(preview.isLoaded());
        EXPECT_TRUE(preview.widget()->isVisible());
        EXPECT_FALSE(e.window()->isVisible());
        EXPECT_EQ(preview.returnTo, e.window());
        EXPECT_EQ(preview.widget()->geometry(), e.window()->geometry());
        const grid::ReportModel r = e.lists[l.id].grid->reportModel();
        EXPECT_EQ(r.pageHeader, QString(l.printHeader) + "Garden Reception");
        EXPECT_EQ(r.leftMarginTwips, 1440);
        EXPECT_EQ(r.rightMarginTwips, 1440);
        QTest::mouseClick(preview.gridPreview->closeButton(), Qt::LeftButton);
        EXPECT_TRUE(e.window()->isVisible());
        EXPECT_EQ(e.frontPage(), e.lists[l.id].frame);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT WHERE EVENT_NAME = 'Reception'"), 1) << "printing saves nothing";

    // Without a printer the print says so and the preview stays; a file prints.
    ui::ScriptedDialogsGuard dialogs;
    clickTab("Menu");
    click(e.lists[events::Menu].cmdPrint);
    dialogs.dialogs->printAnswers = {true, true};
    dialogs.dialogs->printToPdf = folder->path() + "/no such folder/menu.pdf";
    QTest::mouseClick(preview.gridPreview->printButton(), Qt::LeftButton);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The print could not be written to the file "
                                                        + QDir::toNativeSeparators(dialogs.dialogs->printToPdf)));
    EXPECT_TRUE(preview.widget()->isVisible());
    EXPECT_GE(preview.gridPreview->pageCount(), 1);
    const QString pdf = folder->path() + "/menu.pdf";
    dialogs.dialogs->printToPdf = pdf;
    QTest::mouseClick(preview.gridPreview->printButton(), Qt::LeftButton);
    EXPECT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
}

TEST_F(EventListsTest, TheStartTimePickerOpensAtTheEventsStartAndStoresTheChosenTime)
{
    const qint64 id = event("Reception");
    frmEventInfo& e = edit(id);
    e.dtStartTime->setTime(QTime(15, 45));  // as the Overview page shows it, unsaved
    clickTab("Playscript");
    grid::GridEX* g = e.gridPlayscript();
    typeRow(g, "Vows");
    EXPECT_FALSE(e.dtPlayscript->isVisible());

    QTableView* t = g->tableView();
    clickLine(g, 1, 5);
    QTest::keyClick(t, Qt::Key_F2);
    ASSERT_TRUE(e.dtPlayscript->isVisible());
    EXPECT_TRUE(e.dtPlayscript->hasFocus());
    EXPECT_EQ(e.dtPlayscript->time(), QTime(15, 45)) << "an empty cell opens at the event's start";
    // Over the cell, 40 twips above its top edge, as wide as the cell.
    const QRect cell = t->visualRect(t->model()->index(0, 4));
    const QPoint at = t->viewport()->mapTo(g, cell.topLeft()) + g->pos();
    EXPECT_EQ(e.dtPlayscript->x(), at.x());
    EXPECT_EQ(e.dtPlayscript->y(), twipsToPixels(pixelsToTwips(at.y()) - 40));
    EXPECT_EQ(e.dtPlayscript->width(), cell.width());
    EXPECT_EQ(e.dtPlayscript->height(), twipsToPixels(252));

    e.dtPlayscript->setTime(QTime(16, 30));
    QTest::keyClick(e.dtPlayscript, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(e.dtPlayscript->isVisible());
    EXPECT_EQ(ado::convert::isoDateTime(db().scalar("SELECT EVENT_PLAYSCRIPT_STARTTIME FROM EVENT_PLAYSCRIPT").toDateTime()),
              "1899-12-30 16:30:00");
    EXPECT_EQ(g->text(1, 5), "4:30 PM");

    // A filled cell opens at its own time; another column opens no picker.
    QTest::keyClick(t, Qt::Key_F2);
    EXPECT_EQ(e.dtPlayscript->time(), QTime(16, 30));
    QTest::keyClick(e.dtPlayscript, Qt::Key_Escape);
    clickLine(g, 1, 4);
    QTest::keyClick(t, Qt::Key_F2);
    EXPECT_FALSE(e.dtPlayscript->isVisible());
    g->cancelEdit();
    // A row from elsewhere, edited here, is logged as changed.
    db().Execute("INSERT INTO EVENT_PLAYSCRIPT (EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT) VALUES "
                 "(?, 5, 'Speeches')",
                 {id});
    clickTab("Playscript");
    clickLine(g, 2, 5);
    QTest::keyClick(t, Qt::Key_F2);
    EXPECT_EQ(e.dtPlayscript->time(), QTime(15, 45));
    QTest::keyClick(e.dtPlayscript, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(logRows("EVENT_PLAYSCRIPT", g->recordset()->rowKey(1, 0).toLongLong(), 2), 1);
    EXPECT_EQ(g->text(2, 5), "3:45 PM");
    // The typed row's first log row stands for the later edit too.
    EXPECT_EQ(logRows("EVENT_PLAYSCRIPT", g->recordset()->rowKey(0, 0).toLongLong(), 1), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'EVENT_PLAYSCRIPT'"), 2);
}

TEST_F(EventListsTest, TheRunningOrderIsTypedByKeysAloneTheTimeCellLeftByTabLikeAnyOther)
{
    frmEventInfo& e = edit(event("Reception"));
    clickTab("Playscript");
    grid::GridEX* g = e.gridPlayscript();
    // Keys from a click into a cell of the new-row line (line 0) or of a row:
    // a text is typed key by key, <...> is a key.
    const struct {
        int line, column;
        QStringList keys;
        const char* rows;
    } cases[] = {
        {0, 3, {"Vows", "<Tab>", "Pastor", "<Tab>", "2:30 PM", "<Tab>", "15 min", "<Enter>"},
         "Vows|Pastor|14:30|15 min"},
        {0, 3, {"Toasts", "<Tab>", "<Tab>", "9:45 PM", "<Backtab>", "Best man", "<Enter>"},
         "Vows|Pastor|14:30|15 min Toasts|Best man|21:45|"},
        // Escape drops the time typed, without a word, and stays on the line.
        {0, 3, {"Cake", "<Tab>", "<Tab>", "10:1", "<Escape>", "<Tab>", "5 min", "<Enter>"},
         "Vows|Pastor|14:30|15 min Toasts|Best man|21:45| Cake|||5 min"},
        {1, 5, {"<F2>", "8:00 AM", "<Tab>", "20 min", "<Enter>"},
         "Vows|Pastor|08:00|20 min Toasts|Best man|21:45| Cake|||5 min"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.join(' ').toStdString());
        QTableView* v = c.line == 0 ? g->newRowView() : g->tableView();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {},
                          v->visualRect(v->model()->index(std::max(0, c.line - 1), c.column - 1)).center());
        for (const QString& k : c.keys) {
            const std::map<QString, Qt::Key> named = {{"<Tab>", Qt::Key_Tab},     {"<Backtab>", Qt::Key_Backtab},
                                                      {"<Enter>", Qt::Key_Return}, {"<Escape>", Qt::Key_Escape},
                                                      {"<F2>", Qt::Key_F2}};
            if (named.count(k))
                QTest::keyClick(QApplication::focusWidget(), named.at(k));
            else
                testsupport::keyClicks(QApplication::focusWidget(), k);
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(DbTest::rows("SELECT EVENT_PLAYSCRIPT_TEXT || '|' || ifnull(EVENT_PLAYSCRIPT_PERFORMER, '') || '|' || "
                       "ifnull(substr(EVENT_PLAYSCRIPT_STARTTIME, 12, 5), '') || '|' || "
                       "ifnull(EVENT_PLAYSCRIPT_DURATION, '') FROM EVENT_PLAYSCRIPT ORDER BY EVENT_PLAYSCRIPT_ORDER",
                       {}, " ")
                      .join(' ')
                      .toStdString(),
                  c.rows);
        EXPECT_EQ(messages.msgs->texts(), QStringList{});
        EXPECT_TRUE(e.isLoaded());
    }
}

TEST_F(EventListsTest, ScreenshotsOfEachPage)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    const qint64 id = event("Garden Reception");
    db().Execute("UPDATE EVENT SET EVENT_BUDGET = '8500', EVENT_TEXT = 'Cocktails on the terrace first.', "
                 "EVENT_LOCATION = 'Rosewood Manor', EVENT_DIRECTIONS = 'Route 9 north, second gate on the left.'");
    // Two rows in each list: owner, order, then the data columns.
    const char* rows[][4] = {{"Grilled salmon", "28", "Lemon butter", nullptr},
                             {"Wedding cake", "6", "Three tiers", nullptr},
                             {"White roses", "Head table", "240", "12"},
                             {"Lanterns", "Terrace", "90", "30"},
                             {"At Last", "Etta James", "At Last!", "3:02"},
                             {"Moon River", "String trio", "", "2:45"},
                             {"Guests arrive", "Ushers", "1899-12-30 17:00:00", "30 min"},
                             {"First dance", "Bride and groom", "1899-12-30 19:15:00", "5 min"}};
    for (int i = 0; i < 8; ++i) {
        const events::EventList& l = events::eventLists()[i / 2];
        const QStringList cols = db().columnNames(l.table).mid(1);
        ado::Params p = {id, i % 2 + 1};
        for (int c = 0; c < 4 && rows[i][c]; ++c)
            p << rows[i][c];
        db().Execute(QString("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(l.table, cols.mid(0, p.size()).join(", "), QStringList(p.size(), "?").join(", ")),
                     p);
    }
    frmEventInfo& e = edit(id);
    testsupport::snap(e.window(), dir, "event_overview");
    for (const char* tab : {"Location", "Menu", "Decorations", "Music", "Playscript"}) {
        clickTab(tab);
        if (tab == QString("Menu"))
            typeRow(e.lists[events::Menu].grid, "Sorbet");
        testsupport::snap(e.window(), dir, "event_" + QString(tab).toLower());
    }
    grid::GridEX* g = e.gridPlayscript();
    typeRow(g, "Toasts");
    clickLine(g, 3, 5);
    QTest::keyClick(g->tableView(), Qt::Key_F2);
    testsupport::snap(e.window(), dir, "event_playscript_picker");
    QTest::keyClick(e.dtPlayscript, Qt::Key_Return);

    ui::ScriptedDialogsGuard dialogs;
    clickTab("Menu");
    click(e.lists[events::Menu].cmdPrint);
    QCoreApplication::processEvents();
    testsupport::snap(frmPreview::instance().widget(), dir, "event_menu_preview");
    dialogs.dialogs->printAnswers = {true};
    dialogs.dialogs->printToPdf = dir + "/event_menu.pdf";
    QTest::mouseClick(frmPreview::instance().gridPreview->printButton(), Qt::LeftButton);
    EXPECT_TRUE(messages.msgs->texts().isEmpty());
}
