// The fixture of the capture tests: the capture client attached (so the real capture server runs),
// a top-most host window for real controls, test window classes and point helpers.
#ifndef HOSTLINK_CAPTURE_FIXTURE_H
#define HOSTLINK_CAPTURE_FIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <string.h>
#include <string>
#include "hostlink.h"
#include "hostlink_proto.h"
#include "test_util.h"

// One program includes this once: plain definitions, no anonymous namespace.
namespace hostlink_test {

const char kFace[] = "Tahoma";
HWND g_host;
HFONT g_font;
int g_plainMessages;   // WM_GETTEXT seen by the plain test windows
int g_innerResult = -1;  // a capture started while one is under way
WNDPROC g_editProc;

LRESULT CALLBACK PlainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH) g_plainMessages++;
    return DefWindowProcA(w, msg, wp, lp);
}

// A window that draws its text itself: two pieces on one row, one more row below.
const char kDrawnFirst[] = "drawn by itself";
const char kDrawnSecond[] = "tail piece";
LRESULT CALLBACK SelfDrawnProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcA(w, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HGDIOBJ old = SelectObject(dc, g_font);
    SIZE size;
    GetTextExtentPoint32A(dc, kDrawnFirst, (int)strlen(kDrawnFirst), &size);
    TextOutA(dc, 5, 5, kDrawnFirst, (int)strlen(kDrawnFirst));
    TextOutA(dc, 5 + size.cx + 20, 5, kDrawnSecond, (int)strlen(kDrawnSecond));
    RECT below = {5, 60, 300, 90};
    DrawTextA(dc, "another row", -1, &below, DT_LEFT | DT_SINGLELINE);
    SelectObject(dc, old);
    EndPaint(w, &ps);
    return 0;
}

// A multi-line edit of another make: says whether it may be captured (0x606) and where its caret
// is for a client point (0x604).
LRESULT g_mlAllowed = 1;
LRESULT CALLBACK MlEditProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == 0x606) return g_mlAllowed;
    if (msg == 0x604) return 1000 + (short)LOWORD(lp);
    return DefWindowProcA(w, msg, wp, lp);
}

// A window whose thread stops reading its messages until released.
struct HungWindow {
    HWND window;
    HANDLE created, release;
};
DWORD WINAPI HungThread(LPVOID param) {
    HungWindow *hung = (HungWindow *)param;
    hung->window = CreateWindowExA(WS_EX_TOPMOST, "MLEDIT", "hung", WS_POPUP, 700, 600, 200, 100,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(hung->window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetEvent(hung->created);
    WaitForSingleObject(hung->release, INFINITE);  // no messages read meanwhile
    DestroyWindow(hung->window);
    return 0;
}

// An edit that, when the server reads its text, starts a capture of its own.
LRESULT CALLBACK ReentrantEditProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETTEXT) {
        CaptureRecord inner = {};
        inner.size = sizeof(inner);
        inner.wantMask = 0x3F;
        inner.requestFlags = CAPTURE_REQ_USE_POINT;
        RECT r;
        GetWindowRect(w, &r);
        inner.x = r.left + 5;
        inner.y = r.top + 5;
        g_innerResult = Hostlink_Capture(&inner);
    }
    return CallWindowProcA(g_editProc, w, msg, wp, lp);
}

HWND Child(const char *cls, const char *text, DWORD style, int x, int y, int cx, int cy) {
    HWND w = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy, g_host,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(w, WM_SETFONT, (WPARAM)g_font, TRUE);
    return w;
}

CaptureRecord Request(POINT screen, uint32_t want = 0x3F) {
    CaptureRecord rec;
    memset(&rec, 0, sizeof(rec));
    rec.size = sizeof(rec);
    rec.wantMask = want;
    rec.requestFlags = CAPTURE_REQ_USE_POINT | CAPTURE_REQ_WINDOW_AT;
    rec.x = screen.x;
    rec.y = screen.y;
    return rec;
}

// Width of text in the test font.
int Width(const char *text, int n) {
    HDC dc = GetDC(g_host);
    HGDIOBJ old = SelectObject(dc, g_font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, n, &size);
    SelectObject(dc, old);
    ReleaseDC(g_host, dc);
    return size.cx;
}

int LineHeight() {
    HDC dc = GetDC(g_host);
    HGDIOBJ old = SelectObject(dc, g_font);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(g_host, dc);
    return tm.tmHeight;
}

POINT ToScreen(HWND w, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(w, &p);
    return p;
}

