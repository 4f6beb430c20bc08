// Collation of the single-byte languages: the Latin, Norwegian and Swedish sets, staged and scored
// compares, sort keys.
//
// Rank layout of every set (table 0): NUL 0; the digits 1-10; the letters of the set from 11 in
// alphabet order, each upper case before lower case and the base letter before its accented
// forms; the control characters; every other byte in byte order from rank 151 (so '!' is 151, '.'
// 164 and '?' 171 in every set); the bytes that are no letters of the set but rank late (Latin:
// Å å Æ æ Ð ð Ø ø Þ þ × ÷); the blank last at 255.  The Nordic sets have ten letters more than the
// Latin one, so their controls 0x16-0x1F rank after the punctuation, which keeps the punctuation
// ranks the same in all three sets.
#include <string.h>
#include <string>
#include <vector>
#include "linguabase_int.h"
#include "wordstrand.h"

namespace {

typedef std::vector<BYTE> Ranks;

// Letter groups: upper base, lower base, then accented forms as upper/lower pairs (code page 1252).
// The sharp s (0xDF) stands alone in the S group as a lower-case form.
typedef std::vector<std::vector<BYTE>> Groups;

const Groups kLatin = {
    {'A', 'a', 0xC0, 0xE0, 0xC1, 0xE1, 0xC2, 0xE2, 0xC3, 0xE3, 0xC4, 0xE4},
    {'B', 'b'},
    {'C', 'c', 0xC7, 0xE7},
    {'D', 'd'},
    {'E', 'e', 0xC8, 0xE8, 0xC9, 0xE9, 0xCA, 0xEA, 0xCB, 0xEB},
    {'F', 'f'}, {'G', 'g'}, {'H', 'h'},
    {'I', 'i', 0xCC, 0xEC, 0xCD, 0xED, 0xCE, 0xEE, 0xCF, 0xEF},
    {'J', 'j'}, {'K', 'k'}, {'L', 'l'}, {'M', 'm'},
    {'N', 'n', 0xD1, 0xF1},
    {'O', 'o', 0xD2, 0xF2, 0xD3, 0xF3, 0xD4, 0xF4, 0xD5, 0xF5, 0xD6, 0xF6, 0x8C, 0x9C},
    {'P', 'p'}, {'Q', 'q'}, {'R', 'r'},
    {'S', 's', 0x8A, 0x9A, 0xDF},
    {'T', 't'},
    {'U', 'u', 0xD9, 0xF9, 0xDA, 0xFA, 0xDB, 0xFB, 0xDC, 0xFC},
    {'V', 'v'}, {'W', 'w'}, {'X', 'x'},
    {'Y', 'y', 0xDD, 0xFD, 0x9F, 0xFF},
    {'Z', 'z'},
};
const std::vector<BYTE> kLatinLate = {0xC5, 0xE5, 0xC6, 0xE6, 0xD0, 0xF0, 0xD8, 0xF8, 0xDE, 0xFE, 0xD7, 0xF7};

// The Nordic sets: Ð after D, Ú before Ù, Ä and Ö out of A and O, own letters after Z.
Groups Nordic(bool swedish) {
    Groups g;
    for (const auto &grp : kLatin) {
        std::vector<BYTE> x;
        for (BYTE b : grp)
            if (b != 0xC4 && b != 0xE4 && b != 0xD6 && b != 0xF6)
                x.push_back(b);
        if (x[0] == 'U')
            x = {'U', 'u', 0xDA, 0xFA, 0xD9, 0xF9, 0xDB, 0xFB, 0xDC, 0xFC};
        g.push_back(x);
        if (x[0] == 'D')
            g.push_back({0xD0, 0xF0});
    }
    if (swedish)
        g.insert(g.end(), {{0xDE, 0xFE}, {0xC5, 0xE5}, {0xC4, 0xE4}, {0xC6, 0xE6}, {0xD6, 0xF6}, {0xD8, 0xF8}});
    else
        g.insert(g.end(), {{0xDE, 0xFE}, {0xC4, 0xE4}, {0xC6, 0xE6}, {0xD6, 0xF6}, {0xD8, 0xF8}, {0xC5, 0xE5}});
    return g;
}

LbCollation g_sets[3];

void Build(LbCollation *s, const Groups &groups, const std::vector<BYTE> &late) {
    memset(s, 0, sizeof *s);
    BYTE(&rank)[256] = s->t[0];
    bool placed[256] = {};
    placed[0] = true;
    int r = 1;
    for (int d = '0'; d <= '9'; d++) {
        rank[d] = (BYTE)r;
        s->t[7][r] = (BYTE)(d - '0' + 1);
        s->t[1][d] = 1;
        placed[d] = true;
        r++;
    }
    int position = 11;
    for (const auto &g : groups) {
        for (size_t i = 0; i < g.size(); i++) {
            rank[g[i]] = (BYTE)r++;
            placed[g[i]] = true;
            s->t[1][g[i]] = 1;
        }
        for (size_t i = 0; i < g.size(); i++) {
            BYTE me = rank[g[i]];
            bool lower = (i % 2 == 1) || g[i] == 0xDF;
            BYTE partner = (i % 2 == 1) ? rank[g[i - 1]] : me;  // case-blind: the upper form
            s->t[4][me] = g[i] == 0xDF ? me : partner;
            s->t[5][me] = lower ? rank[g[1]] : rank[g[0]];
            s->t[6][me] = rank[g[0]];
            s->t[7][me] = (BYTE)position;
        }
        position++;
    }
    s->base = position;
    int lastLetter = r - 1;
    for (int i = 1; i <= lastLetter; i++)
        s->t[2][i] = 1;
    s->t[1]['@'] = 1;
    int control = 1;
    for (; control < 0x20 && r <= 150; control++) {
        rank[control] = (BYTE)r++;
        placed[control] = true;
    }
    for (int b = 0x21; b < 256; b++) {
        bool isLate = false;
        for (BYTE x : late)
            isLate = isLate || x == b;
        if (!placed[b] && !isLate) {
            rank[b] = (BYTE)r++;
            placed[b] = true;
        }
    }
    for (; control < 0x20; control++)
        rank[control] = (BYTE)r++;
    for (BYTE x : late)
        rank[x] = (BYTE)r++;
    rank[' '] = (BYTE)r;  // 255
    // Non-letter ranks keep their own value in the exact and blind tables.
    for (int i = 0; i < 256; i++) {
        s->t[3][i] = (BYTE)i;
        if (i == 0 || i > lastLetter || i <= 10)
            s->t[4][i] = s->t[5][i] = s->t[6][i] = (BYTE)i;
    }
}

const LbCollation *Set(int set) { return &g_sets[set < 0 || set > 2 ? 0 : set]; }

// The text as ranks: backwards with 0x8000, dropping by 0x40/0x08, expanding the sharp s and the
// OE ligatures.  n < 0 takes the whole text.
Ranks Map(const LbCollation *s, DWORD flags, const char *text, int n) {
    Ranks out;
    if (!text)
        return out;
    int len = (int)strlen(text);
    if (n >= 0 && n < len)
        len = n;
    out.reserve((size_t)len + 8);  // one block for most texts (two ranks for a few letters)
    bool back = (flags & 0x8000) != 0;
    for (int k = 0; k < len; k++) {
        BYTE b = (BYTE)text[back ? len - 1 - k : k];
        bool letter = s->t[1][b] != 0;
        if ((flags & 0x40) && !letter && b != ' ')
            continue;
        if ((flags & 0x08) && b == ' ')
            continue;
        BYTE first = 0, second = 0;
        if (b == 0xDF)
            first = second = s->t[0]['s'];
        else if (b == 0x8C)
            first = s->t[0]['O'], second = s->t[0]['E'];
        else if (b == 0x9C)
            first = s->t[0]['o'], second = s->t[0]['e'];
        if (first) {
            out.push_back(back ? second : first);
            out.push_back(back ? first : second);
        } else {
            out.push_back(s->t[0][b]);
        }
    }
    return out;
}

// Modes: 1 trims insignificant ranks at both ends and collapses inner runs to their first; 2 drops
// every insignificant rank; 4 drops the blank (255); 8 ends at the blank.
std::string Reduce(const LbCollation *s, const Ranks &in, const BYTE *table, int mode) {
    std::string out;
    size_t a = 0, b = in.size();
    out.reserve(b);
    if (mode & 1) {
        while (a < b && !s->t[2][in[a]])
            a++;
        while (b > a && !s->t[2][in[b - 1]])
            b--;
    }
    bool lastInsignificant = false;
    for (size_t i = a; i < b; i++) {
        BYTE r = in[i];
        if ((mode & 8) && r == 255)
            break;
        if ((mode & 4) && r == 255)
            continue;
        bool sig = s->t[2][r] != 0;
        if ((mode & 2) && !sig)
            continue;
        if ((mode & 1) && !sig && lastInsignificant)
            continue;
        lastInsignificant = !sig;
        out.push_back((char)table[r]);
    }
    return out;
}

int Sign(int v) { return v < 0 ? -1 : v > 0; }

int Cmp(const std::string &a, const std::string &b, int length) {
    return Sign(Wordstrand_Compare(0, a.c_str(), b.c_str(), length));
}

// Stage 2: at the first difference a significant rank sorts after an insignificant one.
int CompareSignificance(const LbCollation *s, const std::string &a, const std::string &b, int length) {
    size_t i = 0, j = 0;
    while (i < a.size() && !s->t[2][(BYTE)a[i]])
        i++;
    while (j < b.size() && !s->t[2][(BYTE)b[j]])
        j++;
    for (int n = 0; i < a.size() && j < b.size() && (length <= 0 || n < length); i++, j++, n++) {
        BYTE x = (BYTE)a[i], y = (BYTE)b[j];
        if (x == y)
            continue;
        bool sx = s->t[2][x] != 0, sy = s->t[2][y] != 0;
        if (sx != sy)
            return sx ? 1 : -1;
        break;
    }
    return 0;
}

// The part of the key a compare with a length looks at: its first `length` bytes, or its last
// ones when the compare runs from the end.  The whole key when length <= 0.
std::string KeyPart(const char *key, int length, DWORD flags) {
    std::string k = key ? key : "";
    if (length <= 0 || length >= (int)k.size())
        return k;
    return (flags & 0x8000) ? k.substr(k.size() - length) : k.substr(0, length);
}

// A length counts bytes of the key.  Each stage compares reduced forms, from which blanks and
// other characters may be gone, so the compare runs over what the key's first bytes became in
// that form: a key such as "apple pie" is then a prefix of "apple pie is tasty" at every stage.
int StagedCompare(int set, DWORD flags, const char *key, const char *text, int length) {
    const LbCollation *s = Set(set);
    std::string part = KeyPart(key, length, flags);
    Ranks k = Map(s, flags, part.c_str(), -1), t = Map(s, flags, text, -1);
    // The key's bytes that vanished (or grew) in a form come off (or on) the length; a key shorter
    // than the length still compares past its end.
    auto limit = [&](const std::string &a) { return length > 0 ? length - (int)part.size() + (int)a.size() : length; };
    auto cmp = [&](const std::string &a, const std::string &b) { return Cmp(a, b, limit(a)); };
    std::string rk = Reduce(s, k, s->t[6], 6), rt = Reduce(s, t, s->t[6], 6);
    int r;
    if (rk.empty() && rt.empty())
        r = cmp(Reduce(s, k, s->t[3], 0), Reduce(s, t, s->t[3], 0));
    else if (rk.empty())
        r = -1;
    else if (rt.empty())
        r = 1;
    else
        r = cmp(rk, rt);
    if (r || (flags & 0x04))
        return r;
    rk = Reduce(s, k, s->t[6], 1);
    rt = Reduce(s, t, s->t[6], 1);
    if ((r = CompareSignificance(s, rk, rt, limit(rk))) != 0 || (r = cmp(rk, rt)) != 0)
        return r;
    if ((r = cmp(Reduce(s, k, s->t[6], 0), Reduce(s, t, s->t[6], 0))) != 0)
        return r;
    const BYTE *table = (flags & 0x30) == 0x30 ? s->t[6] : (flags & 0x10) ? s->t[5] : (flags & 0x20) ? s->t[4] : s->t[3];
    r = cmp(Reduce(s, k, table, 0), Reduce(s, t, table, 0));
    if (r || (flags & 0xFFFF))
        return r;
    return cmp(Reduce(s, k, s->t[3], 0), Reduce(s, t, s->t[3], 0));
}

DWORD Score(int set, DWORD flags, int prefixLength, const char *key, int keyLength, const char *text, int textLength) {
    const LbCollation *s = Set(set);
    const BYTE *table = ((flags & 0x30) == 0x30 || (flags & 0x04)) ? s->t[6]
                        : (flags & 0x20)                         ? s->t[4]
                        : (flags & 0x10)                         ? s->t[5]
                                                                 : s->t[3];
    int mode = ((flags & 0x40) ? 2 : 0) | ((flags & 0x08) ? 4 : 0);
    DWORD mapFlags = flags & 0x8000;
    std::string k = Reduce(s, Map(s, mapFlags, key, keyLength > 0 ? keyLength : -1), s->t[3], mode);
    std::string t = Reduce(s, Map(s, mapFlags, text, textLength > 0 ? textLength : -1), s->t[3], mode);
    // The prefix length counts bytes of the key; the compare counts what they became.
    if (prefixLength > 0 && key) {
        int n = (int)strlen(key);
        if (keyLength > 0 && keyLength < n)
            n = keyLength;
        std::string part = KeyPart(std::string(key, n).c_str(), prefixLength, mapFlags);
        int reduced = (int)Reduce(s, Map(s, mapFlags, part.c_str(), -1), s->t[3], mode).size();
        prefixLength += reduced - (int)part.size();
        if (prefixLength < 1)
            prefixLength = 1;
    }
    return Linguabase_CompareScored(flags, prefixLength, (const BYTE *)k.data(), (int)k.size(),
                                    (const BYTE *)t.data(), (int)t.size(), table, s->t[6]);
}

DWORD SortKey(int set, const char *text, int fromEnd, WORD *out) {
    const LbCollation *s = Set(set);
    std::string r = Reduce(s, Map(s, fromEnd ? 0x8000 : 0, text, -1), s->t[3], 6);
    int p[4] = {};
    for (int i = 0; i < 4 && i < (int)r.size(); i++)
        p[i] = s->t[7][(BYTE)r[i]];
    int base = s->base;
    if (out) {
        out[0] = (WORD)(base * p[0] + p[1]);
        out[1] = (WORD)p[2];
        out[2] = (WORD)(base * p[2] + p[3]);
    }
    return (DWORD)(base * p[2]);
}

}  // namespace

