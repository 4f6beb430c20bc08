// Second process of the notice tests.  Arguments: settings file ("-" for the registry), ready
// event, go event, done event, result file, action: "watch"; "group:<name>" saves a new group
// into the pop-up list when go is signalled; "dic:<name>" makes a new user dictionary of that
// name (English-Japanese, its files beside the result file) and adds it to the pop-up list then;
// "remove:<name>" removes the dictionary (with its files) or group of that name then; "move"
// moves the second entry of the pop-up and of the search list to the top then.  The relay library is loaded when SHAREDKIT_DATA_DIR is set,
// so that the study lists are found.  Copies of this program run under the names of the suite's
// programs to show what a stop does in each.  Starts the manager, signals ready, handles
// messages until done is signalled, then writes what its copies hold:
//   "groups <n>", one line "g <id> <name>" per group, "list <kind> <id>:<priority> ...".
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include "basekit.h"
#include "lexicore.h"
#include "lexshelf.h"

static void PumpUntil(HANDLE event) {
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &event, FALSE, 60000, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (r == WAIT_OBJECT_0 || r == WAIT_TIMEOUT || r == WAIT_FAILED)
            return;
    }
}

static int CALLBACK WriteGroup(VLDicGroup *g, LPARAM user) {
    fprintf((FILE *)user, "g %u %s\n", (unsigned)g->id, g->name);
    return 1;
}

static int CALLBACK WriteItem(VLPriorityItem *item, LPARAM user) {
    fprintf((FILE *)user, " %u:%u", (unsigned)item->id, (unsigned)item->priority);
    return 1;
}

struct Named {
    const char *name;
    DWORD id;
};

static int CALLBACK FindNamed(VLPriorityItem *item, LPARAM user) {
    Named *n = (Named *)user;
    if (item->name && strcmp(item->name, n->name) == 0) {
        n->id = item->id;
        return 0;
    }
    return 1;
}

// A new user dictionary named name, its files in the folder of file, added to the pop-up list.
static void AddUserDictionary(const char *file, const char *name) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s", file);
    char *slash = strrchr(path, '\\');
    size_t at = slash ? (size_t)(slash + 1 - path) : 0;
    snprintf(path + at, sizeof path - at, "%s.rdc", name);
    DWORD fileId = Lexicore_CreateUserDic(path, name, name, RGB(0, 0, 255), 1, 0x0100, 0x0400);
    if (fileId)
        Lexshelf_PrioAdd((VLPriorityList *)LEXSHELF_LIST_POPUP, fileId << 8);
}

int main(int argc, char **argv) {
    if (argc < 7)
        return 2;
    if (strcmp(argv[1], "-") != 0)
        Basekit_SettingsSetFile(argv[1]);
    if (getenv("SHAREDKIT_DATA_DIR"))
        LoadLibraryA("SHAREDKIT.DLL");
    if (!Lexshelf_Init(3 | LEXSHELF_INIT_TRANSSET))
        return 3;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    HANDLE done = OpenEventA(SYNCHRONIZE, FALSE, argv[4]);
    if (!ready || !go || !done)
        return 4;
    SetEvent(ready);
    PumpUntil(go);
    if (strncmp(argv[6], "group:", 6) == 0) {
        VLDicGroup *g = Lexshelf_GroupCreate();
        Lexshelf_GroupSetNames(g, argv[6] + 6, "");
        Lexshelf_PrioAddGroup((VLPriorityList *)LEXSHELF_LIST_POPUP, g);
        Lexshelf_GroupDestroy(g);
    } else if (strncmp(argv[6], "dic:", 4) == 0) {
        AddUserDictionary(argv[5], argv[6] + 4);
    } else if (strncmp(argv[6], "remove:", 7) == 0) {
        Named n = {argv[6] + 7, 0};
        Lexshelf_PrioEnum((VLPriorityList *)LEXSHELF_LIST_POPUP, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1 |
                          LEXSHELF_ENUM_TYPE8, 0, FindNamed, (LPARAM)&n);
        if (n.id)
            Lexshelf_PrioRemove((VLPriorityList *)LEXSHELF_LIST_POPUP, n.id, TRUE);
    } else if (strcmp(argv[6], "move") == 0) {
        Lexshelf_PrioMove((VLPriorityList *)LEXSHELF_LIST_POPUP, 2, 1);
        Lexshelf_PrioMove((VLPriorityList *)LEXSHELF_LIST_SEARCH, 2, 1);
    }
    PumpUntil(done);
    FILE *out = fopen(argv[5], "wb");
    if (!out)
        return 5;
    fprintf(out, "groups %d\n", Lexshelf_GetGroupCount());
    Lexshelf_EnumGroups(WriteGroup, (LPARAM)out);
    for (int kind = 0; kind < 3; kind++) {
        fprintf(out, "list %d", kind);
        Lexshelf_PrioEnum((VLPriorityList *)(UINT_PTR)kind, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1 |
                          LEXSHELF_ENUM_TYPE8, 0, WriteItem, (LPARAM)out);
        fprintf(out, "\n");
    }
    fclose(out);
    Lexshelf_Term();
    return 0;
}
