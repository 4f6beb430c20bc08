// The data list driven through its messages, keys and clicks under the display: a word list of
// two dictionaries with the same entry numbers, grouped and folded; the notices its parent hears;
// deleting, the clipboard and sorting checked against the word list.
#include <gtest/gtest.h>

#include "listkit.h"

using namespace listkit;

namespace {

const DWORD kColumns = VLDLS_HEADWORD | VLDLS_DICTIONARY | VLDLS_DATE;

class DataListTest : public ::testing::Test {
protected:
    // One parent for the whole suite: a top-level window takes its time to go away without a
    // window manager.
    static Catalogue catalogue;
    static HWND parent;
    std::vector<HWND> made;

    static void SetUpTestSuite()
    {
        ASSERT_TRUE(catalogue.Start("datalist"));
        parent = MakeParent();
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        catalogue.Stop();
    }
    void SetUp() override { Heard().clear(); }
    void TearDown() override
    {
        for (HWND w : made) DestroyWindow(w);
    }

    HWND Make(DWORD style, int maximum = 100)
    {
        HWND list = Widgetry_CreateDataList(0, WS_CHILD | WS_VISIBLE | WS_BORDER | style, 8, 8, 600, 300, 0, 1252,
                                            parent, maximum);
        EXPECT_NE(nullptr, list);
        made.push_back(list);
        return list;
    }
};

Catalogue DataListTest::catalogue;
HWND DataListTest::parent;

TEST_F(DataListTest, RowsGroupPerDictionaryAndFold)
{
    HWND open = Make(kColumns);
    Fill(open, TwoDictionaries());
    // J11 names J10 as its main entry, but J10 is not before it: a plain row, not a sub-entry of
    // the English E10 with the same number.
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}), RowItems(open));

    HWND folded = Make(kColumns | VLDLS_FOLDED);
    Fill(folded, TwoDictionaries());
    EXPECT_EQ((std::vector<int>{0, 3, 4, 6, 7}), RowItems(folded));

    // A click in the fold box opens the group; the list tells its new size.
    Click(folded, 0, 8);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 6, 7}), RowItems(folded));
    EXPECT_FALSE(HeardOf(VLDLN_SIZE).empty());
    // A double click folds it again; Right opens the Japanese group, Left on its sub-entry goes
    // back to the main row, and Left there folds it.
    Click(folded, 0, 100, true);
    EXPECT_EQ((std::vector<int>{0, 3, 4, 6, 7}), RowItems(folded));
    SendMessageA(folded, VLDLM_SELECTROW, 2, 0);
    Key(folded, VK_RIGHT);
    EXPECT_EQ((std::vector<int>{0, 3, 4, 5, 6, 7}), RowItems(folded));
    Key(folded, VK_RIGHT);
    EXPECT_EQ(std::vector<int>{3}, SelectedRows(folded));
    Key(folded, VK_LEFT);
    EXPECT_EQ(std::vector<int>{2}, SelectedRows(folded));
    Key(folded, VK_LEFT);
    EXPECT_EQ((std::vector<int>{0, 3, 4, 6, 7}), RowItems(folded));

    HWND flat = Make(kColumns | VLDLS_FLAT | VLDLS_FOLDED);
    Fill(flat, TwoDictionaries());
    EXPECT_EQ(8, ShownRows(flat));
}

