// The watch's start and end, the clock window that times the rest and the key settle, and the
// reports that go out when they have run.
#include "snaptrap.h"
#include "snaptrap_int.h"

Trap g_trap;

namespace {

const char kClockClass[] = "SnaptrapClock";

LPARAM PointParam(POINT pt) { return MAKELPARAM((short)pt.x, (short)pt.y); }

// The mouse came to rest: one report for the last point it reached.
void OnRest() {
    KillTimer(g_trap.clock, kTimerRest);
    if (!g_trap.moved || !g_trap.wordOn || g_trap.paused[kGroupWord]) return;
    g_trap.moved = false;
    if (Snaptrap_InListArea(g_trap.mouse)) return;
    PostMessageA(g_trap.wordTarget, SNAPTRAP_MOUSE_STOP, (WPARAM)WindowFromPoint(g_trap.mouse),
                 PointParam(g_trap.mouse));
}

// The point of a typing or trigger report: on the character before the caret of the foreground
// thread, else the last mouse point.
POINT CaretPoint(HWND *window) {
    GUITHREADINFO info = {sizeof info};
    if (GetGUIThreadInfo(0, &info) && info.hwndCaret) {
        POINT pt = {info.rcCaret.left - 1, (info.rcCaret.top + info.rcCaret.bottom) / 2};
        ClientToScreen(info.hwndCaret, &pt);
        *window = info.hwndCaret;
        return pt;
    }
    *window = WindowFromPoint(g_trap.mouse);
    return g_trap.mouse;
}

LRESULT CALLBACK ClockProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        if (wParam == kTimerRest) OnRest();
        if (wParam == kTimerKeys) Snaptrap_FlushKeys();
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

void ClearKeys() {
    g_trap.keyCount = 0;
    g_trap.typing = 0;
    g_trap.trigger = false;
    if (g_trap.clock) KillTimer(g_trap.clock, kTimerKeys);
}

HHOOK SetHook(int kind, HOOKPROC proc) { return SetWindowsHookExA(kind, proc, g_trap.module, 0); }

// The modifiers held at the start, from the system's key state.
void ReadHeldModifiers() {
    static const UINT sides[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN};
    g_trap.heldSides = 0;
    for (UINT vk : sides)
        if (GetAsyncKeyState(vk) < 0) g_trap.heldSides |= Snaptrap_SideBit(vk);
    g_trap.heldMods = Snaptrap_ModsOfSides(g_trap.heldSides);
}

int Pause(int group, int pause) {
    int was = g_trap.paused[group] ? 1 : 0;
    g_trap.paused[group] = pause != 0;
    if (pause) Snaptrap_DropGroup(group);
    return was;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_trap.module = module;
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the process goes on: no hook may call into the freed code.
        if (g_trap.mouseHook) UnhookWindowsHookEx(g_trap.mouseHook);
        if (g_trap.keyHook) UnhookWindowsHookEx(g_trap.keyHook);
        UnregisterClassA(kClockClass, module);
    }
    return TRUE;
}

bool Snaptrap_EnsureClock() {
    if (g_trap.clock && IsWindow(g_trap.clock)) return true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ClockProc;
    wc.hInstance = g_trap.module;
    wc.lpszClassName = kClockClass;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    g_trap.clock = CreateWindowExA(0, kClockClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_trap.module, nullptr);
    return g_trap.clock != nullptr;
}

bool Snaptrap_UpdateHooks() {
    bool wantMouse = g_trap.wordOn || g_trap.watchOn, wantKeys = g_trap.watchOn;
    if (wantMouse && !g_trap.mouseHook) {
        POINT pt;
        if (GetCursorPos(&pt)) g_trap.mouse = pt;
        g_trap.mouseHook = SetHook(WH_MOUSE_LL, Snaptrap_MouseProc);
    }
    if (!wantMouse && g_trap.mouseHook) {
        UnhookWindowsHookEx(g_trap.mouseHook);
        g_trap.mouseHook = nullptr;
    }
    if (wantKeys && !g_trap.keyHook) {
        ReadHeldModifiers();
        g_trap.swallowUp = 0;
        g_trap.keyHook = SetHook(WH_KEYBOARD_LL, Snaptrap_KeyProc);
    }
    if (!wantKeys && g_trap.keyHook) {
        UnhookWindowsHookEx(g_trap.keyHook);
        g_trap.keyHook = nullptr;
    }
    if (!wantMouse && g_trap.clock) {
        DestroyWindow(g_trap.clock);
        g_trap.clock = nullptr;
    }
    return (!wantMouse || g_trap.mouseHook) && (!wantKeys || g_trap.keyHook);
}

