// Place cards: the card's layout on the page, one page per table and one
// job per copy, the font and colour, the preview of the first table, and
// nothing sent without events or tables.

#include "stationery_support.h"

#include "platform/print/previewbox.h"
#include "seating/frmPlacard.h"
#include "support/pdf.h"

#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using printing::Drawn;

class PlacardTest : public testsupport::StationeryTest {
protected:
    static frmPlacard& f() { return frmPlacard::instance(); }
    frmPlacard& open() { return show<frmPlacard>(); }
    void print(int copies = 1) { printWith(f().cmdPrint, copies); }
    // A text as "x,y turned height text".
    static QString describe(const Drawn& d)
    {
        return QString("%1,%2 %3 %4 %5")
            .arg(d.deviceAt.x())
            .arg(d.deviceAt.y())
            .arg(d.turned ? "T" : "U")
            .arg(d.font.height)
            .arg(d.text);
    }
    static QStringList described(const printing::RecordingSurface::Page& page)
    {
        QStringList out;
        for (const Drawn& d : page.texts())
            out << describe(d);
        return out;
    }
};

TEST_F(PlacardTest, ACardAt600DotsPerInchStandsAsTheWorkedExample)
{
    const qint64 ev = event("Reception");
    const qint64 head = table(ev, "Head Table");
    const qint64 g = party("Adams");
    seat(head, person(g, "Ann", "Adams", {ev}), 0);
    seat(head, person(g, QString(), "Adams", {ev}), 1);  // no first name: the line begins with a blank
    open();
    EXPECT_EQ(f().window()->windowTitle(), "Seating Placards");
    EXPECT_EQ(printing::printer().FontSize, 24);
    print();
    ASSERT_EQ(jobs().size(), 1);
    EXPECT_EQ(jobs()[0].name, "Wedding Placards");
    EXPECT_TRUE(jobs()[0].ended);
    ASSERT_EQ(jobs()[0].pageCount(), 1);
    EXPECT_EQ(jobs()[0].surface->deviceSize(), QSizeF(5100, 6600));
    EXPECT_EQ(described(jobs()[0].surface->pages()[0]), QStringList({
                                                             "4500,2640 T 400 Head Table",
                                                             "600,3960 U 400 Head Table",
                                                             "4500,1920 T 200 Ann Adams",
                                                             "600,4680 U 200 Ann Adams",
                                                             "4500,1680 T 200  Adams",
                                                             "600,4920 U 200  Adams",
                                                         }));
    const Drawn name = jobs()[0].surface->pages()[0].texts()[0];
    EXPECT_EQ(name.font.name, "Liberation Sans");
    EXPECT_FALSE(name.font.bold);
    EXPECT_EQ(name.color, QColor(Qt::black));
}

TEST_F(PlacardTest, EachCopyIsAJobWithAPagePerTableInTheDatabasesOrder)
{
    const qint64 ev = event("Reception");
    const qint64 other = event("Rehearsal Dinner");
    const qint64 t1 = table(ev, "Table 1");
    table(ev, QVariant());  // nobody seated, no name
    const qint64 t3 = table(ev, "Table 3");
    table(other, "Elsewhere");
    const qint64 g = party("Baker");
    seat(t1, person(g, "Bea", "Baker", {ev}), 0);
    seat(t3, person(g, "Cal", "Baker", {ev}), 0);
    seat(t3, person(g, "Dee", "Baker", {ev}), 1);
    open();
    print(3);
    ASSERT_EQ(jobs().size(), 3);
    for (const auto& job : jobs()) {
        EXPECT_EQ(job.name, "Wedding Placards");
        EXPECT_TRUE(job.ended);
        ASSERT_EQ(job.pageCount(), 3);
        EXPECT_EQ(texts(job.surface->pages()[0]),
                  QStringList({"Table 1", "Table 1", "Bea Baker", "Bea Baker"}));
        EXPECT_EQ(texts(job.surface->pages()[1]), QStringList({"Unnamed", "Unnamed"}));
        EXPECT_EQ(texts(job.surface->pages()[2]),
                  QStringList({"Table 3", "Table 3", "Cal Baker", "Cal Baker", "Dee Baker", "Dee Baker"}));
    }
    // The other event's tables, chosen in the list.
    pick(f().Combo2, "Rehearsal Dinner");
    print();
    ASSERT_EQ(jobs().size(), 4);
    EXPECT_EQ(texts(jobs()[3].surface->pages()[0]), QStringList({"Elsewhere", "Elsewhere"}));
    EXPECT_EQ(f().Picture1->drawn().pages()[0].texts().value(0).text, "Elsewhere");
}

