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
    LangInfo info = Record("Spanish");
    EXPECT_EQ(info.block6[3], 5u);
    // table 102 stays in the driver although no word rule reads it
    LangRuleTable t;
    EXPECT_EQ(Linguabase_LoadRuleTable(GetModuleHandleA("lingo_es.dll"), 102, &t), 1);
    Linguabase_FreeRuleTable(&t);
    // Latin order: n-tilde is an accented n, accents decide after the letters
    CheckOrder({"cana", "ca\xF1" "a", "canas", "cosa", "c\xF3sa", "\xF1" "ame", "\xF1u", "nube", "oso"});
}

// The phonetic data file is the driver's own name with the extension "vic", whatever the
// language key says.
TEST(SpanishDriver, PhoneticFileBesideTheDriver) {
    CheckPhoneticFileBesideDriver("lingo_es");
}

}  // namespace
