// Velomira.exe run as a real process from a folder of its own ("app", with kind spies named after
// the sibling programs beside it and the suite's libraries found through PATH), driven through the
// messages its tray icon, menus, hot keys and the other programs send, and ended through its own
// close command.  What it did outside is read back from the windows it made, from the kind spies'
// log and from its action log (VELOMIRA_TRACE).
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "basekit.h"
#include "prefstore.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"
#include "vlmkit.h"

namespace {

const UINT VLM_TRAY_NOTIFY = 0x404, VLM_TRAY_NOTIFY_BAR = 0x406, VLM_REGISTER_WINDOW = 0x83E9,
           VLM_UNREGISTER_WINDOW = 0x83EA, VLM_CLOSE = 0x83EB, VLM_OPTIONS_CHANGED = 0x83EC,
           VLM_SHOW_MAIN_MENU = 0x83F4, VLM_RUN_SEARCH = 0x83F6, VLM_SET_CONTROL_BAR = 0x83FF, VLM_SET_POPUP_MODE = 0x8400,
           VLM_SET_MOUSE_MODE = 0x8401, VLM_SET_CLIPBOARD_MODE = 0x8403, VLM_RELAY_NOTICE = 0x8409,
           VLM_COUNT_USAGE = 0x8414, VLM_HOOK_MOUSE_STOP = 0xBD3;

// Hot keys the test gives the program: Ctrl+Alt+F9 switches pointer lookup, Ctrl+Alt+F10 quits.
const WORD kPointerKey = (MOD_CONTROL | MOD_ALT) << 8 | VK_F9;
const WORD kQuitKey = (MOD_CONTROL | MOD_ALT) << 8 | VK_F10;

std::string g_work, g_app, g_trace, g_spyLog;
TestkitProcess *g_velomira;
HWND g_main;
HWND g_window;  // a window of the test's own, registered under kinds as the tests need
int g_clipboardNotices;

std::string Trace() { return Testkit_ReadFile(g_trace); }
size_t TraceMark() { return Trace().size(); }

// Waits until the action log holds the text after the mark.
bool TraceAfter(size_t mark, const std::string &text, DWORD ms = 20000)
{
    return Testkit_PumpUntil([&] { return Trace().find(text, mark) != std::string::npos; }, ms);
}

std::vector<std::string> SpyLines()
{
    std::vector<std::string> lines;
    std::string all = Testkit_ReadFile(g_spyLog), line;
    for (char c : all) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    return lines;
}

bool SpyHas(const std::string &line, DWORD ms = 20000)
{
    return Testkit_PumpUntil(
        [&] {
            for (const auto &l : SpyLines())
                if (l == line) return true;
            return false;
        },
        ms);
}

void AppendSpyLog(const std::string &line)
{
    std::string all = Testkit_ReadFile(g_spyLog) + line + "\r\n";
    Testkit_WriteFile(g_spyLog, all);
}

// The test's own window: logs the band like a spy of kind 9, and follows the clipboard chain.
HWND g_nextViewer;
LRESULT CALLBACK TestProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m >= 0x83E9 && m <= 0x8415) {
        char line[64];
        wsprintfA(line, "9 %X %ld %ld", m, (long)wp, (long)lp);
        AppendSpyLog(line);
        return 1;
    }
    if (m == WM_DRAWCLIPBOARD) {
        g_clipboardNotices++;
        return 0;
    }
    if (m == WM_CHANGECBCHAIN) {
        if ((HWND)wp == g_nextViewer) g_nextViewer = (HWND)lp;
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

HWND WindowOf(DWORD pid, const char *cls, bool visible)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && (!visible || IsWindowVisible(w))) return w;
    }
    return nullptr;
}

HWND WaitWindowOf(DWORD pid, const char *cls, DWORD ms = 20000)
{
    HWND found = nullptr;
    Testkit_PumpUntil([&] { return (found = WindowOf(pid, cls, true)) != nullptr; }, ms);
    return found;
}

