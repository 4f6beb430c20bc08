// The upgrade core without windows: the built-in tables, matching of old files by name, size and
// edition bytes, message files, the patch against damaged inputs, LZ copies, the catalogue entry
// in the settings file, the Chinese language registration and the scans of the older versions.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "fixtures/upgradefix.h"
#include "hostkit.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"

namespace {

std::string Hex4(DWORD id)
{
    char t[16];
    snprintf(t, sizeof t, "%04x", (unsigned)id);
    return t;
}

// The migration over a sandbox with a CD-ROM folder of two levels.
struct Sandbox : MigrateSandbox {
    explicit Sandbox(const char *name) : MigrateSandbox(name, {"cd\\disc", "cd\\disc\\deep"}) {}
    // Registers a version-4 file for the id in the catalogue.
    void Present(DWORD id)
    {
        std::string file = Path("install\\present" + Hex4(id) + ".dic");
        Testkit_WriteFile(file, std::string("v4"));
        char key[MAX_PATH];
        Migrate_CatalogueKey(id, key);
        Basekit_SettingsWriteString(key, "FileName", file.c_str());
    }
};

UpgradeRecord Record(const char *fileName, const char *title = "")
{
    UpgradeRecord r = {};
    Migrate_Copy(r.fileName, fileName, sizeof r.fileName);
    Migrate_Copy(r.title, title, sizeof r.title);
    return r;
}

}  // namespace

// ---- Tables ---------------------------------------------------------------------------------------

TEST(Tables, RowsAgreeWithEachOther)
{
    int known = 0, patches = 0, more = 0;
    const KnownFile *rows = Migrate_KnownFiles(&known);
    const VLPatchRow *patch = Migrate_PatchRows(&patches);
    const AdditionalDic *add = Migrate_AdditionalDics(&more);
    EXPECT_EQ(known, 54);
    EXPECT_EQ(patches, 40);
    EXPECT_EQ(more, 18);
    EXPECT_EQ(rows[known].size, 0u);
    EXPECT_EQ(patch[patches].newId, 0u);

    int sumRows = 0;
    for (int i = 0; i < known; i++) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_GT(rows[i].size, 0u);
        EXPECT_LT(strlen(rows[i].name), 64u);
        DWORD id = rows[i].newId;
        EXPECT_TRUE((id >= 4097 && id <= 4391) || (id >= 57347 && id <= 57354)) << "title string id";
        if (rows[i].flags & KNOWN_SUM_CHECK) {
            sumRows++;
            // The next row has the same name and size, and is the one taken without the bytes.
            EXPECT_STREQ(rows[i + 1].name, rows[i].name);
            EXPECT_EQ(rows[i + 1].size, rows[i].size);
            EXPECT_GE(rows[i].size, KNOWN_SUM_OFFSET + 8);
        }
        // No other two rows can be told apart by nothing.
        for (int j = i + 1; j < known; j++) {
            if ((rows[i].flags & KNOWN_SUM_CHECK) && j == i + 1) continue;
            EXPECT_FALSE(lstrcmpiA(rows[i].name, rows[j].name) == 0 && rows[i].size == rows[j].size)
                << rows[j].name;
        }
    }
    EXPECT_EQ(sumRows, 1);

    for (int i = 0; i < patches; i++) {
        char expected[16];
        snprintf(expected, sizeof expected, "VLV4%04d.wup", i + 1);
        EXPECT_STREQ(patch[i].name, expected);
        bool found = false;
        for (int k = 0; k < known; k++)
            found = found || (rows[k].product == patch[i].product && rows[k].newId == patch[i].newId);
        EXPECT_TRUE(found) << patch[i].name << " patches no known edition";
        EXPECT_EQ(Migrate_FindPatchRow(patch[i].product, patch[i].newId), &patch[i]);
    }
    for (int i = 0; i < more; i++) {
        // An additional dictionary is found on the CD-ROM like any old file and needs a patch.
        bool upgradable = false;
        for (int k = 0; k < known; k++)
            upgradable = upgradable || (lstrcmpiA(rows[k].name, add[i].name) == 0 &&
                                        rows[k].newId == add[i].newId &&
                                        Migrate_FindPatchRow(rows[k].product, rows[k].newId));
        EXPECT_TRUE(upgradable) << add[i].name;
    }
}

