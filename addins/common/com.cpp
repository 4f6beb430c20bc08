// The component-object base of the add-ins: module lock count, interface tables and the class
// factory.
#include "addin_common.h"
#include <new>
#include <oleauto.h>

namespace {

HINSTANCE g_module;
LONG g_locks;

// A class factory for one class of the module's table; it keeps the module loaded while it lives.
class ClassFactory : public AddinObject, public IClassFactory {
public:
    explicit ClassFactory(AddinMaker make) : make_(make) {}
    ADDIN_UNKNOWN(kTable)
    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID iid, void **out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return make_(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            Addin_Lock();
        else
            Addin_Unlock();
        return S_OK;
    }

private:
    static const AddinInterface kTable[];
    AddinMaker make_;
};
const AddinInterface ClassFactory::kTable[] = {ADDIN_INTERFACE(ClassFactory, IClassFactory), {nullptr, 0}};

}  // namespace

void Addin_SetModule(HINSTANCE module) { g_module = module; }
HINSTANCE Addin_Module() { return g_module; }
void Addin_Lock() { InterlockedIncrement(&g_locks); }
void Addin_Unlock() { InterlockedDecrement(&g_locks); }
LONG Addin_LockCount() { return InterlockedCompareExchange(&g_locks, 0, 0); }

HRESULT AddinObject::QueryTable(const AddinInterface *table, REFIID iid, void **out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const AddinInterface *row = table; row->iid; ++row) {
        if (IsEqualIID(iid, *row->iid) || (row == table && IsEqualIID(iid, IID_IUnknown))) {
            IUnknown *p = (IUnknown *)((char *)this + row->offset);
            p->AddRef();
            *out = p;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

ULONG AddinObject::ReleaseObject() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return (ULONG)n;
}

HRESULT Addin_GetClassObject(const AddinClass *classes, int count, REFCLSID clsid, REFIID iid, void **out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (int i = 0; i < count; ++i) {
        if (!IsEqualCLSID(clsid, *classes[i].clsid)) continue;
        ClassFactory *factory = new (std::nothrow) ClassFactory(classes[i].make);
        if (!factory) return E_OUTOFMEMORY;
        HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT Addin_CanUnloadNow() { return Addin_LockCount() == 0 ? S_OK : S_FALSE; }

HRESULT AddinDualInfo::GetTypeInfo(UINT index, ITypeInfo **out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!info_) {
        WCHAR path[MAX_PATH];
        if (!GetModuleFileNameW(Addin_Module(), path, MAX_PATH)) return E_FAIL;
        ITypeLib *lib = nullptr;
        HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &lib);
        if (FAILED(hr)) return hr;
        hr = lib->GetTypeInfoOfGuid(iid_, &info_);
        lib->Release();
        if (FAILED(hr)) return hr;
    }
    info_->AddRef();
    *out = info_;
    return S_OK;
}

HRESULT AddinDualInfo::GetIDsOfNames(LPOLESTR *names, UINT count, DISPID *ids) {
    ITypeInfo *info = nullptr;
    HRESULT hr = GetTypeInfo(0, &info);
    if (FAILED(hr)) return hr;
    hr = DispGetIDsOfNames(info, names, count, ids);
    info->Release();
    return hr;
}

HRESULT AddinDualInfo::Invoke(void *object, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                              EXCEPINFO *excep, UINT *argErr) {
    ITypeInfo *info = nullptr;
    HRESULT hr = GetTypeInfo(0, &info);
    if (FAILED(hr)) return hr;
    hr = DispInvoke(object, info, id, flags, params, result, excep, argErr);
    info->Release();
    return hr;
}
