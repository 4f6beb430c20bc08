// The per-process catalogue: file and sub-dictionary records loaded from the catalogue tree of the
// settings layer and from the files' headers, kept in two arrays sorted by id.
#include <stdio.h>
#include <algorithm>
#include <vector>
#include "basekit.h"
#include "linguakeeper.h"
#include "lexicore_int.h"
#include "user/userdic.h"

LcState g_lc;

namespace {

std::vector<LcFile *> g_files;  // sorted by file id
std::vector<LcSub *> g_subs;    // sorted by dictionary id
// Records dropped from the catalogue stay allocated until the catalogue is freed, so that a
// session or a caller still holding one never reads freed memory.
std::vector<LcFile *> g_deadFiles;
std::vector<LcSub *> g_deadSubs;

const char kDefaultKey[] = "DefaultDictionary";

bool FileLess(const LcFile *a, const LcFile *b) { return a->info.fileId < b->info.fileId; }
bool SubLess(const LcSub *a, const LcSub *b) { return a->prop.dicId < b->prop.dicId; }

// Full form of a relative settings path (the form the sub-key enumeration takes).
void FullForm(const char *rel, char *out, size_t cap) { snprintf(out, cap, "HKEY_LOCAL_MACHINE\\%s", rel); }

bool EndsWithNoCase(const char *path, const char *ext) {
    size_t n = strlen(path), e = strlen(ext);
    return n > e && path[n - e - 1] == '.' && lstrcmpiA(path + n - e, ext) == 0;
}

// Reads a number value; false when the key or the value is missing or not a number.
bool ReadDword(const char *keyPath, const char *name, DWORD *out) {
    SettingsKey key = Basekit_SettingsOpenKey(keyPath);
    if (!key) return false;
    char buf[MAX_PATH];
    DWORD type = 0;
    bool ok = Basekit_SettingsQueryValue(key, name, &type, buf) == 0 && type == REG_DWORD;
    if (ok) memcpy(out, buf, 4);
    Basekit_SettingsCloseKey(key);
    return ok;
}

bool ReadText(const char *keyPath, const char *name, char *out, int cap) {
    char buf[MAX_PATH] = {0};
    if (!Basekit_SettingsReadString(keyPath, name, buf, sizeof buf)) return false;
    Lc_Copy(out, buf, (size_t)cap);
    return true;
}

// Charset and the two language values of the sub-dictionary's language.
void FillLanguage(LcSub *sub) {
    LinguakeeperLangRecord rec;
    memset(&rec, 0, sizeof rec);
    rec.size = LINGUAKEEPER_LANGINFO_SIZE;
    if (Linguakeeper_GetLangInfo(sub->prop.language, &rec)) {
        const BYTE *b = (const BYTE *)&rec;
        sub->prop.charset = b[6];
        sub->prop.langValue1 = b[8];
        sub->prop.langValue2 = b[12];
    }
}

// Reads every catalogue value of one sub-dictionary (registry key number regNo, from 1).
void ReadSubValues(LcFile *file, LcSub *sub, int regNo, DWORD mask) {
    char key[MAX_PATH];
    if (!Lexidata_GetDicIndexKey(file->info.fileId, regNo, key)) return;
    DWORD v;
    if ((mask & 0x100) && ReadDword(key, "LangID", &v)) sub->prop.language = (WORD)v;
    if (mask & LEXICORE_PROP_NAME) {
        if (!ReadText(key, "Name", sub->prop.name, sizeof sub->prop.name))
            Lc_Copy(sub->prop.name, file->info.name, sizeof sub->prop.name);
    }
    if (mask & LEXICORE_PROP_NICKNAME) {
        sub->prop.nickname[0] = 0;
        ReadText(key, "NickName", sub->prop.nickname, sizeof sub->prop.nickname);
    }
    if (mask & LEXICORE_PROP_COLOR) sub->prop.colour = ReadDword(key, "Color", &v) ? v : 0;
    if (mask & LEXICORE_PROP_POPUP) sub->prop.priorityPopup = ReadDword(key, "PriorityForPopup", &v) ? v : 0;
    if (mask & LEXICORE_PROP_SEARCH) sub->prop.prioritySearch = ReadDword(key, "PriorityForSearch", &v) ? v : 0;
    if (mask & LEXICORE_PROP_TRANSLATE)
        sub->prop.priorityTranslate = ReadDword(key, "PriorityForTranslate", &v) ? v : 0;
}

// The registry number of a sub-dictionary: its place among its file's records, from 1.
int RegNumberOf(const LcSub *sub) {
    int n = 0;
    for (LcSub *s : g_subs)
        if (s->prop.fileId == sub->prop.fileId && s->prop.dicId <= sub->prop.dicId) n++;
    return n;
}

void RemoveFromArrays(DWORD fileId) {
    for (size_t i = 0; i < g_subs.size();) {
        if (g_subs[i]->prop.fileId == fileId) {
            g_deadSubs.push_back(g_subs[i]);
            g_subs.erase(g_subs.begin() + i);
        } else {
            i++;
        }
    }
    for (size_t i = 0; i < g_files.size(); i++) {
        if (g_files[i]->info.fileId == fileId) {
            g_files[i]->removed = 1;
            g_deadFiles.push_back(g_files[i]);
            g_files.erase(g_files.begin() + i);
            break;
        }
    }
}

void ReadDefaults() {
    char root[MAX_PATH], path[MAX_PATH];
    if (!Lexidata_GetDicRootKey(root)) return;
    snprintf(path, sizeof path, "%s\\%s", root, kDefaultKey);
    SettingsKey key = Basekit_SettingsOpenKey(path);
    if (!key) return;
    int n = Basekit_SettingsCountValues(key);
    for (int i = 0; i < n; i++) {
        char name[MAX_PATH], buf[MAX_PATH];
        if (!Basekit_SettingsEnumValue(key, i, name)) continue;
        DWORD type = 0;
        if (Basekit_SettingsQueryValue(key, name, &type, buf) != 0 || type != REG_DWORD) continue;
        DWORD id;
        memcpy(&id, buf, 4);
        LcSub *sub = Lc_FindSub(id);
        if (!sub) continue;
        sub->prop.defaultFlag = 1;
        Lc_FileOf(&sub->prop)->info.status |= DICSTATUS_DEFAULT;
    }
    Basekit_SettingsCloseKey(key);
}

}  // namespace

