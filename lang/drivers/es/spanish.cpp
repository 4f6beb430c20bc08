// The Spanish driver: irregular forms (whole word), verb endings to the infinitive, noun and
// adjective endings, the plural s, the opening marks of questions and exclamations, the prefix
// "re-" and the absolute superlative with its diphthongs (bonisimo -> bueno).
//
// Tables: 101 verb endings (mode 0, value 4096), 102 loaded and kept for callers of the resource
// though no word rule uses it (plural endings), 103 noun and adjective endings (mode 0), 104
// irregular forms (whole word; its exception index holds words that are their own base form).
#include <string.h>
#include "sbcs_int.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 4096, 0},
    {102, false, 0, 0},
    {103, false, 0, 0},
    {104, false, 0, 1},
};

// A-acute E-acute I-acute N-tilde O-acute U-acute U-diaeresis, and lower case.
constexpr SbcsLetters kLetters = Sbcs_MakeLetters("\xC1\xC9\xCD\xD1\xD3\xDA\xDC\xE1\xE9\xED\xF1\xF3\xFA\xFC");

const BYTE kOpenExclamation = 0xA1, kOpenQuestion = 0xBF;

void Tables(const char *w, int n, int index, LangAnalysisContext *c) {
    const int ids[] = {101, 103};
    for (int id : ids)
        Sbcs_Apply(id, w, n, index, c);
}

// "-isimo" with i-acute (also the feminine "-isima", which adds "a"): for every e and o of the
// stem, from the end, the stem with "ie" or "ue" in that vowel's place and the ending "e", and
// "o"; the stem as it stands with those endings too.
void Superlative(const char *w, int n, int index, LangAnalysisContext *c) {
    char ending[] = "\xEDsimo";  // isimo with i-acute
    bool feminine = false;
    if (n <= 5)
        return;
    if (_stricmp(w + n - 5, ending) != 0) {
        ending[4] = 'a';
        if (_stricmp(w + n - 5, ending) != 0)
            return;
        feminine = true;
    }
    int stem = n - 5;
    const char *tails[] = {"e", "o", feminine ? "a" : nullptr};  // the masculine is the base form
    char form[LANG_OUTPUT_SIZE + 4];
    memcpy(form, w, (size_t)stem);  // the stem as it stands (fuertisimo -> fuerte)
    for (const char *tail : tails) {
        if (!tail)
            continue;
        strcpy(form + stem, tail);
        Linguabase_AddCandidate(form, 3, 0, 0, index, c);
    }
    for (int i = stem - 1; i >= 0; i--) {
        char v = w[i];
        if (v != 'e' && v != 'o')
            continue;
        memcpy(form, w, (size_t)i);
        form[i] = v == 'e' ? 'i' : 'u';
        form[i + 1] = 'e';
        memcpy(form + i + 2, w + i + 1, (size_t)(stem - i - 1));
        int m = stem + 1;
        for (const char *tail : tails) {
            if (!tail)
                continue;
            strcpy(form + m, tail);
            Linguabase_AddCandidate(form, 3, 0, 0, index, c);
        }
    }
}

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE];
    if (!Sbcs_CopyWord(w, text, length))
        return;
    if (Sbcs_Apply(104, w, length, index, c))
        return;
    Tables(w, length, index, c);
    if (length > 1 && (w[length - 1] == 's' || w[length - 1] == 'S')) {
        Tables(w, length - 1, index, c);
        w[length - 1] = 0;
        Superlative(w, length - 1, index, c);
        w[length - 1] = text[length - 1];
    }
    // The word kept its opening mark (a leading character): the word without it is a form too.
    const LangWordSlot *slot = &c->words[index];
    if (slot->count > 0) {
        BYTE first = (BYTE)slot->candidates[0].text[0];
        if (first == kOpenExclamation || first == kOpenQuestion) {
            Linguabase_AddCandidate(w, 3, 0, 0, index, c);
            Tables(w, length, index, c);
        }
    }
    if (length > 4 && _strnicmp(w, "re", 2) == 0)  // rehacer -> hacer
        Linguabase_AddCandidate(w + 2, 3, 4096, 0, index, c);
    Superlative(w, length, index, c);
}

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x0800, "Spanish", kLetters.t, kTables, WordRules);
    l.delimiters = "?!:;\"[]{}.\\\t";  // and the tab
    l.leading = "\xA1\xBF";           // the opening exclamation and question marks stay with their word
    l.phoneByExtension = true;        // phonetic data: the driver's own name with the extension "vic"
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
