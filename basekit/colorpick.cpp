// The two drop-down colour pickers: a 16-colour picker and a 40-colour palette, each with a way
// into the system colour dialog.  While open a picker holds the mouse capture, so a press
// outside it closes it, as a drop-down list does.
#include <string.h>

#include "ui_int.h"

#include <commdlg.h>

namespace {

struct Swatch {
    int id;
    COLORREF colour;
};

const Swatch kPicker16[16] = {
    {1054, 0x000000}, {1082, 0xFFFFFF}, {1083, 0x808080}, {1084, 0xA0A0A0},
    {1085, 0x0000FF}, {1086, 0x000080}, {1087, 0x00FFFF}, {1088, 0x008080},
    {1089, 0x00FF00}, {1090, 0x008000}, {1092, 0x808000}, {1094, 0x800000},
    {1093, 0xFF0000}, {1091, 0xFFFF00}, {1095, 0xFF00FF}, {1096, 0x800080},
};

const COLORREF kPalette40[40] = {
    0x000000, 0x003399, 0x003333, 0x003300, 0x663300, 0x800000, 0x993333, 0x333333,
    0x000080, 0x0066FF, 0x008080, 0x008000, 0x808000, 0xFF0000, 0x996666, 0x808080,
    0x0000FF, 0x0099FF, 0x00CC99, 0x669933, 0xCCCC33, 0xFF6633, 0x800080, 0x999999,
    0xFF00FF, 0x00CCFF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFFCC00, 0x663399, 0xC0C0C0,
    0xCC99FF, 0x99CCFF, 0x99FFFF, 0xCCFFCC, 0xFFFFCC, 0xFFCC99, 0xFF99CC, 0xFFFFFF,
};

const UINT kRetakeCapture = WM_APP + 1;

// Per-dialog state, kept in the dialog's user data for its lifetime.
struct Picker {
    int palette;          // 1 for the 40-colour palette, 0 for the 16-colour picker
    HWND owner;
    COLORREF *colour;
    BasekitPickerCallback callback;
    LPARAM user;
    int hovered;          // id of the hovered swatch, 0 for none
    int pressed;          // id of the control pressed with the mouse, 0 for none
    int inSystemDialog;   // the system colour dialog is open: the capture stays released
};

int SwatchCount(const Picker *p) { return p->palette ? 40 : 16; }

int SwatchId(const Picker *p, int index)
{
    return p->palette ? IDC_PALETTE_FIRST + index : kPicker16[index].id;
}

COLORREF SwatchColour(const Picker *p, int index)
{
    return p->palette ? kPalette40[index] : kPicker16[index].colour;
}

// The index of the swatch with that control id; -1 when it is none.
int SwatchIndex(const Picker *p, int id)
{
    for (int i = 0; i < SwatchCount(p); ++i)
        if (SwatchId(p, i) == id) return i;
    return -1;
}

void RepaintControl(HWND dialog, int id)
{
    HWND control = id ? GetDlgItem(dialog, id) : nullptr;
    if (control == nullptr) return;
    InvalidateRect(control, nullptr, FALSE);
    UpdateWindow(control);
}

void SetHovered(HWND dialog, Picker *p, int id)
{
    if (id == p->hovered) return;
    int old = p->hovered;
    p->hovered = id;
    RepaintControl(dialog, old);
    RepaintControl(dialog, id);
}

// The palette's layout in pixels: 8 swatches a row, the separator and the button below.
void LayOutPalette(HWND dialog)
{
    SetWindowPos(dialog, nullptr, 0, 0, 170, 136, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < 40; ++i)
        SetWindowPos(GetDlgItem(dialog, IDC_PALETTE_FIRST + i), nullptr, 18 * (i % 8) + 11,
                     18 * (i / 8) + 5, 18, 18, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(dialog, IDC_PICK_SEPARATOR), nullptr, 13, 101, 140, 2,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(dialog, IDC_PICK_OTHER), nullptr, 20, 106, 126, 20,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrameColour(HDC dc, const RECT *r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, r, brush);
    DeleteObject(brush);
}

// A 1-pixel frame: light at the top and left, dark at the bottom and right.
void BevelFrame(HDC dc, const RECT *r, COLORREF light, COLORREF dark)
{
    RECT top = {r->left, r->top, r->right, r->top + 1}, left = {r->left, r->top, r->left + 1, r->bottom};
    RECT bottom = {r->left, r->bottom - 1, r->right, r->bottom};
    RECT right = {r->right - 1, r->top, r->right, r->bottom};
    HBRUSH l = CreateSolidBrush(light), d = CreateSolidBrush(dark);
    FillRect(dc, &top, l);
    FillRect(dc, &left, l);
    FillRect(dc, &bottom, d);
    FillRect(dc, &right, d);
    DeleteObject(l);
    DeleteObject(d);
}

void DrawOtherButton(const DRAWITEMSTRUCT *item)
{
    Basekit_FillButtonFace(item->hDC, &item->rcItem);
    char text[64];
    int length = GetWindowTextA(item->hwndItem, text, sizeof text);
    RECT r = item->rcItem;
    int oldMode = SetBkMode(item->hDC, TRANSPARENT);
    COLORREF oldColour = SetTextColor(item->hDC, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = SelectObject(item->hDC, reinterpret_cast<HFONT>(
                                                  SendMessageA(item->hwndItem, WM_GETFONT, 0, 0)));
    DrawTextA(item->hDC, text, length, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    SelectObject(item->hDC, oldFont);
    SetTextColor(item->hDC, oldColour);
    SetBkMode(item->hDC, oldMode);
    if (item->itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(item->hDC, &r);
    }
}

void DrawSwatchItem(const Picker *p, const DRAWITEMSTRUCT *item)
{
    int index = SwatchIndex(p, item->CtlID);
    if (index < 0) {
        if (static_cast<int>(item->CtlID) == IDC_PICK_OTHER) DrawOtherButton(item);
        return;
    }
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    COLORREF colour = SwatchColour(p, index);
    int hovered = p->hovered == static_cast<int>(item->CtlID);
    int pressed = (item->itemState & ODS_SELECTED) || p->pressed == static_cast<int>(item->CtlID);
    Basekit_FillButtonFace(dc, &r);
    if (p->palette) {
        Basekit_DrawSwatch(dc, &r, colour);
        if (pressed) BevelFrame(dc, &r, RGB(128, 128, 128), RGB(255, 255, 255));
        else if (hovered) BevelFrame(dc, &r, RGB(255, 255, 255), RGB(128, 128, 128));
    } else {
        if (item->itemState & (ODS_FOCUS | ODS_SELECTED)) Basekit_DrawSwatchFrame(dc, &r);
        Basekit_FillSwatch(dc, &r, colour);
        if (hovered) {
            COLORREF frames[3] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)};
            for (int i = 0; i < 3; ++i) {
                FrameColour(dc, &r, frames[i]);
                InflateRect(&r, -1, -1);
            }
        }
    }
}

// The system colour dialog, owned by the picker's owner, fully open with the current colour and
// the picker's first 16 colours as custom colours.  1 when a colour was chosen.
int ChooseFromSystem(HWND dialog, Picker *p)
{
    p->inSystemDialog = 1;
    ReleaseCapture();
    EnableWindow(dialog, FALSE);
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = SwatchColour(p, i);
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = p->owner;
    cc.rgbResult = *p->colour;
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    auto choose = BASEKIT_LATE("comdlg32.dll", ChooseColorA);
    int chosen = choose ? choose(&cc) : 0;
    EnableWindow(dialog, TRUE);
    p->inSystemDialog = 0;
    if (chosen) {
        *p->colour = cc.rgbResult;
        return 1;
    }
    SetForegroundWindow(dialog);
    SetFocus(dialog);
    SetCapture(dialog);
    return 0;
}

void OnCommand(HWND dialog, Picker *p, int id)
{
    int index = SwatchIndex(p, id);
    if (index >= 0) {
        *p->colour = SwatchColour(p, index);
        EndDialog(dialog, 1);
    } else if (id == IDC_PICK_OTHER) {
        if (ChooseFromSystem(dialog, p)) EndDialog(dialog, 1);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, 0);
    }
}

// The enabled, visible control of the dialog under a point of its client area; 0 for none.
int ControlAt(HWND dialog, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    HWND child = ChildWindowFromPointEx(dialog, pt, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    return child && child != dialog ? GetDlgCtrlID(child) : 0;
}

int IsInside(HWND dialog, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(dialog, &pt);
    RECT frame;
    GetWindowRect(dialog, &frame);
    return PtInRect(&frame, pt);
}

void OnInit(HWND dialog, Picker *p)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(p));
    if (p->palette) LayOutPalette(dialog);
    for (int i = 0; i < SwatchCount(p); ++i)
        if (SwatchColour(p, i) == *p->colour) {
            p->hovered = SwatchId(p, i);
            SetFocus(GetDlgItem(dialog, p->hovered));
            break;
        }
    if (p->callback) p->callback(dialog, reinterpret_cast<LPARAM>(p->colour), p->user);
    SetCapture(dialog);
}

