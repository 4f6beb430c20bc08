// Sessions: one open dictionary each, reference counted; every operation goes through the table
// of the open dictionary's kind.
#include "linguakeeper.h"
#include "lexicore_int.h"
#include "user/userdic.h"

namespace {

const DWORD kCatalogueWait = 1000;

const LcKindOps *OpsOfSession(DicSession *s) {
    return s && s->fileRecord ? Lc_OpsOf(s->fileRecord) : nullptr;
}

// Takes the records, the language record and the driver's procedures, and opens by kind.
int OpenRecords(DicSession *s, LcSub *sub) {
    const LcKindOps *ops = Lc_OpsOf(sub->prop.fileRecord);
    if (!ops) return 0;
    memset(s, 0, sizeof *s);
    LinguakeeperLangRecord rec;
    memset(&rec, 0, sizeof rec);
    rec.size = LINGUAKEEPER_LANGINFO_SIZE;
    if (!Linguakeeper_GetLangInfo(sub->prop.language, &rec)) return 0;
    memcpy(s->langInfo, &rec, sizeof s->langInfo);
    s->fileRecord = sub->prop.fileRecord;
    s->subDic = &sub->prop;
    s->openCount = 1;
    LinguakeeperDriverProcs procs;
    memset(&procs, 0, sizeof procs);
    Linguakeeper_GetDriverProcs(sub->prop.language, 0, &procs);
    s->normaliser = (FARPROC)procs.normalize;
    s->comparer = (FARPROC)procs.compare;
    s->scorer = (FARPROC)procs.score;
    s->keySpace = (FARPROC)procs.sortKey;
    if (!ops->open(s)) {
        memset(s, 0, sizeof *s);
        return 0;
    }
    return 1;
}

void CloseRecords(DicSession *s) {
    const LcKindOps *ops = OpsOfSession(s);
    if (ops) ops->close(s);
    memset(s, 0, sizeof *s);
}

}  // namespace

const LcKindOps *Lc_OpsOf(const DicInfo *info) {
    if (!info) return nullptr;
    switch (info->kind) {
    case 1: return &g_lcStaticOps;
    case 2: return &g_lcUserOps;
    case 3: return &g_lcDriverOps;
    case 4: return &g_lcBookOps;
    default: return nullptr;
    }
}

int Lc_OpenInternal(DicSession *s, LcSub *sub) { return OpenRecords(s, sub); }
void Lc_CloseInternal(DicSession *s) { CloseRecords(s); }

int Lc_Compare(DicSession *s, DWORD flags, const char *key, const char *text, int length) {
    if (!key) key = "";
    if (!text) text = "";
    if (s && s->comparer) return ((LinguakeeperCompareProc)s->comparer)(flags, key, text, length);
    int r = length > 0 ? strncmp(key, text, (size_t)length) : strcmp(key, text);
    return r < 0 ? -1 : r > 0;
}

namespace {

struct Guard {
    DicSession *s;
    const char *key;
    DWORD flags;
    LexicoreItemProc proc;
    void *user;
};

// The backward walk of a similarity search ends where the headword is no longer the key's.
int CALLBACK GuardProc(VLDataItem *item, int flag, void *user) {
    Guard *g = (Guard *)user;
    if (flag && Lc_Compare(g->s, (g->flags & LEXICORE_SF_BACKINDEX) | 4, g->key, item->headword, 0) != 0)
        return LEXICORE_ITEM_ENDPASS;
    return g->proc(item, flag, g->user);
}

}  // namespace

