// The four panes of a search window as modeless dialogs in the tab's area, each laid out around its
// splitter position: the contents tree (0), the headword index (1), the keyword search (2) and the
// condition search (3).  The panes answer the window's messages (querydesk.h, querydesk_int.h);
// what each pane does beyond that plugs in here.  The keyword pane's own messages go to its record
// (pane_keyword.cpp); the condition pane runs a full-text search under the progress box.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include <vector>

#include "lexicore.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "quickfield.h"
#include "scrivshow.h"
#include "strandkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const int kDefaultSplitter = 180;
const int kMinSplitter = 30;
const int kDefaultMaxData = 1000;
const int kEditHeight = 22;
const int kButtonWidth = 56;
const DWORD kTextCondition = 8;  // entry text contains

const UINT kTemplates[4] = {UIA_IDD_PANE_CONTENTS, UIA_IDD_PANE_HEADWORDS, UIA_IDD_PANE_KEYWORD,
                            UIA_IDD_PANE_CONDITIONS};

struct Pane {
    SearchWindow *sw;
    int tab;
    int splitter;
    std::vector<LexicoreCondition> conditions;  // of the next condition search
    HWND list, viewer;
    KeywordPane *keyword;    // keyword pane
    HWND conditionDialog;    // condition pane
    DWORD matchAll;
};

Pane *PaneOf(HWND pane) { return (Pane *)GetWindowLongPtrA(pane, DWLP_USER); }

VLWordList *WordsOf(const Pane *p)
{
    return p->list ? (VLWordList *)SendMessageA(p->list, VLDLM_GETLIST, 0, 0) : nullptr;
}

void MakeControls(Pane *p, HWND pane)
{
    SearchWindowOptions options = {};
    SearchWindowLayout layout = {};
    Prefstore_LoadSearchWindow(&options, &layout);
    int maximum = options.MaxData > 0 ? options.MaxData : kDefaultMaxData;
    Prefstore_FreeWebList(&options);
    if (p->tab == QUERYDESK_TAB_KEYWORD || p->tab == QUERYDESK_TAB_CONDITION)
        p->list = Widgetry_CreateDataList(WS_EX_CLIENTEDGE,
                                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | VLDLS_HEADWORD | VLDLS_DICTIONARY, 0,
                                          0, 10, 10, 0, QUERYDESK_ID_LIST, pane, maximum);
    if (p->tab != QUERYDESK_TAB_CONTENTS)
        p->viewer = Scrivshow_CreateViewer(WS_EX_CLIENTEDGE, 0x50210000, 0, 0, 10, 10, pane, QUERYDESK_ID_VIEWER);
    if (HWND edit = GetDlgItem(pane, UIA_IDC_PANE_EDIT)) SendMessageA(edit, QFM_SETCHARSET, Strandkit_GetUiCharset(), 0);
}

void Place(HWND pane, int id, int x, int y, int cx, int cy)
{
    if (HWND child = GetDlgItem(pane, id)) SetWindowPos(child, nullptr, x, y, cx < 0 ? 0 : cx, cy < 0 ? 0 : cy, SWP_NOZORDER);
}

void Layout(Pane *p, HWND pane)
{
    RECT rc;
    GetClientRect(pane, &rc);
    int w = rc.right, h = rc.bottom;
    int s = p->splitter;
    if (s > w - kMinSplitter) s = w - kMinSplitter;
    if (s < kMinSplitter) s = kMinSplitter;
    switch (p->tab) {
    case QUERYDESK_TAB_CONTENTS:
        Place(pane, UIA_IDC_PANE_TREE, 0, 0, s, h);
        break;
    case QUERYDESK_TAB_HEADWORD:
        Place(pane, UIA_IDC_PANE_EDIT, 0, 0, s, kEditHeight);
        Place(pane, UIA_IDC_PANE_INDEX, 0, kEditHeight + 4, s, h - kEditHeight - 4);
        break;
    case QUERYDESK_TAB_KEYWORD:
        Place(pane, UIA_IDC_PANE_EDIT, 0, 0, s - kButtonWidth - 4, kEditHeight);
        Place(pane, UIA_IDC_PANE_SEARCH, s - kButtonWidth, 0, kButtonWidth, kEditHeight);
        Place(pane, QUERYDESK_ID_LIST, 0, kEditHeight + 4, s, h - kEditHeight - 4);
        break;
    case QUERYDESK_TAB_CONDITION:
        Place(pane, UIA_IDC_PANE_CONDITIONS, 0, 0, s, kEditHeight);
        Place(pane, QUERYDESK_ID_LIST, 0, kEditHeight + 4, s, h - kEditHeight - 4);
        break;
    }
    if (p->tab != QUERYDESK_TAB_KEYWORD) Place(pane, UIA_IDC_PANE_SPLITTER, s + 4, 0, 2, h);
    Place(pane, QUERYDESK_ID_VIEWER, s + 8, 0, w - s - 8, h);
}

