// View options sent to an entry viewer (a window of the test that records what it receives) and
// window placement read back from real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>
#include <vector>

#include "prefstore.h"
#include "support/testkit_wait.h"

namespace {

struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    DWORD colours[3];  // what lParam pointed to, for the colour message
    bool operator==(const Received &o) const
    {
        return msg == o.msg && wParam == o.wParam && lParam == o.lParam &&
               memcmp(colours, o.colours, sizeof colours) == 0;
    }
};

std::vector<Received> g_received;

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg >= WM_USER && msg < WM_USER + 0x40) {
        Received r = {msg, wParam, lParam, {0, 0, 0}};
        if (msg == 0x400) {
            memcpy(r.colours, (const void *)lParam, sizeof r.colours);
            r.lParam = 0;  // a pointer: only what it points to counts
        }
        g_received.push_back(r);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

const char kRecorderClass[] = "PrefstoreTestViewer";

class ViewTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kRecorderClass;
        wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
        RegisterClassA(&wc);
    }
    HWND Make(DWORD style, int x, int y, int cx, int cy)
    {
        HWND w = CreateWindowExA(0, kRecorderClass, "viewer", style, x, y, cx, cy, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(w);
        return w;
    }
    void TearDown() override
    {
        for (HWND w : windows_) DestroyWindow(w);
    }
    std::vector<HWND> windows_;
};

ViewOptions View(int lineFeed, int rich, int layer, int openLayer)
{
    ViewOptions v;
    memset(&v, 0, sizeof v);
    v.BackGroundColor = RGB(1, 2, 3);
    v.FontSize = 4;
    v.UseRichText = rich;
    v.EnableLineFeed = lineFeed;
    v.EnableLayer = layer;
    v.UseLayer = 1;
    v.OpenLayer = openLayer;
    v.DispStyle = 6;
    return v;
}

TEST_F(ViewTest, ApplySendsTheViewerMessagesInOrder) {
    HWND viewer = Make(WS_OVERLAPPEDWINDOW, 0, 0, 100, 100);
    ASSERT_NE(viewer, nullptr);
    const struct {
        ViewOptions view;
        int setColour;
        std::vector<Received> want;
    } cases[] = {
        {View(1, 1, 1, 2), 1,
         {{0x400, 2, 0, {0, RGB(1, 2, 3), 0}}, {0x407, 4, 0, {}}, {0x415, 0, 0, {}},
          {0x40B, 2, 0, {}}, {0x409, 6, 2, {}}}},
        {View(0, 0, 0, 0), 0,
         {{0x407, 4, 0, {}}, {0x415, 0xE0000000, 0, {}}, {0x409, 6, 0, {}}}},
        {View(0, 1, 1, -1), 0,
         {{0x407, 4, 0, {}}, {0x415, 0x80000000, 0, {}}, {0x409, 6, (LPARAM)-1, {}}}},
        {View(1, 0, 1, 0), 0,
         {{0x407, 4, 0, {}}, {0x415, 0x40000000, 0, {}}, {0x409, 6, 0, {}}}},
        {View(1, 1, 0, 1), 0,
         {{0x407, 4, 0, {}}, {0x415, 0x20000000, 0, {}}, {0x40B, 1, 0, {}}, {0x409, 6, 1, {}}}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        g_received.clear();
        Prefstore_ApplyViewSettings(viewer, &cases[i].view, cases[i].setColour);
        ASSERT_EQ(g_received.size(), cases[i].want.size());
        for (size_t k = 0; k < g_received.size(); ++k) {
            const Received &got = g_received[k], &want = cases[i].want[k];
            EXPECT_TRUE(got == want) << "message " << k << ": got 0x" << std::hex << got.msg
                                     << " w=" << got.wParam << " l=" << got.lParam << ", want 0x"
                                     << want.msg << " w=" << want.wParam << " l=" << want.lParam;
        }
    }
}

TEST_F(ViewTest, ApplyRepaintsAVisibleViewer) {
    HWND viewer = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 120, 90);
    ASSERT_NE(viewer, nullptr);
    UpdateWindow(viewer);
    RECT r;
    ASSERT_FALSE(GetUpdateRect(viewer, &r, FALSE));
    ViewOptions v = View(1, 1, 1, 0);
    Prefstore_ApplyViewSettings(viewer, &v, 0);
    ASSERT_TRUE(GetUpdateRect(viewer, &r, FALSE));
    RECT client;
    GetClientRect(viewer, &client);
    EXPECT_TRUE(EqualRect(&r, &client)) << "the whole client area";
}

TEST_F(ViewTest, PlacementGivesTheRestoredRectangleAndTheMaximisedState) {
    HWND w = Make(WS_OVERLAPPEDWINDOW, 50, 60, 300, 200);
    ASSERT_NE(w, nullptr);
    ShowWindow(w, SW_SHOWNORMAL);
    POINT pos = {-1, -1};
    SIZE size = {-1, -1};
    int maximised = -1;
    ASSERT_EQ(Prefstore_GetWindowPlacement(w, &pos, &size, &maximised), 1);
    EXPECT_EQ(pos.x, 50);
    EXPECT_EQ(pos.y, 60);
    EXPECT_EQ(size.cx, 300);
    EXPECT_EQ(size.cy, 200);
    EXPECT_EQ(maximised, 0);

    ShowWindow(w, SW_MAXIMIZE);
    ASSERT_TRUE(Testkit_PumpUntil([&] { return IsZoomed(w) != 0; }));
    ASSERT_EQ(Prefstore_GetWindowPlacement(w, &pos, &size, &maximised), 1);
    EXPECT_EQ(maximised, 1);
    EXPECT_EQ(pos.x, 50);
    EXPECT_EQ(size.cx, 300) << "a maximised window reports its restored size";
    EXPECT_EQ(size.cy, 200);

    EXPECT_EQ(Prefstore_GetWindowPlacement(w, nullptr, nullptr, nullptr), 1);
    maximised = 7;
    EXPECT_EQ(Prefstore_GetWindowPlacement(w, nullptr, nullptr, &maximised), 1);
    EXPECT_EQ(maximised, 1);

    HWND gone = Make(WS_OVERLAPPEDWINDOW, 0, 0, 10, 10);
    DestroyWindow(gone);
    pos = {-5, -5};
    EXPECT_EQ(Prefstore_GetWindowPlacement(gone, &pos, nullptr, nullptr), 0);
    EXPECT_EQ(pos.x, -5);
}

}  // namespace
