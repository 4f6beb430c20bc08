// The page adapter over the browser's own interfaces, driven against stand-in documents: a
// browser with a document holding a frame, selections, body text, charset names, and the in-place
// walk over text runs and input buttons through markup pointers.  The stand-ins follow the
// documented behaviour of the interfaces (a pointer between tokens of a flat markup; right
// gravity keeps a pointer after text inserted at it); every other call answers E_NOTIMPL through
// stubs generated from the compiler's headers.  The real browser's documents are not available.
#include <windows.h>
#include <gtest/gtest.h>
#include <exdisp.h>
#include <mshtml.h>
#include <algorithm>
#include <string>
#include <vector>
#include "webbridge_int.h"
#include "webbridge_doc_stubs.h"

namespace {

const IID kMarkupServices = {0x3050f4a0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const IID kMarkupContainer = {0x3050f5f9, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

BSTR Bstr(const std::wstring &s) { return SysAllocStringLen(s.data(), (UINT)s.size()); }

// Objects owned by the test: their counts do not decide their lifetime.
#define FIXED_REFS                                                  \
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }            \
    STDMETHODIMP_(ULONG) Release() override { return 1; }
#define NO_TYPEINFO                                                                                      \
    STDMETHODIMP GetTypeInfoCount(UINT *n) override { *n = 0; return S_OK; }                             \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }                   \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; } \
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override { return E_NOTIMPL; }

// A text range over a string of the test (a selection or a button's caption).
class FakeRange : public StubIHTMLTxtRange {
public:
    std::wstring *text;
    explicit FakeRange(std::wstring *t) : text(t) {}
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLTxtRange))
                   ? static_cast<IHTMLTxtRange *>(this)
                   : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    FIXED_REFS NO_TYPEINFO
    STDMETHODIMP get_text(BSTR *p) override {
        *p = Bstr(*text);
        return S_OK;
    }
    STDMETHODIMP put_text(BSTR v) override {
        *text = std::wstring(v, SysStringLen(v));
        return S_OK;
    }
};

class FakeSelection : public StubIHTMLSelectionObject {
public:
    FakeRange range;
    explicit FakeSelection(std::wstring *t) : range(t) {}
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = static_cast<IHTMLSelectionObject *>(this);
        return S_OK;
    }
    FIXED_REFS NO_TYPEINFO
    STDMETHODIMP createRange(IDispatch **out) override {
        *out = static_cast<IHTMLTxtRange *>(&range);
        return S_OK;
    }
};

// An element: the body (inner text), or an input button with its caption.
class FakeElement : public StubIHTMLElement, public StubIHTMLInputButtonElement {
public:
    std::wstring text;
    bool button = false;
    FakeRange range{&text};
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHTMLElement) || IsEqualIID(iid, IID_IDispatch))
            *out = static_cast<IHTMLElement *>(this);
        else if (button && IsEqualIID(iid, IID_IHTMLInputButtonElement))
            *out = static_cast<IHTMLInputButtonElement *>(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    FIXED_REFS NO_TYPEINFO
    STDMETHODIMP get_innerText(BSTR *p) override {
        *p = Bstr(text);
        return S_OK;
    }
    STDMETHODIMP createTextRange(IHTMLTxtRange **out) override {
        *out = &range;
        return S_OK;
    }
};

// A flat markup: text runs and element boundaries; pointers stand between tokens.
struct Token {
    MARKUP_CONTEXT_TYPE kind;
    std::wstring text;
    FakeElement *element;
};

class FakePointer;
struct Markup {
    std::vector<Token> tokens;
    std::vector<FakePointer *> pointers;
};

