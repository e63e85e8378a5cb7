// Large grids as a user sees them: thousands of records gathered into groups
// in their exact order, and the card layout walked with keys and the mouse,
// resized, with long and accented texts.

#include "support/fixture.h"
#include "support/modelcheck.h"
#include "support/gui.h"

#include "platform/grid/gridex.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeySequence>
#include <QScrollBar>
#include <QTest>

using testsupport::DbTest;
using grid::GridEX;
using testsupport::CheckedGrid;
using grid::RowKind;

namespace {

class LargeGridTest : public DbTest {
protected:
    ado::RecordsetPtr open(const QString& sql)
    {
        auto rs = ado::Recordset::create();
        rs->Open(sql, db(), ado::adOpenKeyset, ado::adLockOptimistic);
        return rs;
    }
    // The grid as the Addresses view shows it: cards of 3000 twips, the party name as the title.
    void showCards(QWidget& window, GridEX& g, const QString& sql)
    {
        window.resize(900, 500);
        g.setGeometry(0, 0, 900, 500);
        g.setGridLayout(grid::Layout::Cards);
        g.setCardWidth(3000);
        g.bind(open(sql));
        g.setColumnHidden(1);
        g.setColumnCardCaption(2);
    }
    static bool activate(QWidget* w)
    {
        w->show();
        QApplication::setActiveWindow(w);
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }
};

const QString kLongName = "Émile Lefèvre-Saint-Laurent et Famille, avec les cousins de Montréal et de Genève";

TEST_F(LargeGridTest, ThousandsOfRecordsGroupByExactValueInOrder)
{
    const auto day = [](int y, int m, int d) { return QString("%1-%2-%3 00:00:00").arg(y).arg(m, 2, 10, QChar('0')).arg(d, 2, 10, QChar('0')); };
    const struct Case {
        const char* column;
        QVariantList inserted;   // in turn, until 3,000 records
        QVariantList groups;     // the header values, in order (invalid: the empty group)
    } cases[] = {
        // Empty and missing are one group; names differing in case are two, side by side.
        {"EXPENSE_EVENT",
         {"zoë", QVariant(), "Zoë", "", "Ångström", kLongName, kLongName.toLower(), "Apple", "apple", "Zoe"},
         {QVariant(), "Apple", "apple", "Zoe", "Zoë", "zoë", "Ångström", kLongName, kLongName.toLower()}},
        // Numbers by value, not by their text.
        {"EXPENSE_AMTPAID", {100.0, 9.5, QVariant(), 10.0, 1000000.0}, {QVariant(), 9.5, 10.0, 100.0, 1000000.0}},
        // Dates by day, not by M/d/yyyy text.
        {"EXPENSE_DUEDATE",
         {day(2027, 10, 15), day(2026, 11, 5), day(2027, 2, 1)},
         {ado::convert::wallClock(QDate(2026, 11, 5), QTime(0, 0)),
          ado::convert::wallClock(QDate(2027, 2, 1), QTime(0, 0)),
          ado::convert::wallClock(QDate(2027, 10, 15), QTime(0, 0))}},
    };
    constexpr int kRecords = 3000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        db().Execute("DELETE FROM EXPENSES");
        {
            ado::Transaction t(db());
            for (int i = 0; i < kRecords; ++i)
                db().Execute(QString("INSERT INTO EXPENSES (EXPENSE_TEXT, %1) VALUES (?, ?)").arg(c.column),
                             {QString("Item %1").arg(i), c.inserted[i % c.inserted.size()]});
            t.commit();
        }
        GridEX g;
        g.bind(open(QString("SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item], %1 AS [Value] FROM EXPENSES "
                            "ORDER BY EXPENSE_ID")
                        .arg(c.column)));
        g.groupBy(3);
        ASSERT_EQ(g.rowCount(), kRecords + c.groups.size());
        QVariantList headers;
        int lastRecord = -1;
        QVariant group;
        for (int r = 1; r <= g.rowCount(); ++r) {
            if (g.rowKind(r) == RowKind::GroupHeader) {
                group = g.value(r, 3);
                headers << (group.toString().isEmpty() ? QVariant() : group);
                lastRecord = -1;
                continue;
            }
            // Every record under its group's exact value, in the recordset's order.
            const QVariant v = g.value(r, 3);
            EXPECT_EQ(v.toString().isEmpty() ? QVariant() : v, headers.last()) << r;
            EXPECT_GT(g.recordOfRow(r), lastRecord) << r;
            lastRecord = g.recordOfRow(r);
        }
        EXPECT_EQ(headers, c.groups);
    }
}

