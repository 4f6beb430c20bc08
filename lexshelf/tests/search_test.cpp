// Searches across dictionaries: the choice of dictionaries as a table over made-up facts, the small
// decisions (cursor box, sort mode, search mode of a request kind), and lookups from captured
// English and German text with inflected words over two dictionaries of the catalogue (and a user
// dictionary) through a group and through the current translation set.
#include <gtest/gtest.h>
#include <string.h>
#include <map>
#include <string>
#include <vector>
#include "shelfkit.h"
#include "lexidata.h"
#include "linguakeeper.h"
#include "../search_int.h"
#include "../search_choice.cpp"
#include "../../lexidata/tests/fixtures/dicwriter.h"

using namespace shelfkit;

namespace {

// ---- The choice over made-up facts ------------------------------------------------------------

struct FakeWorld {
    std::map<DWORD, ShelfDicFacts> dics;
    std::map<DWORD, std::vector<DWORD>> groups;
    std::map<std::vector<DWORD>, DWORD> transSet;  // {first, second, slot} -> id
    std::map<DWORD, ShelfLangFacts> languages;
    std::vector<WORD> emptyKeys;                    // languages whose key comes out empty
    std::vector<WORD> keysMade;

    static FakeWorld *Of(void *c) { return (FakeWorld *)c; }
    static bool Dic(void *c, DWORD id, ShelfDicFacts *f) {
        auto it = Of(c)->dics.find(id);
        if (it == Of(c)->dics.end())
            return false;
        *f = it->second;
        return true;
    }
    static bool Group(void *c, DWORD id, std::vector<DWORD> *d) {
        auto it = Of(c)->groups.find(id);
        if (it == Of(c)->groups.end())
            return false;
        *d = it->second;
        return true;
    }
    static bool Trans(void *c, DWORD a, DWORD b, DWORD s, DWORD *id) {
        auto it = Of(c)->transSet.find({a, b, s});
        if (it == Of(c)->transSet.end())
            return false;
        *id = it->second;
        return true;
    }
    static bool Lang(void *c, DWORD l, ShelfLangFacts *f) {
        auto it = Of(c)->languages.find(l);
        if (it == Of(c)->languages.end())
            return false;
        *f = it->second;
        return true;
    }
    static bool Key(void *c, WORD l, BYTE) {
        Of(c)->keysMade.push_back(l);
        for (WORD e : Of(c)->emptyKeys)
            if (e == l)
                return false;
        return true;
    }
    ShelfWorld World() { return {this, Dic, Group, Trans, Lang, Key}; }
};

ShelfLangFacts LangFacts(BYTE charset, DWORD popupNumber, DWORD popupMode) {
    ShelfLangFacts f = {};
    f.charset = charset;
    DWORD numbers[5] = {popupNumber, 5, 4, 6, 7};
    for (int i = 0; i < 5; i++)
        f.entries[i] = {numbers[i], i == 0 ? popupMode : 1, i == 0 ? 16u : 0u};
    return f;
}

const DWORD kEn = 0x300000, kEn2 = 0x300001, kJa = 0x310000, kDe = 0x320000, kDrv = 0x330000;

FakeWorld Sample() {
    FakeWorld w;
    w.dics[kEn] = {0x0100, 0, 0, 1};
    w.dics[kEn2] = {0x0100, 0, 0, 2};
    w.dics[kJa] = {0x0400, 128, 1, 1};
    w.dics[kDe] = {0x0700, 0, 0, 1};
    w.dics[kDrv] = {0x0100, 0, 0, 3};
    w.languages[0x0100] = LangFacts(0, 1, 1);
    w.languages[0x0400] = LangFacts(128, 1, 2);
    w.languages[0x0700] = LangFacts(0, 0, 1);  // German pop-up kinds not looked up
    w.groups[1] = {kEn, kJa, kEn, kDe, 0x999999, kEn2};
    w.groups[2] = {kJa, kEn};
    return w;
}

struct Picked {
    DWORD id, order;
};
bool operator==(const Picked &a, const Picked &b) { return a.id == b.id && a.order == b.order; }
std::ostream &operator<<(std::ostream &o, const Picked &p) { return o << std::hex << p.id << "/" << p.order; }

std::vector<Picked> Choose(FakeWorld &w, ShelfChoice c, ShelfPlan *planOut = nullptr) {
    ShelfPlan plan;
    ShelfWorld world = w.World();
    bool any = Shelf_ChoosePlan(c, world, &plan);
    std::vector<Picked> out;
    for (const ShelfPlanDic &d : plan.dics)
        out.push_back({d.id, d.order});
    EXPECT_EQ(any, !out.empty());
    if (planOut)
        *planOut = plan;
    return out;
}

TEST(SearchChoice, ByDictionaryGroupAndTranslationSet) {
    FakeWorld w = Sample();
    w.transSet[{1, 0, 1}] = kEn2;
    w.transSet[{1, 0, 4}] = kDe;      // its language does not look kind 2 up
    w.transSet[{1, 0, 2}] = 2;        // a group in slot 2
    w.transSet[{1, 0, 3}] = kEn;      // already chosen through the group
    w.transSet[{2, 0, 1}] = kEn2;
    w.transSet[{0x100000, 0, 1}] = kEn;
    const ShelfChoice single = {2, 0, 0, 1, 0x80, false, 0};
    struct Case {
        const char *what;
        ShelfChoice choice;
        std::vector<Picked> want;
    } cases[] = {
        {"a dictionary by itself", {2, 0, kEn, 3, 0x80, false, 0}, {{kEn, 0}}},
        {"its language does not look the kind up", {2, 0, kDe, 1, 0, false, 0}, {}},
        {"kinds outside 1 to 7 keep the caller's mode", {0, 0, kDe, 1, 0, false, 0}, {{kDe, 0}}},
        {"an unknown dictionary", {2, 0, 0x3F0000, 1, 0, false, 0}, {}},
        {"a group: each dictionary once, single-byte text skips the double-byte one",
         {2, 0, 1, 1, 0, false, 0},
         {{kEn, 0}, {kDe, 3}, {kEn2, 5}}},
        {"a group: double-byte text keeps its own charset", {2, 128, 1, 1, 0, true, 128}, {{kJa, 1}}},
        {"an unknown group", {2, 0, 7, 1, 0, false, 0}, {}},
        {"the translation set: slots in order, a group's index", single,
         {{kEn2, 0}, {kJa, 1 << 16 | 0}, {kEn, 1 << 16 | 1}}},
        {"kinds 4 and 5 take the second first key", {4, 0, 0, 1, 0, false, 0}, {{kEn2, 0}}},
        {"a language's first key goes back to 1 with the language's charset", {0x100000, 0x0100, 0, 1, 0, false, 0},
         {{kEn2, 0}, {kJa, 1 << 16 | 0}, {kEn, 1 << 16 | 1}, {kDe, 3 << 16}}},
        {"no entry for the kind chooses nothing", {6, 0, 0, 1, 0, false, 0}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.want, Choose(w, c.choice)) << c.what;

    // A language enters the plan once, with the mode of its kind entry and the caller's flags
    // joined with the entry's compare flags.
    ShelfPlan plan;
    Choose(w, {2, 0, kEn, 3, 0x80, false, 0}, &plan);
    ASSERT_EQ(1u, plan.langs.size());
    EXPECT_EQ(1u, plan.langs[0].mode);
    EXPECT_EQ(0x90u, plan.langs[0].flags);
    Choose(w, {2, 0, 1, 2, 0x38, false, 0}, &plan);
    ASSERT_EQ(2u, plan.langs.size());
    EXPECT_EQ(2u, plan.langs[0].mode);  // a group uses the caller's mode and flags
    EXPECT_EQ(0x38u, plan.langs[0].flags);
}

TEST(SearchChoice, EmptyKeysAndCapacities) {
    FakeWorld w = Sample();
    w.emptyKeys = {0x0100};
    EXPECT_EQ((std::vector<Picked>{{kDe, 3}}), Choose(w, {2, 0, 1, 1, 0, false, 0}));
    // The key of a language is asked for once however many of its dictionaries are chosen.
    FakeWorld big = Sample();
    for (DWORD i = 0; i < 260; i++) {
        big.dics[0x400000 + (i << 8)] = {(WORD)(0x0100 + (i % 30) * 0x100), 0, 0, 1};
        big.languages[0x0100 + (i % 30) * 0x100] = LangFacts(0, 1, 1);
        big.groups[3].push_back(0x400000 + (i << 8));
    }
    ShelfPlan plan;
    auto picked = Choose(big, {2, 0, 3, 1, 0, false, 0}, &plan);
    EXPECT_EQ((size_t)SHELF_PLAN_LANGS, plan.langs.size());
    EXPECT_LE(picked.size(), (size_t)SHELF_PLAN_DICS);
    for (const ShelfPlanDic &d : plan.dics)
        EXPECT_GE(Shelf_PlanLanguage(plan, d.language), 0);
    FakeWorld many = Sample();
    for (DWORD i = 0; i < 260; i++) {
        many.dics[0x400000 + (i << 8)] = {0x0100, 0, 0, 1};
        many.groups[4].push_back(0x400000 + (i << 8));
    }
    EXPECT_EQ((size_t)SHELF_PLAN_DICS, Choose(many, {2, 0, 4, 1, 0, false, 0}).size());
    EXPECT_EQ(1, std::count(many.keysMade.begin(), many.keysMade.end(), (WORD)0x0100));
}

TEST(SearchChoice, SmallDecisions) {
    POINT o = {100, 200};
    struct Box {
        int dx, dy;
        bool inside;
    } boxes[] = {{0, 0, true}, {-2, -3, true}, {1, 2, true}, {2, 0, false}, {3, 0, false},
                 {-3, 0, false}, {0, 3, false}, {0, -4, false}};
    for (const Box &b : boxes)
        EXPECT_EQ(b.inside, Shelf_BoxHolds(o, {o.x + b.dx, o.y + b.dy})) << b.dx << "," << b.dy;

    struct Sort {
        DWORD kind, mode;
        int sortByLength, wantMode, wantDescending;
    } sorts[] = {{5, 2, 0, 3, 0}, {1, 2, 0, 1, 1}, {1, 3, 0, 1, 1}, {1, 2, 2, 2, 0}, {1, 1, 0, 0, 0}, {0, 1, 2, 2, 0}};
    for (const Sort &s : sorts) {
        int mode, desc;
        Shelf_SortChoice(s.kind, s.mode, s.sortByLength, &mode, &desc);
        EXPECT_EQ(s.wantMode, mode) << s.kind << "/" << s.mode;
        EXPECT_EQ(s.wantDescending, desc) << s.kind << "/" << s.mode;
    }

    ShelfLangFacts f = LangFacts(0, 1, 2);
    f.entries[1].number = 0;  // kind 5 not looked up
    struct Kind {
        DWORD kind;
        bool searched;
        DWORD mode;
    } kinds[] = {{1, true, 2}, {2, true, 2}, {3, true, 2}, {4, true, 1}, {5, false, 0}, {7, true, 1}, {0, true, 9}, {9000, true, 9}};
    for (const Kind &k : kinds) {
        DWORD mode = 0, flags = 0;
        EXPECT_EQ(k.searched, Shelf_KindMode(f, k.kind, 9, &mode, &flags)) << k.kind;
        if (k.searched) {
            EXPECT_EQ(k.mode, mode) << k.kind;
        }
    }
    EXPECT_EQ(1u, Shelf_FirstKey(3));
    EXPECT_EQ(2u, Shelf_FirstKey(5));
    EXPECT_EQ(4u, Shelf_FirstKey(7));
    EXPECT_EQ(0x5000u, Shelf_FirstKey(0x5000));
    EXPECT_EQ(4, Shelf_CharsetSlot(129));
    EXPECT_EQ(0, Shelf_CharsetSlot(238));
}

// ---- Lookups over real dictionaries ---------------------------------------------------------------

const char kLangRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";
const DWORD kEnglish = 0x260000, kGerman = 0x270000;

dicfix::Index Words(uint16_t language, std::vector<std::pair<const char *, const char *>> words) {
    dicfix::Index index;
    index.language = language;
    for (auto &w : words) {
        dicfix::Entry e;
        e.headword = w.first;
        e.text1 = w.second;
        index.entries.push_back(e);
    }
    return index;
}

void Register(const Sandbox &box, DWORD fileId, uint16_t language, const dicfix::Index &index) {
    dicfix::Dictionary d;
    d.fileId = fileId;
    d.language = language;
    d.indexes = {index};
    std::string path = box.folder + "\\" + std::to_string(fileId) + ".dic";
    ASSERT_TRUE(dicfix::Write(path, d));
    char key[MAX_PATH];
    Lexidata_GetDicKey(fileId, key);
    Basekit_SettingsWriteString(key, "FileName", path.c_str());
    Basekit_SettingsWriteString(key, "Name", ("File" + std::to_string(fileId)).c_str());
    Lexidata_GetDicIndexKey(fileId, 1, key);
    Basekit_SettingsWriteDword(key, "LangID", language);
}

bool DriverPresent(const char *name) { return Exists(ExeFolder() + "\\" + name); }

void SetDriver(WORD code, const char *driver) {
    char path[200];
    snprintf(path, sizeof path, "%s\\%04x", kLangRoot, code);
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != 0)
        return;
    if (driver)
        RegSetValueExA(k, "FileName", 0, REG_SZ, (const BYTE *)driver, (DWORD)strlen(driver) + 1);
    else
        RegDeleteValueA(k, "FileName");
    RegCloseKey(k);
}

// What the list's window is told, in order.
std::vector<std::pair<UINT, WPARAM>> g_notes;
LRESULT CALLBACK NoteProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m >= 0x8000 && m <= 0x8004)
        g_notes.push_back({m, wp});
    return DefWindowProcA(w, m, wp, lp);
}

