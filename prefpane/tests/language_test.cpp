// The language sheet over the language manager's record: the search pages and the fonts page
// driven through their controls from inside the modal sheet, the record written back with only the
// changed words, the question on Cancel, the multi-byte page rule, caption and icon.  The language
// manager keeps its settings in the registry, so this runs in registry mode.
#include "panekit.h"

#include <functional>
#include <string.h>

#include "linguakeeper.h"
#include "uiassets.h"

namespace {

const DWORD kEnglish = 0x0100, kJapanese = 0x0400;
const int kTabControl = 0x3020;   // the property sheet's tab control

LinguakeeperLangRecord Record(DWORD language)
{
    LinguakeeperLangRecord r = {};
    r.size = sizeof r;
    Linguakeeper_Reload(0);   // what the registry holds now
    Linguakeeper_GetLangInfo(language, &r);
    return r;
}

void DeleteLanguageKeys()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, PP_R4 "Language\\0100");
    RegDeleteTreeA(HKEY_CURRENT_USER, PP_R4 "Language\\0400");
    Linguakeeper_Reload(0);
}

class LanguageSheetTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        DeleteLanguageKeys();
    }
    void TearDown() override
    {
        StartScript(nullptr);
        DeleteLanguageKeys();
        PaneTest::TearDown();
    }
    INT_PTR Run(DWORD language, Script *script)
    {
        StartScript(script);
        INT_PTR result = Prefpane_ShowLanguageOptions(owner_, language);
        StartScript(nullptr);
        return result;
    }
    bool FindSheet()
    {
        sheet_ = FindThreadDialog(kTabControl);
        return sheet_ != nullptr;
    }
    HWND sheet_ = nullptr;
};

TEST_P(LanguageSheetTest, ChangedWordsAreWrittenBackAndNothingElse) {
    LinguakeeperLangRecord before = Record(kEnglish);
    Script s;
    std::string face;
    s.steps = {
        [&] { return FindSheet(); },
        [&] {
            // The caption names the language; the language's icon is the sheet's.
            char caption[256], want[256];
            GetWindowTextA(sheet_, caption, sizeof caption);
            Uiassets_FormatString(want, sizeof want, UIA_IDS_LANG_CAPTION, before.displayName);
            EXPECT_STREQ(caption, want);
            EXPECT_NE(SendMessageA(sheet_, WM_GETICON, ICON_BIG, 0), 0);

            HWND page = ShowPage(sheet_, 0);   // pop-up kinds 1 to 3
            EXPECT_EQ(IsDlgButtonChecked(page, UIA_IDC_LG_ON), (UINT)BST_CHECKED);   // word 0 = 1
            EXPECT_EQ(SendDlgItemMessageA(page, UIA_IDC_LG_MODE, CB_GETCURSEL, 0, 0), (LRESULT)before.search[0].word[1]);
            EXPECT_EQ(ItemText(page, UIA_IDC_LG_BEFORE), std::to_string(before.search[0].word[3]));
            Click(page, UIA_IDC_LG_ON2);                      // word 0 = 2
            ChooseComboItem(page, UIA_IDC_LG_MODE, 4);        // word 1 = 4
            Click(page, UIA_IDC_LG_FORMS16);                  // word 2 = 16
            TypeText(page, UIA_IDC_LG_BEFORE, "5");           // word 3 = 5
            TypeText(page, UIA_IDC_LG_MAX, "9");              // word 6 = 9
            Click(page, UIA_IDC_LG_WORDS);                    // words 7, 8 = 1, 0
            Click(page, UIA_IDC_LG_CASE);                     // word 9 flipped

            page = ShowPage(sheet_, 1);                       // kind 5
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_LG_OFF)));
            Click(page, UIA_IDC_LG_OFF);                      // word 0 = 0
            TypeText(page, UIA_IDC_LG_MAX, "7");              // word 5 = 7

            page = ShowPage(sheet_, 4);                       // kind 7
            Click(page, UIA_IDC_LG_ON3);                      // word 0 = 3

            page = ShowPage(sheet_, 5);                       // fonts
            HWND heads = GetDlgItem(page, UIA_IDC_LG_HEAD_FONT);
            EXPECT_GT(SendMessageA(heads, CB_GETCOUNT, 0, 0), 0);
            int last = (int)SendMessageA(heads, CB_GETCOUNT, 0, 0) - 1;
            char name[64] = "";
            SendMessageA(heads, CB_GETLBTEXT, last, (LPARAM)name);
            face = name;
            ChooseComboItem(page, UIA_IDC_LG_HEAD_FONT, last);
            PickColour(page, UIA_IDC_LG_COLOR, 1089);
            SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
            return true;
        },
    };
    EXPECT_GT(Run(kEnglish, &s), 0);
    EXPECT_TRUE(s.Done());
    EXPECT_EQ(MainLog().optionsChanged, 1);

    LinguakeeperLangRecord want = before;
    DWORD *w0 = want.search[0].word;
    w0[0] = 2, w0[1] = 4, w0[2] = 16, w0[3] = 5, w0[6] = 9, w0[7] = 1, w0[8] = 0, w0[9] = !before.search[0].word[9];
    want.search[1].word[0] = 0, want.search[1].word[5] = 7;
    want.search[4].word[0] = 3;
    memset(want.face1, 0, sizeof want.face1);
    strncpy(want.face1, face.c_str(), sizeof want.face1 - 1);
    want.color = RGB(0, 255, 0);
    LinguakeeperLangRecord after = Record(kEnglish);
    for (int e = 0; e < 5; ++e)
        for (int w = 0; w < 13; ++w)
            EXPECT_EQ(after.search[e].word[w], want.search[e].word[w]) << "entry " << e << " word " << w;
    EXPECT_STREQ(after.face1, want.face1);
    EXPECT_STREQ(after.face2, before.face2);
    EXPECT_EQ(after.color, want.color);
}

