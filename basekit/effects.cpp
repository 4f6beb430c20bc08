// The colour gradient and the two grey image effects.  The effects work on the pixels directly
// (32-bit rows read and written through device-independent sections), which gives the same
// result as drawing through a colour matrix; the GDI+ start and stop calls stay for the programs
// that use GDI+ themselves.
#include <stdlib.h>

#include "ui_int.h"

namespace {

void FillRow(HDC dc, int left, int right, int top, int bottom, int r, int g, int b)
{
    RECT band = {left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(RGB(r, g, b));
    FillRect(dc, &band, brush);
    DeleteObject(brush);
}

int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

// The rainbow: red, yellow, green, cyan, blue, magenta and back to red over the height.
void Rainbow(HDC dc, const RECT *rect, int height)
{
    for (int row = 0; row < height; ++row) {
        int at = static_cast<int>(static_cast<long long>(row) * 1536 / height);
        int phase = at / 256, f = at % 256;
        int r = 0, g = 0, b = 0;
        switch (phase) {
        case 0: r = 255; g = f; break;
        case 1: r = 255 - f; g = 255; break;
        case 2: g = 255; b = f; break;
        case 3: g = 255 - f; b = 255; break;
        case 4: r = f; b = 255; break;
        default: r = 255; b = 255 - f; break;
        }
        FillRow(dc, rect->left, rect->right, row, row + 1, Clamp(r, 0, 255), Clamp(g, 0, 255),
                Clamp(b, 0, 255));
    }
}

// The format of 32-bit top-down rows of the given size.
BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// A 32-bit top-down section of the given size; bits receives its pixels.
HBITMAP NewSection(int width, int height, DWORD **bits)
{
    BITMAPINFO info = TopDown32(width, height);
    void *p = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<DWORD *>(p);
    return section;
}

// A copy of the bitmap's pixels as 32-bit top-down rows, every pixel passed through grey().
template <typename F>
HBITMAP Recolour(HBITMAP source, F grey)
{
    BITMAP info = {};
    if (source == nullptr || !GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 ||
        info.bmHeight == 0)
        return nullptr;
    int width = info.bmWidth, height = abs(info.bmHeight);
    DWORD *out = nullptr;
    HBITMAP result = NewSection(width, height, &out);
    if (result == nullptr) return nullptr;
    BITMAPINFO format = TopDown32(width, height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, source, 0, height, out, &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    // Rows that could not be read take the last pixel read (opaque black before the first).
    DWORD last = 0xFF000000;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            DWORD &p = out[y * width + x];
            if (y < rows) {
                p = grey(p & 0xFFFFFF) | 0xFF000000;
                last = p;
            } else {
                p = last;
            }
        }
    return result;
}

DWORD GreyOf(int v) { return (v << 16) | (v << 8) | v; }

ULONG_PTR g_gdiplusToken;

} // namespace

extern "C" void WINAPI Basekit_FillGradient(HDC dc, const RECT *rect, COLORREF colour, UINT bitmapId,
                                            HINSTANCE module, int mode)
{
    if (dc == nullptr || rect == nullptr) return;
    int height = rect->bottom;   // the rectangle's top is 0
    if (height <= 0) return;     // nothing to fill, and no step to divide by
    if (mode == 2) {
        Rainbow(dc, rect, height);
    } else {
        int full[3] = {GetRValue(colour) * 4, GetGValue(colour) * 4, GetBValue(colour) * 4};
        int bands = height >= 256 ? 256 : height;
        int bandHeight = height >= 256 ? height / 256 : 1;
        int step[3];
        for (int i = 0; i < 3; ++i) step[i] = full[i] / bands;
        int bottom = height;
        for (int band = 0; band < bands; ++band) {
            int c[3];
            for (int i = 0; i < 3; ++i) {
                if (mode == 0) c[i] = Clamp(full[i] - (band + 1) * step[i], 0, 1020);
                else c[i] = Clamp((band + 1) * step[i], 0, 1020);
            }
            // The top band of the lightening gradient is exactly the colour, whatever the
            // rounding of the steps left over.
            if (mode != 0 && band == bands - 1)
                for (int i = 0; i < 3; ++i) c[i] = full[i];
            int top = band == bands - 1 ? 0 : bottom - bandHeight;
            FillRow(dc, rect->left, rect->right, top, bottom, c[0] / 4, c[1] / 4, c[2] / 4);
            bottom = top;
        }
    }
    if (bitmapId) Basekit_DrawResourceBitmapBottom(dc, -1, rect->bottom, 0, 0, module, bitmapId, 0xBB0226);
}

extern "C" int WINAPI Basekit_GdiplusStartup(void)
{
    typedef int(WINAPI * StartupFn)(ULONG_PTR *, const void *, void *);
    struct Input {
        UINT32 version;
        void *debugCallback;
        BOOL suppressBackgroundThread;
        BOOL suppressExternalCodecs;
    } input = {1, nullptr, FALSE, FALSE};
    HMODULE gdiplus = LoadLibraryA("gdiplus.dll");
    StartupFn start = gdiplus ? reinterpret_cast<StartupFn>(
                                    reinterpret_cast<void *>(GetProcAddress(gdiplus, "GdiplusStartup")))
                              : nullptr;
    if (start && g_gdiplusToken == 0) start(&g_gdiplusToken, &input, nullptr);
    return 1;
}

extern "C" int WINAPI Basekit_GdiplusShutdown(void)
{
    typedef void(WINAPI * ShutdownFn)(ULONG_PTR);
    HMODULE gdiplus = GetModuleHandleA("gdiplus.dll");
    ShutdownFn stop = gdiplus ? reinterpret_cast<ShutdownFn>(
                                    reinterpret_cast<void *>(GetProcAddress(gdiplus, "GdiplusShutdown")))
                              : nullptr;
    if (stop && g_gdiplusToken) {
        stop(g_gdiplusToken);
        g_gdiplusToken = 0;
        FreeLibrary(gdiplus);
    }
    return 1;
}

extern "C" HBITMAP WINAPI Basekit_ImageColorMatrix(HBITMAP bitmap)
{
    return Recolour(bitmap, [](DWORD p) {
        int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return GreyOf((30 * r + 59 * g + 11 * b + 50) / 100);
    });
}

extern "C" HBITMAP WINAPI Basekit_ImageRecolor(HBITMAP bitmap)
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    DWORD faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    return Recolour(bitmap, [faceRgb](DWORD p) {
        if (p == faceRgb) return p;
        int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return GreyOf((11 * b + 59 * g + 30 * r) / 100);
    });
}
