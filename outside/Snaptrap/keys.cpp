// Which keys are modifiers and which key presses count as typing.
#include "snaptrap_int.h"

namespace {
// Side bits of the modifier keys.
enum : UINT {
    kLShift = 1, kRShift = 2, kLCtrl = 4, kRCtrl = 8, kLAlt = 16, kRAlt = 32, kLWin = 64, kRWin = 128,
};
}  // namespace

UINT Snaptrap_ModifierFlag(UINT vk) {
    switch (vk) {
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return MOD_SHIFT;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return MOD_CONTROL;
    case VK_MENU: case VK_LMENU: case VK_RMENU: return MOD_ALT;
    case VK_LWIN: case VK_RWIN: return MOD_WIN;
    }
    return 0;
}

UINT Snaptrap_SideBit(UINT vk) {
    switch (vk) {
    case VK_SHIFT: case VK_LSHIFT: return kLShift;
    case VK_RSHIFT: return kRShift;
    case VK_CONTROL: case VK_LCONTROL: return kLCtrl;
    case VK_RCONTROL: return kRCtrl;
    case VK_MENU: case VK_LMENU: return kLAlt;
    case VK_RMENU: return kRAlt;
    case VK_LWIN: return kLWin;
    case VK_RWIN: return kRWin;
    }
    return 0;
}

UINT Snaptrap_ModsOfSides(UINT sides) {
    UINT mods = 0;
    if (sides & (kLShift | kRShift)) mods |= MOD_SHIFT;
    if (sides & (kLCtrl | kRCtrl)) mods |= MOD_CONTROL;
    if (sides & (kLAlt | kRAlt)) mods |= MOD_ALT;
    if (sides & (kLWin | kRWin)) mods |= MOD_WIN;
    return mods;
}

bool Snaptrap_IsTyping(UINT vk, UINT mods) {
    if (mods & (MOD_CONTROL | MOD_ALT | MOD_WIN)) return false;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return true;
    if (vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) return true;     // the numeric pad
    if (vk >= VK_OEM_1 && vk <= VK_OEM_3) return true;         // ; = , - . / `
    if (vk >= VK_OEM_4 && vk <= VK_OEM_8) return true;         // [ \ ] '
    switch (vk) {
    case VK_OEM_102: case VK_PACKET: case VK_SPACE: case VK_BACK: case VK_DELETE:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
        return true;
    }
    return false;
}

bool Snaptrap_InGrownRect(const RECT &rc, int margin, POINT pt) {
    return pt.x >= rc.left - margin && pt.x < rc.right + margin && pt.y >= rc.top - margin &&
           pt.y < rc.bottom + margin;
}
