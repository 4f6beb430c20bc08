// The capture restriction list: parsing of vlwndctl.dat beside the running program, matching by
// window class, saving (switches and file) and comparing.  The test program's own folder holds
// the file; any file found there is set aside for the test and put back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

#include "basekit.h"
#include "prefstore.h"
#include "settings_fixture.h"
#include "support/testkit_files.h"

namespace {

std::string ListPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char *slash = strrchr(path, '\\');
    strcpy(slash + 1, "vlwndctl.dat");
    return path;
}

std::string ReadText(const std::string &path)
{
    std::string out;
    FILE *f = fopen(path.c_str(), "rt");
    if (!f) return "<missing>";
    for (int c; (c = getc(f)) != EOF;)
        out += (char)c;
    fclose(f);
    return out;
}

class RestrictionsTest : public SettingsStoreTest {
protected:
    void SetUp() override
    {
        SettingsStoreTest::SetUp();
        path_ = ListPath();
        aside_ = path_ + ".aside";
        hadFile_ = MoveFileExA(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }
    void TearDown() override
    {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
        if (hadFile_) MoveFileExA(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        SettingsStoreTest::TearDown();
    }
    std::string path_, aside_;
    bool hadFile_ = false;
};

struct ListGuard {
    RestrictionList *list;
    explicit ListGuard(RestrictionList *l) : list(l) {}
    ~ListGuard() { Prefstore_FreeRestrictions(list); }
};

const RestrictionEntry *Entry(const RestrictionList *list, int i)
{
    return (const RestrictionEntry *)Rowkit_GetItem(list->Applications, i);
}

// A description of exactly the length that makes its line 1023 bytes long.
std::string ExactLine()
{
    std::string head = "1\tExact\t";
    return head + std::string(1023 - head.size(), 'e');
}

// A line over the limit whose bytes past the limit look like a rule of their own.
std::string OverlongLine()
{
    std::string head = "1\tLongTail\t";
    return head + std::string(1023 - head.size(), 'a') + "1\tInjected\tfrom the tail";
}

std::string SampleFile()
{
    return std::string(
               "; applications where no word is captured\n"
               "1\tNotepad\tText editor\n"
               "0\tAllowed Class\tAllowed application\n"
               "1 OnlyTwo\n"
               "1\tSpaced  Description here\n"
               "1\tNotepad\tsecond line for the same class\n"
               "   2 \tLeading\t\x83\x65\x83\x58\x83\x67 with spaces\n"  // katakana "tesuto"
               "7\n") +
           OverlongLine() + "\n" + ExactLine() + "\n" +
           ";1\tCommented\tnot a rule\n"
           "0x10\tHexClass\tnumber parsed in decimal\r\n"
           "1\tLast\tno line break at the end";
}

TEST_P(RestrictionsTest, MissingFileAndSectionGiveAnEmptyRecord) {
    ListGuard g(Prefstore_LoadRestrictions());
    ASSERT_NE(g.list, nullptr);
    EXPECT_EQ(g.list->EnableAreaSelection | g.list->Button | g.list->ListBox | g.list->DialogBox |
                  g.list->Menu | g.list->EnableApplicationList, 0);
    ASSERT_NE(g.list->Applications, nullptr);
    EXPECT_EQ(Rowkit_GetCount(g.list->Applications), 0);
    EXPECT_EQ(Prefstore_FindRestriction(g.list, "Notepad"), 1);
    EXPECT_EQ(Prefstore_FindRestriction(nullptr, "Notepad"), 0);
}

TEST_P(RestrictionsTest, FileLinesParseIntoEntriesInFileOrder) {
    Testkit_WriteFile(path_, SampleFile());
    ListGuard g(Prefstore_LoadRestrictions());
    ASSERT_NE(g.list, nullptr);
    struct Want {
        const char *key;
        int excluded;
        std::string description;
    };
    const std::vector<Want> want = {
        {"Notepad", 1, "Text editor"},
        {"Allowed Class", 0, "Allowed application"},
        {"Leading", 2, "\x83\x65\x83\x58\x83\x67 with spaces"},
        {"Exact", 1, ExactLine().substr(8)},
        {"HexClass", 0, "number parsed in decimal"},
        {"Last", 1, "no line break at the end"},
    };
    ASSERT_EQ(Rowkit_GetCount(g.list->Applications), (int)want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].key);
        EXPECT_STREQ(Rowkit_GetKey(g.list->Applications, (int)i), want[i].key);
        EXPECT_EQ(Entry(g.list, (int)i)->Excluded, want[i].excluded);
        EXPECT_EQ(Entry(g.list, (int)i)->Description, want[i].description);
    }
}

