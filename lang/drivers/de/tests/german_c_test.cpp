// The German driver: base forms of words in context (word lists), compounds, the filter of stop
// forms, sharp s in normalisation and compares, its collation order and its language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x0700u;

namespace {

#include "rules_data.inc"

TEST(GermanAnalysis, InflectedForms) {
    Check({
        {"in den H\xE4usern", "H\xE4usern", {"Haus"}, {}},            // Haeusern (capitalised): ending rule
        {"in den h\xE4usern", "h\xE4usern", {}, {"Haus"}},            // lower case: no "ern" rule
        {"ist angekommen", "angekommen", {"ankommen"}, {}},
        {"um anzukommen", "anzukommen", {"ankommen"}, {}},
        {"er ist ausgegangen", "ausgegangen", {"ausgehen"}, {}},
        {"hat gemacht", "gemacht", {"machen"}, {}},
        {"hat gearbeitet", "gearbeitet", {"arbeiten"}, {}},
        {"Gesagt getan", "Gesagt", {"sagen"}, {}},
        {"sie machte es", "machte", {"machen"}, {}},
        {"du arbeitest", "arbeitest", {"arbeiten"}, {}},
        {"er f\xE4hrt", "f\xE4hrt", {"fahren"}, {}},                    // faehrt: accent undone
        {"er ging", "ging", {"gehen"}, {}},
        {"sie empfiehlt", "empfiehlt", {"empfehlen"}, {}},
        {"mit einem Mann", "einem", {"ein"}, {}},
        {"sie bekam", "bekam", {"bekommen"}, {}},                       // prefixed strong verb
        {"die Kindern", "Kindern", {"kind"}, {}},
        {"die B\xFC" "cher", "B\xFC" "cher", {"Buch"}, {}},               // Buecher: umlaut and ending
        {"die Zeitungen", "Zeitungen", {"zeitung"}, {}},
        {"der sch\xF6nste Tag", "sch\xF6nste", {"sch\xF6n"}, {}},         // schoenste
        {"laufende Kosten", "laufende", {"laufen"}, {}},
        {"des Ergebnisses", "Ergebnisses", {"Ergebnisse", "Ergebnis"}, {}},
        {"das Kopfkissen", "Kopfkissen", {"Kopf", "kissen"}, {}},
        {"es ist gut", "ist", {"ist", "sein"}, {"is"}},                 // whole-word hit ends the rules
        {"das Haus", "Haus", {"Haus"}, {"hau"}},                       // its own base form
        {"dem Mann", "dem", {"der"}, {}},
        {"viel besser", "besser", {"gut"}, {}},
    });
}

TEST(GermanAnalysis, Compounds) {
    Check({
        // twelve letters: both parts at the split points 5, 6 and 7
        {"das Kinderzimmer", "Kinderzimmer", {"Kinde", "rzimmer", "Kinder", "zimmer", "Kinderz", "immer", "kind"}, {}},
        {"die Haust\xFCr", "Haust\xFC", {"haus", "t\xFCr"}, {}},        // Haustuer: a known last element
        {"im Krankenhaus", "Krankenhaus", {"kranken", "krank", "haus"}, {}},
        {"der Arbeitsplatz", "Arbeitsplatz", {"arbeit", "platz"}, {}},
        {"wir kommen an", "kommen", {"kommen"}, {}},
        {"abfahren", "abfahren", {"ab", "fahren"}, {}},                 // a verb particle
        {"Sonnabend", "Sonnabend", {}, {"Sonna", "bend"}},              // nine bytes: no blind split
    });
}

TEST(GermanAnalysis, StopFormsAreDropped) {
    Check({
        {"die Eier", "Eier", {"Eier"}, {"ei", "Ei", "e"}},             // "ei" and one-letter forms
        {"es", "es", {"es"}, {}},                                     // never the word itself
        {"der Besserwisser", "Besserwisser", {"Besserw", "isser"}, {"iss", "essen"}},
    });
    // the shared table keeps its whole-word mode from one analysis to the next
    Check({{"H\xE4user", "H\xE4user", {"Haus"}, {}}, {"Haus Haus", "Haus", {"Haus"}, {"hau"}}});
}

TEST(GermanDriver, SharpSInNormalisationAndCompares) {
    char out[64];
    struct {
        DWORD flags;
        const char *in, *out;
    } cases[] = {
        {4, "Stra\xDF" "e", "Strasse"},            // Strasse with sharp s: never a blank
        {0, "Stra\xDF" "e", "Strasse"},
        {0, "a|b\xB7" "c", "abc"},                 // bar and middle dot dropped without flags
        {4, "a|b", "a|b"},
        {1, "STRA\xDF" "E", "strasse"},
        {2, "stra\xDF" "e", "STRASSE"},
        {4, "\xC4rger\r\n", "Arger "},              // Aerger: umlaut folded, CR blank, LF dropped
    };
    for (const auto &c : cases)
        EXPECT_STREQ(LangDriver_NormalizeText(c.flags, c.in, out), c.out) << c.in;
    EXPECT_EQ(LangDriver_Compare(0, "Stra\xDF" "e", "Strasse", 0), 0);
    EXPECT_EQ(LangDriver_Compare(0, "Strasse", "Stra\xDF" "e", 0), 0);
    EXPECT_LE(LangDriver_CompareScored(0, 0, "Stra\xDF" "e", 6, "Strasse", 7), 0x10000000u);
    EXPECT_LE(LangDriver_CompareScored(0, 4, "Stra\xDF" "e", 0, "Strasse", 0), 0x10000000u);
}

TEST(GermanDriver, CollationOrder) {
    // Apfel < Aepfel < Bar; Muell < Mueller; umlauts beside their base letters, not after Z
    CheckOrder({"Apfel", "\xC4pfel", "Bar", "M\xFCll", "M\xFCller", "Ofen", "\xD6l", "Zug"});
    EXPECT_EQ(LangDriver_Compare(0x10, "Apfel", "\xC4pfel", 0), 0);  // accent-blind
    EXPECT_EQ(LangDriver_GetKeySpace(), 37u | (1369u << 16));
}

TEST(GermanDriver, LanguageRecord) {
    LangInfo info;
    memset(&info, 0x33, sizeof info);
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.language, 0x0700);
    EXPECT_EQ(info.compounds, 1u);
    EXPECT_STREQ(info.name, "German");
    EXPECT_EQ(info.block2[3], 4u);
    EXPECT_EQ(info.block2[4], 8u);
    EXPECT_EQ(info.block2[5], 1u);
    EXPECT_EQ(info.block6[3], 5u);
    EXPECT_EQ(info.block6[4], 8u);
    EXPECT_EQ(info.block6[5], 2u);
    LangKeyList out = {0xAA, 0xBB, nullptr};
    LangAnalysisSettings s = Settings();
    EXPECT_EQ(LangDriver_AnalyzeText("ab \xDF", 3, &out, &s), 1);  // sharp s is a letter
    for (DWORD i = 0; i < out.count; i++)
        Linguabase_Free(out.items[i].text);
    Linguabase_Free(out.items);
    EXPECT_EQ(LangDriver_AnalyzeText("ab \xD7", 3, &out, &s), 0);  // the times sign is none
}

