// Searches across dictionaries: the text in UTF-16, one key per language, the choice of
// dictionaries (search_choice.cpp) over the live catalogue, groups, translation set and language
// records, the engine run into the caller's word list, the notifications to the list's window and
// the work after a pop-up search.
#include <string.h>
#include <algorithm>
#include <map>
#include "lexshelf_int.h"
#include "search_int.h"
#include "lexicore.h"
#include "linguakeeper.h"
#include "prefstore.h"
#include "strandkit.h"

namespace {

// Notifications to the window that the word list names.
const UINT kNoteDone = 0x8000;
const UINT kNoteSelect = 0x8001;
const UINT kNoteList = 0x8004;

// The text of a search in UTF-16.
struct Prepared {
    std::wstring wide;
    int charset = 0;      // 255 when runs of several charsets occur
    bool multiByte = false;
};

UINT CodePageOf(int charset) {
    switch (charset) {
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    default: return Strandkit_CharsetToCodePage((UINT)charset);
    }
}

bool AppendRun(Prepared *p, int charset, const char *text, int len, int *bytes) {
    if (len <= 0)
        return true;
    UINT cp = CodePageOf(charset);
    int n = MultiByteToWideChar(cp, 0, text, len, nullptr, 0);
    if (n <= 0 || p->wide.size() + n > SHELF_TEXT_CHARS)
        return false;
    size_t at = p->wide.size();
    p->wide.resize(at + n);
    MultiByteToWideChar(cp, 0, text, len, &p->wide[at], n);
    *bytes += len;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Escape-tagged text: each ESC 'F' hh switches the charset of the run after it; text before the
// first tag is in the charset of the user interface.
bool PrepareTagged(const char *text, int len, Prepared *p) {
    int charset = (int)Strandkit_CodePageToCharset(GetACP());
    bool seen = false, mixed = false;
    int lastRunCharset = charset, bytes = 0, start = 0;
    for (int i = 0; i <= len; i++) {
        bool tag = i + 3 < len && text[i] == 0x1B && text[i + 1] == 'F' && HexDigit(text[i + 2]) >= 0 &&
                   HexDigit(text[i + 3]) >= 0;
        if (i < len && !tag)
            continue;
        if (i > start) {
            if (!AppendRun(p, charset, text + start, i - start, &bytes))
                return false;
            if (seen && lastRunCharset != charset)
                mixed = true;
            seen = true;
            lastRunCharset = charset;
        }
        if (tag) {
            charset = HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]);
            i += 3;
            start = i + 1;
        }
    }
    p->charset = mixed ? 255 : lastRunCharset;
    p->multiByte = (int)p->wide.size() != bytes;
    return true;
}

bool PrepareIn(const char *text, int len, int charset, Prepared *p) {
    int bytes = 0;
    p->charset = charset;
    if (!AppendRun(p, charset, text, len, &bytes))
        return false;
    p->multiByte = (int)p->wide.size() != bytes;
    return true;
}

// The live facts of the choice and the keys it makes, kept for the run.
struct Live {
    const Prepared *text;
    std::map<UINT, std::string> byCodePage;  // the text in each code page asked for
    std::map<WORD, std::string> keys;        // the language's key
    std::map<WORD, std::string> source;      // the text the language analyses

    const std::string &InCodePage(UINT cp) {
        auto it = byCodePage.find(cp);
        if (it != byCodePage.end())
            return it->second;
        std::string out;
        const std::wstring &w = text->wide;
        DWORD flags = (cp == 932 || cp == 949 || cp == 936 || cp == 950 || cp == 1252) ? WC_NO_BEST_FIT_CHARS : 0;
        int n = w.empty() ? 0 : WideCharToMultiByte(cp, flags, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            out.resize(n);
            WideCharToMultiByte(cp, flags, w.data(), (int)w.size(), &out[0], n, nullptr, nullptr);
        }
        return byCodePage[cp] = out;
    }
};

bool LiveDic(void *, DWORD dicId, ShelfDicFacts *facts) {
    DicProperty p = {};
    p.size = sizeof p;
    DicInfo info = {};
    info.size = sizeof info;
    if (!Lexicore_GetDicProperty(dicId, &p) || !Lexicore_GetDicInfo(dicId >> 8, &info))
        return false;
    facts->language = p.language;
    facts->charset = p.charset;
    facts->charsetNext = p.langValue1;
    facts->catalogueKind = info.kind;
    return true;
}

bool LiveGroup(void *, DWORD groupId, std::vector<DWORD> *dics) {
    VLDicGroup *g = Lexshelf_FindGroup(groupId);
    if (!g)
        return false;
    dics->assign(g->dictionaries, g->dictionaries + g->count);
    return true;
}

