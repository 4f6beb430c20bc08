// Charset tags: reading, writing, stripping, round trips, compares and searches (code page 932,
// so the UI charset is 128).
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "strandkit.h"

namespace {

std::string Strip(int charset, const std::string &tagged) {
    int len = Strandkit_StripCharsetTags(charset, tagged.c_str(), nullptr);
    std::string out(len + 1, '\x7F');
    EXPECT_EQ(Strandkit_StripCharsetTags(charset, tagged.c_str(), &out[0]), len);
    EXPECT_EQ(out[len], '\0');
    out.resize(len);
    return out;
}

std::string AddTag(int charset, const std::string &plain) {
    int len = Strandkit_AddCharsetTag(charset, plain.c_str(), nullptr);
    std::string out(plain.size() + 5, '\x7F');
    EXPECT_EQ(Strandkit_AddCharsetTag(charset, plain.c_str(), &out[0]), len);
    EXPECT_EQ(out[len], '\0');
    out.resize(len);
    return out;
}

std::string TagLines(int charset, const std::string &plain) {
    int len = Strandkit_TagLines(charset, plain.c_str(), nullptr);
    std::string out(len + 1, '\x7F');
    EXPECT_EQ(Strandkit_TagLines(charset, plain.c_str(), &out[0]), charset);
    EXPECT_EQ(out[len], '\0');
    out.resize(len);
    return out;
}

UINT UiCharsetOfThisSystem() {
    LOGFONTA lf;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf.lfCharSet;
}

TEST(Tags, UiCharsetIsJapaneseHere) { ASSERT_EQ(UiCharsetOfThisSystem(), 128u); }

TEST(Tags, ReadTag) {
    const char text[] = "\x1b" "F80\x82\xA0";  // tag 128, hiragana A
    EXPECT_EQ(Strandkit_GetTagCharset(text), 128u);
    EXPECT_EQ(Strandkit_GetTagCharset(text + 1), 0u);
    EXPECT_EQ(Strandkit_GetTagCharset("\x1b" "F8a"), 138u);
    EXPECT_EQ(Strandkit_GetTagCharset("\x1b" "F81"), 129u);
    EXPECT_EQ(Strandkit_GetTagCharset("\x1b" "F8"), 0u);  // cut by the NUL: nothing read past it
    EXPECT_EQ(Strandkit_GetTagCharset(""), 0u);
}

struct StripCase {
    int charset;
    std::string tagged;
    std::string plain;
};

TEST(Tags, StripCharsetTags) {
    const std::string sjis = "\x83\x5C\x83\x7B";  // katakana SO BO (trail bytes 0x5C, 0x7B)
    const std::string both = "\x1b" "F80" + sjis + "\x1b" "F00abc";
    const StripCase cases[] = {
        {-1, both, sjis + "abc"},
        {128, both, sjis + "abc"},
        {129, both, "abc"},
        {0, both, "abc"},
        // a tag of value 0 switches back to charset 0: Latin text after it is charset 0's
        {0, "\x1b" "F80" + sjis + "\x1b" "F00caf\xE9", "caf\xE9"},
        {128, "\x1b" "F80" + sjis + "\x1b" "F00caf\xE9", sjis + "caf"},
        // a dropped double-byte character takes its trail byte with it, even when it is ASCII
        {0, "x\x1b" "F80" + sjis + "y", "xy"},
        // the editor's six-byte form goes whole and switches nothing
        {-1, "a\x1b" "F0112b", "ab"},
        {128, "\x1b" "F80\x82\xA0\x1b" "F0112\x82\xA2", "\x82\xA0\x82\xA2"},
        // a lone ESC is dropped alone; a tag cut by the NUL ends the text
        {-1, "a\x1bz", "az"},
        {-1, "a\x1b" "F8", "a"},
        {-1, "a\x1b", "a"},
        {-1, "", ""},
        {128, "\x1b" "F80\x83", "\x83"},  // lead byte before the NUL
    };
    for (const StripCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "charset " << c.charset << " " << testing::PrintToString(c.tagged));
        EXPECT_EQ(Strip(c.charset, c.tagged), c.plain);
    }
}