TEST_F(DataListTest, DeletingUnderFoldingRemovesTheRowsOwnItem)
{
    HWND list = Make(kColumns | VLDLS_FOLDED | VLDLS_MULTISELECT);
    Fill(list, TwoDictionaries());
    // Row 1 shows J11 (item 3); the item at position 1 is the hidden E11.
    EXPECT_EQ(1, SendMessageA(list, VLDLM_DELETE, 1, 0));
    EXPECT_EQ((std::vector<std::string>{"3100:10", "3100:11", "3100:12", "3200:10", "3200:12", "3100:20", "3200:30"}),
              Identities(Words(list)));

    // Every selected row: the rows of E10 and J10 (shown rows 0 and 1), not their hidden subs.
    ASSERT_EQ((std::vector<int>{0, 3, 5, 6}), RowItems(list));
    LVITEMA lv = {};
    lv.stateMask = lv.state = LVIS_SELECTED;
    SendMessageA(View(list), LVM_SETITEMSTATE, 0, (LPARAM)&lv);
    SendMessageA(View(list), LVM_SETITEMSTATE, 1, (LPARAM)&lv);
    EXPECT_EQ(2, SendMessageA(list, VLDLM_DELETE, (WPARAM)-1, 0));
    EXPECT_EQ((std::vector<std::string>{"3100:11", "3100:12", "3200:12", "3100:20", "3200:30"}),
              Identities(Words(list)));
    // The subs left behind have no main entry before them: plain rows now.
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), RowItems(list));
    // WM_CLEAR in the list view deletes the selected rows too.
    SendMessageA(View(list), LVM_SETITEMSTATE, 4, (LPARAM)&lv);
    EXPECT_EQ(1, SendMessageA(View(list), WM_CLEAR, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"3100:11", "3100:12", "3200:12", "3100:20"}), Identities(Words(list)));
}

TEST_F(DataListTest, RowMessagesNameTheRowsItem)
{
    HWND list = Make(kColumns | VLDLS_FOLDED);
    Fill(list, TwoDictionaries());
    // Shown: E10, J11, J10, E20, J30.
    struct Case {
        int row;
        DWORD flags;
    } cases[] = {
        {0, VLDLF_NEXTMAIN | VLDLF_NEXTDIC | VLDLF_NEXT},
        {1, VLDLF_NEXTMAIN | VLDLF_PREVMAIN | VLDLF_NEXTDIC | VLDLF_PREVDIC | VLDLF_NEXT | VLDLF_PREV},
        {2, VLDLF_NEXTMAIN | VLDLF_PREVMAIN | VLDLF_NEXTDIC | VLDLF_PREVDIC | VLDLF_NEXT | VLDLF_PREV},
        {4, VLDLF_PREVMAIN | VLDLF_PREVDIC | VLDLF_PREV},
    };
    for (const Case &c : cases) EXPECT_EQ(c.flags, (DWORD)SendMessageA(list, VLDLM_GETNAVFLAGS, c.row, 0)) << c.row;

    Heard().clear();
    ASSERT_EQ(1, SendMessageA(list, VLDLM_SELECTROW, 2, 0));
    std::vector<Notice> chosen = HeardOf(VLDLN_CHOOSE);
    ASSERT_EQ(1u, chosen.size());
    EXPECT_EQ(4, LOWORD(chosen[0].wParam));      // J10 is item 4
    EXPECT_EQ(0, HIWORD(chosen[0].wParam));      // a changed selection
    EXPECT_EQ(cases[2].flags, (DWORD)chosen[0].lParam);
    EXPECT_EQ(4, Words(list)->current);
    EXPECT_EQ(2, SendMessageA(list, VLDLM_NEXTSELECTED, 0, 0));
    EXPECT_EQ(-1, SendMessageA(list, VLDLM_NEXTSELECTED, 3, 0));

    RECT bounds = {};
    EXPECT_EQ(1, SendMessageA(list, VLDLM_GETROWRECT, (WPARAM)-1, (LPARAM)&bounds));
    EXPECT_GT(bounds.bottom, bounds.top);
    EXPECT_EQ(RowRect(list, 2).top, bounds.top);

    // Moves by message.
    EXPECT_EQ(3, SendMessageA(list, VLDLM_MOVE, VLDL_MOVE_NEXTDIC, 0));
    EXPECT_EQ(4, SendMessageA(list, VLDLM_MOVE, VLDL_MOVE_NEXT, 0));
    EXPECT_EQ(-1, SendMessageA(list, VLDLM_MOVE, VLDL_MOVE_NEXT, 0));
    EXPECT_EQ(std::vector<int>{4}, SelectedRows(list));

    // An empty list: nothing selected, no notice.
    Fill(list, {});
    Heard().clear();
    EXPECT_EQ(0, SendMessageA(list, VLDLM_SELECTROW, 0, 0));
    EXPECT_EQ(0, SendMessageA(list, VLDLM_GETROWRECT, (WPARAM)-1, (LPARAM)&bounds));
    EXPECT_TRUE(HeardOf(VLDLN_CHOOSE).empty());
}

