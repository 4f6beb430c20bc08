// A viewer's lookup: the search between two cursor tests, the placement beside the word, the
// entry shown with its status line and dictionary button, the hiding when the cursor has left,
// and the commands of the tool bar, status bar and dictionary menu.
#include "bubblepane_int.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "lexicore.h"
#include "lexshelf.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "strandkit.h"
#include "uiassets.h"
#include "vocabank.h"
#include "widgetry.h"
#include "../common/neighbours.h"

namespace {

const UINT_PTR kHideTimer = 100;

VLPriorityList *PopupList() { return reinterpret_cast<VLPriorityList *>(LEXSHELF_LIST_POPUP); }

bool CursorOnWord(int x, int y)
{
    POINT c;
    GetCursorPos(&c);
    return Bubble_CursorOnWord(c, x, y);
}

DWORD DicCode(const VLDataItem *item) { return item->head.subDicNo | item->head.fileId << 8; }

DWORD DefaultDic(const Viewer *v)
{
    return v->request ? Lexicore_GetDefaultDic(v->request->language ? v->request->language : v->request->charset) : 0;
}

int Count(const Viewer *v) { return v->words ? v->words->count : 0; }

void EnableCommand(Viewer *v, UINT command, bool on)
{
    HWND b = GetDlgItem(v->window, command);
    if (b) EnableWindow(b, on);
}

// The status line's colours by class: Perfect, Good, Average, Bad.
COLORREF MatchColour(DWORD score)
{
    CandidateListOptions o = {};
    Prefstore_LoadCandidateList(&o);
    const COLORREF colours[4] = {o.Perfect, o.Good, o.Average, o.Bad};
    return colours[Bubble_MatchColourIndex(score)];
}

void CheckDicButton(Viewer *v, DWORD code)
{
    for (HWND b : v->dicButton)
        if (b) SendMessageA(b, BM_SETCHECK, BST_UNCHECKED, 0);
    VLPriorityItem item;
    for (int i = 0; i < v->dicButtons && i < BUBBLEPANE_MAX_DICBUTTONS; i++) {
        if (!Lexshelf_PrioGetItem(PopupList(), i + 1, &item)) break;
        if (item.id == code) {
            SendMessageA(v->dicButton[i], BM_SETCHECK, BST_CHECKED, 0);
            break;
        }
    }
    for (HWND b : v->dicButton)
        if (b && IsWindowVisible(b)) InvalidateRect(b, nullptr, FALSE);
}

// The viewer's window size for a content size of the entry viewer.
SIZE SizeForContent(Viewer *v, int width, int height)
{
    // A few pixels of room so that the overhang of a line's last glyph is never cut off.
    RECT view = {0, 0, width + 6, height};
    AdjustWindowRectEx(&view, GetWindowLongA(v->view, GWL_STYLE), FALSE, GetWindowLongA(v->view, GWL_EXSTYLE));
    if (GetWindowLongA(v->view, GWL_STYLE) & WS_VSCROLL) view.right += GetSystemMetrics(SM_CXVSCROLL);
    int cw = view.right - view.left, ch = view.bottom - view.top;
    if (v->flags & BUBBLEPANE_VF_SKIN) {
        cw += v->skin.ViewMargins.left + v->skin.ViewMargins.right;
        ch += v->skin.ViewMargins.top + v->skin.ViewMargins.bottom;
    } else {
        cw += 13;
    }
    if (v->flags & BUBBLEPANE_VF_TOOLBAR) ch += 24;
    if (v->status) ch += 24;
    RECT frame = {0, 0, cw, ch};
    if (!(v->flags & BUBBLEPANE_VF_SKIN))
        AdjustWindowRectEx(&frame, GetWindowLongA(v->window, GWL_STYLE), FALSE, GetWindowLongA(v->window, GWL_EXSTYLE));
    SIZE s = {frame.right - frame.left, frame.bottom - frame.top};
    if (s.cx < v->minSize.cx) s.cx = v->minSize.cx;
    if (s.cy < v->minSize.cy) s.cy = v->minSize.cy;
    // Never larger than the monitor's work area; the entry viewer scrolls then.
    RECT area = Viewer_WorkArea(v, v->request ? v->request->sourceWindow : nullptr);
    if (s.cx > (area.right - area.left) * 3 / 4) s.cx = (area.right - area.left) * 3 / 4;
    if (s.cy > (area.bottom - area.top) / 2) s.cy = (area.bottom - area.top) / 2;
    return s;
}

void SetEntryView(Viewer *v, const VLDataItem *item)
{
    // The viewer control is our own outside layer, called on this thread; its faults are not
    // caught here (the compiler of this suite has no structured exception blocks).
    SendMessageA(v->view, SCV_SHOWENTRY, 1, reinterpret_cast<LPARAM>(item));
}

void Show(Viewer *v, WPARAM flag)
{
    const bool wasHidden = !IsWindowVisible(v->window);
    // The entry first, so that the viewer has the size of its content when it is placed.
    Viewer_ShowEntry(v, 0);
    if (!flag && !(v->flags & BUBBLEPANE_VF_FIXED) && v->request) {
        BubblePoint p = Bubble_UnpackPoint(v->request->pointTop, v->request->pointBottom);
        RECT r;
        GetWindowRect(v->window, &r);
        SIZE size = {r.right - r.left, r.bottom - r.top};
        POINT at = Bubble_PlaceViewer(p, v->popupPos, size, Viewer_WorkArea(v, v->request->sourceWindow));
        v->last.x = p.x;
        v->last.y = p.y;
        SetWindowPos(v->window, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        SetWindowPos(v->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    if (!(v->flags & BUBBLEPANE_VF_FIXED)) SetTimer(v->window, kHideTimer, 1000, nullptr);
    (void)wasHidden;
    v->inMenu = false;
    v->shownOnce = true;
}

void HideDataList(Viewer *v)
{
    if (v->dataList && IsWindowVisible(v->dataList)) ShowWindow(v->dataList, SW_HIDE);
}

bool CursorIn(HWND window)
{
    if (!window || !IsWindowVisible(window)) return false;
    POINT c;
    RECT r;
    GetCursorPos(&c);
    GetWindowRect(window, &r);
    return PtInRect(&r, c) != FALSE;
}

void ToggleDataList(Viewer *v, HWND button)
{
    if (!v->dataList) return;
    if (IsWindowVisible(v->dataList)) {
        ShowWindow(v->dataList, SW_HIDE);
        return;
    }
    RECT r;
    GetWindowRect(button ? button : v->window, &r);
    SendMessageA(v->dataList, VLDLM_REFRESH, 0, 0);
    SetWindowPos(v->dataList, HWND_TOPMOST, r.left, r.bottom, 100, 200, SWP_NOACTIVATE);
    SendMessageA(v->dataList, VLDLM_SHOW, 0, 0);
    ShowWindow(v->dataList, SW_SHOWNA);
}

void ChooseDictionary(Viewer *v, DWORD id)
{
    for (int i = 0; i < Count(v); i++) {
        VLDataItem *item = VLWordList_GetItem(v->words, i);
        if (item && DicCode(item) == id) {
            SendMessageA(v->dataList, VLDLM_SELECTROW, i, 0);
            Viewer_ShowEntry(v, i);
            return;
        }
    }
    if (!v->request) return;
    VLTranParam *copy = VLTranParam_Dup(v->request);
    if (!copy) return;
    POINT c;
    GetCursorPos(&c);
    copy->requestKind = 0;
    copy->dicId = id;
    copy->searchFlags = 0;
    copy->pointTop = MAKELONG(static_cast<WORD>(c.x), HIWORD(copy->pointTop));
    copy->pointBottom = MAKELONG(static_cast<WORD>(c.y), HIWORD(copy->pointBottom));
    Viewer_ShowItem(v, 1, copy);
    Viewer_KeepCursorOnPin(v);
}

void DictionaryMenu(Viewer *v)
{
    HMENU menu = g_bubble.dicMenu;
    if (!menu || !v->menuButton) return;
    Widgetry_FillDicMenu(menu, 0, FALSE, v->dicButtons, 7, 0);
    RECT r;
    GetWindowRect(v->menuButton, &r);
    UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0,
                       v->window, nullptr));
    if (!CursorIn(v->window)) Viewer_KeepCursorOnPin(v);
    if (!chosen) return;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (GetMenuItemInfoA(menu, chosen, FALSE, &info) && info.dwItemData)
        ChooseDictionary(v, static_cast<DWORD>(info.dwItemData));
}

// The entry before or after those shown.  The manager's nearest-entry searches answer the shown
// entry itself on one side and the one before it on the other, so the entry is taken by number.
void SearchAgain(Viewer *v, bool later)
{
    if (Count(v) < 1 || !v->request) return;
    if (!Neighbour_Show(v->words, later ? 1 : 0)) return;
    SendMessageA(v->dataList, VLDLM_REFRESH, 0, 0);
    Viewer_UpdateToolButtons(v);
    Viewer_ShowEntry(v, 0);
}

void ToSearchStation(Viewer *v)
{
    if (Count(v) == 0) {
        if (v->request) Sharedkit_DeliverItem(1, BUBBLEPANE_VLM_DELIVER_ITEM, 0, v->request);
        return;
    }
    LONG index = v->words->current >= 0 && v->words->current < v->words->count ? v->words->current : 0;
    const VLDataItem *item = VLWordList_GetItem(v->words, index);
    if (!item) return;
    DicInfo info = {};
    if (Lexicore_GetDicInfo(item->head.fileId, &info) && info.kind == 3) return;
    Sharedkit_SendToKind(1, BUBBLEPANE_VLM_SHOW_ENTRY, DicCode(item), item->head.entryNo);
}

void Pin(Viewer *v)
{
    if (!v->pin) return;
    bool pinned = SendMessageA(v->pin, BM_GETCHECK, 0, 0) == BST_CHECKED;
    Basekit_FlatButtonSetIcon(v->pin, pinned ? v->pinnedIcon : v->pinIcon);
    SendMessageA(v->manager, VLM_POPUP_PIN, pinned ? 1 : 0, reinterpret_cast<LPARAM>(v->window));
}

} // namespace

RECT Viewer_WorkArea(Viewer *v, HWND source)
{
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (v->monitors > 1 && g_bubble.monitorFromWindow && g_bubble.getMonitorInfo) {
        HMONITOR m = g_bubble.monitorFromWindow(source ? source : v->window, MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (m && g_bubble.getMonitorInfo(m, &info)) area = info.rcWork;
    }
    return area;
}

void Viewer_UpdateToolButtons(Viewer *v)
{
    if (!(v->flags & BUBBLEPANE_VF_TOOLBAR)) return;
    int n = Count(v);
    EnableCommand(v, BUBBLEPANE_CMD_CANDIDATES, n > 1);
    EnableCommand(v, BUBBLEPANE_CMD_PRONOUNCE, n >= 1);
    EnableCommand(v, BUBBLEPANE_CMD_EARLIER, n >= 1);
    EnableCommand(v, BUBBLEPANE_CMD_LATER, n >= 1);
}

LRESULT Viewer_ShowItem(Viewer *v, WPARAM flag, VLTranParam *request)
{
    if (v->request && v->request != request) VLTranParam_Destroy(v->request);
    v->request = request;
    if (!request || !v->words) return 0;
    BubblePoint p = Bubble_UnpackPoint(request->pointTop, request->pointBottom);
    if (!CursorOnWord(p.x, p.y)) return 0;
    int ok = Lexshelf_SearchPopup(request, v->words);
    if (!ok) return 0;
    if (!CursorOnWord(p.x, p.y)) return 0;
    SendMessageA(v->dataList, VLDLM_REFRESH, 0, 0);
    Viewer_UpdateToolButtons(v);
    if (Count(v) == 0) {
        if (Basekit_SettingsReadDword(BUBBLE_POPUP_KEY, "NoDispWhenNoCandidate")) return 1;
        char text[256];
        Uiassets_LoadString(UIA_IDS_NO_CANDIDATE, text, sizeof text);
        SendMessageA(v->view, SCV_SETCHARSETTEXT, Strandkit_GetUiCharset(), reinterpret_cast<LPARAM>(text));
        Show(v, flag);
        return 1;
    }
    Show(v, flag);
    Sharedkit_SendToMain(BUBBLEPANE_VLM_COUNT_USAGE, 1, 0);
    return 1;
}

void Viewer_ShowEntry(Viewer *v, int index)
{
    if (Count(v) == 0) {
        Viewer_SetStatus(v, "", GetSysColor(COLOR_BTNTEXT));
    } else {
        if (index < 0 || index >= Count(v)) index = 0;
        VLWordList_SetCurItem(v->words, index);
        const VLDataItem *item = VLWordList_GetItem(v->words, index);
        SetEntryView(v, item);
        char text[128];
        Uiassets_LoadString(UIA_IDS_MATCH_FIRST + Bubble_MatchClass(item->score), text, sizeof text);
        Viewer_SetStatus(v, text, MatchColour(item->score));
        CheckDicButton(v, DicCode(item));
    }
    Vocabank_UpdateCommands(nullptr, v->window, DefaultDic(v), v->dataList, nullptr);
}

void Viewer_Hide(Viewer *v)
{
    KillTimer(v->window, kHideTimer);
    if (v->flags & BUBBLEPANE_VF_FIXED) return;
    HideDataList(v);
    ShowWindow(v->window, SW_HIDE);
    if (v->request) VLTranParam_Destroy(v->request);
    v->request = nullptr;
}

void Viewer_OnTimer(Viewer *v)
{
    if (v->inMenu) return;
    if (CursorIn(v->window) || GetCapture() == v->window) return;
    if (CursorOnWord(v->last.x, v->last.y)) return;
    if (CursorIn(v->dataList)) return;
    if (v->pin && SendMessageA(v->pin, BM_GETCHECK, 0, 0) == BST_CHECKED) return;
    Viewer_Hide(v);
}

void Viewer_KeepCursorOnPin(Viewer *v)
{
    HWND target = v->pin ? v->pin : (v->flags & BUBBLEPANE_VF_FIXED ? v->tools[0] : nullptr);
    if (!target) target = v->view;
    if (!target) return;
    RECT r;
    GetWindowRect(target, &r);
    SetCursorPos(r.left - 1, (r.top + r.bottom) / 2);
}

bool Viewer_OnCommand(Viewer *v, UINT command, HWND control)
{
    const VLDataItem *entry = nullptr;
    if (Vocabank_DoCommand(v->window, DefaultDic(v), v->dataList, entry, nullptr, 0, command, 0)) return true;
    if (command >= BUBBLEPANE_IDC_DICBUTTON && command < BUBBLEPANE_IDC_DICBUTTON + BUBBLEPANE_MAX_DICBUTTONS) {
        VLPriorityItem item;
        if (Lexshelf_PrioGetItem(PopupList(), static_cast<int>(command - 3000), &item)) ChooseDictionary(v, item.id);
        return true;
    }
    switch (command) {
    case BUBBLEPANE_IDC_DICMENU: DictionaryMenu(v); return true;
    case BUBBLEPANE_CMD_CLOSE: Sharedkit_SendToMain(BUBBLEPANE_VLM_CLOSE, 0, 0); return true;
    case BUBBLEPANE_CMD_EARLIER: SearchAgain(v, false); return true;
    case BUBBLEPANE_CMD_LATER: SearchAgain(v, true); return true;
    case BUBBLEPANE_CMD_OPTIONS: SendMessageA(v->manager, VLM_POPUP_OPTIONS, 0, 0); return true;
    case BUBBLEPANE_CMD_HELP: Sharedkit_ShowHelp(v->window, 1, 0, nullptr); return true;
    case BUBBLEPANE_CMD_PIN: Pin(v); return true;
    case BUBBLEPANE_CMD_CANDIDATES: ToggleDataList(v, control); return true;
    case BUBBLEPANE_CMD_TO_SEARCH: ToSearchStation(v); return true;
    case BUBBLEPANE_CMD_TO_STUDY_LIST: Sharedkit_SendToMain(BUBBLEPANE_VLM_RUN_STUDY_LIST, 0, 0); return true;
    case BUBBLEPANE_CMD_TO_TRANSLATION:
        if (v->request) Sharedkit_DeliverItem(4, BUBBLEPANE_VLM_DELIVER_ITEM, 0, v->request);
        return true;
    }
    return Scrivshow_HandleCommand(v->view, command) != 0;
}

LRESULT Viewer_OnNotify(Viewer *v, NMHDR *hdr)
{
    if (!hdr) return 0;
    if (hdr->idFrom == BUBBLEPANE_CMD_CANDIDATES && hdr->hwndFrom != v->view) {
        if (hdr->code == 0x8001 && v->dataList && !IsWindowVisible(v->dataList)) ToggleDataList(v, hdr->hwndFrom);
        else if (hdr->code == 0x8002 && !CursorIn(v->dataList)) HideDataList(v);
        return 0;
    }
    if (hdr->hwndFrom == v->view && hdr->code == 1) {
        if (v->flags & (BUBBLEPANE_VF_FIXED | BUBBLEPANE_VF_FIXEDSIZE)) return 0;
        const ScrivshowSizeNotify *n = reinterpret_cast<const ScrivshowSizeNotify *>(hdr);
        SIZE s = SizeForContent(v, n->width, n->height);
        SetWindowPos(v->window, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (hdr->code == TTN_NEEDTEXTA && hdr->idFrom >= BUBBLEPANE_IDC_DICBUTTON &&
        hdr->idFrom < BUBBLEPANE_IDC_DICBUTTON + BUBBLEPANE_MAX_DICBUTTONS) {
        static char name[256];
        VLPriorityItem item;
        NMTTDISPINFOA *info = reinterpret_cast<NMTTDISPINFOA *>(hdr);
        if (Lexshelf_PrioGetItem(PopupList(), static_cast<int>(hdr->idFrom - 3000), &item) && item.name) {
            lstrcpynA(name, item.name, sizeof name);
            info->lpszText = name;
        }
        return 0;
    }
    return 0;
}
