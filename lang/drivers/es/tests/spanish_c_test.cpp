// The Spanish driver: base forms of words in context (word lists), superlatives, opening marks,
// the prefix re-, the tab as a phrase delimiter, collation order and language record.
// Non-ASCII text is written as code page 1252 bytes, with the word in the comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "tests_support/driverkit.h"

const DWORD g_driverLanguage = 0x0800u;

namespace {

TEST(SpanishAnalysis, InflectedForms) {
    Check({
        {"un libro bon\xEDsimo", "bon\xEDsimo", {"bueno"}, {}},              // bonisimo with i-acute
        {"una casa bon\xEDsima", "bon\xEDsima", {"buena", "bueno"}, {}},
        {"fuert\xEDsimos", "fuert\xEDsimos", {"fuerte"}, {}},                  // the plural as well
        {"cert\xEDsimo", "cert\xEDsimo", {"cierto"}, {}},
        {"hablamos mucho", "hablamos", {"hablar"}, {}},
        {"comieron pan", "comieron", {"comer"}, {}},
        {"vivimos aqu\xED", "vivimos", {"vivir"}, {}},
        {"he hablado", "hablado", {"hablar"}, {}},
        {"para decirlo", "decirlo", {"decir"}, {}},
        {"las casas blancas", "casas", {"casa"}, {}},
        {"las ciudades", "ciudades", {"ciudad"}, {}},
        {"las luces", "luces", {"luz"}, {}},
        {"las canciones", "canciones", {"canci\xF3n"}, {}},                   // cancion with o-acute
        {"r\xE1pidamente", "r\xE1pidamente", {"r\xE1pido"}, {}},              // rapidamente
        {"una casita", "casita", {"casa"}, {}},
        {"volver a rehacer", "rehacer", {"hacer"}, {}},
        {"es verdad", "es", {"ser"}, {"e", "ar"}},                           // a whole-word hit ends the rules
        {"tengo hambre", "tengo", {"tener"}, {}},
        {"lo encuentra", "encuentra", {"encontrar"}, {}},
        {"con ella", "con", {"con"}, {"conar"}},                              // its own base form
    });
}

TEST(SpanishAnalysis, OpeningMarksAndTabs) {
    Check({
        {"\xBFQu\xE9 haces?", "haces", {"hacer", "\xBFQu\xE9 haces?", "Qu\xE9 haces?"}, {}},  // Que with e-acute
        {"\xA1Hola amigo!", "amigo", {"Hola amigo!"}, {}},                                 // opening exclamation
        {"\xA1Hola amigo!", "Hola", {"Hola", "holo"}, {}},                               // the cursor word trimmed
        {"uno\t dos", "dos", {"dos"}, {"uno dos"}},                          // the tab ends phrases
        {"uno dos", "dos", {"uno dos"}, {}},
    });
}

TEST(SpanishDriver, RecordTablesAndOrder) {
    LangInfo info = {};
    info.size = sizeof info;
    EXPECT_EQ(LangDriver_GetLangInfo(0x3F, &info), 0x3Fu);
    EXPECT_EQ(info.language, 0x0800);
    EXPECT_STREQ(info.name, "Spanish");
    EXPECT_EQ(info.block6[3], 5u);
    // table 102 stays in the driver although no word rule reads it
    LangRuleTable t;
    EXPECT_EQ(Linguabase_LoadRuleTable(GetModuleHandleA("lingo_es.dll"), 102, &t), 1);
    Linguabase_FreeRuleTable(&t);
    // Latin order: n-tilde is an accented n, accents decide after the letters
    const char *order[] = {"cana", "ca\xF1" "a", "canas", "cosa", "c\xF3sa", "\xF1" "ame", "\xF1u", "nube", "oso"};
    for (size_t i = 0; i + 1 < sizeof order / sizeof *order; i++)
        EXPECT_LT(LangDriver_Compare(0, order[i], order[i + 1], 0), 0) << order[i] << " / " << order[i + 1];
}

// The phonetic data file is the driver's own name with the extension "vic", whatever the
// language key says.
TEST(SpanishDriver, PhoneticFileBesideTheDriver) {
    char self[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("lingo_es.dll"), self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, "lingo_esvic.dll", FALSE));
    // one block: key 7 -> "hola"
    DWORD f[12] = {0, 0, 1, 1, 32, 0, 0, 0, 7, 0, 48, 4};
    memcpy(f, "VLPHONE1", 8);
    f[5] = 52;
    FILE *out = fopen("lingo_esvic.vic", "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f, 1, sizeof f, out);
    fwrite("hola", 1, 4, out);
    fclose(out);
    HMODULE m = LoadLibraryA("lingo_esvic.dll");
    ASSERT_NE(m, nullptr);
    typedef DWORD(WINAPI * Phone1)(DWORD);
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    EXPECT_EQ(lookup(7), 5u);  // the block's length + 1
    EXPECT_EQ(lookup(8), 0u);
    FreeLibrary(m);
    DeleteFileA("lingo_esvic.dll");
    DeleteFileA("lingo_esvic.vic");
}

}  // namespace
