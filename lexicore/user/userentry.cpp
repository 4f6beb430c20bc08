// Entries of one user sub-dictionary: text records in the text file, item records in the item
// file, both trees over the items.  Every change sets the text file's busy word first and clears it
// last; a change that fails, or a set found busy by the next writer, is repaired from the item
// records (every finished entry survives).
#include <string.h>
#include <stdio.h>
#include <algorithm>
#include <map>
#include <string>
#include "user_int.h"

namespace {

const DWORD kHeadSize = 17, kLinkSize = 8, kTextLinkRoom = 3;
const DWORD kRec1Size = 28, kRec7Size = 16;
const DWORD kMaxSubs = 10;


std::string PathOf(const char *base, const char *ext, DWORD subNo) {
    std::string p = base;
    p += '.';
    p += ext;
    if (subNo != (DWORD)-1) p += (char)('a' + subNo);
    return p;
}

bool BaseOf(const char *mainPath, char *base) {
    size_t n = mainPath ? strlen(mainPath) : 0;
    if (n == 0 || n >= MAX_PATH) return false;
    memcpy(base, mainPath, n + 1);
    char *dot = strrchr(base, '.');
    char *slash = strrchr(base, '\\');
    if (dot && (!slash || dot > slash)) *dot = 0;
    return strlen(base) + 5 < MAX_PATH;
}

DWORD FixedSize(DWORD kind) { return kind == 7 ? kRec7Size : kRec1Size; }

// The stored item record for rec with its text position.
std::vector<BYTE> ItemBytes(DWORD kind, const LuRecord *rec, DWORD textPos) {
    DWORD strings = kind == 7 ? 2 : 3;
    std::vector<BYTE> b(FixedSize(kind), 0);
    if (kind == 7) {
        b[2] = (BYTE)rec->len[0];
        b[3] = (BYTE)rec->len[1];
        LuPut32(&b[8], textPos);
        LuPut32(&b[12], rec->extra);
    } else {
        for (int i = 0; i < 3; i++) b[2 + i] = (BYTE)rec->len[i];
        b[5] = rec->indexByte;
        LuPut32(&b[12], rec->indexValue);
        b[16] = (BYTE)rec->value16a;
        b[17] = (BYTE)(rec->value16a >> 8);
        b[18] = (BYTE)rec->value16b;
        b[19] = (BYTE)(rec->value16b >> 8);
        LuPut32(&b[20], textPos);
        LuPut32(&b[24], rec->extra);
    }
    for (DWORD i = 0; i < strings; i++)
        if (rec->len[i]) b.insert(b.end(), rec->str[i], rec->str[i] + rec->len[i]);
    return b;
}

DWORD TextPosAt(DWORD kind) { return kind == 7 ? 8 : 20; }

// Parses an item record from the bytes of its block content.
bool ParseItem(DWORD kind, const BYTE *c, DWORD room, LuItem *out) {
    DWORD fixed = FixedSize(kind);
    if (room < fixed) return false;
    DWORD lens[3] = {c[2], c[3], kind == 7 ? 0u : c[4]};
    if (fixed + lens[0] + lens[1] + lens[2] > room || lens[0] == 0) return false;
    out->backDistance = kind == 7 ? 0 : (WORD)(c[0] | (c[1] << 8));
    out->textPos = LuGet32(c + TextPosAt(kind));
    out->keyLen = lens[0];
    memcpy(out->key, c + fixed, lens[0]);
    out->key[lens[0]] = 0;
    return true;
}

struct Seek {
    LuDic *d;
    DWORD flags;
    const char *key;
    int withDistance;
    WORD backDistance;
};

int SeekProc(void *ctx, DWORD itemPos) {
    Seek *s = (Seek *)ctx;
    LuItem it;
    if (!LuDic_ReadItem(s->d, itemPos, &it)) return -1;
    int c = s->d->order.compare(s->d->order.ctx, s->flags, s->key, it.key);
    if (c == 0 && s->withDistance) c = (int)s->backDistance - (int)it.backDistance;
    return c;
}

DWORD TreeFlags(bool backward) { return backward ? 0x8000 : 0; }

bool SetBusy(LuDic *d, DWORD busy) {
    d->text.alloc.busy = busy;
    return LuFile_SaveAlloc(&d->text);
}

// Writes a text record into the block at pos: head, blocks, links.
bool WriteText(LuDic *d, DWORD pos, const char *text, DWORD textLen, const char *second, DWORD secondLen,
               const std::vector<BYTE> &links) {
    std::vector<BYTE> b(kHeadSize, 0);
    b[0] = 1;
    LuPut32(&b[1], textLen);
    LuPut32(&b[5], textLen);
    LuPut32(&b[9], secondLen);
    LuPut32(&b[13], secondLen);
    if (textLen) b.insert(b.end(), text, text + textLen);
    if (secondLen) b.insert(b.end(), second, second + secondLen);
    b.insert(b.end(), links.begin(), links.end());
    BYTE count = (BYTE)(links.size() / kLinkSize);
    return LuFile_Write(&d->text, pos + kLuPrefix, b.data(), (DWORD)b.size()) &&
           LuFile_Write(&d->text, pos + 9, &count, 1);
}

std::vector<BYTE> LinkTo(LuDic *d, DWORD itemPos) {
    std::vector<BYTE> l(kLinkSize, 0);
    l[0] = 1;
    l[1] = (BYTE)d->subNo;
    l[2] = (BYTE)d->defNo;
    LuPut32(&l[4], itemPos);
    return l;
}

// A text record's head, block lengths and links, checked against its block.
struct TextInfo {
    DWORD size;
    DWORD len1, len2;
    std::vector<BYTE> links;
};

bool ReadTextInfo(LuFile *f, DWORD pos, TextInfo *t) {
    BYTE flag, links;
    if (!LuFile_BlockAt(f, pos, &t->size, &flag, &links) || flag == kLuFreeFlag) return false;
    BYTE h[kHeadSize];
    if (t->size < kLuPrefix + kHeadSize || !LuFile_Read(f, pos + kLuPrefix, h, sizeof h)) return false;
    t->len1 = LuGet32(h + 1);
    t->len2 = LuGet32(h + 9);
    DWORD room = t->size - kLuPrefix - kHeadSize;
    if (t->len1 > room || t->len2 > room - t->len1 || (DWORD)links * kLinkSize > room - t->len1 - t->len2)
        return false;
    t->links.resize((size_t)links * kLinkSize);
    return links == 0 ||
           LuFile_Read(f, pos + kLuPrefix + kHeadSize + t->len1 + t->len2, t->links.data(), (DWORD)t->links.size());
}

// The text record links the item: an entry is whole only then.
bool Links(const TextInfo &t, DWORD sub, DWORD itemPos) {
    for (size_t i = 0; i + kLinkSize <= t.links.size(); i += kLinkSize)
        if (t.links[i] == 1 && t.links[i + 1] == (BYTE)sub && LuGet32(&t.links[i + 4]) == itemPos) return true;
    return false;
}

bool ForTree(LuDic *d, bool backward) { return !backward || d->hasBackward; }

// Inserts the item into a tree at its place; the index.  Stored headwords are ordered among
// themselves by the comparer as they stand (a normalised search key sorts before all the
// headwords it matches).
bool InsertItem(LuDic *d, bool backward, DWORD itemPos, const char *headword, LONG *index) {
    Seek s = {d, TreeFlags(backward), headword, 1, 0};
    LuTree *t = LuDic_Tree(d, backward);
    LONG at;
    if (!LuTree_Bound(t, SeekProc, &s, true, &at) || !LuTree_InsertAt(t, at, itemPos)) return false;
    if (index) *index = at;
    return true;
}

bool RemoveItem(LuDic *d, bool backward, DWORD itemPos, LONG *index) {
    LONG at = LuDic_IndexOf(d, backward, itemPos);
    if (index) *index = at;
    return at >= 0 && LuTree_DeleteAt(LuDic_Tree(d, backward), at);
}

// Every field back to its closed state (the trees' cached pages hold vectors).
void Clear(LuDic *d) {
    d->base[0] = 0;
    d->fileId = d->subNo = d->defNo = d->indexKind = 0;
    d->language = 0;
    d->writable = d->hasBackward = 0;
    memset(&d->text, 0, sizeof d->text);
    memset(&d->items, 0, sizeof d->items);
    memset(&d->forward.file, 0, sizeof d->forward.file);
    memset(&d->backward.file, 0, sizeof d->backward.file);
    memset(&d->order, 0, sizeof d->order);
}

bool Fail(LuDic *d) {
    LuDic_Repair(d);
    return false;
}

}  // namespace

