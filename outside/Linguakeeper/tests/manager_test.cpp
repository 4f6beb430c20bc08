// The language manager through the calls the suite makes: language records, driver procedures,
// word analysis, search keys, compares, word enumeration, settings written back, the word store
// and the manager window.  The built-in byte-order driver serves every language here.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "linguakeeper.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

const char kRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";

std::vector<std::pair<std::string, DWORD>> Keys(const LinguakeeperForms *f) {
    std::vector<std::pair<std::string, DWORD>> keys;
    for (DWORD i = 0; f && i < f->keys->count; i++)
        keys.push_back({f->keys->items[i].text, f->keys->items[i].kind});
    return keys;
}

// A data item in memory with only a headword (the record, then the headword).
std::vector<BYTE> Item(WORD language, const char *head) {
    size_t n = strlen(head);
    std::vector<BYTE> block(sizeof(VLDataItem) + n + 1, 0);
    VLDataItem *item = (VLDataItem *)block.data();
    item->head.size = (DWORD)block.size();
    item->head.type = VLITEM_DATA;
    item->language = language;
    memcpy(item + 1, head, n + 1);
    item->headword = item->second = item->third = (char *)(item + 1);
    item->headwordLen = item->secondLen = item->thirdLen = (LONG)n;
    return block;
}

void SetKeyValue(WORD code, const char *name, DWORD type, const void *data, DWORD size) {
    char path[200];
    snprintf(path, sizeof path, "%s\\%04x", kRoot, code);
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(k);
}

// The whole language tree goes: keys written here, and any driver named by an earlier program in
// the same (throw-away) prefix.
void DeleteLanguageKeys() { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }

// Restarts the manager so that it reads the registry again.
void Restart() {
    Linguakeeper_Term();
    Linguakeeper_Init(0);
}

// The built-in driver for every language: no language keys, and the manager restarts.
void BuiltinOnly() {
    DeleteLanguageKeys();
    Restart();
}

}  // namespace

TEST(Records, LanguageRecordsByCodeKeepTheCallersSize) {
    BuiltinOnly();
    struct Case { WORD code; int charset; const char *name; LANGID id; } cases[] = {
        {0x0100, 0, "English", 1033}, {0x0400, 128, "Japanese", 1041}, {0x0500, 129, "Korean", 1042},
        {0x0300, 136, "Traditional Chinese", 1028}, {0x0700, 0, "German", 1031}, {0x1600, 0, "Swedish", 1053},
    };
    for (const Case &c : cases) {
        LinguakeeperLangRecord r;
        memset(&r, 0xCC, sizeof r);
        r.size = LINGUAKEEPER_LANGINFO_SIZE;
        ASSERT_EQ(Linguakeeper_GetLangInfo(c.code, &r), 1) << c.name;
        EXPECT_EQ(r.size, (DWORD)LINGUAKEEPER_LANGINFO_SIZE);
        EXPECT_EQ(r.language, c.code);
        EXPECT_EQ(r.charset, c.charset);
        EXPECT_EQ(r.doubleByte, c.charset != 0 ? 1u : 0u);
        EXPECT_STREQ(r.name, c.name);
        EXPECT_EQ(((BYTE *)&r)[LINGUAKEEPER_LANGINFO_SIZE], 0xCC) << "nothing written past the caller's size";
        EXPECT_EQ(Linguakeeper_GetLangId(c.code), c.id);
        EXPECT_NE(Linguakeeper_IsAvailable(c.code), 0);
    }
    LinguakeeperLangRecord full = {};
    full.size = sizeof full;
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0400, &full), 1);
    EXPECT_EQ(full.search[0].word[0], 1u);
    EXPECT_EQ(full.search[4].word[0], 7u);
    EXPECT_EQ(full.available, 1u);
    // Unknown code: 0 and the record untouched; a record too small to hold the head: 0.
    LinguakeeperLangRecord r;
    memset(&r, 0x5A, sizeof r);
    r.size = sizeof r;
    LinguakeeperLangRecord before = r;
    EXPECT_EQ(Linguakeeper_GetLangInfo(0x7777, &r), 0);
    EXPECT_EQ(memcmp(&r, &before, sizeof r), 0);
    r.size = 4;
    EXPECT_EQ(Linguakeeper_GetLangInfo(0x0100, &r), 0);
    EXPECT_EQ(Linguakeeper_GetLangInfo(0x0100, nullptr), 0);
    EXPECT_EQ(Linguakeeper_GetLangId(0x7777), 0);
    EXPECT_EQ(Linguakeeper_IsAvailable(0x7777), 0);
    EXPECT_NE(Linguakeeper_IsAvailable(0), 0);
    Linguakeeper_Term();
}

