// A pop-up viewer window: its record, children (grip bar, tool bar, entry viewer, status bar
// with the dictionary buttons, hidden candidate drop-down), layout, skin drawing, dragging and
// its end.  Lookup, placement, auto-hide and commands are in viewer_lookup.cpp.
#include "bubblepane_int.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "lexshelf.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "widgetry.h"

const ToolButtonDef kToolButtonDefs[kToolButtons] = {
    {BUBBLEPANE_CMD_CANDIDATES, UIA_IDI_CANDIDATES}, {BUBBLEPANE_CMD_PRONOUNCE, UIA_IDI_PRONOUNCE},
    {BUBBLEPANE_CMD_EARLIER, UIA_IDI_EARLIER},       {BUBBLEPANE_CMD_LATER, UIA_IDI_LATER},
    {BUBBLEPANE_CMD_TO_SEARCH, UIA_IDI_SEARCH},      {BUBBLEPANE_CMD_TO_STUDY_LIST, UIA_IDI_STUDY_LIST},
    {5401, 7},                                       {5407, UIA_IDI_ADD_TO_LIST},
    {BUBBLEPANE_CMD_OPTIONS, UIA_IDI_OPTIONS},
};

namespace {

const int kGripWidth = 13;
const int kBarHeight = 24;
const int kButtonStep = 24;
const int kCorner = 16;

HICON SmallIcon(UINT id)
{
    HICON large = nullptr, small = nullptr;
    Uiassets_GetIcons(id, &large, &small);
    return small ? small : large;
}

void Tip(HWND control)
{
    if (g_bubble.tooltips && control) Basekit_TooltipAdd(g_bubble.tooltips, control);
}

// The grip bar: a BUTTON whose background is never erased and which lets the mouse through to
// the viewer (which drags itself).
LRESULT CALLBACK GripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = reinterpret_cast<WNDPROC>(GetPropA(window, "BubbleGripProc"));
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_NCDESTROY: RemovePropA(window, "BubbleGripProc"); break;
    }
    return CallWindowProcA(old, window, message, wParam, lParam);
}

} // namespace

HWND Bubble_MakeGrip(HWND parent)
{
    HWND grip = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 11, 100, parent,
                                reinterpret_cast<HMENU>(BUBBLEPANE_IDC_GRIP), g_bubble.instance, nullptr);
    if (!grip) return nullptr;
    SetPropA(grip, "BubbleGripProc",
             reinterpret_cast<HANDLE>(SetWindowLongPtrA(grip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GripProc))));
    return grip;
}

namespace {

void MakeToolBar(Viewer *v, HWND window)
{
    int x = kGripWidth;
    char text[128];
    if (v->flags & BUBBLEPANE_VF_PIN) {
        v->pinIcon = SmallIcon(UIA_IDI_PIN);
        v->pinnedIcon = SmallIcon(UIA_IDI_PINNED);
        Uiassets_LoadString(BUBBLEPANE_CMD_PIN, text, sizeof text);
        v->pin = Basekit_FlatButtonCreate(v->pinIcon, nullptr, 0, 2, x, 0, window, BUBBLEPANE_CMD_PIN, text,
                                          g_bubble.instance);
        Tip(v->pin);
        x += kButtonStep;
    }
    for (int i = 0; i < kToolButtons; i++) {
        Uiassets_LoadString(kToolButtonDefs[i].command, text, sizeof text);
        v->icons[i] = SmallIcon(kToolButtonDefs[i].icon);
        v->tools[i] = Basekit_FlatButtonCreate(v->icons[i], nullptr, 0, 0, x, 0, window, kToolButtonDefs[i].command,
                                               text, g_bubble.instance);
        Tip(v->tools[i]);
        x += kButtonStep;
    }
    v->flags |= BUBBLEPANE_VF_TOOLBAR;
    Viewer_UpdateToolButtons(v);
}

void MakeStatusBar(Viewer *v, HWND window)
{
    v->status = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 60, kBarHeight, window,
                                reinterpret_cast<HMENU>(BUBBLEPANE_IDC_STATUS), g_bubble.instance, nullptr);
    for (int i = 0; i < BUBBLEPANE_MAX_DICBUTTONS; i++) {
        v->dicButton[i] = CreateWindowExA(0, "HNFLATBUTTON", "", WS_CHILD | 0x10 | 2, 0, 0, 60, 22, window,
                                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(BUBBLEPANE_IDC_DICBUTTON + i)),
                                          g_bubble.instance, nullptr);
        SendMessageA(v->dicButton[i], WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        Tip(v->dicButton[i]);
    }
    char text[128];
    Uiassets_LoadString(UIA_CMD_ORDER_DIALOG, text, sizeof text);
    v->menuIcon = SmallIcon(UIA_IDI_DIC_MENU);
    v->menuButton = Basekit_FlatButtonCreate(v->menuIcon, nullptr, 0, 0, 0, 0, window, BUBBLEPANE_IDC_DICMENU, text,
                                             g_bubble.instance);
    Tip(v->menuButton);
    v->flags |= BUBBLEPANE_VF_STATUSBAR;
}

