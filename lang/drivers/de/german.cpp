// The German driver: base forms of inflected words from its rule tables and hard-coded rules
// (umlauts undone, participle and infinitive infixes taken out, endings stripped), compounds split
// into parts that are analysed again, and a filter of short and stop forms.  Sharp s is written as
// "ss" in normalisation and compares.
//
// Tables: 101 irregular forms and sure endings (whole word first, then mode 0; its exception index
// holds words that are their own base form), 103 irregular short forms (whole word), 102 general
// endings, 104 first elements of compounds and verb particles (prefix table; a form gives
// "<base of the element>+<rest>"), 105 last elements of compounds (a form gives
// "<first element>+<base of the last>").
#include <string.h>
#include <initializer_list>
#include "sbcs_int.h"
#include "wordstrand.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 4096, 1}, {102, false, 0, 0}, {103, false, 0, 1}, {104, true, 0, 0}, {105, false, 0, 0},
};

// The umlauts and sharp s, and the accented letters of loan words (cafe, creme, ...).
constexpr SbcsLetters kLetters = Sbcs_MakeLetters(
    "\xC4\xD6\xDC\xE4\xF6\xFC\xDF"                       // A O U umlaut, a o u umlaut, sharp s
    "\xC0\xC1\xC2\xC7\xC8\xC9\xCA\xCB\xCE\xCF\xD4\xDB"  // A-grave ... U-circumflex
    "\xE0\xE1\xE2\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xFB"  // and the same in lower case
    "\xD1\xF1");                                       // N-tilde, n-tilde

const int kMax = LANG_OUTPUT_SIZE;

struct Word {
    char text[kMax];
    int length;
};

bool MakeWord(Word *w, const char *text, int length) {
    w->text[0] = 0;
    w->length = 0;
    if (length < 0 || length >= kMax)
        return false;
    memcpy(w->text, text, (size_t)length);
    w->text[length] = 0;
    w->length = length;
    return true;
}

BYTE Lower(BYTE b) { return (BYTE)Wordstrand_MapCase(0, 2, b); }

bool EndsWith(const char *w, int n, const char *end) {
    int e = (int)strlen(end);
    if (e > n)
        return false;
    for (int i = 0; i < e; i++)
        if (Lower((BYTE)w[n - e + i]) != (BYTE)end[i])
            return false;
    return true;
}

// The first place of the two lower-case bytes `pair` inside the first `limit` bytes, or -1.
int FindPair(const char *w, int limit, const char *pair) {
    for (int i = 0; i + 1 < limit; i++)
        if (Lower((BYTE)w[i]) == (BYTE)pair[0] && Lower((BYTE)w[i + 1]) == (BYTE)pair[1])
            return i;
    return -1;
}

// A letter whose accent the fold map takes off (not one it blanks, such as sharp s).
bool Accented(BYTE b) {
    BYTE f = Sbcs_FoldMap()[b];
    return b >= 0x80 && f != b && ((f >= 'a' && f <= 'z') || (f >= 'A' && f <= 'Z'));
}

struct Run {
    int index;
    LangAnalysisContext *c;
};

void Add(const Run &r, const char *form, DWORD value = 0) { Linguabase_AddCandidate(form, 3, value, 0, r.index, r.c); }

int ApplyIn(int id, DWORD mode, const Run &r, const char *w, int n, LangStringList *list = nullptr) {
    return Sbcs_ApplyIn(id, mode, w, n, r.index, r.c, list);
}

int Whole(int id, const Run &r, const char *w, int n) { return ApplyIn(id, 1, r, w, n); }

// A form of a special rule: added, then table 101 in mode 0 on it.
void AddWithEndings(const Run &r, const char *form, DWORD value = 0) {
    Add(r, form, value);
    ApplyIn(101, 0, r, form, (int)strlen(form));
}

// Ending rules: flag 1 only for a capitalised word, flag 2 undo the last accent of the stem.
struct EndingRule {
    const char *ending, *replacement;
    int flags;
};
const EndingRule kEndingRules[] = {
    {"ern", "", 3}, {"st", "en", 2}, {"st", "", 2}, {"t", "en", 2}, {"est", "", 2},
};