// The first row selected and shown (the list's rows rebuilt first when the caller changed the word
// list itself; the dictionary manager's searches rebuild them), the window's tools brought in line.
void ShowResults(Pane *p, bool refresh)
{
    VLWordList *words = WordsOf(p);
    if (!words) return;
    if (refresh) SendMessageA(p->list, VLDLM_REFRESH, 0, 0);
    if (words->count > 0) {
        SendMessageA(p->list, VLDLM_SELECTROW, 0, 0);
        if (p->viewer) Lexicore_SelectListItem(p->viewer, words, 0);
    }
    SearchWindow_UpdateTools(p->sw);
}

// The condition search over the pane's conditions, with the progress box on its own thread.
void ConditionSearch(Pane *p)
{
    SearchWindow *sw = p->sw;
    VLWordList *words = WordsOf(p);
    if (!sw->currentId || !words || p->conditions.empty()) return;
    std::vector<LexicoreCondition> conditions = p->conditions;
    SearchProgress progress = {};
    bool box = Progress_Start(&progress);
    Lexshelf_SearchList(sw->currentId, conditions.data(), (int)conditions.size(), p->matchAll, sw->searchOption, words,
                        (void *)Progress_Callback, &progress);
    if (box) Progress_Finish(&progress);
    // The manager rebuilt the rows as the search ended (the list names its window); only its
    // redraw is let go here.
    SendMessageA(p->list, VLDLM_LOCK, VLDL_UNLOCK, 0);
    SearchWindow_UpdateStatus(sw, words->count);
    ShowResults(p, false);
}

// Until the condition dialog takes its place: one condition, entry text containing the keyword.
void ConditionsFromKeyword(Pane *p)
{
    p->conditions.clear();
    char text[256] = "";
    Pane_KeywordText(p->sw->panes[QUERYDESK_TAB_KEYWORD], text, sizeof text);
    if (!text[0]) return;
    LexicoreCondition c;
    memset(&c, 0, sizeof c);
    c.kind = kTextCondition;
    lstrcpynA(c.text, text, sizeof c.text);
    c.textLen = (DWORD)strlen(c.text);
    p->conditions.push_back(c);
}

void OnCommand(Pane *p, HWND pane, UINT id, bool fromButton)
{
    // The pane's button opens the condition dialog; the window's command runs the search at once
    // with the dialog's conditions, or without them for the keyword's text in entry texts.
    if (id == UIA_IDC_PANE_CONDITIONS && p->tab == QUERYDESK_TAB_CONDITION) {
        if (fromButton) {
            p->conditionDialog = ConditionDialog_Open(pane, p->conditionDialog, p->sw->currentId);
        } else {
            if (!p->conditionDialog || !IsWindow(p->conditionDialog)) ConditionsFromKeyword(p);
            ConditionSearch(p);
        }
    }
}

