// The viewer window of one study list: the list's entries on the left (the data list), the
// chosen entry on the right (the entry viewer), a splitter between them, a tool bar and a status
// bar.  Entries handed over while it is open are added to it; the history and the active list are
// written back when it closes, other lists only by the save command.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include "drillbook_int.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "scrivshow.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "vocabank.h"
#include "widgetry.h"

namespace {

const DWORD kDataListStyle = 0x5000038E;
const DWORD kEntryStyle = 0x50A00000;
const int kSplitterWidth = 4;
const int kFileMaximum = 5000;  // what a study-list file holds

struct ViewerState {
    HWND window, rebar, toolbar, status, dataList, entry, manager, sendText;
    const char *path;       // the manager's record holds it
    DWORD role;
    HMENU menu;
    HICON bigIcon, smallIcon;
    StudyWindowOptions options;
    ShownList shown;
    int listWidth, dragPos;
    bool dragging;
};


bool IsHistory(const ViewerState *s) { return (s->role & LEXSHELF_ROLE_HISTORY) != 0; }

// The number of entries a history viewer shows; without a stored number, all the file can hold.
int Cap(const ViewerState *s)
{
    if (!IsHistory(s)) return 0;
    return s->options.MaxData > 0 ? s->options.MaxData : kFileMaximum;
}

void UpdateStatus(ViewerState *s)
{
    char text[256];
    Uiassets_FormatString(text, sizeof text, UIA_IDS_LIST_WORD_COUNT, VLWordList_Count(s->shown.shown));
    SendMessageA(s->status, SB_SETTEXTA, 0, (LPARAM)text);
}

void Notice(ViewerState *s, const char *text)
{
    SendMessageA(s->status, SB_SETTEXTA, 0, (LPARAM)text);
    MessageBeep(MB_ICONEXCLAMATION);
}

void SetTitle(ViewerState *s)
{
    std::string title = Drill_String(UIA_IDS_CAPTION_STUDY) + " - " + Drill_DisplayName(s->path);
    SetWindowTextA(s->window, title.c_str());
}

void Layout(ViewerState *s)
{
    RECT rc;
    GetClientRect(s->window, &rc);
    int top, height;
    Drill_LayoutBars(s->window, s->rebar, s->status, &top, &height);
    MoveWindow(s->dataList, 0, top, s->listWidth, height, TRUE);
    int right = s->listWidth + kSplitterWidth;
    MoveWindow(s->entry, right, top, rc.right > right ? rc.right - right : 0, height, TRUE);
}

void UpdateWordCommands(ViewerState *s)
{
    HMENU word = s->menu ? GetSubMenu(s->menu, UIA_STUDY_VIEWER_WORD_MENU) : nullptr;
    Vocabank_UpdateCommands(word, s->toolbar, 0, s->dataList, nullptr);
}

bool MakeControls(ViewerState *s)
{
    static const DrillButton kButtons[] = {
        {31, UIA_CMD_SAVE, BTNS_BUTTON},      {0, 0, BTNS_SEP},
        {24, UIA_CMD_CUT, BTNS_BUTTON},       {25, UIA_CMD_COPY, BTNS_BUTTON},
        {26, UIA_CMD_PASTE, BTNS_BUTTON},     {0, 0, BTNS_SEP},
        {2, UIA_CMD_PRONOUNCE, BTNS_BUTTON},  {23, UIA_CMD_LANGUAGE_MANAGER, BTNS_BUTTON},
        {0, 0, BTNS_SEP},                     {20, UIA_CMD_ADD_TO_LIST, BTNS_BUTTON},
        {32, UIA_CMD_PRINT, BTNS_BUTTON}};
    static const DrillButton kPlain[] = {
        {31, UIA_CMD_SAVE, BTNS_BUTTON},      {0, 0, BTNS_SEP},
        {24, UIA_CMD_CUT, BTNS_BUTTON},       {25, UIA_CMD_COPY, BTNS_BUTTON},
        {26, UIA_CMD_PASTE, BTNS_BUTTON},     {0, 0, BTNS_SEP},
        {2, UIA_CMD_PRONOUNCE, BTNS_BUTTON},  {23, UIA_CMD_LANGUAGE_MANAGER, BTNS_BUTTON},
        {32, UIA_CMD_PRINT, BTNS_BUTTON}};
    if (IsHistory(s))
        s->toolbar = Drill_MakeToolbar(s->window, kButtons, sizeof kButtons / sizeof kButtons[0], &s->rebar);
    else
        s->toolbar = Drill_MakeToolbar(s->window, kPlain, sizeof kPlain / sizeof kPlain[0], &s->rebar);
    s->status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                s->window, (HMENU)DRILL_IDC_VIEWER_STATUS, g_drillInstance, nullptr);
    int maximum = s->options.MaxData > 0 ? s->options.MaxData : kFileMaximum;
    s->dataList = Widgetry_CreateDataList(WS_EX_CLIENTEDGE, kDataListStyle, 0, 0, s->listWidth, 200, 0,
                                          DRILL_IDC_LIST, s->window, maximum);
    s->entry = Scrivshow_CreateViewer(WS_EX_CLIENTEDGE, kEntryStyle, 0, 0, 240, 200, s->window, DRILL_IDC_ENTRY);
    return s->toolbar && s->status && s->dataList && s->entry;
}