TEST(Tags, StripAllTagsNeverPassesTheNul) {
    // The buffer holds a NUL right after the text and marker bytes behind it.
    const char text[] = "ab\x1b" "F\0XYZ";
    char out[16];
    EXPECT_EQ(Strandkit_StripTagsTo(out, text), 2);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(Strandkit_StripTagsTo(out, "\x1b" "F80\x82\xA0x\x1b" "F00y"), 4);
    EXPECT_STREQ(out, "\x82\xA0xy");
    char *heap = Strandkit_StripTags("\x1b" "F81\xB0\xA1");
    ASSERT_NE(heap, nullptr);
    EXPECT_STREQ(heap, "\xB0\xA1");
    EXPECT_EQ(LocalSize(heap), 7u);  // the source length + 1
    LocalFree(heap);
    EXPECT_EQ(Strandkit_StripTags(nullptr), nullptr);
}

struct RoundTrip {
    int charset;
    const char *what;
    std::string plain;
};

// Samples of each charset, each with trail bytes that are ASCII characters where the charset has them.
const RoundTrip kSamples[] = {
    {0, "ANSI", "caf\xE9 na\xEFve"},
    {128, "Shift-JIS SO HYOU BO PO MA, half-width KA", "\x83\x5C\x95\x5C\x83\x7B\x83\x7C\x83\x7D\xB6 a\\b"},
    {136, "Big5 XU GONG YI", "\xB3\x5C\xA5\x5C\xA4\x40 {x}"},
    {134, "GB2312 NI HAO", "\xC4\xE3\xBA\xC3!"},
    {129, "Hangul GA NA", "\xB0\xA1\xB3\xAA ok"},
};

TEST(Tags, RoundTripPlainTaggedPlain) {
    for (const RoundTrip &r : kSamples) {
        SCOPED_TRACE(r.what);
        const std::string tagged = AddTag(r.charset, r.plain);
        if (r.charset) {
            char expect[8];
            wsprintfA(expect, "\x1b" "F%02X", r.charset);
            EXPECT_EQ(tagged, expect + r.plain);
        } else {
            EXPECT_EQ(tagged, r.plain);
        }
        EXPECT_EQ(Strip(-1, tagged), r.plain);
        EXPECT_EQ(Strip(r.charset, tagged), r.plain);
        EXPECT_EQ(Strandkit_GetMainCharset(tagged.c_str()), r.charset == 0 ? 0u : UINT(r.charset));
        // Every line tagged: the same text comes back.
        EXPECT_EQ(Strip(-1, TagLines(r.charset, r.plain + "\r\n" + r.plain)), r.plain + "\r" + r.plain);
        // The sample really is text of its charset.
        EXPECT_GT(Strandkit_MultiByteToWide(r.charset, r.plain.c_str(), -1, nullptr, 0), 0);
    }
    // Several charsets in one string: each comes back on its own.
    std::string mixed;
    for (const RoundTrip &r : kSamples) mixed += AddTag(r.charset, r.plain);
    for (const RoundTrip &r : kSamples) {
        SCOPED_TRACE(r.what);
        const std::string got = Strip(r.charset, mixed);
        EXPECT_NE(got.find(r.plain), std::string::npos);
        for (const RoundTrip &o : kSamples)  // no high byte of another charset leaks in
            if (o.charset != r.charset) {
                EXPECT_EQ(got.find(o.plain), std::string::npos) << o.what;
            }
    }
}

TEST(Tags, AddCharsetTagLineEndsAndUiCharset) {
    // Each line end, whatever its form, becomes exactly one CR.
    EXPECT_EQ(AddTag(0, "a\r\nb\nc\rd\n\re"), "a\rb\rc\rd\r\re");
    EXPECT_EQ(AddTag(128, "\x82\xA0\r\n"), "\x1b" "F80\x82\xA0\r");
    EXPECT_EQ(Strandkit_AddCharsetTag(-1, "abc", nullptr), 3);
    EXPECT_EQ(AddTag(-1, "abc"), "abc");
    EXPECT_EQ(AddTag(-1, "\x82\xA0" "b"), "\x1b" "F80\x82\xA0" "b");
    EXPECT_EQ(Strandkit_AddCharsetTag(-1, "\x82\xA0" "b", nullptr), 3 + 4);
}