void SetOptions(int pointer)
{
    StartupOptions startup = {};
    startup.SaveLastStatus = 1;
    startup.Pointer = pointer;
    Prefstore_SaveStartup(&startup);
    CaptureOptions capture = {};
    capture.MouseTimer = 0;  // a mouse stop captures at once
    capture.KeyboardTimer = 50;
    Prefstore_SaveCapture(&capture);
    HotkeyOptions keys = {};
    keys.Use = 1;
    keys.PauseMouse = kPointerKey;
    keys.Exit = kQuitKey;
    Prefstore_SaveHotkeys(&keys);
}

// Starts Velomira.exe from the app folder and waits for its main window.
HWND StartVelomira(TestkitProcess &p)
{
    size_t mark = TraceMark();
    if (!p.Start("\"" + g_app + "\\Velomira.exe\"")) return nullptr;
    if (!TraceAfter(mark, "ready", 60000)) return nullptr;
    return WindowOf(p.Id(), "VelomiraV5MainWindow", false);
}

// Waits until the main window has handled every message posted to it before this call.
void Barrier()
{
    static int count = 1000;
    int n = count++;
    size_t mark = TraceMark();
    PostMessageA(g_main, VLM_REGISTER_WINDOW, 6, n);
    char want[64];
    snprintf(want, sizeof want, "register 6 %p", (void *)(LPARAM)n);
    TraceAfter(mark, want);
}

bool HotkeyFree(UINT mods, UINT vk)
{
    if (!RegisterHotKey(nullptr, 0x7000, mods, vk)) return false;
    UnregisterHotKey(nullptr, 0x7000);
    return true;
}

// Ends, by their process ids, the programs the resident program started that are still running.
void EndLaunched()
{
    std::string trace = Trace();
    for (size_t at = trace.find(" pid="); at != std::string::npos; at = trace.find(" pid=", at + 1)) {
        DWORD pid = strtoul(trace.c_str() + at + 5, nullptr, 10);
        if (!pid) continue;
        if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) TerminateProcess(h, 1);
            CloseHandle(h);
        }
    }
}

class VelomiraProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        VelomiraInstall in;
        ASSERT_TRUE(Velomira_Install(&in, {"DRILLBOOK.EXE", "SHELFVIEW.EXE"}));
        g_work = in.work, g_app = in.app, g_trace = in.trace, g_spyLog = in.spyLog;
        SetOptions(0);

        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelomiraTestWindow";
        RegisterClassA(&wc);
        g_window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                   nullptr);

        ASSERT_TRUE(FindWindowA("Shell_TrayWnd", nullptr)) << "the shell's tray window is missing";
        g_velomira = new TestkitProcess;
        g_main = StartVelomira(*g_velomira);
        ASSERT_TRUE(g_main);
    }
    static void TearDownTestSuite()
    {
        delete g_velomira;  // ends it when a test left it running
        g_velomira = nullptr;
        EndLaunched();
        DestroyWindow(g_window);
    }
    void SetUp() override { ASSERT_TRUE(g_main && IsWindow(g_main)) << Trace(); }

    static void Post(UINT m, WPARAM wp = 0, LPARAM lp = 0) { PostMessageA(g_main, m, wp, lp); }
};

