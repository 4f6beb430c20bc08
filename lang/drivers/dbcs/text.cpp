// Text of the double-byte drivers: the full-width copy with row indexes, character classes, the
// key list and the compare mapping.
#include <stdlib.h>
#include <string.h>
#include "dbcs_int.h"
#include "wordstrand.h"

namespace {

// The full-width form of one character (or of a half-width kana with its sound mark) into out
// (at least 8 bytes); the bytes written.
int Widen(const char *piece, char *out) {
    out[0] = 0;
    if (g_dbcsLanguage.charset == 136)
        Wordstrand_Big5ToWide(piece, out);
    else
        Wordstrand_ToFullWidth(g_dbcsLanguage.charset, piece, out, 0);
    return (int)strnlen(out, 8);
}

bool IsSoundMark(BYTE b) { return b == 0xDE || b == 0xDF; }

}  // namespace

bool Dbcs_IsLead(BYTE b) {
    if (g_dbcsLanguage.charset == 128)
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    return b >= 0x81 && b <= 0xFE;
}

void Dbcs_FreeText(DbcsText *t) {
    free(t->bytes);
    free(t->codes);
    free(t->offsets);
    free(t->source);
    memset(t, 0, sizeof *t);
}

bool Dbcs_MakeText(const char *text, int maxBytes, DbcsText *t) {
    memset(t, 0, sizeof *t);
    int n = (int)strlen(text);
    if (maxBytes > 0 && maxBytes < n)
        n = maxBytes;
    t->bytes = (char *)malloc(2 * (size_t)n + 8);
    t->codes = (WORD *)malloc(sizeof(WORD) * ((size_t)n + 2));
    t->offsets = (int *)malloc(sizeof(int) * ((size_t)n + 2));
    t->source = (int *)malloc(sizeof(int) * ((size_t)n + 2));
    if (!t->bytes || !t->codes || !t->offsets || !t->source) {
        Dbcs_FreeText(t);
        return false;
    }
    const BYTE *p = (const BYTE *)text;
    int at = 0, character = 0;
    while (at < n) {
        char piece[4] = {};
        int take = 1;
        if (Dbcs_IsLead(p[at]) && at + 1 < n && p[at + 1])
            take = 2;
        else if (g_dbcsLanguage.charset == 128 && p[at] >= 0xA1 && p[at] <= 0xDF && at + 1 < n &&
                 IsSoundMark(p[at + 1]))
            take = 2;
        memcpy(piece, p + at, take);
        char wide[16];
        int w = Widen(piece, wide);
        for (int k = 0; k < w;) {
            BYTE b = (BYTE)wide[k];
            t->offsets[t->count] = t->length;
            t->source[t->count] = character;
            if (Dbcs_IsLead(b) && k + 1 < w) {
                t->codes[t->count] = g_dbcsLanguage.index(b, (BYTE)wide[k + 1]);
                t->bytes[t->length++] = wide[k++];
            } else {
                t->codes[t->count] = DBCS_SINGLE;
            }
            t->bytes[t->length++] = wide[k++];
            t->count++;
        }
        at += take;
        character++;
    }
    t->bytes[t->length] = 0;
    t->offsets[t->count] = t->length;
    return true;
}

int Dbcs_CharAt(const char *text, int bytePosition, const DbcsText *t) {
    // The caller's character index of the byte, then the first full-width character made from it
    // or from a later one (a dropped control character moves on to the next).
    const BYTE *p = (const BYTE *)text;
    int at = 0, character = 0;
    while (p[at]) {
        int take = (Dbcs_IsLead(p[at]) && p[at + 1]) ? 2 : 1;
        if (g_dbcsLanguage.charset == 128 && p[at] >= 0xA1 && p[at] <= 0xDF && IsSoundMark(p[at + 1]))
            take = 2;
        if (bytePosition < at + take)
            break;
        at += take;
        character++;
    }
    if (!p[at])
        return -1;
    for (int i = 0; i < t->count; i++)
        if (t->source[i] >= character)
            return i;
    return -1;
}

