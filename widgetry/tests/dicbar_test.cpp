// The dictionary bar over the search list of four fixture dictionaries: the buttons' texts under
// each modifier, clicks and their notices, the fixed buttons, the menu of the items the bar does
// not show, and a dictionary added and removed by another process while the bar is up (the bars
// over the search and the translation list and the menu follow); a picture of the bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "shelfdics.h"
#include "support/testkit_gdi.h"
#include "uiassets.h"
#include "widgetry.h"

namespace {

const UINT kBarId = 55;

struct Parent {
    HWND window = nullptr;
    std::vector<DWORD> chosen;
    std::vector<UINT> commands;
    int rightClicks = 0;
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Parent *p = reinterpret_cast<Parent *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (p && message == WM_NOTIFY) {
        const NMHDR *h = reinterpret_cast<const NMHDR *>(lParam);
        if (h->code == WIDGETRY_DBN_CHOSEN) p->chosen.push_back(reinterpret_cast<const VLDicChoice *>(lParam)->id);
        if (h->code == static_cast<UINT>(NM_RCLICK)) p->rightClicks++;
        return 0;
    }
    if (p && message == WM_COMMAND) {
        p->commands.push_back(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string TextOf(HWND bar, int button)
{
    char text[256] = "";
    GetWindowTextA(GetDlgItem(bar, button), text, sizeof text);
    return text;
}

std::string Loaded(UINT id)
{
    char text[256] = "";
    Uiassets_LoadString(id, text, sizeof text);
    return text;
}

// One parent window for the whole suite (a top-level window costs time to make and close); each
// case gets a bar of its own and records its notices from nothing.
class DicBarTest : public ::testing::Test {
protected:
    static shelfdics::Shelf shelf;
    static Parent parent;
    HWND bar = nullptr;
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(shelf.Start("dicbar", 3));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DicBarParent";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassA(&wc);
        parent.window = CreateWindowA("DicBarParent", "bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1260, 80, nullptr,
                                      nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(parent.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&parent));
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent.window);
        shelf.Stop();
    }
    void SetUp() override
    {
        parent.chosen.clear();
        parent.commands.clear();
        parent.rightClicks = 0;
        bar = Widgetry_CreateDicBar(shelfdics::Kind(LEXSHELF_LIST_SEARCH), 0, 0, 0, 1240, 26, parent.window,
                                    parent.window, nullptr, kBarId);
    }
    void TearDown() override { DestroyWindow(bar); }
};
shelfdics::Shelf DicBarTest::shelf;
Parent DicBarTest::parent;

TEST_F(DicBarTest, ButtonsShowTheListUnderEachModifier)
{
    ASSERT_TRUE(bar != nullptr);
    std::vector<std::string> names = shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_SEARCH));
    ASSERT_EQ(3u, names.size());
    EXPECT_EQ(Loaded(UIA_IDS_HELP_BUTTON), TextOf(bar, 1124));
    for (int i = 0; i < 3; i++) EXPECT_EQ(names[i], TextOf(bar, 1125 + i));
    EXPECT_EQ("", TextOf(bar, 1128));
    EXPECT_EQ(Loaded(UIA_CMD_ORDER_DIALOG), TextOf(bar, 1135));
    shelfdics::PumpAll();
    Testkit_SaveClientPicture(parent.window, (Testkit_Cwd() + "\\dicbar.bmp").c_str());
    // With Ctrl held every button stands for items 23 to 34: none of them exists.
    SendMessageA(bar, WIDGETRY_DBM_SETMODIFIERS, 2, 0);
    for (int b = 1124; b <= 1135; b++) EXPECT_EQ("", TextOf(bar, b)) << b;
    SendMessageA(bar, WIDGETRY_DBM_SETMODIFIERS, 0, 0);
    EXPECT_EQ(names[0], TextOf(bar, 1125));
}

TEST_F(DicBarTest, ClicksChooseAndTell)
{
    std::vector<DWORD> ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_SEARCH));
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(1126, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<DWORD>{ids[1]}), parent.chosen);
    EXPECT_EQ(ids[1], (DWORD)SendMessageA(bar, WIDGETRY_DBM_GETCURRENT, 0, 0));
    // An empty button changes nothing and tells nothing.
    EXPECT_EQ(1, SendMessageA(bar, WM_COMMAND, MAKEWPARAM(1130, BN_CLICKED), 0));
    EXPECT_EQ(1u, parent.chosen.size());
    EXPECT_EQ(ids[1], (DWORD)SendMessageA(bar, WIDGETRY_DBM_GETCURRENT, 0, 0));
    // Commands: item 3 by 3003; help and the order dialog go to the notify window.
    SendMessageA(bar, WM_USER, 3003, 0);
    EXPECT_EQ(ids[2], parent.chosen.back());
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(1124, BN_CLICKED), 0);
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(1135, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<UINT>{WIDGETRY_DBC_HELP, UIA_CMD_ORDER_DIALOG}), parent.commands);
    EXPECT_EQ(0, SendMessageA(bar, WM_USER, 2999, 0));
    // Setting the current id tells nothing.
    SendMessageA(bar, WIDGETRY_DBM_SETCURRENT, ids[0], 0);
    EXPECT_EQ(2u, parent.chosen.size());
    EXPECT_EQ(ids[0], (DWORD)SendMessageA(bar, WIDGETRY_DBM_GETCURRENT, 0, 0));
    SendMessageA(bar, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(1, parent.rightClicks);
}

