// Engine start and stop, the notification window of this process, the named event and the change
// notices sent to every process that started the engine under the same client name.
#include <stdio.h>
#include <vector>
#include "basekit.h"
#include "linguakeeper.h"
#include "lexicore_int.h"
#include "../common/patientsend.h"

namespace {

const char kEventName[] = "VLV5DICAPIEVENT";
const char kClassSuffix[] = "VLV8DICAPICLASS";
// A notice waits this long for a process that does not answer; a hung process is skipped at once.
const UINT kNoticeTimeout = 30000;

LRESULT OnNotice(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case VLM_DICAPI_ADDED: Lc_LoadFileKey((DWORD)wParam); return 1;
    case VLM_DICAPI_REMOVED: Lc_DropFile((DWORD)wParam, 1); return 1;
    case VLM_DICAPI_RELOADED: Lc_ApplyReload((DWORD)wParam); return 1;
    case VLM_DICAPI_PROPS_CHANGED: Lc_ApplyProps((DWORD)wParam, (DWORD)lParam); return 1;
    case VLM_DICAPI_DEFAULT_CHANGED: Lc_ApplyDefault((DWORD)wParam, (DWORD)lParam); return 1;
    case VLM_DICAPI_ENTRY_ADDED: return Lexicore_Notify(1, wParam, lParam);
    case VLM_DICAPI_ENTRY_UPDATED: return Lexicore_Notify(2, wParam, lParam);
    case VLM_DICAPI_ENTRY_DELETED: return Lexicore_Notify(3, wParam, lParam);
    default: return 0;
    }
}

LRESULT CALLBACK NoticeWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= VLM_DICAPI_FAILED && msg <= VLM_DICAPI_ENTRY_DELETED) return OnNotice(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Collect {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    char name[320];
    if (GetClassNameA(hwnd, name, sizeof name) && lstrcmpiA(name, g_lc.className) == 0)
        ((Collect *)lParam)->windows.push_back(hwnd);
    return TRUE;
}

void EngineModule() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&NoticeWindowProc, &self);
    g_lc.self = self;
}

}  // namespace

int Lc_CreateWindow() {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = NoticeWindowProc;
    wc.hInstance = g_lc.self;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = g_lc.className;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return 0;
    g_lc.window = CreateWindowExA(0, g_lc.className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  g_lc.self, nullptr);
    return g_lc.window != nullptr;
}

void Lc_DestroyWindow() {
    if (g_lc.window) DestroyWindow(g_lc.window);
    g_lc.window = nullptr;
    if (g_lc.className[0]) UnregisterClassA(g_lc.className, g_lc.self);
}

void Lc_BeginChange() {
    if (g_lc.event) ResetEvent(g_lc.event);
}

void Lc_EndChange() {
    if (g_lc.event) SetEvent(g_lc.event);
}

void Lc_Broadcast(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_lc.className[0]) return;
    Collect c;
    EnumWindows(CollectWindow, (LPARAM)&c);
    for (HWND w : c.windows) {
        LRESULT result = 0;
        if (!Common_SendPatiently(w, message, wParam, lParam, kNoticeTimeout, &result))
            LC_TRACE("a process did not take a catalogue notice");
    }
}

int Lc_OtherWindowsExist() {
    if (!g_lc.className[0]) return 0;
    Collect c;
    EnumWindows(CollectWindow, (LPARAM)&c);
    for (HWND w : c.windows)
        if (w != g_lc.window) return 1;
    return 0;
}

// ---- Exports ---------------------------------------------------------------------------------------

extern "C" BOOL WINAPI Lexicore_InitEx(HINSTANCE module, const char *client, DWORD flags) {
    if (g_lc.started) return TRUE;
    if (!client || strlen(client) + sizeof kClassSuffix > sizeof g_lc.className) return FALSE;
    EngineModule();
    g_lc.module = module;
    g_lc.flags = flags;
    snprintf(g_lc.className, sizeof g_lc.className, "%s%s", client, kClassSuffix);
    g_lc.event = OpenEventA(EVENT_ALL_ACCESS, FALSE, kEventName);
    if (!g_lc.event) g_lc.event = CreateEventA(nullptr, TRUE, TRUE, kEventName);
    Linguakeeper_Init(flags);
    if (!Basekit_SettingsFileExists()) {
        char root[MAX_PATH];
        if (Lexidata_GetDicRootKey(root)) Basekit_RegCopyMachineToUser(root);
    }
    g_lc.started = 1;
    if (!Lc_LoadCatalogue() || !Lc_CreateWindow()) {
        Lexicore_Term();
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL WINAPI Lexicore_Init(const char *client, DWORD flags) {
    return Lexicore_InitEx(nullptr, client, flags);
}

extern "C" void WINAPI Lexicore_Term(void) {
    if (!g_lc.started) return;
    Lc_DestroyWindow();
    Lc_FreeCatalogue();
    LcFullText_Forget();
    if (g_lc.event) CloseHandle(g_lc.event);
    Linguakeeper_Term();
    memset(&g_lc, 0, sizeof g_lc);
}

extern "C" void WINAPI Lexicore_SetNotifyWindow(HWND window, UINT message) {
    g_lc.notifyWindow = window;
    g_lc.notifyMessage = message;
}

extern "C" BOOL WINAPI Lexicore_EnableNotify(BOOL value) {
    BOOL previous = g_lc.notifyEnabled;
    g_lc.notifyEnabled = value;
    return previous;
}

extern "C" LRESULT WINAPI Lexicore_Notify(DWORD changeKind, WPARAM wParam, LPARAM value) {
    if (!g_lc.notifyEnabled || !g_lc.notifyWindow || !IsWindow(g_lc.notifyWindow)) return 0;
    if (!g_lc.notifyMessage) return 1;
    LexicoreChange change = {changeKind, wParam, value};
    return SendMessageA(g_lc.notifyWindow, g_lc.notifyMessage, changeKind, (LPARAM)&change);
}
