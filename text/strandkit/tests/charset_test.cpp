// Byte classes, character walks, code pages and conversions (run with code page 932).
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "strandkit.h"

namespace {

struct ByteCase {
    UINT charset;
    BYTE b;
    int lead, trail, kana;
};

TEST(ByteClasses, RangeEdgesPerCharset) {
    const ByteCase cases[] = {
        {128, 0x80, 0, 1, 0}, {128, 0x81, 1, 1, 0}, {128, 0x9F, 1, 1, 0}, {128, 0xA0, 0, 1, 1},
        {128, 0xDF, 0, 1, 1}, {128, 0xE0, 1, 1, 0}, {128, 0xFC, 1, 1, 0}, {128, 0xFD, 0, 0, 0},
        {128, 0x3F, 0, 0, 0}, {128, 0x40, 0, 1, 0}, {128, 0x5C, 0, 1, 0}, {128, 0x7F, 0, 1, 0},
        {129, 0x80, 0, 1, 0}, {129, 0x81, 1, 1, 0}, {129, 0xFD, 1, 1, 0}, {129, 0xFE, 0, 1, 0},
        {129, 0x40, 0, 0, 0}, {129, 0x41, 0, 1, 0}, {129, 0xFF, 0, 0, 0}, {129, 0xB0, 1, 1, 0},
        {134, 0xA0, 0, 0, 0}, {134, 0xA1, 1, 1, 0}, {134, 0xFE, 1, 1, 0}, {134, 0xFF, 0, 0, 0},
        {134, 0x5C, 0, 0, 0},
        {136, 0xA0, 0, 0, 0}, {136, 0xA1, 1, 1, 0}, {136, 0xFE, 1, 1, 0}, {136, 0x3F, 0, 0, 0},
        {136, 0x40, 0, 1, 0}, {136, 0x7E, 0, 1, 0}, {136, 0x7F, 0, 0, 0}, {136, 0x5C, 0, 1, 0},
        {130, 0x81, 0, 0, 0}, {0, 0x81, 0, 0, 0}, {238, 0xA5, 0, 0, 0},
    };
    for (const ByteCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "charset " << c.charset << " byte 0x" << std::hex << int(c.b));
        EXPECT_EQ(Strandkit_IsLeadByte(c.charset, c.b), c.lead);
        EXPECT_EQ(Strandkit_IsTrailByte(c.charset, c.b), c.trail);
        EXPECT_EQ(Strandkit_IsKana(c.charset, c.b), c.kana);
    }
    // The per-charset entry points under the extra ordinals behave as their dispatcher.
    EXPECT_EQ(Strandkit_GbIsTrailByte(0xA1), 1);
    EXPECT_EQ(Strandkit_Big5IsLeadByte(0xFE), 1);
    EXPECT_EQ(Strandkit_Big5IsTrailByte(0x7F), 0);
    EXPECT_EQ(Strandkit_HangulNoKana(0xB1), 0);
    EXPECT_EQ(Strandkit_Big5NoKana(0xB1), 0);
    EXPECT_EQ(Strandkit_SjisIsKana(0xB1), 1);
}

TEST(ByteClasses, CharsetKinds) {
    for (UINT cs : {128u, 129u, 134u, 136u}) {
        EXPECT_EQ(Strandkit_IsMultiByteCharset(cs), 1) << cs;
        EXPECT_EQ(Strandkit_IsFarEastCharset(cs), 1) << cs;
    }
    EXPECT_EQ(Strandkit_IsMultiByteCharset(130), 0);
    EXPECT_EQ(Strandkit_IsFarEastCharset(130), 1);
    EXPECT_EQ(Strandkit_IsFarEastCharset(0), 0);
    EXPECT_EQ(Strandkit_IsFarEastCharset(238), 0);
}

struct WalkCase {
    UINT charset;
    const char *text;
    int count;     // byte count for the split test, character count for the offset
    int split;     // Strandkit_IsSplitAt
    int offset;    // Strandkit_CharOffset
};

