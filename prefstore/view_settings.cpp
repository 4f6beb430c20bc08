// Applying view options to an entry viewer, reading a window's placement, and the program's
// shortcuts in the Startup folder, on the desktop and in Quick Launch.
#include "basekit.h"
#include "prefstore.h"
#include "prefstore_int.h"

#include <stdio.h>
#include <string.h>

// Messages of the entry viewer control.
enum {
    kViewerSetColours = 0x400,   // wParam 2: lParam -> three 32-bit values, background second
    kViewerSetFontSize = 0x407,  // wParam font size
    kViewerSetStyle = 0x409,     // wParam display style, lParam layer
    kViewerOpenLayer = 0x40B,    // wParam layer
    kViewerSetFlags = 0x415,     // wParam flag word
};
// Flag word bits: a feature that is off.
enum : DWORD {
    kNoLineFeed = 0x80000000u,
    kNoRichText = 0x40000000u,
    kNoLayer = 0x20000000u,
};

void WINAPI Prefstore_ApplyViewSettings(HWND viewer, const ViewOptions *view, int setColour)
{
    if (!view) return;
    if (setColour) {
        DWORD colours[3] = {0, view->BackGroundColor, 0};
        SendMessageA(viewer, kViewerSetColours, 2, (LPARAM)colours);
    }
    SendMessageA(viewer, kViewerSetFontSize, (WPARAM)view->FontSize, 0);
    DWORD flags = 0;
    if (!view->EnableLineFeed) flags |= kNoLineFeed;
    if (!view->UseRichText) flags |= kNoRichText;
    if (!view->EnableLayer) flags |= kNoLayer;
    SendMessageA(viewer, kViewerSetFlags, flags, 0);
    if (view->OpenLayer > 0) SendMessageA(viewer, kViewerOpenLayer, (WPARAM)view->OpenLayer, 0);
    SendMessageA(viewer, kViewerSetStyle, (WPARAM)view->DispStyle, (LPARAM)view->OpenLayer);
    if (IsWindowVisible(viewer)) InvalidateRect(viewer, nullptr, TRUE);
}

int WINAPI Prefstore_GetWindowPlacement(HWND window, POINT *position, SIZE *size, int *maximised)
{
    WINDOWPLACEMENT wp;
    memset(&wp, 0, sizeof wp);
    wp.length = sizeof wp;
    if (!GetWindowPlacement(window, &wp)) return 0;
    // The normal rectangle is that of the restored window, so a maximised window keeps its size.
    if (position) {
        position->x = wp.rcNormalPosition.left;
        position->y = wp.rcNormalPosition.top;
    }
    if (size) {
        size->cx = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
        size->cy = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
    }
    if (maximised) *maximised = IsZoomed(window) ? 1 : 0;
    return 1;
}

// ---- Shortcuts ----

// This library's own file path.
static int Prefstore_ModulePath(char *path)
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)(void *)&Prefstore_ModulePath, &self))
        return 0;
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    return n > 0 && n < MAX_PATH;
}

// The shortcut name: string 2 of the resource library beside this one (loaded as data when the
// process has not loaded it), or the program's name when it has none.
static void Prefstore_ShortcutName(char *name, int size)
{
    HMODULE res = GetModuleHandleA("Uiassets.dll");
    HMODULE loaded = nullptr;
    char path[MAX_PATH];
    if (!res && Prefstore_ModulePath(path) && strlen(path) + sizeof "Uiassets.dll" < MAX_PATH) {
        Basekit_PathReplaceFileName(path, "Uiassets.dll");
        res = loaded = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    if (!res || LoadStringA(res, 2, name, size) <= 0) lstrcpynA(name, "Velomira", size);
    if (loaded) FreeLibrary(loaded);
}

// Creates (on) or deletes (off) the link "folder\name.lnk".
static void Prefstore_SyncShortcut(const char *folder, const char *name, int on, const char *target,
                                   const char *workdir)
{
    if (!folder[0]) return;
    char link[MAX_PATH];
    if (strlen(folder) + 1 + strlen(name) + sizeof ".lnk" > MAX_PATH) return;
    lstrcpynA(link, folder, MAX_PATH);
    Basekit_PathAppend(link, name);
    strcat(link, ".lnk");
    if (on)
        Basekit_CreateShortcut(target, link, workdir, name);  // an existing link stays as it is
    else
        DeleteFileA(link);
}

void WINAPI Prefstore_UpdateShortcuts(void)
{
    StartupOptions options;
    Prefstore_LoadStartup(&options);
    char name[256];
    Prefstore_ShortcutName(name, sizeof name);

    char target[MAX_PATH], workdir[MAX_PATH];
    if (!Prefstore_ModulePath(target) || strlen(target) + sizeof "Velomira.exe" > MAX_PATH) return;
    Basekit_PathReplaceFileName(target, "Velomira.exe");
    lstrcpynA(workdir, target, MAX_PATH);
    char *slash = Basekit_PathFindFileName(workdir);
    if (slash) *slash = '\0';

    char folder[MAX_PATH];
    folder[0] = '\0';
    if (Basekit_GetStartupFolder(folder))
        Prefstore_SyncShortcut(folder, name, options.StartUp, target, workdir);
    folder[0] = '\0';
    if (Basekit_GetDesktopFolder(folder))
        Prefstore_SyncShortcut(folder, name, options.DeskTop, target, workdir);
    folder[0] = '\0';
    if (Basekit_GetQuickLaunchFolder(folder))
        Prefstore_SyncShortcut(folder, name, options.QuickLauncher, target, workdir);
}
