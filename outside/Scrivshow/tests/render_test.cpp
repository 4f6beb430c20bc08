// The renderers of entry text: tags dropped or turned into RTF, charsets kept apart, size queries.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "scrivshow.h"

namespace {

std::string Plain(const std::string &text, int charset = -1) {
    int n = Scrivshow_RenderPlain(text.data(), (int)text.size(), nullptr, 0, charset);
    std::string out(n + 1, '\x7f');
    EXPECT_EQ(Scrivshow_RenderPlain(text.data(), (int)text.size(), &out[0], n + 1, charset), n);
    EXPECT_EQ(out[n], 0);
    out.resize(n);
    return out;
}

std::string Rtf(const std::string &text, DWORD id) {
    int n = Scrivshow_RenderRtf(text.data(), -1, nullptr, 0, id);
    std::string out(n + 1, 0);
    Scrivshow_RenderRtf(text.data(), -1, &out[0], n + 1, id);
    out.resize(n);
    return out;
}

}  // namespace

TEST(Render, PlainTextDropsEveryTag) {
    struct Case { const char *name; std::string in, out; } cases[] = {
        // "nihon" in Shift-JIS behind a charset tag, then a second line with bold text
        {"charset and lines", "\x1b" "F80\x93\xfa\x96\x7b\r\nline2\x1b" "B1bold\x1b" "B0", "\x93\xfa\x96\x7b\nline2bold"},
        {"lone CR and LF", "a\rb\nc\r\n", "a\nb\nc\n"},
        {"colour, size, super", "\x1b" "Cff0000red\x1b" "c \x1b" "Z5big\x1b" "z \x1b" "S1x\x1b" "S0", "red big x"},
        {"FS for ESC", "\x1c" "B1x\x1c" "B0y", "xy"},
        {"link anchor", "see \x1b" "AL#target\x1b" "0001word\x1b" "Al.", "see word."},
        {"link by number", "\x1b" "AL#\x1b" "0000002a0002w\x1b" "Al", "w"},
        {"heading anchor", "\x1b" "AHname\x1b" "Head\x1b" "Ah", "Head"},
        {"heading by hash", "\x1b" "AH#Title\x1b" "Ah", "Title"},
        {"numbered object", "a\x1b" "AD1#pic\x1b" "b", "ab"},
        {"view link", "\x1b" "VLlink\x1b" "x\x1b" "Vl", "x"},
        {"six-byte charset", "\x1b" "F0103font", "font"},
        {"back to charset 0", "\x1b" "F80\x82\xa0\x1b" "F00\xe9t\xe9", "\x82\xa0\xe9t\xe9"},
        {"level and paragraph", "\x1b" "L2\x1b" "T1\x1b" "P3text", "text"},
        {"cut tags at the end", "abc\x1b" "C12", "abc"},
        {"lone ESC", "\x1b", ""},
        {"anchor never closed", "\x1b" "AL#no end", ""},
        {"other controls", std::string("a\x01\x02" "b\tc", 6), "ab\tc"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Plain(c.in), c.out) << c.name;
}

TEST(Render, CharsetFilterKeepsWholeCharacters) {
    // "a" in katakana (0x83 0x41: its trail byte is the letter A) between ASCII words
    std::string text = "x \x1b" "F80\x83\x41 y";
    EXPECT_EQ(Plain(text, 0), "x  y") << "the trail byte never leaks as a letter";
    EXPECT_EQ(Plain(text, 128), "x \x83\x41 y");
    EXPECT_EQ(Plain(text, 129), "x  y");
    // After a tag back to charset 0, Latin-1 letters belong to charset 0 ("ete" with acute accents).
    EXPECT_EQ(Plain("\x1b" "F80\x82\xa0\x1b" "F00\xe9t\xe9", 0), "\xe9t\xe9");
    EXPECT_EQ(Plain(text, -1), "x \x83\x41 y");
}

TEST(Render, SizeQueryAndShortBuffers) {
    const char *text = "\x1b" "B1hello\x1b" "B0 world";
    EXPECT_EQ(Scrivshow_RenderPlain(text, -1, nullptr, 0, -1), 11);
    char small[6];
    EXPECT_EQ(Scrivshow_RenderPlain(text, -1, small, sizeof small, -1), 11);
    EXPECT_STREQ(small, "hello");
    EXPECT_EQ(Scrivshow_RenderPlain(text, 7, nullptr, 0, -1), 4) << "the length limits the text read";
    EXPECT_EQ(Scrivshow_RenderPlain(nullptr, -1, small, sizeof small, -1), 0);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(Scrivshow_RenderRtf(nullptr, -1, nullptr, 0, 0), 0);
    EXPECT_EQ(Scrivshow_RenderVltf("", -1, nullptr, 0), 0);
}

TEST(Render, RtfCarriesFontsStylesAndEscapes) {
    std::string rtf = Rtf("a{b}\\c\r\n\x1b" "F80\x93\xfa\x1b" "B1bold\x1b" "Cff0000red", 0x123401);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(rtf.back(), '}');
    for (const char *part : {"\\fcharset0 ", "\\fcharset128 ", "a\\{b\\}\\\\c", "\\par", "\\'93\\'fa", "\\b ",
                             "\\red255\\green0\\blue0;", "\\cf1", "{\\*\\vldicid 1192961}"})
        EXPECT_NE(rtf.find(part), std::string::npos) << part;
    int depth = 0;
    for (size_t i = 0; i < rtf.size(); i++) {  // braces balance outside escapes
        if (rtf[i] == '\\') {
            i++;
            continue;
        }
        depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        ASSERT_GE(depth, i + 1 < rtf.size() ? 1 : 0);
    }
    EXPECT_EQ(depth, 0);
}

TEST(Render, ViewerFormatNormalisesLineEndsAndTagBytes) {
    const char in[] = "a\r\nb\nc\x1c" "B1d";
    char out[32];
    int n = Scrivshow_RenderVltf(in, -1, out, sizeof out);
    EXPECT_EQ(std::string(out, n), "a\rb\rc\x1b" "B1d");
}
