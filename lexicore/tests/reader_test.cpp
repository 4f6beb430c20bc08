// The static reader through sessions: locating keys with sub-entries, keys below and above all,
// walks and their answers, items, the backward index, labels, pages and entry text, in every
// coding; the driver-dictionary adapter's sessions.
#include <gtest/gtest.h>
#include "testkit.h"

using kit::E;
using kit::Mode;

namespace {

// Headwords in the driver's order; sub-entries follow their main entry.
dicfix::Dictionary LocateFixture(dicfix::Coding coding) {
    dicfix::Dictionary d;
    d.fileId = 0x2600;
    d.coding = coding;
    dicfix::Index x;
    x.backward = true;
    x.entries = {E("ANT"), E("BEE"), E("BEE", 1, "bee one"), E("BEE", 2, "bee two"), E("CAT"),
                 E("DOG"), E("DOG", 1), E("EEL", 0, "an eel\r\nlong\nand thin")};
    d.indexes.push_back(x);
    // Labels: the field records "N00000000000000" of levels 1 and 2, and labels of both levels.
    auto label = [](int level, uint32_t n1, uint32_t n2, uint32_t n3, const char *text) {
        dicfix::Label l;
        l.level = level;
        l.number1 = n1;
        l.number2 = n2;
        l.number3 = n3;
        l.text = text;
        return l;
    };
    d.labels = {label(1, 0, 0, 0, "Field one"), label(1, 1, 0, 3, "Noun"), label(2, 0, 0, 0, "Field two"),
                label(2, 1, 0, 5, "Old"), label(2, 2, 0, 6, "Rare")};
    dicfix::Page p1, p2;
    p1.number = 1;
    p1.name = "Cover";
    p1.text = "cover";
    p2.number = 2;
    p2.text = "two";
    d.pages = {p1, p2};
    return d;
}

// The base position of the first index's directory, from its descriptor.
uint32_t layoutBase(const std::string &file, const dicfix::Layout &layout) {
    uint32_t at = layout.subDicRecords + 40 * layout.indexes[0].subDic + 12;
    return (uint8_t)file[at] | (uint8_t)file[at + 1] << 8 | (uint8_t)file[at + 2] << 16 |
           (uint32_t)(uint8_t)file[at + 3] << 24;
}

struct Env {
    kit::Sandbox box;
    dicfix::Layout layout;
    Env(dicfix::Coding coding, Mode mode = Mode::File, bool directory = false) : box("reader", mode) {
        std::string path = box.Path("loc.dic");
        EXPECT_TRUE(dicfix::Write(path, LocateFixture(coding), &layout));
        if (directory) kit::AddDirectory(path, LocateFixture(coding), layout);
        kit::Register(0x2600, path, "Locate", 3);
        EXPECT_TRUE(Lexicore_Init("VLTR", 0));
    }
};

struct Seen {
    std::vector<std::string> items;  // "headword/flag"
    std::vector<int> answers;        // answer per call, by order; missing = 1
    size_t calls = 0;
};

int CALLBACK Record(VLDataItem *item, int flag, void *user) {
    Seen *s = (Seen *)user;
    s->items.push_back(std::string(item->headword) + "/" + std::to_string(flag));
    int r = s->calls < s->answers.size() ? s->answers[s->calls] : 1;
    s->calls++;
    return r;
}

std::string Join(const std::vector<std::string> &v) {
    std::string s;
    for (const std::string &x : v) s += (s.empty() ? "" : " ") + x;
    return s;
}

class Reader : public ::testing::TestWithParam<dicfix::Coding> {};

TEST_P(Reader, LocatesKeysOnTheirMainEntryAndWhereMissingKeysWouldStand) {
  for (bool directory : {false, true}) {
    SCOPED_TRACE(directory ? "with a bucket directory" : "without a bucket directory");
    Env env(GetParam(), Mode::File, directory);
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, 0x260000, FALSE));
    EXPECT_EQ(8, Lexicore_GetEntryCount(0x260000, 0));
    struct Case {
        const char *key;
        BOOL found;
        LONG position;
    } cases[] = {
        {"ANT", 1, 0}, {"BEE", 1, 1}, {"DOG", 1, 5}, {"EEL", 1, 7}, {"bee", 1, 1},
        {"AAA", 0, 0},  // below every headword
        {"ZZZ", 0, 8},  // above every headword: the entry count
        {"BOA", 0, 4}, {"CAB", 0, 4}, {"DOGS", 0, 7},
    };
    for (const Case &c : cases) {
        LONG pos = -1;
        EXPECT_EQ(c.found, Lexicore_Locate(s, c.key, 0, &pos)) << c.key;
        EXPECT_EQ(c.position, pos) << c.key;
    }
    VLDataItem *item = Lexicore_GetItem(s, 2);
    ASSERT_NE(nullptr, item);
    EXPECT_STREQ("BEE", item->headword);
    EXPECT_EQ(1u, item->entryLink >> 16);
    EXPECT_EQ(2u, item->head.entryNo);
    EXPECT_EQ(0x2600u, item->head.fileId);
    VLData data;
    memset(&data, 0, sizeof data);
    ASSERT_TRUE(Lexicore_ReadEntryTextEx(s, item, &data));
    EXPECT_EQ(std::string("bee one"), std::string(data.data1, data.len1));
    VLDataItem_Destroy(item);
    item = Lexicore_GetItem(s, 7);
    ASSERT_NE(nullptr, item);
    ASSERT_TRUE(Lexicore_ReadEntryText(item, &data));
    EXPECT_EQ(std::string("an eel\rlong\rand thin"), std::string(data.data1, data.len1));
    VLMem_Free(data.data1);
    VLMem_Free(data.data2);
    VLDataItem_Destroy(item);
    EXPECT_EQ(nullptr, Lexicore_GetItem(s, 8));
    EXPECT_EQ(nullptr, Lexicore_GetItem(s, -1));

