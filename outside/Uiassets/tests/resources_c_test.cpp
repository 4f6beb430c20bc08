// The resource library under a Western user interface (code page 1252): every string the
// programs load comes back in English, every dialog template is the English one, holds the same
// control ids and its texts fit; the menus are English.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "resource_table.h"

namespace {
bool PlainAscii(const char *s) {
    for (; *s; s++)
        if ((unsigned char)*s >= 0x80) return false;
    return true;
}
}  // namespace

TEST(EnglishStrings, EveryStringTheProgramsLoadIsThereInEnglish) {
    char buf[512];
    for (UINT id : LoadedStrings()) {
        EXPECT_GT(Uiassets_LoadString(id, buf, sizeof buf), 0) << id;
        EXPECT_TRUE(PlainAscii(buf)) << id << ": " << buf;
    }
    Uiassets_LoadString(UIA_IDS_TAB_FIRST, buf, sizeof buf);
    EXPECT_STREQ(buf, "Contents");
}

TEST(EnglishMenus, EveryMenuIsTheEnglishOne) {
    for (UINT id : {UIA_IDM_SEARCH_WINDOW, UIA_IDM_WORD_EDITOR, UIA_IDM_STUDY_MANAGER, UIA_IDM_STUDY_VIEWER}) {
        HMENU menu = Uiassets_LoadMenu(id);
        ASSERT_NE(menu, nullptr) << id;
        char title[64];
        GetMenuStringA(menu, 0, title, sizeof title, MF_BYPOSITION);
        EXPECT_STREQ(title, "&File") << id;
        for (int i = 0; i < GetMenuItemCount(menu); i++) {
            GetMenuStringA(menu, i, title, sizeof title, MF_BYPOSITION);
            EXPECT_TRUE(PlainAscii(title)) << id << ": " << title;
        }
        DestroyMenu(menu);
    }
}

TEST(EnglishDialogs, EveryTemplateHoldsItsControlsAndItsTextsFit) {
    CheckEveryDialog("MS Sans Serif", "_en");
}
