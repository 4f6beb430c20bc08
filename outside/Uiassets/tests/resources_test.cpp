// The resource library as the suite's programs use it under a Japanese user interface: every
// string they load, the menus at the positions they use, the editor's accelerators, every icon
// through ExtractIconExA with its negative id, every dialog template with exactly the control ids
// its owner looks for and texts that fit, and the option sheets built from the pages.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "resource_table.h"

namespace {

bool HasShiftJis(const char *s) {
    for (; *s; s++)
        if ((unsigned char)*s >= 0x80) return true;
    return false;
}

// The strings of one 16-string block of one language: length of each (0 when absent).
std::vector<int> BlockLengths(HMODULE m, int block, WORD lang) {
    std::vector<int> lengths;
    HRSRC r = FindResourceExA(m, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(block), lang);
    if (!r) return lengths;
    const WCHAR *p = (const WCHAR *)LockResource(LoadResource(m, r));
    for (int i = 0; i < 16; i++) {
        lengths.push_back(*p);
        p += 1 + *p;
    }
    return lengths;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR user) {
    if (IS_INTRESOURCE(name)) ((std::vector<int> *)user)->push_back((int)(ULONG_PTR)name);
    return TRUE;
}

bool HasCommand(HMENU menu, UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND) != (UINT)-1; }

}  // namespace

TEST(Strings, EveryStringTheProgramsLoadIsThereInShiftJis) {
    char buf[512];
    int japanese = 0;
    for (UINT id : LoadedStrings()) {
        EXPECT_GT(Uiassets_LoadString(id, buf, sizeof buf), 0) << id;
        japanese += HasShiftJis(buf);
    }
    EXPECT_GT(japanese, (int)LoadedStrings().size() * 9 / 10) << "texts come back in code page 932";
    Uiassets_LoadString(UIA_IDS_TAB_FIRST, buf, sizeof buf);
    EXPECT_STREQ(buf, "\x96\xda\x8e\x9f");  // "contents" in Shift-JIS
}

