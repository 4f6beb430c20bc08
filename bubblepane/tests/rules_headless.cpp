// The pop-up's rules without windows: placement beside the word on one or two monitors, the
// cursor box, the status bar's slots, match classes and the word replacement's counting.
#include <gtest/gtest.h>

#include <cstring>

#include "rules.h"

namespace {

DWORD Pack(int low, int high) { return MAKELONG(static_cast<WORD>(low), static_cast<WORD>(high)); }

TEST(Point, WordsAreSigned)
{
    BubblePoint p = Bubble_UnpackPoint(Pack(-300, -20), Pack(-12, -4));
    EXPECT_EQ(-300, p.x);
    EXPECT_EQ(-20, p.lineTop);
    EXPECT_EQ(-12, p.y);
    EXPECT_EQ(-4, p.lineBottom);
    p = Bubble_UnpackPoint(Pack(1500, 700), Pack(710, 720));
    EXPECT_EQ(1500, p.x);
    EXPECT_EQ(720, p.lineBottom);
}

TEST(Point, CursorBox)
{
    struct Case {
        int dx, dy;
        bool on;
    } cases[] = {
        {0, 0, true},   {1, 2, true},   {-2, -3, true}, {2, 0, false}, {0, 3, false},
        {-3, 0, false}, {0, -4, false}, {1, -3, true},  {-2, 2, true}, {3, 0, false},
    };
    for (const Case &c : cases) {
        POINT cursor = {100 + c.dx, 50 + c.dy};
        EXPECT_EQ(c.on, Bubble_CursorOnWord(cursor, 100, 50)) << c.dx << "," << c.dy;
    }
}

struct PlaceCase {
    const char *what;
    int x, y, lineTop, lineBottom;
    int pos;
    RECT area;
    int wantX, wantY;
};

TEST(Placement, Table)
{
    const SIZE size = {300, 200};
    const RECT screen = {0, 0, 1024, 768};
    const RECT left = {-1280, 0, 0, 1024};       // a second monitor left of the primary one
    const RECT above = {0, -900, 1440, -40};     // a monitor above it, task bar at its bottom
    const PlaceCase cases[] = {
        // The middle of the screen: each position by its rule (A = x - W + 13, C = x - W / 2,
        // B = x - 13; below the line at its bottom, above it at top - H).
        {"middle 0", 500, 300, 290, 310, 0, screen, 213, 310},
        {"middle 1", 500, 300, 290, 310, 1, screen, 350, 310},
        {"middle 2", 500, 300, 290, 310, 2, screen, 487, 310},
        {"middle 3", 500, 300, 290, 310, 3, screen, 213, 90},
        {"middle 4", 500, 300, 290, 310, 4, screen, 350, 90},
        {"middle 5", 500, 300, 290, 310, 5, screen, 487, 90},
        {"unknown position as 0", 500, 300, 290, 310, 9, screen, 213, 310},
        // y outside the line: the box is y - 4 to y + 4.
        {"y outside the line", 500, 400, 290, 310, 0, screen, 213, 404},
        {"y outside, above", 500, 400, 290, 310, 3, screen, 213, 196},
        // Right edge: the viewer's right edge touches the limit.
        {"right edge 0", 1020, 300, 290, 310, 0, screen, 724, 310},
        {"right edge 2", 1000, 300, 290, 310, 2, screen, 724, 310},
        // Left edge: never left of the screen.
        {"left edge 0", 5, 300, 290, 310, 0, screen, 0, 310},
        {"left edge 1", 100, 300, 290, 310, 1, screen, 0, 310},
        // Last line with position 2: above the line, 8 pixels higher.
        {"last line 2", 500, 760, 752, 766, 2, screen, 487, 752 - 200 - 8},
        // Top line with an above position: below the line, 2 pixels lower.
        {"top line 3", 500, 5, 0, 14, 3, screen, 213, 16},
        {"top line 5", 500, 5, 0, 14, 5, screen, 487, 16},
        // A second monitor left of the primary one: negative coordinates stay on it.
        {"left monitor middle", -600, 500, 490, 510, 0, left, -887, 510},
        {"left monitor left edge", -1275, 500, 490, 510, 0, left, -1280, 510},
        {"left monitor right edge", -10, 500, 490, 510, 2, left, -300, 510},
        {"left monitor bottom", -600, 1020, 1012, 1022, 1, left, -750, 1012 - 208},
        // A monitor above the primary one: a word on its top line goes below the line.
        {"upper monitor top line", 700, -895, -900, -886, 4, above, 550, -884},
        {"upper monitor bottom", 700, -45, -50, -41, 1, above, 550, -50 - 208},
    };
    for (const PlaceCase &c : cases) {
        BubblePoint p = {c.x, c.y, c.lineTop, c.lineBottom};
        POINT at = Bubble_PlaceViewer(p, c.pos, size, c.area);
        EXPECT_EQ(c.wantX, at.x) << c.what;
        EXPECT_EQ(c.wantY, at.y) << c.what;
    }
}

TEST(Placement, TallerThanEitherSideStaysOnTheMonitor)
{
    const RECT screen = {0, 0, 1024, 768};
    BubblePoint p = {500, 400, 390, 410};
    POINT at = Bubble_PlaceViewer(p, 0, SIZE{300, 700}, screen);
    EXPECT_GE(at.y, 0);
    EXPECT_LE(at.y + 700, 768);
}

TEST(Placement, CandidateList)
{
    BubblePoint p = {400, 300, 290, 310};
    POINT at = Bubble_PlaceList(p, true);
    EXPECT_EQ(387, at.x);
    EXPECT_EQ(310, at.y);
    p.y = 330;  // outside the line
    at = Bubble_PlaceList(p, true);
    EXPECT_EQ(334, at.y);
    at = Bubble_PlaceList(p, false);  // keyboard lookups: 30 pixels left, below the line
    EXPECT_EQ(370, at.x);
    EXPECT_EQ(310, at.y);
}

TEST(StatusBar, Slots)
{
    struct Case {
        int width, dics;
        int slots, buttons;
        bool menu;
        int slotWidth;
    } cases[] = {
        {300, 3, 4, 3, false, 75},     // room for every dictionary
        {300, 0, 1, 0, false, 300},    // no dictionaries: the status text alone
        {100, 3, 2, 1, true, 38},      // narrow: at least two slots, the menu for the rest
        {250, 8, 4, 3, true, 56},      // 250 / 60 = 4 slots, 24 pixels less for the menu button
        {900, 12, 11, 10, true, 79},   // wide with twelve dictionaries: never more than ten buttons
        {900, 10, 11, 10, false, 81},  // ten dictionaries all have a button
        {2000, 30, 11, 10, true, 179},
    };
    for (const Case &c : cases) {
        StatusSlots s = Bubble_StatusSlots(c.width, c.dics);
        EXPECT_EQ(c.slots, s.slots) << c.width << "/" << c.dics;
        EXPECT_EQ(c.buttons, s.buttons) << c.width << "/" << c.dics;
        EXPECT_EQ(c.menu, s.menuButton) << c.width << "/" << c.dics;
        EXPECT_EQ(c.slotWidth, s.slotWidth) << c.width << "/" << c.dics;
        EXPECT_LE(s.buttons, 10);
    }
}

TEST(Match, ClassesAndColours)
{
    struct Case {
        DWORD score;
        int cls, colour;
    } cases[] = {
        {0x00000000, 0, 0}, {0x0FFFFFFF, 0, 0}, {0x10000000, 1, 1}, {0x1FFFFFFF, 1, 1}, {0x20000005, 2, 1},
        {0x30000000, 3, 2}, {0x40000000, 4, 3}, {0xF0000000, 4, 3},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.cls, Bubble_MatchClass(c.score)) << std::hex << c.score;
        EXPECT_EQ(c.colour, Bubble_MatchColourIndex(c.score)) << std::hex << c.score;
    }
}

