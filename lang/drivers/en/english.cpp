// The English driver: inflection endings and irregular forms from its rule tables, the n't rule at
// the cursor, one compare pass, and its own fold map (the middle dot is dropped).
#include <string.h>
#include "sbcs_int.h"

namespace {

// 101: the regular endings (mode 0); 102: irregular forms and words not to stem (whole-word mode).
const SbcsTableSpec kTables[] = {
    {101, false, 0, 0},
    {102, false, 0, 1},
};

// "don't" gives "do" and "do not"; "can't" and "won't" are left to the irregular table.
void NotRule(const char *word, int length, int index, LangAnalysisContext *c) {
    if (length <= 4 || _strnicmp(word + length - 3, "n't", 3) != 0)
        return;
    if ((length == 5 && (_strnicmp(word, "can't", 5) == 0 || _strnicmp(word, "won't", 5) == 0)))
        return;
    char form[LANG_OUTPUT_SIZE];
    int n = length - 3;
    if (n + 5 > (int)sizeof form)
        return;
    memcpy(form, word, (size_t)n);
    form[n] = 0;
    Linguabase_AddCandidate(form, 7, 4096, 0, index, c);
    memcpy(form + n, " not", 5);
    Linguabase_AddCandidate(form, 7, 4096, 0, index, c);
}

void WordRules(const char *word, int length, int index, LangAnalysisContext *c, bool cursorRun) {
    if (!c->settings->rawOnly) {
        if (!Sbcs_Apply(102, word, length, index, c))
            Sbcs_Apply(101, word, length, index, c);
    }
    if (index == c->cursorWord && !cursorRun)
        NotRule(word, length, index, c);
}

void AdjustFold(BYTE *map) { map[0xB7] = 0x1B; }  // the middle dot becomes ESC and is dropped

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x0100, "English", nullptr, kTables, WordRules);  // no letters above 0x7F
    l.block6 = {{4, 8, 2}};
    l.singleCompare = true;
    l.adjustFold = AdjustFold;
    l.foldWithoutFlags = true;
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
