// The dictionary bar (window class VLDICBARCLASS): twelve flat buttons that stand for the items
// of a priority list under the modifier keys held, plus the help, order-dialog and web-lookup
// buttons.
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "widgetry.h"
#include "widgetry_int.h"
#include "diclist_model.h"
#include "basekit.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "sharedkit.h"
#include "uiassets.h"

namespace {

const UINT kModifierTimer = 100;
const DWORD kWebId = 0x10000000;
const int kGap = 6;

struct DicBarCreate {
    VLPriorityList *list;
    HWND notify;
    ToolTipManager *tips;
};

struct DicBar {
    HWND window, notify;
    ToolTipManager *tips;
    VLPriorityList *list;
    int modifiers;
    DWORD current;
    int *positions; // list positions of the bar's items
    int count;
    HWND buttons[DICBAR_BUTTONS];
};

DicBar *StateOf(HWND window)
{
    return reinterpret_cast<DicBar *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool HasWebButton(const DicBar *b)
{
    return (GetWindowLongA(b->window, GWL_STYLE) & WIDGETRY_DBS_WEB) != 0;
}

int HeldModifiers()
{
    return ((GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0) | ((GetKeyState(VK_CONTROL) & 0x8000) ? 2 : 0);
}

struct PositionCollect {
    DicBar *bar;
    int capacity;
};

int CALLBACK CollectPosition(VLPriorityItem *item, LPARAM user)
{
    PositionCollect *c = reinterpret_cast<PositionCollect *>(user);
    if (c->bar->count < c->capacity) c->bar->positions[c->bar->count++] = Lexshelf_PrioFind(c->bar->list, item->id);
    return 1;
}

// The item record of item number n (1-based); false when the bar has no such item.
bool ItemOf(const DicBar *b, int n, VLPriorityItem *item)
{
    if (n < 1 || n > b->count) return false;
    return Lexshelf_PrioGetItem(b->list, b->positions[n - 1], item) != 0;
}

void Relabel(DicBar *b)
{
    for (int i = 0; i < DICBAR_BUTTONS; i++) {
        int n = DicBar_ItemOfButton(DICBAR_FIRST_BUTTON + i, b->modifiers, HasWebButton(b));
        char text[256] = "";
        VLPriorityItem item;
        if (n == DICBAR_HELP) Uiassets_LoadString(UIA_IDS_HELP_BUTTON, text, sizeof text);
        else if (n == DICBAR_ORDER) Uiassets_LoadString(UIA_CMD_ORDER_DIALOG, text, sizeof text);
        else if (n == DICBAR_WEB) Uiassets_LoadString(UIA_IDS_WEB_LOOKUP, text, sizeof text);
        else if (ItemOf(b, n, &item)) lstrcpynA(text, item.name ? item.name : "", sizeof text);
        SetWindowTextA(b->buttons[i], text); // the tool tip asks the button for this text
        InvalidateRect(b->buttons[i], nullptr, FALSE);
    }
}

void ReadItems(DicBar *b)
{
    free(b->positions);
    b->count = 0;
    int total = Lexshelf_PrioEnum(b->list, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0, nullptr, 0);
    b->positions = static_cast<int *>(calloc(total + 1, sizeof(int)));
    if (b->positions) {
        PositionCollect c = {b, total};
        Lexshelf_PrioEnum(b->list, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0, CollectPosition,
                          reinterpret_cast<LPARAM>(&c));
    }
    Relabel(b);
}

void Layout(DicBar *b)
{
    RECT rc;
    GetClientRect(b->window, &rc);
    int width = (rc.right - 12) / DICBAR_BUTTONS;
    int x = 0;
    for (int i = 0; i < DICBAR_BUTTONS; i++) {
        if (i == 4 || i == 8) x += kGap;
        MoveWindow(b->buttons[i], x, 0, width, rc.bottom, TRUE);
        x += width;
    }
}

// A click or a command: the item becomes current and the notify window is told.
LRESULT Choose(DicBar *b, int n)
{
    if (n == DICBAR_HELP || n == DICBAR_ORDER) {
        SendMessageA(b->notify, WM_COMMAND, n == DICBAR_HELP ? WIDGETRY_DBC_HELP : UIA_CMD_ORDER_DIALOG, 0);
        int button = n == DICBAR_HELP ? 0 : DICBAR_BUTTONS - 1;
        SendMessageA(b->buttons[button], BM_SETCHECK, BST_UNCHECKED, 0);
        return 1;
    }
    VLPriorityItem item = {};
    DWORD id;
    if (n == DICBAR_WEB) {
        id = kWebId;
    } else {
        if (!ItemOf(b, n, &item)) return 1; // an empty slot: nothing changes
        id = item.id;
    }
    VLDicChoice notice = {};
    notice.header.hwndFrom = b->window;
    notice.header.idFrom = GetDlgCtrlID(b->window);
    notice.header.code = WIDGETRY_DBN_CHOSEN;
    notice.id = id;
    notice.item = n == DICBAR_WEB ? nullptr : &item;
    b->current = id;
    SendMessageA(b->notify, WM_NOTIFY, notice.header.idFrom, reinterpret_cast<LPARAM>(&notice));
    for (HWND button : b->buttons) InvalidateRect(button, nullptr, FALSE);
    return 1;
}

void OnDrawItem(DicBar *b, const DRAWITEMSTRUCT *draw)
{
    int n = DicBar_ItemOfButton(static_cast<int>(draw->CtlID), b->modifiers, HasWebButton(b));
    char text[256] = "";
    VLPriorityItem item;
    if (n == DICBAR_WEB) {
        Uiassets_LoadString(UIA_IDS_WEB_LOOKUP, text, sizeof text);
        Sharedkit_DrawTextButton(draw, text, b->current == kWebId);
    } else if (n == DICBAR_ORDER || n == DICBAR_HELP) {
        Uiassets_LoadString(n == DICBAR_ORDER ? UIA_CMD_ORDER_DIALOG : UIA_IDS_HELP_BUTTON, text, sizeof text);
        Sharedkit_DrawTextButton(draw, text, 0);
    } else if (ItemOf(b, n, &item)) {
        WORD language = item.itemKind == 1 ? item.data.dictionary.language : 0;
        Sharedkit_DrawDicButton(draw, item.name ? item.name : "", language, item.id == b->current);
    } else {
        FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void OnPaint(DicBar *b)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(b->window, &ps);
    RECT rc;
    GetClientRect(b->window, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    for (int i : {3, 7}) {
        RECT button;
        GetWindowRect(b->buttons[i], &button);
        MapWindowPoints(nullptr, b->window, reinterpret_cast<POINT *>(&button), 2);
        RECT edge = {button.right + 1, 2, button.right + 3, rc.bottom - 2};
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT);
    }
    EndPaint(b->window, &ps);
}

// Chooses a dictionary for a language pair: the current item when it fits, else the first item
// that fits and is neither the avoided one nor the current one.
bool Fits(const DicBar *b, const VLPriorityItem &item, WORD source, WORD target);

bool DictionaryFits(DWORD id, WORD source, WORD target)
{
    VLPriorityItem item;
    VLPriorityList *popup = reinterpret_cast<VLPriorityList *>(static_cast<UINT_PTR>(LEXSHELF_LIST_POPUP));
    int at = Lexshelf_PrioFind(popup, id);
    if (!at || !Lexshelf_PrioGetItem(popup, at, &item) || item.itemKind != 1) return false;
    const DicProperty &d = item.data.dictionary;
    if (!source || !target || d.language != source) return false;
    DicInfo info = {};
    info.size = sizeof info;
    if (!Lexicore_GetDicInfo(d.fileId, &info)) return false;
    for (DWORD i = 0; i < info.languageCount && i < 100; i++)
        if (info.languages[i] == target) return true;
    return false;
}

bool Fits(const DicBar *b, const VLPriorityItem &item, WORD source, WORD target)
{
    if (item.itemKind == 1) return DictionaryFits(item.id, source, target);
    // A group fits with one of its dictionaries among the bar's items.
    int n = static_cast<int>(Lexshelf_GroupGetDicCount(Lexshelf_FindGroup(item.id)));
    for (int i = 0; i < n; i++) {
        DWORD dic = Lexshelf_GetGroupDic(item.id, i);
        for (int k = 1; k <= b->count; k++) {
            VLPriorityItem other;
            if (ItemOf(b, k, &other) && other.id == dic && DictionaryFits(dic, source, target)) return true;
        }
    }
    return false;
}

DWORD ChooseForPair(DicBar *b, WORD source, WORD target, DWORD avoid)
{
    for (int k = 1; k <= b->count; k++) {
        VLPriorityItem item;
        if (ItemOf(b, k, &item) && item.id == b->current && Fits(b, item, source, target)) return b->current;
    }
    for (int k = 1; k <= b->count; k++) {
        VLPriorityItem item;
        if (!ItemOf(b, k, &item) || item.id == avoid || item.id == b->current) continue;
        if (Fits(b, item, source, target)) {
            b->current = item.id;
            ReadItems(b);
            return item.id;
        }
    }
    return 0;
}

bool OnCreate(HWND window, const DicBarCreate *create)
{
    DicBar *b = static_cast<DicBar *>(calloc(1, sizeof(DicBar)));
    if (!b) return false;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b));
    b->window = window;
    b->list = create->list;
    b->notify = create->notify;
    b->tips = create->tips;
    Basekit_RegisterFlatButton();
    for (int i = 0; i < DICBAR_BUTTONS; i++) {
        DWORD style = WS_CHILD | WS_VISIBLE | 0x10 | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        b->buttons[i] = CreateWindowExA(0, "HNFLATBUTTON", "", style, 0, 0, 10, 10, window,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(DICBAR_FIRST_BUTTON + i)),
                                        g_widgetryInstance, nullptr);
        if (!b->buttons[i]) return false;
        SendMessageA(b->buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        if (b->tips) Basekit_TooltipAdd(b->tips, b->buttons[i]);
    }
    ReadItems(b);
    Layout(b);
    return true;
}

void OnDestroy(DicBar *b)
{
    if (!b) return;
    KillTimer(b->window, kModifierTimer);
    if (b->tips)
        for (HWND button : b->buttons)
            if (button) Basekit_TooltipRemove(b->tips, button);
    free(b->positions);
    free(b);
}

LRESULT CALLBACK DicBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        const CREATESTRUCTA *cs = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        return OnCreate(window, static_cast<const DicBarCreate *>(cs->lpCreateParams)) ? 0 : -1;
    }
    DicBar *b = StateOf(window);
    if (!b) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        OnDestroy(b);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        break;
    case WM_SIZE: Layout(b); return 0;
    case WM_PAINT: OnPaint(b); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DRAWITEM: OnDrawItem(b, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)); return TRUE;
    case WM_COMMAND: {
        int n = DicBar_ItemOfButton(LOWORD(wParam), b->modifiers, HasWebButton(b));
        return n ? Choose(b, n) : 0;
    }
    case WM_USER: {
        int n = DicBar_ItemOfCommand(static_cast<int>(wParam));
        if (!n) n = DicBar_ItemOfButton(static_cast<int>(wParam), b->modifiers, HasWebButton(b));
        return n ? Choose(b, n) : 0;
    }
    case WIDGETRY_DBM_GETCURRENT: return b->current;
    case WIDGETRY_DBM_SETCURRENT:
        b->current = static_cast<DWORD>(wParam);
        for (HWND button : b->buttons) InvalidateRect(button, nullptr, FALSE);
        return 1;
    case WIDGETRY_DBM_CHOOSEFORPAIR:
        return ChooseForPair(b, LOWORD(wParam), HIWORD(wParam), static_cast<DWORD>(lParam));
    case WIDGETRY_DBM_REFRESH: ReadItems(b); InvalidateRect(window, nullptr, TRUE); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) SetTimer(window, kModifierTimer, 150, nullptr);
        else KillTimer(window, kModifierTimer);
        return 0;
    case WM_TIMER:
        if (wParam == kModifierTimer) {
            int held = HeldModifiers();
            if (held != b->modifiers) {
                b->modifiers = held;
                Relabel(b);
            }
        }
        return 0;
    case WM_RBUTTONUP: {
        NMHDR notice = {window, static_cast<UINT_PTR>(GetDlgCtrlID(window)), static_cast<UINT>(NM_RCLICK)};
        SendMessageA(b->notify, WM_NOTIFY, notice.idFrom, reinterpret_cast<LPARAM>(&notice));
        return 0;
    }
    case WIDGETRY_DBM_SETMODIFIERS:
        b->modifiers = static_cast<int>(wParam) & 3;
        Relabel(b);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool DicBar_RegisterClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_GLOBALCLASS | CS_PARENTDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DicBarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = VLDICBARCLASS;
    return RegisterClassA(&wc) != 0;
}

void DicBar_UnregisterClass(HINSTANCE instance)
{
    UnregisterClassA(VLDICBARCLASS, instance);
}

extern "C" HWND WINAPI Widgetry_CreateDicBar(VLPriorityList *list, DWORD style, int x, int y, int width, int height,
                                             HWND parent, HWND notify, ToolTipManager *tips, UINT id)
{
    DicBarCreate create = {list, notify, tips};
    return CreateWindowExA(0, VLDICBARCLASS, "", style | WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), g_widgetryInstance, &create);
}
