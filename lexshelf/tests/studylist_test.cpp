// Study-list files: the files made at start, paths and roles, the word list tied to its file,
// the hand-over of entries, and a user data folder that is missing.
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include "shelfkit.h"

using namespace shelfkit;

namespace {

// "hyougen" (expression) in Shift-JIS; its first character's trail byte is a backslash (0x5C).
const char kExpression[] = "\x95\x5C\x8C\xBB.vlh";
// "tangochou" (vocabulary book) in Shift-JIS.
const char kVocabulary[] = "\x92\x50\x8C\xEA\x92\xA0.vlh";

VLDataItem *Item(const char *headword, DWORD entryNo) {
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.type = 1;
    head.head.fileId = 0x1001;
    head.head.entryNo = entryNo;
    return VLDataItem_Create(&head, headword, nullptr, nullptr, nullptr);
}

LONG CountIn(const std::string &path) {
    VLWordListFile *h = Lexshelf_WordListCreate();
    LONG n = Lexshelf_WordListLoad(h, path.c_str()) ? VLWordList_Count(Lexshelf_WordListGetHandle(h)) : -1;
    Lexshelf_WordListDestroy(h);
    return n;
}

std::string Upper(std::string s) {
    CharUpperBuffA(&s[0], (DWORD)s.size());
    return s;
}

int CALLBACK CollectPath(const char *path, LPARAM user) {
    ((std::vector<std::string> *)user)->push_back(path);
    return 1;
}
int CALLBACK StopAtOnce(const char *, LPARAM) { return 0; }

// Stands in for the running study-list program: takes every entry handed to it, or refuses
// them all while its "full" property is set.
LRESULT CALLBACK TakerProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == VLM_STUDYLIST_ADD_HISTORY || m == VLM_STUDYLIST_ADD_ACTIVE) {
        if (GetPropA(w, "full"))
            return VLM_STUDYLIST_REFUSED;
        SetPropA(w, "taken", (HANDLE)((UINT_PTR)GetPropA(w, "taken") + 1));
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

// On a first start, even with a translation set asked for and none stored, the folder gets
// both files and "ActiveList" names the default list.
TEST(StudyList, FirstStartCreatesTheFiles) {
    Sandbox box("firststart", Mode::Registry);
    ASSERT_TRUE(Lexshelf_Init(11));
    std::string history = box.StudyList("history.vlh"), def = box.StudyList("default.vlh");
    EXPECT_EQ(0, CountIn(history));
    EXPECT_EQ(0, CountIn(def));
    char path[MAX_PATH];
    ASSERT_TRUE(Lexshelf_GetActiveList(path));
    EXPECT_STREQ(def.c_str(), path);
    EXPECT_TRUE(Lexshelf_GetActiveList(nullptr));
    ASSERT_TRUE(Lexshelf_GetHistoryListPath(path));
    EXPECT_STREQ(history.c_str(), path);
    ASSERT_TRUE(Lexshelf_GetListFolder(path));
    EXPECT_STREQ((box.folder + "\\UserData\\StudyList").c_str(), path);

    struct Role {
        std::string path;
        DWORD role;
    } roles[] = {{def, 6}, {Upper(def), 6}, {history, 1}, {box.StudyList("other.vlh"), 0}};
    for (const Role &r : roles)
        EXPECT_EQ(r.role, Lexshelf_GetListRole(r.path.c_str())) << r.path;

    // The active list and the history are never deleted, whatever the case of the path.
    EXPECT_FALSE(Lexshelf_DeleteList(Upper(def).c_str()));
    EXPECT_FALSE(Lexshelf_DeleteList(Upper(history).c_str()));
    EXPECT_TRUE(Exists(def));
    EXPECT_TRUE(Exists(history));

    std::vector<std::string> found;
    EXPECT_EQ(2, Lexshelf_EnumLists(CollectPath, (LPARAM)&found));
    EXPECT_EQ(1, Lexshelf_EnumLists(StopAtOnce, 0));

    // Without a study-list program the entry is appended to the file.
    VLDataItem *item = Item("apple", 1);
    EXPECT_TRUE(Lexshelf_AddToHistory(item));
    EXPECT_TRUE(Lexshelf_AddToActiveList(item));
    VLDataItem *second = Item("pear", 2);
    EXPECT_TRUE(Lexshelf_AddToHistory(second));
    EXPECT_EQ(2, CountIn(history));
    EXPECT_EQ(1, CountIn(def));

    // With one running, the entry is handed to it and the files stay.
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = TakerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelomiraV5StudyListWindow";
    RegisterClassA(&wc);
    HWND taker = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    ASSERT_NE(nullptr, taker);
    EXPECT_TRUE(Lexshelf_AddToHistory(item));
    EXPECT_TRUE(Lexshelf_AddToActiveList(item));
    EXPECT_EQ(2u, (UINT_PTR)GetPropA(taker, "taken"));
    EXPECT_EQ(2, CountIn(history));
    EXPECT_EQ(1, CountIn(def));
    // A running program that cannot take the entry: the hand-over fails and the files stay, since
    // the program rewrites its open list.
    SetPropA(taker, "full", (HANDLE)1);
    EXPECT_FALSE(Lexshelf_AddToHistory(item));
    EXPECT_FALSE(Lexshelf_AddToActiveList(item));
    EXPECT_EQ(2, CountIn(history));
    EXPECT_EQ(1, CountIn(def));
    RemovePropA(taker, "full");
    RemovePropA(taker, "taken");
    DestroyWindow(taker);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    VLDataItem_Destroy(second);
    VLDataItem_Destroy(item);

    // A later start keeps what is there.
    Lexshelf_Term();
    ASSERT_TRUE(Lexshelf_Init(3));
    EXPECT_EQ(2, CountIn(history));
}

// A list with a Japanese name is made, filled, renamed and read back.
TEST(StudyList, JapaneseNamedListRoundTrip) {
    Sandbox box("japanese", Mode::Registry);
    ASSERT_TRUE(Lexshelf_Init(3));
    std::string first = box.StudyList(kExpression), renamed = box.StudyList(kVocabulary);
    HANDLE probe = CreateFileA(first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "this system cannot make file names with Japanese characters";
    CloseHandle(probe);
    DeleteFileA(first.c_str());
    VLWordListFile *h = Lexshelf_WordListCreate();
    char name[MAX_PATH] = "x";
    EXPECT_EQ(0, Lexshelf_WordListGetFileName(h, name));
    EXPECT_STREQ("", name);
    EXPECT_FALSE(Lexshelf_WordListSave(h));
    ASSERT_TRUE(Lexshelf_WordListRename(h, first.c_str()));  // nothing on disk yet: only the path
    VLDataItem *item = Item("\x8C\xA2", 7);                    // "inu" (dog) in Shift-JIS
    VLWordList_Add(Lexshelf_WordListGetHandle(h), item);
    ASSERT_TRUE(Lexshelf_WordListSave(h));
    EXPECT_TRUE(Exists(first));

    ASSERT_TRUE(Lexshelf_SetActiveList(first.c_str()));
    VLDataItem *more = Item("\x94\x4C", 8);  // "neko" (cat) in Shift-JIS
    EXPECT_TRUE(Lexshelf_AddToActiveList(more));
    EXPECT_EQ(4u, Lexshelf_GetListRole(first.c_str()));

    ASSERT_TRUE(Lexshelf_WordListRename(h, renamed.c_str()));
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ((int)renamed.size(), Lexshelf_WordListGetFileName(h, name));
    EXPECT_STREQ(renamed.c_str(), name);

    VLWordListFile *back = Lexshelf_WordListCreate();
    ASSERT_TRUE(Lexshelf_WordListLoad(back, renamed.c_str()));
    VLWordList *list = Lexshelf_WordListGetHandle(back);
    ASSERT_EQ(2, VLWordList_Count(list));
    EXPECT_STREQ("\x8C\xA2", VLWordList_GetItem(list, 0)->headword);
    EXPECT_STREQ("\x94\x4C", VLWordList_GetItem(list, 1)->headword);

    std::vector<std::string> found;
    Lexshelf_EnumLists(CollectPath, (LPARAM)&found);
    EXPECT_NE(found.end(), std::find(found.begin(), found.end(), renamed));

    // A list that is neither active nor the history can be deleted.
    Lexshelf_WordListDestroy(back);
    EXPECT_TRUE(Lexshelf_DeleteList(renamed.c_str()));
    EXPECT_FALSE(Exists(renamed));
    VLDataItem_Destroy(more);
    VLDataItem_Destroy(item);
    Lexshelf_WordListDestroy(h);
}

// A rename that fails on disk keeps the old path, so the next save cannot overwrite the file
// that already has the new name.
TEST(StudyList, FailedRenameKeepsThePath) {
    Sandbox box("rename", Mode::Registry);
    ASSERT_TRUE(Lexshelf_Init(3));
    std::string mine = box.StudyList("mine.vlh"), theirs = box.StudyList("theirs.vlh");
    VLWordListFile *other = Lexshelf_WordListCreate();
    Lexshelf_WordListRename(other, theirs.c_str());
    VLDataItem *a = Item("a", 1), *b = Item("b", 2);
    VLWordList_Add(Lexshelf_WordListGetHandle(other), a);
    ASSERT_TRUE(Lexshelf_WordListSave(other));

    VLWordListFile *h = Lexshelf_WordListCreate();
    Lexshelf_WordListRename(h, mine.c_str());
    ASSERT_TRUE(Lexshelf_WordListSave(h));
    EXPECT_FALSE(Lexshelf_WordListRename(h, theirs.c_str()));
    char name[MAX_PATH];
    Lexshelf_WordListGetFileName(h, name);
    EXPECT_STREQ(mine.c_str(), name);
    VLWordList_Add(Lexshelf_WordListGetHandle(h), a);
    VLWordList_Add(Lexshelf_WordListGetHandle(h), b);
    ASSERT_TRUE(Lexshelf_WordListSave(h));
    EXPECT_EQ(1, CountIn(theirs));
    EXPECT_EQ(2, CountIn(mine));

    // A load of a missing file fails, leaves the list empty and remembers the path.
    EXPECT_FALSE(Lexshelf_WordListLoad(h, box.StudyList("missing.vlh").c_str()));
    EXPECT_EQ(0, VLWordList_Count(Lexshelf_WordListGetHandle(h)));
    Lexshelf_WordListGetFileName(h, name);
    EXPECT_STREQ(box.StudyList("missing.vlh").c_str(), name);
    VLDataItem_Destroy(a);
    VLDataItem_Destroy(b);
    Lexshelf_WordListDestroy(h);
    Lexshelf_WordListDestroy(other);
}

// Without a user data folder the path operations answer 0 and nothing is made elsewhere.
TEST(StudyList, NoUserDataFolder) {
    Sandbox box("nofolder", Mode::Registry);
    SetDataFolder(box.folder + "\\" + std::string(250, 'x'));  // too long: the relay refuses it
    ASSERT_TRUE(Lexshelf_Init(3));
    char path[MAX_PATH] = "unchanged";
    EXPECT_FALSE(Lexshelf_GetListFolder(path));
    EXPECT_STREQ("unchanged", path);
    EXPECT_FALSE(Lexshelf_GetHistoryListPath(path));
    EXPECT_FALSE(Lexshelf_GetDefaultListPath(path));
    EXPECT_FALSE(Lexshelf_GetActiveList(nullptr));
    EXPECT_FALSE(Exists("history.vlh"));
    EXPECT_FALSE(Exists("StudyList"));
    EXPECT_EQ(0, Lexshelf_EnumLists(CollectPath, 0));
    VLDataItem *item = Item("a", 1);
    EXPECT_FALSE(Lexshelf_AddToHistory(item));
    VLDataItem_Destroy(item);
}

}  // namespace
