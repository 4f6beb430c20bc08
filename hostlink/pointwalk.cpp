// The window a capture reads at a screen point: the innermost visible child that holds the point,
// with group boxes passed over, and the edit fields of an IP-address control.
#include "hostlink_int.h"

namespace {

bool IsGroupBox(HWND w) {
    char cls[16];
    if (!GetClassNameA(w, cls, sizeof(cls)) || lstrcmpiA(cls, "BUTTON") != 0) return false;
    return (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Holds(HWND w, POINT pt) {
    RECT r;
    return GetWindowRect(w, &r) && PtInRect(&r, pt);
}

// Among the children of parent, the highest in z-order that is visible and holds the point; a
// group box is passed over unless it is the lowest child.
HWND PickChild(HWND parent, POINT pt) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c) || !Holds(c, pt)) continue;
        bool lowest = GetWindow(c, GW_HWNDNEXT) == nullptr;
        if (!lowest && IsGroupBox(c)) continue;
        return c;
    }
    return nullptr;
}

bool IsIpAddress(HWND w) {
    char cls[32];
    if (!GetClassNameA(w, cls, sizeof(cls))) return false;
    return lstrcmpiA(cls, "IPAddress") == 0 || lstrcmpiA(cls, "SysIPAddress32") == 0;
}

}  // namespace

HWND Hostlink_WindowAtPoint(POINT pt) {
    HWND at = WindowFromPoint(pt);
    if (!at) return nullptr;
    HWND cur = GetAncestor(at, GA_ROOT);
    if (!cur) cur = at;
    for (int depth = 0; depth < 64; depth++) {
        HWND child = PickChild(cur, pt);
        if (!child) break;
        cur = child;
    }
    LONG style = GetWindowLongA(cur, GWL_STYLE);
    LONG exStyle = GetWindowLongA(cur, GWL_EXSTYLE);
    if ((style & WS_CHILD) && !(exStyle & WS_EX_MDICHILD)) {
        HWND parent = GetParent(cur);
        HWND sibling = parent ? PickChild(parent, pt) : nullptr;
        if (sibling) cur = sibling;
    }
    if (IsIpAddress(cur)) {
        HWND first = GetWindow(cur, GW_CHILD);
        if (first && Holds(first, pt)) return first;
        HWND next = first;
        for (int i = 0; i < 3 && next; i++) {
            next = GetWindow(next, GW_HWNDNEXT);
            if (next && Holds(next, pt)) return next;
        }
    }
    return cur;
}
