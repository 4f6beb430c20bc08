// Every page of the main sheet driven through its controls, then the records read back through
// Prefstore in both settings modes: a table of page, control, action and the field it must change;
// every field the table does not name must keep its stored value.  Beside it: the hot-key words
// shown and stored as a table, the enabling rules, and pictures of pages in Japanese.
#include "panekit.h"

#include <stdio.h>
#include <string.h>

#include "lexshelf.h"
#include "support/testkit_gdi.h"
#include "uiassets.h"

namespace {

// The option records the main sheet edits (the restriction list has its own test).
struct AllRecords {
    StartupOptions startup;
    CaptureOptions capture;
    HotkeyOptions hotkeys;
    PopupWindowOptions popup;
    CandidateListOptions candidates;
    ControlBarOptions controlBar;
};

enum Rec { kStartupRec, kCaptureRec, kHotkeyRec, kPopupRec, kCandidateRec, kControlBarRec };

void *RecordOf(AllRecords &a, Rec r)
{
    void *records[] = {&a.startup, &a.capture, &a.hotkeys, &a.popup, &a.candidates, &a.controlBar};
    return records[r];
}

void LoadAll(AllRecords *a)
{
    Prefstore_LoadStartup(&a->startup);
    Prefstore_LoadCapture(&a->capture);
    Prefstore_LoadHotkeys(&a->hotkeys);
    Prefstore_LoadPopupWindow(&a->popup, nullptr);
    Prefstore_LoadCandidateList(&a->candidates);
    Prefstore_LoadControlBar(&a->controlBar);
}

void SaveAll(const AllRecords &a)
{
    Prefstore_SaveStartup(&a.startup);
    Prefstore_SaveCapture(&a.capture);
    Prefstore_SaveHotkeys(&a.hotkeys);
    Prefstore_SavePopupWindow(&a.popup, nullptr);
    Prefstore_SaveCandidateList(&a.candidates);
    Prefstore_SaveControlBar(&a.controlBar);
}

// Stored values that no control shows at first glance: every switch set to something a click
// changes, numbers away from their limits, unknown bits in the bit fields.
AllRecords Seed()
{
    AllRecords a = {};
    StartupOptions &s = a.startup;
    s.QuickLauncher = 1, s.LargeIcon = 1, s.Pointer = 1, s.Hotkey = 1, s.ControlBar = 1;
    s.Translate = 1, s.EnableTextToSpeech = 1, s.QuitShowGraph = 1;
    strcpy(s.TranslationSet, "SECOND");
    CaptureOptions &c = a.capture;
    c.MouseTimer = 500, c.PopupPos = 4, c.NoDispWhenNoCandidate = 1, c.UpperCaptureLine = 1;
    c.LowerCaptureLine = 2, c.KeyboardTimer = 300, c.SpellCheck = 1, c.HotkeyTranToPopupWindow = 1;
    c.ClipboardTranToTranWindow = 1;
    HotkeyOptions &h = a.hotkeys;
    h.Use = 1;
    h.Menu = MAKEWORD('M', 1 | 2);   // Alt+Ctrl
    h.Exit = MAKEWORD(VK_F4, 4 | 8); // Shift and the Windows key, which the control cannot show
    PopupWindowOptions &p = a.popup;
    // Font size 7 has no item of its own: the combo shows the smallest size, which reads back as 1.
    p.View.BackGroundColor = RGB(10, 20, 30), p.View.FontSize = 7, p.View.EnableLineFeed = 1;
    p.View.EnableLayer = 1, p.View.OpenLayer = 2, p.View.DispStyle = 0x80 | 0x1;
    p.ToolBar = 1, p.Fixed = 1;
    CandidateListOptions &l = a.candidates;
    l.Perfect = RGB(1, 2, 3), l.Good = RGB(4, 5, 6), l.Average = RGB(7, 8, 9), l.Bad = RGB(10, 11, 12);
    ControlBarOptions &b = a.controlBar;
    b.ControlBarMode = 1, b.ControlBarFlag = 0x4000 | 0x2, b.CtlBarIcon = 1;
    return a;
}

enum Act { kClick, kCombo, kComboText, kText, kTrack, kHotkey, kToggleItem, kColour };

struct Row {
    int control;
    Act act;
    int arg;             // combo item, trackbar position, hot-key control word, list item, swatch
    const char *text;    // kText, kComboText
    Rec rec;
    size_t offset;
    int size;            // the field's size (2, 4, or a text field's)
    long long expected;
    const char *expectedText;
};

// One sheet session: the rows are done on one page, in order, then OK.
struct Group {
    const char *name;
    int page;
    void (*patch)(AllRecords &seed);   // the group's own stored values, or null
    std::vector<Row> rows;
};

#define F(Type, member) offsetof(Type, member), (int)sizeof(((Type *)0)->member)
#define ST(member) kStartupRec, F(StartupOptions, member)
#define CP(member) kCaptureRec, F(CaptureOptions, member)
#define HK(member) kHotkeyRec, F(HotkeyOptions, member)
#define PP(member) kPopupRec, F(PopupWindowOptions, member)
#define CL(member) kCandidateRec, F(CandidateListOptions, member)
#define CB(member) kControlBarRec, F(ControlBarOptions, member)

const BYTE kCShift = HOTKEYF_SHIFT, kCCtrl = HOTKEYF_CONTROL, kCAlt = HOTKEYF_ALT, kCExt = HOTKEYF_EXT;

int CALLBACK KeepFirstSkin(const char *path, const char *, LPARAM user)
{
    std::string *first = (std::string *)user;
    if (first->empty()) *first = path;
    return 1;
}

std::string SkinPath()
{
    std::string first;
    Prefstore_EnumSkins(KeepFirstSkin, (LPARAM)&first);
    return first;
}

std::vector<Group> Groups()
{
    std::vector<Group> g;
    g.push_back({"start-up switches", kStartup, nullptr,
                 {
                     {UIA_IDC_ST_STARTUP, kClick, 0, nullptr, ST(StartUp), 1, nullptr},
                     {UIA_IDC_ST_QUICKLAUNCH, kClick, 0, nullptr, ST(QuickLauncher), 0, nullptr},
                     {UIA_IDC_ST_DESKTOP, kClick, 0, nullptr, ST(DeskTop), 1, nullptr},
                     {UIA_IDC_ST_LARGEICON, kClick, 0, nullptr, ST(LargeIcon), 0, nullptr},
                     {UIA_IDC_ST_TOOLTIP, kClick, 0, nullptr, ST(ToolTip), 1, nullptr},
                     {UIA_IDC_ST_POINTER, kClick, 0, nullptr, ST(Pointer), 0, nullptr},
                     {UIA_IDC_ST_KEYBOARD, kClick, 0, nullptr, ST(Keyboard), 1, nullptr},
                     {UIA_IDC_ST_HOTKEY, kClick, 0, nullptr, ST(Hotkey), 0, nullptr},
                     {UIA_IDC_ST_CLIPBOARD, kClick, 0, nullptr, ST(ClipBoard), 1, nullptr},
                     {UIA_IDC_ST_CONTROLBAR, kClick, 0, nullptr, ST(ControlBar), 0, nullptr},
                     {UIA_IDC_ST_SEARCH, kClick, 0, nullptr, ST(Search), 1, nullptr},
                     {UIA_IDC_ST_TRANSLATE, kClick, 0, nullptr, ST(Translate), 0, nullptr},
                     {UIA_IDC_ST_STUDY, kClick, 0, nullptr, ST(StudyIt), 1, nullptr},
                     {UIA_IDC_ST_SPEECH, kClick, 0, nullptr, ST(EnableTextToSpeech), 0, nullptr},
                     {UIA_IDC_ST_AUDIO, kClick, 0, nullptr, ST(EnableRealAudio), 1, nullptr},
                     {UIA_IDC_ST_QUIT_GRAPH, kClick, 0, nullptr, ST(QuitShowGraph), 0, nullptr},
                     {UIA_IDC_ST_TRANSSET, kComboText, 0, "FIRST", ST(TranslationSet), 0, "FIRST"},
                     // Last: it disables the switches of the last state.
                     {UIA_IDC_ST_SAVE_LAST, kClick, 0, nullptr, ST(SaveLastStatus), 1, nullptr},
                 }});
    // A delay beyond the trackbar's range: shown at its end, stored as it was while untouched.
    g.push_back({"capture", kCapture, [](AllRecords &a) { a.capture.KeyboardTimer = 7000; },
                 {
                     {UIA_IDC_CP_MOUSE_TIMER, kTrack, 1200, nullptr, CP(MouseTimer), 1200, nullptr},
                     {1039, kClick, 0, nullptr, CP(PopupPos), 3, nullptr},
                     {UIA_IDC_CP_NO_EMPTY, kClick, 0, nullptr, CP(NoDispWhenNoCandidate), 0, nullptr},
                     {UIA_IDC_CP_UPPER, kText, 0, "4", CP(UpperCaptureLine), 4, nullptr},
                     {UIA_IDC_CP_LOWER, kText, 0, "7", CP(LowerCaptureLine), 7, nullptr},
                     {UIA_IDC_CP_KEY_NONE, kCombo, 1, nullptr, CP(CaptureNoKey), 1, nullptr},
                     {UIA_IDC_CP_KEY_SHIFT, kCombo, 2, nullptr, CP(CaptureShift), 2, nullptr},
                     {UIA_IDC_CP_KEY_CTRL, kCombo, 3, nullptr, CP(CaptureCtrl), 3, nullptr},
                     {UIA_IDC_CP_KEY_SHIFTCTRL, kCombo, 4, nullptr, CP(CaptureShiftCtrl), 4, nullptr},
                     {UIA_IDC_CP_INTELLIWORD, kClick, 0, nullptr, CP(IntelliWord), 1, nullptr},
                     {UIA_IDC_CP_SPELLCHECK, kClick, 0, nullptr, CP(SpellCheck), 0, nullptr},
                     {UIA_IDC_CP_HOTKEY_SEARCH, kClick, 0, nullptr, CP(HotkeyTranToPopupWindow), 0, nullptr},
                     {UIA_IDC_CP_CLIP_SEARCH, kClick, 0, nullptr, CP(ClipboardTranToTranWindow), 0, nullptr},
                 }});
    g.push_back({"capture list mode", kCapture, nullptr,
                 {
                     // The list opens at the word: the position reads back as 2.
                     {UIA_IDC_CP_LISTMODE, kClick, 0, nullptr, CP(ListMode), 1, nullptr},
                     {UIA_IDC_CP_LISTMODE, kClick, -1, nullptr, CP(PopupPos), 2, nullptr},
                     {UIA_IDC_CP_TO_SEARCH, kClick, 0, nullptr, CP(PopupToSearch), 1, nullptr},
                     {UIA_IDC_CP_KEY_TIMER, kTrack, 800, nullptr, CP(KeyboardTimer), 800, nullptr},
                 }});
    g.push_back({"hot keys", kHotkeys, nullptr,
                 {
                     {UIA_IDC_HK_USE, kClick, 0, nullptr, HK(Use), 0, nullptr},
                     {UIA_IDC_HK_MENU, kHotkey, MAKEWORD('M', kCAlt), nullptr, HK(Menu), MAKEWORD('M', 1), nullptr},
                     {UIA_IDC_HK_PAUSE_MOUSE, kHotkey, MAKEWORD('P', kCShift), nullptr, HK(PauseMouse), MAKEWORD('P', 4), nullptr},
                     {UIA_IDC_HK_PAUSE_KEYBOARD, kHotkey, MAKEWORD('K', kCCtrl), nullptr, HK(PauseKB), MAKEWORD('K', 2), nullptr},
                     {UIA_IDC_HK_PAUSE_HOTKEY, kHotkey, MAKEWORD('H', kCAlt | kCShift), nullptr, HK(PauseHotkey), MAKEWORD('H', 1 | 4), nullptr},
                     {UIA_IDC_HK_TRIGGER, kHotkey, MAKEWORD(VK_F2, kCCtrl | kCShift), nullptr, HK(TranHotkey), MAKEWORD(VK_F2, 2 | 4), nullptr},
                     {UIA_IDC_HK_PAUSE_CLIPBOARD, kHotkey, MAKEWORD('C', kCAlt | kCCtrl), nullptr, HK(PauseCB), MAKEWORD('C', 1 | 2), nullptr},
                     {UIA_IDC_HK_SEARCH, kHotkey, MAKEWORD('S', kCAlt | kCCtrl | kCShift), nullptr, HK(Search), MAKEWORD('S', 7), nullptr},
                     {UIA_IDC_HK_TRANSLATE, kHotkey, MAKEWORD(VK_INSERT, kCExt | kCCtrl), nullptr, HK(Translate), MAKEWORD(VK_INSERT, 2), nullptr},
                     {UIA_IDC_HK_SETUP, kHotkey, MAKEWORD(VK_F9, 0), nullptr, HK(Setup), MAKEWORD(VK_F9, 0), nullptr},
                     {UIA_IDC_HK_STUDY, kHotkey, MAKEWORD('L', kCShift | kCAlt), nullptr, HK(StudyIt), MAKEWORD('L', 4 | 1), nullptr},
                 }});
    g.push_back({"hot key cleared", kHotkeys, nullptr,
                 {
                     {UIA_IDC_HK_EXIT, kHotkey, 0, nullptr, HK(Exit), 0, nullptr},
                 }});
    g.push_back({"pop-up window and view", kPopup, nullptr,
                 {
                     {UIA_IDC_PP_TOOLBAR, kClick, 0, nullptr, PP(ToolBar), 0, nullptr},
                     {UIA_IDC_PP_STATUSBAR, kClick, 0, nullptr, PP(StatusBar), 1, nullptr},
                     {UIA_IDC_PP_FIXED, kClick, 0, nullptr, PP(Fixed), 0, nullptr},
                     {UIA_IDC_PP_FIXED_SIZE, kClick, 0, nullptr, PP(FixedSize), 1, nullptr},
                     {UIA_IDC_VIEW_FONTSIZE, kCombo, 0, nullptr, PP(View.FontSize), 5, nullptr},
                     // The line-feed box only while rich text is off: first.
                     {UIA_IDC_VIEW_NO_LINEFEED, kClick, 0, nullptr, PP(View.EnableLineFeed), 0, nullptr},
                     {UIA_IDC_VIEW_RICHTEXT, kClick, 0, nullptr, PP(View.UseRichText), 1, nullptr},
                     {UIA_IDC_VIEW_COLOR, kColour, 1089, nullptr, PP(View.BackGroundColor), RGB(0, 255, 0), nullptr},
                 }});
    g.push_back({"pop-up layers", kPopup, nullptr,
                 {
                     {UIA_IDC_VIEW_BY_LAYER, kClick, 0, nullptr, PP(View.UseLayer), 1, nullptr},
                     {UIA_IDC_VIEW_LAYER, kCombo, 2, nullptr, PP(View.OpenLayer), 3, nullptr},
                 }});
    g.push_back({"pop-up display style", kPopup, nullptr,
                 {
                     // Item 0 off, item 11 on; the unknown bit 0x1 stays.
                     {UIA_IDC_VIEW_STYLES, kToggleItem, 0, nullptr, PP(View.DispStyle), 0x101, nullptr},
                     {UIA_IDC_VIEW_STYLES, kToggleItem, 11, nullptr, PP(View.DispStyle), 0x101, nullptr},
                 }});
    g.push_back({"pop-up no style opens layer 10", kPopup,
                 [](AllRecords &a) { a.popup.View.DispStyle = 0x80; },
                 {
                     {UIA_IDC_VIEW_STYLES, kToggleItem, 0, nullptr, PP(View.DispStyle), 0, nullptr},
                     {UIA_IDC_VIEW_STYLES, kToggleItem, -1, nullptr, PP(View.OpenLayer), 10, nullptr},
                 }});
    g.push_back({"pop-up no layers", kPopup, nullptr,
                 {
                     {UIA_IDC_VIEW_NO_LAYER, kClick, 0, nullptr, PP(View.EnableLayer), 0, nullptr},
                 }});
    g.push_back({"candidate list", kCandidates, nullptr,
                 {
                     {UIA_IDC_CL_GOOD, kColour, 1089, nullptr, CL(Good), RGB(0, 255, 0), nullptr},
                     {UIA_IDC_CL_BAD, kColour, 1085, nullptr, CL(Bad), RGB(255, 0, 0), nullptr},
                     {UIA_IDC_CL_SORT2, kClick, 0, nullptr, CL(SortByLength), 2, nullptr},
                     {UIA_IDC_CL_CLICK_LIST, kClick, 0, nullptr, PP(ClickShowList), 1, nullptr},
                 }});
    g.push_back({"control bar buttons", kControlBar, nullptr,
                 {
                     {UIA_IDC_CB_CUSTOM, kClick, 0, nullptr, CB(ControlBarCustomize), 1, nullptr},
                     {1339, kClick, 0, nullptr, CB(ControlBarFlag), 0x6011, nullptr},
                     {1340, kClick, 0, nullptr, CB(ControlBarFlag), 0x6011, nullptr},
                     {1018, kClick, 0, nullptr, CB(ControlBarFlag), 0x6011, nullptr},
                     {1352, kClick, 0, nullptr, CB(ControlBarFlag), 0x6011, nullptr},
                     {UIA_IDC_CB_SMALL, kClick, 0, nullptr, CB(CtlBarIcon), 0, nullptr},
                 }});
    g.push_back({"control bar mode", kControlBar, nullptr,
                 {
                     {UIA_IDC_CB_MODE_MAIN, kClick, 0, nullptr, CB(ControlBarMode), 0, nullptr},
                 }});
    return g;
}

void Act_(HWND page, const Row &r)
{
    switch (r.act) {
    case kClick:
        if (r.arg != -1) Click(page, r.control);   // -1: a row that only names a further field
        break;
    case kCombo: ChooseComboItem(page, r.control, r.arg); break;
    case kComboText:
        ChooseComboItem(page, r.control,
                        (int)SendDlgItemMessageA(page, r.control, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)r.text));
        break;
    case kText: TypeText(page, r.control, r.text); break;
    case kTrack: MoveTrackbar(page, r.control, r.arg); break;
    case kHotkey: SetHotkeyControl(page, r.control, (WORD)r.arg); break;
    case kToggleItem:
        if (r.arg >= 0) ToggleListItem(page, r.control, r.arg);
        break;
    case kColour: PickColour(page, r.control, r.arg); break;
    }
}