TEST(Tables, NamesAndIds)
{
    char base[32];
    Migrate_BaseFileName(0x1017, base, sizeof base);
    EXPECT_STREQ(base, "VLV41017.bdf");
    Migrate_BaseFileName(0xE00A, base, sizeof base);
    EXPECT_STREQ(base, "VLV4e00a.bdf");
    EXPECT_EQ(Migrate_FindPatchRow(0x30000201, 0x1001), nullptr);  // an edition without a patch
    EXPECT_TRUE(Migrate_IsKnownName("pocketej.dic"));
    EXPECT_FALSE(Migrate_IsKnownName("POCKETEJ.DIC2"));
    EXPECT_TRUE(Migrate_IsExcepted("Trial edition", "X.DIC"));
    EXPECT_TRUE(Migrate_IsExcepted("", "vlsample.dic"));
    EXPECT_FALSE(Migrate_IsExcepted("A Trial", "POCKETEJ.DIC"));
    EXPECT_TRUE(Migrate_IsSkippedEngine("VLEBOOK.DLL"));
    EXPECT_FALSE(Migrate_IsSkippedEngine("POCKETEJ.DLL"));

    struct {
        DWORD id, language;
        const char *script;
    } chinese[] = {{0x1003, 0x0200, "vlchs.reg"}, {0x1004, 0x0200, "vlchs.reg"},
                   {0xE003, 0x0200, "vlchs.reg"}, {0xE004, 0x0200, "vlchs.reg"},
                   {0xE007, 0x0200, "vlchs.reg"}, {0xE008, 0x0200, "vlchs.reg"},
                   {0xE005, 0x0300, "vlcht.reg"}, {0xE006, 0x0300, "vlcht.reg"},
                   {0xE009, 0x0300, "vlcht.reg"}, {0xE00A, 0x0300, "vlcht.reg"},
                   {0x1001, 0, nullptr},          {0xE002, 0, nullptr}};
    for (const auto &c : chinese) {
        DWORD language = 0;
        const char *script = nullptr;
        EXPECT_EQ(Migrate_ChineseLanguage(c.id, &language, &script), c.script != nullptr) << std::hex << c.id;
        EXPECT_EQ(language, c.language);
        if (c.script) {
            EXPECT_STREQ(script, c.script);
        }
    }
}

// ---- Matching -------------------------------------------------------------------------------------

TEST(Matching, ByNameWithoutCaseExactSizeAndEditionBytes)
{
    struct Case {
        const char *registered;   // the name the old settings give
        const char *onDisk;       // the file's name in the folder
        uint32_t size;
        bool sumNonZero;
        DWORD product;            // 0: no match
    } cases[] = {
        {"POCKETEJ.DIC", "POCKETEJ.DIC", 614400, true, 0x30000117},
        {"pocketej.dic", "PocketEJ.Dic", 614400, true, 0x30000117},
        {"POCKETEJ.DIC", "POCKETEJ.DIC", 614399, true, 0},
        {"POCKETEJ.DIC", "POCKETEJ.DIC", 614401, true, 0},
        {"UNKNOWN.DIC", "UNKNOWN.DIC", 614400, true, 0},
        {"EIWA3.DIC", "EIWA3.DIC", 18350080, true, 0x30000201},  // the edition without a patch
        {"GRANDEJ3.DIC", "GRANDEJ3.DIC", 7340032, true, 0x3000010A},
        {"GRANDEJ3.DIC", "GRANDEJ3.DIC", 7340032, false, 0x3000010B},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.registered) + " " + std::to_string(c.size) + (c.sumNonZero ? " sum" : " zero"));
        Sandbox box("match");
        box.Write(std::string("v3\\Program\\") + c.onDisk, upfix::OldFile(c.size, 1, c.sumNonZero));
        UpgradeRecord r = Record(c.registered);
        bool matched = Migrate_FindFile(&box.m, &r, FIND_V3, box.m.env.v3Folder);
        EXPECT_EQ(matched, c.product != 0);
        EXPECT_EQ(r.matched, c.product != 0);
        EXPECT_EQ(r.product, c.product);
        if (c.product) {
            EXPECT_EQ(lstrcmpiA(r.path, box.Path(std::string("v3\\Program\\") + c.onDisk).c_str()), 0) << r.path;
            ASSERT_EQ(box.m.matched.size(), 1u);
            EXPECT_EQ(box.m.matched[0].row.product, c.product);
        }
    }
}

