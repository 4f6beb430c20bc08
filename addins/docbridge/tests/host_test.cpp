// Docbridge.dll and Slidebridge.dll in a host of our own: one generic late-bound object type with
// a property bag, methods of the test and a call log stands in for the application, its command
// bars, controls, selection, documents and slides; windows of the hosts' frame classes are the
// dialogs' owners; a translation window of the test (kind 4) keeps what it is handed; the engine
// runs over a catalogue holding the translator driver dictionary.  The clipboard is shared, so
// every case runs in this one program, one after the other.  Japanese text is written as escaped
// bytes with a comment.
#include <windows.h>
#include <gtest/gtest.h>
#include <oleauto.h>
#include <olectl.h>
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "addin_fixtures.h"
#include "basekit.h"
#include "bridge_int.h"
#include "support/testkit_gdi.h"
#include "support/testkit_wait.h"

namespace {

const CLSID kDocClass = {0x1048AEBF, 0x4BA8, 0x411A, {0x8D, 0x19, 0xB8, 0x4B, 0x41, 0x92, 0x98, 0x46}};
const CLSID kSlideClass = {0x1048AEC0, 0x4BA9, 0x411A, {0x8D, 0x19, 0xB8, 0x4B, 0x41, 0x92, 0x98, 0x46}};
const IID kExtensibility = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
const IID kButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const char kDocKey[] = "Software\\Halvenstone\\Velosuite\\Plugin\\Docbridge";
const char kSlideKey[] = "Software\\Halvenstone\\Velosuite\\Plugin\\Slidebridge";
const DWORD kTranslator = 0x310000, kEnglishJapanese = 0x340000, kWaei = 0x350000;

// The add-in connection interface as the hosts call it (declared outside this file's unnamed
// namespace: an interface without implementations there would be devirtualised away).
typedef IDTExtensibility2 Extensibility;

std::vector<std::string> g_log;
std::vector<std::wstring> g_names;  // dispatch id - 100 -> member name

std::string Utf8(const std::wstring &w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

std::string Show(const VARIANT &v) {
    switch (v.vt) {
    case VT_I4: return std::to_string(v.lVal);
    case VT_BOOL: return v.boolVal ? "true" : "false";
    case VT_BSTR: return "'" + Utf8(v.bstrVal ? v.bstrVal : L"") + "'";
    case VT_ERROR: return "-";
    default: return "?";
    }
}

struct Fake;
typedef std::function<HRESULT(Fake *self, const std::vector<VARIANT> &args, VARIANT *result)> Method;

// One object of the host: properties, methods and (for buttons) a connection point for the
// click events.
struct Fake : public IDispatch, public IConnectionPointContainer, public IConnectionPoint {
    std::string name;
    LONG refs = 1;
    std::map<std::wstring, VARIANT> props;
    std::map<std::wstring, Method> methods;
    std::vector<std::wstring> items;  // combo box items
    IDispatch *sink = nullptr;
    int advises = 0, unadvises = 0;

    explicit Fake(const char *n) : name(n) {}
    virtual ~Fake() {
        for (auto &p : props) VariantClear(&p.second);
        if (sink) sink->Release();
    }
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) *out = static_cast<IDispatch *>(this);
        else if (iid == IID_IConnectionPointContainer && name == "Button") *out = static_cast<IConnectionPointContainer *>(this);
        else return *out = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = --refs;
        if (!n) delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT *n) override { return *n = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override {
        for (UINT i = 0; i < count; ++i) {
            size_t k = 0;
            while (k < g_names.size() && g_names[k] != names[i]) ++k;
            if (k == g_names.size()) g_names.push_back(names[i]);
            ids[i] = (DISPID)(100 + k);
        }
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result, EXCEPINFO *,
                        UINT *) override {
        const std::wstring &member = g_names.at(id - 100);
        std::vector<VARIANT> args(params->rgvarg, params->rgvarg + params->cArgs);
        std::reverse(args.begin(), args.end());
        std::string line = name + "." + Utf8(member);
        if (flags & DISPATCH_PROPERTYPUT) {
            g_log.push_back(line + "=" + Show(args.at(0)));
            VariantCopy(&props[member], &args[0]);
            auto hook = methods.find(L"put_" + member);
            if (hook != methods.end()) hook->second(this, args, nullptr);
            return S_OK;
        }
        auto m = methods.find(member);
        if (m != methods.end()) {
            std::string shown;
            for (const VARIANT &a : args) shown += (shown.empty() ? "" : ",") + Show(a);
            g_log.push_back(line + "(" + shown + ")");
            VARIANT local;
            VariantInit(&local);
            HRESULT hr = m->second(this, args, result ? result : &local);
            VariantClear(&local);
            return hr;
        }
        auto p = props.find(member);
        if (p == props.end()) return DISP_E_MEMBERNOTFOUND;
        if (result) VariantCopy(result, &p->second);
        return S_OK;
    }
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints **) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint **out) override {
        if (iid != kButtonEvents) return CONNECT_E_NOCONNECTION;
        *out = this;
        AddRef();
        return S_OK;
    }
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID *iid) override { return *iid = kButtonEvents, S_OK; }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer **) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IUnknown *unk, DWORD *cookie) override {
        if (sink || FAILED(unk->QueryInterface(kButtonEvents, (void **)&sink))) return CONNECT_E_CANNOTCONNECT;
        advises++;
        *cookie = 7;
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override {
        if (!sink || cookie != 7) return CONNECT_E_NOCONNECTION;
        sink->Release();
        sink = nullptr;
        unadvises++;
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections **) override { return E_NOTIMPL; }

    void Set(const wchar_t *member, Fake *object) {
        VariantClear(&props[member]);
        props[member].vt = VT_DISPATCH;
        props[member].pdispVal = object;
        object->AddRef();
    }
    void SetText(const wchar_t *member, const std::wstring &text) {
        VariantClear(&props[member]);
        props[member] = Late_Text(text);
    }
    std::wstring Text(const wchar_t *member) {
        auto p = props.find(member);
        return p != props.end() && p->second.vt == VT_BSTR ? p->second.bstrVal : L"";
    }
    // The button's click as the host fires it: Click(Ctrl, CancelDefault).
    void Click() {
        ASSERT_TRUE(sink) << "no click sink advised";
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANT args[2];
        args[0].vt = VT_BOOL | VT_BYREF;
        args[0].pboolVal = &cancel;
        args[1].vt = VT_DISPATCH;
        args[1].pdispVal = this;
        DISPPARAMS params = {args, nullptr, 2, 0};
        EXPECT_EQ(sink->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    }
};

HRESULT ReturnObject(VARIANT *result, Fake *object) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object;
    object->AddRef();
    return S_OK;
}