    // The backward index maps its positions to forward entries.
    EXPECT_EQ(0, Lexicore_SelectIndex(s, 1));
    for (LONG n = 0; n < 8; n++) {
        item = Lexicore_GetItem(s, n);
        ASSERT_NE(nullptr, item);
        EXPECT_EQ(env.layout.indexes[0].backwardOrder[n], item->head.entryNo);
        VLDataItem_Destroy(item);
    }
    EXPECT_EQ(1, Lexicore_SelectIndex(s, 0));
    Lexicore_DestroySession(s);
  }
}

TEST(Directory, NarrowsTheSearchToTheKeysBucket) {
    // The directory is consulted: a bucket that claims to be empty hides its key, which is then
    // not found and stands at the bucket's start.
    Env env(dicfix::Coding::Plain, Mode::File, true);
    Lexicore_Term();
    std::string path = env.box.Path("loc.dic");
    std::string file = kit::ReadAll(path);
    LinguakeeperDriverProcs procs;
    memset(&procs, 0, sizeof procs);
    ASSERT_TRUE(Linguakeeper_GetDriverProcs(0x0100, 0, &procs));
    WORD k[3];
    procs.sortKey("CAT", 0, k);
    uint32_t at = layoutBase(file, env.layout) + 8 * k[0] + 4;
    file[at] = 0;
    kit::WriteAll(path, file);
    ASSERT_TRUE(Lexicore_Init("VLTR", 0));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, 0x260000, FALSE));
    LONG pos = -1;
    EXPECT_FALSE(Lexicore_Locate(s, "CAT", 0, &pos));
    EXPECT_EQ(4, pos);
    EXPECT_TRUE(Lexicore_Locate(s, "DOG", 0, &pos));
    EXPECT_EQ(5, pos);
    Lexicore_DestroySession(s);
}

