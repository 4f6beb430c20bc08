// Registration of found records of every kind, each then opened and searched through the engine:
// dictionary files from the names file (in place and copied, with the overwrite question), add-on
// dictionaries through the engine's add, engine dictionaries from their scripts, books (their key,
// language pairs, fonts and group), book indexes through the index converter; languages merged
// once; colours that no other sub-dictionary has; and the stops that leave nothing behind.
#include <gtest/gtest.h>

#include "finder_int.h"
#include "finderkit.h"

namespace {

const char kTitleJis[] = "\x31\x51\x4F\x42\x3C\x2D\x45\x35";  // "英和辞典" in JIS X 0208
const char kTitleSjis[] = "\x89\x70\x98\x61\x8E\xAB\x93\x54";  // the same in Shift-JIS
const char kLanguageRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language";

std::string LanguageKey(WORD code)
{
    char key[MAX_PATH];
    snprintf(key, sizeof key, "%s\\%04x", kLanguageRoot, code);
    return key;
}

// Scripted answers of the questions.
int g_overwriteAsked = 0, g_overwriteAnswer = IDYES, g_overwriteSame = 0;
int AskOverwrite(HWND, const char *, int *same)
{
    g_overwriteAsked++;
    *same = g_overwriteSame;
    return g_overwriteAnswer;
}
std::string g_folderName = "Copied Book";
int AskFolderName(HWND, const char *, const char *, char *name)
{
    Finder_Copy(name, g_folderName.c_str(), 256);
    return !g_folderName.empty();
}
int AskTitle(HWND, char *name)
{
    Finder_Copy(name, "Typed Title", 256);
    return 1;
}

void Questions()
{
    g_finderUi.askOverwrite = AskOverwrite;
    g_finderUi.askFolderName = AskFolderName;
    g_finderUi.askTitle = AskTitle;
    g_overwriteAsked = 0;
    g_overwriteAnswer = IDYES;
    g_overwriteSame = 0;
    g_folderName = "Copied Book";
}

VLFoundDic Record(int kind, const std::string &path, const char *name, int id)
{
    VLFoundDic r;
    memset(&r, 0, sizeof r);
    r.kind = kind;
    Finder_Copy(r.path, path.c_str(), sizeof r.path);
    Finder_Copy(r.name, name, sizeof r.name);
    r.id = id;
    return r;
}

}  // namespace

