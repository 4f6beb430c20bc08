// Tooltip managers: which mouse messages the hook relays, two managers at once, one of each kind
// at a time, and the end of relaying at destruction.  The tooltip windows are subclassed here to
// record what reaches them.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "basekit.h"
#include "support/testkit_wait.h"

#include <commctrl.h>

namespace {

std::map<HWND, std::vector<UINT>> g_relayed;
std::map<HWND, WNDPROC> g_previous;

LRESULT CALLBACK Recorder(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT) g_relayed[w].push_back(reinterpret_cast<MSG *>(lParam)->message);
    return CallWindowProcA(g_previous[w], w, message, wParam, lParam);
}

void Record(ToolTipManager *m)
{
    g_previous[m->Window] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m->Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder)));
}

// Posts the mouse messages 0x200 to 0x205 to the window and takes them from the queue.
void PostMouse(HWND target)
{
    for (UINT m = WM_MOUSEMOVE; m <= WM_RBUTTONUP; ++m) PostMessageA(target, m, 0, MAKELPARAM(2, 2));
    Testkit_Pump();
}

HWND Target()
{
    return CreateWindowExA(0, "STATIC", "target", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(Tooltips, RelayMovesPressesAndReleasesButNotDoubleClicks)
{
    HWND target = Target();
    ToolTipManager *first = Basekit_TooltipCreate();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(nullptr, Basekit_TooltipCreate());   // one of a kind at a time
    ToolTipManager *second = Basekit_TooltipCreate2();
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first->Window, second->Window);
    Record(first);
    Record(second);
    PostMouse(target);
    std::vector<UINT> expected = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                                  WM_RBUTTONUP};
    EXPECT_EQ(expected, g_relayed[first->Window]);
    EXPECT_EQ(expected, g_relayed[second->Window]);

    // Destroying the first leaves the second relaying, and the first kind can be made again.
    HWND firstWindow = first->Window, secondWindow = second->Window;
    EXPECT_NE(0, Basekit_TooltipDestroy2(first));   // not the second kind's manager
    EXPECT_EQ(0, Basekit_TooltipDestroy(first));
    EXPECT_FALSE(IsWindow(firstWindow));
    g_relayed.clear();
    PostMouse(target);
    EXPECT_TRUE(g_relayed[firstWindow].empty());
    EXPECT_EQ(expected, g_relayed[secondWindow]);
    ToolTipManager *again = Basekit_TooltipCreate();
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(0, Basekit_TooltipDestroy(again));
    EXPECT_EQ(0, Basekit_TooltipDestroy2(second));
    EXPECT_FALSE(IsWindow(secondWindow));
    DestroyWindow(target);
}

TEST(Tooltips, ToolsAskTheirWindowForTheText)
{
    ASSERT_TRUE(Basekit_RegisterFlatButton());
    HWND parent = Target();
    HWND button = CreateWindowExA(0, "HNFLATBUTTON", "Tip text", WS_CHILD | WS_VISIBLE, 0, 0, 40,
                                  20, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    ToolTipManager *m = Basekit_TooltipCreate2();
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(0, Basekit_TooltipAdd(nullptr, button));
    EXPECT_NE(0, Basekit_TooltipAdd2(m, button));
    EXPECT_NE(0, Basekit_TooltipAddRect(m, parent, 7));
    EXPECT_EQ(2, SendMessageA(m->Window, TTM_GETTOOLCOUNT, 0, 0));
    Basekit_TooltipRemove(m, button);
    EXPECT_EQ(1, SendMessageA(m->Window, TTM_GETTOOLCOUNT, 0, 0));
    // The button answers the tooltip's text request with its window text.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = m->Window;
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(button, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ("Tip text", info.lpszText);
    EXPECT_EQ(0, Basekit_TooltipDestroy2(m));
    DestroyWindow(parent);
}

} // namespace
