#include "platform/ui/fonts.h"

#include <QApplication>

namespace fonts {

namespace {
// The size of the windows' text, in points.
constexpr qreal kWindowPoints = 9;
}  // namespace

void useDesignFonts()
{
    QFont f = font();
    f.setPointSizeF(kWindowPoints);
    QApplication::setFont(f);
}

}  // namespace fonts
