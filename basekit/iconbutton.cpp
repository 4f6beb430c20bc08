// Icon buttons: the flat style put onto a standard BUTTON by subclassing, and the HNICONBUTTONEX
// window class with hover icon, background bitmaps per state and optional rounded corners.  Both
// share one record, one painting routine and one input state machine; hover is tracked by
// holding the mouse capture while the cursor is inside.
#include <stdlib.h>

#include "ui_int.h"

#include <commctrl.h>

namespace {

const char kExClass[] = "HNICONBUTTONEX";
enum { kChecked = 1, kPressed = 4, kArrowPressed = 0x10 };
enum { kCheckKind = 2 };
enum { kNotifyArrow = 0x8000, kNotifyEnter = 0x8001, kNotifyLeave = 0x8002 };

// One record per button, kept in its user data from creation (or subclassing) to destruction.
struct IconButton {
    int extended;          // 1 for HNICONBUTTONEX, 0 for a subclassed BUTTON
    WNDPROC previous;      // subclassed BUTTON: the procedure put back at destruction
    HICON icon, hoverIcon;
    HBITMAP background, hoverBackground, pressedBackground;
    int kind;              // 2: check button; anything else: push button
    int sizeIndex;         // 0 to 6
    int state;             // kChecked, kPressed, kArrowPressed
    int hot;               // the cursor is over the button (the capture is held)
    int cornerWidth, cornerHeight;
    HRGN region;           // rounded corners: owned by the window once set
};

struct SizeRow {
    int width, height, icon, arrow;
};
const SizeRow kSizes[7] = {
    {24, 24, 16, 0}, {40, 40, 32, 0}, {34, 24, 16, 1}, {50, 40, 32, 1},
    {24, 24, 16, 1}, {24, 24, 16, 0}, {40, 40, 32, 0},
};

char g_tipText[260];   // the tooltip text of this family, handed out on request

const SizeRow &Size(const IconButton *b)
{
    return kSizes[(b->sizeIndex >= 0 && b->sizeIndex <= 6) ? b->sizeIndex : 0];
}

IconButton *Record(HWND w)
{
    return reinterpret_cast<IconButton *>(GetWindowLongPtrA(w, GWLP_USERDATA));
}

// 2 over the arrow part, 1 elsewhere inside the window, 0 outside (client coordinates).
int HitTest(HWND w, const IconButton *b, POINT pt)
{
    RECT client;
    GetClientRect(w, &client);
    if (Size(b).arrow && pt.x >= client.right - 11 && pt.x < client.right && pt.y >= 0 &&
        pt.y < client.bottom - 2)
        return 2;
    return PtInRect(&client, pt) ? 1 : 0;
}

void Notify(HWND w, UINT code)
{
    NMHDR header = {w, static_cast<UINT_PTR>(GetDlgCtrlID(w)), code};
    SendMessageA(GetParent(w), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Repaint(HWND w, int now)
{
    InvalidateRect(w, nullptr, FALSE);
    if (now) UpdateWindow(w);
}

HICON ArrowIcon(void)
{
    static HICON icon;
    if (icon == nullptr)
        icon = static_cast<HICON>(LoadImageA(Files_Module(), MAKEINTRESOURCEA(IDI_DROP_ARROW),
                                             IMAGE_ICON, 16, 16, LR_SHARED));
    return icon;
}

void StretchBitmap(HDC dc, HBITMAP bitmap, const RECT *area)
{
    BITMAP info = {};
    if (!GetObjectA(bitmap, sizeof info, &info)) return;
    HDC mem = CreateCompatibleDC(dc);
    if (mem == nullptr) return;
    HGDIOBJ old = SelectObject(mem, bitmap);
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, area->left, area->top, area->right - area->left, area->bottom - area->top, mem,
               0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    SelectObject(mem, old);
    DeleteDC(mem);
}

HBRUSH StaticBrush(HWND w, HDC dc)
{
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(w), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(w)));
    return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

enum ArrowLook { kArrowPlain, kArrowHot, kArrowDown };

void DrawArrowPart(HDC dc, const IconButton *b, const RECT *part, ArrowLook look)
{
    int height = part->bottom - part->top;
    int x = part->left + 3, y = part->top + (height - 3) / 2 - 1;
    RECT edge = *part;
    if (look == kArrowDown) {
        x += 1;
        y += 1;
        if (!b->extended) DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    } else if (look == kArrowHot && !b->extended) {
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    }
    if (b->extended && look != kArrowPlain) {
        RECT separator = {part->left, part->top, part->left + 2, part->bottom};
        DrawEdge(dc, &separator, BDR_SUNKENOUTER, BF_LEFT | BF_RIGHT);
    }
    if (ArrowIcon()) DrawIconEx(dc, x, y, ArrowIcon(), 0, 0, 0, nullptr, DI_NORMAL);
}

void DrawButton(HWND w, IconButton *b, HDC dc, const RECT *client)
{
    const SizeRow &size = Size(b);
    int enabled = IsWindowEnabled(w);
    int hot = enabled && b->hot;
    // Background.
    if (b->background) StretchBitmap(dc, b->background, client);
    else FillRect(dc, client, StaticBrush(w, dc));
    // Main part and arrow part.
    RECT main = *client, part = *client;
    if (size.arrow) {
        int arrowWidth = (b->extended && b->sizeIndex == 3) ? 12 : 11;
        main.right -= arrowWidth;
        if (!(b->extended && b->sizeIndex == 3)) main.bottom -= 2;
        part.left = main.right;
        part.bottom = main.bottom;
    } else if (!b->extended) {
        main.right -= 1;
        main.bottom -= 2;
    }
    // State: the edge (or bitmap) of the main part, the icon's offset and the arrow's look.
    int offset = 0;
    ArrowLook arrow = kArrowPlain;
    HBITMAP stateBitmap = nullptr;
    UINT edge = 0;
    if (b->state & kPressed) {
        stateBitmap = b->pressedBackground;
        edge = BDR_SUNKENOUTER;
        offset = 1;
        arrow = kArrowDown;
    } else if (b->state & kChecked) {
        stateBitmap = b->pressedBackground;
        edge = BDR_SUNKENOUTER;
        offset = 1;
        arrow = (b->state & kArrowPressed) ? kArrowDown : hot ? kArrowHot : kArrowPlain;
    } else if (b->state & kArrowPressed) {
        stateBitmap = b->hoverBackground;
        edge = BDR_RAISEDINNER;
        arrow = kArrowDown;
    } else if (hot) {
        stateBitmap = b->hoverBackground;
        edge = BDR_RAISEDINNER;
        arrow = kArrowHot;
    }
    if (b->extended && stateBitmap) StretchBitmap(dc, stateBitmap, client);
    else if (edge) DrawEdge(dc, &main, edge, BF_RECT);
    // Face.
    if (b->sizeIndex == 4) {
        char text[260];
        int length = GetWindowTextA(w, text, sizeof text);
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        COLORREF oldColour = SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        RECT area = main;
        area.left += 2;
        OffsetRect(&area, offset, offset);
        IntersectRect(&area, &area, client);
        DrawTextA(dc, text, length, &area, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        SetTextColor(dc, oldColour);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldFont);
    } else {
        HICON icon = (b->extended && hot && b->hoverIcon) ? b->hoverIcon : b->icon;
        int x = main.left + (main.right - main.left - size.icon) / 2 + offset;
        int y = main.top + (main.bottom - main.top - size.icon) / 2 + offset;
        if (icon && (enabled || b->sizeIndex == 5 || b->sizeIndex == 6)) {
            DrawIconEx(dc, x, y, icon, size.icon, size.icon, 0, nullptr, DI_NORMAL);
        } else if (icon) {
            DrawStateA(dc, StaticBrush(w, dc), nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y,
                       size.icon, size.icon, DST_ICON | DSS_DISABLED);
        }
    }
    if (size.arrow) DrawArrowPart(dc, b, &part, arrow);
}

void OnPaint(HWND w, IconButton *b)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT client;
    GetClientRect(w, &client);
    DrawBuffer buffer;
    if (HDC mem = Draw_BufferBegin(&buffer, dc, &client)) DrawButton(w, b, mem, &client);
    Draw_BufferEnd(&buffer, dc, &ps);
    EndPaint(w, &ps);
}

void OnMouseMove(HWND w, IconButton *b, WPARAM keys, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    int inside = HitTest(w, b, pt) != 0;
    int captured = GetCapture() == w;
    if (keys == MK_LBUTTON) {
        b->state = (inside && captured) ? (b->state | kPressed) : (b->state & ~kPressed);
    } else {
        b->state &= ~kPressed;
        if (inside && !captured) {
            SetCapture(w);
            b->hot = 1;
            Notify(w, kNotifyEnter);
        } else if (!inside && captured) {
            b->hot = 0;
            ReleaseCapture();
            Notify(w, kNotifyLeave);
        }
    }
    if (IsWindow(w)) Repaint(w, 0);
}

void OnLButtonDown(HWND w, IconButton *b, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (HitTest(w, b, pt) == 2) {
        b->state |= kArrowPressed;
        Repaint(w, 1);
        Notify(w, kNotifyArrow);
        if (!IsWindow(w)) return;
        b->state &= ~kArrowPressed;
        Repaint(w, 1);
    } else {
        b->state |= kPressed;
        Repaint(w, 0);
    }
}

void OnLButtonUp(HWND w, IconButton *b, LPARAM lParam)
{
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    b->state &= ~kPressed;
    if (HitTest(w, b, pt) == 1) {
        if (b->kind == kCheckKind) b->state ^= kChecked;
        SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), 0),
                     reinterpret_cast<LPARAM>(w));
    }
    if (IsWindow(w)) Repaint(w, 0);
}