int Lc_SearchWalks(DicSession *s, const char *key, DWORD flags, bool backward, LONG start, LcWalkProc walk,
                   LexicoreItemProc proc, LcHeadTest test, void *user) {
    int any = 0, r;
    if (flags & LEXICORE_SF_SIMILAR) {
        Guard g = {s, key ? key : "", flags | (backward ? LEXICORE_SF_BACKINDEX : 0), proc, user};
        r = walk(s, backward, start, -1, GuardProc, nullptr, &g, &any);
        int first = r == LEXICORE_ITEM_ENDPASS ? 6 : (any ? 1 : 0);
        if (r == LEXICORE_ITEM_STOP || r == LEXICORE_ITEM_FULL || first == 0) return first;
        int any2 = 0;
        r = walk(s, backward, start, 1, proc, test, user, &any2);
        if (r == LEXICORE_ITEM_ENDPASS) return 6;
        return (any || any2) ? 1 : 0;
    }
    r = walk(s, backward, start, 1, proc, test, user, &any);
    if (r == LEXICORE_ITEM_ENDPASS) return 6;
    return any ? 1 : 0;
}

DWORD Lc_Score(DicSession *s, DWORD flags, int value, const char *key, int keyLen, const char *text,
               int textLen) {
    if (s && s->scorer)
        return ((LinguakeeperScoreProc)s->scorer)(flags, value, key, keyLen, text, textLen);
    return (keyLen == textLen && memcmp(key, text, (size_t)keyLen) == 0) ? 0 : 0x40000000;
}

// ---- Exports ---------------------------------------------------------------------------------------

extern "C" DicSession *WINAPI Lexicore_CreateSession(void) {
    return (DicSession *)Lc_Alloc(sizeof(DicSession));
}

extern "C" void WINAPI Lexicore_DestroySession(DicSession *session) {
    if (!session) return;
    if (session->fileRecord) CloseRecords(session);
    Lc_Free(session);
}

extern "C" BOOL WINAPI Lexicore_OpenSession(DicSession *session, DWORD dicId, BOOL writable) {
    if (!session || !g_lc.started) return FALSE;
    if (g_lc.event && WaitForSingleObject(g_lc.event, kCatalogueWait) != WAIT_OBJECT_0) return FALSE;
    LcSub *sub = Lc_FindSub(dicId);
    if (!sub) return FALSE;
    if (writable && sub->prop.fileRecord->kind != 2) return FALSE;
    LinguakeeperLangRecord rec;
    memset(&rec, 0, sizeof rec);
    rec.size = LINGUAKEEPER_LANGINFO_SIZE;
    if (!Linguakeeper_GetLangInfo(sub->prop.language, &rec)) return FALSE;
    if (session->fileRecord) {
        // Already open: counted, and answered 0 all the same.
        session->openCount++;
        return FALSE;
    }
    return OpenRecords(session, sub);
}

extern "C" LONG WINAPI Lexicore_CloseSession(DicSession *session) {
    if (!session) return 0;
    if (session->openCount > 0) session->openCount--;
    LONG n = session->openCount;
    if (n == 0 && session->fileRecord) CloseRecords(session);
    return n;
}

extern "C" DWORD WINAPI Lexicore_GetSessionDicId(DicSession *session) {
    return session && session->subDic ? session->subDic->dicId : 0;
}

extern "C" int WINAPI Lexicore_SelectIndex(DicSession *session, int backward) {
    const LcKindOps *ops = OpsOfSession(session);
    return ops ? ops->selectIndex(session, backward) : 0;
}

int Lc_Search(DicSession *s, const char *key, DWORD flags, LexicoreItemProc proc, LcHeadTest test,
              void *user) {
    const LcKindOps *ops = OpsOfSession(s);
    if (!ops) return 0;
    if (test && ops->searchTested) return ops->searchTested(s, key ? key : "", flags, proc, test, user);
    return ops->search(s, key ? key : "", flags, proc, user);
}

extern "C" int WINAPI Lexicore_Search(DicSession *session, const char *key, DWORD flags,
                                      LexicoreItemProc proc, void *user) {
    return Lc_Search(session, key, flags, proc, nullptr, user);
}

extern "C" BOOL WINAPI Lexicore_Locate(DicSession *session, const char *key, DWORD flags, LONG *position) {
    const LcKindOps *ops = OpsOfSession(session);
    if (!ops) {
        if (position) *position = 0;
        return FALSE;
    }
    return ops->locate(session, key ? key : "", flags, position);
}

