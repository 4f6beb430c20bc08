// Lexmigrate.exe run as a real process on a test folder: a copy of the program with a stand-in
// dictionary finder beside it, the install and version-3 folders in this prefix's machine store,
// and one injected CD-ROM drive that is a folder of the test (never the host's drives).  The test
// answers the program's questions as a user would, through their windows, pictures the windows,
// checks what was upgraded by opening it with the engine, and ends the program by its process id.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../../lexidata/tests/fixtures/dicwriter.h"
#include "basekit.h"
#include "fixtures/upgradefix.h"
#include "lexicore.h"
#include "lexidata.h"
#include "lexmigrate.h"
#include "support/testkit_files.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"
#include "uiassets.h"

namespace {

const char kV3Key[] = "SOFTWARE\\Halvenstone\\Velosuite\\3.0\\Dictionary";
const char kV3Install[] = "SOFTWARE\\Halvenstone\\Velosuite\\3.0\\Install";
const char kInstall[] = "SOFTWARE\\Halvenstone\\Velosuite\\6.0";
const char kDicRoot[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";

std::string Cwd()
{
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    return cwd;
}

void RemoveFolder(const std::string &folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName, p = folder + "\\" + name;
            if (name == "." || name == "..") continue;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveFolder(p);
            else DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}

void SetMachineText(const char *path, const char *name, const std::string &value)
{
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE *)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(k);
}

upfix::Bytes Target(DWORD id, const char *word)
{
    dicfix::Dictionary d;
    d.fileId = id;
    dicfix::Index x;
    dicfix::Entry e;
    e.headword = word;
    e.text1 = "upgraded";
    x.entries = {e};
    d.indexes.push_back(x);
    std::vector<uint8_t> b = dicfix::Build(d);
    return upfix::Bytes(b.begin(), b.end());
}

// The program copied into a folder of the test with what it needs and the stand-in finder, the
// folders of an installation, and the machine store pointing at them.
struct TestRun {
    std::string root;
    TestkitProcess process;

    explicit TestRun(const char *name)
    {
        root = Cwd() + "\\" + name;
        RemoveFolder(root);
        for (const char *f : {"", "\\prog", "\\install", "\\v3", "\\v3\\Program", "\\cd", "\\cd\\old", "\\cd\\upgrade"})
            CreateDirectoryA((root + f).c_str(), nullptr);
        std::string bin = Testkit_ExeFolder();
        for (const char *f : {"Lexmigrate.exe", "Basekit.dll", "libwinpthread-1.dll"})
            EXPECT_TRUE(CopyFileA((bin + f).c_str(), (root + "\\prog\\" + f).c_str(), FALSE)) << f;
        EXPECT_TRUE(CopyFileA((bin + "lexmigrate_finder_standin.exe").c_str(),
                              (root + "\\prog\\LEXFINDER.EXE").c_str(), FALSE));
        ClearMachineStore();
        SetMachineText(kInstall, "InstallPath", root + "\\install");
        SetMachineText(kV3Install, "Velomira Dir", root + "\\v3");
        SetEnvironmentVariableA(LEXMIGRATE_DRIVES_VARIABLE, ("Q=" + root + "\\cd").c_str());
    }
    ~TestRun()
    {
        if (process.Running()) process.End();
        Lexicore_Term();
        ClearMachineStore();
        SetEnvironmentVariableA(LEXMIGRATE_DRIVES_VARIABLE, nullptr);
        RemoveFolder(root);
    }
    static void ClearMachineStore()
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kV3Key);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kV3Install);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kInstall);
        RegDeleteTreeA(HKEY_CURRENT_USER, kDicRoot);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDicRoot);
    }
    std::string Path(const std::string &rel) const { return root + "\\" + rel; }

    void AddV3(const char *id, const char *dll, const char *title)
    {
        std::string path = std::string(kV3Key) + "\\" + id;
        SetMachineText(path.c_str(), "DLLName", dll);
        SetMachineText(path.c_str(), "Name", title);
    }
    // The old file at rel and the edition's patch and base file on the CD-ROM.
    upfix::Bytes Prepare(uint32_t size, DWORD id, const char *patch, const std::string &rel, const char *word)
    {
        upfix::Bytes old = upfix::OldFile(size, id), target = Target(id, word);
        upfix::PatchSet set = upfix::MakePatch(old, target, upfix::Cover((uint32_t)target.size()), {0x0100});
        Testkit_WriteFile(Path(rel), old);
        Testkit_WriteFile(Path(std::string("cd\\upgrade\\") + patch), upfix::Szdd(set.patch));
        char base[32];
        snprintf(base, sizeof base, "VLV4%04x.bdf", (unsigned)id);
        Testkit_WriteFile(Path(std::string("cd\\upgrade\\") + base), set.base);
        return old;
    }
    bool Start() { return process.Start("\"" + Path("prog\\Lexmigrate.exe") + "\" /Hide", Path("prog").c_str()); }
    std::string FinderLine() const { return Testkit_ReadFile(Path("prog\\finder.txt")); }
    // The stand-in finder's command line, once it has been started (the program does not wait
    // for it); empty when it does not come.
    std::string WaitFinderLine()
    {
        Testkit_PumpUntil([&] { return !FinderLine().empty(); }, 30000);
        return FinderLine();
    }

    // A string of the program in this thread's language.
    std::string Text(UINT id) const
    {
        HMODULE m = LoadLibraryExA(Path("prog\\Lexmigrate.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        char text[512] = "";
        if (m) {
            LoadStringA(m, id, text, sizeof text);
            FreeLibrary(m);
        }
        return text;
    }

    // The first visible dialog-class window of the program that has control id (0xFFFF: a message
    // box's text), waiting up to ms while pumping this thread.
    HWND WaitDialog(int control, DWORD ms = 60000)
    {
        HWND found = nullptr;
        Testkit_PumpUntil([&] {
            found = FindDialog(control);
            return found != nullptr || !process.Running();
        }, ms);
        return found;
    }
    HWND FindDialog(int control) const
    {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != process.Id() || !IsWindowVisible(w) || !GetDlgItem(w, control)) continue;
            if (control == 0xFFFF && GetDlgItem(w, UIA_UPGRADE_IDC_DRIVES)) continue;
            return w;
        }
        return nullptr;
    }
};

