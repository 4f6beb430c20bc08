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
    if (len < 0 || offset < kSavedItemHead || offset >= size) return false;
    if ((DWORD)len >= size - offset) return false;
    return block[offset + len] == 0 && memchr(block + offset, 0, len) == nullptr;
}

// The saved head: the x86 record byte for byte, whichever lane writes it.  offs are the four
// string offsets (headword, second, third, fourth) from the start of the saved block.
void PutSavedHead(BYTE *out, const VLDataItem *it, DWORD size, const DWORD offs[4]) {
    memcpy(out, &it->head, sizeof(VLItem));  // fixed-width fields in both lanes
    Lexi_Put32(out, size);
    Lexi_Put16(out + 36, it->language);
    Lexi_Put16(out + 38, it->reserved38);
    Lexi_Put32(out + 40, it->entryLink);
    Lexi_Put32(out + 44, it->score);
    Lexi_Put32(out + 48, (DWORD)it->headwordLen);
    Lexi_Put32(out + 52, (DWORD)it->secondLen);
    Lexi_Put32(out + 56, (DWORD)it->thirdLen);
    Lexi_Put32(out + 60, offs[0]);
    Lexi_Put32(out + 64, offs[1]);
    Lexi_Put32(out + 68, offs[2]);
    Lexi_Put32(out + 72, it->indexValue72);
    Lexi_Put32(out + 76, it->indexValue);
    Lexi_Put16(out + 80, it->indexValue16a);
    Lexi_Put16(out + 82, it->indexValue16b);
    out[84] = it->indexByte;
    memcpy(out + 85, it->reserved85, 7);
    Lexi_Put32(out + 92, (DWORD)it->fourthLen);
    Lexi_Put32(out + 96, offs[3]);
    Lexi_Put32(out + 100, it->reserved100);
    out[104] = it->charset;
    memcpy(out + 105, it->reserved105, 3);
}

// Reads a saved head into the record's fields; the string fields are left null and their saved
// offsets go to offs.
void GetSavedHead(const BYTE *in, VLDataItem *it, DWORD offs[4]) {
    memset(it, 0, sizeof *it);
    memcpy(&it->head, in, sizeof(VLItem));
    it->language = Lexi_Get16(in + 36);
    it->reserved38 = Lexi_Get16(in + 38);
    it->entryLink = Lexi_Get32(in + 40);
    it->score = Lexi_Get32(in + 44);
    it->headwordLen = (LONG)Lexi_Get32(in + 48);
    it->secondLen = (LONG)Lexi_Get32(in + 52);
    it->thirdLen = (LONG)Lexi_Get32(in + 56);
    offs[0] = Lexi_Get32(in + 60);
    offs[1] = Lexi_Get32(in + 64);
    offs[2] = Lexi_Get32(in + 68);
    it->indexValue72 = Lexi_Get32(in + 72);
    it->indexValue = Lexi_Get32(in + 76);
    it->indexValue16a = Lexi_Get16(in + 80);
    it->indexValue16b = Lexi_Get16(in + 82);
    it->indexByte = in[84];
    memcpy(it->reserved85, in + 85, 7);
    it->fourthLen = (LONG)Lexi_Get32(in + 92);
    offs[3] = Lexi_Get32(in + 96);
    it->reserved100 = Lexi_Get32(in + 100);
    it->charset = in[104];
    memcpy(it->reserved105, in + 105, 3);
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
    if (avail < kSavedItemHead) return LEXI_DAMAGED();
    VLDataItem h;
    DWORD offs[4];
    GetSavedHead(block, &h, offs);
    if (h.head.type != VLITEM_DATA || h.head.size < kSavedItemHead || h.head.size > avail)
        return LEXI_DAMAGED();
    DWORD size = h.head.size;
    DWORD hw = offs[0];
    if (hw == 0) {
        if (h.headwordLen != 0) return LEXI_DAMAGED();
    } else if (!StringFits(block, size, hw, h.headwordLen)) {
        return LEXI_DAMAGED();
    }
    // Second and third: the headword's offset (absent), 0 with length 0, or a string of their own.
    const LONG lens[2] = {h.secondLen, h.thirdLen};
    for (int i = 0; i < 2; i++) {
        if (offs[i + 1] == hw && lens[i] == h.headwordLen) continue;
        if (offs[i + 1] == 0 && lens[i] == 0) continue;
        if (!StringFits(block, size, offs[i + 1], lens[i])) return LEXI_DAMAGED();
    }
    if (h.fourthLen < 0) return LEXI_DAMAGED();
    if (h.fourthLen > 0 && !StringFits(block, size, offs[3], h.fourthLen)) return LEXI_DAMAGED();
    return size;
}

