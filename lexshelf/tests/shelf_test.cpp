// Groups, priority lists and translation sets in one process, in both settings modes.
#include <gtest/gtest.h>
#include <string.h>
#include "shelfkit.h"
#include "support/testkit_faults.h"
#include "support/testkit_files.h"

using namespace shelfkit;

namespace {

class Shelf : public ::testing::TestWithParam<Mode> {};

int CALLBACK StopAtSecond(VLPriorityItem *, LPARAM user) { return ++*(int *)user < 2; }
int CALLBACK CollectName(const char *name, LPARAM user) {
    ((std::vector<std::string> *)user)->push_back(name);
    return 1;
}
int CALLBACK StopAtOnce(const char *, LPARAM) { return 0; }

std::string GroupKey(DWORD id) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\Group\\%08X", kRoot, (unsigned)id);
    return path;
}

TEST_P(Shelf, GroupArrayOperations) {
    Sandbox box("grouparray", GetParam());
    VLDicGroup *g = Lexshelf_GroupCreate();
    struct Step {
        DWORD id;
        int position;
        BOOL ok;
    } steps[] = {{0x100100, 0, 1}, {0x100200, 1, 1}, {0x100300, 3, 1}, {0x100400, 5, 0}, {0x100500, -1, 0},
                 {0x100600, 2, 1}};
    for (const Step &s : steps)
        EXPECT_EQ(s.ok, Lexshelf_GroupInsertDic(g, s.id, s.position)) << s.id;
    const DWORD order[] = {0x100200, 0x100600, 0x100100, 0x100300};
    ASSERT_EQ(4u, Lexshelf_GroupGetDicCount(g));
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(order[i], Lexshelf_GroupGetDic(g, i));
    EXPECT_EQ(0u, Lexshelf_GroupGetDic(g, 4));
    EXPECT_TRUE(Lexshelf_GroupMoveDic(g, 0x100300, 1));
    EXPECT_TRUE(Lexshelf_GroupMoveDic(g, 0x100200, 99));  // past the end: last
    EXPECT_FALSE(Lexshelf_GroupMoveDic(g, 0x100999, 1));
    EXPECT_EQ(0x100300u, Lexshelf_GroupGetDic(g, 0));
    EXPECT_EQ(0x100200u, Lexshelf_GroupGetDic(g, 3));
    EXPECT_TRUE(Lexshelf_GroupRemoveDic(g, 0x100600));
    EXPECT_FALSE(Lexshelf_GroupRemoveDic(g, 0x100600));
    EXPECT_EQ(3u, Lexshelf_GroupGetDicCount(g));
    EXPECT_EQ(0, Lexshelf_GroupClear(g));
    EXPECT_EQ(0u, Lexshelf_GroupGetDicCount(g));
    EXPECT_FALSE(Lexshelf_GroupRemoveDic(g, 0x100300));

    // Names longer than the field are cut at a whole character.
    std::string longName(300, 'a');
    longName[254] = '\x93';  // lead byte of a double-byte character across the limit
    longName[255] = '\xfa';
    Lexshelf_GroupSetNames(g, longName.c_str(), nullptr);
    EXPECT_EQ(254u, strlen(g->name));
    Lexshelf_GroupDestroy(g);
}

