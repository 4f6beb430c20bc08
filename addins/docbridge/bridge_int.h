// What the word-processor and presentation add-ins share: resource ids, the add-in connection
// interface of the hosts (declared here, the compiler ships none), the late-binding helpers over
// the hosts' object models, and the clipboard helpers.  One code base builds Docbridge.dll and,
// with BRIDGE_SLIDE set, Slidebridge.dll.
#ifndef BRIDGE_INT_H
#define BRIDGE_INT_H

#include <windows.h>
#include "addin_common.h"

#define BRIDGE_IDS_BAR 100
#define BRIDGE_IDS_TRANSLATE 101
#define BRIDGE_IDS_LOOKUP 102
#define BRIDGE_IDS_OPTIONS 103
#define BRIDGE_IDS_TRANSLATE_TIP 110
#define BRIDGE_IDS_LOOKUP_TIP 111
#define BRIDGE_IDS_OPTIONS_TIP 112
#define BRIDGE_IDR_REGISTRY 101
#define BRIDGE_IDB_TRANSLATE 203
#define BRIDGE_IDB_LOOKUP 204
#define BRIDGE_IDB_OPTIONS 206
#define BRIDGE_IDC_TRANSLATORS 202
#define BRIDGE_IDC_DICTIONARIES 205
#define BRIDGE_IDC_EDITOR 211

#ifndef RC_INVOKED
#include <oaidl.h>
#include <ocidl.h>
#include <initializer_list>
#include <string>

// The add-in connection interface the hosts call (dual).
extern const IID IID_IDTExtensibility2;
// The click events of a command-bar button (dispinterface; Click is dispatch id 1).
extern const IID DIID_CommandBarButtonEvents;
struct IDTExtensibility2 : public IDispatch {
    STDMETHOD(OnConnection)(IDispatch *application, int mode, IDispatch *addin, SAFEARRAY **custom) = 0;
    STDMETHOD(OnDisconnection)(int mode, SAFEARRAY **custom) = 0;
    STDMETHOD(OnAddInsUpdate)(SAFEARRAY **custom) = 0;
    STDMETHOD(OnStartupComplete)(SAFEARRAY **custom) = 0;
    STDMETHOD(OnBeginShutdown)(SAFEARRAY **custom) = 0;
};

// ---- Late binding: members of the hosts' objects called by name -------------------------------
// Arguments are given in the member's order and cleared after the call.
VARIANT Late_Long(long v);
VARIANT Late_Bool(bool v);
VARIANT Late_Text(const wchar_t *text);
VARIANT Late_Text(const std::wstring &text);
VARIANT Late_Missing();
// A method (or a property with arguments) by name; result may be null.
HRESULT Late_Call(IDispatch *obj, const wchar_t *name, std::initializer_list<VARIANT> args, VARIANT *result = nullptr);
HRESULT Late_Get(IDispatch *obj, const wchar_t *name, VARIANT *result, std::initializer_list<VARIANT> args = {});
HRESULT Late_Put(IDispatch *obj, const wchar_t *name, VARIANT value);
// An object property or an object returned by a method; null on failure (hr tells why).
IDispatch *Late_Object(IDispatch *obj, const wchar_t *name, std::initializer_list<VARIANT> args = {},
                       HRESULT *hr = nullptr);
// A property read as text (empty on failure) or as a number (fallback on failure).
std::wstring Late_String(IDispatch *obj, const wchar_t *name, std::initializer_list<VARIANT> args = {});
long Late_Number(IDispatch *obj, const wchar_t *name, long fallback);

// A counted reference that releases itself.
struct Disp {
    IDispatch *p = nullptr;
    Disp() = default;
    explicit Disp(IDispatch *q) : p(q) {}
    ~Disp() { Reset(); }
    Disp(const Disp &) = delete;
    Disp &operator=(const Disp &) = delete;
    void Reset(IDispatch *q = nullptr) {
        if (p) p->Release();
        p = q;
    }
    IDispatch *operator->() const { return p; }
    operator IDispatch *() const { return p; }
};

// ---- Clipboard -----------------------------------------------------------------------------------
// Everything the clipboard holds, kept to be put back after the add-in used it for itself.
struct ClipboardCopy;
ClipboardCopy *Clip_Save(HWND owner);
void Clip_Restore(HWND owner, ClipboardCopy *saved);  // also frees saved
// The data of a clipboard format as bytes (up to the first NUL for text formats); empty when none.
std::string Clip_Read(HWND owner, UINT format);
// Empties the clipboard and puts the bytes (a NUL added) as the format.
bool Clip_Write(HWND owner, UINT format, const std::string &bytes);
UINT Clip_RtfFormat();  // "Rich Text Format"

// Text conversions between the hosts' wide text and the add-in's bytes (the system code page).
std::wstring Bridge_Wide(const std::string &text);
std::string Bridge_Narrow(const std::wstring &text);
#endif  // RC_INVOKED

#endif
