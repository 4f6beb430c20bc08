// Queries: a key, a search mode and a result list over one session.  Each mode walks the index
// from the key with an item procedure of its own that decides, entry by entry, what to add and when
// to stop.
#include <stdlib.h>
#include "query_int.h"

namespace {

const DWORD kScoreLimit = 0x3FFFFFFF;

struct Walk {
    DicQuery *q;
    int mode;
    DWORD flags;        // the comparer's flags
    int lastAdded;      // the main entry before the sub-entries was added
};

LONG HeadLen(const VLDataItem *item) { return item->headword ? (LONG)strlen(item->headword) : 0; }

// Exact (1), prefix (2) and suffix (3).
int CALLBACK ModeProc(VLDataItem *item, int flag, void *user) {
    Walk *w = (Walk *)user;
    DicQuery *q = w->q;
    DicSession *s = q->session;
    if (!flag) return w->lastAdded ? LcQuery_Add(q, item, q->baseScore << 16) : LEXICORE_ITEM_SKIP;
    w->lastAdded = 0;
    int n = w->mode == LEXICORE_MODE_EXACT ? 0 : (int)q->keyLen;
    DWORD first = w->mode == LEXICORE_MODE_SUFFIX ? (w->flags | 0x8004) : (w->flags | 4);
    DWORD second = w->mode == LEXICORE_MODE_SUFFIX ? (w->flags | 0x8000) : w->flags;
    int c = LcQuery_Compare(s, first, q->key, item->headword, n);
    if (c < 0) return LEXICORE_ITEM_FULL;  // past the key
    if (c > 0) return LEXICORE_ITEM_SKIP;
    if (n > 0 && HeadLen(item) < n) return LEXICORE_ITEM_SKIP;
    if (LcQuery_Compare(s, second, q->key, item->headword, n) != 0) return LEXICORE_ITEM_SKIP;
    int r = LcQuery_Add(q, item, q->baseScore << 16);
    w->lastAdded = r == LEXICORE_ITEM_ADDED;
    return r;
}

// Near spelling: headwords of about the key's length that the scorer finds close.
int CALLBACK NearProc(VLDataItem *item, int flag, void *user) {
    Walk *w = (Walk *)user;
    DicQuery *q = w->q;
    DicSession *s = q->session;
    if (!flag) return w->lastAdded ? LcQuery_Add(q, item, q->baseScore << 16) : LEXICORE_ITEM_SKIP;
    w->lastAdded = 0;
    if (LcQuery_Compare(s, (w->flags & 0x8000) | 4, q->key, item->headword, (int)q->keyLen / 2) < 0)
        return LEXICORE_ITEM_FULL;
    LONG len = HeadLen(item);
    if (labs(len - q->keyLen) > 1) return LEXICORE_ITEM_SKIP;
    if (Lc_Score(s, w->flags, 0, q->key, (int)q->keyLen, item->headword, (int)len) > kScoreLimit)
        return LEXICORE_ITEM_SKIP;
    int r = LcQuery_Add(q, item, q->baseScore << 16);
    w->lastAdded = r == LEXICORE_ITEM_ADDED;
    return r;
}

int CALLBACK SimilarProc(VLDataItem *item, int flag, void *user) {
    Walk *w = (Walk *)user;
    DicQuery *q = w->q;
    DicSession *s = q->session;
    if (!flag) return w->lastAdded ? LcQuery_Add(q, item, q->runningScore) : LEXICORE_ITEM_SKIP;
    w->lastAdded = 0;
    bool book = (q->flags & LEXICORE_SF_BOOK) != 0;
    const char *a = book ? item->headword : q->key, *b = book ? q->key : item->headword;
    if (Lc_Compare(s, 4, a, b, 0) < 0) return LEXICORE_ITEM_FULL;
    DWORD score = Lc_Compare(s, 0, q->key, item->headword, 0) != 0
                      ? Lc_Score(s, 4, (int)q->extra, q->key, (int)q->keyLen, item->headword, (int)HeadLen(item))
                      : 0;
    q->runningScore = score + q->baseScore;
    if (q->runningScore > kScoreLimit) return LEXICORE_ITEM_SKIP;
    int r = LcQuery_Add(q, item, q->runningScore);
    w->lastAdded = r == LEXICORE_ITEM_ADDED;
    return r;
}

int CALLBACK DriverProc(VLDataItem *item, int, void *user) {
    DicQuery *q = (DicQuery *)user;
    if (!q->list || (q->list->window && !IsWindow(q->list->window))) return LEXICORE_ITEM_STOP;
    return LcQuery_Add(q, item, q->baseScore << 16);
}

bool Ready(DicQuery *q) { return q && q->session && q->session->fileRecord && q->list; }

// Nearest main entry at or after (upper) or before (lower) the key; the list keeps that one item.
int Nearest(DicQuery *q, DWORD flags, bool upper) {
    DicSession *s = q->session;
    LONG pos = 0;
    Lexicore_Locate(s, q->key, flags, &pos);
    LONG step = upper ? 1 : -1;
    for (LONG p = upper ? pos : pos - 1; p >= 0; p += step) {
        VLDataItem *item = Lexicore_GetItem(s, p);
        if (!item) return 0;
        bool main = (item->entryLink >> 16) == 0;
        int c = main ? Lc_Compare(s, flags, q->key, item->headword, 0) : 0;
        // An item on the wrong side of the key is passed over.
        if (!main || (upper && c > 0) || (!upper && c <= 0)) {
            VLDataItem_Destroy(item);
            continue;
        }
        VLWordList_DeleteAllItems(q->list);
        int r = LcQuery_Add(q, item, q->baseScore << 16);
        VLDataItem_Destroy(item);
        return r == LEXICORE_ITEM_ADDED ? 1 : 0;
    }
    return 0;
}

}  // namespace