void SpecialRules(const Run &r, const char *w, int n) {
    Word f;
    // Umlaut (and any accent): the first accented letter loses its accent.
    MakeWord(&f, w, n);
    for (int i = 0; i < n; i++)
        if (Accented((BYTE)f.text[i])) {
            f.text[i] = (char)Sbcs_FoldMap()[(BYTE)f.text[i]];
            AddWithEndings(r, f.text);
            break;
        }
    for (const EndingRule &e : kEndingRules) {
        int el = (int)strlen(e.ending), stem = n - el;
        if (stem < 2 || !EndsWith(w, n, e.ending))
            continue;
        if ((e.flags & 1) && !Wordstrand_UpperOnly((BYTE)w[0]))
            continue;
        MakeWord(&f, w, stem);
        if (e.flags & 2)
            for (int i = stem - 1; i >= 0; i--)
                if (Accented((BYTE)f.text[i])) {
                    f.text[i] = (char)Sbcs_FoldMap()[(BYTE)f.text[i]];
                    break;
                }
        strcat(f.text, e.replacement);
        AddWithEndings(r, f.text);
    }
    // Infinitive with "ge" or "zu" inside (angekommen, anzukommen -> ankommen).
    if (n >= 6 && EndsWith(w, n, "en"))
        for (const char *infix : {"ge", "zu"}) {
            int at = FindPair(w, n - 4, infix);
            if (at < 0)
                continue;
            MakeWord(&f, w, at);
            strcat(f.text, w + at + 2);
            f.text[n - 2] = 0;
            AddWithEndings(r, f.text, 4096);
        }
    // Participle in "ge...t" (gemacht -> macht, machen; gearbeitet -> arbeiten).
    if (n >= 5 && (w[n - 1] == 't' || w[n - 1] == 'T')) {
        int at = FindPair(w, n - 3, "ge");
        if (at >= 0) {
            MakeWord(&f, w, at);
            strcat(f.text, w + at + 2);
            f.text[n - 2] = 0;
            AddWithEndings(r, f.text);
            int m = n - 2;
            f.text[m - 1] = 0;
            strcat(f.text, "en");
            AddWithEndings(r, f.text);
            if (m >= 4 && (f.text[m - 2] == 'e' || f.text[m - 2] == 'E')) {  // "-et": the stem ends in d or t
                f.text[m - 2] = 0;
                strcat(f.text, "en");
                AddWithEndings(r, f.text);
            }
        }
    }
}

const char *const kPlainEndings[] = {"er", "es", "en", "em", "e", "s"};

void EndingPass(const Run &r, const char *w, int n) {
    for (const char *e : kPlainEndings) {
        int stem = n - (int)strlen(e);
        if (stem < 2 || !EndsWith(w, n, e))
            continue;
        Word f;
        MakeWord(&f, w, stem);
        Add(r, f.text);
        if (Whole(101, r, f.text, stem) || Whole(103, r, f.text, stem))
            return;  // a known word: nothing further to find in it
        ApplyIn(102, 0, r, f.text, stem);
        ApplyIn(101, 0, r, f.text, stem);
        SpecialRules(r, f.text, stem);
        return;
    }
}

// A part of a compound: added, and analysed like a word of its own.
void AnalysePart(const Run &r, const char *w, int n) {
    Word f;
    if (n <= 0 || !MakeWord(&f, w, n))
        return;
    Add(r, f.text);
    if (Whole(101, r, f.text, n) || Whole(103, r, f.text, n))
        return;
    ApplyIn(102, 0, r, f.text, n);
    ApplyIn(101, 0, r, f.text, n);
    SpecialRules(r, f.text, n);
    EndingPass(r, f.text, n);
}

void SplitCompound(const Run &r, const char *w, int n) {
    if (n <= 4)
        return;
    SbcsStringList held;
    if (!held.p)
        return;
    LangStringList &list = *held.p;
    LangRuleTable *prefixes = Sbcs_Table(104);
    if (prefixes && Linguabase_ApplyPrefixRules(w, n, r.index, r.c, prefixes, &list))
        for (int i = 0; i < list.count; i++) {
            const char *s = list.strings[i], *plus = strchr(s, '+');
            if (!plus || !plus[1])
                continue;
            Word head;
            if (MakeWord(&head, s, (int)(plus - s)))
                Add(r, head.text);
            AnalysePart(r, plus + 1, (int)strlen(plus + 1));
        }
    Linguabase_FreeStrings(&list);
    if (ApplyIn(105, 0, r, w, n, &list))
        for (int i = 0; i < list.count; i++) {
            const char *s = list.strings[i], *plus = strchr(s, '+');
            if (!plus || plus == s || !plus[1])
                continue;
            AnalysePart(r, s, (int)(plus - s));
            Add(r, plus + 1);
        }
    Linguabase_FreeStrings(&list);
    if (n > 9)
        for (int at = 5; at <= n - 5; at++) {
            AnalysePart(r, w, at);
            AnalysePart(r, w + at, n - at);
        }
}

const char *const kStopForms[] = {
    "es", "ns", "us", "au", "aue", "du", "tu", "un", "er", "st", "sa", "oh", "sr", "ha", "he",
    "hu", "ch", "eh", "ne", "eg", "ma", "im", "pf", "ss", "mm", "rt", "at", "la", "ei", "mut",
};

