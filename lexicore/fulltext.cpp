// Full-text queries: one pass over every entry of a dictionary in index order (a book's entries in
// the order its search gives them), every condition tested on each entry.
//
// Entry texts are searched without the driver's comparer: each text is folded once by a table
// learnt from the driver under the query's flags (bytes the driver finds equal fold to one byte,
// letters it reads as two are written as two, bytes it ignores are dropped), the folded key is
// searched in the folded text, and only the places found are handed to the driver, which decides.
// Double-byte text is folded character by character, each class of characters the driver finds
// equal written as two bytes.  An entry holding a byte (a character) the table cannot stand for
// goes to the driver position by position.  The folded texts of a static dictionary or a book are
// kept for the next query with the same flags (the files do not change under an open catalogue);
// they are made in blocks of entries, read and folded side by side, while the walk, its progress
// and its stops go on in entry order.
#include <string.h>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include "query_int.h"

namespace {

typedef int(WINAPI *RenderPlainProc)(const char *text, int length, char *out, int outSize, int charset);

// The plain-text renderer of the viewer library when the process has loaded it.
RenderPlainProc PlainRenderer() {
    HMODULE m = GetModuleHandleA("Scrivshow.dll");
    return m ? (RenderPlainProc)GetProcAddress(m, MAKEINTRESOURCEA(22)) : nullptr;
}

// The entry text of the item as plain text; false when it cannot be read.
bool ReadPlain(DicSession *s, const VLDataItem *item, RenderPlainProc render, std::string *out) {
    VLData data;
    memset(&data, 0, sizeof data);
    bool ok = false;
    if (Lexicore_ReadEntryTextEx(s, item, &data) && data.data1) {
        ok = true;
        int n = 0;
        if (render) {
            // One call with room to spare; a second only when the plain text is longer.
            out->resize((size_t)data.len1 + 64);
            n = render(data.data1, (int)data.len1, &(*out)[0], (int)out->size(), -1);
            if (n >= (int)out->size()) {
                out->resize((size_t)n + 1);
                n = render(data.data1, (int)data.len1, &(*out)[0], n + 1, -1);
            }
        }
        if (n > 0)
            out->resize((size_t)n);
        else
            out->assign(data.data1, data.len1);
    }
    VLMem_Free(data.data1);
    VLMem_Free(data.data2);
    return ok;
}

// ---- The fold learnt from the driver ------------------------------------------------------------

// For single-byte text: what each byte is written as in the folded text (len 0: the driver ignores
// it; 2: the driver reads it as two letters, such as the sharp s and the oe ligature).  Odd bytes
// are compared with regard to their neighbours in a way the table does not follow.
//
// For double-byte text (wide): the session's lead bytes, and for each character (a single byte b
// at b, a lead byte and its trail at lead << 8 | trail) its class, written as two bytes that are
// never 0, or kIgnored (written as nothing), kOddChar, or kNul (the terminator, written as two 0s).
struct Fold {
    bool use = false;
    BYTE len[256] = {};
    BYTE out[256][2] = {};
    bool odd[256] = {};
    bool wide = false;
    bool lead[256] = {};
    std::vector<uint16_t> wideClass;
};

const uint16_t kIgnored = 0, kOddChar = 0xFFFF, kNul = 0xFFFE;

bool IsDoubleByte(DicSession *s) {
    return LcQuery_IsLead(s, 0x81) || LcQuery_IsLead(s, 0xA1) || LcQuery_IsLead(s, 0xE0);
}

// ---- The fold of double-byte text ---------------------------------------------------------------
//
// Learnt from the driver under the query's flags.  Every character the session splits a text into
// is sorted by the driver's compare (an order: n log n compares at most, about half that where the
// codes are mostly in its order already), and each run of equal ones is a class; the run equal to
// the empty text holds the characters the driver ignores, each of them checked between letters
// and at both ends.  A character whose reading depends on the one before it (a long-vowel mark
// read as the vowel of the kana before it, a half-width sound mark that merges into the kana
// before it) is odd: after another character it must keep its place in the order.  That is
// checked for every single byte after every single byte (merges are of bytes), and for the whole
// order after the letter a and after every eighth half-width letter from 0xA1 (a reading that
// depends on its neighbour depends on the kind of the neighbour, a letter or a kana, and the
// half-width kana read as the full-width ones).  A text that holds an odd character goes to the
// driver position by position.  Learning asks the driver some 250,000 to 350,000 times (a quarter
// to two thirds of a second under Wine).

// A character as text.
std::string CharText(uint32_t code) {
    if (code < 256) return std::string(1, (char)code);
    return std::string{(char)(code >> 8), (char)(code & 0xFF)};
}

struct WideLearner {
    DicSession *s;
    DWORD flags;
    std::vector<uint32_t> order;    // the characters in the driver's order
    std::vector<uint32_t> classOf;  // per place in the order: its class
    std::vector<uint32_t> first;    // per class: its first place in the order
    std::vector<int32_t> at;        // per character: its place in the order (-1: not learnt)
    std::vector<bool> odd;          // per character

    int Cmp(const std::string &a, const std::string &b) const {
        return Lc_Compare(s, flags, a.c_str(), b.c_str(), 0);
    }
    std::string Rep(uint32_t k) const { return CharText(order[first[k]]); }

    // Merge sort by the driver's compare (it ends whatever the driver answers).
    void Sort() {
        std::vector<uint32_t> buf(order.size());
        const size_t n = order.size();
        for (size_t w = 1; w < n; w *= 2) {
            for (size_t lo = 0; lo < n; lo += 2 * w) {
                size_t mid = std::min(lo + w, n), hi = std::min(lo + 2 * w, n), i = lo, j = mid, k = lo;
                while (i < mid && j < hi)
                    buf[k++] = Cmp(CharText(order[j]), CharText(order[i])) < 0 ? order[j++] : order[i++];
                while (i < mid) buf[k++] = order[i++];
                while (j < hi) buf[k++] = order[j++];
            }
            order.swap(buf);
        }
    }