// The middle of character index of an edit-like control's text, from the control's own positions.
POINT EditCharMiddle(HWND w, int index, bool rich) {
    POINTL a = {0, 0}, b = {0, 0};
    if (rich) {
        SendMessageA(w, EM_POSFROMCHAR, (WPARAM)&a, index);
        SendMessageA(w, EM_POSFROMCHAR, (WPARAM)&b, index + 1);
    } else {
        LRESULT pa = SendMessageA(w, EM_POSFROMCHAR, index, 0);
        LRESULT pb = SendMessageA(w, EM_POSFROMCHAR, index + 1, 0);
        a.x = (short)LOWORD(pa);
        a.y = (short)HIWORD(pa);
        b.x = (short)LOWORD(pb);
    }
    return ToScreen(w, (a.x + b.x) / 2, a.y + LineHeight() / 2);
}

void ExpectLine(const CaptureRecord &rec, POINT pt, const char *text, int wordPos) {
    EXPECT_STREQ(rec.text, text);
    EXPECT_EQ(rec.length, strlen(text));
    EXPECT_EQ(rec.wordPos, wordPos);
    EXPECT_STREQ(rec.font.lfFaceName, kFace);
    EXPECT_EQ(rec.charset, ANSI_CHARSET);
    EXPECT_TRUE(PtInRect(&rec.lineRect, pt)) << rec.lineRect.left << "," << rec.lineRect.top
                                              << "," << rec.lineRect.right << ","
                                              << rec.lineRect.bottom << " vs " << pt.x << ","
                                              << pt.y;
    EXPECT_EQ(rec.x, pt.x);
    EXPECT_EQ(rec.y, pt.y);
}

class CaptureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadLibraryA("riched20.dll");
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&icc);
        for (const char *name : {"HostlinkTestHost", "TRAYCLOCKWCLASS", "PlainTestPanel",
                                 "AVL_AVView"}) {
            wc.lpszClassName = name;
            RegisterClassA(&wc);
        }
        wc.lpfnWndProc = SelfDrawnProc;
        wc.lpszClassName = "SelfDrawnPanel";
        RegisterClassA(&wc);
        wc.lpfnWndProc = MlEditProc;
        wc.lpszClassName = "MLEDIT";
        RegisterClassA(&wc);
        g_font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, kFace);
        ASSERT_EQ(Hostlink_Attach(), 1);
        ASSERT_TRUE(WaitFor([] { return FindWindowA(HOSTLINK_SERVER_CLASS, nullptr) != nullptr; }));
    }
    static void TearDownTestSuite() {
        HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
        Hostlink_Detach();
        EXPECT_TRUE(WaitFor([server] { return !IsWindow(server); }));
        DeleteObject(g_font);
    }
    void SetUp() override {
        g_host = CreateWindowExA(WS_EX_TOPMOST, "HostlinkTestHost", "host",
                                 WS_POPUP | WS_CLIPCHILDREN, 40, 40, 640, 480,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(g_host);
        // Shown without activation: an active window's destruction waits on focus changes.
        SetWindowPos(g_host, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(g_host);
    }
    void TearDown() override { DestroyWindow(g_host); }
};

// Point for character k of text drawn from left in the test font, at row y.
POINT CharPoint(HWND w, const char *text, int left, int k, int y) {
    return ToScreen(w, left + Width(text, k) + Width(text + k, 1) / 2, y);
}

void ExpectWord(HWND w, POINT pt, const char *text, int wordStart, int wordEnd) {
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1) << text;
    EXPECT_STREQ(rec.text, text);
    EXPECT_GE(rec.wordPos, wordStart) << text;
    EXPECT_LT(rec.wordPos, wordEnd) << text;
    EXPECT_STREQ(rec.font.lfFaceName, kFace);
    EXPECT_TRUE(PtInRect(&rec.lineRect, pt)) << text;
    EXPECT_EQ(rec.sourceWindow, (uint32_t)(UINT_PTR)w);
}

// A document viewer with our plug-in loaded: the plug-in's message window (answering through
// `proc`), the event that says the plug-in is there, and a page view inside the host window.
struct PluginPage {
    HWND plugin;
    HANDLE loaded;
    HWND page;
};

PluginPage OpenPluginPage(WNDPROC proc) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VLPLUGINACROBAT";
    RegisterClassA(&wc);
    PluginPage p;
    p.plugin = CreateWindowExA(0, "VLPLUGINACROBAT", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    p.loaded = CreateEventA(nullptr, TRUE, FALSE, "VL40AcrobatPluginExist");
    p.page = CreateWindowExA(0, "AVL_AVView", "AVPageView", WS_CHILD | WS_VISIBLE, 10, 10, 300,
                             200, g_host, nullptr, GetModuleHandleA(nullptr), nullptr);
    return p;
}

}  // namespace hostlink_test

#endif
