/* linguabase: the language common library under the single-byte language drivers.
 *
 * Word-form candidates from suffix and prefix rule tables (data resources of the drivers), ending
 * lists, word lists and replace rules; the analysis context that turns the text around a cursor
 * into lookup keys (the cursor word's forms, phrases of the words around it, the sentence item);
 * three collation sets (Latin, Norwegian, Swedish) with staged and scored compares and sort keys;
 * the language key paths in the registry; copies of a driver's language record; the library's own
 * heap and a word iterator over letter runs.
 *
 * Conventions.  Every export is stdcall (WINAPI) and exported by ordinal only; callbacks handed in
 * are stdcall too.  Texts are NUL-terminated single-byte strings (code page 1252 for the Western
 * drivers).  A cursor is always a byte position inside the text.  Every key text, key array and
 * string-list string handed out comes from this library's heap: free it with Linguabase_Free.
 * The library keeps no state between calls except that heap; an analysis context lives from
 * Linguabase_BeginAnalysis to Linguabase_EndAnalysis of one thread. */
#ifndef LINGUABASE_H
#define LINGUABASE_H

#include "recordcheck.h"
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Records ------------------------------------------------------------------------------------ */

/* Settings of one analysis (the caller's; 32-bit fields). */
typedef struct LangAnalysisSettings {
    DWORD rawOnly;        /* 0: non-zero asks the driver for no rule-made forms (English: no tables) */
    DWORD wordsBack;      /* 4: start words before the cursor word a phrase may begin at */
    DWORD phraseLength;   /* 8: most words in one phrase */
    DWORD fanOutDepth;    /* 12: below this depth every candidate of a word is combined, else the first */
    DWORD minimumLength;  /* 16: keys of this byte length or shorter are not added */
    DWORD buildPhrases;   /* 20 */
    DWORD addCursorForms; /* 24 */
    DWORD addSentence;    /* 28 */
} LangAnalysisSettings;

/* One lookup key (24 bytes).  Kinds: 0x100 the sentence item (the text from the last sentence end
 * before the cursor to the end of the text); 0x200 a phrase; 0x480 | value the cursor word's first
 * form; 0x440 | value its other forms.  So 0x400 marks every form of the head word under the cursor
 * (the keys a head-word search uses), 0x100 only the sentence. */
typedef struct LangKeyItem {
    char *text;     /* library heap */
    DWORD position; /* byte offset of the cursor inside the key */
    DWORD kind;
    DWORD extra;    /* 1 when a form other than a word's first candidate was used */
    DWORD group;    /* phrases: 256 * start word tried (+16 with another form); 0x10000000 other forms */
    DWORD unused;
} LangKeyItem;

#define LANG_KEY_SENTENCE 0x100
#define LANG_KEY_PHRASE 0x200
#define LANG_KEY_HEADWORD 0x400
#define LANG_KEY_FIRST_FORM 0x480
#define LANG_KEY_OTHER_FORM 0x440
#define LANG_KEY_OTHER_GROUP 0x10000000

/* The analysis result written into the caller's record (12 bytes). */
typedef struct LangKeyList {
    DWORD language; /* language code (low 16 bits) and charset (high 16 bits) of the driver */
    DWORD count;
    LangKeyItem *items;
} LangKeyList;

/* The language record of a driver (328 bytes); the caller sets `size` and keeps it. */
typedef struct LangInfo {
    DWORD size;          /* 0 */
    WORD language;       /* 4 */
    WORD charset;        /* 6 */
    DWORD doubleByte;    /* 8 */
    DWORD singleByteA;   /* 12 */
    DWORD singleByteB;   /* 16 */
    DWORD compounds;     /* 20: German and Finnish */
    BYTE reserved24[12]; /* 24: never copied */
    DWORD value36;       /* 36 */
    DWORD value40;       /* 40 */
    char name[32];       /* 44 */
    DWORD color;         /* 76: block 1 (flag 0x01) to 143 */
    char face1[32];      /* 80 */
    char face2[32];      /* 112 */
    DWORD block2[14];    /* 144: flag 0x02, to 199 */
    DWORD block3[6];     /* 200: flag 0x04 */
    DWORD block4[6];     /* 224: flag 0x08 */
    DWORD block5[6];     /* 248: flag 0x10 */
    DWORD block6[14];    /* 272: flag 0x20, to 327 */
} LangInfo;

