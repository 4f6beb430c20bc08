// Gaiji of books: glyph bitmaps from the book's font files, chosen by the nearest height, and text
// output and measuring that draws gaiji charsets as bitmaps stretched to the font's height.
#include <stdio.h>
#include <stdlib.h>
#include "basekit.h"
#include "strandkit.h"
#include "book_int.h"

namespace {

const int kFontFiles = 8, kMaxHeight = 100;
const int kCharsetNarrow = 51, kCharsetWide = 52;

struct GlyphClass {
    int width, height, bytes, perBlock;
};
const GlyphClass kClasses[kFontFiles] = {
    {16, 16, 32, 32}, {24, 24, 72, 14}, {30, 30, 120, 8}, {48, 48, 288, 3},
    {8, 16, 16, 64},  {12, 24, 48, 21}, {15, 30, 60, 17}, {24, 48, 144, 7}};

// Full path of font file i of the book, empty when not named.
void FontPath(const LcFile *f, int i, char *out) {
    out[0] = 0;
    char key[MAX_PATH], name[MAX_PATH] = {0}, value[32];
    if (!Lexidata_GetDicKey(f->info.fileId, key)) return;
    snprintf(value, sizeof value, "FontFileName#%d", i);
    if (!Basekit_SettingsReadString(key, value, name, sizeof name) || !name[0]) return;
    bool absolute = name[0] == '\\' || (name[0] && name[1] == ':');
    if (absolute) {
        Lc_Copy(out, name, MAX_PATH);
        return;
    }
    Lc_Copy(out, f->info.path, MAX_PATH);
    Basekit_PathReplaceFileName(out, name);
}

// The font file's head: first code value (row * 94 + cell) and glyph count.
bool ReadHead(HANDLE h, int *first, int *count) {
    BYTE head[14];
    if (!LcBook_ReadAt(h, 0, head, sizeof head)) return false;
    *first = head[10] * 94 + head[11];
    *count = (int)LcBook_Be16(head + 12);
    return true;
}

HANDLE OpenFont(const char *path) {
    return path[0] ? CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)
                   : INVALID_HANDLE_VALUE;
}

int RowBytes(int width) { return ((width + 7) / 8 + 1) & ~1; }

// The glyph bitmap of a gaiji code; bytes written (0 when none), with the glyph's size.
int Glyph(DWORD fileId, DWORD code, int height, int charset, BYTE *bitmap, SIZE *size) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f || f->info.kind != 4 || (charset != kCharsetNarrow && charset != kCharsetWide)) return 0;
    if (height > kMaxHeight) height = kMaxHeight;
    int firstFile = charset == kCharsetWide ? 0 : 4, best = -1;
    HANDLE bestHandle = INVALID_HANDLE_VALUE;
    int bestFirst = 0, bestCount = 0;
    for (int i = firstFile; i < firstFile + 4; i++) {
        char path[MAX_PATH];
        FontPath(f, i, path);
        HANDLE h = OpenFont(path);
        if (h == INVALID_HANDLE_VALUE) continue;
        int first, count;
        if (ReadHead(h, &first, &count) &&
            (best < 0 || abs(kClasses[i].height - height) < abs(kClasses[best].height - height))) {
            if (bestHandle != INVALID_HANDLE_VALUE) CloseHandle(bestHandle);
            bestHandle = h;
            best = i;
            bestFirst = first;
            bestCount = count;
            continue;
        }
        CloseHandle(h);
    }
    if (best < 0) return 0;
    const GlyphClass &g = kClasses[best];
    int index = (int)((code >> 8) & 0xFF) * 94 + (int)(code & 0xFF) - bestFirst;
    int written = 0;
    BYTE raw[288];
    if (index >= 0 && index < bestCount) {
        DWORD at = kBookBlock + (DWORD)(index / g.perBlock) * 1024 + (DWORD)(index % g.perBlock) * g.bytes;
        if (LcBook_ReadAt(bestHandle, at, raw, (DWORD)g.bytes)) {
            int src = (g.width + 7) / 8, dst = RowBytes(g.width);
            written = dst * g.height;
            for (int y = 0; bitmap && y < g.height; y++)
                for (int x = 0; x < dst; x++) bitmap[y * dst + x] = (BYTE)~(x < src ? raw[y * src + x] : 0);
            if (size) {
                size->cx = g.width;
                size->cy = g.height;
            }
        }
    }
    CloseHandle(bestHandle);
    return written;
}

bool IsGaiji(UINT charset) { return charset == kCharsetNarrow || charset == kCharsetWide; }

int FontHeight(HDC dc) {
    TEXTMETRICA tm;
    return GetTextMetricsA(dc, &tm) ? (int)tm.tmHeight : 16;
}

// Width of one gaiji drawn at the font height; the glyph's bits when wanted.
int GaijiWidth(HDC dc, DWORD fileId, UINT charset, const BYTE *p, int fh, BYTE *bits, SIZE *size) {
    SIZE s = {0, 0};
    int n = Glyph(fileId, (DWORD)p[0] << 8 | p[1], fh, (int)charset, bits, &s);
    if (size) *size = s;
    (void)dc;
    if (!n || s.cy <= 0) return charset == kCharsetWide ? fh : fh / 2;
    return (s.cx * fh + s.cy / 2) / s.cy;
}

}  // namespace

extern "C" int WINAPI Lexicore_GetGaijiBitmap(DWORD fileId, DWORD code, int height, int charset,
                                              BYTE *bitmap, SIZE *size) {
    return Glyph(fileId, code, height, charset, bitmap, size);
}

extern "C" BOOL WINAPI Lexicore_TextOut(HDC dc, int x, int y, const char *text, int length, DWORD fileId,
                                        UINT charset) {
    if (!dc || !text) return FALSE;
    if (!IsGaiji(charset)) return Strandkit_TextOut(dc, x, y, text, length, charset);
    int fh = FontHeight(dc);
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return FALSE;
    const BYTE *p = (const BYTE *)text;
    for (int i = 0; i + 1 < length; i += 2) {
        BYTE bits[288];
        SIZE s;
        int w = GaijiWidth(dc, fileId, charset, p + i, fh, bits, &s);
        if (s.cx > 0 && s.cy > 0) {
            HBITMAP bmp = CreateBitmap(s.cx, s.cy, 1, 1, bits);
            if (bmp) {
                HGDIOBJ old = SelectObject(mem, bmp);
                StretchBlt(dc, x, y, w, fh, mem, 0, 0, s.cx, s.cy, SRCCOPY);
                SelectObject(mem, old);
                DeleteObject(bmp);
            }
        }
        x += w;
    }
    DeleteDC(mem);
    return TRUE;
}

extern "C" BOOL WINAPI Lexicore_GetTextExtent(HDC dc, const char *text, int count, int width, int *fit,
                                              int *extents, SIZE *size, DWORD fileId, UINT charset) {
    if (!dc || !text) return FALSE;
    if (!IsGaiji(charset))
        return Strandkit_GetTextExtentExPointCs(dc, text, count, width, fit, extents, size, charset);
    int fh = FontHeight(dc), total = 0, fitted = 0;
    const BYTE *p = (const BYTE *)text;
    for (int i = 0; i + 1 < count; i += 2) {
        total += GaijiWidth(dc, fileId, charset, p + i, fh, nullptr, nullptr);
        if (extents) extents[i] = extents[i + 1] = total;
        if (total <= width) fitted = i + 2;
    }
    if (fit) *fit = fitted;
    if (size) {
        size->cx = total;
        size->cy = fh;
    }
    return TRUE;
}
