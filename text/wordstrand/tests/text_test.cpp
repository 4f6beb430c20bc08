// Character classes, case maps, row indexes, width forms, line joining, sentence pieces and the
// Western specials.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "strandkit.h"
#include "wordstrand.h"

namespace {

std::string Hex(const std::string &s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        wsprintfA(buf, "%02X ", c);
        out += buf;
    }
    return out;
}

TEST(Classes, Table) {
    const struct {
        UINT charset;
        int kind;
        UINT ch;
        int in;
    } cases[] = {
        {128, 6, 0x8142, 1}, {128, 8, 0x8149, 1}, {134, 6, 0xA1A3, 0}, {0, 1, 0x8A, 1}, {0, 4, 0x8E, 0},
        {0, 4, 0x9E, 0},     {0, 1, 0xC0, 1},     {0, 1, 0xD7, 0},     {0, 2, 0xDF, 1}, {0, 2, 0xF7, 0},
        {0, 2, 0xFF, 1},     {0, 5, '5', 1},      {0, 3, '5', 1},      {0, 3, 'a', 1},  {0, 4, '5', 0},
        {0, 6, '!', 1},      {0, 6, 0xBB, 1},     {0, 7, 0x8B, 1},     {0, 7, 0xBF, 1}, {0, 8, 0xBF, 1},
        {0, 8, ',', 0},      {0, 0, 'a', 0},      {0, 9, 'a', 0},      {0, 4, 0x141, 0},
        {128, 1, 0xC0, 0},   {128, 6, 0xA1, 1},   {128, 6, 0xA5, 0},   {128, 7, 0xA2, 1}, {128, 8, 0xA1, 1},
        {128, 6, 0x8781, 1}, {128, 6, 0x8141, 1}, {128, 6, 0x8145, 0}, {128, 7, 0x8780, 1}, {128, 7, 0x8165, 1},
        {128, 8, 0x8144, 0}, {128, 4, 0x8260, 0}, {128, 1, 'A', 1},
        {129, 1, 'A', 1},    {129, 4, 0xC0, 0},   {136, 6, 0xA143, 0}, {238, 1, 0xC0, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Wordstrand_GetCharClass(c.charset, c.kind, c.ch), c.in)
            << "charset " << c.charset << " kind " << c.kind << " char 0x" << std::hex << c.ch;
}

TEST(Classes, CaseMaps) {
    const struct {
        UINT charset;
        int kind;
        UINT ch, mapped;
    } cases[] = {
        {0, 1, 0xE7, 0xC7}, {0, 2, 0x8A, 0x9A}, {0, 1, 0xDF, 0xDF}, {128, 1, 0xE0, 0xE0}, {0, 1, 0xFF, 0x9F},
        {0, 2, 0x9F, 0xFF}, {0, 1, 0xF7, 0xF7}, {0, 2, 0xD7, 0xD7}, {0, 1, 0x9C, 0x8C},   {0, 1, 'q', 'Q'},
        {129, 1, 'a', 'A'}, {136, 2, 'Z', 'z'}, {0, 3, 'a', 'a'},   {0, 1, 0x8281, 0x8281},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Wordstrand_MapCase(c.charset, c.kind, c.ch), c.mapped)
            << "charset " << c.charset << " kind " << c.kind << " char 0x" << std::hex << c.ch;
    char text[] = "caf\xE9 \xFF \x8E!";
    EXPECT_EQ(Wordstrand_ToUpper(text, text), 9);
    EXPECT_STREQ(text, "CAF\xC9 \x9F \x8E!");
    EXPECT_EQ(Wordstrand_ToLower(text, text), 9);
    EXPECT_STREQ(text, "caf\xE9 \xFF \x8E!");
    EXPECT_EQ(Wordstrand_UpperOnly(0x8A), 0x8Au);
    EXPECT_EQ(Wordstrand_UpperOnly(0x9A), 0u);
    EXPECT_EQ(Wordstrand_UpperOnly('Q'), UINT('Q'));
}

TEST(RowIndexes, EdgesOfEachLeadRange) {
    typedef WORD(WINAPI * IndexFn)(BYTE, BYTE);
    const struct {
        IndexFn fn;
        const char *name;
        BYTE lead, trail;
        WORD index;
    } cases[] = {
        {Wordstrand_SjisIndex, "sjis", 0x81, 0x40, 0xFFFF}, {Wordstrand_SjisIndex, "sjis", 0x81, 0x41, 1},
        {Wordstrand_SjisIndex, "sjis", 0x81, 0x7E, 62},     {Wordstrand_SjisIndex, "sjis", 0x81, 0x80, 63},
        {Wordstrand_SjisIndex, "sjis", 0x81, 0xFC, 187},    {Wordstrand_SjisIndex, "sjis", 0x82, 0x40, 188},
        {Wordstrand_SjisIndex, "sjis", 0x82, 0x9A, 277},    {Wordstrand_SjisIndex, "sjis", 0x9F, 0xFC, 5827},
        {Wordstrand_SjisIndex, "sjis", 0xE0, 0x40, 5828},   {Wordstrand_SjisIndex, "sjis", 0xFC, 0xFC, 11279},
        {Wordstrand_KscIndex, "ksc", 0xA1, 0xA1, 0xFFFF},   {Wordstrand_KscIndex, "ksc", 0xA1, 0xA2, 1},
        {Wordstrand_KscIndex, "ksc", 0xA1, 0xFE, 93},       {Wordstrand_KscIndex, "ksc", 0xA2, 0xA1, 94},
        {Wordstrand_KscIndex, "ksc", 0xB0, 0xA1, 1410},     {Wordstrand_KscIndex, "ksc", 0xFE, 0xFE, 8835},
        {Wordstrand_GbIndex, "gb", 0xA3, 0xC1, 2 * 94 + 0x20}, {Wordstrand_GbIndex, "gb", 0xF7, 0xFE, 86 * 94 + 93},
        {Wordstrand_Big5Index, "big5", 0xA1, 0x40, 0xFFFF}, {Wordstrand_Big5Index, "big5", 0xA1, 0x41, 1},
        {Wordstrand_Big5Index, "big5", 0xA1, 0x7E, 62},     {Wordstrand_Big5Index, "big5", 0xA1, 0xA1, 62},
        {Wordstrand_Big5Index, "big5", 0xA1, 0xFE, 155},    {Wordstrand_Big5Index, "big5", 0xA2, 0x40, 156},
        {Wordstrand_Big5Index, "big5", 0xA3, 0x45, 317},    {Wordstrand_Big5Index, "big5", 0xF9, 0xFE, 13883},
        {Wordstrand_Big5Index, "big5", 0x81, 0x40, 60136},  // below the Big5 leads: wraps, then less 408
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.fn(c.lead, c.trail), c.index) << c.name << " " << std::hex << int(c.lead) << " " << int(c.trail);
}

struct WidthCase {
    UINT charset;
    const char *what;
    std::string in, out;
};

std::string Wide(UINT charset, const std::string &in) {
    std::vector<char> out(2 * in.size() + 1, '\x7F');
    EXPECT_EQ(Wordstrand_ToFullWidth(charset, in.c_str(), out.data(), 0), 0);
    return out.data();
}

std::string Narrow(UINT charset, const std::string &in) {
    std::vector<char> out(in.size() + 1, '\x7F');
    int n = Wordstrand_ToHalfWidth(charset, in.c_str(), out.data());
    EXPECT_EQ(n, int(strlen(out.data())));
    return out.data();
}

TEST(Width, ToFullWidth) {
    const WidthCase cases[] = {
        {128, "ASCII letters, digit, blank, DEL", "Aa0 \x7F", "\x82\x60\x82\x81\x82\x4F\x81\x40\x81\x40"},
        {128, "quotes, backslash, tilde", "\"'\\~", "\x81\x68\x81\x66\x81\x8F\x81\x50"},
        {128, "half-width KA + voiced mark = GA", "\xB6\xDE", "\x83\x4B"},
        {128, "half-width HA + semi-voiced mark = PA", "\xCA\xDF", "\x83\x70"},
        {128, "half-width U + voiced mark = VU", "\xB3\xDE", "\x83\x94"},
        {128, "half-width A takes no voiced mark", "\xB1\xDE", "\x83\x41\x81\x4A"},
        {128, "marks alone, full stop, long vowel", "\xDE\xDF\xA1\xB0", "\x81\x4A\x81\x4B\x81\x42\x81\x5B"},
        {128, "controls and invalid bytes dropped, pairs kept", "a\t\x80\x83\x5C\xFD", "\x82\x81\x83\x5C"},
        {128, "lead byte before the NUL", "a\x83", "\x82\x81"},
        {129, "blank, letter, DEL", " A\x7F", "\xA1\xA1\xA3\xC1\xA1\xA1"},
        {129, "pair kept, stray bytes dropped", "\xB0\xA1\xFE\x81 ", "\xB0\xA1\xA1\xA1"},
        {134, "blank is the full-width space", " A~", "\xA1\xA1\xA3\xC1\xA3\xFE"},
        {134, "pair kept; bad trail and wide-code-page lead become a space", "\xC4\xE3\xC4\x41\x81\x40\x80", "\xC4\xE3\xA1\xA1\xA1\xA1"},
        {134, "lead byte before the NUL consumes only itself", "a\xC4", "\xA3\xE1\xA1\xA1"},
        {136, "blank, letters, quote", " Az\"", "\xA1\x40\xA2\xCF\xA3\x43\xA1\xA8"},
        {136, "pair with trail 0x5C kept", "\xB3\x5C\x80", "\xB3\x5C"},
        {0, "single-byte charset: nothing", "abc", ""},
    };
    for (const WidthCase &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.charset == 0) {
            char out[8] = "";
            Wordstrand_ToFullWidth(0, c.in.c_str(), out, 0);
            EXPECT_STREQ(out, "");
            continue;
        }
        EXPECT_EQ(Hex(Wide(c.charset, c.in)), Hex(c.out));
    }
    char out[16];
    EXPECT_EQ(Wordstrand_SjisToWide("\xB6\xDE", out), 2);
    EXPECT_EQ(Wordstrand_KscToWide("A", out), 2);
    EXPECT_EQ(Wordstrand_GbToWide("AB", out), 4);
    EXPECT_EQ(Wordstrand_Big5ToWide("A", out), 2);
    EXPECT_EQ(Wordstrand_ToFullWidth(128, "A", out, 7), 7);
}

