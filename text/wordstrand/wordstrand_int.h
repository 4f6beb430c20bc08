/* Wordstrand: declarations shared by the library's own files (not exported). */
#ifndef WORDSTRAND_INT_H
#define WORDSTRAND_INT_H

#include "strandkit.h"
#include "wordstrand.h"

/* Width tables, generated from the code-page codecs (tools/gen_wordstrand_tables.py). */
extern const unsigned short g_wsSjisWide[256];        /* per byte 0x20-0x7F, 0xA0-0xDF; 0 none */
extern const unsigned short g_wsSjisVoiced[64];       /* per byte 0xA0-0xDF with the voiced mark */
extern const unsigned short g_wsSjisSemiVoiced[64];   /* ... with the semi-voiced mark */
extern const unsigned char g_wsSjisNarrow[278];       /* per Shift-JIS row index */
extern const unsigned short g_wsBig5Wide[96];         /* per byte 0x20-0x7F */
extern const unsigned char g_wsBig5Narrow[318];       /* per Big5 row index */

/* 1 for the double-byte charsets 128, 129, 134, 136. */
int WsInt_IsDoubleByte(UINT charset);
/* Bytes of the character at p in the charset: 0 at the NUL, 2 for a lead byte with a byte after
 * it, else 1 (a lead byte directly before the NUL is one byte). */
int WsInt_CharLen(UINT charset, const unsigned char *p);
/* 1 when the character at p (a character start) ends a sentence: '.', '?', '!', the inverted
 * marks (the half-width full stop in Shift-JIS), ',' ':' ';' before a line end, and the
 * charset's double-byte full stops and marks. */
int WsInt_IsSentenceEnd(UINT charset, const unsigned char *p);

/* The library's own heap. */
void *WsInt_Alloc(size_t size);

#endif /* WORDSTRAND_INT_H */
