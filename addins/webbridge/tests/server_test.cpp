// Webbridge.dll as the browser meets it: registered with the system's regsvr32 and through its own
// entry points (keys in this prefix's registry), made through the component library, asked for its
// interfaces, and sited as a band in a site of our own (a real window, a service provider handing
// out a stand-in browser with a connection point) that drives the band protocol and the events.
// The stand-in browser answers E_NOTIMPL to every document call, as a browser without a page does.
#include <windows.h>
#include <gtest/gtest.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <olectl.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>
#include "addin_fixtures.h"
#include "fake_documents.h"
#include "scrivel.h"
#include "support/testkit_gdi.h"
#include "support/testkit_process.h"
#include "support/testkit_wait.h"

namespace {

const CLSID kBand = {0xA92916C6, 0xB3CC, 0x4C75, {0xBD, 0x38, 0xCF, 0xF0, 0x4C, 0xC5, 0x4D, 0xDC}};
const IID kBandInterface = {0x61DF6CDE, 0xCDFA, 0x490F, {0x8A, 0x13, 0xF3, 0xBD, 0x54, 0x8B, 0x38, 0x44}};
const char kClassKey[] = "CLSID\\{A92916C6-B3CC-4C75-BD38-CFF04CC54DDC}";
const char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const char kBandValue[] = "{A92916C6-B3CC-4C75-BD38-CFF04CC54DDC}";

std::string DllPath() { return Testkit_ExeFolder() + "Webbridge.dll"; }

std::string ReadString(HKEY root, const std::string &path, const char *name) {
    char buf[600] = {};
    DWORD size = sizeof buf;
    if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return "<none>";
    return buf;
}

bool KeyExists(HKEY root, const std::string &path) {
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

int RunRegsvr32(const std::string &args) {
    TestkitProcess p;
    if (!p.Start("regsvr32.exe " + args + " \"" + DllPath() + "\"")) return -1;
    return p.WaitExit(60000);
}

void ExpectRegistered(bool registered) {
    std::string module = ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", nullptr);
    if (!registered) {
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Webbridge.KBBarBand"));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Webbridge.KBBarBand.1"));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\{29A41005-EF57-4734-89E6-A7189FC439FC}"));
        EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kToolbarKey, kBandValue), "<none>");
        return;
    }
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey, nullptr), "Velomira");
    EXPECT_EQ(lstrcmpiA(module.c_str(), DllPath().c_str()), 0) << module;
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", "ThreadingModel"),
              "Apartment");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\ProgID", nullptr), "Webbridge.KBBarBand.1");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\VersionIndependentProgID", nullptr),
              "Webbridge.KBBarBand");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\TypeLib", nullptr),
              "{29A41005-EF57-4734-89E6-A7189FC439FC}");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Webbridge.KBBarBand", nullptr), "KBBarBand Class");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Webbridge.KBBarBand\\CLSID", nullptr), kBandValue);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Webbridge.KBBarBand\\CurVer", nullptr), "Webbridge.KBBarBand.1");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "Webbridge.KBBarBand.1\\CLSID", nullptr), kBandValue);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "TypeLib\\{29A41005-EF57-4734-89E6-A7189FC439FC}\\1.0"));
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kToolbarKey, kBandValue), "Velomira");
}

typedef HRESULT(WINAPI *ServerProc)();
typedef HRESULT(WINAPI *ClassObjectProc)(REFCLSID, REFIID, void **);

