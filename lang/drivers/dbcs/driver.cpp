// The double-byte layer's attach and detach, language record, phonetic file, analysis frame, word
// iterator and font exports.
#include <string.h>
#include <initializer_list>
#include "auxlingua.h"
#include "basekit.h"
#include "dbcs_int.h"

namespace {

HMODULE g_module;
LangInfo g_info;
CRITICAL_SECTION g_lock;  // guards the phonetic handle
HANDLE g_phone;           // the phonetic data file, null when none is open

void PutBlock(DWORD *block, std::initializer_list<DWORD> values) {
    int i = 0;
    for (DWORD v : values)
        block[i++] = v;
}

void BuildInfo() {
    const DbcsLanguage &l = g_dbcsLanguage;
    memset(&g_info, 0, sizeof g_info);
    g_info.size = sizeof g_info;
    g_info.language = l.code;
    g_info.charset = l.charset;
    g_info.doubleByte = 1;
    strncpy(g_info.name, l.defaultName, sizeof g_info.name - 1);
    g_info.color = 0x00FFFFFF;
    strncpy(g_info.face1, l.face1, sizeof g_info.face1 - 1);
    strncpy(g_info.face2, l.face2, sizeof g_info.face2 - 1);
    PutBlock(g_info.block2, {1, 0, 32, 5, 7, 3, 0, 1, 1});
    PutBlock(g_info.block3, {5, 4, 0, 5, 1, 4});
    PutBlock(g_info.block4, {4, 4, 0, 5, 1, 4});
    PutBlock(g_info.block5, {6, 1, 0, 5, 1, 0});
    PutBlock(g_info.block6, {7, 0, 32, 5, 7, 3, 0, 1, 1});
}

const DWORD kFonts[7][3] = {{5, 7, 3}, {5, 7, 3}, {0, 5, 1}, {0, 5, 1}, {0, 5, 1}, {5, 7, 3}, {5, 7, 3}};

void LoadName() {
    char name[32] = {};   // no stray stack bytes after the terminator reach the record
    if (LoadStringA(g_module, 1, name, sizeof name) > 0)
        memcpy(g_info.name, name, sizeof name);
}

// The path of the language's phonetic file into path (MAX_PATH); false when it has none.
bool PhonePath(char *path) {
    if (!GetModuleFileNameA(g_module, path, MAX_PATH))
        return false;
    if (g_dbcsLanguage.phoneByModule)
        return true;  // the extension is chosen by the caller
    char key[MAX_PATH], file[MAX_PATH];
    Linguabase_GetLangKey(g_dbcsLanguage.code, key);
    if (!Basekit_SettingsReadString(key, "PhoneDataFile", file, sizeof file) || !file[0])
        return false;
    Basekit_PathReplaceFileName(path, file);
    return true;
}

HANDLE OpenPhoneFile() {
    char path[MAX_PATH];
    if (!PhonePath(path))
        return nullptr;
    if (!g_dbcsLanguage.phoneByModule)
        return Auxlingua_Open(path);
    Basekit_PathSetExtension(path, "ivl");
    HANDLE h = Auxlingua_Open(path);
    if (!h) {
        Basekit_PathSetExtension(path, "vic");
        h = Auxlingua_Open(path);
    }
    return h;
}

void Attach(HMODULE module) {
    g_module = module;
    InitializeCriticalSection(&g_lock);
    BuildInfo();
    if (g_dbcsLanguage.attach)
        g_dbcsLanguage.attach(module);
    OpenLangDriver();
}

void Detach(bool processEnds) {
    if (!processEnds)
        CloseLangDriver();
    if (g_dbcsLanguage.detach)
        g_dbcsLanguage.detach();
    DeleteCriticalSection(&g_lock);
}

HANDLE Phone() {
    EnterCriticalSection(&g_lock);
    HANDLE h = g_phone;
    LeaveCriticalSection(&g_lock);
    return h;
}

}  // namespace

const LangInfo *Dbcs_Info() { return &g_info; }
HMODULE Dbcs_Module() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        Attach(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        Detach(reserved != nullptr);
    }
    return TRUE;
}

// Loads the language name and opens the phonetic file unless it is open already: the language
// manager calls this by name after the attach has done it, so a second call keeps the one handle.
extern "C" int WINAPI OpenLangDriver(void) {
    LoadName();
    EnterCriticalSection(&g_lock);
    if (!g_phone)
        g_phone = OpenPhoneFile();
    LeaveCriticalSection(&g_lock);
    return 1;
}

