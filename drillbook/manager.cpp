// The manager window: one row per study-list file of the user's folder (name, date, size, an
// image for the list's role and whether its viewer is open), and the commands over them: new,
// open, rename, delete, make active, import, export, views and sorting.  Entries handed over by
// the dictionary manager are passed on to the open viewer of the history or the active list.
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "drillbook_int.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "prefpane.h"
#include "prefstore.h"
#include "sharedkit.h"
#include "uiassets.h"

namespace {

struct ManagerState {
    HWND window, status, rebar, toolbar, list;
    HIMAGELIST large, small;
    HMENU viewMenu;        // copies of the first four items of the view submenu
    int sort[3];           // per column: 0 none, 1 ascending, -1 descending
    char folder[MAX_PATH];
};

const UINT kViews[] = {UIA_CMD_VIEW_LARGE, UIA_CMD_VIEW_SMALL, UIA_CMD_VIEW_LIST, UIA_CMD_VIEW_DETAILS};
const DWORD kViewStyles[] = {LV_VIEW_ICON, LV_VIEW_SMALLICON, LV_VIEW_LIST, LV_VIEW_DETAILS};
const UINT kRowIcons[6] = {177, 178, 51, 51, 201, 202};
const DWORD kManagerHelpTopic = 10601;

ManagerState *State(HWND w) { return (ManagerState *)GetWindowLongPtrA(w, GWLP_USERDATA); }

ListRecord *RowRecord(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ListView_GetItem(list, &item) ? (ListRecord *)item.lParam : nullptr;
}

int RowImage(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return ListView_GetItem(list, &item) ? item.iImage : -1;
}

void SetRowImage(HWND list, int row, int image)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    ListView_SetItem(list, &item);
}

int FindRow(HWND list, const char *path)
{
    int n = ListView_GetItemCount(list);
    for (int i = 0; i < n; i++) {
        ListRecord *r = RowRecord(list, i);
        if (r && lstrcmpiA(r->path, path) == 0) return i;
    }
    return -1;
}

// The row whose label is text (case ignored), or -1.
int FindLabel(HWND list, const char *text, int except = -1)
{
    int n = ListView_GetItemCount(list);
    char label[MAX_PATH];
    for (int i = 0; i < n; i++) {
        if (i == except) continue;
        ListView_GetItemText(list, i, 0, label, sizeof label);
        if (lstrcmpiA(label, text) == 0) return i;
    }
    return -1;
}

int ClosedImage(const char *path)
{
    DWORD role = Lexshelf_GetListRole(path);
    if (role & LEXSHELF_ROLE_HISTORY) return kImageHistory;
    if (role & LEXSHELF_ROLE_ACTIVE) return kImageActive;
    return kImageClosed;
}

int OpenImage(const char *path)
{
    DWORD role = Lexshelf_GetListRole(path);
    if (role & LEXSHELF_ROLE_HISTORY) return kImageHistory;
    if (role & LEXSHELF_ROLE_ACTIVE) return kImageActiveOpen;
    return kImageOpen;
}

void UpdateStatus(ManagerState *s)
{
    char text[256];
    Uiassets_FormatString(text, sizeof text, UIA_IDS_LIST_COUNT, ListView_GetItemCount(s->list) - 1);
    SendMessageA(s->status, SB_SETTEXTA, 0, (LPARAM)text);
}

void ShowNotice(ManagerState *s, const char *text)
{
    SendMessageA(s->status, SB_SETTEXTA, 0, (LPARAM)text);
    MessageBeep(MB_ICONEXCLAMATION);
}

void SetColumns(ManagerState *s, ListRecord *r, int row)
{
    FILETIME utc, local;
    utc.dwLowDateTime = (DWORD)r->time;
    utc.dwHighDateTime = (DWORD)(r->time >> 32);
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    char date[64] = "", time[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, sizeof time);
    std::string when = std::string(date) + " " + time;
    ListView_SetItemText(s->list, row, 1, (char *)when.c_str());
    std::string size = Drill_SizeText(r->size);
    ListView_SetItemText(s->list, row, 2, (char *)size.c_str());
}

