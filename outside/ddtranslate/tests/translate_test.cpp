// The translator driver dictionary: its entry points called by name as the engine calls them, the
// engine's own driver path (catalogue load with drivers admitted, session, query), and the word
// table reader on damaged lines.  Japanese text is written as Shift-JIS bytes, each with a comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "../ddtranslate_int.h"

namespace {

typedef BOOL(WINAPI *GetInfoProc)(const char *, void *, void *);
typedef int(CALLBACK *ItemProc)(void *item, int flag, void *query);
typedef int(WINAPI *TranslateProc)(void *, const char *, ItemProc, void *);

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\'));
}

// What the item procedure was handed.
struct Taken {
    int calls = 0;
    int answer = 1;
    std::string headword, second;
    WORD language = 0;
    BYTE charset = 0xFF;
};

int CALLBACK TakeItem(void *item, int flag, void *query) {
    Taken *t = (Taken *)query;
    const VLDataItem *d = (const VLDataItem *)item;
    t->calls++;
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(d->head.type, (DWORD)VLITEM_DATA);
    t->headword.assign(d->headword, d->headwordLen);
    t->second.assign(d->second, d->secondLen);
    t->language = d->language;
    t->charset = d->charset;
    return t->answer;
}

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("ddtranslate.dll");
        ASSERT_NE(module, nullptr);
        getInfo = (GetInfoProc)GetProcAddress(module, "DDGetInfo");
        translate = (TranslateProc)GetProcAddress(module, "DDTranslate");
        ASSERT_NE(getInfo, nullptr);
        ASSERT_NE(translate, nullptr);
        for (const char *name : {"DDOpen", "DDClose", "DDGetData"})
            EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    void TearDown() override { FreeLibrary(module); }
    Taken Translate(const char *text) {
        Taken t;
        EXPECT_EQ(translate(nullptr, text, TakeItem, &t), 1) << text;
        EXPECT_EQ(t.calls, 1);
        EXPECT_EQ(t.second, text) << "the text translated goes with the translation";
        return t;
    }
    HMODULE module = nullptr;
    GetInfoProc getInfo = nullptr;
    TranslateProc translate = nullptr;
};

// Registers the library in the catalogue of a settings file of the working folder.
struct Catalogue {
    std::string settings;
    explicit Catalogue(DWORD fileId, const std::string &library) {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, cwd);
        settings = std::string(cwd) + "\\ddtranslate.ini";
        DeleteFileA(settings.c_str());
        CloseHandle(CreateFileA(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        Basekit_SettingsSetFile(settings.c_str());
        char key[MAX_PATH];
        Lexidata_GetDicKey(fileId, key);
        Basekit_SettingsWriteString(key, "FileName", library.c_str());
        Basekit_SettingsWriteString(key, "Name", "Translator");
        Lexidata_GetDicIndexKey(fileId, 1, key);
        Basekit_SettingsWriteDword(key, "LangID", 0x0400);
        Basekit_SettingsWriteString(key, "NickName", "EJ");
    }
    ~Catalogue() {
        Lexicore_Term();
        Basekit_SettingsSetFile(nullptr);
        DeleteFileA(settings.c_str());
    }
};

BOOL CALLBACK CollectIds(DicProperty *sub, LPARAM user) {
    ((std::vector<DWORD> *)user)->push_back(sub->dicId);
    return TRUE;
}

}  // namespace

TEST_F(Library, DescribesItselfAsAnEnglishJapaneseTranslator) {
    std::vector<BYTE> file(796), sub(572);
    ((DicInfo *)file.data())->size = 796;
    ((DicProperty *)sub.data())->size = 572;
    ASSERT_TRUE(getInfo("C:\\dics\\ddtranslate.dll", file.data(), sub.data()));
    const DicInfo *f = (const DicInfo *)file.data();
    const DicProperty *s = (const DicProperty *)sub.data();
    EXPECT_EQ(f->language, 0x0100);
    ASSERT_EQ(f->languageCount, 2u);
    EXPECT_EQ(f->languages[0], 0x0100);
    EXPECT_EQ(f->languages[1], 0x0400);
    EXPECT_STREQ(f->name, "Velomira Translator (English-Japanese)");
    EXPECT_EQ(s->indexKind, 8u);
    EXPECT_EQ(s->language, 0x0400);
    EXPECT_EQ(s->charset, 128);
    EXPECT_STREQ(s->nickname, "EJ");
    EXPECT_FALSE(getInfo(nullptr, file.data(), sub.data()));
}

