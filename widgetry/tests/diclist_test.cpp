// The dictionary list over the pop-up list of four fixture dictionaries: slots by double click
// (one notice per change, the double click not passed on), slots given by message, numbering
// modes, sorting and the notices passed on to the parent; the images and the drawing of rows
// (state colours, colour box, row height, column fit), with pictures in the working folder; a
// dictionary added and removed by another process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "shelfdics.h"
#include "support/testkit_gdi.h"
#include "uiassets.h"
#include "widgetry.h"

namespace {

const UINT kListId = 31;

struct Parent {
    HWND window = nullptr;
    int slotNotices = 0;
    int doubleClicks = 0; // double clicks passed on from the list view
    HFONT font = nullptr; // the font the parent hands its children
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Parent *p = reinterpret_cast<Parent *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (p && message == WIDGETRY_DLN_SLOTS) {
        p->slotNotices++;
        return 0;
    }
    if (p && message == WM_GETFONT) return reinterpret_cast<LRESULT>(p->font);
    if (p && message == WM_NOTIFY && wParam == kListId) {
        const NMHDR *h = reinterpret_cast<NMHDR *>(lParam);
        if (h->code == static_cast<UINT>(NM_DBLCLK) && h->idFrom == kListId) p->doubleClicks++;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// One parent window for the whole suite (a top-level window costs time to make and close); each
// case gets a list of its own and counts its notices from zero.
class DicListTest : public ::testing::Test {
protected:
    static shelfdics::Shelf shelf;
    static Parent parent;
    HWND list = nullptr;
    DWORD slots[5] = {};
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(shelf.Start("diclist", 4));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DicListParent";
        RegisterClassA(&wc);
        parent.window = CreateWindowA("DicListParent", "list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 300,
                                      nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(parent.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&parent));
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent.window);
        shelf.Stop();
    }
    void SetUp() override
    {
        parent.slotNotices = parent.doubleClicks = 0;
        list = Widgetry_CreateDicList(0, LVS_SINGLESEL, 0, 0, 620, 260, kListId, parent.window);
    }
    void TearDown() override { DestroyWindow(list); }
    void DoubleClick(int row)
    {
        NMITEMACTIVATE a = {};
        a.hdr.hwndFrom = GetWindow(list, GW_CHILD);
        a.hdr.idFrom = 0;
        a.hdr.code = NM_DBLCLK;
        a.iItem = row;
        SendMessageA(list, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&a));
    }
    std::vector<int> Numbers()
    {
        std::vector<int> n;
        for (int i = 0; i < Widgetry_DicListGetCount(list); i++) n.push_back(Widgetry_DicListGetHotKey(list, i));
        return n;
    }
};
shelfdics::Shelf DicListTest::shelf;
Parent DicListTest::parent;

TEST_F(DicListTest, SlotsByDoubleClickAndByMessage)
{
    ASSERT_TRUE(list != nullptr);
    std::vector<DWORD> ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_POPUP));
    slots[0] = ids[2]; // the third dictionary holds slot 1
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 0, shelfdics::Kind(LEXSHELF_LIST_POPUP), TRUE, slots, nullptr));
    ASSERT_EQ(4, Widgetry_DicListGetCount(list));
    EXPECT_EQ((std::vector<int>{0, 0, 1, 0}), Numbers());
    DoubleClick(0);
    DoubleClick(3);
    EXPECT_EQ((std::vector<int>{2, 0, 1, 3}), Numbers());
    DoubleClick(2); // gives up slot 1: the others move down
    EXPECT_EQ((std::vector<int>{1, 0, 0, 2}), Numbers());
    EXPECT_EQ(3, parent.slotNotices);
    EXPECT_EQ(0, parent.doubleClicks); // a double click that changed a slot is not passed on
    // Slot 2 by message to the selected row: taken from its holder, no shift.
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 1, 0);
    EXPECT_EQ(1, SendMessageA(list, WIDGETRY_DLM_GETSELECTED, 0, 0));
    EXPECT_EQ(1, SendMessageA(list, WIDGETRY_DLM_GIVESLOT, 2, 0));
    EXPECT_EQ((std::vector<int>{1, 2, 0, 0}), Numbers());
    EXPECT_EQ(1, SendMessageA(list, WIDGETRY_DLM_CLEARSLOTS, 0, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), Numbers());
    EXPECT_EQ(5, parent.slotNotices);
}