BYTE Dbcs_Class(WORD code) {
    if (code == DBCS_SPACE)
        return g_dbcsLanguage.classSpace;
    if (code == DBCS_SINGLE)
        return g_dbcsLanguage.classSingle;
    return code < g_dbcsTables.size ? g_dbcsTables.classes[code] : g_dbcsLanguage.classBeyond;
}

bool Dbcs_IsWord(WORD code) {
    if (code == DBCS_SPACE || code == DBCS_SINGLE)
        return false;
    if (code >= g_dbcsTables.size)
        return true;
    if (g_dbcsLanguage.consultNonWord & (1u << g_dbcsTables.classes[code]))
        return g_dbcsTables.nonWord[code] == 0;
    return true;
}

bool Dbcs_AddKey(DbcsKeys *keys, const DbcsText *t, int from, int to, const char *tail, int tailChars,
                 DWORD position, DWORD kind, DWORD extra, DWORD group, bool sentence) {
    if (to - from + tailChars < keys->minimumLength)
        return true;
    if (!sentence && from < to && t->codes[from] == DBCS_SPACE)
        return true;
    if (keys->count >= LANG_MAX_KEYS)
        return false;
    int a = t->offsets[from], b = t->offsets[to];
    int tailLength = tail ? (int)strlen(tail) : 0;
    char *text = (char *)Linguabase_Alloc((DWORD)(b - a + tailLength + 1));
    if (!text)
        return false;
    memcpy(text, t->bytes + a, b - a);
    if (tailLength)
        memcpy(text + (b - a), tail, tailLength);
    LangKeyItem &k = keys->items[keys->count++];
    k.text = text;
    k.position = position;
    k.kind = kind;
    k.extra = extra;
    k.group = group;
    k.unused = 0;
    return true;
}

const WORD *Dbcs_Table(int number) {
    switch (number) {
    case 1: return g_dbcsTables.partial1;
    case 2: return g_dbcsTables.partial2;
    case 3: return g_dbcsTables.blind;
    default: return g_dbcsTables.exact;
    }
}

int Dbcs_Map(const DbcsText *t, int mode, const WORD *table, WCHAR *out) {
    const DbcsLanguage &l = g_dbcsLanguage;
    const DbcsTables &d = g_dbcsTables;
    BYTE *insignificant = (BYTE *)malloc((size_t)t->count + 1);
    int n = 0;
    WORD previous = 0;
    for (int i = 0; i < t->count; i++) {
        WORD c = t->codes[i];
        if ((mode & 0x10) && l.longMark && c == l.longMark && previous < d.size) {
            WORD vowel = d.longKata[previous] ? d.longKata[previous] : d.longHira[previous];
            if (vowel)
                c = WORD(vowel - 1);
        }
        bool dull = (l.insignificant >> Dbcs_Class(c)) & 1;
        if (c == DBCS_SPACE) {
            if (mode & 8)
                break;
            if (mode & 4)
                continue;
        }
        if ((mode & 2) && dull)
            continue;
        if (c < d.size && d.smallAlways) {
            c = d.smallAlways[c];
            if (mode & 0x20)
                c = d.smallByFlag[c];
        }
        previous = c;
        if (insignificant)
            insignificant[n] = dull;
        out[n++] = (table && c < d.size) ? table[c] : c;
    }
    if ((mode & 1) && insignificant) {
        // Trim the insignificant characters at both ends and keep the first of each inner run.
        int a = 0, b = n, m = 0;
        while (a < b && insignificant[a])
            a++;
        while (b > a && insignificant[b - 1])
            b--;
        for (int i = a; i < b; i++)
            if (!(insignificant[i] && i > a && insignificant[i - 1]))
                out[m++] = out[i];
        n = m;
    }
    free(insignificant);
    out[n] = 0;
    return n;
}