void Lb_BuildCollations() {
    Build(&g_sets[LB_LATIN], kLatin, kLatinLate);
    Build(&g_sets[LB_NORWEGIAN], Nordic(false), {0xD7, 0xF7});
    Build(&g_sets[LB_SWEDISH], Nordic(true), {0xD7, 0xF7});
}

const LbCollation *Lb_Collation(int set) { return Set(set); }

extern "C" DWORD WINAPI Linguabase_CompareScored(DWORD flags, int prefixLength, const BYTE *key, int keyLength,
                                                 const BYTE *text, int textLength, const BYTE *table,
                                                 const BYTE *blind) {
    if (!key || !text || !table || keyLength < 0 || textLength < 0)
        return 0x40000000;
    if (!blind)
        blind = table;
    int i = 0, j = 0;
    if (prefixLength > 0) {
        while (i < keyLength && j < textLength && table[key[i]] == table[text[j]])
            i++, j++;
        if (i >= prefixLength && j == textLength) {
            if (i == keyLength)
                return 0x10000000;
            BYTE next = key[i];
            if (next == 151 || next == 164 || next == 171 || next == 255)
                return 0x10000000;
        }
        return 0x40000000;
    }
    // An empty key compared nothing: it matches nothing (and no grade is taken over no characters).
    if (keyLength == 0)
        return 0x40000000;
    int score = 0;
    while (i < keyLength && j < textLength) {
        if (table[key[i]] == table[text[j]]) {
            score += 100;
            i++, j++;
        } else if (blind[key[i]] == blind[text[j]]) {
            score += 95;
            i++, j++;
        } else if (j + 1 < textLength && table[key[i]] == table[text[j + 1]]) {
            j++;
        } else if (i + 1 < keyLength && table[text[j]] == table[key[i + 1]]) {
            i++;
        } else {
            i++, j++;
        }
    }
    return Wordstrand_MatchGrade(keyLength, textLength, score);
}

