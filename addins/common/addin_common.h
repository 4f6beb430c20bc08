// The add-ins' common layer, linked into each add-in (Webbridge, Docbridge, Slidebridge) as a
// static library: a small component-object base (interface tables, class factory, module lock
// count), the registrar of the REGISTRY resource, the engine client with the translator and
// dictionary lists, the hand-over files and messages to the translation window (kind 4), the page
// charset table, the page-translation note, the colour of an RTF selection, the add-in settings
// record and the options and result dialogs.  Each add-in describes itself once in an AddinProfile.
#ifndef ADDIN_COMMON_H
#define ADDIN_COMMON_H

#include <windows.h>
#ifndef RC_INVOKED
#include <objbase.h>
#include <stddef.h>
#include <string>
#include <vector>
#include "lexicore.h"
#include "lexidata.h"

// ---- Module lock count and the component-object base ------------------------------------------
// The module instance the add-in was loaded as (set by its DllMain), for resources and paths.
void Addin_SetModule(HINSTANCE module);
HINSTANCE Addin_Module();
// Live objects, class factories and LockServer locks of the module; DllCanUnloadNow answers S_OK
// only at 0.
void Addin_Lock();
void Addin_Unlock();
LONG Addin_LockCount();

// One row of an object's interface table: the interface id and where that interface's table
// pointer lies inside the object.  A table ends with a null id; its first row also answers
// IUnknown.
struct AddinInterface {
    const IID *iid;
    ptrdiff_t offset;
};
// (offsets count from the object's AddinObject part).
#define ADDIN_OFFSET(Class, Iface)                                  \
    ((ptrdiff_t)((char *)static_cast<Iface *>((Class *)0x1000) -    \
                 (char *)static_cast<AddinObject *>((Class *)0x1000)))
#define ADDIN_INTERFACE(Class, Iface) { &IID_##Iface, ADDIN_OFFSET(Class, Iface) }
#define ADDIN_INTERFACE_AS(Class, Iid, Iface) { &Iid, ADDIN_OFFSET(Class, Iface) }

// Reference count and module lock of every object the add-ins hand out.  A class derives from it
// and from its interfaces and writes ADDIN_UNKNOWN(table) in its body.
class AddinObject {
public:
    AddinObject() { Addin_Lock(); }
    virtual ~AddinObject() { Addin_Unlock(); }
    AddinObject(const AddinObject &) = delete;
    AddinObject &operator=(const AddinObject &) = delete;

protected:
    HRESULT QueryTable(const AddinInterface *table, REFIID iid, void **out);
    ULONG AddRefObject() { return (ULONG)InterlockedIncrement(&refs_); }
    ULONG ReleaseObject();

private:
    LONG refs_ = 1;
};
#define ADDIN_UNKNOWN(table)                                                              \
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override { return QueryTable(table, iid, out); } \
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefObject(); }                     \
    STDMETHODIMP_(ULONG) Release() override { return ReleaseObject(); }

// The classes a module serves: class id and a maker that answers the asked interface of a new
// object (or its error).
typedef HRESULT (*AddinMaker)(REFIID iid, void **out);
struct AddinClass {
    const CLSID *clsid;
    AddinMaker make;
};
// DllGetClassObject over the module's class table: a class factory for a known class,
// CLASS_E_CLASSNOTAVAILABLE for any other, E_POINTER for a null out pointer.
HRESULT Addin_GetClassObject(const AddinClass *classes, int count, REFCLSID clsid, REFIID iid, void **out);
// DllCanUnloadNow: S_OK with no live object and no lock, else S_FALSE.
HRESULT Addin_CanUnloadNow();

// The IDispatch side of a dual interface, answered through the module's type library (resource
// TYPELIB 1): GetTypeInfo, GetIDsOfNames and Invoke of the object's interface iid.
class AddinDualInfo {
public:
    explicit AddinDualInfo(const IID &iid) : iid_(iid) {}
    ~AddinDualInfo() {
        if (info_) info_->Release();
    }
    AddinDualInfo(const AddinDualInfo &) = delete;
    AddinDualInfo &operator=(const AddinDualInfo &) = delete;
    HRESULT GetTypeInfo(UINT index, ITypeInfo **out);
    HRESULT GetIDsOfNames(LPOLESTR *names, UINT count, DISPID *ids);
    HRESULT Invoke(void *object, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *info,
                   UINT *argErr);

private:
    const IID &iid_;
    ITypeInfo *info_ = nullptr;
};
// The four IDispatch methods of a dual interface Iface, answered through an AddinDualInfo member
// named dual_; written in the body of a class that derives from Iface.
#define ADDIN_DUAL(Iface)                                                                           \
    STDMETHODIMP GetTypeInfoCount(UINT *n) override {                                               \
        if (!n) return E_POINTER;                                                                   \
        *n = 1;                                                                                     \
        return S_OK;                                                                                \
    }                                                                                               \
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo **out) override {                          \
        return dual_.GetTypeInfo(index, out);                                                       \
    }                                                                                               \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override {   \
        return dual_.GetIDsOfNames(names, count, ids);                                              \
    }                                                                                               \
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,   \
                        EXCEPINFO *info, UINT *argErr) override {                                   \
        return dual_.Invoke(static_cast<Iface *>(this), id, flags, params, result, info, argErr);   \
    }

