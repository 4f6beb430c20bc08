// The watcher's real hooks driven by injected input (SendInput): a window of the test's own
// receives the reports, and each case checks the reports, their parameters and their order.
// Keys that are not otherwise reported (F9) mark a point in time: a report that should not come
// would have come before the key's report, whose settle time is longer than the test's rest time.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "snaptrap.h"

namespace {

const UINT kTrigger = 0x83F2;  // the trigger message the resident program asks for
const UINT kRestMs = 30;       // shorter than SNAPTRAP_KEY_SETTLE

struct Report {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Report &o) const { return msg == o.msg && wParam == o.wParam && lParam == o.lParam; }
};
std::ostream &operator<<(std::ostream &os, const Report &r) {
    return os << "{0x" << std::hex << r.msg << std::dec << ", " << (long long)r.wParam << ", (" << (short)LOWORD(r.lParam)
              << "," << (short)HIWORD(r.lParam) << ")}";
}

std::vector<Report> g_main, g_other;  // what the two receiving windows got
int g_f8Seen;                         // F8 presses and releases that reached the edit field
WNDPROC g_editProc;

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg >= 0xBD0 && msg <= 0xBDF) || msg == kTrigger) {
        std::vector<Report> &to = GetWindowLongPtrA(w, GWLP_USERDATA) ? g_other : g_main;
        to.push_back({msg, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

LRESULT CALLBACK EditSpy(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && wParam == VK_F8) g_f8Seen++;
    return CallWindowProcA(g_editProc, w, msg, wParam, lParam);
}

LRESULT CALLBACK ViewerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(w, msg, wParam, lParam);
}

Report At(UINT msg, HWND w, POINT pt) { return {msg, (WPARAM)w, MAKELPARAM((short)pt.x, (short)pt.y)}; }
Report Key(UINT vk, UINT mods = 0) { return {SNAPTRAP_KEY, vk, (LPARAM)mods}; }

// ---- Injected input ----
void Send(const std::vector<INPUT> &in) {
    ASSERT_EQ(SendInput((UINT)in.size(), const_cast<INPUT *>(in.data()), sizeof(INPUT)), in.size());
}
INPUT Move(POINT pt) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (pt.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (pt.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return in;
}
INPUT Button(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return in;
}
INPUT KeyEvent(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}
void Press(WORD vk, WORD modifier = 0) {
    std::vector<INPUT> in;
    if (modifier) in.push_back(KeyEvent(modifier, false));
    in.push_back(KeyEvent(vk, false));
    in.push_back(KeyEvent(vk, true));
    if (modifier) in.push_back(KeyEvent(modifier, true));
    Send(in);
}
void Click(POINT pt, DWORD down, DWORD up, int times = 1) {
    std::vector<INPUT> in = {Move(pt)};
    for (int i = 0; i < times; i++) {
        in.push_back(Button(down));
        in.push_back(Button(up));
    }
    Send(in);
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
template <class F>
bool PumpUntil(F done, DWORD ms = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return done();
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
bool Has(const std::vector<Report> &v, const Report &r) {
    for (const Report &x : v)
        if (x == r) return true;
    return false;
}
// Presses F9 and waits for its report: every report that was due before it has arrived.
void Mark() {
    size_t before = g_main.size();
    Press(VK_F9);
    ASSERT_TRUE(PumpUntil([&] { return g_main.size() > before && g_main.back() == Key(VK_F9); }));
    Pump();
}
std::vector<Report> Without(std::vector<Report> v, UINT msg) {
    std::vector<Report> out;
    for (const Report &r : v)
        if (r.msg != msg) out.push_back(r);
    return out;
}

class HooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        HINSTANCE self = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = self;
        wc.lpszClassName = "SnaptrapTestReceiver";
        RegisterClassA(&wc);
        receiver = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, self, nullptr);
        other = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, self, nullptr);
        ASSERT_TRUE(receiver && other);
        SetWindowLongPtrA(other, GWLP_USERDATA, 1);
        wc.lpfnWndProc = DefWindowProcA;
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "SnaptrapTestHost";
        RegisterClassA(&wc);
        wc.lpfnWndProc = ViewerProc;
        wc.lpszClassName = SNAPTRAP_VIEWER_CLASS;  // stands in for the viewer control
        RegisterClassA(&wc);
        host = CreateWindowExA(0, "SnaptrapTestHost", "host", WS_POPUP | WS_VISIBLE, 50, 50, 1000, 700, nullptr,
                               nullptr, self, nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 400, 24,
                               host, (HMENU)10, self, nullptr);
        viewer = CreateWindowExA(0, SNAPTRAP_VIEWER_CLASS, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 300, 100,
                                 host, (HMENU)1362, self, nullptr);
        ASSERT_TRUE(host && edit && viewer);
        g_editProc = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)EditSpy);
        SetForegroundWindow(host);
        ASSERT_EQ(GetForegroundWindow(), host);
        SetFocus(edit);
        Pump();
        g_main.clear();
        g_other.clear();
        g_f8Seen = 0;
    }
    void TearDown() override {
        Snaptrap_StopWordHook();
        Snaptrap_StopMouseWatch();
        Snaptrap_SetListWindow(nullptr, 0);
        for (int g = 0; g < 3; g++) Pause(g + 1, 0);
        DestroyWindow(host);
        DestroyWindow(receiver);
        DestroyWindow(other);
        Pump();
    }
    static int Pause(int group, int pause) {
        return group == 1 ? Snaptrap_PauseGroup1(pause)
                          : group == 2 ? Snaptrap_PauseGroup2(pause) : Snaptrap_PauseGroup3(pause);
    }
    // The word hook to the receiver, and the key reports that Mark waits for.
    void StartWordAndKeys(UINT reports = SNAPTRAP_REPORT_KEY) {
        ASSERT_EQ(Snaptrap_StartWordHook(receiver, kRestMs), 1);
        ASSERT_EQ(Snaptrap_StartMouseWatch(receiver, nullptr, reports, 1, 0, 0, 0, 1), 1);
    }
    void WaitFor(size_t count) {
        ASSERT_TRUE(PumpUntil([&] { return g_main.size() >= count; })) << ::testing::PrintToString(g_main);
        Pump();
    }
    POINT Screen(HWND w, int x, int y) {
        POINT pt = {x, y};
        ClientToScreen(w, &pt);
        return pt;
    }
    // Screen x of the left edge of character i of the edit field.
    int CharX(int i) { return Screen(edit, (short)LOWORD(SendMessageA(edit, EM_POSFROMCHAR, i, 0)), 0).x; }
    // The caret report lies on the last character typed (index i) of the edit field.
    void ExpectOnChar(const Report &r, UINT msg, int i) {
        EXPECT_EQ(r.msg, msg);
        EXPECT_EQ((HWND)r.wParam, edit);
        POINT pt = {(short)LOWORD(r.lParam), (short)HIWORD(r.lParam)};
        POINT caret;
        GetCaretPos(&caret);
        ClientToScreen(edit, &caret);
        EXPECT_GE(pt.x, CharX(i));
        EXPECT_LT(pt.x, caret.x);
        RECT rc;
        GetWindowRect(edit, &rc);
        EXPECT_TRUE(pt.y > rc.top && pt.y < rc.bottom) << pt.y;
    }
    HWND receiver = nullptr, other = nullptr, host = nullptr, edit = nullptr, viewer = nullptr;
};

}  // namespace