std::string TextOf(HWND control)
{
    char text[512] = "";
    DWORD_PTR n = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 10000, &n);
    return text;
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Opens the dictionary of the id through the engine (in the current user's settings, where the
// program wrote its entry) and finds its one word.
void ExpectEngineFinds(DWORD id, const char *word)
{
    ASSERT_TRUE(Lexicore_Init("VLTP", 0));
    DicSession *s = Lexicore_CreateSession();
    ASSERT_TRUE(Lexicore_OpenSession(s, id << 8, FALSE)) << std::hex << id;
    DicQuery *query = Lexicore_CreateQuery();
    VLWordList *list = VLWordList_Create(20);
    Lexicore_SetQuerySession(query, s);
    Lexicore_SetQueryResultList(query, list);
    Lexicore_SetQueryText(query, word, 0, 0);
    EXPECT_EQ(Lexicore_RunQuery(query, LEXICORE_MODE_EXACT, 0), 1);
    ASSERT_EQ(VLWordList_Count(list), 1);
    EXPECT_STREQ(VLWordList_GetItem(list, 0)->headword, word);
    VLWordList_Destroy(list);
    Lexicore_DestroyQuery(query);
    Lexicore_DestroySession(s);
    Lexicore_Term();
}

}  // namespace

TEST(Program, UpgradesFromDiskAndCdShowsTheSummaryThenStartsTheFinder)
{
    TestRun run("full");
    upfix::Bytes ej = run.Prepare(614400, 0x1017, "VLV40023.wup", "v3\\Program\\POCKETEJ.DIC", "pocket");
    upfix::Bytes je = run.Prepare(573440, 0x1018, "VLV40024.wup", "cd\\old\\POCKETJE.DIC", "handy");
    upfix::Bytes user = upfix::UserDictionaryV3({{"mine", "", "", "my own word"}});
    Testkit_WriteFile(run.Path("v3\\Program\\USER.DIC"), user);
    run.AddV3("00001017", "POCKETEJ.DLL", "Pocket EJ");
    run.AddV3("00001018", "POCKETJE.DLL", "Pocket JE");
    run.AddV3("0000f001", "USER.DLL", "My words");
    run.AddV3("0000f002", "USER2.DLL", "More words");
    ASSERT_TRUE(run.Start());

    // Pocket JE is only on the CD-ROM: the program asks for it, with the injected drive chosen.
    HWND cd = run.WaitDialog(UIA_UPGRADE_IDC_DRIVES);
    ASSERT_TRUE(cd);
    EXPECT_EQ(TextOf(GetDlgItem(cd, UIA_UPGRADE_IDC_DRIVES)), "Q:");
    EXPECT_NE(TextOf(GetDlgItem(cd, UIA_UPGRADE_IDC_TEXT)).find("Ver.3 Pocket JE"), std::string::npos);
    EXPECT_TRUE(Testkit_SaveClientPicture(cd, "lexmigrate_insert_cd.bmp"));
    Press(cd, IDOK);

    // The user dictionaries: one note for both, after the dictionaries
    // before them in id order.
    HWND note = run.WaitDialog(0xFFFF);
    ASSERT_TRUE(note);
    EXPECT_EQ(TextOf(GetDlgItem(note, 0xFFFF)), run.Text(UIA_UPGRADE_IDS_USERDIC));
    Press(note, IDOK);

    // The summary: both upgraded, the Exit button enabled.
    HWND main = run.process.WaitWindow(LEXMIGRATE_CLASS);
    ASSERT_TRUE(main);
    HWND progress = FindWindowExA(main, nullptr, "#32770", nullptr);
    ASSERT_TRUE(progress);
    HWND exitButton = GetDlgItem(progress, UIA_UPGRADE_IDC_EXIT);
    ASSERT_TRUE(Testkit_PumpUntil([&] { return IsWindowEnabled(exitButton) != 0; }, 60000));
    EXPECT_EQ(TextOf(exitButton), run.Text(UIA_UPGRADE_IDS_EXIT));
    EXPECT_EQ(TextOf(GetDlgItem(progress, UIA_UPGRADE_IDC_TEXT)), run.Text(UIA_UPGRADE_IDS_RESTART));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(progress, IDCANCEL)));
    HWND list = GetDlgItem(progress, UIA_UPGRADE_IDC_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(GetDlgItem(progress, UIA_UPGRADE_IDC_PROGRESS), PBM_GETPOS, 0, 0), 100);
    Testkit_PumpUntil([] { return false; }, 300);  // let the window paint before the picture
    EXPECT_TRUE(Testkit_SaveClientPicture(main, "lexmigrate_summary.bmp"));
    EXPECT_TRUE(run.FinderLine().empty()) << "the finder starts only at the end";

    // Exit: the offer of the additional dictionaries; No ends the program, which starts the finder.
    Press(progress, UIA_UPGRADE_IDC_EXIT);
    HWND more = run.WaitDialog(0xFFFF);
    ASSERT_TRUE(more);
    EXPECT_EQ(TextOf(GetDlgItem(more, 0xFFFF)), run.Text(UIA_UPGRADE_IDS_MORE));
    Press(more, IDNO);
    EXPECT_EQ(run.process.WaitExit(60000), 0);
    std::string line = run.WaitFinderLine();
    EXPECT_NE(line.find("LEXFINDER.EXE"), std::string::npos) << line;
    EXPECT_EQ(line.substr(line.size() >= 4 ? line.size() - 4 : 0), " /n\n") << line;

    // What was upgraded: the new files in the install folder, entered in the catalogue, searchable;
    // the old files and the user dictionary as they were.
    EXPECT_TRUE(Testkit_ReadBytes(run.Path("install\\POCKETEJ.DIC")) == Target(0x1017, "pocket"));
    EXPECT_TRUE(Testkit_ReadBytes(run.Path("install\\POCKETJE.DIC")) == Target(0x1018, "handy"));
    EXPECT_TRUE(Testkit_ReadBytes(run.Path("v3\\Program\\POCKETEJ.DIC")) == ej);
    EXPECT_TRUE(Testkit_ReadBytes(run.Path("cd\\old\\POCKETJE.DIC")) == je);
    EXPECT_TRUE(Testkit_ReadBytes(run.Path("v3\\Program\\USER.DIC")) == user);
    ExpectEngineFinds(0x1017, "pocket");
    ExpectEngineFinds(0x1018, "handy");
}

