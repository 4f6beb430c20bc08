// Second process for the attach tests: attaches, signals the named event argv[1], keeps its
// messages flowing until the named event argv[2] is set, then detaches and ends (or, with a third
// argument "nodetach", ends without detaching).
#include <windows.h>
#include "hostlink.h"

int main(int argc, char **argv) {
    if (argc < 3) return 2;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (!ready || !go) return 3;
    Hostlink_Attach();
    SetEvent(ready);
    DWORD deadline = GetTickCount() + 60000;
    for (;;) {
        DWORD left = deadline - GetTickCount();
        if ((int)left <= 0) break;
        DWORD r = MsgWaitForMultipleObjects(1, &go, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    if (argc < 4 || lstrcmpA(argv[3], "nodetach") != 0) Hostlink_Detach();
    CloseHandle(ready);
    CloseHandle(go);
    return 0;
}
