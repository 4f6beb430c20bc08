/* The language driver interface: one driver library per language (lingo_en, lingo_de, ...), each
 * exporting these fourteen operations by ordinal 1 to 14.  No part of the suite links a driver:
 * the language manager loads the driver named under the language's registry key and calls it.
 * All operations are stdcall (WINAPI).  Records are those of linguabase.h; key texts and key arrays
 * handed out come from the linguabase heap (free them with Linguabase_Free).  A cursor is a byte
 * position in the text (for single-byte text the same as the character index).  Drivers may also
 * export OpenLangDriver and CloseLangDriver by name (double-byte drivers). */
#ifndef LINGODRIVER_H
#define LINGODRIVER_H

#include <windows.h>
#include "linguabase.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Copies the driver's language record into the caller's (size kept; blocks by flags 0x01-0x20, never
 * past the caller's size); the flags' low byte. */
DWORD WINAPI LangDriver_GetLangInfo(DWORD flags, LangInfo *info);
/* Lookup keys of the text around the cursor byte into *out (the caller frees texts and array with
 * Linguabase_Free); 1, or 0 with *out untouched for a null text or a cursor not on a letter. */
int WINAPI LangDriver_AnalyzeText(const char *text, int cursor, LangKeyList *out, const LangAnalysisSettings *settings);
/* Search-key form of text into out (at least 2 * length + 1 bytes): flag 4 folds through the
 * driver's fold map (CR becomes a blank, ESC and LF are dropped), else flag 1 lower case, flag 2
 * upper case, none a copy (some drivers fold then too).  Returns out. */
char *WINAPI LangDriver_NormalizeText(DWORD flags, const char *text, char *out);
/* Compare of a key and a text under the driver's collation (flags as Linguabase_CompareLatin). */
int WINAPI LangDriver_Compare(DWORD flags, const char *key, const char *text, int length);
/* Scored compare (as Linguabase_ScoreLatin): the score class. */
DWORD WINAPI LangDriver_CompareScored(DWORD flags, int prefixLength, const char *key, int keyLength, const char *text,
                                      int textLength);
/* Sort key of the leading letters (as Linguabase_SortKeyLatin). */
DWORD WINAPI LangDriver_GetSortKey(const char *text, int fromEnd, WORD *out);
/* Alphabet size (low 16 bits) and key-space size (high 16 bits). */
DWORD WINAPI LangDriver_GetKeySpace(void);
/* Pronunciation data through the phonetic library with the driver's phonetic file (handle 0 when
 * none); the phonetic library's answer, 0 when it is not installed.  GetPhoneData: whether the file
 * has a block for the key.  GetPhoneDataEx: the block (an HGLOBAL) for a 108-byte request, its
 * length through size; the request, the size and the answer are addresses, so pointer-sized. */
DWORD WINAPI LangDriver_GetPhoneData(DWORD value);
DWORD_PTR WINAPI LangDriver_GetPhoneDataEx(DWORD_PTR request, DWORD_PTR size);
/* Font values of the blocks selected by flags into the record (by its font kind); the record. */
LangInfo *WINAPI LangDriver_GetFontInfo(DWORD flags, LangInfo *info);
/* Word iterator over the letter runs of a text (see Linguabase_OpenWordIterator). */
int WINAPI LangDriver_OpenWordIterator(LangWordIterator *it, const char *text);
int WINAPI LangDriver_FirstWord(LangWordIterator *it);
int WINAPI LangDriver_NextWord(LangWordIterator *it);
void WINAPI LangDriver_CloseWordIterator(LangWordIterator *it);

#ifdef __cplusplus
}
#endif

#endif /* LINGODRIVER_H */
