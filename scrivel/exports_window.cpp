// The library's load routine and the exports of the editor window.  Loading registers the window
// class only; the input method's component objects are made when a thread creates its first
// editor (WM_CREATE), never inside the load routine.
#include "scrivel_int.h"

BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(inst);
        ScrivelWin_Register(inst);
    } else if (reason == DLL_PROCESS_DETACH) {
        // At process exit (reserved set) other libraries may be gone already: leave it all.
        if (!reserved) {
            ScrivelIme_Shutdown();
            ScrivelPaint_FreeImages();
            ScrivelWin_Unregister(inst);
        }
    }
    return TRUE;
}

HWND WINAPI Scrivel_CreateWindow(DWORD exStyle, DWORD style, int x, int y, int width, int height,
                                 HWND parent, HMENU menuOrId, ScrivelNotifyCallback callback,
                                 DWORD menuMask) {
    ScrivelCreateParams cp = {kScrivelCreateSignature, exStyle, style, callback, menuMask};
    return ScrivelWin_Create(&cp, x, y, width, height, parent, menuOrId);
}

int WINAPI Scrivel_TranslateMessage(const MSG *msg) { return ScrivelIme_Translate(msg); }