bool LuDic_CreateFiles(const char *mainPath, DWORD fileId, DWORD subNo, DWORD defNo, DWORD indexKind,
                       WORD language, bool keepText) {
    char base[MAX_PATH];
    if (!BaseOf(mainPath, base) || subNo >= kMaxSubs) return false;
    std::string text = PathOf(base, "rdt", (DWORD)-1);
    if (!(keepText && GetFileAttributesA(text.c_str()) != INVALID_FILE_ATTRIBUTES) &&
        !LuFile_Create(text.c_str(), fileId, kLuTypeText, 0, 0, 0))
        return false;
    BYTE number = (indexKind == 2 || indexKind == 3) ? (BYTE)subNo : 0;
    if (!LuFile_Create(PathOf(base, "rx", subNo).c_str(), fileId, kLuTypeItems, language, (BYTE)indexKind, number) ||
        !LuFile_Create(PathOf(base, "rn", subNo).c_str(), fileId, kLuTypeForward, (WORD)(defNo & 0xFF), 0, 0))
        return false;
    if (indexKind == 1 || indexKind == 7)
        return LuFile_Create(PathOf(base, "rr", subNo).c_str(), fileId, kLuTypeBackward, (WORD)(defNo & 0xFF), 0, 0);
    return true;
}

bool LuDic_Open(LuDic *d, const char *mainPath, DWORD fileId, DWORD subNo, bool writable, const LuOrder *order) {
    Clear(d);
    if (!BaseOf(mainPath, d->base) || subNo >= kMaxSubs || !order || !order->compare) return false;
    d->fileId = fileId;
    d->subNo = subNo;
    d->writable = writable ? 1 : 0;
    d->order = *order;
    LuTree_Init(&d->forward);
    LuTree_Init(&d->backward);
    BYTE head[kLuHeaderSize];
    std::string items = PathOf(d->base, "rx", subNo);
    if (!LuFile_ReadHeader(items.c_str(), head)) return false;
    d->language = (WORD)(head[32] | (head[33] << 8));
    d->indexKind = head[34];
    if (d->indexKind != 1 && d->indexKind != 7) return false;
    d->hasBackward = 1;
    bool ok = LuFile_Open(&d->text, PathOf(d->base, "rdt", (DWORD)-1).c_str(), fileId, kLuTypeText, writable) &&
              LuFile_Open(&d->items, items.c_str(), fileId, kLuTypeItems, writable) &&
              LuFile_Open(&d->forward.file, PathOf(d->base, "rn", subNo).c_str(), fileId, kLuTypeForward, writable) &&
              LuFile_Open(&d->backward.file, PathOf(d->base, "rr", subNo).c_str(), fileId, kLuTypeBackward, writable);
    if (ok) {
        BYTE tree[kLuHeaderSize];
        ok = LuFile_Read(&d->forward.file, 0, tree, sizeof tree);
        d->defNo = tree[32];
    }
    if (ok && d->text.alloc.busy) {
        if (writable) {
            ok = LuDic_Repair(d);
        } else {
            // Repaired here only when no writer has the set open (else the writer is at work).
            LuDic w;
            if (LuDic_Open(&w, mainPath, fileId, subNo, true, order)) LuDic_Close(&w);
            ok = LuDic_Sync(d);
        }
    }
    if (ok) ok = LuDic_Sync(d);
    if (!ok) LuDic_Close(d);
    return ok;
}