TEST(Records, RegistryKeysAddDisableAndFallBack) {
    DeleteLanguageKeys();
    DWORD off = 0;
    SetKeyValue(0x1300, "Load", REG_DWORD, &off, 4);
    SetKeyValue(0x0B00, "FileName", REG_SZ, "no_such_driver.dll", 19);
    SetKeyValue(0x0B00, "Name", REG_SZ, "Test language", 14);
    Restart();
    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x1300, &r), 1) << "a listed key is a known language";
    EXPECT_EQ(r.available, 0u);
    EXPECT_EQ(Linguakeeper_IsAvailable(0x1300), 0);
    LinguakeeperDriverProcs procs;
    EXPECT_EQ(Linguakeeper_GetDriverProcs(0x1300, 0, &procs), 0);
    EXPECT_EQ(procs.compare, nullptr);
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x1300, "word", 0, 1), nullptr);
    // A driver that cannot be loaded: the built-in driver serves.
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0B00, &r), 1);
    EXPECT_STREQ(r.displayName, "Test language");
    EXPECT_EQ(Linguakeeper_GetDriverProcs(0x0B00, 0, &procs), 1);
    EXPECT_NE(procs.normalize, nullptr);
    DeleteLanguageKeys();
    Restart();
    EXPECT_EQ(Linguakeeper_GetLangInfo(0x1300, &r), 0);
    Linguakeeper_Term();
}

TEST(Records, SettingsWrittenBackSurviveARestart) {
    DeleteLanguageKeys();
    Linguakeeper_Init(0);
    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0100, &r), 1);
    r.search[1].word[1] = 0;   // kind 5 searched by similarity
    r.search[0].word[6] = 3;   // minimum key length
    strcpy(r.face1, "Arial");
    r.color = 0x123456;
    ASSERT_EQ(Linguakeeper_SetLangInfo(255, &r), 1);
    Restart();
    LinguakeeperLangRecord back = {};
    back.size = sizeof back;
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0100, &back), 1);
    EXPECT_EQ(back.search[1].word[1], 0u);
    EXPECT_EQ(back.search[0].word[6], 3u);
    EXPECT_STREQ(back.face1, "Arial");
    EXPECT_EQ(back.color, 0x123456u);
    // A short record cannot be written back; an unknown language neither.
    back.size = LINGUAKEEPER_LANGINFO_SIZE;
    EXPECT_EQ(Linguakeeper_SetLangInfo(255, &back), 0);
    back.size = sizeof back;
    back.language = 0x7777;
    EXPECT_EQ(Linguakeeper_SetLangInfo(255, &back), 0);
    DeleteLanguageKeys();
    Linguakeeper_Term();
}

