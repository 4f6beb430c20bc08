// The translation window program started as the resident program starts it, handed text from
// this process the way the add-ins and the relay library do (hand-over files and a message to
// kind 4, a delivered lookup request), pictured, and ended by its process id.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "sharedkit.h"
#include "transpane.h"
#include "support/testkit_files.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"

namespace {

const UINT kRegisterWindow = 0x83E9, kUnregisterWindow = 0x83EA;

struct Seen {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;

// The resident program's main window, as far as the window kinds go.
LRESULT CALLBACK MainProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kRegisterWindow || msg == kUnregisterWindow) {
        g_seen.push_back({msg, wParam, lParam});
        return 1;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

std::string TempFile(const char *name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// The text the window shows, line ends taken out.
std::wstring Shown(HWND pane) {
    HWND text = GetDlgItem(pane, TRANSPANE_IDC_TEXT);
    wchar_t buf[4096] = {};
    SendMessageW(text, WM_GETTEXT, 4096, (LPARAM)buf);
    std::wstring out;
    for (wchar_t c : std::wstring(buf))
        if (c != L'\r' && c != L'\n') out += c;
    return out;
}

LRESULT Last(HWND pane, WPARAM what) { return SendMessageA(pane, TRANSPANE_WM_LAST, what, 0); }

// A picture of the window on top of the others, for a person to look at.
bool Picture(HWND pane, const char *file) {
    SetWindowPos(pane, HWND_TOPMOST, 60, 60, 0, 0, SWP_NOSIZE);
    RedrawWindow(pane, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    Sleep(300);  // the picture only
    return Testkit_SaveWindowPicture(pane, file);
}

int WindowsOfClass() {
    int n = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, TRANSPANE_CLASS, nullptr); w;
         w = FindWindowExA(nullptr, w, TRANSPANE_CLASS, nullptr))
        n++;
    return n;
}

class ReceiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelomiraV5MainWindow";
        RegisterClassA(&wc);
        main = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr,
                               nullptr, wc.hInstance, nullptr);
        g_seen.clear();
        ASSERT_TRUE(program.Start(Testkit_ExeFolder() + "TRANSPANE.EXE"));
        pane = program.WaitWindow(TRANSPANE_CLASS);
        ASSERT_TRUE(pane);
    }
    void TearDown() override {
        DeleteFileA(TempFile("WebbridgeTmp.txt").c_str());
        DeleteFileA(TempFile("WebbridgeTmp.rtf").c_str());
        DestroyWindow(main);
    }
    HWND main = nullptr, pane = nullptr;
    TestkitProcess program;
};

}  // namespace