TEST_P(RestrictionsTest, MatchTable) {
    Testkit_WriteFile(path_, SampleFile());
    ListGuard g(Prefstore_LoadRestrictions());
    const struct {
        const char *cls;
        int allowed;
    } cases[] = {
        {"Notepad", 0},                  // excluded; the later line for the class does not count
        {"Allowed Class", 1},            // listed with 0
        {"Allowed", 1},                  // part of a class name is another class
        {"notepad", 1},                  // class names compare with case
        {"OnlyTwo", 1},                  // line without a description
        {"Spaced", 1},                   // fields separated by spaces only
        {"Spaced  Description here", 1},
        {"Leading", 0},                  // any non-zero number excludes
        {"LongTail", 1},                 // overlong line skipped whole...
        {"Injected", 1},                 // ...and its tail is no rule
        {"Exact", 0},                    // a line of exactly the limit is kept
        {"Commented", 1},
        {";1", 1},
        {"HexClass", 1},
        {"Last", 0},
        {"", 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Prefstore_FindRestriction(g.list, c.cls), c.allowed) << c.cls;
}

TEST_P(RestrictionsTest, SwitchesComeFromTheSettings) {
    const char *names[] = {"EnableAreaSelection", "Button", "ListBox", "DialogBox", "Menu",
                           "EnableApplicationList"};
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(Basekit_SettingsWriteDword(R4 "Ristrict", names[i], DWORD(i + 1)));
    ListGuard g(Prefstore_LoadRestrictions());
    EXPECT_EQ(g.list->EnableAreaSelection, 1);
    EXPECT_EQ(g.list->Button, 2);
    EXPECT_EQ(g.list->ListBox, 3);
    EXPECT_EQ(g.list->DialogBox, 4);
    EXPECT_EQ(g.list->Menu, 5);
    EXPECT_EQ(g.list->EnableApplicationList, 6);
}

TEST_P(RestrictionsTest, SaveRewritesTheFileInListOrderAndStoresTheSwitches) {
    Testkit_WriteFile(path_, SampleFile());
    ListGuard g(Prefstore_LoadRestrictions());
    g.list->Button = 1;
    g.list->EnableApplicationList = 1;
    ((RestrictionEntry *)Entry(g.list, 1))->Excluded = 1;   // as the option page stores a selection
    ((RestrictionEntry *)Entry(g.list, 0))->Excluded = 0;
    ASSERT_EQ(Prefstore_SaveRestrictions(g.list), 1);

    EXPECT_EQ(ReadText(path_), "0\tNotepad\tText editor\n"
                               "1\tAllowed Class\tAllowed application\n"
                               "2\tLeading\t\x83\x65\x83\x58\x83\x67 with spaces\n"
                               "1\tExact\t" + ExactLine().substr(8) + "\n"
                               "0\tHexClass\tnumber parsed in decimal\n"
                               "1\tLast\tno line break at the end\n");
    EXPECT_EQ(Basekit_SettingsReadDword(R4 "Ristrict", "Button"), 1u);
    EXPECT_EQ(Basekit_SettingsReadDword(R4 "Ristrict", "EnableApplicationList"), 1u);
    EXPECT_EQ(Basekit_SettingsReadDword(R4 "Ristrict", "Menu"), 0u);

    ListGuard again(Prefstore_LoadRestrictions());
    EXPECT_EQ(Prefstore_CompareRestrictions(g.list, again.list), 1);
    EXPECT_EQ(Prefstore_FindRestriction(again.list, "Allowed Class"), 0);
    EXPECT_EQ(Prefstore_FindRestriction(again.list, "Notepad"), 1);
}

TEST_P(RestrictionsTest, ControlBytesInATextCannotSplitASavedLine) {
    Testkit_WriteFile(path_, "1\tNotepad\tText editor\n");
    ListGuard g(Prefstore_LoadRestrictions());
    RestrictionEntry *e = (RestrictionEntry *)Entry(g.list, 0);
    e->Description[4] = '\n';  // "Text\neditor" would read back as two lines
    ASSERT_EQ(Prefstore_SaveRestrictions(g.list), 1);
    ListGuard again(Prefstore_LoadRestrictions());
    ASSERT_EQ(Rowkit_GetCount(again.list->Applications), 1);
    EXPECT_STREQ(Entry(again.list, 0)->Description, "Text editor");
}

TEST_P(RestrictionsTest, UnwritableFileLeavesItAsItWasButSavesTheSwitches) {
    const std::string original = "; hand-written\n1\tNotepad\tText editor\n";
    Testkit_WriteFile(path_, original);
    ListGuard g(Prefstore_LoadRestrictions());
    g.list->Menu = 1;
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Prefstore_SaveRestrictions(g.list), 0);
    EXPECT_EQ(ReadText(path_), original);
    EXPECT_EQ(Basekit_SettingsReadDword(R4 "Ristrict", "Menu"), 1u);
    EXPECT_EQ(GetFileAttributesA((path_ + ".new").c_str()), INVALID_FILE_ATTRIBUTES)
        << "no side file left behind";

    // The new list cannot be written at all (its side file's name is taken by a folder).
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(CreateDirectoryA((path_ + ".new").c_str(), nullptr));
    EXPECT_EQ(Prefstore_SaveRestrictions(g.list), 0);
    RemoveDirectoryA((path_ + ".new").c_str());
    EXPECT_EQ(ReadText(path_), original);
}

TEST_P(RestrictionsTest, CompareLooksAtSwitchesCountAndEntriesButNotClassNames) {
    Testkit_WriteFile(path_, "1\tNotepad\tText editor\n0\tOther\tAnother one\n");
    ListGuard a(Prefstore_LoadRestrictions());
    ListGuard b(Prefstore_LoadRestrictions());
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, b.list), 1);

    // Same entry under another class name: still equal.
    RestrictionEntry *last = (RestrictionEntry *)Entry(b.list, 1);
    ASSERT_EQ(Rowkit_Remove(b.list->Applications, 1), 1);
    ASSERT_EQ(Rowkit_Add(b.list->Applications, "RenamedClass", last), 1);
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, b.list), 1);

    last->Excluded = 1;
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, b.list), 0);
    last->Excluded = 0;
    last->Description[0] = 'a';
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, b.list), 0);
    last->Description[0] = 'A';
    b.list->DialogBox = 1;
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, b.list), 0);
    b.list->DialogBox = 0;
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, b.list), 1);

    Testkit_WriteFile(path_, "1\tNotepad\tText editor\n");
    ListGuard shorter(Prefstore_LoadRestrictions());
    EXPECT_EQ(Prefstore_CompareRestrictions(a.list, shorter.list), 0);
}

INSTANTIATE_TEST_SUITE_P(BothStores, RestrictionsTest,
                         testing::Values(StoreMode::Registry, StoreMode::File), StoreModeName);

}  // namespace
