/* Rowkit: a keyed list that keeps insertion order.
 *
 * Rows hold a text key (copied into the list) and an item pointer (not owned: the caller frees
 * what its items point to before it destroys the list).  Row indexes are zero-based and follow
 * insertion order; removing a row moves the later rows down by one.  Keys compare byte by byte,
 * with case, and several rows may share one key; Rowkit_Find walks them in order.  Exported by
 * ordinal only.  A list is used by one thread at a time. */
#ifndef ROWKIT_H
#define ROWKIT_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct RowkitList *RowkitHandle;

/* ---- Lifetime ---- */
/* A new empty list; null when memory runs out.  Release it with Rowkit_Destroy. */
RowkitHandle WINAPI Rowkit_Create(void);
/* Frees the list and its key copies (not the items).  A null list is ignored. */
void WINAPI Rowkit_Destroy(RowkitHandle list);

/* ---- Rows ---- */
/* Appends a row with a copy of key and the item; the new row's index, or -1 when the list or the
 * key is null or memory runs out. */
int WINAPI Rowkit_Add(RowkitHandle list, const char *key, void *item);
/* Looks for the first row after index start (-1: from the first row) whose key equals key.
 * Non-zero when found, with its index stored in *index (index may be null); 0 otherwise, with
 * *index set to -1. */
int WINAPI Rowkit_Find(RowkitHandle list, int start, const char *key, int *index);
/* Number of rows; 0 for a null list. */
int WINAPI Rowkit_GetCount(RowkitHandle list);
/* The key of a row, valid until the row is removed or the list destroyed; null when the index is
 * out of range. */
const char *WINAPI Rowkit_GetKey(RowkitHandle list, int index);
/* The item of a row; null when the index is out of range. */
void *WINAPI Rowkit_GetItem(RowkitHandle list, int index);
/* Replaces the item of a row; 1 done, 0 when the index is out of range.  The old item is the
 * caller's to free. */
int WINAPI Rowkit_SetItem(RowkitHandle list, int index, void *item);
/* Removes a row (its item is the caller's to free); 1 done, 0 when the index is out of range. */
int WINAPI Rowkit_Remove(RowkitHandle list, int index);

#ifdef __cplusplus
}
#endif

#endif /* ROWKIT_H */
