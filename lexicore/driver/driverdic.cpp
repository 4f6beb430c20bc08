// Dictionaries served by outside driver libraries: the library is loaded by path at catalogue load,
// describes itself through DDGetInfo, and answers a session's searches through DDTranslate.
#include "../lexicore_int.h"

namespace {

typedef BOOL(WINAPI *DDGetInfoProc)(const char *path, DicInfo *file, DicProperty *sub);
typedef void(WINAPI *DDCloseProc)(void);
typedef int(WINAPI *DDTranslateProc)(DicInfo *file, const char *key, LexicoreItemProc proc, void *query);

LcFile *FileOf(DicSession *s) { return (LcFile *)s->fileRecord; }

void Unload(LcFile *f) {
    if (f->dd.library) FreeLibrary(f->dd.library);
    memset(&f->dd, 0, sizeof f->dd);
}

int DriverOpen(DicSession *s) {
    LcFile *f = FileOf(s);
    if (!f->dd.library || !f->dd.ddOpen || !f->dd.ddTranslate || !f->dd.ddGetData) {
        LcDriver_Release(f);
        f->info.status |= DICSTATUS_BAD;
        return 0;
    }
    return 1;
}

void DriverClose(DicSession *) {}
int DriverSelectIndex(DicSession *, int) { return 0; }

int DriverSearch(DicSession *s, const char *key, DWORD, LexicoreItemProc proc, void *user) {
    LcFile *f = FileOf(s);
    if (!f->dd.library || !f->dd.ddTranslate) return 3;
    return ((DDTranslateProc)f->dd.ddTranslate)(&f->info, key, proc, user);
}

int DriverLocate(DicSession *, const char *, DWORD, LONG *position) {
    if (position) *position = 0;
    return 0;
}

VLDataItem *DriverGetItem(DicSession *, LONG) { return nullptr; }
LONG DriverEntryCount(LcSub *, int) { return 0; }

}  // namespace

const LcKindOps g_lcDriverOps = {DriverOpen,   DriverClose,   DriverSelectIndex, DriverSearch,
                                 DriverLocate, DriverGetItem, DriverEntryCount};

void LcDriver_Release(LcFile *f) {
    if (!f->dd.library) return;
    if (f->dd.ddClose) ((DDCloseProc)f->dd.ddClose)();
    Unload(f);
}

int LcDriver_LoadFile(LcFile *file, const char *path, LcSub ***subsOut) {
    *subsOut = nullptr;
    file->info.kind = 3;
    // The file's creation time goes into the two header values.
    WIN32_FILE_ATTRIBUTE_DATA attr;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &attr)) {
        file->info.headerValue1 = attr.ftCreationTime.dwLowDateTime;
        file->info.headerValue2 = attr.ftCreationTime.dwHighDateTime;
    }
    HMODULE lib = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    FARPROC getInfo = lib ? GetProcAddress(lib, "DDGetInfo") : nullptr;
    FARPROC close = lib ? GetProcAddress(lib, "DDClose") : nullptr;
    LcSub *sub = (LcSub *)Lc_Alloc(sizeof(LcSub));
    LcSub **subs = (LcSub **)Lc_Alloc(sizeof(LcSub *));
    if (!lib || !getInfo || !close || !sub || !subs) {
        file->info.status |= DICSTATUS_BAD;
        if (lib) FreeLibrary(lib);
        Lc_Free(sub);
        Lc_Free(subs);
        return 0;
    }
    file->info.size = 796;
    sub->prop.size = sizeof(DicProperty);
    sub->prop.indexKind = 8;
    BOOL usable = ((DDGetInfoProc)getInfo)(path, &file->info, &sub->prop);
    file->info.size = sizeof(DicInfo);
    file->info.kind = 3;
    if (!usable) {
        file->info.status |= DICSTATUS_BAD;
        ((DDCloseProc)close)();
        FreeLibrary(lib);
        memset(&file->dd, 0, sizeof file->dd);
        Lc_Free(sub);
        Lc_Free(subs);
        return 0;
    }
    file->dd.library = lib;
    file->dd.ddGetInfo = getInfo;
    file->dd.ddClose = close;
    file->dd.ddOpen = GetProcAddress(lib, "DDOpen");
    file->dd.ddTranslate = GetProcAddress(lib, "DDTranslate");
    file->dd.ddGetData = GetProcAddress(lib, "DDGetData");
    sub->prop.indexKind = 8;
    sub->prop.subDicNo = 0;
    sub->prop.number = 0;
    subs[0] = sub;
    *subsOut = subs;
    return 1;
}