// The area inside the skin's frame, or the whole client area.
RECT Inner(Viewer *v)
{
    RECT r;
    GetClientRect(v->window, &r);
    if (v->flags & BUBBLEPANE_VF_SKIN) {
        r.left += v->skin.ViewMargins.left;
        r.top += v->skin.ViewMargins.top;
        r.right -= v->skin.ViewMargins.right;
        r.bottom -= v->skin.ViewMargins.bottom;
    }
    return r;
}

void LayoutStatusBar(Viewer *v, const RECT &inner, int left)
{
    if (!v->status) return;
    int usable = (v->flags & BUBBLEPANE_VF_SKIN) ? inner.right - left : inner.right - kCorner - left;
    StatusSlots s = Bubble_StatusSlots(usable, Viewer_PopupDictionaryCount());
    int y = inner.bottom - kBarHeight;
    MoveWindow(v->status, left, y, s.slotWidth, kBarHeight, TRUE);
    VLPriorityItem item;
    for (int i = 0; i < BUBBLEPANE_MAX_DICBUTTONS; i++) {
        if (i < s.buttons && Lexshelf_PrioGetItem(reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP), i + 1,
                                                  &item)) {
            SetWindowTextA(v->dicButton[i], item.name ? item.name : "");
            MoveWindow(v->dicButton[i], left + (i + 1) * s.slotWidth, y + 1, s.slotWidth, 22, TRUE);
            ShowWindow(v->dicButton[i], SW_SHOWNA);
        } else {
            ShowWindow(v->dicButton[i], SW_HIDE);
        }
    }
    v->dicButtons = s.buttons;
    if (s.menuButton) {
        MoveWindow(v->menuButton, left + s.width, y, 24, kBarHeight, TRUE);
        ShowWindow(v->menuButton, SW_SHOWNA);
    } else {
        ShowWindow(v->menuButton, SW_HIDE);
    }
}

void DoLayout(Viewer *v)
{
    RECT inner = Inner(v);
    int left = inner.left, top = inner.top, bottom = inner.bottom;
    if (v->grip) {
        MoveWindow(v->grip, inner.left, inner.top, kGripWidth, inner.bottom - inner.top, TRUE);
        left += kGripWidth;
    } else if (!(v->flags & BUBBLEPANE_VF_SKIN)) {
        left += kGripWidth;
    }
    if (v->flags & BUBBLEPANE_VF_TOOLBAR) {
        int x = left;
        if (v->pin) {
            MoveWindow(v->pin, x, top, 24, 24, TRUE);
            x += kButtonStep;
        }
        for (HWND b : v->tools)
            if (b) {
                MoveWindow(b, x, top, 24, 24, TRUE);
                x += kButtonStep;
            }
        top += kBarHeight;
    }
    if (v->status) {
        LayoutStatusBar(v, inner, left);
        bottom -= kBarHeight;
    }
    if (v->view) MoveWindow(v->view, left, top, inner.right - left, bottom > top ? bottom - top : 0, TRUE);
}