void Patch(AllRecords &a, const Row &r)
{
    char *at = (char *)RecordOf(a, r.rec) + r.offset;
    if (r.expectedText) {
        memset(at, 0, r.size);
        strncpy(at, r.expectedText, r.size - 1);
    } else if (r.size == 4) {
        int v = (int)r.expected;
        memcpy(at, &v, 4);
    } else {
        WORD v = (WORD)r.expected;
        memcpy(at, &v, 2);
    }
}

const char *const kRecNames[] = {"StartupOptions", "CaptureOptions", "HotkeyOptions",
                                 "PopupWindowOptions", "CandidateListOptions", "ControlBarOptions"};
const size_t kRecSizes[] = {sizeof(StartupOptions), sizeof(CaptureOptions), sizeof(HotkeyOptions),
                            sizeof(PopupWindowOptions), sizeof(CandidateListOptions), sizeof(ControlBarOptions)};

// Names every 32-bit word (16-bit for the hot keys) that differs.
void ExpectSameRecords(AllRecords &want, AllRecords &got)
{
    for (int r = 0; r < 6; ++r) {
        const unsigned char *a = (const unsigned char *)RecordOf(want, (Rec)r);
        const unsigned char *b = (const unsigned char *)RecordOf(got, (Rec)r);
        int step = r == kHotkeyRec ? 2 : 4;
        for (size_t at = 0; at + step <= kRecSizes[r]; at += step) {
            unsigned wantV = 0, gotV = 0;
            memcpy(&wantV, a + at, step);
            memcpy(&gotV, b + at, step);
            EXPECT_EQ(gotV, wantV) << kRecNames[r] << " at byte " << at;
        }
    }
}

