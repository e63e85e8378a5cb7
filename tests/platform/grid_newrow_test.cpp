// The grid's new-row line (typed, filled by the owner, stored with Enter and
// logged) and the custom editor of one column laid over its cell.

#include "support/fixture.h"

#include "platform/grid/gridex.h"
#include "platform/twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using grid::GridEX;

namespace {

class NewRowTest : public testsupport::DbTest {
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(700, 300);
        g = new GridEX(window.get());
        g->setGeometry(10, 10, 660, 260);
        picker = new QTimeEdit(window.get());
        picker->hide();
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    void TearDown() override
    {
        window.reset();
        DbTest::TearDown();
    }
    void bind()
    {
        auto rs = ado::Recordset::create();
        rs->Open("SELECT EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT AS [Event], "
                 "EVENT_PLAYSCRIPT_STARTTIME AS [Start Time] FROM EVENT_PLAYSCRIPT WHERE EVENT_ID = 7 "
                 "ORDER BY EVENT_PLAYSCRIPT_ORDER",
                 db());
        g->bind(rs);
        g->setColumnHidden(1);
        g->setColumnHidden(2);
        g->setColumnWidth(3, 3000);
        g->setColumnWidth(4, 1500);
    }
    // Owner and order filled as the event editor fills them.
    void fillLikeAnOwner()
    {
        QObject::connect(g, &GridEX::FillNewRow, g, [this] {
            if (g->currentValue(1).toLongLong() == 0)
                g->setCurrentValue(1, 7);
            g->setCurrentValue(2, ++maxOrder);
        });
    }
    QPoint lineCell(int column)
    {
        QTableView* v = g->newRowView();
        return v->visualRect(v->model()->index(0, column - 1)).center();
    }
    void typeIntoLine(int column, const QString& text)
    {
        QTableView* v = g->newRowView();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, lineCell(column));
        // The first key opens the cell's editor, which takes the others.
        for (const QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    }
    QString stored()
    {
        QStringList out;
        ado::Recordset rs;
        rs.Open("SELECT EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT, EVENT_PLAYSCRIPT_STARTTIME "
                "FROM EVENT_PLAYSCRIPT ORDER BY EVENT_PLAYSCRIPT_ID",
                db(), ado::adOpenForwardOnly, ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            out << QString("%1/%2/%3/%4").arg(rs.value(0).toString(), rs.value(1).toString(), rs.value(2).toString(),
                                             rs.value(3).toDateTime().time().toString("HH:mm"));
        return out.join(" | ");
    }

    std::unique_ptr<QWidget> window;
    GridEX* g = nullptr;
    QTimeEdit* picker = nullptr;
    int maxOrder = 0;
};

}  // namespace

TEST_F(NewRowTest, TypedRowsAreFilledStoredAndLoggedByEnter)
{
    bind();
    g->setNewRowLine(true);
    fillLikeAnOwner();
    QTableView* line = g->newRowView();
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    // The line lies under the captions, over no stored row.
    EXPECT_GT(line->mapTo(g, QPoint(0, 0)).y(), 0);
    EXPECT_EQ(line->columnWidth(2), twipsToPixels(3000));
    EXPECT_TRUE(line->isColumnHidden(0));

    // Enter on an untouched line stores nothing.
    QTest::mouseClick(line->viewport(), Qt::LeftButton, {}, lineCell(3));
    EXPECT_EQ(g->currentRow(), GridEX::kNewRowLine);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT_PLAYSCRIPT"), 0);

    for (const QString& text : {QString("Processional"), QString("Vows")}) {
        typeIntoLine(3, text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(stored(), "7/1/Processional/ | 7/2/Vows/");
    EXPECT_EQ(g->rowCount(), 2);
    EXPECT_EQ(g->text(2, 3), "Vows");
    EXPECT_EQ(g->currentRow(), GridEX::kNewRowLine) << "the line stays ready for the next row";
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3), QVariant());
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'EVENT_PLAYSCRIPT' AND SYNCHRO_ACTION = 1"),
              2);

    // A click on a stored row makes it current; the line is left.
    QTest::mouseClick(g->tableView()->viewport(), Qt::LeftButton, {}, g->tableView()->visualRect(
                                                                        g->tableView()->model()->index(1, 2)).center());
    EXPECT_EQ(g->currentRow(), 2);
    g->setCurrentRow(GridEX::kNewRowLine);
    EXPECT_EQ(g->currentRow(), GridEX::kNewRowLine);
    EXPECT_EQ(g->recordOfRow(g->currentRow()), -1);

