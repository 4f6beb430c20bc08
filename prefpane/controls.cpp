// Small helpers over the controls of the pages and dialogs: check boxes, combo boxes of resource
// strings, number fields with spins, and the owner-drawn colour buttons with their chooser.
#include "prefpane_int.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "basekit.h"
#include "uiassets.h"

void Pp_InitControls(void)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_HOTKEY_CLASS | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                                  ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
}

void Pp_SetCheck(HWND dlg, int id, int on)
{
    CheckDlgButton(dlg, id, on ? BST_CHECKED : BST_UNCHECKED);
}

int Pp_GetCheck(HWND dlg, int id)
{
    if (!GetDlgItem(dlg, id)) return -1;
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

void Pp_Enable(HWND dlg, int id, int on)
{
    if (HWND control = GetDlgItem(dlg, id)) EnableWindow(control, on ? TRUE : FALSE);
}

void Pp_CopyText(char *field, size_t cap, const char *text)
{
    memset(field, 0, cap);
    size_t length = strlen(text);
    memcpy(field, text, length < cap ? length : cap - 1);
}

void Pp_LoadString(int id, char *buf, int cap)
{
    buf[0] = 0;
    Uiassets_LoadString((UINT)id, buf, cap);
}

void Pp_FillComboStrings(HWND dlg, int id, const int *stringIds, int count, int select)
{
    HWND combo = GetDlgItem(dlg, id);
    if (!combo) return;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[256];
        Pp_LoadString(stringIds[i], text, sizeof text);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendMessageA(combo, CB_SETCURSEL, select, 0);
}

int Pp_GetComboIndex(HWND dlg, int id)
{
    HWND combo = GetDlgItem(dlg, id);
    return combo ? (int)SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
}

void Pp_SetNumber(HWND dlg, int editId, int spinId, int value, int low, int high)
{
    if (HWND spin = GetDlgItem(dlg, spinId)) SendMessageA(spin, UDM_SETRANGE32, low, high);
    char text[32];
    snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dlg, editId, text);
}

int Pp_GetNumber(HWND dlg, int editId, int fallback)
{
    HWND edit = GetDlgItem(dlg, editId);
    if (!edit) return fallback;
    char text[32] = "";
    GetWindowTextA(edit, text, sizeof text);
    return atoi(text);
}

BOOL Pp_MeasureItem(HWND dlg, MEASUREITEMSTRUCT *measure)
{
    if (measure->CtlType != ODT_LISTBOX && measure->CtlType != ODT_COMBOBOX) return FALSE;
    HDC dc = GetDC(dlg);
    HFONT font = (HFONT)SendMessageA(dlg, WM_GETFONT, 0, 0);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(dlg, dc);
    measure->itemHeight = metrics.tmHeight + 2;
    SetWindowLongPtrA(dlg, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// ---- Colour buttons ----------------------------------------------------------------------------

void Pp_SetButtonColour(HWND dlg, int id, COLORREF colour)
{
    HWND button = GetDlgItem(dlg, id);
    if (!button) return;
    SetWindowLongPtrA(button, GWLP_USERDATA, (LONG_PTR)colour);
    InvalidateRect(button, nullptr, FALSE);
}

COLORREF Pp_GetButtonColour(HWND dlg, int id)
{
    HWND button = GetDlgItem(dlg, id);
    return button ? (COLORREF)GetWindowLongPtrA(button, GWLP_USERDATA) : 0;
}

BOOL Pp_DrawColourButton(const DRAWITEMSTRUCT *draw)
{
    if (draw->CtlType != ODT_BUTTON) return FALSE;
    COLORREF colour = (COLORREF)GetWindowLongPtrA(draw->hwndItem, GWLP_USERDATA);
    RECT r = draw->rcItem;
    // A disabled button shows a grey swatch (the common library's disabled forms add a drop-down
    // arrow, which these buttons do not have).
    Basekit_DrawColorButtonFramed(draw->hDC, &r,
                                  IsWindowEnabled(draw->hwndItem) ? colour : GetSysColor(COLOR_GRAYTEXT));
    if (draw->itemState & ODS_FOCUS) {
        InflateRect(&r, -2, -2);
        DrawFocusRect(draw->hDC, &r);
    }
    return TRUE;
}

namespace {

// Puts the chooser below the button that opened it (above it when there is no room below),
// inside the work area of the button's monitor.
void CALLBACK PlaceChooser(HWND chooser, LPARAM, LPARAM user)
{
    RECT button, frame;
    GetWindowRect((HWND)user, &button);
    GetWindowRect(chooser, &frame);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromRect(&button, MONITOR_DEFAULTTONEAREST), &info);
    const RECT &work = info.rcWork;
    int x = button.left, y = button.bottom;
    if (y + height > work.bottom) y = button.top - height;
    if (x + width > work.right) x = work.right - width;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(chooser, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

int Pp_PickButtonColour(HWND dlg, int id)
{
    HWND button = GetDlgItem(dlg, id);
    if (!button) return 0;
    COLORREF colour = Pp_GetButtonColour(dlg, id);
    if (!Basekit_ChooseColorEx(dlg, &colour, PlaceChooser, (LPARAM)button)) return 0;
    Pp_SetButtonColour(dlg, id, colour);
    return 1;
}
