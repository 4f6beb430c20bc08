// Pronunciation and media blocks of an entry, read from the data files that the catalogue names
// (PhoneDataFile, ImageDataFile) through the phonetic-data library, taken at run time by ordinal.
#include <stdio.h>
#include "basekit.h"
#include "linguakeeper.h"
#include "lexicore_int.h"

namespace {

typedef HANDLE(WINAPI *AuxOpenProc)(const char *path);
typedef int(WINAPI *AuxCloseProc)(HANDLE data);
typedef HGLOBAL(WINAPI *AuxGetDataProc)(HANDLE data, const void *request, DWORD *size);

struct Aux {
    HMODULE module;
    AuxOpenProc open;
    AuxCloseProc close;
    AuxGetDataProc getData;
};

bool LoadAux(Aux *a) {
    memset(a, 0, sizeof *a);
    a->module = LoadLibraryA("Auxlingua.dll");
    if (!a->module) return false;
    a->open = (AuxOpenProc)GetProcAddress(a->module, MAKEINTRESOURCEA(101));
    a->close = (AuxCloseProc)GetProcAddress(a->module, MAKEINTRESOURCEA(102));
    a->getData = (AuxGetDataProc)GetProcAddress(a->module, MAKEINTRESOURCEA(104));
    if (a->open && a->close && a->getData) return true;
    FreeLibrary(a->module);
    a->module = nullptr;
    return false;
}

// The data block of the value from the file key's value name; the caller frees it.
HGLOBAL DataBlock(DWORD fileId, const char *valueName, DWORD value, DWORD *size) {
    char key[MAX_PATH], name[MAX_PATH] = {0}, path[MAX_PATH];
    if (!Lexidata_GetDicKey(fileId, key) || !Basekit_SettingsReadString(key, valueName, name, sizeof name) ||
        !name[0])
        return nullptr;
    if (strchr(name, '\\')) {
        Lc_Copy(path, name, sizeof path);
    } else {
        Lc_EngineFolder(path);
        if (!Basekit_PathAppend(path, name)) return nullptr;
    }
    Aux aux;
    if (!LoadAux(&aux)) return nullptr;
    HGLOBAL block = nullptr;
    HANDLE data = aux.open(path);
    if (data) {
        DWORD request[27];  // 108 bytes; the value in the second and third fields
        memset(request, 0, sizeof request);
        request[1] = value;
        request[2] = value;
        *size = 0;
        block = aux.getData(data, request, size);
        aux.close(data);
    }
    FreeLibrary(aux.module);
    return block;
}

}  // namespace

extern "C" BOOL WINAPI Lexicore_GetPhoneData(DWORD fileId, DWORD value, BOOL play) {
    DWORD size = 0;
    HGLOBAL block = DataBlock(fileId, "PhoneDataFile", value, &size);
    if (!block) return FALSE;
    BOOL result = TRUE;
    if (play) {
        void *p = GlobalLock(block);
        result = p && size ? Linguakeeper_PlaySound(p, size) : FALSE;
        if (p) GlobalUnlock(block);
    }
    GlobalFree(block);
    return result;
}

extern "C" BOOL WINAPI Lexicore_ExportMedia(DWORD fileId, DWORD value, const VLItem *item, const char *outputPath) {
    LcFile *f = Lc_FindFile(fileId);
    const LcKindOps *ops = f ? Lc_OpsOf(&f->info) : nullptr;
    // Kinds with media of their own take the item as their reference text.
    if (ops && ops->exportMedia) return ops->exportMedia(f, value, (const char *)item, outputPath);
    if (!f || !outputPath || f->info.kind != 1) return FALSE;
    DWORD size = 0;
    HGLOBAL block = DataBlock(fileId, "ImageDataFile", value, &size);
    if (!block) return FALSE;
    void *p = GlobalLock(block);
    BOOL ok = p && size && Basekit_WriteFile(outputPath, p, size) == 1;
    if (p) GlobalUnlock(block);
    GlobalFree(block);
    return ok;
}
