// Sorting a word list with the item order of VLDataItem_Compare.
#include "lexidata_int.h"

namespace {

int CompareSlots(const void *a, const void *b, DWORD context) {
    return VLDataItem_Compare((int)(context & 0xFFFF), (int)(context >> 16),
                              *(VLDataItem *const *)a, *(VLDataItem *const *)b);
}

// FALLBACK until the common library's sort with a context value is available: a plain
// insertion sort over the slot pointers.
void SortSlots(VLDataItem **slots, LONG count, DWORD context) {
    for (LONG i = 1; i < count; i++) {
        VLDataItem *x = slots[i];
        LONG j = i;
        while (j > 0 && CompareSlots(&slots[j - 1], &x, context) > 0) {
            slots[j] = slots[j - 1];
            j--;
        }
        slots[j] = x;
    }
}

}  // namespace

extern "C" void WINAPI VLWordList_Sort(VLWordList *list, int mode, int descending) {
    if (!list || list->count < 2) return;
    SortSlots(list->slots, list->count, ((DWORD)(descending ? 1 : 0) << 16) | (DWORD)(mode & 0xFFFF));
}
