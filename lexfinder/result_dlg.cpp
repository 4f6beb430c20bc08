// The result dialog inside the finder's frame: one checked-box row per found dictionary (name
// with its drive's icon, and its place), the My Dictionary folder, a status bar with the number
// of rows, the space the checked rows need and the space free, and the two ways to register.
#include <stdio.h>

#include "basekit.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_ui.h"

namespace {

struct ResultState {
    VLFinderState *st;
    HWND frame;
};

ResultState *StateOf(HWND dialog) { return (ResultState *)GetWindowLongPtrA(dialog, DWLP_USER); }
HWND List(HWND dialog) { return GetDlgItem(dialog, UIA_IDC_FR_LIST); }

// The record index a row stands for.
int RecordOf(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ListView_GetItem(list, &item) ? (int)item.lParam : -1;
}

std::string DriveOf(const char *path)
{
    if (path[0] && path[1] == ':' && path[2] == '\\') return std::string(path, 3);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    return std::string(cwd).substr(0, 3);
}

void UpdateStatus(HWND dialog)
{
    ResultState *s = StateOf(dialog);
    HWND list = List(dialog), status = GetDlgItem(dialog, UIA_IDC_FR_STATUS);
    int rows = ListView_GetItemCount(list);
    char text[512] = {0};
    if (rows) Uiassets_FormatString(text, sizeof text, UIA_IDS_FOUND_COUNT, rows);
    SendMessageA(status, SB_SETTEXTA, 0, (LPARAM)text);
    uint64_t needed = 0;
    for (int row = 0; row < rows; row++) {
        int r = RecordOf(list, row);
        if (ListView_GetCheckState(list, row) && r >= 0) needed += (uint64_t)s->st->found[r].size;
    }
    std::string free;
    const char *folder = s->st->myDicFolder;
    ULARGE_INTEGER available, total, totalFree;
    if (folder[0] && folder[1] == ':' &&
        GetDiskFreeSpaceExA(std::string(folder, 2).append("\\").c_str(), &available, &total, &totalFree))
        free = Finder_FormatSize(available.QuadPart);
    text[0] = 0;
    Uiassets_FormatString(text, sizeof text, UIA_IDS_FOUND_SPACE, Finder_FormatSize(needed).c_str(), free.c_str());
    SendMessageA(status, SB_SETTEXTA, 1, (LPARAM)text);
}

void ShowFolder(HWND dialog) { SetDlgItemTextA(dialog, UIA_IDC_FR_FOLDER, StateOf(dialog)->st->myDicFolder); }

// The frame takes the dialog's size; the list gets its columns and one row per record.
void OnInit(HWND dialog, ResultState *s)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)s);
    RECT rc;
    GetClientRect(dialog, &rc);
    DWORD style = (DWORD)GetWindowLongPtrA(s->frame, GWL_STYLE);
    AdjustWindowRect(&rc, style, FALSE);
    SetWindowPos(s->frame, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
    ShowFolder(dialog);

    HWND list = List(dialog);
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ListView_SetImageList(list, DriveRow_ImageList(), LVSIL_SMALL);
    char title[256];
    RECT lrc;
    GetClientRect(list, &lrc);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    Uiassets_LoadString(UIA_IDS_FOUND_COLUMN_NAME, title, sizeof title);
    column.cx = 150;
    ListView_InsertColumn(list, 0, &column);
    Uiassets_LoadString(UIA_IDS_FOUND_COLUMN_PATH, title, sizeof title);
    column.cx = lrc.right - 150 - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(list, 1, &column);
    for (size_t i = 0; i < s->st->found.size(); i++) {
        VLFoundDic &r = s->st->found[i];
        if (!r.name[0]) continue;  // removed
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = r.name;
        item.lParam = (LPARAM)i;
        item.iImage = DriveRow_Icon(DriveOf(r.path).c_str());
        int row = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, r.path);
    }
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);

    HWND status = GetDlgItem(dialog, UIA_IDC_FR_STATUS);
    int parts[2] = {200, -1};
    SendMessageA(status, SB_SETPARTS, 2, (LPARAM)parts);
    SetForegroundWindow(s->frame);
    SetFocus(list);
    UpdateStatus(dialog);
}

void CheckAll(HWND dialog)
{
    HWND list = List(dialog);
    for (int row = 0; row < ListView_GetItemCount(list); row++) {
        ListView_SetCheckState(list, row, TRUE);
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    }
    UpdateStatus(dialog);
}

void ChooseFolder(HWND dialog)
{
    ResultState *s = StateOf(dialog);
    if (Folder_Choose(dialog, s->st->myDicFolder)) {
        ShowFolder(dialog);
        UpdateStatus(dialog);
    }
}

// Registers the checked rows in list order, then closes the frame.
void Register(HWND dialog, int copy)
{
    ResultState *s = StateOf(dialog);
    HWND list = List(dialog);
    std::vector<int> rows;
    bool needFolder = copy != 0;
    for (int row = 0; row < ListView_GetItemCount(list); row++) {
        int r = RecordOf(list, row);
        if (!ListView_GetCheckState(list, row) || r < 0) continue;
        rows.push_back(r);
        int kind = s->st->found[r].kind;
        // Index conversions and add-on copies land in the My Dictionary folder as well.
        if (kind == FINDER_KIND_INDEX || kind == FINDER_KIND_ADDON) needFolder = true;
    }
    if (rows.empty()) {
        MessageBeep(MB_OK);
        return;
    }
    HWND frame = s->frame;
    ShowWindow(frame, SW_HIDE);
    char key[MAX_PATH];
    Finder_SetupKey(key);
    Basekit_SettingsWriteString(key, "MyDicFolder", s->st->myDicFolder);
    if (!needFolder || Finder_CreateFolder(s->st->myDicFolder, false)) Finder_RegisterAll(s->st, rows, copy);
    DestroyWindow(frame);
}

void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case UIA_IDC_FR_CHECK_ALL:
        CheckAll(dialog);
        break;
    case UIA_IDC_FR_CHOOSE_FOLDER:
        ChooseFolder(dialog);
        break;
    case UIA_IDC_FR_REGISTER:
        Register(dialog, 0);
        break;
    case UIA_IDC_FR_COPY:
        Register(dialog, 1);
        break;
    case UIA_IDC_FR_CLOSE:
    case IDCANCEL:
        DestroyWindow(StateOf(dialog)->frame);
        break;
    }
}

INT_PTR CALLBACK ResultProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, (ResultState *)lParam);
        return FALSE;  // the focus is set
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        NMHDR *n = (NMHDR *)lParam;
        if (n->idFrom == UIA_IDC_FR_LIST && n->code == LVN_ITEMCHANGED &&
            (((NMLISTVIEW *)lParam)->uChanged & LVIF_STATE))
            UpdateStatus(dialog);
        return TRUE;
    }
    case WM_NCDESTROY:
        delete StateOf(dialog);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND Result_Create(HWND frame, VLFinderState *st)
{
    ResultState *s = new ResultState{st, frame};
    HWND dialog = CreateDialogParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_RESULT), frame,
                                     ResultProc, (LPARAM)s);
    if (!dialog) delete s;
    return dialog;
}
