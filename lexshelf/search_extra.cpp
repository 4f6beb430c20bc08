// The further searches of the search station: nearest entries below and above a key, a word-by-word
// search with the caller's callback, and the condition search over entry text.
#include <algorithm>
#include <map>
#include "lexshelf_int.h"
#include "search_int.h"
#include "lexicore.h"
#include "linguakeeper.h"

namespace {

// Nearest entries below or above the key in each chosen dictionary.
int Nearest(const char *text, DWORD kind, int charset, DWORD dicId, DWORD count, VLWordList *list, bool upper) {
    if (!list)
        return 0;
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 0);
    ShelfPrepared prepared;
    ShelfLive live;
    ShelfPlan plan;
    int result = 0;
    if (Shelf_BeginSearch(text, -1, charset, dicId, 0, count, kind, list, &prepared, &live, &plan)) {
        DicSession *session = Lexicore_CreateSession();
        DicQuery *query = Lexicore_CreateQuery();
        if (session && query) {
            Lexicore_SetQueryResultList(query, list);
            for (const ShelfPlanDic &d : plan.dics) {
                std::string key = Shelf_PlainKey(live, d.language);
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
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 1);
    Shelf_NotifyList(list, SHELF_NOTE_DONE, 0);
    Shelf_NotifyList(list, SHELF_NOTE_SELECT, 0);
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
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 0);
    ShelfPrepared prepared;
    ShelfLive live;
    ShelfPlan plan;
    int result = 0;
    if (Shelf_BeginSearch(text, -1, -1, dicId, 0, 0x38, 0, list, &prepared, &live, &plan)) {
        std::map<WORD, HANDLE> words;
        for (const ShelfPlanLang &l : plan.langs) {
            std::string key = Shelf_PlainKey(live, l.language);
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
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 1);
    Shelf_NotifyList(list, SHELF_NOTE_DONE, 0);
    Shelf_NotifyList(list, SHELF_NOTE_SELECT, 0);
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
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 0);
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
    Shelf_NotifyList(list, SHELF_NOTE_LIST, 1);
    Shelf_NotifyList(list, SHELF_NOTE_DONE, 0);
    return 1;
}
