// The library's start and end, and the pop-up manager: the hidden window of kind 5 that takes the
// delivered lookups and hands each to a viewer or to the candidate list, and keeps the table of
// up to ten viewers.
#include "bubblepane_int.h"

#include "lexshelf.h"
#include "sharedkit.h"
#include "uiassets.h"

BubbleState g_bubble;

namespace {

bool IsLive(HWND w) { return w && IsWindow(w); }

int LiveViewerCount()
{
    int n = 0;
    for (HWND w : g_bubble.slots)
        if (IsLive(w)) n++;
    return n;
}

int FreeSlot()
{
    for (int i = 0; i < BUBBLEPANE_MAX_VIEWERS; i++)
        if (!IsLive(g_bubble.slots[i])) return i;
    return -1;
}

bool IsPinned(HWND w)
{
    Viewer *v = ViewerOf(w);
    return v && v->pin && SendMessageA(v->pin, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The first live, unpinned viewer that is neither the source window nor its parent; else a new
// viewer in the first free slot (null when every slot holds a live viewer).
HWND PickViewer(HWND manager, HWND source)
{
    HWND parent = source ? GetParent(source) : nullptr;
    for (HWND w : g_bubble.slots) {
        if (!IsLive(w) || IsPinned(w)) continue;
        if (source && (w == source || w == parent)) continue;
        return w;
    }
    return Manager_CreateViewer(manager, 0);
}

void ReadListMode()
{
    CaptureOptions capture = {};
    Prefstore_LoadCapture(&capture);
    g_bubble.listMode = capture.ListMode;
}

HWND FirstLiveViewer()
{
    for (HWND w : g_bubble.slots)
        if (IsLive(w)) return w;
    return nullptr;
}

LRESULT Route(HWND manager, LPARAM id)
{
    VLTranParam *request = static_cast<VLTranParam *>(Sharedkit_ReceiveItem(id));
    if (!request) return 0;
    DWORD kind = request->requestKind;
    bool toList = kind == 4 || kind == 5 || kind == 6 || g_bubble.listMode;
    if (toList && IsLive(g_bubble.list)) {
        HWND parent = request->sourceWindow ? GetParent(request->sourceWindow) : nullptr;
        if (!parent || parent != FirstLiveViewer()) {
            SendMessageA(g_bubble.list, VLM_POPUP_SHOW_ITEM, 0, reinterpret_cast<LPARAM>(request));
            return 1;
        }
    }
    HWND viewer = PickViewer(manager, request->sourceWindow);
    if (!viewer) {
        VLTranParam_Destroy(request);
        return 0;
    }
    SendMessageA(viewer, VLM_POPUP_SHOW_ITEM, 0, reinterpret_cast<LPARAM>(request));
    return 1;
}

void Pin(HWND manager, bool pin, HWND viewer)
{
    if (!pin) {
        if (IsLive(viewer) && viewer != g_bubble.slots[0]) DestroyWindow(viewer);
        for (HWND &w : g_bubble.slots)
            if (w == viewer && !IsWindow(w)) w = nullptr;
        // The viewer a lookup without source would get next starts afresh as well.
        HWND next = nullptr;
        for (HWND w : g_bubble.slots)
            if (IsLive(w) && !IsPinned(w)) {
                next = w;
                break;
            }
        if (next && next != g_bubble.slots[0]) DestroyWindow(next);
        return;
    }
    if (viewer != g_bubble.slots[0]) return;
    int free = -1;
    for (int i = 1; i < BUBBLEPANE_MAX_VIEWERS; i++)
        if (!IsLive(g_bubble.slots[i])) {
            free = i;
            break;
        }
    if (free < 0) return;  // no room: the viewer stays the main one
    g_bubble.slots[free] = viewer;
    g_bubble.slots[0] = nullptr;
    Manager_CreateViewer(manager, 0);
}

LRESULT CALLBACK ManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        g_bubble.manager = window;
        SendMessageA(FindWindowA("VelomiraV5MainWindow", nullptr), BUBBLEPANE_VLM_REGISTER_WINDOW,
                     BUBBLEPANE_WINDOW_KIND, reinterpret_cast<LPARAM>(window));
        ReadListMode();
        Manager_CreateViewer(window, 0);
        g_bubble.list = List_Create(window);
        return 0;
    case WM_DESTROY:
        for (HWND &w : g_bubble.slots) {
            if (IsLive(w)) {
                SendMessageA(w, WM_CLOSE, 0, 0);
                DestroyWindow(w);
            }
            w = nullptr;
        }
        if (IsLive(g_bubble.list)) DestroyWindow(g_bubble.list);
        g_bubble.list = nullptr;
        Sharedkit_SendToMain(BUBBLEPANE_VLM_UNREGISTER_WINDOW, BUBBLEPANE_WINDOW_KIND, 0);
        if (g_bubble.manager == window) g_bubble.manager = nullptr;
        return 0;
    case BUBBLEPANE_VLM_DELIVER_ITEM:
        return Route(window, lParam);
    case VLM_POPUP_HIDE:
        return IsLive(g_bubble.list) ? SendMessageA(g_bubble.list, VLM_POPUP_HIDE, wParam, lParam) : 0;
    case VLM_POPUP_MENU_AT:
        return Sharedkit_SendToMain(BUBBLEPANE_VLM_SHOW_MAIN_MENU, wParam, lParam);
    case VLM_POPUP_DROP_VIEWER:
        for (HWND &w : g_bubble.slots)
            if (w == reinterpret_cast<HWND>(lParam)) w = nullptr;
        return 1;
    case VLM_POPUP_PIN:
        Pin(window, wParam != 0, reinterpret_cast<HWND>(lParam));
        return 1;
    case VLM_POPUP_OPTIONS:
        return Sharedkit_SendToMain(BUBBLEPANE_VLM_SHOW_OPTIONS, 0, 0);
    case VLM_POPUP_FIND_VIEWER: {
        HWND viewer = PickViewer(window, nullptr);
        if (viewer) SendMessageA(viewer, VLM_POPUP_FIND_VIEWER, wParam, lParam);
        return reinterpret_cast<LRESULT>(viewer);
    }
    case VLM_POPUP_MOVE_VIEWER: {
        HWND viewer = Manager_CreateViewer(window, BUBBLEPANE_VF_SIDE | BUBBLEPANE_VF_FIXED);
        if (!viewer) return 0;
        SetWindowPos(viewer, HWND_TOPMOST, static_cast<SHORT>(LOWORD(wParam)), static_cast<SHORT>(HIWORD(wParam)),
                     0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        SendMessageA(viewer, VLM_POPUP_FIND_VIEWER, 0, lParam);
        return reinterpret_cast<LRESULT>(viewer);
    }
    case VLM_POPUP_NEW_VIEWER:
        return reinterpret_cast<LRESULT>(Manager_CreateViewer(window, 0));
    case BUBBLEPANE_VLM_CLOSE:
        DestroyWindow(window);
        return 1;
    case BUBBLEPANE_VLM_OPTIONS_CHANGED:
        ReadListMode();
        for (HWND w : g_bubble.slots)
            if (IsLive(w)) SendMessageA(w, BUBBLEPANE_VLM_OPTIONS_CHANGED, wParam, lParam);
        // A viewer destroys itself on the notice; the main viewer is made again at once so that
        // the next lookup finds it in slot 0.
        if (!IsLive(g_bubble.slots[0])) Manager_CreateViewer(window, 0);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

bool Manager_IsLiveViewer(HWND window)
{
    for (HWND w : g_bubble.slots)
        if (w && w == window) return IsWindow(w) != FALSE;
    return false;
}

HWND Manager_CreateViewer(HWND manager, DWORD extraFlags)
{
    PopupWindowOptions options = {};
    PopupWindowLayout layout = {};
    Prefstore_LoadPopupWindow(&options, &layout);
    const bool side = (extraFlags & BUBBLEPANE_VF_SIDE) != 0;
    int slot = -1;
    if (!side) {
        slot = FreeSlot();
        if (slot < 0) return nullptr;  // ten viewers live: no more
    }
    int live = LiveViewerCount();
    DWORD flags = extraFlags;
    if (!side) {
        if (live < 9) flags |= BUBBLEPANE_VF_PIN;
        if (live == 0 && options.Fixed) flags |= BUBBLEPANE_VF_FIXED;
        if (options.FixedSize) flags |= BUBBLEPANE_VF_FIXEDSIZE;
    }
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_THICKFRAME, exStyle = WS_EX_TOPMOST;
    if (side || !options.UseSkin) {
        style |= WS_BORDER;
        exStyle |= WS_EX_WINDOWEDGE;
    }
    if ((flags & BUBBLEPANE_VF_FIXED) && !side) style |= WS_VISIBLE;
    int cx = layout.cx > 0 ? layout.cx : 300, cy = layout.cy > 0 ? layout.cy : 220;
    HWND w = CreateWindowExA(exStyle, BUBBLEPANE_VIEWER_CLASS, "", style, layout.x, layout.y, cx, cy, manager,
                             nullptr, g_bubble.instance, reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(flags)));
    if (w && slot >= 0) g_bubble.slots[slot] = w;
    return w;
}

bool Manager_RegisterClasses(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ManagerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = BUBBLEPANE_MANAGER_CLASS;
    wc.hIcon = Uiassets_LoadIcon(UIA_IDI_POPUP);
    if (!RegisterClassA(&wc)) return false;
    WNDCLASSA vc = {};
    vc.style = 131;  // CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS
    vc.cbWndExtra = sizeof(LONG_PTR);
    vc.lpfnWndProc = Viewer_WindowProc;
    vc.hInstance = instance;
    vc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    vc.lpszClassName = BUBBLEPANE_VIEWER_CLASS;
    if (!RegisterClassA(&vc)) return false;
    vc.lpfnWndProc = List_WindowProc;
    vc.lpszClassName = BUBBLEPANE_LIST_CLASS;
    return RegisterClassA(&vc) != 0;
}

void Manager_UnregisterClasses(HINSTANCE instance)
{
    UnregisterClassA(BUBBLEPANE_LIST_CLASS, instance);
    UnregisterClassA(BUBBLEPANE_VIEWER_CLASS, instance);
    UnregisterClassA(BUBBLEPANE_MANAGER_CLASS, instance);
}

namespace {

// Classes, brushes, the grip pattern and the menu are made at the first Bubblepane_Create, on the
// caller's thread and outside the loader lock (the class icon comes from the resource library).
bool Start()
{
    if (g_bubble.started) return true;
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user) {
        g_bubble.monitorFromWindow = reinterpret_cast<HMONITOR(WINAPI *)(HWND, DWORD)>(
            reinterpret_cast<void *>(GetProcAddress(user, "MonitorFromWindow")));
        g_bubble.getMonitorInfo = reinterpret_cast<BOOL(WINAPI *)(HMONITOR, LPMONITORINFO)>(
            reinterpret_cast<void *>(GetProcAddress(user, "GetMonitorInfoA")));
    }
    if (!Manager_RegisterClasses(g_bubble.instance)) return false;
    Basekit_RegisterFlatButton();
    g_bubble.faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    g_bubble.gripBrush = CreateSolidBrush(0xBF5860);
    g_bubble.grip = reinterpret_cast<DibHandle *>(Basekit_DibHandleCreate());
    if (g_bubble.grip)
        Basekit_DibHandleLoadResource(g_bubble.grip, Uiassets_GetModule(), MAKEINTRESOURCEA(UIA_IDB_GRIP));
    g_bubble.dicMenu = CreatePopupMenu();
    CandidateListOptions candidates = {};
    Prefstore_LoadCandidateList(&candidates);
    g_bubble.sortMode = candidates.SortByLength;
    g_bubble.started = true;
    return true;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_bubble = BubbleState();
        g_bubble.instance = instance;
    } else if (reason == DLL_PROCESS_DETACH && !reserved && g_bubble.started) {
        // An unload while the process goes on: give back what the first create made.
        Manager_UnregisterClasses(instance);
        if (g_bubble.dicMenu) DestroyMenu(g_bubble.dicMenu);
        if (g_bubble.grip) Basekit_DibHandleFree(g_bubble.grip);
        if (g_bubble.gripBrush) DeleteObject(g_bubble.gripBrush);
        if (g_bubble.faceBrush) DeleteObject(g_bubble.faceBrush);
    }
    return TRUE;
}

extern "C" HWND WINAPI Bubblepane_Create(HWND parent, ToolTipManager *tooltips)
{
    if (IsLive(g_bubble.manager)) return g_bubble.manager;  // one manager per process
    if (!Start()) return nullptr;
    g_bubble.tooltips = tooltips;
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, BUBBLEPANE_MANAGER_CLASS, "", 0, 0, 0, 0, 0, parent,
                           nullptr, g_bubble.instance, nullptr);
}
