// The Traditional-Chinese driver, which is also the Korean driver: one code built twice with the
// tables of its code page (the build's dbcs_tables.inc says which).  Keys are the character runs
// that end the text, from the cursor back, and the cursor character alone; there are no rule
// tables.
#include "dbcs_int.h"
#include "wordstrand.h"

#include "dbcs_tables.inc"

namespace {

enum : BYTE { kSentence = 6 };

bool Analyze(const DbcsText *t, int cursor, const LangAnalysisSettings *s, DbcsKeys *keys) {
    // 1. The whole text.
    if (!Dbcs_AddKey(keys, t, 0, t->count, nullptr, 0, (DWORD)t->offsets[cursor], 256, 0, 0, true))
        return false;
    // 2. Back from the cursor to a sentence mark: the text from every word character to the end.
    //    The position is the cursor's byte offset in the key.
    int back = (int)s->wordsBack;
    DWORD group = 0;
    for (int step = 0; step <= back && cursor - step >= 0; step++) {
        int i = cursor - step;
        if (Dbcs_Class(t->codes[i]) == kSentence)
            break;
        if (!Dbcs_IsWord(t->codes[i]))
            continue;
        group = 256u * step;
        if (!Dbcs_AddKey(keys, t, i, t->count, nullptr, 0, (DWORD)(t->offsets[cursor] - t->offsets[i]), 0, 0,
                         group))
            return false;
    }
    // 3. The cursor character alone, with the last group.
    return Dbcs_AddKey(keys, t, cursor, cursor + 1, nullptr, 0, 0, 0, 0, group);
}

}  // namespace

#if defined(DBCS_LANGUAGE_KO)
const DbcsLanguage g_dbcsLanguage = {
    0x0500, 129, "Korean", "GlimChe", "DotumChe",
    11, 10, 5,
    (1u << 5) | (1u << 6) | (1u << 10),  // symbols, sentence punctuation, space
    (1u << 4) | (1u << 5) | (1u << 6),   // kana and letter-like symbols, symbols, punctuation
    1, 3,                                // Latin, Greek, Cyrillic convert
    false, 0,
    8836 | 8836u << 16,
    Wordstrand_KscIndex,
    true, nullptr, nullptr,
    Analyze,
};
#else
const DbcsLanguage g_dbcsLanguage = {
    0x0300, 136, "Traditional Chinese", "MingLiu", "MingLiu",
    11, 10, 5,
    (1u << 5) | (1u << 6) | (1u << 10),  // symbols, sentence punctuation, space
    (1u << 5) | (1u << 6),               // symbols, punctuation
    1, 3,                                // Latin, Greek, Bopomofo convert
    false, 0,
    13883 | 13883u << 16,
    Wordstrand_Big5Index,
    true, nullptr, nullptr,
    Analyze,
};
#endif