TEST(Registration, Regsvr32AndTheEntryPoints) {
    // Someone else's band in the shared toolbar key.
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kToolbarKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, "{other-band}", 0, REG_SZ, (const BYTE *)"Other", 6);
    RegCloseKey(k);

    ASSERT_EQ(RunRegsvr32("/s"), 0);
    ExpectRegistered(true);
    ASSERT_EQ(RunRegsvr32("/s /u"), 0);
    ExpectRegistered(false);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kToolbarKey)) << "the shared key stays";
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kToolbarKey, "{other-band}"), "Other");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));

    HMODULE dll = LoadLibraryA(DllPath().c_str());
    ASSERT_TRUE(dll);
    for (const char *name : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
        EXPECT_TRUE(GetProcAddress(dll, name)) << name << " by name";
    ServerProc reg = (ServerProc)GetProcAddress(dll, "DllRegisterServer");
    ServerProc unreg = (ServerProc)GetProcAddress(dll, "DllUnregisterServer");
    EXPECT_EQ(reg(), S_OK);
    ExpectRegistered(true);
    EXPECT_EQ(unreg(), S_OK);
    ExpectRegistered(false);
    EXPECT_EQ(unreg(), S_OK) << "removing twice is no failure";
    FreeLibrary(dll);
}

// ---- The band in a site of our own ---------------------------------------------------------

class FakeBrowser;

// The browser's connection point for its events: keeps the one sink advised.
class FakePoint : public IConnectionPoint {
public:
    IDispatch *sink = nullptr;
    DWORD cookie = 0;
    int advises = 0, unadvises = 0;
    IConnectionPointContainer *owner = nullptr;
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
            *out = static_cast<IConnectionPoint *>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetConnectionInterface(IID *iid) override {
        *iid = DIID_DWebBrowserEvents2;
        return S_OK;
    }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer **out) override {
        *out = owner;
        return S_OK;
    }
    STDMETHODIMP Advise(IUnknown *unk, DWORD *outCookie) override {
        if (sink) return CONNECT_E_ADVISELIMIT;
        if (FAILED(unk->QueryInterface(IID_IDispatch, (void **)&sink))) return E_NOINTERFACE;
        advises++;
        *outCookie = cookie = 0x51;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD c) override {
        if (!sink || c != cookie) return CONNECT_E_NOCONNECTION;
        sink->Release();
        sink = nullptr;
        unadvises++;
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections **) override { return E_NOTIMPL; }
};

class FakeBrowser : public StubIWebBrowser2, public IConnectionPointContainer {
public:
    FakePoint point;
    HWND window = nullptr;
    bool withPoints = true;
    LONG refs = 1;
    fakedocs::FakeDocument *document = nullptr;  // none: a browser without a page
    FakeBrowser() { point.owner = this; }
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser2) ||
            IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser))
            *out = static_cast<IWebBrowser2 *>(this);
        else if (withPoints && IsEqualIID(iid, IID_IConnectionPointContainer))
            *out = static_cast<IConnectionPointContainer *>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs); }
    STDMETHODIMP GetTypeInfoCount(UINT *n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_HWND(SHANDLE_PTR *out) override {
        *out = (SHANDLE_PTR)window;
        return S_OK;
    }
    STDMETHODIMP get_Document(IDispatch **out) override {
        *out = document ? static_cast<IHTMLDocument2 *>(document) : nullptr;
        return document ? S_OK : E_FAIL;
    }
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints **) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint **out) override {
        *out = nullptr;
        if (!IsEqualIID(iid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
        *out = &point;
        return S_OK;
    }
};

// The band site: its window, the browser service and the input-object site.
class FakeSite : public IOleWindow, public IServiceProvider, public IInputObjectSite {
public:
    HWND window = nullptr;
    FakeBrowser *browser = nullptr;
    int focusChanges = 0;
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow))
            *out = static_cast<IOleWindow *>(this);
        else if (IsEqualIID(iid, IID_IServiceProvider))
            *out = static_cast<IServiceProvider *>(this);
        else if (IsEqualIID(iid, IID_IInputObjectSite))
            *out = static_cast<IInputObjectSite *>(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetWindow(HWND *out) override {
        *out = window;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void **out) override {
        *out = nullptr;
        if (!browser || !IsEqualGUID(service, SID_SWebBrowserApp)) return E_NOINTERFACE;
        return browser->QueryInterface(iid, out);
    }
    STDMETHODIMP OnFocusChangeIS(IUnknown *, BOOL focus) override {
        if (focus) focusChanges++;
        return S_OK;
    }
};

