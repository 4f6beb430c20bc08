// Bitmaps: the loaders over valid and damaged .bmp images made here, and drawing read back from a
// 32-bit memory bitmap (exact for 1:1 drawing, loose for stretching).
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

#include "basekit.h"
#include "support/testkit_files.h"
#include "support/testkit_gdi.h"

namespace {

typedef std::vector<BYTE> Bytes;

// A .bmp file image written from the format: file header, info header of headerSize bytes,
// colour table, rows bottom-up.  pixel(x, y) gives the value of the pixel at x, y from the top:
// a colour index for 1 to 8 bits, 0xRRGGBB for 24 and 32, a 5-5-5 value for 16.
template <typename F>
Bytes MakeBmp(int width, int height, int bpp, F pixel, int colours = -1, int headerSize = 40)
{
    if (colours < 0) colours = bpp <= 8 ? (1 << bpp) : 0;
    int row = ((width * bpp + 31) / 32) * 4;
    size_t offset = 14 + headerSize + 4 * colours;
    Bytes b(offset + static_cast<size_t>(row) * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Testkit_Put32(b, 2, static_cast<uint32_t>(b.size()));
    Testkit_Put32(b, 10, static_cast<uint32_t>(offset));
    Testkit_Put32(b, 14, headerSize);
    Testkit_Put32(b, 18, width);
    Testkit_Put32(b, 22, height);
    Testkit_Put16(b, 26, 1);
    Testkit_Put16(b, 28, bpp);
    Testkit_Put32(b, 46, bpp <= 8 && colours == (1 << bpp) ? 0 : colours);
    for (int i = 0; i < colours; ++i) {   // a grey ramp, index 1 pure magenta for the key tests
        uint32_t c = i == 1 ? 0xFF00FF : (i * 0x010101u) & 0xFFFFFF;
        Testkit_Put32(b, 14 + headerSize + 4 * i, c);
    }
    for (int y = 0; y < height; ++y) {
        size_t at = offset + static_cast<size_t>(height - 1 - y) * row;
        for (int x = 0; x < width; ++x) {
            uint32_t v = pixel(x, y);
            switch (bpp) {
            case 1: if (v) b[at + x / 8] |= 0x80 >> (x % 8); break;
            case 4: b[at + x / 2] |= (x & 1) ? v : v << 4; break;
            case 8: b[at + x] = v; break;
            case 16: Testkit_Put16(b, at + 2 * x, v); break;
            case 24: b[at + 3 * x] = v & 0xFF; b[at + 3 * x + 1] = (v >> 8) & 0xFF;
                     b[at + 3 * x + 2] = (v >> 16) & 0xFF; break;
            case 32: Testkit_Put32(b, at + 4 * x, v); break;
            }
        }
    }
    return b;
}

uint32_t Checker(int x, int y) { return ((x / 2 + y) & 1) ? 0x3366CC : 0xCC9933; }

struct Handle {
    DibHandle *h = reinterpret_cast<DibHandle *>(Basekit_DibCreate());
    ~Handle() { Basekit_DibHandleFree(h); }
};

TEST(DibLoad, ValidAndDamagedImagesFromMemoryAndFile)
{
    Bytes good24 = MakeBmp(5, 3, 24, Checker);
    struct Case {
        const char *name;
        Bytes data;
        int ok;
    };
    std::vector<Case> cases;
    cases.push_back({"1 bit", MakeBmp(9, 4, 1, [](int x, int y) { return (x + y) & 1u; }), 1});
    cases.push_back({"4 bits", MakeBmp(7, 3, 4, [](int x, int) { return x & 15u; }), 1});
    cases.push_back({"8 bits", MakeBmp(6, 3, 8, [](int x, int y) { return x * 10u + y; }), 1});
    cases.push_back({"16 bits", MakeBmp(3, 3, 16, [](int x, int) { return 0x1F * x; }), 1});
    cases.push_back({"24 bits", good24, 1});
    cases.push_back({"32 bits", MakeBmp(4, 2, 32, Checker), 1});
    cases.push_back({"108-byte header", MakeBmp(5, 3, 24, Checker, 0, 108), 0});
    Bytes b = good24; b[0] = 'X';
    cases.push_back({"wrong type", b, 0});
    b = good24; b.resize(b.size() - 1);
    cases.push_back({"last byte missing", b, 0});
    b = good24; b.resize(40);
    cases.push_back({"cut inside the header", b, 0});
    b = good24; Testkit_Put32(b, 10, static_cast<uint32_t>(b.size() + 10));
    cases.push_back({"bits offset beyond the end", b, 0});
    b = good24; Testkit_Put32(b, 10, 20);
    cases.push_back({"bits offset inside the header", b, 0});
    b = good24; Testkit_Put32(b, 2, 0);
    cases.push_back({"file size 0", b, 0});
    b = good24; Testkit_Put32(b, 2, 0x7FFFFFF0);
    cases.push_back({"file size too large", b, 0});
    b = MakeBmp(6, 3, 8, [](int, int) { return 0u; }); Testkit_Put32(b, 46, 0xFFFFFFFF);
    cases.push_back({"used colours 0xFFFFFFFF", b, 0});
    b = MakeBmp(6, 3, 4, [](int, int) { return 0u; }); Testkit_Put32(b, 46, 17);
    cases.push_back({"17 colours at 4 bits", b, 0});
    b = good24; Testkit_Put32(b, 18, 0x40000000);
    cases.push_back({"width beyond the bits", b, 0});
    b = good24; Testkit_Put32(b, 22, static_cast<uint32_t>(-3));
    cases.push_back({"negative height", b, 0});
    b = good24; Testkit_Put16(b, 28, 7);
    cases.push_back({"7 bits per pixel", b, 0});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DibImage *image = Basekit_DibCreate();
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(c.ok, Basekit_DibLoadMemory(image, c.data.data(), static_cast<DWORD>(c.data.size())));
        EXPECT_EQ(c.ok, Basekit_DibIsLoaded(image) ? 1 : 0);
        if (!c.ok) {
            EXPECT_EQ(nullptr, Basekit_DibGetInfo(image));
            EXPECT_EQ(nullptr, Basekit_DibGetBits(image));
        }
        // The same bytes as a file.
        Testkit_WriteFile("load.bmp", c.data);
        Handle h;
        EXPECT_EQ(c.ok, Basekit_DibHandleLoadFile(h.h, "load.bmp"));
        EXPECT_EQ(c.ok, Basekit_DibHandleIsLoaded(h.h) ? 1 : 0);
        if (!c.ok) {
            EXPECT_EQ(nullptr, h.h->Image);
        }
        Basekit_DibFree(image);
    }
    DeleteFileA("load.bmp");
}

TEST(DibLoad, MemoryLoaderNeverReadsPastTheGivenSize)
{
    // The whole image sits at the end of a committed page; the page after it is inaccessible.
    Bytes bmp = MakeBmp(16, 16, 24, Checker);
    BYTE *area = static_cast<BYTE *>(VirtualAlloc(nullptr, 0x20000, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(nullptr, area);
    ASSERT_NE(nullptr, VirtualAlloc(area, 0x10000, MEM_COMMIT, PAGE_READWRITE));
    for (size_t cut = 0; cut <= bmp.size(); cut += 7) {
        BYTE *start = area + 0x10000 - cut;
        memcpy(start, bmp.data(), cut);
        DibImage *image = Basekit_DibCreate();
        EXPECT_FALSE(Basekit_DibLoadMemory(image, start, static_cast<DWORD>(cut))) << cut;
        Basekit_DibFree(image);
    }
    BYTE *start = area + 0x10000 - bmp.size();
    memcpy(start, bmp.data(), bmp.size());
    Handle h;
    EXPECT_TRUE(Basekit_DibHandleLoadMemory(h.h, start, static_cast<DWORD>(bmp.size())));
    EXPECT_FALSE(Basekit_DibHandleLoadMemory(h.h, nullptr, 10));
    EXPECT_EQ(nullptr, h.h->Image);
    VirtualFree(area, 0, MEM_RELEASE);
}

TEST(DibLoad, FieldsColourTableAndPalette)
{
    Handle h;
    Bytes b = MakeBmp(6, 3, 8, [](int x, int) { return static_cast<uint32_t>(x); }, 20);
    ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, b.data(), static_cast<DWORD>(b.size())));
    DibImage *image = h.h->Image;
    EXPECT_EQ(6, Basekit_DibGetWidth(image));
    EXPECT_EQ(3, Basekit_DibGetHeight(image));
    EXPECT_EQ(20, Basekit_DibGetColorCount(image));
    EXPECT_TRUE(Basekit_DibGetColorUsed(image));
    EXPECT_EQ(reinterpret_cast<BYTE *>(Basekit_DibGetInfo(image)) + 40,
              reinterpret_cast<BYTE *>(Basekit_DibGetColorTable(image)));
    PALETTEENTRY entries[8];
    EXPECT_EQ(8, Basekit_DibCopyColorTable(image, entries, 8));
    EXPECT_EQ(0xFF, entries[1].peRed);
    EXPECT_EQ(0, entries[1].peGreen);
    EXPECT_EQ(0xFF, entries[1].peBlue);
    EXPECT_EQ(5, entries[5].peGreen);
    HPALETTE palette = Basekit_DibCreatePalette(image);
    EXPECT_NE(nullptr, palette);
    EXPECT_EQ(20u, GetPaletteEntries(palette, 0, 0, nullptr));
    DeleteObject(palette);
    int w = 0, hgt = 0;
    Basekit_DibGetSize(h.h, &w, &hgt);
    EXPECT_EQ(6, w);
    EXPECT_EQ(3, hgt);

    Bytes mono = MakeBmp(4, 4, 1, [](int, int) { return 0u; });
    ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, mono.data(), static_cast<DWORD>(mono.size())));
    EXPECT_EQ(2, Basekit_DibGetColorCount(h.h->Image));
    EXPECT_EQ(nullptr, Basekit_DibCreatePalette(h.h->Image));
    Basekit_DibHandleClear(h.h);
    EXPECT_FALSE(Basekit_DibHandleIsLoaded(h.h));
    EXPECT_EQ(0, Basekit_DibGetWidth(nullptr));
    EXPECT_EQ(nullptr, Basekit_DibGetBits(nullptr));
}