// The messages both kinds handle themselves; *handled says whether msg was one of them.
LRESULT Handle(HWND w, IconButton *b, UINT message, WPARAM wParam, LPARAM lParam, int *handled)
{
    *handled = 1;
    switch (message) {
    case WM_PAINT: OnPaint(w, b); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: OnMouseMove(w, b, wParam, lParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(w, b, lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(w, b, lParam); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != w) b->hot = 0;
        Repaint(w, 0);
        return 0;
    case BM_GETCHECK: return b->kind == kCheckKind ? (b->state & kChecked) : 0;
    case BM_SETCHECK:
        if (b->kind == kCheckKind) {
            b->state = static_cast<int>(wParam);
            Repaint(w, 0);
        }
        return 0;
    case WM_NOTIFY: {
        NMHDR *header = reinterpret_cast<NMHDR *>(lParam);
        if (header && header->code == TTN_NEEDTEXTA) {
            GetWindowTextA(w, g_tipText, sizeof g_tipText);
            reinterpret_cast<NMTTDISPINFOA *>(lParam)->lpszText = g_tipText;
        }
        return 0;
    }
    }
    *handled = 0;
    return 0;
}

LRESULT CALLBACK SubclassProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    IconButton *b = Record(w);
    if (b == nullptr) return DefWindowProcA(w, message, wParam, lParam);
    WNDPROC previous = b->previous;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        free(b);
        return CallWindowProcA(previous, w, message, wParam, lParam);
    }
    if (message == WM_ENABLE) Repaint(w, 0);
    int handled;
    LRESULT result = Handle(w, b, message, wParam, lParam, &handled);
    return handled ? result : CallWindowProcA(previous, w, message, wParam, lParam);
}

