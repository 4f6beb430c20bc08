// Drawing and measuring by charset under a Western interface (code page 1252, UI charset 0):
// double-byte text goes through 16-bit text.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "strandkit.h"

namespace {

class Dc : public ::testing::Test {
protected:
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ oldBmp = nullptr, oldFont = nullptr;
    DWORD *bits = nullptr;
    const int w = 300, h = 50;
    void SetUp() override
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void *p = nullptr;
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<DWORD *>(p);
        oldBmp = SelectObject(dc, bmp);
        oldFont = SelectObject(dc, Strandkit_GetCharsetFont(128));
        Clear();
    }
    void TearDown() override
    {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBmp);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void Clear()
    {
        GdiFlush();
        for (int i = 0; i < w * h; ++i) {
            bits[i] = 0xFFFFFF;
        }
    }
    std::vector<DWORD> Pixels()
    {
        GdiFlush();
        return std::vector<DWORD>(bits, bits + w * h);
    }
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
    std::vector<DWORD> mine = Pixels();
    Clear();
    ASSERT_TRUE(TextOutW(dc, 3, 3, kWide, 3));
    std::vector<DWORD> theirs = Pixels();
    EXPECT_TRUE(mine == theirs);
    Clear();
    EXPECT_FALSE(mine == Pixels()) << "something was drawn";

    SIZE a = {}, b = {};
    ASSERT_TRUE(Strandkit_GetTextExtentPoint(dc, kSjis, 6, &a, 128));
    GetTextExtentPoint32W(dc, kWide, 3, &b);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(a.cy, b.cy);

    // Per-byte advances: a character's two bytes together.
    const INT dx[6] = {20, 20, 20, 20, 20, 20};
    const INT wdx[3] = {40, 40, 40};
    ASSERT_TRUE(Strandkit_ExtTextOut(dc, 3, 3, 0, nullptr, kSjis, 6, dx, 128));
    mine = Pixels();
    Clear();
    ASSERT_TRUE(ExtTextOutW(dc, 3, 3, 0, nullptr, kWide, 3, wdx));
    EXPECT_TRUE(mine == Pixels());
}

TEST_F(Dc, TextThatConvertsToNothingAnswersZero)
{
    EXPECT_FALSE(Strandkit_TextOut(dc, 0, 0, "\0\0", 2, 128));
    EXPECT_FALSE(Strandkit_ExtTextOut(dc, 0, 0, 0, nullptr, "\0", 1, nullptr, 129));
    SIZE s = {};
    EXPECT_FALSE(Strandkit_GetTextExtentPoint(dc, "\0", 1, &s, 134));
}

}  // namespace
