// The bar's pictures, drawn by the program: one glyph per subject (calendar,
// tasks, events, guests, envelopes, money, shop, attire, gifts...) with a
// small badge for the command (add, modify, delete, print, wizard, import,
// export, due).

#include "platform/navbar/explorerbar.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace navbar {

namespace {

enum class Base {
    Calendar, CalendarToday, Checklist, ChecklistEmpty, ChecklistAll, Star, People, House,
    Envelope, EnvelopeHeart, Seat, Label, Placard, Coins, Receipt, Shop, Quote,
    TapeFemale, TapeMale, Tape, Dress, Gift, Registry, Rings,
};
enum class Badge { None, Plus, Pencil, Cross, Printer, Clock, Wand, ArrowIn, ArrowOut };

struct Design {
    Base base;
    Badge badge;
};

constexpr std::array<Design, kPictureCount> kDesigns{{
    {Base::Calendar, Badge::None},          // 0 calendar, month view
    {Base::CalendarToday, Badge::None},     // 1 today
    {Base::Calendar, Badge::Plus},          // 2 add appointment
    {Base::Calendar, Badge::Clock},         // 3 appointment
    {Base::Calendar, Badge::Printer},       // 4 print month
    {Base::CalendarToday, Badge::Printer},  // 5 print today
    {Base::Checklist, Badge::Wand},         // 6 task wizard
    {Base::Checklist, Badge::None},         // 7 tasks, complete tasks
    {Base::ChecklistEmpty, Badge::None},    // 8 incomplete
    {Base::ChecklistAll, Badge::None},      // 9 all tasks
    {Base::Checklist, Badge::Clock},        // 10 due tasks
    {Base::Checklist, Badge::Plus},         // 11
    {Base::Checklist, Badge::Cross},        // 12
    {Base::Checklist, Badge::Printer},      // 13
    {Base::Star, Badge::None},              // 14 events
    {Base::Star, Badge::Plus},              // 15
    {Base::Star, Badge::Pencil},            // 16
    {Base::Star, Badge::Cross},             // 17
    {Base::Star, Badge::Printer},           // 18
    {Base::People, Badge::None},            // 19 guests
    {Base::House, Badge::None},             // 20 addresses
    {Base::People, Badge::Plus},            // 21
    {Base::People, Badge::Pencil},          // 22
    {Base::People, Badge::Cross},           // 23
    {Base::People, Badge::Printer},         // 24
    {Base::People, Badge::ArrowIn},         // 25 import
    {Base::People, Badge::ArrowOut},        // 26 export
    {Base::Envelope, Badge::None},          // 27 RSVP
    {Base::EnvelopeHeart, Badge::None},     // 28 invitations
    {Base::Seat, Badge::None},              // 29 seating
    {Base::Envelope, Badge::Printer},       // 30 RSVP report
    {Base::Label, Badge::None},             // 31 labels
    {Base::Placard, Badge::None},           // 32 placards
    {Base::Coins, Badge::Clock},            // 33
    {Base::Coins, Badge::Wand},             // 34 budget wizard
    {Base::Coins, Badge::None},             // 35 budget
    {Base::Coins, Badge::Plus},             // 36
    {Base::Coins, Badge::Pencil},           // 37
    {Base::Coins, Badge::Cross},            // 38
    {Base::Coins, Badge::Printer},          // 39
    {Base::Receipt, Badge::None},           // 40 expenses
    {Base::Receipt, Badge::Plus},           // 41
    {Base::Receipt, Badge::Pencil},         // 42
    {Base::Receipt, Badge::Cross},          // 43
    {Base::Receipt, Badge::Printer},        // 44
    {Base::Shop, Badge::None},              // 45 vendors
    {Base::Shop, Badge::Plus},              // 46
    {Base::Shop, Badge::Pencil},            // 47
    {Base::Shop, Badge::Cross},             // 48
    {Base::Shop, Badge::Printer},           // 49
    {Base::Quote, Badge::None},             // 50 quotes
    {Base::Quote, Badge::Plus},             // 51
    {Base::Quote, Badge::Pencil},           // 52
    {Base::Quote, Badge::Cross},            // 53
    {Base::Quote, Badge::Printer},          // 54
    {Base::TapeFemale, Badge::None},        // 55 female measurements
    {Base::TapeFemale, Badge::Plus},        // 56
    {Base::Dress, Badge::None},             // 57 attire
    {Base::Dress, Badge::Plus},             // 58
    {Base::Dress, Badge::Pencil},           // 59
    {Base::Dress, Badge::Cross},            // 60
    {Base::Dress, Badge::Printer},          // 61
    {Base::TapeMale, Badge::None},          // 62 male measurements
    {Base::TapeMale, Badge::Plus},          // 63
    {Base::Tape, Badge::Pencil},            // 64 modify measurement
    {Base::Tape, Badge::Cross},             // 65
    {Base::Tape, Badge::Printer},           // 66
    {Base::Gift, Badge::None},              // 67 gifts
    {Base::Gift, Badge::Plus},              // 68
    {Base::Gift, Badge::Pencil},            // 69
    {Base::Gift, Badge::Cross},             // 70
    {Base::Gift, Badge::Printer},           // 71
    {Base::Registry, Badge::None},          // 72 registries
    {Base::Registry, Badge::Plus},          // 73
    {Base::Registry, Badge::Pencil},        // 74
    {Base::Registry, Badge::Cross},         // 75
    {Base::Registry, Badge::Printer},       // 76
    {Base::Rings, Badge::None},             // 77 mode
}};

const QColor kInk(40, 40, 60);

void checkMark(QPainter& p, QPointF at, double s, const QColor& c)
{
    p.setPen(QPen(c, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({at, at + QPointF(s * 0.35, s * 0.4), at + QPointF(s, -s * 0.5)}));
}

void drawCalendar(QPainter& p, bool today)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 4.5, 19, 17));
    p.setBrush(QColor(200, 40, 40));
    p.drawRect(QRectF(2.5, 4.5, 19, 5));
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(7, 2.5), QPointF(7, 6.5));
    p.drawLine(QPointF(17, 2.5), QPointF(17, 6.5));
    p.setPen(Qt::NoPen);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            const bool mark = today && r == 1 && c == 2;
            p.setBrush(mark ? QColor(230, 120, 0) : QColor(120, 120, 150));
            const double sz = mark ? 4 : 2.5;
            p.drawRect(QRectF(4.5 + c * 4.2, 11.5 + r * 3.3, sz, mark ? 3.5 : 2));
        }
}