    // Another recordset starts the line afresh.
    typeIntoLine(3, "Half typed");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3).toString(), "Half typed");
    bind();
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3), QVariant());
}

TEST_F(NewRowTest, ARefusedRowKeepsTheTypingAndLeavesNoLogRow)
{
    db().Execute("CREATE TRIGGER no_rows BEFORE INSERT ON EVENT_PLAYSCRIPT BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    bind();
    g->setNewRowLine(true);
    fillLikeAnOwner();
    typeIntoLine(3, "Toasts");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The new row could not be saved."));
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3).toString(), "Toasts");
    EXPECT_EQ(g->rowCount(), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM EVENT_PLAYSCRIPT"), 0);
}

TEST_F(NewRowTest, ACustomColumnIsEditedByTheOwnersControlOverTheCell)
{
    db().Execute("INSERT INTO EVENT_PLAYSCRIPT (EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT, "
                 "EVENT_PLAYSCRIPT_STARTTIME) VALUES (7, 1, 'Vows', '1899-12-30 15:00:00')");
    bind();
    g->setNewRowLine(true);
    fillLikeAnOwner();
    maxOrder = 1;
    g->setColumnEditType(4, grid::etCustom);
    g->setCustomEditControl(picker);
    QStringList events;
    QRect shownAt;
    QObject::connect(g, &GridEX::LoadCustomEdit, g, [&](int c) {
        events << QString("load %1").arg(c);
        picker->setTime(g->currentValue(c).isNull() ? QTime(9, 0) : g->currentValue(c).toDateTime().time());
    });
    QObject::connect(g, &GridEX::ShowCustomEdit, g, [&](int c, int x, int y, int w, int h, bool show) {
        events << QString("%1 %2").arg(show ? "show" : "hide").arg(c);
        if (show)
            shownAt = QRect(x, y, w, h);
        picker->setVisible(show);
    });
    QObject::connect(g, &GridEX::StoreCustomEdit, g, [&](int c) {
        events << QString("store %1").arg(c);
        g->setCurrentValue(c, QDateTime(QDate(1899, 12, 30), picker->time()));
    });

    struct Case {
        const char* name;
        Qt::Key endKey;
        const char* expect;    // the stored start time afterwards
        const char* events;
    } cases[] = {
        {"Escape drops", Qt::Key_Escape, "15:00", "load 4|show 4|hide 4"},
        {"Enter stores", Qt::Key_Return, "16:30", "load 4|show 4|store 4|hide 4"},
    };
    QTableView* t = g->tableView();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        g->setCurrentRow(1);
        t->setFocus();
        t->setCurrentIndex(t->model()->index(0, 3));
        QTest::keyClick(t, Qt::Key_F2);
        ASSERT_TRUE(g->customEditOpen());
        EXPECT_TRUE(picker->hasFocus());
        EXPECT_EQ(picker->time(), QTime(15, 0)) << "loaded from the cell";
        const QRect cell = t->visualRect(t->model()->index(0, 3));
        const QPoint cellAt = t->viewport()->mapTo(g, cell.topLeft());
        EXPECT_EQ(shownAt, QRect(pixelsToTwips(cellAt.x()), pixelsToTwips(cellAt.y()), pixelsToTwips(cell.width()),
                                 pixelsToTwips(cell.height())));
        picker->setTime(QTime(16, 30));
        QTest::keyClick(picker, c.endKey);
        QCoreApplication::processEvents();
        EXPECT_FALSE(g->customEditOpen());
        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(events.join("|"), c.events);
        EXPECT_EQ(stored(), QString("7/1/Vows/") + c.expect);
    }

    // Other columns edit as text: no custom events.
    events.clear();
    t->setCurrentIndex(t->model()->index(0, 2));
    QTest::keyClick(t, Qt::Key_F2);
    EXPECT_FALSE(g->customEditOpen());
    EXPECT_TRUE(events.isEmpty());
    g->cancelEdit();

    // On the new-row line the picker fills the line, and Enter stores the row.
    typeIntoLine(3, "Toasts");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    ASSERT_TRUE(g->customEditOpen()) << "tabbing into the custom cell opens the control";
    EXPECT_EQ(picker->time(), QTime(9, 0)) << "an empty cell";
    picker->setTime(QTime(18, 15));
    QTest::keyClick(picker, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(stored(), "7/1/Vows/16:30 | 7/2/Toasts/18:15");
}