// Every rule of the sources is reached by the matcher in the tables the driver carries (suffix and
// prefix tables alike), and every exception answers in whole-word mode.
TEST(GermanRules, CompiledTablesMatchTheSources) {
    HMODULE m = GetModuleHandleA("lingo_de.dll");
    ASSERT_NE(m, nullptr);
    static LangStringList list;
    int checked = 0;
    for (int id = 101; id <= 105; id++) {
        LangRuleTable t;
        ASSERT_EQ(Linguabase_LoadRuleTable(m, id, &t), 1) << id;
        t.mode = 1;
        for (const RuleCase &r : kRuleCases) {
            if (r.id != id)
                continue;
            memset(&list, 0, sizeof list);
            int n = (int)strlen(r.form);
            int applied = r.prefix ? Linguabase_ApplyPrefixRules(r.form, n, 0, nullptr, &t, &list)
                                   : Linguabase_ApplySuffixRules(r.form, n, 0, nullptr, &t, &list);
            bool found = !r.replacement[0];  // a form that is only taken off leaves nothing to list
            for (int i = 0; i < list.count; i++)
                found = found || strcmp(list.strings[i], r.replacement) == 0;
            EXPECT_TRUE(applied && found) << id << ": " << r.form << " -> " << r.replacement;
            Linguabase_FreeStrings(&list);
            checked++;
        }
        for (const ExceptionCase &e : kExceptionCases) {
            if (e.id != id)
                continue;
            EXPECT_EQ(Linguabase_ApplySuffixRules(e.word, (int)strlen(e.word), 0, nullptr, &t, &list), 1) << e.word;
        }
        Linguabase_FreeStrings(&list);
        Linguabase_FreeRuleTable(&t);
    }
    EXPECT_GT(checked, 400);
}

}  // namespace
