// Catalogue changes that touch files: adding a copy of a dictionary, removing, moving and creating
// user dictionaries.  Each change resets the catalogue event, writes the settings (and files),
// announces the change to every process and sets the event again.
#include <stdio.h>
#include <string>
#include <vector>
#include "basekit.h"
#include "linguakeeper.h"
#include "lexicore_int.h"
#include "user/userdic.h"

namespace {

// Folder part of a path (no trailing backslash) and the file name.
std::string FolderOf(const char *path) {
    const char *slash = strrchr(path, '\\');
    return slash ? std::string(path, slash - path) : std::string(".");
}
std::string NameOf(const char *path) {
    const char *slash = strrchr(path, '\\');
    return slash ? std::string(slash + 1) : std::string(path);
}
std::string StemOf(const std::string &name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}
std::string ExtOf(const std::string &name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

// Every file in the path's folder whose name without extension equals the path's (any extension).
std::vector<std::string> FilesLike(const char *path) {
    std::vector<std::string> out;
    std::string folder = FolderOf(path), stem = StemOf(NameOf(path));
    std::string pattern = folder + "\\" + stem + ".*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (lstrcmpiA(StemOf(fd.cFileName).c_str(), stem.c_str()) == 0) out.push_back(folder + "\\" + fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return out;
}

// A copy never replaces a file that is already there.
bool CopyOne(const std::string &from, const std::string &to, const char *caption, const char *message) {
    return Basekit_CopyFileWithProgress(from.c_str(), to.c_str(), TRUE, caption, message, nullptr, nullptr) != 0;
}

// Deletes every file; false when one of them stays.
bool DeleteAll(const std::vector<std::string> &files) {
    bool all = true;
    for (const std::string &f : files)
        if (!DeleteFileA(f.c_str()) && GetFileAttributesA(f.c_str()) != INVALID_FILE_ATTRIBUTES) all = false;
    return all;
}

// No one holds any of the files open (a file another process reads or writes cannot go, and a
// set that loses only some of its files is broken).
bool NoneInUse(const std::vector<std::string> &files) {
    for (const std::string &f : files) {
        HANDLE h = CreateFileA(f.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
    }
    return true;
}

bool SameFolder(const std::string &a, const std::string &b) {
    char fa[MAX_PATH], fb[MAX_PATH];
    if (!GetFullPathNameA(a.c_str(), MAX_PATH, fa, nullptr) || !GetFullPathNameA(b.c_str(), MAX_PATH, fb, nullptr))
        return false;
    size_t na = strlen(fa), nb = strlen(fb);
    while (na > 3 && fa[na - 1] == '\\') fa[--na] = 0;
    while (nb > 3 && fb[nb - 1] == '\\') fb[--nb] = 0;
    return lstrcmpiA(fa, fb) == 0;
}

// The folder (full path without a trailing backslash) is inner or holds it.
bool SameOrAbove(const char *folder, const std::string &inner) {
    if (SameFolder(folder, inner)) return true;
    char full[MAX_PATH];
    if (!GetFullPathNameA(inner.c_str(), MAX_PATH, full, nullptr)) return true;
    size_t n = strlen(folder);
    return strlen(full) > n && _strnicmp(full, folder, n) == 0 && full[n] == '\\';
}

// A folder that must never be deleted whole: a drive or share root, the program's or the engine's
// folder, or a folder that holds (or lies above) another catalogued dictionary.
bool ProtectedFolder(const std::string &folder, DWORD fileId) {
    char full[MAX_PATH];
    if (!GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr)) return true;
    size_t n = strlen(full);
    while (n > 0 && full[n - 1] == '\\') full[--n] = 0;
    if (n <= 2) return true;                                   // "C:" or empty
    if (full[0] == '\\' && full[1] == '\\') {                  // "\\server\share" is a root
        int slashes = 0;
        for (const char *p = full + 2; *p; p++) slashes += *p == '\\';
        if (slashes <= 1) return true;
    }
    char program[MAX_PATH], engine[MAX_PATH];
    if (GetModuleFileNameA(nullptr, program, MAX_PATH) && SameOrAbove(full, FolderOf(program))) return true;
    Lc_EngineFolder(engine);
    if (engine[0] && SameOrAbove(full, engine)) return true;
    for (int i = 0; i < Lc_FileCount(); i++) {
        LcFile *f = Lc_FileAt(i);
        if (f->info.fileId == fileId || !f->info.path[0]) continue;
        char other[MAX_PATH];
        if (!GetFullPathNameA(f->info.path, MAX_PATH, other, nullptr)) continue;
        if (strlen(other) > n && _strnicmp(other, full, n) == 0 && other[n] == '\\') return true;
    }
    return false;
}

// The catalogue key of an id is there in the settings (another process may have made it since this
// process read its catalogue).
bool DicKeyExists(DWORD id) {
    char key[MAX_PATH];
    if (!Lexidata_GetDicKey(id, key)) return true;
    SettingsKey k = Basekit_SettingsOpenKey(key);
    if (!k) return false;
    Basekit_SettingsCloseKey(k);
    return true;
}

// Called under the id lock: an id that neither this process's catalogue nor the settings use.
DWORD FirstFreeUserId() {
    std::vector<DWORD> used;
    for (int i = 0; i < Lc_FileCount(); i++)
        if (Lc_FileAt(i)->info.status & DICSTATUS_USER) used.push_back(Lc_FileAt(i)->info.fileId);
    for (DWORD id = 0xF000; id <= 0xFFF0; id++) {
        bool taken = false;
        for (DWORD u : used) taken = taken || u == id;
        if (!taken && !DicKeyExists(id)) return id;
    }
    return 0;
}

// New user dictionaries get their ids and catalogue keys under one mutex of every process, so two
// processes never take the same id.  Held is false when the wait ran out.
struct IdLock {
    HANDLE mutex;
    bool held;
    IdLock() : mutex(CreateMutexA(nullptr, FALSE, "Local\\LexicoreNewDictionaryIds")), held(false) {
        if (!mutex) return;
        DWORD w = WaitForSingleObject(mutex, 60000);
        held = w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
    }
    ~IdLock() {
        if (held) ReleaseMutex(mutex);
        if (mutex) CloseHandle(mutex);
    }
};

// A user dictionary's own files beside its main file: the main file (rdc), the text file (rdt)
// and each sub-dictionary's item, forward-tree and backward-tree files (rx, rn, rr and its letter).
bool IsUserDicFile(const std::string &ext) {
    if (lstrcmpiA(ext.c_str(), "rdc") == 0 || lstrcmpiA(ext.c_str(), "rdt") == 0) return true;
    if (ext.size() != 3 || (ext[0] != 'r' && ext[0] != 'R')) return false;
    char kind = (char)(ext[1] | 0x20), letter = (char)(ext[2] | 0x20);
    return (kind == 'x' || kind == 'n' || kind == 'r') && letter >= 'a' && letter <= 'z';
}

// Deletes the user dictionary's main file and its files beside it, except those named in keep.
void DeleteUserDicFiles(const char *mainPath, const std::vector<std::string> &keep) {
    DeleteFileA(mainPath);
    for (const std::string &file : FilesLike(mainPath)) {
        if (!IsUserDicFile(ExtOf(NameOf(file.c_str())))) continue;
        bool kept = false;
        for (const std::string &k : keep) kept = kept || lstrcmpiA(k.c_str(), file.c_str()) == 0;
        if (!kept) DeleteFileA(file.c_str());
    }
}

// The gaiji font files a book names (FontFileName#n) that lie beside it; read while its key is
// still there.
std::vector<std::string> BookFontFiles(const DicInfo &info) {
    std::vector<std::string> out;
    char key[MAX_PATH];
    if (!Lexidata_GetDicKey(info.fileId, key)) return out;
    for (int i = 0; i < 16; i++) {
        char value[32], name[MAX_PATH] = {0}, path[MAX_PATH];
        snprintf(value, sizeof value, "FontFileName#%d", i);
        if (!Basekit_SettingsReadString(key, value, name, sizeof name) || !name[0] || strchr(name, '\\') ||
            strchr(name, '/') || strchr(name, ':'))
            continue;
        Lc_Copy(path, info.path, sizeof path);
        Basekit_PathReplaceFileName(path, name);
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) out.push_back(path);
    }
    return out;
}

// The file is another catalogued dictionary's: its main file, or a side file of a user dictionary
// of the same name.
bool AnotherDictionarys(const std::string &file, DWORD fileId) {
    for (int i = 0; i < Lc_FileCount(); i++) {
        const DicInfo &o = Lc_FileAt(i)->info;
        if (o.fileId == fileId || !o.path[0]) continue;
        if (lstrcmpiA(o.path, file.c_str()) == 0) return true;
        if (o.kind == 2 && IsUserDicFile(ExtOf(NameOf(file.c_str()))) && SameFolder(FolderOf(o.path), FolderOf(file.c_str())) &&
            lstrcmpiA(StemOf(NameOf(o.path)).c_str(), StemOf(NameOf(file.c_str())).c_str()) == 0)
            return true;
    }
    return false;
}

// The files that belong to a dictionary and nothing else: its own file; for a user dictionary the
// side files of its set (any sub-dictionary); for a book the gaiji fonts beside it; for other kinds
// the files named like it.  Another catalogued dictionary's files (a static english.dic beside a
// user english.rdc) and the user's documents in a book's folder are not among them.
std::vector<std::string> OwnFiles(const DicInfo &info) {
    std::vector<std::string> out;
    if (!info.path[0]) return out;
    if (GetFileAttributesA(info.path) != INVALID_FILE_ATTRIBUTES) out.push_back(info.path);
    if (info.kind == 4) {
        for (const std::string &font : BookFontFiles(info)) out.push_back(font);
        return out;
    }
    for (const std::string &file : FilesLike(info.path)) {
        if (lstrcmpiA(file.c_str(), info.path) == 0 || AnotherDictionarys(file, info.fileId)) continue;
        if (info.kind != 2 || IsUserDicFile(ExtOf(NameOf(file.c_str())))) out.push_back(file);
    }
    return out;
}

bool IsCjk(DWORD lang) { return lang >= 0x0200 && lang <= 0x0500; }

// The catalogue announces a failed add or move and ends the change.
BOOL Failed() {
    Lc_Broadcast(VLM_DICAPI_FAILED, 0, 0);
    Lc_EndChange();
    return FALSE;
}

}  // namespace

