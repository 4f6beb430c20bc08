// Tooltip managers: a topmost tooltip window and a message hook on the creating thread that
// relays the thread's mouse messages to it.  Two independent managers exist, each at most once
// per process at a time; their tools ask the window itself for their text.
#include <stdlib.h>

#include "ui_int.h"

#include <commctrl.h>

namespace {

ToolTipManager *g_first;
ToolTipManager *g_second;

// Mouse messages that the tooltip follows: moves, presses and releases, not double clicks.
int IsRelayed(UINT message)
{
    return message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP && message != WM_LBUTTONDBLCLK;
}

LRESULT Relay(ToolTipManager *manager, int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && wParam == PM_REMOVE && manager && manager->Window) {
        MSG *msg = reinterpret_cast<MSG *>(lParam);
        if (IsRelayed(msg->message))
            SendMessageA(manager->Window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK FirstHook(int code, WPARAM wParam, LPARAM lParam)
{
    return Relay(g_first, code, wParam, lParam);
}

LRESULT CALLBACK SecondHook(int code, WPARAM wParam, LPARAM lParam)
{
    return Relay(g_second, code, wParam, lParam);
}

// A manager whose slot is free: its tooltip window and the hook.  Null when the slot is taken
// (a second manager of the same kind would steal the first one's hook) or on failure.
ToolTipManager *Create(ToolTipManager **slot, HOOKPROC hook)
{
    if (*slot != nullptr) return nullptr;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    if (auto init = BASEKIT_LATE("comctl32.dll", InitCommonControlsEx)) init(&controls);
    ToolTipManager *manager = static_cast<ToolTipManager *>(calloc(1, sizeof *manager));
    if (manager == nullptr) return nullptr;
    manager->Window = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                      WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    if (manager->Window == nullptr) {
        free(manager);
        return nullptr;
    }
    *slot = manager;
    manager->Hook = SetWindowsHookExA(WH_GETMESSAGE, hook, nullptr, GetCurrentThreadId());
    return manager;
}

int Destroy(ToolTipManager **slot, ToolTipManager *manager)
{
    if (manager == nullptr || manager != *slot) return 1;   // not this kind's live manager
    if (manager->Hook) UnhookWindowsHookEx(manager->Hook);
    if (manager->Window) DestroyWindow(manager->Window);
    *slot = nullptr;
    free(manager);
    return 0;
}

} // namespace

extern "C" ToolTipManager *WINAPI Basekit_TooltipCreate(void)
{
    return Create(&g_first, FirstHook);
}

extern "C" ToolTipManager *WINAPI Basekit_TooltipCreate2(void)
{
    return Create(&g_second, SecondHook);
}

extern "C" int WINAPI Basekit_TooltipDestroy(ToolTipManager *manager)
{
    return Destroy(&g_first, manager);
}

extern "C" int WINAPI Basekit_TooltipDestroy2(ToolTipManager *manager)
{
    return Destroy(&g_second, manager);
}

extern "C" LRESULT WINAPI Basekit_TooltipAddRect(ToolTipManager *manager, HWND window, UINT_PTR id)
{
    if (manager == nullptr || manager->Window == nullptr) return 0;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = window;
    tool.uId = id;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    return SendMessageA(manager->Window, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

extern "C" LRESULT WINAPI Basekit_TooltipAdd(ToolTipManager *manager, HWND window)
{
    return Basekit_TooltipAddRect(manager, window, reinterpret_cast<UINT_PTR>(window));
}

extern "C" void WINAPI Basekit_TooltipRemove(ToolTipManager *manager, HWND window)
{
    if (manager == nullptr || manager->Window == nullptr) return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    SendMessageA(manager->Window, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}
