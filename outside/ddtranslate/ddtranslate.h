/* ddtranslate: a translator driver dictionary of our own (index kind 8), English <-> Japanese.
 *
 * The engine loads it like every driver-dictionary library (by path, entry points by name) and
 * hands each query's text to DDTranslate.  The translation is deterministic: a word table
 * (words.txt, built into the library) translates words and phrases; English words it does not hold
 * (after dropping a plural or verb ending) are written in full-width letters, Japanese kana it does
 * not hold are written in romaji (a small tsu doubles the next consonant, the long-vowel mark repeats
 * the last vowel), any other unknown Japanese character becomes "?".  Line ends, digits and other
 * single-byte marks keep their places; Japanese sentence marks and English ones are exchanged.
 * Text with any double-byte character of the Japanese code page is Japanese (translated into
 * English), any other text English (translated into Japanese).
 *
 * The result is one data item: its headword is the translation (language 0x0400 and charset 128
 * for Japanese, 0x0100 and 0 for English), its second string the text translated.
 *
 * Self-description (DDGetInfo): file language 0x0100 with the languages 0x0100 and 0x0400, name
 * "Velomira Translator (English-Japanese)"; the sub-dictionary language 0x0400, charset 128 (the
 * Japanese code page, which holds English text too), index kind 8, nickname "EJ".
 * Exported by name, as driver-dictionary libraries are (ordinals in ddtranslate.def: DDGetInfo 1,
 * DDOpen 2, DDClose 3, DDTranslate 4, DDGetData 5). */
#ifndef DDTRANSLATE_H
#define DDTRANSLATE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The engine's item procedure: (item, flag, query) -> 0 skip, 1 added, 2 stop, 4 full. */
typedef int(CALLBACK *DDTranslateItemProc)(void *item, int flag, void *query);

/* Fills the file record (796 bytes) and the sub-dictionary record (572 bytes); 1, or 0 when the
 * library's word table cannot be read. */
BOOL WINAPI DDGetInfo(const char *libraryPath, void *fileRecord, void *subRecord);
/* 1 while the word table is readable; the engine keeps it and does not call it. */
int WINAPI DDOpen(void *fileRecord);
/* Called once before the library is unloaded; nothing to release (the table goes with the image). */
void WINAPI DDClose(void);
/* Translates the text and hands the one result item to proc (freed after the call); 1 when proc
 * took it, 0 for a null or empty text, a text whose translation is empty, or no proc. */
int WINAPI DDTranslate(void *fileRecord, const char *key, DDTranslateItemProc proc, void *query);
/* 0; kept by the engine, not called. */
int WINAPI DDGetData(void *fileRecord, const void *item, void *data);

#ifdef __cplusplus
}
#endif

#endif
