// Discovery over fixture drives (folders given as the drive list, never the machine's drives):
// the three recognisers and what each passes over, the search switches, drives that are folders
// of other drives, book catalogues and their titles, the engine probe with real engine libraries,
// cancelling from the progress box and by thread message, and the drive options' rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "finder_int.h"
#include "finder_res.h"
#include "finderkit.h"

namespace {

// "英和辞典" (English-Japanese dictionary) in JIS X 0208, followed by two JIS blanks.
const char kTitleJis[] = "\x31\x51\x4F\x42\x3C\x2D\x45\x35\x21\x21\x21\x21";
const char kTitleSjis[] = "\x89\x70\x98\x61\x8E\xAB\x93\x54";

void Register(DWORD fileId, const std::string &fileName, const std::string &name)
{
    Basekit_SettingsWriteString(fk::DicKey(fileId).c_str(), "FileName", fileName.c_str());
    Basekit_SettingsWriteString(fk::DicKey(fileId).c_str(), "Name", name.c_str());
    Basekit_SettingsWriteDword(fk::DicKey(fileId, 1).c_str(), "LangID", 0x0100);
}

int64_t FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    return ((int64_t)a.nFileSizeHigh << 32) | a.nFileSizeLow;
}

// The fixture drives: every kind of file the recognisers look at, and the look-alikes they pass over.
struct Fixture {
    DWORD userId = 0;
    int64_t bookSize = 0;
    std::string book1, userDic, a, keep, upper, newIdx;

    explicit Fixture(fk::Env &env)
    {
        const std::string d1 = env.drive1, d2 = env.drive2;
        std::vector<dicfix::Entry> words = {fk::E("apple", "a fruit"), fk::E("pear", "another fruit")};
        a = d1 + "\\dics\\a.dic";
        fk::WriteStaticDic(a, 0x2101, words);
        fk::WriteStaticDic(d1 + "\\dics\\nameless.dic", 0x2222, words);
        fk::WriteStaticDic(d1 + "\\dics\\known.dic", 0x2300, words);
        fk::WriteStaticDic(d1 + "\\dics\\excluded1.dic", 0x1095, words);
        fk::SetHeaderValue8(d1 + "\\dics\\excluded1.dic", 0x2F3B806);
        fk::WriteStaticDic(d1 + "\\dics\\excluded2.dic", 0x1095, words);
        fk::SetHeaderValue8(d1 + "\\dics\\excluded2.dic", 0x2F43922);
        fk::WriteStaticDic(d1 + "\\dics\\excluded3.dic", 0x2010, words);
        fk::SetHeaderValue8(d1 + "\\dics\\excluded3.dic", 0x3D69BC);
        keep = d1 + "\\dics\\kept.dic";
        fk::WriteStaticDic(keep, 0x1095, words);  // the same id with another header value is kept
        std::string shortDic = fk::ReadAllFile(a).substr(0, 383);
        fk::Write(d1 + "\\dics\\short.dic", shortDic);
        std::string wrong = fk::ReadAllFile(a);
        wrong[3] = 'X';
        fk::Write(d1 + "\\dics\\wrongmagic.dic", wrong);
        upper = d1 + "\\dics\\UPPER.DIC";
        fk::WriteStaticDic(upper, 0x2102, words);
        fk::Write(d1 + "\\dics\\notes.txt", "not a dictionary");
        userDic = d1 + "\\user\\addon.dic";
        userId = fk::WriteUserDic(userDic, {"kiwi"});

        // Books: one present, one without its body file, one registered already (other case).
        fk::Write(d2 + "\\books\\CATALOGS",
                  fk::Catalogs({{"BOOK1", kTitleJis, 0x00, {"GAI16H"}}, {"BOOK2", kTitleJis}, {"BOOK3", kTitleJis}}));
        book1 = d2 + "\\books\\BOOK1\\Data\\Honmon";
        fk::Write(book1, fk::BookBody({"apple", "pear"}));
        fk::Write(d2 + "\\books\\BOOK1\\Data\\Gaiji\\GAI16H", std::string(2048 + 1024, '\0'));
        fk::Write(d2 + "\\books\\BOOK3\\Data\\Honmon", fk::BookBody({"plum"}));
        bookSize = FileSize(book1) + 2048 + 1024;
        // A catalogue of a version the finder does not read.
        fk::Write(d2 + "\\v65\\CATALOGS", fk::Catalogs({{"BOOK1", kTitleJis}}, 65));
        fk::Write(d2 + "\\v65\\BOOK1\\Data\\Honmon", fk::BookBody({"apple"}));

        newIdx = d2 + "\\idx\\new.idx";
        fk::Write(newIdx, fk::BookIndex("New Index", {"apple"}));
        fk::Write(d2 + "\\idx\\known.idx", fk::BookIndex("Catalogued Title", {"apple"}));
        fk::Write(d2 + "\\idx\\plain.idx", "an idx file of some other program, long enough to be read in full..........");

        env.Names({{0x2101, "Dictionary A", {{0x0100, "A"}}},
                   {0x2300, "Known", {{0x0100, "K"}}},
                   {0x1095, "Excluded", {{0x0100, "X"}}},
                   {0x2010, "Excluded too", {{0x0100, "Y"}}},
                   {0x2102, "Upper", {{0x0100, "U"}}},
                   {userId, "Add-on", {{0x0100, "AO"}}}});
        Register(0x2300, d1 + "\\elsewhere\\known.dic", "Catalogued Title");
        std::string book3 = d2 + "\\books\\BOOK3\\Data\\Honmon";
        CharUpperA(&book3[0]);
        Register(0xD000, book3, "Book three");
        env.Restart();
    }
};

}  // namespace

