// The folder chooser: a drive combo, the levels of the path and the subfolders below it as an
// indented list, and the path as text.  OK accepts a path with a drive and a folder, offers to
// create a missing folder and insists on a folder at the end.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <winnetwk.h>

#include <algorithm>

#include "basekit.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_ui.h"

namespace {

const int kRowHeight = 18;
const int kIndent = 8;

struct FolderRow {
    std::string text;   // the level's or the subfolder's name
    std::string path;   // the path this row stands for
    int level;
    UINT icon;          // UIA_IDI_FOLDER_*
};

struct FolderState {
    char *result;
    std::string path;
    std::vector<std::string> roots;
    std::vector<FolderRow> rows;
    HICON icons[3];     // upper level, last level, subfolder (16 x 16)
};

FolderState *StateOf(HWND dialog) { return (FolderState *)GetWindowLongPtrA(dialog, DWLP_USER); }

// The levels of a path: "C:\", "C:\a", "C:\a\b" (the component steps go over double-byte
// characters).
std::vector<std::string> Levels(const std::string &path)
{
    std::vector<std::string> levels;
    if (path.size() < 3) return levels;
    levels.push_back(path.substr(0, 3));
    const char *text = path.c_str();
    for (const char *end = Basekit_PathNextComponent(text + 2); end; end = Basekit_PathNextComponent(end))
        levels.push_back(path.substr(0, end - text));
    if (path.size() > 3 && path.back() != '\\') levels.push_back(path);
    return levels;
}

void FillDrives(HWND dialog)
{
    FolderState *s = StateOf(dialog);
    HWND combo = GetDlgItem(dialog, UIA_IDC_FF_DRIVES);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    s->roots = Finder_ParseDriveList(Finder_LogicalDrives().c_str());
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    int selected = -1;
    for (size_t i = 0; i < s->roots.size(); i++) {
        int at = (int)SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)DriveRow_Text(s->roots[i]).c_str());
        SendMessageA(combo, CB_SETITEMDATA, at, (LPARAM)i);
        if (_strnicmp(s->path.c_str(), s->roots[i].c_str(), s->roots[i].size()) == 0) selected = at;
    }
    SetErrorMode(oldMode);
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
}