void drawChecklist(QPainter& p, int mode)  // 0 ticked, 1 empty boxes, 2 mixed
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(255, 252, 220));
    p.drawRect(QRectF(3.5, 1.5, 17, 21));
    for (int i = 0; i < 3; ++i) {
        const double y = 5 + i * 6;
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, y - 0.5, 4, 4));
        p.setPen(QPen(QColor(120, 120, 150), 1));
        p.drawLine(QPointF(11.5, y + 1.5), QPointF(18.5, y + 1.5));
        const bool ticked = mode == 0 || (mode == 2 && i != 1);
        if (ticked)
            checkMark(p, QPointF(5.5, y + 1.5), 5, QColor(0, 150, 0));
    }
}

void drawStar(QPainter& p)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = i % 2 ? 4.5 : 10.5;
        star << QPointF(12 + r * std::cos(a), 12.5 + r * std::sin(a));
    }
    p.setPen(QPen(QColor(160, 100, 0), 1));
    p.setBrush(QColor(255, 200, 40));
    p.drawPolygon(star);
}

void person(QPainter& p, double x, double y, double s, const QColor& c)
{
    p.setPen(QPen(c.darker(160), 1));
    p.setBrush(c);
    p.drawEllipse(QPointF(x, y), 3 * s, 3 * s);
    QPainterPath body;
    body.addRoundedRect(QRectF(x - 5 * s, y + 3.5 * s, 10 * s, 8 * s), 3 * s, 3 * s);
    p.drawPath(body);
}