// ---- Registration ------------------------------------------------------------------------------
// Registers or removes what the module's REGISTRY resource (in the registrar's script form: root
// keys HKCR, HKCU, HKLM; keys with a default value "= s 'text'" or "= d n"; named values
// "val name = s|d ..."; the marks ForceRemove and NoRemove; %MODULE% for the module's full path)
// describes, and the module's type library (resource TYPELIB 1).  The script is read whole before
// anything is written: a damaged script changes nothing.  Removal deletes the keys the script
// owns and the named values it lists below NoRemove keys, and leaves shared parents and their
// other values alone.  S_OK, or the first error (a failed registration is undone).
HRESULT Addin_RegisterServer(HINSTANCE module, int scriptId, bool withTypeLib);
HRESULT Addin_UnregisterServer(HINSTANCE module, int scriptId, bool withTypeLib);
// The script alone, for tests and other callers: script text, the %MODULE% value.
HRESULT Addin_RunScript(const std::string &script, const char *modulePath, bool doRegister);

// ---- Engine client -----------------------------------------------------------------------------
// The engine is started once per process for all add-in objects (counted): the first start calls
// Sharedkit_InitAddin and Lexicore_InitEx(module, client, 4); the last stop calls Lexicore_Term.
// False (and nothing counted) when the engine could not be started.
bool Addin_EngineStart(HINSTANCE module, const char *client);
void Addin_EngineStop();
LONG Addin_EngineUsers();

// An entry offered in an add-in's boxes: its name and dictionary id.
struct AddinEntry {
    std::string name;
    DWORD id;
};
#define ADDIN_KIND_DICTIONARY 1
#define ADDIN_KIND_TRANSLATOR 8
// The catalogue entries of the index kind (8 translators, 1 dictionaries) in catalogue order,
// leaving out entries whose file is marked bad (status bit 0x10).
std::vector<AddinEntry> Addin_ListEntries(DWORD kind);
// The id of the first entry of the list whose name equals name exactly; 0 when none.
DWORD Addin_FindEntry(DWORD kind, const char *name);

// One open translator: a session on the dictionary id, a query and a one-item result list.
class AddinTranslator {
public:
    AddinTranslator() = default;
    ~AddinTranslator() { Close(); }
    AddinTranslator(const AddinTranslator &) = delete;
    AddinTranslator &operator=(const AddinTranslator &) = delete;
    // False when the dictionary cannot be opened (nothing stays open).
    bool Open(DWORD dicId);
    bool IsOpen() const { return query_ != nullptr; }
    BYTE Charset() const { return charset_; }
    // The first result item for the text in the translator's charset, owned by the translator
    // until the next call or Close; null when there is none.
    const VLDataItem *Translate(const char *text);
    void Close();

private:
    DicSession *session_ = nullptr;
    DicQuery *query_ = nullptr;
    VLWordList *list_ = nullptr;
    BYTE charset_ = 0;
};

// Page text translated as the browser bar does: leading characters 1 to 32 and "?" are skipped
// (nothing left: no translation), the rest goes to the translator in its charset and the result
// comes back in the result's charset; when the text does not end with LF and the result does, the
// result's last LF is dropped.  False when there is no result or it is empty.
bool Addin_TranslateWide(AddinTranslator &translator, const std::wstring &text, std::wstring *out,
                         BYTE *resultCharset);
// The same rule for the result text alone (exposed for tests): the text's own last character
// decides whether the result's last LF stays.
void Addin_TrimResultLineEnd(const std::wstring &text, std::wstring *result);

// ---- Page charset names ----------------------------------------------------------------------
// Page charset name -> Windows charset number (without case; 0 for an unknown name).
int Addin_CharsetFromName(const char *name);
// Number -> the first name of the table with that number; "iso-8859-1" for an unknown number.
const char *Addin_CharsetName(int charset);

