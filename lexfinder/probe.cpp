// The engine probe: for every row of the built-in table whose dictionary is not registered yet,
// the row's script names the engine library; the library is asked to describe itself
// (DDGetInfo), and a library that answers with a language becomes a found record of kind 3.
#include <stdio.h>
#include <string.h>

#include "basekit.h"
#include "lexidata.h"
#include "finder_int.h"

// The table: file id, script number, first and second language (engine_rows.inc is generated from
// engines.txt with the scripts themselves).
const FinderEngineRow g_finderEngines[] = {
#include "engine_rows.inc"
};
const int g_finderEngineCount = (int)(sizeof g_finderEngines / sizeof g_finderEngines[0]);

namespace {

// The scripts are written for the default dictionary root.
const char kScriptRoot[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Halvenstone\\Velosuite\\4.0\\Dictionary";

typedef BOOL(WINAPI *DDGetInfoProc)(const char *path, void *fileRecord, void *subRecord);

// The file record a driver library fills: the catalogue's record and the engine's six fields.
struct DriverFileRecord {
    DicInfo info;
    void *fields[6];
};

bool Registered(DWORD fileId)
{
    char key[MAX_PATH], fileName[MAX_PATH];
    return Lexidata_GetDicKey(fileId, key) &&
           Basekit_SettingsReadString(key, "FileName", fileName, sizeof fileName) && fileName[0];
}

// Whether the library describes itself with a language; false when it cannot be loaded, has no
// DDGetInfo or answers 0.
bool Describes(const char *library, DWORD fileId)
{
    HMODULE lib = LoadLibraryExA(library, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!lib) return false;
    bool ok = false;
    DDGetInfoProc getInfo = (DDGetInfoProc)GetProcAddress(lib, "DDGetInfo");
    if (getInfo) {
        DriverFileRecord file;
        DicProperty sub;
        memset(&file, 0, sizeof file);
        memset(&sub, 0, sizeof sub);
        file.info.size = 796;
        file.info.kind = 3;
        file.info.fileId = fileId;
        sub.size = sizeof sub;
        sub.indexKind = 8;
        ok = getInfo(library, &file, &sub) && sub.language != 0;
    }
    FreeLibrary(lib);
    return ok;
}

}  // namespace

const FinderEngineRow *Finder_EngineRow(const VLFinderState *st, DWORD script)
{
    for (int i = 0; i < st->engineCount; i++)
        if (st->engines[i].script == script) return &st->engines[i];
    return nullptr;
}

int Finder_ProbeEngines(VLFinderState *st, FinderBox *box)
{
    int added = 0;
    for (int i = 0; i < st->engineCount; i++) {
        if (Finder_TakeCancel()) return -1;
        const FinderEngineRow &row = st->engines[i];
        if (box) FinderBox_Step(box);
        if (Registered(row.fileId)) continue;
        std::string script;
        if (!Finder_ScriptToFile(st, "ENGINE_INFO", row.script, &script)) continue;
        char section[MAX_PATH], fileName[MAX_PATH] = {0}, name[256] = {0};
        snprintf(section, sizeof section, "%s\\%08X", kScriptRoot, (unsigned)row.fileId);
        GetPrivateProfileStringA(section, "FileName", "", fileName, sizeof fileName, script.c_str());
        GetPrivateProfileStringA(section, "Name", "", name, sizeof name, script.c_str());
        DeleteFileA(script.c_str());
        if (!fileName[0]) continue;
        char library[MAX_PATH];
        Finder_Copy(library, st->programFolder, sizeof library);
        if (!Basekit_PathAppend(library, fileName)) continue;
        if (!Describes(library, row.fileId)) continue;
        VLFoundDic rec;
        memset(&rec, 0, sizeof rec);
        Finder_Copy(rec.name, name, sizeof rec.name);
        Finder_Copy(rec.path, library, sizeof rec.path);
        rec.kind = FINDER_KIND_ENGINE;
        rec.size = 1000;
        rec.id = (int32_t)row.script;
        Finder_AddRecord(st, rec);
        added++;
    }
    return added;
}
