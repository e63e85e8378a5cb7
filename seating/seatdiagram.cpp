#include "seating/seatdiagram.h"

#include "platform/twips.h"
#include "platform/ui/dragdrop.h"
#include "platform/ui/fonts.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace seating {

namespace {
constexpr int kBorder = 1;  // the box's fixed single border, in pixels
// A box is drawn as a card a little lower than its place, so that the
// boxes at the corners of a 16-seat table (whose places overlap there) stand
// apart; names are placed in the whole box and so fall inside the card.
constexpr int kCardInsetX = 1, kCardInsetY = 10;
}

QFont toQFont(const SeatFont& f)
{
    QFont font = fonts::font(f.faceName);
    font.setPixelSize(std::max(1, std::abs(f.height)));
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

int SeatBox::shownWidth() const { return innerSize().width() - 2 * (kCardInsetX + kBorder); }

QRect SeatBox::cardRect() const { return rect().adjusted(kCardInsetX, kCardInsetY, -kCardInsetX, -kCardInsetY); }

void SeatBox::resizeEvent(QResizeEvent*)
{
    ensureCanvas();
    // Only the card is the box on screen, for the eye and the mouse.
    setMask(QRegion(cardRect()));
}

void SeatBox::ensureCanvas()
{
    const qreal dpr = devicePixelRatioF();
    if (!canvas_.isNull() && canvas_.size() == innerSize() * dpr)
        return;
    QImage fresh(innerSize() * dpr, QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(dpr);
    fresh.fill(Qt::transparent);
    if (!canvas_.isNull()) {
        QPainter p(&fresh);
        p.drawImage(0, 0, canvas_);
    }
    canvas_ = fresh;
}

void SeatBox::clear()
{
    ensureCanvas();
    canvas_.fill(Qt::transparent);
    printed_.clear();
    setToolTip(QString());
    update();
}

void SeatBox::print(const QString& text, double x, double y, const QFont& font, int escapement)
{
    printed_ << text;
    if (text.isEmpty())
        return;
    ensureCanvas();
    QPainter p(&canvas_);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(palette().color(QPalette::WindowText));
    p.translate(std::nearbyint(x / twips::kTwipsPerPixel), std::nearbyint(y / twips::kTwipsPerPixel));
    p.rotate(-escapement / 10.0);
    p.drawText(QPointF(0, QFontMetricsF(font).ascent()), text);
    update();
}

void SeatBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect card = cardRect();
    p.fillRect(card, Qt::white);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(card.adjusted(0, 0, -1, -1));
    p.setClipRect(card.adjusted(1, 1, -1, -1));
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