TEST(DictionaryFiles, RegisteredInPlaceAndAsCopies)
{
    for (int copy = 0; copy <= 1; copy++) {
        fk::Env env(copy ? "dic_copy" : "dic_place");
        Questions();
        std::string source = env.drive1 + "\\dics\\a.dic";
        fk::WriteStaticDic(source, 0x2101, {fk::E("apple", "a fruit"), fk::E("pear", "another")},
                           {0x0100, 0x0700});
        fk::Write(env.drive1 + "\\dics\\a.snd", "sound");
        fk::Write(env.drive1 + "\\dics\\a.img", "pictures");
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_READONLY);
        env.Names({{0x2101, "Dictionary A", {{0x0100, "A-en"}, {0x0700, "A-de"}}, "a.snd", "a.img"}});
        VLFoundDic rec = Record(FINDER_KIND_DIC, source, "Dictionary A", 0x2101);
        ASSERT_TRUE(Finder_CreateFolder(env.st.myDicFolder, true));
        EXPECT_EQ(Finder_Register(&env.st, &rec, copy), 1) << copy;
        EXPECT_EQ(env.st.registered, 1);

        std::string target = copy ? std::string(env.st.myDicFolder) + "\\a.dic" : source;
        std::string folder = copy ? std::string(env.st.myDicFolder) : env.drive1 + "\\dics";
        EXPECT_EQ(std::string(rec.targetPath), target);
        std::string key = fk::DicKey(0x2101);
        EXPECT_EQ(fk::Text(key, "Name"), "Dictionary A");
        EXPECT_EQ(fk::Text(key, "FileName"), target);
        EXPECT_EQ(fk::Text(key, "PhoneDataFile"), folder + "\\a.snd");
        EXPECT_EQ(fk::Text(key, "ImageDataFile"), folder + "\\a.img");
        EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(0x2101, 1).c_str(), "LangID"), 0x0100u) << "a number";
        EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(0x2101, 2).c_str(), "LangID"), 0x0700u);
        EXPECT_EQ(fk::Text(fk::DicKey(0x2101, 2), "NickName"), "A-de");
        EXPECT_FALSE(fk::KeyExists(fk::DicKey(0x2101, 3)));
        EXPECT_NE(Basekit_SettingsReadDword(fk::DicKey(0x2101, 1).c_str(), "Color"),
                  Basekit_SettingsReadDword(fk::DicKey(0x2101, 2).c_str(), "Color"));
        EXPECT_EQ(fk::Group1(), (std::vector<DWORD>{0x210100, 0x210101}));
        // The header's languages: German has a script, English is the product's own.
        EXPECT_EQ(fk::Text(LanguageKey(0x0700), "FileName"), "lingo_de.dll");
        EXPECT_FALSE(fk::KeyExists(LanguageKey(0x0100)));
        if (copy) {
            EXPECT_EQ(fk::ReadAllFile(target), fk::ReadAllFile(source));
            EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "the copy is writable";
            EXPECT_EQ(fk::ReadAllFile(folder + "\\a.snd"), "sound");
        }
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);

        env.Restart();
        fk::SearchResult found = fk::Search(0x210100, "apple");
        EXPECT_TRUE(found.opened);
        EXPECT_EQ(found.headwords, std::vector<std::string>{"apple"});
    }
}

TEST(DictionaryFiles, TheOverwriteQuestionAndItsAnswerForTheRest)
{
    fk::Env env("overwrite");
    Questions();
    std::string source = env.drive1 + "\\d\\a.dic", target = std::string(env.st.myDicFolder) + "\\a.dic";
    fk::WriteStaticDic(source, 0x2101, {fk::E("apple", "a fruit")});
    fk::Write(target, "older file");
    // No: counted as done, the older file stays.
    g_overwriteAnswer = IDNO;
    EXPECT_EQ(Finder_CopyWithQuestion(&env.st, source.c_str(), target.c_str()), 1);
    EXPECT_EQ(fk::ReadAllFile(target), "older file");
    EXPECT_EQ(g_overwriteAsked, 1);
    // Yes for the rest: this and every later copy replaces without asking.
    g_overwriteAnswer = IDYES;
    g_overwriteSame = 1;
    EXPECT_EQ(Finder_CopyWithQuestion(&env.st, source.c_str(), target.c_str()), 1);
    EXPECT_EQ(fk::ReadAllFile(target), fk::ReadAllFile(source));
    fk::Write(target, "older again");
    g_overwriteAnswer = IDNO;
    EXPECT_EQ(Finder_CopyWithQuestion(&env.st, source.c_str(), target.c_str()), 1);
    EXPECT_EQ(g_overwriteAsked, 2) << "not asked again";
    EXPECT_EQ(fk::ReadAllFile(target), fk::ReadAllFile(source));
}

