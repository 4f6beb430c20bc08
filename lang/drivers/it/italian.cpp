// The Italian driver: accents taken off, the plural in "-gi", irregular forms (whole word), elided
// articles and prepositions, verb endings to the infinitive, plural and feminine endings, and
// reflexive verbs in "-si".
//
// Tables: 101 verb endings (mode 0, value 4096), 102 noun and adjective endings (mode 0), 103
// elided words (mode 0, run on the part up to the apostrophe: a form gives the full word and a
// blank, and the rest of the word follows), 104 irregular forms (whole word; its exception index
// holds words that are their own base form).
#include <string.h>
#include "sbcs_int.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 4096, 0},
    {102, false, 0, 0},
    {103, false, 0, 0},
    {104, false, 0, 1},
};

// A-grave A-circumflex E-grave E-acute E-circumflex I-grave I-acute I-circumflex O-grave O-acute
// O-circumflex U-grave U-circumflex, and lower case.
constexpr SbcsLetters kLetters = Sbcs_MakeLetters(
    "\xC0\xC2\xC8\xC9\xCA\xCC\xCD\xCE\xD2\xD3\xD4\xD9\xDB"
    "\xE0\xE2\xE8\xE9\xEA\xEC\xED\xEE\xF2\xF3\xF4\xF9\xFB");

const LangPrefixRule kPrefixes[] = {
    {4, "all'", "a "}, {5, "dell'", "di "}, {5, "dall'", "da "}, {5, "nell'", "in "}, {5, "sull'", "su "},
    {4, "all\x92", "a "}, {5, "dell\x92", "di "}, {5, "dall\x92", "da "}, {5, "nell\x92", "in "},
    {5, "sull\x92", "su "},  // with the typographic apostrophe (0x92)
    {0, nullptr, nullptr},
};

// The accented vowels and their plain forms.
char PlainVowel(BYTE b) {
    static const char kFrom[] = "\xC1\xE1\xC9\xE9\xCD\xED\xD3\xF3\xDA\xFA\xC0\xE0\xC8\xE8\xCC\xEC\xD2\xF2\xD9\xF9";
    static const char kTo[] = "AaEeIiOoUuAaEeIiOoUu";
    const char *p = b ? strchr(kFrom, (char)b) : nullptr;
    return p ? kTo[p - kFrom] : 0;
}

bool IsApostrophe(char ch) { return ch == '\'' || (BYTE)ch == 0x92; }

// A word with an apostrophe: the elided part through table 103 with the rest after it, the prefix
// list, and the rest alone.
void ApostropheRule(const char *w, int n, int index, LangAnalysisContext *c) {
    int at = -1;
    for (int i = n - 1; i >= 0 && at < 0; i--)
        if (IsApostrophe(w[i]))
            at = i;
    if (at < 0)
        return;
    const char *rest = w + at + 1;
    SbcsStringList held;
    if (!held.p)
        return;
    LangStringList &list = *held.p;
    char head[LANG_OUTPUT_SIZE], form[2 * LANG_OUTPUT_SIZE];
    memcpy(head, w, (size_t)at + 1);
    head[at] = '\'';  // the table spells the plain apostrophe
    head[at + 1] = 0;
    if (Sbcs_Apply(103, head, at + 1, index, c, &list))
        for (int i = 0; i < list.count; i++)
            if (strlen(list.strings[i]) + strlen(rest) < LANG_OUTPUT_SIZE) {
                strcpy(form, list.strings[i]);
                strcat(form, rest);
                Linguabase_AddCandidate(form, 3, 0, 0, index, c);
            }
    Linguabase_FreeStrings(&list);
    Linguabase_ApplyPrefixList(w, kPrefixes, n, index, c);
    Linguabase_AddCandidate(rest, 3, 0, 0, index, c);
}

// Tables 101 and 102 into string lists; each string becomes a form and goes through the
// apostrophe rule.
void Endings(const char *w, int n, int index, LangAnalysisContext *c) {
    SbcsStringList held;
    if (!held.p)
        return;
    LangStringList &list = *held.p;
    const int ids[] = {101, 102};
    for (int id : ids) {
        LangRuleTable *t = Sbcs_Table(id);
        if (!t || !Linguabase_ApplySuffixRules(w, n, index, c, t, &list))
            continue;
        Linguabase_AddStringsAsCandidates(&list, 3, t->resultValue, index, c);
        for (int i = 0; i < list.count; i++)
            ApostropheRule(list.strings[i], (int)strlen(list.strings[i]), index, c);
        Linguabase_FreeStrings(&list);
    }
}

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE], plain[LANG_OUTPUT_SIZE];
    if (!Sbcs_CopyWord(w, text, length))
        return;
    // every accented vowel plain
    bool changed = false;
    for (int i = 0; i <= length; i++) {
        char v = PlainVowel((BYTE)w[i]);
        plain[i] = v ? v : w[i];
        changed = changed || v;
    }
    if (changed)
        Linguabase_AddCandidate(plain, 3, 0, 0, index, c);
    // plurals in "-gi": psicologi -> psicologo, viaggi -> viaggio (the vowel before "gi" plain)
    if (length > 3 && _stricmp(w + length - 2, "gi") == 0) {
        char form[LANG_OUTPUT_SIZE + 2];
        memcpy(form, w, (size_t)length);
        char v = PlainVowel((BYTE)form[length - 3]);
        if (v)
            form[length - 3] = v;
        strcpy(form + length - 1, "o");
        Linguabase_AddCandidate(form, 3, 0, 0, index, c);
        strcpy(form + length - 1, "io");
        Linguabase_AddCandidate(form, 3, 0, 0, index, c);
    }
    if (Sbcs_Apply(104, w, length, index, c))
        return;
    ApostropheRule(w, length, index, c);
    Endings(w, length, index, c);
    if (length > 4 && _stricmp(w + length - 2, "si") == 0)  // lavarsi -> lavar -> lavare
        Endings(w, length - 2, index, c);
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Sbcs_Language(0x0F00, "Italian", kLetters.t, kTables, WordRules);
