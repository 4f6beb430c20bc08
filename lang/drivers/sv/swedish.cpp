// The Swedish driver: sure derivational endings, irregular forms (whole word), inflection endings,
// genitive and definite endings, the clitic pronouns after an apostrophe ("tog'en") and the
// genitive apostrophe.
//
// Tables: 103 derivational endings (mode 0, tried first), 101 irregular forms and inflection
// endings (value 4096; whole word first, then mode 0; its exception index holds words that are
// their own base form), 102 genitive and definite endings (mode 0, into a list whose stems go
// through table 101 as whole words).
#include <string.h>
#include "sbcs_int.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 4096, 1},
    {102, false, 0, 0},
    {103, false, 0, 0},
};

// A-ring A-umlaut O-umlaut, e-acute and u-umlaut of loan words, AE and O-slash; both cases.
constexpr SbcsLetters kLetters = Sbcs_MakeLetters("\xC5\xC4\xD6\xC9\xDC\xC6\xD8\xE5\xE4\xF6\xE9\xFC\xE6\xF8");

// A clitic after an apostrophe is cut off and its pronoun appended.
const LangReplaceRule kClitics[] = {
    {0, 0, 0, 0, "'en", "honom"}, {0, 0, 0, 0, "'n", "den"},  {0, 0, 0, 0, "'na", "henne"},
    {0, 0, 0, 0, "'et", "det"},   {0, 0, 0, 0, "'t", "det"},  {0, 0, 0, 0, "\x92" "en", "honom"},
    {0, 0, 0, 0, "\x92n", "den"}, {0, 0, 0, 0, "\x92na", "henne"}, {0, 0, 0, 0, "\x92" "et", "det"},
    {0, 0, 0, 0, "\x92t", "det"}, {0, 0, 0, 0, nullptr, nullptr},
};

bool IsApostrophe(char ch) { return ch == '\'' || (BYTE)ch == 0x92; }

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE];
    if (!Sbcs_CopyWord(w, text, length))
        return;
    if (!Sbcs_ApplyIn(103, 0, w, length, index, c) && !Sbcs_ApplyIn(101, 1, w, length, index, c) &&
        !Sbcs_ApplyIn(101, 0, w, length, index, c)) {
        SbcsStringList held;
        if (!held.p)
            return;
        LangStringList &list = *held.p;
        if (Sbcs_ApplyIn(102, 0, w, length, index, c, &list))
            for (int i = 0; i < list.count; i++) {
                Linguabase_AddCandidate(list.strings[i], 3, 0, 0, index, c);
                Sbcs_ApplyIn(101, 1, list.strings[i], (int)strlen(list.strings[i]), index, c);
            }
        Linguabase_FreeStrings(&list);
    }
    // Clitics and the genitive run on every word: "Kalle's" gives "Kalle'" and "Kalle".
    Linguabase_ApplyReplaceRules(w, kClitics, 3, index, c, nullptr);
    int n = length;
    if (n > 1 && (w[n - 1] == 's' || w[n - 1] == 'S')) {
        w[--n] = 0;
        Linguabase_AddCandidate(w, 3, 0, 0, index, c);
    }
    bool cut = false;
    while (n > 1 && IsApostrophe(w[n - 1])) {
        w[--n] = 0;
        cut = true;
    }
    if (cut)
        Linguabase_AddCandidate(w, 3, 0, 0, index, c);
}

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x1600, "Swedish", kLetters.t, kTables, WordRules);
    l.order = kSbcsSwedishOrder;
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