class Band : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        catalogue = new addinfix::Catalogue();
        dll = LoadLibraryA(DllPath().c_str());
        ((ServerProc)GetProcAddress(dll, "DllRegisterServer"))();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "FakeBandSite";
        RegisterClassA(&wc);
        frame = CreateWindowExA(0, wc.lpszClassName, "Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                40, 40, 760, 200, nullptr, nullptr, wc.hInstance, nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(frame);
        ((ServerProc)GetProcAddress(dll, "DllUnregisterServer"))();
        FreeLibrary(dll);
        delete catalogue;
        CoUninitialize();
    }
    void SetUp() override {
        browser.window = frame;
        site.window = frame;
        site.browser = &browser;
    }
    IUnknown *Make() {
        IUnknown *band = nullptr;
        EXPECT_EQ(CoCreateInstance(kBand, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, (void **)&band), S_OK);
        return band;
    }
    template <class T>
    T *As(IUnknown *band, REFIID iid) {
        T *p = nullptr;
        EXPECT_EQ(band->QueryInterface(iid, (void **)&p), S_OK);
        return p;
    }
    static addinfix::Catalogue *catalogue;
    static HMODULE dll;
    static HWND frame;
    FakeBrowser browser;
    FakeSite site;
};
addinfix::Catalogue *Band::catalogue;
HMODULE Band::dll;
HWND Band::frame;

TEST_F(Band, ServerClassesInterfacesAndUnloading) {
    ClassObjectProc getClass = (ClassObjectProc)GetProcAddress(dll, "DllGetClassObject");
    ServerProc canUnload = (ServerProc)GetProcAddress(dll, "DllCanUnloadNow");
    void *out = (void *)1;
    EXPECT_EQ(getClass(IID_IUnknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(canUnload(), S_OK) << "nothing alive yet";
    IClassFactory *factory = nullptr;
    ASSERT_EQ(getClass(kBand, IID_IClassFactory, (void **)&factory), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE) << "a factory alive";
    IUnknown *outer = (IUnknown *)factory;
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnload(), S_FALSE) << "locked";
    factory = nullptr;
    ASSERT_EQ(getClass(kBand, IID_IClassFactory, (void **)&factory), S_OK);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(canUnload(), S_OK);

    IUnknown *band = Make();
    ASSERT_TRUE(band);
    EXPECT_EQ(canUnload(), S_FALSE) << "an object alive";
    const IID *known[] = {&IID_IDeskBand, &IID_IDockingWindow, &IID_IOleWindow, &IID_IObjectWithSite,
                          &IID_IPersistStream, &IID_IPersist, &IID_IInputObject, &IID_IDispatch, &kBandInterface};
    for (const IID *iid : known) {
        IUnknown *p = nullptr;
        EXPECT_EQ(band->QueryInterface(*iid, (void **)&p), S_OK);
        IUnknown *identity = nullptr;
        p->QueryInterface(IID_IUnknown, (void **)&identity);
        EXPECT_EQ(identity, band) << "one identity";
        identity->Release();
        p->Release();
    }
    EXPECT_EQ(band->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(band->QueryInterface(IID_IWebBrowser2, &out), E_NOINTERFACE);

    IDispatch *dual = As<IDispatch>(band, kBandInterface);
    UINT count = 0;
    EXPECT_EQ(dual->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ITypeInfo *info = nullptr;
    ASSERT_EQ(dual->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR *attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, kBandInterface));
    info->ReleaseTypeAttr(attr);
    info->Release();
    dual->Release();

    IPersistStream *persist = As<IPersistStream>(band, IID_IPersistStream);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kBand));
    persist->Release();
    EXPECT_EQ(band->Release(), 0u);
    EXPECT_EQ(canUnload(), S_OK) << "the last object gone";
}