TEST_F(DataListTest, KeysMoveBetweenGroupsAndDictionaries)
{
    HWND list = Make(kColumns);
    Fill(list, TwoDictionaries());
    // Shown (open): 0 E10, 1 E11, 2 E12, 3 J11, 4 J10, 5 J12, 6 E20, 7 J30.
    struct Case {
        int from;
        WPARAM key;
        bool shift, control;
        int to;
    } cases[] = {
        {0, VK_DOWN, true, false, 3},   // next main or plain row
        {3, VK_UP, true, false, 0},
        {5, VK_UP, true, false, 4},
        {0, VK_DOWN, false, true, 3},   // next row of another dictionary
        {3, VK_DOWN, false, true, 6},
        {6, VK_UP, false, true, 5},
        {0, VK_DOWN, true, true, 3},
        {0, VK_UP, false, false, 0},    // the first row keeps the focus
        {2, VK_UP, false, false, 1},
        {1, VK_LEFT, false, false, 0},  // a sub-entry goes to its main entry
        {0, VK_RIGHT, false, false, 1}, // an open main entry to the next row
    };
    for (const Case &c : cases) {
        SendMessageA(list, VLDLM_SELECTROW, c.from, 0);
        Key(list, c.key, c.shift, c.control);
        EXPECT_EQ(std::vector<int>{c.to}, SelectedRows(list)) << c.from << " key " << c.key;
        EXPECT_EQ(c.to, FocusedRow(list)) << c.from << " key " << c.key;
    }

    // Shift without Ctrl moves without a notice; Shift with Ctrl tells the parent.
    SendMessageA(list, VLDLM_SELECTROW, 0, 0);
    Heard().clear();
    Key(list, VK_DOWN, true, false);
    EXPECT_TRUE(HeardOf(VLDLN_CHOOSE).empty());
    Key(list, VK_DOWN, true, true);
    ASSERT_EQ(1u, HeardOf(VLDLN_CHOOSE).size());
    EXPECT_EQ(6, LOWORD(HeardOf(VLDLN_CHOOSE)[0].wParam));

    // The notice switch.
    SendMessageA(list, VLDLM_SETNOTIFY, 0, 0);
    Heard().clear();
    SendMessageA(list, VLDLM_SELECTROW, 1, 0);
    EXPECT_TRUE(HeardOf(VLDLN_CHOOSE).empty());
    SendMessageA(list, VLDLM_SETNOTIFY, 1, 0);

    // Enter chooses only with its style; with it the notice says how 1.
    Heard().clear();
    Key(list, VK_RETURN);
    EXPECT_TRUE(HeardOf(VLDLN_CHOOSE).empty());
    HWND enter = Make(kColumns | VLDLS_ENTERCHOOSES | VLDLS_ARROWSPARENT);
    Fill(enter, TwoDictionaries());
    SendMessageA(enter, VLDLM_SELECTROW, 4, 0);
    Heard().clear();
    Key(enter, VK_RETURN);
    ASSERT_EQ(1u, HeardOf(VLDLN_CHOOSE).size());
    EXPECT_EQ(MAKEWPARAM(4, 1), HeardOf(VLDLN_CHOOSE)[0].wParam);
    // The arrows go to the parent with the item.
    Key(enter, VK_RIGHT);
    Key(enter, VK_LEFT);
    ASSERT_EQ(1u, HeardOf(VLDLN_RIGHT).size());
    EXPECT_EQ(4u, HeardOf(VLDLN_RIGHT)[0].wParam);
    ASSERT_EQ(1u, HeardOf(VLDLN_LEFT).size());
    EXPECT_EQ(std::vector<int>{4}, SelectedRows(enter));
}

