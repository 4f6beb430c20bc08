// Drillbook.exe: the study-list program.  One instance at a time; the manager window lists the
// study-list files and opens one viewer per list.
#include <windows.h>
#include <commctrl.h>

#include "drillbook_int.h"
#include "lexshelf.h"
#include "sharedkit.h"
#include "uiassets.h"

HINSTANCE g_drillInstance;
HBRUSH g_drillBrush;
HCURSOR g_drillSplitCursor;

namespace {

const DWORD kShelfFlags = 3;

bool Start(void)
{
    g_drillBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    g_drillSplitCursor = Uiassets_LoadCursor(UIA_IDCUR_SPLIT_V);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    Sharedkit_Init();
    return g_drillBrush && Drill_RegisterManager() && Drill_RegisterViewer() && Lexshelf_Init(kShelfFlags);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_drillInstance = instance;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, DRILL_MUTEX);
    if (!mutex) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return 0;
    }
    int result = 0;
    if (Start()) {
        HWND manager = Drill_CreateManager();
        HACCEL keys = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(UIA_STUDY_IDA_PROGRAM));
        if (manager) {
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                HWND active = GetActiveWindow();
                if (keys && active && TranslateAcceleratorA(active, keys, &msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            result = (int)msg.wParam;
        }
        Lexshelf_Term();
    }
    if (g_drillBrush) DeleteObject(g_drillBrush);
    CloseHandle(mutex);
    return result;
}
