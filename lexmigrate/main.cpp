// Lexmigrate.exe: upgrades the dictionaries of the two older versions to the version-4 format and
// then starts the dictionary finder with "/n" so that it registers what is new.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "lexmigrate.h"
#include "program.h"
#include "uiassets.h"

namespace {

bool MutexExists(const char *name)
{
    HANDLE h = OpenMutexA(SYNCHRONIZE, FALSE, name);
    if (h) {
        CloseHandle(h);
        return true;
    }
    return GetLastError() == ERROR_ACCESS_DENIED;
}

// The resident program of this version or of the earlier one.
bool MainProgramRunning()
{
    return MutexExists(LEXMIGRATE_RESIDENT_MUTEX_V5) || MutexExists(LEXMIGRATE_RESIDENT_MUTEX) ||
           FindWindowA(LEXMIGRATE_RESIDENT_CLASS_V5, nullptr) ||
           FindWindowA(LEXMIGRATE_RESIDENT_CLASS, nullptr);
}

// "/Hide" among the arguments; the upgrade runs the same either way.
bool HideSwitch(const char *line)
{
    char copy[1024];
    Migrate_Copy(copy, line, sizeof copy);
    for (char *t = strtok(copy, " "); t; t = strtok(nullptr, " "))
        if (lstrcmpiA(t, "/Hide") == 0) return true;
    return false;
}

// Starts the dictionary finder beside this program with "/n", without waiting.
void StartFinder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    Basekit_PathReplaceFileName(path, "LEXFINDER.EXE");
    char line[MAX_PATH + 16];
    snprintf(line, sizeof line, "\"%s\" /n", path);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(path, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        Migrate_Trace("the dictionary finder %s did not start (%lu)", path, GetLastError());
        return;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

int Run(HINSTANCE module)
{
    static Program program;   // lives until the process ends: the worker may still hold it
    Program *p = &program;
    p->module = module;

    if (MainProgramRunning()) {
        Dialog_MessageBox(p, UIA_UPGRADE_IDS_RUNNING, UIA_UPGRADE_IDS_RUNNING_CAPTION, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    HANDLE single = CreateMutexA(nullptr, FALSE, LEXMIGRATE_MUTEX);
    if (!single || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (single) CloseHandle(single);
        return 0;
    }
    HANDLE upgraded = OpenEventA(EVENT_MODIFY_STATE, FALSE, LEXMIGRATE_DONE_EVENT);
    HideSwitch(GetCommandLineA());

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    InitializeCriticalSection(&p->guard);
    Worker_InitHost(p);
    if (Window_Register(p) && Window_Create(p)) {
        std::vector<MigrateDrive> drives = Migrate_ListDrives(false);
        if (!drives.empty()) {
            Migrate_Copy(p->cdDrive, drives[0].name, sizeof p->cdDrive);
            Migrate_Copy(p->migration.env.cdFolder, drives[0].root, MAX_PATH);
        }
        if (!Worker_Start(p, false)) DestroyWindow(p->window);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (p->progress && IsDialogMessageA(p->progress, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    InterlockedExchange(&p->stopping, 1);
    Worker_Finish(p);
    DeleteCriticalSection(&p->guard);
    if (upgraded) {
        SetEvent(upgraded);
        CloseHandle(upgraded);
    }
    StartFinder();
    CloseHandle(single);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    return Run(module);
}
