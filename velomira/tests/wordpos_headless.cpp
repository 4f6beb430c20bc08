// The capture's pure part without windows: the line mode of a trigger and the keys, the joining of
// captured lines with the word's byte position in the joined text for Western, Shift-JIS, Big5 and
// Hangul lines, and the spelling trigger's moves of that position.
#include <gtest/gtest.h>

#include <string.h>

#include "wordpos.h"

namespace {

CaptureOptions Modes(int none, int shift, int ctrl, int both, int up, int down)
{
    CaptureOptions o = {};
    o.CaptureNoKey = none;
    o.CaptureShift = shift;
    o.CaptureCtrl = ctrl;
    o.CaptureShiftCtrl = both;
    o.UpperCaptureLine = up;
    o.LowerCaptureLine = down;
    return o;
}

TEST(LineMode, KeysChooseTheModeOnlyForPointerTriggers)
{
    const CaptureOptions o = Modes(1, 0, 2, 3, 2, 2);
    struct Case {
        UINT trigger;
        bool shift, ctrl;
        int mode;
    } cases[] = {
        {0xBD3, false, false, 1}, {0xBD3, true, false, 0},  {0xBD3, false, true, 2}, {0xBD3, true, true, 3},
        {0xBD1, true, false, 0},  {0xBD2, false, true, 2},  {0xBD6, false, true, 2},  // above 0xBD5 reads keys
        {0xBD4, true, false, 1},  {0xBD5, true, false, 1},  {0x83F2, true, false, 1},  // never read keys
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.mode, Vlm_LineMode(c.trigger, c.shift, c.ctrl, o)) << std::hex << c.trigger << c.shift << c.ctrl;
    // A mode outside 0 to 4 in the options is the word line alone.
    EXPECT_EQ(1, Vlm_LineMode(0xBD3, false, false, Modes(9, 0, 0, 0, 0, 0)));
    EXPECT_EQ(1, Vlm_LineMode(0xBD3, false, false, Modes(-1, 0, 0, 0, 0, 0)));
}

TEST(LineMode, ExtraLinesPerModeAreBounded)
{
    struct Case {
        int mode, up, down, wantUp, wantDown;
    } cases[] = {
        {1, 2, 3, 0, 0}, {2, 2, 3, 2, 3}, {3, 2, 3, 2, 0}, {4, 2, 3, 0, 3}, {2, -4, 400, 0, kVlmMaxExtraLines},
    };
    for (const Case &c : cases) {
        int up = -1, down = -1;
        Vlm_ExtraLines(c.mode, Modes(0, 0, 0, 0, c.up, c.down), &up, &down);
        EXPECT_EQ(c.wantUp, up) << c.mode;
        EXPECT_EQ(c.wantDown, down) << c.mode;
    }
}

struct JoinCase {
    const char *name;
    UINT charset;
    std::vector<VlmLine> above;
    VlmLine word;
    int wordChar;
    std::vector<VlmLine> below;
    bool extra;
    std::string text;
    int wordPos;
};

TEST(JoinLines, TableOfCharsetsAndSplits)
{
    // Shift-JIS: "nihongo" = 93 FA 96 7B 8C EA, "jisho" = 8E AB 8F 91.
    // Big5: "zhongwen" = A4 A4 A4 E5.  Hangul (949): "hangul" = C7 D1 B1 DB.
    const JoinCase cases[] = {
        {"word line alone", 0, {}, {"the cat sat", 11}, 4, {}, false, "the cat sat", 4},
        {"word line alone, extra asked but none found", 0, {}, {"the cat", 7}, 4, {}, true, "the cat ", 4},
        {"western above and below: the blank after the line above is counted",
         0, {{"abc", 3}}, {"def", 3}, 1, {{"ghi", 3}}, true, "abc def ghi ", 5},
        {"two lines above, topmost first", 0, {{"one", 3}, {"two ", 4}}, {"three", 5}, 0, {}, true,
         "one two three ", 8},
        {"a line ending in a blank gets none added", 0, {{"end ", 4}}, {"x", 1}, 0, {}, true, "end x ", 4},
        {"western text longer than its character count is cut to it", 0, {}, {"abcdef", 3}, 2, {}, false, "abc", 2},
        {"Shift-JIS word line alone: characters become bytes", 128, {},
         {"\x93\xfa\x96\x7b\x8c\xea abc", 7}, 4, {}, false, "\x93\xfa\x96\x7b\x8c\xea abc", 7},
        {"Shift-JIS word on the third character", 128, {}, {"\x93\xfa\x96\x7b\x8c\xea", 3}, 2, {}, false,
         "\x93\xfa\x96\x7b\x8c\xea", 4},
        {"Shift-JIS line ending in a double-byte character runs on without a blank", 128,
         {{"\x93\xfa\x96\x7b", 2}}, {"\x8c\xea\x8e\xab\x8f\x91", 3}, 1, {}, true,
         "\x93\xfa\x96\x7b\x8c\xea\x8e\xab\x8f\x91", 6},
        {"Shift-JIS line ending in a cut-off lead byte gets no blank", 128, {{"ab\x93", 3}}, {"cd", 2}, 1, {},
         true, "ab\x93" "cd ", 4},
        {"Shift-JIS line ending in a single-byte letter gets a blank", 128, {{"\x93\xfa" "a", 2}},
         {"\x8e\xab", 1}, 0, {}, true, "\x93\xfa" "a \x8e\xab", 4},
        {"Big5 lines", 136, {{"\xa4\xa4", 1}}, {"ab \xa4\xe5", 4}, 3, {{"x", 1}}, true,
         "\xa4\xa4" "ab \xa4\xe5x ", 5},
        {"Hangul word line", 129, {{"abc", 3}}, {"\xc7\xd1\xb1\xdb", 2}, 1, {}, true,
         "abc \xc7\xd1\xb1\xdb", 6},
        {"word position past the line stays at its end", 0, {}, {"ab", 2}, 9, {}, false, "ab", 2},
    };
    for (const JoinCase &c : cases) {
        VlmJoined j = Vlm_JoinLines(c.charset, c.above, c.word, c.wordChar, c.below, c.extra);
        EXPECT_EQ(c.text, j.text) << c.name;
        EXPECT_EQ(c.wordPos, j.wordPos) << c.name;
    }
}

TEST(JoinLines, PositionPointsAtTheSameCharacterAsInTheWordLine)
{
    VlmLine word = {"\x8c\xea\x8e\xab xy", 5};
    for (int ch = 0; ch < 5; ch++) {
        VlmJoined alone = Vlm_JoinLines(128, {}, word, ch, {}, false);
        VlmJoined joined = Vlm_JoinLines(128, {{"ab", 2}, {"\x93\xfa", 1}}, word, ch, {{"z", 1}}, true);
        EXPECT_EQ(alone.text.substr(alone.wordPos, 1), joined.text.substr(joined.wordPos, 1)) << ch;
    }
}

TEST(WordMoves, SpellingTriggerEndsOnTheLastCharacterOfTheWord)
{
    struct Case {
        UINT charset;
        const char *text;
        int pos, end, back;
    } cases[] = {
        {0, "spell chek here", 6, 9, 6},            // "chek": its last letter
        {0, "spell chek", 7, 9, 7},                 // the end of the text ends the word
        {0, "word ", 4, 3, 3},                      // on the blank: the word before it
        {0, " x", 0, 0, 0},                         // a blank at the start stays
        {128, "\x93\xfa\x96\x7b ab", 0, 2, 0},      // the last double-byte character's lead byte
        {128, "ab\x93\xfa ", 1, 2, 1},
        {128, "\x93\xfa ", 2, 0, 0},
    };
    for (const Case &c : cases) {
        int len = (int)strlen(c.text);
        EXPECT_EQ(c.end, Vlm_WordEnd(c.charset, c.text, len, c.pos)) << c.text << " " << c.pos;
        EXPECT_EQ(c.back, Vlm_BackFromBlank(c.charset, c.text, len, c.pos)) << c.text << " " << c.pos;
    }
}

}  // namespace