    // True when the character after the text before reads as it reads alone: equal to its
    // class's first character and between the classes beside its own, each after the same text.
    bool InSlot(const std::string &before, uint32_t code) const {
        const uint32_t k = classOf[(size_t)at[code]];
        const std::string t = before + CharText(code);
        if (order[first[k]] != code && Cmp(t, before + Rep(k)) != 0) return false;
        if (k > 0 && Cmp(t, before + Rep(k - 1)) <= 0) return false;
        if (k + 1 < first.size() && Cmp(t, before + Rep(k + 1)) >= 0) return false;
        return true;
    }

    // Over the whole order after the text before: each neighbour pair as alone (equal within a
    // class, less across); the characters of a pair that is not are tried in their slots.
    void CheckAfter(const std::string &before) {
        for (size_t i = 1; i < order.size(); i++) {
            int want = classOf[i - 1] == classOf[i] ? 0 : -1;
            int got = Cmp(before + CharText(order[i - 1]), before + CharText(order[i]));
            if ((got < 0 ? -1 : got > 0) == want) continue;
            bool a = !InSlot(before, order[i - 1]), b = !InSlot(before, order[i]);
            odd[order[i - 1]] = odd[order[i - 1]] || a || !b;
            odd[order[i]] = odd[order[i]] || b || !a;
        }
    }
};

Fold LearnWideFold(DicSession *s, DWORD flags) {
    Fold f;
    f.wide = true;
    for (int b = 0; b < 256; b++) f.lead[b] = LcQuery_IsLead(s, (BYTE)b);
    WideLearner w{s, flags, {}, {}, {}, std::vector<int32_t>(65536, -1), std::vector<bool>(65536, false)};
    // Every single byte (a lead byte is one only at a text's end) and every pair with a trail from
    // 0x40 to 0xFE; other pairs are odd.
    for (uint32_t b = 1; b < 256; b++) w.order.push_back(b);
    for (uint32_t l = 0x81; l < 256; l++)
        if (f.lead[l])
            for (uint32_t t = 0x40; t < 0xFF; t++) w.order.push_back(l << 8 | t);
    w.Sort();
    for (size_t i = 0; i < w.order.size(); i++) {
        if (i == 0 || w.Cmp(CharText(w.order[i - 1]), CharText(w.order[i])) != 0) w.first.push_back((uint32_t)i);
        w.classOf.push_back((uint32_t)w.first.size() - 1);
        w.at[w.order[i]] = (int32_t)i;
    }
    const bool ignores = w.Cmp("", w.Rep(0)) == 0;
    // Ignored: also between letters, at the start and at the end.
    for (size_t i = 0; ignores && i < w.order.size() && w.classOf[i] == 0; i++) {
        const uint32_t c = w.order[i];
        const std::string t = CharText(c);
        bool ok = w.Cmp("a" + t, "a") == 0;
        if (!(c < 256 && f.lead[c])) ok = ok && w.Cmp("a" + t + "z", "az") == 0 && w.Cmp(t + "z", "z") == 0;
        if (!ok) w.odd[c] = true;
    }
    // After single bytes: each single byte in its slot.
    std::vector<uint32_t> singles;
    for (uint32_t b = 1; b < 256; b++)
        if (!f.lead[b]) singles.push_back(b);
    for (uint32_t p : singles)
        for (uint32_t y : singles)
            if (!w.InSlot(CharText(p), y)) w.odd[y] = true;
    // After a and every eighth half-width letter: the whole order.
    std::vector<bool> seen(w.first.size(), false);
    for (uint32_t p : singles) {
        const uint32_t k = w.classOf[(size_t)w.at[p]];
        if (!(p == 'a' || (p >= 0xA1 && p % 8 == 1)) || seen[k] || (ignores && k == 0) || w.odd[p]) continue;
        seen[k] = true;
        w.CheckAfter(CharText(p));
    }
    f.wideClass.assign(65536, kOddChar);
    for (size_t i = 0; i < w.order.size(); i++) {
        const uint32_t c = w.order[i], k = w.classOf[i];
        f.wideClass[c] = w.odd[c] ? kOddChar : (ignores && k == 0) ? kIgnored : (uint16_t)(k + 1);
    }
    f.wideClass[0] = kNul;
    f.use = true;
    return f;
}

Fold LearnFold(DicSession *s, DWORD flags) {
    Fold f;
    if (!s->comparer) return f;
    if (IsDoubleByte(s)) return LearnWideFold(s, flags);
    const DWORD fl = flags;
    auto cmp = [&](const std::string &a, const std::string &b, int n) {
        return Lc_Compare(s, fl, a.c_str(), b.c_str(), n);
    };
    std::vector<int> reps;
    for (int b = 1; b < 256; b++) {
        const std::string one(1, (char)b);
        f.odd[b] = false;
        f.len[b] = 1;
        f.out[b][0] = (BYTE)b;
        f.out[b][1] = 0;
        // Dropped between letters and at the start.
        if (cmp("az", "a" + one + "z", 2) == 0 && cmp("aq", "a" + one + "q", 2) == 0 &&
            cmp("a" + one + "z", "az", 3) == 0 && cmp("z", one + "z", 1) == 0) {
            f.len[b] = 0;
            continue;
        }
        int found = -1;
        for (int r : reps) {
            const std::string other(1, (char)r);
            if (cmp(other, one, 1) == 0 && cmp(one, other, 1) == 0) {
                if (found >= 0) f.odd[b] = true;
                found = r;
            }
        }
        if (found >= 0) {
            // Equal to a letter of its own length: so must it be beside other letters.
            f.out[b][0] = f.out[found][0];
            f.out[b][1] = f.out[found][1];
            f.len[b] = f.len[found];
            f.odd[b] = f.odd[b] || f.odd[found];
            const std::string r(1, (char)found);
            for (const char *next : {"z", "q"})
                if (cmp(one + next, r + next, 2) != 0 || cmp(r + next, one + next, 2) != 0) f.odd[b] = true;
            continue;
        }
        reps.push_back(b);
        // A letter of its own, or two letters in one byte: a letter that is the start of it.
        int first = -1;
        for (int r : reps)
            if (r != b && cmp(std::string(1, (char)r), one, 1) == 0) {
                first = r;
                break;
            }
        if (first < 0) {
            for (const char *next : {"z", "q"})
                if (cmp(one + next, one + next, 2) != 0 || cmp(one, one + next, 2) == 0) f.odd[b] = true;
            continue;
        }
        f.odd[b] = true;
        for (int r : reps) {
            if (r == b) continue;
            const std::string two = std::string(1, (char)first) + (char)r;
            if (cmp(two, one, 2) == 0 && cmp(one, two, 1) == 0 && cmp(one + "z", two + "z", 2) == 0 &&
                cmp(two + "z", one + "z", 3) == 0 && cmp(one + "q", two + "q", 2) == 0) {
                f.len[b] = 2;
                f.out[b][0] = (BYTE)first;
                f.out[b][1] = (BYTE)r;
                f.odd[b] = false;
                break;
            }
        }
    }
    // The terminator separates texts: nothing folds onto it and no key holds it.
    f.len[0] = 1;
    f.out[0][0] = 0;
    f.odd[0] = false;
    f.use = true;
    return f;
}

// The learnt tables, one for each comparer and flags (learning asks the driver some ten thousand
// times).
struct Learnt {
    FARPROC comparer;
    DWORD flags;
    BYTE charset;  // (one comparer can serve languages of single- and double-byte charsets)
    std::shared_ptr<const Fold> fold;
};
std::mutex g_learntLock;
std::vector<Learnt> g_learnt;

std::shared_ptr<const Fold> FoldOf(DicSession *s, DWORD flags) {
    // From the end the driver's stages weigh a text's end in ways a table of bytes does not
    // follow: those compares stay the driver's alone.
    if (!s->comparer || (flags & 0x8000)) return std::make_shared<const Fold>();
    const BYTE charset = s->subDic ? (BYTE)s->subDic->charset : 0;
    std::lock_guard<std::mutex> hold(g_learntLock);
    for (const Learnt &l : g_learnt)
        if (l.comparer == s->comparer && l.flags == flags && l.charset == charset) return l.fold;
    g_learnt.push_back({s->comparer, flags, charset, std::make_shared<const Fold>(LearnFold(s, flags))});
    return g_learnt.back().fold;
}

// The length of the character at position i of double-byte text.
size_t CharLength(const Fold &f, const char *text, size_t n, size_t i) {
    return f.lead[(BYTE)text[i]] && i + 1 < n ? 2 : 1;
}

// The class of the character at position i of double-byte text.
uint16_t CharClass(const Fold &f, const char *text, size_t n, size_t i) {
    const BYTE b = (BYTE)text[i];
    return f.wideClass[CharLength(f, text, n, i) == 2 ? (uint32_t)b << 8 | (BYTE)text[i + 1] : b];
}

bool FoldWide(const Fold &f, const char *text, size_t n, std::string *out, std::vector<uint32_t> *pos) {
    for (size_t i = 0; i < n;) {
        const size_t step = CharLength(f, text, n, i);
        const uint16_t k = CharClass(f, text, n, i);
        if (k == kOddChar) return false;
        if (k != kIgnored) {
            out->push_back(k == kNul ? 0 : (char)(1 + k / 255));
            out->push_back(k == kNul ? 0 : (char)(1 + k % 255));
            if (pos) pos->insert(pos->end(), 2, (uint32_t)i);
        }
        i += step;
    }
    return true;
}

// Appends the fold of the text; false at an odd byte (character).  pos, when given, receives for
// each folded byte the position of the byte (character) it comes from.
bool FoldText(const Fold &f, const char *text, size_t n, std::string *out, std::vector<uint32_t> *pos) {
    if (f.wide) return FoldWide(f, text, n, out, pos);
    for (size_t i = 0; i < n; i++) {
        BYTE b = (BYTE)text[i];
        if (f.odd[b]) return false;
        for (int k = 0; k < f.len[b]; k++) {
            out->push_back((char)f.out[b][k]);
            if (pos) pos->push_back((uint32_t)i);
        }
    }
    return true;
}

// ---- The driver at one position ---------------------------------------------------------------------

// The bytes a match of the condition's text can start with, for single-byte text: those whose
// one-byte text the driver finds equal to the condition's text over its first character.  Empty
// (every byte a candidate) for double-byte text, for a compare from the end (which looks at the
// key's last character), or when the key's own first byte is not among them.
struct Starts {
    bool use = false;
    bool byte[256];
};

Starts StartBytes(DicQuery *q, const LexicoreCondition &c) {
    Starts st;
    DicSession *s = q->session;
    if (c.textLen == 0 || IsDoubleByte(s) || (q->flags & 0x8000)) return st;  // (from the end: its last)
    for (int b = 0; b < 256; b++) {
        char one[2] = {(char)b, 0};
        st.byte[b] = b != 0 && Lc_Compare(s, q->flags, c.text, one, 1) == 0;
    }
    st.use = st.byte[(unsigned char)c.text[0]];
    return st;
}

// The bytes of the character at position i of the text as the session's charset reads it (a lead
// byte at the text's end is one by itself).
size_t CharBytes(DicSession *s, const char *text, size_t n, size_t i) {
    return LcQuery_IsLead(s, (BYTE)text[i]) && i + 1 < n ? 2 : 1;
}

// Whether the driver counts a compare's length in characters (a lead and a trail byte being one),
// as the double-byte drivers do, rather than in bytes: one double-byte character followed by more
// text is then unequal to it over two.
bool CountsCharacters(DicSession *s, DWORD flags) {
    if (!IsDoubleByte(s)) return false;
    const char *one;
    switch (s->subDic->charset) {
    case 136: one = "\xa4\xa4"; break;
    case 134: one = "\xd6\xd0"; break;
    case 129: one = "\xb0\xa1"; break;
    default: one = "\x82\xa0"; break;
    }
    const std::string longer = std::string(one) + "ab";
    return Lc_Compare(s, flags, one, longer.c_str(), 1) == 0 &&
           Lc_Compare(s, flags, one, longer.c_str(), 2) != 0;
}

// The length the driver's compare is given for the condition's text: its bytes, or its characters
// for a driver that counts them.
int CompareLength(DicSession *s, bool characters, const char *key, size_t n) {
    if (!characters) return (int)n;
    int chars = 0;
    for (size_t i = 0; i < n; i += CharBytes(s, key, n, i)) chars++;
    return chars;
}

// The driver's compare of the condition's text at position i of the text.  The compare reads the
// whole text it is given, so it is given the part a match can lie in: span bytes (what the folded
// search found) or the key's length four times over, and 64 bytes more for ignored characters.  A
// compare from the end looks at the text's end and is given all of it.
bool MatchAt(DicQuery *q, const char *text, size_t n, size_t i, const LexicoreCondition &c, int length,
             size_t span, std::string *window) {
    size_t len = (size_t)c.textLen;
    if (n - i < len) return false;
    const char *at = text + i;
    size_t reach = std::max(4 * len, span) + 64;
    if (!(q->flags & 0x8000) && n - i > reach) {
        window->assign(at, reach);
        at = window->c_str();
    }
    return Lc_Compare(q->session, q->flags, c.text, at, length) == 0;
}

// The condition's text at some character position of the text (not inside a double-byte
// character), compared by the driver over the condition's length.  From the end the driver sees
// the text's end from every position: the positions of the last stretch a match can lie in are
// tried, and the whole text once for all before them.
bool Contains(DicQuery *q, const char *text, size_t n, const LexicoreCondition &c, int length,
              const Starts *starts) {
    DicSession *s = q->session;
    if ((int)c.textLen <= 0) return true;
    std::string window;
    size_t from = 0;
    if (q->flags & 0x8000) {
        size_t reach = 4 * (size_t)c.textLen + 64;
        if (n > reach) {
            if (MatchAt(q, text, n, 0, c, length, 0, &window)) return true;
            from = n - reach;
        }
    }
    for (size_t i = 0; i < n; i += CharBytes(s, text, n, i)) {
        if (i >= from && !(starts && starts->use && !starts->byte[(unsigned char)text[i]]) &&
            MatchAt(q, text, n, i, c, length, 0, &window))
            return true;
    }
    return false;
}

// Each place the folded key lies in the folded text, to the driver at the byte it comes from (and at
// the ignored bytes just before it).  When the text holds an odd byte, every position.
bool FoldedContains(DicQuery *q, const char *text, size_t n, const LexicoreCondition &c, int length,
                    const Fold &f, const std::string &key, const Starts *starts) {
    std::string folded;
    std::vector<uint32_t> pos;
    folded.reserve(n + 16);
    pos.reserve(n + 16);
    if (!FoldText(f, text, n, &folded, &pos)) return Contains(q, text, n, c, length, starts);
    std::string window;
    const size_t len = key.size();
    for (size_t j = folded.find(key); j != std::string::npos; j = folded.find(key, j + 1)) {
        if (f.wide && (j & 1)) continue;  // inside a character's two bytes
        size_t p = pos[j], end = (size_t)pos[j + len - 1] + 1, first = p;
        if (f.wide) {
            end = (size_t)pos[j + len - 1] + CharLength(f, text, n, pos[j + len - 1]);
            first = j ? pos[j - 1] + CharLength(f, text, n, pos[j - 1]) : 0;
        }
        while (!f.wide && first > 0 && f.len[(BYTE)text[first - 1]] == 0) first--;
        if (MatchAt(q, text, n, p, c, length, end - p, &window)) return true;
        for (size_t i = first; i < p; i += f.wide ? CharLength(f, text, n, i) : 1)
            if (MatchAt(q, text, n, i, c, length, end - i, &window)) return true;
    }
    return false;
}

// ---- The entries: walked or listed ----------------------------------------------------------------

struct Source {
    DicSession *s = nullptr;
    bool listed = false;  // a book: the items its search gives, each text once
    std::vector<VLDataItem *> items;
    LONG total = 0;
    ~Source() {
        for (VLDataItem *i : items) VLDataItem_Destroy(i);
    }
    VLDataItem *Get(LONG n) const {
        if (listed) return n >= 0 && n < (LONG)items.size() ? VLDataItem_Dup(items[n]) : nullptr;
        return Lexicore_GetItem(s, n);
    }
    // Items [a, b) into out.
    void GetRun(LONG a, LONG b, VLDataItem **out) const {
        if (listed)
            for (LONG n = a; n < b; n++) out[n - a] = Get(n);
        else
            Lc_GetItems(s, a, b - a, out);
    }
};

int CALLBACK CollectProc(VLDataItem *item, int, void *user) {
    Source *src = (Source *)user;
    VLDataItem *copy = VLDataItem_Dup(item);
    if (!copy) return LEXICORE_ITEM_STOP;
    src->items.push_back(copy);
    return LEXICORE_ITEM_SKIP;
}

// A book's entries: its search with an empty key, each entry text once (its index trees may name
// an entry under more than one key), in the order the search gives them.
void ListBook(Source *src) {
    Lexicore_Search(src->s, "", 0x9000000, CollectProc, src);
    std::unordered_set<DWORD> seen;
    std::vector<VLDataItem *> kept;
    for (VLDataItem *i : src->items) {
        if (seen.insert(i->head.textPos).second)
            kept.push_back(i);
        else
            VLDataItem_Destroy(i);
    }
    src->items.swap(kept);
    src->total = (LONG)src->items.size();
}

// ---- Folded texts of a dictionary ------------------------------------------------------------------

enum : BYTE { kFolded = 0, kOdd = 1, kNoText = 2 };
const int32_t kNoItem = -1;

// Entries that name one text (a dictionary's headwords often share their entry) share its slot:
// each text is read, folded and searched once.
struct Corpus {
    // What the texts were made from.
    DWORD dicId = 0;
    std::string path;
    FILETIME written = {0, 0};
    DWORD size = 0;
    DWORD flags = 0;
    FARPROC comparer = nullptr;
    RenderPlainProc render = nullptr;
    LONG total = 0;
    std::shared_ptr<const Fold> fold;
    // Each slot's folded text followed by a 0 (nothing for the other states).
    std::string text;
    std::vector<uint32_t> slotStart{0};  // slots + 1 offsets into text
    std::vector<BYTE> slotState;
    std::vector<int32_t> entrySlot;      // per entry: its slot, or kNoItem
    std::unordered_map<DWORD, uint32_t> slotOf;  // text position to slot, while the texts are made
    size_t count[256] = {};              // how often each byte occurs in text
    LONG made = 0;                       // entries made so far
    // Of a complete one: for each page of the text, which three-byte runs (hashed) start in it or
    // in the 253 bytes before its end, so that every run of a key of up to 255 bytes found at a
    // place in the page is marked in the page.
    std::vector<uint64_t> runs;          // pages x kRunWords
    uint32_t Slots() const { return (uint32_t)slotState.size(); }
    size_t Pages() const { return (text.size() + kPage - 1) / kPage; }
    static const size_t kPage = 16384, kRunBits = 65536, kRunWords = kRunBits / 64;
    static uint32_t Run(const char *p) {
        uint32_t v = (BYTE)p[0] | (uint32_t)(BYTE)p[1] << 8 | (uint32_t)(BYTE)p[2] << 16;
        return (v * 0x9E3779B1u) >> 16;
    }
};

bool FileStamp(const char *path, FILETIME *written, DWORD *size) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &a) || a.nFileSizeHigh) return false;
    *written = a.ftLastWriteTime;
    *size = a.nFileSizeLow;
    return true;
}

