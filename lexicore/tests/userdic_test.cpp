// User dictionaries through the engine: the files a new dictionary gets, entries added, changed and
// deleted through the exports with their notices, every query mode over the entries, and the
// dictionary as the catalogue finds it again after a restart.
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "testkit.h"

namespace {

const UINT kNoticeMessage = WM_APP + 7;

struct Change {
    DWORD kind;
    WPARAM dicId;
    LPARAM value;
};
std::vector<Change> g_changes;

LRESULT CALLBACK Listener(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kNoticeMessage) {
        const LexicoreChange *c = (const LexicoreChange *)lp;
        g_changes.push_back(Change{c->kind, c->wParam, c->value});
        return 1;
    }
    return DefWindowProcA(w, m, wp, lp);
}

struct UserEnv {
    kit::Sandbox box;
    DWORD fileId = 0, dicId = 0;
    HWND listener = nullptr;
    DicSession *session = nullptr;
    DicQuery *query = nullptr;
    VLWordList *list = nullptr;
    UserEnv() : box("userdic", kit::Mode::File) {
        EXPECT_TRUE(Lexicore_Init("VLTU", 0));
        fileId = Lexicore_CreateUserDic(Main().c_str(), "Mine", "M", 0, 1, 0x0100, 0x0100);
        dicId = fileId << 8;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Listener;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "UserDicListener";
        RegisterClassA(&wc);
        listener = CreateWindowA("UserDicListener", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        Lexicore_SetNotifyWindow(listener, kNoticeMessage);
        Lexicore_EnableNotify(TRUE);
        g_changes.clear();
        query = Lexicore_CreateQuery();
        list = VLWordList_Create(100);
        Lexicore_SetQueryResultList(query, list);
    }
    ~UserEnv() {
        CloseSession();
        Lexicore_DestroyQuery(query);
        VLWordList_Destroy(list);
        Lexicore_EnableNotify(FALSE);
        DestroyWindow(listener);
    }
    std::string Main() const { return box.Path("mine.rdc"); }
    void OpenSession() {
        session = Lexicore_CreateSession();
        EXPECT_TRUE(Lexicore_OpenSession(session, dicId, FALSE));
        Lexicore_SetQuerySession(query, session);
    }
    void CloseSession() {
        if (session) Lexicore_DestroySession(session);
        session = nullptr;
    }
    LONG Add(const char *headword, const char *text, const char *reading = nullptr) {
        VLDataItem head;
        memset(&head, 0, sizeof head);
        head.head.type = VLITEM_DATA;
        VLDataItem *item = VLDataItem_Create(&head, headword, reading, nullptr, nullptr);
        LONG at = Lexicore_AddUserEntry(dicId, item, text, "c:\\pics\\a.png;");
        VLDataItem_Destroy(item);
        return at;
    }
    std::string Words() const {
        std::string s;
        for (LONG i = 0; i < VLWordList_Count(list); i++)
            s += (i ? " " : "") + std::string(VLWordList_GetItem(list, i)->headword);
        return s;
    }
    std::string Run(int mode, const char *key) {
        VLWordList_DeleteAllItems(list);
        Lexicore_SetQueryText(query, key, 0, 0);
        if (mode == 10) Lexicore_RunUpperQuery(query, 0);
        else if (mode == 11) Lexicore_RunLowerQuery(query, 0);
        else if (mode == 12) Lexicore_RunSimilarQuery(query, 0);
        else Lexicore_RunQuery(query, mode, 0);
        return Words();
    }
    // The entry of a headword as the dictionary hands it out (the caller's).
    VLDataItem *Find(const char *headword) {
        LONG at = 0;
        Lexicore_Locate(session, headword, 0, &at);  // the first entry at or after the key
        VLDataItem *item = Lexicore_GetItem(session, at);
        if (item && strcmp(item->headword, headword) != 0) {
            VLDataItem_Destroy(item);
            item = nullptr;
        }
        return item;
    }
    std::string Body(const VLDataItem *item) {
        VLData data;
        memset(&data, 0, sizeof data);
        if (!Lexicore_ReadEntryText(item, &data)) return "?";
        std::string s(data.data1 ? data.data1 : "", data.len1);
        if (data.data2) s += "|" + std::string(data.data2, data.len2);
        VLMem_Free(data.data1);
        VLMem_Free(data.data2);
        return s;
    }
};

std::string Header(const std::string &path) { return kit::ReadAll(path).substr(0, 72); }

TEST(UserDic, CreateMakesTheSideFilesWithTheirHeaders) {
    UserEnv env;
    ASSERT_EQ(0xF000u, env.fileId);
    struct {
        const char *ext;
        BYTE type;
    } files[] = {{"rdt", 1}, {"rxa", 2}, {"rna", 3}, {"rra", 4}};
    for (auto &f : files) {
        std::string h = Header(env.box.Path(std::string("mine.") + f.ext));
        ASSERT_EQ(72u, h.size()) << f.ext;
        EXPECT_EQ("VLV4ULFL", h.substr(0, 8));
        EXPECT_EQ(std::string("\x00\xF0\x00\x00\x00\x04", 6), h.substr(8, 6)) << f.ext;  // id, version 1024
        EXPECT_EQ((char)f.type, h[14]) << f.ext;
        EXPECT_EQ(std::string(32, '\0'), h.substr(40)) << f.ext;  // empty allocation record
    }
    std::string items = Header(env.box.Path("mine.rxa"));
    EXPECT_EQ(std::string("\x00\x01\x01", 3), items.substr(32, 3));  // language 0x0100, index kind 1
    DicProperty p;
    memset(&p, 0, sizeof p);
    p.size = sizeof p;
    ASSERT_TRUE(Lexicore_GetDicProperty(env.dicId, &p));
    EXPECT_EQ(1u, p.indexKind);
    EXPECT_EQ(0, Lexicore_GetEntryCount(env.dicId, 0));
}

TEST(UserDic, EntriesAnswerEveryQueryMode) {
    UserEnv env;
    // The first entry stands at position 0, a real position.
    EXPECT_EQ(0, env.Add("singer", "one who sings"));
    const char *words[] = {"thing", "apply", "banana", "Apple", "sing", "aptly", "ant", "cling",
                           "song",  "band",  "apples", "bring", "apple"};
    for (const char *w : words) EXPECT_GE(env.Add(w, "text"), 0) << w;
    // Refused: an empty headword, an unknown dictionary.
    EXPECT_EQ(-1, env.Add("", "text"));
    EXPECT_EQ(-1, Lexicore_AddUserEntry(0x12345600, nullptr, "x", nullptr));
    EXPECT_EQ(14, Lexicore_GetEntryCount(env.dicId, 0));
    EXPECT_EQ(14, Lexicore_GetEntryCount(env.dicId, 1));
    env.OpenSession();
    struct {
        int mode;
        const char *key, *words;
    } cases[] = {
        {LEXICORE_MODE_EXACT, "apple", "apple"},
        {LEXICORE_MODE_EXACT, "appl", ""},
        {LEXICORE_MODE_PREFIX, "appl", "apple apples apply"},
        {LEXICORE_MODE_SUFFIX, "ing", "thing cling bring sing"},
        {LEXICORE_MODE_NEAR, "aple", "Apple apple"},
        {10, "appm", "aptly"},
        {11, "appm", "apply"},
        {12, "apple", "Apple apple"},
        {LEXICORE_MODE_EXACT, "ap*", "apple apples apply aptly"},
        {LEXICORE_MODE_EXACT, "*ing", "thing cling bring sing"},
        {LEXICORE_MODE_EXACT, "*an*", "ant banana band"},
        {LEXICORE_MODE_EXACT, "s?ng", "sing song"},
    };
    for (auto &c : cases) EXPECT_EQ(std::string(c.words), env.Run(c.mode, c.key)) << c.key << " " << c.mode;
    // Full text: every entry is walked.
    LexicoreCondition four;
    memset(&four, 0, sizeof four);
    four.kind = 16;  // headword length
    four.value = 4;
    VLWordList_DeleteAllItems(env.list);
    EXPECT_EQ(1, Lexicore_RunFullTextQuery(env.query, &four, 1, TRUE, 0, nullptr, nullptr));
    EXPECT_EQ("band sing song", env.Words());
    // Items in order, stamped with their forward entry numbers, in both indexes.
    std::vector<std::string> forward;
    for (LONG i = 0;; i++) {
        VLDataItem *item = Lexicore_GetItem(env.session, i);
        if (!item) break;
        EXPECT_EQ((DWORD)i, item->head.entryNo);
        EXPECT_EQ(env.fileId, item->head.fileId);
        forward.push_back(item->headword);
        VLDataItem_Destroy(item);
    }
    ASSERT_EQ(14u, forward.size());
    Lexicore_SelectIndex(env.session, 1);
    VLDataItem *last = Lexicore_GetItem(env.session, 13);
    ASSERT_NE(nullptr, last);
    EXPECT_EQ(forward[last->head.entryNo], std::string(last->headword));
    VLDataItem_Destroy(last);
    Lexicore_SelectIndex(env.session, 0);
    VLDataItem *singer = env.Find("singer");
    ASSERT_NE(nullptr, singer);
    EXPECT_EQ("one who sings|c:\\pics\\a.png;", env.Body(singer));
    VLDataItem_Destroy(singer);
}

TEST(UserDic, UpdateAndDeleteAnnounceTheirChanges) {
    UserEnv env;
    for (const char *w : {"band", "apple", "sing"}) ASSERT_GE(env.Add(w, "old"), 0);
    ASSERT_EQ(3u, g_changes.size());
    EXPECT_EQ(1u, g_changes[1].kind);
    EXPECT_EQ(env.dicId, (DWORD)g_changes[1].dicId);
    EXPECT_EQ(0, g_changes[1].value);  // "apple" went in front
    env.OpenSession();

    // A new body: the entry keeps its place, the text is replaced.
    VLDataItem *band = env.Find("band");
    ASSERT_NE(nullptr, band);
    std::string longer(300, 'x');
    EXPECT_TRUE(Lexicore_UpdateUserEntry(band, nullptr, longer.c_str(), nullptr));
    VLDataItem_Destroy(band);
    band = env.Find("band");
    ASSERT_NE(nullptr, band);
    EXPECT_EQ(longer, env.Body(band));
    EXPECT_EQ(2u, g_changes.back().kind);
    EXPECT_EQ(1, g_changes.back().value);

    // New strings: the entry moves to its new place.
    VLDataItem head;
    memset(&head, 0, sizeof head);
    VLDataItem *record = VLDataItem_Create(&head, "zoo", "zu", nullptr, nullptr);
    EXPECT_TRUE(Lexicore_UpdateUserEntry(band, record, "animals", nullptr));
    VLDataItem_Destroy(record);
    VLDataItem_Destroy(band);
    EXPECT_EQ("", env.Run(LEXICORE_MODE_EXACT, "band"));
    EXPECT_EQ("zoo", env.Run(LEXICORE_MODE_EXACT, "zoo"));
    EXPECT_EQ(2, g_changes.back().value);
    VLDataItem *zoo = env.Find("zoo");
    ASSERT_NE(nullptr, zoo);
    EXPECT_EQ("animals", env.Body(zoo));

    // Delete: gone from both indexes.
    EXPECT_TRUE(Lexicore_DeleteUserEntry(zoo));
    VLDataItem_Destroy(zoo);
    EXPECT_EQ(3u, g_changes.back().kind);
    EXPECT_EQ(2, g_changes.back().value);
    EXPECT_EQ(2, Lexicore_GetEntryCount(env.dicId, 0));
    EXPECT_EQ(2, Lexicore_GetEntryCount(env.dicId, 1));
    EXPECT_EQ("", env.Run(LEXICORE_MODE_SUFFIX, "oo"));
    // The session forms.
    VLDataItem *item = VLDataItem_Create(&head, "cling", nullptr, nullptr, nullptr);
    EXPECT_EQ(1, Lexicore_AddEntry(env.session, item, "b", nullptr));
    VLDataItem_Destroy(item);
    VLDataItem *apple = env.Find("apple");
    ASSERT_NE(nullptr, apple);
    EXPECT_EQ(1, Lexicore_DeleteEntry(env.session, apple));
    VLDataItem_Destroy(apple);
    EXPECT_EQ("cling sing", env.Run(LEXICORE_MODE_EXACT, "*"));
}

TEST(UserDic, TheCatalogueFindsTheDictionaryAgain) {
    UserEnv env;
    for (const char *w : {"one", "two", "three"}) ASSERT_GE(env.Add(w, "t"), 0);
    Lexicore_Term();
    ASSERT_TRUE(Lexicore_Init("VLTU", 0));
    DicProperty p;
    memset(&p, 0, sizeof p);
    p.size = sizeof p;
    ASSERT_TRUE(Lexicore_GetDicProperty(env.dicId, &p));
    EXPECT_EQ(1u, p.indexKind);
    EXPECT_EQ(3, Lexicore_GetEntryCount(env.dicId, 0));
    env.OpenSession();
    EXPECT_EQ("two", env.Run(LEXICORE_MODE_EXACT, "two"));
    // A copy added under a new id opens with its side files.
    std::string copies = env.box.Path("copies");
    CreateDirectoryA(copies.c_str(), nullptr);
    ASSERT_TRUE(Lexicore_AddDic(env.Main().c_str(), copies.c_str(), nullptr, nullptr));
    EXPECT_EQ(3, Lexicore_GetEntryCount(0xF00100, 0));
    DicSession *copy = Lexicore_CreateSession();
    EXPECT_TRUE(Lexicore_OpenSession(copy, 0xF00100, FALSE));
    VLDataItem *first = Lexicore_GetItem(copy, 0);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ("one", first->headword);
    EXPECT_EQ(0xF001u, first->head.fileId);
    VLDataItem_Destroy(first);
    Lexicore_DestroySession(copy);
    // A damaged side file: the session does not open.
    env.CloseSession();
    std::string items = kit::ReadAll(env.box.Path("mine.rxa"));
    items[14] = 9;
    kit::WriteAll(env.box.Path("mine.rxa"), items);
    DicSession *s = Lexicore_CreateSession();
    EXPECT_FALSE(Lexicore_OpenSession(s, env.dicId, FALSE));
    Lexicore_DestroySession(s);
    EXPECT_EQ(-1, env.Add("four", "t"));
}

// Reading an entry without a session while another process has the text file open for writing
// (an editor of the dictionary) shares the file with it.
TEST(UserDic, ReadersShareTheTextFileWithAWriter) {
    UserEnv env;
    ASSERT_GE(env.Add("apple", "red fruit"), 0);
    env.OpenSession();
    VLDataItem *apple = env.Find("apple");
    ASSERT_NE(nullptr, apple);
    env.CloseSession();
    HANDLE writer = CreateFileA(env.box.Path("mine.rdt").c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(0u, env.Body(apple).find("red fruit"));
    CloseHandle(writer);
    VLDataItem_Destroy(apple);
}

bool AnyFileOf(const kit::Sandbox &box, const char *stem) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(box.Path(std::string(stem) + ".*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
}

// A dictionary's files come and go together: removing it deletes every sub-dictionary's side
// files, a create that fails at the settings leaves no file behind, and a user dictionary whose
// main file is named .dic is found again as one.
TEST(UserDic, EveryFileOfTheDictionaryComesAndGoesTogether) {
    UserEnv env;
    ASSERT_GE(env.Add("one", "t"), 0);
    for (const char *ext : {"rx", "rn"}) {
        std::string from = env.box.Path(std::string("mine.") + ext + "a"), to = env.box.Path(std::string("mine.") + ext + "b");
        ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE));
    }
    kit::WriteAll(env.box.Path("mine.txt"), "the user's own notes");
    ASSERT_TRUE(Lexicore_RemoveDic(env.fileId, TRUE));
    for (const char *ext : {"rdc", "rdt", "rxa", "rna", "rxb", "rnb"})
        EXPECT_FALSE(kit::Exists(env.box.Path(std::string("mine.") + ext))) << ext;
    EXPECT_TRUE(kit::Exists(env.box.Path("mine.txt")));  // not a file of the dictionary

    // The settings file cannot be written: the create fails and leaves nothing.
    SetFileAttributesA(env.box.settings.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0u, Lexicore_CreateUserDic(env.box.Path("fail.rdc").c_str(), "Fail", "F", 0, 1, 0x0100, 0x0100));
    SetFileAttributesA(env.box.settings.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(AnyFileOf(env.box, "fail"));

    DWORD id = Lexicore_CreateUserDic(env.box.Path("older.dic").c_str(), "Older", "O", 0, 1, 0x0100, 0x0100);
    ASSERT_NE(0u, id);
    VLDataItem head;
    memset(&head, 0, sizeof head);
    head.head.type = VLITEM_DATA;
    VLDataItem *item = VLDataItem_Create(&head, "kept", nullptr, nullptr, nullptr);
    EXPECT_GE(Lexicore_AddUserEntry(id << 8, item, "text", nullptr), 0);
    VLDataItem_Destroy(item);
    Lexicore_Term();
    ASSERT_TRUE(Lexicore_Init("VLTU", 0));
    DicInfo info;
    ASSERT_TRUE(Lexicore_GetDicInfo(id, &info));
    EXPECT_EQ(2u, info.kind);
    EXPECT_EQ(0u, info.status & DICSTATUS_BAD);
    EXPECT_EQ(1, Lexicore_GetEntryCount(id << 8, 0));
    ASSERT_TRUE(Lexicore_RemoveDic(id, TRUE));
    EXPECT_FALSE(AnyFileOf(env.box, "older"));
}

// An entry held from before a change: once its text block went to another entry, a delete or an
// update through it is refused and the other entry stays as it was.
TEST(UserDic, AHeldEntryWhoseTextWentToAnotherIsRefused) {
    UserEnv env;
    for (const char *w : {"apple", "band", "sing"}) ASSERT_GE(env.Add(w, "short text"), 0);
    env.OpenSession();
    VLDataItem *stale = env.Find("band");
    ASSERT_NE(nullptr, stale);
    VLDataItem *fresh = env.Find("band");
    ASSERT_NE(nullptr, fresh);
    // The new body goes elsewhere and frees the old block, which the next entry's text takes.
    std::string longer(200, 'x');
    ASSERT_TRUE(Lexicore_UpdateUserEntry(fresh, nullptr, longer.c_str(), nullptr));
    VLDataItem_Destroy(fresh);
    ASSERT_GE(env.Add("cherry", "short text"), 0);
    VLDataItem *cherry = env.Find("cherry");
    ASSERT_NE(nullptr, cherry);
    ASSERT_EQ(stale->head.textPos, cherry->head.textPos);  // the block was reused
    VLDataItem_Destroy(cherry);

    EXPECT_FALSE(Lexicore_UpdateUserEntry(stale, nullptr, "changed", nullptr));
    EXPECT_FALSE(Lexicore_DeleteUserEntry(stale));
    EXPECT_EQ(0, Lexicore_DeleteEntry(env.session, stale));
    VLDataItem_Destroy(stale);
    EXPECT_EQ("apple band cherry sing", env.Run(LEXICORE_MODE_EXACT, "*"));
    cherry = env.Find("cherry");
    ASSERT_NE(nullptr, cherry);
    EXPECT_EQ(0u, env.Body(cherry).find("short text|"));
    VLDataItem_Destroy(cherry);
    VLDataItem *band = env.Find("band");
    ASSERT_NE(nullptr, band);
    EXPECT_EQ(0u, env.Body(band).find(longer));
    // The entry as it is now is still deleted.
    EXPECT_TRUE(Lexicore_DeleteUserEntry(band));
    VLDataItem_Destroy(band);
    EXPECT_EQ("apple cherry sing", env.Run(LEXICORE_MODE_EXACT, "*"));
}

// A create at a path where a dictionary (or any file of one) is already there refuses and leaves
// the files as they were.
TEST(UserDic, CreateNeverOverwritesAnExistingDictionary) {
    UserEnv env;
    ASSERT_GE(env.Add("kept", "the user's words"), 0);
    std::string before[4];
    const char *exts[4] = {"rdc", "rdt", "rxa", "rna"};
    for (int i = 0; i < 4; i++) before[i] = kit::ReadAll(env.box.Path(std::string("mine.") + exts[i]));
    EXPECT_EQ(0u, Lexicore_CreateUserDic(env.Main().c_str(), "Again", "A", 0, 1, 0x0100, 0x0100));
    for (int i = 0; i < 4; i++) EXPECT_EQ(before[i], kit::ReadAll(env.box.Path(std::string("mine.") + exts[i]))) << exts[i];
    EXPECT_EQ(1, Lexicore_GetEntryCount(env.dicId, 0));
    // A side file alone is enough to refuse; it stays, and nothing else is made.
    kit::WriteAll(env.box.Path("stray.rna"), "someone's tree");
    EXPECT_EQ(0u, Lexicore_CreateUserDic(env.box.Path("stray.rdc").c_str(), "Stray", "S", 0, 1, 0x0100, 0x0100));
    EXPECT_EQ("someone's tree", kit::ReadAll(env.box.Path("stray.rna")));
    EXPECT_FALSE(kit::Exists(env.box.Path("stray.rdc")));
    EXPECT_FALSE(kit::Exists(env.box.Path("stray.rdt")));
    // A file of the same name that is no dictionary's does not stop a create, and stays.
    kit::WriteAll(env.box.Path("fresh.txt"), "notes");
    EXPECT_NE(0u, Lexicore_CreateUserDic(env.box.Path("fresh.rdc").c_str(), "Fresh", "F", 0, 1, 0x0100, 0x0100));
    EXPECT_EQ("notes", kit::ReadAll(env.box.Path("fresh.txt")));
}

// A dictionary whose files another process holds open is not removed in part: the removal is
// refused and the set stays whole in the catalogue; once the files are free it goes.
TEST(UserDic, RemovalOfADictionaryInUseLeavesTheSetWhole) {
    UserEnv env;
    ASSERT_GE(env.Add("kept", "t"), 0);
    HANDLE reader = CreateFileA(env.box.Path("mine.rna").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_FALSE(Lexicore_RemoveDic(env.fileId, TRUE));
    CloseHandle(reader);
    for (const char *ext : {"rdc", "rdt", "rxa", "rna", "rra"})
        EXPECT_TRUE(kit::Exists(env.box.Path(std::string("mine.") + ext))) << ext;
    DicInfo info;
    EXPECT_TRUE(Lexicore_GetDicInfo(env.fileId, &info));
    EXPECT_EQ(1, Lexicore_GetEntryCount(env.dicId, 0));
    EXPECT_TRUE(Lexicore_RemoveDic(env.fileId, TRUE));
    EXPECT_FALSE(AnyFileOf(env.box, "mine"));
}

}  // namespace
