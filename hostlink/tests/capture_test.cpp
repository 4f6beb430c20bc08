// Captures through the real capture server in real controls at computed points: the text of the
// line, the character under the point, the font and the line's box; and the ways a capture gives
// nothing (rules, restricting windows, malformed answers, re-entry).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
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

POINT CharPoint(HWND w, const char *text, int left, int k, int y);

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

TEST_F(CaptureTest, JapaneseTextCountsCharactersNotBytes) {
    HFONT gothic = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                               "MS Gothic");
    // Shift-JIS "nihongo" (three characters), a space, then "abc".
    const char text[] = "\x93\xfa\x96\x7b\x8c\xea abc";
    HWND edit = Child("EDIT", text, 0, 10, 10, 400, 30);
    SendMessageA(edit, WM_SETFONT, (WPARAM)gothic, TRUE);
    POINT pt = EditCharMiddle(edit, 1, false);  // the second character, "hon"
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, text);
    EXPECT_EQ(rec.length, 7u);
    EXPECT_EQ(rec.wordPos, 1);
    EXPECT_EQ(rec.charset, SHIFTJIS_CHARSET);
    EXPECT_STREQ(rec.font.lfFaceName, "MS Gothic");
    DestroyWindow(edit);
    DeleteObject(gothic);
}

TEST_F(CaptureTest, WindowDrawingItsOwnTextGivesTheDrawnRow) {
    HWND panel = CreateWindowExA(0, "SelfDrawnPanel", "panel title", WS_CHILD | WS_VISIBLE, 10, 10,
                                 500, 120, g_host, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(panel);
    POINT pt = CharPoint(panel, kDrawnFirst, 5, 7, 5 + LineHeight() / 2);  // the 'y' of "by"
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    ExpectLine(rec, pt, "drawn by itself tail piece", 7);

    // A row drawn through the text-box call.
    HDC dc = GetDC(panel);
    HGDIOBJ old = SelectObject(dc, g_font);
    SIZE size;
    GetTextExtentPoint32A(dc, "anoth", 5, &size);
    SelectObject(dc, old);
    ReleaseDC(panel, dc);
    POINT below = ToScreen(panel, 5 + size.cx + 2, 60 + LineHeight() / 2);
    CaptureRecord second = Request(below);
    ASSERT_EQ(Hostlink_Capture(&second), 1);
    EXPECT_STREQ(second.text, "another row");
    EXPECT_EQ(second.wordPos, 5);
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

TEST_F(CaptureTest, MultiLineEditOfAnotherMakeIsAskedFirstAndGivesItsCaret) {
    HWND ml = CreateWindowExA(0, "MLEDIT", "ml edit text", WS_CHILD | WS_VISIBLE, 10, 10, 300, 60,
                              g_host, nullptr, GetModuleHandleA(nullptr), nullptr);
    POINT pt = ToScreen(ml, 3, 5);
    g_mlAllowed = 1;
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, "ml edit text");
    EXPECT_EQ(rec.caretPos, 1003u);
    g_mlAllowed = 0;
    rec = Request(pt);
    EXPECT_EQ(Hostlink_Capture(&rec), 0);
}

TEST_F(CaptureTest, WindowThatStopsAnsweringIsNotWaitedForEver) {
    HungWindow hung = {nullptr, CreateEventA(nullptr, TRUE, FALSE, nullptr),
                       CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, HungThread, &hung, 0, nullptr);
    ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(hung.created, 0) == WAIT_OBJECT_0; }));
    ASSERT_TRUE(hung.window);
    g_mlAllowed = 1;
    CaptureRecord rec = Request(ToScreen(hung.window, 20, 20));
    EXPECT_EQ(Hostlink_Capture(&rec), 0);  // the probe gave up: the window counts as silent
    SetEvent(hung.release);
    WaitFor([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; });
    CloseHandle(thread);
    CloseHandle(hung.created);
    CloseHandle(hung.release);
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

// ---- The other standard controls: the right line and a position inside the right word ----

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

TEST_F(CaptureTest, ButtonsGiveTheirLabel) {
    const char *push = "press this button";
    HWND button = Child("BUTTON", push, BS_PUSHBUTTON, 10, 10, 300, 40);
    int left = (300 - Width(push, (int)strlen(push))) / 2;
    ExpectWord(button, CharPoint(button, push, left, 8, 20), push, 6, 10);

    const char *check = "check this option";
    HWND box = Child("BUTTON", check, BS_AUTOCHECKBOX, 10, 100, 300, 30);
    int boxLeft = GetSystemMetrics(SM_CXMENUCHECK) + 4;
    ExpectWord(box, CharPoint(box, check, boxLeft, 13, 15), check, 11, 17);
}

