// The double-byte driver layer shared by the Japanese, Traditional-Chinese and Korean drivers.
// Each driver defines one DbcsLanguage (code, charset, faces, classes that matter, its analysis)
// and gets its DbcsTables from the generated dbcs_tables.inc (character tables by row index); the
// layer does the rest: attach and detach, the language record, the phonetic file, text in row
// indexes, the key list, the staged and scored compares, sort keys, normalisation and the word
// iterator.
//
// Positions.  The interface's cursor is a byte position in the caller's text; the drivers work on
// a full-width copy, so the cursor is turned into the index of the character that holds that
// byte, and every key's position is the byte offset of that character inside the key (in the
// full-width key text).
#ifndef DBCS_INT_H
#define DBCS_INT_H

#include <windows.h>
#include "lingodriver.h"

// Row index of the full-width space, and the index given to a byte that stayed single.
enum : WORD { DBCS_SPACE = 0xFFFF, DBCS_SINGLE = 0xFFFE };

struct DbcsTables {
    int size;              // row indexes 0 .. size - 1 have entries
    const BYTE *classes;   // character class
    const BYTE *nonWord;   // 1: no key starts at this character
    const WORD *exact, *partial1, *partial2, *blind;  // folding tables (index -> index)
    const WORD *convert1, *convert2;                  // normalisation flags 1 and 2
    const WORD *longKata, *longHira;  // vowel + 1 of a long-vowel mark after the character, or null
    const WORD *smallAlways, *smallByFlag;  // small kana folding, or null
};

struct DbcsText;
struct DbcsKeys;

struct DbcsLanguage {
    WORD code, charset;
    const char *defaultName;  // stands until string 1 of the driver's string table is loaded
    const char *face1, *face2;
    BYTE classBeyond;         // class of the indexes above the table
    BYTE classSpace;          // class of the full-width space
    BYTE classSingle;         // class of a byte that has no full-width form
    DWORD insignificant;      // bit per class: dropped or collapsed by the compare modes 1 and 2
    DWORD consultNonWord;     // bit per class: the non-word table decides (others are words)
    BYTE convertFirst, convertLast;  // classes that the normalisation flags 1 and 2 convert
    bool wildcards;           // flag 0x80 of the normalisation makes full-width * and ? single
    WORD longMark;            // row index of the long-vowel mark, 0 when the language has none
    DWORD keySpace;
    WORD(WINAPI *index)(BYTE lead, BYTE trail);
    // The phonetic file: false = named by "PhoneDataFile" in the language key, true = the module
    // path with the extension "ivl" (or else "vic"), opened by OpenLangDriver.
    bool phoneByModule;
    // Attach and detach steps of the language (may be null).
    void (*attach)(HMODULE module);
    void (*detach)();
    // The keys of an analysis (text not empty, cursor a character index inside it); false when
    // a key could not be added.
    bool (*analyze)(const DbcsText *t, int cursor, const LangAnalysisSettings *s, DbcsKeys *keys);
};

extern const DbcsLanguage g_dbcsLanguage;
extern const DbcsTables g_dbcsTables;

// A text in full width with its characters: codes[i] is the row index of the character at byte
// offset offsets[i] of bytes (offsets[count] == length).  source[i] is the index of the caller's
// character it came from.
struct DbcsText {
    char *bytes;
    int length;
    WORD *codes;
    int *offsets;
    int *source;
    int count;
};

// Makes the full-width form of text (at most maxBytes bytes of it when maxBytes > 0); false
// without memory.  Free releases the blocks.
bool Dbcs_MakeText(const char *text, int maxBytes, DbcsText *t);
void Dbcs_FreeText(DbcsText *t);
// The character of t that holds the caller's byte position, -1 when none does.
int Dbcs_CharAt(const char *text, int bytePosition, const DbcsText *t);
bool Dbcs_IsLead(BYTE b);

// Class and word test of a row index.
BYTE Dbcs_Class(WORD code);
bool Dbcs_IsWord(WORD code);

// The key list of an analysis (room for LANG_MAX_KEYS items).
struct DbcsKeys {
    LangKeyItem *items;
    int count;
    int minimumLength;
};
// Adds the characters from..to-1 of t followed by tail (may be null) as a key; skipped (true)
// when shorter than the minimum length in characters or when it starts with the full-width space
// (unless it is the sentence key); false when the list is full or memory ran out.
bool Dbcs_AddKey(DbcsKeys *keys, const DbcsText *t, int from, int to, const char *tail, int tailChars,
                 DWORD position, DWORD kind, DWORD extra, DWORD group, bool sentence = false);

// Compare mode bits of the mapping: 1 collapse the insignificant classes (trim both ends, keep the
// first of an inner run), 2 drop them, 4 drop the space, 8 end at the space, 0x10 a long-vowel mark
// becomes the vowel of the kana before it, 0x20 small ya, yu, yo become full size (small tsu
// always does).
int Dbcs_Map(const DbcsText *t, int mode, const WORD *table, WCHAR *out);
// The folding table by number: 0 exact, 1 partial1, 2 partial2, 3 blind.
const WORD *Dbcs_Table(int number);

// Named exports of the Chinese and Korean drivers (every double-byte driver has them; its attach
// and detach call them): language name and phonetic file.
extern "C" int WINAPI OpenLangDriver(void);
extern "C" int WINAPI CloseLangDriver(void);

// The language's record (name loaded at attach).
const LangInfo *Dbcs_Info();
HMODULE Dbcs_Module();

#endif
