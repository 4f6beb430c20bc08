// The single-byte driver layer shared by the Western drivers.  Each driver folder defines one
// SbcsLanguage (its code, collation, letters, delimiters, rule tables and word rules); the layer
// does the rest: attach and detach, the fourteen operations (the font table made from blocks 2
// and 6 of the record), analysis frame and normalisation.
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

// The collation of a language: compares, scored compares, sort keys and their key space.
struct SbcsOrder {
    int(WINAPI *compare)(DWORD, const char *, const char *, int);
    DWORD(WINAPI *score)(DWORD, int, const char *, int, const char *, int);
    DWORD(WINAPI *sortKey)(const char *, int, WORD *);
    DWORD(WINAPI *keySpace)(void);
};
constexpr SbcsOrder kSbcsLatinOrder = {Linguabase_CompareLatin, Linguabase_ScoreLatin, Linguabase_SortKeyLatin,
                                       Linguabase_KeySpaceLatin};
constexpr SbcsOrder kSbcsSwedishOrder = {Linguabase_CompareSwedish, Linguabase_ScoreSwedish,
                                         Linguabase_SortKeySwedish, Linguabase_KeySpaceNordic};
constexpr SbcsOrder kSbcsNorwegianOrder = {Linguabase_CompareNorwegian, Linguabase_ScoreNorwegian,
                                           Linguabase_SortKeyNorwegian, Linguabase_KeySpaceNordic};

// The three font values of block 2 or block 6 of the language record (font kind 32); they are
// also the kind-32 rows of the driver's font table.
struct SbcsFontValues {
    DWORD v[3];
};

// A language as the layer sees it.  The members start as most Western languages have them; a
// driver makes its record with Sbcs_Language and changes what differs.
struct SbcsLanguage {
    WORD code = 0;
    const char *defaultName = "";  // stands until string 1 of the driver's string table is loaded
    DWORD compounds = 0;           // the record's flag at 20
    SbcsFontValues block2 = {{4, 8, 2}}, block6 = {{5, 8, 3}};
    SbcsOrder order = kSbcsLatinOrder;
    bool singleCompare = false;          // one compare with the given flags (no coarse first pass)
    const BYTE *highLetters = nullptr;   // 256 entries marking the letters above 0x7F, or null
    const char *delimiters = "?!:;\"[]{}.\\", *leading = "", *trailing = "?!.";
    const SbcsTableSpec *tables = nullptr;
    int tableCount = 0;
    bool phoneByExtension = false;  // the phonetic file is the module path with extension "vic"
    SbcsWordRules wordRules = nullptr;
    void (*adjustFold)(BYTE *map) = nullptr;  // changes to the shared fold map, or null
    bool foldWithoutFlags = false;            // normalisation without flags folds too
    // The language's own normalisation, or null for the layer's (which it may call: Sbcs_Normalize).
    char *(*normalize)(DWORD flags, const char *text, char *out) = nullptr;
};

// The record of a language with its code, default name, letters above 0x7F (or null), rule tables
// and word rules; everything else as the members start.
template <int N>
constexpr SbcsLanguage Sbcs_Language(WORD code, const char *name, const BYTE *letters,
                                     const SbcsTableSpec (&tables)[N], SbcsWordRules rules) {
    static_assert(N <= SBCS_MAX_TABLES, "the layer loads at most SBCS_MAX_TABLES rule tables");
    SbcsLanguage l;
    l.code = code;
    l.defaultName = name;
    l.highLetters = letters;
    l.tables = tables;
    l.tableCount = N;
    l.wordRules = rules;
    return l;
}

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

// A letter that a language writes as two (sharp s as "ss"); a list of them ends with letter 0.
struct SbcsDigraph {
    BYTE letter;
    char two[2];
};
// The n bytes of text with each listed letter written as its two (out holds 2 * n + 1 bytes,
// terminated); the bytes written.
int Sbcs_ExpandDigraphs(const SbcsDigraph *digraphs, const char *text, int n, char *out);
// A copy of text (its first `length` bytes, or all of it for 0) with the listed letters expanded,
// from the library heap; null when the text holds none of them (or there was no memory).  With a
// length above 0 and newLength given, *newLength becomes the copy's length.
char *Sbcs_ExpandedCopy(const SbcsDigraph *digraphs, const char *text, int length, int *newLength);
// The Latin scored compare on key and text with the listed letters expanded.
DWORD Sbcs_ScoreExpanded(const SbcsDigraph *digraphs, DWORD flags, int prefixLength, const char *key, int keyLength,
                         const char *text, int textLength);

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
