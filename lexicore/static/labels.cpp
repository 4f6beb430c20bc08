// Labels and pages of static dictionaries: the label index (sub-dictionary 103) and the page index
// (sub-dictionary 101).
#include <stdio.h>
#include "../lexicore_int.h"

namespace {

bool Encoded(const LcFile *f) { return (f->info.headerFlags & DICFLAG_ENCODED) != 0; }

// The special sub-dictionary of a static file, or null.
LcSub *Special(DWORD fileId, DWORD number) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f || f->info.kind != 1) return nullptr;
    return Lc_FindSub(fileId << 8 | number);
}

HANDLE OpenFile(const LcFile *f) {
    return CreateFileA(f->info.path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Label at entry n of the label index.
VLLabelItem *LabelAt(HANDLE h, const LcFile *f, const LcSub *sub, LONG n) {
    DWORD pos;
    if (n < 0 || (DWORD)n >= (sub->forward.end - sub->forward.table) / 4 ||
        !LcStatic_ReadU32(h, sub->forward.base + sub->forward.table + 4 * (DWORD)n, &pos) ||
        SetFilePointer(h, (LONG)pos, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return nullptr;
    HNEncodeSetVersion(f->info.decoderVersion);
    return DLVLabelItem_Read(h, Encoded(f));
}

}  // namespace

extern "C" VLLabelItem *WINAPI Lexicore_GetRecordByNumber(DWORD fileId, DWORD number) {
    LcSub *sub = Special(fileId, 103);
    if (!sub) return nullptr;
    DicSession s;
    if (!Lc_OpenInternal(&s, sub)) return nullptr;
    char key[32];
    snprintf(key, sizeof key, "%01d%02x%04d%08x", (int)(number % 10), 0, 0, 0);
    LONG pos = 0;
    VLLabelItem *item = nullptr;
    // Only the label of that number: a missing label is not answered by its neighbour.
    if (g_lcStaticOps.locate(&s, key, 0, &pos)) item = LabelAt(s.indexFile, Lc_FileOf(&sub->prop), sub, pos);
    Lc_CloseInternal(&s);
    return item;
}

extern "C" VLPageItem *WINAPI Lexicore_GetPageItem(DWORD fileId, LONG n) {
    LcSub *sub = Special(fileId, 101);
    if (!sub) return nullptr;
    LcFile *f = Lc_FileOf(&sub->prop);
    HANDLE h = OpenFile(f);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    VLPageItem *item = nullptr;
    DWORD pos;
    LONG count = (LONG)((sub->forward.end - sub->forward.table) / 4);
    HNEncodeSetVersion(f->info.decoderVersion);
    if (n >= 0 && n < count && LcStatic_ReadU32(h, sub->forward.base + sub->forward.table + 4 * (DWORD)n, &pos) &&
        SetFilePointer(h, (LONG)pos, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
        item = DLVPageItem_Read(h, f->info.name, Encoded(f));
    CloseHandle(h);
    if (item) {
        item->head.type = VLITEM_PAGE;  // a page item, whatever the index kind
        item->head.fileId = fileId;
        item->head.subDicNo = 101;
        item->head.entryNo = (DWORD)n;
    }
    return item;
}

extern "C" int WINAPI Lexicore_EnumEntriesByLabel(DWORD fileId, LONG level, LexicoreLabelProc callback,
                                                   void *user) {
    LcSub *sub = Special(fileId, 103);
    if (!sub || !callback) return 1;
    LcFile *f = Lc_FileOf(&sub->prop);
    HANDLE h = OpenFile(f);
    if (h == INVALID_HANDLE_VALUE) return 1;
    int result = 1;
    // Entry 0 is not a label of any level; the walk ends with the table.
    LONG count = (LONG)((sub->forward.end - sub->forward.table) / 4);
    for (LONG n = 1; n < count; n++) {
        VLLabelItem *label = LabelAt(h, f, sub, n);
        if (!label) break;
        int r = 1;
        bool take = label->level == level;
        if (take) r = callback(label, user);
        VLLabelItem_Destroy(label);
        if (take) {
            result = r;
            if (!r) break;
        }
    }
    CloseHandle(h);
    return result;
}