TEST(Width, ToHalfWidth) {
    const WidthCase cases[] = {
        {128, "full-width letters and space", "\x82\x60\x81\x40\x82\x9A", "A z"},
        {128, "tilde, backslash, quotes", "\x81\x50\x81\x8F\x81\x68\x81\x66", "~\\\"'"},
        {128, "full-width reverse solidus and wave dash are blanks", "\x81\x5F\x81\x60", "  "},
        {128, "corner brackets become half-width ones", "\x81\x75\x81\x76", "\xA2\xA3"},
        {128, "katakana and half-width katakana are blanks, ASCII stays", "\x83\x4B\xB6x", "  x"},
        {128, "lead byte before the NUL dropped", "a\x82", "a"},
        {129, "row A3 and others", "\xA3\xC1\xB0\xA1q", "A q"},
        {134, "row A3 and others", "\xA3\xC1\xC4\xE3", "A "},
        {136, "full-width forms", "\xA2\xCF\xA3\x43\xA1\xA8\xB3\x5C", "Az\" "},
    };
    for (const WidthCase &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Hex(Narrow(c.charset, c.in)), Hex(c.out));
    }
    char out[8] = "x";
    EXPECT_EQ(Wordstrand_ToHalfWidth(0, "abc", out), 0);
    EXPECT_STREQ(out, "x");
}

