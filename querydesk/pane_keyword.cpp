// The keyword pane (tab 2): a word searched in the current dictionary or group as the user asks or,
// with the incremental switch on, half a second after the last keystroke; a history of eleven
// searches with results (the oldest dropped, and its text with it, when a twelfth comes), walked
// back and forward by steps (every move checked against the entries really held) or with Shift
// and the mouse wheel and listed in the tool bar's drop-down menus; the entries before and after
// those listed; the search through the translation set's languages; the count of each search in
// the day's usage; and, for the web lookup, the word in the address the user set up.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "chartpane.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "quickfield.h"
#include "sharedkit.h"
#include "strandkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "querydesk_int.h"
#include "../common/neighbours.h"

void KeywordHistory_Add(KeywordHistory *h, DWORD id, DWORD flags, const char *text)
{
    if (h->count == KEYWORD_HISTORY_SIZE) {
        h->full = true;
        for (int i = 1; i < KEYWORD_HISTORY_SIZE; i++) h->entries[i - 1] = h->entries[i];
        h->count = KEYWORD_HISTORY_SIZE - 1;
    }
    KeywordHistoryEntry &e = h->entries[h->count];
    e.id = id;
    e.flags = flags;
    e.text = text ? text : "";
    h->count++;
    h->position = h->count;
}

bool KeywordHistory_Can(const KeywordHistory *h, int forward)
{
    if (!forward) return h->position > 0 && h->position <= h->count;
    return h->position + 1 < h->count && h->position < KEYWORD_HISTORY_SIZE - 1;
}

const KeywordHistoryEntry *KeywordHistory_Go(KeywordHistory *h, int steps)
{
    int target = h->position + steps;
    if (steps == 0 || target < 0 || target >= h->count) return nullptr;
    h->position = target;
    return &h->entries[target];
}

HMENU KeywordHistory_Menu(const KeywordHistory *h, int forward)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    if (!forward) {
        int first = h->position - 5 < 0 ? 0 : h->position - 5;
        for (int i = h->position - 1, k = 0; i >= first && i < h->count; i--, k++)
            AppendMenuA(menu, MF_STRING, UIA_CMD_BACK + k, h->entries[i].text.c_str());
    } else {
        int last = h->position + 5 < h->count - 1 ? h->position + 5 : h->count - 1;
        for (int i = h->position + 1, k = 0; i <= last; i++, k++)
            AppendMenuA(menu, MF_STRING, UIA_CMD_FORWARD + k, h->entries[i].text.c_str());
    }
    return menu;
}

// ---- Web lookup ------------------------------------------------------------------------------------

