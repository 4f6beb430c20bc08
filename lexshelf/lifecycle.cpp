// Start and stop of the dictionary manager, its hidden notification window, and the change
// notices through which every process keeps its copies of groups, lists and sets in step.
#include <string.h>
#include "basekit.h"
#include "lexicore.h"
#include "lexshelf_int.h"

namespace {

ShelfState g_shelf;

const char kStatusClass[] = "VelomiraV5Status";
const UINT kStatusText = 0x840C;
const char kStatusLoading[] = "Loading Velomira Dictionary Manager now...";

// The last component of the program's path.
void ProgramName(char *name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    const char *slash = Basekit_PathFindFileName(path);
    Shelf_CopyField(name, MAX_PATH, slash ? slash + 1 : path);
}

bool WindowOfClass(const char *cls) { return FindWindowA(cls, nullptr) != nullptr; }

void OnItemAdded(WPARAM, LPARAM lParam) {
    DWORD id = (DWORD)lParam;
    if (id == 0)
        return;
    if (id < LEXSHELF_FIRST_DIC_ID && !Lexshelf_FindGroup(id)) {
        VLDicGroup *group = Lexshelf_GroupCreate();
        if (!group)
            return;
        if (!Lexshelf_GroupLoad(id, group) || !Shelf_TableInsert(group)) {
            Lexshelf_GroupDestroy(group);  // its key is gone: nothing to list
            return;
        }
    }
    for (VLPriorityList *list : g_shelf.lists)
        if (Shelf_ListAppend(list, id, 0))
            Shelf_SortRenumber(list, true);
}

// A dictionary leaves the catalogue with its whole file: the other sub-dictionaries of that file
// that the catalogue no longer holds leave the lists too, so that no list keeps entries whose
// records cannot be read.
bool IsGoneSibling(DWORD entryId, DWORD removedId) {
    if (entryId < LEXSHELF_FIRST_DIC_ID || removedId < LEXSHELF_FIRST_DIC_ID || entryId == removedId ||
        (entryId >> 8) != (removedId >> 8))
        return false;
    DicProperty p;
    memset(&p, 0, sizeof p);
    p.size = sizeof p;
    return !Lexicore_GetDicProperty(entryId, &p);
}

void OnItemRemoved(WPARAM, LPARAM lParam) {
    DWORD id = (DWORD)lParam;
    if (id < LEXSHELF_FIRST_DIC_ID)
        Shelf_TableRemove(id);
    for (VLPriorityList *list : g_shelf.lists) {
        if (!list)
            continue;
        bool changed = Shelf_ListDrop(list, id);
        for (DWORD i = list->count; i-- > 0;) {
            if (IsGoneSibling(list->entries[i].id, id))
                changed = Shelf_ListDrop(list, list->entries[i].id) || changed;
        }
        if (changed)
            Shelf_SortRenumber(list, true);
    }
}

void OnListCommitted(WPARAM kind) {
    if (kind >= LEXSHELF_LIST_KINDS || !g_shelf.lists[kind])
        return;
    Lexshelf_PrioDestroy(g_shelf.lists[kind]);
    g_shelf.lists[kind] = Lexshelf_PrioCreate((DWORD)kind);
}

void OnGroupChanged(WPARAM id) {
    VLDicGroup *group = Lexshelf_FindGroup((DWORD)id);
    if (group)
        Lexshelf_GroupLoad((DWORD)id, group);
}

void OnTransSetChanged(bool rename) {
    VLTransSet *set = g_shelf.current;
    if (!set)
        return;
    Lexshelf_TransSetClear(set);
    if (rename) {
        char name[64] = "";
        Lexshelf_GetCurrentTransSet(name);
        Shelf_CopyField(set->name, sizeof set->name, name);
    }
    Shelf_TransSetLoadInto(set);
}

LRESULT CALLBACK ManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_shelf.window = window;
        Shelf_BuildSharedLists();
        return 0;
    case WM_DESTROY:
        if (g_shelf.window == window)
            g_shelf.window = nullptr;
        return 0;
    case VLDM_ITEM_ADDED:
        OnItemAdded(wParam, lParam);
        return 0;
    case VLDM_ITEM_REMOVED:
        OnItemRemoved(wParam, lParam);
        return 0;
    case VLDM_ITEM_MOVED:
        return 0;  // the sender's own list moved; nobody else's changes
    case VLDM_LIST_COMMITTED:
        OnListCommitted(wParam);
        return 0;
    case VLDM_GROUP_CHANGED:
        OnGroupChanged(wParam);
        return 0;
    case VLDM_TRANSSET_CHANGED:
        OnTransSetChanged(false);
        return 0;
    case VLDM_CURRENT_TRANSSET_CHANGED:
        OnTransSetChanged(true);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreateManagerWindow() {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = ManagerProc;
    wc.hInstance = ShelfModule();
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = LEXSHELF_WINDOW_CLASS;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    HWND window = CreateWindowExA(0, LEXSHELF_WINDOW_CLASS, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  ShelfModule(), nullptr);
    return window != nullptr;
}

}  // namespace