TEST_F(PlacardTest, BoldAndColourReachPaperAndPreviewAndReopeningResetsOnlyTheColour)
{
    const qint64 ev = event("Reception");
    seat(table(ev, "Roses"), person(party("Cole"), "Cy", "Cole", {ev}), 0);
    open();
    printing::PreviewBox* box = f().Picture1;
    const double scale = box->FontSize / 24;  // the fit's scale
    ASSERT_GT(scale, 0);
    EXPECT_EQ(texts(box->drawn().pages()[0]), QStringList({"Roses", "Roses", "Cy Cole", "Cy Cole"}));
    // The preview is the paper at the box's size: its page the box's inner
    // area, its letters 24 points of the box's inches.
    const QVector<Drawn> before = box->drawn().pages()[0].texts();
    const QSize inner = box->innerPixels();
    const double perInch = inner.height() / printing::printer().pageInches().height();
    EXPECT_EQ(before[2].font.height, std::nearbyint(24 * perInch / 72));
    EXPECT_EQ(before[0].font.height, std::nearbyint(48 * perInch / 72));
    EXPECT_EQ(before[1].deviceAt.x(), std::nearbyint(inner.width() / 8.5));
    EXPECT_EQ(before[1].deviceAt.y(), std::nearbyint(inner.height() / 2.0 * 1.2));

    dialogs.dialogs->fonts << ui::FontChoice{"Times", 20, true, false, true, false, QColor(Qt::red)};
    testsupport::click(f().cmdFont);
    EXPECT_EQ(dialogs.dialogs->fontRequests.value(0).size, 24);
    EXPECT_EQ(dialogs.dialogs->fontFlags.value(0), 258);
    for (const Drawn& d : box->drawn().pages()[0].texts()) {
        EXPECT_TRUE(d.font.bold && d.font.underline);
        EXPECT_EQ(d.font.name, "Times");
        EXPECT_EQ(d.color, QColor(Qt::red));
    }
    print();
    for (const Drawn& d : jobs()[0].surface->pages()[0].texts()) {
        EXPECT_TRUE(d.font.bold && d.font.underline && !d.font.italic);
        EXPECT_EQ(d.color, QColor(Qt::red));
    }
    EXPECT_EQ(jobs()[0].surface->pages()[0].texts()[0].font.height, 2 * 167);  // 20 pt at 600 dpi

    f().Unload();
    open();
    const Drawn again = f().Picture1->drawn().pages()[0].texts()[0];
    EXPECT_EQ(again.color, QColor(Qt::black));
    EXPECT_EQ(again.font.name, "Liberation Sans");
    EXPECT_TRUE(again.font.bold && again.font.underline);
}

TEST_F(PlacardTest, ATableNameTooLongForTheCardShrinksToFitItsFace)
{
    const qint64 ev = event("Reception");
    const QStringList names = {"The Ñúñez-Castellano and Okonkwo-Whitfield Families by the Garden Window",
                               "Head Table", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"};
    for (const QString& name : names)
        seat(table(ev, name), person(party("Cole"), "Cy", "Cole", {ev}), 0);
    open();
    print();
    ASSERT_EQ(jobs().size(), 1);
    ASSERT_EQ(jobs()[0].pageCount(), names.size());
    // The worked example's page: 5100 dots wide, the face from 600 to 4500.
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const QVector<Drawn> page = jobs()[0].surface->pages()[i].texts();
        ASSERT_EQ(page.size(), 4);
        const Drawn turned = page[0], upright = page[1];
        EXPECT_EQ(turned.text, names[i]);
        EXPECT_EQ(upright.font.height, turned.font.height);
        const double width = onPaper(upright.font).horizontalAdvance(names[i]);
        EXPECT_LE(upright.deviceAt.x() + width, 4500);
        EXPECT_GE(turned.deviceAt.x() - width, 600);
        EXPECT_EQ(turned.deviceAt, QPointF(4500, 2640));   // where the name always stands
        // Only a name too long shrinks; the guests keep their size.
        EXPECT_EQ(upright.font.height < 400, i != 1);
        if (upright.font.height < 400) {
            EXPECT_GT(width, 3900 * 0.95);   // as large as fits, no smaller
        EXPECT_EQ(page[3].font.height, 200);
        }
    }
    // The preview of the first card does the same within the box.
    const QVector<Drawn> preview = f().Picture1->drawn().pages()[0].texts();
    ASSERT_EQ(preview.size(), 4);
    EXPECT_LT(preview[1].font.height, 2 * preview[3].font.height);
    EXPECT_LE(preview[1].deviceAt.x() + printing::textWidth(preview[1].font, 96, names[0]),
              f().Picture1->innerPixels().width());
}