TEST(Analysis, CursorWordFormsAndSentence) {
    BuiltinOnly();
    // Single-byte: the letter run at the cursor, its folded form, the sentence.
    LinguakeeperForms *f = Linguakeeper_AnalyzeWord(0x0100, "The Running dogs.", 6, 1);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->language, 0x0100u);
    EXPECT_EQ(f->keys->language, 0x0100u);
    auto keys = Keys(f);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0], std::make_pair(std::string("Running"), 0x480ul));
    EXPECT_EQ(f->keys->items[0].position, 2u);
    EXPECT_EQ(keys[1], std::make_pair(std::string("running"), 0x440ul));
    EXPECT_EQ(keys[2], std::make_pair(std::string("The Running dogs."), 256ul));
    Linguakeeper_FreeForms(f);
    // Double-byte: the run from the cursor on and every shorter prefix ("nihongo" then "wo").
    const char ja[] = "\x93\xfa\x96\x7b\x8c\xea\x82\xf0";
    for (int cursor : {0, 1}) {  // a cursor on the trail byte means its character
        f = Linguakeeper_AnalyzeWord(0x0400, ja, cursor, 5);
        ASSERT_NE(f, nullptr);
        keys = Keys(f);
        ASSERT_GE(keys.size(), 4u);
        EXPECT_EQ(keys[0].first, std::string(ja, 8));
        EXPECT_EQ(keys[0].second, 0x480u);
        EXPECT_EQ(keys[1].first, std::string(ja, 6));
        EXPECT_EQ(keys[3].first, std::string(ja, 2));
        EXPECT_EQ(keys[3].second, 0x440u);
        EXPECT_EQ(f->keys->language, 0x0400u | (128u << 16));
        Linguakeeper_FreeForms(f);
    }
    // No word at the cursor, no text, an unknown language, a cursor outside the text.
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x0100, "a  b", 1, 1), nullptr);
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x0100, "a, b", 1, 1), nullptr);
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x0100, nullptr, 0, 1), nullptr);
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x7777, "word", 0, 1), nullptr);
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x0100, "word", 4, 1), nullptr);
    EXPECT_EQ(Linguakeeper_AnalyzeWord(0x0100, "word", -1, 1), nullptr);
    Linguakeeper_FreeForms(nullptr);
}

TEST(Keys, ConvertCompareAndDriverProcs) {
    BuiltinOnly();
    char out[64];
    EXPECT_STREQ(Linguakeeper_ConvertKey(0x0100, 4, "Ab\r\nc\x1b", out), "Ab c");
    EXPECT_STREQ(Linguakeeper_ConvertKey(0x0100, 1, "AbC", out), "abc");
    EXPECT_STREQ(Linguakeeper_ConvertKey(0x0400, 1, "\x83\x41" "A", out), "\x83\x41" "a")
        << "a trail byte in the letter range stays as it is";
    strcpy(out, "old");
    EXPECT_EQ(Linguakeeper_ConvertKey(0x7777, 4, "x", out), nullptr);
    EXPECT_STREQ(out, "");

    EXPECT_LT(Linguakeeper_Compare(0x0100, 0, "apple", "banana", 0), 0);
    EXPECT_GT(Linguakeeper_Compare(0x0100, 0, "pear", "apple", 0), 0);
    EXPECT_NE(Linguakeeper_Compare(0x0100, 0, "apple", "Apple", 0), 0) << "case decides in the last stage";
    EXPECT_EQ(Linguakeeper_Compare(0x0100, 0x10, "apple", "Apple", 0), 0);
    EXPECT_EQ(Linguakeeper_Compare(0x0100, 0, "apple", "apple", 0), 0);

    LinguakeeperDriverProcs procs;
    ASSERT_EQ(Linguakeeper_GetDriverProcs(0x0700, 0, &procs), 1);
    EXPECT_EQ(procs.compare(0x10, "ABC", "abcd", 3), 0) << "first three bytes, case-blind";
    EXPECT_LT(procs.compare(0, "abc", "abd", 3), 0);
    EXPECT_LT(procs.compare(0x8000, "xa", "ab", 2), 0) << "from the end: a before b";
    EXPECT_EQ(procs.score(0, 0, "colour", 6, "colour", 6), 0u);
    EXPECT_EQ(procs.score(0, 0, "Colour", 6, "colour", 6), 0x10000000u);
    EXPECT_LE(procs.score(0, 0, "colour", 6, "color", 5), 0x30000000u);
    EXPECT_EQ(procs.score(0, 0, "apple", 5, "zebra", 5), 0x40000000u);
    WORD sk[3];
    procs.sortKey("ab", 0, sk);
    EXPECT_EQ(sk[0], 37 * 11 + 12);
    EXPECT_STREQ(procs.normalize(2, "abc", out), "ABC");
    EXPECT_EQ(Linguakeeper_GetDriverProcs(0x7777, 0, &procs), 0);
    EXPECT_EQ(Linguakeeper_GetDriverProcs(0x0100, 0, nullptr), 0);
}

