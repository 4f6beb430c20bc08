// What the option-window tests share: a settings store of the test's own in either mode, a
// stand-in for the resident program's main window that counts the notices it gets, and helpers
// that drive the sheet's pages and dialogs through their controls as a user would.
#ifndef PREFPANE_PANEKIT_H
#define PREFPANE_PANEKIT_H

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>
#include <functional>
#include <string.h>
#include <string>
#include <vector>

#include "basekit.h"
#include "prefpane.h"
#include "prefstore.h"
#include "support/testkit_wait.h"

#define PP_R4 "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\"

enum class StoreMode { Registry, File };

inline const char *StoreModeName(const testing::TestParamInfo<StoreMode> &info)
{
    return info.param == StoreMode::Registry ? "Registry" : "File";
}

// Every section the option window writes, deleted whole in registry mode.
inline void DeletePaneSections()
{
    static const char *const kSections[] = {
        PP_R4 "Icon",      PP_R4 "StartUp",  PP_R4 "Translation",    PP_R4 "Hotkey",
        PP_R4 "Customize", PP_R4 "Ristrict", PP_R4 "Window",         PP_R4 "TranslationSet",
    };
    for (const char *s : kSections) RegDeleteTreeA(HKEY_CURRENT_USER, s);
}

// ---- The resident program's main window, as far as the option window talks to it -------------

struct MainWindowLog {
    int optionsChanged;   // VLM_OPTIONS_CHANGED received
    int helps;            // VLM_SHOW_HELP received
    WPARAM helpCommand;
    LPARAM helpTopic;
};

inline MainWindowLog &MainLog()
{
    static MainWindowLog log;
    return log;
}

inline LRESULT CALLBACK StandInMainProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == PREFPANE_VLM_OPTIONS_CHANGED) {
        MainLog().optionsChanged++;
        return 1;
    }
    if (msg == PREFPANE_VLM_SHOW_HELP) {
        MainLog().helps++;
        MainLog().helpCommand = wParam;
        MainLog().helpTopic = lParam;
        return 1;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

// A hidden window of the resident program's main class, on this thread.
inline HWND MakeStandInMain()
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = StandInMainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelomiraV5MainWindow";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowExA(WS_EX_TOOLWINDOW, "VelomiraV5MainWindow", "", WS_POPUP, 0, 0, 0, 0,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A visible plain window to own sheets and dialogs.
inline HWND MakeOwner()
{
    return CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// ---- A settings store per test, in either mode, with the stand-in main window -----------------

// The owner and the stand-in main window live for the whole test suite: a top-level window that
// was active takes its time to go away without a window manager.
class PaneTest : public testing::TestWithParam<StoreMode> {
protected:
    static void SetUpTestSuite()
    {
        main_ = MakeStandInMain();
        owner_ = MakeOwner();
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(owner_);
        DestroyWindow(main_);
        owner_ = main_ = nullptr;
    }
    void SetUp() override
    {
        if (GetParam() == StoreMode::File) {
            const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
            std::string name = std::string("prefs_") + info->test_suite_name() + "_" + info->name() + ".ini";
            for (char &c : name)
                if (c == '/') c = '_';
            char path[MAX_PATH];
            GetFullPathNameA(name.c_str(), MAX_PATH, path, nullptr);
            file_ = path;
            DeleteFileA(file_.c_str());
            Basekit_SettingsSetFile(file_.c_str());
        } else {
            Basekit_SettingsSetFile(nullptr);
            DeletePaneSections();
        }
        MainLog() = MainWindowLog();
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", nullptr);
    }
    void TearDown() override
    {
        Testkit_Pump();
        Basekit_SettingsSetFile(nullptr);
        if (!file_.empty())
            DeleteFileA(file_.c_str());
        else
            DeletePaneSections();
        SetEnvironmentVariableA("UIASSETS_MESSAGEBOX_ANSWER", nullptr);
    }
    std::string file_;
    static HWND main_, owner_;
};
inline HWND PaneTest::main_;
inline HWND PaneTest::owner_;

// ---- Driving controls -----------------------------------------------------------------------------

inline void NotifyParent(HWND control, int code)
{
    SendMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), (LPARAM)control);
}

// A click on a check box, radio or push button.
inline void Click(HWND dlg, int id)
{
    HWND control = GetDlgItem(dlg, id);
    ASSERT_NE(control, nullptr) << "control " << id;
    SendMessageA(control, BM_CLICK, 0, 0);
}

inline void ChooseComboItem(HWND dlg, int id, int index)
{
    HWND combo = GetDlgItem(dlg, id);
    ASSERT_NE(combo, nullptr) << "combo " << id;
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    NotifyParent(combo, CBN_SELCHANGE);
}

inline void TypeText(HWND dlg, int id, const char *text)
{
    HWND edit = GetDlgItem(dlg, id);
    ASSERT_NE(edit, nullptr) << "edit " << id;
    SetWindowTextA(edit, text);   // the edit tells its parent (EN_CHANGE)
}

