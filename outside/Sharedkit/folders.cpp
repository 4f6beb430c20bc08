// The user data folder and the new-dictionary question at start-up.
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "sharedkit.h"
#include "sharedkit_int.h"
#include "sharedkit_res.h"

namespace {

const char kSetupKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary\\Setup";

// Creates every missing folder of the path (which ends in a backslash); 1 when it exists afterwards.
int MakeFolders(const char *path) {
    char part[MAX_PATH];
    size_t n = strlen(path);
    if (n == 0 || n >= sizeof part)
        return 0;
    for (size_t i = 0; i < n; i++) {
        part[i] = path[i];
        if (path[i] == '\\' && i > 0 && path[i - 1] != ':' && !(i == 1 && path[0] == '\\')) {
            part[i] = 0;
            CreateDirectoryA(part, nullptr);
            part[i] = '\\';
        }
    }
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD ReadSetupDword(const char *name) {
    DWORD value = 0, size = sizeof value, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSetupKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, name, nullptr, &type, (BYTE *)&value, &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            value = 0;
        RegCloseKey(key);
    }
    return value;
}

struct QuestionState {
    const char *text;
    UINT iconId;
    int check;
};

INT_PTR CALLBACK QuestionProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    QuestionState *st = (QuestionState *)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        st = (QuestionState *)lParam;
        SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)st);
        SetDlgItemTextA(dlg, IDC_SHAREDKIT_TEXT, st->text);
        SendDlgItemMessageA(dlg, IDC_SHAREDKIT_ICON, STM_SETICON,
                            (WPARAM)LoadIconA(nullptr, MAKEINTRESOURCEA(st->iconId)), 0);
        CheckDlgButton(dlg, IDC_SHAREDKIT_CHECK, st->check ? BST_CHECKED : BST_UNCHECKED);
        SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDCANCEL) {
            st->check = IsDlgButtonChecked(dlg, IDC_SHAREDKIT_CHECK) == BST_CHECKED;
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

extern "C" int WINAPI Sharedkit_GetUserDataFolder(char *buf, DWORD) {
    if (!buf)
        return 0;
    char folder[MAX_PATH + 32];
    const char *root = getenv("SHAREDKIT_DATA_DIR");
    if (root && *root) {
        snprintf(folder, sizeof folder, "%s", root);
    } else {
        char appData[MAX_PATH];
        if (SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData) != S_OK)
            return 0;
        snprintf(folder, sizeof folder, "%s\\Halvenstone\\Velosuite", appData);
    }
    size_t n = strlen(folder);
    if (n == 0 || n + 2 > MAX_PATH - 12)  // room for the trailing backslash and "StudyList\"
        return 0;
    if (folder[n - 1] != '\\' && folder[n - 1] != '/')
        strcat(folder, "\\");
    char studyList[MAX_PATH];
    snprintf(studyList, sizeof studyList, "%sStudyList\\", folder);
    if (!MakeFolders(folder) || !MakeFolders(studyList))
        return 0;
    memcpy(buf, folder, strlen(folder) + 1);
    return 1;
}

extern "C" int WINAPI Sharedkit_StartupCheck(void) {
    if (ReadSetupDword("NoCheckNewDic") == 1)
        return 0;
    const char *due = getenv("SHAREDKIT_NEWDIC_DUE");
    if (due && *due)
        return due[0] == '1';
    return ReadSetupDword("NewDicPending") != 0;
}

extern "C" int WINAPI Sharedkit_MessageBoxCheck(HWND owner, UINT textId, UINT, UINT, UINT iconId, int *check) {
    // Scripted answer for unattended runs: "6" or "2", optionally ",0" / ",1" for the check box.
    const char *script = getenv("SHAREDKIT_QUESTION_ANSWER");
    if (script && *script) {
        int answer = atoi(script) == IDYES ? IDYES : IDCANCEL;
        const char *comma = strchr(script, ',');
        if (comma && check)
            *check = atoi(comma + 1) != 0;
        return answer;
    }
    char text[1024] = "";
    HMODULE assets = GetModuleHandleA("Uiassets.dll");
    if (!assets)
        assets = LoadLibraryExA("Uiassets.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (assets)
        LoadStringA(assets, textId, text, sizeof text);
    QuestionState st = {text, iconId ? iconId : 32514u, check ? *check : 1};
    INT_PTR r = DialogBoxParamA(g_sharedkitModule, MAKEINTRESOURCEA(IDD_SHAREDKIT_QUESTION), owner,
                                QuestionProc, (LPARAM)&st);
    if (check)
        *check = st.check;
    return r == IDYES ? IDYES : IDCANCEL;
}
