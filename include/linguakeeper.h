/* Linguakeeper: the language manager of the product line.
 *
 * Knows the languages of the suite (English 0x0100, Traditional Chinese 0x0300, Japanese 0x0400,
 * Korean 0x0500, French 0x0600, German 0x0700, Spanish 0x0800, Finnish 0x0C00, Italian 0x0F00,
 * Norwegian 0x1100, Swedish 0x1600) and every further key "%04x" below the language root
 * (SOFTWARE\Halvenstone\Velosuite\4.0\Language, current user first, then local machine; replaced by
 * ROOT_LANG_KEY of section Registry in vldicsdk.ini of the Windows folder).  Values of a language key:
 *   FileName       the language driver (a bare name is looked for beside this library)
 *   Load           DWORD; 0 keeps the language unloaded (unavailable); missing means 1
 *   Name           display name (default: the driver's language name)
 *   SearchSettings binary, the 260-byte search part of the language record (written by SetLangInfo)
 *   FontFace1, FontFace2, Color   the display part of the record (written by SetLangInfo)
 *   IconModule, IconId            icon of the language (default: one drawn for it, 32 x 32: its two-letter
 *                                 code, EN ZH JA KO FR DE ES FI IT NO SV, in white on a tile of its own
 *                                 colour; the code's high byte in hexadecimal for another language)
 *   PhoneDataFile  phonetic data file of the built-in driver (see below)
 * Key texts and arrays a driver hands out are released with the driver's LangDriver_Free (exported
 * by name) when it has one, else with the heap release of the language library (linguabase.dll,
 * ordinal 1202); a driver with neither is not used.
 * A language whose key names no driver, or whose driver cannot be loaded or lacks one of the
 * fourteen driver operations, is served by the built-in byte-order driver: keys are the bytes of
 * the text (ASCII case folded in the coarse stages), words are letter runs (single-byte languages)
 * or runs of double-byte characters (Japanese, Korean, Traditional Chinese).
 * Exported by ordinal only. */
#ifndef LINGUAKEEPER_H
#define LINGUAKEEPER_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One lookup key of a word analysis; text from the driver's heap. */
typedef struct LinguakeeperKeyItem {
    char *text;
    DWORD position; /* byte offset of the cursor inside the key */
    DWORD kind;     /* 256 sentence, 512 phrase, 0x480 | value first form, 0x440 | value other forms */
    DWORD extra;
    DWORD group;
    DWORD unused;
} LinguakeeperKeyItem;

typedef struct LinguakeeperKeyList {
    DWORD language; /* language code (low 16 bits) and charset (high 16 bits) */
    DWORD count;
    LinguakeeperKeyItem *items;
} LinguakeeperKeyList;

/* Settings of one analysis (handed to the driver). */
typedef struct LinguakeeperAnalysisSettings {
    DWORD reserved;
    DWORD wordsBack;
    DWORD phraseLength;
    DWORD fanOutDepth;
    DWORD minimumLength;
    DWORD buildPhrases;
    DWORD addCursorForms;
    DWORD addSentence;
} LinguakeeperAnalysisSettings;

/* Word iterator record of the drivers (24 bytes, the caller's). */
typedef struct LinguakeeperWordIterator {
    DWORD user;
    int position;
    int length;
    char *text;
    DWORD user2;
    unsigned char *classes;
} LinguakeeperWordIterator;

/* Search entry of the language record: one per group of request kinds (pop-up kinds 1 to 3, kind 5,
 * kind 4, kind 6, kind 7, in this order).  word[0] kind number (the entry applies to a request kind
 * equal to it; 0 = not looked up), [1] search mode (0 similarity, 1 exact, 2 prefix, 3 suffix, 4 near
 * spelling), [2] compare flags (0, 16, 32), [3] words back, [4] phrase length, [5] fan-out depth,
 * [6] minimum key length, [7] build phrases, [8] add the cursor word's forms, [9] pronounce
 * automatically, [10] copy the entry to the clipboard (kind 7), [11] open the manager instead (kind 7),
 * [12] add the sentence item. */
