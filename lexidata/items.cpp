// Data items: creation, copies, the saved form (string offsets instead of addresses), and the
// generic item operations that dispatch on the type code.
#include "lexidata_int.h"

namespace {

// Address of a string field of an item in memory or saved form: 0 stays absent, a value below
// the item's size is an offset into the block, anything else is already an address.
const char *StringAt(const VLDataItem *item, const char *field) {
    DWORD v = (DWORD)(UINT_PTR)field;
    if (v == 0) return nullptr;
    if (v < item->head.size) return (const char *)item + v;
    return field;
}

DWORD OffsetOf(const VLDataItem *item, const char *address) {
    return address ? (DWORD)(address - (const char *)item) : 0;
}

size_t Len(const char *s) { return s ? strlen(s) : 0; }

// One string of a saved item: offset and length must lie inside the block, with the terminator
// right after the text and no zero byte before it.
bool StringFits(const BYTE *block, DWORD size, DWORD offset, LONG len) {
    if (len < 0 || offset < sizeof(VLDataItem) || offset >= size) return false;
    if ((DWORD)len >= size - offset) return false;
    return block[offset + len] == 0 && memchr(block + offset, 0, len) == nullptr;
}

}  // namespace

VLDataItem *Lexi_MakeDataItem(const VLDataItem *head, const char *hw, size_t hwLen,
                              const char *s2, size_t s2Len, const char *s3, size_t s3Len,
                              const char *s4, size_t s4Len) {
    if (hw && hwLen == 0) hw = nullptr;
    if (s2 && s2Len == 0) s2 = nullptr;
    if (s3 && s3Len == 0) s3 = nullptr;
    if (s4 && s4Len == 0) s4 = nullptr;
    size_t size = sizeof(VLDataItem);
    if (hw) size += hwLen + 1;
    if (s2) size += s2Len + 1;
    if (s3) size += s3Len + 1;
    if (s4) size += s4Len + 1;
    if (size > 0x7FFFFFFF) return nullptr;
    VLDataItem *item = (VLDataItem *)Lexi_Alloc(size);
    if (!item) return nullptr;
    if (head) memcpy(item, head, sizeof(VLDataItem));
    item->head.size = (DWORD)size;
    item->head.type = VLITEM_DATA;
    char *at = (char *)(item + 1);
    auto put = [&at](const char *s, size_t n) {
        char *p = at;
        memcpy(p, s, n);
        p[n] = 0;
        at += n + 1;
        return p;
    };
    item->headword = hw ? put(hw, hwLen) : nullptr;
    item->headwordLen = hw ? (LONG)hwLen : 0;
    item->second = s2 ? put(s2, s2Len) : item->headword;
    item->secondLen = s2 ? (LONG)s2Len : item->headwordLen;
    item->third = s3 ? put(s3, s3Len) : item->headword;
    item->thirdLen = s3 ? (LONG)s3Len : item->headwordLen;
    item->fourth = s4 ? put(s4, s4Len) : nullptr;
    item->fourthLen = s4 ? (LONG)s4Len : 0;
    return item;
}

DWORD Lexi_CheckSavedItem(const BYTE *block, size_t avail) {
    if (avail < sizeof(VLDataItem)) return LEXI_DAMAGED();
    VLDataItem h;
    memcpy(&h, block, sizeof h);
    if (h.head.type != VLITEM_DATA || h.head.size < sizeof(VLDataItem) || h.head.size > avail)
        return LEXI_DAMAGED();
    DWORD size = h.head.size;
    DWORD hw = (DWORD)(UINT_PTR)h.headword;
    if (hw == 0) {
        if (h.headwordLen != 0) return LEXI_DAMAGED();
    } else if (!StringFits(block, size, hw, h.headwordLen)) {
        return LEXI_DAMAGED();
    }
    // Second and third: the headword's offset (absent), 0 with length 0, or a string of their own.
    const DWORD offs[2] = {(DWORD)(UINT_PTR)h.second, (DWORD)(UINT_PTR)h.third};
    const LONG lens[2] = {h.secondLen, h.thirdLen};
    for (int i = 0; i < 2; i++) {
        if (offs[i] == hw && lens[i] == h.headwordLen) continue;
        if (offs[i] == 0 && lens[i] == 0) continue;
        if (!StringFits(block, size, offs[i], lens[i])) return LEXI_DAMAGED();
    }
    if (h.fourthLen < 0) return LEXI_DAMAGED();
    if (h.fourthLen > 0 && !StringFits(block, size, (DWORD)(UINT_PTR)h.fourth, h.fourthLen))
        return LEXI_DAMAGED();
    return size;
}

