// The real Lexfinder.exe as a process, started and ended by its process id, on fixture drives
// (LEXFINDER_DRIVES): the unattended run ("/n") that copies and registers what it finds, the run
// with the drive options that registers every kind in place, closing without registering, a
// second start, nothing found, and a scan cancelled from its progress box.  After each run the
// engine of this process opens and searches what was registered.  Pictures of the windows are
// kept in the working folder.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "finder_int.h"
#include "finder_res.h"
#include "finderkit.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"

namespace {

const char kFrameClass[] = "VelomiraV5DicSearch";
const char kTitleJis[] = "\x31\x51\x4F\x42\x3C\x2D\x45\x35";                 // "英和辞典"
const char kTitleSjis[] = "\x89\x70\x98\x61\x8E\xAB\x93\x54";                 // the same in Shift-JIS
const char kNameA[] = "\x89\x70\x98\x61\x83\x65\x83\x58\x83\x67\x8E\xAB\x8F\x91";  // "英和テスト辞書"
const char kNameAddon[] = "\x92\xC7\x89\xC1\x8E\xAB\x8F\x91";              // "追加辞書"

// A finder installed in a folder of its own beside fixture drives; the suite's libraries and
// tools are found on the path.
struct Install {
    fk::SettingsGuard guard;
    std::string root, finder, drive1, drive2, myDic, log;
    DWORD userId = 0;

    explicit Install(const char *name, bool engines = true)
    {
        root = fk::Cwd() + "\\" + name;
        fk::RemoveFolder(root);
        finder = root + "\\Velosuite";
        drive1 = root + "\\drive1";
        drive2 = root + "\\drive2";
        myDic = root + "\\My Dictionary";  // the default: beside the program's folder
        log = root + "\\boxes.log";
        for (const std::string &f : {root, finder, drive1, drive2, root + "\\userdata"})
            CreateDirectoryA(f.c_str(), nullptr);
        const std::string bin = fk::BinFolder();
        std::vector<std::string> files = {"Lexfinder.exe", "Idxconvert.exe"};
        if (engines) files.push_back("ddtranslate.dll");
        for (const std::string &f : files) fk::Write(finder + "\\" + f, fk::ReadAllFile(bin + "\\" + f));
        char path[8192] = {0};
        GetEnvironmentVariableA("PATH", path, sizeof path);
        if (!strstr(path, bin.c_str())) SetEnvironmentVariableA("PATH", (bin + ";" + path).c_str());
        SetEnvironmentVariableA("SHAREDKIT_DATA_DIR", (root + "\\userdata").c_str());
        SetEnvironmentVariableA("LEXFINDER_DRIVES", (drive1 + "\\;" + drive2 + "\\;").c_str());
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "1");
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_LOG", log.c_str());
    }
    ~Install()
    {
        Lexshelf_Term();
        for (const char *v : {"LEXFINDER_DRIVES", "UIASSETS_MESSAGEBOX_ANSWER", "UIASSETS_MESSAGEBOX_LOG"})
            SetEnvironmentVariableA(v, nullptr);
        fk::RemoveFolder(root);
    }

    // Fixture dictionaries: a dictionary file and an add-on and a book index on the first drive, a
    // book on the second.
    void Fixtures()
    {
        fk::WriteStaticDic(drive1 + "\\dics\\a.dic", 0x2101, {fk::E("apple", "a fruit"), fk::E("pear", "another")});
        EXPECT_TRUE(Lexicore_Init("VLTP", 0));
        userId = fk::WriteUserDic(drive1 + "\\user\\addon.dic", {"kiwi", "lime"});
        Lexicore_Term();
        fk::Write(drive1 + "\\idx\\fruit.idx", fk::BookIndex("Fruit Book", {"apple", "banana", "cherry"}));
        fk::Write(drive2 + "\\ebook\\CATALOGS", fk::Catalogs({{"BOOK1", kTitleJis, 0x00, {}}}));
        fk::Write(drive2 + "\\ebook\\BOOK1\\Data\\Honmon", fk::BookBody({"grape", "melon"}));
        std::string names = fk::NamesFile({{0x2101, kNameA, {{0x0100, "EJ"}}}, {userId, kNameAddon, {{0x0100, "AD"}}}});
        fk::Write(finder + "\\vldicjpn.ini", names);
        fk::Write(finder + "\\vldiceng.ini", names);
    }

