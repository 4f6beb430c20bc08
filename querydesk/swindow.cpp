// The search window: its class, its children (cool bar with the tool bar and the dictionary bar,
// tab control over the four panes, status bar), layout, the saved state and the current choice.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include <initializer_list>

#include "lexicore.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "vocabank.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const UINT kFirstBarItem = 3001;   // the dictionary bar's first item, as an accelerator command
const int kDefaultWidth = 560, kDefaultHeight = 300;
const char kKeydrill[] = "KEYDRILL.EXE";
const UINT_PTR kRebarSubclass = 1;

// The tool bar, in order: command (0 a separator), image, starts disabled, drop-down.
struct ToolButton {
    UINT command;
    int image;
    bool disabled;
    bool dropDown;
};
const ToolButton kTools[] = {
    {UIA_CMD_BACK, 5, true, true},       {UIA_CMD_FORWARD, 6, true, true},   {0, 0, false, false},
    {UIA_CMD_EARLIER, 3, false, false},  {UIA_CMD_LATER, 4, false, false},   {0, 0, false, false},
    {UIA_CMD_CUT, 24, false, false},     {UIA_CMD_COPY, 25, false, false},   {UIA_CMD_PASTE, 26, false, false},
    {0, 0, false, false},                {UIA_CMD_NEW_WORD, 9, false, false}, {UIA_CMD_EDIT_WORD, 51, true, false},
    {0, 0, false, false},                {UIA_CMD_PRONOUNCE, 2, true, false}, {UIA_CMD_LANGUAGE_MANAGER, 23, true, false},
    {0, 0, false, false},                {UIA_CMD_ADD_TO_LIST, 20, false, false}, {UIA_CMD_OPTIONS, 10, false, false},
    {0, 0, false, false},                {UIA_CMD_TYPING_DRILL, 69, true, false},
};
const int kToolsWithoutDrill = 18;

bool KeydrillBeside()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return false;
    Basekit_PathReplaceFileName(path, kKeydrill);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

HWND MakeToolbar(SearchWindow *sw)
{
    Station *st = Station_Get();
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                  CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                              0, 0, 0, 0, sw->rebar, (HMENU)QUERYDESK_ID_TOOLBAR, st->instance, nullptr);
    if (!tb) return nullptr;
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 16));
    TBADDBITMAP bitmap = {st->assets, UIA_IDB_TOOLBAR};
    SendMessageA(tb, TB_ADDBITMAP, 75, (LPARAM)&bitmap);
    sw->toolButtons = KeydrillBeside() ? (int)(sizeof kTools / sizeof kTools[0]) : kToolsWithoutDrill;
    TBBUTTON buttons[sizeof kTools / sizeof kTools[0]] = {};
    for (int i = 0; i < sw->toolButtons; i++) {
        const ToolButton &t = kTools[i];
        buttons[i].iBitmap = t.command ? t.image : 0;
        buttons[i].idCommand = (int)t.command;
        buttons[i].fsState = (BYTE)(t.disabled ? 0 : TBSTATE_ENABLED);
        buttons[i].fsStyle = (BYTE)(!t.command ? TBSTYLE_SEP : t.dropDown ? TBSTYLE_DROPDOWN : TBSTYLE_BUTTON);
    }
    SendMessageA(tb, TB_ADDBUTTONSA, sw->toolButtons, (LPARAM)buttons);
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    return tb;
}

// The cool bar keeps its place: moves are taken out, size changes repaint it.
LRESULT CALLBACK RebarProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_WINDOWPOSCHANGING) {
        WINDOWPOS *pos = (WINDOWPOS *)lParam;
        pos->flags |= SWP_NOMOVE;
        if (!(pos->flags & SWP_NOSIZE)) InvalidateRect(w, nullptr, TRUE);
    }
    return DefSubclassProc(w, message, wParam, lParam);
}

SIZE ChildSize(HWND child)
{
    SIZE size = {};
    if (GetDlgCtrlID(child) == QUERYDESK_ID_TOOLBAR) {
        SendMessageA(child, TB_GETMAXSIZE, 0, (LPARAM)&size);
    } else {
        RECT rc;
        GetWindowRect(child, &rc);
        size.cx = rc.right - rc.left;
        size.cy = rc.bottom - rc.top;
    }
    return size;
}