TEST(DibLoad, BitmapResourceWithOddWidth)
{
    // An 8-bit bitmap of width 5 (rows padded to 8 bytes), made in a copy of this program's
    // resources: the loader takes the bits by the resource size.
    char self[MAX_PATH], copy[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetFullPathNameA("withbitmap.exe", MAX_PATH, copy, nullptr);
    ASSERT_TRUE(CopyFileA(self, copy, FALSE));
    Bytes file = MakeBmp(5, 4, 8, [](int x, int y) { return static_cast<uint32_t>(40 + x + 10 * y); });
    HANDLE update = BeginUpdateResourceA(copy, FALSE);
    ASSERT_NE(nullptr, update);
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(77), 0,
                                file.data() + 14, static_cast<DWORD>(file.size() - 14)));
    // The same picture claiming 300 colours, and one whose last row is missing.
    Bytes many = file;
    Testkit_Put32(many, 46, 300);
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(79), 0,
                                many.data() + 14, static_cast<DWORD>(many.size() - 14)));
    ASSERT_TRUE(UpdateResourceA(update, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(80), 0,
                                file.data() + 14, static_cast<DWORD>(file.size() - 14 - 8)));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    HMODULE module = LoadLibraryExA(copy, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    Handle h;
    ASSERT_TRUE(Basekit_DibHandleLoadResource(h.h, module, MAKEINTRESOURCEA(77)));
    const BYTE *bits = static_cast<const BYTE *>(Basekit_DibGetBits(h.h->Image));
    EXPECT_EQ(40 + 4 + 30, bits[4]);    // bottom row (y 3), x 4
    EXPECT_EQ(40 + 2 + 0, bits[3 * 8 + 2]);   // top row, x 2
    EXPECT_FALSE(Basekit_DibHandleLoadResource(h.h, module, MAKEINTRESOURCEA(78)));
    EXPECT_FALSE(Basekit_DibHandleLoadResource(h.h, module, MAKEINTRESOURCEA(79)));
    EXPECT_FALSE(Basekit_DibHandleLoadResource(h.h, module, MAKEINTRESOURCEA(80)));
    EXPECT_EQ(nullptr, h.h->Image);
    FreeLibrary(module);
    DeleteFileA(copy);
}

