// The interface fonts of the library: one font per supported charset (made on first use, deleted
// when the library is unloaded), font sets in five sizes and four styles per charset, the
// platform flags, and the colours of items, menus and windows.
#include "draw_int.h"
#include "strandkit_int.h"

#include <string.h>

namespace {

const UINT kFontCharsets[] = {0, 128, 129, 134, 136, 238};
const int kFontCharsetCount = 6;

int CharsetSlot(UINT charset)
{
    for (int i = 0; i < kFontCharsetCount; ++i) {
        if (kFontCharsets[i] == charset) {
            return i;
        }
    }
    return -1;
}

// The face each charset's interface font asks for.
const char *DefaultFace(UINT charset)
{
    switch (charset) {
    case 128: return "MS Gothic";
    case 129: return "GulimChe";
    case 134: return "MS Song";
    case 136: return "MingLiu";
    default: return "MS Sans Serif";
    }
}

HFONT GuiFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LOGFONTA GuiLogFont()
{
    LOGFONTA lf = {};
    GetObjectA(GuiFont(), sizeof(lf), &lf);
    return lf;
}

// The charset fonts and the platform flags, made once; the fonts are deleted at unload (all but
// the default GUI font, which is the system's).
struct CharsetFonts {
    HFONT fonts[kFontCharsetCount] = {};
    bool majorAbove4 = false;
    ~CharsetFonts()
    {
        for (HFONT f : fonts) {
            if (f && f != GuiFont()) {
                DeleteObject(f);
            }
        }
    }
};
CharsetFonts g_fonts;
INIT_ONCE g_fontsOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK MakeCharsetFonts(INIT_ONCE *, void *, void **)
{
    OSVERSIONINFOA vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
    if (GetVersionExA(&vi)) {
        g_fonts.majorAbove4 = vi.dwMajorVersion > 4;
    }
    UINT ui = StrandkitInt_UiCharset();
    LOGFONTA base = GuiLogFont();
    for (int i = 0; i < kFontCharsetCount; ++i) {
        UINT cs = kFontCharsets[i];
        if (cs == ui) {
            g_fonts.fonts[i] = GuiFont();
            continue;
        }
        LOGFONTA lf = base;
        lf.lfCharSet = BYTE(cs);
        lstrcpynA(lf.lfFaceName, DefaultFace(cs), LF_FACESIZE);
        g_fonts.fonts[i] = CreateFontIndirectA(&lf);
    }
    return TRUE;
}

const CharsetFonts &Fonts()
{
    InitOnceExecuteOnce(&g_fontsOnce, MakeCharsetFonts, nullptr, nullptr);
    return g_fonts;
}

// Font sets: per charset five sizes in four styles, and a default font (regular, 10 points).
const int kSetPoints[5] = {8, 9, 10, 12, 14};
struct FontSet {
    HFONT fonts[4][5];   // [italic + 2 * bold][size index]
    HFONT defaultFont;
};
struct FontSets {
    FontSet sets[kFontCharsetCount] = {};
    ~FontSets()
    {
        for (FontSet &s : sets) {
            Clear(&s);
        }
    }
    static void Clear(FontSet *s)
    {
        for (auto &style : s->fonts) {
            for (HFONT &f : style) {
                if (f) {
                    DeleteObject(f);
                }
                f = nullptr;
            }
        }
        if (s->defaultFont) {
            DeleteObject(s->defaultFont);
        }
        s->defaultFont = nullptr;
    }
};
FontSets g_sets;
SRWLOCK g_setsLock = SRWLOCK_INIT;

HFONT MakeFont(UINT charset, int points, bool italic, bool bold, const char *face)
{
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(points, 96, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfCharSet = BYTE(charset);
    lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

}  // namespace

bool DrawInt_MajorAbove4()
{
    return Fonts().majorAbove4;
}

bool DrawInt_UiIsMultiByte()
{
    return Strandkit_IsMultiByteCharset(StrandkitInt_UiCharset()) != 0;
}

bool DrawInt_CharsetFace(UINT charset, char face[LF_FACESIZE], BYTE *family)
{
    HFONT f = Strandkit_GetCharsetFont(charset);
    LOGFONTA lf = {};
    if (!f || GetObjectA(f, sizeof(lf), &lf) != int(sizeof(lf))) {
        return false;
    }
    lstrcpynA(face, lf.lfFaceName, LF_FACESIZE);
    *family = BYTE(lf.lfPitchAndFamily & 0xF0);
    return true;
}

HFONT DrawInt_FontFor(const DrawFontChoice &choice, UINT charset)
{
    if (!choice.sets) {
        return Strandkit_GetCharsetFont(charset);
    }
    int slot = CharsetSlot(charset);
    if (slot < 0 || choice.sizeIndex < -1 || choice.sizeIndex > 4) {
        return nullptr;
    }
    HFONT f = nullptr;
    AcquireSRWLockShared(&g_setsLock);
    const FontSet &s = g_sets.sets[slot];
    if (choice.sizeIndex < 0) {
        f = (choice.italic || choice.bold) ? nullptr : s.defaultFont;
    } else {
        f = s.fonts[(choice.italic ? 1 : 0) + (choice.bold ? 2 : 0)][choice.sizeIndex];
    }
    ReleaseSRWLockShared(&g_setsLock);
    return f;
}

extern "C" {

UINT WINAPI Strandkit_GetUiCharset(void)
{
    return StrandkitInt_UiCharset();
}

HFONT WINAPI Strandkit_GetCharsetFont(UINT charset)
{
    int slot = CharsetSlot(charset);
    return slot < 0 ? nullptr : Fonts().fonts[slot];
}

void WINAPI Strandkit_SetWindowFont(HWND window)
{
    if (!window) {
        return;
    }
    HFONT f = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    if (f && GetObjectA(f, sizeof(lf), &lf) == int(sizeof(lf)) &&
        lf.lfCharSet == StrandkitInt_UiCharset()) {
        return;
    }
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GuiFont()), TRUE);
}

BOOL WINAPI Strandkit_CreateFontSet(UINT charset, const char *face)
{
    int slot = CharsetSlot(charset);
    if (slot < 0) {
        return FALSE;
    }
    UINT ui = StrandkitInt_UiCharset();
    char defaultFace[LF_FACESIZE];
    if (charset == ui || ((charset == 0 || charset == 238) && ui == 0)) {
        lstrcpynA(defaultFace, GuiLogFont().lfFaceName, LF_FACESIZE);
    } else {
        lstrcpynA(defaultFace, DefaultFace(charset), LF_FACESIZE);
    }
    FontSet made = {};
    bool ok = true;
    for (int style = 0; style < 4; ++style) {
        for (int i = 0; i < 5; ++i) {
            made.fonts[style][i] = MakeFont(charset, kSetPoints[i], style & 1, style & 2, face);
            ok = ok && made.fonts[style][i];
        }
    }
    made.defaultFont = MakeFont(charset, 10, false, false, defaultFace);
    ok = ok && made.defaultFont;

    // A set made again replaces the earlier one, which is deleted.
    AcquireSRWLockExclusive(&g_setsLock);
    FontSet old = g_sets.sets[slot];
    g_sets.sets[slot] = made;
    ReleaseSRWLockExclusive(&g_setsLock);
    FontSets::Clear(&old);
    return ok;
}

void WINAPI Strandkit_DeleteFontSet(UINT charset)
{
    int slot = CharsetSlot(charset);
    if (slot < 0) {
        return;
    }
    AcquireSRWLockExclusive(&g_setsLock);
    FontSet old = g_sets.sets[slot];
    g_sets.sets[slot] = FontSet{};
    ReleaseSRWLockExclusive(&g_setsLock);
    FontSets::Clear(&old);
}

void WINAPI Strandkit_GetItemColors(UINT state, COLORREF *text, COLORREF *back)
{
    COLORREF t, b;
    if (state & ODS_SELECTED) {
        t = GetSysColor(COLOR_HIGHLIGHTTEXT);
        b = GetSysColor(COLOR_HIGHLIGHT);
    } else {
        t = GetSysColor((state & (ODS_GRAYED | ODS_DISABLED)) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        b = GetSysColor(COLOR_WINDOW);
    }
    if (text) {
        *text = t;
    }
    if (back) {
        *back = b;
    }
}

void WINAPI Strandkit_GetMenuColors(UINT state, COLORREF *text, COLORREF *back)
{
    bool selected = state & ODS_SELECTED;
    if (text) {
        *text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    }
    if (back) {
        *back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    }
}

void WINAPI Strandkit_GetWindowColors(COLORREF *text, COLORREF *back)
{
    if (text) {
        *text = GetSysColor(COLOR_WINDOWTEXT);
    }
    if (back) {
        *back = GetSysColor(COLOR_BTNFACE);
    }
}

}  // extern "C"
