// The English driver served through the language manager: registered under a language key it
// replaces the manager's built-in byte-order driver; without the key the built-in one serves.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "linguakeeper.h"
#include "lingodriver.h"

namespace {

// A language code of its own, so that no other test's languages are touched.
const WORD kCode = 0x1E00;
const char kRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";

void Register(const char *driver) {
    char path[200];
    snprintf(path, sizeof path, "%s\\%04x", kRoot, kCode);
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    if (driver)
        RegSetValueExA(k, "FileName", 0, REG_SZ, (const BYTE *)driver, (DWORD)strlen(driver) + 1);
    else
        RegDeleteValueA(k, "FileName");
    RegCloseKey(k);
    Linguakeeper_Term();
    Linguakeeper_Init(0);
}

void Unregister() {
    char path[200];
    snprintf(path, sizeof path, "%s\\%04x", kRoot, kCode);
    RegDeleteKeyA(HKEY_CURRENT_USER, path);
    Linguakeeper_Term();
}

std::vector<std::string> Keys(const char *text, int cursor) {
    std::vector<std::string> keys;
    LinguakeeperForms *f = Linguakeeper_AnalyzeWord(kCode, text, cursor, 1);
    for (DWORD i = 0; f && i < f->keys->count; i++)
        keys.push_back(f->keys->items[i].text);
    Linguakeeper_FreeForms(f);
    return keys;
}

bool Has(const std::vector<std::string> &keys, const char *key) {
    for (const auto &k : keys)
        if (k == key)
            return true;
    return false;
}

TEST(Manager, RegisteredDriverServesItsLanguage) {
    Register("lingo_en.dll");
    auto keys = Keys("He went home", 3);
    EXPECT_TRUE(Has(keys, "went"));
    EXPECT_TRUE(Has(keys, "go"));
    keys = Keys("I don't know", 3);
    EXPECT_TRUE(Has(keys, "do not"));

    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    ASSERT_NE(Linguakeeper_GetLangInfo(kCode, &r), 0);
    EXPECT_STREQ(r.name, "English");
    EXPECT_STREQ(r.face1, "Times New Roman");

    char out[64], mine[64];
    EXPECT_STREQ(Linguakeeper_ConvertKey(kCode, 4, "Caf\xE9\xB7", out), LangDriver_NormalizeText(4, "Caf\xE9\xB7", mine));
    EXPECT_NE(Linguakeeper_Compare(kCode, 0, "resume", "r\xE9sum\xE9", 0), 0);
    EXPECT_EQ(Linguakeeper_Compare(kCode, 0x10, "resume", "r\xE9sum\xE9", 0), 0);  // the driver's accent-blind stage
    LinguakeeperDriverProcs procs;
    ASSERT_EQ(Linguakeeper_GetDriverProcs(kCode, 0, &procs), 1);
    EXPECT_EQ(procs.score(0, 0, "colour", 0, "colour", 0), 0x10000000u);

    HANDLE e = Linguakeeper_OpenWordEnum(kCode, "two words");
    ASSERT_NE(e, nullptr);
    char word[16];
    EXPECT_NE(Linguakeeper_NextWordEnum(e, word, sizeof word), 0);
    EXPECT_STREQ(word, "two");
    EXPECT_NE(Linguakeeper_NextWordEnum(e, word, sizeof word), 0);
    EXPECT_STREQ(word, "words");
    EXPECT_EQ(Linguakeeper_NextWordEnum(e, word, sizeof word), 0);
    Linguakeeper_CloseWordEnum(e);
    Unregister();
}

TEST(Manager, BuiltInDriverWithoutARegisteredOne) {
    Register(nullptr);
    auto keys = Keys("He went home", 3);
    EXPECT_TRUE(Has(keys, "went"));
    EXPECT_FALSE(Has(keys, "go"));
    Register("no_such_driver.dll");
    keys = Keys("He went home", 3);
    EXPECT_TRUE(Has(keys, "went"));
    EXPECT_FALSE(Has(keys, "go"));
    Unregister();
}

}  // namespace