bool Dropped(const char *form, const char *word) {
    int n = (int)strlen(form);
    if (n < 2)
        return true;
    char low[kMax];
    if (n >= kMax)
        return false;
    Wordstrand_ToLower(form, low);
    for (const char *s : kStopForms)
        if (strcmp(low, s) == 0)
            return true;
    int wn = (int)strlen(word);
    return (strcmp(low, "essen") == 0 || strcmp(low, "iss") == 0) && wn > 7 &&
           (EndsWith(word, wn, "isser") || EndsWith(word, wn, "issers"));
}

// Drops the word's short forms, stop forms and the essen/iss of "-isser" words (never the first).
void Filter(int index, LangAnalysisContext *c) {
    LangWordSlot *s = &c->words[index];
    if (s->count == 0)
        return;
    const char *word = s->candidates[0].text;
    int kept = 1;
    for (int i = 1; i < s->count; i++) {
        if (Dropped(s->candidates[i].text, word))
            Linguabase_Free(s->candidates[i].text);
        else
            s->candidates[kept++] = s->candidates[i];
    }
    s->count = kept;
}

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool cursorRun) {
    Word w;
    Run r = {index, c};
    if (MakeWord(&w, text, length)) {
        const char *t = w.text;
        int n = w.length;
        if (Whole(101, r, t, n) || Whole(103, r, t, n)) {
            // a known form: done
        } else if ((n >= 7 && EndsWith(t, n, "nisses")) || (n >= 6 && EndsWith(t, n, "nisse"))) {
            Word f;
            bool ses = EndsWith(t, n, "nisses");
            if (ses) {
                MakeWord(&f, t, n - 1);
                Add(r, f.text);
            }
            MakeWord(&f, t, n - (ses ? 3 : 2));
            Add(r, f.text);
        } else if ((n > 9 && EndsWith(t, n, "kissens")) || (n >= 9 && EndsWith(t, n, "kissen"))) {
            Word f;
            int base = EndsWith(t, n, "kissens") ? n - 1 : n;
            if (base < n) {
                MakeWord(&f, t, base);
                Add(r, f.text);
            }
            MakeWord(&f, t, base - 6);
            Add(r, f.text);
            Add(r, "kissen");
        } else {
            ApplyIn(102, 0, r, t, n);
            ApplyIn(101, 0, r, t, n);
            if (index == c->cursorWord) {
                const char *apostrophe = strrchr(t, '\'');
                if (apostrophe && apostrophe - t >= 2 && (apostrophe[-1] == 'n' || apostrophe[-1] == 'N')) {
                    Word f;
                    MakeWord(&f, t, (int)(apostrophe - t) - 1);
                    Linguabase_AddCandidate(f.text, 7, 0, 0, index, c);
                }
                Linguabase_AddLetterRun(t, n, index, c);
            }
            SpecialRules(r, t, n);
            EndingPass(r, t, n);
            SplitCompound(r, t, n);
        }
    }
    if (!cursorRun)
        Filter(index, c);
}

// Sharp s is written as "ss" in compares, scored compares and normalisation.
const SbcsDigraph kSharpS[] = {{0xDF, {'s', 's'}}, {0, {0, 0}}};

int WINAPI Compare(DWORD flags, const char *key, const char *text, int length) {
    char *k = Sbcs_ExpandedCopy(kSharpS, key, 0, nullptr), *t = Sbcs_ExpandedCopy(kSharpS, text, 0, nullptr);
    int r = Linguabase_CompareLatin(flags, k ? k : key, t ? t : text, length);
    Linguabase_Free(k);
    Linguabase_Free(t);
    return r;
}

DWORD WINAPI Score(DWORD flags, int prefixLength, const char *key, int keyLength, const char *text, int textLength) {
    return Sbcs_ScoreExpanded(kSharpS, flags, prefixLength, key, keyLength, text, textLength);
}

// Sharp s becomes "ss" before anything else (the shared fold map would blank it); without flags
// the bar and the middle dot are dropped.
char *Normalize(DWORD flags, const char *text, char *out) {
    if (!out || !text)
        return Sbcs_Normalize(flags, text, out);
    int n = (int)strlen(text);
    char *copy = (char *)Linguabase_Alloc((DWORD)(2 * n + 1));
    if (!copy)
        return Sbcs_Normalize(flags, text, out);
    int o = 0;
    for (int i = 0; i < n; i++) {
        BYTE b = (BYTE)text[i];
        if ((flags & 7) == 0 && (b == '|' || b == 0xB7))
            continue;
        o += Sbcs_ExpandDigraphs(kSharpS, text + i, 1, copy + o);
    }
    copy[o] = 0;
    Sbcs_Normalize(flags, copy, out);
    Linguabase_Free(copy);
    return out;
}

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x0700, "German", kLetters.t, kTables, WordRules);
    l.compounds = 1;
    l.block2 = {{4, 8, 1}};
    l.block6 = {{5, 8, 2}};
    l.order.compare = Compare;
    l.order.score = Score;
    l.normalize = Normalize;
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