extern "C" BOOL WINAPI Lexicore_RemoveDic(DWORD fileId, BOOL deleteFiles) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f) return FALSE;
    DicInfo info = f->info;
    std::vector<std::string> own = deleteFiles ? OwnFiles(info) : std::vector<std::string>();
    // Files that are in use stop the removal before anything changes: the dictionary stays whole
    // and in the catalogue.
    if (deleteFiles && (info.kind == 1 || info.kind == 2 || info.kind == 4) && !NoneInUse(own)) return FALSE;
    Lc_BeginChange();
    char key[MAX_PATH];
    for (int i = 1; i <= 10; i++)
        if (Lexidata_GetDicIndexKey(fileId, i, key)) Basekit_SettingsDeleteKey(nullptr, key);
    if (Lexidata_GetDicKey(fileId, key)) Basekit_SettingsDeleteKey(nullptr, key);
    // Every process drops the file (and releases its driver library) before its files go.
    Lc_Broadcast(VLM_DICAPI_REMOVED, fileId, 0);
    bool deleted = true;
    if (deleteFiles && info.path[0]) {
        if (info.kind == 1) {
            deleted = DeleteAll({info.path});
        } else if (info.kind == 2) {
            deleted = DeleteAll(own);
        } else if (info.kind == 4) {
            // The book's own files; its folder goes only when nothing else is left in it.
            deleted = DeleteAll(own);
            std::string folder = FolderOf(info.path);
            if (!ProtectedFolder(folder, fileId)) RemoveDirectoryA(folder.c_str());
        }
    }
    Lc_EndChange();
    // A file that another program opened after the check stays, and the removal says so.
    return deleted ? TRUE : FALSE;
}

