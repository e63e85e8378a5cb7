#pragma once
// Fitting a preview box to the printer's page: the box takes the page's
// proportions and a coordinate system in page inches, with the printer's
// font scaled down, so that a preview is drawn with the same numbers as
// the page.

#include <QSizeF>

namespace printing {
class PreviewBox;
}

namespace printPreview {

struct Fit {
    double scale = 0;     // inches of the box per inch of the page
    bool narrowed = false;  // the box keeps its height and is made narrower
    double outer = 0;     // the box's new outer width (narrowed) or height, inches
};

// The fit of a box whose drawable area is `inner` to a page, both in inches.
Fit fitToPage(const QSizeF& page, const QSizeF& inner);

// Reshapes, rescales and clears the box; returns the scale, 0 when the
// printer reports no page (the box is then left as it is).
double FitPreviewToPrinter(printing::PreviewBox& box);

}  // namespace printPreview
