// Test support for drawing code: a memory surface to draw into and read the pixels back from,
// and pictures of windows kept as .bmp files in the test's working folder (artefacts for a
// person to look at, never compared by pixels).  Header only; include as "support/testkit_gdi.h".
#pragma once

#include <windows.h>

#include <stdint.h>
#include <stdio.h>

#include <vector>

// A 32-bit top-down DIB section selected into its own memory dc, filled with one colour.
// Pixels are 0x00RRGGBB; every read flushes the dc's pending drawing first.
struct TestkitCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t *pixels = nullptr;
    int width, height;

    TestkitCanvas(int w, int h, uint32_t fill = 0x00FFFFFF) : width(w), height(h)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void *bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        pixels = static_cast<uint32_t *>(bits);
        Clear(fill);
    }
    ~TestkitCanvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    TestkitCanvas(const TestkitCanvas &) = delete;
    TestkitCanvas &operator=(const TestkitCanvas &) = delete;

    void Clear(uint32_t fill = 0x00FFFFFF)
    {
        GdiFlush();
        for (int i = 0; i < width * height; ++i) pixels[i] = fill;
    }
    uint32_t At(int x, int y)
    {
        GdiFlush();
        return pixels[y * width + x] & 0xFFFFFF;
    }
    // Every pixel as it stands, row by row.
    std::vector<uint32_t> Pixels()
    {
        GdiFlush();
        return std::vector<uint32_t>(pixels, pixels + width * height);
    }
    // Leftmost and rightmost column holding a pixel other than fill; -1 when none.
    void InkColumns(uint32_t fill, int *first, int *last)
    {
        *first = *last = -1;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y)
                if (At(x, y) != fill) {
                    if (*first < 0) *first = x;
                    *last = x;
                    break;
                }
    }
};

// Writes cx by cy pixels of source, from (x, y), as a 24-bit .bmp file at path.  False when the
// file could not be written whole.
inline bool Testkit_SavePicture(HDC source, int x, int y, int cx, int cy, const char *path)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    DWORD stride = (cx * 3 + 3) & ~3u, size = stride * cy;
    bi.bmiHeader.biSizeImage = size;
    void *bits = nullptr;
    HDC mem = CreateCompatibleDC(source);
    HBITMAP bmp = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, cx, cy, source, x, y, SRCCOPY);
    GdiFlush();
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;   // "BM"
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bool written = false;
    if (FILE *f = bits ? fopen(path, "wb") : nullptr) {
        written = fwrite(&fh, sizeof fh, 1, f) == 1 &&
                  fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                  (size == 0 || fwrite(bits, size, 1, f) == 1);
        written = fclose(f) == 0 && written;
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    return written;
}

// The whole window (frame included) as the screen shows it.
inline bool Testkit_SaveWindowPicture(HWND w, const char *path)
{
    RECT rc;
    GetWindowRect(w, &rc);
    HDC screen = GetDC(nullptr);
    bool written = Testkit_SavePicture(screen, rc.left, rc.top, rc.right - rc.left,
                                       rc.bottom - rc.top, path);
    ReleaseDC(nullptr, screen);
    return written;
}

// The window's client area as its own dc shows it.
inline bool Testkit_SaveClientPicture(HWND w, const char *path)
{
    RECT rc;
    GetClientRect(w, &rc);
    HDC dc = GetDC(w);
    bool written = Testkit_SavePicture(dc, 0, 0, rc.right, rc.bottom, path);
    ReleaseDC(w, dc);
    return written;
}
