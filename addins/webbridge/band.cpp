// The browser band object: band protocol (IDeskBand, IObjectWithSite, IPersistStream,
// IInputObject), its dual interface, the browser events and the engine client of the process.
#include "webbridge_int.h"
#include <exdispid.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

const CLSID CLSID_KBBarBand = {0xA92916C6, 0xB3CC, 0x4C75, {0xBD, 0x38, 0xCF, 0xF0, 0x4C, 0xC5, 0x4D, 0xDC}};
const IID IID_IKBBarBand = {0x61DF6CDE, 0xCDFA, 0x490F, {0x8A, 0x13, 0xF3, 0xBD, 0x54, 0x8B, 0x38, 0x44}};
const GUID LIBID_WEBBRIDGELib = {0x29A41005, 0xEF57, 0x4734, {0x89, 0xE6, 0xA7, 0x18, 0x9F, 0xC4, 0x39, 0xFC}};

WebPageMaker g_webPageMaker = Webbridge_MakeDocumentPage;

// The bar window (bar.cpp).
HWND WebbridgeBar_Create(HWND parent, class KBBarBand *band, int width);
void WebbridgeBar_Fill(HWND bar, const PluginSettings &settings);
void WebbridgeBar_Choice(HWND bar, DWORD *tranId, DWORD *dicId);
void WebbridgeBar_Select(HWND bar, DWORD tranId, DWORD dicId);
bool WebbridgeBar_HasFocus(HWND bar);
void WebbridgeBar_Focus(HWND bar);

// The dual interface of the band: no members of its own beyond IDispatch.
struct IKBBarBand : public IDispatch {};

class KBBarBand;

// The sink of the browser's events, owned by the band.
class BandEvents : public AddinObject, public IDispatch {
public:
    explicit BandEvents(KBBarBand *band) : band_(band) {}
    ADDIN_UNKNOWN(kTable)
    void Detach() { band_ = nullptr; }
    STDMETHODIMP GetTypeInfoCount(UINT *n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *, EXCEPINFO *, UINT *) override;

private:
    static const AddinInterface kTable[];
    KBBarBand *band_;
};

