// Velomira.exe: program entry, start-up steps, message loop and end steps.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "creditpane.h"
#include "lexshelf.h"
#include "prefpane.h"
#include "quickfield.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "vlm_int.h"

VlmState g_vlm;

namespace {

const char kCaption[] = "Velomira";
const char kSetupKey[] = "SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary\\Setup";
const DWORD kLexshelfFlags = 15;

void StartupError(const char *text)
{
    MessageBoxA(nullptr, text, kCaption, MB_OK | MB_TOPMOST);
}

// The new-dictionary question: on yes the dictionary finder runs to its end; the answer's check
// box is kept unless the question was cancelled.  Never stops the start.
void AskNewDictionaries()
{
    if (!Sharedkit_StartupCheck()) return;
    int check = 1;
    int answer = Sharedkit_MessageBoxCheck(nullptr, UIA_IDS_NEW_DICTIONARIES, 0, 0, 32514, &check);
    if (answer == IDCANCEL) return;
    if (answer == IDYES) {
        char line[] = "lexfinder.exe";
        STARTUPINFOA si = {sizeof si};
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        DWORD code = STILL_ACTIVE;
        while (GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE) Sleep(1000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    Basekit_SettingsWriteDword(kSetupKey, "NoCheckNewDic", check == 0 ? 1 : 0);
}

DWORD WINAPI SplashThread(void *)
{
    Creditpane_ShowSplash(nullptr);
    return 0;
}

void LoadOptions()
{
    StartupOptions startup;
    Prefstore_LoadStartup(&startup);
    g_vlm.switches[SW_POINTER] = startup.Pointer != 0;
    g_vlm.switches[SW_KEYBOARD] = startup.Keyboard != 0;
    g_vlm.switches[SW_HOTKEY] = startup.Hotkey != 0;
    g_vlm.switches[SW_CLIPBOARD] = startup.ClipBoard != 0;
    g_vlm.switches[SW_CONTROL_BAR] = startup.ControlBar != 0;
    Vlm_LoadCaptureOptions();
    g_vlm.restrictions = Prefstore_LoadRestrictions();
}

// Feeds the about box and the option sheet their dialog messages; true when one took the message.
bool FeedDialogs(MSG *msg)
{
    if (g_vlm.about && IsWindow(g_vlm.about) && IsDialogMessageA(g_vlm.about, msg)) return true;
    HWND sheet = g_vlm.kinds[VLK_OPTIONS];
    if (!sheet || !IsWindow(sheet)) return false;
    if (!SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) {
        // The sheet was closed: end it and forget its handle (a window handle can be reused).
        g_vlm.kinds[VLK_OPTIONS] = nullptr;
        Prefpane_CloseOptions(sheet);
        return false;
    }
    return SendMessageA(sheet, PSM_ISDIALOGMESSAGE, 0, (LPARAM)msg) != 0;
}

void EndSteps()
{
    Quickfield_Term(g_vlm.instance);
    if (g_vlm.tooltips) Basekit_TooltipDestroy(g_vlm.tooltips);
    g_vlm.tooltips = nullptr;
    Lexshelf_Term();
    Vlm_DestroyMenus();
    Vlm_CloseLaunches();
    if (g_vlm.mapping) CloseHandle(g_vlm.mapping);
    if (g_vlm.mutex) CloseHandle(g_vlm.mutex);
    g_vlm.mapping = g_vlm.mutex = nullptr;
    Vlm_Trace("ended");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_vlm.instance = instance;
    SetLastError(0);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, VLM_MUTEX);
    if (!mutex) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return 0;
    }
    g_vlm.mutex = mutex;
    Vlm_Trace("started %lu", GetCurrentProcessId());

    Sharedkit_Init();
    AskNewDictionaries();
    if (HANDLE splash = CreateThread(nullptr, 0, SplashThread, nullptr, 0, nullptr)) CloseHandle(splash);
    Vlm_SendStatus(VLM_STATUS_STEP, 5, 0);

    g_vlm.trayWindow = FindWindowA("Shell_TrayWnd", nullptr);
    if (!g_vlm.trayWindow) {
        StartupError("Error! in line 46");
        return 0;
    }
    if (!Lexshelf_Init(kLexshelfFlags)) {
        StartupError("Error! in Lexshelf_Init()");
        return 0;
    }

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    Vlm_CreateMenus();
    LoadOptions();
    Basekit_RegisterFlatButton();
    g_vlm.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, VLM_MAPPING_SIZE,
                                       VLM_MAPPING);
    Quickfield_Init(instance);

    if (!Vlm_RegisterMainClass(instance)) {
        StartupError("Error! in VLMMainWindow_Init()");
        return 0;
    }
    HWND main = Vlm_CreateMainWindow(instance);
    if (!main) {
        StartupError("Error! in VLMMainWindow_Create()");
        return 0;
    }
    StartupOptions startup;
    Prefstore_LoadStartup(&startup);
    if (startup.Search) PostMessageA(main, VLM_RUN_SEARCH, 0, 0);
    if (startup.Translate) PostMessageA(main, VLM_RUN_TRANSLATE, 0, 0);
    if (startup.StudyIt) PostMessageA(main, VLM_RUN_STUDY_LIST, 0, 0);
    Prefstore_UpdateShortcuts();
    Vlm_Trace("ready");

    MSG msg;
    int got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        if (FeedDialogs(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EndSteps();
    return got == -1 ? 0 : (int)msg.wParam;
}