bool LiveTransSet(void *, DWORD first, DWORD second, DWORD slot, DWORD *id) {
    VLTransSetEntry e;
    if (!Shelf().current || !Lexshelf_TransSetFind(Shelf().current, first, second, slot, &e))
        return false;
    *id = e.dictionaryId;
    return true;
}

bool LiveLanguage(void *, DWORD language, ShelfLangFacts *facts) {
    static LinguakeeperLangRecord r;  // 920 bytes: kept off the stack of the caller's thread
    memset(&r, 0, sizeof r);
    r.size = sizeof r;
    if (!Linguakeeper_GetLangInfo(language, &r))
        return false;
    facts->charset = (BYTE)r.charset;
    for (int i = 0; i < 5; i++)
        facts->entries[i] = {r.search[i].word[0], r.search[i].word[1], r.search[i].word[2]};
    return true;
}

bool LiveKey(void *context, WORD language, BYTE charset) {
    Live *live = (Live *)context;
    auto it = live->keys.find(language);
    if (it != live->keys.end())
        return !it->second.empty();
    const std::string &mb = live->InCodePage(CodePageOf(charset));
    std::string key;
    if (!mb.empty()) {
        std::vector<char> out(2 * mb.size() + 1, 0);
        if (Linguakeeper_ConvertKey(language, 0x84, mb.c_str(), out.data()))
            key = out.data();
    }
    live->source[language] = mb;
    live->keys[language] = key;
    return !key.empty();
}

void Notify(VLWordList *list, UINT message, WPARAM wParam) {
    if (list && list->window && IsWindow(list->window))
        SendMessageA(list->window, message, wParam, 0);
}

struct Form {
    std::string text;
    DWORD kind;
    DWORD extra;
};

// The forms to look up for a language: the analysis of its text, or its key alone.
std::vector<Form> FormsOf(Live &live, const ShelfPlanLang &lang, int wordPos, DWORD kind) {
    std::vector<Form> forms;
    LinguakeeperForms *f = Linguakeeper_AnalyzeWord(lang.language, live.source[lang.language].c_str(), wordPos, kind);
    for (DWORD i = 0; f && f->keys && i < f->keys->count; i++) {
        const LinguakeeperKeyItem &k = f->keys->items[i];
        if (k.text && *k.text)
            forms.push_back({k.text, k.kind, k.extra});
    }
    Linguakeeper_FreeForms(f);
    if (forms.empty())
        forms.push_back({live.keys[lang.language], 0, 0});
    return forms;
}

// Runs the plan's dictionaries in order into the list; one session and one query for the run.
void RunPlan(Live &live, const ShelfPlan &plan, int wordPos, DWORD kind, DWORD mode, DWORD flags, VLWordList *list) {
    std::vector<std::vector<Form>> forms(plan.langs.size());
    if (!(flags & SHELF_SF_NO_ANALYSIS))
        for (size_t i = 0; i < plan.langs.size(); i++)
            forms[i] = FormsOf(live, plan.langs[i], wordPos, kind);
    DicSession *session = Lexicore_CreateSession();
    DicQuery *query = Lexicore_CreateQuery();
    if (session && query) {
        Lexicore_SetQueryResultList(query, list);
        for (const ShelfPlanDic &d : plan.dics) {
            int li = Shelf_PlanLanguage(plan, d.language);
            if (li < 0 || !Lexicore_OpenSession(session, d.id, FALSE))
                continue;
            const ShelfPlanLang &lang = plan.langs[li];
            Lexicore_SelectIndex(session, 0);
            Lexicore_SetQuerySession(query, session);
            bool driver = d.catalogueKind == 3;
            if (flags & SHELF_SF_NO_ANALYSIS) {
                if (Lexicore_SetQueryText(query, live.keys[lang.language].c_str(), d.order, 0))
                    Lexicore_RunQuery(query, (int)mode, flags);
            } else {
                for (const Form &f : forms[li]) {
                    bool driverOnly = (f.kind & SHELF_FORM_DRIVER_ONLY) != 0;
                    if (driverOnly != driver)
                        continue;
                    if (driverOnly || lang.mode != 0) {
                        if (Lexicore_SetQueryText(query, f.text.c_str(), d.order, f.extra))
                            Lexicore_RunQuery(query, driverOnly ? (int)mode : (int)lang.mode, lang.flags);
                    } else {
                        DWORD order = d.order + ((f.kind & SHELF_FORM_SECONDARY) ? SHELF_SECONDARY_RAISE : 0);
                        if (Lexicore_SetQueryText(query, f.text.c_str(), order, f.extra))
                            Lexicore_RunSimilarQuery(query, lang.flags);
                    }
                }
            }
            Lexicore_SetQuerySession(query, nullptr);
            Lexicore_CloseSession(session);
        }
    }
    if (query)
        Lexicore_DestroyQuery(query);
    if (session)
        Lexicore_DestroySession(session);
}