extern "C" BOOL WINAPI Lexicore_MoveDic(DWORD fileId, const char *folder, const char *caption,
                                       const char *message) {
    LcFile *f = Lc_FindFile(fileId);
    if (!f || !folder || !folder[0]) return FALSE;
    std::string source = f->info.path;
    if (SameFolder(FolderOf(source.c_str()), folder)) return TRUE;
    std::vector<std::string> sources = OwnFiles(f->info), copies;
    Lc_BeginChange();
    if (sources.empty()) return Failed();
    for (const std::string &s : sources) {
        char target[MAX_PATH];
        Lc_Copy(target, folder, sizeof target);
        if (!Basekit_PathAppend(target, NameOf(s.c_str()).c_str()) ||
            !CopyOne(s, target, caption, message)) {
            DeleteAll(copies);
            return Failed();
        }
        copies.push_back(target);
    }
    // Switch the catalogue to the copies, then remove the sources.
    char newPath[MAX_PATH], key[MAX_PATH];
    Lc_Copy(newPath, folder, sizeof newPath);
    if (!Basekit_PathAppend(newPath, NameOf(source.c_str()).c_str())) {
        DeleteAll(copies);
        return Failed();
    }
    if (f->info.kind == 2) Basekit_PathSetExtension(newPath, "rdc");
    if (!Lexidata_GetDicKey(fileId, key) || !Basekit_SettingsWriteString(key, "FileName", newPath)) {
        DeleteAll(copies);
        return Failed();
    }
    DeleteAll(sources);
    Lc_Broadcast(VLM_DICAPI_RELOADED, fileId, 0);
    Lc_EndChange();
    return TRUE;
}

