// Drawing helpers and image effects, read back from 32-bit memory bitmaps.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>

#include "basekit.h"
#include "support/testkit_gdi.h"

namespace {

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

TEST(Gradient, LighterUpwardsEndsAtTheColourInTheTopRow)
{
    TestkitCanvas c(4, 100);
    RECT r = {0, 0, 4, 100};
    Basekit_FillGradient(c.dc, &r, RGB(255, 128, 60), 0, nullptr, 1);
    EXPECT_EQ(0xFF803Cu, c.At(0, 0));
    for (int y = 1; y < 100; ++y) {
        EXPECT_GE(Red(c.At(1, y - 1)), Red(c.At(1, y))) << y;
        EXPECT_GE(Green(c.At(1, y - 1)), Green(c.At(1, y))) << y;
    }
    EXPECT_LT(Red(c.At(0, 99)), 10);
    EXPECT_EQ(c.At(0, 50), c.At(3, 50));
}

TEST(Gradient, DarkerUpwardsRainbowAndEmptyHeight)
{
    TestkitCanvas c(2, 300);
    RECT r = {0, 0, 2, 300};
    Basekit_FillGradient(c.dc, &r, RGB(200, 100, 255), 0, nullptr, 0);
    EXPECT_LT(Red(c.At(0, 0)), 12);   // near black: whole steps of 800 / 256
    EXPECT_GT(Red(c.At(0, 299)), 190);
    EXPECT_LT(Red(c.At(0, 299)), 200);   // the first band is one step below the colour
    for (int y = 1; y < 300; ++y) EXPECT_LE(Blue(c.At(0, y - 1)), Blue(c.At(0, y))) << y;

    TestkitCanvas rb(2, 60);
    RECT r2 = {0, 0, 2, 60};
    Basekit_FillGradient(rb.dc, &r2, 0, 0, nullptr, 2);
    EXPECT_EQ(0xFF0000u, rb.At(0, 0));
    EXPECT_EQ(255, Green(rb.At(0, 20)));   // a third of the way: green phases
    EXPECT_EQ(255, Blue(rb.At(0, 40)));    // two thirds: blue phases

    // A height of 0 (and less) fills nothing and divides by nothing.
    TestkitCanvas e(5, 5);
    RECT zero = {0, 0, 5, 0}, negative = {0, 0, 5, -3};
    for (int mode = 0; mode < 3; ++mode) {
        Basekit_FillGradient(e.dc, &zero, RGB(1, 2, 3), 0, nullptr, mode);
        Basekit_FillGradient(e.dc, &negative, RGB(1, 2, 3), 0, nullptr, mode);
    }
    for (int y = 0; y < 5; ++y) EXPECT_EQ(0xFFFFFFu, e.At(2, y));
}

TEST(Swatches, FillAndFrameInsideTheRectangle)
{
    TestkitCanvas c(20, 20);
    RECT r = {0, 0, 20, 20};
    Basekit_DrawSwatch(c.dc, &r, RGB(0, 0, 255));
    EXPECT_EQ(0xFFFFFFu, c.At(2, 2));
    EXPECT_EQ(0x808080u, c.At(3, 3));
    EXPECT_EQ(0x808080u, c.At(16, 16));
    EXPECT_EQ(0x0000FFu, c.At(4, 4));
    EXPECT_EQ(0x0000FFu, c.At(15, 15));
    TestkitCanvas f(20, 20);
    Basekit_FillSwatch(f.dc, &r, RGB(0, 255, 0));
    EXPECT_EQ(0x00FF00u, f.At(3, 3));
    EXPECT_EQ(0xFFFFFFu, f.At(17, 17));
    TestkitCanvas b(40, 20);
    RECT br = {0, 0, 40, 20};
    Basekit_DrawColorButton(b.dc, &br, RGB(255, 0, 0));
    EXPECT_EQ(0u, b.At(0, 0));              // black frame
    EXPECT_EQ(0xFF0000u, b.At(20, 10));     // swatch

    // The drop-down arrow part takes the right end of the swatch.
    TestkitCanvas plain(60, 20), drop(60, 20);
    RECT dr = {0, 0, 60, 20};
    Basekit_DrawColorDropButton(plain.dc, &dr, RGB(255, 0, 0), FALSE);
    Basekit_DrawColorDropButton(drop.dc, &dr, RGB(255, 0, 0), TRUE);
    EXPECT_EQ(0xFF0000u, plain.At(4, 4));
    EXPECT_EQ(0xFF0000u, plain.At(54, 14));
    EXPECT_EQ(0xFFFFFFu, plain.At(55, 14));
    EXPECT_EQ(0xFF0000u, drop.At(4, 4));
    EXPECT_NE(0xFF0000u, drop.At(54, 10));
    int swatchEnd = 4;
    while (swatchEnd < 60 && drop.At(swatchEnd, 10) == 0xFF0000u) ++swatchEnd;
    EXPECT_GT(swatchEnd, 30);
    EXPECT_LT(swatchEnd, 54);
}

TEST(ListItems, CheckStateTwoLeavesTheColumnEmptyAndMovesTheText)
{
    RECT r = {0, 0, 120, 18};
    int first[3], last[3];
    for (int state = 0; state < 3; ++state) {
        TestkitCanvas c(120, 18);
        Basekit_DrawIconTextItem(c.dc, &r, state, "Ab", 2, RGB(0, 0, 0), RGB(255, 255, 255));
        // The check column spans x 2 to 13; the text starts at 16.
        int columnInk = 0;
        for (int x = 2; x < 14; ++x)
            for (int y = 0; y < 18; ++y) columnInk += c.At(x, y) != 0xFFFFFFu;
        EXPECT_EQ(state != 2, columnInk > 0) << state;
        TestkitCanvas t(120, 18);
        Basekit_DrawIconTextItem(t.dc, &r, state, "Ab", 2, RGB(0, 0, 0), RGB(255, 255, 255));
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 15; ++x) t.pixels[y * 120 + x] = 0xFFFFFF;
        t.InkColumns(0xFFFFFF, &first[state], &last[state]);
        EXPECT_GE(first[state], 16);
    }
    EXPECT_EQ(first[0], first[2]);
    EXPECT_EQ(last[0], last[2]);
}