void PutClipboard(UINT format, const std::string &bytes) { ASSERT_TRUE(Clip_Write(nullptr, format, bytes)); }
std::string ClipboardText(UINT format) { return Clip_Read(nullptr, format); }

// The host's objects: application, command bars, one bar with its controls, selection,
// documents, the page bookmark and the slide's shapes.
struct Host {
    Fake *app = new Fake("App"), *bars = new Fake("CommandBars"), *bar = new Fake("Bar"),
         *controls = new Fake("Controls"), *selection = new Fake("Selection"), *documents = new Fake("Documents"),
         *document = new Fake("Document"), *bookmarks = new Fake("Bookmarks"), *page = new Fake("Page"),
         *window = new Fake("Window"), *range = new Fake("TextRange"), *view = new Fake("View"),
         *slide = new Fake("Slide"), *shapes = new Fake("Shapes");
    std::vector<Fake *> made;  // controls in the order added
    std::vector<std::wstring> shapeTexts;
    std::string selectionRtf, pageRtf;
    std::wstring pageText;
    HWND frame = nullptr;

    explicit Host(const char *frameClass) {
        app->Set(L"CommandBars", bars);
        bars->methods[L"Add"] = [this](Fake *, const std::vector<VARIANT> &, VARIANT *r) { return ReturnObject(r, bar); };
        bar->Set(L"Controls", controls);
        controls->methods[L"Add"] = [this](Fake *, const std::vector<VARIANT> &a, VARIANT *r) {
            Fake *c = new Fake(a.at(0).lVal == 4 ? "Combo" : "Button");
            if (a.at(0).lVal == 4) {
                c->methods[L"AddItem"] = [](Fake *self, const std::vector<VARIANT> &x, VARIANT *) {
                    self->items.push_back(x.at(0).bstrVal);
                    return S_OK;
                };
                c->methods[L"List"] = [](Fake *self, const std::vector<VARIANT> &x, VARIANT *res) {
                    size_t i = (size_t)x.at(0).lVal;
                    if (i < 1 || i > self->items.size()) return DISP_E_BADINDEX;
                    *res = Late_Text(self->items[i - 1]);
                    return S_OK;
                };
                c->methods[L"put_Text"] = [](Fake *self, const std::vector<VARIANT> &x, VARIANT *) {
                    for (size_t i = 0; i < self->items.size(); ++i)
                        if (self->items[i] == x.at(0).bstrVal) {
                            VariantClear(&self->props[L"ListIndex"]);
                            self->props[L"ListIndex"] = Late_Long((long)i + 1);
                        }
                    return S_OK;
                };
            } else {
                c->methods[L"PasteFace"] = [](Fake *, const std::vector<VARIANT> &, VARIANT *) {
                    return IsClipboardFormatAvailable(CF_BITMAP) ? S_OK : E_FAIL;
                };
            }
            made.push_back(c);
            return ReturnObject(r, c);
        };
        // Word: the selection copies its RTF; the page bookmark selects the page.
        app->Set(L"Selection", selection);
        selection->methods[L"Copy"] = [this](Fake *, const std::vector<VARIANT> &, VARIANT *) {
            PutClipboard(Clip_RtfFormat(), selectionRtf);
            return S_OK;
        };
        selection->methods[L"Paste"] = [](Fake *, const std::vector<VARIANT> &, VARIANT *) { return S_OK; };
        app->Set(L"Documents", documents);
        documents->methods[L"Add"] = [this](Fake *, const std::vector<VARIANT> &, VARIANT *r) {
            return ReturnObject(r, document);
        };
        app->Set(L"ActiveDocument", document);
        document->Set(L"Bookmarks", bookmarks);
        bookmarks->methods[L"Item"] = [this](Fake *, const std::vector<VARIANT> &, VARIANT *r) {
            return ReturnObject(r, page);
        };
        page->methods[L"Select"] = [this](Fake *, const std::vector<VARIANT> &, VARIANT *) {
            selection->SetText(L"Text", pageText);
            selectionRtf = pageRtf;
            return S_OK;
        };
        // The presentation program: the window's selection and the slide's shapes.
        app->Set(L"ActiveWindow", window);
        window->Set(L"Selection", selection);
        selection->Set(L"TextRange", range);
        range->methods[L"Copy"] = [this](Fake *, const std::vector<VARIANT> &, VARIANT *) {
            PutClipboard(CF_TEXT, Bridge_Narrow(range->Text(L"Text")));
            return S_OK;
        };
        window->Set(L"View", view);
        view->Set(L"Slide", slide);
        slide->Set(L"Shapes", shapes);
        shapes->methods[L"Item"] = [this](Fake *, const std::vector<VARIANT> &a, VARIANT *r) {
            Fake *shape = new Fake("Shape"), *frame = new Fake("TextFrame"), *text = new Fake("ShapeText");
            text->SetText(L"Text", shapeTexts.at(a.at(0).lVal - 1));
            frame->Set(L"TextRange", text);
            shape->Set(L"TextFrame", frame);
            text->Release();
            frame->Release();
            r->vt = VT_DISPATCH;
            r->pdispVal = shape;
            return S_OK;
        };
        shapes->props[L"Count"] = Late_Long(0);

        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = frameClass;
        RegisterClassA(&wc);
        frame = CreateWindowExA(0, frameClass, "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                wc.hInstance, nullptr);
        g_log.clear();
    }
    ~Host() {
        DestroyWindow(frame);
        for (Fake *c : made) c->Release();
        for (Fake *f : {app, bars, bar, controls, selection, documents, document, bookmarks, page, window, range, view,
                        slide, shapes})
            f->Release();
    }
    void SetShapes(const std::vector<std::wstring> &texts) {
        shapeTexts = texts;
        shapes->props[L"Count"] = Late_Long((long)texts.size());
    }
    // The latest control of the kind with the tag (a reconnection makes new ones).
    Fake *Control(const char *kind, const wchar_t *tag) {
        for (auto c = made.rbegin(); c != made.rend(); ++c)
            if ((*c)->name == kind && (*c)->Text(L"Tag") == tag) return *c;
        return nullptr;
    }
    bool Logged(const std::string &line) const {
        return std::find(g_log.begin(), g_log.end(), line) != g_log.end();
    }
    size_t Position(const std::string &line) const {
        return std::find(g_log.begin(), g_log.end(), line) - g_log.begin();
    }
};

// A modal window of this thread (dialog or message box) that the timer closes: its caption, its
// static text, and a picture when asked.
struct Closer {
    static inline std::string caption, text, picture;
    static inline bool seen = false;
    static BOOL CALLBACK Find(HWND w, LPARAM lp) {
        char cls[64];
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w)) {
            *(HWND *)lp = w;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK Child(HWND w, LPARAM) {
        char cls[64], buf[4096];
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(w, buf, sizeof buf) && *buf) text = buf;
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND w = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), Find, (LPARAM)&w);
        if (!w) return;
        KillTimer(nullptr, id);
        seen = true;
        char buf[256];
        GetWindowTextA(w, buf, sizeof buf);
        caption = buf;
        EnumChildWindows(w, Child, 0);
        if (!picture.empty()) {
            RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Testkit_SaveWindowPicture(w, picture.c_str());
        }
        PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(w, WM_COMMAND, IDOK, 0);
    }
    explicit Closer(const char *pictureFile = "") {
        caption.clear();
        text.clear();
        picture = pictureFile;
        seen = false;
        SetTimer(nullptr, 0, 100, Tick);
    }
};

