// Placing, sizing and activating windows (under the X display of the test run).  Positions are
// checked exactly; foreground and activation only by their results, as no window manager runs.
#include <gtest/gtest.h>

#include "basekit.h"

namespace {

HWND MakeWindow(DWORD style, HWND parent, int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", style, 10, 10, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

RECT ClientOnScreen(HWND w)
{
    RECT r;
    GetClientRect(w, &r);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

TEST(Windows, CenterWindowCentresTheClientAreaAndSetsCaptionAndIcon)
{
    HWND w = MakeWindow(WS_OVERLAPPEDWINDOW, nullptr, 300, 200);
    ASSERT_NE(nullptr, w);
    RECT before;
    GetWindowRect(w, &before);
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));   // the application icon
    ASSERT_TRUE(Basekit_CenterWindow(w, "Centred", icon));
    char text[32];
    GetWindowTextA(w, text, sizeof text);
    EXPECT_STREQ("Centred", text);
    EXPECT_EQ((LRESULT)icon, SendMessageA(w, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ((LRESULT)icon, SendMessageA(w, WM_GETICON, ICON_SMALL, 0));
    RECT client = ClientOnScreen(w), after;
    GetWindowRect(w, &after);
    EXPECT_EQ((GetSystemMetrics(SM_CXFULLSCREEN) - (client.right - client.left)) / 2, client.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYFULLSCREEN) - (client.bottom - client.top)) / 2, client.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_FALSE(IsWindowVisible(w));

    ASSERT_TRUE(Basekit_CenterWindowTop(w, nullptr, nullptr));
    GetWindowRect(w, &after);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(client.right - client.left + 2 * GetSystemMetrics(SM_CXDLGFRAME), after.right - after.left);
    EXPECT_EQ(client.bottom - client.top + 2 * GetSystemMetrics(SM_CYDLGFRAME) +
                  GetSystemMetrics(SM_CYSIZE),
              after.bottom - after.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXFULLSCREEN) - (after.right - after.left)) / 2, after.left);
    DestroyWindow(w);
    EXPECT_FALSE(Basekit_CenterWindow(w, "gone", nullptr));
}

TEST(Windows, SizesToABitmap)
{
    HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32760));   // a system check-mark bitmap
    ASSERT_NE(nullptr, bitmap);
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    HWND w = MakeWindow(WS_POPUP | WS_CAPTION, nullptr, 5, 5);
    ASSERT_TRUE(Basekit_SizeToBitmap(nullptr, 32760, w, "Bitmap", nullptr, TRUE));
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(info.bmWidth + 2 * GetSystemMetrics(SM_CXDLGFRAME), r.right - r.left);
    EXPECT_EQ(info.bmHeight + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSIZE),
              r.bottom - r.top);
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_FALSE(Basekit_SizeToBitmap(nullptr, 7, w, nullptr, nullptr, FALSE)) << "no such bitmap";

    HWND low = MakeWindow(WS_POPUP, nullptr, 40, 1);
    ASSERT_TRUE(Basekit_SizeToBitmapWidth(nullptr, 32760, low, nullptr, nullptr, FALSE));
    GetWindowRect(low, &r);
    EXPECT_EQ(40, r.right - r.left);
    EXPECT_EQ(info.bmHeight + 2 * GetSystemMetrics(SM_CYDLGFRAME), r.bottom - r.top);
    DestroyWindow(low);
    DestroyWindow(w);
}

TEST(Windows, PlacesAChildAndSetsAFrame)
{
    HWND parent = MakeWindow(WS_POPUP, nullptr, 400, 300);
    HWND child = MakeWindow(WS_CHILD | WS_BORDER, parent, 50, 30);
    ASSERT_TRUE(Basekit_PlaceChildBottomRight(parent, child, 5));
    RECT area = ClientOnScreen(parent), client = ClientOnScreen(child);
    EXPECT_EQ(area.right - 5 - GetSystemMetrics(SM_CXDLGFRAME), client.right);
    EXPECT_EQ(area.bottom - 5 - GetSystemMetrics(SM_CYDLGFRAME), client.bottom);

    ASSERT_TRUE(Basekit_SetWindowFrame(parent, 20, 30, 200, 100, SWP_NOZORDER, "Frame", nullptr));
    RECT r;
    GetWindowRect(parent, &r);
    EXPECT_EQ(20, r.left);
    EXPECT_EQ(30, r.top);
    EXPECT_EQ(200, r.right - r.left);
    EXPECT_EQ(100, r.bottom - r.top);
    char text[16];
    GetWindowTextA(parent, text, sizeof text);
    EXPECT_STREQ("Frame", text);
    DestroyWindow(parent);
}

TEST(Windows, ForegroundAndActiveNeedAVisibleWindow)
{
    HWND w = MakeWindow(WS_OVERLAPPEDWINDOW, nullptr, 100, 100);
    EXPECT_EQ(nullptr, Basekit_ForceForeground(w));
    EXPECT_EQ(nullptr, Basekit_ForceActive(w));
    ShowWindow(w, SW_SHOW);
    EXPECT_EQ(w, Basekit_ForceForeground(w));
    EXPECT_EQ(w, Basekit_ForceActive(w));
    DestroyWindow(w);
    EXPECT_EQ(nullptr, Basekit_ForceForeground(w));
    EXPECT_EQ(nullptr, Basekit_ForceActive(w));
}

} // namespace
