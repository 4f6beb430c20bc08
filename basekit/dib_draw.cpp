// Drawing device-independent bitmaps: plain, stretched, in parts, tiled and transparent, and the
// palette, mask and device bitmap made from them.  Source coordinates count from the image's
// top-left corner; the stored rows run bottom-up.
#include <stdlib.h>
#include <string.h>

#include "ui_int.h"

namespace {

const DibImage *LoadedImage(const DibHandle *handle)
{
    return handle && Basekit_DibIsLoaded(handle->Image) ? handle->Image : nullptr;
}

// Selects and realises the handle's palette (when it holds one) into a device context for the
// length of a drawing call.
struct PaletteScope {
    HDC dc;
    HPALETTE previous;
    PaletteScope(const DibHandle *handle, HDC target) : dc(target), previous(nullptr)
    {
        if (handle && handle->Palette) {
            previous = SelectPalette(dc, handle->Palette, FALSE);
            RealizePalette(dc);
        }
    }
    ~PaletteScope()
    {
        if (previous) SelectPalette(dc, previous, FALSE);
    }
};

BOOL StretchPart(const DibHandle *handle, HDC dc, int dx, int dy, int dw, int dh, int sx, int sy,
                 int sw, int sh, DWORD rop)
{
    const DibImage *image = LoadedImage(handle);
    if (image == nullptr) return FALSE;
    PaletteScope palette(handle, dc);
    int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin;
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    int height = image->Info->bmiHeader.biHeight;
    int lines = StretchDIBits(dc, dx, dy, dw, dh, sx, height - sy - sh, sw, sh, image->Bits,
                              image->Info, DIB_RGB_COLORS, rop);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
    return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

// One pixel's value at (x, y) counted from the top, as the mask compares it: the colour index for
// 4 and 8 bits, the low 15 bits for 16, blue-green-red for 24 and 32.
DWORD PixelKey(const BYTE *row, int x, WORD bitCount)
{
    switch (bitCount) {
    case 4: return (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
    case 8: return row[x];
    case 16: return (row[2 * x] | (row[2 * x + 1] << 8)) & 0x7FFF;
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
    default: return row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16);
    }
}

} // namespace

extern "C" HPALETTE WINAPI Basekit_DibCreatePalette(const DibImage *image)
{
    int count = Basekit_DibGetColorCount(image);
    if (count <= 2) return nullptr;
    size_t size = sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY);
    LOGPALETTE *logical = static_cast<LOGPALETTE *>(calloc(1, size));
    if (logical == nullptr) return nullptr;
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(count);
    Basekit_DibCopyColorTable(image, logical->palPalEntry, count);
    HPALETTE palette = CreatePalette(logical);
    free(logical);
    return palette;
}

extern "C" BOOL WINAPI Basekit_DibDraw(const DibHandle *handle, HDC dc, int x, int y)
{
    const DibImage *image = LoadedImage(handle);
    if (image == nullptr) return FALSE;
    PaletteScope palette(handle, dc);
    const BITMAPINFOHEADER *h = &image->Info->bmiHeader;
    return SetDIBitsToDevice(dc, x, y, h->biWidth, h->biHeight, 0, 0, 0, h->biHeight, image->Bits,
                             image->Info, DIB_RGB_COLORS) != 0;
}

extern "C" BOOL WINAPI Basekit_DibStretch(const DibHandle *handle, HDC dc, int x, int y, int width,
                                          int height)
{
    const DibImage *image = LoadedImage(handle);
    if (image == nullptr) return FALSE;
    const BITMAPINFOHEADER *h = &image->Info->bmiHeader;
    return StretchPart(handle, dc, x, y, width, height, 0, 0, h->biWidth, h->biHeight, SRCCOPY);
}

extern "C" BOOL WINAPI Basekit_DibStretchCopy(const DibHandle *handle, HDC dc, int dx, int dy,
                                              int dw, int dh, int sx, int sy, int sw, int sh)
{
    return StretchPart(handle, dc, dx, dy, dw, dh, sx, sy, sw, sh, SRCCOPY);
}

extern "C" BOOL WINAPI Basekit_DibStretchRop(const DibHandle *handle, HDC dc, int dx, int dy,
                                             int dw, int dh, int sx, int sy, int sw, int sh,
                                             DWORD rop)
{
    return StretchPart(handle, dc, dx, dy, dw, dh, sx, sy, sw, sh, rop);
}

extern "C" BOOL WINAPI Basekit_DibDrawPart(const DibHandle *handle, HDC dc, int dx, int dy, int dw,
                                           int dh, int sx, int sy, int sw, int sh)
{
    if (LoadedImage(handle) == nullptr) return FALSE;
    if (dw != sw && dh != sh) return StretchPart(handle, dc, dx, dy, dw, dh, sx, sy, sw, sh, SRCCOPY);
    if (sw <= 0 || sh <= 0) return FALSE;
    BOOL ok = TRUE;
    if (dw == sw) {
        // Repeat down the destination, the last copy cut to the remaining height.
        int y = dy, left = dh;
        for (; left > sh; left -= sh, y += sh)
            ok &= StretchPart(handle, dc, dx, y, sw, sh, sx, sy, sw, sh, SRCCOPY);
        if (left > 0) ok &= StretchPart(handle, dc, dx, y, sw, left, sx, sy, sw, left, SRCCOPY);
    } else {
        int x = dx, left = dw;
        for (; left > sw; left -= sw, x += sw)
            ok &= StretchPart(handle, dc, x, dy, sw, sh, sx, sy, sw, sh, SRCCOPY);
        if (left > 0) ok &= StretchPart(handle, dc, x, dy, left, sh, sx, sy, left, sh, SRCCOPY);
    }
    return ok;
}