HWND NoteWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = NoteProc;
    wc.lpszClassName = "ShelfSearchNotes";
    RegisterClassA(&wc);
    return CreateWindowA("ShelfSearchNotes", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

struct Lookup : Sandbox {
    bool german = DriverPresent("lingo_de.dll");
    VLWordList *list = VLWordList_Create(100);
    HWND window = NoteWindow();
    Lookup() : Sandbox("lookup", Mode::Registry) {
        char root[MAX_PATH];
        Lexidata_GetDicRootKey(root);
        RegDeleteTreeA(HKEY_CURRENT_USER, root);
        Register(*this, kEnglish >> 8, 0x0100,
                 Words(0x0100, {{"child", "a young person"}, {"go", "to move"}, {"hand", "en:hand"}, {"home", "a house"}}));
        Register(*this, kGerman >> 8, 0x0700, Words(0x0700, {{"gehen", "to go"}, {"hand", "de:Hand"}, {"kind", "child"}}));
        SetDriver(0x0100, "lingo_en.dll");
        SetDriver(0x0700, german ? "lingo_de.dll" : nullptr);
        list->window = window;
    }
    ~Lookup() {
        Lexshelf_Term();
        char path[200];
        snprintf(path, sizeof path, "%s\\0100", kLangRoot);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, path, "SearchSettings");
        SetDriver(0x0100, nullptr);
        SetDriver(0x0700, nullptr);
        VLWordList_Destroy(list);
        DestroyWindow(window);
        char root[MAX_PATH];
        Lexidata_GetDicRootKey(root);
        RegDeleteTreeA(HKEY_CURRENT_USER, root);
    }
    // The headwords and dictionaries of the list, in order.
    std::vector<std::string> Hits() {
        std::vector<std::string> out;
        for (LONG i = 0; i < VLWordList_Count(list); i++) {
            VLDataItem *item = VLWordList_GetItem(list, i);
            char id[16];
            snprintf(id, sizeof id, "%X:", (unsigned)item->head.fileId);
            out.push_back(id + std::string(item->headword, item->headwordLen));
        }
        return out;
    }
    int Popup(DWORD dicId, DWORD kind, const char *text, int wordPos, POINT at = {0, 0}) {
        VLTranParam *r = VLTranParam_Create(dicId, 1, 0, kind, nullptr, 0, (WORD)wordPos, 0, nullptr,
                                            (DWORD)(WORD)at.x, (DWORD)(WORD)at.y, text, -1);
        int result = Lexshelf_SearchPopup(r, list);
        VLTranParam_Destroy(r);
        return result;
    }
};