TEST_F(HooksTest, StartsOnlyWithAWindow) {
    EXPECT_EQ(Snaptrap_StartWordHook(nullptr, 0), 0);
    EXPECT_EQ(Snaptrap_StartWordHook((HWND)(UINT_PTR)0x7FFFF0, 0), 0);
    EXPECT_EQ(Snaptrap_StartMouseWatch(nullptr, receiver, 15, 0, 0, 0, kTrigger, 0), 0);
}

// The mouse rests: one report at the last point it reached, none again until it moves.
TEST_F(HooksTest, ReportsOneRestAtTheLastPoint) {
    StartWordAndKeys();
    POINT a = Screen(host, 500, 300), b = Screen(host, 520, 310), c = Screen(viewer, 30, 40);
    Send({Move(a), Move(b)});
    WaitFor(1);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{At(SNAPTRAP_MOUSE_STOP, host, b), Key(VK_F9)}));
    g_main.clear();
    Send({Move(c)});
    WaitFor(1);
    EXPECT_EQ(g_main, (std::vector<Report>{At(SNAPTRAP_MOUSE_STOP, viewer, c)}));
    // A move and a stop back at the same point within one rest: still a rest to report.
    g_main.clear();
    Send({Move(a), Move(c)});
    WaitFor(1);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{At(SNAPTRAP_MOUSE_STOP, viewer, c), Key(VK_F9)}));
}

