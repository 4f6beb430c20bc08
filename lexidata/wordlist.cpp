// Word lists: an ordered array of owned data-item copies with a maximum count and a current
// position.
#include <unordered_map>
#include "lexidata_int.h"

namespace {

bool SameEntry(const VLDataItem *a, const VLDataItem *b) {
    return a->head.fileId == b->head.fileId && a->head.subDicNo == b->head.subDicNo &&
           a->head.entryNo == b->head.entryNo;
}

// Where each entry identity of a long list is held, so that adding to it does not go through
// every held item.  Built on the first add to a list of kIndexFrom items or more, kept up by the
// adds, and dropped by every other change this library makes to the list; a list whose slots or
// count are not those the index was kept for is indexed anew, and a position the index gives is
// confirmed against the held item.
const LONG kIndexFrom = 32;

struct Identity {
    DWORD fileId, subDicNo, entryNo;
    bool operator==(const Identity &o) const {
        return fileId == o.fileId && subDicNo == o.subDicNo && entryNo == o.entryNo;
    }
};
struct IdentityHash {
    size_t operator()(const Identity &k) const {
        unsigned long long h = (unsigned long long)k.entryNo * 0x9E3779B97F4A7C15ull;
        h ^= ((unsigned long long)k.fileId << 20) ^ ((unsigned long long)k.subDicNo << 44);
        return (size_t)(h ^ (h >> 31));
    }
};
struct HeldIndex {
    VLDataItem **slots = nullptr;
    LONG count = 0;
    std::unordered_map<Identity, LONG, IdentityHash> at;
};
std::unordered_map<const VLWordList *, HeldIndex> *g_indexes;  // under g_indexLock
SRWLOCK g_indexLock = SRWLOCK_INIT;

Identity IdentityOf(const VLDataItem *item) {
    return {item->head.fileId, item->head.subDicNo, item->head.entryNo};
}

// Position of the held item with the item's identity, or -1.  Under g_indexLock.
LONG FindHeld(const VLWordList *list, const VLDataItem *item) {
    if (!g_indexes && list->count >= kIndexFrom)
        g_indexes = new (std::nothrow) std::unordered_map<const VLWordList *, HeldIndex>;
    if (list->count < kIndexFrom || !g_indexes) {
        for (LONG i = 0; i < list->count; i++)
            if (SameEntry(list->slots[i], item)) return i;
        return -1;
    }
    HeldIndex &h = (*g_indexes)[list];
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1 || h.slots != list->slots || h.count != list->count) {
            h.at.clear();
            h.at.reserve((size_t)list->count * 2);
            for (LONG i = 0; i < list->count; i++) h.at.emplace(IdentityOf(list->slots[i]), i);
            h.slots = list->slots;
            h.count = list->count;
        }
        auto found = h.at.find(IdentityOf(item));
        if (found == h.at.end()) return -1;
        LONG i = found->second;
        if (i < list->count && SameEntry(list->slots[i], item)) return i;
    }
    return -1;
}

// Notes the item just added at the end of an indexed list.  Under g_indexLock.
void NoteAdded(const VLWordList *list) {
    if (!g_indexes) return;
    auto found = g_indexes->find(list);
    if (found == g_indexes->end()) return;
    HeldIndex &h = found->second;
    if (h.slots != list->slots || h.count != list->count - 1) return;  // indexed anew at next use
    h.at.emplace(IdentityOf(list->slots[list->count - 1]), list->count - 1);
    h.count = list->count;
}

}  // namespace

void Lexi_ForgetListIndex(const VLWordList *list) {
    if (!list) return;
    AcquireSRWLockExclusive(&g_indexLock);
    if (g_indexes) g_indexes->erase(list);
    ReleaseSRWLockExclusive(&g_indexLock);
}

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
    Lexi_ForgetListIndex(list);
    VLWordList_DeleteAllItems(list);
    Lexi_Free(list->slots);
    Lexi_Free(list);
}

extern "C" LONG WINAPI VLWordList_Add(VLWordList *list, const VLDataItem *item) {
    if (!list || !item || list->count >= list->maximum) return 0;
    AcquireSRWLockExclusive(&g_indexLock);
    LONG i = FindHeld(list, item);
    LONG added = 0;
    if (i >= 0) {
        VLDataItem *held = list->slots[i];
        if (item->score < held->score) held->score = item->score;
        added = i + 1;
    } else if (VLDataItem *copy = VLDataItem_Dup(item)) {
        list->slots[list->count++] = copy;
        NoteAdded(list);
        added = list->count;
    }
    ReleaseSRWLockExclusive(&g_indexLock);
    return added;
}

extern "C" LONG WINAPI VLWordList_AddEx(VLWordList *list, LONG position, const VLDataItem *item) {
    if (!list || !item) return -1;
    Lexi_ForgetListIndex(list);
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
    Lexi_ForgetListIndex(list);
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
    Lexi_ForgetListIndex(list);
    Lexi_Free(list->slots[position]);
    memmove(list->slots + position, list->slots + position + 1,
            (size_t)(list->count - position - 1) * sizeof(VLDataItem *));
    list->count--;
    list->slots[list->count] = nullptr;
    return TRUE;
}

extern "C" LONG WINAPI VLWordList_DeleteAllItems(VLWordList *list) {
    if (!list) return 0;
    Lexi_ForgetListIndex(list);
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
    Lexi_ForgetListIndex(list);
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
