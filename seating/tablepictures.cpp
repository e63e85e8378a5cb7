#include "seating/tablepictures.h"

#include "platform/ui/fonts.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tablepictures {

const std::vector<PaletteItem>& paletteItems()
{
    static const std::vector<PaletteItem> items{
        {"Round Tables", "Round Table for 4", "TableRound4", "TableRound4", "/images 5/tables/round4t.gif"},
        {"Round Tables", "Round Table for 6", "TableRound6", "TableRound6", "/images 5/tables/round6t.gif"},
        {"Round Tables", "Round Table for 8", "TableRound8", "TableRound8", "/images 5/tables/round8t.gif"},
        {"Round Tables", "Round Table for 10", "TableRound10", "TableRound10", "/images 5/tables/round10t.gif"},
        {"Round Tables", "Round Table for 12", "TableRound12", "TableRound12", "/images 5/tables/round12t.gif"},
        {"Round Tables", "RoundTable for 16", "TableRound16", "TableRound16", "/images 5/tables/round16t.gif"},
        {"Square Tables", "Square Table for 4", "TableSquare4", "Square4", "/images 5/tables/square4.gif"},
        {"Square Tables", "Square Table for 6", "TableSquare6", "Square6", "/images 5/tables/square6.gif"},
        {"Square Tables", "Square Table for 8", "TableSquare8", "Square8", "/images 5/tables/square8.gif"},
        {"Square Tables", "Square Table for 10", "TableSquare10", "Square10", "/images 5/tables/square10.gif"},
        {"Square Tables", "Square Table for 12", "TableSquare12", "Square12", "/images 5/tables/square12.gif"},
        {"Square Tables", "Square Table for 16", "TableSquare16", "Square16", "/images 5/tables/square16.gif"},
        {"Reception", "Dance Floor", "DanceFloor", "DanceFloor", "/images 5/tables/DanceFloor.gif"},
        {"Reception", "Band Stand", "Band", "Band", "/images 5/tables/band.gif"},
        {"Reception", "DJ", "DJ", "DJ", "/images 5/tables/dj.gif"},
        {"Reception", "HeadTable", "HeadTable", "HeadTable", "/images 5/tables/headtable.gif"},
        {"Reception", "Gift Table", "GiftTable", "GiftTable", "/images 5/tables/gifttable.gif"},
        {"Reception", "Bar", "Bar", "Bar", "/images 5/tables/bar.gif"},
        {"Reception", "Plant", "Plant", "Plant", "/images 5/tables/plant.gif"},
    };
    return items;
}

const PaletteItem* findItem(const QString& key)
{
    for (const PaletteItem& i : paletteItems())
        if (i.key == key)
            return &i;
    return nullptr;
}

