// The capture server against windows and processes that do not play fair: a text-drawing spy block
// written with lengths and hit positions that do not fit, long texts without blanks, a list item
// that grows between its length and its text, a list view that answers only after the server gave
// up.  Each capture must end with a bounded answer and the same server must go on serving.
#include "capture_fixture.h"
#include "glimpse_spy.h"

using namespace hostlink_test;

namespace {

// The block shared by every instance of the spy (this process loads the spy itself, so the server
// finds it here already).
GlimpseSpyShared *SpyBlock() {
    HMODULE spy = LoadLibraryA("GlimpseSpy.dll");
    GlimpseSpySharedFn shared =
        spy ? (GlimpseSpySharedFn)(void *)GetProcAddress(spy, "GlimpseSpy_Shared") : nullptr;
    return shared ? shared() : nullptr;
}

// What the hostile panel writes over the pieces the spy noted while it painted.
struct SpyDamage {
    int length, hit;
    LONG count;  // 0: the count stays as noted
};
SpyDamage g_damage;
const char kPanelDrawn[] = "drawn hostile text";

LRESULT CALLBACK HostilePanelProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcA(w, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HGDIOBJ old = SelectObject(dc, g_font);
    TextOutA(dc, 5, 5, kPanelDrawn, (int)strlen(kPanelDrawn));
    SelectObject(dc, old);
    EndPaint(w, &ps);
    GlimpseSpyShared *shared = SpyBlock();
    if (shared && shared->armed) {
        for (int i = 0; i < GLIMPSE_SPY_PIECES; i++) {
            if (g_damage.length) shared->pieces[i].length = g_damage.length;
            if (g_damage.hit) shared->pieces[i].hit = g_damage.hit;
        }
        if (g_damage.count) shared->count = g_damage.count;
    }
    return 0;
}

// The server answers a plain edit: it is still there and still reads.
void ExpectServerServes(HWND server) {
    EXPECT_EQ(server, FindWindowA(HOSTLINK_SERVER_CLASS, nullptr));
    HWND edit = Child("EDIT", "still serving", 0, 10, 300, 300, 30);
    CaptureRecord rec = Request(EditCharMiddle(edit, 7, false));
    ASSERT_EQ(1, Hostlink_Capture(&rec));
    EXPECT_STREQ("still serving", rec.text);
    DestroyWindow(edit);
}

TEST_F(CaptureTest, SpyBlockWithPiecesThatDoNotFitIsNotTrusted) {
    ASSERT_TRUE(SpyBlock());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostilePanelProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HostileSpyPanel";
    RegisterClassA(&wc);
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    HWND panel = CreateWindowExA(0, "HostileSpyPanel", "panel own title", WS_CHILD | WS_VISIBLE,
                                 10, 10, 500, 100, g_host, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    UpdateWindow(panel);
    POINT pt = CharPoint(panel, kPanelDrawn, 5, 8, 5 + LineHeight() / 2);
    struct Case {
        const char *what;
        SpyDamage damage;
        const char *text;  // what the capture reads: the drawing, or the window text without it
    } cases[] = {
        {"nothing wrong", {0, 0, 0}, kPanelDrawn},
        {"a length far past the block", {50000000, 0, 0}, "panel own title"},
        {"a negative length", {-7, 0, 0}, "panel own title"},
        {"a hit past the piece", {0, 100000, 0}, "panel own title"},
        {"a hit before the piece", {0, -50, 0}, "panel own title"},
        {"a count past the pieces", {0, 0, 100000}, kPanelDrawn},
        {"a negative count", {0, 0, -3}, "panel own title"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        g_damage = c.damage;
        CaptureRecord rec = Request(pt);
        ASSERT_EQ(1, Hostlink_Capture(&rec));
        EXPECT_STREQ(c.text, rec.text);
    }
    g_damage = SpyDamage{0, 0, 0};
    DestroyWindow(panel);
    ExpectServerServes(server);
}

TEST_F(CaptureTest, LongTextWithoutBlanksIsWrappedAndFittedInBoundedWork) {
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    // A path-like text of 20 000 characters in a wrapping static: the third row is read.
    std::string path(20000, 'x');
    for (size_t i = 0; i < path.size(); i += 7) path[i] = '\\';
    HWND label = Child("STATIC", path.c_str(), SS_LEFT | SS_NOPREFIX, 10, 10, 400, 200);
    POINT pt = ToScreen(label, 1, 2 * LineHeight() + LineHeight() / 2);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(1, Hostlink_Capture(&rec));
    size_t length = strlen(rec.text);
    EXPECT_GT(length, 10u);
    EXPECT_EQ(rec.length, length);
    EXPECT_LE(Width(rec.text, (int)length), 400);
    EXPECT_NE(std::string::npos, path.find(rec.text));
    EXPECT_EQ(0, rec.wordPos);
    DestroyWindow(label);

    // The same in a one-line edit: the line is cut to the record's field around the point.
    HWND edit = Child("EDIT", path.c_str(), ES_AUTOHSCROLL, 10, 10, 400, 30);
    // Measured from the first character's place (the edit's positions of later characters are
    // not to be relied on in a text this long).
    LRESULT origin = SendMessageA(edit, EM_POSFROMCHAR, 0, 0);
    POINT at = CharPoint(edit, path.c_str(), (short)LOWORD(origin), 5,
                         (short)HIWORD(origin) + LineHeight() / 2);
    rec = Request(at);
    ASSERT_EQ(1, Hostlink_Capture(&rec));
    EXPECT_EQ((size_t)CAPTURE_TEXT_BYTES - 1, strlen(rec.text));
    EXPECT_EQ(0, path.compare(0, strlen(rec.text), rec.text));
    EXPECT_EQ(5, rec.wordPos);
    DestroyWindow(edit);
    ExpectServerServes(server);
}

// A list whose item says it is short when its length is first asked and is long when read (a
// Unicode window procedure, so that no conversion between the character sets comes between).
WNDPROC g_listProc;
int g_lengthAsked;
std::wstring g_grownItem;
LRESULT CALLBACK GrowingListProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == LB_GETTEXTLEN && wp == 1) return ++g_lengthAsked == 1 ? 3 : (LRESULT)g_grownItem.size();
    if (msg == LB_GETTEXT && wp == 1) {
        memcpy((wchar_t *)lp, g_grownItem.c_str(), (g_grownItem.size() + 1) * sizeof(wchar_t));
        return (LRESULT)g_grownItem.size();
    }
    return CallWindowProcW(g_listProc, w, msg, wp, lp);
}

TEST_F(CaptureTest, ListItemThatGrowsAfterItsLengthIsReadInsideItsProcess) {
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    HWND list = Child("LISTBOX", "", WS_BORDER | LBS_HASSTRINGS, 10, 10, 300, 200);
    for (const char *item : {"one", "two", "six"}) SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
    g_grownItem = L"grown " + std::wstring(3000, L'g');
    g_lengthAsked = 0;
    g_listProc = (WNDPROC)SetWindowLongPtrW(list, GWLP_WNDPROC, (LONG_PTR)GrowingListProc);
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, 1, (LPARAM)&r);
    POINT pt = ToScreen(list, r.left + 1 + Width("gr", 2), (r.top + r.bottom) / 2);
    CaptureRecord rec = Request(pt);
    ASSERT_EQ(1, Hostlink_Capture(&rec));
    EXPECT_EQ(0, strncmp(rec.text, "grown ggg", 9));
    EXPECT_LE(strlen(rec.text), (size_t)CAPTURE_TEXT_BYTES - 1);
    SetWindowLongPtrW(list, GWLP_WNDPROC, (LONG_PTR)g_listProc);
    DestroyWindow(list);
    ExpectServerServes(server);
}