TEST(Matching, CdSearchesSubFoldersAndAPresentDictionaryCountsAsDone)
{
    Sandbox box("cdmatch");
    box.Write("cd\\disc\\deep\\POCKETJE.DIC", upfix::OldFile(573440, 2));
    UpgradeRecord r = Record("POCKETJE.DIC");
    EXPECT_FALSE(Migrate_FindFile(&box.m, &r, FIND_V3, box.m.env.v3Folder));
    EXPECT_TRUE(Migrate_FindFile(&box.m, &r, FIND_CD, box.m.env.cdFolder));
    EXPECT_EQ(r.newId, 0x1018u);
    EXPECT_FALSE(r.present);
    EXPECT_EQ(box.m.matched.size(), 1u);

    // With a usable version-4 file for the new id the record is done and not listed.
    box.Present(0x1018);
    UpgradeRecord again = Record("POCKETJE.DIC");
    box.m.matched.clear();
    EXPECT_TRUE(Migrate_FindFile(&box.m, &again, FIND_CD, box.m.env.cdFolder));
    EXPECT_TRUE(again.present);
    EXPECT_TRUE(box.m.matched.empty());
}

TEST(Matching, UsableFileRules)
{
    Sandbox box("usable");
    char key[MAX_PATH];
    Migrate_CatalogueKey(0x1005, key);
    EXPECT_FALSE(Migrate_UsableFile(&box.m.env, 0x1005, nullptr));
    // A named file that is not there is not usable.
    Basekit_SettingsWriteString(key, "FileName", box.Path("install\\missing.dic").c_str());
    EXPECT_FALSE(Migrate_UsableFile(&box.m.env, 0x1005, nullptr));
    // A full path is taken as it is.
    box.Write("elsewhere.dic", upfix::Bytes(10));
    Basekit_SettingsWriteString(key, "FileName", box.Path("elsewhere.dic").c_str());
    char path[MAX_PATH];
    EXPECT_TRUE(Migrate_UsableFile(&box.m.env, 0x1005, path));
    EXPECT_STREQ(path, box.Path("elsewhere.dic").c_str());
    // A bare name lies in the install folder (no version-4 install value in this machine store).
    box.Write("install\\bare.dic", upfix::Bytes(10));
    Basekit_SettingsWriteString(key, "FileName", "bare.dic");
    EXPECT_TRUE(Migrate_UsableFile(&box.m.env, 0x1005, path));
    EXPECT_STREQ(path, box.Path("install\\bare.dic").c_str());
}

// ---- Message files --------------------------------------------------------------------------------

