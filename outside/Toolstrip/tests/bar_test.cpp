// The control bar as the resident program drives it: created over the main window (which records
// what the bar sends and posts), the four switch states, clicks on every button, the buttons the
// options choose, the translation set's name, tooltips, the close box and the saved position.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "basekit.h"
#include "lexshelf.h"
#include "prefstore.h"
#include "toolstrip.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

const UINT VLM_REGISTER_WINDOW = 0x83E9, VLM_UNREGISTER_WINDOW = 0x83EA, VLM_OPTIONS_CHANGED = 0x83EC,
           VLM_SHOW_MAIN_MENU = 0x83F4, VLM_SHOW_TRANSSET_MENU = 0x83F5, VLM_RUN_SEARCH = 0x83F6,
           VLM_RUN_TRANSLATE = 0x83F7, VLM_RUN_DICTIONARY_SETUP = 0x83F8, VLM_RUN_STUDY_LIST = 0x83F9,
           VLM_SHOW_OPTIONS = 0x83FB, VLM_SHOW_ABOUT = 0x83FD, VLM_SHOW_HELP = 0x83FE,
           VLM_SET_CONTROL_BAR = 0x83FF, VLM_SET_POPUP_MODE = 0x8400, VLM_SET_MOUSE_MODE = 0x8401,
           VLM_SET_HOOK_MODE = 0x8402, VLM_SET_CLIPBOARD_MODE = 0x8403, VLM_SHOW_LANGUAGE_MANAGER = 0x840F;

struct Seen {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

// The resident program's main window as far as the bar is concerned: it notes the suite's band.
LRESULT CALLBACK MainProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= 0x83E9 && msg <= 0x8415) {
        g_seen.push_back({msg, wParam, lParam});
        return 1;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

void ClearSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Customize");
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\ControlBar");
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\TranslationSet");
}

void SetOptions(int customize, int mode, int flag, int icons) {
    ControlBarOptions o = {};
    o.ControlBarCustomize = customize;
    o.ControlBarMode = mode;
    o.ControlBarFlag = flag;
    o.CtlBarIcon = icons;
    ASSERT_TRUE(Prefstore_SaveControlBar(&o));
}

// The control ids of the bar's buttons, left to right.
std::vector<int> ButtonIds(HWND bar) {
    std::vector<std::pair<int, int>> found;
    for (HWND c = GetWindow(bar, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT rc;
        GetWindowRect(c, &rc);
        found.push_back({rc.left, GetDlgCtrlID(c)});
    }
    std::sort(found.begin(), found.end());
    std::vector<int> ids;
    for (auto &f : found) ids.push_back(f.second);
    return ids;
}

std::wstring TextOf(HWND w) {
    wchar_t buf[128] = {};
    GetWindowTextW(w, buf, 128);
    return buf;
}

class BarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ToolstripTestMain";
        RegisterClassA(&wc);
        main = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr,
                               nullptr, wc.hInstance, nullptr);
        g_seen.clear();
    }
    void TearDown() override {
        if (IsWindow(bar)) DestroyWindow(bar);
        DestroyWindow(main);
        ClearSettings();
    }
    void Create(ToolTipManager *tips = nullptr) {
        bar = Toolstrip_Create(main, tips);
        ASSERT_TRUE(bar);
    }
    // What the bar posted since the last call.
    std::vector<Seen> Posted() {
        Testkit_Pump();
        std::vector<Seen> r = g_seen;
        g_seen.clear();
        return r;
    }
    std::vector<Seen> Click(int id) {
        Posted();
        SendMessageA(GetDlgItem(bar, id), BM_CLICK, 0, 0);
        return Posted();
    }
    HWND main = nullptr, bar = nullptr;
};

}  // namespace

