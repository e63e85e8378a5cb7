#pragma once
// A preview box: a picture box that keeps what is drawn on it (and paints
// it again whenever it is shown), with its own coordinate system, font and
// text colour. Its drawable area is inside a sunken border.

#include "platform/print/surface.h"

#include <QFrame>
#include <QRectF>
#include <QSizeF>

namespace printing {

class PreviewBox : public QFrame {
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    static constexpr double kPixelsPerInch = 96;  // 1440 twips, 15 to a pixel

    QSize innerPixels() const { return contentsRect().size(); }
    QSizeF innerInches() const { return QSizeF(innerPixels()) / kPixelsPerInch; }

    // The user coordinate system: the logical rectangle the drawable area
    // covers; an empty one is pixels.
    void Scale(const QRectF& logical) { scale_ = logical; }
    QRectF scale() const { return scale_; }

    QString FontName = fonts::kDesignFace;
    double FontSize = 8;  // points of the box
    QColor ForeColor = Qt::black;

    // Clears what was drawn.
    void Cls();
    // Draws on the box in its user scale, or in pixels, starting with its
    // font and colour.
    Surface& surface(bool inPixels = false);
    // What is on the box now.
    const RecordingSurface& drawn() const { return drawn_; }

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    QRectF scale_;
    RecordingSurface drawn_;
};

}  // namespace printing