namespace {

// Every picture is drawn on a 100 x 100 square and scaled to its size.
constexpr double kSide = 100;

const QColor kLinen(253, 250, 240);
const QColor kLinenEdge(150, 135, 115);
const QColor kChair(176, 112, 64);
const QColor kChairEdge(110, 68, 36);
const QColor kInk(90, 80, 70);

void chair(QPainter& p, const QPointF& at, double angleDeg, double width, double depth)
{
    p.save();
    p.translate(at);
    p.rotate(angleDeg);
    p.setPen(QPen(kChairEdge, 1.2));
    p.setBrush(kChair);
    p.drawRoundedRect(QRectF(-width / 2, -depth / 2, width, depth), depth * 0.3, depth * 0.3);
    p.restore();
}

void seatCount(QPainter& p, const QRectF& where, int n, int side)
{
    // Too small to read on an icon.
    if (side < 48)
        return;
    QFont f = fonts::font();
    f.setBold(true);
    f.setPixelSize(std::max(8, int(where.height() * 0.45)));
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(where, Qt::AlignCenter, QString::number(n));
}

void roundTable(QPainter& p, int n, int side)
{
    const double table = n <= 4 ? 22 : n <= 6 ? 25 : n <= 8 ? 28 : n <= 10 ? 30 : n <= 12 ? 32 : 34;
    const double c = n <= 6 ? 9 : n <= 10 ? 8 : n <= 12 ? 7 : 6;
    const double orbit = table + c + 1;
    const QPointF centre(50, 50);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n - std::numbers::pi / 2;
        chair(p, centre + QPointF(std::cos(a), std::sin(a)) * orbit, a * 180 / std::numbers::pi + 90, 2 * c,
              1.6 * c);
    }
    p.setPen(QPen(kLinenEdge, 1.5));
    p.setBrush(kLinen);
    p.drawEllipse(centre, table, table);
    p.setPen(QPen(QColor(225, 215, 195), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, table - 4, table - 4);
    seatCount(p, QRectF(centre.x() - table, centre.y() - table, 2 * table, 2 * table), n, side);
}

void squareTable(QPainter& p, int n, int side)
{
    // Chairs on the top, right, bottom and left sides.
    int per[4] = {1, 1, 1, 1};
    switch (n) {
    case 6: per[0] = per[2] = 2; break;
    case 8: std::fill(per, per + 4, 2); break;
    case 10: per[0] = per[2] = 3, per[1] = per[3] = 2; break;
    case 12: std::fill(per, per + 4, 3); break;
    case 16: std::fill(per, per + 4, 4); break;
    default: break;
    }
    const int most = *std::max_element(per, per + 4);
    const double s = std::clamp(16.0 * most + 10, 34.0, 70.0);
    const QRectF t(50 - s / 2, 50 - s / 2, s, s);
    const double depth = 9, gap = 2;
    for (int k = 0; k < 4; ++k) {
        const double spacing = s / per[k];
        const double w = std::min(13.0, spacing * 0.75);
        for (int i = 0; i < per[k]; ++i) {
            const double along = -s / 2 + spacing * (i + 0.5);
            const double out = s / 2 + gap + depth / 2;
            QPointF at;
            switch (k) {
            case 0: at = QPointF(along, -out); break;
            case 1: at = QPointF(out, along); break;
            case 2: at = QPointF(-along, out); break;
            default: at = QPointF(-out, -along); break;
            }
            chair(p, QPointF(50, 50) + at, 90.0 * k, w, depth);
        }
    }
    p.setPen(QPen(kLinenEdge, 1.5));
    p.setBrush(kLinen);
    p.drawRect(t);
    p.setPen(QPen(QColor(225, 215, 195), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(t.adjusted(4, 4, -4, -4));
    seatCount(p, t, n, side);
}

void danceFloor(QPainter& p)
{
    const QRectF floor(6, 6, 88, 88);
    const double tile = floor.width() / 8;
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            p.setBrush((r + c) % 2 ? QColor(185, 139, 82) : QColor(236, 214, 170));
            p.drawRect(QRectF(floor.left() + c * tile, floor.top() + r * tile, tile, tile));
        }
    p.setPen(QPen(QColor(110, 74, 36), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(floor);
}

void note(QPainter& p, const QPointF& head, const QColor& color)
{
    p.setPen(QPen(color, 2));
    p.drawLine(head + QPointF(3.5, 0), head + QPointF(3.5, -14));
    p.drawLine(head + QPointF(3.5, -14), head + QPointF(9, -10));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(head, 4.5, 3.5);
}

void bandStand(QPainter& p)
{
    QPainterPath stage;
    stage.moveTo(6, 12);
    stage.lineTo(94, 12);
    stage.lineTo(94, 70);
    stage.quadTo(50, 96, 6, 70);
    stage.closeSubpath();
    p.setPen(QPen(QColor(40, 44, 52), 2));
    p.setBrush(QColor(84, 90, 104));
    p.drawPath(stage);
    // Drum kit at the back, cymbals beside it.
    p.setPen(QPen(QColor(120, 120, 120), 1.5));
    p.setBrush(QColor(235, 235, 235));
    p.drawEllipse(QPointF(50, 34), 12, 12);
    p.drawEllipse(QPointF(38, 48), 6, 6);
    p.drawEllipse(QPointF(62, 48), 6, 6);
    p.setPen(QPen(QColor(160, 120, 20), 1));
    p.setBrush(QColor(230, 190, 60));
    p.drawEllipse(QPointF(29, 28), 7, 7);
    p.drawEllipse(QPointF(71, 28), 7, 7);
    // Microphones at the front.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 20));
    for (double x : {28.0, 50.0, 72.0})
        p.drawEllipse(QPointF(x, x == 50 ? 74 : 66), 3, 3);
    note(p, QPointF(16, 56), QColor(250, 215, 90));
    note(p, QPointF(80, 58), QColor(250, 215, 90));
}

void djBooth(QPainter& p)
{
    // Speakers in the back corners.
    for (double x : {6.0, 78.0}) {
        p.setPen(QPen(QColor(20, 20, 20), 1));
        p.setBrush(QColor(60, 60, 60));
        p.drawRect(QRectF(x, 8, 16, 16));
        p.setBrush(QColor(120, 120, 120));
        p.drawEllipse(QPointF(x + 8, 16), 5, 5);
    }
    p.setPen(QPen(QColor(10, 10, 10), 2));
    p.setBrush(QColor(45, 45, 50));
    p.drawRoundedRect(QRectF(8, 32, 84, 44), 5, 5);
    for (double x : {29.0, 71.0}) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(QColor(150, 150, 155));
        p.drawRect(QRectF(x - 15, 39, 30, 30));
        p.setBrush(QColor(15, 15, 15));
        p.drawEllipse(QPointF(x, 54), 12, 12);
        p.setBrush(QColor(200, 40, 40));
        p.drawEllipse(QPointF(x, 54), 3, 3);
    }
    // The mixer between the decks.
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(80, 80, 85));
    p.drawRect(QRectF(45, 40, 10, 28));
    p.setPen(Qt::NoPen);
    const QColor knobs[] = {QColor(80, 200, 90), QColor(240, 200, 40), QColor(80, 160, 240)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(knobs[i]);
        p.drawEllipse(QPointF(50, 46 + i * 8), 2.2, 2.2);
    }
    // The DJ's place at the front.
    chair(p, QPointF(50, 86), 0, 14, 10);
}

void headTable(QPainter& p)
{
    const QRectF t(6, 40, 88, 24);
    for (int i = 0; i < 8; ++i)
        chair(p, QPointF(t.left() + t.width() * (i + 0.5) / 8, t.top() - 8), 0, 8.5, 9);
    p.setPen(QPen(kLinenEdge, 1.5));
    p.setBrush(kLinen);
    p.drawRect(t);
    // The table skirt along the front, towards the guests.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 196, 200));
    p.drawRect(QRectF(t.left(), t.bottom() - 5, t.width(), 5));
    // Flowers in the middle.
    p.setBrush(QColor(90, 150, 80));
    p.drawEllipse(QPointF(50, 50), 7, 5);
    p.setBrush(QColor(230, 120, 150));
    for (double dx : {-4.0, 0.0, 4.0})
        p.drawEllipse(QPointF(50 + dx, 49 + (dx == 0 ? -1.5 : 1)), 2.6, 2.6);
}

void giftBox(QPainter& p, const QRectF& box, const QColor& paper, const QColor& ribbon)
{
    p.setPen(QPen(paper.darker(140), 1));
    p.setBrush(paper);
    p.drawRect(box);
    p.setPen(QPen(ribbon, 2));
    p.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
    p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    p.setPen(Qt::NoPen);
    p.setBrush(ribbon);
    p.drawEllipse(box.center(), 2.2, 2.2);
}

void giftTable(QPainter& p)
{
    const QRectF t(8, 30, 84, 44);
    p.setPen(QPen(kLinenEdge, 1.5));
    p.setBrush(kLinen);
    p.drawRect(t);
    giftBox(p, QRectF(14, 38, 18, 18), QColor(200, 50, 60), QColor(250, 220, 90));
    giftBox(p, QRectF(36, 46, 14, 14), QColor(60, 110, 200), QColor(245, 245, 245));
    giftBox(p, QRectF(54, 36, 20, 16), QColor(240, 200, 60), QColor(200, 50, 60));
    giftBox(p, QRectF(76, 50, 11, 11), QColor(70, 160, 90), QColor(250, 220, 90));
    giftBox(p, QRectF(56, 56, 12, 12), QColor(170, 90, 190), QColor(245, 245, 245));
}

void bar(QPainter& p)
{
    // Shelf of bottles behind the counter.
    p.setPen(Qt::NoPen);
    const QColor bottles[] = {QColor(40, 120, 60), QColor(140, 80, 30), QColor(200, 200, 210), QColor(40, 120, 60),
                              QColor(160, 40, 50), QColor(140, 80, 30), QColor(200, 200, 210)};
    for (int i = 0; i < 7; ++i) {
        p.setBrush(bottles[i]);
        p.drawEllipse(QPointF(16 + i * 11.3, 12), 3.6, 3.6);
    }
    p.setPen(QPen(QColor(70, 40, 18), 2));
    p.setBrush(QColor(120, 72, 36));
    p.drawRoundedRect(QRectF(6, 22, 88, 24), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(160, 104, 56));
    p.drawRect(QRectF(9, 26, 82, 8));
    // Stools along the front.
    for (int i = 0; i < 4; ++i) {
        const QPointF at(20 + i * 20, 64);
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.setBrush(QColor(176, 48, 48));
        p.drawEllipse(at, 7, 7);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 90, 90));
        p.drawEllipse(at - QPointF(2, 2), 2.5, 2.5);
    }
}