bool Prepare(const char *text, int len, int charset, Prepared *p) {
    if (charset == -1)
        return PrepareTagged(text, len, p);
    if (charset > 255) {
        ShelfLangFacts facts;
        if (!LiveLanguage(nullptr, (DWORD)charset, &facts))
            return false;
        charset = facts.charset;
    }
    return PrepareIn(text, len, charset, p);
}

// Clears the list, prepares the text and chooses the dictionaries; false when the text is empty
// (the list then stays as it was) or nothing was chosen.
bool Begin(const char *text, int len, int charset, DWORD dicId, DWORD mode, DWORD flags, DWORD kind, VLWordList *list,
           Prepared *prepared, Live *live, ShelfPlan *plan) {
    if (!text || !list)
        return false;
    if (len < 0)
        len = (int)strlen(text);
    if (len == 0 || !*text)
        return false;
    VLWordList_DeleteAllItems(list);
    if (!Prepare(text, len, charset, prepared) || prepared->wide.empty())
        return false;
    live->text = prepared;
    ShelfWorld world = {live, LiveDic, LiveGroup, LiveTransSet, LiveLanguage, LiveKey};
    ShelfChoice choice = {kind, charset, dicId, mode, flags, prepared->multiByte, prepared->charset};
    return Shelf_ChoosePlan(choice, world, plan);
}

// The search run shared by the pop-up search and the keyword searches: 1 when it ran.
int SearchRun(const char *text, int len, int charset, DWORD dicId, DWORD mode, DWORD flags, int wordPos, DWORD kind,
              VLWordList *list) {
    Prepared prepared;
    Live live;
    ShelfPlan plan;
    if (!Begin(text, len, charset, dicId, mode, flags, kind, list, &prepared, &live, &plan))
        return 0;
    RunPlan(live, plan, wordPos, kind, mode, flags, list);
    return 1;
}

// The sort after a search and, for the pop-up kinds, the automatic actions of the language.
void PostProcess(DWORD kind, DWORD mode, const char *text, VLWordList *list) {
    CandidateListOptions options = {};
    Prefstore_LoadCandidateList(&options);
    int sortMode, descending;
    Shelf_SortChoice(kind, mode, options.SortByLength, &sortMode, &descending);
    VLWordList_Sort(list, sortMode, descending);
    if (kind < 1 || (kind > 3 && kind != 7))
        return;
    VLDataItem *item = VLWordList_GetCurItem(list);
    static LinguakeeperLangRecord r;
    memset(&r, 0, sizeof r);
    r.size = sizeof r;
    if (!item || !Linguakeeper_GetLangInfo(item->language, &r))
        return;
    const DWORD *w = r.search[Shelf_KindEntry(kind)].word;
    bool pronounce = w[9] != 0;
    if (kind == 7) {
        if (w[11]) {
            Linguakeeper_OpenManager(item->language, text, 0);
            return;
        }
        if (w[10])
            Lexshelf_CopyEntry(item);
    }
    if (pronounce)
        Lexshelf_PronounceEntry(item);
}

// Raises the thread and the process for the pop-up search and puts both back.
struct Raised {
    HANDLE thread = GetCurrentThread();
    int priority = GetThreadPriority(GetCurrentThread());
    DWORD priorityClass = GetPriorityClass(GetCurrentProcess());
    Raised() {
        SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST);
        SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    }
    ~Raised() {
        if (priorityClass)
            SetPriorityClass(GetCurrentProcess(), priorityClass);
        if (priority != THREAD_PRIORITY_ERROR_RETURN)
            SetThreadPriority(thread, priority);
    }
};

bool CursorInBox(POINT origin) {
    POINT cursor;
    return GetCursorPos(&cursor) && Shelf_BoxHolds(origin, cursor);
}

void CloseKeyword(VLWordList *list) {
    Notify(list, kNoteDone, 0);
    Notify(list, kNoteList, 1);
    Notify(list, kNoteSelect, 0);
}

}  // namespace