// Adds a row for the file at the top; -1 when the file cannot be opened.
int AddFile(ManagerState *s, const char *path)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return -1;
    BY_HANDLE_FILE_INFORMATION info;
    BOOL known = GetFileInformationByHandle(f, &info);
    CloseHandle(f);
    if (!known) return -1;
    ListRecord *r = (ListRecord *)calloc(1, sizeof(ListRecord));
    if (!r) return -1;
    r->time = ((ULONGLONG)info.ftCreationTime.dwHighDateTime << 32) | info.ftCreationTime.dwLowDateTime;
    r->size = info.nFileSizeLow;
    lstrcpynA(r->path, path, sizeof r->path);
    std::string name = Drill_DisplayName(path);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = (char *)name.c_str();
    item.iImage = ClosedImage(path);
    item.lParam = (LPARAM)r;
    int row = ListView_InsertItem(s->list, &item);
    if (row < 0) {
        free(r);
        return -1;
    }
    SetColumns(s, r, row);
    return row;
}

// Size and time of a row's file after it was written.
void Refresh(ManagerState *s, int row)
{
    ListRecord *r = RowRecord(s->list, row);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!r || !GetFileAttributesExA(r->path, GetFileExInfoStandard, &data)) return;
    r->size = data.nFileSizeLow;
    SetColumns(s, r, row);
}

int CALLBACK AddListed(const char *path, LPARAM user)
{
    AddFile((ManagerState *)user, path);
    return 1;
}

void MakeImages(ManagerState *s)
{
    HDC dc = GetDC(nullptr);
    int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    s->large = ImageList_Create(32, 32, (bits >= 5 ? ILC_COLOR8 : ILC_COLOR4) | ILC_MASK, 6, 0);
    s->small = ImageList_Create(16, 16, ILC_COLOR8 | ILC_MASK, 6, 0);
    for (UINT id : kRowIcons) {
        HICON big = nullptr, little = nullptr;
        Uiassets_GetIcons(id, &big, &little);
        ImageList_AddIcon(s->large, big);
        ImageList_AddIcon(s->small, little);
    }
}

void Layout(ManagerState *s)
{
    RECT rc;
    GetClientRect(s->window, &rc);
    int top, height;
    Drill_LayoutBars(s->window, s->rebar, s->status, &top, &height);
    MoveWindow(s->list, 0, top, rc.right, height, TRUE);
}

bool OnCreate(HWND w, ManagerState *s)
{
    s->window = w;
    Lexshelf_GetListFolder(s->folder);
    s->status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, w,
                                (HMENU)DRILL_IDC_STATUS, g_drillInstance, nullptr);
    static const DrillButton kButtons[] = {
        {29, UIA_CMD_NEW, BTNS_BUTTON},    {30, UIA_CMD_OPEN, BTNS_BUTTON},
        {74, UIA_CMD_IMPORT, BTNS_BUTTON}, {73, UIA_CMD_EXPORT, BTNS_BUTTON},
        {68, UIA_CMD_MAKE_ACTIVE, BTNS_BUTTON}, {0, 0, BTNS_SEP},
        {10, UIA_CMD_OPTIONS, BTNS_BUTTON}, {0, 0, BTNS_SEP},
        {65, UIA_CMD_NEXT_VIEW, BTNS_DROPDOWN}};
    s->toolbar = Drill_MakeToolbar(w, kButtons, sizeof kButtons / sizeof kButtons[0], &s->rebar);
    s->list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_EDITLABELS | LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, w, (HMENU)DRILL_IDC_LIST, g_drillInstance, nullptr);
    if (!s->status || !s->toolbar || !s->list) return false;
    MakeImages(s);
    ListView_SetImageList(s->list, s->large, LVSIL_NORMAL);
    ListView_SetImageList(s->list, s->small, LVSIL_SMALL);
    for (int c = 0; c < 3; c++) {
        std::string title = Drill_String(UIA_IDS_LIST_COLUMN_FIRST + c);
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.cx = 100;
        col.pszText = (char *)title.c_str();
        col.iSubItem = c;
        ListView_InsertColumn(s->list, c, &col);
    }
    // The view popup: copies of the first four items of the view submenu.
    s->viewMenu = CreatePopupMenu();
    HMENU bar = GetMenu(w);
    HMENU views = bar ? GetSubMenu(bar, UIA_STUDY_MANAGER_VIEW_MENU) : nullptr;
    for (int i = 0; i < 4 && views; i++) {
        char text[128] = "";
        GetMenuStringA(views, i, text, sizeof text, MF_BYPOSITION);
        AppendMenuA(s->viewMenu, MF_STRING, GetMenuItemID(views, i), text);
    }

    Lexshelf_EnumLists(AddListed, (LPARAM)s);
    if (!Lexshelf_GetActiveList(nullptr)) {
        char def[MAX_PATH];
        if (Lexshelf_GetDefaultListPath(def)) {
            Lexshelf_SetActiveList(def);
            int row = FindRow(s->list, def);
            if (row >= 0) SetRowImage(s->list, row, kImageActive);
        }
    }
    UpdateStatus(s);

    StudyWindowOptions options;
    StudyWindowLayout layout;
    Prefstore_LoadStudyWindow(&options, &layout);
    Layout(s);
    Drill_Place(w, layout.x, layout.y, layout.cx, layout.cy, layout.WindowMaximised);
    Sharedkit_SendToMain(VLM_REGISTER_WINDOW, DRILL_KIND, (LPARAM)w);
    return true;
}