void Snaptrap_DropGroup(int group) {
    if (group == kGroupWord) {
        g_trap.moved = false;
        g_trap.leftTime = 0;
        if (g_trap.clock) KillTimer(g_trap.clock, kTimerRest);
    } else if (group == kGroupWatch) {
        g_trap.keyCount = 0;
        g_trap.typing = 0;
    } else if (group == kGroupTrigger) {
        g_trap.trigger = false;
    }
}

void Snaptrap_FlushKeys() {
    KillTimer(g_trap.clock, kTimerKeys);
    if (!g_trap.watchOn) return;
    for (int i = 0; i < g_trap.keyCount; i++)
        PostMessageA(g_trap.keyTarget, SNAPTRAP_KEY, g_trap.keys[i][0], g_trap.keys[i][1]);
    HWND window = nullptr;
    if (g_trap.typing) {
        POINT pt = CaretPoint(&window);
        PostMessageA(g_trap.keyTarget, g_trap.typing, (WPARAM)window, PointParam(pt));
    }
    if (g_trap.trigger) {
        POINT pt = CaretPoint(&window);
        PostMessageA(g_trap.triggerTarget, g_trap.triggerMsg, (WPARAM)window, PointParam(pt));
    }
    g_trap.keyCount = 0;
    g_trap.typing = 0;
    g_trap.trigger = false;
}

bool Snaptrap_InListArea(POINT pt) {
    RECT rc;
    return g_trap.list && IsWindowVisible(g_trap.list) && GetWindowRect(g_trap.list, &rc) &&
           Snaptrap_InGrownRect(rc, g_trap.margin, pt);
}

int WINAPI Snaptrap_StartWordHook(HWND target, UINT restMs) {
    if (!IsWindow(target) || !Snaptrap_EnsureClock()) return 0;
    g_trap.wordOn = true;
    g_trap.wordTarget = target;
    g_trap.restMs = restMs ? restMs : SNAPTRAP_REST_DEFAULT;
    Snaptrap_DropGroup(kGroupWord);
    if (Snaptrap_UpdateHooks()) return 1;
    Snaptrap_StopWordHook();
    return 0;
}

int WINAPI Snaptrap_StopWordHook(void) {
    g_trap.wordOn = false;
    Snaptrap_DropGroup(kGroupWord);
    Snaptrap_UpdateHooks();
    return 1;
}

int WINAPI Snaptrap_StartMouseWatch(HWND keyTarget, HWND triggerTarget, UINT reports, int keyboardOff,
                                    UINT triggerMods, UINT triggerVk, UINT triggerMsg, int triggerOff) {
    if (!IsWindow(keyTarget) || !Snaptrap_EnsureClock()) return 0;
    ClearKeys();
    g_trap.watchOn = true;
    g_trap.keyTarget = keyTarget;
    g_trap.triggerTarget = triggerTarget ? triggerTarget : keyTarget;
    g_trap.reports = reports;
    g_trap.keyboardOff = keyboardOff != 0;
    g_trap.triggerMods = triggerMods & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN);
    g_trap.triggerVk = triggerVk & 0xFF;
    g_trap.triggerMsg = triggerMsg;
    g_trap.triggerOff = triggerOff != 0;
    if (Snaptrap_UpdateHooks()) return 1;
    Snaptrap_StopMouseWatch();
    return 0;
}

int WINAPI Snaptrap_StopMouseWatch(void) {
    g_trap.watchOn = false;
    ClearKeys();
    Snaptrap_UpdateHooks();
    return 1;
}

int WINAPI Snaptrap_SetListWindow(HWND list, int margin) {
    g_trap.list = list;
    g_trap.margin = list ? margin : 0;
    return 1;
}

int WINAPI Snaptrap_PauseGroup1(int pause) { return Pause(kGroupWord, pause); }
int WINAPI Snaptrap_PauseGroup2(int pause) { return Pause(kGroupWatch, pause); }
int WINAPI Snaptrap_PauseGroup3(int pause) { return Pause(kGroupTrigger, pause); }