typedef HRESULT(WINAPI *GetClassProc)(REFCLSID, REFIID, void **);
typedef HRESULT(WINAPI *ServerProc)();

class Bridge : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        catalogue = new addinfix::Catalogue();
        doc = LoadLibraryA("Docbridge.dll");
        slide = LoadLibraryA("Slidebridge.dll");
    }
    static void TearDownTestSuite() {
        delete catalogue;
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_TRUE(doc && slide);
        for (const char *key : {kDocKey, kSlideKey}) {
            Basekit_SettingsWriteDword(key, "ShowTranslator", 1);
            Basekit_SettingsWriteDword(key, "ShowDictionary", 1);
            Basekit_SettingsWriteDword(key, "PopupWindow", 0);
            Basekit_SettingsWriteDword(key, "WholePageTran", 0);
            Basekit_SettingsWriteString(key, "DefaultTranslatorName", "");
            Basekit_SettingsWriteString(key, "DefaultDictionaryName", "\x98\x61\x89\x70\x8e\xab\x93\x54");  // waei jiten
        }
    }
    static Extensibility *Make(HMODULE module, const CLSID &clsid) {
        IClassFactory *factory = nullptr;
        GetClassProc get = (GetClassProc)GetProcAddress(module, "DllGetClassObject");
        EXPECT_EQ(get(clsid, IID_IClassFactory, (void **)&factory), S_OK);
        if (!factory) return nullptr;
        Extensibility *addin = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, kExtensibility, (void **)&addin), S_OK);
        factory->Release();
        return addin;
    }
    static inline addinfix::Catalogue *catalogue;
    static inline HMODULE doc, slide;
};

