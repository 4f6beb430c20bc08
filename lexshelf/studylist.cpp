// Study-list files: word-list files (extension vlh) in the study-list folder of the user data
// folder, the history and active lists, and the hand-over of one entry to them.  The user data
// folder and the delivery to a running study-list program come from the relay library, taken by
// ordinal from the module SHAREDKIT when it is loaded in the process; without it every operation
// that needs a path answers 0.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "basekit.h"
#include "lexshelf_int.h"

namespace {

const LONG kStudyListMax = 5000;
const WORD kRelayUserDataFolder = 621;
const WORD kRelayDeliverEntry = 102;
const int kStudyListKind = 3;
const char kActiveListValue[] = "ActiveList";

typedef int(WINAPI *UserDataFolderProc)(char *buf, DWORD reserved);
typedef LRESULT(WINAPI *DeliverEntryProc)(int kind, UINT message, WPARAM wParam, const void *item);

FARPROC RelayProc(WORD ordinal) {
    HMODULE relay = GetModuleHandleA("SHAREDKIT");
    return relay ? GetProcAddress(relay, MAKEINTRESOURCEA(ordinal)) : nullptr;
}

// The study-list folder: the user data folder with its last component replaced.
bool ListFolder(char *folder) {
    UserDataFolderProc proc = (UserDataFolderProc)RelayProc(kRelayUserDataFolder);
    char buf[MAX_PATH] = "";
    if (!proc || !proc(buf, 0) || !buf[0])
        return false;
    Basekit_PathReplaceFileName(buf, "StudyList");
    memcpy(folder, buf, MAX_PATH);
    return true;
}

bool ListPath(const char *name, char *path) {
    char buf[MAX_PATH];
    if (!ListFolder(buf) || !Basekit_PathAppend(buf, name))
        return false;
    memcpy(path, buf, MAX_PATH);
    return true;
}

bool FileExists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The file is a word list in the current format (a list of an older format loads as empty and
// must never be saved over).
bool CurrentFormat(const char *path) {
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    BYTE head[14];
    DWORD got = 0;
    bool ok = ReadFile(f, head, sizeof head, &got, nullptr) && got == sizeof head && memcmp(head, "VLV5DATA", 8) == 0 &&
              (WORD)(head[12] | head[13] << 8) >= VLWORDLIST_FORMAT;
    CloseHandle(f);
    return ok;
}

// Loads a list and saves it back (which keeps at most the list's maximum), only when it is in the
// current format.
void TrimList(VLWordListFile *handle, const char *path) {
    if (CurrentFormat(path) && Lexshelf_WordListLoad(handle, path))
        Lexshelf_WordListSave(handle);
}

// Writes an empty word-list file at path when none is there.
void CreateEmptyList(const char *path) {
    if (FileExists(path))
        return;
    VLWordListFile *handle = Lexshelf_WordListCreate();
    if (!handle)
        return;
    if (Lexshelf_WordListRename(handle, path))
        Lexshelf_WordListSave(handle);
    Lexshelf_WordListDestroy(handle);
}

BOOL HandOver(const VLDataItem *item, UINT message, bool history) {
    DeliverEntryProc deliver = (DeliverEntryProc)RelayProc(kRelayDeliverEntry);
    if (!deliver)
        return FALSE;
    LRESULT answer = deliver(kStudyListKind, message, 0, item);
    if (answer == VLM_STUDYLIST_REFUSED)
        return FALSE;  // the running program holds the list and could not take the entry
    if (answer != -1)
        return TRUE;
    char path[MAX_PATH];
    bool known = history ? Lexshelf_GetHistoryListPath(path) : Lexshelf_GetActiveList(path);
    if (!known)
        return FALSE;
    return VLWordList_AddItemToFile(path, item);
}

}  // namespace

// ---- A word list tied to its file ---------------------------------------------------------------

extern "C" VLWordListFile *WINAPI Lexshelf_WordListCreate(void) {
    VLWordListFile *handle = (VLWordListFile *)calloc(1, sizeof(VLWordListFile));
    if (!handle)
        return nullptr;
    handle->list = VLWordList_Create(kStudyListMax);
    if (!handle->list) {
        free(handle);
        return nullptr;
    }
    return handle;
}

extern "C" void WINAPI Lexshelf_WordListDestroy(VLWordListFile *handle) {
    if (!handle)
        return;
    free(handle->fileName);
    VLWordList_Destroy(handle->list);
    free(handle);
}

extern "C" BOOL WINAPI Lexshelf_WordListLoad(VLWordListFile *handle, const char *path) {
    if (!handle || !path)
        return FALSE;
    VLWordList_DeleteAllItems(handle->list);
    char *copy = _strdup(path);
    if (!copy)
        return FALSE;
    free(handle->fileName);
    handle->fileName = copy;
    return VLWordList_Load(handle->list, path);
}

extern "C" BOOL WINAPI Lexshelf_WordListSave(VLWordListFile *handle) {
    if (!handle || !handle->fileName)
        return FALSE;
    return VLWordList_Save(handle->list, handle->fileName);
}

// A file that fails to move keeps the old path: a later save must not write over whatever file
// carries the new name while the list's own file is left behind.
extern "C" BOOL WINAPI Lexshelf_WordListRename(VLWordListFile *handle, const char *path) {
    if (!handle || !path || !path[0])
        return FALSE;
    char *copy = _strdup(path);
    if (!copy)
        return FALSE;
    if (handle->fileName && lstrcmpiA(handle->fileName, path) != 0 && FileExists(handle->fileName) &&
        rename(handle->fileName, path) != 0) {
        free(copy);
        return FALSE;
    }
    free(handle->fileName);
    handle->fileName = copy;
    return TRUE;
}

extern "C" VLWordList *WINAPI Lexshelf_WordListGetHandle(VLWordListFile *handle) {
    return handle ? handle->list : nullptr;
}

extern "C" int WINAPI Lexshelf_WordListGetFileName(VLWordListFile *handle, char *buffer) {
    if (!buffer)
        return 0;
    buffer[0] = 0;
    if (!handle || !handle->fileName)
        return 0;
    Shelf_CopyField(buffer, MAX_PATH, handle->fileName);
    return (int)strlen(buffer);
}

// ---- Paths and roles ----------------------------------------------------------------------------

extern "C" BOOL WINAPI Lexshelf_SetActiveList(const char *path) {
    return Basekit_SettingsWriteString(LEXSHELF_DICTIONARY_SECTION, kActiveListValue, path ? path : "") != 0;
}

extern "C" BOOL WINAPI Lexshelf_GetActiveList(char *buffer) {
    char buf[MAX_PATH];
    int found = Basekit_SettingsReadString(LEXSHELF_DICTIONARY_SECTION, kActiveListValue, buf, sizeof buf);
    if (buffer)
        memcpy(buffer, buf, sizeof buf);
    return found != 0;
}

extern "C" BOOL WINAPI Lexshelf_GetHistoryListPath(char *buffer) {
    return buffer && ListPath("history.vlh", buffer);
}

extern "C" BOOL WINAPI Lexshelf_GetDefaultListPath(char *buffer) {
    return buffer && ListPath("default.vlh", buffer);
}

extern "C" BOOL WINAPI Lexshelf_GetListFolder(char *buffer) { return buffer && ListFolder(buffer); }

extern "C" DWORD WINAPI Lexshelf_GetListRole(const char *path) {
    if (!path)
        return 0;
    DWORD role = 0;
    char other[MAX_PATH];
    if (Lexshelf_GetHistoryListPath(other) && lstrcmpiA(other, path) == 0)
        role |= LEXSHELF_ROLE_HISTORY;
    if (Lexshelf_GetDefaultListPath(other) && lstrcmpiA(other, path) == 0)
        role |= LEXSHELF_ROLE_DEFAULT;
    if (Lexshelf_GetActiveList(other) && lstrcmpiA(other, path) == 0)
        role |= LEXSHELF_ROLE_ACTIVE;
    return role;
}

extern "C" BOOL WINAPI Lexshelf_DeleteList(const char *path) {
    if (!path || (Lexshelf_GetListRole(path) & (LEXSHELF_ROLE_HISTORY | LEXSHELF_ROLE_ACTIVE)))
        return FALSE;
    return DeleteFileA(path) != 0;
}

extern "C" int WINAPI Lexshelf_EnumLists(LexshelfNameProc callback, LPARAM user) {
    char folder[MAX_PATH], pattern[MAX_PATH], name[16];
    if (!ListFolder(folder))
        return 0;
    snprintf(name, sizeof name, "*.%s", "vlh");
    memcpy(pattern, folder, sizeof pattern);
    if (!Basekit_PathAppend(pattern, name))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int visited = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char path[MAX_PATH];
        memcpy(path, folder, sizeof path);
        if (!Basekit_PathAppend(path, found.cFileName))
            continue;
        visited++;
        if (callback && !callback(path, user))
            break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return visited;
}

// ---- Hand-over of one entry -------------------------------------------------------------------

extern "C" BOOL WINAPI Lexshelf_AddToHistory(const VLDataItem *item) {
    return HandOver(item, VLM_STUDYLIST_ADD_HISTORY, true);
}

extern "C" BOOL WINAPI Lexshelf_AddToActiveList(const VLDataItem *item) {
    return HandOver(item, VLM_STUDYLIST_ADD_ACTIVE, false);
}

// ---- At start and stop -------------------------------------------------------------------------

void Shelf_EnsureStudyLists() {
    char path[MAX_PATH];
    if (Lexshelf_GetHistoryListPath(path))
        CreateEmptyList(path);
    if (!Lexshelf_GetActiveList(nullptr) && Lexshelf_GetDefaultListPath(path))
        Lexshelf_SetActiveList(path);
    if (Lexshelf_GetDefaultListPath(path))
        CreateEmptyList(path);
}

void Shelf_TrimStudyLists(bool keepHistory, bool trim) {
    char path[MAX_PATH];
    if (trim) {
        // A load keeps at most the list's maximum; saving it back trims the file.
        VLWordListFile *handle = Lexshelf_WordListCreate();
        if (handle) {
            if (Lexshelf_GetActiveList(path))
                TrimList(handle, path);
            if (Lexshelf_GetHistoryListPath(path))
                TrimList(handle, path);
            Lexshelf_WordListDestroy(handle);
        }
    }
    if (!keepHistory && Lexshelf_GetHistoryListPath(path))
        DeleteFileA(path);
}