// A pause drops the rest under way; after it only a new move is reported.
TEST_F(HooksTest, PausedWordHookWaitsForTheNextMove) {
    StartWordAndKeys();
    POINT a = Screen(host, 600, 300), b = Screen(host, 640, 320), d = Screen(host, 700, 400);
    Send({Move(a)});
    EXPECT_EQ(Snaptrap_PauseGroup1(1), 0);  // before the rest could be timed
    EXPECT_EQ(Snaptrap_PauseGroup1(1), 1);
    Send({Move(b)});
    Mark();
    EXPECT_EQ(Snaptrap_PauseGroup1(0), 1);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{Key(VK_F9), Key(VK_F9)}));
    g_main.clear();
    Send({Move(d)});
    WaitFor(1);
    EXPECT_EQ(g_main, (std::vector<Report>{At(SNAPTRAP_MOUSE_STOP, host, d)}));
}

// Rests and clicks on the list window or within its margin are not reported while it shows.
TEST_F(HooksTest, ListWindowKeepsRestsAndClicksAway) {
    StartWordAndKeys(SNAPTRAP_REPORT_KEY | SNAPTRAP_REPORT_CLICK);
    HWND list = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "SnaptrapTestHost", "", WS_POPUP,
                                600, 300, 100, 100, host, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(list);
    ShowWindow(list, SW_SHOWNA);
    EXPECT_EQ(Snaptrap_SetListWindow(list, 40), 1);
    POINT inMargin = {565, 350}, onList = {650, 350}, outside = {555, 350};
    Send({Move(inMargin)});
    Mark();
    Click(onList, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{Key(VK_F9), Key(VK_F9)}));
    g_main.clear();
    Click(outside, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    WaitFor(2);
    EXPECT_EQ(g_main, (std::vector<Report>{At(SNAPTRAP_CLICK, host, outside), At(SNAPTRAP_MOUSE_STOP, host, outside)}));
    // A hidden list keeps nothing away.
    ShowWindow(list, SW_HIDE);
    g_main.clear();
    Send({Move(inMargin)});
    WaitFor(1);
    EXPECT_EQ(g_main, (std::vector<Report>{At(SNAPTRAP_MOUSE_STOP, host, inMargin)}));
    DestroyWindow(list);
}

// Typing: the key reports in order, then one report at the caret; other keys end typing.
TEST_F(HooksTest, TypingReportsTheKeysThenTheCaret) {
    ASSERT_EQ(Snaptrap_StartMouseWatch(receiver, other, 15, 0, MOD_CONTROL, VK_F8, kTrigger, 0), 1);
    Press('A');
    Press('B', VK_SHIFT);
    WaitFor(3);
    ASSERT_EQ(g_main.size(), 3u) << ::testing::PrintToString(g_main);
    EXPECT_EQ(g_main[0], Key('A'));
    EXPECT_EQ(g_main[1], Key('B', MOD_SHIFT));
    ExpectOnChar(g_main[2], SNAPTRAP_HOVER, 1);
    g_main.clear();
    Press(VK_SPACE);
    WaitFor(2);
    ASSERT_EQ(g_main.size(), 2u) << ::testing::PrintToString(g_main);
    EXPECT_EQ(g_main[0], Key(VK_SPACE));
    ExpectOnChar(g_main[1], SNAPTRAP_WORD_END, 2);
    // Keys that are not typing: reported, no caret report; one after typing cancels it.
    g_main.clear();
    Press('C', VK_CONTROL);
    Press(VK_ESCAPE);
    WaitFor(2);
    Press('X');
    Press(VK_RETURN);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{Key('C', MOD_CONTROL), Key(VK_ESCAPE), Key('X'), Key(VK_RETURN), Key(VK_F9)}));
    EXPECT_TRUE(g_other.empty());
    char text[16];
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "aB x");
}