INT_PTR CALLBACK PickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        OnInit(dialog, reinterpret_cast<Picker *>(lParam));
        return FALSE;   // the focus is set
    }
    Picker *p = reinterpret_cast<Picker *>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (p == nullptr) return FALSE;
    switch (message) {
    case WM_DRAWITEM: DrawSwatchItem(p, reinterpret_cast<DRAWITEMSTRUCT *>(lParam)); return TRUE;
    case WM_COMMAND: OnCommand(dialog, p, LOWORD(wParam)); return TRUE;
    case WM_MOUSEMOVE: {
        int id = ControlAt(dialog, lParam);
        if (SwatchIndex(p, id) >= 0) SetHovered(dialog, p, id);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (!IsInside(dialog, lParam)) {
            EndDialog(dialog, 0);   // a press outside closes the picker, colour unchanged
        } else if (message == WM_LBUTTONDOWN) {
            p->pressed = ControlAt(dialog, lParam);
            RepaintControl(dialog, p->pressed);
        }
        return TRUE;
    case WM_LBUTTONUP: {
        int pressed = p->pressed, id = ControlAt(dialog, lParam);
        p->pressed = 0;
        RepaintControl(dialog, pressed);
        if (pressed && id == pressed) {
            HWND control = GetDlgItem(dialog, id);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
        }
        return TRUE;
    }
    case WM_CAPTURECHANGED:
        if (!p->inSystemDialog && reinterpret_cast<HWND>(lParam) != dialog)
            PostMessageA(dialog, kRetakeCapture, 0, 0);
        return TRUE;
    case kRetakeCapture:
        if (!p->inSystemDialog && IsWindowEnabled(dialog) && GetActiveWindow() == dialog &&
            GetCapture() != dialog)
            SetCapture(dialog);
        return TRUE;
    case WM_DESTROY:
        if (GetCapture() == dialog) ReleaseCapture();
        return FALSE;
    }
    return FALSE;
}

int RunPicker(int palette, HWND owner, COLORREF *colour, BasekitPickerCallback callback, LPARAM user)
{
    if (colour == nullptr) return 0;
    Picker p = {};
    p.palette = palette;
    p.owner = owner;
    p.colour = colour;
    p.callback = callback;
    p.user = user;
    INT_PTR result = DialogBoxParamA(Files_Module(),
                                     MAKEINTRESOURCEA(palette ? IDD_COLOR_PALETTE : IDD_COLOR_PICKER),
                                     owner, PickerProc, reinterpret_cast<LPARAM>(&p));
    return result == 1;
}

} // namespace

extern "C" int WINAPI Basekit_ChooseColorEx(HWND owner, COLORREF *colour,
                                            BasekitPickerCallback callback, LPARAM user)
{
    return RunPicker(0, owner, colour, callback, user);
}

extern "C" int WINAPI Basekit_ChooseColorPalette(HWND owner, COLORREF *colour,
                                                 BasekitPickerCallback callback, LPARAM user)
{
    return RunPicker(1, owner, colour, callback, user);
}