TEST(DictionaryFiles, StopsWithoutAHalfEntry)
{
    fk::Env env("dic_stops");
    Questions();
    std::string source = env.drive1 + "\\a.dic";
    fk::WriteStaticDic(source, 0x2101, {fk::E("apple", "a fruit")});
    struct Case {
        const char *what;
        std::vector<fk::NamesEntry> names;
    } cases[] = {
        {"no name in the names file", {{0x2101, "", {{0x0100, "A"}}}}},
        {"no sub-dictionary in the names file", {{0x2101, "Dictionary A", {}}}},
    };
    for (const Case &c : cases) {
        env.Names(c.names);
        VLFoundDic rec = Record(FINDER_KIND_DIC, source, "Dictionary A", 0x2101);
        EXPECT_EQ(Finder_Register(&env.st, &rec, 0), 0) << c.what;
        EXPECT_FALSE(fk::KeyExists(fk::DicKey(0x2101))) << c.what;
    }
    fk::Write(env.drive1 + "\\bad.dic", "not a dictionary file, but long enough to have a header of its own");
    VLFoundDic bad = Record(FINDER_KIND_DIC, env.drive1 + "\\bad.dic", "Bad", 0x2101);
    EXPECT_EQ(Finder_Register(&env.st, &bad, 0), 0) << "wrong magic";
    EXPECT_TRUE(fk::Group1().empty());
}

TEST(Languages, MergedOnceAndNeverOverARegisteredOne)
{
    fk::Env env("languages");
    Basekit_SettingsWriteString(LanguageKey(0x0600).c_str(), "FileName", "mine.dll");
    Finder_EnsureLanguage(&env.st, 0x0600);
    EXPECT_EQ(fk::Text(LanguageKey(0x0600), "FileName"), "mine.dll");
    EXPECT_FALSE(fk::KeyExists(LanguageKey(0x0600) + "\\Display"));
    Finder_EnsureLanguage(&env.st, 0x0b00);
    EXPECT_EQ(fk::Text(LanguageKey(0x0b00), "FileName"), "lingo_nl.dll");
    EXPECT_TRUE(fk::KeyExists(LanguageKey(0x0b00) + "\\Search"));
    Basekit_SettingsWriteString(LanguageKey(0x0b00).c_str(), "Name", "changed by the user");
    Finder_EnsureLanguage(&env.st, 0x0b00);
    EXPECT_EQ(fk::Text(LanguageKey(0x0b00), "Name"), "changed by the user") << "not merged again";
    Finder_EnsureLanguage(&env.st, 0x7700);  // no script: nothing
    EXPECT_FALSE(fk::KeyExists(LanguageKey(0x7700)));
}

TEST(AddOns, CopiedByTheEngineUnderANewIdWithTheFoundFilesUntouched)
{
    for (int copy = 0; copy <= 1; copy++) {
        fk::Env env(copy ? "addon_copy" : "addon_place");
        Questions();
        std::string found = env.drive1 + "\\user\\addon.dic";
        DWORD oldId = fk::WriteUserDic(found, {"kiwi", "lime"});
        // Another user dictionary takes the first user id meanwhile.
        DWORD other = Lexicore_CreateUserDic((env.root + "\\other.rdc").c_str(), "Other", "O", 0, 1, 0x0100, 0x0100);
        ASSERT_EQ(other, oldId);
        std::string before = fk::ReadAllFile(found);
        VLFoundDic rec = Record(FINDER_KIND_ADDON, found, "Add-on", (int)oldId);
        EXPECT_EQ(Finder_Register(&env.st, &rec, copy), 1);
        EXPECT_EQ(env.st.registered, 1);
        EXPECT_EQ(fk::ReadAllFile(found), before) << "the found file is left as it was";

        DWORD newId = oldId + 1;
        char expected[MAX_PATH];
        snprintf(expected, sizeof expected, "%s\\VV4D%04x.dic", env.st.myDicFolder, (unsigned)newId);
        EXPECT_EQ(std::string(rec.targetPath), expected);
        EXPECT_TRUE(fk::Exists(expected));
        EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(newId).c_str(), "Regist"), 1u);
        EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(other).c_str(), "Regist"), 0u);
        HKEY machine;
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, fk::DicKey(oldId).c_str(), 0, KEY_READ, &machine), ERROR_SUCCESS)
            << "nothing is written below another root";
        env.Restart();
        DicProperty property;
        memset(&property, 0, sizeof property);
        property.size = sizeof property;
        ASSERT_TRUE(Lexicore_GetDicProperty(newId << 8, &property));
        EXPECT_STREQ(property.name, "Add-on") << "the name it was found by";
        fk::SearchResult r = fk::Search(newId << 8, "kiwi");
        EXPECT_TRUE(r.opened);
        EXPECT_EQ(r.headwords, std::vector<std::string>{"kiwi"});
    }
}

