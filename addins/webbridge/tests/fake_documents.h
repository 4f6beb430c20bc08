// Stand-in documents of the browser for the bar's tests: text ranges, selections, elements (the
// body, input buttons), a flat markup with pointers between its tokens, and documents with markup
// services and embedded objects.  They follow the documented behaviour of the interfaces (right
// gravity keeps a pointer after text inserted at it; a long run is read in pieces); every other
// call answers E_NOTIMPL through stubs generated from the compiler's headers.
#ifndef WEBBRIDGE_FAKE_DOCUMENTS_H
#define WEBBRIDGE_FAKE_DOCUMENTS_H

#include <windows.h>
#include <gtest/gtest.h>
#include <exdisp.h>
#include <mshtml.h>
#include <algorithm>
#include <string>
#include <vector>
#include "webbridge_doc_stubs.h"

namespace fakedocs {

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

}  // namespace fakedocs

#endif
