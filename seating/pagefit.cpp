#include "seating/pagefit.h"

#include "platform/print/previewbox.h"
#include "platform/print/printer.h"

#include <cmath>

namespace printPreview {

Fit fitToPage(const QSizeF& page, const QSizeF& inner)
{
    const double rH = inner.height() / page.height();
    const double rW = inner.width() / page.width();
    Fit f;
    if (rH < rW) {
        f.scale = rH;
        f.narrowed = true;
        f.outer = page.width() * f.scale;
    } else {
        f.scale = rW;
        f.outer = page.height() * f.scale;
    }
    return f;
}

double FitPreviewToPrinter(printing::PreviewBox& box)
{
    const printing::Printer& printer = printing::printer();
    const QSizeF page = printer.pageInches();
    if (!(page.width() > 0 && page.height() > 0))
        return 0;
    const Fit f = fitToPage(page, box.innerInches());
    const int outer = int(std::nearbyint(f.outer * printing::PreviewBox::kPixelsPerInch));
    if (f.narrowed)
        box.resize(outer, box.height());
    else
        box.resize(box.width(), outer);
    box.Scale(QRectF(0, 0, page.width() + 0.02, page.height()));
    box.FontName = printer.FontName;
    box.FontSize = printer.FontSize * f.scale;
    box.ForeColor = printer.ForeColor;
    box.Cls();
    return f.scale;
}

}  // namespace printPreview