TEST_F(BarTest, RegistersAsKindEightAndLeavesWhenDestroyed) {
    Create();
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].msg, VLM_REGISTER_WINDOW);
    EXPECT_EQ(g_seen[0].wParam, 8u);
    EXPECT_EQ((HWND)g_seen[0].lParam, bar);
    char cls[64];
    GetClassNameA(bar, cls, sizeof cls);
    EXPECT_STREQ(cls, TOOLSTRIP_CLASS);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(GetWindow(bar, GW_OWNER), main);
    EXPECT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // "コントロールバー" (control bar)
    EXPECT_EQ(TextOf(bar), L"\x30B3\x30F3\x30C8\x30ED\x30FC\x30EB\x30D0\x30FC");
    g_seen.clear();
    DestroyWindow(bar);
    ASSERT_EQ(g_seen.size(), 1u);
    EXPECT_EQ(g_seen[0].msg, VLM_UNREGISTER_WINDOW);
    EXPECT_EQ(g_seen[0].wParam, 8u);
}

TEST_F(BarTest, SwitchButtonsAskForTheInverseOfTheStateLastSent) {
    SetOptions(0, 1, 0, 0);  // every button
    Create();
    struct Case {
        int item;
        UINT message;
    } cases[] = {{TOOLSTRIP_ITEM_POINTER, VLM_SET_POPUP_MODE},
                 {TOOLSTRIP_ITEM_KEYBOARD, VLM_SET_MOUSE_MODE},
                 {TOOLSTRIP_ITEM_HOTKEY, VLM_SET_HOOK_MODE},
                 {TOOLSTRIP_ITEM_CLIPBOARD, VLM_SET_CLIPBOARD_MODE}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        std::vector<Seen> p = Click(c.item);  // off until a state comes
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].msg, c.message);
        EXPECT_EQ(p[0].wParam, (WPARAM)-1);
        EXPECT_EQ(p[0].lParam, 1);
        EXPECT_EQ(SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, c.item, 1), 1);
        p = Click(c.item);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].lParam, 0);
        EXPECT_EQ(SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, c.item, 0), 1);
        p = Click(c.item);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].lParam, 1);
    }
    EXPECT_EQ(SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, 999, 1), 0) << "not an item of the bar";
    EXPECT_EQ(SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, TOOLSTRIP_ID_SEARCH, 1), 0);
}

TEST_F(BarTest, AStateForAHiddenSwitchIsKeptForWhenItComesBack) {
    SetOptions(1, 0, 0x1, 0);  // the pointer button alone
    Create();
    EXPECT_EQ(SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, TOOLSTRIP_ITEM_CLIPBOARD, 1), 1);
    SetOptions(1, 0, 0x9, 0);
    SendMessageA(bar, VLM_OPTIONS_CHANGED, 0, 0);
    std::vector<Seen> p = Click(TOOLSTRIP_ITEM_CLIPBOARD);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].msg, VLM_SET_CLIPBOARD_MODE);
    EXPECT_EQ(p[0].lParam, 0);
}

TEST_F(BarTest, EveryOtherButtonPostsItsMessage) {
    SetOptions(0, 1, 0, 0);
    Create();
    struct Case {
        int id;
        UINT message;
        WPARAM wParam;
    } cases[] = {{TOOLSTRIP_ID_SEARCH, VLM_RUN_SEARCH, 0},
                 {TOOLSTRIP_ID_TRANSLATE, VLM_RUN_TRANSLATE, 0},
                 {TOOLSTRIP_ID_STUDY_LIST, VLM_RUN_STUDY_LIST, 0},
                 {TOOLSTRIP_ID_SETUP, VLM_RUN_DICTIONARY_SETUP, 0},
                 {TOOLSTRIP_ID_OPTIONS, VLM_SHOW_OPTIONS, 0},
                 {TOOLSTRIP_ID_LANGUAGE, VLM_SHOW_LANGUAGE_MANAGER, 0},
                 {TOOLSTRIP_ID_MENU, VLM_SHOW_MAIN_MENU, 0},
                 {TOOLSTRIP_ID_HELP, VLM_SHOW_HELP, 1},
                 {TOOLSTRIP_ID_ABOUT, VLM_SHOW_ABOUT, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<Seen> p = Click(c.id);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].msg, c.message);
        EXPECT_EQ(p[0].wParam, c.wParam);
        EXPECT_EQ(p[0].lParam, 0);
    }
    // The translation-set menu opens under its button.
    RECT rc;
    GetWindowRect(GetDlgItem(bar, TOOLSTRIP_ITEM_TRANSSET), &rc);
    std::vector<Seen> p = Click(TOOLSTRIP_ITEM_TRANSSET);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].msg, VLM_SHOW_TRANSSET_MENU);
    EXPECT_EQ(p[0].wParam, 0u);
    EXPECT_EQ((short)LOWORD(p[0].lParam), rc.left);
    EXPECT_EQ((short)HIWORD(p[0].lParam), rc.bottom);
}