TEST(Keys, WordEnumerationWalksLetterRuns) {
    BuiltinOnly();
    HANDLE e = Linguakeeper_OpenWordEnum(0x0100, "  ab, cd");
    ASSERT_NE(e, nullptr);
    char w[16];
    for (int round = 0; round < 2; round++) {
        ASSERT_EQ(Linguakeeper_NextWordEnum(e, w, sizeof w), 1);
        EXPECT_STREQ(w, "ab");
        ASSERT_EQ(Linguakeeper_NextWordEnum(e, w, sizeof w), 1);
        EXPECT_STREQ(w, "cd");
        EXPECT_EQ(Linguakeeper_NextWordEnum(e, w, sizeof w), 0);
        EXPECT_EQ(Linguakeeper_RewindWordEnum(e), 1);
    }
    ASSERT_EQ(Linguakeeper_NextWordEnum(e, w, 2), 1);
    EXPECT_STREQ(w, "a") << "cut at the buffer's size";
    EXPECT_EQ(Linguakeeper_CloseWordEnum(e), 1);
    EXPECT_EQ(Linguakeeper_OpenWordEnum(0x7777, "ab"), nullptr);
    EXPECT_EQ(Linguakeeper_NextWordEnum(nullptr, w, sizeof w), 0);
    EXPECT_EQ(Linguakeeper_CloseWordEnum(nullptr), 0);
}

TEST(Speech, WordStoreSoundAndManagerWindow) {
    BuiltinOnly();
    std::vector<BYTE> item = Item(0x0100, "hello");
    EXPECT_EQ(Linguakeeper_HasItem(item.data()), 0);
    EXPECT_EQ(Linguakeeper_AddEntry(item.data(), 0, 0x100100, nullptr), 1);
    EXPECT_NE(Linguakeeper_HasItem(item.data()), 0);
    EXPECT_EQ(Linguakeeper_HasItem(Item(0x0700, "hello").data()), 0) << "per language";
    std::vector<BYTE> label = item;
    ((VLItem *)label.data())->type = 5;
    EXPECT_EQ(Linguakeeper_AddEntry(label.data(), 0, 0, nullptr), 0);
    EXPECT_EQ(Linguakeeper_HasItem(nullptr), 0);

    // Wave data whose header claims more than was handed over, and no wave data at all.
    BYTE wave[44] = {'R', 'I', 'F', 'F', 0xFF, 0xFF, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_EQ(Linguakeeper_PlaySound(wave, sizeof wave), 0);
    EXPECT_EQ(Linguakeeper_PlaySound("text", 5), 0);
    EXPECT_EQ(Linguakeeper_PlaySound(nullptr, 100), 0);

    HWND w = Linguakeeper_OpenManager(256, "some text", 1);
    ASSERT_NE(w, nullptr);
    char title[64], text[64];
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "English");
    GetDlgItemTextA(w, 100, text, sizeof text);
    EXPECT_STREQ(text, "some text");
    EXPECT_EQ(Linguakeeper_OpenManager(256, nullptr, 0), w) << "one manager window";
    DestroyWindow(w);
    EXPECT_EQ(Linguakeeper_OpenManager(0x7777, nullptr, 0), nullptr);
    EXPECT_NE(Linguakeeper_GetLangIcon(0x0400, nullptr, 0), nullptr);
}