/* Font table of a driver: seven triples (block 2 for font kinds 16 and 32, blocks 3 to 5, block 6
 * for kinds 16 and 32). */
typedef DWORD LangFontTable[7][3];

/* Word iterator (the caller's record, 24 bytes). */
typedef struct LangWordIterator {
    DWORD user;             /* not touched */
    int position;           /* -1 before the first word, else the start of the current word */
    int length;             /* of the text */
    char *text;             /* the library's copy */
    DWORD user2;            /* not touched */
    unsigned char *classes; /* one byte per text byte: 1 letter, 0 other */
} LangWordIterator;

/* A rule table in memory (loaded from a data resource of the driver). */
typedef struct LangRuleNode {
    BYTE textLength;
    BYTE childCount;
    WORD replacementCount;
    const BYTE *text;          /* the node's text in word order, no terminator */
    const WORD *children;      /* node numbers (unaligned in the resource: read with memcpy) */
    const DWORD *replacements; /* offsets of length-prefixed strings (unaligned as above) */
} LangRuleNode;

typedef struct LangRuleTable {
    const BYTE *base;     /* the resource */
    DWORD size;           /* its byte size */
    LangRuleNode *nodes;  /* library heap */
    DWORD nodeCount;
    DWORD exceptionCount;
    DWORD exceptionIndex; /* offset of the exception index */
    DWORD resultKind;     /* 3 after loading */
    DWORD resultValue;    /* 0 after loading */
    DWORD mode;           /* 0 after loading; 1 whole-word mode */
} LangRuleTable;

/* Up to 10,000 strings from the library heap. */
#define LANG_STRING_LIST_MAX 10000
typedef struct LangStringList {
    char *strings[LANG_STRING_LIST_MAX];
    int count;
} LangStringList;

/* Candidate forms of one word of an analysis. */
#define LANG_MAX_WORDS 256
#define LANG_MAX_CANDIDATES 255
#define LANG_MAX_KEYS 1024
#define LANG_OUTPUT_SIZE 256 /* the driver's output buffer: the word (or letter run) at the cursor */
#define LANG_PHRASE_SIZE 6144

typedef struct LangCandidate {
    char *text;  /* library heap */
    DWORD kind;  /* 2 letter run in a word, 3 form, 7 letter run at the cursor; bit 1: usable in
                    phrases; bit 4: only as the first word of a phrase starting at word 0 */
    DWORD value; /* 0 or 4096 */
    DWORD extra;
} LangCandidate;

typedef struct LangWordSlot {
    LangCandidate candidates[LANG_MAX_CANDIDATES];
    int count;
    DWORD flags; /* 1: a phrase delimiter stands right before the word; 2: right after it */
} LangWordSlot;

typedef int(WINAPI *LangCharTest)(int ch);
typedef int(WINAPI *LangCompareProc)(DWORD flags, const char *key, const char *text, int length);

/* The analysis context (one block of 1,052,748 bytes from the library heap). */
typedef struct LangAnalysisContext {
    LangWordSlot words[LANG_MAX_WORDS];
    int wordCount;
    int cursorWord;
    int cursorChar;
    int cursorOffset;    /* byte offset of the cursor inside the cursor word's first form, -1 none */
    int firstPhraseWord;
    int lastWord;
    int phraseStart, phraseEnd;
    char phrase[LANG_PHRASE_SIZE];
    const LangAnalysisSettings *settings;
    const char *delimiters; /* phrase delimiters */
    const char *leading;    /* leading characters kept with a word */
    const char *trailing;   /* trailing characters kept with a word; also the sentence ends */
    char *output;           /* the driver's output buffer, LANG_OUTPUT_SIZE bytes */
    LangCharTest isLetter;
    LangCharTest isLetterOrDigit;
    LangCompareProc compare;
    char *text; /* the copy of the text, commas made blanks */
    LangKeyItem *keys;
    int keyCount;
} LangAnalysisContext;