TEST_F(BarTest, TheOptionsChooseTheButtons) {
    const std::vector<int> standard = {100, 101, 108, 118, 64, 11001, 11002};
    const std::vector<int> all = {100, 101, 108, 118, 64, 11001, 11002, 11003, 11004, 5406, 11005, 102, 11014, 11015};
    struct Case {
        int customize, mode, flag;
        std::vector<int> ids;
    } cases[] = {
        {0, 0, 0, standard},
        {0, 0, 0x3FFF, standard},          // the flag counts only when customised
        {0, 1, 0, all},
        {1, 1, 0x21, {100, 11001}},        // the mode counts only when not customised
        {1, 0, 0x2000 | 0x800, {102, 11015}},
        {1, 0, 0x3FFF, all},
        {1, 0, 0, {102}},                  // nothing chosen: the menu alone
        {1, 0, 0x4000, {102}},             // bits past the table mean nothing
    };
    Create();
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.customize << "/" << c.mode << "/" << c.flag);
        SetOptions(c.customize, c.mode, c.flag, 0);
        EXPECT_EQ(SendMessageA(bar, VLM_OPTIONS_CHANGED, 0, 0), 1);
        EXPECT_EQ(ButtonIds(bar), c.ids);
    }
}

TEST_F(BarTest, TheTranslationSetButtonShowsTheCurrentSet) {
    Create();
    HWND button = GetDlgItem(bar, TOOLSTRIP_ITEM_TRANSSET);
    ASSERT_TRUE(button);
    EXPECT_EQ(TextOf(button), L"\x7FFB\x8A33\x30BB\x30C3\x30C8") << "no set yet: \"翻訳セット\" (translation set)";
    RECT before;
    GetWindowRect(button, &before);
    Lexshelf_SetCurrentTransSet("\x89\x70\x93\xFA\x83\x5A\x83\x62\x83\x67 long name");  // "英日セット long name"
    EXPECT_EQ(SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, TOOLSTRIP_ITEM_TRANSSET, 0), 1);
    EXPECT_EQ(TextOf(button), L"\x82F1\x65E5\x30BB\x30C3\x30C8 long name");
    RECT after;
    GetWindowRect(button, &after);
    EXPECT_GT(after.right - after.left, before.right - before.left) << "the button grows with its name";
    RECT barRect;
    GetClientRect(bar, &barRect);
    MapWindowPoints(bar, nullptr, (POINT *)&barRect, 2);
    RECT last;
    GetWindowRect(GetDlgItem(bar, TOOLSTRIP_ID_TRANSLATE), &last);
    EXPECT_LE(last.right, barRect.right) << "the bar grows too";
}