TEST(Strings, EveryStringExistsInBothLanguages) {
    HMODULE m = Uiassets_GetModule();
    std::vector<int> blocks;
    EnumResourceNamesA(m, (LPCSTR)RT_STRING, CollectName, (LONG_PTR)&blocks);
    ASSERT_GT(blocks.size(), 20u);
    for (int block : blocks) {
        std::vector<int> ja = BlockLengths(m, block, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        std::vector<int> en = BlockLengths(m, block, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        ASSERT_EQ(ja.size(), 16u) << "block " << block;
        ASSERT_EQ(en.size(), 16u) << "block " << block;
        for (int i = 0; i < 16; i++)
            EXPECT_EQ(ja[i] > 0, en[i] > 0) << "string " << (block - 1) * 16 + i;
    }
}

TEST(Strings, FormatsTakeTheArgumentsTheirCallersPass) {
    char out[256];
    EXPECT_GT(Uiassets_FormatString(out, sizeof out, UIA_IDS_FOUND_SPACE, "1.50 GB", "20.00 GB"), 0);
    EXPECT_NE(strstr(out, "20.00 GB"), nullptr);
    Uiassets_FormatString(out, sizeof out, UIA_IDS_SIZE_GB, 1, 5);
    EXPECT_STREQ(out, "1.05 GB");
    Uiassets_FormatString(out, sizeof out, UIA_IDS_NETWORK_DRIVE, "server", "share");
    EXPECT_EQ(strncmp(out, "\\\\server\\share", 14), 0) << out;
    Uiassets_FormatString(out, sizeof out, UIA_IDS_DICLIST_LANGUAGE, 0x0C00);
    EXPECT_NE(strstr(out, "0C00"), nullptr);
    char filter[128];
    int n = Uiassets_LoadFilter(UIA_IDS_LIST_FILTER, filter, sizeof filter);
    ASSERT_GT(n, 0);
    EXPECT_STREQ(filter + strlen(filter) + 1, "*.vlh") << "the pattern follows the first name";
    EXPECT_EQ(filter[n], 0);
    EXPECT_EQ(filter[n - 1], 0) << "two zero bytes end the filter";
}

TEST(Menus, SearchWindowMenuPutsItsCommandsWhereTheWindowLooks) {
    HMENU menu = Uiassets_LoadMenu(UIA_IDM_SEARCH_WINDOW);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 7);
    HMENU words = GetSubMenu(menu, UIA_SEARCH_MENU_WORD);
    for (UINT cmd : {UIA_CMD_NEW_WORD, UIA_CMD_EDIT_WORD, UIA_CMD_DELETE_WORD, UIA_CMD_PRONOUNCE,
                     UIA_CMD_LANGUAGE_MANAGER, UIA_CMD_ADD_TO_LIST})
        EXPECT_TRUE(HasCommand(words, cmd)) << cmd;
    HMENU text = GetSubMenu(menu, UIA_SEARCH_MENU_TEXT);
    EXPECT_NE(GetSubMenu(text, 0), nullptr) << "font sizes";
    EXPECT_NE(GetSubMenu(text, 1), nullptr) << "display styles";
    EXPECT_EQ(GetMenuItemID(text, 2), (UINT)UIA_CMD_SEND_TEXT);
    EXPECT_EQ(GetMenuItemID(text, 3), (UINT)UIA_CMD_PRINT);
    HMENU search = GetSubMenu(menu, UIA_SEARCH_MENU_DICTIONARY);
    for (UINT cmd : {UIA_CMD_SEARCH, UIA_CMD_CONDITIONS, UIA_CMD_BACK, UIA_CMD_FORWARD, UIA_CMD_EARLIER,
                     UIA_CMD_LATER, UIA_CMD_ORDER_DIALOG})
        EXPECT_TRUE(HasCommand(search, cmd)) << cmd;
    for (UINT cmd : {UIA_CMD_NEW, UIA_CMD_CLOSE, UIA_CMD_CUT, UIA_CMD_SELECT_ALL, UIA_CMD_OPTIONS,
                     UIA_CMD_TYPING_DRILL, UIA_CMD_HELP_CONTENTS, UIA_CMD_HELP_SUPPORT, UIA_CMD_HELP_WINDOW})
        EXPECT_TRUE(HasCommand(menu, cmd)) << cmd;
    char title[64];
    GetMenuStringA(menu, 0, title, sizeof title, MF_BYPOSITION);
    EXPECT_TRUE(HasShiftJis(title)) << "the Japanese menu";
    DestroyMenu(menu);
}

TEST(Menus, WordEditorMenuHoldsTheFormatCommandsInItsFifthSubmenu) {
    HMENU menu = Uiassets_LoadMenu(UIA_IDM_WORD_EDITOR);
    ASSERT_NE(menu, nullptr);
    HMENU format = GetSubMenu(menu, UIA_WORD_EDITOR_FORMAT_MENU);
    ASSERT_NE(format, nullptr);
    for (UINT cmd = UIA_CMD_SIZE_FIRST; cmd < UIA_CMD_SIZE_FIRST + 5; cmd++) EXPECT_TRUE(HasCommand(format, cmd));
    for (UINT cmd : {UIA_CMD_BOLD, UIA_CMD_ITALIC, UIA_CMD_UNDERLINE, UIA_CMD_CHARSET_WESTERN,
                     UIA_CMD_CHARSET_JAPANESE})
        EXPECT_TRUE(HasCommand(format, cmd)) << cmd;
    for (UINT cmd = UIA_CMD_CUT; cmd <= UIA_CMD_SELECT_ALL; cmd++) EXPECT_TRUE(HasCommand(menu, cmd)) << cmd;
    for (UINT cmd = UIA_CMD_VIEW_LARGE; cmd <= UIA_CMD_VIEW_DETAILS; cmd++) EXPECT_TRUE(HasCommand(menu, cmd));
    EXPECT_TRUE(HasCommand(menu, 1365)) << "save";
    EXPECT_TRUE(HasCommand(menu, UIA_CMD_CLOSE));
    DestroyMenu(menu);
}

TEST(Accelerators, WordEditorKeysReachTheirCommands) {
    HACCEL table = LoadAcceleratorsA(Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDA_WORD_EDITOR));
    ASSERT_NE(table, nullptr);
    ACCEL keys[64];
    int n = CopyAcceleratorTableA(table, keys, 64);
    std::map<std::pair<int, int>, int> byKey;  // (modifier flags, key) -> command
    for (int i = 0; i < n; i++) {
        auto key = std::make_pair(keys[i].fVirt & (FCONTROL | FALT | FSHIFT), (int)keys[i].key);
        EXPECT_EQ(byKey.count(key), 0u) << "one command per key";
        byKey[key] = keys[i].cmd;
    }
    EXPECT_EQ(byKey[std::make_pair((int)FCONTROL, (int)'S')], 1365);
    EXPECT_EQ(byKey[std::make_pair((int)FCONTROL, (int)'Z')], UIA_CMD_UNDO);
    EXPECT_EQ(byKey[std::make_pair((int)FCONTROL, (int)'B')], UIA_CMD_BOLD);
    EXPECT_EQ(byKey[std::make_pair((int)FALT, (int)'W')], UIA_CMD_FOCUS_HEADWORD);
    EXPECT_EQ(byKey[std::make_pair((int)FALT, (int)'R')], UIA_CMD_FOCUS_READING);
    EXPECT_EQ(byKey[std::make_pair((int)FALT, (int)'S')], UIA_CMD_FOCUS_SAVE);
    EXPECT_EQ(byKey[std::make_pair((int)FALT, (int)'C')], UIA_CMD_FOCUS_CLOSE);
    EXPECT_EQ(byKey[std::make_pair(0, VK_F1)], UIA_CMD_HELP_CONTENTS);
    DestroyAcceleratorTable(table);
}

