// Attach and detach, and this process's message window that receives the server's answers.
#include "hostlink_int.h"

namespace {

LRESULT CALLBACK ClientWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COPYDATA:
        return Hostlink_AcceptAnswer((const COPYDATASTRUCT *)lp);
    case VLM_CAPTURE_SET_WORDS:
        Hostlink_StoreWords(lp);
        return 0;
    case WM_QUERYENDSESSION:
        Hostlink_CloseServer();
        return 1;
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}

void CreateClientWindow(void) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ClientWindowProc;
    wc.hInstance = g_hostlink.module;
    wc.hbrBackground = (HBRUSH)GetStockObject(NULL_BRUSH);
    wc.lpszClassName = HOSTLINK_CLIENT_CLASS;
    RegisterClassA(&wc);
    g_hostlink.window = CreateWindowExA(WS_EX_TOOLWINDOW, HOSTLINK_CLIENT_CLASS,
                                        HOSTLINK_CLIENT_CLASS, WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, g_hostlink.module, nullptr);
}

void DestroyClientWindow(void) {
    if (g_hostlink.window) DestroyWindow(g_hostlink.window);
    g_hostlink.window = nullptr;
    UnregisterClassA(HOSTLINK_CLIENT_CLASS, g_hostlink.module);
}

}  // namespace

extern "C" int WINAPI Hostlink_Attach(void) {
    Hostlink_RulesCount();
    if (InterlockedIncrement(&g_hostlink.attaches) == 1 || !IsWindow(g_hostlink.window))
        CreateClientWindow();
    if (InterlockedIncrement(&g_hostlinkShared.attachCount) == 1) Hostlink_StartServer();
    return 1;
}

// The counts never go below zero, so a detach without an attach closes nothing.
extern "C" int WINAPI Hostlink_Detach(void) {
    LONG mine = Hostlink_TakeOne(&g_hostlink.attaches);
    if (mine <= 0) return 1;
    LONG before = Hostlink_TakeOne(&g_hostlinkShared.attachCount);
    if (mine == 1) DestroyClientWindow();
    if (before == 1) Hostlink_CloseServer();
    return 1;
}
