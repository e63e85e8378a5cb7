#include "seating/seatdiagram.h"

#include "platform/ui/dragdrop.h"
#include "platform/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace seating {

namespace {
constexpr int kBorder = 1;  // the box's fixed single border, in pixels
}

QFont toQFont(const SeatFont& f)
{
    QFont font(f.faceName);
    font.setPixelSize(std::max(1, std::abs(f.height)));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// ---------------------------------------------------------------- table shape

TableShape::TableShape(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

void TableShape::setStyle(int style)
{
    if (style == style_)
        return;
    style_ = style;
    update();
}

void TableShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1));
    p.setBrush(QColor(0xF3, 0xEA, 0xD7));
    QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool square = style_ == 1 || style_ == 3 || style_ == 5;
    if (square) {
        const qreal side = std::min(r.width(), r.height());
        r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }
    const qreal corner = std::min(r.width(), r.height()) / 8;
    switch (style_) {
    case 2:
    case 3: p.drawEllipse(r); break;
    case 4:
    case 5: p.drawRoundedRect(r, corner, corner); break;
    default: p.drawRect(r); break;
    }
}

// ---------------------------------------------------------------- seat box

SeatBox::SeatBox(QWidget* parent, int index) : QWidget(parent), index_(index)
{
    setObjectName(QString("picSeat%1").arg(index));
    setAttribute(Qt::WA_OpaquePaintEvent);
    place();
}

void SeatBox::setLeft(float twips)
{
    left_ = twips;
    place();
}

void SeatBox::setTop(float twips)
{
    top_ = twips;
    place();
}

void SeatBox::place()
{
    setGeometry(twips::rect(int(std::nearbyint(left_)), int(std::nearbyint(top_)), int(kSeatWidth), int(kSeatHeight)));
    // A parked or hidden box lies (almost) wholly off the diagram.
    setVisible(left_ >= 0);
}

QSize SeatBox::innerSize() const { return size() - QSize(2 * kBorder, 2 * kBorder); }

void SeatBox::resizeEvent(QResizeEvent*)
{
    const qreal dpr = devicePixelRatioF();
    QImage fresh(innerSize() * dpr, QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(dpr);
    fresh.fill(Qt::white);
    if (!canvas_.isNull()) {
        QPainter p(&fresh);
        p.drawImage(0, 0, canvas_);
    }
    canvas_ = fresh;
}

void SeatBox::clear()
{
    if (!canvas_.isNull())
        canvas_.fill(Qt::white);
    printed_.clear();
    update();
}

void SeatBox::print(const QString& text, double x, double y, const QFont& font, int escapement)
{
    printed_ << text;
    if (canvas_.isNull() || text.isEmpty())
        return;
    QPainter p(&canvas_);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(palette().color(QPalette::WindowText));
    p.translate(x / twips::kTwipsPerPixel, y / twips::kTwipsPerPixel);
    p.rotate(-escapement / 10.0);
    p.drawText(QPointF(0, QFontMetricsF(font).ascent()), text);
    update();
}

void SeatBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    p.drawImage(kBorder, kBorder, canvas_);
}

void SeatBox::mousePressEvent(QMouseEvent* e)
{
    if (onMouseDown)
        onMouseDown(index_, ui::buttonCode(e->button()), ui::shiftCode(e->modifiers()),
                    e->position() * twips::kTwipsPerPixel);
}

void SeatBox::mouseMoveEvent(QMouseEvent* e)
{
    if (onMouseMove)
        onMouseMove(index_, ui::buttonCode(e->buttons()), ui::shiftCode(e->modifiers()),
                    e->position() * twips::kTwipsPerPixel);
}

}  // namespace seating