/* Lists for the candidate operations; each ends with a null (or zero) first field. */
typedef struct LangEndingRule {
    const char *ending;
    int length;
    const char *replacement;
} LangEndingRule;
typedef struct LangPrefixRule {
    int length;
    const char *match;
    const char *replacement;
} LangPrefixRule;
typedef struct LangWordPair {
    const char *key; /* sorted by key */
    const char *form;
} LangWordPair;
/* Replace rule: the character (0: none) becomes the replacement character (first occurrence, or
 * the last with last = 1); a given suffix must end the word and is cut off; append is appended. */
typedef struct LangReplaceRule {
    BYTE character;
    BYTE replacement;
    BYTE last;
    BYTE reserved;
    const char *suffix;
    const char *append;
} LangReplaceRule;

/* A counted table inside a data resource: {count, second word, entry size 8, data}.  Sorted tables
 * for Linguabase_LookupSortedTable hold count entries of {u32 offset from data of a u8-length
 * string, u32 0}, sorted by the driver's compare without case (flag 0x20); a word found in it
 * adds the stored form (kind 3, value 4096) when that is spelt otherwise. */
typedef struct LangResourceTable {
    DWORD count;
    DWORD second;
    DWORD entrySize;
    const BYTE *data;
} LangResourceTable;

#ifdef __cplusplus
static_assert(sizeof(LangAnalysisSettings) == 32, "analysis settings");
RECORD_CHECK_X86(sizeof(LangKeyItem) == 24 && sizeof(LangKeyList) == 12, "key records");
static_assert(sizeof(LangInfo) == 328, "language record");
RECORD_CHECK_X86(sizeof(LangWordIterator) == 24, "word iterator");
RECORD_CHECK_X86(sizeof(LangAnalysisContext) == 1052748, "analysis context");
#endif

/* ---- Heap ---------------------------------------------------------------------------------------- */
/* A zeroed block of the library's heap, or null; free with Linguabase_Free (null is ignored). */
void *WINAPI Linguabase_Alloc(DWORD size);
void WINAPI Linguabase_Free(void *block);

/* ---- Analysis ------------------------------------------------------------------------------------
 * Begin splits the text into words around the cursor byte and returns the context (null for a null
 * text or settings, a cursor outside the text or not on a letter, or no memory).  The driver then
 * adds forms to the words, and End turns them into keys: it fills *out (count 0 and null items on failure),
 * answers 1 or 0, and always frees the context.  The out record's texts and array are the caller's
 * (Linguabase_Free).  At most 1024 keys are made; when phrases would pass that, phrase building
 * stops and the keys made so far stay, with room kept for the cursor word's own forms. */
LangAnalysisContext *WINAPI Linguabase_BeginAnalysis(const char *text, int cursor, const LangAnalysisSettings *settings,
                                                     const char *delimiters, const char *leading,
                                                     const char *trailing, char *output, LangCharTest isLetter,
                                                     LangCharTest isLetterOrDigit, LangCompareProc compare);
int WINAPI Linguabase_EndAnalysis(const LangInfo *info, LangKeyList *out, LangAnalysisContext *context);

/* ---- Candidates of a word -------------------------------------------------------------------------
 * Every add copies the text; an empty text, a full word (255) or a form the word already holds is
 * not added. */
/* Adds a form; the value back when the word holds the form afterwards, 0 when refused. */
DWORD WINAPI Linguabase_AddCandidate(const char *text, DWORD kind, DWORD value, DWORD extra, int word,
                                     LangAnalysisContext *context);
/* The word's first form becomes text; the old first form stays as a further form (extra 1). */
void WINAPI Linguabase_ReplaceWord(const char *text, int word, LangAnalysisContext *context);
/* The letter run around the cursor when a digit touches it (kind 2), also copied to the output
 * buffer; words of 256 bytes or more get none. */
void WINAPI Linguabase_AddLetterRun(const char *text, int length, int word, LangAnalysisContext *context);
/* Strips non-letters from both ends (the stripped word becomes the first form) and copies it to
 * the output buffer (cut to LANG_OUTPUT_SIZE - 1 bytes); 1 when the word holds an inner non-letter
 * and the letter run at the cursor was added (kind 7, also copied to the output buffer), else 0. */