TEST_F(Band, SiteFailuresAndBandInformation) {
    IUnknown *band = Make();
    IObjectWithSite *withSite = As<IObjectWithSite>(band, IID_IObjectWithSite);
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);

    site.window = (HWND)(UINT_PTR)0x1234;  // no window
    EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow *>(&site)), E_FAIL);
    site.window = frame;
    site.browser = nullptr;  // no browser service
    EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow *>(&site)), E_POINTER);
    site.browser = &browser;
    browser.withPoints = false;  // a browser without events
    EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow *>(&site)), E_POINTER);
    EXPECT_EQ(browser.point.advises, 0);

    IDeskBand *desk = As<IDeskBand>(band, IID_IDeskBand);
    EXPECT_EQ(desk->GetBandInfo(0, 0, nullptr), E_INVALIDARG);
    DESKBANDINFO info = {};
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS | DBIM_BKCOLOR;
    ASSERT_EQ(desk->GetBandInfo(0, 0, &info), S_OK);
    EXPECT_EQ(info.ptMinSize.x, 40);
    EXPECT_EQ(info.ptMinSize.y, 23);
    EXPECT_EQ(info.ptMaxSize.x, -1);
    EXPECT_EQ(info.ptMaxSize.y, 23);
    EXPECT_EQ(info.ptIntegral.x, 1);
    EXPECT_EQ(info.ptIntegral.y, 1);
    EXPECT_EQ(info.ptActual.x, 200);
    EXPECT_EQ(info.ptActual.y, 23);
    EXPECT_EQ(info.dwModeFlags, (DWORD)DBIMF_VARIABLEHEIGHT);
    EXPECT_EQ(info.dwMask & DBIM_BKCOLOR, 0u) << "no background colour asked for";
    EXPECT_STREQ(info.wszTitle, L"\x30f4\x30a7\x30ed\x30df\x30e9");  // the product name, "Velomira" in katakana
    EXPECT_EQ(desk->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    EXPECT_EQ(desk->ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);
    desk->Release();
    withSite->Release();
    band->Release();
}

// Cancels the options dialog that the band opens over the site's window.
bool g_optionsSeen;
void CALLBACK CancelOptions(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", nullptr);
    if (!dlg || !IsWindowVisible(dlg) || !GetDlgItem(dlg, 201)) return;
    KillTimer(nullptr, id);
    g_optionsSeen = GetDlgItem(dlg, 108) && GetDlgItem(dlg, 109);
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
}

// The window's children by control id.
HWND Child(HWND bar, int id) { return GetDlgItem(bar, id); }

