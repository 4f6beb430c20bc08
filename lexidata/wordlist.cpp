// Word lists: an ordered array of owned data-item copies with a maximum count and a current
// position.
#include "lexidata_int.h"

namespace {

bool SameEntry(const VLDataItem *a, const VLDataItem *b) {
    return a->head.fileId == b->head.fileId && a->head.subDicNo == b->head.subDicNo &&
           a->head.entryNo == b->head.entryNo;
}

}  // namespace

extern "C" VLWordList *WINAPI VLWordList_Create(LONG maximum) {
    if (maximum < 0) maximum = 0;
    VLWordList *list = (VLWordList *)Lexi_Alloc(sizeof(VLWordList));
    if (!list) return nullptr;
    list->slots = (VLDataItem **)Lexi_Alloc((size_t)maximum * sizeof(VLDataItem *));
    if (!list->slots) {
        Lexi_Free(list);
        return nullptr;
    }
    list->maximum = maximum;
    return list;
}

extern "C" void WINAPI VLWordList_Destroy(VLWordList *list) {
    if (!list) return;
    VLWordList_DeleteAllItems(list);
    Lexi_Free(list->slots);
    Lexi_Free(list);
}

extern "C" LONG WINAPI VLWordList_Add(VLWordList *list, const VLDataItem *item) {
    if (!list || !item || list->count >= list->maximum) return 0;
    for (LONG i = 0; i < list->count; i++) {
        VLDataItem *held = list->slots[i];
        if (SameEntry(held, item)) {
            if (item->score < held->score) held->score = item->score;
            return i + 1;
        }
    }
    VLDataItem *copy = VLDataItem_Dup(item);
    if (!copy) return 0;
    list->slots[list->count++] = copy;
    return list->count;
}

extern "C" LONG WINAPI VLWordList_AddEx(VLWordList *list, LONG position, const VLDataItem *item) {
    if (!list || !item) return -1;
    if (position < 0 || position >= list->count) position = list->count;
    if (position >= list->maximum) return -1;
    VLDataItem *copy = VLDataItem_Dup(item);
    if (!copy) return -1;
    if (position == list->count) {
        list->count++;
    } else {
        Lexi_Free(list->slots[position]);
    }
    list->slots[position] = copy;
    return position;
}

extern "C" BOOL WINAPI VLWordList_Insert(VLWordList *list, LONG position, const VLWordList *source) {
    if (!list || !source || position < 0 || position > list->count) return FALSE;
    LONG n = source->count;
    if (n > list->maximum - position) n = list->maximum - position;
    if (n <= 0) return TRUE;
    // Make the copies first so that a failure leaves the list untouched.
    VLDataItem **copies = (VLDataItem **)Lexi_Alloc((size_t)n * sizeof(VLDataItem *));
    if (!copies) return FALSE;
    for (LONG i = 0; i < n; i++) {
        copies[i] = VLDataItem_Dup(source->slots[i]);
        if (!copies[i]) {
            for (LONG j = 0; j < i; j++) Lexi_Free(copies[j]);
            Lexi_Free(copies);
            return FALSE;
        }
    }
    // Items pushed past the maximum are destroyed, from the end.
    LONG keep = list->count;
    if (keep + n > list->maximum) {
        for (LONG i = list->maximum - n; i < keep; i++) {
            Lexi_Free(list->slots[i]);
            list->slots[i] = nullptr;
        }
        keep = list->maximum - n;
    }
    memmove(list->slots + position + n, list->slots + position,
            (size_t)(keep - position) * sizeof(VLDataItem *));
    memcpy(list->slots + position, copies, (size_t)n * sizeof(VLDataItem *));
    list->count = keep + n;
    Lexi_Free(copies);
    return TRUE;
}

extern "C" BOOL WINAPI VLWordList_Delete(VLWordList *list, LONG position) {
    if (!list || position < 0 || position >= list->count) return FALSE;
    Lexi_Free(list->slots[position]);
    memmove(list->slots + position, list->slots + position + 1,
            (size_t)(list->count - position - 1) * sizeof(VLDataItem *));
    list->count--;
    list->slots[list->count] = nullptr;
    return TRUE;
}

extern "C" LONG WINAPI VLWordList_DeleteAllItems(VLWordList *list) {
    if (!list) return 0;
    LONG before = list->count;
    // Slots from the count on are always empty.
    for (LONG i = 0; i < list->count; i++) {
        Lexi_Free(list->slots[i]);
        list->slots[i] = nullptr;
    }
    list->count = 0;
    list->current = 0;
    return before;
}

extern "C" LONG WINAPI VLWordList_Count(const VLWordList *list) {
    return list ? list->count : 0;
}

extern "C" VLDataItem *WINAPI VLWordList_GetItem(const VLWordList *list, LONG position) {
    if (!list || position < 0 || position >= list->count) return nullptr;
    return list->slots[position];
}

extern "C" VLDataItem *WINAPI VLWordList_GetCurItem(const VLWordList *list) {
    if (!list || list->count == 0 || list->current < 0 || list->current >= list->count)
        return nullptr;
    return list->slots[list->current];
}

extern "C" BOOL WINAPI VLWordList_SetCurItem(VLWordList *list, LONG position) {
    if (!list || position < 0 || position >= list->maximum) return FALSE;
    list->current = position;
    return TRUE;
}

extern "C" void WINAPI VLWordList_SetMaxNum(VLWordList *list, LONG maximum) {
    if (!list || maximum < 0) return;
    VLDataItem **slots = (VLDataItem **)Lexi_Alloc((size_t)maximum * sizeof(VLDataItem *));
    if (!slots) return;  // out of memory: the list stays as it was
    LONG keep = list->count < maximum ? list->count : maximum;
    for (LONG i = keep; i < list->maximum; i++) Lexi_Free(list->slots[i]);
    memcpy(slots, list->slots, (size_t)keep * sizeof(VLDataItem *));
    Lexi_Free(list->slots);
    list->slots = slots;
    list->maximum = maximum;
    list->count = keep;
}