inline void MoveTrackbar(HWND dlg, int id, int position)
{
    HWND bar = GetDlgItem(dlg, id);
    ASSERT_NE(bar, nullptr) << "trackbar " << id;
    SendMessageA(bar, TBM_SETPOS, TRUE, position);
    SendMessageA(dlg, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), (LPARAM)bar);
}

inline void SetHotkeyControl(HWND dlg, int id, WORD controlWord)
{
    HWND control = GetDlgItem(dlg, id);
    ASSERT_NE(control, nullptr) << "hot key " << id;
    SendMessageA(control, HKM_SETHOTKEY, controlWord, 0);
}

inline void ToggleListItem(HWND dlg, int id, int index)
{
    HWND list = GetDlgItem(dlg, id);
    ASSERT_NE(list, nullptr) << "list " << id;
    LRESULT selected = SendMessageA(list, LB_GETSEL, index, 0);
    SendMessageA(list, LB_SETSEL, selected > 0 ? FALSE : TRUE, index);
    NotifyParent(list, LBN_SELCHANGE);
}

inline std::string ItemText(HWND dlg, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// ---- Modal windows answered from a timer ------------------------------------------------------

struct DialogSearch {
    int id;
    HWND found;
};

inline BOOL CALLBACK MatchDialog(HWND w, LPARAM p)
{
    DialogSearch *s = (DialogSearch *)p;
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && GetDlgItem(w, s->id)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// The visible dialog (class #32770) of this thread that holds the control, or null.
inline HWND FindThreadDialog(int controlId)
{
    DialogSearch s = {controlId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, (LPARAM)&s);
    return s.found;
}

// A step done inside a modal loop: runs from a thread timer until it answers true.
struct ModalStep {
    bool (*step)(void *user);
    void *user;
    bool done;
};

inline ModalStep *&CurrentStep()
{
    static ModalStep *step;
    return step;
}

inline void CALLBACK RunModalStep(HWND, UINT, UINT_PTR id, DWORD)
{
    ModalStep *s = CurrentStep();
    if (!s || s->done) {
        KillTimer(nullptr, id);
        return;
    }
    KillTimer(nullptr, id);
    if (s->step(s->user))
        s->done = true;
    else
        SetTimer(nullptr, 0, 30, RunModalStep);
}

// Arms a step to run once a modal loop of this thread is running.
inline void ArmModalStep(ModalStep *step)
{
    step->done = false;
    CurrentStep() = step;
    SetTimer(nullptr, 0, 30, RunModalStep);
}

// Steps done one after the other from a thread timer while a modal dialog runs; a step answers
// true when it is done (false: try again at the next tick).
struct Script {
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    bool Done() const { return next == steps.size(); }
};

inline Script *&CurrentScript()
{
    static Script *script;
    return script;
}

inline void CALLBACK RunScriptStep(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    Script *s = CurrentScript();
    if (!s || s->Done()) return;
    if (s->steps[s->next]()) s->next++;
    if (!s->Done()) SetTimer(nullptr, 0, 20, RunScriptStep);
}

// Runs the script from the next modal loop of this thread (null: stops the one running).
inline void StartScript(Script *script)
{
    CurrentScript() = script;
    if (script) SetTimer(nullptr, 0, 20, RunScriptStep);
}

// The colour chooser of the common library: picks the swatch of the given button id.
inline bool PickSwatch(void *swatchId)
{
    HWND picker = FindThreadDialog(1026);   // its button to the system colour dialog
    if (!picker) return false;
    int id = (int)(INT_PTR)swatchId;
    SendMessageA(picker, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(picker, id));
    return true;
}

// Clicks a colour button and picks a swatch in the chooser it opens (1089 is pure green).
inline void PickColour(HWND dlg, int buttonId, int swatchId)
{
    ModalStep step = {PickSwatch, (void *)(INT_PTR)swatchId, false};
    ArmModalStep(&step);
    Click(dlg, buttonId);
    CurrentStep() = nullptr;
    EXPECT_TRUE(step.done) << "the colour chooser did not open";
}

// ---- The main sheet ----------------------------------------------------------------------------------

inline HWND CurrentPage(HWND sheet)
{
    return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
}

inline HWND ShowPage(HWND sheet, int index)
{
    SendMessageA(sheet, PSM_SETCURSEL, index, 0);
    Testkit_Pump();
    return CurrentPage(sheet);
}

// Presses a button of the sheet and pumps until the sheet reports that it has ended (or the time
// is up); whether it ended.
inline bool PressSheetButton(HWND sheet, int button)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    return Testkit_PumpUntil([&] { return CurrentPage(sheet) == nullptr; }, 2000);
}

// The page indexes of the main sheet.
enum SheetPage { kStartup, kCapture, kHotkeys, kPopup, kCandidates, kRestriction, kControlBar };

#endif
