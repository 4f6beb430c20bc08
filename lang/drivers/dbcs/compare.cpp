// Collation of the double-byte drivers on row indexes: the staged compare, the scored compare,
// the sort key, and the normalisation of search keys.
//
// Compare flags: 0x8000 from the end; 0x40 drop the insignificant classes (symbols, punctuation,
// space); 0x08 drop spaces; 0x04 stop after the first stage; 0x10 long-vowel marks compare as the
// vowel they stand for, and with 0x400 the last stages are fully blind, 0x10 alone kana-blind
// (partial table 2), 0x400 alone case-blind (partial table 1); 0x20 folds small ya, yu, yo in the
// last stages and 0x200 in the first.  Any low flag bit ends the compare before the exact stage.
#include <stdlib.h>
#include <string.h>
#include "dbcs_int.h"
#include "wordstrand.h"

namespace {

// The mapping of the stage every compare runs first unless it asks for letters only (0x04, 0x48),
// with the blind table: insignificant characters collapsed, long-vowel marks read as their vowel,
// small ya, yu, yo full size.  The sort key takes its first character from the same mapping.
const int kFirstStage = 0x31;

// Both strings in row indexes, each with room for its mapped form.
struct Pair {
    DbcsText a, b;
    WCHAR *ma, *mb;
    int na, nb;
};

bool Open(Pair *p, const char *key, int keyBytes, const char *text, int textBytes) {
    memset(p, 0, sizeof *p);
    bool ok = Dbcs_MakeText(key ? key : "", keyBytes, &p->a);
    ok = Dbcs_MakeText(text ? text : "", textBytes, &p->b) && ok;
    if (ok) {
        p->ma = (WCHAR *)malloc(sizeof(WCHAR) * (p->a.count + 1));
        p->mb = (WCHAR *)malloc(sizeof(WCHAR) * (p->b.count + 1));
    }
    return ok && p->ma && p->mb;
}

void Close(Pair *p) {
    Dbcs_FreeText(&p->a);
    Dbcs_FreeText(&p->b);
    free(p->ma);
    free(p->mb);
}

void Map(Pair *p, int mode, const WORD *table) {
    p->na = Dbcs_Map(&p->a, mode, table, p->ma);
    p->nb = Dbcs_Map(&p->b, mode, table, p->mb);
}

int Wide(Pair *p, DWORD flags, int length) {
    return Wordstrand_CompareWideEx(flags & 0x8000, p->ma, p->mb, length);
}

bool Dull(WCHAR c) { return (g_dbcsLanguage.insignificant >> Dbcs_Class(c)) & 1; }

// The first difference decides, an insignificant character sorting before a significant one.
int DullFirst(const Pair *p, DWORD flags, int length) {
    bool reverse = flags & 0x8000;
    int n = p->na < p->nb ? p->na : p->nb;
    if (length > 0 && length < n)
        n = length;
    for (int i = 0; i < n; i++) {
        WCHAR x = reverse ? p->ma[p->na - 1 - i] : p->ma[i];
        WCHAR y = reverse ? p->mb[p->nb - 1 - i] : p->mb[i];
        if (x == y)
            continue;
        if (Dull(x) != Dull(y))
            return Dull(x) ? -1 : 1;
        return x < y ? -1 : 1;
    }
    return 0;
}

int ChosenTable(DWORD flags) {
    if ((flags & 0x10) && (flags & 0x400))
        return 3;
    if (flags & 0x10)
        return 2;
    return (flags & 0x400) ? 1 : 0;
}

// The stages: letters only (with 0x48 or 0x04), then blind with the insignificant characters
// collapsed, blind with the small kana folded only by 0x20, the table chosen by the flags, exact.
// The drops asked by 0x40 and 0x08 hold in every stage; the blind stages also read long-vowel
// marks as their vowel, so that only the last stages tell them apart.
int Staged(Pair *p, DWORD flags, int length) {
    const WORD *blind = Dbcs_Table(3);
    int base = ((flags & 0x40) ? 2 : 0) | ((flags & 0x08) ? 4 : 0);
    int r;
    if ((flags & 0x48) == 0x48 || (flags & 0x04)) {
        Map(p, base | ((flags & 0x200) ? 38 : 6) | (flags & 0x10), blind);
        if (p->na == 0 || p->nb == 0) {
            if (p->na || p->nb)
                return p->na ? 1 : -1;
            Map(p, base, Dbcs_Table(0));
        }
        if ((r = Wide(p, flags, length)) != 0 || (flags & 0x04))
            return r;
    }
    Map(p, base | kFirstStage, blind);
    if ((r = DullFirst(p, flags, length)) != 0 || (r = Wide(p, flags, length)) != 0)
        return r;
    Map(p, base | 0x10 | (int)(flags & 0x20), blind);
    if ((r = Wide(p, flags, length)) != 0)
        return r;
    Map(p, base | (int)(flags & 0x30), Dbcs_Table(ChosenTable(flags)));
    if ((r = Wide(p, flags, length)) != 0 || (flags & 0xFFFF))
        return r;
    Map(p, base, Dbcs_Table(0));
    return Wide(p, flags, length);
}

WORD WINAPI MapWide(WORD ch, int mode) {
    const WORD *t = Dbcs_Table(mode);
    return ch < g_dbcsTables.size ? t[ch] : ch;
}

// The double-byte code of a row index.
void CodeOf(WORD index, BYTE *lead, BYTE *trail) {
    int t;
    switch (g_dbcsLanguage.charset) {
    case 128:
        *lead = BYTE(0x81 + index / 188);
        if (*lead >= 0xA0)
            *lead += 0x40;
        t = index % 188;
        *trail = BYTE(t < 0x3F ? 0x40 + t : 0x41 + t);
        break;
    case 136:
        *lead = BYTE(0xA1 + index / 156);
        t = index % 156;
        *trail = BYTE(t <= 62 ? 0x40 + t : 0x63 + t);
        break;
    default:
        *lead = BYTE(0xA1 + index / 94);
        *trail = BYTE(0xA1 + index % 94);
        break;
    }
}

}  // namespace