class PagesTest : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        // Two translation sets (each with an entry, so that both settings modes keep them).
        for (const char *name : {"FIRST", "SECOND"}) {
            VLTransSet *set = Lexshelf_TransSetCreate(name);
            Lexshelf_TransSetAdd(set, 1, 2, 1, 0x100);
            Lexshelf_TransSetSave(set);
            Lexshelf_TransSetDestroy(set);
        }
    }
    void TearDown() override
    {
        // The start-up page brought the shortcuts in line with its switches: take them away.
        StartupOptions off = {};
        Prefstore_SaveStartup(&off);
        Prefstore_UpdateShortcuts();
        PaneTest::TearDown();
    }
    HWND OpenAt(int page, HWND *pageWindow)
    {
        HWND sheet = Prefpane_ShowOptions(owner_);
        Testkit_Pump();
        *pageWindow = ShowPage(sheet, page);
        return sheet;
    }
    void Finish(HWND sheet)
    {
        EXPECT_TRUE(PressSheetButton(sheet, PSBTN_OK));
        Prefpane_CloseOptions(sheet);
    }
};

TEST_P(PagesTest, EveryControlChangesItsFieldAndNothingElse) {
    for (const Group &g : Groups()) {
        SCOPED_TRACE(g.name);
        AllRecords seed = Seed();
        if (g.patch) g.patch(seed);
        SaveAll(seed);
        MainLog().optionsChanged = 0;
        HWND page;
        HWND sheet = OpenAt(g.page, &page);
        ASSERT_NE(page, nullptr);
        for (const Row &r : g.rows) {
            SCOPED_TRACE(r.control);
            Act_(page, r);
        }
        Finish(sheet);
        EXPECT_EQ(MainLog().optionsChanged, 1);
        AllRecords want = seed, got;
        for (const Row &r : g.rows) Patch(want, r);
        LoadAll(&got);
        ExpectSameRecords(want, got);
    }
}

