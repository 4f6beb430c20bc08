// The engine's side of user dictionaries: catalogue records from the main file and the item files,
// sessions over the store (locate, walks along the leaf chain, items by entry number), the files
// of a new dictionary, and the entry exports, each with its own writer that is closed before the
// change is announced.
#include <stdio.h>
#include <new>
#include <string>
#include "linguakeeper.h"
#include "userdic.h"
#include "user_int.h"

namespace {

const DWORD kMaxSubs = 10;

LuDic *DicOf(DicSession *s) { return (LuDic *)s->window; }

int OrderCompare(void *ctx, DWORD flags, const char *key, const char *text) {
    return Lc_Compare((DicSession *)ctx, flags, key, text, 0);
}

void OrderNormalise(void *ctx, const char *key, char *out) {
    DicSession *s = (DicSession *)ctx;
    if (s && s->normaliser)
        ((LinguakeeperNormalizeProc)s->normaliser)(2, key, out);
    else
        strcpy(out, key);
}

LuOrder OrderOf(DicSession *s) { return LuOrder{s, OrderCompare, OrderNormalise}; }

std::string Normalised(DicSession *s, const char *key) {
    std::vector<char> out(2 * strlen(key) + 16, 0);
    OrderNormalise(s, key, out.data());
    return out.data();
}

bool UseBackward(DicSession *s, DWORD flags) {
    return (s->backward || (flags & LEXICORE_SF_BACKWARD)) && DicOf(s)->hasBackward;
}

// The side file "<base>.<ext><letter>" of a main file.
std::string SidePath(const char *mainPath, const char *ext, DWORD subNo) {
    std::string p = mainPath;
    size_t dot = p.rfind('.'), slash = p.rfind('\\');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) p.resize(dot);
    return p + "." + ext + (char)('a' + subNo);
}

