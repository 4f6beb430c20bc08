// Default fonts per charset, and drawing and measuring text in a font built from a description.
#include "codepager.h"
#include "codepager_int.h"

#include <string.h>
#include <vector>

namespace {

// The process's default-font table, guarded by g_cpLock.
CharsetFont g_defaults[] = {
    {0, 12, 0, "Times New Roman"}, {2, 12, 0, "rIZOzedIvova"}, {128, 12, 0, "MS Gothic"},
    {129, 12, 0, "GulimChe"},      {134, 12, 0, "MS Song"},      {136, 12, 0, "MingLiU"},
    {130, 12, 0, ""},              {177, 12, 0, ""},             {178, 12, 0, ""},
    {161, 12, 0, ""},              {162, 12, 0, ""},             {163, 12, 0, ""},
    {222, 12, 0, ""},              {238, 12, 0, ""},             {204, 12, 0, ""},
    {186, 12, 0, ""},
};
static_assert(sizeof(g_defaults) == 16 * 44, "16 default fonts of 44 bytes");

CharsetFont *FindDefault(UINT charset)
{
    for (CharsetFont &f : g_defaults) {
        if (f.charset == charset) {
            return &f;
        }
    }
    return nullptr;
}

UINT LanguageCharset(UINT language, const CharsetFont *font)
{
    switch (language) {
    case CODEPAGER_LANG_CHINESE_SIMPLIFIED: return 134;
    case CODEPAGER_LANG_CHINESE_TRADITIONAL: return 136;
    case CODEPAGER_LANG_JAPANESE: return 128;
    case 0: return font->charset;
    default: return 0;
    }
}

// Copies a face of up to 34 bytes that need not be terminated.
void CopyFace(char *to, size_t toSize, const char *from)
{
    size_t n = strnlen(from, sizeof(CharsetFont::face));
    if (n >= toSize) {
        n = toSize - 1;
    }
    memcpy(to, from, n);
    to[n] = 0;
}

HFONT BuildFont(HDC dc, const CharsetFont *desc)
{
    CharsetFont entry = {0, 12, 0, ""};
    EnterCriticalSection(&g_cpLock);
    if (const CharsetFont *d = FindDefault(desc->charset)) {
        entry = *d;
    }
    LeaveCriticalSection(&g_cpLock);

    LOGFONTA lf = {};
    LONG size = desc->size ? desc->size : entry.size;
    lf.lfHeight = size > 0 ? -MulDiv(size, GetDeviceCaps(dc, LOGPIXELSY), 72) : size;
    lf.lfWeight = (desc->style & CODEPAGER_STYLE_BOLD) ? 500 : FW_NORMAL;
    lf.lfItalic = (desc->style & CODEPAGER_STYLE_ITALIC) ? 1 : 0;
    lf.lfUnderline = (desc->style & CODEPAGER_STYLE_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (desc->style & CODEPAGER_STYLE_STRIKEOUT) ? 1 : 0;
    lf.lfCharSet = BYTE(desc->charset == SYMBOL_CHARSET ? 0 : desc->charset);
    CopyFace(lf.lfFaceName, sizeof(lf.lfFaceName), desc->face[0] ? desc->face : entry.face);
    return CreateFontIndirectA(&lf);
}

// Symbol text keeps its bytes; other text goes through 16-bit text when its code page is not
// the system's own, so that the platform does not read it in the wrong code page.
bool NeedsWide(UINT charset)
{
    return charset != SYMBOL_CHARSET && CpCharsetToCodePage(charset) != GetACP();
}

// count bytes of a charset's text as 16-bit text, and per-byte advances as per-unit advances
// (the advances of a character's bytes summed) when dx is given.
bool ToWide(UINT charset, LPCSTR text, int count, const INT *dx, std::vector<WCHAR> *wide,
            std::vector<INT> *wideDx)
{
    int n = Codepager_MultiByteToWide(charset, text, count, nullptr, 0);
    if (n <= 0) {
        return false;
    }
    wide->resize(n);
    n = Codepager_MultiByteToWide(charset, text, count, wide->data(), n);
    if (n <= 0) {
        return false;
    }
    wide->resize(n);
    if (!dx) {
        return true;
    }
    UINT cp = CpCharsetToCodePage(charset);
    bool systemPage = IsValidCodePage(cp);
    const BYTE *p = reinterpret_cast<const BYTE *>(text);
    for (int i = 0; i < count;) {
        bool lead = systemPage ? IsDBCSLeadByteEx(cp, p[i]) : Codepager_IsLeadByte(charset, p[i]);
        int len = (lead && i + 1 < count) ? 2 : 1;
        wideDx->push_back(len == 2 ? dx[i] + dx[i + 1] : dx[i]);
        i += len;
    }
    if (int(wideDx->size()) != n) {
        wideDx->clear();   // the walk and the conversion disagree: let the platform space it
    }
    return true;
}

// Draws (rect, options, dx as ExtTextOut) or measures (size not null) in the described font.
BOOL DrawOrMeasure(HDC dc, int x, int y, UINT options, const RECT *rect, LPCSTR text, int count,
                   const INT *dx, SIZE *size, const CharsetFont *desc)
{
    if (!dc || !desc || (size && (!text || count < 1))) {
        return FALSE;
    }
    if (!text || count < 0) {
        count = 0;
    }
    HFONT font = BuildFont(dc, desc);
    if (!font) {
        return FALSE;
    }
    HGDIOBJ old = SelectObject(dc, font);
    BOOL ok = FALSE;
    std::vector<WCHAR> wide;
    std::vector<INT> wideDx;
    if (count > 0 && NeedsWide(desc->charset) &&
        ToWide(desc->charset, text, count, dx, &wide, &wideDx)) {
        if (size) {
            ok = GetTextExtentPoint32W(dc, wide.data(), int(wide.size()), size);
        } else {
            ok = ExtTextOutW(dc, x, y, options, rect, wide.data(), UINT(wide.size()),
                             wideDx.empty() ? nullptr : wideDx.data());
        }
    } else if (size) {
        ok = GetTextExtentPoint32A(dc, text, count, size);
    } else {
        ok = ExtTextOutA(dc, x, y, options, rect, count ? text : "", UINT(count), dx);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    return ok;
}

}  // namespace

BOOL WINAPI Codepager_ExtTextOut(HDC dc, int x, int y, UINT options, const RECT *rect, LPCSTR text,
                                 int count, const INT *dx, const CharsetFont *font)
{
    return DrawOrMeasure(dc, x, y, options, rect, text, count, dx, nullptr, font);
}

BOOL WINAPI Codepager_TextOut(HDC dc, int x, int y, LPCSTR text, int count,
                              const CharsetFont *font)
{
    return DrawOrMeasure(dc, x, y, 0, nullptr, text, count, nullptr, nullptr, font);
}

BOOL WINAPI Codepager_GetTextExtent(HDC dc, LPCSTR text, int count, SIZE *size,
                                    const CharsetFont *font)
{
    if (!size) {
        return FALSE;
    }
    return DrawOrMeasure(dc, 0, 0, 0, nullptr, text, count, nullptr, size, font);
}

BOOL WINAPI Codepager_SetDefaultFont(UINT language, CharsetFont *font)
{
    if (!font) {
        return FALSE;
    }
    EnterCriticalSection(&g_cpLock);
    if (CharsetFont *entry = FindDefault(LanguageCharset(language, font))) {
        if (font->size != 0) {
            entry->size = font->size;
        }
        font->style = entry->style;
        if (font->face[0]) {
            CopyFace(entry->face, sizeof(entry->face), font->face);
        }
    }
    LeaveCriticalSection(&g_cpLock);
    return TRUE;
}

BOOL WINAPI Codepager_GetDefaultFont(UINT language, CharsetFont *font)
{
    if (!font) {
        return FALSE;
    }
    BOOL found = FALSE;
    EnterCriticalSection(&g_cpLock);
    if (const CharsetFont *entry = FindDefault(LanguageCharset(language, font))) {
        *font = *entry;
        found = TRUE;
    }
    LeaveCriticalSection(&g_cpLock);
    return found;
}