TEST(MessageFiles, EscapesDecodeToBytesAndBrokenOnesStayText)
{
    struct {
        const char *in, *out;
    } cases[] = {
        {"plain", "plain"},
        {"\\x8a\\xbf", "\x8a\xbf"},             // two bytes of a Shift-JIS character
        {"A\\x41\\X42z", "AABz"},
        {"\\x4", "\x04"},                        // one digit at the end
        {"\\x4g", "\x04g"},
        {"\\x", "\\x"},                          // no digit: kept as it is
        {"\\xZZ", "\\xZZ"},
        {"tail\\", "tail\\"},
        {"\\x00after", ""},                      // a zero byte ends the text
        {"\\x414", "A4"},                        // two digits at most
    };
    for (const auto &c : cases) {
        char out[64];
        int n = Migrate_DecodeEscapes(c.in, out, sizeof out);
        EXPECT_STREQ(out, c.out) << c.in;
        EXPECT_EQ(n, (int)strlen(c.out));
    }
    // Never past the buffer.
    char small[4];
    EXPECT_EQ(Migrate_DecodeEscapes("\\x41\\x42\\x43\\x44\\x45", small, sizeof small), 3);
    EXPECT_STREQ(small, "ABC");
}

TEST(MessageFiles, JapaneseUnderCodePage932ElseEnglish)
{
    Sandbox box("msg");
    std::string dic = box.Path("v2\\MINIEJ2.DIC");
    Testkit_WriteFile(box.Path("v2\\MINIEJ2.msg"),
                      std::string("[Message]\r\njpn=\\x83\\x7e\\x83\\x6a EJ\r\nenu=Mini EJ\r\n"));
    char title[64];
    ASSERT_TRUE(Migrate_MessageTitle(dic.c_str(), 932, title, sizeof title));
    EXPECT_STREQ(title, "\x83\x7e\x83\x6a EJ");  // "ミニ EJ" in Shift-JIS
    ASSERT_TRUE(Migrate_MessageTitle(dic.c_str(), 1252, title, sizeof title));
    EXPECT_STREQ(title, "Mini EJ");
    EXPECT_FALSE(Migrate_MessageTitle(box.Path("v2\\OTHER.DIC").c_str(), 932, title, sizeof title));

    // Found through a version-2 or CD search, the message file gives the record its title.
    box.Write("v2\\MINIEJ2.DIC", upfix::OldFile(532480, 3));
    UpgradeRecord r = Record("MINIEJ2.DIC");
    ASSERT_TRUE(Migrate_FindFile(&box.m, &r, FIND_V2, box.m.env.v2Folder));
    EXPECT_STREQ(r.title, GetACP() == 932 ? "\x83\x7e\x83\x6a EJ" : "Mini EJ");
}

// ---- The patch --------------------------------------------------------------------------------------

TEST(Patch, TurnsTheOldFileIntoTheTargetByteForByte)
{
    Sandbox box("patch");
    upfix::Bytes old = upfix::OldFile(5000, 7), target = upfix::OldFile(3000, 8);
    upfix::PatchSet set = upfix::MakePatch(old, target, upfix::Cover(3000), {0x0100, 0x0400});
    box.Write("old.dic", old);
    box.Write("p.wup", set.patch);
    box.Write("b.bdf", set.base);
    DWORD languages[16];
    int count = 0;
    ASSERT_EQ(Migrate_ReadPatchHeader(box.Path("p.wup").c_str(), languages, &count), PATCH_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(languages[0], 0x0100u);
    EXPECT_EQ(languages[1], 0x0400u);
    EXPECT_EQ(Migrate_ApplyPatch(box.Path("old.dic").c_str(), box.Path("p.wup").c_str(),
                                 box.Path("b.bdf").c_str()), PATCH_OK);
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("b.bdf")) == target);
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("old.dic")) == old);
}