bool OnCreate(HWND w, ViewerState *s, const CREATESTRUCTA *cs)
{
    s->window = w;
    s->manager = GetWindow(w, GW_OWNER);
    s->path = (const char *)cs->lpCreateParams;
    if (!s->path) return false;
    s->role = Lexshelf_GetListRole(s->path);
    s->listWidth = cs->cx / 2;
    s->menu = Uiassets_LoadMenu(UIA_IDM_STUDY_VIEWER);
    SetTitle(s);
    int image = IsHistory(s) ? kImageHistory : (s->role & LEXSHELF_ROLE_ACTIVE) ? kImageActive : kImageClosed;
    if (HIMAGELIST big = Drill_ManagerImages(s->manager, true)) s->bigIcon = ImageList_GetIcon(big, image, ILD_NORMAL);
    if (HIMAGELIST small = Drill_ManagerImages(s->manager, false))
        s->smallIcon = ImageList_GetIcon(small, image, ILD_NORMAL);
    SendMessageA(w, WM_SETICON, ICON_BIG, (LPARAM)s->bigIcon);
    SendMessageA(w, WM_SETICON, ICON_SMALL, (LPARAM)s->smallIcon);

    StudyWindowLayout layout;
    Prefstore_LoadStudyWindow(&s->options, &layout);
    if (!MakeControls(s)) return false;

    s->shown.shown = (VLWordList *)SendMessageA(s->dataList, VLDLM_GETLIST, 0, 0);
    if (!s->shown.shown) return false;
    Drill_LoadShown(s->path, Cap(s), &s->shown);
    LONG maximum = IsHistory(s) ? Cap(s) : s->shown.shown->maximum;
    if (!IsHistory(s) && maximum < kFileMaximum) maximum = kFileMaximum;
    SendMessageA(s->dataList, VLDLM_SETMAXCOUNT, maximum, 0);
    SendMessageA(s->dataList, VLDLM_REFRESH, 0, 0);

    SendMessageA(s->toolbar, TB_ENABLEBUTTON, UIA_CMD_PRONOUNCE,
                 SendMessageA(s->dataList, VLDLM_HASLANGITEM, 0, 0) != 0);
    SendMessageA(s->toolbar, TB_ENABLEBUTTON, UIA_CMD_LANGUAGE_MANAGER, SendMessageA(s->entry, SCV_LANGMANAGER, 0, 0) != 0);
    Prefstore_ApplyViewSettings(s->entry, &s->options.View, 1);
    SetMenu(w, s->menu);
    Layout(s);
    Drill_Place(w, layout.ViewerX, layout.ViewerY, layout.ViewerCx, layout.ViewerCy, layout.ViewerMaximized);
    UpdateStatus(s);
    return true;
}

