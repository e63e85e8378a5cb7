// The grid's new-row line (typed, filled by the owner, stored with Enter and
// logged, or refused with the typing kept) and the custom editor of one
// column laid over its cell.

#include "support/fixture.h"
#include "support/modelcheck.h"

#include "platform/grid/gridex.h"
#include "platform/twips.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

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
        auto rs = ado::Recordset::create();
        rs->Open("SELECT EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT AS [Event], "
                 "EVENT_PLAYSCRIPT_STARTTIME AS [Start Time] FROM EVENT_PLAYSCRIPT ORDER BY EVENT_PLAYSCRIPT_ORDER",
                 db());
        g->bind(rs);
        g->setColumnHidden(1);
        g->setColumnHidden(2);
        g->setNewRowLine(true);
        checks.push_back(std::make_unique<testsupport::ModelCheck>(g->model()));
        checks.push_back(std::make_unique<testsupport::ModelCheck>(g->newRowView()->model()));
        // Owner and order filled as the event editor fills them.
        QObject::connect(g, &GridEX::FillNewRow, g, [this] {
            g->setCurrentValue(1, 7);
            g->setCurrentValue(2, ++maxOrder);
        });
    }
    void TearDown() override
    {
        checks.clear();
        window.reset();
        DbTest::TearDown();
    }
    void typeIntoLine(int column, const QString& text, Qt::Key end = Qt::Key_Return)
    {
        QTableView* v = g->newRowView();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, column - 1)).center());
        for (const QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), end);
        QCoreApplication::processEvents();
    }
    std::string stored()
    {
        QStringList out;
        ado::Recordset rs;
        rs.Open("SELECT EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT, EVENT_PLAYSCRIPT_STARTTIME "
                "FROM EVENT_PLAYSCRIPT ORDER BY EVENT_PLAYSCRIPT_ID",
                db(), ado::adOpenForwardOnly, ado::adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            out << QString("%1/%2/%3/%4").arg(rs.value(0).toString(), rs.value(1).toString(), rs.value(2).toString(),
                                             rs.value(3).toDateTime().time().toString("HH:mm"));
        return out.join(" | ").toStdString();
    }

    std::unique_ptr<QWidget> window;
    GridEX* g = nullptr;
    QTimeEdit* picker = nullptr;
    std::vector<std::unique_ptr<testsupport::ModelCheck>> checks;
    int maxOrder = 0;
};

}  // namespace

TEST_F(NewRowTest, TypedRowsAreFilledStoredAndLoggedByEnterOrRefusedWithTheTypingKept)
{
    QTableView* line = g->newRowView();
    ASSERT_TRUE(line && line->isVisible());
    EXPECT_GT(line->mapTo(g, QPoint(0, 0)).y(), 0) << "under the captions";
    typeIntoLine(3, "", Qt::Key_Escape);
    EXPECT_EQ(g->currentRow(), GridEX::kNewRowLine);
    QTest::keyClick(line, Qt::Key_Return);
    EXPECT_EQ(stored(), "") << "an untouched line stores nothing";

    typeIntoLine(3, "Processional");
    typeIntoLine(3, "Vows");
    EXPECT_EQ(stored(), "7/1/Processional/ | 7/2/Vows/");
    EXPECT_EQ(g->text(2, 3).toStdString(), "Vows");
    EXPECT_EQ(g->currentRow(), GridEX::kNewRowLine) << "ready for the next row";
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO WHERE SYNCHRO_TABLE = 'EVENT_PLAYSCRIPT' AND SYNCHRO_ACTION = 1"), 2);

    // A click on a stored row makes it the current line.
    QTableView* t = g->tableView();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(t->model()->index(1, 2)).center());
    EXPECT_EQ(g->currentRow(), 2);

    db().Execute("CREATE TRIGGER full BEFORE INSERT ON EVENT_PLAYSCRIPT BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    typeIntoLine(3, "Toasts");
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The new row could not be saved."));
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("disk full"));
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3).toString().toStdString(), "Toasts");
    EXPECT_EQ(g->rowCount(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM SYNCHRO"), 2) << "no log row without its row";

    // Another recordset starts the line afresh.
    g->bind(g->recordset());
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3).toString().toStdString(), "Toasts") << "the same one keeps it";
    auto other = ado::Recordset::create();
    other->Open(g->recordset()->source(), db());
    g->bind(other);
    EXPECT_EQ(g->value(GridEX::kNewRowLine, 3), QVariant());
}

TEST_F(NewRowTest, ACustomColumnIsEditedByTheOwnersControlOverTheCell)
{
    db().Execute("INSERT INTO EVENT_PLAYSCRIPT (EVENT_ID, EVENT_PLAYSCRIPT_ORDER, EVENT_PLAYSCRIPT_TEXT, "
                 "EVENT_PLAYSCRIPT_STARTTIME) VALUES (7, 1, 'Vows', '1899-12-30 15:00:00')");
    g->recordset()->Requery();
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
        shownAt = QRect(x, y, w, h);
        picker->setVisible(show);
    });
    QObject::connect(g, &GridEX::StoreCustomEdit, g, [&](int c) {
        events << QString("store %1").arg(c);
        g->setCurrentValue(c, QDateTime(QDate(1899, 12, 30), picker->time()));
    });

    struct Case {
        Qt::Key endKey;
        const char* stored;
        const char* events;
    } cases[] = {
        {Qt::Key_Escape, "7/1/Vows/15:00", "load 4|show 4|hide 4"},
        {Qt::Key_Return, "7/1/Vows/16:30", "load 4|show 4|store 4|hide 4"},
    };
    QTableView* t = g->tableView();
    for (const Case& c : cases) {
        events.clear();
        t->setFocus();
        t->setCurrentIndex(t->model()->index(0, 3));
        QTest::keyClick(t, Qt::Key_F2);
        ASSERT_TRUE(g->customEditOpen());
        EXPECT_TRUE(picker->hasFocus());
        EXPECT_EQ(picker->time(), QTime(15, 0));
        const QRect cell = t->visualRect(t->model()->index(0, 3));
        const QPoint at = t->viewport()->mapTo(g, cell.topLeft());
        EXPECT_EQ(shownAt, QRect(pixelsToTwips(at.x()), pixelsToTwips(at.y()), pixelsToTwips(cell.width()),
                                 pixelsToTwips(cell.height())));
        picker->setTime(QTime(16, 30));
        QTest::keyClick(picker, c.endKey);
        QCoreApplication::processEvents();
        EXPECT_FALSE(g->customEditOpen());
        EXPECT_EQ(events.join("|").toStdString(), c.events);
        EXPECT_EQ(stored(), c.stored);
    }

    // On the new-row line the control fills the line, and its Enter stores the row.
    typeIntoLine(3, "Toasts", Qt::Key_Tab);
    ASSERT_TRUE(g->customEditOpen()) << "tabbing into the custom cell opens the control";
    EXPECT_EQ(picker->time(), QTime(9, 0)) << "an empty cell";
    picker->setTime(QTime(18, 15));
    QTest::keyClick(picker, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(stored(), "7/1/Vows/16:30 | 7/2/Toasts/18:15");
}