void *Lc_Alloc(size_t n) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n ? n : 1); }
void Lc_Free(void *p) {
    if (p) HeapFree(GetProcessHeap(), 0, p);
}

const BYTE *Lc_MapWhole(HANDLE file) {
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) return nullptr;
    const BYTE *view = (const BYTE *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);  // the view keeps the mapping
    return view;
}
void Lc_Copy(char *dst, const char *src, size_t cap) {
    if (!cap) return;
    size_t n = src ? strnlen(src, cap - 1) : 0;
    if (n) memcpy(dst, src, n);
    dst[n] = 0;
}
void Lc_Trace(const char *what, int line) {
    char buf[200];
    snprintf(buf, sizeof buf, "Lexicore: %s (line %d)\n", what, line);
    OutputDebugStringA(buf);
}

LcFile *Lc_FindFile(DWORD fileId) {
    LcFile key;
    key.info.fileId = fileId;
    auto it = std::lower_bound(g_files.begin(), g_files.end(), &key, FileLess);
    return it != g_files.end() && (*it)->info.fileId == fileId ? *it : nullptr;
}

LcSub *Lc_FindSub(DWORD dicId) {
    LcSub key;
    key.prop.dicId = dicId;
    auto it = std::lower_bound(g_subs.begin(), g_subs.end(), &key, SubLess);
    return it != g_subs.end() && (*it)->prop.dicId == dicId ? *it : nullptr;
}

int Lc_FileCount() { return (int)g_files.size(); }
LcFile *Lc_FileAt(int i) { return i >= 0 && i < (int)g_files.size() ? g_files[i] : nullptr; }
int Lc_SubCount() { return (int)g_subs.size(); }
LcSub *Lc_SubAt(int i) { return i >= 0 && i < (int)g_subs.size() ? g_subs[i] : nullptr; }

void Lc_EngineFolder(char *out) {
    out[0] = 0;
    DWORD n = GetModuleFileNameA(g_lc.self, out, MAX_PATH);
    if (!n || n >= MAX_PATH) {
        out[0] = 0;
        return;
    }
    char *slash = strrchr(out, '\\');
    if (slash) *slash = 0;
}

void Lc_ResolvePath(const char *name, char *out) {
    bool absolute = (name[0] == '\\' && name[1] == '\\') ||
                    (name[0] && name[1] == ':');
    if (absolute || !name[0]) {
        Lc_Copy(out, name, MAX_PATH);
        return;
    }
    char folder[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_lc.module, folder, sizeof folder);
    if (!n || n >= sizeof folder) {
        Lc_Copy(out, name, MAX_PATH);
        return;
    }
    char *slash = strrchr(folder, '\\');
    if (slash) slash[1] = 0;
    if (!Basekit_PathAppend(folder, name)) {
        Lc_Copy(out, name, MAX_PATH);
        return;
    }
    Lc_Copy(out, folder, MAX_PATH);
}

