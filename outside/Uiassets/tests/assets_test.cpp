// The resource library as its callers use it: strings read back in the process's code page,
// formatted strings, the usage-graph dialog template, message boxes scripted for unattended runs.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "uiassets.h"

TEST(Assets, StringsComeBackInShiftJis) {
    HMODULE m = GetModuleHandleA("Uiassets.dll");
    ASSERT_EQ(m, Uiassets_GetModule());
    char buf[256];
    ASSERT_GT(LoadStringA(m, UIA_IDS_SHORTCUT_NAME, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "Velomira");
    ASSERT_GT(Uiassets_LoadString(UIA_IDS_GRAPH_WEEK_OLDER, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "\x91\x4f\x82\xcc\x8f\x54");  // "previous week" in Shift-JIS
    for (UINT id : std::initializer_list<UINT>{UIA_IDS_NEW_DICTIONARIES, UIA_IDS_NO_CANDIDATE, UIA_IDS_GRAPH_MONTH_OLDER, UIA_IDS_GRAPH_WEEK_NEWER,
                    UIA_IDS_GRAPH_LASTDAY, UIA_IDS_GRAPH_COUNTS, UIA_IDS_GRAPH_MONTH_NEWER, 2001u, 2011u, 2111u, 1211u, 4u, 1001u, 1021u, 1024u, 2457u, 2113u, 2117u, 5501u, 10000u, 10018u})
        EXPECT_GT(Uiassets_LoadString(id, buf, sizeof buf), 0) << id;
    EXPECT_EQ(Uiassets_LoadString(65000, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Uiassets_LoadString(2, nullptr, 10), 0);
}

TEST(Assets, FormattedStringsTakeTheirArguments) {
    char out[256];
    int n = Uiassets_FormatString(out, sizeof out, UIA_IDS_GRAPH_LASTDAY, 2026, 12, 10);
    EXPECT_EQ(n, (int)strlen(out));
    EXPECT_EQ(std::string(out).find("2026"), 0u);
    EXPECT_NE(std::string(out).find("12"), std::string::npos);
    char small[6];
    n = Uiassets_FormatString(small, sizeof small, UIA_IDS_GRAPH_LASTDAY, 2026, 12, 10);
    EXPECT_EQ(n, 5) << "cut to the buffer";
    EXPECT_EQ(Uiassets_FormatString(out, sizeof out, 65000, 1), 0);
    EXPECT_STREQ(out, "");
}

namespace {
INT_PTR CALLBACK EndAtOnce(HWND dlg, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        int found = 0;
        for (int id : {UIA_IDC_GRAPH_PLOT, UIA_IDC_GRAPH_OLDER, UIA_IDC_GRAPH_NEWER, UIA_IDC_GRAPH_LASTDAY,
                       UIA_IDC_GRAPH_SUMMARY, UIA_IDC_GRAPH_WEEK, UIA_IDC_GRAPH_MONTH, UIA_IDC_GRAPH_CLOSE})
            found += GetDlgItem(dlg, id) != nullptr;
        EndDialog(dlg, found);
        return TRUE;
    }
    return FALSE;
}
}  // namespace

TEST(Assets, UsageGraphTemplateHoldsEveryControl) {
    EXPECT_EQ(DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDD_USAGE_GRAPH), nullptr, EndAtOnce, 0), 8);
}

TEST(Assets, StudyListMenusPutTheirCommandsWhereTheProgramsLook) {
    HMENU manager = Uiassets_LoadMenu(UIA_IDM_STUDY_MANAGER);
    ASSERT_NE(manager, nullptr);
    HMENU list = GetSubMenu(manager, 1), view = GetSubMenu(manager, 2);
    for (UINT cmd : {5002u, 5004u, 5007u})
        EXPECT_NE(GetMenuState(list, cmd, MF_BYCOMMAND), (UINT)-1) << cmd;
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(GetMenuItemID(view, i), 5741u + i) << "the four views first";
    DestroyMenu(manager);
    HMENU viewer = Uiassets_LoadMenu(UIA_IDM_STUDY_VIEWER);
    ASSERT_NE(viewer, nullptr);
    for (UINT cmd : {5404u, 5405u})
        EXPECT_NE(GetMenuState(GetSubMenu(viewer, 2), cmd, MF_BYCOMMAND), (UINT)-1) << cmd;
    DestroyMenu(viewer);
}

TEST(Assets, MessageBoxAnswersFromTheScript) {
    _putenv_s("UIASSETS_MESSAGEBOX_ANSWER", "7");
    EXPECT_EQ(Uiassets_MessageBox(nullptr, UIA_IDS_DELETE_ENTRY, UIA_IDS_CAPTION_MAIN, MB_YESNO), 7);
    _putenv_s("UIASSETS_MESSAGEBOX_ANSWER", "");
    EXPECT_EQ(Uiassets_LoadMenu(65000), nullptr);
    EXPECT_EQ(Uiassets_LoadCursor(65000), nullptr);
    HICON l = nullptr, s = nullptr;
    EXPECT_EQ(Uiassets_GetIcons(65000, &l, &s), 0);
}

TEST(Assets, IconsCursorsAndBitmapsByNumber) {
    for (UINT id : {1u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 186u, 50u, 52u, 54u, 55u, 56u, 58u, 59u, 100u, 101u, 109u, 111u, 175u, 176u, 183u, 200u, 221u, 223u}) {
        HICON large = nullptr, small = nullptr;
        EXPECT_EQ(Uiassets_GetIcons(id, &large, &small), 1) << id;
        ICONINFO info = {};
        ASSERT_TRUE(small && GetIconInfo(small, &info)) << id;
        BITMAP bm = {};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON)) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        EXPECT_NE(Uiassets_LoadIcon(id), nullptr) << id;
    }
    for (UINT id : {2u, 3u, 103u})
        EXPECT_NE(Uiassets_LoadCursor(id), nullptr) << id;
    HBITMAP strip = LoadBitmapA(Uiassets_GetModule(), MAKEINTRESOURCEA(1000));
    ASSERT_NE(strip, nullptr);
    BITMAP bm = {};
    GetObjectA(strip, sizeof bm, &bm);
    EXPECT_EQ(bm.bmHeight, 16);
    EXPECT_EQ(bm.bmWidth % 16, 0);
    EXPECT_GE(bm.bmWidth / 16, 33) << "tool-bar images up to index 32";
    DeleteObject(strip);
}