// Another program saves the record while the sheet is open: its value stays, the user's change
// goes in beside it.
TEST_P(PagesTest, ChangesMadeElsewhereWhileOpenAreKept) {
    AllRecords seed = Seed();
    SaveAll(seed);
    HWND page;
    HWND sheet = OpenAt(kStartup, &page);
    Click(page, UIA_IDC_ST_KEYBOARD);
    StartupOptions elsewhere = seed.startup;
    elsewhere.SaveLastStatus = 1;
    elsewhere.Search = 1;
    Prefstore_SaveStartup(&elsewhere);
    Finish(sheet);
    StartupOptions got;
    Prefstore_LoadStartup(&got);
    EXPECT_EQ(got.Keyboard, 1);
    EXPECT_EQ(got.SaveLastStatus, 1);
    EXPECT_EQ(got.Search, 1);
}

TEST_P(PagesTest, SkinChosenWithItsViewColour) {
    AllRecords seed = Seed();
    SaveAll(seed);
    std::string skin = SkinPath();
    ASSERT_FALSE(skin.empty());
    RECT colour = {};
    Prefstore_ReadSkinRect("SkinInfo", "ViewColor", &colour, skin.c_str());
    HWND page;
    HWND sheet = OpenAt(kPopup, &page);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_PP_TOOLBAR)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_PP_SKINS)));
    Click(page, UIA_IDC_PP_SKINNED);
    // Switching to skins with none chosen chooses the first; the plain window's controls go grey.
    EXPECT_EQ(SendDlgItemMessageA(page, UIA_IDC_PP_SKINS, LB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_PP_TOOLBAR)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_COLOR)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_PP_SKINS)));
    Finish(sheet);
    AllRecords got;
    LoadAll(&got);
    EXPECT_EQ(got.popup.UseSkin, 1);
    EXPECT_STRCASEEQ(got.popup.SkinFolderName, skin.c_str());
    EXPECT_EQ(got.popup.View.BackGroundColor, RGB(colour.left, colour.top, colour.right));
    // Back to the plain window: the chosen skin stays stored for the way back.
    sheet = OpenAt(kPopup, &page);
    EXPECT_EQ(SendDlgItemMessageA(page, UIA_IDC_PP_SKINS, LB_GETCURSEL, 0, 0), 0);
    Click(page, UIA_IDC_PP_PLAIN);
    Finish(sheet);
    LoadAll(&got);
    EXPECT_EQ(got.popup.UseSkin, 0);
    EXPECT_STRCASEEQ(got.popup.SkinFolderName, skin.c_str());
}