void SavePlacement(Viewer *v)
{
    PopupWindowOptions options = {};
    PopupWindowLayout layout = {};
    Prefstore_LoadPopupWindow(&options, &layout);
    POINT pos = {};
    SIZE size = {};
    if (!Prefstore_GetWindowPlacement(v->window, &pos, &size, nullptr)) return;
    if (!options.Fixed) {
        if (v->lastSize.cx <= 0 || v->lastSize.cy <= 0) return;
        layout.cx = v->lastSize.cx;
        layout.cy = v->lastSize.cy;
    } else {
        if (!(v->flags & BUBBLEPANE_VF_FIXED)) return;
        layout.x = pos.x;
        layout.y = pos.y;
        layout.cx = size.cx;
        layout.cy = size.cy;
    }
    Prefstore_SavePopupWindow(nullptr, &layout);
}

bool Create(HWND window, const CREATESTRUCTA *cs)
{
    Viewer *v = new Viewer();
    v->window = window;
    v->manager = cs->hwndParent;
    v->flags = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(cs->lpCreateParams)) &
               ~(BUBBLEPANE_VF_TOOLBAR | BUBBLEPANE_VF_STATUSBAR | BUBBLEPANE_VF_SKIN);
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(v));

    CaptureOptions capture = {};
    Prefstore_LoadCapture(&capture);
    v->popupPos = capture.PopupPos;
    PopupWindowOptions options = {};
    Prefstore_LoadPopupWindow(&options, nullptr);
    int os = Basekit_GetOsVersion();
    v->monitors = (os == 1 || os == 2) ? 1 : GetSystemMetrics(SM_CMONITORS);
    const bool side = (v->flags & BUBBLEPANE_VF_SIDE) != 0;

    if (side) {
        v->grip = Bubble_MakeGrip(window);
    } else if (options.UseSkin && Prefstore_LoadSkin(&v->skin, nullptr)) {
        v->flags |= BUBBLEPANE_VF_SKIN;
        MakeToolBar(v, window);
    } else {
        if (options.ToolBar) MakeToolBar(v, window);
        v->grip = Bubble_MakeGrip(window);
    }
    const bool skinned = (v->flags & BUBBLEPANE_VF_SKIN) != 0;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (skinned ? 0 : WS_VSCROLL);
    v->view = Scrivshow_CreateViewer(skinned ? 0 : WS_EX_CLIENTEDGE, style, kGripWidth,
                                     (v->flags & BUBBLEPANE_VF_TOOLBAR) ? kBarHeight : 0, 240, 200, window,
                                     BUBBLEPANE_IDC_VIEWER);
    if (!v->view) return false;
    if (!(v->flags & (BUBBLEPANE_VF_FIXED | BUBBLEPANE_VF_FIXEDSIZE)))
        SendMessageA(v->view, SCV_SETOPTION, 1, 0);
    if (!side && (options.UseSkin || options.StatusBar)) MakeStatusBar(v, window);
    v->dataList = Widgetry_CreateDataListEx(0, WS_POPUP | WS_BORDER | VLDLS_HEADWORD | VLDLS_DICTIONARY | VLDLS_NOHEADER,
                                            0, 0, 100, 200, 10, BUBBLEPANE_IDC_DATALIST, window, 100,
                                            GetSysColor(COLOR_WINDOW), FALSE);
    if (v->dataList)
        v->words = reinterpret_cast<VLWordList *>(SendMessageA(v->dataList, VLDLM_GETLIST, 0, 0));
    Prefstore_ApplyViewSettings(v->view, &options.View, skinned ? 0 : 1);
    if (skinned) {
        SendMessageA(v->view, SCV_SETCOLORS, 2, reinterpret_cast<LPARAM>(&v->skin.ButtonColour));
        v->minSize = v->skin.MinimumSize;
    }
    // The smallest size still shows the whole tool bar.
    RECT frame = {0, 0, kGripWidth + 10 * kButtonStep + kCorner, 2 * kBarHeight + 40};
    AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), FALSE, GetWindowLongA(window, GWL_EXSTYLE));
    if (v->minSize.cx < frame.right - frame.left) v->minSize.cx = frame.right - frame.left;
    if (v->minSize.cy < frame.bottom - frame.top) v->minSize.cy = frame.bottom - frame.top;
    if (side) v->minSize.cx = 120;
    v->statusColour = GetSysColor(COLOR_BTNTEXT);
    if (v->flags & BUBBLEPANE_VF_FIXED) ShowWindow(window, SW_SHOWNA);
    Viewer_Layout(v);
    v->created = true;
    return true;
}

