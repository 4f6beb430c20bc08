// What the files of the language manager share.
#ifndef LINGUAKEEPER_INT_H
#define LINGUAKEEPER_INT_H

#include <windows.h>
#include <string>
#include <vector>
#include "linguakeeper.h"

extern HINSTANCE g_linguakeeperModule;

// The fourteen operations of a language driver, by ordinal (index 1 to 14; 0 unused).
enum { LK_DRIVER_OPS = 15 };
typedef DWORD(WINAPI *LkGetLangInfoProc)(DWORD flags, LinguakeeperLangRecord *info);
typedef int(WINAPI *LkAnalyzeProc)(const char *text, int cursor, LinguakeeperKeyList *out,
                                   const LinguakeeperAnalysisSettings *settings);
typedef DWORD(WINAPI *LkKeySpaceProc)(void);
typedef DWORD(WINAPI *LkPhoneProc)(DWORD value);
typedef DWORD(WINAPI *LkPhoneExProc)(DWORD value, DWORD value2);
typedef LinguakeeperLangRecord *(WINAPI *LkFontInfoProc)(DWORD flags, LinguakeeperLangRecord *info);
typedef int(WINAPI *LkIterOpenProc)(LinguakeeperWordIterator *it, const char *text);
typedef int(WINAPI *LkIterStepProc)(LinguakeeperWordIterator *it);
typedef void(WINAPI *LkIterCloseProc)(LinguakeeperWordIterator *it);
typedef void(WINAPI *LkFreeProc)(void *block);

struct LkDriver {
    FARPROC op[LK_DRIVER_OPS];
    LkFreeProc freeBlock;  // frees key texts and key arrays the driver hands out
};

// One known language.
struct LkLanguage {
    WORD code;
    int loaded;        // 0 when the key says Load = 0
    HMODULE module;    // the loaded driver, or null for the built-in one
    LkDriver driver;
    LinguakeeperLangRecord record;  // complete record (size field = sizeof)
};

// The language table, started on first use; null for an unknown code.
LkLanguage *Lk_Find(DWORD language);
void Lk_Lock();
void Lk_Unlock();
// The codes of the languages the manager knows, in its order; the count (at most cap).
int Lk_ListLanguages(WORD *codes, int cap);

// The headwords handed over for pronunciation in the language, in byte order (speech.cpp).
std::vector<std::string> Lk_HandedOverWords(WORD language);
// Tells an open manager window that the headwords handed over changed (manager.cpp).
void Lk_ManagerWordsChanged();

// Built-in byte-order driver for a charset (0, 128, 129, 136; others serve as 0).
void Lk_BuiltinDriver(WORD code, int charset, LkDriver *driver);
int Lk_BuiltinCharset(WORD code);
// Heap of the built-in driver's key texts and arrays.
void *Lk_Alloc(size_t size);
void WINAPI Lk_Free(void *block);

// Registry: the language root (relative key path) and per-language values.
void Lk_LangRoot(char *out, size_t cap);
int Lk_ReadString(WORD code, const char *name, char *out, DWORD cap);
int Lk_ReadDword(WORD code, const char *name, DWORD *out);
int Lk_ReadBinary(WORD code, const char *name, void *out, DWORD size);
int Lk_WriteValue(WORD code, const char *name, DWORD type, const void *data, DWORD size);
// Lists the language codes that have a key below the root; returns the count (at most cap).
int Lk_ListKeys(WORD *codes, int cap);

#endif