TEST(Patch, DamagedPatchesFailAndTheOldFileStays)
{
    upfix::Bytes old = upfix::OldFile(4096, 9), target = upfix::OldFile(4096, 10);
    std::vector<upfix::Record> good = {{0, 100}, {200, 0}, {100, 50}};
    auto base = [&](std::vector<uint32_t> langs = {0x0100}) {
        return upfix::MakePatch(old, target, good, langs).patch;
    };
    auto append = [](upfix::Bytes b, std::initializer_list<uint32_t> words) {
        for (uint32_t w : words) upfix::Put32(b, w);
        return b;
    };
    upfix::Bytes shortHeader = upfix::PatchHeader({});
    shortHeader.resize(71);
    upfix::Bytes ninthByte = base();
    ninthByte[8] = 1;  // "VLV4DIFF" must be followed by a zero byte
    upfix::Bytes magic = base();
    magic[3] = '3';
    upfix::Bytes cutData = base();
    cutData.resize(cutData.size() - 1);
    upfix::Bytes cutHead = append(base(), {300});
    cutHead.resize(cutHead.size() - 1);  // 3 bytes of a record head
    struct Case {
        const char *what;
        upfix::Bytes patch;
        int result;
    } cases[] = {
        {"good", base(), PATCH_OK},
        {"no languages", base({}), PATCH_OK},
        {"short header", shortHeader, PATCH_BAD_HEADER},
        {"empty file", upfix::Bytes(), PATCH_BAD_HEADER},
        {"ninth byte not zero", ninthByte, PATCH_BAD_HEADER},
        {"other magic", magic, PATCH_BAD_HEADER},
        {"record data cut off", cutData, PATCH_BAD_RECORD},
        {"record head cut off", cutHead, PATCH_BAD_RECORD},
        {"record past the old file", append(base(), {4000, 97}), PATCH_READ_FAILED},
        {"huge length", append(base(), {0, 0xFFFFFFF0u}), PATCH_READ_FAILED},
        {"zero length far away", append(base(), {0xFFFFFF00u, 0}), PATCH_OK},
        {"length past the data", append(base(), {0, 4096}), PATCH_BAD_RECORD},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox box("damaged");
        box.Write("old.dic", old);
        box.Write("p.wup", c.patch);
        box.Write("b.bdf", upfix::Bytes(4096, 0xEE));
        EXPECT_EQ(Migrate_ApplyPatch(box.Path("old.dic").c_str(), box.Path("p.wup").c_str(),
                                     box.Path("b.bdf").c_str()), c.result);
        EXPECT_TRUE(Testkit_ReadBytes(box.Path("old.dic")) == old);
        if (c.result == PATCH_OK) {
            upfix::Bytes b = Testkit_ReadBytes(box.Path("b.bdf"));
            EXPECT_TRUE(std::equal(target.begin(), target.begin() + 150, b.begin()));
            EXPECT_EQ(b[150], 0xEE);
        }
    }
    // A missing base, old or patch file.
    Sandbox box("missing");
    box.Write("old.dic", old);
    box.Write("p.wup", base());
    EXPECT_EQ(Migrate_ApplyPatch(box.Path("old.dic").c_str(), box.Path("p.wup").c_str(),
                                 box.Path("b.bdf").c_str()), PATCH_OPEN_FAILED);
    EXPECT_FALSE(Testkit_Exists(box.Path("b.bdf")));
    box.Write("b.bdf", upfix::Bytes(4096));
    EXPECT_EQ(Migrate_ApplyPatch(box.Path("none.dic").c_str(), box.Path("p.wup").c_str(),
                                 box.Path("b.bdf").c_str()), PATCH_OPEN_FAILED);
    EXPECT_EQ(Migrate_ApplyPatch(box.Path("old.dic").c_str(), box.Path("none.wup").c_str(),
                                 box.Path("b.bdf").c_str()), PATCH_OPEN_FAILED);
}

// ---- Copies -------------------------------------------------------------------------------------------

TEST(LzCopy, ExpandsCompressedFilesAndCopiesPlainOnes)
{
    Sandbox box("lz");
    upfix::Bytes plain = upfix::OldFile(70001, 11);  // more than one block of the copy
    box.Write("packed.wup", upfix::Szdd(plain));
    box.Write("plain.wup", plain);
    ASSERT_TRUE(Migrate_LzCopy(box.Path("packed.wup").c_str(), box.Path("install\\a.wup").c_str()));
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\a.wup")) == plain);
    ASSERT_TRUE(Migrate_LzCopy(box.Path("plain.wup").c_str(), box.Path("install\\b.wup").c_str()));
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\b.wup")) == plain);
    EXPECT_FALSE(Migrate_LzCopy(box.Path("none.wup").c_str(), box.Path("install\\c.wup").c_str()));
    EXPECT_FALSE(Testkit_Exists(box.Path("install\\c.wup")));
}