bool Contains(const std::vector<std::string> &v, const std::string &s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

TEST(Search, CapturedTextThroughAGroupAndTheTranslationSet) {
    Lookup box;
    DWORD group = NewGroup("both", {kEnglish, kGerman, kEnglish});
    ASSERT_TRUE(Lexshelf_Init(3 | LEXSHELF_INIT_TRANSSET));
    if (!box.german)
        printf("lingo_de.dll is missing: German text runs through the built-in driver\n");

    // English: the base form of an inflected word is found; the German dictionary has nothing.
    ASSERT_EQ(1, box.Popup(group, 2, "He went home", 3));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
    std::string longText = "He went home " + std::string(12000, 'x');  // cut at 10240 characters
    ASSERT_EQ(1, box.Popup(group, 2, longText.c_str(), 3));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
    ASSERT_EQ(1, box.Popup(group, 2, "the children played", 4));
    EXPECT_TRUE(Contains(box.Hits(), "2600:child"));

    // A user dictionary after the two: its entry comes last.
    std::string userPath = box.folder + "\\mine.rdc";
    DWORD userFile = Lexicore_CreateUserDic(userPath.c_str(), "mine", "mine", 0, 1, 0x0100, 0x0100);
    ASSERT_NE(0u, userFile);
    VLDataItem head = {};
    head.head.type = VLITEM_DATA;
    head.head.fileId = userFile;
    VLDataItem *item = VLDataItem_Create(&head, "go", nullptr, nullptr, nullptr);
    ASSERT_GE(Lexicore_AddUserEntry(userFile << 8, item, "my own note", nullptr), 0);
    VLDataItem_Destroy(item);
    DWORD withUser = NewGroup("with user", {userFile << 8, kGerman, kEnglish});
    Lexshelf_PrioAdd(Kind(LEXSHELF_LIST_POPUP), withUser);  // the group table learns of it
    PumpAll();
    ASSERT_EQ(1, box.Popup(withUser, 2, "He went home", 3));
    char user[32];
    snprintf(user, sizeof user, "%X:go", (unsigned)userFile);
    EXPECT_EQ((std::vector<std::string>{user, "2600:go"}), box.Hits());

    // German through the German driver: "ging" gives "gehen".
    ASSERT_EQ(1, box.Popup(group, 3, "Er ging nach Hause", 3));
    if (box.german) {
        EXPECT_EQ(std::vector<std::string>{"2700:gehen"}, box.Hits());
    }

    // A word both dictionaries hold comes in the group's order.
    ASSERT_EQ(1, box.Popup(group, 2, "my hand", 3));
    EXPECT_EQ((std::vector<std::string>{"2600:hand", "2700:hand"}), box.Hits());

    // Dictionary 0: the current translation set's slots, German first now.
    EXPECT_EQ(0, box.Popup(0, 2, "my hand", 3));  // no set entry for the kind: nothing chosen
    VLTransSet *set = Lexshelf_TransSetCreate("lookup");
    Lexshelf_TransSetAdd(set, 1, 0, 1, kGerman);
    Lexshelf_TransSetAdd(set, 1, 0, 2, kEnglish);
    Lexshelf_TransSetSave(set);
    Lexshelf_TransSetDestroy(set);
    Lexshelf_SetCurrentTransSet("lookup");
    PumpAll();
    ASSERT_EQ(1, box.Popup(0, 2, "my hand", 3));
    EXPECT_EQ((std::vector<std::string>{"2700:hand", "2600:hand"}), box.Hits());
    ASSERT_EQ(1, Lexshelf_SearchByLanguages("He went home", 3, 1, 0, box.list));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());

    // The keyword search over escape-tagged text without analysis finds the key itself only.
    ASSERT_EQ(1, Lexshelf_SearchDics("\x1b" "F00went", group, 1, LEXSHELF_SF_NO_ANALYSIS, box.list));
    EXPECT_EQ(std::vector<std::string>{}, box.Hits());
    ASSERT_EQ(1, Lexshelf_SearchDicsEx("kind", group, 1, LEXSHELF_SF_NO_ANALYSIS, 0x0700, box.list));
    EXPECT_EQ(std::vector<std::string>{"2700:kind"}, box.Hits());
    EXPECT_EQ(0, Lexshelf_SearchDics("", group, 1, 0, box.list));
    Lexshelf_TransSetDelete(Lexshelf_TransSetOpen("lookup"));
}

