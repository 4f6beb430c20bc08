// Priority lists over the engine's catalogue: which dictionaries a list holds, the enumeration
// filter, positions written back to the catalogue, removal, and the group queries that look at
// dictionaries.
#include <gtest/gtest.h>
#include <string.h>
#include <algorithm>
#include "shelfkit.h"
#include "lexidata.h"
#include "../../lexidata/tests/fixtures/dicwriter.h"

using namespace shelfkit;

namespace {

const DWORD kA = 0x240000, kB = 0x240001, kC = 0x240002, kD = 0x250000;

dicfix::Index OneEntry(uint8_t kind, uint16_t language, const char *headword) {
    dicfix::Index index;
    index.kind = kind;
    index.language = language;
    dicfix::Entry e;
    e.headword = headword;
    e.text1 = "text";
    index.entries.push_back(e);
    return index;
}

void Register(const Sandbox &box, DWORD fileId, const dicfix::Dictionary &d, const std::vector<WORD> &languages) {
    std::string path = box.folder + "\\" + std::to_string(fileId) + ".dic";
    ASSERT_TRUE(dicfix::Write(path, d));
    char key[MAX_PATH];
    Lexidata_GetDicKey(fileId, key);
    Basekit_SettingsWriteString(key, "FileName", path.c_str());
    Basekit_SettingsWriteString(key, "Name", ("File" + std::to_string(fileId)).c_str());
    for (size_t i = 0; i < languages.size(); i++) {
        Lexidata_GetDicIndexKey(fileId, (int)i + 1, key);
        Basekit_SettingsWriteDword(key, "LangID", languages[i]);
        Basekit_SettingsWriteString(key, "NickName", ("N" + std::to_string(i)).c_str());
    }
}

// Two files: A (type 1), B (type 1, another language) and C (type 7) in one, D (type 1) alone.
void MakeCatalogue(const Sandbox &box) {
    char root[MAX_PATH];
    Lexidata_GetDicRootKey(root);
    RegDeleteTreeA(HKEY_CURRENT_USER, root);
    dicfix::Dictionary multi;
    multi.fileId = 0x2400;
    multi.indexes = {OneEntry(1, 0x0100, "a"), OneEntry(1, 0x0400, "b"), OneEntry(7, 0x0100, "c")};
    Register(box, 0x2400, multi, {0x0100, 0x0400, 0x0100});
    dicfix::Dictionary single;
    single.fileId = 0x2500;
    single.indexes = {OneEntry(1, 0x0100, "d")};
    Register(box, 0x2500, single, {0x0100});
}

struct CatalogueBox : Sandbox {
    explicit CatalogueBox(const char *name) : Sandbox(name, Mode::Registry) { MakeCatalogue(*this); }
    ~CatalogueBox() {
        Lexshelf_Term();
        char root[MAX_PATH];
        Lexidata_GetDicRootKey(root);
        RegDeleteTreeA(HKEY_CURRENT_USER, root);
    }
};

std::vector<DWORD> Sorted(std::vector<DWORD> v) {
    std::sort(v.begin(), v.end());
    return v;
}

int CALLBACK CollectId(VLPriorityItem *item, LPARAM user) {
    ((std::vector<DWORD> *)user)->push_back(item->id);
    return 1;
}

std::vector<DWORD> Passing(DWORD flags, LPARAM value) {
    std::vector<DWORD> ids;
    int n = Lexshelf_PrioEnum(Kind(1), flags, value, CollectId, (LPARAM)&ids);
    EXPECT_EQ((int)ids.size(), n);
    return Sorted(ids);
}

TEST(Catalogue, ListsHoldDictionariesAndGroupsAndFilter) {
    CatalogueBox box("catfilter");
    DWORD g = NewGroup("ab", {kA, kB});
    ASSERT_TRUE(Lexshelf_Init(3));
    EXPECT_EQ(Sorted({kA, kB, kC, kD, g}), Sorted(Ids(Kind(0))));

    VLDicGroup *group = Lexshelf_FindGroup(g);
    ASSERT_NE(nullptr, group);
    struct Case {
        DWORD flags;
        LPARAM value;
        std::vector<DWORD> want;
    } cases[] = {
        {0, 0, {kA, kB, kC, kD}},
        {LEXSHELF_ENUM_GROUPS, 0, {g, kA, kB, kC, kD}},
        {0x46, (LPARAM)group, {kD}},                 // type 1 or 8, not in the group
        {0x22, (LPARAM)group, {kA, kB}},             // type 1, in the group
        {0x04, 0, {}},                               // type 8
        {LEXSHELF_ENUM_LANGUAGE, 0x0400, {kB}},
        {LEXSHELF_ENUM_LANGUAGE | 0x02, 0x0100, {kA, kD}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Sorted(c.want), Passing(c.flags, c.value)) << std::hex << c.flags;
    VLDicGroup *empty = Lexshelf_GroupCreate();
    EXPECT_EQ(Sorted({kA, kB, kC, kD}), Passing(LEXSHELF_ENUM_NOT_GROUP, (LPARAM)empty));
    EXPECT_EQ(std::vector<DWORD>{}, Passing(LEXSHELF_ENUM_IN_GROUP, (LPARAM)empty));
    Lexshelf_GroupDestroy(empty);

    // The charset filter keeps exactly the dictionaries of that charset.
    DicProperty p = {};
    p.size = sizeof p;
    ASSERT_TRUE(Lexicore_GetDicProperty(kA, &p));
    for (DWORD id : Passing(LEXSHELF_ENUM_CHARSET, p.charset)) {
        DicProperty q = {};
        q.size = sizeof q;
        Lexicore_GetDicProperty(id, &q);
        EXPECT_EQ(p.charset, q.charset) << std::hex << id;
    }

    VLPriorityItem item;
    ASSERT_TRUE(Lexshelf_PrioGetItem(Kind(0), Lexshelf_PrioFind(Kind(0), kB), &item));
    EXPECT_EQ(1u, item.itemKind);
    EXPECT_EQ(kB, item.data.dictionary.dicId);
    EXPECT_STREQ("N1", item.nickName);
    EXPECT_EQ(item.data.dictionary.name, item.name);
}

// Positions reach the catalogue on commit and come back at the next start.
TEST(Catalogue, CommitStoresDictionaryPositions) {
    CatalogueBox box("catcommit");
    NewGroup("ab", {kA, kB});
    ASSERT_TRUE(Lexshelf_Init(3));
    int from = Lexshelf_PrioFind(Kind(2), kD);
    ASSERT_TRUE(Lexshelf_PrioMove(Kind(2), from, 1));
    std::vector<DWORD> order = Ids(Kind(2));
    ASSERT_TRUE(Lexshelf_PrioCommit(Kind(2)));
    PumpAll();
    DicProperty p = {};
    p.size = sizeof p;
    ASSERT_TRUE(Lexicore_GetDicProperty(kD, &p));
    EXPECT_EQ(1u, p.priorityTranslate);
    EXPECT_EQ(order, Ids(Kind(2)));
    Lexshelf_Term();
    ASSERT_TRUE(Lexshelf_Init(3));
    EXPECT_EQ(order, Ids(Kind(2)));
}

// A dictionary removed through a kind leaves the catalogue and, with the notice, every list.
TEST(Catalogue, RemovedDictionaryLeavesEveryList) {
    CatalogueBox box("catremove");
    ASSERT_TRUE(Lexshelf_Init(3));
    ASSERT_NE(0, Lexshelf_PrioFind(Kind(1), kD));
    Lexshelf_PrioAdd(Kind(0), kD);  // held already: not listed twice
    PumpAll();
    EXPECT_EQ(4u, Ids(Kind(0)).size());
    EXPECT_TRUE(Lexshelf_PrioRemove(Kind(0), kD, FALSE));
    DicInfo info;
    EXPECT_FALSE(Lexicore_GetDicInfo(0x2500, &info));
    ASSERT_TRUE(PumpUntil([] { return Lexshelf_PrioFind(Kind(2), kD) == 0; }));
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(0, Lexshelf_PrioFind(Kind(kind), kD));
        std::vector<DWORD> ids = Ids(Kind(kind));
        EXPECT_EQ(3u, ids.size());
        VLPriorityItem item;
        for (int i = 1; i <= 3; i++) {
            ASSERT_TRUE(Lexshelf_PrioGetItem(Kind(kind), i, &item));
            EXPECT_EQ((DWORD)i, item.priority);
        }
    }

    // Removing one sub-dictionary removes its whole file: its siblings leave the lists as well.
    EXPECT_TRUE(Lexshelf_PrioRemove(Kind(1), kB, FALSE));
    ASSERT_TRUE(PumpUntil([] { return Lexshelf_PrioFind(Kind(0), kB) == 0; }));
    for (int kind = 0; kind < 3; kind++) {
        EXPECT_EQ(0, Lexshelf_PrioFind(Kind(kind), kA)) << kind;
        EXPECT_EQ(0, Lexshelf_PrioFind(Kind(kind), kC)) << kind;
    }
}

TEST(Catalogue, NthGroupByTheTypeOfItsFirstDictionary) {
    CatalogueBox box("catnth");
    DWORD g1 = NewGroup("type 1", {kA, kC});
    DWORD g2 = NewGroup("type 7", {kC, kA});
    NewGroup("empty");
    DWORD g4 = NewGroup("type 1 again", {kD});
    ASSERT_TRUE(Lexshelf_Init(3));
    EXPECT_EQ(g2, Lexshelf_GetNthGroup(1, 0));
    EXPECT_EQ(0u, Lexshelf_GetNthGroup(1, 1));
    EXPECT_EQ(g1, Lexshelf_GetNthGroup(7, 0));
    EXPECT_EQ(g4, Lexshelf_GetNthGroup(7, 1));  // the empty group is passed over
    EXPECT_EQ(0u, Lexshelf_GetNthGroup(7, 2));
}

}  // namespace