void Destroy(Viewer *v)
{
    KillTimer(v->window, 100);
    SavePlacement(v);
    if (v->request) VLTranParam_Destroy(v->request);
    v->request = nullptr;
    if (v->dataList) DestroyWindow(v->dataList);
    HWND buttons[2 + kToolButtons + BUBBLEPANE_MAX_DICBUTTONS];
    int n = 0;
    buttons[n++] = v->pin;
    buttons[n++] = v->menuButton;
    for (HWND b : v->tools) buttons[n++] = b;
    for (HWND b : v->dicButton) buttons[n++] = b;
    for (int i = 0; i < n; i++)
        if (buttons[i]) {
            if (g_bubble.tooltips) Basekit_TooltipRemove(g_bubble.tooltips, buttons[i]);
            DestroyWindow(buttons[i]);
        }
    Prefstore_FreeSkin(&v->skin);
    if (IsWindow(v->manager)) SendMessageA(v->manager, VLM_POPUP_DROP_VIEWER, 0, reinterpret_cast<LPARAM>(v->window));
    SetWindowLongPtrA(v->window, 0, 0);
    delete v;
}

} // namespace

void Bubble_DrawGrip(const DRAWITEMSTRUCT *d)
{
    FillRect(d->hDC, &d->rcItem, g_bubble.gripBrush);
    if (!g_bubble.grip || !Basekit_DibHandleIsLoaded(g_bubble.grip)) return;
    int w = 0, h = 0;
    Basekit_DibGetSize(g_bubble.grip, &w, &h);
    int x = (d->rcItem.right - d->rcItem.left - w) / 2;
    for (int y = d->rcItem.top + 4; y + h <= d->rcItem.bottom - 4; y += h + 4)
        Basekit_DibDrawTransparent(g_bubble.grip, d->hDC, x, y);
}

