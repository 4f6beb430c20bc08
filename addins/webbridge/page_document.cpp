// The page adapter over the browser's own interfaces: the web browser object, its documents,
// selections, bodies, markup services for the in-place walk, and embedded frames.
#include "webbridge_int.h"
#include <mshtml.h>
#include <oleauto.h>

namespace {

// Interface ids the system's import libraries do not carry.
const IID kMarkupServices = {0x3050f4a0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const IID kMarkupContainer = {0x3050f5f9, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

// Releases an interface pointer at the end of a scope.
template <class T>
struct Ref {
    T *p = nullptr;
    ~Ref() {
        if (p) p->Release();
    }
    T *operator->() const { return p; }
    T **operator&() { return &p; }
    explicit operator bool() const { return p != nullptr; }
};

std::wstring FromBstr(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

std::string Ansi(const std::wstring &w) {
    if (w.empty()) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), (int)w.size(), nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, w.c_str(), (int)w.size(), &s[0], n, nullptr, nullptr);
    return s;
}

class Document : public WebDocument {
public:
    explicit Document(IHTMLDocument2 *doc) : doc_(doc) { doc_->AddRef(); }
    ~Document() override { doc_->Release(); }

    bool Selection(std::wstring *text) override {
        Ref<IHTMLSelectionObject> selection;
        Ref<IDispatch> range;
        Ref<IHTMLTxtRange> textRange;
        if (FAILED(doc_->get_selection(&selection)) || !selection) return false;
        if (FAILED(selection->createRange(&range)) || !range) return false;
        if (FAILED(range->QueryInterface(IID_IHTMLTxtRange, (void **)&textRange)) || !textRange) return false;
        BSTR b = nullptr;
        if (FAILED(textRange->get_text(&b))) return false;
        *text = FromBstr(b);
        SysFreeString(b);
        return !text->empty();
    }
    std::string CharsetName() override {
        BSTR b = nullptr;
        if (FAILED(doc_->get_charset(&b))) return std::string();
        std::string name = Ansi(FromBstr(b));
        SysFreeString(b);
        return name;
    }
    void SetCharsetName(const char *name) override {
        int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
        std::wstring w(n > 0 ? n : 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, name, -1, &w[0], n);
        BSTR b = SysAllocString(w.c_str());
        doc_->put_charset(b);
        SysFreeString(b);
    }
    bool BodyText(std::wstring *text) override {
        Ref<IHTMLElement> body;
        if (FAILED(doc_->get_body(&body)) || !body) return false;
        BSTR b = nullptr;
        if (FAILED(body->get_innerText(&b))) return false;
        *text = FromBstr(b);
        SysFreeString(b);
        return true;
    }
    void ChangeRuns(const std::function<bool(const std::wstring &, std::wstring *)> &change) override;

private:
    IHTMLDocument2 *doc_;
};

void ChangeButtonCaption(IHTMLElement *element,
                         const std::function<bool(const std::wstring &, std::wstring *)> &change) {
    Ref<IHTMLInputButtonElement> button;
    Ref<IHTMLTxtRange> range;
    if (FAILED(element->QueryInterface(IID_IHTMLInputButtonElement, (void **)&button)) || !button) return;
    if (FAILED(button->createTextRange(&range)) || !range) return;
    BSTR b = nullptr;
    if (FAILED(range->get_text(&b))) return;
    std::wstring caption = FromBstr(b), replacement;
    SysFreeString(b);
    if (!change(caption, &replacement)) return;
    BSTR r = SysAllocStringLen(replacement.data(), (UINT)replacement.size());
    range->put_text(r);
    SysFreeString(r);
}

void Document::ChangeRuns(const std::function<bool(const std::wstring &, std::wstring *)> &change) {
    Ref<IMarkupContainer> container;
    Ref<IMarkupServices> services;
    if (FAILED(doc_->QueryInterface(kMarkupContainer, (void **)&container)) || !container) return;
    if (FAILED(doc_->QueryInterface(kMarkupServices, (void **)&services)) || !services) return;
    Ref<IMarkupPointer> start, end, spare, last;
    if (FAILED(services->CreateMarkupPointer(&start)) || FAILED(services->CreateMarkupPointer(&end)) ||
        FAILED(services->CreateMarkupPointer(&spare)) || FAILED(services->CreateMarkupPointer(&last)))
        return;
    end->SetGravity(POINTER_GRAVITY_Right);
    if (FAILED(start->MoveToContainer(container.p, TRUE)) || FAILED(end->MoveToContainer(container.p, TRUE)) ||
        FAILED(last->MoveToContainer(container.p, TRUE)))
        return;
    for (;;) {
        MARKUP_CONTEXT_TYPE context = CONTEXT_TYPE_None;
        if (FAILED(last->Right(TRUE, &context, nullptr, nullptr, nullptr)) || context == CONTEXT_TYPE_None) break;
    }
    std::wstring buffer(WEBBRIDGE_RUN_MAX + 1, L'\0');
    for (;;) {
        BOOL left = FALSE;
        if (FAILED(end->IsLeftOf(last.p, &left)) || !left) break;
        start->MoveToPointer(end.p);
        MARKUP_CONTEXT_TYPE context = CONTEXT_TYPE_None;
        Ref<IHTMLElement> element;
        LONG count = WEBBRIDGE_RUN_MAX;
        if (FAILED(end->Right(TRUE, &context, &element, &count, &buffer[0]))) break;
        if (context == CONTEXT_TYPE_None) break;
        if (context == CONTEXT_TYPE_Text && count > 0) {
            std::wstring text(buffer.data(), (size_t)count), replacement;
            if (change(text, &replacement)) {
                services->Remove(start.p, end.p);
                services->InsertText((OLECHAR *)replacement.c_str(), (LONG)replacement.size(), end.p);
            }
        } else if ((context == CONTEXT_TYPE_EnterScope || context == CONTEXT_TYPE_NoScope) && element) {
            ChangeButtonCaption(element.p, change);
        }
    }
}

class Page : public WebPage {
public:
    explicit Page(IWebBrowser2 *browser) : browser_(browser) { browser_->AddRef(); }
    ~Page() override { browser_->Release(); }
    HWND Window() override {
        SHANDLE_PTR h = 0;
        return SUCCEEDED(browser_->get_HWND(&h)) ? (HWND)h : nullptr;
    }
    std::string Address() override {
        Ref<IDispatch> disp;
        Ref<IHTMLDocument2> doc;
        if (FAILED(browser_->get_Document(&disp)) || !disp) return std::string();
        if (FAILED(disp->QueryInterface(IID_IHTMLDocument2, (void **)&doc)) || !doc) return std::string();
        BSTR b = nullptr;
        if (FAILED(doc->get_URL(&b))) return std::string();
        std::string s = Ansi(FromBstr(b));
        SysFreeString(b);
        return s;
    }
    std::string ProgramPath() override {
        BSTR b = nullptr;
        if (FAILED(browser_->get_FullName(&b))) return std::string();
        std::string s = Ansi(FromBstr(b));
        SysFreeString(b);
        return s;
    }
    void WalkFrames(const std::function<bool(WebDocument &)> &visit) override { Walk(browser_, visit); }

private:
    // false when a visit asked to stop
    static bool Walk(IWebBrowser2 *browser, const std::function<bool(WebDocument &)> &visit) {
        Ref<IDispatch> disp;
        Ref<IHTMLDocument2> doc;
        if (FAILED(browser->get_Document(&disp)) || !disp) return true;
        if (FAILED(disp->QueryInterface(IID_IHTMLDocument2, (void **)&doc)) || !doc) return true;
        {
            Document d(doc.p);
            if (!visit(d)) return false;
        }
        Ref<IOleContainer> container;
        Ref<IEnumUnknown> objects;
        if (FAILED(doc->QueryInterface(IID_IOleContainer, (void **)&container)) || !container) return true;
        if (FAILED(container->EnumObjects(OLECONTF_EMBEDDINGS, &objects)) || !objects) return true;
        for (;;) {
            Ref<IUnknown> object;
            ULONG got = 0;
            if (objects->Next(1, &object, &got) != S_OK || got != 1) break;
            Ref<IWebBrowser2> frame;
            if (SUCCEEDED(object->QueryInterface(IID_IWebBrowser2, (void **)&frame)) && frame &&
                !Walk(frame.p, visit))
                return false;
        }
        return true;
    }
    IWebBrowser2 *browser_;
};

}  // namespace

WebPage *Webbridge_MakeDocumentPage(IWebBrowser2 *browser) {
    return browser ? new (std::nothrow) Page(browser) : nullptr;
}