    bool Start(TestkitProcess &p, const char *arguments)
    {
        DeleteFileA(log.c_str());
        return p.Start("\"" + finder + "\\Lexfinder.exe\" " + arguments, root.c_str());
    }
    std::string Boxes() const { return fk::ReadAllFile(log); }
};

// A top-level dialog of the process that has the control; null when none came within 30 s.
HWND WaitDialog(const TestkitProcess &p, int control)
{
    HWND found = nullptr;
    Testkit_PumpUntil([&] {
        for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w && !found;
             w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == p.Id() && IsWindowVisible(w) && GetDlgItem(w, control)) found = w;
        }
        return found != nullptr || !p.Running();
    }, 30000);
    return found;
}

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Pictures a window once it has painted.
void Picture(HWND window, const std::string &file)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Testkit_PumpUntil([] { return false; }, 300);  // let the other process paint
    EXPECT_TRUE(Testkit_SaveWindowPicture(window, file.c_str())) << file;
}

int CheckedRows(HWND list)
{
    int n = 0;
    for (int i = 0; i < ListView_GetItemCount(list); i++) n += ListView_GetCheckState(list, i) ? 1 : 0;
    return n;
}

// The result window of a running finder: frame, dialog and list.
struct ResultWindow {
    HWND frame = nullptr, dialog = nullptr, list = nullptr;
    explicit ResultWindow(TestkitProcess &p)
    {
        frame = p.WaitWindow(kFrameClass, 60000);
        if (!frame) return;
        dialog = FindWindowExA(frame, nullptr, "#32770", nullptr);
        if (dialog) list = GetDlgItem(dialog, UIA_IDC_FR_LIST);
    }
};

}  // namespace

TEST(Program, UnattendedRunCopiesAndRegistersWhatItFinds)
{
    Install in("unattended");
    in.Fixtures();
    TestkitProcess p;
    ASSERT_TRUE(in.Start(p, "/N"));
    ResultWindow w(p);
    ASSERT_NE(w.frame, nullptr) << "the result window opens";
    ASSERT_NE(w.list, nullptr);
    // The first drive only and no books: the dictionary file, the add-on, the engine, the index.
    EXPECT_EQ(ListView_GetItemCount(w.list), 4);
    Picture(w.frame, "unattended_found.bmp");
    Click(w.dialog, UIA_IDC_FR_CHECK_ALL);
    Testkit_PumpUntil([&] { return CheckedRows(w.list) == 4; });
    EXPECT_EQ(CheckedRows(w.list), 4);
    Picture(w.frame, "unattended_checked.bmp");
    Click(w.dialog, UIA_IDC_FR_COPY);
    EXPECT_EQ(p.WaitExit(120000), 1) << "something was registered";
    EXPECT_NE(in.Boxes().find("2464\t"), std::string::npos) << "the closing notice";

    ASSERT_TRUE(Lexshelf_Init(LEXICORE_INIT_DRIVERS));
    EXPECT_EQ(fk::Text(fk::DicKey(0x2101), "FileName"), in.myDic + "\\a.dic") << "copied";
    EXPECT_EQ(fk::Text(fk::DicKey(0x2101), "Name"), kNameA);
    EXPECT_EQ(fk::Search(0x210100, "apple").headwords, std::vector<std::string>{"apple"});
    DWORD addon = in.userId;  // the first free user id: the found one's id is free again
    char addonPath[MAX_PATH];
    snprintf(addonPath, sizeof addonPath, "%s\\VV4D%04x.dic", in.myDic.c_str(), (unsigned)addon);
    EXPECT_EQ(fk::Text(fk::DicKey(addon), "FileName"), addonPath);
    EXPECT_EQ(Basekit_SettingsReadDword(fk::DicKey(addon).c_str(), "Regist"), 1u);
    EXPECT_EQ(fk::Search(addon << 8, "kiwi").headwords, std::vector<std::string>{"kiwi"});
    EXPECT_EQ(fk::Text(fk::DicKey(0x1010), "FileName"), "ddtranslate.dll");
    EXPECT_EQ(fk::Translate(0x101000, "apple").headwords.size(), 1u);
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000), "FileName"), in.myDic + "\\Fruit Book\\BOOK\\Data\\Honmon");
    EXPECT_EQ(fk::Search(0xD00000, "banana").headwords.size(), 1u);
    EXPECT_FALSE(fk::KeyExists(fk::DicKey(0xD001))) << "the book of the second drive was not searched";
    char setup[MAX_PATH];
    Finder_SetupKey(setup);
    EXPECT_EQ(fk::Text(setup, "MyDicFolder"), in.myDic);
}

