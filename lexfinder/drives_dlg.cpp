// The drive options: which kinds to look for and where, either on every drive or on the drives the
// user checks (the list is shown only then).  The chosen drives are remembered as SearchDrive
// below the finder's settings when they are all or none.
#include <windows.h>
#include <ctype.h>
#include <stdio.h>
#include <shellapi.h>
#include <winnetwk.h>

#include "basekit.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_ui.h"

namespace {

struct DrivesState {
    VLFinderState *st;
    std::string *driveList;
    std::vector<std::string> roots;
    bool chosenMode;
    WNDPROC listProc;        // the list's own procedure (space is handled here)
};

DrivesState *StateOf(HWND dialog) { return (DrivesState *)GetWindowLongPtrA(dialog, DWLP_USER); }
HWND List(HWND dialog) { return GetDlgItem(dialog, UIA_IDC_FD_LIST); }

const struct {
    int control;
    DWORD bit;
} kKinds[] = {
    {UIA_IDC_FD_DICTIONARIES, FINDER_SEARCH_DICS},
    {UIA_IDC_FD_BOOKS, FINDER_SEARCH_BOOKS},
    {UIA_IDC_FD_ENGINES, FINDER_SEARCH_ENGINES},
    {UIA_IDC_FD_INDEXES, FINDER_SEARCH_INDEXES},
};

// Space toggles every selected row together: all become checked when one of them is not.
void ToggleSelected(HWND list)
{
    bool anyUnchecked = false;
    for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;)
        anyUnchecked = anyUnchecked || !ListView_GetCheckState(list, row);
    for (int row = -1; (row = ListView_GetNextItem(list, row, LVNI_SELECTED)) >= 0;)
        ListView_SetCheckState(list, row, anyUnchecked);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    DrivesState *s = StateOf(GetParent(list));
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_SPACE) {
        if (message == WM_KEYDOWN) ToggleSelected(list);
        return 0;
    }
    return CallWindowProcA(s->listProc, list, message, wParam, lParam);
}

// Shows or hides the list and its texts for the mode, and ends the window 6 pixels below the list
// or just above it.
void ApplyMode(HWND dialog)
{
    DrivesState *s = StateOf(dialog);
    HWND list = List(dialog);
    char text[256] = {0};
    Uiassets_LoadString(s->chosenMode ? UIA_IDS_DRIVES_CHOSEN : UIA_IDS_DRIVES_ALL, text, sizeof text);
    SetDlgItemTextA(dialog, UIA_IDC_FD_LABEL, text);
    Uiassets_LoadString(s->chosenMode ? UIA_IDS_DRIVES_USE_ALL : UIA_IDS_DRIVES_CHOOSE, text, sizeof text);
    SetDlgItemTextA(dialog, UIA_IDC_FD_MODE, text);
    ShowWindow(list, s->chosenMode ? SW_SHOW : SW_HIDE);
    RECT window, rc;
    GetWindowRect(dialog, &window);
    GetWindowRect(s->chosenMode ? list : GetDlgItem(dialog, UIA_IDC_FD_MODE), &rc);
    int bottom = rc.bottom + 6;
    RECT client;
    GetClientRect(dialog, &client);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    int frameBelow = (window.bottom - window.top) - (origin.y - window.top) - client.bottom;
    int height = bottom - window.top + frameBelow;
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, height, SWP_NOMOVE | SWP_NOZORDER);
    if (s->chosenMode) SetFocus(list);
}

void FillRows(HWND dialog)
{
    DrivesState *s = StateOf(dialog);
    HWND list = List(dialog);
    SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    ListView_SetImageList(list, DriveRow_ImageList(), LVSIL_SMALL);
    RECT rc;
    GetClientRect(list, &rc);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = rc.right - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(list, 0, &column);
    char key[MAX_PATH], stored[1024] = {0};
    Finder_SetupKey(key);
    Basekit_SettingsReadString(key, "SearchDrive", stored, sizeof stored);
    s->roots = Finder_ParseDriveList(Finder_LogicalDrives().c_str());
    std::vector<bool> checks = Finder_InitialChecks(s->roots, stored);
    s->chosenMode = stored[0] != 0;
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);  // an empty drive asks nothing
    for (size_t i = 0; i < s->roots.size(); i++) {
        std::string text = DriveRow_Text(s->roots[i]);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = (int)i;
        item.pszText = &text[0];
        item.iImage = DriveRow_Icon(s->roots[i].c_str());
        int row = ListView_InsertItem(list, &item);
        ListView_SetCheckState(list, row, checks[i]);
    }
    SetErrorMode(oldMode);
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    s->listProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)ListProc);
}

