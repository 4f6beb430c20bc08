// The add-in object of the word processor (Docbridge) and, built with BRIDGE_SLIDE, of the
// presentation program (Slidebridge): connection to the host, the command bar with its boxes and
// buttons, the click sinks and the three actions, and the component server's entry points.
#include "bridge_int.h"
#include <oleauto.h>
#include <new>
#include <string>
#include "lexidata.h"
#include "strandkit.h"

const IID IID_IDTExtensibility2 = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
const IID DIID_CommandBarButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IAddin = {0xD62A393B, 0x2D13, 0x4D82, {0xA7, 0x77, 0x97, 0x64, 0x2E, 0x3E, 0xF7, 0x48}};

namespace {

#ifdef BRIDGE_SLIDE
const CLSID CLSID_Addin = {0x1048AEC0, 0x4BA9, 0x411A, {0x8D, 0x19, 0xB8, 0x4B, 0x41, 0x92, 0x98, 0x46}};
const int kEnables[] = {BRIDGE_IDC_TRANSLATORS, ADDIN_IDC_POPUP, ADDIN_IDC_SELECTION, 0};
const AddinProfile kProfile = {
    "Software\\Halvenstone\\Velosuite\\Plugin\\Slidebridge", "VLPPTPLUGIN", 1, true, BRIDGE_IDC_TRANSLATORS,
    BRIDGE_IDC_DICTIONARIES, kEnables, true, BRIDGE_IDC_EDITOR, true,
};
const char kFrameClass[] = "PP9FrameClass";
#else
const CLSID CLSID_Addin = {0x1048AEBF, 0x4BA8, 0x411A, {0x8D, 0x19, 0xB8, 0x4B, 0x41, 0x92, 0x98, 0x46}};
const int kEnables[] = {BRIDGE_IDC_TRANSLATORS, ADDIN_IDC_NEW_DOCUMENT, ADDIN_IDC_POPUP, ADDIN_IDC_SELECTION,
                        ADDIN_IDC_WHOLE_PAGE, 0};
const AddinProfile kProfile = {
    "Software\\Halvenstone\\Velosuite\\Plugin\\Docbridge", "VLWORDPLUGIN", 1, true, BRIDGE_IDC_TRANSLATORS,
    BRIDGE_IDC_DICTIONARIES, kEnables, false, BRIDGE_IDC_EDITOR, true,
};
const char kFrameClass[] = "OpusApp";
#endif

const wchar_t kTranTag[] = L"VELOMIRA_TRAN_COMBO";
const wchar_t kDicTag[] = L"VELOMIRA_DIC_COMBO";
const wchar_t kOptionTag[] = L"VELOMIRA_OPTION_COMBO";
const size_t kSlideTextMax = 2047;

enum { kTranslate, kLookup, kOptions, kButtons };

struct ButtonRow {
    int bitmap, caption, tip;
    const wchar_t *tag;
};
const ButtonRow kButtonRows[kButtons] = {
    {BRIDGE_IDB_TRANSLATE, BRIDGE_IDS_TRANSLATE, BRIDGE_IDS_TRANSLATE_TIP, kTranTag},
    {BRIDGE_IDB_LOOKUP, BRIDGE_IDS_LOOKUP, BRIDGE_IDS_LOOKUP_TIP, kDicTag},
    {BRIDGE_IDB_OPTIONS, BRIDGE_IDS_OPTIONS, BRIDGE_IDS_OPTIONS_TIP, kOptionTag},
};

std::wstring ResourceText(int id) {
    const wchar_t *text = nullptr;
    int n = LoadStringW(Addin_Module(), id, (LPWSTR)&text, 0);
    return n > 0 ? std::wstring(text, n) : std::wstring();
}

BOOL CALLBACK FindFrame(HWND w, LPARAM lp) {
    char cls[64];
    if (GetClassNameA(w, cls, sizeof cls) && lstrcmpA(cls, kFrameClass) == 0) {
        *(HWND *)lp = w;
        return FALSE;
    }
    return TRUE;
}

// The first top-level window of this thread with the host's frame class; null when none.
HWND HostWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFrame, (LPARAM)&found);
    return found;
}

class Addin;