TEST(Engines, RegisteredFromTheirScripts)
{
    fk::Env env("engines");
    VLFoundDic rec = Record(FINDER_KIND_ENGINE, env.program + "\\ddtranslate.dll",
                            "Velomira Translator (English-Japanese)", 121);
    EXPECT_EQ(Finder_Register(&env.st, &rec, 1), 1);
    std::string key = fk::DicKey(0x1010);
    EXPECT_EQ(fk::Text(key, "FileName"), "ddtranslate.dll");
    EXPECT_EQ(fk::Text(key, "Name"), "Velomira Translator (English-Japanese)");
    EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(0x1010, 1).c_str(), "LangID"), 0x0400u);
    EXPECT_EQ(fk::Text(fk::DicKey(0x1010, 1), "NickName"), "EJ");
    // The engine loads the library (beside the test program) and translates through it.
    env.Restart();
    fk::SearchResult r = fk::Translate(0x101000, "apple");
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.headwords.size(), 1u);
    // The tests' own script for the sample engine.
    VLFoundDic sample = Record(FINDER_KIND_ENGINE, env.program + "\\ddsample.dll", "Sample translator", 650);
    EXPECT_EQ(Finder_Register(&env.st, &sample, 0), 1);
    env.Restart();
    r = fk::Translate(0x137700, "word");
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.headwords, (std::vector<std::string>{"word-1", "word-2", "word-3"}));
    VLFoundDic missing = Record(FINDER_KIND_ENGINE, env.program + "\\none.dll", "None", 600);
    EXPECT_EQ(Finder_Register(&env.st, &missing, 0), 0) << "no such script";
}

struct BookEnv : fk::Env {
    std::string catalogs, body;
    explicit BookEnv(const char *name, BYTE type = 0x00, const std::string &title = kTitleJis) : fk::Env(name)
    {
        catalogs = drive2 + "\\ebook\\CATALOGS";
        body = drive2 + "\\ebook\\BOOK1\\Data\\Honmon";
        fk::Write(catalogs, fk::Catalogs({{"BOOK1", title, type, {"GAI16H", "GAI24H"}}}));
        fk::Write(body, fk::BookBody({"apple", "pear"}));
        fk::Write(drive2 + "\\ebook\\BOOK1\\Data\\Gaiji\\GAI16H", std::string(3072, '\0'));
        Questions();
    }
    VLFoundDic Found()
    {
        VLFoundDic r = Record(FINDER_KIND_BOOK, body, kTitleSjis, 0);
        Finder_Copy(r.catalogPath, catalogs.c_str(), sizeof r.catalogPath);
        return r;
    }
};

TEST(Books, RegisteredInPlaceWithPairFontsAndGroup)
{
    BookEnv env("book_place");
    VLFoundDic rec = env.Found();
    EXPECT_EQ(Finder_Register(&env.st, &rec, 0), 1);
    std::string key = fk::DicKey(0xD000);
    EXPECT_EQ(fk::Text(key, "Name"), kTitleSjis);
    EXPECT_EQ(fk::Text(key, "FileName"), env.body);
    EXPECT_EQ(fk::Text(key, "Type"), "EPWING");
    EXPECT_EQ(fk::Text(key, "FontFileName#0"), env.drive2 + "\\ebook\\BOOK1\\Data\\Gaiji\\GAI16H");
    EXPECT_EQ(fk::Text(key, "FontFileName#1"), "<none>") << "a font file that is not there";
    EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(0xD000, 1).c_str(), "LangID"), 0x0100u);
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000, 1), "NickName"), kTitleSjis) << "one pair: the name alone";
    EXPECT_EQ(fk::Group1(), std::vector<DWORD>{0xD00000}) << "the book's dictionary id, not its key number";
    // Registered already (the same body file in another case): done, no second key.
    VLFoundDic again = env.Found();
    CharLowerA(again.path);
    EXPECT_EQ(Finder_Register(&env.st, &again, 0), 1);
    EXPECT_FALSE(fk::KeyExists(fk::DicKey(0xD001)));

    env.Restart();
    fk::SearchResult r = fk::Search(0xD00000, "apple");
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.headwords, std::vector<std::string>{"apple"});
}

