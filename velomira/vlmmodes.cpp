// Velomira.exe: the capture modes (the five switches turned into running machinery), the hook
// library's reports, the hot keys, the timers and the clipboard viewer chain.
#include <windows.h>

#include "bubblepane.h"
#include "hostlink.h"
#include "sharedkit.h"
#include "snaptrap.h"
#include "toolstrip.h"
#include "vlm_int.h"
#include "vlmcapture.h"

namespace {

// System hot keys by word of HotkeyOptions; the trigger key (TranHotkey) goes to the hook library.
struct HotkeyRow {
    WORD HotkeyOptions::*word;
    int id;
};
const HotkeyRow kHotkeys[] = {
    {&HotkeyOptions::Menu, CMD_MAIN_MENU},       {&HotkeyOptions::PauseMouse, CMD_POINTER},
    {&HotkeyOptions::PauseKB, CMD_KEYBOARD},     {&HotkeyOptions::PauseHotkey, CMD_HOTKEY},
    {&HotkeyOptions::PauseCB, CMD_CLIPBOARD},    {&HotkeyOptions::Search, CMD_SEARCH},
    {&HotkeyOptions::Translate, CMD_TRANSLATE},  {&HotkeyOptions::Setup, CMD_SETUP},
    {&HotkeyOptions::StudyIt, CMD_STUDY},        {&HotkeyOptions::Exit, CMD_QUIT},
};

const int kPollMs = 100;
const int kListMargin = 40;

void PauseHooks(int pause)
{
    Snaptrap_PauseGroup3(pause);
    Snaptrap_PauseGroup2(pause);
    Snaptrap_PauseGroup1(pause);
}

void HidePopup(WPARAM how)
{
    if (HWND popup = Vlm_KindWindow(VLK_POPUP)) SendMessageA(popup, VLM_POPUP_HIDE, how, 0);
}

void Attach(HWND main, int on)
{
    if (on && !g_vlm.attached) {
        Hostlink_Attach();
        if (g_vlm.vistaOrLater) SetTimer(main, TIMER_POLL, kPollMs, nullptr);
        g_vlm.attached = 1;
        g_vlm.kinds[VLK_POPUP] = Bubblepane_Create(main, g_vlm.tooltips);
        Vlm_Trace("attach poll=%d popup=%d", g_vlm.vistaOrLater, g_vlm.kinds[VLK_POPUP] != nullptr);
    } else if (!on && g_vlm.attached) {
        Hostlink_Detach();
        KillTimer(main, TIMER_POLL);
        g_vlm.attached = 0;
        if (HWND popup = Vlm_KindWindow(VLK_POPUP)) DestroyWindow(popup);
        g_vlm.kinds[VLK_POPUP] = nullptr;
        Vlm_Trace("detach");
    }
}

void ClipboardChain(HWND main, int on)
{
    if (on && !g_vlm.inChain) {
        // Joining sends a first notice at once: the text already on the clipboard is not the
        // user's new copy, so that notice is not looked up.
        g_vlm.inChain = -1;
        HWND next = SetClipboardViewer(main);
        g_vlm.nextViewer = next;
        g_vlm.inChain = 1;
    } else if (!on && g_vlm.inChain) {
        ChangeClipboardChain(main, g_vlm.nextViewer);
        g_vlm.nextViewer = nullptr;
        g_vlm.inChain = 0;
    }
}

void ControlBar(HWND main, int on)
{
    HWND bar = Vlm_KindWindow(VLK_CONTROL_BAR);
    if (on && !bar) {
        bar = Toolstrip_Create(main, g_vlm.tooltips);
        if (bar && !Vlm_KindWindow(VLK_CONTROL_BAR)) g_vlm.kinds[VLK_CONTROL_BAR] = bar;
    } else if (!on && bar) {
        DestroyWindow(bar);
        g_vlm.kinds[VLK_CONTROL_BAR] = nullptr;
        bar = nullptr;
    }
    if (!bar) return;
    static const WPARAM items[] = {TOOLSTRIP_ITEM_POINTER, TOOLSTRIP_ITEM_KEYBOARD, TOOLSTRIP_ITEM_HOTKEY,
                                   TOOLSTRIP_ITEM_CLIPBOARD};
    for (int i = 0; i < 4; i++) SendMessageA(bar, VLM_CONTROL_BAR_STATE, items[i], g_vlm.switches[i]);
}

// One capture: the trigger, the window and the point it carries (the cursor unless usePoint).
// A hook report's request carries the trigger its window calls for; the hand-off goes by the
// report itself and resumes the hook library whatever came of the capture.
void CaptureAndHandOff(HWND main, UINT trigger, HWND window, POINT at, int usePoint)
{
    Vlm_Trace("capture %#x %p %ld %ld %d", trigger, (void *)window, at.x, at.y, usePoint);
    UINT carried = trigger == VLM_HOOK_MOUSE_STOP || trigger == VLM_HOOK_HOVER ? trigger
                                                                               : Vlm_RequestTrigger(trigger, window);
    LONG request[4] = {(LONG)(LONG_PTR)window, at.x, at.y, (LONG)carried};
    LRESULT found = SendMessageA(main, VLM_CAPTURE_REQUEST, usePoint, (LPARAM)request);
    Vlm_HandOff(main, trigger, (VLTranParam *)found);
}

void MouseStop(HWND main, HWND window, POINT at)
{
    if (g_vlm.mouseHeld && window == g_vlm.mouseWindow && at.x >= g_vlm.mousePoint.x - 2 &&
        at.x < g_vlm.mousePoint.x + 2 && at.y >= g_vlm.mousePoint.y - 3 && at.y < g_vlm.mousePoint.y + 3)
        return;
    KillTimer(main, TIMER_MOUSE);
    g_vlm.mouseWindow = window;
    g_vlm.mousePoint = at;
    g_vlm.mouseHeld = 1;
    Vlm_Trace("mouse stop %p %ld %ld", (void *)window, at.x, at.y);
    if (g_vlm.capture.MouseTimer <= 0) {
        PostMessageA(main, WM_TIMER, TIMER_MOUSE, 0);
    } else {
        SetTimer(main, TIMER_MOUSE, g_vlm.capture.MouseTimer, nullptr);
    }
}

void KeyboardReport(HWND main, HWND window, POINT at)
{
    KillTimer(main, TIMER_KEYBOARD);
    if (!g_vlm.switches[SW_KEYBOARD]) return;
    HidePopup(0);
    g_vlm.keyWindow = window;
    g_vlm.keyPoint = at;
    SetTimer(main, TIMER_KEYBOARD, g_vlm.capture.KeyboardTimer, nullptr);
}

POINT PointOf(LPARAM lParam)
{
    POINT p = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    return p;
}

}  // namespace

