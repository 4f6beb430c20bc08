// A language driver for the manager's tests: the fourteen operations with answers the test can
// recognise, its own heap release exported by name, and a count of released blocks.
#include <windows.h>
#include <string.h>
#include "linguakeeper.h"

namespace {
LONG g_freed;
}

extern "C" {

__declspec(dllexport) void WINAPI LangDriver_Free(void *block) {
    if (block) {
        g_freed++;
        HeapFree(GetProcessHeap(), 0, block);
    }
}
__declspec(dllexport) LONG WINAPI TestDriver_FreedCount(void) { return g_freed; }

DWORD WINAPI TD_GetLangInfo(DWORD flags, LinguakeeperLangRecord *info) {
    DWORD size = info->size;
    memset(info, 0, LINGUAKEEPER_LANGINFO_SIZE);
    info->size = size;
    info->language = 0x0B00;
    info->charset = 0;
    info->singleByteA = 1;
    strcpy(info->name, "Testish");
    return flags & 0xFF;
}

int WINAPI TD_Analyze(const char *text, int cursor, LinguakeeperKeyList *out, const LinguakeeperAnalysisSettings *) {
    if (!text || cursor < 0 || text[cursor] == ' ')
        return 0;
    char *key = (char *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 16);
    strcpy(key, "driver-key");
    LinguakeeperKeyItem *items = (LinguakeeperKeyItem *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *items);
    items[0].text = key;
    items[0].kind = 0x480;
    out->language = 0x0B00;
    out->count = 1;
    out->items = items;
    return 1;
}

char *WINAPI TD_Normalize(DWORD, const char *text, char *out) {
    strcpy(out, "N:");
    strcat(out, text);
    return out;
}
int WINAPI TD_Compare(DWORD, const char *, const char *, int) { return 42; }
DWORD WINAPI TD_Score(DWORD, int, const char *, int, const char *, int) { return 0x30000000; }
DWORD WINAPI TD_SortKey(const char *, int, WORD *out) {
    if (out)
        out[0] = out[1] = out[2] = 7;
    return 7;
}
DWORD WINAPI TD_KeySpace(void) { return 1; }
DWORD WINAPI TD_Phone(DWORD) { return 0; }
DWORD WINAPI TD_PhoneEx(DWORD, DWORD) { return 0; }
LinguakeeperLangRecord *WINAPI TD_FontInfo(DWORD, LinguakeeperLangRecord *info) { return info; }
int WINAPI TD_IterOpen(LinguakeeperWordIterator *it, const char *) {
    memset(it, 0, sizeof *it);
    return 1;
}
int WINAPI TD_IterStep(LinguakeeperWordIterator *) { return 0; }
void WINAPI TD_IterClose(LinguakeeperWordIterator *) {}

}  // extern "C"