TEST(Program, NothingToUpgradeEndsWithoutAQuestionAndStartsTheFinder)
{
    TestRun run("nothing");
    // Every additional dictionary is there already.
    std::string present = run.Path("install\\present.dic");
    Testkit_WriteFile(present, std::string("v4"));
    const DWORD ids[] = {0x1006, 0x1007, 0x1008, 0x1009, 0x100C, 0x100D, 0x100E, 0x100F, 0x1010,
                         0x1011, 0x1014, 0x1015, 0x1018, 0x101A, 0x101B, 0x101C, 0xE007, 0xE009};
    for (DWORD id : ids) {
        char key[MAX_PATH];
        snprintf(key, sizeof key, "%s\\%08x", kDicRoot, (unsigned)id);
        Basekit_SettingsWriteString(key, "FileName", present.c_str());
    }
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.process.WaitExit(60000), 0);
    EXPECT_EQ(run.FindDialog(0xFFFF), nullptr);
    EXPECT_NE(run.WaitFinderLine().find(" /n"), std::string::npos);
}

TEST(Program, RefusesWhileTheResidentProgramRunsAndASecondStartEndsSilently)
{
    TestRun run("refuse");
    HANDLE resident = CreateMutexA(nullptr, FALSE, LEXMIGRATE_RESIDENT_MUTEX);
    ASSERT_TRUE(run.Start());
    HWND box = run.WaitDialog(0xFFFF);
    ASSERT_TRUE(box);
    EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), run.Text(UIA_UPGRADE_IDS_RUNNING));
    Press(box, IDOK);
    EXPECT_EQ(run.process.WaitExit(60000), 0);
    CloseHandle(resident);

    HANDLE other = CreateMutexA(nullptr, FALSE, LEXMIGRATE_MUTEX);
    ASSERT_TRUE(run.Start());
    EXPECT_EQ(run.process.WaitExit(60000), 0);
    CloseHandle(other);

    // A start of its own, with nothing to upgrade: it offers the additional dictionaries, then
    // starts the finder, which has not been started by the two runs before.
    ASSERT_TRUE(run.Start());
    HWND more = run.WaitDialog(0xFFFF);
    ASSERT_TRUE(more);
    EXPECT_EQ(TextOf(GetDlgItem(more, 0xFFFF)), run.Text(UIA_UPGRADE_IDS_MORE));
    Press(more, IDNO);
    EXPECT_EQ(run.process.WaitExit(60000), 0);
    std::string lines = run.WaitFinderLine();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
}

