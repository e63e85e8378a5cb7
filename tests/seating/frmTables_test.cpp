// The table layout designer, driven as a user does: palette clicks place
// pictures, the toolbar undoes, redoes, previews and prints, and the
// commands without an action change nothing.

#include "support/editors.h"
#include "support/fixture.h"
#include "support/pdf.h"

#include "records/modQVDatabase.h"
#include "platform/twips.h"
#include "platform/ui/dialogs.h"
#include "seating/frmTables.h"
#include "seating/tablepictures.h"
#include "views/frmPreview.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

struct Item {
    int group;
    const char* key;
    const char* file;
};

const Item kPalette[] = {
    {0, "TableRound4", "/images 5/tables/round4t.gif"}, {0, "TableRound6", "/images 5/tables/round6t.gif"},
    {0, "TableRound8", "/images 5/tables/round8t.gif"}, {0, "TableRound10", "/images 5/tables/round10t.gif"},
    {0, "TableRound12", "/images 5/tables/round12t.gif"}, {0, "TableRound16", "/images 5/tables/round16t.gif"},
    {1, "TableSquare4", "/images 5/tables/square4.gif"}, {1, "TableSquare6", "/images 5/tables/square6.gif"},
    {1, "TableSquare8", "/images 5/tables/square8.gif"}, {1, "TableSquare10", "/images 5/tables/square10.gif"},
    {1, "TableSquare12", "/images 5/tables/square12.gif"}, {1, "TableSquare16", "/images 5/tables/square16.gif"},
    {2, "DanceFloor", "/images 5/tables/DanceFloor.gif"}, {2, "Band", "/images 5/tables/band.gif"},
    {2, "DJ", "/images 5/tables/dj.gif"}, {2, "HeadTable", "/images 5/tables/headtable.gif"},
    {2, "GiftTable", "/images 5/tables/gifttable.gif"}, {2, "Bar", "/images 5/tables/bar.gif"},
    {2, "Plant", "/images 5/tables/plant.gif"},
};

const QString kProgramDir = QStringLiteral(NUPTARO_PROGRAM_DIR);

class TablesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        modQVDatabase::useFolder(kProgramDir);
        f().today = [] { return QDate(2026, 12, 7); };
        f().Show(ui::vbModeless);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        frmPreview::instance().Unload();
        f().Unload();
        f().today = nullptr;
        modQVDatabase::useFolder(QString());
    }
    static frmTables& f() { return frmTables::instance(); }
    diagram::AddFlow& flow() { return *f().AddFlow; }

    // Opens the item's group and clicks the item.
    void place(const Item& item)
    {
        QTest::mouseClick(f().ButtonBar2->groupHeader(item.group), Qt::LeftButton);
        QTest::mouseClick(f().ButtonBar2->item(item.key), Qt::LeftButton);
    }
    void press(const char* key)
    {
        auto* a = f().Toolbar1->findChild<QAction*>(key);
        ASSERT_TRUE(a) << key;
        QTest::mouseClick(f().Toolbar1->widgetForAction(a), Qt::LeftButton);
    }
    QList<QRectF> rects()
    {
        QList<QRectF> out;
        for (diagram::Node* n : flow().nodes())
            out.push_back(n->rect());
        return out;
    }
    void drag(const QPointF& from, const QPointF& to)
    {
        QWidget* vp = flow().viewport();
        const QPoint a = flow().mapFromScene(from), b = flow().mapFromScene(to);
        QTest::mousePress(vp, Qt::LeftButton, {}, a);
        QTest::mouseMove(vp, b);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, b);
    }

    testsupport::ScriptedMessagesGuard messages;
    ui::ScriptedDialogsGuard dialogs;
};

}  // namespace

TEST_F(TablesTest, WindowShowsItsToolbarAndPaletteAtTheirPlaces)
{
    EXPECT_EQ(f().ButtonBar2->pos(), twips::rect(0, 600, 1572, 7332).topLeft());
    QStringList keys;
    for (QAction* a : f().Toolbar1->actions()) {
        keys << a->objectName();
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    }
    EXPECT_EQ(keys, QStringList({"tlbOpen", "tlbSave", "tlbPrint", "tlbPreview", "tlbUndo", "tlbRedo", "tlbCircle",
                                 "tlbSquare"}));
    EXPECT_EQ(f().ImageList1.keys().size(), 9);

    diagram::ButtonBar& bar = *f().ButtonBar2;
    ASSERT_EQ(bar.groupCount(), 3);
    QStringList shown, expected;
    for (int g = 0; g < 3; ++g)
        for (diagram::BarItem* i : bar.items(g)) {
            shown << QString::number(g) + " " + i->key();
            EXPECT_EQ(i->picture().size(), QSize(32, 32));
        }
    for (const Item& i : kPalette)
        expected << QString::number(i.group) + " " + i.key;
    EXPECT_EQ(shown, expected);
}

