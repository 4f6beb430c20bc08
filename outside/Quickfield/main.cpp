// The library's start and end, the users of the class, and the charset helpers.
#include "quickfield.h"
#include "quickfield_int.h"

namespace {
HINSTANCE g_module;
int g_users;  // Quickfield_Init calls not yet ended
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the process goes on: the class must not outlive its window procedure.
        Quickfield_UnregisterClass(g_module);
    }
    return TRUE;
}

BOOL WINAPI Quickfield_Init(HINSTANCE) {
    if (!Quickfield_RegisterClass(g_module)) return FALSE;
    g_users++;
    return TRUE;
}

void WINAPI Quickfield_Term(HINSTANCE) {
    if (g_users > 0 && --g_users == 0) Quickfield_UnregisterClass(g_module);
}

UINT Quickfield_CodePage(int charset) {
    CHARSETINFO info;
    if (TranslateCharsetInfo((DWORD *)(UINT_PTR)charset, &info, TCI_SRCCHARSET)) return info.ciACP;
    return 1252;
}

int Quickfield_UiCharset() {
    CHARSETINFO info;
    if (TranslateCharsetInfo((DWORD *)(UINT_PTR)GetACP(), &info, TCI_SRCCODEPAGE)) return info.ciCharset;
    return ANSI_CHARSET;
}

int Quickfield_WholeCharBytes(UINT cp, const char *text, int length, int limit) {
    int at = 0;
    while (at < length) {
        int step = IsDBCSLeadByteEx(cp, (BYTE)text[at]) && at + 1 < length ? 2 : 1;
        if (at + step > limit) break;
        at += step;
    }
    return at;
}
