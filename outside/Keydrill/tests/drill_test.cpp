// The typing drill started as its callers start it (command line: its own full path), typed into
// from this process, watched through its progress message and pictured, and ended by its
// process id.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "keydrill.h"
#include "../keydrill_res.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"

namespace {

LRESULT Progress(HWND w, WPARAM what) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(w, KEYDRILL_WM_PROGRESS, what, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    return (LRESULT)answer;
}

// Hands the drill the characters as typed keys, one after the other (each handled before the
// next is sent).
void Type(HWND w, const std::string &keys) {
    for (char c : keys) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(w, WM_CHAR, (unsigned char)c, 1, SMTO_ABORTIFHUNG, 10000, &ignored);
    }
}

// The drill's lines as the program carries them.
std::string LineText(int n) {
    HMODULE program = LoadLibraryExA((Testkit_ExeFolder() + "KEYDRILL.EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[256] = {};
    if (program) {
        LoadStringA(program, IDS_KEYDRILL_TEXT + n, text, sizeof text);
        FreeLibrary(program);
    }
    return text;
}

}  // namespace

TEST(DrillTest, TypedLinesAdvanceMissesCountAndEnterStartsAgain) {
    TestkitProcess p;
    ASSERT_TRUE(p.Start(Testkit_ExeFolder() + "KEYDRILL.EXE"));
    HWND w = p.WaitWindow(KEYDRILL_CLASS);
    ASSERT_TRUE(w);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_LINES), KEYDRILL_LINE_COUNT);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_LINE), 0);

    std::string first = LineText(0);
    ASSERT_GT(first.size(), 4u);
    // Three right, one wrong (not taken), then the rest of the line.
    Type(w, first.substr(0, 3) + "\x7E");
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_COLUMN), 3);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_MISSES), 1);
    Type(w, "\b\t\r\x1b");  // control keys count for nothing
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_COLUMN), 3);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_MISSES), 1);
    Type(w, first.substr(3));
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_LINE), 1);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_COLUMN), 0);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_TYPED), (LRESULT)first.size());
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_MISSES), 1);

    std::string second = LineText(1);
    Type(w, second.substr(0, 8) + "#");
    SetWindowPos(w, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    Testkit_Pump();
    Sleep(300);  // the picture only
    EXPECT_TRUE(Testkit_SaveWindowPicture(w, "typing_drill.bmp"));
    Type(w, second.substr(8));

    int typed = (int)(first.size() + second.size());
    for (int n = 2; n < KEYDRILL_LINE_COUNT; n++) {
        std::string line = LineText(n);
        ASSERT_FALSE(line.empty()) << n;
        Type(w, line);
        ASSERT_EQ(Progress(w, KEYDRILL_PROGRESS_LINE), n + 1);
        typed += (int)line.size();
    }
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_LINE), KEYDRILL_LINE_COUNT) << "done";
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_TYPED), typed);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_MISSES), 2);
    Type(w, "x");  // after the last line only Enter counts
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_LINE), KEYDRILL_LINE_COUNT);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_MISSES), 2);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Sleep(300);
    EXPECT_TRUE(Testkit_SaveWindowPicture(w, "typing_drill_done.bmp"));

    Type(w, "\r");
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_LINE), 0);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_TYPED), 0);
    EXPECT_EQ(Progress(w, KEYDRILL_PROGRESS_MISSES), 0);

    ASSERT_TRUE(p.End());
    EXPECT_EQ(p.WaitExit(0), 0) << "closing its window ends it with 0";
}