int LcQuery_IsDriver(DicQuery *q) { return q->session->fileRecord->kind == 3; }

int LcQuery_Add(DicQuery *q, VLDataItem *item, DWORD score) {
    if (!q->list) return LEXICORE_ITEM_FULL;
    DWORD saved = item->score;
    item->score = score;
    LONG at = VLWordList_Add(q->list, item);
    item->score = saved;
    return at ? LEXICORE_ITEM_ADDED : LEXICORE_ITEM_FULL;
}

int LcQuery_Compare(DicSession *s, DWORD flags, const char *key, const char *text, int n) {
    if (!key) key = "";
    if (!text) text = "";
    if (n > 0 && (flags & 0x8000)) {
        int kl = (int)strlen(key), tl = (int)strlen(text);
        const char *k = kl > n ? key + kl - n : key;
        const char *t = tl > n ? text + tl - n : text;
        return Lc_Compare(s, flags, k, t, n);
    }
    // The same bytes compare equal under any flags: the walks meet them at nearly every entry,
    // and the driver is not asked.
    if (n > 0 ? strnlen(key, (size_t)n) == (size_t)n && strncmp(key, text, (size_t)n) == 0 : strcmp(key, text) == 0)
        return 0;
    return Lc_Compare(s, flags, key, text, n);
}

bool LcQuery_IsLead(DicSession *s, unsigned char b) {
    UINT cp = 0;
    switch (s && s->subDic ? s->subDic->charset : 0) {
    case 128: cp = 932; break;
    case 129: cp = 949; break;
    case 134: cp = 936; break;
    case 136: cp = 950; break;
    default: return false;
    }
    return b >= 0x81 && IsDBCSLeadByteEx(cp, b);
}

// ---- Exports ---------------------------------------------------------------------------------------

extern "C" DicQuery *WINAPI Lexicore_CreateQuery(void) { return (DicQuery *)Lc_Alloc(sizeof(DicQuery)); }

extern "C" void WINAPI Lexicore_DestroyQuery(DicQuery *query) {
    if (!query) return;
    Lc_Free(query->key);
    LcWild_Free((LcPattern *)query->pattern);
    Lc_Free(query->fixed);
    Lc_Free(query);
}