namespace {

void DrawStatus(Viewer *v, const DRAWITEMSTRUCT *d)
{
    FillRect(d->hDC, &d->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    RECT r = d->rcItem;
    r.left += 4;
    HGDIOBJ old = SelectObject(d->hDC, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(d->hDC, TRANSPARENT);
    SetTextColor(d->hDC, v->statusColour);
    DrawTextA(d->hDC, v->statusText, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(d->hDC, old);
}

void DrawDicButton(const DRAWITEMSTRUCT *d)
{
    VLPriorityItem item;
    int index = static_cast<int>(d->CtlID) - BUBBLEPANE_IDC_DICBUTTON;
    if (!Lexshelf_PrioGetItem(reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP), index + 1, &item)) {
        FillRect(d->hDC, &d->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    DWORD language = item.itemKind == 1 ? item.data.dictionary.language : 0;
    int pressed = SendMessageA(d->hwndItem, BM_GETCHECK, 0, 0) != 0;
    Sharedkit_DrawDicButton(d, item.name ? item.name : "", language, pressed);
}

void PaintSkin(Viewer *v, HDC dc)
{
    if (!v->skin.WindowBitmap) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, v->skin.WindowBitmap);
    BitBlt(dc, 0, 0, v->skin.CurrentSize.cx, v->skin.CurrentSize.cy, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

} // namespace

void Viewer_Layout(Viewer *v)
{
    if (!(v->flags & BUBBLEPANE_VF_SKIN)) {
        DoLayout(v);
        return;
    }
    // The skinned frame is composed again at each size: done at raised priority so that the
    // shape and the children change together.
    HANDLE thread = GetCurrentThread(), process = GetCurrentProcess();
    int oldThread = GetThreadPriority(thread);
    DWORD oldClass = GetPriorityClass(process);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    SetPriorityClass(process, HIGH_PRIORITY_CLASS);
    RECT r;
    GetWindowRect(v->window, &r);
    SIZE size = {r.right - r.left, r.bottom - r.top};
    Prefstore_ApplySkin(v->window, &v->skin, &size);
    DoLayout(v);
    SetPriorityClass(process, oldClass);
    SetThreadPriority(thread, oldThread);
}

void Viewer_SetStatus(Viewer *v, const char *text, COLORREF colour)
{
    std::snprintf(v->statusText, sizeof v->statusText, "%s", text ? text : "");
    v->statusColour = colour;
    if (v->status) InvalidateRect(v->status, nullptr, TRUE);
}

int Viewer_PopupDictionaryCount()
{
    return Lexshelf_PrioEnum(reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP), 7, 0, nullptr, 0);
}

LRESULT CALLBACK Viewer_WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Viewer *v = ViewerOf(window);
    if (message == WM_CREATE) return Create(window, reinterpret_cast<CREATESTRUCTA *>(lParam)) ? 0 : -1;
    if (!v) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        Destroy(v);
        return 0;
    case WM_NCCALCSIZE:
        // A skinned viewer is all client area: the skin draws its own frame.
        if (v->flags & BUBBLEPANE_VF_SKIN) return 0;
        break;
    case WM_SIZE:
        Viewer_Layout(v);
        return 0;
    case WM_EXITSIZEMOVE: {
        RECT r;
        GetWindowRect(window, &r);
        v->lastSize.cx = r.right - r.left;
        v->lastSize.cy = r.bottom - r.top;
        return 0;
    }
    case WM_SIZING: {
        RECT *r = reinterpret_cast<RECT *>(lParam);
        if (r->right - r->left < v->minSize.cx) {
            if (wParam == WMSZ_LEFT || wParam == WMSZ_TOPLEFT || wParam == WMSZ_BOTTOMLEFT)
                r->left = r->right - v->minSize.cx;
            else
                r->right = r->left + v->minSize.cx;
        }
        if (r->bottom - r->top < v->minSize.cy) {
            if (wParam == WMSZ_TOP || wParam == WMSZ_TOPLEFT || wParam == WMSZ_TOPRIGHT)
                r->top = r->bottom - v->minSize.cy;
            else
                r->bottom = r->top + v->minSize.cy;
        }
        return TRUE;
    }
    case WM_GETMINMAXINFO: {
        MINMAXINFO *mm = reinterpret_cast<MINMAXINFO *>(lParam);
        mm->ptMinTrackSize.x = v->minSize.cx;
        mm->ptMinTrackSize.y = v->minSize.cy;
        return 0;
    }
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (v->flags & BUBBLEPANE_VF_SKIN) {
            PaintSkin(v, dc);
        } else {
            RECT r;
            GetClientRect(window, &r);
            FillRect(dc, &r, g_bubble.faceBrush);
        }
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (v->flags & BUBBLEPANE_VF_SKIN) PaintSkin(v, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *d = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (d->CtlID == BUBBLEPANE_IDC_GRIP) Bubble_DrawGrip(d);
        else if (d->CtlID == BUBBLEPANE_IDC_STATUS) DrawStatus(v, d);
        else if (d->CtlID >= BUBBLEPANE_IDC_DICBUTTON && d->CtlID < BUBBLEPANE_IDC_DICBUTTON + BUBBLEPANE_MAX_DICBUTTONS)
            DrawDicButton(d);
        else return FALSE;
        return TRUE;
    }
    case WM_NCHITTEST: {
        POINT p = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        RECT r;
        GetWindowRect(window, &r);
        int cx = kCorner, cy = kCorner;
        if (v->flags & BUBBLEPANE_VF_SKIN) {
            cx = v->skin.GripSize.cx;
            cy = v->skin.GripSize.cy;
        }
        if (!(v->flags & BUBBLEPANE_VF_FIXEDSIZE) && p.x >= r.right - cx && p.y >= r.bottom - cy && p.x < r.right &&
            p.y < r.bottom)
            return HTBOTTOMRIGHT;
        break;
    }
    case WM_CONTEXTMENU:
        Sharedkit_SendToMain(BUBBLEPANE_VLM_SHOW_MAIN_MENU, 0, 0);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        Bubble_Drag(window, message, lParam, &v->drag);
        return 0;
    case WM_COMMAND:
        Viewer_OnCommand(v, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return Viewer_OnNotify(v, reinterpret_cast<NMHDR *>(lParam));
    case WM_TIMER:
        if (wParam == 100) Viewer_OnTimer(v);
        return 0;
    case WM_ENTERMENULOOP:
        v->inMenu = true;
        GetCursorPos(&v->menuCursor);
        return 0;
    case WM_EXITMENULOOP: {
        v->inMenu = false;
        // After a menu the viewer is kept: the cursor goes back onto it when the menu was opened
        // from the list button or the cursor has left the viewer meanwhile.
        POINT c;
        RECT r;
        GetCursorPos(&c);
        GetWindowRect(window, &r);
        HWND list = GetDlgItem(window, BUBBLEPANE_CMD_CANDIDATES);
        RECT lr = {};
        if (list) GetWindowRect(list, &lr);
        if (!PtInRect(&r, c) || (list && PtInRect(&lr, v->menuCursor))) Viewer_KeepCursorOnPin(v);
        return 0;
    }
    case WM_CLOSE:
    case VLM_POPUP_HIDE_VIEWER:
        Viewer_Hide(v);
        return 0;
    case VLM_POPUP_SHOW_ITEM:
        return Viewer_ShowItem(v, wParam, reinterpret_cast<VLTranParam *>(lParam));
    case VLM_POPUP_FIND_VIEWER: {
        if (!v->words || !lParam) return 0;
        VLWordList_DeleteAllItems(v->words);
        VLWordList_Add(v->words, reinterpret_cast<const VLDataItem *>(lParam));
        SendMessageA(v->dataList, VLDLM_REFRESH, 0, 0);
        Viewer_ShowEntry(v, 0);
        return 1;
    }
    case VLDLN_CHOOSE:
        Viewer_ShowEntry(v, LOWORD(wParam));
        return 0;
    case BUBBLEPANE_VLM_OPTIONS_CHANGED: {
        CaptureOptions capture = {};
        Prefstore_LoadCapture(&capture);
        v->popupPos = capture.PopupPos;
        DestroyWindow(window);
        return 1;
    }
    case BUBBLEPANE_VLM_REFRESH_DICTIONARIES:
        if (IsWindowVisible(window)) {
            Viewer_Layout(v);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Bubble_Drag(HWND window, UINT message, LPARAM lParam, BubbleDrag *drag)
{
    switch (message) {
    case WM_LBUTTONDOWN: {
        POINT p = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        ClientToScreen(window, &p);
        RECT r;
        GetWindowRect(window, &r);
        drag->origin.x = p.x - r.left;
        drag->origin.y = p.y - r.top;
        drag->active = true;
        SetCapture(window);
        break;
    }
    case WM_MOUSEMOVE:
        if (drag->active && GetCapture() == window) {
            POINT p;
            GetCursorPos(&p);
            SetWindowPos(window, nullptr, p.x - drag->origin.x, p.y - drag->origin.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (drag->active) {
            drag->active = false;
            if (message == WM_LBUTTONUP) ReleaseCapture();
        }
        break;
    }
}