TEST(Program, DriveOptionsThenEveryKindRegisteredInPlace)
{
    Install in("attended");
    in.Fixtures();
    TestkitProcess p;
    ASSERT_TRUE(in.Start(p, ""));
    HWND options = WaitDialog(p, UIA_IDC_FD_DICTIONARIES);
    ASSERT_NE(options, nullptr) << "the drive options come first";
    for (int id : {UIA_IDC_FD_DICTIONARIES, UIA_IDC_FD_BOOKS, UIA_IDC_FD_ENGINES, UIA_IDC_FD_INDEXES})
        EXPECT_EQ(SendDlgItemMessageA(options, id, BM_GETCHECK, 0, 0), BST_CHECKED) << id;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(options, UIA_IDC_FD_LIST))) << "all drives: no list";
    Click(options, UIA_IDC_FD_MODE);
    Testkit_PumpUntil([&] { return IsWindowVisible(GetDlgItem(options, UIA_IDC_FD_LIST)) != 0; });
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(options, UIA_IDC_FD_LIST)), 2);
    Picture(options, "drive_options.bmp");
    Click(options, UIA_IDC_FD_MODE);  // back to all drives
    Testkit_PumpUntil([&] { return !IsWindowVisible(GetDlgItem(options, UIA_IDC_FD_LIST)); });
    Click(options, IDYES);
    ResultWindow w(p);
    ASSERT_NE(w.list, nullptr);
    EXPECT_EQ(ListView_GetItemCount(w.list), 5) << "every kind, the book included";
    Click(w.dialog, UIA_IDC_FR_CHECK_ALL);
    Testkit_PumpUntil([&] { return CheckedRows(w.list) == 5; });
    Picture(w.frame, "found_list.bmp");
    Click(w.dialog, UIA_IDC_FR_REGISTER);
    EXPECT_EQ(p.WaitExit(120000), 1);

    ASSERT_TRUE(Lexshelf_Init(LEXICORE_INIT_DRIVERS));
    char setup[MAX_PATH];
    Finder_SetupKey(setup);
    EXPECT_EQ(fk::Text(setup, "SearchDrive"), "") << "all drives are stored as the empty value";
    EXPECT_EQ(fk::Text(fk::DicKey(0x2101), "FileName"), in.drive1 + "\\dics\\a.dic") << "in place";
    EXPECT_EQ(fk::Search(0x210100, "pear").headwords, std::vector<std::string>{"pear"});
    EXPECT_EQ(fk::Search(in.userId << 8, "lime").headwords, std::vector<std::string>{"lime"});
    EXPECT_EQ(fk::Translate(0x101000, "apple").headwords.size(), 1u);
    // The book and the converted index, each under a book key of its own.
    std::vector<std::string> bodies = {fk::Text(fk::DicKey(0xD000), "FileName"),
                                       fk::Text(fk::DicKey(0xD001), "FileName")};
    std::sort(bodies.begin(), bodies.end());
    std::vector<std::string> expected = {in.drive2 + "\\ebook\\BOOK1\\Data\\Honmon",
                                         in.myDic + "\\Fruit Book\\BOOK\\Data\\Honmon"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(bodies, expected);
    DWORD book = fk::Text(fk::DicKey(0xD000), "FileName").find("ebook") != std::string::npos ? 0xD000 : 0xD001;
    EXPECT_EQ(fk::Text(fk::DicKey(book), "Name"), kTitleSjis);
    EXPECT_EQ(fk::Search(book << 8, "melon").headwords, std::vector<std::string>{"melon"});
    EXPECT_EQ(fk::Search((book ^ 1) << 8, "cherry").headwords.size(), 1u);
}

