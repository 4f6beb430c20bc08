// Whole upgrades of fixture dictionaries: a version-3 file found beside the old program, a
// version-2 file found only on the CD-ROM, a dictionary that lives in the install folder itself;
// each upgraded file is opened and searched by the engine.  Every step of an upgrade is made to
// fail in turn (a copy, the expansion of the patch and base files, the patch itself, the switch,
// the catalogue entry, a cancelled copy, the program ending): the dictionary the user had stays
// byte for byte, nothing is entered, and no working file is left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "../../lexidata/tests/fixtures/dicwriter.h"
#include "fixtures/upgradefix.h"
#include "hostkit.h"
#include "lexicore.h"
#include "lexidata.h"
#include "support/testkit_faults.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_wait.h"

namespace {

const char kV3Key[] = "SOFTWARE\\Halvenstone\\Velosuite\\3.0\\Dictionary";

// The version-4 dictionary an upgrade of the id must produce.
upfix::Bytes Target(DWORD id)
{
    dicfix::Dictionary d;
    d.fileId = id;
    dicfix::Index x;
    auto e = [](const char *hw, const char *text) {
        dicfix::Entry en;
        en.headword = hw;
        en.text1 = text;
        return en;
    };
    x.entries = {e("apple", "a red fruit"), e("banana", "a yellow fruit"), e("cherry", "small and red"),
                 e("upgrade", "made from an older dictionary")};
    d.indexes.push_back(x);
    std::vector<uint8_t> b = dicfix::Build(d);
    return upfix::Bytes(b.begin(), b.end());
}

struct Edition {
    const char *file;
    DWORD product, newId;
    uint32_t size;
    const char *patch;
};
const Edition kPocketEJ = {"POCKETEJ.DIC", 0x30000117, 0x1017, 614400, "VLV40023.wup"};
const Edition kMiniEJ = {"MINIEJ2.DIC", 0x20000117, 0x1017, 532480, "VLV40040.wup"};
const Edition kChinese = {"CHSPHRS.DIC", 0x30000122, 0xE008, 1310720, "VLV40034.wup"};

struct Sandbox : MigrateSandbox {
    explicit Sandbox(const char *name) : MigrateSandbox(name, {"cd\\upgrade", "cd\\old"})
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kV3Key);
    }
    ~Sandbox()
    {
        Lexicore_Term();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kV3Key);
    }

    // The old file at rel, and the edition's patch (LZ-compressed when packed) and base file in
    // the CD-ROM's folder "upgrade".  Returns the old file's bytes.
    upfix::Bytes Prepare(const Edition &e, const std::string &rel, bool packed = true)
    {
        upfix::Bytes old = upfix::OldFile(e.size, e.newId), target = Target(e.newId);
        upfix::PatchSet set = upfix::MakePatch(old, target, upfix::Cover((uint32_t)target.size()), {0x0100});
        Write(rel, old);
        Write(std::string("cd\\upgrade\\") + e.patch, packed ? upfix::Szdd(set.patch) : set.patch);
        char base[32];
        Migrate_BaseFileName(e.newId, base, sizeof base);
        Write(std::string("cd\\upgrade\\") + base, set.base);
        return old;
    }

    void AddV3(const char *id, const char *dll, const char *title)
    {
        HKEY k;
        std::string path = std::string(kV3Key) + "\\" + id;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &k, nullptr), ERROR_SUCCESS);
        RegSetValueExA(k, "DLLName", 0, REG_SZ, (const BYTE *)dll, (DWORD)strlen(dll) + 1);
        RegSetValueExA(k, "Name", 0, REG_SZ, (const BYTE *)title, (DWORD)strlen(title) + 1);
        RegCloseKey(k);
    }

    // The files of the install folder.
    std::set<std::string> InstallFiles() const
    {
        std::set<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((root + "\\install\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return names;
    }

    bool Entered(DWORD id) const
    {
        char key[MAX_PATH], text[MAX_PATH];
        Migrate_CatalogueKey(id, key);
        return Basekit_SettingsReadString(key, "FileName", text, sizeof text) != 0;
    }

    UpgradeRecord Found(const Edition &e, int kind, const char *folder)
    {
        UpgradeRecord r = {};
        Migrate_Copy(r.fileName, e.file, sizeof r.fileName);
        EXPECT_TRUE(Migrate_FindFile(&m, &r, kind, folder));
        return r;
    }
};

int CALLBACK HeadwordsOf(VLDataItem *item, int, void *user)
{
    static_cast<std::vector<std::string> *>(user)->push_back(item->headword);
    return LEXICORE_ITEM_ADDED;
}

// Opens the dictionary of the id through the engine and looks two words up.
void ExpectEngineFinds(DWORD id)
{
    ASSERT_TRUE(Lexicore_Init("VLTM", 0));
    DicSession *session = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(session, id << 8, FALSE)) << std::hex << id;
    EXPECT_EQ(Lexicore_GetEntryCount(id << 8, 0), 4);
    DicQuery *query = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(20);
    Lexicore_SetQuerySession(query, session);
    Lexicore_SetQueryResultList(query, list);
    Lexicore_SetQueryText(query, "upgrade", 0, 0);
    EXPECT_EQ(Lexicore_RunQuery(query, LEXICORE_MODE_EXACT, 0), 1);
    ASSERT_EQ(VLWordList_Count(list), 1);
    EXPECT_STREQ(VLWordList_GetItem(list, 0)->headword, "upgrade");
    VLData data;
    memset(&data, 0, sizeof data);
    ASSERT_TRUE(Lexicore_ReadEntryTextEx(session, VLWordList_GetItem(list, 0), &data));
    EXPECT_EQ(std::string(data.data1, data.len1), "made from an older dictionary");
    VLMem_Free(data.data1);
    VLMem_Free(data.data2);
    std::vector<std::string> words;
    Lexicore_Search(session, "", LEXICORE_SF_FIRST, HeadwordsOf, &words);
    EXPECT_EQ(words, (std::vector<std::string>{"apple", "banana", "cherry", "upgrade"}));
    VLWordList_Destroy(list);
    Lexicore_DestroyQuery(query);
    Lexicore_DestroySession(session);
    Lexicore_Term();
}

}  // namespace