void plant(QPainter& p)
{
    const QPointF c(50, 50);
    p.setPen(QPen(QColor(130, 66, 34), 2));
    p.setBrush(QColor(192, 106, 58));
    p.drawEllipse(c, 20, 20);
    const QColor greens[] = {QColor(46, 125, 50), QColor(76, 175, 80)};
    for (int ring = 0; ring < 2; ++ring) {
        const int leaves = ring ? 7 : 9;
        const double length = ring ? 26 : 40;
        for (int i = 0; i < leaves; ++i) {
            p.save();
            p.translate(c);
            p.rotate(360.0 * i / leaves + ring * 20);
            QPainterPath leaf;
            leaf.moveTo(0, 0);
            leaf.quadTo(length * 0.5, -length * 0.22, length, 0);
            leaf.quadTo(length * 0.5, length * 0.22, 0, 0);
            p.setPen(QPen(greens[ring].darker(130), 0.8));
            p.setBrush(greens[ring]);
            p.drawPath(leaf);
            p.restore();
        }
    }
}

// The seat count at the end of a key such as "TableRound10"; 0 when none.
int seatsOf(const QString& key, const QString& prefix)
{
    return key.startsWith(prefix) ? key.mid(prefix.size()).toInt() : 0;
}

QImage canvas(int side)
{
    QImage img(std::max(1, side), std::max(1, side), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

}  // namespace

QImage roomPicture(const QString& key, int side)
{
    QImage img = canvas(side);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(side / kSide, side / kSide);
    if (const int n = seatsOf(key, QStringLiteral("TableRound")))
        roundTable(p, n, side);
    else if (const int m = seatsOf(key, QStringLiteral("TableSquare")))
        squareTable(p, m, side);
    else if (key == QLatin1String("DanceFloor"))
        danceFloor(p);
    else if (key == QLatin1String("Band"))
        bandStand(p);
    else if (key == QLatin1String("DJ"))
        djBooth(p);
    else if (key == QLatin1String("HeadTable"))
        headTable(p);
    else if (key == QLatin1String("GiftTable"))
        giftTable(p);
    else if (key == QLatin1String("Bar"))
        bar(p);
    else if (key == QLatin1String("Plant"))
        plant(p);
    return img;
}

namespace {

// The toolbar's pictures are drawn on a 16 x 16 square.
void arrow(QPainter& p, bool back)
{
    p.save();
    if (!back) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    const QColor blue(30, 90, 180);
    QPainterPath arc;
    arc.moveTo(4.5, 7);
    arc.cubicTo(6, 2.5, 14.5, 3, 13.5, 9.5);
    arc.cubicTo(13, 12.5, 10, 13.5, 7.5, 13.5);
    p.setPen(QPen(blue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPolygonF head;
    head << QPointF(1, 4) << QPointF(7.5, 4.5) << QPointF(3.5, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawPolygon(head);
    p.restore();
}

void page(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (double y = r.top() + 3; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

}  // namespace

QImage toolPicture(const QString& key, int side)
{
    QImage img = canvas(side);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    if (key == QLatin1String("picOpen")) {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(235, 185, 60));
        p.drawRect(QRectF(1.5, 3.5, 11, 10));
        p.setBrush(QColor(250, 215, 110));
        QPolygonF lid;
        lid << QPointF(4, 6.5) << QPointF(15, 6.5) << QPointF(12.5, 13.5) << QPointF(1.5, 13.5);
        p.drawPolygon(lid);
    } else if (key == QLatin1String("picSave")) {
        p.setPen(QPen(QColor(20, 50, 110), 1));
        p.setBrush(QColor(60, 110, 190));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 8, 5));
        p.setBrush(QColor(190, 190, 200));
        p.drawRect(QRectF(4.5, 10, 7, 4.5));
    } else if (key == QLatin1String("picPrint")) {
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(170, 170, 175));
        p.drawRoundedRect(QRectF(1.5, 6, 13, 6), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 10, 8, 4.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 180, 80));
        p.drawEllipse(QPointF(12.5, 8), 0.9, 0.9);
    } else if (key == QLatin1String("picPreview")) {
        page(p, QRectF(1.5, 1.5, 10, 13));
        p.setPen(QPen(QColor(60, 60, 60), 1.6));
        p.setBrush(QColor(200, 225, 250, 200));
        p.drawEllipse(QPointF(9.5, 9), 3.6, 3.6);
        p.setPen(QPen(QColor(60, 60, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12.2, 11.7), QPointF(14.8, 14.3));
    } else if (key == QLatin1String("picUndo")) {
        arrow(p, true);
    } else if (key == QLatin1String("picRedo")) {
        arrow(p, false);
    } else if (key == QLatin1String("picCircle")) {
        p.setPen(QPen(QColor(40, 40, 40), 1.4));
        p.setBrush(QColor(253, 250, 240));
        p.drawEllipse(QPointF(8, 8), 6.3, 6.3);
    } else if (key == QLatin1String("picSquare")) {
        p.setPen(QPen(QColor(40, 40, 40), 1.4));
        p.setBrush(QColor(253, 250, 240));
        p.drawRect(QRectF(2, 2, 12, 12));
    } else if (key == QLatin1String("picDelete")) {
        p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 3), QPointF(13, 13));
        p.drawLine(QPointF(13, 3), QPointF(3, 13));
    }
    return img;
}

}  // namespace tablepictures
