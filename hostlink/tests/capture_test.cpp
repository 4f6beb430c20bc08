// Captures through the real capture server: the record a capture fills, and the ways a capture
// gives nothing (rules, restricting windows, malformed answers, re-entry, silent windows), the
// window at the point, and the document viewer plug-in.
#include "capture_fixture.h"

using namespace hostlink_test;

namespace {

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

TEST_F(CaptureTest, PasswordFieldIsNeverRead) {
    HWND secret = Child("EDIT", "hunter2 secret", ES_PASSWORD, 10, 10, 400, 30);
    CaptureRecord rec = Request(EditCharMiddle(secret, 1, false));
    EXPECT_EQ(Hostlink_Capture(&rec), 0);
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

TEST_F(CaptureTest, OverlongAnswerIsTerminatedAndBounded) {
    HWND edit = Child("EDIT", "alpha beta gamma", 0, 10, 10, 400, 30);
    HWND server = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
    ASSERT_EQ(SendMessageA(server, VLM_GLIMPSE_OVERLONG_ANSWER, 0, 0), 1);
    CaptureRecord rec = Request(EditCharMiddle(edit, 1, false));
    ASSERT_EQ(Hostlink_Capture(&rec), 1);
    EXPECT_EQ(strlen(rec.text), (size_t)CAPTURE_TEXT_BYTES - 1);
    EXPECT_EQ(rec.length, (uint32_t)CAPTURE_TEXT_BYTES - 1);
    EXPECT_EQ(rec.wordPos, CAPTURE_NO_WORD);
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
    PluginPage viewer = OpenPluginPage(PluginProc);
    HWND plugin = viewer.plugin, page = viewer.page;
    HANDLE loaded = viewer.loaded;
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