TEST(Icons, EveryIconComesOutOfTheFileByItsNegativeIdInBothSizes) {
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(Uiassets_GetModule(), path, sizeof path), 0u);
    for (int id : LoadedIcons()) {
        if (id == 1) continue;  // -1 asks for the number of icons; icon 1 is taken by LoadImageA
        HICON large = nullptr, small = nullptr;
        EXPECT_EQ(ExtractIconExA(path, -id, &large, &small, 1), 2u) << id;
        ASSERT_TRUE(large && small) << id;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(small, &info));
        BITMAP bm = {};
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON)) << id;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(large);
        DestroyIcon(small);
    }
    HICON none = nullptr;
    EXPECT_EQ(ExtractIconExA(path, -65000, &none, nullptr, 1), 0u);
}

TEST(Dialogs, EveryTemplateHoldsItsControlsAndItsTextsFit) { CheckEveryDialog("MS UI Gothic", ""); }

namespace {
INT_PTR CALLBACK CountAndEnd(HWND dlg, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    const DialogCase *d = (const DialogCase *)lp;
    int found = 0;
    for (int id : d->controls) found += GetDlgItem(dlg, id) != nullptr;
    EndDialog(dlg, found);
    return TRUE;
}
}  // namespace

TEST(Dialogs, ModalTemplatesRunWithDialogBoxParam) {
    RegisterStandInClasses();
    for (const DialogCase &d : DialogCases()) {
        if (d.child) continue;
        INT_PTR r = DialogBoxParamA(Uiassets_GetModule(), MAKEINTRESOURCEA(d.id), nullptr, CountAndEnd, (LPARAM)&d);
        EXPECT_EQ(r, (INT_PTR)d.controls.size()) << d.name;
    }
}

namespace {
INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// A modeless property sheet from the library's pages, as the option window builds it.
HWND CreateSheet(const std::vector<std::pair<int, int>> &pages, const char *caption) {
    std::vector<PROPSHEETPAGEA> psp(pages.size());
    for (size_t i = 0; i < pages.size(); i++) {
        psp[i] = {};
        psp[i].dwSize = sizeof psp[i];
        psp[i].dwFlags = PSP_USETITLE | PSP_HASHELP;
        psp[i].hInstance = Uiassets_GetModule();
        psp[i].pszTemplate = MAKEINTRESOURCEA(pages[i].first);
        psp[i].pszTitle = MAKEINTRESOURCEA(pages[i].second);
        psp[i].pfnDlgProc = PageProc;
    }
    PROPSHEETHEADERA h = {};
    h.dwSize = sizeof h;
    h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USEICONID;
    h.hInstance = Uiassets_GetModule();
    h.pszIcon = MAKEINTRESOURCEA(UIA_IDI_OPTIONS);
    h.pszCaption = caption;
    h.nPages = (UINT)psp.size();
    h.ppsp = psp.data();
    return (HWND)PropertySheetA(&h);
}

void SavePage(HWND sheet, int index, const char *path) {
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    EXPECT_TRUE(Testkit_SaveWindowPicture(sheet, path));  // for a person to look at
}
}  // namespace