void InsertBand(HWND rebar, HWND child, int width)
{
    SIZE size = ChildSize(child);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_COLORS | RBBIM_ID | RBBIM_SIZE;
    band.fStyle = RBBS_BREAK | RBBS_CHILDEDGE | RBBS_FIXEDBMP;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.hwndChild = child;
    band.cxMinChild = (UINT)size.cx;
    band.cyMinChild = (UINT)size.cy;
    band.cx = width > 0 ? (UINT)width : (UINT)size.cx + 12;
    band.wID = (UINT)GetDlgCtrlID(child);
    SendMessageA(rebar, RB_INSERTBANDA, (WPARAM)-1, (LPARAM)&band);
}

int BandWidth(HWND rebar, UINT id, int *index)
{
    *index = (int)SendMessageA(rebar, RB_IDTOINDEX, id, 0);
    REBARBANDINFOA band = {};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_SIZE;
    if (*index < 0 || !SendMessageA(rebar, RB_GETBANDINFOA, *index, (LPARAM)&band)) return 0;
    return (int)band.cx;
}

void MakeChildren(SearchWindow *sw)
{
    Station *st = Station_Get();
    HWND w = sw->owner;
    sw->rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                    RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                                0, 0, 0, 0, w, (HMENU)QUERYDESK_ID_REBAR, st->instance, nullptr);
    SetWindowSubclass(sw->rebar, RebarProc, kRebarSubclass, 0);
    sw->toolbar = MakeToolbar(sw);
    sw->dicBar = Widgetry_CreateDicBar((VLPriorityList *)(UINT_PTR)LEXSHELF_LIST_SEARCH, 0x56001000, 0, 0, 200, 22,
                                       sw->rebar, w, st->tips, QUERYDESK_ID_DICBAR);
    sw->status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, w,
                                 (HMENU)QUERYDESK_ID_STATUS, st->instance, nullptr);
    int parts[3] = {200, 310, -1};
    SendMessageA(sw->status, SB_SETPARTS, 3, (LPARAM)parts);
    // Panes first, so that they lie above the tab control.
    for (int tab : {QUERYDESK_TAB_CONTENTS, QUERYDESK_TAB_HEADWORD, QUERYDESK_TAB_KEYWORD, QUERYDESK_TAB_CONDITION})
        sw->panes[tab] = Pane_Create(sw, tab);
    sw->tab = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0,
                              0, w, (HMENU)QUERYDESK_ID_TAB, st->instance, nullptr);
    SendMessageA(sw->tab, WM_SETFONT, (WPARAM)st->guiFont, FALSE);
    for (int i = 0; i < 4; i++) {
        char text[64] = "";
        LoadStringA(st->assets, UIA_IDS_TAB_FIRST + i, text, sizeof text);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageA(sw->tab, TCM_INSERTITEMA, i, (LPARAM)&item);
    }
}

// ---- Saved state ---------------------------------------------------------------------------------

