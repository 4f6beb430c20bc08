// Full-text queries: one pass over every entry of a dictionary in index order, each entry's text
// read and rendered to plain text at most once, and every condition tested on it.
#include <string.h>
#include <string>
#include <vector>
#include "query_int.h"

namespace {

typedef int(WINAPI *RenderPlainProc)(const char *text, int length, char *out, int outSize, int charset);

// The plain-text renderer of the viewer library when the process has loaded it.
RenderPlainProc PlainRenderer() {
    HMODULE m = GetModuleHandleA("Scrivshow.dll");
    return m ? (RenderPlainProc)GetProcAddress(m, MAKEINTRESOURCEA(22)) : nullptr;
}

struct Entry {
    VLDataItem *item;
    bool textRead;
    bool textOk;
    std::string text;
};

// Reads and renders the entry text once per entry.
const std::string *EntryText(DicQuery *q, Entry *e, RenderPlainProc render) {
    if (!e->textRead) {
        e->textRead = true;
        VLData data;
        memset(&data, 0, sizeof data);
        if (Lexicore_ReadEntryTextEx(q->session, e->item, &data) && data.data1) {
            e->textOk = true;
            int n = render ? render(data.data1, (int)data.len1, nullptr, 0, -1) : 0;
            if (render && n > 0) {
                e->text.resize((size_t)n + 1);
                render(data.data1, (int)data.len1, &e->text[0], n + 1, -1);
                e->text.resize((size_t)n);
            } else {
                e->text.assign(data.data1, data.len1);
            }
        }
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
    }
    return e->textOk ? &e->text : nullptr;
}

// The bytes a match of the condition's text can start with, for single-byte text: those whose
// one-byte text the driver finds equal to the condition's text over its first character.  A
// match over the whole length starts with such a byte (the driver's compare goes character by
// character from the start).  Empty (every byte a candidate) for double-byte text, or when the
// key's own first byte is not among them.
struct Starts {
    bool use = false;
    bool byte[256];
};

Starts StartBytes(DicQuery *q, const LexicoreCondition &c) {
    Starts st;
    DicSession *s = q->session;
    if (c.textLen == 0 || LcQuery_IsLead(s, 0x81) || LcQuery_IsLead(s, 0xA1) || LcQuery_IsLead(s, 0xE0)) return st;
    for (int b = 0; b < 256; b++) {
        char one[2] = {(char)b, 0};
        st.byte[b] = b != 0 && Lc_Compare(s, q->flags, c.text, one, 1) == 0;
    }
    st.use = st.byte[(unsigned char)c.text[0]];
    return st;
}

// The driver's compare of the condition's text at position i of the text, given the part a match
// can lie in (the compare reads the whole text it is given): the key's length four times over and
// 64 bytes more (room for ignored characters).
bool MatchAt(DicQuery *q, const char *text, size_t n, size_t i, const LexicoreCondition &c, std::string *window) {
    size_t len = (size_t)c.textLen;
    if (n - i < len) return false;
    const char *at = text + i;
    const size_t reach = 4 * len + 64;
    if (n - i > reach) {
        window->assign(at, reach);
        at = window->c_str();
    }
    return Lc_Compare(q->session, q->flags, c.text, at, (int)len) == 0;
}

// The condition's text at some character position of the text (not inside a double-byte
// character), compared by the driver over the condition's length.
bool Contains(DicQuery *q, const char *text, size_t n, const LexicoreCondition &c, const Starts *starts) {
    DicSession *s = q->session;
    if ((int)c.textLen <= 0) return true;
    std::string window;
    for (size_t i = 0; i < n;) {
        if (starts && starts->use && !starts->byte[(unsigned char)text[i]]) {
            i++;
            continue;
        }
        if (MatchAt(q, text, n, i, c, &window)) return true;
        i += (LcQuery_IsLead(s, (unsigned char)text[i]) && i + 1 < n) ? 2 : 1;
    }
    return false;
}

// The fold of a single-byte text under the query's compare flags, learnt from the driver once per
// condition: bytes the driver finds equal one against the other fold to the same byte, so the
// folded key lies in the folded text wherever the driver would find it.  Bytes whose compare
// depends on their neighbours (ignored ones, ones written as two letters, ones equal to more than
// one class) are marked odd: an entry text holding one goes to the driver position by position.
// Each place the folded search finds is still confirmed by the driver, so the search only decides
// where the driver is asked.
struct Fold {
    bool use = false;
    unsigned char map[256];
    bool odd[256];
    std::string key;
};

int Cmp(DicQuery *q, const char *a, const char *b, int n) { return Lc_Compare(q->session, q->flags, a, b, n); }

Fold MakeFold(DicQuery *q, const LexicoreCondition &c, const Starts &st) {
    Fold f;
    DicSession *s = q->session;
    if (!st.use || c.textLen == 0 || (q->flags & 0x8000) || !s->comparer) return f;
    std::vector<int> reps;
    for (int b = 1; b < 256; b++) {
        char one[2] = {(char)b, 0};
        int found = -1;
        f.odd[b] = false;
        for (int r : reps) {
            char other[2] = {(char)r, 0};
            if (Cmp(q, other, one, 1) == 0 && Cmp(q, one, other, 1) == 0) {
                if (found >= 0) f.odd[b] = true;
                found = r;
            }
        }
        if (found < 0) {
            reps.push_back(b);
            found = b;
        }
        f.map[b] = (unsigned char)found;
        // Ignored between two letters, or compared as more than one letter.
        char az[3] = {'a', (char)b, 'z'}, aq[3] = {'a', (char)b, 'q'};
        char bz[3] = {(char)b, 'z', 0}, rz[3] = {(char)found, 'z', 0};
        char bq[3] = {(char)b, 'q', 0}, rq[3] = {(char)found, 'q', 0};
        std::string taz(az, 3), taq(aq, 3);
        if ((Cmp(q, "az", taz.c_str(), 2) == 0 && Cmp(q, "aq", taq.c_str(), 2) == 0) || Cmp(q, one, bz, 2) == 0 ||
            Cmp(q, one, bq, 2) == 0 || Cmp(q, bz, rz, 2) != 0 ||
            Cmp(q, rz, bz, 2) != 0 || Cmp(q, bq, rq, 2) != 0 || Cmp(q, rq, bq, 2) != 0)
            f.odd[b] = true;
    }
    f.map[0] = 0;
    f.odd[0] = true;
    std::string key(c.text, c.textLen);
    for (size_t i = 0; i < key.size(); i++) {
        unsigned char b = (unsigned char)key[i];
        if (f.odd[b]) return f;
        key[i] = (char)f.map[b];
    }
    // The driver must find the key where the text holds it and goes on with anything.
    const char *tails[] = {"qz", " x", ".", "\r\n"};
    for (const char *t : tails) {
        std::string text = std::string(c.text, c.textLen) + t;
        if (Cmp(q, c.text, text.c_str(), (int)c.textLen) != 0) return f;
    }
    f.key = key;
    f.use = true;
    return f;
}

// The condition's text in the text: through the fold when the text holds no odd byte, by the
// driver at every position otherwise.
bool FoldedContains(DicQuery *q, const char *text, size_t n, const LexicoreCondition &c, const Starts *starts,
                    const Fold &f, std::string *folded) {
    folded->resize(n);
    for (size_t i = 0; i < n; i++) {
        unsigned char b = (unsigned char)text[i];
        if (f.odd[b]) return Contains(q, text, n, c, starts);
        (*folded)[i] = (char)f.map[b];
    }
    const size_t len = f.key.size();
    const char first = f.key[0];
    std::string window;
    const char *base = folded->data();
    for (size_t i = 0; i + len <= n;) {
        const char *hit = (const char *)memchr(base + i, first, n - len - i + 1);
        if (!hit) break;
        i = (size_t)(hit - base);
        if (memcmp(hit, f.key.data(), len) == 0 && MatchAt(q, text, n, i, c, &window)) return true;
        i++;
    }
    return false;
}

bool Shared(DWORD field, DWORD value) { return (field & value) != 0; }

bool Test(DicQuery *q, const LexicoreCondition &c, Entry *e, RenderPlainProc render, const Starts *starts,
          const Fold *fold, std::string *folded) {
    const VLDataItem *item = e->item;
    DWORD headerFlags = q->session->fileRecord->headerFlags;
    bool bitwise = false;
    bool r = false;
    switch (c.kind) {
    case 1: {
        const char *hw = item->headword ? item->headword : "";
        if (c.pattern)
            r = LcWild_Match((const LcPattern *)c.pattern, hw, (int)strlen(hw));
        else
            r = Contains(q, hw, strlen(hw), c, starts);
        break;
    }
    case 8: {
        const std::string *t = EntryText(q, e, render);
        if (t && fold->use)
            r = FoldedContains(q, t->data(), t->size(), c, starts, *fold, folded);
        else
            r = t && Contains(q, t->data(), t->size(), c, starts);
        break;
    }
    case 16: r = (DWORD)(item->headword ? strlen(item->headword) : 0) == c.value; break;
    case 32:
        bitwise = (headerFlags & 0x1000000) != 0;
        r = bitwise ? Shared(item->indexValue, c.value) : item->indexValue == c.value;
        break;
    case 64:
        bitwise = (headerFlags & 0x2000000) != 0;
        if (c.value == (DWORD)-1)
            r = item->indexValue16a != 0;
        else
            r = bitwise ? Shared(item->indexValue16a, c.value) : item->indexValue16a == c.value;
        break;
    case 128: {
        DWORD v = item->indexValue16b;
        bitwise = (headerFlags & 0x4000000) != 0;
        r = bitwise ? Shared(v, c.value) : v == c.value;
        if (!r && item->head.fileId == 4236) {
            DWORD lo = v & 0xFF, hi = v >> 8;
            auto either = [lo, hi](DWORD a, DWORD b, DWORD d) {
                return lo == a || lo == b || lo == d || hi == a || hi == b || hi == d;
            };
            r = lo == c.value || hi == c.value || (c.value == '*' && either(3, 13, 23)) ||
                (c.value == '+' && either(18, 30, 40)) || (c.value == ',' && either(6, 18, 25));
        }
        break;
    }
    case 256:
        bitwise = (item->entryLink & 4) != 0;
        r = bitwise ? Shared(item->indexByte, c.value) : item->indexByte == c.value;
        break;
    default: r = false;
    }
    return c.negate ? !r : r;
}

}  // namespace

