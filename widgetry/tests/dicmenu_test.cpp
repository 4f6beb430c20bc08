// The dictionary menu over the pop-up priority list of a catalogue of four fixture dictionaries.
#include <gtest/gtest.h>

#include "shelfdics.h"
#include "uiassets.h"
#include "widgetry.h"

namespace {

struct MenuItem {
    UINT command;
    ULONG_PTR data;
    bool checked, separator, radio;
    std::string text;
};

std::vector<MenuItem> ReadMenu(HMENU menu)
{
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA;
        info.dwTypeData = text;
        info.cch = sizeof text;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        items.push_back({info.wID, info.dwItemData, (info.fState & MFS_CHECKED) != 0,
                         (info.fType & MFT_SEPARATOR) != 0, (info.fType & MFT_RADIOCHECK) != 0, text});
    }
    return items;
}

class DicMenuTest : public ::testing::Test {
protected:
    static shelfdics::Shelf shelf;
    static std::vector<DWORD> ids;
    static std::vector<std::string> names;
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(shelf.Start("dicmenu", 4));
        ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_POPUP));
        names = shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_POPUP));
        ASSERT_EQ(4u, ids.size());
    }
    static void TearDownTestSuite() { shelf.Stop(); }
};
shelfdics::Shelf DicMenuTest::shelf;
std::vector<DWORD> DicMenuTest::ids;
std::vector<std::string> DicMenuTest::names;

TEST_F(DicMenuTest, ExtraItemIsCheckedForNoCurrentDictionary)
{
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(6, Widgetry_FillDicMenu(menu, 0, TRUE, 0, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0));
    std::vector<MenuItem> items = ReadMenu(menu);
    ASSERT_EQ(6u, items.size());
    char extra[256] = "";
    Uiassets_LoadString(UIA_IDS_DEFAULT_DIC, extra, sizeof extra);
    EXPECT_EQ(std::string(extra), items[0].text);
    EXPECT_EQ((UINT)WIDGETRY_DICMENU_FIRST, items[0].command);
    EXPECT_TRUE(items[0].checked);
    EXPECT_TRUE(items[0].radio);
    EXPECT_EQ(0u, items[0].data);
    EXPECT_TRUE(items[1].separator);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(names[i], items[2 + i].text);
        EXPECT_EQ(ids[i], items[2 + i].data);
        EXPECT_EQ((UINT)WIDGETRY_DICMENU_FIRST + 2 + i, items[2 + i].command);
        EXPECT_FALSE(items[2 + i].checked);
    }
    DestroyMenu(menu);
}

// The callers pass the number of entries they show as buttons: the menu lists the others.
TEST_F(DicMenuTest, PassesOverTheFirstEntriesOfTheList)
{
    const struct {
        BOOL extra;
        int skip;
        int current; // index of the current dictionary, -1 none
        size_t firstShown; // first entry of the list in the menu
    } cases[] = {
        {FALSE, 0, 0, 0}, {FALSE, 1, 2, 1}, {FALSE, 3, 3, 3}, {TRUE, 2, 2, 2},
        {TRUE, 1, -1, 1}, {FALSE, 4, -1, 4}, {TRUE, 9, -1, 4}, {FALSE, -2, -1, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "extra " << c.extra << " skip " << c.skip);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING, 1, "left over from before");
        DWORD current = c.current >= 0 ? ids[c.current] : 0x7777;
        int made = Widgetry_FillDicMenu(menu, current, c.extra, c.skip, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0);
        std::vector<MenuItem> items = ReadMenu(menu);
        size_t lead = c.extra ? 2 : 0;
        ASSERT_EQ(lead + ids.size() - c.firstShown, items.size());
        EXPECT_EQ((int)items.size(), made);
        if (c.extra) {
            EXPECT_FALSE(items[0].checked);
        }
        for (size_t i = lead; i < items.size(); i++) {
            size_t entry = c.firstShown + i - lead;
            EXPECT_EQ(ids[entry], items[i].data);
            EXPECT_EQ(WIDGETRY_DICMENU_FIRST + i, items[i].command);
            EXPECT_EQ((int)entry == c.current, items[i].checked);
        }
        DestroyMenu(menu);
    }
}

TEST_F(DicMenuTest, FilterAndBadMenu)
{
    HMENU menu = CreatePopupMenu();
    // Only the Japanese dictionary has language 0x0400 as its own.
    EXPECT_EQ(1, Widgetry_FillDicMenu(menu, 0, FALSE, 0, LEXSHELF_ENUM_LANGUAGE, 0x0400));
    std::vector<MenuItem> items = ReadMenu(menu);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(ids[1], items[0].data);
    DestroyMenu(menu);
    EXPECT_EQ(0, Widgetry_FillDicMenu(nullptr, 0, TRUE, 0, 0, 0));
}

} // namespace