TEST_F(Band, DocksInTheSiteWithItsBoxesAndFollowsTheEvents) {
    IUnknown *band = Make();
    IObjectWithSite *withSite = As<IObjectWithSite>(band, IID_IObjectWithSite);
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow *>(&site)), S_OK);
    EXPECT_EQ(browser.point.advises, 1) << "the browser's events advised once";
    IUnknown *back = nullptr;
    EXPECT_EQ(withSite->GetSite(IID_IOleWindow, (void **)&back), S_OK);
    EXPECT_EQ(back, static_cast<IOleWindow *>(&site));

    IDeskBand *desk = As<IDeskBand>(band, IID_IDeskBand);
    HWND bar = nullptr;
    ASSERT_EQ(desk->GetWindow(&bar), S_OK);
    ASSERT_TRUE(IsWindow(bar));
    EXPECT_EQ(GetParent(bar), frame);
    RECT r, client;
    GetWindowRect(bar, &r);
    GetClientRect(frame, &client);
    EXPECT_EQ(r.right - r.left, client.right > 400 ? client.right : 400) << "as wide as the site, at least 400";
    EXPECT_EQ(r.bottom - r.top, 23);
    EXPECT_FALSE(IsWindowVisible(bar));
    desk->ShowDW(TRUE);
    EXPECT_TRUE(IsWindowVisible(bar));

    // The boxes hold the catalogue's translator and dictionaries, each with its id.
    HWND translators = Child(bar, 108), dictionaries = Child(bar, 109);
    ASSERT_TRUE(translators && dictionaries);
    EXPECT_EQ(SendMessageA(translators, CB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(translators, CB_GETITEMDATA, 0, 0), 0x310000);
    EXPECT_EQ(SendMessageA(dictionaries, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(dictionaries, CB_GETDROPPEDWIDTH, 0, 0), 200);
    SendMessageA(translators, CB_SETCURSEL, 0, 0);
    SendMessageA(dictionaries, CB_SETCURSEL, 1, 0);
    HWND toolbar = FindWindowExA(bar, nullptr, "ToolbarWindow32", nullptr);
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 5);
    RECT slot, box;
    SendMessageA(toolbar, TB_GETRECT, 112, (LPARAM)&slot);
    GetWindowRect(translators, &box);
    MapWindowPoints(nullptr, bar, (POINT *)&box, 2);
    EXPECT_EQ(box.left, slot.left) << "the box lies over its placeholder";
    EXPECT_EQ(box.right - box.left, 200);

    // The focus in a box is told to the site.
    SetForegroundWindow(frame);
    SetFocus(translators);
    Testkit_Pump();
    EXPECT_GE(site.focusChanges, 1);
    IInputObject *input = As<IInputObject>(band, IID_IInputObject);
    EXPECT_EQ(input->HasFocusIO(), S_OK);
    input->Release();

    // A picture of the band docked in the site's window.
    SetWindowPos(frame, HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE);
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Testkit_Pump();
    EXPECT_TRUE(Testkit_SaveWindowPicture(frame, "band.bmp"));

    // Events: a null parameter block is refused; a page load with no document does nothing
    // harmful; quitting unadvises with the same cookie.
    IDispatch *sink = browser.point.sink;
    ASSERT_TRUE(sink);
    EXPECT_EQ(sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
    DISPPARAMS none = {};
    // The page check reads (and so deletes) a waiting page note: a download before any document
    // has completed leaves it alone.
    const std::string note = Addin_TempPath(ADDIN_NOTE_FILE);
    ASSERT_TRUE(Addin_WriteNote(0x310000, 0x350000, "http://example.org/"));
    EXPECT_EQ(sink->Invoke(DISPID_DOWNLOADCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_TRUE(Testkit_Exists(note)) << "no page check before a document completed";
    EXPECT_EQ(sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_FALSE(Testkit_Exists(note)) << "checked on the completed document";
    ASSERT_TRUE(Addin_WriteNote(0x310000, 0x350000, "http://example.org/"));
    EXPECT_EQ(sink->Invoke(DISPID_DOWNLOADCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_FALSE(Testkit_Exists(note)) << "checked again after later downloads";
    // The options button opens the options dialog over the browser's window (closed here).
    SetTimer(nullptr, 0, 50, CancelOptions);
    g_optionsSeen = false;
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(107, BN_CLICKED), (LPARAM)toolbar);
    EXPECT_TRUE(g_optionsSeen);
    // A toolbar button on a browser without a page ends silently.
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(106, BN_CLICKED), (LPARAM)toolbar);
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(105, BN_CLICKED), (LPARAM)toolbar);
    EXPECT_EQ(sink->Invoke(DISPID_ONQUIT, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(browser.point.unadvises, 1);
    EXPECT_EQ(browser.point.sink, nullptr);

    desk->CloseDW(0);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    EXPECT_FALSE(IsWindow(bar)) << "the bar goes with the site";
    EXPECT_EQ(browser.point.unadvises, 1) << "no second unadvise";
    desk->Release();
    withSite->Release();
    EXPECT_EQ(band->Release(), 0u);
    EXPECT_EQ(browser.refs, 1) << "the browser is let go";
}

// Reads and closes the result dialog that the band shows over the site's window.
std::string g_resultText;
void CALLBACK ReadResult(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", nullptr);
    HWND editor = dlg ? GetDlgItem(dlg, 110) : nullptr;
    if (!editor || !IsWindowVisible(dlg)) return;
    KillTimer(nullptr, id);
    char buf[4096] = {};
    SendMessageA(editor, SCM_GETPLAINTEXT, 0, (LPARAM)buf);
    g_resultText = buf;
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}

TEST_F(Band, TranslatesAPagesSelectionAndHandsOverItsText) {
    fakedocs::FakeDocument doc;
    doc.selection = L"Good morning";
    doc.body.text = L"\x8f9e\x66f8 page";  // jisho
    browser.document = &doc;
    addinfix::Receiver receiver;
    IUnknown *band = Make();
    IObjectWithSite *withSite = As<IObjectWithSite>(band, IID_IObjectWithSite);
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow *>(&site)), S_OK);
    IOleWindow *window = As<IOleWindow>(band, IID_IOleWindow);
    HWND bar = nullptr;
    window->GetWindow(&bar);
    HWND toolbar = FindWindowExA(bar, nullptr, "ToolbarWindow32", nullptr);
    ASSERT_TRUE(toolbar);
    SendMessageA(GetDlgItem(bar, 108), CB_SETCURSEL, 0, 0);
    SendMessageA(GetDlgItem(bar, 109), CB_SETCURSEL, 1, 0);

    g_resultText.clear();
    SetTimer(nullptr, 0, 50, ReadResult);
    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(105, BN_CLICKED), (LPARAM)toolbar);
    // ohayou gozaimasu in Shift-JIS, shown in the result dialog
    EXPECT_NE(g_resultText.find("\x82\xa8\x82\xcd\x82\xe6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7"),
              std::string::npos)
        << g_resultText;

    SendMessageA(bar, WM_COMMAND, MAKEWPARAM(106, BN_CLICKED), (LPARAM)toolbar);
    ASSERT_EQ(addinfix::g_seen.size(), 1u);
    EXPECT_EQ(addinfix::g_seen[0].msg, 0x8415u);
    EXPECT_EQ(addinfix::g_seen[0].wParam, 0x350000u) << "the dictionary chosen in the box";
    EXPECT_EQ(addinfix::g_seen[0].lParam, 0x310000) << "the translator chosen in the box";
    EXPECT_EQ(addinfix::g_seen[0].file, "\x8e\xab\x8f\x91 page") << "the page's text in the dictionary's charset";

    // A page reopened for translation: the note of its address picks the ids in the boxes and its
    // runs are translated in place when the document completes.
    SendMessageA(GetDlgItem(bar, 108), CB_SETCURSEL, (WPARAM)-1, 0);
    SendMessageA(GetDlgItem(bar, 109), CB_SETCURSEL, 0, 0);
    doc.Text(L"Thank you");
    doc.Text(L"2024");
    ASSERT_TRUE(Addin_WriteNote(0x310000, 0x350000, "http://example.org/"));
    DISPPARAMS none = {};
    ASSERT_TRUE(browser.point.sink);
    browser.point.sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    EXPECT_EQ(doc.Texts(), L"\x3042\x308a\x304c\x3068\x3046|2024|");  // arigatou
    EXPECT_EQ(doc.charset, L"shift_jis");
    EXPECT_EQ(SendMessageA(GetDlgItem(bar, 108), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(GetDlgItem(bar, 109), CB_GETCURSEL, 0, 0), 1);

    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    window->Release();
    withSite->Release();
    EXPECT_EQ(band->Release(), 0u);
    DeleteFileA(Addin_TempPath(ADDIN_TEXT_FILE).c_str());
}

}  // namespace
