// The language table: which languages exist, their drivers and their records.
#include "recordcheck.h"
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include "linguakeeper_int.h"

HINSTANCE g_linguakeeperModule;

namespace {

static_assert(offsetof(LinguakeeperLangRecord, name) == 44, "language name");
static_assert(offsetof(LinguakeeperLangRecord, color) == 76, "colour");
static_assert(offsetof(LinguakeeperLangRecord, fontBlocks) == 144, "font blocks");
static_assert(offsetof(LinguakeeperLangRecord, search) == LINGUAKEEPER_LANGINFO_SIZE, "manager part");
static_assert(offsetof(LinguakeeperLangRecord, iconId) == 912, "icon id");
static_assert(sizeof(LinguakeeperLangRecord) == 920, "language record");
RECORD_CHECK_X86(sizeof(LinguakeeperKeyItem) == 24 && sizeof(LinguakeeperKeyList) == 12, "key records");
RECORD_CHECK_X86(sizeof(LinguakeeperWordIterator) == 24, "word iterator");
static_assert(sizeof(LinguakeeperAnalysisSettings) == 32, "analysis settings");

// The languages of the suite and what the built-in driver says of them.
struct KnownLanguage {
    WORD code;
    const char *name;
    const char *face1, *face2;
    DWORD block2[3], block6[3];
    DWORD compounds;
};
const KnownLanguage kKnown[] = {
    {0x0100, "English", "Times New Roman", "Arial", {4, 8, 2}, {4, 8, 2}, 0},
    {0x0300, "Traditional Chinese", "MingLiu", "MingLiu", {5, 7, 3}, {5, 7, 3}, 0},
    {0x0400, "Japanese", "MS Gothic", "MS Gothic", {5, 7, 3}, {5, 7, 3}, 0},
    {0x0500, "Korean", "GlimChe", "DotumChe", {5, 7, 3}, {5, 7, 3}, 0},
    {0x0600, "French", "Times New Roman", "Arial", {4, 8, 2}, {5, 8, 3}, 0},
    {0x0700, "German", "Times New Roman", "Arial", {4, 8, 1}, {5, 8, 2}, 1},
    {0x0800, "Spanish", "Times New Roman", "Arial", {4, 8, 2}, {5, 8, 3}, 0},
    {0x0C00, "Finnish", "Times New Roman", "Arial", {4, 8, 2}, {5, 8, 3}, 1},
    {0x0F00, "Italian", "Times New Roman", "Arial", {4, 8, 2}, {5, 8, 3}, 0},
    {0x1100, "Norwegian", "Times New Roman", "Arial", {4, 8, 2}, {5, 8, 3}, 0},
    {0x1600, "Swedish", "Times New Roman", "Arial", {4, 8, 2}, {5, 8, 3}, 0},
};

const int kMaxLanguages = 64;
LkLanguage g_languages[kMaxLanguages];
int g_count;
bool g_started;
int g_initCount;
CRITICAL_SECTION g_lock;

void PutU32(LinguakeeperLangRecord *r, int at, DWORD v) { memcpy((BYTE *)r + at, &v, 4); }

// The driver part of the record as the built-in driver fills it.
void BuiltinRecord(WORD code, LinguakeeperLangRecord *r) {
    const KnownLanguage *k = nullptr;
    for (const KnownLanguage &x : kKnown)
        if (x.code == code)
            k = &x;
    static const KnownLanguage other = {0, "", "Times New Roman", "Arial", {4, 8, 2}, {4, 8, 2}, 0};
    if (!k)
        k = &other;
    int charset = Lk_BuiltinCharset(code);
    r->language = code;
    r->charset = (WORD)charset;
    r->doubleByte = charset != 0;
    r->singleByteA = r->singleByteB = charset == 0;
    r->compounds = k->compounds;
    if (k->name[0])
        snprintf(r->name, sizeof r->name, "%s", k->name);
    else
        snprintf(r->name, sizeof r->name, "%04x", code);
    r->color = 0x00FFFFFF;
    snprintf(r->face1, sizeof r->face1, "%s", k->face1);
    snprintf(r->face2, sizeof r->face2, "%s", k->face2);
    // Block 2: slot 1, 0, font kind 32, three values, 0, 1, 1.
    DWORD b2[] = {1, 0, 32, k->block2[0], k->block2[1], k->block2[2], 0, 1, 1};
    for (int i = 0; i < 9; i++)
        PutU32(r, 144 + 4 * i, b2[i]);
    DWORD b3[] = {5, 4, 0, 5, 1, 4}, b4[] = {4, 4, 0, 5, 1, 4}, b5[] = {6, 1, 0, 5, 1, 0};
    for (int i = 0; i < 6; i++) {
        PutU32(r, 200 + 4 * i, b3[i]);
        PutU32(r, 224 + 4 * i, b4[i]);
        PutU32(r, 248 + 4 * i, b5[i]);
    }
    DWORD b6[] = {7, 0, 32, k->block6[0], k->block6[1], k->block6[2], 0, 1, 1};
    for (int i = 0; i < 9; i++)
        PutU32(r, 272 + 4 * i, b6[i]);
}

// The search entries every language starts with.
void DefaultSearch(LinguakeeperLangRecord *r) {
    static const DWORD kinds[5] = {1, 5, 4, 6, 7};
    for (int i = 0; i < 5; i++) {
        DWORD *w = r->search[i].word;
        memset(w, 0, sizeof r->search[i].word);
        w[0] = kinds[i];
        w[1] = 1;   // exact
        w[3] = 3;   // words back
        w[4] = 4;   // phrase length
        w[5] = 2;   // fan-out depth
        w[7] = 1;   // build phrases
        w[8] = 1;   // cursor forms
        w[12] = 1;  // sentence item
    }
}

// The manager's settings of a language from its key.
void ApplySettings(LkLanguage *l) {
    LinguakeeperLangRecord *r = &l->record;
    DefaultSearch(r);
    Lk_ReadBinary(l->code, "SearchSettings", r->search, sizeof r->search);
    char face[32];
    if (Lk_ReadString(l->code, "FontFace1", face, sizeof face))
        memcpy(r->face1, face, sizeof face);
    if (Lk_ReadString(l->code, "FontFace2", face, sizeof face))
        memcpy(r->face2, face, sizeof face);
    DWORD v;
    if (Lk_ReadDword(l->code, "Color", &v))
        r->color = v;
    if (!Lk_ReadString(l->code, "Name", r->displayName, sizeof r->displayName))
        snprintf(r->displayName, sizeof r->displayName, "%s", r->name);
    r->iconModule[0] = 0;
    r->iconId = 0;
    Lk_ReadString(l->code, "IconModule", r->iconModule, sizeof r->iconModule);
    if (Lk_ReadDword(l->code, "IconId", &v))
        r->iconId = v;
    r->available = l->loaded;
}

// An operation of a driver by ordinal, or null.  A gap in the ordinals of the export table has an
// empty entry, for which some loaders hand back the module's base: only addresses inside the
// module's image past its headers count.
FARPROC DriverOperation(HMODULE m, int ordinal) {
    FARPROC p = GetProcAddress(m, MAKEINTRESOURCEA(ordinal));
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)m;
    const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)((const BYTE *)m + dos->e_lfanew);
    const BYTE *base = (const BYTE *)m, *at = (const BYTE *)p;
    if (!p || at < base + nt->OptionalHeader.SizeOfHeaders || at >= base + nt->OptionalHeader.SizeOfImage)
        return nullptr;
    return p;
}

