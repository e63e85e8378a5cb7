// Fitting a preview box to the printer's page.

#include "support/fixture.h"

#include "seating/pagefit.h"


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

}  // namespace