TEST_F(PlacardTest, EveryGuestOfATableOfUpToSixteenPrintsInsideTheFaceAndTheSafeMargin)
{
    const qint64 ev = event("Reception");
    const int sizes[] = {8, 12, 16};
    ado::Transaction seeding(db());
    for (int n : sizes) {
        const qint64 tbl = table(ev, QString("Table of %1").arg(n), n);
        const qint64 g = party(QString("Party %1").arg(n));
        for (int k = 1; k <= n; ++k)
            seat(tbl, person(g, QString("Guest%1x%2").arg(k).arg(n), k % 4 ? "Lindqvist" : "Okonkwo-Whitfield", {ev}),
                 k - 1);
    }
    seeding.commit();
    recording.reset();  // real pages
    QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("NUPTARO_PDF_DIR");
    const QString file = (keep.isEmpty() ? dir.path() : keep) + "/placards-8-12-16.pdf";
    dialogs.dialogs->printToPdf = file;
    open();
    print();
    EXPECT_EQ(shown(), QStringList());  // nobody is left off
    const testsupport::PdfWords pdf = testsupport::pdfWords(file);
    if (pdf.pages.isEmpty())
        GTEST_SKIP() << "poppler's tools are not at hand";
    ASSERT_EQ(pdf.pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const int n = sizes[i];
        SCOPED_TRACE(n);
        const QSizeF page = pdf.pages[i];
        const double fold = page.height() / 2, side = page.width() / 8.5, safe = 0.25 * 72;
        QMap<QString, int> seen;
        for (const testsupport::PdfWord& w : pdf.words) {
            if (w.page != i)
                continue;
            SCOPED_TRACE(w.text.toStdString());
            ++seen[w.text];
            // Within the face: an inch from either side, on one side of the
            // fold, a quarter inch inside the paper's top and bottom.
            EXPECT_GE(w.box.left(), side - 1);
            EXPECT_LE(w.box.right(), page.width() - side + 1);
            EXPECT_TRUE(w.box.bottom() <= fold || w.box.top() >= fold);
            EXPECT_GE(w.box.top(), safe);
            EXPECT_LE(w.box.bottom(), page.height() - safe);
        }
        // Each guest on both faces.
        for (int k = 1; k <= n; ++k)
            EXPECT_EQ(seen.value(QString("Guest%1x%2").arg(k).arg(n)), 2) << k;
    }
}

TEST_F(PlacardTest, ThePreviewShowsTheWholeCardInThePapersProportion)
{
    const qint64 ev = event("Reception");
    const qint64 tbl = table(ev, "Table 1", 8);
    const qint64 g = party("Young");
    for (int k = 1; k <= 8; ++k)
        seat(tbl, person(g, QString("Guest%1").arg(k), "Young", {ev}), k - 1);
    open();
    ASSERT_TRUE(testsupport::showActive(f().window()));
    print();
    const QVector<Drawn> paper = jobs()[0].surface->pages()[0].texts();
    const QVector<Drawn> preview = f().Picture1->drawn().pages()[0].texts();
    ASSERT_EQ(preview.size(), 18);   // the name and eight guests, on both faces
    const QSizeF page = jobs()[0].surface->deviceSize();
    const QSize inner = f().Picture1->innerPixels();
    const QRect room(QPoint(0, 0), inner);
    for (int i = 0; i < preview.size(); ++i) {
        const Drawn& d = preview[i];
        SCOPED_TRACE(d.text.toStdString());
        EXPECT_EQ(d.text, paper[i].text);
        // Where the paper has it, to a pixel or two.
        EXPECT_NEAR(d.deviceAt.x() / inner.width(), paper[i].deviceAt.x() / page.width(), 2.0 / inner.width());
        EXPECT_NEAR(d.deviceAt.y() / inner.height(), paper[i].deviceAt.y() / page.height(), 2.0 / inner.height());
        EXPECT_NEAR(double(d.font.height) / inner.height(), double(paper[i].font.height) / page.height(),
                    1.0 / inner.height());
        // Whole inside the box.
        const QSizeF size(printing::textWidth(d.font, 96, d.text), printing::lineHeight(d.font, 96));
        const QRectF at = d.turned ? QRectF(d.deviceAt - QPointF(size.width(), size.height()), size)
                                   : QRectF(d.deviceAt, size);
        EXPECT_TRUE(QRectF(room).contains(at)) << at.left() << "," << at.top() << " " << at.right() << ","
                                               << at.bottom();
    }
    // The box, within the window, has the paper's proportion.
    EXPECT_TRUE(f().window()->rect().contains(f().Picture1->geometry()));
    EXPECT_NEAR(double(inner.width()) / inner.height(), page.width() / page.height(), 0.02);
}

