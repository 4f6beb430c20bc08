// Webbridge.dll: the component server of the browser bar.
#include "webbridge_int.h"

namespace {

const AddinClass kClasses[] = {{&CLSID_KBBarBand, Webbridge_MakeBand}};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void *) {
    if (reason == DLL_PROCESS_ATTACH) {
        Addin_SetModule(module);
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassA("WebbridgeBarWindow", module);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void **out) {
    return Addin_GetClassObject(kClasses, 1, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return Addin_CanUnloadNow(); }

extern "C" HRESULT WINAPI DllRegisterServer() {
    return Addin_RegisterServer(Addin_Module(), WEBBRIDGE_IDR_REGISTRY, true);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return Addin_UnregisterServer(Addin_Module(), WEBBRIDGE_IDR_REGISTRY, true);
}