extern "C" DWORD WINAPI Linguabase_CompareScoredWide(DWORD flags, int prefixLength, const WCHAR *key, int keyLength,
                                                     const WCHAR *text, int textLength, int exactMode, int blindMode,
                                                     LangWideMapProc map) {
    if (!key || !text || !map)
        return 0x40000000;
    if (keyLength < 0)
        keyLength = (int)wcslen(key);
    if (textLength < 0)
        textLength = (int)wcslen(text);
    auto same = [&](WCHAR a, WCHAR b, int mode) { return map(a, mode) == map(b, mode); };
    int i = 0, j = 0;
    if (prefixLength > 0) {
        while (i < keyLength && j < textLength && same(key[i], text[j], exactMode))
            i++, j++;
        if (i < prefixLength || j < textLength)
            return 0x40000000;
        return i == keyLength ? 0 : 0x20000000;
    }
    if (keyLength == 0)
        return 0x40000000;
    int score = 0;
    while (i < keyLength && j < textLength) {
        if (same(key[i], text[j], exactMode)) {
            score += 100;
            i++, j++;
        } else if (same(key[i], text[j], blindMode)) {
            score += 95;
            i++, j++;
        } else if (j + 1 < textLength && same(key[i], text[j + 1], exactMode)) {
            j++;
        } else if (i + 1 < keyLength && same(text[j], key[i + 1], exactMode)) {
            i++;
        } else {
            i++, j++;
        }
    }
    return Wordstrand_MatchGrade(keyLength, textLength, score);
}