TEST_F(DataListTest, ChosenEntriesGoToTheHistoryUnlessTold)
{
    HWND list = Make(kColumns);
    std::vector<ItemSpec> items = TwoDictionaries();
    items.push_back({kDriver, 1, 0, 0, "translated"});
    Fill(list, items);
    int before = Catalogue::CountIn(catalogue.history);
    SendMessageA(list, VLDLM_SELECTROW, 6, 0);
    EXPECT_EQ(before + 1, Catalogue::CountIn(catalogue.history));
    // A click chooses with how 1, and both notices add.
    Heard().clear();
    Click(list, 4, 60);
    std::vector<Notice> chosen = HeardOf(VLDLN_CHOOSE);
    ASSERT_FALSE(chosen.empty());
    EXPECT_EQ(MAKEWPARAM(4, 1), chosen.back().wParam);
    int afterClick = Catalogue::CountIn(catalogue.history);
    EXPECT_EQ(before + 1 + (int)chosen.size(), afterClick);
    // A driver dictionary's entry is chosen but not kept.
    Heard().clear();
    SendMessageA(list, VLDLM_SELECTROW, 8, 0);
    EXPECT_EQ(1u, HeardOf(VLDLN_CHOOSE).size());
    EXPECT_EQ(afterClick, Catalogue::CountIn(catalogue.history));

    HWND quiet = Make(kColumns | VLDLS_NOHISTORY);
    Fill(quiet, items);
    SendMessageA(quiet, VLDLM_SELECTROW, 0, 0);
    EXPECT_EQ(afterClick, Catalogue::CountIn(catalogue.history));

    // The click-does-not-choose switch.
    SendMessageA(quiet, VLDLM_SETCLICKNOCHOOSE, 1, 0);
    Heard().clear();
    Click(quiet, 2, 60);
    for (const Notice &n : HeardOf(VLDLN_CHOOSE)) EXPECT_EQ(0, HIWORD(n.wParam));

    // The selected rows to the active study list.
    HWND multi = Make(kColumns | VLDLS_MULTISELECT);
    Fill(multi, items);
    SendMessageA(multi, VLDLM_SELECTALL, 0, 0);
    int active = Catalogue::CountIn(catalogue.active);
    EXPECT_EQ((LRESULT)items.size(), SendMessageA(multi, VLDLM_ADDTOSTUDYLIST, 0, 0));
    EXPECT_EQ(active + (int)items.size(), Catalogue::CountIn(catalogue.active));
}