VLDataItem *Lexi_LoadCheckedItem(const BYTE *block) {
    DWORD size = Lexi_Get32(block);
    VLDataItem *item = (VLDataItem *)Lexi_Alloc(size);
    if (!item) return nullptr;
    memcpy(item, block, size);
    if (item->fourthLen == 0) item->fourth = nullptr;
    VLDataItem_PrepareLoad(item);
    // An absent second or third string reads as the headword.
    if (!item->second) { item->second = item->headword; item->secondLen = item->headwordLen; }
    if (!item->third) { item->third = item->headword; item->thirdLen = item->headwordLen; }
    return item;
}

extern "C" VLDataItem *WINAPI VLDataItem_Create(const VLDataItem *head, const char *headword,
                                                const char *second, const char *third,
                                                const char *fourth) {
    return Lexi_MakeDataItem(head, headword, Len(headword), second, Len(second), third,
                             Len(third), fourth, Len(fourth));
}

extern "C" VLDataItem *WINAPI VLDataItem_Dup(const VLDataItem *item) {
    if (!item) return nullptr;
    // Each pointer is judged by itself, so an item without a headword copies correctly in
    // either form.
    const char *hw = StringAt(item, item->headword);
    const char *s2 = StringAt(item, item->second);
    const char *s3 = StringAt(item, item->third);
    const char *s4 = item->fourthLen > 0 ? StringAt(item, item->fourth) : nullptr;
    if (s2 == hw) s2 = nullptr;
    if (s3 == hw) s3 = nullptr;
    return Lexi_MakeDataItem(item, hw, Len(hw), s2, Len(s2), s3, Len(s3), s4, Len(s4));
}

extern "C" VLDataItem *WINAPI VLDataItem_PrepareSave(VLDataItem *item) {
    if (!item) return nullptr;
    const char *hw = StringAt(item, item->headword);
    const char *s2 = StringAt(item, item->second);
    const char *s3 = StringAt(item, item->third);
    const char *s4 = item->fourthLen > 0 ? StringAt(item, item->fourth) : nullptr;
    item->headword = (char *)(UINT_PTR)OffsetOf(item, hw);
    item->second = (char *)(UINT_PTR)OffsetOf(item, s2);
    item->third = (char *)(UINT_PTR)OffsetOf(item, s3);
    item->fourth = (char *)(UINT_PTR)OffsetOf(item, s4);
    return item;
}

extern "C" VLDataItem *WINAPI VLDataItem_PrepareLoad(VLDataItem *item) {
    if (!item) return nullptr;
    item->headword = (char *)StringAt(item, item->headword);
    item->second = (char *)StringAt(item, item->second);
    item->third = (char *)StringAt(item, item->third);
    item->fourth = item->fourthLen > 0 ? (char *)StringAt(item, item->fourth) : nullptr;
    return item;
}