// ---- Catalogue and language ---------------------------------------------------------------------------

TEST(Catalogue, EntryInTheSettingsFileAsTheEngineReadsIt)
{
    Sandbox box("catalogue");
    char key[MAX_PATH];
    Migrate_CatalogueKey(0x1017, key);
    EXPECT_STREQ(key, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001017");
    // An earlier entry under the id with three sub-dictionaries.
    for (const char *sub : {"\\01", "\\02", "\\03"})
        Basekit_SettingsWriteDword((std::string(key) + sub).c_str(), "LangID", 0x0700);
    DWORD languages[] = {0x0100, 0x0400};
    std::string file = box.Path("install\\POCKETEJ.DIC");
    ASSERT_TRUE(Migrate_WriteCatalogue(0x1017, file.c_str(), "Pocket EJ", languages, 2));

    char text[MAX_PATH];
    ASSERT_TRUE(Basekit_SettingsReadString(key, "FileName", text, sizeof text));
    EXPECT_EQ(file, text);
    ASSERT_TRUE(Basekit_SettingsReadString(key, "Name", text, sizeof text));
    EXPECT_STREQ(text, "Pocket EJ");
    EXPECT_EQ(Basekit_SettingsReadDword((std::string(key) + "\\01").c_str(), "LangID"), 0x0100u);
    EXPECT_EQ(Basekit_SettingsReadDword((std::string(key) + "\\02").c_str(), "LangID"), 0x0400u);
    SettingsKey third = Basekit_SettingsOpenKey((std::string(key) + "\\03").c_str());
    EXPECT_EQ(third, nullptr) << "a sub-dictionary of the earlier entry stayed";
    Basekit_SettingsCloseKey(third);
    EXPECT_EQ(Basekit_SettingsCountSubkeys(("HKEY_LOCAL_MACHINE\\" + std::string(key)).c_str()), 2);
    // The file as written: one section per key in the full form.
    std::string ini = Testkit_ReadFile(box.settings);
    EXPECT_NE(ini.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary\\00001017\\02]"),
              std::string::npos);
    EXPECT_NE(ini.find("LangID=dword:00000400"), std::string::npos);
}

TEST(Catalogue, ChineseLanguageRegisteredOnlyWhenMissingAndScriptPresent)
{
    Sandbox box("chinese");
    const char *lang = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\0300";
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, lang);
    // No script in the install folder: nothing runs.
    EXPECT_FALSE(Migrate_RegisterLanguage(&box.m, 0xE005));
    box.Write("install\\vlcht.reg", upfix::Bytes(4, 'x'));
    EXPECT_FALSE(Migrate_RegisterLanguage(&box.m, 0x1001));  // not a Chinese dictionary
    ASSERT_TRUE(Migrate_RegisterLanguage(&box.m, 0xE005));
    ASSERT_EQ(box.script.commands.size(), 1u);
    char shortFolder[MAX_PATH];
    GetShortPathNameA(box.m.env.installFolder, shortFolder, MAX_PATH);
    Basekit_PathAppend(shortFolder, "");
    EXPECT_EQ(box.script.commands[0], std::string("regedit /s ") + shortFolder + "vlcht.reg");
    // Present in the machine store: nothing runs.
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, lang, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_FALSE(Migrate_RegisterLanguage(&box.m, 0xE006));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, lang);
    EXPECT_EQ(box.script.commands.size(), 1u);
}

// ---- Scans of the older versions ----------------------------------------------------------------------