// The click sink of one button.
class ClickSink : public AddinObject, public IDispatch {
public:
    ClickSink(Addin *addin, int which) : addin_(addin), which_(which) {}
    ADDIN_UNKNOWN(kTable)
    void Detach() { addin_ = nullptr; }
    STDMETHODIMP GetTypeInfoCount(UINT *n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override;

private:
    static const AddinInterface kTable[];
    Addin *addin_;
    int which_;
};
const AddinInterface ClickSink::kTable[] = {
    ADDIN_INTERFACE(ClickSink, IDispatch),
    ADDIN_INTERFACE_AS(ClickSink, DIID_CommandBarButtonEvents, IDispatch),
    {nullptr, 0},
};

struct IAddin : public IDispatch {};

struct Button {
    IDispatch *control = nullptr;
    ClickSink *sink = nullptr;
    IConnectionPoint *point = nullptr;
    DWORD cookie = 0;
};

class Addin : public AddinObject, public IAddin, public IDTExtensibility2 {
public:
    Addin() {
        PluginSettings_Defaults(kProfile, &settings_);
        engine_ = Addin_EngineStart(Addin_Module(), kProfile.client);
        clipOwner_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, Addin_Module(), nullptr);
    }
    ~Addin() override {
        Unadvise();
        for (Button &b : buttons_)
            if (b.sink) b.sink->Release();
        Drop();
        if (clipOwner_) DestroyWindow(clipOwner_);
        if (engine_) Addin_EngineStop();
    }
    ADDIN_UNKNOWN(kTable)

    // IDispatch of the dual interface, through the type library
    ADDIN_DUAL(IAddin)

    // IDTExtensibility2
    STDMETHODIMP OnConnection(IDispatch *application, int, IDispatch *, SAFEARRAY **) override;
    STDMETHODIMP OnDisconnection(int, SAFEARRAY **) override;
    STDMETHODIMP OnAddInsUpdate(SAFEARRAY **) override { return S_OK; }
    STDMETHODIMP OnStartupComplete(SAFEARRAY **) override { return S_OK; }
    STDMETHODIMP OnBeginShutdown(SAFEARRAY **) override { return S_OK; }

    void OnClick(int which);

private:
    static const AddinInterface kTable[];
    HRESULT AddBox(IDispatch *controls, DWORD kind, const char *defaultName, const wchar_t *tag, IDispatch **box);
    HRESULT AddButton(IDispatch *controls, int which);
    HRESULT PasteFace(IDispatch *button, int bitmap);
    HRESULT Unadvise();
    void Drop();
    DWORD ChosenId(const wchar_t *tag);
    std::string SelectionText(bool lookup);
    long WholePage();
    void Translate();
    void Lookup();

    IDispatch *app_ = nullptr, *bar_ = nullptr, *tranBox_ = nullptr, *dicBox_ = nullptr;
    Button buttons_[kButtons];
    PluginSettings settings_;
    int tranCount_ = 0, dicCount_ = 0, tranDefault_ = 1, dicDefault_ = 1;
    std::string temp_;
    bool lookupMode_ = false, connected_ = false, engine_ = false;
    HWND clipOwner_ = nullptr;
    AddinDualInfo dual_{IID_IAddin};
};
const AddinInterface Addin::kTable[] = {
    ADDIN_INTERFACE(Addin, IAddin),
    ADDIN_INTERFACE_AS(Addin, IID_IDispatch, IAddin),
    ADDIN_INTERFACE(Addin, IDTExtensibility2),
    {nullptr, 0},
};

STDMETHODIMP ClickSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) {
    if (id == 1 && addin_) {
        AddRef();
        addin_->OnClick(which_);
        Release();
    }
    return S_OK;
}

void Addin::Drop() {
    for (IDispatch **p : {&tranBox_, &dicBox_, &bar_, &app_})
        if (*p) {
            (*p)->Release();
            *p = nullptr;
        }
    for (Button &b : buttons_)
        if (b.control) {
            b.control->Release();
            b.control = nullptr;
        }
}