void Rebuild(ViewerState *s)
{
    SendMessageA(s->dataList, VLDLM_REFRESH, 0, 0);
    LONG count = VLWordList_Count(s->shown.shown);
    if (count > 0) SendMessageA(s->dataList, VLDLM_ENSUREVISIBLE, count - 1, 0);
    UpdateStatus(s);
}

// An entry handed over by another program: its position in the list, or a refusal the sender
// can tell apart from "nobody took it".
LRESULT OnDelivered(ViewerState *s, LPARAM id)
{
    VLDataItem *item = (VLDataItem *)Sharedkit_GetDeliveredEntry(id);
    if (!item) return DRILL_DELIVERY_REFUSED;
    LONG position = Drill_AddEntry(&s->shown, Cap(s), item);
    VLDataItem_Destroy(item);
    if (position <= 0) {
        char text[512];
        Uiassets_FormatString(text, sizeof text, UIA_IDS_LIST_FULL, Drill_DisplayName(s->path).c_str(),
                              (int)VLWordList_Count(s->shown.shown));
        Notice(s, text);
        return DRILL_DELIVERY_REFUSED;
    }
    Rebuild(s);
    return position;
}

void OnOptionsChanged(ViewerState *s)
{
    StudyWindowLayout layout;
    Prefstore_LoadStudyWindow(&s->options, &layout);
    if (IsHistory(s)) {
        // Entries beyond a smaller cap are kept aside, not dropped.
        Drill_MakeRoom(&s->shown, Cap(s) + 1);
        SendMessageA(s->dataList, VLDLM_SETMAXCOUNT, Cap(s), 0);
    }
    SendMessageA(s->dataList, VLDLM_REFRESH, 0, 0);
    Prefstore_ApplyViewSettings(s->entry, &s->options.View, 1);
    UpdateStatus(s);
}

// ---- Saving the history list under a name of its own -----------------------------------------

INT_PTR CALLBACK SaveAsProc(HWND dialog, UINT m, WPARAM wp, LPARAM lp)
{
    switch (m) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lp);
        SendDlgItemMessageA(dialog, UIA_IDC_SAVE_NAME, EM_LIMITTEXT, MAX_PATH - 1, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            char *name = (char *)GetWindowLongPtrA(dialog, DWLP_USER);
            GetDlgItemTextA(dialog, UIA_IDC_SAVE_NAME, name, MAX_PATH);
            EndDialog(dialog, name[0] ? IDOK : IDCANCEL);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

bool AskName(ViewerState *s, char *name)
{
    name[0] = 0;
    char value[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("DRILLBOOK_SAVEAS_ANSWER", value, sizeof value);
    if (n > 0 && n < sizeof value) {
        memcpy(name, value, n + 1);
        return true;
    }
    if (n == 0 && GetLastError() != ERROR_ENVVAR_NOT_FOUND) return false;
    return DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_SAVE_HISTORY), s->window, SaveAsProc,
                           (LPARAM)name) == IDOK &&
           name[0];
}

// Writes what the viewer shows (and keeps aside) into a new list of the folder, never over an
// existing file, and adds its row to the manager.
void SaveHistoryAs(ViewerState *s)
{
    char name[MAX_PATH];
    if (!AskName(s, name)) return;
    size_t length = strlen(name);
    if (length > 4 && lstrcmpiA(name + length - 4, ".vlh") == 0) name[length - 4] = 0;
    char folder[MAX_PATH] = "";
    Lexshelf_GetListFolder(folder);
    if (!Drill_NameUsable(folder, name)) {
        Notice(s, Drill_String(UIA_IDS_LIST_BAD_NAME).c_str());
        return;
    }
    std::string path = Drill_ListPath(folder, name);
    DWORD error = 0;
    char text[512];
    if (!Drill_WriteNewFile(&s->shown, path.c_str(), &error)) {
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            Uiassets_FormatString(text, sizeof text, UIA_IDS_LIST_NAME_TAKEN, name);
        else
            Uiassets_FormatString(text, sizeof text, UIA_IDS_LIST_FILE_FAILED, path.c_str());
        Notice(s, text);
        return;
    }
    SendMessageA(s->manager, DRILL_MM_ADDFILE, 0, (LPARAM)path.c_str());
}

