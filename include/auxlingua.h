/* Auxlingua: the phonetic-data library.  Reads data files of the format in
 * docs/formats/phonetic-data.md: data blocks (wave sounds, images) found by a 32-bit key.
 * Exported by ordinal only. */
#ifndef AUXLINGUA_H
#define AUXLINGUA_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Opens a data file; the handle, or null for a missing or damaged file (refused whole). */
HANDLE WINAPI Auxlingua_Open(const char *path);
/* Closes the handle; 1, or 0 for a null or unknown handle. */
int WINAPI Auxlingua_Close(HANDLE file);
/* Non-zero when the file holds a block for the key (its length plus one); 0 otherwise. */
DWORD WINAPI Auxlingua_Lookup(HANDLE file, DWORD key);
/* A copy of the key's block (key in the second 32-bit field of the 108-byte request) in a movable
 * global memory block the caller frees with GlobalFree, its length through size (may be null);
 * null when there is none. */
HGLOBAL WINAPI Auxlingua_GetData(HANDLE file, const void *request, DWORD *size);

#ifdef __cplusplus
}
#endif

#endif /* AUXLINGUA_H */
