// The browser bar's actions over the page adapter: translate a selection or a whole page, hand
// the page text to the translation window, and the page check after a load.
#include "webbridge_int.h"
#include <shellapi.h>
#include "lexicore.h"
#include "strandkit.h"

WebbridgeHooks Webbridge_DefaultHooks() {
    WebbridgeHooks h;
    h.showResult = [](HWND owner, const std::string &text, BYTE charset) {
        Addin_ResultDialog(owner, kWebbridgeProfile, text.c_str(), (int)text.size(), charset);
    };
    h.launch = [](const std::string &program, const std::string &parameters) {
        ShellExecuteA(nullptr, "open", program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
    };
    return h;
}

namespace {

std::string Narrow(const std::wstring &wide, BYTE charset) {
    if (wide.empty()) return std::string();
    int n = Strandkit_WideToMultiByte(charset, wide.c_str(), (int)wide.size(), nullptr, 0);
    if (n <= 0) return std::string();
    std::string out((size_t)n, '\0');
    Strandkit_WideToMultiByte(charset, wide.c_str(), (int)wide.size(), &out[0], n);
    return out;
}

bool DictionaryCharset(DWORD dicId, BYTE *charset) {
    DicProperty prop = {};
    prop.size = sizeof prop;
    if (!dicId || !Lexicore_GetDicProperty(dicId, &prop)) return false;
    *charset = prop.charset;
    return true;
}

}  // namespace

std::string Webbridge_LaunchParameter(const std::string &address) {
    std::string param = address;
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, param.c_str(), param.size() < 7 ? (int)param.size() : 7,
                       "file://", 7) == CSTR_EQUAL) {
        std::string spaced;
        for (size_t i = 0; i < param.size();) {
            if (param.compare(i, 3, "%20") == 0) {
                spaced += ' ';
                i += 3;
            } else {
                spaced += param[i++];
            }
        }
        param = spaced;
    }
    // an address with spaces reaches the program as one argument
    if (param.find(' ') != std::string::npos) param = "\"" + param + "\"";
    return param;
}

void Webbridge_TranslateAction(WebPage &page, DWORD tranId, DWORD dicId, WebbridgeState &st,
                               const WebbridgeHooks &hooks) {
    st.translateMode = true;
    bool found = false;
    page.WalkFrames([&](WebDocument &doc) {
        std::wstring selection;
        if (!doc.Selection(&selection) || selection.empty()) return true;
        found = true;
        HWND owner = page.Window();
        if (!owner) return false;
        AddinTranslator translator;
        if (!translator.Open(tranId)) return false;
        std::wstring result;
        BYTE charset = 0;
        if (Addin_TranslateWide(translator, selection, &result, &charset)) {
            st.lastCharset = charset;
            st.haveResult = true;
            std::string bytes = Narrow(result, charset);
            translator.Close();
            if (hooks.showResult) hooks.showResult(owner, bytes, charset);
        }
        return false;
    });
    if (found) return;
    std::string address = page.Address();
    if (address.empty() || !Addin_WriteNote(tranId, dicId, address.c_str())) return;
    if (hooks.launch) hooks.launch(page.ProgramPath(), Webbridge_LaunchParameter(address));
}

void Webbridge_LookupAction(WebPage &page, DWORD tranId, DWORD dicId, WebbridgeState &st) {
    st.translateMode = false;
    BYTE charset = 0;
    if (!DictionaryCharset(dicId, &charset)) return;
    bool found = false;
    auto handOver = [&](WebDocument &doc) {
        std::wstring body;
        if (!doc.BodyText(&body) || body.empty()) return;
        Addin_HandOver(ADDIN_VLM_TRANSLATE_TEXT_FILE, ADDIN_TEXT_FILE, Narrow(body, charset), dicId, tranId);
    };
    page.WalkFrames([&](WebDocument &doc) {
        std::wstring selection;
        if (!doc.Selection(&selection) || selection.empty()) return true;
        found = true;
        handOver(doc);
        return false;
    });
    if (found) return;
    page.WalkFrames([&](WebDocument &doc) {
        handOver(doc);
        return false;  // the top document only
    });
}

int Webbridge_TranslateDocument(WebDocument &doc, AddinTranslator &translator, WebbridgeState &st) {
    int replaced = 0;
    bool anyResult = false;
    BYTE last = st.lastCharset;
    doc.ChangeRuns([&](const std::wstring &text, std::wstring *replacement) {
        BYTE charset = 0;
        if (!Addin_TranslateWide(translator, text, replacement, &charset)) return false;
        anyResult = true;
        last = charset;
        if (*replacement == text) return false;
        replaced++;
        return true;
    });
    // the page's charset follows the translation; a page nothing was translated in keeps its own
    if (anyResult) {
        st.lastCharset = last;
        st.haveResult = true;
        doc.SetCharsetName(Addin_CharsetName(last));
    }
    return replaced;
}

bool Webbridge_PageCheck(WebPage &page, WebbridgeState &st, const WebbridgeHooks &hooks) {
    DWORD tranId = 0, dicId = 0;
    std::string address = page.Address();
    if (!Addin_TakeNote(address.c_str(), &tranId, &dicId)) return false;
    if (hooks.selectIds) hooks.selectIds(tranId, dicId);
    page.WalkFrames([&](WebDocument &doc) {
        AddinTranslator translator;
        if (translator.Open(tranId)) Webbridge_TranslateDocument(doc, translator, st);
        return true;
    });
    return true;
}
