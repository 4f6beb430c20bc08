// Device-independent bitmaps in memory: the objects, their fields and the three loaders.
// A loaded image always holds a 40-byte header, its colour table (and the three colour masks of
// a bit-field image) in one block, and bits of at least the size its rows need.
#include "recordcheck.h"
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "ui_int.h"

namespace {

// A cursor over the bytes of a .bmp image (a file read whole, a block in memory or a resource):
// every read checks the bounds; a failed read marks the cursor and yields zeros.
struct ByteCursor {
    const BYTE *data;
    size_t size;
    int failed;
};

DWORD ReadU32(ByteCursor *c, size_t at)
{
    if (at > c->size || c->size - at < 4) {
        c->failed = 1;
        return 0;
    }
    const BYTE *p = c->data + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24);
}

const int kHeaderSize = sizeof(BITMAPINFOHEADER);
static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "file header");
RECORD_CHECK_X86(sizeof(DibImage) == 8 && sizeof(DibHandle) == 8, "two pointer fields");

// Colour count of a 40-byte header: the used-colour count when given, else 2^bits up to 8 bits.
DWORD HeaderColorCount(const BITMAPINFOHEADER *h)
{
    if (h->biClrUsed != 0) return h->biClrUsed;
    switch (h->biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Checks a 40-byte header taken from untrusted bytes.  The colour count must fit the depth (256
// at most), the size must be positive and bottom-up, and the pixel format one we can draw.
int HeaderIsSound(const BITMAPINFOHEADER *h)
{
    if (h->biWidth <= 0 || h->biHeight <= 0 || h->biPlanes != 1) return 0;
    switch (h->biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return 0;
    }
    DWORD colours = HeaderColorCount(h);
    if (colours > 256) return 0;
    if (h->biBitCount <= 8 && colours > (1u << h->biBitCount)) return 0;
    switch (h->biCompression) {
    case BI_RGB: break;
    case BI_RLE8: if (h->biBitCount != 8) return 0; break;
    case BI_RLE4: if (h->biBitCount != 4) return 0; break;
    case BI_BITFIELDS: if (h->biBitCount != 16 && h->biBitCount != 32) return 0; break;
    default: return 0;
    }
    return Dib_RowBytes(h->biWidth, h->biBitCount) != 0;
}

// Bytes the pixel data needs: padded rows x height for plain images, the stated image size for
// run-length coded ones (which must state it).  0 when it cannot be told or is too large.
DWORD NeededBits(const BITMAPINFOHEADER *h)
{
    if (h->biCompression == BI_RLE8 || h->biCompression == BI_RLE4) return h->biSizeImage;
    uint64_t total = static_cast<uint64_t>(Dib_RowBytes(h->biWidth, h->biBitCount)) *
                     static_cast<uint64_t>(h->biHeight);
    return total > 0x7FFFFFFF ? 0 : static_cast<DWORD>(total);
}

// Header block size: header, colour masks of a bit-field image, colour table.
size_t BlockSize(const BITMAPINFOHEADER *h)
{
    size_t masks = h->biCompression == BI_BITFIELDS ? 12 : 0;
    return kHeaderSize + masks + 4 * static_cast<size_t>(HeaderColorCount(h));
}

void ClearImage(DibImage *image)
{
    free(image->Info);
    free(image->Bits);
    image->Info = nullptr;
    image->Bits = nullptr;
}

// Fills image from a header at headerAt whose own size field is given by headerSize (40 for files,
// 40 or more for resources), the colour table right after it and bitsSize bytes of bits at
// bitsAt.  1 when loaded; 0 with the image untouched otherwise.
int FillImage(DibImage *image, ByteCursor *c, size_t headerAt, size_t headerSize, size_t bitsAt,
              size_t bitsSize)
{
    BITMAPINFOHEADER h;
    if (headerAt > c->size || c->size - headerAt < static_cast<size_t>(kHeaderSize)) return 0;
    memcpy(&h, c->data + headerAt, kHeaderSize);
    if (!HeaderIsSound(&h)) return 0;
    h.biSize = kHeaderSize;
    size_t block = BlockSize(&h);
    // Masks of a bit-field image sit at byte 40 of any header; the colour table after the header.
    size_t masksAt = headerAt + kHeaderSize;
    size_t masks = h.biCompression == BI_BITFIELDS ? 12 : 0;
    size_t tableAt = headerAt + (headerSize > static_cast<size_t>(kHeaderSize) ? headerSize
                                                                            : kHeaderSize + masks);
    size_t table = block - kHeaderSize - masks;
    if (masksAt + masks > c->size || tableAt > c->size || c->size - tableAt < table) return 0;
    if (bitsAt > c->size || c->size - bitsAt < bitsSize) return 0;
    DWORD needed = NeededBits(&h);
    if (needed == 0 || bitsSize < needed) return 0;

    BYTE *info = static_cast<BYTE *>(calloc(1, block));
    BYTE *bits = static_cast<BYTE *>(malloc(bitsSize));
    if (info == nullptr || bits == nullptr) {
        free(info);
        free(bits);
        return 0;
    }
    memcpy(info, &h, kHeaderSize);
    memcpy(info + kHeaderSize, c->data + masksAt, masks);
    memcpy(info + kHeaderSize + masks, c->data + tableAt, table);
    memcpy(bits, c->data + bitsAt, bitsSize);
    image->Info = reinterpret_cast<BITMAPINFO *>(info);
    image->Bits = bits;
    return 1;
}

// A whole .bmp file image: file header, a 40-byte info header, colour table, bits at the offset
// that the file header gives, as many as its file size says.  The file size may not exceed the
// bytes at hand and the bits must lie after the colour table.
int LoadFileImage(DibImage *image, const BYTE *data, size_t size)
{
    ByteCursor c = {data, size, 0};
    if (size < 14 + static_cast<size_t>(kHeaderSize) || data[0] != 'B' || data[1] != 'M') return 0;
    DWORD fileSize = ReadU32(&c, 2);
    DWORD bitsOffset = ReadU32(&c, 10);
    DWORD headerSize = ReadU32(&c, 14);
    if (c.failed || headerSize != static_cast<DWORD>(kHeaderSize)) return 0;
    if (fileSize > size || bitsOffset >= fileSize) return 0;
    BITMAPINFOHEADER h;
    memcpy(&h, data + 14, kHeaderSize);
    if (bitsOffset < 14 + BlockSize(&h)) return 0;
    c.size = fileSize;   // nothing beyond the stated file size belongs to the picture
    return FillImage(image, &c, 14, kHeaderSize, bitsOffset, fileSize - bitsOffset);
}

} // namespace

DWORD Dib_RowBytes(LONG width, WORD bitCount)
{
    if (width <= 0) return 0;
    uint64_t bits = static_cast<uint64_t>(width) * bitCount;
    uint64_t bytes = (bits + 31) / 32 * 4;
    return bytes > 0x7FFFFFFF ? 0 : static_cast<DWORD>(bytes);
}

extern "C" DibImage *WINAPI Basekit_DibCreate(void)
{
    return static_cast<DibImage *>(calloc(1, sizeof(DibImage)));
}

extern "C" void WINAPI Basekit_DibFree(DibImage *image)
{
    if (image == nullptr) return;
    ClearImage(image);
    free(image);
}

extern "C" BOOL WINAPI Basekit_DibIsLoaded(const DibImage *image)
{
    return image != nullptr && image->Info != nullptr && image->Bits != nullptr;
}

extern "C" BOOL WINAPI Basekit_DibGetColorUsed(const DibImage *image)
{
    return image != nullptr && image->Info != nullptr && image->Info->bmiHeader.biClrUsed != 0;
}

extern "C" BITMAPINFO *WINAPI Basekit_DibGetInfo(const DibImage *image)
{
    return image ? image->Info : nullptr;
}

extern "C" RGBQUAD *WINAPI Basekit_DibGetColorTable(const DibImage *image)
{
    if (image == nullptr || image->Info == nullptr) return nullptr;
    BYTE *block = reinterpret_cast<BYTE *>(image->Info);
    size_t masks = image->Info->bmiHeader.biCompression == BI_BITFIELDS ? 12 : 0;
    return reinterpret_cast<RGBQUAD *>(block + image->Info->bmiHeader.biSize + masks);
}

extern "C" void *WINAPI Basekit_DibGetBits(const DibImage *image)
{
    return image ? image->Bits : nullptr;
}

extern "C" int WINAPI Basekit_DibGetWidth(const DibImage *image)
{
    return image && image->Info ? image->Info->bmiHeader.biWidth : 0;
}

extern "C" int WINAPI Basekit_DibGetHeight(const DibImage *image)
{
    return image && image->Info ? image->Info->bmiHeader.biHeight : 0;
}

extern "C" int WINAPI Basekit_DibGetColorCount(const DibImage *image)
{
    if (image == nullptr || image->Info == nullptr) return 0;
    const BITMAPINFOHEADER *h = &image->Info->bmiHeader;
    if (h->biSize != static_cast<DWORD>(kHeaderSize)) {
        // Another header size is read with the core layout: the bit count at byte 10.
        WORD bits = reinterpret_cast<const BITMAPCOREHEADER *>(h)->bcBitCount;
        return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    }
    return static_cast<int>(HeaderColorCount(h));
}

extern "C" int WINAPI Basekit_DibCopyColorTable(const DibImage *image, PALETTEENTRY *entries,
                                                int maximum)
{
    if (entries == nullptr || maximum <= 0) return 0;
    int count = Basekit_DibGetColorCount(image);
    if (count > maximum) count = maximum;
    const RGBQUAD *table = Basekit_DibGetColorTable(image);
    for (int i = 0; i < count; ++i) {
        entries[i].peRed = table[i].rgbRed;
        entries[i].peGreen = table[i].rgbGreen;
        entries[i].peBlue = table[i].rgbBlue;
        entries[i].peFlags = 0;
    }
    return count;
}

extern "C" BOOL WINAPI Basekit_DibLoadMemory(DibImage *image, const void *data, DWORD size)
{
    if (image == nullptr) return FALSE;
    ClearImage(image);
    if (data == nullptr || size == 0) return FALSE;
    return LoadFileImage(image, static_cast<const BYTE *>(data), size);
}

extern "C" BOOL WINAPI Basekit_DibLoadFile(DibImage *image, const char *path)
{
    if (image == nullptr || path == nullptr) return FALSE;
    ClearImage(image);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    int ok = 0;
    BYTE *data = nullptr;
    LARGE_INTEGER length;
    DWORD got = 0;
    // Pictures of 256 MB and more are not ours: refuse them rather than read them whole.
    if (GetFileSizeEx(file, &length) && length.QuadPart > 0 && length.QuadPart < (256 << 20)) {
        data = static_cast<BYTE *>(malloc(static_cast<size_t>(length.QuadPart)));
        if (data && ReadFile(file, data, static_cast<DWORD>(length.QuadPart), &got, nullptr))
            ok = LoadFileImage(image, data, got);
    }
    free(data);
    CloseHandle(file);
    return ok;
}

extern "C" BOOL WINAPI Basekit_DibLoadResource(DibImage *image, HMODULE module, const char *name)
{
    if (image == nullptr) return FALSE;
    ClearImage(image);
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (found == nullptr) return FALSE;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE *data = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
    if (data == nullptr) return FALSE;
    ByteCursor c = {data, size, 0};
    DWORD headerSize = ReadU32(&c, 0);
    if (c.failed || headerSize < static_cast<DWORD>(kHeaderSize) || headerSize > size) return FALSE;
    BITMAPINFOHEADER h;
    memcpy(&h, data, kHeaderSize);
    // The bits are everything after the header block; FillImage checks they cover every row.
    size_t masks = h.biCompression == BI_BITFIELDS && headerSize == 40u ? 12 : 0;
    size_t blockEnd = headerSize + masks + 4 * static_cast<size_t>(HeaderColorCount(&h));
    if (HeaderColorCount(&h) > 256 || blockEnd > size) return FALSE;
    return FillImage(image, &c, 0, headerSize, blockEnd, size - blockEnd);
}

// ---- Handles ----

extern "C" BOOL WINAPI Basekit_DibHandleIsLoaded(const DibHandle *handle)
{
    return handle != nullptr && Basekit_DibIsLoaded(handle->Image);
}

extern "C" void WINAPI Basekit_DibHandleClear(DibHandle *handle)
{
    if (handle == nullptr) return;
    Basekit_DibFree(handle->Image);
    if (handle->Palette) DeleteObject(handle->Palette);
    handle->Image = nullptr;
    handle->Palette = nullptr;
}

extern "C" void WINAPI Basekit_DibHandleFree(DibHandle *handle)
{
    if (handle == nullptr) return;
    Basekit_DibHandleClear(handle);
    free(handle);
}

namespace {

// Clears the handle and gives it a new image; null when the heap is exhausted.
DibImage *FreshImage(DibHandle *handle)
{
    Basekit_DibHandleClear(handle);
    handle->Image = Basekit_DibCreate();
    return handle->Image;
}

BOOL KeepOrClear(DibHandle *handle, BOOL loaded)
{
    if (!loaded) Basekit_DibHandleClear(handle);
    return loaded;
}

} // namespace

extern "C" BOOL WINAPI Basekit_DibHandleLoadFile(DibHandle *handle, const char *path)
{
    if (handle == nullptr) return FALSE;
    DibImage *image = FreshImage(handle);
    BOOL ok = image && path && path[0] && Basekit_DibLoadFile(image, path);
    return KeepOrClear(handle, ok);
}

extern "C" BOOL WINAPI Basekit_DibHandleLoadMemory(DibHandle *handle, const void *data, DWORD size)
{
    if (handle == nullptr) return FALSE;
    DibImage *image = FreshImage(handle);
    BOOL ok = image && Basekit_DibLoadMemory(image, data, size);
    return KeepOrClear(handle, ok);
}

extern "C" BOOL WINAPI Basekit_DibHandleLoadResource(DibHandle *handle, HMODULE module,
                                                     const char *name)
{
    if (handle == nullptr) return FALSE;
    DibImage *image = FreshImage(handle);
    BOOL ok = image && Basekit_DibLoadResource(image, module, name);
    return KeepOrClear(handle, ok);
}

extern "C" void WINAPI Basekit_DibGetSize(const DibHandle *handle, int *width, int *height)
{
    const DibImage *image = handle ? handle->Image : nullptr;
    if (width) *width = Basekit_DibGetWidth(image);
    if (height) *height = Basekit_DibGetHeight(image);
}
