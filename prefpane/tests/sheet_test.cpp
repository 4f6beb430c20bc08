// The main option sheet as the resident program uses it: one sheet per process, the setup wizard
// refusal, OK and Cancel with and without changes, the question on Cancel, closing (position and
// notice), help, and the context-help button taken away.
#include "panekit.h"

#include "support/testkit_gdi.h"
#include "uiassets.h"

namespace {

class SheetTest : public PaneTest {
protected:
    void TearDown() override
    {
        if (sheet_ && IsWindow(sheet_)) Prefpane_CloseOptions(sheet_);
        PaneTest::TearDown();
    }
    HWND Open()
    {
        sheet_ = Prefpane_ShowOptions(owner_);
        Testkit_Pump();
        return sheet_;
    }
    HWND sheet_ = nullptr;
};

struct SheetCount {
    const char *caption;
    int n;
};

BOOL CALLBACK CountCaption(HWND w, LPARAM p)
{
    SheetCount *c = (SheetCount *)p;
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    if (strcmp(text, c->caption) == 0) c->n++;
    return TRUE;
}

// The windows of this thread with the sheet's caption.
int CountSheets(const char *caption)
{
    SheetCount c = {caption, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountCaption, (LPARAM)&c);
    return c.n;
}

std::string SheetCaption()
{
    char text[256] = "";
    Uiassets_LoadString(UIA_IDS_CAPTION_OPTIONS, text, sizeof text);
    return text;
}

TEST_P(SheetTest, OneSheetPerProcessAndTheSecondCallReturnsIt) {
    HWND sheet = Open();
    ASSERT_NE(sheet, nullptr);
    EXPECT_NE(CurrentPage(sheet), nullptr);
    HWND again = Prefpane_ShowOptions(owner_);
    Testkit_Pump();
    EXPECT_EQ(again, sheet);
    EXPECT_TRUE(IsWindow(sheet));
    EXPECT_EQ(CountSheets(SheetCaption().c_str()), 1);
    EXPECT_NE(CurrentPage(sheet), nullptr);   // the live sheet still works
}

TEST_P(SheetTest, NothingWhileTheSetupWizardRuns) {
    // The wizard's own window class, made on this thread.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelomiraV5SetupWizardWindow";
    RegisterClassA(&wc);
    HWND wizard = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(CountSheets(SheetCaption().c_str()), 0);
    EXPECT_EQ(GetForegroundWindow(), owner_);
    DestroyWindow(wizard);
    EXPECT_NE(Open(), nullptr);
}

TEST_P(SheetTest, CancelWithoutChangesAsksNothingAndSendsNoNotice) {
    HWND sheet = Open();
    ASSERT_NE(sheet, nullptr);
    for (int page = kStartup; page <= kControlBar; ++page) ASSERT_NE(ShowPage(sheet, page), nullptr);
    int boxes = Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr);
    ASSERT_TRUE(PressSheetButton(sheet, PSBTN_CANCEL));
    EXPECT_EQ(Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr), boxes);
    Prefpane_CloseOptions(sheet);
    EXPECT_FALSE(IsWindow(sheet));
    EXPECT_EQ(MainLog().optionsChanged, 0);
}

TEST_P(SheetTest, OkWithoutChangesSavesNothing) {
    HWND sheet = Open();
    for (int page = kStartup; page <= kControlBar; ++page) ASSERT_NE(ShowPage(sheet, page), nullptr);
    ASSERT_TRUE(PressSheetButton(sheet, PSBTN_OK));
    Prefpane_CloseOptions(sheet);
    EXPECT_EQ(MainLog().optionsChanged, 0);
    // Nothing but the sheet's own position was written.
    EXPECT_EQ(Basekit_SettingsReadDword(PP_R4 "StartUp", "Pointer"), 0u);
    char text[64];
    EXPECT_EQ(Basekit_SettingsReadString(PP_R4 "Window\\PopupWindow", "UseSkin", text, sizeof text), 0);
}

TEST_P(SheetTest, OkAfterAChangeSendsOneNoticeAtClose) {
    HWND sheet = Open();
    HWND page = ShowPage(sheet, kStartup);
    Click(page, UIA_IDC_ST_POINTER);
    ASSERT_TRUE(PressSheetButton(sheet, PSBTN_OK));
    EXPECT_EQ(MainLog().optionsChanged, 0);   // not before the sheet closes
    Prefpane_CloseOptions(sheet);
    EXPECT_EQ(MainLog().optionsChanged, 1);
    EXPECT_EQ(Prefpane_NotifyChanged(), 0);   // the flag went with the notice
    EXPECT_EQ(MainLog().optionsChanged, 1);
    StartupOptions o;
    Prefstore_LoadStartup(&o);
    EXPECT_EQ(o.Pointer, 1);
}

// The resident program's loop: every message offered to the sheet first (PSM_ISDIALOGMESSAGE),
// the sheet closed once it reports no current page.  Enter presses OK (the start-up page's wizard
// buttons are not set in the plain sheet, where they would turn Enter into "next page").
TEST_P(SheetTest, FedByTheResidentLoopEnterPressesOk) {
    HWND sheet = Open();
    HWND page = ShowPage(sheet, kStartup);
    Click(page, UIA_IDC_ST_SEARCH);
    SetForegroundWindow(sheet);
    HWND focus = GetDlgItem(page, UIA_IDC_ST_SEARCH);
    SetFocus(focus);
    PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(focus, WM_KEYUP, VK_RETURN, (LPARAM)0xC01C0001);
    bool closed = Testkit_PumpUntil([&] {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (IsWindow(sheet) && CurrentPage(sheet) == nullptr) {
                Prefpane_CloseOptions(sheet);
                return true;
            }
            if (IsWindow(sheet) && SendMessageA(sheet, PSM_ISDIALOGMESSAGE, 0, (LPARAM)&m)) continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (IsWindow(sheet) && CurrentPage(sheet) == nullptr) {
            Prefpane_CloseOptions(sheet);
            return true;
        }
        return false;
    });
    EXPECT_TRUE(closed);
    EXPECT_FALSE(IsWindow(sheet));
    EXPECT_EQ(MainLog().optionsChanged, 1);
    StartupOptions o;
    Prefstore_LoadStartup(&o);
    EXPECT_EQ(o.Search, 1);
}