TEST(Width, AsciiRoundTripsThroughFullWidth) {
    std::string ascii;
    for (int c = 0x21; c <= 0x7E; ++c) ascii += char(c);
    for (UINT cs : {128u, 129u, 134u, 136u}) {
        const std::string wide = Wide(cs, ascii);
        ASSERT_EQ(wide.size(), 2 * ascii.size()) << cs;
        EXPECT_EQ(Narrow(cs, wide), ascii) << cs;
        // Every full-width form is a real character of the charset's code page.
        WCHAR u[200];
        int n = Strandkit_MultiByteToWide(cs, wide.c_str(), -1, u, 200);
        EXPECT_EQ(n, int(ascii.size()) + 1) << cs;
        for (int i = 0; i + 1 < n; ++i) EXPECT_GE(u[i], 0x80) << cs << " at " << i;
    }
}

TEST(Width, Variants) {
    char *narrow = nullptr, *wide = nullptr;
    ASSERT_EQ(Wordstrand_MakeWidthVariants("\x82\x60\x82\x61", 128, &narrow, &wide, 0), 1);  // full-width AB
    ASSERT_NE(narrow, nullptr);
    ASSERT_NE(wide, nullptr);
    EXPECT_STREQ(narrow, "AB");
    EXPECT_STREQ(wide, "\x82\x60\x82\x61");
    EXPECT_EQ(Wordstrand_Free(narrow), 1);
    EXPECT_EQ(Wordstrand_Free(wide), 1);
    ASSERT_EQ(Wordstrand_MakeWidthVariants("\xB0\xA1", 129, &narrow, &wide, 0), 1);  // Hangul GA: no narrow form
    EXPECT_EQ(narrow, nullptr);
    ASSERT_NE(wide, nullptr);
    EXPECT_STREQ(wide, "\xB0\xA1");
    Wordstrand_Free(wide);
    EXPECT_EQ(Wordstrand_MakeWidthVariants("abc", 128, &narrow, &wide, 0), 0);
    EXPECT_EQ(wide, nullptr);
    EXPECT_EQ(Wordstrand_MakeWidthVariants("", 128, &narrow, &wide, 0), 0);
    EXPECT_EQ(Wordstrand_MakeWidthVariants("caf\xE9", 0, &narrow, &wide, 0), 0);
    EXPECT_EQ(Wordstrand_Free(nullptr), 0);
}