extern "C" int WINAPI Lexshelf_SearchPopup(VLTranParam *request, VLWordList *list) {
    if (!request || !list)
        return 0;
    // Everything the search needs is read from the request once; the caller keeps the request for
    // the whole call, so nothing is probed afterwards.
    DWORD kind = request->requestKind;
    int charset = kind > 4096 ? (int)request->language : (int)request->charset;
    POINT origin = {(SHORT)LOWORD(request->pointTop), (SHORT)LOWORD(request->pointBottom)};
    std::string text = request->text && request->textLen > 0 ? std::string(request->text, request->textLen) : std::string();
    if (kind == 1 && !CursorInBox(origin))
        return 0;
    int result;
    {
        Raised raised;
        Notify(list, kNoteList, 0);
        result = SearchRun(text.c_str(), (int)text.size(), charset, request->dicId, request->searchMode,
                           request->searchFlags | SHELF_SF_POPUP, request->wordPos, kind, list);
        if (kind != 1 || CursorInBox(origin))
            PostProcess(kind, request->searchMode, text.c_str(), list);
        Notify(list, kNoteDone, 0);
        Notify(list, kNoteList, 1);
        if (kind != 4 && kind != 5)
            Notify(list, kNoteSelect, 0);
    }
    return result;
}

extern "C" int WINAPI Lexshelf_SearchDicsEx(const char *text, DWORD dicId, DWORD mode, DWORD flags, int charset,
                                            VLWordList *list) {
    if (!list)
        return 0;
    Notify(list, kNoteList, 0);
    int result = SearchRun(text, -1, charset, dicId, mode, flags, 0, 0, list);
    PostProcess(0, mode, text, list);
    CloseKeyword(list);
    return result;
}

extern "C" int WINAPI Lexshelf_SearchDics(const char *text, DWORD dicId, DWORD mode, DWORD flags, VLWordList *list) {
    return Lexshelf_SearchDicsEx(text, dicId, mode, flags, -1, list);
}

extern "C" int WINAPI Lexshelf_SearchByLanguages(const char *text, int wordPos, DWORD kind, int charset,
                                                 VLWordList *list) {
    if (!list)
        return 0;
    Notify(list, kNoteList, 0);
    int result = SearchRun(text, -1, charset, 0, 0, 0x38, wordPos, kind, list);
    PostProcess(kind, 0, text, list);
    CloseKeyword(list);
    return result;
}

namespace {

// The key of a language in the engine's own form (mode 4), from the text in its code page.
std::string PlainKey(Live &live, WORD language) {
    const std::string &mb = live.source[language];
    if (mb.empty())
        return std::string();
    std::vector<char> out(2 * mb.size() + 1, 0);
    return Linguakeeper_ConvertKey(language, 4, mb.c_str(), out.data()) ? std::string(out.data()) : std::string();
}

// Nearest entries below or above the key in each chosen dictionary.
int Nearest(const char *text, DWORD kind, int charset, DWORD dicId, DWORD count, VLWordList *list, bool upper) {
    if (!list)
        return 0;
    Notify(list, kNoteList, 0);
    Prepared prepared;
    Live live;
    ShelfPlan plan;
    int result = 0;
    if (Begin(text, -1, charset, dicId, 0, count, kind, list, &prepared, &live, &plan)) {
        DicSession *session = Lexicore_CreateSession();
        DicQuery *query = Lexicore_CreateQuery();
        if (session && query) {
            Lexicore_SetQueryResultList(query, list);
            for (const ShelfPlanDic &d : plan.dics) {
                std::string key = PlainKey(live, d.language);
                if (key.empty() || !Lexicore_OpenSession(session, d.id, FALSE))
                    continue;
                Lexicore_SetQuerySession(query, session);
                if (Lexicore_SetQueryText(query, key.c_str(), d.order, 0))
                    upper ? Lexicore_RunUpperQuery(query, count) : Lexicore_RunLowerQuery(query, count);
                Lexicore_SetQuerySession(query, nullptr);
                Lexicore_CloseSession(session);
            }
            result = 1;
        }
        if (query)
            Lexicore_DestroyQuery(query);
        if (session)
            Lexicore_DestroySession(session);
    }
    Notify(list, kNoteList, 1);
    Notify(list, kNoteDone, 0);
    Notify(list, kNoteSelect, 0);
    return result;
}

}  // namespace

extern "C" int WINAPI Lexshelf_SearchMode1(const char *text, DWORD kind, int charset, DWORD dicId, DWORD count,
                                           VLWordList *list) {
    return Nearest(text, kind, charset, dicId, count, list, false);
}

extern "C" int WINAPI Lexshelf_SearchMode0(const char *text, DWORD kind, int charset, DWORD dicId, DWORD count,
                                           VLWordList *list) {
    return Nearest(text, kind, charset, dicId, count, list, true);
}