extern "C" int WINAPI Linguabase_CompareCounted(const char *a, int n, const char *b) {
    if (n <= 0)
        return 0;
    if (!a || !b)
        return 1000000;
    return memcmp(a, b, (size_t)n) == 0 ? 0 : 1000000;
}

extern "C" int WINAPI Linguabase_CompareLatin(DWORD flags, const char *key, const char *text, int length) {
    return StagedCompare(LB_LATIN, flags, key, text, length);
}
extern "C" DWORD WINAPI Linguabase_ScoreLatin(DWORD flags, int prefixLength, const char *key, int keyLength,
                                              const char *text, int textLength) {
    return Score(LB_LATIN, flags, prefixLength, key, keyLength, text, textLength);
}
extern "C" DWORD WINAPI Linguabase_SortKeyLatin(const char *text, int fromEnd, WORD *out) {
    return SortKey(LB_LATIN, text, fromEnd, out);
}
extern "C" DWORD WINAPI Linguabase_KeySpaceLatin(void) { return 37u | (1369u << 16); }

extern "C" int WINAPI Linguabase_CompareNorwegian(DWORD flags, const char *key, const char *text, int length) {
    return StagedCompare(LB_NORWEGIAN, flags, key, text, length);
}
extern "C" DWORD WINAPI Linguabase_ScoreNorwegian(DWORD flags, int prefixLength, const char *key, int keyLength,
                                                  const char *text, int textLength) {
    return Score(LB_NORWEGIAN, flags, prefixLength, key, keyLength, text, textLength);
}
extern "C" DWORD WINAPI Linguabase_SortKeyNorwegian(const char *text, int fromEnd, WORD *out) {
    return SortKey(LB_NORWEGIAN, text, fromEnd, out);
}
extern "C" DWORD WINAPI Linguabase_KeySpaceNordic(void) { return 44u | (1936u << 16); }

extern "C" int WINAPI Linguabase_CompareSwedish(DWORD flags, const char *key, const char *text, int length) {
    return StagedCompare(LB_SWEDISH, flags, key, text, length);
}
extern "C" DWORD WINAPI Linguabase_ScoreSwedish(DWORD flags, int prefixLength, const char *key, int keyLength,
                                                const char *text, int textLength) {
    return Score(LB_SWEDISH, flags, prefixLength, key, keyLength, text, textLength);
}
extern "C" DWORD WINAPI Linguabase_SortKeySwedish(const char *text, int fromEnd, WORD *out) {
    return SortKey(LB_SWEDISH, text, fromEnd, out);
}
extern "C" DWORD WINAPI Linguabase_KeySpaceSwedish(void) { return Linguabase_KeySpaceNordic(); }
