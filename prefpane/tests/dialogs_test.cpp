// The option dialogs of the search window (with its web links and the link dialog), the
// translation window and the study-list viewer, driven through their controls from inside their
// modal loops, then read back through Prefstore in both settings modes.
#include "panekit.h"

#include <functional>
#include <string.h>

#include "uiassets.h"

namespace {

// Presses a button of a dialog from its own message loop (so that a dialog it opens runs there).
void Press(HWND dlg, int id)
{
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id));
}

int BoxesSoFar() { return Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr); }

UINT LastBoxText()
{
    UINT id = 0;
    Uiassets_LastMessageBox(&id, nullptr, 0, nullptr);
    return id;
}

const int kSearchDialogMark = UIA_IDC_WO_LINKS;   // only the search dialog has it
const int kLinkDialogMark = UIA_IDC_LINK_ADDRESS;

WebLink Link(const char *name, const char *address)
{
    WebLink l = {};
    strcpy(l.Name, name);
    strcpy(l.Address, address);
    return l;
}

class DialogsTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "1");   // boxes answered unseen
    }
    void TearDown() override
    {
        StartScript(nullptr);
        PaneTest::TearDown();
    }
    // Three links, the second current, and a dictionary the dialog does not show.
    void SeedSearch()
    {
        WebLink links[4] = {Link("Alpha", "http://a.example/?q=%s"), Link("Beta", "http://b.example/?q=%s"),
                            Link("Gamma", "http://c.example/?q=%s"), {}};
        SearchWindowOptions o = {};
        o.View.BackGroundColor = RGB(200, 210, 220);
        o.View.FontSize = 4;
        o.View.EnableLineFeed = 1;
        o.View.UseLayer = 1;
        o.View.OpenLayer = 3;
        o.WebList = links;
        o.CurItem = 1;
        o.MaxData = 300;
        o.DictionaryID = 0x123401;
        ASSERT_EQ(Prefstore_SaveSearchWindow(&o, nullptr), 1);
    }
    SearchWindowOptions LoadSearch()
    {
        SearchWindowOptions o = {};
        Prefstore_LoadSearchWindow(&o, nullptr);
        return o;
    }
    static int Count(const WebLink *links)
    {
        int n = 0;
        while (links && links[n].Name[0]) ++n;
        return n;
    }
};