TEST(DibDraw, PlainDrawingIsExactAndStretchingCoversTheRectangle)
{
    Handle h;
    Bytes b = MakeBmp(8, 6, 24, [](int x, int y) { return 0x010000u * (x * 20) + 0x0100u * (y * 30) + 7; });
    ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, b.data(), static_cast<DWORD>(b.size())));
    TestkitCanvas c(40, 40);
    EXPECT_TRUE(Basekit_DibDraw(h.h, c.dc, 3, 4));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(0x010000u * (x * 20) + 0x0100u * (y * 30) + 7, c.At(3 + x, 4 + y));
    EXPECT_EQ(0xFFFFFFu, c.At(2, 4));
    EXPECT_EQ(0xFFFFFFu, c.At(11, 4));

    // A part copied 1:1 keeps its top-left source corner.
    TestkitCanvas p(10, 10);
    EXPECT_TRUE(Basekit_DibStretchCopy(h.h, p.dc, 0, 0, 3, 2, 4, 1, 3, 2));
    EXPECT_EQ(0x010000u * 80 + 0x0100u * 30 + 7, p.At(0, 0));
    EXPECT_EQ(0x010000u * 120 + 0x0100u * 60 + 7, p.At(2, 1));

    // Stretched to twice the size: the whole rectangle is drawn, corners keep their colours
    // within the half-tone's tolerance.
    TestkitCanvas s(16, 12);
    EXPECT_TRUE(Basekit_DibStretch(h.h, s.dc, 0, 0, 16, 12));
    auto alike = [](uint32_t a, uint32_t b) {
        for (int i = 0; i < 24; i += 8)
            if (abs(static_cast<int>((a >> i) & 0xFF) - static_cast<int>((b >> i) & 0xFF)) > 40) return false;
        return true;
    };
    EXPECT_TRUE(alike(0x000007, s.At(0, 0)));
    EXPECT_TRUE(alike(0x010000u * 140 + 0x0100u * 150 + 7, s.At(15, 11)));
    Handle empty;
    EXPECT_FALSE(Basekit_DibDraw(empty.h, c.dc, 0, 0));
}