VLDataItem *Lexi_LoadCheckedItem(const BYTE *block) {
    DWORD size = Lexi_Get32(block);
    VLDataItem *item = (VLDataItem *)Lexi_Alloc(size + kItemHeadGrowth);
    if (!item) return nullptr;
    DWORD offs[4];
    GetSavedHead(block, item, offs);
    item->head.size = size + kItemHeadGrowth;
    memcpy(item + 1, block + kSavedItemHead, size - kSavedItemHead);
    char *at[4];
    for (int i = 0; i < 4; i++) at[i] = offs[i] ? (char *)item + offs[i] + kItemHeadGrowth : nullptr;
    item->headword = at[0];
    item->second = at[1];
    item->third = at[2];
    item->fourth = item->fourthLen > 0 ? at[3] : nullptr;
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
    if (!item || item->head.size < sizeof(VLDataItem)) return 0;
    const char *at[4] = {StringAt(item, item->headword), StringAt(item, item->second),
                         StringAt(item, item->third),
                         item->fourthLen > 0 ? StringAt(item, item->fourth) : nullptr};
    const char *tail = (const char *)(item + 1), *end = (const char *)item + item->head.size;
    for (const char *a : at) {
        if (a && (a < tail || a >= end)) {
            // A string outside the item's own block (a record put together by hand): save a
            // compact copy instead.
            VLDataItem *copy = VLDataItem_Dup(item);
            DWORD size = copy ? VLDataItem_Save(copy, dest) : 0;
            Lexi_Free(copy);
            return size;
        }
    }
    DWORD size = item->head.size - kItemHeadGrowth;
    if (dest) {
        // The head is taken before the strings move: dest may be the item itself.
        VLDataItem h = *item;
        DWORD offs[4];
        for (int i = 0; i < 4; i++) offs[i] = at[i] ? (DWORD)(at[i] - (const char *)item) - kItemHeadGrowth : 0;
        memmove((BYTE *)dest + kSavedItemHead, tail, item->head.size - sizeof(VLDataItem));
        PutSavedHead((BYTE *)dest, &h, size, offs);
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
    DWORD size = VLDataItem_Save(item, nullptr);
    BYTE *copy = size ? (BYTE *)Lexi_Alloc(size) : nullptr;
    if (!copy) return FALSE;
    VLDataItem_Save(item, copy);
    BOOL ok = Lexi_WriteExact(file, copy, size);
    Lexi_Free(copy);
    return ok;
}

extern "C" VLDataItem *WINAPI VLDataItem_ReadSL(HANDLE file, DWORD format) {
    if (format < VLWORDLIST_FORMAT) return nullptr;
    BYTE head[sizeof(VLItem)];
    if (!Lexi_ReadExact(file, head, sizeof head)) return nullptr;
    DWORD size = Lexi_Get32(head);
    if (size < kSavedItemHead || size > 0x1000000) return nullptr;
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

namespace {

// The local time now.  The offset of local time is asked of the system at most once a second
// (a walk stamps every item it reads, and the question is slow): a change of the offset, at a
// change of summer time, shows in the stamps within a second.
SRWLOCK g_localLock = SRWLOCK_INIT;
ULONGLONG g_localAsked;  // system time of the last question; 0 before the first
LONGLONG g_localOffset;

ULONGLONG FileTimeValue(const FILETIME &t) { return ((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime; }

FILETIME LocalNow() {
    FILETIME now, local;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG at = FileTimeValue(now);
    const ULONGLONG kSecond = 10000000;
    AcquireSRWLockShared(&g_localLock);
    bool fresh = g_localAsked != 0 && at >= g_localAsked && at - g_localAsked < kSecond;
    LONGLONG offset = g_localOffset;
    ReleaseSRWLockShared(&g_localLock);
    if (!fresh) {
        if (!FileTimeToLocalFileTime(&now, &local)) return now;
        offset = (LONGLONG)(FileTimeValue(local) - at);
        AcquireSRWLockExclusive(&g_localLock);
        g_localAsked = at;
        g_localOffset = offset;
        ReleaseSRWLockExclusive(&g_localLock);
    }
    ULONGLONG value = at + (ULONGLONG)offset;
    local.dwLowDateTime = (DWORD)value;
    local.dwHighDateTime = (DWORD)(value >> 32);
    return local;
}

}  // namespace

extern "C" void WINAPI VLItem_SetCommonInfo(DicSession *session, DWORD entryNo, VLItem *item) {
    if (!item) return;
    item->time = LocalNow();
    if (session && session->fileRecord) item->fileId = session->fileRecord->fileId;
    if (session && session->subDic) item->subDicNo = session->subDic->subDicNo;
    item->entryNo = entryNo;
}