std::string TextOf(HWND window)
{
    char text[MAX_PATH] = {0};
    SendMessageA(window, WM_GETTEXT, sizeof text, (LPARAM)text);  // the text of another process's control
    return text;
}

TEST(Program, ChosenFolderAndTheQuestionsOfABookCopy)
{
    Install in("questions", false);
    in.Fixtures();
    SetEnvironmentVariableA("LEXFINDER_DRIVES", (in.drive2 + "\\;").c_str());
    SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "6,1");  // create the folder; the notice
    const std::string chosen = in.root + "\\Chosen Dics";
    fk::Write(chosen + "\\Copied EJ\\CATALOGS", "an older catalogue");
    TestkitProcess p;
    ASSERT_TRUE(in.Start(p, ""));
    HWND options = WaitDialog(p, UIA_IDC_FD_DICTIONARIES);
    ASSERT_NE(options, nullptr);
    Click(options, IDYES);
    ResultWindow w(p);
    ASSERT_NE(w.list, nullptr);
    EXPECT_EQ(ListView_GetItemCount(w.list), 1) << "the book alone";

    // The folder chooser: a new folder, created on request.
    Click(w.dialog, UIA_IDC_FR_CHOOSE_FOLDER);
    HWND chooser = WaitDialog(p, UIA_IDC_FF_DRIVES);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(chooser, UIA_IDC_FF_PATH)), in.myDic.substr(0, in.myDic.rfind('\\')))
        << "starts at the nearest folder that exists";
    Picture(chooser, "folder_chooser.bmp");
    SendMessageA(GetDlgItem(chooser, UIA_IDC_FF_PATH), WM_SETTEXT, 0, (LPARAM)(chosen + "\\New\\").c_str());
    Click(chooser, UIA_IDC_FF_OK);
    Testkit_PumpUntil([&] { return !IsWindow(chooser); });
    EXPECT_EQ(TextOf(GetDlgItem(w.dialog, UIA_IDC_FR_FOLDER)), chosen + "\\New");
    EXPECT_TRUE(fk::Exists(chosen + "\\New"));
    // Back to the folder that holds an older copy.
    Click(w.dialog, UIA_IDC_FR_CHOOSE_FOLDER);
    chooser = WaitDialog(p, UIA_IDC_FF_DRIVES);
    ASSERT_NE(chooser, nullptr);
    SendMessageA(GetDlgItem(chooser, UIA_IDC_FF_PATH), WM_SETTEXT, 0, (LPARAM)chosen.c_str());
    Click(chooser, UIA_IDC_FF_OK);
    Testkit_PumpUntil([&] { return !IsWindow(chooser); });

    // Copy: the folder name with its preview, then the overwrite question for the catalogue.
    Click(w.dialog, UIA_IDC_FR_CHECK_ALL);
    Click(w.dialog, UIA_IDC_FR_COPY);
    HWND name = WaitDialog(p, UIA_IDC_FN_PREVIEW);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(name, UIA_IDC_FN_NAME)), kTitleSjis) << "the book's title to start with";
    SendMessageA(GetDlgItem(name, UIA_IDC_FN_NAME), WM_SETTEXT, 0, (LPARAM) "Copied EJ");
    SendMessageA(name, WM_COMMAND, MAKEWPARAM(UIA_IDC_FN_NAME, EN_CHANGE), (LPARAM)GetDlgItem(name, UIA_IDC_FN_NAME));
    EXPECT_EQ(TextOf(GetDlgItem(name, UIA_IDC_FN_PREVIEW)), chosen + "\\Copied EJ");
    Picture(name, "folder_name.bmp");
    Click(name, IDOK);
    HWND overwrite = WaitDialog(p, UIA_IDC_FO_SAME_FOR_ALL);
    ASSERT_NE(overwrite, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(overwrite, UIA_IDC_FO_SOURCE)), "'" + in.drive2 + "\\ebook\\CATALOGS'");
    Picture(overwrite, "overwrite.bmp");
    Click(overwrite, IDYES);
    EXPECT_EQ(p.WaitExit(120000), 1);

    EXPECT_EQ(fk::ReadAllFile(chosen + "\\Copied EJ\\CATALOGS"), fk::ReadAllFile(in.drive2 + "\\ebook\\CATALOGS"));
    ASSERT_TRUE(Lexshelf_Init(LEXICORE_INIT_DRIVERS));
    EXPECT_EQ(fk::Text(fk::DicKey(0xD000), "FileName"), chosen + "\\Copied EJ\\BOOK1\\Data\\Honmon");
    EXPECT_EQ(fk::Search(0xD00000, "grape").headwords, std::vector<std::string>{"grape"});
    char setup[MAX_PATH];
    Finder_SetupKey(setup);
    EXPECT_EQ(fk::Text(setup, "MyDicFolder"), chosen);
}