// Hands the record to the window at WM_NCCREATE; taken tells the creator it was handed over.
struct Handoff {
    IconButton *record;
    int taken;
};

LRESULT CALLBACK IconButtonProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        Handoff *handoff = static_cast<Handoff *>(reinterpret_cast<CREATESTRUCTA *>(lParam)->lpCreateParams);
        if (handoff == nullptr) return FALSE;
        handoff->taken = 1;
        SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handoff->record));
    }
    IconButton *b = Record(w);
    if (b == nullptr) return DefWindowProcA(w, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        free(b);   // the region belongs to the window and goes with it
        return DefWindowProcA(w, message, wParam, lParam);
    }
    if (message == WM_ENABLE) {
        Repaint(w, 0);
        return 0;
    }
    int handled;
    LRESULT result = Handle(w, b, message, wParam, lParam, &handled);
    return handled ? result : DefWindowProcA(w, message, wParam, lParam);
}

} // namespace

extern "C" BOOL WINAPI Basekit_FlatButtonSubclass(HWND button, HICON icon, HBITMAP background,
                                                  int sizeIndex, int kind, BOOL sizeIt)
{
    if (!IsWindow(button) || Record(button) != nullptr) return FALSE;
    IconButton *b = static_cast<IconButton *>(calloc(1, sizeof *b));
    if (b == nullptr) return FALSE;
    b->icon = icon;
    b->background = background;
    b->sizeIndex = sizeIndex;
    b->kind = kind;
    SetWindowLongPtrA(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b));
    b->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    if (sizeIt) {
        const SizeRow &size = Size(b);
        SetWindowPos(button, nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

extern "C" HWND WINAPI Basekit_FlatButtonCreate(HICON icon, HBITMAP background, int sizeIndex,
                                                int kind, int x, int y, HWND parent, UINT id,
                                                const char *text, HINSTANCE module)
{
    HWND button = CreateWindowExA(0, "BUTTON", text ? text : "",
                                  WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), module, nullptr);
    if (button == nullptr) return nullptr;
    if (!Basekit_FlatButtonSubclass(button, icon, background, sizeIndex, kind, TRUE)) {
        DestroyWindow(button);
        return nullptr;
    }
    return button;
}

extern "C" HICON WINAPI Basekit_FlatButtonSetIcon(HWND button, HICON icon)
{
    IconButton *b = IsWindow(button) ? Record(button) : nullptr;
    if (b == nullptr) return nullptr;
    HICON previous = b->icon;
    b->icon = icon;
    Repaint(button, 1);
    return previous;
}

extern "C" BOOL WINAPI Basekit_RegisterIconButton(void)
{
    WNDCLASSA wc = {};
    wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = IconButtonProc;
    wc.hInstance = Files_Module();
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // the arrow
    wc.lpszClassName = kExClass;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

extern "C" HWND WINAPI Basekit_IconButtonCreate(HICON icon, HICON hoverIcon, HBITMAP background,
                                                HBITMAP hoverBackground, HBITMAP pressedBackground,
                                                int sizeIndex, int kind, int x, int y, int width,
                                                int height, HWND parent, UINT id, const char *text,
                                                HINSTANCE module, int cornerWidth, int cornerHeight)
{
    IconButton *b = static_cast<IconButton *>(calloc(1, sizeof *b));
    if (b == nullptr) return nullptr;
    b->extended = 1;
    b->icon = icon;
    b->hoverIcon = hoverIcon;
    b->background = background;
    b->hoverBackground = hoverBackground;
    b->pressedBackground = pressedBackground;
    b->sizeIndex = sizeIndex;
    b->kind = kind;
    b->cornerWidth = cornerWidth;
    b->cornerHeight = cornerHeight;
    Handoff handoff = {b, 0};
    HWND w = CreateWindowExA(0, kExClass, text ? text : "", WS_CHILD | WS_VISIBLE, x, y, width,
                             height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             module, &handoff);
    if (w == nullptr) {
        if (!handoff.taken) free(b);   // once taken, the window's destruction freed it
        return nullptr;
    }
    if (cornerWidth || cornerHeight) {
        RECT frame;
        GetWindowRect(w, &frame);
        b->region = CreateRoundRectRgn(0, 0, frame.right - frame.left + 1,
                                       frame.bottom - frame.top + 1, cornerWidth, cornerHeight);
        // The window owns the region from here on; it is never deleted by us.
        if (b->region && !SetWindowRgn(w, b->region, TRUE)) {
            DeleteObject(b->region);
            b->region = nullptr;
        }
    }
    return w;
}

extern "C" HICON WINAPI Basekit_IconButtonSetIcons(HWND button, HICON icon, HICON hoverIcon)
{
    IconButton *b = IsWindow(button) ? Record(button) : nullptr;
    if (b == nullptr || !b->extended) return nullptr;
    HICON previous = b->icon;
    b->icon = icon;
    b->hoverIcon = hoverIcon;
    Repaint(button, 1);
    return previous;
}
