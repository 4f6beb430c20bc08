// Start, messages to the main window and to kind windows, and the broadcast.
#include "sharedkit.h"
#include "sharedkit_int.h"

HINSTANCE g_sharedkitModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_sharedkitModule = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

// Nothing has to be prepared per process: every service finds its windows and deposits when it
// is called, so the order of start-up calls in the programs does not matter.
extern "C" int WINAPI Sharedkit_Init(void) { return 1; }
extern "C" int WINAPI Sharedkit_InitAddin(void) { return 1; }

extern "C" LRESULT WINAPI Sharedkit_SendToMain(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND main = FindWindowA("VelomiraV5MainWindow", nullptr);
    return main ? SendMessageA(main, message, wParam, lParam) : 0;
}

extern "C" LRESULT WINAPI Sharedkit_SendToKind(int kind, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND target = Sharedkit_FindKindWindow(kind);
    return target ? SendMessageA(target, message, wParam, lParam) : 0;
}

extern "C" int WINAPI Sharedkit_Broadcast(int scope, UINT message, WPARAM wParam, LPARAM lParam) {
    // Scope 6 comes from the main window right after it sent the notice to every kind window.
    // Sending to the main window would make it broadcast again without end, so it is never a target.
    if (scope == 6)
        return 0;
    static const int kOrder[] = {5, 7, 1, 2, 3, 4};
    int reached = 0;
    for (int kind : kOrder) {
        const char *cls = Sharedkit_KindClass(kind);
        for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w;
             w = FindWindowExA(nullptr, w, cls, nullptr)) {
            LRESULT ignored;
            if (Sharedkit_SendGuarded(w, message, wParam, lParam, &ignored))
                reached++;
        }
    }
    return reached;
}
