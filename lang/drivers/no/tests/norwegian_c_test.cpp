// The Norwegian driver: base forms of words in context (word lists), plurals with o-slash,
// the Norwegian collation order (AE, O-slash, A-ring after Z) and the language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x1100u;

namespace {

TEST(NorwegianAnalysis, InflectedForms) {
    Check({
        {"mange b\xF8ker", "b\xF8ker", {"bok", "boka"}, {}},         // boeker with o-slash
        {"b\xF8kene", "b\xF8kene", {"bok"}, {}},
        {"to b\xF8nder", "b\xF8nder", {"bonde"}, {}},
        {"bilene", "bilene", {"bil"}, {}},
        {"huset", "huset", {"hus"}, {}},
        {"han spiste", "spiste", {"spise"}, {}},
        {"hun snakket", "snakket", {"snakke"}, {}},
        {"vi bodde", "bodde", {"bo"}, {}},
        {"han gikk", "gikk", {"g\xE5"}, {}},                          // gaa with a-ring
        {"han drakk", "drakk", {"drikke"}, {}},
        {"de store", "store", {"stor"}, {}},
        {"bilens", "bilens", {"bil"}, {}},
        {"to f\xF8tter", "f\xF8tter", {"fot"}, {}},                   // foetter
        {"det er bra", "er", {"v\xE6re"}, {"e"}},                      // vaere; a whole-word hit ends the rules
        {"og", "og", {"og"}, {}},
    });
}

TEST(NorwegianDriver, CollationAndRecord) {
    // AE, O-slash and A-ring after Z, in that order; A-ring after O-slash
    CheckOrder({"abbor", "zebra", "\xC6re", "\xD8l", "\xC5r", "\xE5s"});
    EXPECT_EQ(LangDriver_GetKeySpace(), 44u | (1936u << 16));
    LangInfo info = Record("Norwegian");
    EXPECT_EQ(info.compounds, 0u);
    EXPECT_EQ(info.block6[5], 3u);
}

}  // namespace
