// Queries over a fixture dictionary with known answers: a table of keys and modes (exact, prefix,
// suffix, near spelling, nearest, wildcard patterns) and of full-text conditions; similarity
// scores; driver dictionaries.
#include <gtest/gtest.h>
#include <algorithm>
#include "testkit.h"

using kit::E;

namespace {

// In the language driver's order (upper case before lower case of the same letters).
dicfix::Dictionary Fixture() {
    dicfix::Dictionary d;
    d.fileId = 0x2700;
    dicfix::Index x;
    x.backward = true;
    x.entries = {E("ant"),     E("Apple", 0, "a company"), E("apple", 0, "a red fruit"),
                 E("apple", 1, "apple pie"), E("apples"), E("apply"), E("aptly"),
                 E("banana", 0, "a yellow\r\nfruit"), E("band"), E("bring"), E("cling"), E("sing"),
                 E("singer"), E("song", 0, "a tune\x1b" "F00ful piece"), E("thing")};
    d.indexes.push_back(x);
    return d;
}

struct QueryEnv {
    kit::Sandbox box;
    DicSession *session = nullptr;
    DicQuery *query = nullptr;
    VLWordList *list = nullptr;
    // The dictionary (the fixture above unless given) registered under its file id and opened.
    explicit QueryEnv(const char *name = "query", const dicfix::Dictionary &d = Fixture())
        : box(name, kit::Mode::File) {
        std::string path = box.Path("q.dic");
        EXPECT_TRUE(dicfix::Write(path, d));
        kit::Register(d.fileId, path, "Query", 1);
        EXPECT_TRUE(Lexicore_Init("VLTQ", 0));
        session = Lexicore_CreateSession();
        EXPECT_TRUE(Lexicore_OpenSession(session, d.fileId << 8, FALSE));
        query = Lexicore_CreateQuery();
        list = VLWordList_Create(100);
        Lexicore_SetQuerySession(query, session);
        Lexicore_SetQueryResultList(query, list);
    }
    ~QueryEnv() {
        Lexicore_DestroyQuery(query);
        VLWordList_Destroy(list);
        Lexicore_DestroySession(session);
    }
    std::string Words() const {
        std::string s;
        for (LONG i = 0; i < VLWordList_Count(list); i++)
            s += (i ? " " : "") + std::string(VLWordList_GetItem(list, i)->headword);
        return s;
    }
};

enum Kind { kMode, kSimilar, kUpper, kLower };

struct QueryCase {
    Kind kind;
    int mode;
    const char *key;
    DWORD flags;
    int result;
    const char *words;
};

TEST(Queries, FindTheKnownAnswersOfEveryMode) {
    QueryEnv env;
    const QueryCase cases[] = {
        {kMode, LEXICORE_MODE_EXACT, "apple", 0, 1, "apple apple"},
        {kMode, LEXICORE_MODE_EXACT, "appl", 0, 0, ""},
        {kMode, LEXICORE_MODE_EXACT, "zebra", 0, 0, ""},
        {kMode, LEXICORE_MODE_PREFIX, "appl", 0, 1, "apple apple apples apply"},
        {kMode, LEXICORE_MODE_PREFIX, "ban", 0, 1, "banana band"},
        {kMode, LEXICORE_MODE_SUFFIX, "ing", 0, 1, "thing cling bring sing"},
        {kMode, LEXICORE_MODE_SUFFIX, "ly", 0, 1, "apply aptly"},
        {kMode, LEXICORE_MODE_NEAR, "aple", 0, 1, "Apple apple apple"},
        {kMode, LEXICORE_MODE_NEAR, "sin", 0, 1, "sing"},
        {kUpper, 0, "appm", 0, 1, "aptly"},
        {kLower, 0, "appm", 0, 1, "apply"},
        {kUpper, 0, "apple", 0, 1, "apple"},
        {kLower, 0, "apple", 0, 1, "ant"},
        {kLower, 0, "aardvark", 0, 0, ""},
        {kUpper, 0, "zebra", 0, 0, ""},
        // Patterns: forward from a leading literal, over the backward index by a trailing one,
        // every entry when neither end is fixed.
        {kMode, LEXICORE_MODE_EXACT, "ap*", 0, 1, "apple apple apples apply aptly"},
        {kMode, LEXICORE_MODE_EXACT, "*ing", 0, 1, "thing cling bring sing"},
        {kMode, LEXICORE_MODE_EXACT, "*an*", 0, 1, "ant banana band"},
        {kMode, LEXICORE_MODE_EXACT, "s?ng", 0, 1, "sing song"},
        {kMode, LEXICORE_MODE_EXACT, "[a-b]an*", 0, 1, "banana band"},
        {kMode, LEXICORE_MODE_EXACT, "[bc]*g", 0, 1, "bring cling"},
        {kMode, LEXICORE_MODE_EXACT, "[^a]*", 0, 1, "Apple banana band bring cling sing singer song thing"},
        {kMode, LEXICORE_MODE_EXACT, "a*p*e*", 0, 1, "apple apple apples"},
        {kMode, LEXICORE_MODE_EXACT, "ap*", LEXICORE_SF_NOWILD, 0, ""},
        // Patterns that cannot be read.
        {kMode, LEXICORE_MODE_EXACT, "[ab", 0, 3, ""},
        {kMode, LEXICORE_MODE_EXACT, "ab]", 0, 3, ""},
        {kMode, LEXICORE_MODE_EXACT, "[]x", 0, 3, ""},
        {kMode, LEXICORE_MODE_EXACT, "[a-]x", 0, 3, ""},
        {kMode, LEXICORE_MODE_EXACT, "[a[b]]", 0, 3, ""},
    };
    for (const QueryCase &c : cases) {
        VLWordList_DeleteAllItems(env.list);
        EXPECT_EQ((int)strlen(c.key) + 1, Lexicore_SetQueryText(env.query, c.key, 0, 0));
        int r = c.kind == kMode    ? Lexicore_RunQuery(env.query, c.mode, c.flags)
                : c.kind == kUpper ? Lexicore_RunUpperQuery(env.query, c.flags)
                : c.kind == kLower ? Lexicore_RunLowerQuery(env.query, c.flags)
                                   : Lexicore_RunSimilarQuery(env.query, c.flags);
        EXPECT_EQ(c.result, r) << c.key << " mode " << c.mode;
        EXPECT_EQ(std::string(c.words), env.Words()) << c.key << " mode " << c.mode;
    }
    // An empty key runs nothing.
    EXPECT_EQ(0, Lexicore_SetQueryText(env.query, "", 7, 0));
    EXPECT_EQ(0, Lexicore_RunQuery(env.query, LEXICORE_MODE_EXACT, 0));
}

// Wildcard walks test each entry's headword before they make its item.  The same answers in every
// coding, with and without case folding, forward and over the backward index, across entries that
// differ only in case, a sub-entry whose headword is not its main entry's (passed over on its
// own, taken after its main entry) and, in version 1, a headword longer than the reader reads
// alone.
TEST(Queries, WildcardWalksAnswerAlikeInEveryCoding) {
    const std::string longHead = "apx" + std::string(597, 'x');
    struct Case {
        const char *key;
        DWORD flags;
        const char *words;
    } cases[] = {
        {"a*e", 0, "apple apple"},
        {"a*e", 0x30, "apple apple"},
        {"ap*", 0, "apple apple apron apse apt"},  // and the long headword in version 1
        {"ap*", 0x30, "apple apple apron apse apt"},
        {"*se", 0, ""},
        {"*se", 0x30, ""},
        {"*t", 0, "Ant ant ant apt"},
        {"*t", 0x30, "Ant ant ant apt"},
        {"a?t", 0x30, "ant ant apt"},
        {"[A-Z]*", 0, "Ant Apple APT Ark"},
        {"[A-Z]*", 0x30, "Ant Apple APT Ark"},
        {"*x", 0x30, ""},  // only the long headword in version 1
    };
    for (dicfix::Coding coding : {dicfix::Coding::Plain, dicfix::Coding::V0, dicfix::Coding::V1}) {
        const bool v1 = coding == dicfix::Coding::V1;
        SCOPED_TRACE(v1 ? "v1" : coding == dicfix::Coding::V0 ? "v0" : "plain");
        dicfix::Dictionary d;
        d.fileId = 0x2701;
        d.coding = coding;
        dicfix::Index x;
        x.backward = true;
        x.entries = {E("Ant"), E("ant"), E("ant", 1), E("Apple"), E("apple"), E("apple", 1), E("apron"),
                     E("apse", 1), E("APT"), E("apt"), E("Ark"), E("ark")};
        if (v1) x.entries.insert(x.entries.begin() + 10, E(longHead.c_str()));
        d.indexes.push_back(x);
        QueryEnv env("walks", d);
        for (const Case &c : cases) {
            VLWordList_DeleteAllItems(env.list);
            Lexicore_SetQueryText(env.query, c.key, 0, 0);
            int r = Lexicore_RunQuery(env.query, LEXICORE_MODE_EXACT, c.flags);
            std::string words = env.Words();
            size_t at = words.find(longHead);
            if (at != std::string::npos) words.replace(at, longHead.size(), "apx...");
            std::string want = c.words;
            if (v1 && (strcmp(c.key, "ap*") == 0 || strcmp(c.key, "*x") == 0))
                want += want.empty() ? "apx..." : " apx...";
            EXPECT_EQ(want, words) << c.key << " flags " << c.flags;
            EXPECT_EQ(want.empty() ? 0 : 1, r) << c.key << " flags " << c.flags;
        }
    }
}

TEST(Queries, SimilarityScoresPutTheClosestFirst) {
    QueryEnv env;
    Lexicore_SetQueryText(env.query, "apple", 0, 0);
    EXPECT_EQ(1, Lexicore_RunSimilarQuery(env.query, 0));
    ASSERT_EQ("Apple apple apple", env.Words());
    EXPECT_EQ(0x10000000u, VLWordList_GetItem(env.list, 0)->score);
    EXPECT_EQ(0u, VLWordList_GetItem(env.list, 1)->score);
    VLWordList_Sort(env.list, 0, 0);
    EXPECT_STREQ("apple", VLWordList_GetItem(env.list, 0)->headword);
    EXPECT_STREQ("Apple", VLWordList_GetItem(env.list, 2)->headword);

    // The base score goes into the high half of an ordinary hit's score.
    VLWordList_DeleteAllItems(env.list);
    Lexicore_SetQueryText(env.query, "band", 3, 0);
    EXPECT_EQ(1, Lexicore_RunQuery(env.query, LEXICORE_MODE_EXACT, 0));
    ASSERT_EQ(1, VLWordList_Count(env.list));
    EXPECT_EQ(3u << 16, VLWordList_GetItem(env.list, 0)->score);
}

LexicoreCondition Condition(DWORD kind, const char *text, DWORD value = 0, DWORD negate = 0) {
    LexicoreCondition c;
    memset(&c, 0, sizeof c);
    c.kind = kind;
    c.textLen = (DWORD)strlen(text);
    memcpy(c.text, text, c.textLen);
    c.value = value;
    c.negate = negate;
    return c;
}

int CALLBACK StopAtOnce(VLDataItem *, int, void *user) {
    ++*(int *)user;
    return 0;
}

int CALLBACK CountProgress(VLDataItem *, int perMille, void *user) {
    std::vector<int> *v = (std::vector<int> *)user;
    v->push_back(perMille);
    return 1;
}

TEST(Queries, FullTextConditionsInOnePass) {
    QueryEnv env;
    struct Case {
        std::vector<LexicoreCondition> conditions;
        BOOL all;
        int result;
        const char *words;
    } cases[] = {
        {{Condition(1, "ppl")}, FALSE, 1, "Apple apple apple apples apply"},
        {{Condition(8, "fruit")}, FALSE, 1, "apple banana"},
        {{Condition(16, "", 4)}, FALSE, 1, "band sing song"},
        {{Condition(1, "an"), Condition(16, "", 4)}, TRUE, 1, "band"},
        {{Condition(1, "an"), Condition(16, "", 4)}, FALSE, 1, "ant banana band sing song"},
        {{Condition(16, "", 5, 1), Condition(1, "s")}, TRUE, 1, "apples sing singer song"},
        {{Condition(1, "s*g")}, FALSE, 1, "sing song"},
        {{Condition(1, "zz")}, FALSE, 0, ""},
        {{Condition(1, "[zz")}, FALSE, 3, ""},
    };
    for (Case &c : cases) {
        VLWordList_DeleteAllItems(env.list);
        std::vector<int> marks;
        EXPECT_EQ(c.result, Lexicore_RunFullTextQuery(env.query, c.conditions.data(), (int)c.conditions.size(),
                                                      c.all, 0, CountProgress, &marks))
            << c.words;
        EXPECT_EQ(std::string(c.words), env.Words());
        if (c.result != 3) {
            // Each per mille once, in order, never 1000.
            EXPECT_EQ(15u, marks.size());
            EXPECT_TRUE(std::is_sorted(marks.begin(), marks.end()));
            EXPECT_EQ(0, marks.front());
            EXPECT_LT(marks.back(), 1000);
        }
    }
    // The progress procedure and a full list both end the pass.
    LexicoreCondition any = Condition(16, "", 0, 1);
    VLWordList_DeleteAllItems(env.list);
    int calls = 0;
    Lexicore_RunFullTextQuery(env.query, &any, 1, TRUE, 0, (LexicoreProgressProc)StopAtOnce, &calls);
    EXPECT_EQ(1, calls);
    EXPECT_EQ(1, VLWordList_Count(env.list));
    VLWordList_DeleteAllItems(env.list);
    VLWordList_SetMaxNum(env.list, 2);
    EXPECT_EQ(1, Lexicore_RunFullTextQuery(env.query, &any, 1, TRUE, 0, nullptr, nullptr));
    EXPECT_EQ("ant Apple", env.Words());
}

TEST(Queries, FullTextReadsTheEntryTextAsThePlainTextRenderingWhenTheViewerIsLoaded) {
    QueryEnv env;
    // "tuneful" is split by a charset tag in the stored text (ESC F 00).
    LexicoreCondition c = Condition(8, "tuneful");
    ASSERT_EQ(nullptr, GetModuleHandleA("Scrivshow.dll"));
    EXPECT_EQ(0, Lexicore_RunFullTextQuery(env.query, &c, 1, TRUE, 0, nullptr, nullptr));
    HMODULE viewer = LoadLibraryA("Scrivshow.dll");
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(1, Lexicore_RunFullTextQuery(env.query, &c, 1, TRUE, 0, nullptr, nullptr));
    EXPECT_EQ("song", env.Words());
    FreeLibrary(viewer);
}

TEST(Queries, DriverDictionariesTranslateIntoTheList) {
    kit::Sandbox box("ddquery", kit::Mode::File);
    kit::Register(0x3000, kit::ExeFolder() + "\\ddsample.dll", "Translator", 1);
    ASSERT_TRUE(Lexicore_Init("VLTQ", LEXICORE_INIT_DRIVERS));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, 0x300000, FALSE));
    DicQuery *q = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(2);
    Lexicore_SetQuerySession(q, s);
    Lexicore_SetQueryResultList(q, list);
    Lexicore_SetQueryText(q, "cat", 0, 0);
    EXPECT_EQ(1, Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, 0));
    ASSERT_EQ(2, VLWordList_Count(list));  // a full list stops the translation
    EXPECT_STREQ("cat-2", VLWordList_GetItem(list, 1)->headword);
    EXPECT_EQ(0, Lexicore_RunSimilarQuery(q, 0));

    // A list whose window is gone takes nothing more.
    VLWordList_DeleteAllItems(list);
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, w);
    list->window = w;
    DestroyWindow(w);
    EXPECT_EQ(0, Lexicore_RunQuery(q, LEXICORE_MODE_EXACT, 0));
    EXPECT_EQ(0, VLWordList_Count(list));
    list->window = nullptr;
    Lexicore_DestroyQuery(q);
    VLWordList_Destroy(list);
    Lexicore_DestroySession(s);
}

}  // namespace
