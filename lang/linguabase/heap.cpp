// The library's own heap, the language record copies and the word iterator.
#include <stddef.h>
#include <string.h>
#include "linguabase_int.h"
#include "wordstrand.h"

namespace {
HANDLE g_heap;
// One analysis context kept for the next analysis: the block is over a megabyte, and a fresh one
// is mapped, faulted in and unmapped again on every word.
LangAnalysisContext *volatile g_spareContext;
}

void Lb_HeapStart() { g_heap = HeapCreate(0, 0, 0); }
void Lb_HeapStop() {
    g_spareContext = nullptr;  // it goes with the heap
    if (g_heap)
        HeapDestroy(g_heap);
    g_heap = nullptr;
}

LangAnalysisContext *Lb_TakeContext() {
    void *c = InterlockedExchangePointer((void *volatile *)&g_spareContext, nullptr);
    return c ? (LangAnalysisContext *)c : (LangAnalysisContext *)Linguabase_Alloc(sizeof(LangAnalysisContext));
}

void Lb_GiveContext(LangAnalysisContext *c) {
    if (!c)
        return;
    // As new: a word slot is cleared when a word is taken into it, so only the fields after the
    // slots need clearing here.
    memset(&c->wordCount, 0, sizeof *c - offsetof(LangAnalysisContext, wordCount));
    Linguabase_Free(InterlockedExchangePointer((void *volatile *)&g_spareContext, c));
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        Lb_HeapStart();
        Lb_BuildCollations();
        if (!g_heap)
            return FALSE;
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        Lb_HeapStop();  // at process end the heap goes with the process
    }
    return TRUE;
}

extern "C" void *WINAPI Linguabase_Alloc(DWORD size) {
    return g_heap ? HeapAlloc(g_heap, HEAP_ZERO_MEMORY, size ? size : 1) : nullptr;
}

extern "C" void WINAPI Linguabase_Free(void *block) {
    if (block && g_heap)
        HeapFree(g_heap, 0, block);
}

char *Lb_CopyN(const char *text, int n) {
    if (n < 0)
        n = 0;
    char *p = (char *)Linguabase_Alloc((DWORD)n + 1);
    if (p && n)
        memcpy(p, text, (size_t)n);
    return p;
}

char *Lb_Copy(const char *text) { return Lb_CopyN(text, text ? (int)strlen(text) : 0); }

// ---- Language record copies ---------------------------------------------------------------------

extern "C" DWORD WINAPI Linguabase_CopyLangInfo(DWORD flags, LangInfo *record, const LangInfo *driver) {
    if (!record || !driver || record->size < 8)
        return 0;
    DWORD size = record->size < sizeof(LangInfo) ? record->size : (DWORD)sizeof(LangInfo);
    LangInfo tmp;
    memset(&tmp, 0, sizeof tmp);
    tmp.size = record->size;
    tmp.language = driver->language;
    tmp.charset = driver->charset;
    tmp.doubleByte = driver->doubleByte;
    tmp.singleByteA = driver->singleByteA;
    tmp.singleByteB = driver->singleByteB;
    tmp.compounds = driver->compounds;
    tmp.value36 = driver->value36;
    tmp.value40 = driver->value40;
    memcpy(tmp.name, driver->name, sizeof tmp.name);
    static const struct {
        DWORD flag, from, to;
    } kBlocks[] = {{0x01, 76, 144}, {0x02, 144, 200}, {0x04, 200, 224},
                   {0x08, 224, 248}, {0x10, 248, 272}, {0x20, 272, 328}};
    for (const auto &b : kBlocks)
        if (flags & b.flag)
            memcpy((BYTE *)&tmp + b.from, (const BYTE *)driver + b.from, b.to - b.from);
    // Only the bytes the caller's record declares; its size field stays as it was.
    memcpy((BYTE *)record + 4, (BYTE *)&tmp + 4, size - 4);
    return flags & 0xFF;
}

extern "C" LangInfo *WINAPI Linguabase_CopyLangFonts(DWORD flags, LangInfo *record, const LangFontTable *fonts) {
    if (!record || !fonts || record->size < 156)
        return record;
    DWORD size = record->size;
    DWORD kind = record->block2[2];  // offset 152
    auto put = [&](DWORD at, int triple) {
        if (triple < 0 || at + 12 > size)
            return;
        memcpy((BYTE *)record + at, (*fonts)[triple], 12);
    };
    int byKind16 = kind == 16 ? 0 : kind == 32 ? 1 : -1;
    if (flags & 0x02)
        put(156, byKind16);
    if (flags & 0x04)
        put(208, 2);
    if (flags & 0x08)
        put(232, 3);
    if (flags & 0x10)
        put(256, 4);
    if (flags & 0x20)
        put(284, byKind16 < 0 ? -1 : 5 + byKind16);
    return record;
}

// ---- Word iterator -------------------------------------------------------------------------------

extern "C" int WINAPI Linguabase_OpenWordIterator(LangWordIterator *it, const char *text) {
    if (!it || !text)
        return 0;
    int n = (int)strlen(text);
    char *copy = Lb_CopyN(text, n);
    unsigned char *classes = (unsigned char *)Linguabase_Alloc((DWORD)n + 1);
    if (!copy || !classes) {
        Linguabase_Free(copy);
        Linguabase_Free(classes);
        return 0;
    }
    for (int i = 0; i < n; i++)
        classes[i] = Wordstrand_GetCharClass(0, 4, (BYTE)text[i]) ? 1 : 0;
    it->position = -1;
    it->length = n;
    it->text = copy;
    it->classes = classes;
    return 1;
}

extern "C" int WINAPI Linguabase_NextWord(LangWordIterator *it) {
    if (!it || !it->classes)
        return 0;
    int n = it->length, p = it->position;
    if (p >= n)
        return 0;
    bool fromStart = p < 0;
    p = fromStart ? 0 : p + 1;
    if (!(fromStart && p < n && it->classes[p])) {
        while (p < n && it->classes[p])
            p++;
        while (p < n && !it->classes[p])
            p++;
    }
    it->position = p;
    return p < n;
}

extern "C" int WINAPI Linguabase_FirstWord(LangWordIterator *it) {
    if (!it || !it->classes)
        return 0;
    it->position = -1;
    return Linguabase_NextWord(it);
}

extern "C" void WINAPI Linguabase_CloseWordIterator(LangWordIterator *it) {
    if (!it)
        return;
    Linguabase_Free(it->text);
    Linguabase_Free(it->classes);
    it->text = nullptr;
    it->classes = nullptr;
}