TEST_F(Library, EnglishBecomesJapanese) {
    struct Case { const char *english, *japanese; } const cases[] = {
        {"Hello", "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd"},  // konnichiwa
        // a phrase of the table, a comma and a full stop in their Japanese forms
        {"Good morning, teacher.",
         "\x82\xa8\x82\xcd\x82\xe6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7\x81" "A\x90\xe6\x90\xb6\x81" "B"},
        {"I read a book.", "\x8e\x84\x93\xc7\x82\xde\x96{\x81" "B"},  // watashi yomu hon. (no article)
        {"cats and dogs", "\x94L\x82\xc6\x8c\xa2"},                     // neko to inu (plural taken off)
        {"studied", "\x95\xd7\x8b\xad\x82\xb7\x82\xe9"},               // benkyou suru
        {"studying", "\x95\xd7\x8b\xad\x82\xb7\x82\xe9"},
        // an unknown word in full-width letters: "Velomira" jisho
        {"Velomira dictionary", "\x82u\x82\x85\x82\x8c\x82\x8f\x82\x8d\x82\x89\x82\x92\x82\x81\x8e\xab\x8f\x91"},
        // two unknown words keep an ideographic space between them
        {"Hello Velomira Suite", "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x82u\x82\x85\x82\x8c\x82\x8f\x82\x8d"
                                 "\x82\x89\x82\x92\x82\x81\x81@\x82r\x82\x95\x82\x89\x82\x94\x82\x85"},
        // quotes open and close in turn: "say" [hai]
        {"say \"yes\"", "\x82\x93\x82\x81\x82\x99\x81u\x82\xcd\x82\xa2\x81v"},
        // the add-ins' line mark and an exclamation mark: atarashii tango \n0 arigatou!
        {"New words\n0Thank you!",
         "\x90V\x82\xb5\x82\xa2\x92P\x8c\xea\n0\x82\xa0\x82\xe8\x82\xaa\x82\xc6\x82\xa4\x81I"},
        {"3 dogs", "3\x8c\xa2"},
    };
    for (const Case &c : cases) {
        Taken t = Translate(c.english);
        EXPECT_EQ(t.headword, c.japanese) << c.english;
        EXPECT_EQ(t.language, 0x0400);
        EXPECT_EQ(t.charset, 128);
    }
}

TEST_F(Library, JapaneseBecomesEnglish) {
    struct Case { const char *japanese, *english; } const cases[] = {
        {"\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd", "Hello"},               // konnichiwa
        {"\x8e\x84\x82\xcd\x8aw\x90\xb6\x82\xc5\x82\xb7\x81" "B", "I student is."},  // watashi wa gakusei desu.
        {"\x83J\x83\x81\x83\x89", "Kamera"},                                // katakana in romaji
        {"\x82\xaa\x82\xc1\x82\xb1\x82\xa4", "Gakkou"},                     // small tsu doubles; ga is no particle here
        {"\x83\x89\x81[\x83\x81\x83\x93", "Raamen"},                        // the long-vowel mark repeats a
        {"\x82\xcd", "Ha"},                                                 // a lone ha is a kana, not a particle
        {"\x89\x8e\x82\xc6\x8c\xa2", "? and dog"},                          // an unknown kanji, to, inu
        {"\x82`\x82" "a\x82" "b", "ABC"},                                   // full-width letters
        {"\x81u\x82\xcd\x82\xa2\x81v", "\"Yes\""},                          // [hai] in corner brackets
        // hon wo yomu. \n0 arigatou: the particle dropped, the line mark kept whole
        {"\x96{\x82\xf0\x93\xc7\x82\xde\x81" "B\n0\x82\xa0\x82\xe8\x82\xaa\x82\xc6\x82\xa4", "Book read.\n0Thank you"},
    };
    for (const Case &c : cases) {
        Taken t = Translate(c.japanese);
        EXPECT_EQ(t.headword, c.english) << c.english;
        EXPECT_EQ(t.language, 0x0100);
        EXPECT_EQ(t.charset, 0);
    }
    // There and back: the words of the table come home.
    for (const char *english : {"Thank you", "Good night", "Dictionary"}) {
        Taken there = Translate(english);
        Taken back = Translate(there.headword.c_str());
        EXPECT_EQ(back.headword, english);
    }
}

TEST_F(Library, NothingToTranslateGivesNoItem) {
    Taken t;
    EXPECT_EQ(translate(nullptr, "the", TakeItem, &t), 0) << "a word that only drops";
    EXPECT_EQ(translate(nullptr, "", TakeItem, &t), 0);
    EXPECT_EQ(translate(nullptr, "  \r\n", TakeItem, &t), 0);
    EXPECT_EQ(translate(nullptr, nullptr, TakeItem, &t), 0);
    EXPECT_EQ(t.calls, 0);
    EXPECT_EQ(translate(nullptr, "Hello", nullptr, &t), 0);
    t.answer = 2;  // the engine stops: not taken
    EXPECT_EQ(translate(nullptr, "Hello", TakeItem, &t), 0);
    EXPECT_EQ(t.calls, 1);
}

