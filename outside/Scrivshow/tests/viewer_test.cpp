// The viewer control driven through the messages its callers send: text, entries, the capture
// questions of the resident program, copy, menus and the size notice to the parent.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "lexidata.h"
#include "scrivshow.h"

namespace {

int g_notices, g_lastHeight;
LRESULT CALLBACK ParentProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY && ((NMHDR *)lParam)->code == 1) {
        g_notices++;
        g_lastHeight = ((ScrivshowSizeNotify *)lParam)->height;
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
