// The French driver: irregular forms (whole word), verb endings to the infinitive, plural and
// feminine endings, elided words and the irregular comparatives and adjectives of the prefix list.
// The ligature oe is written as two letters in normalisation without flags and in scored compares.
//
// Tables: 101 verb endings (mode 0, value 4096), 102 plural and feminine endings (mode 0), 103
// irregular forms (whole word; its exception index holds words that are their own base form).
#include <string.h>
#include "sbcs_int.h"

namespace {

const SbcsTableSpec kTables[] = {
    {101, false, 4096, 0},
    {102, false, 0, 0},
    {103, false, 0, 1},
};

// A-grave A-circumflex AE C-cedilla E-grave E-acute E-circumflex E-diaeresis I-circumflex
// I-diaeresis O-circumflex OE U-grave U-circumflex U-diaeresis Y-diaeresis, and lower case.
constexpr SbcsLetters kLetters = Sbcs_MakeLetters(
    "\xC0\xC2\xC6\xC7\xC8\xC9\xCA\xCB\xCE\xCF\xD4\x8C\xD9\xDB\xDC\x9F"
    "\xE0\xE2\xE6\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\x9C\xF9\xFB\xFC\xFF");

// Elided words and irregular forms at the start of a word: the match becomes the replacement and
// the rest of the word follows.  The elisions also come with the typographic apostrophe (0x92).
const LangPrefixRule kPrefixes[] = {
    {10, "meilleures", "bon"},
    {9, "meilleure", "bon"},
    {8, "meilleur", "bon"},
    {5, "mieux", "bien"},
    {9, "nouvelles", "nouveau"},
    {8, "nouvelle", "nouveau"},
    {6, "nouvel", "nouveau"},
    {8, "vieilles", "vieux"},
    {7, "vieille", "vieux"},
    {5, "vieil", "vieux"},
    {6, "belles", "beau"},
    {5, "belle", "beau"},
    {3, "bel", "beau"},
    {6, "folles", "fou"},
    {5, "folle", "fou"},
    {3, "fol", "fou"},
    {6, "molles", "mou"},
    {5, "molle", "mou"},
    {3, "mol", "mou"},
    {7, "quelqu'", "quelque "},
    {6, "jusqu'", "jusque "},
    {3, "qu'", "que "},
    {2, "c'", "ce "},
    {2, "d'", "de "},
    {2, "j'", "je "},
    {2, "l'", "le "},
    {2, "m'", "me "},
    {2, "n'", "ne "},
    {2, "s'", "se "},
    {2, "s'", "si "},
    {2, "t'", "te "},
    {7, "quelqu\x92", "quelque "},
    {6, "jusqu\x92", "jusque "},
    {3, "qu\x92", "que "},
    {2, "c\x92", "ce "},
    {2, "d\x92", "de "},
    {2, "j\x92", "je "},
    {2, "l\x92", "le "},
    {2, "m\x92", "me "},
    {2, "n\x92", "ne "},
    {2, "s\x92", "se "},
    {2, "s\x92", "si "},
    {2, "t\x92", "te "},
    {0, nullptr, nullptr},
};

void WordRules(const char *text, int length, int index, LangAnalysisContext *c, bool) {
    char w[LANG_OUTPUT_SIZE];
    if (!Sbcs_CopyWord(w, text, length))
        return;
    if (Sbcs_Apply(103, w, length, index, c))
        return;
    Sbcs_Apply(101, w, length, index, c);
    // plural and feminine endings, also on the word without its last "e", "s" or "es"
    Sbcs_Apply(102, w, length, index, c);
    char last = w[length - 1];
    if (length > 1 && (last == 'e' || last == 'E' || last == 's' || last == 'S'))
        Sbcs_Apply(102, w, length - 1, index, c);
    if (length > 2 && _stricmp(w + length - 2, "es") == 0)
        Sbcs_Apply(102, w, length - 2, index, c);
    Linguabase_ApplyPrefixList(w, kPrefixes, length, index, c);
}

// The ligature oe is written as two letters in scored compares and normalisation without flags.
const SbcsDigraph kLigatures[] = {{0x8C, {'O', 'E'}}, {0x9C, {'o', 'e'}}, {0, {0, 0}}};

DWORD WINAPI Score(DWORD flags, int prefixLength, const char *key, int keyLength, const char *text, int textLength) {
    return Sbcs_ScoreExpanded(kLigatures, flags, prefixLength, key, keyLength, text, textLength);
}

// Without flags the ligature becomes two letters; with flag 4 the shared fold map (a blank).
char *Normalize(DWORD flags, const char *text, char *out) {
    if ((flags & 7) != 0 || !text || !out)
        return Sbcs_Normalize(flags, text, out);
    Sbcs_ExpandDigraphs(kLigatures, text, (int)strlen(text), out);
    return out;
}

constexpr SbcsLanguage Language() {
    SbcsLanguage l = Sbcs_Language(0x0600, "French", kLetters.t, kTables, WordRules);
    l.order.score = Score;
    l.delimiters = "?!:;\"[]{}.\\\xAB\xBB";  // and the guillemets
    l.normalize = Normalize;
    return l;
}

}  // namespace

extern const SbcsLanguage g_sbcsLanguage = Language();