std::string ReadValue(HKEY root, const std::string &path, const char *name) {
    char buf[MAX_PATH] = {};
    DWORD size = sizeof buf, type = 0;
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k)) return "<none>";
    LONG rc = RegQueryValueExA(k, name, nullptr, &type, (BYTE *)buf, &size);
    RegCloseKey(k);
    if (rc) return name ? "<none>" : "<no value>";
    return type == REG_DWORD ? std::to_string(*(DWORD *)buf) : std::string(buf);
}

TEST_F(Bridge, BothServersRegisterAndRemoveTheirKeys) {
    struct Case { HMODULE module; const char *clsid, *progid, *addinKey; } const cases[] = {
        {doc, "CLSID\\{1048AEBF-4BA8-411A-8D19-B84B41929846}", "Docbridge.Addin",
         "Software\\Microsoft\\Office\\Word\\Addins\\Docbridge.Addin"},
        {slide, "CLSID\\{1048AEC0-4BA9-411A-8D19-B84B41929846}", "Slidebridge.Addin",
         "Software\\Microsoft\\Office\\PowerPoint\\Addins\\Slidebridge.Addin"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.progid);
        for (const char *name : {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"})
            EXPECT_TRUE(GetProcAddress(c.module, name)) << name;
        ASSERT_EQ(((ServerProc)GetProcAddress(c.module, "DllRegisterServer"))(), S_OK);
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, c.clsid, nullptr), "Addin Class");
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, std::string(c.clsid) + "\\InprocServer32", "ThreadingModel"), "Apartment");
        EXPECT_NE(ReadValue(HKEY_CLASSES_ROOT, std::string(c.clsid) + "\\Programmable", nullptr), "<none>");
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, std::string(c.progid) + "\\CurVer", nullptr), std::string(c.progid) + ".1");
        EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, c.addinKey, "LoadBehavior"), "3");
        EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, c.addinKey, "CommandLineSafe"), "0");
        EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, c.addinKey, "FriendlyName"), std::string(c.progid).substr(0, std::string(c.progid).find('.')) + " Addin");
        ASSERT_EQ(((ServerProc)GetProcAddress(c.module, "DllUnregisterServer"))(), S_OK);
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, c.clsid, nullptr), "<none>");
        EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, c.addinKey, "LoadBehavior"), "<none>");
    }
}