// The card layout of 3,000 parties: keys and clicks go to the card the user
// sees, every card on screen is whole, and a narrower window has fewer
// cards across without ever scrolling sideways.
TEST_F(LargeGridTest, CardsOfThousandsOfPartiesWalkedByKeysAndMouse)
{
    constexpr int kParties = 3000;
    {
        ado::Transaction t(db());
        for (int i = 1; i <= kParties; ++i)
            db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_CITY) VALUES (?, ?, ?, ?)",
                         {i, QString("Ångström %1").arg(i, 4, 10, QChar('0')),
                          i % 7 == 0 ? QString("%1 rue du Faubourg Saint-Honoré, appartement 56, escalier B").arg(i)
                                     : QString("%1 Elm St").arg(i),
                          "Montréal"});
        t.commit();
    }
    QWidget window;
    CheckedGrid g(&window);
    showCards(window, g,
              "SELECT GUEST_ID, GUEST_PARTYNAME AS [Party Name], GUEST_ADDRESS1 AS [Address1], GUEST_CITY AS [City] "
              "FROM GUEST ORDER BY GUEST_ID");
    g.setCurrentRow(1);
    ASSERT_TRUE(activate(&window));
    QAbstractItemView* v = g.cardView();
    v->setFocus();

    const auto cardRect = [&](int row) { return v->visualRect(v->model()->index(row - 1, 0)); };
    const auto across = [&] {
        int n = 1;
        while (cardRect(n + 1).top() == cardRect(1).top())
            ++n;
        return n;
    };
    const int a = across();
    ASSERT_GE(a, 2);
    // A card whose street wraps is taller than one whose does not.
    EXPECT_GT(cardRect(7).height(), cardRect(1).height());

    const struct {
        Qt::Key key;
        int expected;   // 0: further down than before
    } keys[] = {
        {Qt::Key_Right, 2}, {Qt::Key_Down, 2 + a}, {Qt::Key_Left, 1 + a}, {Qt::Key_End, kParties},
        {Qt::Key_Up, kParties - a}, {Qt::Key_Home, 1}, {Qt::Key_PageDown, 0}, {Qt::Key_PageDown, 0},
    };
    int before = g.currentRow();
    for (const auto& k : keys) {
        SCOPED_TRACE(QKeySequence(k.key).toString().toStdString());
        QTest::keyClick(v, k.key);
        if (k.expected)
            EXPECT_EQ(g.currentRow(), k.expected);
        else
            EXPECT_GT(g.currentRow(), before);
        before = g.currentRow();
        // The current card is on screen, whole, and is the one under the pointer there.
        const QRect r = cardRect(g.currentRow());
        EXPECT_TRUE(v->viewport()->rect().contains(r)) << r.top() << " " << r.bottom();
        EXPECT_EQ(g.rowAt(v->viewport()->mapTo(&g, r.center())), g.currentRow());
    }
    EXPECT_EQ(g.currentValue(2).toString(), QString("Ångström %1").arg(g.currentRow(), 4, 10, QChar('0')));

    // A click on another card on screen makes it current.
    const int top = v->indexAt(QPoint(10, 10)).row() + 1;
    ASSERT_GE(top, 1);
    const int target = top + 1 == g.currentRow() ? top : top + 1;
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cardRect(target).center());
    EXPECT_EQ(g.currentRow(), target);
    EXPECT_EQ(g.currentValue(3).toString(), target % 7 == 0 ? QString("%1 rue du Faubourg Saint-Honoré, appartement 56, escalier B").arg(target) : QString("%1 Elm St").arg(target));

    // Narrower: fewer cards across, none wider than the grid, no sideways scrolling.
    window.resize(500, 500);
    g.setGeometry(0, 0, 500, 500);
    QApplication::processEvents();
    EXPECT_LT(across(), a);
    EXPECT_EQ(v->horizontalScrollBar()->maximum(), 0);
    EXPECT_LE(cardRect(1).right(), v->viewport()->width());
    // Scrolled to the end, the last card shows whole.
    v->verticalScrollBar()->setValue(v->verticalScrollBar()->maximum());
    EXPECT_TRUE(v->viewport()->rect().contains(cardRect(kParties)));
    EXPECT_EQ(g.rowAt(v->viewport()->mapTo(&g, cardRect(kParties).center())), kParties);
}

}  // namespace

// A party name too long for its card's title bar shows whole as its tooltip.
TEST_F(LargeGridTest, ACardTitleCutToFitShowsWholeAsItsTooltip)
{
    const QString longName = "The Castellano-Fitzgerald Family of Saint-Jean-sur-Richelieu";
    const QString names[] = {"Zoé Ng", longName, "山田 太郎"};
    for (int i = 0; i < 3; ++i)
        db().Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_CITY) VALUES (?, ?, 'Montréal')",
                     {i + 1, names[i]});
    QWidget window;
    CheckedGrid g(&window);
    showCards(window, g, "SELECT GUEST_ID, GUEST_PARTYNAME AS [Party Name], GUEST_CITY AS [City] FROM GUEST ORDER BY GUEST_ID");
    ASSERT_TRUE(activate(&window));
    QAbstractItemView* v = g.cardView();
    for (int row = 1; row <= 3; ++row) {
        const QRect card = v->visualRect(v->model()->index(row - 1, 0));
        SCOPED_TRACE(names[row - 1].toStdString());
        EXPECT_EQ(testsupport::hover(v->viewport(), card.topLeft() + QPoint(card.width() / 2, 8)),
                  row == 2 ? longName : QString());
        EXPECT_EQ(testsupport::hover(v->viewport(), card.center() + QPoint(0, card.height() / 4)), QString());
    }
}
