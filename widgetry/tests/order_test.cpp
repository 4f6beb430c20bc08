// The dictionary-order dialog over the search list of four fixture dictionaries: the rows and
// their hot-key labels, moves that change the priority list, choosing, hiding, and the place kept
// in the settings; pictures of the dialog in the working folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "shelfdics.h"
#include "support/testkit_gdi.h"
#include "uiassets.h"
#include "widgetry.h"

namespace {

const char *const kKey = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Window\\SearchWindow\\OrderList";
const UINT kControlId = 77;

// The owner: records the dialog's notices.
struct Owner {
    HWND window = nullptr;
    std::vector<UINT> codes;
    DWORD chosen = 0;
    std::string chosenName;
};

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Owner *owner = reinterpret_cast<Owner *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NOTIFY && owner && wParam == kControlId) {
        const VLDicChoice *c = reinterpret_cast<const VLDicChoice *>(lParam);
        owner->codes.push_back(c->header.code);
        if (c->header.code == WIDGETRY_ORDER_CHOSEN) {
            owner->chosen = c->id;
            owner->chosenName = c->item && c->item->name ? c->item->name : "";
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string ListText(HWND list, int row, int column)
{
    HWND view = GetWindow(list, GW_CHILD);
    char text[256] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

class OrderTest : public ::testing::Test {
protected:
    static shelfdics::Shelf shelf;
    Owner owner;
    static void SetUpTestSuite() { ASSERT_TRUE(shelf.Start("order", 4)); }
    static void TearDownTestSuite() { shelf.Stop(); }
    void SetUp() override
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrderOwner";
        RegisterClassA(&wc);
        owner.window = CreateWindowA("OrderOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                     wc.hInstance, nullptr);
        SetWindowLongPtrA(owner.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner));
    }
    void TearDown() override
    {
        if (IsWindow(owner.window)) DestroyWindow(owner.window);
    }
    static HWND ListOf(HWND dialog) { return GetDlgItem(dialog, UIA_IDC_ORDER_LIST); }
    static void Click(HWND dialog, int control)
    {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
    }
};
shelfdics::Shelf OrderTest::shelf;

TEST_F(OrderTest, RowsFollowTheSearchListWithHotKeyLabels)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    HWND dialog = Widgetry_ShowDicOrderDialog(owner.window, 1, kControlId);
    ASSERT_TRUE(dialog != nullptr);
    HWND list = ListOf(dialog);
    std::vector<DWORD> ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_SEARCH));
    std::vector<std::string> names = shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_SEARCH));
    ASSERT_EQ(4, Widgetry_DicListGetCount(list));
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(ids[i], Widgetry_DicListGetItemId(list, i));
        EXPECT_EQ(names[i], ListText(list, i, 0));
        EXPECT_EQ(i + 1, Widgetry_DicListGetHotKey(list, i));
        EXPECT_EQ("F" + std::to_string(i + 2), ListText(list, i, 6));
    }
    EXPECT_EQ(0u, Widgetry_DicListGetItemId(list, -1));
    // With nothing stored the dialog opens shown, at 300 x 200.
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT rc;
    GetWindowRect(dialog, &rc);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(200, rc.bottom - rc.top);
    shelfdics::PumpAll();
    Testkit_SaveWindowPicture(dialog, (Testkit_Cwd() + "\\order_dialog.bmp").c_str());
    DestroyWindow(dialog);
}

TEST_F(OrderTest, MovesChangeThePriorityList)
{
    VLPriorityList *search = shelfdics::Kind(LEXSHELF_LIST_SEARCH);
    HWND dialog = Widgetry_ShowDicOrderDialog(owner.window, 1, kControlId);
    ASSERT_TRUE(dialog != nullptr);
    HWND list = ListOf(dialog);
    std::vector<DWORD> before = shelfdics::Ids(search);

    // Up from the first row and nothing selected: nothing moves.
    Click(dialog, UIA_IDC_ORDER_UP);
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 0, 0);
    Click(dialog, UIA_IDC_ORDER_UP);
    EXPECT_EQ(before, shelfdics::Ids(search));
    EXPECT_TRUE(owner.codes.empty());

    // Down twice: the first entry goes to the third place.
    Click(dialog, UIA_IDC_ORDER_DOWN);
    Click(dialog, UIA_IDC_ORDER_DOWN);
    std::vector<DWORD> expected = {before[1], before[2], before[0], before[3]};
    EXPECT_EQ(expected, shelfdics::Ids(search));
    EXPECT_EQ((std::vector<UINT>{WIDGETRY_ORDER_CHANGED, WIDGETRY_ORDER_CHANGED}), owner.codes);
    EXPECT_EQ(2, SendMessageA(list, WIDGETRY_DLM_GETSELECTED, 0, 0));
    for (int i = 0; i < 4; i++) EXPECT_EQ(expected[i], Widgetry_DicListGetItemId(list, i));

    // Down from the last row does nothing; up brings it back.
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 3, 0);
    Click(dialog, UIA_IDC_ORDER_DOWN);
    EXPECT_EQ(expected, shelfdics::Ids(search));
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 2, 0);
    Click(dialog, UIA_IDC_ORDER_UP);
    Click(dialog, UIA_IDC_ORDER_UP);
    EXPECT_EQ(before, shelfdics::Ids(search));

    // Choose names the selected entry.
    owner.codes.clear();
    SendMessageA(list, WIDGETRY_DLM_SELECTROW, 1, 0);
    Click(dialog, UIA_IDC_ORDER_CHOOSE);
    ASSERT_EQ((std::vector<UINT>{WIDGETRY_ORDER_CHOSEN}), owner.codes);
    EXPECT_EQ(before[1], owner.chosen);
    EXPECT_EQ(shelfdics::Names(search)[1], owner.chosenName);
    DestroyWindow(dialog);
}