// Hot keys as stored words and as the controls show them, both ways.
TEST_P(PagesTest, HotkeyWordsShowAndStoreAsATable) {
    struct Case {
        int control;
        size_t offset;
        WORD stored;
        WORD shown;
    } cases[] = {
        {UIA_IDC_HK_MENU, offsetof(HotkeyOptions, Menu), MAKEWORD('A', 1), MAKEWORD('A', kCAlt)},
        {UIA_IDC_HK_PAUSE_MOUSE, offsetof(HotkeyOptions, PauseMouse), MAKEWORD('B', 4), MAKEWORD('B', kCShift)},
        {UIA_IDC_HK_PAUSE_KEYBOARD, offsetof(HotkeyOptions, PauseKB), MAKEWORD('C', 2), MAKEWORD('C', kCCtrl)},
        {UIA_IDC_HK_PAUSE_HOTKEY, offsetof(HotkeyOptions, PauseHotkey), MAKEWORD('D', 1 | 2), MAKEWORD('D', kCAlt | kCCtrl)},
        {UIA_IDC_HK_TRIGGER, offsetof(HotkeyOptions, TranHotkey), MAKEWORD('E', 1 | 4), MAKEWORD('E', kCAlt | kCShift)},
        {UIA_IDC_HK_PAUSE_CLIPBOARD, offsetof(HotkeyOptions, PauseCB), MAKEWORD('F', 2 | 4), MAKEWORD('F', kCCtrl | kCShift)},
        {UIA_IDC_HK_SEARCH, offsetof(HotkeyOptions, Search), MAKEWORD('G', 7), MAKEWORD('G', kCAlt | kCCtrl | kCShift)},
        {UIA_IDC_HK_TRANSLATE, offsetof(HotkeyOptions, Translate), MAKEWORD(VK_F1, 0), MAKEWORD(VK_F1, 0)},
        {UIA_IDC_HK_SETUP, offsetof(HotkeyOptions, Setup), MAKEWORD(VK_F12, 4), MAKEWORD(VK_F12, kCShift)},
        {UIA_IDC_HK_STUDY, offsetof(HotkeyOptions, StudyIt), MAKEWORD(VK_SPACE, 2), MAKEWORD(VK_SPACE, kCCtrl)},
        {UIA_IDC_HK_EXIT, offsetof(HotkeyOptions, Exit), 0, 0},
    };
    HotkeyOptions seed = {};
    seed.Use = 1;
    for (const Case &c : cases) memcpy((char *)&seed + c.offset, &c.stored, 2);
    Prefstore_SaveHotkeys(&seed);

    HWND page;
    HWND sheet = OpenAt(kHotkeys, &page);
    for (const Case &c : cases)
        EXPECT_EQ((WORD)SendDlgItemMessageA(page, c.control, HKM_GETHOTKEY, 0, 0), c.shown) << c.control;
    // Each control given back what it showed, then OK: nothing changed, nothing written.
    for (const Case &c : cases) SetHotkeyControl(page, c.control, c.shown);
    Finish(sheet);
    EXPECT_EQ(MainLog().optionsChanged, 0);
    HotkeyOptions got;
    Prefstore_LoadHotkeys(&got);
    EXPECT_EQ(memcmp(&got, &seed, sizeof got), 0);

    // Every word moved one control on: each control shows its neighbour's keys and stores them.
    sheet = OpenAt(kHotkeys, &page);
    const int n = sizeof cases / sizeof cases[0];
    for (int i = 0; i < n; ++i) SetHotkeyControl(page, cases[i].control, cases[(i + 1) % n].shown);
    Finish(sheet);
    Prefstore_LoadHotkeys(&got);
    for (int i = 0; i < n; ++i) {
        WORD stored;
        memcpy(&stored, (char *)&got + cases[i].offset, 2);
        EXPECT_EQ(stored, cases[(i + 1) % n].stored) << cases[i].control;
    }
}