bool Keepable(DicSession *s) { return s->fileRecord->kind == 1 || s->fileRecord->kind == 4; }

std::mutex g_keptLock;
std::shared_ptr<const Corpus> g_kept;  // the last complete one: one dictionary's texts at a time

std::shared_ptr<const Corpus> FindKept(DicSession *s, DWORD flags, RenderPlainProc render, LONG total) {
    if (!Keepable(s)) return nullptr;
    FILETIME w;
    DWORD size;
    if (!FileStamp(s->fileRecord->path, &w, &size)) return nullptr;
    std::lock_guard<std::mutex> hold(g_keptLock);
    const Corpus *c = g_kept.get();
    if (c && c->dicId == s->subDic->dicId && c->path == s->fileRecord->path && c->size == size &&
        CompareFileTime(&c->written, &w) == 0 && c->flags == flags && c->comparer == s->comparer &&
        c->render == render && c->total == total)
        return g_kept;
    return nullptr;
}

void Keep(std::shared_ptr<Corpus> c) {
    c->slotOf.clear();
    std::lock_guard<std::mutex> hold(g_keptLock);
    g_kept = std::move(c);
}


// Workers kept for the life of the process (starting threads for every query costs more than the
// scan): the caller's thread is worker 0 and takes part.  One job at a time.
class Pool {
public:
    explicit Pool(int n) : size_(n) {
        for (int w = 1; w < n; w++) std::thread([this, w]() { Serve(w); }).detach();
    }
    void Run(size_t count, const std::function<void(size_t, int)> &work) {
        std::lock_guard<std::mutex> one(job_);
        {
            std::lock_guard<std::mutex> hold(lock_);
            work_ = &work;
            count_ = count;
            next_ = 0;
            busy_ = size_ - 1;
            round_++;
        }
        wake_.notify_all();
        Take(0);
        std::unique_lock<std::mutex> hold(lock_);
        done_.wait(hold, [this]() { return busy_ == 0; });
        work_ = nullptr;
    }
    int Size() const { return size_; }

private:
    void Take(int w) {
        for (size_t i; (i = next_.fetch_add(1)) < count_;) (*work_)(i, w);
    }
    void Serve(int w) {
        unsigned long seen = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> hold(lock_);
                wake_.wait(hold, [&]() { return round_ != seen; });
                seen = round_;
            }
            Take(w);
            std::lock_guard<std::mutex> hold(lock_);
            if (--busy_ == 0) done_.notify_one();
        }
    }
    const int size_;
    std::mutex job_, lock_;
    std::condition_variable wake_, done_;
    const std::function<void(size_t, int)> *work_ = nullptr;
    size_t count_ = 0;
    std::atomic<size_t> next_{0};
    int busy_ = 0;
    unsigned long round_ = 0;
};

