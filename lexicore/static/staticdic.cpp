// Reader of static dictionaries (dic files): sub-dictionary records at catalogue load, sessions over
// one file handle, the bucket directory and binary search of an index, walks and items.
//
// A session maps its file once, read-only, and each operation of the session reads its index
// records and pointers from that view (bound for the data library's readers while the
// operation runs) instead of a seek and a read call per record.  Before each operation the file's
// size and time of last writing are checked: a file changed since it was mapped is mapped again,
// and one that cannot be mapped is read as a file.
#include <stdio.h>
#include <vector>
#include "linguakeeper.h"
#include "../lexicore_int.h"

namespace {

const DWORD kKeptPos = 896, kDefsPos = 912, kDefSize = 32, kSubSize = 40;
const DWORD kMaxSubs = 10;
const LONG kMaxEntries = 0x3FFFFFFF;

// The index window of a session: the part of the pointer table that one bucket covers, and the
// session's view of its file.
struct Window {
    const LcIndexDesc *desc;
    LONG first, count;
    DWORD *pointers;     // count + 1 slots once loaded (not used while the table is in the view)
    const BYTE *direct;  // the window's pointers in the view, or null
    WORD buckets[3];
    int haveBuckets;
    const BYTE *view;    // the whole file, or null: read as a file
    DWORD viewSize;
    DWORD sizeHigh;      // the file's size and last writing when it was mapped
    FILETIME written;
    DLVFileView *bound;  // the innermost binding of the view while an operation runs, or null
    LONG owner;          // the thread running the operation (0: none); others read the file
};

DWORD Get16(const BYTE *p) { return p[0] | (p[1] << 8); }
DWORD Get32(const BYTE *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((DWORD)p[3] << 24); }

bool ReadAt(HANDLE file, DWORD pos, void *out, DWORD n) {
    if (SetFilePointer(file, (LONG)pos, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    DWORD got = 0;
    return ReadFile(file, out, n, &got, nullptr) && got == n;
}

LcSub *SubOf(DicSession *s) { return (LcSub *)s->subDic; }
Window *WindowOf(DicSession *s) { return (Window *)s->window; }

void DropPointers(Window *w) {
    Lc_Free(w->pointers);
    w->pointers = nullptr;
    w->direct = nullptr;
}

// The binding of the session's view on this thread, or null.
DLVFileView *Bound(DicSession *s) {
    Window *w = WindowOf(s);
    return w && w->bound && (DWORD)w->owner == GetCurrentThreadId() ? w->bound : nullptr;
}

// The n bytes at pos in the bound view, or null (not bound, or not all of them in the file).
const BYTE *InView(DicSession *s, DWORD pos, DWORD n) {
    Window *w = WindowOf(s);
    if (!Bound(s) || pos > w->viewSize || n > w->viewSize - pos) return nullptr;
    return w->view + pos;
}

// Reads of the session's file: from the bound view, else from the file.  A read past the end of
// the view fails as a short read of the file does.
bool ReadAt(DicSession *s, DWORD pos, void *out, DWORD n) {
    if (Bound(s)) {
        const BYTE *p = InView(s, pos, n);
        if (p) memcpy(out, p, n);
        return p != nullptr;
    }
    return ReadAt(s->indexFile, pos, out, n);
}

// Sets the position the data library's next read of the session's file starts from.
bool Seek(DicSession *s, DWORD pos) {
    if (DLVFileView *v = Bound(s)) {
        v->position = pos;
        return true;
    }
    return SetFilePointer(s, (LONG)pos, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

// The file's size and time of last writing (not GetFileInformationByHandle: its volume serial
// number can cost a round trip to another process).
bool FileState(HANDLE file, LARGE_INTEGER *size, FILETIME *written) {
    return GetFileSizeEx(file, size) && GetFileTime(file, nullptr, nullptr, written);
}

void Unmap(Window *w) {
    if (w->view) UnmapViewOfFile(w->view);
    w->view = nullptr;
    w->viewSize = 0;
    w->direct = nullptr;  // pointed into the view
}

// Maps the session's file whole; without a view the file is read through its handle.
void Map(DicSession *s, Window *w) {
    Unmap(w);
    LARGE_INTEGER size;
    if (!FileState(s->indexFile, &size, &w->written)) return;
    w->sizeHigh = (DWORD)size.HighPart;
    w->viewSize = size.LowPart;
    if (size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) return;
    w->view = Lc_MapWhole(s->indexFile);
    if (!w->view) w->viewSize = 0;
}

// The view, checked against the file: mapped again when the file's size or time of last writing
// changed since it was mapped.
const BYTE *CurrentView(DicSession *s, Window *w) {
    LARGE_INTEGER size;
    FILETIME written;
    if (!FileState(s->indexFile, &size, &written)) {
        Unmap(w);
        return nullptr;
    }
    if ((DWORD)size.HighPart != w->sizeHigh || size.LowPart != w->viewSize ||
        CompareFileTime(&written, &w->written) != 0) {
        DropPointers(w);
        w->desc = nullptr;  // the window is found again
        Map(s, w);
    }
    return w->view;
}

// One operation of a session: its view bound for the data library's readers of the session's
// file until the scope ends.  Scopes nest (an item procedure reading an entry text of the same
// session); the inner one takes the view's read position of its own.  One thread at a time uses
// the view: an operation on another thread meanwhile (a copy of the session record handed to a
// worker) reads the file as before.
class ViewScope {
  public:
    explicit ViewScope(DicSession *s) : w_(s && s->fileRecord ? WindowOf(s) : nullptr) {
        if (!w_) return;
        LONG me = (LONG)GetCurrentThreadId();
        LONG holder = InterlockedCompareExchange(&w_->owner, me, 0);
        if (holder != 0 && holder != me) {
            w_ = nullptr;
            return;
        }
        first_ = holder == 0;
        // An inner scope keeps the view the outer one bound (a view mapped again would leave the
        // outer binding without its bytes).
        if (!(first_ ? CurrentView(s, w_) : w_->view)) {
            if (first_) InterlockedExchange(&w_->owner, 0);
            w_ = nullptr;
            return;
        }
        binding_ = DLVFileView{s->indexFile, w_->view, w_->viewSize, 0, nullptr};
        outer_ = w_->bound;
        DLVBindView(&binding_);
        w_->bound = &binding_;
    }
    ~ViewScope() {
        if (!w_) return;
        DLVUnbindView(&binding_);
        w_->bound = outer_;
        if (first_) InterlockedExchange(&w_->owner, 0);
    }
    ViewScope(const ViewScope &) = delete;
    ViewScope &operator=(const ViewScope &) = delete;

  private:
    Window *w_;
    DLVFileView binding_;
    DLVFileView *outer_ = nullptr;
    bool first_ = false;
};

bool UseBackward(DicSession *s, DWORD flags) {
    return (s->backward || (flags & LEXICORE_SF_BACKWARD)) && SubOf(s)->backward.end != 0;
}

LONG CountOf(const LcIndexDesc &d) {
    if (d.end == 0 || d.end < d.table) return 0;
    DWORD n = (d.end - d.table) / 4;
    return n > (DWORD)kMaxEntries ? kMaxEntries : (LONG)n;
}

// Pointer of entry n of an index (a file position in the forward index, a forward entry number in
// the backward one).
bool Pointer(DicSession *s, const LcIndexDesc &d, LONG n, DWORD *out) {
    if (n < 0 || n >= CountOf(d)) return false;
    BYTE b[4];
    if (!ReadAt(s, d.base + d.table + 4 * (DWORD)n, b, 4)) return false;
    *out = Get32(b);
    return true;
}

// File position of the index record of entry n of the index in use.
bool RecordPos(DicSession *s, bool backward, LONG n, DWORD *pos) {
    LcSub *sub = SubOf(s);
    if (!backward) return Pointer(s, sub->forward, n, pos);
    DWORD forwardNo;
    return Pointer(s, sub->backward, n, &forwardNo) &&
           Pointer(s, sub->forward, (LONG)forwardNo, pos);
}

// The forward entry number of entry n of the index in use.
bool ForwardNumber(DicSession *s, bool backward, LONG n, LONG *out) {
    if (!backward) {
        if (n < 0 || n >= CountOf(SubOf(s)->forward)) return false;
        *out = n;
        return true;
    }
    DWORD f;
    if (!Pointer(s, SubOf(s)->backward, n, &f) || (LONG)f < 0 ||
        (LONG)f >= CountOf(SubOf(s)->forward))
        return false;
    *out = (LONG)f;
    return true;
}

VLDataItem *ReadItem(DicSession *s, bool backward, LONG n) {
    DWORD pos;
    LONG forwardNo;
    if (!ForwardNumber(s, backward, n, &forwardNo) || !RecordPos(s, backward, n, &pos) ||
        !Seek(s, pos))
        return nullptr;
    VLDataItem *item = VLDataItem_Read(s);
    if (!item) return nullptr;
    VLItem_SetCommonInfo(s, (DWORD)forwardNo, &item->head);
    item->language = SubOf(s)->prop.language;
    return item;
}

// The headword (VLDATAITEM_HEADWORD_ROOM bytes) and entry link of entry n of the index in use,
// read without making its item; true only when ReadItem would make the item.
bool ReadHeadword(DicSession *s, bool backward, LONG n, char *headword, DWORD *link) {
    DWORD pos;
    LONG forwardNo;
    return ForwardNumber(s, backward, n, &forwardNo) && RecordPos(s, backward, n, &pos) && Seek(s, pos) &&
           DLVDataItem_ReadHeadword(s, headword, link);
}


// Sets the window for the key.  A directory entry that cannot be read or lies outside the table
// leaves the whole table as the window, which finds the same entries more slowly.
void SetWindowForKey(DicSession *s, const LcIndexDesc &d, bool backward, const char *key, Window *w) {
    LONG total = CountOf(d);
    LONG first = 0, count = total;
    LinguakeeperSortKeyProc sortKey = (LinguakeeperSortKeyProc)s->keySpace;
    if (d.table != 0 && sortKey) {
        WORD k[3] = {0, 0, 0};
        sortKey(key, backward ? 1 : 0, k);
        if (w->desc == &d && w->haveBuckets && memcmp(k, w->buckets, sizeof k) == 0) return;
        BYTE e[8];
        bool ok = 8 * (DWORD)k[0] + 8 <= d.table && ReadAt(s, d.base + 8 * (DWORD)k[0], e, 8);
        if (ok) {
            DWORD f = Get32(e), c = Get32(e + 4);
            DWORD wide = 0;
            memcpy(&wide, s->langInfo + 8, 4);
            if (c >= 512 && wide == 0) {
                DWORD idx = c < 10240 ? k[1] : k[2];
                ok = ReadAt(s, f + 8 * idx, e, 8);
                f = Get32(e);
                c = Get32(e + 4);
            }
            if (ok && f <= (DWORD)total && c <= (DWORD)total - f) {
                first = (LONG)f;
                count = (LONG)c;
            } else if (ok) {
                LC_TRACE("bucket directory entry outside the table");
            }
        }
        memcpy(w->buckets, k, sizeof k);
        w->haveBuckets = 1;
    } else {
        w->haveBuckets = 0;
    }
    if (w->desc != &d || w->first != first || w->count != count) DropPointers(w);
    w->desc = &d;
    w->first = first;
    w->count = count;
}

bool LoadPointers(DicSession *s, Window *w) {
    if (w->pointers || w->direct) return true;
    if (w->count <= 0) return false;
    const LcIndexDesc &d = *w->desc;
    DWORD at = d.base + d.table + 4 * (DWORD)w->first, want = 4 * (DWORD)w->count;
    if ((w->direct = InView(s, at, want)) != nullptr) return true;  // read in place
    DWORD bytes = 4 * ((DWORD)w->count + 1);
    w->pointers = (DWORD *)Lc_Alloc(bytes);
    if (!w->pointers) return false;
    // The slot after the window may lie past the table: read what there is.
    if (!ReadAt(s, at, w->pointers, want)) {
        DropPointers(w);
        return false;
    }
    return true;
}

// Pointer i of the loaded window.
DWORD WindowPointer(const Window *w, LONG i) {
    return w->direct ? Get32(w->direct + 4 * (DWORD)i) : w->pointers[i];
}

int Locate(DicSession *s, const char *key, DWORD flags, LONG *position) {
    LONG pos = 0;
    int found = 0;
    Window *w = WindowOf(s);
    bool backward = UseBackward(s, flags);
    const LcIndexDesc &d = backward ? SubOf(s)->backward : SubOf(s)->forward;
    LONG total = CountOf(d);
    size_t n = strlen(key);
    char *norm = (char *)Lc_Alloc(2 * n + 16);
    if (!norm || !w) {
        Lc_Free(norm);
        if (position) *position = 0;
        return 0;
    }
    LinguakeeperNormalizeProc normalize = (LinguakeeperNormalizeProc)s->normaliser;
    if (normalize)
        normalize(2, key, norm);
    else
        memcpy(norm, key, n + 1);
    SetWindowForKey(s, d, backward, norm, w);
    if (w->first >= total) {
        pos = total;
    } else if (w->count <= 0) {
        pos = w->first;  // an empty window holds no key: not found, at the window's start
    } else if (LoadPointers(s, w)) {
        DWORD cmpFlags = flags | (backward ? LEXICORE_SF_BACKINDEX : 0);
        LONG lo = 0, hi = w->count - 1;
        while (lo <= hi) {
            LONG mid = (lo + hi) / 2;
            VLIndexRecord rec;
            DWORD recPos = WindowPointer(w, mid);
            bool ok;
            if (backward) {
                ok = Pointer(s, SubOf(s)->forward, (LONG)recPos, &recPos) &&
                     Seek(s, recPos) && DLVGetIndex(s, &rec);
            } else {
                ok = Seek(s, recPos) && DLVGetIndex(s, &rec);
            }
            int c = ok ? Lc_Compare(s, cmpFlags, norm, rec.key, 0) : -1;
            // The first entry not below the key: with compare flags that fold case or accents
            // several main entries compare equal, and the walks go forward from the position.
            // An equal sub-entry sends the search left, to its main entry.
            if (c <= 0) {
                found = c == 0 && rec.value == 0;  // the last entry that moved hi ends as lo
                hi = mid - 1;
            } else {
                lo = mid + 1;
            }
        }
        pos = w->first + lo;
    } else {
        pos = w->first;
    }
    Lc_Free(norm);
    if (position) *position = pos;
    return found;
}

// One walk in one direction; see StaticSearch.  With a test, an entry's headword is read and
// tested first, and only an entry the test passes on is made into an item.
int Walk(DicSession *s, bool backward, LONG start, int step, LexicoreItemProc proc, LcHeadTest test,
         void *user, int *anyAdded) {
    LONG total = CountOf(backward ? SubOf(s)->backward : SubOf(s)->forward);
    char headword[VLDATAITEM_HEADWORD_ROOM];
    for (LONG p = start; p >= 0 && p < total; p += step) {
        DWORD link;
        if (test && ReadHeadword(s, backward, p, headword, &link)) {
            if ((link >> 16) != 0) continue;  // a sub-entry on its own: passed over
            int t = test(headword, user);
            if (t == LEXICORE_ITEM_STOP || t == LEXICORE_ITEM_FULL || t == LEXICORE_ITEM_ENDPASS) return t;
            if (t != LC_HEAD_TAKE) continue;
        }
        VLDataItem *item = ReadItem(s, backward, p);
        if (!item) return 0;
        if ((item->entryLink >> 16) != 0) {  // a sub-entry on its own: passed over
            VLDataItem_Destroy(item);
            continue;
        }
        int r = proc(item, 1, user);
        VLDataItem_Destroy(item);
        if (r == LEXICORE_ITEM_STOP || r == LEXICORE_ITEM_FULL || r == LEXICORE_ITEM_ENDPASS) return r;
        if (r != LEXICORE_ITEM_ADDED) continue;
        *anyAdded = 1;
        LONG q = p + 1;
        for (; q < total; q++) {
            VLDataItem *sub = ReadItem(s, backward, q);
            if (!sub) break;
            if ((sub->entryLink >> 16) == 0) {
                VLDataItem_Destroy(sub);
                break;
            }
            int rs = proc(sub, 0, user);
            VLDataItem_Destroy(sub);
            if (rs == LEXICORE_ITEM_STOP) return rs;
            if (rs == LEXICORE_ITEM_FULL) break;
        }
        if (step > 0) p = q - 1;
    }
    return 0;
}

int StaticLocate(DicSession *s, const char *key, DWORD flags, LONG *position) {
    ViewScope scope(s);
    return Locate(s, key, flags, position);
}

int StaticSearchTested(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, LcHeadTest test,
                       void *user) {
    if (!proc) return 0;
    ViewScope scope(s);
    bool backward = UseBackward(s, flags);
    LONG total = CountOf(backward ? SubOf(s)->backward : SubOf(s)->forward);
    LONG start;
    if (flags & LEXICORE_SF_FIRST)
        start = 0;
    else if (flags & LEXICORE_SF_LAST)
        start = total - 1;
    else
        Locate(s, key ? key : "", flags, &start);
    if (start < 0) return 1;
    return Lc_SearchWalks(s, key, flags, backward, start, Walk, proc, test, user);
}

int StaticSearch(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, void *user) {
    return StaticSearchTested(s, key, flags, proc, nullptr, user);
}

int StaticOpen(DicSession *s) {
    if (s->fileRecord->status & DICSTATUS_BAD) return 0;  // no readable header
    HANDLE h = CreateFileA(s->fileRecord->path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    Window *w = (Window *)Lc_Alloc(sizeof(Window));
    if (!w) {
        CloseHandle(h);
        return 0;
    }
    s->textFile = s->indexFile = s->tableFile = s->fourthFile = h;
    s->window = w;
    Map(s, w);
    return 1;
}

void StaticClose(DicSession *s) {
    if (s->indexFile && s->indexFile != INVALID_HANDLE_VALUE) CloseHandle(s->indexFile);
    s->textFile = s->indexFile = s->tableFile = s->fourthFile = nullptr;
    Window *w = WindowOf(s);
    if (w) {
        DropPointers(w);
        Unmap(w);
    }
    Lc_Free(w);
    s->window = nullptr;
}

int StaticSelectIndex(DicSession *s, int backward) {
    int previous = s->backward;
    s->backward = backward ? 1 : 0;
    return previous;
}

VLDataItem *StaticGetItem(DicSession *s, LONG position) {
    ViewScope scope(s);
    return ReadItem(s, UseBackward(s, 0), position);
}

// A run of items under one check of the file (a full-text pass takes every item of the index).
void StaticGetItems(DicSession *s, LONG first, LONG count, VLDataItem **out) {
    ViewScope scope(s);
    bool backward = UseBackward(s, 0);
    for (LONG i = 0; i < count; i++) out[i] = ReadItem(s, backward, first + i);
}


LONG StaticEntryCount(LcSub *sub, int backward) { return CountOf(backward ? sub->backward : sub->forward); }

}  // namespace

bool LcStatic_ReadU32(HANDLE file, DWORD pos, DWORD *value) {
    BYTE b[4];
    if (!ReadAt(file, pos, b, 4)) return false;
    *value = Get32(b);
    return true;
}

const LcKindOps g_lcStaticOps = {StaticOpen,   StaticClose,   StaticSelectIndex, StaticSearch,
                                 StaticLocate, StaticGetItem, StaticEntryCount,  nullptr,
                                 nullptr,      StaticGetItems, StaticSearchTested};

int LcStatic_LoadFile(LcFile *file, const char *path, LcSub ***subsOut) {
    *subsOut = nullptr;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        file->info.kind = 1;
        file->info.status |= DICSTATUS_BAD;
        return 0;
    }
    int count = 0;
    LcSub **subs = nullptr;
    DWORD size = GetFileSize(h, nullptr);
    BYTE kept[8];
    if (!DLVReadDicHeader(h, path, &file->info)) {
        file->info.status |= DICSTATUS_BAD;
    } else if (ReadAt(h, kKeptPos, kept, 8)) {
        file->kept[0] = Get32(kept);
        file->kept[1] = Get32(kept + 4);
        DWORD defs = file->info.indexDefCount, n = file->info.subDicCount;
        if (n > kMaxSubs) n = kMaxSubs;
        subs = (LcSub **)Lc_Alloc(sizeof(LcSub *) * (n ? n : 1));
        for (DWORD i = 0; subs && i < n; i++) {
            BYTE rec[kSubSize], def[kDefSize];
            DWORD at = kDefsPos + kDefSize * defs + kSubSize * i;
            if (!ReadAt(h, at, rec, sizeof rec) || rec[0] >= defs ||
                !ReadAt(h, kDefsPos + kDefSize * rec[0], def, sizeof def))
                continue;
            LcSub *sub = (LcSub *)Lc_Alloc(sizeof(LcSub));
            if (!sub) break;
            LcIndexDesc fw = {Get32(rec + 8), Get32(rec + 12), Get32(rec + 16)};
            LcIndexDesc bw = {Get32(rec + 24), Get32(rec + 28), Get32(rec + 32)};
            // Tables that end past the file, or end before they start, are left out.
            auto fits = [size](const LcIndexDesc &d) {
                return d.end >= d.table && d.base <= size && d.end <= size - d.base;
            };
            if (!fits(fw)) {
                LC_TRACE("forward index outside the file");
                Lc_Free(sub);
                continue;
            }
            if (bw.end != 0 && !fits(bw)) bw.end = bw.table = bw.base = 0;
            sub->forward = fw;
            sub->backward = bw;
            sub->prop.indexDefNo = rec[0];
            sub->prop.language = (WORD)Get16(def);
            DWORD kind = def[2] ? def[2] : 1;
            sub->prop.indexKind = kind;
            sub->prop.subDicNo = kind == 4 ? 101 : kind == 5 ? 102 : kind == 6 ? 103 : i;
            sub->prop.number = (kind == 2 || kind == 3) ? def[4] : i;
            sub->defValue[0] = Get32(def + 8);
            sub->defValue[1] = Get32(def + 12);
            subs[count++] = sub;
        }
    } else {
        file->info.status |= DICSTATUS_BAD;
    }
    CloseHandle(h);
    file->info.kind = 1;
    *subsOut = subs;
    if (!count) {
        Lc_Free(subs);
        *subsOut = nullptr;
    }
    return count;
}