TEST_P(SheetTest, CancelWithChangesAsksAndNoKeepsTheSheet) {
    HWND sheet = Open();
    HWND page = ShowPage(sheet, kControlBar);
    Click(page, UIA_IDC_CB_LARGE);
    SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "7");   // No
    int boxes = Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr);
    SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    Testkit_PumpUntil([&] { return Uiassets_LastMessageBox(nullptr, nullptr, 0, nullptr) > boxes; });
    Testkit_Pump();
    UINT textId = 0, style = 0;
    EXPECT_EQ(Uiassets_LastMessageBox(&textId, nullptr, 0, &style), boxes + 1);
    EXPECT_EQ(textId, 0u);   // given as text: the question, with the sheet's title as caption
    EXPECT_EQ(style & (MB_YESNO | MB_ICONQUESTION | MB_TOPMOST), (UINT)(MB_YESNO | MB_ICONQUESTION | MB_TOPMOST));
    EXPECT_NE(CurrentPage(sheet), nullptr);   // still open

    SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", "6");   // Yes
    ASSERT_TRUE(PressSheetButton(sheet, PSBTN_CANCEL));
    Prefpane_CloseOptions(sheet);
    EXPECT_EQ(MainLog().optionsChanged, 0);
    ControlBarOptions o;
    Prefstore_LoadControlBar(&o);
    EXPECT_EQ(o.CtlBarIcon, 0);
}

TEST_P(SheetTest, PositionIsRestoredKeptOnScreenAndSavedAtClose) {
    OptionWindowLayout place = {150, 120};
    Prefstore_SaveOptionWindow(&place);
    HWND sheet = Open();
    RECT frame;
    GetWindowRect(sheet, &frame);
    EXPECT_EQ(frame.left, 150);
    EXPECT_EQ(frame.top, 120);
    SetWindowPos(sheet, nullptr, 210, 230, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(PressSheetButton(sheet, PSBTN_CANCEL));
    Prefpane_CloseOptions(sheet);
    Prefstore_LoadOptionWindow(&place);
    EXPECT_EQ(place.x, 210);
    EXPECT_EQ(place.y, 230);

    // A place off every screen (a monitor that is gone) is pulled into the work area.
    place = {30000, 30000};
    Prefstore_SaveOptionWindow(&place);
    sheet = Open();
    GetWindowRect(sheet, &frame);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(frame.right, work.right);
    EXPECT_LE(frame.bottom, work.bottom);
    EXPECT_GE(frame.left, work.left);
}

TEST_P(SheetTest, ClosingADeadHandleSavesNoPlace) {
    OptionWindowLayout place = {77, 88};
    Prefstore_SaveOptionWindow(&place);
    HWND sheet = Open();
    HWND page = ShowPage(sheet, kStartup);
    Click(page, UIA_IDC_ST_TOOLTIP);
    ASSERT_TRUE(PressSheetButton(sheet, PSBTN_OK));
    SetWindowPos(sheet, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    DestroyWindow(sheet);   // gone before its owner closed it
    Prefpane_CloseOptions(sheet);
    Prefstore_LoadOptionWindow(&place);
    EXPECT_EQ(place.x, 77);
    EXPECT_EQ(place.y, 88);
    EXPECT_EQ(MainLog().optionsChanged, 1);   // the page's save is still announced
    sheet_ = nullptr;
    EXPECT_NE(Open(), nullptr);               // and a new sheet can be shown
}

TEST_P(SheetTest, AnEndedSheetNotYetClosedIsReplaced) {
    HWND first = Open();
    ASSERT_TRUE(PressSheetButton(first, PSBTN_CANCEL));
    HWND second = Open();
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_NE(CurrentPage(second), nullptr);
}

TEST_P(SheetTest, HelpGoesToTheMainWindowOrTheHelpWindow) {
    HWND sheet = Open();
    struct Case {
        int page;
        DWORD topic;
        bool throughMain;
    } cases[] = {{kStartup, 10000, true},   {kCapture, 10001, true},     {kHotkeys, 10002, false},
                 {kPopup, 10004, false},    {kCandidates, 10003, true},  {kRestriction, 10009, false},
                 {kControlBar, 10010, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page);
        ShowPage(sheet, c.page);
        MainLog().helps = 0;
        SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_HELP, 0);
        Testkit_Pump();
        if (c.throughMain) {
            EXPECT_EQ(MainLog().helps, 1);
            EXPECT_EQ(MainLog().helpCommand, 5601u);
            EXPECT_EQ(MainLog().helpTopic, (LPARAM)c.topic);
        } else {
            EXPECT_EQ(MainLog().helps, 0);
            HWND help = FindWindowA("SharedkitHelp", nullptr);
            EXPECT_NE(help, nullptr);
            if (help) DestroyWindow(help);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, SheetTest, testing::Values(StoreMode::Registry, StoreMode::File),
                         StoreModeName);

}  // namespace
