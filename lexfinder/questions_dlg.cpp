// The questions registration asks: whether to replace a file (and to keep the answer for the rest
// of the run), a name for a book, and the folder a book is copied into (with a preview of it).
#include <stdio.h>
#include <string.h>

#include "strandkit.h"
#include "uiassets.h"
#include "finder_res.h"
#include "finder_ui.h"

namespace {

// ---- Overwrite question ----------------------------------------------------------------------------
struct OverwriteState {
    const char *path;
    int sameForRest;
};

INT_PTR CALLBACK OverwriteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    OverwriteState *s = (OverwriteState *)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        s = (OverwriteState *)lParam;
        std::string quoted = std::string("'") + s->path + "'";
        SetDlgItemTextA(dialog, UIA_IDC_FO_SOURCE, quoted.c_str());
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO) {
            s->sameForRest = IsDlgButtonChecked(dialog, UIA_IDC_FO_SAME_FOR_ALL) == BST_CHECKED;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---- Title and folder-name dialogs -----------------------------------------------------------------
struct NameState {
    char *name;                 // 256 bytes, in and out
    const char *title;
    const char *myDic;          // folder-name dialog: the folder the name goes below
};

std::string Joined(const NameState *s, const char *name)
{
    std::string folder = s->myDic;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder + name;
}

void OnNameInit(HWND dialog, NameState *s, bool folderName)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)s);
    char text[600] = {0};
    if (folderName) {
        bool japanese = s->title && Strandkit_GetUiCharset() == SHIFTJIS_CHARSET;
        Uiassets_FormatString(text, sizeof text, UIA_IDS_COPY_DICTIONARY, japanese ? s->title : "");
        SetWindowTextA(dialog, text);
        SendDlgItemMessageA(dialog, UIA_IDC_FN_NAME, EM_LIMITTEXT, 256, 0);
        SetDlgItemTextA(dialog, UIA_IDC_FN_NAME, s->name);
        SetDlgItemTextA(dialog, UIA_IDC_FN_PREVIEW, Joined(s, s->name).c_str());
    } else {
        if (Uiassets_LoadString(UIA_IDS_TITLE_CAPTION, text, sizeof text)) SetWindowTextA(dialog, text);
        if (Uiassets_LoadString(UIA_IDS_TITLE_LABEL, text, sizeof text)) SetDlgItemTextA(dialog, UIA_IDC_FT_LABEL, text);
        SendDlgItemMessageA(dialog, UIA_IDC_FT_NAME, EM_LIMITTEXT, 255, 0);
        SetDlgItemTextA(dialog, UIA_IDC_FT_NAME, s->name);
    }
}

// OK: a name is needed; the folder name's folder must exist or be creatable.
bool OnNameOk(HWND dialog, NameState *s, bool folderName)
{
    char name[257] = {0};
    GetDlgItemTextA(dialog, folderName ? UIA_IDC_FN_NAME : UIA_IDC_FT_NAME, name, sizeof name);
    if (!name[0]) {
        MessageBeep(MB_OK);
        return false;
    }
    if (folderName && !Finder_CreateFolder(Joined(s, name).c_str(), true)) {
        Uiassets_MessageBox(dialog, UIA_IDS_FOLDER_UNUSABLE, UIA_IDS_FINDER_NOTICE, MB_OK | MB_ICONSTOP);
        return false;
    }
    Finder_Copy(s->name, name, 256);
    return true;
}

INT_PTR NameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, bool folderName)
{
    NameState *s = (NameState *)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
    case WM_INITDIALOG:
        OnNameInit(dialog, (NameState *)lParam, folderName);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (OnNameOk(dialog, s, folderName)) EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        if (folderName && LOWORD(wParam) == UIA_IDC_FN_NAME && HIWORD(wParam) == EN_CHANGE && s) {
            char name[257] = {0};
            GetDlgItemTextA(dialog, UIA_IDC_FN_NAME, name, sizeof name);
            SetDlgItemTextA(dialog, UIA_IDC_FN_PREVIEW, Joined(s, name).c_str());
            return TRUE;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (folderName && GetDlgCtrlID((HWND)lParam) == UIA_IDC_FN_PREVIEW) {
            SetTextColor((HDC)wParam, GetSysColor(COLOR_BTNTEXT));
            SetBkColor((HDC)wParam, GetSysColor(COLOR_BTNFACE));
            return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK TitleProc(HWND d, UINT m, WPARAM w, LPARAM l) { return NameProc(d, m, w, l, false); }
INT_PTR CALLBACK FolderNameProc(HWND d, UINT m, WPARAM w, LPARAM l) { return NameProc(d, m, w, l, true); }

}  // namespace

int Questions_Overwrite(HWND owner, const char *path, int *sameForRest)
{
    OverwriteState s = {path, 0};
    INT_PTR answer = DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_OVERWRITE), owner,
                                     OverwriteProc, (LPARAM)&s);
    *sameForRest = s.sameForRest;
    return answer == IDYES ? IDYES : IDNO;
}

int Questions_Title(HWND owner, char *name)
{
    NameState s = {name, nullptr, ""};
    return DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_TITLE), owner, TitleProc,
                           (LPARAM)&s) == IDOK;
}

int Questions_FolderName(HWND owner, const char *title, const char *myDic, char *name)
{
    NameState s = {name, title, myDic};
    return DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_FIND_FOLDER_NAME), owner,
                           FolderNameProc, (LPARAM)&s) == IDOK;
}