namespace {

const char kV3Key[] = "SOFTWARE\\Halvenstone\\Velosuite\\3.0\\Dictionary";

struct V3Keys {
    V3Keys() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kV3Key); }
    ~V3Keys() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kV3Key); }
    void Add(const char *id, const char *dll, const char *name)
    {
        HKEY k;
        std::string path = std::string(kV3Key) + "\\" + id;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &k, nullptr), ERROR_SUCCESS);
        RegSetValueExA(k, "DLLName", 0, REG_SZ, (const BYTE *)dll, (DWORD)strlen(dll) + 1);
        RegSetValueExA(k, "Name", 0, REG_SZ, (const BYTE *)name, (DWORD)strlen(name) + 1);
        DWORD priority = 3;
        RegSetValueExA(k, "Priority", 0, REG_DWORD, (const BYTE *)&priority, 4);
        RegCloseKey(k);
    }
};

}  // namespace

TEST(Scans, Version3AsksOnlyForWhatCanBeUpgraded)
{
    Sandbox box("scan3");
    V3Keys keys;
    keys.Add("0000f001", "USER1.DLL", "My words");          // user dictionaries: one note
    keys.Add("0000f002", "USER2.DLL", "More words");
    keys.Add("0000fff0", "USER3.DLL", "Even more");
    keys.Add("00001001", "VLEBOOK.DLL", "A book");           // the book engine: skipped
    keys.Add("00001017", "POCKETEJ.DLL", "Pocket EJ");       // present in version 4: skipped
    keys.Add("00001018", "POCKETJE.DLL", "Pocket JE");       // not on disk: asked for
    keys.Add("00001027", "VLSAMPLE.DLL", "Sample dic");      // excepted: never asked for
    keys.Add("00001030", "OTHER.DLL", "Unknown");            // unknown file: never asked for
    keys.Add("00001019", "PHRASEEJ.DLL", "Phrases");         // known name, wrong size: asked for
    box.Write("v3\\Program\\PHRASEEJ.DIC", upfix::OldFile(1000, 4));
    box.Present(0x1017);
    box.script.cd = {{MIGRATE_CD_SKIP, ""}};
    Migrate_ScanV3(&box.m);

    EXPECT_EQ(box.script.Count("note 21"), 1);
    std::vector<std::string> asked;
    for (const std::string &s : box.script.log)
        if (s.rfind("cd ", 0) == 0) asked.push_back(s);
    EXPECT_EQ(asked, (std::vector<std::string>{"cd Ver.3 Pocket JE", "cd Ver.3 Phrases"}));
    // The records kept: every non-user dictionary of a file kind that is not present already.
    std::set<std::string> names;
    for (const UpgradeRecord &r : box.m.records) {
        names.insert(r.fileName);
        EXPECT_EQ(r.version, 3);
        EXPECT_EQ(r.priority, 3u);
        EXPECT_FALSE(r.upgraded);
    }
    EXPECT_EQ(names, (std::set<std::string>{"POCKETJE.dic", "VLSAMPLE.dic", "OTHER.dic", "PHRASEEJ.dic"}));
    EXPECT_FALSE(Migrate_AnyMatched(&box.m));
    EXPECT_FALSE(box.m.aborted);
}

TEST(Scans, CancelIsConfirmedBeforeTheRunEnds)
{
    Sandbox box("cancel");
    V3Keys keys;
    keys.Add("00001018", "POCKETJE.DLL", "Pocket JE");
    keys.Add("00001017", "POCKETEJ.DLL", "Pocket EJ");
    // Keys come in id order.  Cancel, not confirmed; Cancel, confirmed: the run ends before the
    // second dictionary.
    box.script.cd = {{MIGRATE_CD_CANCEL, ""}, {MIGRATE_CD_CANCEL, ""}, {MIGRATE_CD_OK, ""}};
    box.script.yesNo = {IDNO, IDYES};
    Migrate_ScanV3(&box.m);
    EXPECT_TRUE(box.m.aborted);
    EXPECT_EQ(box.script.Count("cd Ver.3 Pocket EJ"), 2);
    EXPECT_EQ(box.script.Count("cd Ver.3 Pocket JE"), 0);
    EXPECT_EQ(box.script.Count("yesno 3"), 2);
}