STDMETHODIMP Addin::OnConnection(IDispatch *application, int, IDispatch *, SAFEARRAY **) {
    if (connected_) return S_OK;
    std::vector<AddinEntry> translators = Addin_ListEntries(ADDIN_KIND_TRANSLATOR);
    std::vector<AddinEntry> dictionaries = Addin_ListEntries(ADDIN_KIND_DICTIONARY);
    tranCount_ = (int)translators.size();
    dicCount_ = (int)dictionaries.size();
    if (!tranCount_ && !dicCount_) {
        connected_ = true;
        return S_OK;
    }
    if (!application) return E_POINTER;
    app_ = application;
    app_->AddRef();
    HRESULT hr;
    Disp bars(Late_Object(app_, L"CommandBars", {}, &hr));
    if (!bars) return hr;
    bar_ = Late_Object(bars, L"Add", {Late_Text(ResourceText(BRIDGE_IDS_BAR)), Late_Long(1), Late_Missing(),
                                     Late_Bool(true)}, &hr);
    if (!bar_) return hr;
    PluginSettings_Defaults(kProfile, &settings_);
    PluginSettings_Load(kProfile, &settings_);
    Disp controls(Late_Object(bar_, L"Controls", {}, &hr));
    if (!controls) return hr;
    if (tranCount_ && settings_.ShowTranslator) {
        if (FAILED(hr = AddBox(controls, ADDIN_KIND_TRANSLATOR, settings_.DefaultTranslatorName, kTranTag, &tranBox_)))
            return hr;
        if (FAILED(hr = AddButton(controls, kTranslate))) return hr;
    }
    if (dicCount_ && settings_.ShowDictionary) {
        if (FAILED(hr = AddBox(controls, ADDIN_KIND_DICTIONARY, settings_.DefaultDictionaryName, kDicTag, &dicBox_)))
            return hr;
        if (FAILED(hr = AddButton(controls, kLookup))) return hr;
    }
    if (FAILED(hr = AddButton(controls, kOptions))) return hr;
    if (FAILED(hr = Late_Put(bar_, L"Visible", Late_Bool(true)))) return hr;
    temp_ = Addin_TempPath("");
    connected_ = true;
    return S_OK;
}

HRESULT Addin::AddBox(IDispatch *controls, DWORD kind, const char *defaultName, const wchar_t *tag, IDispatch **box) {
    HRESULT hr;
    *box = Late_Object(controls, L"Add",
                       {Late_Long(4), Late_Missing(), Late_Missing(), Late_Missing(), Late_Bool(true)}, &hr);
    if (!*box) return hr;
    if (FAILED(hr = Late_Put(*box, L"Width", Late_Long(200)))) return hr;
    if (FAILED(hr = Late_Put(*box, L"Tag", Late_Text(tag)))) return hr;
    std::vector<AddinEntry> entries = Addin_ListEntries(kind);
    int chosen = 1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (FAILED(hr = Late_Call(*box, L"AddItem", {Late_Text(Bridge_Wide(entries[i].name)), Late_Long((long)i + 1)})))
            return hr;
        if (chosen == 1 && entries[i].name == defaultName) chosen = (int)i + 1;
    }
    if (kind == ADDIN_KIND_TRANSLATOR) tranDefault_ = chosen; else dicDefault_ = chosen;
    if (!entries.empty()) hr = Late_Put(*box, L"Text", Late_Text(Bridge_Wide(entries[chosen - 1].name)));
    return hr;
}

HRESULT Addin::AddButton(IDispatch *controls, int which) {
    const ButtonRow &row = kButtonRows[which];
    Button &b = buttons_[which];
    HRESULT hr;
    b.control = Late_Object(controls, L"Add",
                            {Late_Long(1), Late_Missing(), Late_Missing(), Late_Missing(), Late_Bool(true)}, &hr);
    if (!b.control) return hr;
    if (FAILED(hr = PasteFace(b.control, row.bitmap))) return hr;
    if (FAILED(hr = Late_Put(b.control, L"Caption", Late_Text(ResourceText(row.caption))))) return hr;
    if (FAILED(hr = Late_Put(b.control, L"TooltipText", Late_Text(ResourceText(row.tip))))) return hr;
    if (FAILED(hr = Late_Put(b.control, L"Tag", Late_Text(row.tag)))) return hr;
    IConnectionPointContainer *container = nullptr;
    if (FAILED(hr = b.control->QueryInterface(IID_IConnectionPointContainer, (void **)&container))) return hr;
    hr = container->FindConnectionPoint(DIID_CommandBarButtonEvents, &b.point);
    container->Release();
    if (FAILED(hr)) return hr;
    if (!b.sink) b.sink = new (std::nothrow) ClickSink(this, which);
    if (!b.sink) return E_OUTOFMEMORY;
    hr = b.point->Advise(static_cast<IDispatch *>(b.sink), &b.cookie);
    if (FAILED(hr)) {
        b.point->Release();
        b.point = nullptr;
        b.cookie = 0;
    }
    return hr;
}