TEST(Drivers, TheNamedDriverServesAndReleasesItsKeys) {
    DeleteLanguageKeys();
    SetKeyValue(0x0B00, "FileName", REG_SZ, "lk_testdriver.dll", 18);
    SetKeyValue(0x1300, "FileName", REG_SZ, "lk_halfdriver.dll", 18);
    Restart();
    HMODULE driver = GetModuleHandleA("lk_testdriver.dll");
    ASSERT_NE(driver, nullptr) << "loaded beside the manager";
    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0B00, &r), 1);
    EXPECT_STREQ(r.name, "Testish");
    EXPECT_EQ(r.available, 1u);
    LinguakeeperDriverProcs procs;
    ASSERT_EQ(Linguakeeper_GetDriverProcs(0x0B00, 0, &procs), 1);
    EXPECT_EQ(procs.compare(0, "a", "b", 1), 42);
    EXPECT_EQ(procs.score(0, 0, "a", 1, "b", 1), 0x30000000u);
    WORD sk[3];
    EXPECT_EQ(procs.sortKey("a", 0, sk), 7u);
    char out[32];
    EXPECT_STREQ(Linguakeeper_ConvertKey(0x0B00, 4, "abc", out), "N:abc");
    EXPECT_EQ(Linguakeeper_Compare(0x0B00, 0, "a", "b", 0), 42);
    typedef LONG(WINAPI * CountProc)(void);
    CountProc freed = (CountProc)GetProcAddress(driver, "TestDriver_FreedCount");
    ASSERT_NE(freed, nullptr);
    LONG before = freed();
    LinguakeeperForms *f = Linguakeeper_AnalyzeWord(0x0B00, "word", 1, 1);
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->keys->count, 1u);
    EXPECT_STREQ(f->keys->items[0].text, "driver-key");
    Linguakeeper_FreeForms(f);
    EXPECT_EQ(freed() - before, 2) << "the key text and the array go back to the driver";
    // A driver without every operation is not used: the built-in driver serves its language.
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x1300, &r), 1);
    EXPECT_STREQ(Linguakeeper_ConvertKey(0x1300, 1, "ABC", out), "abc");
    // Stopped and started again, the driver serves from the image mapped the first time (each
    // fresh mapping of a library would cost the process a thread-local slot for good).
    Restart();
    EXPECT_EQ(GetModuleHandleA("lk_testdriver.dll"), driver);
    EXPECT_EQ(Linguakeeper_Compare(0x0B00, 0, "a", "b", 0), 42);
    DeleteLanguageKeys();
    Linguakeeper_Term();
}

TEST(Records, ReloadTakesChangedSettingsWithoutARestart) {
    DeleteLanguageKeys();
    Linguakeeper_Init(0);
    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0100, &r), 1);
    EXPECT_STREQ(r.displayName, "English");
    SetKeyValue(0x0100, "Name", REG_SZ, "Eigo", 5);
    DWORD colour = 0xABCDEF;
    SetKeyValue(0x0100, "Color", REG_DWORD, &colour, 4);
    BYTE shortSettings[10] = {};
    SetKeyValue(0x0100, "SearchSettings", REG_BINARY, shortSettings, sizeof shortSettings);
    EXPECT_EQ(Linguakeeper_Reload(0), 1);
    ASSERT_EQ(Linguakeeper_GetLangInfo(0x0100, &r), 1);
    EXPECT_STREQ(r.displayName, "Eigo");
    EXPECT_EQ(r.color, 0xABCDEFu);
    EXPECT_EQ(r.search[0].word[0], 1u) << "settings of the wrong size are not taken";
    DeleteLanguageKeys();
    Linguakeeper_Term();
}

namespace {

std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char row[256] = "";
        if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < (LRESULT)sizeof row)
            SendMessageA(list, LB_GETTEXT, i, (LPARAM)row);
        rows.push_back(row);
    }
    return rows;
}

std::string Title(HWND w) {
    char title[64] = "";
    GetWindowTextA(w, title, sizeof title);
    return title;
}

// Chooses the language in the manager's language list as a user does.
void ChooseLanguage(HWND manager, WORD code) {
    HWND box = GetDlgItem(manager, 101);
    int n = (int)SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++)
        if ((WORD)SendMessageA(box, CB_GETITEMDATA, i, 0) == code)
            SendMessageA(box, CB_SETCURSEL, i, 0);
    SendMessageA(manager, WM_COMMAND, MAKEWPARAM(101, CBN_SELCHANGE), (LPARAM)box);
}

}  // namespace