TEST(Scans, Version2FromTheOldSettingsFile)
{
    Sandbox box("scan2");
    std::string ini = box.Path("Velomira.ini");
    Testkit_WriteFile(ini, std::string("[System Config]\r\nPath=") + box.Path("v2") +
                               "\r\n[Dictionary]\r\nMini=1\r\nUser=1\r\nUsers=1\r\nOther=1\r\n"
                               "[Mini]\r\nDICT1=MINIEJ2.DIC\r\n[User]\r\nDICT1=USER.DIC\r\n"
                               "[Users]\r\nDICT1=usmine.dic\r\n[Other]\r\nDICT1=GEOGRA2.DIC\r\n");
    Migrate_Copy(box.m.env.oldSettings, ini.c_str(), MAX_PATH);
    box.Write("v2\\MINIEJ2.DIC", upfix::OldFile(532480, 5));
    // No patch anywhere: the matched dictionary asks for the CD-ROM with the product's name.
    Migrate_ScanV2(&box.m);
    EXPECT_EQ(box.script.Count("note 21"), 1);
    ASSERT_EQ(box.m.records.size(), 2u);
    EXPECT_STREQ(box.m.records[0].fileName, "MINIEJ2.DIC");
    EXPECT_TRUE(box.m.records[0].matched);
    EXPECT_EQ(box.m.records[0].newId, 0x1017u);
    EXPECT_FALSE(box.m.records[0].upgraded);
    EXPECT_EQ(box.script.Count("cd VelomiraV5.5"), 1);
    EXPECT_EQ(box.script.Count("cd Ver.2 Dictionary GEOGRA2.DIC"), 1);
    EXPECT_TRUE(Migrate_AnyMatched(&box.m));
    // The copy of the old file was taken away again.
    EXPECT_FALSE(Testkit_Exists(box.Path("install\\VLV41017.old")));
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("v2\\MINIEJ2.DIC")) == upfix::OldFile(532480, 5));
}

TEST(Scans, AdditionalOfferListsWhatIsMissingUntilClosed)
{
    Sandbox box("offer");
    int count = 0;
    const AdditionalDic *rows = Migrate_AdditionalDics(&count);
    // Everything present: no question at all.
    for (int i = 0; i < count; i++) box.Present(rows[i].newId);
    Migrate_OfferAdditional(&box.m);
    EXPECT_TRUE(box.script.log.empty());

    // Two missing: asked once, then the list until Close.
    char key[MAX_PATH];
    for (int i : {3, 7}) {
        Migrate_CatalogueKey(rows[i].newId, key);
        Basekit_SettingsDeleteKey(nullptr, key);
    }
    box.script.yesNo = {IDYES};
    box.script.choose = {1, -1};
    box.script.cd = {{MIGRATE_CD_SKIP, ""}};
    Migrate_OfferAdditional(&box.m);
    EXPECT_EQ(box.script.Count("yesno 28"), 1);
    ASSERT_EQ(box.script.offered.size(), 2u);
    EXPECT_EQ(box.script.offered[0], (std::vector<std::string>{ScriptHost::Text(rows[3].newId),
                                                               ScriptHost::Text(rows[7].newId)}));
    // The chosen one was looked for on the CD and asked for under its title.
    EXPECT_EQ(box.script.Count("cd " + ScriptHost::Text(rows[7].newId)), 1);

    // No: the list is never shown.
    ScriptHost quiet;
    box.m.host = &quiet.host;
    Migrate_OfferAdditional(&box.m);
    EXPECT_EQ(quiet.log, (std::vector<std::string>{"yesno 28"}));
}
