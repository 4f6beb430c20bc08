/* ddsample: a small driver-dictionary library of our own, for the engine's tests.
 *
 * Describes itself as an English translator and translates a key into three items "<key>-1" to
 * "<key>-3" (second string "sample translation").  A copy of the library whose file name contains
 * "refuse" refuses to describe itself.  Exported by name, as driver-dictionary libraries are. */
#ifndef DDSAMPLE_H
#define DDSAMPLE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The engine's item procedure: (item, flag, query) -> 0 skip, 1 added, 2 stop, 4 full. */
typedef int(CALLBACK *DDSampleItemProc)(void *item, int flag, void *query);

/* Fills the file record (796 bytes) and the sub-dictionary record (572 bytes); 1, or 0 when the
 * library's file name contains "refuse". */
BOOL WINAPI DDGetInfo(const char *libraryPath, void *fileRecord, void *subRecord);
/* 1; the engine keeps it and does not call it. */
int WINAPI DDOpen(void *fileRecord);
/* Called once before the library is unloaded; counts the calls in DDSAMPLE_CLOSED of the
 * environment of the process (for the tests). */
void WINAPI DDClose(void);
/* Delivers the three items of the key to proc (each freed after the call); stops at an answer of
 * 2 or 4.  1 when one was added, else 0. */
int WINAPI DDTranslate(void *fileRecord, const char *key, DDSampleItemProc proc, void *query);
/* 0; kept by the engine, not called. */
int WINAPI DDGetData(void *fileRecord, const void *item, void *data);

#ifdef __cplusplus
}
#endif

#endif
