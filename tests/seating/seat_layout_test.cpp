// The seat diagram as numbers: the seat boxes' places for every seat count,
// the seat font, and how a name is split over a box and placed in it.

#include "seating/seatlayout.h"

#include "support/printers.h"

#include <gtest/gtest.h>

using namespace seating;

TEST(SeatLayout, EverySeatCountPlacesItsBoxesAtTheDesignedTwips)
{
    // (Left, Top) of boxes 0, 1, 2 ... clockwise round the shape.
    const struct {
        int seats;
        std::vector<SeatPlace> places;
    } cases[] = {
        {4, {{7740, 1428}, {9732, 3300}, {7740, 5172}, {5748, 3300}}},
        {6, {{7194, 1428}, {8286, 1428}, {9732, 3300}, {8286, 5172}, {7194, 5172}, {5748, 3300}}},
        {8,
         {{7194, 1428}, {8286, 1428}, {9732, 2874}, {9732, 3726}, {8286, 5172}, {7194, 5172}, {5748, 3726},
          {5748, 2874}}},
        {10,
         {{6648, 1428}, {7740, 1428}, {8832, 1428}, {9732, 2874}, {9732, 3726}, {6648, 5172}, {7740, 5172},
          {8832, 5172}, {5748, 2874}, {5748, 3726}}},
        {12,
         {{6648, 1428}, {7740, 1428}, {8832, 1428}, {9732, 2448}, {9732, 3300}, {9732, 4152}, {6648, 5172},
          {7740, 5172}, {8832, 5172}, {5748, 2448}, {5748, 3300}, {5748, 4152}}},
        {16,
         {{6102, 1428}, {7194, 1428}, {8286, 1428}, {9378, 1428}, {9732, 2022}, {9732, 2874}, {9732, 3726},
          {9732, 4578}, {6102, 5172}, {7194, 5172}, {8286, 5172}, {9378, 5172}, {5748, 2022}, {5748, 2874},
          {5748, 3726}, {5748, 4578}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seats);
        const auto places = seatPlaces(c.seats);
        ASSERT_TRUE(places);
        EXPECT_EQ(*places, c.places);
        EXPECT_EQ(kSeatCounts[seatOptionIndex(c.seats)], c.seats);
    }
    for (int other : {0, 3, 5, 14, 20, -4}) {
        EXPECT_FALSE(seatPlaces(other)) << other;
        EXPECT_EQ(seatOptionIndex(other), -1) << other;
    }
}

TEST(SeatLayout, TheSeatFontIsEightPointsOfTheDesignFaceTurnedByTheAngle)
{
    const SeatFont at15 = seatFont(0, 15);
    EXPECT_EQ(at15.height, -11);
    EXPECT_EQ(at15.escapement, 0);
    EXPECT_EQ(at15.weight, 0);
    EXPECT_EQ(at15.faceName, "Liberation Sans");
    EXPECT_EQ(seatFont(90, 12).height, -13);
    EXPECT_EQ(seatFont(90, 12).escapement, 900);
    // 160 / 64 = 2.5 rounds to the even neighbour.
    EXPECT_EQ(seatFont(0, 64).height, -2);
}

TEST(SeatLayout, ANameIsSplitAfterItsFirstWordOfAtMostFifteenLetters)
{
    const struct {
        const char* text;
        SeatLines lines;
    } cases[] = {
        {"Anna Maria Jones", {"Anna ", "Maria Jones"}},
        {"Cher", {"", "Cher"}},
        {"", {"", ""}},
        {"Bartholomewsonius Smith", {"Bartholomewsoni", "Smith"}},  // the blank lies at 18
        {"Maximilianusss Ito", {"Maximilianusss ", "Ito"}},         // the blank lies at 15
        {"Anna  Jones", {"Anna ", " Jones"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitSeatName(c.text), c.lines) << c.text;
    EXPECT_EQ(trimBlanks("  Anna Jones \t "), "Anna Jones \t");
    EXPECT_EQ(trimBlanks("   "), "");
}

TEST(SeatLayout, TheTwoLinesArePlacedByTheAlignmentKeyword)
{
    // Every letter 100 twips wide, every line 200 high; a box of 1000 x 800.
    const TextMeasure m{[](const QString& s) { return 100.0 * s.size(); }, [](const QString&) { return 200.0; }};
    const SeatLines lines{"Ann ", "Jones"};  // 400 and 500 wide
    const struct {
        const char* alignment;
        double x1, y1, x2, y2;
    } cases[] = {
        {"CenterCenter", 300, 200, 250, 400}, {"CenterTop", 300, 0, 250, 200},
        {"CenterBottom", 300, 400, 250, 800}, {"LeftCenter", 0, 200, 0, 400},
        {"RightCenter", 600, 200, 500, 400},  {"centercenter", 0, 0, 0, 200},
        {"", 0, 0, 0, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alignment);
        const LinePlaces p = placeSeatLines(lines, c.alignment, 1000, 800, m);
        EXPECT_DOUBLE_EQ(p.x1, c.x1);
        EXPECT_DOUBLE_EQ(p.y1, c.y1);
        EXPECT_DOUBLE_EQ(p.x2, c.x2);
        EXPECT_DOUBLE_EQ(p.y2, c.y2);
    }
    // A single word: line 1 empty, the word just below the middle.
    const LinePlaces one = placeSeatLines(splitSeatName("Cher"), "CenterCenter", 1000, 800, m);
    EXPECT_DOUBLE_EQ(one.y2, 400);
    EXPECT_DOUBLE_EQ(one.x2, 300);
}
