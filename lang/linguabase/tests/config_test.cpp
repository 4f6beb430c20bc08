// Language key paths, language record copies, the word iterator and the heap.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "linguabase.h"

namespace {

TEST(Config, LanguageKeysWithoutIniFile) {
    char out[MAX_PATH];
    const std::string root = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";
    EXPECT_EQ(Linguabase_GetLangRootKey(out), (int)root.size());
    EXPECT_EQ(out, root);
    EXPECT_EQ(Linguabase_GetLangKey(0x0700, out), (int)root.size() + 5);
    EXPECT_EQ(out, root + "\\0700");
    Linguabase_GetLangSubKey(0x0F00, "Popup", out);
    EXPECT_EQ(out, root + "\\0f00\\Popup");
    Linguabase_GetStartupRootKey(out);
    EXPECT_STREQ(out, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\StartUp");
}

TEST(Config, RootsFromTheIniFileOfTheWindowsFolder) {
    char ini[MAX_PATH];
    GetWindowsDirectoryA(ini, MAX_PATH);
    strcat(ini, "\\vldicsdk.ini");
    ASSERT_TRUE(WritePrivateProfileStringA("Registry", "ROOT_LANG_KEY", "SOFTWARE\\Halvenstone\\Test\\Lang", ini));
    WritePrivateProfileStringA("Registry", "ROOT_STARUP_KEY", "SOFTWARE\\Halvenstone\\Test\\Start", ini);
    char out[MAX_PATH], start[MAX_PATH];
    Linguabase_GetLangKey(0x0100, out);
    Linguabase_GetStartupRootKey(start);
    DeleteFileA(ini);  // before any check: other programs of this prefix read the same file
    EXPECT_STREQ(out, "SOFTWARE\\Halvenstone\\Test\\Lang\\0100");
    EXPECT_STREQ(start, "SOFTWARE\\Halvenstone\\Test\\Start");
}

LangInfo DriverRecord() {
    LangInfo d;
    memset(&d, 0xEE, sizeof d);  // every byte set: what is not copied must come out zero
    d.language = 0x0100;
    d.charset = 0;
    strcpy(d.name, "English");
    return d;
}

TEST(Config, CopyLangInfoByBlocks) {
    LangInfo d = DriverRecord();
    struct {
        DWORD flags;
        std::vector<std::pair<int, int>> copied;  // byte ranges copied besides the head
    } cases[] = {
        {0x00, {}},
        {0x04, {{200, 224}}},
        {0x3F, {{76, 328}}},
        {0x21, {{76, 144}, {272, 328}}},
    };
    for (const auto &c : cases) {
        LangInfo r;
        memset(&r, 0x11, sizeof r);
        r.size = sizeof r;
        EXPECT_EQ(Linguabase_CopyLangInfo(c.flags | 0x100, &r, &d), c.flags);
        const BYTE *p = (const BYTE *)&r;
        for (int i = 4; i < 328; i++) {
            bool head = (i >= 4 && i < 24) || (i >= 36 && i < 76);
            bool block = false;
            for (auto range : c.copied)
                block = block || (i >= range.first && i < range.second);
            BYTE want = (head || block) ? ((const BYTE *)&d)[i] : 0;
            ASSERT_EQ(p[i], want) << "flags " << c.flags << " byte " << i;
        }
        EXPECT_EQ(r.size, sizeof r);
    }
}

TEST(Config, CopyLangInfoWritesNoMoreThanTheCallersSize) {
    LangInfo d = DriverRecord();
    BYTE buf[400];
    memset(buf, 0x77, sizeof buf);
    DWORD size = 100;
    memcpy(buf, &size, 4);
    EXPECT_EQ(Linguabase_CopyLangInfo(0x3F, (LangInfo *)buf, &d), 0x3Fu);
    EXPECT_EQ(memcmp(buf + 44, "English", 8), 0);
    for (int i = 100; i < 400; i++)
        ASSERT_EQ(buf[i], 0x77) << i;
    size = 4;  // too small for even the head
    memcpy(buf, &size, 4);
    EXPECT_EQ(Linguabase_CopyLangInfo(0x3F, (LangInfo *)buf, &d), 0u);
    EXPECT_EQ(buf[4], 0x00);  // from the first copy: nothing written the second time
    EXPECT_EQ(buf[100], 0x77);
}

TEST(Config, CopyLangFontsByFontKind) {
    LangFontTable fonts = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}, {19, 20, 21}};
    for (DWORD kind : {16u, 32u, 8u}) {
        LangInfo r = {};
        r.size = sizeof r;
        r.block2[2] = kind;
        EXPECT_EQ(Linguabase_CopyLangFonts(0x3E, &r, &fonts), &r);
        DWORD b2 = kind == 16 ? 1 : kind == 32 ? 4 : 0, b6 = kind == 16 ? 16 : kind == 32 ? 19 : 0;
        EXPECT_EQ(r.block2[3], b2) << kind;
        EXPECT_EQ(r.block6[3], b6) << kind;
        EXPECT_EQ(r.block3[2], 7u);
        EXPECT_EQ(r.block4[2], 10u);
        EXPECT_EQ(r.block5[2], 13u);
        EXPECT_EQ(r.block5[4], 15u);
    }
}

std::vector<int> Words(const char *text) {
    std::vector<int> at;
    LangWordIterator it = {};
    it.user = 0xABCD;
    EXPECT_EQ(Linguabase_OpenWordIterator(&it, text), 1);
    for (int ok = Linguabase_FirstWord(&it); ok; ok = Linguabase_NextWord(&it))
        at.push_back(it.position);
    EXPECT_EQ(Linguabase_NextWord(&it), 0);
    EXPECT_EQ(it.user, 0xABCDu);
    Linguabase_CloseWordIterator(&it);
    EXPECT_EQ(it.text, nullptr);
    return at;
}

TEST(WordIterator, LetterRuns) {
    EXPECT_EQ(Words("  ab, cd"), (std::vector<int>{2, 6}));
    EXPECT_EQ(Words("ab"), (std::vector<int>{0}));
    EXPECT_EQ(Words(""), (std::vector<int>{}));
    EXPECT_EQ(Words("a1b c"), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(Words("caf\xE9 na\xEFve"), (std::vector<int>{0, 5}));  // "cafe naive" with e-acute, i-diaeresis
    LangWordIterator it = {};
    EXPECT_EQ(Linguabase_OpenWordIterator(&it, nullptr), 0);
}

}  // namespace