extern "C" void WINAPI Lexicore_SetQuerySession(DicQuery *query, DicSession *session) {
    if (query) query->session = session;
}

extern "C" void WINAPI Lexicore_SetQueryResultList(DicQuery *query, VLWordList *list) {
    if (query) query->list = list;
}

extern "C" int WINAPI Lexicore_SetQueryText(DicQuery *query, const char *key, DWORD baseScore, DWORD extra) {
    if (!query) return 0;
    Lc_Free(query->key);
    query->key = nullptr;
    query->keyLen = 0;
    query->baseScore = baseScore;
    query->extra = extra;
    if (!key || !key[0]) return 0;
    size_t n = strlen(key);
    query->key = (char *)Lc_Alloc(n + 1);
    if (!query->key) return 0;
    memcpy(query->key, key, n + 1);
    query->keyLen = (LONG)n;
    return (int)n + 1;
}

extern "C" int WINAPI Lexicore_RunQuery(DicQuery *query, int mode, DWORD flags) {
    if (!Ready(query) || !query->key) return 0;
    DicSession *s = query->session;
    if (LcQuery_IsDriver(query)) return Lexicore_Search(s, query->key, flags, DriverProc, query);
    query->flags = flags | (s->fileRecord->kind == 4 ? LEXICORE_SF_BOOK : 0);
    if (!(flags & LEXICORE_SF_NOWILD) && LcWild_HasWildcard(s, query->key)) return LcWild_Run(query);
    Walk w = {query, mode, query->flags, 0};
    int r;
    switch (mode) {
    case LEXICORE_MODE_EXACT:
    case LEXICORE_MODE_PREFIX:
        return Lexicore_Search(s, query->key, query->flags, ModeProc, &w);
    case LEXICORE_MODE_SUFFIX: {
        int previous = Lexicore_SelectIndex(s, 1);
        w.flags = query->flags | LEXICORE_SF_FORWARD | LEXICORE_SF_BACKWARD;
        r = Lexicore_Search(s, query->key, w.flags, ModeProc, &w);
        Lexicore_SelectIndex(s, previous);
        return r;
    }
    case LEXICORE_MODE_NEAR: {
        w.flags = query->flags | LEXICORE_SF_FORWARD;
        r = Lexicore_Search(s, query->key, w.flags, NearProc, &w);
        if (r == LEXICORE_ITEM_STOP) return r;
        int previous = Lexicore_SelectIndex(s, 1);
        w.flags = query->flags | LEXICORE_SF_FORWARD | LEXICORE_SF_BACKWARD | LEXICORE_SF_BACKINDEX;
        w.lastAdded = 0;
        int r2 = Lexicore_Search(s, query->key, w.flags, NearProc, &w);
        Lexicore_SelectIndex(s, previous);
        return (r == 1 || r2 == 1) ? 1 : r2;
    }
    default:
        return 0;
    }
}

extern "C" int WINAPI Lexicore_RunSimilarQuery(DicQuery *query, DWORD flags) {
    if (!Ready(query) || !query->key || LcQuery_IsDriver(query)) return 0;
    query->flags = flags | (query->session->fileRecord->kind == 4 ? LEXICORE_SF_BOOK : 0);
    query->runningScore = query->baseScore;
    Walk w = {query, 0, query->flags, 0};
    return Lexicore_Search(query->session, query->key, query->flags | LEXICORE_SF_SIMILAR, SimilarProc, &w);
}

extern "C" int WINAPI Lexicore_RunUpperQuery(DicQuery *query, DWORD flags) {
    if (!Ready(query) || !query->key || LcQuery_IsDriver(query)) return 0;
    query->flags = flags;
    return Nearest(query, flags, true);
}

extern "C" int WINAPI Lexicore_RunLowerQuery(DicQuery *query, DWORD flags) {
    if (!Ready(query) || !query->key || LcQuery_IsDriver(query)) return 0;
    query->flags = flags;
    return Nearest(query, flags, false);
}