INT_PTR CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam)
{
    Pane *p = PaneOf(pane);
    if (message == WM_INITDIALOG) {
        p = (Pane *)lParam;
        SetWindowLongPtrA(pane, DWLP_USER, (LONG_PTR)p);
        MakeControls(p, pane);
        if (p->tab == QUERYDESK_TAB_KEYWORD) p->keyword = KeywordPane_New(p->sw, pane);
        return FALSE;
    }
    if (!p) return FALSE;
    LRESULT answer = 0;
    if (p->keyword && KeywordPane_Handle(p->keyword, message, wParam, lParam, &answer)) return Pane_Answer(pane, answer);
    switch (message) {
    case WM_SIZE:
        Layout(p, pane);
        return TRUE;
    case WM_COMMAND:
        OnCommand(p, pane, LOWORD(wParam), lParam != 0);
        return TRUE;
    case VLDLN_CHOOSE: {
        VLWordList *words = WordsOf(p);
        if (words && p->viewer) Lexicore_SelectListItem(p->viewer, words, LOWORD(wParam));
        SearchWindow_UpdateTools(p->sw);
        return TRUE;
    }
    case PANE_SET_SPLITTER:
        p->splitter = (int)wParam;
        Layout(p, pane);
        return TRUE;
    case PANE_GET_SPLITTER:
        return Pane_Answer(pane, p->splitter);
    case PANE_SET_CONDITIONS: {
        // The joining operators: every condition must hold unless one row is joined with "or".
        const ConditionRequest *r = (const ConditionRequest *)lParam;
        p->conditions = ConditionBlocks_ToEngine(r->blocks, r->count);
        p->matchAll = 1;
        for (int i = 1; i < r->count; i++)
            if (r->blocks[i].joining) p->matchAll = 0;
        return TRUE;
    }
    case PANE_SHOW_RESULTS:
        ShowResults(p, wParam != 0);
        return TRUE;
    case QUERYDESK_SET_CURRENT:
        // The open condition dialog's field lists follow the dictionary.
        if (p->conditionDialog && IsWindow(p->conditionDialog))
            SendMessageA(p->conditionDialog, QUERYDESK_SET_CURRENT, wParam, lParam);
        return Pane_Answer(pane, 0);
    case QUERYDESK_PANE_ENTRIES_SHOW:
        return Pane_Answer(pane, 0);
    case QUERYDESK_PANE_ENTRIES_CAN:
        return Pane_Answer(pane, 0);
    case QUERYDESK_PANE_RUN_CONDITION:
        if (p->tab == QUERYDESK_TAB_CONDITION) ConditionSearch(p);
        return Pane_Answer(pane, 1);
    case WM_DESTROY:
        if (p->conditionDialog && IsWindow(p->conditionDialog)) DestroyWindow(p->conditionDialog);
        if (p->viewer) DestroyWindow(p->viewer);
        if (p->list) DestroyWindow(p->list);
        p->viewer = p->list = nullptr;
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(pane, DWLP_USER, 0);
        KeywordPane_Delete(p->keyword);
        delete p;
        return FALSE;
    }
    return FALSE;
}

}  // namespace

INT_PTR Pane_Answer(HWND pane, LRESULT result)
{
    SetWindowLongPtrA(pane, DWLP_MSGRESULT, result);
    return TRUE;
}

HWND Pane_Create(SearchWindow *sw, int tab)
{
    if (tab == QUERYDESK_TAB_HEADWORD) return HeadwordPane_Create(sw);
    if (tab == QUERYDESK_TAB_CONTENTS) return ContentsPane_Create(sw);
    Pane *p = new Pane{sw, tab, kDefaultSplitter, {}, nullptr, nullptr, nullptr, nullptr, 1};
    HWND pane = CreateDialogParamA(Station_Get()->assets, MAKEINTRESOURCEA(kTemplates[tab]), sw->owner, PaneProc,
                                   (LPARAM)p);
    if (!pane) delete p;
    return pane;
}

int Pane_KeywordText(HWND pane, char *text, int cap)
{
    if (cap <= 0) return 0;
    text[0] = 0;
    if (!pane) return 0;
    LRESULT r = SendDlgItemMessageA(pane, UIA_IDC_PANE_EDIT, QFM_GETTEXTEX, (WPARAM)cap, (LPARAM)text);
    return LOWORD(r);
}
