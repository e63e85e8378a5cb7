// The diagram surface, its printing and the button bar: nodes moved and
// sized with the mouse, undo and redo, deletion, the printed page, and the
// palette's groups.

#include "platform/diagram/addflow.h"
#include "platform/diagram/buttonbar.h"
#include "platform/diagram/prnflow.h"
#include "platform/ui/dialogs.h"
#include "support/fixture.h"
#include "support/pdf.h"
#include "views/frmPreview.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using diagram::AddFlow;
using diagram::Node;

// Holds the left button from one point of the surface to another.
void drag(AddFlow& f, const QPointF& from, const QPointF& to)
{
    QWidget* vp = f.viewport();
    const QPoint a = f.mapFromScene(from), b = f.mapFromScene(to);
    QTest::mousePress(vp, Qt::LeftButton, {}, a);
    QTest::mouseMove(vp, (a + b) / 2);
    QTest::mouseMove(vp, b);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
}

class DiagramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        flow.resize(600, 400);
        flow.show();
        QCoreApplication::processEvents();
    }
    AddFlow flow;
};

}  // namespace

TEST(NodeSizing, HandlesMoveTheirEdgesAndStopAtTheSmallestSize)
{
    const QRectF r(100, 100, 100, 100);
    struct Case {
        int handle;
        QPointF delta;
        QRectF expected;
    } cases[] = {
        {4, {30, 20}, {100, 100, 130, 120}},     // bottom right
        {0, {-10, -20}, {90, 80, 110, 120}},     // top left
        {1, {50, 15}, {100, 115, 100, 85}},      // top: only the top edge
        {3, {-20, 99}, {100, 100, 80, 100}},     // right: only the right edge
        {6, {200, 0}, {192, 100, 8, 100}},       // bottom left pulled past the right edge
        {5, {0, -300}, {100, 100, 100, 8}},      // bottom pushed past the top
    };
    for (const Case& c : cases)
        EXPECT_EQ(Node::resized(r, c.handle, c.delta), c.expected) << c.handle;
}

TEST_F(DiagramTest, MoveSizeUndoAndRedo)
{
    Node* n = flow.addNode(100, 100, 100, 100);
    EXPECT_EQ(n->rect(), QRectF(100, 100, 100, 100));
    EXPECT_EQ(flow.nodes(), QList<Node*>{n});

    drag(flow, {150, 150}, {230, 190});   // grabs the node and moves it
    EXPECT_TRUE(n->isSelected());
    EXPECT_EQ(n->rect(), QRectF(180, 140, 100, 100));

    drag(flow, {280, 240}, {320, 300});   // the bottom right handle
    EXPECT_EQ(n->rect(), QRectF(180, 140, 140, 160));

    flow.Undo();
    EXPECT_EQ(n->rect(), QRectF(180, 140, 100, 100));
    flow.Undo();
    EXPECT_EQ(n->rect(), QRectF(100, 100, 100, 100));
    flow.Undo();
    EXPECT_TRUE(flow.nodes().isEmpty());
    EXPECT_EQ(n->scene(), nullptr);
    EXPECT_FALSE(flow.canUndo());
    flow.Undo();   // nothing left to undo
    EXPECT_TRUE(flow.nodes().isEmpty());

    flow.Redo();
    flow.Redo();
    ASSERT_EQ(flow.nodes(), QList<Node*>{n});
    EXPECT_EQ(n->rect(), QRectF(180, 140, 100, 100));
    flow.Redo();
    EXPECT_EQ(n->rect(), QRectF(180, 140, 140, 160));
    EXPECT_FALSE(flow.canRedo());

    // A click that moves nothing is no change to undo.
    const int changes = flow.undoCount();
    QTest::mouseClick(flow.viewport(), Qt::LeftButton, {}, flow.mapFromScene(QPointF(250, 220)));
    EXPECT_EQ(flow.undoCount(), changes);
}

TEST_F(DiagramTest, DeleteKeyRemovesTheSelectionAndUndoPutsItBackInItsPlace)
{
    Node* a = flow.addNode(100, 100, 100, 100);
    Node* b = flow.addNode(100, 100, 100, 100);   // on the same spot, on top
    Node* c = flow.addNode(300, 100, 50, 50);
    QTest::mouseClick(flow.viewport(), Qt::LeftButton, {}, flow.mapFromScene(QPointF(150, 150)));
    EXPECT_TRUE(b->isSelected());
    EXPECT_FALSE(a->isSelected());
    QTest::keyClick(&flow, Qt::Key_Delete);
    EXPECT_EQ(flow.nodes(), (QList<Node*>{a, c}));
    flow.Undo();
    EXPECT_EQ(flow.nodes(), (QList<Node*>{a, b, c}));

    // A new change after an undo drops what could have been redone.
    flow.Undo();   // b's deletion is undone already; this takes c away
    EXPECT_EQ(flow.nodes(), (QList<Node*>{a, b}));
    flow.addNode(10, 10, 20, 20);
    EXPECT_FALSE(flow.canRedo());
    EXPECT_EQ(flow.nodes().size(), 3);
    EXPECT_EQ(flow.extent(), QRectF(0, 0, 200, 200));
}