TEST_F(DicListTest, SlotsOffPassTheDoubleClickOn)
{
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 1, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Numbers()); // sequence numbers
    DoubleClick(1);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Numbers());
    EXPECT_EQ(0, parent.slotNotices);
    EXPECT_EQ(1, parent.doubleClicks);
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 1, 0);
    EXPECT_EQ(0, SendMessageA(list, WIDGETRY_DLM_GIVESLOT, 2, 0));
}

TEST_F(DicListTest, SortByNameFlipsTheDirection)
{
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 1, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    std::vector<std::string> names = shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_POPUP));
    std::vector<DWORD> ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_POPUP));
    auto firstName = [&] {
        DWORD id = Widgetry_DicListGetItemId(list, 0);
        for (size_t i = 0; i < ids.size(); i++)
            if (ids[i] == id) return names[i];
        return std::string();
    };
    Widgetry_DicListSort(list, 0);
    std::string ascending = firstName();
    Widgetry_DicListSort(list, 0);
    std::string descending = firstName();
    EXPECT_NE(ascending, descending);
    Widgetry_DicListSort(list, 0);
    EXPECT_EQ(ascending, firstName());
    // Numbers: rows keep their own numbers whatever the order.
    Widgetry_DicListSort(list, 3);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Numbers());
    Widgetry_DicListSort(list, 3);
    EXPECT_EQ((std::vector<int>{4, 3, 2, 1}), Numbers());
}

HWND ViewOf(HWND list) { return GetWindow(list, GW_CHILD); }

// The list-view image and overlay of a row.
std::pair<int, int> ImageOf(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = row;
    item.stateMask = LVIS_OVERLAYMASK;
    SendMessageA(ViewOf(list), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return {item.iImage, static_cast<int>((item.state & LVIS_OVERLAYMASK) >> 8)};
}

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Row `row` drawn by the list into a canvas as its list view asks for it; the canvas's pixels.
struct DrawnRow {
    TestkitCanvas canvas{1200, 20, 0x123456};
    DrawnRow(HWND list, int row, UINT state)
    {
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_LISTVIEW;
        d.itemID = row;
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = state;
        d.hwndItem = ViewOf(list);
        d.hDC = canvas.dc;
        d.rcItem = {0, 0, 1200, 20};
        SendMessageA(list, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
    }
};

void ShowAndPicture(HWND window, const char *name)
{
    UpdateWindow(window);
    shelfdics::PumpAll();
    Testkit_SaveWindowPicture(window, (Testkit_Cwd() + "\\" + name).c_str());
}

TEST_F(DicListTest, ImagesOfRowsAndTheIconTable)
{
    // The fixed images: slot marks, row icons, composites and the group icons.
    const struct {
        UINT icon;
        int image;
    } fixed[] = {{119, 0}, {128, 9}, {134, 10}, {140, 11}, {129, 14}, {130, 15}, {133, 16}, {188, 25},
                 {1000, 26}, {1011, 37}, {1100, 38}, {1123, 61}, {1201, 62}, {1202, 63}};
    for (const auto &f : fixed) EXPECT_EQ(f.image, Widgetry_FindIcon(list, f.icon)) << f.icon;
    EXPECT_EQ(-1, Widgetry_FindIcon(list, UIA_IDI_ORDER_UP));
    EXPECT_EQ(64, Widgetry_AddIcon(list, UIA_IDI_ORDER_UP));
    EXPECT_EQ(64, Widgetry_AddIcon(list, UIA_IDI_ORDER_UP));
    EXPECT_EQ(64, Widgetry_FindIcon(list, UIA_IDI_ORDER_UP));
    EXPECT_EQ(-1, Widgetry_AddIcon(list, 9999)); // no such icon

    // Slot rows take the numbered image and their slot mark as overlay (mode 0); in a numbering
    // mode every row is numbered and none has an overlay.
    std::vector<DWORD> ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_POPUP));
    slots[0] = ids[1];
    slots[2] = ids[3];
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 0, shelfdics::Kind(LEXSHELF_LIST_POPUP), TRUE, slots, nullptr));
    EXPECT_EQ((std::pair<int, int>(14, 0)), ImageOf(list, 0));
    EXPECT_EQ((std::pair<int, int>(15, 1)), ImageOf(list, 1));
    EXPECT_EQ((std::pair<int, int>(15, 3)), ImageOf(list, 3));
    DoubleClick(0); // takes slot 2
    EXPECT_EQ((std::pair<int, int>(15, 2)), ImageOf(list, 0));
    ShowAndPicture(parent.window, "diclist_slots.bmp");
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 1, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    for (int i = 0; i < 4; i++) EXPECT_EQ((std::pair<int, int>(15, 0)), ImageOf(list, i)) << i;
}

