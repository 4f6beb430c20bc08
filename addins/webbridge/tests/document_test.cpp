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
#include "fake_documents.h"

namespace {

using namespace fakedocs;

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