TEST(Recognisers, ListWhatIsNewAndPassOverTheRest)
{
    fk::Env env("recognisers");
    Fixture fx(env);
    int count = Finder_Scan(&env.st, env.Drives().c_str());
    ASSERT_EQ(count, (int)env.st.found.size());
    auto found = env.ByPath();
    struct Expected {
        std::string path;
        int kind;
        std::string name;
        int64_t size;
        int id;
    } expected[] = {
        {fx.a, FINDER_KIND_DIC, "Dictionary A", FileSize(fx.a), 0x2101},
        {fx.keep, FINDER_KIND_DIC, "Excluded", FileSize(fx.keep), 0x1095},
        {fx.upper, FINDER_KIND_DIC, "Upper", FileSize(fx.upper), 0x2102},
        {fx.userDic, FINDER_KIND_ADDON, "Add-on", FileSize(fx.userDic), (int)fx.userId},
        {fx.book1, FINDER_KIND_BOOK, kTitleSjis, fx.bookSize, 0},
        {fx.newIdx, FINDER_KIND_INDEX, "New Index", FileSize(fx.newIdx), 1},
    };
    for (const Expected &e : expected) {
        ASSERT_TRUE(found.count(e.path)) << e.path;
        const VLFoundDic *r = found[e.path];
        EXPECT_EQ(r->kind, e.kind) << e.path;
        EXPECT_EQ(std::string(r->name), e.name) << e.path;
        EXPECT_EQ(r->size, e.size) << e.path;
        EXPECT_EQ(r->id, e.id) << e.path;
    }
    EXPECT_EQ(found.size(), sizeof expected / sizeof expected[0]) << "nothing else is listed";
    EXPECT_STREQ(found[fx.book1]->catalogPath, (env.drive2 + "\\books\\CATALOGS").c_str());
    // The engine libraries beside the finder are not there, so no engine is listed.
    for (const VLFoundDic &r : env.st.found) EXPECT_NE(r.kind, FINDER_KIND_ENGINE);
}

