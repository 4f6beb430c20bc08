// Shared pieces of the rich-edit field tests: a parent window, a stream round trip, and the
// context menu driven from inside its own loop.
#ifndef WIDGETRY_TESTS_FIELDKIT_H
#define WIDGETRY_TESTS_FIELDKIT_H

#include <windows.h>
#include <richedit.h>

#include <string>

#include "widgetry.h"
#include "support/testkit_wait.h"

namespace fieldkit {

inline HWND MakeParent()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = "WidgetryFieldParent";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "WidgetryFieldParent", "Fields", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 500, 300,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

inline HWND MakeField(HWND parent, DWORD style = 0)
{
    return Widgetry_CreateRichEdit(parent, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | style, 10, 10, 400,
                                   200, 1304, GetModuleHandleA(nullptr));
}

// The field's text streamed out in a format: its bytes up to the block's two closing zero bytes
// (16-bit text) or its first zero byte; "(null)" when nothing came back.
inline std::string Out(HWND field, UINT format)
{
    char *block = Widgetry_StreamOutRichEdit(field, format);
    if (!block) return "(null)";
    std::string s;
    if (format & SF_UNICODE) {
        const WCHAR *w = (const WCHAR *)block;
        size_t n = 0;
        while (w[n]) n++;
        s.assign(block, n * 2);
    } else {
        s = block;
    }
    LocalFree(block);
    return s;
}

inline std::string Wide(const wchar_t *text)
{
    return std::string((const char *)text, wcslen(text) * sizeof(wchar_t));
}

// ---- The context menu, driven from inside its loop ------------------------------------------

struct MenuVisit {
    bool seen = false;
    bool cut = false, copy = false, paste = false, selectAll = false;   // enabled
    char pick = 0;                                                      // mnemonic to choose, 0 to cancel
};

inline MenuVisit &Visit()
{
    static MenuVisit visit;
    return visit;
}

inline bool Enabled(HMENU menu, UINT command)
{
    UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
    return state != (UINT)-1 && !(state & (MF_GRAYED | MF_DISABLED));
}

inline void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, id);
    HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    MenuVisit &v = Visit();
    v.seen = true;
    v.cut = Enabled(menu, WIDGETRY_CMD_CUT);
    v.copy = Enabled(menu, WIDGETRY_CMD_COPY);
    v.paste = Enabled(menu, WIDGETRY_CMD_PASTE);
    v.selectAll = Enabled(menu, WIDGETRY_CMD_SELECTALL);
    if (v.pick) PostMessageA(popup, WM_CHAR, v.pick, 0);
    else EndMenu();
}

// Arms the visit; the next menu that opens on this thread is looked at and answered.
inline UINT_PTR ExpectMenu(char pick)
{
    Visit() = MenuVisit();
    Visit().pick = pick;
    return SetTimer(nullptr, 0, 50, LookAtMenu);
}

// Sends a key to the field with Shift held (or not) in the thread's key state.
inline void KeyWithShift(HWND field, UINT message, WPARAM key, bool shift)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    SendMessageA(field, message, key, 1);
    state[VK_SHIFT] = 0;
    SetKeyboardState(state);
}

}  // namespace fieldkit

#endif
