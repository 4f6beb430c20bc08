// The fourteen driver operations of the single-byte layer, and the driver's attach and detach.
#include <ctype.h>
#include <string.h>
#include <initializer_list>
#include "basekit.h"
#include "sbcs_int.h"

LangRuleTable g_sbcsTables[SBCS_MAX_TABLES];

namespace {

HMODULE g_module;
LangInfo g_info;
LangFontTable g_fonts;
char g_phonePath[MAX_PATH];  // the phonetic data file, empty when the language has none

// The phonetic library is looked up on first use (never from the loader lock of attach).
typedef HANDLE(WINAPI *PhoneOpen)(const char *path);
typedef int(WINAPI *PhoneClose)(HANDLE handle);
typedef DWORD(WINAPI *Phone1)(HANDLE handle, DWORD value);
typedef HGLOBAL(WINAPI *Phone2)(HANDLE handle, const void *request, DWORD *size);
HMODULE g_phoneLib;
HANDLE g_phoneHandle;
bool g_phoneTried;
CRITICAL_SECTION g_phoneLock;

void PutBlock(DWORD *block, std::initializer_list<DWORD> values) {
    int i = 0;
    for (DWORD v : values)
        block[i++] = v;
}

void BuildInfo() {
    const SbcsLanguage &l = g_sbcsLanguage;
    memset(&g_info, 0, sizeof g_info);
    g_info.size = sizeof g_info;
    g_info.language = l.code;
    g_info.charset = 0;
    g_info.singleByteA = g_info.singleByteB = 1;
    g_info.compounds = l.compounds;
    strncpy(g_info.name, l.defaultName, sizeof g_info.name - 1);
    g_info.color = 0x00FFFFFF;
    strcpy(g_info.face1, "Times New Roman");
    strcpy(g_info.face2, "Arial");
    PutBlock(g_info.block2, {1, 0, 32, l.block2.v[0], l.block2.v[1], l.block2.v[2], 0, 1, 1});
    PutBlock(g_info.block3, {5, 4, 0, 5, 1, 4});
    PutBlock(g_info.block4, {4, 4, 0, 5, 1, 4});
    PutBlock(g_info.block5, {6, 1, 0, 5, 1, 0});
    PutBlock(g_info.block6, {7, 0, 32, l.block6.v[0], l.block6.v[1], l.block6.v[2], 0, 1, 1});
}

// The font table: the kind-16 rows and blocks 3 to 5 are alike in every Western language; the
// kind-32 rows are the language's own values of blocks 2 and 6.
void BuildFonts() {
    const SbcsLanguage &l = g_sbcsLanguage;
    const SbcsFontValues rows[7] = {
        {{2, 8, 1}}, l.block2, {{0, 5, 1}}, {{0, 5, 1}}, {{0, 5, 1}}, {{4, 2, 2}}, l.block6,
    };
    for (int i = 0; i < 7; i++)
        memcpy(g_fonts[i], rows[i].v, sizeof g_fonts[i]);
}

void Attach(HMODULE module) {
    g_module = module;
    InitializeCriticalSection(&g_phoneLock);
    Sbcs_BuildFoldMap();
    BuildInfo();
    BuildFonts();
    char name[32] = {};   // no stray stack bytes after the terminator reach the record
    if (LoadStringA(module, 1, name, sizeof name) > 0)
        memcpy(g_info.name, name, sizeof name);
    // Rule tables in order; the first that fails to load leaves it and the later ones empty.
    const SbcsLanguage &l = g_sbcsLanguage;
    for (int i = 0; i < l.tableCount && i < SBCS_MAX_TABLES; i++) {
        const SbcsTableSpec &t = l.tables[i];
        int ok = t.prefix ? Linguabase_LoadPrefixTable(module, t.id, &g_sbcsTables[i])
                          : Linguabase_LoadRuleTable(module, t.id, &g_sbcsTables[i]);
        if (!ok) {
            OutputDebugStringA("language driver: a rule table is missing; it and the later ones stay empty\n");
            break;
        }
        g_sbcsTables[i].resultValue = t.value;
        g_sbcsTables[i].mode = t.mode;
    }
    // Phonetic data: the file named in the language key, beside the driver (or the driver's own
    // name with the extension "vic").
    char path[MAX_PATH];
    if (!GetModuleFileNameA(module, path, MAX_PATH))
        return;
    if (l.phoneByExtension) {
        Basekit_PathSetExtension(path, "vic");
        strcpy(g_phonePath, path);
        return;
    }
    char key[MAX_PATH], file[MAX_PATH];
    Linguabase_GetLangKey(l.code, key);
    if (Basekit_SettingsReadString(key, "PhoneDataFile", file, sizeof file) && file[0]) {
        Basekit_PathReplaceFileName(path, file);
        strcpy(g_phonePath, path);
    }
}

void Detach(bool processEnds) {
    for (int i = 0; i < SBCS_MAX_TABLES; i++)
        if (g_sbcsTables[i].nodes)
            Linguabase_FreeRuleTable(&g_sbcsTables[i]);
    if (!processEnds && g_phoneLib) {
        if (g_phoneHandle) {
            PhoneClose close = (PhoneClose)GetProcAddress(g_phoneLib, MAKEINTRESOURCEA(102));
            if (close)
                close(g_phoneHandle);
        }
        FreeLibrary(g_phoneLib);
    }
    g_phoneLib = nullptr;
    g_phoneHandle = nullptr;
    DeleteCriticalSection(&g_phoneLock);
}

// The phonetic library and the handle of the language's file; null when the library is missing.
HMODULE Phonetics(HANDLE *handle) {
    EnterCriticalSection(&g_phoneLock);
    if (!g_phoneTried) {
        g_phoneTried = true;
        g_phoneLib = LoadLibraryA("Auxlingua.dll");
        PhoneOpen open = g_phoneLib ? (PhoneOpen)GetProcAddress(g_phoneLib, MAKEINTRESOURCEA(101)) : nullptr;
        if (open && g_phonePath[0])
            g_phoneHandle = open(g_phonePath);
    }
    *handle = g_phoneHandle;
    HMODULE lib = g_phoneLib;
    LeaveCriticalSection(&g_phoneLock);
    return lib;
}

// The word rules on one word with non-letters at its ends left off.
void Rules(const char *text, int index, LangAnalysisContext *c, bool cursorRun) {
    int n = (int)strlen(text), a = 0, b = n;
    while (a < b && !Sbcs_IsLetter((BYTE)text[a]))
        a++;
    while (b > a && !Sbcs_IsLetter((BYTE)text[b - 1]))
        b--;
    if (a < b && g_sbcsLanguage.wordRules)
        g_sbcsLanguage.wordRules(text + a, b - a, index, c, cursorRun);
}

// A copy of the word's first form (the rules may replace it while they run).
char *FirstForm(LangAnalysisContext *c, int w) {
    if (c->words[w].count == 0)
        return nullptr;
    const char *t = c->words[w].candidates[0].text;
    size_t n = strlen(t);
    char *copy = (char *)Linguabase_Alloc((DWORD)n + 1);
    if (copy)
        memcpy(copy, t, n + 1);
    return copy;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        Attach(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        Detach(reserved != nullptr);
    }
    return TRUE;
}

LangRuleTable *Sbcs_Table(int id) {
    for (int i = 0; i < g_sbcsLanguage.tableCount && i < SBCS_MAX_TABLES; i++)
        if (g_sbcsLanguage.tables[i].id == id)
            return g_sbcsTables[i].nodes ? &g_sbcsTables[i] : nullptr;
    return nullptr;
}

int WINAPI Sbcs_IsLetter(int ch) {
    ch &= 0xFF;
    if (ch < 0x80)
        return isalpha(ch) != 0;
    return g_sbcsLanguage.highLetters ? g_sbcsLanguage.highLetters[ch] != 0 : 0;
}

int WINAPI Sbcs_IsLetterOrDigit(int ch) {
    ch &= 0xFF;
    if (ch < 0x80)
        return isalnum(ch) != 0;
    return Sbcs_IsLetter(ch);
}

extern "C" DWORD WINAPI LangDriver_GetLangInfo(DWORD flags, LangInfo *info) {
    return Linguabase_CopyLangInfo(flags, info, &g_info);
}

extern "C" int WINAPI LangDriver_AnalyzeText(const char *text, int cursor, LangKeyList *out,
                                             const LangAnalysisSettings *settings) {
    if (!out)
        return 0;
    char output[LANG_OUTPUT_SIZE];
    const SbcsLanguage &l = g_sbcsLanguage;
    LangAnalysisContext *c = Linguabase_BeginAnalysis(text, cursor, settings, l.delimiters, l.leading, l.trailing,
                                                      output, Sbcs_IsLetter, Sbcs_IsLetterOrDigit, LangDriver_Compare);
    if (!c)
        return 0;
    for (int w = c->firstPhraseWord; w <= c->lastWord && w < c->wordCount; w++) {
        char *word = FirstForm(c, w);
        if (!word)
            continue;
        if (w == c->cursorWord) {
            int n = (int)strlen(word);
            if (Linguabase_TrimWord(word, n, w, c)) {
                char run[LANG_OUTPUT_SIZE];
                strcpy(run, output);  // the letter run at the cursor
                Rules(run, w, c, true);
            }
            Linguabase_Free(word);
            word = FirstForm(c, w);
            if (!word)
                continue;
            Linguabase_AddLetterRun(word, (int)strlen(word), w, c);
        }
        Rules(word, w, c, false);
        Linguabase_Free(word);
    }
    return Linguabase_EndAnalysis(&g_info, out, c);
}

extern "C" int WINAPI LangDriver_Compare(DWORD flags, const char *key, const char *text, int length) {
    if (!(flags & 0x10) && !g_sbcsLanguage.singleCompare) {
        int r = g_sbcsLanguage.order.compare(flags | 0x10, key, text, length);
        if (r)
            return r;
    }
    return g_sbcsLanguage.order.compare(flags, key, text, length);
}

extern "C" DWORD WINAPI LangDriver_CompareScored(DWORD flags, int prefixLength, const char *key, int keyLength,
                                                 const char *text, int textLength) {
    return g_sbcsLanguage.order.score(flags, prefixLength, key, keyLength, text, textLength);
}

extern "C" DWORD WINAPI LangDriver_GetSortKey(const char *text, int fromEnd, WORD *out) {
    return g_sbcsLanguage.order.sortKey(text, fromEnd, out);
}

extern "C" DWORD WINAPI LangDriver_GetKeySpace(void) { return g_sbcsLanguage.order.keySpace(); }

extern "C" DWORD WINAPI LangDriver_GetPhoneData(DWORD value) {
    HANDLE handle;
    HMODULE lib = Phonetics(&handle);
    Phone1 fn = lib ? (Phone1)GetProcAddress(lib, MAKEINTRESOURCEA(103)) : nullptr;
    return fn ? fn(handle, value) : 0;
}

extern "C" DWORD_PTR WINAPI LangDriver_GetPhoneDataEx(DWORD_PTR request, DWORD_PTR size) {
    HANDLE handle;
    HMODULE lib = Phonetics(&handle);
    Phone2 fn = lib ? (Phone2)GetProcAddress(lib, MAKEINTRESOURCEA(104)) : nullptr;
    return fn ? (DWORD_PTR)fn(handle, (const void *)request, (DWORD *)size) : 0;
}

extern "C" LangInfo *WINAPI LangDriver_GetFontInfo(DWORD flags, LangInfo *info) {
    return Linguabase_CopyLangFonts(flags, info, &g_fonts);
}

extern "C" int WINAPI LangDriver_OpenWordIterator(LangWordIterator *it, const char *text) {
    return Linguabase_OpenWordIterator(it, text);
}
extern "C" int WINAPI LangDriver_FirstWord(LangWordIterator *it) { return Linguabase_FirstWord(it); }
extern "C" int WINAPI LangDriver_NextWord(LangWordIterator *it) { return Linguabase_NextWord(it); }
extern "C" void WINAPI LangDriver_CloseWordIterator(LangWordIterator *it) { Linguabase_CloseWordIterator(it); }
