// The Italian driver: base forms of words in context (word lists), accents, elided words and
// reflexive verbs, its letters, collation order and language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x0F00u;

namespace {

TEST(ItalianAnalysis, InflectedForms) {
    Check({
        {"la citt\xE0 vecchia", "citt\xE0", {"citta"}, {}},                    // citta with a-grave
        {"\xE8 vero", "\xE8", {"e", "essere"}, {}},                            // e-grave: is
        {"gli psicologi", "psicologi", {"psicologo"}, {}},
        {"i viaggi", "viaggi", {"viaggio"}, {}},
        {"l'amico", "amico", {"amico", "lo amico"}, {}},
        {"dell'acqua", "acqua", {"di acqua", "della acqua", "acqua"}, {}},
        {"nell\x92" "anno", "anno", {"in anno", "nello anno"}, {}},           // typographic apostrophe
        {"quest'anno", "anno", {"questo anno"}, {}},
        {"c'\xE8", "c'", {"ci \xE8"}, {}},                                     // c'e: there is
        {"loro parlano", "parlano", {"parlare"}, {}},
        {"io credo", "credo", {"credere"}, {}},
        {"abbiamo dormito", "dormito", {"dormire"}, {}},
        {"parler\xF2 domani", "parler\xF2", {"parlare"}, {}},                  // parlero
        {"devo lavarmi", "lavarmi", {"lavare"}, {}},
        {"lavarsi le mani", "lavarsi", {"lavare"}, {}},
        {"i libri", "libri", {"libro"}, {}},
        {"le case", "case", {"casa"}, {}},
        {"le amiche", "amiche", {"amica"}, {}},
        {"bellissimo", "bellissimo", {"bello"}, {}},
        {"loro sono qui", "sono", {"essere"}, {"sonare", "sonere"}},          // whole-word hit ends the rules
        {"gli uomini", "uomini", {"uomo"}, {}},
        {"per me", "per", {"per"}, {"pere"}},                                 // its own base form
    });
}

TEST(ItalianDriver, LettersRecordAndOrder) {
    LangKeyList out = {0xAA, 0xBB, nullptr};
    LangAnalysisSettings s = Settings();
    EXPECT_EQ(LangDriver_AnalyzeText("x \xC4", 2, &out, &s), 0);  // A-umlaut is no Italian letter
    EXPECT_EQ(out.count, 0xBBu);
    EXPECT_EQ(LangDriver_AnalyzeText("x \xF9", 2, &out, &s), 1);  // u-grave is
    for (DWORD i = 0; i < out.count; i++)
        Linguabase_Free(out.items[i].text);
    Linguabase_Free(out.items);

    LangInfo info = Record("Italian");
    info.block2[2] = 16;
    LangDriver_GetFontInfo(0x3E, &info);
    const DWORD font16[] = {2, 8, 1}, block3[] = {0, 5, 1}, block6[] = {4, 2, 2};
    EXPECT_EQ(memcmp(&info.block2[3], font16, sizeof font16), 0);
    EXPECT_EQ(memcmp(&info.block3[2], block3, sizeof block3), 0);
    EXPECT_EQ(memcmp(&info.block6[3], block6, sizeof block6), 0);
    info.block2[2] = 32;  // the font kind of every block
    LangDriver_GetFontInfo(0x20, &info);
    EXPECT_EQ(info.block6[5], 3u);

    CheckOrder({"citta", "citt\xE0", "perch\xE9", "pero", "per\xF2", "pi\xF9"});
}

}  // namespace