// The item at a tree position, stamped with its forward entry number.
VLDataItem *ReadItem(DicSession *s, DWORD itemPos, LONG entryNo) {
    LuDic *d = DicOf(s);
    LuItem check;
    if (!LuDic_ReadItem(d, itemPos, &check) ||
        SetFilePointer(s->indexFile, (LONG)(itemPos + kLuPrefix), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return nullptr;
    VLDataItem *item = VLDataItem_Read(s);
    if (!item) return nullptr;
    VLItem_SetCommonInfo(s, (DWORD)entryNo, &item->head);
    item->language = s->subDic->language;
    return item;
}

LONG ForwardNumber(DicSession *s, bool backward, DWORD itemPos, LONG index) {
    return backward ? LuDic_IndexOf(DicOf(s), false, itemPos) : index;
}

int UserOpen(DicSession *s) {
    if (s->fileRecord->status & DICSTATUS_BAD) return 0;
    LuDic *d = new (std::nothrow) LuDic();
    if (!d) return 0;
    LuOrder order = OrderOf(s);
    if (!LuDic_Open(d, s->fileRecord->path, s->fileRecord->fileId, s->subDic->subDicNo, false, &order)) {
        delete d;
        return 0;
    }
    s->window = d;
    s->textFile = d->text.h;
    s->indexFile = d->items.h;
    s->tableFile = d->forward.file.h;
    s->fourthFile = d->backward.file.h;
    return 1;
}

void UserClose(DicSession *s) {
    LuDic *d = DicOf(s);
    if (d) {
        LuDic_Close(d);
        delete d;
    }
    s->window = nullptr;
    s->textFile = s->indexFile = s->tableFile = s->fourthFile = nullptr;
}

// The previous choice, as for static dictionaries (the query code restores it).
int UserSelectIndex(DicSession *s, int backward) {
    int previous = s->backward;
    s->backward = backward ? 1 : 0;
    return previous;
}

int UserLocate(DicSession *s, const char *key, DWORD flags, LONG *position) {
    LONG pos = 0;
    int found = 0;
    LuDic *d = DicOf(s);
    if (d && LuDic_Sync(d)) {
        std::string norm = Normalised(s, key);
        found = LuDic_Locate(d, norm.c_str(), flags, UseBackward(s, flags), &pos) == 1;
    }
    if (position) *position = pos;
    return found;
}

// One walk along the leaf chain from start; user entries are all main entries.
int Walk(DicSession *s, bool backward, LONG start, int step, LexicoreItemProc proc, LcHeadTest, void *user,
         int *any) {
    LuTree *t = LuDic_Tree(DicOf(s), backward);
    LuCursor c;
    if (!LuTree_Seek(t, start, &c)) return 0;
    do {
        DWORD pos;
        if (!LuTree_CursorKey(t, &c, &pos)) return 0;
        VLDataItem *item = ReadItem(s, pos, ForwardNumber(s, backward, pos, c.index));
        if (!item) return 0;
        int r = proc(item, 1, user);
        VLDataItem_Destroy(item);
        if (r == LEXICORE_ITEM_STOP || r == LEXICORE_ITEM_FULL || r == LEXICORE_ITEM_ENDPASS) return r;
        if (r == LEXICORE_ITEM_ADDED) *any = 1;
    } while (LuTree_Step(t, &c, step));
    return 0;
}

// The walk of the static reader over the tree (so that every query mode behaves alike for both
// kinds): from the first or last entry or the located one; a similarity search first walks back
// while the headword stays the key's, then forward.
int UserSearch(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, void *user) {
    LuDic *d = DicOf(s);
    if (!proc || !d || !LuDic_Sync(d)) return 0;
    bool backward = UseBackward(s, flags);
    LONG total = 0, start;
    if (!LuTree_Count(LuDic_Tree(d, backward), &total)) return 0;
    if (flags & LEXICORE_SF_FIRST)
        start = 0;
    else if (flags & LEXICORE_SF_LAST)
        start = total - 1;
    else
        UserLocate(s, key ? key : "", flags, &start);
    if (start < 0) start = 0;  // an empty dictionary: the walk finds nothing
    return Lc_SearchWalks(s, key, flags, backward, start, Walk, proc, nullptr, user);
}

VLDataItem *UserGetItem(DicSession *s, LONG position) {
    LuDic *d = DicOf(s);
    if (!d || position < 0 || !LuDic_Sync(d)) return nullptr;
    bool backward = UseBackward(s, 0);
    DWORD pos;
    if (!LuTree_KeyAt(LuDic_Tree(d, backward), position, &pos)) return nullptr;
    return ReadItem(s, pos, ForwardNumber(s, backward, pos, position));
}

LONG UserEntryCount(LcSub *sub, int backward) {
    DicInfo *info = sub->prop.fileRecord;
    if (!info || (info->status & DICSTATUS_BAD)) return 0;
    LuTree t;
    LuTree_Init(&t);
    std::string path = SidePath(info->path, backward ? "rr" : "rn", sub->prop.subDicNo);
    if (!LuFile_Open(&t.file, path.c_str(), info->fileId, backward ? kLuTypeBackward : kLuTypeForward, false))
        return 0;
    LONG count = 0;
    if (!LuTree_Count(&t, &count)) count = 0;
    LuFile_Close(&t.file);
    return count;
}

// ---- Writers --------------------------------------------------------------------------------------

struct Writer {
    DicSession *session;
    LuDic dic;
    bool open;
    HANDLE mutex;   // held while open
};

// Writers of one dictionary, in any process, take turns on a mutex named after the dictionary's
// full path (without case); a writer waits for the one at work, at most kWriterWait.
const DWORD kWriterWait = 30000;

HANDLE TakeWriterMutex(const char *path) {
    char full[MAX_PATH];
    if (!GetFullPathNameA(path, MAX_PATH, full, nullptr)) lstrcpynA(full, path, MAX_PATH);
    CharUpperA(full);
    unsigned long long h = 1469598103934665603ull;
    for (const char *p = full; *p; p++) {
        h ^= (BYTE)*p;
        h *= 1099511628211ull;
    }
    char name[64];
    snprintf(name, sizeof name, "Local\\LexicoreUserDicWriter.%016llx", h);
    HANDLE m = CreateMutexA(nullptr, FALSE, name);
    if (!m) return nullptr;
    DWORD r = WaitForSingleObject(m, kWriterWait);
    if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
        CloseHandle(m);
        return nullptr;
    }
    return m;
}

bool OpenWriter(DWORD dicId, Writer *w) {
    w->open = false;
    w->mutex = nullptr;
    w->session = nullptr;
    LcSub *sub = Lc_FindSub(dicId);
    if (!sub || (sub->prop.indexKind != 1 && sub->prop.indexKind != 7) || !sub->prop.fileRecord) return false;
    DicInfo *info = sub->prop.fileRecord;
    // The turn first: the session's reader then never meets another writer halfway through.
    w->mutex = TakeWriterMutex(info->path);
    if (!w->mutex) return false;
    w->session = Lexicore_CreateSession();
    if (!w->session || !Lexicore_OpenSession(w->session, dicId, TRUE)) return false;
    LuOrder order = OrderOf(w->session);
    w->open = LuDic_Open(&w->dic, info->path, info->fileId, sub->prop.subDicNo, true, &order);
    return w->open;
}

void CloseWriter(Writer *w) {
    if (w->open) LuDic_Close(&w->dic);
    w->open = false;
    if (w->mutex) {
        ReleaseMutex(w->mutex);
        CloseHandle(w->mutex);
    }
    w->mutex = nullptr;
    if (w->session) Lexicore_DestroySession(w->session);
    w->session = nullptr;
}

bool RecordOf(const VLDataItem *item, LuRecord *r) {
    memset(r, 0, sizeof *r);
    if (!item || !item->headword || item->headwordLen <= 0 || item->headwordLen > 255) return false;
    r->str[0] = item->headword;
    r->len[0] = (DWORD)item->headwordLen;
    const char *more[2] = {item->second, item->third};
    LONG lens[2] = {item->secondLen, item->thirdLen};
    for (int i = 0; i < 2; i++) {
        if (!more[i] || more[i] == item->headword || lens[i] <= 0) continue;
        if (lens[i] > 255) return false;
        r->str[i + 1] = more[i];
        r->len[i + 1] = (DWORD)lens[i];
    }
    r->indexByte = item->indexByte;
    r->indexValue = item->indexValue;
    r->value16a = item->indexValue16a;
    r->value16b = item->indexValue16b;
    r->extra = item->head.extra;
    return true;
}

DWORD Len(const char *s) { return s ? (DWORD)strlen(s) : 0; }

DWORD DicIdOf(const VLDataItem *item) { return item->head.fileId << 8 | (item->head.subDicNo & 0xFF); }

LONG AddTo(DWORD dicId, const VLDataItem *item, const char *text, const char *second) {
    LuRecord rec;
    if (!RecordOf(item, &rec)) return -1;
    Writer w;
    LONG at = -1;
    if (OpenWriter(dicId, &w)) at = LuDic_Add(&w.dic, &rec, text, Len(text), second, Len(second));
    CloseWriter(&w);
    if (at >= 0) Lc_Broadcast(VLM_DICAPI_ENTRY_ADDED, dicId, at);
    return at;
}

// The item record of the caller's entry: one linked from the text record at the entry's text
// position that still carries the entry's headword.  An entry held from before a change whose
// text block went to another entry since is not found (0).
DWORD ItemOfEntry(LuDic *d, const VLDataItem *entry) {
    std::vector<DWORD> items;
    if (!entry->headword || entry->headwordLen <= 0 || !LuDic_TextLinks(d, entry->head.textPos, &items)) return 0;
    for (DWORD pos : items) {
        LuItem it;
        if (LuDic_ReadItem(d, pos, &it) && it.keyLen == (DWORD)entry->headwordLen &&
            memcmp(it.key, entry->headword, it.keyLen) == 0)
            return pos;
    }
    return 0;
}

BOOL DeleteFrom(DWORD dicId, const VLDataItem *entry) {
    if (!entry) return FALSE;
    Writer w;
    LONG at = -1;
    bool ok = OpenWriter(dicId, &w) && ItemOfEntry(&w.dic, entry) && LuDic_Delete(&w.dic, entry->head.textPos, &at);
    CloseWriter(&w);
    if (ok) Lc_Broadcast(VLM_DICAPI_ENTRY_DELETED, dicId, at);
    return ok ? TRUE : FALSE;
}

}  // namespace

