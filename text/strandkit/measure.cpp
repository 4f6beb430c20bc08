// Measuring and fitting plain and charset-tagged text, run by run, each run in its charset's font
// and through 16-bit text in its charset's code page; and the measuring calls by charset.
#include "draw_int.h"
#include "strandkit_int.h"

#include <limits.h>
#include <string.h>

namespace {

const int kFitEllipsis = 1;   // flag: end a cut text in "..."
const int kFitOneLine = 2;    // flag: CR and LF become blanks instead of ending the text

// A place where fitted text may end: its byte position, the width of the text before it, and
// the charset in effect there.
struct Cut {
    int pos;
    int width;
    UINT charset;
};

struct Layout {
    std::vector<Cut> cuts;
    int width = 0;
    int height = 0;
    UINT lastCharset = 0;
};

// Cumulative extents of the units (ext[i] = width of units 0..i) in the dc's current font.
bool Extents(HDC dc, const DrawWide &w, std::vector<INT> *ext, SIZE *size)
{
    int n = int(w.units.size());
    if (n == 0) {
        TEXTMETRICW tm = {};
        GetTextMetricsW(dc, &tm);
        size->cx = 0;
        size->cy = tm.tmHeight;
        return true;
    }
    ext->assign(n, 0);
    INT fit = 0;
    return GetTextExtentExPointW(dc, w.units.data(), n, INT_MAX / 2, &fit, ext->data(), size);
}

// Lays out len bytes: tagged text run by run, or plain text as one run of plainCharset.  With a
// choice each run is measured in the font it chooses (the dc's own when none); without one, in
// the dc's current font.
bool LayOut(HDC dc, const char *text, int len, bool tagged, UINT plainCharset,
            const DrawFontChoice *choice, Layout *lay)
{
    bool ok = true, anyText = false;
    int emptyHeight = -1;
    UINT charset = tagged ? 0 : plainCharset;
    int pos = 0;
    DrawRun run = {0, 0, len, plainCharset};
    for (bool first = true;; first = false) {
        UINT before = charset;
        if (tagged ? !DrawInt_NextRun(text, len, &pos, &charset, &run) : !first) {
            break;
        }
        HFONT font = choice ? DrawInt_FontFor(*choice, run.charset) : nullptr;
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        DrawWide w;
        DrawInt_ToWide(run.charset, text + run.text, run.end - run.text, &w);
        std::vector<INT> ext;
        SIZE size = {};
        ok = Extents(dc, w, &ext, &size) && ok;
        if (old) {
            SelectObject(dc, old);
        }
        lay->cuts.push_back({run.start, lay->width, before});
        for (size_t i = 0; i < w.units.size(); ++i) {
            if (w.byteEnd[i] >= 0) {
                lay->cuts.push_back({run.text + w.byteEnd[i], lay->width + ext[i], run.charset});
            }
        }
        lay->width += size.cx;
        if (!w.units.empty()) {
            anyText = true;
            lay->height = size.cy > lay->height ? size.cy : lay->height;
        } else if (emptyHeight < 0) {
            emptyHeight = size.cy;
        }
    }
    if (!anyText) {
        if (emptyHeight < 0) {
            TEXTMETRICW tm = {};
            GetTextMetricsW(dc, &tm);
            emptyHeight = tm.tmHeight;
        }
        lay->height = emptyHeight;
    }
    lay->lastCharset = charset;
    return ok;
}

int Width(HDC dc, HFONT font, const char *text)
{
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, int(strlen(text)), &size);
    if (old) {
        SelectObject(dc, old);
    }
    return size.cx;
}