TEST_P(Reader, WalksHandSubEntriesAfterAnAddedMainEntryAndStopOnTheAnswers) {
    Env env(GetParam());
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, 0x260000, FALSE));
    struct Case {
        const char *key;
        DWORD flags;
        std::vector<int> answers;
        int result;
        const char *seen;
    } cases[] = {
        {"BEE", 0, {}, 1, "BEE/1 BEE/0 BEE/0 CAT/1 DOG/1 DOG/0 EEL/1"},
        // A main entry answered 0 brings no sub-entries.
        {"BEE", 0, {0, 0, 0, 0}, 0, "BEE/1 CAT/1 DOG/1 EEL/1"},
        // 2 ends the walk; 4 ends the sub-entries' run, and at a main entry the walk.
        {"BEE", 0, {1, 1, 2}, 1, "BEE/1 BEE/0 BEE/0"},
        {"BEE", 0, {1, 4, 1}, 1, "BEE/1 BEE/0 CAT/1 DOG/1 DOG/0 EEL/1"},
        {"CAT", 0, {4}, 0, "CAT/1"},
        {"BOA", 0, {}, 1, "CAT/1 DOG/1 DOG/0 EEL/1"},
        {"ZZZ", 0, {}, 0, ""},
        {"", LEXICORE_SF_FIRST, {1, 1, 1, 1, 2}, 1, "ANT/1 BEE/1 BEE/0 BEE/0 CAT/1"},
        {"", LEXICORE_SF_LAST, {}, 1, "EEL/1"},
        // Similarity: backward from the key while the headword is the key, then forward.
        {"DOG", LEXICORE_SF_SIMILAR, {}, 1, "DOG/1 DOG/0 DOG/1 DOG/0 EEL/1"},
        {"DOG", LEXICORE_SF_SIMILAR, {2}, 0, "DOG/1"},
        {"CAT", 0, {6}, 6, "CAT/1"},
    };
    for (const Case &c : cases) {
        Seen seen;
        seen.answers = c.answers;
        EXPECT_EQ(c.result, Lexicore_Search(s, c.key, c.flags, Record, &seen)) << c.key << " " << c.flags;
        EXPECT_EQ(std::string(c.seen), Join(seen.items)) << c.key << " " << c.flags;
    }
    // The entry group at a position.
    Seen group;
    EXPECT_EQ(1, Lexicore_EnumItems(s, 1, TRUE, Record, &group));
    EXPECT_EQ("BEE/0 BEE/0 BEE/0", Join(group.items));
    Seen after;
    after.answers = {4};
    EXPECT_EQ(1, Lexicore_EnumItems(s, 1, FALSE, Record, &after));
    EXPECT_EQ("BEE/0", Join(after.items));
    Lexicore_DestroySession(s);
}

TEST_P(Reader, ReadsLabelsAndPages) {
    Env env(GetParam());
    VLLabelItem *l = Lexicore_GetRecordByNumber(0x2600, 2);
    ASSERT_NE(nullptr, l);
    EXPECT_STREQ("Field two", l->text);
    VLLabelItem_Destroy(l);
    EXPECT_EQ(nullptr, Lexicore_GetRecordByNumber(0x2600, 3));  // no field record 3
    struct Collect {
        static int CALLBACK Take(VLLabelItem *label, void *user) {
            ((std::vector<std::string> *)user)->push_back(label->text);
            return 1;
        }
        static int CALLBACK StopAtFirst(VLLabelItem *, void *) { return 0; }
    };
    std::vector<std::string> texts;
    EXPECT_EQ(1, Lexicore_EnumEntriesByLabel(0x2600, 2, Collect::Take, &texts));
    EXPECT_EQ((std::vector<std::string>{"Field two", "Old", "Rare"}), texts);
    EXPECT_EQ(0, Lexicore_EnumEntriesByLabel(0x2600, 2, Collect::StopAtFirst, nullptr));
    EXPECT_EQ(1, Lexicore_EnumEntriesByLabel(0x2600, 7, Collect::Take, &texts));

    VLPageItem *p = Lexicore_GetPageItem(0x2600, 0);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("Cover", p->name);
    EXPECT_EQ((DWORD)VLITEM_PAGE, p->head.type);
    EXPECT_EQ(101u, p->head.subDicNo);
    VLPageItem_Destroy(p);
    p = Lexicore_GetPageItem(0x2600, 1);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("Locate", p->name);  // no name of its own: the dictionary's
    EXPECT_EQ(1u, p->head.entryNo);
    VLPageItem_Destroy(p);
    EXPECT_EQ(nullptr, Lexicore_GetPageItem(0x2600, 2));
}

