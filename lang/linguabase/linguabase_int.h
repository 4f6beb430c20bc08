// What the files of the language common library share.
#ifndef LINGUABASE_INT_H
#define LINGUABASE_INT_H

#include <windows.h>
#include "linguabase.h"

// A heap copy of the first n bytes of text, terminated; null without memory.
char *Lb_CopyN(const char *text, int n);
char *Lb_Copy(const char *text);
// Starts and ends the library heap (process attach and detach).
void Lb_HeapStart();
void Lb_HeapStop();
// An analysis context as new (all zero) and its return once the analysis is over (the caller has
// freed its strings); one is kept for the next analysis.
LangAnalysisContext *Lb_TakeContext();
void Lb_GiveContext(LangAnalysisContext *c);

// Keys of an analysis: adds a copy of text as a key; 1 added (or skipped as too short), 0 refused
// because `limit` keys exist.
int Lb_AddKey(LangAnalysisContext *c, const char *text, DWORD position, DWORD kind, DWORD extra, DWORD group,
              int limit);

// One collation set: eight tables of 256 bytes (see collate.cpp) and the alphabet base.
struct LbCollation {
    BYTE t[8][256];
    int base;
};
enum { LB_LATIN = 0, LB_NORWEGIAN = 1, LB_SWEDISH = 2 };
const LbCollation *Lb_Collation(int set);
void Lb_BuildCollations();

#endif