TEST(Recognisers, EachSwitchLooksForItsKindsOnly)
{
    fk::Env env("switches");
    Fixture fx(env);
    struct Case {
        DWORD search;
        std::vector<int> kinds;
    } cases[] = {
        {FINDER_SEARCH_DICS, {FINDER_KIND_DIC, FINDER_KIND_ADDON}},
        {FINDER_SEARCH_BOOKS, {FINDER_KIND_BOOK}},
        {FINDER_SEARCH_INDEXES, {FINDER_KIND_INDEX}},
        {FINDER_SEARCH_ENGINES, {}},
        {FINDER_SEARCH_DICS | FINDER_SEARCH_INDEXES, {FINDER_KIND_DIC, FINDER_KIND_ADDON, FINDER_KIND_INDEX}},
    };
    for (const Case &c : cases) {
        env.st.found.clear();
        env.st.search = c.search;
        EXPECT_GE(Finder_Scan(&env.st, env.Drives().c_str()), 0);
        std::vector<int> kinds;
        for (const VLFoundDic &r : env.st.found)
            if (std::find(kinds.begin(), kinds.end(), r.kind) == kinds.end()) kinds.push_back(r.kind);
        std::sort(kinds.begin(), kinds.end());
        EXPECT_EQ(kinds, c.kinds) << "switches " << c.search;
    }
}

TEST(Drives, AFolderOfAnotherDriveIsNotWalkedTwice)
{
    struct Case {
        std::vector<std::pair<const char *, const char *>> drives;  // root, real path
        std::vector<bool> covered;
    } cases[] = {
        {{{"C:\\", "\\Device\\HarddiskVolume1"}, {"X:\\", "\\??\\C:\\sub"}}, {false, true}},
        {{{"X:\\", "\\??\\C:\\sub"}, {"C:\\", "\\Device\\HarddiskVolume1"}}, {true, false}},
        {{{"C:\\", "C:\\"}, {"D:\\", "D:\\"}}, {false, false}},  // nothing known: the drive texts
        {{{"C:\\", "\\Device\\HarddiskVolume1"}, {"X:\\", "\\??\\c:\\sub"}}, {false, true}},
        {{{"C:\\", ""}, {"X:\\", "\\??\\C:\\sub"}}, {false, false}},  // C: has no real path
    };
    for (const Case &c : cases) {
        std::vector<FinderDrive> table;
        for (auto &d : c.drives) {
            FinderDrive fd;
            Finder_Copy(fd.root, d.first, sizeof fd.root);
            Finder_Copy(fd.realPath, d.second, sizeof fd.realPath);
            table.push_back(fd);
        }
        for (size_t i = 0; i < table.size(); i++)
            EXPECT_EQ(Finder_DriveCovered(table, i), c.covered[i]) << table[i].root << " " << table[i].realPath;
    }
}

static int FakeRealPath(const char *root, char *out, int cap)
{
    // The second fixture drive stands for a substituted folder of the first.
    if (strstr(root, "\\subst\\")) snprintf(out, cap, "\\??\\%s", root);
    return (int)strlen(out);
}

TEST(Drives, TheScanWalksACoveredDriveOnce)
{
    fk::Env env("covered");
    env.Names({{0x2101, "Dictionary A", {{0x0100, "A"}}}});
    fk::WriteStaticDic(env.drive1 + "\\subst\\a.dic", 0x2101, {fk::E("apple", "a fruit")});
    env.Restart();
    // A folder root inside another root, and the same through an injected real path.
    std::string lists[] = {env.drive1 + "\\;" + env.drive1 + "\\subst\\;",
                           env.drive1 + "\\subst\\;" + env.drive1 + "\\;"};
    for (const std::string &list : lists) {
        env.st.found.clear();
        EXPECT_EQ(Finder_Scan(&env.st, list.c_str()), 1) << list;
    }
    g_finderUi.realPath = FakeRealPath;
    std::vector<FinderDrive> table = Finder_DriveTable((env.drive1 + "\\;" + env.drive1 + "\\subst\\;").c_str());
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(std::string(table[1].realPath), "\\??\\" + env.drive1 + "\\subst\\");
    EXPECT_FALSE(Finder_DriveCovered(table, 0));
    EXPECT_TRUE(Finder_DriveCovered(table, 1));
    env.st.found.clear();
    EXPECT_EQ(Finder_Scan(&env.st, (env.drive1 + "\\;" + env.drive1 + "\\subst\\;").c_str()), 1);
}

