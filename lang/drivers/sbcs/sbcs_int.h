// The single-byte driver layer shared by the Western drivers.  Each driver folder defines one
// SbcsLanguage (its code, collation, letters, delimiters, rule tables and word rules); the layer
// does the rest: attach and detach, the fourteen operations, analysis frame and normalisation.
#ifndef SBCS_INT_H
#define SBCS_INT_H

#include <windows.h>
#include "lingodriver.h"

enum { SBCS_MAX_TABLES = 8 };

struct SbcsTableSpec {
    int id;          // RCDATA resource id (101 upwards, in loading order)
    bool prefix;     // a prefix table
    DWORD value;     // result value of the forms
    DWORD mode;      // 0, or 1 for whole-word mode
};

// The word rules of a language on one word of the analysis: `word` holds `length` bytes (letters
// at both ends); `cursorRun` is set for the letter run at the cursor after trimming.
typedef void (*SbcsWordRules)(const char *word, int length, int index, LangAnalysisContext *c, bool cursorRun);

struct SbcsLanguage {
    WORD code;
    const char *defaultName;  // stands until string 1 of the driver's string table is loaded
    DWORD compounds;          // the record's flag at 20
    DWORD block2[3], block6[3];
    DWORD fonts[7][3];        // the font table (block 2 by kind 16/32, blocks 3-5, block 6 by kind 16/32)
    int(WINAPI *compare)(DWORD, const char *, const char *, int);
    DWORD(WINAPI *score)(DWORD, int, const char *, int, const char *, int);
    DWORD(WINAPI *sortKey)(const char *, int, WORD *);
    DWORD(WINAPI *keySpace)(void);
    bool singleCompare;       // one compare with the given flags (no coarse first pass)
    const BYTE *highLetters;  // 256 entries marking the letters above 0x7F, or null
    const char *delimiters, *leading, *trailing;
    const SbcsTableSpec *tables;
    int tableCount;
    bool phoneByExtension;    // the phonetic file is the module path with extension "vic"
    SbcsWordRules wordRules;
    void (*adjustFold)(BYTE *map);  // changes to the shared fold map, or null
    bool foldWithoutFlags;          // normalisation without flags folds too
    // The language's own normalisation, or null for the layer's (which it may call: Sbcs_Normalize).
    char *(*normalize)(DWORD flags, const char *text, char *out);
};

// Defined by each driver folder.
extern const SbcsLanguage g_sbcsLanguage;
// The loaded rule tables, in the order of g_sbcsLanguage.tables (unloaded ones are empty).
extern LangRuleTable g_sbcsTables[SBCS_MAX_TABLES];

// The letters above 0x7F of a language as a table of 256 entries (for SbcsLanguage::highLetters),
// made at compile time from a string of code page bytes.
struct SbcsLetters {
    BYTE t[256];
};
constexpr SbcsLetters Sbcs_MakeLetters(const char *s) {
    SbcsLetters l{};
    for (; *s; s++)
        l.t[(BYTE)*s] = 1;
    return l;
}

// A string list for one pass, from the library heap (10,000 pointers: too big for the stack, and
// a static one would be shared between threads); p is null when there was no memory.  The list
// and its strings go back to the heap at the end of the scope.
struct SbcsStringList {
    LangStringList *p = (LangStringList *)Linguabase_Alloc(sizeof(LangStringList));
    SbcsStringList() = default;
    SbcsStringList(const SbcsStringList &) = delete;
    SbcsStringList &operator=(const SbcsStringList &) = delete;
    ~SbcsStringList() {
        if (p) {
            Linguabase_FreeStrings(p);
            Linguabase_Free(p);
        }
    }
};

// The `length` bytes of a word as a terminated string in out (LANG_OUTPUT_SIZE bytes); false,
// with out untouched, when the word does not fit.
bool Sbcs_CopyWord(char *out, const char *text, int length);
// Table `id` on the word, in the table's own mode or in `mode` (on a copy of its record, so that
// no other pass sees the mode); into `list` when given.  0 when the table is not loaded, else as
// Linguabase_ApplySuffixRules.
int Sbcs_Apply(int id, const char *w, int n, int index, LangAnalysisContext *c, LangStringList *list = nullptr);
int Sbcs_ApplyIn(int id, DWORD mode, const char *w, int n, int index, LangAnalysisContext *c,
                 LangStringList *list = nullptr);

// The letter tests of the layer (C runtime below 0x80, the language's table above).
int WINAPI Sbcs_IsLetter(int ch);
int WINAPI Sbcs_IsLetterOrDigit(int ch);
// The table of resource id, or null when none was loaded.
LangRuleTable *Sbcs_Table(int id);
// The fold map of the driver (built once at attach).
const BYTE *Sbcs_FoldMap();
// The layer's normalisation (fold map for flag 4, case for flags 1 and 2); out as the export's.
char *Sbcs_Normalize(DWORD flags, const char *text, char *out);
void Sbcs_BuildFoldMap();

#endif