extern "C" BOOL WINAPI Lexicore_AddDic(const char *source, const char *folder, const char *caption,
                                      const char *message) {
    if (!source || !source[0]) return FALSE;
    char target[MAX_PATH];
    if (folder && folder[0])
        Lc_Copy(target, folder, sizeof target);
    else
        Lc_EngineFolder(target);
    IdLock lock;
    DWORD id = lock.held ? FirstFreeUserId() : 0;
    std::vector<std::string> sources = FilesLike(source), copies;
    Lc_BeginChange();
    if (!id || sources.empty()) return Failed();
    std::string mainExt = ExtOf(NameOf(source));
    std::string mainCopy;
    for (const std::string &s : sources) {
        char name[64], to[MAX_PATH];
        snprintf(name, sizeof name, "VV4D%04x.%s", (unsigned)id, ExtOf(NameOf(s.c_str())).substr(0, 16).c_str());
        Lc_Copy(to, target, sizeof to);
        if (!Basekit_PathAppend(to, name) || !CopyOne(s, to, caption, message)) {
            DeleteAll(copies);
            return Failed();
        }
        copies.push_back(to);
        if (lstrcmpiA(ExtOf(NameOf(s.c_str())).c_str(), mainExt.c_str()) == 0) mainCopy = to;
    }
    // The main file's header takes the new id.
    DicInfo info;
    DWORD oldId = 0;
    if (DLVReadDicHeader(nullptr, mainCopy.c_str(), &info)) {
        oldId = info.fileId;
        info.fileId = id;
        // A user dictionary's side files carry the id too, also when its main file is named .dic.
        bool user = lstrcmpiA(mainExt.c_str(), "rdc") == 0 || info.userFlag;
        if (!DLVWriteDicHeader(nullptr, mainCopy.c_str(), &info) || (user && !LcUser_SetFileId(mainCopy.c_str(), id))) {
            DeleteAll(copies);
            return Failed();
        }
    } else {
        memset(&info, 0, sizeof info);
    }
    info.size = sizeof info;
    info.fileId = id;
    Lc_Copy(info.path, mainCopy.c_str(), sizeof info.path);
    // The name under the machine's catalogue of the old id, else a made-up one.
    char oldKey[MAX_PATH];
    info.name[0] = 0;
    if (oldId && Lexidata_GetDicKey(oldId, oldKey)) {
        HKEY k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, oldKey, 0, KEY_READ, &k) == ERROR_SUCCESS) {
            DWORD type = 0, size = sizeof info.name - 1;
            if (RegQueryValueExA(k, "Name", nullptr, &type, (BYTE *)info.name, &size) != ERROR_SUCCESS ||
                type != REG_SZ)
                info.name[0] = 0;
            info.name[sizeof info.name - 1] = 0;
            RegCloseKey(k);
        }
    }
    if (!info.name[0]) snprintf(info.name, sizeof info.name, "User %04x", (unsigned)oldId);
    DicProperty sub;
    memset(&sub, 0, sizeof sub);
    sub.size = sizeof sub;
    sub.language = 0x0400;
    srand(GetTickCount());
    DWORD r = (DWORD)(rand() % 255), g = (DWORD)(rand() % 255), b = (DWORD)(rand() % 255);
    sub.colour = r << 16 | g << 8 | b;
    Lc_Copy(sub.name, info.name, sizeof sub.name);
    if (!Lexidata_AddDicToRegistry(&info, &sub, 1)) {
        DeleteAll(copies);
        if (Lexidata_GetDicIndexKey(id, 1, oldKey)) Basekit_SettingsDeleteKey(nullptr, oldKey);
        if (Lexidata_GetDicKey(id, oldKey)) Basekit_SettingsDeleteKey(nullptr, oldKey);
        return Failed();
    }
    Lc_Broadcast(VLM_DICAPI_ADDED, id, 0);
    Lc_EndChange();
    return TRUE;
}

