// What the browser bar's files share: the page adapter that the bar's actions work through (the
// product's implementation goes over the browser's document interfaces), the actions themselves,
// the band object's identity and the bar window.
#ifndef WEBBRIDGE_INT_H
#define WEBBRIDGE_INT_H

#include <windows.h>
#include "addin_common.h"
#ifndef RC_INVOKED
#include <exdisp.h>
#include <functional>
#include <string>
#endif

// Resource ids of the bar.
#define WEBBRIDGE_IDS_TITLE 101
#define WEBBRIDGE_IDC_TRANSLATE 105
#define WEBBRIDGE_IDC_LOOKUP 106
#define WEBBRIDGE_IDC_OPTIONS 107
#define WEBBRIDGE_IDC_TRANSLATORS 108
#define WEBBRIDGE_IDC_DICTIONARIES 109
#define WEBBRIDGE_IDC_DICTIONARY_SLOT 111
#define WEBBRIDGE_IDC_TRANSLATOR_SLOT 112
#define WEBBRIDGE_IDB_BUTTONS 206
#define WEBBRIDGE_IDR_REGISTRY 102
#define WEBBRIDGE_BAR_HEIGHT 23
#define WEBBRIDGE_BOX_WIDTH 200

#ifndef RC_INVOKED
// Text runs are read at most this many characters at a time.
#define WEBBRIDGE_RUN_MAX 19999

// One frame's document.
class WebDocument {
public:
    virtual ~WebDocument() {}
    // The selection's text; false (or an empty text) when there is none.
    virtual bool Selection(std::wstring *text) = 0;
    // The document's charset name ("shift_jis", ...); empty when unknown.
    virtual std::string CharsetName() = 0;
    virtual void SetCharsetName(const char *name) = 0;
    // The whole text of the body.
    virtual bool BodyText(std::wstring *text) = 0;
    // Walks the document's text runs (each at most WEBBRIDGE_RUN_MAX characters) and the captions
    // of its input buttons in document order; change(text, &replacement) answers true when the
    // run is to be replaced by replacement.
    virtual void ChangeRuns(const std::function<bool(const std::wstring &, std::wstring *)> &change) = 0;
};

// The browser window the bar sits in.
class WebPage {
public:
    virtual ~WebPage() {}
    virtual HWND Window() = 0;             // null when the browser gives none
    virtual std::string Address() = 0;     // the top document's address
    virtual std::string ProgramPath() = 0; // the browser's own program
    // The browser's document, then every embedded browser's, depth first, until visit answers
    // false.
    virtual void WalkFrames(const std::function<bool(WebDocument &)> &visit) = 0;
};

// Makes the page adapter of a browser (null when it has no document).  The product's maker goes
// over the browser's document interfaces; tests put their own in its place.
typedef WebPage *(*WebPageMaker)(IWebBrowser2 *browser);
extern WebPageMaker g_webPageMaker;
WebPage *Webbridge_MakeDocumentPage(IWebBrowser2 *browser);

// What the actions hand back to the bar and the world: the result dialog, the browser start for
// a page translation, and the boxes' selection.
struct WebbridgeHooks {
    std::function<void(HWND owner, const std::string &text, BYTE charset)> showResult;
    std::function<void(const std::string &program, const std::string &parameters)> launch;
    std::function<void(DWORD tranId, DWORD dicId)> selectIds;
};
WebbridgeHooks Webbridge_DefaultHooks();

// The bar's state between actions.
struct WebbridgeState {
    BYTE lastCharset = 0;       // of the last translation result
    bool haveResult = false;
    bool documentCompleted = false;
    bool translateMode = false; // the last button: translate (true) or look-up
};

// Translate (button 105): the first frame's selection into the result dialog; with no selection
// anywhere the page note is written and the page reopened for translation in place.
void Webbridge_TranslateAction(WebPage &page, DWORD tranId, DWORD dicId, WebbridgeState &st,
                               const WebbridgeHooks &hooks);
// Dictionary look-up (button 106): the text of the page handed to the translation window.
void Webbridge_LookupAction(WebPage &page, DWORD tranId, DWORD dicId, WebbridgeState &st);
// Page check after a load: a note for this page's address selects its ids and translates every
// frame in place.  True when the page was translated.
bool Webbridge_PageCheck(WebPage &page, WebbridgeState &st, const WebbridgeHooks &hooks);
// Translates the document's runs in place with the open translator; the count of runs replaced.
int Webbridge_TranslateDocument(WebDocument &doc, AddinTranslator &translator, WebbridgeState &st);
// The parameter for the browser's program: the address, "%20" as spaces for file addresses,
// quoted when it holds a space.
std::string Webbridge_LaunchParameter(const std::string &address);

// The component class, its interface and type library.
extern const CLSID CLSID_KBBarBand;
extern const IID IID_IKBBarBand;
extern const GUID LIBID_WEBBRIDGELib;
HRESULT Webbridge_MakeBand(REFIID iid, void **out);
#endif  // RC_INVOKED

#endif