TEST_P(Shelf, GroupSavesAndLoadsBack) {
    Sandbox box("groupsave", GetParam());
    ASSERT_TRUE(Lexshelf_Init(3));
    VLDicGroup *g = Lexshelf_GroupCreate();
    // "Eigo" in Shift-JIS as the nickname: 0x89 0x70 0x8C 0xEA
    Lexshelf_GroupSetNames(g, "English group", "\x89\x70\x8C\xEA");
    for (DWORD d : {0x100300u, 0x100100u, 0x100200u})
        Lexshelf_GroupInsertDic(g, d, 0);
    VLDicGroupInfo info;
    memset(&info, 0, sizeof info);
    info.priorityForPopup = 4;
    info.priorityForSearch = 5;
    info.priorityForTranslate = 6;
    info.selection = 77;
    Lexshelf_GroupSetInfo(g, LEXSHELF_GROUP_POPUP | LEXSHELF_GROUP_SEARCH | LEXSHELF_GROUP_TRANSLATE |
                                 LEXSHELF_GROUP_SELECTION, &info);
    ASSERT_TRUE(Lexshelf_GroupSave(g));
    EXPECT_EQ(1u, Lexshelf_GroupGetId(g));

    VLDicGroup *back = Lexshelf_GroupCreate();
    ASSERT_TRUE(Lexshelf_GroupLoad(1, back));
    EXPECT_STREQ("English group", back->name);
    EXPECT_STREQ("\x89\x70\x8C\xEA", back->nickName);
    EXPECT_EQ(4u, back->priorityForPopup);
    EXPECT_EQ(5u, back->priorityForSearch);
    EXPECT_EQ(6u, back->priorityForTranslate);
    EXPECT_EQ(0xFFFFFFFFu, back->selection);  // not stored
    ASSERT_EQ(3u, back->count);
    EXPECT_EQ(0x100300u, back->dictionaries[0]);
    EXPECT_EQ(0x100100u, back->dictionaries[1]);
    EXPECT_EQ(0x100200u, back->dictionaries[2]);
    EXPECT_EQ(0x100100u, Basekit_SettingsReadDword(GroupKey(1).c_str(), "#1IndexID"));

    // A shorter group saved under the same id leaves no stale dictionary values behind.
    Lexshelf_GroupRemoveDic(g, 0x100200);
    Lexshelf_GroupRemoveDic(g, 0x100100);
    ASSERT_TRUE(Lexshelf_GroupSave(g));
    EXPECT_EQ(0u, Basekit_SettingsReadDword(GroupKey(1).c_str(), "#1IndexID"));
    EXPECT_FALSE(Lexshelf_GroupLoad(9, back));
    Lexshelf_GroupDestroy(back);
    Lexshelf_GroupDestroy(g);
}

// New ids fill the first gap of what is stored, and two saves before any notice is handled
// still get two ids and two keys.
TEST_P(Shelf, NewGroupIdsNeverCollide) {
    Sandbox box("groupids", GetParam());
    ASSERT_TRUE(Lexshelf_Init(3));
    EXPECT_EQ(1u, NewGroup("one"));
    EXPECT_EQ(2u, NewGroup("two"));
    EXPECT_EQ(3u, NewGroup("three"));
    EXPECT_EQ(4u, NewGroup("four"));
    Lexshelf_PrioRemove(Kind(0), 3, FALSE);
    EXPECT_EQ(3u, NewGroup("three again"));
    EXPECT_EQ(5u, NewGroup("five"));
    VLDicGroup *g = Lexshelf_GroupCreate();
    for (DWORD id = 1; id <= 5; id++) {
        ASSERT_TRUE(Lexshelf_GroupLoad(id, g)) << id;
    }
    Lexshelf_GroupLoad(3, g);
    EXPECT_STREQ("three again", g->name);
    Lexshelf_GroupDestroy(g);
    // None of them is in the table before the notices have been handled.
    EXPECT_EQ(0, Lexshelf_GetGroupCount());
}

