// The two calls of a message loop: editing keys go to the field before accelerators and dialogs
// see them, and typed characters reach the field in UTF-16 whatever the loop's code page.
#include "quickfield.h"
#include "quickfield_int.h"

namespace {

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

// Keys that a field edits with; all others are left to the loop's accelerators and dialogs.
bool FieldTakesKey(WPARAM vk, bool ctrl) {
    switch (vk) {
    case VK_RETURN: case VK_ESCAPE: case VK_TAB: case VK_UP: case VK_DOWN: case VK_PRIOR:
    case VK_NEXT: case VK_APPS: case VK_CANCEL:
        return false;
    }
    if (vk >= VK_F1 && vk <= VK_F24) return false;
    if (!ctrl) return true;
    switch (vk) {
    case 'A': case 'C': case 'V': case 'X': case 'Z': case VK_INSERT: case VK_BACK: case VK_DELETE:
    case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
        return true;
    }
    return false;
}

}  // namespace

BOOL WINAPI Quickfield_TranslateMessage(const MSG *msg) {
    if (!msg) return FALSE;
    BOOL translated = TranslateMessage(msg);
    if (translated && msg->message == WM_KEYDOWN && Quickfield_IsField(msg->hwnd)) {
        // The characters of this key press wait in the queue in UTF-16; taken out here they keep
        // it, where an ANSI loop would cut them to the system code page.
        MSG c;
        while (PeekMessageW(&c, msg->hwnd, WM_CHAR, WM_CHAR, PM_REMOVE))
            PostMessageW(c.hwnd, QFM_CHAR, c.wParam, c.lParam);
    }
    return translated;
}

BOOL WINAPI Quickfield_PreTranslateMessage(MSG *msg) {
    if (!msg || msg->message != WM_KEYDOWN || !Quickfield_IsField(msg->hwnd)) return FALSE;
    if (!FieldTakesKey(msg->wParam, CtrlHeld())) return FALSE;
    Quickfield_TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}
