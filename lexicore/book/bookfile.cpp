// Reader of electronic books: the book's records at catalogue load, the directory of index trees,
// sessions that walk the trees from a key, and entry texts read up to the next entry.
#include <stdio.h>
#include <new>
#include "basekit.h"
#include "strandkit.h"
#include "book_int.h"

namespace {

const DWORD kMaxDirEntries = 1024;
const int kMaxDepth = 32;
const DWORD kScanLimit = 0x10000, kDefaultLength = 0x8000;
const DWORD kMaxSubs = 10;
// The book whose entry texts are always read at the default length.
const char kFixedLengthTitle[] = "VELOBOOK FIXED EDITION";

struct DirEntry {
    BYTE type;
    DWORD start, count;
};

// A session's open book: the file and its directory.
struct Book {
    HANDLE file;
    DWORD size;
    std::vector<DirEntry> dir;
};

Book *BookOf(DicSession *s) { return (Book *)s->window; }

bool IsIndexType(BYTE t) { return (t >= 0x90 && t <= 0x92) || (t >= 0x70 && t <= 0x72); }

// Reads and checks the directory; false when it is damaged.
bool ReadDirectory(HANDLE h, DWORD size, std::vector<DirEntry> *out) {
    BYTE head[16];
    if (size < 16 || !LcBook_ReadAt(h, 0, head, 16)) return false;
    DWORD n = LcBook_Be16(head);
    if (n > kMaxDirEntries || 16 + 16 * n > size) return false;
    std::vector<BYTE> raw(16 * n + 1);
    if (n && !LcBook_ReadAt(h, 16, raw.data(), 16 * n)) return false;
    DWORD blocks = size / kBookBlock;
    out->clear();
    for (DWORD i = 0; i < n; i++) {
        const BYTE *e = raw.data() + 16 * i;
        DirEntry d = {e[0], LcBook_Be32(e + 2), LcBook_Be32(e + 6)};
        if (IsIndexType(d.type) &&
            (d.start == 0 || d.count == 0 || d.start > blocks || d.count > blocks - d.start + 1)) {
            LC_TRACE("book index outside the file");
            return false;
        }
        out->push_back(d);
    }
    return true;
}

HANDLE OpenBook(const char *path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The index types a search uses, in directory order of preference.
bool Chosen(BYTE type, bool backward, int charset) {
    if (backward) return type == 0x71 || (type == 0x72 && charset == 0) || (type == 0x70 && charset == 128);
    return type == 0x91 || (type == 0x92 && charset == 0) || (type == 0x90 && charset == 128);
}

bool IsLead(int charset, BYTE b) { return charset == 128 && b >= 0x81 && IsDBCSLeadByteEx(932, b); }

// Reverses the characters of a plain text.
std::string ReverseChars(const std::string &t, int charset) {
    std::vector<std::string> chars;
    for (size_t i = 0; i < t.size();) {
        size_t k = IsLead(charset, (BYTE)t[i]) && i + 1 < t.size() ? 2 : 1;
        chars.push_back(t.substr(i, k));
        i += k;
    }
    std::string r;
    for (size_t i = chars.size(); i-- > 0;) r += chars[i];
    return r;
}

// Reverses the two-byte units of a stored backward key.
std::string ReverseUnits(const BYTE *k, size_t n) {
    std::string r;
    for (size_t i = n & ~(size_t)1; i >= 2; i -= 2) r.append((const char *)k + i - 2, 2);
    return r;
}

// Case-insensitive comparison of record and key, over the record's length when it is shorter.
int CompareCaseless(const std::string &rec, const std::string &key, int charset) {
    size_t n = rec.size() < key.size() ? rec.size() : key.size();
    for (size_t i = 0; i < n; i++) {
        BYTE a = (BYTE)rec[i], b = (BYTE)key[i];
        if (IsLead(charset, a) && i + 1 < n) {
            if (a != b) return a < b ? -1 : 1;
            i++;
            a = (BYTE)rec[i];
            b = (BYTE)key[i];
        } else {
            if (a >= 'a' && a <= 'z') a = (BYTE)(a - 32);
            if (b >= 'a' && b <= 'z') b = (BYTE)(b - 32);
        }
        if (a != b) return a < b ? -1 : 1;
    }
    return rec.size() < key.size() ? 0 : rec.size() > key.size();
}

struct TreeWalk {
    DicSession *s;
    Book *book;
    DirEntry entry;
    std::string key, keyReversed;
    bool backward, caseless;
    int charset;
    LexicoreItemProc proc;
    void *user;
    DWORD budget;
    bool endTree, endAll;
};

// Whether a record key stands at or above the search key; false with *known false when the key
// cannot be compared (it does not convert).
bool AtOrAbove(TreeWalk &w, const BYTE *k, size_t n, bool *known) {
    std::string stored((const char *)k, n), rec;
    std::string plain = w.backward && !w.caseless ? ReverseUnits(k, n) : stored;
    int mode = w.charset == 0 ? kBookModeKey : kBookModeSjis;
    *known = LcBook_Convert((const BYTE *)plain.data(), plain.size(), mode, -1, nullptr, &rec);
    if (!*known) return false;
    if (w.caseless) return CompareCaseless(rec, w.backward ? w.keyReversed : w.key, w.charset) >= 0;
    return Lc_Compare(w.s, w.backward ? 0x8204 : 0x204, w.key.c_str(), rec.c_str(), 0) <= 0;
}

void Emit(TreeWalk &w, const BYTE *k, size_t n, const BYTE *positions) {
    DWORD headBlock = LcBook_Be32(positions), headOff = LcBook_Be16(positions + 4);
    DWORD textBlock = LcBook_Be32(positions + 6), textOff = LcBook_Be16(positions + 10);
    if (headBlock == 0 || textBlock == 0 || headOff >= kBookBlock || textOff >= kBookBlock) {
        LC_TRACE("book record position out of range");
        return;
    }
    std::string plain = w.backward ? ReverseUnits(k, n) : std::string((const char *)k, n), headword;
    LcBook_Convert((const BYTE *)plain.data(), plain.size(), kBookModeTagged, w.charset, nullptr, &headword);
    std::vector<char> second(headword.size() + 8);
    Strandkit_AddCharsetTag(w.charset, headword.c_str(), second.data());
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.textPos = (textBlock - 1) << 11 | textOff;
    head.language = w.s->subDic->language;
    head.charset = w.s->subDic->charset;
    VLDataItem *item = VLDataItem_Create(&head, headword.c_str(), second.data(), nullptr, nullptr);
    if (!item) {
        w.endAll = true;
        return;
    }
    VLItem_SetCommonInfo(w.s, (headBlock - 1) << 11 | headOff, &item->head);
    int r = w.proc(item, 1, w.user);
    VLDataItem_Destroy(item);
    if (r == LEXICORE_ITEM_FULL) w.endTree = true;
    if (r == LEXICORE_ITEM_STOP) w.endAll = true;
}

// A cursor over one block: each read checks the bounds; a failed read sets the error once.
struct Cursor {
    const BYTE *p;
    size_t n, at;
    bool bad;
    const BYTE *Take(size_t k) {
        if (bad || k > n - at) {
            bad = true;
            return nullptr;
        }
        const BYTE *r = p + at;
        at += k;
        return r;
    }
    DWORD U8() {
        const BYTE *r = Take(1);
        return r ? r[0] : 0;
    }
};

void WalkBlock(TreeWalk &w, DWORD block, int depth) {
    if (w.endTree || w.endAll || depth > kMaxDepth || w.budget == 0) return;
    w.budget--;
    if (block < w.entry.start || block - w.entry.start >= w.entry.count) {
        LC_TRACE("book child block outside its index");
        return;
    }
    BYTE buf[kBookBlock];
    if (!LcBook_ReadAt(w.book->file, (block - 1) * kBookBlock, buf, kBookBlock)) return;
    Cursor c = {buf, kBookBlock, 0, false};
    DWORD flag = c.U8();
    const BYTE *cnt = c.Take(2);
    DWORD count = cnt ? LcBook_Be16(cnt) : 0;
    bool leaf = (flag & 0x80) != 0, grouped = leaf && (flag & 0x10), chars = (flag & 1) != 0;
    for (DWORD r = 0; r < count && !c.bad && !w.endTree && !w.endAll; r++) {
        DWORD members = 1;
        if (grouped) {
            DWORD type = c.U8();
            if (type == 0x80) {
                members = c.U8();
            } else if (type != 0xC0) {
                LC_TRACE("book leaf record of unknown type");
                break;
            }
        }
        size_t len = c.U8() * (chars ? 2 : 1);
        const BYTE *k = c.Take(len);
        if (!leaf) {
            const BYTE *child = c.Take(4);
            if (!child) break;
            bool known;
            bool above = AtOrAbove(w, k, len, &known);
            DWORD b = LcBook_Be32(child);
            if (above || !known) {
                if (b <= block) {
                    LC_TRACE("book child block not after its parent");
                    continue;
                }
                WalkBlock(w, b, depth + 1);
            }
            continue;
        }
        bool known = false, above = false;
        if (k) above = AtOrAbove(w, k, len, &known);
        for (DWORD m = 0; m < members && !w.endTree && !w.endAll; m++) {
            const BYTE *pos = c.Take(12);
            if (!pos) break;
            if (above) Emit(w, k, len, pos);
        }
    }
}

int BookOpen(DicSession *s) {
    Book *b = new (std::nothrow) Book;
    if (!b) return 0;
    b->file = OpenBook(s->fileRecord->path);
    b->size = b->file == INVALID_HANDLE_VALUE ? 0 : LcBook_FileSize(b->file);
    if (b->file == INVALID_HANDLE_VALUE || !ReadDirectory(b->file, b->size, &b->dir)) {
        if (b->file != INVALID_HANDLE_VALUE) CloseHandle(b->file);
        delete b;
        return 0;
    }
    s->textFile = b->file;
    s->window = b;
    return 1;
}

void BookClose(DicSession *s) {
    Book *b = BookOf(s);
    if (b) {
        CloseHandle(b->file);
        delete b;
    }
    s->window = nullptr;
    s->textFile = nullptr;
}

int BookSelectIndex(DicSession *s, int backward) {
    s->backward = backward ? 1 : 0;
    return 1;
}

int BookSearch(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, void *user) {
    Book *b = BookOf(s);
    if (!b || !proc) return 1;
    TreeWalk w;
    w.s = s;
    w.book = b;
    w.key = key;
    w.backward = s->backward || (flags & LEXICORE_SF_BACKWARD);
    w.charset = s->subDic->charset;
    w.keyReversed = ReverseChars(w.key, w.charset);
    w.proc = proc;
    w.user = user;
    w.endAll = false;
    for (const DirEntry &e : b->dir) {
        if (!Chosen(e.type, w.backward, w.charset)) continue;
        w.entry = e;
        w.caseless = (e.type & 0x0F) != 0;  // 0x91, 0x92, 0x71, 0x72
        w.budget = e.count;
        w.endTree = false;
        WalkBlock(w, e.start, 0);
        if (w.endAll) break;
    }
    return 1;
}

int BookLocate(DicSession *, const char *, DWORD, LONG *) { return 1; }

// True when the position lies in the directory or in an index's blocks, where no text stands.
bool InStructure(const Book *b, DWORD position) {
    if (position < 16 + 16 * (DWORD)b->dir.size()) return true;
    DWORD block = position / kBookBlock + 1;
    for (const DirEntry &e : b->dir)
        if (IsIndexType(e.type) && block >= e.start && block - e.start < e.count) return true;
    return false;
}

VLDataItem *BookGetItem(DicSession *s, LONG position) {
    Book *b = BookOf(s);
    if (!b || position < 0 || (DWORD)position >= b->size || InStructure(b, (DWORD)position)) return nullptr;
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.textPos = (DWORD)position;
    head.language = s->subDic->language;
    head.charset = s->subDic->charset;
    VLDataItem *item = VLDataItem_Create(&head, nullptr, nullptr, nullptr, nullptr);
    if (item) VLItem_SetCommonInfo(s, (DWORD)position, &item->head);
    return item;
}

LONG BookEntryCount(LcSub *sub, int flag) {
    if (!flag) return 0;
    HANDLE h = OpenBook(Lc_FileOf(&sub->prop)->info.path);
    if (h == INVALID_HANDLE_VALUE) return 0;
    std::vector<DirEntry> dir;
    LONG n = 0;
    if (ReadDirectory(h, LcBook_FileSize(h), &dir)) {
        for (const DirEntry &e : dir)
            if (Chosen(e.type, false, sub->prop.charset)) {
                n = (LONG)((e.start + e.count) << 11);
                break;
            }
    }
    CloseHandle(h);
    return n;
}

BOOL BookReadText(DicSession *session, LcFile *file, const VLDataItem *item, VLData *data) {
    bool own = !(session && session->window && session->fileRecord == &file->info);
    HANDLE h = own ? OpenBook(file->info.path) : BookOf(session)->file;
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    std::string raw, text;
    BOOL ok = FALSE;
    if (LcBook_RawText(h, &file->info, item->head.textPos, &raw)) {
        LcBookIndents indents;
        LcBook_CollectIndents((const BYTE *)raw.data(), raw.size(), &indents);
        LcBook_Convert((const BYTE *)raw.data(), raw.size(), kBookModeTagged, -1, &indents, &text);
        char *block = (char *)VLMem_Malloc((DWORD)text.size() + 1);
        if (block) {
            memcpy(block, text.data(), text.size());
            block[text.size()] = 0;
            VLMem_Free(data->data1);
            VLMem_Free(data->data2);
            data->kind = 1;
            data->data1 = block;
            data->len1 = (DWORD)text.size() + 1;
            data->data2 = nullptr;
            data->len2 = 0;
            ok = TRUE;
        }
    }
    if (own) CloseHandle(h);
    return ok;
}

BOOL BookExportMedia(LcFile *file, DWORD what, const char *reference, const char *outputPath) {
    return LcBook_ExportMedia(file, what, reference, outputPath);
}

// The book's language from its sub-dictionaries' languages.
WORD BookLanguage(const std::vector<WORD> &langs) {
    for (WORD l : langs)
        if (l == 0x0600) return 0x0600;
    for (WORD l : langs)
        if (l == 0x0700) return 0x0700;
    return 0x0100;
}

}  // namespace

const LcKindOps g_lcBookOps = {BookOpen,   BookClose,      BookSelectIndex, BookSearch, BookLocate,
                               BookGetItem, BookEntryCount, BookReadText,    BookExportMedia};

bool LcBook_ReadAt(HANDLE file, DWORD pos, void *out, DWORD n) {
    if (SetFilePointer(file, (LONG)pos, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
    DWORD got = 0;
    return ReadFile(file, out, n, &got, nullptr) && got == n;
}

DWORD LcBook_FileSize(HANDLE file) {
    DWORD high = 0, low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE || high) return 0;
    return low;
}

bool LcBook_RawText(HANDLE h, const DicInfo *info, DWORD position, std::string *out) {
    DWORD size = LcBook_FileSize(h);
    if (position >= size) return false;
    DWORD avail = size - position, n = avail < kScanLimit ? avail : kScanLimit;
    out->assign(n, 0);
    if (!LcBook_ReadAt(h, position, &(*out)[0], n)) return false;
    DWORD length = kDefaultLength;
    if (strcmp(info->name, kFixedLengthTitle) != 0) {
        const BYTE *t = (const BYTE *)out->data();
        int starts = 0;
        for (DWORD i = 0; i + 3 <= n; i += 2) {
            if (t[i] == 0x1F && t[i + 1] == 0x41 && (t[i + 2] & 0x0F) == 1 && ++starts == 2) {
                length = i >= 2 ? i - 2 : 0;
                break;
            }
        }
    }
    if (length > n) length = n;
    out->resize(length);
    const BYTE *t = (const BYTE *)out->data();
    if (length >= 4 && t[length - 4] == 0x1F && t[length - 3] == 0x09) out->resize(length - 4);
    return true;
}

int LcBook_LoadFile(LcFile *file, const char *path, LcSub ***subsOut) {
    *subsOut = nullptr;
    file->info.kind = 4;
    file->info.charset = 128;
    char key[MAX_PATH], full[MAX_PATH + 32];
    int count = 0;
    if (Lexidata_GetDicKey(file->info.fileId, key)) {
        snprintf(full, sizeof full, "HKEY_LOCAL_MACHINE\\%s", key);
        count = Basekit_SettingsCountSubkeys(full);
    }
    if (count < 0) count = 0;
    if ((DWORD)count > kMaxSubs) count = (int)kMaxSubs;
    std::vector<WORD> langs;
    LcSub **subs = count ? (LcSub **)Lc_Alloc(sizeof(LcSub *) * (size_t)count) : nullptr;
    int n = 0;
    for (int i = 0; subs && i < count; i++) {
        LcSub *sub = (LcSub *)Lc_Alloc(sizeof(LcSub));
        if (!sub) break;
        sub->prop.subDicNo = (DWORD)i;
        sub->prop.number = (DWORD)i;
        sub->prop.indexKind = 1;
        if (Lexidata_GetDicIndexKey(file->info.fileId, i + 1, key))
            sub->prop.language = (WORD)Basekit_SettingsReadDword(key, "LangID");
        langs.push_back(sub->prop.language);
        subs[n++] = sub;
    }
    WORD lang = BookLanguage(langs);
    file->info.language = lang;
    file->info.languageCount = 2;
    file->info.languages[0] = 0x0400;
    file->info.languages[1] = lang;
    file->info.subDicCount = (DWORD)n;
    HANDLE h = OpenBook(path);
    std::vector<DirEntry> dir;
    if (h == INVALID_HANDLE_VALUE || !ReadDirectory(h, LcBook_FileSize(h), &dir))
        file->info.status |= DICSTATUS_BAD;
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (!n) {
        Lc_Free(subs);
        return 0;
    }
    *subsOut = subs;
    return n;
}
