// The about box: a modeless dialog, one per process, closed by OK, Esc or its close box.
#include "creditpane.h"
#include "creditpane_int.h"

namespace {

HWND g_about;
HFONT g_productFont;

INT_PTR CALLBACK AboutProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        // The product's name in a larger bold face; the other texts keep the template's font.
        RECT rc;
        GetClientRect(GetDlgItem(w, CREDITPANE_IDC_PRODUCT), &rc);
        g_productFont = Creditpane_Font(rc.bottom * 3 / 4, true);
        SendDlgItemMessageW(w, CREDITPANE_IDC_PRODUCT, WM_SETFONT, (WPARAM)g_productFont, FALSE);
        return TRUE;
    }
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT *draw = (DRAWITEMSTRUCT *)lParam;
        if (draw->CtlID != CREDITPANE_IDC_LOGO) return FALSE;
        FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        int size = draw->rcItem.right - draw->rcItem.left;
        int tall = draw->rcItem.bottom - draw->rcItem.top;
        if (tall < size) size = tall;
        RECT square = {draw->rcItem.left, draw->rcItem.top, draw->rcItem.left + size, draw->rcItem.top + size};
        Creditpane_DrawLogo(draw->hDC, square);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(w);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(w);
        return TRUE;
    case WM_DESTROY:
        if (g_about == w) g_about = nullptr;
        if (g_productFont) {
            DeleteObject(g_productFont);
            g_productFont = nullptr;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

extern "C" HWND WINAPI Creditpane_ShowAbout(HWND owner) {
    if (g_about && IsWindow(g_about)) {
        SetForegroundWindow(g_about);
        return g_about;
    }
    g_about = CreateDialogParamW(g_creditpaneModule, MAKEINTRESOURCEW(CREDITPANE_IDD_ABOUT), owner, AboutProc, 0);
    if (g_about) ShowWindow(g_about, SW_SHOWNORMAL);
    return g_about;
}