void FillFolders(HWND dialog)
{
    FolderState *s = StateOf(dialog);
    HWND list = GetDlgItem(dialog, UIA_IDC_FF_FOLDERS);
    s->rows.clear();
    std::vector<std::string> levels = Levels(s->path);
    for (size_t i = 0; i < levels.size(); i++) {
        std::string name = i == 0 ? levels[0] : Finder_NameOf(levels[i]);
        s->rows.push_back({name, levels[i], (int)i, i + 1 == levels.size() ? (UINT)UIA_IDI_FOLDER_LAST
                                                                           : (UINT)UIA_IDI_FOLDER_UPPER});
    }
    std::vector<std::string> subs;
    WIN32_FIND_DATAA data;
    std::string base = s->path;
    if (!base.empty() && base.back() != '\\') base += '\\';
    HANDLE find = FindFirstFileA((base + "*.*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(data.cFileName, ".") != 0 &&
                strcmp(data.cFileName, "..") != 0)
                subs.push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    std::sort(subs.begin(), subs.end(), [](const std::string &a, const std::string &b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    for (const std::string &sub : subs) s->rows.push_back({sub, base + sub, (int)levels.size(), UIA_IDI_FOLDER_SUB});
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const FolderRow &row : s->rows) SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)row.text.c_str());
    SendMessageA(list, LB_SETCURSEL, levels.empty() ? 0 : levels.size() - 1, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextA(dialog, UIA_IDC_FF_PATH, s->path.c_str());
}

void OnDrawItem(HWND dialog, const DRAWITEMSTRUCT *d)
{
    FolderState *s = StateOf(dialog);
    if (!s || (int)d->itemID < 0) return;
    bool selected = (d->itemState & ODS_SELECTED) != 0;
    FillRect(d->hDC, &d->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(d->hDC, TRANSPARENT);
    SetTextColor(d->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    int top = d->rcItem.top + (d->rcItem.bottom - d->rcItem.top - 16) / 2;
    std::string text;
    int x;
    if (d->CtlID == UIA_IDC_FF_DRIVES) {
        size_t root = (size_t)d->itemData;
        if (root < s->roots.size()) {
            HIMAGELIST images = DriveRow_ImageList();
            ImageList_Draw(images, DriveRow_Icon(s->roots[root].c_str()), d->hDC, d->rcItem.left + 3, top,
                           ILD_TRANSPARENT);
            text = DriveRow_Text(s->roots[root]);
        }
        x = d->rcItem.left + 23;
    } else {
        if (d->itemID >= s->rows.size()) return;
        const FolderRow &row = s->rows[d->itemID];
        int left = d->rcItem.left + 2 + kIndent * row.level;
        HICON icon = s->icons[row.icon == UIA_IDI_FOLDER_UPPER ? 0 : row.icon == UIA_IDI_FOLDER_LAST ? 1 : 2];
        if (icon) DrawIconEx(d->hDC, left, top, icon, 16, 16, 0, nullptr, DI_NORMAL);
        text = row.text;
        x = left + 20;
    }
    RECT rc = d->rcItem;
    rc.left = x;
    DrawTextA(d->hDC, text.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (d->itemState & ODS_FOCUS) DrawFocusRect(d->hDC, &d->rcItem);
}

// The typed path: a drive and a folder, no trailing backslash, created on request, a folder at
// the end.  True when it is accepted.
bool Accept(HWND dialog)
{
    FolderState *s = StateOf(dialog);
    char text[MAX_PATH] = {0};
    GetDlgItemTextA(dialog, UIA_IDC_FF_PATH, text, sizeof text);
    std::string path = text;
    bool drive = path.size() > 3 && path[1] == ':' && path[2] == '\\';
    bool share = path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path.find('\\', 2) != std::string::npos;
    if (!drive && !share) {
        Uiassets_MessageBox(dialog, UIA_IDS_PATH_INCOMPLETE, UIA_IDS_FINDER_CAPTION, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    if (!Finder_Exists(path)) {
        if (Uiassets_MessageBoxFormat(dialog, UIA_IDS_FINDER_CAPTION, MB_YESNO | MB_ICONQUESTION,
                                      UIA_IDS_CREATE_FOLDER, path.c_str()) != IDYES)
            return false;
        Finder_CreateFolder(path.c_str(), false);
    }
    if (!Finder_IsFolder(path)) {
        Uiassets_MessageBox(dialog, UIA_IDS_NOT_A_FOLDER, UIA_IDS_FINDER_CAPTION, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    Finder_Copy(s->result, path.c_str(), FINDER_PATH);
    return true;
}

void OnInit(HWND dialog, FolderState *s)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)s);
    HMODULE assets = Uiassets_GetModule();
    const UINT ids[3] = {UIA_IDI_FOLDER_UPPER, UIA_IDI_FOLDER_LAST, UIA_IDI_FOLDER_SUB};
    for (int i = 0; i < 3; i++)
        s->icons[i] = assets ? (HICON)LoadImageA(assets, MAKEINTRESOURCEA(ids[i]), IMAGE_ICON, 16, 16, 0) : nullptr;
    SendDlgItemMessageA(dialog, UIA_IDC_FF_PATH, EM_LIMITTEXT, MAX_PATH - 1, 0);
    FillDrives(dialog);
    FillFolders(dialog);
}

void OnCommand(HWND dialog, int id, int code)
{
    FolderState *s = StateOf(dialog);
    if (id == UIA_IDC_FF_DRIVES && code == CBN_SELCHANGE) {
        HWND combo = GetDlgItem(dialog, UIA_IDC_FF_DRIVES);
        size_t root = (size_t)SendMessageA(combo, CB_GETITEMDATA, SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
        if (root < s->roots.size()) {
            s->path = s->roots[root];
            FillFolders(dialog);
        }
    } else if (id == UIA_IDC_FF_FOLDERS && code == LBN_DBLCLK) {
        size_t row = (size_t)SendDlgItemMessageA(dialog, UIA_IDC_FF_FOLDERS, LB_GETCURSEL, 0, 0);
        if (row < s->rows.size()) {
            s->path = s->rows[row].path;
            FillFolders(dialog);
        }
    } else if (id == UIA_IDC_FF_NETWORK && code == BN_CLICKED) {
        WNetConnectionDialog(dialog, RESOURCETYPE_DISK);
        FillDrives(dialog);
    } else if ((id == UIA_IDC_FF_OK || id == IDOK) && code == BN_CLICKED) {
        if (Accept(dialog)) EndDialog(dialog, IDOK);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    }
}

INT_PTR CALLBACK FolderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, (FolderState *)lParam);
        return TRUE;
    case WM_MEASUREITEM:
        ((MEASUREITEMSTRUCT *)lParam)->itemHeight = kRowHeight;
        return TRUE;
    case WM_DRAWITEM:
        OnDrawItem(dialog, (const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        if (FolderState *s = StateOf(dialog))
            for (HICON icon : s->icons)
                if (icon) DestroyIcon(icon);
        return FALSE;
    }
    return FALSE;
}

}  // namespace

bool Folder_Choose(HWND owner, char *path)
{
    FolderState s;
    s.result = path;
    s.path = path;
    while (s.path.size() > 3 && !Finder_IsFolder(s.path)) s.path = Finder_FolderOf(s.path);
    if (s.path.size() == 2) s.path += '\\';
    memset(s.icons, 0, sizeof s.icons);
    return DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_FOLDER), owner, FolderProc,
                           (LPARAM)&s) == IDOK;
}