void LuDic_Close(LuDic *d) {
    LuFile_Close(&d->text);
    LuFile_Close(&d->items);
    LuFile_Close(&d->forward.file);
    LuFile_Close(&d->backward.file);
}

bool LuDic_Sync(LuDic *d) {
    return LuFile_Reload(&d->text) && LuFile_Reload(&d->items) && LuTree_Sync(&d->forward) &&
           LuTree_Sync(&d->backward);
}

LuTree *LuDic_Tree(LuDic *d, bool backward) { return backward && d->hasBackward ? &d->backward : &d->forward; }

bool LuDic_ReadItem(LuDic *d, DWORD itemPos, LuItem *out) {
    DWORD size;
    BYTE flag, links;
    if (!LuFile_BlockAt(&d->items, itemPos, &size, &flag, &links) || flag == kLuFreeFlag) return false;
    DWORD room = size - kLuPrefix;
    if (room > FixedSize(d->indexKind) + 3 * 255) room = FixedSize(d->indexKind) + 3 * 255;
    BYTE c[kRec1Size + 3 * 255];
    if (!LuFile_Read(&d->items, itemPos + kLuPrefix, c, room)) return false;
    out->pos = itemPos;
    return ParseItem(d->indexKind, c, room, out);
}

int LuDic_Locate(LuDic *d, const char *key, DWORD flags, bool backward, LONG *index) {
    Seek s = {d, flags | TreeFlags(backward), key, 1, 0};
    LuTree *t = LuDic_Tree(d, backward);
    if (!LuTree_Bound(t, SeekProc, &s, false, index)) return -1;
    LONG count;
    DWORD pos;
    if (!LuTree_Count(t, &count) || *index >= count || !LuTree_KeyAt(t, *index, &pos)) return 0;
    s.withDistance = 0;
    return SeekProc(&s, pos) == 0 ? 1 : 0;
}

