// Path text operations over plain and Shift-JIS names.  The same table runs under code page 932
// (this program) and 1252 (paths_c_test): where a double-byte character's trail byte is 0x5C the
// two code pages expect different results.
#include <gtest/gtest.h>

#include "basekit.h"

#include <string.h>
#include <string>

namespace {

// Shift-JIS test names (escaped): "\x95\x5c" is the kanji for "table", whose trail byte is 0x5C;
// "\x83\x5c" is katakana "so", trail 0x5C as well; "\x82\xa0" is hiragana "a".
#define KANJI_TABLE "\x95\x5c"
#define KATAKANA_SO "\x83\x5c"
#define HIRAGANA_A "\x82\xa0"

bool Japanese() { return GetACP() == 932; }

// Offset of a returned pointer into its text, or -1 for null.
int At(const char *text, const char *p) { return p ? (int)(p - text) : -1; }

TEST(Paths, NextComponentAndLastBackslash)
{
    struct Row {
        const char *path;
        int next932, next1252;   // Basekit_PathNextComponent
        int last932, last1252;   // Basekit_PathFindFileName
    } rows[] = {
        {"C:\\dir\\a.txt", 2, 2, 6, 6},
        {"\\abc\\def", 4, 4, 4, 4},
        {"\\abc", -1, -1, -1, -1},
        {"a.txt", -1, -1, -1, -1},
        {"", -1, -1, -1, -1},
        {"\\\\server\\share", 1, 1, 8, 8},
        {"C:\\" KANJI_TABLE, 2, 2, 2, 4},
        {KANJI_TABLE "x\\y", 3, 1, 3, 3},
        {"C:\\" KATAKANA_SO "\\" HIRAGANA_A "\\b", 2, 2, 8, 8},
        {"C:\\" KATAKANA_SO HIRAGANA_A, 2, 2, 2, 4},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(Japanese() ? r.next932 : r.next1252, At(r.path, Basekit_PathNextComponent(r.path)))
            << r.path;
        EXPECT_EQ(Japanese() ? r.last932 : r.last1252, At(r.path, Basekit_PathFindFileName(r.path)))
            << r.path;
    }
    EXPECT_EQ(nullptr, Basekit_PathNextComponent(nullptr));
    EXPECT_EQ(nullptr, Basekit_PathFindFileName(nullptr));
}

TEST(Paths, ReplaceFileNameAndSetExtension)
{
    enum { Replace, Extension, Append };
    struct Row {
        int op;
        const char *path, *arg, *want932, *want1252;
    } rows[] = {
        {Replace, "C:\\dir\\old.txt", "new.dic", "C:\\dir\\new.dic", "C:\\dir\\new.dic"},
        {Replace, "old.txt", "new.dic", "new.dic", "new.dic"},
        {Replace, "C:\\dir\\", "a", "C:\\dir\\a", "C:\\dir\\a"},
        {Replace, "C:\\" KANJI_TABLE, "x", "C:\\x", "C:\\" "\x95" "\\x"},
        {Replace, "C:\\" KANJI_TABLE "\\a", "x", "C:\\" KANJI_TABLE "\\x", "C:\\" KANJI_TABLE "\\x"},
        {Extension, "name", "dic", "name.dic", "name.dic"},
        {Extension, "name.tmp", ".dic", "name.dic", "name.dic"},
        {Extension, "C:\\d\\name.a.tmp", "dic", "C:\\d\\name.a.dic", "C:\\d\\name.a.dic"},
        {Extension, "C:\\a.b\\name", "dic", "C:\\a.b\\name.dic", "C:\\a.b\\name.dic"},
        {Extension, "name.", "rdt", "name.rdt", "name.rdt"},
        {Extension, "C:\\d\\a." KANJI_TABLE "b", "dic", "C:\\d\\a.dic",
         "C:\\d\\a." KANJI_TABLE "b.dic"},
        {Extension, "C:\\d\\" HIRAGANA_A ".txt", "vic", "C:\\d\\" HIRAGANA_A ".vic",
         "C:\\d\\" HIRAGANA_A ".vic"},
        {Append, "C:\\dir\\", "a.txt", "C:\\dir\\a.txt", "C:\\dir\\a.txt"},
        {Append, "C:\\dir", "a.txt", "C:\\dir\\a.txt", "C:\\dir\\a.txt"},
        {Append, "C:\\" KANJI_TABLE, "a", "C:\\" KANJI_TABLE "\\a", "C:\\" KANJI_TABLE "a"},
    };
    for (const Row &r : rows) {
        char buf[MAX_PATH];
        strcpy(buf, r.path);
        char *got = r.op == Replace     ? Basekit_PathReplaceFileName(buf, r.arg)
                    : r.op == Extension ? Basekit_PathSetExtension(buf, r.arg)
                                        : Basekit_PathAppend(buf, r.arg);
        EXPECT_EQ(buf, got);
        EXPECT_STREQ(Japanese() ? r.want932 : r.want1252, buf) << r.path << " + " << r.arg;
    }
}

// Results that do not fit in 260 bytes are cut at a whole character, never past the buffer.
TEST(Paths, LongResultsStayInTheBuffer)
{
    char guarded[MAX_PATH + 8];
    char *buf = guarded;
    memset(guarded, '#', sizeof guarded);

    strcpy(buf, "C:\\");
    std::string name(255, 'x');
    name += KANJI_TABLE;   // ends at byte 260: one byte too many for the terminator
    Basekit_PathReplaceFileName(buf, name.c_str());
    EXPECT_EQ(Japanese() ? 258u : 259u, strlen(buf));
    for (int i = MAX_PATH; i < MAX_PATH + 8; ++i) EXPECT_EQ('#', guarded[i]);

    std::string full(MAX_PATH - 1, 'y');
    strcpy(buf, full.c_str());
    Basekit_PathSetExtension(buf, "dic");
    EXPECT_EQ(full, buf) << "no room for the dot: unchanged";
    full.resize(MAX_PATH - 3);
    strcpy(buf, full.c_str());
    Basekit_PathSetExtension(buf, "dic");
    EXPECT_EQ(MAX_PATH - 1u, strlen(buf));
    EXPECT_EQ(full + ".d", buf);
    for (int i = MAX_PATH; i < MAX_PATH + 8; ++i) EXPECT_EQ('#', guarded[i]);
}

} // namespace
