// The built-in byte-order driver: the fourteen driver operations for a language whose own driver is
// not installed.  Keys are the bytes of the text; the coarse compare folds ASCII and Latin-1 case.
// Single-byte languages look up the letter run at the cursor; double-byte languages the run of
// double-byte characters from the cursor on, with every shorter prefix of it as a further form.
#include <algorithm>
#include <ctype.h>
#include <string.h>
#include <string>
#include <vector>
#include "linguakeeper_int.h"

namespace {

const int kMaxDoubleRun = 32;     // characters of a double-byte word run
const size_t kMaxSentence = 1024;  // bytes of the sentence item

UINT CodePageOf(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 136: return 950;
    default: return 0;
    }
}

template <int CS> bool IsLead(unsigned char b) {
    return CS != 0 && b >= 0x81 && IsDBCSLeadByteEx(CodePageOf(CS), b);
}

// Length in bytes of the character at p (1 or 2; a lead byte before the end counts as one).
template <int CS> int CharLen(const unsigned char *p) { return IsLead<CS>(p[0]) && p[1] ? 2 : 1; }

unsigned char FoldByte(unsigned char b) {
    if (b >= 'A' && b <= 'Z')
        return b + 32;
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return b + 32;
    return b;
}

template <int CS> unsigned char FoldSingle(unsigned char b) {
    return (CS == 0) ? FoldByte(b) : (b >= 'A' && b <= 'Z' ? b + 32 : b);
}

// A letter of a single-byte text: ASCII letters and digits, Latin-1 letters.
bool IsSingleLetter(unsigned char b) {
    if (b < 0x80)
        return isalnum(b) != 0;
    return (b >= 0xC0 && b != 0xD7 && b != 0xF7) || b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A ||
           b == 0x9C || b == 0x9E || b == 0x9F;
}

// A word character of a double-byte text: any double-byte character but the ideographic space,
// half-width katakana in code page 932, and ASCII letters and digits.
template <int CS> bool IsWordChar(const unsigned char *p) {
    if (CS == 0)
        return IsSingleLetter(p[0]);
    if (CharLen<CS>(p) == 2) {
        unsigned int c = (p[0] << 8) | p[1];
        return !(c == 0x8140 && CS == 128) && !(c == 0xA1A1 && CS == 129) && !(c == 0xA140 && CS == 136);
    }
    if (CS == 128 && p[0] >= 0xA6 && p[0] <= 0xDF)
        return true;
    return p[0] < 0x80 && isalnum(p[0]);
}

// The characters of a text (offsets), the text taken up to its terminator or `limit` bytes.
template <int CS> std::vector<int> CharStarts(const unsigned char *t, int limit) {
    std::vector<int> starts;
    for (int i = 0; (limit < 0 || i < limit) && t[i];) {
        starts.push_back(i);
        i += CharLen<CS>(t + i);
    }
    return starts;
}

// Folded comparison units of a text: one per character (double-byte characters as one unit),
// reversed for a compare from the end, dropping blanks (0x08) or non-letters (0x40) when asked.
template <int CS> std::vector<unsigned int> Units(const char *s, int limit, DWORD flags, bool fold) {
    std::vector<unsigned int> u;
    const unsigned char *t = (const unsigned char *)s;
    for (int i : CharStarts<CS>(t, limit)) {
        unsigned int c = t[i];
        bool pair = CharLen<CS>(t + i) == 2;
        if (pair)
            c = (c << 8) | t[i + 1];
        bool blank = !pair && c == ' ';
        bool letter = pair || IsSingleLetter((unsigned char)c);
        if ((flags & 0x08) && blank)
            continue;
        if ((flags & 0x40) && !letter && !blank)
            continue;
        if (!pair && fold)
            c = FoldSingle<CS>((unsigned char)c);
        u.push_back(c);
    }
    if (flags & 0x8000)
        std::reverse(u.begin(), u.end());
    return u;
}

int CompareUnits(const std::vector<unsigned int> &a, const std::vector<unsigned int> &b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; i++)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

char *CopyKey(const char *s, size_t n) {
    char *k = (char *)Lk_Alloc(n + 1);
    if (k) {
        memcpy(k, s, n);
        k[n] = 0;
    }
    return k;
}