// The face goes through the clipboard (the hosts take it from there); what the user had on the
// clipboard is put back afterwards.
HRESULT Addin::PasteFace(IDispatch *button, int bitmap) {
    HBITMAP face = (HBITMAP)LoadImageA(Addin_Module(), MAKEINTRESOURCEA(bitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!face) return HRESULT_FROM_WIN32(GetLastError());
    ClipboardCopy *saved = Clip_Save(clipOwner_);
    HRESULT hr = E_FAIL;
    if (OpenClipboard(clipOwner_)) {
        EmptyClipboard();
        if (SetClipboardData(CF_BITMAP, face)) {
            face = nullptr;
            hr = S_OK;
        }
        CloseClipboard();
    }
    if (face) DeleteObject(face);
    if (SUCCEEDED(hr)) hr = Late_Put(button, L"Style", Late_Long(1));
    if (SUCCEEDED(hr)) hr = Late_Call(button, L"PasteFace", {});
    Clip_Restore(clipOwner_, saved);
    return hr;
}

// Unadvises the sinks that were advised (a button never made has none); the first failure.
HRESULT Addin::Unadvise() {
    HRESULT result = S_OK;
    for (Button &b : buttons_) {
        if (!b.point) continue;
        HRESULT hr = b.point->Unadvise(b.cookie);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
        b.point->Release();
        b.point = nullptr;
        b.cookie = 0;
        if (b.sink) b.sink->Detach();
    }
    return result;
}

STDMETHODIMP Addin::OnDisconnection(int, SAFEARRAY **) {
    if (!connected_) return S_OK;
    HRESULT hr = Unadvise();
    connected_ = false;
    Drop();
    return hr;
}

void Addin::OnClick(int which) {
    if (which == kTranslate) {
        Translate();
    } else if (which == kLookup) {
        Lookup();
    } else {
#ifdef BRIDGE_SLIDE
        HWND owner = nullptr;
#else
        HWND owner = HostWindow();
#endif
        if (Addin_OptionsDialog(owner, kProfile) == 1) PluginSettings_Load(kProfile, &settings_);
    }
}

// The id behind a box: its current position, the item text there and the entry of that name.
DWORD Addin::ChosenId(const wchar_t *tag) {
    bool translator = lstrcmpW(tag, kTranTag) == 0;
    IDispatch *box = translator ? tranBox_ : dicBox_;
    if (!box) return 0;
    long position = Late_Number(box, L"ListIndex", 0);
    if (position <= 0) return 0;
    std::wstring text = Late_String(box, L"List", {Late_Long(position)});
    if (text.empty()) return 0;
    return Addin_FindEntry(translator ? ADDIN_KIND_TRANSLATOR : ADDIN_KIND_DICTIONARY, Bridge_Narrow(text).c_str());
}

#ifdef BRIDGE_SLIDE
// The whole current slide: every shape's text followed by "\n0", at most 2047 characters, put on
// the clipboard as plain text; its length.
long Addin::WholePage() {
    Disp window(Late_Object(app_, L"ActiveWindow"));
    Disp view(Late_Object(window, L"View"));
    Disp slide(Late_Object(view, L"Slide"));
    Disp shapes(Late_Object(slide, L"Shapes"));
    if (!shapes) return 0;
    long count = Late_Number(shapes, L"Count", 0);
    std::string text;
    for (long i = 1; i <= count && text.size() < kSlideTextMax; ++i) {
        Disp shape(Late_Object(shapes, L"Item", {Late_Long(i)}));
        Disp frame(Late_Object(shape, L"TextFrame"));
        Disp range(Late_Object(frame, L"TextRange"));
        if (!range) continue;
        text += Bridge_Narrow(Late_String(range, L"Text")) + "\n0";
    }
    if (text.size() > kSlideTextMax) text.resize(kSlideTextMax);
    if (text.empty() || !Clip_Write(clipOwner_, CF_TEXT, text)) return 0;
    return (long)text.size();
}

// The selected text (or the whole slide, by mode) read back from the clipboard as plain text.
std::string Addin::SelectionText(bool lookup) {
    Disp window(Late_Object(app_, L"ActiveWindow"));
    Disp selection(Late_Object(window, L"Selection"));
    Disp range(Late_Object(selection, L"TextRange"));
    long n = range ? (long)Late_String(range, L"Text").size() : 0;
    long copied;
    if ((!lookup && settings_.WholePageTran) || (lookup && n < 2)) {
        copied = WholePage();
    } else {
        copied = range && SUCCEEDED(Late_Call(range, L"Copy", {})) ? n : 0;
    }
    return copied > 1 ? Clip_Read(clipOwner_, CF_TEXT) : std::string();
}
#else
// The page that holds the selection, selected through the document's predefined bookmark and
// copied; its character count.
long Addin::WholePage() {
    Disp document(Late_Object(app_, L"ActiveDocument"));
    Disp bookmarks(Late_Object(document, L"Bookmarks"));
    Disp page(Late_Object(bookmarks, L"Item", {Late_Text(L"\\Page")}));
    if (!page || FAILED(Late_Call(page, L"Select", {}))) return 0;
    Disp selection(Late_Object(app_, L"Selection"));
    if (!selection || FAILED(Late_Call(selection, L"Copy", {}))) return 0;
    return (long)Late_String(selection, L"Text").size();
}

// The selection (or the whole page, by mode) as the RTF the host copied to the clipboard.
std::string Addin::SelectionText(bool lookup) {
    Disp selection(Late_Object(app_, L"Selection"));
    if (!selection) return std::string();
    long n = (long)Late_String(selection, L"Text").size();
    long copied;
    if ((!lookup && settings_.WholePageTran) || (lookup && n <= 1))
        copied = WholePage();
    else
        copied = SUCCEEDED(Late_Call(selection, L"Copy", {})) ? n : 0;
    return copied > 1 ? Clip_Read(clipOwner_, Clip_RtfFormat()) : std::string();
}
#endif

void Addin::Translate() {
    lookupMode_ = false;
    AddinTranslator translator;
    if (!translator.Open(ChosenId(kTranTag))) return;
    std::string selection = SelectionText(false);
    if (selection.empty()) return;
#ifdef BRIDGE_SLIDE
    std::string text = selection;
#else
    int size = Strandkit_RtfToPlain(translator.Charset(), selection.c_str(), nullptr);
    std::string plain(size > 0 ? size : 1, '\0');
    if (size > 0) Strandkit_RtfToPlain(translator.Charset(), selection.c_str(), &plain[0]);
    plain.resize(strlen(plain.c_str()));
    std::string text;
    for (char c : plain) text += c == '\r' ? std::string("\n0") : std::string(1, c);
#endif
    const VLDataItem *item = translator.Translate(text.c_str());
    if (!item || !item->headword || item->headwordLen <= 0) return;
    std::string result(item->headword, item->headwordLen);
    BYTE charset = item->charset;
    if (settings_.PopupWindow) {
        Addin_ResultDialog(HostWindow(), kProfile, result.c_str(), (int)result.size(), charset);
        return;
    }
#ifdef BRIDGE_SLIDE
    // The result goes to the clipboard as plain text and is shown once.
    Clip_Write(clipOwner_, CF_TEXT, result);
    MessageBoxA(HostWindow(), result.c_str(), "tran", MB_OK);
#else
    COLORREF colour = Addin_RtfColour(selection.data(), selection.size());
    int rtfSize = Strandkit_PlainToRtfEx(charset, 24, result.c_str(), nullptr, colour);
    if (rtfSize <= 0) return;
    std::string rtf(rtfSize, '\0');
    Strandkit_PlainToRtfEx(charset, 24, result.c_str(), &rtf[0], colour);
    rtf.resize(strlen(rtf.c_str()));
    if (!Clip_Write(clipOwner_, Clip_RtfFormat(), rtf)) return;
    Disp documents(Late_Object(app_, L"Documents"));
    if (!documents) return;
    Disp added(Late_Object(documents, L"Add", {Late_Missing(), Late_Bool(false), Late_Long(0), Late_Bool(true)}));
    if (!added) return;
    Disp paste(Late_Object(app_, L"Selection"));
    Late_Call(paste, L"Paste", {});
#endif
}

void Addin::Lookup() {
    lookupMode_ = true;
    std::string text = SelectionText(true);
    if (text.empty()) return;
    DWORD dicId = ChosenId(kDicTag), tranId = ChosenId(kTranTag);
#ifdef BRIDGE_SLIDE
    Addin_HandOver(ADDIN_VLM_TRANSLATE_TEXT_FILE, ADDIN_TEXT_FILE, text, dicId, tranId);
#else
    Addin_HandOver(ADDIN_VLM_TRANSLATE_RTF_FILE, ADDIN_RTF_FILE, text, dicId, tranId);
#endif
}

HRESULT MakeAddin(REFIID iid, void **out) {
    Addin *addin = new (std::nothrow) Addin();
    if (!addin) return E_OUTOFMEMORY;
    HRESULT hr = addin->QueryInterface(iid, out);
    addin->Release();
    return hr;
}

const AddinClass kClasses[] = {{&CLSID_Addin, MakeAddin}};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void *) {
    if (reason == DLL_PROCESS_ATTACH) {
        Addin_SetModule(module);
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void **out) {
    return Addin_GetClassObject(kClasses, 1, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return Addin_CanUnloadNow(); }

extern "C" HRESULT WINAPI DllRegisterServer() { return Addin_RegisterServer(Addin_Module(), BRIDGE_IDR_REGISTRY, true); }

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return Addin_UnregisterServer(Addin_Module(), BRIDGE_IDR_REGISTRY, true);
}