extern "C" int WINAPI LangDriver_Compare(DWORD flags, const char *key, const char *text, int length) {
    Pair p;
    int r = Open(&p, key, 0, text, 0) ? Staged(&p, flags, length) : 0;
    Close(&p);
    return r;
}

extern "C" DWORD WINAPI LangDriver_CompareScored(DWORD flags, int prefixLength, const char *key, int keyLength,
                                                 const char *text, int textLength) {
    Pair p;
    DWORD r = 0x40000000;
    if (Open(&p, key, keyLength, text, textLength)) {
        int table = (flags & 0x04) ? 3 : ChosenTable(flags);
        Map(&p, ((flags & 0x40) ? 2 : 0) | ((flags & 0x08) ? 4 : 0), nullptr);
        r = Linguabase_CompareScoredWide(flags, prefixLength, p.ma, p.na, p.mb, p.nb, table, 3, MapWide);
    }
    Close(&p);
    return r;
}

// The first two characters (the last two from the end) of the text as the first stage of the
// compare maps it (blind, insignificant characters trimmed at both ends and
// collapsed inside, long-vowel marks as their vowel, small kana full size) into out[0] and out[1]
// (0 past the end); the first one is the key, inside the key space of the language (every row
// index).  That stage orders texts by this character first, so the key never falls as texts grow
// in the compare's order and a dictionary's buckets hold runs of its index; a text that maps to
// nothing (only symbols) sorts first and has key 0.
extern "C" DWORD WINAPI LangDriver_GetSortKey(const char *text, int fromEnd, WORD *out) {
    DbcsText t;
    WORD first = 0, second = 0;
    if (Dbcs_MakeText(text ? text : "", 0, &t)) {
        WCHAR *m = (WCHAR *)malloc(sizeof(WCHAR) * (t.count + 1));
        if (m) {
            int n = Dbcs_Map(&t, kFirstStage, Dbcs_Table(3), m);
            if (n > 0)
                first = fromEnd ? m[n - 1] : m[0];
            if (n > 1)
                second = fromEnd ? m[n - 2] : m[1];
            free(m);
        }
        Dbcs_FreeText(&t);
    }
    if (out) {
        out[0] = first;
        out[1] = second;
    }
    return first;
}

// Flag 4: full width (with 0x80 the full-width asterisk and question mark of the Japanese driver
// become the single-byte wildcards); flags 1 or 2: the letters of the convertible classes through
// the first or (with 2) the second conversion table; no flag: a copy.  out holds 2 * length + 1.
// The engine searches with the flag-2 form of a key, so that form must compare equal to the key
// (the Japanese second table changes nothing; see tools/gen_dbcs_tables.py).
extern "C" char *WINAPI LangDriver_NormalizeText(DWORD flags, const char *text, char *out) {
    if (!out)
        return out;
    out[0] = 0;
    if (!text)
        return out;
    const DbcsLanguage &l = g_dbcsLanguage;
    if (flags & 4) {
        if (l.charset == 136)
            Wordstrand_Big5ToWide(text, out);
        else
            Wordstrand_ToFullWidth(l.charset, text, out, 0);
    } else {
        memmove(out, text, strlen(text) + 1);
    }
    const WORD *table = (flags & 2) ? g_dbcsTables.convert2 : (flags & 1) ? g_dbcsTables.convert1 : nullptr;
    bool wildcards = (flags & 4) && (flags & 0x80) && l.wildcards;
    BYTE *p = (BYTE *)out, *w = (BYTE *)out;
    while (*p) {
        if (!(Dbcs_IsLead(*p) && p[1])) {
            *w++ = *p++;
            continue;
        }
        WORD code = WORD(p[0] << 8 | p[1]);
        if (wildcards && (code == 0x8196 || code == 0x8148)) {
            *w++ = code == 0x8196 ? '*' : '?';
            p += 2;
            continue;
        }
        BYTE lead = p[0], trail = p[1];
        WORD index = l.index(lead, trail);
        if (table && index < g_dbcsTables.size && table[index] != index) {
            BYTE c = g_dbcsTables.classes[index];
            if (c >= l.convertFirst && c <= l.convertLast)
                CodeOf(table[index], &lead, &trail);
        }
        *w++ = lead;
        *w++ = trail;
        p += 2;
    }
    *w = 0;
    return out;
}
