#include "seating/seatlayout.h"

#include "platform/ui/fonts.h"

#include <cmath>
#include <vector>

namespace seating {

int seatOptionIndex(int seatCount)
{
    for (size_t i = 0; i < kSeatCounts.size(); ++i)
        if (kSeatCounts[i] == seatCount)
            return int(i);
    return -1;
}

namespace {

// A box on one side of the shape, shifted along that side by a number of
// box widths (top, bottom) or heights (right, left) from the side's middle.
enum Side { Top, Right, Bottom, Left };
struct SeatAt {
    Side side;
    float shift;
};

const std::vector<SeatAt>& arrangement(int seatCount)
{
    static const std::vector<SeatAt> four = {{Top, -0.5f}, {Right, -0.5f}, {Bottom, -0.5f}, {Left, -0.5f}};
    static const std::vector<SeatAt> six = {{Top, -1}, {Top, 0}, {Right, -0.5f}, {Bottom, 0}, {Bottom, -1}, {Left, -0.5f}};
    static const std::vector<SeatAt> eight = {{Top, -1},   {Top, 0},   {Right, -1}, {Right, 0},
                                              {Bottom, 0}, {Bottom, -1}, {Left, 0}, {Left, -1}};
    static const std::vector<SeatAt> ten = {{Top, -1.5f},    {Top, -0.5f},    {Top, 0.5f},    {Right, -1}, {Right, 0},
                                            {Bottom, -1.5f}, {Bottom, -0.5f}, {Bottom, 0.5f}, {Left, -1},  {Left, 0}};
    static const std::vector<SeatAt> twelve = {{Top, -1.5f},    {Top, -0.5f},    {Top, 0.5f},    {Right, -1.5f},
                                               {Right, -0.5f},  {Right, 0.5f},   {Bottom, -1.5f}, {Bottom, -0.5f},
                                               {Bottom, 0.5f},  {Left, -1.5f},   {Left, -0.5f},  {Left, 0.5f}};
    static const std::vector<SeatAt> sixteen = {{Top, -2},    {Top, -1},    {Top, 0},    {Top, 1},
                                                {Right, -2},  {Right, -1},  {Right, 0},  {Right, 1},
                                                {Bottom, -2}, {Bottom, -1}, {Bottom, 0}, {Bottom, 1},
                                                {Left, -2},   {Left, -1},   {Left, 0},   {Left, 1}};
    static const std::vector<SeatAt> none;
    switch (seatCount) {
    case 4: return four;
    case 6: return six;
    case 8: return eight;
    case 10: return ten;
    case 12: return twelve;
    case 16: return sixteen;
    default: return none;
    }
}

}  // namespace

std::optional<std::vector<SeatPlace>> seatPlaces(int seatCount, const TwipsRect& s, float w, float h)
{
    if (seatOptionIndex(seatCount) < 0)
        return std::nullopt;
    const float cx = s.left + s.width / 2, cy = s.top + s.height / 2;
    std::vector<SeatPlace> out;
    for (const SeatAt& a : arrangement(seatCount)) {
        switch (a.side) {
        case Top: out.push_back({cx + a.shift * w, s.top - h}); break;
        case Bottom: out.push_back({cx + a.shift * w, s.top + s.height}); break;
        case Right: out.push_back({s.left + s.width, cy + a.shift * h}); break;
        case Left: out.push_back({s.left - w, cy + a.shift * h}); break;
        }
    }
    return out;
}

SeatFont seatFont(int angleDegrees, double twipsPerPixelY)
{
    SeatFont f;
    f.height = -int(std::nearbyint(160.0 / twipsPerPixelY));
    f.escapement = angleDegrees * 10;
    f.faceName = fonts::kDesignFace;
    return f;
}

SeatLines splitSeatName(const QString& text)
{
    const int p = int(text.indexOf(QLatin1Char(' '))) + 1;  // 1-based, 0 without a blank
    return {p <= 15 ? text.left(p) : text.left(15), text.mid(p)};
}

QString trimBlanks(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == QLatin1Char(' '))
        ++b;
    while (e > b && text[e - 1] == QLatin1Char(' '))
        --e;
    return text.mid(b, e - b);
}

LinePlaces placeSeatLines(const SeatLines& l, const QString& alignment, double sw, double sh, const TextMeasure& m)
{
    const double tw1 = m.width(l.line1), th1 = m.height(l.line1);
    const double tw2 = m.width(l.line2), th2 = m.height(l.line2);
    LinePlaces p;
    if (alignment == QLatin1String("CenterCenter")) {
        p = {(sw - tw1) / 2, (sh - 2 * th1) / 2, (sw - tw2) / 2, (sh - 2 * th2) / 2 + th2};
    } else if (alignment == QLatin1String("CenterTop")) {
        p = {(sw - tw1) / 2, 0, (sw - tw2) / 2, th2};
    } else if (alignment == QLatin1String("CenterBottom")) {
        // Printing line 1 leaves the drawing position one line below it.
        const double y1 = sh - 2 * th1;
        p = {(sw - tw1) / 2, y1, (sw - tw2) / 2, y1 + th1 + th2};
    } else if (alignment == QLatin1String("LeftCenter")) {
        p = {0, (sh - 2 * th1) / 2, 0, (sh - 2 * th2) / 2 + th2};
    } else if (alignment == QLatin1String("RightCenter")) {
        p = {sw - tw1, (sh - 2 * th1) / 2, sw - tw2, (sh - 2 * th2) / 2 + th2};
    } else {
        p = {0, 0, 0, th2};
    }
    return p;
}

}  // namespace seating