TEST_P(Shelf, TableLoadsAtStartAndListsSortByPriority) {
    Sandbox box("tableload", GetParam());
    // Groups stored with pop-up priorities 3, 0, 1, 0 before the manager starts.
    const DWORD priorities[] = {3, 0, 1, 0};
    for (int i = 0; i < 4; i++) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\Group\\%08X", kRoot, i + 1);
        Basekit_SettingsWriteString(path, "Name", ("g" + std::to_string(i + 1)).c_str());
        Basekit_SettingsWriteDword(path, "PriorityForPopup", priorities[i]);
        Basekit_SettingsWriteDword(path, "NumberOfDictionary", 1);
        Basekit_SettingsWriteDword(path, "#0IndexID", 0x100100 + i);
    }
    ASSERT_TRUE(Lexshelf_Init(3));
    ASSERT_EQ(4, Lexshelf_GetGroupCount());
    EXPECT_EQ(0x100102u, Lexshelf_GetGroupDic(3, 0));
    EXPECT_EQ(0u, Lexshelf_GetGroupDic(3, 1));
    EXPECT_EQ(0u, Lexshelf_GetGroupDic(8, 0));
    std::vector<DWORD> popup = Ids(Kind(0));
    ASSERT_EQ(4u, popup.size());
    EXPECT_EQ(3u, popup[0]);
    EXPECT_EQ(1u, popup[1]);
    VLPriorityItem item;
    for (int i = 1; i <= 4; i++) {
        ASSERT_TRUE(Lexshelf_PrioGetItem(Kind(0), i, &item));
        EXPECT_EQ((DWORD)i, item.priority);
        EXPECT_EQ(2u, item.itemKind);
    }
    Lexshelf_PrioGetItem(Kind(0), 1, &item);
    EXPECT_STREQ("g3", item.name);
    EXPECT_EQ(0xFFFFFFFFu, item.colour);
    EXPECT_FALSE(Lexshelf_PrioGetItem(Kind(0), 5, &item));
    EXPECT_FALSE(Lexshelf_PrioGetItem(Kind(0), 0, &item));

    // A private list changes only itself and tells nobody's table.
    VLPriorityList *own = Lexshelf_PrioCreate(0);
    ASSERT_NE(nullptr, own);
    EXPECT_EQ(4u, own->count);
    Lexshelf_PrioRemove(own, 3, FALSE);
    EXPECT_EQ(3u, own->count);
    EXPECT_EQ(0, Lexshelf_PrioFind(own, 3));
    EXPECT_EQ(1, Lexshelf_PrioFind(own, 1));
    Lexshelf_PrioAdd(own, 3);
    EXPECT_EQ(4, Lexshelf_PrioFind(own, 3));
    EXPECT_EQ(4u, own->entries[3].priority);
    Lexshelf_PrioDestroy(own);
    EXPECT_EQ(4, Lexshelf_GetGroupCount());

    // Enumeration: groups pass only with flag 1; a callback answer of 0 stops and is not counted.
    EXPECT_EQ(0, Lexshelf_PrioEnum(Kind(0), 0, 0, nullptr, 0));
    EXPECT_EQ(4, Lexshelf_PrioEnum(Kind(0), LEXSHELF_ENUM_GROUPS, 0, nullptr, 0));
    int seen = 0;
    EXPECT_EQ(1, Lexshelf_PrioEnum(Kind(0), LEXSHELF_ENUM_GROUPS, 0, StopAtSecond, (LPARAM)&seen));
    EXPECT_EQ(2, seen);
}

