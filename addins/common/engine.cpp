// The engine client of the add-ins: one start per process for all add-in objects, the translator
// and dictionary lists, and the open translator.
#include "addin_common.h"
#include "lexicore.h"
#include "sharedkit.h"
#include "strandkit.h"

namespace {

LONG g_engineUsers;

struct Collect {
    std::vector<AddinEntry> *out;
};

int CALLBACK CollectEntry(DicProperty *record, LPARAM user) {
    DicInfo info = {};
    info.size = sizeof info;
    if (Lexicore_GetDicInfo(record->fileId, &info) && (info.status & DICSTATUS_BAD)) return 1;
    ((Collect *)user)->out->push_back({record->name, record->dicId});
    return 1;
}

}  // namespace

bool Addin_EngineStart(HINSTANCE module, const char *client) {
    if (g_engineUsers > 0) {
        g_engineUsers++;
        return true;
    }
    Sharedkit_InitAddin();
    if (!Lexicore_InitEx(module, client, LEXICORE_INIT_DRIVERS)) return false;
    g_engineUsers = 1;
    return true;
}

void Addin_EngineStop() {
    if (g_engineUsers <= 0) return;
    if (--g_engineUsers == 0) Lexicore_Term();
}

LONG Addin_EngineUsers() { return g_engineUsers; }

std::vector<AddinEntry> Addin_ListEntries(DWORD kind) {
    std::vector<AddinEntry> entries;
    Collect c = {&entries};
    Lexicore_EnumDicsByKind(kind, CollectEntry, (LPARAM)&c);
    return entries;
}

DWORD Addin_FindEntry(DWORD kind, const char *name) {
    if (!name) return 0;
    for (const AddinEntry &e : Addin_ListEntries(kind))
        if (e.name == name) return e.id;
    return 0;
}

bool AddinTranslator::Open(DWORD dicId) {
    Close();
    session_ = Lexicore_CreateSession();
    if (!session_) return false;
    if (!Lexicore_OpenSession(session_, dicId, FALSE)) {
        Lexicore_DestroySession(session_);
        session_ = nullptr;
        return false;
    }
    DicProperty prop = {};
    prop.size = sizeof prop;
    charset_ = Lexicore_GetDicProperty(dicId, &prop) ? prop.charset : 0;
    list_ = VLWordList_Create(1);
    query_ = Lexicore_CreateQuery();
    if (!list_ || !query_) {
        Close();
        return false;
    }
    Lexicore_SetQuerySession(query_, session_);
    Lexicore_SetQueryResultList(query_, list_);
    return true;
}

const VLDataItem *AddinTranslator::Translate(const char *text) {
    if (!query_ || !text) return nullptr;
    VLWordList_DeleteAllItems(list_);
    Lexicore_SetQueryText(query_, text, 0, 0);
    Lexicore_RunQuery(query_, 0, 0);
    if (VLWordList_Count(list_) < 1) return nullptr;
    return VLWordList_GetItem(list_, 0);
}

void AddinTranslator::Close() {
    if (list_) VLWordList_Destroy(list_);
    if (query_) Lexicore_DestroyQuery(query_);
    if (session_) {
        Lexicore_CloseSession(session_);
        Lexicore_DestroySession(session_);
    }
    list_ = nullptr;
    query_ = nullptr;
    session_ = nullptr;
}

void Addin_TrimResultLineEnd(const std::wstring &text, std::wstring *result) {
    bool textEndsLf = !text.empty() && text.back() == L'\n';
    if (!textEndsLf && !result->empty() && result->back() == L'\n') result->pop_back();
}

bool Addin_TranslateWide(AddinTranslator &translator, const std::wstring &text, std::wstring *out,
                         BYTE *resultCharset) {
    size_t start = 0;
    while (start < text.size() && ((text[start] >= 1 && text[start] <= 32) || text[start] == L'?')) start++;
    if (start >= text.size()) return false;
    const WCHAR *rest = text.c_str() + start;
    int restCount = (int)(text.size() - start);
    int bytes = Strandkit_WideToMultiByte(translator.Charset(), rest, restCount, nullptr, 0);
    if (bytes <= 0) return false;
    std::string narrow((size_t)bytes, '\0');
    Strandkit_WideToMultiByte(translator.Charset(), rest, restCount, &narrow[0], bytes);
    const VLDataItem *item = translator.Translate(narrow.c_str());
    if (!item || !item->headword || item->headwordLen <= 0) return false;
    int wide = Strandkit_MultiByteToWide(item->charset, item->headword, item->headwordLen, nullptr, 0);
    if (wide <= 0) return false;
    out->assign((size_t)wide, L'\0');
    Strandkit_MultiByteToWide(item->charset, item->headword, item->headwordLen, &(*out)[0], wide);
    if (resultCharset) *resultCharset = item->charset;
    Addin_TrimResultLineEnd(text, out);
    return true;
}
