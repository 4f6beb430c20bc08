// The French driver: base forms of words in context (word lists), elided words and irregular
// prefixes, the ligature in normalisation and scored compares, collation order and language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x0600u;

namespace {

TEST(FrenchAnalysis, InflectedForms) {
    Check({
        {"l'homme", "homme", {"homme", "le homme"}, {}},
        {"l\x92homme", "homme", {"homme", "le homme"}, {}},            // typographic apostrophe
        {"s'il vous pla\xEEt", "il", {"il", "se il", "si il"}, {}},    // plait with i-circumflex
        {"qu'il", "qu'il", {"que il"}, {}},
        {"jusqu'ici", "ici", {"jusque ici"}, {}},
        {"c'est vrai", "est", {"ce est", "\xEAtre"}, {}},            // etre
        {"les meilleures", "meilleures", {"bon"}, {}},
        {"une nouvelle maison", "nouvelle", {"nouveau"}, {}},
        {"ils parlent", "parlent", {"parler"}, {}},
        {"nous finissons", "finissons", {"finir"}, {}},
        {"il a vendu", "vendu", {"vendre"}, {}},
        {"nous mangeons", "mangeons", {"manger"}, {}},
        {"ils mangeaient", "mangeaient", {"manger"}, {}},
        {"il conduit", "conduit", {"conduire"}, {}},
        {"je crois", "crois", {"croire"}, {}},
        {"elle parlait", "parlait", {"parler"}, {}},
        {"les grandes villes", "grandes", {"grand"}, {}},
        {"les chevaux", "chevaux", {"cheval"}, {}},
        {"une femme heureuse", "heureuse", {"heureux"}, {}},
        {"une actrice", "actrice", {"acteur"}, {}},
        {"je suis", "suis", {"\xEAtre"}, {"sui", "suir"}},           // a whole-word hit ends the rules
        {"ils sont", "sont", {"\xEAtre"}, {}},
        {"les yeux", "yeux", {"\x9Cil"}, {}},                          // oeil
        {"dans la maison", "dans", {"dans"}, {"dan"}},                  // its own base form
    });
}

TEST(FrenchAnalysis, GuillemetsEndPhrases) {
    Check({
        {"\xAB" "Bonjour\xBB dit Paul", "dit", {"dit Paul"}, {"Bonjour dit", "Bonjour dit Paul"}},
        {"Bonjour dit Paul", "dit", {"Bonjour dit Paul"}, {}},
    });
}

TEST(FrenchDriver, NormaliseAndCompare) {
    char out[64];
    struct {
        DWORD flags;
        const char *in, *out;
    } cases[] = {
        {0, "c\x9Cur \x8C" "uvre", "coeur OEuvre"},   // coeur, OEuvre: ligatures written out
        {4, "c\x9Cur", "c ur"},                        // the shared fold map blanks them
        {4, "\xC7" "a \xE9t\xE9", "Ca ete"},           // Ca ete
        {1, "\xC9T\xC9", "\xE9t\xE9"},
        {2, "\xE9t\xE9", "\xC9T\xC9"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(LangDriver_NormalizeText(c.flags, c.in, out), c.out) << c.in;
    EXPECT_LE(LangDriver_CompareScored(0, 0, "c\x9Cur", 4, "coeur", 5), 0x10000000u);
    EXPECT_EQ(LangDriver_CompareScored(0, 0, "c\x9Cur", 4, "maison", 6), 0x40000000u);
    // Latin order: accents decide only after the letters; e, e-acute, e-grave beside each other
    CheckOrder({"cote", "c\xF4te", "c\xF4t\xE9", "\xE9l\xE8ve", "elles", "\xE9t\xE9", "zoo"});
    EXPECT_EQ(LangDriver_Compare(0x10, "cote", "c\xF4t\xE9", 0), 0);
    LangInfo info = Record("French");
    EXPECT_EQ(info.compounds, 0u);
    EXPECT_EQ(info.block6[3], 5u);
    EXPECT_EQ(info.block6[5], 3u);
}

}  // namespace