TEST(Program, ClosingTheResultWindowRegistersNothing)
{
    Install in("close");
    in.Fixtures();
    std::string before = fk::SettingsSnapshot();
    TestkitProcess p;
    ASSERT_TRUE(in.Start(p, "/n"));
    ResultWindow w(p);
    ASSERT_NE(w.list, nullptr);
    Click(w.dialog, UIA_IDC_FR_CHECK_ALL);
    Click(w.dialog, UIA_IDC_FR_CLOSE);
    EXPECT_EQ(p.WaitExit(60000), 0);
    EXPECT_EQ(in.Boxes(), "") << "no notice";
    EXPECT_EQ(fk::SettingsSnapshot(), before);
    EXPECT_FALSE(fk::Exists(in.myDic));
}

TEST(Program, ASecondStartEndsAtOnceAndNothingFoundIsSaid)
{
    Install in("second", false);
    in.Fixtures();
    TestkitProcess first;
    ASSERT_TRUE(in.Start(first, "/n"));
    ASSERT_NE(first.WaitWindow(kFrameClass, 60000), nullptr);
    TestkitProcess second;
    ASSERT_TRUE(second.Start("\"" + in.finder + "\\Lexfinder.exe\" /n", in.root.c_str()));
    EXPECT_EQ(second.WaitExit(60000), 0);
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.End());

    // Only files that are not dictionaries, and no engine beside the finder.
    SetEnvironmentVariableA("LEXFINDER_DRIVES", (in.root + "\\userdata\\;").c_str());
    TestkitProcess empty;
    ASSERT_TRUE(in.Start(empty, "/n"));
    EXPECT_EQ(empty.WaitExit(60000), 0);
    std::string boxes = in.Boxes();
    EXPECT_EQ(boxes.substr(0, 5), "2336\t") << boxes;
}

TEST(Program, CancelDuringTheWalkEndsSilentlyAndRegistersNothing)
{
    Install in("cancel");
    in.Fixtures();
    // Enough folders that the walk is still going when the box is cancelled.
    for (int i = 0; i < 300; i++) {
        char folder[MAX_PATH];
        snprintf(folder, sizeof folder, "%s\\many\\f%03d", in.drive1.c_str(), i);
        fk::Write(std::string(folder) + "\\x.dic", "not a dictionary");
    }
    std::string before = fk::SettingsSnapshot();
    TestkitProcess p;
    ASSERT_TRUE(in.Start(p, "/n"));
    HWND box = WaitDialog(p, UIA_IDC_FP_PROGRESS);
    ASSERT_NE(box, nullptr);
    // The walking thread is held while the box is cancelled, so the cancel meets it mid-walk.  It
    // may be held inside a system call, holding a lock that the box needs before it can take the
    // click: then the click is given up, the walker let go a moment and held again.
    HANDLE walker = OpenThread(THREAD_SUSPEND_RESUME, FALSE, p.info.dwThreadId);
    ASSERT_NE(walker, nullptr);
    bool clicked = false;
    for (int tries = 0; tries < 20 && !clicked; tries++) {
        SuspendThread(walker);
        DWORD_PTR answer;
        clicked = SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                      (LPARAM)GetDlgItem(box, IDCANCEL), SMTO_NORMAL, 2000, &answer) != 0;
        ResumeThread(walker);
        if (!clicked) Sleep(10);
    }
    EXPECT_TRUE(clicked);
    CloseHandle(walker);
    EXPECT_EQ(p.WaitExit(60000), 0);
    EXPECT_EQ(p.FindOwnWindow(kFrameClass), nullptr);
    EXPECT_EQ(in.Boxes(), "") << "a cancelled scan ends without a message";
    EXPECT_EQ(fk::SettingsSnapshot(), before) << "the catalogue is as it was";
}