void Save(ViewerState *s)
{
    if (IsHistory(s)) {
        SaveHistoryAs(s);
        return;
    }
    if (!Drill_WriteShown(&s->shown, s->path)) {
        char text[512];
        Uiassets_FormatString(text, sizeof text, UIA_IDS_LIST_FILE_FAILED, s->path);
        Notice(s, text);
    }
}

void OnCommand(ViewerState *s, UINT command)
{
    if (Sharedkit_HandleWindowCommand(s->window, command)) {
        UpdateStatus(s);
        return;
    }
    if (Vocabank_DoCommand(s->window, 0, s->dataList, nullptr, nullptr, 0, command, 0)) return;
    switch (command) {
    case UIA_CMD_SEND_TEXT:
        if (!s->sendText || !IsWindow(s->sendText)) s->sendText = Widgetry_ShowSendTextDialog(s->window, s->entry);
        if (s->sendText) {
            RECT rc;
            GetWindowRect(s->window, &rc);
            SetWindowPos(s->sendText, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        }
        return;
    case UIA_CMD_DELETE_LIST:  // the program's Delete key: in a viewer it deletes entries
        SendMessageA(s->window, WM_CLEAR, 0, 0);
        return;
    case UIA_CMD_SAVE: Save(s); return;
    case UIA_CMD_CLOSE: DestroyWindow(s->window); return;
    case UIA_CMD_PRINT: SendMessageA(s->dataList, VLDLM_PRINT, 0, 0); return;
    default: break;
    }
    Drill_Help(s->window, command, IsHistory(s) ? 10604 : 10603, s->path);
}

// ---- Splitter ------------------------------------------------------------------------------------

bool OverSplitter(ViewerState *s, int x, int y)
{
    RECT list;
    GetWindowRect(s->dataList, &list);
    MapWindowPoints(nullptr, s->window, (POINT *)&list, 2);
    return x >= list.right && x < list.right + kSplitterWidth && y >= list.top && y < list.bottom;
}

void DrawBar(ViewerState *s, int x)
{
    RECT list;
    GetWindowRect(s->dataList, &list);
    MapWindowPoints(nullptr, s->window, (POINT *)&list, 2);
    RECT bar = {x, list.top, x + kSplitterWidth, list.bottom};
    HDC dc = GetDC(s->window);
    DrawFocusRect(dc, &bar);
    ReleaseDC(s->window, dc);
}

int Clamp(ViewerState *s, int x)
{
    RECT rc;
    GetClientRect(s->window, &rc);
    if (x > rc.right - 2) x = rc.right - 2;
    if (x < 2) x = 2;
    return x;
}

void OnButtonDown(ViewerState *s, int x, int y)
{
    if (!OverSplitter(s, x, y)) return;
    s->dragging = true;
    s->dragPos = Clamp(s, x);
    SetWindowLongA(s->window, GWL_STYLE, GetWindowLongA(s->window, GWL_STYLE) & ~WS_CLIPCHILDREN);
    DrawBar(s, s->dragPos);
    SetCapture(s->window);
}

// A move without the left button is not part of the drag: the system sends one with the pointer's
// real place when a capture ends, and it may arrive after the next drag has begun.
void OnMouseMove(ViewerState *s, WPARAM keys, int x)
{
    if (!s->dragging || !(keys & MK_LBUTTON)) return;
    DrawBar(s, s->dragPos);
    s->dragPos = Clamp(s, x);
    DrawBar(s, s->dragPos);
}

void OnButtonUp(ViewerState *s)
{
    if (!s->dragging) return;
    DrawBar(s, s->dragPos);
    s->dragging = false;
    ReleaseCapture();
    RECT list;
    GetWindowRect(s->dataList, &list);
    MapWindowPoints(nullptr, s->window, (POINT *)&list, 2);
    s->listWidth = s->dragPos - list.left;
    SetWindowLongA(s->window, GWL_STYLE, GetWindowLongA(s->window, GWL_STYLE) | WS_CLIPCHILDREN);
    Layout(s);
}

void OnInitMenu(ViewerState *s, HMENU menu)
{
    if (!s->menu || menu != GetSubMenu(s->menu, UIA_STUDY_VIEWER_WORD_MENU)) return;
    if (SendMessageA(s->dataList, VLDLM_NEXTSELECTED, (WPARAM)-1, 0) == -1) {
        EnableMenuItem(menu, UIA_CMD_PRONOUNCE, MF_GRAYED);
        EnableMenuItem(menu, UIA_CMD_LANGUAGE_MANAGER, MF_GRAYED);
    } else {
        UpdateWordCommands(s);
    }
}

void OnDestroy(ViewerState *s)
{
    Drill_StorePlacement(s->window, true);
    DWORD role = Lexshelf_GetListRole(s->path);
    if (s->shown.shown && (role & (LEXSHELF_ROLE_HISTORY | LEXSHELF_ROLE_ACTIVE)))
        Drill_WriteShown(&s->shown, s->path);
    if (s->sendText && IsWindow(s->sendText)) DestroyWindow(s->sendText);
    SendMessageA(s->manager, VLM_STUDYLIST_VIEWER_CLOSED, 0, (LPARAM)s->path);
}

LRESULT OnMessage(HWND w, UINT m, WPARAM wp, LPARAM lp, void *state)
{
    ViewerState *s = (ViewerState *)state;
    switch (m) {
    case WM_CREATE: return OnCreate(w, s, (const CREATESTRUCTA *)lp) ? 0 : -1;
    case WM_SIZE: if (s->dataList) Layout(s); return 0;
    case WM_SETFOCUS: if (s->dataList) SetFocus(s->dataList); return 0;
    case WM_COMMAND: OnCommand(s, LOWORD(wp)); return 0;
    case WM_NOTIFY: Drill_ToolTip(lp); return 0;
    case WM_INITMENUPOPUP: OnInitMenu(s, (HMENU)wp); return 0;
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(w, &pt);
        if ((HWND)wp == w && LOWORD(lp) == HTCLIENT && OverSplitter(s, pt.x, pt.y)) {
            SetCursor(g_drillSplitCursor);
            return TRUE;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    case WM_LBUTTONDOWN: OnButtonDown(s, (short)LOWORD(lp), (short)HIWORD(lp)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(s, wp, (short)LOWORD(lp)); return 0;
    case WM_LBUTTONUP: OnButtonUp(s); return 0;
    case VLDLN_CHOOSE:
        Lexicore_SelectListItem(s->entry, s->shown.shown, LOWORD(wp));
        UpdateWordCommands(s);
        return 0;
    case WM_CLEAR:
        SendMessageA(s->dataList, VLDLM_DELETE, (WPARAM)-1, 0);
        UpdateStatus(s);
        return 0;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE: UpdateStatus(s); return 0;
    case VLM_CLOSE: DestroyWindow(w); return 0;
    case VLM_OPTIONS_CHANGED: OnOptionsChanged(s); return 0;
    case VLM_STUDYLIST_ADD_HISTORY:
    case VLM_STUDYLIST_ADD_ACTIVE: return OnDelivered(s, lp);
    case DRILL_VM_WRITETO: return Drill_WriteShown(&s->shown, (const char *)lp);
    case DRILL_VM_PATHCHANGED:
        s->role = Lexshelf_GetListRole(s->path);
        SetTitle(s);
        return 1;
    case WM_DESTROY: OnDestroy(s); return 0;
    case WM_NCDESTROY:
        Drill_FreeShown(&s->shown);
        if (s->bigIcon) DestroyIcon(s->bigIcon);
        if (s->smallIcon) DestroyIcon(s->smallIcon);
        return DefWindowProcA(w, m, wp, lp);
    default: return DefWindowProcA(w, m, wp, lp);
    }
}

LRESULT CALLBACK ViewerProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return Drill_StateProc(w, m, wp, lp, sizeof(ViewerState), OnMessage);
}

}  // namespace

bool Drill_RegisterViewer(void)
{
    return Drill_RegisterClass(DRILL_VIEWER_CLASS, ViewerProc, CS_HREDRAW | CS_VREDRAW | CS_PARENTDC);
}