// The trigger key goes to its own window with the caret's point, and no application sees it.
TEST_F(HooksTest, TriggerKeyIsTakenFromTheApplications) {
    ASSERT_EQ(Snaptrap_StartMouseWatch(receiver, other, 15, 0, MOD_CONTROL, VK_F8, kTrigger, 0), 1);
    Press('W');
    Press(VK_F8, VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return !g_other.empty(); }));
    Pump();
    EXPECT_EQ(g_main, (std::vector<Report>{Key('W')})) << "the trigger ends the typing";
    ASSERT_EQ(g_other.size(), 1u);
    ExpectOnChar(g_other[0], kTrigger, 0);
    EXPECT_EQ(g_f8Seen, 0);
    // Without its modifier the key is an ordinary one.
    g_main.clear();
    Press(VK_F8);
    WaitFor(1);
    EXPECT_EQ(g_main, (std::vector<Report>{Key(VK_F8)}));
    EXPECT_EQ(g_f8Seen, 2);
    // Paused, the trigger key reaches the application; resumed, it is taken again.
    g_main.clear();
    EXPECT_EQ(Snaptrap_PauseGroup3(1), 0);
    Press(VK_F8, VK_CONTROL);
    WaitFor(1);
    EXPECT_EQ(g_main, (std::vector<Report>{Key(VK_F8, MOD_CONTROL)}));
    EXPECT_EQ(g_f8Seen, 4);
    EXPECT_EQ(Snaptrap_PauseGroup3(0), 1);
    Press(VK_F8, VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return g_other.size() == 2; }));
    EXPECT_EQ(g_other[1].msg, kTrigger);
    EXPECT_EQ(g_f8Seen, 4);
    // Trigger and keyboard reports off: the key passes, typing makes no caret report.
    ASSERT_EQ(Snaptrap_StartMouseWatch(receiver, other, 15, 1, MOD_CONTROL, VK_F8, kTrigger, 1), 1);
    g_main.clear();
    Press('Y');
    Press(VK_F8, VK_CONTROL);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{Key('Y'), Key(VK_F8, MOD_CONTROL), Key(VK_F9)}));
    EXPECT_EQ(g_other.size(), 2u);
    EXPECT_EQ(g_f8Seen, 6);
}

// The keyboard group paused: what waited is dropped, nothing is reported, the trigger still works.
TEST_F(HooksTest, PausedWatchDropsWhatWaits) {
    ASSERT_EQ(Snaptrap_StartMouseWatch(receiver, other, 15, 0, MOD_CONTROL, VK_F8, kTrigger, 0), 1);
    Press('Q');
    EXPECT_EQ(Snaptrap_PauseGroup2(1), 0);  // before the settle time has run
    Press('Z');
    Press(VK_F8, VK_CONTROL);
    ASSERT_TRUE(PumpUntil([&] { return !g_other.empty(); }));
    EXPECT_EQ(Snaptrap_PauseGroup2(0), 1);
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{Key(VK_F9)}));
    ASSERT_EQ(g_other.size(), 1u);
    EXPECT_EQ(g_other[0].msg, kTrigger);
}

// Over the viewer control the middle button and a double click are triggers of the word hook.
TEST_F(HooksTest, ViewerClicksAreTriggers) {
    StartWordAndKeys(SNAPTRAP_REPORT_KEY | SNAPTRAP_REPORT_CLICK);
    POINT v = Screen(viewer, 40, 30), p = Screen(host, 600, 500);
    Click(v, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    Click(v, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);  // a double click, then the first of a pair
    Click(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    Click(p, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    Mark();
    Report cv = At(SNAPTRAP_CLICK, viewer, v), cp = At(SNAPTRAP_CLICK, host, p);
    EXPECT_EQ(Without(g_main, SNAPTRAP_MOUSE_STOP),
              (std::vector<Report>{cv, At(SNAPTRAP_TRIGGER3, viewer, v), cv, cv, At(SNAPTRAP_TRIGGER2, viewer, v), cv,
                                   cp, cp, cp, Key(VK_F9)}));
    // Without the mouse watch there are no click reports; the triggers stay.
    ASSERT_EQ(Snaptrap_StopMouseWatch(), 1);
    g_main.clear();
    Click(v, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(PumpUntil([&] { return Has(g_main, At(SNAPTRAP_TRIGGER3, viewer, v)); }));
    EXPECT_EQ(Without(g_main, SNAPTRAP_MOUSE_STOP), (std::vector<Report>{At(SNAPTRAP_TRIGGER3, viewer, v)}));
}

// Stopped, nothing is reported; started again, only what comes after.
TEST_F(HooksTest, StoppedHooksReportNothing) {
    StartWordAndKeys(15);
    Send({Move(Screen(host, 300, 300))});
    Press('K');
    EXPECT_EQ(Snaptrap_StopWordHook(), 1);
    EXPECT_EQ(Snaptrap_StopMouseWatch(), 1);
    Send({Move(Screen(host, 320, 320))});
    Press('L');
    Pump();
    StartWordAndKeys();
    Mark();
    EXPECT_EQ(g_main, (std::vector<Report>{Key(VK_F9)}));
}
