// vlmquit: ends the resident program of a process id as its tray menu's quit item does.
//
//   vlmquit PID     (the Windows process id the program runs under)
//
// Sends the main window of that process the close message and waits up to 30 seconds for the
// process to end.  Exit status 0 when it ended, 1 on a bad argument, 2 when that process has no
// main window of the resident program, 3 when it did not end in time.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

namespace {

const char kMainClass[] = "VelomiraV5MainWindow";
const UINT VLM_CLOSE = 0x83EB;
const DWORD kWaitMs = 30000;

HWND MainWindowOf(DWORD pid)
{
    for (HWND w = FindWindowExA(nullptr, nullptr, kMainClass, nullptr); w;
         w = FindWindowExA(nullptr, w, kMainClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char **argv)
{
    char *end = nullptr;
    DWORD pid = argc == 2 ? strtoul(argv[1], &end, 0) : 0;
    if (!pid || !end || *end) {
        fprintf(stderr, "usage: vlmquit PID\n");
        return 1;
    }
    HWND main = MainWindowOf(pid);
    if (!main) {
        fprintf(stderr, "vlmquit: process %lu has no resident program window\n", (unsigned long)pid);
        return 2;
    }
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(main, VLM_CLOSE, 0, 0);
    bool ended;
    if (process) {
        ended = WaitForSingleObject(process, kWaitMs) == WAIT_OBJECT_0;
        CloseHandle(process);
    } else {
        // Without a handle on the process, its window's end stands for the process's.
        DWORD start = GetTickCount();
        while (IsWindow(main) && GetTickCount() - start < kWaitMs) Sleep(100);
        ended = !IsWindow(main);
    }
    if (!ended) {
        fprintf(stderr, "vlmquit: process %lu did not end\n", (unsigned long)pid);
        return 3;
    }
    return 0;
}
