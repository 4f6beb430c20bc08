// Late binding over the hosts' object models and the clipboard helpers of the add-ins.
#include "bridge_int.h"
#include <oleauto.h>
#include <vector>

VARIANT Late_Long(long v) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_I4;
    r.lVal = v;
    return r;
}

VARIANT Late_Bool(bool v) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BOOL;
    r.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
}

VARIANT Late_Text(const wchar_t *text) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BSTR;
    r.bstrVal = SysAllocString(text);
    return r;
}

VARIANT Late_Text(const std::wstring &text) {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BSTR;
    r.bstrVal = SysAllocStringLen(text.data(), (UINT)text.size());
    return r;
}

VARIANT Late_Missing() {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_ERROR;
    r.scode = DISP_E_PARAMNOTFOUND;
    return r;
}

namespace {

HRESULT Invoke(IDispatch *obj, const wchar_t *name, WORD flags, std::initializer_list<VARIANT> args, VARIANT *result) {
    std::vector<VARIANT> list(args.begin(), args.end());
    HRESULT hr = E_POINTER;
    if (obj) {
        DISPID id = 0;
        LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
        hr = obj->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (SUCCEEDED(hr)) {
            std::vector<VARIANT> reversed(list.rbegin(), list.rend());  // last argument first
            DISPID put = DISPID_PROPERTYPUT;
            DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, (UINT)reversed.size(), 0};
            if (flags & DISPATCH_PROPERTYPUT) {
                params.rgdispidNamedArgs = &put;
                params.cNamedArgs = 1;
            }
            VARIANT local;
            VariantInit(&local);
            hr = obj->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result : &local, nullptr,
                             nullptr);
            VariantClear(&local);
        }
    }
    for (VARIANT &v : list) VariantClear(&v);
    return hr;
}

}  // namespace

HRESULT Late_Call(IDispatch *obj, const wchar_t *name, std::initializer_list<VARIANT> args, VARIANT *result) {
    if (result) VariantInit(result);
    return Invoke(obj, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, result);
}

HRESULT Late_Get(IDispatch *obj, const wchar_t *name, VARIANT *result, std::initializer_list<VARIANT> args) {
    VariantInit(result);
    return Invoke(obj, name, DISPATCH_PROPERTYGET, args, result);
}

HRESULT Late_Put(IDispatch *obj, const wchar_t *name, VARIANT value) {
    return Invoke(obj, name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

IDispatch *Late_Object(IDispatch *obj, const wchar_t *name, std::initializer_list<VARIANT> args, HRESULT *hrOut) {
    VARIANT v;
    HRESULT hr = Late_Call(obj, name, args, &v);
    IDispatch *out = nullptr;
    if (SUCCEEDED(hr)) {
        if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && v.punkVal)
            hr = v.punkVal->QueryInterface(IID_IDispatch, (void **)&out);
        else
            hr = DISP_E_TYPEMISMATCH;
    }
    VariantClear(&v);
    if (hrOut) *hrOut = hr;
    return out;
}

std::wstring Late_String(IDispatch *obj, const wchar_t *name, std::initializer_list<VARIANT> args) {
    VARIANT v;
    std::wstring out;
    if (SUCCEEDED(Late_Call(obj, name, args, &v)) && SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BSTR)) && v.bstrVal)
        out.assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    return out;
}

long Late_Number(IDispatch *obj, const wchar_t *name, long fallback) {
    VARIANT v;
    long out = fallback;
    if (SUCCEEDED(Late_Get(obj, name, &v)) && SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4))) out = v.lVal;
    VariantClear(&v);
    return out;
}

std::wstring Bridge_Wide(const std::string &text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), (int)text.size(), &out[0], n);
    return out;
}

std::string Bridge_Narrow(const std::wstring &text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), (int)text.size(), &out[0], n, nullptr, nullptr);
    return out;
}

// ---- Clipboard -------------------------------------------------------------------------------------

namespace {

// The clipboard is opened by another program for a moment now and then: a few tries.
bool OpenClip(HWND owner) {
    for (int i = 0; i < 20; ++i) {
        if (OpenClipboard(owner)) return true;
        Sleep(10);
    }
    return false;
}

bool IsTextFormat(UINT format) {
    return format == CF_TEXT || format == CF_OEMTEXT || format == Clip_RtfFormat();
}

// Formats whose handle is not global memory and that cannot be copied as such.
bool IsGlobalFormat(UINT format) {
    switch (format) {
    case CF_BITMAP: case CF_METAFILEPICT: case CF_PALETTE: case CF_ENHMETAFILE: case CF_OWNERDISPLAY:
    case CF_DSPBITMAP: case CF_DSPMETAFILEPICT: case CF_DSPENHMETAFILE:
        return false;
    default:
        return !(format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) &&
               !(format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
    }
}

HANDLE CopyGlobal(HANDLE data) {
    SIZE_T size = GlobalSize(data);
    const void *from = GlobalLock(data);
    if (!from) return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (copy) {
        memcpy(GlobalLock(copy), from, size);
        GlobalUnlock(copy);
    }
    GlobalUnlock(data);
    return copy;
}

}  // namespace

struct ClipboardCopy {
    std::vector<std::pair<UINT, HANDLE>> items;
};

UINT Clip_RtfFormat() { return RegisterClipboardFormatA("Rich Text Format"); }

ClipboardCopy *Clip_Save(HWND owner) {
    ClipboardCopy *saved = new ClipboardCopy();
    if (!OpenClip(owner)) return saved;
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
        HANDLE data = GetClipboardData(format);
        if (!data) continue;
        HANDLE copy = nullptr;
        if (format == CF_BITMAP)
            copy = CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
        else if (format == CF_ENHMETAFILE)
            copy = CopyEnhMetaFileA((HENHMETAFILE)data, nullptr);
        else if (IsGlobalFormat(format))
            copy = CopyGlobal(data);
        if (copy) saved->items.push_back({format, copy});
    }
    CloseClipboard();
    return saved;
}

void Clip_Restore(HWND owner, ClipboardCopy *saved) {
    if (!saved) return;
    bool open = OpenClip(owner);
    if (open) EmptyClipboard();
    for (auto &item : saved->items) {
        if (open && SetClipboardData(item.first, item.second)) continue;
        if (item.first == CF_BITMAP)
            DeleteObject(item.second);
        else if (item.first == CF_ENHMETAFILE)
            DeleteEnhMetaFile((HENHMETAFILE)item.second);
        else
            GlobalFree(item.second);
    }
    if (open) CloseClipboard();
    delete saved;
}

std::string Clip_Read(HWND owner, UINT format) {
    std::string out;
    if (!format || !OpenClip(owner)) return out;
    HANDLE data = GetClipboardData(format);
    if (data) {
        const char *bytes = (const char *)GlobalLock(data);
        if (bytes) {
            SIZE_T size = GlobalSize(data);
            out.assign(bytes, size);
            if (IsTextFormat(format)) {
                size_t end = out.find('\0');
                if (end != std::string::npos) out.resize(end);
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return out;
}

bool Clip_Write(HWND owner, UINT format, const std::string &bytes) {
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (!data) return false;
    char *to = (char *)GlobalLock(data);
    memcpy(to, bytes.data(), bytes.size());
    to[bytes.size()] = '\0';
    GlobalUnlock(data);
    if (!OpenClip(owner)) {
        GlobalFree(data);
        return false;
    }
    EmptyClipboard();
    bool ok = SetClipboardData(format, data) != nullptr;
    if (!ok) GlobalFree(data);
    CloseClipboard();
    return ok;
}