// Fits text into width (see the header).  The text is changed in place: blanks for line ends
// with the one-line flag, and the ellipsis, which is only ever written within the caller's bytes
// (the first min(byteCount, length) + 1, so over the NUL at the most): where it would not fit
// there the cut moves back.
int Fit(HDC dc, int width, char *text, int byteCount, UINT flags, bool tagged, UINT plainCharset,
        const DrawFontChoice *choice, SIZE *sizeOut, UINT *lastCharset)
{
    SIZE size = {};
    UINT last = tagged ? 0 : plainCharset;
    int result = 0;
    if (dc && text) {
        int full = int(strlen(text));
        int len = (byteCount < 0 || byteCount > full) ? full : byteCount;
        int cap = len + 1;
        int lineCut = 0;
        if (flags & kFitOneLine) {
            for (int i = 0; i < len; ++i) {
                if (text[i] == '\r' || text[i] == '\n') {
                    text[i] = ' ';
                }
            }
        } else if (const void *cr = memchr(text, '\r', len)) {
            len = int(static_cast<const char *>(cr) - text);
            lineCut = 2;
        }
        Layout lay;
        LayOut(dc, text, len, tagged, plainCharset, choice, &lay);
        size.cy = lay.height;
        if (lay.width <= width) {
            size.cx = lay.width;
            last = lay.lastCharset;
            result = len + lineCut;
        } else {
            UINT ui = StrandkitInt_UiCharset();
            char ellipsis[8] = "...";
            if (tagged) {
                wsprintfA(ellipsis, "\x1b" "F%02X...", ui & 0xFF);
            }
            int ellBytes = int(strlen(ellipsis));
            bool ell = (flags & kFitEllipsis) && ellBytes + 1 <= cap;
            int ew = 0;
            if (ell) {
                HFONT f = nullptr;
                if (tagged) {
                    f = DrawInt_FontFor(choice ? *choice : DrawFontChoice{false, 0, 0, 0}, ui);
                } else if (choice) {
                    f = DrawInt_FontFor(*choice, plainCharset);
                }
                ew = Width(dc, f, "...");
                ell = ew <= width;   // no room even for the ellipsis: cut without it
            }
            int target = width - (ell ? ew : 0);
            Cut best = {0, 0, tagged ? 0 : plainCharset};
            for (const Cut &c : lay.cuts) {
                if (c.width <= target && (!ell || c.pos + ellBytes + 1 <= cap)) {
                    best = c;
                }
            }
            result = best.pos;
            size.cx = best.width;
            last = best.charset;
            if (ell) {
                memcpy(text + best.pos, ellipsis, ellBytes + 1);
                result += ellBytes;
                size.cx += ew;
                if (tagged) {
                    last = ui;
                }
            }
        }
    }
    if (sizeOut) {
        *sizeOut = size;
    }
    if (lastCharset) {
        *lastCharset = last;
    }
    return result;
}

BOOL TaggedExtent(HDC dc, const char *text, SIZE *size, const DrawFontChoice &choice)
{
    if (!size) {
        return FALSE;
    }
    size->cx = size->cy = 0;
    if (!dc || !text) {
        return FALSE;
    }
    Layout lay;
    BOOL ok = LayOut(dc, text, int(strlen(text)), true, 0, &choice, &lay);
    size->cx = lay.width;
    size->cy = lay.height;
    return ok;
}

int ByteLength(const char *text, int count)
{
    int full = int(strlen(text));
    return (count < 0 || count > full) ? full : count;
}

}  // namespace

bool DrawInt_NextRun(const char *text, int limit, int *pos, UINT *charset, DrawRun *run)
{
    int i = *pos;
    if (i >= limit || !text[i]) {
        return false;
    }
    run->start = i;
    while (i < limit && text[i] == STRANDKIT_ESC) {
        int tag = StrandkitInt_TagLength(text + i);
        if (tag == 0) {
            tag = 1;   // a lone ESC is skipped
        }
        if (i + tag > limit) {
            i = limit;
            break;
        }
        if (tag == 4) {
            *charset = StrandkitInt_HexByte(text + i + 2);
        }
        i += tag;
    }
    run->text = i;
    while (i < limit && text[i] && text[i] != STRANDKIT_ESC) {
        ++i;
    }
    run->end = i;
    run->charset = *charset;
    *pos = i;
    return true;
}

void DrawInt_ToWide(UINT charset, const char *text, int count, DrawWide *wide)
{
    UINT cp = Strandkit_CharsetToCodePage(charset);
    wide->units.clear();
    wide->byteEnd.clear();
    const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
    for (int i = 0; i < count && p[i];) {
        int len = (Strandkit_IsLeadByte(charset, p[i]) && i + 1 < count && p[i + 1]) ? 2 : 1;
        WCHAR w[4];
        int n = MultiByteToWideChar(cp, 0, text + i, len, w, 4);
        if (n <= 0) {
            w[0] = L'?';
            n = 1;
        }
        i += len;
        for (int k = 0; k < n; ++k) {
            wide->units.push_back(w[k]);
            wide->byteEnd.push_back(k == n - 1 ? i : -1);
        }
    }
}