void OnInit(HWND dialog, DrivesState *s)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)s);
    char caption[256] = {0};
    if (Uiassets_LoadString(UIA_IDS_FINDER_CAPTION, caption, sizeof caption)) SetWindowTextA(dialog, caption);
    HICON large = nullptr, small = nullptr;
    Uiassets_GetIcons(UIA_IDI_FINDER, &large, &small);
    if (large) SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)large);
    if (small) SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)small);
    SendDlgItemMessageA(dialog, UIA_IDC_FD_ICON, STM_SETICON, (WPARAM)LoadIconA(nullptr, IDI_EXCLAMATION), 0);
    for (const auto &k : kKinds) CheckDlgButton(dialog, k.control, BST_CHECKED);
    FillRows(dialog);
    ApplyMode(dialog);
    Basekit_CenterWindow(dialog, nullptr, nullptr);
}

void OnOk(HWND dialog)
{
    DrivesState *s = StateOf(dialog);
    s->st->search = 0;
    for (const auto &k : kKinds)
        if (IsDlgButtonChecked(dialog, k.control) == BST_CHECKED) s->st->search |= k.bit;
    HWND list = List(dialog);
    std::vector<bool> checked;
    for (size_t i = 0; i < s->roots.size(); i++) checked.push_back(ListView_GetCheckState(list, (int)i) != 0);
    FinderDriveChoice choice = Finder_ChooseDrives(s->chosenMode, s->roots, checked);
    if (choice.save) {
        char key[MAX_PATH];
        Finder_SetupKey(key);
        Basekit_SettingsWriteString(key, "SearchDrive", choice.stored.c_str());
    }
    *s->driveList = choice.list;
    EndDialog(dialog, IDYES);
}

INT_PTR CALLBACK DrivesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES:
            OnOk(dialog);
            return TRUE;
        case IDNO:
        case IDCANCEL:
            EndDialog(dialog, IDNO);
            return TRUE;
        case UIA_IDC_FD_MODE:
            StateOf(dialog)->chosenMode = !StateOf(dialog)->chosenMode;
            ApplyMode(dialog);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// The state is set before WM_INITDIALOG's handling through this wrapper, so that the list's
// procedure finds it while the rows are filled.
INT_PTR CALLBACK DrivesStart(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        OnInit(dialog, (DrivesState *)lParam);
        SetWindowLongPtrA(dialog, DWLP_DLGPROC, (LONG_PTR)DrivesProc);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool Drives_Ask(VLFinderState *st, std::string *driveList)
{
    DrivesState s = {st, driveList, {}, false, nullptr};
    INT_PTR answer = DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_DRIVES), nullptr,
                                     DrivesStart, (LPARAM)&s);
    return answer == IDYES;
}

std::string DriveRow_Text(const std::string &root)
{
    if (root.size() > 3) return root;  // a folder standing for a drive
    std::string label;
    UINT type = GetDriveTypeA(root.c_str());
    if (type == DRIVE_FIXED) {
        char volume[MAX_PATH] = {0};
        if (GetVolumeInformationA(root.c_str(), volume, sizeof volume, nullptr, nullptr, nullptr, nullptr, 0))
            label = volume;
    } else if (type == DRIVE_REMOTE) {
        BYTE buffer[1024];
        DWORD size = sizeof buffer;
        if (WNetGetUniversalNameA(root.c_str(), UNIVERSAL_NAME_INFO_LEVEL, buffer, &size) == NO_ERROR) {
            std::string unc = ((UNIVERSAL_NAME_INFOA *)buffer)->lpUniversalName;
            size_t server = unc.find('\\', 2);
            std::string host = unc.substr(2, server == std::string::npos ? std::string::npos : server - 2);
            std::string share = server == std::string::npos ? "" : unc.substr(server + 1);
            while (!share.empty() && share.back() == '\\') share.pop_back();
            char text[600] = {0};
            Uiassets_FormatString(text, sizeof text, UIA_IDS_NETWORK_DRIVE, host.c_str(), share.c_str());
            label = text;
        }
    }
    char row[700];
    snprintf(row, sizeof row, "%2.2s %s", root.c_str(), label.c_str());
    // First character upper case, the rest lower case (double-byte characters stay as they are).
    for (char *p = row; *p; p++) {
        BYTE c = (BYTE)*p;
        if (IsDBCSLeadByte(c) && p[1]) {
            p++;
            continue;
        }
        *p = (char)(p == row ? toupper(c) : tolower(c));
    }
    return row;
}

int DriveRow_Icon(const char *path)
{
    SHFILEINFOA info = {};
    SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

HIMAGELIST DriveRow_ImageList()
{
    SHFILEINFOA info = {};
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    windows[3] = 0;
    return (HIMAGELIST)SHGetFileInfoA(windows, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
}