TEST(DiagramPrint, PageTextsAndLayout)
{
    struct Case {
        const char* text;
        int page;
        const char *left, *centre, *right;
    } cases[] = {
        {"||07-Dec-2026", 1, "", "", "07-Dec-2026"},
        {"|- Page <PAGE> -|", 3, "", "- Page 3 -", ""},
        {"Room", 1, "Room", "", ""},
        {"a|b|c|d", 1, "a", "b", "c|d"},
    };
    for (const Case& c : cases) {
        const diagram::PageTexts t = diagram::pageTexts(c.text, c.page);
        EXPECT_EQ(t.left, c.left) << c.text;
        EXPECT_EQ(t.centre, c.centre) << c.text;
        EXPECT_EQ(t.right, c.right) << c.text;
    }
    EXPECT_EQ(diagram::colorValue(16711680), QColor(0, 0, 255));

    const QSizeF letter(12240, 15840);
    // A small room prints at its size on screen, below the header.
    diagram::DiagramPage p = diagram::layoutPage(QRectF(0, 0, 400, 300), letter, 8, "||x", "|y|");
    EXPECT_EQ(p.target.size(), QSizeF(6000, 4500));
    EXPECT_GE(p.target.top(), p.header.bottom());
    EXPECT_EQ(p.source, QRectF(0, 0, 400, 300));
    // A large one shrinks to the page's width, keeping its shape.
    p = diagram::layoutPage(QRectF(0, 0, 2000, 1000), letter, 8, "", "");
    EXPECT_DOUBLE_EQ(p.target.width(), 12240 - 2 * diagram::kPageMargin);
    EXPECT_DOUBLE_EQ(p.target.height(), p.target.width() / 2);
    EXPECT_LE(p.target.bottom(), p.footer.top());
    // An empty one prints its page texts only.
    p = diagram::layoutPage(QRectF(), letter, 8, "||x", "|- Page <PAGE> -|");
    EXPECT_TRUE(p.target.isEmpty());
    EXPECT_EQ(p.footerTexts.centre, "- Page 1 -");
}

TEST_F(DiagramTest, PrintsToAFileAndSaysSoWhenThePrinterIsMissing)
{
    testsupport::ScriptedMessagesGuard messages;
    ui::ScriptedDialogsGuard dialogs;
    QTemporaryDir dir;
    flow.addNode(20, 20, 100, 100)->setText("Bar");
    diagram::PrnFlow prn;
    prn.setFlow(&flow);
    prn.setTitle("Room");
    prn.setHeader("Left||Right");
    prn.setFooter("|- Page <PAGE> -|");

    dialogs.dialogs->printAnswers = {true};
    dialogs.dialogs->printToPdf = dir.filePath("room.pdf");
    prn.PrintDocument();
    const QString text = testsupport::pdfText(dir.filePath("room.pdf"));
    if (!text.isNull()) {
        EXPECT_TRUE(text.contains("Left")) << text.toStdString();
        EXPECT_TRUE(text.contains("Right"));
        EXPECT_TRUE(text.contains("Bar"));
        EXPECT_TRUE(text.contains("- Page 1 -"));
        EXPECT_TRUE(testsupport::pdfInfo(dir.filePath("room.pdf")).contains(QRegularExpression("Title: +Room")));
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());

    // Cancelled: nothing printed, nothing said.
    dialogs.dialogs->printAnswers = {false};
    prn.PrintDocument();
    EXPECT_TRUE(messages.msgs->shown.isEmpty());

    diagram::PrnFlow missing;
    missing.setFlow(&flow);
    missing.printer().setPrinterName("No such printer");
    dialogs.dialogs->printToPdf.clear();
    dialogs.dialogs->printAnswers = {true};
    missing.PrintDocument();
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.startsWith("The report could not be printed."));
    EXPECT_EQ(dialogs.dialogs->printRequests, 3);
}

TEST(ButtonBar, GroupsOpenOneAtATimeAndItemsReportTheirKeys)
{
    diagram::ButtonBar bar;
    bar.resize(110, 400);
    bar.setLargeIcon("A", QPixmap(32, 32));
    const int tables = bar.addGroup("Tables");
    const int room = bar.addGroup("Room");
    bar.addItem(tables, "Round Table for 4", "Round4", "A");
    bar.addItem(room, "Bar", "Bar", "A");
    bar.addItem(room, "Plant", "Plant", "none");
    bar.show();
    QSignalSpy clicks(&bar, &diagram::ButtonBar::ButtonClick);

    EXPECT_EQ(bar.currentGroup(), tables);
    EXPECT_TRUE(bar.item("Round4")->isVisible());
    EXPECT_FALSE(bar.item("Bar")->isVisible());
    EXPECT_FALSE(bar.item("Bar")->picture().isNull());
    EXPECT_TRUE(bar.item("Plant")->picture().isNull());   // no icon under that key
    // A caption too wide for the bar goes on two lines.
    EXPECT_GT(bar.item("Round4")->heightForWidth(60), bar.item("Bar")->heightForWidth(60));

    QTest::mouseClick(bar.groupHeader(room), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.currentGroup(), room);
    EXPECT_TRUE(bar.item("Bar")->isVisible());
    EXPECT_FALSE(bar.item("Round4")->isVisible());
    // The header of the open group stays above its items, the others below.
    EXPECT_LT(bar.groupHeader(tables)->y(), bar.groupHeader(room)->y());
    EXPECT_LT(bar.groupHeader(room)->y(), bar.item("Bar")->mapTo(&bar, QPoint()).y());

    QTest::mouseClick(bar.item("Plant"), Qt::LeftButton);
    bar.item("Bar")->setFocus();
    QTest::keyClick(bar.item("Bar"), Qt::Key_Space);
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0][0].toString(), "Plant");
    EXPECT_EQ(clicks[1][0].toString(), "Bar");
}