TEST(Search, NotificationsAndTheCursorBox) {
    Lookup box;
    DWORD group = NewGroup("en", {kEnglish});
    ASSERT_TRUE(Lexshelf_Init(3));
    typedef std::vector<std::pair<UINT, WPARAM>> Notes;
    const Notes full = {{0x8004, 0}, {0x8000, 0}, {0x8004, 1}, {0x8001, 0}};
    g_notes.clear();
    int priority = GetThreadPriority(GetCurrentThread());
    DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    ASSERT_EQ(1, box.Popup(group, 2, "He went home", 3));
    EXPECT_EQ(full, g_notes);
    EXPECT_EQ(priority, GetThreadPriority(GetCurrentThread()));  // put back after the raise
    EXPECT_EQ(priorityClass, GetPriorityClass(GetCurrentProcess()));
    g_notes.clear();
    box.Popup(group, 4, "He went home", 3);
    EXPECT_EQ((Notes{{0x8004, 0}, {0x8000, 0}, {0x8004, 1}}), g_notes);

    // A mouse request: the search runs while the cursor stays in the box and is refused, with
    // the list and the window left alone, once it has moved out.
    POINT at = {40, 50};
    ASSERT_TRUE(SetCursorPos(at.x + 1, at.y - 3));
    POINT now;
    ASSERT_TRUE(GetCursorPos(&now));
    if (now.x != at.x + 1 || now.y != at.y - 3)
        GTEST_SKIP() << "the display does not move the cursor";
    g_notes.clear();
    ASSERT_EQ(1, box.Popup(group, 1, "He went home", 3, at));
    EXPECT_EQ(full, g_notes);
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
    SetCursorPos(at.x + 2, at.y);
    g_notes.clear();
    EXPECT_EQ(0, box.Popup(group, 1, "my hand", 3, at));
    EXPECT_EQ(Notes{}, g_notes);
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
}

