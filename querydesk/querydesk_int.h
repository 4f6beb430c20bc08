// What the files of the search station share: the process's station record (frame, slots and the
// resources every search window uses), the search window's record and the operations the frame,
// the window, its panes and the progress box offer each other.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "querydesk.h"

// ---- Station (one per process, made by the program entry) --------------------------------------
struct Station {
    HINSTANCE instance = nullptr;
    HMODULE assets = nullptr;          // Uiassets.dll
    HWND main = nullptr;               // the hidden main window
    HWND slots[QUERYDESK_MAX_WINDOWS] = {};
    HBRUSH halftone = nullptr;         // splitter bars
    HFONT guiFont = nullptr;
    HCURSOR splitCursor = nullptr, splitCursor2 = nullptr;
    HACCEL accelerators = nullptr;
    HWND orderDialog = nullptr;
    ToolTipManager *tips = nullptr;
    bool tornDown = false;             // the main window's teardown ran
};
Station *Station_Get();

// frame.cpp
bool Frame_RegisterClass(HINSTANCE instance);
void Frame_UnregisterClass(HINSTANCE instance);
HWND Frame_Create(HINSTANCE instance);
// A new search window in the lowest free slot, brought to the foreground; null when all are taken.
HWND Frame_OpenSearchWindow();
// The frontmost search window of this station (first in Z order), or null.
HWND Frame_Frontmost();
// Sends the message to every search window.
void Frame_SendToAll(UINT message, WPARAM wParam, LPARAM lParam);

// ---- Search window ------------------------------------------------------------------------------
struct SearchWindow {
    int slot = -1;
    HWND owner = nullptr;              // the window itself
    HWND rebar = nullptr, toolbar = nullptr, dicBar = nullptr, tab = nullptr;
    HWND panes[4] = {};                // by tab: contents, headword, keyword, condition
    HWND status = nullptr;
    HWND sendText = nullptr;
    HWND sendTextViewer = nullptr;     // the viewer the send-text dialog sends to
    int currentTab = -1;
    DWORD currentId = 0;               // dictionary or group
    DWORD searchOption = 0;
    int searchType = 0;                // of the keyword pane
    int incremental = 0;
    int toolButtons = 0;
    bool saved = false;
};
bool SearchWindow_RegisterClass(HINSTANCE instance);
void SearchWindow_UnregisterClass(HINSTANCE instance);
HWND SearchWindow_Create(int slot);
SearchWindow *SearchWindow_Of(HWND window);
// The frame loop's hand-over of a message for the frontmost window: true when it took it.
bool SearchWindow_PreTranslate(HWND window, MSG *msg);
void SearchWindow_ShowTab(SearchWindow *sw, int tab);
// Makes the id current; fromChoice when the user chose it in the bar or the order dialog.
void SearchWindow_SetCurrent(SearchWindow *sw, DWORD id, bool fromChoice);
// Status bar: the count (-1 leaves part 0 as it is), the search kind and the current name.
void SearchWindow_UpdateStatus(SearchWindow *sw, int count);
void SearchWindow_UpdateTools(SearchWindow *sw);
HWND SearchWindow_ActivePane(const SearchWindow *sw);
// The lists and viewers of the panes (null where a pane has none).
HWND SearchWindow_PaneList(const SearchWindow *sw, int tab);
HWND SearchWindow_PaneViewer(const SearchWindow *sw, int tab);
void SearchWindow_Layout(SearchWindow *sw);

// swindow_cmd.cpp
void SearchWindow_OnCommand(SearchWindow *sw, UINT command);
LRESULT SearchWindow_OnNotify(SearchWindow *sw, NMHDR *header);
void SearchWindow_OnInitMenuPopup(SearchWindow *sw, HMENU menu, int index);
void SearchWindow_OnDeliverItem(SearchWindow *sw, WPARAM flags, LPARAM id);
void SearchWindow_OnShowEntry(SearchWindow *sw, DWORD dicId, LONG entry);
void SearchWindow_OnOptionsChanged(SearchWindow *sw);

// ---- Panes (modeless dialogs in the tab's area) --------------------------------------------------
// Private messages of every pane besides those of querydesk.h.
#define PANE_SET_SPLITTER  (WM_APP + 0x101) /* position, - */
#define PANE_GET_SPLITTER  (WM_APP + 0x102) /* -, - -> position */
#define PANE_SET_KEYWORD   (WM_APP + 0x103) /* charset, text: the edit field's text (keyword pane) */
#define PANE_SHOW_RESULTS  (WM_APP + 0x104) /* refresh the rows first, - : first row shown, tools */
#define PANE_SET_SEARCH    (WM_APP + 0x105) /* search type, incremental switch (keyword pane) */
HWND Pane_Create(SearchWindow *sw, int tab);
// The pane's own keyword text without tags (keyword pane), at most cap bytes; its length.
int Pane_KeywordText(HWND pane, char *text, int cap);

