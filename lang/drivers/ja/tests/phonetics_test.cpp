// The Japanese driver's phonetic data: the file named by "PhoneDataFile" in the language key is
// opened beside the driver at attach, exports 8 and 9 pass through, and the detach closes it once.
#include "../../tests/phonekit.h"

namespace {

TEST(JapanesePhonetics, FileNamedInTheLanguageKey) {
    WritePhoneFile("ja_phone.dat");
    HMODULE m = LoadWithPhoneFile("lingo_ja.dll", "lingo_jacopy.dll", "0400", "ja_phone.dat");
    ASSERT_NE(m, nullptr);
    ExpectPhoneBlockPassesThrough(m);
    EXPECT_FALSE(DeleteFileA("ja_phone.dat"));  // held open while the driver is loaded
    FreeLibrary(m);
    EXPECT_TRUE(DeleteFileA("ja_phone.dat"));
    DeleteFileA("lingo_jacopy.dll");
}

}  // namespace
