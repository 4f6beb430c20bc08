// The word-list block: the same bytes serve as word-list file, study-list file and clipboard
// block.  A 32-byte header ("VLV5DATA", total item bytes, format number, count, maximum) is
// followed by the items in saved form.
#include "lexidata_int.h"

namespace {

#pragma pack(push, 1)
struct WordListHeader {
    char magic[8];    // "VLV5DATA"
    DWORD total;      // bytes of the items that follow
    WORD format;      // 0x500
    DWORD count;
    DWORD maximum;    // the list's maximum when saved
    BYTE reserved[10];
};
#pragma pack(pop)
static_assert(sizeof(WordListHeader) == 32 && offsetof(WordListHeader, total) == 8 &&
              offsetof(WordListHeader, format) == 12 && offsetof(WordListHeader, count) == 14 &&
              offsetof(WordListHeader, maximum) == 18 && offsetof(WordListHeader, reserved) == 22,
              "word-list header");

const DWORD kHeaderSize = sizeof(WordListHeader);
const DWORD kMaxBlock = 0x20000000;  // larger files or clipboard blocks are refused

void PutHeader(BYTE *h, DWORD total, DWORD count, DWORD maximum) {
    WordListHeader w;
    memset(&w, 0, sizeof w);
    memcpy(w.magic, "VLV5DATA", 8);
    w.total = total;
    w.format = VLWORDLIST_FORMAT;
    w.count = count;
    w.maximum = maximum;
    memcpy(h, &w, sizeof w);
}

// Size of the whole block for the list; writes it into dest when given.
DWORD BuildBlock(const VLWordList *list, BYTE *dest) {
    DWORD total = 0;
    for (LONG i = 0; i < list->count; i++) total += VLDataItem_Save(list->slots[i], nullptr);
    if (dest) {
        PutHeader(dest, total, (DWORD)list->count, (DWORD)list->maximum);
        BYTE *at = dest + kHeaderSize;
        for (LONG i = 0; i < list->count; i++) at += VLDataItem_Save(list->slots[i], at);
    }
    return kHeaderSize + total;
}

// Reads a whole block into the list.  Every stored item is checked before the list is touched:
// a damaged block (short header, an item that does not fit, bad string offsets or terminators,
// a count larger than the data) leaves the list as it was and gives false.  A format number
// below 1280 empties the list.  Of n stored items the list keeps the last `maximum`, in order.
bool LoadBlock(VLWordList *list, const BYTE *data, size_t size) {
    if (size < kHeaderSize) return LEXI_DAMAGED();
    WordListHeader h;
    memcpy(&h, data, sizeof h);
    if (h.format < VLWORDLIST_FORMAT) {
        VLWordList_DeleteAllItems(list);
        return true;
    }
    DWORD n = h.count;
    if (n > (size - kHeaderSize) / kSavedItemHead) return LEXI_DAMAGED();
    DWORD *offsets = (DWORD *)Lexi_Alloc((size_t)n * sizeof(DWORD));
    if (!offsets) return false;
    bool ok = true;
    size_t pos = kHeaderSize;
    for (DWORD i = 0; i < n && ok; i++) {
        DWORD itemSize = Lexi_CheckSavedItem(data + pos, size - pos);
        offsets[i] = (DWORD)pos;
        pos += itemSize;
        ok = itemSize != 0;
    }
    DWORD keep = n < (DWORD)list->maximum ? n : (DWORD)list->maximum;
    VLDataItem **items = ok ? (VLDataItem **)Lexi_Alloc((size_t)keep * sizeof(VLDataItem *)) : nullptr;
    if (!items) ok = false;
    for (DWORD i = 0; i < keep && ok; i++) {
        items[i] = Lexi_LoadCheckedItem(data + offsets[n - keep + i]);
        ok = items[i] != nullptr;
    }
    if (ok) {
        VLWordList_DeleteAllItems(list);
        memcpy(list->slots, items, (size_t)keep * sizeof(VLDataItem *));
        list->count = (LONG)keep;
    } else if (items) {
        for (DWORD i = 0; i < keep; i++) Lexi_Free(items[i]);
    }
    Lexi_Free(items);
    Lexi_Free(offsets);
    return ok;
}

}  // namespace

