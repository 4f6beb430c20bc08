// The viewer control driven through the messages its callers send: text, entries, the capture
// questions of the resident program, copy, menus and the size notice to the parent.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "scrivshow.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

int g_notices, g_lastHeight, g_lastWidth;
LRESULT CALLBACK ParentProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY && ((NMHDR *)lParam)->code == 1) {
        g_notices++;
        g_lastHeight = ((ScrivshowSizeNotify *)lParam)->height;
        g_lastWidth = ((ScrivshowSizeNotify *)lParam)->width;
        return 0;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ScrivshowTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        viewer = Scrivshow_CreateViewer(WS_EX_CLIENTEDGE, 0x50210000, 0, 0, 400, 300, parent, 1362);
        ASSERT_TRUE(viewer);
        g_notices = 0;
    }
    void TearDown() override { DestroyWindow(parent); }
    // Height of one line: the notice of a one-line text less the margins.
    int LineHeight() {
        SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"x", 0);
        return g_lastHeight - 8;
    }
    // The capture record's text at a client point, or "" when the viewer writes none.
    std::string CaptureAt(int x, int y, WORD *charset = nullptr, DWORD *language = nullptr) {
        HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 2184, "SCRIVSHOWMAPPEDFILE");
        BYTE *rec = map ? (BYTE *)MapViewOfFile(map, FILE_MAP_READ, 0, 0, 2184) : nullptr;
        std::string text;
        if (rec && (SendMessageA(viewer, SCV_CAPTURE, 0, MAKELONG(x, y)) & 0xFFFF)) {
            text = (const char *)rec + 36;
            if (charset)
                memcpy(charset, rec + 2148, 2);
            if (language)
                memcpy(language, rec + 2172, 4);
        }
        if (rec)
            UnmapViewOfFile(rec);
        if (map)
            CloseHandle(map);
        return text;
    }
    std::string Text() {
        char buf[512];
        SendMessageA(viewer, WM_GETTEXT, sizeof buf, (LPARAM)buf);
        return buf;
    }
    HWND parent = nullptr, viewer = nullptr;
};

}  // namespace

TEST_F(ViewerTest, ShowsTextAndTellsItsParentTheSize) {
    char cls[32];
    GetClassNameA(viewer, cls, sizeof cls);
    EXPECT_STREQ(cls, "SCRIVSHOW10");
    EXPECT_EQ(GetDlgCtrlID(viewer), 1362);
    EXPECT_NE(SendMessageA(viewer, SCV_CHECK1, 0, 0), 0) << "empty viewer";
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"\x1b" "B1one\x1b" "B0\rtwo\rthree", 0), 1);
    EXPECT_EQ(g_notices, 1);
    int threeLines = g_lastHeight;
    EXPECT_GT(threeLines, 0);
    EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(SendMessageA(viewer, SCV_CHECK1, 0, 0), 0);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, 0, 0), 0) << "no text, nothing shown";
    EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");
    // The settings the view options send, in their order.
    DWORD colours[3] = {0, RGB(250, 250, 240), 0};
    EXPECT_EQ(SendMessageA(viewer, SCV_SETCOLORS, 2, (LPARAM)colours), 1);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETFONTSIZE, 16, 0), 1);
    EXPECT_GT(g_lastHeight, threeLines) << "a larger font makes taller content";
    int bigThreeLines = g_lastHeight;
    EXPECT_EQ(SendMessageA(viewer, SCV_SETFLAGS, 0x80000000, 0), 1);
    EXPECT_LT(g_lastHeight, bigThreeLines) << "without line feeds the lines are joined";
    EXPECT_EQ(SendMessageA(viewer, SCV_SETFLAGS, 0, 0), 1);
    EXPECT_EQ(g_lastHeight, bigThreeLines);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETLAYER, 2, 0), 1);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETDISPSTYLE, 1, 2), 1);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETOPTION, 1, 0), 1);
    UpdateWindow(viewer);
    // A charset's own text (1026) and the strings of an entry (1029).
    EXPECT_EQ(SendMessageA(viewer, SCV_SETCHARSETTEXT, 128, (LPARAM)"\x8c\xa9\x82\xc2\x82\xa9\x82\xe7\x82\xc8\x82\xa2"), 1);
    EXPECT_EQ(Text(), "\x8c\xa9\x82\xc2\x82\xa9\x82\xe7\x82\xc8\x82\xa2");  // "not found" in Shift-JIS
    struct {
        VLDataItem head;
        char strings[12];
    } item = {};
    item.head.head.size = sizeof item;
    item.head.head.type = VLITEM_DATA;
    memcpy(item.strings, "run\0ran x\0", 10);
    item.head.headwordLen = 3;
    item.head.headword = item.strings;
    item.head.secondLen = 5;
    item.head.second = item.strings + 4;
    item.head.thirdLen = 3;
    item.head.third = item.strings;  // third string absent: the headword again
    EXPECT_EQ(SendMessageA(viewer, SCV_SHOWENTRY, 1, (LPARAM)&item), 1);
    EXPECT_EQ(Text(), "run\r\nran x");
    item.head.language = 0x0700;
    SendMessageA(viewer, SCV_SHOWENTRY, 1, (LPARAM)&item);
    DWORD language = 0;
    EXPECT_EQ(CaptureAt(6, 6, nullptr, &language), "run");
    EXPECT_EQ(language, 0x0700u) << "the shown entry's language";
}