// A group added through a kind reaches the table and all three lists only when the notice is
// handled, and its new positions are stored.
TEST_P(Shelf, AddedGroupReachesEveryListThroughTheNotice) {
    Sandbox box("addgroup", GetParam());
    ASSERT_TRUE(Lexshelf_Init(3));
    DWORD first = NewGroup("first");
    Lexshelf_PrioAdd(Kind(1), first);
    ASSERT_TRUE(PumpUntil([&] { return Lexshelf_PrioFind(Kind(2), first) == 1; }));

    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, "second", "");
    ASSERT_TRUE(Lexshelf_PrioAddGroup(Kind(0), g));
    EXPECT_EQ(2u, g->id);
    EXPECT_EQ(0, Lexshelf_PrioFind(Kind(0), g->id));  // nothing changes before the loop runs
    EXPECT_EQ(1, Lexshelf_GetGroupCount());
    ASSERT_TRUE(PumpUntil([&] { return Lexshelf_PrioFind(Kind(1), 2) == 2; }));
    PumpAll();
    for (int kind = 0; kind < 3; kind++)
        EXPECT_EQ(2, Lexshelf_PrioFind(Kind(kind), 2)) << kind;
    EXPECT_EQ(2, Lexshelf_GetGroupCount());
    EXPECT_STREQ("second", Lexshelf_FindGroup(2)->name);
    VLDicGroup *stored = Lexshelf_GroupCreate();
    ASSERT_TRUE(Lexshelf_GroupLoad(2, stored));
    EXPECT_EQ(2u, stored->priorityForPopup);
    EXPECT_EQ(2u, stored->priorityForSearch);
    EXPECT_EQ(2u, stored->priorityForTranslate);

    // Move in the search list, commit: the stored priorities follow, the list is rebuilt alike.
    EXPECT_FALSE(Lexshelf_PrioMove(Kind(1), 0, 1));
    EXPECT_FALSE(Lexshelf_PrioMove(Kind(1), 1, 3));
    ASSERT_TRUE(Lexshelf_PrioMove(Kind(1), 2, 1));
    EXPECT_EQ(1, Lexshelf_PrioFind(Kind(1), 2));
    EXPECT_EQ(1, Lexshelf_PrioFind(Kind(0), 1));  // the other lists keep their order
    ASSERT_TRUE(Lexshelf_PrioCommit(Kind(1)));
    PumpAll();
    ASSERT_TRUE(Lexshelf_GroupLoad(2, stored));
    EXPECT_EQ(1u, stored->priorityForSearch);
    EXPECT_EQ(2u, stored->priorityForPopup);
    EXPECT_EQ(1, Lexshelf_PrioFind(Kind(1), 2));
    EXPECT_EQ(1u, Lexshelf_FindGroup(2)->priorityForSearch);

    // Removal through a kind deletes the key and, with the notice, the table's record.
    Lexshelf_PrioRemove(Kind(2), 1, FALSE);
    EXPECT_FALSE(Lexshelf_GroupLoad(1, stored));
    ASSERT_TRUE(PumpUntil([&] { return Lexshelf_GetGroupCount() == 1; }));
    PumpAll();
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(0, Lexshelf_PrioFind(Kind(kind), 1)) << kind;
        EXPECT_EQ(1, Lexshelf_PrioFind(Kind(kind), 2)) << kind;
    }
    Lexshelf_GroupDestroy(stored);
    Lexshelf_GroupDestroy(g);
}

TEST_P(Shelf, GroupChangeReloadsTheTablesRecord) {
    Sandbox box("groupchange", GetParam());
    ASSERT_TRUE(Lexshelf_Init(3));
    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, "before", "");
    Lexshelf_PrioAddGroup(Kind(0), g);
    ASSERT_TRUE(PumpUntil([&] { return Lexshelf_FindGroup(g->id) != nullptr; }));
    Lexshelf_GroupSetNames(g, "after", "");
    Lexshelf_GroupInsertDic(g, 0x100100, 0);
    Lexshelf_GroupSave(g);
    ASSERT_TRUE(PumpUntil([&] { return strcmp(Lexshelf_FindGroup(g->id)->name, "after") == 0; }));
    EXPECT_EQ(0x100100u, Lexshelf_GetGroupDic(g->id, 0));
    VLDicGroupInfo info;
    ASSERT_EQ(Lexshelf_FindGroup(g->id), Lexshelf_GetGroupInfoById(g->id, &info));
    EXPECT_EQ(1u, info.count);
    EXPECT_EQ(nullptr, info.reserved);
    Lexshelf_GroupDestroy(g);
}