const LcKindOps g_lcUserOps = {UserOpen,   UserClose,   UserSelectIndex, UserSearch,
                               UserLocate, UserGetItem, UserEntryCount};

int LcUser_LoadFile(LcFile *file, const char *path, LcSub ***subsOut) {
    *subsOut = nullptr;
    file->info.kind = 2;
    if (!DLVReadDicHeader(nullptr, path, &file->info)) {
        file->info.kind = 2;
        file->info.userFlag = 1;
        file->info.status |= DICSTATUS_USER | DICSTATUS_BAD;
        return 0;
    }
    file->info.kind = 2;
    file->info.userFlag = 1;
    file->info.status |= DICSTATUS_USER;
    DWORD n = file->info.subDicCount < kMaxSubs ? file->info.subDicCount : kMaxSubs;
    LcSub **subs = (LcSub **)Lc_Alloc(sizeof(LcSub *) * kMaxSubs);
    int count = 0;
    for (DWORD i = 0; subs && i < n; i++) {
        BYTE items[kLuHeaderSize], tree[kLuHeaderSize];
        if (!LuFile_ReadHeader(SidePath(path, "rx", i).c_str(), items) || items[14] != kLuTypeItems ||
            LuGet32(items + 8) != file->info.fileId)
            continue;
        LcSub *sub = (LcSub *)Lc_Alloc(sizeof(LcSub));
        if (!sub) break;
        DWORD kind = items[34] ? items[34] : 1;
        sub->prop.language = (WORD)(items[32] | (items[33] << 8));
        sub->prop.indexKind = kind;
        sub->prop.subDicNo = kind == 4 ? 101 : kind == 5 ? 102 : kind == 6 ? 103 : i;
        sub->prop.number = (kind == 2 || kind == 3) ? items[36] : i;
        if (LuFile_ReadHeader(SidePath(path, "rn", i).c_str(), tree)) sub->prop.indexDefNo = tree[32];
        subs[count++] = sub;
    }
    if (!count) {
        Lc_Free(subs);
        return 0;
    }
    *subsOut = subs;
    return count;
}