extern "C" VLDataItem *WINAPI Lexicore_GetItem(DicSession *session, LONG position) {
    const LcKindOps *ops = OpsOfSession(session);
    return ops ? ops->getItem(session, position) : nullptr;
}

void Lc_GetItems(DicSession *session, LONG first, LONG count, VLDataItem **out) {
    const LcKindOps *ops = OpsOfSession(session);
    if (ops && ops->getItems) {
        ops->getItems(session, first, count, out);
        return;
    }
    for (LONG i = 0; i < count; i++) out[i] = ops ? ops->getItem(session, first + i) : nullptr;
}

extern "C" int WINAPI Lexicore_EnumItems(DicSession *session, LONG position, BOOL includeStart,
                                         LexicoreItemProc proc, void *user) {
    const LcKindOps *ops = OpsOfSession(session);
    if (!ops || !proc) return 0;
    int last = 0;
    for (LONG p = includeStart ? position : position + 1; p >= 0; p++) {
        VLDataItem *item = ops->getItem(session, p);
        if (!item) break;
        if ((item->entryLink >> 16) == 0 && p != position) {
            VLDataItem_Destroy(item);
            break;
        }
        last = proc(item, 0, user);
        VLDataItem_Destroy(item);
        if (last == LEXICORE_ITEM_STOP || last == LEXICORE_ITEM_FULL) break;
    }
    return last == LEXICORE_ITEM_FULL ? 1 : last;
}

extern "C" BOOL WINAPI Lexicore_SelectListItem(HWND window, VLWordList *list, LONG position) {
    if (!list || VLWordList_Count(list) == 0) return FALSE;
    VLWordList_SetCurItem(list, position);
    SendMessageA(window, 0x405, 0, (LPARAM)VLWordList_GetItem(list, position));
    return TRUE;
}

extern "C" LONG WINAPI Lexicore_GetEntryCount(DWORD dicId, int backward) {
    LcSub *sub = Lc_FindSub(dicId);
    const LcKindOps *ops = sub ? Lc_OpsOf(sub->prop.fileRecord) : nullptr;
    return ops ? ops->entryCount(sub, backward) : 0;
}

extern "C" int WINAPI Lexicore_GetFontName(DWORD fileId, int number, char *buffer) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f) return 0;
    if (!buffer) return (int)f->info.fontCount;
    buffer[0] = 0;
    if (number < 0 || (DWORD)number >= f->info.fontCount) return 0;
    char *fonts = (char *)DLVReadFontInfo(&f->info);
    if (!fonts) return 0;
    Lc_Copy(buffer, fonts + 32 * number, 32);
    DLVDestroyFontInfo(fonts);
    return (int)strlen(buffer);
}

extern "C" BOOL WINAPI Lexicore_ReadEntryTextEx(DicSession *session, const VLDataItem *item, VLData *data) {
    if (!item || !data) return FALSE;
    LcFile *f = Lc_FindFile(item->head.fileId);
    if (!f) return FALSE;
    const LcKindOps *kindOps = Lc_OpsOf(&f->info);
    if (kindOps && kindOps->readText) return kindOps->readText(session, f, item, data);
    DicInfo copy;
    memcpy(&copy, &f->info, sizeof copy);
    if (copy.kind != 1 && copy.kind != 2) return FALSE;
    DicSession *use = session && session->fileRecord && session->fileRecord->fileId == copy.fileId ? session : nullptr;
    return DLVData_Read(use, &copy, item->head.textPos, data);
}

extern "C" BOOL WINAPI Lexicore_ReadEntryText(const VLDataItem *item, VLData *data) {
    return Lexicore_ReadEntryTextEx(nullptr, item, data);
}

extern "C" int WINAPI Lexicore_DeleteEntry(DicSession *session, const VLDataItem *item) {
    return LcUser_DeleteEntry(session, item);
}
extern "C" int WINAPI Lexicore_AddEntry(DicSession *session, const VLDataItem *item, const char *text,
                                        const char *second) {
    return LcUser_AddEntry(session, item, text, second);
}