// Loads the driver named by the key; 1 with l->driver filled, 0 when the built-in one must serve.
int LoadDriver(LkLanguage *l) {
    char file[MAX_PATH], path[MAX_PATH * 2];
    if (!Lk_ReadString(l->code, "FileName", file, sizeof file))
        return 0;
    if (!strchr(file, '\\') && !strchr(file, '/')) {  // a bare name: beside this library
        char self[MAX_PATH];
        DWORD n = GetModuleFileNameA(g_linguakeeperModule, self, MAX_PATH);
        char *slash = n ? strrchr(self, '\\') : nullptr;
        if (slash)
            slash[1] = 0;
        snprintf(path, sizeof path, "%s%s", slash ? self : "", file);
    } else {
        snprintf(path, sizeof path, "%s", file);
    }
    HMODULE m = LoadLibraryA(path);
    if (!m) {
        OutputDebugStringA("Linguakeeper: driver not loadable, the built-in driver serves\n");
        return 0;
    }
    LkDriver d = {};
    for (int i = 1; i < LK_DRIVER_OPS; i++)
        if (!(d.op[i] = DriverOperation(m, i))) {
            FreeLibrary(m);
            OutputDebugStringA("Linguakeeper: driver lacks an operation, the built-in driver serves\n");
            return 0;
        }
    // Key texts and arrays are released by the driver's own LangDriver_Free when it exports one,
    // else by the language library's heap release that the drivers allocate them from.
    d.freeBlock = (LkFreeProc)GetProcAddress(m, "LangDriver_Free");
    HMODULE base = GetModuleHandleA("linguabase.dll");
    if (!d.freeBlock && base)
        d.freeBlock = (LkFreeProc)GetProcAddress(base, MAKEINTRESOURCEA(1202));
    if (!d.freeBlock) {
        FreeLibrary(m);
        OutputDebugStringA("Linguakeeper: driver without the language library, the built-in driver serves\n");
        return 0;
    }
    typedef int(WINAPI * OpenCloseProc)(void);
    OpenCloseProc open = (OpenCloseProc)GetProcAddress(m, "OpenLangDriver");
    if (open)
        open();  // a no-op right after the attach; reopens a driver kept mapped since a stop
    LinguakeeperLangRecord info = {};
    info.size = LINGUAKEEPER_LANGINFO_SIZE;
    ((LkGetLangInfoProc)d.op[1])(0x3F, &info);
    memcpy((BYTE *)&l->record + 4, (BYTE *)&info + 4, LINGUAKEEPER_LANGINFO_SIZE - 4);
    l->record.language = l->code;  // the key decides the code the record is served under
    l->module = m;
    l->driver = d;
    return 1;
}

