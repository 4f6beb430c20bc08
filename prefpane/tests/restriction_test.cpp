// The restriction page over the capture restriction list: the switches and the application list
// driven through their controls, the list file rewritten only when something changed, and left
// whole when it cannot be written.  The file lies beside the test program; one found there is
// set aside for the test and put back afterwards.
#include "panekit.h"

#include <stdio.h>
#include <string.h>

#include "support/testkit_files.h"
#include "support/testkit_gdi.h"
#include "uiassets.h"

namespace {

std::string ListPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    strcpy(strrchr(path, '\\') + 1, "vlwndctl.dat");
    return path;
}

// The file as text (line ends as the C library reads them in text mode).
std::string ReadText(const std::string &path)
{
    std::string out;
    FILE *f = fopen(path.c_str(), "rt");
    if (!f) return "<missing>";
    for (int c; (c = getc(f)) != EOF;) out += (char)c;
    fclose(f);
    return out;
}

// A comment, three applications (the second excluded; the third described in Japanese, Shift-JIS
// bytes of "日本語のエディタ") and a line the loader ignores.
const char kList[] =
    "; applications in which nothing is looked up\n"
    "0\tNotepad\tNotepad editor\n"
    "1\tMy Class\tSecond application\n"
    "0\tJpEdit\t\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x47\x83\x66\x83\x42\x83\x5e\n"
    "1 NoTabs\n";

// The same list as the option manager writes it back.
const char kRewritten[] =
    "0\tNotepad\tNotepad editor\n"
    "1\tMy Class\tSecond application\n"
    "0\tJpEdit\t\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x47\x83\x66\x83\x42\x83\x5e\n";

class RestrictionPageTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        path_ = ListPath();
        aside_ = path_ + ".aside";
        hadFile_ = MoveFileExA(path_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
        ASSERT_TRUE(Testkit_WriteFile(path_, kList, sizeof kList - 1));
        const char *section = PP_R4 "Ristrict";
        Basekit_SettingsWriteDword(section, "EnableAreaSelection", 1);
        Basekit_SettingsWriteDword(section, "Button", 0);
        Basekit_SettingsWriteDword(section, "ListBox", 1);
        Basekit_SettingsWriteDword(section, "DialogBox", 0);
        Basekit_SettingsWriteDword(section, "Menu", 1);
        Basekit_SettingsWriteDword(section, "EnableApplicationList", 1);
    }
    void TearDown() override
    {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
        DeleteFileA((path_ + ".new").c_str());
        if (hadFile_) MoveFileExA(aside_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        PaneTest::TearDown();
    }
    HWND Open(HWND *page)
    {
        HWND sheet = Prefpane_ShowOptions(owner_);
        Testkit_Pump();
        *page = ShowPage(sheet, kRestriction);
        return sheet;
    }
    void Ok(HWND sheet)
    {
        EXPECT_TRUE(PressSheetButton(sheet, PSBTN_OK));
        Prefpane_CloseOptions(sheet);
    }
    RestrictionList Switches()
    {
        RestrictionList *l = Prefstore_LoadRestrictions();
        RestrictionList copy = *l;
        Prefstore_FreeRestrictions(l);
        copy.Applications = nullptr;
        return copy;
    }
    std::string path_, aside_;
    bool hadFile_ = false;
};

TEST_P(RestrictionPageTest, ShowsTheListAndSavesTheChanges) {
    HWND page;
    HWND sheet = Open(&page);
    ASSERT_NE(page, nullptr);
    HWND list = GetDlgItem(page, UIA_IDC_RS_LIST);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 0, 0), 0);
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 1, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETSEL, 2, 0), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_RS_MENU)));

    ToggleListItem(page, UIA_IDC_RS_LIST, 0);   // Notepad excluded
    ToggleListItem(page, UIA_IDC_RS_LIST, 1);   // My Class allowed
    Click(page, UIA_IDC_RS_BUTTON);
    Ok(sheet);
    EXPECT_EQ(MainLog().optionsChanged, 1);

    EXPECT_EQ(ReadText(path_),
              "1\tNotepad\tNotepad editor\n"
              "0\tMy Class\tSecond application\n"
              "0\tJpEdit\t\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x47\x83\x66\x83\x42\x83\x5e\n");
    RestrictionList s = Switches();
    EXPECT_EQ(s.EnableAreaSelection, 1);
    EXPECT_EQ(s.Button, 1);
    EXPECT_EQ(s.ListBox, 1);
    EXPECT_EQ(s.DialogBox, 0);
    EXPECT_EQ(s.Menu, 1);
    EXPECT_EQ(s.EnableApplicationList, 1);
}

TEST_P(RestrictionPageTest, SwitchesEnableTheirControls) {
    HWND page;
    HWND sheet = Open(&page);
    Click(page, UIA_IDC_RS_AREAS);
    for (int id : {UIA_IDC_RS_MENU, UIA_IDC_RS_LISTBOX, UIA_IDC_RS_DIALOGBOX, UIA_IDC_RS_BUTTON})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    Click(page, UIA_IDC_RS_APPLICATIONS);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_RS_LIST)));
    Ok(sheet);
    RestrictionList s = Switches();
    EXPECT_EQ(s.EnableAreaSelection, 0);
    EXPECT_EQ(s.EnableApplicationList, 0);
    EXPECT_EQ(s.Menu, 1);   // untouched switches keep their values
    EXPECT_EQ(s.ListBox, 1);
    // The list is saved with its switches: the file is written again, as one whole.
    EXPECT_EQ(ReadText(path_), kRewritten);
}

TEST_P(RestrictionPageTest, UnchangedPageLeavesTheFileAlone) {
    HWND page;
    HWND sheet = Open(&page);
    ToggleListItem(page, UIA_IDC_RS_LIST, 2);
    ToggleListItem(page, UIA_IDC_RS_LIST, 2);   // and back
    Ok(sheet);
    EXPECT_EQ(Testkit_ReadFile(path_), std::string(kList));   // comment and odd line still there
    EXPECT_EQ(MainLog().optionsChanged, 0);
}

// A list file that cannot be replaced (read-only, or held open by another program) stays as it
// was, byte for byte, and no half-written side file is left.
TEST_P(RestrictionPageTest, AFailedWriteLeavesTheOldFile) {
    for (int how = 0; how < 2; ++how) {
        SCOPED_TRACE(how == 0 ? "read-only" : "held open");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (how == 0)
            SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
        else
            held = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        HWND page;
        HWND sheet = Open(&page);
        ToggleListItem(page, UIA_IDC_RS_LIST, 0);
        Click(page, UIA_IDC_RS_DIALOGBOX);
        Ok(sheet);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(Testkit_ReadFile(path_), std::string(kList));
        EXPECT_EQ(GetFileAttributesA((path_ + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(Switches().DialogBox, 1);   // the switches are saved all the same
        Basekit_SettingsWriteDword(PP_R4 "Ristrict", "DialogBox", 0);
    }
}

TEST_P(RestrictionPageTest, PictureInJapanese) {
    if (GetParam() != StoreMode::Registry) GTEST_SKIP() << "one picture is enough";
    HWND page;
    HWND sheet = Open(&page);
    SetForegroundWindow(sheet);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    EXPECT_TRUE(Testkit_SaveWindowPicture(sheet, "sheet_restriction.bmp"));
    EXPECT_TRUE(PressSheetButton(sheet, PSBTN_CANCEL));
    Prefpane_CloseOptions(sheet);
}

INSTANTIATE_TEST_SUITE_P(Stores, RestrictionPageTest,
                         testing::Values(StoreMode::Registry, StoreMode::File), StoreModeName);

}  // namespace