struct KeyBuilder {
    std::vector<LinguakeeperKeyItem> items;
    DWORD minimumLength;
    bool failed = false;
    void Add(const char *s, size_t n, DWORD position, DWORD kind, DWORD group) {
        if (n == 0 || n <= minimumLength)
            return;
        for (const LinguakeeperKeyItem &k : items)  // one key per text
            if (strlen(k.text) == n && memcmp(k.text, s, n) == 0)
                return;
        LinguakeeperKeyItem k = {CopyKey(s, n), position, kind, 0, group, 0};
        if (!k.text) {
            failed = true;
            return;
        }
        items.push_back(k);
    }
};

template <int CS>
int WINAPI Analyze(const char *text, int cursor, LinguakeeperKeyList *out, const LinguakeeperAnalysisSettings *st) {
    if (!text || !out || cursor < 0)
        return 0;
    const unsigned char *t = (const unsigned char *)text;
    int len = (int)strlen(text);
    if (cursor >= len || t[cursor] <= 0x20)
        return 0;
    // Start of the character that holds the cursor byte.
    std::vector<int> starts = CharStarts<CS>(t, len);
    int ci = 0;
    while (ci + 1 < (int)starts.size() && starts[ci + 1] <= cursor)
        ci++;
    if (!IsWordChar<CS>(t + starts[ci]))
        return 0;
    LinguakeeperAnalysisSettings defaults = {0, 3, 4, 2, 0, 1, 1, 1};
    if (!st)
        st = &defaults;
    KeyBuilder kb;
    kb.minimumLength = st->minimumLength;
    bool doubleRun = CS != 0 && (CharLen<CS>(t + starts[ci]) == 2 || (CS == 128 && t[starts[ci]] >= 0xA6));
    if (doubleRun) {
        // The run of double-byte characters from the cursor on; every shorter prefix is another form.
        int end = ci;
        while (end < (int)starts.size() && end - ci < kMaxDoubleRun && IsWordChar<CS>(t + starts[end]) &&
               (t[starts[end]] >= 0x80))
            end++;
        for (int e = end; e > ci; e--) {
            int bytes = (e < (int)starts.size() ? starts[e] : len) - starts[ci];
            kb.Add(text + starts[ci], bytes, 0, e == end ? 0x480 : 0x440, e == end ? 0 : 0x10000000);
            if (!st->addCursorForms)
                break;
        }
    } else {
        int b = ci, e = ci;
        while (b > 0 && IsWordChar<CS>(t + starts[b - 1]) && t[starts[b - 1]] < 0x80 + (CS == 0 ? 0x80 : 0))
            b--;
        while (e < (int)starts.size() && IsWordChar<CS>(t + starts[e]) && t[starts[e]] < 0x80 + (CS == 0 ? 0x80 : 0))
            e++;
        int from = starts[b], to = e < (int)starts.size() ? starts[e] : len;
        std::string word(text + from, to - from);
        kb.Add(word.data(), word.size(), cursor - from, 0x480, 0);
        if (st->addCursorForms) {
            std::string lower = word;
            for (char &c : lower)
                c = (char)FoldSingle<CS>((unsigned char)c);
            kb.Add(lower.data(), lower.size(), cursor - from, 0x440, 0x10000000);
        }
    }
    if (st->addSentence) {
        std::string sentence(text, len < (int)kMaxSentence ? len : kMaxSentence);
        for (char &c : sentence)
            if (c == '\r' || c == '\n' || c == '\t')
                c = ' ';
        kb.Add(sentence.data(), sentence.size(), cursor, 256, 0);
    }
    if (kb.failed || kb.items.empty()) {
        for (LinguakeeperKeyItem &k : kb.items)
            Lk_Free(k.text);
        return 0;
    }
    LinguakeeperKeyItem *array = (LinguakeeperKeyItem *)Lk_Alloc(kb.items.size() * sizeof(LinguakeeperKeyItem));
    if (!array) {
        for (LinguakeeperKeyItem &k : kb.items)
            Lk_Free(k.text);
        return 0;
    }
    memcpy(array, kb.items.data(), kb.items.size() * sizeof(LinguakeeperKeyItem));
    out->language = (DWORD)CS << 16;
    out->count = (DWORD)kb.items.size();
    out->items = array;
    return 1;
}

