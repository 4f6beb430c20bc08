// The exported log operations in the user data folder, and the graph dialog driven by its
// controls under the display.
#include <gtest/gtest.h>
#include "chartpane.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "support/testkit_gdi.h"

#include <stdio.h>
#include <time.h>
#include <string>

namespace {

std::string LogPath()
{
    char folder[MAX_PATH];
    if (!Sharedkit_GetUserDataFolder(folder, 0)) return "";
    return std::string(folder) + "vloprlog.log";
}

// Runs inside the dialog's modal loop: switches to the month view, pages back and forth, then
// closes the dialog through its close button.
void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    // The modal loop shows the dialog only once it first goes idle: wait until it is visible,
    // or the graph would paint into a window that has no surface yet.
    HWND dlg = FindWindowA("#32770", nullptr);
    if (!dlg || !IsWindowVisible(dlg)) { SetTimer(nullptr, 0, 50, Drive); return; }
    HWND graph = GetDlgItem(dlg, UIA_IDC_GRAPH_PLOT);
    UpdateWindow(dlg);
    SendMessageA(dlg, WM_COMMAND, UIA_IDC_GRAPH_MONTH, 0);               // month
    SendMessageA(dlg, WM_COMMAND, UIA_IDC_GRAPH_OLDER, 0);               // older
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, UIA_IDC_GRAPH_NEWER)));  // newer is possible now
    SendMessageA(dlg, WM_COMMAND, UIA_IDC_GRAPH_NEWER, 0);               // newer
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, UIA_IDC_GRAPH_NEWER)));
    UpdateWindow(graph);
    // The graph paints something other than white.
    HDC dc = GetDC(graph);
    RECT rc;
    GetClientRect(graph, &rc);
    int nonWhite = 0;
    for (int x = 0; x < rc.right; x += 3)
        for (int y = 0; y < rc.bottom; y += 3)
            if ((GetPixel(dc, x, y) & 0xFFFFFF) != 0xFFFFFF) nonWhite++;
    ReleaseDC(graph, dc);
    EXPECT_GT(nonWhite, 0);
    Testkit_SaveWindowPicture(dlg, "usage_graph.bmp");   // for a person to look at
    SendMessageA(dlg, WM_COMMAND, UIA_IDC_GRAPH_CLOSE, 0);               // close
}

}  // namespace

TEST(Chartpane, WriteThenReadToday) {
    std::string path = LogPath();
    ASSERT_FALSE(path.empty());
    remove(path.c_str());
    OprLogDay today = {(INT32)_time64(nullptr), 3, 2, 1};
    ASSERT_EQ(Chartpane_WriteDay(&today), 1);
    today.popupCount = 4;
    ASSERT_EQ(Chartpane_WriteDay(&today), 1);
    OprLogDay week[7] = {};
    ASSERT_EQ(Chartpane_ReadDays(week, 7), 1);
    EXPECT_EQ(week[6].popupCount, 4);
    EXPECT_EQ(week[6].outsideCount, 1);
    EXPECT_EQ(week[0].popupCount, 0);
    FILE *f = fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    fseek(f, 0, SEEK_END);
    EXPECT_EQ(ftell(f), 16);
    fclose(f);
}

TEST(Chartpane, GraphDialogOpensPagesAndCloses) {
    OprLogDay day = {(INT32)_time64(nullptr), 9, 5, 2};
    ASSERT_EQ(Chartpane_WriteDay(&day), 1);
    SetTimer(nullptr, 0, 50, Drive);
    INT_PTR r = Chartpane_ShowGraph(nullptr);
    EXPECT_EQ(r, UIA_IDC_GRAPH_CLOSE);
}
