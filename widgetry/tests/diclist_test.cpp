// The dictionary list over the pop-up list of four fixture dictionaries: slots by double click
// (one notice per change, the double click not passed on), slots given by message, numbering
// modes, sorting and the notices passed on to the parent.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "shelfdics.h"
#include "widgetry.h"

namespace {

const UINT kListId = 31;

struct Parent {
    HWND window = nullptr;
    int slotNotices = 0;
    int doubleClicks = 0; // double clicks passed on from the list view
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Parent *p = reinterpret_cast<Parent *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (p && message == WIDGETRY_DLN_SLOTS) {
        p->slotNotices++;
        return 0;
    }
    if (p && message == WM_NOTIFY && wParam == kListId) {
        const NMHDR *h = reinterpret_cast<NMHDR *>(lParam);
        if (h->code == static_cast<UINT>(NM_DBLCLK) && h->idFrom == kListId) p->doubleClicks++;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class DicListTest : public ::testing::Test {
protected:
    static shelfdics::Shelf shelf;
    Parent parent;
    HWND list = nullptr;
    DWORD slots[5] = {};
    static void SetUpTestSuite() { ASSERT_TRUE(shelf.Start("diclist", 4)); }
    static void TearDownTestSuite() { shelf.Stop(); }
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DicListParent";
        RegisterClassA(&wc);
        parent.window = CreateWindowA("DicListParent", "list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 300,
                                      nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(parent.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&parent));
        list = Widgetry_CreateDicList(0, LVS_SINGLESEL, 0, 0, 480, 260, kListId, parent.window);
    }
    void TearDown() override { DestroyWindow(parent.window); }
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

} // namespace