TEST_F(ViewerTest, AnswersTheCaptureQuestionsThroughTheMapping) {
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"hello world\rsecond", 0);
    EXPECT_EQ(SendMessageA(viewer, SCV_CAPTURE, 0, MAKELONG(6, 6)), 0) << "no mapping, no record";
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 2184, "SCRIVSHOWMAPPEDFILE");
    ASSERT_TRUE(map);
    BYTE *rec = (BYTE *)MapViewOfFile(map, FILE_MAP_READ, 0, 0, 2184);
    ASSERT_TRUE(rec);
    EXPECT_EQ(SendMessageA(viewer, SCV_CAPTURE, 0, MAKELONG(6, 6)) & 0xFFFF, 1);
    DWORD size, length, window;
    WORD charset, pos;
    memcpy(&size, rec, 4);
    memcpy(&window, rec + 24, 4);
    memcpy(&length, rec + 2084, 4);
    memcpy(&charset, rec + 2148, 2);
    memcpy(&pos, rec + 2150, 2);
    EXPECT_EQ(size, 2184u);
    EXPECT_EQ(window, (DWORD)(UINT_PTR)viewer);
    EXPECT_STREQ((const char *)rec + 36, "hello world");
    EXPECT_EQ(length, 11u);
    EXPECT_EQ(charset, 0);
    EXPECT_EQ(pos, 0) << "the first character lies under the point";
    DWORD language;
    memcpy(&language, rec + 2172, 4);
    EXPECT_EQ(language, GetACP() == 932 ? 0x0400u : 0x0100u) << "untagged text is in the system's code page";
    RECT line;
    memcpy(&line, rec + 2152, sizeof line);
    EXPECT_LT(line.top, line.bottom);
    EXPECT_EQ(SendMessageA(viewer, SCV_CAPTURE, 0, MAKELONG(6, 280)), 0) << "below the last line";
    EXPECT_EQ(SendMessageA(viewer, SCV_CAPTURE, 0, MAKELONG(390, 6)), 0) << "right of the line's end";
    UnmapViewOfFile(rec);
    CloseHandle(map);
    // Refusals: selecting with the mouse.
    EXPECT_EQ(SendMessageA(viewer, SCV_CHECK2, 0, 0), 0);
    SendMessageA(viewer, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(5, 5));
    EXPECT_NE(SendMessageA(viewer, SCV_CHECK2, 0, 0), 0);
    SendMessageA(viewer, WM_LBUTTONUP, 0, MAKELONG(5, 5));
    EXPECT_EQ(SendMessageA(viewer, SCV_CHECK2, 0, 0), 0);
}