TEST_F(DicListTest, RowsAreDrawnInTheColoursOfTheirState)
{
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 2, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    HWND view = ViewOf(list);
    SetForegroundWindow(parent.window);
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 1, 0);
    SetFocus(list); // passes the focus on to the list view
    ASSERT_EQ(view, GetFocus());
    RECT colourColumn;
    Header_GetItemRect(ListView_GetHeader(view), 1, &colourColumn);
    const int boxX = colourColumn.left + 2 + 7;

    const struct {
        const char *what;
        UINT state;
        bool focused, enabled;
        int background;
    } cases[] = {
        {"plain", 0, true, true, COLOR_WINDOW},
        {"selected in the focused list", ODS_SELECTED | ODS_FOCUS, true, true, COLOR_HIGHLIGHT},
        {"selected without the focus", ODS_SELECTED, false, true, COLOR_BTNFACE},
        {"disabled", 0, false, false, COLOR_BTNFACE},
    };
    for (const auto &c : cases) {
        SetFocus(c.focused ? view : parent.window);
        EnableWindow(view, c.enabled);
        DrawnRow row(list, 1, c.state);
        EXPECT_EQ(Rgb(GetSysColor(c.background)), row.canvas.At(1190, 10)) << c.what; // inside the focus frame
        // The colour box shows the dictionary's colour whatever the state.
        VLPriorityItem item;
        Lexshelf_PrioGetItem(shelfdics::Kind(LEXSHELF_LIST_POPUP), 2, &item);
        EXPECT_EQ(Rgb(item.data.dictionary.colour), row.canvas.At(boxX, 10)) << c.what;
    }
    EnableWindow(view, TRUE);

    // Pictures: a selected row in the focused list, the same without the focus, and disabled.
    SetFocus(view);
    InvalidateRect(view, nullptr, TRUE);
    ShowAndPicture(parent.window, "diclist_focused.bmp");
    SetFocus(parent.window);
    InvalidateRect(view, nullptr, TRUE);
    ShowAndPicture(parent.window, "diclist_unfocused.bmp");
    EnableWindow(view, FALSE);
    InvalidateRect(view, nullptr, TRUE);
    ShowAndPicture(parent.window, "diclist_disabled.bmp");
    EnableWindow(view, TRUE);
}