TEST_F(DataListTest, ClipboardCarriesTheRowsItems)
{
    HWND list = Make(kColumns | VLDLS_FOLDED | VLDLS_MULTISELECT);
    Fill(list, TwoDictionaries());
    // Shown: 0 E10, 1 J11, 2 J10, 3 E20, 4 J30.
    LVITEMA lv = {};
    lv.stateMask = lv.state = LVIS_SELECTED;
    SendMessageA(View(list), LVM_SETITEMSTATE, 1, (LPARAM)&lv);
    SendMessageA(View(list), LVM_SETITEMSTATE, 3, (LPARAM)&lv);
    ASSERT_TRUE(SendMessageA(list, WM_COPY, 0, 0));
    VLWordList *clip = VLWordList_Create(10);
    ASSERT_TRUE(VLWordList_Paste(clip, parent));
    EXPECT_EQ((std::vector<std::string>{"3200:11", "3100:20"}), Identities(clip));
    EXPECT_EQ(8, VLWordList_Count(Words(list)));

    // Cut takes them out of the list as well.
    ASSERT_TRUE(SendMessageA(list, WM_CUT, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"3100:10", "3100:11", "3100:12", "3200:10", "3200:12", "3200:30"}),
              Identities(Words(list)));
    VLWordList_DeleteAllItems(clip);
    ASSERT_TRUE(VLWordList_Paste(clip, parent));
    EXPECT_EQ((std::vector<std::string>{"3200:11", "3100:20"}), Identities(clip));

    // Paste goes before the focused row's item: J10 (item 3) is shown as row 1.
    ASSERT_EQ((std::vector<int>{0, 3, 5}), RowItems(list));
    SendMessageA(list, VLDLM_SELECTROW, 1, 0);
    ASSERT_TRUE(SendMessageA(list, WM_PASTE, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"3100:10", "3100:11", "3100:12", "3200:11", "3100:20", "3200:10", "3200:12",
                                        "3200:30"}),
              Identities(Words(list)));
    EXPECT_EQ(1, FocusedRow(list));

    // Without a focused row nothing is pasted.
    lv.stateMask = LVIS_FOCUSED;
    lv.state = 0;
    SendMessageA(View(list), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&lv);
    EXPECT_EQ(0, SendMessageA(list, WM_PASTE, 0, 0));
    EXPECT_EQ(8, VLWordList_Count(Words(list)));

    // Into an empty list at 0.  A list with room for fewer items keeps the last ones, as a word
    // list loaded from a longer block does.
    HWND empty = Make(kColumns, 5);
    ASSERT_TRUE(SendMessageA(empty, WM_PASTE, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"3200:11", "3100:20"}), Identities(Words(empty)));
    HWND small = Make(kColumns, 1);
    ASSERT_TRUE(SendMessageA(small, WM_PASTE, 0, 0));
    EXPECT_EQ(std::vector<std::string>{"3100:20"}, Identities(Words(small)));
    VLWordList_Destroy(clip);
}

// Clicks on the header of a column: the header's own button messages.
void ClickHeader(HWND list, int column)
{
    HWND header = (HWND)SendMessageA(View(list), LVM_GETHEADER, 0, 0);
    RECT rc = {};
    SendMessageA(header, HDM_GETITEMRECT, column, (LPARAM)&rc);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    Testkit_Pump();
}

std::vector<LONGLONG> Times(const VLWordList *words)
{
    std::vector<LONGLONG> t;
    for (int i = 0; i < VLWordList_Count(words); i++) {
        const FILETIME &ft = VLWordList_GetItem(words, i)->head.time;
        t.push_back((LONGLONG)ft.dwHighDateTime << 32 | ft.dwLowDateTime);
    }
    return t;
}

TEST_F(DataListTest, HeaderClicksSortAndKeepTheSelection)
{
    HWND list = Make(kColumns);
    Fill(list, TwoDictionaries());
    SendMessageA(list, VLDLM_SELECTROW, 7, 0);   // J30

    // The date column, first click: ascending by time; the second: descending.
    ClickHeader(list, 2);
    std::vector<LONGLONG> t = Times(Words(list));
    EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
    VLDataItem *selected = VLWordList_GetItem(Words(list), RowItems(list)[SelectedRows(list).at(0)]);
    EXPECT_EQ(30u, selected->head.entryNo);
    EXPECT_EQ(kJapanese, selected->head.fileId);
    ClickHeader(list, 2);
    t = Times(Words(list));
    EXPECT_TRUE(std::is_sorted(t.rbegin(), t.rend()));

    // The dictionary column: by file id.
    ClickHeader(list, 1);
    std::vector<std::string> ids = Identities(Words(list));
    EXPECT_EQ("3100", ids.front().substr(0, 4));
    EXPECT_EQ("3200", ids.back().substr(0, 4));
    selected = VLWordList_GetItem(Words(list), RowItems(list)[SelectedRows(list).at(0)]);
    EXPECT_EQ(30u, selected->head.entryNo);
    EXPECT_EQ(kJapanese, selected->head.fileId);

    // Column 0 starts ascending, so on a new list its first click sorts descending (Japanese
    // before English, by language) and the second ascending; another column's click in between
    // resets it, so that its next click sorts ascending again.
    HWND fresh = Make(kColumns);
    Fill(fresh, TwoDictionaries());
    ClickHeader(fresh, 0);
    std::vector<std::string> down = Identities(Words(fresh));
    EXPECT_EQ("3200", down.front().substr(0, 4));
    ClickHeader(fresh, 0);
    std::vector<std::string> up = Identities(Words(fresh));
    EXPECT_EQ("3100", up.front().substr(0, 4));
    ClickHeader(fresh, 2);
    ClickHeader(fresh, 0);
    EXPECT_EQ(up, Identities(Words(fresh)));
}

