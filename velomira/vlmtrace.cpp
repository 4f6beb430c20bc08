// Velomira.exe: the action log.  When the environment variable VELOMIRA_TRACE names a file, each
// outside action of the program (tray icons, modes, hot keys, starts of programs, broadcasts,
// captures) appends one line to it, so that an unattended run can be followed from outside.
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

#include "vlm_int.h"

void Vlm_Trace(const char *format, ...)
{
    static int known = 0;
    static char path[MAX_PATH];
    if (!known) {
        DWORD n = GetEnvironmentVariableA("VELOMIRA_TRACE", path, sizeof path);
        if (n == 0 || n >= sizeof path) path[0] = '\0';
        known = 1;
    }
    if (!path[0]) return;
    char line[512];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line, sizeof line - 2, format, args);
    va_end(args);
    if (n < 0) return;
    if (n > (int)sizeof line - 3) n = sizeof line - 3;
    line[n++] = '\r';
    line[n++] = '\n';
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line, n, &written, nullptr);
    CloseHandle(f);
}