TEST(Engine, TranslatesThroughTheEnginesDriverPath) {
    const DWORD fileId = 0x3100, dicId = fileId << 8;
    Catalogue catalogue(fileId, ExeFolder() + "\\ddtranslate.dll");
    // Without the drivers flag the catalogue does not admit the library.
    ASSERT_TRUE(Lexicore_Init("DDTT", 0));
    std::vector<DWORD> ids;
    EXPECT_EQ(Lexicore_EnumDicsByKind(8, CollectIds, (LPARAM)&ids), 0);
    Lexicore_Term();
    EXPECT_EQ(GetModuleHandleA("ddtranslate.dll"), nullptr);

    ASSERT_TRUE(Lexicore_Init("DDTT", LEXICORE_INIT_DRIVERS));
    ASSERT_EQ(Lexicore_EnumDicsByKind(8, CollectIds, (LPARAM)&ids), 1);
    EXPECT_EQ(ids[0], dicId);
    DicProperty prop = {};
    prop.size = sizeof prop;
    ASSERT_TRUE(Lexicore_GetDicProperty(dicId, &prop));
    EXPECT_EQ(prop.charset, 128) << "the add-ins hand the translator text in this charset";
    EXPECT_EQ(prop.indexKind, 8u);
    EXPECT_NE(GetModuleHandleA("ddtranslate.dll"), nullptr);

    // The add-ins' translate: one session, one query, a list of one item; the first item is the
    // result.
    DicSession *session = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(session, dicId, FALSE));
    DicQuery *query = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(1);
    Lexicore_SetQuerySession(query, session);
    Lexicore_SetQueryResultList(query, list);
    struct Case { const char *text, *translation; WORD language; BYTE charset; } const cases[] = {
        {"Good morning", "\x82\xa8\x82\xcd\x82\xe6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7", 0x0400, 128},
        {"\x8e\xab\x8f\x91", "Dictionary", 0x0100, 0},  // jisho
    };
    for (const Case &c : cases) {
        VLWordList_DeleteAllItems(list);
        Lexicore_SetQueryText(query, c.text, 0, 0);
        EXPECT_EQ(Lexicore_RunQuery(query, 0, 0), 1) << c.translation;
        ASSERT_EQ(VLWordList_Count(list), 1);
        const VLDataItem *item = VLWordList_GetItem(list, 0);
        EXPECT_EQ(std::string(item->headword, item->headwordLen), c.translation);
        EXPECT_EQ(std::string(item->second, item->secondLen), c.text);
        EXPECT_EQ(item->language, c.language);
        EXPECT_EQ(item->charset, c.charset);
        EXPECT_EQ(item->head.fileId, fileId);
    }
    VLWordList_DeleteAllItems(list);
    Lexicore_SetQueryText(query, "an", 0, 0);
    EXPECT_EQ(Lexicore_RunQuery(query, 0, 0), 0);
    EXPECT_EQ(VLWordList_Count(list), 0);
    VLWordList_Destroy(list);
    Lexicore_DestroyQuery(query);
    Lexicore_CloseSession(session);
    Lexicore_DestroySession(session);
    Lexicore_Term();
    EXPECT_EQ(GetModuleHandleA("ddtranslate.dll"), nullptr) << "released at the catalogue's end";
}

TEST(Table, DamagedLinesArePassedOver) {
    DdtTable t;
    EXPECT_FALSE(Ddt_ReadTable("", &t));
    EXPECT_FALSE(Ddt_ReadTable("cat\tneko\n", &t)) << "a line before any section";
    t = DdtTable();
    EXPECT_FALSE(Ddt_ReadTable("[kana]\nka\tka\n", &t)) << "no word line";
    t = DdtTable();
    ASSERT_TRUE(Ddt_ReadTable("# note\r\n[words]\r\nCat\tneko\r\nno tab here\r\n\t\r\n[bogus]\r\ndog\tinu\r\n"
                              "[marks]\r\n.\tdot", &t));
    ASSERT_EQ(t.words.size(), 1u) << "a line without a tab, an empty pair and a foreign section go";
    EXPECT_EQ(t.words[0].first, "cat") << "the English side in lower case";
    EXPECT_EQ(t.words[0].second, "neko");
    ASSERT_EQ(t.marks.size(), 1u) << "the last line needs no line end";
    EXPECT_EQ(t.marks[0].second, "dot");
}

TEST(Table, DirectionFollowsTheText) {
    EXPECT_FALSE(Ddt_IsJapanese("plain text 123"));
    EXPECT_TRUE(Ddt_IsJapanese("a \x8e\xab\x8f\x91"));  // jisho
    EXPECT_FALSE(Ddt_IsJapanese("\x8e")) << "a lead byte without its trail";
    EXPECT_TRUE(Ddt_IsJapanese("\xb1")) << "half-width katakana";
}