void Restore(SearchWindow *sw, int *showCommand)
{
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    const int ratios[4] = {layout.Ratio1, layout.Ratio2, layout.Ratio3, layout.Ratio4};
    for (int tab = 0; tab < 4; tab++)
        if (ratios[tab] && sw->panes[tab]) SendMessageA(sw->panes[tab], PANE_SET_SPLITTER, ratios[tab], 0);
    // The stored size is the window's outer size: applied as it is, so it never grows.
    if (layout.cx > 0 && layout.cy > 0)
        SetWindowPos(sw->owner, nullptr, layout.x, layout.y, layout.cx, layout.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    *showCommand = layout.WindowMaximised == 1 ? SW_SHOWMAXIMIZED : SW_SHOW;
    sw->searchOption = (DWORD)layout.SearchOption;
    sw->searchType = layout.SearchType;
    sw->incremental = layout.Incremental;
    if (HWND keyword = sw->panes[QUERYDESK_TAB_KEYWORD])
        SendMessageA(keyword, PANE_SET_SEARCH, (WPARAM)layout.SearchType, layout.Incremental);
    int page = layout.LastPage;
    SearchWindow_ShowTab(sw, page >= 0 && page < 4 ? page : QUERYDESK_TAB_KEYWORD);
    SendMessageA(sw->owner, WM_COMMAND, MAKEWPARAM(kFirstBarItem, 1), 0);
    if (options.DictionaryID) {
        SendMessageA(sw->dicBar, WIDGETRY_DBM_SETCURRENT, (WPARAM)(DWORD)options.DictionaryID, 0);
        SearchWindow_SetCurrent(sw, (DWORD)options.DictionaryID, false);
    }
    // Bands in the saved order (equal places: the tool bar first), with their saved widths.
    bool toolFirst = layout.ToolBarIndex <= layout.DicBarIndex;
    InsertBand(sw->rebar, toolFirst ? sw->toolbar : sw->dicBar, toolFirst ? layout.ToolBarWidth : layout.DicBarWidth);
    InsertBand(sw->rebar, toolFirst ? sw->dicBar : sw->toolbar, toolFirst ? layout.DicBarWidth : layout.ToolBarWidth);
    RECT client;
    GetClientRect(sw->owner, &client);
    int height = (int)SendMessageA(sw->rebar, RB_GETBARHEIGHT, 0, 0);
    if (layout.RebarCx > 0 && layout.RebarCy > 0)
        SetWindowPos(sw->rebar, nullptr, 0, 0, layout.RebarCx, layout.RebarCy, SWP_NOZORDER | SWP_NOMOVE);
    else
        SetWindowPos(sw->rebar, nullptr, 0, 0, client.right, height, SWP_NOZORDER | SWP_NOMOVE);
    Prefstore_FreeWebList(&options);
}

void Save(SearchWindow *sw)
{
    if (sw->saved) return;
    sw->saved = true;
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    int *ratios[4] = {&layout.Ratio1, &layout.Ratio2, &layout.Ratio3, &layout.Ratio4};
    for (int tab = 0; tab < 4; tab++)
        if (sw->panes[tab]) *ratios[tab] = (int)SendMessageA(sw->panes[tab], PANE_GET_SPLITTER, 0, 0);
    layout.LastPage = sw->currentTab;
    layout.SearchOption = (int)sw->searchOption;
    layout.SearchType = sw->searchType;
    layout.Incremental = sw->incremental;
    options.DictionaryID = (int)SendMessageA(sw->dicBar, WIDGETRY_DBM_GETCURRENT, 0, 0);
    layout.ToolBarWidth = BandWidth(sw->rebar, QUERYDESK_ID_TOOLBAR, &layout.ToolBarIndex);
    layout.DicBarWidth = BandWidth(sw->rebar, QUERYDESK_ID_DICBAR, &layout.DicBarIndex);
    POINT position;
    SIZE size;
    int maximised = 0;
    if (Prefstore_GetWindowPlacement(sw->owner, &position, &size, &maximised)) {
        layout.x = position.x;
        layout.y = position.y;
        layout.cx = size.cx;
        layout.cy = size.cy;
        layout.WindowMaximised = maximised ? 1 : 0;
    }
    RECT rebar;
    GetWindowRect(sw->rebar, &rebar);
    layout.RebarCx = rebar.right - rebar.left;
    layout.RebarCy = rebar.bottom - rebar.top;
    Prefstore_SaveSearchWindow(&options, &layout);
    Prefstore_FreeWebList(&options);
}

// ---- Window procedure ------------------------------------------------------------------------------

bool OnCreate(SearchWindow *sw)
{
    MakeChildren(sw);
    if (!sw->rebar || !sw->toolbar || !sw->dicBar || !sw->status || !sw->tab) return false;
    return true;
}

void OnDestroy(SearchWindow *sw)
{
    Save(sw);
    Station *st = Station_Get();
    for (HWND &pane : sw->panes) {
        if (pane) DestroyWindow(pane);
        pane = nullptr;
    }
    if (sw->sendText && IsWindow(sw->sendText)) DestroyWindow(sw->sendText);
    if (sw->slot >= 0 && sw->slot < QUERYDESK_MAX_WINDOWS && st->slots[sw->slot] == sw->owner)
        st->slots[sw->slot] = nullptr;
    if (st->main) SendMessageA(st->main, QUERYDESK_SEARCH_WINDOW_CLOSED, 0, 0);
}

void OnActivate(SearchWindow *sw, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(sw->dicBar, WM_ACTIVATE, wParam, lParam);
    if (LOWORD(wParam) == WA_INACTIVE) return;
    Station *st = Station_Get();
    if (st->orderDialog && IsWindowVisible(st->orderDialog))
        SetWindowPos(st->orderDialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND pane = SearchWindow_ActivePane(sw);
    if (!pane) return;
    HWND focus = GetDlgItem(pane, sw->currentTab == QUERYDESK_TAB_CONTENTS ? UIA_IDC_PANE_TREE : UIA_IDC_PANE_EDIT);
    if (focus) SetFocus(focus);
}

void OnMinMaxInfo(SearchWindow *sw, MINMAXINFO *info)
{
    HMENU menu = GetMenu(sw->owner);
    int count = menu ? GetMenuItemCount(menu) : 0;
    RECT item, window;
    if (count > 0 && GetMenuItemRect(sw->owner, menu, count - 1, &item) && GetWindowRect(sw->owner, &window))
        info->ptMinTrackSize.x = item.right - window.left + GetSystemMetrics(SM_CXSIZEFRAME) + 24;
    info->ptMinTrackSize.y = 150;
}

LRESULT CALLBACK SearchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SearchWindow *sw = SearchWindow_Of(window);
    if (message == WM_NCCREATE) {
        sw = new SearchWindow;
        sw->owner = window;
        sw->slot = (int)(INT_PTR)((CREATESTRUCTA *)lParam)->lpCreateParams;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)sw);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!sw) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        return OnCreate(sw) ? 0 : -1;
    case WM_DESTROY:
        OnDestroy(sw);
        return 0;
    case WM_NCDESTROY: {
        HMENU menu = GetMenu(window);
        SetMenu(window, nullptr);
        if (menu) DestroyMenu(menu);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete sw;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) SearchWindow_Layout(sw);
        return 0;
    case WM_ACTIVATE:
        OnActivate(sw, wParam, lParam);
        return 0;
    case WM_QUERYENDSESSION:
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 1;
    case WM_GETMINMAXINFO:
        OnMinMaxInfo(sw, (MINMAXINFO *)lParam);
        return 0;
    case WM_NOTIFY:
        return SearchWindow_OnNotify(sw, (NMHDR *)lParam);
    case WM_COMMAND:
        SearchWindow_OnCommand(sw, LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam)) SearchWindow_OnInitMenuPopup(sw, (HMENU)wParam, LOWORD(lParam));
        return 0;
    case QUERYDESK_SET_CURRENT:
        SearchWindow_SetCurrent(sw, (DWORD)wParam, false);
        return 1;
    case VLM_OPTIONS_CHANGED:
        SearchWindow_OnOptionsChanged(sw);
        return 1;
    case VLM_DELIVER_ITEM:
        SearchWindow_OnDeliverItem(sw, wParam, lParam);
        return 1;
    case VLM_REFRESH_DICTIONARIES:
        SendMessageA(sw->dicBar, WIDGETRY_DBM_REFRESH, wParam, lParam);
        SearchWindow_UpdateStatus(sw, -1);
        return 1;
    case VLM_USER_ENTRY_CHANGED:
        if ((DWORD)wParam == sw->currentId && sw->panes[QUERYDESK_TAB_HEADWORD])
            SendMessageA(sw->panes[QUERYDESK_TAB_HEADWORD], QUERYDESK_SET_CURRENT, wParam, 0);
        return 1;
    case VLM_SHOW_ENTRY:
        SearchWindow_OnShowEntry(sw, (DWORD)wParam, (LONG)lParam);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