TEST_F(ViewerTest, CommandsMenusCopyAndPrint) {
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"copy me\rtoo", 0);
    EXPECT_EQ(Scrivshow_HandleCommand(viewer, 5202), 1);
    ASSERT_TRUE(OpenClipboard(parent));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_TRUE(data);
    EXPECT_STREQ((const char *)GlobalLock(data), "copy me\r\ntoo");
    GlobalUnlock(data);
    CloseClipboard();
    for (UINT cmd : {5001u, 5201u, 5405u, 1100u})
        EXPECT_EQ(Scrivshow_HandleCommand(viewer, cmd), 0) << cmd;
    EXPECT_EQ(Scrivshow_HandleCommand(nullptr, 5202), 0);
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(Scrivshow_InitMenuA(menu, viewer), 9);
    EXPECT_EQ(Scrivshow_HandleCommand(viewer, SCRIVSHOW_CMD_FONTSIZE + 12), 1);
    EXPECT_EQ(Scrivshow_InitMenuA(menu, viewer), 9) << "filled afresh, not appended";
    EXPECT_TRUE(GetMenuState(menu, SCRIVSHOW_CMD_FONTSIZE + 12, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(Scrivshow_InitMenuB(menu, viewer), 4);
    EXPECT_EQ(Scrivshow_HandleCommand(viewer, SCRIVSHOW_CMD_STYLE + 2), 1);
    Scrivshow_InitMenuB(menu, viewer);
    EXPECT_TRUE(GetMenuState(menu, SCRIVSHOW_CMD_STYLE + 2, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);
    EXPECT_EQ(SendMessageA(viewer, SCV_PRINT, 0, 0), 0) << "no print record";
}

TEST_F(ViewerTest, OpensTheLanguageManagerWithItsText) {
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"look me up", 0);
    ASSERT_EQ(SendMessageA(viewer, SCV_LANGMANAGER, 0, 0), 1);
    HWND manager = FindWindowA("LinguakeeperManager", nullptr);
    ASSERT_NE(manager, nullptr);
    char text[64] = "";
    GetDlgItemTextA(manager, 100, text, sizeof text);
    EXPECT_STREQ(text, "look me up");
    DestroyWindow(manager);
}

// Thirty words on one paragraph, wider than any of the test's viewers.
std::string LongParagraph() {
    std::string s;
    for (int i = 0; i < 30; i++)
        s += "word ";
    return s + "end";
}

TEST_F(ViewerTest, LinesBreakAtTheWidthAndThePopupFormGrows) {
    int line = LineHeight();
    ASSERT_GT(line, 4);
    MoveWindow(viewer, 0, 0, 200, 300, TRUE);
    std::string text = LongParagraph();
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)text.c_str(), 0);
    RECT rc;
    GetClientRect(viewer, &rc);
    int wrappedHeight = g_lastHeight;
    EXPECT_GE(wrappedHeight, 3 * line + 8) << "the paragraph takes several lines";
    EXPECT_LE(g_lastWidth, rc.right) << "no line is wider than the window";
    EXPECT_EQ(Text(), text) << "breaking lines changes only how the text is shown";
    EXPECT_EQ(CaptureAt(6, 4 + line + line / 2).substr(0, 4), "word") << "the second line as shown";

    // The pop-up form breaks its lines at a width of its own and asks for room.
    EXPECT_EQ(SendMessageA(viewer, SCV_SETOPTION, 1, 0), 1);
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)text.c_str(), 0);
    EXPECT_GT(g_lastWidth, rc.right);
    EXPECT_LT(g_lastHeight, wrappedHeight);
    SendMessageA(viewer, SCV_SETOPTION, 0, 0);

    // A window made narrower breaks its lines again; a word wider than the window is cut.
    std::string longWord(200, 'm');
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"short line", 0);
    EXPECT_EQ(CaptureAt(6, 4 + line + line / 2), "") << "one line only";
    MoveWindow(viewer, 0, 0, 70, 300, TRUE);
    EXPECT_EQ(CaptureAt(6, 4 + line + line / 2), "line");
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)longWord.c_str(), 0);
    GetClientRect(viewer, &rc);
    EXPECT_LE(g_lastWidth, rc.right);
    EXPECT_GE(g_lastHeight, 3 * line + 8);
    EXPECT_EQ(Text(), longWord);
}

TEST_F(ViewerTest, SentTextIsAddedEndsWithALineBreakAndScrollsToTheEnd) {
    // The send-text dialog's text: a charset tag, then the typed text.
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"\x1b" "F00one", 0), 1);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"\x1b" "F00two", 1), 1);
    EXPECT_EQ(Text(), "onetwo");
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"\x1b" "F00three", 1 | 2), 1);
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"\x1b" "F80\x93\xfa\x96{", 1), 1);  // nihon
    EXPECT_EQ(Text(), "onetwothree\r\n\x93\xfa\x96{");
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"fresh", 2), 1) << "without 1 the text is replaced";
    EXPECT_EQ(Text(), "fresh\r\n");
    for (int i = 0; i < 40; i++)
        SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"more", 1 | 2);
    EXPECT_EQ(GetScrollPos(viewer, SB_VERT), 0) << "added text leaves the view where it was";
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"last", 1 | 4);
    SCROLLINFO si = {sizeof si, SIF_ALL};
    GetScrollInfo(viewer, SB_VERT, &si);
    EXPECT_GT(si.nPos, 0);
    EXPECT_GE(si.nPos + (int)si.nPage, si.nMax + 1) << "the last line is in view";
    RECT rc;
    GetClientRect(viewer, &rc);
    int line = (rc.bottom - 4) / (int)si.nPage;
    EXPECT_NE(CaptureAt(6, 4 + ((int)si.nPage - 1) * line + line / 2).find("last"), std::string::npos)
        << "the view's bottom line shows the text sent last";
}