TEST_F(VelomiraProgram, StartsHiddenWithItsTrayIconAndHotKeys)
{
    std::string trace = Trace();
    EXPECT_NE(trace.find("tray add 1 icon 3 tip 4 ok=1"), std::string::npos) << trace;
    EXPECT_FALSE(IsWindowVisible(g_main));
    char cls[64];
    GetClassNameA(g_main, cls, sizeof cls);
    EXPECT_STREQ(cls, "VelomiraV5MainWindow");
    EXPECT_TRUE(GetWindowLongA(g_main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // The configured hot keys and Ctrl+Alt+Shift+F12 are the program's; others are free.
    EXPECT_FALSE(HotkeyFree(MOD_CONTROL | MOD_ALT, VK_F9));
    EXPECT_FALSE(HotkeyFree(MOD_CONTROL | MOD_ALT, VK_F10));
    EXPECT_FALSE(HotkeyFree(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12));
    EXPECT_TRUE(HotkeyFree(MOD_CONTROL | MOD_ALT, VK_F11));
    // The day's usage is counted for the other programs: 0 would mean "not running".
    EXPECT_EQ(SendMessageA(g_main, VLM_COUNT_USAGE, 1, 0), 1);
}

TEST_F(VelomiraProgram, SecondStartEndsAtOnce)
{
    TestkitProcess second;
    ASSERT_TRUE(second.Start("\"" + g_app + "\\Velomira.exe\""));
    EXPECT_EQ(second.WaitExit(30000), 0);
    EXPECT_TRUE(IsWindow(g_main));
    EXPECT_EQ(WindowOf(second.Id(), "VelomiraV5MainWindow", false), nullptr);
}

TEST_F(VelomiraProgram, BroadcastReachesTheKindsInOrderAndSkipsDeadWindows)
{
    // Spies of kinds 4 and 1 started in another order than the broadcast's; the test's own window
    // as kind 9; kind 7 registered to a window that is gone by the time of the notice.
    TestkitProcess spies[2];
    int kinds[2] = {4, 1};
    std::string spy = "\"" + Testkit_ProgramFolder() + "\\velomira_kindspy.exe\" ";
    for (int i = 0; i < 2; i++) {
        ASSERT_TRUE(spies[i].Start(spy + std::to_string(kinds[i])));
        ASSERT_TRUE(SpyHas(std::to_string(kinds[i]) + " start " + std::to_string(spies[i].Id())));
    }
    size_t mark = TraceMark();
    HWND gone = CreateWindowExA(0, "VelomiraTestWindow", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessageA(g_main, VLM_REGISTER_WINDOW, 7, (LPARAM)gone), 1);
    DestroyWindow(gone);
    EXPECT_EQ(SendMessageA(g_main, VLM_REGISTER_WINDOW, 9, (LPARAM)g_window), 1);
    // Kinds 0 and 10 are no kinds; kind 6 holds a number.
    EXPECT_EQ(SendMessageA(g_main, VLM_REGISTER_WINDOW, 0, (LPARAM)g_window), 0);
    EXPECT_EQ(SendMessageA(g_main, VLM_REGISTER_WINDOW, 10, (LPARAM)g_window), 0);
    EXPECT_EQ(SendMessageA(g_main, VLM_REGISTER_WINDOW, 6, 1234), 1);
    EXPECT_EQ(SendMessageA(g_main, VLM_UNREGISTER_WINDOW, 6, 0), 1);
    ASSERT_TRUE(TraceAfter(mark, "register 9"));
    ASSERT_TRUE(TraceAfter(0, "register 1 ") && TraceAfter(0, "register 4 "));

    size_t before = SpyLines().size();
    SendMessageA(g_main, VLM_RELAY_NOTICE, 0, 0);
    std::vector<std::string> lines = SpyLines();
    std::vector<std::string> got(lines.begin() + before, lines.end());
    std::vector<std::string> want = {"9 8409 0 0", "1 8409 0 0", "4 8409 0 0"};
    EXPECT_EQ(got, want);
    SendMessageA(g_main, VLM_UNREGISTER_WINDOW, 9, 0);
    SendMessageA(g_main, VLM_UNREGISTER_WINDOW, 7, 0);
    for (auto &s : spies) s.info = {};  // left running: they must hear the close at the end
}

TEST_F(VelomiraProgram, HotKeysAndModeSwitchesChangeTheModes)
{
    struct Case {
        const char *what;
        UINT message;
        WPARAM wp;
        LPARAM lp;
        const char *modes;  // switches after it, then whether attached
    } cases[] = {
        {"hot key of pointer lookup", WM_HOTKEY, 11007, 0, "modes 1 0 0 0 0 attached=1"},
        {"keyboard on directly", VLM_SET_MOUSE_MODE, (WPARAM)-1, 1, "modes 1 1 0 0 0 attached=1"},
        {"tray click toggles pointer", VLM_TRAY_NOTIFY, 1, WM_LBUTTONDOWN, "modes 0 1 0 0 0 attached=1"},
        {"keyboard toggled whatever lParam", VLM_SET_MOUSE_MODE, 0, 1, "modes 0 0 0 0 0 attached=0"},
        {"pointer switched on by message", VLM_SET_POPUP_MODE, (WPARAM)-1, 7, "modes 1 0 0 0 0 attached=1"},
        {"pointer command", WM_COMMAND, 11007, 0, "modes 0 0 0 0 0 attached=0"},
    };
    for (const Case &c : cases) {
        size_t mark = TraceMark();
        Post(c.message, c.wp, c.lp);
        EXPECT_TRUE(TraceAfter(mark, c.modes, 60000)) << c.what << "\n" << Trace().substr(mark);
    }
    std::string trace = Trace();
    // The pop-up manager lives while a lookup switch is on; the tray icon follows pointer lookup.
    EXPECT_NE(trace.find("attach poll=1 popup=1"), std::string::npos);
    EXPECT_NE(trace.find("tray modify 1 icon 1 tip 2 ok=1"), std::string::npos);
    EXPECT_NE(trace.find("tray modify 1 icon 3 tip 4 ok=1"), std::string::npos);
    EXPECT_NE(trace.find("mouse watch keyboardOff=0 trigger=0,0 triggerOff=1"), std::string::npos);
    EXPECT_EQ(WindowOf(g_velomira->Id(), "VelomiraV5PopupWindow", false), nullptr);
}

TEST_F(VelomiraProgram, MouseStopsInsideTheSmallBoxAreNotCapturedAgain)
{
    // Keyboard lookup only: attached, but the poll of the cursor stands for pointer lookup and
    // stays quiet, so the stops below are the only ones.
    size_t mark = TraceMark();
    Post(VLM_SET_MOUSE_MODE, (WPARAM)-1, 1);
    ASSERT_TRUE(TraceAfter(mark, "modes 0 1 0 0 0 attached=1", 60000));
    struct Case {
        HWND window;
        int x, y;
        bool captured;
    } cases[] = {
        {g_window, 100, 100, true}, {g_window, 101, 100, false}, {g_window, 98, 97, false},
        {g_window, 102, 100, true}, {g_window, 102, 103, true},  {g_window, 102, 105, false},
        {g_main, 102, 105, true},
    };
    for (const Case &c : cases) {
        mark = TraceMark();
        Post(VLM_HOOK_MOUSE_STOP, (WPARAM)c.window, MAKELPARAM(c.x, c.y));
        // With no mouse timer the capture follows through a posted timer message: two posted
        // markers later it has happened or will not.
        Barrier();
        Barrier();
        char want[64];
        snprintf(want, sizeof want, "capture 0xbd3 %p %d %d", (void *)c.window, c.x, c.y);
        EXPECT_EQ(Trace().find(want, mark) != std::string::npos, c.captured) << c.x << "," << c.y;
    }
    mark = TraceMark();
    Post(VLM_SET_MOUSE_MODE, (WPARAM)-1, 0);
    ASSERT_TRUE(TraceAfter(mark, "modes 0 0 0 0 0 attached=0"));
    EXPECT_EQ(Trace().find("mouse stop", mark), std::string::npos);
}

TEST_F(VelomiraProgram, ClipboardLookupKeepsTheViewersAfterItInformed)
{
    g_nextViewer = SetClipboardViewer(g_window);
    size_t mark = TraceMark();
    Post(VLM_SET_CLIPBOARD_MODE, (WPARAM)-1, 1);
    ASSERT_TRUE(TraceAfter(mark, "modes 0 0 0 1 0 attached=0 chain=1"));
    g_clipboardNotices = 0;
    mark = TraceMark();
    ASSERT_TRUE(OpenClipboard(g_window));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 6);
    memcpy(GlobalLock(text), "hello", 6);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
    EXPECT_TRUE(TraceAfter(mark, "clipboard"));
    EXPECT_TRUE(Testkit_PumpUntil([] { return g_clipboardNotices > 0; }, 10000));
    mark = TraceMark();
    Post(VLM_SET_CLIPBOARD_MODE, 0, 0);
    ASSERT_TRUE(TraceAfter(mark, "modes 0 0 0 0 0 attached=0 chain=0"));
    ChangeClipboardChain(g_window, g_nextViewer);
}

TEST_F(VelomiraProgram, ControlBarAndItsSecondTrayIcon)
{
    size_t mark = TraceMark();
    Post(WM_COMMAND, 11013);
    ASSERT_TRUE(TraceAfter(mark, "bar=1"));
    HWND bar = WaitWindowOf(g_velomira->Id(), "ToolstripControlBar");
    ASSERT_TRUE(bar);
    mark = TraceMark();
    Post(VLM_SET_CONTROL_BAR, 0);
    ASSERT_TRUE(TraceAfter(mark, "tray add 2 icon 221 tip 2457 ok=1"));
    EXPECT_NE(Trace().find("bar=0", mark), std::string::npos);
    mark = TraceMark();
    EXPECT_EQ(SendMessageA(g_main, VLM_TRAY_NOTIFY_BAR, 2, WM_LBUTTONDOWN), 1);
    ASSERT_TRUE(TraceAfter(mark, "bar=1"));
    EXPECT_NE(Trace().find("tray delete 2", mark), std::string::npos);
    mark = TraceMark();
    Post(WM_COMMAND, 11013);
    ASSERT_TRUE(TraceAfter(mark, "bar=0"));
}

TEST_F(VelomiraProgram, TrayMenuIsDrawnAndItsLettersRunItsItems)
{
    SetCursorPos(400, 400);
    size_t mark = TraceMark();
    Post(VLM_SHOW_MAIN_MENU, 0, 0);
    ASSERT_TRUE(TraceAfter(mark, "tray menu 14 items, 0 sets"));
    HWND menu = WaitWindowOf(g_velomira->Id(), "#32768");
    ASSERT_TRUE(menu);
    Testkit_PumpUntil([] { return false; }, 300);  // (the menu paints itself)
    EXPECT_TRUE(Testkit_SaveWindowPicture(menu, "tray_menu.bmp"));
    RECT rc;
    GetWindowRect(menu, &rc);
    EXPECT_GE(rc.bottom - rc.top, 10 * 18);
    // A key that names no item leaves the menu open; W runs the study list (position 1).
    PostMessageA(menu, WM_CHAR, '5', 0);
    ASSERT_TRUE(TraceAfter(mark, "menu char 53 -> -1"));
    EXPECT_TRUE(IsWindowVisible(menu));
    PostMessageA(menu, WM_CHAR, 'w', 0);
    ASSERT_TRUE(TraceAfter(mark, "command 11003"));
    EXPECT_TRUE(TraceAfter(mark, "launch 3 DRILLBOOK.EXE ok=1"));
}

TEST_F(VelomiraProgram, CommandsStartTheirProgramsAndWindows)
{
    // The study list started by the menu has registered; picking it again shows it.
    ASSERT_TRUE(TraceAfter(0, "register 3 "));
    size_t mark = TraceMark();
    Post(WM_COMMAND, 11003);
    EXPECT_TRUE(TraceAfter(mark, "show 3"));
    EXPECT_EQ(Trace().find("launch 3", mark), std::string::npos);
    // Dictionary setup is started from the program's folder, whatever the current folder.
    mark = TraceMark();
    Post(WM_COMMAND, 11004);
    EXPECT_TRUE(TraceAfter(mark, "launch 2 SHELFVIEW.EXE ok=1"));
    // No search station in the folder: nothing happens and the program goes on answering.
    mark = TraceMark();
    Post(VLM_RUN_SEARCH, 0, 0);
    EXPECT_TRUE(TraceAfter(mark, "launch 1 QUERYDESK.EXE ok=0"));
    EXPECT_EQ(SendMessageA(g_main, VLM_COUNT_USAGE, 2, 0), 1);

    // The option window and the about box are windows of the program, fed by its loop.
    DWORD pid = g_velomira->Id();
    Post(WM_COMMAND, 5406);
    HWND sheet = WaitWindowOf(pid, "#32770");
    ASSERT_TRUE(sheet);
    PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(sheet); }, 20000));
    Post(WM_COMMAND, 11015);
    HWND about = WaitWindowOf(pid, "#32770");
    ASSERT_TRUE(about);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(about); }, 20000));
}

