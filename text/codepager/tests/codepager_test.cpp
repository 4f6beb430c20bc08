// The code-page library's interface: byte classes, conversions, default fonts, and drawing and
// measuring in a described font (runs with the system code page 932).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codepager.h"
#include "support/testkit_gdi.h"

namespace {

TEST(ByteClasses, Boundaries)
{
    struct Row {
        UINT charset;
        BYTE b;
        BOOL lead, trail, single;
    };
    const Row rows[] = {
        {128, 0x80, 0, 1, 0}, {128, 0x81, 1, 1, 0}, {128, 0x9F, 1, 1, 0}, {128, 0xA0, 0, 1, 1},
        {128, 0xDF, 0, 1, 1}, {128, 0xE0, 1, 1, 0}, {128, 0xFC, 1, 1, 0}, {128, 0xFD, 0, 0, 0},
        {128, 0x3F, 0, 0, 0}, {128, 0x40, 0, 1, 0},
        {129, 0x81, 0, 0, 0}, {129, 0xA1, 1, 1, 0}, {129, 0xFE, 1, 1, 0}, {129, 0x41, 0, 0, 0},
        {134, 0xA0, 0, 0, 0}, {134, 0xA1, 1, 1, 0}, {134, 0xFF, 0, 0, 0},
        {136, 0x40, 0, 1, 0}, {136, 0x7E, 0, 1, 0}, {136, 0x7F, 0, 0, 0}, {136, 0xA1, 1, 1, 0},
        {0, 0x81, 0, 0, 0},   {130, 0xA1, 0, 0, 0}, {238, 0xE0, 0, 0, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(testing::Message() << r.charset << " " << std::hex << int(r.b));
        EXPECT_EQ(Codepager_IsLeadByte(r.charset, r.b), r.lead);
        EXPECT_EQ(Codepager_IsTrailByte(r.charset, r.b), r.trail);
        EXPECT_EQ(Codepager_IsMappedSingleByte(r.charset, r.b), r.single);
    }
}

TEST(Conversions, SystemPathRoundTripsPerCharset)
{
    struct Case {
        UINT charset;
        const char *text;
    };
    const Case cases[] = {
        // Shift-JIS: KATAKANA SO (83 5C), HIRAGANA A (82 A0), "{", KANJI (8F 7B), "}"
        {128, "\x83\x5c\x82\xa0{\x8f\x7b}"},
        // Hangul: HANGUL SYLLABLE GA (B0 A1), " ", HAN (C7 D1)
        {129, "\xb0\xa1 \xc7\xd1"},
        // GB2312: ZHONG (D6 D0), WEN (CE C4)
        {134, "\xd6\xd0\xce\xc4"},
        // Big5: ZHONG (A4 A4), "\", a character with trail 0x5C (A5 5C)
        {136, "\xa4\xa4\\\xa5\x5c"},
        // Western: e acute, ellipsis
        {0, "caf\xe9\x85"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.charset);
        int n = Codepager_MultiByteToWide(c.charset, c.text, 0, nullptr, 0);
        ASSERT_GT(n, 1);
        std::vector<WCHAR> wide(n);
        ASSERT_EQ(Codepager_MultiByteToWide(c.charset, c.text, -1, wide.data(), n), n);
        EXPECT_EQ(wide[n - 1], 0);
        int m = Codepager_WideToMultiByte(c.charset, 0, wide.data(), 0, nullptr, 0);
        ASSERT_EQ(m, int(strlen(c.text)) + 1);
        std::string back(m, 'x');
        ASSERT_EQ(Codepager_WideToMultiByte(c.charset, 0, wide.data(), -1, &back[0], m), m);
        EXPECT_STREQ(back.c_str(), c.text);
    }
}

TEST(Conversions, UnmappableBecomesTheDefaultCharacterNotAZero)
{
    // "a", HANGUL SYLLABLE GA (not in code page 932), "b"
    const WCHAR text[] = {L'a', 0xAC00, L'b', 0};
    char out[8] = {};
    EXPECT_EQ(Codepager_WideToMultiByte(128, 0, text, -1, out, 8), 4);
    EXPECT_EQ(std::string(out), "a?b");
    EXPECT_EQ(Codepager_WideToMultiByte(128, 1, text, -1, out, 8), 0) << "flags must be 0";
}

TEST(DefaultFonts, GetSetAndLanguageIndexes)
{
    CharsetFont f = {};
    ASSERT_TRUE(Codepager_GetDefaultFont(CODEPAGER_LANG_JAPANESE, &f));
    EXPECT_EQ(f.charset, 128);
    EXPECT_EQ(f.size, 12);
    EXPECT_STREQ(f.face, "MS Gothic");
    ASSERT_TRUE(Codepager_GetDefaultFont(CODEPAGER_LANG_CHINESE_TRADITIONAL, &f));
    EXPECT_STREQ(f.face, "MingLiU");
    ASSERT_TRUE(Codepager_GetDefaultFont(0x9999, &f));   // any other index: charset 0
    EXPECT_EQ(f.charset, 0);
    EXPECT_STREQ(f.face, "Times New Roman");
    f = {};
    f.charset = 2;
    ASSERT_TRUE(Codepager_GetDefaultFont(0, &f));
    EXPECT_STREQ(f.face, "rIZOzedIvova");
    f = {};
    f.charset = 77;   // no entry
    EXPECT_FALSE(Codepager_GetDefaultFont(0, &f));

    // Set takes the size and face, hands back the entry's style; a zero size keeps the old one.
    CharsetFont set = {0, 14, CODEPAGER_STYLE_BOLD, "Arial"};
    EXPECT_TRUE(Codepager_SetDefaultFont(CODEPAGER_LANG_CHINESE_SIMPLIFIED, &set));
    EXPECT_EQ(set.style, 0);
    CharsetFont got = {};
    ASSERT_TRUE(Codepager_GetDefaultFont(CODEPAGER_LANG_CHINESE_SIMPLIFIED, &got));
    EXPECT_EQ(got.charset, 134);
    EXPECT_EQ(got.size, 14);
    EXPECT_STREQ(got.face, "Arial");
    set = {0, 0, 0, ""};
    EXPECT_TRUE(Codepager_SetDefaultFont(CODEPAGER_LANG_CHINESE_SIMPLIFIED, &set));
    ASSERT_TRUE(Codepager_GetDefaultFont(CODEPAGER_LANG_CHINESE_SIMPLIFIED, &got));
    EXPECT_EQ(got.size, 14);
    EXPECT_STREQ(got.face, "Arial");
    set = {77, 20, 0, "X"};
    EXPECT_TRUE(Codepager_SetDefaultFont(0, &set)) << "no entry: nothing changes, still 1";
}

// The font the library builds for a description, built by hand for comparison.
HFONT SameFont(HDC dc, LONG points, BYTE charset, const char *face)
{
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = charset;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

// Text of a charset that is not the system's is drawn and measured as 16-bit text in the
// described font: the same pixels and extent as the platform's 16-bit calls in that font.
TEST(Drawing, ForeignCharsetGoesThroughSixteenBitText)
{
    TestkitCanvas c(400, 60);
    // Hangul: HANGUL SYLLABLE GA (B0 A1), HAN (C7 D1), "a"
    const char text[] = "\xb0\xa1\xc7\xd1" "a";
    const WCHAR wide[] = {0xAC00, 0xD55C, L'a'};
    CharsetFont desc = {129, 16, 0, ""};   // face from the default table: GulimChe
    HGDIOBJ before = GetCurrentObject(c.dc, OBJ_FONT);

    SIZE mine = {}, theirs = {};
    ASSERT_TRUE(Codepager_GetTextExtent(c.dc, text, 5, &mine, &desc));
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_FONT), before) << "font restored";
    ASSERT_TRUE(Codepager_TextOut(c.dc, 2, 2, text, 5, &desc));
    std::vector<uint32_t> drawn = c.Pixels();

    c.Clear();
    HFONT f = SameFont(c.dc, 16, 129, "GulimChe");
    HGDIOBJ old = SelectObject(c.dc, f);
    GetTextExtentPoint32W(c.dc, wide, 3, &theirs);
    TextOutW(c.dc, 2, 2, wide, 3);
    SelectObject(c.dc, old);
    DeleteObject(f);
    std::vector<uint32_t> expected = c.Pixels();

    EXPECT_EQ(mine.cx, theirs.cx);
    EXPECT_EQ(mine.cy, theirs.cy);
    EXPECT_GT(mine.cx, 0);
    EXPECT_TRUE(drawn == expected);
    c.Clear();
    EXPECT_NE(drawn, c.Pixels()) << "something was drawn";
}

TEST(Drawing, SizesStylesAndEmptyText)
{
    TestkitCanvas c(400, 60);
    SIZE small = {}, large = {}, pixels = {};
    CharsetFont desc = {128, 10, 0, ""};
    // HIRAGANA A I U (82 A0 82 A2 82 A4)
    const char text[] = "\x82\xa0\x82\xa2\x82\xa4";
    ASSERT_TRUE(Codepager_GetTextExtent(c.dc, text, 6, &small, &desc));
    desc.size = 20;
    ASSERT_TRUE(Codepager_GetTextExtent(c.dc, text, 6, &large, &desc));
    EXPECT_GT(large.cx, small.cx);
    EXPECT_GT(large.cy, small.cy);
    desc.size = -40;   // a height in pixels
    ASSERT_TRUE(Codepager_GetTextExtent(c.dc, text, 6, &pixels, &desc));
    EXPECT_GT(pixels.cy, large.cy);

    SIZE s = {};
    EXPECT_FALSE(Codepager_GetTextExtent(c.dc, nullptr, 3, &s, &desc));
    EXPECT_FALSE(Codepager_GetTextExtent(c.dc, text, 0, &s, &desc));

    // Per-byte advances of a double-byte text are honoured on the 16-bit path too: spreading the
    // characters moves the last one right.
    CharsetFont hangul = {129, 12, 0, ""};
    const char two[] = "\xb0\xa1\xc7\xd1";   // HANGUL GA, HAN
    const INT dx[4] = {30, 30, 30, 30};
    ASSERT_TRUE(Codepager_ExtTextOut(c.dc, 0, 0, 0, nullptr, two, 4, dx, &hangul));
    int leftmost = -1, rightmost = -1;
    c.InkColumns(0xFFFFFF, &leftmost, &rightmost);
    EXPECT_GE(rightmost, 60) << "second character placed at the summed advance of its bytes";
}

}  // namespace
