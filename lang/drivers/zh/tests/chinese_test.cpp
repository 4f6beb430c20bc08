// The Traditional-Chinese driver: keys back from the cursor, the class and folding tables at the
// edges of their ranges, normalisation, and the named open and close of the phonetic file.  Big5
// text is written as bytes with the text in a comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "dbcs_int.h"
#include "wordstrand.h"

#include "dbcs_tables.inc"

namespace {

struct Key {
    std::string text;
    DWORD position, kind, group;
};

std::vector<Key> Analyze(const char *text, int cursor, DWORD back = 8) {
    LangAnalysisSettings s = {};
    s.wordsBack = back;
    s.minimumLength = 1;
    LangKeyList list = {};
    std::vector<Key> keys;
    EXPECT_EQ(LangDriver_AnalyzeText(text, cursor, &list, &s), 1);
    EXPECT_EQ(list.language, 0x0300u | 136u << 16);
    for (DWORD i = 0; i < list.count; i++) {
        keys.push_back({list.items[i].text, list.items[i].position, list.items[i].kind, list.items[i].group});
        Linguabase_Free(list.items[i].text);
    }
    Linguabase_Free(list.items);
    return keys;
}

TEST(Chinese, KeysBackFromTheCursor) {
    // 中文字 with the cursor on the first character: the whole text, the text from the cursor, the
    // cursor character
    std::vector<Key> keys = Analyze("\xA4\xA4\xA4\xE5\xA6\x72", 0);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].text, "\xA4\xA4\xA4\xE5\xA6\x72");
    EXPECT_EQ(keys[0].kind, 256u);
    EXPECT_EQ(keys[1].text, "\xA4\xA4\xA4\xE5\xA6\x72");
    EXPECT_EQ(keys[1].kind, 0u);
    EXPECT_EQ(keys[2].text, "\xA4\xA4");
    // 我們 with the cursor on 們: 們, then 我們 one step back (position 2, group 256); the
    // character alone takes the last group
    keys = Analyze("\xA7\xDA\xAD\xCC", 2);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[1].text, "\xAD\xCC");
    EXPECT_EQ(keys[2].text, "\xA7\xDA\xAD\xCC");
    EXPECT_EQ(keys[2].position, 2u);
    EXPECT_EQ(keys[2].group, 256u);
    EXPECT_EQ(keys[3].text, "\xAD\xCC");
    EXPECT_EQ(keys[3].group, 256u);
    // 中。文 with the cursor on 文: the full stop right before it ends the walk at once
    keys = Analyze("\xA4\xA4\xA1\x43\xA4\xE5", 4);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[1].text, "\xA4\xE5");
    // a full-width space never starts a key but the sentence: 　中 with the cursor on the space
    keys = Analyze("\xA1\x40\xA4\xA4", 0);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].kind, 256u);
    // half-width input is widened: "ab" with the cursor on b gives ｂ, ａｂ
    keys = Analyze("ab", 1);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[2].text, "\xA2\xE9\xA2\xEA");
}

TEST(Chinese, ClassTableEdges) {
    ASSERT_EQ(g_dbcsTables.size, 471);
    struct Case {
        BYTE lead, trail, cls, nonWord;
    } cases[] = {
        {0xA1, 0x41, 6, 1},   // ，
        {0xA1, 0x43, 6, 1},   // 。
        {0xA1, 0xAF, 5, 1},   // ＊
        {0xA2, 0xAF, 7, 0},   // ０
        {0xA2, 0xB8, 7, 0},   // ９
        {0xA2, 0xCF, 1, 0},   // Ａ
        {0xA3, 0x43, 1, 0},   // ｚ
        {0xA3, 0x44, 2, 0},   // Α
        {0xA3, 0x73, 2, 0},   // ω
        {0xA3, 0x74, 3, 0},   // ㄅ
        {0xA3, 0xBA, 3, 0},   // ㄩ
        {0xA4, 0x40, 11, 0},  // 一
        {0xA4, 0x42, 11, 0},  // 丁, the last index of the table
    };
    for (const Case &c : cases) {
        WORD i = Wordstrand_Big5Index(c.lead, c.trail);
        ASSERT_LT(i, 471) << "case " << (&c - cases);
        EXPECT_EQ(g_dbcsTables.classes[i], c.cls) << "case " << (&c - cases);
        EXPECT_EQ(g_dbcsTables.nonWord[i], c.nonWord) << "case " << (&c - cases);
    }
    EXPECT_EQ(Wordstrand_Big5Index(0xA4, 0x42), 470);
}

