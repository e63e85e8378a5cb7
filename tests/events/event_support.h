#pragma once
// Driving the event editor as a user does: the main window's commands open
// it, tabs and buttons are clicked, rows typed into the lists' new-row lines.

#include "support/editors.h"
#include "support/mainwindow.h"

#include "app/frmMain.h"
#include "events/frmEventInfo.h"
#include "platform/grid/gridex.h"
#include "platform/navbar/explorerbar.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace testsupport {

class EventEditorTest : public MainWindowTest<> {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m().Show(ui::vbModeless);
    }
    static frmEventInfo& f() { return frmEventInfo::instance(); }

    qint64 event(const QString& name, bool flags = true)
    {
        const qint64 id = db().reserveKey("EVENT");
        db().Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE, EVENT_ENDDATE, EVENT_HASFOOD, "
                     "EVENT_HASDECORATION, EVENT_HASMUSIC, EVENT_HASPLAYSCRIPT) VALUES (?, ?, '2004-06-12 14:30:00', "
                     "'2004-06-12 18:00:00', ?, ?, ?, ?)",
                     {id, name, flags, flags, flags, flags});
        return id;
    }
    // Modify Event on the events view, as from the navigation bar.
    frmEventInfo& edit(qint64 id)
    {
        m().ExplorerBarCtlQV1->clickItem("EVENTMODE");
        for (int r = 1; r <= m().GridEX1->rowCount(); ++r)
            if (m().GridEX1->value(r, 1).toLongLong() == id)
                m().GridEX1->setCurrentRow(r);
        m().ExplorerBarCtlQV1->clickItem("MODIFYEVENT");
        activate();
        return f();
    }
    frmEventInfo& add()
    {
        m().ExplorerBarCtlQV1->clickItem("EVENTMODE");
        m().ExplorerBarCtlQV1->clickItem("ADDEVENT");
        activate();
        return f();
    }
    void activate()
    {
        if (f().isLoaded())
            QApplication::setActiveWindow(f().window());
    }
    static QStringList tabs()
    {
        QStringList out;
        for (int i = 0; i < f().TabStrip1->count(); ++i)
            out << f().TabStrip1->tabText(i);
        return out;
    }
    static void clickTab(const QString& caption) { testsupport::clickTab(f().TabStrip1, caption); }
    static void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    // A line of a list's grid clicked, in its first shown text column.
    static void clickLine(grid::GridEX* g, int line, int column = 3)
    {
        QTableView* t = g->tableView();
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {},
                          t->visualRect(t->model()->index(line - 1, column - 1)).center());
    }
    // Types text into the new-row line's cell of that column and stores the
    // row with Enter (or leaves it typed).
    static void typeRow(grid::GridEX* g, const QString& text, int column = 3, bool store = true)
    {
        QTableView* v = g->newRowView();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, column - 1)).center());
        for (const QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        if (store)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    static qlonglong logRows(const QString& table, qint64 key, int action)
    {
        return testsupport::logRows(table, key, action);
    }
};

}  // namespace testsupport