// pane_keyword.cpp: the keyword pane's history of searches.
#define KEYWORD_HISTORY_SIZE 11
struct KeywordHistoryEntry {
    DWORD id = 0;      // dictionary or group
    DWORD flags = 0;   // search flags
    std::string text;
};
struct KeywordHistory {
    KeywordHistoryEntry entries[KEYWORD_HISTORY_SIZE];
    int position = 0, count = 0;
    bool full = false;
};
void KeywordHistory_Add(KeywordHistory *h, DWORD id, DWORD flags, const char *text);
// Whether back (0) or forward (1) by one step is possible.
bool KeywordHistory_Can(const KeywordHistory *h, int forward);
// The entry steps away from the position, made the position; null (nothing moved) when outside.
const KeywordHistoryEntry *KeywordHistory_Go(KeywordHistory *h, int steps);
// The drop-down menu of the entries back (0) or forward (1), nearest first (commands by steps).
HMENU KeywordHistory_Menu(const KeywordHistory *h, int forward);
// The pane's own record, and its messages: true when the message was the keyword pane's, with its
// answer in *result.
struct KeywordPane;
KeywordPane *KeywordPane_New(SearchWindow *sw, HWND pane);
void KeywordPane_Delete(KeywordPane *k);
bool KeywordPane_Handle(KeywordPane *k, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);

// pane_condition.cpp: the condition dialog and its condition blocks.
#define CONDITION_HEADWORD 1
#define CONDITION_TEXT 8
#define CONDITION_NUMBER 16
#define CONDITION_LABEL1 32
struct ConditionBlock {          // 284 bytes, zero-filled
    DWORD kind;                  // 1, 2, 4, 8 text fields; 16 number; 32, 64, 128 label kinds
    DWORD charset;               // of the text
    char text[256];
    DWORD unused264;
    DWORD textLen;
    DWORD value;                 // the number, or the chosen label value
    DWORD joining;               // 0 and, 1 or
    DWORD unused280;
};
struct ConditionRequest {
    const ConditionBlock *blocks;
    int count;
    int mode;                    // 1 with the exact-match choice
};
#define PANE_SET_CONDITIONS (WM_APP + 0x106) /* -, ConditionRequest* (condition pane) */
// Opens the pane's condition dialog for the current dictionary or group id, or brings the one open
// forward; the dialog.  The dialog takes QUERYDESK_SET_CURRENT (id, -) when another is chosen.
HWND ConditionDialog_Open(HWND pane, HWND current, DWORD id);
std::vector<LexicoreCondition> ConditionBlocks_ToEngine(const ConditionBlock *blocks, int count);

// pane_headword.cpp: the headword pane, and the splitter bar of the headword, contents and
// condition panes (the bar follows the mouse; the new position is stored on release).
HWND HeadwordPane_Create(SearchWindow *sw);
// pane_contents.cpp: the contents pane.
HWND ContentsPane_Create(SearchWindow *sw);
struct Splitter {
    bool dragging;
    int bar;
};
// A pane's answer to a message of its dialog procedure: the result in DWLP_MSGRESULT, TRUE.
INT_PTR Pane_Answer(HWND pane, LRESULT result);
int Splitter_Clamp(int position, int width);
// True when the message was the splitter's (the position is set on release).
bool Splitter_Handle(Splitter *s, HWND pane, UINT message, WPARAM wParam, LPARAM lParam, int *position);

// ---- Search progress box (its own thread) --------------------------------------------------------
struct SearchProgress {
    HWND box;                  // set by the box
    volatile LONG count;       // set by the callback
    volatile LONG cancel;      // set by the box
    HANDLE thread;
    volatile LONG closeAllowed;
    volatile LONG done;        // the search has returned: the box ends itself
    HANDLE ready;              // set once the box has its window (or could not make one)
    LONG delay;                // pause per item (QUERYDESK_PROGRESS_DELAY, tests)
};
// Starts the box's thread; false when it could not start (the search runs without a box).
bool Progress_Start(SearchProgress *progress);
// The progress procedure of a full-text search (user: the record).
int CALLBACK Progress_Callback(VLDataItem *item, int perMille, void *user);
// After the search: the box stays at least half a second, then ends; its thread is waited for.
void Progress_Finish(SearchProgress *progress);