TEST_F(BarTest, LabelsFitTheirButtonsAndTheBarIsPictured) {
    SetOptions(0, 1, 0, 1);  // every button, with icons
    Create();
    SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, TOOLSTRIP_ITEM_POINTER, 1);
    SendMessageA(bar, TOOLSTRIP_VLM_CONTROL_BAR_STATE, TOOLSTRIP_ITEM_CLIPBOARD, 1);
    for (int id : ButtonIds(bar)) {
        HWND b = GetDlgItem(bar, id);
        std::wstring text = TextOf(b);
        EXPECT_FALSE(text.empty()) << id;
        HDC dc = GetDC(b);
        HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageW(b, WM_GETFONT, 0, 0));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &size);
        SelectObject(dc, old);
        ReleaseDC(b, dc);
        RECT rc;
        GetClientRect(b, &rc);
        EXPECT_LE(size.cx + 16, rc.right) << "label of " << id << " with its icon does not fit";
        EXPECT_LE(size.cy, rc.bottom) << id;
    }
    SetWindowPos(bar, HWND_TOPMOST, 20, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    Sleep(200);  // the picture only
    EXPECT_TRUE(Testkit_SaveWindowPicture(bar, "control_bar.bmp"));
}

TEST_F(BarTest, ButtonsAreToolsOfTheTooltipManagerWhileTheBarLives) {
    ToolTipManager *tips = Basekit_TooltipCreate();
    ASSERT_TRUE(tips);
    Create(tips);
    EXPECT_EQ(SendMessageA(tips->Window, TTM_GETTOOLCOUNT, 0, 0), 7) << "the standard set";
    TOOLINFOW tool = {};
    wchar_t text[128] = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = bar;
    tool.uId = (UINT_PTR)GetDlgItem(bar, TOOLSTRIP_ITEM_POINTER);
    tool.lpszText = text;
    SendMessageW(tips->Window, TTM_GETTEXTW, 128, (LPARAM)&tool);
    EXPECT_EQ(std::wstring(text).substr(0, 4), L"\x30DE\x30A6\x30B9\x30DD") << "\"マウスポ...\" (mouse pointer)";
    SetOptions(1, 0, 0x3, 0);
    SendMessageA(bar, VLM_OPTIONS_CHANGED, 0, 0);
    EXPECT_EQ(SendMessageA(tips->Window, TTM_GETTOOLCOUNT, 0, 0), 2) << "rebuilt buttons replace the tools";
    DestroyWindow(bar);
    EXPECT_EQ(SendMessageA(tips->Window, TTM_GETTOOLCOUNT, 0, 0), 0);
    Basekit_TooltipDestroy(tips);
}

TEST_F(BarTest, TheCloseBoxAsksTheMainWindowToTurnTheBarOff) {
    Create();
    Posted();
    SendMessageA(bar, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::vector<Seen> p = Posted();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].msg, VLM_SET_CONTROL_BAR);
    EXPECT_EQ(p[0].wParam, 0u);
    EXPECT_TRUE(IsWindow(bar)) << "the main window destroys it";
    DestroyWindow(bar);

    HWND alone = Toolstrip_Create(nullptr, nullptr);
    ASSERT_TRUE(alone);
    SendMessageA(alone, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(alone)) << "without a main window it closes itself";
}

TEST_F(BarTest, ItsPositionIsSavedAndKeptInsideTheScreen) {
    Create();
    SetWindowPos(bar, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(bar);
    ControlBarWindowLayout layout = {};
    Prefstore_LoadControlBarWindow(&layout);
    EXPECT_EQ(layout.x, 300);
    EXPECT_EQ(layout.y, 200);
    Create();
    RECT rc;
    GetWindowRect(bar, &rc);
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 200);
    DestroyWindow(bar);

    layout.x = 30000;
    layout.y = -500;
    Prefstore_SaveControlBarWindow(&layout);
    Create();
    GetWindowRect(bar, &rc);
    EXPECT_LE(rc.right, GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_GE(rc.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
}

TEST_F(BarTest, ARealClickReachesTheMainWindow) {
    Create();
    SetWindowPos(bar, HWND_TOPMOST, 200, 300, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    Testkit_Pump();
    Posted();
    RECT rc;
    GetWindowRect(GetDlgItem(bar, TOOLSTRIP_ID_SEARCH), &rc);
    SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    EXPECT_TRUE(Testkit_PumpUntil([&] {
        for (const Seen &s : g_seen)
            if (s.msg == VLM_RUN_SEARCH) return true;
        return false;
    }));
}
