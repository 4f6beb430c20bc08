// The system's flat scroll bars for editors without the custom-drawn ones.  The functions are
// looked up in the common-controls library at run time (the import library lacks them); without
// them the window's standard scroll bars serve.
#include "scrivel_int.h"
#include <commctrl.h>

namespace {

typedef BOOL(WINAPI *InitFn)(HWND);
typedef HRESULT(WINAPI *UninitFn)(HWND);
typedef int(WINAPI *SetInfoFn)(HWND, int, LPSCROLLINFO, BOOL);
typedef BOOL(WINAPI *GetInfoFn)(HWND, int, LPSCROLLINFO);
typedef BOOL(WINAPI *SetPropFn)(HWND, UINT, INT_PTR, BOOL);

struct Flat {
    InitFn init;
    UninitFn uninit;
    SetInfoFn setInfo;
    GetInfoFn getInfo;
    SetPropFn setProp;
};

INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
Flat g_flat;

BOOL CALLBACK Load(PINIT_ONCE, PVOID, PVOID *) {
    HMODULE m = LoadLibraryA("comctl32.dll");
    if (m) {
        g_flat.init = reinterpret_cast<InitFn>(GetProcAddress(m, "InitializeFlatSB"));
        g_flat.uninit = reinterpret_cast<UninitFn>(GetProcAddress(m, "UninitializeFlatSB"));
        g_flat.setInfo = reinterpret_cast<SetInfoFn>(GetProcAddress(m, "FlatSB_SetScrollInfo"));
        g_flat.getInfo = reinterpret_cast<GetInfoFn>(GetProcAddress(m, "FlatSB_GetScrollInfo"));
        g_flat.setProp = reinterpret_cast<SetPropFn>(GetProcAddress(m, "FlatSB_SetScrollProp"));
    }
    return TRUE;
}

const Flat &Get() {
    InitOnceExecuteOnce(&g_once, Load, nullptr, nullptr);
    return g_flat;
}

}  // namespace

void ScrivelFlat_Init(HWND hwnd, int regularVertical) {
    const Flat &f = Get();
    if (!f.init || !f.init(hwnd) || !f.setProp) return;
    f.setProp(hwnd, WSB_PROP_VSTYLE, regularVertical ? FSB_REGULAR_MODE : FSB_ENCARTA_MODE, FALSE);
    f.setProp(hwnd, WSB_PROP_VBKGCOLOR, static_cast<INT_PTR>(GetSysColor(COLOR_WINDOW)), FALSE);
    f.setProp(hwnd, WSB_PROP_CXVSCROLL, GetSystemMetrics(SM_CXVSCROLL), FALSE);
    f.setProp(hwnd, WSB_PROP_CYVSCROLL, GetSystemMetrics(SM_CYVSCROLL), FALSE);
    f.setProp(hwnd, WSB_PROP_CYVTHUMB, GetSystemMetrics(SM_CYVTHUMB), FALSE);
}

void ScrivelFlat_Uninit(HWND hwnd) {
    const Flat &f = Get();
    if (f.uninit) f.uninit(hwnd);
}

int ScrivelFlat_SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO *si, BOOL redraw) {
    const Flat &f = Get();
    SCROLLINFO copy = *si;
    return f.setInfo ? f.setInfo(hwnd, bar, &copy, redraw) : SetScrollInfo(hwnd, bar, &copy, redraw);
}

int ScrivelFlat_GetScrollInfo(HWND hwnd, int bar, SCROLLINFO *si) {
    const Flat &f = Get();
    return f.getInfo ? f.getInfo(hwnd, bar, si) : GetScrollInfo(hwnd, bar, si);
}