TEST_F(ReceiveTest, TextFromTheAddInsAndTheRelayArrives) {
    ASSERT_TRUE(Testkit_PumpUntil([] { return !g_seen.empty(); }));
    EXPECT_EQ(g_seen[0].msg, kRegisterWindow);
    EXPECT_EQ(g_seen[0].wParam, 4u);
    EXPECT_EQ((HWND)g_seen[0].lParam, pane);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_SOURCE), 0) << "nothing shown yet";

    // A text file, as the browser bar writes it: text mode, no terminator; "辞書を引く" (look up in a
    // dictionary) in Shift-JIS.
    Testkit_WriteFile(TempFile("WebbridgeTmp.txt"), "\x8E\xAB\x8F\x91\x82\xF0\x88\xF8\x82\xAD dictionary\nsecond line");
    EXPECT_EQ(Sharedkit_SendToKind(4, TRANSPANE_VLM_TRANSLATE_TEXT_FILE, 0x123400, 0x567800), 1);
    EXPECT_EQ(Shown(pane), L"\x8F9E\x66F8\x3092\x5F15\x304F dictionarysecond line");
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_SOURCE), TRANSPANE_SOURCE_TEXT);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_DICTIONARY), 0x123400);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_TRANSLATOR), 0x567800);

    // The word processor's selection as RTF.
    Testkit_WriteFile(TempFile("WebbridgeTmp.rtf"),
                      "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}"
                      "\\f0 \\b Bold\\b0  and plain \\'8e\\'ab\\'8f\\'91\\par Second paragraph\\par}");
    EXPECT_EQ(Sharedkit_SendToKind(4, TRANSPANE_VLM_TRANSLATE_RTF_FILE, 0x2200, 0x3300), 1);
    EXPECT_EQ(Shown(pane), L"Bold and plain \x8F9E\x66F8Second paragraph");
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_SOURCE), TRANSPANE_SOURCE_RTF);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_TRANSLATOR), 0x3300);
    EXPECT_TRUE(Picture(pane, "translation_window_rtf.bmp"));

    // A lookup request delivered by id (the clipboard lookup into the translation window).
    VLTranParam *request = VLTranParam_Create(0x4400, 0, 0, 7, nullptr, 128, 0, 0, nullptr, 0, 0,
                                              "\x8E\xAB\x8F\x91 request", -1);
    ASSERT_TRUE(request);
    EXPECT_EQ(Sharedkit_DeliverItem(4, TRANSPANE_VLM_DELIVER_ITEM, 0, request), 1);
    VLTranParam_Destroy(request);
    EXPECT_EQ(Shown(pane), L"\x8F9E\x66F8 request");
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_SOURCE), TRANSPANE_SOURCE_REQUEST);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_DICTIONARY), 0x4400);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_TRANSLATOR), 0);

    EXPECT_TRUE(Picture(pane, "translation_window_request.bmp"));

    g_seen.clear();
    ASSERT_TRUE(program.End());
    EXPECT_EQ(program.WaitExit(0), 0);
    ASSERT_EQ(g_seen.size(), 1u) << "it leaves the kind table as it goes";
    EXPECT_EQ(g_seen[0].msg, kUnregisterWindow);
    EXPECT_EQ(g_seen[0].wParam, 4u);
}

TEST_F(ReceiveTest, MissingOrOversizedFilesAndUnknownIdsLeaveTheTextAsItWas) {
    Testkit_WriteFile(TempFile("WebbridgeTmp.txt"), "kept");
    ASSERT_EQ(Sharedkit_SendToKind(4, TRANSPANE_VLM_TRANSLATE_TEXT_FILE, 1, 2), 1);
    DeleteFileA(TempFile("WebbridgeTmp.rtf").c_str());
    EXPECT_EQ(Sharedkit_SendToKind(4, TRANSPANE_VLM_TRANSLATE_RTF_FILE, 3, 4), 0) << "no file";
    Testkit_WriteFile(TempFile("WebbridgeTmp.txt"), std::string(TRANSPANE_MAX_FILE + 1, 'x'));
    EXPECT_EQ(Sharedkit_SendToKind(4, TRANSPANE_VLM_TRANSLATE_TEXT_FILE, 5, 6), 0) << "too large";
    EXPECT_EQ(SendMessageA(pane, TRANSPANE_VLM_DELIVER_ITEM, 0, 0x7FFF1234), 0) << "no such delivery";
    EXPECT_EQ(Shown(pane), L"kept");
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_DICTIONARY), 1);
    EXPECT_EQ(Last(pane, TRANSPANE_LAST_TRANSLATOR), 2);
}

TEST_F(ReceiveTest, ASecondStartEndsAtOnceAndTheCloseNoticeEndsTheProgram) {
    TestkitProcess second;
    ASSERT_TRUE(second.Start(Testkit_ExeFolder() + "TRANSPANE.EXE"));
    EXPECT_EQ(second.WaitExit(), 0);
    EXPECT_EQ(WindowsOfClass(), 1);
    EXPECT_TRUE(IsWindow(pane));

    EXPECT_EQ(Sharedkit_SendToKind(4, TRANSPANE_VLM_CLOSE, 0, 0), 1);
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(WindowsOfClass(), 0);
}