TEST(Manager, ShowsTheLanguageTheWordsOfTheTextAndTheWordsHandedOver) {
    BuiltinOnly();
    // "nihongo eigo": two runs of double-byte characters, two words of the built-in driver.
    HWND w = Linguakeeper_OpenManager(0x0400, "\x93\xfa\x96{\x8c\xea \x89p\x8c\xea", 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Title(w), "Japanese");
    HWND box = GetDlgItem(w, 101);
    ASSERT_GE(SendMessageA(box, CB_GETCOUNT, 0, 0), 11) << "every language of the suite";
    EXPECT_EQ(SendMessageA(box, CB_GETITEMDATA, SendMessageA(box, CB_GETCURSEL, 0, 0), 0), 0x0400);
    std::vector<std::string> words = ListRows(GetDlgItem(w, 103));
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0], "\x93\xfa\x96{\x8c\xea\t\x93\xfa\x96{\x8c\xea");  // nihongo, its key
    EXPECT_EQ(words[1].substr(0, 4), "\x89p\x8c\xea");                    // eigo
    EXPECT_TRUE(SendMessageA(GetDlgItem(w, 102), STM_GETICON, 0, 0) ==
                (LRESULT)Linguakeeper_GetLangIcon(0x0400, nullptr, 0));

    // A headword handed over shows up in its language's list.
    std::vector<BYTE> item = Item(0x0400, "\x8e\xab\x8f\x91");  // jisho
    ASSERT_EQ(Linguakeeper_AddEntry(item.data(), 0, 0x100100, nullptr), 1);
    HWND handed = GetDlgItem(w, 104);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return SendMessageA(handed, LB_GETCOUNT, 0, 0) == 1; }));
    EXPECT_EQ(ListRows(handed), std::vector<std::string>{"\x8e\xab\x8f\x91"});
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(Testkit_SaveWindowPicture(w, "manager_japanese.bmp"));

    // Another language chosen in the window: its title, its lists.
    ChooseLanguage(w, 0x0100);
    EXPECT_EQ(Title(w), "English");
    EXPECT_EQ(SendMessageA(handed, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)"\x8e\xab\x8f\x91"), LB_ERR)
        << "the Japanese headword is not in the English list";
    // Typed text is taken at once; opened again with text, the same window shows it.
    HWND edit = GetDlgItem(w, 100);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char *c = "Running dogs"; *c; c++)
        SendMessageA(edit, WM_CHAR, (unsigned char)*c, 1);
    EXPECT_EQ(ListRows(GetDlgItem(w, 103)), (std::vector<std::string>{"Running\trunning", "dogs\tdogs"}));
    EXPECT_EQ(Linguakeeper_OpenManager(0x0700, "Haus", 1), w);
    EXPECT_EQ(Title(w), "German");
    EXPECT_EQ(ListRows(GetDlgItem(w, 103)), std::vector<std::string>{"Haus\thaus"});
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(Testkit_SaveWindowPicture(w, "manager_german.bmp"));
    DestroyWindow(w);
}

TEST(Icons, EveryLanguageHasAnIconOfItsOwn) {
    DeleteLanguageKeys();
    DWORD off = 0;
    SetKeyValue(0x1300, "Load", REG_DWORD, &off, 4);  // a language the suite does not know, not loaded
    Restart();
    const WORD codes[] = {0x0100, 0x0300, 0x0400, 0x0500, 0x0700, 0x1300};
    TestkitCanvas row(40 * 6, 40);
    std::vector<uint32_t> tiles;
    for (int i = 0; i < 6; i++) {
        HICON icon = nullptr;
        HICON h = Linguakeeper_GetLangIcon(codes[i], &icon, 0);
        ASSERT_NE(h, nullptr) << codes[i];
        EXPECT_EQ(icon, h);
        EXPECT_EQ(Linguakeeper_GetLangIcon(codes[i], nullptr, 0), h) << "shared: the same icon each time";
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(h, &info));
        BITMAP bm = {};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DrawIconEx(row.dc, 40 * i + 4, 4, h, 32, 32, 0, nullptr, DI_NORMAL);
        tiles.push_back(row.At(40 * i + 4 + 3, 4 + 16));  // the tile's colour at its left edge
        EXPECT_EQ(row.At(40 * i + 4, 4), 0xFFFFFFu) << "the rounded corner lets the ground show";
    }
    for (size_t i = 0; i < tiles.size(); i++)
        for (size_t j = i + 1; j < tiles.size(); j++)
            EXPECT_NE(tiles[i], tiles[j]) << codes[i] << " and " << codes[j];
    EXPECT_TRUE(Testkit_SavePicture(row.dc, 0, 0, row.width, row.height, "language_icons.bmp"));
    EXPECT_EQ(Linguakeeper_GetLangIcon(0x7777, nullptr, 0), nullptr) << "no icon for an unknown language";
    DeleteLanguageKeys();
    Linguakeeper_Term();
}