TEST(Walks, SplitAndOffset) {
    // "\x83\x5C" is Shift-JIS katakana SO (trail byte 0x5C), "\x83\x7B" BO, "\xB3\x5C" the Big5
    // character XU, "\xB0\xA1" Hangul GA, "\xC4\xE3" GB2312 NI.
    const WalkCase cases[] = {
        {128, "\x83\x5C", 1, 2, 2},
        {128, "\x83\x5C", 0, 1, 0},
        {128, "abc", 2, 0, 2},
        {128, "a\x83\x5C" "b", 1, 1, 1},
        {128, "a\x83\x5C" "b", 2, 2, 3},
        {128, "a\x83\x5C" "b", 3, 0, 4},
        {128, "\x83\x7B\x83\x7C", 2, 1, 4},
        {128, "\xB1\x83\x7D", 1, 1, 1},          // half-width kana is one byte
        {128, "a\x83", 5, 0, 2},                 // lead byte before the NUL: one byte, no overrun
        {128, "ab", 9, 0, 2},                    // offset stops at the NUL
        {129, "\xB0\xA1" "a", 1, 2, 2},
        {129, "\xB0\xA1" "a", 2, 0, 3},
        {134, "\xC4\xE3\xC4\xE3", 3, 2, 4},
        {136, "x\xB3\x5C", 1, 1, 1},
        {136, "x\xB3\x5C", 2, 2, 3},
        {0, "\xE9t\xE9", 1, 0, 1},               // single-byte charsets walk one byte per character
        {130, "\x88\xA1", 1, 0, 1},
    };
    for (const WalkCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "charset " << c.charset << " text " << testing::PrintToString(c.text)
                                        << " count " << c.count);
        EXPECT_EQ(Strandkit_IsSplitAt(c.charset, c.text, c.count), c.split);
        EXPECT_EQ(Strandkit_CharOffset(c.charset, c.text, c.count), c.offset);
    }
    EXPECT_EQ(Strandkit_SjisIsSplitAt("\x83\x5C", 1), 2);
    EXPECT_EQ(Strandkit_HangulIsSplitAt("\xB0\xA1", 0), 1);
    EXPECT_EQ(Strandkit_Big5IsSplitAt("\xB3\x5C", 1), 2);
    EXPECT_EQ(Strandkit_GbCharOffset("\xC4\xE3" "a", 2), 3);
    EXPECT_EQ(Strandkit_Big5CharOffset("\xB3\x5C" "a", 1), 2);
    EXPECT_EQ(Strandkit_SjisCharOffset("\x83\x5C" "a", 1), 2);
    EXPECT_EQ(Strandkit_HangulCharOffset("\xB0\xA1" "a", 9), 3);
}

TEST(Walks, CountsAndLengths) {
    const char *sjis = "a\x83\x5C\xB1\x95\x5C";  // a, SO, half-width A, the kanji HYOU (trail 0x5C)
    EXPECT_EQ(Strandkit_CountChars(128, sjis), 4);
    EXPECT_EQ(Strandkit_CountChars(0, sjis), 6);
    EXPECT_EQ(Strandkit_CountCharsInBytes(128, sjis, 2), 2);  // SO starts within two bytes
    EXPECT_EQ(Strandkit_CountCharsInBytes(128, sjis, 100), 4);
    EXPECT_EQ(Strandkit_CharsToBytes(128, sjis, 2), 3);
    EXPECT_EQ(Strandkit_CharsToBytes(128, sjis, -1), 6);
    EXPECT_EQ(Strandkit_CharsToBytes(128, sjis, 99), 6);
    EXPECT_EQ(Strandkit_CharsToBytesEx(128, sjis, 3), 4);
    EXPECT_EQ(Strandkit_CountChars(128, "\x83"), 1);            // a lead byte alone before the NUL
    EXPECT_EQ(Strandkit_CharsToBytes(136, "\xB3", -1), 1);
    EXPECT_EQ(Strandkit_CountChars(134, nullptr), 0);
}

TEST(CodePages, TablesBothWays) {
    const struct {
        UINT charset, codePage;
    } pairs[] = {{128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950}, {161, 1253}, {162, 1254},
                 {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 866}, {222, 874}, {238, 1250}};
    for (const auto &p : pairs) {
        EXPECT_EQ(Strandkit_CharsetToCodePage(p.charset), p.codePage);
        EXPECT_EQ(Strandkit_CodePageToCharset(p.codePage), p.charset);
    }
    EXPECT_EQ(Strandkit_CharsetToCodePage(0), 1252u);
    EXPECT_EQ(Strandkit_CharsetToCodePage(2), 1252u);
    EXPECT_EQ(Strandkit_CodePageToCharset(1252), 0u);
    EXPECT_EQ(Strandkit_CodePageToCharset(65001), 0u);
}

TEST(Conversions, BothDirectionsInTheCharsetsCodePage) {
    WCHAR wide[8] = {};
    EXPECT_EQ(Strandkit_MultiByteToWide(128, "\x83\x5C", -1, wide, 8), 2);
    EXPECT_EQ(wide[0], 0x30BD);  // katakana SO
    EXPECT_EQ(Strandkit_MultiByteToWide(136, "\xB3\x5C", 2, wide, 8), 1);
    EXPECT_EQ(wide[0], 0x8A31);
    char out[8] = {};
    const WCHAR ga[] = {0xAC00, 0};  // Hangul GA
    EXPECT_EQ(Strandkit_WideToMultiByte(129, ga, -1, nullptr, 0), 3);  // size query
    EXPECT_EQ(Strandkit_WideToMultiByte(129, ga, -1, out, 8), 3);
    EXPECT_STREQ(out, "\xB0\xA1");
    // A character the code page cannot hold must not cut the text with a zero byte.
    const WCHAR mixed[] = {'a', 0xAC00, 'b', 0};
    EXPECT_EQ(Strandkit_WideToMultiByte(0, mixed, -1, out, 8), 4);
    EXPECT_EQ(std::string(out), "a?b");
}

}  // namespace