TEST_F(CaptureTest, DropDownListComboGivesItsSelection) {
    HWND combo = Child("COMBOBOX", "", CBS_DROPDOWNLIST, 10, 10, 300, 200);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)"chosen entry text");
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    COMBOBOXINFO info = {sizeof(info)};
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const char *text = "chosen entry text";
    int y = (info.rcItem.top + info.rcItem.bottom) / 2;
    ExpectWord(combo, CharPoint(combo, text, info.rcItem.left + 1, 9, y), text, 7, 12);
}

TEST_F(CaptureTest, ListViewGivesTheItemOrSubItemUnderThePoint) {
    HWND view = Child(WC_LISTVIEWA, "", LVS_REPORT, 10, 10, 500, 200);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 200;
    col.pszText = (char *)"name";
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);
    col.pszText = (char *)"meaning";
    SendMessageA(view, LVM_INSERTCOLUMNA, 1, (LPARAM)&col);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = (char *)"first item";
    SendMessageA(view, LVM_INSERTITEMA, 0, (LPARAM)&item);
    item.iItem = 1;
    item.pszText = (char *)"second item";
    SendMessageA(view, LVM_INSERTITEMA, 0, (LPARAM)&item);
    item.iSubItem = 1;
    item.pszText = (char *)"the sub item text";
    SendMessageA(view, LVM_SETITEMTEXTA, 1, (LPARAM)&item);

    RECT r = {LVIR_LABEL, 0, 0, 0};
    SendMessageA(view, LVM_GETITEMRECT, 1, (LPARAM)&r);
    const char *name = "second item";
    int y = (r.top + r.bottom) / 2;
    ExpectWord(view, CharPoint(view, name, r.left + 2, 8, y), name, 7, 11);

    RECT s = {LVIR_LABEL, 1, 0, 0};
    SendMessageA(view, LVM_GETSUBITEMRECT, 1, (LPARAM)&s);
    const char *sub = "the sub item text";
    ExpectWord(view, CharPoint(view, sub, s.left + 2, 9, y), sub, 8, 12);
}

TEST_F(CaptureTest, TreeViewGivesTheItemUnderThePoint) {
    HWND tree = Child(WC_TREEVIEWA, "", TVS_HASLINES, 10, 10, 300, 200);
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = (char *)"root node";
    SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    ins.item.pszText = (char *)"another tree entry";
    HTREEITEM second = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&ins);
    RECT r;
    memcpy(&r, &second, sizeof(second));
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&r));
    const char *text = "another tree entry";
    ExpectWord(tree, CharPoint(tree, text, r.left + 2, 10, (r.top + r.bottom) / 2), text, 8, 12);
}

TEST_F(CaptureTest, HeaderAndTabGiveTheItemUnderThePoint) {
    HWND header = Child(WC_HEADERA, "", HDS_HORZ, 10, 10, 400, 30);
    HDITEMA hd = {};
    hd.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    hd.cxy = 250;
    hd.fmt = HDF_LEFT | HDF_STRING;
    hd.pszText = (char *)"column heading";
    SendMessageA(header, HDM_INSERTITEMA, 0, (LPARAM)&hd);
    RECT h;
    SendMessageA(header, HDM_GETITEMRECT, 0, (LPARAM)&h);
    const char *heading = "column heading";
    ExpectWord(header, CharPoint(header, heading, h.left + 3 * GetSystemMetrics(SM_CXEDGE), 10,
                                 (h.top + h.bottom) / 2),
               heading, 7, 14);

    HWND tab = Child(WC_TABCONTROLA, "", 0, 10, 100, 400, 100);
    TCITEMA tc = {};
    tc.mask = TCIF_TEXT;
    tc.pszText = (char *)"first page";
    SendMessageA(tab, TCM_INSERTITEMA, 0, (LPARAM)&tc);
    tc.pszText = (char *)"settings tab";
    SendMessageA(tab, TCM_INSERTITEMA, 1, (LPARAM)&tc);
    RECT t;
    SendMessageA(tab, TCM_GETITEMRECT, 1, (LPARAM)&t);
    const char *label = "settings tab";
    int left = (t.left + t.right - Width(label, (int)strlen(label))) / 2;
    ExpectWord(tab, CharPoint(tab, label, left, 3, (t.top + t.bottom) / 2), label, 0, 8);
}

