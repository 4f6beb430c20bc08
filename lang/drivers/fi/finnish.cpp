// The Finnish driver: irregular forms (whole word), verb endings to the infinitive, and case and
// possessive endings whose stems are looked up again (taloissa -> talo).
//
// Tables: 101 case and possessive endings (mode 0, into a list whose stems go through table 103
// as whole words and, when that finds nothing, through table 102), 102 verb endings (mode 0), 103
// irregular forms (whole word; its exception index holds words that are their own base form).
#include <string.h>
#include "sbcs_int.h"

namespace {

// A string list for one pass, from the library heap (10,000 pointers: too big for the stack, and
// a static one would be shared between threads).
struct StringList {
    LangStringList *p = (LangStringList *)Linguabase_Alloc(sizeof(LangStringList));
    ~StringList() {
        if (p) {
            Linguabase_FreeStrings(p);
            Linguabase_Free(p);
        }
    }
};

const SbcsTableSpec kTables[] = {
    {101, false, 0, 0},
    {102, false, 0, 0},
    {103, false, 0, 1},
};

struct Letters {
    BYTE t[256];
};
constexpr Letters MakeLetters(const char *s) {
    Letters l{};
    for (; *s; s++)
        l.t[(BYTE)*s] = 1;
    return l;
}
// A-umlaut O-umlaut A-ring, S-caron and Z-caron of loan words; both cases.
constexpr Letters kLetters = MakeLetters("\xC4\xD6\xC5\x8A\x8E\xE4\xF6\xE5\x9A\x9E");

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE];
    if (length >= (int)sizeof w)
        return;
    memcpy(w, text, (size_t)length);
    w[length] = 0;
    LangRuleTable *cases = Sbcs_Table(101), *verbs = Sbcs_Table(102), *irregular = Sbcs_Table(103);
    if (irregular && Linguabase_ApplySuffixRules(w, length, index, c, irregular, nullptr))
        return;
    if (verbs)
        Linguabase_ApplySuffixRules(w, length, index, c, verbs, nullptr);
    StringList held;
    if (!held.p)
        return;
    LangStringList &list = *held.p;
    if (cases && Linguabase_ApplySuffixRules(w, length, index, c, cases, &list))
        for (int i = 0; i < list.count; i++) {
            const char *stem = list.strings[i];
            int n = (int)strlen(stem);
            Linguabase_AddCandidate(stem, 3, 0, 0, index, c);
            if (!(irregular && Linguabase_ApplySuffixRules(stem, n, index, c, irregular, nullptr)) && verbs)
                Linguabase_ApplySuffixRules(stem, n, index, c, verbs, nullptr);
        }
    Linguabase_FreeStrings(&list);
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = {
    0x0C00,
    "Finnish",
    1,
    {4, 8, 2},
    {5, 8, 3},
    {{2, 8, 1}, {4, 8, 2}, {0, 5, 1}, {0, 5, 1}, {0, 5, 1}, {4, 2, 2}, {5, 8, 3}},
    Linguabase_CompareSwedish,
    Linguabase_ScoreSwedish,
    Linguabase_SortKeySwedish,
    Linguabase_KeySpaceNordic,
    false,
    kLetters.t,
    "?!:;\"[]{}.\\",
    "",
    "?!.",
    kTables,
    3,
    true,  // phonetic data: the driver's own name with the extension "vic"
    WordRules,
    nullptr,
    false,
    nullptr,
};