typedef struct LinguakeeperSearchEntry {
    DWORD word[13];
} LinguakeeperSearchEntry;

/* The language record.  The first 328 bytes are the driver's language information (size, code,
 * charset, flags, name, colour, faces, font blocks); the rest is the manager's.  The caller sets
 * `size`; Linguakeeper_GetLangInfo fills at most that many bytes and keeps the field. */
typedef struct LinguakeeperLangRecord {
    DWORD size;                        /* 0 */
    WORD language;                     /* 4 */
    WORD charset;                      /* 6 */
    DWORD doubleByte;                  /* 8 */
    DWORD singleByteA;                 /* 12 */
    DWORD singleByteB;                 /* 16 */
    DWORD compounds;                   /* 20 */
    BYTE reserved24[12];               /* 24 */
    DWORD value36;                     /* 36 */
    DWORD value40;                     /* 40 */
    char name[32];                     /* 44 */
    DWORD color;                       /* 76 */
    char face1[32];                    /* 80 */
    char face2[32];                    /* 112 */
    BYTE fontBlocks[184];              /* 144: blocks 2 to 6 */
    LinguakeeperSearchEntry search[5]; /* 328 */
    char displayName[64];              /* 588 */
    char iconModule[260];              /* 652 */
    DWORD iconId;                      /* 912 */
    DWORD available;                   /* 916: 1 when the language is loaded */
} LinguakeeperLangRecord;              /* 920 */

#define LINGUAKEEPER_LANGINFO_SIZE 328

/* The driver procedures the dictionary engine compares keys with. */
typedef char *(WINAPI *LinguakeeperNormalizeProc)(DWORD flags, const char *text, char *out);
typedef int(WINAPI *LinguakeeperCompareProc)(DWORD flags, const char *key, const char *text, int length);
typedef DWORD(WINAPI *LinguakeeperScoreProc)(DWORD flags, int prefixLength, const char *key, int keyLength,
                                             const char *text, int textLength);
typedef DWORD(WINAPI *LinguakeeperSortKeyProc)(const char *text, int fromEnd, WORD *out);
typedef struct LinguakeeperDriverProcs {
    LinguakeeperNormalizeProc normalize; /* driver operation 3 */
    LinguakeeperCompareProc compare;     /* driver operation 4 */
    LinguakeeperScoreProc score;         /* driver operation 5 */
    LinguakeeperSortKeyProc sortKey;     /* driver operation 6: the key-space (bucket) procedure */
} LinguakeeperDriverProcs;

/* Result of a word analysis: the second field points at the key list. */
typedef struct LinguakeeperForms {
    DWORD language;
    LinguakeeperKeyList *keys;
} LinguakeeperForms;

/* ---- Start and stop --------------------------------------------------------------------------
 * Init loads the languages and their drivers (counted: each Init wants one Term); every other
 * operation starts the manager itself when no Init was made.  Reload re-reads the settings part
 * of every language record.  All answer 1. */
int WINAPI Linguakeeper_Init(DWORD flags);
int WINAPI Linguakeeper_Term(void);
int WINAPI Linguakeeper_Reload(DWORD reserved);
/* No optional tools are installed: 0. */
int WINAPI Linguakeeper_HasToolA(void);
int WINAPI Linguakeeper_HasToolB(void);

/* ---- Language records ---------------------------------------------------------------------- */
/* The Windows language id of the language code, 0 for an unknown code. */
LANGID WINAPI Linguakeeper_GetLangId(DWORD language);
/* Fills the caller's record (its size field set, at least 8) for the language (low 16 bits); non-zero
 * when the language is known, 0 with the record untouched otherwise. */
int WINAPI Linguakeeper_GetLangInfo(DWORD language, LinguakeeperLangRecord *record);
/* Stores the manager's part of the record (search entries, faces, colour) for the language named in
 * the record; parts by flags: 1 search entries, 2 faces and colour (255 all).  1 when stored. */
