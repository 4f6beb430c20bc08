// The Finnish driver: base forms of words in context (word lists), the Swedish collation
// order it shares (A-ring, A-umlaut, O-umlaut after Z) and its language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x0C00u;

namespace {

TEST(FinnishAnalysis, InflectedForms) {
    Check({
        {"talossa", "talossa", {"talo"}, {}},
        {"taloissa", "taloissa", {"talo"}, {}},
        {"talosta", "talosta", {"talo"}, {}},
        {"taloon", "taloon", {"talo"}, {}},
        {"naisen", "naisen", {"nainen"}, {}},
        {"k\xE4" "dess\xE4", "k\xE4" "dess\xE4", {"k\xE4si"}, {}},     // kaedessae -> kaesi
        {"me puhumme", "puhumme", {"puhua"}, {}},
        {"he puhuivat", "puhuivat", {"puhua"}, {}},
        {"taloni", "taloni", {"talo"}, {}},
        {"h\xE4n on", "on", {"olla"}, {"o"}},                             // a whole-word hit ends the rules
        {"h\xE4nelle", "h\xE4nelle", {"h\xE4n"}, {}},                      // haenelle -> haen
        {"h\xE4nen talossaan", "talossaan", {"talo"}, {}},                  // case and possessive
    });
}

TEST(FinnishDriver, CollationAndRecord) {
    CheckOrder({"aamu", "zeta", "\xC5" "bo", "\xE4iti", "\xF6ljy"});
    EXPECT_EQ(LangDriver_GetKeySpace(), 44u | (1936u << 16));
    LangInfo info = Record("Finnish");
    EXPECT_EQ(info.compounds, 1u);
    EXPECT_EQ(info.block6[5], 3u);
}

// The phonetic data file is the driver's own name with the extension "vic", whatever the
// language key says.
TEST(FinnishDriver, PhoneticFileBesideTheDriver) {
    CheckPhoneticFileBesideDriver("lingo_fi");
}

}  // namespace