void drawPeople(QPainter& p)
{
    person(p, 8, 7, 0.85, QColor(90, 140, 220));
    person(p, 15, 8, 1.0, QColor(230, 110, 150));
}

void drawHouse(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 60, 50));
    p.drawPolygon(QPolygonF({QPointF(2, 11), QPointF(12, 3), QPointF(22, 11)}));
    p.setBrush(QColor(240, 220, 170));
    p.drawRect(QRectF(5.5, 11.5, 13, 10));
    p.setBrush(QColor(120, 70, 30));
    p.drawRect(QRectF(10.5, 15.5, 4, 6));
}

void drawEnvelope(QPainter& p, bool heart)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(250, 245, 230));
    p.drawRect(QRectF(2.5, 6.5, 19, 13));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(2.5, 6.5), QPointF(12, 14), QPointF(21.5, 6.5)}));
    if (heart) {
        QPainterPath h;
        h.moveTo(12, 20);
        h.cubicTo(4, 14, 8, 9, 12, 12.5);
        h.cubicTo(16, 9, 20, 14, 12, 20);
        p.setPen(QPen(QColor(150, 0, 30), 1));
        p.setBrush(QColor(220, 30, 60));
        p.drawPath(h);
    }
}

void drawSeat(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(150, 90, 40));
    p.drawEllipse(QRectF(6, 7, 12, 10));  // round table
    p.setBrush(QColor(90, 140, 220));
    for (const QPointF c : {QPointF(12, 3.5), QPointF(12, 20.5), QPointF(3, 12), QPointF(21, 12)})
        p.drawEllipse(c, 2.5, 2.5);
}

void drawLabel(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 2.5, 17, 19));
    p.setBrush(QColor(255, 240, 150));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(5.5, 4.5 + i * 5.7, 13, 4.2), 1, 1);
}

void drawPlacard(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(230, 230, 250));
    p.drawPolygon(QPolygonF({QPointF(2, 20), QPointF(6, 7), QPointF(18, 7), QPointF(22, 20)}));
    p.setPen(QPen(QColor(150, 0, 100), 1.4));
    p.drawLine(QPointF(8, 13), QPointF(16, 13));
    p.drawLine(QPointF(9, 16), QPointF(15, 16));
}

void drawCoins(QPainter& p)
{
    p.setPen(QPen(QColor(140, 100, 0), 1));
    p.setBrush(QColor(240, 200, 60));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QRectF(3.5, 14.5 - i * 4, 11, 5));
    p.setBrush(QColor(250, 215, 80));
    p.drawEllipse(QRectF(10.5, 7.5, 11, 11));
    QFont f;
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(10.5, 7.5, 11, 11), Qt::AlignCenter, "$");
}

void drawReceipt(QPainter& p)
{
    QPolygonF paper({QPointF(5, 2), QPointF(19, 2), QPointF(19, 22)});
    for (int i = 0; i < 7; ++i)
        paper << QPointF(19 - i * 2, i % 2 ? 22 : 20);
    paper << QPointF(5, 22);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(paper);
    p.setPen(QPen(QColor(0, 120, 0), 1));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(7, 5.5 + i * 3), QPointF(i == 3 ? 12 : 17, 5.5 + i * 3));
    QFont f;
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(11, 15, 8, 6), Qt::AlignCenter, "$");
}

void drawShop(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(3.5, 10.5, 17, 11));
    for (int i = 0; i < 4; ++i) {  // striped awning
        p.setBrush(i % 2 ? Qt::white : QColor(30, 130, 60));
        p.drawRect(QRectF(2.5 + i * 4.75, 5.5, 4.75, 5));
    }
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(QRectF(5.5, 13.5, 7, 5));
    p.setBrush(QColor(120, 70, 30));
    p.drawRect(QRectF(14.5, 13.5, 4, 8));
}