LONG LuDic_IndexOf(LuDic *d, bool backward, DWORD itemPos) {
    LuItem it;
    if (!LuDic_ReadItem(d, itemPos, &it)) return -1;
    Seek s = {d, TreeFlags(backward), it.key, 1, it.backDistance};
    LuTree *t = LuDic_Tree(d, backward);
    LONG at;
    LuCursor c;
    if (LuTree_Bound(t, SeekProc, &s, false, &at) && LuTree_Seek(t, at, &c)) {
        DWORD pos;
        while (LuTree_CursorKey(t, &c, &pos)) {
            if (pos == itemPos) return c.index;
            if (SeekProc(&s, pos) != 0 || !LuTree_Step(t, &c, 1)) break;
        }
    }
    // A comparer that does not order its own headwords consistently: the whole leaf chain.
    if (!LuTree_Seek(t, 0, &c)) return -1;
    do {
        DWORD pos;
        if (!LuTree_CursorKey(t, &c, &pos)) return -1;
        if (pos == itemPos) return c.index;
    } while (LuTree_Step(t, &c, 1));
    return -1;
}

bool LuDic_TextLinks(LuDic *d, DWORD textPos, std::vector<DWORD> *items) {
    TextInfo t;
    items->clear();
    if (!ReadTextInfo(&d->text, textPos, &t)) return false;
    for (size_t i = 0; i + kLinkSize <= t.links.size(); i += kLinkSize)
        if (t.links[i] == 1 && t.links[i + 1] == (BYTE)d->subNo) items->push_back(LuGet32(&t.links[i + 4]));
    return true;
}

