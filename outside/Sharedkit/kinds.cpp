// Window kinds: the class of each kind's window, finding it, and guarded sends.
#include "sharedkit_int.h"

const char *Sharedkit_KindClass(int kind) {
    switch (kind) {
    case 1: return "VelomiraV5SearchMain";
    case 2: return "VelomiraV5SetupWindow";
    case 3: return "VelomiraV5StudyListWindow";
    case 4: return "VelomiraV5TranslateWindow";
    case 5: return "VelomiraV5PopupWindow";
    case 7: return "VelomiraV5SetupWizardWindow";
    default: return nullptr;  // 6 holds a value, 8 and 9 have no class of their own
    }
}

HWND Sharedkit_FindKindWindow(int kind) {
    const char *cls = Sharedkit_KindClass(kind);
    return cls ? FindWindowA(cls, nullptr) : nullptr;
}

// The system refuses at once to wait for a window whose thread has not asked for a message for
// five seconds.  A thread that has just handled one long message is in that state until it is
// back in its loop, which is a moment later; so a refusal that came at once is tried again while
// the window lives, for up to five seconds.  An answer that does not come within the minute is
// final.
int Sharedkit_SendGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) {
    const DWORD kPatienceMs = 5000;
    *result = 0;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, 60000,
                                &answer)) {
            *result = (LRESULT)answer;
            return 1;
        }
        if (GetTickCount() - start >= kPatienceMs || !IsWindow(window))
            return 0;
        Sleep(25);
    }
}