void drawQuote(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(4.5, 1.5), QPointF(15, 1.5), QPointF(19.5, 6), QPointF(19.5, 22.5),
                             QPointF(4.5, 22.5)}));
    p.setPen(QPen(QColor(120, 120, 150), 1));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(7, 7.5 + i * 3), QPointF(15, 7.5 + i * 3));
    p.setPen(QPen(QColor(0, 120, 0), 1));
    QFont f;
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(8, 15, 10, 8), Qt::AlignCenter, "$");
}

void drawTape(QPainter& p, const QColor& c)
{
    p.setPen(QPen(c.darker(170), 1));
    p.setBrush(c);
    p.drawEllipse(QRectF(2.5, 4.5, 13, 13));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.5, 8.5, 5, 5));
    p.setBrush(QColor(250, 230, 120));
    p.drawRect(QRectF(9, 15.5, 13, 5));
    p.setPen(QPen(kInk, 0.8));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(11 + i * 2.3, 15.5), QPointF(11 + i * 2.3, i % 2 ? 17 : 18));
}

void drawDress(QPainter& p)
{
    QPainterPath d;
    d.moveTo(9, 2);
    d.lineTo(15, 2);
    d.lineTo(14, 9);
    d.lineTo(21, 22);
    d.lineTo(3, 22);
    d.lineTo(10, 9);
    d.closeSubpath();
    p.setPen(QPen(QColor(100, 90, 140), 1));
    p.setBrush(QColor(255, 238, 246));
    p.drawPath(d);
    p.setPen(QPen(QColor(200, 150, 200), 1.2));
    p.drawLine(QPointF(10, 9), QPointF(14, 9));
}

void drawGift(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(60, 120, 210));
    p.drawRect(QRectF(3.5, 10.5, 17, 11));
    p.drawRect(QRectF(2.5, 7.5, 19, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 40, 60));
    p.drawRect(QRectF(10.5, 7.5, 3, 14));
    p.setPen(QPen(QColor(230, 40, 60), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(6.5, 3, 5, 4.5));
    p.drawEllipse(QRectF(12.5, 3, 5, 4.5));
}

void drawRegistry(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(255, 252, 220));
    p.drawRect(QRectF(2.5, 1.5, 14, 20));
    p.setPen(QPen(QColor(120, 120, 150), 1));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(4.5, 4.5 + i * 3), QPointF(14.5, 4.5 + i * 3));
    p.save();
    p.translate(9, 9);
    p.scale(0.6, 0.6);
    drawGift(p);
    p.restore();
}

void drawRings(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 150, 20), 2.4));
    p.drawEllipse(QRectF(2.5, 7.5, 11, 11));
    p.setPen(QPen(QColor(230, 190, 50), 2.4));
    p.drawEllipse(QRectF(10.5, 7.5, 11, 11));
    p.setPen(QPen(QColor(120, 200, 255), 1));
    p.setBrush(QColor(200, 240, 255));
    p.drawPolygon(QPolygonF({QPointF(6, 3), QPointF(10, 3), QPointF(8, 7)}));
}

void drawBase(QPainter& p, Base b)
{
    switch (b) {
    case Base::Calendar: drawCalendar(p, false); break;
    case Base::CalendarToday: drawCalendar(p, true); break;
    case Base::Checklist: drawChecklist(p, 0); break;
    case Base::ChecklistEmpty: drawChecklist(p, 1); break;
    case Base::ChecklistAll: drawChecklist(p, 2); break;
    case Base::Star: drawStar(p); break;
    case Base::People: drawPeople(p); break;
    case Base::House: drawHouse(p); break;
    case Base::Envelope: drawEnvelope(p, false); break;
    case Base::EnvelopeHeart: drawEnvelope(p, true); break;
    case Base::Seat: drawSeat(p); break;
    case Base::Label: drawLabel(p); break;
    case Base::Placard: drawPlacard(p); break;
    case Base::Coins: drawCoins(p); break;
    case Base::Receipt: drawReceipt(p); break;
    case Base::Shop: drawShop(p); break;
    case Base::Quote: drawQuote(p); break;
    case Base::TapeFemale: drawTape(p, QColor(240, 130, 180)); break;
    case Base::TapeMale: drawTape(p, QColor(80, 130, 220)); break;
    case Base::Tape: drawTape(p, QColor(250, 200, 40)); break;
    case Base::Dress: drawDress(p); break;
    case Base::Gift: drawGift(p); break;
    case Base::Registry: drawRegistry(p); break;
    case Base::Rings: drawRings(p); break;
    }
}

