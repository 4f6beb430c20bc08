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

// The font file of a width class nearest to a height, open for reading glyphs.
struct Font {
    HANDLE file = INVALID_HANDLE_VALUE;
    int cls = -1;
    int first = 0, count = 0;
};

void CloseFont(Font *font) {
    if (font->file != INVALID_HANDLE_VALUE) CloseHandle(font->file);
    font->file = INVALID_HANDLE_VALUE;
    font->cls = -1;
}

// Opens, among the book's font files of the charset's width class that exist, the one whose
// glyph height is nearest to height (at most 100; the first on a tie).  False when none exists.
bool OpenNearest(DWORD fileId, int height, int charset, Font *font) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f || f->info.kind != 4 || (charset != kCharsetNarrow && charset != kCharsetWide)) return false;
    if (height > kMaxHeight) height = kMaxHeight;
    int firstFile = charset == kCharsetWide ? 0 : 4;
    for (int i = firstFile; i < firstFile + 4; i++) {
        char path[MAX_PATH];
        FontPath(f, i, path);
        HANDLE h = OpenFont(path);
        if (h == INVALID_HANDLE_VALUE) continue;
        int first, count;
        if (ReadHead(h, &first, &count) &&
            (font->cls < 0 || abs(kClasses[i].height - height) < abs(kClasses[font->cls].height - height))) {
            CloseFont(font);
            font->file = h;
            font->cls = i;
            font->first = first;
            font->count = count;
            continue;
        }
        CloseHandle(h);
    }
    return font->cls >= 0;
}

// The glyph of a code from the open font: bytes written (0 when the code has none), its size.
int ReadGlyph(const Font &font, DWORD code, BYTE *bitmap, SIZE *size) {
    const GlyphClass &g = kClasses[font.cls];
    int index = (int)((code >> 8) & 0xFF) * 94 + (int)(code & 0xFF) - font.first;
    if (index < 0 || index >= font.count) return 0;
    BYTE raw[288];
    DWORD at = kBookBlock + (DWORD)(index / g.perBlock) * 1024 + (DWORD)(index % g.perBlock) * g.bytes;
    if (!LcBook_ReadAt(font.file, at, raw, (DWORD)g.bytes)) return 0;
    int src = (g.width + 7) / 8, dst = RowBytes(g.width);
    for (int y = 0; bitmap && y < g.height; y++)
        for (int x = 0; x < dst; x++) bitmap[y * dst + x] = (BYTE)~(x < src ? raw[y * src + x] : 0);
    if (size) {
        size->cx = g.width;
        size->cy = g.height;
    }
    return dst * g.height;
}

bool IsGaiji(UINT charset) { return charset == kCharsetNarrow || charset == kCharsetWide; }

int FontHeight(HDC dc) {
    TEXTMETRICA tm;
    return GetTextMetricsA(dc, &tm) ? (int)tm.tmHeight : 16;
}

// Width of one gaiji drawn at the font height fh (a missing glyph keeps its place); its bits and
// size when wanted (size 0 x 0 for a missing glyph).
int GaijiWidth(const Font &font, UINT charset, const BYTE *p, int fh, BYTE *bits, SIZE *size) {
    SIZE s = {0, 0};
    int n = font.cls >= 0 ? ReadGlyph(font, (DWORD)p[0] << 8 | p[1], bits, &s) : 0;
    if (!n) s.cx = s.cy = 0;
    if (size) *size = s;
    if (!n) return charset == kCharsetWide ? fh : fh / 2;
    return (s.cx * fh + s.cy / 2) / s.cy;
}

}  // namespace

extern "C" int WINAPI Lexicore_GetGaijiBitmap(DWORD fileId, DWORD code, int height, int charset,
                                              BYTE *bitmap, SIZE *size) {
    Font font;
    if (!OpenNearest(fileId, height, charset, &font)) return 0;
    int n = ReadGlyph(font, code, bitmap, size);
    CloseFont(&font);
    return n;
}

extern "C" BOOL WINAPI Lexicore_TextOut(HDC dc, int x, int y, const char *text, int length, DWORD fileId,
                                        UINT charset) {
    if (!dc || !text) return FALSE;
    if (!IsGaiji(charset)) return Strandkit_TextOut(dc, x, y, text, length, charset);
    int fh = FontHeight(dc);
    HDC mem = CreateCompatibleDC(dc);
    if (!mem) return FALSE;
    Font font;
    OpenNearest(fileId, fh, (int)charset, &font);
    const BYTE *p = (const BYTE *)text;
    for (int i = 0; i + 1 < length; i += 2) {
        BYTE bits[288];
        SIZE s;
        int w = GaijiWidth(font, charset, p + i, fh, bits, &s);
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
    CloseFont(&font);
    DeleteDC(mem);
    return TRUE;
}

extern "C" BOOL WINAPI Lexicore_GetTextExtent(HDC dc, const char *text, int count, int width, int *fit,
                                              int *extents, SIZE *size, DWORD fileId, UINT charset) {
    if (!dc || !text) return FALSE;
    if (!IsGaiji(charset))
        return Strandkit_GetTextExtentExPointCs(dc, text, count, width, fit, extents, size, charset);
    int fh = FontHeight(dc), total = 0, fitted = 0;
    Font font;
    OpenNearest(fileId, fh, (int)charset, &font);
    const BYTE *p = (const BYTE *)text;
    for (int i = 0; i + 1 < count; i += 2) {
        total += GaijiWidth(font, charset, p + i, fh, nullptr, nullptr);
        if (extents) extents[i] = extents[i + 1] = total;
        if (total <= width) fitted = i + 2;
    }
    CloseFont(&font);
    if (fit) *fit = fitted;
    if (size) {
        size->cx = total;
        size->cy = fh;
    }
    return TRUE;
}