void Start() {
    if (g_started)
        return;
    WORD codes[kMaxLanguages];
    int n = 0;
    for (const KnownLanguage &k : kKnown)
        codes[n++] = k.code;
    WORD listed[kMaxLanguages];
    int m = Lk_ListKeys(listed, kMaxLanguages);
    for (int i = 0; i < m && n < kMaxLanguages; i++) {
        bool seen = false;
        for (int j = 0; j < n; j++)
            seen = seen || codes[j] == listed[i];
        if (!seen)
            codes[n++] = listed[i];
    }
    g_count = 0;
    for (int i = 0; i < n; i++) {
        LkLanguage *l = &g_languages[g_count++];
        memset(l, 0, sizeof *l);
        l->code = codes[i];
        l->record.size = sizeof l->record;
        DWORD load = 1;
        Lk_ReadDword(l->code, "Load", &load);
        l->loaded = load != 0;
        BuiltinRecord(l->code, &l->record);
        if (!l->loaded || !LoadDriver(l))
            Lk_BuiltinDriver(l->code, l->record.charset, &l->driver);
        ApplySettings(l);
    }
    g_started = true;
}

void Stop() {
    typedef int(WINAPI * OpenCloseProc)(void);
    for (int i = 0; i < g_count; i++)
        if (g_languages[i].module) {
            OpenCloseProc close = (OpenCloseProc)GetProcAddress(g_languages[i].module, "CloseLangDriver");
            if (close)
                close();
            FreeLibrary(g_languages[i].module);
        }
    g_count = 0;
    g_started = false;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_linguakeeperModule = module;
        InitializeCriticalSection(&g_lock);
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_lock);
    }
    return TRUE;
}

void Lk_Lock() { EnterCriticalSection(&g_lock); }
void Lk_Unlock() { LeaveCriticalSection(&g_lock); }

LkLanguage *Lk_Find(DWORD language) {
    Start();
    WORD code = (WORD)(language & 0xFFFF);
    for (int i = 0; i < g_count; i++)
        if (g_languages[i].code == code)
            return &g_languages[i];
    return nullptr;
}

int Lk_ListLanguages(WORD *codes, int cap) {
    Lk_Lock();
    Start();
    int n = 0;
    for (int i = 0; i < g_count && n < cap; i++)
        codes[n++] = g_languages[i].code;
    Lk_Unlock();
    return n;
}

extern "C" int WINAPI Linguakeeper_Init(DWORD) {
    Lk_Lock();
    g_initCount++;
    Start();
    Lk_Unlock();
    return 1;
}

extern "C" int WINAPI Linguakeeper_Term(void) {
    Lk_Lock();
    if (g_initCount > 0)
        g_initCount--;
    if (g_initCount == 0)
        Stop();
    Lk_Unlock();
    return 1;
}