TEST(Replace, KeyMessageClasses)
{
    const char *keys[] = {"RichEdit20A", "RichEdit20W", "txText32", "RichEdit", "EXCEL6", "HTMLEDIT",
                          "Afx:400000:3028", "Internet Explorer_Server"};
    for (const char *k : keys) EXPECT_TRUE(Bubble_UsesKeyMessages(k)) << k;
    const char *chars[] = {"Edit", "EDIT", "richedit20w", "Afx:400000:3029", "", nullptr};
    for (const char *k : chars) EXPECT_FALSE(Bubble_UsesKeyMessages(k)) << (k ? k : "null");
}

TEST(Replace, CharactersToErase)
{
    struct Case {
        const char *text;
        int wordPos;
        int count, start;
    } cases[] = {
        {"Hello", 4, 5, 0},               // the whole word up to the caret's character
        {"say Hello", 8, 5, 4},           // counted from after the previous blank
        {"say Hello", 5, 2, 4},           // up to and including the word position
        {"say Hello ", 9, 0, 10},         // on the blank after the word
        {"one two three", 50, 5, 8},      // a position past the end counts to the last character
        // Shift-JIS: "nihongo" (three double-byte characters) after a blank counts 3, not 6.
        {"a \x93\xfa\x96\x7b\x8c\xea", 6, 3, 2},
        // The ideographic space (0x81 0x40) is one character of the word, not a blank.
        {"\x81\x40" "ab", 3, 3, 0},
    };
    for (const Case &c : cases) {
        int start = -1;
        int n = Bubble_CharsToErase(c.text, static_cast<int>(strlen(c.text)), c.wordPos, 932, &start);
        EXPECT_EQ(c.count, n) << c.text;
        EXPECT_EQ(c.start, start) << c.text;
    }
    EXPECT_EQ(0, Bubble_CharsToErase(nullptr, 5, 2, 932, nullptr));
}

} // namespace
