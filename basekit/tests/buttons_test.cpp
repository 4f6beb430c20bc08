// Flat and icon buttons driven by their own messages under the X display: the radio group of
// HNFLATBUTTON, clicks, hover by capture, the arrow part, check buttons, sizes and the disabled
// look.  Keeps a picture of a row of buttons (buttons.bmp) in the working folder.
#include <gtest/gtest.h>

#include <stdint.h>
#include <vector>

#include "basekit.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

#include <commctrl.h>

namespace {

struct Event {
    UINT message;
    UINT id;
    UINT code;
    LPARAM lParam;
};
std::vector<Event> g_events;

LRESULT CALLBACK ParentProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: g_events.push_back({message, LOWORD(wParam), HIWORD(wParam), lParam}); return 0;
    case WM_NOTIFY: {
        NMHDR *h = reinterpret_cast<NMHDR *>(lParam);
        g_events.push_back({message, static_cast<UINT>(h->idFrom), h->code, 0});
        return 0;
    }
    case WM_RBUTTONUP: g_events.push_back({message, 0, 0, lParam}); return 0;
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT *d = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
        g_events.push_back({message, d->CtlID, d->itemState, 0});
        return TRUE;
    }
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

int Count(UINT message, UINT code = 0xFFFFFFFF)
{
    int n = 0;
    for (const Event &e : g_events) n += e.message == message && (code == 0xFFFFFFFF || e.code == code);
    return n;
}

// One parent for the whole suite (hiding or destroying a shown window costs the display a wait
// of its own each time); each test's buttons are destroyed after it.
class Buttons : public ::testing::Test {
protected:
    static HWND parent;
    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = "ButtonsTestParent";
        RegisterClassA(&wc);
        ASSERT_TRUE(Basekit_RegisterFlatButton());
        ASSERT_TRUE(Basekit_RegisterIconButton());
        ASSERT_TRUE(Basekit_RegisterFlatButton());   // a second registration is harmless
        parent = CreateWindowExA(0, "ButtonsTestParent", "buttons", WS_POPUP | WS_VISIBLE, 0, 0,
                                 400, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent); }
    void SetUp() override
    {
        ASSERT_NE(nullptr, parent);
        g_events.clear();
    }
    void TearDown() override
    {
        ReleaseCapture();
        while (HWND child = GetWindow(parent, GW_CHILD)) DestroyWindow(child);
        Testkit_Pump();
    }
    HWND Flat(const char *text, DWORD style, int x, UINT id)
    {
        return CreateWindowExA(0, "HNFLATBUTTON", text, WS_CHILD | WS_VISIBLE | style, x, 5, 40,
                               24, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               GetModuleHandleA(nullptr), nullptr);
    }
};

HWND Buttons::parent;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void Click(HWND w, int x, int y)
{
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageA(w, WM_LBUTTONUP, 0, At(x, y));
}

