// Entry text records and the data-item index records of kinds 1 and 7.
#include "lexidata_int.h"
#include "dicfile_int.h"
#include "textblock_int.h"
#include "strandkit.h"

namespace {

const DWORD kUserTextPrefix = 12;  // a user dictionary's text positions skip its block prefix
const size_t kStringCap = 0xFFFF;  // most plain bytes of one index string

// The bytes of a text record read ahead from its head on (most records lie in them whole), and
// the file they come from for the rest.
struct Ahead {
    HANDLE file;
    DWORD position;  // of bytes[0] in the file
    BYTE bytes[2048];
    DWORD got;
    DWORD size = 0;  // the file's size once asked
    bool sized = false;
    // The n bytes at pos when they were read ahead, else null.
    const BYTE *Holds(DWORD pos, DWORD n) const {
        DWORD off = pos - position;
        return pos >= position && off <= got && n <= got - off ? bytes + off : nullptr;
    }
    DWORD FileSize() {
        if (!sized) {
            // A short read ahead ends at the end of the file.
            size = got < sizeof bytes ? position + got : Lexi_FileSize(file);
            sized = true;
        }
        return size;
    }
};

// One block at position: 1 read, 0 absent, -1 cut off or damaged.
int ReadBlock(Ahead *ahead, DWORD position, DWORD stored, DWORD plain, bool encoded, int version, char **out,
              DWORD *len) {
    *out = nullptr;
    *len = 0;
    if (!encoded) plain = stored;
    if (stored == 0 || plain == 0 || stored >= kLexiBlockLimit || plain >= kLexiBlockLimit)
        return 0;
    const BYTE *held = ahead->Holds(position, stored);
    DWORD fileSize = held ? 0 : ahead->FileSize();
    if (!held && (position > fileSize || stored > fileSize - position)) return LEXI_DAMAGED() - 1;
    if (encoded && plain > Lexi_MaxPlain(version, stored)) return LEXI_DAMAGED() - 1;
    char *text = (char *)Lexi_Alloc((size_t)plain + 1);
    // Bytes not read ahead are read: a plain block straight into its text, an encoded one into a
    // block of its own for the decoding.
    BYTE *raw = held || !encoded ? nullptr : (BYTE *)Lexi_Alloc(stored + 1);
    BYTE *into = encoded ? raw : (BYTE *)text;
    int result = -1;
    if (text && (held || (into && Lexi_Seek(ahead->file, position) && Lexi_ReadExact(ahead->file, into, stored)))) {
        if (!encoded) {
            if (held) memcpy(text, held, stored);
            result = 1;
        } else if (Lexi_DecodeText(version, held ? held : raw, stored, (BYTE *)text, plain) == (long)plain) {
            result = 1;
        }
    }
    Lexi_Free(raw);
    if (result < 0) LEXI_DAMAGED();
    if (result == 1) {
        *out = text;
        *len = plain;
    } else {
        Lexi_Free(text);
    }
    return result;
}

// CR LF becomes CR and a lone LF becomes CR; returns the new length.
DWORD FoldLineEnds(char *text, DWORD len) {
    DWORD w = 0;
    for (DWORD r = 0; r < len; r++) {
        if (text[r] == '\r' && r + 1 < len && text[r + 1] == '\n') {
            text[w++] = '\r';
            r++;
        } else if (text[r] == '\n') {
            text[w++] = '\r';
        } else {
            text[w++] = text[r];
        }
    }
    text[w] = 0;
    return w;
}

// The text file's path: the record's path, with the extension "rdt" for a user dictionary.
bool TextPath(const DicInfo *record, char *out) {
    size_t n = strnlen(record->path, sizeof record->path);
    if (n == 0 || n >= MAX_PATH) return false;
    memcpy(out, record->path, n + 1);
    if (record->kind == 2) {
        char *dot = strrchr(out, '.');
        char *slash = strrchr(out, '\\');
        if (!dot || (slash && dot < slash)) return false;
        if ((size_t)(dot - out) + 4 >= MAX_PATH) return false;
        strcpy(dot, ".rdt");
    }
    return true;
}

bool IsLetter(BYTE c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The search key that one dictionary (file id 4099) keeps in place of its third string: the
// reading after the first ESC "F02" tag of the entry text, with its marks turned into digits.
char *ReadingKey(DicSession *session, DWORD textPos, size_t *lenOut) {
    VLData data;
    memset(&data, 0, sizeof data);
    if (!DLVData_Read(session, session->fileRecord, textPos, &data) || !data.data1) {
        Lexi_Free(data.data1);
        Lexi_Free(data.data2);
        return nullptr;
    }
    const BYTE *t = (const BYTE *)data.data1;
    DWORD n = data.len1;
    char *key = nullptr;
    for (DWORD i = 0; i + 4 <= n && !key; i++) {
        if (memcmp(t + i, "\x1b" "F02", 4) != 0) continue;
        key = (char *)Lexi_Alloc(256);
        if (!key) break;
        size_t k = 0;
        DWORD p = i + 4, taken = 0;
        while (p < n && taken < 255 && t[p] != 0x1C &&
               !(p + 4 <= n && memcmp(t + p, "\x1b" "F86", 4) == 0)) {
            BYTE c = t[p];
            char outc = 0;
            DWORD step = 1;
            if (c == 0x1B) {
                step = 3;
            } else if (c == 0x75 && p + 1 < n && t[p + 1] == 0xE1) {
                outc = '$';
                step = 2;
            } else if (c == '!' || c == 0xDA) {
                outc = '2';
            } else if (c == '#' || c == 0xDC) {
                outc = '3';
            } else if (c == 0x40 || c == 0xDB) {
                outc = '1';
            } else if (c == '~' || c == 0xE2) {
                outc = '4';
            } else if (c == 0x92) {
                outc = 'i';
            } else if (c == 0xB7) {
                outc = '-';
            } else if (IsLetter(c)) {
                outc = (char)(c | 0x20);
            }
            if (outc) key[k++] = outc;
            p += step;
            taken += step;
        }
        key[k] = 0;
        *lenOut = k;
    }
    Lexi_Free(data.data1);
    Lexi_Free(data.data2);
    return key;
}

// Second string with the sub-dictionary's charset tag in front (a new block), or null.
char *Tagged(int charset, const char *text, size_t len, size_t *lenOut) {
    char *out = (char *)Lexi_Alloc(len + 5);
    if (!out) return nullptr;
    int n = Strandkit_AddCharsetTag(charset, text, out);
    if (n < 0 || (size_t)n > len + 4) {
        Lexi_Free(out);
        return nullptr;
    }
    out[n] = 0;
    *lenOut = (size_t)n;
    return out;
}

}  // namespace

char *Lexi_ReadString(HANDLE file, DWORD n, bool encoded, int version, size_t cap, size_t *lenOut) {
    BYTE *raw = (BYTE *)Lexi_Alloc((size_t)n + 1);
    if (!raw) return nullptr;
    if (!Lexi_ReadExact(file, raw, n)) {
        Lexi_Free(raw);
        return nullptr;
    }
    if (!encoded) {
        if (n > cap) {
            Lexi_Free(raw);
            return nullptr;
        }
        *lenOut = n;
        return (char *)raw;
    }
    char *out = Lexi_DecodeString(version, raw, n, cap, lenOut);
    Lexi_Free(raw);
    return out;
}

bool Lexi_ReadTextRecord(HANDLE file, DWORD position, bool encoded, int version, bool withBlock2,
                         VLData *out) {
    // One read for the head and, for most records, both blocks.
    Ahead ahead;
    ahead.file = file;
    ahead.position = position;
    if (!Lexi_Seek(file, position) || !Lexi_ReadUpTo(file, ahead.bytes, sizeof ahead.bytes, &ahead.got)) return false;
    VLEntryHead h;
    if (ahead.got < sizeof h) return false;
    memcpy(&h, ahead.bytes, sizeof h);
    DWORD stored1 = h.stored1, plain1 = h.plain1, stored2 = h.stored2, plain2 = h.plain2;
    VLData d;
    memset(&d, 0, sizeof d);
    d.kind = h.kind;
    DWORD at = position + kEntryHeadSize;
    if (ReadBlock(&ahead, at, stored1, plain1, encoded, version, &d.data1, &d.len1) < 0)
        return false;
    if (withBlock2 && stored1 < kLexiBlockLimit && (DWORD)-1 - at > stored1 &&
        ReadBlock(&ahead, at + stored1, stored2, plain2, encoded, version, &d.data2, &d.len2) < 0) {
        Lexi_Free(d.data1);
        return false;
    }
    *out = d;
    return true;
}

extern "C" BOOL WINAPI DLVData_Read(DicSession *session, const DicInfo *record, DWORD position,
                                    VLData *data) {
    if (!record || !data) return FALSE;
    HANDLE file = session ? session->textFile : nullptr;
    HANDLE own = INVALID_HANDLE_VALUE;
    if (!Lexi_HandleOk(file)) {
        char path[MAX_PATH];
        if (!TextPath(record, path)) return FALSE;
        // Another process may be writing the dictionary (a user dictionary's editor): reading
        // shares the file with writers, as the sessions do.
        own = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (own == INVALID_HANDLE_VALUE) return FALSE;
        file = own;
    }
    DWORD at = position + (record->kind == 2 ? kUserTextPrefix : 0);
    HNEncodeSetVersion(record->decoderVersion);
    VLData d;
    bool ok = at >= position && Lexi_ReadTextRecord(file, at, (record->headerFlags & DICFLAG_ENCODED) != 0,
                                                    Lexi_VersionOf(record), true, &d);
    if (Lexi_HandleOk(own)) CloseHandle(own);
    if (!ok) return FALSE;
    if (d.data1) d.len1 = FoldLineEnds(d.data1, d.len1);
    Lexi_Free(data->data1);
    Lexi_Free(data->data2);
    *data = d;
    return TRUE;
}

extern "C" BOOL WINAPI DLVData_Write(const DicInfo *record, HANDLE file, DWORD flags,
                                     DWORD position, const VLData *data) {
    if (!record || !data || !Lexi_HandleOk(file)) return FALSE;
    if (flags & 0x1000000) {
        DWORD at = position + (record->kind == 2 ? kUserTextPrefix : 0);
        if (!Lexi_Seek(file, at)) return FALSE;
    }
    DWORD len1 = data->data1 ? data->len1 : 0, len2 = data->data2 ? data->len2 : 0;
    VLEntryHead h;
    h.kind = (BYTE)data->kind;
    h.stored1 = h.plain1 = len1;  // blocks are written plain
    h.stored2 = h.plain2 = len2;
    if (!Lexi_WriteExact(file, &h, sizeof h)) return FALSE;
    bool wrote = false;
    if (len1) {
        if (!Lexi_WriteExact(file, data->data1, len1)) return FALSE;
        wrote = true;
    }
    if (len2) {
        if (!Lexi_WriteExact(file, data->data2, len2)) return FALSE;
        wrote = true;
    }
    return wrote;
}

namespace {

// Plain strings shorter than this are decoded on the stack.
const size_t kShortText = VLDATAITEM_HEADWORD_ROOM;

// A data-item index record (index kinds 1 and 7) as stored: the fixed part's fields in an item
// head, and the strings' stored bytes in one piece.
struct StoredItem {
    VLDataItem head;
    DWORD n[3];  // stored lengths of headword, second and third string
    BYTE raw[3 * 255];
    bool encoded;
    int version;
};

// Reads the record at the index file's position; false for another index kind, a cut-off record
// or an empty headword.
bool ReadStoredItem(DicSession *session, StoredItem *r) {
    if (!session || !session->fileRecord || !session->subDic) return false;
    const DicInfo *record = session->fileRecord;
    const DicProperty *sub = session->subDic;
    DWORD kind = sub->indexKind;
    if (kind != 1 && kind != 7) return false;
    HANDLE file = session->indexFile;
    if (!Lexi_HandleOk(file)) return false;
    HNEncodeSetVersion(record->decoderVersion);
    r->encoded = (record->headerFlags & DICFLAG_ENCODED) != 0;
    r->version = Lexi_VersionOf(record);

    union {
        VLIndexRec1 k1;
        VLIndexRec7 k7;
    } f;
    DWORD fixed = kind == 1 ? sizeof f.k1 : sizeof f.k7;
    if (!Lexi_ReadExact(file, &f, fixed)) return false;
    VLDataItem &h = r->head;
    memset(&h, 0, sizeof h);
    DWORD *n = r->n;
    n[0] = n[1] = n[2] = 0;
    if (kind == 1) {
        n[0] = f.k1.len[0];
        n[1] = f.k1.len[1];
        n[2] = f.k1.len[2];
        h.entryLink = ((DWORD)f.k1.backDistance << 16) | f.k1.linkValue;
        h.indexByte = f.k1.indexByte;
        h.indexValue = f.k1.indexValue;
        h.indexValue16a = f.k1.indexValue16a;
        h.indexValue16b = f.k1.indexValue16b;
        h.head.textPos = f.k1.textPos;
        h.head.extra = f.k1.extra;
    } else {
        n[0] = f.k7.len[0];
        n[1] = f.k7.len[1];
        h.head.textPos = f.k7.textPos;
        h.head.extra = f.k7.extra;
    }
    h.charset = sub->charset;
    if (n[0] == 0) return false;
    return Lexi_ReadExact(file, r->raw, n[0] + n[1] + n[2]);
}

const BYTE *StoredString(const StoredItem &r, int i) {
    DWORD at = 0;
    for (int k = 0; k < i; k++) at += r.n[k];
    return r.raw + at;
}

// String i of the record, decoded when encoded, into out (kShortText bytes) and terminated: 1 with
// its plain length, -1 when it is damaged, 0 when it does not decode there but may decode in the
// room its stored form allows (the caller decodes it on the heap).  A decoding writes the same
// bytes in any room it fits, so one that fits the stack is the one the heap would give.
int DecodeShort(const StoredItem &r, int i, char *out, size_t *len) {
    const BYTE *in = StoredString(r, i);
    DWORD n = r.n[i];
    if (!r.encoded) {  // at most 255 bytes
        memcpy(out, in, n);
        out[n] = 0;
        *len = n;
        return 1;
    }
    size_t room = Lexi_PlainRoom(r.version, in, n, kStringCap);
    long got = Lexi_DecodeText(r.version, in, n, (BYTE *)out, room < kShortText ? room : kShortText - 1);
    if (got < 0) return room < kShortText ? -1 : 0;
    out[got] = 0;
    *len = (size_t)got;
    return 1;
}

}  // namespace

extern "C" VLDataItem *WINAPI VLDataItem_Read(DicSession *session) {
    StoredItem r;
    if (!ReadStoredItem(session, &r)) return nullptr;
    const DicInfo *record = session->fileRecord;
    const DicProperty *sub = session->subDic;
    DWORD kind = sub->indexKind;
    VLDataItem &h = r.head;

    // Each string decoded (or taken as it is) by itself: short ones on the stack, the item then
    // made in one block.
    char *s[3] = {nullptr, nullptr, nullptr};
    bool own[3] = {false, false, false};  // a heap block of this library, freed at the end
    char shortText[3][kShortText];
    size_t len[3] = {0, 0, 0};
    bool ok = true;
    for (int i = 0; i < 3 && ok; i++) {
        if (r.n[i] == 0) continue;
        int got = DecodeShort(r, i, shortText[i], &len[i]);
        if (got > 0) {
            s[i] = shortText[i];
        } else if (got == 0) {
            s[i] = Lexi_DecodeString(r.version, StoredString(r, i), r.n[i], kStringCap, &len[i]);
            own[i] = true;
        }
        ok = s[i] != nullptr;
    }
    if (ok && len[0] == 0) ok = false;  // a headword that decodes to nothing
    // The second string carries the sub-dictionary's charset tag; for kind 1 a missing second
    // string becomes the tagged headword.
    int charset = sub->charset;
    if (ok && charset != 0) {
        const char *base = s[1] ? s[1] : (kind == 1 ? s[0] : nullptr);
        size_t baseLen = s[1] ? len[1] : len[0];
        if (base && base[0] != 0x1B) {
            size_t tl = 0;
            char *t = Tagged(charset, base, baseLen, &tl);
            if (!t) ok = false;
            if (own[1]) Lexi_Free(s[1]);
            s[1] = t;
            own[1] = true;
            len[1] = tl;
        }
    }
    if (ok && kind == 1 && record->fileId == 4099) {
        size_t kl = 0;
        char *key = ReadingKey(session, h.head.textPos, &kl);
        if (key) {
            if (own[2]) Lexi_Free(s[2]);
            s[2] = key;
            own[2] = true;
            len[2] = kl;
        }
    }
    VLDataItem *item = nullptr;
    if (ok)
        item = Lexi_MakeDataItem(&h, s[0], len[0], s[1], len[1], s[2], len[2], nullptr, 0);
    for (int i = 0; i < 3; i++)
        if (own[i]) Lexi_Free(s[i]);
    return item;
}

extern "C" BOOL WINAPI DLVDataItem_ReadHeadword(DicSession *session, char *headword, DWORD *entryLink) {
    StoredItem r;
    if (!headword || !entryLink || !ReadStoredItem(session, &r)) return FALSE;
    // The other strings are decoded as well, into a scratch room: a record that VLDataItem_Read
    // refuses for a damaged string is refused here too.
    char scratch[kShortText];
    size_t len = 0, other = 0;
    if (DecodeShort(r, 0, headword, &len) <= 0 || len == 0) return FALSE;
    for (int i = 1; i < 3; i++)
        if (r.n[i] != 0 && DecodeShort(r, i, scratch, &other) <= 0) return FALSE;
    *entryLink = r.head.entryLink;
    return TRUE;
}

extern "C" BOOL WINAPI DLVDataItem_Write(DicSession *session, DWORD flags, const VLDataItem *item) {
    if (!session || !session->subDic || !item) return FALSE;
    DWORD kind = session->subDic->indexKind;
    if (kind != 1 && kind != 7) return FALSE;
    HANDLE file = session->indexFile;
    if (!Lexi_HandleOk(file)) return FALSE;
    DWORD fixed = kind == 1 ? kIndexRec1Size : kIndexRec7Size;
    // The record as it stands: its kept bytes and the lengths used to skip unwritten strings.
    union Rec {
        VLIndexRec1 k1;
        VLIndexRec7 k7;
    } old, rec;
    memset(&old, 0, sizeof old);
    DWORD start = Lexi_Tell(file);
    DWORD got = 0;
    ReadFile(file, &old, fixed, &got, nullptr);
    if (!Lexi_Seek(file, start)) return FALSE;

    const char *hw = item->headword;
    const char *s2 = item->second != item->headword ? item->second : nullptr;
    const char *s3 = item->third != item->headword ? item->third : nullptr;
    DWORD l[3] = {hw ? (DWORD)item->headwordLen : 0, s2 ? (DWORD)item->secondLen : 0,
                  s3 ? (DWORD)item->thirdLen : 0};
    for (DWORD &x : l)
        if (x > 255) return FALSE;  // lengths are stored in one byte
    rec = old;
    DWORD oldLen[3] = {0, 0, 0};
    if (kind == 1) {
        for (int i = 0; i < 3; i++) {
            oldLen[i] = old.k1.len[i];
            rec.k1.len[i] = (BYTE)l[i];
        }
        rec.k1.backDistance = (WORD)(item->entryLink >> 16);
        rec.k1.indexByte = item->indexByte;
        rec.k1.indexValue = item->indexValue;  // link value and the kept bytes stay
        rec.k1.indexValue16a = item->indexValue16a;
        rec.k1.indexValue16b = item->indexValue16b;
        rec.k1.textPos = item->head.textPos;
        rec.k1.extra = item->head.extra;
    } else {
        oldLen[0] = old.k7.len[0];
        oldLen[1] = old.k7.len[1];
        memset(&rec.k7, 0, sizeof rec.k7);
        rec.k7.len[0] = (BYTE)l[0];
        rec.k7.len[1] = (BYTE)l[1];
        rec.k7.textPos = item->head.textPos;
        rec.k7.extra = item->head.extra;
    }
    bool ok = true;
    DWORD at = start;
    if (flags & 8)
        ok = Lexi_WriteExact(file, &rec, fixed);
    at += fixed;
    const char *str[3] = {hw, s2, s3};
    const DWORD bits[3] = {1, 2, 4};
    int strings = kind == 1 ? 3 : 2;
    for (int i = 0; i < strings && ok; i++) {
        if (flags & bits[i]) {
            ok = Lexi_Seek(file, at) && Lexi_WriteExact(file, str[i], l[i]);
            at += l[i];
        } else {
            at += oldLen[i];
        }
    }
    return ok && Lexi_Seek(file, at);
}

extern "C" DWORD WINAPI DLVDataItem_GetSize(DicSession *session, const VLDataItem *item) {
    if (!session || !session->subDic || !item) return 0;
    DWORD kind = session->subDic->indexKind;
    DWORD size = 0;
    if (kind == 1) {
        size = kIndexRec1Size + item->headwordLen;
        if (item->second != item->headword) size += item->secondLen;
        if (item->third != item->headword) size += item->thirdLen;
    } else if (kind == 7) {
        size = kIndexRec7Size + item->headwordLen;
        if (item->second != item->headword) size += item->secondLen;
    }
    return size;
}
