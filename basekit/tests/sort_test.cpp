// Sorting with and without context, number parsing and the operating-system code.
#include <gtest/gtest.h>

#include "basekit.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct Record {   // 12 bytes: the key and a tag that tells equal keys apart
    int key;
    int tag;
    int check;
};

int __cdecl ByKey(const void *a, const void *b)
{
    int x = static_cast<const Record *>(a)->key, y = static_cast<const Record *>(b)->key;
    return x < y ? -1 : x > y;
}

// The context says the direction and counts the calls.
struct Order {
    int descending;
    long calls;
};

int __cdecl ByKeyWithContext(const void *a, const void *b, void *context)
{
    Order *order = static_cast<Order *>(context);
    ++order->calls;
    int r = ByKey(a, b);
    return order->descending ? -r : r;
}

int __cdecl ByByte(const void *a, const void *b)
{
    return *static_cast<const unsigned char *>(a) - *static_cast<const unsigned char *>(b);
}

std::vector<Record> Make(int n, int pattern, std::mt19937 &rng)
{
    std::vector<Record> v((size_t)n);
    for (int i = 0; i < n; ++i) {
        int key = pattern == 0   ? (int)(rng() % 1000000) - 500000
                  : pattern == 1 ? (int)(rng() % 3)   // many equal keys
                  : pattern == 2 ? i                   // sorted
                  : pattern == 3 ? n - i               // reversed
                                 : 7;                  // all equal
        v[(size_t)i] = {key, i, key ^ i};
    }
    return v;
}

// Sorted by key and the same records as before (compared as multisets: the sort is not stable).
void ExpectSortedPermutation(std::vector<Record> before, const std::vector<Record> &after,
                             bool descending)
{
    for (size_t i = 1; i < after.size(); ++i) {
        if (descending) {
            ASSERT_GE(after[i - 1].key, after[i].key) << i;
        } else {
            ASSERT_LE(after[i - 1].key, after[i].key) << i;
        }
    }
    auto byTag = [](const Record &a, const Record &b) { return a.tag < b.tag; };
    std::vector<Record> sorted = after;
    std::sort(sorted.begin(), sorted.end(), byTag);
    std::sort(before.begin(), before.end(), byTag);
    for (size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(before[i].tag, sorted[i].tag);
        ASSERT_EQ(before[i].key, sorted[i].key);
        ASSERT_EQ(before[i].check, sorted[i].check);
    }
}

TEST(Sort, SortsEverySizeAndPattern)
{
    std::mt19937 rng(5);
    for (int n : {0, 1, 2, 3, 8, 9, 10, 17, 100, 10000}) {
        for (int pattern = 0; pattern < 5; ++pattern) {
            std::vector<Record> v = Make(n, pattern, rng), before = v;
            Basekit_Sort(v.data(), n, sizeof(Record), ByKey);
            ExpectSortedPermutation(before, v, false);

            v = before;
            Order order = {1, 0};
            Basekit_SortWithContext(v.data(), n, sizeof(Record), ByKeyWithContext, &order);
            ExpectSortedPermutation(before, v, true);
            EXPECT_EQ(n >= 2, order.calls > 0);
        }
    }
}

TEST(Sort, OddElementSizesAndNothingToDo)
{
    unsigned char bytes[] = {9, 3, 7, 1, 1, 200, 0, 5, 3, 255, 4};
    Basekit_Sort(bytes, sizeof bytes, 1, ByByte);
    EXPECT_TRUE(std::is_sorted(bytes, bytes + sizeof bytes));

    Record one[2] = {{2, 0, 0}, {1, 1, 0}};
    Basekit_Sort(one, 2, 0, ByKey);    // element size 0: untouched
    Basekit_Sort(one, 1, sizeof(Record), ByKey);
    EXPECT_EQ(2, one[0].key);
    Basekit_Sort(one, 2, sizeof(Record), ByKey);
    EXPECT_EQ(1, one[0].key);
}