TEST(DibDraw, DrawPartTilesAcrossAndDown)
{
    Handle h;
    Bytes b = MakeBmp(10, 10, 32, [](int x, int y) { return 0x100000u * x + 0x10u * y + 1; });
    ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, b.data(), static_cast<DWORD>(b.size())));
    TestkitCanvas c(30, 30);
    EXPECT_TRUE(Basekit_DibDrawPart(h.h, c.dc, 0, 0, 25, 10, 0, 0, 10, 10));
    for (int x = 0; x < 25; ++x) EXPECT_EQ(0x100000u * (x % 10) + 0x10u * 3 + 1, c.At(x, 3)) << x;
    EXPECT_EQ(0xFFFFFFu, c.At(25, 3));
    TestkitCanvas d(30, 30);
    // A 4-row part starting at source row 2 repeated down 10 rows: rows 2-5, 2-5, 2-3.
    EXPECT_TRUE(Basekit_DibDrawPart(h.h, d.dc, 0, 0, 10, 10, 0, 2, 10, 4));
    for (int y = 0; y < 10; ++y) EXPECT_EQ(0x100000u * 6 + 0x10u * (2 + y % 4) + 1, d.At(6, y)) << y;
    EXPECT_EQ(0xFFFFFFu, d.At(6, 10));
}

TEST(DibDraw, TransparentDrawingLeavesTheKeyColourOut)
{
    // Top-left pixel and every pixel in a diagonal band in magenta; the rest another colour.
    auto magenta = [](int x, int y) { return x == 0 && y == 0 ? true : (x + y) % 3 == 0; };
    struct Depth {
        int bpp;
        uint32_t key, other;
    } depths[] = {{4, 1, 9}, {8, 1, 9}, {16, 0x7C1F, 0x03E0}, {24, 0xFF00FF, 0x00FF00}, {32, 0xFF00FF, 0x00FF00}};
    for (const Depth &d : depths) {
        SCOPED_TRACE(d.bpp);
        Bytes b = MakeBmp(7, 5, d.bpp, [&](int x, int y) { return magenta(x, y) ? d.key : d.other; });
        Handle h;
        ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, b.data(), static_cast<DWORD>(b.size())));
        TestkitCanvas c(12, 12, 0x123456);
        EXPECT_TRUE(Basekit_DibDrawTransparent(h.h, c.dc, 2, 3));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                uint32_t got = c.At(2 + x, 3 + y);
                if (magenta(x, y)) EXPECT_EQ(0x123456u, got) << x << "," << y;
                else EXPECT_NE(0x123456u, got) << x << "," << y;
            }
        EXPECT_EQ(0x123456u, c.At(9, 3));
    }
    Bytes mono = MakeBmp(8, 8, 1, [](int x, int) { return x & 1u; });
    Handle h;
    ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, mono.data(), static_cast<DWORD>(mono.size())));
    TestkitCanvas c(10, 10, 0x123456);
    EXPECT_FALSE(Basekit_DibDrawTransparent(h.h, c.dc, 0, 0));
    for (int x = 0; x < 8; ++x) EXPECT_EQ(0x123456u, c.At(x, 2));
    EXPECT_EQ(nullptr, Basekit_DibCreateMask(h.h, c.dc));
}

TEST(DibDraw, DeviceBitmapHoldsTheImage)
{
    Handle h;
    Bytes b = MakeBmp(4, 4, 24, Checker);
    ASSERT_TRUE(Basekit_DibHandleLoadMemory(h.h, b.data(), static_cast<DWORD>(b.size())));
    TestkitCanvas c(4, 4);
    HBITMAP bitmap = Basekit_DibCreateBitmap(c.dc, h.h);
    ASSERT_NE(nullptr, bitmap);
    HDC mem = CreateCompatibleDC(c.dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(c.dc, 0, 0, 4, 4, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Checker(x, y), c.At(x, y));
}

} // namespace