TEST(Drives, ListsAndTheProgramsDrive)
{
    std::vector<std::string> roots = Finder_ParseDriveList("C:\\;d:;;Z:\\some folder\\;");
    EXPECT_EQ(roots, (std::vector<std::string>{"C:\\", "d:\\", "Z:\\some folder\\"}));
    std::string many;
    for (int i = 0; i < 30; i++) many += "C:\\;";
    EXPECT_EQ(Finder_ParseDriveList(many.c_str()).size(), 26u) << "at most 26 drives";
    EXPECT_TRUE(Finder_ParseDriveList("").empty());
    SetEnvironmentVariableA("LEXFINDER_DRIVES", nullptr);
    EXPECT_EQ(Finder_ProgramDriveList("E:\\Program\\Velosuite"), "E:\\;");
    SetEnvironmentVariableA("LEXFINDER_DRIVES", "Z:\\test\\d1\\;Z:\\test\\d2\\;");
    EXPECT_EQ(Finder_ProgramDriveList("E:\\Program\\Velosuite"), "Z:\\test\\d1\\;");
    EXPECT_EQ(Finder_LogicalDrives(), "Z:\\test\\d1\\;Z:\\test\\d2\\;");
    SetEnvironmentVariableA("LEXFINDER_DRIVES", nullptr);
}

TEST(Catalogs, TitlesFoldersAndFonts)
{
    struct Jis {
        std::string jis, sjis;
    } vectors[] = {
        {"\x21\x21", ""},                                              // a blank alone is cut
        {"\x24\x22", "\x82\xA0"},                                      // hiragana a
        {"\x30\x21", "\x88\x9F"},                                      // first kanji
        {"\x74\x26", "\xEA\xA4"},                                      // last row
        {"\x23\x41\x21\x21\x23\x42", "\x82\x60\x81\x40\x82\x61"},  // a blank between stays
        {std::string("\x23\x41\x00\x00\x23\x42", 6), "\x82\x60"},      // ends at a zero byte
        {"\x23\x41\x0A\x0A\x23\x42", "\x82\x60\x82\x61"},          // a pair outside JIS is left out
    };
    for (const Jis &v : vectors)
        EXPECT_EQ(Finder_JisToSjis((const BYTE *)v.jis.data(), v.jis.size()), v.sjis);

    std::vector<FinderBook> books;
    fk::BookSpec spec{"DIC", kTitleJis, 0x20, {"GAI16H", " SPACE", "", "GAI24F"}};
    ASSERT_TRUE(Finder_ParseCatalogs(fk::Catalogs({spec, {"SECOND", "\x23\x41"}}, 64), &books));
    ASSERT_EQ(books.size(), 2u);
    EXPECT_STREQ(books[0].title, kTitleSjis);
    EXPECT_STREQ(books[0].folder, "DIC");
    EXPECT_EQ(books[0].type[0], 0x20);
    EXPECT_EQ(books[0].indexPage, 1);
    EXPECT_STREQ(books[0].fonts[0], "GAI16H");
    EXPECT_STREQ(books[0].fonts[1], "") << "a name led by a blank is absent";
    EXPECT_STREQ(books[0].fonts[3], "GAI24F");
    EXPECT_STREQ(books[1].folder, "SECOND");
    EXPECT_FALSE(Finder_ParseCatalogs(fk::Catalogs({spec}, 65), &books)) << "second head number above 64";
    std::string shortFile = fk::Catalogs({spec, spec});
    shortFile.resize(shortFile.size() - 1);
    EXPECT_FALSE(Finder_ParseCatalogs(shortFile, &books)) << "a file shorter than its books";
    EXPECT_EQ(Finder_BookBodyPath("D:\\ebook\\CATALOGS", books.empty() ? FinderBook{} : books[0]),
              std::string("D:\\ebook\\\\Data\\Honmon"));
}

