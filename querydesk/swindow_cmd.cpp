// The search window's command chain, notices, menus and the deliveries it receives from the
// resident program and the other programs.
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

#include "lexicore.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "prefpane.h"
#include "prefstore.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "strandkit.h"
#include "uiassets.h"
#include "vocabank.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const DWORD kHelpTopic = 10501;

// Help commands of the window and their topics.
struct HelpCommand {
    UINT command;
    DWORD topic;
};
const HelpCommand kHelp[] = {
    {UIA_CMD_HELP_CONTENTS, 5601}, {UIA_CMD_HELP_START, 5606},   {UIA_CMD_HELP_USAGE, 5604},
    {UIA_CMD_HELP_FAQ, 5605},      {UIA_CMD_HELP_SUPPORT, 5607}, {UIA_CMD_HELP_WINDOW, 5602},
};

int MenuMode(const SearchWindow *sw)
{
    return sw->currentTab == QUERYDESK_TAB_KEYWORD ? 1 : sw->currentTab == QUERYDESK_TAB_CONDITION ? 2 : 0;
}

// The keyword text of the keyword pane when it is shown (tags removed), else empty.
void KeywordText(const SearchWindow *sw, char *text, int cap)
{
    text[0] = 0;
    if (sw->currentTab == QUERYDESK_TAB_KEYWORD && sw->panes[QUERYDESK_TAB_KEYWORD])
        Pane_KeywordText(sw->panes[QUERYDESK_TAB_KEYWORD], text, cap);
}

// The data list's current item (the list's own; not to be destroyed), or null.
VLDataItem *CurrentItem(HWND list)
{
    VLWordList *words = list ? (VLWordList *)SendMessageA(list, VLDLM_GETLIST, 0, 0) : nullptr;
    if (!words || words->count <= 0) return nullptr;
    LONG current = words->current >= 0 && words->current < words->count ? words->current : 0;
    return words->slots[current];
}

DWORD DictionaryOf(const VLDataItem *item) { return (item->head.fileId << 8) | (item->head.subDicNo & 0xFF); }