SearchWindow *SearchWindow_Of(HWND window) { return (SearchWindow *)GetWindowLongPtrA(window, GWLP_USERDATA); }

bool SearchWindow_RegisterClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = SearchWindowProc;
    wc.hInstance = instance;
    HICON large = nullptr, small = nullptr;
    Uiassets_GetIcons(UIA_IDI_SEARCH, &large, &small);
    wc.hIcon = large;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = QUERYDESK_WINDOW_CLASS;
    return RegisterClassA(&wc) != 0;
}

void SearchWindow_UnregisterClass(HINSTANCE instance) { UnregisterClassA(QUERYDESK_WINDOW_CLASS, instance); }

HWND SearchWindow_Create(int slot)
{
    Station *st = Station_Get();
    char title[128] = "";
    LoadStringA(st->assets, UIA_IDS_CAPTION_MAIN, title, sizeof title);
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - kDefaultWidth) / 2;
    int y = (GetSystemMetrics(SM_CYFULLSCREEN) - kDefaultHeight) / 2;
    HMENU menu = Uiassets_LoadMenu(UIA_IDM_SEARCH_WINDOW);
    HWND w = CreateWindowExA(0, QUERYDESK_WINDOW_CLASS, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             x < 0 ? 0 : x, y < 0 ? 0 : y, kDefaultWidth, kDefaultHeight, nullptr, menu,
                             st->instance, (LPVOID)(INT_PTR)slot);
    if (!w) {
        if (menu) DestroyMenu(menu);
        return nullptr;
    }
    SearchWindow *sw = SearchWindow_Of(w);
    int show = SW_SHOW;
    Restore(sw, &show);
    SearchWindow_Layout(sw);
    SendMessageA(w, VLM_OPTIONS_CHANGED, 0, 0);
    SearchWindow_UpdateTools(sw);
    SearchWindow_UpdateStatus(sw, -1);
    ShowWindow(w, show);
    UpdateWindow(w);
    return w;
}