int WINAPI Linguabase_TrimWord(const char *text, int length, int word, LangAnalysisContext *context);
void WINAPI Linguabase_ApplyEndingList(const char *word, const LangEndingRule *list, int length, int index,
                                       LangAnalysisContext *context);
void WINAPI Linguabase_ApplyPrefixList(const char *word, const LangPrefixRule *list, int length, int index,
                                       LangAnalysisContext *context);
void WINAPI Linguabase_ApplyWordList(const char *word, const LangWordPair *list, int index,
                                     LangAnalysisContext *context);
void WINAPI Linguabase_ApplyWordListNoCase(const char *word, const LangWordPair *list, int index,
                                           LangAnalysisContext *context);
void WINAPI Linguabase_LookupSortedTable(const char *word, int index, LangAnalysisContext *context,
                                         const LangResourceTable *table);

/* ---- Rule tables ----------------------------------------------------------------------------------
 * Apply: the rules of the table on the first length bytes of the word (lower-cased), as candidates
 * of word `index` with the table's result kind and value, or into the string list when one is given.
 * 1 when a rule applied (in whole-word mode also when the word is in the exception index), else 0. */
int WINAPI Linguabase_ApplySuffixRules(const char *word, int length, int index, LangAnalysisContext *context,
                                       const LangRuleTable *table, LangStringList *list);
int WINAPI Linguabase_ApplyPrefixRules(const char *word, int length, int index, LangAnalysisContext *context,
                                       const LangRuleTable *table, LangStringList *list);
/* Loads the RCDATA resource id of the module into *table (kind 3, value 0, mode 0); 1, or 0 with the
 * table emptied when the resource is missing or damaged.  Free releases the node copy. */
int WINAPI Linguabase_LoadRuleTable(HMODULE module, int id, LangRuleTable *table);
int WINAPI Linguabase_LoadPrefixTable(HMODULE module, int id, LangRuleTable *table);
void WINAPI Linguabase_FreeRuleTable(LangRuleTable *table);
void WINAPI Linguabase_FreePrefixTable(LangRuleTable *table);
/* A counted table from an RCDATA resource; 1, or 0 with *table zeroed. */
int WINAPI Linguabase_GetResourceTable(HMODULE module, int id, LangResourceTable *table);
void WINAPI Linguabase_ReleaseResourceTable(LangResourceTable *table);

/* ---- String lists ---------------------------------------------------------------------------------- */
/* Appends a copy; 1, or 0 when the list is full (or the text empty). */
int WINAPI Linguabase_AddString(const char *text, LangStringList *list);
/* Frees every string and empties the list; the count it held. */
int WINAPI Linguabase_FreeStrings(LangStringList *list);
/* Adds every string as a candidate; the number of strings offered. */
int WINAPI Linguabase_AddStringsAsCandidates(const LangStringList *list, DWORD kind, DWORD value, int word,
                                             LangAnalysisContext *context);

/* ---- Replace rules --------------------------------------------------------------------------------- */
/* One replacement on buffer (LANG_OUTPUT_SIZE bytes, holding length bytes of a word): 1 when it
 * applied (and buffer holds the result), 0 when not (buffer unchanged). */
int WINAPI Linguabase_ReplaceInWord(char *buffer, int length, int character, int replacement, const char *suffix,
                                    const char *append, int last);
/* Runs the rows (ended by an all-zero row) on copies of the word; each result that applied becomes a
 * candidate of kind `kind`, or goes into the list when one is given.  The number applied. */
int WINAPI Linguabase_ApplyReplaceRules(const char *word, const LangReplaceRule *rules, DWORD kind, int index,
                                        LangAnalysisContext *context, LangStringList *list);

/* ---- Collation --------------------------------------------------------------------------------------
 * Compare (flags, key, text, length) -> negative, 0, positive.  Flags: 0x8000 from the end, 0x40 drop
 * characters that are neither letters nor blanks, 0x08 drop blanks, 0x10 accent-blind and 0x20
 * case-blind last stages, 0x04 letters only (first stage).  length > 0 compares at most that many
 * collation units.  Scored compare -> 0 exact, 0x10000000 equal, 0x20000000 near, 0x30000000 similar,
 * 0x40000000 different (also for an empty key in the similarity walk).  Sort key (text, from the end,
 * out of three WORDs) -> base * position of the third letter. */