void Vlm_LoadCaptureOptions()
{
    Prefstore_LoadCapture(&g_vlm.capture);
    CandidateListOptions candidates;
    Prefstore_LoadCandidateList(&candidates);
    g_vlm.candidateSort = candidates.SortByLength;
}

void Vlm_ApplyModes(HWND main)
{
    HotkeyOptions keys;
    Prefstore_LoadHotkeys(&keys);
    KillTimer(main, TIMER_MOUSE);
    KillTimer(main, TIMER_KEYBOARD);
    KillTimer(main, TIMER_RESUME);
    const int *s = g_vlm.switches;

    Attach(main, s[SW_POINTER] || s[SW_KEYBOARD] || s[SW_HOTKEY]);

    if (s[SW_POINTER]) {
        Snaptrap_StartWordHook(main, 0);
    } else {
        Snaptrap_StopWordHook();
    }

    if (s[SW_KEYBOARD] || s[SW_HOTKEY]) {
        UINT mods = HIBYTE(keys.TranHotkey), vk = LOBYTE(keys.TranHotkey);
        Snaptrap_StartMouseWatch(main, main, 15, !s[SW_KEYBOARD], mods, vk, VLM_HOOK_TRIGGER, !s[SW_HOTKEY]);
        if (HWND list = FindWindowA(VLM_LIST_CLASS, nullptr)) Snaptrap_SetListWindow(list, kListMargin);
        Vlm_Trace("mouse watch keyboardOff=%d trigger=%u,%u triggerOff=%d", !s[SW_KEYBOARD], mods, vk,
                  !s[SW_HOTKEY]);
    } else {
        Snaptrap_StopMouseWatch();
        Snaptrap_SetListWindow(nullptr, 0);
        HidePopup(0);
    }

    ClipboardChain(main, s[SW_CLIPBOARD]);
    ControlBar(main, s[SW_CONTROL_BAR]);
    Vlm_TrayModify(main, 1);
    Vlm_Trace("modes %d %d %d %d %d attached=%d chain=%d bar=%d", s[0], s[1], s[2], s[3], s[4], g_vlm.attached,
              g_vlm.inChain, Vlm_KindWindow(VLK_CONTROL_BAR) != nullptr);
}

void Vlm_SetSwitch(HWND main, int which, int on)
{
    if (which < 0 || which >= SW_COUNT) return;
    g_vlm.switches[which] = on != 0;
    Vlm_ApplyModes(main);
}

void Vlm_ToggleSwitch(HWND main, int which)
{
    if (which < 0 || which >= SW_COUNT) return;
    Vlm_SetSwitch(main, which, !g_vlm.switches[which]);
}

void Vlm_SetControlBar(HWND main, int on)
{
    Vlm_SetSwitch(main, SW_CONTROL_BAR, on);
    if (!on) {
        g_vlm.trayIconBar = 1;
        Vlm_TrayAdd(main, 2);
    }
}