extern "C" int WINAPI Lexicore_RunFullTextQuery(DicQuery *query, LexicoreCondition *conditions, int count,
                                                BOOL matchAll, DWORD flags, LexicoreProgressProc progress,
                                                void *user) {
    if (!query || !query->session || !query->session->subDic || !query->list || !conditions || count <= 0)
        return 0;
    DicSession *s = query->session;
    if (s->subDic->indexKind == 8) return 0;
    LONG total = Lexicore_GetEntryCount(s->subDic->dicId, 0);
    if (total <= 0) return 0;
    query->flags = flags;
    int result = 0;
    for (int i = 0; i < count; i++) {
        conditions[i].pattern = nullptr;
        if (conditions[i].textLen > 255) conditions[i].textLen = 255;
        conditions[i].text[conditions[i].textLen] = 0;
        if (conditions[i].kind == 1 && LcWild_HasWildcard(s, conditions[i].text)) {
            conditions[i].pattern = LcWild_Compile(s, conditions[i].text);
            if (!conditions[i].pattern) result = 3;
        }
    }
    std::vector<Starts> starts;
    std::vector<Fold> folds;
    for (int i = 0; i < count; i++) {
        starts.push_back(StartBytes(query, conditions[i]));
        folds.push_back(conditions[i].kind == 8 ? MakeFold(query, conditions[i], starts[i]) : Fold());
    }
    std::string folded;
    RenderPlainProc render = PlainRenderer();
    int previous = Lexicore_SelectIndex(s, 0);
    int lastMille = -1;
    for (LONG n = 0; result == 0 && n < total; n++) {
        Entry e = {Lexicore_GetItem(s, n), false, false, std::string()};
        if (!e.item) continue;  // a damaged entry is passed over
        bool hit = matchAll != 0;
        for (int i = 0; i < count; i++) {
            bool t = Test(query, conditions[i], &e, render, &starts[i], &folds[i], &folded);
            if (matchAll && !t) {
                hit = false;
                break;
            }
            if (!matchAll && t) {
                hit = true;
                break;
            }
        }
        int r = hit ? LcQuery_Add(query, e.item, query->baseScore << 16) : LEXICORE_ITEM_SKIP;
        int mille = (int)((LONGLONG)n * 1000 / total);
        bool stop = r == LEXICORE_ITEM_FULL;
        if (progress && mille != lastMille && mille != 1000) {
            lastMille = mille;
            if (!progress(e.item, mille, user)) stop = true;
        }
        VLDataItem_Destroy(e.item);
        if (stop) break;
    }
    Lexicore_SelectIndex(s, previous);
    for (int i = 0; i < count; i++) {
        LcWild_Free((LcPattern *)conditions[i].pattern);
        conditions[i].pattern = nullptr;
    }
    if (result == 3) return 3;
    return VLWordList_Count(query->list) > 0 ? 1 : 0;
}
