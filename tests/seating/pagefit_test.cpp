// Fitting a preview box to the printer's page.

#include "support/fixture.h"

#include "platform/print/previewbox.h"
#include "platform/print/printer.h"
#include "platform/twips.h"
#include "seating/pagefit.h"

#include <QPageLayout>
#include <QPrinter>

namespace {

TEST(PageFit, TheBoxKeepsTheSideThatLimitsItAndTheOtherIsCut)
{
    struct Case {
        QSizeF page, inner;
        double scale;
        bool narrowed;
        double outer;
    } const cases[] = {
        {{8.5, 11}, {3.0, 3.3}, 0.3, true, 2.55},              // relatively too wide: narrowed
        {{11, 8.5}, {3.0, 3.3}, 3.0 / 11, false, 2.318182},    // too tall: shortened
        {{8.5, 11}, {4.25, 5.5}, 0.5, false, 5.5},             // equal ratios shorten
    };
    for (const Case& c : cases) {
        const printPreview::Fit f = printPreview::fitToPage(c.page, c.inner);
        EXPECT_NEAR(f.scale, c.scale, 1e-9) << c.page.width();
        EXPECT_EQ(f.narrowed, c.narrowed) << c.page.width();
        EXPECT_NEAR(f.outer, c.outer, 1e-6) << c.page.width();
    }
}

TEST(PageFit, TheBoxTakesThePagesShapeScaleAndThePrintersFontWithoutEffects)
{
    printing::Printer& printer = printing::printer();
    printer.FontName = "Courier";
    printer.FontSize = 12;
    printer.FontBold = true;
    printer.ForeColor = Qt::darkGreen;
    struct Case {
        QPageLayout::Orientation orientation;
        QSize expected;  // pixels, from a box of 4932 x 5292 twips
    } const cases[] = {
        {QPageLayout::Portrait, {270, 353}},
        {QPageLayout::Landscape, {329, 251}},
    };
    for (const Case& c : cases) {
        printer.device().setPageOrientation(c.orientation);
        printing::PreviewBox box;
        box.resize(twipsToPixels(4932), twipsToPixels(5292));
        box.surface().fillBox({0, 0, 10, 10}, Qt::red);
        const double s = printPreview::FitPreviewToPrinter(box);
        EXPECT_EQ(box.size(), c.expected);
        const QSizeF page = printer.pageInches();
        EXPECT_EQ(box.scale(), QRectF(0, 0, page.width() + 0.02, page.height()));
        EXPECT_NEAR(s, std::min(349 / 96.0 / page.height(), 325 / 96.0 / page.width()), 1e-12);
        EXPECT_EQ(box.FontName, "Courier");
        EXPECT_DOUBLE_EQ(box.FontSize, 12 * s);
        EXPECT_EQ(box.ForeColor, QColor(Qt::darkGreen));
        EXPECT_TRUE(box.drawn().isEmpty());
        EXPECT_FALSE(box.surface().font().bold);
    }
    printer.device().setPageOrientation(QPageLayout::Portrait);
    printer.FontBold = false;
    printer.ForeColor = Qt::black;
}

}  // namespace
