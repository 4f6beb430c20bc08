// The low-level hook procedures: they only note what happened, post the click reports and time
// the rest and the key settle on the clock window; the timed reports go out from reports.cpp.
#include "snaptrap.h"
#include "snaptrap_int.h"

#include <stdlib.h>
#include <string.h>

namespace {

bool IsViewer(HWND window) {
    char name[32];
    return window && GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, SNAPTRAP_VIEWER_CLASS) == 0;
}

LPARAM PointParam(POINT pt) { return MAKELPARAM((short)pt.x, (short)pt.y); }

bool Paused(int group) { return g_trap.paused[group]; }

// A mouse button went down at pt: the click report, and the viewer triggers of the word hook.
void OnButtonDown(WPARAM button, POINT pt, DWORD time) {
    HWND window = WindowFromPoint(pt);
    if (g_trap.watchOn && (g_trap.reports & SNAPTRAP_REPORT_CLICK) && !Paused(kGroupWatch) &&
        !Snaptrap_InListArea(pt))
        PostMessageA(g_trap.keyTarget, SNAPTRAP_CLICK, (WPARAM)window, PointParam(pt));
    if (!g_trap.wordOn || Paused(kGroupWord)) {
        g_trap.leftTime = 0;
        return;
    }
    if (button == WM_MBUTTONDOWN && IsViewer(window)) {
        PostMessageA(g_trap.wordTarget, SNAPTRAP_TRIGGER3, (WPARAM)window, PointParam(pt));
    } else if (button == WM_LBUTTONDOWN) {
        bool twice = g_trap.leftTime && time - g_trap.leftTime <= GetDoubleClickTime() &&
                     abs(pt.x - g_trap.leftPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                     abs(pt.y - g_trap.leftPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (twice && IsViewer(window)) PostMessageA(g_trap.wordTarget, SNAPTRAP_TRIGGER2, (WPARAM)window, PointParam(pt));
        // A third press starts a new pair.
        g_trap.leftTime = twice ? 0 : (time ? time : 1);
        g_trap.leftPoint = pt;
    }
}

void OnMove(POINT pt) {
    if (pt.x == g_trap.mouse.x && pt.y == g_trap.mouse.y) return;
    g_trap.mouse = pt;
    if (!g_trap.wordOn || Paused(kGroupWord)) return;
    g_trap.moved = true;
    SetTimer(g_trap.clock, kTimerRest, g_trap.restMs, nullptr);  // each move starts the rest again
}

void ArmKeys() { SetTimer(g_trap.clock, kTimerKeys, SNAPTRAP_KEY_SETTLE, nullptr); }

// A key went down; true when it is taken from the system (the trigger key).
bool OnKeyDown(UINT vk) {
    UINT mods = g_trap.heldMods;
    if (!g_trap.triggerOff && g_trap.triggerVk && vk == g_trap.triggerVk && mods == g_trap.triggerMods &&
        !Paused(kGroupTrigger)) {
        g_trap.trigger = true;
        g_trap.typing = 0;
        g_trap.swallowUp = vk;
        ArmKeys();
        return true;
    }
    if (Paused(kGroupWatch)) return false;
    if ((g_trap.reports & SNAPTRAP_REPORT_KEY) && g_trap.keyCount < kMaxKeys) {
        g_trap.keys[g_trap.keyCount][0] = vk;
        g_trap.keys[g_trap.keyCount][1] = mods;
        g_trap.keyCount++;
    }
    if (!Snaptrap_IsTyping(vk, mods))
        g_trap.typing = 0;
    else if (!g_trap.keyboardOff)
        g_trap.typing = vk == VK_SPACE ? SNAPTRAP_WORD_END : SNAPTRAP_HOVER;
    ArmKeys();
    return false;
}

}  // namespace

LRESULT CALLBACK Snaptrap_MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const MSLLHOOKSTRUCT *m = (const MSLLHOOKSTRUCT *)lParam;
        switch (wParam) {
        case WM_MOUSEMOVE:
            OnMove(m->pt);
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
            OnButtonDown(wParam, m->pt, m->time);
            break;
        }
    }
    return CallNextHookEx(g_trap.mouseHook, code, wParam, lParam);
}

LRESULT CALLBACK Snaptrap_KeyProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_trap.watchOn) {
        const KBDLLHOOKSTRUCT *k = (const KBDLLHOOKSTRUCT *)lParam;
        bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        UINT vk = k->vkCode;
        if (UINT side = Snaptrap_SideBit(vk)) {
            g_trap.heldSides = down ? g_trap.heldSides | side : g_trap.heldSides & ~side;
            g_trap.heldMods = Snaptrap_ModsOfSides(g_trap.heldSides);
        } else if (down) {
            if (OnKeyDown(vk)) return 1;
        } else if (vk == g_trap.swallowUp) {
            g_trap.swallowUp = 0;
            return 1;
        }
    }
    return CallNextHookEx(g_trap.keyHook, code, wParam, lParam);
}