TEST_P(Shelf, TranslationSetEntriesStaySorted) {
    Sandbox box("transsort", GetParam());
    VLTransSet *set = Lexshelf_TransSetCreate("sorted");
    struct Add {
        DWORD k1, k2, slot, id;
    } adds[] = {{2, 128, 2, 0x100200}, {0, 5, 1, 0x100900}, {1, 0, 1, 7}, {2, 128, 1, 0x100100}, {1, 0, 3, 9}};
    for (const Add &a : adds)
        EXPECT_TRUE(Lexshelf_TransSetAdd(set, a.k1, a.k2, a.slot, a.id));
    EXPECT_FALSE(Lexshelf_TransSetAdd(set, 2, 128, 1, 0x100555));
    VLTransSetEntry e;
    ASSERT_TRUE(Lexshelf_TransSetFind(set, 2, 128, 1, &e));
    EXPECT_EQ(0x100100u, e.dictionaryId);
    EXPECT_TRUE(Lexshelf_TransSetUpdate(set, 2, 128, 1, 0x100555));
    EXPECT_FALSE(Lexshelf_TransSetUpdate(set, 2, 129, 1, 1));
    ASSERT_TRUE(Lexshelf_TransSetFind(set, 2, 128, 1, &e));
    EXPECT_EQ(0x100555u, e.dictionaryId);
    ASSERT_EQ(5u, set->count);
    const DWORD firstKeys[] = {1, 1, 2, 2, 0};
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(firstKeys[i], set->entries[i].firstKey) << i;
    EXPECT_TRUE(Lexshelf_TransSetFind(set, 0, 5, 1, nullptr));
    EXPECT_TRUE(Lexshelf_TransSetRemove(set, 1, 0, 1));
    EXPECT_FALSE(Lexshelf_TransSetRemove(set, 1, 0, 1));
    EXPECT_FALSE(Lexshelf_TransSetFind(set, 1, 0, 1, nullptr));

    VLTransSet *copy = Lexshelf_TransSetCopy(set);
    ASSERT_EQ(4u, copy->count);
    EXPECT_EQ(0, memcmp(copy->entries, set->entries, 4 * sizeof(VLTransSetEntry)));
    char name[64];
    Lexshelf_TransSetGetName(name, copy);
    EXPECT_STREQ("sorted", name);
    EXPECT_EQ(0, Lexshelf_TransSetClear(copy));
    EXPECT_EQ(0u, copy->count);
    Lexshelf_TransSetDestroy(copy);
    Lexshelf_TransSetDestroy(set);
}

TEST_P(Shelf, TranslationSetsSaveLoadAndDelete) {
    Sandbox box("transstore", GetParam());
    VLTransSet *set = Lexshelf_TransSetCreate("Daily");
    Lexshelf_TransSetAdd(set, 1, 128, 1, 0x100100);
    Lexshelf_TransSetAdd(set, 1, 128, 3, 2);
    Lexshelf_TransSetAdd(set, 0x100000, 0, 1, 0x100200);
    ASSERT_TRUE(Lexshelf_TransSetSave(set));

    // Every stored pair of keys loads as five slots, the missing ones with id 0.
    VLTransSet *back = Lexshelf_TransSetOpen("Daily");
    ASSERT_EQ(10u, back->count);
    VLTransSetEntry e;
    ASSERT_TRUE(Lexshelf_TransSetFind(back, 1, 128, 3, &e));
    EXPECT_EQ(2u, e.dictionaryId);
    ASSERT_TRUE(Lexshelf_TransSetFind(back, 1, 128, 2, &e));
    EXPECT_EQ(0u, e.dictionaryId);
    ASSERT_TRUE(Lexshelf_TransSetFind(back, 0x100000, 0, 1, &e));
    EXPECT_EQ(0x100200u, e.dictionaryId);
    // A load keeps what the set holds.
    Lexshelf_TransSetClear(back);
    Lexshelf_TransSetAdd(back, 1, 128, 1, 55);
    ASSERT_TRUE(Lexshelf_TransSetLoad(back));
    ASSERT_TRUE(Lexshelf_TransSetFind(back, 1, 128, 1, &e));
    EXPECT_EQ(55u, e.dictionaryId);

    // A second save replaces the stored set whole.
    Lexshelf_TransSetRemove(set, 0x100000, 0, 1);
    ASSERT_TRUE(Lexshelf_TransSetSave(set));
    VLTransSet *again = Lexshelf_TransSetOpen("Daily");
    EXPECT_EQ(5u, again->count);
    Lexshelf_TransSetDestroy(again);

    VLTransSet *other = Lexshelf_TransSetCreate("Other");
    Lexshelf_TransSetAdd(other, 4, 17, 5, 3);
    Lexshelf_TransSetSave(other);
    std::vector<std::string> names;
    EXPECT_EQ(2, Lexshelf_EnumTransSets(CollectName, (LPARAM)&names));
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ(0, Lexshelf_EnumTransSets(StopAtOnce, 0));

    Lexshelf_TransSetDelete(set);
    VLTransSet *gone = Lexshelf_TransSetCreate("Daily");
    EXPECT_FALSE(Lexshelf_TransSetLoad(gone));
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\TranslationSet\\Daily\\00000001\\00000080", kRoot);
    SettingsKey leftover = Basekit_SettingsOpenKey(path);
    EXPECT_EQ(nullptr, leftover);
    Basekit_SettingsCloseKey(leftover);
    EXPECT_EQ(1, Lexshelf_EnumTransSets(nullptr, 0));
    Lexshelf_TransSetDestroy(gone);
    Lexshelf_TransSetDestroy(other);
    Lexshelf_TransSetDestroy(back);
    Lexshelf_TransSetDestroy(set);
}

