// Stand-in for a sibling program of the resident program in its tests.  Run under the file name of
// a sibling (QUERYDESK.EXE, SHELFVIEW.EXE, DRILLBOOK.EXE, TRANSPANE.EXE, SETUPGUIDE.EXE) it takes
// that program's window kind; otherwise the kind is the first number on its command line.  It makes
// a window of the kind's class, registers it with the resident program's main window, and appends
// one line per message of the suite's band that reaches it to the file named by VELOMIRA_SPY_LOG:
//   "<kind> <message in hex> <wParam> <lParam>", after a first line "<kind> start <process id>".
// VLM_CLOSE ends it (after the line is written); so does WM_CLOSE.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const UINT kRegister = 0x83E9, kUnregister = 0x83EA, kClose = 0x83EB;
const struct {
    const char *file;
    int kind;
    const char *cls;
} kKinds[] = {
    {"QUERYDESK.EXE", 1, "VelomiraV5SearchMain"},
    {"SHELFVIEW.EXE", 2, "VelomiraV5SetupWindow"},
    {"DRILLBOOK.EXE", 3, "VelomiraV5StudyListWindow"},
    {"TRANSPANE.EXE", 4, "VelomiraV5TranslateWindow"},
    {"SETUPGUIDE.EXE", 7, "VelomiraV5SetupWizardWindow"},
};

int g_kind;

void Log(const char *line)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VELOMIRA_SPY_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(f, line, lstrlenA(line), &written, nullptr);
    CloseHandle(f);
}

HWND Main()
{
    return FindWindowA("VelomiraV5MainWindow", nullptr);
}

LRESULT CALLBACK SpyProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m >= 0x83E9 && m <= 0x8415) {
        char line[128];
        snprintf(line, sizeof line, "%d %X %ld %ld\r\n", g_kind, m, (long)wp, (long)lp);
        Log(line);
        if (m == kClose) DestroyWindow(w);
        return 1;
    }
    if (m == WM_DESTROY) {
        if (HWND main = Main()) SendMessageA(main, kUnregister, g_kind, 0);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char *base = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
    const char *cls = nullptr;
    for (const auto &k : kKinds) {
        if (lstrcmpiA(base, k.file) == 0) {
            g_kind = k.kind;
            cls = k.cls;
        }
    }
    if (!g_kind) {
        g_kind = atoi(commandLine);
        for (const auto &k : kKinds)
            if (k.kind == g_kind) cls = k.cls;
    }
    if (!cls) return 2;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = SpyProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = cls;
    if (!RegisterClassA(&wc)) return 3;
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, cls, cls, WS_OVERLAPPEDWINDOW, 0, 0, 200, 80, nullptr, nullptr,
                             instance, nullptr);
    if (!w) return 4;
    ShowWindow(w, show);
    char line[64];
    snprintf(line, sizeof line, "%d start %lu\r\n", g_kind, GetCurrentProcessId());
    Log(line);
    if (HWND main = Main()) SendMessageA(main, kRegister, g_kind, (LPARAM)w);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
