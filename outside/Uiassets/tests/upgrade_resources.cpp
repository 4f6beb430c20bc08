// The upgrade program's own resources, compiled into this program as that program does: its
// English string table word for word, the Japanese one under the same ids, and its three dialogs
// in both languages with exactly their control ids and texts that fit.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "resource_table.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const WORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// String id of one language as ANSI text of the code page given, or "" when it has none.
std::string StringOf(UINT id, WORD lang, UINT codepage) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC r = FindResourceExA(self, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(id / 16 + 1), lang);
    if (!r) return "";
    const WCHAR *p = (const WCHAR *)LockResource(LoadResource(self, r));
    for (UINT i = 0; i < id % 16; i++) p += 1 + *p;
    char text[512] = "";
    WideCharToMultiByte(codepage, 0, p + 1, *p, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

// A template of one language, created inside host as a child window.
HWND CreateOf(int id, WORD lang, HWND host) {
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC r = FindResourceExA(self, (LPCSTR)RT_DIALOG, MAKEINTRESOURCEA(id), lang);
    if (!r) return nullptr;
    const BYTE *bytes = (const BYTE *)LockResource(LoadResource(self, r));
    std::vector<BYTE> copy(bytes, bytes + SizeofResource(self, r));
    DWORD *style = (DWORD *)&copy[12];  // extended template: version, signature, help id, ex style, style
    *style = (*style & ~(DWORD)WS_POPUP) | WS_CHILD;
    return CreateDialogIndirectParamA(self, (LPCDLGTEMPLATEA)copy.data(), host, QuietDialogProc, 0);
}

}  // namespace

TEST(UpgradeStrings, EnglishTextsAreTheProgramsOwn) {
    struct Row {
        UINT id;
        const char *text;
    } rows[] = {
        {UIA_UPGRADE_IDS_CAPTION, "VelomiraV5.5 Dictionary Upgrade"},
        {UIA_UPGRADE_IDS_NOTIFY, "Notify"},
        {UIA_UPGRADE_IDS_STOP, "Are you sure to stop upgrading?"},
        {UIA_UPGRADE_IDS_NAME, "%s"},
        {UIA_UPGRADE_IDS_INSERT_CD, "Insert CD-ROM, including\r\n ' %s' ."},
        {UIA_UPGRADE_IDS_RESTART, "To use upgraded dictionary. Restart Velomira!"},
        {UIA_UPGRADE_IDS_NOW_UPGRADING, "Now Upgrading '%s'."},
        {UIA_UPGRADE_IDS_PRODUCT, "VelomiraV5.5"},
        {UIA_UPGRADE_IDS_DICTIONARY, "Dictionary "},
        {UIA_UPGRADE_IDS_OVERWRITE_CAPTION, "Overwrite"},
        {UIA_UPGRADE_IDS_OVERWRITE, "Are you sure to overwrite?"},
        {UIA_UPGRADE_IDS_USERDIC_CAPTION, "About user dictionary"},
        {UIA_UPGRADE_IDS_USERDIC, "Use 'Dictionary Manager', to Upgrade user dictionary."},
        {UIA_UPGRADE_IDS_RUNNING_CAPTION, "Upgrade Dictionary"},
        {UIA_UPGRADE_IDS_RUNNING, "Stop Velomira, and restart dictionary upgrade."},
        {UIA_UPGRADE_IDS_NONE, "No dictionary has Upgraded."},
        {UIA_UPGRADE_IDS_EXIT, "E&xit"},
        {UIA_UPGRADE_IDS_MORE_CAPTION, "Upgrade Additional Dictionaries"},
        {UIA_UPGRADE_IDS_MORE, "Upgrade Dictionaries from CD-ROM?"},
        {UIA_UPGRADE_IDS_PREPARING, "Preparing Upgrade of Dictionary..."},
        {UIA_UPGRADE_IDS_COPYING, "Copying Dictionary..."},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(StringOf(r.id, kEnglish, 1252), r.text) << r.id;
        EXPECT_NE(StringOf(r.id, kJapanese, 932), "") << r.id;
    }
    // Formats keep their one argument in Japanese too.
    for (UINT id : {UIA_UPGRADE_IDS_INSERT_CD, UIA_UPGRADE_IDS_NOW_UPGRADING, UIA_UPGRADE_IDS_NAME})
        EXPECT_NE(StringOf(id, kJapanese, 932).find("%s"), std::string::npos) << id;
    char text[128];
    EXPECT_GT(LoadStringA(GetModuleHandleA(nullptr), UIA_UPGRADE_IDS_STOP, text, sizeof text), 0);
}

