// Word analysis, search keys, compares and word enumeration through the language's driver.
#include <string.h>
#include "linguakeeper_int.h"

namespace {

const DWORD kFormsMagic = 0x4D524F46;  // "FORM"
const DWORD kEnumMagic = 0x4D554E45;   // "ENUM"

struct FormsBlock {
    LinguakeeperForms head;  // what the caller sees: language, pointer to `list`
    LinguakeeperKeyList list;
    LkFreeProc freeBlock;
    DWORD magic;
};

struct WordEnum {
    DWORD magic;
    LkDriver driver;
    LinguakeeperWordIterator it;
    int started;
};

// Search entry of a request kind: pop-up kinds 1 to 3, then 5, 4, 6 and 7.
int EntryOfKind(DWORD kind) {
    switch (kind) {
    case 5: return 1;
    case 4: return 2;
    case 6: return 3;
    case 7: return 4;
    default: return 0;
    }
}

// The usable driver of a loaded language, copied under the lock.
bool DriverOf(DWORD language, LkDriver *driver, WORD *charset) {
    Lk_Lock();
    LkLanguage *l = Lk_Find(language);
    bool ok = l && l->loaded;
    if (ok) {
        *driver = l->driver;
        if (charset)
            *charset = l->record.charset;
    }
    Lk_Unlock();
    return ok;
}

}  // namespace

extern "C" LinguakeeperForms *WINAPI Linguakeeper_AnalyzeWord(DWORD language, const char *text, int cursor,
                                                              DWORD requestKind) {
    if (!text)
        return nullptr;
    LkDriver driver;
    WORD charset = 0;
    LinguakeeperAnalysisSettings settings = {};
    Lk_Lock();
    LkLanguage *l = Lk_Find(language);
    bool ok = l && l->loaded;
    if (ok) {
        driver = l->driver;
        charset = l->record.charset;
        const DWORD *w = l->record.search[EntryOfKind(requestKind)].word;
        settings.wordsBack = w[3];
        settings.phraseLength = w[4];
        settings.fanOutDepth = w[5];
        settings.minimumLength = w[6];
        settings.buildPhrases = w[7];
        settings.addCursorForms = w[8];
        settings.addSentence = w[12];
    }
    Lk_Unlock();
    if (!ok)
        return nullptr;
    FormsBlock *f = (FormsBlock *)Lk_Alloc(sizeof *f);
    if (!f)
        return nullptr;
    if (!((LkAnalyzeProc)driver.op[2])(text, cursor, &f->list, &settings) || !f->list.items) {
        Lk_Free(f);
        return nullptr;
    }
    f->list.language = (language & 0xFFFF) | ((DWORD)charset << 16);
    f->head.language = language & 0xFFFF;
    f->head.keys = &f->list;
    f->freeBlock = driver.freeBlock;
    f->magic = kFormsMagic;
    return &f->head;
}

extern "C" void WINAPI Linguakeeper_FreeForms(LinguakeeperForms *forms) {
    FormsBlock *f = (FormsBlock *)forms;
    if (!f || f->magic != kFormsMagic)
        return;
    for (DWORD i = 0; i < f->list.count; i++)
        f->freeBlock(f->list.items[i].text);
    f->freeBlock(f->list.items);
    f->magic = 0;
    Lk_Free(f);
}

extern "C" char *WINAPI Linguakeeper_ConvertKey(DWORD language, DWORD mode, const char *text, char *out) {
    if (!out)
        return nullptr;
    LkDriver driver;
    if (!text || !DriverOf(language, &driver, nullptr)) {
        out[0] = 0;
        return nullptr;
    }
    return ((LinguakeeperNormalizeProc)driver.op[3])(mode, text, out);
}

extern "C" int WINAPI Linguakeeper_Compare(DWORD language, DWORD flags, const char *a, const char *b, int length) {
    if (!a || !b)
        return a ? 1 : (b ? -1 : 0);
    if (length <= 0) {
        size_t la = strlen(a), lb = strlen(b);
        length = (int)(la > lb ? la : lb) + 1;
    }
    LkDriver driver;
    if (!DriverOf(language, &driver, nullptr)) {
        int r = strncmp(a, b, length);
        return r < 0 ? -1 : r > 0;
    }
    return ((LinguakeeperCompareProc)driver.op[4])(flags, a, b, length);
}

extern "C" HANDLE WINAPI Linguakeeper_OpenWordEnum(DWORD language, const char *key) {
    LkDriver driver;
    if (!key || !DriverOf(language, &driver, nullptr))
        return nullptr;
    WordEnum *e = (WordEnum *)Lk_Alloc(sizeof *e);
    if (!e)
        return nullptr;
    e->driver = driver;
    if (!((LkIterOpenProc)driver.op[11])(&e->it, key)) {
        Lk_Free(e);
        return nullptr;
    }
    e->magic = kEnumMagic;
    return (HANDLE)e;
}

extern "C" int WINAPI Linguakeeper_RewindWordEnum(HANDLE wordEnum) {
    WordEnum *e = (WordEnum *)wordEnum;
    if (!e || e->magic != kEnumMagic)
        return 0;
    e->started = 0;
    return 1;
}

extern "C" int WINAPI Linguakeeper_NextWordEnum(HANDLE wordEnum, char *out, int cap) {
    WordEnum *e = (WordEnum *)wordEnum;
    if (!e || e->magic != kEnumMagic)
        return 0;
    int found = e->started ? ((LkIterStepProc)e->driver.op[13])(&e->it) : ((LkIterStepProc)e->driver.op[12])(&e->it);
    e->started = 1;
    if (out && cap > 0) {
        int n = 0;
        if (found && e->it.text && e->it.classes)
            for (int p = e->it.position; p < e->it.length && e->it.classes[p] && n < cap - 1; p++)
                out[n++] = e->it.text[p];
        out[n] = 0;
    }
    return found;
}

extern "C" int WINAPI Linguakeeper_CloseWordEnum(HANDLE wordEnum) {
    WordEnum *e = (WordEnum *)wordEnum;
    if (!e || e->magic != kEnumMagic)
        return 0;
    ((LkIterCloseProc)e->driver.op[14])(&e->it);
    e->magic = 0;
    Lk_Free(e);
    return 1;
}
