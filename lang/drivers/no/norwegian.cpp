// The Norwegian driver: irregular forms (whole word), endings of nouns, verbs and adjectives, and
// the plurals with o turned into o-slash (boeker -> bok).
//
// Tables: 101 endings and long irregular forms (value 4096; whole word in the first pass, then
// mode 0), 102 genitive and passive endings (mode 0), 103 short irregular forms (whole word; its
// exception index holds words that are their own base form).
#include <string.h>
#include <initializer_list>
#include "sbcs_int.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 4096, 0},
    {102, false, 0, 0},
    {103, false, 0, 1},
};

// AE O-slash A-ring, the accented letters of loan words (e-acute, o-acute, ...), A and O umlaut;
// upper and lower case.
constexpr SbcsLetters kLetters = Sbcs_MakeLetters(
    "\xC6\xD8\xC5\xC9\xC8\xCA\xD3\xD2\xD4\xDC\xC4\xD6"
    "\xE6\xF8\xE5\xE9\xE8\xEA\xF3\xF2\xF4\xFC\xE4\xF6");

bool EndsWith(const char *w, int n, const char *end) {
    int e = (int)strlen(end);
    return e <= n && _stricmp(w + n - e, end) == 0;
}

// Plurals with o-slash: "-dre", "-drer", "-drene" are cut back to "-dre", "-er" and "-ene" are
// taken off; the last o-slash of such a stem becomes o and the stem is added alone and with "e"
// and "a" (boeker -> bok, boke, boka; boender -> bond, bonde).
void SlashedO(const char *w, int n, int index, LangAnalysisContext *c) {
    char stem[LANG_OUTPUT_SIZE + 2];
    int m = -1;
    if (EndsWith(w, n, "drene"))
        m = n - 2;
    else if (EndsWith(w, n, "drer"))
        m = n - 1;
    else if (EndsWith(w, n, "dre"))
        m = n;
    else if (EndsWith(w, n, "ene"))
        m = n - 3;
    else if (EndsWith(w, n, "er"))
        m = n - 2;
    if (m <= 0)
        return;
    memcpy(stem, w, (size_t)m);
    stem[m] = 0;
    int at = -1;
    for (int i = 0; i < m; i++)
        if ((BYTE)stem[i] == 0xF8 || (BYTE)stem[i] == 0xD8)
            at = i;
    if (at < 0)
        return;
    stem[at] = (BYTE)stem[at] == 0xF8 ? 'o' : 'O';
    Linguabase_AddCandidate(stem, 3, 0, 0, index, c);
    for (const char *tail : {"e", "a"}) {
        stem[m] = tail[0];
        stem[m + 1] = 0;
        Linguabase_AddCandidate(stem, 3, 0, 0, index, c);
    }
}

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE];
    if (!Sbcs_CopyWord(w, text, length))
        return;
    if (Sbcs_ApplyIn(103, 1, w, length, index, c) || Sbcs_ApplyIn(101, 1, w, length, index, c))
        return;
    Sbcs_ApplyIn(101, 0, w, length, index, c);
    Sbcs_ApplyIn(102, 0, w, length, index, c);
    SlashedO(w, length, index, c);
}

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x1100, "Norwegian", kLetters.t, kTables, WordRules);
    l.order = kSbcsNorwegianOrder;
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
