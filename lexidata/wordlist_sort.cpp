// Sorting a word list with the item order of VLDataItem_Compare, through the common library's
// sort with a context value: (descending << 16) | mode.
#include "lexidata_int.h"
#include "basekit.h"

namespace {

int __cdecl CompareSlots(const void *a, const void *b, void *context) {
    DWORD c = (DWORD)(UINT_PTR)context;
    return VLDataItem_Compare((int)(c & 0xFFFF), (int)(c >> 16), *(VLDataItem *const *)a,
                              *(VLDataItem *const *)b);
}

}  // namespace

extern "C" void WINAPI VLWordList_Sort(VLWordList *list, int mode, int descending) {
    if (!list || list->count < 2) return;
    Lexi_ForgetListIndex(list);
    DWORD context = ((DWORD)(descending ? 1 : 0) << 16) | (DWORD)(mode & 0xFFFF);
    Basekit_SortWithContext(list->slots, list->count, sizeof(VLDataItem *), CompareSlots,
                            (void *)(UINT_PTR)context);
}