template <int CS> char *WINAPI Normalize(DWORD flags, const char *text, char *out) {
    if (!out)
        return nullptr;
    char *w = out;
    const unsigned char *t = (const unsigned char *)(text ? text : "");
    for (int i = 0; t[i];) {
        if (CharLen<CS>(t + i) == 2) {
            *w++ = (char)t[i];
            *w++ = (char)t[i + 1];
            i += 2;
            continue;
        }
        unsigned char b = t[i++];
        if (flags & 4) {
            if (b == '\r')
                b = ' ';
            else if (b == '\n' || b == 0x1B)
                continue;
        } else if (flags & 1) {
            b = FoldSingle<CS>(b);
        } else if (flags & 2) {
            if (b >= 'a' && b <= 'z')
                b -= 32;
            else if (CS == 0 && b >= 0xE0 && b <= 0xFE && b != 0xF7)
                b -= 32;
        }
        *w++ = (char)b;
    }
    *w = 0;
    return out;
}

template <int CS> int WINAPI Compare(DWORD flags, const char *key, const char *text, int length) {
    if (!key || !text)
        return key ? 1 : (text ? -1 : 0);
    int limit = length > 0 ? length : -1;
    int r = CompareUnits(Units<CS>(key, limit, flags, true), Units<CS>(text, limit, flags, true));
    if (r || (flags & 0x14))
        return r;
    return CompareUnits(Units<CS>(key, limit, flags, false), Units<CS>(text, limit, flags, false));
}

template <int CS>
DWORD WINAPI Score(DWORD flags, int prefix, const char *key, int keyLength, const char *text, int textLength) {
    if (!key || !text)
        return 0x40000000;
    std::vector<unsigned int> k = Units<CS>(key, keyLength, flags, false), t = Units<CS>(text, textLength, flags, false);
    if (k == t)
        return 0;
    std::vector<unsigned int> kf = Units<CS>(key, keyLength, flags, true), tf = Units<CS>(text, textLength, flags, true);
    if (kf == tf)
        return 0x10000000;
    size_t same = 0;
    while (same < kf.size() && same < tf.size() && kf[same] == tf[same])
        same++;
    if (prefix > 0) {
        if ((int)same < prefix || same != tf.size())
            return 0x40000000;
        unsigned int next = same < kf.size() ? kf[same] : 0;
        return (same == kf.size() || next == '!' || next == '.' || next == '?') ? 0x10000000 : 0x40000000;
    }
    if (same == kf.size() || same == tf.size())
        return 0x20000000;
    // Similarity: edit distance over the folded units.
    size_t n = kf.size(), m = tf.size();
    std::vector<size_t> row(m + 1);
    for (size_t j = 0; j <= m; j++)
        row[j] = j;
    for (size_t i = 1; i <= n; i++) {
        size_t diag = row[0];
        row[0] = i;
        for (size_t j = 1; j <= m; j++) {
            size_t up = row[j];
            size_t best = diag + (kf[i - 1] == tf[j - 1] ? 0 : 1);
            if (up + 1 < best)
                best = up + 1;
            if (row[j - 1] + 1 < best)
                best = row[j - 1] + 1;
            row[j] = best;
            diag = up;
        }
    }
    size_t longest = n > m ? n : m;
    size_t score = 100 * (longest - row[m]) / longest;
    return score > 94 ? 0x20000000 : score >= 66 ? 0x30000000 : 0x40000000;
}

// Alphabet positions: 0 none, 1-10 digits, 11-36 letters (case-blind); base 37.
int AlphabetPosition(unsigned int c) {
    if (c >= '0' && c <= '9')
        return 1 + (int)(c - '0');
    if (c >= 'a' && c <= 'z')
        return 11 + (int)(c - 'a');
    return 0;
}

template <int CS> DWORD WINAPI SortKey(const char *text, int fromEnd, WORD *out) {
    int p[4] = {0, 0, 0, 0};
    int n = 0;
    if (text) {
        for (unsigned int c : Units<CS>(text, -1, fromEnd ? 0x8000 : 0, true)) {
            int pos = AlphabetPosition(c);
            if (pos && n < 4)
                p[n++] = pos;
        }
    }
    if (out) {
        out[0] = (WORD)(37 * p[0] + p[1]);
        out[1] = (WORD)p[2];
        out[2] = (WORD)(37 * p[2] + p[3]);
    }
    return (DWORD)(37 * p[2]);
}