LONG LuDic_Add(LuDic *d, const LuRecord *rec, const char *text, DWORD textLen, const char *second,
               DWORD secondLen) {
    if (!d->writable || !rec || rec->len[0] == 0 || rec->len[0] > 255 || rec->len[1] > 255 || rec->len[2] > 255)
        return -1;
    if (!SetBusy(d, 1)) return -1;
    DWORD textPos = LuFile_Allocate(&d->text, kHeadSize + textLen + secondLen + kTextLinkRoom * kLinkSize);
    if (!textPos || !WriteText(d, textPos, text, textLen, second, secondLen, {})) return Fail(d), -1;
    std::vector<BYTE> item = ItemBytes(d->indexKind, rec, textPos);
    DWORD itemPos = LuFile_Allocate(&d->items, (DWORD)item.size());
    if (!itemPos || !LuFile_Write(&d->items, itemPos + kLuPrefix, item.data(), (DWORD)item.size()))
        return Fail(d), -1;
    std::string headword(rec->str[0], rec->len[0]);
    LONG index;
    if (!InsertItem(d, false, itemPos, headword.c_str(), &index) ||
        !WriteText(d, textPos, text, textLen, second, secondLen, LinkTo(d, itemPos)) ||
        (d->hasBackward && !InsertItem(d, true, itemPos, headword.c_str(), nullptr)) || !SetBusy(d, 0))
        return Fail(d), -1;
    return index;
}

bool LuDic_Update(LuDic *d, DWORD *itemPos, const LuRecord *rec, const char *text, DWORD textLen,
                  const char *second, DWORD secondLen, LONG *index) {
    LuItem old;
    TextInfo oldText;
    if (!d->writable || !LuDic_ReadItem(d, *itemPos, &old) || !ReadTextInfo(&d->text, old.textPos, &oldText))
        return false;
    if (rec && (rec->len[0] == 0 || rec->len[0] > 255 || rec->len[1] > 255 || rec->len[2] > 255)) return false;
    // A text that items of another sub-dictionary use too is not freed under them: such an entry
    // is not changed here.
    for (size_t i = 0; i + kLinkSize <= oldText.links.size(); i += kLinkSize)
        if (oldText.links[i] == 1 && oldText.links[i + 1] != (BYTE)d->subNo) return false;
    if (!SetBusy(d, 1)) return false;
    // The new text record goes to a block of its own; the old one is freed only once nothing uses it.
    DWORD links = (DWORD)oldText.links.size() / kLinkSize;
    DWORD room = links + 1 > kTextLinkRoom ? links + 1 : kTextLinkRoom;
    DWORD textPos = LuFile_Allocate(&d->text, kHeadSize + textLen + secondLen + room * kLinkSize);
    if (!textPos) return Fail(d);
    // First the text: the new record, linked like the old one, takes over when the items point at
    // it; then the old one goes.
    std::vector<DWORD> users;
    for (size_t i = 0; i + kLinkSize <= oldText.links.size(); i += kLinkSize)
        if (oldText.links[i] == 1 && oldText.links[i + 1] == (BYTE)d->subNo)
            users.push_back(LuGet32(&oldText.links[i + 4]));
    std::vector<BYTE> l = oldText.links;
    if (std::find(users.begin(), users.end(), *itemPos) == users.end()) {
        users.push_back(*itemPos);
        std::vector<BYTE> own = LinkTo(d, *itemPos);
        l.insert(l.end(), own.begin(), own.end());
    }
    if (l.size() > room * kLinkSize) return Fail(d);
    if (!WriteText(d, textPos, text, textLen, second, secondLen, l)) return Fail(d);
    BYTE p[4];
    LuPut32(p, textPos);
    for (DWORD u : users)
        if (!LuFile_Write(&d->items, u + kLuPrefix + TextPosAt(d->indexKind), p, 4)) return Fail(d);
    if (!LuFile_FreeBlock(&d->text, old.textPos)) return Fail(d);
    if (rec) {
        // Then the strings: a new item record, which the text's link makes the entry's.
        std::vector<BYTE> item = ItemBytes(d->indexKind, rec, textPos);
        DWORD newPos = LuFile_Allocate(&d->items, (DWORD)item.size());
        if (!newPos || !LuFile_Write(&d->items, newPos + kLuPrefix, item.data(), (DWORD)item.size()))
            return Fail(d);
        for (size_t i = 0; i + kLinkSize <= l.size(); i += kLinkSize)
            if (l[i] == 1 && l[i + 1] == (BYTE)d->subNo && LuGet32(&l[i + 4]) == *itemPos) LuPut32(&l[i + 4], newPos);
        std::string headword(rec->str[0], rec->len[0]);
        if (!LuFile_Write(&d->text, textPos + kLuPrefix + kHeadSize + textLen + secondLen, l.data(), (DWORD)l.size()) ||
            !RemoveItem(d, false, *itemPos, nullptr) || (d->hasBackward && !RemoveItem(d, true, *itemPos, nullptr)) ||
            !InsertItem(d, false, newPos, headword.c_str(), nullptr) ||
            (d->hasBackward && !InsertItem(d, true, newPos, headword.c_str(), nullptr)) ||
            !LuFile_FreeBlock(&d->items, *itemPos))
            return Fail(d);
        *itemPos = newPos;
    }
    if (!SetBusy(d, 0)) return Fail(d);
    if (index) *index = LuDic_IndexOf(d, false, *itemPos);
    return true;
}

