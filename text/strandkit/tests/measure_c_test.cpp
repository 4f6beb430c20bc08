// Drawing and measuring by charset under a Western interface (code page 1252, UI charset 0):
// double-byte text goes through 16-bit text.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "strandkit.h"
#include "support/testkit_gdi.h"

namespace {

class Dc : public ::testing::Test {
protected:
    TestkitCanvas canvas{300, 50};
    HDC dc = canvas.dc;
    HGDIOBJ oldFont = nullptr;
    void SetUp() override { oldFont = SelectObject(dc, Strandkit_GetCharsetFont(128)); }
    void TearDown() override { SelectObject(dc, oldFont); }
};

// Shift-JIS "Japanese" (a trail byte 0x7B among them) and its 16-bit form.
const char kSjis[] = "\x93\xfa\x96{\x8c\xea";
const WCHAR kWide[] = {0x65E5, 0x672C, 0x8A9E};

TEST_F(Dc, WesternInterface)
{
    EXPECT_EQ(Strandkit_GetUiCharset(), 0u);
    EXPECT_EQ(Strandkit_GetCharsetFont(0), GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_NE(Strandkit_GetCharsetFont(128), GetStockObject(DEFAULT_GUI_FONT));
}

TEST_F(Dc, DoubleByteTextGoesOutAsSixteenBitText)
{
    ASSERT_TRUE(Strandkit_TextOut(dc, 3, 3, kSjis, 6, 128));
    std::vector<uint32_t> mine = canvas.Pixels();
    canvas.Clear();
    ASSERT_TRUE(TextOutW(dc, 3, 3, kWide, 3));
    std::vector<uint32_t> theirs = canvas.Pixels();
    EXPECT_TRUE(mine == theirs);
    canvas.Clear();
    EXPECT_FALSE(mine == canvas.Pixels()) << "something was drawn";

    SIZE a = {}, b = {};
    ASSERT_TRUE(Strandkit_GetTextExtentPoint(dc, kSjis, 6, &a, 128));
    GetTextExtentPoint32W(dc, kWide, 3, &b);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(a.cy, b.cy);

    // Per-byte advances: a character's two bytes together.
    const INT dx[6] = {20, 20, 20, 20, 20, 20};
    const INT wdx[3] = {40, 40, 40};
    ASSERT_TRUE(Strandkit_ExtTextOut(dc, 3, 3, 0, nullptr, kSjis, 6, dx, 128));
    mine = canvas.Pixels();
    canvas.Clear();
    ASSERT_TRUE(ExtTextOutW(dc, 3, 3, 0, nullptr, kWide, 3, wdx));
    EXPECT_TRUE(mine == canvas.Pixels());
}

TEST_F(Dc, TextThatConvertsToNothingAnswersZero)
{
    EXPECT_FALSE(Strandkit_TextOut(dc, 0, 0, "\0\0", 2, 128));
    EXPECT_FALSE(Strandkit_ExtTextOut(dc, 0, 0, 0, nullptr, "\0", 1, nullptr, 129));
    SIZE s = {};
    EXPECT_FALSE(Strandkit_GetTextExtentPoint(dc, "\0", 1, &s, 134));
}

}  // namespace
