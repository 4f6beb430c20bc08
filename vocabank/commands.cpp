// Word commands of the result windows: which are enabled for a dictionary and an entry, and
// carrying them out.
#include <string.h>
#include <windows.h>
#include <commctrl.h>
#include "vocabank_int.h"
#include "lexicore.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "scrivel.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "widgetry.h"

namespace {

const UINT kCommands[] = {5401, 5402, 5403, 5404, 5405, 5407};
const UINT kDrillCommand = 10090;
const DWORD kFirstDictionary = 0x100000;  // ids below name groups
const UINT kTextDelete = 2435, kCaptionDelete = 101;
const UINT kScrivshowShowManager = 0x417;

// The entry the commands act on: the data list's current item when a list is given.
const VLDataItem *CurrentEntry(HWND dataList, const VLDataItem *entry) {
    if (!dataList) return entry;
    VLWordList *list = (VLWordList *)SendMessageA(dataList, VLDLM_GETLIST, 0, 0);
    return list ? VLWordList_GetCurItem(list) : nullptr;
}

// Dictionary id of an entry: sub-dictionary number | file id << 8.
DWORD EntryDicId(const VLDataItem *entry) {
    return entry ? (entry->head.subDicNo | entry->head.fileId << 8) : 0;
}

DWORD EntryKind(const VLDataItem *entry) {
    DicInfo info;
    return entry && Vb_DicInfo(EntryDicId(entry), &info) ? info.kind : 0;
}

bool IsEnabled(UINT command, DWORD dicId, const VLDataItem *entry) {
    switch (command) {
    case 5401: {
        DicInfo info;
        return dicId >= kFirstDictionary && Vb_DicInfo(dicId, &info) && info.kind == 2;
    }
    case 5402:
    case 5403: return EntryKind(entry) == 2;
    case 5404: return entry && Lexshelf_CanPronounceEntry(entry);
    case 5405: return Linguakeeper_IsAvailable(0) != 0;
    case 5407: return Lexshelf_GetActiveList(nullptr) != 0;
    case kDrillCommand: {
        char path[MAX_PATH];
        return Vb_DrillPath(path);
    }
    }
    return false;
}

void OpenManagerFromFocus(DWORD language, const VLDataItem *entry) {
    HWND focus = GetFocus();
    char cls[32] = "";
    if (focus) GetClassNameA(focus, cls, sizeof cls);
    if (lstrcmpiA(cls, "SCRIVEL10") == 0) {
        LRESULT size = SendMessageA(focus, SCM_GETSELTEXT, 3, 0);
        UINT message = SCM_GETSELTEXT;
        if (size <= 1) {  // no selection (0) or an empty one
            message = SCM_GETCHARSETTEXT;
            size = SendMessageA(focus, message, 0, 0);
        }
        if (size <= 0) return;
        char *text = (char *)LocalAlloc(LPTR, size + 4);
        if (!text) return;
        SendMessageA(focus, message, message == SCM_GETSELTEXT ? 3 : 0, (LPARAM)text);
        Linguakeeper_OpenManager(language, text, 0);
        LocalFree(text);
    } else if (lstrcmpiA(cls, "SCRIVSHOW10") == 0) {
        SendMessageA(focus, kScrivshowShowManager, 0, 0);
    } else if (entry && entry->headword) {
        Linguakeeper_OpenManager(language, entry->headword, 0);
    }
}

}  // namespace

bool Vb_DicInfo(DWORD dicId, DicInfo *info) {
    memset(info, 0, sizeof *info);
    info->size = sizeof *info;
    return dicId && Lexicore_GetDicInfo(dicId >> 8, info);
}

// The engine marks the user dictionaries it may write with the user status bit.
bool Vb_IsWritableUserDic(DWORD dicId) {
    DicInfo info;
    return Vb_DicInfo(dicId, &info) && info.kind == 2 && ((info.status & DICSTATUS_USER) || info.userFlag);
}

bool Vb_DrillPath(char *path) {
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (!n || n >= MAX_PATH) return false;
    char *slash = strrchr(path, '\\');
    if (!slash || (slash - path) + 14 >= MAX_PATH) return false;
    strcpy(slash + 1, "KEYDRILL.EXE");
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool Vb_StartDrill(void) {
    char path[MAX_PATH];
    if (!Vb_DrillPath(path)) return false;
    char commandLine[MAX_PATH + 2];
    wsprintfA(commandLine, "\"%s\"", path);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

extern "C" void WINAPI Vocabank_UpdateCommands(HMENU menu, HWND window, DWORD dicId, HWND dataList,
                                               const VLDataItem *entry) {
    const VLDataItem *current = CurrentEntry(dataList, entry);
    char cls[32] = "";
    if (window) GetClassNameA(window, cls, sizeof cls);
    bool toolbar = lstrcmpiA(cls, TOOLBARCLASSNAMEA) == 0;
    for (UINT command : kCommands) {
        bool on = IsEnabled(command, dicId, current);
        if (menu) EnableMenuItem(menu, command, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        if (!window) continue;
        if (toolbar) {
            SendMessageA(window, TB_ENABLEBUTTON, command, MAKELONG(on ? TRUE : FALSE, 0));
        } else {
            HWND item = GetDlgItem(window, command);
            if (item) EnableWindow(item, on);
        }
    }
    if (toolbar)
        SendMessageA(window, TB_ENABLEBUTTON, kDrillCommand,
                     MAKELONG(IsEnabled(kDrillCommand, dicId, current) ? TRUE : FALSE, 0));
}

extern "C" int WINAPI Vocabank_DoCommand(HWND window, DWORD dicId, HWND dataList,
                                         const VLDataItem *entry, const char *text, DWORD reserved,
                                         UINT command, DWORD language) {
    (void)reserved;
    const VLDataItem *current = CurrentEntry(dataList, entry);
    switch (command) {
    case 5401:
        if (dicId >= kFirstDictionary) Vocabank_NewWord(window, dicId, text);
        break;
    case 5402:
        if (current && Vb_IsWritableUserDic(EntryDicId(current))) Vocabank_EditEntry(window, current);
        break;
    case 5403:
        if (current && Vb_IsWritableUserDic(EntryDicId(current)) &&
            Uiassets_MessageBox(window, kTextDelete, kCaptionDelete,
                                MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST) == IDYES) {
            // Keep the dictionary id: the entry may be the data list's own, gone after the delete.
            DWORD id = EntryDicId(current);
            if (Lexicore_DeleteUserEntry(current)) Sharedkit_Broadcast(1, VLM_USER_ENTRY_CHANGED, id, 0);
        }
        break;
    case 5404:
        if (current) Lexshelf_PronounceEntry(current);
        break;
    case 5405: OpenManagerFromFocus(language, current); break;
    case 5407:
        if (current && EntryKind(current) != 3 &&
            !(dataList && SendMessageA(dataList, VLDLM_ADDTOSTUDYLIST, 0, 0)))
            Lexshelf_AddToActiveList(current);
        break;
    case kDrillCommand: Vb_StartDrill(); break;
    default: return 0;
    }
    if (window) SetForegroundWindow(window);
    return 1;
}
