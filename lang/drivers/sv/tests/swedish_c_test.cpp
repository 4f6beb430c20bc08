// The Swedish driver: base forms of words in context (word lists), clitics and the genitive
// apostrophe, the Swedish collation order (A-ring, A-umlaut, O-umlaut after Z) and language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x1600u;

namespace {

TEST(SwedishAnalysis, InflectedForms) {
    Check({
        {"Kalle's bil", "Kalle's", {"Kalle'", "Kalle"}, {}},         // without the s and without the apostrophe
        {"i Kalle's bil", "bil", {"bil"}, {}},
        {"han tog'en", "tog'en", {"toghonom"}, {}},                  // the clitic's pronoun appended
        {"ta'na", "ta'na", {"tahenne"}, {}},
        {"bilarna", "bilarna", {"bil"}, {}},
        {"flickor", "flickor", {"flicka"}, {}},
        {"hon talade", "talade", {"tala"}, {}},
        {"han l\xE4ste", "l\xE4ste", {"l\xE4sa"}, {}},                 // laeste -> laesa
        {"har skrivit", "skrivit", {"skriva"}, {}},
        {"hon gick", "gick", {"g\xE5"}, {}},                           // gaa with a-ring
        {"b\xF6" "cker", "b\xF6" "cker", {"bok"}, {}},                 // boecker
        {"m\xE4nnens", "m\xE4nnens", {"m\xE4nnen", "man"}, {}},       // genitive through the whole-word table
        {"tidningar", "tidningar", {"tidning"}, {"tidninga"}},        // a sure ending ends the rules
        {"det \xE4r", "\xE4r", {"vara"}, {}},                          // aer
        {"och", "och", {"och"}, {}},
    });
}

TEST(SwedishDriver, CollationAndRecord) {
    // A-ring before A-umlaut, AE, O-umlaut and O-slash, all after Z
    CheckOrder({"abborre", "zebra", "\xC5sa", "\xC4pple", "\xC6ra", "\xD6l", "\xD8re"});
    EXPECT_EQ(LangDriver_GetKeySpace(), 44u | (1936u << 16));
    LangInfo info = Record("Swedish");
    EXPECT_EQ(info.block6[5], 3u);
}

}  // namespace
