// Shared command and menu handlers, and the owner-drawn buttons.
#include "sharedkit.h"
#include "sharedkit_int.h"

namespace {

// The focused control when it is the window itself or lies inside it; null otherwise.
HWND FocusInside(HWND window) {
    HWND focus = GetFocus();
    if (!focus || !window)
        return nullptr;
    return (focus == window || IsChild(window, focus)) ? focus : nullptr;
}

void DrawButtonFrame(const DRAWITEMSTRUCT *d, int pressed) {
    UINT state = DFCS_BUTTONPUSH;
    if (pressed || (d->itemState & ODS_SELECTED))
        state |= DFCS_PUSHED;
    RECT r = d->rcItem;
    DrawFrameControl(d->hDC, &r, DFC_BUTTON, state);
}

void DrawButtonText(const DRAWITEMSTRUCT *d, const char *text, int pressed, int leftInset) {
    if (!text || !*text)
        return;
    RECT r = d->rcItem;
    r.left += 2 + leftInset;
    r.right -= 2;
    if (pressed || (d->itemState & ODS_SELECTED))
        OffsetRect(&r, 1, 1);
    HGDIOBJ oldFont = SelectObject(d->hDC, GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(d->hDC, TRANSPARENT);
    COLORREF oldColor = SetTextColor(d->hDC, GetSysColor((d->itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                                                                                         : COLOR_BTNTEXT));
    DrawTextA(d->hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SetTextColor(d->hDC, oldColor);
    SetBkMode(d->hDC, oldMode);
    SelectObject(d->hDC, oldFont);
}

}  // namespace

extern "C" int WINAPI Sharedkit_DrawTextButton(const DRAWITEMSTRUCT *draw, const char *text, int pressed) {
    if (!draw || !draw->hDC)
        return 0;
    DrawButtonFrame(draw, pressed);
    DrawButtonText(draw, text, pressed, 0);
    return 1;
}

// The language's icon from the language manager when the process has it loaded (the programs
// with dictionary buttons do, through the engine); null otherwise.
static HICON LanguageIcon(DWORD language) {
    typedef HICON(WINAPI * IconProc)(DWORD, HICON *, DWORD);
    HMODULE manager = language ? GetModuleHandleA("Linguakeeper.dll") : nullptr;
    IconProc icon = manager ? (IconProc)GetProcAddress(manager, MAKEINTRESOURCEA(112)) : nullptr;
    return icon ? icon(language, nullptr, 0) : nullptr;
}

extern "C" int WINAPI Sharedkit_DrawDicButton(const DRAWITEMSTRUCT *draw, const char *name, DWORD language,
                                              int pressed) {
    if (!draw || !draw->hDC)
        return 0;
    DrawButtonFrame(draw, pressed);
    const RECT &r = draw->rcItem;
    HICON icon = r.bottom - r.top >= 20 ? LanguageIcon(language & 0xFFFF) : nullptr;
    if (icon) {
        int shift = (pressed || (draw->itemState & ODS_SELECTED)) ? 1 : 0;
        DrawIconEx(draw->hDC, r.left + 4 + shift, r.top + (r.bottom - r.top - 16) / 2 + shift, icon, 16, 16, 0,
                   nullptr, DI_NORMAL);
    }
    DrawButtonText(draw, name, pressed, icon ? 18 : 0);
    return 1;
}

extern "C" int WINAPI Sharedkit_DrawColorDicButton(const DRAWITEMSTRUCT *draw, const char *name, COLORREF color,
                                                   int pressed) {
    if (!draw || !draw->hDC)
        return 0;
    DrawButtonFrame(draw, pressed);
    RECT swatch = draw->rcItem;
    int side = (swatch.bottom - swatch.top) - 8;
    if (side > 2) {
        swatch.left += 4;
        swatch.top += 4;
        swatch.right = swatch.left + side;
        swatch.bottom = swatch.top + side;
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(draw->hDC, &swatch, brush);
        DeleteObject(brush);
        FrameRect(draw->hDC, &swatch, (HBRUSH)GetStockObject(GRAY_BRUSH));
    }
    DrawButtonText(draw, name, pressed, side > 2 ? side + 4 : 0);
    return 1;
}

// The search-option menu belongs to the callers; these leave it as it is.
extern "C" int WINAPI Sharedkit_UpdateDicMenu(HMENU, int) { return 0; }
extern "C" int WINAPI Sharedkit_FillDicMenu(HMENU, int) { return 0; }
extern "C" int WINAPI Sharedkit_DoDicMenuCommand(UINT, DWORD, DWORD, int) { return 0; }
extern "C" int WINAPI Sharedkit_HandleControlCommand(HWND, UINT) { return 0; }

extern "C" int WINAPI Sharedkit_HandleWindowCommand(HWND window, UINT command) {
    UINT message;
    switch (command) {
    case 5201: message = WM_CUT; break;
    case 5202: message = WM_COPY; break;
    case 5203: message = WM_PASTE; break;
    case 5205: message = WM_CLEAR; break;
    case 5206: message = EM_SETSEL; break;
    default: return 0;
    }
    HWND focus = FocusInside(window);
    if (!focus)
        return 0;
    if (message == EM_SETSEL)
        SendMessageA(focus, EM_SETSEL, 0, -1);
    else
        SendMessageA(focus, message, 0, 0);
    return 1;
}