// The automatic actions of the language after a pop-up search: a kind-7 request copies the entry
// to the clipboard, a kind 1 to 3 request hands it to be pronounced.
TEST(Search, AutomaticActionsOfTheLanguage) {
    Lookup box;
    DWORD group = NewGroup("en", {kEnglish});
    ASSERT_TRUE(Lexshelf_Init(3));
    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    ASSERT_TRUE(Linguakeeper_GetLangInfo(0x0100, &r));
    r.search[4].word[10] = 1;  // kind 7: copy
    r.search[0].word[9] = 1;   // kinds 1 to 3: pronounce
    ASSERT_TRUE(Linguakeeper_SetLangInfo(1, &r));

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_EQ(1, box.Popup(group, 7, "He went home", 3));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(CF_TEXT);
    const char *text = h ? (const char *)GlobalLock(h) : nullptr;
    EXPECT_STREQ("to move", text);
    if (h)
        GlobalUnlock(h);
    CloseClipboard();

    VLDataItem *item = VLWordList_GetItem(box.list, 0);
    ASSERT_NE(nullptr, item);
    EXPECT_FALSE(Linguakeeper_HasItem(item));
    ASSERT_EQ(1, box.Popup(group, 3, "He went home", 3));
    item = VLWordList_GetItem(box.list, 0);
    EXPECT_TRUE(Linguakeeper_HasItem(item));  // handed to the language manager to be spoken
    EXPECT_TRUE(Lexshelf_CanPronounceEntry(item));
}

