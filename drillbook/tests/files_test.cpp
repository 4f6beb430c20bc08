// The study-list program's file work without windows: which names may become file names, the
// size column, the part of a history list a viewer shows and the part it keeps aside (so that
// showing, adding and writing back lose no entry), writes that never leave a half-written or
// overwritten file, and where an import lands.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "drillbook_int.h"
#include "support/testkit_faults.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"

namespace {

struct Folder {
    std::string path;
    explicit Folder(const char *name) : path(Testkit_Cwd() + "\\" + name)
    {
        Testkit_RemoveFolder(path);
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~Folder() { Testkit_RemoveFolder(path); }
    std::string File(const char *name) const { return path + "\\" + name; }
};

VLDataItem *Item(DWORD entryNo)
{
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.type = VLITEM_DATA;
    head.head.fileId = 0x3100;
    head.head.entryNo = entryNo;
    std::string word = "word" + std::to_string(entryNo);
    return VLDataItem_Create(&head, word.c_str(), nullptr, nullptr, nullptr);
}

// A list file of the entries first .. first + count - 1.
void WriteList(const std::string &path, DWORD first, DWORD count)
{
    VLWordList *list = VLWordList_Create(count > 0 ? count : 1);
    for (DWORD i = 0; i < count; i++) {
        VLDataItem *item = Item(first + i);
        VLWordList_AddEx(list, -1, item);
        VLDataItem_Destroy(item);
    }
    ASSERT_TRUE(VLWordList_Save(list, path.c_str()));
    VLWordList_Destroy(list);
}

std::vector<DWORD> Entries(const VLWordList *list)
{
    std::vector<DWORD> numbers;
    for (LONG i = 0; i < list->count; i++) numbers.push_back(list->slots[i]->head.entryNo);
    return numbers;
}

std::vector<DWORD> FileEntries(const std::string &path)
{
    VLWordList *list = VLWordList_Create(10000);
    VLWordList_Load(list, path.c_str());
    std::vector<DWORD> numbers = Entries(list);
    VLWordList_Destroy(list);
    return numbers;
}

std::vector<DWORD> Range(DWORD first, DWORD count)
{
    std::vector<DWORD> numbers;
    for (DWORD i = 0; i < count; i++) numbers.push_back(first + i);
    return numbers;
}

// A viewer's list: the data list's own list of the given maximum and what is kept aside.
struct Shown {
    ShownList list = {};
    explicit Shown(LONG maximum) { list.shown = VLWordList_Create(maximum); }
    ~Shown()
    {
        Drill_FreeShown(&list);
        VLWordList_Destroy(list.shown);
    }
};

}  // namespace

TEST(Names, OnlyNamesThatAreFileNamesOfTheFolder)
{
    const char *folder = "C:\\users\\me\\StudyList";
    const struct {
        const char *name;
        bool usable;
    } cases[] = {
        {"notes", true},
        {"my words 2", true},
        {"\x95\x5C\x8C\xBB", true},          // "hyougen": the first trail byte is a backslash
        {"\x83\x5C\x83\x74\x83\x67", true},  // "sofuto": the same with katakana
        {"notes.old", true},
        {"", false},
        {"a\\b", false},
        {"..\\outside", false},
        {"a/b", false},
        {"c:x", false},
        {"what?", false},
        {"star*", false},
        {"\"quoted\"", false},
        {"<in>", false},
        {"pipe|", false},
        {"tab\there", false},
        {".", false},
        {"..", false},
        {"ends with dot.", false},
        {"ends with space ", false},
        {"CON", false},
        {"nul.txt", false},
        {"com1", false},
        {"LPT9", false},
        {"console", true},
        {"\x95", false},  // a lead byte without its trail byte
    };
    for (const auto &c : cases) EXPECT_EQ(Drill_NameUsable(folder, c.name), c.usable) << c.name;
    EXPECT_FALSE(Drill_NameUsable(folder, std::string(240, 'x').c_str())) << "too long for a path";
}

TEST(Names, SizeColumnAndPaths)
{
    const struct {
        DWORD size;
        const char *text;
    } cases[] = {{0, "1KB"}, {32, "1KB"}, {1023, "1KB"}, {1024, "2KB"}, {10 * 1024 + 1, "11KB"}};
    for (const auto &c : cases) EXPECT_EQ(Drill_SizeText(c.size), c.text) << c.size;
    EXPECT_EQ(Drill_BaseName("C:\\x\\StudyList\\notes.vlh"), "notes");
    EXPECT_EQ(Drill_BaseName("C:\\x\\\x95\x5C\x8C\xBB.vlh"), "\x95\x5C\x8C\xBB");
    EXPECT_EQ(Drill_ListPath("C:\\x", "notes"), "C:\\x\\notes.vlh");
    EXPECT_EQ(Drill_ListPath("C:\\x\\", "notes"), "C:\\x\\notes.vlh");
}

// A history larger than the viewer shows: the newest entries are shown, the older ones kept
// aside, and writing back keeps every entry in order.
TEST(ShownLists, HistoryShowsTheNewestAndWritesEverythingBack)
{
    Folder f("history");
    std::string path = f.File("history.vlh");
    WriteList(path, 0, 3000);
    Shown s(500);
    ASSERT_TRUE(Drill_LoadShown(path.c_str(), 500, &s.list));
    EXPECT_EQ(Entries(s.list.shown), Range(2500, 500));
    ASSERT_NE(s.list.older, nullptr);
    EXPECT_EQ(s.list.older->count, 2500);
    ASSERT_TRUE(Drill_WriteShown(&s.list, path.c_str()));
    EXPECT_EQ(FileEntries(path), Range(0, 3000));
}

// Adding to a full history moves its oldest shown entry aside; a known entry is not added again.
TEST(ShownLists, FullHistoryRotatesWithoutLosingEntries)
{
    Folder f("rotate");
    std::string path = f.File("history.vlh");
    WriteList(path, 0, 5);
    Shown s(3);
    ASSERT_TRUE(Drill_LoadShown(path.c_str(), 3, &s.list));
    VLDataItem *fresh = Item(100), *known = Item(4);
    EXPECT_EQ(Drill_AddEntry(&s.list, 3, fresh), 3);
    EXPECT_EQ(Entries(s.list.shown), (std::vector<DWORD>{3, 4, 100}));
    EXPECT_EQ(Drill_AddEntry(&s.list, 3, known), 2) << "already held: its position";
    EXPECT_EQ(Entries(s.list.shown), (std::vector<DWORD>{3, 4, 100}));
    VLDataItem_Destroy(fresh);
    VLDataItem_Destroy(known);
    ASSERT_TRUE(Drill_WriteShown(&s.list, path.c_str()));
    EXPECT_EQ(FileEntries(path), (std::vector<DWORD>{0, 1, 2, 3, 4, 100}));

    // A smaller cap keeps the entries beyond it aside too.
    Drill_MakeRoom(&s.list, 2);
    EXPECT_EQ(Entries(s.list.shown), (std::vector<DWORD>{100}));
    ASSERT_TRUE(Drill_WriteShown(&s.list, path.c_str()));
    EXPECT_EQ(FileEntries(path), (std::vector<DWORD>{0, 1, 2, 3, 4, 100}));
}

// A list shown whole refuses a new entry when it is full; nothing held changes.
TEST(ShownLists, FullListRefuses)
{
    Folder f("full");
    std::string path = f.File("words.vlh");
    WriteList(path, 0, 4);
    Shown s(4);
    ASSERT_TRUE(Drill_LoadShown(path.c_str(), 0, &s.list));
    EXPECT_EQ(s.list.older, nullptr);
    VLDataItem *fresh = Item(50);
    EXPECT_EQ(Drill_AddEntry(&s.list, 0, fresh), 0);
    VLDataItem_Destroy(fresh);
    VLDataItem *known = Item(2);
    EXPECT_EQ(Drill_AddEntry(&s.list, 0, known), 3) << "an entry it holds is taken where it is";
    VLDataItem_Destroy(known);
    EXPECT_EQ(Entries(s.list.shown), Range(0, 4));
}

// A write that fails half-way leaves the old file as it was; a new file never replaces one that
// exists, and a failed one leaves nothing behind.
TEST(ShownLists, WritesLeaveNoHalfWrittenOrOverwrittenFile)
{
    Folder f("writes");
    std::string path = f.File("words.vlh"), taken = f.File("taken.vlh"), fresh = f.File("fresh.vlh");
    WriteList(path, 0, 20);
    WriteList(taken, 7, 1);
    std::string before = Testkit_ReadFile(path), takenBefore = Testkit_ReadFile(taken);
    Shown s(100);
    ASSERT_TRUE(Drill_LoadShown(path.c_str(), 0, &s.list));
    VLDataItem *item = Item(99);
    Drill_AddEntry(&s.list, 0, item);
    VLDataItem_Destroy(item);
    {
        Testkit_WriteFault fault("Lexidata.dll", 100);
        ASSERT_TRUE(fault.Armed());
        EXPECT_FALSE(Drill_WriteShown(&s.list, path.c_str()));
        DWORD error = 0;
        EXPECT_FALSE(Drill_WriteNewFile(&s.list, fresh.c_str(), &error));
    }
    EXPECT_EQ(Testkit_ReadFile(path), before);
    EXPECT_FALSE(Testkit_Exists(fresh));
    EXPECT_FALSE(Testkit_Exists(fresh + ".new"));

    DWORD error = 0;
    EXPECT_FALSE(Drill_WriteNewFile(&s.list, taken.c_str(), &error));
    EXPECT_EQ(error, (DWORD)ERROR_FILE_EXISTS);
    EXPECT_EQ(Testkit_ReadFile(taken), takenBefore);
    EXPECT_TRUE(Drill_WriteNewFile(&s.list, fresh.c_str(), &error));
    std::vector<DWORD> expected = Range(0, 20);
    expected.push_back(99);
    EXPECT_EQ(FileEntries(fresh), expected);
}

// An import lands under its own name, or, when the folder holds a different file of that name,
// under the first free numbered name; a file the folder already holds is not copied again.
TEST(Import, TargetNames)
{
    Folder folder("lists"), outside("outside");
    std::string source = outside.File("words.vlh");
    WriteList(source, 0, 3);
    bool same = true;
    EXPECT_EQ(Drill_ImportTarget(folder.path.c_str(), source.c_str(), &same), folder.File("words.vlh"));
    EXPECT_FALSE(same);

    ASSERT_TRUE(Drill_CopyNew(source.c_str(), folder.File("words.vlh").c_str()));
    EXPECT_FALSE(Drill_CopyNew(source.c_str(), folder.File("words.vlh").c_str())) << "never over a file";
    EXPECT_EQ(Drill_ImportTarget(folder.path.c_str(), source.c_str(), &same), folder.File("words.vlh"));
    EXPECT_TRUE(same) << "the same bytes are already there";

    WriteList(source, 10, 3);  // a different list of the same name
    EXPECT_EQ(Drill_ImportTarget(folder.path.c_str(), source.c_str(), &same), folder.File("words(1).vlh"));
    EXPECT_FALSE(same);
    ASSERT_TRUE(Drill_CopyNew(source.c_str(), folder.File("words(1).vlh").c_str()));
    EXPECT_EQ(Drill_ImportTarget(folder.path.c_str(), source.c_str(), &same), folder.File("words(1).vlh"));
    EXPECT_TRUE(same);
    WriteList(source, 20, 3);
    EXPECT_EQ(Drill_ImportTarget(folder.path.c_str(), source.c_str(), &same), folder.File("words(2).vlh"));
    EXPECT_FALSE(same);
}