TEST_P(DialogsTest, SearchDialogSavesWhatChangedAndKeepsTheDictionary) {
    SeedSearch();
    Script s;
    HWND dlg = nullptr;
    s.steps = {
        [&] { return (dlg = FindThreadDialog(kSearchDialogMark)) != nullptr; },
        [&] {
            EXPECT_EQ(ItemText(dlg, UIA_IDC_WO_MAXDATA), "300");
            EXPECT_EQ(SendDlgItemMessageA(dlg, UIA_IDC_WO_LINKS, CB_GETCOUNT, 0, 0), 3);
            EXPECT_EQ(SendDlgItemMessageA(dlg, UIA_IDC_WO_LINKS, CB_GETCURSEL, 0, 0), 1);
            TypeText(dlg, UIA_IDC_WO_MAXDATA, "7000");
            EXPECT_EQ(ItemText(dlg, UIA_IDC_WO_MAXDATA), "5000");   // above the limit: the limit
            Click(dlg, UIA_IDC_VIEW_RICHTEXT);
            Press(dlg, IDOK);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowSearchWindowOptions(owner_), 1);
    EXPECT_TRUE(s.Done());
    SearchWindowOptions o = LoadSearch();
    EXPECT_EQ(o.MaxData, 5000);
    EXPECT_EQ(o.View.UseRichText, 1);
    EXPECT_EQ(o.DictionaryID, 0x123401);   // not shown, kept
    EXPECT_EQ(o.View.FontSize, 4);
    EXPECT_EQ(o.View.OpenLayer, 3);
    EXPECT_EQ(o.View.BackGroundColor, RGB(200, 210, 220));
    EXPECT_EQ(o.CurItem, 1);
    EXPECT_EQ(Count(o.WebList), 3);
    Prefstore_FreeWebList(&o);
}

TEST_P(DialogsTest, MaxDataOfZeroOrLessEmptiesTheField) {
    SeedSearch();
    Script s;
    HWND dlg = nullptr;
    s.steps = {
        [&] { return (dlg = FindThreadDialog(kSearchDialogMark)) != nullptr; },
        [&] {
            TypeText(dlg, UIA_IDC_WO_MAXDATA, "0");
            EXPECT_EQ(ItemText(dlg, UIA_IDC_WO_MAXDATA), "");
            TypeText(dlg, UIA_IDC_WO_MAXDATA, "-3");
            EXPECT_EQ(ItemText(dlg, UIA_IDC_WO_MAXDATA), "");
            TypeText(dlg, UIA_IDC_WO_MAXDATA, "42");
            EXPECT_EQ(ItemText(dlg, UIA_IDC_WO_MAXDATA), "42");
            Press(dlg, IDCANCEL);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowSearchWindowOptions(owner_), 0);
    SearchWindowOptions o = LoadSearch();
    EXPECT_EQ(o.MaxData, 300);   // cancelled
    Prefstore_FreeWebList(&o);
}

// Delete, add (refused twice, then taken), edit: the links go back in combo order, and the one
// deleted does not come back at the next load.
TEST_P(DialogsTest, WebLinksAddEditDeleteAndStayDeleted) {
    SeedSearch();
    Script s;
    HWND dlg = nullptr, link = nullptr;
    HWND combo = nullptr;
    int boxes = 0;
    auto linkDialog = [&] { return (link = FindThreadDialog(kLinkDialogMark)) != nullptr; };
    s.steps = {
        [&] { return (dlg = FindThreadDialog(kSearchDialogMark)) != nullptr; },
        [&] {
            combo = GetDlgItem(dlg, UIA_IDC_WO_LINKS);
            ChooseComboItem(dlg, UIA_IDC_WO_LINKS, 2);
            Click(dlg, UIA_IDC_WO_LINK_DELETE);                       // the last: Gamma
            EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);    // the one before it
            ChooseComboItem(dlg, UIA_IDC_WO_LINKS, 0);
            Click(dlg, UIA_IDC_WO_LINK_DELETE);                       // the first: Alpha
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);    // the next one (Beta)
            Press(dlg, UIA_IDC_WO_LINK_ADD);
            return true;
        },
        linkDialog,
        [&] {
            boxes = BoxesSoFar();
            TypeText(link, UIA_IDC_LINK_NAME, "");
            TypeText(link, UIA_IDC_LINK_ADDRESS, "http://d.example/?q=%s");
            Click(link, UIA_IDC_LINK_OK);
            EXPECT_EQ(BoxesSoFar(), boxes + 1);
            EXPECT_EQ(LastBoxText(), (UINT)UIA_IDS_LINK_NO_NAME);
            TypeText(link, UIA_IDC_LINK_NAME, "Delta");
            TypeText(link, UIA_IDC_LINK_ADDRESS, "http://d.example/");
            Click(link, UIA_IDC_LINK_OK);
            EXPECT_EQ(BoxesSoFar(), boxes + 2);
            EXPECT_EQ(LastBoxText(), (UINT)UIA_IDS_LINK_NO_ADDRESS);
            EXPECT_TRUE(IsWindow(link));   // still open
            TypeText(link, UIA_IDC_LINK_ADDRESS, "http://d.example/?q=%s");
            Click(link, UIA_IDC_LINK_OK);
            return true;
        },
        [&] {
            if (FindThreadDialog(kLinkDialogMark)) return false;
            EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);   // the new one
            Press(dlg, UIA_IDC_WO_LINK_EDIT);
            return true;
        },
        linkDialog,
        [&] {
            char caption[256], text[256];
            GetWindowTextA(link, caption, sizeof caption);
            Uiassets_LoadString(UIA_IDS_LINK_CAPTION_EDIT, text, sizeof text);
            EXPECT_STREQ(caption, text);
            Uiassets_LoadString(UIA_IDS_LINK_BUTTON_EDIT, text, sizeof text);
            EXPECT_EQ(ItemText(link, UIA_IDC_LINK_OK), text);
            EXPECT_EQ(ItemText(link, UIA_IDC_LINK_NAME), "Delta");
            DWORD from = 0, to = 0;
            SendDlgItemMessageA(link, UIA_IDC_LINK_NAME, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
            EXPECT_EQ(from, 0u);
            EXPECT_EQ(to, 5u);   // the name pre-selected
            TypeText(link, UIA_IDC_LINK_ADDRESS, "http://e.example/search?q=%s");
            Click(link, UIA_IDC_LINK_OK);
            return true;
        },
        [&] {
            if (FindThreadDialog(kLinkDialogMark)) return false;
            Press(dlg, IDOK);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowSearchWindowOptions(owner_), 1);
    EXPECT_TRUE(s.Done());
    SearchWindowOptions o = LoadSearch();
    ASSERT_EQ(Count(o.WebList), 2);
    EXPECT_STREQ(o.WebList[0].Name, "Beta");
    EXPECT_STREQ(o.WebList[1].Name, "Delta");
    EXPECT_STREQ(o.WebList[1].Address, "http://e.example/search?q=%s");
    EXPECT_EQ(o.CurItem, 1);
    EXPECT_EQ(o.DictionaryID, 0x123401);
    Prefstore_FreeWebList(&o);
    // Loaded once more (as the search station does at its next start): still two.
    o = LoadSearch();
    EXPECT_EQ(Count(o.WebList), 2);
    Prefstore_FreeWebList(&o);
}

TEST_P(DialogsTest, DeletingEveryLinkLeavesNone) {
    SeedSearch();
    Script s;
    HWND dlg = nullptr;
    s.steps = {
        [&] { return (dlg = FindThreadDialog(kSearchDialogMark)) != nullptr; },
        [&] {
            for (int i = 0; i < 3; ++i) Click(dlg, UIA_IDC_WO_LINK_DELETE);
            EXPECT_EQ(SendDlgItemMessageA(dlg, UIA_IDC_WO_LINKS, CB_GETCOUNT, 0, 0), 0);
            Press(dlg, IDOK);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowSearchWindowOptions(owner_), 1);
    SearchWindowOptions o = LoadSearch();
    EXPECT_EQ(Count(o.WebList), 0);
    Prefstore_FreeWebList(&o);
}

TEST_P(DialogsTest, TranslationDialogSavesItsFieldsAndKeepsTheDictionary) {
    TranslationWindowOptions seed = {};
    seed.View.FontSize = 2;
    seed.View.UseRichText = 1;
    seed.View.DispStyle = 0x400;
    seed.MaxData = 5;
    seed.DictionaryID = 0x4401;
    Prefstore_SaveTranslationWindow(&seed, nullptr);
    Script s;
    HWND dlg = nullptr;
    s.steps = {
        [&] { return (dlg = FindThreadDialog(UIA_IDC_TW_ALL_WORDS)) != nullptr; },
        [&] {
            EXPECT_EQ(ItemText(dlg, UIA_IDC_TW_MAXDATA), "5");
            Click(dlg, UIA_IDC_TW_SOUND);
            Click(dlg, UIA_IDC_TW_ALL_WORDS);
            TypeText(dlg, UIA_IDC_TW_MAXDATA, "12");
            ChooseComboItem(dlg, UIA_IDC_VIEW_FONTSIZE, 1);
            Press(dlg, IDOK);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowTranslationWindowOptions(owner_), 1);
    TranslationWindowOptions o;
    Prefstore_LoadTranslationWindow(&o, nullptr);
    TranslationWindowOptions want = seed;
    want.PlaySound = 1;
    want.AddAllWords = 1;
    want.MaxData = 12;
    want.View.FontSize = 4;
    EXPECT_EQ(memcmp(&o, &want, sizeof o), 0);
    EXPECT_EQ(o.DictionaryID, 0x4401);
}

// A second study dialog while one is open brings that one forward and ends at once; help shows
// the help window.
TEST_P(DialogsTest, StudyDialogOneAtATimeHelpAndClamp) {
    StudyWindowOptions seed = {};
    seed.MaxData = 100;
    seed.View.DispStyle = 0x80;
    Prefstore_SaveStudyWindow(&seed, nullptr);
    Script s;
    HWND dlg = nullptr;
    int second = -1;
    s.steps = {
        [&] { return (dlg = FindThreadDialog(UIA_IDC_WO_MAXDATA)) != nullptr; },
        [&] {
            second = Prefpane_ShowStudyWindowOptions(owner_);
            EXPECT_EQ(GetForegroundWindow(), dlg);
            Click(dlg, UIA_IDC_WO_HELP);
            HWND help = FindWindowA("SharedkitHelp", nullptr);
            EXPECT_NE(help, nullptr);
            if (help) DestroyWindow(help);
            SetForegroundWindow(dlg);
            TypeText(dlg, UIA_IDC_WO_MAXDATA, "9999");
            Press(dlg, IDOK);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowStudyWindowOptions(owner_), 1);
    EXPECT_EQ(second, 0);
    StudyWindowOptions o;
    Prefstore_LoadStudyWindow(&o, nullptr);
    EXPECT_EQ(o.MaxData, 5000);
    EXPECT_EQ(o.View.DispStyle, 0x80);
}

TEST_P(DialogsTest, CancelSavesNothing) {
    SeedSearch();
    Script s;
    HWND dlg = nullptr;
    s.steps = {
        [&] { return (dlg = FindThreadDialog(kSearchDialogMark)) != nullptr; },
        [&] {
            Click(dlg, UIA_IDC_WO_LINK_DELETE);
            TypeText(dlg, UIA_IDC_WO_MAXDATA, "10");
            Press(dlg, IDCANCEL);
            return true;
        },
    };
    StartScript(&s);
    EXPECT_EQ(Prefpane_ShowSearchWindowOptions(owner_), 0);
    SearchWindowOptions o = LoadSearch();
    EXPECT_EQ(o.MaxData, 300);
    EXPECT_EQ(Count(o.WebList), 3);
    Prefstore_FreeWebList(&o);
}

INSTANTIATE_TEST_SUITE_P(Stores, DialogsTest, testing::Values(StoreMode::Registry, StoreMode::File),
                         StoreModeName);

}  // namespace