TEST(Sheets, MainOptionSheetShowsItsSevenPages) {
    RegisterStandInClasses();
    std::vector<std::pair<int, int>> pages = {
        {UIA_IDD_OPT_STARTUP, UIA_IDS_PAGE_STARTUP},       {UIA_IDD_OPT_CAPTURE, UIA_IDS_PAGE_CAPTURE},
        {UIA_IDD_OPT_HOTKEYS, UIA_IDS_PAGE_HOTKEYS},       {UIA_IDD_OPT_POPUP, UIA_IDS_PAGE_POPUP},
        {UIA_IDD_OPT_CANDIDATES, UIA_IDS_PAGE_CANDIDATES}, {UIA_IDD_OPT_RESTRICTION, UIA_IDS_PAGE_RESTRICTION},
        {UIA_IDD_OPT_CONTROL_BAR, UIA_IDS_PAGE_CONTROL_BAR}};
    HWND sheet = CreateSheet(pages, MAKEINTRESOURCEA(UIA_IDS_CAPTION_OPTIONS));
    ASSERT_NE(sheet, nullptr);
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    char caption[64];
    GetWindowTextA(sheet, caption, sizeof caption);
    EXPECT_TRUE(HasShiftJis(caption)) << caption;
    HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; i++) {
        SendMessageA(sheet, PSM_SETCURSEL, i, 0);
        HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
        ASSERT_NE(page, nullptr) << i;
        EXPECT_GT(ChildIds(page).size(), 5u) << i;
    }
    SavePage(sheet, 0, "sheet_startup.bmp");
    SavePage(sheet, 1, "sheet_capture.bmp");
    SavePage(sheet, 3, "sheet_popup.bmp");
    DestroyWindow(sheet);
}

TEST(Sheets, LanguageSheetShowsItsSixPages) {
    RegisterStandInClasses();
    char caption[128];
    Uiassets_FormatString(caption, sizeof caption, UIA_IDS_LANG_CAPTION, "\x89\x70\x8c\xea");  // "English"
    std::vector<std::pair<int, int>> pages = {
        {UIA_IDD_OPT_LANG_POPUP, UIA_IDS_PAGE_LANG_FIRST},         {UIA_IDD_OPT_LANG_SEARCH, UIA_IDS_PAGE_LANG_FIRST + 1},
        {UIA_IDD_OPT_LANG_SEARCH, UIA_IDS_PAGE_LANG_FIRST + 2},    {UIA_IDD_OPT_LANG_SEARCH, UIA_IDS_PAGE_LANG_FIRST + 3},
        {UIA_IDD_OPT_LANG_CLIPBOARD, UIA_IDS_PAGE_LANG_FIRST + 4}, {UIA_IDD_OPT_LANG_FONTS, UIA_IDS_PAGE_LANG_FONTS}};
    HWND sheet = CreateSheet(pages, caption);
    ASSERT_NE(sheet, nullptr);
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 6);
    SavePage(sheet, 0, "sheet_language.bmp");
    DestroyWindow(sheet);
}

TEST(Dialogs, TextCheckSeesACutText) {
    HWND host = CreateHost();
    ASSERT_NE(host, nullptr);
    HWND narrow = CreateWindowExA(0, "Button", "\x8c\x9f\x8d\xf5\x8c\x8b\x89\xca\x82\xf0\x95\xdb\x91\xb6",  // "save the results"
                                  WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 40, 16, host, nullptr, nullptr, nullptr);
    SendMessageA(narrow, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    EXPECT_NE(TextProblem(narrow), "");
    MoveWindow(narrow, 0, 0, 200, 16, FALSE);
    EXPECT_EQ(TextProblem(narrow), "");
    HWND low = CreateWindowExA(0, "Static", "one two three four five six seven eight nine ten", WS_CHILD | WS_VISIBLE,
                               0, 20, 60, 14, host, nullptr, nullptr, nullptr);
    SendMessageA(low, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    EXPECT_NE(TextProblem(low), "") << "wrapped lines below the label's bottom";
    DestroyWindow(host);
}