static int g_entriesSeen = 0;
static void CancelAfterThree(const char *)
{
    if (++g_entriesSeen == 3) PostThreadMessageA(GetCurrentThreadId(), FINDER_CANCEL_MESSAGE, 0, 0);
}

// Presses Cancel in the progress box, which runs on its own thread.
static void PressCancel(const char *)
{
    if (++g_entriesSeen != 2) return;
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
         w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && GetDlgItem(w, UIA_IDC_FP_PROGRESS))
            SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(w, IDCANCEL));
    }
}

TEST(Cancel, DuringTheWalkTheProbeOrFromTheBox)
{
    fk::Env env("cancel");
    Fixture fx(env);
    fk::Write(env.program + "\\ddsample.dll", fk::ReadAllFile(fk::BinFolder() + "\\ddsample.dll"));
    std::string before = fk::SettingsSnapshot();
    struct Case {
        const char *what;
        std::string drives;
        bool postFirst;
        void (*onEntry)(const char *);
        int box;
    } cases[] = {
        {"posted before the walk", env.Drives(), true, nullptr, 0},
        {"during the walk", env.Drives(), false, CancelAfterThree, 0},
        {"during the probe (no drives)", "", true, nullptr, 0},
        {"from the progress box", env.Drives(), false, PressCancel, 1},
    };
    for (const Case &c : cases) {
        env.st.found.clear();
        g_entriesSeen = 0;
        g_finderUi.onEntry = c.onEntry;
        g_finderUi.progressBox = c.box;
        if (c.postFirst) PostThreadMessageA(GetCurrentThreadId(), FINDER_CANCEL_MESSAGE, 0, 0);
        EXPECT_EQ(Finder_Scan(&env.st, c.drives.c_str()), -1) << c.what;
        EXPECT_TRUE(env.st.cancelled) << c.what;
        EXPECT_FALSE(Finder_TakeCancel()) << c.what << ": no cancel left over";
    }
    g_finderUi.onEntry = nullptr;
    g_finderUi.progressBox = 0;
    EXPECT_EQ(fk::SettingsSnapshot(), before) << "a cancelled scan registers nothing";
    // Without a cancel the same scan runs to the end, the probe included.
    env.st.found.clear();
    EXPECT_EQ(Finder_Scan(&env.st, "") , 1);
}

