// Fields typed into with injected keys (SendInput) under the message loops their callers run:
// an editor's loop with an accelerator table, a modeless dialog's loop, and a plain ANSI loop.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quickfield.h"
#include "support/testkit_gdi.h"

namespace {

enum { kHeadword = 1019, kReading = 1018, kSearch = 5108 };
enum { kAccBack = 9001, kAccF5 = 9003, kAccCtrlA = 9005, kAccLetterQ = 9006, kAccUp = 9007 };

struct Command {
    HWND to;
    int id, code;
};
std::vector<Command> g_commands;

LRESULT CALLBACK HostProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        g_commands.push_back({w, LOWORD(wParam), HIWORD(wParam)});
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return FALSE;  // the test gives the focus itself
    if (msg == WM_COMMAND) {
        g_commands.push_back({dlg, LOWORD(wParam), HIWORD(wParam)});
        // What the search panes do: a field that gains the focus selects its text.
        if (HIWORD(wParam) == EN_SETFOCUS) PostMessageA((HWND)lParam, QFM_SELECTALL, 0, 0);
        return TRUE;
    }
    return FALSE;
}

int Seen(HWND to, int id, int code) {
    int n = 0;
    for (const Command &c : g_commands) n += c.to == to && c.id == id && c.code == code;
    return n;
}

// ---- Injected input ----
INPUT Key(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}
INPUT Unit(wchar_t unit, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = unit;
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}
void Send(std::vector<INPUT> in) { ASSERT_EQ(SendInput((UINT)in.size(), in.data(), sizeof(INPUT)), in.size()); }
// Presses vk, with the modifier key held when it is not 0.
void Press(WORD vk, WORD modifier = 0) {
    std::vector<INPUT> in;
    if (modifier) in.push_back(Key(modifier, false));
    in.push_back(Key(vk, false));
    in.push_back(Key(vk, true));
    if (modifier) in.push_back(Key(modifier, true));
    Send(in);
}
// Letters and digits by their keys (the keyboard layout makes the characters).
void TypeKeys(const char *keys) {
    for (const char *k = keys; *k; k++) Press((WORD)*k);
}
// Any text, one UTF-16 unit per key event.
void TypeText(const wchar_t *text) {
    for (const wchar_t *t = text; *t; t++) Send({Unit(*t, false), Unit(*t, true)});
}

// ---- Message loops ----
enum class Loop { Editor, Dialog, Plain };

struct Pump {
    Loop loop;
    HWND window;  // the accelerators' window, or the dialog
    HACCEL accel;

    void Run() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            switch (loop) {
            case Loop::Editor:  // the entry editor's loop
                if (Quickfield_PreTranslateMessage(&m)) continue;
                if (TranslateAcceleratorA(window, accel, &m)) continue;
                Quickfield_TranslateMessage(&m);
                break;
            case Loop::Dialog:  // a loop that feeds a modeless dialog
                if (Quickfield_PreTranslateMessage(&m)) continue;
                if (IsDialogMessageA(window, &m)) continue;
                Quickfield_TranslateMessage(&m);
                break;
            case Loop::Plain:
                TranslateMessage(&m);
                break;
            }
            DispatchMessageA(&m);
        }
    }
    template <class F>
    bool Until(F done, DWORD ms = 5000) {
        DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > ms) return done();
            Run();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return true;
    }
};

std::string Bytes(HWND f) {
    char buf[256];
    SendMessageA(f, QFM_GETTEXTEX, sizeof buf, (LPARAM)buf);
    return buf;
}

class TypingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Quickfield_Init(GetModuleHandleA(nullptr)));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "QuickfieldTypingHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, wc.lpszClassName, "Entry", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 420, 130,
                               nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(host);
        headword = Field(kHeadword, 10);
        reading = Field(kReading, 50);
        ASSERT_TRUE(headword && reading);
        SendMessageA(headword, QFM_SETCHARSET, ANSI_CHARSET, 0);
        ACCEL keys[] = {
            {FVIRTKEY, VK_BACK, kAccBack},           {FVIRTKEY, VK_F5, kAccF5},
            {FVIRTKEY | FCONTROL, 'A', kAccCtrlA},   {0, 'q', kAccLetterQ},
            {FVIRTKEY, VK_UP, kAccUp},
        };
        accel = CreateAcceleratorTableA(keys, sizeof keys / sizeof keys[0]);
        ASSERT_TRUE(accel);
        SetForegroundWindow(host);
        ASSERT_EQ(GetForegroundWindow(), host);
        g_commands.clear();
    }
    void TearDown() override {
        DestroyAcceleratorTable(accel);
        DestroyWindow(host);
        Quickfield_Term(GetModuleHandleA(nullptr));
    }
    HWND Field(int id, int y) {
        return CreateWindowExA(WS_EX_CLIENTEDGE, QUICKFIELD_CLASS, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, y,
                               380, 28, host, (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
    }
    HWND host = nullptr, headword = nullptr, reading = nullptr;
    HACCEL accel = nullptr;
};

}  // namespace

// The entry editor's loop: the field keeps its editing keys from the accelerator table, the
// other keys reach the table, and typed characters arrive whole.
TEST_F(TypingTest, EditorLoopKeepsEditingKeysInTheField) {
    Pump pump{Loop::Editor, host, accel};
    SetFocus(headword);
    TypeKeys("ABCD");
    ASSERT_TRUE(pump.Until([&] { return Bytes(headword) == "abcd"; })) << Bytes(headword);
    EXPECT_GE(Seen(host, kHeadword, EN_CHANGE), 4);
    Press(VK_BACK);
    ASSERT_TRUE(pump.Until([&] { return Bytes(headword) == "abc"; })) << Bytes(headword);
    Press('A', VK_CONTROL);
    TypeKeys("X");
    ASSERT_TRUE(pump.Until([&] { return Bytes(headword) == "x"; })) << "Ctrl+A selected all: " << Bytes(headword);
    TypeKeys("Q");  // 'q' is also a character accelerator of the table
    ASSERT_TRUE(pump.Until([&] { return Bytes(headword) == "xq"; })) << Bytes(headword);
    // Keys that are not the field's go to the table.
    Press(VK_F5);
    ASSERT_TRUE(pump.Until([&] { return Seen(host, kAccF5, 1) == 1; }));
    Press(VK_UP);
    ASSERT_TRUE(pump.Until([&] { return Seen(host, kAccUp, 1) == 1; }));
    // Enter, which the table does not have, reaches the field: its notice to the parent.
    Press(VK_RETURN);
    ASSERT_TRUE(pump.Until([&] { return Seen(host, kHeadword, QFN_RETURN) == 1; }));
    // A character outside the system's code page (932) reaches the field whole.
    TypeText(L"\x00e9");
    ASSERT_TRUE(pump.Until([&] { return Bytes(headword) == "xq\xe9"; })) << Bytes(headword);
    EXPECT_EQ(Seen(host, kAccBack, 1), 0);
    EXPECT_EQ(Seen(host, kAccCtrlA, 1), 0);
    EXPECT_EQ(Seen(host, kAccLetterQ, 1), 0);
    EXPECT_EQ(Seen(host, kReading, EN_CHANGE), 0);
    // Japanese typed into the second field, which is in the user-interface charset.
    SetFocus(reading);
    TypeText(L"\x65e5\x672c\x8a9e");  // "Japanese"
    ASSERT_TRUE(pump.Until([&] { return Bytes(reading) == "\x93\xfa\x96\x7b\x8c\xea"; })) << Bytes(reading);
    EXPECT_EQ(SendMessageA(reading, QFM_GETTEXTEX, 0, 0), MAKELRESULT(6, SHIFTJIS_CHARSET));
    EXPECT_EQ(Bytes(headword), "xq\xe9");
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump.Run();
    EXPECT_TRUE(Testkit_SaveWindowPicture(host, "quickfield_typed.bmp"));
}