// The menu of the pop-up list passes over as many entries as the bar shows as buttons.
TEST_F(DicBarTest, MenuListsWhatTheBarDoesNotShow)
{
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(3, Widgetry_FillDicMenu(menu, 0, FALSE, 0, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0));
    EXPECT_EQ(1, Widgetry_FillDicMenu(menu, 0, FALSE, 2, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0));
    char text[256] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_POPUP))[2], std::string(text));
    DestroyMenu(menu);
}

// Choosing for a language pair: the current item when it fits, else the first that fits and is
// not the one to avoid.  Every fixture dictionary has its own language and Japanese.
TEST_F(DicBarTest, ChoosesADictionaryForALanguagePair)
{
    std::vector<DWORD> ids = shelfdics::Ids(shelfdics::Kind(LEXSHELF_LIST_SEARCH));
    std::vector<std::string> names = shelfdics::Names(shelfdics::Kind(LEXSHELF_LIST_SEARCH));
    auto idOf = [&](const std::string &name) {
        for (size_t i = 0; i < names.size(); i++)
            if (names[i] == name) return ids[i];
        return DWORD(0);
    };
    DWORD english = idOf("English-Japanese"), french = idOf("French-Japanese");
    ASSERT_TRUE(english && french);
    SendMessageA(bar, WIDGETRY_DBM_SETCURRENT, french, 0);
    EXPECT_EQ(french, (DWORD)SendMessageA(bar, WIDGETRY_DBM_CHOOSEFORPAIR, MAKEWPARAM(0x0200, 0x0400), 0));
    EXPECT_EQ(english, (DWORD)SendMessageA(bar, WIDGETRY_DBM_CHOOSEFORPAIR, MAKEWPARAM(0x0100, 0x0400), 0));
    EXPECT_EQ(english, (DWORD)SendMessageA(bar, WIDGETRY_DBM_GETCURRENT, 0, 0));
    // Nothing fits: 0, the current item stays.
    EXPECT_EQ(0u, (DWORD)SendMessageA(bar, WIDGETRY_DBM_CHOOSEFORPAIR, MAKEWPARAM(0x0300, 0x0400), english));
    EXPECT_EQ(0u, (DWORD)SendMessageA(bar, WIDGETRY_DBM_CHOOSEFORPAIR, MAKEWPARAM(0x0100, 0), 0));
    EXPECT_EQ(english, (DWORD)SendMessageA(bar, WIDGETRY_DBM_GETCURRENT, 0, 0));
    EXPECT_TRUE(parent.chosen.empty()); // no notice for this choice
}

// Another process adds a user dictionary and later removes it: once the manager's notices have
// come, the bars over the search and the translation list (told VLM_REFRESH_DICTIONARIES) and a
// menu filled anew show it as their fourth item, and then no longer.
TEST_F(DicBarTest, BarsAndMenuFollowADictionaryAddedAndRemovedElsewhere)
{
    HWND translation = Widgetry_CreateDicBar(shelfdics::Kind(LEXSHELF_LIST_TRANSLATE), WIDGETRY_DBS_WEB, 0, 26, 1240,
                                             26, parent.window, parent.window, nullptr, kBarId + 1);
    ASSERT_TRUE(translation != nullptr);
    VLPriorityList *search = shelfdics::Kind(LEXSHELF_LIST_SEARCH);
    HMENU menu = CreatePopupMenu();
    auto menuTexts = [&] {
        Widgetry_FillDicMenu(menu, 0, FALSE, 0, LEXSHELF_ENUM_GROUPS | LEXSHELF_ENUM_TYPE1, 0);
        std::vector<std::string> texts;
        for (int i = 0; i < GetMenuItemCount(menu); i++) {
            char text[256] = "";
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            texts.push_back(text);
        }
        return texts;
    };
    auto refresh = [&] {
        SendMessageA(bar, WIDGETRY_DBM_REFRESH, 0, 0);
        SendMessageA(translation, WIDGETRY_DBM_REFRESH, 0, 0);
    };
    std::vector<std::string> before = menuTexts();
    ASSERT_EQ(3u, before.size());
    ASSERT_TRUE(shelfdics::PeerActs(shelf, "dic:PeerWords", [&] { return shelfdics::Ids(search).size() == 4; }));
    refresh();
    EXPECT_EQ("PeerWords", TextOf(bar, 1128));
    EXPECT_EQ("PeerWords", TextOf(translation, 1128));
    std::vector<std::string> added = before;
    added.push_back("PeerWords");
    EXPECT_EQ(added, menuTexts());
    // A click on the new button chooses the new dictionary.
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(1128, BN_CLICKED), 0);
    EXPECT_EQ((std::vector<DWORD>{shelfdics::Ids(search)[3]}), parent.chosen);
    shelfdics::PumpAll();
    Testkit_SaveClientPicture(parent.window, (Testkit_Cwd() + "\\dicbar_two_lists.bmp").c_str());
    ASSERT_TRUE(shelfdics::PeerActs(shelf, "remove:PeerWords", [&] { return shelfdics::Ids(search).size() == 3; }));
    refresh();
    EXPECT_EQ("", TextOf(bar, 1128));
    EXPECT_EQ("", TextOf(translation, 1128));
    EXPECT_EQ(before, menuTexts());
    DestroyMenu(menu);
    DestroyWindow(translation);
}

} // namespace