HWND OpenViewer(ManagerState *s, int row)
{
    ListRecord *r = RowRecord(s->list, row);
    if (!r) return nullptr;
    if (r->viewer && IsWindow(r->viewer)) {
        SetForegroundWindow(r->viewer);
        SetFocus(r->viewer);
        return r->viewer;
    }
    SetRowImage(s->list, row, OpenImage(r->path));
    r->viewer = CreateWindowExA(0, DRILL_VIEWER_CLASS, "",
                                WS_POPUP | WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, s->window, nullptr, g_drillInstance, r->path);
    if (!r->viewer) SetRowImage(s->list, row, ClosedImage(r->path));
    return r->viewer;
}

void OpenSelected(ManagerState *s)
{
    for (int row = ListView_GetNextItem(s->list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(s->list, row, LVNI_SELECTED))
        OpenViewer(s, row);
}

void NewList(ManagerState *s)
{
    std::string base = Drill_String(UIA_IDS_LIST_NEW_NAME), name = base;
    for (int n = 1; FindLabel(s->list, name.c_str()) >= 0; n++) {
        char numbered[MAX_PATH];
        wsprintfA(numbered, "%s(%d)", base.c_str(), n);
        name = numbered;
    }
    std::string path = Drill_ListPath(s->folder, name);
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    VLWordListFile *handle = Lexshelf_WordListCreate();
    if (!handle) return;
    Lexshelf_WordListRename(handle, path.c_str());
    BOOL saved = Lexshelf_WordListSave(handle);
    Lexshelf_WordListDestroy(handle);
    int row = saved ? AddFile(s, path.c_str()) : -1;
    if (row < 0) {
        char notice[512];
        Uiassets_FormatString(notice, sizeof notice, UIA_IDS_LIST_FILE_FAILED, path.c_str());
        ShowNotice(s, notice);
        return;
    }
    UpdateStatus(s);
    ListView_SetItemState(s->list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(s->list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(s->list);
    ListView_EditLabel(s->list, row);
}

// Renames the row's file to the edited text; the row, the record and the stored active list
// follow only once the file has moved.
bool EndRename(ManagerState *s, int row, const char *text)
{
    ListRecord *r = RowRecord(s->list, row);
    if (!r || !text || !text[0]) return false;
    if (!Drill_NameUsable(s->folder, text)) {
        ShowNotice(s, Drill_String(UIA_IDS_LIST_BAD_NAME).c_str());
        return false;
    }
    std::string path = Drill_ListPath(s->folder, text);
    bool sameFile = lstrcmpiA(path.c_str(), r->path) == 0;
    if (!sameFile && (FindLabel(s->list, text, row) >= 0 || GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)) {
        char notice[512];
        Uiassets_FormatString(notice, sizeof notice, UIA_IDS_LIST_NAME_TAKEN, text);
        ShowNotice(s, notice);
        return false;
    }
    bool active = (Lexshelf_GetListRole(r->path) & LEXSHELF_ROLE_ACTIVE) != 0;
    if (!MoveFileA(r->path, path.c_str())) {
        char notice[512];
        Uiassets_FormatString(notice, sizeof notice, UIA_IDS_LIST_FILE_FAILED, path.c_str());
        ShowNotice(s, notice);
        return false;
    }
    if (active) Lexshelf_SetActiveList(path.c_str());
    lstrcpynA(r->path, path.c_str(), sizeof r->path);
    if (r->viewer) SendMessageA(r->viewer, DRILL_VM_PATHCHANGED, 0, 0);
    return true;
}

void DeleteSelected(ManagerState *s)
{
    for (int row = ListView_GetNextItem(s->list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(s->list, -1, LVNI_SELECTED)) {
        ListRecord *r = RowRecord(s->list, row);
        int image = RowImage(s->list, row);
        if (!r || image == kImageOpen || image == kImageActiveOpen || (r->viewer && IsWindow(r->viewer))) {
            MessageBeep(MB_OK);
            return;
        }
        DWORD role = Lexshelf_GetListRole(r->path);
        if (role & (LEXSHELF_ROLE_HISTORY | LEXSHELF_ROLE_DEFAULT)) return;
        if (role & LEXSHELF_ROLE_ACTIVE) Lexshelf_SetActiveList(nullptr);
        // A file that stays (read-only, in use) keeps its row.
        if (!DeleteFileA(r->path) && GetFileAttributesA(r->path) != INVALID_FILE_ATTRIBUTES) {
            char notice[512];
            Uiassets_FormatString(notice, sizeof notice, UIA_IDS_LIST_FILE_FAILED, r->path);
            ShowNotice(s, notice);
            return;
        }
        free(r);
        ListView_DeleteItem(s->list, row);
        UpdateStatus(s);
    }
}

void MakeActive(ManagerState *s)
{
    int focused = ListView_GetNextItem(s->list, -1, LVNI_FOCUSED);
    ListRecord *r = focused >= 0 ? RowRecord(s->list, focused) : nullptr;
    if (!r || (Lexshelf_GetListRole(r->path) & LEXSHELF_ROLE_HISTORY)) return;
    char active[MAX_PATH];
    int row = Lexshelf_GetActiveList(active) ? FindRow(s->list, active) : -1;
    if (row >= 0) {
        ListRecord *old = RowRecord(s->list, row);
        bool open = old->viewer && IsWindow(old->viewer);
        SetRowImage(s->list, row, open ? kImageOpen : kImageClosed);
        if (open) SendMessageA(old->viewer, WM_COMMAND, UIA_CMD_SAVE, 0);
        if (row == focused) {
            Lexshelf_SetActiveList(nullptr);
            return;
        }
    }
    bool open = r->viewer && IsWindow(r->viewer);
    SetRowImage(s->list, focused, open ? kImageActiveOpen : kImageActive);
    Lexshelf_SetActiveList(r->path);
}

// Every entry's dictionary must be installed.
bool DictionariesInstalled(const VLWordList *list)
{
    DicInfo info;
    for (LONG i = 0; i < list->count; i++)
        if (!Lexicore_GetDicInfo(list->slots[i]->head.fileId, &info)) return false;
    return true;
}

void Import(ManagerState *s)
{
    char source[MAX_PATH] = "";
    if (!Drill_AskOpenPath(s->window, source)) return;
    VLWordListFile *handle = Lexshelf_WordListCreate();
    if (!handle) return;
    bool loaded = Lexshelf_WordListLoad(handle, source) != 0;
    bool installed = loaded && DictionariesInstalled(Lexshelf_WordListGetHandle(handle));
    Lexshelf_WordListDestroy(handle);
    if (!loaded) return;
    if (!installed) {
        Uiassets_MessageBox(s->window, UIA_IDS_LIST_MISSING_DIC, UIA_IDS_CAPTION_STUDY, MB_OK | MB_ICONSTOP);
        return;
    }
    // A file the folder already holds is opened, not added again; a different one of the same
    // name comes in under a numbered name.
    bool same = false;
    std::string target = Drill_ImportTarget(s->folder, source, &same);
    int row = FindRow(s->list, target.c_str());
    if (!same) {
        if (!Drill_CopyNew(source, target.c_str())) {
            char notice[512];
            Uiassets_FormatString(notice, sizeof notice, UIA_IDS_LIST_FILE_FAILED, target.c_str());
            ShowNotice(s, notice);
            return;
        }
        row = AddFile(s, target.c_str());
        UpdateStatus(s);
    } else if (row < 0) {
        row = AddFile(s, target.c_str());
        UpdateStatus(s);
    }
    if (row >= 0) OpenViewer(s, row);
}

void Export(ManagerState *s)
{
    for (int row = ListView_GetNextItem(s->list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(s->list, row, LVNI_SELECTED)) {
        ListRecord *r = RowRecord(s->list, row);
        if (!r) continue;
        const char *name = r->path;
        for (const char *p = r->path; *p; p = CharNextA(p))
            if (*p == '\\') name = p + 1;
        char target[MAX_PATH];
        lstrcpynA(target, name, MAX_PATH);
        if (!Drill_AskSavePath(s->window, target) || lstrcmpiA(target, r->path) == 0) continue;
        // An open viewer holds entries its file does not have yet: it writes what it shows.
        bool written = r->viewer && IsWindow(r->viewer) ? SendMessageA(r->viewer, DRILL_VM_WRITETO, 0, (LPARAM)target) != 0
                                                        : CopyFileA(r->path, target, FALSE) != 0;
        if (!written) {
            char notice[512];
            Uiassets_FormatString(notice, sizeof notice, UIA_IDS_LIST_FILE_FAILED, target);
            ShowNotice(s, notice);
        }
    }
}

struct SortContext {
    HWND list;
    int column, direction;
};

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM context)
{
    const SortContext *c = (const SortContext *)context;
    const ListRecord *ra = (const ListRecord *)a, *rb = (const ListRecord *)b;
    int order = 0;
    if (c->column == 0)
        order = lstrcmpiA(ra->path, rb->path);
    else if (c->column == 1)
        order = ra->time < rb->time ? -1 : ra->time > rb->time ? 1 : 0;
    else
        order = ra->size < rb->size ? -1 : ra->size > rb->size ? 1 : 0;
    return order * c->direction;
}

void Sort(ManagerState *s, int column)
{
    int direction = s->sort[column] == 0 ? 1 : -s->sort[column];
    for (int &d : s->sort) d = 0;
    s->sort[column] = direction;
    SortContext c = {s->list, column, direction};
    ListView_SortItems(s->list, CompareRows, (LPARAM)&c);
}

void SetView(ManagerState *s, UINT command)
{
    for (int i = 0; i < 4; i++)
        if (kViews[i] == command) ListView_SetView(s->list, kViewStyles[i]);
}

UINT CurrentView(ManagerState *s)
{
    DWORD view = ListView_GetView(s->list);
    for (int i = 0; i < 4; i++)
        if (kViewStyles[i] == view) return kViews[i];
    return kViews[0];
}

void OnCommand(ManagerState *s, UINT command)
{
    switch (command) {
    case UIA_CMD_NEW: NewList(s); return;
    case UIA_CMD_OPEN: OpenSelected(s); return;
    case UIA_CMD_RENAME: {
        int row = ListView_GetNextItem(s->list, -1, LVNI_FOCUSED);
        if (row >= 0) {
            SetFocus(s->list);
            ListView_EditLabel(s->list, row);
        }
        return;
    }
    case UIA_CMD_CLOSE: DestroyWindow(s->window); return;
    case UIA_CMD_DELETE_LIST:
    case UIA_CMD_CLEAR:
        if (HWND edit = ListView_GetEditControl(s->list)) {
            SendMessageA(edit, WM_KEYDOWN, VK_DELETE, 0);  // the character at the caret
            return;
        }
        DeleteSelected(s);
        return;
    case UIA_CMD_OPTIONS:
        if (Prefpane_ShowStudyWindowOptions(s->window)) SendMessageA(s->window, VLM_OPTIONS_CHANGED, 0, 0);
        return;
    case UIA_CMD_NEXT_VIEW: {
        UINT view = CurrentView(s);
        for (int i = 0; i < 4; i++)
            if (kViews[i] == view) SetView(s, kViews[(i + 1) % 4]);
        return;
    }
    case UIA_CMD_SORT_NAME: Sort(s, 0); return;
    case UIA_CMD_SORT_DATE: Sort(s, 1); return;
    case UIA_CMD_AUTO_ARRANGE: {
        DWORD style = GetWindowLongA(s->list, GWL_STYLE);
        SetWindowLongA(s->list, GWL_STYLE, style ^ LVS_AUTOARRANGE);
        return;
    }
    case UIA_CMD_IMPORT: Import(s); return;
    case UIA_CMD_EXPORT: Export(s); return;
    case UIA_CMD_MAKE_ACTIVE: MakeActive(s); return;
    default: break;
    }
    if (command >= UIA_CMD_VIEW_LARGE && command <= UIA_CMD_VIEW_DETAILS) {
        SetView(s, command);
        return;
    }
    Drill_Help(s->window, command, kManagerHelpTopic, nullptr);
}

LRESULT OnNotify(ManagerState *s, NMHDR *hdr, LPARAM lParam)
{
    if (Drill_ToolTip(lParam)) return 0;
    if (hdr->hwndFrom == s->toolbar && hdr->code == TBN_DROPDOWN) {
        RECT rc;
        SendMessageA(s->toolbar, TB_GETRECT, UIA_CMD_NEXT_VIEW, (LPARAM)&rc);
        MapWindowPoints(s->toolbar, nullptr, (POINT *)&rc, 2);
        UINT view = CurrentView(s);
        for (int i = 0; i < 4; i++) CheckMenuItem(s->viewMenu, kViews[i], kViews[i] == view ? MF_CHECKED : MF_UNCHECKED);
        TrackPopupMenu(s->viewMenu, TPM_LEFTALIGN | TPM_TOPALIGN, rc.left, rc.bottom, 0, s->window, nullptr);
        return TBDDRET_DEFAULT;
    }
    if (hdr->hwndFrom != s->list) return 0;
    switch (hdr->code) {
    case NM_DBLCLK: {
        NMITEMACTIVATE *a = (NMITEMACTIVATE *)lParam;
        if (a->iItem >= 0) {
            ListView_SetItemState(s->list, -1, 0, LVIS_SELECTED);
            ListView_SetItemState(s->list, a->iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            OpenSelected(s);
        }
        return 0;
    }
    case LVN_COLUMNCLICK: Sort(s, ((NMLISTVIEW *)lParam)->iSubItem); return 0;
    case LVN_BEGINLABELEDITA: {
        ListRecord *r = RowRecord(s->list, ((NMLVDISPINFOA *)lParam)->item.iItem);
        return !r || (Lexshelf_GetListRole(r->path) & (LEXSHELF_ROLE_HISTORY | LEXSHELF_ROLE_DEFAULT));
    }
    case LVN_ENDLABELEDITA: {
        NMLVDISPINFOA *d = (NMLVDISPINFOA *)lParam;
        return d->item.pszText && EndRename(s, d->item.iItem, d->item.pszText);
    }
    case LVN_DELETEALLITEMS: return TRUE;
    default: return 0;
    }
}

void OnInitMenu(ManagerState *s, HMENU menu)
{
    HMENU bar = GetMenu(s->window);
    if (!bar) return;
    if (menu == GetSubMenu(bar, UIA_STUDY_MANAGER_VIEW_MENU) || menu == s->viewMenu) {
        UINT view = CurrentView(s);
        for (int i = 0; i < 4; i++) CheckMenuItem(menu, kViews[i], kViews[i] == view ? MF_CHECKED : MF_UNCHECKED);
    } else if (menu == GetSubMenu(bar, UIA_STUDY_MANAGER_LIST_MENU)) {
        int first = ListView_GetNextItem(s->list, -1, LVNI_SELECTED);
        UINT none = first < 0 ? MF_GRAYED : MF_ENABLED;
        EnableMenuItem(menu, UIA_CMD_OPEN, none);
        EnableMenuItem(menu, UIA_CMD_RENAME, none);
        int image = first >= 0 ? RowImage(s->list, first) : -1;
        bool open = image == kImageOpen || image == kImageActiveOpen;
        EnableMenuItem(menu, UIA_CMD_DELETE_LIST, first < 0 || open ? MF_GRAYED : MF_ENABLED);
    }
}

// Passes an entry on to the open viewer of the history or the active list.
LRESULT PassEntry(ManagerState *s, UINT message, WPARAM wParam, LPARAM lParam)
{
    char path[MAX_PATH];
    bool known = message == VLM_STUDYLIST_ADD_HISTORY ? Lexshelf_GetHistoryListPath(path) != 0
                                                      : Lexshelf_GetActiveList(path) != 0;
    int row = known ? FindRow(s->list, path) : -1;
    ListRecord *r = row >= 0 ? RowRecord(s->list, row) : nullptr;
    if (!r || !r->viewer || !IsWindow(r->viewer)) return -1;
    return SendMessageA(r->viewer, message, wParam, lParam);
}

void ViewerClosed(ManagerState *s, const char *path)
{
    int row = path ? FindRow(s->list, path) : -1;
    if (row < 0) return;
    ListRecord *r = RowRecord(s->list, row);
    r->viewer = nullptr;
    SetRowImage(s->list, row, ClosedImage(r->path));
    Refresh(s, row);
}

void OnDestroy(ManagerState *s)
{
    int n = ListView_GetItemCount(s->list);
    for (int i = 0; i < n; i++) {
        ListRecord *r = RowRecord(s->list, i);
        if (r && r->viewer && IsWindow(r->viewer)) SendMessageA(r->viewer, VLM_CLOSE, 0, 0);
    }
    n = ListView_GetItemCount(s->list);
    for (int i = 0; i < n; i++) free(RowRecord(s->list, i));
    ListView_DeleteAllItems(s->list);
    if (s->viewMenu) DestroyMenu(s->viewMenu);
    Drill_StorePlacement(s->window, false);
    PostQuitMessage(0);
    Sharedkit_SendToMain(VLM_UNREGISTER_WINDOW, DRILL_KIND, 0);
}

LRESULT OnMessage(HWND w, UINT m, WPARAM wp, LPARAM lp, void *state)
{
    ManagerState *s = (ManagerState *)state;
    switch (m) {
    case WM_CREATE: return OnCreate(w, s) ? 0 : -1;
    case WM_SIZE: Layout(s); return 0;
    case WM_SETFOCUS: SetFocus(s->list); return 0;
    case WM_COMMAND: OnCommand(s, LOWORD(wp)); return 0;
    case WM_NOTIFY: return OnNotify(s, (NMHDR *)lp, lp);
    case WM_INITMENUPOPUP: OnInitMenu(s, (HMENU)wp); return 0;
    case VLM_CLOSE: DestroyWindow(w); return 0;
    case VLM_OPTIONS_CHANGED: {
        int n = ListView_GetItemCount(s->list);
        for (int i = 0; i < n; i++) {
            ListRecord *r = RowRecord(s->list, i);
            if (r && r->viewer && IsWindow(r->viewer)) SendMessageA(r->viewer, VLM_OPTIONS_CHANGED, 0, 0);
        }
        return 0;
    }
    case VLM_STUDYLIST_ADD_HISTORY:
    case VLM_STUDYLIST_ADD_ACTIVE: return PassEntry(s, m, wp, lp);
    case VLM_STUDYLIST_VIEWER_CLOSED: ViewerClosed(s, (const char *)lp); return 0;
    case DRILL_MM_ADDFILE: {
        int row = FindRow(s->list, (const char *)lp);
        if (row < 0) row = AddFile(s, (const char *)lp);
        UpdateStatus(s);
        return row >= 0;
    }
    case WM_DESTROY: OnDestroy(s); return 0;
    default: return DefWindowProcA(w, m, wp, lp);
    }
}

LRESULT CALLBACK ManagerProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return Drill_StateProc(w, m, wp, lp, sizeof(ManagerState), OnMessage);
}

}  // namespace

bool Drill_RegisterManager(void)
{
    return Drill_RegisterClass(DRILL_MANAGER_CLASS, ManagerProc, CS_HREDRAW | CS_VREDRAW);
}

HWND Drill_CreateManager(void)
{
    std::string caption = Drill_String(UIA_IDS_CAPTION_STUDY);
    return CreateWindowExA(0, DRILL_MANAGER_CLASS, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, nullptr, Uiassets_LoadMenu(UIA_IDM_STUDY_MANAGER),
                           g_drillInstance, nullptr);
}

HIMAGELIST Drill_ManagerImages(HWND manager, bool large)
{
    ManagerState *s = manager ? State(manager) : nullptr;
    return s ? (large ? s->large : s->small) : nullptr;
}