TEST_F(ViewerTest, WithoutTextTheLanguageManagerIsOnlyAskedFor) {
    ASSERT_EQ(FindWindowA("LinguakeeperManager", nullptr), nullptr);
    EXPECT_EQ(SendMessageA(viewer, SCV_LANGMANAGER, 0, 0), 1) << "the manager can be opened";
    EXPECT_EQ(FindWindowA("LinguakeeperManager", nullptr), nullptr) << "but nothing is opened";
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)" \r ", 0);
    EXPECT_EQ(SendMessageA(viewer, SCV_LANGMANAGER, 0, 0), 1);
    EXPECT_EQ(FindWindowA("LinguakeeperManager", nullptr), nullptr) << "blanks are no text";
    // Text in the Japanese charset opens the manager on Japanese ("nihongo").
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)"\x1b" "F80\x93\xfa\x96{\x8c\xea", 0);
    ASSERT_EQ(SendMessageA(viewer, SCV_LANGMANAGER, 0, 0), 1);
    HWND manager = FindWindowA("LinguakeeperManager", nullptr);
    ASSERT_NE(manager, nullptr);
    char title[64] = "";
    GetWindowTextA(manager, title, sizeof title);
    EXPECT_STREQ(title, "Japanese");
    DestroyWindow(manager);
}

TEST_F(ViewerTest, PrintsAPreviewAtThePageWidth) {
    int line = LineHeight();
    TestkitCanvas page(420, 320);
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    pd.hDC = page.dc;
    // A heading, a Japanese line ("nihongo no jisho": a dictionary of Japanese) and a long paragraph.
    std::string text = "\x1b" "B1Heading\x1b" "B0\r\x1b" "F80\x93\xfa\x96{\x8c\xea\x82\xcc\x8e\xab\x8f\x91\r\x1b" "F00" +
                       LongParagraph();
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)text.c_str(), 0);
    int screenHeight = g_lastHeight;
    EXPECT_EQ(SendMessageA(viewer, SCV_PRINT, 0, (LPARAM)&pd), 1);
    EXPECT_TRUE(Testkit_SavePicture(page.dc, 0, 0, page.width, page.height, "viewer_print_preview.bmp"));
    int margin = GetDeviceCaps(page.dc, LOGPIXELSY) / 2, first, last;
    page.InkColumns(0xFFFFFF, &first, &last);
    EXPECT_GE(first, margin);
    EXPECT_LE(last, page.width - margin) << "lines break at the page's width";
    EXPECT_GT(last, page.width / 2);
    int top = -1, bottom = -1;
    for (int y = 0; y < page.height; y++)
        for (int x = 0; x < page.width; x++)
            if (page.At(x, y) != 0xFFFFFF) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
    EXPECT_GE(top, margin);
    EXPECT_LE(bottom, page.height - margin);
    EXPECT_GT(bottom - top, 3 * line) << "several lines";
    // The screen's fonts are back: the same text lays out as before.
    SendMessageA(viewer, SCV_SETTEXT, (WPARAM)text.c_str(), 0);
    EXPECT_EQ(g_lastHeight, screenHeight);
    pd.hDC = nullptr;
    EXPECT_EQ(SendMessageA(viewer, SCV_PRINT, 0, (LPARAM)&pd), 0);
}

TEST_F(ViewerTest, PictureOfJapaneseAndWesternText) {
    // Headword in bold, its Japanese translation ("jisho: kotoba no imi wo shiraberu hon", a book to
    // look up the meanings of words), then English text long enough to break.
    std::string text = "\x1b" "B1dictionary\x1b" "B0\r"
                       "\x1b" "F80\x8e\xab\x8f\x91\x81" "F\x8c\xbe\x97t\x82\xcc\x88\xd3\x96\xa1\x82\xf0\x92\xb2\x82\xd7\x82\xe9\x96{\r"
                       "\x1b" "F00\x1b" "I1A book that lists the words of a language with their meanings, "
                       "in the order of their spelling.\x1b" "I0";
    EXPECT_EQ(SendMessageA(viewer, SCV_SETTEXT, (WPARAM)text.c_str(), 0), 1);
    int line = (g_lastHeight - 8) / 4;
    EXPECT_GE(g_lastHeight, 4 * 10) << "the English sentence takes two lines or more";
    ShowWindow(parent, SW_SHOW);
    Testkit_Pump();
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(Testkit_SaveWindowPicture(viewer, "viewer_text.bmp"));
    WORD charset = 0;
    DWORD language = 0;
    std::string japanese = CaptureAt(6, 4 + line + line / 2, &charset, &language);
    EXPECT_EQ(charset, 128);
    EXPECT_EQ(language, 0x0400u) << "the language of the text at the point";
    EXPECT_EQ(japanese.substr(0, 4), "\x8e\xab\x8f\x91") << "jisho";
}