TEST(ListItems, OverlongTextWholeCharactersOrClipped)
{
    const char *text = "WWWWWWWWWWWWWWWW";
    TestkitCanvas probe(10, 10);
    HGDIOBJ old = SelectObject(probe.dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE five, six;
    GetTextExtentPoint32A(probe.dc, text, 5, &five);
    GetTextExtentPoint32A(probe.dc, text, 6, &six);
    SelectObject(probe.dc, old);
    ASSERT_GT(six.cx - five.cx, 4);
    // The item ends in the middle of the sixth character (text starts at x 4: 2 + 2 for text only).
    int right = 4 + five.cx + (six.cx - five.cx) / 2;
    RECT r = {0, 0, right, 16};
    int first, last;
    TestkitCanvas whole(200, 16);
    Basekit_DrawTextItem(whole.dc, &r, text, 16, RGB(0, 0, 0), RGB(255, 255, 255));
    whole.InkColumns(0xFFFFFF, &first, &last);
    EXPECT_GE(first, 4);
    EXPECT_LE(last, 4 + five.cx);
    TestkitCanvas clipped(200, 16, 0x00FF00);
    Basekit_DrawTextItemAlt(clipped.dc, &r, text, 16, RGB(0, 0, 0), RGB(255, 255, 255));
    int ink = 0;
    for (int x = 4 + five.cx + 1; x < right; ++x)
        for (int y = 0; y < 16; ++y) ink += clipped.At(x, y) == 0u;
    EXPECT_GT(ink, 0);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(0x00FF00u, clipped.At(right, y));   // nothing beyond
}

HBITMAP SectionOf(int w, int h, uint32_t *colours, int count)
{
    TestkitCanvas c(w, h);
    for (int i = 0; i < w * h; ++i) c.pixels[i] = colours[i % count];
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(c.bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return copy;
}

uint32_t PixelOf(HBITMAP b, int i)
{
    DIBSECTION ds = {};
    GetObjectA(b, sizeof ds, &ds);
    EXPECT_EQ(32, ds.dsBm.bmBitsPixel);
    return static_cast<uint32_t *>(ds.dsBm.bmBits)[i];
}

TEST(Effects, GreyByMatrixAndGreyExceptTheButtonFace)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, faceRgb};
    HBITMAP source = SectionOf(4, 3, colours, 4);
    ASSERT_NE(nullptr, source);
    EXPECT_EQ(1, Basekit_GdiplusStartup());
    HBITMAP grey = Basekit_ImageColorMatrix(source);
    ASSERT_NE(nullptr, grey);
    int expect[3] = {77, 150, 28};   // 0.3, 0.59 and 0.11 of 255
    for (int i = 0; i < 3; ++i) {
        uint32_t p = PixelOf(grey, i);
        EXPECT_EQ(0xFFu, p >> 24);
        EXPECT_NEAR(expect[i], Red(p), 1);
        EXPECT_EQ(Red(p), Green(p));
        EXPECT_EQ(Red(p), Blue(p));
    }
    HBITMAP recoloured = Basekit_ImageRecolor(source);
    ASSERT_NE(nullptr, recoloured);
    EXPECT_EQ(0xFF000000u | faceRgb, PixelOf(recoloured, 3));
    EXPECT_EQ(0xFF000000u | faceRgb, PixelOf(recoloured, 7));
    EXPECT_EQ(0xFF4C4C4Cu, PixelOf(recoloured, 0));   // 0.3 x 255 = 76.5, truncated
    EXPECT_EQ(1, Basekit_GdiplusShutdown());
    DeleteObject(grey);
    DeleteObject(recoloured);
    DeleteObject(source);
    EXPECT_EQ(nullptr, Basekit_ImageRecolor(nullptr));
}

} // namespace