int Lc_LoadFileKey(DWORD fileId) {
    if (fileId == 0xE101 || fileId == 0xE102) return 0;
    char key[MAX_PATH], fileName[MAX_PATH] = {0}, name[256] = {0};
    if (!Lexidata_GetDicKey(fileId, key)) return 0;
    SettingsKey k = Basekit_SettingsOpenKey(key);
    if (!k) return 0;
    Basekit_SettingsCloseKey(k);
    ReadText(key, "FileName", fileName, sizeof fileName);
    ReadText(key, "Name", name, sizeof name);
    char path[MAX_PATH];
    Lc_ResolvePath(fileName, path);

    bool isDll = EndsWithNoCase(path, "dll");
    if (isDll && !(g_lc.flags & LEXICORE_INIT_DRIVERS)) return 0;

    LcFile *file = (LcFile *)Lc_Alloc(sizeof(LcFile));
    if (!file) return 0;
    file->info.fileId = fileId;
    LcSub **readerSubs = nullptr;
    int n = 0;
    if (fileId >= 0xD000 && fileId <= 0xDFFF) {
        n = LcBook_LoadFile(file, path, &readerSubs);
    } else if (isDll) {
        n = LcDriver_LoadFile(file, path, &readerSubs);
    } else if (EndsWithNoCase(path, "dic")) {
        n = LcStatic_LoadFile(file, path, &readerSubs);
        // A user dictionary may have its main file named .dic: what the static reader finds no
        // sub-dictionary in is tried as one.
        if (n == 0) {
            LcFile *user = (LcFile *)Lc_Alloc(sizeof(LcFile));
            LcSub **userSubs = nullptr;
            int u = 0;
            if (user) {
                user->info.fileId = fileId;
                u = LcUser_LoadFile(user, path, &userSubs);
            }
            if (u > 0) {
                memcpy(file, user, sizeof *file);
                readerSubs = userSubs;
                n = u;
            }
            Lc_Free(user);
        }
    } else if (EndsWithNoCase(path, "rdc")) {
        n = LcUser_LoadFile(file, path, &readerSubs);
    }
    if (n < 0) {
        Lc_Free(file);
        return 0;
    }
    file->info.size = sizeof(DicInfo);
    file->info.fileId = fileId;
    Lc_Copy(file->info.name, name, sizeof file->info.name);
    Lc_Copy(file->info.path, path, sizeof file->info.path);

    // Drop an older copy of the same file first.
    if (Lc_FindFile(fileId)) Lc_DropFile(fileId, 1);

    std::vector<LcSub *> subs(readerSubs, readerSubs + n);
    Lc_Free(readerSubs);
    if (subs.empty()) {
        char full[MAX_PATH + 32];
        FullForm(key, full, sizeof full);
        int count = Basekit_SettingsCountSubkeys(full);
        for (int i = 0; i < count && i < 10; i++) {
            LcSub *sub = (LcSub *)Lc_Alloc(sizeof(LcSub));
            if (!sub) break;
            sub->prop.subDicNo = (DWORD)i;
            sub->prop.number = (DWORD)i;
            sub->prop.indexKind = 1;
            subs.push_back(sub);
        }
    }
    std::stable_sort(subs.begin(), subs.end(),
                     [](const LcSub *a, const LcSub *b) { return a->prop.subDicNo < b->prop.subDicNo; });
    int regNo = 0;
    for (LcSub *sub : subs) {
        regNo++;
        sub->prop.size = sizeof(DicProperty);
        sub->prop.fileId = fileId;
        sub->prop.dicId = fileId << 8 | sub->prop.subDicNo;
        sub->prop.fileRecord = &file->info;
        ReadSubValues(file, sub, regNo, 0x1FF);
        FillLanguage(sub);
        g_subs.insert(std::upper_bound(g_subs.begin(), g_subs.end(), sub, SubLess), sub);
    }
    g_files.insert(std::upper_bound(g_files.begin(), g_files.end(), file, FileLess), file);
    return 1;
}

void Lc_DropFile(DWORD fileId, int releaseDrivers) {
    LcFile *file = Lc_FindFile(fileId);
    if (!file) return;
    if (releaseDrivers && file->info.kind == 3) LcDriver_Release(file);
    RemoveFromArrays(fileId);
}