// Sessions kept between lookups let go of the dictionary files once lookups pause, and a dictionary
// whose files moved is opened again at its new place.
TEST(Search, KeptSessionsLetGoOfTheirFiles) {
    Lookup box;
    DWORD group = NewGroup("en", {kEnglish});
    ASSERT_TRUE(Lexshelf_Init(3));
    ASSERT_EQ(1, box.Popup(group, 2, "He went home", 3));
    ASSERT_EQ(1, box.Popup(group, 2, "He went home", 3));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
    std::string path = box.folder + "\\" + std::to_string(kEnglish >> 8) + ".dic", moved = path + ".moved";
    EXPECT_TRUE(PumpUntil([&] { return MoveFileA(path.c_str(), moved.c_str()) != 0; }));
    ASSERT_TRUE(MoveFileA(moved.c_str(), path.c_str()));
    std::string other = box.folder + "\\elsewhere";
    CreateDirectoryA(other.c_str(), nullptr);
    ASSERT_TRUE(Lexicore_MoveDic(kEnglish >> 8, other.c_str(), nullptr, nullptr));
    EXPECT_FALSE(Exists(path));
    ASSERT_EQ(1, box.Popup(group, 2, "He went home", 3));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
}

std::vector<std::string> g_words;
int CALLBACK Word(DWORD language, const char *word, LPARAM stopAt) {
    g_words.push_back(word);
    return language == 0x0100 && (LPARAM)g_words.size() != stopAt;
}