namespace {

const size_t kMaxWebAddress = 2048;  // longest address handed to the shell

bool Unreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// The text in UTF-8 from the code page of its charset (the system's when the charset has none).
std::string ToUtf8(const char *text, int charset)
{
    CHARSETINFO info = {};
    UINT codePage = CP_ACP;
    if (charset >= 0 && TranslateCharsetInfo((DWORD *)(UINT_PTR)(unsigned)charset, &info, TCI_SRCCHARSET))
        codePage = info.ciACP;
    int wide = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (wide <= 0) return text;
    std::vector<wchar_t> w((size_t)wide);
    MultiByteToWideChar(codePage, 0, text, -1, w.data(), wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return text;
    std::string out((size_t)bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize((size_t)bytes - 1);
    return out;
}

// The web address of the user's format with the word; false, address empty, for an empty word or
// an address over the limit.
bool WebAddress(const char *format, const char *text, int charset, std::string *address)
{
    address->clear();
    if (!format || !text || !text[0]) return false;
    std::string escaped;
    for (unsigned char c : ToUtf8(text, charset)) {
        if (Unreserved(c)) {
            escaped += (char)c;
        } else {
            char hex[4];
            snprintf(hex, sizeof hex, "%%%02X", c);
            escaped += hex;
        }
    }
    // The address is the user's own text: its first "%s" takes the word and "%%" stands for one
    // '%'; every other character, other '%' sequences included, is copied as it stands.
    bool placed = false;
    for (const char *s = format; *s; s++) {
        if (s[0] == '%' && s[1] == 's' && !placed) {
            *address += escaped;
            placed = true;
            s++;
        } else if (s[0] == '%' && s[1] == '%') {
            *address += '%';
            s++;
        } else {
            *address += *s;
        }
        if (address->size() > kMaxWebAddress) break;
    }
    if (address->empty() || address->size() > kMaxWebAddress) {
        address->clear();
        return false;
    }
    return true;
}

// Opens the address of the options' chosen web link with the word; false when nothing was opened.
bool OpenWeb(const char *text, int charset)
{
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    // The chosen entry of the list, which ends at the first entry without a name.
    const WebLink *link = nullptr;
    for (int i = 0; options.WebList && options.WebList[i].Name[0]; i++)
        if (i == options.CurItem) link = &options.WebList[i];
    std::string address;
    bool built = link && WebAddress(link->Address, text, charset, &address);
    Prefstore_FreeWebList(&options);
    if (!built) return false;
    return (INT_PTR)ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL) > 32;
}

// ---- Usage count -----------------------------------------------------------------------------------

// One search more in today's usage.
void CountSearch()
{
    if (Sharedkit_SendToMain(VLM_COUNT_USAGE, VLM_COUNT_SEARCH, 0)) return;
    // No resident program to count it: today's record of the operation log takes it.
    OprLogDay day = {};
    if (!Chartpane_ReadDays(&day, 1)) return;
    day.searchCount++;
    Chartpane_WriteDay(&day);
}

}  // namespace

// ---- The pane ------------------------------------------------------------------------------------

struct KeywordPane {
    SearchWindow *sw;
    HWND pane;
    int searchType;
    int incremental;
    KeywordHistory history;
};

namespace {

const UINT_PTR kTypingTimer = 100;
const UINT kTypingDelay = 500;  // ms after the last keystroke
const int kWheelStep = WHEEL_DELTA;

VLWordList *WordsOf(const KeywordPane *k)
{
    HWND list = GetDlgItem(k->pane, QUERYDESK_ID_LIST);
    return list ? (VLWordList *)SendMessageA(list, VLDLM_GETLIST, 0, 0) : nullptr;
}

DWORD SearchFlags(const KeywordPane *k)
{
    return k->sw->searchOption | (k->searchType ? LEXSHELF_SF_NO_ANALYSIS : 0);
}

void SetKeyword(HWND pane, int charset, const char *text)
{
    if (!text) text = "";
    if (charset < 0 || charset > 255) charset = (int)Strandkit_GetMainCharset(text);
    std::vector<char> plain(strlen(text) + 1);
    Strandkit_StripTagsTo(plain.data(), text);
    SendDlgItemMessageA(pane, UIA_IDC_PANE_EDIT, QFM_SETTEXTEX, (WPARAM)charset, (LPARAM)plain.data());
}

// The list's rows shown after a search: the count in the status bar, the first row in the viewer,
// the tools brought in line and the field focused.
void AfterSearch(KeywordPane *k, const VLWordList *words, bool refresh)
{
    SearchWindow_UpdateStatus(k->sw, words->count);
    SendMessageA(k->pane, PANE_SHOW_RESULTS, refresh, 0);
    SetFocus(GetDlgItem(k->pane, UIA_IDC_PANE_EDIT));
}

void Search(KeywordPane *k, bool historyMove)
{
    SearchWindow *sw = k->sw;
    KillTimer(k->pane, kTypingTimer);
    if (!sw->currentId) return;
    char text[257] = "";
    LRESULT r = SendDlgItemMessageA(k->pane, UIA_IDC_PANE_EDIT, QFM_GETTEXTEX, sizeof text, (LPARAM)text);
    int charset = HIWORD(r);
    if (!text[0]) return;
    // The web lookup leaves the list and the history as they are.
    if (sw->currentId == QUERYDESK_WEB_ID) {
        OpenWeb(text, charset);
        return;
    }
    VLWordList *words = WordsOf(k);
    if (!words) return;
    char tagged[sizeof text + 8];
    Strandkit_AddCharsetTag(charset, text, tagged);
    DWORD flags = SearchFlags(k);
    Lexshelf_SearchDics(tagged, sw->currentId, (DWORD)k->searchType, flags, words);
    if (words->count > 0 && !historyMove) {
        KeywordHistory_Add(&k->history, sw->currentId, flags, tagged);
        CountSearch();
    }
    AfterSearch(k, words, false);
}

void SearchByLanguages(KeywordPane *k, int charset, const char *text)
{
    VLWordList *words = WordsOf(k);
    if (!words || !text) return;
    Lexshelf_SearchByLanguages(text, 0, 1, charset, words);
    SetKeyword(k->pane, charset, text);
    if (words->count > 0) {
        std::vector<char> tagged(strlen(text) + 8);
        Strandkit_AddCharsetTag(charset, text, tagged.data());
        KeywordHistory_Add(&k->history, k->sw->currentId, SearchFlags(k), tagged.data());
    }
    AfterSearch(k, words, false);
}

// The history entry steps away searched again (its dictionary or group made current), not added.
void HistoryGo(KeywordPane *k, int steps)
{
    const KeywordHistoryEntry *e = KeywordHistory_Go(&k->history, steps);
    if (!e) return;
    if (e->id != k->sw->currentId) SearchWindow_SetCurrent(k->sw, e->id, false);
    SetKeyword(k->pane, -1, e->text.c_str());
    Search(k, true);
}

void HistoryMenu(KeywordPane *k, UINT button, const RECT *at)
{
    HMENU menu = KeywordHistory_Menu(&k->history, button == UIA_CMD_FORWARD);
    if (!menu) return;
    UINT command = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at ? at->left : 0,
                                        at ? at->bottom : 0, 0, k->pane, nullptr);
    DestroyMenu(menu);
    if (command >= UIA_CMD_BACK && command < UIA_CMD_FORWARD) HistoryGo(k, -(int)(command - UIA_CMD_BACK + 1));
    if (command >= UIA_CMD_FORWARD && command < UIA_CMD_FORWARD + 5) HistoryGo(k, (int)(command - UIA_CMD_FORWARD + 1));
    SearchWindow_UpdateTools(k->sw);
}

void ShowEntries(KeywordPane *k, int later)
{
    VLWordList *words = WordsOf(k);
    if (!words || !Neighbour_Show(words, later)) return;
    AfterSearch(k, words, true);
}

void OnCommand(KeywordPane *k, UINT id, UINT code)
{
    if (id == UIA_IDC_PANE_SEARCH || id == IDOK) Search(k, false);
    if (id != UIA_IDC_PANE_EDIT) return;
    if (code == EN_CHANGE && k->incremental) SetTimer(k->pane, kTypingTimer, kTypingDelay, nullptr);
    if (code == EN_SETFOCUS) PostMessageA(GetDlgItem(k->pane, UIA_IDC_PANE_EDIT), QFM_SELECTALL, 0, 0);
}

}  // namespace