TEST_P(PagesTest, EnablingRules) {
    AllRecords seed = Seed();
    SaveAll(seed);
    HWND sheet = Prefpane_ShowOptions(owner_);
    Testkit_Pump();
    HWND page = ShowPage(sheet, kStartup);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_ST_TRANSSET)));   // two sets
    Click(page, UIA_IDC_ST_SAVE_LAST);
    for (int id : {UIA_IDC_ST_POINTER, UIA_IDC_ST_KEYBOARD, UIA_IDC_ST_HOTKEY, UIA_IDC_ST_CLIPBOARD,
                   UIA_IDC_ST_CONTROLBAR, UIA_IDC_ST_SEARCH, UIA_IDC_ST_TRANSLATE, UIA_IDC_ST_STUDY,
                   UIA_IDC_ST_TRANSSET})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;

    page = ShowPage(sheet, kCapture);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_CP_POS_FIRST + i)));
        EXPECT_NE(SendDlgItemMessageA(page, UIA_IDC_CP_POS_FIRST + i, BM_GETIMAGE, IMAGE_ICON, 0), 0) << i;
    }
    EXPECT_EQ(ItemText(page, UIA_IDC_CP_MOUSE_TIMER_TEXT), "500");
    MoveTrackbar(page, UIA_IDC_CP_MOUSE_TIMER, 2100);
    EXPECT_EQ(ItemText(page, UIA_IDC_CP_MOUSE_TIMER_TEXT), "2100");
    Click(page, UIA_IDC_CP_LISTMODE);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_CP_POS_FIRST)));
    Click(page, UIA_IDC_CP_LISTMODE);
    Click(page, UIA_IDC_CP_TO_SEARCH);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_CP_LISTMODE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_CP_POS_FIRST + 5)));

    page = ShowPage(sheet, kPopup);   // UseLayer 0: by style
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_LAYER)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_STYLES)));
    Click(page, UIA_IDC_VIEW_BY_LAYER);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_LAYER)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_STYLES)));
    Click(page, UIA_IDC_VIEW_NO_LAYER);
    for (int id : {UIA_IDC_VIEW_BY_LAYER, UIA_IDC_VIEW_BY_STYLE, UIA_IDC_VIEW_LAYER, UIA_IDC_VIEW_STYLES})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, id))) << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_NO_LINEFEED)));
    Click(page, UIA_IDC_VIEW_RICHTEXT);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_VIEW_NO_LINEFEED)));

    page = ShowPage(sheet, kControlBar);   // standard buttons
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_CB_MODE_ALL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1339)));
    Click(page, UIA_IDC_CB_CUSTOM);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, UIA_IDC_CB_MODE_ALL)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 1339)));

    SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "6");
    EXPECT_TRUE(PressSheetButton(sheet, PSBTN_CANCEL));
    Prefpane_CloseOptions(sheet);
    AllRecords got;
    LoadAll(&got);
    ExpectSameRecords(seed, got);   // cancelled: nothing stored
}