TEST(Upgrade, Version3FileBesideTheOldProgramIsUpgradedAndSearchable)
{
    Sandbox box("v3");
    upfix::Bytes old = box.Prepare(kPocketEJ, "v3\\Program\\POCKETEJ.DIC");
    box.AddV3("00001017", "POCKETEJ.DLL", "Pocket EJ");
    Migrate_ScanV3(&box.m);

    ASSERT_EQ(box.m.records.size(), 1u);
    EXPECT_TRUE(box.m.records[0].upgraded);
    EXPECT_TRUE(box.script.log.empty()) << "no question for a file found on disk";
    EXPECT_EQ(box.script.progress, (std::vector<int>{0, 33, 66, 100}));
    ASSERT_FALSE(box.script.statuses.empty());
    EXPECT_EQ(box.script.statuses[0], "Now Upgrading 'Pocket EJ'.");
    EXPECT_EQ(box.script.insideReplace, 0);
    // The dictionary in the install folder is the version-4 one; nothing else is left there, and
    // the old program's file is as it was.
    EXPECT_EQ(box.InstallFiles(), (std::set<std::string>{"POCKETEJ.DIC"}));
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\POCKETEJ.DIC")) == Target(0x1017));
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("v3\\Program\\POCKETEJ.DIC")) == old);

    char key[MAX_PATH], text[MAX_PATH];
    Migrate_CatalogueKey(0x1017, key);
    ASSERT_TRUE(Basekit_SettingsReadString(key, "FileName", text, sizeof text));
    EXPECT_EQ(std::string(text), box.Path("install\\POCKETEJ.DIC"));
    ASSERT_TRUE(Basekit_SettingsReadString(key, "Name", text, sizeof text));
    EXPECT_STREQ(text, "Pocket EJ");
    ExpectEngineFinds(0x1017);

    // A second run finds the dictionary present and asks nothing.
    ScriptHost again;
    Migration second;
    second.env = box.m.env;
    second.host = &again.host;
    Migrate_ScanV3(&second);
    EXPECT_TRUE(second.records.empty());
    EXPECT_TRUE(again.log.empty());
}

