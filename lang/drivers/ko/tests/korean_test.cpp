// The Korean driver (the Chinese driver's code with Hangul tables): keys back from the cursor, the
// class and folding tables at the edges of their ranges, and the named open and close of the
// phonetic file.  Hangul text is written as bytes with the text in a comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "dbcs_int.h"
#include "../../tests/phonekit.h"
#include "wordstrand.h"

#include "dbcs_tables.inc"

namespace {

std::vector<std::string> Analyze(const char *text, int cursor) {
    LangAnalysisSettings s = {};
    s.wordsBack = 8;
    s.minimumLength = 1;
    LangKeyList list = {};
    std::vector<std::string> keys;
    EXPECT_EQ(LangDriver_AnalyzeText(text, cursor, &list, &s), 1);
    EXPECT_EQ(list.language, 0x0500u | 129u << 16);
    for (DWORD i = 0; i < list.count; i++) {
        keys.push_back(list.items[i].text);
        Linguabase_Free(list.items[i].text);
    }
    Linguabase_Free(list.items);
    return keys;
}

TEST(Korean, KeysBackFromTheCursor) {
    // 한국어 with the cursor on 국: the whole text, 국어, 한국어, 국
    std::vector<std::string> keys = Analyze("\xC7\xD1\xB1\xB9\xBE\xEE", 2);
    std::vector<std::string> want = {"\xC7\xD1\xB1\xB9\xBE\xEE", "\xB1\xB9\xBE\xEE", "\xC7\xD1\xB1\xB9\xBE\xEE",
                                     "\xB1\xB9"};
    EXPECT_EQ(keys, want);
    // 한。국 with the cursor on 국: the full stop ends the walk at once
    keys = Analyze("\xC7\xD1\xA1\xA3\xB1\xB9", 4);
    EXPECT_EQ(keys.size(), 3u);
}

TEST(Korean, ClassTableCoversEveryRow) {
    // 94 x 94 row indexes: the last one (FEFE) is inside the table
    ASSERT_EQ(g_dbcsTables.size, 8836);
    EXPECT_EQ(Wordstrand_KscIndex(0xFE, 0xFE), 8835);
    struct Case {
        BYTE lead, trail, cls, nonWord;
    } cases[] = {
        {0xA1, 0xA3, 6, 1},   // 。
        {0xA3, 0xB1, 7, 0},   // １
        {0xA3, 0xC1, 1, 0},   // Ａ
        {0xA3, 0xFA, 1, 0},   // ｚ
        {0xA4, 0xA1, 8, 0},   // ㄱ
        {0xA5, 0xC1, 2, 0},   // Α
        {0xA5, 0xF8, 2, 0},   // ω
        {0xA8, 0xCD, 4, 1},   // ⓐ
        {0xA8, 0xE7, 5, 1},   // ①
        {0xAA, 0xA1, 4, 0},   // ぁ
        {0xAC, 0xA1, 3, 0},   // А
        {0xAC, 0xF1, 3, 0},   // я
        {0xB0, 0xA1, 8, 0},   // 가
        {0xC8, 0xFE, 8, 0},   // 힝
        {0xCA, 0xA1, 11, 0},  // 伽
        {0xFD, 0xFE, 11, 0},  // 詰
    };
    for (const Case &c : cases) {
        WORD i = Wordstrand_KscIndex(c.lead, c.trail);
        EXPECT_EQ(g_dbcsTables.classes[i], c.cls) << "case " << (&c - cases);
        EXPECT_EQ(g_dbcsTables.nonWord[i], c.nonWord) << "case " << (&c - cases);
    }
}

TEST(Korean, FoldingAtTheEdges) {
    struct Case {
        const char *a, *b;
    } pairs[] = {
        {"\xA3\xC1", "\xA3\xE1"},  // Ａ ａ
        {"\xA3\xDA", "\xA3\xFA"},  // Ｚ ｚ
        {"\xA5\xC1", "\xA5\xE1"},  // Α α
        {"\xA5\xD8", "\xA5\xF8"},  // Ω ω
        {"\xAC\xA1", "\xAC\xD1"},  // А а
        {"\xAC\xC1", "\xAC\xF1"},  // Я я
    };
    for (const Case &c : pairs) {
        EXPECT_NE(LangDriver_Compare(0, c.a, c.b, 0), 0) << "case " << (&c - pairs);
        EXPECT_EQ(LangDriver_Compare(0x400, c.a, c.b, 0), 0) << "case " << (&c - pairs);
    }
    char out[16];
    EXPECT_STREQ(LangDriver_NormalizeText(2, "\xAC\xF1\xA3\xE1", out), "\xAC\xC1\xA3\xC1");  // яａ -> ЯＡ
    // the circled letter folds to its letter only in the blind stages
    EXPECT_EQ(LangDriver_Compare(0x410, "\xA8\xCD", "\xA3\xE1", 0), 0);  // ⓐ ~ ａ
    EXPECT_NE(LangDriver_Compare(0, "\xA8\xCD", "\xA3\xE1", 0), 0);
    EXPECT_EQ(LangDriver_GetKeySpace(), 8836u | 8836u << 16);
    LangInfo info = {};
    info.size = sizeof info;
    LangDriver_GetLangInfo(0x01, &info);
    EXPECT_STREQ(info.name, "Korean");
    EXPECT_STREQ(info.face2, "DotumChe");
}

typedef int(WINAPI *Named)(void);
TEST(Korean, OpenAndCloseTwiceWithTheIvlFile) {
    char self[MAX_PATH];
    GetModuleFileNameA(GetModuleHandleA("lingo_ko.dll"), self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, "lingo_kocopy.dll", FALSE));
    WritePhoneFile("lingo_kocopy.ivl");
    HMODULE m = LoadLibraryA("lingo_kocopy.dll");
    ASSERT_NE(m, nullptr);
    Named open = (Named)GetProcAddress(m, "OpenLangDriver");
    Named close = (Named)GetProcAddress(m, "CloseLangDriver");
    Phone1 lookup = (Phone1)GetProcAddress(m, MAKEINTRESOURCEA(8));
    ASSERT_TRUE(open && close && lookup);
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(open(), 1);
    EXPECT_EQ(lookup(7), 6u);
    EXPECT_EQ(close(), 1);
    EXPECT_EQ(close(), 1);
    EXPECT_TRUE(DeleteFileA("lingo_kocopy.ivl"));  // one handle, closed once
    FreeLibrary(m);                                // nothing left for the detach to close
    DeleteFileA("lingo_kocopy.dll");
}

}  // namespace