TEST_P(PagesTest, PicturesInJapanese) {
    AllRecords seed = Seed();
    seed.popup.UseSkin = 1;   // the pop-up page with its skin's sample
    std::string skin = SkinPath();
    strncpy(seed.popup.SkinFolderName, skin.c_str(), sizeof seed.popup.SkinFolderName - 1);
    SaveAll(seed);
    HWND sheet = Prefpane_ShowOptions(owner_);
    Testkit_Pump();
    const struct {
        int page;
        const char *file;
    } shots[] = {{kStartup, "sheet_startup.bmp"}, {kCapture, "sheet_capture.bmp"}, {kPopup, "sheet_popup.bmp"}};
    for (const auto &s : shots) {
        HWND page = ShowPage(sheet, s.page);
        ASSERT_NE(page, nullptr);
        SetForegroundWindow(sheet);
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Testkit_Pump();
        if (GetParam() == StoreMode::Registry) {
            EXPECT_TRUE(Testkit_SaveWindowPicture(sheet, s.file));
        }
    }
    EXPECT_TRUE(PressSheetButton(sheet, PSBTN_CANCEL));
    Prefpane_CloseOptions(sheet);
}

INSTANTIATE_TEST_SUITE_P(Stores, PagesTest, testing::Values(StoreMode::Registry, StoreMode::File),
                         StoreModeName);

}  // namespace
