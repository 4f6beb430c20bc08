// The station's hidden main window: window kind 1 for the resident program, the ten search-window
// slots, and the routing of the suite's messages to the search windows.
#include <windows.h>

#include "linguakeeper.h"
#include "sharedkit.h"
#include "uiassets.h"
#include "widgetry.h"
#include "querydesk_int.h"

namespace {

const UINT kOrderDialogId = 1400;

Station g_station;

int FreeSlot()
{
    for (int i = 0; i < QUERYDESK_MAX_WINDOWS; i++)
        if (!g_station.slots[i]) return i;
    return -1;
}

bool AnyWindow()
{
    for (HWND w : g_station.slots)
        if (w) return true;
    return false;
}

// Brings the window to the front even when another process has the foreground.
void BringToFront(HWND window)
{
    typedef void(WINAPI * SwitchProc)(HWND, BOOL);
    HMODULE user = GetModuleHandleA("User32.dll");
    SwitchProc switchTo = user ? (SwitchProc)(void *)GetProcAddress(user, "SwitchToThisWindow") : nullptr;
    if (switchTo) switchTo(window, TRUE);
    HWND foreground = GetForegroundWindow();
    DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0, self = GetCurrentThreadId();
    bool attached = other && other != self && AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    if (attached) AttachThreadInput(self, other, FALSE);
}

LRESULT RouteDelivery(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND target = (wParam & QUERYDESK_DELIVER_NEW) ? Frame_OpenSearchWindow() : Frame_Frontmost();
    if (!target) return 0;
    LRESULT r = SendMessageA(target, message, wParam, lParam);
    if (wParam & QUERYDESK_DELIVER_FRONT) BringToFront(target);
    return r;
}

// Ends everything the main window holds, once (a second close or destroy finds nothing to do).
void TearDown()
{
    if (g_station.tornDown) return;
    g_station.tornDown = true;
    for (HWND &w : g_station.slots)
        if (w && IsWindow(w)) DestroyWindow(w);
    if (g_station.tips) Basekit_TooltipDestroy(g_station.tips);
    g_station.tips = nullptr;
    if (g_station.orderDialog && IsWindow(g_station.orderDialog)) DestroyWindow(g_station.orderDialog);
    g_station.orderDialog = nullptr;
    Sharedkit_SendToMain(VLM_UNREGISTER_WINDOW, 1, 0);
}

LRESULT OnNotify(NMHDR *header)
{
    if (header->hwndFrom != g_station.orderDialog) return 0;
    if (header->code == WIDGETRY_ORDER_CHOSEN) {
        if (HWND front = Frame_Frontmost()) SendMessageA(front, WM_NOTIFY, header->idFrom, (LPARAM)header);
    } else if (header->code == WIDGETRY_ORDER_CHANGED) {
        Frame_SendToAll(VLM_REFRESH_DICTIONARIES, 0, 0);
    }
    return 0;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_station.main = window;
        g_station.tips = Basekit_TooltipCreate();
        Frame_OpenSearchWindow();
        g_station.orderDialog = Widgetry_ShowDicOrderDialog(window, 1, kOrderDialogId);
        Sharedkit_SendToMain(VLM_REGISTER_WINDOW, 1, (LPARAM)window);
        return 0;
    case WM_CLOSE:
        // The teardown runs once, inside the destruction: a close posted while it runs is dropped
        // with the window.
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        TearDown();
        g_station.main = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 1;
    case QUERYDESK_SEARCH_WINDOW_CLOSED:
        if (!g_station.tornDown && !AnyWindow()) PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case VLM_CLOSE:
        DestroyWindow(window);
        return 1;
    case VLM_OPTIONS_CHANGED:
        Linguakeeper_Reload(0);
        Frame_SendToAll(message, wParam, lParam);
        return 1;
    case VLM_REFRESH_DICTIONARIES:
    case VLM_USER_ENTRY_CHANGED:
        Frame_SendToAll(message, wParam, lParam);
        return 1;
    case VLM_DELIVER_ITEM:
    case VLM_SHOW_ENTRY:
        return RouteDelivery(message, wParam, lParam);
    case VLM_NEW_SEARCH_WINDOW:
        Frame_OpenSearchWindow();
        return 0;
    case WM_NOTIFY:
        return OnNotify((NMHDR *)lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Station *Station_Get() { return &g_station; }

bool Frame_RegisterClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    HICON large = nullptr, small = nullptr;
    Uiassets_GetIcons(UIA_IDI_SEARCH, &large, &small);
    wc.hIcon = large;
    wc.lpszClassName = QUERYDESK_MAIN_CLASS;
    return RegisterClassA(&wc) != 0;
}

void Frame_UnregisterClass(HINSTANCE instance) { UnregisterClassA(QUERYDESK_MAIN_CLASS, instance); }

HWND Frame_Create(HINSTANCE instance)
{
    return CreateWindowExA(0, QUERYDESK_MAIN_CLASS, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

HWND Frame_OpenSearchWindow()
{
    if (g_station.tornDown) return nullptr;
    int slot = FreeSlot();
    if (slot < 0) return nullptr;
    HWND w = SearchWindow_Create(slot);
    if (!w) return nullptr;
    g_station.slots[slot] = w;
    Basekit_ForceForeground(w);
    return w;
}

HWND Frame_Frontmost()
{
    for (HWND w = FindWindowExA(nullptr, nullptr, QUERYDESK_WINDOW_CLASS, nullptr); w;
         w = FindWindowExA(nullptr, w, QUERYDESK_WINDOW_CLASS, nullptr))
        for (HWND s : g_station.slots)
            if (s == w) return w;
    return nullptr;
}

void Frame_SendToAll(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (HWND w : g_station.slots)
        if (w) SendMessageA(w, message, wParam, lParam);
}