int WINAPI Linguakeeper_SetLangInfo(DWORD flags, const LinguakeeperLangRecord *record);
/* Non-zero when the language (or, for 0, any language) is loaded. */
int WINAPI Linguakeeper_IsAvailable(DWORD language);
/* Fills the block with the driver's normaliser, comparer, scorer and key-space procedure; 1, or 0
 * with the block zeroed for an unknown or unloaded language. */
int WINAPI Linguakeeper_GetDriverProcs(DWORD language, DWORD reserved, LinguakeeperDriverProcs *procs);
/* The language's icon (shared, not to be destroyed, the same handle each time), also stored through
 * *icon when not null; null for an unknown language. */
HICON WINAPI Linguakeeper_GetLangIcon(DWORD language, HICON *icon, DWORD reserved);

/* ---- Analysis and keys ------------------------------------------------------------------------ */
/* The lookup keys of the text around the cursor byte position for the request kind, as the
 * language's driver makes them with the settings of the kind's search entry; free with
 * Linguakeeper_FreeForms.  Null for an unknown language, a null text or no word at the cursor. */
LinguakeeperForms *WINAPI Linguakeeper_AnalyzeWord(DWORD language, const char *text, int cursor, DWORD requestKind);
void WINAPI Linguakeeper_FreeForms(LinguakeeperForms *forms);
/* The search-key form of the text (mode 4, or 0x84 with wildcards kept) through the driver's
 * normaliser into out (at least 2 * length + 1 bytes); out, or null with out emptied for an unknown
 * language. */
char *WINAPI Linguakeeper_ConvertKey(DWORD language, DWORD mode, const char *text, char *out);
/* The driver's compare of two texts (flags as the driver's; length 0 = the whole texts):
 * negative, 0 or positive; for an unknown language a plain byte compare. */
int WINAPI Linguakeeper_Compare(DWORD language, DWORD flags, const char *a, const char *b, int length);

/* ---- Words of a key ----------------------------------------------------------------------------
 * An enumeration of the words of a key through the driver's word iterator.  Open -> handle or 0;
 * Rewind goes back before the first word; Next copies the next word into out (cap bytes) and answers
 * non-zero while a word follows; Close frees the handle. */
HANDLE WINAPI Linguakeeper_OpenWordEnum(DWORD language, const char *key);
int WINAPI Linguakeeper_RewindWordEnum(HANDLE wordEnum);
int WINAPI Linguakeeper_NextWordEnum(HANDLE wordEnum, char *out, int cap);
int WINAPI Linguakeeper_CloseWordEnum(HANDLE wordEnum);

/* ---- Pronunciation and the manager window -------------------------------------------------------- */
/* Plays wave data (a whole RIFF file in memory); 1 when played, 0 otherwise. */
int WINAPI Linguakeeper_PlaySound(const void *data, DWORD size);
/* Hands a data item's headword to the manager's word store of its language (the user flag, dictionary
 * id and dictionary information are noted with it); 1 when taken. */
int WINAPI Linguakeeper_AddEntry(const void *item, int userDictionary, DWORD dictionaryId, const void *dicInfo);
/* Non-zero when the manager's word store holds the data item's headword for its language. */
int WINAPI Linguakeeper_HasItem(const void *item);
/* Opens (or brings forward) the manager window on the language, showing the text when given (a
 * window already open keeps its text otherwise); the window, or null for an unknown language.
 * The window (class LinguakeeperManager, one per thread, title the language's display name) holds
 * the language's icon (control 102), the list of the languages (101, item data the code; choosing
 * one shows it), the text (100, editable), the words of the text as the language's word iterator
 * finds them, each with its search key (103, "word<TAB>key", again at every change of the text),
 * and the headwords handed over by Linguakeeper_AddEntry in this process for the language (104). */
HWND WINAPI Linguakeeper_OpenManager(DWORD language, const char *text, DWORD flags);

#ifdef __cplusplus
}
#endif

#endif /* LINGUAKEEPER_H */