TEST(Program, ClosingWhileTheWorkerAsksEndsCleanly)
{
    TestRun run("close");
    upfix::Bytes je = run.Prepare(573440, 0x1018, "VLV40024.wup", "cd\\old\\POCKETJE.DIC", "handy");
    run.AddV3("00001018", "POCKETJE.DLL", "Pocket JE");
    ASSERT_TRUE(run.Start());
    HWND cd = run.WaitDialog(UIA_UPGRADE_IDC_DRIVES);
    ASSERT_TRUE(cd);
    // The user closes the main window while the worker's question is open: the stop question
    // comes on the window's own thread; Yes ends the program and answers the worker's question.
    HWND main = run.process.WaitWindow(LEXMIGRATE_CLASS);
    ASSERT_TRUE(main);
    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND stop = nullptr;
    EXPECT_TRUE(Testkit_PumpUntil([&] {
        stop = run.FindDialog(0xFFFF);
        return stop && TextOf(GetDlgItem(stop, 0xFFFF)) == run.Text(UIA_UPGRADE_IDS_STOP);
    }, 10000)) << "no stop question";
    if (!stop) {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid != run.process.Id()) continue;
            char cls[64];
            GetClassNameA(w, cls, sizeof cls);
            printf("DEBUG %p %s vis=%d text=%s item=%p\n", (void *)w, cls, IsWindowVisible(w), TextOf(w).c_str(), (void*)GetDlgItem(w, 0xFFFF));
        }
    }
    Press(stop, IDYES);
    EXPECT_EQ(run.process.WaitExit(60000), 0);
    EXPECT_NE(run.WaitFinderLine().find(" /n"), std::string::npos);
    EXPECT_FALSE(Testkit_ReadBytes(run.Path("install\\POCKETJE.DIC")).size());
    EXPECT_TRUE(Testkit_ReadBytes(run.Path("cd\\old\\POCKETJE.DIC")) == je);
}

TEST(Program, EndedByItsProcessIdWhileShowingTheSummary)
{
    TestRun run("ended");
    run.Prepare(614400, 0x1017, "VLV40023.wup", "v3\\Program\\POCKETEJ.DIC", "pocket");
    run.AddV3("00001017", "POCKETEJ.DLL", "Pocket EJ");
    ASSERT_TRUE(run.Start());
    HWND main = run.process.WaitWindow(LEXMIGRATE_CLASS);
    ASSERT_TRUE(main);
    HWND progress = FindWindowExA(main, nullptr, "#32770", nullptr);
    ASSERT_TRUE(Testkit_PumpUntil([&] { return IsWindowEnabled(GetDlgItem(progress, UIA_UPGRADE_IDC_EXIT)) != 0; }, 60000));
    EXPECT_TRUE(run.process.End(3000));
    EXPECT_FALSE(run.process.Running());
}