TEST(Books, CopiedIntoTheNamedFolder)
{
    BookEnv env("book_copy");
    VLFoundDic rec = env.Found();
    g_folderName = "";
    EXPECT_EQ(Finder_Register(&env.st, &rec, 1), 0) << "the name dialog cancelled";
    EXPECT_FALSE(fk::KeyExists(fk::DicKey(0xD000)));
    g_folderName = "Copied Book";
    EXPECT_EQ(Finder_Register(&env.st, &rec, 1), 1);
    std::string dest = std::string(env.st.myDicFolder) + "\\Copied Book";
    EXPECT_EQ(fk::ReadAllFile(dest + "\\CATALOGS"), fk::ReadAllFile(env.catalogs));
    EXPECT_EQ(fk::ReadAllFile(dest + "\\BOOK1\\Data\\Honmon"), fk::ReadAllFile(env.body));
    EXPECT_TRUE(fk::Exists(dest + "\\BOOK1\\Data\\Gaiji\\GAI16H"));
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000), "FileName"), dest + "\\BOOK1\\Data\\Honmon");
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000), "FontFileName#0"), dest + "\\BOOK1\\Data\\Gaiji\\GAI16H");
    env.Restart();
    EXPECT_EQ(fk::Search(0xD00000, "pear").headwords, std::vector<std::string>{"pear"});
}

namespace {
bool g_allTaken = false;
int g_takenBelow = 0;
bool FakeKeyExists(const char *path)
{
    const char *id = strrchr(path, '\\');
    unsigned v = id ? (unsigned)strtoul(id + 1, nullptr, 16) : 0;
    return g_allTaken || (int)v < g_takenBelow;
}
}  // namespace

TEST(Books, KeysFromD000AndNoneWhenAllAreTaken)
{
    BookEnv env("book_keys");
    bool (*saved)(const char *) = g_finderKeyExists;
    g_finderKeyExists = FakeKeyExists;
    g_takenBelow = 0xD005;
    EXPECT_EQ(Finder_FreeBookId(), 0xD005u);
    g_allTaken = true;
    EXPECT_EQ(Finder_FreeBookId(), 0u);
    VLFoundDic rec = env.Found();
    std::string before = fk::SettingsSnapshot();
    EXPECT_EQ(Finder_Register(&env.st, &rec, 0), 0);
    EXPECT_EQ(fk::SettingsSnapshot(), before) << "nothing written";
    g_allTaken = false;
    g_takenBelow = 0;
    g_finderKeyExists = saved;
    EXPECT_FALSE(fk::KeyExists(fk::DicKey(0xD000)));
    EXPECT_TRUE(fk::Group1().empty());
}