TEST_F(PlacardTest, GuestsBeyondWhatACardHoldsAreSaidBeforePrinting)
{
    const qint64 ev = event("Reception");
    const qint64 tbl = table(ev, "Banquet", 16);
    const qint64 g = party("Many");
    ado::Transaction seeding(db());
    for (int k = 1; k <= 40; ++k)
        seat(tbl, person(g, QString("Guest%1").arg(k), "Many", {ev}), k - 1);
    seeding.commit();
    open();
    print();
    EXPECT_EQ(shown(), QStringList({frmPlacard::kGuestsLeftOff}));
    const QVector<Drawn> paper = jobs()[0].surface->pages()[0].texts();
    ASSERT_LT(paper.size(), 2 + 2 * 40);
    EXPECT_TRUE(paper.last().text.endsWith(QChar(0x2026)));
    EXPECT_EQ(paper.last().font.height, 50);   // 6 points at 600 dots per inch
    for (const Drawn& d : paper)
        EXPECT_LE(d.deviceAt.y() + onPaper(d.font).height(), 6600 - 150) << d.text.toStdString();
}

TEST_F(PlacardTest, NoJobWithoutEventsOrTablesAndCancelPrintsNothing)
{
    open();
    EXPECT_EQ(shown(), QStringList({frmPlacard::kNoEvents}));
    EXPECT_TRUE(f().Picture1->drawn().isEmpty());
    EXPECT_EQ(f().Combo2->currentText(), "");
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(shown().last(), frmPlacard::kNoEvents);
    f().Unload();

    const qint64 ev = event("Reception");
    open();
    EXPECT_EQ(shown().size(), 2);
    EXPECT_TRUE(f().Picture1->drawn().isEmpty());
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(shown().last(), frmPlacard::kNoTables);
    EXPECT_EQ(dialogs.dialogs->printRequests, 0);
    f().Unload();

    table(ev, "Lilies");
    open();
    dialogs.dialogs->printAnswers << false;
    testsupport::click(f().cmdPrint);
    EXPECT_EQ(dialogs.dialogs->printRequests, 1);
    EXPECT_TRUE(jobs().isEmpty());
}

TEST_F(PlacardTest, TenTablesPrintToPdfOnePageEach)
{
    const qint64 ev = event("Reception");
    ado::Transaction seeding(db());
    for (int t = 1; t <= 10; ++t) {
        const qint64 tbl = table(ev, QString("Table %1").arg(t));
        const qint64 g = party(QString("Family %1").arg(t));
        for (int s = 1; s <= 8; ++s)
            seat(tbl, person(g, QString("Guest%1").arg(s), QString("Family%1").arg(t), {ev}), s - 1);
    }
    seeding.commit();
    recording.reset();
    QTemporaryDir dir;
    const QString keep = qEnvironmentVariable("NUPTARO_PDF_DIR");
    const QString file = (keep.isEmpty() ? dir.path() : keep) + "/placards.pdf";
    dialogs.dialogs->printToPdf = file;
    open();
    print(2);  // copies to a file follow each other in it
    const QString info = testsupport::pdfInfo(file);
    if (info.isNull())
        GTEST_SKIP() << "poppler's tools are not at hand";
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+20\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains("Wedding Placards"));
    EXPECT_TRUE(testsupport::pdfText(file).contains("Guest8 Family10"));
}

}  // namespace
