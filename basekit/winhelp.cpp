// Placing, sizing and activating windows.
#include "files_int.h"
#include "basekit.h"

namespace {

void SetCaptionAndIcon(HWND window, const char *caption, HICON icon)
{
    if (caption) SetWindowTextA(window, caption);
    if (icon) {
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
}

// Where the client area starts inside the window rectangle.
POINT ClientOffset(HWND window)
{
    RECT frame;
    POINT origin = {0, 0};
    GetWindowRect(window, &frame);
    ClientToScreen(window, &origin);
    POINT offset = {origin.x - frame.left, origin.y - frame.top};
    return offset;
}

// The size of a bitmap resource; 0 when it cannot be loaded.
int BitmapSize(HINSTANCE module, UINT id, SIZE *size)
{
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    if (bitmap == nullptr) return 0;
    BITMAP info = {};
    int ok = GetObjectA(bitmap, sizeof info, &info) != 0;
    DeleteObject(bitmap);
    size->cx = info.bmWidth;
    size->cy = info.bmHeight;
    return ok;
}

} // namespace

extern "C" BOOL WINAPI Basekit_CenterWindow(HWND window, const char *caption, HICON icon)
{
    if (!IsWindow(window)) return FALSE;
    SetCaptionAndIcon(window, caption, icon);
    RECT client;
    GetClientRect(window, &client);
    POINT offset = ClientOffset(window);
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - client.right) / 2 - offset.x;
    int y = (GetSystemMetrics(SM_CYFULLSCREEN) - client.bottom) / 2 - offset.y;
    return SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

extern "C" BOOL WINAPI Basekit_CenterWindowTop(HWND window, const char *caption, HICON icon)
{
    if (!IsWindow(window)) return FALSE;
    SetCaptionAndIcon(window, caption, icon);
    RECT client;
    GetClientRect(window, &client);
    int width = client.right + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    int height = client.bottom + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSIZE);
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2;
    BOOL done = SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_SHOWWINDOW);
    SetForegroundWindow(window);
    return done;
}

extern "C" BOOL WINAPI Basekit_SizeToBitmap(HINSTANCE module, UINT bitmapId, HWND window,
                                            const char *caption, HICON icon, BOOL withCaption)
{
    SIZE bitmap;
    if (!IsWindow(window) || !BitmapSize(module, bitmapId, &bitmap)) return FALSE;
    SetCaptionAndIcon(window, caption, icon);
    int width = bitmap.cx + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    int height = bitmap.cy + 2 * GetSystemMetrics(SM_CYDLGFRAME);
    if (withCaption) height += GetSystemMetrics(SM_CYSIZE);
    return SetWindowPos(window, nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

extern "C" BOOL WINAPI Basekit_SizeToBitmapWidth(HINSTANCE module, UINT bitmapId, HWND window,
                                                 const char *caption, HICON icon, BOOL withCaption)
{
    SIZE bitmap;
    if (!IsWindow(window) || !BitmapSize(module, bitmapId, &bitmap)) return FALSE;
    SetCaptionAndIcon(window, caption, icon);
    RECT client;
    GetClientRect(window, &client);
    if (client.bottom >= bitmap.cy) return TRUE;
    int height = bitmap.cy + 2 * GetSystemMetrics(SM_CYDLGFRAME);
    if (withCaption) height += GetSystemMetrics(SM_CYSIZE);
    return SetWindowPos(window, nullptr, 0, 0, client.right, height, SWP_NOMOVE | SWP_NOZORDER);
}

extern "C" BOOL WINAPI Basekit_SizeToBitmapCentered(HINSTANCE module, UINT bitmapId, HWND window,
                                                    const char *caption, HICON icon,
                                                    BOOL withCaption)
{
    if (!Basekit_SizeToBitmap(module, bitmapId, window, caption, icon, withCaption)) return FALSE;
    return Basekit_CenterWindow(window, nullptr, nullptr);
}

extern "C" BOOL WINAPI Basekit_PlaceChildBottomRight(HWND parent, HWND child, int margin)
{
    if (!IsWindow(parent) || !IsWindow(child)) return FALSE;
    RECT area, client;
    GetClientRect(parent, &area);
    GetClientRect(child, &client);
    POINT offset = ClientOffset(child);
    int x = area.right - margin - GetSystemMetrics(SM_CXDLGFRAME) - client.right - offset.x;
    int y = area.bottom - margin - GetSystemMetrics(SM_CYDLGFRAME) - client.bottom - offset.y;
    return SetWindowPos(child, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

extern "C" BOOL WINAPI Basekit_SetWindowFrame(HWND window, int x, int y, int width, int height,
                                              UINT flags, const char *caption, HICON icon)
{
    if (!IsWindow(window)) return FALSE;
    SetCaptionAndIcon(window, caption, icon);
    return SetWindowPos(window, nullptr, x, y, width, height, flags);
}

extern "C" HWND WINAPI Basekit_ForceForeground(HWND window)
{
    if (!IsWindow(window) || !IsWindowVisible(window)) return nullptr;
    HWND foreground = GetForegroundWindow();
    if (foreground == window) return window;
    typedef void(WINAPI * SwitchFn)(HWND, BOOL);
    HMODULE user = GetModuleHandleA("User32.dll");
    SwitchFn switchTo =
        user ? reinterpret_cast<SwitchFn>(
                   reinterpret_cast<void *>(GetProcAddress(user, "SwitchToThisWindow")))
             : nullptr;
    if (switchTo) switchTo(window, TRUE);
    DWORD self = GetCurrentThreadId();
    DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    bool attached = other != 0 && other != self && AttachThreadInput(self, other, TRUE);
    SetForegroundWindow(window);
    BringWindowToTop(window);
    if (attached) AttachThreadInput(self, other, FALSE);
    return window;
}

extern "C" HWND WINAPI Basekit_ForceActive(HWND window)
{
    if (!IsWindow(window) || !IsWindowVisible(window)) return nullptr;
    DWORD self = GetCurrentThreadId();
    DWORD other = GetWindowThreadProcessId(window, nullptr);
    bool attached = other != self && AttachThreadInput(self, other, TRUE);
    if (GetActiveWindow() != window) SetActiveWindow(window);
    if (attached) AttachThreadInput(self, other, FALSE);
    return window;
}

