// Velomira.exe: the launcher of the sibling programs, found in the folder of Velomira's own file.
#include <windows.h>

#include <shellapi.h>

#include <string.h>

#include "vlm_int.h"

namespace {

const char *ProgramOfKind(int kind)
{
    switch (kind) {
    case VLK_SEARCH: return "QUERYDESK.EXE";
    case VLK_SETUP: return "SHELFVIEW.EXE";
    case VLK_STUDY: return "DRILLBOOK.EXE";
    case VLK_TRANSLATE: return "TRANSPANE.EXE";
    case VLK_WIZARD: return "SETUPGUIDE.EXE";
    }
    return nullptr;
}

// The full path of a file beside Velomira.exe; false when it does not fit.
bool BesideProgram(const char *file, char *path)
{
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    char *slash = strrchr(path, '\\');
    if (!slash || (slash - path) + 1 + lstrlenA(file) >= MAX_PATH) return false;
    return Basekit_PathReplaceFileName(path, file) != nullptr;
}

}  // namespace

// Starts the program of the kind.  A program that runs one window at a time and already has it
// registered is brought to the front instead (a second start of it would end at once and show
// nothing); the search station is always started, since its second start opens one more window.
// 1 when started or shown, 0 otherwise.
int Vlm_StartKind(int kind)
{
    const char *file = ProgramOfKind(kind);
    if (!file) return 0;
    if (kind != VLK_SEARCH) {
        if (HWND running = Vlm_KindWindow(kind)) {
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            Basekit_ForceForeground(running);
            Vlm_Trace("show %d", kind);
            return 1;
        }
    }
    char path[MAX_PATH];
    if (!BesideProgram(file, path)) return 0;
    char line[MAX_PATH];
    lstrcpynA(line, path, MAX_PATH);
    STARTUPINFOA si = {sizeof si};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    BOOL ok = CreateProcessA(path, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    Vlm_Trace("launch %d %s ok=%d pid=%lu", kind, file, ok != 0, ok ? pi.dwProcessId : 0);
    if (!ok) return 0;
    VlmLaunch &slot = g_vlm.launches[kind];
    // Only the last start is kept; the handles of the one before are not needed any more.
    if (slot.process) CloseHandle(slot.process);
    if (slot.thread) CloseHandle(slot.thread);
    slot = {pi.dwProcessId, pi.dwThreadId, pi.hProcess, pi.hThread};
    return 1;
}

void Vlm_CloseLaunches()
{
    for (VlmLaunch &slot : g_vlm.launches) {
        if (slot.process) CloseHandle(slot.process);
        if (slot.thread) CloseHandle(slot.thread);
        slot = {};
    }
}

int Vlm_OpenBesideProgram(const char *file, const char *verb)
{
    char path[MAX_PATH];
    if (!BesideProgram(file, path)) return 0;
    HINSTANCE r = ShellExecuteA(g_vlm.main, verb, path, nullptr, nullptr, SW_SHOWNORMAL);
    Vlm_Trace("open %s %d", file, (INT_PTR)r > 32);
    return (INT_PTR)r > 32;
}