// A modeless dialog's loop: the field's own keys stay in the field, Enter clicks the default
// button, Esc cancels, Tab moves on.
TEST_F(TypingTest, DialogLoopLeavesEnterEscAndTabToTheDialog) {
    // Template: the field 1108 and the default button 5108, as in the search panes.
    std::vector<WORD> t;
    auto dword = [&](DWORD v) { t.push_back(LOWORD(v)); t.push_back(HIWORD(v)); };
    auto text = [&](const wchar_t *s) { for (; *s; s++) t.push_back(*s); t.push_back(0); };
    auto item = [&](DWORD style, short x, short y, short cx, short cy, WORD id, const wchar_t *cls, const wchar_t *title) {
        if (t.size() % 2) t.push_back(0);  // items start on a DWORD
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        t.insert(t.end(), {(WORD)x, (WORD)y, (WORD)cx, (WORD)cy, id});
        text(cls);
        text(title);
        t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | WS_VISIBLE);
    dword(0);
    t.insert(t.end(), {2, 10, 10, 200, 40, 0, 0});  // two items; no menu, no class
    text(L"Keyword");
    item(WS_TABSTOP | WS_BORDER, 5, 10, 120, 14, 1108, L"PPLINE", L"");
    item(WS_TABSTOP | BS_DEFPUSHBUTTON, 135, 10, 55, 14, kSearch, L"BUTTON", L"Search");
    HWND dlg = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), host, DialogProc, 0);
    ASSERT_TRUE(dlg) << GetLastError();
    HWND field = GetDlgItem(dlg, 1108), button = GetDlgItem(dlg, kSearch);
    ASSERT_TRUE(field);
    Pump pump{Loop::Dialog, dlg, nullptr};
    SetForegroundWindow(dlg);
    SendMessageA(field, QFM_SETTEXTEX, ANSI_CHARSET, (LPARAM)"old word");
    SetFocus(button);
    pump.Run();
    g_commands.clear();
    SetFocus(field);
    EXPECT_EQ(Seen(dlg, 1108, EN_SETFOCUS), 1);
    TypeKeys("NEW");
    ASSERT_TRUE(pump.Until([&] { return Bytes(field) == "new"; })) << "typing replaced the selected text: " << Bytes(field);
    Press(VK_BACK);
    TypeText(L"\x00fc");
    ASSERT_TRUE(pump.Until([&] { return Bytes(field) == "ne\xfc"; })) << Bytes(field);
    Press(VK_RETURN);
    ASSERT_TRUE(pump.Until([&] { return Seen(dlg, kSearch, BN_CLICKED) == 1; }));
    EXPECT_EQ(Seen(dlg, 1108, QFN_RETURN), 0);
    Press(VK_ESCAPE);
    ASSERT_TRUE(pump.Until([&] { return Seen(dlg, IDCANCEL, 0) == 1; }));
    Press(VK_TAB);
    ASSERT_TRUE(pump.Until([&] { return GetFocus() == button; }));
    EXPECT_EQ(Seen(dlg, 1108, EN_KILLFOCUS), 1);
    EXPECT_EQ(Bytes(field), "ne\xfc");
    DestroyWindow(dlg);
}

// A loop that knows nothing of the field still types every character of the system's code page.
TEST_F(TypingTest, PlainLoopTypesTheSystemCodePage) {
    Pump pump{Loop::Plain, host, nullptr};
    SetFocus(reading);
    TypeText(L"\x8f9e\x66f8");  // "dictionary"
    TypeKeys("AB");
    ASSERT_TRUE(pump.Until([&] { return Bytes(reading) == "\x8e\xab\x8f\x91" "ab"; })) << Bytes(reading);
    Press(VK_BACK);
    ASSERT_TRUE(pump.Until([&] { return Bytes(reading) == "\x8e\xab\x8f\x91" "a"; })) << Bytes(reading);
}