TEST_F(DataListTest, RedrawLockCountsAndNeverGoesBelowZero)
{
    HWND list = Make(kColumns);
    Fill(list, TwoDictionaries());
    SendMessageA(list, VLDLM_SELECTROW, 0, 0);
    // Unlocks at zero do nothing; one lock then shuts input out, and one unlock lets it in again.
    SendMessageA(list, VLDLM_LOCK, VLDL_UNLOCK, 0);
    SendMessageA(list, VLDLM_LOCK, VLDL_UNLOCK, 0);
    SendMessageA(list, VLDLM_LOCK, VLDL_LOCK, 0);
    Key(list, VK_DOWN, true, false);
    EXPECT_EQ(std::vector<int>{0}, SelectedRows(list));
    SendMessageA(list, VLDLM_LOCK, VLDL_LOCK, 0);
    SendMessageA(list, VLDLM_LOCK, VLDL_UNLOCK, 0);
    Key(list, VK_DOWN, true, false);
    EXPECT_EQ(std::vector<int>{0}, SelectedRows(list));
    SendMessageA(list, VLDLM_LOCK, VLDL_UNLOCK, 0);
    Key(list, VK_DOWN, true, false);
    EXPECT_EQ(std::vector<int>{3}, SelectedRows(list));
}

TEST_F(DataListTest, MaximumCountDropsTheTail)
{
    HWND list = Make(kColumns, 20);
    Fill(list, TwoDictionaries());
    EXPECT_EQ(1, SendMessageA(list, VLDLM_SETMAXCOUNT, 20, 0));
    EXPECT_EQ(8, VLWordList_Count(Words(list)));
    EXPECT_EQ(1, SendMessageA(list, VLDLM_SETMAXCOUNT, 3, 0));
    EXPECT_EQ((std::vector<std::string>{"3100:10", "3100:11", "3100:12"}), Identities(Words(list)));
    EXPECT_EQ(3, ShownRows(list));
    EXPECT_EQ(3, Words(list)->maximum);
}

TEST_F(DataListTest, NaturalSizeFollowsTheRowLimit)
{
    std::vector<ItemSpec> many;
    for (DWORD i = 0; i < 12; i++) many.push_back({kEnglish, 100 + i, 0, 0, "word"});
    int heights[2];
    int limits[2] = {3, 8};
    for (int k = 0; k < 2; k++) {
        HWND list = Widgetry_CreateDataList(0, WS_CHILD | WS_VISIBLE | WS_BORDER | VLDLS_HEADWORD | VLDLS_ROWLIMIT,
                                            8, 8, 300, 500, limits[k], 1252, parent, 100);
        Fill(list, many);
        SendMessageA(list, VLDLM_SHOW, 0, 0);
        ReleaseCapture();
        RECT rc;
        GetWindowRect(list, &rc);
        heights[k] = rc.bottom - rc.top;
        EXPECT_GT(rc.right - rc.left, SendMessageA(list, VLDLM_GETNATURALWIDTH, 0, 0));
        DestroyWindow(list);
    }
    EXPECT_LT(heights[0], heights[1]);
    EXPECT_LT(heights[0], 500);
}