TEST(Numbers, ParseInt)
{
    struct Row {
        const char *text;
        int want;
    } rows[] = {
        {"42", 42}, {"  \t\n-17x", -17}, {"+8", 8}, {"", 0}, {"abc", 0}, {"\x01\x1f" "99", 99},
        {"- 5", 0}, {"007", 7}, {"2147483647", 2147483647}, {"4294967295", -1},   // wraps
    };
    for (const Row &r : rows) EXPECT_EQ(r.want, Basekit_ParseInt(r.text)) << r.text;
}

// The conversions agree with the C library's own on a 32-bit long, result, end and range error.
TEST(Numbers, StrToLongAndULongAgreeWithTheCLibrary)
{
    struct Row {
        const char *text;
        int base;
    } rows[] = {
        {"123", 10}, {"  -123abc", 10}, {"+0x1f", 0}, {"0x1F", 16},
        {"017", 0}, {"019", 0}, {"0", 0}, {"zz", 36}, {"ZZ", 36}, {"1010", 2}, {"12", 2},
        {"2147483647", 10}, {"2147483648", 10}, {"-2147483648", 10}, {"-2147483649", 10},
        {"4294967295", 10}, {"4294967296", 10}, {"-1", 10}, {"99999999999999999999", 10},
        {"", 10}, {"   ", 10}, {"-", 10}, {"abc", 10}, {"7fffffff", 16}, {"ffffffff", 16},
        {"\t\v\f\r 42", 10},
    };
    for (const Row &r : rows) {
        char *endC, *endB;
        errno = 0;
        long c = strtol(r.text, &endC, r.base);
        int errC = errno;
        errno = 0;
        LONG b = Basekit_StrToLong(r.text, &endB, r.base);
        EXPECT_EQ(c, b) << r.text << " base " << r.base;
        EXPECT_EQ(endC - r.text, endB - r.text) << r.text;
        EXPECT_EQ(errC == ERANGE, errno == ERANGE) << r.text;

        errno = 0;
        unsigned long cu = strtoul(r.text, &endC, r.base);
        errC = errno;
        errno = 0;
        ULONG bu = Basekit_StrToULong(r.text, &endB, r.base);
        EXPECT_EQ(cu, bu) << r.text << " base " << r.base;
        EXPECT_EQ(endC - r.text, endB - r.text) << r.text;
        EXPECT_EQ(errC == ERANGE, errno == ERANGE) << r.text;
    }
    // "0x" without a hex digit after it is the number 0 followed by "x" (the C standard's reading;
    // some C libraries give back the start instead).
    char *end = nullptr;
    for (const char *zero : {"0x", "0X"}) {
        EXPECT_EQ(0, Basekit_StrToLong(zero, &end, 16));
        EXPECT_EQ(zero + 1, end);
        EXPECT_EQ(0u, Basekit_StrToULong(zero, &end, 0));
        EXPECT_EQ(zero + 1, end);
    }
    const char *text = "12";
    EXPECT_EQ(0, Basekit_StrToLong(text, &end, 1));
    EXPECT_EQ(text, end);
    EXPECT_EQ(0u, Basekit_StrToULong(text, &end, 37));
    EXPECT_EQ(text, end);
    EXPECT_EQ(12, Basekit_StrToLong(text, nullptr, 10));
}

TEST(System, OsVersionCodeFollowsTheReportedVersion)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    int code = Basekit_GetOsVersion();
    ASSERT_EQ(VER_PLATFORM_WIN32_NT, info.dwPlatformId);
    int want = info.dwMajorVersion == 6 ? 10
               : info.dwMajorVersion > 6 ? 4
               : info.dwMajorVersion == 5 && info.dwMinorVersion == 1 ? 7 : -1;
    EXPECT_TRUE(want == -1 || want == code) << code;
}

} // namespace