void Vlm_RegisterHotkeys(HWND main)
{
    Vlm_ReleaseHotkeys(main);
    HotkeyOptions keys;
    Prefstore_LoadHotkeys(&keys);
    int made = 0;
    if (keys.Use) {
        for (const HotkeyRow &row : kHotkeys) {
            WORD word = keys.*row.word;
            if (word && RegisterHotKey(main, row.id, HIBYTE(word), LOBYTE(word))) made++;
        }
    }
    RegisterHotKey(main, HOTKEY_DICTIONARY_RESET, MOD_ALT | MOD_CONTROL | MOD_SHIFT, VK_F12);
    Vlm_Trace("hotkeys use=%d registered=%d", keys.Use, made);
}

void Vlm_ReleaseHotkeys(HWND main)
{
    for (const HotkeyRow &row : kHotkeys) UnregisterHotKey(main, row.id);
}

LRESULT Vlm_OnHookMessage(HWND main, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    switch (message) {
    case VLM_HOOK_MOUSE_STOP: MouseStop(main, window, PointOf(lParam)); break;
    case VLM_HOOK_HOVER: KeyboardReport(main, window, PointOf(lParam)); break;
    case VLM_HOOK_CLOSE_POPUP: HidePopup(0); break;
    case VLM_HOOK_KEY:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) HidePopup(1);
        break;
    case VLM_HOOK_TRIGGER:
        if (!g_vlm.switches[SW_HOTKEY]) break;
        KillTimer(main, TIMER_MOUSE);
        CaptureAndHandOff(main, message, window, PointOf(lParam), 1);
        break;
    case VLM_HOOK_TRIGGER_LINE:
        if (!g_vlm.capture.SpellCheck) break;
        KillTimer(main, TIMER_MOUSE);
        {
            POINT at = PointOf(lParam);
            at.x -= 10;
            CaptureAndHandOff(main, message, window, at, 1);
        }
        break;
    case VLM_HOOK_TRIGGER2:
    case VLM_HOOK_TRIGGER3:
        KillTimer(main, TIMER_MOUSE);
        CaptureAndHandOff(main, message, window, PointOf(lParam), 0);
        break;
    }
    return 0;
}

void Vlm_OnTimer(HWND main, UINT_PTR id)
{
    switch (id) {
    case TIMER_MOUSE:
        KillTimer(main, TIMER_MOUSE);
        CaptureAndHandOff(main, VLM_HOOK_MOUSE_STOP, g_vlm.mouseWindow, g_vlm.mousePoint, 0);
        break;
    case TIMER_KEYBOARD:
        KillTimer(main, TIMER_KEYBOARD);
        if (g_vlm.capture.IntelliWord)
            CaptureAndHandOff(main, VLM_HOOK_HOVER, g_vlm.keyWindow, g_vlm.keyPoint, 1);
        break;
    case TIMER_TRAY: Vlm_TrayCheck(main); break;
    case TIMER_RESUME:
        KillTimer(main, TIMER_RESUME);
        PauseHooks(0);
        break;
    case TIMER_POLL: {
        // The poll stands for the word hook's mouse stops: only while pointer lookup is on.
        if (!g_vlm.switches[SW_POINTER]) break;
        POINT at;
        if (!GetCursorPos(&at)) break;
        MouseStop(main, WindowFromPoint(at), at);
        break;
    }
    }
}

void Vlm_OnDrawClipboard(HWND main)
{
    if (g_vlm.inChain == 1) {
        Vlm_Trace("clipboard");
        Sharedkit_DeliverClipboard(main, g_vlm.capture.ClipboardTranToTranWindow ? VLK_TRANSLATE : VLK_SEARCH,
                                   g_vlm.groupDictionary[4], VLM_DELIVER_ITEM, 0);
    }
    // The viewers after this one in the chain hear of the change only through us.
    if (g_vlm.nextViewer && IsWindow(g_vlm.nextViewer)) SendMessageA(g_vlm.nextViewer, WM_DRAWCLIPBOARD, 0, 0);
}

void Vlm_OnChangeClipboardChain(HWND removed, HWND next)
{
    if (removed == g_vlm.nextViewer) {
        g_vlm.nextViewer = next;
    } else if (g_vlm.nextViewer) {
        SendMessageA(g_vlm.nextViewer, WM_CHANGECBCHAIN, (WPARAM)removed, (LPARAM)next);
    }
}

// The capture of one lookup: the text at the request's point becomes a lookup request for the
// hand-off (vlmcapture.cpp); 0 when it was refused.
LRESULT Vlm_CaptureRequest(HWND main, WPARAM flag, LPARAM request)
{
    return Vlm_CaptureText(main, flag, request);
}