TEST_F(DataListTest, DropDownFormOpensChoosesAndCloses)
{
    HWND popup = Widgetry_CreateDataListEx(WS_EX_TOOLWINDOW, WS_POPUP | WS_BORDER | VLDLS_HEADWORD | VLDLS_ROWLIMIT |
                                               VLDLS_NOHEADER,
                                           0, 0, 200, 150, 5, 0, parent, 50, GetSysColor(COLOR_MENU), FALSE);
    ASSERT_NE(nullptr, popup);
    EXPECT_FALSE(IsWindowVisible(popup));
    // Empty: shown at zero size, and the parent hears that a menu loop begins.
    ShowWindow(popup, SW_SHOWNA);
    RECT rc;
    GetWindowRect(popup, &rc);
    EXPECT_EQ(0, rc.right - rc.left);
    EXPECT_EQ(0, rc.bottom - rc.top);
    ASSERT_EQ(1u, HeardOf(WM_ENTERMENULOOP).size());
    SetFocus(parent);
    ShowWindow(popup, SW_HIDE);
    ReleaseCapture();

    // Filling chooses the first row.
    Heard().clear();
    Fill(popup, TwoDictionaries());
    ASSERT_EQ(1u, HeardOf(VLDLN_CHOOSE).size());
    EXPECT_EQ(MAKEWPARAM(0, 0), HeardOf(VLDLN_CHOOSE)[0].wParam);

    // Shown with rows it takes its natural size; a click on a plain row closes it chosen.
    Heard().clear();
    ShowWindow(popup, SW_SHOW);
    SetFocus(popup);
    GetWindowRect(popup, &rc);
    EXPECT_GT(rc.bottom - rc.top, 0);
    ReleaseCapture();
    Click(popup, 3, 60);   // J11, a plain row
    EXPECT_FALSE(IsWindowVisible(popup));
    std::vector<Notice> exits = HeardOf(WM_EXITMENULOOP);
    ASSERT_EQ(1u, exits.size());
    EXPECT_EQ(1u, exits[0].wParam);
    ASSERT_FALSE(HeardOf(VLDLN_CHOOSE).empty());
    EXPECT_EQ(MAKEWPARAM(3, 0), HeardOf(VLDLN_CHOOSE).back().wParam);

    // Losing the focus closes it unchosen; Esc the same.
    Heard().clear();
    ShowWindow(popup, SW_SHOW);
    SetFocus(popup);
    SetFocus(parent);
    Testkit_Pump();
    EXPECT_FALSE(IsWindowVisible(popup));
    exits = HeardOf(WM_EXITMENULOOP);
    ASSERT_EQ(1u, exits.size());
    EXPECT_EQ(0u, exits[0].wParam);
    Heard().clear();
    ShowWindow(popup, SW_SHOW);
    SetFocus(popup);
    Key(popup, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(popup));
    ASSERT_EQ(1u, HeardOf(WM_EXITMENULOOP).size());
    ReleaseCapture();
    DestroyWindow(popup);
}

// Runs inside the print dialog's loop (or a box that says there is no printer): cancels it.
void CALLBACK CancelPrint(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindWindowA("#32770", nullptr);
    if (!box) return;
    KillTimer(nullptr, id);
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(DataListTest, CancelledPrintAnswersZero)
{
    HWND list = Make(kColumns);
    Fill(list, TwoDictionaries());
    UINT_PTR timer = SetTimer(nullptr, 0, 100, CancelPrint);
    Heard().clear();
    EXPECT_EQ(0, SendMessageA(list, VLDLM_PRINT, 0, 0));
    KillTimer(nullptr, timer);
    EXPECT_TRUE(HeardOf(VLDLN_CHOOSE).empty());
}

}  // namespace