INSTANTIATE_TEST_SUITE_P(Codings, Reader,
                         ::testing::Values(dicfix::Coding::Plain, dicfix::Coding::V0, dicfix::Coding::V1),
                         [](const ::testing::TestParamInfo<dicfix::Coding> &i) {
                             return std::string(i.param == dicfix::Coding::Plain ? "Plain"
                                                : i.param == dicfix::Coding::V0  ? "V0"
                                                                                 : "V1");
                         });

TEST(Sessions, CountOpensAndRefuseWritableStaticDictionaries) {
    Env env(dicfix::Coding::Plain);
    DicSession *s = Lexicore_CreateSession();
    EXPECT_FALSE(Lexicore_OpenSession(s, 0x260000, TRUE));
    EXPECT_FALSE(Lexicore_OpenSession(s, 0x777700, FALSE));
    EXPECT_EQ(0u, Lexicore_GetSessionDicId(s));
    ASSERT_TRUE(Lexicore_OpenSession(s, 0x260000, FALSE));
    // A second open answers 0 and still needs its close.
    EXPECT_FALSE(Lexicore_OpenSession(s, 0x260000, FALSE));
    EXPECT_EQ(1, Lexicore_CloseSession(s));
    EXPECT_EQ(0x260000u, Lexicore_GetSessionDicId(s));
    EXPECT_EQ(0, Lexicore_CloseSession(s));
    EXPECT_EQ(0u, Lexicore_GetSessionDicId(s));
    EXPECT_EQ(0, Lexicore_CloseSession(s));
    Lexicore_DestroySession(s);
}

TEST(Sessions, DriverDictionariesTranslateThroughTheLibrary) {
    kit::Sandbox box("ddsession", Mode::File);
    kit::Register(0x3000, kit::ExeFolder() + "\\ddsample.dll", "Translator", 1);
    kit::Register(0x3002, kit::ExeFolder() + "\\ddsample_noopen.dll", "No open", 1);
    ASSERT_TRUE(Lexicore_Init("VLTR", LEXICORE_INIT_DRIVERS));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, 0x300000, FALSE));
    Seen seen;
    seen.answers = {1, 2};
    EXPECT_EQ(1, Lexicore_Search(s, "word", 0, Record, &seen));
    EXPECT_EQ("word-1/1 word-2/1", Join(seen.items));
    Lexicore_CloseSession(s);

    // A library without DDOpen cannot serve a session: it is unloaded and marked bad.
    EXPECT_FALSE(Lexicore_OpenSession(s, 0x300200, FALSE));
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(0x3002, &info));
    EXPECT_NE(0u, info.status & DICSTATUS_BAD);
    EXPECT_EQ(nullptr, GetModuleHandleA("ddsample_noopen.dll"));
    Lexicore_DestroySession(s);
}

TEST(Sessions, OpenWaitsForTheCatalogueAndGivesUp) {
    Env env(dicfix::Coding::Plain);
    HANDLE event = OpenEventA(EVENT_ALL_ACCESS, FALSE, "VLV5DICAPIEVENT");
    ASSERT_NE(nullptr, event);
    ResetEvent(event);  // as left by a process that died during a change
    DicSession *s = Lexicore_CreateSession();
    EXPECT_FALSE(Lexicore_OpenSession(s, 0x260000, FALSE));
    SetEvent(event);
    EXPECT_TRUE(Lexicore_OpenSession(s, 0x260000, FALSE));
    Lexicore_DestroySession(s);
    CloseHandle(event);
}

}  // namespace