int WINAPI Linguabase_CompareLatin(DWORD flags, const char *key, const char *text, int length);
DWORD WINAPI Linguabase_ScoreLatin(DWORD flags, int prefixLength, const char *key, int keyLength, const char *text,
                                   int textLength);
DWORD WINAPI Linguabase_SortKeyLatin(const char *text, int fromEnd, WORD *out);
DWORD WINAPI Linguabase_KeySpaceLatin(void);
int WINAPI Linguabase_CompareNorwegian(DWORD flags, const char *key, const char *text, int length);
DWORD WINAPI Linguabase_ScoreNorwegian(DWORD flags, int prefixLength, const char *key, int keyLength,
                                       const char *text, int textLength);
DWORD WINAPI Linguabase_SortKeyNorwegian(const char *text, int fromEnd, WORD *out);
DWORD WINAPI Linguabase_KeySpaceNordic(void);
int WINAPI Linguabase_CompareSwedish(DWORD flags, const char *key, const char *text, int length);
DWORD WINAPI Linguabase_ScoreSwedish(DWORD flags, int prefixLength, const char *key, int keyLength,
                                     const char *text, int textLength);
DWORD WINAPI Linguabase_SortKeySwedish(const char *text, int fromEnd, WORD *out);
DWORD WINAPI Linguabase_KeySpaceSwedish(void);
/* Scored compare of strings already mapped to collation ranks (key/text lengths in bytes). */
DWORD WINAPI Linguabase_CompareScored(DWORD flags, int prefixLength, const BYTE *key, int keyLength,
                                      const BYTE *text, int textLength, const BYTE *table, const BYTE *blindTable);
typedef WORD(WINAPI *LangWideMapProc)(WORD ch, int mode);
DWORD WINAPI Linguabase_CompareScoredWide(DWORD flags, int prefixLength, const WCHAR *key, int keyLength,
                                          const WCHAR *text, int textLength, int exactMode, int blindMode,
                                          LangWideMapProc map);
/* 0 when the first n bytes of a and b are equal, 1000000 otherwise. */
int WINAPI Linguabase_CompareCounted(const char *a, int n, const char *b);

/* ---- Language configuration -------------------------------------------------------------------------
 * Roots (relative registry paths, 260-byte buffers) default to SOFTWARE\Halvenstone\Velosuite\4.0\
 * Language and ...\StartUp, overridden by ROOT_LANG_KEY / ROOT_STARUP_KEY of section Registry in
 * vldicsdk.ini of the Windows folder.  Results are the lengths written. */
int WINAPI Linguabase_GetLangRootKey(char *out);
int WINAPI Linguabase_GetStartupRootKey(char *out);
int WINAPI Linguabase_GetLangKey(DWORD language, char *out);
int WINAPI Linguabase_GetLangSubKey(DWORD language, const char *name, char *out);

/* Copies the driver's record into the caller's: keeps the caller's size, zeroes and fills the head
 * and the blocks selected by flags, never writing past the caller's size (at least 8, else nothing is
 * written and 0 comes back).  The flags' low byte. */
DWORD WINAPI Linguabase_CopyLangInfo(DWORD flags, LangInfo *record, const LangInfo *driver);
/* Font values of the blocks selected by flags from the driver's font table, by the font kind the
 * record holds at offset 152; the record. */
LangInfo *WINAPI Linguabase_CopyLangFonts(DWORD flags, LangInfo *record, const LangFontTable *fonts);

/* ---- Word iterator ------------------------------------------------------------------------------------ */
/* Open copies the text (1, or 0 for a null text or no memory); First/Next step to the next letter run
 * (1 at a word, 0 at the end); Close frees the copies. */
int WINAPI Linguabase_OpenWordIterator(LangWordIterator *it, const char *text);
int WINAPI Linguabase_FirstWord(LangWordIterator *it);
int WINAPI Linguabase_NextWord(LangWordIterator *it);
void WINAPI Linguabase_CloseWordIterator(LangWordIterator *it);

#ifdef __cplusplus
}
#endif

#endif /* LINGUABASE_H */