// A list view on a thread of its own that, on the server's hit test, stops until released: the
// server gives up on it, and the answer the list view writes when it goes on must land in memory
// that is still there.
struct SlowView {
    HWND view;
    WNDPROC proc;
    HANDLE created, reached, release, answered;
};
SlowView g_slow;
LRESULT CALLBACK SlowViewProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != LVM_SUBITEMHITTEST || WaitForSingleObject(g_slow.reached, 0) == WAIT_OBJECT_0)
        return CallWindowProcA(g_slow.proc, w, msg, wp, lp);
    SetEvent(g_slow.reached);
    WaitForSingleObject(g_slow.release, INFINITE);
    LRESULT r = CallWindowProcA(g_slow.proc, w, msg, wp, lp);
    SetEvent(g_slow.answered);
    return r;
}
DWORD WINAPI SlowViewThread(LPVOID) {
    g_slow.view = CreateWindowExA(WS_EX_TOPMOST, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 300, 300,
                                  300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 200;
    col.pszText = (char *)"name";
    SendMessageA(g_slow.view, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = (char *)"slow item";
    SendMessageA(g_slow.view, LVM_INSERTITEMA, 0, (LPARAM)&item);
    g_slow.proc = (WNDPROC)SetWindowLongPtrA(g_slow.view, GWLP_WNDPROC, (LONG_PTR)SlowViewProc);
    SetWindowPos(g_slow.view, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(g_slow.view);
    SetEvent(g_slow.created);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    DestroyWindow(g_slow.view);
    return 0;
}

TEST_F(CaptureTest, BlocksOfAMessageThatTimedOutAreNotFreedUnderTheTarget) {
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    g_slow.created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_slow.reached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_slow.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_slow.answered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, SlowViewThread, nullptr, 0, &threadId);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_slow.created, INFINITE));
    RECT r = {LVIR_LABEL, 0, 0, 0};
    SendMessageA(g_slow.view, LVM_GETITEMRECT, 0, (LPARAM)&r);
    POINT pt = ToScreen(g_slow.view, r.left + 8, (r.top + r.bottom) / 2);
    // The server's hit test is held: the capture ends without the item's text.
    CaptureRecord rec = Request(pt);
    Hostlink_Capture(&rec);
    EXPECT_STREQ("", rec.text);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_slow.reached, 0));
    // Now the list view answers into the server's block.
    SetEvent(g_slow.release);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_slow.answered, INFINITE));
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
    for (HANDLE h : {thread, g_slow.created, g_slow.reached, g_slow.release, g_slow.answered})
        CloseHandle(h);
    ExpectServerServes(server);
}

}  // namespace