extern "C" HBITMAP WINAPI Basekit_DibCreateMask(const DibHandle *handle, HDC dc)
{
    (void)dc;
    const DibImage *image = LoadedImage(handle);
    if (image == nullptr) return nullptr;
    const BITMAPINFOHEADER *h = &image->Info->bmiHeader;
    WORD bpp = h->biBitCount;
    if (bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
    if (h->biCompression != BI_RGB && h->biCompression != BI_BITFIELDS) return nullptr;
    int width = h->biWidth, height = h->biHeight;
    DWORD sourceRow = Dib_RowBytes(width, bpp);
    int maskRow = ((width + 15) / 16) * 2;   // rows padded to an even number of bytes
    BYTE *mask = static_cast<BYTE *>(calloc(height, maskRow));
    if (mask == nullptr) return nullptr;
    const BYTE *bits = static_cast<const BYTE *>(image->Bits);
    // The top-left pixel is the first of the last stored row.
    DWORD key = PixelKey(bits + static_cast<size_t>(height - 1) * sourceRow, 0, bpp);
    for (int y = 0; y < height; ++y) {
        const BYTE *row = bits + static_cast<size_t>(height - 1 - y) * sourceRow;
        BYTE *out = mask + static_cast<size_t>(y) * maskRow;
        for (int x = 0; x < width; ++x)
            if (PixelKey(row, x, bpp) == key) out[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
    HBITMAP bitmap = CreateBitmap(width, height, 1, 1, mask);
    free(mask);
    return bitmap;
}

extern "C" BOOL WINAPI Basekit_DibDrawTransparentPart(const DibHandle *handle, HBITMAP mask, HDC dc,
                                                      int dx, int dy, int dw, int dh, int sx,
                                                      int sy, int sw, int sh)
{
    const DibImage *image = LoadedImage(handle);
    if (image == nullptr || image->Info->bmiHeader.biBitCount < 4) return FALSE;
    HBITMAP ownMask = nullptr;
    if (mask == nullptr) mask = ownMask = Basekit_DibCreateMask(handle, dc);
    if (mask == nullptr) return FALSE;
    int width = image->Info->bmiHeader.biWidth, height = image->Info->bmiHeader.biHeight;
    BOOL ok = FALSE;
    HDC imageDc = CreateCompatibleDC(dc);
    HDC maskDc = CreateCompatibleDC(dc);
    HBITMAP picture = CreateCompatibleBitmap(dc, width, height);
    if (imageDc && maskDc && picture) {
        HBITMAP oldPicture = static_cast<HBITMAP>(SelectObject(imageDc, picture));
        HBITMAP oldMask = static_cast<HBITMAP>(SelectObject(maskDc, mask));
        {
            PaletteScope targetPalette(handle, dc);
            PaletteScope imagePalette(handle, imageDc);
            // A monochrome source maps 0 to the text colour and 1 to the background colour.
            COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
            COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
            SetTextColor(imageDc, RGB(0, 0, 0));
            SetBkColor(imageDc, RGB(255, 255, 255));
            SetDIBitsToDevice(imageDc, 0, 0, width, height, 0, 0, 0, height, image->Bits,
                              image->Info, DIB_RGB_COLORS);
            BitBlt(imageDc, 0, 0, width, height, maskDc, 0, 0, 0x220326);   // image and not mask
            int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
            ok = StretchBlt(dc, dx, dy, dw, dh, maskDc, sx, sy, sw, sh, SRCAND) &&
                 StretchBlt(dc, dx, dy, dw, dh, imageDc, sx, sy, sw, sh, SRCPAINT);
            SetStretchBltMode(dc, oldMode);
            SetTextColor(dc, oldText);
            SetBkColor(dc, oldBack);
        }
        SelectObject(maskDc, oldMask);
        SelectObject(imageDc, oldPicture);
    }
    if (picture) DeleteObject(picture);
    if (maskDc) DeleteDC(maskDc);
    if (imageDc) DeleteDC(imageDc);
    if (ownMask) DeleteObject(ownMask);
    return ok;
}

extern "C" BOOL WINAPI Basekit_DibDrawTransparent(const DibHandle *handle, HDC dc, int x, int y)
{
    int width = 0, height = 0;
    Basekit_DibGetSize(handle, &width, &height);
    return Basekit_DibDrawTransparentPart(handle, nullptr, dc, x, y, width, height, 0, 0, width,
                                          height);
}

extern "C" HBITMAP WINAPI Basekit_DibCreateBitmap(HDC dc, const DibHandle *handle)
{
    const DibImage *image = LoadedImage(handle);
    if (image == nullptr) return nullptr;
    PaletteScope palette(handle, dc);
    return CreateDIBitmap(dc, &image->Info->bmiHeader, CBM_INIT, image->Bits, image->Info,
                          DIB_RGB_COLORS);
}
