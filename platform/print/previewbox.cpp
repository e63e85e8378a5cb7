#include "platform/print/previewbox.h"

#include <QPainter>

namespace printing {

PreviewBox::PreviewBox(QWidget* parent)
    : QFrame(parent), drawn_(QSizeF(0, 0), kPixelsPerInch, kPixelsPerInch)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAutoFillBackground(false);
    drawn_.setDeviceSize(innerPixels());
}

void PreviewBox::Cls()
{
    drawn_.clear();
    update();
}

Surface& PreviewBox::surface(bool inPixels)
{
    drawn_.setDeviceSize(innerPixels());
    drawn_.setScale(inPixels ? QRectF() : scale_);
    drawn_.setFont(TextFont{FontName, TextFont::heightOf(FontSize, kPixelsPerInch)});
    drawn_.setColor(ForeColor);
    update();
    return drawn_;
}

void PreviewBox::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    QPainter p(this);
    const QRect inner = contentsRect();
    p.fillRect(inner, Qt::white);
    p.setClipRect(inner);
    p.translate(inner.topLeft());
    p.setRenderHint(QPainter::Antialiasing, false);
    drawn_.replay(p);
}

void PreviewBox::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    drawn_.setDeviceSize(innerPixels());
}

}  // namespace printing