TEST_F(Buttons, RadioGroupsUncheckOnlyTheirOwnMembers)
{
    // Two adjacent groups of flat radio buttons, with a hidden member in the first.
    HWND a = Flat("A", 9 | WS_GROUP, 0, 1), hidden = Flat("H", 9, 40, 2), b = Flat("B", 9, 80, 3),
         c = Flat("C", 9, 120, 4), d = Flat("D", 9 | WS_GROUP, 160, 5), e = Flat("E", 9, 200, 6);
    ShowWindow(hidden, SW_HIDE);
    SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(hidden, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(e, BM_SETCHECK, BST_CHECKED, 0);
    Click(c, 5, 5);
    EXPECT_TRUE(Testkit_PumpUntil([] { return Count(WM_COMMAND) == 1; }));
    EXPECT_EQ(4u, g_events.back().id);
    EXPECT_EQ(1, SendMessageA(c, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, SendMessageA(a, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, SendMessageA(hidden, BM_GETCHECK, 0, 0));   // passed over
    EXPECT_EQ(1, SendMessageA(e, BM_GETCHECK, 0, 0));        // the other group
    // Checking the first member of the second group leaves the first group alone.
    SendMessageA(d, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(1, SendMessageA(d, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, SendMessageA(e, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, SendMessageA(c, BM_GETCHECK, 0, 0));
    // And the last member of the first group leaves the second alone.
    SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(0, SendMessageA(c, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, SendMessageA(d, BM_GETCHECK, 0, 0));
    SendMessageA(b, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(0, SendMessageA(b, BM_GETCHECK, 0, 0));
}

TEST_F(Buttons, FlatPushButtonClickHoverRightClickAndOwnerDraw)
{
    HWND push = Flat("Push", 0, 50, 7);
    SendMessageA(push, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(4, SendMessageA(push, BM_GETCHECK, 0, 0));   // pressed
    SendMessageA(push, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(1, Count(WM_COMMAND));                      // sent, not posted
    EXPECT_EQ(7u, g_events.back().id);
    EXPECT_EQ(0, SendMessageA(push, BM_GETCHECK, 0, 0));
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);       // no check state on push kinds
    EXPECT_EQ(0, SendMessageA(push, BM_GETCHECK, 0, 0));
    EXPECT_EQ(DLGC_BUTTON, SendMessageA(push, WM_GETDLGCODE, 0, 0));
    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    SendMessageA(push, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font), SendMessageA(push, WM_GETFONT, 0, 0));

    SendMessageA(push, WM_MOUSEMOVE, 0, At(3, 3));
    EXPECT_EQ(push, GetCapture());
    SendMessageA(push, WM_MOUSEMOVE, 0, At(100, 3));
    EXPECT_EQ(nullptr, GetCapture());

    SendMessageA(push, WM_RBUTTONUP, 0, At(2, 3));
    EXPECT_TRUE(Testkit_PumpUntil([] { return Count(WM_RBUTTONUP) == 1; }));
    EXPECT_EQ(MAKELPARAM(52, 8), g_events.back().lParam);

    // A check-type button is checked by a click; an owner-drawn one asks the parent to draw.
    HWND check = Flat("Check", 3 | 0x10, 100, 8);
    Click(check, 5, 5);
    EXPECT_EQ(1, SendMessageA(check, BM_GETCHECK, 0, 0));
    g_events.clear();
    RedrawWindow(check, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(Testkit_PumpUntil([] { return Count(WM_DRAWITEM) > 0; }));
    EXPECT_EQ(8u, g_events.back().id);
    EXPECT_EQ(1u, g_events.back().code & 1);   // checked shows as state 1
}

TEST_F(Buttons, SubclassedButtonSizesArrowPartCheckAndHover)
{
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    struct {
        int index, width, height;
    } sizes[] = {{0, 24, 24}, {1, 40, 40}, {2, 34, 24}, {3, 50, 40}, {4, 24, 24}, {6, 40, 40}};
    for (auto &s : sizes) {
        HWND w = Basekit_FlatButtonCreate(icon, nullptr, s.index, 0, 0, 50, parent, 30, "x", nullptr);
        ASSERT_NE(nullptr, w);
        RECT r;
        GetWindowRect(w, &r);
        EXPECT_EQ(s.width, r.right - r.left) << s.index;
        EXPECT_EQ(s.height, r.bottom - r.top) << s.index;
        DestroyWindow(w);
    }

    // Arrow part of size index 2: only the notice 0x8000, no command.
    HWND drop = Basekit_FlatButtonCreate(icon, nullptr, 2, 0, 10, 10, parent, 31, "Drop", nullptr);
    g_events.clear();
    Click(drop, 30, 5);
    EXPECT_EQ(1, Count(WM_NOTIFY, 0x8000));
    EXPECT_EQ(0, Count(WM_COMMAND));
    Click(drop, 5, 5);
    EXPECT_EQ(1, Count(WM_COMMAND));

    // A check button toggles on each click of the main part.
    HWND check = Basekit_FlatButtonCreate(icon, nullptr, 0, 2, 60, 10, parent, 32, "Check", nullptr);
    g_events.clear();
    Click(check, 5, 5);
    EXPECT_EQ(1, SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, Count(WM_COMMAND));
    Click(check, 5, 5);
    EXPECT_EQ(0, SendMessageA(check, BM_GETCHECK, 0, 0));
    SendMessageA(check, BM_SETCHECK, 1, 0);
    EXPECT_EQ(1, SendMessageA(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(0, SendMessageA(drop, BM_GETCHECK, 0, 0));   // push kinds have none

    // Hover: entering three times notifies once, leaving once.
    g_events.clear();
    for (int i = 0; i < 3; ++i) SendMessageA(check, WM_MOUSEMOVE, 0, At(4 + i, 4));
    EXPECT_EQ(check, GetCapture());
    SendMessageA(check, WM_MOUSEMOVE, 0, At(-5, 4));
    SendMessageA(check, WM_MOUSEMOVE, 0, At(-6, 4));
    EXPECT_EQ(1, Count(WM_NOTIFY, 0x8001));
    EXPECT_EQ(1, Count(WM_NOTIFY, 0x8002));
    EXPECT_EQ(nullptr, GetCapture());

    EXPECT_EQ(icon, Basekit_FlatButtonSetIcon(check, nullptr));
    EXPECT_EQ(nullptr, Basekit_FlatButtonSetIcon(parent, icon));   // not a subclassed button
    // The tooltip's text request is answered with the window text.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = nullptr;
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(check, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ("Check", info.lpszText);
}

TEST_F(Buttons, IconButtonHoverRegionAndCheck)
{
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    HWND w = Basekit_IconButtonCreate(icon, icon, nullptr, nullptr, nullptr, 0, 2, 10, 10, 30, 30,
                                      parent, 40, "Icon", nullptr, 8, 8);
    ASSERT_NE(nullptr, w);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(ERROR, GetWindowRgn(w, probe));
    EXPECT_FALSE(PtInRegion(probe, 0, 0));    // a rounded corner is cut off
    EXPECT_TRUE(PtInRegion(probe, 15, 15));
    DeleteObject(probe);
    g_events.clear();
    SendMessageA(w, WM_MOUSEMOVE, 0, At(10, 10));
    SendMessageA(w, WM_MOUSEMOVE, 0, At(11, 10));
    SendMessageA(w, WM_MOUSEMOVE, 0, At(40, 10));
    EXPECT_EQ(1, Count(WM_NOTIFY, 0x8001));
    EXPECT_EQ(1, Count(WM_NOTIFY, 0x8002));
    Click(w, 10, 10);
    EXPECT_EQ(1, SendMessageA(w, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, Count(WM_COMMAND));
    EXPECT_EQ(icon, Basekit_IconButtonSetIcons(w, nullptr, nullptr));
    DestroyWindow(w);   // the window takes its region along
    EXPECT_FALSE(IsWindow(w));
}

HBITMAP Solid(COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HBITMAP b = CreateCompatibleBitmap(screen, 8, 8);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, b);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r = {0, 0, 8, 8};
    FillRect(mem, &r, brush);
    DeleteObject(brush);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return b;
}

COLORREF PixelOf(HWND w, int x, int y)
{
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(w);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return c;
}

TEST_F(Buttons, IconButtonShowsTheBackgroundOfEachState)
{
    HBITMAP plain = Solid(RGB(255, 0, 0)), hover = Solid(RGB(0, 255, 0)), pressed = Solid(RGB(0, 0, 255));
    HWND w = Basekit_IconButtonCreate(nullptr, nullptr, plain, hover, pressed, 0, 0, 10, 10, 30, 30,
                                      parent, 41, "", nullptr, 0, 0);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(w, 3, 3));
    SendMessageA(w, WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(RGB(0, 255, 0), PixelOf(w, 3, 3));
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(RGB(0, 0, 255), PixelOf(w, 3, 3));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(50, 5));   // dragged off: no longer pressed
    EXPECT_EQ(RGB(0, 255, 0), PixelOf(w, 3, 3));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, At(5, 5));
    SendMessageA(w, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(RGB(0, 255, 0), PixelOf(w, 3, 3));
    SendMessageA(w, WM_MOUSEMOVE, 0, At(50, 5));
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(w, 3, 3));
    EXPECT_EQ(1, Count(WM_COMMAND));
    DestroyWindow(w);
    DeleteObject(plain);
    DeleteObject(hover);
    DeleteObject(pressed);
}

// The button's pixels as shown on the display.
std::vector<uint32_t> Grab(HWND w)
{
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(w, &r);
    std::vector<uint32_t> pixels(r.right * r.bottom);
    HDC dc = GetDC(w);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) pixels[y * r.right + x] = GetPixel(dc, x, y);
    ReleaseDC(w, dc);
    return pixels;
}

TEST_F(Buttons, DisabledLookKeepsTheIconOnlyForIndexFiveAndSix)
{
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));   // the information icon
    HWND five = Basekit_FlatButtonCreate(icon, nullptr, 5, 0, 10, 10, parent, 50, "", nullptr);
    HWND zero = Basekit_FlatButtonCreate(icon, nullptr, 0, 0, 50, 10, parent, 51, "", nullptr);
    std::vector<uint32_t> fiveOn = Grab(five), zeroOn = Grab(zero);
    EnableWindow(five, FALSE);
    EnableWindow(zero, FALSE);
    EXPECT_EQ(fiveOn, Grab(five));
    EXPECT_NE(zeroOn, Grab(zero));
}

TEST_F(Buttons, PictureOfARowOfButtons)
{
    HWND push = Flat("Push", 0, 5, 60), checked = Flat("On", 3, 50, 61), hot = Flat("Hover", 0, 95, 62),
         off = Flat("Off", 0, 140, 63);
    SendMessageA(checked, WM_LBUTTONUP, 0, At(1, 1));
    EnableWindow(off, FALSE);
    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32516));
    Basekit_FlatButtonCreate(icon, nullptr, 2, 0, 190, 5, parent, 64, "", nullptr);
    Basekit_FlatButtonCreate(icon, nullptr, 4, 0, 230, 5, parent, 65, "Text", nullptr);
    Basekit_IconButtonCreate(icon, icon, nullptr, nullptr, nullptr, 3, 0, 260, 5, 50, 40, parent,
                             66, "", nullptr, 6, 6);
    SendMessageA(hot, WM_MOUSEMOVE, 0, At(3, 3));
    (void)push;
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Testkit_SaveClientPicture(parent, "buttons.bmp");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("buttons.bmp"));
}

} // namespace