bool SearchWindow_PreTranslate(HWND window, MSG *msg)
{
    SearchWindow *sw = SearchWindow_Of(window);
    if (!sw) return false;
    Station *st = Station_Get();
    if (st->accelerators && TranslateAcceleratorA(window, st->accelerators, msg)) return true;
    for (int tab : {QUERYDESK_TAB_CONDITION, QUERYDESK_TAB_KEYWORD, QUERYDESK_TAB_HEADWORD, QUERYDESK_TAB_CONTENTS})
        if (sw->panes[tab] && IsWindowVisible(sw->panes[tab]) && IsDialogMessageA(sw->panes[tab], msg)) return true;
    return sw->sendText && IsWindow(sw->sendText) && IsDialogMessageA(sw->sendText, msg);
}

void SearchWindow_Layout(SearchWindow *sw)
{
    RECT client;
    GetClientRect(sw->owner, &client);
    int barHeight = (int)SendMessageA(sw->rebar, RB_GETBARHEIGHT, 0, 0);
    RECT rebar;
    GetWindowRect(sw->rebar, &rebar);
    if (rebar.right - rebar.left != client.right || rebar.bottom - rebar.top != barHeight)
        SetWindowPos(sw->rebar, nullptr, 0, 0, client.right, barHeight, SWP_NOZORDER | SWP_NOMOVE);
    SendMessageA(sw->status, WM_SIZE, 0, 0);
    RECT status;
    GetWindowRect(sw->status, &status);
    int top = barHeight + 2, bottom = client.bottom - (status.bottom - status.top) - 2;
    if (bottom < top) bottom = top;
    SetWindowPos(sw->tab, nullptr, 2, top, client.right - 4, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT area = {2, top, client.right - 2, bottom};
    SendMessageA(sw->tab, TCM_ADJUSTRECT, FALSE, (LPARAM)&area);
    InflateRect(&area, -2, -2);
    for (HWND pane : sw->panes)
        if (pane)
            SetWindowPos(pane, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                         SWP_NOACTIVATE);
}

HWND SearchWindow_ActivePane(const SearchWindow *sw)
{
    return sw->currentTab >= 0 && sw->currentTab < 4 ? sw->panes[sw->currentTab] : nullptr;
}

HWND SearchWindow_PaneList(const SearchWindow *sw, int tab)
{
    return tab >= 0 && tab < 4 && sw->panes[tab] ? GetDlgItem(sw->panes[tab], QUERYDESK_ID_LIST) : nullptr;
}

HWND SearchWindow_PaneViewer(const SearchWindow *sw, int tab)
{
    return tab >= 0 && tab < 4 && sw->panes[tab] ? GetDlgItem(sw->panes[tab], QUERYDESK_ID_VIEWER) : nullptr;
}

void SearchWindow_ShowTab(SearchWindow *sw, int tab)
{
    if (tab < 0 || tab > 3) return;
    sw->currentTab = tab;
    SendMessageA(sw->tab, TCM_SETCURSEL, tab, 0);
    for (int i = 0; i < 4; i++)
        if (sw->panes[i]) ShowWindow(sw->panes[i], i == tab ? SW_SHOW : SW_HIDE);
    if (sw->panes[tab] && IsWindowVisible(sw->owner)) SetFocus(sw->panes[tab]);
    SearchWindow_UpdateTools(sw);
}

void SearchWindow_SetCurrent(SearchWindow *sw, DWORD id, bool fromChoice)
{
    sw->currentId = id;
    if (fromChoice && sw->currentTab == QUERYDESK_TAB_KEYWORD && sw->panes[QUERYDESK_TAB_KEYWORD])
        SendMessageA(sw->panes[QUERYDESK_TAB_KEYWORD], WM_COMMAND, MAKEWPARAM(UIA_IDC_PANE_SEARCH, BN_CLICKED), 0);
    for (int tab : {QUERYDESK_TAB_CONTENTS, QUERYDESK_TAB_HEADWORD, QUERYDESK_TAB_CONDITION})
        if (sw->panes[tab]) SendMessageA(sw->panes[tab], QUERYDESK_SET_CURRENT, id, 0);
    SearchWindow_UpdateStatus(sw, -1);
    SearchWindow_UpdateTools(sw);
}

void SearchWindow_UpdateStatus(SearchWindow *sw, int count)
{
    Station *st = Station_Get();
    char text[300] = "", format[64] = "";
    if (count >= 0) {
        LoadStringA(st->assets, UIA_IDS_RESULT_COUNT, format, sizeof format);
        snprintf(text, sizeof text, format[0] ? format : "%d", count);
        SendMessageA(sw->status, SB_SETTEXTA, 0, (LPARAM)text);
    }
    int kind = sw->searchType;
    UINT kindName = kind >= 1 && kind <= 4 ? UIA_IDS_SEARCHMODE_FIRST + kind - 1 : UIA_IDS_SEARCHMODE_SIMILAR;
    text[0] = 0;
    LoadStringA(st->assets, kindName, text, sizeof text);
    SendMessageA(sw->status, SB_SETTEXTA, 1, (LPARAM)text);
    // The name as the search list has it (where the window's choices come from), else as the
    // pop-up list has it, else the catalogue's.
    text[0] = 0;
    for (UINT_PTR kind : {LEXSHELF_LIST_SEARCH, LEXSHELF_LIST_POPUP}) {
        VLPriorityList *list = (VLPriorityList *)kind;
        int index = sw->currentId ? Lexshelf_PrioFind(list, sw->currentId) : 0;
        VLPriorityItem item;
        if (index > 0 && Lexshelf_PrioGetItem(list, index, &item) && item.name) {
            lstrcpynA(text, item.name, sizeof text);
            break;
        }
    }
    if (!text[0] && sw->currentId >= LEXSHELF_FIRST_DIC_ID) {
        DicProperty property = {};
        property.size = sizeof property;
        if (Lexicore_GetDicProperty(sw->currentId, &property)) lstrcpynA(text, property.name, sizeof text);
    }
    SendMessageA(sw->status, SB_SETTEXTA, 2, (LPARAM)text);
}

void SearchWindow_UpdateTools(SearchWindow *sw)
{
    HMENU menu = GetMenu(sw->owner);
    HWND list = SearchWindow_PaneList(sw, sw->currentTab);
    Vocabank_UpdateCommands(menu ? GetSubMenu(menu, UIA_SEARCH_MENU_WORD) : nullptr, sw->toolbar, sw->currentId, list,
                            nullptr);
    int mode = sw->currentTab == QUERYDESK_TAB_KEYWORD ? 1 : sw->currentTab == QUERYDESK_TAB_CONDITION ? 2 : 0;
    if (menu) Sharedkit_UpdateDicMenu(GetSubMenu(menu, UIA_SEARCH_MENU_DICTIONARY), mode);
    HWND keyword = sw->panes[QUERYDESK_TAB_KEYWORD];
    bool onKeyword = sw->currentTab == QUERYDESK_TAB_KEYWORD && keyword;
    auto ask = [&](UINT message, WPARAM which) {
        return keyword && SendMessageA(keyword, message, which, 0) != 0;
    };
    SendMessageA(sw->toolbar, TB_ENABLEBUTTON, UIA_CMD_BACK, ask(QUERYDESK_PANE_HISTORY_CAN, 0));
    SendMessageA(sw->toolbar, TB_ENABLEBUTTON, UIA_CMD_FORWARD, ask(QUERYDESK_PANE_HISTORY_CAN, 1));
    SendMessageA(sw->toolbar, TB_ENABLEBUTTON, UIA_CMD_EARLIER, onKeyword && ask(QUERYDESK_PANE_ENTRIES_CAN, 0));
    SendMessageA(sw->toolbar, TB_ENABLEBUTTON, UIA_CMD_LATER, onKeyword && ask(QUERYDESK_PANE_ENTRIES_CAN, 1));
}
