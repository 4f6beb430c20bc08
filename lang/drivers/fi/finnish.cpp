// The Finnish driver: irregular forms (whole word), verb endings to the infinitive, and case and
// possessive endings whose stems are looked up again (taloissa -> talo).
//
// Tables: 101 case and possessive endings (mode 0, into a list whose stems go through table 103
// as whole words and, when that finds nothing, through table 102), 102 verb endings (mode 0), 103
// irregular forms (whole word; its exception index holds words that are their own base form).
#include <string.h>
#include "sbcs_int.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 0, 0},
    {102, false, 0, 0},
    {103, false, 0, 1},
};

// A-umlaut O-umlaut A-ring, S-caron and Z-caron of loan words; both cases.
constexpr SbcsLetters kLetters = Sbcs_MakeLetters("\xC4\xD6\xC5\x8A\x8E\xE4\xF6\xE5\x9A\x9E");

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE];
    if (!Sbcs_CopyWord(w, text, length))
        return;
    if (Sbcs_Apply(103, w, length, index, c))
        return;
    Sbcs_Apply(102, w, length, index, c);
    SbcsStringList held;
    if (!held.p)
        return;
    LangStringList &list = *held.p;
    if (Sbcs_Apply(101, w, length, index, c, &list))
        for (int i = 0; i < list.count; i++) {
            const char *stem = list.strings[i];
            int n = (int)strlen(stem);
            Linguabase_AddCandidate(stem, 3, 0, 0, index, c);
            if (!Sbcs_Apply(103, stem, n, index, c))
                Sbcs_Apply(102, stem, n, index, c);
        }
    Linguabase_FreeStrings(&list);
}

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x0C00, "Finnish", kLetters.t, kTables, WordRules);
    l.compounds = 1;
    l.order = kSbcsSwedishOrder;  // the Swedish collation
    l.phoneByExtension = true;    // phonetic data: the driver's own name with the extension "vic"
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