TEST(Upgrade, Version2FileOnlyOnTheCdIsAskedForAndUpgraded)
{
    Sandbox box("v2");
    upfix::Bytes old = box.Prepare(kMiniEJ, "cd\\old\\MINIEJ2.DIC", false);
    std::string ini = box.Path("Velomira.ini");
    Testkit_WriteFile(ini, "[System Config]\r\nPath=" + box.Path("v2") +
                               "\r\n[Dictionary]\r\nMini=1\r\n[Mini]\r\nDICT1=MINIEJ2.DIC\r\n");
    Migrate_Copy(box.m.env.oldSettings, ini.c_str(), MAX_PATH);
    box.m.env.cdFolder[0] = 0;  // no CD-ROM drive at start
    box.script.cd = {{MIGRATE_CD_OK, box.Path("cd\\")}};
    Migrate_ScanV2(&box.m);
    EXPECT_EQ(box.script.log, (std::vector<std::string>{"cd Ver.2 Dictionary MINIEJ2.DIC"}));
    ASSERT_EQ(box.m.records.size(), 1u);
    EXPECT_TRUE(box.m.records[0].upgraded);
    EXPECT_EQ(box.InstallFiles(), (std::set<std::string>{"MINIEJ2.DIC"}));
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("cd\\old\\MINIEJ2.DIC")) == old);
    char key[MAX_PATH], text[MAX_PATH];
    Migrate_CatalogueKey(0x1017, key);
    ASSERT_TRUE(Basekit_SettingsReadString(key, "Name", text, sizeof text));
    EXPECT_STREQ(text, "Dictionary MINIEJ2.DIC");
    ExpectEngineFinds(0x1017);
}

TEST(Upgrade, PatchAskedForOnTheCdAndChineseLanguageRegistered)
{
    Sandbox box("chs");
    box.Prepare(kChinese, "v3\\Program\\CHSPHRS.DIC");
    box.Write("install\\vlchs.reg", upfix::Bytes(3, 'x'));
    // The CD folder holds nothing at first; the user puts in the right disc.
    box.m.env.cdFolder[0] = 0;
    box.script.cd = {{MIGRATE_CD_OK, box.Path("v2\\")}, {MIGRATE_CD_OK, box.Path("cd\\")}};
    UpgradeRecord r = box.Found(kChinese, FIND_V3, box.m.env.v3Folder);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\0200");
    EXPECT_EQ(Migrate_Upgrade(&box.m, &r), UPGRADE_DONE);
    EXPECT_EQ(box.script.log, (std::vector<std::string>{"cd VelomiraV5.5", "cd VelomiraV5.5"}));
    ASSERT_EQ(box.script.commands.size(), 1u);
    EXPECT_NE(box.script.commands[0].find("regedit /s "), std::string::npos);
    EXPECT_NE(box.script.commands[0].find("vlchs.reg"), std::string::npos);
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\CHSPHRS.DIC")) == Target(0xE008));
}

TEST(Upgrade, RegistryEditorRegistersTheLanguageInTheMachineStore)
{
    Sandbox box("regedit");
    const char *lang = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Language\\0300";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, lang);
    Testkit_WriteFile(box.Path("install\\vlcht.reg"),
                      std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\") + lang +
                          "]\r\n\"FileName\"=\"lingo_zh.dll\"\r\n");
    box.script.host.run = nullptr;  // the real registry editor
    ASSERT_TRUE(Migrate_RegisterLanguage(&box.m, 0xE009));
    bool there = Testkit_PumpUntil([&] {
        HKEY k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, lang, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }, 60000);
    EXPECT_TRUE(there);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, lang);
}

