// The Japanese driver: Shift-JIS text, keys from character classes around the cursor and from the
// ending groups (conjugated endings after a kanji turned back into dictionary endings).
#include <stdlib.h>
#include <string.h>
#include "dbcs_int.h"
#include "wordstrand.h"

#include "dbcs_tables.inc"

namespace {

enum : BYTE { kHiragana = 1, kKatakana = 2, kKanji = 6, kSentence = 8 };
enum : WORD { kLongMark = 0x815B, kMiddleDot = 0x8145 };  // codes; their row indexes below

WORD IndexOf(WORD code) { return Wordstrand_SjisIndex(BYTE(code >> 8), BYTE(code)); }

// The ending groups of data resource 103, sorted by ending.
struct Group {
    const char *ending;
    const char *forms;  // NUL-separated, ended by an empty string
};
Group *g_groups;
int g_groupCount;

int CompareGroups(const void *a, const void *b) {
    return Wordstrand_CompareString(((const Group *)a)->ending, ((const Group *)b)->ending);
}

// Reads the groups: each a NUL-terminated ending, its NUL-terminated forms and an empty string.
// A group cut off by the end of the resource is left out.
void LoadGroups(HMODULE module) {
    HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(103), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL h = r ? LoadResource(module, r) : nullptr;
    const char *p = h ? (const char *)LockResource(h) : nullptr;
    DWORD size = r ? SizeofResource(module, r) : 0;
    if (!p || !size)
        return;
    int capacity = (int)size / 4 + 1;
    g_groups = (Group *)malloc(sizeof(Group) * capacity);
    if (!g_groups)
        return;
    DWORD at = 0;
    while (at < size && g_groupCount < capacity) {
        const char *ending = p + at;
        const void *nul = memchr(ending, 0, size - at);
        if (!nul || nul == ending)
            break;
        DWORD forms = (DWORD)((const char *)nul - p) + 1, q = forms;
        bool closed = false;
        while (q < size) {
            const char *end = (const char *)memchr(p + q, 0, size - q);
            if (!end)
                break;
            bool empty = end == p + q;
            q = (DWORD)(end - p) + 1;
            if (empty) {
                closed = true;
                break;
            }
        }
        if (!closed)
            break;
        g_groups[g_groupCount++] = {ending, p + forms};
        at = q;
    }
    qsort(g_groups, g_groupCount, sizeof(Group), CompareGroups);
}

void FreeGroups() {
    free(g_groups);
    g_groups = nullptr;
    g_groupCount = 0;
}

const Group *FindGroup(const char *ending) {
    Group probe = {ending, nullptr};
    return (const Group *)bsearch(&probe, g_groups, g_groupCount, sizeof(Group), CompareGroups);
}

BYTE ClassAt(const DbcsText *t, int i) { return Dbcs_Class(t->codes[i]); }

// The ending-group keys of the kanji at k: from the first hiragana among its next three
// characters, three and then two characters as the ending; every form of a group found makes a
// key of the text from the kanji up to the ending followed by the form.
bool AddEndingKeys(const DbcsText *t, int k, int cursor, int step, DbcsKeys *keys) {
    int h = -1;
    for (int i = k + 1; i <= k + 3 && i < t->count; i++)
        if (ClassAt(t, i) == kHiragana) {
            h = i;
            break;
        }
    if (h < 0 || t->length - t->offsets[h] < 3)
        return true;
    int tried = 0;
    for (int want = 3; want >= 2; want--) {
        int end = h + want < t->count ? h + want : t->count;
        if (end - h == tried || end - h < 2)
            continue;
        tried = end - h;
        char ending[16];
        int n = t->offsets[end] - t->offsets[h];
        if (n >= (int)sizeof ending)
            continue;
        memcpy(ending, t->bytes + t->offsets[h], n);
        ending[n] = 0;
        const Group *g = FindGroup(ending);
        if (!g)
            continue;
        DWORD extra = 0;
        for (const char *f = g->forms; *f; f += strlen(f) + 1) {
            int chars = (int)strlen(f) / 2;
            if (!Dbcs_AddKey(keys, t, k, h, f, chars, (DWORD)(t->offsets[cursor] - t->offsets[k]), 64, extra,
                             256u * step))
                return false;
            extra = 1;
        }
    }
    return true;
}

// Whether the character at i continues a run of class c (j is the character beyond it, -1 none).
bool Continues(const DbcsText *t, int i, int j, BYTE c) {
    BYTE k = ClassAt(t, i);
    if (k == kSentence)
        return false;
    if (k == c)
        return true;
    if (t->codes[i] == IndexOf(kLongMark))
        return c == kKatakana;
    if (t->codes[i] == IndexOf(kMiddleDot))
        return j >= 0 && j < t->count && ClassAt(t, j) == c;
    return false;
}

bool Analyze(const DbcsText *t, int cursor, const LangAnalysisSettings *s, DbcsKeys *keys) {
    // 1. The sentence key: the whole text.
    if (!Dbcs_AddKey(keys, t, 0, t->count, nullptr, 0, (DWORD)t->offsets[cursor], 256, 0, 0, true))
        return false;
    // 2. Back from the cursor: the text from every word character to the end, and the ending
    //    groups of a kanji within the first four steps.
    int back = (int)s->wordsBack;
    for (int step = 0; step <= back && cursor - step >= 0; step++) {
        int i = cursor - step;
        if (ClassAt(t, i) == kSentence)
            break;
        if (!Dbcs_IsWord(t->codes[i]))
            continue;
        DWORD position = (DWORD)(t->offsets[cursor] - t->offsets[i]);
        if (!Dbcs_AddKey(keys, t, i, t->count, nullptr, 0, position, 0, 0, 256u * step))
            return false;
        if (step < 4 && ClassAt(t, i) == kKanji && !AddEndingKeys(t, i, cursor, step, keys))
            return false;
    }
    // 3. The run of the cursor character's class.
    if (!Dbcs_IsWord(t->codes[cursor]))
        return true;
    BYTE c = ClassAt(t, cursor);
    int a = cursor, b = cursor + 1;
    while (b < t->count && Continues(t, b, b + 1, c))
        b++;
    while (a > 0 && Continues(t, a - 1, a - 2, c))
        a--;
    return Dbcs_AddKey(keys, t, a, b, nullptr, 0, (DWORD)(t->offsets[cursor] - t->offsets[a]), a == 0 ? 0 : 64, 0,
                       256u * (cursor - a));
}

}  // namespace

const DbcsLanguage g_dbcsLanguage = {
    0x0400, 128, "Japanese", "MS Gothic", "MS Gothic",
    6,                                   // kanji above the table
    11,                                  // the full-width space
    7,                                   // a byte without a full-width form counts as a symbol
    (1u << 7) | (1u << 8) | (1u << 11),  // symbols, sentence punctuation, space
    0xFFFFFFFFu,                         // the non-word table decides for every class
    1, 5,                                // hiragana, katakana, Latin, Greek, Cyrillic convert
    true,
    27,                                  // row index of the long-vowel mark 815B
    188 | 11280u << 16,
    Wordstrand_SjisIndex,
    false,
    LoadGroups,
    FreeGroups,
    Analyze,
};