TEST_F(TablesTest, EachPaletteItemPlacesItsPictureAtTheSameSpot)
{
    int placed = 0;
    for (const Item& item : kPalette) {
        place(item);
        ASSERT_EQ(flow().nodes().size(), ++placed) << item.key;
        const diagram::Node* n = flow().nodes().back();
        EXPECT_EQ(n->rect(), QRectF(100, 100, 100, 100)) << item.key;
        EXPECT_TRUE(n->text().isEmpty());
        EXPECT_EQ(n->picturePosition(), 1);
        EXPECT_EQ(n->drawStyle(), 2);
        const QImage file(kProgramDir + item.file);
        ASSERT_FALSE(file.isNull()) << item.file;
        EXPECT_EQ(n->picture(), file) << item.key;
    }
    // The same item twice: two nodes, one on the other.
    place(kPalette[0]);
    ASSERT_EQ(flow().nodes().size(), placed + 1);
    EXPECT_EQ(flow().nodes().back()->picture(), flow().nodes().front()->picture());
    EXPECT_EQ(flow().nodes().back()->rect(), flow().nodes().front()->rect());
    EXPECT_GT(flow().nodes().back()->zValue(), flow().nodes().front()->zValue());

    f().ButtonBar2_ButtonClick("Chair");   // no such item
    EXPECT_EQ(flow().nodes().size(), placed + 1);
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(TablesTest, PicturesAreOurDrawingsEachItsOwn)
{
    QList<QImage> seen;
    for (const Item& item : kPalette) {
        const QImage file = QImage(kProgramDir + item.file).convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = tablepictures::roomPicture(item.key, file.width()).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(file.size(), drawn.size()) << item.file;
        // The file holds the drawing: see-through where it is, colours close by.
        int differ = 0;
        for (int y = 0; y < file.height(); y += 3)
            for (int x = 0; x < file.width(); x += 3) {
                const QRgb a = file.pixel(x, y), b = drawn.pixel(x, y);
                if ((qAlpha(a) >= 128) != (qAlpha(b) >= 128)
                    || (qAlpha(b) >= 128 && std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                                                    + std::abs(qBlue(a) - qBlue(b)) > 60))
                    ++differ;
            }
        EXPECT_LT(differ, file.width() * file.height() / 9 / 100) << item.file;
        EXPECT_FALSE(seen.contains(file)) << item.file;
        seen.push_back(file);
    }
}

TEST_F(TablesTest, AMissingPictureIsSaidAndPlacesNothing)
{
    QTemporaryDir empty;
    modQVDatabase::useFolder(empty.path());
    place(kPalette[12]);
    EXPECT_TRUE(flow().nodes().isEmpty());
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_EQ(messages.msgs->shown[0].text,
              "The picture of this item could not be read: " + empty.path() + "/images 5/tables/DanceFloor.gif");
}

TEST_F(TablesTest, MoveSizeThenUndoAndRedoFromTheToolbar)
{
    place(kPalette[2]);
    place(kPalette[15]);
    diagram::Node* head = flow().nodes().back();
    drag({150, 150}, {450, 130});   // the head table, on top
    EXPECT_EQ(head->rect(), QRectF(400, 80, 100, 100));
    drag({500, 130}, {620, 130});   // its right handle: longer
    EXPECT_EQ(head->rect(), QRectF(400, 80, 220, 100));
    EXPECT_EQ(flow().nodes().front()->rect(), QRectF(100, 100, 100, 100));

    press("tlbUndo");
    EXPECT_EQ(head->rect(), QRectF(400, 80, 100, 100));
    press("tlbUndo");
    EXPECT_EQ(head->rect(), QRectF(100, 100, 100, 100));
    press("tlbUndo");
    EXPECT_EQ(flow().nodes().size(), 1);
    press("tlbRedo");
    press("tlbRedo");
    press("tlbRedo");
    EXPECT_EQ(rects(), (QList<QRectF>{{100, 100, 100, 100}, {400, 80, 220, 100}}));
    press("tlbRedo");   // nothing more to redo
    EXPECT_EQ(rects(), (QList<QRectF>{{100, 100, 100, 100}, {400, 80, 220, 100}}));
}

TEST_F(TablesTest, OpenSaveCircleAndSquareChangeNothing)
{
    place(kPalette[0]);
    place(kPalette[7]);
    drag({150, 150}, {300, 300});
    press("tlbUndo");   // something to redo, too
    const QList<QRectF> before = rects();
    const int changes = flow().undoCount();
    const QList<diagram::Node*> selected = flow().selectedNodes();
    for (const char* key : {"tlbOpen", "tlbSave", "tlbCircle", "tlbSquare"}) {
        press(key);
        EXPECT_EQ(rects(), before) << key;
        EXPECT_EQ(flow().undoCount(), changes) << key;
        EXPECT_TRUE(flow().canRedo());
        EXPECT_EQ(flow().selectedNodes(), selected);
    }
    f().Toolbar1_ButtonClick("tlbDelete");   // a key without a button
    EXPECT_EQ(rects(), before);
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
    EXPECT_EQ(dialogs.dialogs->printRequests, 0);
    EXPECT_EQ(dialogs.dialogs->fileRequests.size(), 0);
    EXPECT_FALSE(frmPreview::instance().isLoaded());
    EXPECT_TRUE(f().widget()->isVisible());
}

TEST_F(TablesTest, ResizingSizesTheDiagramAndPaletteUnlessTooSmall)
{
    // The window's size counts its frame, as the platform gives it.
    QWidget* w = f().widget();
    const QSize frame = w->frameGeometry().size() - w->size();
    auto outer = [&](int width, int height) {
        w->resize(QSize(width, height) - frame);
        QCoreApplication::processEvents();
    };
    outer(1005, 705);   // 15075 x 10575 twips
    EXPECT_EQ(f().AddFlow->size(), QSize(twips::toPixels(15075 - 1720), twips::toPixels(10575 - 1120)));
    EXPECT_EQ(f().ButtonBar2->size(), QSize(twips::toPixels(1572), twips::toPixels(10575 - 1120)));
    EXPECT_EQ(f().AddFlow->pos(), twips::rect(1560, 600, 10332, 7332).topLeft());
    EXPECT_EQ(f().Toolbar1->geometry(), twips::rect(0, 0, 12624, 552));

    const QSize flowSize = f().AddFlow->size(), barSize = f().ButtonBar2->size();
    for (const QSize s : {QSize(900, 80), QSize(120, 600), QSize(100, 70)}) {   // 1200 high, 1800 wide
        outer(s.width(), s.height());
        EXPECT_EQ(f().AddFlow->size(), flowSize) << s.width() << "x" << s.height();
        EXPECT_EQ(f().ButtonBar2->size(), barSize);
    }
    outer(700, 500);
    EXPECT_EQ(f().AddFlow->size(), QSize(twips::toPixels(10500 - 1720), twips::toPixels(7500 - 1120)));
}

TEST_F(TablesTest, PrintsEmptyAndFullDiagramsWithTheHeaderOfTheDay)
{
    EXPECT_EQ(frmTables::layoutHeader(QDate(2026, 12, 7)), "||07-Dec-2026");
    EXPECT_EQ(frmTables::layoutHeader(QDate(2027, 5, 21)), "||21-May-2027");

    QTemporaryDir dir;
    qint64 emptySize = 0;
    for (const char* name : {"empty.pdf", "full.pdf"}) {
        const bool full = QString(name) == "full.pdf";
        if (full)
            for (const Item& i : kPalette)
                place(i);
        const QString file = dir.filePath(name);
        dialogs.dialogs->printAnswers = {true};
        dialogs.dialogs->printToPdf = file;
        press("tlbPrint");
        diagram::PrnFlow& prn = *f().PrnFlow1;
        EXPECT_EQ(prn.title(), "Table Layout");
        EXPECT_EQ(prn.textSize(), 8);
        EXPECT_EQ(prn.header(), "||07-Dec-2026");
        EXPECT_EQ(prn.footer(), "|- Page <PAGE> -|");
        EXPECT_EQ(prn.foreColor(), 16711680);
        EXPECT_FALSE(prn.preview());
        EXPECT_EQ(prn.flow(), f().AddFlow);
        EXPECT_EQ(prn.layout(QSizeF(12240, 15840)).target.isEmpty(), !full);

        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(out.read(4) == "%PDF");
        const QString text = testsupport::pdfText(file);
        if (!text.isNull()) {
            EXPECT_TRUE(text.contains("07-Dec-2026")) << text.toStdString();
            EXPECT_TRUE(text.contains("- Page 1 -"));
            const QString info = testsupport::pdfInfo(file);
            EXPECT_TRUE(info.contains(QRegularExpression("Title: +Table Layout"))) << info.toStdString();
            EXPECT_TRUE(info.contains(QRegularExpression("Pages: +1\\b")));
        }
        if (full) {
            EXPECT_GT(out.size(), emptySize + 10000);   // the pictures are in it
        emptySize = out.size();
        }
        if (qEnvironmentVariableIsSet("NUPTARO_KEEP_PDF"))
            QFile::copy(file, qEnvironmentVariable("NUPTARO_KEEP_PDF") + '/' + name);
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(TablesTest, PreviewShowsInPlaceOfTheWindowAndBringsItBack)
{
    for (bool full : {false, true}) {
        if (full)
            place(kPalette[5]);
        const QRect where = f().widget()->geometry();
        press("tlbPreview");
        frmPreview& p = frmPreview::instance();
        ASSERT_TRUE(p.isLoaded());
        EXPECT_TRUE(p.widget()->isVisible());
        EXPECT_FALSE(f().widget()->isVisible());
        EXPECT_EQ(p.widget()->geometry(), where);
        EXPECT_TRUE(f().PrnFlow1->preview());
        EXPECT_EQ(p.gridPreview->pageCount(), 1);
        EXPECT_EQ(p.gridPreview->printer().docName(), "Table Layout");

        // Printing from the preview prints the diagram.
        QTemporaryDir dir;
        dialogs.dialogs->printAnswers = {true};
        dialogs.dialogs->printToPdf = dir.filePath("preview.pdf");
        QTest::mouseClick(p.gridPreview->printButton(), Qt::LeftButton);
        const QString text = testsupport::pdfText(dir.filePath("preview.pdf"));
        if (!text.isNull()) {
            EXPECT_TRUE(text.contains("07-Dec-2026"));
        }

        QTest::mouseClick(p.gridPreview->closeButton(), Qt::LeftButton);
        EXPECT_FALSE(p.isLoaded());
        EXPECT_TRUE(f().widget()->isVisible());
        EXPECT_EQ(flow().nodes().size(), full ? 1 : 0);   // the diagram is as it was
    }
    EXPECT_TRUE(messages.msgs->shown.isEmpty());
}

TEST_F(TablesTest, APrinterThatIsNotThereIsSaid)
{
    place(kPalette[0]);
    f().PrnFlow1->printer().setPrinterName("No such printer");
    dialogs.dialogs->printAnswers = {true};
    press("tlbPrint");
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("printer"));
    EXPECT_EQ(flow().nodes().size(), 1);
}

TEST_F(TablesTest, ClosingForgetsTheDiagram)
{
    place(kPalette[0]);
    f().Unload();
    f().Show(ui::vbModeless);
    EXPECT_TRUE(flow().nodes().isEmpty());
    EXPECT_FALSE(flow().canUndo());
}

TEST_F(TablesTest, Screenshot)
{
    NUPTARO_SCREENSHOTS_OR_SKIP(dir);
    // A reception room: head table at the top, dance floor in the middle,
    // round tables around it, the band, bar, gifts and plants at the sides.
    struct Spot {
        int item;
        QRectF at;
    } room[] = {
        {15, {230, 10, 260, 90}},  {12, {290, 150, 150, 150}}, {13, {560, 30, 110, 100}},
        {3, {100, 130, 110, 110}}, {3, {100, 270, 110, 110}},  {4, {490, 150, 110, 110}},
        {4, {490, 290, 110, 110}}, {10, {280, 330, 100, 100}}, {17, {605, 320, 110, 100}},
        {16, {10, 10, 120, 100}},  {18, {650, 0, 60, 60}},     {18, {20, 360, 60, 60}},
        {14, {390, 320, 90, 90}},
    };
    for (const Spot& s : room) {
        place(kPalette[s.item]);
        flow().nodes().back()->setRect(s.at);
    }
    flow().nodes()[7]->setSelected(true);
    QTest::mouseClick(f().ButtonBar2->groupHeader(2), Qt::LeftButton);
    testsupport::snap(f().widget(), dir, "table_designer");
    QTest::mouseClick(f().ButtonBar2->groupHeader(0), Qt::LeftButton);
    testsupport::snap(f().ButtonBar2, dir, "table_designer_round");
    press("tlbPreview");
    QCoreApplication::processEvents();
    testsupport::snap(frmPreview::instance().widget(), dir, "table_designer_preview");
}