// The bar as the settings and the catalogue shape it, the button faces pasted without losing
// what the user had on the clipboard, and disconnection after full and partial connections.
TEST_F(Bridge, ConnectionBuildsTheBarAndDisconnectionUnadvisesWhatWasAdvised) {
    struct Case { bool showTranslator, showDictionary, emptyCatalogue; const char *defaultTranslator; } const cases[] = {
        {true, true, false, "Translator EJ"},
        {false, true, false, "Translator EJ"},
        {true, false, false, "no such translator"},
        {true, true, true, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.showTranslator << c.showDictionary << c.emptyCatalogue);
        Basekit_SettingsWriteDword(kDocKey, "ShowTranslator", c.showTranslator);
        Basekit_SettingsWriteDword(kDocKey, "ShowDictionary", c.showDictionary);
        Basekit_SettingsWriteString(kDocKey, "DefaultTranslatorName", c.defaultTranslator);
        std::string empty = Testkit_Cwd() + "\\empty.ini";
        if (c.emptyCatalogue) {
            Testkit_WriteFile(empty, "");
            Basekit_SettingsSetFile(empty.c_str());
        }
        PutClipboard(CF_TEXT, "the user's own text");
        Host host("OpusApp");
        Extensibility *addin = Make(doc, kDocClass);
        ASSERT_TRUE(addin);
        EXPECT_EQ(addin->OnConnection(host.app, 0, nullptr, nullptr), S_OK);
        EXPECT_EQ(ClipboardText(CF_TEXT), "the user's own text") << "the faces went through the clipboard and back";
        if (c.emptyCatalogue) {
            EXPECT_TRUE(g_log.empty()) << "no bar without translators and dictionaries";
        } else {
            // "ヴェロミラ" (Velomira) as the bar's name, on top, temporary
            EXPECT_TRUE(host.Logged("CommandBars.Add('\xe3\x83\xb4\xe3\x82\xa7\xe3\x83\xad\xe3\x83\x9f\xe3\x83\xa9',1,-,true)"));
            Fake *tranBox = host.Control("Combo", L"VELOMIRA_TRAN_COMBO");
            Fake *tranButton = host.Control("Button", L"VELOMIRA_TRAN_COMBO");
            Fake *dicBox = host.Control("Combo", L"VELOMIRA_DIC_COMBO");
            Fake *options = host.Control("Button", L"VELOMIRA_OPTION_COMBO");
            EXPECT_EQ(tranBox != nullptr, c.showTranslator);
            EXPECT_EQ(tranButton != nullptr, c.showTranslator);
            EXPECT_EQ(dicBox != nullptr, c.showDictionary);
            ASSERT_TRUE(options) << "the options button is always there";
            if (tranBox) {
                EXPECT_EQ(tranBox->items, std::vector<std::wstring>{L"Translator EJ"});
                EXPECT_EQ(tranBox->Text(L"Text"), L"Translator EJ") << "an unknown default gives item 1";
                EXPECT_TRUE(tranButton->sink);
                // "ヴェロミラで翻訳" as caption and tooltip
                const std::string caption = "'\xe3\x83\xb4\xe3\x82\xa7\xe3\x83\xad\xe3\x83\x9f\xe3\x83\xa9\xe3\x81\xa7"
                                            "\xe7\xbf\xbb\xe8\xa8\xb3'";
                EXPECT_TRUE(host.Logged("Button.Caption=" + caption));
                EXPECT_TRUE(host.Logged("Button.TooltipText=" + caption));
            }
            if (dicBox) {
                ASSERT_EQ(dicBox->items.size(), 3u);
                EXPECT_EQ(dicBox->Text(L"Text"), dicBox->items[1]) << "the default dictionary";
                EXPECT_TRUE(host.Logged("Combo.Width=200"));
            }
            EXPECT_TRUE(host.Logged("Controls.Add(4,-,-,-,true)") == (c.showTranslator || c.showDictionary));
            EXPECT_TRUE(host.Logged("Controls.Add(1,-,-,-,true)"));
            EXPECT_TRUE(host.Logged("Button.Style=1"));
            EXPECT_LT(host.Position("Button.Style=1"), host.Position("Button.PasteFace()"));
            EXPECT_TRUE(host.Logged("Bar.Visible=true"));
        }
        EXPECT_EQ(addin->OnDisconnection(0, nullptr), S_OK) << "also after a partial connection";
        int advised = 0, unadvised = 0;
        for (Fake *f : host.made) {
            EXPECT_FALSE(f->sink);
            advised += f->advises;
            unadvised += f->unadvises;
        }
        EXPECT_EQ(advised, unadvised);
        EXPECT_EQ(addin->OnDisconnection(0, nullptr), S_OK) << "a second disconnection does nothing";
        addin->Release();
        if (c.emptyCatalogue) Basekit_SettingsSetFile(catalogue->settings.c_str());
    }
}

