// The phonetic data of a driver: the file named by "PhoneDataFile" in the language key is opened
// beside the driver through the phonetic library on first use, and exports 8 and 9 pass through.
#include "../../tests/phonekit.h"

namespace {

TEST(Phonetics, FileNamedInTheLanguageKey) {
    WritePhoneFile("en_phone.dat");
    HMODULE m = LoadWithPhoneFile("lingo_en.dll", "lingo_phone.dll", "0100", "en_phone.dat");
    ASSERT_NE(m, nullptr);
    ExpectPhoneBlockPassesThrough(m);
    FreeLibrary(m);
    DeleteFileA("lingo_phone.dll");
    DeleteFileA("en_phone.dat");
}

TEST(Phonetics, NoFileGivesTheEmptyHandle) {
    HMODULE m = LoadWithPhoneFile("lingo_en.dll", "lingo_nophone.dll", "0100", nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(((Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8)))(7), 0u);
    FreeLibrary(m);
    DeleteFileA("lingo_nophone.dll");
}

}  // namespace