// Badges sit in the lower right corner, 11 pixels square.
void drawBadge(QPainter& p, Badge b)
{
    if (b == Badge::None)
        return;
    const QRectF r(12.5, 12.5, 11, 11);
    const QPointF c = r.center();
    auto disc = [&](const QColor& fill) {
        p.setPen(QPen(fill.darker(160), 1));
        p.setBrush(fill);
        p.drawEllipse(r);
    };
    switch (b) {
    case Badge::None:
        break;
    case Badge::Plus:
        disc(QColor(40, 170, 60));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(c - QPointF(3, 0), c + QPointF(3, 0));
        p.drawLine(c - QPointF(0, 3), c + QPointF(0, 3));
        break;
    case Badge::Cross:
        disc(QColor(210, 40, 40));
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(c - QPointF(2.5, 2.5), c + QPointF(2.5, 2.5));
        p.drawLine(c + QPointF(-2.5, 2.5), c + QPointF(2.5, -2.5));
        break;
    case Badge::Pencil: {
        p.setPen(QPen(QColor(90, 60, 0), 1));
        p.setBrush(QColor(250, 190, 40));
        QPolygonF pen({QPointF(13, 22), QPointF(14, 19), QPointF(21, 12), QPointF(23, 14), QPointF(16, 21)});
        p.drawPolygon(pen);
        p.setBrush(QColor(60, 60, 60));
        p.drawPolygon(QPolygonF({QPointF(13, 22), QPointF(14, 19.5), QPointF(15.5, 21)}));
        break;
    }
    case Badge::Printer:
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(15.5, 11.5, 6, 4));
        p.setBrush(QColor(150, 150, 160));
        p.drawRect(QRectF(12.5, 15.5, 11, 5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(15.5, 19.5, 6, 4));
        break;
    case Badge::Clock:
        disc(Qt::white);
        p.setPen(QPen(kInk, 1.2));
        p.drawLine(c, c - QPointF(0, 3.5));
        p.drawLine(c, c + QPointF(2.5, 0));
        break;
    case Badge::Wand:
        p.setPen(QPen(QColor(60, 40, 20), 2));
        p.drawLine(QPointF(13, 23), QPointF(20, 16));
        p.setPen(QPen(QColor(250, 200, 0), 1.4));
        p.drawLine(QPointF(21, 12), QPointF(21, 18));
        p.drawLine(QPointF(18, 15), QPointF(24, 15));
        break;
    case Badge::ArrowIn:
    case Badge::ArrowOut: {
        disc(QColor(40, 110, 200));
        const double d = b == Badge::ArrowIn ? -1 : 1;  // in points left, out points right
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(c - QPointF(3 * d, 0), c + QPointF(3 * d, 0));
        p.drawPolyline(QPolygonF({c + QPointF(1 * d, -2.5), c + QPointF(3 * d, 0), c + QPointF(1 * d, 2.5)}));
        break;
    }
    }
}

}  // namespace

QPixmap barPicture(int n)
{
    if (n < 0 || n >= kPictureCount)
        return QPixmap();
    // Images, not pixmaps, outlive the application object safely.
    static std::array<QImage, kPictureCount> cache;
    QImage& img = cache[size_t(n)];
    if (img.isNull()) {
        img = QImage(kPictureSize, kPictureSize, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        drawBase(p, kDesigns[size_t(n)].base);
        drawBadge(p, kDesigns[size_t(n)].badge);
        p.end();
    }
    return QPixmap::fromImage(img);
}

QPixmap storePicture(int n) { return barPicture(n - 1); }

const PictureStore& PictureStore::standard()
{
    static const PictureStore store;
    return store;
}

}  // namespace navbar