class FakePointer : public StubIMarkupPointer {
public:
    Markup *markup;
    size_t pos = 0;
    bool right = false;
    LONG refs = 1;
    explicit FakePointer(Markup *m) : markup(m) { m->pointers.push_back(this); }
    virtual ~FakePointer() {}
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = static_cast<IMarkupPointer *>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override {
        if (--refs) return refs;
        markup->pointers.erase(std::find(markup->pointers.begin(), markup->pointers.end(), this));
        delete this;
        return 0;
    }
    STDMETHODIMP SetGravity(POINTER_GRAVITY g) override {
        right = g == POINTER_GRAVITY_Right;
        return S_OK;
    }
    STDMETHODIMP MoveToPointer(IMarkupPointer *p) override {
        pos = static_cast<FakePointer *>(p)->pos;
        return S_OK;
    }
    STDMETHODIMP MoveToContainer(IMarkupContainer *, WINBOOL atStart) override {
        pos = atStart ? 0 : markup->tokens.size();
        return S_OK;
    }
    STDMETHODIMP IsLeftOf(IMarkupPointer *that, WINBOOL *result) override {
        *result = pos < static_cast<FakePointer *>(that)->pos;
        return S_OK;
    }
    STDMETHODIMP Right(WINBOOL move, MARKUP_CONTEXT_TYPE *context, IHTMLElement **element, LONG *count,
                       OLECHAR *text) override {
        if (element) *element = nullptr;
        if (pos >= markup->tokens.size()) {
            *context = CONTEXT_TYPE_None;
            return S_OK;
        }
        Token &t = markup->tokens[pos];
        *context = t.kind;
        if (t.kind == CONTEXT_TYPE_Text) {
            if (count && (size_t)*count < t.text.size()) {
                // a long run is read in pieces: split the token where the reading stops
                Token rest = {CONTEXT_TYPE_Text, t.text.substr(*count), nullptr};
                t.text.resize(*count);
                markup->tokens.insert(markup->tokens.begin() + pos + 1, rest);
                for (FakePointer *p : markup->pointers)
                    if (p->pos > pos) p->pos++;
            }
            const Token &now = markup->tokens[pos];
            if (count) *count = (LONG)now.text.size();
            if (text) std::copy(now.text.begin(), now.text.end(), text);
        } else if (element && t.element) {
            *element = static_cast<IHTMLElement *>(t.element);
        }
        if (move) pos++;
        return S_OK;
    }
};

class FakeDocument;

class FakeBrowser : public StubIWebBrowser2 {
public:
    FakeDocument *document = nullptr;
    HWND window = (HWND)(UINT_PTR)0x4242;
    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWebBrowser2) || IsEqualIID(iid, IID_IDispatch))
                   ? static_cast<IWebBrowser2 *>(this)
                   : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    FIXED_REFS NO_TYPEINFO
    STDMETHODIMP get_Document(IDispatch **out) override;
    STDMETHODIMP get_HWND(SHANDLE_PTR *out) override {
        *out = (SHANDLE_PTR)window;
        return S_OK;
    }
    STDMETHODIMP get_FullName(BSTR *out) override {
        *out = Bstr(L"C:\\Browser\\browser.exe");
        return S_OK;
    }
};

// The embedded objects of a document: the frames' browsers and one object that is none.
class FakeEnum : public IEnumUnknown {
public:
    std::vector<IUnknown *> items;
    size_t at = 0;
    STDMETHODIMP QueryInterface(REFIID, void **out) override {
        *out = this;
        return S_OK;
    }
    FIXED_REFS
    STDMETHODIMP Next(ULONG n, IUnknown **out, ULONG *got) override {
        if (n != 1 || at >= items.size()) {
            if (got) *got = 0;
            return S_FALSE;
        }
        out[0] = items[at++];
        if (got) *got = 1;
        return S_OK;
    }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override {
        at = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumUnknown **) override { return E_NOTIMPL; }
};

