// Start and end of the library: the common controls and the window classes of the shared
// controls at load, and their removal at unload.  The component library is started later, by the
// rich-edit start on the caller's thread, never under the loader lock.
#include "widgetry.h"
#include "widgetry_int.h"
#include "quickfield.h"

HINSTANCE g_widgetryInstance;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        g_widgetryInstance = instance;
        DisableThreadLibraryCalls(instance);
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        if (!DataList_RegisterClass(instance)) return FALSE;
        if (!DicList_RegisterClass(instance)) return FALSE;
        if (!DicBar_RegisterClass(instance)) return FALSE;
        Quickfield_Init(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        Quickfield_Term(instance);
        DicBar_UnregisterClass(instance);
        DicList_UnregisterClass(instance);
        DataList_UnregisterClass(instance);
    }
    return TRUE;
}
