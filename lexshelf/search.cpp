// Searches across dictionaries: the engine run of a plan into the caller's word list (one session
// and one query per search, each chosen dictionary opened once), the pop-up search at raised
// priority with its cursor box, the keyword searches, the notifications to the list's window and
// the sort and automatic actions after a search.
#include <string.h>
#include "lexshelf_int.h"
#include "search_int.h"
#include "lexicore.h"
#include "linguakeeper.h"
#include "prefstore.h"

namespace {

struct Form {
    std::string text;
    DWORD kind;
    DWORD extra;
};

// The forms to look up for a language: the analysis of its text, or its key alone.
std::vector<Form> FormsOf(ShelfLive &live, const ShelfPlanLang &lang, int wordPos, DWORD kind) {
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

// Runs the plan's dictionaries in order into the list: one query for the run; each dictionary opened
// once, static ones in the sessions kept across searches.
void RunPlan(ShelfLive &live, const ShelfPlan &plan, int wordPos, DWORD kind, DWORD mode, DWORD flags, VLWordList *list) {
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
            if (li < 0)
                continue;
            // A static dictionary runs in the session kept for it; others open in the run's own.
            DicSession *open = Shelf_KeptSession(d.id);
            if (!open && !Lexicore_OpenSession(session, d.id, FALSE))
                continue;
            if (!open)
                open = session;
            const ShelfPlanLang &lang = plan.langs[li];
            Lexicore_SelectIndex(open, 0);
            Lexicore_SetQuerySession(query, open);
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
            if (open == session)
                Lexicore_CloseSession(session);
        }
    }
    if (query)
        Lexicore_DestroyQuery(query);
    if (session)
        Lexicore_DestroySession(session);
}

// The search run shared by the pop-up search and the keyword searches: 1 when it ran.
int SearchRun(const char *text, int len, int charset, DWORD dicId, DWORD mode, DWORD flags, int wordPos, DWORD kind,
              VLWordList *list) {
    ShelfPrepared prepared;
    ShelfLive live;
    ShelfPlan plan;
    if (!Shelf_BeginSearch(text, len, charset, dicId, mode, flags, kind, list, &prepared, &live, &plan))
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
    LinguakeeperLangRecord r;
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
    Shelf_NotifyList(list, SHELF_NOTE_DONE, 0);
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 1);
    Shelf_NotifyList(list, SHELF_NOTE_SELECT, 0);
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
        Shelf_NotifyList(list, SHELF_NOTE_LIST, 0);
        result = SearchRun(text.c_str(), (int)text.size(), charset, request->dicId, request->searchMode,
                           request->searchFlags | SHELF_SF_POPUP, request->wordPos, kind, list);
        if (kind != 1 || CursorInBox(origin))
            PostProcess(kind, request->searchMode, text.c_str(), list);
        Shelf_NotifyList(list, SHELF_NOTE_DONE, 0);
        Shelf_NotifyList(list, SHELF_NOTE_LIST, 1);
        if (kind != 4 && kind != 5)
            Shelf_NotifyList(list, SHELF_NOTE_SELECT, 0);
    }
    return result;
}

extern "C" int WINAPI Lexshelf_SearchDicsEx(const char *text, DWORD dicId, DWORD mode, DWORD flags, int charset,
                                            VLWordList *list) {
    if (!list)
        return 0;
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 0);
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
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 0);
    int result = SearchRun(text, -1, charset, 0, 0, 0x38, wordPos, kind, list);
    PostProcess(kind, 0, text, list);
    CloseKeyword(list);
    return result;
}