extern "C" int WINAPI Lexshelf_SearchWithCallback(const char *text, DWORD dicId, VLWordList *list,
                                                  LexshelfWordProc callback, LPARAM user) {
    if (!list)
        return 0;
    Notify(list, kNoteList, 0);
    Prepared prepared;
    Live live;
    ShelfPlan plan;
    int result = 0;
    if (Begin(text, -1, -1, dicId, 0, 0x38, 0, list, &prepared, &live, &plan)) {
        std::map<WORD, HANDLE> words;
        for (const ShelfPlanLang &l : plan.langs) {
            std::string key = PlainKey(live, l.language);
            HANDLE e = key.empty() ? nullptr : Linguakeeper_OpenWordEnum(l.language, key.c_str());
            if (e)
                words[l.language] = e;
        }
        DicSession *session = Lexicore_CreateSession();
        DicQuery *query = Lexicore_CreateQuery();
        bool stop = !session || !query;
        if (!stop)
            Lexicore_SetQueryResultList(query, list);
        for (size_t i = 0; !stop && i < plan.dics.size(); i++) {
            const ShelfPlanDic &d = plan.dics[i];
            auto it = words.find(d.language);
            if (it == words.end() || !Lexicore_OpenSession(session, d.id, FALSE))
                continue;
            const ShelfPlanLang &lang = plan.langs[Shelf_PlanLanguage(plan, d.language)];
            Lexicore_SelectIndex(session, 0);
            Lexicore_SetQuerySession(query, session);
            Linguakeeper_RewindWordEnum(it->second);
            char word[256];
            while (!stop && Linguakeeper_NextWordEnum(it->second, word, sizeof word)) {
                if (callback && !callback(d.language, word, user)) {
                    stop = true;
                    break;
                }
                if (d.catalogueKind == 3)
                    continue;
                LinguakeeperForms *f = Linguakeeper_AnalyzeWord(d.language, word, 0, 0);
                for (DWORD k = 0; f && f->keys && k < f->keys->count; k++) {
                    const LinguakeeperKeyItem &form = f->keys->items[k];
                    if ((form.kind & SHELF_FORM_DRIVER_ONLY) || !form.text || !*form.text)
                        continue;
                    if (Lexicore_SetQueryText(query, form.text, d.order, form.extra))
                        Lexicore_RunSimilarQuery(query, lang.flags);
                }
                Linguakeeper_FreeForms(f);
            }
            Lexicore_SetQuerySession(query, nullptr);
            Lexicore_CloseSession(session);
        }
        if (query)
            Lexicore_DestroyQuery(query);
        if (session)
            Lexicore_DestroySession(session);
        for (auto &w : words)
            Linguakeeper_CloseWordEnum(w.second);
        result = 1;
    }
    Notify(list, kNoteList, 1);
    Notify(list, kNoteDone, 0);
    Notify(list, kNoteSelect, 0);
    return result;
}

extern "C" int WINAPI Lexshelf_SearchList(DWORD dicId, void *conditions, int count, DWORD matchAll, DWORD flags,
                                          VLWordList *list, void *progress, void *user) {
    if (!conditions || count <= 0 || !list)
        return 0;
    std::vector<DWORD> dics;
    if (dicId >= LEXSHELF_FIRST_DIC_ID) {
        dics.push_back(dicId);
    } else if (VLDicGroup *g = Lexshelf_FindGroup(dicId)) {
        for (DWORD i = 0; i < g->count && dics.size() < SHELF_PLAN_DICS; i++)
            if (std::find(dics.begin(), dics.end(), g->dictionaries[i]) == dics.end())
                dics.push_back(g->dictionaries[i]);
    }
    Notify(list, kNoteList, 0);
    VLWordList_DeleteAllItems(list);
    DicSession *session = Lexicore_CreateSession();
    DicQuery *query = Lexicore_CreateQuery();
    if (session && query) {
        Lexicore_SetQueryResultList(query, list);
        for (DWORD id : dics) {
            if (!Lexicore_OpenSession(session, id, FALSE))
                continue;
            Lexicore_SelectIndex(session, 0);
            Lexicore_SetQuerySession(query, session);
            Lexicore_RunFullTextQuery(query, (LexicoreCondition *)conditions, count, (BOOL)matchAll, flags,
                                      (LexicoreProgressProc)progress, user);
            Lexicore_SetQuerySession(query, nullptr);
            Lexicore_CloseSession(session);
        }
    }
    if (query)
        Lexicore_DestroyQuery(query);
    if (session)
        Lexicore_DestroySession(session);
    Notify(list, kNoteList, 1);
    Notify(list, kNoteDone, 0);
    return 1;
}
