// Starting and closing the capture server program, once for the whole system.
#include <stdio.h>
#include "hostlink_int.h"

namespace {

enum { kProgram9x = 100, kProgramNt = 101, kNoProgram = 103, kErrorCaption = 104 };
enum { kPollMs = 100, kPollTimes = 600 };

bool Is9xFamily(void) {
    DWORD v = GetVersion();
    return (v & 0x80000000u) && (v & 0xFF) == 4;
}

void ReportMissing(const char *program) {
    char format[128] = "", text[512], caption[MAX_PATH] = "", path[MAX_PATH];
    LoadStringA(g_hostlink.module, kNoProgram, format, sizeof(format));
    snprintf(text, sizeof(text), format, program);
    DWORD n = GetModuleFileNameA(g_hostlink.module, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        const char *base = path;
        for (const char *p = path; *p; p++)
            if (*p == '\\' || *p == '/') base = p + 1;
        lstrcpynA(caption, base, MAX_PATH);
    }
    if (!caption[0]) LoadStringA(g_hostlink.module, kErrorCaption, caption, sizeof(caption));
    MessageBoxA(nullptr, text, caption, MB_TOPMOST | MB_ICONERROR);
}

}  // namespace

void Hostlink_StartServer(void) {
    if (IsWindow(Hostlink_Server())) return;
    char program[MAX_PATH] = "";
    LoadStringA(g_hostlink.module, Is9xFamily() ? kProgram9x : kProgramNt, program, MAX_PATH);
    char cmd[MAX_PATH];
    lstrcpynA(cmd, program, MAX_PATH);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    HWND found = nullptr;
    for (int i = 0; i < kPollTimes && !found; i++) {
        found = FindWindowA(HOSTLINK_SERVER_CLASS, nullptr);
        if (!found) Sleep(kPollMs);
    }
    Hostlink_SetServer(found);
    if (!found) ReportMissing(program);
}

void Hostlink_CloseServer(void) {
    HWND server = Hostlink_Server();
    Hostlink_SetServer(nullptr);
    if (!IsWindow(server)) return;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(server, WM_DESTROY, 0, 0, SMTO_ABORTIFHUNG, HOSTLINK_PROBE_MS, &answer);
}