int Lc_LoadCatalogue() {
    if (g_lc.loaded) return 1;
    char root[MAX_PATH], full[MAX_PATH + 32];
    if (!Lexidata_GetDicRootKey(root)) return 0;
    FullForm(root, full, sizeof full);
    int count = Basekit_SettingsCountSubkeys(full);
    std::vector<DWORD> ids;
    for (int i = 0; i < count; i++) {
        char name[MAX_PATH];
        if (!Basekit_SettingsEnumSubkey(full, i, name)) continue;
        char *end = nullptr;
        DWORD id = (DWORD)strtoul(name, &end, 16);
        if (!end || *end || end == name) continue;  // DefaultDictionary, Setup and other keys
        ids.push_back(id);
    }
    for (DWORD id : ids) Lc_LoadFileKey(id);
    ReadDefaults();
    g_lc.loaded = 1;
    return 1;
}

void Lc_FreeCatalogue() {
    static const WORD kAlwaysUnload[][2] = {
        {4129, 4132}, {4134, 4139}, {4230, 4235}, {4237, 4238}, {4245, 4246}, {4248, 4249},
        {4254, 4257}, {4417, 4418}, {4423, 4425}, {4432, 4441}, {4448, 4452}, {4917, 4917},
        {4950, 4950}};
    bool others = Lc_OtherWindowsExist() != 0;
    for (LcFile *f : g_files) {
        if (f->info.kind != 3) continue;
        bool listed = false;
        for (auto &r : kAlwaysUnload)
            if (f->info.fileId >= r[0] && f->info.fileId <= r[1]) listed = true;
        if (!others || listed) LcDriver_Release(f);
    }
    for (LcSub *s : g_subs) Lc_Free(s);
    for (LcSub *s : g_deadSubs) Lc_Free(s);
    for (LcFile *f : g_files) Lc_Free(f);
    for (LcFile *f : g_deadFiles) Lc_Free(f);
    g_subs.clear();
    g_deadSubs.clear();
    g_files.clear();
    g_deadFiles.clear();
    g_lc.loaded = 0;
}

void Lc_ApplyDefault(DWORD newId, DWORD previousId) {
    LcSub *prev = previousId ? Lc_FindSub(previousId) : nullptr;
    if (prev) {
        prev->prop.defaultFlag = 0;
        LcFile *f = Lc_FileOf(&prev->prop);
        bool another = false;
        for (LcSub *s : g_subs)
            if (s != prev && s->prop.fileId == f->info.fileId && s->prop.defaultFlag) another = true;
        if (!another) f->info.status &= ~(DWORD)DICSTATUS_DEFAULT;
    }
    LcSub *sub = Lc_FindSub(newId);
    if (sub) {
        sub->prop.defaultFlag = 1;
        Lc_FileOf(&sub->prop)->info.status |= DICSTATUS_DEFAULT;
    }
}

void Lc_ApplyProps(DWORD dicId, DWORD mask) {
    LcSub *sub = Lc_FindSub(dicId);
    if (!sub) return;
    LcFile *file = Lc_FileOf(&sub->prop);
    char key[MAX_PATH];
    if (Lexidata_GetDicKey(file->info.fileId, key)) {
        if (mask & LEXICORE_PROP_NAME) ReadText(key, "Name", file->info.name, sizeof file->info.name);
        if (mask & LEXICORE_PROP_FILENAME) Lc_ApplyReload(file->info.fileId);
    }
    ReadSubValues(file, sub, RegNumberOf(sub), mask & 0x7B);
}

void Lc_ApplyReload(DWORD fileId) {
    LcFile *file = Lc_FindFile(fileId);
    char key[MAX_PATH], name[MAX_PATH];
    if (!file || !Lexidata_GetDicKey(fileId, key)) return;
    if (ReadText(key, "FileName", name, sizeof name)) Lc_ResolvePath(name, file->info.path);
}

// ---- Exports ---------------------------------------------------------------------------------------

extern "C" int WINAPI Lexicore_EnumDics(LexicoreEnumProc callback, LPARAM user) {
    int n = 0;
    std::vector<LcSub *> snapshot = g_subs;  // a callback may change the catalogue
    for (LcSub *s : snapshot) {
        n++;
        if (!callback || !callback(&s->prop, user)) break;
    }
    return n;
}

extern "C" int WINAPI Lexicore_EnumDicsByKind(DWORD indexKind, LexicoreEnumProc callback, LPARAM user) {
    int n = 0;
    std::vector<LcSub *> snapshot = g_subs;
    for (LcSub *s : snapshot) {
        if (s->prop.indexKind != indexKind) continue;
        n++;
        if (!callback || !callback(&s->prop, user)) break;
    }
    return n;
}

