// A message sent to a window of another thread or process, waiting for its answer.
//
// The system refuses at once to wait for a window whose thread has not asked for a message for
// five seconds.  A thread that has just handled one long message (opening a long list, a first
// full-text search) is in that state until it is back in its loop, which is a moment later; so a
// refusal that came at once is tried again while the window lives, for up to five seconds.  A
// thread that is still busy after that is taken as hung.  An answer that does not come within
// the time-out is final.
#ifndef COMMON_PATIENTSEND_H
#define COMMON_PATIENTSEND_H

#include <windows.h>

// 1 with the window's answer in *result, or 0 (and *result 0) when it never answered.
inline int Common_SendPatiently(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT timeoutMs,
                                LRESULT *result)
{
    const DWORD kPatienceMs = 5000;
    *result = 0;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs,
                                &answer)) {
            *result = (LRESULT)answer;
            return 1;
        }
        if (GetTickCount() - start >= kPatienceMs || !IsWindow(window)) return 0;
        Sleep(25);
    }
}

#endif
