// Helpers shared by the capture client's tests: waiting with a deadline and a host window for
// real controls at a known place on the screen.
#ifndef HOSTLINK_TEST_UTIL_H
#define HOSTLINK_TEST_UTIL_H

#include <windows.h>
#include <functional>

#include "support/testkit_wait.h"

// Pumps this thread's messages until cond holds or the deadline passes; answers cond().
inline bool WaitFor(const std::function<bool()> &cond, DWORD ms = 20000) {
    return Testkit_PumpUntil(cond, ms);
}

// The folder of this test program, with a trailing backslash.
inline void ProgramFolder(char *buf, DWORD size) {
    DWORD n = GetModuleFileNameA(nullptr, buf, size);
    while (n > 0 && buf[n - 1] != '\\' && buf[n - 1] != '/') n--;
    buf[n] = 0;
}

#endif