bool OwnCommand(SearchWindow *sw, UINT command)
{
    Station *st = Station_Get();
    for (const HelpCommand &h : kHelp)
        if (h.command == command) {
            Sharedkit_ShowHelp(sw->owner, h.topic, kHelpTopic, nullptr);
            return true;
        }
    HWND keyword = sw->panes[QUERYDESK_TAB_KEYWORD];
    if (command >= UIA_CMD_BACK && command < UIA_CMD_BACK + 5) {
        if (keyword) SendMessageA(keyword, QUERYDESK_PANE_HISTORY_GO, (WPARAM)(-(int)(command - UIA_CMD_BACK + 1)), 0);
        return true;
    }
    if (command >= UIA_CMD_FORWARD && command < UIA_CMD_FORWARD + 5) {
        if (keyword) SendMessageA(keyword, QUERYDESK_PANE_HISTORY_GO, command - UIA_CMD_FORWARD + 1, 0);
        return true;
    }
    switch (command) {
    case UIA_CMD_SEND_TEXT: {
        HWND viewer = SearchWindow_PaneViewer(sw, sw->currentTab);
        if (!viewer) return true;
        bool open = sw->sendText && IsWindow(sw->sendText);
        if (open && sw->sendTextViewer != viewer) {
            DestroyWindow(sw->sendText);  // the dialog of another pane
            open = false;
        }
        if (open) {
            SetForegroundWindow(sw->sendText);
            return true;
        }
        sw->sendText = Widgetry_ShowSendTextDialog(sw->owner, viewer);
        sw->sendTextViewer = sw->sendText ? viewer : nullptr;
        if (sw->sendText) {
            RECT rc;
            GetWindowRect(sw->owner, &rc);
            SetWindowPos(sw->sendText, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        return true;
    }
    case UIA_CMD_NEW:
        if (st->main) SendMessageA(st->main, VLM_NEW_SEARCH_WINDOW, 0, 0);
        return true;
    case UIA_CMD_CLOSE:
        DestroyWindow(sw->owner);
        return true;
    case UIA_CMD_EARLIER:
    case UIA_CMD_LATER:
        if (keyword) SendMessageA(keyword, QUERYDESK_PANE_ENTRIES_SHOW, command == UIA_CMD_LATER, 0);
        return true;
    case UIA_CMD_OPTIONS:
        if (Prefpane_ShowSearchWindowOptions(sw->owner) && st->main)
            SendMessageA(st->main, VLM_OPTIONS_CHANGED, 0, 0);
        return true;
    case UIA_CMD_ORDER_DIALOG:
        if (st->orderDialog && !IsWindowVisible(st->orderDialog)) ShowWindow(st->orderDialog, SW_SHOW);
        return true;
    }
    return false;
}

void ShowHistoryMenu(SearchWindow *sw, const NMTOOLBARA *drop)
{
    if (sw->currentTab == QUERYDESK_TAB_CONTENTS || !sw->panes[QUERYDESK_TAB_KEYWORD]) return;
    RECT rc = drop->rcButton;
    MapWindowPoints(sw->toolbar, nullptr, (POINT *)&rc, 2);
    SendMessageA(sw->panes[QUERYDESK_TAB_KEYWORD], QUERYDESK_PANE_HISTORY_MENU, (WPARAM)drop->iItem, (LPARAM)&rc);
}

}  // namespace

void SearchWindow_OnCommand(SearchWindow *sw, UINT command)
{
    if (Sharedkit_DoDicMenuCommand(command, 0, sw->searchOption, sw->incremental)) {
        SearchWindow_UpdateStatus(sw, -1);
        return;
    }
    HWND list = SearchWindow_PaneList(sw, sw->currentTab);
    if (Sharedkit_HandleWindowCommand(sw->owner, command)) return;
    if (Sharedkit_HandleControlCommand(list, command)) return;
    char text[260];
    KeywordText(sw, text, sizeof text);
    const VLDataItem *entry = nullptr;  // the headword pane's entry: its pane hands it over later
    HWND viewer = SearchWindow_PaneViewer(sw, sw->currentTab);
    if (Vocabank_DoCommand(sw->owner, sw->currentId, list, entry, text, 0, command, 0)) return;
    if (Sharedkit_ShowHelp(list, command, kHelpTopic, nullptr)) return;
    if (SendMessageA(sw->dicBar, WM_USER, command, 0)) return;
    if (Sharedkit_DoDicMenuCommand(command, 0, sw->searchOption, sw->incremental)) return;
    if (viewer && Scrivshow_HandleCommand(viewer, command)) return;
    if (command == UIA_CMD_CONDITIONS || command == UIA_CMD_SEARCH) {
        if (HWND pane = SearchWindow_ActivePane(sw))
            SendMessageA(pane, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
        return;
    }
    OwnCommand(sw, command);
}

LRESULT SearchWindow_OnNotify(SearchWindow *sw, NMHDR *header)
{
    if (header->hwndFrom == sw->tab && header->code == TCN_SELCHANGE) {
        SearchWindow_ShowTab(sw, (int)SendMessageA(sw->tab, TCM_GETCURSEL, 0, 0));
        return 0;
    }
    if (header->hwndFrom == sw->rebar && header->code == RBN_AUTOSIZE) {
        SearchWindow_Layout(sw);
        return 0;
    }
    if (header->hwndFrom == sw->toolbar && header->code == TBN_DROPDOWN) {
        const NMTOOLBARA *drop = (const NMTOOLBARA *)header;
        if (drop->iItem == UIA_CMD_BACK || drop->iItem == UIA_CMD_FORWARD) ShowHistoryMenu(sw, drop);
        return TBDDRET_DEFAULT;
    }
    if (header->code == TTN_GETDISPINFOA) {
        NMTTDISPINFOA *tip = (NMTTDISPINFOA *)header;
        tip->szText[0] = 0;
        LoadStringA(Station_Get()->assets, (UINT)header->idFrom, tip->szText, sizeof tip->szText);
        return 0;
    }
    Station *st = Station_Get();
    bool fromBar = header->hwndFrom == sw->dicBar && header->code == WIDGETRY_DBN_CHOSEN;
    bool fromOrder = header->hwndFrom == st->orderDialog && header->code == WIDGETRY_ORDER_CHOSEN;
    if (fromBar || fromOrder) {
        const VLDicChoice *choice = (const VLDicChoice *)header;
        if (fromOrder) SendMessageA(sw->dicBar, WIDGETRY_DBM_SETCURRENT, choice->id, 0);
        SearchWindow_SetCurrent(sw, choice->id, true);
        return 0;
    }
    if (header->hwndFrom == sw->dicBar && header->code == (UINT)NM_RCLICK) {
        HMENU menu = CreatePopupMenu();
        Widgetry_FillDicMenu(menu, sw->currentId, FALSE, 10, 0, 0);
        POINT at;
        GetCursorPos(&at);
        UINT chosen = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, sw->owner, nullptr);
        if (chosen) {
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_DATA;
            if (GetMenuItemInfoA(menu, chosen, FALSE, &info)) {
                SendMessageA(sw->dicBar, WIDGETRY_DBM_SETCURRENT, info.dwItemData, 0);
                SearchWindow_SetCurrent(sw, (DWORD)info.dwItemData, true);
            }
        }
        DestroyMenu(menu);
    }
    return 0;
}

void SearchWindow_OnInitMenuPopup(SearchWindow *sw, HMENU menu, int index)
{
    HMENU bar = GetMenu(sw->owner);
    if (!bar || GetSubMenu(bar, index) != menu) return;
    HWND viewer = SearchWindow_PaneViewer(sw, sw->currentTab);
    if (index == UIA_SEARCH_MENU_DICTIONARY) Sharedkit_FillDicMenu(menu, MenuMode(sw));
    if (index == UIA_SEARCH_MENU_WORD)
        Vocabank_UpdateCommands(menu, nullptr, sw->currentId, SearchWindow_PaneList(sw, sw->currentTab), nullptr);
    if (index == UIA_SEARCH_MENU_TEXT) {
        UINT state = MF_BYPOSITION | (viewer ? MF_ENABLED : MF_GRAYED);
        EnableMenuItem(menu, 2, state);
        EnableMenuItem(menu, 3, state);
        if (viewer) {
            Scrivshow_InitMenuA(GetSubMenu(menu, 0), viewer);
            Scrivshow_InitMenuB(GetSubMenu(menu, 1), viewer);
        }
    }
}

void SearchWindow_OnDeliverItem(SearchWindow *sw, WPARAM flags, LPARAM id)
{
    VLTranParam *request = (VLTranParam *)Sharedkit_ReceiveItem(id);
    if (!request) return;
    if (request->requestKind == (DWORD)-1 && request->language == (DWORD)-1) {
        SearchWindow_ShowTab(sw, QUERYDESK_TAB_HEADWORD);
        SendMessageA(sw->dicBar, WIDGETRY_DBM_SETCURRENT, request->dicId, 0);
        SearchWindow_SetCurrent(sw, request->dicId, false);
        VLTranParam_Destroy(request);
        return;
    }
    SearchWindow_ShowTab(sw, QUERYDESK_TAB_KEYWORD);
    HWND pane = sw->panes[QUERYDESK_TAB_KEYWORD];
    HWND list = SearchWindow_PaneList(sw, QUERYDESK_TAB_KEYWORD);
    VLWordList *words = list ? (VLWordList *)SendMessageA(list, VLDLM_GETLIST, 0, 0) : nullptr;
    if (pane) SendMessageA(pane, PANE_SET_KEYWORD, request->charset, (LPARAM)(request->text ? request->text : ""));
    int count = -1;
    if (words && Lexshelf_SearchPopup(request, words)) {
        count = words->count;
        if (VLDataItem *item = CurrentItem(list)) {
            DWORD dicId = DictionaryOf(item);
            SendMessageA(sw->dicBar, WIDGETRY_DBM_SETCURRENT, dicId, 0);
            SearchWindow_SetCurrent(sw, dicId, false);
            if (flags & QUERYDESK_DELIVER_COPY) Lexshelf_CopyEntry(item);
            if (flags & QUERYDESK_DELIVER_LANGUAGE)
                Linguakeeper_OpenManager(item->language, request->text ? request->text : "", 1);
        }
        if (pane) SendMessageA(pane, PANE_SHOW_RESULTS, 0, 0);
    }
    SearchWindow_UpdateStatus(sw, count);
    VLTranParam_Destroy(request);
}

void SearchWindow_OnShowEntry(SearchWindow *sw, DWORD dicId, LONG entry)
{
    DicSession *session = Lexicore_CreateSession();
    if (!session) return;
    if (Lexicore_OpenSession(session, dicId, FALSE)) {
        Lexicore_SelectIndex(session, 0);
        if (VLDataItem *item = Lexicore_GetItem(session, entry)) {
            SearchWindow_ShowTab(sw, QUERYDESK_TAB_KEYWORD);
            HWND pane = sw->panes[QUERYDESK_TAB_KEYWORD];
            HWND list = SearchWindow_PaneList(sw, QUERYDESK_TAB_KEYWORD);
            VLWordList *words = list ? (VLWordList *)SendMessageA(list, VLDLM_GETLIST, 0, 0) : nullptr;
            if (pane && words) {
                char tagged[600];
                lstrcpynA(tagged, item->headword ? item->headword : "", sizeof tagged);
                SendMessageA(pane, PANE_SET_KEYWORD, (WPARAM)-1, (LPARAM)tagged);
                SendMessageA(list, VLDLM_LOCK, VLDL_LOCK, 0);
                VLWordList_DeleteAllItems(words);
                VLWordList_Add(words, item);
                SendMessageA(list, VLDLM_LOCK, VLDL_UNLOCK, 0);
                SendMessageA(pane, PANE_SHOW_RESULTS, 1, 0);
            }
            SendMessageA(sw->dicBar, WIDGETRY_DBM_SETCURRENT, dicId, 0);
            SearchWindow_SetCurrent(sw, dicId, false);
            SearchWindow_UpdateStatus(sw, words ? words->count : -1);
            VLDataItem_Destroy(item);
        }
    }
    Lexicore_CloseSession(session);
    Lexicore_DestroySession(session);
}

void SearchWindow_OnOptionsChanged(SearchWindow *sw)
{
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    for (int tab : {QUERYDESK_TAB_CONDITION, QUERYDESK_TAB_HEADWORD, QUERYDESK_TAB_KEYWORD})
        if (HWND viewer = SearchWindow_PaneViewer(sw, tab)) Prefstore_ApplyViewSettings(viewer, &options.View, 1);
    for (int tab : {QUERYDESK_TAB_CONDITION, QUERYDESK_TAB_KEYWORD})
        if (HWND list = SearchWindow_PaneList(sw, tab)) {
            if (options.MaxData > 0) SendMessageA(list, VLDLM_SETMAXCOUNT, options.MaxData, 0);
            SendMessageA(list, VLDLM_REFRESH, 0, 0);
        }
    Prefstore_FreeWebList(&options);
}