TEST(Tags, TagLines) {
    EXPECT_EQ(TagLines(0, "a\r\nb"), "\x1b" "F00a\r\x1b" "F00b");
    EXPECT_EQ(TagLines(0, "a\nb\r"), "\x1b" "F00a\r\x1b" "F00b\r");
    EXPECT_EQ(TagLines(129, "\xB0\xA1\r\nx"), "\x1b" "F81\xB0\xA1\r\x1b" "F81x");
    // Untagged lines with high bytes take the UI charset; lines that start with a tag are kept.
    EXPECT_EQ(TagLines(0, "\x82\xA0\r\x1b" "F81\xB0\xA1\rz"), "\x1b" "F80\x82\xA0\r\x1b" "F81\xB0\xA1\r\x1b" "F00z");
    // A line holding a tag inside takes the charset argument; the last such line takes 0.
    EXPECT_EQ(TagLines(0, "\x82\xA0\x1b" "F81\xB0\xA1\rq"), "\x1b" "F00\x82\xA0\x1b" "F81\xB0\xA1\r\x1b" "F00q");
    EXPECT_EQ(TagLines(128, "a\x1b" "F81\xB0\xA1"), "\x1b" "F00a\x1b" "F81\xB0\xA1");
    EXPECT_EQ(Strandkit_TagLines(0, "a\r\nb", nullptr), 3 + 8);
    EXPECT_EQ(TagLines(0, ""), "");
}

TEST(Tags, TagUiCharsetAndTagCharset) {
    char out[32];
    EXPECT_EQ(Strandkit_TagUiCharset(out, "\x82\xA0"), 6);
    EXPECT_STREQ(out, "\x1b" "F80\x82\xA0");
    EXPECT_EQ(Strandkit_TagUiCharset(out, "abc"), 4);  // no high byte: copied, length + 1
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(Strandkit_TagUiCharset(out, "\x1b" "F81\xB0\xA1"), 0);  // already tagged: copied
    EXPECT_STREQ(out, "\x1b" "F81\xB0\xA1");

    memset(out, 'Z', sizeof out);
    EXPECT_EQ(Strandkit_TagCharset(0x8A, "abc", out, 4), 0);
    EXPECT_EQ(out[0], 'Z');
    EXPECT_EQ(Strandkit_TagCharset(0x8A, "abc", out, 32), 7);
    EXPECT_STREQ(out, "\x1b" "F8aabc");
    EXPECT_EQ(Strandkit_TagCharset(128, "ab", out, 6), 5);
    EXPECT_STREQ(out, "\x1b" "F80a");
    // A buffer end never cuts a double-byte character in two.
    EXPECT_EQ(Strandkit_TagCharset(128, "a\x83\x5C", out, 7), 5);
    EXPECT_STREQ(out, "\x1b" "F80a");
    EXPECT_EQ(Strandkit_TagCharset(128, "a\x83\x5C", out, 8), 7);
    EXPECT_STREQ(out, "\x1b" "F80a\x83\x5C");
}

TEST(Tags, MainCharset) {
    const struct {
        const char *text;
        UINT main;
    } cases[] = {
        {"", 128},
        {"abc", 128},
        {"\x82\xA0", 0},  // untagged text is charset 0
        {"\x1b" "F81\xB0\xA1", 129},
        {"\x1b" "F80\x82\xA0\x1b" "F81\xB0\xA1", 129},
        {"\x1b" "F86\xC4\xE3\x1b" "F81\xB0\xA1", 134},  // the first foreign charset wins
        {"\x1b" "F81abc", 128},                          // no high byte in the run
        {"\x1b" "F00caf\xE9", 0},
    };
    for (const auto &c : cases) EXPECT_EQ(Strandkit_GetMainCharset(c.text), c.main) << testing::PrintToString(c.text);
}

