// The capture of one lookup from end to end: Velomira.exe runs as a process with pointer lookup
// on, the test's own windows hold known text, the cursor rests on a word and the hook report is
// posted; the capture server reads the word, and the action log shows the lookup request handed
// to the pop-up (kind 5) or, with mouse lookups sent to the search station, to a stand-in of the
// search station in a process of its own (kind 1).  A window of an application the user's list
// excludes gives no lookup.
#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "basekit.h"
#include "prefstore.h"
#include "support/testkit_files.h"
#include "support/testkit_folders.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"
#include "vlmkit.h"

namespace {

const UINT VLM_CLOSE = 0x83EB, VLM_OPTIONS_CHANGED = 0x83EC, VLM_HOOK_MOUSE_STOP = 0xBD3;

std::string g_work, g_app, g_trace, g_spyLog;

std::string Trace() { return Testkit_ReadFile(g_trace); }
bool TraceAfter(size_t mark, const std::string &text, DWORD ms = 20000)
{
    return Testkit_PumpUntil([&] { return Trace().find(text, mark) != std::string::npos; }, ms);
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

void SaveCapture(int popupToSearch)
{
    CaptureOptions capture = {};
    capture.MouseTimer = 0;
    capture.KeyboardTimer = 50;
    capture.CaptureNoKey = 1;
    capture.PopupToSearch = popupToSearch;
    Prefstore_SaveCapture(&capture);
}

class VelomiraCapture : public ::testing::Test {
protected:
    static TestkitProcess *velomira;
    static HWND main, plain, blocked;

    static HWND Host(const char *cls, const char *text, int y)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
        HWND top = CreateWindowExA(0, cls, cls, WS_POPUP | WS_VISIBLE, 100, y, 400, 40, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        HWND edit = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE, 0, 0, 400, 40, top, nullptr,
                                    wc.hInstance, nullptr);
        SendMessageA(edit, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 1);
        return edit;
    }

    static void SetUpTestSuite()
    {
        VelomiraInstall in;
        ASSERT_TRUE(Velomira_Install(&in, {"QUERYDESK.EXE"}));
        g_work = in.work, g_app = in.app, g_trace = in.trace, g_spyLog = in.spyLog;
        // The user's application list, beside the program: one application kept out.
        Testkit_WriteFile(g_app + "\\vlwndctl.dat", "1\tVelomiraBlockedHost\tkept out\r\n");

        StartupOptions startup = {};
        startup.SaveLastStatus = 1;
        startup.Pointer = 1;
        Prefstore_SaveStartup(&startup);
        SaveCapture(0);
        Basekit_SettingsWriteDword("SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Ristrict", "EnableApplicationList", 1);

        plain = Host("VelomiraCaptureHost", "look at the dictionary", 200);
        blocked = Host("VelomiraBlockedHost", "blocked words here", 300);
        SetCursorPos(5, 5);

        velomira = new TestkitProcess;
        ASSERT_TRUE(velomira->Start("\"" + g_app + "\\Velomira.exe\""));
        ASSERT_TRUE(TraceAfter(0, "ready", 60000)) << Trace();
        main = WindowOf(velomira->Id(), "VelomiraV5MainWindow", false);
        ASSERT_TRUE(main);
    }
    static void TearDownTestSuite()
    {
        if (main && IsWindow(main)) PostMessageA(main, VLM_CLOSE, 0, 0);
        if (velomira) velomira->WaitExit(30000);
        delete velomira;
        velomira = nullptr;
        DestroyWindow(GetParent(plain));
        DestroyWindow(GetParent(blocked));
    }

    // Rests the cursor on the point of the window's text and reports the rest; the trace's mark.
    static size_t RestOn(HWND edit, int x)
    {
        SetCursorPos(5, 5);
        Testkit_PumpUntil([] { return false; }, 300);
        size_t mark = Trace().size();
        RECT r;
        GetWindowRect(edit, &r);
        POINT at = {r.left + x, r.top + 8};
        SetCursorPos(at.x, at.y);
        PostMessageA(main, VLM_HOOK_MOUSE_STOP, (WPARAM)edit, MAKELONG(at.x, at.y));
        return mark;
    }
};
TestkitProcess *VelomiraCapture::velomira;
HWND VelomiraCapture::main, VelomiraCapture::plain, VelomiraCapture::blocked;

TEST_F(VelomiraCapture, RestOnAWordHandsItsLookupToThePopup)
{
    size_t mark = RestOn(plain, 8);
    ASSERT_TRUE(TraceAfter(mark, "hand-off 0xbd3 kind 1 dic 0 to 5 pos ")) << Trace().substr(mark);
    std::string after = Trace().substr(mark);
    EXPECT_NE(after.find("captured yes"), std::string::npos) << after;
    // The viewer comes up when the dictionaries know the word; keep its picture when it does.
    HWND viewer = nullptr;
    if (Testkit_PumpUntil([&] { return (viewer = WindowOf(velomira->Id(), "VelomiraV5PopupViewer", true)) != nullptr; },
                          3000))
        Testkit_SaveWindowPicture(viewer, "capture_popup.bmp");
    Testkit_SavePicture(GetDC(nullptr), 0, 150, 640, 250, "capture_screen.bmp");
}

TEST_F(VelomiraCapture, ExcludedApplicationGivesNoLookup)
{
    size_t mark = RestOn(blocked, 10);
    ASSERT_TRUE(TraceAfter(mark, "capture 0xbd3")) << Trace().substr(mark);
    Testkit_PumpUntil([] { return false; }, 500);
    std::string all = Trace();
    std::string after = all.substr(all.rfind("capture 0xbd3"));
    EXPECT_EQ(after.find("hand-off"), std::string::npos) << after;
    EXPECT_EQ(after.find("captured"), std::string::npos) << after;
}

TEST_F(VelomiraCapture, WithPopupToSearchTheSearchStationGetsTheLookup)
{
    TestkitProcess spy;
    ASSERT_TRUE(spy.Start("\"" + g_app + "\\QUERYDESK.EXE\""));
    ASSERT_TRUE(Testkit_PumpUntil([&] { return WindowOf(spy.Id(), "VelomiraV5SearchMain", false) != nullptr; }, 20000));
    SaveCapture(1);
    SendMessageA(main, VLM_OPTIONS_CHANGED, 0, 0);
    size_t mark = RestOn(plain, 8);
    EXPECT_TRUE(TraceAfter(mark, "hand-off 0xbd3 kind 1 dic 0 to 1 ")) << Trace().substr(mark);
    EXPECT_TRUE(Testkit_PumpUntil([] { return Testkit_ReadFile(g_spyLog).find("1 83F3 0 ") != std::string::npos; },
                                  20000))
        << Testkit_ReadFile(g_spyLog);
    SaveCapture(0);
    SendMessageA(main, VLM_OPTIONS_CHANGED, 0, 0);
    PostMessageA(WindowOf(spy.Id(), "VelomiraV5SearchMain", false), VLM_CLOSE, 0, 0);
    spy.WaitExit(20000);
}

}  // namespace