TEST(UpgradeDialogs, EachTemplateHoldsItsControlsInBothLanguages) {
    RegisterStandInClasses();
    struct Case {
        int id;
        const char *name;
        std::vector<int> controls;
    } cases[] = {
        {UIA_UPGRADE_IDD_PROGRESS, "upgrade_progress",
         {UIA_UPGRADE_IDC_TEXT, UIA_UPGRADE_IDC_LIST, UIA_UPGRADE_IDC_ANIMATION, UIA_UPGRADE_IDC_PROGRESS,
          UIA_UPGRADE_IDC_EXIT, IDCANCEL}},
        {UIA_UPGRADE_IDD_INSERT_CD, "upgrade_insert_cd",
         {UIA_UPGRADE_IDC_TEXT, UIA_UPGRADE_IDC_DRIVES, UIA_UPGRADE_IDC_NETWORK, UIA_UPGRADE_IDC_SKIP, IDOK,
          IDCANCEL}},
        {UIA_UPGRADE_IDD_ADDITIONAL, "upgrade_additional", {UIA_UPGRADE_IDC_ADDITIONAL, IDOK, IDCANCEL}},
    };
    HWND host = CreateHost();
    ASSERT_NE(host, nullptr);
    for (WORD lang : {kJapanese, kEnglish}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.name);
            HWND dlg = CreateOf(c.id, lang, host);
            ASSERT_NE(dlg, nullptr) << lang;
            EXPECT_EQ(ChildIds(dlg), std::set<int>(c.controls.begin(), c.controls.end()));
            EXPECT_EQ(DialogFace(dlg), lang == kJapanese ? "MS UI Gothic" : "MS Sans Serif");
            if (lang == kJapanese) {  // the texts the program sets, in the code page of this process
                std::string insert = StringOf(UIA_UPGRADE_IDS_INSERT_CD, lang, CP_ACP);
                char text[256];
                snprintf(text, sizeof text, insert.c_str(), "Velomira English-Japanese");
                if (GetDlgItem(dlg, UIA_UPGRADE_IDC_TEXT)) SetDlgItemTextA(dlg, UIA_UPGRADE_IDC_TEXT, text);
                if (c.id == UIA_UPGRADE_IDD_PROGRESS)
                    SetDlgItemTextA(dlg, UIA_UPGRADE_IDC_EXIT, StringOf(UIA_UPGRADE_IDS_EXIT, lang, CP_ACP).c_str());
            }
            for (HWND w = GetWindow(dlg, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
                EXPECT_EQ(TextProblem(w), "") << "control " << GetDlgCtrlID(w);
            if (lang == kJapanese) {
                RECT r;
                GetWindowRect(dlg, &r);
                SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
                SetWindowPos(host, HWND_TOP, 0, 0, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
                RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
                Testkit_Pump();
                EXPECT_TRUE(Testkit_SaveWindowPicture(host, (std::string(c.name) + ".bmp").c_str()));
            }
            DestroyWindow(dlg);
        }
    }
    DestroyWindow(host);
}

TEST(UpgradeIcon, TheProgramCarriesItsIcon) {
    EXPECT_NE(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(UIA_UPGRADE_IDI_PROGRAM), IMAGE_ICON, 16, 16, 0),
              nullptr);
}
