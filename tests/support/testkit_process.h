// Test support for helper programs: started as real processes with the command line their caller
// gives, their top-level windows found by process id, and ended by process id (asked to close
// first, then terminated).  Header only; include as "support/testkit_process.h".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "testkit_folders.h"

// The folder of the running test program (where the suite's programs are built), with a
// trailing backslash.
inline std::string Testkit_ExeFolder() { return Testkit_ProgramFolder() + "\\"; }

struct TestkitProcess {
    PROCESS_INFORMATION info = {};

    TestkitProcess() = default;
    TestkitProcess(const TestkitProcess &) = delete;
    TestkitProcess &operator=(const TestkitProcess &) = delete;
    ~TestkitProcess()
    {
        if (info.hProcess && Running()) End();
        Close();
    }

    // Starts the command line as CreateProcess takes it (no application name: the program is
    // searched for as the system does, the test program's folder first), shown normally, in the
    // given folder (null: the test's own).  False when it could not start.
    bool Start(const std::string &commandLine, const char *folder = nullptr)
    {
        Close();
        STARTUPINFOA si = {sizeof si};
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &info) != 0;
    }
    DWORD Id() const { return info.dwProcessId; }
    bool Running() const { return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }

    // Waits for the process to end by itself, pumping this thread's messages meanwhile (the
    // process may send to our windows); its exit code, or -1 when it is still running.
    long WaitExit(DWORD ms = 30000)
    {
        DWORD start = GetTickCount();
        for (;;) {
            DWORD r = MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 50, QS_ALLINPUT);
            if (r == WAIT_OBJECT_0) break;
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            if (GetTickCount() - start > ms) return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return (long)code;
    }

    // The first visible top-level window of the class that belongs to the process, waiting for it
    // up to ms while pumping this thread's messages; null when none came.
    HWND WaitWindow(const char *cls, DWORD ms = 30000)
    {
        DWORD start = GetTickCount();
        for (;;) {
            if (HWND w = FindOwnWindow(cls)) return w;
            if (!Running() || GetTickCount() - start > ms) return nullptr;
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 20, QS_ALLINPUT);
        }
    }
    HWND FindOwnWindow(const char *cls) const
    {
        for (HWND w = FindWindowExA(nullptr, nullptr, cls, nullptr); w; w = FindWindowExA(nullptr, w, cls, nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == info.dwProcessId && IsWindowVisible(w)) return w;
        }
        return nullptr;
    }

    // Ends the process by its id: asks each of its top-level windows to close, waits up to ms,
    // then terminates it.  True when it has ended.
    bool End(DWORD ms = 20000)
    {
        DWORD pid = info.dwProcessId;
        EnumWindows(CloseWindowsOf, (LPARAM)pid);
        if (WaitExit(ms) != -1) return true;
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!h) return false;
        TerminateProcess(h, 1);
        bool ended = WaitForSingleObject(h, ms) == WAIT_OBJECT_0;
        CloseHandle(h);
        return ended;
    }

private:
    static BOOL CALLBACK CloseWindowsOf(HWND w, LPARAM pid)
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == (DWORD)pid) PostMessageA(w, WM_CLOSE, 0, 0);
        return TRUE;
    }
    void Close()
    {
        if (info.hProcess) CloseHandle(info.hProcess);
        if (info.hThread) CloseHandle(info.hThread);
        info = {};
    }
};