ShelfState &Shelf() { return g_shelf; }

HINSTANCE ShelfModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ManagerProc, &module);
    return module;
}

extern "C" BOOL WINAPI Lexshelf_Init(DWORD flags) {
    HWND status = FindWindowA(kStatusClass, nullptr);
    DWORD pid = 0;
    if (status && GetWindowThreadProcessId(status, &pid) && pid == GetCurrentProcessId())
        SendMessageA(status, kStatusText, 0, (LPARAM)kStatusLoading);

    HANDLE process = GetCurrentProcess();
    DWORD priority = GetPriorityClass(process);
    SetPriorityClass(process, HIGH_PRIORITY_CLASS);
    if (!Lexicore_Init(LEXSHELF_CLIENT, flags)) {
        SetPriorityClass(process, priority);
        return FALSE;
    }
    g_shelf.started = true;
    bool ready = Shelf_LoadGroupTable() && CreateManagerWindow();
    if (ready) {
        if (flags & LEXSHELF_INIT_TRANSSET) {
            // The current set is held even when nothing is stored yet, so that a set chosen later
            // reaches this process through the notices.
            char name[64] = "";
            Lexshelf_GetCurrentTransSet(name);
            g_shelf.current = Lexshelf_TransSetCreate(name);
            Shelf_TransSetLoadInto(g_shelf.current);
        }
        // Also on a first start, when no translation set is stored yet.
        Shelf_EnsureStudyLists();
    }
    SetPriorityClass(process, priority);
    return TRUE;
}

extern "C" int WINAPI Lexshelf_Term(void) {
    char program[MAX_PATH];
    ProgramName(program);
    if (lstrcmpiA(program, "VELOMIRA.EXE") == 0) {
        bool trim = !WindowOfClass("VelomiraV5StudyListWindow");
        bool keepHistory = WindowOfClass("VelomiraV5TranslateWindow") || WindowOfClass("VelomiraV5SearchMain");
        Shelf_TrimStudyLists(keepHistory, trim);
    }
    if (g_shelf.window)
        DestroyWindow(g_shelf.window);
    g_shelf.window = nullptr;
    UnregisterClassA(LEXSHELF_WINDOW_CLASS, ShelfModule());

    static const char *const owners[LEXSHELF_LIST_KINDS] = {"VELOMIRA.EXE", "QUERYDESK.EXE", "TRANSPANE.EXE"};
    for (int kind = 0; kind < LEXSHELF_LIST_KINDS; kind++) {
        if (g_shelf.lists[kind] && lstrcmpiA(program, owners[kind]) == 0)
            Lexshelf_PrioCommit(g_shelf.lists[kind]);
    }
    Shelf_FreeSharedLists();
    Shelf_FreeGroupTable();
    Lexshelf_TransSetDestroy(g_shelf.current);
    g_shelf.current = nullptr;
    Shelf_SearchStop();
    if (g_shelf.started)
        Lexicore_Term();
    g_shelf.started = false;

    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
