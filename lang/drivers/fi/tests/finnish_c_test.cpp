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
    const char *order[] = {"aamu", "zeta", "\xC5" "bo", "\xE4iti", "\xF6ljy"};
    for (size_t i = 0; i + 1 < sizeof order / sizeof *order; i++)
        EXPECT_LT(LangDriver_Compare(0, order[i], order[i + 1], 0), 0) << order[i] << " / " << order[i + 1];
    EXPECT_EQ(LangDriver_GetKeySpace(), 44u | (1936u << 16));
    LangInfo info = {};
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.language, 0x0C00);
    EXPECT_STREQ(info.name, "Finnish");
    EXPECT_EQ(info.compounds, 1u);
    EXPECT_EQ(info.block6[5], 3u);
}

// The phonetic data file is the driver's own name with the extension "vic", whatever the
// language key says.
TEST(FinnishDriver, PhoneticFileBesideTheDriver) {
    char self[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("lingo_fi.dll"), self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, "lingo_fivic.dll", FALSE));
    // one block: key 7 -> "hola"
    DWORD f[12] = {0, 0, 1, 1, 32, 0, 0, 0, 7, 0, 48, 4};
    memcpy(f, "VLPHONE1", 8);
    f[5] = 52;
    FILE *out = fopen("lingo_fivic.vic", "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f, 1, sizeof f, out);
    fwrite("hola", 1, 4, out);
    fclose(out);
    HMODULE m = LoadLibraryA("lingo_fivic.dll");
    ASSERT_NE(m, nullptr);
    typedef DWORD(WINAPI * Phone1)(DWORD);
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    EXPECT_EQ(lookup(7), 5u);  // the block's length + 1
    EXPECT_EQ(lookup(8), 0u);
    FreeLibrary(m);
    DeleteFileA("lingo_fivic.dll");
    DeleteFileA("lingo_fivic.vic");
}

}  // namespace
