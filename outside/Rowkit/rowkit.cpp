// The keyed list: rows in insertion order in one growing array, with a hash index over the keys
// so that a find does not walk the whole list.  The index is rebuilt when the array grows or a
// row is removed; both are rare next to finds.
#include "rowkit.h"

#include <stdlib.h>
#include <string.h>

namespace {

struct Row {
    char *key;
    void *item;
    unsigned hash;
    int next;  // next row in the same hash bucket, -1 at the end
};

}  // namespace

struct RowkitList {
    Row *rows;
    int count;
    int capacity;
    int *buckets;  // capacity entries (a power of two), each the first row of its chain or -1
};

static unsigned Rowkit_Hash(const char *key)
{
    unsigned h = 2166136261u;  // FNV-1a over the bytes of the key
    for (const unsigned char *p = (const unsigned char *)key; *p; ++p)
        h = (h ^ *p) * 16777619u;
    return h;
}

static void Rowkit_Link(RowkitList *list, int index)
{
    Row *row = &list->rows[index];
    int *head = &list->buckets[row->hash & (unsigned)(list->capacity - 1)];
    row->next = *head;
    *head = index;
}

static void Rowkit_Reindex(RowkitList *list)
{
    for (int i = 0; i < list->capacity; ++i)
        list->buckets[i] = -1;
    for (int i = 0; i < list->count; ++i)
        Rowkit_Link(list, i);
}

static int Rowkit_Grow(RowkitList *list)
{
    int capacity = list->capacity ? list->capacity * 2 : 16;
    if (capacity <= list->capacity) return 0;
    Row *rows = (Row *)realloc(list->rows, sizeof(Row) * (size_t)capacity);
    if (!rows) return 0;
    list->rows = rows;
    int *buckets = (int *)malloc(sizeof(int) * (size_t)capacity);
    if (!buckets) return 0;  // the larger row array is kept; the old index still serves
    free(list->buckets);
    list->buckets = buckets;
    list->capacity = capacity;
    Rowkit_Reindex(list);
    return 1;
}

RowkitHandle WINAPI Rowkit_Create(void)
{
    return (RowkitList *)calloc(1, sizeof(RowkitList));
}

void WINAPI Rowkit_Destroy(RowkitHandle list)
{
    if (!list) return;
    for (int i = 0; i < list->count; ++i)
        free(list->rows[i].key);
    free(list->rows);
    free(list->buckets);
    free(list);
}

int WINAPI Rowkit_Add(RowkitHandle list, const char *key, void *item)
{
    if (!list || !key) return -1;
    if (list->count == list->capacity && !Rowkit_Grow(list)) return -1;
    size_t len = strlen(key);
    char *copy = (char *)malloc(len + 1);
    if (!copy) return -1;
    memcpy(copy, key, len + 1);
    int index = list->count++;
    Row *row = &list->rows[index];
    row->key = copy;
    row->item = item;
    row->hash = Rowkit_Hash(key);
    Rowkit_Link(list, index);
    return index;
}

int WINAPI Rowkit_Find(RowkitHandle list, int start, const char *key, int *index)
{
    int found = -1;
    if (list && key && list->capacity) {
        if (start < -1) start = -1;
        unsigned hash = Rowkit_Hash(key);
        // A chain runs from the newest row to the oldest: keep the lowest match after start.
        for (int i = list->buckets[hash & (unsigned)(list->capacity - 1)]; i >= 0;
             i = list->rows[i].next) {
            const Row *row = &list->rows[i];
            if (i > start && row->hash == hash && strcmp(row->key, key) == 0)
                found = i;
        }
    }
    if (index) *index = found;
    return found >= 0;
}

int WINAPI Rowkit_GetCount(RowkitHandle list)
{
    return list ? list->count : 0;
}

const char *WINAPI Rowkit_GetKey(RowkitHandle list, int index)
{
    if (!list || index < 0 || index >= list->count) return nullptr;
    return list->rows[index].key;
}

void *WINAPI Rowkit_GetItem(RowkitHandle list, int index)
{
    if (!list || index < 0 || index >= list->count) return nullptr;
    return list->rows[index].item;
}

int WINAPI Rowkit_SetItem(RowkitHandle list, int index, void *item)
{
    if (!list || index < 0 || index >= list->count) return 0;
    list->rows[index].item = item;
    return 1;
}

int WINAPI Rowkit_Remove(RowkitHandle list, int index)
{
    if (!list || index < 0 || index >= list->count) return 0;
    free(list->rows[index].key);
    memmove(&list->rows[index], &list->rows[index + 1],
            sizeof(Row) * (size_t)(list->count - index - 1));
    --list->count;
    Rowkit_Reindex(list);
    return 1;
}
