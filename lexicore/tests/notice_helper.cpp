// Second process of the notice tests.  Arguments: client name, settings file ("-" for the registry),
// ready event, done event, result file, and optionally "hang" (wait for done without handling a
// single message, as a process that hangs) or "create=<path>" (create a user dictionary there
// before signalling ready; the result file then starts with "created <id in hex>") or
// "add=<dictionary id in hex>:<count>" (after signalling ready, add entries "p0", "p1", ... to that
// user dictionary; the result file then starts with "added <entries taken>").  Starts the
// engine under the client name, signals ready, handles messages until done is signalled, then
// writes what its catalogue holds: one line per sub-dictionary "<dictionary id in hex> <default
// flag> <nickname>" and ends.
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include "basekit.h"
#include "lexicore.h"

static int CALLBACK WriteOne(DicProperty *p, LPARAM user) {
    fprintf((FILE *)user, "%x %u %s\n", (unsigned)p->dicId, (unsigned)p->defaultFlag, p->nickname);
    return 1;
}

int main(int argc, char **argv) {
    if (argc < 6) return 2;
    if (strcmp(argv[2], "-") != 0) Basekit_SettingsSetFile(argv[2]);
    if (!Lexicore_Init(argv[1], 4)) return 3;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    HANDLE done = OpenEventA(SYNCHRONIZE, FALSE, argv[4]);
    if (!ready || !done) return 4;
    DWORD created = 0;
    if (argc > 6 && strncmp(argv[6], "create=", 7) == 0)
        created = Lexicore_CreateUserDic(argv[6] + 7, "Helper", "H", 0, 1, 0x0100, 0x0100);
    SetEvent(ready);
    if (argc > 6 && strcmp(argv[6], "hang") == 0) WaitForSingleObject(done, INFINITE);
    unsigned dicId = 0, count = 0, added = 0;
    bool adding = argc > 6 && sscanf(argv[6], "add=%x:%u", &dicId, &count) == 2;
    for (unsigned i = 0; adding && i < count; i++) {
        char headword[16];
        snprintf(headword, sizeof headword, "p%u", i);
        VLDataItem head;
        memset(&head, 0, sizeof head);
        head.head.type = VLITEM_DATA;
        VLDataItem *item = VLDataItem_Create(&head, headword, nullptr, nullptr, nullptr);
        if (Lexicore_AddUserEntry(dicId, item, "from the other process", nullptr) >= 0) added++;
        VLDataItem_Destroy(item);
    }
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    FILE *out = fopen(argv[5], "wb");
    if (!out) return 5;
    if (argc > 6 && strncmp(argv[6], "create=", 7) == 0) fprintf(out, "created %x\n", (unsigned)created);
    if (adding) fprintf(out, "added %u\n", added);
    fprintf(out, "files %d\n", Lexicore_GetDicFileCount());
    Lexicore_EnumDics(WriteOne, (LPARAM)out);
    fclose(out);
    Lexicore_Term();
    return 0;
}
