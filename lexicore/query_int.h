// Declarations shared by the query files of the engine.
#ifndef LEXICORE_QUERY_INT_H
#define LEXICORE_QUERY_INT_H

#include "lexicore_int.h"

// ---- Hits ----------------------------------------------------------------------------------------
// Adds a copy of the item to the query's list with the score; LEXICORE_ITEM_ADDED, or
// LEXICORE_ITEM_FULL when the list is full or missing.
int LcQuery_Add(DicQuery *q, VLDataItem *item, DWORD score);
// The comparer over the last n bytes of both texts when flags compare from the end (0x8000), over
// the first n (or whole texts for n = 0) otherwise.
int LcQuery_Compare(DicSession *s, DWORD flags, const char *key, const char *text, int n);
// True when the byte at p starts a double-byte character in the session's charset.
bool LcQuery_IsLead(DicSession *s, unsigned char b);
int LcQuery_IsDriver(DicQuery *q);

// ---- Wildcard patterns ------------------------------------------------------------------------------
struct LcPattern;
// True when the key holds a wildcard character outside double-byte characters.
bool LcWild_HasWildcard(DicSession *s, const char *key);
// Compiles the pattern; null when it cannot be read (an unclosed or empty set, a bad range, a
// bracket out of place, too many tokens).
LcPattern *LcWild_Compile(DicSession *s, const char *pattern);
void LcWild_Free(LcPattern *p);
bool LcWild_Match(const LcPattern *p, const char *text, int length);
// The fixed part a walk can start from: the first (front) or last (back) token's text, or the
// lowest member of a set or range (high gets the highest, the end of the walk).  False for none.
bool LcWild_Fixed(const LcPattern *p, bool back, char *low, char *high, int *span);
int LcWild_Run(DicQuery *q);

#endif