// Word: a translation pasted into a new document in the selection's colour; the same with the
// result dialog; look-up hands the selection or (one character) the page to the translation window.
TEST_F(Bridge, WordTranslatesIntoANewDocumentAndHandsOverTheSelection) {
    addinfix::Receiver receiver;
    Host host("OpusApp");
    Extensibility *addin = Make(doc, kDocClass);
    ASSERT_EQ(addin->OnConnection(host.app, 0, nullptr, nullptr), S_OK);
    Fake *tranButton = host.Control("Button", L"VELOMIRA_TRAN_COMBO");
    Fake *dicButton = host.Control("Button", L"VELOMIRA_DIC_COMBO");
    ASSERT_TRUE(tranButton && dicButton);

    host.selection->SetText(L"Text", L"Good morning");
    host.selectionRtf = "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue0;\\red200\\green16\\blue32;}\\cf2 Good morning}";
    g_log.clear();
    tranButton->Click();
    std::string rtf = ClipboardText(Clip_RtfFormat());
    EXPECT_NE(rtf.find("\\red200\\green16\\blue32"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\'82\\'a8\\'82\\'cd"), std::string::npos) << "ohayou in the RTF: " << rtf;
    ASSERT_TRUE(host.Logged("Documents.Add(-,false,0,true)"));
    EXPECT_LT(host.Position("Documents.Add(-,false,0,true)"), host.Position("Selection.Paste()"));

    // Look-up: the selection's RTF to the translation window with the boxes' ids.
    host.selectionRtf = "{\\rtf1 Good morning}";
    dicButton->Click();
    ASSERT_EQ(addinfix::g_seen.size(), 1u);
    EXPECT_EQ(addinfix::g_seen[0].msg, (UINT)ADDIN_VLM_TRANSLATE_RTF_FILE);
    EXPECT_EQ(addinfix::g_seen[0].wParam, kWaei);
    EXPECT_EQ(addinfix::g_seen[0].lParam, (LPARAM)kTranslator);
    EXPECT_EQ(addinfix::g_seen[0].file, host.selectionRtf);

    // One character selected: the whole page.
    host.selection->SetText(L"Text", L"G");
    host.pageText = L"Good morning, page";
    host.pageRtf = "{\\rtf1 Good morning, page}";
    Fake *dicBox = host.Control("Combo", L"VELOMIRA_DIC_COMBO");
    dicBox->props[L"ListIndex"] = Late_Long(1);
    dicButton->Click();
    ASSERT_EQ(addinfix::g_seen.size(), 2u);
    EXPECT_TRUE(host.Logged("Bookmarks.Item('\\Page')"));
    EXPECT_EQ(addinfix::g_seen[1].wParam, kEnglishJapanese);
    EXPECT_EQ(addinfix::g_seen[1].file, host.pageRtf);

    // No selection text and an empty page: nothing handed over.
    host.selection->SetText(L"Text", L"");
    host.pageText = L"";
    host.pageRtf = "";
    dicButton->Click();
    EXPECT_EQ(addinfix::g_seen.size(), 2u);

    // The pop-up window choice: the result dialog owned by the word processor's window.
    Basekit_SettingsWriteDword(kDocKey, "PopupWindow", 1);
    Fake *options = host.Control("Button", L"VELOMIRA_OPTION_COMBO");
    {
        Closer closer("docbridge_options.png");
        options->Click();  // Cancel: the settings stay as read at connection
        EXPECT_TRUE(Closer::seen);
    }
    addin->OnDisconnection(0, nullptr);
    addin->Release();
    addin = Make(doc, kDocClass);
    ASSERT_EQ(addin->OnConnection(host.app, 0, nullptr, nullptr), S_OK);
    host.selection->SetText(L"Text", L"Good morning");
    host.selectionRtf = "{\\rtf1 Good morning}";
    g_log.clear();
    {
        Closer closer("docbridge_result.png");
        host.Control("Button", L"VELOMIRA_TRAN_COMBO")->Click();
        EXPECT_TRUE(Closer::seen);
    }
    EXPECT_FALSE(host.Logged("Documents.Add(-,false,0,true)"));
    EXPECT_EQ(addin->OnDisconnection(0, nullptr), S_OK);
    addin->Release();
}

// PowerPoint: the whole slide is every shape's text with "\n0", at most 2047 characters; the
// hand-over is a text file; a translation goes to the clipboard as plain text and is shown once.
TEST_F(Bridge, SlidesHandOverTheSlideAndTranslateToTheClipboard) {
    addinfix::Receiver receiver;
    Host host("PP9FrameClass");
    Extensibility *addin = Make(slide, kSlideClass);
    ASSERT_EQ(addin->OnConnection(host.app, 0, nullptr, nullptr), S_OK);
    Fake *tranButton = host.Control("Button", L"VELOMIRA_TRAN_COMBO");
    Fake *dicButton = host.Control("Button", L"VELOMIRA_DIC_COMBO");
    ASSERT_TRUE(tranButton && dicButton);

    struct Case { std::vector<std::wstring> shapes; std::wstring selected; std::string handed; } const cases[] = {
        {{L"Title", L"Body text"}, L"", "Title\n0Body text\n0"},
        {{L"Title"}, L"Good night", "Good night"},
        {{std::wstring(1500, L'a'), std::wstring(1500, L'b')}, L"x", std::string(1500, 'a') + "\n0" + std::string(545, 'b')},
    };
    for (const Case &c : cases) {
        host.SetShapes(c.shapes);
        host.range->SetText(L"Text", c.selected);
        addinfix::g_seen.clear();
        dicButton->Click();
        ASSERT_EQ(addinfix::g_seen.size(), 1u);
        EXPECT_EQ(addinfix::g_seen[0].msg, (UINT)ADDIN_VLM_TRANSLATE_TEXT_FILE);
        std::string onDisk;  // the file is written in text mode: CR LF for every LF
        for (char ch : c.handed) onDisk += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        EXPECT_EQ(addinfix::g_seen[0].file, onDisk);
    }

    host.range->SetText(L"Text", L"Good morning");
    {
        Closer closer("slidebridge_message.png");
        tranButton->Click();
        EXPECT_TRUE(Closer::seen);
        EXPECT_EQ(Closer::caption, "tran");
    }
    // ohayou gozaimasu in the system code page
    EXPECT_EQ(ClipboardText(CF_TEXT), "\x82\xa8\x82\xcd\x82\xe6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7");
    EXPECT_EQ(addin->OnDisconnection(0, nullptr), S_OK);
    addin->Release();
}

}  // namespace