KeywordPane *KeywordPane_New(SearchWindow *sw, HWND pane)
{
    KeywordPane *k = new KeywordPane;
    k->sw = sw;
    k->pane = pane;
    k->searchType = 0;
    k->incremental = 0;
    return k;
}

void KeywordPane_Delete(KeywordPane *k)
{
    if (!k) return;
    KillTimer(k->pane, kTypingTimer);
    delete k;
}

bool KeywordPane_Handle(KeywordPane *k, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    *result = 0;
    switch (message) {
    case WM_COMMAND:
        OnCommand(k, LOWORD(wParam), HIWORD(wParam));
        return true;
    case WM_TIMER:
        if (wParam != kTypingTimer) return false;
        Search(k, false);
        return true;
    case WM_MOUSEWHEEL: {
        // Shift and the wheel step through the history, one entry per notch or more.
        if (!(GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT)) return false;
        int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        if (delta <= -kWheelStep) HistoryGo(k, -1);
        if (delta >= kWheelStep) HistoryGo(k, 1);
        return true;
    }
    case PANE_SET_KEYWORD:
        SetKeyword(k->pane, (int)wParam, (const char *)lParam);
        return true;
    case PANE_SET_SEARCH:
        k->searchType = (int)wParam;
        k->incremental = (int)lParam;
        return true;
    case QUERYDESK_PANE_HISTORY_GO:
        HistoryGo(k, (int)wParam);
        return true;
    case QUERYDESK_PANE_HISTORY_MENU:
        HistoryMenu(k, (UINT)wParam, (const RECT *)lParam);
        return true;
    case QUERYDESK_PANE_HISTORY_CAN:
        *result = KeywordHistory_Can(&k->history, (int)wParam);
        return true;
    case QUERYDESK_PANE_ENTRIES_CAN:
        *result = Neighbour_Exists(WordsOf(k), (int)wParam);
        return true;
    case QUERYDESK_PANE_ENTRIES_SHOW:
        ShowEntries(k, (int)wParam);
        return true;
    case QUERYDESK_PANE_SEARCH_LANGUAGES:
        SearchByLanguages(k, (int)(wParam & 0xFF), (const char *)lParam);
        return true;
    }
    return false;
}