class KBBarBand : public AddinObject,
                  public IDeskBand,
                  public IObjectWithSite,
                  public IPersistStream,
                  public IInputObject,
                  public IKBBarBand {
public:
    KBBarBand() {
        PluginSettings_Defaults(kWebbridgeProfile, &settings_);
        engine_ = Addin_EngineStart(Addin_Module(), kWebbridgeProfile.client);
    }
    ~KBBarBand() override {
        DropSite();
        if (events_) {
            events_->Detach();
            events_->Release();
        }
        if (engine_) Addin_EngineStop();
    }
    ADDIN_UNKNOWN(kTable)

    // IOleWindow
    STDMETHODIMP GetWindow(HWND *out) override {
        if (!out) return E_POINTER;
        *out = bar_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IDockingWindow
    STDMETHODIMP ShowDW(BOOL show) override {
        if (bar_) ShowWindow(bar_, show ? SW_SHOW : SW_HIDE);
        return S_OK;
    }
    STDMETHODIMP CloseDW(DWORD) override {
        if (bar_) ShowWindow(bar_, SW_HIDE);
        return S_OK;
    }
    STDMETHODIMP ResizeBorderDW(LPCRECT, IUnknown *, BOOL) override { return E_NOTIMPL; }
    // IDeskBand
    STDMETHODIMP GetBandInfo(DWORD, DWORD, DESKBANDINFO *info) override;
    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown *site) override;
    STDMETHODIMP GetSite(REFIID iid, void **out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return site_ ? site_->QueryInterface(iid, out) : E_FAIL;
    }
    // IPersistStream: the band keeps nothing in the browser's stream.
    STDMETHODIMP GetClassID(CLSID *out) override {
        if (!out) return E_POINTER;
        *out = CLSID_KBBarBand;
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(IStream *) override { return S_OK; }
    STDMETHODIMP Save(IStream *, BOOL) override { return S_OK; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER *size) override {
        if (!size) return E_POINTER;
        size->QuadPart = 0;
        return S_OK;
    }
    // IInputObject
    STDMETHODIMP UIActivateIO(BOOL activate, MSG *) override {
        if (activate && bar_) WebbridgeBar_Focus(bar_);
        return S_OK;
    }
    STDMETHODIMP HasFocusIO() override { return bar_ && WebbridgeBar_HasFocus(bar_) ? S_OK : S_FALSE; }
    STDMETHODIMP TranslateAcceleratorIO(MSG *) override { return S_FALSE; }
    // IDispatch of the dual interface, through the type library
    ADDIN_DUAL(IKBBarBand)

    // Bar and events.
    void OnCommand(int id);
    void OnBoxFocus() {
        if (inputSite_) inputSite_->OnFocusChangeIS(static_cast<IDeskBand *>(this), TRUE);
    }
    void OnDocumentComplete() {
        PageCheck();
        state_.documentCompleted = true;
    }
    void OnDownloadComplete() {
        if (state_.documentCompleted) PageCheck();
    }
    void OnQuit() { Unadvise(); }
    IWebBrowser2 *Browser() const { return browser_; }
    const WebbridgeState &State() const { return state_; }

private:
    static const AddinInterface kTable[];
    void DropSite();
    void Unadvise();
    void PageCheck();
    WebbridgeHooks Hooks();

    IUnknown *site_ = nullptr;
    IInputObjectSite *inputSite_ = nullptr;
    IWebBrowser2 *browser_ = nullptr;
    IConnectionPointContainer *points_ = nullptr;
    BandEvents *events_ = nullptr;
    DWORD cookie_ = 0;
    HWND parent_ = nullptr, bar_ = nullptr;
    AddinDualInfo dual_{IID_IKBBarBand};
    PluginSettings settings_;
    WebbridgeState state_;
    bool engine_ = false;
};

const AddinInterface BandEvents::kTable[] = {
    ADDIN_INTERFACE(BandEvents, IDispatch),
    ADDIN_INTERFACE_AS(BandEvents, DIID_DWebBrowserEvents2, IDispatch),
    {nullptr, 0},
};

const AddinInterface KBBarBand::kTable[] = {
    ADDIN_INTERFACE(KBBarBand, IDeskBand),
    ADDIN_INTERFACE(KBBarBand, IDockingWindow),
    ADDIN_INTERFACE(KBBarBand, IOleWindow),
    ADDIN_INTERFACE(KBBarBand, IObjectWithSite),
    ADDIN_INTERFACE(KBBarBand, IPersistStream),
    ADDIN_INTERFACE(KBBarBand, IPersist),
    ADDIN_INTERFACE(KBBarBand, IInputObject),
    ADDIN_INTERFACE(KBBarBand, IKBBarBand),
    ADDIN_INTERFACE(KBBarBand, IDispatch),
    {nullptr, 0},
};

STDMETHODIMP BandEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *, EXCEPINFO *, UINT *) {
    if (!params) return E_INVALIDARG;
    if (!band_) return S_OK;
    switch (id) {
    case DISPID_DOCUMENTCOMPLETE: band_->OnDocumentComplete(); break;
    case DISPID_DOWNLOADCOMPLETE: band_->OnDownloadComplete(); break;
    case DISPID_ONQUIT: band_->OnQuit(); break;
    }
    return S_OK;
}

STDMETHODIMP KBBarBand::GetBandInfo(DWORD, DWORD, DESKBANDINFO *info) {
    if (!info) return E_INVALIDARG;
    if (info->dwMask & DBIM_MINSIZE) info->ptMinSize = {40, WEBBRIDGE_BAR_HEIGHT};
    if (info->dwMask & DBIM_MAXSIZE) info->ptMaxSize = {-1, WEBBRIDGE_BAR_HEIGHT};
    if (info->dwMask & DBIM_INTEGRAL) info->ptIntegral = {1, 1};
    if (info->dwMask & DBIM_ACTUAL) info->ptActual = {200, WEBBRIDGE_BAR_HEIGHT};
    if (info->dwMask & DBIM_TITLE) {
        info->wszTitle[0] = 0;
        LoadStringW(Addin_Module(), WEBBRIDGE_IDS_TITLE, info->wszTitle, sizeof info->wszTitle / sizeof(WCHAR));
    }
    if (info->dwMask & DBIM_MODEFLAGS) info->dwModeFlags = DBIMF_VARIABLEHEIGHT;
    info->dwMask &= ~DBIM_BKCOLOR;
    return S_OK;
}

void KBBarBand::Unadvise() {
    if (!points_ || !cookie_) return;
    IConnectionPoint *point = nullptr;
    if (SUCCEEDED(points_->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) && point) {
        point->Unadvise(cookie_);
        point->Release();
    }
    cookie_ = 0;
}

