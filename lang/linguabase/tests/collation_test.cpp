// Collation sets: staged compares, scored compares, sort keys and key spaces against the orders.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "linguabase.h"

namespace {

typedef int(WINAPI *CompareFn)(DWORD, const char *, const char *, int);
int Sign(int v) { return v < 0 ? -1 : v > 0; }

TEST(Collation, StagedCompares) {
    struct {
        CompareFn fn;
        DWORD flags;
        const char *a, *b;
        int sign;
    } cases[] = {
        {Linguabase_CompareLatin, 0, "resume", "r\xE9sum\xE9", -1},  // "resume" / "resume" with e-acute
        {Linguabase_CompareLatin, 0x04, "resume", "r\xE9sum\xE9", 0},
        {Linguabase_CompareLatin, 0x10, "resume", "r\xE9sum\xE9", 0},  // accent-blind last stage
        {Linguabase_CompareLatin, 0x10, "Resume", "resume", -1},
        {Linguabase_CompareLatin, 0x20, "Resume", "resume", 0},       // case-blind
        {Linguabase_CompareLatin, 0x30, "R\xC9SUM\xC9", "resume", 0},
        {Linguabase_CompareLatin, 0, "apple", "Apple", 1},             // upper case first
        {Linguabase_CompareLatin, 0, "abc", "abd", -1},
        {Linguabase_CompareLatin, 0, "ab", "abc", -1},
        {Linguabase_CompareLatin, 0, "\xC4pfel", "Apfel", 1},         // A-diaeresis after A
        {Linguabase_CompareLatin, 0, "\xC4pfel", "Bpfel", -1},        // ... but before B
        {Linguabase_CompareLatin, 0, "Stra\xDF" "e", "Strasse", 0},   // sharp s as ss
        {Linguabase_CompareLatin, 0, "\x8C" "uvre", "OEuvre", 0},     // OE ligature as O E
        {Linguabase_CompareLatin, 0x20, "\x9C" "uvre", "OEUVRE", 0},
        {Linguabase_CompareLatin, 0, "co-op", "coop", -1},            // then a letter sorts after a hyphen
        {Linguabase_CompareLatin, 0x04, "co-op", "coop", 0},
        {Linguabase_CompareLatin, 0x40, "co-op", "coop", 0},          // non-letters dropped
        {Linguabase_CompareLatin, 0x40, "\xC5sa", "sa", 0},           // A-ring is no Latin letter
        {Linguabase_CompareLatin, 0x8000, "sing", "ring", 1},         // from the end: g n i s / g n i r
        {Linguabase_CompareLatin, 0x8000, "walked", "talked", 1},
        {Linguabase_CompareLatin, 0, "run", "running", -1},
        {Linguabase_CompareLatin, 0, "runs", "running", 1},
        {Linguabase_CompareLatin, 0, "run", "running", -1},
        {Linguabase_CompareLatin, 0, "...", "..", 1},                 // no letters at all: the ranks decide
        {Linguabase_CompareLatin, 0, "...", "a", -1},
        // the first letters only with a length
        {Linguabase_CompareLatin, 0, "runner", "running", 0},
        // Nordic orders
        {Linguabase_CompareNorwegian, 0, "\xC5se", "\xD8se", 1},      // A-ring after O-stroke
        {Linguabase_CompareNorwegian, 0, "\xC6re", "\xD8re", -1},
        {Linguabase_CompareNorwegian, 0, "\xC4ra", "Zora", 1},        // A-diaeresis after Z
        {Linguabase_CompareSwedish, 0, "\xC5se", "\xC4se", -1},       // A-ring before A-diaeresis
        {Linguabase_CompareSwedish, 0, "\xC5se", "\xD6se", -1},
        {Linguabase_CompareSwedish, 0, "\xC5se", "\xD8se", -1},
        {Linguabase_CompareSwedish, 0, "\xC5se", "\xC6se", -1},
        {Linguabase_CompareSwedish, 0, "\xD0is", "Eis", -1},          // Eth after D, before E
        {Linguabase_CompareSwedish, 0, "\xD0is", "Dis", 1},
        {Linguabase_CompareLatin, 0, "\xD0is", "Eis", 1},             // no Latin letter: the word is "is"
    };
    int n = 0;
    for (const auto &c : cases) {
        int length = (n == 25) ? 4 : 0;  // "runner"/"running" over their first four letters
        EXPECT_EQ(Sign(c.fn(c.flags, c.a, c.b, length)), c.sign) << "case " << n << ": " << c.a << " / " << c.b;
        EXPECT_EQ(Sign(c.fn(c.flags, c.b, c.a, length)), -c.sign) << "case " << n << " reversed";
        n++;
    }
}

// A compare over the key's length: the length counts the key's bytes, blanks and dropped
// characters included, so a key with blanks or punctuation is a prefix wherever its letters are.
TEST(Collation, LengthCountsTheKeysBytes) {
    struct {
        DWORD flags;
        const char *key, *text;
        int length;
        bool match;
    } cases[] = {
        {0, "apple pie", "apple pie is tasty", 9, true},
        {0x30, "apple pie", "Apple pie, warm", 9, true},
        {0x40, "co-op", "co-operative", 5, true},
        {0, "apple pie", "apple tart", 9, false},
        {0, "apple pie", "apple", 9, false},              // the text ends first
        {0, "ab", "abc", 3, false},                       // a key shorter than the length
        {0x8000, "ice cream", "vanilla ice cream", 9, true},
        {0x8000, "ice cream", "vanilla ice creams", 9, false},
        {0, "Stra\xDF" "e", "Strasse am Markt", 6, true},  // one byte compared as two letters
    };
    for (const auto &c : cases)
        EXPECT_EQ(Linguabase_CompareLatin(c.flags, c.key, c.text, c.length) == 0, c.match)
            << c.key << " / " << c.text << " over " << c.length;
    // The scored compare's prefix length counts the key's bytes as well.
    EXPECT_EQ(Linguabase_ScoreLatin(0x08, 9, "apple pie", 0, "apple pie", 0), 0x10000000u);
    EXPECT_EQ(Linguabase_ScoreLatin(0x48, 5, "co-op", 0, "coop", 0), 0x10000000u);
    EXPECT_EQ(Linguabase_ScoreLatin(0x08, 9, "apple pie", 0, "applepies", 0), 0x40000000u);
}

TEST(Collation, ScoredCompares) {
    struct {
        DWORD flags;
        int prefix;
        const char *key, *text;
        DWORD grade;
    } cases[] = {
        {0, 0, "colour", "colour", 0x10000000},
        {0, 0, "colour", "color", 0x30000000},
        {0, 0, "elephant", "shoe", 0x40000000},
        {0, 0, "caf\xE9", "cafe", 0x20000000},  // blind-equal letter scores 95
        {0x20, 0, "Cafe", "cafe", 0x10000000},
        {0, 0, "", "", 0x40000000},             // nothing compared: no match, and no division by zero
        {0x40, 0, "...", "!!", 0x40000000},     // both reduce to nothing
        {0, 0, "", "word", 0x40000000},
        {0, 3, "run.", "run", 0x10000000},      // the key goes on with a sentence end
        {0, 3, "run", "run", 0x10000000},
        {0, 3, "runs", "run", 0x40000000},
        {0, 3, "ru", "ru", 0x40000000},         // fewer than the prefix length
        {0, 3, "run", "runs", 0x40000000},      // the text goes on
        {0, 3, "run it", "run", 0x10000000},    // a blank is the highest rank
    };
    for (const auto &c : cases)
        EXPECT_EQ(Linguabase_ScoreLatin(c.flags, c.prefix, c.key, 0, c.text, 0), c.grade)
            << c.key << " / " << c.text << " prefix " << c.prefix;
    EXPECT_LE(Linguabase_ScoreNorwegian(0, 0, "colour", 0, "color", 0), 0x30000000u);
    EXPECT_EQ(Linguabase_ScoreSwedish(0, 0, "k\xF6tt", 0, "kott", 0), 0x30000000u);  // o-diaeresis is its own letter
}

WORD g_map[2][4] = {{1, 2, 3, 4}, {1, 1, 3, 3}};
WORD WINAPI Map(WORD ch, int mode) { return ch < 4 ? g_map[mode][ch] : ch; }

TEST(Collation, WideScoredCompare) {
    const WCHAR a[] = {0, 1, 2, 3}, b[] = {0, 1, 3, 3};
    EXPECT_EQ(Linguabase_CompareScoredWide(0, 0, a, 4, a, 4, 0, 1, Map), 0x10000000u);
    EXPECT_EQ(Linguabase_CompareScoredWide(0, 0, a, 0, a, 0, 0, 1, Map), 0x40000000u);
    EXPECT_EQ(Linguabase_CompareScoredWide(0, 2, a, 4, a, 4, 0, 1, Map), 0u);
    EXPECT_EQ(Linguabase_CompareScoredWide(0, 2, a, 4, a, 3, 0, 1, Map), 0x20000000u);
    EXPECT_EQ(Linguabase_CompareScoredWide(0, 2, a, 3, a, 4, 0, 1, Map), 0x40000000u);
    EXPECT_EQ(Linguabase_CompareScoredWide(0, 3, a, 4, b, 4, 0, 1, Map), 0x40000000u);
    EXPECT_EQ(Linguabase_CompareCounted("abcd", 3, "abcx"), 0);
    EXPECT_EQ(Linguabase_CompareCounted("abcd", 4, "abcx"), 1000000);
}

TEST(Collation, SortKeysAndKeySpaces) {
    WORD k[3];
    EXPECT_EQ(Linguabase_SortKeyLatin("ab", 0, k), 0u);
    EXPECT_EQ(k[0], 37 * 11 + 12);
    EXPECT_EQ(Linguabase_SortKeyLatin("B-a, d.c", 0, k), 37u * 14);  // letters only: b a d c
    EXPECT_EQ(k[0], 37 * 12 + 11);
    EXPECT_EQ(k[1], 14);
    EXPECT_EQ(k[2], 37 * 14 + 13);
    Linguabase_SortKeyLatin("\xC0" "b", 0, k);  // A-grave shares A's position
    EXPECT_EQ(k[0], 37 * 11 + 12);
    Linguabase_SortKeyLatin("xyz", 1, k);       // from the end
    EXPECT_EQ(k[0], 37 * 36 + 35);
    Linguabase_SortKeyLatin("09", 0, k);
    EXPECT_EQ(k[0], 37 * 1 + 10);
    Linguabase_SortKeyNorwegian("\xC5" "a", 0, k);  // A-ring is the last Norwegian letter
    EXPECT_EQ(k[0], 44 * 43 + 11);
    Linguabase_SortKeySwedish("\xC5\xD8", 0, k);
    EXPECT_EQ(k[0], 44 * 39 + 43);
    EXPECT_EQ(Linguabase_KeySpaceLatin(), 37u | (1369u << 16));
    EXPECT_EQ(Linguabase_KeySpaceNordic(), 44u | (1936u << 16));
    EXPECT_EQ(Linguabase_KeySpaceSwedish(), 44u | (1936u << 16));
}

// Every letter of a set sorts by its order: a walk over the alphabet string of each set.
TEST(Collation, OrdersOfTheSets) {
    struct {
        CompareFn fn;
        const char *order;  // each byte sorts after the one before it
    } cases[] = {
        {Linguabase_CompareLatin, "0123456789Aa\xC0\xE0\xC1\xE1\xC2\xE2\xC3\xE3\xC4\xE4" "BbCc\xC7\xE7" "Dd"
                                  "Ee\xC8\xE8\xC9\xE9\xCA\xEA\xCB\xEB" "FfGgHhIi\xCC\xEC\xCD\xED\xCE\xEE\xCF\xEF"
                                  "JjKkLlMmNn\xD1\xF1Oo\xD2\xF2\xD3\xF3\xD4\xF4\xD5\xF5\xD6\xF6PpQqRrSs\x8A\x9ATt"
                                  "Uu\xD9\xF9\xDA\xFA\xDB\xFB\xDC\xFCVvWwXxYy\xDD\xFD\x9F\xFFZz"},
        {Linguabase_CompareNorwegian, "AaDd\xD0\xF0" "EeUu\xDA\xFA\xD9\xF9Zz\xDE\xFE\xC4\xE4\xC6\xE6\xD6\xF6\xD8\xF8\xC5\xE5"},
        {Linguabase_CompareSwedish, "Zz\xDE\xFE\xC5\xE5\xC4\xE4\xC6\xE6\xD6\xF6\xD8\xF8"},
    };
    for (const auto &c : cases)
        for (size_t i = 1; c.order[i]; i++) {
            char a[2] = {c.order[i - 1], 0}, b[2] = {c.order[i], 0};
            EXPECT_LT(c.fn(0, a, b, 0), 0) << "position " << i << " (0x" << std::hex << (int)(BYTE)b[0] << ")";
        }
}

}  // namespace