DWORD WINAPI KeySpace(void) { return 37u | (1369u << 16); }
DWORD WINAPI NoPhone(DWORD) { return 0; }
DWORD_PTR WINAPI NoPhoneEx(DWORD_PTR, DWORD_PTR) { return 0; }

template <int CS> int WINAPI IterOpen(LinguakeeperWordIterator *it, const char *text) {
    if (!it)
        return 0;
    const unsigned char *t = (const unsigned char *)(text ? text : "");
    int len = (int)strlen((const char *)t);
    it->position = -1;
    it->length = 0;
    it->text = (char *)Lk_Alloc(len + 1);
    it->classes = (unsigned char *)Lk_Alloc(len + 1);
    if (!it->text || !it->classes) {
        Lk_Free(it->text);
        Lk_Free(it->classes);
        it->text = nullptr;
        it->classes = nullptr;
        return 0;
    }
    memcpy(it->text, t, len + 1);
    for (int i = 0; i < len;) {
        int n = CharLen<CS>(t + i);
        unsigned char c = IsWordChar<CS>(t + i) ? 1 : 0;
        for (int j = 0; j < n; j++)
            it->classes[i + j] = c;
        i += n;
    }
    it->length = len;
    return 1;
}

int WINAPI IterStep(LinguakeeperWordIterator *it) {
    if (!it || !it->classes)
        return 0;
    int p = it->position;
    if (p < 0) {
        p = 0;
        if (p < it->length && it->classes[0]) {
            it->position = 0;
            return 1;
        }
    } else {
        while (p < it->length && it->classes[p])
            p++;
    }
    while (p < it->length && !it->classes[p])
        p++;
    it->position = p;
    return p < it->length;
}

int WINAPI IterFirst(LinguakeeperWordIterator *it) {
    if (!it)
        return 0;
    it->position = -1;
    return IterStep(it);
}

void WINAPI IterClose(LinguakeeperWordIterator *it) {
    if (!it)
        return;
    Lk_Free(it->text);
    Lk_Free(it->classes);
    it->text = nullptr;
    it->classes = nullptr;
}

template <int CS> void Fill(LkDriver *d) {
    memset(d, 0, sizeof *d);
    d->op[2] = (FARPROC)Analyze<CS>;
    d->op[3] = (FARPROC)Normalize<CS>;
    d->op[4] = (FARPROC)Compare<CS>;
    d->op[5] = (FARPROC)Score<CS>;
    d->op[6] = (FARPROC)SortKey<CS>;
    d->op[7] = (FARPROC)KeySpace;
    d->op[8] = (FARPROC)NoPhone;
    d->op[9] = (FARPROC)NoPhoneEx;
    d->op[11] = (FARPROC)IterOpen<CS>;
    d->op[12] = (FARPROC)IterFirst;
    d->op[13] = (FARPROC)IterStep;
    d->op[14] = (FARPROC)IterClose;
    d->freeBlock = Lk_Free;
}

HANDLE g_heap;

}  // namespace

void *Lk_Alloc(size_t size) {
    if (!g_heap)
        g_heap = GetProcessHeap();
    return HeapAlloc(g_heap, HEAP_ZERO_MEMORY, size ? size : 1);
}

void WINAPI Lk_Free(void *block) {
    if (block)
        HeapFree(g_heap ? g_heap : GetProcessHeap(), 0, block);
}

int Lk_BuiltinCharset(WORD code) {
    switch (code) {
    case 0x0400: return 128;
    case 0x0500: return 129;
    case 0x0300: return 136;
    default: return 0;
    }
}

void Lk_BuiltinDriver(WORD code, int charset, LkDriver *driver) {
    (void)code;
    switch (charset) {
    case 128: Fill<128>(driver); break;
    case 129: Fill<129>(driver); break;
    case 136: Fill<136>(driver); break;
    default: Fill<0>(driver); break;
    }
}