TEST(Books, LanguagePairsByTitleTableTypeAndIndexPage)
{
    fk::Env env("pairs");
    // A body file whose index page lists a backward index, and one that does not.
    std::string withBack = env.root + "\\back.bin", without = env.root + "\\noback.bin";
    std::string page(2048, '\0');
    page[1] = 2;
    page[16] = '\x91';
    std::string back = page;
    back[32] = '\x70';
    page[32] = '\x21';
    fk::Write(withBack, back);
    fk::Write(without, page);
    const char *ej = "\x89\x70\x98\x61", *je = "\x98\x61\x89\x70";
    struct Case {
        const char *what;
        BYTE type;
        std::string title;
        std::string body;
        std::vector<std::pair<WORD, std::string>> pairs;
    } cases[] = {
        {"E-J word", 0x00, "\x89\x70\x98\x61\x8E\xAB\x93\x54", without, {{0x0100, ej}}},
        {"both words", 0x00, "\x89\x70\x98\x61\x81\x45\x98\x61\x89\x70", without, {{0x0100, ej}, {0x0400, je}}},
        {"French-Japanese word", 0x00, "\x95\xA7\x98\x61", without, {{0x0600, "\x95\xA7\x98\x61"}}},
        {"German both ways", 0x00, "\x98\x61\x93\xC6\x93\xC6\x98\x61",
         without, {{0x0700, "\x93\xC6\x98\x61"}, {0x0400, "\x98\x61\x93\xC6"}}},
        {"the word across a character", 0x00, "\x82\x89\x70\x98\x61", without, {{0x0400, ""}}},
        {"title words only with type 0", 0x20, "\x89\x70\x98\x61", without, {{0x0100, ej}}},
        {"table row: a title word", 0x20, "\x8E\xA9\x95\xA7\x98\x61", without, {{0x0600, ""}}},
        {"table row: a title of two pairs", 0x20, "\x89\x70\x8C\xEA\x8E\xAB\x93\x54", without,
         {{0x0100, ej}, {0x0400, je}}},
        {"a Japanese type", 0x40, "\x82\xA0", without, {{0x0400, ""}}},
        {"index page with a backward index", 0x20, "\x82\xA0", withBack, {{0x0100, ej}, {0x0400, je}}},
        {"index page without", 0x21, "\x82\xA0", without, {{0x0100, ej}}},
    };
    for (const Case &c : cases) {
        FinderBook book;
        memset(&book, 0, sizeof book);
        book.type[0] = c.type;
        book.indexPage = 1;
        Finder_Copy(book.title, c.title.c_str(), sizeof book.title);
        std::vector<FinderPair> pairs = Finder_BookPairs(&env.st, book, c.body.c_str());
        std::vector<std::pair<WORD, std::string>> got;
        for (const FinderPair &p : pairs) got.push_back({p.language, p.label});
        EXPECT_EQ(got, c.pairs) << c.what;
    }
    env.st.uiCharset = ANSI_CHARSET;
    FinderBook book;
    memset(&book, 0, sizeof book);
    Finder_Copy(book.title, "\x89\x70\x98\x61\x81\x45\x98\x61\x89\x70", sizeof book.title);
    std::vector<FinderPair> pairs = Finder_BookPairs(&env.st, book, without.c_str());
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].label, "E->J") << "ASCII labels outside a Japanese interface";
    EXPECT_EQ(pairs[1].label, "J->E");
}

TEST(Books, TwoPairsGiveTwoSubDictionaries)
{
    BookEnv env("book_two", 0x00, "\x31\x51\x4F\x42\x21\x26\x4F\x42\x31\x51");  // "英和・和英"
    VLFoundDic rec = env.Found();
    Finder_Copy(rec.name, "EJ Book", sizeof rec.name);
    EXPECT_EQ(Finder_Register(&env.st, &rec, 0), 1);
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000, 1), "NickName"), "EJ Book(\x89\x70\x98\x61)");
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000, 2), "NickName"), "EJ Book(\x98\x61\x89\x70)");
    EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(0xD000, 2).c_str(), "LangID"), 0x0400u);
    EXPECT_EQ(fk::Group1(), (std::vector<DWORD>{0xD00000, 0xD00001}));
}

TEST(Books, AskedForANameOutsideAJapaneseInterface)
{
    BookEnv env("book_title");
    env.st.uiCharset = ANSI_CHARSET;
    VLFoundDic rec = env.Found();
    EXPECT_EQ(Finder_Register(&env.st, &rec, 0), 1);
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000), "Name"), "Typed Title");
}