class FakeDocument : public StubIHTMLDocument2,
                     public StubIMarkupServices,
                     public StubIMarkupContainer,
                     public IOleContainer {
public:
    std::wstring selection, url = L"http://example.org/";
    std::wstring charset = L"iso-8859-1";
    FakeSelection selectionObject{&selection};
    FakeElement body;
    Markup markup;
    FakeEnum embedded;
    FakeBrowser *frame = nullptr;

    STDMETHODIMP QueryInterface(REFIID iid, void **out) override {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLDocument2))
            *out = static_cast<IHTMLDocument2 *>(this);
        else if (IsEqualIID(iid, kMarkupServices))
            *out = static_cast<IMarkupServices *>(this);
        else if (IsEqualIID(iid, kMarkupContainer))
            *out = static_cast<IMarkupContainer *>(this);
        else if (IsEqualIID(iid, IID_IOleContainer))
            *out = static_cast<IOleContainer *>(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    FIXED_REFS NO_TYPEINFO
    STDMETHODIMP get_selection(IHTMLSelectionObject **out) override {
        *out = &selectionObject;
        return S_OK;
    }
    STDMETHODIMP get_charset(BSTR *out) override {
        *out = Bstr(charset);
        return S_OK;
    }
    STDMETHODIMP put_charset(BSTR v) override {
        charset = std::wstring(v, SysStringLen(v));
        return S_OK;
    }
    STDMETHODIMP get_body(IHTMLElement **out) override {
        *out = static_cast<IHTMLElement *>(&body);
        return S_OK;
    }
    STDMETHODIMP get_URL(BSTR *out) override {
        *out = Bstr(url);
        return S_OK;
    }
    // markup services
    STDMETHODIMP CreateMarkupPointer(IMarkupPointer **out) override {
        *out = new FakePointer(&markup);
        return S_OK;
    }
    STDMETHODIMP Remove(IMarkupPointer *a, IMarkupPointer *b) override {
        size_t from = static_cast<FakePointer *>(a)->pos, to = static_cast<FakePointer *>(b)->pos;
        if (from > to) std::swap(from, to);
        markup.tokens.erase(markup.tokens.begin() + from, markup.tokens.begin() + to);
        for (FakePointer *p : markup.pointers)
            p->pos = p->pos > to ? p->pos - (to - from) : (p->pos > from ? from : p->pos);
        return S_OK;
    }
    STDMETHODIMP InsertText(OLECHAR *text, LONG n, IMarkupPointer *at) override {
        size_t where = static_cast<FakePointer *>(at)->pos;
        markup.tokens.insert(markup.tokens.begin() + where, Token{CONTEXT_TYPE_Text, std::wstring(text, n), nullptr});
        for (FakePointer *p : markup.pointers)
            if (p->pos > where || (p->pos == where && p->right)) p->pos++;
        return S_OK;
    }
    // the embedded objects
    STDMETHODIMP ParseDisplayName(IBindCtx *, LPOLESTR, ULONG *, IMoniker **) override { return E_NOTIMPL; }
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown **out) override {
        EXPECT_EQ(flags & OLECONTF_EMBEDDINGS, (DWORD)OLECONTF_EMBEDDINGS);
        embedded.at = 0;
        *out = &embedded;
        return S_OK;
    }
    STDMETHODIMP LockContainer(WINBOOL) override { return S_OK; }

    void Text(const std::wstring &t) { markup.tokens.push_back({CONTEXT_TYPE_Text, t, nullptr}); }
    void Scope(MARKUP_CONTEXT_TYPE kind, FakeElement *e = nullptr) { markup.tokens.push_back({kind, L"", e}); }
    std::wstring Texts() {
        std::wstring all;
        for (const Token &t : markup.tokens)
            if (t.kind == CONTEXT_TYPE_Text)
                all += (t.text[0] == L'x' ? L"x:" + std::to_wstring(t.text.size()) : t.text) + L"|";
        return all;
    }
};

STDMETHODIMP FakeBrowser::get_Document(IDispatch **out) {
    if (!document) return E_FAIL;
    *out = static_cast<IHTMLDocument2 *>(document);
    return S_OK;
}

