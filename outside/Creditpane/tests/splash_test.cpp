// The splash window through the calls the resident program makes: on a short-lived thread of its
// own (returns by itself once its time is up, or when asked to close), and modeless over a window
// with its handle kept; clicks and quit messages close it.
#include <windows.h>
#include <gtest/gtest.h>
#include "creditpane.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

HWND FindSplash() {
    for (HWND w = FindWindowExA(nullptr, nullptr, CREDITPANE_SPLASH_CLASS, nullptr); w;
         w = FindWindowExA(nullptr, w, CREDITPANE_SPLASH_CLASS, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId()) return w;
    }
    return nullptr;
}

struct SplashThread {
    HANDLE thread = nullptr;
    DWORD id = 0;
    volatile LONG quitSeen = 0;  // the quit message was there again after the call
    volatile LONG result = -1;

    static DWORD WINAPI Run(void *arg) {
        SplashThread *t = (SplashThread *)arg;
        t->result = Creditpane_ShowSplash(nullptr);
        MSG m;
        if (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) t->quitSeen = 1;
        return 0;
    }
    void Start() { thread = CreateThread(nullptr, 0, Run, this, 0, &id); }
    bool Ended(DWORD ms = 20000) { return WaitForSingleObject(thread, ms) == WAIT_OBJECT_0; }
    ~SplashThread() {
        if (thread) {
            if (!Ended()) Creditpane_CloseSplash(nullptr), Ended();
            CloseHandle(thread);
        }
    }
};

HWND WaitForSplash() {
    HWND w = nullptr;
    Testkit_PumpUntil([&] { return (w = FindSplash()) != nullptr; }, 20000);
    return w;
}

class SplashTest : public ::testing::Test {
protected:
    void TearDown() override {
        Creditpane_CloseSplash(nullptr);
        Testkit_PumpUntil([] { return FindSplash() == nullptr; });
        Creditpane_SetSplashTime(CREDITPANE_SPLASH_TIME);
    }
};

}  // namespace

TEST_F(SplashTest, OnItsOwnThreadItReturnsByItselfOnceItsTimeIsUp) {
    EXPECT_EQ(Creditpane_SetSplashTime(150), (DWORD)CREDITPANE_SPLASH_TIME);
    SplashThread t;
    t.Start();
    ASSERT_TRUE(t.Ended()) << "the splash must close itself";
    EXPECT_EQ(t.result, 1);
    EXPECT_EQ(FindSplash(), nullptr);
}

TEST_F(SplashTest, ShownTopmostCentredOnTheWorkAreaUntilAskedToClose) {
    Creditpane_SetSplashTime(0);  // stays until closed
    SplashThread t;
    t.Start();
    HWND w = WaitForSplash();
    ASSERT_TRUE(w);
    // Its thread shows it once its loop first goes idle.
    EXPECT_TRUE(Testkit_PumpUntil([&] { return IsWindowVisible(w) != FALSE; }, 20000));
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    RECT rc, area;
    GetWindowRect(w, &rc);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_LE(abs((rc.left + rc.right) - (area.left + area.right)), 1);
    EXPECT_LE(abs((rc.top + rc.bottom) - (area.top + area.bottom)), 1);
    EXPECT_GE(rc.right - rc.left, 420);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(200);  // the picture only; nothing is asserted on time
    EXPECT_TRUE(Testkit_SaveWindowPicture(w, "splash.bmp"));
    EXPECT_EQ(Creditpane_CloseSplash(nullptr), 1);
    ASSERT_TRUE(t.Ended());
    EXPECT_EQ(t.result, 1);
    EXPECT_EQ(t.quitSeen, 0);
}

TEST_F(SplashTest, AQuitMessageClosesItAndIsLeftForTheCallersLoop) {
    Creditpane_SetSplashTime(0);
    SplashThread t;
    t.Start();
    ASSERT_TRUE(WaitForSplash());
    PostThreadMessageA(t.id, WM_QUIT, 7, 0);
    ASSERT_TRUE(t.Ended());
    EXPECT_EQ(t.result, 1);
    EXPECT_EQ(t.quitSeen, 1);
    EXPECT_EQ(FindSplash(), nullptr);
}

TEST_F(SplashTest, ModelessOverAVisibleOwnerItClosesThroughTheCallersLoop) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 80, 700, 500, nullptr,
                                 nullptr, nullptr, nullptr);
    Creditpane_SetSplashTime(100);
    HWND w = Creditpane_OpenSplash(owner);
    ASSERT_TRUE(w);
    EXPECT_EQ(GetWindow(w, GW_OWNER), owner);
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_LE(abs((rc.left + rc.right) - (100 + 800)), 1);
    EXPECT_LE(abs((rc.top + rc.bottom) - (80 + 580)), 1);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(w); }, 20000));
    DestroyWindow(owner);
}

TEST_F(SplashTest, AHiddenOwnerWithoutSizeDoesNotPlaceItOffTheScreen) {
    // The resident program's main window: a hidden pop-up of size 0 at the origin.
    HWND main = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr, nullptr,
                                nullptr, nullptr);
    Creditpane_SetSplashTime(0);
    HWND w = Creditpane_OpenSplash(main);
    ASSERT_TRUE(w);
    RECT rc, area;
    GetWindowRect(w, &rc);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_GE(rc.left, area.left);
    EXPECT_GE(rc.top, area.top);
    EXPECT_LE(rc.right, area.right);
    EXPECT_LE(rc.bottom, area.bottom);
    EXPECT_EQ(Creditpane_CloseSplash(w), 1);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(w); }));
    DestroyWindow(main);
}

TEST_F(SplashTest, AClickOnItClosesIt) {
    Creditpane_SetSplashTime(0);
    HWND w = Creditpane_OpenSplash(nullptr);
    ASSERT_TRUE(w);
    Testkit_Pump();
    RECT rc;
    GetWindowRect(w, &rc);
    SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(w); }, 20000));
}

TEST_F(SplashTest, CloseCountsTheWindowsItAsked) {
    EXPECT_EQ(Creditpane_CloseSplash(nullptr), 0) << "none open";
    Creditpane_SetSplashTime(0);
    HWND a = Creditpane_OpenSplash(nullptr), b = Creditpane_OpenSplash(nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Creditpane_CloseSplash(nullptr), 2);
    EXPECT_TRUE(Testkit_PumpUntil([&] { return !IsWindow(a) && !IsWindow(b); }));
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Creditpane_CloseSplash(other), 0) << "not a splash window";
    EXPECT_TRUE(IsWindow(other));
    DestroyWindow(other);
}
