// Window kinds: the class of each kind's window, finding it, and guarded sends.
#include "sharedkit_int.h"
#include "../../common/patientsend.h"

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

int Sharedkit_SendGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) {
    return Common_SendPatiently(window, message, wParam, lParam, 60000, result);
}