Pool &Workers() {
    static Pool *pool = [] {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        int n = (int)si.dwNumberOfProcessors;
        return new Pool(n < 1 ? 1 : n > 16 ? 16 : n);  // never ended: its threads end with the process
    }();
    return *pool;
}

// Runs work(i, worker) for i in [0, count), on the workers when parallel.
template <class Work> void Parallel(size_t count, bool parallel, Work work) {
    if (!parallel || count < 2 || Workers().Size() < 2) {
        for (size_t i = 0; i < count; i++) work(i, 0);
        return;
    }
    std::function<void(size_t, int)> f = work;
    Workers().Run(count, f);
}

// Marks the runs of every page, pages side by side.
void MarkRuns(Corpus *c, int workers) {
    const size_t pages = c->Pages(), n = c->text.size();
    c->runs.assign(pages * Corpus::kRunWords, 0);
    const char *t = c->text.data();
    Parallel(pages, workers > 1, [&](size_t p, int) {
        uint64_t *row = &c->runs[p * Corpus::kRunWords];
        size_t from = p * Corpus::kPage, to = std::min(n, from + Corpus::kPage + 253);
        for (size_t i = from; i + 3 <= to; i++) {
            uint32_t h = Corpus::Run(t + i);
            row[h >> 6] |= (uint64_t)1 << (h & 63);
        }
    });
}