bool LuDic_Delete(LuDic *d, DWORD textPos, LONG *index) {
    std::vector<DWORD> items;
    TextInfo t;
    if (index) *index = -1;
    if (!d->writable || !ReadTextInfo(&d->text, textPos, &t) || !LuDic_TextLinks(d, textPos, &items)) return false;
    bool others = false;
    for (size_t i = 0; i + kLinkSize <= t.links.size(); i += kLinkSize)
        if (t.links[i] == 1 && t.links[i + 1] != (BYTE)d->subNo) others = true;
    if (items.empty()) return false;
    if (!SetBusy(d, 1)) return false;
    for (size_t i = 0; i < items.size(); i++) {
        LONG at;
        if (!RemoveItem(d, false, items[i], &at) || (d->hasBackward && !RemoveItem(d, true, items[i], nullptr)) ||
            !LuFile_FreeBlock(&d->items, items[i]))
            return Fail(d);
        if (i == 0 && index) *index = at;
    }
    // A text that entries of other sub-dictionaries still use stays.
    if ((!others && !LuFile_FreeBlock(&d->text, textPos)) || !SetBusy(d, 0)) return Fail(d);
    return true;
}

bool LuDic_Repair(LuDic *d) {
    if (!d->writable || !LuFile_Reload(&d->text) || !LuFile_Reload(&d->items)) return false;
    d->forward.file.size = d->backward.file.size = 0;
    LuFile_Reload(&d->forward.file);
    LuFile_Reload(&d->backward.file);
    // Text records whose head and blocks fit their block.
    std::vector<DWORD> tpos, tsize;
    std::vector<BYTE> tflag;
    DWORD tend;
    LuFile_Walk(&d->text, &tpos, &tsize, &tflag, &tend);
    std::map<DWORD, size_t> texts;
    std::vector<TextInfo> info(tpos.size());
    for (size_t i = 0; i < tpos.size(); i++)
        if (tflag[i] != kLuFreeFlag && ReadTextInfo(&d->text, tpos[i], &info[i])) texts[tpos[i]] = i;
    std::vector<std::vector<BYTE>> newLinks(tpos.size());
    std::vector<bool> textKeep(tpos.size(), false);
    std::vector<LuItem> mine;
    // Sub-dictionaries whose items this store does not read (index kinds other than 1 and 7): their
    // item files stay as they are, and so does every text they link.
    std::vector<bool> opaque(kMaxSubs, false);
    // Item records of every sub-dictionary of the set that name an intact text record.
    for (DWORD sub = 0; sub < kMaxSubs; sub++) {
        LuFile other;
        LuFile *f = &d->items;
        DWORD kind = d->indexKind;
        if (sub != d->subNo) {
            BYTE head[kLuHeaderSize];
            std::string path = PathOf(d->base, "rx", sub);
            if (!LuFile_ReadHeader(path.c_str(), head)) continue;
            kind = head[34];
            if (kind != 1 && kind != 7) {
                opaque[sub] = true;
                continue;
            }
            // An item file that cannot be opened would lose the texts its items use: no repair.
            if (!LuFile_Open(&other, path.c_str(), d->fileId, kLuTypeItems, true)) return false;
            f = &other;
        }
        std::vector<DWORD> ipos, isize;
        std::vector<BYTE> iflag;
        DWORD iend;
        LuFile_Walk(f, &ipos, &isize, &iflag, &iend);
        std::vector<bool> keep(ipos.size(), false);
        for (size_t i = 0; i < ipos.size(); i++) {
            if (iflag[i] == kLuFreeFlag || (kind != 1 && kind != 7)) continue;
            DWORD room = isize[i] - kLuPrefix;
            if (room > FixedSize(kind) + 3 * 255) room = FixedSize(kind) + 3 * 255;
            BYTE c[kRec1Size + 3 * 255];
            LuItem it;
            if (!LuFile_Read(f, ipos[i] + kLuPrefix, c, room) || !ParseItem(kind, c, room, &it)) continue;
            auto found = texts.find(it.textPos);
            if (found == texts.end() || !Links(info[found->second], sub, ipos[i])) continue;
            keep[i] = true;
            textKeep[found->second] = true;
            std::vector<BYTE> &l = newLinks[found->second];
            BYTE link[kLinkSize] = {1, (BYTE)sub, 0, 0, 0, 0, 0, 0};
            if (sub == d->subNo) link[2] = (BYTE)d->defNo;
            LuPut32(link + 4, ipos[i]);
            l.insert(l.end(), link, link + kLinkSize);
            it.pos = ipos[i];
            if (sub == d->subNo) mine.push_back(it);
        }
        bool ok = LuFile_Rebuild(f, iend, ipos, isize, keep);
        if (f == &other) LuFile_Close(&other);
        if (!ok) return false;
    }
    for (auto &t : texts) {
        const std::vector<BYTE> &links = info[t.second].links;
        for (size_t i = 0; i + kLinkSize <= links.size(); i += kLinkSize)
            if (links[i] == 1 && links[i + 1] < kMaxSubs && opaque[links[i + 1]]) {
                textKeep[t.second] = true;
                newLinks[t.second].insert(newLinks[t.second].end(), links.begin() + i, links.begin() + i + kLinkSize);
            }
    }
    // The links of each kept text record as the items say, as many as its block holds.
    for (size_t i = 0; i < tpos.size(); i++) {
        if (!textKeep[i]) continue;
        const TextInfo &t = info[i];
        DWORD room = (t.size - kLuPrefix - kHeadSize - t.len1 - t.len2) / kLinkSize;
        std::vector<BYTE> &l = newLinks[i];
        if (l.size() > room * kLinkSize) l.resize(room * kLinkSize);
        BYTE count = (BYTE)(l.size() / kLinkSize);
        if ((!l.empty() && !LuFile_Write(&d->text, tpos[i] + kLuPrefix + kHeadSize + t.len1 + t.len2, l.data(),
                                         (DWORD)l.size())) ||
            !LuFile_Write(&d->text, tpos[i] + 9, &count, 1))
            return false;
    }
    if (!LuFile_Rebuild(&d->text, tend, tpos, tsize, textKeep)) return false;
    // Both trees anew from the items.
    for (int backward = 0; backward < 2; backward++) {
        if (!ForTree(d, backward != 0)) continue;
        DWORD flags = TreeFlags(backward != 0);
        std::vector<size_t> order(mine.size());
        for (size_t i = 0; i < order.size(); i++) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            int c = d->order.compare(d->order.ctx, flags, mine[a].key, mine[b].key);
            if (c == 0) c = (int)mine[a].backDistance - (int)mine[b].backDistance;
            if (c == 0) return mine[a].pos < mine[b].pos;
            return c < 0;
        });
        std::vector<DWORD> sorted;
        for (size_t i : order) sorted.push_back(mine[i].pos);
        if (!LuTree_Build(LuDic_Tree(d, backward != 0), sorted)) return false;
    }
    return SetBusy(d, 0);
}