TEST(Upgrade, ReadOnlyTargetAsksBeforeItIsOverwritten)
{
    Sandbox box("readonly");
    box.Prepare(kPocketEJ, "v3\\Program\\POCKETEJ.DIC");
    box.Write("install\\POCKETEJ.DIC", upfix::Bytes(16, 'r'));
    SetFileAttributesA(box.Path("install\\POCKETEJ.DIC").c_str(), FILE_ATTRIBUTE_READONLY);
    UpgradeRecord r = box.Found(kPocketEJ, FIND_V3, box.m.env.v3Folder);
    box.script.yesNo = {IDNO};
    EXPECT_EQ(Migrate_Upgrade(&box.m, &r), UPGRADE_SKIPPED);
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\POCKETEJ.DIC")) == upfix::Bytes(16, 'r'));
    box.script.yesNo = {IDYES};
    EXPECT_EQ(Migrate_Upgrade(&box.m, &r), UPGRADE_DONE);
    EXPECT_EQ(box.script.Count("yesno 19"), 2);
    EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\POCKETEJ.DIC")) == Target(0x1017));
}

// ---- Interrupted upgrades ----------------------------------------------------------------------

namespace {

// The n-th call (1-based) of MoveFileExA from this program fails.
struct MoveFault {
    typedef BOOL(WINAPI *Proc)(LPCSTR, LPCSTR, DWORD);
    static Proc &Original() { static Proc p; return p; }
    static int &Countdown() { static int n; return n; }
    static BOOL WINAPI Failing(LPCSTR a, LPCSTR b, DWORD f)
    {
        if (--Countdown() == 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return Original()(a, b, f);
    }
    void **slot;
    explicit MoveFault(int n)
    {
        slot = testkit_faults::ImportSlot(GetModuleHandleA(nullptr), "MoveFileExA");
        if (!slot) return;
        Original() = (Proc)*slot;
        Countdown() = n;
        testkit_faults::Rebind(slot, (void *)&Failing);
    }
    ~MoveFault()
    {
        if (slot) testkit_faults::Rebind(slot, (void *)Original());
    }
};

int CALLBACK Proceed(int, void *) { return 1; }

int CALLBACK CancelHalfWay(int percent, void *)
{
    if (percent >= 50) {
        SetLastError(ERROR_CANCELLED);
        return 0;
    }
    return 1;
}

enum Fault { kNone, kBasekitWrite, kOwnWrite, kMove, kCatalogue, kCancelCopy, kStop };

struct Interruption {
    const char *what;
    Fault fault;
    DWORD allowance;       // bytes that may still be written (write faults); call (kMove)
    bool oldInInstall;     // the old dictionary lives in the install folder itself
    int result;
};

}  // namespace

TEST(Upgrade, AnInterruptedUpgradeLeavesTheDictionaryAsItWas)
{
    // Bytes the program writes itself, in order: the expanded patch, the base file, the patch's
    // output.  The allowances fall into each of them.
    upfix::Bytes target = Target(0x1017);
    upfix::PatchSet set = upfix::MakePatch(upfix::OldFile(kPocketEJ.size, 0x1017), target,
                                           upfix::Cover((uint32_t)target.size()), {0x0100});
    DWORD patch = (DWORD)set.patch.size(), base = (DWORD)set.base.size(), out = (DWORD)target.size();
    const Interruption cases[] = {
        {"copy of the old file, first block", kBasekitWrite, 0, false, UPGRADE_FAILED},
        {"copy of the old file, later block", kBasekitWrite, 300000, false, UPGRADE_FAILED},
        {"cancelled copy of the old file", kCancelCopy, 0, false, UPGRADE_FAILED},
        {"expanding the patch", kOwnWrite, 0, false, UPGRADE_FAILED},
        {"expanding the patch, its end", kOwnWrite, patch - 1, false, UPGRADE_FAILED},
        {"copying the base file", kOwnWrite, patch + 1, true, UPGRADE_FAILED},
        {"copying the base file, its end", kOwnWrite, patch + base - 1, false, UPGRADE_FAILED},
        {"patching, first record", kOwnWrite, patch + base, true, UPGRADE_FAILED},
        {"patching, later record", kOwnWrite, patch + base + out / 2, true, UPGRADE_FAILED},
        {"patching, last byte", kOwnWrite, patch + base + out - 1, false, UPGRADE_FAILED},
        {"moving the dictionary aside", kMove, 1, true, UPGRADE_FAILED},
        {"moving the new file in", kMove, 2, true, UPGRADE_FAILED},
        {"moving the new file in, no old one there", kMove, 1, false, UPGRADE_FAILED},
        {"writing the catalogue", kCatalogue, 0, true, UPGRADE_FAILED},
        {"writing the catalogue, no old one there", kCatalogue, 0, false, UPGRADE_FAILED},
        {"the program ends before the switch", kStop, 0, true, UPGRADE_CANCELLED},
    };
    for (const Interruption &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox box("interrupted");
        std::string oldRel = c.oldInInstall ? "install\\POCKETEJ.DIC" : "v3\\Program\\POCKETEJ.DIC";
        upfix::Bytes old = box.Prepare(kPocketEJ, oldRel);
        if (c.oldInInstall) Migrate_Copy(box.m.env.v3Folder, box.m.env.installFolder, MAX_PATH);
        std::set<std::string> before = box.InstallFiles();
        UpgradeRecord r = box.Found(kPocketEJ, FIND_V3, box.m.env.v3Folder);
        if (c.fault == kCancelCopy) box.script.host.copyProgress = CancelHalfWay;
        if (c.fault == kStop) box.script.refuseReplace = true;
        if (c.fault == kCatalogue) SetFileAttributesA(box.settings.c_str(), FILE_ATTRIBUTE_READONLY);
        int result;
        {
            Testkit_WriteFault basekit(c.fault == kBasekitWrite ? "Basekit.dll" : "no-such-module", c.allowance);
            Testkit_WriteFault own(c.fault == kOwnWrite ? nullptr : "no-such-module", c.allowance);
            MoveFault move(c.fault == kMove ? (int)c.allowance : 1 << 30);
            EXPECT_TRUE(c.fault != kBasekitWrite || basekit.Armed());
            EXPECT_TRUE(c.fault != kOwnWrite || own.Armed());
            EXPECT_TRUE(c.fault != kMove || move.slot != nullptr);
            result = Migrate_Upgrade(&box.m, &r);
        }
        SetFileAttributesA(box.settings.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(result, c.result);
        EXPECT_FALSE(r.upgraded);
        EXPECT_EQ(box.script.insideReplace, 0);
        EXPECT_TRUE(Testkit_ReadBytes(box.Path(oldRel)) == old) << "the old dictionary changed";
        EXPECT_EQ(box.InstallFiles(), before) << "working files were left behind";
        EXPECT_FALSE(box.Entered(0x1017));

        // Without the fault the same upgrade goes through.
        box.script.host.copyProgress = Proceed;
        box.script.refuseReplace = false;
        EXPECT_EQ(Migrate_Upgrade(&box.m, &r), UPGRADE_DONE);
        EXPECT_TRUE(Testkit_ReadBytes(box.Path("install\\POCKETEJ.DIC")) == target);
        EXPECT_EQ(box.InstallFiles(), (std::set<std::string>{"POCKETEJ.DIC"}));
        EXPECT_TRUE(box.Entered(0x1017));
    }
}
