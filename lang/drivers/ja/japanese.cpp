// The Japanese driver: Shift-JIS text, keys from character classes around the cursor and the
// dictionary forms of the conjugated words there (through the ending rules of data resource 103).
#include <stdlib.h>
#include <string.h>
#include "dbcs_int.h"
#include "wordstrand.h"

#include "dbcs_tables.inc"

namespace {

enum : BYTE { kHiragana = 1, kKatakana = 2, kKanji = 6, kSentence = 8 };
enum : WORD { kLongMark = 0x815B, kMiddleDot = 0x8145 };  // codes; their row indexes below

WORD IndexOf(WORD code) { return Wordstrand_SjisIndex(BYTE(code >> 8), BYTE(code)); }

// The ending rules of data resource 103 (lang/drivers/ja/endings/103_endings.txt describes them):
// a rule turns a form of one of the classes `in` that ends in `ending` into the text before the
// ending followed by `form`, a form of the classes `out`.  Classes are bits; the data names them.
struct Rule {
    const char *ending, *form;
    int endingBytes, formBytes;
    WORD in, out;
};
// A class whose forms are dictionary forms, with the endings such a form has (NUL-separated,
// ended by an empty string).
struct WordClass {
    WORD bit;
    const char *endings;
};

Rule *g_rules;
int g_ruleCount;
WordClass g_words[16];
int g_wordCount;
WORD g_start;  // the classes the captured text itself may be

// A cursor over the resource: a read past its end sets `bad` and yields nothing.
struct Reader {
    const char *p;
    DWORD size, at;
    bool bad;
};

WORD ReadWord(Reader *r) {
    if (r->bad || r->size - r->at < 2) {
        r->bad = true;
        return 0;
    }
    WORD v = WORD((BYTE)r->p[r->at] | (BYTE)r->p[r->at + 1] << 8);
    r->at += 2;
    return v;
}

// A NUL-terminated string of whole double-byte characters.
const char *ReadString(Reader *r, int *bytes) {
    const char *s = r->bad ? nullptr : r->p + r->at;
    const char *nul = s ? (const char *)memchr(s, 0, r->size - r->at) : nullptr;
    if (!nul || (nul - s) % 2) {
        r->bad = true;
        return "";
    }
    *bytes = (int)(nul - s);
    r->at += (DWORD)*bytes + 1;
    return s;
}

void FreeRules() {
    free(g_rules);
    g_rules = nullptr;
    g_ruleCount = 0;
    g_wordCount = 0;
    g_start = 0;
}

// Reads the start classes, the dictionary classes and the rules.  Damaged data loads no rules at
// all (the analysis then gives no dictionary forms).
void LoadRules(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(103), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL h = found ? LoadResource(module, found) : nullptr;
    Reader r = {h ? (const char *)LockResource(h) : nullptr, found ? SizeofResource(module, found) : 0, 0, false};
    if (!r.p || !r.size)
        return;
    g_rules = (Rule *)malloc(sizeof(Rule) * (r.size / 6 + 1));  // a rule takes at least six bytes
    if (!g_rules)
        return;
    g_start = ReadWord(&r);
    for (WORD bit; (bit = ReadWord(&r)) != 0 && !r.bad;) {
        int bytes = 0;
        const char *endings = r.p + r.at;
        while (!r.bad && *ReadString(&r, &bytes))
            ;
        if (g_wordCount == 16)
            r.bad = true;
        else
            g_words[g_wordCount++] = {bit, endings};
    }
    while (!r.bad && r.at < r.size) {
        Rule &u = g_rules[g_ruleCount];
        u.in = ReadWord(&r);
        u.out = ReadWord(&r);
        u.ending = ReadString(&r, &u.endingBytes);
        u.form = ReadString(&r, &u.formBytes);
        if (!u.in || !u.out || u.endingBytes + u.formBytes == 0)
            r.bad = true;
        if (!r.bad)
            g_ruleCount++;
    }
    if (r.bad || !g_start)
        FreeRules();
}

bool EndsWith(const char *text, int bytes, const char *end, int endBytes) {
    return bytes >= endBytes && memcmp(text + bytes - endBytes, end, endBytes) == 0;
}

// Whether a form of these classes is a dictionary form: a class of the data's dictionary classes
// whose endings hold the form's, and two characters at least.
bool IsDictionaryForm(const char *text, int bytes, WORD classes) {
    if (bytes < 4)
        return false;
    for (int i = 0; i < g_wordCount; i++) {
        if (!(classes & g_words[i].bit))
            continue;
        for (const char *e = g_words[i].endings; *e; e += strlen(e) + 1)
            if (EndsWith(text, bytes, e, (int)strlen(e)))
                return true;
    }
    return false;
}

// The forms a surface goes back to, breadth first: the surface itself (of the start classes),
// then every rule on every form found, while there is room.  A form is kept once per class set;
// a form ending in a small tsu or n (待っ, 死ん) is the sound-changed stem of a godan verb and
// never a form of its own.
const int kFormBytes = 64, kMaxForms = 96;
struct Form {
    char text[kFormBytes];
    int bytes;
    WORD classes;
};

enum : WORD { kSmallTsu = 0x82C1, kSyllabicN = 0x82F1 };

bool EndsInSoundChange(const char *text, int bytes) {
    if (bytes < 2)
        return false;
    WORD last = WORD((BYTE)text[bytes - 2] << 8 | (BYTE)text[bytes - 1]);
    return last == kSmallTsu || last == kSyllabicN;
}

int GoBack(const char *surface, int bytes, Form *forms) {
    if (bytes >= kFormBytes)
        return 0;
    memcpy(forms[0].text, surface, bytes);
    forms[0].bytes = bytes;
    forms[0].classes = g_start;
    int n = 1;
    for (int i = 0; i < n; i++) {
        for (int k = 0; k < g_ruleCount && n < kMaxForms; k++) {
            const Rule &u = g_rules[k];
            const Form &f = forms[i];
            if (!(f.classes & u.in) || !EndsWith(f.text, f.bytes, u.ending, u.endingBytes))
                continue;
            int keep = f.bytes - u.endingBytes, size = keep + u.formBytes;
            if (size == 0 || size >= kFormBytes)
                continue;
            Form &g = forms[n];
            memcpy(g.text, f.text, keep);
            memcpy(g.text + keep, u.form, u.formBytes);
            g.bytes = size;
            g.classes = u.out;
            if (EndsInSoundChange(g.text, size))
                continue;
            bool known = false;
            for (int j = 0; j < n && !known; j++)
                known = forms[j].bytes == size && !(g.classes & ~forms[j].classes) &&
                        memcmp(forms[j].text, g.text, size) == 0;
            if (!known)
                n++;
        }
    }
    return n;
}

BYTE ClassAt(const DbcsText *t, int i) { return Dbcs_Class(t->codes[i]); }

// Whether the character at i can be part of the written stem of a verb or adjective (kanji,
// katakana and the long-vowel mark).
bool InStem(const DbcsText *t, int i) {
    BYTE c = ClassAt(t, i);
    return c == kKanji || c == kKatakana || t->codes[i] == IndexOf(kLongMark);
}

bool HasKey(const DbcsKeys *keys, const char *text, DWORD kind) {
    for (int i = 0; i < keys->count; i++)
        if (keys->items[i].kind == kind && strcmp(keys->items[i].text, text) == 0)
            return true;
    return false;
}

// The dictionary forms of the words that start at character i and reach the cursor.  A word is a
// stem of kanji or katakana (none when i is a hiragana) followed by hiragana; each length of it
// that reaches the cursor, the longest first, goes back through the ending rules, and every
// dictionary form found becomes a key (kind 64) in the order found, the fewest rules away from
// the text first (extra 0 for the first key of the start, 1 for the others).  A hiragana right
// after a stem starts no word below the cursor (it is the stem's ending).
const int kMaxStem = 8, kMaxTail = 12;

bool AddFormKeys(const DbcsText *t, int i, int cursor, int step, DbcsKeys *keys) {
    if (!g_ruleCount)
        return true;
    int h = i;
    if (InStem(t, i)) {
        while (h < t->count && h - i < kMaxStem && InStem(t, h))
            h++;
        if (h < t->count && InStem(t, h))
            return true;  // a stem this long is no verb's
    } else if (ClassAt(t, i) != kHiragana || (step > 0 && i > 0 && InStem(t, i - 1))) {
        return true;
    }
    int r = h;
    while (r < t->count && r - h < kMaxTail && ClassAt(t, r) == kHiragana)
        r++;
    Form forms[kMaxForms];
    DWORD extra = 0, position = (DWORD)(t->offsets[cursor] - t->offsets[i]);
    for (int e = r; e > h && e > cursor && e - i >= 2; e--) {
        int n = GoBack(t->bytes + t->offsets[i], t->offsets[e] - t->offsets[i], forms);
        for (int j = 0; j < n; j++) {
            const Form &f = forms[j];
            if (!IsDictionaryForm(f.text, f.bytes, f.classes))
                continue;
            char text[kFormBytes + 1];
            memcpy(text, f.text, f.bytes);
            text[f.bytes] = 0;
            if (HasKey(keys, text, 64))
                continue;
            if (!Dbcs_AddKey(keys, t, i, i, text, f.bytes / 2, position, 64, extra, 256u * step))
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
    // 2. Back from the cursor: the text from every word character to the end, and within the
    //    first four steps the dictionary forms of the words starting there.
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
        if (step < 4 && !AddFormKeys(t, i, cursor, step, keys))
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
    LoadRules,
    FreeRules,
    Analyze,
};