TEST(Chinese, FoldingAtTheEdges) {
    struct Case {
        const char *a, *b;
    } pairs[] = {
        {"\xA2\xCF", "\xA2\xE9"},  // Ａ ａ
        {"\xA2\xE8", "\xA3\x43"},  // Ｚ ｚ
        {"\xA3\x44", "\xA3\x5C"},  // Α α
        {"\xA3\x5B", "\xA3\x73"},  // Ω ω
    };
    for (const Case &c : pairs) {
        EXPECT_NE(LangDriver_Compare(0, c.a, c.b, 0), 0) << "case " << (&c - pairs);
        EXPECT_EQ(LangDriver_Compare(0x400, c.a, c.b, 0), 0) << "case " << (&c - pairs);
        EXPECT_EQ(LangDriver_Compare(0x410, c.a, c.b, 0), 0) << "case " << (&c - pairs);
        EXPECT_EQ(LangDriver_CompareScored(0x400, 0, c.a, 2, c.b, 2), 0x10000000u);
    }
    // ASCII compares as its full-width form; punctuation drops with 0x48
    EXPECT_EQ(LangDriver_Compare(0, "A", "\xA2\xCF", 0), 0);
    EXPECT_EQ(LangDriver_Compare(0x48, "\xA4\xA4\xA1\x43\xA4\xE5", "\xA4\xA4\xA4\xE5", 0), 0);
    EXPECT_NE(LangDriver_Compare(0, "\xA4\xA4\xA1\x43\xA4\xE5", "\xA4\xA4\xA4\xE5", 0), 0);
    EXPECT_EQ(LangDriver_GetKeySpace(), 13883u | 13883u << 16);
}

TEST(Chinese, Normalize) {
    char out[64];
    EXPECT_STREQ(LangDriver_NormalizeText(1, "\xA2\xCF\xA3\x44\xA3\x74*", out), "\xA2\xE9\xA3\x5C\xA3\x74*");  // ＡΑㄅ* -> ａαㄅ*
    EXPECT_STREQ(LangDriver_NormalizeText(2, "\xA3\x43\xA3\x73", out), "\xA2\xE8\xA3\x5B");                   // ｚω -> Ｚ Ω
    EXPECT_STREQ(LangDriver_NormalizeText(0x84, "a*", out), "\xA2\xE9\xA1\xAF");  // the wildcard stays full width
}

// Loads a copy of the driver; its phonetic file is the copy's path with the extension "vic".
typedef int(WINAPI *Named)(void);
typedef DWORD(WINAPI *Phone1)(DWORD);

void WritePhoneFile(const char *path) {
    BYTE f[53] = {};
    DWORD v[] = {1, 1, 32, 53, 0, 0, 7, 0, 48, 5};
    memcpy(f, "VLPHONE1", 8);
    memcpy(f + 8, v, 8);        // version, count
    memcpy(f + 16, v + 2, 8);   // directory offset, file size
    memcpy(f + 32, v + 6, 16);  // key 7, 0, data offset 48, length 5
    memcpy(f + 48, "hello", 5);
    FILE *out = fopen(path, "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f, 1, sizeof f, out);
    fclose(out);
}

TEST(Chinese, OpenAndCloseTwice) {
    char self[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("lingo_zh.dll"), self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, "lingo_zhcopy.dll", FALSE));
    WritePhoneFile("lingo_zhcopy.vic");
    HMODULE m = LoadLibraryA("lingo_zhcopy.dll");
    ASSERT_NE(m, nullptr);
    Named open = (Named)GetProcAddress(m, "OpenLangDriver");
    Named close = (Named)GetProcAddress(m, "CloseLangDriver");
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    ASSERT_TRUE(open && close && lookup);
    EXPECT_EQ(lookup(7), 6u);  // opened by the attach
    EXPECT_EQ(open(), 1);      // the manager opens again: the same handle stays
    EXPECT_EQ(lookup(7), 6u);
    EXPECT_EQ(close(), 1);
    EXPECT_TRUE(DeleteFileA("lingo_zhcopy.vic"));  // no second handle was left open
    EXPECT_EQ(close(), 1);                         // closing again does nothing
    EXPECT_EQ(lookup(7), 0u);
    WritePhoneFile("lingo_zhcopy.vic");
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(lookup(7), 6u);
    FreeLibrary(m);  // the detach closes it
    EXPECT_TRUE(DeleteFileA("lingo_zhcopy.vic"));
    DeleteFileA("lingo_zhcopy.dll");
}

}  // namespace
