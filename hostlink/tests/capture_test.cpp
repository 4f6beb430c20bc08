// Captures through the real capture server in real controls at computed points: the text of the
// line, the character under the point, the font and the line's box; and the ways a capture gives
// nothing (rules, restricting windows, malformed answers, re-entry).
#include <gtest/gtest.h>
#include <richedit.h>
#include <string.h>
#include <string>
#include "hostlink.h"
#include "hostlink_proto.h"
#include "test_util.h"

namespace {

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
        for (const char *name : {"HostlinkTestHost", "TRAYCLOCKWCLASS", "PlainTestPanel"}) {
            wc.lpszClassName = name;
            RegisterClassA(&wc);
        }
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

TEST_F(CaptureTest, SingleLineEditGivesTheWordUnderThePoint) {
    HWND edit = Child("EDIT", "alpha beta gamma", ES_AUTOHSCROLL, 10, 10, 400, 30);
    POINT pt = EditCharMiddle(edit, 7, false);  // the 't' of "beta"
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "alpha beta gamma", 7);
    EXPECT_EQ(rec.sourceWindow, (uint32_t)(UINT_PTR)edit);
    EXPECT_EQ(rec.controlKind, (uint32_t)CAPTURE_KIND_OTHER);

    // The space between two words is on no word.
    POINT gap = EditCharMiddle(edit, 5, false);
    CaptureRecord none = Request(gap);
    ASSERT_EQ(Hostlink_Capture(&none), 1);
    EXPECT_EQ(none.wordPos, CAPTURE_NO_WORD);
}

TEST_F(CaptureTest, MultiLineEditGivesTheLineUnderThePoint) {
    const char text[] = "first line\r\nsecond word here\r\nthird";
    HWND edit = Child("EDIT", text, ES_MULTILINE, 10, 10, 400, 120);
    int index = 12 + 8;  // the 'o' of "word" on the second line
    POINT pt = EditCharMiddle(edit, index, false);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "second word here", 8);
}

TEST_F(CaptureTest, RichEditGivesTheLineUnderThePoint) {
    HWND rich = Child("RichEdit20A", "", ES_MULTILINE, 10, 10, 400, 120);
    ASSERT_TRUE(rich);
    SetWindowTextA(rich, "first line\rsecond word here\rthird");
    int index = 11 + 8;  // the 'o' of "word"; paragraphs end in one character
    POINT pt = EditCharMiddle(rich, index, true);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "second word here", 8);
}

TEST_F(CaptureTest, ListBoxGivesTheItemUnderThePoint) {
    HWND list = Child("LISTBOX", "", WS_BORDER, 10, 10, 300, 200);
    for (const char *item : {"apple", "banana split", "cherry"})
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, 1, (LPARAM)&r);
    const char *item = "banana split";
    int x = r.left + 1 + Width(item, 8) + Width(item + 8, 1) / 2;  // the 'p' of "split"
    POINT pt = ToScreen(list, x, (r.top + r.bottom) / 2);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "banana split", 8);
    EXPECT_EQ(rec.controlKind, (uint32_t)CAPTURE_KIND_LIST);
}

TEST_F(CaptureTest, StaticGivesItsWrappedLine) {
    HWND label = Child("STATIC", "static known word", SS_LEFT, 10, 200, 400, 60);
    const char *text = "static known word";
    int x = Width(text, 9) + Width(text + 9, 1) / 2;  // the 'o' of "known"
    POINT pt = ToScreen(label, x, LineHeight() / 2);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "static known word", 9);
}

TEST_F(CaptureTest, WantMaskChoosesTheFieldsCopied) {
    HWND edit = Child("EDIT", "alpha beta gamma", 0, 10, 10, 400, 30);
    POINT pt = EditCharMiddle(edit, 1, false);
    CaptureRecord rec = Request(pt, CAPTURE_WANT_WORD_POS);
    strcpy(rec.text, "untouched");
    rec.x = pt.x;
    rec.y = pt.y;
    rec.viewerValue = 77;
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, "untouched");
    EXPECT_EQ(rec.wordPos, 1);
    EXPECT_EQ(rec.length, 16u);
    EXPECT_EQ(rec.charset, 0);
    EXPECT_EQ(rec.font.lfFaceName[0], 0);
    EXPECT_EQ(rec.viewerValue, 77u);
}

TEST_F(CaptureTest, ShortCopyDataAnswerIsIgnored) {
    HWND edit = Child("EDIT", "alpha beta gamma", 0, 10, 10, 400, 30);
    POINT pt = EditCharMiddle(edit, 1, false);
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    ASSERT_EQ(SendMessageA(server, VLM_GLIMPSE_SHORT_ANSWER, CAPTURE_RECORD_SIZE - 1, 0), 1);
    CaptureRecord rec = Request(pt);
    CaptureRecord before = rec;
    EXPECT_EQ(Hostlink_Capture(&rec), 0);
    EXPECT_EQ(memcmp(&rec, &before, sizeof(rec)), 0);
    // The next whole answer is taken again.
    EXPECT_EQ(Hostlink_Capture(&rec), 1);
}

TEST_F(CaptureTest, NeverCaptureClassAndRestrictingWindowGiveNothing) {
    HWND tray = CreateWindowExA(0, "TRAYCLOCKWCLASS", "12:00", WS_CHILD | WS_VISIBLE, 10, 10, 200,
                                40, g_host, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND panel = CreateWindowExA(0, "PlainTestPanel", "plain panel text", WS_CHILD | WS_VISIBLE,
                                 10, 100, 300, 40, g_host, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    g_plainMessages = 0;
    CaptureRecord rec = Request(ToScreen(tray, 20, 10));
    EXPECT_EQ(Hostlink_Capture(&rec), 0);
    EXPECT_EQ(g_plainMessages, 0);  // the server was never asked

    // A window that draws its own text is read through its window text.
    CaptureRecord own = Request(ToScreen(panel, 2, 5));
    EXPECT_EQ(Hostlink_Capture(&own), 1);
    EXPECT_STREQ(own.text, "plain panel text");
    EXPECT_GT(g_plainMessages, 0);

    CaptureRecord restricted = Request(ToScreen(panel, 2, 5));
    restricted.restrictWindow1 = (uint32_t)(UINT_PTR)tray;
    EXPECT_EQ(Hostlink_Capture(&restricted), 0);
    restricted.restrictWindow2 = (uint32_t)(UINT_PTR)panel;
    EXPECT_EQ(Hostlink_Capture(&restricted), 1);
}

TEST_F(CaptureTest, CaptureStartedDuringACaptureAnswersZero) {
    HWND edit = Child("EDIT", "alpha beta gamma", 0, 10, 10, 400, 30);
    g_editProc = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)ReentrantEditProc);
    g_innerResult = -1;
    CaptureRecord rec = Request(EditCharMiddle(edit, 1, false));
    EXPECT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_EQ(g_innerResult, 0);
    SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)g_editProc);
}

}  // namespace
