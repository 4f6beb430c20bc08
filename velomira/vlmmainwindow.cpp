// Velomira.exe: the hidden main window.  Its message table, the table of windows by kind, the
// broadcast of notices to them, its creation and the close sequence.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "creditpane.h"
#include "lexshelf.h"
#include "linguakeeper.h"
#include "prefpane.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "vlm_int.h"
#include "../common/patientsend.h"

namespace {

// Classes of the sibling windows looked for at creation, in this order.
const struct {
    int kind;
    const char *cls;
} kSiblingClasses[] = {
    {VLK_SEARCH, "VelomiraV5SearchMain"},
    {VLK_SETUP, "VelomiraV5SetupWindow"},
    {VLK_STUDY, "VelomiraV5StudyListWindow"},
    {VLK_TRANSLATE, "VelomiraV5TranslateWindow"},
    {VLK_WIZARD, "VelomiraV5SetupWizardWindow"},
};

// Order in which a notice reaches the windows of the kinds.
const int kBroadcastOrder[] = {VLK_POPUP, VLK_OPTIONS, VLK_WIZARD, VLK_CONTROL_BAR,
                               VLK_SEARCH, VLK_SETUP, VLK_STUDY, VLK_TRANSLATE};

// A notice waits at most this long for one window; a hung window is passed over at once.
const UINT kNoticeTimeoutMs = 30000;

// The Windows version as major << 16 | minor and whether it is 6.0 or later.  VELOMIRA_WINDOWS
// ("major.minor") stands in for the system's own answer, so that the path of the older systems
// (no polling of the cursor) can be run on a newer one.
void KeepWindowsVersion()
{
    char forced[32] = "";
    if (GetEnvironmentVariableA("VELOMIRA_WINDOWS", forced, sizeof forced) && forced[0]) {
        char *end = nullptr;
        DWORD major = strtoul(forced, &end, 10);
        DWORD minor = (end && *end == '.') ? strtoul(end + 1, nullptr, 10) : 0;
        g_vlm.windowsVersion = major << 16 | (minor & 0xFFFF);
        g_vlm.vistaOrLater = major >= 6;
        return;
    }
    DWORD v = GetVersion();
    g_vlm.windowsVersion = (DWORD)LOBYTE(LOWORD(v)) << 16 | HIBYTE(LOWORD(v));
    OSVERSIONINFOEXA info = {sizeof info};
    info.dwMajorVersion = 6;
    info.dwMinorVersion = 0;
    info.wServicePackMajor = 0;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    g_vlm.vistaOrLater =
        VerifyVersionInfoA(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != 0;
}

LRESULT OnCreate(HWND w)
{
    KeepWindowsVersion();
    g_vlm.main = w;
    g_vlm.tooltips = Basekit_TooltipCreate();
    Vlm_TrayAdd(w, 1);
    Vlm_RegisterHotkeys(w);
    Vlm_ApplyModes(w);
    for (const auto &s : kSiblingClasses)
        if (HWND found = FindWindowA(s.cls, nullptr)) SendMessageA(w, VLM_REGISTER_WINDOW, s.kind, (LPARAM)found);
    SetTimer(w, TIMER_TRAY, 10000, nullptr);
    // The relay finds this window by its class; should it not (yet), the day is loaded directly.
    if (!Sharedkit_SendToMain(VLM_COUNT_USAGE, 3, 0)) SendMessageA(w, VLM_COUNT_USAGE, 3, 0);
    SetForegroundWindow(w);
    Vlm_SendStatus(VLM_STATUS_DONE, 0, 0);
    return 0;
}

LRESULT OnRegister(WPARAM kind, LPARAM value)
{
    if (kind == VLK_VALUE) {
        g_vlm.kindValue = value;
    } else if (kind >= 1 && kind < VLK_COUNT) {
        g_vlm.kinds[kind] = (HWND)value;
    } else {
        return 0;
    }
    Vlm_Trace("register %d %p", (int)kind, (void *)value);
    return 1;
}

LRESULT OnUnregister(WPARAM kind)
{
    if (kind == VLK_VALUE) {
        g_vlm.kindValue = 0;
    } else if (kind >= 1 && kind < VLK_COUNT) {
        g_vlm.kinds[kind] = nullptr;
    } else {
        return 0;
    }
    Vlm_Trace("unregister %d", (int)kind);
    return 1;
}

// Close steps: keep the switches when the user wants them kept, tell every window, show the graph
// when asked, then destroy the main window (whose destruction releases what it started).
void OnClose(HWND w)
{
    StartupOptions startup;
    Prefstore_LoadStartup(&startup);
    if (startup.SaveLastStatus) {
        startup.Pointer = g_vlm.switches[SW_POINTER];
        startup.Keyboard = g_vlm.switches[SW_KEYBOARD];
        startup.Hotkey = g_vlm.switches[SW_HOTKEY];
        startup.ClipBoard = g_vlm.switches[SW_CLIPBOARD];
        startup.ControlBar = g_vlm.switches[SW_CONTROL_BAR];
        startup.Search = Vlm_KindWindow(VLK_SEARCH) != nullptr;
        startup.Translate = Vlm_KindWindow(VLK_TRANSLATE) != nullptr;
        startup.StudyIt = Vlm_KindWindow(VLK_STUDY) != nullptr;
        char name[64] = "";
        Lexshelf_GetCurrentTransSet(name);
        name[sizeof name - 1] = '\0';
        lstrcpynA(startup.TranslationSet, name, sizeof startup.TranslationSet);
        Prefstore_SaveStartup(&startup);
    }
    Vlm_Broadcast(VLM_CLOSE, 0, 0);
    if (startup.QuitShowGraph) {
        if (!Sharedkit_SendToMain(VLM_COUNT_USAGE, 4, 0)) SendMessageA(w, VLM_COUNT_USAGE, 4, 0);
        Chartpane_ShowGraph(nullptr);
    }
    Vlm_Trace("close");
    if (IsWindow(w)) DestroyWindow(w);
}

// Teardown under WM_DESTROY; runs once whatever way the window goes.
void OnDestroy(HWND w)
{
    if (g_vlm.tornDown) return;
    g_vlm.tornDown = 1;
    for (int &s : g_vlm.switches) s = 0;
    Prefstore_FreeRestrictions(g_vlm.restrictions);
    g_vlm.restrictions = nullptr;
    KillTimer(w, TIMER_TRAY);
    Vlm_ApplyModes(w);
    Vlm_ReleaseHotkeys(w);
    UnregisterHotKey(w, HOTKEY_DICTIONARY_RESET);
    Vlm_TrayDelete(w, 1);
    Vlm_TrayDelete(w, 2);
    Vlm_Trace("destroyed");
    PostQuitMessage(0);
}

LRESULT OnOptionsChanged(HWND w)
{
    Linguakeeper_Reload(0);
    Vlm_LoadCaptureOptions();
    Vlm_RegisterHotkeys(w);
    Prefstore_FreeRestrictions(g_vlm.restrictions);
    g_vlm.restrictions = Prefstore_LoadRestrictions();
    Vlm_Broadcast(VLM_OPTIONS_CHANGED, 0, 0);
    return 1;
}

LRESULT OnCountUsage(WPARAM operation)
{
    switch (operation) {
    case 1: g_vlm.day.popupCount++; break;
    case 2: g_vlm.day.searchCount++; break;
    case 5: g_vlm.day.outsideCount++; break;
    case 3:
        memset(&g_vlm.day, 0, sizeof g_vlm.day);
        Chartpane_ReadDays(&g_vlm.day, 1);
        break;
    case 4: Chartpane_WriteDay(&g_vlm.day); break;
    default: return 0;
    }
    // Callers take 0 for "the resident program does not run".
    return 1;
}

void ShowOptions(HWND w)
{
    if (HWND sheet = Vlm_KindWindow(VLK_OPTIONS)) {
        SetForegroundWindow(sheet);
        return;
    }
    g_vlm.kinds[VLK_OPTIONS] = Prefpane_ShowOptions(w);
}

// The four mode messages serve Pointer, Keyboard, Hotkey and ClipBoard in this order.
LRESULT OnModeMessage(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const UINT toggles[] = {CMD_POINTER, CMD_KEYBOARD, CMD_HOTKEY, CMD_CLIPBOARD};
    int which = (int)(message - VLM_SET_POPUP_MODE);
    if ((int)wParam == -1) {
        Vlm_SetSwitch(w, which, lParam != 0);
    } else {
        SendMessageA(w, WM_COMMAND, toggles[which], 0);
    }
    return 1;
}

LRESULT CALLBACK MainProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return OnCreate(w);
    case WM_DESTROY: OnDestroy(w); return 0;
    case WM_MEASUREITEM:
        if (Vlm_OnMeasureItem(w, (MEASUREITEMSTRUCT *)lParam)) return TRUE;
        break;
    case WM_DRAWITEM:
        if (Vlm_OnDrawItem(w, (const DRAWITEMSTRUCT *)lParam)) return TRUE;
        break;
    case WM_INITMENUPOPUP: Vlm_OnInitMenuPopup(w, (HMENU)wParam); return 0;
    case WM_MENUCHAR: return Vlm_OnMenuChar(w, LOWORD(wParam), (HMENU)lParam);
    case WM_COMMAND: Vlm_OnCommand(w, LOWORD(wParam)); return 0;
    case WM_HOTKEY: Vlm_OnCommand(w, (UINT)wParam); return 0;
    case WM_TIMER: Vlm_OnTimer(w, wParam); return 0;
    case WM_DRAWCLIPBOARD: Vlm_OnDrawClipboard(w); return 0;
    case WM_CHANGECBCHAIN: Vlm_OnChangeClipboardChain((HWND)wParam, (HWND)lParam); return 0;
    case VLM_CAPTURE_REQUEST:
        // The request is a pointer into this process: only the window's own thread may ask.
        if (InSendMessageEx(nullptr) != ISMEX_NOSEND) return 0;
        return Vlm_CaptureRequest(w, wParam, lParam);
    case VLM_TRAY_READD:
        Vlm_TrayAdd(w, 1);
        if (g_vlm.trayIconBar) Vlm_TrayAdd(w, 2);
        return 0;
    case VLM_TRAY_NOTIFY:
    case VLM_TRAY_NOTIFY_BAR: return Vlm_OnTrayNotify(w, message, wParam, lParam);
    case VLM_SHOW_SPLASH:
        g_vlm.about = Creditpane_OpenSplash(w);
        return 0;
    case VLM_HOOK_TRIGGER3:
    case VLM_HOOK_TRIGGER2:
    case VLM_HOOK_MOUSE_STOP:
    case VLM_HOOK_HOVER:
    case VLM_HOOK_TRIGGER_LINE:
    case VLM_HOOK_CLOSE_POPUP:
    case VLM_HOOK_KEY:
    case VLM_HOOK_TRIGGER: return Vlm_OnHookMessage(w, message, wParam, lParam);
    case VLM_REGISTER_WINDOW: return OnRegister(wParam, lParam);
    case VLM_UNREGISTER_WINDOW: return OnUnregister(wParam);
    case VLM_CLOSE: OnClose(w); return 1;
    case VLM_OPTIONS_CHANGED: return OnOptionsChanged(w);
    case VLM_SHOW_KIND_DICTIONARY_MENU:
        Vlm_ShowDictionaryMenu(w, LOWORD(wParam), HIWORD(wParam), (short)LOWORD(lParam), (short)HIWORD(lParam));
        return 0;
    case VLM_SHOW_MAIN_MENU: Vlm_ShowMainMenu(w, wParam != 0); return 0;
    case VLM_SHOW_TRANSSET_MENU:
        Vlm_ShowTransSetMenu(w, wParam != 0, (short)LOWORD(lParam), (short)HIWORD(lParam));
        return 0;
    case VLM_RUN_SEARCH: return Vlm_StartKind(VLK_SEARCH);
    case VLM_RUN_TRANSLATE: return Vlm_StartKind(VLK_TRANSLATE);
    case VLM_RUN_DICTIONARY_SETUP: return Vlm_StartKind(VLK_SETUP);
    case VLM_RUN_STUDY_LIST: return Vlm_StartKind(VLK_STUDY);
    case VLM_RUN_SETUP_WIZARD: return Vlm_StartKind(VLK_WIZARD);
    case VLM_SHOW_OPTIONS: ShowOptions(w); return (LRESULT)g_vlm.kinds[VLK_OPTIONS];
    case VLM_SHOW_ABOUT:
        g_vlm.about = Creditpane_ShowAbout(w);
        return (LRESULT)g_vlm.about;
    case VLM_SHOW_HELP: return Sharedkit_ShowHelp(w, (UINT)wParam, (DWORD)lParam, nullptr);
    case VLM_SET_CONTROL_BAR: Vlm_SetControlBar(w, wParam != 0); return 1;
    case VLM_SET_POPUP_MODE:
    case VLM_SET_MOUSE_MODE:
    case VLM_SET_HOOK_MODE:
    case VLM_SET_CLIPBOARD_MODE: return OnModeMessage(w, message, wParam, lParam);
    case VLM_REFRESH_DICTIONARIES:
    case VLM_RELAY_NOTICE: Vlm_Broadcast(message, 0, 0); return 1;
    case VLM_SHOW_LANGUAGE_MANAGER: Linguakeeper_OpenManager(256, nullptr, 1); return 1;
    case VLM_COUNT_USAGE: return OnCountUsage(wParam);
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

}  // namespace

BOOL Vlm_RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hIcon = Uiassets_LoadIcon(UIA_IDI_POPUP);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = VLM_MAIN_CLASS;
    return RegisterClassA(&wc) != 0;
}

HWND Vlm_CreateMainWindow(HINSTANCE instance)
{
    return CreateWindowExA(WS_EX_TOOLWINDOW, VLM_MAIN_CLASS, "", WS_POPUP | WS_DISABLED, 0, 0, 0, 0, nullptr,
                           nullptr, instance, nullptr);
}

HWND Vlm_KindWindow(int kind)
{
    if (kind < 1 || kind >= VLK_COUNT || kind == VLK_VALUE) return nullptr;
    HWND w = g_vlm.kinds[kind];
    return (w && IsWindow(w)) ? w : nullptr;
}

void Vlm_Broadcast(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (int kind : kBroadcastOrder) {
        HWND w = Vlm_KindWindow(kind);
        if (!w) continue;
        LRESULT answer = 0;
        Common_SendPatiently(w, message, wParam, lParam, kNoticeTimeoutMs, &answer);
    }
    Sharedkit_Broadcast(6, message, wParam, lParam);
    Vlm_Trace("broadcast %#x", message);
}

void Vlm_SendStatus(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND status = FindWindowA(VLM_STATUS_CLASS, nullptr);
    if (!status) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(status, &pid);
    if (pid == GetCurrentProcessId()) SendMessageA(status, message, wParam, lParam);
}