void KBBarBand::DropSite() {
    Unadvise();
    if (bar_) DestroyWindow(bar_);
    bar_ = nullptr;
    parent_ = nullptr;
    if (points_) points_->Release();
    if (browser_) browser_->Release();
    if (inputSite_) inputSite_->Release();
    if (site_) site_->Release();
    points_ = nullptr;
    browser_ = nullptr;
    inputSite_ = nullptr;
    site_ = nullptr;
}

STDMETHODIMP KBBarBand::SetSite(IUnknown *site) {
    DropSite();
    if (!site) return S_OK;
    HWND parent = nullptr;
    IOleWindow *window = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, (void **)&window)) && window) {
        window->GetWindow(&parent);
        window->Release();
    }
    if (!parent || !IsWindow(parent)) return E_FAIL;
    IServiceProvider *services = nullptr;
    IWebBrowser2 *browser = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IServiceProvider, (void **)&services)) && services) {
        if (FAILED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, (void **)&browser))) browser = nullptr;
        services->Release();
    }
    if (!browser) return E_POINTER;
    IConnectionPointContainer *points = nullptr;
    if (FAILED(browser->QueryInterface(IID_IConnectionPointContainer, (void **)&points)) || !points) {
        browser->Release();
        return E_POINTER;
    }
    RECT client;
    GetClientRect(parent, &client);
    int width = client.right - client.left < 400 ? 400 : client.right - client.left;
    HWND bar = WebbridgeBar_Create(parent, this, width);
    if (!bar) {
        points->Release();
        browser->Release();
        return E_FAIL;
    }
    site_ = site;
    site_->AddRef();
    browser_ = browser;
    points_ = points;
    parent_ = parent;
    bar_ = bar;
    if (FAILED(site->QueryInterface(IID_IInputObjectSite, (void **)&inputSite_))) inputSite_ = nullptr;
    PluginSettings_Defaults(kWebbridgeProfile, &settings_);
    PluginSettings_Load(kWebbridgeProfile, &settings_);
    WebbridgeBar_Fill(bar_, settings_);
    if (!events_) events_ = new BandEvents(this);
    IConnectionPoint *point = nullptr;
    if (SUCCEEDED(points_->FindConnectionPoint(DIID_DWebBrowserEvents2, &point)) && point) {
        if (FAILED(point->Advise(static_cast<IDispatch *>(events_), &cookie_))) cookie_ = 0;
        point->Release();
    }
    return S_OK;
}

WebbridgeHooks KBBarBand::Hooks() {
    WebbridgeHooks h = Webbridge_DefaultHooks();
    HWND bar = bar_;
    h.selectIds = [bar](DWORD tranId, DWORD dicId) {
        if (bar) WebbridgeBar_Select(bar, tranId, dicId);
    };
    return h;
}

void KBBarBand::PageCheck() {
    if (!browser_) return;
    WebPage *page = g_webPageMaker(browser_);
    if (!page) return;
    Webbridge_PageCheck(*page, state_, Hooks());
    delete page;
}

void KBBarBand::OnCommand(int id) {
    if (!browser_) return;
    DWORD tranId = 0, dicId = 0;
    WebbridgeBar_Choice(bar_, &tranId, &dicId);
    if (id == WEBBRIDGE_IDC_OPTIONS) {
        SHANDLE_PTR owner = 0;
        if (FAILED(browser_->get_HWND(&owner))) return;
        if (Addin_OptionsDialog((HWND)owner, kWebbridgeProfile) == 1)
            PluginSettings_Load(kWebbridgeProfile, &settings_);
        return;
    }
    WebPage *page = g_webPageMaker(browser_);
    if (!page) return;
    if (id == WEBBRIDGE_IDC_TRANSLATE)
        Webbridge_TranslateAction(*page, tranId, dicId, state_, Hooks());
    else if (id == WEBBRIDGE_IDC_LOOKUP)
        Webbridge_LookupAction(*page, tranId, dicId, state_);
    delete page;
}

// Called by the bar window.
void KBBarBand_OnCommand(KBBarBand *band, int id) { band->OnCommand(id); }
void KBBarBand_OnBoxFocus(KBBarBand *band) { band->OnBoxFocus(); }

HRESULT Webbridge_MakeBand(REFIID iid, void **out) {
    KBBarBand *band = new (std::nothrow) KBBarBand();
    if (!band) return E_OUTOFMEMORY;
    HRESULT hr = band->QueryInterface(iid, out);
    band->Release();
    return hr;
}