// The current set follows the stored name and the stored entries through the notices.
TEST_P(Shelf, CurrentTranslationSetFollowsNotices) {
    Sandbox box("transcurrent", GetParam());
    ASSERT_TRUE(Lexshelf_Init(3 | LEXSHELF_INIT_TRANSSET));  // nothing stored yet
    char name[64] = "x";
    EXPECT_EQ(0, Lexshelf_GetCurrentTransSet(name));
    VLTransSet *set = Lexshelf_TransSetCreate("Work");
    Lexshelf_TransSetAdd(set, 1, 128, 1, 0x100100);
    Lexshelf_TransSetSave(set);
    ASSERT_TRUE(Lexshelf_SetCurrentTransSet("Work"));
    EXPECT_TRUE(Lexshelf_GetCurrentTransSet(name));
    EXPECT_STREQ("Work", name);
    PumpAll();
    // The held set is not exported; saving it again must reach it (a notice of its own name).
    Lexshelf_TransSetUpdate(set, 1, 128, 1, 0x100200);
    Lexshelf_TransSetSave(set);
    PumpAll();
    VLTransSet *stored = Lexshelf_TransSetOpen("Work");
    VLTransSetEntry e;
    ASSERT_TRUE(Lexshelf_TransSetFind(stored, 1, 128, 1, &e));
    EXPECT_EQ(0x100200u, e.dictionaryId);
    Lexshelf_TransSetDestroy(stored);
    Lexshelf_TransSetDestroy(set);
}

INSTANTIATE_TEST_SUITE_P(Modes, Shelf, ::testing::Values(Mode::Registry, Mode::File),
                         [](const ::testing::TestParamInfo<Mode> &info) {
                             return std::string(info.param == Mode::Registry ? "Registry" : "File");
                         });

// ---- Without the notification window ---------------------------------------------------------

HHOOK g_hook;

LRESULT CALLBACK RefuseManagerWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char cls[64] = "";
        GetClassNameA((HWND)wParam, cls, sizeof cls);
        if (lstrcmpiA(cls, "VLV5DICMANCLASS") == 0)
            return 1;
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// A save that fails halfway (the disk fills up) is reported, and the stored group and translation
// set keep what they held: nothing is deleted before the new values are in.
TEST(ShelfSaves, AFailedSaveKeepsTheStoredGroupAndSet) {
    Sandbox box("failedsave", Mode::File);
    ASSERT_TRUE(Lexshelf_Init(3));
    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, "Kept", "K");
    for (DWORD d : {0x100100u, 0x100200u})
        Lexshelf_GroupInsertDic(g, d, 0);
    ASSERT_TRUE(Lexshelf_GroupSave(g));
    VLTransSet *set = Lexshelf_TransSetCreate("Kept");
    Lexshelf_TransSetAdd(set, 1, 128, 1, 0x100100);
    ASSERT_TRUE(Lexshelf_TransSetSave(set));
    DWORD size = (DWORD)Testkit_ReadFile(box.settings).size();
    Lexshelf_GroupInsertDic(g, 0x100300, 0);
    Lexshelf_TransSetAdd(set, 2, 128, 1, 0x100300);
    {
        // Room for one more rewrite of the settings file, not for two.
        Testkit_WriteFault fault("Basekit.dll", size + 16);
        ASSERT_TRUE(fault.Armed());
        EXPECT_FALSE(Lexshelf_GroupSave(g));
    }
    {
        Testkit_WriteFault fault("Basekit.dll", 0);
        EXPECT_FALSE(Lexshelf_TransSetSave(set));
    }
    VLDicGroup *back = Lexshelf_GroupCreate();
    ASSERT_TRUE(Lexshelf_GroupLoad(Lexshelf_GroupGetId(g), back));
    EXPECT_EQ(2u, back->count);
    EXPECT_STREQ("Kept", back->name);
    VLTransSet *stored = Lexshelf_TransSetOpen("Kept");
    ASSERT_NE(nullptr, stored);
    VLTransSetEntry e;
    ASSERT_TRUE(Lexshelf_TransSetFind(stored, 1, 128, 1, &e));
    EXPECT_EQ(0x100100u, e.dictionaryId);
    // Without the fault both go through.
    EXPECT_TRUE(Lexshelf_GroupSave(g));
    EXPECT_TRUE(Lexshelf_TransSetSave(set));
    ASSERT_TRUE(Lexshelf_GroupLoad(Lexshelf_GroupGetId(g), back));
    EXPECT_EQ(3u, back->count);
    Lexshelf_TransSetDestroy(stored);
    Lexshelf_TransSetDestroy(set);
    Lexshelf_GroupDestroy(back);
    Lexshelf_GroupDestroy(g);
}

