// The conversion tables carried by the library, checked entry by entry against the system's own
// conversion and against each other (the table path is the one taken where the system lacks a
// code page).
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codepager.h"
#include "codepager_int.h"

namespace {

struct Page {
    UINT charset;
    UINT codePage;
    UINT minEntries;   // far below the real size: catches an empty or cut table
};
const Page kPages[] = {{128, 932, 7000}, {129, 949, 8000}, {134, 936, 7000}, {136, 950, 13000}};

HMODULE Library()
{
    HMODULE m = GetModuleHandleA("Codepager.dll");
    return m ? m : LoadLibraryA("Codepager.dll");
}

WORD Key(const CpTable &t, UINT i)
{
    return WORD(t.keys[2 * i] | (t.keys[2 * i + 1] << 8));
}
WORD Value(const CpTable &t, UINT i)
{
    return WORD(t.values[2 * i] | (t.values[2 * i + 1] << 8));
}
// A table key or value as the text bytes it stands for.
std::string Bytes(WORD code)
{
    if ((code & 0xFF) == 0) {
        return std::string(1, char(code >> 8));
    }
    return std::string{char(code & 0xFF), char(code >> 8)};
}

class TableTest : public ::testing::TestWithParam<Page> {};

TEST_P(TableTest, EveryEntryAgreesWithTheSystemAndRoundTrips)
{
    const Page &page = GetParam();
    HMODULE mod = Library();
    ASSERT_NE(mod, nullptr);
    CpTable to16 = {}, from16 = {};
    ASSERT_TRUE(CpTableLoad(mod, page.charset + 255, &to16));
    ASSERT_TRUE(CpTableLoad(mod, page.charset, &from16));
    EXPECT_GE(to16.count, page.minEntries);
    EXPECT_GE(from16.count, page.minEntries);

    int mismatches = 0;
    for (UINT i = 0; i < to16.count; ++i) {
        if (i > 0) {
            ASSERT_LT(Key(to16, i - 1), Key(to16, i)) << "keys sorted";
        }
        std::string text = Bytes(Key(to16, i));
        WCHAR unit = 0;
        ASSERT_EQ(CpTableToWide(mod, page.charset, text.data(), int(text.size()), &unit, 1), 1);
        ASSERT_EQ(unit, Value(to16, i));
        WCHAR system = 0;
        MultiByteToWideChar(page.codePage, 0, text.data(), int(text.size()), &system, 1);
        if (system != unit && ++mismatches <= 5) {
            ADD_FAILURE() << "cp" << page.codePage << " bytes " << std::hex
                          << Key(to16, i) << ": table " << unit << ", system " << system;
        }
        // Back through the table: the same character (duplicated codes give the canonical one).
        char back[2] = {};
        int n = CpTableFromWide(mod, page.charset, &unit, 1, back, 2);
        ASSERT_GE(n, 1);
        WCHAR again = 0;
        ASSERT_EQ(CpTableToWide(mod, page.charset, back, n, &again, 1), 1);
        EXPECT_EQ(again, unit) << std::hex << Key(to16, i);
    }
    EXPECT_EQ(mismatches, 0);

    for (UINT i = 0; i < from16.count; ++i) {
        if (i > 0) {
            ASSERT_LT(Key(from16, i - 1), Key(from16, i)) << "keys sorted";
        }
        WCHAR unit = Key(from16, i);
        char out[2] = {};
        int n = CpTableFromWide(mod, page.charset, &unit, 1, out, 2);
        ASSERT_EQ(std::string(out, n), Bytes(Value(from16, i)));
        WCHAR system = 0;
        MultiByteToWideChar(page.codePage, 0, out, n, &system, 1);
        EXPECT_EQ(system, unit) << std::hex << unit;
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, TableTest, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<Page> &i) {
                             return "cp" + std::to_string(i.param.codePage);
                         });

// Whole strings through the table path follow the platform's conventions: the NUL is counted,
// size queries are exact, too small an output fails.
TEST(TablePath, WholeStringsMatchTheSystem)
{
    HMODULE mod = Library();
    // "a", HIRAGANA A (82 A0), "\", KATAKANA SO (83 5C), half-width KA (B6), "}"
    const char sjis[] = "a\x82\xa0\\\x83\x5c\xb6}";
    WCHAR table[16] = {}, system[16] = {};
    int n = CpTableToWide(mod, 128, sjis, 0, nullptr, 0);
    EXPECT_EQ(n, MultiByteToWideChar(932, 0, sjis, -1, nullptr, 0));
    EXPECT_EQ(CpTableToWide(mod, 128, sjis, 0, table, 16), n);
    MultiByteToWideChar(932, 0, sjis, -1, system, 16);
    EXPECT_EQ(std::wstring(table), std::wstring(system));
    EXPECT_EQ(CpTableToWide(mod, 128, sjis, 0, table, n - 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    char bytes[16] = {};
    int m = CpTableFromWide(mod, 128, table, 0, nullptr, 0);
    EXPECT_EQ(m, int(sizeof(sjis)));
    EXPECT_EQ(CpTableFromWide(mod, 128, table, 0, bytes, 16), m);
    EXPECT_STREQ(bytes, sjis);
    EXPECT_EQ(CpTableFromWide(mod, 128, table, 0, bytes, m - 1), 0);
}

// What a code page cannot hold becomes its default character and never cuts the text.
TEST(TablePath, UnmappableBecomesTheDefaultCharacter)
{
    HMODULE mod = Library();
    // "a", HANGUL SYLLABLE GA (not in code page 932), "b"
    const WCHAR text[] = {L'a', 0xAC00, L'b', 0};
    char out[8] = {};
    EXPECT_EQ(CpTableFromWide(mod, 128, text, 0, out, 8), 4);
    EXPECT_STREQ(out, "a?b");
    // A pair of valid lead and trail bytes with no character: 0x85 0x40 in Shift-JIS.
    const char hole[] = "x\x85\x40y";
    WCHAR wide[8] = {};
    EXPECT_EQ(CpTableToWide(mod, 128, hole, 0, wide, 8), 4);
    EXPECT_EQ(std::wstring(wide), std::wstring(L"x?y"));
    // Code page 1252 without the system: the specials, the rest of Latin-1, a default character.
    const WCHAR western[] = {0x20AC, 0x2026, 0xE9, 0x3042, 0};
    EXPECT_EQ(CpTableFromWide(mod, 0, western, 0, out, 8), 5);
    EXPECT_STREQ(out, "?\x85\xe9?");
}

// The GB2312 full-width blank is A1 A1 both ways.
TEST(TablePath, Gb2312FullWidthBlank)
{
    HMODULE mod = Library();
    const WCHAR blank[] = {0x3000, 0};
    char out[4] = {};
    EXPECT_EQ(CpTableFromWide(mod, 134, blank, 0, out, 4), 3);
    EXPECT_STREQ(out, "\xa1\xa1");
    WCHAR back[2] = {};
    EXPECT_EQ(CpTableToWide(mod, 134, "\xa1\xa1", 2, back, 2), 1);
    EXPECT_EQ(back[0], 0x3000);
}

TEST(TablePath, MissingTableAnswersZero)
{
    WCHAR out[4];
    EXPECT_EQ(CpTableToWide(GetModuleHandleA(nullptr), 128, "\x82\xa0", 0, out, 4), 0);
    EXPECT_EQ(CpTableToWide(Library(), 238, "abc", 0, out, 4), 0);
}

}  // namespace