TEST_P(LanguageSheetTest, OkWithoutChangesWritesNothing) {
    LinguakeeperLangRecord before = Record(kEnglish);
    Script s;
    s.steps = {
        [&] { return FindSheet(); },
        [&] {
            for (int i = 0; i < 6; ++i) ShowPage(sheet_, i);
            SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
            return true;
        },
    };
    EXPECT_GT(Run(kEnglish, &s), 0);
    EXPECT_EQ(MainLog().optionsChanged, 0);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, PP_R4 "Language\\0100", 0, KEY_READ, &key), ERROR_SUCCESS);
    LinguakeeperLangRecord after = Record(kEnglish);
    EXPECT_EQ(memcmp(after.search, before.search, sizeof after.search), 0);
}

// Cancel asks only when a page holds changes, and always once the fonts page was shown.
TEST_P(LanguageSheetTest, CancelAsksWhenPagesHoldChanges) {
    LinguakeeperLangRecord before = Record(kEnglish);
    SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "6");
    struct Case {
        const char *what;
        bool change, fonts;
        int asked;
    } cases[] = {{"untouched", false, false, 0}, {"changed", true, false, 1}, {"fonts shown", false, true, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        int boxes = Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr);
        Script s;
        s.steps = {
            [&] { return FindSheet(); },
            [&] {
                if (c.change) Click(ShowPage(sheet_, 0), UIA_IDC_LG_ON3);
                if (c.fonts) ShowPage(sheet_, 5);
                ShowPage(sheet_, 1);
                SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                return true;
            },
        };
        EXPECT_EQ(Run(kEnglish, &s), 0);
        EXPECT_EQ(Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr), boxes + c.asked);
    }
    EXPECT_EQ(MainLog().optionsChanged, 0);
    LinguakeeperLangRecord after = Record(kEnglish);
    EXPECT_EQ(memcmp(after.search, before.search, sizeof after.search), 0);
}

TEST_P(LanguageSheetTest, MultiByteLanguageFixesTheShortPages) {
    Script s;
    s.steps = {
        [&] { return FindSheet(); },
        [&] {
            for (int i = 1; i <= 3; ++i) {
                HWND page = ShowPage(sheet_, i);
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_LG_OFF))) << i;
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_LG_ON))) << i;
            }
            SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
            return true;
        },
    };
    EXPECT_EQ(Run(kJapanese, &s), 0);
}

TEST_P(LanguageSheetTest, UnknownLanguage) {
    EXPECT_EQ(Prefpane_ShowLanguageOptions(owner_, 0x7700), -1);
}

INSTANTIATE_TEST_SUITE_P(Stores, LanguageSheetTest, testing::Values(StoreMode::Registry), StoreModeName);

}  // namespace