// Closes the phonetic file once; later calls (and the detach after them) find nothing to close.
extern "C" int WINAPI CloseLangDriver(void) {
    EnterCriticalSection(&g_lock);
    HANDLE h = g_phone;
    g_phone = nullptr;
    LeaveCriticalSection(&g_lock);
    if (h)
        Auxlingua_Close(h);
    return 1;
}

extern "C" DWORD WINAPI LangDriver_GetLangInfo(DWORD flags, LangInfo *info) {
    return Linguabase_CopyLangInfo(flags, info, &g_info);
}

extern "C" int WINAPI LangDriver_AnalyzeText(const char *text, int cursor, LangKeyList *out,
                                             const LangAnalysisSettings *settings) {
    if (!text || !out || !settings)
        return 0;
    if (!text[0]) {
        memcpy(&out->language, &g_info.language, 4);
        out->count = 0;
        out->items = nullptr;
        return 1;
    }
    if (cursor < 0 || cursor >= (int)strlen(text))
        return 0;
    DbcsText t;
    if (!Dbcs_MakeText(text, 0, &t))
        return 0;
    int result = 0;
    int at = Dbcs_CharAt(text, cursor, &t);
    DbcsKeys keys = {};
    keys.items = (LangKeyItem *)Linguabase_Alloc(sizeof(LangKeyItem) * (LANG_MAX_KEYS + 1));
    keys.minimumLength = (int)settings->minimumLength;
    if (at >= 0 && keys.items) {
        bool ok = g_dbcsLanguage.analyze(&t, at, settings, &keys);
        if (!ok) {
            for (int i = 0; i < keys.count; i++)
                Linguabase_Free(keys.items[i].text);
            keys.count = 0;
        }
        memcpy(&out->language, &g_info.language, 4);
        out->count = (DWORD)keys.count;
        out->items = keys.items;
        keys.items = nullptr;
        result = ok ? 1 : 0;
    }
    Linguabase_Free(keys.items);
    Dbcs_FreeText(&t);
    return result;
}

extern "C" DWORD WINAPI LangDriver_GetKeySpace(void) { return g_dbcsLanguage.keySpace; }

extern "C" DWORD WINAPI LangDriver_GetPhoneData(DWORD value) { return Auxlingua_Lookup(Phone(), value); }

extern "C" DWORD_PTR WINAPI LangDriver_GetPhoneDataEx(DWORD_PTR request, DWORD_PTR size) {
    return (DWORD_PTR)Auxlingua_GetData(Phone(), (const void *)request, (DWORD *)size);
}

extern "C" LangInfo *WINAPI LangDriver_GetFontInfo(DWORD flags, LangInfo *info) {
    return Linguabase_CopyLangFonts(flags, info, (const LangFontTable *)kFonts);
}

// The iterator's copy is the full-width text with one class byte per byte (1 for both bytes of a
// word character), so the library's stepping walks it two bytes a character.
extern "C" int WINAPI LangDriver_OpenWordIterator(LangWordIterator *it, const char *text) {
    if (!it || !text)
        return 0;
    DbcsText t;
    if (!Dbcs_MakeText(text, 0, &t))
        return 0;
    char *copy = (char *)Linguabase_Alloc((DWORD)t.length + 1);
    unsigned char *classes = (unsigned char *)Linguabase_Alloc((DWORD)t.length + 1);
    int ok = copy && classes;
    if (ok) {
        memcpy(copy, t.bytes, t.length + 1);
        for (int i = 0; i < t.count; i++)
            for (int b = t.offsets[i]; b < t.offsets[i + 1]; b++)
                classes[b] = Dbcs_IsWord(t.codes[i]) ? 1 : 0;
        it->position = -1;
        it->length = t.length;
        it->text = copy;
        it->classes = classes;
    } else {
        Linguabase_Free(copy);
        Linguabase_Free(classes);
    }
    Dbcs_FreeText(&t);
    return ok;
}

extern "C" int WINAPI LangDriver_FirstWord(LangWordIterator *it) { return Linguabase_FirstWord(it); }
extern "C" int WINAPI LangDriver_NextWord(LangWordIterator *it) { return Linguabase_NextWord(it); }
extern "C" void WINAPI LangDriver_CloseWordIterator(LangWordIterator *it) { Linguabase_CloseWordIterator(it); }
