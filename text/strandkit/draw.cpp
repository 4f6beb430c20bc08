// Drawing plain and charset-tagged text: tagged text run by run in each run's font, and the
// drawing calls by charset, which go through 16-bit text for a double-byte charset on a
// single-byte interface.
#include "draw_int.h"
#include "strandkit_int.h"

#include <string.h>

namespace {

int ByteLength(const char *text, int count)
{
    int full = int(strlen(text));
    return (count < 0 || count > full) ? full : count;
}

BOOL DrawTagged(HDC dc, int x, int y, const char *text, int length, COLORREF colour,
                const DrawFontChoice &choice)
{
    if (!dc || !text) {
        return FALSE;
    }
    int len = ByteLength(text, length);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, colour);
    BOOL ok = TRUE;
    UINT charset = 0;
    int pos = 0;
    DrawRun run;
    while (DrawInt_NextRun(text, len, &pos, &charset, &run)) {
        DrawWide w;
        DrawInt_ToWide(run.charset, text + run.text, run.end - run.text, &w);
        if (w.units.empty()) {
            continue;
        }
        HFONT font = DrawInt_FontFor(choice, run.charset);
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        int n = int(w.units.size());
        SIZE size = {};
        ok = TextOutW(dc, x, y, w.units.data(), n) && ok;
        GetTextExtentPoint32W(dc, w.units.data(), n, &size);
        x += size.cx;
        if (old) {
            SelectObject(dc, old);
        }
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    return ok;
}

// Text of a double-byte charset on a single-byte interface goes out as 16-bit text.
bool NeedsWide(UINT charset)
{
    return !DrawInt_UiIsMultiByte() && Strandkit_IsMultiByteCharset(charset);
}

}  // namespace

extern "C" {

BOOL WINAPI Strandkit_DrawText(HDC dc, int x, int y, const char *text, int count, COLORREF colour)
{
    if (!dc || !text) {
        return FALSE;
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, colour);
    BOOL ok = TextOutA(dc, x, y, text, ByteLength(text, count));
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    return ok;
}

BOOL WINAPI Strandkit_DrawTaggedText(HDC dc, int x, int y, const char *text, int length,
                                     COLORREF colour)
{
    return DrawTagged(dc, x, y, text, length, colour, DrawFontChoice{false, 0, 0, 0});
}

BOOL WINAPI Strandkit_DrawTaggedTextFont(HDC dc, int x, int y, const char *text, int length,
                                         COLORREF colour, int sizeIndex, BOOL italic, BOOL bold)
{
    return DrawTagged(dc, x, y, text, length, colour, DrawFontChoice{true, sizeIndex, italic, bold});
}

BOOL WINAPI Strandkit_ExtTextOut(HDC dc, int x, int y, UINT options, const RECT *rect,
                                 const char *text, int count, const INT *dx, UINT charset)
{
    if (!NeedsWide(charset) || !text || count <= 0) {
        return ExtTextOutA(dc, x, y, options, rect, text, count > 0 ? UINT(count) : 0, dx);
    }
    DrawWide w;
    DrawInt_ToWide(charset, text, count, &w);
    if (w.units.empty()) {
        return FALSE;
    }
    // Per-byte advances become per-unit advances: a character's bytes summed.
    std::vector<INT> wideDx;
    if (dx) {
        int from = 0;
        for (size_t i = 0; i < w.units.size(); ++i) {
            int sum = 0;
            if (w.byteEnd[i] >= 0) {
                for (int b = from; b < w.byteEnd[i]; ++b) {
                    sum += dx[b];
                }
                from = w.byteEnd[i];
            }
            wideDx.push_back(sum);
        }
    }
    return ExtTextOutW(dc, x, y, options, rect, w.units.data(), UINT(w.units.size()),
                       dx ? wideDx.data() : nullptr);
}

BOOL WINAPI Strandkit_TextOut(HDC dc, int x, int y, const char *text, int count, UINT charset)
{
    if (!NeedsWide(charset)) {
        return TextOutA(dc, x, y, text, count);
    }
    if (!text || count <= 0) {
        return FALSE;
    }
    DrawWide w;
    DrawInt_ToWide(charset, text, count, &w);
    if (w.units.empty()) {
        return FALSE;
    }
    return TextOutW(dc, x, y, w.units.data(), int(w.units.size()));
}

}  // extern "C"