TEST(Tags, CompareTagged) {
    // Different dominant charsets: the difference of the numbers.
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F81\xB0\xA1", "\x1b" "F80\x82\xA0"), 1);
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F80\x82\xA0", "\x1b" "F86\xC4\xE3"), 128 - 134);
    // The UI charset: the user's locale order.
    EXPECT_LT(Strandkit_CompareTagged("\x1b" "F80\x82\xA0", "\x1b" "F80\x82\xA2"), 0);
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F80\x82\xA0", "\x1b" "F80\x82\xA0"), 0);
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F80\x82\xA0", "\x82\xA0"), 128);  // untagged is charset 0
    // Shift-JIS with trail bytes 0x5C and 0x7B: SO sorts before BO, not by the trail bytes alone.
    EXPECT_LT(Strandkit_CompareTagged("\x1b" "F80\x83\x5C", "\x1b" "F80\x83\x7B"), 0);
    EXPECT_GT(Strandkit_CompareTagged("\x1b" "F80\x83\x7D", "\x1b" "F80\x83\x7B"), 0);
    // Hangul in its own locale: case is ignored.
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F81\xB0\xA1" "ABC", "\x1b" "F81\xB0\xA1" "abc"), 0);
    EXPECT_LT(Strandkit_CompareTagged("\x1b" "F81\xB0\xA1" "a", "\x1b" "F81\xB0\xA1" "b"), 0);
    EXPECT_GT(Strandkit_CompareTagged("\x1b" "F86\xC4\xE3" "b", "\x1b" "F86\xC4\xE3" "a"), 0);
    // Charsets without a locale (130, 186) compare bytes.
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "F82\x88\xA1" "A", "\x1b" "F82\x88\xA1" "a"), -1);
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "FBA\xE0" "b", "\x1b" "FBA\xE0" "a"), 1);
    EXPECT_EQ(Strandkit_CompareTagged("\x1b" "FBA\xE0", "\x1b" "FBA\xE0"), 0);
}

TEST(Tags, FindTagged) {
    const std::string so = "\x83\x5C";  // katakana SO, trail byte is the backslash
    const struct {
        std::string text, pattern;
        int found;
    } cases[] = {
        {"\x1b" "F80a" + so + "b", "\\", 0},                 // never inside a character
        {"\x1b" "F80a" + so + "b\\", "\\", 1},
        {"\x1b" "F80a" + so + "b", "\x1b" "F80" + so + "b", 1},
        {"\x1b" "F80a" + so + "b", "\x1b" "F81" + so + "b", 0},  // same bytes, other charset
        {"\x1b" "F80a" + so + "\x1b" "F00xyz", "\x1b" "F80" + so + "\x1b" "F00xy", 1},  // across tags
        {"\x1b" "F80a" + so + "\x1b" "F00xyz", so + "x", 0},
        {"\x1b" "F80\x83\x5C\x83\x5C", "\x5C\x83", 0},
        {"\x1b" "F80\x83\x5C\x83\x5C", "\x1b" "F80\x5C\x83", 0},
        {"\x1b" "F80\x83\x7B\x83\x7C\x83\x7D", "{", 0},       // trail bytes 0x7B-0x7D are no braces
        {"\x1b" "F80\x83\x7B\x83\x7C\x83\x7D", "|}", 0},
        {"\x1b" "F80\x83\x7B\x83\x7C\x83\x7D}", "}", 1},
        {"\x1b" "F80\x83\x7B\x83\x7C\x83\x7D", "\x1b" "F80\x83\x7C\x83\x7D", 1},
        {"\x1b" "F88\xB3\x5C\xA5\x5C", "\x1b" "F88\xA5\x5C", 1},   // Big5 with trail byte 0x5C
        {"\x1b" "F88\xB3\x5C\xA5\x5C", "\\", 0},
        {"\x1b" "F86\xC4\xE3\xBA\xC3", "\x1b" "F86\xE3\xBA", 0},   // GB2312: never across characters
        {"abcabd", "abd", 1},
        {"ab", "abc", 0},
        {"\x1b" "F81\xB0\xA1\xB3\xAA", "\x1b" "F81\xB3\xAA", 1},
        {"\x1b" "F81\xB0\xA1\xB3\xAA", "\x1b" "F81\xA1\xB3", 0},
        {"abc", "", 0},
        {"", "a", 0},
        {"abc", "\x1b" "F80", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Strandkit_FindTagged(c.text.c_str(), c.pattern.c_str()), c.found)
            << testing::PrintToString(c.text) << " / " << testing::PrintToString(c.pattern);
    EXPECT_EQ(Strandkit_FindTagged(nullptr, "a"), 0);
    EXPECT_EQ(Strandkit_FindTagged("a", nullptr), 0);
}

TEST(Tags, CompareBytes) {
    EXPECT_EQ(Strandkit_CompareBytes("abc", "abd"), -1);
    EXPECT_EQ(Strandkit_CompareBytes("ab", "abc"), -1);
    EXPECT_EQ(Strandkit_CompareBytes("", ""), 0);
    EXPECT_EQ(Strandkit_CompareBytes("\x80", "z"), 1);
}

}  // namespace