// A browser whose page holds a frame (and one embedded object that is no browser).
struct Pages {
    FakeBrowser top, framed;
    FakeDocument topDoc, frameDoc;
    FakeElement other;
    Pages() {
        top.document = &topDoc;
        framed.document = &frameDoc;
        topDoc.embedded.items = {static_cast<IHTMLElement *>(&other), static_cast<IWebBrowser2 *>(&framed)};
        topDoc.url = L"file:///C:/My%20Pages/index.html";
    }
};

TEST(Document, PageFramesSelectionsAndBodies) {
    Pages p;
    p.topDoc.body.text = L"top body";
    p.frameDoc.selection = L"selected words";
    p.frameDoc.body.text = L"\x8f9e\x66f8 frame body";  // jisho
    p.frameDoc.charset = L"shift_jis";
    WebPage *page = Webbridge_MakeDocumentPage(&p.top);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Window(), p.top.window);
    EXPECT_EQ(page->Address(), "file:///C:/My%20Pages/index.html");
    EXPECT_EQ(page->ProgramPath(), "C:\\Browser\\browser.exe");
    std::vector<std::wstring> seen;
    page->WalkFrames([&](WebDocument &d) {
        std::wstring sel, body;
        d.Selection(&sel);
        d.BodyText(&body);
        std::string charset = d.CharsetName();
        seen.push_back(sel + L"/" + body + L"/" + std::wstring(charset.begin(), charset.end()));
        return true;
    });
    ASSERT_EQ(seen.size(), 2u) << "the top document, then the frame's";
    EXPECT_EQ(seen[0], L"/top body/iso-8859-1");
    EXPECT_EQ(seen[1], L"selected words/\x8f9e\x66f8 frame body/shift_jis");
    int visits = 0;
    page->WalkFrames([&](WebDocument &) { return ++visits < 1; });
    EXPECT_EQ(visits, 1) << "a visit that asks to stop ends the walk";
    delete page;
    p.top.document = nullptr;
    page = Webbridge_MakeDocumentPage(&p.top);
    EXPECT_EQ(page->Address(), "") << "a browser without a document";
    page->WalkFrames([&](WebDocument &) { return ++visits > 0; });
    EXPECT_EQ(visits, 1);
    delete page;
}

TEST(Document, RunsAndButtonCaptionsChangedInPlace) {
    Pages p;
    FakeDocument &d = p.topDoc;
    FakeElement button, para;
    button.button = true;
    button.text = L"Send";
    d.Scope(CONTEXT_TYPE_EnterScope, &para);
    d.Text(L"one");
    d.Text(L"keep");
    d.Scope(CONTEXT_TYPE_ExitScope, &para);
    d.Scope(CONTEXT_TYPE_NoScope, &button);
    d.Text(std::wstring(WEBBRIDGE_RUN_MAX + 5, L'x'));  // read in two pieces
    d.Text(L"two");
    WebPage *page = Webbridge_MakeDocumentPage(&p.top);
    std::vector<std::wstring> offered;
    page->WalkFrames([&](WebDocument &doc) {
        doc.ChangeRuns([&](const std::wstring &text, std::wstring *replacement) {
            offered.push_back(text[0] == L'x' ? L"x:" + std::to_wstring(text.size()) : text);
            if (text == L"keep" || text[0] == L'x') return false;
            *replacement = L"<" + text + L">";
            return true;
        });
        doc.SetCharsetName("shift_jis");
        return false;
    });
    delete page;
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"one", L"keep", L"Send", L"x:19999", L"x:5", L"two"}));
    EXPECT_EQ(d.Texts(), L"<one>|keep|x:19999|x:5|<two>|");
    EXPECT_EQ(button.text, L"<Send>") << "the caption through its own text range";
    EXPECT_EQ(d.charset, L"shift_jis");
    EXPECT_TRUE(d.markup.pointers.empty()) << "every markup pointer released";
}

}  // namespace