struct JoinCase {
    UINT charset;
    UINT flags;
    std::string in, out;
};

TEST(Lines, JoinLines) {
    const JoinCase cases[] = {
        {0, 1, "end\r\nnext", "end next"},
        {0, 1, "end.\r\nNext", "end.\r\nNext"},
        {0, 1, "a\r\n\r\nb", "a\r\nb"},
        {0, 0, "a\r\nb\r\n\r\nc", "abc"},
        {0, 1, "end,\r\nx", "end,\r\nx"},
        {0, 1, "a, b\r\nc", "a, b c"},
        // every form of line end counts once: the CR of tagged text, a lone LF
        {0, 1, "a\rb", "a b"},
        {0, 1, "a.\rB", "a.\r\nB"},
        {0, 1, "a\n\nb", "a\r\nb"},
        {0, 1, "a\r\r\nb", "a\r\nb"},
        {0, 2, "One. Two", "One.\r\n Two"},
        {0, 3, "x. y\r\nz", "x.\r\n y z"},
        {0, 1, "\xBF\r\nA", "\xBF\r\nA"},
        {128, 1, "\xBF\r\nA", "\xBF A"},                        // half-width katakana SO ends nothing
        {128, 1, "\x82\xA0\x81\x42\r\n\x82\xA2", "\x82\xA0\x81\x42\r\n\x82\xA2"},  // ideographic full stop
        {128, 1, "\x82\xA0\r\n\x82\xA2", "\x82\xA0 \x82\xA2"},
        {128, 1, "\x83\x5C\r\n\x83\x7B", "\x83\x5C \x83\x7B"},
        {128, 2, "\x81\x48 x", "\x81\x48\r\n x"},
        {128, 0, "\x82", "\x82"},                                 // lead byte before the NUL
        {129, 1, "\xA1\xA3\r\nx", "\xA1\xA3\r\nx"},
        {134, 1, "\xA3\xBF\r\nx", "\xA3\xBF\r\nx"},
        {136, 1, "\xA1\x43\r\nx", "\xA1\x43\r\nx"},
        {136, 1, "\xA1\x44\r\nx", "\xA1\x44 x"},
    };
    for (const JoinCase &c : cases) {
        std::vector<char> out(2 * c.in.size() + 1, '\x7F');
        int n = Wordstrand_JoinLines(c.charset, c.in.c_str(), out.data(), c.flags);
        EXPECT_EQ(Hex(out.data()), Hex(c.out)) << c.charset << " flags " << c.flags << " " << testing::PrintToString(c.in);
        EXPECT_EQ(n, int(c.out.size()) + 1);
    }
}

std::string JoinTagged(const std::string &tagged, UINT flags) {
    std::vector<char> out(2 * tagged.size() + 3, '\x7F');
    int n = Wordstrand_JoinLinesAlloc(tagged.c_str(), out.data(), flags);
    EXPECT_EQ(n, int(strlen(out.data())) + 1);
    return out.data();
}

TEST(Lines, JoinTaggedTextNeitherDoublesNorLosesLineEnds) {
    // Lines tagged one by one keep one line end each.
    char tagged[64];
    Strandkit_TagLines(0, "line one.\r\nline two", tagged);
    EXPECT_EQ(JoinTagged(tagged, 1), "line one.\r\nline two\r\n");
    EXPECT_EQ(JoinTagged(tagged, 0), "line one.\r\nline two\r\n");
    // One tag in front: the lines inside the run are joined by the flags.
    Strandkit_AddCharsetTag(128, "\x82\xA0\r\n\x82\xA2\x81\x42\r\n\x82\xA4\r\n", tagged);
    EXPECT_EQ(JoinTagged(tagged, 1), "\x82\xA0 \x82\xA2\x81\x42\r\n\x82\xA4\r\n");
    EXPECT_EQ(JoinTagged(tagged, 0), "\x82\xA0\x82\xA2\x81\x42\x82\xA4\r\n");
    // Untagged text gets no line end of its own.
    EXPECT_EQ(JoinTagged("ab\rcd", 1), "ab cd");
    // Each run is read in its own charset: A1 43 ends a sentence in Big5 only.
    EXPECT_EQ(JoinTagged("\x1b" "F88\xA1\x43\rx", 1), "\xA1\x43\r\nx\r\n");
    EXPECT_EQ(JoinTagged("\x1b" "F00\xA1\x43\rx", 1), "\xA1\x43 x\r\n");
    // Tags are dropped, the editor's six-byte form whole.
    EXPECT_EQ(JoinTagged("a\x1b" "F0112b", 1), "ab\r\n");
}

