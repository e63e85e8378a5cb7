#pragma once
// The seat diagram's controls: the table shape, drawn in one of six styles,
// and the seat boxes, each a small picture that names are printed into and
// that keeps what was printed until it is cleared. Both are placed in twips.

#include "seating/seatlayout.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace seating {

// Shape styles: 0 rectangle, 1 square, 2 oval, 3 circle, 4 rectangle with
// curved corners, 5 square with curved corners.
class TableShape : public QWidget {
public:
    explicit TableShape(QWidget* parent);
    int style() const { return style_; }
    void setStyle(int style);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int style_ = 5;
};

class SeatBox : public QWidget {
public:
    SeatBox(QWidget* parent, int index);
    int index() const { return index_; }

    // Place in twips; only Left and Top ever change. A box off the diagram's
    // left edge (parked or hidden) is not shown.
    float left() const { return left_; }
    float top() const { return top_; }
    void setLeft(float twips);
    void setTop(float twips);

    // Erases what was printed, and the tooltip that named it.
    void clear();
    // Prints a line with its top left corner at (x, y) twips inside the box,
    // in the font given, turned by the font's escapement.
    void print(const QString& text, double x, double y, const QFont& font, int escapement);
    // The text printed since the last clear, one entry per line.
    const QStringList& printed() const { return printed_; }
    QSize innerSize() const;
    // The width of the inner area that shows on screen, pixels: a line no
    // wider, centred, shows whole.
    int shownWidth() const;
    // Where the box is drawn inside its place.
    QRect cardRect() const;

    // Mouse handlers of the owner: button and shift in classic codes, the
    // point in twips inside the box.
    std::function<void(int index, int button, int shift, QPointF pos)> onMouseDown, onMouseMove;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void place();
    void ensureCanvas();
    int index_;
    float left_ = kHiddenLeft, top_ = 0;
    QImage canvas_;
    QStringList printed_;
};

// The seat font as the platform draws it: its face at the record's pixel height.
QFont toQFont(const SeatFont& f);

}  // namespace seating