extern "C" int WINAPI Lexicore_GetDicFileCount(void) { return (int)g_files.size(); }
extern "C" int WINAPI Lexicore_GetDicCount(void) { return (int)g_subs.size(); }

extern "C" BOOL WINAPI Lexicore_GetDicInfo(DWORD fileId, DicInfo *buffer) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f || !buffer) return FALSE;
    memcpy(buffer, &f->info, sizeof(DicInfo));
    buffer->size = sizeof(DicInfo);
    return TRUE;
}

extern "C" int WINAPI Lexicore_GetDicName(DWORD fileId, char *buffer) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f || !buffer) return 0;
    Lc_Copy(buffer, f->info.name, sizeof f->info.name);
    return (int)strlen(buffer);
}

extern "C" BOOL WINAPI Lexicore_GetDicProperty(DWORD dicId, DicProperty *buffer) {
    LcSub *s = Lc_FindSub(dicId);
    if (!s || !buffer) return FALSE;
    DWORD size = buffer->size, def = buffer->defaultFlag;
    memcpy((BYTE *)buffer + offsetof(DicProperty, dicId), (BYTE *)&s->prop + offsetof(DicProperty, dicId),
           offsetof(DicProperty, number) - offsetof(DicProperty, dicId));
    buffer->size = size;
    buffer->defaultFlag = def;
    return TRUE;
}

extern "C" DWORD WINAPI Lexicore_GetDefaultDic(DWORD charset) {
    char root[MAX_PATH], path[MAX_PATH], name[8];
    if (!Lexidata_GetDicRootKey(root)) return 0;
    snprintf(path, sizeof path, "%s\\%s", root, kDefaultKey);
    snprintf(name, sizeof name, "%02X", (unsigned)(charset & 0xFF));
    DWORD v = 0;
    return ReadDword(path, name, &v) ? v : 0;
}

extern "C" DWORD WINAPI Lexicore_SetDefaultDic(DWORD dicId) {
    LcSub *sub = Lc_FindSub(dicId);
    if (!sub) return 0;
    DWORD previous = 0;
    for (LcSub *s : g_subs)
        if (s != sub && s->prop.charset == sub->prop.charset && s->prop.defaultFlag) {
            previous = s->prop.dicId;
            break;
        }
    char root[MAX_PATH], path[MAX_PATH], name[8];
    if (!Lexidata_GetDicRootKey(root)) return previous;
    snprintf(path, sizeof path, "%s\\%s", root, kDefaultKey);
    snprintf(name, sizeof name, "%02X", (unsigned)sub->prop.charset);
    Lc_BeginChange();
    Basekit_SettingsWriteDword(path, name, dicId);
    Lc_Broadcast(VLM_DICAPI_DEFAULT_CHANGED, dicId, previous);
    Lc_EndChange();
    return previous;
}

extern "C" BOOL WINAPI Lexicore_SetDicProperty(DWORD dicId, DWORD mask, const DicProperty *record) {
    LcSub *sub = Lc_FindSub(dicId);
    if (!sub || !record) return TRUE;
    char key[MAX_PATH];
    if (!Lexidata_GetDicIndexKey(sub->prop.fileId, RegNumberOf(sub), key)) return TRUE;
    Lc_BeginChange();
    SettingsKey k = Basekit_SettingsCreateKey(nullptr, key);
    if (k) Basekit_SettingsCloseKey(k);
    if (mask & LEXICORE_PROP_NAME) Basekit_SettingsWriteString(key, "Name", record->name);
    if (mask & LEXICORE_PROP_NICKNAME) Basekit_SettingsWriteString(key, "NickName", record->nickname);
    if (mask & LEXICORE_PROP_COLOR) Basekit_SettingsWriteDword(key, "Color", record->colour);
    if (mask & LEXICORE_PROP_POPUP) Basekit_SettingsWriteDword(key, "PriorityForPopup", record->priorityPopup);
    if (mask & LEXICORE_PROP_SEARCH) Basekit_SettingsWriteDword(key, "PriorityForSearch", record->prioritySearch);
    if (mask & LEXICORE_PROP_TRANSLATE)
        Basekit_SettingsWriteDword(key, "PriorityForTranslate", record->priorityTranslate);
    Lc_Broadcast(VLM_DICAPI_PROPS_CHANGED, dicId, mask);
    Lc_EndChange();
    return TRUE;
}
