// The HNFLATBUTTON window class: a flat text button with push, check and radio-group kinds.
// Hover is tracked by holding the mouse capture while the cursor is inside the button.
#include "ui_int.h"

#include <commctrl.h>

namespace {

const char kClassName[] = "HNFLATBUTTON";
// Window extra bytes: the state bits as a LONG, then the font handle (pointer-sized).
enum { kStateLong = 0, kFontLong = sizeof(LONG), kExtraBytes = sizeof(LONG) + sizeof(LONG_PTR) };
enum { kChecked = 1, kPressed = 4 };
enum { kKindMask = 0x0F, kRadioKind = 9, kOwnerDraw = 0x10 };

char g_tipText[260];   // the tooltip text of this family, handed out on request

int Kind(HWND w) { return GetWindowLongA(w, GWL_STYLE) & kKindMask; }
int IsPushKind(HWND w) { return Kind(w) <= 1; }
LONG State(HWND w) { return GetWindowLongA(w, kStateLong); }
void SetState(HWND w, LONG s) { SetWindowLongA(w, kStateLong, s); }

int IsFlatRadio(HWND w)
{
    char name[32];
    return GetClassNameA(w, name, sizeof name) && lstrcmpiA(name, kClassName) == 0 &&
           Kind(w) == kRadioKind;
}

void Uncheck(HWND w)
{
    SetState(w, State(w) & ~kChecked);
    InvalidateRect(w, nullptr, FALSE);
}

// Unchecks the other radio buttons of the button's group: the group runs from the nearest
// sibling at or before the button that has WS_GROUP up to the next sibling that has it, and
// ends early at any visible sibling that is not a flat radio button.  Invisible siblings are
// passed over.
void ClearRadioGroup(HWND self)
{
    if (!(GetWindowLongA(self, GWL_STYLE) & WS_GROUP)) {
        for (HWND w = GetWindow(self, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
            if (!IsWindowVisible(w)) continue;
            if (!IsFlatRadio(w)) break;
            if (State(w) & kChecked) Uncheck(w);
            if (GetWindowLongA(w, GWL_STYLE) & WS_GROUP) break;
        }
    }
    for (HWND w = GetWindow(self, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!IsWindowVisible(w)) continue;
        if (!IsFlatRadio(w) || (GetWindowLongA(w, GWL_STYLE) & WS_GROUP)) break;
        if (State(w) & kChecked) Uncheck(w);
    }
}

void Repaint(HWND w, int now)
{
    InvalidateRect(w, nullptr, FALSE);
    if (now) UpdateWindow(w);
}

void DrawFace(HWND w, HDC dc, const RECT *client, int visual)
{
    FillRect(dc, client, GetSysColorBrush(COLOR_BTNFACE));
    RECT edge = *client;
    if (visual & 1) {
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_LEFT | BF_TOP);
        DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RIGHT | BF_BOTTOM);
    } else if (visual & 16) {
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    }
    char text[128];
    int length = GetWindowTextA(w, text, sizeof text);
    HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrA(w, kFontLong));
    HGDIOBJ oldFont = SelectObject(dc, font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT area = *client;
    InflateRect(&area, -2, -2);
    UINT format = DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS;
    COLORREF oldColour;
    if (!IsWindowEnabled(w)) {
        RECT shadow = area;
        OffsetRect(&shadow, 1, 1);
        oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text, length, &shadow, format);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        oldColour = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    }
    DrawTextA(dc, text, length, &area, format);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void OnPaint(HWND w)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    LONG state = State(w);
    int visual = (state & (kChecked | kPressed)) ? 1 : 0;
    if (IsWindowEnabled(w) && GetCapture() == w) visual |= 16;   // the cursor is inside
    RECT client;
    GetClientRect(w, &client);
    if (GetWindowLongA(w, GWL_STYLE) & kOwnerDraw) {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = GetDlgCtrlID(w);
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = visual;
        item.hwndItem = w;
        item.hDC = dc;
        item.rcItem = ps.rcPaint;
        SendMessageA(GetParent(w), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
    } else {
        DrawBuffer buffer;
        if (HDC mem = Draw_BufferBegin(&buffer, dc, &client)) DrawFace(w, mem, &client, visual);
        Draw_BufferEnd(&buffer, dc, &ps);
    }
    EndPaint(w, &ps);
}

void OnMouseMove(HWND w, WPARAM keys, LPARAM lParam)
{
    if (keys == MK_LBUTTON) return;   // a press in progress keeps the hover as it is
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client;
    GetClientRect(w, &client);
    if (PtInRect(&client, pt)) {
        if (GetCapture() != w) SetCapture(w);
    } else if (GetCapture() == w) {
        ReleaseCapture();
    }
    Repaint(w, 0);
}

void OnLButtonUp(HWND w)
{
    HWND parent = GetParent(w);
    WPARAM command = MAKEWPARAM(GetDlgCtrlID(w), 0);
    if (IsPushKind(w)) {
        SendMessageA(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(w));
        if (!IsWindow(w)) return;
        SetState(w, 0);
        Repaint(w, 0);
    } else {
        SetState(w, State(w) & ~kPressed);
        SendMessageA(w, BM_SETCHECK, BST_CHECKED, 0);
        PostMessageA(parent, WM_COMMAND, command, reinterpret_cast<LPARAM>(w));
    }
}

void OnSetCheck(HWND w, WPARAM check)
{
    if (IsPushKind(w)) return;
    if (Kind(w) == kRadioKind && check == BST_CHECKED) ClearRadioGroup(w);
    SetState(w, check ? (State(w) | kChecked) : (State(w) & ~kChecked));
    Repaint(w, 0);
}

LRESULT OnNotify(HWND w, LPARAM lParam)
{
    NMHDR *header = reinterpret_cast<NMHDR *>(lParam);
    if (header && header->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA *info = reinterpret_cast<NMTTDISPINFOA *>(lParam);
        GetWindowTextA(w, g_tipText, sizeof g_tipText);
        info->lpszText = g_tipText;
    }
    return 0;
}

LRESULT CALLBACK FlatButtonProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: OnPaint(w); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: OnMouseMove(w, wParam, lParam); return 0;
    case WM_LBUTTONDOWN:
        SetState(w, State(w) | kPressed);
        Repaint(w, 1);
        return 0;
    case WM_LBUTTONUP: OnLButtonUp(w); return 0;
    case WM_RBUTTONUP: {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        MapWindowPoints(w, GetParent(w), &pt, 1);
        PostMessageA(GetParent(w), WM_RBUTTONUP, wParam, MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_CAPTURECHANGED:
    case WM_ENABLE: Repaint(w, 0); return 0;
    case BM_GETCHECK: return State(w);
    case BM_SETCHECK: OnSetCheck(w, wParam); return 0;
    case WM_SETFONT:
        SetWindowLongPtrA(w, kFontLong, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam)) Repaint(w, 0);
        return 0;
    case WM_GETFONT: return GetWindowLongPtrA(w, kFontLong);
    case WM_GETDLGCODE: return DLGC_BUTTON;
    case WM_NOTIFY: return OnNotify(w, lParam);
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

} // namespace

extern "C" BOOL WINAPI Basekit_RegisterFlatButton(void)
{
    WNDCLASSA wc = {};
    wc.style = CS_GLOBALCLASS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = FlatButtonProc;
    wc.cbWndExtra = kExtraBytes;
    wc.hInstance = Files_Module();
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // the arrow
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
