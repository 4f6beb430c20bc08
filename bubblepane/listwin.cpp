// The candidate list: one window per process that lists the candidates of keyboard, typing and
// trigger-key lookups (and of every lookup in list mode), shows the selected candidate's entry in
// a side viewer and types a chosen candidate into the source window in place of the word.
#include "bubblepane_int.h"

#include <string>

#include "lexshelf.h"
#include "widgetry.h"

namespace {

const UINT_PTR kHideTimer = 100;
const int kGripWidth = 13;

struct ListWindow {
    HWND window;
    HWND manager;
    HWND grip;
    HWND dataList;
    VLWordList *words;           // the data list's own
    VLTranParam *request;        // owned
    bool busy;
    bool pointerMode;
    HWND side;                   // side viewer or null
    POINT last;
    BubbleDrag drag;
};

ListWindow *ListOf(HWND w) { return reinterpret_cast<ListWindow *>(GetWindowLongPtrA(w, 0)); }

int Count(const ListWindow *l) { return l->words ? l->words->count : 0; }

void DestroySide(ListWindow *l)
{
    if (l->side && IsWindow(l->side)) DestroyWindow(l->side);
    l->side = nullptr;
}

void Hide(ListWindow *l)
{
    KillTimer(l->window, kHideTimer);
    ShowWindow(l->window, SW_HIDE);
    DestroySide(l);
}

void Fit(ListWindow *l, int width, int height)
{
    int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
    SetWindowPos(l->window, nullptr, 0, 0, width + 2 * frameX + kGripWidth, height + 2 * frameY,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(l->dataList, kGripWidth, 0, width, height, TRUE);
    MoveWindow(l->grip, 0, 0, kGripWidth - 2, height, TRUE);
}

void ShowList(ListWindow *l)
{
    if (Count(l) == 0) {
        KillTimer(l->window, kHideTimer);
        Hide(l);
        return;
    }
    SendMessageA(l->dataList, VLDLM_SHOW, 0, 0);
    RECT r;
    GetWindowRect(l->dataList, &r);
    // Every row up to ten is shown whole: the list's height is taken from its last shown row.
    RECT row, last = {};
    int rows = 0;
    while (rows < 10 && SendMessageA(l->dataList, VLDLM_GETROWRECT, rows, reinterpret_cast<LPARAM>(&row))) {
        last = row;
        rows++;
    }
    int width = r.right - r.left, height = r.bottom - r.top;
    if (rows > 0) {
        RECT client;
        GetClientRect(l->dataList, &client);
        int frameY = (r.bottom - r.top) - client.bottom;
        if (last.bottom + frameY + 2 > height) height = last.bottom + frameY + 2;
    }
    SetWindowPos(l->dataList, nullptr, kGripWidth, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Fit(l, width, height);
    BubblePoint p = Bubble_UnpackPoint(l->request->pointTop, l->request->pointBottom);
    POINT at = Bubble_PlaceList(p, l->pointerMode);
    // Kept on the screen: beside the right and bottom edges it moves in, and above the line when
    // there is no room below it.
    GetWindowRect(l->window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (g_bubble.monitorFromWindow && g_bubble.getMonitorInfo && l->request->sourceWindow) {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        HMONITOR m = g_bubble.monitorFromWindow(l->request->sourceWindow, MONITOR_DEFAULTTOPRIMARY);
        if (m && g_bubble.getMonitorInfo(m, &info)) area = info.rcWork;
    }
    if (at.x + w > area.right) at.x = area.right - w;
    if (at.x < area.left) at.x = area.left;
    if (at.y + h > area.bottom) at.y = p.lineTop - h;
    if (at.y < area.top) at.y = area.top;
    if (l->pointerMode) {
        l->last.x = p.x;
        l->last.y = p.y;
        SetTimer(l->window, kHideTimer, 1000, nullptr);
    }
    SetWindowPos(l->window, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ShowSide(ListWindow *l, int item)
{
    const VLDataItem *candidate = VLWordList_GetItem(l->words, item);
    if (!candidate) return;
    RECT row = {}, list;
    SendMessageA(l->dataList, VLDLM_GETROWRECT, item, reinterpret_cast<LPARAM>(&row));
    MapWindowPoints(l->dataList, nullptr, reinterpret_cast<POINT *>(&row), 2);
    GetWindowRect(l->window, &list);
    int x = list.right, y = row.top;
    if (l->side && IsWindow(l->side)) {
        SendMessageA(l->side, VLM_POPUP_FIND_VIEWER, 0, reinterpret_cast<LPARAM>(candidate));
        SetWindowPos(l->side, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        l->side = reinterpret_cast<HWND>(SendMessageA(l->manager, VLM_POPUP_MOVE_VIEWER,
                                                      MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)),
                                                      reinterpret_cast<LPARAM>(candidate)));
    }
}

bool Ignored(const ListWindow *l) { return l->busy || Count(l) == 0 || !IsWindowVisible(l->window); }

void Lookup(ListWindow *l, VLTranParam *request)
{
    if (l->request && l->request != request) VLTranParam_Destroy(l->request);
    l->request = request;
    if (!request || !l->words) return;
    l->busy = true;
    int found = Lexshelf_SearchPopup(request, l->words);
    l->busy = false;
    DWORD kind = request->requestKind;
    l->pointerMode = !(kind == 4 || kind == 5 || kind == 6);
    SendMessageA(l->dataList, VLDLM_SETCLICKNOCHOOSE, (kind == 1 || kind == 2 || kind == 3 || kind == 6) ? 1 : 0, 0);
    SendMessageA(l->dataList, VLDLM_REFRESH, 0, 0);
    if (found) ShowList(l);
    if ((l->pointerMode || kind == 6) && Count(l) > 0 && IsWindowVisible(l->window)) {
        ShowSide(l, 0);
        SendMessageA(l->dataList, VLDLM_SELECTROW, 0, 0);
    }
}

bool CursorIn(HWND w)
{
    if (!w || !IsWindow(w) || !IsWindowVisible(w)) return false;
    POINT c;
    RECT r;
    GetCursorPos(&c);
    GetWindowRect(w, &r);
    return PtInRect(&r, c) != FALSE;
}

void Choose(ListWindow *l, int item)
{
    const VLDataItem *candidate = VLWordList_GetItem(l->words, item);
    if (!candidate || !candidate->headword || !l->request) return;
    std::string text(candidate->headword, candidate->headwordLen > 0 ? static_cast<size_t>(candidate->headwordLen) : 0);
    VLTranParam *request = VLTranParam_Dup(l->request);
    Hide(l);
    if (request) {
        Replace_Word(request, text.c_str(), candidate->language);
        VLTranParam_Destroy(request);
    }
}

LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    ListWindow *l = ListOf(window);
    if (message == WM_CREATE) {
        l = new ListWindow();
        l->window = window;
        l->manager = reinterpret_cast<CREATESTRUCTA *>(lParam)->hwndParent;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(l));
        l->grip = Bubble_MakeGrip(window);
        l->dataList = Widgetry_CreateDataListEx(0, 0x50000C73, kGripWidth, 0, 200, 100, 10, BUBBLEPANE_IDC_LIST,
                                                window, 100, GetSysColor(COLOR_MENU), TRUE);
        if (!l->dataList) return -1;
        MoveWindow(l->dataList, kGripWidth, 0, 200, 100, FALSE);
        l->words = reinterpret_cast<VLWordList *>(SendMessageA(l->dataList, VLDLM_GETLIST, 0, 0));
        return 0;
    }
    if (!l) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        KillTimer(window, kHideTimer);
        DestroySide(l);
        if (l->request) VLTranParam_Destroy(l->request);
        SetWindowLongPtrA(window, 0, 0);
        delete l;
        return 0;
    case VLM_POPUP_SHOW_ITEM:
        Lookup(l, reinterpret_cast<VLTranParam *>(lParam));
        return 1;
    case VLM_POPUP_HIDE: {
        HWND active = GetActiveWindow();
        if (wParam == 1 || (active != window && (!l->side || active != l->side))) Hide(l);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kHideTimer) {
            POINT c;
            GetCursorPos(&c);
            if (!Bubble_CursorOnWord(c, l->last.x, l->last.y) && !CursorIn(window) && !CursorIn(l->side)) Hide(l);
        }
        return 0;
    case VLDLN_CHOOSE:
        if (Ignored(l)) return 0;
        if (l->pointerMode || (l->request && l->request->requestKind == 6)) ShowSide(l, LOWORD(wParam));
        // A row clicked in the list of a typed word is chosen as Right chooses it: the focus stays
        // in the source window, so a click is the mouse's only way to choose.
        else if (HIWORD(wParam) == 1) Choose(l, LOWORD(wParam));
        return 0;
    case VLDLN_RIGHT:
        if (!Ignored(l)) Choose(l, static_cast<int>(wParam));
        return 0;
    case VLDLN_SIZE:
        Fit(l, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case VLDLN_LEFT:
        DestroySide(l);
        return 0;
    case WM_SETFOCUS:
        SetFocus(l->dataList);
        if (SendMessageA(l->dataList, VLDLM_NEXTSELECTED, 0, 0) < 0) SendMessageA(l->dataList, VLDLM_SELECTROW, 0, 0);
        return 0;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *d = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (d->CtlID != BUBBLEPANE_IDC_GRIP) return FALSE;
        Bubble_DrawGrip(d);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        Bubble_Drag(window, message, lParam, &l->drag);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK List_WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ListProc(window, message, wParam, lParam);
}

HWND List_Create(HWND manager)
{
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME, BUBBLEPANE_LIST_CLASS, "",
                           WS_POPUP | WS_CLIPCHILDREN, 0, 0, 220, 100, manager, nullptr, g_bubble.instance, nullptr);
}
