// Unsigned comparisons from the start and the end, and match grades.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "wordstrand.h"

namespace {

struct CompareCase {
    UINT flags;
    const char *a, *b;
    int length;
    int result;
};

// Each case through the byte dispatcher, the 16-bit dispatcher and the direct entry point.
const CompareCase kCases[] = {
    {0, "abc", "abd", 0, -1},
    {0, "ab", "abc", 0, -1},
    {0, "abc", "ab", 0, 1},
    {0, "", "", 0, 0},
    {0, "", "a", 0, -1},
    {0, "\x80", "z", 0, 1},      // bytes above 0x7F sort after ASCII
    {0, "abcx", "abcy", 3, 0},
    {0, "ab", "abc", 3, -1},      // ends within the n units
    {0, "abc", "abc", 5, 0},
    {0, "b", "a", -4, 1},         // length 0 or less: whole string
    {0x8000, "running", "ing", 0, 1},
    {0x8000, "ing", "running", 0, -1},
    {0x8000, "xing", "ying", 0, -1},
    {0x8000, "sing", "ring", 3, 0},
    {0x8000, "sing", "ring", 4, 1},
    {0x8000, "ng", "ring", 3, -1},
    {0x8000, "", "a", 0, -1},
    {0x8000, "a", "", 0, 1},
    {0x8000, "", "", 0, 0},       // equal, so that compare(x, x) is 0 for every x
    {0x8000, "", "", 2, 0},
    {0x8000, "\x80" "a", "za", 0, 1},
};

std::wstring Widen(const char *s) {
    std::wstring w;
    for (; *s; ++s) w += WCHAR(static_cast<unsigned char>(*s) | (static_cast<unsigned char>(*s) >= 0x80 ? 0xFF00 : 0));
    return w;
}

TEST(Compare, ByteAndWideTables) {
    for (const CompareCase &c : kCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.flags << " " << testing::PrintToString(c.a) << " "
                                        << testing::PrintToString(c.b) << " " << std::dec << c.length);
        const std::wstring wa = Widen(c.a), wb = Widen(c.b);
        EXPECT_EQ(Wordstrand_Compare(c.flags, c.a, c.b, c.length), c.result);
        EXPECT_EQ(Wordstrand_CompareWideEx(c.flags, wa.c_str(), wb.c_str(), c.length), c.result);
        const bool limited = c.length > 0;
        if (c.flags & 0x8000) {
            EXPECT_EQ(limited ? Wordstrand_CompareReverseN(c.a, c.b, c.length) : Wordstrand_CompareReverse(c.a, c.b), c.result);
            EXPECT_EQ(limited ? Wordstrand_CompareWideReverseN(wa.c_str(), wb.c_str(), c.length)
                              : Wordstrand_CompareWideReverse(wa.c_str(), wb.c_str()),
                      c.result);
        } else {
            EXPECT_EQ(limited ? Wordstrand_CompareStringN(c.a, c.b, c.length) : Wordstrand_CompareString(c.a, c.b), c.result);
            EXPECT_EQ(limited ? Wordstrand_CompareWideN(wa.c_str(), wb.c_str(), c.length)
                              : Wordstrand_CompareWide(wa.c_str(), wb.c_str()),
                      c.result);
        }
    }
}

TEST(Compare, WideUnitsAreUnsigned) {
    const WCHAR a[] = {0x8000, 0}, b[] = {0x7FFF, 0};
    EXPECT_EQ(Wordstrand_CompareWide(a, b), 1);
    EXPECT_EQ(Wordstrand_CompareWideReverse(b, a), -1);
}

TEST(Compare, Length) {
    EXPECT_EQ(Wordstrand_Length("abc\x82\xA0"), 5);
    EXPECT_EQ(Wordstrand_Length(""), 0);
    EXPECT_EQ(Wordstrand_Length(nullptr), 0);
}

TEST(Compare, MatchGrades) {
    const struct {
        int len1, len2, score;
        DWORD grade;
    } cases[] = {
        {5, 5, 500, 0x10000000}, {5, 6, 490, 0x30000000}, {4, 4, 380, 0x20000000}, {4, 4, 379, 0x30000000},
        {4, 4, 376, 0x30000000}, {3, 3, 198, 0x30000000}, {3, 3, 197, 0x40000000}, {6, 5, 600, 0x10000000},
        {1, 1, 95, 0x20000000},  {1, 1, 94, 0x30000000},  {1, 1, 66, 0x30000000}, {1, 1, 65, 0x40000000},
        {0, 0, 0, 0x10000000},   {0, 0, 100, 0x10000000}, {0, 3, 300, 0x10000000}, {2, 0, 0, 0x40000000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Wordstrand_MatchGrade(c.len1, c.len2, c.score), c.grade) << c.len1 << " " << c.len2 << " " << c.score;
}

}  // namespace
