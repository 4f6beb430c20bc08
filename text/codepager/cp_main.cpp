// The library's attach and detach: its module handle (for the conversion tables) and the lock
// of the default-font table.
#include "codepager.h"
#include "codepager_int.h"

HMODULE g_cpModule = nullptr;
CRITICAL_SECTION g_cpLock;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_cpModule = instance;
        InitializeCriticalSection(&g_cpLock);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        DeleteCriticalSection(&g_cpLock);
    }
    return TRUE;
}