// A read-only view of a whole file, unmapped and closed at the end.
struct TextView {
    HANDLE file = INVALID_HANDLE_VALUE;
    const BYTE *bytes = nullptr;
    DWORD size = 0;
    bool Open(const char *path) {
        file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER n;
        if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &n) || n.QuadPart <= 0 || n.QuadPart > 0x7FFFFFFF)
            return false;
        bytes = Lc_MapWhole(file);
        size = bytes ? (DWORD)n.QuadPart : 0;
        return bytes != nullptr;
    }
    ~TextView() {
        if (bytes) UnmapViewOfFile(bytes);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

// Makes the folded texts of entries [a, b): the items taken in order (kept in items for the walk),
// each text not met before read, rendered and folded, side by side when the dictionary is a
// static one.
void MakeBlock(Corpus *c, const Source &src, LONG a, LONG b, int workers, std::vector<VLDataItem *> *items) {
    DicSession *s = src.s;
    items->assign((size_t)(b - a), nullptr);
    src.GetRun(a, b, items->data());
    std::vector<const VLDataItem *> fresh;
    for (LONG n = a; n < b; n++) {
        VLDataItem *item = (*items)[(size_t)(n - a)];
        if (!item) {
            c->entrySlot[(size_t)n] = kNoItem;
            continue;
        }
        auto found = c->slotOf.emplace(item->head.textPos, c->Slots() + (uint32_t)fresh.size());
        if (found.second) fresh.push_back(item);
        c->entrySlot[(size_t)n] = (int32_t)found.first->second;
    }
    // A static dictionary's texts are read side by side from a view of the file of their own
    // (bound on each worker's thread): no seek and read calls per text, and unmapped at the end of
    // the block, so that the text pages read do not stay in the working set.
    TextView tv;
    bool own = s->fileRecord->kind == 1 && workers > 1 && fresh.size() > 1 && tv.Open(s->fileRecord->path);
    DicSession reader = *s;
    if (own) reader.textFile = tv.file;
    std::vector<std::string> folded(fresh.size());
    std::vector<BYTE> state(fresh.size(), kNoText);
    Parallel(fresh.size(), own, [&](size_t i, int) {
        std::string plain;
        DLVFileView bound = {tv.file, tv.bytes, tv.size, 0, nullptr};
        if (own) DLVBindView(&bound);
        bool read = ReadPlain(own ? &reader : s, fresh[i], c->render, &plain);
        if (own) DLVUnbindView(&bound);
        if (!read) return;
        folded[i].reserve(plain.size() + 1);
        if (FoldText(*c->fold, plain.data(), plain.size(), &folded[i], nullptr)) {
            state[i] = kFolded;
        } else {
            state[i] = kOdd;
            std::string().swap(folded[i]);
        }
    });
    for (size_t i = 0; i < fresh.size(); i++) {
        if (state[i] == kFolded) {
            for (char ch : folded[i]) c->count[(BYTE)ch]++;
            c->text += folded[i];
            c->text.push_back(0);
        }
        c->slotState.push_back(state[i]);
        c->slotStart.push_back((uint32_t)c->text.size());
    }
    c->made = b;
}

// Marks the slots of [a, b) whose folded text holds the key at a place in [from, start) of the text.
void ScanText(const Corpus &c, uint32_t a, uint32_t b, size_t from, size_t start, const std::string &key,
              std::vector<char> *mark) {
    const char *base = c.text.data();
    const size_t to = c.slotStart[b], len = key.size();
    // The search stops at the key's least frequent byte, then looks at the whole key.
    size_t lead = 0;
    for (size_t k = 1; k < len; k++)
        if (c.count[(BYTE)key[k]] < c.count[(BYTE)key[lead]]) lead = k;
    const char want = key[lead];
    size_t i = from + lead;
    while (i < to) {
        const char *hit = (const char *)memchr(base + i, want, to - i);
        if (!hit) break;
        size_t at = (size_t)(hit - base) - lead;
        if (at >= start) break;
        if (at + len <= to && memcmp(base + at, key.data(), len) == 0) {
            uint32_t n = (uint32_t)(std::upper_bound(c.slotStart.begin() + a, c.slotStart.begin() + b + 1,
                                                     (uint32_t)at) - c.slotStart.begin()) - 1;
            (*mark)[n] = 1;
            i = c.slotStart[n + 1] + lead;  // the slot is a candidate: on to the next
            continue;
        }
        i = (size_t)(hit - base) + 1;
    }
}

// Marks the slots of [a, b) whose folded text holds the key, and those the driver must read.
void Scan(const Corpus &c, uint32_t a, uint32_t b, const std::string &key, std::vector<char> *mark) {
    for (uint32_t n = a; n < b; n++)
        if (c.slotState[n] == kOdd) (*mark)[n] = 1;
    ScanText(c, a, b, c.slotStart[a], c.slotStart[b], key, mark);
}

// The scan of a complete one: only the pages that hold every run of the key (keys of three
// bytes and more), side by side.
void ScanPages(const Corpus &c, const std::string &key, std::vector<char> *mark, int workers) {
    for (uint32_t n = 0; n < c.Slots(); n++)
        if (c.slotState[n] == kOdd) (*mark)[n] = 1;
    std::vector<uint32_t> runs;
    for (size_t i = 0; i + 3 <= key.size(); i++) runs.push_back(Corpus::Run(key.data() + i));
    std::vector<size_t> pages;
    for (size_t p = 0; p < c.Pages(); p++) {
        const uint64_t *row = &c.runs[p * Corpus::kRunWords];
        bool all = true;
        for (uint32_t h : runs)
            if (!(row[h >> 6] >> (h & 63) & 1)) {
                all = false;
                break;
            }
        if (all) pages.push_back(p);
    }
    Parallel(pages.size(), pages.size() > 8 && workers > 1, [&](size_t i, int) {
        size_t from = pages[i] * Corpus::kPage;
        // The slots a match starting in the page can lie in.
        uint32_t a = (uint32_t)(std::upper_bound(c.slotStart.begin(), c.slotStart.end(), (uint32_t)from) -
                                c.slotStart.begin()) - 1;
        uint32_t b = (uint32_t)(std::upper_bound(c.slotStart.begin(), c.slotStart.end(),
                                                 (uint32_t)std::min(c.text.size(), from + Corpus::kPage)) -
                                c.slotStart.begin());
        ScanText(c, a, std::min(b, c.Slots()), from, std::min(c.text.size(), from + Corpus::kPage), key, mark);
    });
}

// ---- Conditions ---------------------------------------------------------------------------------------

struct Prepared {
    Starts starts;
    int length = 0;       // the compare length of the condition's text
    bool folded = false;  // kind 8 with a key the fold stands for: entries without a mark fail
    std::string key;
    std::vector<char> mark;          // per slot: the folded key lies in its text (or the driver decides)
    std::vector<signed char> known;  // per slot: the driver's answer once asked (-1 not yet)
    void Grow(uint32_t slots) {
        mark.resize(slots, 0);
        known.resize(slots, -1);
    }
};

// Double-byte text: every place the driver finds holds the whole folded key when the compare reads
// the key to its last letter: the key is equal to itself, and not to itself with that letter
// changed for one of another class.
bool ReadsWholeKey(DicQuery *q, const LexicoreCondition &c, int length, const Fold &f) {
    const char *k = c.text;
    const size_t n = c.textLen;
    size_t last = n;
    uint16_t own = kIgnored;
    for (size_t i = 0; i < n; i += CharLength(f, k, n, i)) {
        const uint16_t cls = CharClass(f, k, n, i);
        if (cls != kIgnored) {
            last = i;
            own = cls;
        }
    }
    if (last == n || Lc_Compare(q->session, q->flags, k, k, length) != 0) return false;
    const std::string key(k, n);
    for (char other : {'q', 'x', '0'}) {
        uint16_t cls = f.wideClass[(BYTE)other];
        if (cls == own || cls == kIgnored || cls == kOddChar) continue;
        std::string changed = key.substr(0, last) + other + key.substr(last + CharLength(f, k, n, last));
        return Lc_Compare(q->session, q->flags, k, changed.c_str(), length) != 0;
    }
    return false;
}

// The folded key, when the fold stands for it and the driver finds it where the text holds it
// with anything after it (double-byte text: when it reads the whole key, see above).
bool FoldKey(DicQuery *q, const LexicoreCondition &c, int length, const Fold &f, std::string *key) {
    if (!f.use || c.textLen == 0 || c.kind != 8 || c.negate) return false;
    key->clear();
    if (!FoldText(f, c.text, c.textLen, key, nullptr) || key->empty() || key->find('\0') != std::string::npos)
        return false;
    if (f.wide) return ReadsWholeKey(q, c, length, f);
    // (From the end: wherever the text ends with it, with anything before it.)
    for (const char *tail : {"qz", " x", ".", "\r\n"}) {
        std::string k(c.text, c.textLen);
        std::string text = (q->flags & 0x8000) ? tail + k : k + tail;
        if (Lc_Compare(q->session, q->flags, c.text, text.c_str(), length) != 0) return false;
    }
    return true;
}

struct Entry {
    VLDataItem *item;
    int32_t slot;  // its text's slot among the folded texts, or -1
    bool textRead;
    bool textOk;
    std::string text;
};

const std::string *EntryText(DicQuery *q, Entry *e, RenderPlainProc render) {
    if (!e->textRead) {
        e->textRead = true;
        e->textOk = ReadPlain(q->session, e->item, render, &e->text);
    }
    return e->textOk ? &e->text : nullptr;
}

bool Shared(DWORD field, DWORD value) { return (field & value) != 0; }

bool Test(DicQuery *q, const LexicoreCondition &c, Entry *e, RenderPlainProc render, Prepared &p,
          const Fold &fold) {
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
            r = Contains(q, hw, strlen(hw), c, p.length, &p.starts);
        break;
    }
    case 8: {
        bool slotted = p.folded && e->slot >= 0;
        if (slotted && (!p.mark[(size_t)e->slot] || p.known[(size_t)e->slot] >= 0)) {
            r = p.mark[(size_t)e->slot] && p.known[(size_t)e->slot] > 0;
            break;
        }
        const std::string *t = EntryText(q, e, render);
        if (t && p.folded)
            r = FoldedContains(q, t->data(), t->size(), c, p.length, fold, p.key, &p.starts);
        else
            r = t && Contains(q, t->data(), t->size(), c, p.length, &p.starts);
        if (slotted) p.known[(size_t)e->slot] = r ? 1 : 0;
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
    if (!query || !query->session || !query->session->subDic || !query->session->fileRecord || !query->list ||
        !conditions || count <= 0)
        return 0;
    DicSession *s = query->session;
    if (s->subDic->indexKind == 8) return 0;
    Source src;
    src.s = s;
    src.listed = s->fileRecord->kind == 4;
    // A book counts the bytes of its index, not entries: the search lists them.
    if (Lexicore_GetEntryCount(s->subDic->dicId, src.listed ? 1 : 0) <= 0) return 0;
    LONG previous = s->backward;
    Lexicore_SelectIndex(s, 0);
    if (src.listed)
        ListBook(&src);
    else
        src.total = Lexicore_GetEntryCount(s->subDic->dicId, 0);
    const LONG total = src.total;
    if (total <= 0) {
        Lexicore_SelectIndex(s, previous);
        return 0;
    }
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
    RenderPlainProc render = PlainRenderer();
    const std::shared_ptr<const Fold> learnt = FoldOf(s, flags);
    const Fold &fold = *learnt;
    std::vector<Prepared> prep((size_t)count);
    const bool characters = CountsCharacters(s, flags);
    bool anyFolded = false, allFolded = true;
    for (int i = 0; i < count; i++) {
        prep[i].starts = StartBytes(query, conditions[i]);
        prep[i].length = CompareLength(s, characters, conditions[i].text, conditions[i].textLen);
        prep[i].folded = FoldKey(query, conditions[i], prep[i].length, fold, &prep[i].key);
        anyFolded = anyFolded || prep[i].folded;
        allFolded = allFolded && prep[i].folded;
    }
    // The folded texts: kept from an earlier query, or made block by block during this walk.
    const int workers = Workers().Size();
    std::shared_ptr<const Corpus> kept;
    std::shared_ptr<Corpus> making;
    if (anyFolded && result == 0) {
        kept = FindKept(s, flags, render, total);
        if (!kept) {
            making = std::make_shared<Corpus>();
            Corpus &c = *making;
            c.dicId = s->subDic->dicId;
            c.path = s->fileRecord->path;
            c.flags = flags;
            c.comparer = s->comparer;
            c.render = render;
            c.total = total;
            c.fold = learnt;
            c.entrySlot.assign((size_t)total, kNoItem);
            if (!Keepable(s) || !FileStamp(s->fileRecord->path, &c.written, &c.size)) c.path.clear();
        } else {
            for (Prepared &p : prep)
                if (p.folded) {
                    p.Grow(kept->Slots());
                    ScanPages(*kept, p.key, &p.mark, workers);
                }
        }
    }
    const Corpus *corpus = kept ? kept.get() : making.get();
    // Entries whose marks cannot make a hit need no item unless the progress is due there.
    auto mayHit = [&](int32_t slot) {
        if (!corpus || !allFolded) return true;
        for (const Prepared &p : prep) {
            bool m = p.mark[(size_t)slot] != 0;
            if (matchAll && !m) return false;
            if (!matchAll && m) return true;
        }
        return matchAll != 0;
    };
    const LONG block = std::max<LONG>(4096, std::min<LONG>(65536, total / 32 + 1));
    std::vector<VLDataItem *> blockItems;
    LONG blockStart = 0;
    int lastMille = -1;
    bool stopped = false;
    for (LONG n = 0; result == 0 && n < total; n++) {
        if (making && n == making->made) {
            for (VLDataItem *i : blockItems) VLDataItem_Destroy(i);
            LONG b = std::min(total, n + block);
            uint32_t first = making->Slots();
            MakeBlock(making.get(), src, n, b, workers, &blockItems);
            blockStart = n;
            for (Prepared &p : prep)
                if (p.folded) {
                    p.Grow(making->Slots());
                    Scan(*making, first, making->Slots(), p.key, &p.mark);
                }
        }
        const int32_t slot = corpus ? corpus->entrySlot[(size_t)n] : -1;
        if (corpus && slot == kNoItem) continue;  // a damaged entry is passed over
        int mille = (int)((LONGLONG)n * 1000 / total);
        bool due = progress && mille != lastMille && mille != 1000;
        bool candidate = mayHit(slot);
        if (!candidate && !due) continue;
        VLDataItem *item = nullptr;
        if (making && n >= blockStart && n - blockStart < (LONG)blockItems.size()) {
            item = blockItems[(size_t)(n - blockStart)];
            blockItems[(size_t)(n - blockStart)] = nullptr;
        } else {
            item = src.Get(n);
        }
        if (!item) continue;
        Entry e = {item, slot, false, false, std::string()};
        bool hit = false;
        if (candidate) {
            hit = matchAll != 0;
            for (int i = 0; i < count; i++) {
                bool t = Test(query, conditions[i], &e, render, prep[(size_t)i], fold);
                if (matchAll && !t) {
                    hit = false;
                    break;
                }
                if (!matchAll && t) {
                    hit = true;
                    break;
                }
            }
        }
        int r = hit ? LcQuery_Add(query, e.item, query->baseScore << 16) : LEXICORE_ITEM_SKIP;
        bool stop = r == LEXICORE_ITEM_FULL;
        if (due) {
            lastMille = mille;
            if (!progress(e.item, mille, user)) stop = true;
        }
        VLDataItem_Destroy(e.item);
        if (stop) {
            stopped = true;
            break;
        }
    }
    for (VLDataItem *i : blockItems) VLDataItem_Destroy(i);
    if (making && !stopped && making->made == total && !making->path.empty()) {
        MarkRuns(making.get(), workers);
        Keep(making);
    }
    Lexicore_SelectIndex(s, previous);
    for (int i = 0; i < count; i++) {
        LcWild_Free((LcPattern *)conditions[i].pattern);
        conditions[i].pattern = nullptr;
    }
    if (result == 3) return 3;
    return VLWordList_Count(query->list) > 0 ? 1 : 0;
}

void LcFullText_Forget() {
    {
        std::lock_guard<std::mutex> hold(g_keptLock);
        g_kept.reset();
    }
    std::lock_guard<std::mutex> hold(g_learntLock);
    g_learnt.clear();
}
