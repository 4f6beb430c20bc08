// The resource library as its callers use it: strings read back in the process's code page,
// formatted strings, the usage-graph dialog template, message boxes scripted for unattended runs.
#include <windows.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
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

TEST(Assets, MessageBoxesAreRecordedAndLogged) {
    const char *log = "boxes.log";
    DeleteFileA(log);
    _putenv_s("UIASSETS_MESSAGEBOX_LOG", log);
    _putenv_s("UIASSETS_MESSAGEBOX_ANSWER", "6,7");
    int before = Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr);
    std::vector<int> answers;
    answers.push_back(Uiassets_MessageBoxFormat(nullptr, UIA_IDS_FINDER_CAPTION, MB_YESNO, UIA_IDS_CREATE_FOLDER,
                                                "C:\\dic"));
    UINT textId = 0, style = 0;
    char text[256];
    EXPECT_EQ(Uiassets_LastMessageBox(&textId, text, sizeof text, &style), before + 1);
    EXPECT_EQ(textId, (UINT)UIA_IDS_CREATE_FOLDER);
    EXPECT_EQ(style, (UINT)MB_YESNO);
    EXPECT_NE(strstr(text, "C:\\dic"), nullptr) << "formatted with the path";
    answers.push_back(Uiassets_MessageBoxText(nullptr, "plain text", nullptr, MB_OK | MB_ICONSTOP));
    EXPECT_EQ(Uiassets_LastMessageBox(&textId, text, sizeof text, &style), before + 2);
    EXPECT_EQ(textId, 0u);
    EXPECT_STREQ(text, "plain text");
    EXPECT_EQ(style, (UINT)(MB_OK | MB_ICONSTOP));
    answers.push_back(Uiassets_MessageBox(nullptr, UIA_IDS_LINK_NO_NAME, 0, MB_OK));
    _putenv_s("UIASSETS_MESSAGEBOX_ANSWER", "");
    _putenv_s("UIASSETS_MESSAGEBOX_LOG", "");
    // The answers are taken in turn from the list's start; past its end the last one repeats.
    EXPECT_EQ(answers, (std::vector<int>{6, 7, 7}));
    FILE *f = fopen(log, "rb");
    ASSERT_NE(f, nullptr);
    char line[512];
    int lines = 0;
    unsigned id = 0, st = 0;
    int answer = 0;
    while (fgets(line, sizeof line, f)) {
        ASSERT_EQ(sscanf(line, "%u\t%u\t%d\t", &id, &st, &answer), 3) << line;
        EXPECT_EQ(answer, answers[lines]);
        lines++;
    }
    fclose(f);
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(id, (unsigned)UIA_IDS_LINK_NO_NAME);
}

TEST(Assets, FilterStringsEndWithTwoZeroBytes) {
    char buf[128];
    memset(buf, 'x', sizeof buf);
    int n = Uiassets_LoadFilter(UIA_IDS_LIST_FILTER, buf, sizeof buf);
    ASSERT_GT(n, 0);
    int parts = 0;
    for (const char *p = buf; *p; p += strlen(p) + 1) parts++;
    EXPECT_EQ(parts, 4) << "two names, two patterns";
    EXPECT_EQ(buf[n], 0);
    char small[8];
    EXPECT_EQ(Uiassets_LoadFilter(UIA_IDS_LIST_FILTER, small, sizeof small), 0) << "does not fit";
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(Uiassets_LoadFilter(65000, buf, sizeof buf), 0);
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