TEST(ShelfWithoutWindow, KindsFailCleanly) {
    Sandbox box("nowindow", Mode::Registry);
    NewGroup("stored");
    g_hook = SetWindowsHookExA(WH_CBT, RefuseManagerWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, g_hook);
    BOOL started = Lexshelf_Init(3);
    UnhookWindowsHookEx(g_hook);
    ASSERT_TRUE(started);
    EXPECT_EQ(nullptr, FindWindowA("VLV5DICMANCLASS", nullptr));
    EXPECT_EQ(1, Lexshelf_GetGroupCount());
    VLPriorityItem item;
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(0, Lexshelf_PrioEnum(Kind(kind), LEXSHELF_ENUM_GROUPS, 0, nullptr, 0));
        EXPECT_FALSE(Lexshelf_PrioGetItem(Kind(kind), 1, &item));
        EXPECT_EQ(0, Lexshelf_PrioFind(Kind(kind), 1));
        EXPECT_FALSE(Lexshelf_PrioMove(Kind(kind), 1, 1));
        EXPECT_FALSE(Lexshelf_PrioCommit(Kind(kind)));
    }
    // A change still reaches the store; nobody hears of it.
    VLDicGroup *g = Lexshelf_GroupCreate();
    Lexshelf_GroupSetNames(g, "quiet", "");
    EXPECT_TRUE(Lexshelf_PrioAddGroup(Kind(0), g));
    PumpAll();
    EXPECT_EQ(1, Lexshelf_GetGroupCount());
    VLDicGroup *stored = Lexshelf_GroupCreate();
    EXPECT_TRUE(Lexshelf_GroupLoad(g->id, stored));
    Lexshelf_GroupDestroy(stored);
    Lexshelf_GroupDestroy(g);
}

// The start tells the program's own status window what it is doing.
std::string g_status;

LRESULT CALLBACK StatusProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == 0x840C && lp)
        g_status = (const char *)lp;
    return DefWindowProcA(w, m, wp, lp);
}

TEST(ShelfStart, TellsTheStatusWindow) {
    Sandbox box("status", Mode::Registry);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StatusProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelomiraV5Status";
    RegisterClassA(&wc);
    HWND status = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                  nullptr);
    ASSERT_NE(nullptr, status);
    ASSERT_TRUE(Lexshelf_Init(3));
    EXPECT_EQ("Loading Velomira Dictionary Manager now...", g_status);
    EXPECT_NE(nullptr, FindWindowA("VLV5DICMANCLASS", nullptr));
    EXPECT_EQ(0, Lexshelf_Term());
    EXPECT_EQ(nullptr, FindWindowA("VLV5DICMANCLASS", nullptr));
    DestroyWindow(status);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