extern "C" DWORD WINAPI VLDataItem_Save(const VLDataItem *item, void *dest) {
    if (!item) return 0;
    DWORD size = item->head.size;
    if (dest) {
        // Offsets are taken from the source item, so it keeps its own pointers.
        VLDataItem *out = (VLDataItem *)dest;
        memmove(out, item, size);
        const char *hw = StringAt(item, item->headword);
        const char *s2 = StringAt(item, item->second);
        const char *s3 = StringAt(item, item->third);
        const char *s4 = item->fourthLen > 0 ? StringAt(item, item->fourth) : nullptr;
        out->headword = (char *)(UINT_PTR)OffsetOf(item, hw);
        out->second = (char *)(UINT_PTR)OffsetOf(item, s2);
        out->third = (char *)(UINT_PTR)OffsetOf(item, s3);
        out->fourth = (char *)(UINT_PTR)OffsetOf(item, s4);
    }
    return size;
}

extern "C" VLDataItem *WINAPI VLDataItem_Load(const void *source, DWORD format, DWORD *sizeOut) {
    if (!source || format < VLWORDLIST_FORMAT) return nullptr;
    const BYTE *block = (const BYTE *)source;
    DWORD size = Lexi_CheckSavedItem(block, Lexi_Get32(block));
    if (!size) return nullptr;
    VLDataItem *item = Lexi_LoadCheckedItem(block);
    if (item && sizeOut) *sizeOut = size;
    return item;
}

extern "C" BOOL WINAPI VLDataItem_WriteSL(HANDLE file, const VLDataItem *item) {
    if (!item) return FALSE;
    BYTE *copy = (BYTE *)Lexi_Alloc(item->head.size);
    if (!copy) return FALSE;
    DWORD size = VLDataItem_Save(item, copy);
    BOOL ok = Lexi_WriteExact(file, copy, size);
    Lexi_Free(copy);
    return ok;
}

extern "C" VLDataItem *WINAPI VLDataItem_ReadSL(HANDLE file, DWORD format) {
    if (format < VLWORDLIST_FORMAT) return nullptr;
    BYTE head[sizeof(VLItem)];
    if (!Lexi_ReadExact(file, head, sizeof head)) return nullptr;
    DWORD size = Lexi_Get32(head);
    if (size < sizeof(VLDataItem) || size > 0x1000000) return nullptr;
    BYTE *block = (BYTE *)Lexi_Alloc(size);
    VLDataItem *item = nullptr;
    if (block) {
        memcpy(block, head, sizeof head);
        if (Lexi_ReadExact(file, block + sizeof head, size - sizeof head) &&
            Lexi_CheckSavedItem(block, size))
            item = Lexi_LoadCheckedItem(block);
        Lexi_Free(block);
    }
    return item;
}

// ---- Generic items ----------------------------------------------------------------------------

extern "C" VLItem *WINAPI VLItem_Create(const VLItem *head, const char *headword,
                                        const char *second, const char *third) {
    if (!head || head->type != VLITEM_DATA) return nullptr;
    return (VLItem *)VLDataItem_Create((const VLDataItem *)head, headword, second, third, nullptr);
}

extern "C" VLItem *WINAPI VLItem_Dup(const VLItem *item) {
    if (!item || item->type != VLITEM_DATA) return nullptr;
    return (VLItem *)VLDataItem_Dup((const VLDataItem *)item);
}

extern "C" int WINAPI VLItem_Destroy(VLItem *item) {
    if (!item) return 0;
    if (item->type != VLITEM_DATA) return (int)item->type - 1;
    Lexi_Free(item);
    return 0;
}

extern "C" int WINAPI VLItem_Read(DicSession *) { return 0; }
extern "C" int WINAPI VLItem_Write(DicSession *, DWORD, VLItem *) { return 0; }
extern "C" int WINAPI VLItem_GetSize(DicSession *, VLItem *) { return 0; }

extern "C" void WINAPI VLItem_SetCommonInfo(DicSession *session, DWORD entryNo, VLItem *item) {
    if (!item) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FileTimeToLocalFileTime(&now, &item->time);
    if (session && session->fileRecord) item->fileId = session->fileRecord->fileId;
    if (session && session->subDic) item->subDicNo = session->subDic->subDicNo;
    item->entryNo = entryNo;
}