extern "C" {

BOOL WINAPI Strandkit_GetTextExtent(HDC dc, UINT charset, const char *text, int count, SIZE *size)
{
    if (!size) {
        return FALSE;
    }
    size->cx = size->cy = 0;
    if (!dc || !text) {
        return FALSE;
    }
    DrawFontChoice choice = {false, 0, 0, 0};
    Layout lay;
    BOOL ok = LayOut(dc, text, ByteLength(text, count), false, charset, &choice, &lay);
    size->cx = lay.width;
    size->cy = lay.height;
    return ok;
}

int WINAPI Strandkit_FitText(HDC dc, int width, char *text, UINT flags, SIZE *size)
{
    return Fit(dc, width, text, -1, flags, false, StrandkitInt_UiCharset(), nullptr, size,
               nullptr);
}

int WINAPI Strandkit_FitTextInCharset(HDC dc, int width, char *text, int byteCount, UINT flags,
                                      UINT charset, SIZE *size)
{
    DrawFontChoice choice = {false, 0, 0, 0};
    return Fit(dc, width, text, byteCount, flags, false, charset, &choice, size, nullptr);
}

int WINAPI Strandkit_FitTaggedText(HDC dc, int width, char *text, UINT flags, SIZE *size,
                                   UINT *lastCharset)
{
    DrawFontChoice choice = {false, 0, 0, 0};
    return Fit(dc, width, text, -1, flags, true, 0, &choice, size, lastCharset);
}

int WINAPI Strandkit_FitTaggedTextFont(HDC dc, int width, char *text, UINT flags, SIZE *size,
                                       UINT *lastCharset, int sizeIndex, BOOL italic, BOOL bold)
{
    DrawFontChoice choice = {true, sizeIndex, italic, bold};
    return Fit(dc, width, text, -1, flags, true, 0, &choice, size, lastCharset);
}

BOOL WINAPI Strandkit_GetTaggedExtent(HDC dc, const char *text, SIZE *size)
{
    return TaggedExtent(dc, text, size, DrawFontChoice{false, 0, 0, 0});
}

BOOL WINAPI Strandkit_GetTaggedExtentFont(HDC dc, const char *text, SIZE *size, int sizeIndex,
                                          BOOL italic, BOOL bold)
{
    return TaggedExtent(dc, text, size, DrawFontChoice{true, sizeIndex, italic, bold});
}

BOOL WINAPI Strandkit_GetTextExtentExPoint(HDC dc, const char *text, int count, int width,
                                           int *fit, int *dx, SIZE *size, UINT charset)
{
    if (!text || count <= 0) {
        return FALSE;
    }
    BOOL ok = GetTextExtentExPointA(dc, text, count, width, fit, dx, size);
    // Never report a count that ends on the lead byte of a double-byte character.
    if (ok && fit && *fit > 0 && Strandkit_IsMultiByteCharset(charset) &&
        Strandkit_IsSplitAt(charset, text, *fit - 1) == 1) {
        --*fit;
    }
    return ok;
}

BOOL WINAPI Strandkit_GetTextExtentPoint(HDC dc, const char *text, int count, SIZE *size,
                                         UINT charset)
{
    if (!text || count <= 0 || !size) {
        return FALSE;
    }
    if (DrawInt_UiIsMultiByte() || !Strandkit_IsMultiByteCharset(charset)) {
        return GetTextExtentPoint32A(dc, text, count, size);
    }
    DrawWide w;
    DrawInt_ToWide(charset, text, count, &w);
    if (w.units.empty()) {
        return FALSE;
    }
    return GetTextExtentPoint32W(dc, w.units.data(), int(w.units.size()), size);
}

BOOL WINAPI Strandkit_GetTextExtentExPointCs(HDC dc, const char *text, int count, int width,
                                             int *fit, int *dx, SIZE *size, UINT charset)
{
    if (!text || count <= 0) {
        return FALSE;
    }
    if (!DrawInt_MajorAbove4() || !Strandkit_IsMultiByteCharset(charset)) {
        return GetTextExtentExPointA(dc, text, count, width, fit, dx, size);
    }
    // 16-bit path: extents per prefix; both bytes of a double-byte character get its extent,
    // and the fitted count is in bytes of whole characters.
    DrawWide w;
    DrawInt_ToWide(charset, text, count, &w);
    if (w.units.empty()) {
        return FALSE;
    }
    std::vector<INT> ext;
    SIZE whole = {};
    if (!Extents(dc, w, &ext, &whole)) {
        return FALSE;
    }
    int fitted = 0, from = 0;
    for (size_t i = 0; i < w.units.size(); ++i) {
        if (w.byteEnd[i] < 0) {
            continue;
        }
        for (int b = from; b < w.byteEnd[i]; ++b) {
            if (dx) {
                dx[b] = ext[i];
            }
        }
        if (ext[i] <= width) {
            fitted = w.byteEnd[i];
        }
        from = w.byteEnd[i];
    }
    if (fit) {
        *fit = fitted;
    }
    if (size) {
        *size = whole;
    }
    return TRUE;
}

}  // extern "C"