TEST(Probe, EngineLibrariesBesideTheFinder)
{
    fk::Env env("probe");
    const std::string bin = fk::BinFolder();
    const FinderEngineRow rows[] = {
        {0x1010, 121, 0x0100, 0x0400},  // ddtranslate.dll: listed
        {0x1377, 650, 0x0100, 0x0000},  // ddsample.dll: listed
        {0x1300, 600, 0x0100, 0x0000},  // no such script: passed over
    };
    env.st.engines = rows;
    env.st.engineCount = 3;
    // No library beside the finder: nothing.
    EXPECT_EQ(Finder_Scan(&env.st, ""), 0);
    // The libraries beside the finder: both listed, with the script's name and number.
    fk::Write(env.program + "\\ddtranslate.dll", fk::ReadAllFile(bin + "\\ddtranslate.dll"));
    fk::Write(env.program + "\\ddsample.dll", fk::ReadAllFile(bin + "\\ddsample.dll"));
    env.st.found.clear();
    ASSERT_EQ(Finder_Scan(&env.st, ""), 2);
    EXPECT_EQ(env.st.found[0].kind, FINDER_KIND_ENGINE);
    EXPECT_STREQ(env.st.found[0].name, "Velomira Translator (English-Japanese)");
    EXPECT_EQ(env.st.found[0].path, env.program + "\\ddtranslate.dll");
    EXPECT_EQ(env.st.found[0].size, 1000);
    EXPECT_EQ(env.st.found[0].id, 121);
    EXPECT_STREQ(env.st.found[1].name, "Sample translator");
    EXPECT_EQ(env.st.found[1].id, 650);
    // A row whose dictionary is registered already is passed over.
    Basekit_SettingsWriteString(fk::DicKey(0x1010).c_str(), "FileName", "ddtranslate.dll");
    env.st.found.clear();
    ASSERT_EQ(Finder_Scan(&env.st, ""), 1);
    EXPECT_EQ(env.st.found[0].id, 650);
    // A library without DDGetInfo is passed over.
    fk::Write(env.program + "\\ddsample.dll", fk::ReadAllFile(bin + "\\Uiassets.dll"));
    env.st.found.clear();
    EXPECT_EQ(Finder_Scan(&env.st, ""), 0);
    // With the engine switch off there is no probe.
    env.st.search = FINDER_SEARCH_DICS;
    Basekit_SettingsDeleteKey(nullptr, fk::DicKey(0x1010).c_str());
    env.st.found.clear();
    EXPECT_EQ(Finder_Scan(&env.st, ""), 0);
}

TEST(DriveOptions, WhatOkMakesOfTheRows)
{
    std::vector<std::string> roots = {"C:\\", "D:\\", "E:\\"};
    struct Case {
        bool chosen;
        std::vector<bool> checked;
        std::string list;
        bool none, save;
        std::string stored;
    } cases[] = {
        {false, {false, false, false}, "C:\\;D:\\;E:\\;", false, true, ""},  // all-drives mode
        {true, {true, true, true}, "C:\\;D:\\;E:\\;", false, true, ""},      // every row checked
        {true, {false, false, false}, "", true, true, "-1"},                  // none checked
        {true, {true, false, true}, "C:\\;E:\\;", false, false, ""},          // some: this run only
    };
    for (const Case &c : cases) {
        FinderDriveChoice choice = Finder_ChooseDrives(c.chosen, roots, c.checked);
        EXPECT_EQ(choice.list, c.list);
        EXPECT_EQ(choice.none, c.none);
        EXPECT_EQ(choice.save, c.save);
        if (c.save) {
            EXPECT_EQ(choice.stored, c.stored);
        }
    }
    EXPECT_EQ(Finder_InitialChecks(roots, "c:\\;e:\\;"), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(Finder_InitialChecks(roots, "-1"), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Finder_InitialChecks(roots, ""), (std::vector<bool>{false, false, false}));
}

TEST(DriveOptions, SizesInMegabytesAndGigabytes)
{
    struct Case {
        uint64_t bytes;
        bool gb;
        unsigned units, hundredths;
    } cases[] = {
        {0, false, 0, 0},
        {0x100000 - 1, false, 0, 99},
        {0x100000 + 0x100000 / 4, false, 1, 25},
        {0x40000000 - 1, false, 1023, 99},
        {0x40000000, true, 1, 0},
        {0x40000000ull * 11 / 2, true, 5, 50},
        {0x40000000ull * 7, true, 7, 0},  // above 4 GB: no 32-bit wrap
    };
    for (const Case &c : cases) {
        bool gb;
        unsigned units, hundredths;
        Finder_SizeParts(c.bytes, &gb, &units, &hundredths);
        EXPECT_EQ(gb, c.gb) << c.bytes;
        EXPECT_EQ(units, c.units) << c.bytes;
        EXPECT_EQ(hundredths, c.hundredths) << c.bytes;
    }
    EXPECT_EQ(Finder_FormatSize(0x40000000ull * 11 / 2), "5.50 GB");
    EXPECT_EQ(Finder_FormatSize(0x100000 + 0x100000 / 4), "1.25 MB");
}