TEST(Indexes, ConvertedAndRegisteredAsBooks)
{
    fk::Env env("indexes");
    Questions();
    fk::Write(env.program + "\\Idxconvert.exe", fk::ReadAllFile(fk::BinFolder() + "\\Idxconvert.exe"));
    std::string index = env.drive1 + "\\idx\\fruit.idx";
    fk::Write(index, fk::BookIndex("Fruit Book", {"apple", "banana", "cherry"}));
    ASSERT_TRUE(Finder_CreateFolder(env.st.myDicFolder, true));
    VLFoundDic rec = Record(FINDER_KIND_INDEX, index, "Fruit Book", 1);
    EXPECT_EQ(Finder_Register(&env.st, &rec, 0), 1);
    EXPECT_EQ(env.st.registered, 1);
    EXPECT_EQ(rec.kind, FINDER_KIND_BOOK);
    std::string body = std::string(env.st.myDicFolder) + "\\Fruit Book\\BOOK\\Data\\Honmon";
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000), "FileName"), body);
    EXPECT_EQ(fk::Group1(), std::vector<DWORD>{0xD00000});
    env.Restart();
    fk::SearchResult r = fk::Search(0xD00000, "banana");
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.headwords.size(), 1u);
    // An index that the converter refuses registers nothing.
    fk::Write(env.drive1 + "\\idx\\empty.idx", fk::BookIndex("Empty Book", {}));
    VLFoundDic empty = Record(FINDER_KIND_INDEX, env.drive1 + "\\idx\\empty.idx", "Empty Book", 1);
    EXPECT_EQ(Finder_Register(&env.st, &empty, 0), 0);
    EXPECT_FALSE(fk::KeyExists(fk::DicKey(0xD001)));
}

namespace {
std::vector<int> g_draws;
size_t g_drawAt = 0;
int ScriptedRandom()
{
    int v = g_draws[g_drawAt % g_draws.size()];
    g_drawAt++;
    return v;
}
}  // namespace

TEST(Colours, NeverOneThatASubDictionaryHas)
{
    fk::Env env("colours");
    Basekit_SettingsWriteDword(fk::DicKey(0x2101, 1).c_str(), "Color", 0x030201);
    Basekit_SettingsWriteDword(fk::DicKey(0x2102, 2).c_str(), "Color", 0x060504);
    int (*saved)(void) = g_finderRandom;
    g_finderRandom = ScriptedRandom;
    // The first two draws give colours that are taken; the third is free.
    g_draws = {1, 2, 3, 4, 5, 6, 0x107, 0x208, 0x309};
    g_drawAt = 0;
    EXPECT_EQ(Finder_NewColour(), 0x090807u) << "each draw keeps its low byte: r1 low, r3 high";
    EXPECT_EQ(g_drawAt, 9u);
    // Every draw taken: after 0xFFFF draws the last one is used.
    g_draws = {1, 2, 3};
    g_drawAt = 0;
    EXPECT_EQ(Finder_NewColour(), 0x030201u);
    EXPECT_EQ(g_drawAt, 3u * 0xFFFF);
    g_finderRandom = saved;
}

TEST(Folders, EveryLevelAndALevelThatIsAFile)
{
    fk::Env env("folders");
    std::string deep = env.root + "\\a\\b b\\c";
    EXPECT_TRUE(Finder_CreateFolder(deep.c_str(), true));
    EXPECT_TRUE(fk::Exists(deep));
    EXPECT_TRUE(Finder_CreateFolder((deep + "\\").c_str(), true)) << "there already; trailing backslash";
    fk::Write(env.root + "\\file", "x");
    EXPECT_FALSE(Finder_CreateFolder((env.root + "\\file\\below").c_str(), true));
    EXPECT_FALSE(fk::Exists(env.root + "\\file\\below"));
}
