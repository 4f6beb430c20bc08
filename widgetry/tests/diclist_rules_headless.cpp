// The dictionary list's rules without windows: source filters, hot-key labels, slots, icons and
// the other language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diclist_model.h"

TEST(DicListRules, FilterOfEachSourceKind)
{
    const DWORD expected[] = {7, 9, 1, 6, 4, 38, 17, 70, 3, 11, 7, 7};
    for (DWORD kind = 0; kind < 12; kind++) EXPECT_EQ(expected[kind], DicList_FilterOfKind(kind)) << kind;
    EXPECT_EQ(7u, DicList_FilterOfKind(0xFFFFFFFF));
}

TEST(DicListRules, HotKeyLabels)
{
    const struct {
        int position;
        const char *label;
    } cases[] = {
        {1, "F2"}, {10, "F11"}, {11, "Shift + F1"}, {22, "Shift + F12"}, {23, "Ctrl + F1"},
        {34, "Ctrl + F12"}, {35, "Shift + Ctrl + F1"}, {46, "Shift + Ctrl + F12"}, {47, ""}, {0, ""},
    };
    for (const auto &c : cases) {
        char text[32] = "x";
        EXPECT_EQ(c.label[0] != 0, DicList_HotKeyLabel(c.position, text, sizeof text)) << c.position;
        EXPECT_STREQ(c.label, text) << c.position;
    }
}

TEST(DicListRules, SlotsByDoubleClick)
{
    // Six rows double-clicked in turn: slots 1 to 5, then slot 5 moves to the sixth.
    std::vector<int> n(7, 0);
    for (int row = 0; row < 6; row++) DicList_ToggleSlot(n.data(), 7, row);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 0, 5, 0}), n);
    // Giving up slot 2 of slots 1 to 4 moves 3 and 4 down.
    std::vector<int> m = {1, 2, 3, 4, 0};
    DicList_ToggleSlot(m.data(), 5, 1);
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 0}), m);
    // A free row takes the lowest free slot.
    DicList_ToggleSlot(m.data(), 5, 4);
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 4}), m);
    // Rows outside are ignored.
    DicList_ToggleSlot(m.data(), 5, 5);
    DicList_ToggleSlot(m.data(), 5, -1);
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 4}), m);
}

TEST(DicListRules, GiveSlotTakesItFromTheFirstHolderOnly)
{
    std::vector<int> n = {1, 2, 3, 0};
    DicList_GiveSlot(n.data(), 4, 3, 2);
    EXPECT_EQ((std::vector<int>{1, 0, 3, 2}), n);
}

TEST(DicListRules, IconIndex)
{
    const struct {
        bool group, numbered;
        DWORD flags, kind, fileId;
        int icon;
    } cases[] = {
        {true, false, 0, 0, 0, 62},       {true, true, 0, 0, 0, 63},
        {false, false, 0, 1, 0x3100, 14}, {false, true, 0, 1, 0x3100, 15},
        {false, false, 0x01, 1, 0x3100, 16}, {false, false, 0x04, 1, 0x3100, 18},
        {false, false, 0, 3, 0x3100, 22},  // driver dictionary
        {false, true, 0, 4, 0xD123, 25},   // numbered book
        {false, false, 0, 1, 0xD123, 14},  // a static dictionary with a book's file id is no book
        {false, false, 0x10, 1, 0x3100, 26}, {false, false, 0x08, 1, 0x3100, 38},
        // Flags that add up past the last dictionary image fall back to the plain one.
        {false, true, 0x01 | 0x04 | 0x08 | 0x10, 4, 0xD000, 15},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.icon, DicList_IconIndex(c.group, c.numbered, c.flags, c.kind, c.fileId))
            << c.flags << " " << c.kind << " " << c.fileId;
}

TEST(DicListRules, RowHeightOfAFont)
{
    const struct {
        LONG fontHeight;
        int rowHeight;
    } cases[] = {{0, 17}, {-11, 17}, {12, 17}, {-17, 18}, {18, 18}, {-19, 20}, {24, 24}};
    for (const auto &c : cases) EXPECT_EQ(c.rowHeight, DicList_RowHeight(c.fontHeight)) << c.fontHeight;
}

TEST(DicListRules, OtherLanguage)
{
    const WORD one[] = {0x0400};
    const WORD two[] = {0x0100, 0x0400};
    const WORD same[] = {0x0100, 0, 0x0100};
    EXPECT_EQ(0x0400, DicList_OtherLanguage(0x3100, 0x0100, one, 1));
    EXPECT_EQ(0x0400, DicList_OtherLanguage(0x3100, 0x0100, two, 2));
    EXPECT_EQ(0x0100, DicList_OtherLanguage(4113, 0x0100, two, 2));
    EXPECT_EQ(0x0100, DicList_OtherLanguage(4236, 0x0100, two, 2));
    EXPECT_EQ(0xFFFF, DicList_OtherLanguage(0x3100, 0x0100, same, 3));
}

TEST(DicBarRules, ButtonsUnderEachModifier)
{
    const struct {
        int button, modifiers;
        bool web;
        int item;
    } cases[] = {
        {1124, 0, false, DICBAR_HELP}, {1125, 0, false, 1}, {1133, 0, false, 9}, {1134, 0, false, 10},
        {1135, 0, false, DICBAR_ORDER}, {1134, 0, true, DICBAR_WEB}, {1135, 0, true, DICBAR_ORDER},
        {1124, 1, false, 11}, {1135, 1, false, 22}, {1124, 2, false, 23}, {1135, 2, false, 34},
        {1124, 3, false, 35}, {1135, 3, false, 46},
        // With the web button the items past 10 move one down (item 10 then sits under Shift).
        {1124, 1, true, 10}, {1135, 3, true, 45},
        {1123, 0, false, 0}, {1136, 2, false, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.item, DicBar_ItemOfButton(c.button, c.modifiers, c.web)) << c.button << " " << c.modifiers;
}

TEST(DicBarRules, Commands)
{
    const struct {
        int command, item;
    } cases[] = {{3001, 1}, {3009, 9}, {3010, DICBAR_WEB}, {3011, 11}, {3046, 46}, {3000, 0}, {3047, 0}, {1124, 0}};
    for (const auto &c : cases) EXPECT_EQ(c.item, DicBar_ItemOfCommand(c.command)) << c.command;
}