extern "C" DWORD WINAPI Lexicore_CreateUserDic(const char *path, const char *name, const char *nickname,
                                               DWORD value, DWORD indexKind, DWORD firstLanguage,
                                               DWORD secondLanguage) {
    if (!path || !path[0]) return 0;
    IdLock lock;
    DWORD id = lock.held ? FirstFreeUserId() : 0;
    Lc_BeginChange();
    // A dictionary (or any file of one) already at the path is never overwritten; the main file is
    // claimed with create-new before anything is written.
    bool taken = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    for (const std::string &file : FilesLike(path)) taken = taken || IsUserDicFile(ExtOf(NameOf(file.c_str())));
    HANDLE claim = INVALID_HANDLE_VALUE;
    if (id && !taken)
        claim = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (claim == INVALID_HANDLE_VALUE) {
        Failed();
        return 0;
    }
    CloseHandle(claim);
    DicInfo info;
    memset(&info, 0, sizeof info);
    info.size = sizeof info;
    info.fileId = id;
    info.userFlag = 1;
    info.status = DICSTATUS_USER;
    info.kind = 2;
    info.subDicCount = 1;
    LinguakeeperLangRecord rec;
    memset(&rec, 0, sizeof rec);
    rec.size = LINGUAKEEPER_LANGINFO_SIZE;
    if (Linguakeeper_GetLangInfo(firstLanguage, &rec)) info.charset = ((const BYTE *)&rec)[6];
    DWORD language = secondLanguage;
    if (IsCjk(secondLanguage)) language = IsCjk(firstLanguage) ? 0x0100 : firstLanguage;
    info.language = (WORD)language;
    info.languageCount = firstLanguage == secondLanguage ? 1 : 2;
    info.languages[0] = (WORD)firstLanguage;
    info.languages[1] = (WORD)secondLanguage;
    Lc_Copy(info.name, name, sizeof info.name);
    Lc_Copy(info.path, path, sizeof info.path);
    DicProperty sub;
    memset(&sub, 0, sizeof sub);
    sub.size = sizeof sub;
    sub.dicId = id << 8;
    sub.fileId = id;
    sub.language = (WORD)firstLanguage;
    sub.indexKind = indexKind ? indexKind : 1;
    sub.colour = value;
    Lc_Copy(sub.name, name, sizeof sub.name);
    Lc_Copy(sub.nickname, nickname, sizeof sub.nickname);
    char key[MAX_PATH];
    // No file of the set was there before: every one there now is this call's.  Files of the same
    // name that are not the dictionary's stay.
    if (!DLVCreateDic(path, &info) || !LcUser_CreateFiles(path, &info, &sub) ||
        !Lexidata_AddDicToRegistry(&info, &sub, 1)) {
        DeleteUserDicFiles(path, {});
        if (Lexidata_GetDicIndexKey(id, 1, key)) Basekit_SettingsDeleteKey(nullptr, key);
        if (Lexidata_GetDicKey(id, key)) Basekit_SettingsDeleteKey(nullptr, key);
        Failed();
        return 0;
    }
    Lc_Broadcast(VLM_DICAPI_ADDED, id, 0);
    Lc_EndChange();
    return id;
}
