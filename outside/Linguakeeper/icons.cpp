// The language icons: the icon named in the language's key, else one drawn for the language: its
// two-letter code in white on a tile of the language's own colour (the code's high byte in
// hexadecimal for a language the suite does not know).
#include <stdio.h>
#include <map>
#include "linguakeeper_int.h"

namespace {

struct LanguageMark {
    WORD code;
    const char *letters;
    COLORREF tile;
};
const LanguageMark kMarks[] = {
    {0x0100, "EN", RGB(31, 78, 160)},  {0x0300, "ZH", RGB(178, 34, 34)}, {0x0400, "JA", RGB(196, 30, 58)},
    {0x0500, "KO", RGB(0, 121, 107)},  {0x0600, "FR", RGB(40, 53, 147)}, {0x0700, "DE", RGB(66, 66, 66)},
    {0x0800, "ES", RGB(230, 110, 0)},  {0x0C00, "FI", RGB(2, 136, 209)}, {0x0F00, "IT", RGB(46, 125, 50)},
    {0x1100, "NO", RGB(141, 36, 36)},  {0x1600, "SV", RGB(0, 91, 153)},
};

const int kIconSize = 32;

// Drawn icons by language code; they live as long as the process (callers share them).
std::map<WORD, HICON> g_drawn;

HICON DrawIcon(WORD code) {
    char letters[8];
    COLORREF tile = RGB(96, 96, 96);
    snprintf(letters, sizeof letters, "%02X", code >> 8);
    for (const LanguageMark &m : kMarks)
        if (m.code == code) {
            snprintf(letters, sizeof letters, "%s", m.letters);
            tile = m.tile;
        }
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP color = CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    HBITMAP mask = CreateBitmap(kIconSize, kIconSize, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HICON icon = nullptr;
    if (dc && color && mask) {
        RECT all = {0, 0, kIconSize, kIconSize};
        // Mask: white (transparent) round the tile's rounded corners, black (opaque) on it.
        HGDIOBJ oldBitmap = SelectObject(dc, mask);
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        RoundRect(dc, 0, 0, kIconSize, kIconSize, 8, 8);
        // Colour: black outside (so the mask shows through), the tile and the letters inside.
        SelectObject(dc, color);
        FillRect(dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
        HBRUSH brush = CreateSolidBrush(tile);
        HPEN pen = CreatePen(PS_SOLID, 1, tile);
        SelectObject(dc, brush);
        SelectObject(dc, pen);
        RoundRect(dc, 0, 0, kIconSize, kIconSize, 8, 8);
        HFONT font = CreateFontA(-15, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, VARIABLE_PITCH | FF_SWISS,
                                 "Arial");
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextA(dc, letters, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldBitmap);
        DeleteObject(font);
        DeleteObject(pen);
        DeleteObject(brush);
        ICONINFO info = {TRUE, 0, 0, mask, color};
        icon = CreateIconIndirect(&info);
    }
    if (dc)
        DeleteDC(dc);
    if (color)
        DeleteObject(color);
    if (mask)
        DeleteObject(mask);
    return icon;
}

}  // namespace

extern "C" HICON WINAPI Linguakeeper_GetLangIcon(DWORD language, HICON *icon, DWORD) {
    HICON h = nullptr;
    Lk_Lock();
    LkLanguage *l = Lk_Find(language);
    if (l && l->record.iconModule[0] && l->record.iconId) {
        HMODULE m = LoadLibraryExA(l->record.iconModule, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (m)  // kept loaded: the icon is shared and lives as long as its module
            h = (HICON)LoadImageA(m, MAKEINTRESOURCEA(l->record.iconId), IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
    }
    if (!h && l) {
        HICON &drawn = g_drawn[l->code];
        if (!drawn)
            drawn = DrawIcon(l->code);
        h = drawn;
    }
    Lk_Unlock();
    if (!h && l)
        h = LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);  // no drawing surface to be had
    if (icon)
        *icon = h;
    return h;
}