TEST_F(VelomiraProgram, OptionsChangedRegistersTheHotKeysAgain)
{
    HotkeyOptions keys = {};
    keys.Use = 0;
    Prefstore_SaveHotkeys(&keys);
    size_t mark = TraceMark();
    EXPECT_EQ(SendMessageA(g_main, VLM_OPTIONS_CHANGED, 0, 0), 1);
    EXPECT_TRUE(TraceAfter(mark, "hotkeys use=0 registered=0"));
    EXPECT_NE(Trace().find("broadcast 0x83ec", mark), std::string::npos);
    EXPECT_EQ(Trace().find("modes", mark), std::string::npos);  // the modes are not applied again
    EXPECT_TRUE(HotkeyFree(MOD_CONTROL | MOD_ALT, VK_F9));
    EXPECT_FALSE(HotkeyFree(MOD_CONTROL | MOD_ALT | MOD_SHIFT, VK_F12));
    SetOptions(0);
    SendMessageA(g_main, VLM_OPTIONS_CHANGED, 0, 0);
    EXPECT_FALSE(HotkeyFree(MOD_CONTROL | MOD_ALT, VK_F9));
}

// Last: the quit hot key closes everything the program started and keeps the switches.
TEST_F(VelomiraProgram, QuitReleasesEverythingAndKeepsTheSwitches)
{
    size_t mark = TraceMark();
    Post(VLM_SET_POPUP_MODE, (WPARAM)-1, 1);  // attached, with the capture server running
    ASSERT_TRUE(TraceAfter(mark, "modes 1 0 0 0 0 attached=1", 60000));
    size_t spyMark = SpyLines().size();
    Post(WM_HOTKEY, 11016);
    EXPECT_EQ(g_velomira->WaitExit(60000), 0);
    std::string trace = Trace().substr(mark);
    EXPECT_NE(trace.find("detach"), std::string::npos) << trace;
    EXPECT_NE(trace.find("tray delete 1 icon 0 tip 0 ok=1"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("destroyed"), trace.rfind("destroyed"));  // torn down once
    EXPECT_NE(trace.find("ended"), std::string::npos);
    // Every sibling heard the close and ended.
    std::vector<std::string> lines = SpyLines();
    for (const char *kind : {"1", "2", "3", "4"}) {
        bool heard = false;
        for (size_t i = spyMark; i < lines.size(); i++) heard |= lines[i] == std::string(kind) + " 83EB 0 0";
        EXPECT_TRUE(heard) << "kind " << kind;
    }
    EXPECT_TRUE(Testkit_PumpUntil([] { return !FindWindowA("VelomiraV5StudyListWindow", nullptr); }, 20000));
    // Named objects are gone with it.
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, "VELOMIRAEXIST"), nullptr);
    EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "SCRIVSHOWMAPPEDFILE"), nullptr);
    // The switches and the open programs were kept for the next start.
    StartupOptions startup;
    Prefstore_LoadStartup(&startup);
    EXPECT_EQ(startup.Pointer, 1);
    EXPECT_EQ(startup.Keyboard, 0);
    EXPECT_EQ(startup.StudyIt, 1);
    EXPECT_EQ(startup.Translate, 1);
    EXPECT_EQ(startup.Search, 1);
    g_main = nullptr;
}

// A new start takes the kept switches and programs back; on a system older than 6.0 (as the
// program is told here) the cursor is not polled.
TEST(VelomiraRestart, KeptSwitchesComeBackWithoutPollOnOlderSystems)
{
    ASSERT_FALSE(g_app.empty());
    SetEnvironmentVariableA("VELOMIRA_WINDOWS", "5.1");
    TestkitProcess p;
    size_t mark = TraceMark();
    HWND main = StartVelomira(p);
    SetEnvironmentVariableA("VELOMIRA_WINDOWS", nullptr);
    ASSERT_TRUE(main);
    EXPECT_TRUE(TraceAfter(mark, "attach poll=0 popup=1", 60000));
    // The kept programs are started again; those missing from the folder are passed over.
    EXPECT_TRUE(TraceAfter(mark, "launch 3 DRILLBOOK.EXE ok=1"));
    EXPECT_TRUE(TraceAfter(mark, "launch 1 QUERYDESK.EXE ok=0"));
    EXPECT_TRUE(TraceAfter(mark, "launch 4 TRANSPANE.EXE ok=0"));
    EXPECT_TRUE(TraceAfter(mark, "register 3 "));
    SendMessageA(main, VLM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(60000), 0);
    EndLaunched();
}

}  // namespace