TEST(Lines, FindBreakBefore) {
    const char *text = "One. Two three. Four";
    const struct {
        UINT charset;
        const char *text;
        int position;
        const char *piece;  // null: nothing found
    } cases[] = {
        {0, text, 7, "Two three."},
        {0, text, 0, "One."},
        {0, text, 3, "One."},
        {0, text, 14, "Two three."},
        {0, text, 15, "Four"},
        {0, text, 19, "Four"},
        {0, text, 20, nullptr},
        {0, text, -1, nullptr},
        {0, "", 0, nullptr},
        {0, "a.   ", 3, nullptr},
        {0, "Why?\r\nNo!", 7, "No!"},
        // Shift-JIS: A, ideographic full stop, I U, full stop; position on a trail byte
        {128, "\x82\xA0\x81\x42\x82\xA2\x82\xA4\x81\x42", 5, "\x82\xA2\x82\xA4\x81\x42"},
        {128, "\x82\xA0\x81\x42\x82\xA2\x82\xA4\x81\x42", 3, "\x82\xA0\x81\x42"},
        // the trail byte A1 of small I is no half-width full stop
        {128, "\x82\xA0\x82\xA1\x82\xA2", 4, "\x82\xA0\x82\xA1\x82\xA2"},
        {136, "\xA4\x40\xA1\x43\xA4\x48", 4, "\xA4\x48"},
    };
    for (const auto &c : cases) {
        char out[64] = "unchanged";
        int found = Wordstrand_FindBreakBefore(c.charset, c.text, c.position, out);
        SCOPED_TRACE(testing::Message() << c.charset << " " << testing::PrintToString(c.text) << " at " << c.position);
        if (!c.piece) {
            EXPECT_EQ(found, 0);
        } else {
            EXPECT_EQ(found, 1);
            EXPECT_EQ(Hex(out), Hex(c.piece));
        }
    }
    char out[8];
    EXPECT_EQ(Wordstrand_FindBreakBefore(0, nullptr, 0, out), 0);
    EXPECT_EQ(Wordstrand_FindBreakBefore(0, "a", 0, nullptr), 0);
}

TEST(Specials, WesternSpecialsToShiftJisAndBack) {
    char out[64], back[64];
    // ellipsis, trade mark, copyright, euro (no form: dropped), left guillemet
    EXPECT_EQ(Wordstrand_Latin1ToAscii("a\x85\x99\xA9\x80\xABz", out), 12);
    EXPECT_EQ(Hex(out), Hex("a\x81\x63TM(C)\x81\x73z"));
    // Every special whose Shift-JIS form is a double-byte character comes back.
    const unsigned char high[] = {0x85, 0x86, 0x87, 0x88, 0x89, 0x8B, 0x95, 0x96, 0x97, 0x9B, 0xA2, 0xA3,
                                  0xA5, 0xA7, 0xA8, 0xAB, 0xB1, 0xB4, 0xB5, 0xB6, 0xBB, 0xC5, 0xD7, 0xF7};
    std::string all(reinterpret_cast<const char *>(high), sizeof high);
    Wordstrand_Latin1ToAscii(all.c_str(), out);
    EXPECT_EQ(strlen(out), 2 * sizeof high);
    EXPECT_EQ(Wordstrand_SjisFold(out, back), int(sizeof high) + 1);
    EXPECT_EQ(Hex(back), Hex(all));
    // Other double-byte characters are dropped whole (trail byte 0x5C included); a lead byte at
    // the end goes alone.
    EXPECT_EQ(Wordstrand_SjisFold("x\x83\x5Cy\x81\x63\x81", back), 4);
    EXPECT_EQ(Hex(back), Hex("xy\x85"));
}

}  // namespace