TEST_F(DicListTest, RowHeightFollowsTheFont)
{
    const struct {
        LONG fontHeight;
        int rowHeight;
    } cases[] = {{-12, 17}, {-19, 20}};
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 1, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    for (const auto &c : cases) {
        HFONT font = CreateFontA(c.fontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        RECT rc = {};
        rc.left = LVIR_BOUNDS;
        SendMessageA(ViewOf(list), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
        EXPECT_EQ(c.rowHeight, rc.bottom - rc.top) << c.fontHeight;
        SendMessageA(list, WM_SETFONT, 0, FALSE);
        DeleteObject(font);
    }
    // A list made under a parent with a large font takes that font's height at once.
    parent.font = CreateFontA(-21, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HWND second = Widgetry_CreateDicList(0, 0, 0, 0, 300, 100, kListId + 1, parent.window);
    ASSERT_TRUE(Widgetry_DicListSetSource(second, 1, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    RECT rc = {};
    rc.left = LVIR_BOUNDS;
    SendMessageA(ViewOf(second), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    EXPECT_EQ(22, rc.bottom - rc.top);
    DestroyWindow(second);
    DeleteObject(parent.font);
    parent.font = nullptr;
}

TEST_F(DicListTest, DividerDoubleClickFitsTheColumnToItsRows)
{
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 2, shelfdics::Kind(LEXSHELF_LIST_POPUP), FALSE, nullptr, nullptr));
    HWND view = ViewOf(list);
    HWND header = ListView_GetHeader(view);
    auto fit = [&](int column) {
        ListView_SetColumnWidth(view, column, 300);
        NMHEADERW h = {};
        h.hdr.hwndFrom = header;
        h.hdr.idFrom = GetDlgCtrlID(header);
        h.hdr.code = HDN_DIVIDERDBLCLICKW;
        h.iItem = column;
        SendMessageW(view, WM_NOTIFY, h.hdr.idFrom, reinterpret_cast<LPARAM>(&h));
        return ListView_GetColumnWidth(view, column);
    };
    // The list measures its texts (in the system's code page) as wide text in the view's font.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(view, WM_GETFONT, 0, 0));
    HDC dc = GetDC(view);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    auto widest = [&](const std::vector<std::string> &texts) {
        int w = 0;
        for (const std::string &t : texts) {
            WCHAR wide[300];
            int n = MultiByteToWideChar(CP_ACP, 0, t.c_str(), -1, wide, 300) - 1;
            SIZE size = {};
            GetTextExtentPoint32W(dc, wide, n, &size);
            w = size.cx > w ? size.cx : w;
        }
        return w;
    };
    int names = widest(shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_POPUP)));
    int labels = widest({"F2", "F3", "F4", "F5"});
    SelectObject(dc, old);
    ReleaseDC(view, dc);
    EXPECT_EQ(names + 26, fit(0));
    EXPECT_EQ(20, fit(1));          // the colour box: the least width
    EXPECT_EQ(20, fit(3));          // one-digit numbers
    EXPECT_EQ(labels + 6 < 20 ? 20 : labels + 6, fit(6));
}

// Another process adds a user dictionary to the pop-up list and later removes it: the list shows
// it (with the user dictionary's image) when its source is set again, and then no longer.
TEST_F(DicListTest, ReflectsADictionaryAddedAndRemovedByAnotherProcess)
{
    VLPriorityList *popup = shelfdics::Kind(LEXSHELF_LIST_POPUP);
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 2, popup, FALSE, nullptr, nullptr));
    ASSERT_EQ(4, Widgetry_DicListGetCount(list));
    ASSERT_TRUE(shelfdics::PeerActs(shelf, "dic:PeerWords", [&] { return shelfdics::Ids(popup).size() == 5; }));
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 2, popup, FALSE, nullptr, nullptr));
    ASSERT_EQ(5, Widgetry_DicListGetCount(list));
    int row = -1;
    for (int i = 0; i < 5; i++)
        if (shelfdics::Names(popup)[i] == "PeerWords") row = i;
    ASSERT_GE(row, 0);
    EXPECT_EQ(shelfdics::Ids(popup)[row], Widgetry_DicListGetItemId(list, row));
    EXPECT_EQ(17, ImageOf(list, row).first); // a numbered user dictionary
    ShowAndPicture(parent.window, "diclist_peer_added.bmp");
    ASSERT_TRUE(shelfdics::PeerActs(shelf, "remove:PeerWords", [&] { return shelfdics::Ids(popup).size() == 4; }));
    ASSERT_TRUE(Widgetry_DicListSetSource(list, 2, popup, FALSE, nullptr, nullptr));
    EXPECT_EQ(4, Widgetry_DicListGetCount(list));
    for (const std::string &name : shelfdics::Names(popup)) EXPECT_NE("PeerWords", name);
}

} // namespace