TEST_F(OrderTest, PlaceAndVisibilityAreKept)
{
    HWND dialog = Widgetry_ShowDicOrderDialog(owner.window, 1, kControlId);
    ASSERT_TRUE(dialog != nullptr);
    SetWindowPos(dialog, nullptr, -40, 30, 320, 260, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); // Esc hides
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_TRUE(IsWindow(dialog));
    DestroyWindow(owner.window); // destroyed with its owner
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(0u, Basekit_SettingsReadDword(kKey, "Show"));

    SetUp();
    dialog = Widgetry_ShowDicOrderDialog(owner.window, 1, kControlId);
    ASSERT_TRUE(dialog != nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog)); // hidden stays hidden
    RECT rc;
    GetWindowRect(dialog, &rc);
    EXPECT_EQ(-40, rc.left);
    EXPECT_EQ(30, rc.top);
    EXPECT_EQ(320, rc.right - rc.left);
    EXPECT_EQ(260, rc.bottom - rc.top);
    ShowWindow(dialog, SW_SHOW);
    DestroyWindow(dialog);
    EXPECT_EQ(1u, Basekit_SettingsReadDword(kKey, "Show"));
}

} // namespace

namespace {

TEST_F(OrderTest, AnotherProcessSeesTheNewOrder)
{
    shelfdics::Peer peer(shelf, "watch");
    ASSERT_TRUE(peer.started);
    VLPriorityList *search = shelfdics::Kind(LEXSHELF_LIST_SEARCH);
    std::vector<DWORD> before = shelfdics::Ids(search);
    HWND dialog = Widgetry_ShowDicOrderDialog(owner.window, 1, kControlId);
    ASSERT_TRUE(dialog != nullptr);
    SendMessageA(ListOf(dialog), WIDGETRY_DLM_SELECTROW, 0, 0);
    Click(dialog, UIA_IDC_ORDER_DOWN);
    std::vector<DWORD> moved = {before[1], before[0], before[2], before[3]};
    EXPECT_EQ(moved, shelfdics::Ids(search));
    EXPECT_EQ(moved, shelfdics::PeerList(peer.Finish(), LEXSHELF_LIST_SEARCH));
    // Put the order back for the other cases.
    SendMessageA(ListOf(dialog), WIDGETRY_DLM_SELECTROW, 1, 0);
    Click(dialog, UIA_IDC_ORDER_UP);
    EXPECT_EQ(before, shelfdics::Ids(search));
    DestroyWindow(dialog);
}

TEST_F(OrderTest, ShowsAGroupAddedByAnotherProcess)
{
    HWND dialog = Widgetry_ShowDicOrderDialog(owner.window, 1, kControlId);
    ASSERT_TRUE(dialog != nullptr);
    HWND list = ListOf(dialog);
    int rows = Widgetry_DicListGetCount(list);
    shelfdics::Peer peer(shelf, "group:PeerGroup");
    ASSERT_TRUE(peer.started);
    peer.Go();
    VLPriorityList *search = shelfdics::Kind(LEXSHELF_LIST_SEARCH);
    ASSERT_TRUE(shelfdics::PumpUntil([&] { return shelfdics::Ids(search).size() == static_cast<size_t>(rows) + 1; }));
    SendMessageA(dialog, WIDGETRY_DBM_REFRESH, 0, 0);
    ASSERT_EQ(rows + 1, Widgetry_DicListGetCount(list));
    EXPECT_EQ("PeerGroup", ListText(list, rows, 0));
    EXPECT_EQ(shelfdics::Ids(search)[rows], Widgetry_DicListGetItemId(list, rows));
    peer.Finish();
    // Removed (here), the group leaves the list at the next refresh.
    DWORD group = Widgetry_DicListGetItemId(list, rows);
    Lexshelf_PrioRemove(shelfdics::Kind(LEXSHELF_LIST_POPUP), group, FALSE);
    ASSERT_TRUE(shelfdics::PumpUntil([&] { return Lexshelf_PrioFind(search, group) == 0; }));
    SendMessageA(dialog, WIDGETRY_DBM_REFRESH, 0, 0);
    EXPECT_EQ(rows, Widgetry_DicListGetCount(list));
    DestroyWindow(dialog);
}

} // namespace
