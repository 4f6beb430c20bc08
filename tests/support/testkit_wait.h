// Test support for window code driven by its own messages: pumping this thread's queue, and
// waiting for a condition with a deadline instead of a fixed sleep.  Header only; include as
// "support/testkit_wait.h".
#pragma once

#include <windows.h>

// Dispatches every message waiting in this thread's queue.
inline void Testkit_Pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Pumps this thread's messages until done() holds or ms milliseconds have passed; answers
// done().
template <class F>
bool Testkit_PumpUntil(F done, DWORD ms = 5000)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return done();
        Testkit_Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}