extern "C" int WINAPI Linguakeeper_Reload(DWORD) {
    Lk_Lock();
    Start();
    for (int i = 0; i < g_count; i++)
        ApplySettings(&g_languages[i]);
    Lk_Unlock();
    return 1;
}

extern "C" int WINAPI Linguakeeper_HasToolA(void) { return 0; }
extern "C" int WINAPI Linguakeeper_HasToolB(void) { return 0; }

extern "C" LANGID WINAPI Linguakeeper_GetLangId(DWORD language) {
    static const WORD kIds[][2] = {
        {256, 1033},  {512, 2052},  {768, 1028},  {1024, 1041}, {1280, 1042}, {1536, 1036},
        {1792, 1031}, {2048, 1034}, {2560, 1029}, {2816, 1030}, {3072, 1035}, {3328, 1032},
        {3584, 1038}, {3840, 1040}, {4096, 1043}, {4352, 1044}, {4608, 1045}, {4864, 1046},
        {5120, 1049}, {5376, 1051}, {5632, 1053}, {5888, 1055}, {6144, 1050},
    };
    for (const auto &p : kIds)
        if (p[0] == (language & 0xFFFF))
            return p[1];
    return 0;
}

extern "C" int WINAPI Linguakeeper_GetLangInfo(DWORD language, LinguakeeperLangRecord *record) {
    if (!record || record->size < 8)
        return 0;
    Lk_Lock();
    LkLanguage *l = Lk_Find(language);
    if (l) {
        DWORD size = record->size;
        DWORD n = size < sizeof l->record ? size : (DWORD)sizeof l->record;
        memcpy(record, &l->record, n);
        record->size = size;
    }
    Lk_Unlock();
    return l != nullptr;
}

extern "C" int WINAPI Linguakeeper_SetLangInfo(DWORD flags, const LinguakeeperLangRecord *record) {
    if (!record || record->size < sizeof(LinguakeeperLangRecord))
        return 0;
    Lk_Lock();
    LkLanguage *l = Lk_Find(record->language);
    int ok = l != nullptr;
    if (l && (flags & 1)) {
        ok = ok && Lk_WriteValue(l->code, "SearchSettings", REG_BINARY, record->search, sizeof record->search);
        memcpy(l->record.search, record->search, sizeof record->search);
    }
    if (l && (flags & 2)) {
        char f1[32], f2[32];
        memcpy(f1, record->face1, 32);
        memcpy(f2, record->face2, 32);
        f1[31] = f2[31] = 0;
        ok = ok && Lk_WriteValue(l->code, "FontFace1", REG_SZ, f1, (DWORD)strlen(f1) + 1) &&
             Lk_WriteValue(l->code, "FontFace2", REG_SZ, f2, (DWORD)strlen(f2) + 1) &&
             Lk_WriteValue(l->code, "Color", REG_DWORD, &record->color, 4);
        memcpy(l->record.face1, f1, 32);
        memcpy(l->record.face2, f2, 32);
        l->record.color = record->color;
    }
    Lk_Unlock();
    return ok;
}

extern "C" int WINAPI Linguakeeper_IsAvailable(DWORD language) {
    Lk_Lock();
    int available = 0;
    if ((language & 0xFFFF) == 0) {
        Start();
        for (int i = 0; i < g_count; i++)
            available = available || g_languages[i].loaded;
    } else {
        LkLanguage *l = Lk_Find(language);
        available = l && l->loaded;
    }
    Lk_Unlock();
    return available;
}

extern "C" int WINAPI Linguakeeper_GetDriverProcs(DWORD language, DWORD, LinguakeeperDriverProcs *procs) {
    if (!procs)
        return 0;
    memset(procs, 0, sizeof *procs);
    Lk_Lock();
    LkLanguage *l = Lk_Find(language);
    int ok = l && l->loaded;
    if (ok) {
        procs->normalize = (LinguakeeperNormalizeProc)l->driver.op[3];
        procs->compare = (LinguakeeperCompareProc)l->driver.op[4];
        procs->score = (LinguakeeperScoreProc)l->driver.op[5];
        procs->sortKey = (LinguakeeperSortKeyProc)l->driver.op[6];
    }
    Lk_Unlock();
    return ok;
}
