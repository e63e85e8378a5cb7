#pragma once
// The seat diagram as numbers: where the seat boxes stand round the table
// shape for each seat count (twips), the font the names are drawn in, how a
// name is split over a box's two lines and where the lines go.

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace seating {

constexpr int kSeatBoxes = 16;
// The seat counts a table can have, in the order of the seat-count options.
constexpr std::array<int, 6> kSeatCounts = {4, 6, 8, 10, 12, 16};
// The option of a seat count, -1 for any other count.
int seatOptionIndex(int seatCount);

struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
};
// The designed table shape and seat box.
constexpr TwipsRect kTableShape{6840, 2280, 2892, 2892};
constexpr float kSeatWidth = 1092, kSeatHeight = 852;
// Boxes beyond the table's count are parked just off the left edge; all
// of them are hidden further off while no table is shown.
constexpr float kParkedLeft = -1000, kHiddenLeft = -3000;

struct SeatPlace {
    float left = 0, top = 0;
    bool operator==(const SeatPlace&) const = default;
};
// The places of boxes 0 .. seatCount-1 round the shape, clockwise from the
// top; nothing for a count that is not one of kSeatCounts.
std::optional<std::vector<SeatPlace>> seatPlaces(int seatCount, const TwipsRect& shape = kTableShape,
                                                 float w = kSeatWidth, float h = kSeatHeight);

// The font record a seat name is drawn with: the design face, 8 points as a negative
// character height in pixels, turned by the angle in tenths of a degree.
struct SeatFont {
    int height = 0;       // pixels, negative: the character height
    int escapement = 0;   // tenths of a degree, counter-clockwise
    int weight = 0;       // the face's default
    QString faceName;
};
SeatFont seatFont(int angleDegrees, double twipsPerPixelY);

// A name over a seat box's two lines: line 1 is the first word with its
// blank (at most 15 characters), line 2 the rest after that blank; a name
// without a blank stands wholly on line 2.
struct SeatLines {
    QString line1, line2;
    bool operator==(const SeatLines&) const = default;
};
SeatLines splitSeatName(const QString& trimmed);
// The text without its leading and trailing blanks (other white space stays).
QString trimBlanks(const QString& text);

// Where the two lines are printed in a box of inner size sw x sh, by the
// alignment keyword ("CenterCenter", "CenterTop", "CenterBottom",
// "LeftCenter", "RightCenter"; anything else: top left). Measures are
// twips; `width` and `height` measure a string.
struct TextMeasure {
    std::function<double(const QString&)> width, height;
};
struct LinePlaces {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
LinePlaces placeSeatLines(const SeatLines& lines, const QString& alignment, double sw, double sh,
                          const TextMeasure& measure);

}  // namespace seating