// ---- The window at the point ----

TEST_F(CaptureTest, WalkPassesOverGroupBoxesAndHiddenChildren) {
    HWND edit = Child("EDIT", "under the group", 0, 20, 40, 300, 30);
    HWND hidden = CreateWindowExA(0, "EDIT", "hidden cover", WS_CHILD, 20, 40, 300, 30, g_host,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND group = Child("BUTTON", "group", BS_GROUPBOX, 10, 10, 400, 100);
    SetWindowPos(hidden, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(group, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(edit, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CaptureRecord rec = Request(EditCharMiddle(edit, 1, false));
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_EQ(rec.sourceWindow, (uint32_t)(UINT_PTR)edit);
    EXPECT_STREQ(rec.text, "under the group");
}

TEST_F(CaptureTest, IpAddressControlGivesTheFieldUnderThePoint) {
    HWND ip = Child(WC_IPADDRESSA, "", 0, 10, 10, 200, 30);
    SendMessageA(ip, IPM_SETADDRESS, 0, MAKEIPADDRESS(10, 123, 45, 6));
    HWND field = nullptr;
    for (HWND c = GetWindow(ip, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char text[8];
        GetWindowTextA(c, text, sizeof(text));
        if (strcmp(text, "123") == 0) field = c;
    }
    ASSERT_TRUE(field);
    CaptureRecord rec = Request(EditCharMiddle(field, 1, false));
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_EQ(rec.sourceWindow, (uint32_t)(UINT_PTR)field);
    EXPECT_STREQ(rec.text, "123");
}

// ---- The document viewer plug-in ----

struct PluginAnswer {
    const char *text;
    uint16_t charset, wordPos;
};
PluginAnswer g_plugin;

LRESULT CALLBACK PluginProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_USER) return DefWindowProcA(w, msg, wp, lp);
    HANDLE map = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "VL40_ACROBATPLUGIN_FILEMAPPING");
    if (!map) return 0;
    CaptureRecord *rec = (CaptureRecord *)MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, 0);
    if (rec && wp == CAPTURE_RECORD_SIZE && rec->size == CAPTURE_RECORD_SIZE &&
        rec->wantMask == 47) {
        strcpy(rec->text, g_plugin.text);
        rec->length = (uint32_t)strlen(g_plugin.text);
        rec->charset = g_plugin.charset;
        rec->wordPos = g_plugin.wordPos;
    }
    if (rec) UnmapViewOfFile(rec);
    CloseHandle(map);
    return 1;
}

TEST_F(CaptureTest, DocumentViewerPageIsReadThroughThePlugin) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PluginProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VLPLUGINACROBAT";
    RegisterClassA(&wc);
    HWND plugin = CreateWindowExA(0, "VLPLUGINACROBAT", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    HANDLE loaded = CreateEventA(nullptr, TRUE, FALSE, "VL40AcrobatPluginExist");
    HWND page = CreateWindowExA(0, "AVL_AVView", "AVPageView", WS_CHILD | WS_VISIBLE, 10, 10,
                                300, 200, g_host, nullptr, GetModuleHandleA(nullptr), nullptr);
    POINT pt = ToScreen(page, 30, 30);

    // "café noir": one byte above 0x7F before the word position moves it on by one.
    g_plugin = {"caf\xE9 noir", 0, 6};
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, "caf  noir");
    EXPECT_EQ(rec.wordPos, 7);
    EXPECT_EQ(rec.sourceWindow, (uint32_t)(UINT_PTR)page);

    // "No word" stays "no word" however many bytes are replaced.
    g_plugin = {"\xE9\xE9\xE9 noir", 0, CAPTURE_NO_WORD};
    rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, "    noir");
    EXPECT_EQ(rec.wordPos, CAPTURE_NO_WORD);

    // A multi-byte charset keeps its bytes.  (Shift-JIS "nihon": 93 FA 96 7B)
    g_plugin = {"\x93\xfa\x96\x7b", SHIFTJIS_CHARSET, 1};
    rec = Request(pt);
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_STREQ(rec.text, "\x93\xfa\x96\x7b");
    EXPECT_EQ(rec.wordPos, 1);

    // Without the plug-in the page gives nothing.
    DestroyWindow(plugin);
    rec = Request(pt);
    EXPECT_EQ(Hostlink_Capture(&rec), 0);
    CloseHandle(loaded);
}

}  // namespace