TEST(Search, NearestEntriesWordsAndConditions) {
    Lookup box;
    DWORD group = NewGroup("en", {kEnglish});
    ASSERT_TRUE(Lexshelf_Init(3));
    ASSERT_EQ(1, Lexshelf_SearchMode1("gz", 0, 0, kEnglish, 0, box.list));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
    ASSERT_EQ(1, Lexshelf_SearchMode0("gz", 0, 0, group, 0, box.list));
    EXPECT_EQ(std::vector<std::string>{"2600:hand"}, box.Hits());

    g_words.clear();
    ASSERT_EQ(1, Lexshelf_SearchWithCallback("\x1b" "F00went home", group, box.list, Word, 0));
    EXPECT_EQ((std::vector<std::string>{"went", "home"}), g_words);
    EXPECT_TRUE(Contains(box.Hits(), "2600:home"));
    g_words.clear();
    Lexshelf_SearchWithCallback("\x1b" "F00went home", group, box.list, Word, 1);
    EXPECT_EQ(std::vector<std::string>{"went"}, g_words);

    LexicoreCondition c = {};
    c.kind = 8;  // entry text
    strcpy(c.text, "move");
    c.textLen = 4;
    g_notes.clear();
    ASSERT_EQ(1, Lexshelf_SearchList(group, &c, 1, TRUE, 0, box.list, nullptr, nullptr));
    EXPECT_EQ(std::vector<std::string>{"2600:go"}, box.Hits());
    EXPECT_EQ((std::vector<std::pair<UINT, WPARAM>>{{0x8004, 0}, {0x8004, 1}, {0x8000, 0}}), g_notes);
    EXPECT_EQ(0, Lexshelf_SearchList(group, &c, 0, TRUE, 0, box.list, nullptr, nullptr));
}

}  // namespace