extern "C" BOOL WINAPI VLWordList_Save(const VLWordList *list, const char *fileName) {
    if (!list || !fileName) return FALSE;
    DWORD size = BuildBlock(list, nullptr);
    BYTE *block = (BYTE *)Lexi_Alloc(size);
    if (!block) return FALSE;
    BuildBlock(list, block);
    // A failed save leaves the list saved before it.
    BOOL ok = Lexi_ReplaceFile(fileName, block, size);
    Lexi_Free(block);
    return ok;
}

extern "C" BOOL WINAPI VLWordList_Load(VLWordList *list, const char *fileName) {
    if (!list || !fileName) return FALSE;
    HANDLE file = CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    BOOL ok = FALSE;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart <= kMaxBlock) {
        DWORD n = (DWORD)size.QuadPart;
        BYTE *data = (BYTE *)Lexi_Alloc(n);
        if (data && Lexi_ReadExact(file, data, n)) ok = LoadBlock(list, data, n);
        Lexi_Free(data);
    }
    CloseHandle(file);
    return ok;
}

extern "C" BOOL WINAPI VLWordList_Copy(const VLWordList *list, HWND window) {
    if (!list || !OpenClipboard(window)) return FALSE;
    BOOL ok = FALSE;
    DWORD size = BuildBlock(list, nullptr);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    BYTE *p = mem ? (BYTE *)GlobalLock(mem) : nullptr;
    if (p) {
        BuildBlock(list, p);
        GlobalUnlock(mem);
        EmptyClipboard();
        ok = SetClipboardData(DLVGetClipbordFormat(), mem) != nullptr;
    }
    if (!ok && mem) GlobalFree(mem);
    CloseClipboard();
    return ok;
}

extern "C" BOOL WINAPI VLWordList_Paste(VLWordList *list, HWND window) {
    if (!list || !OpenClipboard(window)) return FALSE;
    BOOL ok = FALSE;
    HANDLE mem = GetClipboardData(DLVGetClipbordFormat());
    const BYTE *p = mem ? (const BYTE *)GlobalLock(mem) : nullptr;
    if (p) {
        SIZE_T size = GlobalSize(mem);
        ok = size <= kMaxBlock && LoadBlock(list, p, size);
        GlobalUnlock(mem);
    }
    CloseClipboard();
    return ok;
}

extern "C" BOOL WINAPI VLWordList_AddItemToFile(const char *fileName, const VLDataItem *item) {
    if (!fileName || !item) return FALSE;
    HANDLE file = CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FALSE;
    bool created = GetLastError() != ERROR_ALREADY_EXISTS;
    WordListHeader header, before;
    DWORD beforeSize = 0;
    bool ok = false, touched = false;
    LARGE_INTEGER size;
    DWORD itemSize = VLDataItem_Save(item, nullptr);
    if (itemSize && GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF - (LONGLONG)itemSize) {
        // What lies in the header's place now, put back if the append fails.
        beforeSize = size.QuadPart < kHeaderSize ? (DWORD)size.QuadPart : kHeaderSize;
        ok = Lexi_ReadExact(file, &before, beforeSize);
        bool fresh = size.QuadPart < kHeaderSize;
        if (fresh) {
            // A new file or one without a whole header starts over as an empty word list.
            PutHeader((BYTE *)&header, 0, 0, 0);
        } else {
            // A file of another kind is never written over.
            memcpy(&header, &before, kHeaderSize);
            ok = ok && memcmp(header.magic, "VLV5DATA", 8) == 0;
        }
        // Count the item and its bytes; the item goes first, the header after it, so that a
        // failed append never leaves a count that promises a missing item.
        header.count++;
        header.total += itemSize;
        DWORD end = fresh ? kHeaderSize : (DWORD)size.QuadPart;
        touched = ok;
        ok = ok && Lexi_Seek(file, end) && VLDataItem_WriteSL(file, item) && Lexi_Seek(file, 0) &&
             Lexi_WriteExact(file, &header, kHeaderSize);
    }
    if (touched && !ok) {
        // Nothing half-written stays: the file goes back to its old bytes and length.
        Lexi_Seek(file, 0);
        Lexi_WriteExact(file, &before, beforeSize);
        Lexi_Seek(file, (DWORD)size.QuadPart);
        SetEndOfFile(file);
    }
    CloseHandle(file);
    if (!ok && created) DeleteFileA(fileName);
    return ok;
}
