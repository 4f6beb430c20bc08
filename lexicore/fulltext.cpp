// Full-text queries: one pass over every entry of a dictionary in index order, each entry's text
// read and rendered to plain text at most once, and every condition tested on it.
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

// The condition's text at some character position of the text (not inside a double-byte
// character), compared by the driver over the condition's length.
bool Contains(DicQuery *q, const char *text, size_t n, const LexicoreCondition &c, const Starts *starts) {
    DicSession *s = q->session;
    int len = (int)c.textLen;
    if (len <= 0) return true;
    std::string key(c.text, (size_t)len), window;
    // The driver's compare reads the whole text it is given: it gets the part a match can lie in,
    // the key's length four times over and 64 bytes more (room for ignored characters).
    const size_t reach = 4 * (size_t)len + 64;
    for (size_t i = 0; i < n;) {
        if (starts && starts->use && !starts->byte[(unsigned char)text[i]]) {
            i++;
            continue;
        }
        const char *at = text + i;
        if (n - i > reach) {
            window.assign(at, reach);
            at = window.c_str();
        }
        if (n - i >= (size_t)len && Lc_Compare(s, q->flags, key.c_str(), at, len) == 0) return true;
        i += (LcQuery_IsLead(s, (unsigned char)text[i]) && i + 1 < n) ? 2 : 1;
    }
    return false;
}

bool Shared(DWORD field, DWORD value) { return (field & value) != 0; }

bool Test(DicQuery *q, const LexicoreCondition &c, Entry *e, RenderPlainProc render, const Starts *starts) {
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
    for (int i = 0; i < count; i++) starts.push_back(StartBytes(query, conditions[i]));
    RenderPlainProc render = PlainRenderer();
    int previous = Lexicore_SelectIndex(s, 0);
    int lastMille = -1;
    for (LONG n = 0; result == 0 && n < total; n++) {
        Entry e = {Lexicore_GetItem(s, n), false, false, std::string()};
        if (!e.item) continue;  // a damaged entry is passed over
        bool hit = matchAll != 0;
        for (int i = 0; i < count; i++) {
            bool t = Test(query, conditions[i], &e, render, &starts[i]);
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