int LcUser_CreateFiles(const char *mainPath, const DicInfo *info, const DicProperty *sub) {
    if (!mainPath || !info || !sub) return 0;
    return LuDic_CreateFiles(mainPath, info->fileId, sub->subDicNo, sub->indexDefNo, sub->indexKind ? sub->indexKind : 1,
                             sub->language, false)
               ? 1
               : 0;
}

int LcUser_SetFileId(const char *mainPath, DWORD fileId) {
    if (!mainPath) return 0;
    std::string text = SidePath(mainPath, "rd", 't' - 'a');
    std::vector<std::string> paths = {text};
    for (DWORD i = 0; i < kMaxSubs; i++)
        for (const char *ext : {"rx", "rn", "rr"}) paths.push_back(SidePath(mainPath, ext, i));
    for (const std::string &p : paths) {
        BYTE head[kLuHeaderSize];
        if (!LuFile_ReadHeader(p.c_str(), head)) continue;
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return 0;
        BYTE id[4];
        LuPut32(id, fileId);
        DWORD wrote = 0;
        bool ok = SetFilePointer(h, 8, nullptr, FILE_BEGIN) == 8 && WriteFile(h, id, 4, &wrote, nullptr) && wrote == 4;
        CloseHandle(h);
        if (!ok) return 0;
    }
    return 1;
}

int LcUser_AddEntry(DicSession *s, const VLDataItem *item, const char *text, const char *second) {
    if (!s || !s->fileRecord || s->fileRecord->kind != 2 || !s->subDic) return -1;
    return AddTo(s->subDic->dicId, item, text, second);
}

int LcUser_DeleteEntry(DicSession *s, const VLDataItem *item) {
    if (!s || !s->fileRecord || s->fileRecord->kind != 2 || !s->subDic) return 0;
    return DeleteFrom(s->subDic->dicId, item);
}

extern "C" LONG WINAPI Lexicore_AddUserEntry(DWORD dicId, const VLDataItem *item, const char *text,
                                             const char *second) {
    return AddTo(dicId, item, text, second);
}

extern "C" BOOL WINAPI Lexicore_UpdateUserEntry(const VLDataItem *entry, const VLDataItem *record, const char *text,
                                                const char *second) {
    if (!entry) return FALSE;
    LuRecord rec;
    if (record && !RecordOf(record, &rec)) return FALSE;
    DWORD dicId = DicIdOf(entry);
    Writer w;
    LONG at = -1;
    DWORD itemPos = 0;
    bool ok = OpenWriter(dicId, &w) && (itemPos = ItemOfEntry(&w.dic, entry)) != 0;
    if (ok) {
        ok = LuDic_Update(&w.dic, &itemPos, record ? &rec : nullptr, text, Len(text), second, Len(second), &at);
    }
    CloseWriter(&w);
    if (ok) Lc_Broadcast(VLM_DICAPI_ENTRY_UPDATED, dicId, at);
    return ok ? TRUE : FALSE;
}

extern "C" BOOL WINAPI Lexicore_DeleteUserEntry(const VLDataItem *entry) {
    return entry ? DeleteFrom(DicIdOf(entry), entry) : FALSE;
}