// ---- Hand-over to the translation window (kind 4) ---------------------------------------------
#define ADDIN_VLM_TRANSLATE_RTF_FILE 0x8414
#define ADDIN_VLM_TRANSLATE_TEXT_FILE 0x8415
#define ADDIN_TEXT_FILE "WebbridgeTmp.txt"
#define ADDIN_RTF_FILE "WebbridgeTmp.rtf"
#define ADDIN_NOTE_FILE "webbridge.mak"
// The full path of a file of the temporary folder; empty when the folder cannot be named.
std::string Addin_TempPath(const char *name);
// Writes bytes (no terminator) to the temporary file in text mode; true only when all of it was
// written and the file closed cleanly.
bool Addin_WriteTempText(const char *name, const std::string &bytes);
// Writes the hand-over file and, only when it was written, sends the message to kind 4 with the
// dictionary id as wParam and the translator id as lParam.  True when the message was sent.
bool Addin_HandOver(UINT message, const char *name, const std::string &bytes, DWORD dicId, DWORD tranId);

// The page-translation note: translator id, dictionary id and the page address.
bool Addin_WriteNote(DWORD tranId, DWORD dicId, const char *address);
// Reads and deletes the note (deleted in any case); true with the ids only when a note exists
// and its address equals address exactly.
bool Addin_TakeNote(const char *address, DWORD *tranId, DWORD *dicId);

// Colour of an RTF selection: the colour-table entry named by the first "\cfN"
// (red | green << 8 | blue << 16); 0 without "\cf", without a table or with a short table.
COLORREF Addin_RtfColour(const char *rtf, size_t length);

// ---- Settings ----------------------------------------------------------------------------------
struct PluginSettings {
    BYTE ShowTranslator;
    BYTE ShowDictionary;
    BYTE PopupWindow;
    BYTE WholePageTran;
    char DefaultDictionaryName[256];
    char DefaultTranslatorName[256];
};

// What differs between the add-ins: names, defaults, dialog control ids and enabling rules.
struct AddinProfile {
    const char *key;             // settings key path
    const char *client;          // engine client name
    BYTE defaultPopup;           // PopupWindow default
    bool wholePage;              // has WholePageTran and the range radios
    int translatorBox;           // options dialog controls
    int dictionaryBox;
    const int *translatorEnables; // controls enabled with the show-translation check box (0 ends)
    bool popupAlwaysAtStart;     // the pop-up radio is always chosen when the dialog opens
    int editorId;                // result dialog editor control id
    bool editorLeavesButtonRow;  // editor sized to client height less 40 at start
};
extern const AddinProfile kWebbridgeProfile;

void PluginSettings_Defaults(const AddinProfile &profile, PluginSettings *s);
// Reads every value present below the profile's key; false (nothing changed) when the key cannot
// be opened.  Flags read as 1 for any non-zero value.
bool PluginSettings_Load(const AddinProfile &profile, PluginSettings *s);
// Writes every value; false when one could not be written.
bool PluginSettings_Save(const AddinProfile &profile, const PluginSettings &s);

// Result dialog placement values: Position = top << 16 | (left & 0xFFFF),
// Size = height << 16 | (width & 0xFFFF); both halves signed 16-bit.
DWORD Addin_PackPair(int low, int high);
void Addin_UnpackPair(DWORD value, int *low, int *high);

#endif  // RC_INVOKED

// ---- Dialogs (templates 207 and 210 and icon 209 of the add-in's own resources) ----------------
#define ADDIN_IDD_OPTIONS 207
#define ADDIN_IDI_ADDIN 209
#define ADDIN_IDD_RESULT 210
#define ADDIN_IDC_SHOW_TRANSLATION 201
#define ADDIN_IDC_SHOW_LOOKUP 203
#define ADDIN_IDC_NEW_DOCUMENT 206
#define ADDIN_IDC_POPUP 207
#define ADDIN_IDC_SELECTION 208
#define ADDIN_IDC_WHOLE_PAGE 209
#define ADDIN_IDC_SELECT_ALL 207
#define ADDIN_IDC_COPY 208
#define ADDIN_IDC_PRINT 209

#ifndef RC_INVOKED

// The options dialog over the profile's settings: 1 after OK (settings saved), 0 after Cancel,
// -1 when the dialog could not be made.
INT_PTR Addin_OptionsDialog(HWND owner, const AddinProfile &profile);
// The result dialog showing the item's text in its charset.
INT_PTR Addin_ResultDialog(HWND owner, const AddinProfile &profile, const char *text, int length, BYTE charset);
// The dialogs' windows while they are open (for tests that drive them from a timer): the last one
// created on this thread; null when none is open.
HWND Addin_OpenDialog();
#endif  // RC_INVOKED

#endif
